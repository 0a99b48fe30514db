// Finding, asking to listen and starting LibreOffice for the UNO server.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "support/AplMsg.h"
#include "workbook/OfficeProcess.h"
#include "workbook/UnoServer.h"

namespace ploxen {

namespace {

/// Connects to `pipe`, trying again for up to `waitMs` while the office opens it.
std::shared_ptr<UnoServer> ConnectWithin(TAplMsgWnd& log, const std::string& pipe, int waitMs,
                                         std::string& error) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    if (auto server = UnoServer::Connect(log, pipe, error)) return server;
    if (std::chrono::steady_clock::now() >= deadline) return nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

bool HasDisplay() {
  const char* x = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x && *x) || (wayland && *wayland);
}

}  // namespace

std::shared_ptr<SpreadsheetServer> UnoServerFactory::Attach(const std::string& progId) {
  if (!IsLibreOfficeProgId(progId)) return nullptr;
  if (auto mine = started_.lock(); mine && mine->Connected()) return mine;
  // One connection per office and process: two would share the office's objects, and the
  // end of one would break the other.
  if (auto known = attached_.lock(); known && known->Connected()) return known;
  RunningOffice office;
  if (!FindUserOffice(office)) return nullptr;  // attaching never starts an office
  const std::string pipe = attachPipe.empty() ? UserOfficePipe() : attachPipe;
  std::string error;
  std::shared_ptr<UnoServer> server = UnoServer::Connect(log_, pipe, error);
  if (!server && MakeOfficeListen(office, pipe, 10'000, error))
    server = ConnectWithin(log_, pipe, 5'000, error);
  if (!server) {
    log_.Post(kMsgInformation, kMsgUnoNotStarted, "LibreOffice runs but does not answer: " + error);
    return nullptr;
  }
  attached_ = server;
  return server;
}

std::shared_ptr<SpreadsheetServer> UnoServerFactory::Start(const std::string& progId) {
  if (!IsLibreOfficeProgId(progId)) return nullptr;
  const bool visible = !forceHeadless && HasDisplay() && OfficeHasWindows();
  std::string error;
  std::unique_ptr<OfficeProcess> process;
  std::string pipe;
  if (visible) {
    pipe = UserOfficePipe();
    process = OfficeProcess::StartVisible(pipe, kOfficeStartTimeoutMs, error);
  } else {
    // A private pipe and profile per run: two batch runs never share an office.
    pipe = UserOfficePipe() + "_" + std::to_string(::getpid());
    process = OfficeProcess::StartHeadless(PrivateOfficeProfile(), pipe, kOfficeStartTimeoutMs,
                                           error);
    if (!process && error.find("in use") != std::string::npos) {
      process = OfficeProcess::StartHeadless(PrivateOfficeProfile() + "-" + std::to_string(::getpid()),
                                             pipe, kOfficeStartTimeoutMs, error);
      if (process) process->RemoveProfileWhenStopped();
    }
  }
  std::shared_ptr<UnoServer> server;
  if (process) server = ConnectWithin(log_, pipe, 10'000, error);
  if (!server) {
    log_.Post(kMsgCritical, kMsgUnoNotStarted, "LibreOffice can not be started: " + error);
    return nullptr;
  }
  server->AdoptProcess(std::move(process));
  server->SetHeadless(!visible);
  started_ = server;
  return server;
}

}  // namespace ploxen
