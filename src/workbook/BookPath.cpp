// Workbook file names and paths.
#include "workbook/BookPath.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace ploxen {

std::string BookFileName(const std::string& path) {
  std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FullBookPath(const std::string& path) {
  namespace fs = std::filesystem;
  std::string p = path;
  std::replace(p.begin(), p.end(), '\\', '/');
  std::error_code ec;
  fs::path full = fs::absolute(fs::path(p), ec);
  return ec ? p : full.lexically_normal().string();
}

std::string LowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

}  // namespace ploxen
