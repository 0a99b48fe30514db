// The state-function dialog: its lists and the "Set " command on a process workbook.
#include <gtest/gtest.h>

#include "ProcessFixture.h"
#include "chem/PTools.h"
#include "process/SetStFn.h"

namespace ploxen::test {
namespace {

class SetStFn : public ProcessFixture {
 protected:
  SetStFn() : dlg(calc) {}

  /// "System" naming "gas" (CO, N2) and "water" (H2O), with notes in I and J.
  void MakeBook() {
    AddConditionSheet({"gas", "water"});
    const int gas = AddPhaseSheet("gas", "(g)", {{"CO", "1"}, {"N2", "2"}});
    book.Set(gas, 2, 9, "note");
    book.Set(gas, 4, 10, "below the list");  // the "EOT" row
    AddPhaseSheet("water", "(l)", {{"H2O", "1"}});
    dlg.conditionSheet = "System";
  }
  void Choose(int function, int unit, const std::string& column) {
    dlg.CbxF.itemIndex = function - 1;
    dlg.CbxFChange();
    if (unit >= 0) dlg.CbxDim.itemIndex = unit;
    for (size_t i = 0; i < dlg.CbxC.items.size(); ++i) {
      if (dlg.CbxC.items[i] == column) dlg.CbxC.itemIndex = static_cast<int>(i);
    }
  }

  TSetStFnDlg dlg;
};

TEST_F(SetStFn, UnitListFollowsTheFunction) {
  ASSERT_EQ(dlg.CbxC.items.size(), 18u);  // "I" .. "Z"
  EXPECT_EQ(dlg.TargetColumn(), 9);
  ASSERT_EQ(dlg.CbxF.items.size(), 14u);
  EXPECT_EQ(dlg.CbxDim.items, std::vector<std::string>{"[g/mol]"});
  EXPECT_EQ(dlg.CbxDim.itemIndex, 0);

  Choose(kSfEntropy, -1, "Z");
  EXPECT_EQ(dlg.CbxDim.items, (std::vector<std::string>{"[J/mol K]", "[kJ/kg K]"}));
  EXPECT_EQ(dlg.CbxDim.itemIndex, 1);  // per kg unless chosen otherwise
  EXPECT_TRUE(dlg.CbxDimEnabled);
  EXPECT_EQ(dlg.TargetColumn(), 26);
  Choose(kSfCriticalTemperature, -1, "I");
  EXPECT_EQ(dlg.CbxDim.items[dlg.CbxDim.itemIndex], "[C]");
  Choose(kSfAcentricFactor, -1, "I");
  EXPECT_TRUE(dlg.CbxDim.items.empty());
  EXPECT_EQ(dlg.CbxDim.itemIndex, -1);
  EXPECT_FALSE(dlg.CbxDimEnabled);
  Choose(kSfCompressibility, -1, "I");
  EXPECT_TRUE(dlg.CbxDimEnabled);
}

TEST_F(SetStFn, SetWritesTheValueColumnWithTheTemperatureInItsHeader) {
  MakeBook();
  const auto before = book.sheets;
  Choose(kSfEnthalpy, 0, "J");
  ASSERT_EQ(dlg.BtnSetClick(), 1);
  EXPECT_FALSE(calc.busy);
  EXPECT_EQ(book.Get("gas", 1, 10),
            "H [kJ/mol] (25[\xC2\xB0"
            "C])");
  EXPECT_EQ(book.Get("gas", 2, 10), calc.slots[1].grid.Cell(kGridValue, 1));
  EXPECT_LT(TextToFloat(book.Get("gas", 2, 10)), -100.0);  // CO: about -110.5 kJ/mol
  EXPECT_NE(book.Get("gas", 3, 10), "");
  EXPECT_EQ(book.Get("gas", 4, 10), "below the list");
  EXPECT_EQ(book.Get("water", 1, 10),
            "H [kJ/mol] (25[\xC2\xB0"
            "C])");
  EXPECT_LT(TextToFloat(book.Get("water", 2, 10)), -280.0);
  EXPECT_EQ(dlg.StatusText, "Data are written to sheets");
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Data are being written to sheets"),
            statuses.end());
  // Nothing but column J changed, and only the header and compound rows of it.
  for (size_t s = 0; s < before.size(); ++s) {
    for (const auto& [cell, text] : before[s].cells) {
      if (cell.second == 10 && cell.first <= 3) continue;
      EXPECT_EQ(book.Get(static_cast<int>(s) + 1, cell.first, cell.second), text)
          << before[s].name << " row " << cell.first << " column " << cell.second;
    }
  }
  EXPECT_EQ(book.Get("gas", 2, 9), "note");
}

TEST_F(SetStFn, KelvinHeadersAndDataWithoutTemperature) {
  MakeBook();
  book.Set(1, 2, 1, "T [K]");
  book.Set(1, 2, 2, "500");
  Choose(kSfCompressibility, -1, "I");
  ASSERT_EQ(dlg.BtnSetClick(), 1);
  EXPECT_EQ(book.Get("gas", 1, 9), "z [-] (500[K])");
  Choose(kSfDescription, -1, "I");
  ASSERT_EQ(dlg.BtnSetClick(), 1);
  EXPECT_EQ(book.Get("gas", 1, 9), "Description");
  EXPECT_EQ(book.Get("gas", 2, 9), "carbon monoxide");
}

TEST_F(SetStFn, NothingIsWrittenWhenTheCommandCannotRun) {
  MakeBook();
  const auto before = book.sheets;
  calc.busy = true;  // a calculation runs
  EXPECT_EQ(dlg.BtnSetClick(), 0);
  EXPECT_TRUE(calc.busy);
  calc.busy = false;

  book.Set(1, 1, 1, "table");
  EXPECT_EQ(dlg.BtnSetClick(), 0);
  EXPECT_EQ(TextOf(878),
            "[Book.xlsx][System][A1]!= eql; rcl neither Equilibrium (eql) nor "
            "Inverse Calculation (rcl) !");
  EXPECT_FALSE(calc.busy);
  book.Set(1, 1, 1, "eql");

  log.Clear();
  dlg.conditionSheet = "Missing";
  EXPECT_EQ(dlg.BtnSetClick(), 0);
  EXPECT_EQ(TextOf(878), "Acces to MS Excel inpossible!");
  dlg.conditionSheet = "System";

  book.Set(1, 2, 2, "-300");
  EXPECT_EQ(dlg.BtnSetClick(), 0);
  EXPECT_TRUE(Posted(1472));
  EXPECT_FALSE(calc.busy);
  for (size_t s = 0; s < before.size(); ++s) {
    if (s == 0) continue;  // the condition sheet was edited above
    EXPECT_EQ(book.sheets[s].cells, before[s].cells) << before[s].name;
  }
}

}  // namespace
}  // namespace ploxen::test
