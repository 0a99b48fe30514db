// Calculation criteria: reading the criteria edits and the window's automatic behaviour.
#include <charconv>
#include <cmath>

#include "kernel/EqKernel.h"

namespace ploxen {

namespace {

std::string TrimBlanks(std::string_view text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return std::string(text.substr(first, last - first));
}

}  // namespace

bool ReadCriterionReal(std::string_view text, double& value) {
  std::string t = TrimBlanks(text);
  for (char& c : t) {
    if (c == ',') c = '.';
  }
  if (!t.empty() && t.back() == '.') t += '0';
  std::string clean;
  for (char c : t) {
    if (c != ' ') clean += c;
  }
  const char* begin = clean.data();
  const char* end = begin + clean.size();
  if (begin != end && *begin == '+') ++begin;
  if (begin == end) return false;
  double v = 0.0;
  auto [ptr, ec] = std::from_chars(begin, end, v, std::chars_format::general);
  if (ec != std::errc() || ptr != end || !std::isfinite(v)) return false;
  value = v;
  return true;
}

bool ReadCriterionInt(std::string_view text, int& value) {
  std::string t = TrimBlanks(text);
  const char* begin = t.data();
  const char* end = begin + t.size();
  if (begin != end && *begin == '+') ++begin;
  if (begin == end) return false;
  int v = 0;
  auto [ptr, ec] = std::from_chars(begin, end, v);
  if (ec != std::errc() || ptr != end) return false;
  value = v;
  return true;
}

std::string CriterionText(double value) {
  char buffer[64];
  auto [ptr, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  if (ec != std::errc()) return "0";
  return std::string(buffer, ptr);
}

std::string KernelRealText(long double value) {
  return CriterionText(static_cast<double>(value));
}

void TEqlKernel::EditILimitChange() {
  if (CbxFast) {
    EditApprFactor = "0.5";
    return;
  }
  if (!CBAutoIfa) return;
  int limit = 0;
  if (!ReadCriterionInt(EditILimit, limit)) limit = 43000;
  double factor = limit / 100000.0 * 0.5 + 0.5;
  if (factor > 0.98) factor = 0.98;
  if (factor < 0.5) factor = 0.5;
  alpha_ = factor;
  EditApprFactor = CriterionText(factor);
}

void TEqlKernel::CbxFastClick() {
  EditILimitChange();
}

void TEqlKernel::CBAutoIfaClick() {
  EditApprFactorEnabled = !CBAutoIfa;
  EditILimitChange();
}

void TEqlKernel::EdtZeroExit() {
  double z = 0.0;
  if (!ReadCriterionReal(EdtZero, z) || z < 0.0 || z > 1.0) {
    zeroLimit_ = 1e-23L;
    EdtZero = "1e-23";
  }
}

void TEqlKernel::BeginRun(int mode, long double temperatureK, long double pressureBar,
                          long double volumeM3) {
  mode_ = mode;
  temperature_ = temperatureK;
  pressure_ = pressureBar;
  volume_ = volumeM3;
  workPressure_ = 1.0L;

  int limit = 0;
  iterLimit_ = ReadCriterionInt(EditILimit, limit) ? limit : kDefaultIterLimit;
  if (iterLimit_ > kMaxIterLimit) iterLimit_ = kMaxIterLimit;  // counters stay in range
  double value = 0.0;
  if (!ReadCriterionReal(EditPrec, value) || value <= 0.0 || value >= 1.0) {
    value = kDefaultPrecision;
  }
  precision_ = value;
  if (!ReadCriterionReal(EditApprFactor, value)) value = kDefaultApprFactor;
  alpha_ = value;
  if (!ReadCriterionReal(EdtZero, value) || value < 0.0) value = kDefaultZeroLimit;
  if (value > 1.0) value = 1.0;
  zeroLimit_ = value;
}

}  // namespace ploxen
