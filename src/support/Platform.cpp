// Program folder and program name, found from /proc/self/exe once and overridable.
#include "support/Platform.h"

#include <filesystem>
#include <mutex>
#include <system_error>
#include <vector>

#include <unistd.h>

namespace ploxen {
namespace {

struct ProgramPaths {
  std::string folder;
  std::string name = "ploxen";
  bool known = false;
};

ProgramPaths& Paths() {
  static ProgramPaths paths;
  static std::once_flag once;
  std::call_once(once, [] {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec && !paths.known) {
      paths.folder = exe.parent_path().string();
      paths.name = exe.stem().string();
      paths.known = true;
    }
    if (!paths.known) {
      paths.folder = std::filesystem::current_path(ec).string();
      paths.known = true;
    }
  });
  return paths;
}

}  // namespace

std::string ProgramFolder() { return Paths().folder; }

void SetProgramFolder(const std::string& folder) {
  auto& p = Paths();
  p.folder = folder;
  while (p.folder.size() > 1 && p.folder.back() == '/') p.folder.pop_back();
}

std::string ProgramName() { return Paths().name; }

std::string CompanionProgramPath(const std::string& fileName) {
  namespace fs = std::filesystem;
  std::vector<std::string> names = {fileName};
  const std::string exe = ".exe";
  if (fileName.size() > exe.size() &&
      fileName.compare(fileName.size() - exe.size(), exe.size(), exe) == 0) {
    names.push_back(fileName.substr(0, fileName.size() - exe.size()));
  }
  for (const std::string& name : names) {
    const fs::path path = fs::path(ProgramFolder()) / name;
    std::error_code ec;
    if (!fs::is_regular_file(path, ec) || ec) continue;
    if (access(path.c_str(), X_OK) == 0) return path.string();
  }
  return {};
}

}  // namespace ploxen
