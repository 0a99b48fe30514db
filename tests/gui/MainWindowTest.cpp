// The main window's view: lists, menus and commands reach the models.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <fstream>
#include <thread>

#include "GuiFixture.h"
#include "app/CalcStartView.h"
#include "app/UserSettings.h"
#include "kernel/EqKernelView.h"
#include "linalg/LSolverView.h"
#include "support/AplMsgView.h"

namespace ploxen::test {
namespace {

using MainWindow = GuiFixture;

TEST_F(MainWindow, OpeningAWorkbookShowsItsSheetsAndTheConditionSheet) {
  DesktopSession& s = Start();
  s.main->OpenFile(Example("Process"));
  EXPECT_EQ(s.main->CbxXls()->currentText(), "Process.xlsx");
  EXPECT_EQ(s.main->CbxCond()->count(), 6);
  EXPECT_EQ(s.main->CbxCond()->currentText(), "System");
  EXPECT_EQ(s.main->windowTitle(), "Ploxen Mizzolith [Process.xlsx]");
  EXPECT_EQ(s.main->StatusPanel(1)->text(), "thermodynamic system");
  EXPECT_EQ(s.main->CompoundsMenu()->title(), "Compounds of ->");
  EXPECT_EQ(s.main->Command("Ph1")->text(), "gas.1");
  EXPECT_TRUE(s.main->Command("Ph1")->isVisible());
  EXPECT_TRUE(s.main->ButtonCalculate()->isEnabled());

  // A phase sheet chosen in the list: its kind, no compounds menu, the export menu instead.
  s.main->CbxCond()->setCurrentIndex(1);
  Q_EMIT s.main->CbxCond()->activated(1);
  EXPECT_EQ(s.p->main.CbxCondIndex, 1);
  EXPECT_EQ(s.main->StatusPanel(1)->text(), "Gas Phase");
  EXPECT_FALSE(s.main->CompoundsMenu()->menuAction()->isVisible());
  s.p->main.PrepareExportMenu();  // as the menu does when it opens
  s.main->Refresh();
  EXPECT_EQ(s.main->ExportMenu()->title(), "Insert [gas.1] substances to");
  EXPECT_FALSE(s.main->Command("MnuToPh1")->isVisible());
  EXPECT_TRUE(s.main->Command("MnuToPh2")->isVisible());
}

TEST_F(MainWindow, CalculationWritesTheResultsSavesTheBookAndLogsSuccess) {
  DesktopSession& s = Start();
  const std::string path = Example("Process");
  s.main->OpenFile(path);
  const std::string before = FileBytes(path);
  QTest::mouseClick(s.main->ButtonCalculate(), Qt::LeftButton);
  EXPECT_TRUE(s.p->calc.calculationOk);
  EXPECT_TRUE(Posted(1593));
  EXPECT_EQ(s.main->StatusPanel(0)->text(), "System: Calculation success");
  // Saved after the calculation: the file was written and holds the results.
  EXPECT_NE(FileBytes(path), before);
  EXPECT_FALSE(SavedCell(path, 2, 2, 3).empty());
  // The history menu offers the run again, naming the book by its full path.
  ASSERT_TRUE(s.main->Command("MnuHst0")->isVisible());
  EXPECT_TRUE(s.main->Command("MnuHst0")->text().contains(QString::fromStdString(path)));
}

TEST_F(MainWindow, WithoutSaveAfterCalculationTheFileStaysAndClosingAsks) {
  DesktopSession& s = Start();
  const std::string path = Example("Process");
  s.main->OpenFile(path);
  s.main->Command("MnuSaveAfterCalculation")->trigger();  // off, and remembered
  EXPECT_EQ(ReadMainWndSetting(s.p->settings, "SaveAfterCalculation"), "0");
  const std::string before = SavedCell(path, 2, 2, 3);
  s.main->Command("ButtonCalculate")->trigger();
  EXPECT_EQ(SavedCell(path, 2, 2, 3), before);
  dialogs.QueueAnswer(kAnswerCancel);
  EXPECT_FALSE(s.main->close());  // unsaved results: the user cancelled
  EXPECT_FALSE(s.p->main.programClosed);
  dialogs.QueueAnswer(kAnswerNo);
  EXPECT_TRUE(s.main->close());
  EXPECT_TRUE(s.p->main.programClosed);
}

TEST_F(MainWindow, HistoryEntriesRunAgainAndAGoneBookLeavesTheMenu) {
  DesktopSession& s = Start();
  const std::string path = Example("Process");
  s.main->OpenFile(path);
  s.main->Command("ButtonCalculate")->trigger();
  s.p->settings.AddRecent("-x: " + (dir / "gone.xlsx").string() + " -c: System");
  s.main->Refresh();
  ASSERT_TRUE(s.main->Command("MnuHst1")->isVisible());
  s.main->Command("MnuHst0")->trigger();  // the entry of the missing book
  EXPECT_TRUE(Posted(432));
  EXPECT_FALSE(s.main->Command("MnuHst1")->isVisible());
  s.p->log.Clear();
  s.main->Command("MnuHst0")->trigger();
  EXPECT_TRUE(Posted(1593));
}

TEST_F(MainWindow, ShortcutsOpenTheCriteriaAndRunTheCalculation) {
  DesktopSession& s = Start();
  s.main->OpenFile(Example("Process"));
  s.main->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(s.main));
  s.main->activateWindow();
  QTest::keyClick(s.main, Qt::Key_O, Qt::ControlModifier);
  EXPECT_TRUE(s.criteria->isVisible());
  s.criteria->close();
  QTest::keyClick(s.main, Qt::Key_C, Qt::ControlModifier);
  EXPECT_TRUE(s.p->calc.calculationOk);
  QAction* lagrange = s.main->Command("MnuLagrang");
  EXPECT_EQ(lagrange->shortcut(), QKeySequence("Ctrl+L"));
  lagrange->trigger();
  EXPECT_TRUE(s.matrix->isVisible());
}

TEST_F(MainWindow, AWorkbookChangedOnDiskIsLoadedAgainBeforeTheNextCommand) {
  DesktopSession& s = Start();
  const std::string path = Example("Process");
  s.main->OpenFile(path);
  {
    TAplMsgWnd log;
    EmbeddedServer other(log);
    BookHandle book = 0;
    SheetHandle sheet = 0;
    ASSERT_TRUE(other.OpenBook(path, false, book));
    other.SheetItem(book, 1, sheet);
    other.SetCellValue(sheet, 1, 1, "rcl");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(other.SaveBook(book));
  }
  for (QPushButton* b : s.main->findChildren<QPushButton*>()) {
    if (b->text() == "Update Sheets") QTest::mouseClick(b, Qt::LeftButton);
  }
  EXPECT_TRUE(Posted(2161));
  s.main->CbxCond()->setCurrentIndex(0);
  Q_EMIT s.main->CbxCond()->activated(0);
  EXPECT_EQ(s.main->StatusPanel(1)->text(), "invers calculation of a thermodynamic system");
}

TEST_F(MainWindow, ACorruptWorkbookFromTheDialogIsReportedAndTheWindowGoesOn) {
  DesktopSession& s = Start();
  const std::string bad = (dir / "bad.xlsx").string();
  { std::ofstream(bad) << "no zip"; }
  dialogs.QueueFileName(bad);
  s.main->Command("MnuOpen")->trigger();
  EXPECT_TRUE(Posted(273));
  EXPECT_TRUE(s.log->isVisible());  // errors bring the log to the front
  EXPECT_EQ(s.main->CbxXls()->count(), 0);
  s.main->OpenFile(Example("Process"));
  EXPECT_EQ(s.main->CbxXls()->currentText(), "Process.xlsx");
}

}  // namespace
}  // namespace ploxen::test
