// Servers under test: the embedded engine, or the shared private LibreOffice of the test run.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "support/AplMsg.h"
#include "workbook/EmbeddedServer.h"
#include "workbook/OfficeProcess.h"
#ifdef PLOXEN_WITH_UNO
#include "workbook/UnoServer.h"
#endif

namespace ploxen::test {

namespace fs = std::filesystem;

/// The shared office: its pipe and the file holding its pid, from PLOXEN_TEST_OFFICE.
struct SharedOffice {
  std::string pipe;
  std::string pidFile;
  /// Why no office can be used; empty when it can.
  std::string missing;
  pid_t Pid() const {
    std::ifstream in(pidFile);
    long pid = 0;
    in >> pid;
    return static_cast<pid_t>(pid);
  }
};

inline SharedOffice FindSharedOffice() {
  SharedOffice office;
#ifndef PLOXEN_WITH_UNO
  office.missing = "this build has no UNO server (PLOXEN_UNO=OFF or no LibreOffice SDK)";
  return office;
#else
  const char* variable = std::getenv("PLOXEN_TEST_OFFICE");
  std::string s = variable ? variable : "";
  std::size_t colon = s.find(':');
  if (colon == std::string::npos) {
    office.missing = "PLOXEN_TEST_OFFICE is not set (run the tests through CTest)";
  } else if (!OfficeInstalled()) {
    office.missing = "LibreOffice is not installed";
  } else {
    office.pipe = s.substr(0, colon);
    office.pidFile = s.substr(colon + 1);
  }
  return office;
#endif
}

/// Why the end-to-end tests cannot use the shared office ("" when they can): none is there, or
/// another office of this user runs first and would be the one the program attaches to.
inline std::string SharedOfficeUnusable(const SharedOffice& office) {
  if (!office.missing.empty()) return "LibreOffice tests skipped: " + office.missing;
#ifdef PLOXEN_WITH_UNO
  RunningOffice running;
  if (!FindUserOffice(running) || running.pid != office.Pid())
    return "another office of this user runs first";
#endif
  return "";
}

/// A scratch folder per test, removed afterwards.
inline fs::path ScratchFolder(const std::string& tag) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "_" + info->name();
  for (char& c : name)
    if (c == '/') c = '_';
  fs::path dir = fs::temp_directory_path() /
                 ("ploxen_" + tag + "_" + std::to_string(::getpid()) + "_" + name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

/// Hands out one given server, as if it were the running application.
class FixedFactory : public SpreadsheetServerFactory {
 public:
  explicit FixedFactory(std::shared_ptr<SpreadsheetServer> server) : server_(std::move(server)) {}
  std::shared_ptr<SpreadsheetServer> Attach(const std::string&) override { return server_; }
  std::shared_ptr<SpreadsheetServer> Start(const std::string&) override { return server_; }

 private:
  std::shared_ptr<SpreadsheetServer> server_;
};

/// Plays the user of the office from a process of its own (office_user.py): two connections
/// of one process to the same office share their remote objects, and the end of one breaks the
/// other. The helper's exit code: 0 when it did what was asked. The Python UNO runtime has
/// crashed now and then under load (a segmentation fault of the helper, not of the office):
/// such a crash is tried once more.
inline int AsTheUser(const std::string& pipe, const std::string& arguments) {
  std::string command = "/usr/bin/python3 " + std::string(PLOXEN_SOURCE_DIR) +
                        "/tests/workbook/contract/office_user.py " + pipe + " " + arguments;
  int status = std::system(command.c_str());
  const bool crashed =
      WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) >= 128);
  if (crashed) status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

inline bool PostedNumber(const TAplMsgWnd& log, int number) {
  for (const LogEntry& e : log.Entries())
    if (e.number == number) return true;
  return false;
}

}  // namespace ploxen::test
