// System matrix: Lagrange coefficients fitted to reference activities, and the activities
// of every other compound that follow from them.
#include "linalg/LSolver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "chem/PTools.h"
#include "chem/Periodica.h"
#include "support/AplMsg.h"
#include "support/ScriptedDialogs.h"
#include "support/TablOprt.h"

namespace ploxen {
namespace {

constexpr int kH = 1, kC = 6, kN = 7, kO = 8, kFe = 26;

class SystemMatrixTest : public ::testing::Test {
 protected:
  static constexpr double kT = 1200.0;        // K
  static constexpr double kLambdaH = -11.25;  // element potentials / (R T)
  static constexpr double kLambdaO = -19.5;

  SystemMatrixTest() {
    log.SetFilter(kMsgInformation);
    solver.SetConditions(kT, 1.0, 1.0);
  }

  static double RT() { return TLSolverWnd::kGasConstant * kT; }
  /// The activity a compound has in equilibrium with the known potentials.
  static double TrueActivity(double nH, double nO, double g) {
    return std::exp(nH * kLambdaH + nO * kLambdaO - g / RT());
  }

  /// A gas compound; references get the activity that the known potentials give them.
  int AddGas(const std::string& name, const std::string& molDefinition, double nH, double nO,
             double g, bool reference) {
    const int q = solver.AddMatrixCompound(1, name, 1, TrueActivity(nH, nO, g), reference,
                                           g + 5000.0, g, molDefinition, "g");
    if (reference) solver.MarkReference(q);
    return q;
  }

  /// The water gas: H2 and H2O are the references, H, O, OH and O2 follow.
  void AddWaterGas() {
    h2 = AddGas("H2", "H2", 2, 0, -150000.0, true);
    h = AddGas("H", "H1", 1, 0, 95000.0, false);
    o = AddGas("O", "O1", 0, 1, 120000.0, false);
    oh = AddGas("OH", "O1H1", 1, 1, -90000.0, false);
    h2o = AddGas("H2O", "H2O1", 2, 1, -480000.0, true);
    o2 = AddGas("O2", "O2", 0, 2, -250000.0, false);
  }

  /// The last message with `number`; fails the test when there is none.
  LogEntry Message(int number) const {
    for (const LogEntry& e : log.Entries()) {
      if (e.number == number) return e;
    }
    ADD_FAILURE() << "no message " << number;
    return {};
  }
  bool Posted(int number) const {
    for (const LogEntry& e : log.Entries()) {
      if (e.number == number) return true;
    }
    return false;
  }

  TAplMsgWnd log;
  Periodica elements;
  ScriptedDialogs dialogs;
  TTablOprtWnd table{dialogs};
  std::vector<std::uint8_t> selection;  // grown by the solver
  TLSolverWnd solver{log, elements, table, selection};
  int h2 = 0, h = 0, o = 0, oh = 0, h2o = 0, o2 = 0;
};

TEST_F(SystemMatrixTest, AsManyReferencesAsElementsReproduceThePotentials) {
  AddWaterGas();
  ASSERT_EQ(solver.BuildAndSolve(), 1);
  ASSERT_EQ(solver.ElementColumns(), 2);
  EXPECT_EQ(solver.ElementIndex(1), kH);
  EXPECT_EQ(solver.ElementIndex(2), kO);
  EXPECT_EQ(solver.RowsUsed(), 2);
  EXPECT_TRUE(solver.Solved());
  EXPECT_NEAR(solver.Lambda(1), kLambdaH, 1e-10);
  EXPECT_NEAR(solver.Lambda(2), kLambdaO, 1e-10);
  EXPECT_NEAR(solver.FitQuality(), 1.0, 1e-12);
  EXPECT_FALSE(Posted(320));

  // Every compound, reference or not, gets exp(sum a lambda - G/RT).
  struct Expect {
    int q;
    double nH, nO, g;
  };
  const Expect all[] = {{h2, 2, 0, -150000.0}, {h, 1, 0, 95000.0},     {o, 0, 1, 120000.0},
                        {oh, 1, 1, -90000.0},  {h2o, 2, 1, -480000.0}, {o2, 0, 2, -250000.0}};
  EXPECT_EQ(solver.ActivityFromLagrange(0), 0.0);
  for (const Expect& e : all) {
    const double expected = TrueActivity(e.nH, e.nO, e.g);
    EXPECT_NEAR(solver.ActivityFromLagrange(e.q) / expected, 1.0, 1e-9) << solver.Name(e.q);
    EXPECT_NEAR(solver.Activity(e.q) / expected, 1.0, 1e-9) << solver.Name(e.q);
    // The equilibrium condition itself: ln a + G/RT = sum a lambda.
    EXPECT_NEAR(std::log(solver.Activity(e.q)) + e.g / RT(),
                e.nH * solver.Lambda(1) + e.nO * solver.Lambda(2), 1e-9);
  }
}

TEST_F(SystemMatrixTest, GridShowsReferenceRowsAndTheCoefficients) {
  AddWaterGas();
  ASSERT_EQ(solver.BuildAndSolve(), 1);
  const StringGrid& g = solver.SGLge;
  EXPECT_EQ(solver.Caption, "System Matrix");
  ASSERT_EQ(g.ColCount(), 4);
  ASSERT_EQ(g.RowCount(), 4);
  EXPECT_EQ(g.Cell(1, 0), "H");
  EXPECT_EQ(g.Cell(2, 0), "O");
  EXPECT_EQ(g.Cell(3, 0), "ln(a)+ G/(R.T)");
  // References in index order: H2 before H2O.
  EXPECT_EQ(g.Cell(0, 1), "H2");
  EXPECT_EQ(g.Cell(1, 1), "2");
  EXPECT_EQ(g.Cell(2, 1), "0");
  EXPECT_NEAR(TextToFloat(g.Cell(3, 1)), 2 * kLambdaH, 1e-6);
  EXPECT_EQ(g.Cell(0, 2), "H2O");
  EXPECT_EQ(g.Cell(2, 2), "1");
  EXPECT_NEAR(TextToFloat(g.Cell(3, 2)), 2 * kLambdaH + kLambdaO, 1e-6);
  EXPECT_EQ(g.Cell(0, 3), "Lagrange:");
  EXPECT_NEAR(TextToFloat(g.Cell(1, 3)), kLambdaH, 1e-6);
  EXPECT_NEAR(TextToFloat(g.Cell(2, 3)), kLambdaO, 1e-6);
  EXPECT_EQ(g.Cell(3, 3), "");
}

TEST_F(SystemMatrixTest, ConflictingReferencesGiveALeastSquaresCompromise) {
  // Two H2 measurements: with H as the only column the best lambda is the mean of y / 2.
  const double g = -150000.0;
  const double a1 = 0.02, a2 = 0.08;
  solver.MarkReference(solver.AddMatrixCompound(1, "H2", 1, a1, true, 0.0, g, "H2", "g"));
  solver.MarkReference(solver.AddMatrixCompound(2, "H2", 1, a2, true, 0.0, g, "H2", "g"));
  const int atom = solver.AddMatrixCompound(1, "H", 1, 1.0, false, 0.0, 95000.0, "H1", "g");
  ASSERT_EQ(solver.BuildAndSolve(), 1);
  const double y1 = std::log(a1) + g / RT(), y2 = std::log(a2) + g / RT();
  EXPECT_NEAR(solver.Lambda(1), (y1 + y2) / 4.0, 1e-10);
  // Both references are off by the same amount in opposite directions.
  const double fitted = solver.ActivityFromLagrange(1);
  EXPECT_NEAR(fitted, std::sqrt(a1 * a2), 1e-12);
  EXPECT_NEAR(solver.ActivityFromLagrange(atom), std::exp(solver.Lambda(1) - 95000.0 / RT()),
              1e-15);
}

TEST_F(SystemMatrixTest, ReferencesWithoutAPositiveActivityAreNoRows) {
  AddWaterGas();
  solver.MarkReference(solver.AddMatrixCompound(1, "OH", 1, 0.0, true, 0.0, 1.0, "O1H1", "g"));
  solver.MarkReference(solver.AddMatrixCompound(1, "OH", 1, -0.5, true, 0.0, 1.0, "O1H1", "g"));
  EXPECT_EQ(solver.ReferenceCount(), 4);
  ASSERT_EQ(solver.BuildAndSolve(), 1);
  EXPECT_EQ(solver.RowsUsed(), 2);
  EXPECT_EQ(solver.SGLge.RowCount(), 4);
  EXPECT_NEAR(solver.Lambda(1), kLambdaH, 1e-10);
  EXPECT_NEAR(solver.Lambda(2), kLambdaO, 1e-10);
  // ln 0 has no place in the fit quality either.
  EXPECT_NEAR(solver.FitQuality(), 1.0, 1e-12);
}

TEST_F(SystemMatrixTest, ElementsWithoutReferencesAreDroppedWithTheirCompounds) {
  AddWaterGas();
  const int no = solver.AddMatrixCompound(1, "NO", 1, 1.0, false, 0.0, -50000.0, "N1O1", "g");
  const int co2 = solver.AddMatrixCompound(1, "CO2", 1, 1.0, false, 0.0, -600000.0, "C1O2", "g");
  selection.assign(120, 0);
  selection[kFe] = 1;  // selected earlier, but no compound holds it
  ASSERT_EQ(solver.BuildAndSolve(), 1);

  const LogEntry dropped = Message(320);
  EXPECT_EQ(dropped.level, kMsgCritical);
  EXPECT_EQ(dropped.text, "No values for: C, N, Fe");
  EXPECT_EQ(solver.ElementColumns(), 2);
  EXPECT_EQ(solver.State(no), 0);
  EXPECT_EQ(solver.State(co2), 0);
  EXPECT_EQ(solver.State(oh), 1);
  EXPECT_EQ(selection[kC], 0);
  EXPECT_EQ(selection[kN], 0);
  EXPECT_EQ(selection[kFe], 0);
  EXPECT_EQ(selection[kH], 1);
  EXPECT_EQ(selection[kO], 1);
  EXPECT_EQ(solver.ActivityFromLagrange(no), 0.0);
  EXPECT_EQ(solver.ActivityFromLagrange(co2), 0.0);
  EXPECT_NEAR(solver.Lambda(2), kLambdaO, 1e-10);
  // The grid has no column left over from the dropped elements.
  EXPECT_EQ(solver.SGLge.ColCount(), 4);
  EXPECT_EQ(solver.SGLge.Cell(2, 0), "O");
}

TEST_F(SystemMatrixTest, OnlyTableIndicesUpTo110BecomeColumns) {
  for (const char* s : {"Qa", "Qb", "Qc", "Qd", "Qe", "Qf"}) {
    ASSERT_GT(elements.DefineElement(s, "user element", 0, "", 10.0), 0);
  }
  ASSERT_EQ(elements.FindSymbol("Qe"), 110);
  ASSERT_EQ(elements.FindSymbol("Qf"), 111);
  AddWaterGas();
  const double gQe = -30000.0;
  const double lambdaQe = -3.0;
  solver.MarkReference(solver.AddMatrixCompound(
      1, "HQe", 1, std::exp(kLambdaH + lambdaQe - gQe / RT()), true, 0.0, gQe, "H1Qe1", "g"));
  // Qf sits in a reference too, but beyond the columns it cannot be fitted.
  solver.MarkReference(solver.AddMatrixCompound(1, "HQf", 1, std::exp(kLambdaH - gQe / RT()), true,
                                                0.0, gQe, "H1Qf1", "g"));
  ASSERT_EQ(solver.BuildAndSolve(), 1);
  ASSERT_EQ(solver.ElementColumns(), 3);
  EXPECT_EQ(solver.ElementIndex(3), 110);
  EXPECT_EQ(solver.SGLge.Cell(3, 0), "Qe");
  EXPECT_EQ(selection[111], 1);
  EXPECT_NEAR(solver.Lambda(3), lambdaQe, 1e-9);
  EXPECT_NEAR(solver.Lambda(1), kLambdaH, 1e-9);
}

TEST_F(SystemMatrixTest, ExponentAboveTheLimitGivesMinusOne) {
  AddWaterGas();
  const int hot = solver.AddMatrixCompound(1, "H*", 1, 1.0, false, 0.0, -RT() * 800.0, "H1", "g");
  const int edge =
      solver.AddMatrixCompound(1, "H**", 1, 1.0, false, 0.0, -RT() * (699.0 - kLambdaH), "H1", "g");
  ASSERT_EQ(solver.BuildAndSolve(), 1);
  EXPECT_EQ(solver.ActivityFromLagrange(hot), -1.0);
  EXPECT_NEAR(std::log(solver.ActivityFromLagrange(edge)), 699.0, 1e-6);
  solver.ActivityFromLagrange(0);
  EXPECT_EQ(solver.Activity(hot), -1.0);
  EXPECT_GT(solver.Activity(h2o), 0.0);
}

TEST_F(SystemMatrixTest, CompoundsWithoutSystemElementsOrSwitchedOffHaveNoActivity) {
  AddWaterGas();
  const int off = solver.AddMatrixCompound(1, "H2 off", 0, 1.0, false, 0.0, 0.0, "H2", "g");
  const int electron = solver.AddMatrixCompound(1, "e-", 1, 1.0, false, 0.0, 0.0, "E1", "g");
  ASSERT_EQ(solver.BuildAndSolve(), 1);
  EXPECT_EQ(solver.ActivityFromLagrange(off), 0.0);
  EXPECT_EQ(solver.ActivityFromLagrange(electron), 0.0);
  EXPECT_EQ(selection[0], 1);  // the electron is selected, yet never a column
  EXPECT_EQ(solver.ActivityFromLagrange(99), 0.0);
}

TEST_F(SystemMatrixTest, IrregularPhaseIdsAreRefused) {
  EXPECT_EQ(solver.AddMatrixCompound(0, "H2", 1, 1.0, false, 0.0, 0.0, "H2", "g"), 0);
  LogEntry m = Message(175);
  EXPECT_EQ(m.level, kMsgCritical);
  EXPECT_EQ(m.text, "Phase ID is irregular0");
  EXPECT_EQ(solver.AddMatrixCompound(9, "H2O", 1, 1.0, false, 0.0, 0.0, "H2O1", "l"), 0);
  EXPECT_EQ(Message(175).text, "Phase ID is irregular9");

  EXPECT_EQ(solver.AddMatrixCompound(3, "H2", 1, 1.0, false, 0.0, 0.0, "H2", "g"), 0);
  m = Message(179);
  EXPECT_EQ(m.level, kMsgCritical);
  EXPECT_EQ(m.text, "Phase ID of gases is 1 or 2; Invalid for Gas ID:3");
  EXPECT_EQ(solver.CompoundCount(), 0);

  EXPECT_EQ(solver.AddMatrixCompound(2, "H2", 1, 1.0, false, 0.0, 0.0, "H2", "g"), 1);
  EXPECT_EQ(solver.AddMatrixCompound(3, "H2O", 1, 1.0, false, 0.0, 0.0, "H2O1", "l"), 2);
  EXPECT_EQ(solver.AddMatrixCompound(8, "C", 1, 1.0, false, 0.0, 0.0, "C1", "s"), 3);
}

TEST_F(SystemMatrixTest, CapacityOf2048Compounds) {
  for (int q = 1; q <= TLSolverWnd::kMaxCompounds; ++q) {
    ASSERT_EQ(solver.AddMatrixCompound(1, "H2", 1, 1.0, false, 0.0, 0.0, "H2", "g"), q);
  }
  EXPECT_EQ(solver.AddMatrixCompound(1, "H2O", 1, 1.0, false, 0.0, 0.0, "H2O1", "g"), 0);
  EXPECT_EQ(Message(176).level, kMsgCritical);
  EXPECT_EQ(solver.CompoundCount(), TLSolverWnd::kMaxCompounds);
}

TEST_F(SystemMatrixTest, MarkingReferencesCountsAndReportsThem) {
  const int a = solver.AddMatrixCompound(1, "H2", 1, 0.1, true, 0.0, 0.0, "H2", "g");
  const int b = solver.AddMatrixCompound(1, "H2O", 1, 0.1, true, 0.0, 0.0, "H2O1", "g");
  solver.MarkReference(a);
  EXPECT_EQ(Message(183).text, "1: Reference H2");
  EXPECT_EQ(Message(183).level, kMsgInformation);
  solver.MarkReference(b);
  EXPECT_EQ(solver.ReferenceCount(), 2);
  solver.MarkReference(b);  // marking again adds no reference
  EXPECT_EQ(solver.ReferenceCount(), 2);
  solver.MarkReference(0);
  solver.MarkReference(3);
  EXPECT_EQ(solver.ReferenceCount(), 2);
}

TEST_F(SystemMatrixTest, NoUsableReferencesFailWith285) {
  AddGas("H2", "H2", 2, 0, 0.0, false);
  AddGas("H2O", "H2O1", 2, 1, 0.0, false);
  EXPECT_EQ(solver.BuildAndSolve(), 0);
  EXPECT_EQ(Message(285).text, "No any references");
  EXPECT_EQ(Message(285).level, kMsgCritical);
  EXPECT_FALSE(solver.Solved());
  EXPECT_EQ(solver.SGLge.Cell(0, solver.SGLge.RowCount() - 1), "Lagrange:");

  // References whose activities are all 0 carry no element at all.
  log.Clear();
  solver.MarkReference(solver.AddMatrixCompound(1, "H", 1, 0.0, true, 0.0, 0.0, "H1", "g"));
  EXPECT_EQ(solver.BuildAndSolve(), 0);
  EXPECT_TRUE(Posted(285));
  EXPECT_EQ(Message(320).text, "No values for: H, O");
}

TEST_F(SystemMatrixTest, SingularReferencesFailAndKeepThePreviousResult) {
  AddWaterGas();
  ASSERT_EQ(solver.BuildAndSolve(), 1);
  const double lambdaH = solver.Lambda(1), lambdaO = solver.Lambda(2);

  // Water alone fixes 2 lambda_H + lambda_O, not both.
  solver.ResetMatrix();
  AddGas("H2O", "H2O1", 2, 1, -480000.0, true);
  AddGas("H2", "H2", 2, 0, -150000.0, false);
  EXPECT_EQ(solver.BuildAndSolve(), 0);
  const LogEntry m = Message(288);
  EXPECT_EQ(m.text, "Linear dependence ");
  EXPECT_EQ(m.level, kMsgCritical);
  EXPECT_TRUE(solver.Solved());
  EXPECT_EQ(solver.Lambda(1), lambdaH);
  EXPECT_EQ(solver.Lambda(2), lambdaO);
}

TEST_F(SystemMatrixTest, ReferencesOfDependentCompositionAreSingular) {
  // CNO5 is CO2 + NO3 and C2NO7 is 2 CO2 + NO3: three columns, only two independent rows.
  auto add = [&](const char* name, const char* molDefinition, double activity) {
    solver.MarkReference(
        solver.AddMatrixCompound(1, name, 1, activity, true, 0.0, -1.0e5, molDefinition, "g"));
  };
  add("CO2", "C1O2", 0.3);
  add("NO3", "N1O3", 0.01);
  add("CNO5", "C1N1O5", 0.002);
  add("C2NO7", "C2N1O7", 0.0007);
  EXPECT_EQ(solver.BuildAndSolve(), 0);
  EXPECT_EQ(Message(288).text, "Linear dependence ");
  EXPECT_FALSE(solver.Solved());
}

TEST_F(SystemMatrixTest, TemperatureAtOrBelowZeroIsRefused) {
  AddWaterGas();
  ASSERT_EQ(solver.BuildAndSolve(), 1);
  solver.SetConditions(0.0, 1.0, 1.0);
  EXPECT_EQ(solver.ActivityFromLagrange(h2o), 0.0);
  const LogEntry m = Message(360);
  EXPECT_EQ(m.level, kMsgError);
  EXPECT_EQ(m.text, "T<=0");
  log.Clear();
  EXPECT_EQ(solver.BuildAndSolve(), 0);
  EXPECT_TRUE(Posted(360));
  EXPECT_EQ(solver.FitQuality(), 0.0);
}

TEST_F(SystemMatrixTest, ResetEmptiesCompoundsAndGrid) {
  AddWaterGas();
  ASSERT_EQ(solver.BuildAndSolve(), 1);
  solver.ResetMatrix();
  EXPECT_EQ(solver.CompoundCount(), 0);
  EXPECT_EQ(solver.ReferenceCount(), 0);
  EXPECT_EQ(solver.Name(0), "Substance");
  EXPECT_EQ(solver.SGLge.ColCount(), 2);
  EXPECT_EQ(solver.SGLge.RowCount(), 2);
  EXPECT_EQ(solver.SGLge.Cell(0, 1), "");
  // A fresh system solves as if nothing had been there.
  AddWaterGas();
  ASSERT_EQ(solver.BuildAndSolve(), 1);
  EXPECT_EQ(solver.RowsUsed(), 2);
  EXPECT_EQ(h2, 1);
}

TEST_F(SystemMatrixTest, LagrangeTableOfAnEquilibriumRunAndItsCopy) {
  AddWaterGas();
  ASSERT_EQ(solver.BuildAndSolve(), 1);  // leaves a larger grid behind
  solver.ShowLagrange({"H", "O"}, {-12.5, 0.25});
  const StringGrid& g = solver.SGLge;
  EXPECT_EQ(solver.Caption, "Lagrange");
  ASSERT_EQ(g.ColCount(), 3);
  ASSERT_EQ(g.RowCount(), 2);
  EXPECT_EQ(g.Cell(0, 0), "Element");
  EXPECT_EQ(g.Cell(0, 1), "Lagrange Coef.");
  EXPECT_EQ(g.Cell(1, 0), "H");
  EXPECT_EQ(g.Cell(1, 1), "-12.5");
  EXPECT_EQ(g.Cell(2, 0), "O");
  EXPECT_EQ(g.Cell(2, 1), "0.25");

  std::string clipboard;
  table.onClipboard = [&](const std::string& text) { clipboard = text; };
  solver.SelectAll();
  solver.Copy();
  EXPECT_EQ(clipboard, "Element\tH\tO\nLagrange Coef.\t-12.5\t0.25");
}

}  // namespace
}  // namespace ploxen
