// Loading the desktop module: dlopen from the program folder, one C entry point.
#include "app/DesktopModule.h"

#include <cstdlib>
#include <filesystem>

#include <dlfcn.h>

namespace ploxen {
namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

using DesktopEntry = int (*)(int, char**, const std::vector<std::string>*);

}  // namespace

bool HasDisplay() {
  return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM");
}

int RunDesktopModule(const std::string& folder, int argc, char** argv,
                     const std::vector<std::string>& args, std::string& error) {
  const std::string path = (std::filesystem::path(folder) / kDesktopModuleName).string();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    error = "the desktop module " + path + " is missing";
    return kDesktopMissing;
  }
  // The module stays loaded until the process ends: Qt's exit handlers live in it.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    const char* why = dlerror();
    error = "the desktop module " + path + " cannot be loaded: " + (why ? why : "unknown error");
    return kDesktopMissing;
  }
  auto entry = reinterpret_cast<DesktopEntry>(dlsym(module, "ploxen_run_desktop"));
  if (!entry) {
    error = "the desktop module " + path + " has no entry point";
    return kDesktopMissing;
  }
  return entry(argc, argv, &args);
}

}  // namespace ploxen
