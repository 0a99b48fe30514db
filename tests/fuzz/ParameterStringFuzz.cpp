// Fuzz target for the parameter string of a batch run: the option table cut out of any text,
// every option's value, and the batch end planned from them.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "app/CalcStart.h"
#include "app/CalcStartOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const ploxen::ParameterOptions options = ploxen::SplitParameters(text);
  int found = 0;
  for (int slot = 0; slot < ploxen::kOptionSlotCount; ++slot) {
    const std::string value = options.Text(slot);
    if (options.Has(slot)) {
      ++found;
      ploxen::fuzz::Require(static_cast<std::size_t>(options.position[slot]) <= text.size(),
                            "an option's position lies inside the parameter string");
      ploxen::fuzz::Require(value.size() <= text.size(),
                            "an option's value is part of the parameter string");
    }
  }
  ploxen::fuzz::Require(found == options.found, "the found count matches the option table");
  for (int mask = 0; mask < 4; ++mask) {
    ploxen::BatchEndState state;
    state.batchMode = true;
    state.conditionSheet = mask & 1;
    state.calculationOk = (mask & 2) != 0;
    state.stay = options.Has(ploxen::kOptStay) || options.Has(ploxen::kOptReadOnly);
    state.closeAllowed = true;
    state.hasShutdown = options.Has(ploxen::kOptShutdown);
    state.shutdownText = options.Text(ploxen::kOptShutdown);
    ploxen::PlanBatchEnd(state);
  }
  return 0;
}
