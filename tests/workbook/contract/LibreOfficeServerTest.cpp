// What only a live office can do to the UNO server: a user who closes or renames behind its
// back, an office that stops answering, refuses the connection or dies, a profile held by
// another run, attaching to a running office, starting one.
#include <gtest/gtest.h>

#include <signal.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "ServerHarness.h"
#include "workbook/XlsObj.h"

#ifdef PLOXEN_WITH_UNO
namespace ploxen::test {
namespace {

using Clock = std::chrono::steady_clock;

/// Waits until every thread of `pid` is stopped: kill(SIGSTOP) returns before a thread that is
/// running on the other core has stopped, and such a thread could still answer a call.
bool WaitUntilStopped(pid_t pid) {
  const fs::path tasks = "/proc/" + std::to_string(pid) + "/task";
  for (int attempt = 0; attempt < 200; ++attempt) {
    bool all = true;
    std::error_code ec;
    for (const auto& task : fs::directory_iterator(tasks, ec)) {
      std::ifstream in(task.path() / "stat");
      std::string stat;
      std::getline(in, stat);
      const std::size_t close = stat.rfind(')');
      if (close == std::string::npos || close + 2 >= stat.size() || stat[close + 2] != 'T')
        all = false;
    }
    if (!ec && all) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

class LibreOfficeServer : public ::testing::Test {
 protected:
  void SetUp() override {
    office = FindSharedOffice();
    if (!office.missing.empty()) GTEST_SKIP() << "LibreOffice tests skipped: " << office.missing;
    dir = ScratchFolder("lo");
  }
  void TearDown() override {
    if (ours && book) ours->CloseBook(book);
    if (!dir.empty()) fs::remove_all(dir);
  }
  void ConnectOurs() {
    std::string error;
    ours = UnoServer::Connect(log, office.pipe, error);
    ASSERT_TRUE(ours) << error;
  }
  /// A book saved under a file name of its own, so the user's side can find it.
  void SavedBook(std::string& file) {
    file = "U" + std::to_string(::getpid()) + ".xlsx";
    ASSERT_TRUE(ours->AddBook("", book)) << ours->LastErrorText();
    ASSERT_TRUE(ours->SaveBookAs(book, (dir / file).string())) << ours->LastErrorText();
  }

  SharedOffice office;
  TAplMsgWnd log;
  std::shared_ptr<UnoServer> ours;
  BookHandle book = 0;
  fs::path dir;
};

TEST_F(LibreOfficeServer, ADocumentTheUserClosesIsRefusedNotUsed) {
  ConnectOurs();
  std::string file;
  SavedBook(file);
  SheetHandle sheet = 0;
  ASSERT_TRUE(ours->SheetItem(book, 1, sheet));
  ASSERT_EQ(AsTheUser(office.pipe, "close " + file), 0);
  std::string name;
  EXPECT_FALSE(ours->BookName(book, name));
  EXPECT_EQ(ours->LastError(), ServerError::kNoBook);
  EXPECT_FALSE(ours->SetCellValue(sheet, 1, 1, "1"));
  EXPECT_TRUE(ours->Connected()) << "a closed document is not a lost connection";
  book = 0;
}

TEST_F(LibreOfficeServer, ASheetRenamedByTheUserKeepsItsHandle) {
  ConnectOurs();
  std::string file;
  SavedBook(file);
  SheetHandle mine = 0;
  ASSERT_TRUE(ours->SheetItem(book, 1, mine));
  ASSERT_EQ(AsTheUser(office.pipe, "rename " + file + " 0 System"), 0);
  std::string name;
  ASSERT_TRUE(ours->SheetName(mine, name));
  EXPECT_EQ(name, "System");
  ASSERT_TRUE(ours->SetCellValue(mine, 1, 1, "42"));
  std::string text;
  ASSERT_TRUE(ours->CellValue(mine, 1, 1, text));
  EXPECT_EQ(text, "42");
}

TEST_F(LibreOfficeServer, AnOfficeThatStopsAnsweringEndsTheCallAndALaterCallReconnects) {
  ConnectOurs();
  pid_t pid = office.Pid();
  ASSERT_GT(pid, 0);
  ours->SetCallTimeout(500);
  ASSERT_EQ(::kill(pid, SIGSTOP), 0);
  if (!WaitUntilStopped(pid)) {
    ::kill(pid, SIGCONT);
    FAIL() << "the office did not stop";
  }
  auto start = Clock::now();
  int count = 0;
  bool answered = ours->BookCount(count);
  auto waited = Clock::now() - start;
  ::kill(pid, SIGCONT);
  EXPECT_FALSE(answered);
  EXPECT_LT(waited, std::chrono::seconds(3));
  EXPECT_TRUE(PostedNumber(log, kMsgUnoNoAnswer));
  EXPECT_FALSE(ours->Connected());
  ours->SetCallTimeout(kUnoCallTimeoutMs);
  EXPECT_TRUE(ours->BookCount(count)) << ours->LastErrorText();
  EXPECT_TRUE(PostedNumber(log, kMsgUnoReconnected));
}

TEST_F(LibreOfficeServer, AKilledOfficeGivesAMessageAndNoHang) {
  std::string error;
  const std::string pipe = "ploxentest_kill_" + std::to_string(::getpid());
  auto process = OfficeProcess::StartHeadless((dir / "profile").string(), pipe, 90'000, error);
  ASSERT_TRUE(process) << error;
  TAplMsgWnd ownLog;
  auto server = UnoServer::Connect(ownLog, pipe, error);
  ASSERT_TRUE(server) << error;
  BookHandle b = 0;
  ASSERT_TRUE(server->AddBook("", b));
  ::kill(process->Pid(), SIGKILL);
  process->Stop(5000);
  auto start = Clock::now();
  std::string name;
  EXPECT_FALSE(server->BookName(b, name));
  EXPECT_TRUE(PostedNumber(ownLog, kMsgUnoLost) || PostedNumber(ownLog, kMsgUnoNoAnswer));
  int count = 0;
  EXPECT_FALSE(server->BookCount(count)) << "nothing to reconnect to";
  EXPECT_EQ(server->LastError(), ServerError::kRefused);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
}

/// A Unix socket on the path of a UNO pipe; with `listen` it accepts connections and hangs
/// up at once, without it nobody listens behind the file (an office that ended uncleanly).
class RefusingPipe {
 public:
  RefusingPipe(const std::string& pipe, bool listen) : path_(UnoPipePath(pipe)) {
    fd_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path_.c_str(), sizeof address.sun_path - 1);
    ::unlink(path_.c_str());
    ok_ = fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (ok_ && listen) {
      ok_ = ::listen(fd_, 4) == 0;
      hangUp_ = std::thread([this] {
        for (int client; (client = ::accept(fd_, nullptr, nullptr)) >= 0;) ::close(client);
      });
    }
  }
  ~RefusingPipe() {
    ::shutdown(fd_, SHUT_RDWR);
    ::close(fd_);
    if (hangUp_.joinable()) hangUp_.join();
    ::unlink(path_.c_str());
  }
  bool Ok() const { return ok_; }

 private:
  std::string path_;
  int fd_ = -1;
  bool ok_ = false;
  std::thread hangUp_;
};

TEST_F(LibreOfficeServer, AnOfficeThatRefusesTheConnectionGivesAReasonAndNoHang) {
  for (bool listening : {false, true}) {
    SCOPED_TRACE(listening ? "hangs up at once" : "nobody behind the pipe file");
    const std::string pipe = "ploxentest_refuse_" + std::to_string(::getpid());
    RefusingPipe refusing(pipe, listening);
    ASSERT_TRUE(refusing.Ok());
    auto start = Clock::now();
    std::string error;
    EXPECT_EQ(UnoServer::Connect(log, pipe, error), nullptr);
    EXPECT_NE(error.find(pipe), std::string::npos) << error;
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
  }
  ConnectOurs();
  int count = 0;
  EXPECT_TRUE(ours->BookCount(count)) << "the real office still answers";
}

TEST_F(LibreOfficeServer, AProfileInUseIsRefusedAndAStartTakesAProfileOfItsOwn) {
  // Another run of the program holds the private profile (its lock file).
  const char* cache = std::getenv("XDG_CACHE_HOME");
  const std::string oldCache = cache ? cache : "";
  ::setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
  const std::string profile = PrivateOfficeProfile();
  fs::create_directories(profile);
  int held = ::open((profile + ".lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
  ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
  std::string error;
  EXPECT_EQ(OfficeProcess::StartHeadless(profile, "ploxentest_inuse", 5'000, error), nullptr);
  EXPECT_NE(error.find("is in use"), std::string::npos) << error;
  UnoServerFactory factory(log);
  factory.forceHeadless = true;
  std::shared_ptr<SpreadsheetServer> started = factory.Start("LibreOffice");
  ASSERT_TRUE(started) << "a start falls back to a profile of its own";
  BookHandle b = 0;
  EXPECT_TRUE(started->AddBook("", b)) << started->LastErrorText();
  EXPECT_TRUE(started->Quit());
  EXPECT_FALSE(fs::exists(profile + "-" + std::to_string(::getpid())))
      << "the stand-in profile is removed with its office";
  EXPECT_TRUE(fs::exists(profile)) << "the held profile is left alone";
  ::close(held);
  if (oldCache.empty())
    ::unsetenv("XDG_CACHE_HOME");
  else
    ::setenv("XDG_CACHE_HOME", oldCache.c_str(), 1);
}

TEST_F(LibreOfficeServer, AttachingFindsTheRunningOfficeAndStartsNone) {
  RunningOffice running;
  ASSERT_TRUE(FindUserOffice(running));
  if (running.pid != office.Pid()) GTEST_SKIP() << "another office of this user runs first";
  UnoServerFactory factory(log);
  factory.attachPipe = "ploxentest_attach_" + std::to_string(::getpid());
  EXPECT_EQ(factory.Attach("Excel.Application"), nullptr);
  std::shared_ptr<SpreadsheetServer> attached = factory.Attach("LibreOffice");
  ASSERT_TRUE(attached);
  EXPECT_EQ(factory.Attach("libreoffice"), attached) << "one connection per office";
  std::string version;
  EXPECT_TRUE(attached->Version(version));
  EXPECT_FALSE(version.empty());
  BookHandle b = 0;
  int count = 0;
  ASSERT_TRUE(attached->AddBook("", b));
  ASSERT_TRUE(attached->BookCount(count));
  EXPECT_GE(count, 1);
  ASSERT_TRUE(attached->CloseBook(b));
  ASSERT_TRUE(attached->Quit()) << "letting go of an attached office";
  attached.reset();
  RunningOffice after;
  ASSERT_TRUE(FindUserOffice(after));
  EXPECT_EQ(after.pid, running.pid) << "quitting an attached office leaves it running";
  ConnectOurs();
}

TEST_F(LibreOfficeServer, AStartedOfficeIsQuitWithTheServer) {
  UnoServerFactory factory(log);
  factory.forceHeadless = true;
  std::shared_ptr<SpreadsheetServer> started = factory.Start("com.sun.star.ServiceManager");
  ASSERT_TRUE(started);
  EXPECT_EQ(factory.Attach("LibreOffice"), started) << "the office started here is found again";
  BookHandle b = 0;
  ASSERT_TRUE(started->AddBook("", b));
  EXPECT_TRUE(started->SetVisible(true)) << "headless: showing is a no-op, not a crash";
  ASSERT_TRUE(started->Quit());
  std::string error;
  const std::string pipe = UserOfficePipe() + "_" + std::to_string(::getpid());
  EXPECT_EQ(UnoServer::Connect(log, pipe, error), nullptr) << "the office is gone";
}

}  // namespace
}  // namespace ploxen::test
#endif
