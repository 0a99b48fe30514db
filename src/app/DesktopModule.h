// The desktop module beside the executable, loaded only when a display is used.
#pragma once

#include <string>
#include <vector>

namespace ploxen {

/// File name of the desktop module in the program folder.
inline constexpr const char* kDesktopModuleName = "ploxen_desktop.so";

/// True when a window system can be reached (X11, Wayland, or a Qt platform chosen explicitly).
bool HasDisplay();

/// Loads the desktop module from `folder` and runs the desktop in it (the main window, or with
/// `args` a batch run with the splash and the tray icon). When the module is missing or cannot
/// be loaded, `error` says why and the result is kDesktopMissing.
int RunDesktopModule(const std::string& folder, int argc, char** argv,
                     const std::vector<std::string>& args, std::string& error);

inline constexpr int kDesktopMissing = 3;

}  // namespace ploxen
