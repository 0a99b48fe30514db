// "Empty Process": clears the outputs of earlier calculations from the phase sheets of the
// selected process workbook and resets its run counter.
#include <utility>

#include "app/CalcStart.h"
#include "chem/PTools.h"
#include "process/EqlCalcX.h"
#include "support/AplMsg.h"
#include "support/UserDialogs.h"
#include "workbook/XlsObj.h"

namespace ploxen {
namespace {

constexpr int kRowPhases = 4;          // B4..I4: the phase sheet names
constexpr int kRowCounter = 6;         // B6: the run counter
constexpr int kFirstOutputColumn = 3;  // C: "out" amount
constexpr int kLastOutputColumn = 5;   // E: fugacity or activity

/// Empties C, D and E of the compound rows of one phase sheet. A sheet whose list does not end
/// with "EOT" is left alone (message 482): the extent of its compounds is unknown.
void ClearPhaseOutputs(ProcessWorkbook& book, TAplMsgWnd& log, const std::string& name, int sheet) {
  std::vector<std::string> column;
  const int n = book.ReadColumn(sheet, 1, column, 0, 1);
  if (n > 1 && (column.empty() || column.back() != "EOT")) {
    log.Post(kMsgError, 482, name + " EOT is not defined, An error is possible !");
    return;
  }
  const int lastCompoundRow = n - 1;
  if (lastCompoundRow <= 1) return;
  for (int c = kFirstOutputColumn; c <= kLastOutputColumn; ++c) {
    book.ClearColumn(sheet, c, lastCompoundRow, 2);
  }
}

}  // namespace

void TCalcStartWnd::EmptyProcess(UserDialogs& dialogs) {
  if (calc_.IsBusy(true)) return;
  log_.Clear();
  SelectListedBook();
  calc_.SetWorkbook(&book_);
  const bool selected = CbxCondIndex >= 0 && CbxCondIndex < static_cast<int>(CbxCond.size());
  const std::string conditionName = selected ? CbxCond[CbxCondIndex] : std::string();
  if (calc_.CheckConditionSheet(conditionName) != 0) {
    std::string text(1, '[');
    text += book_.BookName();
    text += "][" + conditionName;
    text += "][A1]=eql  must be an equilibrium system.";
    log_.Post(kMsgError, 720, text);
    return;
  }
  const int condition = book_.FindSheet(conditionName);
  if (condition <= 0) {
    log_.Post(kMsgError, 873, "Condition sheet is not found [" + conditionName + "];");
    return;
  }
  std::vector<std::string> names;
  if (book_.ReadRow(condition, kRowPhases, names, 9, 2) < 0) return;  // reported by the read
  std::string list;
  std::vector<std::pair<std::string, int>> sheets;  // name, index (0 or less: missing)
  for (const std::string& raw : names) {
    const std::string name = Trim(raw);
    if (name.empty() || name == "EOT") continue;
    list += "[" + name + "],";
    const int sheet = book_.FindSheet(name);
    if (sheet <= 0) log_.Post(kMsgCritical, 587, "No any access to sheet [" + name + "]!");
    sheets.emplace_back(name, sheet);
  }
  if (sheets.empty()) {
    log_.Post(kMsgError, 593, "No any phases to clear in [" + conditionName + "]");
    return;
  }
  list.pop_back();
  if (dialogs.Question("Clear outputs in the sheets: " + list, "Kestrano", DialogButtons::kYesNo) !=
      kAnswerYes)
    return;
  log_.Post(kMsgCritical, 361, "Outputs are deleting in " + list + " please wait!");
  if (processEvents) processEvents();
  for (const auto& [name, sheet] : sheets) {
    if (sheet > 0) ClearPhaseOutputs(book_, log_, name, sheet);
  }
  book_.WriteCell(condition, kRowCounter, "0", 2);
  log_.Post(kMsgCritical, 403, "Outputs are deleted in " + list);
}

}  // namespace ploxen
