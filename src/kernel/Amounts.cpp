// Equilibrium amounts from the converged relative amounts: element shares, phase totals,
// fractions, the electron balance and the mass check.
#include <cmath>

#include "kernel/EqKernel.h"
#include "support/AplMsg.h"

namespace ploxen {

// work_[j] := sum over all compounds of nu * a[q][j], the weight of element j's carriers.
void TEqlKernel::CarrierSums() {
  for (int j = 1; j <= ne_; ++j) work_[j] = 0.0L;
  for (int q = 1; q <= nc_; ++q) {
    const long double nu = nu_[q];
    if (nu == 0.0L) continue;
    for (int e = rowStart_[q]; e < rowStart_[q + 1]; ++e) work_[spCol_[e]] += nu * spVal_[e];
  }
}

// Each element's input is shared out over its carriers in proportion to nu*a; a compound's
// amount is the mean of its shares over its elements (they agree once all ratios converged).
void TEqlKernel::FinalAmounts() {
  CarrierSums();
  for (int q = 1; q <= nc_; ++q) {
    const long double nu = nu_[q];
    long double sum = 0.0L;
    int count = 0;
    for (int e = rowStart_[q]; e < rowStart_[q + 1]; ++e) {
      const int j = spCol_[e];
      if (b_[j] <= 0.0L) continue;
      const bool carries = nu > 0.0L && spVal_[e] > 0.0L && state_[q] != 0 && work_[j] > 0.0L;
      spShare_[e] = carries ? b_[j] * nu / work_[j] : 0.0L;
      if (spVal_[e] > 0.0L) {
        sum += spShare_[e];
        ++count;
      }
    }
    amount_[q] = count > 0 ? sum / count : 0.0L;
  }
  if (partialInput_) {
    for (int q = 1; q <= nc_; ++q) amount_[q] += (1.0L - share_[q]) * input_[q];
  }
  ElectronAmount();
  totalMoles_ = 0.0L;
  for (int k = 1; k <= kPhaseSlots; ++k) {
    phaseTotal_[k] = 0.0L;
    if (count_[k] == 0) continue;
    long double total = 0.0L;
    for (int q = RangeFirst(k); q <= RangeLast(k); ++q) {
      if (amount_[q] > 0.0L) total += amount_[q];
    }
    phaseTotal_[k] = total;
    for (int q = RangeFirst(k); q <= RangeLast(k); ++q) {
      fraction_[q] = total > 0.0L ? amount_[q] / total : 0.0L;
    }
    totalMoles_ += total;
  }
  if (CBAutoCorr) MassCheck();
  if (electron_ != 0) {
    if (amount_[electron_] == 0.0L) {
      nu_[electron_] = 0.0L;
      fraction_[electron_] = 0.0L;
    } else {
      nu_[electron_] = std::fabs(fraction_[electron_]);
    }
  }
}

// The electron compound balances the charge carried by every other compound's change.
void TEqlKernel::ElectronAmount() {
  if (electron_ == 0) return;
  long double n = input_[electron_];
  for (int q = 1; q <= nc_; ++q) {
    if (q == electron_) continue;
    n -= electronCount_[q] * electronSign_ * (input_[q] - amount_[q]);
  }
  amount_[electron_] = n;
  if (n > 0.0L) state_[electron_] = 1;
}

void TEqlKernel::MassCheck() {
  for (int j = 1; j <= ne_; ++j) work_[j] = 0.0L;
  for (int q = 1; q <= nc_; ++q) {
    const long double n = amount_[q];
    if (n == 0.0L) continue;
    for (int e = rowStart_[q]; e < rowStart_[q + 1]; ++e) work_[spCol_[e]] += spVal_[e] * n;
  }
  for (int j = 1; j <= ne_; ++j) {
    if (b_[j] <= 0.0L) continue;
    if (work_[j] == 0.0L) Post(kMsgCritical, 1398, "Auto correctur caused error");
    if (std::fabs(1.0L - work_[j] / b_[j]) > precision_) {
      Post(kMsgCritical, 1402,
           "Possibily not exact mass distrubution (" + SystemElementLabel(j) + ")");
    }
  }
}

// Amounts of a volume-loop pass: shares of every element with carriers, without the
// partial-input, electron and phase steps of the final amounts.
void TEqlKernel::VolumeAmounts() {
  CarrierSums();
  for (int q = 1; q <= nc_; ++q) {
    long double sum = 0.0L;
    int count = 0;
    for (int e = rowStart_[q]; e < rowStart_[q + 1]; ++e) {
      if (spVal_[e] <= 0.0L) continue;
      const int j = spCol_[e];
      if (work_[j] > 0.0L) spShare_[e] = b_[j] * nu_[q] / work_[j];
      sum += spShare_[e];
      ++count;
    }
    amount_[q] = count > 0 ? sum / count : 0.0L;
  }
}

}  // namespace ploxen
