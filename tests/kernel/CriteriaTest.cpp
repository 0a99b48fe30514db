// Calculation criteria: defaults, reading the edits at the start of a run, window behaviour.
#include "KernelFixture.h"

namespace ploxen::test {

TEST_F(KernelTest, CreationDefaults) {
  EXPECT_EQ(kernel.EditILimit, "98000");
  EXPECT_EQ(kernel.EditPrec, "0.01");
  EXPECT_EQ(kernel.EditApprFactor, "0.98");
  EXPECT_FALSE(kernel.EditApprFactorEnabled);
  EXPECT_TRUE(kernel.CBAutoIfa);
  EXPECT_EQ(kernel.EdtZero, "1e-23");
  EXPECT_FALSE(kernel.CbxFast);
  EXPECT_FALSE(kernel.CBAutoCorr);
  EXPECT_TRUE(kernel.CBMaxEntropy);
  EXPECT_EQ(kernel.EditPhaseCheck, 1);
  EXPECT_EQ(kernel.ApproximationFactor(), 0.987654321L);
  EXPECT_EQ(kernel.ZeroLimit(), 1e-23L);
  EXPECT_TRUE(kernel.AutoSelectElements());
}

TEST_F(KernelTest, BeginRunFallsBackToDefaultsForBadCriteria) {
  for (const char* bad : {"0", "1", "abc", "-0.5", ""}) {
    kernel.EditPrec = bad;
    kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
    EXPECT_EQ(kernel.Precision(), static_cast<long double>(0.01)) << bad;
  }
  kernel.EditPrec = "0.5";
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  EXPECT_EQ(kernel.Precision(), 0.5L);
  kernel.EditPrec = " 0,25 ";
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  EXPECT_EQ(kernel.Precision(), 0.25L);

  kernel.EditILimit = "12x";
  kernel.EditApprFactor = "fast";
  kernel.EdtZero = "2";
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  EXPECT_EQ(kernel.IterationLimit(), 98000);
  EXPECT_EQ(kernel.ApproximationFactor(), static_cast<long double>(0.98));
  EXPECT_EQ(kernel.ZeroLimit(), 1.0L);
  EXPECT_EQ(kernel.WorkingPressure(), 1.0L);

  kernel.EditILimit = " 5000 ";
  kernel.EditApprFactor = "0.7";
  kernel.EdtZero = "-1";
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  EXPECT_EQ(kernel.IterationLimit(), 5000);
  EXPECT_EQ(kernel.ApproximationFactor(), static_cast<long double>(0.7));
  EXPECT_EQ(kernel.ZeroLimit(), static_cast<long double>(1e-23));
}

TEST(CriterionText, ReadsCommaTrailingPointAndBlanks) {
  double v = 0.0;
  EXPECT_TRUE(ReadCriterionReal("1,5", v));
  EXPECT_EQ(v, 1.5);
  EXPECT_TRUE(ReadCriterionReal(" 2. ", v));
  EXPECT_EQ(v, 2.0);
  EXPECT_TRUE(ReadCriterionReal("1 000", v));
  EXPECT_EQ(v, 1000.0);
  EXPECT_TRUE(ReadCriterionReal("1e-23", v));
  EXPECT_EQ(v, 1e-23);
  EXPECT_FALSE(ReadCriterionReal("1.5x", v));
  EXPECT_FALSE(ReadCriterionReal("nan", v));
  EXPECT_FALSE(ReadCriterionReal("inf", v));
  EXPECT_FALSE(ReadCriterionReal("", v));
  int n = 0;
  EXPECT_TRUE(ReadCriterionInt(" 42 ", n));
  EXPECT_EQ(n, 42);
  EXPECT_FALSE(ReadCriterionInt("4.2", n));
  EXPECT_FALSE(ReadCriterionInt("99999999999", n));
  EXPECT_EQ(CriterionText(0.55), "0.55");
  EXPECT_EQ(CriterionText(1e-23), "1e-23");
}

TEST_F(KernelTest, AutomaticFactorFollowsTheLimit) {
  const std::pair<const char*, const char*> cases[] = {
      {"98000", "0.98"}, {"10000", "0.55"}, {"0", "0.5"}, {"abc", "0.715"}, {"50000", "0.75"}};
  for (const auto& [limit, factor] : cases) {
    kernel.EditILimit = limit;
    kernel.EditILimitChange();
    EXPECT_EQ(kernel.EditApprFactor, factor) << limit;
  }
}

TEST_F(KernelTest, FastIterationShowsHalfAndUncheckingRecomputes) {
  kernel.EditILimit = "10000";
  kernel.CbxFast = true;
  kernel.CbxFastClick();
  EXPECT_EQ(kernel.EditApprFactor, "0.5");
  kernel.CbxFast = false;
  kernel.CbxFastClick();
  EXPECT_EQ(kernel.EditApprFactor, "0.55");
}

TEST_F(KernelTest, AutoFactorBoxEnablesTheEditWhenUnchecked) {
  kernel.EditApprFactor = "0.9";
  kernel.CBAutoIfa = false;
  kernel.CBAutoIfaClick();
  EXPECT_TRUE(kernel.EditApprFactorEnabled);
  EXPECT_EQ(kernel.EditApprFactor, "0.9");  // a manual factor stays
  kernel.CBAutoIfa = true;
  kernel.CBAutoIfaClick();
  EXPECT_FALSE(kernel.EditApprFactorEnabled);
  EXPECT_EQ(kernel.EditApprFactor, "0.98");
}

TEST_F(KernelTest, LeavingTheZeroEditResetsInvalidValues) {
  for (const char* bad : {"2", "-1", "x"}) {
    kernel.EdtZero = bad;
    kernel.EdtZeroExit();
    EXPECT_EQ(kernel.EdtZero, "1e-23") << bad;
  }
  kernel.EdtZero = "0.001";
  kernel.EdtZeroExit();
  EXPECT_EQ(kernel.EdtZero, "0.001");
}

}  // namespace ploxen::test
