// The inverse calculation on an in-memory workbook: agreement with the equilibrium kernel, the
// column layout of row 5, reference marks, and what a successful run writes and hands on.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include <gtest/gtest.h>

#include "InverseFixture.h"
#include "chem/PTools.h"

namespace ploxen::test {
namespace {

using InverseRun = InverseFixture;

constexpr int kColE = 5, kColK = 11, kColL = 12, kColM = 13;

// Methane burnt with 10 % excess air at 1000 °C, solved by the equilibrium run.
class RoundTrip : public InverseFixture {
 protected:
  void SolveCombustion() {
    AddConditionSheet({"gas"}, "1000", "1");
    gas = AddCombustionGas({"H", "O"});
    kernel.EditPrec = "1e-6";
    ASSERT_EQ(calc.RunWorkbook(), 0);
    ASSERT_TRUE(calc.calculationOk) << calc.failureText;
    ASSERT_EQ(kernel.CompoundCount(), 11);
    // CO2, H2O, N2 and O2 fix the potentials of C, H, N and O.
    book.Set(gas, 3, kColK, "x");  // O2
    book.Set(gas, 5, kColK, "x");  // CO2
    book.Set(gas, 7, kColK, "x");  // H2O
    book.Set(gas, 4, kColK, "x");  // N2
  }
  // Largest |lambda - kernel lambda| over the elements.
  double LambdaError() {
    double worst = 0.0;
    EXPECT_EQ(matrix.ElementColumns(), kernel.SystemElementCount());
    for (int j = 1; j <= matrix.ElementColumns(); ++j) {
      int k = 1;
      while (k <= kernel.SystemElementCount() &&
             kernel.SystemElementIndex(k) != matrix.ElementIndex(j)) {
        ++k;
      }
      EXPECT_LE(k, kernel.SystemElementCount()) << j;
      if (k > kernel.SystemElementCount()) return 1e300;
      const double lk = static_cast<double>(kernel.LagrangeCoefficient(k));
      worst = std::max(worst, std::fabs(matrix.Lambda(j) - lk));
    }
    return worst;
  }
  // Largest relative difference between a column of computed values and the kernel.
  double ActivityError(int column) {
    double worst = 0.0;
    for (int q = 1; q <= kernel.CompoundCount(); ++q) {
      const double a = static_cast<double>(kernel.Activity(q));
      EXPECT_GT(a, 0.0) << q;
      worst = std::max(worst, std::fabs(Number(gas, q + 1, column) - a) / a);
    }
    return worst;
  }
  int gas = 0;
};

TEST_F(RoundTrip, ExactReferencesGiveBackTheKernelCoefficientsAndActivities) {
  SolveCombustion();
  // The kernel's fugacities with all their digits in column M.
  for (int q = 1; q <= kernel.CompoundCount(); ++q) {
    book.Set(gas, q + 1, kColM, FormatFloatFull(static_cast<double>(kernel.Activity(q))));
  }
  AddInverseSheet("Inverse", {"gas"}, "1000", "1", {"MKL"});
  EXPECT_EQ(recalc.RunInverse(), 0);
  ASSERT_TRUE(recalc.Succeeded());
  EXPECT_EQ(matrix.ReferenceCount(), 4);
  EXPECT_NEAR(recalc.fitQuality, 1.0, 1e-12);
  const double lambdaError = LambdaError();
  double activityError = 0.0;
  for (int q = 1; q <= kernel.CompoundCount(); ++q) {
    const double a = static_cast<double>(kernel.Activity(q));
    activityError = std::max(activityError, std::fabs(matrix.Activity(q) - a) / a);
    EXPECT_EQ(book.Get(gas, q + 1, kColL), FormatFloat8(matrix.Activity(q))) << q;
  }
  std::printf("round trip, exact references: max |d lambda| %.3g, max rel. d a %.3g\n", lambdaError,
              activityError);
  RecordProperty("LambdaError", FormatFloatG(lambdaError, 3, 2));
  RecordProperty("ActivityError", FormatFloatG(activityError, 3, 2));
  EXPECT_LT(lambdaError, 1e-10);
  EXPECT_LT(activityError, 1e-10);
  // The gas sum is the pressure of the system.
  EXPECT_NEAR(TextToFloat(TextOf(349).substr(7)), 1.0, 1e-6) << TextOf(349);
  EXPECT_EQ(TextOf(768), "Result,  T:1000 ;  P:1 ; Corr.:1");
}

TEST_F(RoundTrip, WrittenFugacitiesAsReferencesAgreeToTheirEightDigits) {
  SolveCombustion();
  // Row 5 empty: measured values from E (the equilibrium's "f"), marks from K, results to L.
  AddInverseSheet("Inverse", {"gas"}, "1000");
  EXPECT_EQ(recalc.RunInverse(), 0);
  ASSERT_TRUE(recalc.Succeeded());
  EXPECT_EQ(book.Get(gas, 1, kColL), "f(c)");
  EXPECT_EQ(book.Get(gas, 1, kColM), "");  // no information column
  const double lambdaError = LambdaError();
  const double activityError = ActivityError(kColL);
  std::printf("round trip, 8-digit sheet values: max |d lambda| %.3g, max rel. d a %.3g\n",
              lambdaError, activityError);
  EXPECT_LT(lambdaError, 1e-6);
  EXPECT_LT(activityError, 1e-6);
  EXPECT_NEAR(recalc.fitQuality, 1.0, 1e-12);
  EXPECT_EQ(book.Get("Inverse", 7, 3), FormatFloat8(recalc.fitQuality));
  EXPECT_EQ(book.Get("Inverse", 2, 3), "1000");
  EXPECT_EQ(book.Get("Inverse", 3, 3), "1");
}

TEST_F(InverseRun, GasReferencesPutCondensedWaterAtUnitActivity) {
  // Hydrogen burnt in excess oxygen at 25 °C: the water condenses.
  AddConditionSheet({"gas", "water"}, "25", "1");
  const int gas = AddPhaseSheet("gas", "(g)", {{"H2", "2"}, {"O2", "2"}, {"H2O", ""}});
  const int water = AddPhaseSheet("water", "(l)", {{"H2O", ""}});
  kernel.EditPrec = "1e-8";
  ASSERT_EQ(calc.RunWorkbook(), 0);
  ASSERT_TRUE(calc.calculationOk) << calc.failureText;
  ASSERT_GT(Number(water, 2, 3), 1.0);  // liquid water formed
  book.Set(gas, 3, kColK, "x");         // O2
  book.Set(gas, 4, kColK, "x");         // H2O (g)
  AddInverseSheet("Inverse", {"gas", "water"}, "25");
  EXPECT_EQ(recalc.RunInverse(), 0);
  ASSERT_TRUE(recalc.Succeeded());
  EXPECT_EQ(book.Get(water, 1, kColL), "a(c)");
  EXPECT_NEAR(Number(water, 2, kColL), 1.0, 1e-6);
  // H2 is far below the amounts the sheet shows, but its fugacity still follows.
  const double h2 = static_cast<double>(kernel.Activity(1));
  ASSERT_GT(h2, 0.0);
  EXPECT_NEAR(Number(gas, 2, kColL), h2, 1e-6 * h2);
  EXPECT_NEAR(TextToFloat(TextOf(351).substr(7)), 1.0, 1e-6) << TextOf(351);
  EXPECT_FALSE(Posted(353));
}

TEST(InverseColumnsOf, LettersDefaultsAndCharactersThatNameNoColumn) {
  auto columns = [](const char* cell) {
    const InverseColumns c = InverseColumnsOf(cell);
    return std::vector<int>{c.measured, c.reference, c.computed, c.info};
  };
  EXPECT_EQ(columns(""), (std::vector<int>{5, 11, 12, 0}));
  EXPECT_EQ(columns("FGHI"), (std::vector<int>{6, 7, 8, 9}));
  EXPECT_EQ(columns("FGHIJ"), (std::vector<int>{6, 7, 8, 9}));  // four at most
  EXPECT_EQ(columns("AAAZ"), (std::vector<int>{5, 11, 12, 26}));
  EXPECT_EQ(columns("B"), (std::vector<int>{2, 11, 12, 0}));
  EXPECT_EQ(columns("1 -@"), (std::vector<int>{5, 11, 12, 0}));
}

TEST(IsReferenceMark, OneOrXInAnyCase) {
  for (const char* yes : {"1", "x", "X", " x "}) EXPECT_TRUE(IsReferenceMark(yes)) << yes;
  for (const char* no : {"", "0", "xx", "yes", "ref", "1.0"})
    EXPECT_FALSE(IsReferenceMark(no)) << no;
}

TEST_F(InverseRun, RowFiveLettersBelongToTheSlotsInSlotOrder) {
  // Row 4 names the liquid first, but B5 belongs to the gas (slot 1), C5 to the liquid.
  AddInverseSheet("System", {"water", "gas"}, "0", "1", {"FGHI", ""});
  const int gas = AddMeasuredSheet(
      "gas", "(g)", {{"H2O", "0.006", "x"}, {"O2", "0.2", "x"}, {"H2O2", "", ""}}, 6, 7);
  const int water = AddMeasuredSheet("water", "(l)", {{"H2O", "", ""}});
  EXPECT_EQ(recalc.RunInverse(), 0);
  ASSERT_TRUE(recalc.Succeeded());
  EXPECT_EQ(recalc.columns[1].measured, 6);
  EXPECT_EQ(recalc.columns[3].computed, kColL);
  EXPECT_EQ(book.Get(gas, 1, 8), "f(c)");
  EXPECT_EQ(book.Get(gas, 1, 9), "inf.");
  EXPECT_NEAR(Number(gas, 2, 8), 0.006, 1e-12);
  EXPECT_NEAR(Number(gas, 3, 8), 0.2, 1e-12);
  EXPECT_GT(Number(gas, 4, 8), 0.0);
  // H2O2 has no data below 298.15 K: extrapolated at 0 °C.
  EXPECT_EQ(book.Get(gas, 4, 9), "(ext)");
  EXPECT_EQ(book.Get(gas, 2, 9), "");
  EXPECT_EQ(book.Get(water, 1, kColL), "a(c)");
  EXPECT_GT(Number(water, 2, kColL), 0.0);
  EXPECT_EQ(book.Get(water, 1, kColM), "");
}

TEST_F(InverseRun, MarksAndMeasuredValuesThatMakeNoReference) {
  AddInverseSheet("System", {"gas"}, "1000");
  const int gas = AddMeasuredSheet("gas", "(g)",
                                   {{"H2O", "0.1", "X"},
                                    {"O2", "0.02", "1"},
                                    {"H2", "abc", "x"},  // text: message 703
                                    {"OH", "0", "x"},    // activity 0: silently no reference
                                    {"H", "-1", "x"},    // negative: no reference
                                    {"O", "0.001", "yes"}});
  EXPECT_EQ(recalc.RunInverse(), 0);
  ASSERT_TRUE(recalc.Succeeded());
  EXPECT_EQ(matrix.ReferenceCount(), 2);
  EXPECT_EQ(CountPosted(703), 1);
  EXPECT_EQ(TextOf(703), "H2 (g)  ((g)) : Irregular activity, can not be regarded as reference");
  EXPECT_NEAR(recalc.fitQuality, 1.0, 1e-12);
  // The non-references got their activities from the two references.
  for (int r = 2; r <= 7; ++r) EXPECT_GT(Number(gas, r, kColL), 0.0) << r;
  EXPECT_NEAR(Number(gas, 2, kColL), 0.1, 1e-12);
}

TEST_F(InverseRun, SwitchedOffReferenceIsNotUsed) {
  thermo.SetCBExtrapolation(false);
  AddInverseSheet("System", {"gas"}, "0");
  AddMeasuredSheet("gas", "(g)",
                   {{"H2O", "0.006", "x"}, {"O2", "0.2", "x"}, {"H2O2", "1e-20", "x"}});
  EXPECT_EQ(recalc.RunInverse(), 0);
  ASSERT_TRUE(recalc.Succeeded());
  EXPECT_EQ(TextOf(568), "Irregular reference: H2O2 ((g))");
  EXPECT_EQ(matrix.ReferenceCount(), 2);
  EXPECT_EQ(book.Get("gas", 4, kColL), "0");  // switched off
}

TEST_F(InverseRun, LiquidAboveItsCriticalPointIsNoReference) {
  // Liquid water at 1000 °C has no Gibbs energy: as a row it would pull the fit off.
  AddInverseSheet("System", {"gas", "water"}, "1000");
  const int gas =
      AddMeasuredSheet("gas", "(g)", {{"H2O", "0.1", "x"}, {"O2", "0.02", "x"}, {"H2", "", ""}});
  const int water = AddMeasuredSheet("water", "(l)", {{"H2O", "1", "x"}});
  EXPECT_EQ(recalc.RunInverse(), 0);
  ASSERT_TRUE(recalc.Succeeded());
  EXPECT_EQ(TextOf(307), "H2O (l) can not exist at T[K]:1273; P[bar]:1");
  EXPECT_EQ(TextOf(568), "Irregular reference: H2O ((l))");
  EXPECT_EQ(matrix.ReferenceCount(), 2);
  EXPECT_NEAR(recalc.fitQuality, 1.0, 1e-12);
  EXPECT_NEAR(Number(gas, 2, kColL), 0.1, 1e-12);
  EXPECT_EQ(book.Get(water, 2, kColL), "0");
}

TEST_F(InverseRun, ExponentAboveTheLimitIsWrittenInf) {
  AddInverseSheet("System", {"gas"}, "1000");
  // An absurd oxygen pressure: ozone's exponent passes the limit, atomic oxygen's does not.
  AddMeasuredSheet("gas", "(g)", {{"O2", "1e300", "x"}, {"O3", "", ""}, {"O", "", ""}});
  EXPECT_EQ(recalc.RunInverse(), 0);
  ASSERT_TRUE(recalc.Succeeded());
  EXPECT_EQ(book.Get("gas", 3, kColL), "inf.");
  EXPECT_NE(book.Get("gas", 4, kColL), "inf.");
  EXPECT_EQ(TextOf(349), "Gas: P=inf.");
}

TEST_F(InverseRun, SuccessCountsRecordsAndHandsOnTheFollowingCalculation) {
  const int sheet = AddInverseSheet("System", {"gas"}, "1000");
  book.Set(sheet, 6, 2, "4");
  book.Set(sheet, 6, 3, "9");
  book.Set(sheet, 10, 3, "Next");
  book.Set(sheet, 11, 2, "rec");
  book.Set(sheet, 12, 1, "T");
  book.Set(sheet, 12, 2, "=C2");
  book.Set(sheet, 13, 1, "EOT");
  const int rec = book.AddSheet("rec", {});
  AddMeasuredSheet("gas", "(g)", {{"H2O", "0.1", "x"}, {"O2", "0.02", "x"}, {"OH", "", ""}});
  calc.runParameters = "-x:Book.xlsx -c:System";
  // An equilibrium run before counted automatically ("+C" in its A6); this run does not read
  // A6, and must still move its own counter on, or a chain of runs would never end.
  calc.autoCounter = true;
  EXPECT_EQ(recalc.RunInverse(), 1);
  EXPECT_EQ(calc.followingParameters, "-x:/data/Book.xlsx -c:Next ");
  EXPECT_EQ(book.Get(sheet, 6, 2), "5");
  EXPECT_EQ(book.Get(rec, 6, 1), "=C2");
  EXPECT_EQ(book.Get(rec, 1, 1), "");  // names only on run 1
  // Writing shows one status for the whole workbook, then the end of the run.
  const auto writing = std::find(statuses.begin(), statuses.end(), "Data are writing to sheets");
  EXPECT_EQ(std::vector<std::string>(writing, statuses.end()),
            (std::vector<std::string>{"Data are writing to sheets", "Calculation end"}));
}

TEST_F(InverseRun, ReadOnlyCalculatesButWritesNothing) {
  const int sheet = AddInverseSheet("System", {"gas"}, "1000");
  book.Set(sheet, 10, 3, "Next");
  AddMeasuredSheet("gas", "(g)", {{"H2O", "0.1", "x"}, {"O2", "0.02", "x"}, {"OH", "", ""}});
  calc.readOnly = true;
  book.writes = 0;
  EXPECT_EQ(recalc.RunInverse(), 0);
  EXPECT_TRUE(recalc.Succeeded());
  EXPECT_EQ(book.writes, 0);
  EXPECT_TRUE(calc.followingParameters.empty());
  EXPECT_TRUE(Posted(768));
}

TEST_F(InverseRun, ConditionSheetIsReadForPressureWithoutChangingKernelOptions) {
  // A3 naming a volume and B5 holding "G" mean nothing special to an inverse run.
  const int sheet = AddInverseSheet("System", {"gas"}, "1273.15", "2", {"G"}, "T [K]");
  book.Set(sheet, 3, 1, "V [m3]");
  AddMeasuredSheet("gas", "(g)", {{"H2O", "0.2", "x"}, {"O2", "0.04", "x"}, {"OH", "", ""}}, 7);
  kernel.CBMaxEntropy = true;
  EXPECT_EQ(recalc.RunInverse(), 0);
  ASSERT_TRUE(recalc.Succeeded());
  EXPECT_TRUE(kernel.CBMaxEntropy);
  EXPECT_EQ(calc.CbxPV, 0);
  EXPECT_DOUBLE_EQ(recalc.pressureBar, 2.0);
  EXPECT_DOUBLE_EQ(recalc.temperatureK, 1273.15);
  EXPECT_EQ(book.Get(sheet, 2, 3), "1273.15");
  EXPECT_EQ(book.Get(sheet, 3, 3), "2");
  EXPECT_EQ(TextOf(768), "Result,  T:1273.15 ;  P:2 ; Corr.:1");
}

}  // namespace
}  // namespace ploxen::test
