// The compound selection of a phase sheet that the main window's compounds menu names.
#pragma once

#include <string>

#include "process/XlsProcessWorkbook.h"
#include "support/StringGrid.h"

namespace ploxen {

class TAplMsgWnd;
class TCalcStartWnd;
class TCompoundsDlg;
class TEqlCalcWnd;
class TXlsWnd;

/// Column A of the phase sheet is what the dialog opens with; after "OK" the compounds that
/// the sheet lacks are inserted above its "EOT" row. Compounds taken out in the dialog stay
/// on the sheet: their rows may hold the user's amounts and notes.
class TPhaseSheetCompounds {
 public:
  TPhaseSheetCompounds(TAplMsgWnd& log, TCalcStartWnd& main, TXlsWnd& xls, TEqlCalcWnd& calc,
                       TCompoundsDlg& dialog);

  /// Item `k` of the compounds menu: fills the dialog; 1, or 0 after a posted failure.
  int Open(int k);
  /// After "OK": the number of compounds inserted into the sheet, or -1 (posted).
  int Accept();
  const std::string& SheetName() const { return sheetName_; }
  const StringGrid& Grid() const { return grid_; }

 private:
  TAplMsgWnd& log_;
  TCalcStartWnd& main_;
  TEqlCalcWnd& calc_;
  TCompoundsDlg& dialog_;
  XlsProcessWorkbook book_;
  StringGrid grid_{1, 2};
  std::string sheetName_;
};

}  // namespace ploxen
