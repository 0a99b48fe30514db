// Newton iterations of the exact stage: the reduced system in the element potentials, mixture
// totals and pure-phase amounts, with the step control that keeps every log amount in range.
#include <algorithm>
#include <cmath>
#include <type_traits>

#include "kernel/ExactSolver.h"
#include "kernel/KernelMath.h"

namespace ploxen {

namespace {

constexpr int kNewtonLimit = 150;
constexpr long double kLnMajor = -18.420680743952367L;  ///< ln 1e-8: a mixture's major species
constexpr long double kLnTraceCap = 9.210340371976183L;  ///< a trace species may rise to 1e-4
constexpr long double kLnVanish = -18.420680743952367L;  ///< ln 1e-8: a mixture that vanishes
constexpr long double kLnSmall = -4.605170185988091L;    ///< ln 1e-2: a small mixture
constexpr long double kStallStep = 1e-2L;
constexpr long double kResyncGap = 0.1L;  ///< |ln(sum of amounts / total)| that resets a total
constexpr long double kLeaving = -0.999L;  ///< d ln N of a mixture whose total goes to zero
constexpr long double kAmountTolerance = 1e-14L;         ///< step / total at convergence
constexpr long double kCheckChange = 1e-8L;  ///< step / total at which the conditions are checked
constexpr long double kSumTolerance = 1e-13L;            ///< |sum x - 1| of a mixture at convergence
constexpr long double kBalanceTolerance = 1e-12L;
constexpr long double kBalanceMargin = 1e-2L;  ///< of the tolerance, for a prompt stop
constexpr int kSettledPasses = 3;
constexpr long double kBalanceFloor = 1e-14L;  ///< of the sum of the inputs
constexpr long double kPotentialBound = 1e5L;  ///< potentials beyond: the phases cannot balance
constexpr long double kPivotFloor = 1e-17L;  ///< of an equilibrated column: singular
constexpr long double kProximal = 1e-13L;       ///< relative to the row's diagonal
constexpr long double kProximalFloor = 1e-3L;   ///< of the largest diagonal, for that diagonal
constexpr int kMaxStackRows = 64;
// Far from the minimum the iterations assemble and solve in double precision; the last ones,
// which decide the digits of the result, in extended precision. A double pivot this small
// hands the iteration to extended precision rather than calling the system singular.
constexpr long double kDoublePivotFloor = 1e-12L;
constexpr long double kPreciseChange = 1e-6L;  ///< amount change that starts extended steps
constexpr long double kFinishingChange = 1e-3L;  ///< amount change of a run about to converge
constexpr int kFinishingSteps = 8;  ///< steps such a run may take beyond a budget

long double SafeExp(long double x) {
  return x < -11350.0L ? 0.0L : ExpExtended(std::min(x, 11350.0L));
}

// An amount for a system formed in precision T: in double, beyond double's range it would
// become 0 or infinite in the matrix anyway, and the library's double exponential is several
// times faster.
template <typename T>
long double ExpAs(long double x) {
  if constexpr (std::is_same_v<T, double>) {
    return std::exp(static_cast<double>(x));
  } else {
    return SafeExp(x);
  }
}

}  // namespace

long double ExactSolver::Potential(int s) const {
  long double sum = 0.0L;
  for (const ExactEntry& e : p_.entry[s]) sum += e.count * lambda_[e.row];
  return sum;
}

// Standard potentials with ln P for the gas species, once per pressure: the inner loops read
// them for every species.
void ExactSolver::SetPotentials() {
  mu_.resize(p_.g.size());
  for (size_t s = 0; s < p_.g.size(); ++s) {
    const bool gas = phaseOf_[s] >= 0 && p_.phases[phaseOf_[s]].gas;
    mu_[s] = p_.g[s] + (gas ? p_.lnP : 0.0L);
  }
}

long double ExactSolver::ScaledTotal() const {
  long double total = 0.0L;
  for (size_t k = 0; k < p_.phases.size(); ++k) {
    if (!active_[k]) continue;
    total += p_.phases[k].mixture ? SafeExp(lnN_[k]) : std::max(pure_[k], 0.0L);
  }
  return total > 0.0L ? total : 1.0L;
}

// ln ScaledTotal() in double precision, for the decisions that compare a mixture's share
// with a bound.
long double ExactSolver::RoughLnTotal() const {
  double total = 0.0;
  for (size_t k = 0; k < p_.phases.size(); ++k) {
    if (!active_[k]) continue;
    if (p_.phases[k].mixture && lnN_[k] > 700.0L) return std::log(ScaledTotal());  // beyond double
    total += p_.phases[k].mixture ? std::exp(static_cast<double>(lnN_[k]))
                                  : std::max(static_cast<double>(pure_[k]), 0.0);
  }
  return total > 0.0 ? std::log(total) : 0.0L;
}

// Forms the symmetric system of one iteration (balance rows, one row per present mixture, one
// per present pure phase) and solves it with row and column equilibration and partial pivoting.
// A balance row that no present phase carries keeps its potential.
template <typename T>
bool ExactSolver::BuildAndSolve(std::vector<long double>& x) {
  Workspace::Matrix<T>& work = work_.Of<T>();
  const int rows = p_.rows;
  std::vector<int>& column = work_.column;
  column.assign(p_.phases.size(), -1);
  int m = rows;
  for (size_t k = 0; k < p_.phases.size(); ++k) {
    if (active_[k]) column[k] = m++;
  }
  std::vector<T>& a = work.matrix;
  std::vector<T>& rhs = work.rhs;
  a.assign(static_cast<size_t>(m) * m, T(0));
  rhs.assign(m, T(0));
  auto at = [&](int i, int j) -> T& { return a[static_cast<size_t>(i) * m + j]; };
  std::vector<char>& carried = work_.carried;
  carried.assign(rows, 0);
  // The amounts and mixture totals the system is formed at, which the step control reads too.
  const std::vector<int>& start = flat_.start;
  const std::vector<int>& row = flat_.row;
  const std::vector<T>& count = flat_.Count<T>();
  std::vector<long double>& amount = work_.amount;
  amount.resize(p_.g.size());
  work_.total.assign(p_.phases.size(), 0.0L);
  for (int j = 0; j < rows; ++j) rhs[j] = static_cast<T>(b_[j]);
  for (size_t k = 0; k < p_.phases.size(); ++k) {
    if (!active_[k]) continue;
    const ExactPhase& phase = p_.phases[k];
    const int c = column[k];
    if (!phase.mixture) {
      const int s = phase.species.front();
      for (const ExactEntry& e : p_.entry[s]) {
        at(e.row, c) += static_cast<T>(e.count);
        at(c, e.row) += static_cast<T>(e.count);
        rhs[e.row] -= static_cast<T>(e.count * pure_[k]);
        carried[e.row] = 1;
      }
      rhs[c] = static_cast<T>(mu_[s]);
      continue;
    }
    long double sum = 0.0L;
    for (int s : phase.species) sum += amount[s] = ExpAs<T>(lnn_[s]);
    // A mixture whose species have drifted from its total (by more than kResyncGap in log)
    // takes their sum as its total: left alone, the total's linearisation can drive a phase
    // the minimum needs out at e per step.
    if (sum > 1e-300L && sum < 1e300L) {  // within double's range: the gap is all it decides
      const long double lnSum = std::log(static_cast<double>(sum));
      if (std::fabs(lnSum - lnN_[k]) > kResyncGap) lnN_[k] = lnSum;
    }
    for (int s : phase.species) {
      const long double n = amount[s];
      const long double mu = mu_[s] + lnn_[s] - lnN_[k];
      const T nT = static_cast<T>(n);
      const T excess = static_cast<T>(n * mu - n);
      rhs[c] += excess;
      for (int i = start[s]; i < start[s + 1]; ++i) {
        const T w = count[i] * nT;
        T* line = &a[static_cast<size_t>(row[i]) * m];
        for (int j = start[s]; j < start[s + 1]; ++j) line[row[j]] += w * count[j];
        line[c] += w;
        at(c, row[i]) += w;
        rhs[row[i]] += count[i] * excess;
        carried[row[i]] = 1;
      }
    }
    const long double total = work_.total[k] = ExpAs<T>(lnN_[k]);
    at(c, c) = static_cast<T>(sum - total);
    rhs[c] += static_cast<T>(total);
  }
  // A small proximal term keeps the potentials of nearly dependent balances from a singular
  // system; at the fixed point it vanishes. It is sized by each row's own curvature, so that
  // an element only trace species carry still converges at Newton's rate.
  T diagonal = T(0);
  for (int j = 0; j < rows; ++j) diagonal = std::max(diagonal, at(j, j));
  for (int j = 0; j < rows; ++j) {
    if (carried[j]) {
      const T proximal = static_cast<T>(kProximal) *
                         std::max(at(j, j), static_cast<T>(kProximalFloor) * diagonal);
      at(j, j) += proximal;
      rhs[j] += proximal * static_cast<T>(lambda_[j]);
      continue;
    }
    for (int i = 0; i < m; ++i) at(j, i) = at(i, j) = T(0);
    at(j, j) = T(1);
    rhs[j] = static_cast<T>(lambda_[j]);
  }
  std::vector<T>& rowScale = work.rowScale;
  std::vector<T>& colScale = work.colScale;
  rowScale.resize(m);
  colScale.assign(m, T(0));
  T* __restrict matrix = a.data();
  T* __restrict columnScale = colScale.data();  // each column's largest entry, then its scale
  for (int i = 0; i < m; ++i) {
    const T* line = matrix + static_cast<size_t>(i) * m;
    T largest = T(0);
    for (int j = 0; j < m; ++j) largest = std::max(largest, std::fabs(line[j]));
    if (!(largest > T(0)) || !std::isfinite(largest)) return false;
    const T scale = rowScale[i] = T(1) / largest;
    for (int j = 0; j < m; ++j) {
      columnScale[j] = std::max(columnScale[j], std::fabs(line[j] * scale));
    }
  }
  for (int j = 0; j < m; ++j) {
    if (!(columnScale[j] > T(0))) return false;
    columnScale[j] = T(1) / columnScale[j];
  }
  for (int i = 0; i < m; ++i) {
    T* line = matrix + static_cast<size_t>(i) * m;
    const T scale = rowScale[i];
    for (int j = 0; j < m; ++j) line[j] *= scale * columnScale[j];
    rhs[i] *= scale;
  }
  if (!SolveDense(a, rhs, static_cast<T>(std::is_same_v<T, double> ? kDoublePivotFloor
                                                                     : kPivotFloor))) {
    return false;
  }
  x.resize(m);
  for (int i = 0; i < m; ++i) {
    x[i] = static_cast<long double>(rhs[i] * colScale[i]);
    if (!std::isfinite(x[i])) return false;
  }
  // Unknowns past the balance rows are addressed by phase from here on.
  std::vector<long double>& byPhase = work_.byPhase;
  byPhase.assign(rows + p_.phases.size(), 0.0L);
  std::copy_n(x.begin(), rows, byPhase.begin());
  for (size_t k = 0; k < p_.phases.size(); ++k) {
    if (column[k] >= 0) byPhase[rows + k] = x[column[k]];
  }
  x.swap(byPhase);
  return true;
}

// Amounts of the present mixtures from the potentials themselves, so that every species'
// potential condition holds exactly; the totals keep their last Newton value.
void ExactSolver::FinishAmounts() {
  for (size_t k = 0; k < p_.phases.size(); ++k) {
    if (!active_[k] || !p_.phases[k].mixture) continue;
    for (int s : p_.phases[k].species) lnn_[s] = lnN_[k] + Potential(s) - mu_[s];
  }
}

// True when every present mixture's fractions, taken from the potentials, add up to 1.
bool ExactSolver::MixtureSumsHold() const {
  for (size_t k = 0; k < p_.phases.size(); ++k) {
    if (!active_[k] || !p_.phases[k].mixture) continue;
    long double sum = 0.0L;
    for (int s : p_.phases[k].species) sum += SafeExp(Potential(s) - mu_[s]);
    if (!(std::fabs(sum - 1.0L) <= kSumTolerance)) return false;
  }
  return true;
}

// Per balance row: 1 when a species of a present phase carries it.
std::vector<char> ExactSolver::CarriedRows() const {
  std::vector<char> carried(p_.rows, 0);
  for (size_t k = 0; k < p_.phases.size(); ++k) {
    if (!active_[k]) continue;
    for (int s : p_.phases[k].species) {
      for (const ExactEntry& e : p_.entry[s]) carried[e.row] = 1;
    }
  }
  return carried;
}

// True when a balance with input has no carrier among the present phases.
bool ExactSolver::SoleCarrierMissing() const {
  const std::vector<char> carried = CarriedRows();
  for (int j = 0; j < p_.rows; ++j) {
    if (!carried[j] && b_[j] != 0.0L) return true;
  }
  return false;
}

long double ExactSolver::BalanceResidual() const {
  std::vector<long double>& amount = amountScratch_;
  amount.assign(p_.g.size(), 0.0L);
  for (size_t k = 0; k < p_.phases.size(); ++k) {
    if (!active_[k]) continue;
    for (int s : p_.phases[k].species) {
      amount[s] = p_.phases[k].mixture ? SafeExp(lnn_[s]) : pure_[k];
    }
  }
  return BalanceMismatch(p_.rows, b_, p_.entry, amount, kBalanceTolerance, kBalanceFloor);
}

ExactSolver::Step ExactSolver::Newton() {
  std::vector<long double> x;
  std::vector<long double> delta(p_.g.size(), 0.0L);
  const int rows = p_.rows;
  int settled = 0;
  bool precise = false;
  bool finishing = false;  // full steps of small change: the last few of a converging run
  for (int it = 0; it < kNewtonLimit; ++it) {
    // A budget stops a run, except one that is about to converge: throwing that away costs
    // more than the few steps it still needs.
    if (budget_ > 0 && iterations_ >= budget_ &&
        !(finishing && iterations_ < budget_ + kFinishingSteps)) {
      return Step::kLimit;
    }
    ++iterations_;
    if (poll_ && poll_()) return Step::kBroken;
    if (!(!precise && BuildAndSolve<double>(x)) && !BuildAndSolve<long double>(x)) {
      return Step::kSingular;
    }
    long double largest = 0.0L;
    long double trace = 1.0L;
    const int* start = flat_.start.data();
    const int* row = flat_.row.data();
    const long double* count = flat_.preciseCount.data();
    for (size_t k = 0; k < p_.phases.size(); ++k) {
      if (!active_[k] || !p_.phases[k].mixture) continue;
      const long double dN = x[rows + k];
      largest = std::max(largest, std::fabs(dN));
      for (int s : p_.phases[k].species) {
        long double d = dN - (mu_[s] + lnn_[s] - lnN_[k]);
        for (int i = start[s]; i < start[s + 1]; ++i) d += count[i] * x[row[i]];
        delta[s] = d;
        const long double lnx = lnn_[s] - lnN_[k];
        if (lnx > kLnMajor) {
          if (d > 0.0L) largest = std::max(largest, d);
        } else if (d >= 0.0L && d - dN > 0.0L) {
          trace = std::min(trace, std::fabs((-lnx - kLnTraceCap) / (d - dN)));
        }
      }
    }
    const long double step = std::min({1.0L, largest > 2.0L ? 2.0L / largest : 1.0L, trace});
    const std::vector<long double>& amount = work_.amount;
    const std::vector<long double>& phaseTotal = work_.total;
    long double total = 0.0L;
    for (size_t k = 0; k < p_.phases.size(); ++k) {
      if (active_[k]) total += p_.phases[k].mixture ? phaseTotal[k] : std::max(pure_[k], 0.0L);
    }
    if (!(total > 0.0L)) total = 1.0L;
    long double change = 0.0L;  // largest amount change; relative to the total below
    long double potentialStep = 0.0L;
    for (int j = 0; j < rows; ++j) {
      potentialStep = std::max(potentialStep, std::fabs(x[j] - lambda_[j]));
      lambda_[j] += step * (x[j] - lambda_[j]);
    }
    for (size_t k = 0; k < p_.phases.size(); ++k) {
      if (!active_[k]) continue;
      const long double d = x[rows + k];
      if (!p_.phases[k].mixture) {
        pure_[k] += step * d;
        change = std::max(change, std::fabs(d));
        continue;
      }
      change = std::max(change, phaseTotal[k] * std::fabs(d));
      lnN_[k] += step * d;
      for (int s : p_.phases[k].species) {
        change = std::max(change, amount[s] * std::fabs(delta[s]));
        lnn_[s] += step * delta[s];
      }
    }
    change /= total;
    if (!std::isfinite(change) || !std::isfinite(potentialStep)) return Step::kInvalid;
    if (step == 1.0L && change < kPreciseChange) precise = true;
    finishing = step == 1.0L && change < kFinishingChange;
    long double largestPotential = 0.0L;
    for (int j = 0; j < rows; ++j) largestPotential = std::max(largestPotential, std::fabs(lambda_[j]));
    if (largestPotential > kPotentialBound) return Step::kDiverging;
    // A mixture on its way out leaves the set early: kept, its sum condition would drive the
    // potentials apart. One that is small while the step stalls goes too.
    bool dropped = false;
    long double lnTotal = 0.0L;
    bool haveTotal = false;
    int smallest = -1;
    for (size_t k = 0; k < p_.phases.size(); ++k) {
      const ExactPhase& phase = p_.phases[k];
      if (!active_[k] || !phase.mixture || phase.forced || x[rows + k] >= 0.0L) continue;
      if (!haveTotal) {
        lnTotal = RoughLnTotal();
        haveTotal = true;
      }
      const long double lnShare = lnN_[k] - lnTotal;
      const bool stalled = step < kStallStep && x[rows + k] < -1.0L && lnShare < kLnSmall;
      // A full step that takes a small mixture's linearised total to zero: it is leaving, and
      // waiting for it to fade by e per step only delays the others.
      const bool leaving = step == 1.0L && x[rows + k] <= kLeaving && lnShare < kLnSmall;
      if (lnShare >= kLnVanish && !stalled && !leaving) continue;
      if (smallest < 0 || lnN_[k] < lnN_[smallest]) smallest = static_cast<int>(k);
    }
    if (smallest >= 0) {
      active_[smallest] = 0;
      if (SoleCarrierMissing()) {
        active_[smallest] = 1;  // the only carrier of an element stays, however small
      } else {
        dropped = true;
      }
    }
    if (dropped) continue;
    // Converged once the amounts stand still and, with the amounts taken from the potentials,
    // every balance and mixture sum holds. A potential that only trace species determine may
    // still move in the last digits: it changes no amount, so it does not hold the stop back.
    // The balances are asked to hold with a margin; a point that keeps them only within the
    // tolerance itself is taken once a few more steps did not improve it.
    if (step == 1.0L && change < kAmountTolerance) {
      FinishAmounts();
      const long double residual = BalanceResidual();
      if (MixtureSumsHold() &&
          (residual <= kBalanceMargin || (residual <= 1.0L && ++settled >= kSettledPasses))) {
        return Step::kConverged;
      }
    } else if (step == 1.0L && change < kCheckChange) {
      // A full step this small leaves an error of about its square: the conditions, checked
      // at the amounts the potentials give, often hold already, which saves the step that
      // would only confirm it. When they do not, the iteration goes on from its own amounts.
      work_.lnn = lnn_;
      FinishAmounts();
      if (MixtureSumsHold() && BalanceResidual() <= kBalanceMargin) return Step::kConverged;
      lnn_.swap(work_.lnn);
    }
  }
  return Step::kLimit;
}

long double BalanceMismatch(const ExactProblem& problem, const std::vector<long double>& amount,
                            long double relative, long double floor) {
  return BalanceMismatch(problem.rows, problem.b, problem.entry, amount, relative, floor);
}

long double BalanceMismatch(int rows, const std::vector<long double>& b,
                            const std::vector<std::vector<ExactEntry>>& entry,
                            const std::vector<long double>& amount, long double relative,
                            long double floor) {
  long double sum[kMaxStackRows];
  std::vector<long double> heap;
  long double* row = sum;
  if (rows > kMaxStackRows) {
    heap.assign(rows, 0.0L);
    row = heap.data();
  } else {
    std::fill_n(sum, rows, 0.0L);
  }
  for (size_t s = 0; s < amount.size() && s < entry.size(); ++s) {
    if (amount[s] == 0.0L) continue;
    for (const ExactEntry& e : entry[s]) row[e.row] += e.count * amount[s];
  }
  long double inputs = 0.0L;
  for (long double v : b) inputs += std::fabs(v);
  long double worst = 0.0L;
  for (int j = 0; j < rows; ++j) {
    const long double allowed = std::max(relative * std::fabs(b[j]), floor * inputs);
    const long double miss = std::fabs(row[j] - b[j]);
    if (!std::isfinite(miss)) return INFINITY;
    if (allowed > 0.0L) worst = std::max(worst, miss / allowed);
  }
  return worst;
}

}  // namespace ploxen
