// Opening, saving and closing workbook files, and loading again what changed on disk.
#include "app/BookFiles.h"

#include "support/AplMsg.h"
#include "support/FileIO.h"
#include "support/UserDialogs.h"
#include "workbook/BookPath.h"
#include "workbook/EmbeddedServer.h"
#include "workbook/LockFile.h"
#include "workbook/ServerSelector.h"
#include "workbook/XlsObj.h"

namespace ploxen {
namespace {

constexpr const char* kTitle = "Ploxen Mizzolith";
constexpr const char* kSaveFilter =
    "Excel Workbook (*.xlsx)|*.xlsx|OpenDocument Spreadsheet (*.ods)|*.ods|";

/// A book that another program holds open: our results stay unsaved in the program.
constexpr int kMsgOpenElsewhere = 2163;
/// Our own lock beside a book with unsaved results cannot be written.
constexpr int kMsgNoOwnLock = 2164;

bool HasFolder(const std::string& path) {
  return path.find_first_of("/\\") != std::string::npos;
}

/// The profile field of this program's own lock files.
bool WrittenByThisProgram(const LockInfo& lock) {
  return lock.profile.starts_with("ploxen-mizzolith:");
}

}  // namespace

TBookFiles::TBookFiles(TAplMsgWnd& log, TXlsWnd& xls, UserDialogs& dialogs,
                       EmbeddedServerFactory* embedded)
    : log_(log), xls_(xls), dialogs_(dialogs), embedded_(embedded) {}

TBookFiles::~TBookFiles() {
  ReleaseLocks();
}

EmbeddedServer* TBookFiles::Engine() {
  if (auto* current = dynamic_cast<EmbeddedServer*>(xls_.Server())) return current;
  if (!embedded_) return nullptr;
  return dynamic_cast<EmbeddedServer*>(embedded_->Attach("").get());
}

void TBookFiles::KeepLocks() {
  std::set<std::string> wanted;
  if (EmbeddedServer* engine = Engine()) {
    int count = 0;
    engine->BookCount(count);
    for (int i = 1; i <= count; ++i) {
      BookHandle handle = 0;
      const Book* book = engine->BookItem(i, handle) ? engine->Engine().FindBook(handle) : nullptr;
      if (book && book->modified && HasFolder(book->FullName())) wanted.insert(book->FullName());
    }
  }
  for (auto it = locks_.begin(); it != locks_.end();) {
    if (wanted.count(*it) != 0) {
      ++it;
      continue;
    }
    RemoveOwnLock(*it);
    it = locks_.erase(it);
  }
  for (auto it = lockRefused_.begin(); it != lockRefused_.end();) {
    it = wanted.count(*it) != 0 ? std::next(it) : lockRefused_.erase(it);
  }
  for (const std::string& path : wanted) {
    if (locks_.count(path) != 0 || lockRefused_.count(path) != 0) continue;
    std::string error;
    if (CreateOwnLock(path, error)) {
      locks_.insert(path);
    } else {
      lockRefused_.insert(path);  // said once while the results stay unsaved
      log_.Post(kMsgImportant, kMsgNoOwnLock,
                error + "; other programs are not told that this program holds unsaved results");
    }
  }
}

void TBookFiles::ReleaseLocks() {
  for (const std::string& path : locks_) RemoveOwnLock(path);
  locks_.clear();
  lockRefused_.clear();
}

int TBookFiles::CheckOpenElsewhere(const std::string& path) {
  // LibreOffice as the spreadsheet application saves its own documents.
  if (!dynamic_cast<EmbeddedServer*>(xls_.Server())) return 1;
  LockInfo lock;
  if (CheckLock(path, &lock) != LockState::kLive) return 1;
  const std::string holder = LockHolderText(lock);
  const bool office = !WrittenByThisProgram(lock);
  log_.Post(kMsgCritical, kMsgOpenElsewhere,
            path + " is open in " + (office ? "LibreOffice" : "another Ploxen Mizzolith") + " (" +
                holder + "); the results stay unsaved in this program");
  if (!office || !ServerSelector::HasLibreOffice()) {
    dialogs_.MessageBox(BookFileName(path) + " is open in " +
                            (office ? "LibreOffice" : "another window of this program") + " (" +
                            holder +
                            ").\nThe results stay unsaved here; close the book there and "
                            "save again.",
                        kTitle);
    return kKeptUnsaved;
  }
  const int answer = dialogs_.Question(
      BookFileName(path) + " is open in LibreOffice (" + holder +
          "), so this program does not write over it.\n\n"
          "Yes: use the live LibreOffice connection; the calculation runs again in the "
          "document open there, and you save it in LibreOffice.\n"
          "No: keep the results unsaved in this program; save again once the book is closed "
          "in LibreOffice.",
      kTitle, DialogButtons::kYesNo);
  return answer == kAnswerYes ? kUseLiveConnection : kKeptUnsaved;
}

std::string TBookFiles::CurrentPath() const {
  return xls_.BookFullName();
}

void TBookFiles::Remember(const std::string& path) {
  if (HasFolder(path)) stamps_[path] = FileStamp(path);
}

int TBookFiles::Open(const std::string& path) {
  if (path.empty()) return 0;
  const int result = xls_.OpenBook(path);
  if (result < 0) return result;  // LoadBook posted why
  // The same file opened a second time: a change on disk is taken up now.
  if (stamps_.count(CurrentPath()) != 0) {
    ReloadIfChanged();
  } else {
    Remember(CurrentPath());
  }
  return result;
}

int TBookFiles::OpenWithDialog(const std::string& folder) {
  FileDialogRequest request;
  request.title = "Open Workbook";
  request.filter = kOpenFilter;
  request.folder = folder;
  const std::string path = dialogs_.OpenFileName(request);
  if (path.empty()) return 0;
  return Open(path);
}

int TBookFiles::SaveCurrent() {
  if (!xls_.CurrentBook() || xls_.BookName().empty()) return 0;
  const std::string path = CurrentPath();
  if (!HasFolder(path)) {
    // A new book has no file yet.
    FileDialogRequest request;
    request.title = "Save Workbook";
    request.filter = kSaveFilter;
    request.fileName = xls_.BookName();
    request.defaultExt = "xlsx";
    const std::string chosen = dialogs_.SaveFileName(request);
    if (chosen.empty()) return 0;
    return SaveCurrentAs(chosen);
  }
  if (const int open = CheckOpenElsewhere(path); open != 1) return open;
  const int saved = xls_.SaveBook(xls_.BookName());
  if (saved > 0) Remember(path);
  KeepLocks();
  return saved > 0 ? 1 : -1;
}

int TBookFiles::SaveCurrentAs(const std::string& path) {
  SpreadsheetServer* server = xls_.Server();
  if (!server || !xls_.CurrentBook()) return 0;
  if (const int open = CheckOpenElsewhere(path); open != 1) return open;
  if (!server->SaveBookAs(xls_.CurrentBook(), path)) {
    log_.Post(kMsgError, 343, path + " can not be saved ");
    if (!server->LastErrorText().empty()) {
      log_.Post(kMsgInformation, 343, path + ": " + server->LastErrorText());
    }
    return -1;
  }
  // The book carries its new name from now on: the interface lists it again.
  const int index = xls_.BookIndex();
  xls_.ListBooks(-1);
  if (index > 0) xls_.SelectBook(index);
  Remember(path);
  KeepLocks();
  return 1;
}

bool TBookFiles::Modified(int index) {
  auto* embedded = dynamic_cast<EmbeddedServer*>(xls_.Server());
  BookHandle handle = 0;
  if (!embedded || !embedded->BookItem(index, handle)) return false;
  const Book* book = embedded->Engine().FindBook(handle);
  return book && book->modified;
}

bool TBookFiles::CurrentModified() {
  return xls_.CurrentBook() && xls_.BookIndex() > 0 && Modified(xls_.BookIndex());
}

bool TBookFiles::AskToSave(int index, const std::string& name, bool& cancelled) {
  cancelled = false;
  const int answer = dialogs_.Question(
      "The workbook " + name + " holds results that are not saved.\nSave them now?", kTitle,
      DialogButtons::kYesNoCancel);
  if (answer == kAnswerCancel) {
    cancelled = true;
    return false;
  }
  if (answer != kAnswerYes) return true;
  if (xls_.BookIndex() != index) xls_.SelectBook(index);
  const int saved = SaveCurrent();
  if (saved <= 0) cancelled = true;  // not saved: nothing is dropped
  return saved > 0;
}

int TBookFiles::CloseCurrent() {
  SpreadsheetServer* server = xls_.Server();
  const BookHandle book = xls_.CurrentBook();
  if (!server || !book || xls_.BookIndex() < 1) return 0;
  if (CurrentModified()) {
    bool cancelled = false;
    AskToSave(xls_.BookIndex(), xls_.BookName(), cancelled);
    if (cancelled) return 0;
  } else if (!dynamic_cast<EmbeddedServer*>(server)) {
    // A document of the user's office: its own unsaved edits are not ours to drop.
    const int answer = dialogs_.Question(
        "Close " + xls_.BookName() +
            " in LibreOffice without saving it?\nChanges not saved there are lost.",
        kTitle, DialogButtons::kYesNo);
    if (answer != kAnswerYes) return 0;
  }
  stamps_.erase(CurrentPath());
  if (!server->CloseBook(book)) return 0;
  xls_.ListBooks(1);
  KeepLocks();
  return 1;
}

bool TBookFiles::AnyUnsaved() {
  EmbeddedServer* engine = Engine();
  int count = 0;
  if (!engine || !engine->BookCount(count)) return false;
  for (int i = 1; i <= count; ++i) {
    BookHandle handle = 0;
    const Book* book = engine->BookItem(i, handle) ? engine->Engine().FindBook(handle) : nullptr;
    if (book && book->modified) return true;
  }
  return false;
}

bool TBookFiles::SaveOrKeepUnsaved(const std::string& why) {
  int count = 0;
  if (!xls_.Server() || !xls_.Server()->BookCount(count)) return true;
  for (int i = 1; i <= count; ++i) {
    if (!Modified(i)) continue;
    std::string name;
    BookHandle handle = 0;
    if (!xls_.Server()->BookItem(i, handle) || !xls_.Server()->BookName(handle, name)) continue;
    const int answer =
        dialogs_.Question("The workbook " + name + " holds results that are not saved.\n" + why +
                              "\nSave them now? (No keeps them unsaved in this program.)",
                          kTitle, DialogButtons::kYesNoCancel);
    if (answer == kAnswerCancel) return false;
    if (answer != kAnswerYes) continue;
    if (xls_.BookIndex() != i) xls_.SelectBook(i);
    if (SaveCurrent() <= 0) return false;  // not saved: the user decides again
  }
  return true;
}

bool TBookFiles::CloseAllowed() {
  // Books left in the in-process engine while another spreadsheet application is selected.
  if (!dynamic_cast<EmbeddedServer*>(xls_.Server()) && AnyUnsaved()) {
    const int answer = dialogs_.Question(
        "Workbooks of the embedded engine hold results that are not saved.\n"
        "Close the program and drop them? (No: switch the spreadsheet application back to "
        "Embedded and save them.)",
        kTitle, DialogButtons::kYesNo);
    if (answer != kAnswerYes) return false;
  }
  if (!xls_.Server()) return true;
  int count = 0;
  if (!xls_.Server()->BookCount(count)) return true;
  for (int i = 1; i <= count; ++i) {
    if (!Modified(i)) continue;
    std::string name;
    BookHandle handle = 0;
    if (!xls_.Server()->BookItem(i, handle) || !xls_.Server()->BookName(handle, name)) continue;
    bool cancelled = false;
    AskToSave(i, name, cancelled);
    if (cancelled) return false;
  }
  return true;
}

int TBookFiles::ReloadIfChanged() {
  const std::string path = CurrentPath();
  if (!xls_.CurrentBook() || !HasFolder(path)) return 0;
  if (!dynamic_cast<EmbeddedServer*>(xls_.Server())) return 0;  // the office reads its files
  const std::int64_t stamp = FileStamp(path);
  auto known = stamps_.find(path);
  if (known == stamps_.end()) {
    Remember(path);
    return 0;
  }
  if (stamp == known->second) return 0;
  if (stamp == 0) {
    known->second = 0;  // reported once
    log_.Post(kMsgCritical, 2162,
              path + " does not exist any more; the workbook stays open and Save writes it again");
    return -1;
  }
  if (CurrentModified()) {
    const int answer =
        dialogs_.Question(xls_.BookName() +
                              " was changed on disk by another program, and it holds results that "
                              "are not saved.\nLoad the file from disk and drop those results?",
                          kTitle, DialogButtons::kYesNo);
    if (answer != kAnswerYes) {
      known->second = stamp;  // the user keeps this version; Save writes it over the file
      return -1;
    }
  }
  SpreadsheetServer* server = xls_.Server();
  if (!server->CloseBook(xls_.CurrentBook())) return -1;
  stamps_.erase(path);
  if (xls_.OpenBook(path) < 0) {
    xls_.ListBooks(1);
    return -1;
  }
  Remember(path);
  KeepLocks();
  log_.Post(kMsgImportant, 2161, path + " was changed on disk and is loaded again");
  return 1;
}

}  // namespace ploxen
