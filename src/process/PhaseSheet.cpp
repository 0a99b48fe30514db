// Reading one phase sheet into its slot: input amounts, coefficients, relation values and the
// headers that select units, composition kind and property columns.
#include "process/EqlCalcX.h"
#include "process/ProcessWorkbook.h"
#include "process/SheetArea.h"
#include "support/AplMsg.h"

namespace ploxen {

// Column `column` from row 1 for every grid row into `gridColumn`. A failing read posts
// message `number` with the compound of the failing row and refuses the run.
bool TEqlCalcWnd::ReadGridColumn(int sheet, int column, int gridColumn, int slot, int number,
                                 const std::string& what, SheetArea* area) {
  StringGrid& grid = slots[slot].grid;
  std::vector<std::string> list;
  const int n = area ? area->ReadColumn(column, list, grid.RowCount(), 1)
                     : book_->ReadColumn(sheet, column, list, grid.RowCount(), 1);
  if (n < 0) {
    const int gridRow = -n - 1;
    Post(kMsgError, number, "Error in " + grid.Cell(gc::kName, gridRow) + what);
    systemValid = false;
    return false;
  }
  for (int r = 0; r < grid.RowCount(); ++r) {
    grid.SetCell(gridColumn, r, r < static_cast<int>(list.size()) ? list[r] : std::string());
  }
  return true;
}

bool TEqlCalcWnd::ReadPhaseSheet(int sheet, int slot) {
  if (!book_ || slot < 1 || slot > kSlotCount) return false;
  TPhaseSlot& s = slots[slot];
  if (!ReadGridColumn(sheet, 2, gc::kInput, slot, 488, " Input Value")) return false;
  std::vector<std::string> header;
  book_->ReadRow(sheet, 1, header, 10, 1);
  header.resize(10);
  s.grid.SetCell(gc::kOutput, 0, header[2]);
  s.grid.SetCell(gc::kComposition, 0, header[3]);
  s.grid.SetCell(gc::kActivity, 0, header[4]);
  // Columns F and G side by side: one read.
  SheetArea fg(*book_, sheet, 1, 6, s.grid.RowCount(), 2);
  if (!ReadGridColumn(sheet, 6, gc::kCoefficient, slot, 495, " fc/ac- Coeff", &fg)) return false;
  if (!ReadGridColumn(sheet, 7, gc::kRelation, slot, 499, " Relation Value", &fg)) return false;
  s.grid.SetCell(9, 0, header[8]);
  s.grid.SetCell(10, 0, header[9]);
  s.inputUnit = UnitCodeOfHeader(s.grid.Cell(gc::kInput, 0));
  s.outputUnit = UnitCodeOfHeader(header[2]);
  s.composition = CompositionOfHeader(header[3], s.composition);
  s.properties[0] = PropertyOfHeader(header[8]);
  s.properties[1] = PropertyOfHeader(header[9]);
  // The T(in) column carries the text of I1, so that writing its header back keeps I1.
  s.grid.SetCell(kGridTin, 0, s.properties[0].Active() ? std::string() : header[8]);
  return true;
}

}  // namespace ploxen
