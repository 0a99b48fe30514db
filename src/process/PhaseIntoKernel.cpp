// Reading one phase slot into the kernel system: dataset lookup, state functions at the system
// temperature and pressure, input amount in mol, coefficient, relation value and properties.
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

std::string RoundedText(double v) {
  return std::to_string(std::lround(v));
}

// Coefficient from the F text: 1 when empty, "(1)" or "-1", else its value (0 when no number).
double CoefficientOf(const std::string& text) {
  if (text.empty() || text.find("(1)") != std::string::npos || text == "-1") return 1.0;
  return TextToFloat(text);
}

}  // namespace

double PropertyValue(Property p, const StateFunctionRecord& sf, double molarMass) {
  switch (p) {
    case Property::kMolarMass:
      return molarMass;
    case Property::kHeatCapacity:
      return sf.Cp;
    case Property::kEnthalpy:
      return sf.H;
    case Property::kEntropy:
      return sf.S;
    case Property::kGibbs:
      return sf.G;
    case Property::kZ:
      return sf.z;
    default:
      return 0.0;
  }
}

// Input amount [mol] of an amount text in unit code `unit` at the system pressure; false for an
// amount that cannot be read or is negative.
bool TEqlCalcWnd::InputMoles(const std::string& amount, int unit, int record, const TDS& tds,
                             const StateFunctionRecord& sf, double& moles) {
  const double z = sf.z > 0.0 ? sf.z : 1.0;
  const AmountInput a =
      AmountTextToMoles(thermo_, elements_, amount, unit, record, tds.molDefinition,
                        static_cast<double>(pressureBar) / z, static_cast<double>(temperatureK));
  moles = a.fault == AmountFault::kNone ? a.moles : 0.0;
  return a.fault == AmountFault::kNone;
}

// Relation value (reactive share) of a G text: 1 when empty, unreadable (1322) or outside
// 0..1 (1328).
double TEqlCalcWnd::RelationValue(const std::string& text, const std::string& cell) {
  if (text.empty()) return 1.0;
  double relation = 1.0;
  if (!TryTextToFloat(text, relation)) {
    Post(kMsgCritical, 1322, "Error in " + cell + text + "; regarded as 1");
    return 1.0;
  }
  if (relation < 0.0 || relation > 1.0) {
    Post(kMsgCritical, 1328, "Invalid value " + cell + text + "; regarded as 1");
    return 1.0;
  }
  return relation;
}

// State functions of dataset `record` at the system T and P; the compound's state M (0 when
// it cannot exist there, after message 1306; message 1277 when the model cannot give them).
int TEqlCalcWnd::EvaluateState(int record, const PhaseSplit& split, const TDS& tds,
                               StateFunctionRecord& sf) {
  const double t = static_cast<double>(temperatureK);
  const double p = static_cast<double>(pressureBar);
  StateFunctions(thermo_.Database(), record, thermo_.Model(), p, t, sf);
  if (sf.status == kStateNotEvaluated) {
    Post(kMsgError, 1277,
         split.name + " " + split.phase + ": Calculation is only for ideal gases possible" +
             "T[K]:" + RoundedText(t) + "; P[bar]:" + FormatFloat8(p));
  } else if (sf.status == kStateCannotExist) {
    Post(kMsgImportant, 1306,
         tds.name + " " + tds.phase + " can not exist" + "at T[K]:" + RoundedText(t) +
             "; P[bar]:" + FormatFloat8(p));
    return 0;
  }
  return 1;
}

// The property columns (grid columns 9, 10) of compound row r in the selectors' units.
void TEqlCalcWnd::WriteProperties(int slot, int r, const StateFunctionRecord& sf,
                                  double molarMass) {
  TPhaseSlot& s = slots[slot];
  for (int i = 0; i < 2; ++i) {
    const PropertySelector& sel = s.properties[i];
    if (!sel.Active()) continue;
    const double v =
        ConvertProperty(PropertyValue(sel.property, sf, molarMass), sel.unitCode, molarMass);
    s.grid.SetCell(9 + i, r, FormatFloat8(v));
  }
}

bool TEqlCalcWnd::ReadPhaseIntoKernel(int slot) {
  TPhaseSlot& s = slots[slot];
  StringGrid& g = s.grid;
  s.compoundCount = 0;
  const int n = s.Rows();
  if (n == 1) {
    const std::string only = Trim(g.Cell(gc::kName, 1));
    if (only.empty() || only == "-" || only == "1") return true;
  }
  const double t = static_cast<double>(temperatureK);
  const bool condensed = !IsGasSlot(slot);
  const PXDatabase& db = thermo_.Database();
  int lastAdded = 0;
  for (int r = 1; r <= n; ++r) {
    const std::string name = Trim(g.Cell(gc::kName, r));
    if (name.empty()) {
      systemValid = false;
      Post(kMsgError, 1982,
           "Blank cell in first column " + std::to_string(r) + " in the phase \"" + s.sheetName +
               "\" irregular (EM)");
      return false;
    }
    if (totalCompounds >= kMaxCompounds) {
      systemValid = false;
      Post(kMsgError, 1983,
           "[" + s.sheetName + "][A" + std::to_string(r + 1) + "]: more than " +
               std::to_string(kMaxCompounds) + " compounds in the system !");
      return false;
    }
    ++s.compoundCount;
    ++totalCompounds;
    const PhaseSplit split = SplitPhaseSuffix(name);
    const int record = thermo_.FindDataset(split.name, split.phase, t);
    if (record < 0) {
      systemValid = false;
      Post(kMsgError, 1168,
           "[" + s.sheetName + "][A" + std::to_string(r + 1) + "]: " + name +
               " does not exist in the database !");
      break;
    }
    const TDS tds = db.Tds();
    const bool extrapolated = tds.rangeFlag != 0;
    StateFunctionRecord sf;
    int state = EvaluateState(record, split, tds, sf);
    double moles = 0.0;
    if (!InputMoles(Trim(g.Cell(gc::kInput, r)), s.inputUnit, record, tds, sf, moles)) {
      systemValid = false;
      Post(kMsgError, 1134, tds.name + " " + tds.phase + ": irregular input value ");
      return false;
    }
    const std::string coefText = Trim(g.Cell(gc::kCoefficient, r));
    const double gamma = CoefficientOf(coefText);
    g.SetCell(gc::kInfo, r, extrapolated ? kExtrapolationMark : "");
    if (extrapolated && !thermo_.CBExtrapolation()) state = 0;
    if (split.phase != "(g)" && tds.Tc > 0.0 && tds.Tc < t) state = 0;
    const double relation = RelationValue(
        Trim(g.Cell(gc::kRelation, r)), "[" + s.sheetName + "][G" + std::to_string(r + 1) + "]: ");
    const int q = kernel_.AddCompound(slot, tds.name, relation, state, gamma, moles, sf.G,
                                      tds.molDefinition, tds.phase);
    if (q < 1) {
      systemValid = false;
      return false;
    }
    lastAdded = q;
    if (condensed && (coefText.starts_with("(1)") || coefText == "-1")) kernel_.FixUnitActivity(q);
    WriteProperties(slot, r, sf, elements_.MolarMass(tds.molDefinition));
  }
  if (s.compoundCount == 1 && condensed && Trim(g.Cell(gc::kCoefficient, 1)).empty() &&
      lastAdded > 0) {
    Post(kMsgImportant, 2134,
         "[" + s.sheetName + "] " + Trim(g.Cell(gc::kName, 1)) + " regarded as pure substance");
    kernel_.FixUnitActivity(lastAdded);
  }
  return true;
}

}  // namespace ploxen
