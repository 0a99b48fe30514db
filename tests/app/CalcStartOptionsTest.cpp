// The parameter string: option values and the decisions of the batch end.
#include <gtest/gtest.h>

#include "app/CalcStart.h"
#include "app/CalcStartOptions.h"

namespace ploxen {
namespace {

TEST(SplitParameters, ValuesRunToTheNextKey) {
  const ParameterOptions o = SplitParameters("-x: /data/my book.xlsx -c: System -s: -t: 20");
  EXPECT_EQ(o.found, 4);
  EXPECT_EQ(o.value[kOptBook], "/data/my book.xlsx");
  EXPECT_EQ(o.value[kOptSheet], "System");
  EXPECT_TRUE(o.Has(kOptStay));
  EXPECT_EQ(o.value[kOptStay], "");
  EXPECT_EQ(o.Text(kOptShutdown), "20");
  EXPECT_EQ(o.value[kOptReadOnly], " ");
  EXPECT_FALSE(o.Has(kOptReadOnly));
  EXPECT_EQ(o.position[kOptBook], 1);
}

TEST(SplitParameters, BookKeyEndsNoValueAndOnlyFirstKeysCount) {
  const ParameterOptions o = SplitParameters("-c: System -x: book.xlsx");
  EXPECT_EQ(o.value[kOptSheet], "System -x: book.xlsx");
  const ParameterOptions twice = SplitParameters("-x: a.xlsx -c: One -c: Two");
  EXPECT_EQ(twice.value[kOptSheet], "One -c: Two");
  EXPECT_EQ(SplitParameters("").found, 0);
  EXPECT_EQ(SplitParameters("-x:book.xlsx-c:S").value[kOptBook], "book.xlsx");
}

TEST(PlanBatchEnd, SuccessSavesQuitsAndCloses) {
  BatchEndState s;
  s.batchMode = true;
  s.conditionSheet = 1;
  s.calculationOk = true;
  s.closeAllowed = true;
  s.startedHere = true;
  BatchEndPlan p = PlanBatchEnd(s);
  EXPECT_EQ(p.statusWord, "success");
  EXPECT_TRUE(p.saveAndQuit);
  EXPECT_TRUE(p.closeNow);
  EXPECT_FALSE(p.forcedShutdown);
  s.calculationOk = false;
  EXPECT_EQ(PlanBatchEnd(s).statusWord, "error");
  s.startedHere = false;  // a server of the user's own is neither saved nor quit
  EXPECT_FALSE(PlanBatchEnd(s).saveAndQuit);
}

TEST(PlanBatchEnd, StayShutdownAndParseFailure) {
  BatchEndState s;
  s.batchMode = true;
  s.conditionSheet = 2;
  s.calculationOk = true;
  s.closeAllowed = true;
  s.startedHere = true;
  s.stay = true;
  BatchEndPlan p = PlanBatchEnd(s);
  EXPECT_EQ(p.statusWord, "success");
  EXPECT_FALSE(p.saveAndQuit || p.closeNow);
  s.stay = false;
  s.hasShutdown = true;
  s.shutdownText = "20";
  p = PlanBatchEnd(s);
  EXPECT_TRUE(p.saveAndQuit);
  EXPECT_FALSE(p.closeNow);
  EXPECT_TRUE(p.forcedShutdown);
  EXPECT_EQ(p.shutdownSeconds, 20);
  s.shutdownText = "soon";
  EXPECT_EQ(PlanBatchEnd(s).shutdownSeconds, 0);
  BatchEndState failed;
  failed.batchMode = true;
  EXPECT_EQ(PlanBatchEnd(failed).statusWord, "");
  EXPECT_FALSE(PlanBatchEnd(failed).closeNow);
}

}  // namespace
}  // namespace ploxen
