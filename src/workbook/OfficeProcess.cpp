// Starting, finding and stopping LibreOffice processes (POSIX; no UNO here).
#include "workbook/OfficeProcess.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

extern char** environ;

namespace ploxen {

namespace fs = std::filesystem;

namespace {

#ifdef PLOXEN_LO_PROGRAM
constexpr const char* kProgramFolder = PLOXEN_LO_PROGRAM;
#else
constexpr const char* kProgramFolder = "/usr/lib/libreoffice/program";
#endif

/// Exit code of an office whose fresh profile asks for a restart.
constexpr int kRestartRequired = 81;

using Clock = std::chrono::steady_clock;

/// Starts `program` with `args` in a session of its own, every standard stream on /dev/null.
pid_t Spawn(const std::string& program, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t files;
  posix_spawnattr_t attr;
  posix_spawn_file_actions_init(&files);
  posix_spawnattr_init(&attr);
  for (int fd = 0; fd <= 2; ++fd)
    posix_spawn_file_actions_addopen(&files, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, program.c_str(), &files, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  posix_spawnattr_destroy(&attr);
  return rc == 0 ? pid : 0;
}

bool IsSocket(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

/// The file URL of an absolute folder, with the characters a URL cannot hold escaped.
std::string FolderUrl(const std::string& folder) {
  std::string url = "file://";
  for (unsigned char c : folder) {
    if (std::isalnum(c) || std::string_view("/-._~").find(static_cast<char>(c)) != std::string_view::npos) {
      url += static_cast<char>(c);
    } else {
      const char* hex = "0123456789ABCDEF";
      url += '%';
      url += hex[c >> 4];
      url += hex[c & 15];
    }
  }
  return url;
}

std::vector<std::string> CommandLineOf(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> args;
  std::size_t start = 0;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i] != '\0') continue;
    args.push_back(all.substr(start, i - start));
    start = i + 1;
  }
  return args;
}

}  // namespace

std::string OfficeProgramFolder() { return kProgramFolder; }

bool OfficeInstalled() {
  return ::access((OfficeProgramFolder() + "/soffice.bin").c_str(), X_OK) == 0;
}

bool OfficeHasWindows() {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(OfficeProgramFolder(), ec)) {
    std::string name = entry.path().filename().string();
    if (name.rfind("libvclplug_", 0) == 0 && name.find("svp") == std::string::npos) return true;
  }
  return false;
}

std::string UnoPipePath(const std::string& pipe) {
  return "/tmp/OSL_PIPE_" + std::to_string(::getuid()) + "_" + pipe;
}

std::string UserOfficePipe() { return "ploxen_" + std::to_string(::getuid()); }

std::string PrivateOfficeProfile() {
  if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/')
    return std::string(cache) + "/ploxen/office";
  if (const char* home = std::getenv("HOME"); home && *home == '/')
    return std::string(home) + "/.cache/ploxen/office";
  return "/tmp/ploxen-office-" + std::to_string(::getuid());
}

bool FindUserOffice(RunningOffice& office) {
  office = {};
  DIR* proc = ::opendir("/proc");
  if (!proc) return false;
  const std::string privateProfile = FolderUrl(PrivateOfficeProfile());
  while (dirent* entry = ::readdir(proc)) {
    char* end = nullptr;
    long pid = std::strtol(entry->d_name, &end, 10);
    if (pid <= 0 || *end != '\0') continue;
    std::string dir = std::string("/proc/") + entry->d_name;
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0 || st.st_uid != ::getuid()) continue;
    std::ifstream comm(dir + "/comm");
    std::string name;
    std::getline(comm, name);
    if (name != "soffice.bin") continue;
    std::string profile;
    for (const std::string& arg : CommandLineOf(static_cast<pid_t>(pid)))
      if (arg.rfind("-env:UserInstallation=", 0) == 0) profile = arg;
    if (!profile.empty() && profile.find(privateProfile) != std::string::npos) continue;
    if (office.pid == 0 || pid < office.pid) {
      office.pid = static_cast<pid_t>(pid);
      office.profileArgument = profile;
    }
  }
  ::closedir(proc);
  return office.pid != 0;
}

bool MakeOfficeListen(const RunningOffice& office, const std::string& pipe, int waitMs,
                      std::string& error) {
  const std::string socket = UnoPipePath(pipe);
  // Called when no connection could be made: a pipe file left there by an office that ended
  // would hide the new one.
  ::unlink(socket.c_str());
  // Should the running office end meanwhile, this second one would start instead: headless
  // and without a document, and it is ended below when it does not leave by itself.
  std::vector<std::string> args = {"--headless", "--invisible", "--nodefault", "--norestore",
                                   "--nologo", "--accept=pipe,name=" + pipe + ";urp;"};
  if (!office.profileArgument.empty()) args.insert(args.begin(), office.profileArgument);
  pid_t pid = Spawn(OfficeProgramFolder() + "/soffice.bin", args);
  if (pid == 0) {
    error = "soffice.bin could not be started";
    return false;
  }
  auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
  bool forwarded = false;
  while (Clock::now() < deadline) {
    int status = 0;
    if (!forwarded && ::waitpid(pid, &status, WNOHANG) == pid) forwarded = true;
    if (forwarded && IsSocket(socket)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (!forwarded) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    error = "the running LibreOffice did not take the request to listen";
  } else {
    error = "the running LibreOffice does not listen on " + socket;
  }
  return false;
}

std::unique_ptr<OfficeProcess> OfficeProcess::StartHeadless(const std::string& profileDir,
                                                            const std::string& pipe, int waitMs,
                                                            std::string& error) {
  if (!OfficeInstalled()) {
    error = "LibreOffice is not installed (" + OfficeProgramFolder() + "/soffice.bin)";
    return nullptr;
  }
  std::error_code ec;
  fs::create_directories(profileDir, ec);
  int lock = ::open((profileDir + ".lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
  if (lock < 0 || ::flock(lock, LOCK_EX | LOCK_NB) != 0) {
    if (lock >= 0) ::close(lock);
    error = "the profile " + profileDir + " is in use";
    return nullptr;
  }
  const std::string socket = UnoPipePath(pipe);
  ::unlink(socket.c_str());  // a pipe left by an office that was killed
  const std::vector<std::string> args = {
      "--headless", "--invisible", "--norestore", "--nologo", "--nodefault", "--nolockcheck",
      "-env:UserInstallation=" + FolderUrl(fs::absolute(profileDir).string()),
      "--accept=pipe,name=" + pipe + ";urp;"};
  auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
  for (int attempt = 0; attempt < 2; ++attempt) {
    pid_t pid = Spawn(OfficeProgramFolder() + "/soffice.bin", args);
    if (pid == 0) {
      error = "soffice.bin could not be started";
      ::close(lock);
      return nullptr;
    }
    std::unique_ptr<OfficeProcess> office(new OfficeProcess(pid, true));
    office->profile_ = profileDir;
    while (Clock::now() < deadline) {
      if (IsSocket(socket)) {
        office->lockFd_ = lock;
        return office;
      }
      int status = 0;
      if (::waitpid(pid, &status, WNOHANG) == pid) {
        office->ended_ = true;
        if (WIFEXITED(status) && WEXITSTATUS(status) == kRestartRequired) break;
        error = "LibreOffice ended at its start (status " + std::to_string(status) + ")";
        ::close(lock);
        return nullptr;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!office->ended_) {
      error = "LibreOffice did not open its pipe within " + std::to_string(waitMs / 1000) + " s";
      ::close(lock);
      return nullptr;  // the destructor stops it
    }
  }
  ::close(lock);
  error = "LibreOffice asked for a restart twice";
  return nullptr;
}

std::unique_ptr<OfficeProcess> OfficeProcess::StartVisible(const std::string& pipe, int waitMs,
                                                           std::string& error) {
  if (!OfficeInstalled()) {
    error = "LibreOffice is not installed (" + OfficeProgramFolder() + "/soffice.bin)";
    return nullptr;
  }
  const std::string socket = UnoPipePath(pipe);
  // The wrapper restarts a fresh profile's first start itself; the pid is the wrapper's.
  pid_t pid = Spawn(OfficeProgramFolder() + "/soffice",
                    {"--nologo", "--norestore", "--accept=pipe,name=" + pipe + ";urp;"});
  if (pid == 0) {
    error = "soffice could not be started";
    return nullptr;
  }
  std::unique_ptr<OfficeProcess> office(new OfficeProcess(pid, false));
  auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
  while (Clock::now() < deadline) {
    if (IsSocket(socket)) return office;
    if (!office->Running()) {
      error = "LibreOffice ended at its start";
      return nullptr;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  error = "LibreOffice did not open its pipe within " + std::to_string(waitMs / 1000) + " s";
  return nullptr;
}

OfficeProcess::~OfficeProcess() {
  if (!ended_) Stop(2000);
  if (removeProfile_ && !ended_) removeProfile_ = false;  // never delete under a live office
  if (removeProfile_ && !profile_.empty()) {
    std::error_code ec;
    fs::remove_all(profile_, ec);
    fs::remove(profile_ + ".lock", ec);
  }
  if (lockFd_ >= 0) ::close(lockFd_);
}

bool OfficeProcess::Running() {
  if (ended_) return false;
  int status = 0;
  if (::waitpid(pid_, &status, WNOHANG) == pid_) ended_ = true;
  return !ended_;
}

bool OfficeProcess::WaitEnd(int ms) {
  auto deadline = Clock::now() + std::chrono::milliseconds(ms);
  while (Running()) {
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

bool OfficeProcess::Stop(int graceMs) {
  if (WaitEnd(graceMs)) return true;
  ::kill(pid_, SIGTERM);
  if (WaitEnd(graceMs)) return true;
  ::kill(pid_, SIGKILL);
  return WaitEnd(graceMs);
}

}  // namespace ploxen
