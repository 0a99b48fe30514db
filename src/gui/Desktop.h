// Entry of the desktop program: the only way from the program entry into Qt.
#pragma once

#include <string>
#include <vector>

namespace ploxen {

/// True when a window system can be reached (X11, Wayland, or a Qt platform chosen explicitly).
bool HasDisplay();

/// Runs the desktop: without `args` the main window, with them a batch run with the splash
/// and the tray icon. Returns the program's exit status.
int RunDesktop(int argc, char** argv, const std::vector<std::string>& args);

}  // namespace ploxen
