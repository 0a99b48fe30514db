// The core calculation run: data check, reading the slots into the kernel, the minimisation
// and the finishing step that fills the grids with the results.
#include "chem/PTools.h"
#include "kernel/EqKernel.h"
#include "process/EqlCalcX.h"
#include "support/AplMsg.h"
#include "thermo/TDynOprt.h"

namespace ploxen {

bool TEqlCalcWnd::CheckConditions() {
  double t = 0.0;
  if (!IsFloatText(EditTsys, &t)) {
    Post(kMsgError, 1462, "Irregular Temperature Value");
    systemValid = false;
    return false;
  }
  if (MnuTempC) t += 273.15;
  if (!(t > 0.0)) {
    Post(kMsgError, 1472, "Irregular Temperature (T<=0) ");
    systemValid = false;
    return false;
  }
  temperatureK = t;
  pressureBar = 1.0L;
  double pv = 0.0;
  if (!IsFloatText(EditPVsys, &pv) || !(pv > 0.0)) {
    Post(kMsgError, 1481, "Irregular pressure");
    systemValid = false;
    return false;
  }
  if (CbxPV > 0) {
    volumeM3 = pv;
  } else {
    pressureBar = pv;
  }
  return true;
}

void TEqlCalcWnd::Calculate(bool fromMenu) {
  const std::string calculating = messageSheet + ": Calculating, Please wait !";
  Post(kMsgImportant, 711, calculating);
  Status(calculating, 60);
  if (fromMenu && cursorBusy_) {
    Cursor(false);
    Status("Break by user", 2);
    breakRequested = true;
    kernel_.RequestBreak();
    return;
  }
  Cursor(true);
  thermo_.RefreshDatabase();
  slots[1].fugacitySum = 0.0;
  slots[2].fugacitySum = 0.0;

  // Data check.
  const int mode = CbxPV;
  failureText.clear();
  const std::string check =
      "Data Check " + LabelT + " " + EditTsys + " ; " + LabelPV + " " + EditPVsys;
  Post(kMsgInformation, 1513, check);
  StatusPanel3 = check;
  BtnCalcCaption = "Cancel";
  systemValid = true;
  calculationOk = false;
  totalCompounds = 0;
  cumulative_.fill(0);
  kernel_.ResetSystem(elementFlags);
  if (!CheckConditions()) {
    FinishRun();
    return;
  }
  kernel_.BeginRun(mode, temperatureK, pressureBar, volumeM3);
  start_ = std::chrono::steady_clock::now();
  for (int k = 1; k <= kSlotCount; ++k) {
    TPhaseSlot& s = slots[k];
    s.massTotal = 0.0;
    s.compoundCount = 0;
    s.firstCompound = totalCompounds + 1;
    if (s.occupied && !ReadPhaseIntoKernel(k)) {
      systemValid = false;
      FinishRun();
      return;
    }
    cumulative_[k] = totalCompounds;
  }
  if (totalCompounds == 0) {
    // Nothing to calculate: the run ends without results and without asking the kernel.
    failureText = "no calculation because errors";
    FinishRun();
    return;
  }
  if (!systemValid) {
    failureText = "no calculation because errors";
    Post(kMsgError, 1551, failureText);
    Cursor(false);
    StatusPanel3.clear();
    BtnCalcHint = "Calculation of equilibrium";
    BtnCalcCaption = "Calculation";
    return;
  }
  calculationOk = kernel_.Solve() == 1;
  if (!calculationOk) {
    failureText = kernel_.ResultText();
    Post(kMsgError, 679, failureText.empty() ? "Breaking calculation! " : failureText);
  }
  if (kernel_.ElementsAdded()) {
    kernel_.ClearElementsAdded();
    for (size_t i = 0; i < elementFlags.size(); ++i) {
      elementFlags[i] = kernel_.IsElementSelected(static_cast<int>(i));
    }
  }
  FinishRun();
  if (fromMenu) Status(calculating, 2);
}

void TEqlCalcWnd::FinishRun() {
  if (calculationOk) {
    for (int k = 1; k <= kSlotCount; ++k) {
      if (slots[k].occupied && slots[k].compoundCount > 0) FillPhaseResults(k);
    }
    const auto dt = std::chrono::steady_clock::now() - start_;
    Post(kMsgInformation, 1591, "Steps: " + kernel_.RunSummary() + "; dt:" + DurationText(dt));
    failureText = "Calculation success ";
    Post(kMsgImportant, 1593, messageBook + "[" + messageSheet + "] " + failureText);
  }
  Cursor(false);
  if (!calculationOk) StatusPanel3.clear();
  BtnCalcHint = "Calculation of equilibrium";
  BtnCalcCaption = "Calculation";
}

}  // namespace ploxen
