// Helpers of the tests that hand saved workbooks to headless LibreOffice.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace ploxen::test {

/// Why LibreOffice cannot be used here; empty when it can.
inline std::string LibreOfficeMissing() {
  if (std::system("command -v soffice >/dev/null 2>&1") != 0) return "soffice is not installed";
  if (std::system("/usr/bin/python3 -c 'import uno' >/dev/null 2>&1") != 0)
    return "python3-uno is not installed";
  return "";
}

/// Output of a command, and its exit status.
inline int RunCommand(const std::string& command, std::string& output) {
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return -1;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) output.append(buf, n);
  return ::pclose(pipe);
}

}  // namespace ploxen::test
