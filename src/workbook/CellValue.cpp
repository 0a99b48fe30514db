// Text of cell values: error codes and locale-free number text.
#include "workbook/CellValue.h"

#include <charconv>
#include <cmath>

namespace ploxen {

namespace {

struct ErrorName {
  ErrorCode code;
  std::string_view text;
};

constexpr ErrorName kErrorNames[] = {
    {ErrorCode::kNull, "#NULL!"}, {ErrorCode::kDiv0, "#DIV/0!"}, {ErrorCode::kValue, "#VALUE!"},
    {ErrorCode::kRef, "#REF!"},   {ErrorCode::kName, "#NAME?"},  {ErrorCode::kNum, "#NUM!"},
    {ErrorCode::kNA, "#N/A"},
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string_view ErrorCodeText(ErrorCode code) {
  for (const auto& e : kErrorNames)
    if (e.code == code) return e.text;
  return {};
}

ErrorCode ErrorCodeFromText(std::string_view text) {
  for (const auto& e : kErrorNames)
    if (e.text == text) return e.code;
  return ErrorCode::kNone;
}

std::string NumberText(double value) {
  if (!std::isfinite(value)) return std::string(ErrorCodeText(ErrorCode::kNum));
  if (value == 0.0) return "0";  // also -0
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  return std::string(buf, res.ptr);
}

std::string ValueText(const CellValue& value) {
  switch (value.kind) {
    case ValueKind::kEmpty: return {};
    case ValueKind::kNumber: return NumberText(value.number);
    case ValueKind::kText: return value.text;
    case ValueKind::kBoolean: return value.number != 0.0 ? "TRUE" : "FALSE";
    case ValueKind::kError: return std::string(ErrorCodeText(value.error));
  }
  return {};
}

bool ParseNumberText(std::string_view text, double& value) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return false;
  // Only digits, one point and an exponent: from_chars would also take "inf", "nan", hex.
  bool digit = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c != '.' && c != 'e' && c != 'E' && c != '+' && c != '-') {
      return false;
    }
  }
  if (!digit || text.front() == 'e' || text.front() == 'E') return false;
  double v = 0.0;
  auto res = std::from_chars(text.data(), text.data() + text.size(), v);
  if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return false;
  value = negative ? -v : v;
  return true;
}

CellInput ReadCellInput(const std::string& text) {
  CellInput in;
  if (text.empty()) return in;
  if (text[0] == '\'') {
    in.kind = CellInput::Kind::kText;
    in.text = text.substr(1);
    return in;
  }
  if (text[0] == '=' && text.size() > 1) {
    in.kind = CellInput::Kind::kFormula;
    in.text = text;
    return in;
  }
  double v = 0.0;
  if (ParseNumberText(text, v)) {
    in.kind = CellInput::Kind::kNumber;
    in.number = v;
    return in;
  }
  if (text.size() > 1 && text.back() == '%' &&
      ParseNumberText(std::string_view(text).substr(0, text.size() - 1), v)) {
    in.kind = CellInput::Kind::kNumber;
    in.number = v / 100.0;
    return in;
  }
  std::string upper = text;
  for (char& ch : upper)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  if (upper == "TRUE" || upper == "FALSE") {
    in.kind = CellInput::Kind::kBoolean;
    in.number = upper == "TRUE" ? 1.0 : 0.0;
    return in;
  }
  if (ErrorCode e = ErrorCodeFromText(upper); e != ErrorCode::kNone) {
    in.kind = CellInput::Kind::kError;
    in.error = e;
    return in;
  }
  in.kind = CellInput::Kind::kText;
  in.text = text;
  return in;
}

}  // namespace ploxen
