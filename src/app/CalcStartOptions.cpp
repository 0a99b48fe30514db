// The parameter string of a calculation: its option keys and how their values are cut out.
#include "app/CalcStartOptions.h"

#include "chem/PTools.h"

namespace ploxen {

std::string ParameterOptions::Text(int slot) const {
  return Trim(value[slot]);
}

ParameterOptions SplitParameters(std::string_view p) {
  ParameterOptions o;
  for (int k = 0; k < kOptionKeyCount; ++k) {
    const size_t at = p.find(kOptionKeys[k]);
    o.position[k] = at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
    if (o.position[k] > 0) ++o.found;
  }
  for (int k = 0; k < kOptionKeyCount; ++k) {
    const int start = o.position[k];
    if (start < 1) continue;
    // The value ends before the nearest later key of slots 1..31.
    size_t end = p.size();
    for (int other = 1; other < kOptionSlotCount; ++other) {
      const int q = o.position[other];
      if (q > start && static_cast<size_t>(q - 1) < end) end = static_cast<size_t>(q - 1);
    }
    const size_t from = static_cast<size_t>(start - 1) + 3;
    o.value[k] = from < end ? Trim(p.substr(from, end - from)) : std::string();
  }
  return o;
}

}  // namespace ploxen
