// Whole-file reading and crash-safe writing: temporary file, flush, backup, rename.
#include "support/FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace ploxen {
namespace {

/// Writes all of `bytes` to `fd`, retrying short writes; false on any error.
bool WriteAll(int fd, const std::string& bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

int ReadFileBytes(const std::string& path, std::string& bytes) {
  bytes.clear();
  std::error_code ec;
  auto status = fs::status(path, ec);
  if (ec || !fs::exists(status)) {
    // A path whose parent is a file, or a missing file: nothing to read.
    return fs::exists(fs::symlink_status(path, ec)) ? -1 : 0;
  }
  if (!fs::is_regular_file(status)) return -1;
  std::ifstream in(path, std::ios::binary);
  if (!in) return -1;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) {
    bytes.clear();
    return -1;
  }
  return 1;
}

std::int64_t FileStamp(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return 0;
  std::int64_t stamp =
      static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  return stamp == 0 ? 1 : stamp;  // 0 means "nothing cached"
}

std::string BackupPath(const std::string& path) {
  size_t slash = path.find_last_of('/');
  size_t nameStart = (slash == std::string::npos) ? 0 : slash + 1;
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot < nameStart) return path + ".~";
  std::string ext = path.substr(dot);  // with its dot
  if (ext.size() < 2) return path.substr(0, dot) + ".~";
  return path.substr(0, dot) + ".~" + ext.substr(1);
}

bool CopyToBackup(const std::string& path) {
  std::error_code ec;
  fs::copy_file(path, BackupPath(path), fs::copy_options::overwrite_existing, ec);
  return !ec;
}

bool WriteFileAtomic(const std::string& linkOrPath, const std::string& bytes, bool backup,
                     unsigned newFileMode) {
  // A symbolic link stays a link: the file it points to is replaced.
  std::string path = linkOrPath;
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(path, ec))) {
    auto target = fs::weakly_canonical(path, ec);
    if (ec) return false;
    path = target.string();
  }
  std::string pattern = path + ".tmp~XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  std::string temp(name.data());

  struct stat old {};
  bool hadOld = ::stat(path.c_str(), &old) == 0;
  mode_t mode = hadOld ? (old.st_mode & 07777) : static_cast<mode_t>(newFileMode);
  // The new file keeps the old one's owner and group where this user may give them (root;
  // a group the user belongs to), before the mode, which a change of owner may clear.
  if (hadOld && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
    bool kept = ::fchown(fd, old.st_uid, old.st_gid) == 0;
    if (!kept) kept = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
    (void)kept;  // otherwise the file belongs to the user who saved it
  }
  bool ok = ::fchmod(fd, mode) == 0;
  ok = ok && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok && hadOld && backup && S_ISREG(old.st_mode)) CopyToBackup(path);
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  // Make the rename itself durable; a failure here leaves a complete file either way.
  std::string folder = fs::path(path).parent_path().string();
  int dirFd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}

}  // namespace ploxen
