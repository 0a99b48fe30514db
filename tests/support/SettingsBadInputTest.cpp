// Settings files that are odd or broken: they load without a crash and nothing is lost.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "StoreFixture.h"
#include "support/SectionStore.h"
#include "support/TextCodec.h"

namespace ploxen {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

using BadSettings = testing::StoreTest;

TEST_F(BadSettings, CrOnlyLineEnds) {
  ASSERT_EQ(store.Load(Make("cr.sys", "[General]\rDatabase=a.tdb\r[EXCEL]\rOleObject=X\r")), 1);
  EXPECT_EQ(store.Lines().size(), 4u);
  EXPECT_EQ(store.SelectSection("EXCEL"), 2);
  EXPECT_EQ(store.GetValue("OleObject"), "X");
}

TEST_F(BadSettings, NoSectionsAtAll) {
  ASSERT_EQ(store.Load(Make("flat.sys", "Database=a\nPrjDir=b")), 1);
  EXPECT_EQ(store.SelectSection("General"), 0);
  EXPECT_EQ(store.GetValue("Database"), "");
  EXPECT_EQ(store.SelectSection(""), 2);
  EXPECT_EQ(store.GetValue("PrjDir"), "b");
}

TEST_F(BadSettings, NulBytesDoNotCutTheFile) {
  std::string bytes("[A]\nbad=\0\0x\nk=v\n", 16);
  ASSERT_EQ(store.Load(Make("nul.sys", bytes)), 1);
  store.SelectSection("A");
  EXPECT_EQ(store.GetValue("k"), "v");
  EXPECT_EQ(store.GetValue("bad"), "x");  // control characters trim away like blanks
  std::string out = dir / "nul2.sys";
  ASSERT_EQ(store.Save(out), 1);
  EXPECT_EQ(ReadBytes(out), bytes);  // saved back unchanged
}

TEST_F(BadSettings, OneMegabyteLine) {
  std::string big(1 << 20, 'x');
  ASSERT_EQ(store.Load(Make("big.sys", "[A]\nlong=" + big + "\nk=v\n")), 1);
  store.SelectSection("A");
  EXPECT_EQ(store.GetValue("long").size(), big.size());
  EXPECT_EQ(store.GetValue("k"), "v");
}

TEST_F(BadSettings, Windows1252TextReadsAsUtf8) {
  // "°C" and "m³" in the single-byte code page
  ASSERT_EQ(store.Load(Make("cp.sys",
                            "[Units]\nT=\xB0"
                            "C\nV=m\xB3\n")),
            1);
  store.SelectSection("Units");
  EXPECT_EQ(store.GetValue("T"), "\u00B0C");
  EXPECT_EQ(store.GetValue("V"), "m\u00B3");
}

TEST_F(BadSettings, Utf8TextStaysAsItIs) {
  ASSERT_EQ(store.Load(Make("u.sys", "\xEF\xBB\xBF[Units]\nV=m\u00B3\n")), 1);
  EXPECT_EQ(store.SelectSection("Units"), 2);  // byte order mark does not hide the header
  EXPECT_EQ(store.GetValue("V"), "m\u00B3");
}

TEST(TextDecoding, RejectsMalformedUtf8) {
  EXPECT_TRUE(IsValidUtf8("plain \u00B0 \u20AC \U0001F600"));
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));      // overlong "/"
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
  EXPECT_FALSE(IsValidUtf8("ends in lead \xE2\x82"));
  EXPECT_EQ(Cp1252ToUtf8("\x80\xB0\xFF"), "\u20AC\u00B0\u00FF");
}

TEST_F(BadSettings, SaveWhereNoFolderCanBeReportsFailure) {
  std::string notAFolder = Make("plain.txt", "I am a file\n");
  store.Lines() = {"[A]", "k=v"};
  std::string target = notAFolder + "/settings.usr";  // parent is a regular file, root or not
  EXPECT_EQ(store.Save(target), -1);
  ASSERT_EQ(log.Count(), 1);
  EXPECT_EQ(log.Entries()[0].id, "E:241");
  EXPECT_EQ(log.Entries()[0].text, target + " can not be saved !");
  EXPECT_EQ(ReadBytes(notAFolder), "I am a file\n");
}

TEST_F(BadSettings, SaveOverAFolderLeavesItAlone) {
  std::string target = dir / "taken.usr";
  std::filesystem::create_directory(target);
  WriteBytes(target + "/inside", "keep");
  store.Lines() = {"[A]"};
  EXPECT_EQ(store.Save(target), -1);
  EXPECT_EQ(log.Entries()[0].text, target + " can not be saved !");
  EXPECT_EQ(ReadBytes(target + "/inside"), "keep");
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    EXPECT_EQ(entry.path().filename().string().find(".tmp~"), std::string::npos);
  }
}

TEST_F(BadSettings, FailedWriteKeepsOldFileByteIdentical) {
  // A file size limit makes writing fail for every user, root included.
  std::string old = "[History]\n  -x:/a.xlsx -c:System\n\xB0\r\n";
  std::string path = Make("ploxen.usr", old);
  store.Lines().assign(1000, std::string(100, 'n'));
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  int result = store.Save(path);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(log.Entries()[0].text, path + " can not be saved !");
  EXPECT_EQ(ReadBytes(path), old);
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);  // no temporary file left behind
}

}  // namespace
}  // namespace ploxen
