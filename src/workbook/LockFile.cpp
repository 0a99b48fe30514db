// Reading, judging, writing and removing lock files in LibreOffice's format.
#include "workbook/LockFile.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <vector>

#include "support/FileIO.h"

namespace ploxen {

namespace fs = std::filesystem;

namespace {

/// The profile field of this program's locks, followed by the process id.
constexpr std::string_view kOwnProfile = "ploxen-mizzolith:pid=";

/// Splits "a,b\,c,d;" at unescaped commas, up to the closing semicolon.
std::vector<std::string> SplitFields(std::string_view text) {
  std::vector<std::string> fields(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\\' && i + 1 < text.size()) {
      fields.back() += text[++i];
    } else if (c == ',') {
      fields.emplace_back();
    } else if (c == ';' || c == '\n' || c == '\r') {
      break;
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

void AppendField(std::string& out, const std::string& field) {
  for (char c : field) {
    if (c == ',' || c == ';' || c == '\\') out += '\\';
    out += c;
  }
}

std::string HostName() {
  char buf[256] = {};
  if (::gethostname(buf, sizeof buf - 1) != 0) return {};
  return buf;
}

std::string LoginName() {
  if (const passwd* pw = ::getpwuid(::geteuid())) return pw->pw_name;
  return std::to_string(::geteuid());
}

/// Owner of process `pid` and its command name; false when no such process runs.
bool ProcessInfo(long pid, uid_t& owner, std::string& command) {
  std::string dir = "/proc/" + std::to_string(pid);
  struct stat st {};
  if (::stat(dir.c_str(), &st) != 0) return false;
  owner = st.st_uid;
  std::ifstream in(dir + "/comm");
  std::getline(in, command);
  return true;
}

/// True when a LibreOffice process of user `user` (the caller's user when empty) runs.
bool LibreOfficeRuns(const std::string& user) {
  uid_t wanted = ::geteuid();
  if (!user.empty()) {
    const passwd* pw = ::getpwnam(user.c_str());
    if (!pw) return false;
    wanted = pw->pw_uid;
  }
  DIR* proc = ::opendir("/proc");
  if (!proc) return false;
  bool found = false;
  while (const dirent* entry = ::readdir(proc)) {
    long pid = 0;
    std::string_view name(entry->d_name);
    auto [p, ec] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (ec != std::errc() || p != name.data() + name.size()) continue;
    uid_t owner = 0;
    std::string command;
    if (ProcessInfo(pid, owner, command) && owner == wanted && command == "soffice.bin") {
      found = true;
      break;
    }
  }
  ::closedir(proc);
  return found;
}

/// The process id an own lock names; 0 for a lock of another program.
long OwnLockProcess(const LockInfo& info) {
  if (!info.profile.starts_with(kOwnProfile)) return 0;
  std::string_view digits = std::string_view(info.profile).substr(kOwnProfile.size());
  long pid = 0;
  auto [p, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), pid);
  return ec == std::errc() && p == digits.data() + digits.size() ? pid : 0;
}

}  // namespace

std::string LockFilePath(const std::string& bookPath) {
  fs::path path(bookPath);
  return (path.parent_path() / (".~lock." + path.filename().string() + "#")).string();
}

LockState CheckLock(const std::string& bookPath, LockInfo* info) {
  std::string bytes;
  if (ReadFileBytes(LockFilePath(bookPath), bytes) != 1) return LockState::kNone;
  std::vector<std::string> fields = SplitFields(bytes);
  fields.resize(5);
  LockInfo lock{fields[0], fields[1], fields[2], fields[3], fields[4]};
  if (info) *info = lock;
  if (lock.host != HostName()) return LockState::kStale;
  if (long pid = OwnLockProcess(lock)) {
    if (pid == static_cast<long>(::getpid())) return LockState::kOwn;
    uid_t owner = 0;
    std::string command;
    return ProcessInfo(pid, owner, command) && owner == ::geteuid() ? LockState::kLive
                                                                    : LockState::kStale;
  }
  return LibreOfficeRuns(lock.user) ? LockState::kLive : LockState::kStale;
}

bool CreateOwnLock(const std::string& bookPath, std::string& error) {
  LockInfo other;
  if (CheckLock(bookPath, &other) == LockState::kLive) {
    error = bookPath + " is open elsewhere (" + LockHolderText(other) + ")";
    return false;
  }
  std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char when[32];
  std::strftime(when, sizeof when, "%d.%m.%Y %H:%M", &local);
  std::string text;
  AppendField(text, "Ploxen Mizzolith");
  text += ',';
  AppendField(text, LoginName());
  text += ',';
  AppendField(text, HostName());
  text += ',';
  text += when;
  text += ',';
  text += std::string(kOwnProfile) + std::to_string(::getpid());
  text += ';';
  if (!WriteFileAtomic(LockFilePath(bookPath), text, false)) {
    error = "the lock file of " + bookPath + " cannot be written";
    return false;
  }
  return true;
}

bool RemoveOwnLock(const std::string& bookPath) {
  if (CheckLock(bookPath) != LockState::kOwn) return true;
  std::error_code ec;
  return fs::remove(LockFilePath(bookPath), ec);
}

std::string LockHolderText(const LockInfo& info) {
  std::string who = info.user.empty() ? info.author : info.user;
  if (who.empty()) who = "an unknown user";
  std::string text = who;
  if (!info.host.empty()) text += " on " + info.host;
  if (!info.time.empty()) text += " since " + info.time;
  return text;
}

}  // namespace ploxen
