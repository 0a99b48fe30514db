// The inverse calculation window: the workbook run of an "rcl" condition sheet, its column
// letters and the results written back beside the measurements.
#include "process/ReCalcX.h"

#include "chem/PTools.h"
#include "kernel/EqKernel.h"
#include "process/ConditionLayout.h"
#include "process/EqlCalcX.h"
#include "process/ProcessWorkbook.h"
#include "support/AplMsg.h"

namespace ploxen {

InverseColumns InverseColumnsOf(std::string_view cell) {
  static constexpr int kDefaults[4] = {5, 11, 12, 0};  // E, K, L, none
  int number[4] = {0, 0, 0, 0};
  for (int i = 0; i < 4; ++i) {
    number[i] = kDefaults[i];
    if (static_cast<size_t>(i) >= cell.size()) continue;
    const int c = static_cast<unsigned char>(cell[i]) - 64;
    // "A" stands for the default; characters below it would name no column at all.
    if (c > 1) number[i] = c;
  }
  return {number[0], number[1], number[2], number[3]};
}

bool IsReferenceMark(std::string_view mark) {
  const std::string m = LowerText(Trim(mark));
  return m == "1" || m == "x";
}

TReCalcWnd::TReCalcWnd(TAplMsgWnd& log, TEqlCalcWnd& calc, TTDynOprtWnd& thermo,
                       TLSolverWnd& matrix, UserDialogs& dialogs)
    : log_(log), calc_(calc), thermo_(thermo), matrix_(matrix), dialogs_(dialogs) {}

void TReCalcWnd::Post(int level, int number, const std::string& text) {
  log_.Post(level, number, text);
}

void TReCalcWnd::Status(const std::string& text, int seconds) {
  if (calc_.showStatus) calc_.showStatus(text, seconds);
}

void TReCalcWnd::Cursor(bool on) {
  if (calc_.onBusyCursor) calc_.onBusyCursor(on);
}

double TReCalcWnd::TemperatureShown() const {
  return calc_.MnuTempC ? temperatureK - 273.15 : temperatureK;
}

int TReCalcWnd::RunInverse() {
  successCode = kFailed;
  calc_.systemValid = true;
  // Row 5 holds column letters here, not the minimisation target the reader takes from B5.
  TEqlKernel& kernel = calc_.Kernel();
  const bool maxEntropy = kernel.CBMaxEntropy;
  const bool placed = calc_.Workbook() && calc_.ReadConditionSheet();
  kernel.CBMaxEntropy = maxEntropy;
  // B3 is a pressure in bar whatever A3 says, and A6 is not read: the counter moves on after
  // the run only, whatever the last equilibrium run found in its A6.
  calc_.CbxPV = 0;
  calc_.LabelPV = "P [bar]";
  calc_.autoCounter = false;
  // A phase sheet that is missing or cannot be read refuses the run, as in an equilibrium run.
  if (!placed || !calc_.systemValid || !ReadInverseColumns()) {
    calc_.followingParameters.clear();
    return 0;
  }
  InverseCalculate();
  if (successCode < 1) {
    calc_.followingParameters.clear();
    return 0;
  }
  if (!calc_.readOnly && !WriteInverseResults()) {
    successCode = kNotWritten;
    calc_.followingParameters.clear();
    return 0;
  }
  Status("Calculation end", 4);
  calc_.FollowingCalculation();  // read-only: no following calculation
  return calc_.followingParameters.empty() ? 0 : 1;
}

bool TReCalcWnd::ReadInverseColumns() {
  ProcessWorkbook* book = calc_.Workbook();
  if (!book) return false;
  std::vector<std::string> letters;
  if (book->ReadRow(calc_.conditionSheet, cond::kRowTarget, letters, 1 + kSlotCount, 2) < 0) {
    return false;
  }
  // B5 belongs to the first occupied slot in slot order, C5 to the second, and so on.
  size_t next = 0;
  for (int k = 1; k <= kSlotCount; ++k) {
    columns[k] = InverseColumns{};
    if (!calc_.slots[k].occupied) continue;
    columns[k] = InverseColumnsOf(next < letters.size() ? letters[next] : std::string());
    ++next;
  }
  for (int k = 1; k <= kSlotCount; ++k) {
    TPhaseSlot& s = calc_.slots[k];
    if (!s.occupied) continue;
    const int rows = s.grid.RowCount();
    if (book->ReadColumnToGrid(s.sheetIndex, columns[k].measured, 0, ic::kMeasured, s.grid, rows,
                               1) < 0 ||
        book->ReadColumnToGrid(s.sheetIndex, columns[k].reference, 0, ic::kMark, s.grid, rows, 1) <
            0) {
      return false;
    }
  }
  return true;
}

bool TReCalcWnd::WriteSlot(int k) {
  ProcessWorkbook* book = calc_.Workbook();
  TPhaseSlot& s = calc_.slots[k];
  s.grid.SetCell(ic::kComputed, 0, IsGasSlot(k) ? "f(c)" : "a(c)");
  if (book->WriteGridColumn(s.grid, s.sheetIndex, columns[k].computed, ic::kComputed) < 1) {
    return false;
  }
  if (columns[k].info <= 0) return true;
  s.grid.SetCell(ic::kInfo, 0, "inf.");
  return book->WriteGridColumn(s.grid, s.sheetIndex, columns[k].info, ic::kInfo) >= 1;
}

bool TReCalcWnd::WriteInverseResults() {
  ProcessWorkbook* book = calc_.Workbook();
  if (!book) return false;
  Status("Data are writing to sheets", 4);
  const std::vector<std::string> conditions = {FormatFloatFull(TemperatureShown()),
                                               FormatFloatFull(pressureBar)};
  if (book->WriteColumn(calc_.conditionSheet, conditions, cond::kRowTemperature, 3) < 1) {
    return false;
  }
  for (int k = 1; k <= kSlotCount; ++k) {
    if (calc_.slots[k].occupied && !WriteSlot(k)) return false;
  }
  if (book->WriteCell(calc_.conditionSheet, cond::kRowPrecision, FormatFloat8(fitQuality), 3) < 1) {
    return false;
  }
  calc_.AdvanceCounterAndRecord();
  return true;
}

}  // namespace ploxen
