// The visualisation window: moving and sizing fields, saving positions, data input and the
// bottom panel's book and sheet lists.
#include <algorithm>

#include "chem/PTools.h"
#include "support/AplMsg.h"
#include "visual/PresView.h"
#include "workbook/BookPath.h"
#include "workbook/XlsObj.h"

namespace ploxen {

namespace {

std::string Pair(int a, int b) { return std::to_string(a) + ";" + std::to_string(b); }

}  // namespace

void TPresViewWnd::ShowFieldStatus(const PresField& f) {
  StatusPanel[0] = "ID: " + std::to_string(f.number);
  StatusPanel[1] = "X;Y: " + Pair(f.left, f.top);
  StatusPanel[2] = "W;H: " + Pair(f.width, f.height);
  StatusPanel[3] = f.hint;
}

void TPresViewWnd::SelectField(int n) {
  if (n < 1 || n > kFieldCount || !fields[n].exists) return;
  selectedField = n;
  ShowFieldStatus(fields[n]);
  Changed();
}

// A drag stops at the window's edge: a left of -1 is what "Save Positions" writes for a
// hidden field, so no visible field may be saved there.
void TPresViewWnd::DragField(int n, int left, int top) {
  if (n < 1 || n > kFieldCount || !fields[n].exists) return;
  PresField& f = fields[n];
  f.left = std::max(0, left);
  f.top = std::max(0, top);
  selectedField = n;
  ShowFieldStatus(f);
  Changed();
}

void TPresViewWnd::MoveField(int n, int dx, int dy) {
  if (n < 1 || n > kFieldCount || !fields[n].exists) return;
  DragField(n, fields[n].left + dx, fields[n].top + dy);
}

void TPresViewWnd::SizeField(int n, int dw, int dh) {
  if (n < 1 || n > kFieldCount || !fields[n].exists) return;
  PresField& f = fields[n];
  f.width = std::max(4, f.width + dw);
  f.height = std::max(4, f.height + dh);
  selectedField = n;
  ShowFieldStatus(f);
  Changed();
}

void TPresViewWnd::HideField(int n) {
  if (n < 1 || n > kFieldCount || !fields[n].exists) return;
  fields[n].visible = false;
  if (selectedField == n) selectedField = 0;
  Changed();
}

int TPresViewWnd::NextVisibleField(int n, int step) const {
  for (int k = n + step; k >= 1 && k <= kFieldCount; k += step) {
    if (fields[k].exists && fields[k].visible) return k;
  }
  return n;
}

void TPresViewWnd::ShowAll(bool show) {
  if (show && !fields[1].exists) CreateFieldsFrom(1);
  for (int n = 1; n <= kFieldGroup; ++n) {
    if (fields[n].exists) fields[n].visible = show;
  }
  Changed();
}

void TPresViewWnd::PictureClick(int x, int y) {
  StatusPanel[0] = "Mouse Pos.";
  StatusPanel[1] = "X;Y: " + Pair(x, y);
  StatusPanel[2] = visualSheetName;
  StatusPanel[3] = BookFileName(pictureFile);
  Changed();
}

void TPresViewWnd::WindowChanged(const PresRect& r) {
  window = r;
  StatusPanel[0] = "Window Pos.";
  StatusPanel[1] = "X;Y: " + Pair(r.left, r.top);
  StatusPanel[2] = "W;H: " + Pair(r.width, r.height);
  Changed();
}

// Walks column A from row 2 to a row "ro" and, unlike a walk to the last used row, also
// stops at "EOT": rows below the list may hold anything, and columns E to H there are the
// user's own.
int TPresViewWnd::SavePositions() {
  const int sheet = SelectFollowedBook() && !visualSheetName.empty()
                        ? xls_.FindSheet(visualSheetName) : -1;
  if (sheet <= 0) {
    log_.Post(kMsgCritical, 428,
              "Access to sheet[" + visualSheetName + "] is not posible visualisation");
    return 0;
  }
  std::vector<std::string> keys;
  if (xls_.ReadColumn(sheet, 1, keys, std::max(1, xls_.LastRow(sheet)), 1) < 0) return 0;
  int written = 0;
  for (int r = 2; r <= static_cast<int>(keys.size()); ++r) {
    const std::string& key = keys[static_cast<std::size_t>(r - 1)];
    if (LowerAscii(key) == "ro" || key == xls_.EotMarker) break;
    int ok = 1;
    if (key == "W") {
      ok = xls_.WriteRow(sheet,
                         {std::to_string(window.left), std::to_string(window.top),
                          std::to_string(window.width), std::to_string(window.height)},
                         5, r);
    } else {
      const int n = TextToInt(key);
      if (n < 1 || n > kFieldCount) continue;
      const PresField& f = fields[n];
      ok = f.exists && f.visible
               ? xls_.WriteRow(sheet,
                               {std::to_string(f.left), std::to_string(f.top),
                                std::to_string(f.width), std::to_string(f.height)},
                               5, r)
               : xls_.WriteCell(sheet, r, "-1", 5);
    }
    if (ok <= 0) return 0;  // posted by the interface
    ++written;
  }
  Changed();
  return written;
}

int TPresViewWnd::DataInput(int n, const std::string& text) {
  if (n < 1 || n > kFieldCount) return 0;
  const int sheet = SelectFollowedBook() && !visualSheetName.empty()
                        ? xls_.FindSheet(visualSheetName) : -1;
  if (sheet <= 0) return 0;
  std::vector<std::string> keys;
  if (xls_.ReadColumn(sheet, 1, keys, std::max(1, xls_.LastRow(sheet)), 1) < 0) return 0;
  int row = 0;
  for (int r = 1; r <= static_cast<int>(keys.size()) && row == 0; ++r) {
    const std::string& key = keys[static_cast<std::size_t>(r - 1)];
    if (key == xls_.EotMarker) break;
    if (TextToInt(key) == n) row = r;
  }
  if (row == 0) return 0;
  if (LowerAscii(Trim(xls_.ReadCell(sheet, row, 9))) != "x") {
    StatusPanel[0] = " Data input is not permitted!";
    StatusPanel[1] = " Enter [I][" + std::to_string(row) + "]=\"x\" to enable Data Input";
    Changed();
    return 0;
  }
  const std::size_t eq = text.find('=');
  if (eq == std::string::npos) {
    StatusPanel[0] = "Use \" = {value}\" to enable Data Input of {value}";
    Changed();
    return 0;
  }
  // The blanks around the value would make a number a text cell.
  const std::string value = Trim(text.substr(eq + 1));
  if (xls_.WriteCell(sheet, row, value, 3) <= 0) return 0;
  Refresh();
  StatusPanel[0] = value + " entered";
  Changed();
  return 1;
}

void TPresViewWnd::UpdateBooks() {
  CbxBooks.clear();
  CbxBooksIndex = -1;
  if (!xls_.HasServer()) {
    xls_.ProgId = progId_.empty() ? xls_.ProgId : progId_;
    if (!xls_.AttachExcel()) {
      Changed();
      return;
    }
  }
  if (xls_.ListBooks(-1) > 0) CbxBooks = xls_.CbxBook.items;
  for (std::size_t i = 0; i < CbxBooks.size(); ++i) {
    if (LowerAscii(CbxBooks[i]) == LowerAscii(BookFileName(book_)))
      CbxBooksIndex = static_cast<int>(i);
  }
  Changed();
}

// A chosen book offers its first sheet whose A1 begins with "visual" and makes it the visual
// sheet; without one it shows the first sheet whose A1 reads "pres".
void TPresViewWnd::ChooseBook(int index) {
  if (index < 0 || index >= static_cast<int>(CbxBooks.size())) return;
  CbxBooksIndex = index;
  FollowBook(progId_.empty() ? xls_.ProgId : progId_, CbxBooks[static_cast<std::size_t>(index)]);
  CbxSheets.clear();
  CbxSheetsIndex = -1;
  if (!SelectFollowedBook()) {
    Changed();
    return;
  }
  xls_.ListSheets(xls_.BookIndex());
  CbxSheets = xls_.CbxSheet.items;
  int pres = -1;
  for (int i = 0; i < static_cast<int>(CbxSheets.size()); ++i) {
    const std::string a1 = LowerAscii(Trim(xls_.ReadCell(i + 1, 1, 1)));
    if (a1.compare(0, 6, "visual") == 0) {
      CbxSheetsIndex = i;
      SetVisualSheet(CbxSheets[static_cast<std::size_t>(i)]);
      pres = -1;
      break;
    }
    if (pres < 0 && a1 == "pres") pres = i;
  }
  if (pres >= 0) CbxSheetsIndex = pres;
  Changed();
}

void TPresViewWnd::ChooseSheet(int index) {
  if (index < 0 || index >= static_cast<int>(CbxSheets.size())) return;
  CbxSheetsIndex = index;
  Changed();
}

void TPresViewWnd::GetData() {
  if (CbxSheetsIndex < 0 || CbxSheetsIndex >= static_cast<int>(CbxSheets.size())) return;
  SetVisualSheet(CbxSheets[static_cast<std::size_t>(CbxSheetsIndex)]);
  Refresh();
}

}  // namespace ploxen
