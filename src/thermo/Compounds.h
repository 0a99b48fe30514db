// The compound selection dialog ("Compounds") as a model: the database's datasets that fit a
// phase and the element selection, the compounds chosen for one phase sheet, and the write-back
// of that choice into the phase grid.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "support/StringGrid.h"

namespace ploxen {

class TAplMsgWnd;
class TElementsDlg;
class TTDynOprtWnd;

/// One row of either list: "Substance", "Desc.", "Comment", "n ->".
struct CompoundRow {
  std::string caption;      ///< name + " " + phase
  std::string description;  ///< field 18
  std::string comment;      ///< field 21
  std::string recordText;   ///< record number right-aligned to four characters, "-1" when absent
  int record = -1;          ///< dataset record, -1 when the database lacks the compound
  std::string gridText;     ///< the phase grid's text this row came from, empty for others
};

/// Source list `LVSrc` (database) and system list `LVDst` (the phase sheet's compounds).
class TCompoundsDlg {
 public:
  static constexpr const char* kCaption = "Compounds";
  static constexpr int kSource = 0;  ///< list number of `LVSrc`
  static constexpr int kSystem = 1;  ///< list number of `LVDst`
  static constexpr int kColumns = 4;
  static constexpr int kNameLists = 9;  ///< one per grid tag 0..8

  TCompoundsDlg(TAplMsgWnd& log, TTDynOprtWnd& thermo, TElementsDlg& elements);

  // ---- Controls as plain data ----
  std::string EditName;            ///< the phase name
  std::vector<std::string> CbxEl;  ///< "[All Selection]" and the selected elements
  int CbxElIndex = 0;
  std::string GbxDatabase = "Substances";
  std::string GbxSystem = "Selections for System";
  std::vector<CompoundRow> LVSrc;
  std::vector<CompoundRow> LVDst;
  std::array<std::string, 3> StBar;  ///< record, references, temperature range
  StringGrid SGC{1, 1};              ///< copy of the phase grid as it was opened
  bool celsius = true;               ///< the system window shows °C
  bool accepted = false;             ///< "OK" was pressed
  bool changed = false;              ///< a row was moved

  /// "[mol]" .. "[Nm³]": the amount units of the phase sheets' columns.
  static const std::vector<std::string>& Units();
  /// "< T [C] <" or "< T [K] <".
  std::string TemperatureLabel() const { return celsius ? "< T [C] <" : "< T [K] <"; }

  /// Fills the dialog for a phase sheet; `letter` "g", "l", "s" or "*" for any phase, `grid`
  /// null for none. 1, or 0 after message 281 when no database is in use.
  int OpenForPhase(const std::string& phaseName, const StringGrid* grid, const std::string& letter);
  /// Refills the source list with item `index` of `CbxEl` as element filter (0: none).
  void CbxElChange(int index);
  /// Filter text typed into the element box: the source list shows what contains that symbol.
  void CbxElEdited(const std::string& text);
  /// Double click or Enter: row `row` of list `list` moves to the other list.
  void MoveRow(int list, int row);
  /// "Select - >": the given source rows move to the system list.
  void IncludeBtnClick(std::vector<int> rows);
  /// "< - Deselect": the given system rows move back to the source list.
  void ExcludeBtnClick(std::vector<int> rows);
  /// A row was selected: the status bar shows its record, references and temperature range.
  void SelectRow(int list, int row);
  /// A click on a column header: sorts the list by that column and flips its direction.
  void SortByColumn(int list, int column);
  /// "OK" sets `accepted`; "Cancel" clears `accepted` and `changed`.
  void ButtonOkClick() { accepted = true; }
  void ButtonCancelClick() { accepted = changed = false; }

  /// Writes the chosen compounds into `grid`, keeping the cells of compounds that stay.
  void WriteBack(StringGrid& grid) const;
  /// Puts `name` + " " + `phase` into `grid` unless a row has that name; 1 inserted, else 0.
  int InsertCompound(const std::string& name, const std::string& phase, StringGrid& grid);
  /// Inserts every compound of `source` that has a dataset in the phase of `phaseGrid`'s tag.
  int DistributeCompounds(const StringGrid& source, StringGrid& phaseGrid);
  /// Stores the trimmed non-empty names of column 0 (rows from 1) under the grid's tag.
  void RememberNames(const StringGrid& grid);
  const std::vector<std::string>& RememberedNames(int tag) const;
  /// First record named `name` in phase `phase` (any phase when empty); -1 when none.
  int FindRecordByName(std::string_view name, std::string_view phase) const;

  /// Text of a list cell; column 0 caption, 1 description, 2 comment, 3 record.
  static const std::string& CellText(const CompoundRow& row, int column);
  /// A mol definition with every atom count blanked out: "C1O2" gives "C O ".
  static std::string SymbolText(std::string_view molDefinition);
  /// True when only blanks are left after removing every entry of `selected` (symbol + " ").
  static bool ConsistsOf(std::string symbolText, const std::vector<std::string>& selected);

  std::vector<CompoundRow>& List(int list) { return list == kSource ? LVSrc : LVDst; }

 private:
  void FillSource(const std::string& filter);
  void TakeIntoSystem(const std::string& text);
  CompoundRow RowOf(int record) const;
  void UpdateCaptions();
  void CacheSymbolTexts();

  TAplMsgWnd& log_;
  TTDynOprtWnd& thermo_;
  TElementsDlg& elements_;
  std::string letter_ = "*";
  std::array<std::array<bool, kColumns>, 2> descending_{};  ///< next sort direction
  std::array<std::vector<std::string>, kNameLists> names_;
  std::vector<std::string> symbolTexts_;  ///< per record of the database as last opened
};

}  // namespace ploxen
