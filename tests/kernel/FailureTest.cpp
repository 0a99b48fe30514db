// Failure paths: each message of the kernel reached by a small constructed system.
#include "KernelFixture.h"

namespace ploxen::test {

namespace {

const std::string kHint =
    " Increase \"Iter.Limit\">90000; or \"Precision\"; or Set. \"Appr.Factor\" to 0.99";

}  // namespace

TEST_F(KernelTest, SelectionInputsAndProgressMessages) {
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  Add(1, "Ar", "Ar1", 1.0L, 0.0L);
  Add(1, "Ne", "Ne1", 0.0L, 0.0L);
  Add(1, "He", "He1", 0.0L, 0.0L);
  ASSERT_EQ(kernel.Solve(), 1) << kernel.ResultText();
  ExpectMessage(1033, 6, "He is selected, because He (g)");
  EXPECT_EQ(CountOf(1033), 3);
  EXPECT_TRUE(kernel.ElementsAdded());
  ExpectMessage(1196, 4, "No values for :He, Ne ");
  ExpectMessage(1223, 6, "Formation of substances containing { He, Ne } are not possible !");
  ExpectMessage(1108, 6, "Estimation of System ...");
  ExpectMessage(1205, 6, "Search for exact solution");
  EXPECT_EQ(kernel.CompoundState(2), 0);
  EXPECT_EQ(kernel.Amount(2), 0.0L);
  EXPECT_EQ(kernel.SystemElementLabel(1), "He(He)");
}

TEST_F(KernelTest, NoInputFailsUnlessAShareIsHeldBack) {
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  Add(1, "Ar", "Ar1", 0.0L, 0.0L);
  EXPECT_EQ(kernel.Solve(), 0);
  ExpectMessage(1004, 2, "No (valid) Input Values");

  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  kernel.AddCompound(1, "Ar", 0.0L, 1, 1.0L, 2.0L, 0.0L, "Ar1", "(g)");
  kernel.AddCompound(1, "Ne", 0.0L, 1, 1.0L, 6.0L, 0.0L, "Ne1", "(g)");
  EXPECT_EQ(kernel.Solve(), 1);
  EXPECT_EQ(kernel.Amount(1), 2.0L);
  EXPECT_EQ(kernel.Amount(2), 6.0L);
  EXPECT_EQ(kernel.PhaseFraction(1), 0.25L);
  EXPECT_EQ(kernel.Activity(1), 0.25L);
}

TEST_F(KernelTest, ElementWithInputButNoAllowedCarrierStopsTheRun) {
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  Add(1, "Ar", "Ar1", 1.0L, 0.0L);
  kernel.AddCompound(1, "Ne", 1.0L, 0, 1.0L, 1.0L, 0.0L, "Ne1", "(g)");
  EXPECT_EQ(kernel.Solve(), 0);
  ExpectMessage(1220, 0, "Error: Formation of substances containing Ne are disabled in system !");
}

TEST_F(KernelTest, UnusualFreeEnergyLeavesAResultText) {
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  Add(1, "Ar", "Ar1", 1.0L, -50.0e6L);
  EXPECT_EQ(kernel.Solve(), -1);
  EXPECT_EQ(kernel.ResultText(), "Free energy -G(Ar (g))=-50000000,  is unusual heigh ");
}

TEST_F(KernelTest, UnusualHighActivityNamesTheCompound) {
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  kernel.AddCompound(1, "Ar", 1.0L, 1, 1e-4100L, 1.0L, 0.0L, "Ar1", "(g)");
  EXPECT_EQ(kernel.Solve(), -1);
  ExpectMessage(456, 0,
                "Unusual high activity of Ar (g) . Insert compounds to system with the elements "
                "of Ar (g)");
  EXPECT_EQ(kernel.ResultText(), "Break because error EK.456");
}

TEST_F(KernelTest, ReferenceElementWithoutAmountReportsTheMissingElement) {
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  Add(1, "He", "He1", 2.0L, 1.0e8L);  // cannot form at all
  Add(1, "Ar", "Ar1", 1.0L, 0.0L);
  EXPECT_EQ(kernel.Solve(), -1);
  ExpectMessage(433, 0,
                "Calculation is not possible. Probably because He(He)You must insert compounds "
                "with this element into the system ");
  ExpectMessage(642, 0, "At last one element can not exist in products");
  EXPECT_EQ(kernel.ResultText(), "Break because error EK.433");
}

TEST_F(KernelTest, NormalisationWithNothingToFormFails) {
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  Add(1, "Ar", "Ar1", 1.0L, 1.0e8L);
  EXPECT_EQ(kernel.Solve(), -1);
  ExpectMessage(560, 2, "Calculation is not possible, Please check restrictions !");
  EXPECT_EQ(kernel.ResultText(), "Calculation is broken because error EK.560");
}

TEST_F(KernelTest, ConstantVolumeOfAnEmptyGasSlotFails) {
  for (int mode : {1, 2}) {
    Reset();
    log.Clear();
    kernel.BeginRun(mode, 1000.0L, 1.0L, 1.0L);
    if (mode == 2) Add(1, "Ar", "Ar1", 1.0L, 0.0L);
    Add(6, "C", "C1", 1.0L, 0.0L, "(s)");
    EXPECT_EQ(kernel.Solve(), -1) << mode;
    EXPECT_NE(Find(560), nullptr) << mode;
  }
}

TEST_F(KernelTest, NormalisationStepLimit) {
  Reset();
  kernel.EditILimit = "1";
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  Add(1, "Ar", "Ar1", 1.0L, 0.0L);
  EXPECT_EQ(kernel.Solve(), -1);
  ExpectMessage(637, 2, "Maximum iteration steps are exceed. (PN)" + kHint + "P:1;I:0;F:0;V:0");
  EXPECT_EQ(kernel.ResultText(), "Calculation is broken because error 637");
}

TEST_F(KernelTest, VolumeStepLimit) {
  Reset();
  kernel.EditILimit = "1";
  kernel.BeginRun(1, 1000.0L, 1.0L, 1.0L);
  Add(1, "Ar", "Ar1", 1.0L, -kRT1000);  // activity exactly 1 at the start potential -1
  EXPECT_EQ(kernel.Solve(), -1);
  ExpectMessage(756, 0, "Maximum iteration steps are exceed. (VN)" + kHint + "V:1;P:0;I:0;F:0");
  EXPECT_EQ(kernel.ResultText(), "Calculation is broken because error 756");
}

TEST_F(KernelTest, FirstSolutionStepLimitRaisesTheFactorOnTheWay) {
  Reset();
  kernel.EditILimit = "1500";
  kernel.EditPrec = "1e-15";
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  TwoGases();
  EXPECT_EQ(kernel.Solve(), -1);
  const LogEntry* e = Find(916);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->level, 0);
  EXPECT_THAT(e->text, ::testing::StartsWith("Maximum iteration steps are exceed (ilk)." + kHint +
                                             "; I:1501;P:"));
  EXPECT_THAT(e->text, ::testing::EndsWith(";F:0;V:0 (0.985)"));
  EXPECT_EQ(kernel.IterationsFirst(), 1501);
  EXPECT_EQ(kernel.ResultText(), "Calculation is broken because error 916");
}

TEST_F(KernelTest, FinalSolutionStepLimitStopsAtTheLimit) {
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  TwoGases();
  ASSERT_EQ(kernel.Solve(), 1);
  kernel.EditILimit = "20";
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  EXPECT_FALSE(kernel.FinalSolution(1, 2, 100.0L));  // a new target needs many more steps
  const LogEntry* e = Find(780);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->level, 2);
  EXPECT_THAT(e->text,
              ::testing::StartsWith("Maximum iteration steps are exceed.(Fin)" + kHint + "; I:"));
  EXPECT_THAT(e->text, ::testing::EndsWith(";F:21;V:0 (0.98)"));
  EXPECT_EQ(kernel.IterationsFinal(), 21);
  EXPECT_EQ(kernel.ResultText(), "Calculation is broken because error 780");
}

TEST_F(KernelTest, RetriesGrowTheLimitByATenthUntilPast100000) {
  Reset();
  kernel.EditILimit = "50000";
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  const int limits[] = {55000, 60500, 66550, 73205, 80525, 88577, 97434, 107177};
  const long double factors[] = {0.5L, 0.55L, 0.6L};
  int n = 0;
  while (kernel.RetryWithMoreSteps()) {
    ASSERT_LT(n, 8);
    EXPECT_EQ(kernel.IterationLimit(), limits[n]);
    if (n < 3) {
      EXPECT_NEAR(static_cast<double>(kernel.ApproximationFactor()),
                  static_cast<double>(factors[n]), 1e-12);
    }
    ++n;
  }
  EXPECT_EQ(n, 8);
  EXPECT_EQ(CountOf(936), 8);
  EXPECT_EQ(log.Entries().back().text, "Retrying solution with steps.. 107177");
  EXPECT_EQ(log.Entries().back().level, 4);
  // A tiny limit still grows, so retries always come to an end.
  kernel.EditILimit = "3";
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  int retries = 0;
  while (kernel.RetryWithMoreSteps()) ++retries;
  EXPECT_GT(retries, 3);
  EXPECT_LT(retries, 200);
}

TEST_F(KernelTest, BreakRequestEndsTheRunAtTheNextPoll) {
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  TwoGases();
  kernel.RequestBreak();
  EXPECT_EQ(kernel.Solve(), 0);
  EXPECT_EQ(kernel.ResultText(), "Break by user !");

  int polls = 0;
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  TwoGases();
  kernel.SetProcessEvents([&] {
    if (++polls == 3) kernel.RequestBreak();
  });
  EXPECT_EQ(kernel.Solve(), -1);
  EXPECT_EQ(polls, 3);
  EXPECT_EQ(kernel.ResultText(), "Break by user (ilk)");

  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  TwoGases();
  kernel.SetProcessEvents([&] {
    if (!kernel.RunSummary().empty()) kernel.RequestBreak();  // once the first solution stands
  });
  EXPECT_EQ(kernel.Solve(), -32);
  EXPECT_EQ(kernel.ResultText(), "Break by user !");
}

TEST_F(KernelTest, UnitActivityThatCannotBeReachedIsReported) {
  // Ar2 of a single-element gas can only reach about 0.4: forced for 64 rounds, then held back.
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  Add(1, "Ar", "Ar1", 1.0L, 0.0L);
  const int dimer = Add(1, "Ar2", "Ar2", 0.0L, -kRT1000 * std::log(1.0L / 0.9L));
  kernel.FixUnitActivity(dimer);
  ASSERT_EQ(kernel.Solve(), 1) << kernel.ResultText();
  EXPECT_LT(kernel.Activity(dimer), 0.5L);
  EXPECT_EQ(kernel.CompoundState(dimer), -1);
  ExpectMessage(1292, 4, "Inconsistece, Possibily caused by , Ar2 (g)");
}

TEST_F(KernelTest, UnitActivitiesAboveAndBelowOneAreBothReported) {
  // Ar and Ar2 both forced in one gas: their activities add up to 2 but cannot both be 1.
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  kernel.FixUnitActivity(Add(1, "Ar", "Ar1", 1.0L, 0.0L));
  kernel.FixUnitActivity(Add(1, "Ar2", "Ar2", 0.0L, kRT1000 * std::log(2.0L)));
  ASSERT_EQ(kernel.Solve(), 1) << kernel.ResultText();
  EXPECT_GT(kernel.Activity(1), 1.1L);
  ExpectMessage(1292, 4, "Inconsistent System. Inconsistece, Possibily caused by , Ar2 (g)");
}

TEST_F(KernelTest, HeldBackUnitActivityCompoundIsForced) {
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  Add(1, "O2", "O2", 2.0L, 0.0L);
  Add(1, "CO2", "C1O2", 0.0L, -395900.0L);
  const int c = Add(6, "C", "C1", 1.0L, 0.0L, "(s)");
  kernel.FixUnitActivity(c);
  ASSERT_EQ(kernel.Solve(), 1) << kernel.ResultText();
  ExpectMessage(1296, 4, "C (s)- formation may be inpossible in system. The formation is forced.");
  EXPECT_LT(kernel.Amount(c), 1e-6L);
}

TEST_F(KernelTest, CorrectivePassRunsOnceForASupersaturatedUnitCompound) {
  // The solid's activity follows the gas at 2 bar and cannot come down to 1.
  Reset();
  kernel.CBAutoCorr = true;
  kernel.BeginRun(0, 1000.0L, 2.0L, 0.0L);
  Add(1, "Ar", "Ar1", 1.0L, 0.0L);
  const int s = Add(6, "Ar", "Ar1", 1.0L, 0.0L, "(s)");
  kernel.FixUnitActivity(s);
  ASSERT_EQ(kernel.Solve(), 1) << kernel.ResultText();
  ExpectMessage(1323, 6, "Check for auto correcture");
  EXPECT_EQ(CountOf(1323), 1);
  EXPECT_EQ(Find(1327), nullptr);

  log.Clear();
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  Add(1, "O2", "O2", 0.5L, 0.0L);
  Add(1, "CO2", "C1O2", 0.0L, -kRT1000 * std::log(10.0L));
  const int c = Add(6, "C", "C1", 1.0L, 0.0L, "(s)");
  kernel.FixUnitActivity(c);
  ASSERT_EQ(kernel.Solve(), 1) << kernel.ResultText();
  ExpectMessage(1327, 6, "auto correcture is not necessary");
}

TEST_F(KernelTest, MassCheckReportsElementsThatEndedWithoutAmount) {
  Reset();
  kernel.CBAutoCorr = true;
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  Add(1, "Ar", "Ar1", 2.0L, 0.0L);
  Add(1, "Ne", "Ne1", 1.0L, 1.0e8L);  // never forms
  // The neon of the input is lost: the estimation's result is refused, not written.
  EXPECT_EQ(kernel.Solve(), -1);
  ExpectMessage(1398, 2, "Auto correctur caused error");
  ExpectMessage(1402, 2, "Possibily not exact mass distrubution (Ne(Ne))");
  ExpectMessage(1404, 0, "Element balance of Ne(Ne) missed by 1 : no result is written !");
  EXPECT_EQ(kernel.ResultText(), "Calculation is broken because error EK.1404");
}

TEST_F(KernelTest, ChosenPhaseWithoutAmountSuggestsDisablingMinerals) {
  // Ne2 is the only neon carrier; its phase is chosen but holds less than 1e-23 mol.
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  Add(1, "Ne2", "Ne2", 0.75e-23L, 0.0L);
  kernel.AddCompound(6, "Ar", 1.0L, 1, 1e-30L, 1.0L, 0.0L, "Ar1", "(s)");
  ASSERT_EQ(kernel.Solve(), 1) << kernel.ResultText();
  EXPECT_EQ(kernel.NormalisationPhase(), 1);
  ExpectMessage(1478, 2, "Formation of natural minerals should be disabled: set ac=0 (zero)");
  ExpectMessage(1477, 2,
                "Remember that the natural minerals (in input) can not often form or exist in "
                "thermic processes");
  ExpectMessage(1476, 2, "Please add several compunds with various combination into system");
  ExpectMessage(1475, 2, "The substance selection is very restrictive");
}

}  // namespace ploxen::test
