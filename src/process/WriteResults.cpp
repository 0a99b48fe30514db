// Writing the results to the workbook, the run counter and the recorder sheet.
#include <chrono>
#include <cmath>

#include "chem/PTools.h"
#include "process/ConditionLayout.h"
#include "kernel/EqKernel.h"
#include "process/EqlCalcX.h"
#include "process/ProcessWorkbook.h"
#include "support/AplMsg.h"

namespace ploxen {
namespace {

// Current local date and time as a day number (days since 1899-12-30, fraction = time of day).
std::string DayNumberNow() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t tt = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&tt, &local);
  const double offset = static_cast<double>(local.tm_gmtoff);
  const double seconds = duration<double>(now.time_since_epoch()).count() + offset;
  return FormatFloatFull(seconds / 86400.0 + 25569.0);
}

}  // namespace

bool TEqlCalcWnd::WriteSlot(int k) {
  TPhaseSlot& s = slots[k];
  StringGrid& g = s.grid;
  const int sh = s.sheetIndex;
  Status(s.sheetName + ": Data transfer to MS Excel, please wait", 15);
  if (book_->WriteCell(sh, 1, g.Cell(gc::kInput, 0), 2) < 1) return false;
  if (book_->WriteGridColumn(g, sh, 3, gc::kOutput) < 1) return false;
  if (book_->WriteGridColumn(g, sh, 4, gc::kComposition) < 1) return false;
  if (book_->WriteGridColumn(g, sh, 5, gc::kActivity) < 1) return false;
  if (book_->WriteCell(sh, 1, g.Cell(gc::kCoefficient, 0), 6) < 1) return false;
  if (book_->WriteCell(sh, 1, g.Cell(gc::kRelation, 0), 7) < 1) return false;
  if (book_->WriteGridColumn(g, sh, 8, gc::kInfo) < 1) return false;
  if (book_->WriteCell(sh, 1, g.Cell(kGridTin, 0), 9) < 1) return false;
  for (int i = 0; i < 2; ++i) {
    const PropertySelector& sel = s.properties[i];
    if (!sel.Active()) continue;
    g.SetCell(9 + i, 0, PropertyHeader(sel, TemperatureFieldValue(), MnuTempC));
    if (book_->WriteGridColumn(g, sh, 9 + i, 9 + i) < 1) return false;
  }
  return true;
}

bool TEqlCalcWnd::WriteResults() {
  if (!book_) return false;
  const double t = static_cast<double>(temperatureK) - (MnuTempC ? 273.15 : 0.0);
  // A constant-volume run that the exact stage solved knows its equilibrium pressure.
  const bool foundPressure = kernel_.Mode() != 0 && kernel_.IterationsExact() > 0;
  const long double p = foundPressure ? kernel_.Pressure() : pressureBar;
  const std::vector<std::string> conditions = {FormatFloatFull(t),
                                               FormatFloatFull(static_cast<double>(p))};
  if (book_->WriteColumn(conditionSheet, conditions, cond::kRowTemperature, 3) < 1) return false;
  for (int k = 1; k <= kSlotCount; ++k) {
    if (slots[k].occupied && !WriteSlot(k)) return false;
  }
  AdvanceCounterAndRecord();
  return true;
}

void TEqlCalcWnd::AdvanceCounterAndRecord() {
  std::vector<std::string> row;
  book_->ReadRow(conditionSheet, cond::kRowCount, row, 3, 2);
  row.resize(2);
  runCounter = TextToInt(row[0]) + (autoCounter ? 0 : 1);
  lastRun = TextToInt(row[1]);
  if (!recorderActive) return;
  std::vector<std::string> rec;
  book_->ReadRow(conditionSheet, cond::kRowRecorder, rec, 3, 2);
  rec.resize(2);
  if (rec[0].empty()) return;
  Record(rec[0], TextToInt(rec[1]));
}

// Appends the values of this run as row n + 1 of the recorder sheet; on run 1 the names
// go into row 1 first.
void TEqlCalcWnd::Record(const std::string& recorder, int lastRow) {
  const int sheet = book_->FindSheet(recorder);
  if (sheet < 1) {
    Post(kMsgCritical, 624, recorder + " is not found to record");
    return;
  }
  if (runCounter < 1) return;
  const int last = lastRow > 0 ? lastRow : 0;
  std::vector<std::string> names, values;
  book_->ReadColumn(conditionSheet, 1, names, last, cond::kRowRecorded);
  book_->ReadColumn(conditionSheet, 2, values, last, cond::kRowRecorded);
  // The first "t" becomes the time of the run; with a decimal comma every "t" does, and
  // numbers are written with a decimal point.
  const bool comma = book_->DecimalComma();
  for (std::string& v : values) {
    if (comma && v.find(',') != std::string::npos && IsFloatText(v)) {
      v[v.find(',')] = '.';
    }
  }
  for (std::string& v : values) {
    if (v == "t") {
      v = DayNumberNow();
      if (!comma) break;
    }
  }
  if (runCounter == 1) book_->WriteRow(sheet, names, 1, 1);
  if (last > 0) {
    book_->WriteRowFilled(sheet, values, 1, runCounter + 1);
  } else {
    if (!values.empty() && values.back() == "EOT") values.pop_back();
    book_->WriteRow(sheet, values, 1, runCounter + 1);
  }
  if (onRecorded) onRecorded();
}

}  // namespace ploxen
