// Fixture of the inverse calculation tests: the driver fixture plus the system matrix and the
// inverse calculation window, and builders of "rcl" condition sheets and measured phase sheets.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "ProcessFixture.h"
#include "linalg/LSolver.h"
#include "process/ReCalcX.h"
#include "support/TablOprt.h"

namespace ploxen::test {

class InverseFixture : public ProcessFixture {
 protected:
  InverseFixture()
      : table(dialogs),
        matrix(log, elements, table, calc.elementFlags),
        recalc(log, calc, thermo, matrix, dialogs) {}

  /// An "rcl" condition sheet at `t` (unit of `tLabel`) and `p`, naming `phases` in row 4 and
  /// holding `letters` in row 5 from B5 on. It becomes the driver's condition sheet.
  int AddInverseSheet(const std::string& name, const std::vector<std::string>& phases,
                      const std::string& t, const std::string& p = "1",
                      const std::vector<std::string>& letters = {},
                      const std::string& tLabel = "T [C]") {
    return PlaceConditionSheet(name, ConditionRows("rcl", tLabel, t, p, phases, letters));
  }

  /// One compound row of a measured phase sheet.
  struct Measured {
    std::string name, value, mark;
  };
  /// A phase sheet with A1 `definition`, the measured values in column `valueColumn` and the
  /// reference marks in column `markColumn`.
  int AddMeasuredSheet(const std::string& name, const std::string& definition,
                       const std::vector<Measured>& rows, int valueColumn = 5,
                       int markColumn = 11) {
    const int sheet = book.AddSheet(name, {{definition, "in [mol]", "out [mol]", "x", "f"}});
    int r = 2;
    for (const Measured& m : rows) {
      book.Set(sheet, r, 1, m.name);
      book.Set(sheet, r, valueColumn, m.value);
      book.Set(sheet, r, markColumn, m.mark);
      ++r;
    }
    book.Set(sheet, r, 1, "EOT");
    return sheet;
  }

  /// Every cell of every sheet, to compare a workbook before and after a run.
  std::vector<std::map<MemoryWorkbook::Cell, std::string>> Snapshot() const {
    std::vector<std::map<MemoryWorkbook::Cell, std::string>> cells;
    for (const auto& s : book.sheets) cells.push_back(s.cells);
    return cells;
  }

  double Number(int sheet, int row, int column) const {
    return TextToFloat(book.Get(sheet, row, column));
  }

  TTablOprtWnd table;
  TLSolverWnd matrix;
  TReCalcWnd recalc;
};

}  // namespace ploxen::test
