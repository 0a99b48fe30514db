// Keys of section `MainWnd` of the user settings file that the desktop writes as the user
// changes them, so that a batch run started meanwhile finds them.
#pragma once

#include <string>

namespace ploxen {

class TAplStgsWnd;

/// Section of the user settings file that holds the main window's start values.
inline constexpr const char* kMainWndSection = "MainWnd";

/// Writes `key`=`value` into section `MainWnd` of the user settings file (backed up, written
/// whole): 1, or -1 after a posted failure when the file cannot be read or written.
int WriteMainWndSetting(TAplStgsWnd& settings, const std::string& key, const std::string& value);
/// Value of `key` in section `MainWnd` of the user settings file; empty when absent.
std::string ReadMainWndSetting(TAplStgsWnd& settings, const std::string& key);

}  // namespace ploxen
