// How much of one element a compound holds, read from its mol definition.
#pragma once

#include <string_view>

namespace ploxen {

class Periodica;

/// The element's part of one compound.
struct ElementShareResult {
  bool contains = false;
  double molarMass = 0.0;     ///< of the whole compound [g/mol]
  double massFraction = 0.0;  ///< element mass / compound mass
  double atoms = 0.0;         ///< atoms of the element per molecule
};

/// The share of `symbol` in `molDefinition` ("C1O2"). A one-letter symbol must be followed by a
/// count or the end ("C" is not found in "Cl2"); the element's piece runs to the next capital.
ElementShareResult ElementShare(const Periodica& elements, std::string_view molDefinition,
                                std::string_view symbol);

}  // namespace ploxen
