// The results of a run as a text table for a terminal.
#pragma once

#include <string>

namespace ploxen {

class TEqlCalcWnd;

/// For each occupied phase slot: the sheet name, then one line per compound with input,
/// output, fraction, fugacity or activity and information, columns aligned.
std::string ResultTable(const TEqlCalcWnd& calc);

}  // namespace ploxen
