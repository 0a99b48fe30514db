// Program folder and program name, found from /proc/self/exe once and overridable.
#include "support/Platform.h"

#include <filesystem>
#include <mutex>
#include <system_error>

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

}  // namespace ploxen
