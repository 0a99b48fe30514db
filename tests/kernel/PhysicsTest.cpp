// Physics of solved systems: element balances, the equilibrium condition, partial pressures, and
// analytic equilibria with Gibbs energies chosen by the test.
#include "KernelFixture.h"

namespace ploxen::test {

namespace {

/// Standard Gibbs energies of formation at 1000 K [J/mol] (JANAF tables, rounded).
constexpr long double kGCO2 = -395900.0L;
constexpr long double kGCO = -200300.0L;
constexpr long double kGH2O = -192600.0L;
constexpr long double kGCH4 = 19500.0L;
constexpr long double kGNO = 77800.0L;

}  // namespace

class CombustionTest : public KernelTest, public ::testing::WithParamInterface<const char*> {
 protected:
  void Load(long double pressure) {
    Reset();
    kernel.EditPrec = GetParam();
    kernel.BeginRun(0, 1000.0L, pressure, 0.0L);
    Add(1, "CH4", "C1H4", 1.0L, kGCH4);
    Add(1, "CO", "C1O1", 0.0L, kGCO);
    Add(1, "CO2", "C1O2", 0.0L, kGCO2);
    Add(1, "H2", "H2", 0.0L, 0.0L);
    Add(1, "H2O", "H2O1", 0.0L, kGH2O);
    Add(1, "O2", "O2", 1.2L, 0.0L);
    Add(1, "N2", "N2", 4.0L, 0.0L);
    Add(1, "NO", "N1O1", 0.0L, kGNO);
    slot1Count = 8;
    Add(6, "C", "C1", 0.5L, 0.0L, "(s)");
  }
};

TEST_P(CombustionTest, BalancesEquilibriumConditionAndPressureSum) {
  for (long double pressure : {1.0L, 10.0L}) {
    Load(pressure);
    ASSERT_EQ(kernel.Solve(), 1) << kernel.ResultText();
    const long double eps = kernel.Precision();
    ExpectPhysics(2.0L * eps);
    EXPECT_EQ(kernel.NormalisationPhase(), 1);
    // Results are finite and fractions of each phase add up to one.
    long double gasFractions = 0.0L;
    for (int q = 1; q <= 8; ++q) gasFractions += kernel.PhaseFraction(q);
    EXPECT_NEAR(static_cast<double>(gasFractions), 1.0, 1e-12);
    EXPECT_NEAR(static_cast<double>(kernel.TotalMoles()),
                static_cast<double>(kernel.PhaseTotal(1) + kernel.PhaseTotal(6)), 1e-12);
    EXPECT_THAT(kernel.RunSummary(), ::testing::StartsWith("1: "));
    EXPECT_THAT(kernel.RunSummary(), ::testing::HasSubstr("; 2: "));
    EXPECT_THAT(kernel.RunSummary(), ::testing::HasSubstr("; P: "));
  }
}

INSTANTIATE_TEST_SUITE_P(Precisions, CombustionTest, ::testing::Values("0.01", "0.0001"));

TEST_F(KernelTest, IsomerisationFollowsTheEquilibriumConstant) {
  for (long double dg : {-5000.0L, 3000.0L}) {
    Reset();
    kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
    Add(1, "butane", "C4H10", 1.0L, 0.0L);
    Add(1, "isobutane", "C4H10", 0.0L, dg);
    slot1Count = 2;
    ASSERT_EQ(kernel.Solve(), 1) << kernel.ResultText();
    const double expected = std::exp(-static_cast<double>(dg / kRT1000));
    EXPECT_NEAR(static_cast<double>(kernel.PhaseFraction(2) / kernel.PhaseFraction(1)) / expected,
                1.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(kernel.Amount(1) + kernel.Amount(2)), 1.0, 0.01);
    ExpectPhysics(0.02L);
  }
}

TEST_F(KernelTest, DissociationHasExactKpAndShiftsWithPressure) {
  // N2 <=> 2 N with Kp = 0.1 bar at 1000 K.
  const long double gN = -kRT1000 * std::log(0.1L) / 2.0L;
  double dissociated[2] = {};
  int run = 0;
  for (long double pressure : {1.0L, 10.0L}) {
    Reset();
    kernel.BeginRun(0, 1000.0L, pressure, 0.0L);
    Add(1, "N2", "N2", 1.0L, 0.0L);
    Add(1, "N", "N1", 0.0L, gN);
    slot1Count = 2;
    ASSERT_EQ(kernel.Solve(), 1) << kernel.ResultText();
    const long double pN = kernel.Activity(2);
    const long double pN2 = kernel.Activity(1);
    EXPECT_NEAR(static_cast<double>(pN * pN / pN2), 0.1, 1e-12);
    ExpectPhysics(0.02L);
    dissociated[run++] =
        static_cast<double>(kernel.Amount(2) / (2.0L * kernel.Amount(1) + kernel.Amount(2)));
  }
  EXPECT_GT(dissociated[0], 2.0 * dissociated[1]);  // Le Chatelier: less N at higher pressure
  EXPECT_GT(dissociated[1], 0.0);
}

TEST_F(KernelTest, PureCondensedCompoundHasUnitActivityBesideAGas) {
  // C(s) + O2 <=> CO2 with K = 10: the solid fixes the carbon potential.
  const long double gCO2 = -kRT1000 * std::log(10.0L);
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  Add(1, "O2", "O2", 0.5L, 0.0L);
  Add(1, "CO2", "C1O2", 0.0L, gCO2);
  slot1Count = 2;
  const int c = Add(6, "C", "C1", 1.0L, 0.0L, "(s)");
  kernel.FixUnitActivity(c);
  ASSERT_EQ(kernel.Solve(), 1) << kernel.ResultText();
  EXPECT_NEAR(static_cast<double>(kernel.Activity(c)), 1.0, 0.011);
  EXPECT_NEAR(static_cast<double>(kernel.Activity(2) / kernel.Activity(1)), 10.0, 10.0 * 0.03);
  EXPECT_NEAR(static_cast<double>(kernel.Amount(2)), 0.5 * 10.0 / 11.0, 0.01);
  EXPECT_NEAR(static_cast<double>(kernel.Amount(c)), 1.0 - 0.5 * 10.0 / 11.0, 0.01);
  EXPECT_EQ(kernel.CompoundState(c), 1);
  ExpectPhysics(0.03L);
}

TEST_F(KernelTest, ConstantVolumePressureHalvesWhenVolumeDoubles) {
  double pressures[2] = {};
  int run = 0;
  for (long double volume : {0.1L, 0.2L}) {
    Reset();
    kernel.BeginRun(1, 1000.0L, 1.0L, volume);
    Add(1, "N2", "N2", 1.0L, 0.0L);
    Add(1, "Ar", "Ar1", 0.5L, 0.0L);
    slot1Count = 2;
    ASSERT_EQ(kernel.Solve(), 1) << kernel.ResultText();
    pressures[run] = static_cast<double>(kernel.Pressure());
    const double ideal = 1.5 * 8.3143 * 1000.0 / static_cast<double>(volume) / 100000.0;
    EXPECT_NEAR(pressures[run] / ideal, 1.0, 0.02);
    EXPECT_NEAR(static_cast<double>(kernel.Amount(1)), 1.0, 0.01);
    ++run;
  }
  EXPECT_NEAR(pressures[0] / pressures[1], 2.0, 0.04);
}

TEST_F(KernelTest, ElectronCompoundBalancesTheCharge) {
  // Na <=> Na+ + e- in one gas phase: the electron amount follows the ions formed.
  Reset();
  kernel.BeginRun(0, 3000.0L, 1.0L, 0.0L);
  Add(1, "Na", "Na1", 1.0L, 0.0L);
  Add(1, "Na+", "Na1E-1", 0.0L, 8.3143L * 3000.0L * std::log(3.0L));
  const int e = Add(1, "e-", "E1", 0.0L, 0.0L);
  ASSERT_EQ(kernel.Solve(), 1) << kernel.ResultText();
  EXPECT_EQ(kernel.SystemElementCount(), 1);  // the electron is never a system element
  EXPECT_NE(Find(1033), nullptr);
  EXPECT_NEAR(static_cast<double>(kernel.Amount(1) + kernel.Amount(2)), 1.0, 0.01);
  EXPECT_GT(kernel.Amount(2), 0.1L);
  EXPECT_EQ(kernel.Amount(e), kernel.Amount(2));
  EXPECT_EQ(kernel.CompoundState(e), 1);
  EXPECT_NEAR(static_cast<double>(kernel.Activity(e)), static_cast<double>(kernel.PhaseFraction(e)),
              1e-15);
}

TEST_F(KernelTest, SameSubstanceWithLowerEnergyElsewhereHoldsTheGasBack) {
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  Add(1, "H2", "H2", 0.2L, 0.0L);
  Add(1, "O2", "O2", 0.0L, 0.0L);
  const int gas = Add(1, "H2O", "H2O1", 0.5L, -150000.0L);
  const int liquid = Add(3, "H2O", "H2O1", 0.5L, -160000.0L, "(l)");
  ASSERT_EQ(kernel.Solve(), 1) << kernel.ResultText();
  EXPECT_EQ(kernel.CompoundState(gas), -1);
  EXPECT_EQ(kernel.CompoundState(liquid), 1);
}

TEST_F(KernelTest, FastIterationSwitchesItselfOffWhenAPotentialTurnsPositive) {
  Reset();
  kernel.CbxFast = true;
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  Add(1, "Ne", "Ne1", 1.0L, 30.0L * kRT1000);
  Add(1, "Ar", "Ar1", 3.0L, 0.0L);
  slot1Count = 2;
  ASSERT_EQ(kernel.Solve(), 1) << kernel.ResultText();
  EXPECT_FALSE(kernel.CbxFast);
  ExpectPhysics(0.02L);
}

}  // namespace ploxen::test
