// The program's about information: name, version and purpose as the about dialog shows them.
#pragma once

#include <string>

namespace ploxen {

/// Text of the about dialog, one item per line; the first line is name and version.
std::string AboutInformation();
/// First line of the about information: "Ploxen Mizzolith " followed by the version.
std::string AboutFirstLine();

}  // namespace ploxen
