// Dialogs answered from queues, for batch runs and tests; every request is recorded.
#pragma once

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "support/UserDialogs.h"

namespace ploxen {

/// One request a model made.
struct DialogRequest {
  enum Kind { kMessage, kQuestion, kOpenFile, kSaveFile };
  Kind kind = kMessage;
  std::string text;   ///< message text, or the file dialog's title
  std::string title;  ///< caption of a message or question
  DialogButtons buttons = DialogButtons::kOk;
  FileDialogRequest file;
};

/// Answers questions and file dialogs from queues; without a queued answer a question gets the
/// cautious answer (OK for kOk, No for kYesNo, Cancel otherwise) and a file dialog is cancelled.
class ScriptedDialogs : public UserDialogs {
 public:
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  /// Answer of the next file dialog, closed with filter `filter` (1-based) selected.
  void QueueFileName(const std::string& path, int filter = 1) {
    fileNames_.push_back({path, filter});
  }

  void MessageBox(const std::string& text, const std::string& title) override;
  int Question(const std::string& text, const std::string& title, DialogButtons buttons) override;
  std::string OpenFileName(const FileDialogRequest& request) override;
  std::string SaveFileName(const FileDialogRequest& request) override;
  int SelectedFilter() const override { return selectedFilter_; }

  const std::vector<DialogRequest>& Requests() const { return requests_; }
  void ClearRequests() { requests_.clear(); }

 private:
  std::string NextFileName();

  std::deque<int> answers_;
  std::deque<std::pair<std::string, int>> fileNames_;
  int selectedFilter_ = 1;
  std::vector<DialogRequest> requests_;
};

}  // namespace ploxen
