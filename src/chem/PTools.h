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
/// `pressureBar` is the effective pressure (P / z for gases), `temperatureK` the system temperature.
AmountResult AmountToMoles(std::string_view amount, std::string_view molDefinition,
                           double pressureBar, double temperatureK, const Periodica& table,
                           double gasConstant = kGasConstant);

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
int HexTextToInt(std::string_view text);

/// Full path of `path` against `base` (the program folder when `base` is empty).
/// "\" is accepted as separator; a path with ":\" or starting with "/" is absolute.
std::string ResolvePath(std::string_view base, std::string_view path);

std::string DateTimeText(std::chrono::system_clock::time_point t);  ///< "YYYY.MM.DD  hh:mm:ss"
std::string TimeText(std::chrono::system_clock::time_point t);      ///< "hh:mm:ss:ms"

std::string Trim(std::string_view text);  ///< drops leading and trailing blanks and control chars

}  // namespace ploxen
