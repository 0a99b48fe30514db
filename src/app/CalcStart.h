// The main window of the shell as a model: start-up, the parameter-string runner, the run
// commands and the end of a batch run.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/CalcStartOptions.h"
#include "process/XlsProcessWorkbook.h"
#include "support/StringGrid.h"

namespace ploxen {

class Periodica;
class TAplMsgWnd;
class TAplStgsWnd;
class TEqlCalcWnd;
class TEqlKernel;
class TLSolverWnd;
class TReCalcWnd;
class TXlsWnd;
class UserDialogs;

/// What the end of a batch run does, worked out from the run's outcome.
struct BatchEndPlan {
  std::string statusWord;       ///< "success" or "error" for B1; empty: no condition sheet
  bool saveAndQuit = false;     ///< save the book and quit the server started here
  bool closeNow = false;        ///< `ShowStatus("close", 0)` ends the program at once
  bool forcedShutdown = false;  ///< "-t:": close after `shutdownSeconds`
  int shutdownSeconds = 0;
};

/// Inputs of the batch end, as the runner left them.
struct BatchEndState {
  bool batchMode = false;
  int conditionSheet = 0;  ///< index found by the last parse, 0 none
  bool calculationOk = false;
  bool stay = false;          ///< "-s:" present or implied
  bool closeAllowed = false;  ///< the last run left no following calculation
  bool startedHere = false;   ///< the spreadsheet server was started by this program
  bool hasShutdown = false;   ///< "-t:" present
  std::string shutdownText;   ///< value of "-t:"
};

/// The decisions of the batch end (status word, save and quit, close, forced shutdown).
BatchEndPlan PlanBatchEnd(const BatchEndState& state);

class TAplStgsWnd;
/// The spreadsheet application's `ProgId` from the settings files: key `OleObject` of
/// section `EXCEL` in the system settings file, overridden by the same key in the program
/// options (".ini" beside the program), overridden by `OleObject` of section `MainWnd` in the
/// user settings file (the main window's choice). Empty when none sets it.
std::string SelectedProgId(TAplStgsWnd& settings);
/// A menu item of the main window as plain data.
struct MenuItemState {
  std::string caption;
  bool visible = false;
  bool enabled = false;
};

/// A window rectangle on the screen [pixels].
struct WindowRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

/// Where the message log goes: directly below the main window when it fits above the screen's
/// bottom edge, else directly above it when that top is greater than 0; `moved` false keeps it.
struct LogPlacement {
  bool moved = false;
  int left = 0;
  int top = 0;
};

/// Places the log window of size `log` beside the main window `main` on `screen`.
LogPlacement PlaceLogWindow(const WindowRect& main, const WindowRect& log, const WindowRect& screen,
                            bool logOpen);

/// The main window model ("Ploxen Mizzolith").
class TCalcStartWnd {
 public:
  static constexpr const char* kTitle = "Ploxen Mizzolith for MS Excel";

  TCalcStartWnd(TAplMsgWnd& log, TAplStgsWnd& settings, TXlsWnd& xls, TEqlCalcWnd& calc,
                TEqlKernel& kernel, Periodica& elements, TLSolverWnd& matrix, TReCalcWnd& recalc,
                int parameterCount);

  // ---- State ----
  bool batchMode = false;
  bool starting = true;
  int parameterCount = 0;
  bool bookOpened = false;
  bool closeAllowed = false;
  int countdown = 5;  ///< timer ticks until the splash closes
  bool timerEnabled = false;
  bool showMainWindow = false;
  bool mainWindowVisible = false;
  bool trayIconShown = false;
  /// The desktop has a notification area; without one a batch run that stays open shows the
  /// main window once the splash closes.
  bool trayAvailable = true;
  bool debug = false;          ///< a parameter beginning with "DBG=1" keeps the program open
  bool programClosed = false;  ///< the main window was closed: the program ends
  std::string parameters;      ///< the global parameter string
  int conditionSheet = 0;      ///< 1-based index of the condition sheet of the last parse
  ParameterOptions options;    ///< the option table of the last parse
  bool stay = false;           ///< "-s:" present or implied in the last parse
  std::string Caption = "Ploxen Mizzolith";
  std::string EditPrm;  ///< program path and parameter string
  std::string programPath;
  std::string StatusPanel0;
  std::string splashUpper, splashLower;
  bool splashVisible = false;
  std::vector<std::string> CbxXls, CbxCond;  ///< book and condition sheet lists
  int CbxXlsIndex = -1, CbxCondIndex = -1;
  std::string statusWord;   ///< what the batch end wrote into B1
  bool saveFailed = false;  ///< the batch end could not save the book

  /// Status lines of a run without a window (the shell prints them on standard error).
  std::function<void(const std::string&)> onStatusLine;
  /// Called at start-up with the spreadsheet application chosen by the settings files
  /// (the export of new workbooks follows it).
  std::function<void(const std::string&)> onProgId;
  /// Lets pending window events be processed.
  std::function<void()> processEvents;

  // ---- Operations ----
  /// The start-up sequence with the command-line parameters (without the program name).
  void StartApplication(const std::vector<std::string>& arguments);
  /// Progress and status of every subsystem.
  void ShowStatus(const std::string& text, int seconds);
  /// Parses and runs the parameter string, following calculations included.
  void RunParameters();
  /// Parses the parameter string and opens its workbook: keys found, or -1.
  int ParseParameters();
  /// "Calculation": runs the selected book and condition sheet, never closing the program.
  void ButtonCalculate();
  /// "Calculate again": runs history entry `k`.
  void CalculateAgain(int k);
  /// "Break".
  void Break();
  /// One timer tick (one second).
  void TimerTick();
  /// "Empty Process": clears C, D, E of the selected book's phase sheets and resets B6
  /// (EmptyProcess.cpp).
  void EmptyProcess(UserDialogs& dialogs);
  /// Exit status of a batch run: 0 only when B1 received "success" and the book was kept.
  int ExitStatus() const;

  // ---- The interactive window (CalcStartWindow.cpp) ----
  static constexpr int kPhaseItems = 8;
  std::string StatusPanel1;              ///< kind of the selected sheet or a hint
  std::vector<std::string> phaseSheets;  ///< sheets whose A1 is "(g)", "(l)" or "(s)"
  std::string visualSheet;               ///< sheet whose A1 is "pres" or "visual"
  bool getPositionChecked = false;       ///< "Get Position" of the visualisation
  std::string projectFolder;             ///< folder of the current book
  MenuItemState MnuCompounds{"Compounds off", false, false};
  std::array<MenuItemState, kPhaseItems> Ph;  ///< phase sheet names of row 4
  MenuItemState MnuExportCompundsInto{"Export compunds into", false, false};
  std::array<MenuItemState, kPhaseItems> MnuToPh;  ///< known phase sheets as export targets
  /// The sheet scan found the visualisation sheet `visualSheet` of the selected book (empty:
  /// none); the visualisation takes it with "Get Position" checked.
  std::function<void(const std::string&)> onVisualSheet;
  /// Called after the lists, captions, menus or status texts changed.
  std::function<void()> onWindowChanged;

  /// The book notification of the workbook interface (1 books listed, 2 sheets listed).
  void OnBookNotification(int code);
  /// Finds condition, visualisation and phase sheets of the selected book from cell A1.
  void SheetScan();
  /// The user selected book `index` of `CbxXls`.
  void CbxXlsChange(int index);
  /// The user selected sheet `index` of `CbxCond`.
  void CbxCondChange(int index);
  /// "Update Files": books and sheets listed again, then the sheet scan.
  void ButtonXlsClick();
  /// Lists the books again and selects the one named `name` (after an open or a save as).
  void ShowBook(const std::string& name);
  /// "Update Sheets".
  void ButtonUpdateClick();
  /// Fills the export-compounds menu as its popup opens.
  void PrepareExportMenu();
  /// Item `k` of the compounds menu: the 1-based index of its phase sheet, or 0 after a
  /// posted failure (no workbook 748, missing sheet 757).
  int PhClick(int k);
  /// Export item `k`: copies the selected phase sheet's compounds into that phase sheet;
  /// the number added, or -1 after a posted failure.
  int MnuToPhClick(int k);
  /// "Elements": false after message 712 when no workbook is listed.
  bool MnuElementsClick();
  /// Reads the selected condition sheet and its phase sheets into the system window's slots
  /// for "Export to New Excel File" and, with `equilibriumFile`, "Save as Equilibrium File";
  /// false when a read failed (posted).
  bool PrepareExport(bool equilibriumFile);
  /// True when the command that reads or changes a workbook may start (else message 344).
  bool WorkbookCommandAllowed();
  /// The selected book as a process workbook, bound to the system window: the state
  /// functions and the element balance read and write it.
  ProcessWorkbook& SelectedProcessBook();
  /// The selected book's name, or empty.
  std::string SelectedBook() const;
  /// The selected condition sheet's name, or empty.
  std::string SelectedSheet() const;
  /// The parameter string "Calculation" runs for the current selection.
  std::string CalculationParameters() const;

 private:
  void RefreshLists();
  void FillLagrangeTable();
  void BatchEnd();
  /// The end of a batch run beside a user's spreadsheet application: saves and closes the
  /// books that the run opened itself; the books the user had open stay as they are.
  void LeaveAttachedServer();
  void Changed() {
    if (onWindowChanged) onWindowChanged();
  }
  void RebuildCompoundsMenu(int sheet, const std::string& kind);
  bool SelectListedBook();
  std::string NotFoundText(const std::string& sheet) const;

  void ApplyCalculationSettings();  ///< `Model` and `ExactSolution` of section `MainWnd`

  TAplMsgWnd& log_;
  TAplStgsWnd& settings_;
  TXlsWnd& xls_;
  TEqlCalcWnd& calc_;
  TEqlKernel& kernel_;
  Periodica& elements_;
  TLSolverWnd& matrix_;
  TReCalcWnd& recalc_;
  XlsProcessWorkbook book_;
  bool attachedAtStart_ = false;
};

}  // namespace ploxen
