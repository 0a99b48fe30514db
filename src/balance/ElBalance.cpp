// The element balance table: element box, slot tables with their "Sum" rows, shares and the
// status panels.
#include "balance/ElBalance.h"

#include "balance/ElementList.h"
#include "balance/ElementShare.h"
#include "chem/PTools.h"
#include "chem/Periodica.h"
#include "process/AmountInput.h"
#include "process/PhaseSlot.h"
#include "support/AplMsg.h"
#include "support/UserDialogs.h"
#include "thermo/TDynOprt.h"

namespace ploxen {

namespace {

constexpr const char* kDatabaseTitle = "Ploxen Database";

}  // namespace

TElBalanceDlg::TElBalanceDlg(TAplMsgWnd& log, Periodica& elements, TTDynOprtWnd& thermo,
                             UserDialogs& dialogs, TTablOprtWnd& table, TExportBook& exportBook)
    : log_(log),
      elements_(elements),
      thermo_(thermo),
      dialogs_(dialogs),
      table_(table),
      exportBook_(exportBook) {
  findDataset = [this](const std::string& name, const std::string& phase, double tK) {
    return thermo_.FindDataset(name, phase, tK);
  };
  for (int k = 0; k <= kSlotCount; ++k) {
    grids_[k] = StringGrid(kColumns, 2);
    grids_[k].tag = k;
    widths_[k].fill(64);
  }
}

void TElBalanceDlg::SetBalanceConditions(double tK, double p1Bar, double p2Bar, double pBar) {
  temperatureK_ = tK;
  pressureBar_ = pBar;
  p1Bar_ = p1Bar > 0.0 ? p1Bar : pBar;
  p2Bar_ = p2Bar > 0.0 ? p2Bar : pBar;
}

bool TElBalanceDlg::TabVisible(int tag) const {
  return sources[tag].inUse || tag == 1 || tag == 3 || tag == 6;
}

std::string TElBalanceDlg::TabCaption(int tag) const {
  return sources[tag].inUse ? sources[tag].caption : DefaultTabCaption(tag);
}

void TElBalanceDlg::OpenTable(const std::vector<std::uint8_t>& elementFlags) {
  for (int k = 1; k <= kSlotCount; ++k) {
    StringGrid& g = grids_[k];
    g.Resize(kColumns, 2);
    for (int r = 0; r < 2; ++r) {
      for (int c = 0; c < kColumns; ++c) g.SetCell(c, r, "");
    }
    complete_[k] = true;
  }
  CBE = SystemElementSymbols(elements_, elementFlags);
  CBEIndex = CBE.empty() ? -1 : 0;
}

TElBalanceDlg::SlotConditions TElBalanceDlg::ConditionsOf(int slot) const {
  if (slot == 1) return {p1Bar_, "(g)"};
  if (slot == 2) return {p2Bar_, "(g)"};
  return {1.0, slot <= 5 ? "(l)" : "(s)"};
}

void TElBalanceDlg::SetHeaders(StringGrid& g, const std::string& symbol) {
  const std::array<std::string, kColumns> headers = {"Compound",
                                                     "Total [mol] (in) ",
                                                     symbol + " [mol] (in)",
                                                     symbol + " [kg] (in)",
                                                     symbol + " rel. Mass (in)",
                                                     "Total [mol] (out) ",
                                                     symbol + " [mol] (out)",
                                                     symbol + " [kg] (out)",
                                                     symbol + " rel. Mass (out)"};
  for (int c = 0; c < kColumns; ++c) g.SetCell(c, 0, headers[c]);
}

// Moles of one amount cell; a cell that cannot be converted counts 0 after its message, a
// negative amount is reported and still shown.
double TElBalanceDlg::ConvertAmount(const std::string& name, const std::string& text, int unit,
                                    int record, const std::string& molDefinition,
                                    double pressureBar, bool output) {
  const AmountInput a = AmountTextToMoles(thermo_, elements_, Trim(text), unit, record,
                                          molDefinition, pressureBar, temperatureK_);
  const std::string values = (output ? "Output Values for " : "Input Values for ") + name;
  const int shift = output ? 14 : 0;  // output messages are numbered 14 above the input ones
  switch (a.fault) {
    case AmountFault::kNone:
      return a.moles;
    case AmountFault::kUnreadable:
      log_.Post(kMsgCritical, 327 + shift, values + " is irregular !");
      return 0.0;
    case AmountFault::kNotPlainNumber:
      log_.Post(kMsgCritical, 331 + shift, values + " is irregular !");
      return 0.0;
    case AmountFault::kNotConvertible:
      log_.Post(kMsgCritical, 334 + shift, values + " is irregular !");
      return 0.0;
    case AmountFault::kNegative:
      log_.Post(kMsgCritical, 337 + shift, values + " less than zero: irregular !");
      return a.moles;
  }
  return 0.0;
}

BalanceSlotSums TElBalanceDlg::BuildSlotTable(int slot, const std::string& symbol,
                                              double atomMass) {
  const BalanceSource& src = sources[slot];
  const SlotConditions cond = ConditionsOf(slot);
  StringGrid& g = grids_[slot];
  const int rows = src.table.RowCount() + 1;
  g.Resize(kColumns, rows);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < kColumns; ++c) g.SetCell(c, r, "");
  }
  g.row = rows - 1;
  g.selection.top = g.selection.bottom = rows - 1;
  SetHeaders(g, symbol);

  BalanceSlotSums sums;
  int r = 0;
  for (int k = 1; k < src.table.RowCount(); ++k) {
    const std::string name = Trim(src.table.Cell(0, k));
    if (name.empty()) continue;
    PhaseSplit split = SplitPhaseSuffix(name);
    if (split.phase == "(u)") split.phase = cond.marker;
    const std::string mol = thermo_.Database().MolDefinitionOf(split.name, split.phase);
    if (mol.empty()) {
      log_.Post(kMsgError, 350, "Mol definition " + name + " is not correct in the database");
    }
    const ElementShareResult share = ElementShare(elements_, mol, symbol);
    double in = 0.0, out = 0.0;
    if (share.contains) {
      const int record = findDataset(split.name, split.phase, temperatureK_);
      if (record < 0) {
        const std::string text = "The data of " + name + " does not exist in the database";
        log_.Post(kMsgError, 318, text);
        if (dialogs_.Question(text, kDatabaseTitle, DialogButtons::kOkCancel) == kAnswerCancel) {
          sums.complete = false;
          return sums;
        }
        continue;
      }
      const double z = DatasetCompressibility(thermo_, thermo_.Database().Tds(), cond.pressureBar,
                                              temperatureK_);
      const double p = cond.pressureBar / z;
      in = ConvertAmount(name, src.table.Cell(1, k), src.inputUnit, record, mol, p, false);
      out = ConvertAmount(name, src.table.Cell(2, k), src.outputUnit, record, mol, p, true);
      ++r;
    }
    if (CbxAllComp) r = k;
    if (!share.contains && !CbxAllComp) continue;
    g.SetCell(0, r, name);
    g.SetCell(1, r, FormatFloat8(in));
    g.SetCell(5, r, FormatFloat8(out));
    if (share.contains) {
      g.SetCell(2, r, FormatFloat8(in * share.atoms));
      g.SetCell(3, r, FormatFloat8(in * share.atoms * atomMass / 1000.0));
      g.SetCell(6, r, FormatFloat8(out * share.atoms));
      g.SetCell(7, r, FormatFloat8(out * share.atoms * atomMass / 1000.0));
    }
    sums.elementIn += in * share.atoms;
    sums.elementOut += out * share.atoms;
    sums.molesIn += in;
    sums.molesOut += out;
  }
  g.SetRowCount(r + 2);
  const int sumRow = r + 1;
  // The selection stays on the last row, now the "Sum" row, not below the shortened grid.
  g.row = sumRow;
  g.selection.top = g.selection.bottom = sumRow;
  g.SetCell(0, sumRow, "Sum");
  g.SetCell(1, sumRow, FormatFloat8(sums.molesIn));
  g.SetCell(2, sumRow, FormatFloat8(sums.elementIn));
  g.SetCell(3, sumRow, FormatFloat8(sums.elementIn * atomMass / 1000.0));
  g.SetCell(5, sumRow, FormatFloat8(sums.molesOut));
  g.SetCell(6, sumRow, FormatFloat8(sums.elementOut));
  g.SetCell(7, sumRow, FormatFloat8(sums.elementOut * atomMass / 1000.0));
  return sums;
}

// Shares of the element totals, read back from the element columns as shown. Rows left empty
// (skipped source rows) stay empty; a table broken off by the user has no "Sum" row to fill.
void TElBalanceDlg::WriteShares(int slot) {
  StringGrid& g = grids_[slot];
  const int last = complete_[slot] ? g.RowCount() - 2 : g.RowCount() - 1;
  double sumIn = 0.0, sumOut = 0.0;
  for (int r = 1; r <= last; ++r) {
    if (g.Cell(0, r).empty()) continue;
    const double in = totalIn_ > 0.0 ? TextToFloat(g.Cell(2, r)) / totalIn_ : 0.0;
    const double out = totalOut_ > 0.0 ? TextToFloat(g.Cell(6, r)) / totalOut_ : 0.0;
    g.SetCell(4, r, FormatFloat8(in));
    g.SetCell(8, r, FormatFloat8(out));
    sumIn += in;
    sumOut += out;
  }
  if (!complete_[slot]) return;
  g.SetCell(4, last + 1, FormatFloat8(sumIn));
  g.SetCell(8, last + 1, FormatFloat8(sumOut));
}

void TElBalanceDlg::WriteStatusPanels(double atomMass) {
  StatusPanels[0] = "In:" + FormatFloat8(totalIn_) + "[mol]";
  StatusPanels[1] = "Out:" + FormatFloat8(totalOut_) + "[mol]";
  StatusPanels[2] = "Dif.:" + FormatFloat8(totalIn_ - totalOut_) + "[mol]";
  StatusPanels[3] = "In:" + FormatFloat8(totalIn_ * atomMass / 1000.0) + "[kg]";
  StatusPanels[4] = "Out:" + FormatFloat8(totalOut_ * atomMass / 1000.0) + "[kg]";
}

void TElBalanceDlg::ButtonUpdate() {
  // No element to balance (a system that was never read or calculated): say so.
  if (CBEIndex < 0 || CBEIndex >= static_cast<int>(CBE.size())) {
    log_.Post(1, 199, "Error in element selction");
    return;
  }
  if (onBusyCursor) onBusyCursor(true);
  const std::string symbol = CBE[CBEIndex];
  const double atomMass = elements_.ElementWeight(elements_.FindSymbol(symbol));
  Caption = std::string(kCaption) + ": " + symbol;
  totalIn_ = 0.0;
  totalOut_ = 0.0;
  for (int k = 1; k <= kSlotCount; ++k) {
    if (!sources[k].inUse) continue;
    const BalanceSlotSums sums = BuildSlotTable(k, symbol, atomMass);
    complete_[k] = sums.complete;
    totalIn_ += sums.elementIn;
    totalOut_ += sums.elementOut;
  }
  for (int k = 1; k <= kSlotCount; ++k) {
    if (sources[k].inUse) WriteShares(k);
  }
  WriteStatusPanels(atomMass);
  if (onBusyCursor) onBusyCursor(false);
}

}  // namespace ploxen
