// Amount texts of phase tables turned into moles.
#include "process/AmountInput.h"

#include <cmath>
#include <optional>

#include "chem/PTools.h"
#include "process/PhaseLayout.h"
#include "thermo/FluidModels.h"
#include "thermo/TDynOprt.h"

namespace ploxen {

namespace {

constexpr int kNormalVolumeUnit = 7;  // "[Nm³]"

AmountInput Checked(double moles) {
  AmountInput a;
  a.moles = moles;
  if (!(moles >= 0.0) || !std::isfinite(moles)) a.fault = AmountFault::kNegative;
  return a;
}

}  // namespace

AmountInput AmountTextToMoles(TTDynOprtWnd& thermo, const Periodica& elements,
                              const std::string& amount, int unit, int record,
                              const std::string& molDefinition, double pressureBar,
                              double temperatureK) {
  AmountInput a;
  if (amount.empty()) return a;
  // A normal volume is defined at normal conditions, whatever the system's pressure.
  if (unit == 0 && amount.find(" Nm") != std::string::npos) {
    return Checked(thermo.NormalVolumeMoles(amount, record));
  }
  if (unit != 0 && !IsFloatText(amount)) {
    a.fault = AmountFault::kNotPlainNumber;
    return a;
  }
  if (unit == kNormalVolumeUnit) {
    return Checked(thermo.NormalVolumeMoles(amount + " " + UnitName(unit), record));
  }
  const std::string text = unit == 0 ? amount : amount + UnitName(unit);
  const AmountResult r = AmountToMoles(text, molDefinition, pressureBar, temperatureK, elements,
                                       thermo.Database().GasConstant());
  if (!r.ok) {
    a.fault = unit == 0 ? AmountFault::kUnreadable : AmountFault::kNotConvertible;
    return a;
  }
  return Checked(r.moles);
}

double DatasetCompressibility(const TTDynOprtWnd& thermo, const TDS& tds, double pressureBar,
                              double temperatureK) {
  FluidModels fluid(thermo.Database().GasConstant());
  const std::optional<double> omega =
      tds.omega != 0.0 ? std::optional<double>(tds.omega) : std::nullopt;
  const double z =
      fluid.Compressibility(thermo.Model(), tds.Pc, pressureBar, tds.Tc, temperatureK, omega);
  return z > 0.0 && std::isfinite(z) ? z : 1.0;
}

}  // namespace ploxen
