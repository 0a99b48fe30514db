// Recalculation: writes reach every dependent, cycles end in an error, long chains work,
// other sheets and other books are read live or from the link cache.
#include <gtest/gtest.h>

#include "EngineFixture.h"

namespace ploxen {
namespace {

class Recalculation : public EngineFixture {};

TEST_F(Recalculation, WriteUpdatesDirectAndRangeDependents) {
  Put("A1", "1");
  Put("A2", "2");
  Put("B1", "=A1*10");
  Put("B2", "=SUM(A1:A3)");
  Put("B3", "=B1+B2");
  Put("C1", "=SUM(A:A)");
  EXPECT_EQ(Text("B3"), "13");
  Put("A1", "5");
  EXPECT_EQ(Text("B3"), "57");
  Put("A3", "100");  // an empty cell inside the range
  EXPECT_EQ(Text("B2"), "107");
  EXPECT_EQ(Text("C1"), "107");
  Put("A2", "");
  EXPECT_EQ(Text("B3"), "155");
  Put("B1", "7");  // a formula replaced by a constant
  EXPECT_EQ(Text("B3"), "112");
}

TEST_F(Recalculation, CrossSheetReferencesFollowWrites) {
  Put("A1", "=Sheet2!B2*2");
  Put("B2", "21", s2);
  EXPECT_EQ(Text("A1"), "42");
  Put("B2", "x", s2);
  EXPECT_EQ(Text("A1"), "#VALUE!");
}

TEST_F(Recalculation, CycleGivesErrorNotHang) {
  Put("A1", "=B1+1");
  Put("B1", "=A1+1");
  Put("C1", "=IFERROR(A1,-1)");
  Put("D1", "=D1");
  EXPECT_EQ(Text("A1"), "#VALUE!");
  EXPECT_EQ(Text("B1"), "#VALUE!");
  EXPECT_EQ(Text("C1"), "-1");
  EXPECT_EQ(Text("D1"), "#VALUE!");
  Put("B1", "5");  // breaking the cycle brings values back
  EXPECT_EQ(Text("A1"), "6");
  EXPECT_EQ(Text("C1"), "6");
}

TEST_F(Recalculation, CycleThroughRangeIsFound) {
  Put("A1", "1");
  Put("A2", "=SUM(A1:A3)");
  EXPECT_EQ(Text("A2"), "#VALUE!");
  Put("A2", "=SUM(A1,A3)");
  EXPECT_EQ(Text("A2"), "1");
}

TEST_F(Recalculation, HundredThousandCellChainWithoutStackOverflow) {
  constexpr int kRows = 100000;
  engine.SetNumber(s1, 0, 0, 1.0);
  for (int r = 1; r < kRows; ++r)
    engine.SetFormula(s1, r, 0, "A" + std::to_string(r) + "+1");
  EXPECT_EQ(engine.ValueString(s1, kRows - 1, 0), "100000");
  engine.SetNumber(s1, 0, 0, 2.0);
  EXPECT_EQ(engine.ValueString(s1, kRows - 1, 0), "100001");
  // A cycle closed over the whole chain is still found.
  engine.SetFormula(s1, 0, 0, "A" + std::to_string(kRows));
  EXPECT_EQ(engine.ValueString(s1, kRows / 2, 0), "#VALUE!");
}

TEST_F(Recalculation, LongestFormulaEvaluates) {
  std::string sum = "=A2";
  while (sum.size() < 8190) sum += "+A2";
  Put("A2", "1");
  Put("A1", sum);
  EXPECT_EQ(Text("A1"), std::to_string((sum.size() + 1) / 3));
  Put("B1", sum + "+A2+A2");  // over the length limit: kept as text
  EXPECT_EQ(Text("B1"), "#NAME?");
}

TEST_F(Recalculation, FullRecalculationReplacesFileCache) {
  engine.SetNumber(s1, 0, 0, 3.0);
  engine.SetCachedValue(s1, 0, 1, CellValue::Number(99.0));  // stale value from a file
  engine.SetFormula(s1, 0, 1, "A1*2");
  engine.FullRecalculation();
  EXPECT_EQ(engine.FindSheet(s1)->Find(0, 1)->value, CellValue::Number(6.0));
}

TEST_F(Recalculation, VolatileFunctionsRecalculateOnEveryWrite) {
  double now = 100.25;
  engine.SetClock([&] { return now; });
  Put("A1", "=NOW()");
  Put("A2", "=A1*2");
  EXPECT_EQ(Text("A2"), "200.5");
  now = 101.5;
  Put("Z9", "1");  // any write
  EXPECT_EQ(Text("A2"), "203");
}

TEST_F(Recalculation, InputIsInterpretedLikeASpreadsheet) {
  Put("A1", "1.5");
  Put("A2", "true");
  Put("A3", "'123");
  Put("A4", "#N/A");
  Put("A5", "12%");
  Put("A6", "1,5");
  Put("A7", "=");
  EXPECT_EQ(engine.Value(s1, 0, 0), CellValue::Number(1.5));
  EXPECT_EQ(engine.Value(s1, 1, 0), CellValue::Boolean(true));
  EXPECT_EQ(engine.Value(s1, 2, 0), CellValue::Text("123"));
  EXPECT_EQ(engine.Value(s1, 3, 0), CellValue::Error(ErrorCode::kNA));
  EXPECT_EQ(Text("A5"), "0.12");
  EXPECT_EQ(engine.Value(s1, 5, 0), CellValue::Text("1,5"));
  EXPECT_EQ(engine.Value(s1, 6, 0), CellValue::Text("="));
  Put("A1", "");
  EXPECT_EQ(engine.FindSheet(s1)->Find(0, 0), nullptr);
  EXPECT_EQ(engine.FindSheet(s1)->LastUsed(), (CellAddr{6, 0}));
}

TEST_F(Recalculation, OutOfRangeWritesAreIgnored) {
  engine.SetNumber(s1, -1, 0, 1.0);
  engine.SetNumber(s1, 0, kMaxColumns, 1.0);
  engine.SetNumber(999, 0, 0, 1.0);
  EXPECT_TRUE(engine.FindSheet(s1)->Cells().empty());
  EXPECT_EQ(engine.ValueString(999, 0, 0), "");
}

class CrossBook : public EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    ExternalBook link;
    link.fileName = "Other.xlsx";
    link.target = "Other.xlsx";
    link.sheets["gas.1"][{4, 2}] = ExternalCachedCell{true, 8.0, ""};
    book->externalLinks.push_back(link);
  }
};

TEST_F(CrossBook, ClosedBookReadsTheLinkCache) {
  engine.SetFormula(s1, 0, 0, "[1]gas.1!C5*2");
  engine.SetFormula(s1, 1, 0, "'[Other.xlsx]gas.1'!C5+1");
  engine.SetFormula(s1, 2, 0, "'[Other.xlsx]nosheet'!C5");
  EXPECT_EQ(Text("A1"), "16");
  EXPECT_EQ(Text("A2"), "9");
  EXPECT_EQ(Text("A3"), "#REF!");
  EXPECT_EQ(Formula("A1"), "='[Other.xlsx]gas.1'!C5*2");  // no [n] without link parts
  EXPECT_EQ(book->externalLinks.size(), 1u);
}

TEST_F(CrossBook, OpenBookIsReadLiveAndFollowsRenames) {
  engine.SetFormula(s1, 0, 0, "'[Other.xlsx]gas.1'!C5*2");
  EXPECT_EQ(Text("A1"), "16");
  Book& other = engine.AddBook("Other.xlsx", "/tmp/Other.xlsx", BookFormat::kXlsx);
  SheetId g = engine.AddSheet(other.Id(), "gas.1")->Id();
  engine.SetNumber(g, 4, 2, 5.0);
  EXPECT_EQ(Text("A1"), "10");
  engine.SetNumber(g, 4, 2, 6.0);
  EXPECT_EQ(Text("A1"), "12");
  EXPECT_EQ(engine.RenameSheet(g, "gas 2"), SheetNameStatus::kOk);
  EXPECT_EQ(Formula("A1"), "='[Other.xlsx]gas 2'!C5*2");
  EXPECT_EQ(Text("A1"), "12");
  engine.CloseBook(other.Id());
  EXPECT_EQ(Text("A1"), "12");  // the cache knows no sheet "gas 2": the last value stays
}

TEST_F(CrossBook, UnreachableBookKeepsTheFileCache) {
  engine.SetCachedValue(s1, 0, 0, CellValue::Number(25.0));
  engine.SetFormula(s1, 0, 0, "'[Gone.xlsx]S'!A1*2");
  engine.SetFormula(s1, 1, 0, "'[Gone.xlsx]S'!A1*2");  // nothing cached: the error shows
  EXPECT_EQ(Text("A1"), "25");
  EXPECT_EQ(Text("A2"), "#REF!");
  EXPECT_TRUE(engine.IsEvaluable(s1, 0, 0));
}

TEST_F(CrossBook, OwnBookNameIsALocalReference) {
  Put("A1", "4", s2);
  Put("A1", "='[B.xlsx]Sheet2'!A1*3");
  EXPECT_EQ(Text("A1"), "12");
  EXPECT_EQ(book->externalLinks.size(), 1u);
}

}  // namespace
}  // namespace ploxen
