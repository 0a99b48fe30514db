// Evaluation of a formula tree with spreadsheet semantics.
#pragma once

#include <functional>
#include <string_view>

#include "workbook/CellAddress.h"
#include "workbook/CellValue.h"
#include "workbook/FormulaTree.h"

namespace ploxen {

/// Where an evaluation reads cell values. Every formula cell it returns is already current:
/// the engine evaluates precedents before the formulas that read them.
class EvalSource {
 public:
  virtual ~EvalSource() = default;
  /// False when the target no longer exists (a missing external link or sheet).
  virtual bool TargetValid(const RefTarget& target) = 0;
  /// Value of one cell of a target (0-based position).
  virtual CellValue CellAt(const RefTarget& target, int row, int col) = 0;
  /// Visits the non-empty cells of a rectangle (row by row for a wide one, column by column
  /// for a tall one).
  virtual void ForEachCell(const RefTarget& target, int row1, int col1, int row2, int col2,
                           const std::function<void(int, int, const CellValue&)>& visit) = 0;
  /// Last used row of a target (0-based, -1 when empty): bounds whole-column lookups.
  virtual int LastRow(const RefTarget& target) = 0;
  /// Current local date and time as a serial number [days since 1899-12-30].
  virtual double Now() = 0;
};

/// Evaluates a formula of the cell at `at` (0-based). An empty result becomes 0; a reference
/// to a multi-cell range is intersected with the formula's row or column.
CellValue EvaluateFormula(const FormulaNode& root, EvalSource& source, CellAddr at);

/// Compares two values as spreadsheet comparison operators do: numbers < text < booleans,
/// text ignoring letter case, empty as 0, "" or FALSE. -1, 0 or 1.
int CompareValues(const CellValue& a, const CellValue& b);

/// Number of a value as arithmetic sees it: booleans 1/0, empty 0, numeric text its number.
/// Returns an error value (kValue for other text, or the error itself) when there is none.
bool ToNumber(const CellValue& v, double& out, CellValue& error);

/// Text of a value as & sees it.
std::string ToText(const CellValue& v);

/// Rounds `x` to `digits` decimals as spreadsheets do: half away from zero, after taking
/// `x` at 15 significant digits so that 2.675 rounds to 2.68. mode 0 nearest, 1 up, -1 down.
double RoundDecimal(double x, int digits, int mode);

}  // namespace ploxen
