// Gibbs-energy minimisation at constant pressure: normalisation, element ratios, Lagrange steps,
// and the first and final solutions.
#include <cmath>

#include "kernel/EqKernel.h"
#include "kernel/KernelMath.h"
#include "support/AplMsg.h"

namespace ploxen {

namespace {

const char* const kIncreaseHint =
    " Increase \"Iter.Limit\">90000; or \"Precision\"; or Set. \"Appr.Factor\" to 0.99";

}  // namespace

long double TEqlKernel::PotentialSum(int q) const {
  long double s = 0.0L;
  for (int e = rowStart_[q]; e < rowStart_[q + 1]; ++e) s += spVal_[e] * lambda_[spCol_[e]];
  return s;
}

// exp(s) is remembered per compound: a potential sum that did not change since the last
// evaluation (its elements' potentials stood still) reuses the same value.
long double TEqlKernel::RelativeAmount(int q, long double s) {
  const long double gamma = gamma_[q];
  if (gamma <= 0.0L) return 0.0L;
  if (s != expArg_[q]) {
    expArg_[q] = s;
    expValue_[q] = s < -kExponentBound ? 0.0L : ExpExtended(s);
  }
  return expValue_[q] * phi_[q] / (gamma * sigma_[q]);
}

void TEqlKernel::ReportHighActivity(int q) {
  if (quiet_) return;
  Post(kMsgError, 456,
       "Unusual high activity of " + labels_[q] +
           " . Insert compounds to system with the elements of " + labels_[q]);
  resultText_ = "Break because error EK.456";
}

void TEqlKernel::ReportMissingElement(int j) {
  if (quiet_) return;
  std::string text = "Calculation is not possible. Probably because " + SystemElementLabel(j);
  if (j != ref_) text += " | " + SystemElementLabel(ref_);
  text += "You must insert compounds with this element into the system ";
  Post(kMsgError, 433, text);
  resultText_ = "Break because error EK.433";
}

std::string TEqlKernel::CounterText(bool withAlpha) const {
  std::string text = "I:" + std::to_string(iterI_) + ";P:" + std::to_string(iterP_) +
                     ";F:" + std::to_string(iterF_) + ";V:" + std::to_string(iterV_);
  if (withAlpha) text += " (" + KernelRealText(alpha_) + ")";
  return text;
}

// Shifts all potentials together until the activities of first..last add up to the target,
// then derives the relative amounts of every compound and the element totals.
bool TEqlKernel::Normalise(int first, int last, long double target) {
  if (forced_) {
    int unitCount = 0;
    for (int q = first; q <= last; ++q) unitCount += unit_[q] ? 1 : 0;
    if (unitCount > 0) target = unitCount;
  }
  long double delta = 0.0L;
  long double divisor = 2.0L;
  iterP_ = 0;
  for (int q = first; q <= last; ++q) {
    if (state_[q] == 0) nu_[q] = 0.0L;
  }
  for (;;) {
    long double sum = 0.0L;
    for (int q = first; q <= last; ++q) {
      if (state_[q] == 0) continue;
      const long double s = PotentialSum(q);
      potential_[q] = s;
      const long double gamma = gamma_[q];
      if (gamma > 0.0L && s - (gamma == 1.0L ? 0.0L : std::log(gamma)) > kExponentBound) {
        ReportHighActivity(q);
        return false;
      }
      nu_[q] = RelativeAmount(q, s);
      sum += nu_[q] * gamma * sigma_[q];
      if (!std::isfinite(sum)) {  // beyond the extended range: no finite activity exists
        ReportHighActivity(q);
        return false;
      }
    }
    const long double ratio = sum / target;
    if (sum <= 0.0L || !std::isfinite(ratio)) {
      if (!quiet_) {
        Post(kMsgCritical, 560, "Calculation is not possible, Please check restrictions !");
        resultText_ = "Calculation is broken because error EK.560";
      }
      return false;
    }
    if (1.0L - precision_ <= ratio && ratio <= 1.0L + precision_) break;
    const long double previous = delta;
    delta = std::log(ratio) / divisor;
    for (int j = 1; j <= ne_; ++j) {
      if (b_[j] > 0.0L) lambda_[j] -= delta;
    }
    if (previous * delta < 0.0L) divisor *= 2.0L;
    ++iterP_;
    if (iterP_ >= iterLimit_) {
      if (!quiet_) {
        Post(kMsgCritical, 637,
             std::string("Maximum iteration steps are exceed. (PN)") + kIncreaseHint +
                 "P:" + std::to_string(iterP_) + ";I:" + std::to_string(iterI_) +
                 ";F:" + std::to_string(iterF_) + ";V:" + std::to_string(iterV_));
        resultText_ = "Calculation is broken because error 637";
      }
      return false;
    }
  }
  return AllAmountsAndTotals(first, last);
}

// Relative amounts of all compounds at the current potentials, then the element totals.
// The normalised range already holds them from the last pass; only its checks are repeated.
bool TEqlKernel::AllAmountsAndTotals(int first, int last) {
  for (int q = 1; q <= nc_; ++q) {
    if (state_[q] == 0) continue;
    const bool inRange = q >= first && q <= last;
    const long double s = inRange ? potential_[q] : PotentialSum(q);
    potential_[q] = s;
    const long double gamma = gamma_[q];
    if ((gamma > 0.0L && s - (gamma == 1.0L ? 0.0L : std::log(gamma)) > kExponentBound) ||
        s + lnPhi_[q] > kExponentBound) {
      ReportHighActivity(q);
      return false;
    }
    if (!inRange) {
      nu_[q] = RelativeAmount(q, s);
      if (!std::isfinite(nu_[q])) {
        ReportHighActivity(q);
        return false;
      }
    }
  }
  for (int j = 1; j <= ne_; ++j) {
    total_[j] = 0.0L;
    overflow_[j] = 0;
  }
  for (int q = 1; q <= nc_; ++q) {
    const long double nu = nu_[q];
    if (nu == 0.0L) continue;
    for (int e = rowStart_[q]; e < rowStart_[q + 1]; ++e) {
      const int j = spCol_[e];
      total_[j] += spVal_[e] * nu;
      if (total_[j] > kTotalOverflow) overflow_[j] = 1;
    }
  }
  for (int j = 1; j <= ne_; ++j) {
    if (overflow_[j]) {
      ReportMissingElement(j);
      return false;
    }
  }
  if (total_[ref_] <= 0.0L) {
    ReportMissingElement(ref_);
    if (!quiet_) Post(kMsgError, 642, "At last one element can not exist in products");
    return false;
  }
  if (iterP_ > largestP_) largestP_ = iterP_;
  return true;
}

bool TEqlKernel::ElementRatios() {
  bool all = true;
  for (int j = 1; j <= ne_; ++j) {
    if (j == ref_ || b_[j] <= 0.0L) continue;
    long double r = 1.0L;
    if (std::fabs(total_[j]) != 0.0L && std::fabs(b_[j]) != 0.0L) {
      r = (total_[j] / total_[ref_]) / (b_[j] / b_[ref_]);
    }
    ratio_[j] = r;
    if (!(1.0L - precision_ <= r && r < 1.0L + precision_)) all = false;
  }
  return all;
}

// One correction of the potentials towards the element ratios of the input: a Newton-like
// step when "Fast Iteration" is on, otherwise a fixed step per element that shrinks by the
// approximation factor at every change of direction.
void TEqlKernel::StepLagrange() {
  const long double eps = precision_;
  if (CbxFast) {
    bool positive = false;
    for (int j = 1; j <= ne_; ++j) {
      if (j == ref_ || b_[j] <= 0.0L) continue;
      const long double r = ratio_[j];
      if ((r > 1.0L + eps || r < 1.0L - eps) && r > 0.0L) lambda_[j] -= alpha_ * std::log(r);
      if (lambda_[j] > 0.0L) positive = true;
    }
    if (!positive) return;
    CbxFast = false;
    alpha_ = 0.98L;
    for (int j = 1; j <= ne_; ++j) {
      if (lambda_[j] > 0.0L) lambda_[j] = -1.0L;
    }
  }
  for (int j = 1; j <= ne_; ++j) {
    if (j == ref_ || b_[j] <= 0.0L) continue;
    const long double r = ratio_[j];
    if (r > 1.0L + eps) {
      if (dir_[j] == -1) step_[j] *= alpha_;
      lambda_[j] -= step_[j];
      dir_[j] = 1;
    } else if (r < 1.0L - eps) {
      if (dir_[j] == 1) step_[j] *= alpha_;
      lambda_[j] += step_[j];
      dir_[j] = -1;
    }
  }
}

void TEqlKernel::RaiseAlpha(int counter, int& threshold) {
  if (counter <= threshold) return;
  alpha_ += (0.99L - alpha_) / 2.0L;
  if (alpha_ > 0.99L) alpha_ = 0.99L;
  threshold += 1000;
}

int TEqlKernel::FirstSolution() {
  int threshold = 1000;
  if (!Normalise(1, nc_, pressure_)) return -2;
  for (int j = 1; j <= ne_; ++j) {
    if (j == ref_ || b_[j] <= 0.0L) continue;
    step_[j] = 10.0L;
    dir_[j] = 0;
    ratio_[j] = 1.0L;
  }
  largestP_ = 0;
  for (;;) {
    StepLagrange();
    bool ok = false;
    if (mode_ == 1) {
      ok = VolumeLoop(RangeFirst(1), RangeLast(1));
    } else if (mode_ == 2) {
      ok = VolumeLoop(RangeFirst(2), RangeLast(2));
    } else {
      ok = Normalise(1, nc_, pressure_);
    }
    if (!ok) return -2;
    const bool converged = ElementRatios();
    if (!converged) ++iterI_;
    RaiseAlpha(iterI_, threshold);
    if (iterI_ > iterLimit_) {
      Post(kMsgError, 916,
           std::string("Maximum iteration steps are exceed (ilk).") + kIncreaseHint + "; " +
               CounterText(true));
      resultText_ = "Calculation is broken because error 916";
      return -4;
    }
    if (PollBreak()) {
      resultText_ = "Break by user (ilk)";
      return -4;
    }
    if (converged) {
      runSummary_ = "1: " + std::to_string(iterI_) + "(" + KernelRealText(alpha_) + ")";
      return 1;
    }
  }
}

bool TEqlKernel::FinalSolution(int first, int last, long double target) {
  double factor = 0.0;
  alpha_ = ReadCriterionReal(EditApprFactor, factor) ? factor : 0.72;
  int threshold = 1000;
  for (int j = 1; j <= ne_; ++j) {
    step_[j] = 10.0L;
    dir_[j] = 0;
    ratio_[j] = 1.0L;
  }
  iterF_ = 0;
  for (;;) {
    StepLagrange();
    const bool ok = mode_ == 0 ? Normalise(first, last, target) : VolumeLoop(first, last);
    if (!ok) return false;
    const bool converged = ElementRatios();
    if (!converged) ++iterF_;
    RaiseAlpha(iterF_, threshold);
    if (iterF_ > iterLimit_) {
      if (!quiet_) {
        Post(kMsgCritical, 780,
             std::string("Maximum iteration steps are exceed.(Fin)") + kIncreaseHint + "; " +
                 CounterText(true));
        resultText_ = "Calculation is broken because error 780";
      }
      return false;
    }
    if (PollBreak()) {
      resultText_ = "Break by user !";
      return false;
    }
    if (converged) return true;
  }
}

}  // namespace ploxen
