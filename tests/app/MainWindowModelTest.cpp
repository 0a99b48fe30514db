// The main window's desk as a model: the sheet scan, the lists, the compounds and export menus,
// the parameter string of "Calculation" and the placing of the message log.
#include <gtest/gtest.h>

#include "AppFixture.h"

namespace ploxen::test {
namespace {

class MainWindowModel : public AppFixture {
 protected:
  // An interactive session whose book notifications reach the main window, as on the desktop.
  std::unique_ptr<TPloxen> Desk() {
    auto p = Start({});
    TPloxen* raw = p.get();
    p->xls.bookNotification = [raw](int code) { raw->main.OnBookNotification(code); };
    return p;
  }

  // A book in the engine with sheets of the given names and A1 texts, listed in the window.
  void AddBook(TPloxen& p, const std::string& name,
               const std::vector<std::pair<std::string, std::string>>& sheets) {
    if (!p.xls.HasServer()) p.xls.StartExcel();
    SpreadsheetServer* server = p.xls.Server();
    BookHandle book = 0;
    ASSERT_TRUE(server->AddBook(name, book));
    SheetHandle first = 0;
    ASSERT_TRUE(server->SheetItem(book, 1, first));
    for (size_t i = 0; i < sheets.size(); ++i) {
      SheetHandle sheet = first;
      if (i == 0) {
        ASSERT_TRUE(server->RenameSheet(first, sheets[i].first));
      } else {
        ASSERT_TRUE(server->AddSheet(book, sheets[i].first, static_cast<int>(i) + 1, sheet));
      }
      server->SetCellValue(sheet, 1, 1, sheets[i].second);
    }
    p.xls.ListBooks(1);
  }
};

TEST_F(MainWindowModel, SheetScanSelectsTheFirstConditionSheetAndCollectsPhaseSheets) {
  auto p = Desk();
  AddBook(*p, "Scan.xlsx",
          {{"Notes", "hello"},
           {"System", "eql"},
           {"Second", "rcl"},
           {"gas.1", "(g)"},
           {"Pic", "Visual"}});
  EXPECT_EQ(p->main.CbxXls, std::vector<std::string>{"Scan.xlsx"});
  EXPECT_EQ(p->main.SelectedSheet(), "System");
  EXPECT_EQ(p->main.phaseSheets, std::vector<std::string>{"gas.1"});
  EXPECT_EQ(p->main.visualSheet, "Pic");
  EXPECT_TRUE(p->main.getPositionChecked);
  EXPECT_EQ(p->main.Caption, "Ploxen Mizzolith [Scan.xlsx]");
  // The change of the selected sheet that follows the scan names the condition sheet's kind.
  EXPECT_EQ(p->main.StatusPanel1, "thermodynamic system");
}

TEST_F(MainWindowModel, SelectingSheetsNamesTheirKindAndAnEmptyA1KeepsTheText) {
  auto p = Desk();
  AddBook(*p, "Kinds.xlsx",
          {{"System", "eql"}, {"Inv", "rcl"}, {"liq", "(l)"}, {"sol", "(S)"}, {"Empty", ""}});
  p->main.CbxCondChange(1);
  EXPECT_EQ(p->main.StatusPanel1, "invers calculation of a thermodynamic system");
  p->main.CbxCondChange(2);
  EXPECT_EQ(p->main.StatusPanel1, "Liquid Phase");
  EXPECT_FALSE(p->main.MnuCompounds.visible);
  p->main.CbxCondChange(3);
  EXPECT_EQ(p->main.StatusPanel1, "Solid Phase");
  p->main.CbxCondChange(4);
  EXPECT_EQ(p->main.StatusPanel1, "Solid Phase");
  EXPECT_FALSE(p->main.MnuCompounds.visible);
  EXPECT_EQ(p->main.MnuCompounds.caption, "Compounds off");
}

TEST_F(MainWindowModel, CompoundsMenuShowsThePhaseSheetsOfRowFour) {
  auto p = Desk();
  p->xls.StartExcel();
  const std::string path = Example("Process");
  ASSERT_GT(p->xls.OpenBook(path), 0);
  p->xls.ListBooks(1);
  ASSERT_EQ(p->main.SelectedSheet(), "System");
  EXPECT_TRUE(p->main.MnuCompounds.enabled);
  EXPECT_EQ(p->main.MnuCompounds.caption, "Compounds of ->");
  EXPECT_EQ(p->main.Ph[0].caption, "gas.1");
  EXPECT_TRUE(p->main.Ph[0].visible);
  EXPECT_EQ(p->main.PhClick(0), p->xls.FindSheet("gas.1"));
  EXPECT_EQ(p->main.phaseSheets, (std::vector<std::string>{"gas.1", "liq.1", "sol.1"}));
  EXPECT_EQ(p->main.StatusPanel0, path);
  EXPECT_EQ(p->main.projectFolder, dir.string());
}

TEST_F(MainWindowModel, CompoundItemOfAMissingSheetPosts757AndWithoutBook748) {
  auto p = Desk();
  EXPECT_EQ(p->main.PhClick(0), 0);
  EXPECT_EQ(TextOf(*p, 748),
            "No any MS Excel files selected, Please select or cureate a MS Excel file!");
  EXPECT_FALSE(p->main.MnuElementsClick());
  EXPECT_TRUE(Posted(*p, 712));
  AddBook(*p, "Gap.xlsx", {{"System", "eql"}});
  p->xls.WriteCell(1, 4, "gas.9", 2);
  p->main.CbxCondChange(0);
  ASSERT_EQ(p->main.Ph[0].caption, "gas.9");
  EXPECT_EQ(p->main.PhClick(0), 0);
  EXPECT_EQ(TextOf(*p, 757), "Worksheet [gas.9] does not exist in \"Gap.xlsx\"");
  EXPECT_TRUE(p->main.MnuElementsClick());
}

TEST_F(MainWindowModel, ExportMenuOffersTheOtherPhaseSheetsOfAPhaseSheet) {
  auto p = Desk();
  AddBook(*p, "Copy.xlsx", {{"System", "eql"}, {"gas.1", "(g)"}, {"gas.2", "(g)"}});
  p->main.PrepareExportMenu();  // a condition sheet is selected: the compounds menu is on
  EXPECT_FALSE(p->main.MnuExportCompundsInto.visible);
  p->xls.WriteCell(2, 2, "CO2", 1);
  p->xls.WriteCell(2, 3, "EOT", 1);
  p->xls.WriteCell(3, 2, "EOT", 1);
  p->main.CbxCondChange(1);
  p->main.PrepareExportMenu();
  EXPECT_TRUE(p->main.MnuExportCompundsInto.enabled);
  EXPECT_EQ(p->main.MnuExportCompundsInto.caption, "Insert [gas.1] substances to");
  EXPECT_FALSE(p->main.MnuToPh[0].visible);  // the selected sheet itself
  ASSERT_TRUE(p->main.MnuToPh[1].visible);
  EXPECT_EQ(p->main.MnuToPh[1].caption, "gas.2");
  EXPECT_EQ(p->main.MnuToPhClick(1), 1);
  EXPECT_EQ(p->xls.ReadCell(3, 2, 1), "CO2 (g)");
}

TEST_F(MainWindowModel, CalculationNamesAFileBookByItsFullPath) {
  auto p = Desk();
  const std::string path = Example("Process");
  p->xls.StartExcel();
  ASSERT_GT(p->xls.OpenBook(path), 0);
  p->xls.ListBooks(1);
  EXPECT_EQ(p->main.CalculationParameters(), " -x: " + path + " -c: System -s: ");
  AddBook(*p, "Book9.xlsx", {{"System", "eql"}});  // a new book without a file
  p->main.CbxXlsChange(1);
  EXPECT_EQ(p->main.CalculationParameters(), " -x: Book9.xlsx -c: System -s: ");
}

TEST_F(MainWindowModel, WorkbookCommandsWaitForARunningCalculation) {
  auto p = Desk();
  p->calc.busy = true;
  EXPECT_FALSE(p->main.WorkbookCommandAllowed());
  EXPECT_EQ(p->main.MnuToPhClick(0), -1);
  EXPECT_EQ(TextOf(*p, 344), "Press button [stop], to break running calculation");
}

TEST(LogPlacement, BelowTheMainWindowElseAboveElseOnlyItsLeftEdge) {
  const WindowRect screen{0, 0, 1000, 800};
  const WindowRect log{5, 7, 400, 300};
  LogPlacement below = PlaceLogWindow({100, 50, 500, 200}, log, screen, false);
  EXPECT_TRUE(below.moved);
  EXPECT_EQ(below.left, 100);
  EXPECT_EQ(below.top, 250);
  LogPlacement above = PlaceLogWindow({100, 450, 500, 200}, log, screen, false);
  EXPECT_EQ(above.top, 150);
  LogPlacement neither = PlaceLogWindow({100, 200, 500, 400}, log, screen, false);
  EXPECT_EQ(neither.left, 100);
  EXPECT_EQ(neither.top, 7);
  EXPECT_FALSE(PlaceLogWindow({100, 50, 500, 200}, log, screen, true).moved);
}

}  // namespace
}  // namespace ploxen::test

namespace ploxen::test {
namespace {

TEST_F(MainWindowModel, ExportCommandsReadTheSystemFromTheSheets) {
  auto p = Desk();
  p->xls.StartExcel();
  ASSERT_GT(p->xls.OpenBook(Example("Process")), 0);
  p->xls.ListBooks(1);
  p->main.ButtonCalculate();
  ASSERT_TRUE(p->calc.calculationOk);
  const std::string out = p->xls.ReadCell(2, 2, 3);  // CH4 out of gas.1
  ASSERT_TRUE(p->main.PrepareExport(true));
  const TPhaseSlot& gas = p->calc.slots[1];
  EXPECT_EQ(gas.sheetName, "gas.1");
  EXPECT_EQ(gas.grid.Cell(8, 0), "T (in)");
  EXPECT_EQ(gas.grid.Cell(2, 1), out);
  const std::string file = (dir / "system.eql").string();
  p->dialogs.QueueFileName(file);
  p->calc.SaveAsEquilibriumFile(p->dialogs);
  EXPECT_TRUE(fs::exists(file));
}

}  // namespace
}  // namespace ploxen::test
