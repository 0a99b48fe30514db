// "Break" during a calculation: the click reaches the kernel through the events the
// calculation lets through.
#include <QPushButton>
#include <QTimer>

#include "GuiFixture.h"
#include "app/CalcStartView.h"

namespace ploxen::test {
namespace {

using MainWindowRun = GuiFixture;

TEST_F(MainWindowRun, BreakClickedDuringTheIterationsStopsTheCalculation) {
  DesktopSession& s = Start();
  s.main->OpenFile(Example("Process"));
  int calls = 0;
  bool breakEnabled = false;
  // The second iteration schedules a click on "Break"; the event pump delivers it.
  s.p->kernel.SetProcessEvents([&] {
    if (++calls == 2) {
      breakEnabled = s.main->BtnBreak()->isEnabled();
      QTimer::singleShot(0, s.main->BtnBreak(),
                         [&] { QTest::mouseClick(s.main->BtnBreak(), Qt::LeftButton); });
    }
    s.pump();
  });
  s.main->Command("ButtonCalculate")->trigger();
  EXPECT_GE(calls, 2);
  EXPECT_TRUE(breakEnabled);
  EXPECT_FALSE(s.p->calc.calculationOk);
  EXPECT_EQ(s.p->kernel.ResultText().rfind("Break by user", 0), 0u);
  EXPECT_FALSE(s.p->calc.busy);
  EXPECT_FALSE(s.main->Calculating());
  // The window works on: the next calculation succeeds.
  s.p->kernel.SetProcessEvents([&] { s.pump(); });
  s.main->Command("ButtonCalculate")->trigger();
  EXPECT_TRUE(s.p->calc.calculationOk);
}

TEST_F(MainWindowRun, ACommandGivenWhileACalculationRunsOnlyWarns) {
  DesktopSession& s = Start();
  s.main->OpenFile(Example("Process"));
  bool once = false;
  bool calculationEnabled = true;
  s.p->kernel.SetProcessEvents([&] {
    if (!once) {
      once = true;
      calculationEnabled = s.main->Command("ButtonCalculate")->isEnabled();
      s.p->main.EmptyProcess(s.p->userDialogs);  // a workbook command while the run goes on
    }
  });
  s.main->Command("ButtonCalculate")->trigger();
  EXPECT_TRUE(once);
  EXPECT_FALSE(calculationEnabled);
  EXPECT_TRUE(s.p->calc.calculationOk);
  int warnings = 0;
  for (const LogEntry& e : s.p->log.Entries()) warnings += e.number == 344 ? 1 : 0;
  EXPECT_EQ(warnings, 1);
}

}  // namespace
}  // namespace ploxen::test
