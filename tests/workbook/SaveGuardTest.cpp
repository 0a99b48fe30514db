// What a save must not overwrite: files without write permission, books another program
// holds open; and what it keeps of the file it replaces: mode, symbolic links.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "ScratchBooks.h"
#include "support/AplMsg.h"
#include "workbook/EmbeddedServer.h"
#include "workbook/LockFile.h"

namespace ploxen {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::kWorkbookData;
const std::string& kData = kWorkbookData;

std::string Host() {
  char buf[256] = {};
  ::gethostname(buf, sizeof buf - 1);
  return buf;
}

class SaveGuard : public test::ScratchBooks {
 protected:
  /// Opens a copy of a fixture and changes a cell, so that a save has something to write.
  BookHandle OpenChanged(const std::string& name, const fs::path& path) {
    if (!fs::exists(path)) fs::copy_file(kData + name, path);
    BookHandle book = 0;
    SheetHandle sheet = 0;
    EXPECT_TRUE(server.OpenBook(path.string(), false, book)) << server.LastErrorText();
    EXPECT_TRUE(server.SheetItem(book, 1, sheet));
    EXPECT_TRUE(server.SetCellValue(sheet, 2, 2, "1500"));
    return book;
  }
  void WriteLock(const fs::path& book, const std::string& fields) {
    std::ofstream(LockFilePath(book.string())) << fields;
  }
};

TEST_F(SaveGuard, AFileWithoutWritePermissionIsNotReplaced) {
  for (const char* name : {"Rich.xlsx", "Rich.ods"}) {
    fs::path path = dir / name;
    fs::copy_file(kData + name, path);
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    std::string before = Bytes(path);
    BookHandle book = OpenChanged(name, path);
    EXPECT_FALSE(server.SaveBook(book));
    EXPECT_EQ(server.LastError(), ServerError::kFileError);
    EXPECT_NE(server.LastErrorText().find(path.string()), std::string::npos);
    EXPECT_NE(server.LastErrorText().find("read-only"), std::string::npos);
    EXPECT_EQ(Bytes(path), before) << name;
  }
}

TEST_F(SaveGuard, TheSavedFileKeepsItsModeAndASymbolicLinkStaysALink) {
  fs::create_directories(dir / "real");
  fs::path target = dir / "real" / "Book.xlsx", link = dir / "Book.xlsx";
  fs::copy_file(kData + "Rich.xlsx", target);
  ::chmod(target.c_str(), 0640);
  fs::create_symlink(fs::path("real") / "Book.xlsx", link);
  BookHandle book = OpenChanged("Rich.xlsx", link);
  ASSERT_TRUE(server.SaveBook(book)) << server.LastErrorText();
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_NE(Bytes(target), Bytes(kData + "Rich.xlsx"));
  EXPECT_FALSE(fs::exists(dir / "real" / "Book.xlsx.tmp~"));
}

TEST_F(SaveGuard, ABookHeldOpenByAnotherProgramIsNotOverwritten) {
  fs::path path = dir / "Rich.xlsx";
  BookHandle book = OpenChanged("Rich.xlsx", path);
  std::string before = Bytes(path);
  // Our parent process (the test runner) stands in for the program holding the book.
  WriteLock(path, ",tester," + Host() + ",09.12.2026 00:10,ploxen-mizzolith:pid=" +
                      std::to_string(::getppid()) + ";");
  LockInfo info;
  EXPECT_EQ(CheckLock(path.string(), &info), LockState::kLive);
  EXPECT_FALSE(server.SaveBook(book));
  EXPECT_NE(server.LastErrorText().find("open in another program (tester on " + Host()),
            std::string::npos)
      << server.LastErrorText();
  EXPECT_NE(server.LastErrorText().find("close it there"), std::string::npos);
  EXPECT_EQ(Bytes(path), before);
}

TEST_F(SaveGuard, StaleLocksAreIgnoredWithAMessage) {
  fs::path path = dir / "Rich.ods";
  BookHandle book = OpenChanged("Rich.ods", path);
  // Another host, and a LibreOffice lock of a user with no LibreOffice running.
  for (std::string fields :
       {std::string(",someone,elsewhere.example,01.01.2026 10:00,file:///home/x;"),
        "Ann,nosuchuser" + std::to_string(::getpid()) + "," + Host() +
            ",01.01.2026 10:00,file:///home/x;"}) {
    WriteLock(path, fields);
    EXPECT_EQ(CheckLock(path.string()), LockState::kStale) << fields;
    log.Clear();
    ASSERT_TRUE(server.SaveBook(book)) << server.LastErrorText();
    bool told = false;
    for (const LogEntry& e : log.Entries())
      told =
          told || (e.level == kMsgInformation && e.text.find("old lock file") != std::string::npos);
    EXPECT_TRUE(told) << fields;
  }
}

TEST_F(SaveGuard, OwnLockIsWrittenInTheSharedFormatAndRemovedOnlyWhenOurs) {
  fs::path path = dir / "Rich.xlsx";
  BookHandle book = OpenChanged("Rich.xlsx", path);
  std::string error;
  ASSERT_TRUE(CreateOwnLock(path.string(), error)) << error;
  LockInfo info;
  EXPECT_EQ(CheckLock(path.string(), &info), LockState::kOwn);
  EXPECT_EQ(info.author, "Ploxen Mizzolith");
  EXPECT_EQ(info.host, Host());
  EXPECT_EQ(info.time.size(), 16u);  // dd.mm.yyyy hh:mm
  std::string text = Bytes(LockFilePath(path.string()));
  EXPECT_EQ(std::count(text.begin(), text.end(), ','), 4);
  EXPECT_EQ(text.back(), ';');
  EXPECT_TRUE(server.SaveBook(book)) << "our own lock does not stop our save";
  EXPECT_TRUE(RemoveOwnLock(path.string()));
  EXPECT_EQ(CheckLock(path.string()), LockState::kNone);
  // A lock of someone else stays.
  WriteLock(path, ",someone,elsewhere.example,01.01.2026 10:00,file:///home/x;");
  EXPECT_TRUE(RemoveOwnLock(path.string()));
  EXPECT_TRUE(fs::exists(LockFilePath(path.string())));
  // A live lock of another program is not taken over.
  WriteLock(path, ",tester," + Host() + ",09.12.2026 00:10,ploxen-mizzolith:pid=" +
                      std::to_string(::getppid()) + ";");
  EXPECT_FALSE(CreateOwnLock(path.string(), error));
}

}  // namespace
}  // namespace ploxen
