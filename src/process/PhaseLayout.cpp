// Phase sheet layout: phase definitions, compound names, unit and composition headers and the
// property columns of a phase sheet.
#include "process/PhaseLayout.h"

#include <array>
#include <cmath>

namespace ploxen {
namespace {

std::string Lower(std::string_view text) {
  std::string s(text);
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

bool Has(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

bool EndsWithState(std::string_view name) {
  if (name.size() < 4) return false;
  const std::string_view tail = name.substr(name.size() - 3);
  return tail == "(g)" || tail == "(l)" || tail == "(s)";
}

// Position of the first occurrence of `part`, or npos.
size_t First(std::string_view text, std::string_view part) {
  return text.find(part);
}

}  // namespace

PhaseKind PhaseKindOfDefinition(std::string_view a1) {
  const std::string s = Lower(a1);
  if (s == "(g)" || s.starts_with("gas")) return PhaseKind::kGas;
  if (s == "(l)" || s.starts_with("liq")) return PhaseKind::kLiquid;
  if (s == "(s)" || s.starts_with("sol")) return PhaseKind::kSolid;
  return PhaseKind::kNone;
}

PhaseKind PhaseKindOfNames(const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    if (Has(name, " (g)")) return PhaseKind::kGas;
    if (Has(name, " (l)")) return PhaseKind::kLiquid;
    if (Has(name, " (s)")) return PhaseKind::kSolid;
  }
  return PhaseKind::kNone;
}

std::string StateText(PhaseKind kind) {
  switch (kind) {
    case PhaseKind::kGas:
      return "(g)";
    case PhaseKind::kLiquid:
      return "(l)";
    case PhaseKind::kSolid:
      return "(s)";
    default:
      return {};
  }
}

std::string CompleteCompoundName(std::string_view name, PhaseKind kind) {
  if (EndsWithState(name) || kind == PhaseKind::kNone) return std::string(name);
  return std::string(name) + " " + StateText(kind);
}

int UnitCodeOfHeader(std::string_view h) {
  int code = 0;
  if (Has(h, "[g")) code = 1;
  if (Has(h, "[kg")) code = 2;
  if (Has(h, "[l")) code = 4;
  if (Has(h, "[lb")) code = 3;
  if (Has(h, "[m\xC2\xB3") || Has(h, "[m3")) code = 5;
  if (Has(h, "[ft")) code = 6;
  if (Has(h, "[Nm")) code = 7;
  return code;
}

const std::string& UnitName(int code) {
  static const std::array<std::string, kUnitCount> kNames = {
      "[mol]", "[g]", "[kg]", "[lb]", "[l]", "[m\xC2\xB3]", "[ft\xC2\xB3]", "[Nm\xC2\xB3]"};
  return (code >= 0 && code < kUnitCount) ? kNames[code] : kNames[0];
}

CompositionKind CompositionOfHeader(std::string_view d1, CompositionKind previous) {
  const std::string s = Lower(d1);
  CompositionKind kind = previous;
  if (Has(s, "x")) kind = CompositionKind::kMoleFraction;
  if (Has(s, "w")) kind = CompositionKind::kMassFraction;
  if (Has(s, "w%")) kind = CompositionKind::kMassPercent;
  return kind;
}

// The quantity is chosen by the beginning of the header, the unit by where "mol", "kmol", "g"
// and "kg" first occur relative to the first "/", the energy unit by where the first "k" stands.
PropertySelector PropertyOfHeader(std::string_view header) {
  const size_t b = header.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  header = header.substr(b, header.find_last_not_of(' ') - b + 1);
  PropertySelector sel;
  if (header.starts_with("M")) sel.property = Property::kMolarMass;
  if (header.starts_with("Cp")) sel.property = Property::kHeatCapacity;
  if (header.starts_with("H")) sel.property = Property::kEnthalpy;
  if (header.starts_with("S")) sel.property = Property::kEntropy;
  if (header.starts_with("G")) sel.property = Property::kGibbs;
  // The header written back after a run begins with "z", so both cases select it.
  if (header.starts_with("Z") || header.starts_with("z")) sel.property = Property::kZ;
  if (!sel.Active()) return sel;
  if (sel.property == Property::kZ) return sel;
  const size_t slash = First(header, "/");
  const auto behind = [&](std::string_view word) {
    const size_t at = First(header, word);
    if (at == std::string_view::npos) return false;
    return slash == std::string_view::npos || at > slash;
  };
  int base = 1;
  if (behind("mol")) base = 1;
  if (behind("kmol")) base = 2;
  if (behind("g")) base = 4;
  if (behind("kg")) base = 8;
  const size_t k = First(header, "k");
  const bool kilo = slash != std::string_view::npos && k != std::string_view::npos && k < slash;
  sel.unitCode = base * (kilo ? 10 : 1);
  return sel;
}

std::string PropertyHeader(const PropertySelector& sel, double temperatureField, bool celsius) {
  const int base = sel.unitCode % 10 == 0 ? sel.unitCode / 10 : sel.unitCode;
  const bool kilo = sel.unitCode >= 10;
  std::string u = "mol";
  if (base == 2) u = "kmol";
  if (base == 4) u = "g";
  if (base == 8) u = "kg";
  const std::string e = kilo ? "kJ/" : "J/";
  std::string text;
  switch (sel.property) {
    case Property::kMolarMass:
      return "MW [g/mol]";
    case Property::kHeatCapacity:
      text = "Cp[" + e + u + " K]";
      break;
    case Property::kEnthalpy:
      text = "H [" + e + u + "]";
      break;
    case Property::kEntropy:
      text = "S [" + e + u + " K]";
      break;
    case Property::kGibbs:
      text = "G [" + e + u + "]";
      break;
    case Property::kZ:
      text = "z [-]";
      break;
    default:
      return {};
  }
  const long rounded = std::lround(std::isfinite(temperatureField) ? temperatureField : 0.0);
  return text + " (" + std::to_string(rounded) +
         (celsius ? "\xC2\xB0"
                    "C)"
                  : " K)");
}

double ConvertProperty(double v, int unitCode, double m) {
  switch (unitCode) {
    case 2:
      return v * 1000.0;
    case 4:
      return v / m;
    case 8:
      return v / m * 1000.0;
    case 10:
      return v / 1000.0;
    case 40:
      return v / m / 1000.0;
    case 80:
      return v / m;
    default:
      return v;  // 1 and 20: J/mol is kJ/kmol
  }
}

}  // namespace ploxen
