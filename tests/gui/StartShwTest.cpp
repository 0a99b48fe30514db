// Batch runs of the desktop: the splash, the timer and the end of the run.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTimer>

#include "GuiFixture.h"
#include "app/CalcStartView.h"
#include "app/StartShwView.h"

namespace ploxen::test {
namespace {

using BatchDesktop = GuiFixture;

TEST_F(BatchDesktop, ARunWithStayShowsTheSplashUntilTheTimerClosesIt) {
  const std::string path = Example("Process");
  const std::string bytes = FileBytes(path);
  DesktopSession& s = Start({"-x:", path, "-c:", "System", "-s:"}, true);
  EXPECT_FALSE(s.Finished());
  EXPECT_FALSE(s.main->isVisible());
  EXPECT_TRUE(s.splash->isVisible());
  EXPECT_EQ(s.splash->Upper()->text(), "Process.xlsx");
  EXPECT_EQ(s.p->main.statusWord, "success");
  EXPECT_TRUE(s.timer->isActive());
  s.timer->setInterval(5);  // ticks of 5 ms instead of a second
  QTRY_VERIFY_WITH_TIMEOUT(!s.timer->isActive(), 2000);
  EXPECT_FALSE(s.splash->isVisible());
  EXPECT_FALSE(s.Finished());               // "-s:": the program stays
  EXPECT_EQ(FileBytes(path), bytes);  // nothing saved
}

TEST_F(BatchDesktop, WithoutATrayTheMainWindowOpensWhenTheSplashCloses) {
  ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());  // the offscreen platform has none
  const std::string path = Example("Process");
  DesktopSession& s = Start({"-x:", path, "-c:", "System", "-s:"}, true);
  EXPECT_TRUE(Posted(2167));
  EXPECT_FALSE(s.p->main.trayIconShown);
  EXPECT_FALSE(s.main->isVisible());  // the splash first
  s.timer->setInterval(5);
  QTRY_VERIFY_WITH_TIMEOUT(s.main->isVisible(), 2000);
  EXPECT_FALSE(s.splash->isVisible());
  // The window is usable: the run's book is listed and calculates again.
  EXPECT_EQ(s.main->CbxXls()->currentText(), "Process.xlsx");
  EXPECT_EQ(s.main->CbxCond()->currentText(), "System");
  EXPECT_TRUE(s.main->ButtonCalculate()->isEnabled());
  s.p->calc.calculationOk = false;
  QTest::mouseClick(s.main->ButtonCalculate(), Qt::LeftButton);
  EXPECT_TRUE(s.p->calc.calculationOk);
}

TEST_F(BatchDesktop, AShutdownRunEndsWithoutOpeningTheMainWindow) {
  const std::string path = Example("Process");
  DesktopSession& s = Start({"-x:", path, "-c:", "System", "-t:", "1"}, true);
  s.timer->setInterval(5);
  QTRY_VERIFY_WITH_TIMEOUT(s.Finished(), 2000);
  EXPECT_FALSE(s.main->isVisible());
}

TEST_F(BatchDesktop, ARunWithoutStaySavesAndEnds) {
  const std::string path = Example("Process");
  DesktopSession& s = Start({"-x:", path, "-c:", "System"}, true);
  EXPECT_TRUE(s.Finished());
  EXPECT_EQ(s.ExitStatus(), 0);
  EXPECT_EQ(SavedCell(path, 1, 1, 2), "success");
}

TEST_F(BatchDesktop, ParametersWithoutABookShowTheMainWindow) {
  DesktopSession& s = Start({"-c:", "System"}, true);
  EXPECT_FALSE(s.Finished());
  EXPECT_TRUE(s.main->isVisible());
  EXPECT_EQ(s.main->windowTitle(), "Ploxen Mizzolith [ undefined]");
  EXPECT_TRUE(Posted(268));
}

}  // namespace
}  // namespace ploxen::test
