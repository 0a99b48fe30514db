// The embedded spreadsheet engine behind the SpreadsheetServer interface.
#include "workbook/EmbeddedServer.h"

#include <algorithm>
#include <filesystem>

#include "support/AplMsg.h"
#include "support/FileIO.h"
#include "workbook/BookPath.h"
#include "workbook/BookWriter.h"
#include "workbook/CellAddress.h"
#include "workbook/DisplayText.h"
#include "workbook/OrcusImport.h"
#include "workbook/LockFile.h"
#include "workbook/OdsPatch.h"
#include "workbook/SourcePackage.h"
#include "workbook/XlsxPatch.h"
#include "workbook/ZipParts.h"

namespace ploxen {

namespace fs = std::filesystem;

namespace {

/// The bytes of a workbook file, refusing one too large to open before reading it.
bool ReadBookBytes(const std::string& path, std::string& bytes, std::string& error) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) {
    error = "the file does not exist or cannot be read";
    return false;
  }
  if (fs::file_size(path, ec) > ImportLimits{}.maxFileBytes) {
    error = "the file is too large";
    return false;
  }
  if (ReadFileBytes(path, bytes) != 1) {
    error = "the file cannot be read";
    return false;
  }
  return true;
}

bool EndsWithOds(const std::string& name) {
  std::string lower = LowerAscii(name);
  return lower.size() >= 4 && lower.compare(lower.size() - 4, 4, ".ods") == 0;
}

}  // namespace

EmbeddedServer::EmbeddedServer(TAplMsgWnd& log) : log_(log) {}
EmbeddedServer::~EmbeddedServer() = default;

bool EmbeddedServer::Fail(ServerError error, std::string text) {
  error_ = error;
  errorText_ = std::move(text);
  return false;
}

template <class F>
bool EmbeddedServer::Guarded(F&& call) {
  try {
    return call();
  } catch (const std::exception& e) {
    return Fail(ServerError::kRefused, std::string("internal failure: ") + e.what());
  } catch (...) {
    return Fail(ServerError::kRefused, "internal failure");
  }
}

bool EmbeddedServer::Ok() {
  error_ = ServerError::kNone;
  errorText_.clear();
  return true;
}

Book* EmbeddedServer::BookOf(BookHandle book) {
  if (!running_) {
    Fail(ServerError::kRefused, "the spreadsheet engine has quit");
    return nullptr;
  }
  Book* b = engine_.FindBook(book);
  if (!b) Fail(ServerError::kNoBook, "no such workbook");
  return b;
}

Sheet* EmbeddedServer::SheetOf(SheetHandle sheet) {
  if (!running_) {
    Fail(ServerError::kRefused, "the spreadsheet engine has quit");
    return nullptr;
  }
  Sheet* s = engine_.FindSheet(sheet);
  if (!s) Fail(ServerError::kNoSheet, "no such worksheet");
  return s;
}

bool EmbeddedServer::CheckAddress(int row, int column) {
  if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns)
    return Fail(ServerError::kBadAddress, "cell address outside the sheet");
  return true;
}

bool EmbeddedServer::CheckBlock(const CellBlock& block) {
  if (block.rows < 0 || block.columns < 0) return Fail(ServerError::kBadAddress, "negative block");
  if (block.rows == 0 || block.columns == 0) return true;
  return CheckAddress(block.row, block.column) &&
         CheckAddress(block.row + block.rows - 1, block.column + block.columns - 1);
}

bool EmbeddedServer::Version(std::string& version) {
  if (!running_) return Fail(ServerError::kRefused, "the spreadsheet engine has quit");
  version = kEmbeddedVersion;
  return Ok();
}

bool EmbeddedServer::SetVisible(bool visible) {
  if (!running_) return Fail(ServerError::kRefused, "the spreadsheet engine has quit");
  visible_ = visible;
  return Ok();
}

bool EmbeddedServer::Quit() {
  if (!running_) return Fail(ServerError::kRefused, "the spreadsheet engine has quit");
  while (engine_.BookCount() > 0) engine_.CloseBook(engine_.BookAt(0).Id());
  running_ = false;
  return Ok();
}

bool EmbeddedServer::BookCount(int& count) {
  if (!running_) return Fail(ServerError::kRefused, "the spreadsheet engine has quit");
  count = engine_.BookCount();
  return Ok();
}

bool EmbeddedServer::BookItem(int index, BookHandle& book) {
  if (!running_) return Fail(ServerError::kRefused, "the spreadsheet engine has quit");
  if (index < 1 || index > engine_.BookCount())
    return Fail(ServerError::kNoBook, "no workbook at this position");
  book = engine_.BookAt(index - 1).Id();
  return Ok();
}

std::string EmbeddedServer::InsertProblem(const Book& book, const Sheet& sheet, int row) const {
  if (!book.source) return {};
  return book.source->format == BookFormat::kXlsx ? XlsxInsertProblem(book, sheet)
                                                  : OdsInsertProblem(book, sheet, row);
}

void EmbeddedServer::RefreshLinks(ImportedBook& imported, const std::string& folder) {
  // Links to books that are not open read the files' current values, as "update links" does.
  for (ExternalBook& ext : imported.externalBooks) {
    if (ext.target.empty() || engine_.FindBookByName(ext.fileName)) continue;
    std::string target = PathOfFileUrl(ext.target);
    std::replace(target.begin(), target.end(), '\\', '/');
    fs::path path = fs::path(target).is_absolute() ? fs::path(target) : fs::path(folder) / target;
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) continue;
    ImportedBook other;
    std::string error;
    ImportLimits limits;
    limits.maxCells = 200'000;
    if (!ReadWorkbookFile(path.string(), other, error, limits)) continue;
    for (const ImportedSheet& sheet : other.sheets) {
      auto& cache = ext.sheets[sheet.name];
      for (const ImportedCell& cell : sheet.cells) {
        ExternalCachedCell value;
        bool isText = cell.kind == ImportedCell::Kind::kString ||
                      (cell.kind == ImportedCell::Kind::kFormula &&
                       cell.cached == ImportedCell::Cached::kString);
        bool isNumber = cell.kind == ImportedCell::Kind::kNumber ||
                        cell.kind == ImportedCell::Kind::kBool ||
                        (cell.kind == ImportedCell::Kind::kFormula &&
                         cell.cached != ImportedCell::Cached::kString &&
                         cell.cached != ImportedCell::Cached::kNone);
        if (!isText && !isNumber) continue;
        value.isNumber = isNumber;
        value.number = cell.number;
        if (isText) value.text = cell.text;
        cache[{cell.row, cell.column}] = value;
      }
    }
  }
}

bool EmbeddedServer::OpenBook(const std::string& path, bool updateLinks, BookHandle& book) {
  return Guarded([&]() -> bool {
    if (!running_) return Fail(ServerError::kRefused, "the spreadsheet engine has quit");
    std::string full = FullBookPath(path);
    std::string name = BookFileName(full);
    if (engine_.FindBookByName(name))
      return Fail(ServerError::kRefused, "a workbook named " + name + " is already open");
    ImportedBook imported;
    std::string error, bytes;
    if (!ReadBookBytes(full, bytes, error) || !ReadWorkbookBytes(bytes, imported, error))
      return Fail(ServerError::kFileError, error);
    if (updateLinks) RefreshLinks(imported, fs::path(full).parent_path().string());
    Book& b = engine_.LoadImported(std::move(imported), name, full);
    // The file is kept, so that a save rewrites only what changed in it.
    b.source = CaptureSource(b, std::move(bytes));
    book = b.Id();
    return Ok();
  });
}

bool EmbeddedServer::AddBook(const std::string& name, BookHandle& book) {
  return Guarded([&]() -> bool {
    if (!running_) return Fail(ServerError::kRefused, "the spreadsheet engine has quit");
    std::string fileName = name.empty() ? std::string() : BookFileName(name);
    if (fileName.empty()) {
      for (int n = 1;; ++n) {
        fileName = "Book" + std::to_string(n) + ".xlsx";
        if (!engine_.FindBookByName(fileName)) break;
      }
    }
    if (engine_.FindBookByName(fileName))
      return Fail(ServerError::kRefused, "a workbook named " + fileName + " is already open");
    bool hasFolder = name.find_first_of("/\\") != std::string::npos;
    Book& b = engine_.NewBook(fileName, hasFolder ? FullBookPath(name) : fileName);
    book = b.Id();
    return Ok();
  });
}

bool EmbeddedServer::CloseBook(BookHandle book) {
  if (!BookOf(book)) return false;
  engine_.CloseBook(book);
  return Ok();
}

bool EmbeddedServer::BookName(BookHandle book, std::string& name) {
  Book* b = BookOf(book);
  if (!b) return false;
  name = b->Name();
  return Ok();
}

bool EmbeddedServer::BookFullName(BookHandle book, std::string& fullName) {
  Book* b = BookOf(book);
  if (!b) return false;
  fullName = b->FullName();
  return Ok();
}

bool EmbeddedServer::CheckNotOpenElsewhere(const std::string& path) {
  std::string target, error;
  std::vector<std::string> places{path};
  if (SaveTarget(path, target, error) && target != path) places.push_back(target);
  for (const std::string& place : places) {
    LockInfo lock;
    LockState state = CheckLock(place, &lock);
    if (state == LockState::kLive)
      return Fail(ServerError::kFileError,
                  place + " is open in another program (" + LockHolderText(lock) +
                      "); close it there, or use the live LibreOffice connection, and save again");
    if (state == LockState::kStale)
      log_.PostAlways(kMsgInformation, 343,
                      BookFileName(place) + ": an old lock file (" + LockHolderText(lock) +
                    ") is ignored; no program holds the book open");
  }
  return true;
}

bool EmbeddedServer::SaveTo(Book& book, const std::string& path, BookFormat format) {
  return Guarded([&]() -> bool {
    if (!CheckNotOpenElsewhere(path)) return false;
    std::error_code ec;
    if (!book.unsupportedParts.empty() && !KeepsPackage(book, format) && fs::exists(path, ec)) {
      std::string what;
      for (const std::string& part : book.unsupportedParts)
        what += (what.empty() ? "" : ", ") + part;
      log_.Post(kMsgImportant, kMsgLostParts,
                BookFileName(path) + " is saved without what this program cannot write: " + what);
    }
    std::string error;
    const bool keeps = KeepsPackage(book, format);
    if (!WriteBookFile(engine_, book, path, format, error))
      return Fail(ServerError::kFileError, error);
    if (!keeps) book.unsupportedParts.clear();  // a file written anew holds none of them
    book.modified = false;
    return Ok();
  });
}

bool EmbeddedServer::SaveBook(BookHandle book) {
  Book* b = BookOf(book);
  if (!b) return false;
  if (b->FullName().find('/') == std::string::npos)
    return Fail(ServerError::kFileError, b->Name() + " has no file yet");
  // A book keeps the format it was read in, whatever its name says.
  return SaveTo(*b, b->FullName(), b->Format());
}

bool EmbeddedServer::SaveBookAs(BookHandle book, const std::string& path) {
  Book* b = BookOf(book);
  if (!b) return false;
  std::string full = FullBookPath(path);
  std::string name = BookFileName(full);
  Book* other = engine_.FindBookByName(name);
  if (other && other != b)
    return Fail(ServerError::kRefused, "a workbook named " + name + " is already open");
  BookFormat format = EndsWithOds(full) ? BookFormat::kOds : BookFormat::kXlsx;
  if (!SaveTo(*b, full, format)) return false;
  engine_.SetBookPath(b->Id(), name, full, format);
  return Ok();
}

bool EmbeddedServer::SheetCount(BookHandle book, int& count) {
  Book* b = BookOf(book);
  if (!b) return false;
  count = b->SheetCount();
  return Ok();
}

bool EmbeddedServer::SheetItem(BookHandle book, int index, SheetHandle& sheet) {
  Book* b = BookOf(book);
  if (!b) return false;
  if (index < 1 || index > b->SheetCount())
    return Fail(ServerError::kNoSheet, "no worksheet at this position");
  sheet = b->SheetAt(index - 1).Id();
  return Ok();
}

bool EmbeddedServer::AddSheet(BookHandle book, const std::string& name, int position,
                              SheetHandle& sheet) {
  return Guarded([&]() -> bool {
    if (!BookOf(book)) return false;
    SheetNameStatus status = SheetNameStatus::kOk;
    Sheet* s = engine_.AddSheet(book, name, position < 1 ? -1 : position - 1, &status);
    if (!s) return Fail(ServerError::kBadName, SheetNameProblem(status));
    sheet = s->Id();
    return Ok();
  });
}

bool EmbeddedServer::DeleteSheet(SheetHandle sheet) {
  return Guarded([&]() -> bool {
    if (!SheetOf(sheet)) return false;
    if (!engine_.DeleteSheet(sheet))
      return Fail(ServerError::kRefused, "the last sheet of a workbook cannot be deleted");
    return Ok();
  });
}

bool EmbeddedServer::SheetName(SheetHandle sheet, std::string& name) {
  Sheet* s = SheetOf(sheet);
  if (!s) return false;
  name = s->Name();
  return Ok();
}

bool EmbeddedServer::RenameSheet(SheetHandle sheet, const std::string& name) {
  return Guarded([&]() -> bool {
    if (!SheetOf(sheet)) return false;
    SheetNameStatus status = engine_.RenameSheet(sheet, name);
    if (status != SheetNameStatus::kOk)
      return Fail(ServerError::kBadName, SheetNameProblem(status));
    return Ok();
  });
}

bool EmbeddedServer::ActivateSheet(SheetHandle sheet) {
  Sheet* s = SheetOf(sheet);
  if (!s) return false;
  Book* b = engine_.FindBook(s->OwnerBook());
  if (!b) return Fail(ServerError::kNoBook, "no such workbook");
  for (int i = 0; i < b->SheetCount(); ++i)
    if (b->SheetAt(i).Id() == sheet) b->activeSheet = i;
  return Ok();
}

bool EmbeddedServer::CellValue(SheetHandle sheet, int row, int column, std::string& text) {
  return Guarded([&]() -> bool {
    if (!SheetOf(sheet) || !CheckAddress(row, column)) return false;
    text = engine_.ValueString(sheet, row - 1, column - 1);
    return Ok();
  });
}

bool EmbeddedServer::CellText(SheetHandle sheet, int row, int column, std::string& text) {
  return Guarded([&]() -> bool {
    Sheet* s = SheetOf(sheet);
    if (!s || !CheckAddress(row, column)) return false;
    ploxen::CellValue value = engine_.Value(sheet, row - 1, column - 1);
    const Cell* cell = s->Find(row - 1, column - 1);
    const Book* b = engine_.FindBook(s->OwnerBook());
    std::string format;
    if (cell && b && cell->format > 0 && cell->format < static_cast<int>(b->formats.size()))
      format = b->formats[cell->format].numberFormat;
    text = DisplayText(value, format);
    return Ok();
  });
}

bool EmbeddedServer::SetCellValue(SheetHandle sheet, int row, int column, const std::string& text) {
  return Guarded([&]() -> bool { return SetCellValueUnguarded(sheet, row, column, text); });
}

bool EmbeddedServer::SetCellValueUnguarded(SheetHandle sheet, int row, int column,
                                           const std::string& text) {
  Sheet* s = SheetOf(sheet);
  if (!s || !CheckAddress(row, column)) return false;
  engine_.SetInput(sheet, row - 1, column - 1, text);
  if (Book* b = engine_.FindBook(s->OwnerBook())) b->modified = true;
  return Ok();
}

bool EmbeddedServer::LastCell(SheetHandle sheet, int& row, int& column) {
  Sheet* s = SheetOf(sheet);
  if (!s) return false;
  CellAddr last = s->LastUsed();
  row = std::max(1, last.row + 1);
  column = std::max(1, last.col + 1);
  return Ok();
}

bool EmbeddedServer::InsertRow(SheetHandle sheet, int row) {
  return Guarded([&]() -> bool {
    Sheet* s = SheetOf(sheet);
    if (!s) return false;
    if (row < 1 || row > kMaxRows) return Fail(ServerError::kBadAddress, "row outside the sheet");
    if (s->LastUsed().row + 1 >= kMaxRows)
      return Fail(ServerError::kRefused, "the last row of the sheet is in use");
    Book* b = engine_.FindBook(s->OwnerBook());
    std::string problem = b ? InsertProblem(*b, *s, row - 1) : std::string();
    if (!problem.empty()) return Fail(ServerError::kRefused, problem);
    if (!engine_.InsertRow(sheet, row - 1)) return Fail(ServerError::kRefused, "row not inserted");
    if (b) {
      b->modified = true;
      // The saved file moves the parts around the cells with the rows.
      if (b->source && b->source->sheets.count(sheet))
        b->source->sheets[sheet].insertedRows.push_back(row - 1);
    }
    return Ok();
  });
}

bool EmbeddedServer::RangeValues(SheetHandle sheet, const CellBlock& block,
                                 std::vector<std::string>& texts) {
  return Guarded([&]() -> bool {
    if (!SheetOf(sheet) || !CheckBlock(block)) return false;
    texts.clear();
    texts.reserve(static_cast<std::size_t>(block.Size()));
    for (int r = block.row - 1; r < block.row - 1 + block.rows; ++r)
      for (int c = block.column - 1; c < block.column - 1 + block.columns; ++c)
        texts.push_back(engine_.ValueString(sheet, r, c));
    return Ok();
  });
}

bool EmbeddedServer::SetRangeValues(SheetHandle sheet, const CellBlock& block,
                                    const std::vector<std::string>& texts, bool skipEmpty) {
  return Guarded([&]() -> bool {
    Sheet* s = SheetOf(sheet);
    if (!s || !CheckBlock(block)) return false;
    if (texts.size() != static_cast<std::size_t>(block.Size()))
      return Fail(ServerError::kBadAddress, "the texts do not fill the block");
    std::size_t i = 0;
    for (int r = block.row - 1; r < block.row - 1 + block.rows; ++r)
      for (int c = block.column - 1; c < block.column - 1 + block.columns; ++c, ++i)
        if (!skipEmpty || !texts[i].empty()) engine_.SetInput(sheet, r, c, texts[i]);
    if (Book* b = engine_.FindBook(s->OwnerBook())) b->modified = true;
    return Ok();
  });
}

std::shared_ptr<SpreadsheetServer> EmbeddedServerFactory::Attach(const std::string& progId) {
  if (!IsEmbeddedProgId(progId)) return nullptr;
  if (running_ && !running_->IsRunning()) running_.reset();
  return running_;
}

std::shared_ptr<SpreadsheetServer> EmbeddedServerFactory::Start(const std::string& progId) {
  if (!IsEmbeddedProgId(progId)) return nullptr;
  running_ = std::make_shared<EmbeddedServer>(log_);
  return running_;
}

}  // namespace ploxen
