// Condition sheet layout: how the labels and values of a condition sheet are interpreted.
#include "process/ConditionLayout.h"

#include <limits>

#include "chem/PTools.h"

namespace ploxen {

std::string LowerText(std::string_view text) {
  std::string s(text);
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

bool TemperatureInCelsius(std::string_view a2) {
  return a2.find('C') != std::string_view::npos;
}

bool ConstantVolume(std::string_view a3) {
  return LowerText(a3).starts_with("v");
}

int MinimisationTarget(std::string_view b5) {
  if (b5 == "g" || b5 == "G") return 1;
  if (b5 == "s" || b5 == "S") return -1;
  return 0;
}

bool AutoCounter(std::string_view a6) {
  return a6.find("+C") != std::string_view::npos;
}

int ConditionKind(std::string_view a1) {
  const std::string s = LowerText(Trim(a1));
  if (s == "eql" || s == "process") return 0;
  if (s == "rcl") return 1;
  return -1;
}

namespace {
bool OpenUnitInterval(std::string_view text) {
  double v = 0.0;
  return IsFloatText(text, &v) && v > 0.0 && v < 1.0;
}
}  // namespace

bool AcceptPrecision(std::string_view text) {
  return OpenUnitInterval(text);
}

bool AcceptApproximationFactor(std::string_view text) {
  return OpenUnitInterval(text);
}

bool AcceptIterationLimit(std::string_view text) {
  int v = 0;
  return ParseIntText(Trim(text), v) && v > 0;
}

int NextRunCounter(int b6) {
  if (b6 < 0 || b6 == std::numeric_limits<int>::max()) return 1;
  return b6 + 1;
}

}  // namespace ploxen
