// "Export to New Excel File": the current system as a new process workbook, a condition sheet
// followed by one phase sheet per occupied slot, that can be calculated again.
#include <iterator>

#include "kernel/EqKernel.h"
#include "process/EqlCalcX.h"
#include "process/ExportBook.h"
#include "process/ProcessWorkbook.h"
#include "support/AplMsg.h"

namespace ploxen {
namespace {

constexpr int kConditionColumns = 9;
constexpr int kConditionRows = 16;
constexpr int kPhaseSheetColumns = 10;  ///< A..J

}  // namespace

// The condition sheet of the export: labels in column A, the window's fields in column B and
// the occupied slots' sheet names from B4 on.
StringGrid TEqlCalcWnd::ConditionExportGrid() const {
  StringGrid g(kConditionColumns, kConditionRows);
  const char* const labels[] = {"eql",
                                "",
                                "",
                                "Phases",
                                "Calculation Conditions",
                                "Count",
                                "Precision",
                                "Iterations Steps",
                                "Presentation",
                                "Following Calculation",
                                "Recorder",
                                "V1",
                                "EOT"};
  for (int r = 0; r < static_cast<int>(std::size(labels)); ++r) g.SetCell(0, r, labels[r]);
  g.SetCell(0, 1, LabelT);
  g.SetCell(1, 1, EditTsys);
  g.SetCell(0, 2, LabelPV);
  g.SetCell(1, 2, EditPVsys);
  int column = 1;
  for (int k = 1; k <= kSlotCount; ++k) {
    if (slots[k].occupied) g.SetCell(column++, 3, slots[k].tabCaption);
  }
  g.SetCell(1, 6, kernel_.EditPrec);
  g.SetCell(1, 7, kernel_.EditILimit);
  return g;
}

// A phase sheet in the layout a calculation reads and writes: grid columns 0..7 are the
// sheet's A..H; column I is the first property column when it names a property, else the
// window's T(in) column; column J the second property column. A1 gives the slot's state and
// a last row "EOT" closes the sheet. The slot's own grid is left as it is.
StringGrid TEqlCalcWnd::PhaseExportGrid(int slot) const {
  const TPhaseSlot& s = slots[slot];
  const StringGrid& grid = s.grid;
  StringGrid g(kPhaseSheetColumns, grid.RowCount() + 1);
  const int columnI = s.properties[0].Active() ? 9 : kGridTin;
  for (int r = 0; r < grid.RowCount(); ++r) {
    for (int c = 0; c <= gc::kInfo; ++c) g.SetCell(c, r, grid.Cell(c, r));
    g.SetCell(8, r, grid.Cell(columnI, r));
    g.SetCell(9, r, grid.Cell(10, r));
  }
  g.SetCell(0, 0, StateText(SlotKind(slot)));
  g.SetCell(0, grid.RowCount(), "EOT");
  return g;
}

void TEqlCalcWnd::ExportToNewWorkbook(TExportBook& book) {
  log_.PostAlways(kMsgCritical, 1297, "Data transfer to MS Excel, please wait");
  int occupied = 0;
  for (int k = 1; k <= kSlotCount; ++k) occupied += slots[k].occupied ? 1 : 0;
  if (book.OpenExportBook(1 + occupied) <= 0) return;
  const auto broken = [this] {
    log_.PostAlways(kMsgError, 1682, "Data transfer to MS Excel is broken");
  };
  std::string name = "Cond";
  if (book_ && conditionSheet > 0) {
    const std::string read = book_->SheetName(conditionSheet);
    if (!read.empty() && read != "!") name = read;
  }
  // A condition sheet that cannot be written ends the export as a broken phase sheet does:
  // the phase sheets alone could not be calculated.
  if (book.ExportGrid(ConditionExportGrid(), 1, name) < 1) {
    broken();
    return;
  }
  int sheet = 2;
  for (int k = 1; k <= kSlotCount; ++k) {
    if (!slots[k].occupied) continue;
    if (book.ExportGrid(PhaseExportGrid(k), sheet++, slots[k].tabCaption) < 1) {
      broken();
      return;
    }
  }
  log_.PostAlways(kMsgImportant, 1688, "Data transfer to MS Excel is completed");
}

}  // namespace ploxen
