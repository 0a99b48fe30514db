// The main window's run commands in an interactive session: "Calculation", "Calculate again",
// "Break" and the status display.
#include <gtest/gtest.h>

#include "AppFixture.h"

namespace ploxen::test {
namespace {

class RunCommands : public AppFixture {
 protected:
  // An interactive session with Process.xlsx open and its System sheet selected.
  std::unique_ptr<TPloxen> Session() {
    auto p = Start({});
    const std::string book = Example("Process");
    EXPECT_GT(p->xls.OpenBook(book), 0);
    p->main.CbxXls = p->xls.CbxBook.items;
    p->main.CbxXlsIndex = 0;
    p->main.CbxCond = p->xls.CbxSheet.items;
    p->main.CbxCondIndex = 0;
    return p;
  }
};

TEST_F(RunCommands, CalculationRunsTheSelectionAndStaysOpen) {
  auto p = Session();
  p->xls.WriteCell(1, 7, "0.0001", 2);  // precision, read on a start from the button
  p->xls.WriteCell(1, 1, "", 2);        // the example keeps the status word of its last run
  p->main.ButtonCalculate();
  EXPECT_TRUE(p->calc.calculationOk);
  EXPECT_EQ(p->main.parameters, "");  // no following calculation left
  EXPECT_TRUE(p->main.stay);
  EXPECT_FALSE(p->main.programClosed);
  EXPECT_FALSE(p->calc.busy);
  EXPECT_EQ(p->kernel.EditPrec, "0.0001");
  EXPECT_EQ(p->main.StatusPanel0, "System: Calculation success");
  EXPECT_EQ(p->xls.ReadCell(1, 1, 2), "");  // the status word is for batch runs only
  // The history names the book by its full path, so that the entry opens it after a restart.
  ASSERT_FALSE(p->settings.Recent().empty());
  EXPECT_NE(
      p->settings.Recent()[0].find("-x: " + (dir / "Process.xlsx").string() + " -c: System -s:"),
      std::string::npos);
}

TEST_F(RunCommands, CalculationWhileBusyOnlyWarns) {
  auto p = Session();
  p->calc.busy = true;
  p->main.ButtonCalculate();
  EXPECT_EQ(TextOf(*p, 344), "Press button [stop], to break running calculation");
  EXPECT_FALSE(Posted(*p, 711));
}

TEST_F(RunCommands, CalculateAgainDropsAnEntryWhoseBookIsGone) {
  auto p = Session();
  p->settings.AddRecent("-x: " + (dir / "gone.xlsx").string() + " -c: System");
  ASSERT_EQ(p->settings.Recent().size(), 1u);
  p->main.CalculateAgain(0);
  EXPECT_TRUE(p->settings.Recent().empty());
  EXPECT_TRUE(p->kernel.BreakRequested());
  EXPECT_EQ(p->main.countdown, 2);
  EXPECT_FALSE(p->calc.busy);
}

TEST_F(RunCommands, BreakWhileBusyAndIdle) {
  auto p = Session();
  p->calc.busy = true;
  p->main.Break();
  EXPECT_FALSE(p->calc.busy);
  EXPECT_TRUE(p->calc.breakRequested);
  EXPECT_TRUE(p->kernel.BreakRequested());
  EXPECT_EQ(p->main.StatusPanel0, "Stop");
  p->main.Break();
  EXPECT_EQ(p->main.StatusPanel0, "stop ok");
}

TEST_F(RunCommands, StatusGoesToThePanelInteractivelyAndToTheSplashInBatch) {
  auto p = Start({});
  p->main.ShowStatus("working", 5);
  EXPECT_EQ(p->main.StatusPanel0, "working");
  EXPECT_FALSE(p->main.splashVisible);
  p->main.batchMode = true;
  p->main.ShowStatus("reading", 7);
  EXPECT_EQ(p->main.splashLower, "reading");
  EXPECT_EQ(p->main.countdown, 7);
  EXPECT_EQ(statusLines.back(), "reading");
  p->main.ShowStatus("close", 0);
  EXPECT_TRUE(p->main.programClosed);
  EXPECT_EQ(statusLines.back(), "reading");
}

}  // namespace
}  // namespace ploxen::test
