// The splash of batch runs at the lower-right screen corner, and the notification-area icon.
#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QMenu;
class QSystemTrayIcon;

namespace ploxen {

class TCalcStartWnd;

/// The splash ("TStartShowWnd"): upper label the book, lower label the status text.
class TStartShowWndView : public QWidget {
  Q_OBJECT

 public:
  explicit TStartShowWndView(TCalcStartWnd& main, QWidget* parent = nullptr);

  /// Shows, places or hides the splash as the main window model says.
  void Refresh();
  /// Adds the tray icon with `menu` as its popup when the desktop has a notification area;
  /// false without one.
  bool ShowTrayIcon(QMenu* menu);
  QLabel* Upper() const { return upper_; }
  QLabel* Lower() const { return lower_; }
  QSystemTrayIcon* Tray() const { return tray_; }

 private:
  TCalcStartWnd& main_;
  QLabel* upper_ = nullptr;
  QLabel* lower_ = nullptr;
  QSystemTrayIcon* tray_ = nullptr;
};

}  // namespace ploxen
