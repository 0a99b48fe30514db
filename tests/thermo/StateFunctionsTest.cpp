// Tests of the state functions of a dataset: thermodynamic identities, both dataset forms,
// the fluid model's residual parts and the status of compounds that cannot be evaluated.
#include "thermo/StateFunctions.h"

#include <gtest/gtest.h>

#include <cmath>

#include "DatabaseTestSupport.h"
#include "support/AplMsg.h"
#include "thermo/PXDatabase.h"

namespace ploxen {
namespace {

// Records of ranges.tdb.
constexpr int kCo2Low = 1, kCo2High = 2, kWaterLiquid = 3, kWaterGas = 4, kMethane = 5,
              kNitrogen = 6, kIron = 7, kLiquidX = 8, kHg = 9, kAllTerms = 12, kSolidW = 14,
              kNoT0 = 15;

class StateFunctionsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(db.LoadDatabase(thermotest::ThermoFixture("ranges.tdb")), 16); }
  StateFunctionRecord Eval(int record, int model, double p, double t) {
    StateFunctionRecord out;
    ok = StateFunctions(db, record, model, p, t, out);
    return out;
  }

  TAplMsgWnd log;
  PXDatabase db{log};
  bool ok = false;
};

TEST_F(StateFunctionsTest, GibbsEnergyIsEnthalpyMinusTemperatureTimesEntropy) {
  int evaluated = 0;
  for (int r = 1; r < db.RecordCount(); ++r)
    for (int model = 0; model < kFluidModelCount; ++model)
      for (double t : {250.0, 298.15, 500.0, 900.0, 1500.0})
        for (double p : {0.5, 1.0, 10.0, 50.0}) {
          StateFunctionRecord s = Eval(r, model, p, t);
          if (!ok) continue;
          ++evaluated;
          SCOPED_TRACE(testing::Message()
                       << "record " << r << " model " << model << " T " << t << " P " << p);
          EXPECT_NEAR(s.G, s.H - t * s.S, 1e-9 * std::max(1.0, std::fabs(s.G)));
          EXPECT_NEAR(s.GR, s.HR - t * s.SR, 1e-9 * std::max(1.0, std::fabs(s.GR)));
          EXPECT_TRUE(std::isfinite(s.G) && std::isfinite(s.z));
        }
  EXPECT_GT(evaluated, 1000);
}

TEST_F(StateFunctionsTest, HeatCapacityIsTheTemperatureDerivativeOfEnthalpyAndEntropy) {
  for (int r : {kCo2Low, kCo2High, kWaterGas, kMethane, kNitrogen, kIron, kHg, kAllTerms})
    for (double t : {320.0, 650.0, 1200.0}) {
      SCOPED_TRACE(testing::Message() << "record " << r << " T " << t);
      const double h = 0.01;
      StateFunctionRecord s = Eval(r, kIdealGas, 1.0, t);
      ASSERT_TRUE(ok);
      StateFunctionRecord up = Eval(r, kIdealGas, 1.0, t + h);
      StateFunctionRecord down = Eval(r, kIdealGas, 1.0, t - h);
      EXPECT_NEAR((up.H - down.H) / (2 * h), s.Cp, 1e-5 * std::fabs(s.Cp) + 1e-6);
      if (r != kHg) {  // the H-G form does not tie S to Cp
        EXPECT_NEAR((up.S - down.S) / (2 * h), s.Cp / t, 1e-5 * std::fabs(s.Cp / t) + 1e-8);
      }
    }
}

TEST_F(StateFunctionsTest, AtTheReferenceTemperatureTheStoredValuesReturn) {
  StateFunctionRecord gas = Eval(kCo2Low, kIdealGas, 1.0, 298.15);
  ASSERT_TRUE(ok);
  EXPECT_NEAR(gas.H, -393510.0, 1e-6);
  EXPECT_NEAR(gas.S, 213.79, 1e-9);
  // A gas at 10 bar loses R ln 10 of entropy; the data-side gas constant is used.
  db.SetGasConstant(8.31451);
  StateFunctionRecord compressed = Eval(kCo2Low, kIdealGas, 10.0, 298.15);
  EXPECT_NEAR(compressed.S, 213.79 - 8.31451 * std::log(10.0), 1e-9);
  StateFunctionRecord solid = Eval(kIron, kIdealGas, 10.0, 298.15);
  EXPECT_NEAR(solid.H, 0.0, 1e-9);
  EXPECT_NEAR(solid.S, 27.28, 1e-9);
}

TEST_F(StateFunctionsTest, ConstantHeatCapacityIntegratesInClosedForm) {
  StateFunctionRecord s = Eval(kWaterLiquid, kIdealGas, 1.0, 350.0);
  ASSERT_TRUE(ok);
  EXPECT_EQ(s.status, kStateIdeal);
  EXPECT_DOUBLE_EQ(s.Cp, 75.3);
  EXPECT_NEAR(s.H, -285830.0 + 75.3 * (350.0 - 298.15), 1e-6);
  EXPECT_NEAR(s.S, 69.95 + 75.3 * std::log(350.0 / 298.15), 1e-9);
}

TEST_F(StateFunctionsTest, ShomateCarbonDioxideMatchesTabulatedValues) {
  // NIST tables for CO2 at 1000 K: Cp 54.31 J/(mol K), H - H298 33.40 kJ/mol, S 269.30 J/(mol K).
  StateFunctionRecord s = Eval(kCo2Low, kIdealGas, 1.0, 1000.0);
  ASSERT_TRUE(ok);
  EXPECT_NEAR(s.Cp, 54.31, 0.02);
  EXPECT_NEAR(s.H - (-393510.0), 33400.0, 20.0);
  EXPECT_NEAR(s.S, 269.30, 0.05);
}

TEST_F(StateFunctionsTest, HgFormGivesHAndGAsPolynomials) {
  StateFunctionRecord s = Eval(kHg, kCubicPengRobinson, 5.0, 500.0);
  ASSERT_TRUE(ok);
  EXPECT_DOUBLE_EQ(s.Cp, 10.0);
  EXPECT_DOUBLE_EQ(s.H, 6000.0);
  EXPECT_DOUBLE_EQ(s.G, -1500.0);
  EXPECT_DOUBLE_EQ(s.S, 15.0);
}

TEST_F(StateFunctionsTest, CondensedPhaseAboveItsCriticalTemperatureCannotExist) {
  for (int r : {kLiquidX, kSolidW}) {
    StateFunctionRecord s;
    s.HR = 123.0;
    s.z = 7.0;
    EXPECT_FALSE(StateFunctions(db, r, kIdealGas, 1.0, 650.0, s));
    EXPECT_EQ(s.status, kStateCannotExist);
    EXPECT_EQ(s.G, 0.0);
    EXPECT_EQ(s.H, 0.0);
    EXPECT_EQ(s.z, 1.0);
    EXPECT_EQ(s.HR, 123.0);  // residual parts are not written
  }
  StateFunctionRecord below = Eval(kLiquidX, kIdealGas, 1.0, 550.0);
  EXPECT_TRUE(ok);
  EXPECT_EQ(below.status, kStateIdeal);
  EXPECT_EQ(below.z, 1.0);
  StateFunctionRecord solid = Eval(kSolidW, kCubicPengRobinson, 1.0, 450.0);
  EXPECT_TRUE(ok);
  EXPECT_EQ(solid.status, kStateIdeal);
  EXPECT_EQ(solid.HR, 0.0);
}

TEST_F(StateFunctionsTest, InvalidInputIsNotEvaluatedAndKeepsTheCallersValues) {
  for (auto [r, p, t] : {std::tuple{kCo2Low, 1.0, 0.0}, std::tuple{kCo2Low, 0.0, 300.0},
                         std::tuple{kCo2Low, -1.0, 300.0}, std::tuple{-1, 1.0, 300.0},
                         std::tuple{16, 1.0, 300.0}, std::tuple{kNoT0, 1.0, 300.0}}) {
    StateFunctionRecord s;
    s.z = 0.5;
    s.G = 99.0;
    s.SR = 3.0;
    EXPECT_FALSE(StateFunctions(db, r, kCubicPengRobinson, p, t, s));
    EXPECT_EQ(s.status, kStateNotEvaluated);
    EXPECT_EQ(s.G, 0.0);
    EXPECT_EQ(s.Cp, 0.0);
    EXPECT_EQ(s.z, 0.5);
    EXPECT_EQ(s.SR, 3.0);
  }
}

TEST_F(StateFunctionsTest, GasWithoutCriticalDataIsIdealWhateverTheModel) {
  StateFunctionRecord ideal = Eval(kNitrogen, kIdealGas, 50.0, 400.0);
  for (int model = 0; model < kFluidModelCount; ++model) {
    StateFunctionRecord s = Eval(kNitrogen, model, 50.0, 400.0);
    EXPECT_TRUE(ok);
    EXPECT_EQ(s.status, kStateIdeal);
    EXPECT_EQ(s.z, 1.0);
    EXPECT_EQ(s.HR, 0.0);
    EXPECT_EQ(s.G, ideal.G);
  }
}

TEST_F(StateFunctionsTest, FluidModelsAddResidualPartsToARealGas) {
  StateFunctionRecord ideal = Eval(kCo2Low, kIdealGas, 50.0, 350.0);
  for (int model = 1; model < kFluidModelCount; ++model) {
    SCOPED_TRACE(testing::Message() << "model " << model);
    StateFunctionRecord s = Eval(kCo2Low, model, 50.0, 350.0);
    ASSERT_TRUE(ok);
    EXPECT_EQ(s.status, kStateGasModel);
    EXPECT_LT(s.z, 0.9);
    EXPECT_GT(s.z, 0.6);
    EXPECT_LT(s.HR, 0.0);
    EXPECT_NEAR(s.H, ideal.H + s.HR, 1e-6);
    EXPECT_NEAR(s.G, ideal.G + s.GR, 1e-6);
    EXPECT_EQ(s.Cp, ideal.Cp);
  }
}

TEST_F(StateFunctionsTest, ResidualPartsVanishAsPressureGoesToZero) {
  for (int model = 0; model < kFluidModelCount; ++model) {
    SCOPED_TRACE(testing::Message() << "model " << model);
    StateFunctionRecord ideal = Eval(kWaterGas, kIdealGas, 1e-4, 700.0);
    StateFunctionRecord s = Eval(kWaterGas, model, 1e-4, 700.0);
    ASSERT_TRUE(ok);
    EXPECT_NEAR(s.z, 1.0, 1e-5);
    EXPECT_NEAR(s.H, ideal.H, 0.05);
    EXPECT_NEAR(s.G, ideal.G, 0.05);
  }
}

TEST_F(StateFunctionsTest, ModelsNeedingAnAcentricFactorFallBackWithoutOne) {
  StateFunctionRecord grk = Eval(kMethane, kGeneralizedRedlichKwong, 100.0, 250.0);
  for (int model : {kCubicSoaveRedlichKwong, kCubicPengRobinson}) {
    StateFunctionRecord s = Eval(kMethane, model, 100.0, 250.0);
    ASSERT_TRUE(ok);
    EXPECT_EQ(s.z, grk.z);
    EXPECT_EQ(s.G, grk.G);
  }
  // Model 4 needs no acentric factor and stays a cubic.
  StateFunctionRecord rk = Eval(kMethane, kCubicRedlichKwong, 100.0, 250.0);
  EXPECT_NE(rk.G, grk.G);
}

TEST_F(StateFunctionsTest, LiquidTakesTheLiquidRootOfACubicModel) {
  for (int model : {kCubicRedlichKwong, kCubicSoaveRedlichKwong, kCubicPengRobinson}) {
    SCOPED_TRACE(testing::Message() << "model " << model);
    StateFunctionRecord s = Eval(kWaterLiquid, model, 1.0, 300.0);
    ASSERT_TRUE(ok);
    EXPECT_EQ(s.status, kStateLiquidCubic);
    EXPECT_GT(s.z, 0.0);
    EXPECT_LT(s.z, 0.01);
    EXPECT_LT(s.HR, -20000.0);  // about the heat of vaporisation
  }
  for (int model = 0; model <= kGeneralizedRedlichKwong; ++model) {
    StateFunctionRecord s = Eval(kWaterLiquid, model, 1.0, 300.0);
    EXPECT_EQ(s.status, kStateIdeal);
    EXPECT_EQ(s.z, 1.0);
    EXPECT_EQ(s.HR, 0.0);
  }
}

TEST_F(StateFunctionsTest, ValuesOutsideTheRangeAreExtrapolatedAndMarked) {
  StateFunctionRecord inside = Eval(kCo2High, kIdealGas, 1.0, 2000.0);
  EXPECT_FALSE(inside.extrapolated);
  StateFunctionRecord outside = Eval(kCo2High, kIdealGas, 1.0, 3500.0);
  EXPECT_TRUE(ok);
  EXPECT_TRUE(outside.extrapolated);
  EXPECT_GT(outside.H, inside.H);
}

TEST_F(StateFunctionsTest, UnknownModelIndexIsIdeal) {
  StateFunctionRecord ideal = Eval(kCo2Low, kIdealGas, 50.0, 350.0);
  for (int model : {-1, 7, 100}) {
    StateFunctionRecord s = Eval(kCo2Low, model, 50.0, 350.0);
    EXPECT_TRUE(ok);
    EXPECT_EQ(s.status, kStateIdeal);
    EXPECT_EQ(s.G, ideal.G);
  }
}

}  // namespace
}  // namespace ploxen
