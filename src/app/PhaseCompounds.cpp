// The compound selection of a phase sheet: reading column A, inserting the new compounds.
#include "app/PhaseCompounds.h"

#include "app/CalcStart.h"
#include "chem/PTools.h"
#include "process/EqlCalcX.h"
#include "support/AplMsg.h"
#include "thermo/Compounds.h"

namespace ploxen {

TPhaseSheetCompounds::TPhaseSheetCompounds(TAplMsgWnd& log, TCalcStartWnd& main, TXlsWnd& xls,
                                           TEqlCalcWnd& calc, TCompoundsDlg& dialog)
    : log_(log), main_(main), calc_(calc), dialog_(dialog), book_(xls) {}

int TPhaseSheetCompounds::Open(int k) {
  const int sheet = main_.PhClick(k);  // posts 748 or 757
  if (sheet < 1) return 0;
  sheetName_ = main_.Ph[k].caption;
  std::vector<std::string> column;
  book_.ReadColumn(sheet, 1, column, 0, 1);
  const std::string a1 = column.empty() ? std::string() : Trim(column.front());
  const PhaseKind kind = PhaseKindOfDefinition(a1);
  if (kind == PhaseKind::kNone) {
    log_.Post(kMsgError, 2317,
              "in [" + sheetName_ + "] Cell [A1] must be phase definition (g), (l) or (s)");
    return 0;
  }
  grid_ = StringGrid(kGridColumns, 1);
  grid_.SetCell(0, 0, a1);
  for (size_t i = 1; i < column.size(); ++i) {
    const std::string name = Trim(column[i]);
    if (name == "EOT") break;
    grid_.SetRowCount(grid_.RowCount() + 1);
    grid_.SetCell(0, grid_.RowCount() - 1, CompleteCompoundName(name, kind));
  }
  if (grid_.RowCount() < 2) grid_.SetRowCount(2);
  dialog_.celsius = calc_.MnuTempC;
  const std::string state = StateText(kind);
  return dialog_.OpenForPhase(sheetName_, &grid_, state.substr(1, 1));
}

int TPhaseSheetCompounds::Accept() {
  dialog_.WriteBack(grid_);
  std::vector<std::string> names;
  for (int r = 1; r < grid_.RowCount(); ++r) {
    const std::string name = Trim(grid_.Cell(0, r));
    if (!name.empty()) names.push_back(name);
  }
  ProcessWorkbook* previous = calc_.Workbook();
  calc_.SetWorkbook(&book_);
  const int added = calc_.AddCompoundsToPhaseSheet(sheetName_, names);
  calc_.SetWorkbook(previous);
  return added;
}

}  // namespace ploxen
