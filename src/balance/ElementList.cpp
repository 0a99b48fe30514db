// The element box of the balance dialogs.
#include "balance/ElementList.h"

#include <algorithm>
#include <cctype>

#include "chem/Periodica.h"

namespace ploxen {

std::vector<std::string> SystemElementSymbols(const Periodica& elements,
                                              const std::vector<std::uint8_t>& elementFlags) {
  std::vector<std::string> symbols;
  const int last = std::min(static_cast<int>(elementFlags.size()), elements.Size()) - 1;
  for (int i = 0; i <= last; ++i) {
    if (elementFlags[i] != 0) symbols.push_back(elements.ElementSymbol(i));
  }
  const auto lower = [](unsigned char c) { return std::tolower(c); };
  std::stable_sort(symbols.begin(), symbols.end(), [&](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [&](unsigned char x, unsigned char y) { return lower(x) < lower(y); });
  });
  return symbols;
}

}  // namespace ploxen
