// The commands of the phase grids of the thermodynamic system window: units, sorts, the fixed
// name column, removing compounds, pasting, the selection and the automatic element selection.
#include <algorithm>

#include "chem/PTools.h"
#include "chem/Periodica.h"
#include "process/EqlCalcX.h"
#include "process/ProcessWorkbook.h"
#include "support/AplMsg.h"
#include "thermo/TDynOprt.h"

namespace ploxen {
namespace {

/// A menu caption without its accelerator marks.
std::string WithoutAmpersands(const std::string& caption) {
  std::string text;
  for (char c : caption) {
    if (c != '&') text += c;
  }
  return text;
}

bool ValidSlot(int slot) {
  return slot >= 1 && slot <= kSlotCount;
}

/// Number of lines and the longest line-or-cell of a clipboard text, counted as the paste
/// splits it (CR LF, LF or CR end a line, a tab ends a cell; a final break adds no line).
struct TextShape {
  std::size_t lines = 0;
  std::size_t longestCell = 0;
};

TextShape ShapeOf(const std::string& text) {
  TextShape shape;
  std::size_t cell = 0;
  bool open = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      ++shape.lines;
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      cell = 0;
      open = false;
      continue;
    }
    open = true;
    if (c == '\t') {
      cell = 0;
    } else {
      shape.longestCell = std::max(shape.longestCell, ++cell);
    }
  }
  if (open) ++shape.lines;
  return shape;
}

}  // namespace

const std::array<std::string, 8>& TEqlCalcWnd::DimensionCaptions() {
  static const std::array<std::string, 8> kCaptions = {"[mol]", "[g]",  "[kg]",  "[lb]",
                                                       "[l]",   "[m3]", "[ft3]", "[Nm3]"};
  return kCaptions;
}

const std::array<std::string, 9>& TEqlCalcWnd::SortCaptions() {
  static const std::array<std::string, 9> kCaptions = {
      "&In", "&Out", "&X", "&Activity", "a.c/f.c", "Rel.", "Info", "T(in)", "Comment"};
  return kCaptions;
}

void TEqlCalcWnd::PopDimIn(int slot, int unit) {
  if (!ValidSlot(slot) || unit < 0 || unit >= kUnitCount) return;
  slots[slot].grid.SetCell(gc::kInput, 0, "In " + WithoutAmpersands(DimensionCaptions()[unit]));
  slots[slot].inputUnit = unit;
}

void TEqlCalcWnd::PopDimOut(int slot, int unit) {
  if (!ValidSlot(slot) || unit < 0 || unit >= kUnitCount) return;
  slots[slot].grid.SetCell(gc::kOutput, 0, "Out " + WithoutAmpersands(DimensionCaptions()[unit]));
  slots[slot].outputUnit = unit;
}

void TEqlCalcWnd::SortBy(int slot, int column, TTablOprtWnd& table) {
  if (!ValidSlot(slot)) return;
  StringGrid& g = slots[slot].grid;
  if (column < 0 || column >= g.ColCount()) return;
  if (column == gc::kName) {
    table.SortRowsAsText(g, column);
  } else {
    table.SortRowsByValueDown(g, column);
  }
}

std::array<std::string, 4> TEqlCalcWnd::SortHeaders(int slot) const {
  std::array<std::string, 4> headers;
  for (int k = 0; k < 4; ++k) {
    headers[k] = ValidSlot(slot) ? slots[slot].grid.Cell(k + 1, 0) : std::string();
  }
  return headers;
}

void TEqlCalcWnd::FixCol(int slot) {
  if (!ValidSlot(slot)) return;
  StringGrid& g = slots[slot].grid;
  g.fixedCols = g.fixedCols > 0 ? 0 : 1;
  g.col = 1;
}

// Rows go from the bottom one upwards so that the indices above stay valid; a grid keeps its
// header row and one (then empty) compound row, which a run reads as an empty phase.
int TEqlCalcWnd::RemoveFromSystem(int slot, UserDialogs& dialogs) {
  if (!ValidSlot(slot)) return 0;
  StringGrid& g = slots[slot].grid;
  const int top = std::max(1, g.selection.top);
  const int bottom = std::min(std::max(1, g.selection.bottom), g.RowCount() - 1);
  if (top > bottom) return 0;
  const std::string first = g.Cell(gc::kName, top);
  const std::string question =
      top == bottom ? "Remove from system  " + first + " ?"
                    : "Remove from system  " + first + "  .. " + g.Cell(gc::kName, bottom) + " ?";
  if (dialogs.Question(question, "Equilibrium", DialogButtons::kYesNo) != kAnswerYes) return 0;
  for (int r = bottom; r >= top; --r) {
    for (int below = r; below + 1 < g.RowCount(); ++below)
      std::swap(g.Row(below), g.Row(below + 1));
    if (g.RowCount() > 2) {
      g.SetRowCount(g.RowCount() - 1);
    } else {
      for (int c = 0; c < g.ColCount(); ++c) g.SetCell(c, 1, "");
    }
  }
  const int last = g.RowCount() - 1;
  g.selection = {g.selection.left, std::min(top, last), g.selection.right, std::min(top, last)};
  g.row = std::min(g.row, last);
  if (onCompoundsChanged) onCompoundsChanged(slot);
  return bottom - top + 1;
}

// The kernel takes at most 2048 compounds and a sheet cell holds 32767 characters: a text
// beyond either cannot be a phase table, and pasting it would only bury the grid.
int TEqlCalcWnd::PasteIntoGrid(int slot, TTablOprtWnd& table,
                               const std::optional<std::string>& clipboard) {
  if (!ValidSlot(slot)) return 0;
  StringGrid& g = slots[slot].grid;
  const int column = std::max(0, g.selection.left);
  const int row = std::max(0, g.selection.top);
  if (clipboard) {
    const TextShape shape = ShapeOf(*clipboard);
    if (shape.longestCell > kMaxPastedCell ||
        static_cast<std::size_t>(row) + shape.lines > static_cast<std::size_t>(kMaxPastedRows)) {
      Post(kMsgCritical, 2361,
           "The clipboard text does not fit into [" + slots[slot].tabCaption + "]: at most " +
               std::to_string(kMaxCompounds) + " rows of cells up to " +
               std::to_string(kMaxPastedCell) + " characters");
      return 0;
    }
  }
  const int pasted = table.PasteAt(g, column, row, clipboard);
  if (pasted > 0 && onCompoundsChanged) onCompoundsChanged(slot);
  return pasted;
}

bool TEqlCalcWnd::SelectCell(int slot, int column, int row) {
  if (!ValidSlot(slot) || column < 1 || row < 1) return false;
  lastGrid = slot;
  StringGrid& g = slots[slot].grid;
  if (!g.Contains(column, row)) return false;
  g.selection = {column, row, column, row};
  g.col = column;
  g.row = row;
  StatusPanel0 = std::to_string(column) + ": " + std::to_string(row);
  StatusPanel1 = g.Cell(column, 0);
  StatusPanel2 = g.Cell(gc::kName, row);
  return true;
}

// The rectangle spans from the current cell (where the last plain press landed) to the cell
// pressed with Ctrl, in whichever direction.
bool TEqlCalcWnd::GridMouseDown(int slot, int column, int row, bool ctrl) {
  if (!ctrl || !ValidSlot(slot)) return false;
  lastGrid = slot;
  StringGrid& g = slots[slot].grid;
  if (column == 0 && row == 0) {
    g.selection = {0, 0, g.ColCount() - 1, 0};
    return true;
  }
  if (!g.Contains(column, row) || column < 1 || row < 1) return false;
  g.selection = {std::min(g.col, column), std::min(g.row, row), std::max(g.col, column),
                 std::max(g.row, row)};
  StatusPanel0 = std::to_string(column) + ": " + std::to_string(row);
  StatusPanel1 = g.Cell(column, 0);
  StatusPanel2 = g.Cell(gc::kName, row);
  return true;
}

int TEqlCalcWnd::AutoSelectElements() {
  const int last =
      std::min(elements_.LastElementIndex(), static_cast<int>(elementFlags.size()) - 1);
  for (int i = 0; i <= last; ++i) {
    if (elementFlags[i] != 0) return 0;  // the user's selection stands
  }
  if (!book_ || conditionSheet < 1) return 0;
  std::vector<std::string> phases;
  if (book_->ReadRow(conditionSheet, 4, phases, 9, 2) < 0) return 0;
  const PXDatabase& db = thermo_.Database();
  int selected = 0;
  for (const std::string& phaseName : phases) {
    const std::string name = Trim(phaseName);
    if (name.empty() || name == "EOT") continue;
    const int sheet = book_->FindSheet(name);
    if (sheet < 1) continue;
    std::vector<std::string> column;
    if (book_->ReadColumn(sheet, 1, column, 0, 1) < 1 || column.empty()) continue;
    const std::string state = column.front();
    for (std::size_t r = 1; r < column.size(); ++r) {
      if (column[r] == "EOT") break;
      PhaseSplit split = SplitPhaseSuffix(Trim(column[r]));
      if (!split.ok) continue;
      if (split.phase == "(u)") split.phase = state;
      const std::string mol = db.MolDefinitionOf(split.name, split.phase);
      if (mol.empty()) continue;
      for (int i = 0; i <= last; ++i) {
        if (elementFlags[i] == 0 && elements_.ElementCount(elements_.ElementSymbol(i), mol) > 0) {
          elementFlags[i] = 1;
          ++selected;
        }
      }
    }
  }
  return selected;
}

}  // namespace ploxen
