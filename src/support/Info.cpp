// The program's about information.
#include "support/Info.h"

namespace ploxen {

std::string AboutFirstLine() {
  return std::string("Ploxen Mizzolith ") + PLOXEN_VERSION;
}

std::string AboutInformation() {
  return AboutFirstLine() +
         "\nChemical and thermodynamic equilibrium of multi-phase process systems"
         "\nby minimisation of the Gibbs energy";
}

}  // namespace ploxen
