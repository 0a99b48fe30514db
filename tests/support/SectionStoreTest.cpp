// Section store: reading, section selection, key lookup, section replacement and saving.
#include <gtest/gtest.h>

#include <filesystem>

#include "StoreFixture.h"
#include "support/FileIO.h"
#include "support/SectionStore.h"

namespace ploxen {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

class SettingsFile : public testing::StoreTest {
 protected:
  std::string LastMessage() const { return log.Count() ? log.Entries()[0].text : ""; }
};

TEST(SettingsLines, EveryCrAndLfEndsALineAndEmptyLinesDrop) {
  auto lines = SectionStore::SplitLines("a\r\nb\rc\n\n  \nlast");
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "a");
  EXPECT_EQ(lines[1], "b");
  EXPECT_EQ(lines[2], "c");
  EXPECT_EQ(lines[3], "  ");  // blank but not empty: kept untrimmed
  EXPECT_EQ(lines[4], "last");
}

TEST_F(SettingsFile, LoadReportsMissingAndUnreadableFiles) {
  EXPECT_EQ(store.Load(dir / "none.sys"), 0);
  EXPECT_EQ(log.Count(), 0);
  std::filesystem::create_directory(dir / "folder.sys");
  EXPECT_EQ(store.Load(dir / "folder.sys"), -1);
  EXPECT_EQ(log.Entries()[0].id, "E:241");
  EXPECT_EQ(LastMessage(), dir / "folder.sys" + " can not be open !");
}

TEST_F(SettingsFile, LoadKeepsCachedLinesUntilTheFileChanges) {
  std::string path = Make("a.sys", "[General]\nDatabase=one\n");
  ASSERT_EQ(store.Load(path), 1);
  store.SelectSection("General");
  store.Lines().push_back("added in memory");
  EXPECT_EQ(store.Load(path), 1);  // same name and stamp: nothing read
  EXPECT_EQ(store.Lines().size(), 3u);
  EXPECT_EQ(store.SectionName(), "General");

  WriteBytes(path, "[General]\nDatabase=two, longer\n");
  EXPECT_EQ(store.Load(path), 1);
  EXPECT_EQ(store.Lines().size(), 2u);
  EXPECT_EQ(store.SectionName(), "");
  store.SelectSection("General");
  EXPECT_EQ(store.GetValue("Database"), "two, longer");

  std::filesystem::remove(path);
  EXPECT_EQ(store.Load(path), 0);
  EXPECT_EQ(store.FileTime(), 0);
}

TEST_F(SettingsFile, UnnamedSectionIsEverythingBeforeTheFirstHeader) {
  store.Load(Make("a.sys", "one\ntwo\n[S]\nk=v\n"));
  EXPECT_EQ(store.SelectSection(""), 2);
  EXPECT_EQ(store.SectionLines()[1], "two");
  EXPECT_EQ(store.SelectSection("*"), 4);
}

TEST_F(SettingsFile, SectionEndsAtNextHeaderAndMatchesByPrefix) {
  store.Load(Make("a.sys", "[A]\nx=1\n  [B] \ny=2\n[Ab]\nz=3\n"));
  EXPECT_EQ(store.SelectSection("B"), 2);
  EXPECT_EQ(store.GetValue("y"), "2");
  EXPECT_EQ(store.GetValue("x"), "");
  EXPECT_EQ(store.SelectSection("A"), 2);
  EXPECT_EQ(store.GetValue("z"), "");
}

TEST_F(SettingsFile, SameSectionTwiceReturnsOne) {
  store.Load(Make("a.sys", "[A]\nx=1\ny=2\n"));
  EXPECT_EQ(store.SelectSection("A"), 3);
  EXPECT_EQ(store.SelectSection("A"), 1);
}

TEST_F(SettingsFile, MissingSectionLeavesItsHeader) {
  store.Load(Make("a.sys", "[A]\nx=1\n"));
  EXPECT_EQ(store.SelectSection("Missing"), 0);
  ASSERT_EQ(store.SectionLines().size(), 1u);
  EXPECT_EQ(store.SectionLines()[0], "[Missing]");
  store.SectionLines().push_back("k=v");
  store.WriteSection("Missing");
  ASSERT_EQ(store.Lines().size(), 4u);
  EXPECT_EQ(store.Lines()[2], "[Missing]");
  EXPECT_EQ(store.Lines()[3], "  k=v");
}

TEST_F(SettingsFile, KeyNeedsEqualsRightAfterIt) {
  store.Load(Make("a.sys", "[General]\n  Database=/data/Ploxen.tdb\nPrjDir = /x\nR=a=b\n"));
  store.SelectSection("General");
  EXPECT_EQ(store.GetValue("Database"), "/data/Ploxen.tdb");
  EXPECT_EQ(store.GetValue("PrjDir"), "");
  EXPECT_EQ(store.GetValue("R"), "a=b");
  EXPECT_EQ(store.GetValue("database"), "");  // keys are case-sensitive
}

TEST_F(SettingsFile, WriteSectionReplacesInPlaceAndIndents) {
  store.Load(Make("a.sys", "top\n[A]\nold=1\n[B]\nb=2\n"));
  store.SelectSection("A");
  store.SectionLines() = {"[A]", "new=1", "  kept=2"};
  store.WriteSection("A");
  std::vector<std::string> expected = {"top", "[A]", "  new=1", "  kept=2", "[B]", "b=2"};
  EXPECT_EQ(store.Lines(), expected);
}

TEST_F(SettingsFile, SaveKeepsBackupOfOldContent) {
  std::string path = Make("ploxen.usr", "[History]\nold\n");
  store.Load(path);
  store.Lines() = {"[History]", "  new"};
  EXPECT_EQ(store.Save(path), 1);
  EXPECT_EQ(ReadBytes(path), "[History]\n  new\n");
  EXPECT_EQ(ReadBytes(dir / "ploxen.~usr"), "[History]\nold\n");
  EXPECT_EQ(log.Count(), 0);
}

TEST_F(SettingsFile, SaveThroughSymbolicLinkKeepsTheLink) {
  std::string real = Make("real.usr", "old\n");
  std::filesystem::create_symlink(real, dir / "link.usr");
  store.Lines() = {"new"};
  EXPECT_EQ(store.Save(dir / "link.usr"), 1);
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.usr"));
  EXPECT_EQ(ReadBytes(real), "new\n");
  EXPECT_EQ(ReadBytes(dir / "real.~usr"), "old\n");
}

TEST_F(SettingsFile, NoBackupFlagSuppressesTheCopy) {
  std::string path = Make("x.eql", "old\n");
  store.SetNoBackup(true);
  store.Reset();
  store.Lines() = {"new"};
  EXPECT_EQ(store.Save(path), 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "x.~eql"));
  store.Backup(path);
  EXPECT_FALSE(std::filesystem::exists(dir / "x.~eql"));
  store.SetNoBackup(false);
  store.Backup(path);
  EXPECT_EQ(ReadBytes(dir / "x.~eql"), "new\n");
}

TEST(BackupName, TildeGoesAfterTheDot) {
  EXPECT_EQ(BackupPath("/a/b.usr"), "/a/b.~usr");
  EXPECT_EQ(BackupPath("/a/b.x"), "/a/b.~x");
  EXPECT_EQ(BackupPath("/a/b."), "/a/b.~");
  EXPECT_EQ(BackupPath("/a.d/b"), "/a.d/b.~");
}

TEST_F(SettingsFile, ResetForgetsEverything) {
  store.Load(Make("a.sys", "[A]\nx=1\n"));
  store.SelectSection("A");
  store.Reset();
  EXPECT_TRUE(store.Lines().empty());
  EXPECT_TRUE(store.SectionLines().empty());
  EXPECT_EQ(store.FileName(), "~");
  EXPECT_EQ(store.SectionName(), "~");
  EXPECT_EQ(store.FileTime(), 0);
}

TEST_F(SettingsFile, BackslashPathsAreAccepted) {
  Make("w.sys", "[A]\nx=1\n");
  EXPECT_EQ(store.Load(dir.Path() + "\\w.sys"), 1);
  EXPECT_EQ(store.FileName(), dir / "w.sys");
}

}  // namespace
}  // namespace ploxen
