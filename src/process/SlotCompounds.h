// The compound selection for one phase slot of the thermodynamic system window.
#pragma once

namespace ploxen {

class TCompoundsDlg;
class TEqlCalcWnd;

/// Opens the compound dialog on the grid of slot `slot` (1..8) in the slot's phase; 1, or 0
/// when the slot number is wrong or the dialog could not be filled (posted).
int OpenCompoundsForSlot(TCompoundsDlg& dialog, TEqlCalcWnd& calc, int slot);
/// After "OK": the choice goes into the slot's grid, whose names the dialog then remembers.
void AcceptCompoundsForSlot(TCompoundsDlg& dialog, TEqlCalcWnd& calc, int slot);

}  // namespace ploxen
