// The main window's commands that open the analysis windows.
#include "app/AnalysisCommands.h"

#include "app/Ploxen.h"

namespace ploxen {

bool PrepareStateFunctions(TPloxen& p) {
  if (!p.main.WorkbookCommandAllowed()) return false;
  p.main.SelectedProcessBook();
  const std::string sheet = p.main.SelectedSheet();
  if (p.calc.CheckConditionSheet(sheet) < 0) {  // posted
    p.calc.busy = false;
    return false;
  }
  p.setStFn.conditionSheet = sheet;
  return true;
}

bool PrepareElementBalance(TPloxen& p) {
  if (!p.main.WorkbookCommandAllowed()) return false;
  TXelBalDlg& dialog = p.xelBalance;
  dialog.processBook = &p.main.SelectedProcessBook();
  dialog.conditionSheetName = p.main.SelectedSheet();
  dialog.visible = true;
  dialog.PrepareBalance();
  dialog.BtnBalanceClick(false);
  return true;
}

}  // namespace ploxen
