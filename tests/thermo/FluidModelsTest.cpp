// Tests of the fluid behaviour models: limits, identities and independent reference values.
#include "thermo/FluidModels.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ploxen {
namespace {

// n-butane (Tc 425.1 K, Pc 37.96 bar, omega 0.200) at its vapour pressure 9.4573 bar and 350 K,
// the worked example of the Smith / Van Ness / Abbott textbook (RK: Zv 0.8305, Zl 0.04331).
// The other references were recomputed independently from the standard cubic polynomials
// (PR: Z^3 - (1-B)Z^2 + (A-3B^2-2B)Z - (AB-B^2-B^3) = 0; SRK/RK: Z^3 - Z^2 + (A-B-B^2)Z - AB = 0),
// all real roots by bisection, departure functions with the analytic da/dT.
constexpr double kTc = 425.1, kPc = 37.96, kOmega = 0.200, kT = 350.0, kP = 9.4573;

double RelativeError(double value, double reference) {
  return std::fabs(value - reference) / std::fabs(reference);
}

TEST(FluidModelText, NamesTheSevenModels) {
  EXPECT_EQ(FluidModelText(0), "Ideal Gas - Clapeyron, 1834");
  EXPECT_EQ(FluidModelText(3), "Generalized Redlich Kwong, 1949");
  EXPECT_EQ(FluidModelText(5), "Soave-Redlich-Kwong, Vap. Liq. Eql., 1972");
  EXPECT_EQ(FluidModelText(6), "Peng-Robinson, Vap. Liq. Eql., 1976");
  EXPECT_EQ(FluidModelText(7), "");
  EXPECT_EQ(FluidModelText(-1), "");
}

TEST(FluidModelsLimit, EveryModelBecomesIdealAsPressureVanishes) {
  FluidModels fluid;
  const double tc = 304.13, pc = 73.77, omega = 0.225, t = 320.0;  // CO2 just above Tc
  for (int model = 0; model < kFluidModelCount; ++model) {
    for (double p : {1e-3, 1e-5}) {
      SCOPED_TRACE(testing::Message() << "model " << model << " P " << p);
      bool ok = CubicConstantsOf(model) != nullptr
                    ? fluid.ResidualsCubic(model, pc, p, tc, t, CubicRoot::kVapour, omega)
                    : fluid.ResidualsVirial(model, pc, p, tc, t);
      ASSERT_TRUE(ok);
      double z = CubicConstantsOf(model) != nullptr ? fluid.Results().vapourZ : fluid.Results().z;
      EXPECT_NEAR(z, 1.0, 20.0 * p / pc);
      // Residual parts shrink in proportion to P: below a millijoule per mole at 1e-5 bar.
      EXPECT_NEAR(fluid.Results().HR, 0.0, 2000.0 * p);
      EXPECT_NEAR(fluid.Results().SR, 0.0, 5.0 * p);
      EXPECT_NEAR(fluid.Results().GR, fluid.Results().HR - t * fluid.Results().SR, 1e-9);
      if (model == kGeneralizedRedlichKwong) {
        EXPECT_LE(fluid.Results().iterations, 3);
      }
      EXPECT_NEAR(fluid.Compressibility(model, pc, p, tc, t, omega), 1.0, 20.0 * p / pc);
    }
  }
}

TEST(FluidModelsReference, TwoParameterModelsMatchTheirCubicRoots) {
  FluidModels fluid;
  EosResult vdw = fluid.CompressibilityEOS(kVanDerWaals, kPc, kP, kTc, kT);
  ASSERT_TRUE(vdw.ok);
  EXPECT_NEAR(vdw.z, 0.86674, 0.0003);
  // Both Redlich-Kwong iterations solve the same equation.
  EosResult rk = fluid.CompressibilityEOS(kRedlichKwong, kPc, kP, kTc, kT);
  ASSERT_TRUE(rk.ok);
  EXPECT_NEAR(rk.z, 0.83049, 0.0003);
  EosResult grk = fluid.CompressibilityEOS(kGeneralizedRedlichKwong, kPc, kP, kTc, kT);
  ASSERT_TRUE(grk.ok);
  EXPECT_NEAR(grk.z, 0.83049, 0.0003);
  EXPECT_GT(fluid.Results().iterations, 0);
}

TEST(FluidModelsReference, CubicVapourAndLiquidRootsOfNormalButane) {
  struct Case {
    int model;
    double zVapour, zLiquid, hrVapour, srVapour, hrLiquid, srLiquid;
  };
  const Case cases[] = {
      {kCubicRedlichKwong, 0.830490, 0.0433121, NAN, NAN, NAN, NAN},
      {kCubicSoaveRedlichKwong, 0.819028, 0.0415308, -1581.58, -3.13668, -19173.5, -53.4812},
      {kCubicPengRobinson, 0.808088, 0.0365960, -1603.61, -3.10676, -19074.3, -53.0310},
  };
  FluidModels fluid;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "model " << c.model);
    ASSERT_TRUE(fluid.ResidualsCubic(c.model, kPc, kP, kTc, kT, CubicRoot::kVapour, kOmega));
    // The vapour iteration stops at a relative step change of 0.01.
    EXPECT_LT(RelativeError(fluid.Results().vapourZ, c.zVapour), 0.01);
    if (!std::isnan(c.hrVapour)) {
      EXPECT_NEAR(fluid.Results().HR, c.hrVapour, 0.05 * std::fabs(c.hrVapour));
      EXPECT_NEAR(fluid.Results().SR, c.srVapour, 0.05 * std::fabs(c.srVapour));
    }
    double zVapour = fluid.Results().vapourZ;
    ASSERT_TRUE(fluid.ResidualsCubic(c.model, kPc, kP, kTc, kT, CubicRoot::kLiquid, kOmega));
    ASSERT_TRUE(fluid.Results().rootConverged);
    EXPECT_LT(RelativeError(fluid.Results().liquidZ, c.zLiquid), 0.001);
    EXPECT_GT(zVapour, fluid.Results().liquidZ);
    EXPECT_NEAR(fluid.Results().liquidVolume,
                fluid.Results().liquidZ * fluid.GasConstant() * kT / (kP * 1e5), 1e-12);
    if (!std::isnan(c.hrLiquid)) {
      // The temperature derivative of alpha is a 1 K central difference.
      EXPECT_NEAR(fluid.Results().HR, c.hrLiquid, 0.002 * std::fabs(c.hrLiquid));
      EXPECT_NEAR(fluid.Results().SR, c.srLiquid, 0.002 * std::fabs(c.srLiquid));
    }
  }
}

TEST(FluidModelsReference, PengRobinsonAndSoaveForCarbonDioxide) {
  // CO2 (Tc 304.2 K, Pc 73.83 bar, omega 0.224) at 310 K and 50 bar: one real root.
  FluidModels fluid;
  ASSERT_TRUE(fluid.ResidualsCubic(kCubicPengRobinson, 73.83, 50.0, 304.2, 310.0,
                                   CubicRoot::kVapour, 0.224));
  EXPECT_LT(RelativeError(fluid.Results().vapourZ, 0.717714), 0.015);
  EXPECT_NEAR(fluid.Results().HR, -2425.9, 0.08 * 2425.9);
  ASSERT_TRUE(fluid.ResidualsCubic(kCubicSoaveRedlichKwong, 73.83, 50.0, 304.2, 310.0,
                                   CubicRoot::kVapour, 0.224));
  EXPECT_LT(RelativeError(fluid.Results().vapourZ, 0.740432), 0.015);
}

TEST(FluidModelsVirial, ResidualPartsStayBoundedWhereTheCorrelationIsSingular) {
  // B1 of the virial correlation vanishes at Tr = 1.0522; CO2 at 1 bar around there.
  FluidModels fluid;
  const double tc = 304.13, pc = 73.77;
  for (int model : {kVanDerWaals, kRedlichKwong, kGeneralizedRedlichKwong}) {
    for (double t = 310.0; t <= 335.0; t += 0.25) {
      SCOPED_TRACE(testing::Message() << "model " << model << " T " << t);
      ASSERT_TRUE(fluid.ResidualsVirial(model, pc, 1.0, tc, t));
      const FluidResults& r = fluid.Results();
      EXPECT_LT(std::fabs(r.HR), 80.0);
      EXPECT_LT(std::fabs(r.SR), 0.25);
      EXPECT_NEAR(r.GR, r.HR - t * r.SR, 1e-9);
      EXPECT_NEAR(r.GR, fluid.GasConstant() * t * (r.z - 1.0), 1e-6);  // ln(phi) = z - 1
    }
  }
}

TEST(FluidModelsCubic, HotDiluteGasIsSlightlyNonIdeal) {
  // Tr = 2, Pr = 0.1 with Peng-Robinson: z a little below 1, small negative residual parts.
  FluidModels fluid;
  ASSERT_TRUE(
      fluid.ResidualsCubic(kCubicPengRobinson, 50.0, 5.0, 300.0, 600.0, CubicRoot::kVapour, 0.1));
  EXPECT_TRUE(fluid.Results().rootConverged);
  EXPECT_LT(fluid.Results().vapourZ, 1.0);
  EXPECT_GT(fluid.Results().vapourZ, 0.99);
  EXPECT_LT(fluid.Results().HR, 0.0);
  EXPECT_GT(fluid.Results().HR, -100.0);
  EXPECT_LT(fluid.Results().SR, 0.0);
  EXPECT_GT(fluid.Results().SR, -0.2);
}

TEST(FluidModelsCubic, SoaveAlphaWithoutAcentricFactorUsesTheBaseSlope) {
  const CubicConstants* srk = CubicConstantsOf(kCubicSoaveRedlichKwong);
  ASSERT_NE(srk, nullptr);
  double root = 1.0 + 0.48508 * (1.0 - std::sqrt(0.8));
  EXPECT_DOUBLE_EQ(CubicAlpha(*srk, 0.8, 0.0), root * root);
  EXPECT_DOUBLE_EQ(CubicAlpha(*CubicConstantsOf(kCubicRedlichKwong), 4.0, 0.3), 0.5);
  EXPECT_EQ(CubicConstantsOf(kGeneralizedRedlichKwong), nullptr);
  EXPECT_EQ(CubicConstantsOf(7), nullptr);
}

TEST(FluidModelsCubic, TemperatureDerivativeNearAbsoluteZeroStaysFinite) {
  FluidModels fluid;
  ASSERT_TRUE(
      fluid.ResidualsCubic(kCubicPengRobinson, 50.0, 0.01, 300.0, 1.5, CubicRoot::kVapour, 0.1));
  EXPECT_TRUE(std::isfinite(fluid.Results().HR));
  EXPECT_TRUE(std::isfinite(fluid.Results().SR));
}

TEST(FluidModelsFailure, MissingCriticalDataOrWrongModelGiveIdealZ) {
  FluidModels fluid;
  for (int model : {0, 1, 2, 3, 7, -1}) {
    EosResult r = fluid.CompressibilityEOS(model, 0.0, 10.0, 300.0, 400.0);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.z, 1.0);
  }
  EXPECT_FALSE(fluid.CompressibilityEOS(kIdealGas, 50.0, 10.0, 300.0, 400.0).ok);
  EXPECT_FALSE(fluid.ResidualsVirial(kGeneralizedRedlichKwong, 50.0, 0.0, 300.0, 400.0));
  EXPECT_TRUE(fluid.ResidualsVirial(kIdealGas, 0.0, 0.0, 0.0, 0.0));
  EXPECT_EQ(fluid.Results().HR, 0.0);
  EXPECT_FALSE(
      fluid.ResidualsCubic(kCubicPengRobinson, 50.0, 10.0, 0.0, 400.0, CubicRoot::kVapour, 0.1));
  EXPECT_FALSE(fluid.ResidualsCubic(kGeneralizedRedlichKwong, 50.0, 10.0, 300.0, 400.0,
                                    CubicRoot::kVapour, 0.1));
  EXPECT_TRUE(fluid.ResidualsCubic(kIdealGas, 50.0, 10.0, 300.0, 400.0, CubicRoot::kVapour, 0.1));
  EXPECT_EQ(fluid.Compressibility(kCubicPengRobinson, 0.0, 10.0, 300.0, 400.0, 0.1), 1.0);
}

TEST(FluidModelsCompressibility, ModelsNeedingOmegaFallBackWithoutIt) {
  FluidModels fluid;
  double z3 = fluid.Compressibility(kGeneralizedRedlichKwong, 45.99, 100.0, 190.6, 250.0, 0.0);
  double z6 = fluid.Compressibility(kCubicPengRobinson, 45.99, 100.0, 190.6, 250.0, std::nullopt);
  EXPECT_EQ(z6, z3);
  double z6omega = fluid.Compressibility(kCubicPengRobinson, 45.99, 100.0, 190.6, 250.0, 0.012);
  EXPECT_LT(RelativeError(z6omega, 0.669364), 0.015);  // methane, independent PR root
}

TEST(LiquidStartZ, EstimatesALiquidCompressibility) {
  // Saturated n-butane liquid (z about 0.04) is within a factor of two of the estimate,
  // and the estimate is small and positive over the usual liquid range.
  double z = LiquidStartZ(kP / kPc, kT / kTc, kOmega);
  EXPECT_GT(z, 0.02);
  EXPECT_LT(z, 0.08);
  for (double tr : {0.5, 0.6, 0.7, 0.8, 0.9})
    for (double pr : {0.3, 0.6, 1.0}) {
      double estimate = LiquidStartZ(pr, tr, 0.1);
      EXPECT_GT(estimate, 0.0) << tr << " " << pr;
      EXPECT_LT(estimate, 0.4) << tr << " " << pr;
    }
}

}  // namespace
}  // namespace ploxen
