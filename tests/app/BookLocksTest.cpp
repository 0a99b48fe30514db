// The desktop's own lock beside a book with unsaved results, and a save that finds the book
// open in LibreOffice.
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "AppFixture.h"
#include "app/BookFiles.h"
#include "workbook/LockFile.h"

namespace ploxen::test {
namespace {

/// A process named like LibreOffice's (a copy of sleep), so a lock that names it counts as live.
class FakeOffice {
 public:
  explicit FakeOffice(const fs::path& folder) {
    const fs::path program = folder / "soffice.bin";
    fs::copy_file("/bin/sleep", program, fs::copy_options::overwrite_existing);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::execl(program.c_str(), "soffice.bin", "60", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    // Until the child has become soffice.bin, /proc shows the test program's name.
    for (int i = 0; i < 200 && Command() != "soffice.bin"; ++i) ::usleep(5000);
  }
  ~FakeOffice() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  std::string Command() const {
    std::ifstream in("/proc/" + std::to_string(pid_) + "/comm");
    std::string name;
    std::getline(in, name);
    return name;
  }

 private:
  pid_t pid_ = -1;
};

class BookLocks : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    p = Start({});
    files = std::make_unique<TBookFiles>(p->log, p->xls, p->dialogs);
    path = Example("Process");
    ASSERT_GT(files->Open(path), 0);
  }
  /// A result of ours in the book, then what the desktop does after every command.
  void Calculate(const std::string& text) {
    p->xls.WriteCell(1, 3, text, 2);
    files->KeepLocks();
  }
  /// The lock LibreOffice writes beside a book it holds open, by the user running the tests,
  /// on `host` (this one when empty).
  void LockLikeLibreOffice(std::string host = {}) {
    if (host.empty()) {
      char name[256] = {};
      ::gethostname(name, sizeof name - 1);
      host = name;
    }
    const passwd* user = ::getpwuid(::geteuid());
    std::ofstream(LockFilePath(path)) << "Some One," << (user ? user->pw_name : "") << "," << host
                                      << ",09.12.2026 10:00,file:///home/u/.config/libreoffice/4;";
  }

  std::unique_ptr<TPloxen> p;
  std::unique_ptr<TBookFiles> files;
  std::string path;
};

TEST_F(BookLocks, UnsavedResultsKeepALockInLibreOfficesFormatUntilTheSave) {
  files->KeepLocks();
  EXPECT_EQ(CheckLock(path), LockState::kNone);  // nothing unsaved: no lock
  Calculate("result");
  LockInfo info;
  ASSERT_EQ(CheckLock(path, &info), LockState::kOwn);
  EXPECT_FALSE(info.user.empty());
  EXPECT_FALSE(info.host.empty());
  EXPECT_EQ(info.time.size(), 16u);  // "dd.mm.yyyy hh:mm"
  EXPECT_EQ(files->HeldLocks().count(path), 1u);
  const std::string text = FileBytes(LockFilePath(path));
  EXPECT_EQ(text.back(), ';');
  EXPECT_EQ(std::count(text.begin(), text.end(), ','), 4);

  EXPECT_EQ(files->SaveCurrent(), 1);  // our own lock does not stop our save
  EXPECT_EQ(CheckLock(path), LockState::kNone);
  EXPECT_TRUE(files->HeldLocks().empty());
  EXPECT_EQ(SavedBook(path).Cell("System", 3, 2), "result");
}

TEST_F(BookLocks, AnotherProcessSeesOurLockAsLive) {
  Calculate("result");
  const pid_t child = ::fork();
  if (child == 0) ::_exit(CheckLock(path) == LockState::kLive ? 0 : 1);
  int status = -1;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(BookLocks, ClosingWithoutSavingAndTheProgramsEndRemoveTheLock) {
  Calculate("dropped");
  ASSERT_EQ(CheckLock(path), LockState::kOwn);
  p->dialogs.QueueAnswer(kAnswerNo);  // do not save
  const std::string before = FileBytes(path);
  EXPECT_EQ(files->CloseCurrent(), 1);
  EXPECT_EQ(CheckLock(path), LockState::kNone);
  EXPECT_EQ(FileBytes(path), before);

  ASSERT_GT(files->Open(path), 0);
  Calculate("still unsaved");
  ASSERT_EQ(CheckLock(path), LockState::kOwn);
  files.reset();  // the program ends
  EXPECT_FALSE(fs::exists(LockFilePath(path)));
}

TEST_F(BookLocks, ALockThatCannotBeWrittenIsReportedOnceAndTheResultsStay) {
  // A folder where the lock file should be: no program, root included, can write it.
  fs::create_directories(LockFilePath(path));
  Calculate("result");
  EXPECT_TRUE(Posted(*p, 2164));
  const size_t posted = p->log.Entries().size();
  files->KeepLocks();
  EXPECT_EQ(p->log.Entries().size(), posted);
  EXPECT_TRUE(files->CurrentModified());
  EXPECT_TRUE(files->HeldLocks().empty());
}

TEST_F(BookLocks, ABookOpenInLibreOfficeIsNotWrittenAndTheUserChoosesWhatFollows) {
  FakeOffice office(dir);
  ASSERT_EQ(office.Command(), "soffice.bin");
  LockLikeLibreOffice();
  ASSERT_EQ(CheckLock(path), LockState::kLive);
  Calculate("result");
  EXPECT_TRUE(Posted(*p, 2164));  // no lock of ours beside the office's
  const std::string before = FileBytes(path);

  // No answer queued: the cautious "No" keeps the results in the program.
  EXPECT_EQ(files->SaveCurrent(), TBookFiles::kKeptUnsaved);
  EXPECT_EQ(FileBytes(path), before);
  EXPECT_TRUE(files->CurrentModified());
  EXPECT_EQ(p->xls.ReadCell(1, 3, 2), "result");
  EXPECT_TRUE(Posted(*p, 2163));
  ASSERT_FALSE(p->dialogs.Requests().empty());
  const DialogRequest& asked = p->dialogs.Requests().back();
  if (ServerSelector::HasLibreOffice()) {
    EXPECT_EQ(asked.kind, DialogRequest::kQuestion);
    EXPECT_NE(asked.text.find("live LibreOffice connection"), std::string::npos);
    p->dialogs.QueueAnswer(kAnswerYes);
    EXPECT_EQ(files->SaveCurrent(), TBookFiles::kUseLiveConnection);
    EXPECT_EQ(FileBytes(path), before);
  } else {
    EXPECT_EQ(asked.kind, DialogRequest::kMessage);
  }

  // Closing the program: saving fails the same way, so the program stays open.
  p->dialogs.QueueAnswer(kAnswerYes);
  p->dialogs.QueueAnswer(kAnswerNo);
  EXPECT_FALSE(files->CloseAllowed());
  EXPECT_EQ(FileBytes(path), before);
  EXPECT_TRUE(files->CurrentModified());
}

TEST_F(BookLocks, AnOldLockOfLibreOfficeDoesNotStopTheSave) {
  LockLikeLibreOffice("elsewhere.example");  // left by an office on another host
  ASSERT_EQ(CheckLock(path), LockState::kStale);
  Calculate("result");
  EXPECT_EQ(CheckLock(path), LockState::kOwn);  // ours replaces the stale one
  EXPECT_EQ(files->SaveCurrent(), 1);
  EXPECT_EQ(SavedBook(path).Cell("System", 3, 2), "result");
  EXPECT_FALSE(fs::exists(LockFilePath(path)));
}

}  // namespace
}  // namespace ploxen::test
