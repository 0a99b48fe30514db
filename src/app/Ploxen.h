// The owner of every module of the program, constructed in the program's creation order.
#pragma once

#include "app/CalcStart.h"
#include "app/ParamPanel.h"
#include "app/RecorderPlot.h"
#include "balance/ElBalance.h"
#include "balance/XelBal.h"
#include "chem/Elements.h"
#include "chem/Periodica.h"
#include "kernel/EqKernel.h"
#include "linalg/LSolver.h"
#include "process/EqlCalcX.h"
#include "process/ExportBook.h"
#include "process/ReCalcX.h"
#include "process/SetStFn.h"
#include "support/AplMsg.h"
#include "support/AplStgs.h"
#include "support/ScriptedDialogs.h"
#include "support/TablOprt.h"
#include "thermo/Compounds.h"
#include "thermo/TDynOprt.h"
#include "visual/PresView.h"
#include "workbook/ServerSelector.h"
#include "workbook/XlsObj.h"

namespace ploxen {

/// Every window and module of the program as one object each. The message log comes first
/// because every other module posts to it; the rest follow the start-up order of the program
/// entry as far as their references allow. Destroyed in reverse.
class TPloxen {
 public:
  /// `parameterCount`: number of command-line parameters (0 for an interactive start).
  /// `ui` answers the models' questions (a desktop's dialogs); null: the scripted `dialogs`.
  explicit TPloxen(int parameterCount, UserDialogs* ui = nullptr);
  TPloxen(const TPloxen&) = delete;
  TPloxen& operator=(const TPloxen&) = delete;

  TAplMsgWnd log;
  TAplStgsWnd settings;
  Periodica elements;
  ScriptedDialogs dialogs;   ///< answers of a run without a desktop
  UserDialogs& userDialogs;  ///< the dialogs the models ask: `dialogs` or the desktop's
  ServerSelector servers;    ///< the embedded engine or LibreOffice, by `ProgId`
  TTablOprtWnd table;
  TTDynOprtWnd thermo;
  TEqlKernel kernel;
  TEqlCalcWnd calc;
  TLSolverWnd lsolver;  ///< the system matrix works on the element selection of `calc`
  TReCalcWnd recalc;
  TXlsWnd xls;
  TExportBook exportBook;
  TCalcStartWnd main;
  TParamPanel params;  ///< the main window's parameter panel and tools
  TRecorderPlot plot;  ///< "Plot" of the recorder sheet
  TSetStFnDlg setStFn;      ///< "State Functions and Properties"
  TElBalanceDlg elBalance;  ///< "Elementar Balance" of the system window
  TXelBalDlg xelBalance;    ///< "Element Balance" workbook of the main window
  TElementsDlg elementsDlg;  ///< "Elements": its selection flags are those of `calc`
  TCompoundsDlg compounds;   ///< "Compounds" of a phase sheet
  TXlsWnd visualXls;        ///< the visualisation's own workbook interface
  TPresViewWnd visual;      ///< "Visualisation"
};

}  // namespace ploxen
