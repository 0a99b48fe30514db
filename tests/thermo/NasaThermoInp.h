// Reader of NASA Glenn nine-coefficient polynomials (thermo.inp) for checking the shipped
// database against the data it was made from.
#pragma once

#include <cctype>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "chem/PTools.h"

namespace ploxen::nasa {

/// One temperature interval of a NASA species: Cp/R = sum a_i T^(i-3), plus b1, b2.
struct NasaRange {
  double lowK = 0.0;
  double highK = 0.0;
  double a[9] = {};  ///< a1..a7, b1, b2
};

/// A product species of thermo.inp.
struct NasaSpecies {
  std::string name;
  double hf298 = 0.0;  ///< standard enthalpy of formation [J/mol]
  std::vector<std::pair<std::string, double>> formula;  ///< the record's formula field
  std::vector<NasaRange> ranges;
};

inline constexpr double kNasaR = 8.314510;  ///< J/(mol K) of the NASA equations

inline double NasaNumber(const std::string& line, std::size_t from, std::size_t count) {
  if (from >= line.size()) return 0.0;
  std::string text = Trim(line.substr(from, count));
  for (char& c : text) {
    if (c == 'D' || c == 'd') c = 'E';
  }
  double value = 0.0;
  return ParseRealText(text, value) ? value : 0.0;
}

/// Product species (up to "END PRODUCTS") of a thermo.inp file; empty when unreadable.
inline std::vector<NasaSpecies> ReadNasaProducts(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  std::vector<std::string> lines;
  std::string line;
  for (char c : buffer.str()) {
    if (c == '\r') continue;
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  std::vector<NasaSpecies> species;
  std::size_t i = 0;
  while (i < lines.size() && Trim(lines[i]) != "thermo") ++i;
  i += 2;
  while (i + 1 < lines.size() && lines[i].rfind("END PRODUCTS", 0) != 0) {
    if (lines[i].empty() || lines[i][0] == '!') {
      ++i;
      continue;
    }
    NasaSpecies sp;
    sp.name = Trim(lines[i].substr(0, 18));
    const std::string& l2 = lines[i + 1];
    const int intervals = static_cast<int>(NasaNumber(l2, 0, 2));
    sp.hf298 = NasaNumber(l2, 65, 15);
    for (std::size_t k = 0; k < 5; ++k) {
      std::string symbol = l2.size() > 10 + 8 * k ? Trim(l2.substr(10 + 8 * k, 2)) : "";
      const double count = NasaNumber(l2, 12 + 8 * k, 6);
      if (symbol.empty() || count == 0.0) continue;
      for (std::size_t c = 1; c < symbol.size(); ++c) symbol[c] = static_cast<char>(std::tolower(symbol[c]));
      sp.formula.emplace_back(symbol, count);
    }
    std::size_t j = i + 2;
    for (int k = 0; k < intervals && j + 2 < lines.size(); ++k, j += 3) {
      NasaRange r;
      r.lowK = NasaNumber(lines[j], 0, 11);
      r.highK = NasaNumber(lines[j], 11, 11);
      for (int m = 0; m < 5; ++m) r.a[m] = NasaNumber(lines[j + 1], 16 * m, 16);
      r.a[5] = NasaNumber(lines[j + 2], 0, 16);
      r.a[6] = NasaNumber(lines[j + 2], 16, 16);
      r.a[7] = NasaNumber(lines[j + 2], 48, 16);
      r.a[8] = NasaNumber(lines[j + 2], 64, 16);
      sp.ranges.push_back(r);
    }
    species.push_back(sp);
    i = j;
  }
  return species;
}

/// Heat capacity [J/(mol K)] of a NASA interval at T [K].
inline double NasaCp(const NasaRange& r, double t) {
  const double* a = r.a;
  return kNasaR * (a[0] / (t * t) + a[1] / t + a[2] + a[3] * t + a[4] * t * t +
                   a[5] * t * t * t + a[6] * t * t * t * t);
}

/// Enthalpy [J/mol] on the formation-enthalpy scale of a NASA interval at T [K].
inline double NasaH(const NasaRange& r, double t) {
  const double* a = r.a;
  return kNasaR * t *
         (-a[0] / (t * t) + a[1] * std::log(t) / t + a[2] + a[3] * t / 2 + a[4] * t * t / 3 +
          a[5] * t * t * t / 4 + a[6] * t * t * t * t / 5 + a[7] / t);
}

/// Absolute entropy [J/(mol K)] of a NASA interval at T [K] and 1 bar.
inline double NasaS(const NasaRange& r, double t) {
  const double* a = r.a;
  return kNasaR * (-a[0] / (t * t) / 2 - a[1] / t + a[2] * std::log(t) + a[3] * t +
                   a[4] * t * t / 2 + a[5] * t * t * t / 3 + a[6] * t * t * t * t / 4 + a[8]);
}

}  // namespace ploxen::nasa
