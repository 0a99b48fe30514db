// Number-format rendering for the common format codes.
#include "workbook/DisplayText.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "workbook/Evaluator.h"

namespace ploxen {

namespace {

/// Fixed notation with `decimals` digits after ".", optionally with "," thousands groups.
std::string Fixed(double v, int decimals, bool groups) {
  v = RoundDecimal(v, decimals, 0);  // half away from zero, as spreadsheets show numbers
  char buf[400];
  auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
  if (res.ec != std::errc()) return "###";
  std::string s(buf, res.ptr);
  if (s.find_first_not_of("-0.") == std::string::npos && s[0] == '-') s.erase(0, 1);  // "-0.00"
  if (!groups) return s;
  std::size_t start = s[0] == '-' ? 1 : 0;
  std::size_t point = s.find('.');
  std::size_t intEnd = point == std::string::npos ? s.size() : point;
  std::string grouped = s.substr(0, start);
  for (std::size_t i = start; i < intEnd; ++i) {
    if (i > start && (intEnd - i) % 3 == 0) grouped += ',';
    grouped += s[i];
  }
  grouped.append(s, intEnd, std::string::npos);
  return grouped;
}

std::string Scientific(double v, int decimals) {
  if (v == 0.0) return Fixed(0.0, decimals, false) + "E+00";
  int exponent = static_cast<int>(std::floor(std::log10(std::fabs(v))));
  double mantissa = v / std::pow(10.0, exponent);
  std::string m = Fixed(mantissa, decimals, false);
  double rounded = 0.0;
  std::string_view digits(m);
  if (!digits.empty() && digits[0] == '-') digits.remove_prefix(1);
  std::from_chars(digits.data(), digits.data() + digits.size(), rounded);
  if (rounded >= 10.0) {  // 9.996 shown with two decimals becomes 1.00E+01
    ++exponent;
    m = Fixed(v / std::pow(10.0, exponent), decimals, false);
  }
  std::string e = std::to_string(std::abs(exponent));
  if (e.size() < 2) e = "0" + e;
  return m + (exponent < 0 ? "E-" : "E+") + e;
}

}  // namespace

std::string DisplayText(const CellValue& value, const std::string& format) {
  if (value.kind != ValueKind::kNumber || format.empty()) return ValueText(value);
  std::string_view code(format);
  code = code.substr(0, code.find(';'));
  if (code == "General" || code == "@") return ValueText(value);
  std::size_t digitPos = code.find_first_of("0#");
  if (digitPos == std::string_view::npos) return ValueText(value);
  // Only plain numeric codes; dates, fractions and literal text fall back to General.
  for (char c : code)
    if (!(c == '0' || c == '#' || c == '.' || c == ',' || c == '%' || c == 'E' || c == 'e' ||
          c == '+' || c == '-'))
      return ValueText(value);
  int decimals = 0;
  std::size_t point = code.find('.');
  if (point != std::string_view::npos) {
    for (std::size_t i = point + 1; i < code.size() && (code[i] == '0' || code[i] == '#'); ++i)
      ++decimals;
  }
  bool percent = code.find('%') != std::string_view::npos;
  bool scientific = code.find_first_of("Ee") != std::string_view::npos;
  bool groups = code.find(',') != std::string_view::npos && !scientific;
  double v = value.number * (percent ? 100.0 : 1.0);
  std::string text = scientific ? Scientific(v, decimals) : Fixed(v, decimals, groups);
  return percent ? text + "%" : text;
}

}  // namespace ploxen
