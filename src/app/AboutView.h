// The about dialog.
#pragma once

#include <QDialog>

namespace ploxen {

/// Name, version and purpose of the program with its icon.
class TAboutView : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutView(QWidget* parent = nullptr);
};

}  // namespace ploxen
