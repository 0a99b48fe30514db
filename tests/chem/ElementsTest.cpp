// The element selection dialog: table places, pending and committed states, the report of an
// accepted selection and the user element buttons.
#include "chem/Elements.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "chem/Periodica.h"
#include "support/AplMsg.h"

namespace ploxen {
namespace {

class ElementsDlg : public ::testing::Test {
 protected:
  void SetUp() override {
    log.SetFilter(6);
    elements.DefineElement("D", "Deuterium", 1, "", 2.014);
    dlg.ShowElements();
  }
  void Click(const char* symbol) { dlg.ButtonClick(elements.FindSymbol(symbol)); }
  std::vector<std::string> Texts(int number) const {
    std::vector<std::string> texts;
    for (const LogEntry& e : log.Entries()) {
      if (e.number == number) texts.push_back(e.text);
    }
    return texts;
  }
  /// Message numbers in the order they were posted.
  std::vector<int> Numbers() const {
    std::vector<LogEntry> entries = log.Entries();
    std::sort(entries.begin(), entries.end(),
              [](const LogEntry& a, const LogEntry& b) { return a.serial < b.serial; });
    std::vector<int> numbers;
    for (const LogEntry& e : entries) numbers.push_back(e.number);
    return numbers;
  }

  TAplMsgWnd log;
  Periodica elements;
  std::vector<std::uint8_t> flags = std::vector<std::uint8_t>(256, 0);
  TElementsDlg dlg{log, elements, flags};
};

TEST(ElementTableLayout, EveryBuiltInElementHasItsOwnPlace) {
  std::set<std::pair<int, int>> places;
  for (int i = 0; i <= TElementsDlg::kLastBuiltIn; ++i) {
    const TElementsDlg::TableCell c = TElementsDlg::CellOf(i);
    ASSERT_GE(c.row, 0) << i;
    ASSERT_LT(c.row, TElementsDlg::kTableRows) << i;
    ASSERT_GE(c.column, 0) << i;
    ASSERT_LT(c.column, TElementsDlg::kTableColumns) << i;
    EXPECT_TRUE(places.insert({c.row, c.column}).second) << "element " << i << " shares a place";
  }
  // Hydrogen top left, helium top right, iron in group 8, the f-block rows below the table.
  EXPECT_EQ(TElementsDlg::CellOf(1).row, 0);
  EXPECT_EQ(TElementsDlg::CellOf(1).column, 0);
  EXPECT_EQ(TElementsDlg::CellOf(2).column, 17);
  EXPECT_EQ(TElementsDlg::CellOf(26).row, 3);
  EXPECT_EQ(TElementsDlg::CellOf(26).column, 7);
  EXPECT_EQ(TElementsDlg::CellOf(86).column, 17);
  EXPECT_GT(TElementsDlg::CellOf(57).row, TElementsDlg::CellOf(87).row);
  EXPECT_GT(TElementsDlg::CellOf(89).row, TElementsDlg::CellOf(57).row);
  EXPECT_EQ(TElementsDlg::CellOf(106).row, -1);
}

TEST_F(ElementsDlg, ButtonsShowSymbolAndNameAndUserButtonsFollowTheTable) {
  EXPECT_EQ(dlg.BitBtn[1].caption, "H");
  EXPECT_EQ(dlg.BitBtn[26].hint, "Ferrum Iron");
  EXPECT_TRUE(dlg.BitBtn[106].visible);
  EXPECT_EQ(dlg.BitBtn[106].caption, "D");
  EXPECT_EQ(dlg.BitBtn[106].width, 48);
  EXPECT_EQ(dlg.BitBtn[106].left, 8);
  EXPECT_FALSE(dlg.BitBtn[107].visible);
  ASSERT_EQ(elements.DefineElement("Xy", "Xylium", 120, "", 300.5), 107);
  ASSERT_EQ(elements.DefineElement("Abcdef", "Long one", 121, "", 10), 108);
  ASSERT_EQ(elements.DefineElement("Q", "Short one", 122, "", 10), 109);
  dlg.ShowElements();
  EXPECT_TRUE(dlg.BitBtn[107].visible);
  EXPECT_EQ(dlg.BitBtn[107].caption, "Xy");
  EXPECT_EQ(dlg.BitBtn[107].hint, "Xylium");
  EXPECT_EQ(dlg.BitBtn[107].left, 8 + 48);
  EXPECT_EQ(dlg.BitBtn[107].width, 24);
  EXPECT_EQ(dlg.BitBtn[108].left, 8 + 48 + 24);
  EXPECT_EQ(dlg.BitBtn[108].width, 48);
  EXPECT_EQ(dlg.BitBtn[109].left, 8 + 48 + 24 + 48);
  EXPECT_FALSE(dlg.BitBtn[110].visible);
  EXPECT_EQ(dlg.BitBtn[119].left, 8);  // the lower row starts again at the left
}

TEST_F(ElementsDlg, AClickTogglesOnlyThePendingStateAndShowsTheElement) {
  Click("Fe");
  EXPECT_TRUE(dlg.BitBtn[26].red);
  EXPECT_EQ(flags[26], 0);
  EXPECT_EQ(dlg.Label1, "Fe           Ferrum Iron");
  EXPECT_EQ(dlg.Label2, "26");
  EXPECT_EQ(dlg.Label3, "55.847");
  Click("Fe");
  EXPECT_FALSE(dlg.BitBtn[26].red);
  dlg.ButtonClick(120);  // a user button beyond the table
  EXPECT_EQ(dlg.Label1, "Error");
  EXPECT_EQ(dlg.Label2, "-");
  EXPECT_EQ(dlg.Label3, "-");
}

TEST_F(ElementsDlg, AcceptingCarbonAndOxygenCommitsAndReportsInButtonOrder) {
  Click("O");
  Click("C");
  int accepted = 0;
  dlg.onAccepted = [&] { ++accepted; };
  dlg.PanelAcceptClick();
  EXPECT_EQ(accepted, 1);
  EXPECT_EQ(flags[6], 1);
  EXPECT_EQ(flags[8], 1);
  EXPECT_EQ(Texts(234), std::vector<std::string>{"Elements Selection: C, O."});
  EXPECT_EQ(dlg.SelectedElements(), (std::vector<std::string>{"C ", "O "}));
  EXPECT_TRUE(Texts(225).empty());
  EXPECT_TRUE(Texts(230).empty());
}

TEST_F(ElementsDlg, ButtonOrderIsTheTablesNotTheElementIndex) {
  Click("Fr");  // 87, period 7
  Click("La");  // 57, in the row below the table
  dlg.CommitSelection();
  EXPECT_EQ(Texts(234), std::vector<std::string>{"Elements Selection: Fr, La."});
}

TEST_F(ElementsDlg, DeselectingAndAddingInOneAcceptReportsBoth) {
  Click("C");
  Click("O");
  dlg.CommitSelection();
  log.Clear();
  Click("O");
  Click("H");
  dlg.CommitSelection();
  EXPECT_EQ(Numbers(), (std::vector<int>{225, 230, 234}));
  EXPECT_EQ(Texts(225), std::vector<std::string>{"Elements deselected: O."});
  EXPECT_EQ(Texts(230), std::vector<std::string>{"Elements added: H."});
  EXPECT_EQ(Texts(234), std::vector<std::string>{"Elements Selection: H, C."});
  EXPECT_EQ(flags[8], 0);
  EXPECT_EQ(dlg.SelectedElements(), (std::vector<std::string>{"C ", "H "}));
  log.Clear();
  Click("N");
  dlg.CommitSelection();  // an addition alone is reported only as the new selection
  EXPECT_EQ(Numbers(), std::vector<int>{234});
}

TEST_F(ElementsDlg, DeselectingEverythingLeavesAnEmptySelection) {
  Click("C");
  dlg.CommitSelection();
  log.Clear();
  Click("C");
  dlg.CommitSelection();
  EXPECT_EQ(Numbers(), std::vector<int>{225});
  EXPECT_FALSE(dlg.AnySelected());
  EXPECT_TRUE(dlg.SelectedElements().empty());
}

TEST_F(ElementsDlg, SelectionChangedElsewhereShowsOnTheButtonsAndInTheFilterList) {
  Click("He");  // pending only, dropped by ShowSelection
  flags[elements.FindSymbol("Ca")] = 1;
  flags[106] = 1;
  dlg.UpdateSelectedElements();
  EXPECT_FALSE(dlg.BitBtn[20].red);  // the buttons are untouched until ShowSelection
  EXPECT_EQ(dlg.SelectedElements(), (std::vector<std::string>{"Ca ", "D "}));
  dlg.ShowSelection();
  EXPECT_TRUE(dlg.BitBtn[20].red);
  EXPECT_TRUE(dlg.BitBtn[106].red);
  EXPECT_FALSE(dlg.BitBtn[2].red);
}

TEST_F(ElementsDlg, ElementIndexOfIsExact) {
  EXPECT_EQ(dlg.ElementIndexOf("Fe"), 26);
  EXPECT_EQ(dlg.ElementIndexOf("D"), 106);
  EXPECT_EQ(dlg.ElementIndexOf("fe"), -1);
  EXPECT_EQ(dlg.ElementIndexOf(""), -1);
}

}  // namespace
}  // namespace ploxen
