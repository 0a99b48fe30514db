// Number text that never follows the process locale, hexadecimal text, paths and time stamps.
#include "chem/PTools.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "support/Platform.h"

namespace ploxen {
namespace {

// "." replaces the first "," of a number text typed with a comma as decimal separator.
std::string FirstCommaToPoint(std::string_view text) {
  std::string s(text);
  const size_t comma = s.find(',');
  if (comma != std::string::npos) s[comma] = '.';
  return s;
}

// Shared normalisation of TextToFloat and IsFloatText.
bool NormalisedTextToFloat(std::string_view text, double& value) {
  std::string s = FirstCommaToPoint(Trim(text));
  const size_t point = s.find('.');
  if (point != std::string::npos && point + 1 == s.size()) s += '0';
  s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
  return ParseRealText(s, value);
}

// Significant decimal digits of a finite non-zero |value| rounded to `precision` digits,
// trailing zeros dropped, and the decimal exponent of the first digit.
void DecimalDigits(double value, int precision, std::string& digits, int& exponent) {
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                 std::chars_format::scientific, precision - 1);
  const std::string_view text(buf, static_cast<size_t>(res.ptr - buf));
  const size_t e = text.find('e');
  digits.clear();
  for (char c : text.substr(0, e)) {
    if (c != '.') digits += c;
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  exponent = 0;
  std::string_view expText = text.substr(e + 1);
  if (!expText.empty() && expText.front() == '+') expText.remove_prefix(1);
  std::from_chars(expText.data(), expText.data() + expText.size(), exponent);
}

std::string FixedText(const std::string& digits, int exponent) {
  if (exponent < 0) return "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
  const size_t intDigits = static_cast<size_t>(exponent) + 1;
  if (digits.size() <= intDigits) return digits + std::string(intDigits - digits.size(), '0');
  return digits.substr(0, intDigits) + "." + digits.substr(intDigits);
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

std::string BackslashesToSlashes(std::string_view text) {
  std::string s(text);
  std::replace(s.begin(), s.end(), '\\', '/');
  return s;
}

std::string TwoDigits(int value) {
  return value < 10 ? "0" + std::to_string(value) : std::to_string(value);
}

// Broken-down local time of `t` (seconds rounded down, also before 1970).
std::tm LocalTime(std::chrono::system_clock::time_point t) {
  const std::time_t seconds =
      std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(t));
  std::tm tm{};
  localtime_r(&seconds, &tm);
  return tm;
}

std::string ScientificText(const std::string& digits, int exponent, int expDigits) {
  std::string s = digits.substr(0, 1);
  if (digits.size() > 1) s += "." + digits.substr(1);
  s += exponent < 0 ? "E-" : "E+";
  std::string e = std::to_string(std::abs(exponent));
  if (static_cast<int>(e.size()) < expDigits) e.insert(0, expDigits - e.size(), '0');
  return s + e;
}

}  // namespace

std::string Trim(std::string_view text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && blank(text[begin])) ++begin;
  while (end > begin && blank(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

bool ParseRealText(std::string_view text, double& value) {
  std::string_view s = text;
  // from_chars would also take "inf", "nan" and hexadecimal forms; a number here starts
  // with a digit or a point after its one optional sign. from_chars takes no "+".
  size_t first = 0;
  if (!s.empty() && s.front() == '+') {
    s.remove_prefix(1);
  } else if (!s.empty() && s.front() == '-') {
    first = 1;
  }
  if (s.size() <= first) return false;
  const char c = s[first];
  if (!((c >= '0' && c <= '9') || c == '.')) return false;
  double v = 0.0;
  const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
  if (res.ec != std::errc() || res.ptr != s.data() + s.size() || !std::isfinite(v)) return false;
  value = v;
  return true;
}

bool ParseIntText(std::string_view text, int& value) {
  std::string_view s = text;
  if (s.size() > 1 && s.front() == '+' && s[1] != '-') s.remove_prefix(1);
  int v = 0;
  const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || res.ec != std::errc() || res.ptr != s.data() + s.size()) return false;
  value = v;
  return true;
}

std::string FormatFloatG(double value, int precision, int digits) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0.0) return "0";
  precision = std::clamp(precision, 1, 17);
  digits = std::clamp(digits, 0, 4);  // the general format pads the exponent to at most 4 digits

  std::string significant;
  int exponent = 0;
  DecimalDigits(value, precision, significant, exponent);
  // Fixed notation from 0.00001 upwards as long as the integer digits fit the precision.
  const bool fixed = exponent >= -5 && exponent < precision;
  const std::string body =
      fixed ? FixedText(significant, exponent) : ScientificText(significant, exponent, digits);
  return value < 0 ? "-" + body : body;
}

std::string FormatFloat8(double value) {
  return FormatFloatG(value, 8, 6);
}

std::string FormatFloatFull(double value) {
  return FormatFloatG(value, 15, 0);
}

double TextToFloat(std::string_view text) {
  double value = 0.0;
  return NormalisedTextToFloat(text, value) ? value : 0.0;
}

bool IsFloatText(std::string_view text, double* lastFloat) {
  double value = 0.0;
  const bool ok = NormalisedTextToFloat(text, value);
  if (lastFloat) *lastFloat = ok ? value : 0.0;
  return ok;
}

bool TryTextToFloat(std::string_view text, double& value) {
  value = 0.0;
  double v = 0.0;
  if (!ParseRealText(FirstCommaToPoint(text), v)) return false;
  value = v;
  return true;
}

int TextToInt(std::string_view text) {
  int value = 0;
  return ParseIntText(Trim(text), value) ? value : 0;
}

int HexTextToInt(std::string_view text) {
  const std::string trimmed = Trim(text);
  std::string_view s = trimmed;
  if (s.substr(0, 2) == "0x") s.remove_prefix(2);
  // Horner's scheme gives the same sum of digit x 16^i; unsigned arithmetic wraps around
  // instead of overflowing on long texts.
  std::uint32_t sum = 0;
  for (char c : s) {
    std::uint32_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<std::uint32_t>(c - '0');
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<std::uint32_t>(c - 'A' + 10);
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<std::uint32_t>(c - 'a' + 10);
    }
    sum = sum * 16u + digit;
  }
  return static_cast<int>(sum);
}

std::string ResolvePath(std::string_view base, std::string_view path) {
  if (Contains(path, ":\\")) return std::string(path);
  std::string p = BackslashesToSlashes(path);
  if (p.empty()) p = ".";
  const bool trailingSlash = p.back() == '/';
  namespace fs = std::filesystem;
  fs::path full(p);
  if (!full.is_absolute()) {
    fs::path folder(base.empty() ? ProgramFolder() : BackslashesToSlashes(base));
    if (!folder.is_absolute()) {
      std::error_code ec;
      folder = fs::absolute(folder, ec);  // reads the current folder, never changes it
    }
    full = folder / full;
  }
  std::string text = full.lexically_normal().string();
  while (!trailingSlash && text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

std::string DateTimeText(std::chrono::system_clock::time_point t) {
  const std::tm tm = LocalTime(t);
  return std::to_string(tm.tm_year + 1900) + "." + TwoDigits(tm.tm_mon + 1) + "." +
         TwoDigits(tm.tm_mday) + "  " + TwoDigits(tm.tm_hour) + ":" + TwoDigits(tm.tm_min) + ":" +
         TwoDigits(tm.tm_sec);
}

std::string TimeText(std::chrono::system_clock::time_point t) {
  const std::tm tm = LocalTime(t);
  const auto sinceEpoch = t.time_since_epoch();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      sinceEpoch - std::chrono::floor<std::chrono::seconds>(sinceEpoch));
  return TwoDigits(tm.tm_hour) + ":" + TwoDigits(tm.tm_min) + ":" + TwoDigits(tm.tm_sec) + ":" +
         std::to_string(ms.count());
}

}  // namespace ploxen
