// Message log: filtering, ordering, window effects, acknowledgement, copying and sorting.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

#include "support/AplMsg.h"

namespace ploxen {
namespace {

class MessageLog : public ::testing::Test {
 protected:
  void SetUp() override {
    log.onOpen = [this] { ++opened; };
    log.onBringToFront = [this] { ++raised; };
  }
  TAplMsgWnd log;
  int opened = 0;
  int raised = 0;
};

TEST_F(MessageLog, DefaultFilterDropsInformationAndKeepsImportant) {
  log.Post(6, 10, "info");
  EXPECT_EQ(log.Count(), 0);
  log.Post(4, 11, "important");
  ASSERT_EQ(log.Count(), 1);
  EXPECT_FALSE(log.WindowOpen());
  EXPECT_EQ(opened, 0);
  EXPECT_EQ(raised, 0);
}

TEST_F(MessageLog, ErrorOpensAndRaisesWindow) {
  log.Post(0, 241, "x can not be open !");
  ASSERT_EQ(log.Count(), 1);
  EXPECT_TRUE(log.WindowOpen());
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(raised, 1);
  log.Post(2, 5, "critical");  // already open: raised again, not opened again
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(raised, 2);
}

TEST_F(MessageLog, ErrorsOnlyFilterDropsCritical) {
  log.SetFilter(0);
  log.Post(2, 1, "critical");
  EXPECT_EQ(log.Count(), 0);
  log.Post(0, 2, "error");
  EXPECT_EQ(log.Count(), 1);
  log.SetFilter(3);  // not a filter value: ignored
  EXPECT_EQ(log.Filter(), 0);
}

TEST_F(MessageLog, NewEntriesGoOnTopUnlessNewestLast) {
  log.Post(4, 1, "first");
  log.Post(4, 2, "second");
  EXPECT_EQ(log.Entries()[0].text, "second");
  log.ToggleNewestLast();
  log.Post(4, 3, "third");
  EXPECT_EQ(log.Entries().back().text, "third");
}

TEST_F(MessageLog, PostAlwaysIgnoresFilterAndOrder) {
  log.SetFilter(0);
  log.Post(0, 1, "error");
  log.PostAlways(6, 7, "Data transfer to MS Excel, please wait");
  ASSERT_EQ(log.Count(), 2);
  EXPECT_EQ(log.Entries()[1].id, "I:7");
  EXPECT_EQ(opened, 1);  // only the error opened it
  log.WindowClosed();
  log.PostAlways(0, 8, "broken");
  EXPECT_EQ(log.Entries()[2].id, "I:8");  // always "I:", even for an error level
  EXPECT_TRUE(log.WindowOpen());
  EXPECT_EQ(opened, 2);
}

TEST_F(MessageLog, PostAlwaysOfImportantOpensWindow) {
  log.PostAlways(6, 1, "progress");
  EXPECT_FALSE(log.WindowOpen());
  log.PostAlways(4, 2, "important");
  EXPECT_TRUE(log.WindowOpen());
}

TEST(MessageLogText, IdTextsFollowLevel) {
  EXPECT_EQ(TAplMsgWnd::IdText(0, 12), "E:12");
  EXPECT_EQ(TAplMsgWnd::IdText(3, 5), "E:5");
  EXPECT_EQ(TAplMsgWnd::IdText(4, 1047), "I:1047");
  EXPECT_EQ(TAplMsgWnd::IdText(5, 9), "I:9");
}

TEST(MessageLogText, TimeTextHasPaddedFieldsAndTwoSpaces) {
  std::tm local{};
  local.tm_year = 2026 - 1900;
  local.tm_mon = 2;
  local.tm_mday = 4;
  local.tm_hour = 7;
  local.tm_min = 5;
  local.tm_sec = 9;
  local.tm_isdst = -1;
  auto t = std::chrono::system_clock::from_time_t(std::mktime(&local));
  EXPECT_EQ(TAplMsgWnd::TimeColumnText(t), "2026.03.04  07:05:09");
}

TEST_F(MessageLog, EntryTimeComesFromTheClock) {
  std::tm local{};
  local.tm_year = 2025 - 1900;
  local.tm_mon = 11;
  local.tm_mday = 31;
  local.tm_hour = 23;
  local.tm_min = 59;
  local.tm_sec = 58;
  local.tm_isdst = -1;
  auto t = std::chrono::system_clock::from_time_t(std::mktime(&local));
  log.SetClock([t] { return t; });
  log.Post(4, 1, "x");
  EXPECT_EQ(log.Entries()[0].time, "2025.12.31  23:59:58");
}

TEST_F(MessageLog, AcknowledgeRaisesOnlyEvenLevelsBelowSix) {
  log.SetFilter(6);
  log.Post(6, 1, "info");
  log.Post(4, 2, "important");
  log.Post(0, 3, "error");  // on top: index 0
  log.Select(0);
  log.Acknowledge();
  EXPECT_EQ(log.Entries()[0].level, 1);
  log.Acknowledge();  // level 1 stays 1
  EXPECT_EQ(log.Entries()[0].level, 1);
  EXPECT_EQ(log.Entries()[0].id, "E:3");
  log.Select(2);
  log.Acknowledge();  // level 6 stays
  EXPECT_EQ(log.Entries()[2].level, 6);
  log.AcknowledgeAll();
  EXPECT_EQ(log.Entries()[0].level, 1);
  EXPECT_EQ(log.Entries()[1].level, 5);
  EXPECT_EQ(log.Entries()[2].level, 6);
}

TEST_F(MessageLog, CopyMessageNeedsSelection) {
  log.Post(4, 1, "alpha");
  EXPECT_EQ(log.CopyMessageText(), "");
  log.Select(0);
  EXPECT_EQ(log.CopyMessageText(), "I:1\talpha");
  log.Post(0, 2, "beta");  // goes on top; the selection follows "alpha"
  EXPECT_EQ(log.CopyMessageText(), "I:1\talpha");
  log.Clear();
  EXPECT_EQ(log.Current(), -1);
  EXPECT_EQ(log.CopyMessageText(), "");
}

TEST_F(MessageLog, SortIgnoresCaseAndKeepsColumn) {
  log.Post(4, 1, "beta");
  log.Post(4, 2, "Alpha");
  log.Post(4, 3, "alpha");
  log.Select(0);  // "alpha" (newest on top)
  log.SortByColumn(1);
  ASSERT_EQ(log.Count(), 3);
  EXPECT_EQ(log.Entries()[0].text, "alpha");
  EXPECT_EQ(log.Entries()[1].text, "Alpha");
  EXPECT_EQ(log.Entries()[2].text, "beta");
  EXPECT_EQ(log.CopyMessageText(), "I:3\talpha");
  log.Post(4, 4, "Aardvark");
  log.SortAgain();
  EXPECT_EQ(log.SortColumn(), 1);
  EXPECT_EQ(log.Entries()[0].text, "Aardvark");
  log.SortByColumn(0);
  EXPECT_EQ(log.Entries()[0].id, "I:1");
  EXPECT_EQ(log.Entries()[3].id, "I:4");
}

TEST_F(MessageLog, ReopenedWindowGoesToTopLeft) {
  log.WindowActivated();
  log.SetWindowPos(300, 200);
  log.WindowActivated();  // still open: stays where the user put it
  EXPECT_EQ(log.WindowLeft(), 300);
  log.WindowClosed();
  EXPECT_FALSE(log.WindowOpen());
  log.Post(0, 1, "error");
  log.WindowActivated();
  EXPECT_EQ(log.WindowLeft(), 1);
  EXPECT_EQ(log.WindowTop(), 1);
}

TEST_F(MessageLog, MirrorWritesOneLinePerEntry) {
  log.SetMirrorToStderr(true);
  ::testing::internal::CaptureStderr();
  log.Post(0, 241, "a.usr can not be saved !");
  log.Post(6, 2, "dropped by the filter");
  log.PostAlways(6, 3, "done");
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "E:241 a.usr can not be saved !\nI:3 done\n");
}

}  // namespace
}  // namespace ploxen
