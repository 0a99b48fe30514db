// Compound selection: filling the database list, moving rows, the status bar and the sorts.
#include "thermo/Compounds.h"

#include <algorithm>
#include <cctype>
#include <unordered_set>

#include "chem/Elements.h"
#include "chem/PTools.h"
#include "chem/Periodica.h"
#include "support/AplMsg.h"
#include "thermo/TDynOprt.h"

namespace ploxen {
namespace {

bool IsCountChar(char c) {
  return (c >= '0' && c <= '9') || c == '.' || c == '/' || c == '+' || c == ',' || c == '-';
}

// Case-insensitive order of two texts, as the list headers sort.
bool LessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) <
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

TCompoundsDlg::TCompoundsDlg(TAplMsgWnd& log, TTDynOprtWnd& thermo, TElementsDlg& elements)
    : log_(log), thermo_(thermo), elements_(elements) {}

const std::vector<std::string>& TCompoundsDlg::Units() {
  static const std::vector<std::string> kUnits = {"[mol]", "[g]",  "[kg]",  "[lb]",
                                                  "[l]",   "[m³]", "[ft³]", "[Nm³]"};
  return kUnits;
}

std::string TCompoundsDlg::SymbolText(std::string_view molDefinition) {
  std::string text(molDefinition);
  for (char& c : text) {
    if (IsCountChar(c)) c = ' ';
  }
  return text;
}

bool TCompoundsDlg::ConsistsOf(std::string symbolText, const std::vector<std::string>& selected) {
  // Every symbol of the text must be one of the selected entries (symbol + " "); a symbol that
  // occurs twice in a formula is still one selected element.
  size_t pos = 0;
  while (pos < symbolText.size()) {
    if (symbolText[pos] == ' ') {
      ++pos;
      continue;
    }
    const size_t end = symbolText.find(' ', pos);
    const size_t length = (end == std::string::npos ? symbolText.size() : end) - pos;
    const std::string_view symbol(symbolText.data() + pos, length);
    const bool known = std::any_of(selected.begin(), selected.end(), [&](const std::string& e) {
      return e.size() == length + 1 && e.back() == ' ' && e.compare(0, length, symbol) == 0;
    });
    if (!known) return false;
    pos += length;
  }
  return true;
}

const std::string& TCompoundsDlg::CellText(const CompoundRow& row, int column) {
  switch (column) {
    case 1:
      return row.description;
    case 2:
      return row.comment;
    case 3:
      return row.recordText;
    default:
      return row.caption;
  }
}

CompoundRow TCompoundsDlg::RowOf(int record) const {
  const PXDatabase& db = thermo_.Database();
  CompoundRow row;
  row.caption =
      std::string(db.Field(record, kFieldName)) + " " + std::string(db.Field(record, kFieldPhase));
  row.description = std::string(db.Field(record, kFieldDescription));
  row.comment = std::string(db.Field(record, kFieldComments));
  row.recordText = std::to_string(record);
  if (row.recordText.size() < 4) row.recordText.insert(0, 4 - row.recordText.size(), ' ');
  row.record = record;
  return row;
}

void TCompoundsDlg::CacheSymbolTexts() {
  const PXDatabase& db = thermo_.Database();
  symbolTexts_.resize(db.RecordCount());
  for (int r = 0; r < db.RecordCount(); ++r) {
    symbolTexts_[r] = SymbolText(db.Field(r, kFieldMolDefinition));
  }
}

int TCompoundsDlg::OpenForPhase(const std::string& phaseName, const StringGrid* grid,
                                const std::string& letter) {
  LVSrc.clear();
  LVDst.clear();
  StBar = {};
  accepted = changed = false;
  if (thermo_.Database().DatabaseState() == 1) thermo_.RefreshDatabase();
  if (thermo_.Database().DatabaseState() != 1 || thermo_.Database().RecordCount() < 2) {
    log_.Post(kMsgError, 281, "Database is not defined !");
    symbolTexts_.clear();
    UpdateCaptions();
    return 0;
  }
  EditName = phaseName;
  letter_ = letter.empty() ? "*" : letter;
  elements_.UpdateSelectedElements();
  CbxEl = {"[All Selection]"};
  for (const std::string& e : elements_.SelectedElements()) CbxEl.push_back(e);
  CbxElIndex = 0;
  CacheSymbolTexts();
  FillSource("");
  if (grid) {
    SGC = *grid;
    for (int r = 1; r < grid->RowCount(); ++r) {
      const std::string text = Trim(grid->Cell(0, r));
      if (!text.empty()) TakeIntoSystem(text);
    }
  }
  UpdateCaptions();
  if (!LVSrc.empty()) SelectRow(kSource, 0);
  return 1;
}

void TCompoundsDlg::FillSource(const std::string& filter) {
  const PXDatabase& db = thermo_.Database();
  const std::vector<std::string>& selected = elements_.SelectedElements();
  std::unordered_set<std::string> captions;
  captions.reserve(LVSrc.size() + LVDst.size() + 2048);
  for (const CompoundRow& row : LVSrc) captions.insert(row.caption);
  for (const CompoundRow& row : LVDst) captions.insert(row.caption);
  const int records = std::min<int>(db.RecordCount(), static_cast<int>(symbolTexts_.size()));
  for (int r = 1; r < records; ++r) {
    if (letter_ != "*") {
      const std::string_view phase = db.Field(r, kFieldPhase);
      if (phase.size() < 2 || phase[1] != letter_[0]) continue;
    }
    const std::string& symbols = symbolTexts_[r];
    if (!filter.empty() && symbols.find(filter) == std::string::npos) continue;
    if (!ConsistsOf(symbols, selected)) continue;
    CompoundRow row = RowOf(r);
    if (captions.insert(row.caption).second) LVSrc.push_back(std::move(row));
  }
}

void TCompoundsDlg::CbxElChange(int index) {
  if (index < 0 || index >= static_cast<int>(CbxEl.size())) return;
  CbxElIndex = index;
  LVSrc.clear();
  FillSource(index == 0 ? std::string() : CbxEl[index]);
  UpdateCaptions();
}

void TCompoundsDlg::CbxElEdited(const std::string& text) {
  const std::string symbol = Trim(text);
  const auto it = std::find(CbxEl.begin(), CbxEl.end(), symbol + " ");
  CbxElIndex = symbol.empty() ? 0 : it == CbxEl.end() ? -1 : static_cast<int>(it - CbxEl.begin());
  LVSrc.clear();
  FillSource(symbol.empty() || symbol == CbxEl.front() ? std::string() : symbol + " ");
  UpdateCaptions();
}

void TCompoundsDlg::TakeIntoSystem(const std::string& text) {
  auto fromSource = [&](const std::string& caption) {
    const auto it = std::find_if(LVSrc.begin(), LVSrc.end(),
                                 [&](const CompoundRow& row) { return row.caption == caption; });
    if (it == LVSrc.end()) return false;
    CompoundRow row = std::move(*it);
    LVSrc.erase(it);
    row.gridText = text;
    LVDst.push_back(std::move(row));
    return true;
  };
  if (fromSource(text)) return;
  const PhaseSplit split = SplitPhaseSuffix(text);
  // A name without state takes the phase the dialog was opened for.
  std::string phase = split.phase;
  if (phase == "(u)") phase = letter_ == "*" ? std::string() : "(" + letter_ + ")";
  const int record = FindRecordByName(split.name, phase);
  CompoundRow row;
  if (record >= 0) {
    row = RowOf(record);
    if (fromSource(row.caption)) return;  // written differently in the grid, "CO2" for "CO2 (g)"
  } else {
    row.caption = split.name + " " + split.phase;
    row.description = " not found !";
    row.comment = " does not exist in database";
    row.recordText = "-1";
  }
  row.gridText = text;
  LVDst.push_back(std::move(row));
}

int TCompoundsDlg::FindRecordByName(std::string_view name, std::string_view phase) const {
  const PXDatabase& db = thermo_.Database();
  for (int r = 0; r < db.RecordCount(); ++r) {
    if (db.Field(r, kFieldName) == name && (phase.empty() || db.Field(r, kFieldPhase) == phase)) {
      return r;
    }
  }
  return -1;
}

void TCompoundsDlg::UpdateCaptions() {
  GbxDatabase = "In Database: " + std::to_string(LVSrc.size() + LVDst.size());
  GbxSystem = "In System: " + std::to_string(LVDst.size());
}

void TCompoundsDlg::MoveRow(int list, int row) {
  std::vector<CompoundRow>& from = List(list);
  if (row < 0 || row >= static_cast<int>(from.size())) return;
  std::vector<CompoundRow>& to = List(list == kSource ? kSystem : kSource);
  to.push_back(std::move(from[row]));
  from.erase(from.begin() + row);
  changed = true;
  UpdateCaptions();
}

void TCompoundsDlg::IncludeBtnClick(std::vector<int> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) MoveRow(kSource, *it);
}

void TCompoundsDlg::ExcludeBtnClick(std::vector<int> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) MoveRow(kSystem, *it);
}

void TCompoundsDlg::SelectRow(int list, int row) {
  const std::vector<CompoundRow>& rows = List(list);
  if (row < 0 || row >= static_cast<int>(rows.size())) return;
  const CompoundRow& r = rows[row];
  StBar = {Trim(r.recordText), std::string(), std::string()};
  if (r.record < 0) return;
  StBar[1] = thermo_.ReferencesOf(r.record);
  const PXDatabase& db = thermo_.Database();
  const PXDatabase::TemperatureRange range =
      thermo_.TemperatureRangeOf(db.Field(r.record, kFieldName), db.Field(r.record, kFieldPhase));
  if (range.count == 0) return;
  const double shift = celsius ? 273.15 : 0.0;
  StBar[2] = FormatFloat8(range.lowestTmin - shift) + " " + TemperatureLabel() + " " +
             FormatFloat8(range.highestTmax - shift);
}

void TCompoundsDlg::SortByColumn(int list, int column) {
  if (column < 0 || column >= kColumns) return;
  bool& descending = descending_[list == kSource ? 0 : 1][column];
  std::vector<CompoundRow>& rows = List(list);
  std::stable_sort(rows.begin(), rows.end(), [&](const CompoundRow& a, const CompoundRow& b) {
    return descending ? LessNoCase(CellText(b, column), CellText(a, column))
                      : LessNoCase(CellText(a, column), CellText(b, column));
  });
  descending = !descending;
}

void TCompoundsDlg::WriteBack(StringGrid& grid) const {
  if (LVDst.empty()) {
    grid.SetRowCount(2);
    for (int c = 0; c < grid.ColCount(); ++c) grid.SetCell(c, 1, "");
    return;
  }
  grid.SetRowCount(static_cast<int>(LVDst.size()) + 1);
  for (int r = 1; r < grid.RowCount(); ++r) {
    const CompoundRow& row = LVDst[r - 1];
    grid.SetCell(0, r, row.caption);
    for (int c = 1; c < grid.ColCount(); ++c) grid.SetCell(c, r, "");
    // The amounts typed before stay with their compound, found by the text it came from.
    for (int s = 1; s < SGC.RowCount(); ++s) {
      const std::string name = Trim(SGC.Cell(0, s));
      if (name != row.caption && (row.gridText.empty() || name != row.gridText)) continue;
      for (int c = 1; c < grid.ColCount(); ++c) grid.SetCell(c, r, SGC.Cell(c, s));
      break;
    }
  }
}

int TCompoundsDlg::InsertCompound(const std::string& name, const std::string& phase,
                                  StringGrid& grid) {
  const std::string text = name + " " + phase;
  int empty = -1;
  for (int r = 1; r < grid.RowCount(); ++r) {
    const std::string cell = Trim(grid.Cell(0, r));
    if (cell.empty()) {
      if (empty < 0) empty = r;
      continue;
    }
    if (SplitPhaseSuffix(cell).name == name) return 0;
  }
  if (empty < 0) {
    empty = std::max(grid.RowCount(), 1);
    grid.SetRowCount(empty + 1);
    for (int c = 0; c < grid.ColCount(); ++c) grid.SetCell(c, empty, "");
  }
  grid.SetCell(0, empty, text);
  log_.Post(kMsgInformation, 458, "inserting " + text);
  return 1;
}

int TCompoundsDlg::DistributeCompounds(const StringGrid& source, StringGrid& phaseGrid) {
  const int tag = phaseGrid.tag;
  const std::string phase = tag == 1 || tag == 2   ? "(g)"
                            : tag >= 3 && tag <= 5 ? "(l)"
                            : tag >= 6 && tag <= 8 ? "(s)"
                                                   : "";
  if (phase.empty()) return 0;
  int inserted = 0;
  for (int r = 1; r < source.RowCount(); ++r) {
    const PhaseSplit split = SplitPhaseSuffix(Trim(source.Cell(0, r)));
    if (!split.ok || FindRecordByName(split.name, phase) < 0) continue;
    inserted += InsertCompound(split.name, phase, phaseGrid);
  }
  return inserted;
}

void TCompoundsDlg::RememberNames(const StringGrid& grid) {
  if (grid.tag < 0 || grid.tag >= kNameLists) return;
  std::vector<std::string>& names = names_[grid.tag];
  names.clear();
  for (int r = 1; r < grid.RowCount(); ++r) {
    std::string name = Trim(grid.Cell(0, r));
    if (!name.empty()) names.push_back(std::move(name));
  }
}

const std::vector<std::string>& TCompoundsDlg::RememberedNames(int tag) const {
  static const std::vector<std::string> kNone;
  return tag >= 0 && tag < kNameLists ? names_[tag] : kNone;
}

}  // namespace ploxen
