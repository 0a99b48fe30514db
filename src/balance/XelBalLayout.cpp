// The two layouts of the element balance workbook. Every amount cell is a formula that reads
// the process workbook ("='[Book.xlsx]gas'!B3*C15"), converts it to moles and multiplies it by
// the atoms of the element per molecule, so the balance follows every later calculation.
#include <string>
#include <vector>

#include "balance/ElementShare.h"
#include "balance/XelBal.h"
#include "chem/PTools.h"
#include "chem/Periodica.h"
#include "process/AmountInput.h"
#include "process/EqlCalcX.h"
#include "support/AplMsg.h"
#include "thermo/TDynOprt.h"

namespace ploxen {

namespace {

constexpr double kNormalK = 273.15;     ///< temperature of normal volumes [K]
constexpr double kNormalBar = 1.01325;  ///< pressure of normal volumes [bar]
constexpr double kFoot3M3 = 0.028316;   ///< m³ per ft³
constexpr int kUnitNormalVolume = 7;    ///< "[Nm³]"
const char kAmountColumns[] = "DEFG";   ///< columns of the element amounts

std::string Num(int n) {
  return std::to_string(n);
}

/// A book or sheet name as it stands inside a quoted reference: an apostrophe is doubled, so
/// that "Bob's gas" becomes 'Bob''s gas'!A2 and not a formula that names nothing.
std::string Quoted(const std::string& name) {
  std::string out;
  for (char c : name) {
    out += c;
    if (c == '\'') out += c;
  }
  return out;
}

/// Sets the cell of column `column` (0 = A) in sheet row `row`, growing the grid when needed.
void Put(StringGrid& grid, int column, int row, const std::string& text) {
  if (row > grid.RowCount()) grid.SetRowCount(row);
  grid.SetCell(column, row - 1, text);
}

void ClearGrid(StringGrid& grid, int rows) {
  grid.Resize(TXelBalDlg::kColumns, rows);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < grid.ColCount(); ++c) grid.SetCell(c, r, "");
  }
}

/// Header row of a phase block or sheet: A `first`, B to G the column captions.
void PutHeader(StringGrid& grid, int row, const std::string& first, const std::string& symbol) {
  const std::string captions[] = {first,
                                  "MW [g/mol]",
                                  symbol + " [mol/mol]",
                                  symbol + " (in) [mol]",
                                  symbol + " (out) [mol]",
                                  symbol + " (in) [kg]",
                                  symbol + " (out) [kg]"};
  for (int c = 0; c < 7; ++c) Put(grid, c, row, captions[c]);
}

/// A summary line: phase sheet name and where its balance row is ("=" or "='gas'!" + row).
struct SummaryEntry {
  std::string sheet;
  std::string prefix;
  int row = 0;
};

/// Summary rows 2..n+1, then "SUM" and "Diff".
void PutSummary(StringGrid& grid, const std::vector<SummaryEntry>& entries) {
  const int n = static_cast<int>(entries.size());
  for (int i = 0; i < n; ++i) {
    Put(grid, 2, i + 2, entries[i].sheet);
    for (int c = 0; c < 4; ++c) {
      Put(grid, 3 + c, i + 2, entries[i].prefix + kAmountColumns[c] + Num(entries[i].row));
    }
  }
  const std::string sum = Num(n + 2);
  Put(grid, 2, n + 2, "SUM");
  for (int c = 0; c < 4; ++c) {
    const std::string l(1, kAmountColumns[c]);
    Put(grid, 3 + c, n + 2, "=SUM(" + l + "2:" + l + Num(n + 1) + ")");
  }
  Put(grid, 2, n + 3, "Diff");
  Put(grid, 4, n + 3, "=E" + sum + "-D" + sum);
  Put(grid, 6, n + 3, "=G" + sum + "-F" + sum);
}

}  // namespace

std::string TXelBalDlg::Prefix(int slot) const {
  return "='[" + Quoted(bookName_) + "]" + Quoted(calc_.slots[slot].sheetName) + "'!";
}

// Looks one table row up: 0 for an empty name, -1 (posted as `missingNumber`) when the
// compound has no dataset, else 1 with the element's atoms and the critical data.
int TXelBalDlg::InspectRow(int slot, int row, const std::string& symbol, int missingNumber,
                           BalanceRow& out) {
  out = BalanceRow{};
  out.name = Trim(calc_.slots[slot].grid.Cell(gc::kName, row));
  if (out.name.empty()) return 0;
  PhaseSplit split = SplitPhaseSuffix(out.name);
  if (split.phase == "(u)") split.phase = StateText(SlotKind(slot));
  const double tK = static_cast<double>(calc_.temperatureK);
  if (thermo_.FindDataset(split.name, split.phase, tK) < 0) {
    log_.Post(kMsgError, missingNumber,
              "The data of " + out.name + " does not exist in the database");
    return -1;
  }
  out.dataset = thermo_.Database().Tds();
  const std::string mol = thermo_.Database().MolDefinitionOf(split.name, split.phase);
  if (mol.empty()) {
    log_.Post(kMsgError, 350, "Mol definition " + out.name + " is not correct in the database");
    return 1;
  }
  const ElementShareResult share = ElementShare(elements_, mol, symbol);
  out.contains = share.contains;
  out.atoms = share.atoms;
  return 1;
}

// What turns an amount cell into moles: nothing for mol, the molar mass of column B for the
// masses, the gas volume per mole V for volumes (Z·R·T'/P', normal state for Nm³).
std::string TXelBalDlg::UnitSuffix(int unit, int slot, int sheetRow, const BalanceRow& row) const {
  const std::string b = "/B" + Num(sheetRow);
  switch (unit) {
    case 1:
      return b;
    case 2:
      return "*1000" + b;
    case 3:
      return "*453.59237" + b;
    case 4:
    case 5:
    case 6:
    case kUnitNormalVolume:
      break;
    default:
      return "";
  }
  const bool normal = unit == kUnitNormalVolume;
  const double tK = normal ? kNormalK : static_cast<double>(calc_.temperatureK);
  const double pBar =
      normal ? kNormalBar : (IsGasSlot(slot) ? static_cast<double>(calc_.pressureBar) : 1.0);
  const double z = DatasetCompressibility(thermo_, row.dataset, pBar, tK);
  double v = z * kGasConstant * tK / pBar / 100000.0;  // m³/mol
  if (unit == 4) v *= 1000.0;
  if (unit == 6) v /= kFoot3M3;
  return "/" + FormatFloat8(v);
}

// Compact: A1 the element, A2 its atomic mass, the summary from row 2, and from row 14 one
// block per phase (header, a row per compound holding the element, "EOT" with the sums).
bool TXelBalDlg::BuildCompact(const std::string& symbol, double atomMass) {
  const std::vector<int> used = SlotsInUse();
  StringGrid& g = WorkGrid(0);
  int rows = 8;
  for (int slot : used) rows += calc_.slots[slot].grid.RowCount() + 3;
  ClearGrid(g, rows);
  Put(g, 0, 1, symbol);
  Put(g, 0, 2, FormatFloat8(atomMass));
  std::vector<SummaryEntry> entries;
  int header = kFirstHeader;
  int lastEot = header;
  for (int slot : used) {
    const TPhaseSlot& s = calc_.slots[slot];
    PutHeader(g, header, s.sheetName, symbol);
    int r = header + 1;
    for (int k = 1; k < s.grid.RowCount(); ++k) {
      BalanceRow row;
      const int found = InspectRow(slot, k, symbol, 536, row);
      if (found < 0) return false;
      if (found == 0 || !row.contains) continue;
      const std::string sr = Num(r), kr = Num(k + 1), ref = Prefix(slot);
      Put(g, 0, r, ref + "A" + kr);
      Put(g, 1, r, s.grid.Cell(10, k));
      Put(g, 2, r, FormatFloat8(row.atoms));
      Put(g, 3, r, ref + "B" + kr + UnitSuffix(s.inputUnit, slot, r, row) + "*C" + sr);
      Put(g, 4, r, ref + "C" + kr + UnitSuffix(s.outputUnit, slot, r, row) + "*C" + sr);
      Put(g, 5, r, "=$A$2/1000*D" + sr);
      Put(g, 6, r, "=$A$2/1000*E" + sr);
      ++r;
    }
    const int eot = r;
    const int count = eot - header - 1;
    Put(g, 0, eot, "EOT");
    for (int c = 0; c < 4; ++c) {
      const std::string l(1, kAmountColumns[c]);
      if (count == 1) Put(g, 3 + c, eot, "=" + l + Num(eot - 1));
      if (count > 1)
        Put(g, 3 + c, eot, "=SUM(" + l + Num(header + 1) + ":" + l + Num(eot - 1) + ")");
    }
    entries.push_back({s.sheetName, "=", eot});
    lastEot = eot;
    header = eot + 2;
  }
  PutSummary(g, entries);
  g.SetRowCount(std::max(lastEot, static_cast<int>(entries.size()) + 3));
  return true;
}

// Full: one sheet per phase whose rows follow the phase sheet row for row, the element's
// atomic mass in B of its "EOT" row; the summary sheet references their "EOT" rows.
bool TXelBalDlg::BuildFull(const std::string& symbol, double atomMass) {
  const std::vector<int> used = SlotsInUse();
  std::vector<SummaryEntry> entries;
  for (int slot : used) {
    const TPhaseSlot& s = calc_.slots[slot];
    const int tableRows = s.grid.RowCount();
    const std::string eot = Num(tableRows + 1);
    StringGrid& g = WorkGrid(slot);
    ClearGrid(g, tableRows + 1);
    PutHeader(g, 1, s.grid.Cell(gc::kName, 0), symbol);
    for (int k = 1; k < tableRows; ++k) {
      BalanceRow row;
      const int found = InspectRow(slot, k, symbol, 317, row);
      if (found < 0) return false;
      if (found == 0) continue;
      const std::string kr = Num(k + 1), ref = Prefix(slot);
      Put(g, 0, k + 1, ref + "A" + kr);
      Put(g, 1, k + 1, s.grid.Cell(10, k));
      if (!row.contains) continue;
      Put(g, 2, k + 1, FormatFloat8(row.atoms));
      Put(g, 3, k + 1, ref + "B" + kr + UnitSuffix(s.inputUnit, slot, k + 1, row) + "*C" + kr);
      Put(g, 4, k + 1, ref + "C" + kr + UnitSuffix(s.outputUnit, slot, k + 1, row) + "*C" + kr);
      Put(g, 5, k + 1, "=B" + eot + "/1000*D" + kr);
      Put(g, 6, k + 1, "=B" + eot + "/1000*E" + kr);
    }
    Put(g, 0, tableRows + 1, "EOT");
    Put(g, 1, tableRows + 1, FormatFloat8(atomMass));
    for (int c = 0; c < 4; ++c) {
      const std::string l(1, kAmountColumns[c]);
      Put(g, 3 + c, tableRows + 1, "=SUM(" + l + "2:" + l + Num(tableRows) + ")");
    }
    entries.push_back({s.sheetName, "='" + Quoted(s.sheetName) + "'!", tableRows + 1});
  }
  StringGrid& summary = WorkGrid(0);
  ClearGrid(summary, static_cast<int>(entries.size()) + 3);
  Put(summary, 0, 1, symbol);
  PutSummary(summary, entries);
  return true;
}

}  // namespace ploxen
