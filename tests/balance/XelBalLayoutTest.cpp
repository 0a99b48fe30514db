// The cells and formulas of the element balance workbook, compact and full, as exported.
#include <charconv>
#include <cmath>

#include <gtest/gtest.h>

#include "XelBalFixture.h"

namespace ploxen::test {
namespace {

using XelBalLayout = XelBalFixture;

const std::string kGas = "='[Book.xlsx]gas'!";

// The number after the last "/" of a formula such as "=...!B3/0.022413*C15".
double Divisor(const std::string& formula) {
  const size_t slash = formula.rfind('/');
  const size_t star = formula.find('*', slash);
  double v = 0.0;
  std::from_chars(formula.data() + slash + 1, formula.data() + star, v);
  return v;
}

TEST_F(XelBalLayout, CompactOneGasPhaseWithOneCarbonCompound) {
  AddConditionSheet({"gas"});
  AddPhaseSheet("gas", "(g)", {{"N2", "1"}, {"CO2", "2"}, {"H2O", "3"}});
  Select("C", {"N", "O", "H"});
  dlg.BtnBalanceClick(true);
  ASSERT_EQ(ExportedSheets(), 1);
  EXPECT_EQ(ExportedSheetName(1), "C.System");
  using Cells = std::vector<std::string>;
  const std::string mass = FormatFloat8(elements.ElementWeight(elements.FindSymbol("C")));
  EXPECT_EQ(Row(1, 1), (Cells{"C", "", "", "", "", "", ""}));
  EXPECT_EQ(Row(1, 2), (Cells{mass, "", "gas", "=D16", "=E16", "=F16", "=G16"}));
  EXPECT_EQ(Row(1, 3),
            (Cells{"", "", "SUM", "=SUM(D2:D2)", "=SUM(E2:E2)", "=SUM(F2:F2)", "=SUM(G2:G2)"}));
  EXPECT_EQ(Row(1, 4), (Cells{"", "", "Diff", "", "=E3-D3", "", "=G3-F3"}));
  EXPECT_EQ(Row(1, 14), (Cells{"gas", "MW [g/mol]", "C [mol/mol]", "C (in) [mol]", "C (out) [mol]",
                               "C (in) [kg]", "C (out) [kg]"}));
  // CO2 stands in sheet row 3 of the phase sheet and in row 15 of the balance.
  EXPECT_EQ(Row(1, 15), (Cells{kGas + "A3", "", "1", kGas + "B3*C15", kGas + "C3*C15",
                               "=$A$2/1000*D15", "=$A$2/1000*E15"}));
  EXPECT_EQ(Row(1, 16), (Cells{"EOT", "", "", "=D15", "=E15", "=F15", "=G15"}));
  EXPECT_EQ(Row(1, 17), Cells(7));
  EXPECT_EQ(dlg.Grid(0)->RowCount(), 16);
}

TEST_F(XelBalLayout, CompactBlocksFollowEachOtherAndAnEmptyBlockSumsToZero) {
  AddConditionSheet({"gas", "water"});
  AddPhaseSheet("gas", "(g)", {{"CO", "1"}, {"N2", "1"}, {"CO2", "2"}});
  AddPhaseSheet("water", "(l)", {{"H2O", "5"}});
  Select("C", {"N", "O", "H"});
  dlg.BtnBalanceClick(true);
  ASSERT_EQ(ExportedSheets(), 1);
  EXPECT_EQ(Cell(1, 15, 1), kGas + "A2");
  EXPECT_EQ(Cell(1, 16, 1), kGas + "A4");
  EXPECT_EQ(Cell(1, 16, 4), kGas + "B4*C16");
  EXPECT_EQ(Cell(1, 17, 4), "=SUM(D15:D16)");
  EXPECT_EQ(Cell(1, 17, 7), "=SUM(G15:G16)");
  // The second block starts two rows below the first "EOT" and holds no compound.
  EXPECT_EQ(Cell(1, 19, 1), "water");
  EXPECT_EQ(Cell(1, 19, 4), "C (in) [mol]");
  EXPECT_EQ(Cell(1, 20, 1), "EOT");
  for (int c = 4; c <= 7; ++c) EXPECT_EQ(Cell(1, 20, c), "") << c;
  EXPECT_EQ(Cell(1, 2, 4), "=D17");
  EXPECT_EQ(Cell(1, 3, 3), "water");
  EXPECT_EQ(Cell(1, 3, 4), "=D20");
  for (int c = 4; c <= 7; ++c) EXPECT_EQ(Value(1, 3, c), "0") << c;
  EXPECT_EQ(Cell(1, 4, 4), "=SUM(D2:D3)");
  EXPECT_EQ(Cell(1, 5, 5), "=E4-D4");
}

TEST_F(XelBalLayout, MassUnitsDivideByTheMolarMassOfColumnB) {
  AddConditionSheet({"gas", "solid"});
  AddPhaseSheet("gas", "(g)", {{"N2", "1"}, {"CO2", "0.044"}}, "in [kg]", "out [mol]", "x", "",
                "MW [g/mol]");
  AddPhaseSheet("solid", "(s)", {{"C", "12"}}, "in [g]", "out [lb]", "x", "", "MW [g/mol]");
  book.Set(book.FindSheet("gas"), 3, 10, "44.0095");
  book.Set(book.FindSheet("solid"), 2, 10, "12.011");
  Select("C", {"N", "O"});
  dlg.BtnBalanceClick(true);
  EXPECT_EQ(Cell(1, 15, 2), "44.0095");
  EXPECT_EQ(Cell(1, 15, 4), kGas + "B3*1000/B15*C15");
  EXPECT_EQ(Cell(1, 15, 5), kGas + "C3*C15");
  EXPECT_EQ(Cell(1, 19, 2), "12.011");
  EXPECT_EQ(Cell(1, 19, 4), "='[Book.xlsx]solid'!B2/B19*C19");
  EXPECT_EQ(Cell(1, 19, 5), "='[Book.xlsx]solid'!C2*453.59237/B19*C19");
}

TEST_F(XelBalLayout, ColumnJWithoutMolarMassIsCopiedAsItStands) {
  AddConditionSheet({"gas"});
  AddPhaseSheet("gas", "(g)", {{"CO", "28"}, {"CO2", "44"}}, "in [g]", "out [g]");
  book.Set(book.FindSheet("gas"), 3, 10, "n/a");
  Select("C", {"O"});
  dlg.BtnBalanceClick(true);
  EXPECT_EQ(Cell(1, 15, 2), "");
  EXPECT_EQ(Cell(1, 15, 4), kGas + "B2/B15*C15");
  EXPECT_EQ(Cell(1, 16, 2), "n/a");
  EXPECT_EQ(Cell(1, 16, 5), kGas + "C3/B16*C16");
}

TEST_F(XelBalLayout, NormalVolumesIgnoreTheSystemState) {
  std::string first;
  for (const auto& [t, p] : {std::pair{"25", "1"}, std::pair{"1000", "50"}}) {
    book.sheets.clear();
    AddConditionSheet({"gas"}, t, p);
    AddPhaseSheet("gas", "(g)", {{"CO2", "1"}}, "in [Nm\xC2\xB3]", "out [mol]");
    Select("C", {"O"});
    dlg.BtnBalanceClick(true);
    const std::string d15 = Cell(1, 15, 4);
    ASSERT_EQ(d15.rfind(kGas + "B2/", 0), 0u) << d15;
    EXPECT_NEAR(Divisor(d15), 0.0224, 0.0224 * 0.01) << d15;  // about 22.4 l/mol
    if (first.empty()) first = d15;
    EXPECT_EQ(d15, first);
  }
}

TEST_F(XelBalLayout, VolumesAtSystemStateUseThePressureOnlyForGasPhases) {
  std::vector<std::string> liquid;
  for (const char* p : {"10", "40"}) {
    book.sheets.clear();
    AddConditionSheet({"gas", "water"}, "1000", p);
    AddPhaseSheet("gas", "(g)", {{"CO2", "1"}}, "in [l]", "out [m\xC2\xB3]");
    AddPhaseSheet("water", "(l)", {{"H2O", "1"}}, "in [ft\xC2\xB3]", "out [l]");
    Select("O", {"C", "H"});
    dlg.BtnBalanceClick(true);
    // R T / P for 1273.15 K, about 10.6 l/mol at 10 bar; z of CO2 stays near 1 here.
    const double litres = 8.3143 * 1273.15 / std::stod(p) / 100.0;
    EXPECT_NEAR(Divisor(Cell(1, 15, 4)), litres, 0.03 * litres) << Cell(1, 15, 4);
    EXPECT_NEAR(Divisor(Cell(1, 15, 5)), litres / 1000.0, 0.03 * litres / 1000.0);
    liquid.push_back(Cell(1, 19, 4) + Cell(1, 19, 5));
  }
  EXPECT_EQ(liquid[0], liquid[1]);  // the liquid phase takes 1 bar whatever the system pressure
}

TEST_F(XelBalLayout, LongSummaryNamesAreCutTo30Characters) {
  const std::string condition = "Conditions of the pilot plant run 007.";
  ASSERT_EQ(("C." + condition).size(), 40u);
  AddConditionSheet({"gas"});
  book.sheets[0].name = condition;
  dlg.conditionSheetName = condition;
  AddPhaseSheet("gas", "(g)", {{"CO2", "2"}});
  Select("C", {"O"});
  dlg.BtnBalanceClick(true);
  EXPECT_EQ(ExportedSheetName(1), ("C." + condition).substr(0, 30));
  EXPECT_EQ(BalanceSummaryName("Na", std::string(28, 's')), "Na." + std::string(28, 's'));
  EXPECT_EQ(BalanceSummaryName("Na", std::string(29, 's')), "Na." + std::string(27, 's'));
}

TEST_F(XelBalLayout, ApostrophesInSheetNamesAreDoubledInReferences) {
  AddConditionSheet({"Bob's gas", "Bob's water"});
  AddPhaseSheet("Bob's gas", "(g)", {{"CO2", "2"}});
  AddPhaseSheet("Bob's water", "(l)", {{"H2O", "5"}});
  Select("C", {"O", "H"});
  dlg.BtnBalanceClick(true);
  EXPECT_EQ(Cell(1, 15, 1), "='[Book.xlsx]Bob''s gas'!A2");
  EXPECT_EQ(Cell(1, 15, 4), "='[Book.xlsx]Bob''s gas'!B2*C15");
  // Full layout: the summary reads the phase sheets of its own workbook; the water holds no
  // carbon, so its reference gives 0 instead of naming nothing.
  dlg.CbxCompact = false;
  dlg.BtnBalanceClick(true);
  ASSERT_EQ(ExportedSheets(), 3);
  EXPECT_EQ(ExportedSheetName(3), "Bob's water");
  EXPECT_EQ(Cell(1, 3, 4), "='Bob''s water'!D3");
  for (int c = 4; c <= 7; ++c) EXPECT_EQ(Value(1, 3, c), "0") << c;
}

TEST_F(XelBalLayout, FullLayoutHasASheetPerPhaseAndASummary) {
  AddConditionSheet({"gas", "water"});
  AddPhaseSheet("gas", "(g)", {{"N2", "1"}, {"CO2", "2"}, {"CO", "1"}}, "in [mol]", "out [mol]",
                "x", "", "MW [g/mol]");
  AddPhaseSheet("water", "(l)", {{"H2O", "5"}});
  book.Set(book.FindSheet("gas"), 2, 10, "28.0134");
  Select("C", {"N", "O", "H"});
  dlg.CbxCompact = false;
  dlg.BtnBalanceClick(true);
  ASSERT_EQ(ExportedSheets(), 3);
  EXPECT_EQ(ExportedSheetName(1), "C.System");
  EXPECT_EQ(ExportedSheetName(2), "gas");
  EXPECT_EQ(ExportedSheetName(3), "water");
  // Phase sheet: rows follow the process sheet, the element's mass stands in the "EOT" row.
  using Cells = std::vector<std::string>;
  const std::string mass = FormatFloat8(elements.ElementWeight(elements.FindSymbol("C")));
  EXPECT_EQ(Row(2, 1), (Cells{"(g)", "MW [g/mol]", "C [mol/mol]", "C (in) [mol]", "C (out) [mol]",
                              "C (in) [kg]", "C (out) [kg]"}));
  EXPECT_EQ(Row(2, 2), (Cells{kGas + "A2", "28.0134", "", "", "", "", ""}));  // no carbon
  EXPECT_EQ(Row(2, 3), (Cells{kGas + "A3", "", "1", kGas + "B3*C3", kGas + "C3*C3", "=B5/1000*D3",
                              "=B5/1000*E3"}));
  EXPECT_EQ(Cell(2, 4, 7), "=B5/1000*E4");
  EXPECT_EQ(Row(2, 5),
            (Cells{"EOT", mass, "", "=SUM(D2:D4)", "=SUM(E2:E4)", "=SUM(F2:F4)", "=SUM(G2:G4)"}));
  EXPECT_EQ(Cell(3, 2, 1), "='[Book.xlsx]water'!A2");
  EXPECT_EQ(Cell(3, 3, 1), "EOT");
  // Summary: references into the phase sheets of the same workbook.
  EXPECT_EQ(Row(1, 1), (Cells{"C", "", "", "", "", "", ""}));
  EXPECT_EQ(Row(1, 2), (Cells{"", "", "gas", "='gas'!D5", "='gas'!E5", "='gas'!F5", "='gas'!G5"}));
  EXPECT_EQ(Cell(1, 3, 7), "='water'!G3");
  EXPECT_EQ(Row(1, 4),
            (Cells{"", "", "SUM", "=SUM(D2:D3)", "=SUM(E2:E3)", "=SUM(F2:F3)", "=SUM(G2:G3)"}));
  EXPECT_EQ(Row(1, 5), (Cells{"", "", "Diff", "", "=E4-D4", "", "=G4-F4"}));
  EXPECT_EQ(Value(1, 3, 4), "0");
}

}  // namespace
}  // namespace ploxen::test
