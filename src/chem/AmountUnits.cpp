// Quantity units: an amount text such as "2.5 kg" or "10 Nm³" converted to moles.
#include <cmath>

#include "chem/PTools.h"
#include "chem/Periodica.h"

namespace ploxen {
namespace {

constexpr double kGramsPerPound = 453.59;          // g/lb as the unit table defines it
constexpr double kCubicMetresPerFoot3 = 0.028317;  // m³/ft³
constexpr double kNormalTemperatureK = 273.15;
constexpr double kPascalPerBar = 100000.0;

// "³" as UTF-8 and as the single Windows-1252 byte.
constexpr const char* kCubedUtf8 = "\xC2\xB3";
constexpr const char* kCubed1252 = "\xB3";

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

bool ContainsCubed(std::string_view text, std::string_view prefix) {
  return Contains(text, std::string(prefix) + "3") ||
         Contains(text, std::string(prefix) + kCubedUtf8) ||
         Contains(text, std::string(prefix) + kCubed1252);
}

bool IsUnit(std::string_view unit, std::string_view word) {
  return unit == word || unit == "[" + std::string(word) + "]";
}

// Splits an amount text into its number text and its unit text. A character from "A"
// upwards ends the number, except an "E"/"e" followed by a blank or by one of
// "+,-./0123456789", which is an exponent. Blanks are dropped from both parts.
void SplitAmount(std::string_view s, std::string& number, std::string& unit) {
  size_t i = 0;
  for (; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 'A') {
      const bool exponent = (c == 'E' || c == 'e') && i + 1 < s.size() &&
                            (s[i + 1] == ' ' || (s[i + 1] >= '+' && s[i + 1] <= '9'));
      if (!exponent) break;
    }
    if (c != ' ') number += static_cast<char>(c);
  }
  for (; i < s.size(); ++i) {
    if (s[i] != ' ') unit += s[i];
  }
}

}  // namespace

AmountResult AmountToMoles(std::string_view amount, std::string_view molDefinition,
                           double pressureBar, double temperatureK, const Periodica& table,
                           double gasConstant) {
  AmountResult result;
  std::string number;
  std::string unit;
  SplitAmount(amount, number, unit);
  if (number.empty()) number = "0";
  const size_t comma = number.find(',');
  if (comma != std::string::npos) number[comma] = '.';
  double x = 0.0;
  if (!ParseRealText(number, x)) return result;

  double moles = 0.0;
  const double p = pressureBar * kPascalPerBar;
  const double t = temperatureK;
  const double r = gasConstant;
  if (unit.empty() || IsUnit(unit, "mol")) {
    moles = x;
  } else if (IsUnit(unit, "g") || IsUnit(unit, "kg") || IsUnit(unit, "lb")) {
    // A compound without a usable molar mass cannot take a mass unit.
    const double m = table.MolarMass(molDefinition);
    if (m == 0.0 || !std::isfinite(m)) return result;
    if (IsUnit(unit, "g")) {
      moles = x / m;
    } else if (IsUnit(unit, "kg")) {
      moles = x / m * 1000.0;
    } else {
      moles = x * kGramsPerPound / m;
    }
  } else {
    // Gas volumes; the normal volume does not use T but still needs a valid one.
    if (!(t > 0.0)) return result;
    if (ContainsCubed(unit, "Nm")) {
      moles = p * x / (r * kNormalTemperatureK);
    } else if (ContainsCubed(unit, "m")) {
      moles = p * x / (r * t);
    } else if (IsUnit(unit, "l")) {
      moles = p * x / (r * t) / 1000.0;
    } else if (Contains(unit, "ft")) {
      moles = x * kCubicMetresPerFoot3 * p / (r * t);
    } else {
      return result;
    }
  }
  // Overflow and a zero or broken gas constant never pass as an amount.
  if (!std::isfinite(moles)) return result;
  result.ok = true;
  result.moles = moles;
  return result;
}

}  // namespace ploxen
