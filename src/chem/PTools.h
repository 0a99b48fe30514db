// Quantity units and number text: amounts to moles, locale-free number formatting and parsing.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace ploxen {

class Periodica;

constexpr double kGasConstant = 8.3143;  ///< J/(mol K), kernel and default data-side value

/// Result of reading an amount text such as "2.5 kg" or "10 Nm³".
struct AmountResult {
  bool ok = false;
  double moles = 0.0;  ///< mol
};

/// Converts an amount text to moles of the compound `molDefinition`.
/// `pressureBar` is the effective pressure (P / z for gases), `temperatureK` the system
/// temperature.
AmountResult AmountToMoles(std::string_view amount, std::string_view molDefinition,
                           double pressureBar, double temperatureK, const Periodica& table,
                           double gasConstant = kGasConstant);

/// General format with `precision` significant digits: fixed notation when |value| >= 0.00001
/// and the integer digits fit the precision, else "d.dddE+xx" with at least `digits` (at most 4)
/// exponent digits; trailing zeros dropped, "." as separator. NaN and infinities give "NAN", "INF", "-INF".
std::string FormatFloatG(double value, int precision, int digits);
std::string FormatFloat8(double value);     ///< FormatFloatG(value, 8, 6)
std::string FormatFloatFull(double value);  ///< 15 significant digits

/// 0 when the text is not a number ("," or "." as decimal separator, blanks dropped).
double TextToFloat(std::string_view text);
/// Same normalisation as TextToFloat; the value goes to `lastFloat` when given.
bool IsFloatText(std::string_view text, double* lastFloat = nullptr);
/// First "," becomes "."; no trimming. `value` is 0 when not ok.
bool TryTextToFloat(std::string_view text, double& value);
int TextToInt(std::string_view text);  ///< trimmed decimal integer, 0 when not one
/// Sum of hex digits x 16^i from the right after trimming and a leading "0x"; other
/// characters count as digit 0. Wraps around like a 32-bit register for long texts.
int HexTextToInt(std::string_view text);

/// The whole text as a finite real with "." as decimal separator (optional sign, point and
/// exponent; no blanks, no "inf"/"nan"). Locale-free. `value` is untouched when not ok.
bool ParseRealText(std::string_view text, double& value);
/// The whole text as a 32-bit decimal integer with optional sign. Locale-free.
bool ParseIntText(std::string_view text, int& value);

/// Full path of `path` against `base` (the program folder when `base` is empty).
/// "\" is accepted as separator; a path with ":\" or starting with "/" is absolute.
std::string ResolvePath(std::string_view base, std::string_view path);

std::string DateTimeText(std::chrono::system_clock::time_point t);  ///< "YYYY.MM.DD  hh:mm:ss"
std::string TimeText(std::chrono::system_clock::time_point t);      ///< "hh:mm:ss:ms"

std::string Trim(std::string_view text);  ///< drops leading and trailing blanks and control chars

}  // namespace ploxen
