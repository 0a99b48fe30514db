// Phase sheet layout: phase definitions, compound names, unit and composition headers and the
// property columns of a phase sheet.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ploxen {

struct StateFunctionRecord;

/// Kind of a phase sheet, decided by its cell A1.
enum class PhaseKind { kNone = 0, kGas, kLiquid, kSolid };

/// Phase kind of an A1 text: "(g)" or "gas...", "(l)" or "liq...", "(s)" or "sol..." (any case).
PhaseKind PhaseKindOfDefinition(std::string_view a1);
/// Phase kind of the first name that contains " (g)", " (l)" or " (s)"; kNone when none does.
PhaseKind PhaseKindOfNames(const std::vector<std::string>& names);
/// "(g)", "(l)" or "(s)"; empty for kNone.
std::string StateText(PhaseKind kind);
/// The compound name as the system uses it: a name without its own state gets " (g)",
/// " (l)" or " (s)" of its sheet appended.
std::string CompleteCompoundName(std::string_view name, PhaseKind kind);

/// Amount units of workbook columns, codes 0..7.
constexpr int kUnitCount = 8;
/// Unit code of a B1 or C1 header ("[kg]" 2, "[lb]" 3, "[Nm³]" 7, ...); 0 (mol) by default.
int UnitCodeOfHeader(std::string_view header);
/// "[mol]", "[g]", "[kg]", "[lb]", "[l]", "[m³]", "[ft³]", "[Nm³]" for codes 0..7; "[mol]" else.
const std::string& UnitName(int code);

/// What column D of a phase sheet shows.
enum class CompositionKind { kMoleFraction, kMassFraction, kMassPercent };
/// Composition kind of a D1 header; a header naming none keeps `previous`.
CompositionKind CompositionOfHeader(std::string_view d1, CompositionKind previous);

/// Quantities a property column (I, J) can show.
enum class Property { kNone, kMolarMass, kHeatCapacity, kEnthalpy, kEntropy, kGibbs, kZ };

/// A property column: quantity and unit code (base 1 per mol, 2 per kmol, 4 per g, 8 per kg,
/// times 10 for kJ).
struct PropertySelector {
  Property property = Property::kNone;
  int unitCode = 1;
  bool Active() const { return property != Property::kNone; }
};

/// Selector of an I1 or J1 header such as "H [kJ/kg]" (code 80) or "Cp [J/mol K]" (code 1).
PropertySelector PropertyOfHeader(std::string_view header);
/// Header written above a property column: "H [kJ/mol] (25°C)", "MW [g/mol]", "z [-] (298 K)".
std::string PropertyHeader(const PropertySelector& selector, double temperatureField, bool celsius);
/// The per-mol value of a property from a state function record; `molarMass` [g/mol].
double PropertyValue(Property p, const StateFunctionRecord& sf, double molarMass);
/// Converts a value per mol (J/mol, J/(mol K), g/mol) to the selector's unit; `molarMass` [g/mol].
double ConvertProperty(double perMol, int unitCode, double molarMass);

}  // namespace ploxen
