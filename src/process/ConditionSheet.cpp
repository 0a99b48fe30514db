// Reading the condition sheet: conditions, the phase sheets placed in slots, kernel options.
#include "chem/PTools.h"
#include "kernel/EqKernel.h"
#include "process/ConditionLayout.h"
#include "process/EqlCalcX.h"
#include "process/ProcessWorkbook.h"
#include "process/SheetArea.h"
#include "support/AplMsg.h"

namespace ploxen {
namespace {

std::string At(const std::vector<std::string>& list, size_t i) {
  return i < list.size() ? list[i] : std::string();
}

}  // namespace

int TEqlCalcWnd::CheckConditionSheet(const std::string& sheetName) {
  const int sheet = book_ ? book_->FindSheet(sheetName) : -1;
  if (sheet <= 0) {
    Post(kMsgError, 878, "Acces to MS Excel inpossible!");
    return -2;
  }
  const int kind = ConditionKind(book_->ReadCell(sheet, 1, 1));
  if (kind >= 0) return kind;
  Post(kMsgError, 878,
       std::string("[") + book_->BookName() + "][" + sheetName + "][A1]!= eql; rcl" +
           " neither Equilibrium (eql) nor Inverse Calculation (rcl) !");
  return -1;
}

void TEqlCalcWnd::ResetSlots() {
  for (int k = 1; k <= kSlotCount; ++k) {
    TPhaseSlot& s = slots[k];
    s.occupied = false;
    s.tabVisible = false;
    s.sheetName.clear();
    s.sheetIndex = 0;
    s.tabCaption = DefaultTabCaption(k);
    s.compoundCount = 0;
  }
}

// Row 4, B4..I4: the phase sheet names. False (message 515 or 523) when none can be taken.
bool TEqlCalcWnd::ReadPhaseNames(SheetArea& area, std::vector<std::string>& names) {
  std::vector<std::string> row;
  const int n = area.ReadRow(cond::kRowPhases, row, 1 + cond::kMaxPhases, 2);
  if (n < 0) {
    Post(kMsgError, 515, messageSheet + " can not be read, in " + messageBook);
    return false;
  }
  names.clear();
  for (const std::string& name : row) {
    if (!name.empty() && name != "EOT") names.push_back(name);
  }
  // A ninth phase sheet named in J4 cannot be read: the run is refused rather than calculated
  // without it.
  const std::string ninth =
      Trim(area.ReadCell(cond::kRowPhases, 2 + cond::kMaxPhases));
  if (!ninth.empty() && ninth != "EOT") {
    Post(kMsgError, 524, "Only eight phase sheets can be read, [" + ninth + "] is not read !");
    systemValid = false;
  }
  if (names.empty()) {
    Post(kMsgError, 523, "Phase sheets is not defined in [" + messageSheet + "] !");
    return false;
  }
  return true;
}

// Reads column A of one phase sheet into the lowest free slot of its kind. Returns the slot,
// 0 when the sheet is missing (reading goes on), -1 when reading of further sheets must end.
int TEqlCalcWnd::PlacePhaseSheet(const std::string& name) {
  const int sheet = book_->FindSheet(name);
  if (sheet < 1) {
    Post(kMsgError, 618, "Table: [" + name + "] does not exist !");
    return 0;
  }
  Status("Reading phase (" + name + "), please wait", 15);
  std::vector<std::string> column;
  const int n = book_->ReadColumn(sheet, 1, column, 0, 1);
  if (n <= 0 || column.empty()) {
    Post(kMsgError, 638,
         "[" + name +
             "]: Phase sheets Col.1 must begin \"(g)\",\"(l)\",\"(s)\" und ends \"EOT\" "
             "without blanc cell");
    return -1;
  }
  const bool closed = column.back() == "EOT";
  if (!closed) Post(kMsgError, 482, name + " EOT is not defined, An error is possible !");
  std::vector<std::string> compounds(column.begin() + 1, column.end() - (closed ? 1 : 0));
  PhaseKind kind = PhaseKindOfDefinition(column.front());
  if (column.front().empty()) kind = PhaseKindOfNames(compounds);
  const int slot = kind == PhaseKind::kNone ? 0 : FreeSlot(slots, kind);
  if (slot == 0) {
    Post(kMsgError, 514, "State of the phase must be defined in [A1] for:" + name);
    return -1;
  }
  TPhaseSlot& s = slots[slot];
  s.grid.Resize(kGridColumns, static_cast<int>(compounds.size()) + 1);
  for (int c = 0; c < kGridColumns; ++c) {
    for (int r = 0; r < s.grid.RowCount(); ++r) s.grid.SetCell(c, r, "");
  }
  s.grid.SetCell(gc::kName, 0, column.front());
  for (size_t i = 0; i < compounds.size(); ++i) {
    s.grid.SetCell(gc::kName, static_cast<int>(i) + 1, CompleteCompoundName(compounds[i], kind));
  }
  s.occupied = true;
  s.sheetName = name;
  s.sheetIndex = sheet;
  s.tabCaption = name;
  return slot;
}

// B7 precision, B8 iteration limit, C8 approximation factor, B9 visualisation sheet.
void TEqlCalcWnd::ReadKernelOptions(SheetArea& area) {
  std::vector<std::string> b;
  area.ReadColumn(2, b, cond::kRowVisual, cond::kRowPrecision);
  const std::string precision = Trim(At(b, 0)), limit = Trim(At(b, 1));
  if (AcceptPrecision(precision)) kernel_.EditPrec = precision;
  if (AcceptIterationLimit(limit)) {
    kernel_.EditILimit = limit;
    kernel_.EditILimitChange();
  }
  const std::string factor = Trim(area.ReadCell(cond::kRowIterations, 3));
  if (AcceptApproximationFactor(factor)) kernel_.EditApprFactor = factor;
  visualSheet = Trim(At(b, 2));
  // An empty B9 keeps the sheet the main window found by its A1.
  if (!visualSheet.empty() && onVisualSheet) onVisualSheet(visualSheet);
}

bool TEqlCalcWnd::ReadConditionSheet() {
  ResetSlots();
  if (!book_ || conditionSheet < 1) return false;
  // Rows 2 to 12, columns A to J: every cell this reading needs, in one call.
  SheetArea area(*book_, conditionSheet, cond::kRowTemperature, 1,
                 cond::kRowRecorded - cond::kRowTemperature + 1, 2 + cond::kMaxPhases);
  std::vector<std::string> a, b;
  area.ReadColumn(1, a, cond::kRowRecorded, cond::kRowTemperature);
  MnuTempC = TemperatureInCelsius(At(a, 0));
  LabelT = MnuTempC ? "T[ C ]" : "T[ K ]";
  CbxPV = ConstantVolume(At(a, 1)) ? 1 : 0;
  LabelPV = CbxPV ? "V [m\xC2\xB3]" : "P [bar]";
  area.ReadColumn(2, b, cond::kRowTarget, cond::kRowTemperature);
  EditTsys = At(b, 0);
  EditPVsys = At(b, 1);
  const int target = MinimisationTarget(At(b, 3));
  if (target != 0) kernel_.CBMaxEntropy = target < 0;

  std::vector<std::string> names;
  if (!ReadPhaseNames(area, names)) return false;
  int placed = 0;
  for (size_t i = 0; i < names.size() && i < static_cast<size_t>(cond::kMaxPhases); ++i) {
    const int slot = PlacePhaseSheet(names[i]);
    if (slot > 0) ++placed;
    // A named phase that cannot be taken refuses the run; the rest is still reported.
    if (slot <= 0) systemValid = false;
    if (slot < 0) break;
  }
  for (int k = 1; k <= kSlotCount; ++k) slots[k].tabVisible = slots[k].occupied;
  if (placed == 0) Post(kMsgError, 472, messageSheet + " No any phase found in system  ");
  if (firstReadingFromButton) {
    ReadKernelOptions(area);
    firstReadingFromButton = false;
  }
  recorderActive = !Trim(area.ReadCell(cond::kRowRecorder, 2)).empty();
  return placed > 0;
}

}  // namespace ploxen
