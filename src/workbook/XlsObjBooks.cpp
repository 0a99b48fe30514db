// Workbook interface: connection to the spreadsheet server and the book operations.
#include <clocale>
#include <locale>

#include "chem/PTools.h"
#include "support/AplMsg.h"
#include "workbook/BookPath.h"
#include "workbook/XlsObj.h"

namespace ploxen {

namespace {

/// True unless `path` names a folder and the open book `book` (of the same file name) was
/// opened from another one. A bare file name, or a server that does not tell the book's
/// folder, matches by name alone.
bool FromSameFolder(SpreadsheetServer& server, BookHandle book, const std::string& path) {
  if (path.find_first_of("/\\") == std::string::npos) return true;
  std::string fullName;
  if (!server.BookFullName(book, fullName) || fullName.find('/') == std::string::npos) return true;
  std::string wanted = FullBookPath(path);
  std::string open = FullBookPath(fullName);
  return wanted.substr(0, wanted.find_last_of('/')) == open.substr(0, open.find_last_of('/'));
}

constexpr const char* kDenied = "Data exchange is denied by MS Excel";

}  // namespace

TXlsWnd::TXlsWnd(TAplMsgWnd& log, SpreadsheetServerFactory& factory, int readCellMessage)
    : log_(log), factory_(factory), readCellMessage_(readCellMessage) {
  DecimalComma = LocaleUsesDecimalComma();
}

TXlsWnd::~TXlsWnd() = default;

bool TXlsWnd::LocaleUsesDecimalComma() {
  try {
    std::locale user("");
    return std::use_facet<std::numpunct<char>>(user).decimal_point() == ',';
  } catch (...) {
    return false;  // no usable locale: the "C" conventions
  }
}

bool TXlsWnd::AttachExcel() {
  std::shared_ptr<SpreadsheetServer> running = factory_.Attach(ProgId);
  if (!running) {
    attached_ = false;
    connected_ = false;
    bookCount_ = 0;
    log_.Post(kMsgImportant, 168, "MS Excel is not running !");
    return false;
  }
  server_ = std::move(running);
  std::string version;
  if (server_->Version(version))
    log_.Post(kMsgImportant, 181, "Connecting to MS Excel Version: " + version);
  else
    log_.Post(kMsgCritical, 181, "No any connection to MS Excel!");
  attached_ = true;
  connected_ = true;
  return true;
}

bool TXlsWnd::StartExcel() {
  std::shared_ptr<SpreadsheetServer> started = factory_.Start(ProgId);
  if (!started) {
    connected_ = false;
    bookCount_ = 0;
    log_.Post(kMsgError, 189, "MS Excel can not be started!");
    return false;
  }
  server_ = std::move(started);
  std::string version;
  server_->Version(version);
  log_.Post(kMsgImportant, 193, "Connecting to MS Excel Version: " + version);
  connected_ = true;
  return true;
}

int TXlsWnd::Connect() {
  CbxBook.Clear();
  CbxSheet.Clear();
  AttachExcel();
  if (StartIfMissing && !attached_) StartExcel();
  if (!connected_) return 0;
  ListBooks(1);
  if (StartIfMissing && !attached_ && server_) server_->SetVisible(true);
  return 1;
}

int TXlsWnd::SwitchServer(const std::string& progId) {
  ProgId = progId;
  server_.reset();
  attached_ = connected_ = false;
  book_ = 0;
  sheet_ = 0;
  bookName_.clear();
  bookFullName_.clear();
  bookIndex_ = bookCount_ = sheetCount_ = 0;
  openedHere_.clear();  // books of the server left behind
  CbxBook.Clear();
  CbxSheet.Clear();
  if (!AttachExcel()) {
    Notify(1);  // the lists of the window follow: empty
    return 0;
  }
  ListBooks(1);
  return 1;
}

bool TXlsWnd::ShowExcel(int sheet) {
  if (!server_ && !AttachExcel()) return false;
  server_->SetVisible(true);
  if (sheet > 0 && SelectSheet(sheet)) server_->ActivateSheet(sheet_);
  return true;
}

bool TXlsWnd::CountBooks(int& count) {
  if (server_ && server_->BookCount(count)) return true;
  log_.Post(kMsgError, 288, kDenied);
  Busy(false);
  return false;
}

int TXlsWnd::ListBooks(int notify) {
  if (!server_) Connect();
  CbxBook.Clear();
  int count = 0;
  if (!CountBooks(count)) return 0;
  bookCount_ = count;
  for (int i = 1; i <= count; ++i) {
    BookHandle book = 0;
    std::string name;
    if (!server_->BookItem(i, book) || !server_->BookName(book, name)) {
      log_.Post(kMsgError, 288, kDenied);
      Busy(false);
      return 0;
    }
    CbxBook.items.push_back(name);
  }
  if (!CbxBook.items.empty()) CbxBook.itemIndex = 0;
  if (notify >= 0) Notify(1);
  return static_cast<int>(CbxBook.items.size());
}

bool TXlsWnd::MakeCurrentBook(int index) {
  BookHandle book = 0;
  std::string name, fullName;
  if (!server_->BookItem(index, book) || !server_->BookName(book, name) ||
      !server_->BookFullName(book, fullName))
    return false;
  if (book != book_) sheet_ = 0;
  book_ = book;
  bookName_ = name;
  bookFullName_ = fullName;
  bookIndex_ = index;
  return true;
}

int TXlsWnd::ListSheets(int book) {
  int count = 0;
  if (!CountBooks(count)) return 0;
  if (book > count) return 0;
  if (book > 0 && !MakeCurrentBook(book)) {
    log_.Post(kMsgError, 288, kDenied);
    return 0;
  }
  int sheets = 0;
  if (!book_ || !server_->SheetCount(book_, sheets)) {
    if (book_) log_.Post(kMsgError, 288, kDenied);
    CbxSheet.Clear();
    return 0;
  }
  sheetCount_ = sheets;
  CbxSheet.Clear();
  for (int i = 1; i <= sheets; ++i) {
    SheetHandle sheet = 0;
    std::string name;
    if (!server_->SheetItem(book_, i, sheet) || !server_->SheetName(sheet, name)) {
      log_.Post(kMsgError, 288, kDenied);
      return 0;
    }
    CbxSheet.items.push_back(name);
  }
  if (!CbxSheet.items.empty()) CbxSheet.itemIndex = 0;
  if (book > 0) Notify(2);
  return static_cast<int>(CbxSheet.items.size());
}

int TXlsWnd::SelectBook(int book) {
  if (book <= 0) return 0;
  int count = 0;
  if (!CountBooks(count)) return 0;
  if (book > count) return 0;
  if (!MakeCurrentBook(book)) {
    log_.Post(kMsgError, 288, kDenied);
    return 0;
  }
  ListSheets(book);
  return book;
}

int TXlsWnd::FindBook(const std::string& path) {
  if (!connected_) return -1;
  int count = 0;
  if (!CountBooks(count)) return -1;
  std::string wanted = LowerAscii(BookFileName(path));
  for (int i = 1; i <= count; ++i) {
    BookHandle book = 0;
    std::string name;
    if (!server_->BookItem(i, book) || !server_->BookName(book, name)) {
      log_.Post(kMsgError, 288, kDenied);
      return -1;
    }
    if (LowerAscii(name) == wanted) return i;
  }
  return 0;
}

int TXlsWnd::IsCurrentBook(const std::string& path) {
  if (path.empty() || !server_) return 0;
  int count = 0;
  if (!server_->BookCount(count)) {
    log_.Post(kMsgError, 288, kDenied);
    return -1;
  }
  if (count == 0 || !book_) return 0;
  std::string name;
  if (!server_->BookName(book_, name)) return server_->LastError() == ServerError::kNoBook ? 0 : -1;
  return name == BookFileName(path) ? 1 : 0;
}

int TXlsWnd::OpenBook(const std::string& path) {
  if (!AttachExcel() && !StartExcel()) return -1;
  // Books are found by file name; a book of that name opened from another folder is not
  // the file asked for, and calculating into it would change the wrong document.
  auto namesake = [&](BookHandle book) {
    std::string open;
    server_->BookFullName(book, open);
    log_.Post(kMsgError, 273, path + " can not be open ");
    log_.Post(kMsgInformation, 273, path + ": a workbook of the same name is open from " + open);
    return -1;
  };
  int current = IsCurrentBook(path);
  if (current > 0 && !FromSameFolder(*server_, book_, path)) return namesake(book_);
  if (current != 0) return current;
  int found = FindBook(path);
  if (found < 0) return 0;
  if (found > 0) {
    BookHandle book = 0;
    if (server_->BookItem(found, book) && !FromSameFolder(*server_, book, path))
      return namesake(book);
    SelectBook(found);
    return found;
  }
  if (LoadBook(path) < 0) return -1;
  return bookCount_;
}

int TXlsWnd::LoadBook(const std::string& path) {
  Busy(true);
  BookHandle book = 0;
  if (!server_ || !server_->OpenBook(path, true, book)) {
    log_.Post(kMsgError, 273, path + " can not be open ");
    if (server_ && !server_->LastErrorText().empty())
      log_.Post(kMsgInformation, 273, path + ": " + server_->LastErrorText());
    Busy(false);
    return -2;
  }
  CbxBook.items.push_back(BookFileName(path));
  std::string full;
  openedHere_.push_back(server_->BookFullName(book, full) ? full : path);
  int count = 0;
  server_->BookCount(count);
  bookCount_ = count;
  MakeCurrentBook(count);
  ListSheets(count);
  Busy(false);
  return 1;
}

int TXlsWnd::SaveBook(const std::string& name) {
  int index = FindBook(name);
  if (index <= 0) return 0;
  BookHandle book = 0;
  if (!server_->BookItem(index, book) || !server_->SaveBook(book)) {
    log_.Post(kMsgError, 343, name + " can not be saved ");
    if (!server_->LastErrorText().empty())
      log_.Post(kMsgImportant, 343, name + ": " + server_->LastErrorText());
    return -1;
  }
  return 1;
}

int TXlsWnd::QuitExcel(const std::string& name) {
  if (FindBook(name) > 1) return 0;
  if (!server_ || !server_->Quit()) {
    log_.Post(kMsgError, 343, "MS Excel can not be closed ");
    return -1;
  }
  server_.reset();
  attached_ = false;
  connected_ = false;
  book_ = 0;
  sheet_ = 0;
  bookName_.clear();
  bookFullName_.clear();
  bookIndex_ = 0;
  bookCount_ = 0;
  sheetCount_ = 0;
  return 1;
}

int TXlsWnd::CloseBook(const std::string& name) {
  int index = FindBook(name);
  if (index <= 0) return 0;
  BookHandle book = 0;
  if (!server_->BookItem(index, book) || !server_->CloseBook(book)) {
    log_.Post(kMsgError, 343, name + " can not be closed ");
    return -1;
  }
  if (book == book_) {
    book_ = 0;
    sheet_ = 0;
    bookName_.clear();
    bookFullName_.clear();
    bookIndex_ = 0;
  }
  return 1;
}

std::string TXlsWnd::BookPath(const std::string& name) {
  if (name == "*") return bookFullName_;
  std::size_t slash = bookFullName_.find_last_of("/\\");
  std::string folder = slash == std::string::npos ? std::string() : bookFullName_.substr(0, slash);
  return ResolvePath(folder, name);
}

}  // namespace ploxen
