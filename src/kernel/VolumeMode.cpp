// Constant-volume mode: iterating the working pressure until the gas phase fills the fixed volume.
#include <cmath>

#include "kernel/EqKernel.h"
#include "support/AplMsg.h"

namespace ploxen {

void TEqlKernel::SetFormationFactor(int q, long double gRT) {
  phi_[q] = std::exp(gRT);
  lnPhi_[q] = std::log(phi_[q]);
}

// For a trial working pressure P* the gas range is normalised to P*, its ideal-gas volume is
// compared with the fixed volume and P* is scaled by their ratio until they agree.
bool TEqlKernel::VolumeLoop(int first, int last) {
  iterV_ = 0;
  if (workPressure_ <= 0.0L) return false;
  const long double rt = kKernelGasConstant * temperature_;
  for (;;) {
    if (!(workPressure_ > 0.0L) || !std::isfinite(workPressure_)) return false;
    for (int q = 1; q <= phaseEnd_[2]; ++q) {
      phi_[q] = std::exp(-gibbs_[q] / rt) / workPressure_;
      lnPhi_[q] = std::log(phi_[q]);
    }
    if (!Normalise(first, last, workPressure_)) return false;
    VolumeAmounts();
    long double volume = 0.0L;
    for (int q = first; q <= last; ++q) {
      volume += amount_[q] * kKernelGasConstant * temperature_ / workPressure_ / 100000.0L;
    }
    const long double ratio = volume / volume_;
    const bool converged = 1.0L - precision_ <= ratio && ratio <= 1.0L + precision_;
    if (!converged) workPressure_ *= ratio;
    ++iterV_;
    if (iterV_ >= iterLimit_) {
      if (!quiet_) {
        Post(kMsgError, 756,
             "Maximum iteration steps are exceed. (VN) Increase \"Iter.Limit\">90000; or "
             "\"Precision\"; or Set. \"Appr.Factor\" to 0.99V:" +
                 std::to_string(iterV_) + ";P:" + std::to_string(iterP_) +
                 ";I:" + std::to_string(iterI_) + ";F:" + std::to_string(iterF_));
        resultText_ = "Calculation is broken because error 756";
      }
      return false;
    }
    if (converged) return true;
  }
}

// Moves the system pressure onto the working pressure found by the first solution and shifts
// the gas compounds' Gibbs energies accordingly.
void TEqlKernel::PrepareConstantVolume() {
  if (workPressure_ <= 0.0L) workPressure_ = 1.0L;
  const long double rt = kKernelGasConstant * temperature_;
  for (int q = 1; q <= phaseEnd_[2]; ++q) {
    gibbs_[q] += rt * std::log(workPressure_ / pressure_);
    SetFormationFactor(q, -gibbs_[q] / rt);
  }
  pressure_ = workPressure_;
}

}  // namespace ploxen
