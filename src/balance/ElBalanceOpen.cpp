// Opening the element balance table from the thermodynamic system window.
#include "balance/ElBalanceOpen.h"

#include "balance/ElBalance.h"
#include "chem/PTools.h"
#include "process/EqlCalcX.h"

namespace ploxen {

namespace {

constexpr double kCelsiusOffsetK = 273.15;

// Copies name, input and output columns of a slot grid.
void CopyTable(const StringGrid& from, StringGrid& to) {
  to.Resize(3, from.RowCount());
  for (int r = 0; r < from.RowCount(); ++r) {
    for (int c = 0; c < 3; ++c) to.SetCell(c, r, from.Cell(c, r));
  }
}

}  // namespace

void OpenElementBalance(const TEqlCalcWnd& calc, TElBalanceDlg& dialog) {
  const double tK = calc.TemperatureFieldValue() + (calc.MnuTempC ? kCelsiusOffsetK : 0.0);
  // In constant-volume mode the field holds the volume; the window's pressure stands in.
  const double pBar =
      calc.CbxPV == 0 ? TextToFloat(calc.EditPVsys) : static_cast<double>(calc.pressureBar);
  dialog.SetBalanceConditions(tK, calc.slots[1].fugacitySum, calc.slots[2].fugacitySum, pBar);
  for (int k = 1; k <= kSlotCount; ++k) {
    const TPhaseSlot& slot = calc.slots[k];
    BalanceSource& source = dialog.sources[k];
    source.inUse = slot.occupied;
    source.caption = slot.occupied ? slot.sheetName : std::string();
    source.inputUnit = slot.inputUnit;
    source.outputUnit = slot.outputUnit;
    if (slot.occupied) {
      CopyTable(slot.grid, source.table);
    } else {
      source.table = StringGrid(3, 2);
    }
  }
  dialog.OpenTable(calc.elementFlags);
  dialog.open = true;
}

}  // namespace ploxen
