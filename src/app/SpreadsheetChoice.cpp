// Switching between the embedded engine and a running LibreOffice Calc.
#include "app/SpreadsheetChoice.h"

#include "app/BookFiles.h"
#include "app/CalcStart.h"
#include "app/UserSettings.h"
#include "support/AplMsg.h"
#include "workbook/BookPath.h"
#include "workbook/SpreadsheetServer.h"
#include "workbook/XlsObj.h"

namespace ploxen {
namespace {

/// The spreadsheet application changed (information).
constexpr int kMsgSwitched = 2165;
/// The live connection does not find the book in the office.
constexpr int kMsgNotInOffice = 2166;

}  // namespace

TSpreadsheetChoice::TSpreadsheetChoice(TAplMsgWnd& log, TAplStgsWnd& settings, TXlsWnd& xls,
                                       TCalcStartWnd& main, TBookFiles& files)
    : log_(log), settings_(settings), xls_(xls), main_(main), files_(files) {}

SpreadsheetApplication TSpreadsheetChoice::Current() const {
  return IsLibreOfficeProgId(xls_.ProgId) ? SpreadsheetApplication::kLibreOffice
                                          : SpreadsheetApplication::kEmbedded;
}

int TSpreadsheetChoice::Select(SpreadsheetApplication choice) {
  if (choice == Current()) return 0;
  const bool office = choice == SpreadsheetApplication::kLibreOffice;
  if (office &&
      !files_.SaveOrKeepUnsaved("The book list is about to show LibreOffice's documents."))
    return 0;
  SwitchTo(choice);
  return 1;
}

void TSpreadsheetChoice::SwitchTo(SpreadsheetApplication choice) {
  const bool office = choice == SpreadsheetApplication::kLibreOffice;
  // Remembered first: a failure to write it is posted, and the switch still happens.
  WriteMainWndSetting(settings_, "OleObject", office ? kLibreOfficeProgId : kEmbeddedProgId);
  xls_.SwitchServer(office ? kLibreOfficeProgId : kEmbeddedProgId);
  log_.Post(kMsgInformation, kMsgSwitched,
            office ? "The workbooks are those open in LibreOffice Calc"
                   : "The workbooks are those of the embedded engine");
  files_.KeepLocks();
}

bool TSpreadsheetChoice::ShowInOffice() {
  if (Current() != SpreadsheetApplication::kLibreOffice) return false;
  const int sheet = main_.CbxCondIndex >= 0 ? main_.CbxCondIndex + 1 : 0;
  return xls_.ShowExcel(sheet);
}

bool TSpreadsheetChoice::UseLiveConnection(const std::string& path, const std::string& sheet) {
  // The engine's copy cannot be saved over the office's: it stays unsaved in the program.
  if (Current() != SpreadsheetApplication::kLibreOffice)
    SwitchTo(SpreadsheetApplication::kLibreOffice);
  const int book = xls_.FindBook(path);
  if (book < 1) {
    log_.Post(kMsgError, kMsgNotInOffice,
              BookFileName(path) + " is not open in the LibreOffice this program reaches");
    return false;
  }
  main_.ShowBook(BookFileName(path));
  for (size_t i = 0; i < main_.CbxCond.size(); ++i) {
    if (main_.CbxCond[i] == sheet) main_.CbxCondChange(static_cast<int>(i));
  }
  return true;
}

}  // namespace ploxen
