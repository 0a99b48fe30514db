// Building the element balance tables: rows, sums, shares, status panels, units and the
// messages of compounds that cannot be balanced.
#include <gtest/gtest.h>

#include "BalanceFixture.h"

namespace ploxen::test {
namespace {

using BalanceTable = BalanceFixture;

std::string F8(double v) {
  return FormatFloat8(v);
}

TEST_F(BalanceTable, RowsSumsSharesAndPanelsOfTheChosenElement) {
  Source(1, "gas", {{"CH4", "1", "0.5"}, {"CO2", "", "0.5"}, {"H2O", "2", "2"}, {"N2", "3", "3"}});
  Source(6, "sol", {{"C", "0.5", "0.5"}});
  Open({"C", "H", "O", "N"}, "C");
  dlg.ButtonUpdate();
  const double kg = Weight("C") / 1000.0;

  EXPECT_EQ(dlg.Caption, "Elementar Balance: C");
  EXPECT_EQ(Column(1, 0), (std::vector<std::string>{"Compound", "CH4", "CO2", "Sum"}));
  const StringGrid& gas = dlg.Grid(1);
  const std::vector<std::string> headers = {
      "Compound",      "Total [mol] (in) ", "C [mol] (in)",
      "C [kg] (in)",   "C rel. Mass (in)",  "Total [mol] (out) ",
      "C [mol] (out)", "C [kg] (out)",      "C rel. Mass (out)"};
  for (int c = 0; c < 9; ++c) EXPECT_EQ(gas.Cell(c, 0), headers[c]) << c;
  // CH4: 1 mol in, 0.5 mol out; CO2: nothing in, 0.5 mol out.
  EXPECT_EQ(gas.Row(1), (std::vector<std::string>{"CH4", "1", "1", F8(kg), F8(1 / 1.5), "0.5",
                                                  "0.5", F8(0.5 * kg), F8(0.5 / 1.5)}));
  EXPECT_EQ(gas.Row(2), (std::vector<std::string>{"CO2", "0", "0", "0", "0", "0.5", "0.5",
                                                  F8(0.5 * kg), F8(0.5 / 1.5)}));
  EXPECT_EQ(gas.Row(3), (std::vector<std::string>{"Sum", "1", "1", F8(kg), F8(1 / 1.5), "1", "1",
                                                  F8(kg), F8(1 / 1.5)}));
  // The solid's compound has no phase in its name: the slot's "(s)" finds it.
  EXPECT_EQ(Column(6, 0), (std::vector<std::string>{"Compound", "C", "Sum"}));
  EXPECT_EQ(dlg.Grid(6).Cell(4, 2), F8(0.5 / 1.5));

  EXPECT_DOUBLE_EQ(dlg.TotalIn(), 1.5);
  EXPECT_DOUBLE_EQ(dlg.TotalOut(), 1.5);
  EXPECT_EQ(dlg.StatusPanels[0], "In:1.5[mol]");
  EXPECT_EQ(dlg.StatusPanels[1], "Out:1.5[mol]");
  EXPECT_EQ(dlg.StatusPanels[2], "Dif.:0[mol]");
  EXPECT_EQ(dlg.StatusPanels[3], "In:" + F8(1.5 * kg) + "[kg]");
  EXPECT_EQ(dlg.StatusPanels[4], "Out:" + F8(1.5 * kg) + "[kg]");
  // Slots not in use keep their cleared grids; only the first tab of a page stays.
  EXPECT_EQ(dlg.Grid(2).RowCount(), 2);
  EXPECT_FALSE(dlg.GridVisible(3));
  EXPECT_TRUE(dlg.TabVisible(3));
  EXPECT_FALSE(dlg.TabVisible(4));
  EXPECT_EQ(dlg.TabCaption(1), "gas");
  EXPECT_EQ(dlg.TabCaption(4), "LiqPh.2");
  EXPECT_EQ(log.Count(), 0);
}

TEST_F(BalanceTable, AllCompoundsKeepTheirSourceRows) {
  Source(1, "gas", {{"CH4", "1", "1"}, {"", "", ""}, {"H2O (g)", "2", "2"}, {"CO2", "1", "1"}});
  Open({"C", "H", "O"}, "C");
  dlg.ButtonUpdate();
  EXPECT_EQ(Column(1, 0), (std::vector<std::string>{"Compound", "CH4", "CO2", "Sum"}));

  dlg.CbxAllComp = true;
  dlg.ButtonUpdate();
  EXPECT_EQ(Column(1, 0),
            (std::vector<std::string>{"Compound", "CH4", "", "H2O (g)", "CO2", "Sum"}));
  const StringGrid& g = dlg.Grid(1);
  // Water has no carbon: no amounts converted, element columns empty, share 0.
  EXPECT_EQ(g.Row(3), (std::vector<std::string>{"H2O (g)", "0", "", "", "0", "0", "", "", "0"}));
  EXPECT_EQ(g.Row(2), std::vector<std::string>(9));  // the blank source row stays blank
  EXPECT_EQ(g.Cell(2, 5), "2");
  EXPECT_EQ(g.Cell(4, 5), "1");
}

TEST_F(BalanceTable, ElementInNoCompoundLeavesHeaderAndSumOnly) {
  Source(1, "gas", {{"CH4", "1", "1"}, {"N2", "1", "1"}});
  Source(3, "liq", {{"H2O (l)", "1", "1"}});
  Open({"C", "H", "O", "N", "S"}, "S");
  dlg.ButtonUpdate();
  for (int tag : {1, 3}) {
    ASSERT_EQ(dlg.Grid(tag).RowCount(), 2) << tag;
    EXPECT_EQ(dlg.Grid(tag).Row(1),
              (std::vector<std::string>{"Sum", "0", "0", "0", "0", "0", "0", "0", "0"}));
  }
  EXPECT_EQ(dlg.StatusPanels[0], "In:0[mol]");
  EXPECT_EQ(dlg.StatusPanels[1], "Out:0[mol]");
  EXPECT_EQ(dlg.StatusPanels[2], "Dif.:0[mol]");
  EXPECT_EQ(dlg.StatusPanels[3], "In:0[kg]");
  EXPECT_EQ(dlg.StatusPanels[4], "Out:0[kg]");
}

TEST_F(BalanceTable, CompoundWithoutMolDefinitionIsReportedAndLeftOut) {
  Source(1, "gas", {{"Unobtainium", "1", "1"}, {"CH4", "1", "1"}});
  Open({"C", "H"}, "C");
  dlg.ButtonUpdate();
  EXPECT_EQ(TextOf(350), "Mol definition Unobtainium is not correct in the database");
  EXPECT_EQ(Column(1, 0), (std::vector<std::string>{"Compound", "CH4", "Sum"}));
}

class MissingDataset : public BalanceFixture {
 protected:
  void SetUp() override {
    Source(1, "gas", {{"CH4", "1", "1"}, {"CO2", "1", "1"}, {"CO", "1", "1"}, {"N2", "1", "1"}});
    Source(6, "sol", {{"C", "2", "2"}});
    Open({"C", "H", "O", "N"}, "C");
    // As if the database had lost the dataset since the calculation.
    dlg.findDataset = [this](const std::string& name, const std::string& phase, double tK) {
      return name == "CO2" ? -1 : thermo.FindDataset(name, phase, tK);
    };
  }
};

TEST_F(MissingDataset, OkGoesOnWithTheNextCompound) {
  dialogs.QueueAnswer(kAnswerOk);
  dlg.ButtonUpdate();
  EXPECT_EQ(TextOf(318), "The data of CO2 does not exist in the database");
  ASSERT_EQ(dialogs.Requests().size(), 1u);
  EXPECT_EQ(dialogs.Requests()[0].text, "The data of CO2 does not exist in the database");
  EXPECT_EQ(dialogs.Requests()[0].title, "Ploxen Database");
  EXPECT_EQ(dialogs.Requests()[0].buttons, DialogButtons::kOkCancel);
  EXPECT_EQ(Column(1, 0), (std::vector<std::string>{"Compound", "CH4", "CO", "Sum"}));
  EXPECT_TRUE(dlg.SlotComplete(1));
  EXPECT_DOUBLE_EQ(dlg.TotalIn(), 4.0);
}

TEST_F(MissingDataset, CancelEndsTheSlotWithoutSum) {
  dialogs.QueueAnswer(kAnswerCancel);
  dlg.ButtonUpdate();
  const StringGrid& g = dlg.Grid(1);
  EXPECT_FALSE(dlg.SlotComplete(1));
  EXPECT_EQ(g.RowCount(), 6);  // the source's rows plus one, nothing after CH4
  EXPECT_EQ(Column(1, 0), (std::vector<std::string>{"Compound", "CH4", "", "", "", ""}));
  // The rows built so far count; the other slots are built as usual.
  EXPECT_DOUBLE_EQ(dlg.TotalIn(), 3.0);
  EXPECT_EQ(g.Cell(4, 1), F8(1.0 / 3.0));
  EXPECT_EQ(g.Cell(4, 2), "");
  EXPECT_EQ(Column(6, 0), (std::vector<std::string>{"Compound", "C", "Sum"}));
  EXPECT_EQ(dlg.Grid(6).Cell(4, 2), F8(2.0 / 3.0));
}

TEST_F(BalanceTable, AmountsThatCannotBeConvertedAreReportedPerColumn) {
  Source(1, "gas", {{"CH4", "abc", "1"}, {"CO", "-1", "2 apples"}, {"CO2", "1", "-2"}});
  Open({"C", "H", "O"}, "C");
  dlg.ButtonUpdate();
  EXPECT_EQ(TextOf(327), "Input Values for CH4 is irregular !");
  EXPECT_EQ(TextOf(341), "Output Values for CO is irregular !");
  EXPECT_EQ(TextOf(337), "Input Values for CO less than zero: irregular !");
  EXPECT_EQ(TextOf(351), "Output Values for CO2 less than zero: irregular !");
  for (const LogEntry& e : log.Entries()) EXPECT_EQ(e.level, kMsgCritical) << e.number;
  const StringGrid& g = dlg.Grid(1);
  EXPECT_EQ(g.Row(1)[1], "0");   // unreadable: counted as nothing
  EXPECT_EQ(g.Row(2)[1], "-1");  // negative: still shown
  EXPECT_EQ(g.Row(3)[5], "-2");
  EXPECT_DOUBLE_EQ(dlg.TotalIn(), 0.0);
}

TEST_F(BalanceTable, UnitColumnsNeedPlainNumbersThatConvert) {
  // kg in, g out: "1 kg" is no plain number for a [kg] column; 1e308 kg overflows.
  Source(1, "gas", {{"CH4", "1 kg", "x"}, {"CO", "1e308", "1"}}, 2, 1);
  Open({"C", "H", "O"}, "C");
  dlg.ButtonUpdate();
  EXPECT_EQ(TextOf(331), "Input Values for CH4 is irregular !");
  EXPECT_EQ(TextOf(345), "Output Values for CH4 is irregular !");
  EXPECT_EQ(TextOf(334), "Input Values for CO is irregular !");
  EXPECT_FALSE(Posted(348));
}

TEST_F(BalanceTable, MassAndVolumeUnitsAreConvertedToMoles) {
  const double mCH4 = elements.MolarMass("C1H4");
  const double mCO2 = elements.MolarMass("C1O2");
  // Gas 1 in [g] and out [kg]; gas 2 in [Nm³] and out in mol with its own unit.
  Source(1, "gas",
         {{"CH4", FormatFloatFull(2 * mCH4), FormatFloatFull(0.003 * mCH4)},
          {"CO2", FormatFloatFull(mCO2), "0"}},
         1, 2);
  Source(2, "gas2", {{"CO", "0.0224", "0.0224 Nm\xC2\xB3"}}, 7, 0);
  Source(6, "sol", {{"C", "0.024022", "1"}}, 2, 0);
  // Gas 2 at 5 bar: normal volumes do not depend on it.
  dlg.SetBalanceConditions(298.15, 1.0, 5.0, 1.0);
  Open({"C", "H", "O"}, "C");
  dlg.ButtonUpdate();
  EXPECT_EQ(log.Count(), 0);
  const StringGrid& g1 = dlg.Grid(1);
  EXPECT_NEAR(TextToFloat(g1.Cell(1, 1)), 2.0, 1e-7);
  EXPECT_NEAR(TextToFloat(g1.Cell(5, 1)), 3.0, 1e-7);
  EXPECT_NEAR(TextToFloat(g1.Cell(1, 2)), 1.0, 1e-7);
  const StringGrid& g2 = dlg.Grid(2);
  EXPECT_NEAR(TextToFloat(g2.Cell(1, 1)), 1.0, 0.01);  // 22.4 l at normal conditions
  EXPECT_EQ(g2.Cell(1, 1), g2.Cell(5, 1));
  EXPECT_NEAR(TextToFloat(dlg.Grid(6).Cell(1, 1)), 0.024022 * 1000 / Weight("C"), 1e-6);
}

TEST_F(BalanceTable, VolumesAtConditionsUseTheSlotPressure) {
  // 24.79 l at 298.15 K are 1 mol at 1 bar and 2 mol at 2 bar; gas 2 falls back to P.
  Source(1, "gas", {{"N2", "24.79", "24.79"}}, 4, 4);
  Source(2, "gas2", {{"N2", "24.79", "24.79"}}, 4, 4);
  Source(3, "liq", {{"H2O (l)", "24.79", "0"}}, 4, 0);
  dlg.SetBalanceConditions(298.15, 2.0, 0.0, 3.0);
  Open({"N", "H", "O"}, "N");
  dlg.ButtonUpdate();
  EXPECT_NEAR(TextToFloat(dlg.Grid(1).Cell(1, 1)), 2.0, 0.02);
  EXPECT_NEAR(TextToFloat(dlg.Grid(1).Cell(5, 1)), 2.0, 0.02);
  EXPECT_NEAR(TextToFloat(dlg.Grid(2).Cell(1, 1)), 3.0, 0.03);
  Open({"N", "H", "O"}, "H");
  dlg.ButtonUpdate();
  EXPECT_NEAR(TextToFloat(dlg.Grid(3).Cell(1, 1)), 1.0, 0.02);  // condensed slots: 1 bar
}

}  // namespace
}  // namespace ploxen::test
