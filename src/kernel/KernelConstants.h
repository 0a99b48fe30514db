// Fixed capacities, constants and number-text helpers of the equilibrium kernel.
#pragma once

#include <string>
#include <string_view>

namespace ploxen {

constexpr int kMaxCompounds = 2048;  ///< compound capacity (indices 1..2048)
constexpr int kElementSlots = 256;   ///< element-table entries; system elements 1..255
constexpr int kPhaseSlots = 8;       ///< 1, 2 gas; 3..5 liquid; 6..8 solid

constexpr long double kKernelGasConstant = 8.3143L;  ///< R [J/(mol K)] of the kernel
/// Exponent bound 4096 ln 10: exp(s) counts as 0 below -bound, activities above it are unusual.
constexpr long double kExponentBound = 4096.0L * 2.302585092994045684017991454684364208L;
constexpr long double kSmallAmount = 1e-23L;     ///< fixed small amount [mol]
constexpr long double kTotalOverflow = 1e4932L;  ///< largest element total
constexpr long double kGammaOverflow = 1e2048L;  ///< largest forced activity coefficient
constexpr long double kTinyRelativeAmount = 1e-308L;

constexpr int kDefaultIterLimit = 98000;
constexpr int kMaxIterLimit = 1000000000;  ///< larger limits are taken as this one
constexpr double kDefaultPrecision = 0.01;
constexpr double kDefaultApprFactor = 0.98;
constexpr double kDefaultZeroLimit = 1e-23;

/// Captions of the criteria window, for the view that shows the kernel's criteria.
constexpr const char* kCriteriaCaption = "Equilibrium - Calculation Criteria";
constexpr const char* kCaptionIterLimit = "lIter.Limit";
constexpr const char* kCaptionPrecision = "Precision";
constexpr const char* kCaptionApprFactor = "Appr.Factor";
constexpr const char* kCaptionAutoApprFactor = "Auto Appr. Factor";
constexpr const char* kCaptionZeroLimit = "Ignore mol values less than [mol]  <";
constexpr const char* kCaptionFast = "Fast Iteration";
constexpr const char* kCaptionAutoCorrection = "Auto Correction";
constexpr const char* kCaptionMaxEntropy = "Turbulent System (High Entropy)";
constexpr const char* kCaptionPhaseCheck = "Calc. Check";
constexpr const char* kCaptionExact = "Exact Solution";
constexpr const char* kCaptionExtendedGroup = "Extended Options (Beta)";
constexpr const char* kCaptionClose = "Close";

/// Reads a criterion real: trimmed, "," to ".", trailing "." gets "0", blanks dropped; finite only.
bool ReadCriterionReal(std::string_view text, double& value);
/// Reads a trimmed decimal integer; false on any other character.
bool ReadCriterionInt(std::string_view text, int& value);
/// Shortest decimal text of a criterion with a point (15 significant digits at most).
std::string CriterionText(double value);
/// Decimal text of a kernel real for messages and the run summary.
std::string KernelRealText(long double value);

}  // namespace ploxen
