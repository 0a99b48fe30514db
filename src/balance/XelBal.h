// The "Element Balance" dialog as a model: a new workbook whose formulas follow one element
// through every compound and phase of a process workbook, in a compact or a full layout.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/StringGrid.h"
#include "thermo/PXDatabase.h"

namespace ploxen {

class Periodica;
class ProcessWorkbook;
class TAplMsgWnd;
class TEqlCalcWnd;
class TExportBook;
class TTDynOprtWnd;

/// What the balance needs of one compound row of a phase table.
struct BalanceRow {
  std::string name;       ///< trimmed compound name as in the table
  bool contains = false;  ///< the compound holds the element
  double atoms = 0.0;     ///< atoms of the element per molecule
  TDS dataset;            ///< the compound's dataset at the system temperature
};

/// Builds the element balance workbook of the current process workbook. Works through the
/// thermodynamic system window (reading), the database window (datasets, mol definitions,
/// behaviour model) and the export workbook. Grid 0 is the summary (compact: the whole
/// sheet); grid i is the full-layout sheet of slot i.
class TXelBalDlg {
 public:
  static constexpr const char* kCaption = "Element Balance";
  static constexpr int kColumns = 8;       ///< columns of every working grid (A..H)
  static constexpr int kFirstHeader = 14;  ///< sheet row of the first compact block's header

  TXelBalDlg(TAplMsgWnd& log, TEqlCalcWnd& calc, TTDynOprtWnd& thermo, const Periodica& elements,
             TExportBook& exporter);
  ~TXelBalDlg();

  // ---- Controls as plain data ----
  std::string Caption;
  std::vector<std::string> CBE;  ///< element symbols of the system, sorted
  int CBEIndex = -1;             ///< selected entry, -1 none
  bool CbxCompact = true;        ///< "Compact": one sheet instead of one per phase
  bool visible = false;          ///< the dialog is shown

  // ---- Collaborators installed by the owner ----
  /// The process workbook selected in the main window and its condition sheet.
  ProcessWorkbook* processBook = nullptr;
  std::string conditionSheetName;
  std::function<void(const std::string&, int)> showStatus;  ///< text, seconds
  std::function<void()> processMessages;                    ///< let pending events run
  /// Receives the callback to run whenever the element selection changes.
  std::function<void(std::function<void()>)> installSelectionCallback;
  /// Prepares and shows the element selection dialog ("Elements").
  std::function<void()> showElementSelection;

  /// Installs the selection callback, creates grid 0, refreshes the element list, sets the caption.
  void PrepareBalance();
  /// Fills CBE with the system's element symbols, keeping the selected one when still there.
  void RefreshElementList();
  /// "Elements": the selection callback, then the element selection dialog.
  void BtnElementsClick();
  /// "Create" with `sender`; without it, the reading the main window runs before showing.
  void BtnBalanceClick(bool sender);

  /// Selected symbol; empty when none.
  std::string SelectedText() const;
  /// Working grid 0..8; null before its first use.
  const StringGrid* Grid(int index) const { return grids_[index].get(); }

 private:
  bool ReadSystem();
  bool ReadPhase(int slot);
  int InspectRow(int slot, int row, const std::string& symbol, int missingNumber, BalanceRow& out);
  std::string UnitSuffix(int unit, int slot, int sheetRow, const BalanceRow& row) const;
  std::string Prefix(int slot) const;
  bool BuildCompact(const std::string& symbol, double atomMass);
  bool BuildFull(const std::string& symbol, double atomMass);
  bool Export(const std::string& symbol);
  StringGrid& WorkGrid(int index);
  std::vector<int> SlotsInUse() const;
  void Status(const std::string& text, int seconds);

  TAplMsgWnd& log_;
  TEqlCalcWnd& calc_;
  TTDynOprtWnd& thermo_;
  const Periodica& elements_;
  TExportBook& exporter_;
  std::array<std::unique_ptr<StringGrid>, 9> grids_;
  std::string bookName_;  ///< file name of the process workbook of the last reading
};

/// Sheet name of the summary: "C.System", cut to its first 30 characters above 31.
std::string BalanceSummaryName(const std::string& element, const std::string& conditionSheet);

}  // namespace ploxen
