// Kernel system: the fixed-capacity tables, filling them for a run and reading the results.
#include "kernel/EqKernel.h"

#include <algorithm>
#include <cmath>

#include "chem/Periodica.h"
#include "support/AplMsg.h"

namespace ploxen {

namespace {

constexpr size_t kCompoundSlots = kMaxCompounds + 1;
constexpr size_t kEntryCapacity = static_cast<size_t>(kMaxCompounds) * (kElementSlots - 1);

std::array<std::uint64_t, 2> CharacterSet(const std::string& text) {
  std::array<std::uint64_t, 2> set{};
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 128) set[c >> 6] |= std::uint64_t{1} << (c & 63);
  }
  return set;
}

}  // namespace

TEqlKernel::TEqlKernel(TAplMsgWnd& log, const Periodica& table)
    : log_(log),
      table_(table),
      a_(kCompoundSlots * kElementSlots),
      input_(kCompoundSlots, 0.0L),
      share_(kCompoundSlots, 1.0L),
      reacting_(kCompoundSlots, 0.0L),
      gibbs_(kCompoundSlots, 0.0L),
      gamma_(kCompoundSlots, 1.0L),
      phi_(kCompoundSlots, 0.0L),
      nu_(kCompoundSlots, 0.0L),
      sigma_(kCompoundSlots, 1.0L),
      potential_(kCompoundSlots, 0.0L),
      lnPhi_(kCompoundSlots, 0.0L),
      expArg_(kCompoundSlots, 0.0L),
      expValue_(kCompoundSlots, 1.0L),
      amount_(kCompoundSlots, 0.0L),
      fraction_(kCompoundSlots, 0.0L),
      electronCount_(kCompoundSlots, 0.0L),
      state_(kCompoundSlots, 0),
      unit_(kCompoundSlots, 0),
      slot_(kCompoundSlots, 0),
      rowStart_(kCompoundSlots + 1, 0),
      spCol_(kEntryCapacity),
      spVal_(kEntryCapacity),
      spShare_(kEntryCapacity),
      colStart_(kElementSlots + 1, 0),
      colRow_(kEntryCapacity),
      nameOrder_(kCompoundSlots, 0),
      nameGroup_(kCompoundSlots, 0),
      saveNu_(kCompoundSlots, 0.0L),
      saveSigma_(kCompoundSlots, 1.0L),
      saveAmount_(kCompoundSlots, 0.0L),
      saveFraction_(kCompoundSlots, 0.0L) {
  names_.reserve(kCompoundSlots);
  labels_.reserve(kCompoundSlots);
  molDefs_.reserve(kCompoundSlots);
  defChars_.reserve(kCompoundSlots);
  baseNames_.reserve(kCompoundSlots);
  names_.assign(1, "Substances:");
  labels_.assign(1, "Substance (ph):");
  molDefs_.assign(1, "MolDef:");
  defChars_.assign(1, CharacterSet(molDefs_[0]));
  baseNames_.assign(1, "");
  lambda_.fill(-1.0L);
}

void TEqlKernel::Post(int level, int number, const std::string& text) {
  log_.Post(level, number, text);
}

bool TEqlKernel::PollBreak() {
  if (processEvents_) processEvents_();
  return breakRequest_ != 0;
}

void TEqlKernel::ResetSystem(std::span<const std::uint8_t> elementFlags) {
  breakRequest_ = 0;
  quiet_ = 0;
  partialInput_ = 0;
  names_.assign(1, "Substances:");
  labels_.assign(1, "Substance (ph):");
  molDefs_.assign(1, "MolDef:");
  defChars_.assign(1, CharacterSet(molDefs_[0]));
  baseNames_.assign(1, "");
  const int last = std::min(table_.LastElementIndex(), kElementSlots - 1);
  selected_.fill(0);
  for (int k = 0; k <= last && k < static_cast<int>(elementFlags.size()); ++k) {
    selected_[k] = elementFlags[k];
  }
  for (int k = 0; k <= last; ++k) lambda_[k] = -1.0L;
  // Only the part a previous run filled can differ from the cleared state.
  for (int q = 1; q <= highCompound_; ++q) {
    std::fill_n(&A(q, 0), highElement_ + 1, 0.0L);
    unit_[q] = 0;
    reacting_[q] = 0.0L;
    sigma_[q] = 1.0L;
    share_[q] = 1.0L;
    gamma_[q] = 1.0L;
    nu_[q] = 0.0L;
    amount_[q] = 0.0L;
    fraction_[q] = 0.0L;
  }
  std::fill(rowStart_.begin(), rowStart_.end(), 0);
  highCompound_ = 0;
  highElement_ = 0;
  nc_ = 0;
  ne_ = 0;
  gasCount_ = liquidCount_ = solidCount_ = 0;
  count_.fill(0);
  phaseEnd_.fill(0);
  estimate_.fill(0.0L);
  phaseTotal_.fill(0.0L);
  for (auto& row : elementByPhase_) row.fill(0);
  for (auto& note : pressureNote_) note.clear();
  runSummary_.clear();
  electron_ = 0;
  electronSign_ = 0;
}

int TEqlKernel::AddCompound(int slot, const std::string& name, long double reactiveShare, int state,
                            long double activityCoefficient, long double inputMol,
                            long double gibbsJPerMol, const std::string& molDefinition,
                            const std::string& phaseTag) {
  // The tables are fixed and phase ranges must stay contiguous: refuse what would break them.
  if (slot < 1 || slot > kPhaseSlots || (nc_ > 0 && slot < slot_[nc_])) {
    Post(kMsgError, 375,
         "Phase slot " + std::to_string(slot) + " of " + name +
             " is not valid or out of order: " + name + " can not be considered !");
    resultText_ = "Break because error EK.375";
    return 0;
  }
  if (nc_ >= kMaxCompounds) {
    Post(kMsgError, 375,
         "Too many substances in system (max. 2048): " + name + " can not be considered !");
    resultText_ = "Break because error EK.375";
    return 0;
  }
  const bool isElectron = molDefinition == "E1" || molDefinition == "E-1";
  if (isElectron && electron_ != 0) {
    Post(kMsgError, 373,
         "Electron as component of system only in a phase permitted " + name +
             " can not be considered !");
    resultText_ = "Break because error EK.373";
    return 0;
  }
  const int q = ++nc_;
  highCompound_ = std::max(highCompound_, q);
  ++count_[slot];
  slot_[q] = slot;
  names_.push_back(name);
  labels_.push_back(name + " " + phaseTag);
  molDefs_.push_back(molDefinition);
  defChars_.push_back(CharacterSet(molDefinition));
  PhaseSplit split = SplitPhaseSuffix(name);
  baseNames_.push_back(split.ok ? split.name : name);

  if (reactiveShare < 0.0L) reactiveShare = 0.0L;
  if (reactiveShare > 1.0L) reactiveShare = 1.0L;
  if (reactiveShare < 1.0L) partialInput_ = 1;
  gibbs_[q] = gibbsJPerMol;
  input_[q] = inputMol;
  share_[q] = reactiveShare;
  reacting_[q] = inputMol * reactiveShare;
  gamma_[q] = activityCoefficient;
  state_[q] = state;
  unit_[q] = 0;
  if (activityCoefficient <= 0.0L) {
    gamma_[q] = 1.0L;
    state_[q] = 0;
  }
  if (state_[q] == 0) gibbs_[q] = 0.0L;
  if (isElectron) {
    electron_ = q;
    electronSign_ = molDefinition == "E1" ? -1 : 1;
    state_[q] = 0;
  }
  return q;
}

void TEqlKernel::FixUnitActivity(int q) {
  if (!ValidCompound(q) || state_[q] == 0) return;
  unit_[q] = 1;
  gamma_[q] = 1.0L;
}

long double TEqlKernel::Amount(int q) const {
  return ValidCompound(q) ? amount_[q] : 0.0L;
}

long double TEqlKernel::Mass(int q) const {
  if (!ValidCompound(q) || amount_[q] < zeroLimit_) return 0.0L;
  return amount_[q] * table_.MolarMass(molDefs_[q]);
}

long double TEqlKernel::Activity(int q) const {
  // A compound without relative amount has no activity, whatever its coefficient holds.
  if (!ValidCompound(q) || nu_[q] == 0.0L) return 0.0L;
  return nu_[q] * gamma_[q] * sigma_[q];
}

long double TEqlKernel::PhaseFraction(int q) const {
  return ValidCompound(q) ? fraction_[q] : 0.0L;
}

int TEqlKernel::CompoundState(int q) const {
  return ValidCompound(q) ? state_[q] : 0;
}

std::string TEqlKernel::PressureNote(int slot) const {
  return slot == 1 || slot == 2 ? pressureNote_[slot] : "-";
}

std::string TEqlKernel::SystemElementLabel(int j) const {
  if (j < 1 || j > ne_) return "";
  const std::string symbol = table_.ElementSymbol(tableIndex_[j]);
  return symbol + "(" + symbol + ")";
}

std::uint8_t TEqlKernel::IsElementSelected(int index) const {
  return index >= 0 && index < kElementSlots ? selected_[index] : 0;
}

int TEqlKernel::SystemElementIndex(int j) const {
  return j >= 1 && j <= ne_ ? tableIndex_[j] : -1;
}

long double TEqlKernel::LagrangeCoefficient(int j) const {
  return j >= 0 && j < kElementSlots ? lambda_[j] : 0.0L;
}

long double TEqlKernel::ElementInput(int j) const {
  return j >= 1 && j <= ne_ ? b_[j] : 0.0L;
}

long double TEqlKernel::ElementCoefficient(int q, int j) const {
  return ValidCompound(q) && j >= 1 && j <= ne_ ? A(q, j) : 0.0L;
}

long double TEqlKernel::ElementShare(int q, int j) const {
  if (!ValidCompound(q) || j < 1 || j > ne_) return 0.0L;
  for (int e = rowStart_[q]; e < rowStart_[q + 1]; ++e) {
    if (spCol_[e] == j) return spShare_[e];
  }
  return 0.0L;
}

long double TEqlKernel::PhaseTotal(int slot) const {
  return slot >= 1 && slot <= kPhaseSlots ? phaseTotal_[slot] : 0.0L;
}

long double TEqlKernel::GibbsEnergy(int q) const {
  return ValidCompound(q) ? gibbs_[q] : 0.0L;
}

long double TEqlKernel::ActivityCoefficient(int q) const {
  return ValidCompound(q) ? gamma_[q] : 0.0L;
}

long double TEqlKernel::InputAmount(int q) const {
  return ValidCompound(q) ? input_[q] : 0.0L;
}

long double TEqlKernel::ReactiveShare(int q) const {
  return ValidCompound(q) ? share_[q] : 0.0L;
}

long double TEqlKernel::ReactingInput(int q) const {
  return ValidCompound(q) ? reacting_[q] : 0.0L;
}

bool TEqlKernel::HasUnitActivity(int q) const {
  return ValidCompound(q) && unit_[q] != 0;
}

}  // namespace ploxen
