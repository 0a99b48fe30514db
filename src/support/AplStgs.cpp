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

std::string TAplStgsWnd::DocumentsFolder() const {
  if (!documentsFolder_.empty()) return WithoutTrailingSlash(documentsFolder_);
  std::string docs = Environment("XDG_DOCUMENTS_DIR");
  if (!docs.empty()) return WithoutTrailingSlash(docs);
  std::string home = HomeFolder();
  return home.empty() ? home : home + "/Documents";
}

std::string TAplStgsWnd::DesktopFolder() const {
  if (!desktopFolder_.empty()) return WithoutTrailingSlash(desktopFolder_);
  std::string desk = Environment("XDG_DESKTOP_DIR");
  if (!desk.empty()) return WithoutTrailingSlash(desk);
  std::string home = HomeFolder();
  return home.empty() ? home : home + "/Desktop";
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
