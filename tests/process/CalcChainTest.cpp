// Run counter, following calculations, recorder sheet, history and failed writes.
#include <gtest/gtest.h>

#include "ProcessFixture.h"
#include "process/ConditionLayout.h"

namespace ploxen::test {
namespace {

class CalcChain : public ProcessFixture {
 protected:
  void SetUp() override {
    cond = AddConditionSheet({"gas"});
    gas = AddPhaseSheet("gas", "(g)", {{"N2", "1"}, {"O2", "1"}});
  }
  void Row(int row, const std::string& a, const std::string& b, const std::string& c = "",
           const std::string& d = "") {
    book.Set(cond, row, 1, a);
    book.Set(cond, row, 2, b);
    book.Set(cond, row, 3, c);
    book.Set(cond, row, 4, d);
  }
  int cond = 0, gas = 0;
};

TEST_F(CalcChain, AutoCounterAdvancesAndIsRestoredOnFailure) {
  Row(6, "Count +C", "4");
  EXPECT_EQ(calc.RunWorkbook(), 0);
  EXPECT_EQ(book.Get(cond, 6, 2), "5");
  kernel.SetProcessEvents([this] { kernel.RequestBreak(); });
  EXPECT_EQ(calc.RunWorkbook(), 0);
  EXPECT_FALSE(calc.calculationOk);
  EXPECT_TRUE(Posted(679));
  EXPECT_EQ(book.Get(cond, 6, 2), "5");  // advanced to 6 for the run, then restored
  EXPECT_EQ(statuses.back(), "stop");
}

TEST_F(CalcChain, RepeatSameSheetUntilTheLastRunOfTheSeries) {
  Row(6, "Count", "4", "6");
  Row(10, "Following Calculation", "*", "*");
  calc.runParameters = "-x:/data/Book.xlsx -c:System";
  EXPECT_EQ(calc.RunWorkbook(), 1);
  EXPECT_EQ(book.Get(cond, 6, 2), "5");
  EXPECT_TRUE(calc.repeatSameSheet);
  EXPECT_EQ(calc.RunWorkbook(), 1);
  EXPECT_EQ(book.Get(cond, 6, 2), "6");
  EXPECT_EQ(calc.RunWorkbook(), 0);
  EXPECT_EQ(book.Get(cond, 6, 2), "7");
  EXPECT_FALSE(calc.repeatSameSheet);
}

TEST_F(CalcChain, FollowingSheetOfThisWorkbook) {
  Row(6, "Count", "0", "9");
  Row(10, "Following Calculation", "", "Cond2", "");
  EXPECT_EQ(calc.RunWorkbook(), 1);
  EXPECT_EQ(calc.followingParameters, "-x:/data/Book.xlsx -c:Cond2 ");
  Row(10, "Following Calculation", "*", "*", "-s:");
  calc.repeatSameSheet = false;
  calc.followingParameters.clear();
  calc.runParameters = "-x: Book.xlsx -c: System";
  EXPECT_EQ(calc.RunWorkbook(), 1);
  EXPECT_TRUE(calc.repeatSameSheet);
  Row(10, "Following Calculation", "other.xlsx", "");
  EXPECT_EQ(calc.RunWorkbook(), 0);
  EXPECT_TRUE(calc.followingParameters.empty());
}

TEST_F(CalcChain, AutoCounterChainOfFiveRunsWithRecorder) {
  const int rec = book.AddSheet("rec", {});
  Row(6, "Count +C", "0", "5");
  Row(10, "Following Calculation", "*", "*");
  Row(11, "Recorder", "rec");
  Row(12, "V1", "=B6");
  Row(13, "EOT", "");
  calc.runParameters = "-x: Book.xlsx -c: System";
  int runs = 0;
  for (int b = 1; b > 0 && runs < 10; ++runs) {
    // The memory book has no formulas: B12 follows the counter as a formula would.
    book.Set(cond, 12, 2, std::to_string(runs + 1));
    b = calc.RunWorkbook();
  }
  EXPECT_EQ(runs, 5);
  EXPECT_EQ(book.Get(cond, 6, 2), "5");
  EXPECT_EQ(book.Get(rec, 1, 1), "V1");
  EXPECT_EQ(book.Get(rec, 1, 2), "EOT");
  for (int n = 1; n <= 5; ++n) EXPECT_EQ(book.Get(rec, n + 1, 1), std::to_string(n));
  EXPECT_EQ(book.Get(rec, 7, 1), "");
  EXPECT_EQ(book.Get(rec, 2, 2), "");
}

TEST_F(CalcChain, RecorderWithLastRowSkipsEmptyValuesAndStampsTime) {
  const int rec = book.AddSheet("rec", {{"", ""}, {"keep", "keep", "keep"}});
  Row(6, "Count", "0");
  Row(11, "Recorder", "rec", "14");
  Row(12, "V1", "t");
  Row(13, "V2", "");
  Row(14, "V3", "3.5");
  calc.RunWorkbook();
  EXPECT_EQ(book.Get(rec, 1, 1), "V1");
  EXPECT_EQ(book.Get(rec, 1, 3), "V3");
  EXPECT_GT(TextToFloat(book.Get(rec, 2, 1)), 40000.0);  // a day number of this century
  EXPECT_EQ(book.Get(rec, 2, 2), "keep");
  EXPECT_EQ(book.Get(rec, 2, 3), "3.5");
}

TEST_F(CalcChain, RecorderWithDecimalCommaStampsEveryTimeAndWritesPoints) {
  const int rec = book.AddSheet("rec", {});
  book.decimalComma = true;
  Row(6, "Count", "0");
  Row(11, "Recorder", "rec", "14");
  Row(12, "V1", "t");
  Row(13, "V2", "2,5");
  Row(14, "V3", "t");
  calc.RunWorkbook();
  EXPECT_EQ(book.Get(rec, 2, 2), "2.5");
  EXPECT_GT(TextToFloat(book.Get(rec, 2, 3)), 40000.0);
}

TEST_F(CalcChain, MissingRecorderSheet) {
  Row(11, "Recorder", "nowhere");
  calc.RunWorkbook();
  EXPECT_EQ(TextOf(624), "nowhere is not found to record");
}

TEST_F(CalcChain, HistoryGetsRunsWithoutStar) {
  std::vector<std::string> recent;
  calc.onAddRecent = [&](const std::string& p) { recent.push_back(p); };
  calc.runParameters = "-x: /data/Book.xlsx -c: System";
  calc.RunWorkbook();
  calc.runParameters = "-x: * -c: System";
  calc.RunWorkbook();
  ASSERT_EQ(recent.size(), 1u);
  EXPECT_EQ(recent[0], "-x: /data/Book.xlsx -c: System");
}

TEST_F(CalcChain, FailedWriteStopsBeforeCounterAndRecorder) {
  const int rec = book.AddSheet("rec", {});
  Row(6, "Count", "3");
  Row(11, "Recorder", "rec");
  Row(12, "V1", "1");
  book.refusedWrites.insert({gas, {3, 3}});
  EXPECT_EQ(calc.RunWorkbook(), 0);
  EXPECT_EQ(book.Get(cond, 6, 2), "3");
  EXPECT_EQ(book.Get(rec, 1, 1), "");
}

TEST_F(CalcChain, ReadOnlyDoesNotFollow) {
  Row(6, "Count +C", "1", "5");
  Row(10, "Following Calculation", "*", "*");
  calc.readOnly = true;
  EXPECT_EQ(calc.RunWorkbook(), 0);
  EXPECT_EQ(book.Get(cond, 6, 2), "1");
  EXPECT_EQ(book.Get(gas, 2, 3), "");
}

TEST_F(CalcChain, BusyWarning) {
  EXPECT_FALSE(calc.IsBusy(true));
  calc.busy = true;
  EXPECT_TRUE(calc.IsBusy(false));
  EXPECT_FALSE(Posted(344));
  EXPECT_TRUE(calc.IsBusy(true));
  EXPECT_EQ(TextOf(344), "Press button [stop], to break running calculation");
}

}  // namespace
}  // namespace ploxen::test
