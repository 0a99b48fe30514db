// State functions and dataset data of every compound of the phase grids, computed row by row
// into the grids' value column for the state-function dialog.
#include <cmath>

#include "chem/PTools.h"
#include "chem/Periodica.h"
#include "process/EqlCalcX.h"
#include "process/PhaseLayout.h"
#include "process/SetStFn.h"
#include "support/AplMsg.h"
#include "thermo/StateFunctions.h"
#include "thermo/TDynOprt.h"

namespace ploxen {
namespace {

constexpr double kZeroCelsiusK = 273.15;

std::string RoundedText(double v) {
  return std::to_string(std::lround(v));
}

// Property and unit code of the driver's property columns for functions 1..6; the per-kg units
// give kJ/kg and kJ/(kg K), the per-mol units kJ/mol for H and G and J/(mol K) for Cp and S.
PropertySelector SelectorOf(int function, int unit) {
  static constexpr Property kProperties[] = {Property::kMolarMass, Property::kHeatCapacity,
                                             Property::kEnthalpy,  Property::kEntropy,
                                             Property::kGibbs,     Property::kZ};
  PropertySelector sel;
  sel.property = kProperties[function - 1];
  const bool perKg = unit == 1;
  const bool energy = function == kSfEnthalpy || function == kSfGibbs;
  if (perKg && function != kSfMolWeight && function != kSfCompressibility) {
    sel.unitCode = 80;
  } else {
    sel.unitCode = energy ? 10 : 1;
  }
  return sel;
}

/// One export: the function, its unit and the system conditions, applied row by row.
class FunctionExport {
 public:
  FunctionExport(TAplMsgWnd& log, TTDynOprtWnd& thermo, const Periodica& elements, int function,
                 int unit, bool celsius, double tK, double pBar)
      : log_(log),
        thermo_(thermo),
        elements_(elements),
        function_(function),
        unit_(unit),
        celsius_(celsius),
        tK_(tK),
        pBar_(pBar) {}

  /// Header and value of every named row of one grid; other rows keep an empty value.
  void Slot(TPhaseSlot& s) const {
    StringGrid& g = s.grid;
    if (g.ColCount() <= kGridValue) g.SetColCount(kGridValue + 1);
    g.SetCell(kGridValue, 0, StateFunctionHeader(function_, unit_));
    for (int r = 1; r <= s.Rows(); ++r) {
      g.SetCell(kGridValue, r, "");
      if (!Trim(g.Cell(gc::kName, r)).empty()) Row(s, r);
    }
  }

 private:
  void Row(TPhaseSlot& s, int r) const;
  bool RowTemperature(const TPhaseSlot& s, int r, const std::string& place, double& tK) const;
  void StateRow(StringGrid& g, int r, int record, const PhaseSplit& split, double tK) const;

  TAplMsgWnd& log_;
  TTDynOprtWnd& thermo_;
  const Periodica& elements_;
  int function_;
  int unit_;
  bool celsius_;
  double tK_;
  double pBar_;
};

// The system temperature, or the row's own from the T(in) column. False (message 2006) when the
// row's temperature is not a number or not above 0 K.
bool FunctionExport::RowTemperature(const TPhaseSlot& s, int r, const std::string& place,
                                    double& tK) const {
  tK = tK_;
  const std::string text = Trim(s.grid.Cell(kGridTin, r));
  if (text.empty()) return true;
  double v = 0.0;
  const bool number = TryTextToFloat(text, v);
  tK = v + (celsius_ ? kZeroCelsiusK : 0.0);
  if (number && tK > 0.0) return true;
  log_.Post(kMsgError, 2006, "Irregular temperature, " + place + text);
  return false;
}

void FunctionExport::Row(TPhaseSlot& s, int r) const {
  StringGrid& g = s.grid;
  const std::string cell = Trim(g.Cell(gc::kName, r));
  const std::string place = "[" + s.sheetName + "][A" + std::to_string(r + 1) + "]: ";
  double tK = 0.0;
  if (!RowTemperature(s, r, place, tK)) return;
  const PhaseSplit split = SplitPhaseSuffix(cell);
  const int record = thermo_.FindDataset(split.name, split.phase, tK);
  if (record < 0) {
    log_.Post(kMsgError, 2015, place + cell + " does not exist in the database !");
    return;
  }
  const PXDatabase& db = thermo_.Database();
  if (function_ == kSfCriticalTemperature) {
    double tc = db.Tds().Tc;
    if (tc > 0.0) {
      if (unit_ == 1) tc -= kZeroCelsiusK;  // "[C]"
      g.SetCell(kGridValue, r, FormatFloatG(tc, 4, 2));
    }
    return;
  }
  if (function_ > kSfCriticalTemperature) {  // dataset fields 15..21 as they stand
    g.SetCell(kGridValue, r, std::string(db.Field(record, function_ + 7)));
    return;
  }
  StateRow(g, r, record, split, tK);
}

// Functions 1..6: the extrapolation mark and the value in the chosen unit. A condensed compound
// above its critical temperature gets neither (message 2026); a dataset the behaviour model
// cannot evaluate shows 0 (message 2025).
void FunctionExport::StateRow(StringGrid& g, int r, int record, const PhaseSplit& split,
                              double tK) const {
  const TDS tds = thermo_.Database().Tds();
  StateFunctionRecord sf;
  bool evaluated = true;
  if (IsStateDependent(function_)) {
    StateFunctions(thermo_.Database(), record, thermo_.Model(), pBar_, tK, sf);
    if (sf.status == kStateCannotExist) {
      const std::string at = celsius_ ? " can not exist at T[C]:" + RoundedText(tK - kZeroCelsiusK)
                                      : " can not exist at T[K]:" + RoundedText(tK);
      log_.Post(kMsgImportant, 2026, Trim(g.Cell(gc::kName, r)) + at);
      g.SetCell(gc::kInfo, r, "");
      return;
    }
    if (sf.status == kStateNotEvaluated) {
      log_.Post(kMsgImportant, 2025,
                split.name + " " + split.phase + ": Calculation is only for ideal gases possible" +
                    "T[K]:" + RoundedText(tK) + "; P[bar]:" + FormatFloat8(pBar_));
      evaluated = false;
    }
  }
  g.SetCell(gc::kInfo, r, tds.rangeFlag != 0 ? kExtrapolationMark : "");
  const double molarMass = elements_.MolarMass(tds.molDefinition);
  const PropertySelector sel = SelectorOf(function_, unit_);
  if (!evaluated) {
    g.SetCell(kGridValue, r, "0");
  } else if (sel.unitCode == 80 && !(molarMass > 0.0)) {
    g.SetCell(kGridValue, r, "");  // no mass to refer to
  } else {
    const double v =
        ConvertProperty(PropertyValue(sel.property, sf, molarMass), sel.unitCode, molarMass);
    g.SetCell(kGridValue, r, FormatFloat8(v));
  }
}

}  // namespace

bool TEqlCalcWnd::ExportStateFunction(int function, int unit) {
  if (function < 1 || function > kSfLast) return false;
  const int units = static_cast<int>(StateFunctionUnits(function).size());
  if (unit < 0 || unit >= units) unit = StateFunctionDefaultUnit(function);
  // Every function needs a temperature to pick the dataset by; the state functions also need
  // the pressure (1 bar at constant volume).
  double t = 0.0;
  const bool number = IsFloatText(EditTsys, &t);
  const double tK = t + (MnuTempC ? kZeroCelsiusK : 0.0);
  if (!number || !(tK > 0.0)) {
    Post(kMsgError, 1472, "Irregular temperature");
    return false;
  }
  double pBar = 1.0;
  if (IsStateDependent(function)) {
    double p = 0.0;
    if (!IsFloatText(EditPVsys, &p) || !(p > 0.0)) {
      Post(kMsgError, 1481, "Irregular pressure/volume");
      return false;
    }
    if (CbxPV == 0) pBar = p;
  }
  const FunctionExport run(log_, thermo_, elements_, function, unit, MnuTempC, tK, pBar);
  for (int k = 1; k <= kSlotCount; ++k) {
    if (slots[k].occupied) run.Slot(slots[k]);
  }
  return true;
}

}  // namespace ploxen
