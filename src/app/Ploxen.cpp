// The owner of every module of the program.
#include "app/Ploxen.h"

namespace ploxen {

TPloxen::TPloxen(int parameterCount, UserDialogs* ui)
    : settings(log),
      userDialogs(ui ? *ui : dialogs),
      servers(log),
      table(userDialogs),
      thermo(log, settings, elements, userDialogs),
      kernel(log, elements),
      calc(log, kernel, thermo, elements),
      lsolver(log, elements, table, calc.elementFlags),
      recalc(log, calc, thermo, lsolver, userDialogs),
      xls(log, servers),
      exportBook(log, table, servers),
      main(log, settings, xls, calc, kernel, elements, lsolver, recalc, parameterCount),
      params(log, settings, xls, main),
      plot(log),
      setStFn(calc),
      elBalance(log, elements, thermo, userDialogs, table, exportBook),
      xelBalance(log, calc, thermo, elements, exportBook),
      elementsDlg(log, elements, calc.elementFlags),
      compounds(log, thermo, elementsDlg),
      visualXls(log, servers, 816),
      visual(log, visualXls) {
  // The behaviour window opens the database named in the application settings at creation.
  thermo.StartUp();
  elementsDlg.ShowElements();  // after the reference file added the user elements
  log.SetWindowPos(1, 1);
  main.onProgId = [this](const std::string& progId) { table.oleObject = progId; };
  xelBalance.showStatus = [this](const std::string& text, int seconds) {
    main.ShowStatus(text, seconds);
  };
  // The visualisation follows the sheet the main window finds and the one a condition sheet
  // names in B9, and shows the new values after each successful run while it is open.
  main.onVisualSheet = [this](const std::string& sheet) {
    visual.UseSheetOf(xls.ProgId, xls.BookName(), sheet);
  };
  calc.onVisualSheet = [this](const std::string& sheet) {
    visual.FollowBook(xls.ProgId, xls.BookName());
    visual.SetVisualSheet(sheet);
  };
  calc.onCalculated = [this] {
    if (visual.windowOpen) visual.RefreshAfterCalculation();
  };
}

}  // namespace ploxen
