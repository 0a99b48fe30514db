// The results of a run as a text table for a terminal.
#include "app/ResultTable.h"

#include <algorithm>
#include <vector>

#include "process/EqlCalcX.h"

namespace ploxen {
namespace {

// Display width of UTF-8 text: continuation bytes take no column.
size_t Width(const std::string& s) {
  return static_cast<size_t>(std::count_if(
      s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string Pad(const std::string& s, size_t width, bool right) {
  const size_t w = Width(s);
  const std::string fill(width > w ? width - w : 0, ' ');
  return right ? fill + s : s + fill;
}

}  // namespace

std::string ResultTable(const TEqlCalcWnd& calc) {
  static const int kColumns[] = {gc::kName,        gc::kInput,    gc::kOutput,
                                 gc::kComposition, gc::kActivity, gc::kInfo};
  std::string out;
  for (int k = 1; k <= kSlotCount; ++k) {
    const TPhaseSlot& s = calc.slots[k];
    if (!s.occupied) continue;
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> header;
    for (int c : kColumns) header.push_back(c == gc::kName ? "Compound" : s.grid.Cell(c, 0));
    rows.push_back(header);
    for (int r = 1; r <= s.Rows(); ++r) {
      std::vector<std::string> row;
      for (int c : kColumns) row.push_back(s.grid.Cell(c, r));
      rows.push_back(row);
    }
    std::vector<size_t> widths(header.size(), 0);
    for (const auto& row : rows) {
      for (size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], Width(row[i]));
    }
    out += "[" + s.sheetName + "]\n";
    for (const auto& row : rows) {
      std::string line;
      for (size_t i = 0; i < row.size(); ++i) {
        if (i > 0) line += "  ";
        line += Pad(row[i], widths[i], i > 0 && i < row.size() - 1);
      }
      while (!line.empty() && line.back() == ' ') line.pop_back();
      out += line + "\n";
    }
    out += "\n";
  }
  return out;
}

}  // namespace ploxen
