// Workbooks that the in-process spreadsheet holds as files on disk: opening, saving, closing,
// unsaved results, and loading again a file that another program changed meanwhile.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace ploxen {

class EmbeddedServer;
class EmbeddedServerFactory;
class TAplMsgWnd;
class TXlsWnd;
class UserDialogs;

/// The desktop's file commands over the workbook interface. There is no spreadsheet window
/// that holds the books, so the main window opens, saves and closes them through this.
class TBookFiles {
 public:
  static constexpr const char* kOpenFilter =
      "Workbooks (*.xlsx *.ods)|*.xlsx;*.ods|All Files(*)|*.*";

  /// Results of `SaveCurrent` beside 1 (saved), 0 (cancelled) and -1 (failed): the file is
  /// open in another program, and the results stay unsaved here, or the user chose to go on
  /// with the live LibreOffice connection.
  static constexpr int kKeptUnsaved = -2;
  static constexpr int kUseLiveConnection = -3;

  /// `embedded`: where the in-process engine is found while another spreadsheet application
  /// is selected (its books keep their unsaved results and locks); null: the current server.
  TBookFiles(TAplMsgWnd& log, TXlsWnd& xls, UserDialogs& dialogs,
             EmbeddedServerFactory* embedded = nullptr);
  /// Removes every lock this program still holds.
  ~TBookFiles();
  TBookFiles(const TBookFiles&) = delete;
  TBookFiles& operator=(const TBookFiles&) = delete;

  /// Opens a workbook file (also one dropped on the window): the result of `OpenBook`,
  /// below 0 after a posted failure.
  int Open(const std::string& path);
  /// "Open…": the file dialog starting in `folder`, then `Open`; 0 when cancelled.
  int OpenWithDialog(const std::string& folder);
  /// "Save": the current book to its file (a new book asks for one): 1, 0 cancelled, -1 failed.
  int SaveCurrent();
  /// Saves the current book under `path` (.xlsx or .ods) and makes it the book's file.
  int SaveCurrentAs(const std::string& path);
  /// "Close workbook": asks first when the book holds unsaved results; 1 closed, 0 kept.
  int CloseCurrent();
  /// Before the program closes: asks for every book with unsaved results; false: the user
  /// cancelled and the program stays open.
  bool CloseAllowed();
  /// Before a command reads the current book: a file changed on disk since it was loaded is
  /// loaded again, after asking when the book holds unsaved results of ours. 0 unchanged,
  /// 1 loaded again, -1 kept as it is (declined, file gone or unreadable).
  int ReloadIfChanged();

  /// True when the current book holds changes that are not in its file.
  bool CurrentModified();
  /// True when book `index` (1-based) holds changes that are not in its file.
  bool Modified(int index);
  /// Full path of the current book; empty without one.
  std::string CurrentPath() const;

  /// Keeps a lock file of LibreOffice's format beside every book of the in-process engine that
  /// holds unsaved results, and removes it once the book is saved or closed; called after every
  /// command. Another program is so told that its copy would lack our results.
  void KeepLocks();
  /// Removes every lock of this program (the program ends).
  void ReleaseLocks();
  /// Books whose lock this program holds (full paths).
  const std::set<std::string>& HeldLocks() const { return locks_; }
  /// True when the in-process engine holds a book with unsaved results.
  bool AnyUnsaved();
  /// Asks for every book of the in-process engine with unsaved results whether to save it
  /// (Yes), to keep it unsaved in the program (No), or to stop (Cancel): false when stopped.
  bool SaveOrKeepUnsaved(const std::string& why);

 private:
  void Remember(const std::string& path);
  bool AskToSave(int index, const std::string& name, bool& cancelled);
  /// Before a save over `path`: 1 when no other program holds it open, else what the user
  /// chose (kKeptUnsaved or kUseLiveConnection).
  int CheckOpenElsewhere(const std::string& path);
  EmbeddedServer* Engine();

  TAplMsgWnd& log_;
  TXlsWnd& xls_;
  UserDialogs& dialogs_;
  EmbeddedServerFactory* embedded_;
  std::map<std::string, std::int64_t> stamps_;  ///< full path -> stamp when loaded or saved
  std::set<std::string> locks_;                 ///< books whose lock file is ours
  std::set<std::string> lockRefused_;           ///< books whose lock could not be written
};

}  // namespace ploxen
