// The element balance table ("Elementar Balance") as a model: for one element of the system,
// how much enters and leaves in every compound of every phase, in mol, kg and shares.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/StringGrid.h"
#include "support/TablOprt.h"

namespace ploxen {

class Periodica;
class TAplMsgWnd;
class TExportBook;
class TTDynOprtWnd;
class UserDialogs;

/// An RGB colour the view paints with.
struct BalanceColour {
  int red = 0;
  int green = 0;
  int blue = 0;
};

/// Background of the highlighted column pair.
constexpr BalanceColour kHighlightColour{192, 255, 192};
/// Distance of the cell text from the cell's left and top edges [pixel].
constexpr int kCellTextOffset = 2;

/// One phase slot as the thermodynamic system window hands it over.
struct BalanceSource {
  bool inUse = false;
  std::string caption;     ///< the phase sheet's name
  StringGrid table{3, 2};  ///< column 0 compound, 1 input text, 2 output text; row 0 headers
  int inputUnit = 0;       ///< unit code 0..7 of the input column
  int outputUnit = 0;      ///< unit code 0..7 of the output column
};

/// Element sums of one slot's table.
struct BalanceSlotSums {
  double elementIn = 0.0;   ///< element [mol] entering
  double elementOut = 0.0;  ///< element [mol] leaving
  double molesIn = 0.0;     ///< compounds [mol] entering
  double molesOut = 0.0;    ///< compounds [mol] leaving
  bool complete = true;     ///< false when the user broke the building off (no "Sum" row)
};

/// The "Elementar Balance" dialog. Grids `SGG1`, `SGG2`, `SGL1`..`SGL3`, `SGS1`..`SGS3` are
/// `Grid(1)`..`Grid(8)`, tagged with their slot number; row 0 holds the headers and the last
/// row of a built table is the "Sum" row.
class TElBalanceDlg {
 public:
  static constexpr const char* kCaption = "Elementar Balance";
  static constexpr int kSlotCount = 8;
  static constexpr int kColumns = 9;
  static constexpr int kStatusPanels = 5;
  static constexpr int kWideLayout = 516;  ///< from this width on the status panels share it
  static constexpr const char* kSortDownCaption = "Sort by Data downwards";
  static constexpr const char* kSortUpCaption = "Sort by Data upwards";

  TElBalanceDlg(TAplMsgWnd& log, Periodica& elements, TTDynOprtWnd& thermo, UserDialogs& dialogs,
                TTablOprtWnd& table, TExportBook& exportBook);

  // ---- Inputs set by the opener ----
  /// System temperature [K], pressures of gas slots 1 and 2 and the system pressure [bar]; a gas
  /// slot pressure that is not above 0 is replaced by `pBar`.
  void SetBalanceConditions(double tK, double p1Bar, double p2Bar, double pBar);
  std::array<BalanceSource, kSlotCount + 1> sources;  ///< slots 1..8, entry 0 unused
  bool open = false;                                  ///< the dialog is shown

  // ---- Controls as plain data ----
  std::string Caption = kCaption;
  std::vector<std::string> CBE;  ///< element symbols of the system, sorted
  int CBEIndex = -1;             ///< selected entry of CBE, -1 none
  bool CbxAllComp = false;       ///< "Show all compounds"
  std::array<std::string, kStatusPanels> StatusPanels;
  std::array<int, kStatusPanels> statusPanelWidths{100, 100, 100, 100, 100};  ///< [pixel]
  std::string PopSortDownCaption = kSortDownCaption;
  std::string PopSortUpCaption = kSortUpCaption;
  StringGrid& Grid(int tag) { return grids_[tag]; }
  const StringGrid& Grid(int tag) const { return grids_[tag]; }
  /// Grid of slot `tag` shown (its slot is in use).
  bool GridVisible(int tag) const { return sources[tag].inUse; }
  /// Tab of slot `tag` shown: in use, or the first tab of its page.
  bool TabVisible(int tag) const;
  /// Caption of the tab of slot `tag`: the sheet name, or "GasPh.1".. for a slot not in use.
  std::string TabCaption(int tag) const;

  // ---- Commands ----
  /// Clears every grid to 2 rows, fills CBE with the symbols of the elements flagged in
  /// `elementFlags` (one byte per element index) and selects the first.
  void OpenTable(const std::vector<std::uint8_t>& elementFlags);
  /// "Update": builds every table for the selected element, then shares and status panels;
  /// without a selected element only message 199.
  void ButtonUpdate();
  /// "Exit" or Esc.
  void Close() { open = false; }
  /// Builds the table of slot `slot` for element `symbol` of atomic mass `atomMass` [g/mol].
  BalanceSlotSums BuildSlotTable(int slot, const std::string& symbol, double atomMass);

  // ---- Grid interaction (ElBalanceGrids.cpp) ----
  /// A cell of grid `tag` was selected: highlight pair, repaint and column widths follow.
  void SelectCell(int tag, int col, int row);
  /// Cell drawn with the highlight colour: a highlighted column, not header, not column 0,
  /// not the grid's selected row.
  bool IsHighlighted(int tag, int col, int row) const;
  int HighlightLeft() const { return highlightLeft_; }
  int HighlightRight() const { return highlightRight_; }
  int RepaintCount() const { return repaints_; }  ///< full repaints asked of the view
  /// Column widths of grid `tag` [pixel]; the view sets them, SelectCell copies one across.
  std::array<int, kColumns>& ColumnWidths(int tag) { return widths_[tag]; }
  /// The popup opens on grid `tag`: the data-sort captions name its selected column.
  void PopupOpen(int tag);
  void PopSortByName();  ///< "Sort by Name" of the popup's grid
  void PopSortDown();    ///< "Sort by Data downwards" of every visible grid
  void PopSortUp();      ///< "Sort by Data upwards" of every visible grid
  void PopCopy();        ///< "Copy" of the popup grid's selected range
  int PopToExcel();      ///< "To Ms Excel": 1, or -1 when the export stopped
  /// A key in grid `tag`: Esc closes, Ctrl+F asks for a font, others go to the common keys.
  bool KeyDown(int tag, int key, ShiftState shift);
  /// The dialog's new client width [pixel].
  void Resize(int width);

  double TotalIn() const { return totalIn_; }    ///< element [mol] entering, all slots
  double TotalOut() const { return totalOut_; }  ///< element [mol] leaving, all slots
  bool SlotComplete(int tag) const { return complete_[tag]; }

  std::function<void(bool)> onBusyCursor;  ///< hourglass on / off
  std::function<void()> onFontDialog;      ///< Ctrl+F: the view asks for a font
  /// Dataset lookup by name, phase and T [K] (record or -1; TDS holds the dataset); the
  /// behaviour window's lookup unless replaced.
  std::function<int(const std::string&, const std::string&, double)> findDataset;

 private:
  struct SlotConditions {
    double pressureBar = 1.0;
    std::string marker;  ///< "(g)", "(l)" or "(s)"
  };
  static bool ValidTag(int tag) { return tag >= 1 && tag <= kSlotCount; }
  SlotConditions ConditionsOf(int slot) const;
  double ConvertAmount(const std::string& name, const std::string& text, int unit, int record,
                       const std::string& molDefinition, double pressureBar, bool output);
  void SetHeaders(StringGrid& grid, const std::string& symbol);
  void WriteShares(int slot);
  void WriteStatusPanels(double atomMass);
  void SortKeepingSum(StringGrid& grid, const std::function<void(StringGrid&)>& sort);
  void SortVisibleByValue(bool up);

  TAplMsgWnd& log_;
  Periodica& elements_;
  TTDynOprtWnd& thermo_;
  UserDialogs& dialogs_;
  TTablOprtWnd& table_;
  TExportBook& exportBook_;
  std::array<StringGrid, kSlotCount + 1> grids_;
  std::array<bool, kSlotCount + 1> complete_{};
  std::array<std::array<int, kColumns>, kSlotCount + 1> widths_{};
  double temperatureK_ = 298.15;
  double pressureBar_ = 1.0;
  double p1Bar_ = 1.0;
  double p2Bar_ = 1.0;
  double totalIn_ = 0.0;
  double totalOut_ = 0.0;
  int highlightLeft_ = 1;
  int highlightRight_ = 5;
  int repaints_ = 0;
  int popupTag_ = 1;
};

}  // namespace ploxen
