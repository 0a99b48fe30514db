// Escaping of text written into the XML parts of saved workbooks.
#pragma once

#include <string>
#include <string_view>

namespace ploxen {

/// Appends `s` with &, <, >, " and ' written as XML character entities.
void AppendXmlEscaped(std::string& out, std::string_view s);

}  // namespace ploxen
