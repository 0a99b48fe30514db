// Text of a freedesktop ".desktop" launcher, the Linux form of a shortcut link.
#pragma once

#include <string>

namespace ploxen {

/// Escapes a desktop-entry string value ("\\", "\n", "\t", "\r").
std::string DesktopValue(const std::string& text);
/// One argument of an Exec= line: double-quoted with its reserved characters escaped.
std::string DesktopExecArgument(const std::string& argument);
/// Launcher running `target` with `arguments` (passed as one argument when not blank) in
/// `workFolder`, named and described by `name`.
std::string DesktopEntryText(const std::string& target, const std::string& arguments,
                             const std::string& workFolder, const std::string& name);

}  // namespace ploxen
