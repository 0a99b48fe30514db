// The visualisation window: the followed book, the visual sheet and its loading.
#include "visual/PresView.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "chem/PTools.h"
#include "support/AplMsg.h"
#include "support/Platform.h"
#include "workbook/BookPath.h"
#include "workbook/XlsObj.h"

namespace ploxen {

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

PictureKind SniffPicture(const std::string& path, std::uintmax_t maxBytes) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return PictureKind::kNone;
  const std::uintmax_t size = fs::file_size(path, ec);
  if (ec || size == 0 || size > maxBytes) return PictureKind::kNone;
  std::ifstream in(path, std::ios::binary);
  std::string head(512, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  const auto byte = [&](std::size_t i) {
    return i < head.size() ? static_cast<unsigned char>(head[i]) : 0u;
  };
  if (byte(0) == 'B' && byte(1) == 'M') return PictureKind::kBmp;
  if (byte(0) == 0xFF && byte(1) == 0xD8 && byte(2) == 0xFF) return PictureKind::kJpeg;
  if (byte(0) == 0x89 && head.compare(1, 3, "PNG") == 0) return PictureKind::kPng;
  if (head.find("<svg") != std::string::npos) return PictureKind::kSvg;
  return PictureKind::kNone;
}

TPresViewWnd::TPresViewWnd(TAplMsgWnd& log, TXlsWnd& xls) : log_(log), xls_(xls) {
  xls_.StartIfMissing = false;  // the window only looks at books that are open already
  Reset();
}

void TPresViewWnd::FollowBook(const std::string& progId, const std::string& book) {
  if (book == book_ && progId == progId_) return;
  book_ = book;
  progId_ = progId;
  visualSheetIndex = 0;
  visualSheetName.clear();
}

// The window's interface attaches to the server the main window uses and makes the
// followed book its current one; a server that was restarted meanwhile is attached anew.
bool TPresViewWnd::SelectFollowedBook() {
  if (book_.empty()) return false;
  if (!xls_.HasServer() || xls_.ProgId != progId_) {
    xls_.ProgId = progId_;
    if (!xls_.AttachExcel()) return false;
  }
  int index = xls_.FindBook(book_);
  if (index < 0 && xls_.AttachExcel()) index = xls_.FindBook(book_);
  if (index <= 0) return false;
  if (xls_.BookIndex() == index && LowerAscii(xls_.BookName()) == LowerAscii(BookFileName(book_)))
    return true;
  return xls_.SelectBook(index) > 0;
}

int TPresViewWnd::SetVisualSheet(const std::string& name) {
  visualSheetIndex = 0;
  visualSheetName.clear();
  if (Trim(name).empty()) return 0;
  const int index = SelectFollowedBook() ? xls_.FindSheet(name) : -1;
  if (index <= 0) {
    log_.Post(kMsgCritical, 428, "Access to sheet[" + name + "] is not posible visualisation");
    return 0;
  }
  visualSheetIndex = index;
  visualSheetName = name;
  return index;
}

void TPresViewWnd::UseSheetOf(const std::string& progId, const std::string& book,
                              const std::string& sheet) {
  // The main window lists its books again after every run; the sheet in use then stays as
  // it is and only its values are shown anew, so fields the user moved stay where they are.
  if (!sheet.empty() && book == book_ && progId == progId_ && sheet == visualSheetName) {
    MnuGetPosition = true;
    if (windowOpen) RefreshAfterCalculation();
    Changed();
    return;
  }
  FollowBook(progId, book);
  SetVisualSheet(sheet);
  if (!sheet.empty()) MnuGetPosition = true;
  if (windowOpen) Refresh();
  Changed();
}

void TPresViewWnd::Reset() {
  Caption = "Visualisation ";
  for (PresField& f : fields) f.visible = false;
  if (!fields[1].exists) CreateFieldsFrom(1);
  PresField& first = fields[1];
  first.visible = true;
  first.text = "visual";
  first.hint.clear();
  first.inputColour = false;
  first.left = 1;
  first.top = 1;
  pictureFile.clear();
  Changed();
}

void TPresViewWnd::Closed() {
  firstLoad = true;
  windowOpen = false;
}

// Fields are created in groups: field n brings n to n+16 with it, placed in columns of 16
// until a load or the user moves them.
void TPresViewWnd::CreateFieldsFrom(int n) {
  for (int k = n; k <= std::min(n + kFieldGroup, kFieldCount); ++k) {
    PresField& f = fields[k];
    if (f.exists) continue;
    f = PresField{};
    f.exists = true;
    f.number = k;
    f.left = 1 + 110 * ((k - 1) / kFieldGroup);
    f.top = 1 + 20 * ((k - 1) % kFieldGroup);
  }
}

std::string TPresViewWnd::PictureFolder() {
  const std::string& full = xls_.BookFullName();
  const std::size_t slash = full.find_last_of("/\\");
  return slash == std::string::npos ? ProgramFolder() : full.substr(0, slash);
}

void TPresViewWnd::ApplyWindowRow(const std::string* cells) {
  int left = TextToInt(cells[0]), top = TextToInt(cells[1]);
  const int width = TextToInt(cells[2]), height = TextToInt(cells[3]);
  if (left < 0 || left > screenWidth - 64) left = 0;
  if (top < 0 || top > screenHeight - 32) top = 0;
  window.left = left;
  window.top = top;
  if (width > 0) window.width = width;
  if (height > 0) window.height = height;
  ++geometryStamp;
}

void TPresViewWnd::ApplyPictureRow(const std::string& name) {
  const std::string path = ResolvePath(PictureFolder(), Trim(name));
  if (SniffPicture(path, kMaxPictureBytes) == PictureKind::kNone) {
    log_.PostAlways(kMsgCritical, 453, path + ":the visual image file can not be open/found ");
    pictureFile.clear();
    StatusPanel[3].clear();
    return;
  }
  pictureFile = path;
  StatusPanel[3] = path;
}

void TPresViewWnd::PictureUnreadable() {
  if (pictureFile.empty()) return;
  log_.PostAlways(kMsgCritical, 453, pictureFile + ":the visual image file can not be open/found ");
  pictureFile.clear();
  StatusPanel[3].clear();
  Changed();
}

bool TPresViewWnd::ChoosePicture(const std::string& path) {
  if (path.empty() || SniffPicture(path, kMaxPictureBytes) == PictureKind::kNone) return false;
  pictureFile = path;
  StatusPanel[3] = path;
  Changed();
  return true;
}

// Columns `firstColumn`..`lastColumn` of rows 1..`rows` of the current sheet in one call;
// when the server refuses the block, row by row, so that the message names the row.
bool TPresViewWnd::ReadBlock(int rows, int firstColumn, int lastColumn, bool values,
                             std::vector<std::string>& cells) {
  const int columns = lastColumn - firstColumn + 1;
  const std::size_t size = static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns);
  cells.clear();
  if (rows <= 0) return true;
  SpreadsheetServer* server = xls_.Server();
  const CellBlock block{1, firstColumn, rows, columns};
  const bool ok = values ? server->RangeValues(xls_.CurrentSheet(), block, cells)
                         : server->RangeTexts(xls_.CurrentSheet(), block, cells);
  if (ok && cells.size() == size) return true;
  cells.clear();
  const int sheet = visualSheetIndex;
  for (int r = 1; r <= rows; ++r) {
    std::vector<std::string> row;
    const int read = values ? xls_.ReadRow(sheet, r, row, lastColumn, firstColumn)
                            : xls_.ReadRowText(sheet, r, row, lastColumn, firstColumn);
    row.resize(static_cast<std::size_t>(columns));
    cells.insert(cells.end(), row.begin(), row.end());
    if (read < 0) {
      cells.resize(size);
      return false;
    }
  }
  return true;
}

// One load of the visual sheet: column A gives the row keys; B to D the texts, and, with
// "Get Position", E to H the geometry. The texts are what the cells display, so a value
// keeps the number format the user gave it in the workbook.
void TPresViewWnd::Refresh() {
  if (visualSheetName.empty() || !SelectFollowedBook()) {
    Reset();
    return;
  }
  const int sheet = xls_.FindSheet(visualSheetName);
  if (sheet <= 0) {
    log_.Post(kMsgCritical, 428,
              "Access to sheet[" + visualSheetName + "] is not posible visualisation");
    visualSheetIndex = 0;
    visualSheetName.clear();
    Reset();
    return;
  }
  visualSheetIndex = sheet;
  Caption = "Visualisation [" + xls_.BookName() + "]";
  const bool position = MnuGetPosition;
  std::vector<std::string> keys, texts, numbers;
  const int last = std::max(1, xls_.LastRow(sheet));
  if (xls_.ReadColumn(sheet, 1, keys, last, 1) < 0) {  // posted
    Changed();
    return;
  }
  const int rows = static_cast<int>(keys.size());
  ReadBlock(rows, 2, 4, false, texts);
  if (position) ReadBlock(rows, 5, 8, true, numbers);
  for (PresField& f : fields) f.useCount = 0;
  for (int r = 0; r < rows; ++r) {
    const std::string& key = keys[static_cast<std::size_t>(r)];
    if (key == xls_.EotMarker) break;
    const std::string* t = &texts[static_cast<std::size_t>(r) * 3];
    const std::string* g = position ? &numbers[static_cast<std::size_t>(r) * 4] : nullptr;
    if (key == "W") {
      if (position && firstLoad) ApplyWindowRow(g);
    } else if (key == "F") {
      if (!position) continue;
      const std::string name = Trim(t[0]);
      if (!name.empty()) fontName = name;
      if (TextToInt(t[1]) > 0) fontSize = TextToInt(t[1]);
    } else if (key == "I") {
      if (position) ApplyPictureRow(t[0]);
    } else {
      const int n = TextToInt(key);
      if (n < 1 || n > kFieldCount) continue;
      if (!fields[n].exists) CreateFieldsFrom(n);
      PresField& f = fields[n];
      f.visible = true;
      ++f.useCount;
      f.text = Trim(t[0]) + " " + Trim(t[1]);
      f.hint = Trim(t[2]);
      f.inputColour = StartsWith(f.hint, "[Ctrl]");
      if (!position) continue;
      f.left = TextToInt(g[0]);
      f.top = TextToInt(g[1]);
      if (TextToInt(g[2]) > 0) f.width = TextToInt(g[2]);
      if (TextToInt(g[3]) > 0) f.height = TextToInt(g[3]);
    }
  }
  for (int n = 1; n <= kFieldCount; ++n) {
    PresField& f = fields[n];
    if (!f.exists) continue;
    if (f.useCount > 1) {
      log_.Post(kMsgError, 221,
                "Field:" + std::to_string(n) + " used " + std::to_string(f.useCount) + " time");
    }
    if (f.useCount == 0) f.visible = false;
  }
  firstLoad = false;
  Changed();
}

void TPresViewWnd::RefreshAfterCalculation() {
  const bool position = MnuGetPosition;
  MnuGetPosition = false;
  Refresh();
  MnuGetPosition = position;
}

}  // namespace ploxen
