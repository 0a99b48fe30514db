// Dialogs answered from queues, for batch runs and tests.
#include "support/ScriptedDialogs.h"

namespace ploxen {

void ScriptedDialogs::MessageBox(const std::string& text, const std::string& title) {
  requests_.push_back({DialogRequest::kMessage, text, title, DialogButtons::kOk, {}});
}

int ScriptedDialogs::Question(const std::string& text, const std::string& title,
                              DialogButtons buttons) {
  requests_.push_back({DialogRequest::kQuestion, text, title, buttons, {}});
  if (!answers_.empty()) {
    int answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  switch (buttons) {
    case DialogButtons::kOk:
      return kAnswerOk;
    case DialogButtons::kYesNo:
      return kAnswerNo;
    default:
      return kAnswerCancel;
  }
}

std::string ScriptedDialogs::OpenFileName(const FileDialogRequest& request) {
  requests_.push_back({DialogRequest::kOpenFile, request.title, {}, DialogButtons::kOk, request});
  return NextFileName();
}

std::string ScriptedDialogs::SaveFileName(const FileDialogRequest& request) {
  requests_.push_back({DialogRequest::kSaveFile, request.title, {}, DialogButtons::kOk, request});
  return NextFileName();
}

std::string ScriptedDialogs::NextFileName() {
  selectedFilter_ = 1;
  if (fileNames_.empty()) return {};
  auto [path, filter] = fileNames_.front();
  fileNames_.pop_front();
  selectedFilter_ = filter;
  return path;
}

}  // namespace ploxen
