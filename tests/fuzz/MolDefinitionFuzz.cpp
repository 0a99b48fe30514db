// Fuzz target for mol definitions and element lines. The input's first line is an element
// line of the reference file's Elements section; the rest is a compound: its name with phase
// suffix is split, and the text as a mol definition gives element counts and a molar mass.
#include <cmath>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "chem/Periodica.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t newline = input.find('\n');
  const std::string elementLine = input.substr(0, newline);
  const std::string compound = newline == std::string::npos ? input : input.substr(newline + 1);

  ploxen::Periodica table;
  const int before = table.Size();
  const int index = table.ParseElementLine(elementLine);
  ploxen::fuzz::Require(table.Size() <= ploxen::Periodica::kCapacity,
                        "the element table stays within its capacity");
  if (index > 0) {
    ploxen::fuzz::Require(index < table.Size(), "a defined element lies inside the table");
    ploxen::fuzz::Require(table.Size() >= before, "defining an element never shrinks the table");
  }
  ploxen::SplitPhaseSuffix(compound);
  const double mass = table.MolarMass(compound);
  ploxen::fuzz::Require(!std::isnan(mass), "a molar mass is a number");
  for (int e = 0; e < table.Size(); ++e) table.ElementCount(table.ElementSymbol(e), compound);
  table.FindSymbol(compound);
  return 0;
}
