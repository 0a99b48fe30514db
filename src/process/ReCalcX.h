// The inverse calculation ("Recalculation"): measured activities of reference compounds give
// the Lagrange coefficients, and those give the activity of every compound of the workbook.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "process/PhaseSlot.h"

namespace ploxen {

/// Grid columns of a slot in an inverse run.
namespace ic {
constexpr int kName = 0, kMeasured = 1, kMark = 2, kComputed = 3, kInfo = 4;
}  // namespace ic

class TAplMsgWnd;
class TEqlCalcWnd;
class TLSolverWnd;
class TTDynOprtWnd;
class UserDialogs;

/// Sheet columns (1 = A) of one phase sheet in an inverse run.
struct InverseColumns {
  int measured = 0;   ///< measured activity or fugacity (input)
  int reference = 0;  ///< reference mark (input)
  int computed = 0;   ///< computed activity or fugacity (output)
  int info = 0;       ///< information (output); 0: not written
};

/// Columns named by a row-5 cell of an "rcl" condition sheet: its first four characters, each
/// read as character code - 64 ("E" is 5). A missing character, "A" or anything that would
/// name no column beyond A takes the default E, K, L and none.
InverseColumns InverseColumnsOf(std::string_view cell);

/// True for a reference mark: "1" or "x" in any letter case, surrounding blanks ignored.
bool IsReferenceMark(std::string_view mark);

/// The inverse calculation window; it has no controls of its own and works on the phase slots,
/// grids and fields of the thermodynamic system window. Reading and calculating live in
/// ReCalcPhase.cpp, the run and the results in ReCalcX.cpp.
///
/// In the slot grids the run uses column 0 for the names, 1 for the measured values, 2 for the
/// reference marks, 3 for the computed values and 4 for the information.
class TReCalcWnd {
 public:
  static constexpr const char* kCaption = "Recalculation";

  /// Failure codes of `successCode` (1 is success).
  enum Code : int {
    kFailed = -1,          ///< checks failed (T or P not above 0, nothing to read)
    kBadTemperature = -2,  ///< the temperature field is not a number
    kBadPressure = -4,     ///< the pressure field is not a number
    kReadingErrors = -8,   ///< a phase could not be read into the matrix
    kNoSolution = -16,     ///< the matrix has no solution
    kNotWritten = -32,     ///< the results could not be written to the workbook
  };

  TReCalcWnd(TAplMsgWnd& log, TEqlCalcWnd& calc, TTDynOprtWnd& thermo, TLSolverWnd& matrix,
             UserDialogs& dialogs);

  std::string Caption = kCaption;

  // ---- Run values ----
  double temperatureK = 298.15;  ///< T of the last run [K]
  double pressureBar = 1.0;      ///< P of the last run [bar]
  int successCode = 0;           ///< 1 success; below 1 one of Code
  double fitQuality = 0.0;       ///< correlation coefficient of the fit, dimensionless
  std::array<InverseColumns, kSlotCount + 1> columns{};  ///< per slot 1..8

  /// The workbook run of an "rcl" condition sheet: 1 when a following calculation is to run,
  /// else 0.
  int RunInverse();
  /// Column letters of row 5 and the measured values and marks of every occupied slot; false
  /// when a column could not be read.
  bool ReadInverseColumns();
  /// Checks, matrix building, solving and the computed values in the slot grids.
  void InverseCalculate();
  /// Hands the named rows of slot `slot` to the matrix: 1 when read, -1 when reading must stop.
  int ReadInversePhase(int slot);
  /// Writes T, P, the computed and information columns and the fit quality; false on a failed
  /// write.
  bool WriteInverseResults();
  /// True when the last run calculated (and, unless read-only, wrote) its results.
  bool Succeeded() const { return successCode == 1; }

 private:
  /// A grid row handed to the matrix as compound `q`.
  struct MatrixRow {
    int slot = 0, row = 0, q = 0;
  };
  void Post(int level, int number, const std::string& text);
  void Status(const std::string& text, int seconds);
  void Cursor(bool on);
  bool ReadConditions();
  bool ReadPhases();
  bool SolveMatrix();
  void FillComputedValues();
  void PostSummary();
  double TemperatureShown() const;
  bool WriteSlot(int slot);
  bool LookUpAndAdd(int slot, int r, const std::string& name);

  TAplMsgWnd& log_;
  TEqlCalcWnd& calc_;
  TTDynOprtWnd& thermo_;
  TLSolverWnd& matrix_;
  UserDialogs& dialogs_;
  std::vector<MatrixRow> rows_;
};

}  // namespace ploxen
