// Auto correction and diagnostics: unit activity, consistency, the corrective pass, retries with
// more steps, the phase check and the natural-minerals hint.
#include <algorithm>
#include <cmath>

#include "kernel/EqKernel.h"
#include "support/AplMsg.h"

namespace ploxen {

// Runs the final solution over the normalisation phase (a plain normalisation with one element).
bool TEqlKernel::FinalStep() {
  const int first = RangeFirst(kStar_);
  const int last = RangeLast(kStar_);
  return ne_ > 1 ? FinalSolution(first, last, workPressure_)
                 : Normalise(first, last, workPressure_);
}

// Forces the compounds marked by FixUnitActivity to activity 1 by adjusting their activity
// coefficients, at most 64 rounds; compounds that cannot reach it lose the mark.
bool TEqlKernel::UnitActivity() {
  forced_ = 0;
  for (int q = 1; q <= nc_; ++q) {
    if (!unit_[q]) continue;
    if (state_[q] < 1) {
      Post(kMsgImportant, 1296,
           labels_[q] + "- formation may be inpossible in system." + " The formation is forced.");
    }
    forced_ = 1;
  }
  if (!forced_) return true;
  const long double eps = precision_;
  for (int round = 0; round < 64; ++round) {
    bool all = true;
    for (int q = 1; q <= nc_; ++q) {
      if (!unit_[q]) continue;
      const long double act = Activity(q);
      if (!(1.0L - eps <= act && act <= 1.0L + eps)) all = false;
    }
    if (all) break;
    bool kept = false;
    for (int q = 1; q <= nc_; ++q) {
      if (!unit_[q]) continue;
      bool lost = false;
      if (gamma_[q] > kGammaOverflow) {
        unit_[q] = 0;
        state_[q] = -1;
        lost = true;
      }
      if (nu_[q] < kTinyRelativeAmount) {
        unit_[q] = 0;
        state_[q] = 0;
        lost = true;
      }
      if (lost) {
        gamma_[q] = 1.0L;
      } else {
        gamma_[q] = 1.0L / (nu_[q] * sigma_[q]);
        kept = true;
      }
    }
    if (!kept) break;
    if (!FinalStep()) return false;
  }
  return true;
}

void TEqlKernel::Consistency() {
  std::string text;
  std::string low;
  for (int q = RangeFirst(kStar_); q <= RangeLast(kStar_); ++q) {
    if (!unit_[q]) continue;
    const long double act = Activity(q);
    if (act > 1.1L) text = "Inconsistent System. ";
    if (act < 0.9L) low += ", " + labels_[q];
  }
  if (!low.empty()) text += "Inconsistece, Possibily caused by " + low;
  if (!text.empty()) Post(kMsgImportant, 1292, text);
}

// With auto correction on and formation forced, drops unit-activity compounds that cannot
// exist (no amount, or activity far below 1) once; true when the unit-activity step must rerun.
bool TEqlKernel::CorrectivePass() {
  if (!autoCorrState_ || !forced_) return false;
  bool high = false;
  for (int q = 1; q <= nc_; ++q) {
    if (unit_[q] && Activity(q) > 1.1L) high = true;
  }
  if (!high) {
    Post(kMsgInformation, 1327, "auto correcture is not necessary");
    return false;
  }
  auto drop = [this](int q) {
    unit_[q] = 0;
    state_[q] = 0;
    gamma_[q] = 0.0L;
    nu_[q] = 0.0L;  // an excluded compound carries no element
  };
  for (int q = 1; q <= nc_; ++q) {
    if (unit_[q] && amount_[q] < kSmallAmount) drop(q);
  }
  for (int q = 1; q <= nc_; ++q) {
    if (unit_[q] && Activity(q) < 0.5L) drop(q);
  }
  Post(kMsgInformation, 1323, "Check for auto correcture");
  autoCorrState_ = 0;
  return true;
}

void TEqlKernel::MineralsCheck() {
  for (int k = 1; k <= kPhaseSlots; ++k) {
    if (!chosen_[k]) continue;
    long double sum = 0.0L;
    for (int q = RangeFirst(k); q <= RangeLast(k); ++q) sum += amount_[q];
    if (sum < kSmallAmount) {
      Post(kMsgCritical, 1478, "Formation of natural minerals should be disabled: set ac=0 (zero)");
      Post(kMsgCritical, 1477,
           "Remember that the natural minerals (in input) can not often form or exist in thermic "
           "processes");
      Post(kMsgCritical, 1476, "Please add several compunds with various combination into system");
      Post(kMsgCritical, 1475, "The substance selection is very restrictive");
    }
    return;
  }
}

bool TEqlKernel::RetryWithMoreSteps() {
  if (iterLimit_ > 100000 || breakRequest_) return false;
  // Grow by a tenth, and at least by one so that a tiny limit still reaches the end.
  const int base = std::max(iterLimit_, 0);
  iterLimit_ = base + std::max(1, base / 10);
  Post(kMsgImportant, 936, "Retrying solution with steps.. " + std::to_string(iterLimit_));
  alpha_ = firstRetry_ ? 0.5L : alpha_ + 0.05L;
  if (alpha_ >= 1.0L) alpha_ = 0.999L;
  if (alpha_ < 0.5L) alpha_ = 0.5L;
  for (auto& row : elementByPhase_) row.fill(0);
  std::fill_n(spShare_.begin(), rowStart_[nc_ + 1], 0.0L);
  firstRetry_ = 0;
  return true;
}

void TEqlKernel::SaveResults() {
  std::copy_n(nu_.begin(), nc_ + 1, saveNu_.begin());
  std::copy_n(sigma_.begin(), nc_ + 1, saveSigma_.begin());
  std::copy_n(amount_.begin(), nc_ + 1, saveAmount_.begin());
  std::copy_n(fraction_.begin(), nc_ + 1, saveFraction_.begin());
  saveLambda_ = lambda_;
}

void TEqlKernel::RestoreResults() {
  std::copy_n(saveNu_.begin(), nc_ + 1, nu_.begin());
  std::copy_n(saveSigma_.begin(), nc_ + 1, sigma_.begin());
  std::copy_n(saveAmount_.begin(), nc_ + 1, amount_.begin());
  std::copy_n(saveFraction_.begin(), nc_ + 1, fraction_.begin());
  lambda_ = saveLambda_;
}

// Rescales condensed solution phases whose activities do not add up to about 1 and solves
// again. A failed solution inside the check leaves the results as they were before it.
void TEqlKernel::PhaseCheck() {
  SaveResults();
  const long double eps = precision_;
  const int rounds = std::max(1, EditPhaseCheck);
  bool resolved = false;  // a round has solved the system again since the amounts were computed
  for (int round = 0; round < rounds; ++round) {
    bool needed = false;
    for (int k = 3; k <= kPhaseSlots; ++k) {
      const bool checked = k != kStar_ && totalMoles_ > 0.0L && phaseTotal_[k] / totalMoles_ > eps;
      if (!checked) continue;
      long double sum = 0.0L;
      for (int q = RangeFirst(k); q <= RangeLast(k); ++q) sum += Activity(q);
      if (sum > 0.0L && (sum < 0.9L || sum > 1.1L)) needed = true;
      for (int q = RangeFirst(k); q <= RangeLast(k); ++q) {
        if (unit_[q]) continue;
        if (1.0L - eps < gamma_[q] && gamma_[q] < 1.0L + eps) {
          if (sum > 0.0L) sigma_[q] *= 1.0L / sum;
        } else {
          sigma_[q] = 1.0L;
        }
      }
    }
    if (!needed) {
      // Nothing left to correct: amounts of an earlier re-solved round must still be computed,
      // or they would stand from before the check beside the new activities.
      if (resolved) FinalAmounts();
      return;
    }
    if (!FinalSolution(RangeFirst(kStar_), RangeLast(kStar_), workPressure_)) {
      RestoreResults();
      if (breakRequest_) phaseCheckBroken_ = 1;
      return;
    }
    resolved = true;
  }
  FinalAmounts();
}

}  // namespace ploxen
