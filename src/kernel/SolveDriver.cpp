// Solve: preparing the system elements and inputs, the first solution and the main loop of
// estimation, final solution, unit activity, consistency and corrections.
#include <algorithm>
#include <cmath>
#include <numeric>

#include "chem/Periodica.h"
#include "kernel/EqKernel.h"
#include "support/AplMsg.h"

namespace ploxen {

namespace {

std::string EnergyText(long double value) {
  return KernelRealText(value);
}

}  // namespace

// Atoms of element-table entry k in compound q. A symbol that does not occur in the mol
// definition's text cannot be counted, so the parser is only asked when it does.
long double TEqlKernel::CountOf(int k, int q) const {
  const std::string& symbol = symbols_[k];
  if (symbol.empty()) return 0.0L;
  // Most symbols lack a character of most definitions: two bit tests instead of a search.
  const std::array<std::uint64_t, 2>& chars = defChars_[q];
  for (std::size_t i = 0; i < std::min<std::size_t>(symbol.size(), 2); ++i) {
    const auto c = static_cast<unsigned char>(symbol[i]);
    if (c < 128 && !((chars[c >> 6] >> (c & 63)) & 1u)) return 0.0L;
  }
  const std::string& definition = molDefs_[q];
  if (definition.find(symbol) == std::string::npos) return 0.0L;
  return table_.ElementCount(symbol, definition);
}

void TEqlKernel::PhaseBookkeeping() {
  gasCount_ = count_[1] + count_[2];
  liquidCount_ = count_[3] + count_[4] + count_[5];
  solidCount_ = count_[6] + count_[7] + count_[8];
  phaseEnd_[0] = 0;
  for (int k = 1; k <= kPhaseSlots; ++k) phaseEnd_[k] = phaseEnd_[k - 1] + count_[k];
}

// Every element that a compound holds is selected, named with the first compound holding it.
// The symbols are grouped by their first character, so that each position of a definition is
// compared only with the symbols that start with its character.
void TEqlKernel::SelectElements() {
  elementsAdded_ = 0;
  const int last = std::min(table_.LastElementIndex(), kElementSlots - 1);
  std::array<int, 257> start{};
  for (int k = 0; k <= last; ++k) {
    if (!symbols_[k].empty()) ++start[static_cast<unsigned char>(symbols_[k][0]) + 1];
  }
  for (int c = 0; c < 256; ++c) start[c + 1] += start[c];
  std::array<int, kElementSlots> order{};
  std::array<int, 257> cursor = start;
  for (int k = 0; k <= last; ++k) {
    if (!symbols_[k].empty()) order[cursor[static_cast<unsigned char>(symbols_[k][0])]++] = k;
  }
  std::array<int, kElementSlots> firstCompound{};  // 0: none
  for (int q = 1; q <= nc_; ++q) {
    const std::string& definition = molDefs_[q];
    for (std::size_t i = 0; i < definition.size(); ++i) {
      const auto c = static_cast<unsigned char>(definition[i]);
      for (int at = start[c]; at < start[c + 1]; ++at) {
        const int k = order[at];
        if (selected_[k] || firstCompound[k] != 0) continue;
        if (definition.compare(i, symbols_[k].size(), symbols_[k]) != 0) continue;
        if (CountOf(k, q) > 0.0L) firstCompound[k] = q;
      }
    }
  }
  for (int k = 0; k <= last; ++k) {
    if (selected_[k] || firstCompound[k] == 0) continue;
    selected_[k] = 1;
    Post(kMsgInformation, 1033,
         symbols_[k] + " is selected, because " + labels_[firstCompound[k]]);
    elementsAdded_ = 1;
  }
}

bool TEqlKernel::BuildSystemElements() {
  ne_ = 0;
  b_[0] = 0.0L;
  std::string missing = "No values for :";
  bool anyMissing = false;
  const int last = std::min(table_.LastElementIndex(), kElementSlots - 1);
  for (int k = 1; k <= last; ++k) {
    if (!selected_[k]) continue;
    const int j = ++ne_;
    highElement_ = std::max(highElement_, j);
    tableIndex_[j] = k;
    long double input = 0.0L;
    for (int q = 1; q <= nc_; ++q) {
      const long double count = CountOf(k, q);
      if (!std::isfinite(count)) {
        Post(kMsgError, 1110,
             "Invalid value of atom count of " + symbols_[k] + " in " + labels_[q] +
                 " : Calculation is not possible !");
        resultText_ = "Calculation is broken because error EK.1110";
        return false;
      }
      A(q, j) = count;
      if (count > 0.0L) input += count * input_[q] * share_[q];
    }
    b_[j] = input;
    if (input < zeroLimit_) {
      missing += symbols_[k] + ", ";
      lambda_[j] = 0.0L;
      anyMissing = true;
    }
  }
  if (anyMissing) {
    missing.erase(missing.rfind(','), 1);
    Post(kMsgImportant, 1196, missing);
  }
  if (electron_ != 0) {
    for (int q = 1; q <= nc_; ++q) electronCount_[q] = CountOf(0, q);
  }
  return true;
}

// Sparse rows (non-zero coefficients per compound), columns (compounds per element) and the
// groups of equal substance names, built once per run.
void TEqlKernel::BuildSparseLists() {
  int entry = 0;
  std::array<int, kElementSlots + 1> columnSize{};
  for (int q = 1; q <= nc_; ++q) {
    rowStart_[q] = entry;
    for (int j = 1; j <= ne_; ++j) {
      const long double value = A(q, j);
      if (value == 0.0L) continue;
      spCol_[entry] = j;
      spVal_[entry] = value;
      spShare_[entry] = 0.0L;
      ++columnSize[j];
      ++entry;
    }
  }
  rowStart_[nc_ + 1] = entry;
  colStart_[0] = 0;
  colStart_[1] = 0;
  for (int j = 1; j <= ne_; ++j) colStart_[j + 1] = colStart_[j] + columnSize[j];
  std::array<int, kElementSlots + 1> cursor{};
  std::copy_n(colStart_.begin(), ne_ + 1, cursor.begin());
  for (int q = 1; q <= nc_; ++q) {
    for (int e = rowStart_[q]; e < rowStart_[q + 1]; ++e) colRow_[cursor[spCol_[e]]++] = q;
  }
  std::iota(nameOrder_.begin(), nameOrder_.begin() + nc_, 1);
  std::sort(nameOrder_.begin(), nameOrder_.begin() + nc_,
            [this](int x, int y) { return baseNames_[x] < baseNames_[y]; });
  int group = 0;
  for (int i = 0; i < nc_; ++i) {
    if (i > 0 && baseNames_[nameOrder_[i]] != baseNames_[nameOrder_[i - 1]]) ++group;
    nameGroup_[nameOrder_[i]] = group;
  }
}

void TEqlKernel::ChooseReference() {
  ref_ = ne_ >= 1 && b_[1] > kSmallAmount ? 1 : 0;
  for (int j = 1; j <= ne_; ++j) {
    if (b_[j] > b_[ref_] && b_[j] > zeroLimit_) ref_ = j;
  }
}

// Excludes the carriers of elements without input; an element with input but no carrier
// that may form stops the run.
bool TEqlKernel::CheckCarriers() {
  std::string impossible;
  for (int j = 1; j <= ne_; ++j) {
    const int* begin = colRow_.data() + colStart_[j];
    const int* end = colRow_.data() + colStart_[j + 1];
    if (b_[j] < kSmallAmount) {
      for (const int* it = begin; it != end; ++it) {
        if (A(*it, j) > 0.0L) state_[*it] = 0;
      }
    }
    const bool carrier =
        std::any_of(begin, end, [&](int q) { return A(q, j) > 0.0L && state_[q] == 1; });
    if (carrier) continue;
    const std::string symbol = table_.ElementSymbol(tableIndex_[j]);
    if (b_[j] > kSmallAmount) {
      Post(kMsgError, 1220,
           "Error: Formation of substances containing " + symbol + " are disabled in system !");
      return false;
    }
    impossible += (impossible.empty() ? "" : ", ") + symbol;
  }
  if (!impossible.empty()) {
    Post(kMsgInformation, 1223,
         "Formation of substances containing { " + impossible + " } are not possible !");
  }
  return true;
}

int TEqlKernel::FormationFactors() {
  const long double rt = kKernelGasConstant * temperature_;
  for (int q = 1; q <= nc_; ++q) {
    const long double g = -gibbs_[q] / rt;
    if (g > 5000.0L) {
      resultText_ =
          "Free energy -G(" + labels_[q] + ")=" + EnergyText(gibbs_[q]) + ",  is unusual heigh ";
      return -1;
    }
    SetFormationFactor(q, g);
  }
  return 1;
}

int TEqlKernel::Solve() {
  forced_ = 0;
  autoCorrState_ = CBAutoCorr ? 1 : 0;
  firstRetry_ = 1;
  phaseCheckBroken_ = 0;
  result_ = 0;
  iterI_ = iterP_ = iterF_ = iterV_ = iterX_ = largestP_ = 0;
  chargePotential_ = 0.0L;
  kStar_ = 1;
  resultText_.clear();
  if (breakRequest_) {
    resultText_ = "Break by user !";
    return 0;
  }
  PhaseBookkeeping();
  if (!ValidateInput()) return 0;
  const int last = std::min(table_.LastElementIndex(), kElementSlots - 1);
  for (int k = 0; k <= last; ++k) symbols_[k] = table_.ElementSymbol(k);
  if (autoSelect_) SelectElements();
  if (!BuildSystemElements()) return 0;
  BuildSparseLists();
  ChooseReference();
  if (!CheckCarriers()) return 0;
  if (ref_ == 0) {
    Post(kMsgCritical, 1004, "No (valid) Input Values");
    if (!partialInput_) return 0;
    FinalAmounts();
    for (int q = 1; q <= nc_; ++q) nu_[q] = fraction_[q];
    return ResultsFinite() ? 1 : 0;
  }
  result_ = -1;
  if (FormationFactors() != 1) return -1;
  if (CbxExact) {
    const int exact = ExactStage();
    if (exact != kExactFallback) return exact;
  }
  Post(kMsgInformation, 1108, "Estimation of System ...");
  if (FirstSolution() != 1) return -1;
  const int estimated = MainLoop();
  if (estimated == 1 && !BalanceKept(10.0L * precision_)) return -1;
  return estimated;
}

int TEqlKernel::MainLoop() {
  for (;;) {
    if (mode_ != 0) PrepareConstantVolume();
    PhaseCounts();
    HoldBackEstimate();
    chosen_.fill(0);
    if (mode_ == 0) {
      PressureAnalysis();
      result_ = -32;
      if (!FinalStep()) {
        if (CBAutoCorr && RetryWithMoreSteps()) continue;
        return result_;
      }
      runSummary_ += "; 2: " + std::to_string(iterF_) + "(" + KernelRealText(alpha_) + ")";
      Post(kMsgInformation, 1205, "Search for exact solution");
    } else {
      kStar_ = mode_;
    }
    bool restart = false;
    for (;;) {
      if (!UnitActivity()) {
        if (ne_ > 1 && CBAutoCorr && RetryWithMoreSteps()) {
          restart = true;
          break;
        }
        return result_;
      }
      for (int q = 1; q <= nc_; ++q) {
        if (unit_[q] && Activity(q) < 0.5L) state_[q] = -1;
      }
      runSummary_ += "; P: " + std::to_string(largestP_);
      Consistency();
      FinalAmounts();
      if (!CorrectivePass()) break;
    }
    if (restart) continue;
    if (!CBMaxEntropy && ne_ > 1) {
      quiet_ = 1;
      PhaseCheck();
      quiet_ = 0;
      if (phaseCheckBroken_) {
        resultText_ = "Break by user !";
        return 0;
      }
    }
    MineralsCheck();
    return ResultsFinite() ? 1 : -1;
  }
}

// Input that is not a finite number (or a temperature, pressure or volume that is not
// positive) would carry into every result: such a run stops before it starts.
bool TEqlKernel::ValidateInput() {
  std::string what;
  if (!(temperature_ > 0.0L) || !std::isfinite(temperature_))
    what = "temperature";
  else if (!(pressure_ > 0.0L) || !std::isfinite(pressure_))
    what = "pressure";
  else if (mode_ < 0 || mode_ > 2)
    what = "mode";
  else if (mode_ != 0 && (!(volume_ > 0.0L) || !std::isfinite(volume_)))
    what = "volume";
  for (int q = 1; q <= nc_ && what.empty(); ++q) {
    if (!std::isfinite(gibbs_[q]))
      what = "Gibbs energy of " + labels_[q];
    else if (!std::isfinite(input_[q]))
      what = "amount of " + labels_[q];
    else if (!std::isfinite(share_[q]))
      what = "reactive share of " + labels_[q];
    else if (!std::isfinite(gamma_[q]))
      what = "activity coefficient of " + labels_[q];
  }
  if (what.empty()) return true;
  Post(kMsgError, 1110, "Invalid value of " + what + " : Calculation is not possible !");
  resultText_ = "Calculation is broken because error EK.1110";
  return false;
}

bool TEqlKernel::ResultsFinite() {
  for (int q = 1; q <= nc_; ++q) {
    if (std::isfinite(amount_[q]) && std::isfinite(fraction_[q]) && std::isfinite(Activity(q))) {
      continue;
    }
    Post(kMsgError, 1112,
         "No finite result for " + labels_[q] + " : Calculation is not possible !");
    resultText_ = "Calculation is broken because error EK.1112";
    return false;
  }
  return true;
}

}  // namespace ploxen
