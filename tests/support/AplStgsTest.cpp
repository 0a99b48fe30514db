// Settings object: file locations, the history of recent calculations and desktop launchers.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "TempFolder.h"
#include "support/AplStgs.h"
#include "support/DesktopEntry.h"

namespace ploxen {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir / "prog/bin");
    stgs.SetProgramFolder(dir / "prog/bin/");
    stgs.SetProgramName("ploxen");
    stgs.SetHomeFolder(dir / "home");
    stgs.SetDocumentsFolder(dir / "home/Documents");
    stgs.SetDesktopFolder(dir / "home/Desktop");
  }
  TempFolder dir;
  TAplMsgWnd log;
  TAplStgsWnd stgs{log};
};

TEST_F(Settings, FilesLiveWhereTheyBelong) {
  EXPECT_EQ(stgs.AppSettingsPath(), dir / "prog/bin/Ploxen.sys");
  EXPECT_EQ(stgs.ProgramOptionsPath(), dir / "prog/bin/ploxen.ini");
  EXPECT_EQ(stgs.UserSettingsPath(), dir / "home/Documents/.Ploxen/ploxen.usr");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "home/Documents/.Ploxen"));
}

TEST_F(Settings, UserSettingsFallBackToProgramFolder) {
  WriteBytes(dir / "blocker", "a file where the documents folder should be");
  stgs.SetDocumentsFolder(dir / "blocker");
  EXPECT_EQ(stgs.UserSettingsPath(), dir / "prog/bin/ploxen.usr");
}

TEST_F(Settings, DocumentsDefaultToHomeDocuments) {
  stgs.SetDocumentsFolder("");
  if (std::getenv("XDG_DOCUMENTS_DIR")) GTEST_SKIP() << "XDG_DOCUMENTS_DIR is set here";
  // The temporary home has no user-dirs file.
  EXPECT_EQ(stgs.DocumentsFolder(), dir / "home/Documents");
}

TEST_F(Settings, UserDirsFileNamesTheDocumentsFolder) {
  if (std::getenv("XDG_DOCUMENTS_DIR") || std::getenv("XDG_DESKTOP_DIR")) {
    GTEST_SKIP() << "the environment names the folders here";
  }
  stgs.SetDocumentsFolder("");
  stgs.SetDesktopFolder("");
  std::filesystem::create_directories(dir / "home/.config");
  WriteBytes(dir / "home/.config/user-dirs.dirs",
             "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
  EXPECT_EQ(stgs.DocumentsFolder(), dir / "home/Dokumente");
  EXPECT_EQ(stgs.DesktopFolder(), dir / "home/Desktop");
  EXPECT_EQ(stgs.UserSettingsPath(), dir / "home/Dokumente/.Ploxen/ploxen.usr");
}

TEST_F(Settings, AddRecentPutsEntryOnTopOnce) {
  stgs.AddRecent("-x:a -c:S");
  stgs.AddRecent("-x:b -c:S");
  stgs.AddRecent("-x:a -c:S");
  std::vector<std::string> expected = {"-x:a -c:S", "-x:b -c:S"};
  EXPECT_EQ(stgs.Recent(), expected);
  stgs.AddRecent("-x:A -c:S");  // case-sensitive: a new entry
  EXPECT_EQ(stgs.Recent().size(), 3u);
}

TEST_F(Settings, MenuShowsUpToEightEntries) {
  int refreshed = 0;
  stgs.onRecentChanged = [&] { ++refreshed; };
  stgs.AddRecent("*");
  EXPECT_EQ(refreshed, 1);
  EXPECT_FALSE(stgs.RecentMenuState().visible);
  for (int i = 0; i < 3; ++i) stgs.AddRecent("-x:" + std::to_string(i));
  const RecentMenu& menu = stgs.RecentMenuState();
  EXPECT_TRUE(menu.visible);
  EXPECT_TRUE(menu.itemVisible[2]);
  EXPECT_FALSE(menu.itemVisible[3]);
  EXPECT_EQ(menu.caption[0], "-x:2");
  for (int i = 3; i < 12; ++i) stgs.AddRecent("-x:" + std::to_string(i));
  EXPECT_TRUE(stgs.RecentMenuState().itemVisible[7]);
  EXPECT_EQ(stgs.RecentMenuState().caption[7], "-x:4");
  stgs.RemoveRecent(0);
  EXPECT_EQ(stgs.RecentMenuState().caption[0], "-x:10");
  stgs.RemoveRecent(99);  // outside the list: only refreshes
  EXPECT_EQ(stgs.Recent().size(), 11u);
}

TEST_F(Settings, HistoryRoundTripKeepsOtherSectionsAndBacksUp) {
  std::string usr = stgs.UserSettingsPath();
  WriteBytes(usr, "[MainWnd]\nMsgFilter=6\n[History]\nold entry\n");
  stgs.LoadHistory();
  ASSERT_EQ(stgs.Recent().size(), 1u);
  EXPECT_EQ(stgs.Recent()[0], dir / "prog/bin/old entry");
  stgs.AddRecent(dir / "prog/bin/&sub/book.xlsx");
  stgs.AddRecent("-x:/elsewhere/b.xlsx -c:S");
  stgs.AddRecent(dir / "prog/data/c.xlsx");
  EXPECT_EQ(stgs.SaveHistory(), 1);
  std::string expected =
      "[MainWnd]\nMsgFilter=6\n[History]\n  ../data/c.xlsx\n  -x:/elsewhere/b.xlsx -c:S\n"
      "  sub/book.xlsx\n  old entry\n";
  EXPECT_EQ(ReadBytes(usr), expected);
  EXPECT_EQ(ReadBytes(dir / "home/Documents/.Ploxen/ploxen.~usr"),
            "[MainWnd]\nMsgFilter=6\n[History]\nold entry\n");

  TAplStgsWnd again(log);
  again.SetProgramFolder(dir / "prog/bin");
  again.SetProgramName("ploxen");
  again.SetDocumentsFolder(dir / "home/Documents");
  again.LoadHistory();
  std::vector<std::string> back = {dir / "prog/data/c.xlsx", "-x:/elsewhere/b.xlsx -c:S",
                                   dir / "prog/bin/sub/book.xlsx", dir / "prog/bin/old entry"};
  EXPECT_EQ(again.Recent(), back);
}

TEST_F(Settings, HistoryWritesAtMost32Entries) {
  for (int i = 0; i < 40; ++i) stgs.AddRecent("-x:book" + std::to_string(i));
  ASSERT_EQ(stgs.SaveHistory(), 1);
  stgs.Reset();
  ASSERT_EQ(stgs.Load(stgs.UserSettingsPath()), 1);
  EXPECT_EQ(stgs.SelectSection("History"), 33);
  EXPECT_EQ(stgs.Store().SectionLines()[1], "  -x:book39");
  EXPECT_EQ(stgs.Store().SectionLines()[32], "  -x:book8");
}

TEST_F(Settings, EmptyHistoryWithoutUserFile) {
  stgs.Store().Lines() = {"[History]", "from another file"};
  stgs.LoadHistory();
  EXPECT_TRUE(stgs.Recent().empty());
  EXPECT_FALSE(stgs.RecentMenuState().visible);
}

TEST_F(Settings, UnreadableUserFileIsNotOverwritten) {
  std::string usr = stgs.UserSettingsPath();
  std::filesystem::create_directory(usr);  // a folder in place of the file
  stgs.AddRecent("-x:a");
  EXPECT_EQ(stgs.SaveHistory(), -1);
  EXPECT_EQ(log.Entries()[0].text, usr + " can not be open !");
  EXPECT_TRUE(std::filesystem::is_directory(usr));
}

TEST_F(Settings, RelativeEntriesAgainstProgramFolder) {
  EXPECT_EQ(stgs.RelativeEntry(dir / "prog/bin/x.xlsx"), "x.xlsx");
  EXPECT_EQ(stgs.RelativeEntry(dir / "prog/binary/x"), "../binary/x");
  EXPECT_EQ(stgs.RelativeEntry("-x:/a -c:S"), "-x:/a -c:S");
  EXPECT_EQ(stgs.ExpandEntry("../binary/x"), dir / "prog/binary/x");
  EXPECT_EQ(stgs.ExpandEntry("C:\\book.xls"), "C:\\book.xls");
}

TEST_F(Settings, ShortcutInGivenFolder) {
  ASSERT_TRUE(stgs.CreateShortcut("/opt/ploxen/ploxen", dir / "links\\sub", 0, "/opt/ploxen",
                                  " -x:/w/My Book.xlsx -c:System", "EquilibriumMy Book"));
  std::string path = dir / "links/sub/EquilibriumMy Book.desktop";
  std::string text = ReadBytes(path);
  EXPECT_NE(text.find("[Desktop Entry]\n"), std::string::npos);
  EXPECT_NE(text.find("\nExec=\"/opt/ploxen/ploxen\" \"-x:/w/My Book.xlsx -c:System\"\n"),
            std::string::npos);
  EXPECT_NE(text.find("\nPath=/opt/ploxen\n"), std::string::npos);
  EXPECT_NE(text.find("\nName=EquilibriumMy Book\n"), std::string::npos);
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IXUSR);
}

TEST_F(Settings, ShortcutOnDesktopWithoutArguments) {
  ASSERT_TRUE(stgs.CreateShortcut("/p/ploxen", "Ploxen", 16, "/p", "", "Start"));
  std::string text = ReadBytes(dir / "home/Desktop/Ploxen/Start.desktop");
  EXPECT_NE(text.find("\nExec=\"/p/ploxen\"\n"), std::string::npos);
}

TEST_F(Settings, ShortcutFailsWhenFolderCannotExist) {
  WriteBytes(dir / "file", "x");
  EXPECT_FALSE(stgs.CreateShortcut("/p/ploxen", dir / "file/sub", 0, "/p", "", "L"));
}

TEST(DesktopEntryQuoting, ReservedCharactersAreEscaped) {
  EXPECT_EQ(DesktopExecArgument("a \"b\" $c `d` \\e 100%"),
            "\"a \\\"b\\\" \\$c \\`d\\` \\\\e 100%%\"");
  EXPECT_EQ(DesktopValue("a\\b\nc"), "a\\\\b\\nc");
}

}  // namespace
}  // namespace ploxen
