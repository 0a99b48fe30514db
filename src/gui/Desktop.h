// Entry of the desktop program: the only way from the program entry into Qt (through the
// desktop module, see app/DesktopModule.h).
#pragma once

#include <string>
#include <vector>

namespace ploxen {

/// Runs the desktop: without `args` the main window, with them a batch run with the splash
/// and the tray icon. Returns the program's exit status.
int RunDesktop(int argc, char** argv, const std::vector<std::string>& args);

}  // namespace ploxen
