// Condition sheet layout: how the labels and values of a condition sheet are interpreted.
#pragma once

#include <string>
#include <string_view>

namespace ploxen {

/// Rows and columns of the condition sheet.
namespace cond {
constexpr int kRowKind = 1;         ///< A1 calculation kind, B1 read-only mark and status word
constexpr int kRowTemperature = 2;  ///< A2 label, B2 value, C2 value used
constexpr int kRowPressure = 3;     ///< A3 label, B3 value, C3 value used
constexpr int kRowPhases = 4;       ///< B4..I4 phase sheet names
constexpr int kRowTarget = 5;       ///< B5 "g" or "s"
constexpr int kRowCount = 6;        ///< A6 "+C", B6 counter, C6 last run
constexpr int kRowPrecision = 7;    ///< B7
constexpr int kRowIterations = 8;   ///< B8 limit, C8 approximation factor
constexpr int kRowVisual = 9;       ///< B9 visualisation sheet
constexpr int kRowFollowing = 10;   ///< B10 book, C10 sheet, D10 parameters
constexpr int kRowRecorder = 11;    ///< B11 recorder sheet, C11 last row
constexpr int kRowRecorded = 12;    ///< first recorded name / value
constexpr int kMaxPhases = 8;
}  // namespace cond

/// A2 contains an upper-case "C": the temperature is in degrees Celsius.
bool TemperatureInCelsius(std::string_view a2);
/// The lower-cased A3 begins with "v": constant volume.
bool ConstantVolume(std::string_view a3);
/// B5: +1 "g"/"G" (minimum of Gibbs energy), -1 "s"/"S" (high entropy), 0 anything else.
int MinimisationTarget(std::string_view b5);
/// A6 contains "+C": the counter is advanced before each run.
bool AutoCounter(std::string_view a6);
/// Kind of a condition sheet from A1: 0 "eql" or "process", 1 "rcl", -1 otherwise (any case).
int ConditionKind(std::string_view a1);
/// B7 as precision: accepted when 0 < value < 1.
bool AcceptPrecision(std::string_view text);
/// B8 as iteration limit: accepted when it is an integer above 0.
bool AcceptIterationLimit(std::string_view text);
/// C8 as approximation factor: accepted when 0 < value < 1.
bool AcceptApproximationFactor(std::string_view text);
/// Run counter from B6: B6 + 1, or 1 when B6 is negative or not below the largest integer.
int NextRunCounter(int b6);
/// Lower-case copy (ASCII letters only).
std::string LowerText(std::string_view text);

}  // namespace ploxen
