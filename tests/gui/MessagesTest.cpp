// The "Messages" window shows the log and writes the user's commands back.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

#include "GuiFixture.h"
#include "app/UserSettings.h"
#include "support/AplMsgView.h"

namespace ploxen::test {
namespace {

using Messages = GuiFixture;

TEST_F(Messages, AnErrorOpensTheWindowWithItsColumns) {
  DesktopSession& s = Start();
  s.p->log.Clear();
  EXPECT_FALSE(s.log->isVisible());
  s.p->log.Post(kMsgImportant, 11, "important");
  EXPECT_FALSE(s.log->isVisible());
  s.p->log.Post(kMsgError, 12, "broken");
  EXPECT_TRUE(s.log->isVisible());
  QTreeWidget* list = s.log->List();
  ASSERT_EQ(list->topLevelItemCount(), 2);
  EXPECT_EQ(list->topLevelItem(0)->text(0), "E:12");  // newest first
  EXPECT_EQ(list->topLevelItem(0)->text(1), "broken");
  EXPECT_EQ(list->topLevelItem(1)->text(0), "I:11");
  EXPECT_EQ(list->headerItem()->text(2), "Time");
}

TEST_F(Messages, AcknowledgeCopySortAndOnTopReachTheLog) {
  DesktopSession& s = Start();
  s.p->log.Clear();
  s.p->log.Post(kMsgError, 2, "beta");
  s.p->log.Post(kMsgCritical, 1, "Alpha");
  QTreeWidget* list = s.log->List();
  list->setCurrentItem(list->topLevelItem(0));
  Q_EMIT list->itemDoubleClicked(list->topLevelItem(0), 0);
  EXPECT_EQ(s.p->log.Entries()[0].level, 3);
  s.log->CopyAction()->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), "E:1\tAlpha");
  Q_EMIT list->header()->sectionClicked(1);
  EXPECT_EQ(list->topLevelItem(0)->text(1), "Alpha");
  EXPECT_EQ(s.p->log.SortColumn(), 1);
  s.log->OnTopBox()->setChecked(true);
  EXPECT_TRUE(s.p->log.OnTop());
  QTest::mouseClick(s.log->ResetButton(), Qt::LeftButton);
  EXPECT_EQ(list->topLevelItemCount(), 0);
}

TEST_F(Messages, AChosenFilterIsCheckedAndRemembered) {
  DesktopSession& s = Start();
  EXPECT_TRUE(s.log->FilterAction(4)->isChecked());
  s.log->FilterAction(0)->trigger();
  EXPECT_EQ(s.p->log.Filter(), 0);
  EXPECT_EQ(ReadMainWndSetting(s.p->settings, "MsgFilter"), "0");
  s.log->TimeUpwardsAction()->trigger();
  EXPECT_TRUE(s.p->log.NewestLast());
}

}  // namespace
}  // namespace ploxen::test
