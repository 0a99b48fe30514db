// The models' questions and file dialogs answered with Qt's message boxes and file dialogs.
#pragma once

#include <QPointer>
#include <QWidget>

#include "support/UserDialogs.h"

namespace ploxen {

/// Filter text of the models ("Name|*.a;*.b|All|*.*|") in Qt's form ("Name (*.a *.b);;All (*)").
QString QtFilter(const std::string& filter);

/// UserDialogs of the desktop.
class QtDialogs : public UserDialogs {
 public:
  void SetParent(QWidget* parent) { parent_ = parent; }
  void MessageBox(const std::string& text, const std::string& title) override;
  int Question(const std::string& text, const std::string& title, DialogButtons buttons) override;
  std::string OpenFileName(const FileDialogRequest& request) override;
  std::string SaveFileName(const FileDialogRequest& request) override;
  int SelectedFilter() const override { return selectedFilter_; }

 private:
  std::string FileName(const FileDialogRequest& request, bool save);

  QPointer<QWidget> parent_;
  int selectedFilter_ = 1;
};

}  // namespace ploxen
