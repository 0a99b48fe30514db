// Fluid behaviour models: two-parameter equations of state with virial residual parts, and one
// generic cubic equation of state that serves the Redlich-Kwong, Soave and Peng-Robinson models.
#include "thermo/FluidModels.h"

#include <cmath>
#include <limits>

namespace ploxen {
namespace {

constexpr double kPascalPerBar = 100000.0;
constexpr int kMaxSteps = 255;
constexpr double kEosTolerance = 0.0001;
constexpr double kVapourTolerance = 0.01;
constexpr double kLiquidTolerance = 0.0001;
constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kMaxFittedOmega = 1.0;  // bound of the acentric factor fitted to a model's z

// One row per cubic model 4, 5, 6 (sigma, epsilon, Omega, Psi, alpha form, m coefficients).
const CubicConstants kCubicRows[3] = {
    {1.0, 0.0, 0.08664, 0.42748, false, {0.0, 0.0, 0.0}},              // RK 1949
    {1.0, 0.0, 0.08664, 0.42748, true, {0.48508, 1.55171, -0.15613}},  // SRK 1972
    {1.0 + M_SQRT2, 1.0 - M_SQRT2, 0.077796, 0.457235, true, {0.37464, 1.54226, -0.26992}},  // PR
};

const char* const kModelTexts[kFluidModelCount] = {
    "Ideal Gas - Clapeyron, 1834",
    "van der Waals, 1873",
    "Redlich Kwong, 1949",
    "Generalized Redlich Kwong, 1949",
    "Redlich-Kwong, Vap.Liq.Eql., 1949",
    "Soave-Redlich-Kwong, Vap. Liq. Eql., 1972",
    "Peng-Robinson, Vap. Liq. Eql., 1976",
};

/// Relative change |x'/x - x/x'| of a step from x to x'; infinite unless both are positive.
double RelativeChange(double x, double next) {
  if (!(x > 0.0) || !(next > 0.0)) return kInfinity;
  return std::fabs(next / x - x / next);
}

/// The best positive iterate of a loop: smallest change, strict comparison, first found wins.
struct BestIterate {
  double value = 0.0;
  double change = kInfinity;
  bool set = false;
  void Offer(double x, double dx) {
    if (x > 0.0 && (!set || dx < change)) {
      value = x;
      change = dx;
      set = true;
    }
  }
};

/// Horner evaluation of a degree-6 polynomial given from the Tr^6 coefficient down.
double Poly6(const double (&c)[7], double x) {
  double sum = 0.0;
  for (double coefficient : c) sum = sum * x + coefficient;
  return sum;
}

}  // namespace

std::string FluidModelText(int model) {
  if (model < 0 || model >= kFluidModelCount) return {};
  return kModelTexts[model];
}

bool FluidModelNeedsOmega(int model) {
  return model == kCubicSoaveRedlichKwong || model == kCubicPengRobinson;
}

const CubicConstants* CubicConstantsOf(int model) {
  if (model < kCubicRedlichKwong || model > kCubicPengRobinson) return nullptr;
  return &kCubicRows[model - kCubicRedlichKwong];
}

double CubicAlpha(const CubicConstants& c, double tr, double acentric) {
  if (!c.soaveAlpha) return 1.0 / std::sqrt(tr);  // Redlich-Kwong: alpha = Tr^-1/2
  // Soave form: alpha = [1 + m (1 - Tr^1/2)]^2, m quadratic in omega.
  double m = c.m[0] + c.m[1] * acentric + c.m[2] * acentric * acentric;
  double root = 1.0 + m * (1.0 - std::sqrt(tr));
  return root * root;
}

double LiquidStartZ(double pr, double tr, double acentric) {
  // Generalized liquid z = z0(Pr, Tr) + omega z1(Pr, Tr), each A Pr^2 + B Pr + C.
  static const double kA0[7] = {0.4724261, -1.66662, 2.39284, -1.78767, 0.73108, -0.15645, 0.01328};
  static const double kB0[7] = {-5.35298, 17.31992, -21.48531, 11.93849,
                                -1.78693, -1.09225, 0.59151};
  static const double kC0Low[7] = {-1.204726, 4.8322682, -7.233893, 5.402399,
                                   -2.156026, 0.440211,  -0.036081};
  static const double kC0High[7] = {436.710923,  -2188.583871, 4578.032676, -5111.97261,
                                    3211.601025, -1075.72875,  150.005467};
  static const double kA1[7] = {-0.330207, -1.192037, -1.767846, 1.373018,
                                -0.590785, 0.136914,  -0.01316};
  static const double kB1[7] = {9.990764,  -40.974414, 69.858536, -63.326464,
                                32.195426, -8.6097,    0.840869};
  static const double kC1Low[7] = {-0.338157, -0.153932, 1.395387, -1.595365,
                                   0.793372,  -0.18786,  0.017328};
  static const double kC1High[7] = {18.369248,  -56.228952, 47.366183, 18.265648,
                                    -50.968889, 28.46784,   -5.304318};
  bool low = tr <= 0.7;
  double z0 = Poly6(kA0, tr) * pr * pr + Poly6(kB0, tr) * pr + Poly6(low ? kC0Low : kC0High, tr);
  double z1 = Poly6(kA1, tr) * pr * pr + Poly6(kB1, tr) * pr + Poly6(low ? kC1Low : kC1High, tr);
  return z0 + acentric * z1;
}

EosResult FluidModels::CompressibilityEOS(int model, double pcBar, double pBar, double tcK,
                                          double tK) {
  results_.z = 1.0;
  if (model < kVanDerWaals || model > kGeneralizedRedlichKwong) return {false, 1.0};
  if (!(pcBar > 0.0) || !(tcK > 0.0) || !(pBar > 0.0) || !(tK > 0.0)) return {false, 1.0};
  EosResult result = model == kGeneralizedRedlichKwong
                         ? GeneralizedRedlichKwongZ(pBar / pcBar, tK / tcK)
                         : VolumeIterationZ(model, pcBar, pBar, tcK, tK);
  results_.z = result.z;
  return result;
}

EosResult FluidModels::GeneralizedRedlichKwongZ(double pr, double tr) {
  // Z = 1/(1 - h) - 4.934/Tr^1.5 h/(1 + h), h = 0.08664 Pr/(Z Tr)
  BestIterate best;
  double z = 1.0;
  for (int i = 1; i <= kMaxSteps; ++i) {
    double h = 0.08664 * pr / (z * tr);
    double next = 1.0 / (1.0 - h) - 4.934 / std::pow(tr, 1.5) * h / (1.0 + h);
    double dz = RelativeChange(z, next);
    if (i == 1) best.Offer(1.0, dz);  // the start value is the first best
    if (next > 0.0 && dz < kEosTolerance) {
      results_.iterations = i;
      return {true, next};
    }
    best.Offer(next, dz);
    if (!std::isfinite(next)) break;
    z = next > 0.0 ? next : z * 10.0;
  }
  return {false, best.value};
}

EosResult FluidModels::VolumeIterationZ(int model, double pcBar, double pBar, double tcK,
                                        double tK) {
  const double r = gasConstant_;
  const double p = pBar * kPascalPerBar;
  const double pc = pcBar * kPascalPerBar;
  double b, a;
  if (model == kVanDerWaals) {
    b = r * tcK / 8.0 / pc;
    a = 27.0 * r * r * tcK * tcK / 64.0 / pc;
  } else {
    b = 0.08664 * r * tcK / pc;
    a = 0.42748 * r * r * std::pow(tcK, 2.5) / pc;
  }
  BestIterate best;
  double v = r * tK / p;  // molar volume [m3/mol]
  if (model == kVanDerWaals) best.Offer(v, 1.0);
  for (int i = 1; i <= kMaxSteps; ++i) {
    double next = model == kVanDerWaals
                      ? b + r * tK / (p + a / (v * v))  // V = b + RT/(P + a/V^2)
                      : r * tK / p + b - a * (v - b) / (std::sqrt(tK) * p * v * (v + b));  // RK
    double dv = RelativeChange(v, next);
    if (next > 0.0 && dv < kEosTolerance) return {true, p * next / (r * tK)};
    best.Offer(next, dv);
    if (!std::isfinite(next)) break;
    v = next > 0.0 ? next : v * 10.0;
  }
  return {false, p * best.value / (r * tK)};
}

bool FluidModels::ResidualsVirial(int model, double pcBar, double pBar, double tcK, double tK) {
  results_.HR = results_.SR = results_.GR = 0.0;
  double z = CompressibilityEOS(model, pcBar, pBar, tcK, tK).z;
  if (model <= kIdealGas) return true;
  if (!(pcBar > 0.0) || !(pBar > 0.0) || !(tcK > 0.0) || !(tK > 0.0)) return false;
  const double r = gasConstant_;
  const double tr = tK / tcK, pr = pBar / pcBar;
  // Pitzer second-virial correlation: B Pc/(R Tc) = B0 + omega B1.
  double b0 = 0.083 - 0.422 / std::pow(tr, 1.6);
  double db0 = 0.675 / std::pow(tr, 2.6);
  double b1 = 0.139 - 0.172 / std::pow(tr, 4.2);
  double db1 = 0.722 / std::pow(tr, 5.2);
  // The acentric factor that makes the virial z equal the model's z.
  double denominator = pr * b1 / tr;
  double omegaFit = denominator != 0.0 ? (z - (pr * b0 / tr + 1.0)) / denominator : kInfinity;
  if (std::fabs(omegaFit) <= kMaxFittedOmega) {
    results_.HR = pr * tcK * r * (b0 - tr * db0 + omegaFit * (b1 - tr * db1));
    results_.SR = -pr * r * (db0 + omegaFit * db1);
    results_.GR = results_.HR - tK * results_.SR;
    return true;
  }
  // Near Tr = 1.052 B1 vanishes and the fitted factor runs to infinity: HR and SR alone would
  // diverge although their combination GR = RT (z - 1) stays regular. The enthalpy takes the
  // bounded factor, GR keeps its exact value and SR follows from both.
  double bounded = std::isfinite(omegaFit) ? std::copysign(kMaxFittedOmega, omegaFit) : 0.0;
  results_.HR = pr * tcK * r * (b0 - tr * db0 + bounded * (b1 - tr * db1));
  results_.GR = r * tK * (z - 1.0);
  results_.SR = (results_.HR - results_.GR) / tK;
  return true;
}

void FluidModels::VapourRoot(const CubicConstants& c, double beta, double q) {
  // Fixed point of Z = 1 + beta - q beta (Z - beta) / ((Z + eps beta)(Z + sigma beta)).
  BestIterate best;
  double z = 1.0;
  results_.rootConverged = false;
  for (int i = 1; i <= kMaxSteps; ++i) {
    double next =
        1.0 + beta - q * beta * (z - beta) / ((z + c.epsilon * beta) * (z + c.sigma * beta));
    double dz = RelativeChange(z, next);
    if (next > 0.0 && dz < kVapourTolerance) {
      z = next;
      results_.rootConverged = true;
      break;
    }
    best.Offer(next, dz);
    if (!std::isfinite(next)) break;
    z = next;
  }
  results_.vapourZ = results_.rootConverged ? z : best.value;
}

double FluidModels::LiquidRoot(const CubicConstants& c, double beta, double q, double pr, double tr,
                               double acentric, double pcBar, double pBar, double tK) {
  // Fixed point of Z = beta + (Z + eps beta)(Z + sigma beta)(1 + beta - Z) / (q beta).
  double z0 = pr <= 0.29 ? 0.001 : LiquidStartZ(pr, tr, acentric);
  if (!(z0 > 0.0)) z0 = 0.001;
  BestIterate best;
  bool stopped = false;
  double z = z0;
  results_.rootConverged = false;
  results_.liquidZ = 0.0;
  results_.liquidVolume = 0.0;
  for (int i = 1; i <= kMaxSteps; ++i) {
    double next =
        beta + (z + c.epsilon * beta) * (z + c.sigma * beta) * (1.0 + beta - z) / (q * beta);
    if (next > pcBar * kPascalPerBar || !std::isfinite(next)) {  // diverging
      stopped = true;
      break;
    }
    double dz = RelativeChange(z, next);
    if (next > 0.0 && dz < kLiquidTolerance) {
      results_.rootConverged = true;
      results_.liquidZ = next;
      results_.iterations = i;
      results_.liquidVolume = tK * next * gasConstant_ / (pBar * kPascalPerBar);
      return next;
    }
    best.Offer(next, dz);
    z = next >= 0.0 ? next : 1.0 / i;
  }
  results_.liquidZ = stopped ? 0.0 : best.value;
  return z0;
}

bool FluidModels::CubicResiduals(const CubicConstants& c, double z, double tK, double beta,
                                 double q, double dLnAlpha) {
  if (!(z > 0.0)) return false;
  const double r = gasConstant_;
  // I = ln((Z + sigma beta) / (Z + eps beta)) / (sigma - eps)
  double ratio = (z + c.sigma * beta) / (z + c.epsilon * beta);
  double integral = ratio > 0.0 ? std::log(ratio) / (c.sigma - c.epsilon) : 0.0;
  // HR/RT = Z - 1 + (dln alpha/dln T - 1) q I;  SR/R = ln(Z - beta) + dln alpha/dln T q I
  results_.HR = tK * r * (z - 1.0 + (dLnAlpha - 1.0) * q * integral);
  results_.SR = z > beta ? r * (std::log(z - beta) + dLnAlpha * q * integral) : 0.0;
  results_.GR = results_.HR - tK * results_.SR;
  return true;
}

bool FluidModels::ResidualsCubic(int model, double pcBar, double pBar, double tcK, double tK,
                                 CubicRoot root, double acentric) {
  results_.HR = results_.SR = results_.GR = 0.0;
  if (model < 1) return true;
  const CubicConstants* c = CubicConstantsOf(model);
  if (c == nullptr) return false;
  if (!(pcBar > 0.0) || !(pBar > 0.0) || !(tcK > 0.0) || !(tK > 0.0)) return false;
  const double tr = tK / tcK, pr = pBar / pcBar;
  double alpha = CubicAlpha(*c, tr, acentric);
  // d ln alpha / d ln T by a central difference of 1 K.
  double tLow = tK - 1.0 < 1.0 ? tK : tK - 1.0;
  double alphaHigh = CubicAlpha(*c, (tK + 1.0) / tcK, acentric);
  double alphaLow = CubicAlpha(*c, tLow / tcK, acentric);
  double dLnAlpha = alphaHigh > 0.0 && alphaLow > 0.0 ? (std::log(alphaHigh) - std::log(alphaLow)) /
                                                            (std::log(tK + 1.0) - std::log(tLow))
                                                      : 0.0;
  double beta = c->omega * pr / tr;
  double q = c->psi * alpha / (c->omega * tr);
  double zForResiduals;
  if (root == CubicRoot::kVapour) {
    VapourRoot(*c, beta, q);
    zForResiduals = results_.rootConverged ? results_.vapourZ : 1.0;
  } else {
    zForResiduals = LiquidRoot(*c, beta, q, pr, tr, acentric, pcBar, pBar, tK);
  }
  return CubicResiduals(*c, zForResiduals, tK, beta, q, dLnAlpha);
}

double FluidModels::Compressibility(int model, double pcBar, double pBar, double tcK, double tK,
                                    std::optional<double> acentric) {
  if (FluidModelNeedsOmega(model) && !acentric) model = kGeneralizedRedlichKwong;
  if (CubicConstantsOf(model) != nullptr) {
    if (ResidualsCubic(model, pcBar, pBar, tcK, tK, CubicRoot::kVapour, acentric.value_or(0.0)) &&
        results_.vapourZ > 0.0)
      return results_.vapourZ;
    return 1.0;
  }
  EosResult eos = CompressibilityEOS(model, pcBar, pBar, tcK, tK);
  return eos.ok ? eos.z : 1.0;
}

}  // namespace ploxen
