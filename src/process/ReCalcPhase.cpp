// The inverse calculation proper: conditions, the compounds of every slot handed to the system
// matrix with their measured activities, the fit and the computed activities.
#include <cmath>

#include "chem/PTools.h"
#include "chem/Periodica.h"
#include "linalg/LSolver.h"
#include "process/EqlCalcX.h"
#include "process/ReCalcX.h"
#include "support/AplMsg.h"
#include "support/UserDialogs.h"
#include "thermo/StateFunctions.h"
#include "thermo/TDynOprt.h"

namespace ploxen {
namespace {

/// Information mark of a dataset used outside its temperature range.
constexpr const char* kExtrapolated = "(ext)";

}  // namespace

bool TReCalcWnd::ReadConditions() {
  const std::string& tText = calc_.EditTsys;
  double t = 0.0;
  if (!TryTextToFloat(tText, t)) {
    Post(kMsgError, 290, tText + " : Irregular Temperature");
    successCode = kBadTemperature;
    return false;
  }
  if (calc_.MnuTempC) t += 273.15;
  if (!(t > 0.0)) {
    Post(kMsgError, 298, tText + " : Irregular Temperature; T<=0");
    return false;
  }
  const std::string& pText = calc_.EditPVsys;
  double p = 0.0;
  if (!TryTextToFloat(pText, p)) {
    Post(kMsgError, 304, pText + " : Irregular Pressure");
    successCode = kBadPressure;
    return false;
  }
  if (!(p > 0.0)) {
    Post(kMsgError, 311, pText + " : Irregular Pressure; P<=0");
    return false;
  }
  temperatureK = t;
  pressureBar = p;
  matrix_.SetConditions(t, p, 1.0);
  return true;
}

// One named row: dataset, state functions, measured value and mark. False when reading must
// stop (the user cancelled, or the matrix refused the compound).
bool TReCalcWnd::LookUpAndAdd(int slot, int r, const std::string& name) {
  TPhaseSlot& s = calc_.slots[slot];
  StringGrid& g = s.grid;
  const PhaseSplit split = SplitPhaseSuffix(name);
  const int record = thermo_.FindDataset(split.name, split.phase, temperatureK);
  if (record < 0) {
    const std::string text = "[" + s.sheetName + "][A" + std::to_string(r + 1) + "]: " + name +
                             " does not exist in the database !";
    Post(kMsgError, 340, text);
    // After OK the row is left out: there are no values that could stand for it.
    return dialogs_.Question(text, "Invers Calculation", DialogButtons::kOkCancel) != kAnswerCancel;
  }
  const TDS tds = thermo_.Database().Tds();
  StateFunctionRecord sf;
  StateFunctions(thermo_.Database(), record, thermo_.Model(), pressureBar, temperatureK, sf);
  int state = 1;
  if (sf.status == kStateNotEvaluated) {
    // Without state functions the Gibbs energy is unknown: the compound takes no part.
    Post(kMsgImportant, 696,
         "Calculation is only for ideal gases possible" + tds.name + " " + tds.phase);
    state = 0;
  } else if (sf.status == kStateCannotExist) {
    Post(kMsgImportant, 307,
         tds.name + " " + tds.phase + " can not exist " + "at T[K]:" +
             std::to_string(std::lround(temperatureK)) + "; P[bar]:" + FormatFloat8(pressureBar));
    state = 0;
  }
  const std::string& header = g.Cell(ic::kName, 0);
  double measured = 0.0;
  const bool number = TryTextToFloat(Trim(g.Cell(ic::kMeasured, r)), measured);
  bool reference = IsReferenceMark(g.Cell(ic::kMark, r));
  if (reference && !number) {
    Post(kMsgCritical, 703,
         name + "  (" + header + ") : Irregular activity, can not be regarded as reference");
  }
  reference = reference && number && measured > 0.0;
  const bool extrapolated = tds.rangeFlag != 0;
  g.SetCell(ic::kInfo, r, extrapolated ? kExtrapolated : "");
  if (extrapolated && !thermo_.CBExtrapolation()) state = 0;
  // A switched-off compound has no trustworthy Gibbs energy: it cannot serve as a reference.
  if (reference && state < 1) {
    Post(kMsgError, 568, "Irregular reference: " + tds.name + " (" + header + ")");
    reference = false;
  }
  // The state goes in as the name gives it, "(g)": a gas listed on a condensed sheet is
  // calculated, as it is in an equilibrium run.
  const int q = matrix_.AddMatrixCompound(slot, tds.name, state, reference ? measured : 0.0,
                                          reference, sf.H, sf.G, tds.molDefinition, split.phase);
  if (q < 1) return false;
  rows_.push_back({slot, r, q});
  if (reference) matrix_.MarkReference(q);
  return true;
}

int TReCalcWnd::ReadInversePhase(int slot) {
  StringGrid& g = calc_.slots[slot].grid;
  for (int r = 1; r < g.RowCount(); ++r) {
    g.SetCell(ic::kComputed, r, "");
    const std::string name = Trim(g.Cell(ic::kName, r));
    if (name.empty()) continue;
    if (!LookUpAndAdd(slot, r, name)) return -1;
  }
  return 1;
}

bool TReCalcWnd::ReadPhases() {
  for (int k = 1; k <= kSlotCount; ++k) {
    if (calc_.slots[k].occupied && ReadInversePhase(k) < 0) {
      Post(kMsgError, 418, "No Calculation because errors");
      successCode = kReadingErrors;
      return false;
    }
  }
  return true;
}

bool TReCalcWnd::SolveMatrix() {
  if (matrix_.BuildAndSolve() != 1) {
    Post(kMsgError, 423, "No Calculation");
    successCode = kNoSolution;
    return false;
  }
  return true;
}

// Computed activities into grid column 3; "inf." where the exponent passed the limit.
void TReCalcWnd::FillComputedValues() {
  matrix_.ActivityFromLagrange(0);
  for (const MatrixRow& m : rows_) {
    const double a = matrix_.Activity(m.q);
    calc_.slots[m.slot].grid.SetCell(ic::kComputed, m.row, a < 0.0 ? "inf." : FormatFloat8(a));
  }
}

// Sums of the computed values of the first gas, liquid and solid phase: the gas sum is the
// pressure the gas would have, each condensed sum the activity total of a solution (1 when it
// is stable). A line is posted only when its phase took part.
void TReCalcWnd::PostSummary() {
  struct Line {
    int slot, number;
    const char* label;
  };
  static constexpr Line kLines[] = {{1, 349, "Gas: P="}, {3, 351, "Liq. a="}, {6, 353, "Sol. a="}};
  for (const Line& line : kLines) {
    bool present = false, overflow = false;
    double sum = 0.0;
    for (const MatrixRow& m : rows_) {
      if (m.slot != line.slot) continue;
      present = true;
      const double a = matrix_.Activity(m.q);
      overflow = overflow || a < 0.0;
      sum += a > 0.0 ? a : 0.0;
    }
    if (present)
      Post(kMsgInformation, line.number, line.label + (overflow ? "inf." : FormatFloat8(sum)));
  }
}

void TReCalcWnd::InverseCalculate() {
  successCode = kFailed;
  rows_.clear();
  Cursor(true);
  thermo_.RefreshDatabase();
  matrix_.ResetMatrix();
  if (ReadConditions() && ReadPhases() && SolveMatrix()) {
    FillComputedValues();
    successCode = 1;
    fitQuality = matrix_.FitQuality();
    Post(kMsgImportant, 768,
         "Result,  T:" + FormatFloat8(TemperatureShown()) + " ;  P:" + FormatFloat8(pressureBar) +
             " ; Corr.:" + FormatFloat8(fitQuality));
    PostSummary();
  }
  Cursor(false);
}

}  // namespace ploxen
