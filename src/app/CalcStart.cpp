// The main window model: start-up sequence, status display, timer and the end of a batch run.
#include "app/CalcStart.h"

#include "chem/PTools.h"
#include "process/EqlCalcX.h"
#include "support/AplMsg.h"
#include "support/AplStgs.h"
#include "thermo/TDynOprt.h"
#include "kernel/EqKernel.h"
#include "workbook/XlsObj.h"

namespace ploxen {

TCalcStartWnd::TCalcStartWnd(TAplMsgWnd& log, TAplStgsWnd& settings, TXlsWnd& xls,
                             TEqlCalcWnd& calc, TEqlKernel& kernel, Periodica& elements,
                             TLSolverWnd& matrix, TReCalcWnd& recalc, int parameters)
    : parameterCount(parameters),
      mainWindowVisible(parameters == 0),
      log_(log),
      settings_(settings),
      xls_(xls),
      calc_(calc),
      kernel_(kernel),
      elements_(elements),
      matrix_(matrix),
      recalc_(recalc),
      book_(xls) {}

std::string SelectedProgId(TAplStgsWnd& settings) {
  std::string progId;
  auto read = [&](const std::string& path, const char* section) {
    if (settings.Load(path) != 1 || settings.SelectSection(section) < 1) return;
    const std::string value = Trim(settings.GetValue("OleObject"));
    if (!value.empty()) progId = value;
  };
  read(settings.AppSettingsPath(), "EXCEL");
  read(settings.ProgramOptionsPath(), "EXCEL");
  read(settings.UserSettingsPath(), "MainWnd");
  return progId;
}

BatchEndPlan PlanBatchEnd(const BatchEndState& s) {
  BatchEndPlan plan;
  if (s.batchMode && s.conditionSheet > 0) plan.statusWord = s.calculationOk ? "success" : "error";
  if (!s.stay && s.closeAllowed) {
    plan.saveAndQuit = s.startedHere;
    plan.closeNow = !s.hasShutdown;
  }
  if (s.hasShutdown) {
    plan.forcedShutdown = true;
    plan.shutdownSeconds = TextToInt(s.shutdownText);
  }
  return plan;
}

void TCalcStartWnd::StartApplication(const std::vector<std::string>& arguments) {
  calc_.showStatus = [this](const std::string& text, int seconds) { ShowStatus(text, seconds); };
  calc_.onAddRecent = [this](const std::string& entry) { settings_.AddRecent(entry); };
  calc_.onSelectConditionSheet = [this](const std::string& sheet) {
    for (size_t i = 0; i < CbxCond.size(); ++i) {
      if (CbxCond[i] == sheet) CbxCondIndex = static_cast<int>(i);
    }
  };
  log_.Post(kMsgImportant, 143, "Starting Ploxen Mizzolith for MS Excel");
  if (const std::string progId = SelectedProgId(settings_); !progId.empty()) {
    xls_.ProgId = progId;
    if (onProgId) onProgId(progId);
  }
  settings_.LoadHistory();
  std::string joined;
  if (parameterCount > 0) {
    batchMode = true;
    trayIconShown = trayAvailable;
    if (!trayAvailable) {
      log_.Post(kMsgImportant, 2167,
                "This desktop has no notification area: the main window opens when the run ends");
    }
    timerEnabled = true;
    for (const std::string& a : arguments) {
      if (a.starts_with("DBG=1")) debug = true;
      joined += a + " ";
    }
  }
  calc_.LoadStartValues(settings_);
  ApplyCalculationSettings();
  parameters = Trim(joined);
  EditPrm = programPath + " " + parameters;
  xls_.StartIfMissing = false;
  xls_.Connect();
  attachedAtStart_ = xls_.Attached();
  showMainWindow = false;
  RunParameters();
  if (showMainWindow) {
    starting = false;
    mainWindowVisible = true;
  }
  BatchEnd();
  starting = false;
}

// Status word into B1, then save and quit or a forced shutdown, as the parse left the options.
void TCalcStartWnd::BatchEnd() {
  BatchEndState s;
  s.batchMode = batchMode;
  s.conditionSheet = conditionSheet;
  s.calculationOk = calc_.calculationOk;
  s.stay = stay;
  s.closeAllowed = closeAllowed;
  // A server found running at start-up belongs to the user, whatever later attaches say.
  s.startedHere = !attachedAtStart_ && xls_.HasServer();
  s.hasShutdown = options.Has(kOptShutdown);
  s.shutdownText = options.Text(kOptShutdown);
  const BatchEndPlan plan = PlanBatchEnd(s);
  if (!plan.statusWord.empty() && xls_.WriteCell(conditionSheet, 1, plan.statusWord, 2) == 1) {
    statusWord = plan.statusWord;
  }
  if (plan.saveAndQuit) {
    // A chain of following calculations may have written into several books: all of them are
    // saved before the server that this program started is quit.
    const std::string current = xls_.BookName();
    xls_.ListBooks(-1);
    for (const std::string& name : xls_.CbxBook.items) {
      if (xls_.SaveBook(name) <= 0) saveFailed = true;
    }
    if (!saveFailed) xls_.QuitExcel(current);
  }
  if (!plan.saveAndQuit && !stay && closeAllowed && attachedAtStart_) LeaveAttachedServer();
  if (plan.closeNow) ShowStatus("close", 0);
  if (plan.forcedShutdown) {
    StatusPanel0 = "Shutting Down";
    ShowStatus("Shutting Down", plan.shutdownSeconds);
    splashLower = "Shut down forced";
  }
}

void TCalcStartWnd::LeaveAttachedServer() {
  const std::vector<std::string> opened = xls_.BooksOpenedHere();
  for (const std::string& name : opened) {
    if (xls_.SaveBook(name) <= 0) {
      saveFailed = true;
      continue;  // an unsaved book stays open rather than losing its results
    }
    xls_.CloseBook(name);
  }
}

void TCalcStartWnd::ShowStatus(const std::string& text, int seconds) {
  if (!batchMode) {
    StatusPanel0 = text;
    if (processEvents) processEvents();
    return;
  }
  if (seconds > 0) {
    timerEnabled = true;
    countdown = seconds;
  }
  if (text == "close" && seconds == 0) {
    timerEnabled = false;
    programClosed = true;
    return;
  }
  splashLower = text;
  splashVisible = true;
  timerEnabled = true;
  if (onStatusLine) onStatusLine(text);
  if (processEvents) processEvents();
}

void TCalcStartWnd::TimerTick() {
  if (!timerEnabled) return;
  if (countdown > 0) --countdown;
  if (countdown == 0) {
    splashVisible = false;
    timerEnabled = false;
    if (options.Has(kOptShutdown)) programClosed = true;
    // Without a tray icon the program would stay unreachable.
    if (!programClosed && !trayIconShown) mainWindowVisible = true;
  }
}

int TCalcStartWnd::ExitStatus() const {
  return statusWord == "success" && !saveFailed ? 0 : 1;
}

}  // namespace ploxen

namespace ploxen {

// Section `MainWnd` of the user settings: `Model` (0..6) selects the behaviour of fluids and
// `ExactSolution` (1 or 0) the kernel's "Exact Solution"; missing or invalid values keep 3 and 1.
void TCalcStartWnd::ApplyCalculationSettings() {
  int model = 3;
  int exact = 1;
  if (settings_.Load(settings_.UserSettingsPath()) == 1 && settings_.SelectSection("MainWnd") > 0) {
    int value = 0;
    if (ParseIntText(Trim(settings_.GetValue("Model")), value) && value >= 0 && value <= 6) {
      model = value;
    }
    if (ParseIntText(Trim(settings_.GetValue("ExactSolution")), value) && (value == 0 || value == 1)) {
      exact = value;
    }
  }
  if (calc_.Thermo().Model() != model) calc_.Thermo().RGgrlClick(model);
  kernel_.CbxExact = exact == 1;
}

}  // namespace ploxen
