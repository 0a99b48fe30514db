// Element selection: pending button states, the committed selection and its report.
#include "chem/Elements.h"

#include <algorithm>

#include "chem/PTools.h"
#include "chem/Periodica.h"
#include "support/AplMsg.h"

namespace ploxen {
namespace {

constexpr int kLanthanumRow = 8;  ///< La..Lu; the electron stands at its start
constexpr int kActiniumRow = 9;   ///< Ac..Lr

// Ends a report list "A, B, " as "A, B."; the trailing blank goes with the last comma.
std::string Close(const std::string& list) {
  const size_t comma = list.rfind(',');
  if (comma == std::string::npos) return list;
  return list.substr(0, comma) + ".";
}

}  // namespace

TElementsDlg::TElementsDlg(TAplMsgWnd& log, const Periodica& elements,
                           std::vector<std::uint8_t>& flags)
    : log_(log), elements_(elements), flags_(flags) {
  for (int i = 0; i < kButtonCount; ++i) BitBtn[i].tag = i;
  // The table row by row, then the two user rows: the order in which the window lists them.
  std::array<int, kTableRows * kTableColumns> grid;
  grid.fill(-1);
  for (int i = 0; i <= kLastBuiltIn; ++i) {
    const TableCell c = CellOf(i);
    grid[c.row * kTableColumns + c.column] = i;
  }
  for (int i : grid) {
    if (i >= 0) order_.push_back(i);
  }
  for (int i = kLastBuiltIn + 1; i < kButtonCount; ++i) order_.push_back(i);
}

TElementsDlg::TableCell TElementsDlg::CellOf(int index) {
  // First index and first column of each run of neighbours in periods 1 to 7.
  struct Run {
    int row, column, first, last;
  };
  static constexpr Run kRuns[] = {{0, 0, 1, 1},
                                  {0, 17, 2, 2},
                                  {1, 0, 3, 4},
                                  {1, 12, 5, 10},
                                  {2, 0, 11, 12},
                                  {2, 12, 13, 18},
                                  {3, 0, 19, 36},
                                  {4, 0, 37, 54},
                                  {5, 0, 55, 56},
                                  {5, 3, 72, 86},
                                  {6, 0, 87, 88},
                                  {6, 3, 104, 105},
                                  {kLanthanumRow, 2, 57, 71},
                                  {kActiniumRow, 2, 89, 103},
                                  {kLanthanumRow, 0, 0, 0}};
  for (const Run& r : kRuns) {
    if (index >= r.first && index <= r.last) return {r.row, r.column + index - r.first};
  }
  return {};
}

void TElementsDlg::ShowElements() {
  const int last = elements_.LastElementIndex();
  for (int i = 0; i < kButtonCount; ++i) {
    ElementButton& b = BitBtn[i];
    b.visible = i <= last;
    b.caption = b.visible ? elements_.ElementSymbol(i) : std::string();
    b.hint = b.visible ? elements_.ElementName(i) : std::string();
    if (i <= kLastBuiltIn) continue;
    const size_t length = b.caption.size();
    b.width = length >= 6 ? 48 : length < 3 ? 24 : 32;
    if (i == kFirstUserRow) b.width = 48;
    const bool rowStart = i == kFirstUserRow || i == kSecondUserRow;
    b.left = rowStart ? 8 : BitBtn[i - 1].left + BitBtn[i - 1].width;
  }
}

void TElementsDlg::ShowSelection() {
  for (ElementButton& b : BitBtn) {
    b.red = b.tag < static_cast<int>(flags_.size()) && flags_[b.tag] != 0;
  }
  UpdateSelectedElements();
}

void TElementsDlg::UpdateSelectedElements() {
  selected_.clear();
  for (int i : order_) {
    if (i < static_cast<int>(flags_.size()) && flags_[i] != 0 &&
        i <= elements_.LastElementIndex()) {
      selected_.push_back(elements_.ElementSymbol(i) + " ");
    }
  }
  std::sort(selected_.begin(), selected_.end());
}

bool TElementsDlg::AnySelected() const {
  return std::any_of(flags_.begin(), flags_.end(), [](std::uint8_t f) { return f != 0; });
}

void TElementsDlg::ButtonClick(int index) {
  if (index < 0 || index >= kButtonCount) return;
  BitBtn[index].red = !BitBtn[index].red;
  if (index > elements_.LastElementIndex()) {
    Label1 = "Error";
    Label2 = "-";
    Label3 = "-";
    return;
  }
  Label1 = elements_.ElementSymbol(index) + "           " + elements_.ElementName(index);
  Label2 = std::to_string(elements_.ElementNumber(index));
  Label3 = FormatFloat8(elements_.ElementWeight(index));
}

void TElementsDlg::CommitSelection() {
  std::string selection, deselected, added;
  selected_.clear();
  for (int i : order_) {
    const ElementButton& b = BitBtn[i];
    if (b.tag < 0 || b.tag >= static_cast<int>(flags_.size())) continue;
    std::uint8_t& flag = flags_[b.tag];
    if (!b.red && flag == 1) deselected += b.caption + ", ";
    if (b.red && flag == 0) added += b.caption + ", ";
    flag = b.red ? 1 : 0;
    if (b.red) {
      selection += b.caption + ", ";
      selected_.push_back(b.caption + " ");
    }
  }
  if (!selection.empty()) selection = "Elements Selection: " + Close(selection);
  if (!deselected.empty()) {
    log_.Post(kMsgInformation, 225, "Elements deselected: " + Close(deselected));
    if (!added.empty()) log_.Post(kMsgInformation, 230, "Elements added: " + Close(added));
  }
  if (!selection.empty()) log_.Post(kMsgInformation, 234, selection);
  std::sort(selected_.begin(), selected_.end());
}

void TElementsDlg::PanelAcceptClick() {
  CommitSelection();
  if (onAccepted) onAccepted();
}

int TElementsDlg::ElementIndexOf(std::string_view symbol) const {
  if (symbol.empty()) return -1;
  return elements_.FindSymbol(symbol);
}

}  // namespace ploxen
