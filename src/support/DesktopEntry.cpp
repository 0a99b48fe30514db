// Text of a freedesktop launcher: quoting of the Exec= line and escaping of string values.
#include "support/DesktopEntry.h"

#include "support/TextCodec.h"

namespace ploxen {

std::string DesktopValue(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string DesktopExecArgument(const std::string& argument) {
  std::string out = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    if (c == '%') out += '%';  // "%%" is a literal percent sign, not a field code
    out += c;
  }
  out += '"';
  return out;
}

std::string DesktopEntryText(const std::string& target, const std::string& arguments,
                             const std::string& workFolder, const std::string& name) {
  std::string exec = DesktopExecArgument(target);
  std::string args = TrimText(arguments);
  if (!args.empty()) exec += " " + DesktopExecArgument(args);
  std::string text = "[Desktop Entry]\n";
  text += "Type=Application\n";
  text += "Version=1.0\n";
  text += "Name=" + DesktopValue(name) + "\n";
  text += "Comment=" + DesktopValue(name) + "\n";
  text += "Exec=" + DesktopValue(exec) + "\n";
  if (!workFolder.empty()) text += "Path=" + DesktopValue(workFolder) + "\n";
  text += "Terminal=false\n";
  return text;
}

}  // namespace ploxen
