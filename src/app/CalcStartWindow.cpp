// The main window model on the desk: book and sheet lists, the sheet scan, the compounds and
// export menus, and where the message log window goes.
#include "app/CalcStart.h"

#include "chem/PTools.h"
#include "process/ConditionLayout.h"
#include "process/EqlCalcX.h"
#include "support/AplMsg.h"
#include "workbook/XlsObj.h"

namespace ploxen {
namespace {

constexpr int kRowPhases = 4;  // B4..I4: the phase sheet names of a condition sheet

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool IsPhaseKind(const std::string& a1) {
  return a1 == "(g)" || a1 == "(l)" || a1 == "(s)";
}

}  // namespace

LogPlacement PlaceLogWindow(const WindowRect& main, const WindowRect& log, const WindowRect& screen,
                            bool logOpen) {
  LogPlacement placement;
  if (logOpen) return placement;
  placement.moved = true;
  placement.left = main.left;
  placement.top = log.top;
  const int below = main.top + main.height;
  const int above = main.top - log.height;
  if (below + log.height <= screen.top + screen.height) {
    placement.top = below;
  } else if (above > 0) {
    placement.top = above;
  }
  return placement;
}

void TCalcStartWnd::OnBookNotification(int code) {
  StatusPanel0 = xls_.BookFullName();
  projectFolder = FolderOf(xls_.BookFullName());
  if (!projectFolder.empty()) calc_.projectFolder = projectFolder;
  if (code == 1) {
    CbxXls = xls_.CbxBook.items;
    CbxXlsIndex = CbxXls.empty() ? -1 : 0;
    if (CbxXls.empty()) {
      CbxCond.clear();
      CbxCondIndex = -1;
      Caption = "Ploxen Mizzolith";
    } else {
      CbxXlsChange(0);
    }
  } else if (code == 2) {
    CbxCond = xls_.CbxSheet.items;
    CbxCondIndex = CbxCond.empty() ? -1 : 0;
  }
  Changed();
}

void TCalcStartWnd::SheetScan() {
  if (calc_.busy) return;
  phaseSheets.clear();
  visualSheet.clear();
  getPositionChecked = false;
  bool conditionFound = false;
  for (size_t i = 0; i < CbxCond.size(); ++i) {
    const int sheet = static_cast<int>(i) + 1;
    const std::string a1 = LowerText(Trim(xls_.ReadCell(sheet, 1, 1)));
    if (!conditionFound && (a1 == "eql" || a1 == "rcl")) {
      conditionFound = true;
      CbxCondIndex = static_cast<int>(i);
      StatusPanel1 = a1 == "eql" ? "Equilibrium" : "Invers Calculation";
    } else if (visualSheet.empty() && (a1 == "pres" || a1 == "visual")) {
      visualSheet = CbxCond[i];
      getPositionChecked = true;
    } else if (IsPhaseKind(a1)) {
      phaseSheets.push_back(CbxCond[i]);
    }
  }
  if (onVisualSheet) onVisualSheet(visualSheet);
}

void TCalcStartWnd::CbxXlsChange(int index) {
  if (index < 0 || index >= static_cast<int>(CbxXls.size())) return;
  CbxXlsIndex = index;
  xls_.ListSheets(index + 1);  // notifies with 2: CbxCond follows
  visualSheet.clear();
  getPositionChecked = false;
  SheetScan();
  Caption = CbxCond.empty() ? "Ploxen Mizzolith" : "Ploxen Mizzolith [" + CbxXls[index] + "]";
  CbxCondChange(CbxCondIndex);
}

void TCalcStartWnd::CbxCondChange(int index) {
  if (calc_.busy) return;
  if (index < 0 || index >= static_cast<int>(CbxCond.size())) {
    RebuildCompoundsMenu(0, "");
    Changed();
    return;
  }
  CbxCondIndex = index;
  SelectListedBook();
  const int sheet = index + 1;
  if (!xls_.SelectSheet(sheet)) {
    StatusPanel1 = "!";
    RebuildCompoundsMenu(0, "");
    Changed();
    return;
  }
  const std::string a1 = LowerText(Trim(xls_.ReadCell(sheet, 1, 1)));
  if (a1 == "eql") StatusPanel1 = "thermodynamic system";
  if (a1 == "rcl") StatusPanel1 = "invers calculation of a thermodynamic system";
  if (a1 == "(g)") StatusPanel1 = "Gas Phase";
  if (a1 == "(l)") StatusPanel1 = "Liquid Phase";
  if (a1 == "(s)") StatusPanel1 = "Solid Phase";
  if (a1 == "pres" || a1 == "visual") StatusPanel1 = "Visualisation";
  RebuildCompoundsMenu(sheet, a1);
  Changed();
}

void TCalcStartWnd::RebuildCompoundsMenu(int sheet, const std::string& kind) {
  MnuCompounds = {"Compounds off", false, false};
  for (MenuItemState& item : Ph) item = {"", false, false};
  if (kind != "eql" && kind != "rcl") return;
  MnuCompounds.caption = "Compounds of ->";
  std::vector<std::string> names;
  if (xls_.ReadRow(sheet, kRowPhases, names, 9, 2) <= 0) {
    log_.Post(kMsgError, 723, "Acces to Excelfile is inpossible");
    return;
  }
  MnuCompounds.enabled = true;
  MnuCompounds.visible = true;
  for (size_t k = 0; k < names.size() && k < Ph.size(); ++k) {
    const std::string name = Trim(names[k]);
    if (name == "EOT") break;  // the end mark of the row
    if (!name.empty()) Ph[k] = {name, true, true};
  }
}

void TCalcStartWnd::ButtonXlsClick() {
  if (calc_.busy) return;
  xls_.UpdateWorkBooksClick();
  if (xls_.CbxBook.items.empty()) {
    CbxXls.clear();
    CbxCond.clear();
    CbxXlsIndex = CbxCondIndex = -1;
  }
  Changed();
}

void TCalcStartWnd::ShowBook(const std::string& name) {
  xls_.ListBooks(-1);
  CbxXls = xls_.CbxBook.items;
  for (size_t i = 0; i < CbxXls.size(); ++i) {
    if (CbxXls[i] == name) {
      CbxXlsChange(static_cast<int>(i));
      return;
    }
  }
  CbxXlsIndex = CbxXls.empty() ? -1 : 0;
  if (CbxXlsIndex == 0) CbxXlsChange(0);
  Changed();
}

void TCalcStartWnd::ButtonUpdateClick() {
  if (CbxXlsIndex < 0) return;
  const int keep = CbxCondIndex;
  xls_.ListSheets(CbxXlsIndex + 1);
  if (keep >= 0 && keep < static_cast<int>(CbxCond.size())) CbxCondIndex = keep;
  Changed();
}

void TCalcStartWnd::PrepareExportMenu() {
  const std::string selected = SelectedSheet();
  const bool visible = !CbxCond.empty() && !phaseSheets.empty() && !MnuCompounds.enabled;
  bool selectedIsPhase = false;
  for (MenuItemState& item : MnuToPh) item = {"", false, false};
  for (size_t k = 0; k < phaseSheets.size() && k < MnuToPh.size(); ++k) {
    const std::string& name = phaseSheets[k];
    if (name == selected) selectedIsPhase = true;
    MnuToPh[k] = {name, visible && name != selected, true};
  }
  MnuExportCompundsInto.visible = visible;
  MnuExportCompundsInto.enabled = visible && selectedIsPhase;
  MnuExportCompundsInto.caption = MnuExportCompundsInto.enabled
                                      ? "Insert [" + selected + "] substances to"
                                      : "Export compunds into";
}

std::string TCalcStartWnd::NotFoundText(const std::string& sheet) const {
  return "Worksheet [" + sheet + "] does not exist in \"" + SelectedBook() + "\"";
}

int TCalcStartWnd::PhClick(int k) {
  if (CbxXls.empty() || CbxXlsIndex < 0) {
    log_.Post(kMsgError, 748,
              "No any MS Excel files selected, Please select or cureate a MS Excel file!");
    return 0;
  }
  if (k < 0 || k >= kPhaseItems || !WorkbookCommandAllowed()) return 0;
  SelectListedBook();
  const std::string& name = Ph[k].caption;
  const int sheet = name.empty() ? -1 : xls_.FindSheet(name);
  if (sheet < 1) {
    log_.Post(kMsgCritical, 757, NotFoundText(name));
    return 0;
  }
  return sheet;
}

int TCalcStartWnd::MnuToPhClick(int k) {
  if (k < 0 || k >= kPhaseItems || !WorkbookCommandAllowed()) return -1;
  SelectListedBook();
  const std::string source = SelectedSheet();
  const std::string& target = MnuToPh[k].caption;
  if (source.empty() || xls_.FindSheet(source) < 1) {
    log_.Post(1, 802, NotFoundText(source));
    return -1;
  }
  if (target.empty() || xls_.FindSheet(target) < 1) {
    log_.Post(1, 821, NotFoundText(target));
    return -1;
  }
  calc_.SetWorkbook(&book_);
  return calc_.CopyCompounds(source, target);
}

bool TCalcStartWnd::MnuElementsClick() {
  if (!CbxXls.empty()) return true;
  log_.Post(kMsgError, 712,
            "No any MS Excel files selected, Please select or create a MS Excel file!");
  return false;
}

bool TCalcStartWnd::PrepareExport(bool equilibriumFile) {
  if (!WorkbookCommandAllowed()) return false;
  SelectListedBook();
  calc_.SetWorkbook(&book_);
  calc_.conditionSheet = xls_.FindSheet(SelectedSheet());
  calc_.messageBook = xls_.BookName();
  calc_.messageSheet = SelectedSheet();
  if (calc_.conditionSheet < 1 || !calc_.ReadConditionSheet()) return false;
  for (int k = 1; k <= kSlotCount; ++k) {
    TPhaseSlot& slot = calc_.slots[k];
    if (!slot.occupied) continue;
    ShowStatus("Reading sheet [" + slot.sheetName + "], please wait!", 15);
    if (!calc_.ReadPhaseSheet(slot.sheetIndex, k)) return false;
    StringGrid& grid = slot.grid;
    if (equilibriumFile) {
      grid.SetCell(8, 0, "T (in)");
      grid.SetCell(9, 0, "Comm.");
    }
    // Sheet row r + 1 goes to table row r: out amount, composition, activity and information.
    const int rows = grid.RowCount();
    const int from[] = {3, 4, 5, 8};
    const int to[] = {2, 3, 4, 7};
    for (int c = 0; c < 4; ++c) {
      if (xls_.ReadColumnToGrid(slot.sheetIndex, from[c], 0, to[c], grid, rows, 1) < 0)
        return false;
    }
  }
  return true;
}

bool TCalcStartWnd::WorkbookCommandAllowed() {
  return !calc_.IsBusy(true);
}

ProcessWorkbook& TCalcStartWnd::SelectedProcessBook() {
  SelectListedBook();
  calc_.SetWorkbook(&book_);
  return book_;
}

std::string TCalcStartWnd::SelectedBook() const {
  const bool ok = CbxXlsIndex >= 0 && CbxXlsIndex < static_cast<int>(CbxXls.size());
  return ok ? CbxXls[CbxXlsIndex] : std::string();
}

std::string TCalcStartWnd::SelectedSheet() const {
  const bool ok = CbxCondIndex >= 0 && CbxCondIndex < static_cast<int>(CbxCond.size());
  return ok ? CbxCond[CbxCondIndex] : std::string();
}

// A book that the spreadsheet holds from a file is named by its full path, so that the
// parameter string opens it again after a restart (history entries).
std::string TCalcStartWnd::CalculationParameters() const {
  const std::string sheet = SelectedSheet();
  std::string book;
  if (!sheet.empty()) {
    book = SelectedBook();
    if (!book.empty() && book == xls_.BookName() && !xls_.BookFullName().empty() &&
        xls_.BookFullName().find_first_of("/\\") != std::string::npos) {
      book = xls_.BookFullName();
    }
  }
  return " -x: " + book + " -c: " + sheet + " -s: ";
}

bool TCalcStartWnd::SelectListedBook() {
  const std::string name = SelectedBook();
  if (name.empty()) return false;
  if (name == xls_.BookName()) return true;
  const int book = xls_.FindBook(name);
  // SelectBook lists the sheets again; the notification must not reset the selection.
  const int keep = CbxCondIndex;
  const bool ok = book > 0 && xls_.SelectBook(book) == book;
  if (keep >= 0 && keep < static_cast<int>(CbxCond.size())) CbxCondIndex = keep;
  return ok;
}

}  // namespace ploxen
