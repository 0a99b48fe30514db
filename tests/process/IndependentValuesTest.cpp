// Equilibria of the database checked against textbook values: the water-gas shift constant and
// the ammonia synthesis at 1 bar.
#include "ProcessFixture.h"
#include "chem/PTools.h"

namespace ploxen::test {

class IndependentValues : public ProcessFixture {
 protected:
  double X(int row) { return TextToFloat(book.Get("gas", row, 4)); }
  void Run() {
    EXPECT_EQ(calc.RunWorkbook(), 0);
    ASSERT_TRUE(calc.calculationOk) << calc.failureText;
    EXPECT_FALSE(Posted(1206)) << TextOf(1206);
  }
};

TEST_F(IndependentValues, WaterGasShiftConstantAt1000K) {
  AddConditionSheet({"gas"}, "726.85");
  AddPhaseSheet("gas", "(g)", {{"CO", "1"}, {"H2O", "1"}, {"CO2", ""}, {"H2", ""}});
  Run();
  const double k = X(4) * X(5) / (X(2) * X(3));
  EXPECT_NEAR(k, 1.44, 0.05);
}

TEST_F(IndependentValues, AmmoniaAtOneBarAnd700K) {
  AddConditionSheet({"gas"}, "426.85");
  AddPhaseSheet("gas", "(g)", {{"N2", "1"}, {"H2", "3"}, {"NH3", ""}});
  Run();
  EXPECT_GT(X(4), 0.002);
  EXPECT_LT(X(4), 0.004);
}

}  // namespace ploxen::test
