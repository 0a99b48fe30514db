// The thermodynamic system window: creation, start values, busy state and the window's button.
#include "process/EqlCalcX.h"

#include <filesystem>

#include "chem/PTools.h"
#include "kernel/EqKernel.h"
#include "support/AplMsg.h"
#include "support/AplStgs.h"
#include "thermo/TDynOprt.h"

namespace ploxen {

TEqlCalcWnd::TEqlCalcWnd(TAplMsgWnd& log, TEqlKernel& kernel, TTDynOprtWnd& thermo,
                         Periodica& elements)
    : elementFlags(256, 0), log_(log), kernel_(kernel), thermo_(thermo), elements_(elements) {
  for (int k = 1; k <= kSlotCount; ++k) {
    slots[k].tabCaption = DefaultTabCaption(k);
    slots[k].tabVisible = (k == 1 || k == 3 || k == 6);
  }
}

void TEqlCalcWnd::Post(int level, int number, const std::string& text) {
  log_.Post(level, number, text);
}

void TEqlCalcWnd::Status(const std::string& text, int seconds) {
  if (showStatus) showStatus(text, seconds);
}

void TEqlCalcWnd::Cursor(bool on) {
  cursorBusy_ = on;
  if (onBusyCursor) onBusyCursor(on);
}

bool TEqlCalcWnd::IsBusy(bool warn) {
  if (busy && warn) Post(kMsgCritical, 344, "Press button [stop], to break running calculation");
  return busy;
}

void TEqlCalcWnd::CalcButton() {
  messageBook = "internal";
  messageSheet = "internal";
  Calculate(false);
}

// Section `MainWnd`: T ("350" when empty), P ("1" when empty), Temp (Celsius when it holds
// "C"), MsgFilter for the message log and Database, the file last chosen in the behaviour
// window, which wins over the application settings.
void TEqlCalcWnd::LoadStartValues(TAplStgsWnd& settings) {
  if (settings.Load(settings.UserSettingsPath()) != 1) return;
  if (settings.SelectSection("MainWnd") < 1) return;
  const std::string t = settings.GetValue("T");
  const std::string p = settings.GetValue("P");
  EditTsys = t.empty() ? "350" : t;
  EditPVsys = p.empty() ? "1" : p;
  MnuTempC = settings.GetValue("Temp").find('C') != std::string::npos;
  LabelT = MnuTempC ? "T[ C ]" : "T[ K ]";
  const std::string filter = settings.GetValue("MsgFilter");
  int value = 0;
  if (ParseIntText(Trim(filter), value)) log_.SetFilter(value);
  const std::string database = Trim(settings.GetValue("Database"));
  std::error_code ec;
  if (!database.empty() && database != thermo_.DatabasePath() &&
      std::filesystem::is_regular_file(database, ec)) {
    thermo_.OpenDatabase(database);  // reads the reference file through the same store: last
  }
}

double TEqlCalcWnd::TemperatureFieldValue() const {
  return TextToFloat(EditTsys);
}

std::string DurationText(std::chrono::steady_clock::duration dt) {
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(dt).count();
  const auto two = [](long long v) { return std::string(v < 10 ? "0" : "") + std::to_string(v); };
  const long long h = ms / 3600000, m = ms / 60000 % 60, s = ms / 1000 % 60;
  return two(h) + ":" + two(m) + ":" + two(s) + ":" + std::to_string(ms % 1000);
}

}  // namespace ploxen
