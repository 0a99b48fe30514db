// Random small systems: every run ends within its limits with finite results, and a failure
// always leaves a message or a result text; with "Exact Solution" off nothing of an exact run
// carries into the estimation.
#include <array>
#include <cstring>
#include <random>

#include "KernelFixture.h"

namespace ploxen::test {

TEST_F(KernelTest, RandomSystemsEndWithFiniteResultsOrAReportedFailure) {
  std::mt19937 random(1208);
  const char* const defs[] = {"H2", "O2", "H2O1", "C1O2", "C1O1", "C1H4", "N2", "N1O1", "C1",
                              "H1", "O1", "S1O2", "H2S1", "S1", "Ar1", "Na1E-1", "E1", "Na1"};
  std::uniform_int_distribution<int> pick(0, 17), count(1, 7), slotStep(0, 3), flag(0, 5);
  std::uniform_real_distribution<double> energy(-60.0, 30.0), amount(0.0, 3.0);
  int successes = 0;
  for (int run = 0; run < 30; ++run) {
    Reset();
    log.Clear();
    kernel.EditILimit = "1000";
    kernel.CBAutoCorr = flag(random) == 0;
    kernel.CBMaxEntropy = flag(random) != 0;
    kernel.CbxFast = flag(random) == 0;
    const int mode = flag(random) == 0 ? 1 : 0;
    kernel.BeginRun(mode, 1000.0L, 1.0L + flag(random), 0.05L);
    int slot = 1;
    const int n = count(random);
    for (int i = 0; i < n; ++i) {
      slot = std::min(8, slot + (i > 0 ? slotStep(random) : 0));
      const std::string def = defs[pick(random)];
      const long double mol = flag(random) < 2 ? 0.0L : amount(random);
      const int q = kernel.AddCompound(slot, def, flag(random) == 0 ? 0.5L : 1.0L, 1, 1.0L, mol,
                                       energy(random) * kRT1000, def, "(x)");
      if (q > 0 && slot >= 3 && flag(random) == 0) kernel.FixUnitActivity(q);
    }
    const int result = kernel.Solve();
    EXPECT_TRUE(result == 1 || result == 0 || result == -1 || result == -32) << result;
    EXPECT_LE(kernel.IterationsFirst(), kernel.IterationLimit() + 1);
    EXPECT_LE(kernel.IterationsFinal(), kernel.IterationLimit() + 1);
    for (int q = 1; q <= kernel.CompoundCount(); ++q) {
      EXPECT_TRUE(std::isfinite(kernel.Amount(q))) << run;
      EXPECT_TRUE(std::isfinite(kernel.Activity(q))) << run;
      EXPECT_TRUE(std::isfinite(kernel.PhaseFraction(q))) << run;
    }
    if (result == 1) {
      ++successes;
    } else {
      bool reported = !kernel.ResultText().empty();
      for (const LogEntry& e : log.Entries()) reported = reported || e.level <= 2;
      EXPECT_TRUE(reported) << "run " << run << " failed silently";
    }
  }
  EXPECT_GT(successes, 10) << successes;
}

namespace {

/// The value's significant bytes (an 80-bit real), so that equal means bit for bit.
std::array<unsigned char, 10> Bits(long double value) {
  std::array<unsigned char, 10> bytes{};
  std::memcpy(bytes.data(), &value, bytes.size());
  return bytes;
}

/// One random system of the estimation's test, rebuilt the same way into any kernel.
void BuildRandomSystem(TEqlKernel& k, unsigned seed) {
  std::mt19937 random(seed);
  const char* const defs[] = {"H2", "O2", "H2O1", "C1O2", "C1O1", "C1H4", "N2", "N1O1", "C1",
                              "H1", "O1", "S1O2", "H2S1", "S1", "Ar1", "Na1"};
  std::uniform_int_distribution<int> pick(0, 15), count(2, 9), slotStep(0, 3), flag(0, 5);
  std::uniform_real_distribution<double> energy(-40.0, 10.0), amount(0.0, 3.0);
  k.ResetSystem(std::vector<std::uint8_t>(Periodica::kCapacity, 0));
  k.BeginRun(0, 1000.0L, 1.0L + flag(random), 0.0L);
  int slot = 1;
  const int n = count(random);
  for (int i = 0; i < n; ++i) {
    slot = std::min(8, slot + (i > 0 ? slotStep(random) : 0));
    const std::string def = defs[pick(random)];
    const long double mol = flag(random) < 2 ? 0.0L : amount(random);
    const int q = k.AddCompound(slot, def, 1.0L, 1, 1.0L, mol, energy(random) * kRT1000, def, "(x)");
    if (q > 0 && slot >= 3 && flag(random) == 0) k.FixUnitActivity(q);
  }
}

}  // namespace

// With "Exact Solution" unchecked a kernel gives the estimation's results to the last bit, even
// after exact runs on the same kernel: a fresh kernel that never ran the exact stage agrees.
TEST_F(KernelTest, OptionOffGivesTheEstimationBitForBitAfterExactRuns) {
  int compared = 0;
  for (unsigned seed = 1; seed <= 25; ++seed) {
    TAplMsgWnd freshLog;
    TEqlKernel fresh(freshLog, table);
    fresh.CbxExact = false;
    BuildRandomSystem(fresh, seed);
    const int expected = fresh.Solve();
    kernel.CbxExact = true;
    BuildRandomSystem(kernel, seed);
    kernel.Solve();
    kernel.CbxExact = false;
    BuildRandomSystem(kernel, seed);
    ASSERT_EQ(kernel.Solve(), expected) << "seed " << seed;
    EXPECT_EQ(kernel.RunSummary(), fresh.RunSummary()) << "seed " << seed;
    EXPECT_EQ(kernel.ResultText(), fresh.ResultText()) << "seed " << seed;
    ASSERT_EQ(kernel.CompoundCount(), fresh.CompoundCount());
    for (int q = 1; q <= kernel.CompoundCount(); ++q) {
      EXPECT_EQ(Bits(kernel.Amount(q)), Bits(fresh.Amount(q))) << "seed " << seed << ", " << q;
      EXPECT_EQ(Bits(kernel.Activity(q)), Bits(fresh.Activity(q))) << "seed " << seed << ", " << q;
      EXPECT_EQ(Bits(kernel.PhaseFraction(q)), Bits(fresh.PhaseFraction(q))) << "seed " << seed;
      EXPECT_EQ(kernel.CompoundState(q), fresh.CompoundState(q)) << "seed " << seed;
    }
    for (int j = 1; j <= kernel.SystemElementCount(); ++j) {
      EXPECT_EQ(Bits(kernel.LagrangeCoefficient(j)), Bits(fresh.LagrangeCoefficient(j)));
    }
    ++compared;
  }
  EXPECT_EQ(compared, 25);
}

}  // namespace ploxen::test
