// Entry of the desktop module: the program loads it with dlopen when a display is used and
// calls this one C function, so that nothing of Qt is mapped before.
#include <string>
#include <vector>

#include "gui/Desktop.h"

extern "C" __attribute__((visibility("default"))) int ploxen_run_desktop(
    int argc, char** argv, const std::vector<std::string>* args) {
  return ploxen::RunDesktop(argc, argv, *args);
}
