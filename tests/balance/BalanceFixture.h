// Fixture of the element balance tests: the driver's modules and database, a table operator,
// an export book on the embedded engine and the dialog, with helpers to hand it phase tables.
#pragma once

#include <string>
#include <vector>

#include "../process/ProcessFixture.h"
#include "balance/ElBalance.h"
#include "process/ExportBook.h"
#include "support/TablOprt.h"
#include "workbook/EmbeddedServer.h"

namespace ploxen::test {

/// One compound row of a phase table: name, input text, output text.
struct BalanceRow {
  std::string name;
  std::string in;
  std::string out;
};

class BalanceFixture : public ProcessFixture {
 protected:
  BalanceFixture() : servers(log), exporter(log, table, servers) {
    dlg.SetBalanceConditions(298.15, 1.0, 1.0, 1.0);
    log.Clear();  // the database load reports itself
  }

  /// Puts a phase table into slot `slot` as the system window hands it over.
  void Source(int slot, const std::string& caption, const std::vector<BalanceRow>& rows,
              int inputUnit = 0, int outputUnit = 0) {
    BalanceSource& s = dlg.sources[slot];
    s.inUse = true;
    s.caption = caption;
    s.inputUnit = inputUnit;
    s.outputUnit = outputUnit;
    s.table = StringGrid(3, static_cast<int>(rows.size()) + 1);
    s.table.SetCell(0, 0, "Compound");
    for (size_t i = 0; i < rows.size(); ++i) {
      const int r = static_cast<int>(i) + 1;
      s.table.SetCell(0, r, rows[i].name);
      s.table.SetCell(1, r, rows[i].in);
      s.table.SetCell(2, r, rows[i].out);
    }
  }

  /// Opens the table with the given system elements and selects `symbol` in the element box.
  void Open(const std::vector<std::string>& symbols, const std::string& symbol) {
    std::vector<std::uint8_t> flags(256, 0);
    for (const std::string& s : symbols) flags[elements.FindSymbol(s)] = 1;
    dlg.OpenTable(flags);
    for (size_t i = 0; i < dlg.CBE.size(); ++i) {
      if (dlg.CBE[i] == symbol) dlg.CBEIndex = static_cast<int>(i);
    }
  }

  /// Atomic mass of an element [g/mol].
  double Weight(const std::string& symbol) const {
    return elements.ElementWeight(elements.FindSymbol(symbol));
  }

  /// Column `col` of grid `tag` from row 0 to the last row.
  std::vector<std::string> Column(int tag, int col) const {
    std::vector<std::string> cells;
    const StringGrid& g = dlg.Grid(tag);
    for (int r = 0; r < g.RowCount(); ++r) cells.push_back(g.Cell(col, r));
    return cells;
  }

  TTablOprtWnd table{dialogs};
  EmbeddedServerFactory servers;
  TExportBook exporter;
  TElBalanceDlg dlg{log, elements, thermo, dialogs, table, exporter};
};

}  // namespace ploxen::test
