// The element balance grids: element box, highlighted column pair, sorts that keep the "Sum"
// row last, copy, keys and the status panel layout.
#include <gtest/gtest.h>

#include "BalanceFixture.h"

namespace ploxen::test {
namespace {

class BalanceGrids : public BalanceFixture {
 protected:
  void SetUp() override {
    Source(1, "gas", {{"CO", "3", "1"}, {"CH4", "1", "4"}, {"co2", "2", "2"}, {"N2", "9", "9"}});
    Source(6, "sol", {{"C", "5", "3"}});
    // "co2" is not a compound of the database and N2 has no carbon: listed with 0 amounts.
    dlg.CbxAllComp = true;
    Open({"C", "H", "O", "N"}, "C");
    dlg.ButtonUpdate();
    log.Clear();
  }
};

TEST_F(BalanceGrids, ElementBoxIsSortedAndSelectsTheFirst) {
  Open({"O", "Cl", "H", "E", "C"}, "");
  EXPECT_EQ(dlg.CBE, (std::vector<std::string>{"C", "Cl", "E", "H", "O"}));
  EXPECT_EQ(dlg.CBEIndex, 0);
  EXPECT_EQ(dlg.Grid(1).RowCount(), 2);  // opening clears the tables

  Open({}, "");
  EXPECT_EQ(dlg.CBEIndex, -1);
  dlg.ButtonUpdate();  // no element: nothing is built
  EXPECT_EQ(dlg.Grid(1).RowCount(), 2);
  EXPECT_EQ(dlg.StatusPanels[0], "In:9[mol]");
}

TEST_F(BalanceGrids, SelectedColumnHighlightsItsInOutPair) {
  EXPECT_EQ(dlg.Grid(1).row, 5);  // building selects the last row
  const int before = dlg.RepaintCount();
  dlg.SelectCell(1, 3, 2);
  EXPECT_EQ(dlg.HighlightLeft(), 3);
  EXPECT_EQ(dlg.HighlightRight(), 7);
  EXPECT_EQ(dlg.RepaintCount(), before + 1);
  dlg.SelectCell(6, 7, 1);  // same pair from the other side: no repaint
  EXPECT_EQ(dlg.RepaintCount(), before + 1);
  dlg.SelectCell(6, 0, 1);
  EXPECT_EQ(dlg.HighlightLeft(), 1);
  EXPECT_EQ(dlg.HighlightRight(), 5);

  dlg.SelectCell(1, 5, 2);
  EXPECT_TRUE(dlg.IsHighlighted(1, 1, 1));
  EXPECT_TRUE(dlg.IsHighlighted(1, 5, 3));
  EXPECT_FALSE(dlg.IsHighlighted(1, 5, 2));  // the selected row
  EXPECT_FALSE(dlg.IsHighlighted(1, 5, 0));  // headers
  EXPECT_FALSE(dlg.IsHighlighted(1, 2, 3));
  EXPECT_TRUE(dlg.IsHighlighted(6, 5, 2));  // every grid shows the pair
}

TEST_F(BalanceGrids, SelectedColumnWidthGoesToEveryGrid) {
  dlg.ColumnWidths(6)[2] = 120;
  dlg.SelectCell(6, 2, 1);
  for (int tag = 1; tag <= 8; ++tag) EXPECT_EQ(dlg.ColumnWidths(tag)[2], 120) << tag;
  EXPECT_EQ(dlg.ColumnWidths(1)[3], 64);
}

TEST_F(BalanceGrids, SortsKeepTheSumRowLast) {
  dlg.SelectCell(1, 1, 1);
  dlg.PopupOpen(1);
  EXPECT_EQ(dlg.PopSortDownCaption, "Sort downwards :Total [mol] (in) ");
  EXPECT_EQ(dlg.PopSortUpCaption, "Sort upwards :Total [mol] (in) ");

  dlg.PopSortDown();
  EXPECT_EQ(Column(1, 0), (std::vector<std::string>{"Compound", "CO", "CH4", "co2", "N2", "Sum"}));
  dlg.PopSortUp();
  EXPECT_EQ(Column(1, 0), (std::vector<std::string>{"Compound", "co2", "N2", "CH4", "CO", "Sum"}));
  EXPECT_EQ(Column(6, 0), (std::vector<std::string>{"Compound", "C", "Sum"}));
  dlg.PopSortByName();
  EXPECT_EQ(Column(1, 0), (std::vector<std::string>{"Compound", "CH4", "CO", "co2", "N2", "Sum"}));
  // The Sum row keeps its numbers through the sorts.
  EXPECT_EQ(dlg.Grid(1).Cell(1, 5), "4");
  EXPECT_EQ(dlg.Grid(1).Cell(2, 5), "4");
}

TEST_F(BalanceGrids, SortByDataUsesTheSelectedColumnInEveryVisibleGrid) {
  Source(6, "sol", {{"C", "5", "3"}, {"Fe", "0", "0"}, {"C", "1", "7"}});
  dlg.ButtonUpdate();
  dlg.SelectCell(1, 6, 1);
  dlg.PopupOpen(1);
  EXPECT_EQ(dlg.PopSortDownCaption, "Sort downwards :C [mol] (out)");
  dlg.PopSortDown();
  EXPECT_EQ(Column(1, 6), (std::vector<std::string>{"C [mol] (out)", "4", "1", "", "", "5"}));
  EXPECT_EQ(Column(6, 6), (std::vector<std::string>{"C [mol] (out)", "7", "3", "", "10"}));
}

TEST_F(BalanceGrids, CopyTakesTheSelectedRange) {
  std::string clipboard;
  table.onClipboard = [&](const std::string& text) { clipboard = text; };
  StringGrid& g = dlg.Grid(1);
  g.selection = {0, 1, 1, 2};
  dlg.PopupOpen(1);
  dlg.PopCopy();
  EXPECT_EQ(clipboard, "CO\t3\nCH4\t1");
}

TEST_F(BalanceGrids, EscClosesCtrlFAsksForAFontOtherKeysAreCommon) {
  int fonts = 0;
  dlg.onFontDialog = [&] { ++fonts; };
  dlg.open = true;
  EXPECT_TRUE(dlg.KeyDown(1, 'F', {false, true, false}));
  EXPECT_EQ(fonts, 1);
  EXPECT_TRUE(dlg.KeyDown(1, kKeyH, {false, false, true}));  // a common key of the grids
  EXPECT_EQ(table.Format(), CopyFormat::kHtml);
  EXPECT_TRUE(dlg.open);
  EXPECT_TRUE(dlg.KeyDown(1, 27, {}));
  EXPECT_FALSE(dlg.open);
}

}  // namespace
}  // namespace ploxen::test
