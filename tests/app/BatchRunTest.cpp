// Batch runs of the example workbooks from start-up to the end of the program.
#include <cmath>
#include <map>

#include <gtest/gtest.h>

#include "AppFixture.h"
#include "app/ResultTable.h"

namespace ploxen::test {
namespace {

using BatchRun = AppFixture;

TEST_F(BatchRun, SuccessWritesStatusSavesAndCloses) {
  const std::string book = Example("Process");
  auto p = Start({"-x:", book, "-c:", "System"});
  EXPECT_TRUE(p->main.batchMode);
  EXPECT_TRUE(p->calc.calculationOk);
  EXPECT_TRUE(p->main.programClosed);
  EXPECT_EQ(p->main.ExitStatus(), 0);
  EXPECT_FALSE(p->xls.HasServer());  // the engine started here was quit
  EXPECT_EQ(TextOf(*p, 295), "Parameters:-x: " + book + " -c: System");
  EXPECT_EQ(TextOf(*p, 433), "Conditions: Process.xlsx");
  ASSERT_FALSE(p->settings.Recent().empty());
  EXPECT_EQ(p->settings.Recent()[0], "-x: " + book + " -c: System");
  SavedBook saved(book);
  ASSERT_TRUE(saved.Ok());
  EXPECT_EQ(saved.Cell("System", 1, 2), "success");
  EXPECT_EQ(saved.Cell("System", 2, 3), "300");
  EXPECT_EQ(saved.Cell("gas.1", 1, 2), "In [kg]");
  EXPECT_NE(saved.Cell("gas.1", 4, 3), "");
  EXPECT_EQ(saved.Cell("rec", 1, 1), "T [C]");
  EXPECT_EQ(saved.Cell("rec", 1, 2), "EOT");
}

TEST_F(BatchRun, LagrangeTableShowsTheKernelCoefficients) {
  const std::string book = Example("Process");
  auto p = Start({"-x:", book, "-c:", "System"});
  ASSERT_TRUE(p->calc.calculationOk);
  const StringGrid& g = p->lsolver.SGLge;
  EXPECT_EQ(p->lsolver.Caption, "Lagrange");
  EXPECT_EQ(g.Cell(0, 0), "Element");
  EXPECT_EQ(g.Cell(0, 1), "Lagrange Coef.");
  const int n = p->kernel.SystemElementCount();
  ASSERT_GT(n, 0);
  EXPECT_EQ(g.ColCount(), n + 1);
  for (int j = 1; j <= n; ++j) {
    EXPECT_EQ(g.Cell(j, 0), p->elements.ElementSymbol(p->kernel.SystemElementIndex(j)));
    EXPECT_EQ(g.Cell(j, 1), FormatFloat8(static_cast<double>(p->kernel.LagrangeCoefficient(j))));
  }
}

TEST_F(BatchRun, ElementsBalanceAndFractionsAddUp) {
  const std::string book = Example("Process");
  auto p = Start({"-x:", book, "-c:", "System"});
  ASSERT_TRUE(p->calc.calculationOk);
  SavedBook saved(book);
  // Masses in kg per element from the input (B) and output (C) columns of all phase sheets.
  std::map<std::string, double> in, out;
  double sumX = 0.0, sumF = 0.0;
  for (const char* sheet : {"gas.1", "liq.1", "sol.1"}) {
    for (int r = 2; saved.Cell(sheet, r, 1) != "EOT"; ++r) {
      PhaseSplit split = SplitPhaseSuffix(saved.Cell(sheet, r, 1));
      if (split.phase == "(u)") split.phase = std::string("(") + sheet[0] + ")";
      const std::string mol = p->thermo.Database().MolDefinitionOf(split.name, split.phase);
      const double m = p->elements.MolarMass(mol);
      ASSERT_GT(m, 0.0) << split.name;
      for (const char* e : {"C", "H", "O", "N", "S"}) {
        const double atoms = p->elements.ElementCount(e, mol);
        in[e] += atoms * saved.Number(sheet, r, 2) / m;
        out[e] += atoms * saved.Number(sheet, r, 3) / m;
      }
      if (std::string(sheet) == "gas.1") {
        sumX += saved.Number(sheet, r, 4);
        sumF += saved.Number(sheet, r, 5);
      }
    }
  }
  // The template's precision of 0.01 bounds the relative error of the balances.
  for (const char* e : {"C", "H", "O", "N", "S"}) EXPECT_NEAR(out[e], in[e], 0.01 * in[e]) << e;
  EXPECT_NEAR(sumX, 1.0, 1e-6);
  EXPECT_NEAR(sumF, 1.0, 0.01);
}

TEST_F(BatchRun, ResultsDoNotChangeWhenTheSavedBookIsRunAgain) {
  const std::string book = Example("Process");
  Start({"-x:", book, "-c:", "System"});
  SavedBook first(book);
  std::vector<std::string> before;
  for (int r = 2; r <= 11; ++r) before.push_back(first.Cell("gas.1", r, 3));
  Start({"-x:", book, "-c:", "System"});
  SavedBook second(book);
  for (int r = 2; r <= 11; ++r) EXPECT_EQ(second.Cell("gas.1", r, 3), before[r - 2]) << r;
}

TEST_F(BatchRun, StayOpenWritesStatusButDoesNotSave) {
  const std::string book = Example("Process");
  const std::string bytes = FileBytes(book);
  auto p = Start({"-x:", book, "-c:", "System", "-s:"});
  EXPECT_TRUE(p->calc.calculationOk);
  EXPECT_EQ(p->xls.ReadCell(p->main.conditionSheet, 1, 2), "success");
  EXPECT_FALSE(p->main.programClosed);
  EXPECT_TRUE(p->xls.HasServer());
  EXPECT_EQ(FileBytes(book), bytes);
}

TEST_F(BatchRun, ReadOnlyOptionAndMark) {
  const std::string book = Example("Process");
  EditBook(book, {{"gas.1", 2, 3, "-"}, {"System", 2, 3, "-"}});
  auto p = Start({"-x:", book, "-c:", "System", "-r:"});
  EXPECT_TRUE(p->calc.calculationOk);
  EXPECT_TRUE(p->main.stay);
  EXPECT_EQ(p->xls.ReadCell(p->main.conditionSheet, 2, 3), "-");  // no results written
  EXPECT_EQ(p->xls.ReadCell(p->xls.FindSheet("gas.1"), 2, 3), "-");
}

TEST_F(BatchRun, ForcedShutdownClosesAfterItsSeconds) {
  const std::string book = Example("Process");
  auto p = Start({"-x:", book, "-c:", "System", "-t:", "20"});
  EXPECT_EQ(p->main.splashLower, "Shut down forced");
  EXPECT_EQ(p->main.StatusPanel0, "Shutting Down");
  EXPECT_FALSE(p->main.programClosed);
  EXPECT_EQ(SavedBook(book).Cell("System", 1, 2), "success");
  for (int i = 0; i < 19; ++i) p->main.TimerTick();
  EXPECT_FALSE(p->main.programClosed);
  p->main.TimerTick();
  EXPECT_TRUE(p->main.programClosed);
  EXPECT_EQ(p->main.ExitStatus(), 0);
}

TEST_F(BatchRun, ChainOfFiveRunsWithRecorder) {
  const std::string book = Example("Combustion");
  auto p = Start({"-x:", book, "-c:", "System"});
  ASSERT_TRUE(p->calc.calculationOk);
  int successes = 0;
  for (const LogEntry& e : p->log.Entries()) successes += e.number == 1593;
  EXPECT_EQ(successes, 5);
  SavedBook saved(book);
  EXPECT_EQ(saved.Cell("System", 6, 2), "5");
  EXPECT_EQ(saved.Cell("rec", 1, 1), "T [C]");
  EXPECT_EQ(saved.Cell("rec", 1, 7), "EOT");
  for (int n = 1; n <= 5; ++n) {
    EXPECT_NEAR(saved.Number("rec", n + 1, 1), 1000.0 + 375.0 * (n - 1), 1e-9) << n;
    EXPECT_GT(saved.Number("rec", n + 1, 6), 40000.0);  // the run's day number
  }
  // NO rises and CO2 falls towards 2500 °C.
  EXPECT_GT(saved.Number("rec", 6, 4), saved.Number("rec", 2, 4));
  EXPECT_LT(saved.Number("rec", 6, 2), saved.Number("rec", 2, 2));
  EXPECT_EQ(saved.Cell("rec", 7, 1), "");
}

TEST_F(BatchRun, ConstantVolumeGasFugacitiesGiveThePressureOfTheVessel) {
  const std::string book = Example("ConstantVolume");
  auto p = Start({"-x:", book, "-c:", "System"});
  ASSERT_TRUE(p->calc.calculationOk);
  SavedBook saved(book);
  double moles = 0.0, fugacities = 0.0, percent = 0.0;
  for (int r = 2; saved.Cell("gas.1", r, 1) != "EOT"; ++r) {
    moles += saved.Number("gas.1", r, 3);
    percent += saved.Number("gas.1", r, 4);
    fugacities += saved.Number("gas.1", r, 5);
  }
  const double pressure = moles * 8.3143 * 2273.15 / 0.5 / 1e5;  // ideal gas [bar]
  EXPECT_NEAR(fugacities, pressure, 0.03 * pressure);
  EXPECT_NEAR(percent, 100.0, 1e-5);
  EXPECT_EQ(saved.Cell("gas.1", 1, 4), "w%");
}

TEST_F(BatchRun, ResultTableShowsEverySheet) {
  const std::string book = Example("Process");
  auto p = Start({"-x:", book, "-c:", "System", "-s:"});
  const std::string table = ResultTable(p->calc);
  EXPECT_NE(table.find("[gas.1]\nCompound  In [kg]"), std::string::npos) << table;
  EXPECT_NE(table.find("[sol.1]"), std::string::npos);
  EXPECT_NE(table.find("H2O (l)"), std::string::npos);
  EXPECT_NE(table.find("x [mol/mol]"), std::string::npos);
}

TEST_F(BatchRun, InverseExampleWritesComputedFugacitiesAndFitQuality) {
  const std::string book = Example("Inverse");
  auto p = Start({"-x:", book, "-c:", "System"});
  EXPECT_TRUE(p->recalc.Succeeded());
  EXPECT_TRUE(p->main.programClosed);
  EXPECT_EQ(p->main.ExitStatus(), 0);
  EXPECT_FALSE(Posted(*p, 711));  // no equilibrium was calculated
  SavedBook saved(book);
  EXPECT_EQ(saved.Cell("System", 1, 2), "success");
  EXPECT_EQ(saved.Cell("System", 2, 3), "1200");
  EXPECT_EQ(saved.Number("System", 7, 3), 1.0);
  EXPECT_EQ(saved.Cell("gas.1", 1, 12), "f(c)");
  EXPECT_EQ(saved.Cell("sol.1", 1, 12), "a(c)");
  // The four references come back as measured; the rest follow from them.
  for (int r = 2; r <= 5; ++r) EXPECT_EQ(saved.Number("gas.1", r, 12), saved.Number("gas.1", r, 5));
  for (int r = 6; saved.Cell("gas.1", r, 1) != "EOT"; ++r) {
    EXPECT_GT(saved.Number("gas.1", r, 12), 0.0) << saved.Cell("gas.1", r, 1);
  }
  // In a flue gas with 2 % oxygen carbon is far from depositing.
  EXPECT_LT(saved.Number("sol.1", 2, 12), 1e-6);
  EXPECT_EQ(saved.Cell("System", 6, 2), "1");  // the counter moved on after the run
  // The system matrix window keeps the fitted matrix; no Lagrange table replaces it.
  EXPECT_EQ(p->lsolver.Caption, "System Matrix");
  EXPECT_EQ(p->lsolver.RowsUsed(), 4);
}

}  // namespace
}  // namespace ploxen::test
