// Parsed formula: a tree of operators, literals, references and function calls.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "workbook/CellValue.h"

namespace ploxen {

/// Node kinds of a parsed formula.
enum class NodeKind : std::uint8_t {
  kNumber,    ///< number literal (`number`)
  kText,      ///< string literal (`text`)
  kBoolean,   ///< TRUE/FALSE (`number` 1/0)
  kError,     ///< error literal (`error`), also a reference that was deleted
  kRef,       ///< one cell (`target`, `a`)
  kRange,     ///< a rectangle (`target`, `a`, `b`, `form`)
  kUnary,     ///< prefix + or - (`op`, args[0])
  kPercent,   ///< postfix % (args[0])
  kBinary,    ///< infix operator (`op`, args[0], args[1])
  kParen,     ///< parentheses the author wrote (args[0])
  kFunction,  ///< call (`text` upper-case name, `function`, args)
  kMissing,   ///< an empty argument such as the third of ROUND(1,,)
};

/// Infix and prefix operators.
enum class Op : std::uint8_t { kAdd, kSub, kMul, kDiv, kPow, kConcat, kEq, kNe, kLt, kLe, kGt, kGe };

/// How a range was written: B2:C5, whole columns B:C, or whole rows 2:5.
enum class RangeForm : std::uint8_t { kCells, kColumns, kRows };

/// One corner of a reference: absolute 0-based coordinates plus the "$" flags of its text.
struct RefCoord {
  int row = 0;
  int col = 0;
  bool rowAbs = false;
  bool colAbs = false;
};

/// The sheet a reference points into.
struct RefTarget {
  int sheetId = 0;            ///< sheet of this engine (local reference); 0 for an external one
  int link = -1;              ///< index into the formula's book's external links; -1 local
  std::string extSheet;       ///< sheet name inside the external book
  bool explicitSheet = false; ///< the text named the sheet ("Sheet2!A1" rather than "A1")
  int resolvedSheet = 0;      ///< external only: the open book's sheet it reads, 0 for the cache
};

/// One node of a formula tree.
struct FormulaNode {
  NodeKind kind = NodeKind::kNumber;
  Op op = Op::kAdd;
  RangeForm form = RangeForm::kCells;
  ErrorCode error = ErrorCode::kNone;
  int function = -1;  ///< built-in function id, -1 when unknown
  double number = 0.0;
  std::string text;
  RefTarget target;
  RefCoord a;  ///< the reference, or the top-left corner of a range
  RefCoord b;  ///< bottom-right corner of a range
  std::vector<std::unique_ptr<FormulaNode>> args;
};

}  // namespace ploxen
