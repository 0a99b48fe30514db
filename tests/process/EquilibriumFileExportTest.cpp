// Export of the current system to a new workbook: the sheets it gets, their cells, its
// messages and failures, and a second calculation of the exported workbook.
#include <cmath>
#include <map>

#include <gtest/gtest.h>

#include "../support/TempFolder.h"
#include "../workbook/FaultyServer.h"
#include "ProcessFixture.h"
#include "process/ExportBook.h"
#include "process/XlsProcessWorkbook.h"
#include "support/TablOprt.h"
#include "workbook/EmbeddedServer.h"
#include "workbook/XlsObj.h"

namespace ploxen::test {
namespace {

using ploxen::testing::TempFolder;

/// Cells of one sheet of a server's book as "A1=text" for every non-empty cell.
std::map<std::string, std::string> SheetCells(SpreadsheetServer& s, BookHandle book, int index,
                                              std::string& name) {
  std::map<std::string, std::string> cells;
  SheetHandle h = 0;
  s.SheetItem(book, index, h);
  s.SheetName(h, name);
  int rows = 0, columns = 0;
  s.LastCell(h, rows, columns);
  for (int r = 1; r <= rows; ++r) {
    for (int c = 1; c <= columns; ++c) {
      std::string text;
      s.CellValue(h, r, c, text);
      if (!text.empty()) cells[TXlsWnd::ColumnLetters(c) + std::to_string(r)] = text;
    }
  }
  return cells;
}

class ExportSystem : public ProcessFixture {
 protected:
  ExportSystem() : table(dialogs) {}

  /// Hydrogen burnt with oxygen at 25 °C: a gas sheet and a liquid water sheet, read from the
  /// condition sheet "Reactor" and calculated.
  void CalculatedReactor() {
    AddConditionSheet({"gas", "water"}, "25", "1", "Reactor");
    AddPhaseSheet("gas", "(g)", {{"H2", "1"}, {"O2", "1"}, {"H2O", ""}, {"N2", "0.5"}});
    AddPhaseSheet("water", "(l)", {{"H2O", ""}}, "In [mol]", "Out [mol]", "x", "H [kJ/mol]");
    kernel.EditPrec = "0.000001";
    ASSERT_EQ(calc.RunWorkbook(), 0);
    ASSERT_TRUE(calc.calculationOk) << calc.failureText;
  }
  std::vector<int> Numbers() const {
    std::vector<int> numbers;
    for (const LogEntry& e : log.Entries()) numbers.push_back(e.number);
    return numbers;
  }

  TTablOprtWnd table;
  TempFolder temp;
};

TEST_F(ExportSystem, ConditionSheetAndOnePhaseSheetPerSlot) {
  CalculatedReactor();
  const StringGrid gasBefore = calc.slots[1].grid;
  log.Clear();
  log.SetFilter(0);  // the export's messages are posted whatever the filter
  EmbeddedServerFactory servers(log);
  TExportBook exporter(log, table, servers);
  calc.ExportToNewWorkbook(exporter);
  EXPECT_EQ(Numbers(), (std::vector<int>{1297, 1688}));
  EXPECT_EQ(TextOf(1297), "Data transfer to MS Excel, please wait");
  EXPECT_EQ(TextOf(1688), "Data transfer to MS Excel is completed");

  SpreadsheetServer& s = *exporter.Server();
  int sheets = 0;
  s.SheetCount(exporter.Book(), sheets);
  ASSERT_EQ(sheets, 3);
  std::string name;
  auto cond = SheetCells(s, exporter.Book(), 1, name);
  EXPECT_EQ(name, "Reactor");
  EXPECT_DOUBLE_EQ(TextToFloat(cond["B7"]), 1e-6);
  cond.erase("B7");
  const std::map<std::string, std::string> expected = {{"A1", "eql"},
                                                       {"A2", "T[ C ]"},
                                                       {"B2", "25"},
                                                       {"A3", "P [bar]"},
                                                       {"B3", "1"},
                                                       {"A4", "Phases"},
                                                       {"B4", "gas"},
                                                       {"C4", "water"},
                                                       {"A5", "Calculation Conditions"},
                                                       {"A6", "Count"},
                                                       {"A7", "Precision"},
                                                       {"A8", "Iterations Steps"},
                                                       {"B8", kernel.EditILimit},
                                                       {"A9", "Presentation"},
                                                       {"A10", "Following Calculation"},
                                                       {"A11", "Recorder"},
                                                       {"A12", "V1"},
                                                       {"A13", "EOT"}};
  EXPECT_EQ(cond, expected);

  auto gas = SheetCells(s, exporter.Book(), 2, name);
  EXPECT_EQ(name, "gas");
  EXPECT_EQ(gas["A1"], "(g)");
  EXPECT_EQ(gas["A2"], "H2 (g)");
  EXPECT_EQ(gas["B1"], "In [mol]");
  EXPECT_EQ(gas["C1"], "Out [mol]");
  EXPECT_EQ(gas["A6"], "EOT");
  for (const char* column : {"B6", "C6", "D6", "E6", "H6", "J6"}) EXPECT_EQ(gas.count(column), 0u);
  auto water = SheetCells(s, exporter.Book(), 3, name);
  EXPECT_EQ(name, "water");
  EXPECT_EQ(water["A1"], "(l)");
  EXPECT_EQ(water["A3"], "EOT");
  EXPECT_GT(TextToFloat(water["C2"]), 0.9);  // the calculated liquid water
  // The property column stays in I, where a calculation of the exported book looks for it.
  EXPECT_EQ(water["I1"].rfind("H [kJ/mol]", 0), 0u) << water["I1"];
  EXPECT_NEAR(TextToFloat(water["I2"]), -285.8, 0.5);  // enthalpy of formation of water
  EXPECT_EQ(water.count("J1") + water.count("K1"), 0u);

  // The window's grid keeps its header and its rows.
  EXPECT_EQ(calc.slots[1].grid.Cell(0, 0), "(g)");
  EXPECT_EQ(calc.slots[1].grid.RowCount(), gasBefore.RowCount());
  for (int r = 0; r < gasBefore.RowCount(); ++r)
    EXPECT_EQ(calc.slots[1].grid.Row(r), gasBefore.Row(r));
}

TEST_F(ExportSystem, ExportedWorkbookCalculatesToTheSameResults) {
  CalculatedReactor();
  std::map<std::string, double> original;  // "sheet!row" -> output amount [mol]
  for (const char* sheet : {"gas", "water"}) {
    const int index = book.FindSheet(sheet);
    for (int r = 2; book.Get(index, r, 1) != "EOT"; ++r) {
      original[std::string(sheet) + "!" + std::to_string(r)] = TextToFloat(book.Get(index, r, 3));
    }
  }
  EmbeddedServerFactory servers(log);
  TExportBook exporter(log, table, servers);
  calc.ExportToNewWorkbook(exporter);
  const std::string path = temp / "exported.xlsx";
  ASSERT_TRUE(exporter.Server()->SaveBookAs(exporter.Book(), path));

  // A fresh engine opens the saved file; the output and property columns are emptied before the run
  // so that every compared value comes from the new calculation.
  EmbeddedServerFactory engine(log);
  TXlsWnd xls(log, engine);
  ASSERT_EQ(xls.OpenBook(path), 1);
  XlsProcessWorkbook exported(xls);
  for (const char* sheet : {"gas", "water"}) {
    for (int column : {3, 9}) {
      ASSERT_EQ(exported.ClearColumn(exported.FindSheet(sheet), column, 10, 2), 1);
    }
  }
  calc.SetWorkbook(&exported);
  calc.conditionSheet = exported.FindSheet("Reactor");
  ASSERT_GT(calc.conditionSheet, 0);
  calc.messageBook = "exported.xlsx";
  EXPECT_EQ(calc.RunWorkbook(), 0);
  ASSERT_TRUE(calc.calculationOk) << calc.failureText;
  ASSERT_EQ(original.size(), 5u);
  EXPECT_NEAR(TextToFloat(exported.ReadCell(exported.FindSheet("water"), 2, 9)), -285.8, 0.5);
  for (const auto& [key, value] : original) {
    const std::string sheet = key.substr(0, key.find('!'));
    const int row = std::stoi(key.substr(key.find('!') + 1));
    const double again = TextToFloat(exported.ReadCell(exported.FindSheet(sheet), row, 3));
    EXPECT_NEAR(again, value, 1e-6 * std::max(1.0, std::fabs(value))) << key;
  }
}

TEST_F(ExportSystem, WithoutWorkbookSheetCondAndABrokenPhaseSheetStops) {
  CalculatedReactor();
  calc.SetWorkbook(nullptr);
  calc.conditionSheet = 0;
  log.Clear();
  log.SetFilter(2);  // shows the table operator's 1053
  FaultyFactory servers(log);
  servers.server->refuseWrite.insert({1, 10});  // J1 exists only on phase sheets
  TExportBook exporter(log, table, servers);
  calc.ExportToNewWorkbook(exporter);
  ASSERT_EQ(Numbers(), (std::vector<int>{1297, 1053, 1682}));
  EXPECT_EQ(log.Entries()[2].level, kMsgError);
  EXPECT_EQ(TextOf(1682), "Data transfer to MS Excel is broken");
  std::string name;
  EXPECT_EQ(SheetCells(*exporter.Server(), exporter.Book(), 1, name)["A1"], "eql");
  EXPECT_EQ(name, "Cond");
  // The water sheet after the broken gas sheet is not written.
  EXPECT_TRUE(SheetCells(*exporter.Server(), exporter.Book(), 3, name).empty());
}

}  // namespace
}  // namespace ploxen::test
