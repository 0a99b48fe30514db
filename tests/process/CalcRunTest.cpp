// The workbook run on an in-memory workbook: physics of the written results, conditions,
// reading failures and the kernel input of each compound.
#include <cmath>
#include <map>

#include <gtest/gtest.h>

#include "ProcessFixture.h"
#include "chem/PTools.h"

namespace ploxen::test {
namespace {
#define PREC "1e-6"

class CalcRun : public ProcessFixture {
 protected:
  // Methane burnt with air: a gas sheet and a liquid water sheet.
  void Combustion(const std::string& t = "1000") {
    AddConditionSheet({"gas", "water"}, t, "1");
    AddCombustionGas();
    AddPhaseSheet("water", "(l)", {{"H2O", ""}});
  }
  // Reads the workbook and hands every occupied slot to the kernel, as a run does before Solve.
  bool ReadIntoKernel() {
    calc.systemValid = true;
    if (!calc.ReadConditionSheet()) return false;
    for (int k = 1; k <= kSlotCount; ++k) {
      if (calc.slots[k].occupied) calc.ReadPhaseSheet(calc.slots[k].sheetIndex, k);
    }
    if (!calc.CheckConditions()) return false;
    kernel.ResetSystem(calc.elementFlags);
    kernel.BeginRun(0, calc.temperatureK, calc.pressureBar, 0);
    calc.totalCompounds = 0;
    for (int k = 1; k <= kSlotCount; ++k) {
      calc.slots[k].firstCompound = calc.totalCompounds + 1;
      if (calc.slots[k].occupied && !calc.ReadPhaseIntoKernel(k)) return false;
    }
    return true;
  }
  double Num(const std::string& sheet, int row, int col) {
    return TextToFloat(book.Get(sheet, row, col));
  }
  // Element amounts [mol] of a sheet's column (2 input, 3 output, in mol).
  std::map<std::string, double> Elements(const std::string& sheet, int column) {
    std::map<std::string, double> sum;
    const int s = book.FindSheet(sheet);
    for (int r = 2; book.Get(s, r, 1) != "EOT"; ++r) {
      const PhaseSplit split = SplitPhaseSuffix(book.Get(s, r, 1));
      const std::string phase = split.phase == "(u)" ? "(g)" : split.phase;
      const std::string mol = thermo.Database().MolDefinitionOf(split.name, phase);
      for (const char* e : {"C", "H", "O", "N"}) {
        sum[e] += elements.ElementCount(e, mol) * TextToFloat(book.Get(s, r, column));
      }
    }
    return sum;
  }
};

TEST_F(CalcRun, CombustionBalancesElementsAndFractions) {
  Combustion();
  kernel.EditPrec = PREC;
  EXPECT_EQ(calc.RunWorkbook(), 0);
  ASSERT_TRUE(calc.calculationOk) << calc.failureText;
  auto in = Elements("gas", 2), out = Elements("gas", 3);
  auto outLiquid = Elements("water", 3);
  for (const char* e : {"C", "H", "O", "N"}) {
    EXPECT_NEAR(out[e] + outLiquid[e], in[e], 1e-6 * std::max(1.0, in[e])) << e;
  }
  double sumX = 0.0, sumF = 0.0;
  for (int r = 2; r <= 10; ++r) {
    sumX += Num("gas", r, 4);
    sumF += Num("gas", r, 5);
  }
  EXPECT_NEAR(sumX, 1.0, 1e-6);
  EXPECT_NEAR(sumF, 1.0, 1e-4);       // fugacities add up to the pressure [bar]
  EXPECT_GT(Num("gas", 5, 3), 0.99);  // nearly all carbon burnt to CO2 at 1000 °C
  EXPECT_EQ(book.Get("System", 2, 3), "1000");
  EXPECT_EQ(book.Get("System", 3, 3), "1");
  EXPECT_EQ(book.Get("System", 2, 2), "1000");
  EXPECT_EQ(book.Get("gas", 1, 2), "In [mol]");
  EXPECT_EQ(book.Get("gas", 1, 3), "Out [mol]");
  EXPECT_EQ(book.Get("gas", 1, 4), "x [mol/mol]");
  EXPECT_EQ(book.Get("gas", 1, 6), "f.c.");
  EXPECT_EQ(book.Get("water", 1, 5), "a");
  EXPECT_EQ(book.Get("gas", 2, 8), "1");
  EXPECT_EQ(book.Get("gas", 11, 1), "EOT");
  EXPECT_EQ(book.Get("gas", 11, 3), "");
  EXPECT_TRUE(Posted(1593));
  EXPECT_EQ(TextOf(1593), "Book.xlsx[System] Calculation success ");
  EXPECT_EQ(TextOf(711), "System: Calculating, Please wait !");
  EXPECT_EQ(TextOf(1513), "Data Check T[ C ] 1000 ; P [bar] 1");
  EXPECT_EQ(TextOf(1591).rfind("Steps: " + kernel.RunSummary() + "; dt:", 0), 0u);
}

TEST(DurationText, HoursMinutesSecondsMilliseconds) {
  using namespace std::chrono;
  EXPECT_EQ(DurationText(milliseconds(45)), "00:00:00:45");
  EXPECT_EQ(DurationText(hours(1) + minutes(2) + seconds(3) + milliseconds(400)), "01:02:03:400");
}

TEST_F(CalcRun, SecondRunOnTheWrittenBookGivesTheSameResults) {
  Combustion();
  calc.RunWorkbook();
  const std::string first = book.Get("gas", 5, 3);
  calc.RunWorkbook();
  EXPECT_EQ(book.Get("gas", 5, 3), first);
}

TEST_F(CalcRun, MassUnitsPercentAndProperties) {
  AddConditionSheet({"gas"});
  AddPhaseSheet("gas", "(g)", {{"N2", "0.028"}, {"Ar", "0.040"}}, "in [kg]", "out [g]", "w%",
                "H [kJ/kg]", "Z");
  kernel.EditPrec = PREC;
  ASSERT_EQ(calc.RunWorkbook(), 0);
  ASSERT_TRUE(calc.calculationOk);
  EXPECT_EQ(book.Get("gas", 1, 2), "In [kg]");
  EXPECT_EQ(book.Get("gas", 1, 4), "w%");
  EXPECT_NEAR(Num("gas", 2, 3), 28.0, 0.05);
  EXPECT_NEAR(Num("gas", 2, 4) + Num("gas", 3, 4), 100.0, 1e-6);
  EXPECT_EQ(book.Get("gas", 1, 9),
            "H [kJ/kg] (25\xC2\xB0"
            "C)");
  EXPECT_NEAR(Num("gas", 2, 9), 0.0, 0.5);  // element near its reference state at 25 °C
  EXPECT_EQ(book.Get("gas", 1, 10),
            "z [-] (25\xC2\xB0"
            "C)");
  EXPECT_NEAR(Num("gas", 2, 10), 1.0, 0.01);
  const double n2 = 0.028 / 28.0134, ar = 0.040 / 39.948;
  EXPECT_NEAR(Num("gas", 2, 5), n2 / (n2 + ar), 1e-5);  // partial pressure at 1 bar
}

TEST_F(CalcRun, GasVolumesAtSystemAndNormalConditions) {
  thermo.RGgrlClick(0);  // ideal gas
  AddConditionSheet({"gas"});
  AddPhaseSheet("gas", "(g)", {{"N2", "1"}}, "In [mol]", "Out [m3]");
  ASSERT_EQ(calc.RunWorkbook(), 0);
  EXPECT_NEAR(Num("gas", 2, 3), 8.3143 * 298.15 / 100000.0, 1e-9);
  book.Set(book.FindSheet("gas"), 1, 3, "Out [Nm3]");
  ASSERT_EQ(calc.RunWorkbook(), 0);
  EXPECT_NEAR(Num("gas", 2, 3), 8.3143 * 273.15 / 101325.0, 1e-9);
  EXPECT_EQ(book.Get("gas", 1, 3), "Out [Nm\xC2\xB3]");
}

TEST_F(CalcRun, OutputMassUnits) {
  AddConditionSheet({"gas"}, "500");
  const int g = AddPhaseSheet("gas", "(g)", {{"H2O", "2"}}, "In [mol]", "Out [kg]");
  ASSERT_EQ(calc.RunWorkbook(), 0);
  const double m = elements.MolarMass(thermo.Database().MolDefinitionOf("H2O", "(g)"));
  EXPECT_NEAR(Num("gas", 2, 3), 2.0 * m / 1000.0, 1e-7);
  book.Set(g, 1, 3, "Out [lb]");
  ASSERT_EQ(calc.RunWorkbook(), 0);
  EXPECT_NEAR(Num("gas", 2, 3), 2.0 * m / 453.59, 1e-7);
  EXPECT_EQ(book.Get("gas", 1, 3), "Out [lb]");
}

TEST_F(CalcRun, ExtrapolatedDatasetsAreMarkedAndOptionallyExcluded) {
  AddConditionSheet({"gas", "solid"}, "300");
  AddPhaseSheet("gas", "(g)", {{"N2", "1"}});
  const int s = AddPhaseSheet("solid", "(s)", {{"S", "0.1"}});
  book.Set(s, 2, 6, "(1)");
  ASSERT_EQ(calc.RunWorkbook(), 0);
  EXPECT_EQ(book.Get("solid", 2, 8), "1(ext.)");
  thermo.SetCBExtrapolation(false);
  ASSERT_TRUE(ReadIntoKernel());
  EXPECT_EQ(calc.slots[6].grid.Cell(7, 1), "(ext.)");
  EXPECT_EQ(kernel.CompoundState(2), 0);
}

TEST_F(CalcRun, ConditionChecksStopBeforeTheKernel) {
  const int s = AddConditionSheet({"gas"}, "abc");
  AddPhaseSheet("gas", "(g)", {{"N2", "1"}});
  EXPECT_EQ(calc.RunWorkbook(), 0);
  EXPECT_EQ(TextOf(1462), "Irregular Temperature Value");
  book.Set(s, 2, 2, "-300");
  calc.RunWorkbook();
  EXPECT_EQ(TextOf(1472), "Irregular Temperature (T<=0) ");
  book.Set(s, 2, 2, "25");
  book.Set(s, 3, 2, "0");
  calc.RunWorkbook();
  EXPECT_EQ(TextOf(1481), "Irregular pressure");
  EXPECT_FALSE(Posted(1591));
  EXPECT_EQ(book.Get("gas", 2, 3), "");
  EXPECT_EQ(book.Get("System", 2, 3), "");
}

TEST_F(CalcRun, MenuCalculationDuringARunBreaksIt) {
  Combustion();
  bool once = false;
  kernel.SetProcessEvents([&] {
    if (!once) {
      once = true;
      calc.Calculate(true);
    }
  });
  EXPECT_EQ(calc.RunWorkbook(), 0);
  EXPECT_TRUE(once);
  EXPECT_FALSE(calc.calculationOk);
  EXPECT_TRUE(calc.breakRequested);
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Break by user"), statuses.end());
  EXPECT_EQ(book.Get("gas", 2, 3), "");
}

TEST_F(CalcRun, ConstantVolumeTakesTheVolumeAndOneBar) {
  calc.CbxPV = 1;
  calc.EditPVsys = "0,5";
  calc.MnuTempC = false;
  calc.EditTsys = "1500";
  ASSERT_TRUE(calc.CheckConditions());
  EXPECT_EQ(static_cast<double>(calc.volumeM3), 0.5);
  EXPECT_EQ(static_cast<double>(calc.pressureBar), 1.0);
  EXPECT_EQ(static_cast<double>(calc.temperatureK), 1500.0);
}

TEST_F(CalcRun, ConstantVolumeWithoutGasPhaseIsRefused) {
  const int s = AddConditionSheet({"water"});
  book.Set(s, 3, 1, "V [m3]");
  AddPhaseSheet("water", "(l)", {{"H2O", "1"}});
  EXPECT_EQ(calc.RunWorkbook(), 0);
  EXPECT_EQ(TextOf(427), "No any gas phase is defined for constant volume");
  EXPECT_FALSE(Posted(711));
}

TEST_F(CalcRun, MissingCompoundsAreAllReportedAndNothingIsWritten) {
  AddConditionSheet({"gas", "water"});
  AddPhaseSheet("gas", "(g)", {{"N2", "1"}, {"Unobtainium", "1"}, {"O2", "1"}});
  AddPhaseSheet("water", "(l)", {{"Nothing", "1"}});
  const int writesBefore = book.writes;
  EXPECT_EQ(calc.RunWorkbook(), 0);
  EXPECT_EQ(CountPosted(1168), 2);
  EXPECT_EQ(TextOf(1168), "[gas][A3]: Unobtainium (g) does not exist in the database !");
  EXPECT_EQ(TextOf(1551), "no calculation because errors");
  EXPECT_EQ(book.writes, writesBefore);
}

TEST_F(CalcRun, IrregularAmountsStopTheRun) {
  AddConditionSheet({"gas"});
  const int g = AddPhaseSheet("gas", "(g)", {{"N2", "-1"}});
  EXPECT_EQ(calc.RunWorkbook(), 0);
  EXPECT_EQ(TextOf(1134), "N2 (g): irregular input value ");
  log.Clear();
  book.Set(g, 1, 2, "In [kg]");
  book.Set(g, 2, 2, "2 kg");
  calc.RunWorkbook();
  EXPECT_TRUE(Posted(1134));
  log.Clear();
  book.Set(g, 2, 2, "abc");
  calc.RunWorkbook();
  EXPECT_TRUE(Posted(1134));
  EXPECT_EQ(book.Get("gas", 2, 3), "");
}

TEST_F(CalcRun, AmountTextsCarryTheirOwnUnits) {
  AddConditionSheet({"gas"});
  AddPhaseSheet("gas", "(g)", {{"H2O", "36 g"}, {"N2", "1.5e-3"}});
  ASSERT_TRUE(ReadIntoKernel());
  EXPECT_EQ(calc.slots[1].compoundCount, 2);
  ASSERT_EQ(kernel.CompoundCount(), 2);
  EXPECT_EQ(kernel.LabelledNames()[1], "H2O (g)");
  EXPECT_EQ(kernel.CompoundState(1), 1);
}

TEST_F(CalcRun, RelationValuesAndPureSubstances) {
  AddConditionSheet({"gas", "water"});
  const int g = AddPhaseSheet("gas", "(g)", {{"N2", "1"}, {"O2", "1"}, {"Ar", "1"}, {"CO2", "1"}});
  book.Set(g, 2, 7, "abc");
  book.Set(g, 3, 7, "1.5");
  book.Set(g, 4, 7, "0");
  book.Set(g, 5, 6, "(1)");
  AddPhaseSheet("water", "(l)", {{"H2O", "1"}});
  ASSERT_TRUE(ReadIntoKernel());
  EXPECT_EQ(TextOf(1322), "Error in [gas][G2]: abc; regarded as 1");
  EXPECT_EQ(TextOf(1328), "Invalid value [gas][G3]: 1.5; regarded as 1");
  EXPECT_EQ(TextOf(2134), "[water] H2O (l) regarded as pure substance");
  EXPECT_TRUE(kernel.HasUnitActivity(5));
  EXPECT_FALSE(kernel.HasUnitActivity(4));  // "(1)" on a gas only gives the coefficient 1
  EXPECT_EQ(static_cast<double>(kernel.ActivityCoefficient(4)), 1.0);
}

TEST_F(CalcRun, MarkedPureSubstanceWithoutMessage) {
  AddConditionSheet({"gas", "water"});
  AddPhaseSheet("gas", "(g)", {{"N2", "1"}});
  const int w = AddPhaseSheet("water", "(l)", {{"H2O", "1"}});
  book.Set(w, 2, 6, "-1");
  ASSERT_TRUE(ReadIntoKernel());
  EXPECT_FALSE(Posted(2134));
  EXPECT_TRUE(kernel.HasUnitActivity(2));
  book.Set(w, 2, 6, "0.5");
  ASSERT_TRUE(ReadIntoKernel());
  EXPECT_FALSE(kernel.HasUnitActivity(2));
  EXPECT_EQ(static_cast<double>(kernel.ActivityCoefficient(2)), 0.5);
}

TEST_F(CalcRun, LiquidAboveItsCriticalTemperatureIsExcluded) {
  AddConditionSheet({"gas", "water"}, "500");
  AddPhaseSheet("gas", "(g)", {{"H2O", "1"}});
  const int w = AddPhaseSheet("water", "(l)", {{"H2O", "1"}});
  book.Set(w, 2, 6, "0.5");  // no pure substance mark
  calc.RunWorkbook();
  EXPECT_TRUE(Posted(1306));
  EXPECT_EQ(kernel.CompoundState(2), 0);
  EXPECT_EQ(book.Get("water", 2, 8).substr(0, 1), "0");
}

TEST_F(CalcRun, ReadOnlyWritesNothing) {
  const int s = AddConditionSheet({"gas"});
  book.Set(s, 6, 1, "Count +C");
  book.Set(s, 6, 2, "4");
  AddPhaseSheet("gas", "(g)", {{"N2", "1"}});
  calc.readOnly = true;
  const int writesBefore = book.writes;
  EXPECT_EQ(calc.RunWorkbook(), 0);
  EXPECT_TRUE(calc.calculationOk);
  EXPECT_EQ(book.writes, writesBefore);
  EXPECT_EQ(calc.slots[1].grid.Cell(2, 1), "1");  // the grids hold the results
}

TEST_F(CalcRun, WindowRunUsesTheGridsAndInternalNames) {
  AddConditionSheet({"gas"});
  AddPhaseSheet("gas", "(g)", {{"N2", "1"}});
  calc.ReadConditionSheet();
  calc.ReadPhaseSheet(calc.slots[1].sheetIndex, 1);
  calc.SetWorkbook(nullptr);
  calc.CalcButton();
  EXPECT_TRUE(calc.calculationOk);
  EXPECT_EQ(TextOf(1593), "internal[internal] Calculation success ");
  EXPECT_EQ(calc.slots[1].grid.Cell(2, 1), "1");
}

}  // namespace
}  // namespace ploxen::test
