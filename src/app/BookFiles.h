// Workbooks that the in-process spreadsheet holds as files on disk: opening, saving, closing,
// unsaved results, and loading again a file that another program changed meanwhile.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace ploxen {

class TAplMsgWnd;
class TXlsWnd;
class UserDialogs;

/// The desktop's file commands over the workbook interface. There is no spreadsheet window
/// that holds the books, so the main window opens, saves and closes them through this.
class TBookFiles {
 public:
  static constexpr const char* kOpenFilter =
      "Workbooks (*.xlsx *.ods)|*.xlsx;*.ods|All Files(*)|*.*";

  TBookFiles(TAplMsgWnd& log, TXlsWnd& xls, UserDialogs& dialogs);

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

 private:
  void Remember(const std::string& path);
  bool AskToSave(int index, const std::string& name, bool& cancelled);

  TAplMsgWnd& log_;
  TXlsWnd& xls_;
  UserDialogs& dialogs_;
  std::map<std::string, std::int64_t> stamps_;  ///< full path -> stamp when loaded or saved
};

}  // namespace ploxen
