// The "Element Balance" dialog: element list, reading the system and sending the working
// grids to a new workbook. The layouts themselves are built in XelBalLayout.cpp.
#include "balance/XelBal.h"

#include <algorithm>
#include <string>
#include <vector>

#include "balance/ElementList.h"
#include "chem/Periodica.h"
#include "process/EqlCalcX.h"
#include "process/ExportBook.h"
#include "process/ProcessWorkbook.h"
#include "process/SheetArea.h"
#include "support/AplMsg.h"

namespace ploxen {

namespace {

/// Clears the calculation window's busy mark however the command ends.
class BusyMark {
 public:
  explicit BusyMark(bool& busy) : busy_(busy) { busy_ = true; }
  ~BusyMark() { busy_ = false; }
  BusyMark(const BusyMark&) = delete;
  BusyMark& operator=(const BusyMark&) = delete;

 private:
  bool& busy_;
};

}  // namespace

TXelBalDlg::TXelBalDlg(TAplMsgWnd& log, TEqlCalcWnd& calc, TTDynOprtWnd& thermo,
                       const Periodica& elements, TExportBook& exporter)
    : log_(log), calc_(calc), thermo_(thermo), elements_(elements), exporter_(exporter) {}

TXelBalDlg::~TXelBalDlg() = default;

std::string BalanceSummaryName(const std::string& element, const std::string& conditionSheet) {
  std::string name = element + "." + conditionSheet;
  if (name.size() > 31) name.resize(30);
  return name;
}

void TXelBalDlg::Status(const std::string& text, int seconds) {
  if (showStatus) showStatus(text, seconds);
}

StringGrid& TXelBalDlg::WorkGrid(int index) {
  if (!grids_[index]) grids_[index] = std::make_unique<StringGrid>(kColumns, 2);
  return *grids_[index];
}

std::vector<int> TXelBalDlg::SlotsInUse() const {
  std::vector<int> used;
  for (int k = 1; k <= kSlotCount; ++k) {
    if (calc_.slots[k].occupied) used.push_back(k);
  }
  return used;
}

std::string TXelBalDlg::SelectedText() const {
  if (CBEIndex < 0 || CBEIndex >= static_cast<int>(CBE.size())) return {};
  return CBE[CBEIndex];
}

void TXelBalDlg::PrepareBalance() {
  if (installSelectionCallback) installSelectionCallback([this] { RefreshElementList(); });
  WorkGrid(0);
  RefreshElementList();
  Caption = kCaption;
}

void TXelBalDlg::RefreshElementList() {
  const std::string remembered = SelectedText();
  CBE = SystemElementSymbols(elements_, calc_.elementFlags);
  const auto it = std::find(CBE.begin(), CBE.end(), remembered);
  if (it != CBE.end()) {
    CBEIndex = static_cast<int>(it - CBE.begin());
  } else {
    CBEIndex = CBE.empty() ? -1 : 0;
  }
}

void TXelBalDlg::BtnElementsClick() {
  if (installSelectionCallback) installSelectionCallback([this] { RefreshElementList(); });
  if (showElementSelection) showElementSelection();
}

// Reads the phase sheet of one slot with its output column C (table column 2) and the molar
// masses of column J (table column 10), sheet row r going to table row r - 1. The results of
// columns D, E and H come along (F and G are inputs the sheet reading took), so that the
// system window, which shows the same table, keeps the results the sheet holds.
bool TXelBalDlg::ReadPhase(int slot) {
  TPhaseSlot& s = calc_.slots[slot];
  Status("Reading " + s.sheetName + ", please wait", 15);
  if (!calc_.ReadPhaseSheet(s.sheetIndex, slot)) return false;
  ProcessWorkbook& book = *calc_.Workbook();
  const int rows = s.grid.RowCount();
  if (book.ReadColumnToGrid(s.sheetIndex, 3, 0, gc::kOutput, s.grid, rows, 1) < 0) return false;
  SheetArea results(book, s.sheetIndex, 1, gc::kComposition + 1, rows,
                    gc::kInfo - gc::kComposition + 1);
  for (int column : {gc::kComposition, gc::kActivity, gc::kInfo}) {
    std::vector<std::string> list;
    if (results.ReadColumn(column + 1, list, rows, 1) < 0) return false;
    for (int r = 0; r < rows; ++r) {
      s.grid.SetCell(column, r, r < static_cast<int>(list.size()) ? list[r] : std::string());
    }
  }
  return book.ReadColumnToGrid(s.sheetIndex, 10, 0, 10, s.grid, rows, 1) >= 0;
}

// The condition sheet, temperature, pressure and every phase sheet of the selected system.
bool TXelBalDlg::ReadSystem() {
  ProcessWorkbook& book = *calc_.Workbook();
  calc_.conditionSheet = book.FindSheet(conditionSheetName);
  calc_.messageBook = book.BookName();
  calc_.messageSheet = conditionSheetName;
  calc_.systemValid = true;
  if (!calc_.ReadConditionSheet() || !calc_.CheckConditions()) return false;
  bookName_ = book.BookName();
  for (int slot : SlotsInUse()) {
    if (!ReadPhase(slot)) return false;
  }
  return true;
}

void TXelBalDlg::BtnBalanceClick(bool sender) {
  if (calc_.IsBusy(false)) return;
  BusyMark mark(calc_.busy);
  std::string symbol;
  double atomMass = 0.0;
  if (sender) {
    symbol = SelectedText();
    const int index = symbol.empty() ? -1 : elements_.FindSymbol(symbol);
    if (index < 0) {
      log_.Post(1, 199, "Error in element selction");
      return;
    }
    atomMass = elements_.ElementWeight(index);
    log_.PostAlways(kMsgCritical, 194,
                    symbol + " (" + SelectedText() + ") Balance creating, please wait");
  }
  if (processBook) calc_.SetWorkbook(processBook);
  if (calc_.CheckConditionSheet(conditionSheetName) != 0) {
    const std::string book = calc_.Workbook() ? calc_.Workbook()->BookName() : std::string();
    log_.Post(kMsgCritical, 201,
              "[" + book + "][" + conditionSheetName + "][A1]=eql  must be an equilibrium system.");
    return;
  }
  if (!ReadSystem()) return;
  if (!sender) {
    Status("initialisation complete", 1);
    return;
  }
  const bool built = CbxCompact ? BuildCompact(symbol, atomMass) : BuildFull(symbol, atomMass);
  if (!built || !Export(symbol)) return;
  Status("Data are written to sheets", 1);
  log_.PostAlways(kMsgImportant, 244, symbol + " Balance finished");
  visible = false;
}

// Sends the working grids to a new workbook: the phase sheets of the full layout first, then
// the summary as sheet 1; sheets after the last one written are removed.
bool TXelBalDlg::Export(const std::string& symbol) {
  log_.Post(kMsgImportant, 661, symbol + " Balance; Data Transfer to  MS Excel, please wait");
  if (processMessages) processMessages();
  const std::vector<int> used = SlotsInUse();
  const int sheets = CbxCompact ? 1 : static_cast<int>(used.size()) + 1;
  if (exporter_.OpenExportBook(sheets) <= 0) return false;
  if (!CbxCompact) {
    int k = 2;
    for (int slot : used) {
      const std::string& name = calc_.slots[slot].sheetName;
      Status(symbol + " Balance for [" + name + "], please wait", 10);
      if (exporter_.ExportGrid(*grids_[slot], k++, name) < 1) return false;
    }
  }
  log_.Post(kMsgImportant, 692, symbol + " Balance; Finalisation, please wait");
  const std::string summary = BalanceSummaryName(SelectedText(), conditionSheetName);
  if (exporter_.ExportGrid(*grids_[0], 1, summary) < 1) return false;
  exporter_.DeleteSheetsAfter(sheets);
  exporter_.ShowApplication();
  Status("Balance complete", 2);
  log_.Post(kMsgImportant, 730, "Balance complete");
  return true;
}

}  // namespace ploxen
