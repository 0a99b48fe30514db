// Fuzz target for amount and number text: the input's first line is an amount with unit
// ("2.5 kg", "10 Nm³"), converted to moles of water and of a compound the rest names as a mol
// definition; every number parser reads the first line, and number text written by the
// formatter must read back to the same value.
#include <cmath>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "chem/PTools.h"
#include "chem/Periodica.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t newline = input.find('\n');
  const std::string amount = input.substr(0, newline);
  const std::string molDefinition =
      newline == std::string::npos ? std::string("H2O1") : input.substr(newline + 1);

  static const ploxen::Periodica table;
  for (const std::string& compound : {std::string("H2O1"), molDefinition}) {
    ploxen::AmountToMoles(amount, compound, 1.01325, 298.15, table);
    ploxen::AmountToMoles(amount, compound, 0.0, 0.0, table);
  }
  double value = 0.0;
  ploxen::TextToFloat(amount);
  ploxen::IsFloatText(amount, &value);
  ploxen::TryTextToFloat(amount, value);
  ploxen::TextToInt(amount);
  ploxen::HexTextToInt(amount);
  int whole = 0;
  ploxen::ParseIntText(amount, whole);
  if (ploxen::ParseRealText(amount, value)) {
    ploxen::fuzz::Require(std::isfinite(value), "a real text reads as a finite number");
    // Full precision is 15 digits of a normal double; the far ends of the range round over.
    const bool normal = value == 0.0 || (std::fabs(value) > 1e-300 && std::fabs(value) < 1e300);
    double back = 0.0;
    ploxen::fuzz::Require(!normal || ploxen::ParseRealText(ploxen::FormatFloatFull(value), back),
                          "number text written in full reads back");
    ploxen::fuzz::Require(!normal || std::fabs(back - value) <= 1e-14 * std::fabs(value),
                          "number text written in full keeps 15 digits");
    for (int precision : {1, 8, 15})
      ploxen::TextToFloat(ploxen::FormatFloatG(value, precision, 2));
  }
  return 0;
}
