// Table operator: copy, paste, clear and the common grid keys.
#include "support/TablOprt.h"

#include <algorithm>

#include "support/TextCodec.h"

namespace ploxen {
namespace {

/// Splits text into lines at CR LF, LF or CR; a final line break adds no empty line.
std::vector<std::string> TextLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
    ++i;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> cells;
  size_t start = 0;
  while (true) {
    size_t tab = line.find('\t', start);
    cells.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return cells;
    start = tab + 1;
  }
}

}  // namespace

std::string TTablOprtWnd::HtmlTable(const StringGrid& grid, int left, int top, int right,
                                    int bottom) {
  std::string html =
      "<table style=\"width: 100%;\" border=\"1\" cellpadding=\"0\" cellspacing=\"0\">\n";
  for (int r = top; r <= bottom; ++r) {
    html += "  <tr>\n";
    for (int c = left; c <= right; ++c) {
      html += (c == left) ? "   <td>" : "<td>";
      const std::string& text = grid.Cell(c, r);
      html += TrimText(text).empty() ? "&nbsp;</td>" : text + "</td>";
    }
    html += "\n  </tr>\n";
  }
  html += "</table>\n";
  return html;
}

void TTablOprtWnd::CopyRange(const StringGrid& grid, int left, int top, int right, int bottom) {
  buffer_.clear();
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, grid.ColCount() - 1);
  bottom = std::min(bottom, grid.RowCount() - 1);
  if (left <= right && top <= bottom) {
    if (format_ == CopyFormat::kHtml) {
      buffer_.push_back(HtmlTable(grid, left, top, right, bottom));
    } else if (left == right && top == bottom) {
      buffer_.push_back(grid.Cell(left, top));
    } else {
      for (int r = top; r <= bottom; ++r) {
        std::string line;
        for (int c = left; c <= right; ++c) {
          if (c > left) line += '\t';
          line += grid.Cell(c, r);
        }
        buffer_.push_back(std::move(line));
      }
    }
  }
  if (onClipboard) onClipboard(ClipboardText());
}

std::string TTablOprtWnd::ClipboardText() const {
  std::string text;
  for (size_t i = 0; i < buffer_.size(); ++i) {
    if (i > 0) text += '\n';
    text += buffer_[i];
  }
  return text;
}

int TTablOprtWnd::PasteAt(StringGrid& grid, int column, int row,
                          const std::optional<std::string>& clipboard) {
  if (!clipboard) {
    dialogs_.MessageBox("Unknown format in clipboard", "Ploxen");
    return 0;
  }
  if (column < 0 || row < 0) return 0;
  std::vector<std::string> lines = TextLines(*clipboard);
  if (lines.empty()) return 0;
  const int width = static_cast<int>(SplitTabs(lines.front()).size());
  const int needed = row + static_cast<int>(lines.size());
  if (needed > grid.RowCount()) grid.SetRowCount(needed);
  for (size_t i = 0; i < lines.size(); ++i) {
    std::vector<std::string> cells = SplitTabs(lines[i]);
    cells.resize(width);  // the first line sets the width of the pasted block
    for (int k = 0; k < width; ++k) grid.SetCell(column + k, row + static_cast<int>(i), cells[k]);
  }
  return static_cast<int>(lines.size());
}

void TTablOprtWnd::ClearFrom(StringGrid& grid, int column, int row) {
  for (int r = std::max(row, 0); r < grid.RowCount(); ++r) {
    for (int c = std::max(column, 0); c < grid.ColCount(); ++c) grid.SetCell(c, r, "");
  }
}

bool TTablOprtWnd::GridKeys(StringGrid& grid, int key, ShiftState shift) {
  if (shift.ctrl && !shift.alt && key == kKeyC) {
    const GridRect& s = grid.selection;
    CopyRange(grid, s.left, s.top, s.right, s.bottom);
    return true;
  }
  if (!shift.alt || shift.ctrl) return false;
  switch (key) {
    case kKeyH:
      format_ = (format_ == CopyFormat::kText) ? CopyFormat::kHtml : CopyFormat::kText;
      formatStatus_ = (format_ == CopyFormat::kText) ? "TXT" : "HT";
      return true;
    case kKeyUp:
      if (grid.defaultRowHeight - 1 >= kMinPixels) --grid.defaultRowHeight;
      return true;
    case kKeyDown:
      ++grid.defaultRowHeight;
      return true;
    case kKeyLeft:
      if (grid.col0Width - 1 >= kMinPixels) --grid.col0Width;
      return true;
    case kKeyRight:
      ++grid.col0Width;
      return true;
    default:
      return false;
  }
}

}  // namespace ploxen
