// One desktop session: the program's modules, every window of the desktop, and how they are
// connected. The program entry runs one; the GUI tests build their own.
#pragma once

#include <QObject>

#include <memory>
#include <string>
#include <vector>

#include "app/BookFiles.h"
#include "app/Ploxen.h"
#include "app/SpreadsheetChoice.h"
#include "gui/EventPump.h"
#include "gui/QtDialogs.h"

class QMenu;
class QTimer;

namespace ploxen {

class TAboutView;
class TAplMsgWndView;
class TCalcStartWndView;
class TElBalanceDlgView;
class TEqlCalcWndView;
class TCompoundsDlgView;
class TElementsDlgView;
class TEqlKernelView;
class TLSolverWndView;
class TSetStFnDlgView;
class TRecorderPlotView;
class TStartShowWndView;
class TTDynOprtWndView;
class TXelBalDlgView;
class TXlsWndView;
class TPresViewWndView;

/// The modules and windows of a desktop run. Nothing is shown until `Start`.
class DesktopSession : public QObject {
  Q_OBJECT

 public:
  /// `dialogs`: the answers to the models' questions; null uses Qt's dialogs.
  DesktopSession(int parameterCount, UserDialogs* dialogs = nullptr);
  ~DesktopSession() override;

  /// The start-up sequence with the command-line parameters: the main window is shown for an
  /// interactive start, the splash and the tray icon for a batch run. `show` false keeps every
  /// window hidden (tests).
  void Start(const std::vector<std::string>& arguments, bool show = true);
  /// True when the program has ended (a batch run closed it, or the main window closed).
  bool Finished() const { return p->main.programClosed; }
  /// Exit status: a batch run's, 0 for an interactive session.
  int ExitStatus() const;
  /// Places the message log window below or above the main window unless it is open.
  void PlaceLog();
  /// Shows the message log window.
  void ShowLog();
  /// The system window's "Elementar Balance": its phase tables go to the balance table,
  /// which is shown.
  void ShowElementarBalance();
  /// Shows the "Plot" of the selected condition sheet's recorder (main and system window).
  void ShowPlot();

  std::unique_ptr<TPloxen> p;
  std::unique_ptr<TBookFiles> files;
  std::unique_ptr<TSpreadsheetChoice> choice;  ///< menu "Spreadsheet application"
  EventPump pump;
  TCalcStartWndView* main = nullptr;
  TAplMsgWndView* log = nullptr;
  TEqlKernelView* criteria = nullptr;
  TEqlCalcWndView* system = nullptr;  ///< "Thermodynamic System"
  TTDynOprtWndView* behaviour = nullptr;
  TXlsWndView* xls = nullptr;
  TPresViewWndView* visual = nullptr;  ///< "Visualisation"
  TAboutView* about = nullptr;
  TLSolverWndView* matrix = nullptr;          ///< "System Matrix"
  TElBalanceDlgView* elBalance = nullptr;     ///< "Elementar Balance"
  TXelBalDlgView* xelBalance = nullptr;       ///< "Element Balance"
  TSetStFnDlgView* stateFunctions = nullptr;  ///< "State Functions and Properties"
  TElementsDlgView* elements = nullptr;    ///< "Elements"
  TCompoundsDlgView* compounds = nullptr;  ///< "Compounds", modal
  TRecorderPlotView* plot = nullptr;
  TStartShowWndView* splash = nullptr;
  QMenu* trayMenu = nullptr;
  QTimer* timer = nullptr;  ///< one tick per second while the model's timer runs

 Q_SIGNALS:
  /// The program ended (the event loop quits).
  void finished();

 private:
  void Connect();
  void ApplyUserSettings();
  void WriteSetting(const std::string& key, const std::string& value);
  void Tick();
  void ConnectAnalysis();
  void OfferExportSave(const std::string& fileName);
  void ShowPhaseSheetCompounds(int k);

  QtDialogs qtDialogs_;
  UserDialogs* dialogs_ = nullptr;
  bool shown_ = true;
};

}  // namespace ploxen
