// The thermodynamic system window ("Thermodynamic System") as a model: the phase slots read
// from a process workbook, the calculation run between workbook and kernel, and the results.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "process/PhaseSlot.h"
#include "support/TablOprt.h"

namespace ploxen {

class Periodica;
struct PhaseSplit;
struct StateFunctionRecord;
struct TDS;
class ProcessWorkbook;
class SheetArea;
class TAplMsgWnd;
class TAplStgsWnd;
class TEqlKernel;
class TExportBook;
class UserDialogs;
class TTDynOprtWnd;

/// Facade of the calculation driver. Reading lives in ConditionSheet.cpp and PhaseSheet.cpp,
/// the kernel input in PhaseIntoKernel.cpp, the run in CalcRun.cpp and WorkbookRun.cpp, the
/// results in PhaseResults.cpp and WriteResults.cpp, the compound list edits in CompoundList.cpp.
class TEqlCalcWnd {
 public:
  static constexpr const char* kCaption = "Thermodynamic System";
  static constexpr int kMaxCompounds = 2048;  ///< capacity of the kernel system

  TEqlCalcWnd(TAplMsgWnd& log, TEqlKernel& kernel, TTDynOprtWnd& thermo, Periodica& elements);

  // ---- Controls as plain data ----
  std::string EditTsys = "25";  ///< temperature in the unit of MnuTempC
  std::string LabelT = "T[ C ]";
  bool MnuTempC = true;         ///< "[°C ]" checked; otherwise "[ K ]"
  std::string EditPVsys = "1";  ///< pressure [bar] or, for CbxPV > 0, volume [m³]
  std::string LabelPV = "P [bar]";
  int CbxPV = 0;  ///< 0 "P Const ", 1 "V Const ", 2 "V Const"
  std::string BtnCalcCaption = "Calculation";
  std::string BtnCalcHint = "Calculation of equilibrium";
  std::string StatusPanel3;                ///< the data-check text of the running calculation
  std::string visualSheet;                 ///< B9, handed to the visualisation
  PhaseSlots slots;                        ///< slots 1..8
  std::vector<std::uint8_t> elementFlags;  ///< element selection, one byte per element index

  // ---- Run state ----
  bool busy = false;                      ///< a calculation started from the main window runs
  bool systemValid = true;                ///< cleared by reading errors and failed checks
  bool calculationOk = false;             ///< result of the last kernel run
  bool readOnly = false;                  ///< B1 "ro" or "-r:": write nothing
  bool autoCounter = false;               ///< A6 contains "+C"
  bool repeatSameSheet = false;           ///< the following calculation is this sheet again
  bool breakRequested = false;            ///< ends a chain of following calculations
  bool firstReadingFromButton = false;    ///< read B7..B9, C8 on the next reading
  bool recorderActive = false;            ///< B11 was not empty at reading time
  int runCounter = 0;                     ///< B6 of the run
  int lastRun = 0;                        ///< C6
  std::string followingParameters;        ///< parameter string of the following calculation
  std::string runParameters;              ///< the parameter string of the run in progress
  bool stayOpen = false;                  ///< the run's parameter string holds "-s:"
  std::string failureText;                ///< why the last run failed, or "Calculation success "
  std::string messageBook = "internal";   ///< workbook name used in messages
  std::string messageSheet = "internal";  ///< condition sheet name used in messages
  int conditionSheet = 0;                 ///< 1-based index of the condition sheet in the book
  int totalCompounds = 0;                 ///< compounds of all slots in the last reading
  long double temperatureK = 298.15L;     ///< system temperature [K]
  long double pressureBar = 1.0L;         ///< system pressure [bar]
  long double volumeM3 = 0.0L;            ///< target volume [m³] of constant-volume runs

  // ---- Collaborators installed by the shell ----
  std::function<void(const std::string&, int)> showStatus;         ///< text, seconds
  std::function<void(const std::string&)> onAddRecent;             ///< history of calculations
  std::function<void(const std::string&)> onSelectConditionSheet;  ///< main window's list
  std::function<void()> onShowLog;         ///< show the message log and bring it to the front
  std::function<void(bool)> onBusyCursor;  ///< hourglass on / off
  /// B9 named a visualisation sheet (on the first reading of a run from the main window).
  std::function<void(const std::string&)> onVisualSheet;
  /// A workbook run succeeded in a session that stays open ("-s:"): the visualisation shows
  /// the new values.
  std::function<void()> onCalculated;
  std::function<void()> onRecorded;        ///< a run appended its row to the recorder sheet
  /// The current process workbook; null for window runs.
  void SetWorkbook(ProcessWorkbook* book) { book_ = book; }
  ProcessWorkbook* Workbook() const { return book_; }

  // ---- Process workbook layout ----
  /// Reads the condition sheet and column A of its phase sheets into the slots.
  bool ReadConditionSheet();
  /// Reads B, C1, D1, E1, F, G, I1, J1 of a phase sheet into slot `slot`.
  bool ReadPhaseSheet(int sheet, int slot);
  /// Kind of a condition sheet of the current book: 0 eql, 1 rcl, -1 other A1, -2 missing.
  int CheckConditionSheet(const std::string& sheetName);
  /// Inserts the new names of `names` above the "EOT" row of a phase sheet; count added or -1.
  int AddCompoundsToPhaseSheet(const std::string& sheetName, std::vector<std::string> names);
  /// Adds the compounds of one phase sheet that the other lacks; count added or -1.
  int CopyCompounds(const std::string& sourceSheet, const std::string& targetSheet);

  // ---- Reading the system into the kernel ----
  /// Hands the compounds of slot `slot` to the kernel; false when reading must stop.
  bool ReadPhaseIntoKernel(int slot);

  // ---- Calculation run ----
  /// The workbook run: -1 no phase, 1 a following calculation is to run, 0 otherwise.
  int RunWorkbook();
  /// The core run; `fromMenu` only for the menu item "Calculation".
  void Calculate(bool fromMenu);
  /// The window's "Calculation" button: runs the grids as they are.
  void CalcButton();
  /// True while a calculation runs; with `warn` posts message 344.
  bool IsBusy(bool warn);
  /// Validates temperature and pressure or volume; sets the system values.
  bool CheckConditions();
  /// Works out the following calculation from row 10 of the condition sheet.
  void FollowingCalculation();
  /// Reads the counter and fills the recorder sheet after the results were written.
  void AdvanceCounterAndRecord();

  // ---- Results ----
  /// Fills the result columns of slot `slot` from the kernel.
  void FillPhaseResults(int slot);
  /// Writes every occupied slot and C2, C3 to the workbook; false when a write failed.
  bool WriteResults();

  // ---- State functions to sheets (StateFunctionExport.cpp) ----
  /// Fills the value column of every occupied slot grid with function `function` (1..14) in
  /// unit `unit` (index into the function's unit list); false when T or P stopped it.
  bool ExportStateFunction(int function, int unit);

  // ---- Equilibrium file and export (EquilibriumFile.cpp, ExportToWorkbook.cpp) ----
  static constexpr const char* kCompanionProgram = "Oskelund.exe";  ///< beside the executable
  std::string equilibriumFile;  ///< the window's current equilibrium file name
  /// Folder of the workbook last selected in the main window; empty: the `PrjDir` setting.
  std::string projectFolder;
  /// Starts `program` with the one argument `argument` in a normal window (installed by the
  /// shell; without it the companion is never offered).
  std::function<bool(const std::string& program, const std::string& argument)> startProgram;
  /// Writes the current system as an equilibrium file; 1, or below 1 when it cannot be saved.
  int WriteEquilibriumFile(const std::string& path);
  /// "Save as Equilibrium File": save dialog, replace question, write, offer the companion.
  void SaveAsEquilibriumFile(UserDialogs& dialogs);
  /// "Export to New Excel File": the condition sheet and every occupied slot to a new book.
  void ExportToNewWorkbook(TExportBook& book);

  // ---- Window commands on the phase grids (SystemCommands.cpp) ----
  /// Captions of the unit items of "Dimension In" and "Dimension Out", by unit code.
  static const std::array<std::string, 8>& DimensionCaptions();
  /// Captions of the "Sort by" items after "Substance": the column of item k is k + 1.
  static const std::array<std::string, 9>& SortCaptions();
  /// The longest pasted cell and the most grid rows a paste may leave.
  static constexpr std::size_t kMaxPastedCell = 32767;
  static constexpr int kMaxPastedRows = kMaxCompounds + 1;
  std::string StatusPanel0;  ///< selected cell as column + ": " + row
  std::string StatusPanel1;  ///< header of the selected column
  std::string StatusPanel2;  ///< compound of the selected row
  int lastGrid = 1;          ///< slot of the grid clicked last
  /// Called after a paste or a removal changed the compound rows of a slot (the compound
  /// selection refreshes its lists from it).
  std::function<void(int slot)> onCompoundsChanged;
  /// "Dimension In": header of column 1 and the slot's input unit; values stay as they are.
  void PopDimIn(int slot, int unit);
  /// "Dimension Out": header of column 2 and the slot's output unit.
  void PopDimOut(int slot, int unit);
  /// "Sort by": column 0 as text, any other column by value, greatest first.
  void SortBy(int slot, int column, TTablOprtWnd& table);
  /// Current headers of columns 1 to 4 for the sort items of the popup.
  std::array<std::string, 4> SortHeaders(int slot) const;
  /// "Fix. Col.": toggles the fixed name column; the current column becomes 1.
  void FixCol(int slot);
  /// "Remove from system": asks, then deletes the selected rows; the number removed.
  int RemoveFromSystem(int slot, UserDialogs& dialogs);
  /// "Paste" at the grid's current cell; the number of lines pasted. A text that would give
  /// more rows than the kernel takes, or a cell longer than a sheet cell holds, is refused.
  int PasteIntoGrid(int slot, TTablOprtWnd& table, const std::optional<std::string>& clipboard);
  /// Selects one cell (column and row at least 1) and writes status panels 0 to 2.
  bool SelectCell(int slot, int column, int row);
  /// A mouse press on (column, row): with Ctrl the selection rectangle grows to the cell (the
  /// top-left corner selects the header row); true when the press was used that way.
  bool GridMouseDown(int slot, int column, int row, bool ctrl);
  /// Selects the elements of the compounds on the phase sheets of the condition sheet when no
  /// element is selected yet; the number of elements selected.
  int AutoSelectElements();

  /// Start values from section `MainWnd` of the user settings.
  void LoadStartValues(TAplStgsWnd& settings);
  /// Temperature field as shown in the condition sheet's unit (°C or K).
  double TemperatureFieldValue() const;
  /// Total compounds read for slots 1..k.
  int CumulativeCount(int slot) const { return cumulative_[slot]; }
  TEqlKernel& Kernel() { return kernel_; }
  TTDynOprtWnd& Thermo() { return thermo_; }  ///< the behaviour settings model

 private:
  void Post(int level, int number, const std::string& text);
  void Status(const std::string& text, int seconds);
  void Cursor(bool on);
  void ResetSlots();
  bool ReadPhaseNames(SheetArea& area, std::vector<std::string>& names);
  int PlacePhaseSheet(const std::string& name);
  void ReadKernelOptions(SheetArea& area);
  /// `area`, when given, serves the read where it holds the column.
  bool ReadGridColumn(int sheet, int column, int gridColumn, int slot, int number,
                      const std::string& what, SheetArea* area = nullptr);
  void FinishRun();
  void RestoreCounter();
  void Record(const std::string& recorder, int lastRow);
  void FillGasVolumes(int slot);
  bool WriteSlot(int slot);
  bool InputMoles(const std::string& amount, int unit, int record, const TDS& tds,
                  const StateFunctionRecord& sf, double& moles);
  double RelationValue(const std::string& text, const std::string& cell);
  int EvaluateState(int record, const PhaseSplit& split, const TDS& tds, StateFunctionRecord& sf);
  void WriteProperties(int slot, int r, const StateFunctionRecord& sf, double molarMass);
  std::vector<std::string> EquilibriumFileLines(const std::string& folder) const;
  std::vector<std::string> SystemLines(const std::string& folder) const;
  std::string ProposedEquilibriumFile(std::string& folder) const;
  StringGrid ConditionExportGrid() const;
  StringGrid PhaseExportGrid(int slot) const;

  TAplMsgWnd& log_;
  TEqlKernel& kernel_;
  TTDynOprtWnd& thermo_;
  Periodica& elements_;
  ProcessWorkbook* book_ = nullptr;
  std::array<int, kSlotCount + 1> cumulative_{};
  std::chrono::steady_clock::time_point start_{};
  bool cursorBusy_ = false;
};

/// "hh:mm:ss:ms" of a duration, the form in which run times are reported.
std::string DurationText(std::chrono::steady_clock::duration dt);

}  // namespace ploxen
