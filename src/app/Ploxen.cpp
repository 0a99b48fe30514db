// The owner of every module of the program.
#include "app/Ploxen.h"

namespace ploxen {

TPloxen::TPloxen(int parameterCount)
    : settings(log),
      servers(log),
      table(dialogs),
      thermo(log, settings, elements, dialogs),
      kernel(log, elements),
      calc(log, kernel, thermo, elements),
      lsolver(log, elements, table, calc.elementFlags),
      recalc(log, calc, thermo, lsolver, dialogs),
      xls(log, servers),
      exportBook(log, table, servers),
      main(log, settings, xls, calc, kernel, elements, lsolver, recalc, parameterCount) {
  // The behaviour window opens the database named in the application settings at creation.
  thermo.StartUp();
  log.SetWindowPos(1, 1);
}

}  // namespace ploxen
