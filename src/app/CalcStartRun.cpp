// The parameter-string runner of the main window and its run commands.
#include "app/CalcStart.h"

#include "chem/PTools.h"
#include "chem/Periodica.h"
#include "kernel/EqKernel.h"
#include "linalg/LSolver.h"
#include "process/ConditionLayout.h"
#include "process/EqlCalcX.h"
#include "process/ReCalcX.h"
#include "support/AplMsg.h"
#include "support/AplStgs.h"
#include "workbook/BookPath.h"
#include "workbook/XlsObj.h"

namespace ploxen {

int TCalcStartWnd::ParseParameters() {
  const std::string& p = parameters;
  if (p.empty()) return -1;
  options = SplitParameters(p);
  conditionSheet = 0;
  const bool readOnly = options.Has(kOptReadOnly);
  stay = options.Has(kOptStay) || readOnly || calc_.busy || debug;
  calc_.readOnly = readOnly;
  bookOpened = false;
  if (!options.Has(kOptBook)) {
    log_.Post(kMsgError, 268, "No any MS Excel file are defined in parameters");
    Caption = "Ploxen Mizzolith [ undefined]";
    showMainWindow = true;
    return -1;
  }
  const std::string book = options.Text(kOptBook);
  const std::string sheet = options.Text(kOptSheet);
  ShowStatus("Attempting to read, Please wait !", 10);
  if (processEvents) processEvents();
  if (book.empty() || xls_.OpenBook(book) < 0) {
    const std::string text = book + " can not be open";
    ShowStatus(text, 2);
    log_.Post(kMsgError, 432, text);
    return -1;
  }
  bookOpened = true;
  if (sheet.empty()) {
    const std::string text = "Condition sheet is not defined in " + book;
    log_.Post(kMsgError, 327, text);
    ShowStatus(text, 2);
    return -1;
  }
  const int index = xls_.FindSheet(sheet);
  if (index < 1) {
    const std::string text = sheet + ": (condition sheet) is  not found in " + book;
    log_.Post(kMsgError, 335, text);
    ShowStatus(text, 2);
    return -1;
  }
  conditionSheet = index;
  std::vector<std::string> cells;
  if (xls_.ReadRow(index, 1, cells, 2, 1) <= 0) return options.found;
  cells.resize(2);
  options.value[kOptKind] = LowerText(cells[0]);
  // "-r:" keeps the run read-only whatever B1 says.
  calc_.readOnly = readOnly || LowerText(cells[1]) == "ro";
  const std::string& kindText = options.value[kOptKind];
  const int kind = kindText == "eql" ? 0 : kindText == "rcl" ? 1 : -1;
  if (kind >= 0) {
    splashUpper = xls_.BookName();
    ShowStatus("attemting to read" + sheet, 9);
    log_.Post(kMsgInformation, 433, "Conditions: " + BookFileName(book));
    if (options.Has(kOptOnTop)) log_.SetOnTop(true);
    log_.Post(kMsgImportant, 295, "Parameters:" + p);
    return options.found;
  }
  std::string text = "[" + xls_.BookName() + "][" + sheet + "][A1]!= \"eql\"; != \"rcl\"";
  if (starting) {
    log_.Post(kMsgCritical, 486, text + " unknown calculation system. Calculation break !");
    starting = false;
  } else {
    log_.Post(kMsgCritical, 492, text + " unknown calculation system !");
  }
  return -1;
}

void TCalcStartWnd::RefreshLists() {
  CbxXls = xls_.CbxBook.items;
  CbxXlsIndex = -1;
  for (size_t i = 0; i < CbxXls.size(); ++i) {
    if (CbxXls[i] == xls_.BookName()) CbxXlsIndex = static_cast<int>(i);
  }
  CbxCond = xls_.CbxSheet.items;
  const int c = conditionSheet - 1;
  CbxCondIndex = (c >= 0 && c < static_cast<int>(CbxCond.size())) ? c : -1;
}

void TCalcStartWnd::RunParameters() {
  calc_.breakRequested = false;
  int lastKind = -1;
  int b = 0;
  do {
    calc_.systemValid = true;
    if (!calc_.repeatSameSheet && ParseParameters() <= 0) break;
    const std::string& kindText = options.value[kOptKind];
    const int kind = kindText == "sfc" ? 2 : kindText == "rcl" ? 1 : 0;
    RefreshLists();
    if (kind == 0 || kind == 1) {
      calc_.SetWorkbook(&book_);
      calc_.conditionSheet = conditionSheet;
      calc_.messageBook = xls_.BookName();
      calc_.messageSheet = xls_.SheetName(conditionSheet);
      calc_.runParameters = parameters;
      calc_.followingParameters = parameters;
      calc_.stayOpen = stay;
      if (kind == 0) {
        b = calc_.RunWorkbook();
      } else {
        b = recalc_.RunInverse();
        // The batch end reports the inverse run's outcome like an equilibrium's.
        calc_.calculationOk = recalc_.Succeeded();
      }
      parameters = calc_.followingParameters;
    }
    closeAllowed = b == 0;
    if (calc_.breakRequested) b = 0;
    lastKind = kind;
  } while (b > 0);
  countdown = 2;
  if (batchMode) timerEnabled = true;
  calc_.busy = false;
  calc_.repeatSameSheet = false;
  if (lastKind == 0) FillLagrangeTable();
}

// The system matrix window shows the kernel's Lagrange coefficients of the last run.
void TCalcStartWnd::FillLagrangeTable() {
  const int n = kernel_.SystemElementCount();
  std::vector<std::string> symbols;
  std::vector<double> lambda;
  for (int j = 1; j <= n; ++j) {
    symbols.push_back(elements_.ElementSymbol(kernel_.SystemElementIndex(j)));
    lambda.push_back(static_cast<double>(kernel_.LagrangeCoefficient(j)));
  }
  matrix_.ShowLagrange(symbols, lambda);
}

void TCalcStartWnd::ButtonCalculate() {
  if (calc_.IsBusy(true)) return;
  calc_.busy = true;
  calc_.firstReadingFromButton = true;
  log_.Clear();
  const std::string p = CalculationParameters();
  EditPrm = programPath + " " + p;
  parameters = p;
  RunParameters();
  calc_.busy = false;
}

void TCalcStartWnd::CalculateAgain(int k) {
  if (calc_.IsBusy(true)) return;
  calc_.busy = true;
  log_.Clear();
  timerEnabled = true;
  const auto& menu = settings_.RecentMenuState();
  std::string p = (k >= 0 && k < RecentMenu::kItems) ? menu.caption[k] : std::string();
  const size_t amp = p.find('&');
  if (amp != std::string::npos) p.erase(amp, 1);
  parameters = p;
  RunParameters();
  if (!bookOpened) {
    if (k >= 0 && k < static_cast<int>(settings_.Recent().size())) settings_.RemoveRecent(k);
    settings_.AddRecent("*");
    StatusPanel0 = p;
    kernel_.RequestBreak();
    countdown = 2;
  }
  calc_.busy = false;
}

void TCalcStartWnd::Break() {
  if (calc_.busy) {
    calc_.busy = false;
    calc_.breakRequested = true;
    kernel_.RequestBreak();
    splashUpper.clear();
    ShowStatus("Stop", 2);
    return;
  }
  StatusPanel0 = "stop ok";
  kernel_.RequestBreak();
  countdown = 2;
}

}  // namespace ploxen
