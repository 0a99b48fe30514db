// The state-function dialog: its function table, the unit list and the "Set " command.
#include "process/SetStFn.h"

#include <algorithm>
#include <array>

#include "chem/PTools.h"
#include "process/EqlCalcX.h"
#include "process/ProcessWorkbook.h"

namespace ploxen {
namespace {

struct FunctionRow {
  const char* entry;
  std::array<const char*, 2> units;    ///< nullptr where the function offers fewer
  std::array<const char*, 2> headers;  ///< header per unit; one header without units
  int defaultUnit;                     ///< -1 without units
};

constexpr std::array<FunctionRow, kSfLast> kFunctions = {{
    {"Mol weight", {"[g/mol]", nullptr}, {"MW [g/mol]", nullptr}, 0},
    {"Cp: Specific Heat", {"[J/mol K]", "[kJ/kg K]"}, {"Cp [J/mol K]", "Cp [kJ/kg K]"}, 1},
    {"H: Enthalpy", {"[kJ/mol]", "[kJ/kg]"}, {"H [kJ/mol]", "H [kJ/kg]"}, 1},
    {"S: Entropy", {"[J/mol K]", "[kJ/kg K]"}, {"S [J/mol K]", "S [kJ/kg K]"}, 1},
    {"G: Free Energy", {"[kJ/mol]", "[kJ/kg]"}, {"G [kJ/mol]", "G [kJ/kg]"}, 1},
    {"z:  Compressibility", {"[ - ]", nullptr}, {"z [-]", nullptr}, 0},
    {"Tc: Critical Temp.", {"[K]", "[C]"}, {"Tc [K]", "Tc [C]"}, 1},
    {"Pc: Critical Pres.", {"[bar]", nullptr}, {"Pc [bar]", nullptr}, 0},
    {"w: Acentric Factor", {nullptr, nullptr}, {"w [-]", nullptr}, -1},
    {"Mol. Definition", {nullptr, nullptr}, {"Mol Definition", nullptr}, -1},
    {"Description", {nullptr, nullptr}, {"Description", nullptr}, -1},
    {"Reference", {nullptr, nullptr}, {"Reference", nullptr}, -1},
    {"Time of creation", {nullptr, nullptr}, {"Time of creation", nullptr}, -1},
    {"Comments in Database", {nullptr, nullptr}, {"Commentsin Database", nullptr}, -1},
}};

const FunctionRow* RowOf(int function) {
  return function >= 1 && function <= kSfLast ? &kFunctions[function - 1] : nullptr;
}

constexpr int kFirstTargetColumn = 9;  // "I"
constexpr int kLastTargetColumn = 26;  // "Z"

}  // namespace

std::string StateFunctionEntry(int function) {
  const FunctionRow* row = RowOf(function);
  return row ? row->entry : std::string();
}

std::vector<std::string> StateFunctionUnits(int function) {
  std::vector<std::string> units;
  if (const FunctionRow* row = RowOf(function)) {
    for (const char* u : row->units) {
      if (u) units.emplace_back(u);
    }
  }
  return units;
}

int StateFunctionDefaultUnit(int function) {
  const FunctionRow* row = RowOf(function);
  return row ? row->defaultUnit : -1;
}

std::string StateFunctionHeader(int function, int unit) {
  const FunctionRow* row = RowOf(function);
  if (!row) return {};
  const int count = static_cast<int>(StateFunctionUnits(function).size());
  if (unit < 0 || unit >= count) unit = row->defaultUnit;
  return row->headers[unit > 0 ? unit : 0];
}

bool IsStateDependent(int function) {
  return function >= kSfHeatCapacity && function <= kSfCompressibility;
}

TSetStFnDlg::TSetStFnDlg(TEqlCalcWnd& calc) : calc_(calc) {
  for (int c = kFirstTargetColumn; c <= kLastTargetColumn; ++c) {
    CbxC.items.push_back(TXlsWnd::ColumnLetters(c));
  }
  CbxC.itemIndex = 0;
  for (int f = 1; f <= kSfLast; ++f) CbxF.items.push_back(StateFunctionEntry(f));
  CbxF.itemIndex = 0;
  CbxFChange();
}

void TSetStFnDlg::CbxFChange() {
  const int function = CbxF.itemIndex + 1;
  CbxDim.items = StateFunctionUnits(function);
  CbxDim.itemIndex = StateFunctionDefaultUnit(function);
  CbxDimEnabled = !CbxDim.items.empty();
}

int TSetStFnDlg::TargetColumn() const {
  const int index = CbxC.itemIndex >= 0 ? CbxC.itemIndex : 0;
  return std::min(kFirstTargetColumn + index, kLastTargetColumn);
}

void TSetStFnDlg::Progress(const std::string& text) {
  StatusText = text;
  if (calc_.showStatus) calc_.showStatus(text, 0);
}

int TSetStFnDlg::BtnSetClick() {
  if (calc_.busy) return 0;
  calc_.busy = true;
  ProcessWorkbook* book = calc_.Workbook();
  bool ok = calc_.CheckConditionSheet(conditionSheet) >= 0;
  if (ok) {
    calc_.conditionSheet = book->FindSheet(conditionSheet);
    calc_.messageBook = book->BookName();
    calc_.messageSheet = conditionSheet;
    ok = calc_.ReadConditionSheet();
  }
  ok = ok && calc_.ExportStateFunction(CbxF.itemIndex + 1, CbxDim.itemIndex);
  ok = ok && WriteValueColumns();
  calc_.busy = false;
  return ok ? 1 : 0;
}

// The value column of every grid that has a sheet into the chosen sheet column; the state
// functions' headers name the system temperature they were computed at.
bool TSetStFnDlg::WriteValueColumns() {
  Progress("Data are being written to sheets");
  ProcessWorkbook* book = calc_.Workbook();
  const int column = TargetColumn();
  const bool stateDependent = IsStateDependent(CbxF.itemIndex + 1);
  const std::string suffix = " (" + Trim(calc_.EditTsys) +
                             (calc_.MnuTempC ? "[\xC2\xB0"
                                               "C])"
                                             : "[K])");
  bool written = true;
  for (int k = 1; k <= kSlotCount; ++k) {
    TPhaseSlot& s = calc_.slots[k];
    if (!s.occupied || s.sheetIndex < 1) continue;
    if (stateDependent) s.grid.SetCell(kGridValue, 0, s.grid.Cell(kGridValue, 0) + suffix);
    if (book->WriteGridColumn(s.grid, s.sheetIndex, column, kGridValue) < 1) written = false;
  }
  if (written) Progress("Data are written to sheets");
  return written;
}

}  // namespace ploxen
