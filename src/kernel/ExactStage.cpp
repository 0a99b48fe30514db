// The exact stage of Solve: hands the kernel system to the exact solver, writes its minimum
// back into the result tables, and checks the element balances of every result.
#include <algorithm>
#include <cmath>

#include "kernel/EqKernel.h"
#include "kernel/ExactSolver.h"
#include "support/AplMsg.h"

namespace ploxen {

namespace {

constexpr long double kExactMassTolerance = 1e-9L;  ///< relative, per element
constexpr long double kMassFloor = 1e-14L;          ///< of the total input

}  // namespace

// Species of the exact problem are the compounds that take part (the electron compound among
// them, in its slot's mixture); each slot's other compounds form one mixture, each compound of
// unit activity its own pure phase. A charge row joins when any compound carries an "E" count.
void TEqlKernel::BuildExactProblem(ExactProblem& problem, std::vector<int>& compoundOf) {
  const long double rt = kKernelGasConstant * temperature_;
  problem = ExactProblem{};
  compoundOf.clear();
  std::vector<long double> charge(nc_ + 1, 0.0L);
  bool charged = false;
  for (int q = 1; q <= nc_; ++q) {
    if (state_[q] == 0 && q != electron_) continue;
    charge[q] = CountOf(0, q);
    if (charge[q] != 0.0L) charged = true;
  }
  problem.rows = ne_ + (charged ? 1 : 0);
  problem.b.assign(problem.rows, 0.0L);
  for (int j = 1; j <= ne_; ++j) problem.b[j - 1] = b_[j];
  for (int k = 1; k <= kPhaseSlots; ++k) {
    ExactPhase mixture;
    mixture.gas = k <= 2;
    mixture.forced = mode_ == k;
    for (int q = RangeFirst(k); q <= RangeLast(k); ++q) {
      if (state_[q] == 0 && q != electron_) continue;
      const int s = static_cast<int>(compoundOf.size());
      compoundOf.push_back(q);
      problem.g.push_back(gibbs_[q] / rt + std::log(gamma_[q]));
      problem.input.push_back(reacting_[q]);
      std::vector<ExactEntry> row;
      for (int e = rowStart_[q]; e < rowStart_[q + 1]; ++e) {
        row.push_back({spCol_[e] - 1, spVal_[e]});
      }
      if (charged && charge[q] != 0.0L) {
        row.push_back({ne_, charge[q]});
        problem.b[ne_] += charge[q] * reacting_[q];
      }
      problem.entry.push_back(std::move(row));
      if (unit_[q]) {
        ExactPhase pure;
        pure.mixture = false;
        pure.species.push_back(s);
        problem.phases.push_back(std::move(pure));
      } else {
        mixture.species.push_back(s);
      }
    }
    if (!mixture.species.empty()) problem.phases.push_back(std::move(mixture));
  }
}

// 1 when the exact minimum was found and written, 0 when the run must stop (a break, a missed
// balance), kExactFallback when the estimation is to compute the result instead.
int TEqlKernel::ExactStage() {
  ExactProblem problem;
  std::vector<int> compoundOf;
  BuildExactProblem(problem, compoundOf);
  problem.lnP = std::log(pressure_);
  int fixedGas = -1;
  for (size_t k = 0; k < problem.phases.size(); ++k) {
    if (problem.phases[k].forced) fixedGas = static_cast<int>(k);
  }
  if (mode_ != 0 && fixedGas < 0) {
    Post(kMsgImportant, 1206, "Exact solution not found: the gas phase of fixed volume is empty");
    return kExactFallback;
  }
  const long double lnFactor =
      std::log(kKernelGasConstant * temperature_ / (volume_ * 100000.0L));
  if (mode_ != 0) {
    long double gasInput = 0.0L;
    for (int s : problem.phases[fixedGas].species) gasInput += reacting_[compoundOf[s]];
    long double inputs = 0.0L;
    for (long double b : problem.b) inputs += std::fabs(b);
    problem.lnP = std::log(std::max(gasInput, 1e-3L * inputs)) + lnFactor;
  }
  ExactSolver solver(problem);
  solver.SetPoll([this] { return PollBreak(); });
  const bool ok = mode_ == 0 ? solver.Solve() : solver.SolveFixedVolume(fixedGas, lnFactor);
  if (solver.Broken()) {
    resultText_ = "Break by user !";
    return 0;
  }
  if (!ok) {
    Post(kMsgImportant, 1206, "Exact solution not found: " + solver.Reason());
    return kExactFallback;
  }
  iterX_ = solver.Result().iterations;
  if (mode_ != 0) {
    pressure_ = std::exp(solver.LnPressure());
    workPressure_ = pressure_;
  }
  WriteExactResult(problem, compoundOf, solver.Result());
  if (!ResultsFinite() || !BalanceKept(kExactMassTolerance)) return 0;
  if (GasSlotsAlike()) {
    Post(kMsgImportant, 1207,
         "Gas phases 1 and 2 hold the same compounds: their sum is the equilibrium, the split "
         "between them is not determined");
  }
  return 1;
}

// True when the two gas slots hold the same compounds (by name, excluded ones aside): at the
// same pressure they are one mixture.
bool TEqlKernel::GasSlotsAlike() const {
  std::vector<std::string> names[2];
  for (int k = 1; k <= 2; ++k) {
    for (int q = RangeFirst(k); q <= RangeLast(k); ++q) {
      if (state_[q] != 0) names[k - 1].push_back(baseNames_[q]);
    }
    std::sort(names[k - 1].begin(), names[k - 1].end());
  }
  return !names[0].empty() && names[0] == names[1];
}

void TEqlKernel::WriteExactResult(const ExactProblem& problem, const std::vector<int>& compoundOf,
                                  const ExactResult& result) {
  const long double rt = kKernelGasConstant * temperature_;
  for (int j = 1; j <= ne_; ++j) lambda_[j] = result.lambda[j - 1];
  chargePotential_ = problem.rows > ne_ ? result.lambda[ne_] : 0.0L;
  for (int q = 1; q <= nc_; ++q) {
    amount_[q] = 0.0L;
    nu_[q] = 0.0L;
    sigma_[q] = 1.0L;
    fraction_[q] = 0.0L;
  }
  for (size_t k = 0; k < problem.phases.size(); ++k) {
    for (int s : problem.phases[k].species) {
      const int q = compoundOf[s];
      long double lnActivity = -gibbs_[q] / rt;  // sum a*lambda - G/RT
      for (const ExactEntry& e : problem.entry[s]) lnActivity += e.count * result.lambda[e.row];
      nu_[q] = std::exp(lnActivity) / gamma_[q];
      amount_[q] = result.amount[s];
      state_[q] = result.present[k] ? 1 : -1;
      if (unit_[q] && !result.present[k]) {
        Post(kMsgImportant, 1296, labels_[q] + "- formation may be inpossible in system.");
      }
    }
  }
  if (partialInput_) {
    for (int q = 1; q <= nc_; ++q) amount_[q] += (1.0L - share_[q]) * input_[q];
  }
  totalMoles_ = 0.0L;
  for (int k = 1; k <= kPhaseSlots; ++k) {
    phaseTotal_[k] = 0.0L;
    for (int q = RangeFirst(k); q <= RangeLast(k); ++q) phaseTotal_[k] += amount_[q];
    for (int q = RangeFirst(k); q <= RangeLast(k); ++q) {
      fraction_[q] = phaseTotal_[k] > 0.0L ? amount_[q] / phaseTotal_[k] : 0.0L;
    }
    totalMoles_ += phaseTotal_[k];
  }
  runSummary_ = (runSummary_.empty() ? "X: " : runSummary_ + "; X: ") + std::to_string(iterX_);
}

// The amounts of every element against its whole input (the unreacted share included): a miss
// above `tolerance` relative (floor: a small part of the total input) refuses the result.
bool TEqlKernel::BalanceKept(long double tolerance) {
  long double inputs = 0.0L;
  for (int j = 1; j <= ne_; ++j) {
    work_[j] = 0.0L;
    total_[j] = 0.0L;
  }
  for (int q = 1; q <= nc_; ++q) {
    for (int e = rowStart_[q]; e < rowStart_[q + 1]; ++e) {
      work_[spCol_[e]] += spVal_[e] * amount_[q];
      total_[spCol_[e]] += spVal_[e] * input_[q];
    }
  }
  for (int j = 1; j <= ne_; ++j) inputs += total_[j];
  for (int j = 1; j <= ne_; ++j) {
    const long double miss = std::fabs(work_[j] - total_[j]);
    if (miss <= std::max(tolerance * total_[j], kMassFloor * inputs)) continue;
    Post(kMsgError, 1404,
         "Element balance of " + SystemElementLabel(j) + " missed by " +
             KernelRealText(total_[j] > 0.0L ? miss / total_[j] : miss) +
             " : no result is written !");
    resultText_ = "Calculation is broken because error EK.1404";
    return false;
  }
  return true;
}

}  // namespace ploxen
