// The compound selection for one phase slot: the slot's grid in, the choice back out.
#include "process/SlotCompounds.h"

#include "process/EqlCalcX.h"
#include "thermo/Compounds.h"

namespace ploxen {

int OpenCompoundsForSlot(TCompoundsDlg& dialog, TEqlCalcWnd& calc, int slot) {
  if (slot < 1 || slot > kSlotCount) return 0;
  TPhaseSlot& s = calc.slots[slot];
  s.grid.tag = slot;
  const std::string state = StateText(SlotKind(slot));  // "(g)", "(l)" or "(s)"
  dialog.celsius = calc.MnuTempC;
  const std::string name = s.sheetName.empty() ? DefaultTabCaption(slot) : s.sheetName;
  return dialog.OpenForPhase(name, &s.grid, state.substr(1, 1));
}

void AcceptCompoundsForSlot(TCompoundsDlg& dialog, TEqlCalcWnd& calc, int slot) {
  if (slot < 1 || slot > kSlotCount) return;
  StringGrid& grid = calc.slots[slot].grid;
  dialog.WriteBack(grid);
  grid.tag = slot;
  dialog.RememberNames(grid);
}

}  // namespace ploxen
