// Batch runs of the desktop: the splash, the timer and the end of the run.
#include <QLabel>
#include <QTimer>

#include "GuiFixture.h"
#include "app/CalcStartView.h"
#include "app/StartShwView.h"

namespace ploxen::test {
namespace {

using BatchDesktop = GuiFixture;

TEST_F(BatchDesktop, ARunWithStayShowsTheSplashUntilTheTimerClosesIt) {
  const std::string path = Example("Process");
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
  EXPECT_FALSE(s.Finished());               // "-s:": the program stays, reachable from the tray
  EXPECT_EQ(SavedCell(path, 1, 1, 2), "");  // nothing saved
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
