// The phase-grid commands of the thermodynamic system window on its model: units, sorts, the
// fixed column, removing compounds, bounded pastes, the selection and the element selection.
#include <cmath>

#include <gtest/gtest.h>

#include "ProcessFixture.h"
#include "chem/PTools.h"

namespace ploxen::test {
namespace {

class SystemCommands : public ProcessFixture {
 protected:
  SystemCommands() : table(dialogs) {}

  /// Reads a condition sheet with the combustion gas and liquid water into the slots.
  void ReadCombustion() {
    AddConditionSheet({"gas", "water"}, "1000", "1");
    AddCombustionGas();
    AddPhaseSheet("water", "(l)", {{"H2O", ""}});
    ASSERT_TRUE(calc.ReadConditionSheet());
    for (int k = 1; k <= kSlotCount; ++k) {
      if (calc.slots[k].occupied) calc.ReadPhaseSheet(calc.slots[k].sheetIndex, k);
    }
  }
  /// Slot 1 holding the given names and output values.
  StringGrid& GasGrid(const std::vector<std::pair<std::string, std::string>>& rows) {
    StringGrid& g = calc.slots[1].grid;
    g.SetRowCount(static_cast<int>(rows.size()) + 1);
    g.SetCell(gc::kName, 0, "(g)");
    g.SetCell(gc::kOutput, 0, "Out [mol]");
    for (size_t i = 0; i < rows.size(); ++i) {
      g.SetCell(gc::kName, static_cast<int>(i) + 1, rows[i].first);
      g.SetCell(gc::kOutput, static_cast<int>(i) + 1, rows[i].second);
    }
    return g;
  }
  std::vector<std::string> Column(int column) const {
    std::vector<std::string> cells;
    const StringGrid& g = calc.slots[1].grid;
    for (int r = 1; r < g.RowCount(); ++r) cells.push_back(g.Cell(column, r));
    return cells;
  }
  int Selected() const {
    int n = 0;
    for (std::uint8_t f : calc.elementFlags) n += f != 0 ? 1 : 0;
    return n;
  }

  TTablOprtWnd table;
};

TEST_F(SystemCommands, DimensionInChangesHeaderAndUnitButNotTheValues) {
  AddConditionSheet({"gas"}, "25", "1");
  AddPhaseSheet("gas", "(g)", {{"N2", "28.0134"}});
  ASSERT_TRUE(calc.ReadConditionSheet());
  calc.ReadPhaseSheet(calc.slots[1].sheetIndex, 1);
  calc.PopDimIn(1, 2);
  EXPECT_EQ(calc.slots[1].grid.Cell(gc::kInput, 0), "In [kg]");
  EXPECT_EQ(calc.slots[1].inputUnit, 2);
  EXPECT_EQ(calc.slots[1].grid.Cell(gc::kInput, 1), "28.0134");
  calc.PopDimOut(1, 7);
  EXPECT_EQ(calc.slots[1].grid.Cell(gc::kOutput, 0), "Out [Nm3]");
  EXPECT_EQ(calc.slots[1].outputUnit, 7);
  // The next window run reads the same number in the new unit: 28.0134 g of N2 is one mole.
  calc.PopDimIn(1, 1);
  calc.PopDimOut(1, 0);
  calc.CalcButton();
  ASSERT_TRUE(calc.calculationOk) << calc.failureText;
  EXPECT_NEAR(TextToFloat(calc.slots[1].grid.Cell(gc::kOutput, 1)), 1.0, 1e-4);
  // Unknown units and slots change nothing.
  calc.PopDimIn(1, 8);
  calc.PopDimIn(9, 1);
  EXPECT_EQ(calc.slots[1].inputUnit, 1);
}

TEST_F(SystemCommands, SortsByOutputGreatestFirstAndByNameIgnoringCase) {
  GasGrid({{"b", "2"}, {"A", "abc"}, {"a", "5"}, {"c", "1e1"}});
  calc.SortBy(1, gc::kOutput, table);
  EXPECT_EQ(Column(gc::kName), (std::vector<std::string>{"c", "a", "b", "A"}));  // text is 0
  calc.SortBy(1, gc::kName, table);
  EXPECT_EQ(Column(gc::kName), (std::vector<std::string>{"a", "A", "b", "c"}));  // stable
  EXPECT_EQ(calc.slots[1].grid.Cell(gc::kName, 0), "(g)");                       // headers stay
  calc.PopDimIn(1, 3);
  EXPECT_EQ(calc.SortHeaders(1)[0], "In [lb]");
  EXPECT_EQ(calc.SortHeaders(1)[1], "Out [mol]");
}

TEST_F(SystemCommands, FixColTogglesTheNameColumnAndResetsTheCurrentColumn) {
  StringGrid& g = GasGrid({{"CO", "1"}});
  g.col = 4;
  calc.FixCol(1);
  EXPECT_EQ(g.fixedCols, 0);
  EXPECT_EQ(g.col, 1);
  calc.FixCol(1);
  EXPECT_EQ(g.fixedCols, 1);
}

TEST_F(SystemCommands, RemoveFromSystemAsksWithFirstAndLastNameAndObeysTheAnswer) {
  StringGrid& g =
      GasGrid({{"N2", "1"}, {"O2", "2"}, {"CO", "3"}, {"CO2", "4"}, {"H2O", "5"}, {"H2", "6"}});
  int refreshed = 0;
  calc.onCompoundsChanged = [&](int slot) { refreshed += slot; };
  g.selection = {1, 3, 2, 5};
  dialogs.QueueAnswer(kAnswerNo);
  EXPECT_EQ(calc.RemoveFromSystem(1, dialogs), 0);
  ASSERT_EQ(dialogs.Requests().size(), 1u);
  EXPECT_EQ(dialogs.Requests()[0].text, "Remove from system  CO  .. H2O ?");
  EXPECT_EQ(dialogs.Requests()[0].title, "Equilibrium");
  EXPECT_EQ(g.RowCount(), 7);
  EXPECT_EQ(refreshed, 0);

  dialogs.QueueAnswer(kAnswerYes);
  EXPECT_EQ(calc.RemoveFromSystem(1, dialogs), 3);
  EXPECT_EQ(Column(gc::kName), (std::vector<std::string>{"N2", "O2", "H2"}));
  EXPECT_EQ(Column(gc::kOutput), (std::vector<std::string>{"1", "2", "6"}));
  EXPECT_EQ(refreshed, 1);

  // One row names it alone; the last compound leaves an empty row that a run skips.
  g.selection = {1, 1, 1, 3};
  dialogs.QueueAnswer(kAnswerYes);
  EXPECT_EQ(calc.RemoveFromSystem(1, dialogs), 3);
  EXPECT_EQ(g.RowCount(), 2);
  EXPECT_EQ(g.Cell(gc::kName, 1), "");
  GasGrid({{"Ar", "1"}});
  g.selection = {1, 0, 1, 0};  // the header row counts as row 1
  dialogs.QueueAnswer(kAnswerNo);
  calc.RemoveFromSystem(1, dialogs);
  EXPECT_EQ(dialogs.Requests().back().text, "Remove from system  Ar ?");
}

TEST_F(SystemCommands, PasteRefusesTextBeyondTheKernelsCapacityAndKeepsTheGrid) {
  StringGrid& g = GasGrid({{"N2", "1"}});
  int refreshed = 0;
  calc.onCompoundsChanged = [&](int) { ++refreshed; };
  g.selection = {1, 1, 1, 1};
  std::string many;
  for (int i = 0; i < TEqlCalcWnd::kMaxPastedRows; ++i) many += "1\r\n";
  EXPECT_EQ(calc.PasteIntoGrid(1, table, many), 0);
  EXPECT_TRUE(Posted(2361));
  EXPECT_EQ(g.RowCount(), 2);
  EXPECT_EQ(g.Cell(gc::kInput, 1), "");
  EXPECT_EQ(calc.PasteIntoGrid(1, table, std::string(TEqlCalcWnd::kMaxPastedCell + 1, 'x')), 0);
  EXPECT_EQ(CountPosted(2361), 2);
  EXPECT_EQ(refreshed, 0);
  // Without text the user is told so; a fitting text lands at the selected cell.
  EXPECT_EQ(calc.PasteIntoGrid(1, table, std::nullopt), 0);
  EXPECT_EQ(dialogs.Requests().back().text, "Unknown format in clipboard");
  many.resize(many.size() - 3);  // one line fewer: 2048 compounds, as many as the kernel takes
  EXPECT_EQ(calc.PasteIntoGrid(1, table, many), TEqlCalcWnd::kMaxPastedRows - 1);
  EXPECT_EQ(g.RowCount(), TEqlCalcWnd::kMaxPastedRows);
  EXPECT_EQ(g.Cell(gc::kName, 1), "N2");
  EXPECT_EQ(refreshed, 1);
}

TEST_F(SystemCommands, SelectionWritesStatusPanelsAndCtrlPressGrowsTheRectangle) {
  StringGrid& g = GasGrid({{"N2", "1"}, {"O2", "2"}, {"CO", "3"}});
  EXPECT_FALSE(calc.SelectCell(1, 0, 1));
  EXPECT_FALSE(calc.SelectCell(1, 1, 0));
  ASSERT_TRUE(calc.SelectCell(1, 2, 3));
  EXPECT_EQ(calc.StatusPanel0, "2: 3");
  EXPECT_EQ(calc.StatusPanel1, "Out [mol]");
  EXPECT_EQ(calc.StatusPanel2, "CO");
  EXPECT_FALSE(calc.GridMouseDown(1, 4, 1, false));  // plain presses belong to the grid
  ASSERT_TRUE(calc.GridMouseDown(1, 1, 1, true));
  EXPECT_EQ(g.selection.left, 1);
  EXPECT_EQ(g.selection.top, 1);
  EXPECT_EQ(g.selection.right, 2);
  EXPECT_EQ(g.selection.bottom, 3);
  ASSERT_TRUE(calc.GridMouseDown(1, 0, 0, true));
  EXPECT_EQ(g.selection.left, 0);
  EXPECT_EQ(g.selection.right, kGridColumns - 1);
  EXPECT_EQ(g.selection.bottom, 0);
  EXPECT_FALSE(calc.GridMouseDown(1, 5, 9, true));  // outside the grid
}

TEST_F(SystemCommands, ElementsComeFromTheCompoundsOfThePhaseSheetsOnlyOnce) {
  ReadCombustion();
  EXPECT_EQ(calc.AutoSelectElements(), 4);
  for (const char* symbol : {"C", "H", "O", "N"}) {
    EXPECT_NE(calc.elementFlags[elements.FindSymbol(symbol)], 0) << symbol;
  }
  EXPECT_EQ(Selected(), 4);
  // With an element selected already the selection is the user's and stays as it is.
  std::fill(calc.elementFlags.begin(), calc.elementFlags.end(), 0);
  calc.elementFlags[elements.FindSymbol("Fe")] = 1;
  EXPECT_EQ(calc.AutoSelectElements(), 0);
  EXPECT_EQ(Selected(), 1);
}

}  // namespace
}  // namespace ploxen::test
