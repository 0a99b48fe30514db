// Editing the compound list of a phase sheet: new names inserted above its "EOT" row.
#include <algorithm>

#include "chem/Periodica.h"
#include "process/EqlCalcX.h"
#include "process/ProcessWorkbook.h"
#include "support/AplMsg.h"

namespace ploxen {

int TEqlCalcWnd::AddCompoundsToPhaseSheet(const std::string& sheetName,
                                          std::vector<std::string> names) {
  if (!book_) {
    Post(kMsgError, 2374, messageBook + ": access inpossible to any MS Excel file");
    return -1;
  }
  const int sheet = book_->FindSheet(sheetName);
  if (sheet < 1) {
    Post(kMsgError, 2374, book_->BookName() + ": access inpossible to any MS Excel file");
    return -1;
  }
  std::vector<std::string> column;
  book_->ReadColumn(sheet, 1, column, 0, 1);
  const std::string a1 = column.empty() ? std::string() : column.front();
  if (a1 != "(g)" && a1 != "(l)" && a1 != "(s)") {
    Post(kMsgError, 2317,
         "in [" + sheetName + "] Cell [A1] must be phase definition (g), (l) or (s)");
    return -1;
  }
  if (column.back() != "EOT") {
    Post(kMsgError, 2325, "Column [A] must be end \"EOT\"");
    return -1;
  }
  const PhaseKind kind = PhaseKindOfDefinition(a1);
  std::vector<std::string> present;
  for (size_t i = 1; i < column.size(); ++i) {
    present.push_back(CompleteCompoundName(column[i], kind));
  }
  std::vector<std::string> fresh;
  for (const std::string& raw : names) {
    const PhaseSplit split = SplitPhaseSuffix(raw);
    const std::string name = split.phase == "(u)" ? split.name + " " + a1 : raw;
    const bool known = std::find(present.begin(), present.end(), name) != present.end() ||
                       std::find(fresh.begin(), fresh.end(), name) != fresh.end();
    if (!known && !name.empty()) fresh.push_back(name);
  }
  const int eotRow = static_cast<int>(column.size());  // "EOT" is the last cell read
  if (eotRow < 2) {
    Post(kMsgError, 2387, "EOT is not found in " + sheetName);
    return -1;
  }
  int row = eotRow;
  for (const std::string& name : fresh) {
    if (book_->InsertRow(sheet, row) < 0) {
      Post(kMsgError, 2402, name + " can not be inserted " + sheetName);
      break;
    }
    if (book_->WriteCell(sheet, row, name, 1) < 1) {
      Post(kMsgError, 2407, name + " can not be written " + sheetName);
      break;
    }
    ++row;
  }
  Status("Data transfer to " + sheetName + ", complete", 2);
  return row - eotRow;
}

int TEqlCalcWnd::CopyCompounds(const std::string& sourceSheet, const std::string& targetSheet) {
  if (!book_) return -1;
  const int source = book_->FindSheet(sourceSheet);
  if (source < 1) {
    Post(kMsgError, 618, "Table: [" + sourceSheet + "] does not exist !");
    return -1;
  }
  std::vector<std::string> column;
  book_->ReadColumn(source, 1, column, 0, 1);
  std::vector<std::string> names;
  for (size_t i = 1; i < column.size(); ++i) {
    if (column[i] != "EOT") names.push_back(column[i]);
  }
  return AddCompoundsToPhaseSheet(targetSheet, names);
}

}  // namespace ploxen
