// What only a live office can do to the UNO server: a user who closes or renames behind its
// back, an office that stops answering or dies, attaching to a running office, starting one.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>

#include "ServerHarness.h"
#include "workbook/XlsObj.h"

#ifdef PLOXEN_WITH_UNO
namespace ploxen::test {
namespace {

using Clock = std::chrono::steady_clock;

/// The user's side runs in a process of its own: two connections of one process to the
/// same office share their remote objects, and the end of one breaks the other.
int AsTheUser(const std::string& pipe, const std::string& arguments) {
  std::string command = "/usr/bin/python3 " + std::string(PLOXEN_SOURCE_DIR) +
                        "/tests/workbook/contract/office_user.py " + pipe + " " + arguments;
  return std::system(command.c_str());
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
