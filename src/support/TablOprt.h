// Table operator: the grid operations every result window shares (copy as text or HTML,
// paste, clear, row sorts and the common grid keys).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/StringGrid.h"
#include "support/UserDialogs.h"

namespace ploxen {

/// Form in which a range goes to the clipboard.
enum class CopyFormat { kText, kHtml };

/// Key codes the common grid keys react to (virtual key numbers; letters as upper case).
enum GridKeyCode : int {
  kKeyLeft = 37,
  kKeyUp = 38,
  kKeyRight = 39,
  kKeyDown = 40,
  kKeyC = 'C',
  kKeyH = 'H'
};

/// Modifier keys held with a key.
struct ShiftState {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

/// The table operator object created at start-up; its own window is never shown.
class TTablOprtWnd {
 public:
  static constexpr int kMinPixels = 9;  ///< row heights and column widths stay above 8 pixels

  explicit TTablOprtWnd(UserDialogs& dialogs) : dialogs_(dialogs) {}

  /// Fills the clipboard buffer with the range as text lines or as one HTML table and hands
  /// the joined text to `onClipboard`.
  void CopyRange(const StringGrid& grid, int left, int top, int right, int bottom);
  /// The clipboard buffer, one entry per line (or one HTML table).
  const std::vector<std::string>& Buffer() const { return buffer_; }
  /// The buffer joined by line breaks, as it goes to the clipboard.
  std::string ClipboardText() const;
  std::function<void(const std::string&)> onClipboard;  ///< the view puts this on the clipboard

  /// Writes tab-separated `clipboard` text into the grid from (`column`, `row`) down, adding
  /// rows as needed; returns the number of lines pasted. Without text (std::nullopt) a message
  /// box "Unknown format in clipboard" is shown and 0 returned.
  int PasteAt(StringGrid& grid, int column, int row, const std::optional<std::string>& clipboard);
  /// Empties every cell right of and below (`column`, `row`), both included.
  void ClearFrom(StringGrid& grid, int column, int row);
  /// Sorts rows 1.. by the text of `column` ignoring letter case; equal texts keep their order.
  void SortRowsAsText(StringGrid& grid, int column);
  /// Sorts rows 1.. by the number in `column`, smallest first (text that is no number is 0).
  void SortRowsByValueUp(StringGrid& grid, int column);
  /// Sorts rows 1.. by the number in `column`, greatest first.
  void SortRowsByValueDown(StringGrid& grid, int column);

  /// Common keys of result grids (Ctrl+C, Alt+H, Alt+arrows); true when the key was used.
  bool GridKeys(StringGrid& grid, int key, ShiftState shift);
  CopyFormat Format() const { return format_; }
  void SetFormat(CopyFormat format) { format_ = format; }
  /// Fourth status panel: "TXT" or "HT" once the format was toggled, empty before.
  const std::string& FormatStatus() const { return formatStatus_; }

  /// HTML table of a range, one line per tag, ending with "</table>" and a line feed.
  static std::string HtmlTable(const StringGrid& grid, int left, int top, int right, int bottom);
  /// Number of a cell: "," or "." as decimal separator, blanks ignored; 0 when no number.
  static double CellValue(std::string_view text);

  std::string oleObject = "Excel.Application";  ///< automation object of the export target
  int exportBook = -1;                          ///< index of the export workbook, -1 none
  int exportSheetCount = 0;                     ///< sheets of the export workbook

 private:
  void SortRowsByValue(StringGrid& grid, int column, bool up);

  UserDialogs& dialogs_;
  CopyFormat format_ = CopyFormat::kText;
  std::string formatStatus_;
  std::vector<std::string> buffer_;
};

}  // namespace ploxen
