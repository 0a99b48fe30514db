// Phase slots of the thermodynamic system.
#include "process/PhaseSlot.h"

namespace ploxen {

PhaseKind SlotKind(int slot) {
  if (slot == 1 || slot == 2) return PhaseKind::kGas;
  if (slot >= 3 && slot <= 5) return PhaseKind::kLiquid;
  if (slot >= 6 && slot <= 8) return PhaseKind::kSolid;
  return PhaseKind::kNone;
}

std::string DefaultTabCaption(int slot) {
  static const char* const kCaptions[] = {"",        "GasPh.1", "GasPh.2", "LiqPh.1", "LiqPh.2",
                                          "LiqPh.3", "SolPh.1", "SolPh.2", "SolPh.3"};
  return (slot >= 1 && slot <= kSlotCount) ? kCaptions[slot] : std::string();
}

int FreeSlot(const PhaseSlots& slots, PhaseKind kind) {
  for (int k = 1; k <= kSlotCount; ++k) {
    if (SlotKind(k) == kind && !slots[k].occupied) return k;
  }
  return 0;
}

}  // namespace ploxen
