// How much of one element a compound holds, read from its mol definition.
#include "balance/ElementShare.h"

#include "chem/Periodica.h"

namespace ploxen {

namespace {

bool IsCapital(char c) {
  return c >= 'A' && c <= 'Z';
}

// Position of the element in the mol definition, or npos.
size_t ElementPosition(std::string_view molDefinition, std::string_view symbol) {
  if (symbol.size() != 1) return molDefinition.find(symbol);
  for (size_t p = molDefinition.find(symbol[0]); p != std::string_view::npos;
       p = molDefinition.find(symbol[0], p + 1)) {
    if (p + 1 == molDefinition.size() || static_cast<unsigned char>(molDefinition[p + 1]) < 65) {
      return p;
    }
  }
  return std::string_view::npos;
}

}  // namespace

ElementShareResult ElementShare(const Periodica& elements, std::string_view molDefinition,
                                std::string_view symbol) {
  ElementShareResult r;
  if (symbol.empty() || molDefinition.empty()) return r;
  const size_t p = ElementPosition(molDefinition, symbol);
  if (p == std::string_view::npos) return r;
  r.molarMass = elements.MolarMass(molDefinition);
  if (!(r.molarMass > 0.0)) return r;
  size_t end = p + 1;
  while (end < molDefinition.size() && !IsCapital(molDefinition[end])) ++end;
  const double pieceMass = elements.MolarMass(molDefinition.substr(p, end - p));
  const double atomMass = elements.ElementWeight(elements.FindSymbol(symbol));
  // An element without a weight cannot be counted; it would divide by zero below.
  if (!(atomMass > 0.0)) return r;
  r.atoms = pieceMass / atomMass;
  r.massFraction = pieceMass / r.molarMass;
  r.contains = true;
  return r;
}

}  // namespace ploxen
