// Settings object: file locations and desktop launchers.
#include "support/AplStgs.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "support/DesktopEntry.h"
#include "support/FileIO.h"
#include "support/Platform.h"
#include "support/TextCodec.h"

namespace fs = std::filesystem;

namespace ploxen {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

std::string WithoutTrailingSlash(std::string folder) {
  folder = NormaliseSeparators(folder);
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

/// Folder named by `key` in the freedesktop user-dirs file ("$HOME/..." or an absolute path).
std::string UserDirFromConfig(const std::string& configFolder, const std::string& key,
                              const std::string& home) {
  std::string bytes;
  if (configFolder.empty() || ReadFileBytes(configFolder + "/user-dirs.dirs", bytes) != 1)
    return {};
  for (const auto& raw : SectionStore::SplitLines(bytes)) {
    std::string line = TrimText(raw);
    if (line.compare(0, key.size() + 1, key + "=") != 0) continue;
    std::string value = line.substr(key.size() + 1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    if (value.compare(0, 5, "$HOME") == 0) {
      if (home.empty()) return {};
      value = home + value.substr(5);
    }
    return (!value.empty() && value[0] == '/') ? WithoutTrailingSlash(value) : std::string();
  }
  return {};
}

/// True when `folder` exists as a folder or could be created with its parents.
bool EnsureFolder(const std::string& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  return fs::is_directory(folder, ec);
}

}  // namespace

TAplStgsWnd::TAplStgsWnd(TAplMsgWnd& log)
    : store_(log), programFolder_(ploxen::ProgramFolder()), programName_(ploxen::ProgramName()) {}

void TAplStgsWnd::SetProgramFolder(const std::string& folder) {
  programFolder_ = WithoutTrailingSlash(folder);
}

std::string TAplStgsWnd::HomeFolder() const {
  if (!homeFolder_.empty()) return WithoutTrailingSlash(homeFolder_);
  std::string home = Environment("HOME");
  return home.empty() ? home : WithoutTrailingSlash(home);
}

std::string TAplStgsWnd::ConfigFolder() const {
  std::string config = Environment("XDG_CONFIG_HOME");
  if (homeFolder_.empty() && !config.empty()) return WithoutTrailingSlash(config);
  std::string home = HomeFolder();
  return home.empty() ? home : home + "/.config";
}

std::string TAplStgsWnd::UserFolder(const char* key, const char* fallback) const {
  std::string folder = Environment(key);
  if (!folder.empty()) return WithoutTrailingSlash(folder);
  std::string home = HomeFolder();
  folder = UserDirFromConfig(ConfigFolder(), key, home);
  if (!folder.empty()) return folder;
  return home.empty() ? home : home + "/" + fallback;
}

std::string TAplStgsWnd::DocumentsFolder() const {
  if (!documentsFolder_.empty()) return WithoutTrailingSlash(documentsFolder_);
  return UserFolder("XDG_DOCUMENTS_DIR", "Documents");
}

std::string TAplStgsWnd::DesktopFolder() const {
  if (!desktopFolder_.empty()) return WithoutTrailingSlash(desktopFolder_);
  return UserFolder("XDG_DESKTOP_DIR", "Desktop");
}

std::string TAplStgsWnd::AppSettingsPath() const {
  return programFolder_ + "/Ploxen.sys";
}

std::string TAplStgsWnd::ProgramOptionsPath() const {
  return programFolder_ + "/" + programName_ + ".ini";
}

std::string TAplStgsWnd::UserSettingsPath() const {
  std::string docs = DocumentsFolder();
  if (!docs.empty()) {
    std::string folder = docs + "/.Ploxen";
    if (EnsureFolder(folder)) return folder + "/" + programName_ + ".usr";
  }
  return programFolder_ + "/" + programName_ + ".usr";
}

bool TAplStgsWnd::CreateShortcut(const std::string& target, const std::string& folder,
                                 int specialFolder, const std::string& workFolder,
                                 const std::string& arguments, const std::string& name) {
  std::string dir;
  if (specialFolder == 0 && !folder.empty()) {
    dir = WithoutTrailingSlash(folder);
  } else {
    dir = DesktopFolder();
    if (dir.empty()) return false;
    if (!folder.empty()) dir += "/" + WithoutTrailingSlash(folder);
  }
  if (name.empty() || !EnsureFolder(dir)) return false;
  std::string text = DesktopEntryText(NormaliseSeparators(target), arguments,
                                      NormaliseSeparators(workFolder), name);
  return WriteFileAtomic(dir + "/" + name + ".desktop", text, false, 0755);
}

}  // namespace ploxen
