// The "Elements" window: the periodic table of element buttons over TElementsDlg.
#pragma once

#include <QDialog>

#include <array>

class QLabel;
class QPushButton;

namespace ploxen {

class TElementsDlg;

/// One button per element in its table place, "D" and the user elements in two rows below;
/// red captions are selected, blue ones not. "Accept" commits the selection.
class TElementsDlgView : public QDialog {
  Q_OBJECT

 public:
  explicit TElementsDlgView(TElementsDlg& model, QWidget* parent = nullptr);

  /// Buttons and labels from the model: caption, hint, visibility and colour.
  void Refresh();
  /// Shows the window with the committed selection, in front.
  void Open();
  QPushButton* Button(int index) const { return buttons_[index]; }
  QPushButton* Accept() const { return accept_; }
  QLabel* Label1() const { return label1_; }

 private:
  TElementsDlg& model_;
  std::array<QPushButton*, 132> buttons_{};
  QPushButton* accept_ = nullptr;
  QLabel* label1_ = nullptr;
  QLabel* label2_ = nullptr;
  QLabel* label3_ = nullptr;
};

}  // namespace ploxen
