// Amount texts of phase tables turned into moles, shared by the kernel input and the element
// balance so that both read a cell the same way.
#pragma once

#include <string>

namespace ploxen {

class Periodica;
class TTDynOprtWnd;
struct TDS;

/// Why an amount text gave no usable number of moles.
enum class AmountFault {
  kNone,            ///< converted
  kUnreadable,      ///< unit code 0: the text with its own unit cannot be converted
  kNotPlainNumber,  ///< unit code 1..7: the cell is not a plain number
  kNotConvertible,  ///< unit code 1..6: the number cannot be converted in that unit
  kNegative,        ///< converted, but less than zero (the value is still given)
};

/// Moles of one amount and whether they are usable.
struct AmountInput {
  double moles = 0.0;  ///< mol
  AmountFault fault = AmountFault::kNone;
};

/// Moles of the amount text `amount` of a column with unit code `unit` (0 mol, where the cell
/// may carry its own unit; 1..7 "[g]".."[Nm³]") for dataset `record`, which the caller has just
/// selected into TDS. An empty cell is 0 mol. Volumes at conditions use the effective pressure
/// `pressureBar` (P / z) and `temperatureK`; normal volumes use 273.15 K and 1.01325 bar.
AmountInput AmountTextToMoles(TTDynOprtWnd& thermo, const Periodica& elements,
                              const std::string& amount, int unit, int record,
                              const std::string& molDefinition, double pressureBar,
                              double temperatureK);

/// Gas compressibility factor of dataset `tds` at `pressureBar` and `temperatureK` with the
/// behaviour model in use; 1 when the model gives no usable value.
double DatasetCompressibility(const TTDynOprtWnd& thermo, const TDS& tds, double pressureBar,
                              double temperatureK);

}  // namespace ploxen
