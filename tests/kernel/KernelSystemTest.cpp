// Kernel system: filling the tables, clearing them, read operations and refused compounds.
#include "KernelFixture.h"

namespace ploxen::test {

TEST_F(KernelTest, AddCompoundClampsShareAndExcludesBadCoefficients) {
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  const int a = kernel.AddCompound(1, "Ar", 1.5L, 1, 1.0L, 2.0L, -100.0L, "Ar1", "(g)");
  const int b = kernel.AddCompound(1, "Ne", -2.0L, 1, 1.0L, 3.0L, -100.0L, "Ne1", "(g)");
  const int c = kernel.AddCompound(1, "He", 1.0L, 1, 0.0L, 1.0L, -100.0L, "He1", "(g)");
  const int d = kernel.AddCompound(3, "Kr", 1.0L, 0, 1.0L, 1.0L, -100.0L, "Kr1", "(l)");
  EXPECT_EQ(a, 1);
  EXPECT_EQ(d, 4);
  EXPECT_EQ(kernel.ReactiveShare(a), 1.0L);
  EXPECT_EQ(kernel.ReactingInput(a), 2.0L);
  EXPECT_EQ(kernel.ReactiveShare(b), 0.0L);
  EXPECT_EQ(kernel.ReactingInput(b), 0.0L);
  EXPECT_EQ(kernel.CompoundState(c), 0);  // activity coefficient 0 switches it off
  EXPECT_EQ(kernel.ActivityCoefficient(c), 1.0L);
  EXPECT_EQ(kernel.GibbsEnergy(c), 0.0L);
  EXPECT_EQ(kernel.GibbsEnergy(d), 0.0L);  // excluded compounds lose their energy
  EXPECT_EQ(kernel.GibbsEnergy(a), -100.0L);
  EXPECT_EQ(kernel.LabelledNames()[0], "Substance (ph):");
  EXPECT_EQ(kernel.CompoundNames()[0], "Substances:");
  EXPECT_EQ(kernel.MolDefinitions()[0], "MolDef:");
  EXPECT_EQ(kernel.LabelledNames()[d], "Kr (l)");
  kernel.FixUnitActivity(d);
  EXPECT_FALSE(kernel.HasUnitActivity(d));
  kernel.FixUnitActivity(a);
  EXPECT_TRUE(kernel.HasUnitActivity(a));
}

TEST_F(KernelTest, ResetClearsTheSystemAndCopiesSelection) {
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  Add(1, "Ar", "Ar1", 1.0L, 0.0L);
  ASSERT_EQ(kernel.Solve(), 1);
  EXPECT_EQ(kernel.SystemElementLabel(1), "Ar(Ar)");
  std::vector<std::uint8_t> flags(Periodica::kCapacity, 0);
  flags[8] = 1;
  kernel.RequestBreak();
  kernel.ResetSystem(flags);
  EXPECT_FALSE(kernel.BreakRequested());
  EXPECT_EQ(kernel.CompoundCount(), 0);
  EXPECT_EQ(kernel.SystemElementLabel(1), "");
  EXPECT_EQ(kernel.IsElementSelected(8), 1);
  EXPECT_EQ(kernel.IsElementSelected(18), 0);
  EXPECT_EQ(kernel.LagrangeCoefficient(1), -1.0L);
  EXPECT_EQ(kernel.RunSummary(), "");
  EXPECT_EQ(kernel.PressureNote(1), "");
  EXPECT_EQ(kernel.PressureNote(3), "-");
  EXPECT_EQ(kernel.LabelledNames().size(), 1u);
}

TEST_F(KernelTest, ReusedKernelGivesTheSameResultsAsAFreshOne) {
  auto load = [](TEqlKernel& k, bool big) {
    k.ResetSystem(std::vector<std::uint8_t>(Periodica::kCapacity, 0));
    k.BeginRun(0, 1000.0L, 1.0L, 0.0L);
    if (big) {
      k.AddCompound(1, "CO2", 1, 1, 1, 1.0L, -395900.0L, "C1O2", "(g)");
      k.AddCompound(1, "N2", 1, 1, 1, 3.0L, 0.0L, "N2", "(g)");
      k.AddCompound(1, "SO2", 1, 1, 1, 0.1L, -300000.0L, "S1O2", "(g)");
      k.AddCompound(6, "C", 1, 1, 0.5L, 1.0L, 0.0L, "C1", "(s)");
    }
    k.AddCompound(1, "H2", 1, 1, 1, 1.0L, 0.0L, "H2", "(g)");
    k.AddCompound(1, "H", 1, 1, 1, 0.0L, 80000.0L, "H1", "(g)");
  };
  load(kernel, true);
  ASSERT_EQ(kernel.Solve(), 1) << kernel.ResultText();
  load(kernel, false);
  ASSERT_EQ(kernel.Solve(), 1) << kernel.ResultText();
  TAplMsgWnd otherLog;
  TEqlKernel fresh(otherLog, table);
  fresh.CbxExact = kernel.CbxExact;
  load(fresh, false);
  ASSERT_EQ(fresh.Solve(), 1);
  ASSERT_EQ(kernel.SystemElementCount(), 1);
  for (int q = 1; q <= 2; ++q) {
    EXPECT_EQ(kernel.Amount(q), fresh.Amount(q));
    EXPECT_EQ(kernel.Activity(q), fresh.Activity(q));
  }
  EXPECT_EQ(kernel.RunSummary(), fresh.RunSummary());
}

TEST_F(KernelTest, MassIsAmountTimesMolarMassAboveTheZeroLimit) {
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  Add(1, "Ar", "Ar1", 2.0L, 0.0L);
  Add(1, "Ne", "Ne1", 0.0L, 2.0e6L);  // far too unstable to form
  ASSERT_EQ(kernel.Solve(), 1);
  EXPECT_NEAR(static_cast<double>(kernel.Mass(1)), 2.0 * table.MolarMass("Ar1"), 1e-9);
  EXPECT_EQ(kernel.Mass(2), 0.0L);
}

TEST_F(KernelTest, SecondElectronCompoundIsRefused) {
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  EXPECT_EQ(Add(1, "e-", "E1", 0.0L, 0.0L), 1);
  EXPECT_EQ(kernel.CompoundState(1), 0);
  EXPECT_EQ(Add(1, "e+", "E-1", 0.0L, 0.0L), 0);
  ExpectMessage(373, 0,
                "Electron as component of system only in a phase permitted e+ can not be "
                "considered !");
  EXPECT_EQ(kernel.ResultText(), "Break because error EK.373");
  EXPECT_EQ(kernel.CompoundCount(), 1);
}

TEST_F(KernelTest, CompoundsBeyondCapacityOrOutOfSlotOrderAreRefused) {
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  EXPECT_EQ(Add(3, "H2O", "H2O1", 1.0L, 0.0L, "(l)"), 1);
  EXPECT_EQ(Add(1, "H2", "H2", 1.0L, 0.0L), 0);  // slot 1 after slot 3
  EXPECT_EQ(Add(9, "X", "H1", 1.0L, 0.0L), 0);
  ExpectMessage(375, 0,
                "Phase slot 1 of H2 is not valid or out of order: H2 can not be considered !");
  for (int q = 2; q <= kMaxCompounds; ++q) ASSERT_EQ(Add(6, "C", "C1", 0.0L, 0.0L, "(s)"), q);
  EXPECT_EQ(Add(6, "C", "C1", 0.0L, 0.0L, "(s)"), 0);
  EXPECT_EQ(log.Entries().back().text,
            "Too many substances in system (max. 2048): C can not be considered !");
  EXPECT_EQ(kernel.CompoundCount(), kMaxCompounds);
}

}  // namespace ploxen::test
