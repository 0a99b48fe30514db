// Fixture of the balance workbook tests on an in-memory process workbook: the dialog, an export
// workbook in the embedded engine and readers of the exported cells.
#pragma once

#include <string>
#include <vector>

#include "../process/ProcessFixture.h"
#include "balance/XelBal.h"
#include "process/ExportBook.h"
#include "support/TablOprt.h"
#include "workbook/EmbeddedServer.h"

namespace ploxen::test {

class XelBalFixture : public ProcessFixture {
 protected:
  XelBalFixture()
      : table(dialogs),
        servers(log),
        exporter(log, table, servers),
        dlg(log, calc, thermo, elements, exporter) {
    dlg.processBook = &book;
    dlg.conditionSheetName = "System";
    dlg.showStatus = [this](const std::string& text, int) { statuses.push_back(text); };
  }

  /// Marks the elements as part of the system and selects `symbol` in the dialog.
  void Select(const std::string& symbol, std::initializer_list<const char*> others = {}) {
    calc.elementFlags[elements.FindSymbol(symbol)] = 1;
    for (const char* e : others) calc.elementFlags[elements.FindSymbol(e)] = 1;
    dlg.PrepareBalance();
    for (size_t i = 0; i < dlg.CBE.size(); ++i) {
      if (dlg.CBE[i] == symbol) dlg.CBEIndex = static_cast<int>(i);
    }
  }

  EmbeddedServer* Server() { return static_cast<EmbeddedServer*>(exporter.Server()); }

  int ExportedSheets() {
    int count = 0;
    if (Server()) Server()->SheetCount(exporter.Book(), count);
    return count;
  }
  std::string ExportedSheetName(int index) {
    SheetHandle h = 0;
    std::string name;
    Server()->SheetItem(exporter.Book(), index, h);
    Server()->SheetName(h, name);
    return name;
  }
  /// What a cell of exported sheet `index` holds: its formula text, else its value.
  std::string Cell(int index, int row, int column) {
    SheetHandle h = 0;
    Server()->SheetItem(exporter.Book(), index, h);
    std::string text = Server()->Engine().FormulaText(h, row - 1, column - 1);  // 0-based
    if (text.empty()) Server()->CellValue(h, row, column, text);
    return text;
  }
  /// Cells A..G of a row of exported sheet `index`, formulas as their text.
  std::vector<std::string> Row(int index, int row) {
    std::vector<std::string> cells;
    for (int c = 1; c <= 7; ++c) cells.push_back(Cell(index, row, c));
    return cells;
  }
  /// The value the engine computes for a cell of exported sheet `index`.
  std::string Value(int index, int row, int column) {
    SheetHandle h = 0;
    std::string text;
    Server()->SheetItem(exporter.Book(), index, h);
    Server()->CellValue(h, row, column, text);
    return text;
  }

  TTablOprtWnd table;
  EmbeddedServerFactory servers;
  TExportBook exporter;
  TXelBalDlg dlg;
};

}  // namespace ploxen::test
