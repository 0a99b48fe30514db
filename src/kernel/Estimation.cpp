// Estimation on the first solution: element carriers per phase, the hold-back estimate and the
// pressure analysis that picks the phase and target of the final normalisation.
#include <algorithm>

#include "kernel/EqKernel.h"

namespace ploxen {

namespace {

int PhaseGroup(int slot) {
  return slot <= 2 ? 0 : (slot <= 5 ? 1 : 2);
}

}  // namespace

void TEqlKernel::PhaseCounts() {
  for (int k = 1; k <= kPhaseSlots; ++k) {
    if (count_[k] == 0) continue;
    for (int q = RangeFirst(k); q <= RangeLast(k); ++q) {
      for (int e = rowStart_[q]; e < rowStart_[q + 1]; ++e) {
        if (spVal_[e] > 0.0L) ++elementByPhase_[k][spCol_[e]];
      }
    }
  }
}

bool TEqlKernel::OnlyCarrier(int slot, int j) const {
  if (elementByPhase_[slot][j] == 0) return false;
  for (int m = 1; m <= kPhaseSlots; ++m) {
    if (m != slot && elementByPhase_[m][j] != 0) return false;
  }
  return true;
}

// First compound in from..to (index order) that contains element j and is not excluded; 0 if none.
int TEqlKernel::FirstCarrier(int j, int from, int to) const {
  const int* begin = colRow_.data() + colStart_[j];
  const int* end = colRow_.data() + colStart_[j + 1];
  for (const int* it = std::lower_bound(begin, end, from); it != end && *it <= to; ++it) {
    if (A(*it, j) > 0.0L && state_[*it] != 0) return *it;
  }
  return 0;
}

// Holds back (state -1) compounds whose elements are carried more abundantly by other phases,
// then re-allows gases of noticeable pressure and the carriers of single-phase elements.
void TEqlKernel::HoldBackEstimate() {
  for (int k = 1; k <= kPhaseSlots; ++k) {
    for (int i = RangeFirst(k); i <= RangeLast(k); ++i) {
      if (state_[i] <= 0) continue;
      state_[i] = -1;
      bool compared = false;
      for (int e = rowStart_[i]; e < rowStart_[i + 1] && state_[i] == -1; ++e) {
        if (spVal_[e] <= 0.0L) continue;
        const int j = spCol_[e];
        const long double carried = nu_[i] * spVal_[e];
        if (k > 1) {
          const int q2 = FirstCarrier(j, 1, phaseEnd_[k - 1]);
          if (q2 != 0) {
            compared = true;
            if (nu_[q2] * A(q2, j) < carried) state_[i] = 1;
          }
        }
        if (k < kPhaseSlots && state_[i] == -1) {
          const int q2 = FirstCarrier(j, phaseEnd_[k] + 1, nc_);
          if (q2 != 0) {
            compared = true;
            if (nu_[q2] * A(q2, j) < carried) state_[i] = 1;
          }
        }
      }
      if (!compared) state_[i] = 1;
    }
  }
  for (int q = 1; q <= phaseEnd_[2]; ++q) {
    if (state_[q] != 0 && nu_[q] >= precision_ * pressure_) state_[q] = 1;
  }
  // The same substance in another phase group with a lower Gibbs energy wins.
  for (int start = 0; start < nc_;) {
    int end = start + 1;
    while (end < nc_ && nameGroup_[nameOrder_[end]] == nameGroup_[nameOrder_[start]]) ++end;
    for (int x = start; x < end && end - start > 1; ++x) {
      const int q = nameOrder_[x];
      if (state_[q] <= 0) continue;
      for (int y = start; y < end; ++y) {
        const int q2 = nameOrder_[y];
        if (PhaseGroup(slot_[q2]) != PhaseGroup(slot_[q]) && gibbs_[q2] < gibbs_[q]) {
          state_[q] = -1;
          break;
        }
      }
    }
    start = end;
  }
  for (int k = 3; k <= 5; ++k) {
    if (count_[k] == 1 && state_[RangeFirst(k)] < 1) {
      state_[RangeFirst(k)] = 0;
      nu_[RangeFirst(k)] = 0.0L;
    }
  }
  for (int j = 1; j <= ne_; ++j) {
    for (int k = 1; k <= kPhaseSlots; ++k) {
      if (!OnlyCarrier(k, j)) continue;
      for (int q = RangeFirst(k); q <= RangeLast(k); ++q) {
        if (A(q, j) > 0.0L && state_[q] != 0) state_[q] = 1;
      }
    }
  }
}

// Chooses the normalisation phase k* and its target P*: the dominant gas phase at the system
// pressure, or, when no gas phase dominates, the largest condensed phase at activity sum 1.
void TEqlKernel::PressureAnalysis() {
  for (int k = 1; k <= kPhaseSlots; ++k) {
    long double sum = 0.0L;
    for (int q = RangeFirst(k); q <= RangeLast(k); ++q) sum += nu_[q];
    estimate_[k] += sum;
  }
  auto largest = [this](int k, int from, int to) {
    for (int m = from; m <= to; ++m) {
      if (m != k && estimate_[m] > estimate_[k]) return false;
    }
    return true;
  };
  kStar_ = 1;
  chosen_[1] = largest(1, 1, kPhaseSlots) ? 1 : 0;
  chosen_[2] = largest(2, 1, kPhaseSlots) ? 1 : 0;
  for (int j = 1; j <= ne_; ++j) {
    if (b_[j] <= 0.0L) continue;
    if (OnlyCarrier(1, j)) chosen_[1] = 1;
    if (OnlyCarrier(2, j)) chosen_[2] = 1;
  }
  const long double small = precision_ * pressure_;
  if (chosen_[1] && estimate_[1] < small && !chosen_[2]) {
    pressureNote_[1] = "The pressure can change ";
    chosen_[1] = 0;
  }
  if (chosen_[2] && estimate_[2] < small && !chosen_[1]) {
    pressureNote_[2] = "The pressure can change";
    chosen_[2] = 0;
  }
  if (chosen_[1] && chosen_[2]) {
    if (estimate_[1] < estimate_[2]) {
      chosen_[1] = 0;
    } else {
      chosen_[2] = 0;
    }
  }
  for (int k = 1; k <= 2; ++k) {
    if (!chosen_[k] && pressureNote_[k].empty()) pressureNote_[k] = "Pressure change is possible";
  }
  workPressure_ = pressure_;
  if (!chosen_[1] && !chosen_[2]) {
    workPressure_ = 1.0L;
    for (int k = 3; k <= kPhaseSlots; ++k) {
      if (largest(k, 3, kPhaseSlots)) chosen_[k] = 1;
    }
  }
  for (int k = 1; k <= kPhaseSlots; ++k) {
    if (chosen_[k]) {
      kStar_ = k;
      break;
    }
  }
}

}  // namespace ploxen
