// The "State Functions and Properties" dialog as a model: one property or dataset text of every
// compound of the phase sheets, written into a chosen sheet column.
#pragma once

#include <string>
#include <vector>

#include "workbook/XlsObj.h"

namespace ploxen {

class TEqlCalcWnd;

/// What the export can write, numbered as the entries of the dialog's function list.
enum StateFunctionKind : int {
  kSfMolWeight = 1,
  kSfHeatCapacity,
  kSfEnthalpy,
  kSfEntropy,
  kSfGibbs,
  kSfCompressibility,
  kSfCriticalTemperature,
  kSfCriticalPressure,
  kSfAcentricFactor,
  kSfMolDefinition,
  kSfDescription,
  kSfReference,
  kSfCreated,
  kSfComments,
  kSfLast = kSfComments,
};

/// Entry of the function list for function 1..14; empty outside.
std::string StateFunctionEntry(int function);
/// Units offered for a function (empty for the dataset texts and the acentric factor).
std::vector<std::string> StateFunctionUnits(int function);
/// Index of the unit preselected for a function; -1 when it offers none.
int StateFunctionDefaultUnit(int function);
/// Column header of a function in unit `unit` (an index into its units; the default unit when
/// the index is not one of them), e.g. "H [kJ/kg]".
std::string StateFunctionHeader(int function, int unit);
/// True for Cp, H, S, G and z, which depend on the temperature and pressure of the system.
bool IsStateDependent(int function);

/// Model of the dialog ("State Functions and Properties").
class TSetStFnDlg {
 public:
  static constexpr const char* kCaption = "State Functions and Properties";

  explicit TSetStFnDlg(TEqlCalcWnd& calc);

  // ---- Controls as plain data ----
  ComboList CbxC;    ///< "Column in Sheets": "I".."Z" (sheet columns 9..26)
  ComboList CbxF;    ///< "Function / Data": the fourteen entries
  ComboList CbxDim;  ///< "Dimension": the units of the selected function
  bool CbxDimEnabled = true;
  std::string BtnSetCaption = "Set ";
  std::string StatusText;  ///< the last progress text shown

  /// Condition sheet selected in the main window; the export works on it.
  std::string conditionSheet;

  /// Refills CbxDim with the units of the selected function and preselects its default.
  void CbxFChange();
  /// "Set ": reads the condition sheet and its phase sheets, computes the selected function and
  /// writes the value column into the chosen sheet column of every phase sheet. 1 when written;
  /// 0 when ignored (busy) or stopped (a message says why).
  int BtnSetClick();
  /// Sheet column (9..26) chosen in CbxC.
  int TargetColumn() const;

 private:
  void Progress(const std::string& text);
  bool WriteValueColumns();

  TEqlCalcWnd& calc_;
};

}  // namespace ploxen
