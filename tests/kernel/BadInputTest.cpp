// Bad input: values that are not finite numbers stop the run with a message, never a NaN result.
#include "KernelFixture.h"

#include <limits>

namespace ploxen::test {

namespace {

constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
constexpr long double kInf = std::numeric_limits<long double>::infinity();

}  // namespace

class BadInputTest : public KernelTest {
 protected:
  /// Solves Ar + Ne with one value replaced and checks the failure and finite reads.
  void ExpectRefused(const std::string& text, long double share, long double gamma, long double mol,
                     long double gibbs) {
    Reset();
    log.Clear();
    kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
    Add(1, "Ar", "Ar1", 1.0L, 0.0L);
    kernel.AddCompound(1, "Ne", share, 1, gamma, mol, gibbs, "Ne1", "(g)");
    EXPECT_EQ(kernel.Solve(), 0) << text;
    ExpectMessage(1110, 0, "Invalid value of " + text + " : Calculation is not possible !");
    EXPECT_EQ(kernel.ResultText(), "Calculation is broken because error EK.1110");
    ExpectFiniteReads();
  }
  void ExpectFiniteReads() const {
    for (int q = 1; q <= kernel.CompoundCount(); ++q) {
      EXPECT_TRUE(std::isfinite(kernel.Amount(q)));
      EXPECT_TRUE(std::isfinite(kernel.Activity(q)));
      EXPECT_TRUE(std::isfinite(kernel.PhaseFraction(q)));
      EXPECT_TRUE(std::isfinite(kernel.Mass(q)));
    }
  }
};

TEST_F(BadInputTest, NonFiniteCompoundValuesAreRefused) {
  ExpectRefused("Gibbs energy of Ne (g)", 1.0L, 1.0L, 1.0L, kNaN);
  ExpectRefused("Gibbs energy of Ne (g)", 1.0L, 1.0L, 1.0L, -kInf);
  ExpectRefused("amount of Ne (g)", 1.0L, 1.0L, kInf, 0.0L);
  ExpectRefused("amount of Ne (g)", 1.0L, 1.0L, kNaN, 0.0L);
  ExpectRefused("reactive share of Ne (g)", kNaN, 1.0L, 1.0L, 0.0L);
  ExpectRefused("activity coefficient of Ne (g)", 1.0L, kNaN, 1.0L, 0.0L);
  ExpectRefused("activity coefficient of Ne (g)", 1.0L, kInf, 1.0L, 0.0L);
}

TEST_F(BadInputTest, SystemValuesMustBePositiveAndFinite) {
  const struct {
    int mode;
    long double t, p, v;
    const char* what;
  } cases[] = {{0, 0.0L, 1.0L, 0.0L, "temperature"}, {0, kNaN, 1.0L, 0.0L, "temperature"},
               {0, 1000.0L, 0.0L, 0.0L, "pressure"}, {0, 1000.0L, kInf, 0.0L, "pressure"},
               {1, 1000.0L, 1.0L, 0.0L, "volume"},   {2, 1000.0L, 1.0L, kNaN, "volume"},
               {3, 1000.0L, 1.0L, 1.0L, "mode"}};
  for (const auto& c : cases) {
    Reset();
    log.Clear();
    kernel.BeginRun(c.mode, c.t, c.p, c.v);
    Add(1, "Ar", "Ar1", 1.0L, 0.0L);
    EXPECT_EQ(kernel.Solve(), 0) << c.what;
    ExpectMessage(1110, 0,
                  std::string("Invalid value of ") + c.what + " : Calculation is not possible !");
  }
}

TEST_F(BadInputTest, HugeAtomCountNeverGivesANonFiniteResult) {
  Reset();
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  Add(1, "Ar", "Ar1", 1.0L, 0.0L);
  Add(1, "Ne", "Ne1e999", 1.0L, 0.0L);
  const int result = kernel.Solve();
  if (result != 1) {
    EXPECT_FALSE(log.Entries().empty());
  }
  ExpectFiniteReads();
}

TEST_F(BadInputTest, ExtremeButFiniteValuesStayFinite) {
  const long double extremes[] = {1e300L, 1e-300L, 1e4000L};
  for (long double mol : extremes) {
    Reset();
    log.Clear();
    kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
    Add(1, "Ar", "Ar1", mol, 0.0L);
    Add(1, "Ne", "Ne1", 1.0L, 4000.0L * kRT1000);
    const int result = kernel.Solve();
    if (result != 1) {
      EXPECT_FALSE(log.Entries().empty() && kernel.ResultText().empty());
    }
    ExpectFiniteReads();
  }
}

}  // namespace ploxen::test
