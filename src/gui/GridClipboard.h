// The clipboard of the grid windows: a copied range goes as tab-separated text and as an HTML
// table, a paste reads the text.
#pragma once

#include <optional>
#include <string>

namespace ploxen {

class StringGrid;
class TTablOprtWnd;
struct GridRect;

/// Puts `text` (text/plain) and, when not empty, `html` (text/html) on the clipboard.
void PutOnClipboard(const std::string& text, const std::string& html);
/// The clipboard's text; std::nullopt when it holds none (an image, binary data, nothing).
std::optional<std::string> ClipboardText();
/// Copies `range` of `grid` through the table operator, in its current format, and adds the
/// range's HTML table so that spreadsheets paste it with its cells.
void CopyRangeToClipboard(TTablOprtWnd& table, const StringGrid& grid, const GridRect& range);

}  // namespace ploxen
