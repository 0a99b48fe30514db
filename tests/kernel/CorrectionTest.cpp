// Retries with more steps, the phase check and single solver steps.
#include "KernelFixture.h"

namespace ploxen::test {

class CorrectionTest : public KernelTest {
 protected:
  /// H2 and O2 over solid water: the final solution needs more steps than the first.
  void Load(const std::string& limit) {
    Reset();
    log.Clear();
    kernel.EditILimit = limit;
    kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
    Add(1, "H2", "H2", 1.0L, 0.0L);
    Add(1, "O2", "O2", 1.0L, 0.0L);
    Add(6, "H2O", "H2O1", 0.0L, -10.0L * kRT1000, "(s)");
  }
  /// H2 and O2 over a liquid solution of water and hydrogen peroxide.
  void LoadPeroxideSolution(bool phaseCheck, int rounds) {
    Reset();
    kernel.CBMaxEntropy = !phaseCheck;
    kernel.EditPhaseCheck = rounds;
    kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
    Add(1, "H2", "H2", 1.0L, 0.0L);
    Add(1, "O2", "O2", 0.3L, 0.0L);
    Add(1, "H2O", "H2O1", 0.0L, -190000.0L);
    Add(3, "H2O", "H2O1", 0.0L, -195000.0L, "(l)");
    Add(3, "H2O2", "H2O2", 0.0L, -120000.0L, "(l)");
    slot1Count = 3;
  }
  /// A limit between the step counts of the first and the final solution.
  std::string LimitBetweenSolutions() {
    Load("98000");
    EXPECT_EQ(kernel.Solve(), 1);
    const int first = kernel.IterationsFirst();
    const int last = kernel.IterationsFinal();
    EXPECT_GT(last, first + 2) << "the system no longer needs more final steps";
    return std::to_string((first + last) / 2);
  }
};

TEST_F(CorrectionTest, FinalSolutionOutOfStepsEndsTheRunWithoutAutoCorrection) {
  const std::string limit = LimitBetweenSolutions();
  Load(limit);
  EXPECT_EQ(kernel.Solve(), -32);
  EXPECT_NE(Find(780), nullptr);
  EXPECT_EQ(Find(936), nullptr);
  EXPECT_EQ(kernel.ResultText(), "Calculation is broken because error 780");
}

TEST_F(CorrectionTest, AutoCorrectionRetriesWithMoreSteps) {
  const std::string limit = LimitBetweenSolutions();
  Load(limit);
  kernel.CBAutoCorr = true;
  EXPECT_EQ(kernel.Solve(), 1) << kernel.ResultText();
  const int n = std::stoi(limit);
  ExpectMessage(936, 4, "Retrying solution with steps.. " + std::to_string(n + n / 10));
  EXPECT_GT(kernel.IterationLimit(), n);
  ExpectPhysics(0.02L);
  kernel.CBAutoCorr = false;
}

TEST_F(CorrectionTest, RetryStopsPast100000OrOnBreak) {
  Load("98000");
  EXPECT_TRUE(kernel.RetryWithMoreSteps());
  EXPECT_EQ(kernel.IterationLimit(), 107800);
  EXPECT_EQ(kernel.ApproximationFactor(), 0.5L);
  EXPECT_FALSE(kernel.RetryWithMoreSteps());
  Load("1000");
  kernel.RequestBreak();
  EXPECT_FALSE(kernel.RetryWithMoreSteps());
}

TEST_F(CorrectionTest, PhaseCheckRedistributesCondensedSolutionsAndKeepsBalances) {
  long double liquidWater[2] = {};
  for (int check = 0; check < 2; ++check) {
    LoadPeroxideSolution(check == 1, 3);
    ASSERT_EQ(kernel.Solve(), 1) << kernel.ResultText();
    ExpectPhysics(0.03L, false);
    liquidWater[check] = kernel.Amount(4);
  }
  EXPECT_GT(std::fabs(liquidWater[1] / liquidWater[0] - 1.0L), 0.01L);
  EXPECT_EQ(Find(780), nullptr);  // failures inside the check stay silent
}

// Later rounds of the phase check that find nothing left to correct must still report the
// amounts of the last re-solved system, not those from before the check.
TEST_F(CorrectionTest, PhaseCheckAmountsFollowTheLastSolution) {
  LoadPeroxideSolution(true, 20);
  ASSERT_EQ(kernel.Solve(), 1) << kernel.ResultText();
  // In the ideal liquid the amounts stand in the ratio of the activities.
  const long double activityRatio = kernel.Activity(5) / kernel.Activity(4);
  const long double amountRatio = kernel.Amount(5) / kernel.Amount(4);
  EXPECT_NEAR(static_cast<double>(amountRatio / activityRatio), 1.0, 0.05);
}

TEST_F(KernelTest, NormalisationConvergesWithinThePrecisionWindow) {
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  Add(1, "Ar", "Ar1", 1.0L, 0.0L);
  ASSERT_EQ(kernel.Solve(), 1);
  EXPECT_EQ(kernel.RunSummary().substr(0, 5), "1: 0(");  // one element: no ratios to fit
  const long double sum = kernel.Activity(1);
  const long double lambda = kernel.LagrangeCoefficient(1);
  ASSERT_TRUE(kernel.Normalise(1, 1, sum / 1.0099L));
  EXPECT_EQ(kernel.LagrangeCoefficient(1), lambda);
  ASSERT_TRUE(kernel.Normalise(1, 1, sum / 1.0101L));
  EXPECT_NE(kernel.LagrangeCoefficient(1), lambda);
  EXPECT_NEAR(static_cast<double>(kernel.Activity(1) / (sum / 1.0101L)), 1.0, 0.01);
  EXPECT_TRUE(kernel.ElementRatios());
}

TEST_F(KernelTest, ExcludedRangeFailsTheNormalisation) {
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  Add(1, "Ar", "Ar1", 1.0L, 0.0L);
  kernel.AddCompound(6, "Ar", 1.0L, 0, 1.0L, 0.0L, 0.0L, "Ar1", "(s)");
  ASSERT_EQ(kernel.Solve(), 1);
  log.Clear();
  EXPECT_FALSE(kernel.Normalise(2, 2, 1.0L));
  ExpectMessage(560, 2, "Calculation is not possible, Please check restrictions !");
}

}  // namespace ploxen::test
