// The element box of the balance dialogs: the symbols of the elements a system is made of.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ploxen {

class Periodica;

/// Symbols of the elements marked in `elementFlags` (one byte per element index), sorted
/// alphabetically without regard to letter case as a sorted list box shows them.
std::vector<std::string> SystemElementSymbols(const Periodica& elements,
                                              const std::vector<std::uint8_t>& elementFlags);

}  // namespace ploxen
