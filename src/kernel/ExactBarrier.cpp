// Start of the exact stage from the dual problem: maximise b*lambda while every phase stays
// stable (ln of each mixture's activity sum <= 0, a*lambda <= g for each pure phase), by a
// log-barrier path. The barrier's multipliers are the phase totals, so the path ends close to
// the minimum with the phase set decided; the Newton iterations then make it exact.
#include <algorithm>
#include <cmath>

#include "kernel/ExactSolver.h"
#include "kernel/KernelMath.h"

namespace ploxen {

namespace {

constexpr long double kBarrierStart = 1.0L;     ///< first barrier weight (inputs scaled to 1)
constexpr long double kBarrierEnd = 1e-12L;     ///< last barrier weight
constexpr long double kBarrierShrink = 0.01L;   ///< weight factor between path points
constexpr int kStageLimit = 80;                 ///< Newton steps per path point
constexpr long double kPresentShare = 1e-6L;    ///< multiplier / total of a present phase
constexpr long double kLongestStep = 30.0L;  ///< largest potential change per step
// A weak pull of the potentials towards 0, weighted like the barrier: where the balances force
// species to vanish, the path would otherwise run off along a direction that costs nothing.
constexpr long double kPull = 1e-4L;
constexpr long double kConditionTolerance = 1e-11L;  ///< |ln activity sum| of a phase

}  // namespace

// Potential sum a*lambda - g' of every species at `lambda`, the one pass over the balance
// entries that the constraints of all phases share.
void ExactSolver::SpeciesPotentials(const std::vector<long double>& lambda,
                                    SpeciesValues& v) const {
  v.u.resize(p_.entry.size());
  v.rough.resize(p_.entry.size());
  for (size_t s = 0; s < p_.entry.size(); ++s) {
    long double sum = -mu_[s];
    for (const ExactEntry& e : p_.entry[s]) sum += e.count * lambda[e.row];
    v.u[s] = sum;
    v.rough[s] = static_cast<double>(sum);
  }
}

// Constraint value of phase k from the species potentials `u` (mixtures: ln of the activity
// sum) and, for mixtures, the fractions exp(potential - c) of its species in `fractions`.
// One exponential per species.
long double ExactSolver::PhaseConstraint(int k, const SpeciesValues& v,
                                         std::vector<long double>* fractions) const {
  const ExactPhase& phase = p_.phases[k];
  const std::vector<long double>& u = v.u;
  if (!phase.mixture) return u[phase.species.front()];
  // Any shift near the largest exponent keeps the sum in range: the double copies find it,
  // four independent maxima at a time.
  const std::vector<int>& list = phase.species;
  double m[4] = {-INFINITY, -INFINITY, -INFINITY, -INFINITY};
  size_t i = 0;
  for (; i + 4 <= list.size(); i += 4) {
    for (int q = 0; q < 4; ++q) m[q] = std::max(m[q], v.rough[list[i + q]]);
  }
  for (; i < list.size(); ++i) m[0] = std::max(m[0], v.rough[list[i]]);
  const long double top = std::max(std::max(m[0], m[1]), std::max(m[2], m[3]));
  // The shifted exponents are at most 0: double precision is ample for the path, and the
  // library's double exponential is several times faster than the extended one. Species far
  // below the phase's largest one add nothing; the library's underflow path for them is slow.
  long double sum = 0.0L;
  if (fractions) {
    std::vector<long double>& x = *fractions;
    x.resize(phase.species.size());
    for (size_t i = 0; i < phase.species.size(); ++i) {
      const double shifted = static_cast<double>(u[phase.species[i]] - top);
      x[i] = shifted < -700.0 ? 0.0L : std::exp(shifted);
      sum += x[i];
    }
    for (long double& v : x) v /= sum;
  } else {
    for (int s : phase.species) {
      const double shifted = static_cast<double>(u[s] - top);
      if (shifted >= -700.0) sum += std::exp(shifted);
    }
  }
  return top + std::log(sum);
}

// Barrier objective -b*lambda - t * sum ln(-c_k) + t * kPull/2 * |lambda|^2 from the species
// potentials `u` at `lambda`; infinite outside the stable region.
long double ExactSolver::BarrierValue(const SpeciesValues& u,
                                      const std::vector<long double>& lambda, long double t) const {
  long double value = 0.0L;
  for (int j = 0; j < p_.rows; ++j) value -= b_[j] * lambda[j] - 0.5L * kPull * t * lambda[j] * lambda[j];
  for (size_t k = 0; k < p_.phases.size(); ++k) {
    if (p_.phases[k].species.empty()) continue;
    const long double c = PhaseConstraint(static_cast<int>(k), u, nullptr);
    if (!(c < 0.0L)) return INFINITY;
    value -= t * std::log(-c);
  }
  return value;
}

// One Newton step on the barrier objective with a backtracking line search; false when no
// step decreases it (the path point is reached). The gradient and the objective are extended
// precision; the curvature only shapes the step the line search then checks, so it is
// assembled and solved in double precision.
bool ExactSolver::BarrierStep(std::vector<long double>& lambda, long double t,
                              const std::vector<char>& used) {
  const int rows = p_.rows;
  const size_t species = p_.entry.size();
  BarrierWork& work = barrierWork_;
  SpeciesValues& values = work.values;
  const std::vector<long double>& u = values.u;
  std::vector<long double>& fractions = work.fractions;
  std::vector<long double> grad(rows, 0.0L), gk(rows);
  std::vector<double>& h = work.h;
  h.assign(static_cast<size_t>(rows) * rows, 0.0);
  SpeciesPotentials(lambda, values);
  // The objective at `lambda` from the same constraint values (as BarrierValue has it).
  long double f0 = 0.0L;
  for (int j = 0; j < rows; ++j) {
    grad[j] = -b_[j] + kPull * t * lambda[j];
    f0 -= b_[j] * lambda[j] - 0.5L * kPull * t * lambda[j] * lambda[j];
  }
  const std::vector<int>& start = flat_.start;
  const std::vector<int>& row = flat_.row;
  const std::vector<double>& count = flat_.count;
  for (size_t k = 0; k < p_.phases.size(); ++k) {
    const ExactPhase& phase = p_.phases[k];
    if (phase.species.empty()) continue;
    const long double c = PhaseConstraint(static_cast<int>(k), values, &fractions);
    f0 = c < 0.0L ? f0 - t * std::log(-c) : INFINITY;
    const long double w = t / -c;  // the phase's multiplier: its total
    if (!phase.mixture) {
      // Pure phase: gradient a, curvature w/(-c) a a^T over the species' own rows.
      const int s = phase.species.front();
      for (const ExactEntry& e : p_.entry[s]) grad[e.row] += w * e.count;
      const double wc = static_cast<double>(w / -c);
      for (int i = start[s]; i < start[s + 1]; ++i) {
        for (int j = start[s]; j < start[s + 1]; ++j) {
          h[static_cast<size_t>(row[i]) * rows + row[j]] += wc * count[i] * count[j];
        }
      }
      continue;
    }
    // Mixture: gradient g = sum x a; curvature of ln(sum exp), sum x a a^T - g g^T, weighted
    // by the multiplier, plus the barrier's own w/(-c) g g^T.
    std::fill(gk.begin(), gk.end(), 0.0L);
    const double wd = static_cast<double>(w);
    for (size_t i = 0; i < phase.species.size(); ++i) {
      const int s = phase.species[i];
      const long double x = fractions[i];
      if (x == 0.0L) continue;
      for (const ExactEntry& e : p_.entry[s]) gk[e.row] += x * e.count;
      const double wx = wd * static_cast<double>(x);
      for (int a = start[s]; a < start[s + 1]; ++a) {
        const double wxa = wx * count[a];
        double* line = &h[static_cast<size_t>(row[a]) * rows];
        for (int b = start[s]; b < start[s + 1]; ++b) line[row[b]] += wxa * count[b];
      }
    }
    const double rank = static_cast<double>(w / -c - w);
    for (int i = 0; i < rows; ++i) {
      if (gk[i] == 0.0L) continue;
      grad[i] += w * gk[i];
      const double gi = rank * static_cast<double>(gk[i]);
      for (int j = 0; j < rows; ++j) h[static_cast<size_t>(i) * rows + j] += gi * static_cast<double>(gk[j]);
    }
  }
  double diagonal = 0.0;
  for (int j = 0; j < rows; ++j) diagonal = std::max(diagonal, h[static_cast<size_t>(j) * rows + j]);
  std::vector<double>& stepD = work.step;
  stepD.resize(rows);
  for (int j = 0; j < rows; ++j) {
    double& d = h[static_cast<size_t>(j) * rows + j];
    if (!used[j]) {
      for (int i = 0; i < rows; ++i) h[static_cast<size_t>(j) * rows + i] = h[static_cast<size_t>(i) * rows + j] = 0.0;
      d = 1.0;
      grad[j] = 0.0L;
    } else {
      d += 1e-15 * diagonal + static_cast<double>(kPull * t);
    }
    stepD[j] = static_cast<double>(-grad[j]);
  }
  if (!SolveDense(h, stepD)) return false;
  std::vector<long double> step(stepD.begin(), stepD.end());
  long double slope = 0.0L;
  for (int j = 0; j < rows; ++j) slope += grad[j] * step[j];
  if (!(slope < 0.0L) || -slope < 1e-24L) return false;
  // Along the step every species' potential moves by alpha * (a*step): the trials need no pass
  // over the balance entries.
  std::vector<long double>& along = work.along;
  std::vector<double>& roughAlong = work.roughAlong;
  SpeciesValues& trialU = work.trial;
  along.resize(species);
  roughAlong.resize(species);
  trialU.u.resize(species);
  trialU.rough.resize(species);
  for (size_t s = 0; s < species; ++s) {
    long double sum = 0.0L;
    for (const ExactEntry& e : p_.entry[s]) sum += e.count * step[e.row];
    along[s] = sum;
    roughAlong[s] = static_cast<double>(sum);
  }
  std::vector<long double> trial(rows);
  long double longest = 0.0L;
  for (int j = 0; j < rows; ++j) longest = std::max(longest, std::fabs(step[j]));
  const long double first = longest > kLongestStep ? kLongestStep / longest : 1.0L;
  for (long double alpha = first; alpha > 1e-12L * first; alpha *= 0.5L) {
    for (int j = 0; j < rows; ++j) trial[j] = lambda[j] + alpha * step[j];
    for (size_t s = 0; s < species; ++s) trialU.u[s] = u[s] + alpha * along[s];
    const double a = static_cast<double>(alpha);
    for (size_t s = 0; s < species; ++s) trialU.rough[s] = values.rough[s] + a * roughAlong[s];
    const long double f = BarrierValue(trialU, trial, t);
    if (f <= f0 + 0.25L * alpha * slope) {
      lambda.swap(trial);
      return -slope > 1e-2L * t;
    }
  }
  return false;
}

// Follows the barrier path from a stable start to a small weight and sets the phase set,
// amounts and potentials for the Newton iterations. False when no stable start exists.
bool ExactSolver::BarrierStart() {
  const int rows = p_.rows;
  std::vector<char> used(rows, 0);
  std::vector<long double> direction(rows, 1.0L);
  for (size_t s = 0; s < p_.entry.size(); ++s) {
    for (const ExactEntry& e : p_.entry[s]) {
      used[e.row] = 1;
      if (e.count < 0.0L) direction[e.row] = std::min(direction[e.row], 0.25L / -e.count);
    }
  }
  // Every species must lose potential along -direction, or no start is stable.
  for (size_t s = 0; s < p_.entry.size(); ++s) {
    long double drop = 0.0L;
    for (const ExactEntry& e : p_.entry[s]) drop += e.count * direction[e.row];
    if (!(drop > 0.0L)) return false;
  }
  std::vector<long double> lambda(rows, 0.0L);
  SpeciesValues values;
  const std::vector<long double>& u = values.u;
  bool stable = false;
  for (long double m = 1.0L; m < 1e7L && !stable; m *= 2.0L) {
    for (int j = 0; j < rows; ++j) lambda[j] = used[j] ? -m * direction[j] : 0.0L;
    stable = true;
    SpeciesPotentials(lambda, values);
    for (size_t k = 0; k < p_.phases.size() && stable; ++k) {
      if (p_.phases[k].species.empty()) continue;
      stable = PhaseConstraint(static_cast<int>(k), values, nullptr) < -1.0L;
    }
  }
  if (!stable) return false;
  long double t = kBarrierStart;
  for (;;) {
    for (int it = 0; it < kStageLimit; ++it) {
      ++iterations_;
      if (poll_ && poll_()) {
        broken_ = true;
        return false;
      }
      if (!BarrierStep(lambda, t, used)) break;
    }
    if (t <= kBarrierEnd) break;
    t *= kBarrierShrink;
  }
  // Multipliers t/(-c) are the phase totals; the small ones belong to absent phases.
  std::vector<long double> multiplier(p_.phases.size(), 0.0L);
  long double total = 0.0L;
  SpeciesPotentials(lambda, values);
  for (size_t k = 0; k < p_.phases.size(); ++k) {
    if (p_.phases[k].species.empty()) continue;
    multiplier[k] = t / -PhaseConstraint(static_cast<int>(k), values, nullptr);
    total += multiplier[k];
  }
  lambda_ = lambda;
  for (size_t k = 0; k < p_.phases.size(); ++k) {
    const ExactPhase& phase = p_.phases[k];
    active_[k] = !phase.species.empty() && (multiplier[k] > kPresentShare * total || phase.forced);
    if (!active_[k]) continue;
    if (!phase.mixture) {
      pure_[k] = multiplier[k];
      addedOrder_.push_back(static_cast<int>(k));
      continue;
    }
    const long double c = PhaseConstraint(static_cast<int>(k), values, nullptr);
    lnN_[k] = std::log(multiplier[k]);
    for (int s : phase.species) lnn_[s] = lnN_[k] + u[s] - c;
  }
  barrier_ = {lnN_, lnn_, pure_, lambda_, active_};
  haveBarrier_ = true;
  return true;
}

// Takes the end of the barrier path back when it meets every condition within the
// tolerances by itself (the Newton iterations may fail on a nearly dependent set).
bool ExactSolver::BarrierPointHolds() {
  if (!haveBarrier_) return false;
  lnN_ = barrier_.lnN;
  lnn_ = barrier_.lnn;
  pure_ = barrier_.pure;
  lambda_ = barrier_.lambda;
  active_ = barrier_.active;
  if (BalanceResidual() > 1.0L) return false;
  SpeciesValues values;
  SpeciesPotentials(lambda_, values);
  for (size_t k = 0; k < p_.phases.size(); ++k) {
    if (p_.phases[k].species.empty()) continue;
    const long double c = PhaseConstraint(static_cast<int>(k), values, nullptr);
    if (c > kConditionTolerance || (active_[k] && c < -kConditionTolerance)) return false;
  }
  return true;
}

// Gaussian elimination with partial pivoting on the dense matrix `a` (n x n); `x` holds the
// right-hand side and receives the solution. A pivot not above `pivotFloor` is singular.
template <typename T>
bool SolveDense(std::vector<T>& a, std::vector<T>& x, T pivotFloor) {
  const int n = static_cast<int>(x.size());
  // Raw rows: the matrix and the right-hand side never overlap, which lets the compiler keep
  // the pivot row in registers.
  T* __restrict m = a.data();
  T* __restrict v = x.data();
  for (int k = 0; k < n; ++k) {
    T* rowK = m + static_cast<size_t>(k) * n;
    int pivot = k;
    T best = std::fabs(rowK[k]);
    for (int i = k + 1; i < n; ++i) {
      const T candidate = std::fabs(m[static_cast<size_t>(i) * n + k]);
      if (candidate > best) {
        pivot = i;
        best = candidate;
      }
    }
    if (!(best > pivotFloor)) return false;
    if (pivot != k) {
      std::swap_ranges(rowK, rowK + n, m + static_cast<size_t>(pivot) * n);
      std::swap(v[k], v[pivot]);
    }
    const T diagonal = rowK[k];
    for (int i = k + 1; i < n; ++i) {
      T* rowI = m + static_cast<size_t>(i) * n;
      const T f = rowI[k] / diagonal;
      if (f == T(0)) continue;
      for (int j = k; j < n; ++j) rowI[j] -= f * rowK[j];
      v[i] -= f * v[k];
    }
  }
  for (int i = n - 1; i >= 0; --i) {
    const T* rowI = m + static_cast<size_t>(i) * n;
    T sum = v[i];
    for (int j = i + 1; j < n; ++j) sum -= rowI[j] * v[j];
    v[i] = sum / rowI[i];
    if (!std::isfinite(v[i])) return false;
  }
  return true;
}

template bool SolveDense<double>(std::vector<double>&, std::vector<double>&, double);
template bool SolveDense<long double>(std::vector<long double>&, std::vector<long double>&,
                                      long double);

}  // namespace ploxen
