// State functions of a compound from its dataset: heat-capacity or H-G form, plus the residual
// parts of the chosen fluid behaviour model.
#include "thermo/StateFunctions.h"

#include <cmath>

#include "chem/PTools.h"
#include "thermo/PXDatabase.h"

namespace ploxen {
namespace {

/// Residual parts and z from the fluid model for a gas or a liquid; sets the status.
void ApplyFluidModel(const PXDatabase& db, FluidModels& fluid, int r, int model, double pBar,
                     double tK, StateFunctionRecord& out, double residual[3]) {
  std::string_view phase = db.Field(r, kFieldPhase);
  const double tc = db.Number(r, kFieldTc), pc = db.Number(r, kFieldPc);
  double omega = 0.0;
  const bool hasOmega = TryTextToFloat(db.Field(r, kFieldOmega), omega);
  if (!hasOmega) omega = 0.0;
  // Models whose temperature function needs an acentric factor fall back to model 3.
  if (!hasOmega && FluidModelNeedsOmega(model)) model = kGeneralizedRedlichKwong;
  const bool cubic = CubicConstantsOf(model) != nullptr;
  const FluidResults& fr = fluid.Results();
  if (phase == "(g)" && tc > 0.0 && pc > 0.0 && model > kIdealGas) {
    bool ok = cubic ? fluid.ResidualsCubic(model, pc, pBar, tc, tK, CubicRoot::kVapour, omega)
                    : fluid.ResidualsVirial(model, pc, pBar, tc, tK);
    if (ok) out.status = kStateGasModel;
    double z = cubic ? fr.vapourZ : fr.z;
    if (z > 0.0) out.z = z;  // a gas never gets a non-positive z
  } else if (phase == "(l)" && tc > 0.0 && pc > 0.0 && cubic) {
    if (fluid.ResidualsCubic(model, pc, pBar, tc, tK, CubicRoot::kLiquid, omega))
      out.status = kStateLiquidCubic;
    out.z = fr.liquidZ;
  } else {
    return;
  }
  residual[0] = fr.HR;
  residual[1] = fr.SR;
  residual[2] = fr.GR;
}

/// Cp, H, S and G of the H-G form: H = h0 + h1 T + h2 T^2, G = g0 + g1 T + g2 T^2.
void HgForm(const PXDatabase& db, int r, double tK, StateFunctionRecord& out) {
  double h0 = db.Number(r, kFieldA), h1 = db.Number(r, kFieldA + 1), h2 = db.Number(r, kFieldA + 2);
  double g0 = db.Number(r, kFieldA + 3), g1 = db.Number(r, kFieldA + 4);
  double g2 = db.Number(r, kFieldA + 5);
  out.Cp = h1 + 2.0 * h2 * tK;
  out.H = h0 + h1 * tK + h2 * tK * tK;
  out.G = g0 + g1 * tK + g2 * tK * tK;
  out.S = (out.H - out.G) / tK;
}

/// Cp, H and S of the heat-capacity form Cp = a + b'T + c'/T^2 + d'T^2 + e'/T^3 + f'T^3.
void HeatCapacityForm(const PXDatabase& db, int r, double t, StateFunctionRecord& out) {
  const double t0 = db.Number(r, kFieldT0);
  const double a = db.Number(r, kFieldA);
  const double b = db.Number(r, kFieldA + 1) / 1000.0;
  const double c = db.Number(r, kFieldA + 2) * 1e6;
  const double d = db.Number(r, kFieldA + 3) * 1e-6;
  const double e = db.Number(r, kFieldA + 4) * 1e9;
  const double f = db.Number(r, kFieldA + 5) * 1e-9;
  out.Cp = a + b * t + c / (t * t) + d * t * t + e / (t * t * t) + f * t * t * t;
  // H = H0 + integral of Cp dT, S = S0 + integral of Cp/T dT, both from T0 to T.
  out.H = db.Number(r, kFieldH0) + a * (t - t0) + b * (t * t - t0 * t0) / 2.0 -
          c * (1.0 / t - 1.0 / t0) + d * (t * t * t - t0 * t0 * t0) / 3.0 -
          e * (1.0 / (t * t) - 1.0 / (t0 * t0)) / 2.0 +
          f * (t * t * t * t - t0 * t0 * t0 * t0) / 4.0;
  out.S = db.Number(r, kFieldS0) + a * std::log(t / t0) + b * (t - t0) -
          c * (1.0 / (t * t) - 1.0 / (t0 * t0)) / 2.0 + d * (t * t - t0 * t0) / 2.0 -
          e * (1.0 / (t * t * t) - 1.0 / (t0 * t0 * t0)) / 3.0 +
          f * (t * t * t - t0 * t0 * t0) / 3.0;
}

}  // namespace

bool StateFunctions(const PXDatabase& db, FluidModels& fluid, int record, int model, double pBar,
                    double tK, StateFunctionRecord& out) {
  double residual[3] = {0.0, 0.0, 0.0};  // HR, SR, GR
  const bool valid = record >= 0 && record < db.RecordCount() && tK > 0.0 && pBar > 0.0;
  const bool hgForm = valid && db.Field(record, kFieldReferences).starts_with(kHgtMarker);
  // The heat-capacity form integrates from T0, so a dataset without T0 cannot be evaluated.
  if (!valid || (!hgForm && !(db.Number(record, kFieldT0) > 0.0))) {
    out.status = kStateNotEvaluated;
    out.Cp = out.H = out.S = out.G = 0.0;
    return false;
  }
  out.status = kStateIdeal;
  out.z = 1.0;
  out.extrapolated = tK < db.Number(record, kFieldTmin) || tK > db.Number(record, kFieldTmax);
  if (model < kIdealGas || model >= kFluidModelCount) model = kIdealGas;
  fluid.SetGasConstant(db.GasConstant());

  std::string_view phase = db.Field(record, kFieldPhase);
  const double tc = db.Number(record, kFieldTc), pc = db.Number(record, kFieldPc);
  const bool condensed = phase == "(l)" || phase == "(s)";
  if (condensed && tc > 0.0 && pc > 0.0 && tK > tc) {  // cannot exist above its critical point
    out.status = kStateCannotExist;
    out.Cp = out.H = out.S = out.G = 0.0;
    return false;
  }
  ApplyFluidModel(db, fluid, record, model, pBar, tK, out, residual);
  out.HR = residual[0];
  out.SR = residual[1];
  out.GR = residual[2];

  if (hgForm) {
    HgForm(db, record, tK, out);
    return true;
  }
  HeatCapacityForm(db, record, tK, out);
  if (phase == "(g)") out.S -= db.GasConstant() * std::log(pBar);  // standard state 1 bar
  out.G = out.H - tK * out.S;
  out.H += out.HR;
  out.S += out.SR;
  out.G += out.GR;
  return true;
}

bool StateFunctions(const PXDatabase& db, int record, int model, double pBar, double tK,
                    StateFunctionRecord& out) {
  FluidModels fluid(db.GasConstant());
  return StateFunctions(db, fluid, record, model, pBar, tK, out);
}

}  // namespace ploxen
