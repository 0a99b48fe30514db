// State functions and dataset data of the phase sheets' compounds: values, units, headers,
// extrapolation marks, per-row temperatures and the failures of the export.
#include <gtest/gtest.h>

#include "../support/TempFolder.h"
#include "ProcessFixture.h"
#include "chem/PTools.h"
#include "process/SetStFn.h"
#include "thermo/StateFunctions.h"

namespace ploxen::test {
namespace {

class StateFunctionExport : public ProcessFixture {
 protected:
  /// A condition sheet at `t` °C naming "gas" and "water"; the grids read from it.
  void Read(const std::vector<std::pair<std::string, std::string>>& gas, const std::string& t,
            const std::string& water = "H2O") {
    AddConditionSheet({"gas", "water"}, t);
    AddPhaseSheet("gas", "(g)", gas);
    AddPhaseSheet("water", "(l)", {{water, "1"}});
    ASSERT_TRUE(calc.ReadConditionSheet());
  }
  std::string Value(int slot, int row) const { return calc.slots[slot].grid.Cell(kGridValue, row); }
  double Number(int slot, int row) const { return TextToFloat(Value(slot, row)); }
  std::string Info(int slot, int row) const { return calc.slots[slot].grid.Cell(gc::kInfo, row); }

  /// State functions of a compound straight from the database with the current model.
  StateFunctionRecord Direct(const std::string& name, const std::string& phase, double tK,
                             double pBar = 1.0) {
    const int r = thermo.FindDataset(name, phase, tK);
    EXPECT_GT(r, 0);
    StateFunctionRecord sf;
    StateFunctions(thermo.Database(), r, thermo.Model(), pBar, tK, sf);
    return sf;
  }
};

TEST_F(StateFunctionExport, EnthalpyAndEntropyAtReferenceTemperatureAreTheDatabaseValues) {
  thermo.RGgrlClick(0);  // ideal gas: no residual part at 1 bar
  Read({{"CO", "1"}}, "25");
  ASSERT_GT(thermo.FindDataset("CO", "(g)", 298.15), 0);
  const TDS co = thermo.Database().Tds();
  ASSERT_DOUBLE_EQ(co.T0, 298.15);

  ASSERT_TRUE(calc.ExportStateFunction(kSfEnthalpy, 0));
  EXPECT_EQ(Value(1, 0), "H [kJ/mol]");
  EXPECT_NEAR(Number(1, 1), co.H0 / 1000.0, 1e-6 * std::abs(co.H0 / 1000.0));
  const double h = Number(1, 1);

  ASSERT_TRUE(calc.ExportStateFunction(kSfEntropy, 0));
  EXPECT_EQ(Value(1, 0), "S [J/mol K]");
  EXPECT_NEAR(Number(1, 1), co.S0, 1e-6 * co.S0);
  const double s = Number(1, 1);

  // G = H - T S, in kJ/mol.
  ASSERT_TRUE(calc.ExportStateFunction(kSfGibbs, 0));
  EXPECT_EQ(Value(1, 0), "G [kJ/mol]");
  EXPECT_NEAR(Number(1, 1), h - 298.15 * s / 1000.0, 1e-5 * std::abs(Number(1, 1)));
  EXPECT_EQ(Info(1, 1), "");
}

TEST_F(StateFunctionExport, PerKilogramUnitsReferToTheMolarMass) {
  Read({{"CO", "1"}, {"CH4", "1"}}, "300");
  const double t = 573.15;
  for (const char* name : {"CO", "CH4"}) {
    SCOPED_TRACE(name);
    const int row = std::string(name) == "CO" ? 1 : 2;
    const StateFunctionRecord sf = Direct(name, "(g)", t);
    const double m = elements.MolarMass(thermo.Database().Tds().molDefinition);
    ASSERT_TRUE(calc.ExportStateFunction(kSfHeatCapacity, 1));
    EXPECT_EQ(Value(1, 0), "Cp [kJ/kg K]");
    EXPECT_NEAR(Number(1, row), sf.Cp / m * 1000.0 / 1000.0, 1e-6 * sf.Cp / m);
    ASSERT_TRUE(calc.ExportStateFunction(kSfEnthalpy, 1));
    EXPECT_EQ(Value(1, 0), "H [kJ/kg]");
    EXPECT_NEAR(Number(1, row), sf.H / 1000.0 / m * 1000.0, 1e-6 * std::abs(sf.H / m));
    ASSERT_TRUE(calc.ExportStateFunction(kSfEntropy, 1));
    EXPECT_NEAR(Number(1, row), sf.S / m, 1e-6 * sf.S / m);
    ASSERT_TRUE(calc.ExportStateFunction(kSfGibbs, -1));  // no unit chosen: the default, per kg
    EXPECT_EQ(Value(1, 0), "G [kJ/kg]");
    EXPECT_NEAR(Number(1, row), sf.G / m, 1e-6 * std::abs(sf.G / m));
    ASSERT_TRUE(calc.ExportStateFunction(kSfMolWeight, 0));
    EXPECT_EQ(Value(1, row), FormatFloat8(m));
  }
}

TEST_F(StateFunctionExport, CompoundsOutsideTheirRangeAreMarked) {
  Read({{"CO", "1"}, {"H2O", "1"}}, "-100");           // 173 K: below CO's and H2O's lowest 200 K
  calc.slots[3].grid.SetCell(gc::kInfo, 1, "(ext.)");  // left over from an earlier run
  calc.slots[3].grid.SetCell(kGridTin, 1, "25");       // water in its own range
  ASSERT_TRUE(calc.ExportStateFunction(kSfMolWeight, 0));
  EXPECT_EQ(Info(1, 1), "(ext.)");
  EXPECT_EQ(Info(1, 2), "(ext.)");
  EXPECT_EQ(Info(3, 1), "");
  EXPECT_EQ(Value(1, 1), FormatFloat8(elements.MolarMass("C1O1")));

  // Critical data and texts leave the marks alone.
  calc.slots[1].grid.SetCell(gc::kInfo, 1, "kept");
  ASSERT_TRUE(calc.ExportStateFunction(kSfCriticalTemperature, 0));
  EXPECT_EQ(Info(1, 1), "kept");
}

TEST_F(StateFunctionExport, RowTemperatureReplacesTheSystemTemperature) {
  thermo.RGgrlClick(0);
  Read({{"CO", "1"}, {"CO", "1"}, {"N2", "1"}}, "25");
  calc.slots[1].grid.SetCell(kGridTin, 2, "1226.85");  // 1500 K
  calc.slots[1].grid.SetCell(kGridTin, 3, "warm");
  ASSERT_TRUE(calc.ExportStateFunction(kSfEnthalpy, 0));
  const double hot = Direct("CO", "(g)", 1500.0).H / 1000.0;
  EXPECT_NEAR(Number(1, 2), hot, 1e-6 * std::abs(hot));
  EXPECT_GT(Number(1, 2), Number(1, 1) + 30.0);  // about 38 kJ/mol above 298 K
  EXPECT_NEAR(Number(1, 1), Direct("CO", "(g)", 298.15).H / 1000.0, 1e-6 * 110.0);
  EXPECT_EQ(TextOf(2006), "Irregular temperature, [gas][A4]: warm");
  EXPECT_EQ(Value(1, 3), "");

  calc.slots[1].grid.SetCell(kGridTin, 3, "-300");
  calc.ExportStateFunction(kSfEnthalpy, 0);
  EXPECT_EQ(CountPosted(2006), 2);
  EXPECT_EQ(Value(1, 3), "");
}

TEST_F(StateFunctionExport, LiquidAboveItsCriticalTemperatureGetsNoValue) {
  Read({{"H2O", "1"}}, "400");  // 673 K, water's critical temperature is 647 K
  calc.slots[3].grid.SetCell(gc::kInfo, 1, "(ext.)");
  ASSERT_TRUE(calc.ExportStateFunction(kSfHeatCapacity, 0));
  EXPECT_EQ(TextOf(2026), "H2O (l) can not exist at T[C]:400");
  EXPECT_EQ(Value(3, 1), "");
  EXPECT_EQ(Info(3, 1), "");
  EXPECT_NE(Value(1, 1), "");  // the vapour is fine

  log.Clear();
  book.Set(1, 2, 1, "T [K]");
  book.Set(1, 2, 2, "700");
  ASSERT_TRUE(calc.ReadConditionSheet());
  calc.ExportStateFunction(kSfCompressibility, 0);
  EXPECT_EQ(TextOf(2026), "H2O (l) can not exist at T[K]:700");
}

TEST_F(StateFunctionExport, MissingCompoundIsNamedWithItsCell) {
  Read({{"CO", "1"}, {"Unobtainium", "1"}, {"N2", "1"}}, "25");
  ASSERT_TRUE(calc.ExportStateFunction(kSfEnthalpy, 1));
  EXPECT_EQ(TextOf(2015), "[gas][A3]: Unobtainium (g) does not exist in the database !");
  EXPECT_EQ(Value(1, 2), "");
  EXPECT_NE(Value(1, 1), "");
  EXPECT_NE(Value(1, 3), "");
}

TEST_F(StateFunctionExport, PerKilogramValuesNeedAMolarMass) {
  // A dataset whose mol definition gives no mass: per kg there is nothing to refer to.
  testing::TempFolder temp;
  const std::string path = temp / "massless.tdb";
  testing::WriteBytes(path,
                      "Nr\tName\tPhase\tTmin\tTmax\tT0\tH0\tS0\ta\tb\tc\td\te\tf\tTc\tPc\t"
                      "Omega\tMol definition\tDescription\n"
                      "1\tQ\t(g)\t200\t1000\t298.15\t-1000\t100\t29.3\t0\t0\t0\t0\t0\t\t\t\t"
                      "\tno mass\n");
  thermo.OpenDatabase(path);
  Read({{"Q", "1"}}, "25");
  ASSERT_TRUE(calc.ExportStateFunction(kSfEnthalpy, 0));
  EXPECT_NEAR(Number(1, 1), -1.0, 1e-6);
  for (int f : {kSfHeatCapacity, kSfEnthalpy, kSfEntropy, kSfGibbs}) {
    ASSERT_TRUE(calc.ExportStateFunction(f, 1));
    EXPECT_EQ(Value(1, 1), "") << StateFunctionEntry(f);
  }
  ASSERT_TRUE(calc.ExportStateFunction(kSfMolWeight, 0));
  EXPECT_EQ(Value(1, 1), "0");
}

TEST_F(StateFunctionExport, DatasetTextsAndCriticalDataAreWrittenAsStored) {
  Read({{"CO", "1"}}, "25");
  const int r = thermo.FindDataset("CO", "(g)", 298.15);
  ASSERT_GT(r, 0);
  const PXDatabase& db = thermo.Database();
  const struct {
    int function;
    int field;
    const char* header;
  } texts[] = {{kSfCriticalPressure, 15, "Pc [bar]"},    {kSfAcentricFactor, 16, "w [-]"},
               {kSfMolDefinition, 17, "Mol Definition"}, {kSfDescription, 18, "Description"},
               {kSfReference, 19, "Reference"},          {kSfCreated, 20, "Time of creation"},
               {kSfComments, 21, "Commentsin Database"}};
  for (const auto& t : texts) {
    SCOPED_TRACE(t.header);
    ASSERT_TRUE(calc.ExportStateFunction(t.function, -1));
    EXPECT_EQ(Value(1, 0), t.header);
    EXPECT_EQ(Value(1, 1), std::string(db.Field(r, t.field)));
  }
  ASSERT_TRUE(calc.ExportStateFunction(kSfDescription, -1));
  EXPECT_EQ(Value(1, 1), "carbon monoxide");

  ASSERT_TRUE(calc.ExportStateFunction(kSfCriticalTemperature, 0));
  EXPECT_EQ(Value(1, 0), "Tc [K]");
  EXPECT_EQ(Value(1, 1), FormatFloatG(132.86, 4, 2));
  ASSERT_TRUE(calc.ExportStateFunction(kSfCriticalTemperature, 1));
  EXPECT_EQ(Value(1, 0), "Tc [C]");
  EXPECT_EQ(Value(1, 1), FormatFloatG(132.86 - 273.15, 4, 2));
}

TEST_F(StateFunctionExport, CompoundWithoutCriticalTemperatureGetsAnEmptyCell) {
  AddConditionSheet({"solid"});
  AddPhaseSheet("solid", "(s)", {{"C", "1"}});
  ASSERT_TRUE(calc.ReadConditionSheet());
  ASSERT_TRUE(calc.ExportStateFunction(kSfCriticalTemperature, 1));
  EXPECT_EQ(Value(6, 1), "");
  EXPECT_FALSE(Posted(2015));
}

TEST_F(StateFunctionExport, IrregularConditionsStopBeforeAnyRow) {
  Read({{"CO", "1"}}, "-300");
  EXPECT_FALSE(calc.ExportStateFunction(kSfEnthalpy, 0));
  EXPECT_EQ(TextOf(1472), "Irregular temperature");
  EXPECT_EQ(calc.slots[1].grid.ColCount(), kGridColumns);   // nothing touched
  EXPECT_FALSE(calc.ExportStateFunction(kSfMolWeight, 0));  // no dataset can be picked either

  calc.EditTsys = "25";
  calc.EditPVsys = "0";
  log.Clear();
  EXPECT_FALSE(calc.ExportStateFunction(kSfCompressibility, 0));
  EXPECT_EQ(TextOf(1481), "Irregular pressure/volume");
  EXPECT_EQ(calc.slots[1].grid.ColCount(), kGridColumns);
  // Data that do not depend on the pressure are still available.
  EXPECT_TRUE(calc.ExportStateFunction(kSfMolWeight, 0));
  EXPECT_EQ(Value(1, 1), FormatFloat8(elements.MolarMass("C1O1")));
  EXPECT_FALSE(calc.ExportStateFunction(0, 0));
  EXPECT_FALSE(calc.ExportStateFunction(kSfLast + 1, 0));
}

TEST_F(StateFunctionExport, ConstantVolumeSystemsAreEvaluatedAtOneBar) {
  Read({{"CO2", "1"}}, "25");
  calc.CbxPV = 1;
  calc.EditPVsys = "0.001";  // a volume [m³], not a pressure
  ASSERT_TRUE(calc.ExportStateFunction(kSfCompressibility, 0));
  EXPECT_EQ(Value(1, 0), "z [-]");
  EXPECT_NEAR(Number(1, 1), Direct("CO2", "(g)", 298.15, 1.0).z, 1e-7);
  EXPECT_LT(Number(1, 1), 1.0);  // the default model is not ideal
}

}  // namespace
}  // namespace ploxen::test
