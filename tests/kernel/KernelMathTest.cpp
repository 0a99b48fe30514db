// The kernel's extended-precision exponential against the library routine.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "kernel/KernelConstants.h"
#include "kernel/KernelMath.h"

namespace ploxen {

TEST(ExpExtended, AgreesWithTheLibraryToAFewUlp) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> wide(-9500.0, 9500.0), narrow(-5.0, 5.0);
  long double worst = 0.0L;
  for (int i = 0; i < 200000; ++i) {
    const long double x =
        (i % 2 ? wide(random) : narrow(random)) + static_cast<long double>(i) * 1e-13L;
    const long double exact = std::exp(x);
    worst = std::max(worst, std::fabs(ExpExtended(x) / exact - 1.0L));
  }
  EXPECT_LT(worst, 4.0L * 1.0842e-19L) << static_cast<double>(worst);  // 4 ulp of an 80-bit real
  EXPECT_EQ(ExpExtended(0.0L), 1.0L);
  for (long double x : {1.0L, -1.0L, -kExponentBound - 1.0L, 10999.0L, -10999.0L}) {
    EXPECT_LT(std::fabs(ExpExtended(x) / std::exp(x) - 1.0L), 4.0L * 1.0842e-19L);
  }
  EXPECT_TRUE(std::isinf(ExpExtended(20000.0L)));
  EXPECT_EQ(ExpExtended(-20000.0L), 0.0L);
}

}  // namespace ploxen
