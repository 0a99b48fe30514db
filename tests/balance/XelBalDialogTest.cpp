// The "Element Balance" dialog: element list, the reading before it is shown, the messages of a
// balance and the refusals that leave nothing behind.
#include <gtest/gtest.h>

#include "XelBalFixture.h"

namespace ploxen::test {
namespace {

using XelBalDialog = XelBalFixture;

class NoServers : public SpreadsheetServerFactory {
 public:
  std::shared_ptr<SpreadsheetServer> Attach(const std::string&) override { return nullptr; }
  std::shared_ptr<SpreadsheetServer> Start(const std::string&) override { return nullptr; }
};

TEST_F(XelBalDialog, ElementListIsSortedAndKeepsTheSelection) {
  std::function<void()> selectionChanged;
  dlg.installSelectionCallback = [&](std::function<void()> f) { selectionChanged = std::move(f); };
  for (const char* e : {"O", "H", "Ca", "C"}) calc.elementFlags[elements.FindSymbol(e)] = 1;
  dlg.PrepareBalance();
  EXPECT_EQ(dlg.Caption, "Element Balance");
  EXPECT_EQ(dlg.CBE, (std::vector<std::string>{"C", "Ca", "H", "O"}));
  EXPECT_EQ(dlg.SelectedText(), "C");
  ASSERT_NE(dlg.Grid(0), nullptr);
  dlg.CBEIndex = 2;
  calc.elementFlags[elements.FindSymbol("Ca")] = 0;
  ASSERT_TRUE(selectionChanged);
  selectionChanged();
  EXPECT_EQ(dlg.CBE, (std::vector<std::string>{"C", "H", "O"}));
  EXPECT_EQ(dlg.SelectedText(), "H");
  calc.elementFlags[elements.FindSymbol("H")] = 0;
  selectionChanged();
  EXPECT_EQ(dlg.SelectedText(), "C");  // the remembered one is gone: the first

  bool shown = false;
  selectionChanged = nullptr;
  dlg.showElementSelection = [&] { shown = true; };
  dlg.BtnElementsClick();
  EXPECT_TRUE(shown);
  EXPECT_TRUE(selectionChanged);
}

TEST_F(XelBalDialog, WithoutSenderOnlyReadsTheSystem) {
  AddConditionSheet({"gas"});
  AddPhaseSheet("gas", "(g)", {{"CO", "1"}, {"CO2", "2"}}, "in [mol]", "out [mol]", "x", "",
                "MW [g/mol]");
  const int gas = book.FindSheet("gas");
  book.Set(gas, 2, 3, "0.5");
  book.Set(gas, 2, 4, "0.25");
  book.Set(gas, 2, 8, "1");
  book.Set(gas, 3, 10, "44.0095");
  Select("C", {"O"});
  const int writes = book.writes;
  dlg.BtnBalanceClick(false);
  EXPECT_EQ(statuses.back(), "initialisation complete");
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Reading gas, please wait"),
            statuses.end());
  const StringGrid& table = calc.slots[1].grid;
  EXPECT_EQ(table.Cell(gc::kOutput, 0), "out [mol]");
  EXPECT_EQ(table.Cell(gc::kOutput, 1), "0.5");
  // The sheet's other results stay in the table the system window shows.
  EXPECT_EQ(table.Cell(gc::kComposition, 0), "x");
  EXPECT_EQ(table.Cell(gc::kComposition, 1), "0.25");
  EXPECT_EQ(table.Cell(gc::kInfo, 1), "1");
  EXPECT_EQ(table.Cell(10, 2), "44.0095");
  EXPECT_FALSE(Posted(194));
  EXPECT_EQ(exporter.Server(), nullptr);  // nothing exported
  EXPECT_EQ(book.writes, writes);         // nor written into the process workbook
  EXPECT_FALSE(calc.busy);
  // A workbook without block reads gives the same table, column by column.
  book.blockReads = false;
  book.Set(gas, 2, 4, "0.3");
  dlg.BtnBalanceClick(false);
  EXPECT_EQ(calc.slots[1].grid.Cell(gc::kComposition, 1), "0.3");
  EXPECT_EQ(calc.slots[1].grid.Cell(gc::kInfo, 1), "1");
  EXPECT_EQ(calc.slots[1].grid.Cell(gc::kOutput, 1), "0.5");
}

TEST_F(XelBalDialog, ABalanceReportsEachStepAndClosesTheDialog) {
  AddConditionSheet({"gas"});
  AddPhaseSheet("gas", "(g)", {{"CO2", "2"}});
  Select("C", {"O"});
  dlg.visible = true;
  log.Clear();
  log.SetFilter(0);  // the progress reports that must appear anyway are posted unfiltered
  dlg.BtnBalanceClick(true);
  std::vector<int> numbers;
  for (const LogEntry& e : log.Entries()) numbers.push_back(e.number);
  EXPECT_EQ(numbers, (std::vector<int>{194, 244}));
  EXPECT_EQ(TextOf(194), "C (C) Balance creating, please wait");
  EXPECT_EQ(log.Entries()[0].level, kMsgCritical);
  EXPECT_EQ(TextOf(244), "C Balance finished");
  EXPECT_EQ(log.Entries()[1].level, kMsgImportant);

  log.Clear();
  log.SetFilter(6);
  dlg.BtnBalanceClick(true);
  numbers.clear();
  for (const LogEntry& e : log.Entries()) numbers.push_back(e.number);
  EXPECT_EQ(numbers, (std::vector<int>{194, 661, 692, 730, 244}));
  EXPECT_EQ(TextOf(661), "C Balance; Data Transfer to  MS Excel, please wait");
  EXPECT_EQ(TextOf(692), "C Balance; Finalisation, please wait");
  EXPECT_EQ(TextOf(730), "Balance complete");
  EXPECT_EQ(statuses.back(), "Data are written to sheets");
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Balance complete"), statuses.end());
  EXPECT_FALSE(dlg.visible);
  EXPECT_FALSE(calc.busy);
  EXPECT_TRUE(Server()->IsVisible());
}

TEST_F(XelBalDialog, FullLayoutReportsEveryPhaseSheet) {
  AddConditionSheet({"gas", "water"});
  AddPhaseSheet("gas", "(g)", {{"CO2", "2"}});
  AddPhaseSheet("water", "(l)", {{"H2O", "2"}});
  Select("O", {"C", "H"});
  dlg.CbxCompact = false;
  dlg.BtnBalanceClick(true);
  for (const char* s : {"O Balance for [gas], please wait", "O Balance for [water], please wait"})
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), s), statuses.end()) << s;
  EXPECT_TRUE(Posted(244));
}

TEST_F(XelBalDialog, RefusalsExportNothing) {
  AddConditionSheet({"gas"});
  AddPhaseSheet("gas", "(g)", {{"CO2", "2"}});
  // No element selected.
  dlg.BtnBalanceClick(true);
  EXPECT_EQ(TextOf(199), "Error in element selction");
  EXPECT_EQ(log.Entries().back().level, 1);
  // A condition sheet of an inverse calculation.
  Select("C", {"O"});
  book.Set(1, 1, 1, "rcl");
  dlg.BtnBalanceClick(true);
  EXPECT_EQ(TextOf(201), "[Book.xlsx][System][A1]=eql  must be an equilibrium system.");
  // A condition sheet that is not there.
  log.Clear();
  dlg.conditionSheetName = "Nowhere";
  dlg.BtnBalanceClick(false);
  EXPECT_EQ(TextOf(201), "[Book.xlsx][Nowhere][A1]=eql  must be an equilibrium system.");
  // An output cell that cannot be read.
  dlg.conditionSheetName = "System";
  book.Set(1, 1, 1, "eql");
  book.refusedReads.insert({book.FindSheet("gas"), {2, 3}});
  dlg.BtnBalanceClick(true);
  EXPECT_TRUE(Posted(194));
  EXPECT_EQ(exporter.Server(), nullptr);
  EXPECT_FALSE(Posted(244));
  EXPECT_FALSE(calc.busy);
}

TEST_F(XelBalDialog, AMissingDatasetStopsTheBuildBeforeExport) {
  for (bool compact : {true, false}) {
    log.Clear();
    book.sheets.clear();
    AddConditionSheet({"gas"});
    AddPhaseSheet("gas", "(g)", {{"CO2", "2"}, {"Unobtainium", "1"}});
    Select("C", {"O"});
    dlg.CbxCompact = compact;
    dlg.BtnBalanceClick(true);
    const int number = compact ? 536 : 317;
    EXPECT_EQ(TextOf(number), "The data of Unobtainium (g) does not exist in the database");
    EXPECT_EQ(log.Entries().back().level, kMsgError);
    EXPECT_FALSE(Posted(661));
    EXPECT_FALSE(Posted(244));
    EXPECT_EQ(exporter.Server(), nullptr);
    EXPECT_FALSE(calc.busy);
  }
}

TEST_F(XelBalDialog, ARunningCalculationIsLeftAlone) {
  AddConditionSheet({"gas"});
  AddPhaseSheet("gas", "(g)", {{"CO2", "2"}});
  Select("C", {"O"});
  calc.busy = true;
  log.Clear();
  dlg.BtnBalanceClick(true);
  EXPECT_EQ(log.Count(), 0);
  EXPECT_TRUE(calc.busy);
  EXPECT_EQ(exporter.Server(), nullptr);
}

TEST_F(XelBalDialog, NoSpreadsheetApplicationStopsTheExport) {
  NoServers none;
  TExportBook nowhere(log, table, none);
  TXelBalDlg other(log, calc, thermo, elements, nowhere);
  other.processBook = &book;
  other.conditionSheetName = "System";
  other.visible = true;
  AddConditionSheet({"gas"});
  AddPhaseSheet("gas", "(g)", {{"CO2", "2"}});
  calc.elementFlags[elements.FindSymbol("C")] = 1;
  other.PrepareBalance();
  other.BtnBalanceClick(true);
  EXPECT_EQ(TextOf(1047), "MS Excel can not be started!");
  EXPECT_FALSE(Posted(730));
  EXPECT_FALSE(Posted(244));
  EXPECT_TRUE(other.visible);
  EXPECT_FALSE(calc.busy);
}

TEST(ExportBookSheets, TrailingSheetsAreDeletedAndBadSavesReported) {
  TAplMsgWnd log;
  ScriptedDialogs dialogs;
  TTablOprtWnd table(dialogs);
  EmbeddedServerFactory servers(log);
  TExportBook exporter(log, table, servers);
  EXPECT_EQ(exporter.DeleteSheetsAfter(1), -1);
  ASSERT_EQ(exporter.OpenExportBook(4), 1);
  EXPECT_EQ(exporter.DeleteSheetsAfter(2), 2);
  int sheets = 0;
  exporter.Server()->SheetCount(exporter.Book(), sheets);
  EXPECT_EQ(sheets, 2);
  EXPECT_EQ(exporter.DeleteSheetsAfter(0), 1);  // the first sheet always stays
  EXPECT_EQ(exporter.SaveExportBook("/nonexistent-folder/x/Balance.xlsx"), -1);
  ASSERT_EQ(log.Count(), 1);
  EXPECT_EQ(log.Entries()[0].number, 1054);
  EXPECT_EQ(log.Entries()[0].text.rfind("Error while save [/nonexistent-folder/x/Balance.xlsx]", 0),
            0u);
}

}  // namespace
}  // namespace ploxen::test
