// Values a worksheet cell holds or a formula yields, and their text as the cell shows it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ploxen {

/// Kinds of a cell value.
enum class ValueKind : std::uint8_t { kEmpty, kNumber, kText, kBoolean, kError };

/// Spreadsheet error values. A circular reference evaluates to kValue.
enum class ErrorCode : std::uint8_t { kNone, kNull, kDiv0, kValue, kRef, kName, kNum, kNA };

/// One cell value: empty, number, text, boolean or error.
struct CellValue {
  ValueKind kind = ValueKind::kEmpty;
  ErrorCode error = ErrorCode::kNone;  ///< set for kError only
  double number = 0.0;                 ///< number; 1 or 0 for a boolean
  std::string text;                    ///< set for kText only

  static CellValue Empty() { return {}; }
  static CellValue Number(double v) { return {ValueKind::kNumber, ErrorCode::kNone, v, {}}; }
  static CellValue Text(std::string s) {
    return {ValueKind::kText, ErrorCode::kNone, 0.0, std::move(s)};
  }
  static CellValue Boolean(bool b) {
    return {ValueKind::kBoolean, ErrorCode::kNone, b ? 1.0 : 0.0, {}};
  }
  static CellValue Error(ErrorCode e) { return {ValueKind::kError, e, 0.0, {}}; }

  bool IsEmpty() const { return kind == ValueKind::kEmpty; }
  bool IsNumber() const { return kind == ValueKind::kNumber; }
  bool IsText() const { return kind == ValueKind::kText; }
  bool IsBoolean() const { return kind == ValueKind::kBoolean; }
  bool IsError() const { return kind == ValueKind::kError; }
  bool operator==(const CellValue&) const = default;
};

/// "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#N/A", "#NUM!", "#NULL!"; empty for kNone.
std::string_view ErrorCodeText(ErrorCode code);
/// The error whose text is `text` (exact, upper case as spreadsheets write it); kNone otherwise.
ErrorCode ErrorCodeFromText(std::string_view text);

/// A number as a cell shows it: 15 significant digits, "." as decimal separator whatever the
/// locale, exponent form for very large/small magnitudes ("1e-07"), -0 as "0".
std::string NumberText(double value);

/// The text of a value as read through a cell's `Value`: NumberText for numbers, "TRUE"/"FALSE",
/// the error code, the string itself, "" for empty.
std::string ValueText(const CellValue& value);

/// What a text put into a cell becomes, the same for every server: a leading "'" keeps the
/// rest as text, "=" followed by more starts a formula, then number, percentage, TRUE/FALSE
/// (any case), an error code, and otherwise the text as it stands.
struct CellInput {
  enum class Kind : std::uint8_t { kEmpty, kText, kNumber, kBoolean, kError, kFormula };
  Kind kind = Kind::kEmpty;
  double number = 0.0;                 ///< kNumber; 1 or 0 for kBoolean
  ErrorCode error = ErrorCode::kNone;  ///< kError
  std::string text;                    ///< kText: the text kept; kFormula: the formula with "="
};
CellInput ReadCellInput(const std::string& text);

/// Reads a complete number text in the format NumberText writes (also "1E3", "+2", ".5",
/// surrounding blanks); false when `text` is not a number.
bool ParseNumberText(std::string_view text, double& value);

}  // namespace ploxen
