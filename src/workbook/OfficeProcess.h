// The LibreOffice process: finding the user's office, starting one, and stopping what we started.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

namespace ploxen {

/// The office's program folder (".../program"), where soffice and soffice.bin live.
std::string OfficeProgramFolder();
/// True when an office is installed there.
bool OfficeInstalled();
/// True when the installed office can draw windows; the build without a GUI has no window
/// plug-ins, and showing a document's window there ends the office.
bool OfficeHasWindows();
/// The Unix socket behind a UNO pipe of this user: "/tmp/OSL_PIPE_<uid>_<pipe>".
std::string UnoPipePath(const std::string& pipe);
/// The pipe the program asks a user's office to listen on: one name per user.
std::string UserOfficePipe();

/// An office the user runs: its process and the profile argument it was started with.
struct RunningOffice {
  pid_t pid = 0;
  std::string profileArgument;  ///< "-env:UserInstallation=..." or empty (the default profile)
};

/// The oldest office process (soffice.bin) of this user, ignoring offices on the program's own
/// private profiles; false when the user runs none.
bool FindUserOffice(RunningOffice& office);

/// Makes a running office listen on `pipe`, the documented way: a second soffice on the same
/// profile hands its "--accept" to the running one and ends. Called when connecting to `pipe`
/// failed: a pipe file already there is stale and is removed first. Waits at most `waitMs`
/// for the pipe to appear; false with `error` when it does not.
bool MakeOfficeListen(const RunningOffice& office, const std::string& pipe, int waitMs,
                      std::string& error);

/// An office process this program started. Destroying it stops the office.
class OfficeProcess {
 public:
  /// Starts a headless office (soffice.bin itself, so the pid is the office's) on the private
  /// profile `profileDir`, listening on `pipe`; a fresh profile's first start ends with code
  /// 81 and is started once more. Waits at most `waitMs` for the pipe. Null with `error`
  /// ("... is in use" when another run of the program holds that profile).
  static std::unique_ptr<OfficeProcess> StartHeadless(const std::string& profileDir,
                                                      const std::string& pipe, int waitMs,
                                                      std::string& error);
  /// Starts a visible office on the user's own profile, listening on `pipe`.
  static std::unique_ptr<OfficeProcess> StartVisible(const std::string& pipe, int waitMs,
                                                     std::string& error);
  ~OfficeProcess();
  OfficeProcess(const OfficeProcess&) = delete;
  OfficeProcess& operator=(const OfficeProcess&) = delete;

  pid_t Pid() const { return pid_; }
  bool Headless() const { return headless_; }
  /// True while the process has not ended.
  bool Running();
  /// Waits up to `graceMs` for the office to end by itself (after a terminate request), then
  /// sends SIGTERM and, after as long again, SIGKILL. True when it has ended.
  bool Stop(int graceMs);
  /// Deletes the profile folder once the office has ended (a profile made for one run).
  void RemoveProfileWhenStopped() { removeProfile_ = true; }

 private:
  OfficeProcess(pid_t pid, bool headless) : pid_(pid), headless_(headless) {}
  bool WaitEnd(int ms);

  pid_t pid_ = 0;
  bool headless_ = true;
  bool ended_ = false;
  int lockFd_ = -1;  ///< holds the profile against other runs of the program
  std::string profile_;
  bool removeProfile_ = false;
};

/// The private profile folder of offices this program starts headless.
std::string PrivateOfficeProfile();

}  // namespace ploxen
