// Results of one phase slot: output amounts, composition, fugacities or activities and the
// information column, filled into the slot's grid from the kernel.
#include <cmath>

#include "chem/PTools.h"
#include "chem/Periodica.h"
#include "kernel/EqKernel.h"
#include "process/AmountInput.h"
#include "process/EqlCalcX.h"
#include "support/AplMsg.h"
#include "thermo/StateFunctions.h"
#include "thermo/TDynOprt.h"

namespace ploxen {
namespace {

constexpr double kGramsPerPound = 453.59;
constexpr double kFoot3PerM3 = 35.316;
constexpr double kNormalK = 273.15;
constexpr double kNormalBar = 1.01325;
constexpr double kNormalPa = 101325.0;

std::string F8(long double v) {
  return FormatFloat8(static_cast<double>(v));
}

}  // namespace

void TEqlCalcWnd::FillPhaseResults(int slot) {
  TPhaseSlot& s = slots[slot];
  StringGrid& g = s.grid;
  const bool gas = IsGasSlot(slot);
  g.SetCell(gc::kInput, 0, "In " + UnitName(s.inputUnit));
  g.SetCell(gc::kOutput, 0, "Out " + UnitName(s.outputUnit));
  static const char* const kComposition[] = {"x [mol/mol]", "w [kg/kg]", "w% "};
  g.SetCell(gc::kComposition, 0, kComposition[static_cast<int>(s.composition)]);
  g.SetCell(gc::kActivity, 0, gas ? "f" : "a");
  g.SetCell(gc::kCoefficient, 0, gas ? "f.c." : "a.c.");
  g.SetCell(gc::kRelation, 0, "rel.");
  g.SetCell(gc::kInfo, 0, "inf.");
  s.massTotal = 0.0;
  if (gas) s.fugacitySum = 0.0;
  const long double zero = kernel_.ZeroLimit();
  const int first = s.firstCompound;
  std::vector<double> masses(s.compoundCount + 1, 0.0);
  for (int r = 1; r <= s.compoundCount; ++r) {
    const int q = first + r - 1;
    const long double n = kernel_.Amount(q);
    if (s.outputUnit >= 4) g.SetCell(gc::kOutput, r, "");  // volumes: gas phases below
    if (!(n > zero)) {
      g.SetCell(gc::kOutput, r, "0");
      g.SetCell(gc::kComposition, r, "0");
      g.SetCell(gc::kActivity, r, "0");
    } else {
      const double mass = static_cast<double>(kernel_.Mass(q));
      masses[r] = mass;
      s.massTotal += mass;
      if (s.outputUnit == 0) g.SetCell(gc::kOutput, r, F8(n));
      if (s.outputUnit == 1) g.SetCell(gc::kOutput, r, FormatFloat8(mass));
      if (s.outputUnit == 2) g.SetCell(gc::kOutput, r, FormatFloat8(mass / 1000.0));
      if (s.outputUnit == 3) g.SetCell(gc::kOutput, r, FormatFloat8(mass / kGramsPerPound));
      if (s.composition == CompositionKind::kMoleFraction) {
        g.SetCell(gc::kComposition, r, F8(kernel_.PhaseFraction(q)));
      }
      g.SetCell(gc::kActivity, r, F8(kernel_.Activity(q)));
    }
    if (gas) s.fugacitySum += static_cast<double>(kernel_.Activity(q));
    // The information cell holds "(ext.)" or nothing from reading; keep only that part.
    std::string info = g.Cell(gc::kInfo, r);
    const size_t ext = info.find(kExtrapolationMark);
    info = ext == std::string::npos ? std::string() : info.substr(ext);
    g.SetCell(gc::kInfo, r, std::to_string(kernel_.CompoundState(q)) + info);
  }
  if (s.composition != CompositionKind::kMoleFraction) {
    const bool percent = s.composition == CompositionKind::kMassPercent;
    g.SetCell(gc::kComposition, 0, percent ? "w%" : "w");
    if (s.massTotal > 0.0) {
      for (int r = 1; r <= s.compoundCount; ++r) {
        g.SetCell(gc::kComposition, r,
                  FormatFloat8(masses[r] / s.massTotal * (percent ? 100.0 : 1.0)));
      }
    }
  }
  if (gas && s.fugacitySum >= 1e-45) FillGasVolumes(slot);
  if (gas && s.fugacitySum > 0.0) {
    const std::string note = kernel_.PressureNote(slot);
    if (!note.empty()) Post(kMsgImportant, 1682, s.sheetName + ": " + note);
  }
}

// Output units 4..7 of a gas slot: volumes at system conditions with the slot's fugacity sum
// as pressure, or normal volumes at 273.15 K and 1.01325 bar.
void TEqlCalcWnd::FillGasVolumes(int slot) {
  TPhaseSlot& s = slots[slot];
  if (s.outputUnit < 4) return;
  StringGrid& g = s.grid;
  const long double zero = kernel_.ZeroLimit();
  const double t = static_cast<double>(temperatureK);
  const double p = s.fugacitySum;
  const double r = kGasConstant;
  for (int row = 1; row <= s.compoundCount; ++row) {
    const int q = s.firstCompound + row - 1;
    const double n = static_cast<double>(kernel_.Amount(q));
    if (!(n > zero)) {
      g.SetCell(gc::kOutput, row, "0");
      continue;
    }
    const PhaseSplit split = SplitPhaseSuffix(Trim(g.Cell(gc::kName, row)));
    const bool normal = s.outputUnit == 7;
    const double tLook = normal ? kNormalK : t;
    double z = 1.0;
    if (thermo_.FindDataset(split.name, split.phase, tLook) >= 0) {
      z = DatasetCompressibility(thermo_, thermo_.Database().Tds(), normal ? kNormalBar : p,
                                 tLook);
    }
    double v = 0.0;
    if (normal) {
      v = r * z * n * kNormalK / kNormalPa;
    } else {
      v = n * z * r * t / p / 100000.0;
      if (s.outputUnit == 4) v *= 1000.0;
      if (s.outputUnit == 6) v *= kFoot3PerM3;
    }
    g.SetCell(gc::kOutput, row, FormatFloat8(v));
  }
}

}  // namespace ploxen
