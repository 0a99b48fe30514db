// Phase slots of the thermodynamic system: eight slots (two gas, three liquid, three solid),
// each with the grid of one phase sheet and the units and selectors read from its headers.
#pragma once

#include <array>
#include <string>

#include "process/PhaseLayout.h"
#include "support/StringGrid.h"

namespace ploxen {

constexpr int kSlotCount = 8;     ///< slots 1..8
constexpr int kGridColumns = 11;  ///< A..H in 0..7, T(in) in 8, I and J in 9 and 10
constexpr int kGridTin = 8;       ///< the T(in) column of a slot grid
/// Value column of the state-function export: a grid gains it with the first export and loses
/// it again with the next reading of its sheet.
constexpr int kGridValue = 11;

/// Grid columns of a slot: sheet column c + 1 for A..H.
namespace gc {
constexpr int kName = 0, kInput = 1, kOutput = 2, kComposition = 3, kActivity = 4;
constexpr int kCoefficient = 5, kRelation = 6, kInfo = 7;
}  // namespace gc

/// Kind of phase slot 1..8: 1, 2 gas; 3..5 liquid; 6..8 solid.
PhaseKind SlotKind(int slot);
/// Tab caption of an empty slot: "GasPh.1" .. "SolPh.3".
std::string DefaultTabCaption(int slot);
/// True for the gas slots 1 and 2.
inline bool IsGasSlot(int slot) {
  return slot == 1 || slot == 2;
}

/// One phase slot and its grid (row 0 headers, row k compound k).
struct TPhaseSlot {
  StringGrid grid{kGridColumns, 2};
  bool occupied = false;   ///< a sheet was placed here by the last reading
  std::string sheetName;   ///< the sheet, also the tab caption while occupied
  int sheetIndex = 0;      ///< 1-based index of the sheet in the book
  std::string tabCaption;  ///< caption of the tab
  bool tabVisible = false;
  int inputUnit = 0;   ///< unit code of B1
  int outputUnit = 0;  ///< unit code of C1
  CompositionKind composition = CompositionKind::kMoleFraction;
  std::array<PropertySelector, 2> properties{};  ///< I and J
  int compoundCount = 0;                         ///< compounds handed to the kernel
  int firstCompound = 1;                         ///< kernel index of the slot's first compound
  double massTotal = 0.0;                        ///< [g] of the last results
  double fugacitySum = 0.0;                      ///< [bar], gas slots

  /// Number of compound rows of the grid.
  int Rows() const { return grid.RowCount() - 1; }
};

/// The eight slots, indexed 1..8 (entry 0 unused).
using PhaseSlots = std::array<TPhaseSlot, kSlotCount + 1>;

/// Lowest free slot of a kind; 0 when none is free.
int FreeSlot(const PhaseSlots& slots, PhaseKind kind);

}  // namespace ploxen
