// The grid export to a new workbook: sheets, names, cells and its failures.
#include <gtest/gtest.h>

#include "process/ExportBook.h"
#include "support/AplMsg.h"
#include "support/ScriptedDialogs.h"
#include "support/TablOprt.h"
#include "workbook/EmbeddedServer.h"

namespace ploxen {
namespace {

class NoServers : public SpreadsheetServerFactory {
 public:
  std::shared_ptr<SpreadsheetServer> Attach(const std::string&) override { return nullptr; }
  std::shared_ptr<SpreadsheetServer> Start(const std::string&) override { return nullptr; }
};

TEST(ExportBook, CellTextOfFailures) {
  EXPECT_EQ(ExportCellText(1, 1), "[A 1]");
  EXPECT_EQ(ExportCellText(25, 3), "[Y 3]");
  EXPECT_EQ(ExportCellText(26, 3), "[25;3]");
}

TEST(ExportBook, NoApplication) {
  TAplMsgWnd log;
  ScriptedDialogs dialogs;
  TTablOprtWnd table(dialogs);
  NoServers none;
  TExportBook exporter(log, table, none);
  EXPECT_EQ(exporter.OpenExportBook(3), -1);
  ASSERT_EQ(log.Count(), 1);
  EXPECT_EQ(log.Entries()[0].number, 1047);
  EXPECT_EQ(log.Entries()[0].text, "MS Excel can not be started!");
  EXPECT_EQ(exporter.ExportGrid(StringGrid(1, 1), 1, "x"), -1);
}

TEST(ExportBook, SheetsNamesAndCells) {
  TAplMsgWnd log;
  ScriptedDialogs dialogs;
  TTablOprtWnd table(dialogs);
  EmbeddedServerFactory servers(log);
  TExportBook exporter(log, table, servers);
  ASSERT_EQ(exporter.OpenExportBook(3), 1);
  EXPECT_EQ(table.exportBook, 1);
  EXPECT_EQ(table.exportSheetCount, 3);
  StringGrid grid(2, 2);
  grid.SetCell(0, 0, "a");
  grid.SetCell(1, 1, "=1+1");
  EXPECT_EQ(exporter.ExportGrid(grid, 2, "Data"), 1);
  EXPECT_EQ(exporter.ExportGrid(grid, 5, "More"), 1);  // beyond the last sheet: a new one
  SpreadsheetServer& s = *exporter.Server();
  int sheets = 0;
  s.SheetCount(exporter.Book(), sheets);
  EXPECT_EQ(sheets, 4);
  SheetHandle h = 0;
  std::string name, value;
  s.SheetItem(exporter.Book(), 2, h);
  s.SheetName(h, name);
  EXPECT_EQ(name, "Data");
  s.CellValue(h, 1, 1, value);
  EXPECT_EQ(value, "a");
  s.CellValue(h, 2, 2, value);
  EXPECT_EQ(value, "2");
  s.SheetItem(exporter.Book(), 4, h);
  s.SheetName(h, name);
  EXPECT_EQ(name, "More");
}

}  // namespace
}  // namespace ploxen
