// Questions a model asks the user: message boxes, OK/Cancel and Yes/No questions, file names.
// The GUI answers with real dialogs; batch runs and tests answer with ScriptedDialogs.
#pragma once

#include <string>

namespace ploxen {

/// Button sets of a question.
enum class DialogButtons { kOk, kOkCancel, kYesNo, kYesNoCancel };

/// Answers of a question (the values of the classic message-box result codes).
enum DialogAnswer : int { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

/// What a file dialog shows.
struct FileDialogRequest {
  std::string title;       ///< caption of the dialog
  std::string filter;      ///< "Text (*.txt)|*.txt|All files|*.*|"
  std::string folder;      ///< folder shown first
  std::string fileName;    ///< proposed file name
  std::string defaultExt;  ///< extension added when the user types none
};

/// The dialogs a model may open.
class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  /// Shows `text` with an OK button.
  virtual void MessageBox(const std::string& text, const std::string& title) = 0;
  /// Asks a question; returns one of DialogAnswer.
  virtual int Question(const std::string& text, const std::string& title,
                       DialogButtons buttons) = 0;
  /// Full path of a file to open; empty when cancelled.
  virtual std::string OpenFileName(const FileDialogRequest& request) = 0;
  /// Full path of a file to save; empty when cancelled.
  virtual std::string SaveFileName(const FileDialogRequest& request) = 0;
  /// 1-based index of the filter selected when the last file dialog closed.
  virtual int SelectedFilter() const { return 1; }
};

}  // namespace ploxen
