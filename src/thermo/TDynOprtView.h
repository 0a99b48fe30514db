// The "Behaviour of System" window: the fluid behaviour model and the database file.
#pragma once

#include <QDialog>

#include <functional>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ploxen {

class TTDynOprtWnd;

/// Shows TTDynOprtWnd and forwards the model choice and the database dialog to it.
class TTDynOprtWndView : public QDialog {
  Q_OBJECT

 public:
  explicit TTDynOprtWndView(TTDynOprtWnd& model, QWidget* parent = nullptr);

  /// Shows the model index, the database path and the extrapolation option of the model.
  void Refresh();
  /// Called after the user chose another behaviour model (index 0..6).
  std::function<void(int)> onModelChosen;
  /// Called after the user chose another database file (its path).
  std::function<void(const std::string&)> onDatabaseChosen;

  QRadioButton* Item(int index) const { return items_.at(index); }
  QLineEdit* EditDB() const { return editDB_; }
  QPushButton* ButtonDB() const { return buttonDB_; }

 private:
  TTDynOprtWnd& model_;
  std::vector<QRadioButton*> items_;
  QButtonGroup* group_ = nullptr;
  QLineEdit* editDB_ = nullptr;
  QPushButton* buttonDB_ = nullptr;
  QCheckBox* extrapolation_ = nullptr;
  bool refreshing_ = false;
};

}  // namespace ploxen
