// Fluid behaviour models: compressibility factor and residual enthalpy, entropy and Gibbs energy.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "chem/PTools.h"

namespace ploxen {

/// Behaviour models by their index in the list "Behaviour of Fluids".
enum FluidModel : int {
  kIdealGas = 0,
  kVanDerWaals = 1,
  kRedlichKwong = 2,
  kGeneralizedRedlichKwong = 3,
  kCubicRedlichKwong = 4,
  kCubicSoaveRedlichKwong = 5,
  kCubicPengRobinson = 6,
};

constexpr int kFluidModelCount = 7;
constexpr int kDefaultFluidModel = kGeneralizedRedlichKwong;

/// List text of a model index 0..6; empty for any other index.
std::string FluidModelText(int model);

/// True for the models whose temperature function needs an acentric factor (5 and 6).
bool FluidModelNeedsOmega(int model);

/// Which root of the cubic equation of state is wanted.
enum class CubicRoot { kVapour, kLiquid };

/// Constants of the generic cubic equation of state
/// P = RT/(V - b) - a(T) / ((V + eps b)(V + sigma b)), a = Psi alpha R^2 Tc^2/Pc, b = Omega R
/// Tc/Pc.
struct CubicConstants {
  double sigma = 0.0;    ///< dimensionless
  double epsilon = 0.0;  ///< dimensionless
  double omega = 0.0;    ///< Omega of b, dimensionless
  double psi = 0.0;      ///< Psi of a, dimensionless
  /// alpha(Tr) = Tr^-1/2 when false; [1 + m (1 - Tr^1/2)]^2 with m = m0 + m1 w + m2 w^2 when true.
  bool soaveAlpha = false;
  std::array<double, 3> m{};  ///< m0, m1, m2 of the Soave-type alpha
};

/// Row of constants of cubic model 4, 5 or 6; nullptr for any other index.
const CubicConstants* CubicConstantsOf(int model);

/// alpha(Tr) of a cubic model row for acentric factor `acentric`.
double CubicAlpha(const CubicConstants& constants, double tr, double acentric);

/// Estimate of a liquid compressibility factor from reduced pressure, temperature and omega.
double LiquidStartZ(double pr, double tr, double acentric);

/// Outcome of `CompressibilityEOS`.
struct EosResult {
  bool ok = false;  ///< true when the z iteration converged
  double z = 1.0;   ///< compressibility factor, dimensionless
};

/// Results of the last call of any model function, overwritten by each call.
struct FluidResults {
  double z = 1.0;              ///< z of models 1 to 3, dimensionless
  double vapourZ = 0.0;        ///< vapour root of the cubic, dimensionless
  double liquidZ = 0.0;        ///< liquid root of the cubic (0 after a stopped iteration)
  double liquidVolume = 0.0;   ///< liquid molar volume [m3/mol], 0 when the root did not converge
  double HR = 0.0;             ///< residual enthalpy [J/mol]
  double SR = 0.0;             ///< residual entropy [J/(mol K)]
  double GR = 0.0;             ///< residual Gibbs energy [J/mol]
  int iterations = 0;          ///< steps of the last converged z iteration (models 3, liquid root)
  bool rootConverged = false;  ///< the last cubic root iteration converged
};

/// The seven fluid behaviour models. Holds the data-side gas constant and the results of the
/// last call; cheap to create, no allocation.
class FluidModels {
 public:
  explicit FluidModels(double gasConstant = kGasConstant) : gasConstant_(gasConstant) {}

  double GasConstant() const { return gasConstant_; }  ///< J/(mol K)
  void SetGasConstant(double r) { gasConstant_ = r; }  ///< J/(mol K)
  const FluidResults& Results() const { return results_; }

  /// z of models 1 to 3 at P [bar], T [K] for Tc [K], Pc [bar]; not ok (z = 1) for other models.
  EosResult CompressibilityEOS(int model, double pcBar, double pBar, double tcK, double tK);

  /// z of models 0 to 3 plus residual parts from the generalized second-virial correlation.
  bool ResidualsVirial(int model, double pcBar, double pBar, double tcK, double tK);

  /// Vapour or liquid root of cubic model 4 to 6 plus its residual parts.
  bool ResidualsCubic(int model, double pcBar, double pBar, double tcK, double tK, CubicRoot root,
                      double acentric);

  /// Gas-phase z for volume conversions: cubic vapour root, model 1-3 z when converged, else 1.
  /// Models 5 and 6 without an acentric factor are computed with model 3.
  double Compressibility(int model, double pcBar, double pBar, double tcK, double tK,
                         std::optional<double> acentric);

 private:
  EosResult GeneralizedRedlichKwongZ(double pr, double tr);
  EosResult VolumeIterationZ(int model, double pcBar, double pBar, double tcK, double tK);
  bool CubicResiduals(const CubicConstants& c, double z, double tK, double beta, double q,
                      double dLnAlpha);
  void VapourRoot(const CubicConstants& c, double beta, double q);
  double LiquidRoot(const CubicConstants& c, double beta, double q, double pr, double tr,
                    double acentric, double pcBar, double pBar, double tK);

  double gasConstant_;
  FluidResults results_;
};

}  // namespace ploxen
