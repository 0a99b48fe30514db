// The workbook interface: connection and books, sheets and addresses, sequential reads,
// writes, single reads and grids, with a server that can refuse chosen calls.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "FaultyServer.h"
#include "support/AplMsg.h"
#include "workbook/XlsObj.h"

namespace ploxen {
namespace {

namespace fs = std::filesystem;
using test::FaultyFactory;

/// A temporary folder with a process workbook B.xlsx: sheet "cond" and sheet "gas.1" whose
/// column A reads "(g)", "CO", "EOT", "x" and column B holds amounts.
class XlsWndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("ploxen_xlswnd_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    path = (dir / "B.xlsx").string();
    EmbeddedServer maker(log);
    BookHandle book = 0;
    SheetHandle cond = 0, gas = 0;
    ASSERT_TRUE(maker.AddBook("", book));
    ASSERT_TRUE(maker.SheetItem(book, 1, cond));
    ASSERT_TRUE(maker.RenameSheet(cond, "cond"));
    ASSERT_TRUE(maker.AddSheet(book, "gas.1", 2, gas));
    const char* columnA[] = {"(g)", "CO", "EOT", "x"};
    for (int r = 0; r < 4; ++r) ASSERT_TRUE(maker.SetCellValue(gas, r + 1, 1, columnA[r]));
    ASSERT_TRUE(maker.SetCellValue(gas, 2, 2, "1.5"));
    ASSERT_TRUE(maker.SetCellValue(gas, 3, 2, "=B2*2"));
    ASSERT_TRUE(maker.SetCellValue(cond, 1, 1, "eql"));
    ASSERT_TRUE(maker.SetCellValue(cond, 2, 2, "=SUM('gas.1'!B2:B3)"));
    ASSERT_TRUE(maker.SaveBookAs(book, path)) << maker.LastErrorText();
    log.Clear();
  }
  void TearDown() override { fs::remove_all(dir); }

  bool Posted(int number, const std::string& text) const {
    for (const LogEntry& e : log.Entries())
      if (e.number == number && e.text == text) return true;
    return false;
  }
  bool PostedNumber(int number) const {
    for (const LogEntry& e : log.Entries())
      if (e.number == number) return true;
    return false;
  }
  /// Opens B.xlsx through the interface and selects nothing else.
  void OpenB() {
    ASSERT_GE(xls.OpenBook(path), 0);
    ASSERT_EQ(xls.BookName(), "B.xlsx");
  }

  TAplMsgWnd log;
  FaultyFactory factory{log};
  TXlsWnd xls{log, factory};
  fs::path dir;
  std::string path;
};

TEST_F(XlsWndTest, ConnectAtStartUpFindsNoServerAndOpenBookStartsOne) {
  log.SetFilter(6);
  xls.StartIfMissing = false;
  EXPECT_EQ(xls.Connect(), 0);
  EXPECT_FALSE(xls.Attached());
  EXPECT_FALSE(xls.Connected());
  EXPECT_TRUE(Posted(168, "MS Excel is not running !"));
  EXPECT_EQ(xls.OpenBook(path), 1);
  EXPECT_TRUE(Posted(193, "Connecting to MS Excel Version: 16.0"));
  EXPECT_TRUE(xls.Connected());
  EXPECT_EQ(xls.BookIndex(), 1);
  EXPECT_EQ(xls.BookFullName(), path);
  ASSERT_EQ(xls.CbxSheet.items.size(), 2u);
  EXPECT_EQ(xls.CbxSheet.items[1], "gas.1");
  // A second open finds the running engine and the book already current.
  EXPECT_EQ(xls.OpenBook(path), 1);
  EXPECT_TRUE(xls.Attached());
  EXPECT_EQ(xls.BookCount(), 1);
}

TEST_F(XlsWndTest, EmbeddedFactoryKeepsBooksOfTheEngineItStarted) {
  EmbeddedServerFactory embedded(log);
  TXlsWnd real(log, embedded);
  real.StartIfMissing = false;
  EXPECT_EQ(real.Connect(), 0);
  EXPECT_EQ(real.OpenBook(path), 1);
  fs::copy_file(path, dir / "C.xlsx");
  EXPECT_EQ(real.OpenBook((dir / "C.xlsx").string()), 2);
  EXPECT_EQ(real.OpenBook(path), 1);  // selects the first book again, nothing reopened
  EXPECT_EQ(real.BookCount(), 2);
  EXPECT_EQ(real.BookName(), "B.xlsx");
}

TEST_F(XlsWndTest, OpenBookUnderAnotherLetterCaseSelectsTheOpenBook) {
  OpenB();
  fs::copy_file(path, dir / "C.xlsx");
  ASSERT_EQ(xls.OpenBook((dir / "C.xlsx").string()), 2);
  EXPECT_EQ(xls.BookName(), "C.xlsx");
  EXPECT_EQ(xls.OpenBook((dir / "b.XLSX").string()), 1);
  EXPECT_EQ(xls.BookName(), "B.xlsx");
  EXPECT_EQ(xls.BookCount(), 2);
}

TEST_F(XlsWndTest, ABookOfTheSameNameInAnotherFolderIsNotTakenForTheOpenOne) {
  OpenB();
  fs::create_directories(dir / "other");
  fs::copy_file(path, dir / "other" / "B.xlsx");
  const std::string other = (dir / "other" / "B.xlsx").string();
  // Refused with the reason rather than calculated into the book from the other folder.
  EXPECT_EQ(xls.OpenBook(other), -1);
  EXPECT_TRUE(Posted(273, other + " can not be open "));
  EXPECT_EQ(xls.BookCount(), 1);
  // The open book's own path and a bare file name still find it.
  EXPECT_EQ(xls.OpenBook(path), 1);
  EXPECT_EQ(xls.OpenBook("B.xlsx"), 1);
}

TEST_F(XlsWndTest, DamagedOrMissingFilesCannotBeOpen) {
  std::string text = (dir / "notes.xlsx").string();
  { std::ofstream(text) << "not a workbook"; }
  EXPECT_EQ(xls.OpenBook(text), -1);
  EXPECT_TRUE(Posted(273, text + " can not be open "));
  std::string missing = (dir / "missing.xlsx").string();
  EXPECT_EQ(xls.OpenBook(missing), -1);
  EXPECT_TRUE(Posted(273, missing + " can not be open "));
  EXPECT_EQ(xls.BookCount(), 0);
}

TEST_F(XlsWndTest, StartFailureIsReported) {
  factory.canStart = false;
  EXPECT_EQ(xls.OpenBook(path), -1);
  EXPECT_TRUE(Posted(189, "MS Excel can not be started!"));
  EXPECT_FALSE(xls.Connected());
}

TEST_F(XlsWndTest, ColumnReadsFollowEotAndEmptyRules) {
  OpenB();
  std::vector<std::string> list;
  EXPECT_EQ(xls.ReadColumn(2, 1, list), 3);
  EXPECT_EQ(list, (std::vector<std::string>{"(g)", "CO", "EOT"}));
  EXPECT_TRUE(xls.StopAtEmpty);
  xls.StopAtEot = false;
  EXPECT_EQ(xls.ReadColumn(2, 1, list), 4);
  EXPECT_EQ(list.back(), "x");
  EXPECT_EQ(xls.ReadColumn(2, 1, list, 10), 10);  // empty cells inside the range delivered
  EXPECT_FALSE(xls.StopAtEmpty);
  EXPECT_EQ(list[3], "x");
  EXPECT_EQ(list[9], "");
  xls.StopAtEot = true;
  EXPECT_EQ(xls.ReadColumn(1, 3, list), 0);  // first cell empty
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(xls.ReadColumn(2, 2, list, 0, 2), 2);  // values: "1.5", formula result "3"
  EXPECT_EQ(list, (std::vector<std::string>{"1.5", "3"}));
  EXPECT_EQ(xls.ReadColumn(7, 1, list), -1);  // no such sheet
}

TEST_F(XlsWndTest, RowReadsStopAtEmptyAndReportFailingColumn) {
  OpenB();
  std::vector<std::string> list;
  EXPECT_EQ(xls.ReadRow(2, 2, list), 2);
  EXPECT_EQ(list, (std::vector<std::string>{"CO", "1.5"}));
  factory.server->refuseValue.insert({2, 2});
  EXPECT_EQ(xls.ReadRow(2, 2, list, 3), -2);
  EXPECT_TRUE(Posted(561, "Error while read: [B.xlsx][gas.1][B 2]"));
  factory.server->refuseText.insert({2, 2});
  EXPECT_EQ(xls.ReadRowText(2, 2, list, 3), -2);
  EXPECT_TRUE(Posted(601, "Error while read: [B.xlsx][gas.1][B 2]"));
  EXPECT_EQ(xls.ReadRow(9, 1, list), 0);
}

TEST_F(XlsWndTest, ColumnReadFallsBackToTextAndFailsWhenBothAreRefused) {
  OpenB();
  std::vector<std::string> list;
  factory.server->refuseValue.insert({2, 1});
  EXPECT_EQ(xls.ReadColumn(2, 1, list), 3);
  EXPECT_FALSE(PostedNumber(638));
  factory.server->refuseText.insert({2, 1});
  EXPECT_EQ(xls.ReadColumn(2, 1, list), -2);
  EXPECT_TRUE(Posted(638, "Error while read: [B.xlsx][gas.1][A 2]"));
  EXPECT_EQ(xls.ReadColumnText(2, 1, list), -2);
  EXPECT_TRUE(Posted(676, "Error while read: [B.xlsx][gas.1][A 2]"));
}

TEST_F(XlsWndTest, ColumnToGridAndFindInColumn) {
  OpenB();
  StringGrid grid(3, 2);
  EXPECT_EQ(xls.ReadColumnToGrid(2, 1, 1, 2, grid), 2);  // EOT at row 3, less 1
  EXPECT_EQ(grid.Cell(2, 1), "(g)");
  EXPECT_EQ(grid.Cell(2, 3), "EOT");
  EXPECT_EQ(xls.FindInColumn(2, 1, "co"), 2);
  EXPECT_EQ(xls.FindInColumn(2, 1, "x"), 0);  // the walk ends at EOT
  xls.StopAtEot = false;
  EXPECT_EQ(xls.FindInColumn(2, 1, "X"), 4);
  factory.server->refuseValue.insert({1, 1});
  EXPECT_EQ(xls.FindInColumn(2, 1, "x"), -1);
  EXPECT_TRUE(Posted(867, "Error while read:  [B.xlsx][gas.1][A 1]"));
  EXPECT_EQ(xls.ReadColumnToGrid(2, 1, 1, 2, grid), -1);
  EXPECT_TRUE(Posted(730, "Error while read:  [B.xlsx][gas.1][A 1]"));
}

TEST_F(XlsWndTest, SheetsAndAddresses) {
  OpenB();
  EXPECT_EQ(xls.FindSheet("GAS.1"), 2);
  EXPECT_EQ(xls.FindSheet("liquid"), -1);
  EXPECT_EQ(xls.SheetName(1), "cond");
  EXPECT_EQ(xls.SheetName(3), "!");
  log.Clear();
  EXPECT_FALSE(xls.SelectSheet(3));  // one above the count: false, nothing posted
  EXPECT_EQ(log.Count(), 0);
  EXPECT_TRUE(xls.SelectSheet(2));
  EXPECT_EQ(xls.CellRef(5, 27), "[B.xlsx][gas.1][AA 5]");
  EXPECT_EQ(xls.CellRef(0, 3), "[B.xlsx][gas.1]");
  EXPECT_EQ(xls.LastRow(2), 4);
  EXPECT_EQ(xls.LastColumn(2), 2);
  factory.server->refuseLastCell = true;
  EXPECT_EQ(xls.LastRow(2), 255);
  EXPECT_EQ(xls.LastColumn(2), 32);
  EXPECT_EQ(xls.LastRow(0), 0);
  factory.server->refuseSheetItem = true;
  EXPECT_FALSE(xls.SelectSheet(1));
  EXPECT_TRUE(Posted(374, "Data exchange is denied by MS Excel: B.xlsx | exo"));
}

TEST(XlsWndColumnLetters, CoversOneAndTwoLetters) {
  EXPECT_EQ(TXlsWnd::ColumnLetters(1), "A");
  EXPECT_EQ(TXlsWnd::ColumnLetters(26), "Z");
  EXPECT_EQ(TXlsWnd::ColumnLetters(27), "AA");
  EXPECT_EQ(TXlsWnd::ColumnLetters(52), "AZ");
  EXPECT_EQ(TXlsWnd::ColumnLetters(53), "BA");
  EXPECT_EQ(TXlsWnd::ColumnLetters(702), "ZZ");
  EXPECT_EQ(TXlsWnd::ColumnLetters(703), "");
  EXPECT_EQ(TXlsWnd::ColumnLetters(0), "");
}

TEST_F(XlsWndTest, WritesRecalculateAndStopAtARefusedCell) {
  OpenB();
  EXPECT_EQ(xls.WriteCell(2, 2, "4", 2), 1);
  EXPECT_EQ(xls.ReadCell(1, 2, 2), "12");  // =SUM('gas.1'!B2:B3) with B3 = B2*2
  EXPECT_EQ(xls.WriteColumn(2, {"a", "b"}, 6, 3), 2);
  EXPECT_EQ(xls.ReadCell(2, 7, 3), "b");
  EXPECT_EQ(xls.WriteRowFilled(2, {"", "y"}, 1, 6), 2);
  EXPECT_EQ(xls.ReadCell(2, 6, 1), "");
  EXPECT_EQ(xls.ReadCell(2, 6, 2), "y");
  EXPECT_EQ(xls.ClearColumn(2, 3, 7, 6), 1);
  EXPECT_EQ(xls.ReadCell(2, 6, 3), "");
  factory.server->refuseWrite.insert({9, 3});
  EXPECT_EQ(xls.WriteColumn(2, {"p", "q", "r"}, 8, 3), 0);
  EXPECT_EQ(xls.ReadCell(2, 8, 3), "p");  // written before the failure stays
  EXPECT_TRUE(Posted(511, "Error while write: [B.xlsx][gas.1][C 9]"));
  EXPECT_EQ(xls.WriteRow(2, {"p", "q"}, 2, 9), 0);
  EXPECT_TRUE(Posted(532, "Error while write: [B.xlsx][gas.1][C 9]"));
  EXPECT_EQ(xls.WriteCell(2, 9, "z", 3), 0);
  EXPECT_TRUE(Posted(834, "Error while write:  [B.xlsx][gas.1][C 9]"));
  EXPECT_EQ(xls.ClearColumn(2, 3, 9, 9), 0);
  EXPECT_TRUE(Posted(490, "Error while write: [B.xlsx][gas.1][C 9]"));
  StringGrid grid(2, 12);
  EXPECT_EQ(xls.WriteGridColumn(grid, 2, 3, 1), 0);
  EXPECT_TRUE(Posted(763, "Error while write:  [B.xlsx][gas.1][C 9]"));
  EXPECT_EQ(xls.WriteCell(5, 1, "x", 1), 0);  // no such sheet
}

TEST_F(XlsWndTest, InsertRowShiftsCellsAndReferences) {
  OpenB();
  EXPECT_EQ(xls.InsertRow(2, 2), 2);
  EXPECT_EQ(xls.ReadCell(2, 3, 1), "CO");
  EXPECT_EQ(xls.ReadCell(2, 4, 2), "3");    // =B3*2 moved down and follows B3
  EXPECT_EQ(xls.ReadCell(1, 2, 2), "4.5");  // =SUM('gas.1'!B3:B4)
  EXPECT_EQ(xls.InsertRow(9, 2), 0);
}

TEST_F(XlsWndTest, SingleReadsAndGrids) {
  OpenB();
  EXPECT_EQ(xls.ReadCell(2, 3, 2), "3");
  factory.server->refuseValue.insert({3, 2});
  EXPECT_EQ(xls.ReadCell(2, 3, 2), "");
  EXPECT_TRUE(Posted(798, "Error while read:  [B.xlsx][gas.1][B 3]"));
  TXlsWnd visual(log, factory, 816);
  ASSERT_GE(visual.OpenBook(path), 0);
  EXPECT_EQ(visual.ReadCell(2, 3, 2), "");
  EXPECT_TRUE(Posted(816, "Error while read:  [B.xlsx][gas.1][B 3]"));
  factory.server->refuseValue.clear();
  StringGrid grid(3, 5);
  EXPECT_EQ(xls.ReadSheetToGrid(2, grid, 1, 1), 1);
  EXPECT_EQ(grid.Cell(1, 2), "CO");
  EXPECT_EQ(grid.Cell(2, 3), "3");
  TXlsWnd::ClearGrid(2, 3, grid);
  EXPECT_EQ(grid.Cell(2, 3), "");
  EXPECT_EQ(grid.Cell(1, 2), "CO");
  factory.server->refuseValue.insert({2, 1});
  EXPECT_EQ(xls.ReadSheetToGrid(2, grid, 1, 1), -1);
  EXPECT_TRUE(Posted(457, "Error while read: [B.xlsx][gas.1][A 2]"));
}

TEST_F(XlsWndTest, SaveFindAndQuit) {
  OpenB();
  EXPECT_EQ(xls.WriteCell(1, 1, "rcl", 1), 1);
  EXPECT_EQ(xls.SaveBook("B.xlsx"), 1);
  EXPECT_EQ(xls.SaveBook("other.xlsx"), 0);
  EXPECT_EQ(xls.FindBook("/some/where/b.xlsx"), 1);
  EXPECT_EQ(xls.IsCurrentBook("/x/B.xlsx"), 1);
  EXPECT_EQ(xls.IsCurrentBook("/x/b.xlsx"), 0);
  EXPECT_EQ(xls.BookPath("*"), path);
  EXPECT_EQ(xls.BookPath("Data.tdb"), (dir / "Data.tdb").string());
  factory.server->refuseSave = true;
  EXPECT_EQ(xls.SaveBook("B.xlsx"), -1);
  EXPECT_TRUE(Posted(343, "B.xlsx can not be saved "));
  fs::copy_file(path, dir / "C.xlsx");
  ASSERT_EQ(xls.OpenBook((dir / "C.xlsx").string()), 2);
  EXPECT_EQ(xls.QuitExcel("C.xlsx"), 0);  // other books were opened before it
  EXPECT_TRUE(xls.Connected());
  EXPECT_EQ(xls.QuitExcel("B.xlsx"), 1);
  EXPECT_FALSE(xls.Connected());
  EXPECT_FALSE(factory.server->Inner().IsRunning());
  // The saved file holds the write.
  TAplMsgWnd log2;
  EmbeddedServer check(log2);
  BookHandle book = 0;
  SheetHandle sheet = 0;
  std::string text;
  ASSERT_TRUE(check.OpenBook(path, false, book));
  ASSERT_TRUE(check.SheetItem(book, 1, sheet));
  ASSERT_TRUE(check.CellValue(sheet, 1, 1, text));
  EXPECT_EQ(text, "rcl");
}

TEST_F(XlsWndTest, BookListsNotifyAndDeniedCountIsReported) {
  std::vector<int> notes;
  xls.bookNotification = [&notes](int what) { notes.push_back(what); };
  OpenB();
  EXPECT_EQ(xls.ListBooks(1), 1);
  EXPECT_EQ(xls.CbxBook.items, (std::vector<std::string>{"B.xlsx"}));
  EXPECT_EQ(xls.CbxBook.itemIndex, 0);
  EXPECT_EQ(xls.ListSheets(1), 2);
  EXPECT_EQ(notes.back(), 2);
  EXPECT_NE(std::find(notes.begin(), notes.end(), 1), notes.end());
  EXPECT_EQ(xls.SelectBook(2), 0);
  factory.server->refuseBookCount = true;
  EXPECT_EQ(xls.ListBooks(1), 0);
  EXPECT_TRUE(Posted(288, "Data exchange is denied by MS Excel"));
  EXPECT_EQ(xls.FindBook(path), -1);
  EXPECT_EQ(xls.IsCurrentBook(path), -1);
}

TEST_F(XlsWndTest, VersionThatCannotBeReadIsReported) {
  factory.running = true;
  factory.server->refuseVersion = true;
  log.SetFilter(6);
  EXPECT_TRUE(xls.AttachExcel());
  EXPECT_TRUE(Posted(181, "No any connection to MS Excel!"));
  EXPECT_TRUE(xls.Attached());
}

TEST_F(XlsWndTest, InterfaceWindowReadsTheSelectedSheet) {
  OpenB();
  xls.UpdateWorkBooksClick();
  ASSERT_EQ(xls.CbxSheet.items.size(), 2u);
  xls.CbxSheet.itemIndex = 1;
  xls.ReadClick();
  EXPECT_EQ(xls.SGX.RowCount(), 5);
  EXPECT_EQ(xls.SGX.ColCount(), 3);
  EXPECT_EQ(xls.SGX.Cell(0, 4), "4");
  EXPECT_EQ(xls.SGX.Cell(2, 0), "B");
  EXPECT_EQ(xls.SGX.Cell(1, 3), "EOT");
  xls.SelectGridCell(27, 5);
  EXPECT_EQ(xls.StatusPanel[0], "AA: 5");
  EXPECT_EQ(xls.StatusPanel[1], "27: 5");
}

}  // namespace
}  // namespace ploxen
