// Bad input of the inverse calculation: the messages, the failure code, and a workbook left
// exactly as it was.
#include <algorithm>

#include <gtest/gtest.h>

#include "InverseFixture.h"

namespace ploxen::test {
namespace {

// Hydrogen and oxygen at 1000 °C with OH, H2O2 and H2O as references. OH and H2O2 have the
// same composition ratio: without H2O the references cannot separate H from O.
class InverseBadInput : public InverseFixture {
 protected:
  void Build(const std::string& waterValue, const std::string& waterMark = "x",
             const std::string& t = "1000", const std::string& p = "1",
             const std::string& tLabel = "T [C]") {
    sheet = AddInverseSheet("System", {"gas"}, t, p, {}, tLabel);
    book.Set(sheet, 6, 3, "9");  // last run 9: a successful run hands on to "Next"
    book.Set(sheet, 10, 3, "Next");
    gas = AddMeasuredSheet("gas", "(g)",
                           {{"OH", "0.001", "x"},
                            {"H2O2", "1e-7", "x"},
                            {"H2O", waterValue, waterMark},
                            {"O2", "", ""},
                            {"H2", "", ""}});
  }
  /// Runs and checks a refused run: failure, no following calculation, nothing written.
  void RunRefused() {
    const auto before = Snapshot();
    book.writes = 0;
    calc.runParameters = "-x:Book.xlsx -c:System";
    EXPECT_EQ(recalc.RunInverse(), 0);
    EXPECT_FALSE(recalc.Succeeded());
    EXPECT_TRUE(calc.followingParameters.empty());
    EXPECT_EQ(book.writes, 0);
    EXPECT_TRUE(Snapshot() == before);
    EXPECT_FALSE(Posted(768));
  }
  /// Position of message `number` in the log, or -1.
  int Order(int number) const {
    const auto& e = log.Entries();
    const auto it =
        std::find_if(e.begin(), e.end(), [&](const LogEntry& x) { return x.number == number; });
    return it == e.end() ? -1 : static_cast<int>(it - e.begin());
  }
  int sheet = 0, gas = 0;
};

TEST_F(InverseBadInput, ThreeReferencesCalculate) {
  Build("0.1");
  EXPECT_EQ(recalc.RunInverse(), 1);  // C10 names the following calculation
  EXPECT_TRUE(recalc.Succeeded());
  EXPECT_EQ(matrix.ReferenceCount(), 3);
  EXPECT_NE(book.Get(gas, 5, 12), "");
}

TEST_F(InverseBadInput, DependentReferencesAreRefused) {
  Build("0.1", "");
  RunRefused();
  EXPECT_EQ(recalc.successCode, TReCalcWnd::kNoSolution);
  ASSERT_GE(Order(288), 0);
  EXPECT_LT(Order(288), Order(423));
  EXPECT_EQ(TextOf(423), "No Calculation");
}

class InverseBadActivity : public InverseBadInput,
                           public ::testing::WithParamInterface<const char*> {};

TEST_P(InverseBadActivity, LeavesTheReferencesDependent) {
  Build(GetParam());
  RunRefused();
  EXPECT_EQ(matrix.ReferenceCount(), 2);
  EXPECT_TRUE(Posted(288));
  EXPECT_TRUE(Posted(423));
  const bool text = std::string(GetParam()) == "abc" || std::string(GetParam()).empty();
  EXPECT_EQ(Posted(703), text);
  if (text) {
    EXPECT_EQ(TextOf(703), "H2O (g)  ((g)) : Irregular activity, can not be regarded as reference");
  }
}

INSTANTIATE_TEST_SUITE_P(ZeroNegativeText, InverseBadActivity,
                         ::testing::Values("0", "-0.5", "abc", ""));

struct BadCondition {
  const char *t, *tLabel, *p;
  int number;
  const char* text;
  int code;
};

class InverseBadCondition : public InverseBadInput,
                            public ::testing::WithParamInterface<BadCondition> {};

TEST_P(InverseBadCondition, RefusesBeforeReadingAnyCompound) {
  const BadCondition& c = GetParam();
  Build("0.1", "x", c.t, c.p, c.tLabel);
  RunRefused();
  EXPECT_EQ(TextOf(c.number), c.text);
  EXPECT_EQ(recalc.successCode, c.code);
  EXPECT_FALSE(Posted(183));  // no compound reached the matrix
}

INSTANTIATE_TEST_SUITE_P(
    TemperatureAndPressure, InverseBadCondition,
    ::testing::Values(BadCondition{"warm", "T [C]", "1", 290, "warm : Irregular Temperature", -2},
                      BadCondition{"0", "T [K]", "1", 298, "0 : Irregular Temperature; T<=0", -1},
                      BadCondition{"1000", "T [C]", "high", 304, "high : Irregular Pressure", -4},
                      BadCondition{"1000", "T [C]", "-1", 311, "-1 : Irregular Pressure; P<=0",
                                   -1}));

TEST_F(InverseBadInput, MissingReferenceCancelledRefusesTheRun) {
  Build("0.1");
  book.Set(gas, 4, 1, "Xyzzy");  // the H2O row
  dialogs.QueueAnswer(kAnswerCancel);
  RunRefused();
  const std::string text = "[gas][A4]: Xyzzy (g) does not exist in the database !";
  EXPECT_EQ(TextOf(340), text);
  ASSERT_EQ(dialogs.Requests().size(), 1u);
  EXPECT_EQ(dialogs.Requests()[0].text, text);
  EXPECT_EQ(dialogs.Requests()[0].title, "Invers Calculation");
  EXPECT_EQ(dialogs.Requests()[0].buttons, DialogButtons::kOkCancel);
  EXPECT_EQ(TextOf(418), "No Calculation because errors");
  EXPECT_EQ(recalc.successCode, TReCalcWnd::kReadingErrors);
  EXPECT_FALSE(Posted(288));
}

TEST_F(InverseBadInput, MissingReferenceAcceptedIsLeftOut) {
  Build("0.1");
  book.Set(gas, 4, 1, "Xyzzy");
  dialogs.QueueAnswer(kAnswerOk);
  RunRefused();  // without it the other two references are dependent
  EXPECT_TRUE(Posted(340));
  EXPECT_EQ(matrix.CompoundCount(), 4);
  EXPECT_TRUE(Posted(288));
  EXPECT_TRUE(Posted(423));
}

TEST_F(InverseBadInput, MissingCompoundAcceptedGetsNoValue) {
  Build("0.1");
  book.Set(gas, 5, 1, "Xyzzy");  // the O2 row, no reference
  dialogs.QueueAnswer(kAnswerOk);
  EXPECT_EQ(recalc.RunInverse(), 1);
  ASSERT_TRUE(recalc.Succeeded());
  EXPECT_EQ(book.Get(gas, 5, 12), "");
  EXPECT_NE(book.Get(gas, 6, 12), "");  // H2 after it still has its value
}

TEST_F(InverseBadInput, GasInACondensedSheetIsCalculatedLikeTheSameGasElsewhere) {
  // An equilibrium run takes such a sheet; the inverse run of the same workbook must too.
  Build("0.1");
  book.Set(sheet, 4, 3, "water");
  const int water = AddMeasuredSheet("water", "(l)", {{"H2 (g)", "", ""}});
  EXPECT_EQ(recalc.RunInverse(), 1);
  ASSERT_TRUE(recalc.Succeeded());
  EXPECT_FALSE(Posted(179));
  EXPECT_EQ(book.Get(water, 1, 12), "a(c)");
  EXPECT_NE(book.Get(water, 2, 12), "");
  EXPECT_EQ(book.Get(water, 2, 12), book.Get(gas, 6, 12));  // H2 of the gas sheet
}

TEST_F(InverseBadInput, MissingPhaseSheetRefusesTheRun) {
  Build("0.1");
  book.Set(sheet, 4, 3, "nowhere");
  RunRefused();
  EXPECT_TRUE(Posted(618));
  EXPECT_FALSE(Posted(183));
}

TEST_F(InverseBadInput, RefusedWriteIsNoSuccess) {
  Build("0.1");
  book.refusedWrites.insert({gas, {1, 12}});
  EXPECT_EQ(recalc.RunInverse(), 0);
  EXPECT_FALSE(recalc.Succeeded());
  EXPECT_EQ(recalc.successCode, TReCalcWnd::kNotWritten);
  EXPECT_TRUE(calc.followingParameters.empty());
}

}  // namespace
}  // namespace ploxen::test
