// The main window's parameter panel: the parameter string, "Make ->", "Copy", "Save as Link ->"
// and "Don't close", opened and closed by its two small buttons.
#pragma once

#include <QWidget>

#include <functional>

class QCheckBox;
class QFrame;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace ploxen {

class TParamPanel;
class TCalcStartWnd;
class UserDialogs;

/// Shows TParamPanel and forwards its buttons to the model.
class TParamPanelView : public QWidget {
  Q_OBJECT

 public:
  TParamPanelView(TParamPanel& panel, TCalcStartWnd& main, UserDialogs& dialogs,
                  QWidget* parent = nullptr);

  /// Shows the panel's state and the parameter string of the main window.
  void Refresh();

  QLineEdit* EditPrm() const { return editPrm_; }
  QCheckBox* ChkSw() const { return chkSw_; }
  QPushButton* BtnMake() const { return btnMake_; }
  QPushButton* BtnCopy() const { return btnCopy_; }
  QPushButton* BtnSaveLnk() const { return btnSaveLnk_; }
  QToolButton* BtnExpand() const { return btnExpand_; }
  QToolButton* BtnCollaps() const { return btnCollaps_; }

 Q_SIGNALS:
  /// The panel opened or closed: the window takes `height` pixels as its minimum height.
  void heightChanged(int height);

 private:
  TParamPanel& panel_;
  TCalcStartWnd& main_;
  UserDialogs& dialogs_;
  QFrame* frame_ = nullptr;
  QLineEdit* editPrm_ = nullptr;
  QCheckBox* chkSw_ = nullptr;
  QPushButton* btnMake_ = nullptr;
  QPushButton* btnCopy_ = nullptr;
  QPushButton* btnSaveLnk_ = nullptr;
  QToolButton* btnExpand_ = nullptr;
  QToolButton* btnCollaps_ = nullptr;
};

}  // namespace ploxen
