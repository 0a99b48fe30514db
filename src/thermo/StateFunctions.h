// State functions of a compound: Cp, H, S, G and z of one dataset at T and P.
#pragma once

#include "thermo/FluidModels.h"

namespace ploxen {

class PXDatabase;

/// Status of a state function evaluation.
enum StateStatus : int {
  kStateCannotExist = -2,   ///< condensed phase above its critical temperature
  kStateNotEvaluated = -1,  ///< no such record, or T <= 0, or P <= 0
  kStateIdeal = 0,          ///< without a fluid model
  kStateGasModel = 1,       ///< gas with a fluid model
  kStateLiquidCubic = 2,    ///< liquid with the liquid root of a cubic model
};

/// The state function record: result of one `StateFunctions` call, owned by the caller.
struct StateFunctionRecord {
  double z = 1.0;                   ///< compressibility factor, dimensionless
  double Cp = 0.0;                  ///< heat capacity [J/(mol K)]
  double H = 0.0;                   ///< enthalpy [J/mol]
  double S = 0.0;                   ///< entropy [J/(mol K)]
  double G = 0.0;                   ///< Gibbs energy [J/mol]
  double HR = 0.0;                  ///< residual enthalpy added by the fluid model [J/mol]
  double SR = 0.0;                  ///< residual entropy added by the fluid model [J/(mol K)]
  double GR = 0.0;                  ///< residual Gibbs energy added by the fluid model [J/mol]
  int status = kStateNotEvaluated;  ///< one of StateStatus
  bool extrapolated = false;  ///< T lies outside the dataset's range (values shown with "(ext.)")
};

/// Mark shown beside a value computed outside its dataset's temperature range.
inline constexpr const char* kExtrapolationMark = "(ext.)";

/// Text of field 19 that switches a dataset to the polynomial H-G form.
inline constexpr const char* kHgtMarker = "[<hgt>]";

/// Evaluates dataset `record` of `db` at P [bar] and T [K] with behaviour model 0..6 into `out`;
/// true when Cp, H, S and G were computed. `fluid` receives the fluid model's own results.
bool StateFunctions(const PXDatabase& db, FluidModels& fluid, int record, int model, double pBar,
                    double tK, StateFunctionRecord& out);

/// Same, with a fluid model scratch of its own using the database's gas constant.
bool StateFunctions(const PXDatabase& db, int record, int model, double pBar, double tK,
                    StateFunctionRecord& out);

}  // namespace ploxen
