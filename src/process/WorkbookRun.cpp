// The workbook run: read the process workbook, calculate, write, count and work out the
// following calculation.
#include "chem/PTools.h"
#include "process/ConditionLayout.h"
#include "process/EqlCalcX.h"
#include "process/ProcessWorkbook.h"
#include "support/AplMsg.h"

namespace ploxen {

void TEqlCalcWnd::RestoreCounter() {
  if (autoCounter && !readOnly) {
    book_->WriteCell(conditionSheet, cond::kRowCount, std::to_string(runCounter - 1), 2);
  }
}

int TEqlCalcWnd::RunWorkbook() {
  if (!book_) return -1;
  systemValid = true;
  if (!ReadConditionSheet()) return -1;
  autoCounter = AutoCounter(book_->ReadCell(conditionSheet, cond::kRowCount, 1));
  if (autoCounter) {
    runCounter = NextRunCounter(TextToInt(book_->ReadCell(conditionSheet, cond::kRowCount, 2)));
    if (!readOnly) {
      book_->WriteCell(conditionSheet, cond::kRowCount, std::to_string(runCounter), 2);
    }
  }
  for (int k = 1; k <= kSlotCount; ++k) {
    if (!slots[k].occupied) continue;
    Status("Reading " + slots[k].sheetName + ", please wait", 15);
    ReadPhaseSheet(slots[k].sheetIndex, k);
  }
  if (!systemValid) {
    RestoreCounter();
    return 0;
  }
  if (breakRequested) return 0;
  if (CbxPV == 1 && !slots[1].occupied && !slots[2].occupied) {
    const std::string text = "No any gas phase is defined for constant volume";
    Post(kMsgError, 427, text);
    Status(text, 2);
    RestoreCounter();
    return 0;
  }
  Calculate(false);
  if (!calculationOk) {
    RestoreCounter();
    Cursor(false);
    Status("stop", 0);
    if (onShowLog) onShowLog();
    return 0;
  }
  if (!readOnly && !WriteResults()) return 0;
  if (runParameters.find('*') == std::string::npos && onAddRecent) onAddRecent(runParameters);
  if (stayOpen && onCalculated) onCalculated();
  FollowingCalculation();
  Status(messageSheet + ": Calculation success", 2);
  return followingParameters.empty() ? 0 : 1;
}

void TEqlCalcWnd::FollowingCalculation() {
  if (readOnly) {
    followingParameters.clear();
    return;
  }
  if (!autoCounter) {
    book_->WriteCell(conditionSheet, cond::kRowCount, std::to_string(runCounter), 2);
  }
  std::vector<std::string> row;
  book_->ReadRow(conditionSheet, cond::kRowFollowing, row, 4, 2);
  row.resize(3);
  const std::string& bookCell = row[0];
  const std::string& sheetCell = row[1];
  const int n = runCounter, m = lastRun;
  if (m < n) {
    if (bookCell == "*" && !sheetCell.empty() && onSelectConditionSheet) {
      onSelectConditionSheet(sheetCell);
    }
    repeatSameSheet = false;
    followingParameters.clear();
  } else if (autoCounter && n == m) {
    followingParameters.clear();
  } else if (sheetCell.empty()) {
    repeatSameSheet = false;
    followingParameters.clear();
  } else {
    repeatSameSheet = bookCell == "*" && sheetCell == "*";
    if (repeatSameSheet) {
      // The runner calculates this sheet again without parsing: keep a non-empty string.
      if (followingParameters.empty()) followingParameters = runParameters;
      if (followingParameters.empty()) followingParameters.assign(1, '*');
      return;
    }
    // An empty B10 stands for this workbook, as "*" does.
    const std::string path = book_->BookPath(bookCell.empty() ? "*" : bookCell);
    const std::string sheet = sheetCell == "*" ? messageSheet : sheetCell;
    followingParameters = "-x:" + path + " -c:" + sheet + " " + row[2];
  }
}

}  // namespace ploxen
