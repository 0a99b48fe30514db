// The main window of the desktop: book and condition-sheet lists, the run commands, and the
// menus and toolbar that open every other window.
#pragma once

#include <QMainWindow>

#include <array>
#include <functional>
#include <map>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;

namespace ploxen {

class TBookFiles;
class TParamPanelView;
class TPloxen;
class TSpreadsheetChoice;

/// The other windows the main window opens (created by the desktop).
struct DesktopWindows {
  std::function<void()> showLog;        ///< "Messages"
  std::function<void()> showCriteria;   ///< "Calculation Details", "Extended Options"
  std::function<void()> showBehaviour;  ///< "Behaviour"
  std::function<void()> showInterface;  ///< "MS Excel Interface"
  std::function<void()> showAbout;      ///< "About"
  /// "Lagrange Coeff", "Element Balance" and "State Functions".
  std::function<void()> showMatrix, showElementBalance, showStateFunctions;
  std::function<void()> showElements;   ///< "Elements"
  std::function<void(int)> showCompounds;  ///< item k (0..7) of the compounds menu
  std::function<void()> showVisual;     ///< "Visualisation", "Setup View"
  std::function<void()> showPlot;       ///< "Plot" of the recorder sheet
  /// Places the log window below or above the main window unless it is open.
  std::function<void()> placeLog;
  std::function<void()> showSystem;  ///< "Thermodynamic System"
  std::function<void()> afterRun;    ///< a calculation of this window has ended
};

/// Shows TCalcStartWnd and forwards every command to the models.
class TCalcStartWndView : public QMainWindow {
  Q_OBJECT

 public:
  TCalcStartWndView(TPloxen& p, TBookFiles& files, TSpreadsheetChoice& choice,
                    DesktopWindows windows, QWidget* parent = nullptr);

  /// Shows the lists, caption, status panels, menus and the enabled commands.
  void Refresh();
  /// Status panel 0 only (called while a calculation runs).
  void RefreshStatus();
  /// Opens a workbook file and selects it (the dialog, a dropped file, the interface window).
  void OpenFile(const std::string& path);
  /// Applies a geometry text "left,top,width,height" of the user settings.
  void ApplyGeometry(const std::string& text);
  /// The window's geometry as the user settings keep it.
  std::string GeometryText() const;

  /// Command by its control name ("ButtonCalculate", "BtnBreak", "MnuHst0", …).
  QAction* Command(const std::string& name) const;
  QComboBox* CbxXls() const { return cbxXls_; }
  QComboBox* CbxCond() const { return cbxCond_; }
  QPushButton* ButtonCalculate() const { return buttonCalculate_; }
  QPushButton* BtnBreak() const { return buttonBreak_; }
  QLabel* StatusPanel(int i) const { return status_[i]; }
  QMenu* HistoryMenu() const { return history_; }
  QMenu* CompoundsMenu() const { return compounds_; }
  QMenu* ExportMenu() const { return export_; }
  TParamPanelView* ParamPanel() const { return panel_; }
  QMenu* ToolsMenu() const { return tools_; }
  /// True while a command of this window runs a calculation.
  bool Calculating() const { return calculating_; }
  /// Writes a changed setting (installed by the desktop).
  std::function<void(const std::string& key, const std::string& value)> writeSetting;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QAction* Add(QMenu* menu, const std::string& name, const QString& caption,
               std::function<void()> action, const QKeySequence& keys = {});
  void BuildCentral();
  void BuildMenus();
  void BuildFileMenu(QMenu* menu);
  void BuildCalculationMenu(QMenu* menu);
  void BuildApplicationMenu(QMenu* menu);
  void BuildToolBar();
  void BuildToolsMenu(QMenu* menu);
  /// The window takes the panel's height as its minimum (never below what its layout needs).
  void ApplyPanelHeight(int height);
  void RefreshMenus();
  void RefreshHistory();
  void UpdateEnabled();
  /// Runs a calculation command with the busy cursor, then saves and shows the results.
  void RunCalculation(const std::function<void()>& command);
  /// Before a command that reads the selected book: a changed file is loaded again.
  void BeforeRead();
  /// "State Functions" of the menu and the toolbar.
  void ShowStateFunctions();
  void CloseWorkbook();
  void SaveWorkbook();
  /// What a save's outcome asks for next: the live connection and a new calculation there.
  void AfterSave(int saved, const std::string& path);
  void ShowInSpreadsheetApplication();

  TPloxen& p_;
  TBookFiles& files_;
  TSpreadsheetChoice& choice_;
  DesktopWindows windows_;
  std::map<std::string, QAction*> commands_;
  QComboBox* cbxXls_ = nullptr;
  QComboBox* cbxCond_ = nullptr;
  TParamPanelView* panel_ = nullptr;
  QPushButton* buttonCalculate_ = nullptr;
  QPushButton* buttonBreak_ = nullptr;
  QLabel* status_[2] = {nullptr, nullptr};
  QMenu* history_ = nullptr;
  QMenu* compounds_ = nullptr;
  QMenu* export_ = nullptr;
  QMenu* tools_ = nullptr;
  QTimer* geometryTimer_ = nullptr;
  bool calculating_ = false;
  bool refreshing_ = false;
};

}  // namespace ploxen
