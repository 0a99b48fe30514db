// Opening the element balance table from the thermodynamic system window.
#pragma once

namespace ploxen {

class TElBalanceDlg;
class TEqlCalcWnd;

/// The system window's "Elementar Balance": hands the window's temperature [K], pressures and
/// occupied phase slots to the dialog, fills its element box and marks it open.
void OpenElementBalance(const TEqlCalcWnd& calc, TElBalanceDlg& dialog);

}  // namespace ploxen
