// Equilibrium kernel: the kernel system, its calculation criteria and the Gibbs-energy
// minimisation.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "kernel/KernelConstants.h"
#include "kernel/ZeroTable.h"

namespace ploxen {

class TAplMsgWnd;
class Periodica;
struct ExactProblem;
struct ExactResult;

/// The equilibrium kernel ("Equilibrium - Calculation Criteria"): holds the fixed-capacity kernel
/// system (compounds, system elements, phase slots), the criteria controls as plain data, and
/// computes the equilibrium by minimising the Gibbs energy under the element balances (`Solve`).
class TEqlKernel {
 public:
  /// Allocates every table once; `log` receives the kernel's messages, `table` is the element
  /// table.
  TEqlKernel(TAplMsgWnd& log, const Periodica& table);
  TEqlKernel(const TEqlKernel&) = delete;
  TEqlKernel& operator=(const TEqlKernel&) = delete;

  // ---- Criteria window: control state a view mirrors ----
  std::string EditILimit = "98000";     ///< "lIter.Limit": iteration limit per counter
  std::string EditPrec = "0.01";        ///< "Precision": relative tolerance
  std::string EditApprFactor = "0.98";  ///< "Appr.Factor": step shrink factor
  bool EditApprFactorEnabled = false;   ///< the factor edit is enabled (auto factor off)
  bool CBAutoIfa = true;                ///< "Auto Appr. Factor"
  std::string EdtZero = "1e-23";        ///< "Ignore mol values less than [mol]  <"
  bool CbxFast = false;                 ///< "Fast Iteration" (Newton-like step)
  bool CBAutoCorr = false;              ///< "Auto Correction"
  bool CBMaxEntropy = true;             ///< "Turbulent System (High Entropy)"
  int EditPhaseCheck = 1;               ///< "Calc. Check": rounds of the phase check (min 1)
  bool CbxExact = true;                 ///< "Exact Solution": the exact minimum after the checks

  void EditILimitChange();  ///< the limit text changed: recompute the automatic factor
  void CbxFastClick();      ///< "Fast Iteration" was toggled (view sets CbxFast first)
  void CBAutoIfaClick();    ///< "Auto Appr. Factor" was toggled (view sets CBAutoIfa first)
  void EdtZeroExit();       ///< focus left the zero-limit edit: reset an invalid text

  // ---- Building and running a calculation ----
  /// Empties the kernel system; `elementFlags` holds one selection byte per element index.
  void ResetSystem(std::span<const std::uint8_t> elementFlags);
  /// Stores mode (0 P const, 1/2 V const of gas slot 1/2), T [K], P [bar], V [m³]; reads criteria.
  void BeginRun(int mode, long double temperatureK, long double pressureBar, long double volumeM3);
  /// Appends a compound to phase slot 1..8; returns its index (1 based) or 0 when refused.
  int AddCompound(int slot, const std::string& name, long double reactiveShare, int state,
                  long double activityCoefficient, long double inputMol, long double gibbsJPerMol,
                  const std::string& molDefinition, const std::string& phaseTag);
  /// Marks compound q as pure condensed phase of unit activity (unless it is excluded).
  void FixUnitActivity(int q);
  /// Computes the equilibrium; 1 on success, otherwise 0, -1 or -32 with `ResultText()`.
  int Solve();

  /// Installs "let pending events be processed", called once per solver iteration.
  void SetProcessEvents(std::function<void()> callback) { processEvents_ = std::move(callback); }
  void RequestBreak() { breakRequest_ = 1; }  ///< asks a running `Solve` to stop at the next poll
  bool BreakRequested() const { return breakRequest_ != 0; }

  // ---- Reads after a run ----
  long double Amount(int q) const;           ///< equilibrium amount n_q [mol]
  long double Mass(int q) const;             ///< n_q times molar mass [g]; 0 below the zero limit
  long double Activity(int q) const;         ///< a_q (partial pressure [bar] for gases)
  long double PhaseFraction(int q) const;    ///< mole fraction in its phase
  int CompoundState(int q) const;            ///< 1 may form, 0 excluded, -1 held back
  std::string PressureNote(int slot) const;  ///< note of gas slot 1 or 2, "-" otherwise
  std::string SystemElementLabel(int j) const;      ///< "Sym(Sym)" of system element j, or empty
  std::uint8_t IsElementSelected(int index) const;  ///< selection flag of an element index
  const std::string& RunSummary() const { return runSummary_; }
  const std::string& ResultText() const { return resultText_; }
  bool ElementsAdded() const { return elementsAdded_ != 0; }
  void ClearElementsAdded() { elementsAdded_ = 0; }
  bool AutoSelectElements() const { return autoSelect_ != 0; }
  void SetAutoSelectElements(bool on) { autoSelect_ = on ? 1 : 0; }

  int CompoundCount() const { return nc_; }
  int SystemElementCount() const { return ne_; }
  int SystemElementIndex(int j) const;                 ///< element-table index of system element j
  long double LagrangeCoefficient(int j) const;        ///< lambda_j (element potential / RT)
  long double ElementInput(int j) const;               ///< b_j [mol] of the reacting input
  long double ElementCoefficient(int q, int j) const;  ///< atoms of system element j in q
  long double ElementShare(int q, int j) const;        ///< D[q][j] [mol] of the last amounts
  int ReferenceElement() const { return ref_; }
  long double PhaseTotal(int slot) const;  ///< moles of phase slot 1..8
  long double TotalMoles() const { return totalMoles_; }
  long double Temperature() const { return temperature_; }       ///< [K]
  long double Pressure() const { return pressure_; }             ///< system pressure [bar]
  long double WorkingPressure() const { return workPressure_; }  ///< P* [bar]
  long double Volume() const { return volume_; }                 ///< [m³]
  int Mode() const { return mode_; }
  long double GibbsEnergy(int q) const;  ///< G_q [J/mol] as used by the run
  long double ActivityCoefficient(int q) const;
  long double InputAmount(int q) const;    ///< K [mol] as given
  long double ReactiveShare(int q) const;  ///< F after clamping to 0..1
  long double ReactingInput(int q) const;  ///< K*F [mol]
  bool HasUnitActivity(int q) const;
  int NormalisationPhase() const { return kStar_; }
  const std::vector<std::string>& CompoundNames() const { return names_; }
  const std::vector<std::string>& LabelledNames() const { return labels_; }
  const std::vector<std::string>& MolDefinitions() const { return molDefs_; }

  // ---- Criteria in force (read by BeginRun, changed by the run) ----
  int IterationLimit() const { return iterLimit_; }
  long double Precision() const { return precision_; }
  long double ApproximationFactor() const { return alpha_; }
  long double ZeroLimit() const { return zeroLimit_; }
  /// Iteration counters of the last run: first solution, normalisation, final, volume.
  int IterationsFirst() const { return iterI_; }
  int IterationsNormalise() const { return iterP_; }
  int IterationsFinal() const { return iterF_; }
  int IterationsVolume() const { return iterV_; }
  int IterationsExact() const { return iterX_; }  ///< Newton iterations of the exact stage
  /// Potential of the charge balance (dimensionless) when the last exact run had one, else 0.
  long double ChargePotential() const { return chargePotential_; }

  // ---- Solver steps (public so that each can be exercised on its own) ----
  /// Shifts all potentials until the activities of compounds first..last add up to `target`
  /// (bar for a gas phase, 1 for a condensed one); then amounts and element totals of all.
  bool Normalise(int first, int last, long double target);
  /// Element ratios against the reference element; true when all are within the precision.
  bool ElementRatios();
  /// One correction of the Lagrange coefficients towards the input's element ratios.
  void StepLagrange();
  /// First solution over all compounds: 1, -2 (normalisation failed) or -4 (limit, break).
  int FirstSolution();
  /// Solution with the normalisation restricted to first..last (one phase) and `target`.
  bool FinalSolution(int first, int last, long double target);
  /// Equilibrium amounts [mol], phase totals and fractions from the relative amounts.
  void FinalAmounts();
  /// Constant volume: iterates the working pressure until the gas range fills the volume.
  bool VolumeLoop(int first, int last);
  /// Auto correction: raises the iteration limit by a tenth; false past 100000 or on break.
  bool RetryWithMoreSteps();
  /// Rescales condensed solution phases whose activities do not add up to about 1.
  void PhaseCheck();

 private:
  // Kernel system (KernelSystem tables).
  long double& A(int q, int j) { return a_[static_cast<size_t>(q) * kElementSlots + j]; }
  long double A(int q, int j) const { return a_[static_cast<size_t>(q) * kElementSlots + j]; }
  bool ValidCompound(int q) const { return q >= 1 && q <= nc_; }
  int RangeFirst(int slot) const { return phaseEnd_[slot - 1] + 1; }
  int RangeLast(int slot) const { return phaseEnd_[slot]; }
  void Post(int level, int number, const std::string& text);
  bool PollBreak();

  // Solve preparation (SolveDriver).
  bool ValidateInput();
  void PhaseBookkeeping();
  void SelectElements();
  bool BuildSystemElements();
  void BuildSparseLists();
  void ChooseReference();
  bool CheckCarriers();
  int FormationFactors();
  int MainLoop();
  bool FinalStep();
  bool ResultsFinite();
  long double CountOf(int tableIndex, int q) const;

  // Minimisation helpers (Minimise).
  long double PotentialSum(int q) const;
  long double RelativeAmount(int q, long double s);
  bool AllAmountsAndTotals(int first, int last);
  void ReportHighActivity(int q);
  void ReportMissingElement(int j);
  void RaiseAlpha(int counter, int& threshold);
  std::string CounterText(bool withAlpha) const;
  void ElectronAmount();
  void MassCheck();
  bool OnlyCarrier(int slot, int j) const;

  // Estimation (Estimation).
  void PhaseCounts();
  void HoldBackEstimate();
  void PressureAnalysis();
  int FirstCarrier(int j, int from, int to) const;

  // Diagnostics (Diagnostics).
  bool UnitActivity();
  void Consistency();
  bool CorrectivePass();
  void MineralsCheck();
  void SaveResults();
  void RestoreResults();
  void VolumeAmounts();
  void CarrierSums();  ///< work_[j] := sum of nu * a over element j's carriers
  void SetFormationFactor(int q, long double gRT);

  // Exact stage (ExactStage).
  static constexpr int kExactFallback = -100;
  int ExactStage();
  void BuildExactProblem(ExactProblem& problem, std::vector<int>& compoundOf);
  void WriteExactResult(const ExactProblem& problem, const std::vector<int>& compoundOf,
                        const ExactResult& result);
  bool BalanceKept(long double tolerance);
  bool GasSlotsAlike() const;

  // Constant-volume (VolumeMode).
  void PrepareConstantVolume();

  TAplMsgWnd& log_;
  const Periodica& table_;
  std::function<void()> processEvents_;

  // Per compound, indexed 1..kMaxCompounds (slot 0 unused).
  ZeroTable<long double> a_;                ///< element rows a[q][j], kElementSlots per compound
  std::vector<long double> input_;          ///< K [mol]
  std::vector<long double> share_;          ///< F, reactive share 0..1
  std::vector<long double> reacting_;       ///< K*F [mol]
  std::vector<long double> gibbs_;          ///< G [J/mol]
  std::vector<long double> gamma_;          ///< activity coefficient
  std::vector<long double> phi_;            ///< formation factor exp(-G/RT)
  std::vector<long double> nu_;             ///< relative amount
  std::vector<long double> sigma_;          ///< phase scale
  std::vector<long double> potential_;      ///< s_q of the last normalisation pass
  std::vector<long double> lnPhi_;          ///< ln of the formation factor
  std::vector<long double> expArg_;         ///< last argument s of exp(s)
  std::vector<long double> expValue_;       ///< exp of expArg_
  std::vector<long double> amount_;         ///< n [mol]
  std::vector<long double> fraction_;       ///< x, mole fraction in its phase
  std::vector<long double> electronCount_;  ///< electrons in the mol definition
  std::vector<int> state_;                  ///< 1 may form, 0 excluded, -1 held back
  std::vector<std::uint8_t> unit_;          ///< unit activity flag
  std::vector<int> slot_;                   ///< phase slot 1..8
  std::vector<std::string> names_, labels_, molDefs_;  ///< item 0 is the header
  std::vector<std::string> baseNames_;                 ///< name without phase suffix, item 0 unused
  /// The ASCII characters each mol definition holds (bit c of the pair): a symbol with a
  /// character its definition lacks does not occur in it.
  std::vector<std::array<std::uint64_t, 2>> defChars_;

  // Sparse element rows (non-zero coefficients, element order), rebuilt by every Solve.
  std::vector<int> rowStart_;         ///< entries of q: rowStart_[q] .. rowStart_[q+1]-1
  ZeroTable<int> spCol_;              ///< system element j of an entry
  ZeroTable<long double> spVal_;      ///< a[q][j] of an entry
  ZeroTable<long double> spShare_;    ///< element share D[q][j] of an entry
  std::vector<int> colStart_;         ///< compounds containing j: colStart_[j] .. [j+1]-1
  ZeroTable<int> colRow_;             ///< compound q of a column entry (ascending)
  std::vector<int> nameOrder_;        ///< compounds sorted by base name
  std::vector<int> nameGroup_;        ///< group id of equal base names per compound

  // Per system element, indexed 1..255 (slot 0 unused).
  std::array<int, kElementSlots> tableIndex_{};
  std::array<long double, kElementSlots> b_{};
  std::array<long double, kElementSlots> lambda_{};
  std::array<long double, kElementSlots> total_{};
  std::array<long double, kElementSlots> ratio_{};
  std::array<long double, kElementSlots> step_{};
  std::array<int, kElementSlots> dir_{};
  std::array<std::uint8_t, kElementSlots> overflow_{};
  std::array<long double, kElementSlots> work_{};
  std::array<std::uint8_t, kElementSlots> selected_{};
  std::array<std::string, kElementSlots> symbols_;

  // Per phase slot, indexed 1..8 (index 0: C[0] = 0).
  std::array<int, kPhaseSlots + 1> count_{};
  std::array<int, kPhaseSlots + 1> phaseEnd_{};
  std::array<long double, kPhaseSlots + 1> phaseTotal_{};
  std::array<long double, kPhaseSlots + 1> estimate_{};
  std::array<std::uint8_t, kPhaseSlots + 1> chosen_{};
  std::array<std::array<int, kElementSlots>, kPhaseSlots + 1> elementByPhase_{};
  std::array<std::string, 3> pressureNote_;

  // Snapshot used to undo a failed phase check.
  std::vector<long double> saveNu_, saveSigma_, saveAmount_, saveFraction_;
  std::array<long double, kElementSlots> saveLambda_{};

  // System values.
  int nc_ = 0, ne_ = 0, ref_ = 0, kStar_ = 1;
  int highCompound_ = 0, highElement_ = 0;  ///< filled extent to clear at reset
  int mode_ = 0;
  long double temperature_ = 298.15L, pressure_ = 1.0L, volume_ = 0.0L, workPressure_ = 1.0L;
  long double totalMoles_ = 0.0L;
  int gasCount_ = 0, liquidCount_ = 0, solidCount_ = 0;
  int iterI_ = 0, iterP_ = 0, iterF_ = 0, iterV_ = 0, iterX_ = 0, largestP_ = 0;
  long double chargePotential_ = 0.0L;
  std::string runSummary_, resultText_;

  // Criteria in force.
  int iterLimit_ = 98000;
  long double precision_ = 0.01L;
  long double alpha_ = 0.987654321L;
  long double zeroLimit_ = 1e-23L;

  // Flags.
  std::uint8_t breakRequest_ = 0, quiet_ = 0, partialInput_ = 0, autoSelect_ = 1;
  std::uint8_t elementsAdded_ = 0, autoCorrState_ = 0, firstRetry_ = 1, forced_ = 0;
  std::uint8_t phaseCheckBroken_ = 0;
  int electron_ = 0;      ///< index of the electron compound, 0 when none
  int electronSign_ = 0;  ///< -1 for "E1", +1 for "E-1"
  int result_ = 0;        ///< return value of the run so far
};

}  // namespace ploxen
