// The "Thermodynamic System" window over TEqlCalcWnd: the condition fields, one tab per phase
// slot with its grid, the menus, the PMPhase popup of the grids and the four status panels.
#pragma once

#include <QMainWindow>

#include <array>
#include <functional>
#include <map>
#include <string>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QTableView;

namespace ploxen {

class StringGridModel;
class TEqlCalcWnd;
class TExportBook;
class TTablOprtWnd;
class UserDialogs;

/// The other windows this one opens; an empty hook leaves its item disabled.
struct SystemWindowHooks {
  std::function<void()> showElements;  ///< "Elements": the element selection dialog
  std::function<void()> showCriteria;  ///< "Extended Options"
  std::function<void()> showBalance;   ///< "Elementar Balance"
  std::function<void()> showPlot;      ///< "Plot" of the recorder sheet
  std::function<void()> showLog;       ///< "Messages"
  std::function<void()> showAbout;     ///< "About"
};

/// Shows TEqlCalcWnd and forwards every command and edit to it.
class TEqlCalcWndView : public QMainWindow {
  Q_OBJECT

 public:
  TEqlCalcWndView(TEqlCalcWnd& calc, TTablOprtWnd& table, UserDialogs& dialogs,
                  TExportBook& exportBook, SystemWindowHooks hooks, QWidget* parent = nullptr);

  /// Shows the fields, tabs, grids and status panels of the model.
  void Refresh();
  /// Prepares the popup for the grid of `slot` (sort captions, "Fix. Col." check) and makes that
  /// grid the one the popup and the shortcuts act on.
  void PreparePopup(int slot);

  /// Menu item, popup item or button by its control name ("MnuCalculation1", "PopupCopy1",
  /// "PopDimIn2" for "[kg]", "Sortby0" for "Substance", "Sortby3" for "&X", …).
  QAction* Command(const std::string& name) const;
  QLineEdit* EditTsys() const { return editTsys_; }
  QLineEdit* EditPVsys() const { return editPVsys_; }
  QComboBox* CbxPV() const { return cbxPV_; }
  QPushButton* BtnCalc() const { return btnCalc_; }
  QTabWidget* Tabs() const { return tabs_; }
  QTableView* Grid(int slot) const { return grids_[slot]; }
  StringGridModel* Model(int slot) const { return models_[slot]; }
  QLabel* StatusPanel(int i) const { return status_[i]; }
  QMenu* Popup() const { return popup_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QAction* Add(QMenu* menu, const std::string& name, const QString& caption,
               std::function<void()> action, const QKeySequence& keys = {});
  void BuildCondition(QWidget* parent);
  void BuildMenus();
  void BuildPopup();
  void BuildGrid(int slot);
  void Calculate(bool fromMenu);
  /// The grid's selection from the view and the status panels from the model.
  void TakeSelection(int slot);
  void RefreshGrid(int slot);
  void RefreshStatus();
  int SlotOf(const QObject* watched) const;

  TEqlCalcWnd& calc_;
  TTablOprtWnd& table_;
  UserDialogs& dialogs_;
  TExportBook& exportBook_;
  SystemWindowHooks hooks_;
  std::map<std::string, QAction*> commands_;
  QLineEdit* editTsys_ = nullptr;
  QLineEdit* editPVsys_ = nullptr;
  QLabel* labelT_ = nullptr;
  QLabel* labelPV_ = nullptr;
  QComboBox* cbxPV_ = nullptr;
  QPushButton* btnCalc_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  std::array<QTableView*, 9> grids_{};
  std::array<StringGridModel*, 9> models_{};
  std::array<QLabel*, 4> status_{};
  QMenu* popup_ = nullptr;
  bool running_ = false;
  bool syncing_ = false;  ///< the view is being set from the model
};

}  // namespace ploxen
