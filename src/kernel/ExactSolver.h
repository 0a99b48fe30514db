// Exact Gibbs-energy minimum of an ideal multi-phase system under linear balances: Newton
// iterations on the element potentials, the phase set, and a fixed-volume gas phase.
#pragma once

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

namespace ploxen {

/// One balance row entry of a species: `row` of the balance rows, `count` atoms (or charge).
struct ExactEntry {
  int row;
  long double count;
};

/// A phase of the exact problem: an ideal mixture (gas or solution) or a pure phase of one species.
struct ExactPhase {
  bool mixture = true;
  bool gas = false;           ///< its species' potentials carry ln P
  bool forced = false;        ///< always present (the fixed-volume gas)
  std::vector<int> species;   ///< indices into `ExactProblem::g`
};

/// The problem as the kernel hands it over: dimensionless standard potentials, balance rows and
/// phases. Amounts are in the caller's unit; the solver scales internally.
struct ExactProblem {
  int rows = 0;                               ///< balance rows (elements, then charge)
  std::vector<long double> b;                 ///< balance inputs per row [mol]
  std::vector<long double> g;                 ///< G/RT + ln(gamma) per species (ln P excluded)
  std::vector<long double> input;             ///< reacting input per species [mol]
  std::vector<std::vector<ExactEntry>> entry; ///< non-zero balance coefficients per species
  std::vector<ExactPhase> phases;
  long double lnP = 0.0L;                     ///< ln of the pressure [bar] of every gas phase
};

/// The minimum once found: potentials, amounts and phase set.
struct ExactResult {
  std::vector<long double> lambda;   ///< potential per balance row (dimensionless)
  std::vector<long double> amount;   ///< moles per species (0 in absent phases)
  std::vector<long double> lnActivityRatio;  ///< sum a*lambda - g - [ln P] per species
  std::vector<long double> phaseTotal;       ///< moles per phase
  std::vector<char> present;                 ///< per phase
  int iterations = 0;
  long double balanceResidual = 0.0L;  ///< largest |balance error| / |b_j| (floor 1e-14)
};

/// Finds the minimum of sum n*(g + ln x [+ ln P]) over the phases under the balances.
/// `Solve` returns true on convergence; otherwise `Reason()` says why it stopped.
class ExactSolver {
 public:
  explicit ExactSolver(const ExactProblem& problem) : p_(problem) {}

  /// Polled once per iteration; returning true stops the solve (a user's break).
  void SetPoll(std::function<bool()> poll) { poll_ = std::move(poll); }
  /// Solves at the problem's pressure, warm from the previous solve when there is one.
  bool Solve();
  /// Solves with gas phase `gasPhase` filling a fixed volume: P = N * `lnFactor` (ln of R*T/V
  /// in bar per mol); the pressure found is stored in the problem copy (`Pressure`).
  bool SolveFixedVolume(int gasPhase, long double lnFactor);

  const ExactResult& Result() const { return result_; }
  const std::string& Reason() const { return reason_; }
  bool Broken() const { return broken_; }
  long double LnPressure() const { return p_.lnP; }

 private:
  enum class Step { kConverged, kSingular, kLimit, kDiverging, kBroken, kInvalid };

  void Start();
  void QuickStart();
  void SetAsideExcluded();
  void SetExcluded();
  bool SolvePhaseSet();
  bool BarrierStart();
  bool BarrierPointHolds();
  bool BarrierStep(std::vector<long double>& lambda, long double t, const std::vector<char>& used);
  /// Potential a*lambda - g' per species, and a double copy that finds each phase's largest.
  struct SpeciesValues {
    std::vector<long double> u;
    std::vector<double> rough;
  };
  long double BarrierValue(const SpeciesValues& u, const std::vector<long double>& lambda,
                           long double t) const;
  void SpeciesPotentials(const std::vector<long double>& lambda, SpeciesValues& v) const;
  long double PhaseConstraint(int k, const SpeciesValues& v,
                              std::vector<long double>* fractions) const;
  void StartAmounts(int phase);
  void Activate(int phase);
  void CoverElements();
  Step Newton();
  template <typename T>
  bool BuildAndSolve(std::vector<long double>& x);
  void FinishAmounts();
  void FillResult();
  long double BalanceResidual() const;
  std::vector<char> CarriedRows() const;
  bool SoleCarrierMissing() const;
  bool MixtureSumsHold() const;
  int MostUnstablePhase() const;
  int MostNegativePure() const;
  long double Potential(int s) const;  ///< sum a*lambda of species s
  long double Mu(int s) const { return mu_[s]; }  ///< g' of species s, ln P included for gas
  void SetPotentials();
  long double ScaledTotal() const;
  long double RoughLnTotal() const;

  ExactProblem p_;
  mutable std::vector<long double> amountScratch_;
  std::vector<long double> mu_;       ///< g' per species at the current pressure
  struct Workspace {
    template <typename T>
    struct Matrix {
      std::vector<T> matrix, rhs, rowScale, colScale;
    };
    Matrix<double> fast;
    Matrix<long double> precise;
    std::vector<long double> byPhase;
    std::vector<long double> amount, total;  ///< per species and per mixture, as formed
    std::vector<long double> lnn;            ///< the log amounts while a stop is checked
    std::vector<int> column;
    std::vector<char> carried;
    template <typename T>
    Matrix<T>& Of() {
      if constexpr (std::is_same_v<T, double>) {
        return fast;
      } else {
        return precise;
      }
    }
  } work_;  ///< buffers of one Newton iteration, kept between iterations
  /// The balance entries once more, flat: those of species s are [start[s], start[s+1]).
  struct FlatEntries {
    std::vector<int> start, row;
    std::vector<double> count;
    std::vector<long double> preciseCount;
    template <typename T>
    const std::vector<T>& Count() const {
      if constexpr (std::is_same_v<T, double>) {
        return count;
      } else {
        return preciseCount;
      }
    }
  } flat_;
  struct BarrierWork {
    SpeciesValues values, trial;
    std::vector<long double> fractions, along;
    std::vector<double> roughAlong, h, step;
  } barrierWork_;  ///< buffers of the barrier path
  std::function<bool()> poll_;
  std::vector<long double> b_;        ///< scaled inputs
  long double scale_ = 1.0L;          ///< b = scale_ * b_
  std::vector<long double> lnN_;      ///< ln of each mixture's total (scaled)
  std::vector<long double> lnn_;      ///< ln of each mixture species' amount (scaled)
  std::vector<long double> pure_;     ///< amount of each pure phase (scaled)
  std::vector<long double> lambda_;   ///< current potentials
  std::vector<char> active_;          ///< per phase
  std::vector<int> phaseOf_;          ///< phase of each species
  std::vector<int> addedOrder_;       ///< pure phases in the order they joined
  std::vector<int> excludedRows_;     ///< balances without input that admit none of their species
  std::vector<int> excluded_;         ///< species those balances keep out
  struct Snapshot {
    std::vector<long double> lnN, lnn, pure, lambda;
    std::vector<char> active;
  } barrier_;  ///< the end of the barrier path
  bool haveBarrier_ = false;
  ExactResult result_;
  std::string reason_;
  bool started_ = false, broken_ = false;
  int iterations_ = 0;
  int budget_ = 0;  ///< iteration count at which a solve gives up (0: no budget)
};

/// Solves the dense n x n system `a` x = `x` in place (partial pivoting); false when a pivot is
/// not above `pivotFloor` or the solution is not finite.
template <typename T>
bool SolveDense(std::vector<T>& a, std::vector<T>& x, T pivotFloor = T(0));

/// Largest imbalance of `amount` against `b` in units of what each row allows: `relative` times
/// its input, or `floor` times the sum of the inputs when that is more. At most 1 passes.
long double BalanceMismatch(const ExactProblem& problem, const std::vector<long double>& amount,
                            long double relative, long double floor);
long double BalanceMismatch(int rows, const std::vector<long double>& b,
                            const std::vector<std::vector<ExactEntry>>& entry,
                            const std::vector<long double>& amount, long double relative,
                            long double floor);

}  // namespace ploxen
