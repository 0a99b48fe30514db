// Workbook file names and paths, compared the same way by every spreadsheet server.
#pragma once

#include <string>

namespace ploxen {

/// The file name of a workbook path: what follows its last "/" or "\".
std::string BookFileName(const std::string& path);
/// The absolute, normalised form of a workbook path, "\" read as "/"; the path as given when
/// it cannot be made absolute.
std::string FullBookPath(const std::string& path);
/// `s` with its ASCII capitals made small: book names and "ProgId"s ignore letter case.
std::string LowerAscii(std::string s);

}  // namespace ploxen
