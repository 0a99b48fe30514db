// The "Messages" window: the message log's entries in three columns with filter, sorting,
// acknowledging and copying.
#pragma once

#include <QWidget>

#include <functional>

class QActionGroup;
class QAction;
class QCheckBox;
class QPushButton;
class QTreeWidget;

namespace ploxen {

class TAplMsgWnd;

/// Draws TAplMsgWnd and forwards the user's commands to it.
class TAplMsgWndView : public QWidget {
  Q_OBJECT

 public:
  explicit TAplMsgWndView(TAplMsgWnd& log, QWidget* parent = nullptr);

  /// Shows the entries, the filter check mark and "On top" as the model holds them.
  void Refresh();
  /// Opens the window (as a post or the "Messages" command does) at the model's position.
  void Open();
  /// Brings the open window to the front.
  void BringToFront();
  /// Called after the user chose another filter (the desktop remembers it).
  std::function<void(int)> onFilterChanged;

  QTreeWidget* List() const { return list_; }
  QAction* FilterAction(int filter) const;
  QAction* CopyAction() const { return copy_; }
  QAction* TimeUpwardsAction() const { return timeUpwards_; }
  QCheckBox* OnTopBox() const { return onTop_; }
  QPushButton* ResetButton() const { return reset_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void BuildMenu();
  void SelectCurrent();
  void ApplyOnTop();

  TAplMsgWnd& log_;
  QTreeWidget* list_ = nullptr;
  QActionGroup* filters_ = nullptr;
  QAction* copy_ = nullptr;
  QAction* timeUpwards_ = nullptr;
  QCheckBox* onTop_ = nullptr;
  QPushButton* reset_ = nullptr;
  QPushButton* close_ = nullptr;
  bool refreshing_ = false;
};

}  // namespace ploxen
