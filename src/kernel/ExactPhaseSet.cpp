// Phase set of the exact stage: the starting phases, adding the most unstable absent phase,
// removing pure phases of negative amount, and the outer loop on the pressure of a fixed volume.
#include <algorithm>
#include <cmath>

#include "kernel/ExactSolver.h"
#include "kernel/KernelMath.h"

namespace ploxen {

namespace {

constexpr long double kStabilityTolerance = 1e-11L;  ///< ln of an absent phase's activity sum
constexpr long double kNewPhaseShare = 1e-3L;        ///< first total of a joining mixture
constexpr long double kPressureTolerance = 1e-14L;   ///< |ln P change| of the volume loop
constexpr int kVolumeLimit = 100;
constexpr int kQuickBudget = 40;  ///< iterations the quick start may take
constexpr long double kExcludedDrop = 200.0L;  ///< ln activity of a species a balance excludes

}  // namespace

// Scales the inputs to a largest row of 1, starts every gas phase (or, without gas, the
// largest mixture) with equal amounts, and makes sure every balance with input has a carrier.
void ExactSolver::Start() {
  started_ = true;
  const size_t phases = p_.phases.size();
  scale_ = 0.0L;
  for (long double b : p_.b) scale_ = std::max(scale_, std::fabs(b));
  if (!(scale_ > 0.0L)) scale_ = 1.0L;
  b_.resize(p_.rows);
  for (int j = 0; j < p_.rows; ++j) b_[j] = p_.b[j] / scale_;
  lambda_.assign(p_.rows, 0.0L);
  lnN_.assign(phases, 0.0L);
  pure_.assign(phases, 0.0L);
  lnn_.assign(p_.g.size(), 0.0L);
  active_.assign(phases, 0);
  phaseOf_.assign(p_.g.size(), -1);
  for (size_t k = 0; k < phases; ++k) {
    for (int s : p_.phases[k].species) phaseOf_[s] = static_cast<int>(k);
  }
  SetPotentials();
  flat_.start.assign(1, 0);
  flat_.row.clear();
  flat_.count.clear();
  flat_.preciseCount.clear();
  for (const std::vector<ExactEntry>& entries : p_.entry) {
    for (const ExactEntry& e : entries) {
      flat_.row.push_back(e.row);
      flat_.count.push_back(static_cast<double>(e.count));
      flat_.preciseCount.push_back(e.count);
    }
    flat_.start.push_back(static_cast<int>(flat_.row.size()));
  }
  SetAsideExcluded();
  QuickStart();
}

// The gas phases and every phase holding input, which the input itself balances: most systems
// converge from here within a few Newton steps.
void ExactSolver::QuickStart() {
  const size_t phases = p_.phases.size();
  std::fill(lambda_.begin(), lambda_.end(), 0.0L);
  std::fill(active_.begin(), active_.end(), 0);
  addedOrder_.clear();
  for (size_t k = 0; k < phases; ++k) {
    const ExactPhase& phase = p_.phases[k];
    bool holdsInput = phase.gas || phase.forced;
    for (int s : phase.species) holdsInput = holdsInput || p_.input[s] > 0.0L;
    if (holdsInput && !phase.species.empty()) Activate(static_cast<int>(k));
  }
  CoverElements();
}

// A balance without input whose species all count it with the same sign admits none of them:
// they leave the phases (amount 0), and their potentials are set at the end (`SetExcluded`).
void ExactSolver::SetAsideExcluded() {
  excludedRows_.clear();
  excluded_.clear();
  for (int j = 0; j < p_.rows; ++j) {
    if (b_[j] != 0.0L) continue;
    bool positive = false, negative = false;
    for (const std::vector<ExactEntry>& entries : p_.entry) {
      for (const ExactEntry& e : entries) {
        if (e.row == j && e.count != 0.0L) (e.count > 0.0L ? positive : negative) = true;
      }
    }
    if (positive != negative) excludedRows_.push_back(j);
  }
  if (excludedRows_.empty()) return;
  for (ExactPhase& phase : p_.phases) {
    std::vector<int> kept;
    for (int s : phase.species) {
      const bool out = std::any_of(p_.entry[s].begin(), p_.entry[s].end(), [&](const ExactEntry& e) {
        return e.count != 0.0L && std::find(excludedRows_.begin(), excludedRows_.end(), e.row) !=
                                      excludedRows_.end();
      });
      (out ? excluded_ : kept).push_back(s);
    }
    phase.species.swap(kept);
  }
}

// The potential of each excluding balance: low enough that the most favoured of its species
// stays kExcludedDrop below forming (ln of its activity sum's share).
void ExactSolver::SetExcluded() {
  for (int j : excludedRows_) {
    long double shift = 0.0L;
    for (int s : excluded_) {
      for (const ExactEntry& e : p_.entry[s]) {
        if (e.row != j || e.count == 0.0L) continue;
        const long double excess = Potential(s) - Mu(s) + kExcludedDrop;
        if (excess > 0.0L) shift = std::max(shift, excess / std::fabs(e.count));
      }
    }
    for (int s : excluded_) {
      for (const ExactEntry& e : p_.entry[s]) {
        if (e.row == j && e.count != 0.0L) {
          lambda_[j] -= (e.count > 0.0L ? 1.0L : -1.0L) * shift;
          shift = 0.0L;
        }
      }
    }
  }
}

void ExactSolver::StartAmounts(int k) {
  const ExactPhase& phase = p_.phases[k];
  if (!phase.mixture) {
    pure_[k] = p_.input[phase.species.front()] / scale_;
    return;
  }
  long double total = 0.0L;
  for (int s : phase.species) total += p_.input[s] / scale_;
  total = std::max(total, 0.1L);
  lnN_[k] = std::log(total);
  // Species without input start at a share of the total; the inputs keep theirs.
  const long double floor = 0.1L * total / phase.species.size();
  for (int s : phase.species) lnn_[s] = std::log(std::max(p_.input[s] / scale_, floor));
}

void ExactSolver::Activate(int k) {
  active_[k] = 1;
  StartAmounts(k);
  if (!p_.phases[k].mixture) addedOrder_.push_back(k);
}

// A balance with input but no carrier among the present phases gets one: a mixture that
// carries it, or else the pure phase of lowest potential per atom.
void ExactSolver::CoverElements() {
  std::vector<char> carried = CarriedRows();
  for (int j = 0; j < p_.rows; ++j) {
    if (carried[j] || b_[j] == 0.0L) continue;
    int best = -1;
    long double bestValue = 0.0L;
    for (size_t k = 0; k < p_.phases.size(); ++k) {
      if (active_[k]) continue;
      const ExactPhase& phase = p_.phases[k];
      for (int s : phase.species) {
        for (const ExactEntry& e : p_.entry[s]) {
          if (e.row != j || e.count * b_[j] <= 0.0L) continue;
          const long double value = phase.mixture ? -1e4000L : p_.g[s] / std::fabs(e.count);
          if (best < 0 || value < bestValue) {
            best = static_cast<int>(k);
            bestValue = value;
          }
        }
      }
    }
    if (best < 0) continue;
    Activate(best);
    for (int s : p_.phases[best].species) {
      for (const ExactEntry& e : p_.entry[s]) carried[e.row] = 1;
    }
  }
}

// The absent phase that violates its stability condition most, or -1.
int ExactSolver::MostUnstablePhase() const {
  int worst = -1;
  long double worstValue = kStabilityTolerance;
  for (size_t k = 0; k < p_.phases.size(); ++k) {
    if (active_[k] || p_.phases[k].species.empty()) continue;
    const ExactPhase& phase = p_.phases[k];
    long double value = 0.0L;
    if (!phase.mixture) {
      const int s = phase.species.front();
      value = Potential(s) - Mu(s);
    } else {
      long double top = -INFINITY;
      for (int s : phase.species) top = std::max(top, Potential(s) - Mu(s));
      long double sum = 0.0L;
      for (int s : phase.species) sum += ExpExtended(Potential(s) - Mu(s) - top);
      value = top + std::log(sum);
    }
    if (value > worstValue) {
      worst = static_cast<int>(k);
      worstValue = value;
    }
  }
  return worst;
}

int ExactSolver::MostNegativePure() const {
  int worst = -1;
  for (size_t k = 0; k < p_.phases.size(); ++k) {
    if (!active_[k] || p_.phases[k].mixture) continue;
    if (pure_[k] < 0.0L && (worst < 0 || pure_[k] < pure_[worst])) worst = static_cast<int>(k);
  }
  return worst;
}

// Newton on the present phases, then the phase set is corrected (a pure phase of negative
// amount leaves, the most unstable absent phase joins) until every condition holds.
// A first solve tries the quick start within a small budget of iterations; when that does not
// settle, the barrier path decides the phase set and the Newton iterations start from its end.
bool ExactSolver::Solve() {
  if (started_) SetPotentials();  // the pressure may have changed since the last solve
  if (!started_) {
    Start();
    budget_ = kQuickBudget;
    const bool quick = SolvePhaseSet();
    budget_ = 0;
    if (quick || broken_) return quick;
    std::fill(pure_.begin(), pure_.end(), 0.0L);
    std::fill(active_.begin(), active_.end(), 0);
    addedOrder_.clear();
    if (!BarrierStart()) {
      if (broken_) return false;
      QuickStart();
    }
  }
  if (SolvePhaseSet()) return true;
  if (broken_ || !BarrierPointHolds()) return false;
  reason_.clear();
  FillResult();
  return true;
}

bool ExactSolver::SolvePhaseSet() {
  reason_.clear();
  broken_ = false;
  if (!started_) Start();
  if (broken_) {
    reason_ = "break by user";
    return false;
  }
  const int rounds = 4 * static_cast<int>(p_.phases.size()) + 2 * p_.rows + 20;
  for (int round = 0; round < rounds; ++round) {
    if (budget_ > 0 && iterations_ >= budget_) {
      reason_ = "the quick start did not settle";
      return false;
    }
    CoverElements();
    const Step step = Newton();
    if (step == Step::kBroken) {
      broken_ = true;
      reason_ = "break by user";
      return false;
    }
    if (step == Step::kInvalid) {
      reason_ = "the iteration left the range of numbers";
      return false;
    }
    if (step == Step::kLimit || step == Step::kDiverging) {
      // The present phases cannot balance the input: a phase that the runaway potentials
      // favour joins, and the potentials start again.
      const int missing = MostUnstablePhase();
      if (missing < 0) {
        reason_ = "no convergence within the iteration limit";
        return false;
      }
      Activate(missing);
      std::fill(lambda_.begin(), lambda_.end(), 0.0L);
      for (size_t k = 0; k < p_.phases.size(); ++k) {
        if (active_[k]) StartAmounts(static_cast<int>(k));
      }
      continue;
    }
    if (step == Step::kSingular) {
      // Gibbs' phase rule: more pure phases than the balances allow; the newest one leaves.
      while (!addedOrder_.empty() && !active_[addedOrder_.back()]) addedOrder_.pop_back();
      if (addedOrder_.empty()) {
        reason_ = "the balance equations are singular";
        return false;
      }
      active_[addedOrder_.back()] = 0;
      addedOrder_.pop_back();
      continue;
    }
    const int negative = MostNegativePure();
    if (negative >= 0) {
      active_[negative] = 0;
      pure_[negative] = 0.0L;
      continue;
    }
    const int unstable = MostUnstablePhase();
    if (unstable < 0) {
      FillResult();
      return true;
    }
    active_[unstable] = 1;
    const ExactPhase& phase = p_.phases[unstable];
    if (!phase.mixture) {
      pure_[unstable] = 0.0L;
      addedOrder_.push_back(unstable);
      continue;
    }
    // A joining mixture starts small, its composition from the present potentials.
    long double top = -INFINITY;
    for (int s : phase.species) top = std::max(top, Potential(s) - Mu(s));
    long double sum = 0.0L;
    for (int s : phase.species) sum += ExpExtended(Potential(s) - Mu(s) - top);
    lnN_[unstable] = std::log(kNewPhaseShare * ScaledTotal());
    for (int s : phase.species) {
      lnn_[s] = lnN_[unstable] + Potential(s) - Mu(s) - top - std::log(sum);
    }
  }
  reason_ = "the phase set did not settle";
  return false;
}

void ExactSolver::FillResult() {
  const size_t phases = p_.phases.size();
  SetExcluded();
  result_.lambda = lambda_;
  result_.amount.assign(p_.g.size(), 0.0L);
  result_.lnActivityRatio.assign(p_.g.size(), 0.0L);
  result_.phaseTotal.assign(phases, 0.0L);
  result_.present.assign(phases, 0);
  for (size_t k = 0; k < phases; ++k) {
    const ExactPhase& phase = p_.phases[k];
    result_.present[k] = active_[k];
    for (int s : phase.species) {
      result_.lnActivityRatio[s] = Potential(s) - Mu(s);
      if (!active_[k]) continue;
      const long double n = phase.mixture ? std::exp(lnn_[s]) : pure_[k];
      result_.amount[s] = n * scale_;
      result_.phaseTotal[k] += result_.amount[s];
    }
  }
  for (int s : excluded_) result_.lnActivityRatio[s] = Potential(s) - Mu(s);
  result_.iterations = iterations_;
  result_.balanceResidual = BalanceMismatch(p_, result_.amount, 1.0L, 1e-14L);
}

// Secant iteration on ln P: the fixed-volume gas phase's total at P must give P back.
bool ExactSolver::SolveFixedVolume(int gasPhase, long double lnFactor) {
  auto mismatch = [&](long double lnP, long double& f) {
    p_.lnP = lnP;
    if (!Solve()) return false;
    const long double total = result_.phaseTotal[gasPhase];
    if (!(total > 0.0L)) {
      reason_ = "the gas phase of fixed volume vanished";
      return false;
    }
    f = std::log(total) + lnFactor - lnP;
    return true;
  };
  long double u0 = p_.lnP;
  long double f0 = 0.0L;
  if (!mismatch(u0, f0)) return false;
  long double u1 = u0 + f0;
  for (int it = 0; it < kVolumeLimit; ++it) {
    if (std::fabs(u1 - u0) < kPressureTolerance) return mismatch(u1, f0);
    long double f1 = 0.0L;
    if (!mismatch(u1, f1)) return false;
    // f falls with ln P at least as fast as ln P itself rises: the secant step is safe,
    // and the plain fixed-point step serves when the secant is undefined.
    long double next = u1 + f1;
    if (f1 != f0) next = u1 - f1 * (u1 - u0) / (f1 - f0);
    u0 = u1;
    f0 = f1;
    u1 = next;
  }
  reason_ = "the pressure of the fixed volume did not settle";
  return false;
}

}  // namespace ploxen
