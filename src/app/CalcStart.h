// The main window of the shell as a model: start-up, the parameter-string runner, the run
// commands and the end of a batch run.
#pragma once

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

 private:
  void RefreshLists();
  void FillLagrangeTable();
  void BatchEnd();

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
