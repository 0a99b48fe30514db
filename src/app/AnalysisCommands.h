// The main window's commands that open the analysis windows: state functions and the element
// balance workbook.
#pragma once

namespace ploxen {

class TPloxen;

/// "State Functions": true when its window may open, i.e. no calculation runs and the selected
/// sheet is a condition sheet; the dialog then works on that sheet.
bool PrepareStateFunctions(TPloxen& p);
/// "Element Balance": hands the selected book and condition sheet to the balance dialog,
/// prepares its element list and reads the system as the dialog's initialisation. True when
/// the dialog may open (false only while a calculation runs).
bool PrepareElementBalance(TPloxen& p);

}  // namespace ploxen
