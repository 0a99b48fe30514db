// The "MS Excel Interface" window: books, sheets and a grid view of the selected sheet.
#pragma once

#include <QWidget>

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

namespace ploxen {

class StringGridModel;
class TXlsWnd;
class UserDialogs;

/// Shows TXlsWnd's book and sheet lists and its grid `SGX`, and forwards the buttons.
class TXlsWndView : public QWidget {
  Q_OBJECT

 public:
  TXlsWndView(TXlsWnd& xls, UserDialogs& dialogs, QWidget* parent = nullptr);

  /// Shows the lists, the grid and the status panels as the model holds them.
  void Refresh();
  /// Opens a workbook file the user chose (installed by the desktop, which tracks the file);
  /// without it the interface's own "Open" runs.
  std::function<void(const std::string&)> openFile;
  /// Called before a command reads the selected book (a changed file is loaded again).
  std::function<void()> beforeRead;
  /// Called after the lists changed through this window.
  std::function<void()> onListsChanged;

  QComboBox* CbxBook() const { return cbxBook_; }
  QComboBox* CbxSheet() const { return cbxSheet_; }
  QPushButton* ReadButton() const { return read_; }
  QPushButton* OpenButton() const { return open_; }
  QTableView* Grid() const { return grid_; }
  QLabel* StatusPanel(int i) const { return status_[i]; }

 private:
  void Changed();

  TXlsWnd& xls_;
  UserDialogs& dialogs_;
  StringGridModel* model_ = nullptr;
  QComboBox* cbxBook_ = nullptr;
  QComboBox* cbxSheet_ = nullptr;
  QPushButton* read_ = nullptr;
  QPushButton* open_ = nullptr;
  QTableView* grid_ = nullptr;
  QLabel* status_[2] = {nullptr, nullptr};
  bool refreshing_ = false;
};

}  // namespace ploxen
