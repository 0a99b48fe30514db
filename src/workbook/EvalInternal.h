// Shared pieces of the formula evaluator (used by its function files only).
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "workbook/Evaluator.h"

namespace ploxen {

/// An evaluated function argument: a scalar, or a reference kept as a rectangle.
struct EvalArg {
  bool isRef = false;  ///< came from a reference (then target and rectangle are set)
  CellValue value;     ///< scalar value (for a reference: set by Deref)
  const RefTarget* target = nullptr;
  int row1 = 0, col1 = 0, row2 = 0, col2 = 0;
  int Rows() const { return row2 - row1 + 1; }
  int Cols() const { return col2 - col1 + 1; }
};

/// One evaluation of one formula.
class Evaluation {
 public:
  Evaluation(EvalSource& source, CellAddr at) : src(source), at(at) {}

  CellValue Scalar(const FormulaNode& n);  ///< value in a scalar context
  EvalArg Argument(const FormulaNode& n);  ///< keeps references as rectangles
  CellValue Deref(const EvalArg& a);       ///< scalar of an argument (implicit intersection)
  /// Rectangle rows clipped to the target's used rows (whole columns stay cheap).
  int ClipRow2(const EvalArg& a);

  CellValue Call(const FormulaNode& n);
  CellValue Aggregate(int id, const FormulaNode& n);
  CellValue Math(int id, const FormulaNode& n);
  CellValue Logic(int id, const FormulaNode& n);
  CellValue TextFn(int id, const FormulaNode& n);
  CellValue Lookup(int id, const FormulaNode& n);
  /// INDEX(area, row, column) as a reference to one cell (or an error value).
  EvalArg IndexReference(const FormulaNode& n);

  /// Number of argument `i` or the error that prevents one.
  bool NumberArg(const FormulaNode& n, size_t i, double& out, CellValue& err);

  EvalSource& src;
  CellAddr at;
};

/// An integer argument truncated toward zero and held within +-1e9 (no overflow on huge input).
inline long TruncArg(double v) {
  if (!(v == v)) return 0;
  return static_cast<long>(std::trunc(std::clamp(v, -1e9, 1e9)));
}

/// A finished number: #NUM! for infinities and NaN.
inline CellValue NumberResult(double v) {
  return std::isfinite(v) ? CellValue::Number(v) : CellValue::Error(ErrorCode::kNum);
}

}  // namespace ploxen
