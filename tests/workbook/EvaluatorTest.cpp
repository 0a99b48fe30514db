// Formula results: a table of formulas with the values a spreadsheet gives for them.
#include <gtest/gtest.h>

#include "EngineFixture.h"

namespace ploxen {
namespace {

struct FormulaCase {
  const char* formula;
  const char* expected;
};

class FormulaTable : public EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    engine.SetClock([] { return 45000.75; });
    // A1..A7: numbers, text, boolean, an empty cell, numeric text.
    Put("A1", "1");
    Put("A2", "2");
    Put("A3", "3");
    Put("A4", "abc");
    Put("A5", "TRUE");
    Put("A7", "'5");
    // D1:E4 ascending numeric keys; F1:G3 text keys.
    const char* names[] = {"one", "two", "three", "four"};
    for (int i = 0; i < 4; ++i) {
      Put("D" + std::to_string(i + 1), std::to_string(i + 1));
      Put("E" + std::to_string(i + 1), names[i]);
    }
    Put("F1", "apple");
    Put("G1", "10");
    Put("F2", "Banana");
    Put("G2", "20");
    Put("F3", "cherry");
    Put("G3", "30");
  }
  std::string Eval(const std::string& formula) {
    Put("Z100", formula);
    return Text("Z100");
  }
};

const FormulaCase kArithmetic[] = {
    {"=8/4*2", "4"},           {"=-2^2", "4"},          {"=2^3^2", "64"},
    {"=1E3", "1000"},          {"=5%", "0.05"},         {"=\"a\"&1+2", "a3"},
    {"=TRUE+1", "2"},          {"=1+2*3", "7"},         {"=(1+2)*3", "9"},
    {"=2*-3", "-6"},           {"=10-2-3", "5"},        {"=1/3", "0.333333333333333"},
    {"=0.1+0.2", "0.3"},       {"=2/3*3", "2"},         {"=2^-1", "0.5"},
    {"=-A1", "-1"},            {"=200%*3", "6"},        {"=1E300*1E300", "#NUM!"},
    {"=\"x\"+1", "#VALUE!"},   {"=-\"2\"", "-2"},       {"=\"3\"*A2", "6"},
    {"=A4&A1", "abc1"},        {"=A1&A6", "1"},         {"=A6+1", "1"},
    {"=1/0", "#DIV/0!"},       {"=1/0+\"x\"", "#DIV/0!"}, {"=#N/A", "#N/A"},
    {"=1e-7", "1e-07"},        {"=-0", "0"},            {"=1/7*1E20", "1.42857142857143e+19"},
    {"=0^0", "#NUM!"},         {"=(-8)^(1/3)", "#NUM!"}, {"=  1 +  2 ", "3"},
};

const FormulaCase kComparison[] = {
    {"=\"abc\"=\"ABC\"", "TRUE"}, {"=\"a\"<\"b\"", "TRUE"}, {"=1<\"a\"", "TRUE"},
    {"=\"1\"=1", "FALSE"},       {"=TRUE>\"z\"", "TRUE"},  {"=A6=0", "TRUE"},
    {"=A6=\"\"", "TRUE"},        {"=A6=FALSE", "TRUE"},    {"=2<>2", "FALSE"},
    {"=3>=3", "TRUE"},           {"=1+1=2", "TRUE"},       {"=\"b\">\"A\"", "TRUE"},
    {"=1=1/0", "#DIV/0!"},
};

const FormulaCase kAggregates[] = {
    {"=SUM(A1:A5)", "6"},        {"=SUM(A1,TRUE)", "2"},    {"=SUM(\"3\",1)", "4"},
    {"=SUM(A1:A3,10)", "16"},    {"=SUM(A4)", "0"},         {"=SUM(\"x\")", "#VALUE!"},
    {"=AVERAGE(A1:A3)", "2"},    {"=AVERAGE(A4:A6)", "#DIV/0!"}, {"=COUNT(A1:A7)", "3"},
    {"=COUNTA(A1:A7)", "6"},     {"=COUNT(1,\"2\",\"x\",TRUE)", "3"},
    {"=MIN(A1:A3)", "1"},        {"=MAX(A1:A3,-5)", "3"},   {"=MAX(A4)", "0"},
    {"=SUM(D:D)", "10"},         {"=SUM(1:1)", "12"},       {"=SUM(D1:D4)/COUNT(D1:D4)", "2.5"},
};

const FormulaCase kMath[] = {
    {"=ROUND(2.5,0)", "3"},       {"=ROUND(-2.5,0)", "-3"},     {"=ROUND(2.675,2)", "2.68"},
    {"=ROUND(0.285,2)", "0.29"},  {"=ROUND(1234.5,-2)", "1200"}, {"=ROUND(1.005,2)", "1.01"},
    {"=ROUNDUP(1.21,1)", "1.3"},  {"=ROUNDUP(-1.21,1)", "-1.3"}, {"=ROUNDDOWN(-1.29,1)", "-1.2"},
    {"=ROUNDDOWN(0.3*3,1)", "0.9"}, {"=MOD(-3,2)", "1"},          {"=MOD(3,-2)", "-1"},
    {"=MOD(-7.5,2)", "0.5"},      {"=MOD(5,0)", "#DIV/0!"},     {"=MOD(7,3)", "1"},
    {"=INT(-2.5)", "-3"},         {"=INT(2.9)", "2"},           {"=ABS(-2)", "2"},
    {"=SQRT(16)", "4"},           {"=SQRT(-1)", "#NUM!"},       {"=POWER(2,10)", "1024"},
    {"=EXP(0)", "1"},             {"=LN(0)", "#NUM!"},          {"=LOG10(1000)", "3"},
    {"=PI()", "3.14159265358979"}, {"=ROUND(PI(),4)", "3.1416"},
    {"=ROUND(1.5,1E300)", "1.5"},  {"=ROUND(1.5,-1E300)", "0"},  {"=ROUND(123,-400)", "0"},
    {"=LEFT(\"ab\",1E300)", "ab"}, {"=INDEX(D1:D4,1E300)", "#REF!"},
};

const FormulaCase kLogic[] = {
    {"=IF(A1>0,\"pos\",\"neg\")", "pos"}, {"=IF(FALSE,1)", "FALSE"}, {"=IF(\"x\",1,2)", "#VALUE!"},
    {"=IF(A1,,2)", "0"},                 {"=IF(0,1/0,2)", "2"},     {"=IFERROR(1/0,\"x\")", "x"},
    {"=IFERROR(5,\"x\")", "5"},          {"=IFERROR(#N/A,A2)", "2"}, {"=AND(TRUE,1)", "TRUE"},
    {"=OR(FALSE,0)", "FALSE"},           {"=NOT(1)", "FALSE"},      {"=AND(A1:A5)", "TRUE"},
    {"=AND(A4)", "#VALUE!"},             {"=OR(A1:A3,FALSE)", "TRUE"}, {"=ISBLANK(A6)", "TRUE"},
    {"=ISBLANK(A1)", "FALSE"},           {"=ISBLANK(\"\")", "FALSE"}, {"=ISNUMBER(A1)", "TRUE"},
    {"=ISNUMBER(A7)", "FALSE"},          {"=ISNUMBER(#N/A)", "FALSE"}, {"=TRUE()", "TRUE"},
};

const FormulaCase kText[] = {
    {"=CONCATENATE(\"a\",1,TRUE)", "a1TRUE"}, {"=LEFT(\"hello\",2)", "he"},
    {"=LEFT(\"hello\")", "h"},              {"=RIGHT(\"hello\",3)", "llo"},
    {"=RIGHT(\"hi\",5)", "hi"},             {"=MID(\"hello\",2,3)", "ell"},
    {"=MID(\"hello\",9,3)", ""},            {"=MID(\"hello\",0,3)", "#VALUE!"},
    {"=LEN(\"h\xC3\xA9llo\")", "5"},        {"=LEFT(\"\xC3\xA9t\xC3\xA9\",2)", "\xC3\xA9t"},
    {"=UPPER(\"abc\")", "ABC"},             {"=LOWER(\"ABC\")", "abc"},
    {"=TRIM(\"  a   b \")", "a b"},         {"=VALUE(\"1.5\")", "1.5"},
    {"=VALUE(\"x\")", "#VALUE!"},           {"=LEN(A1*1000)", "4"},
    {"=\"say \"\"hi\"\"\"", "say \"hi\""},
};

const FormulaCase kLookup[] = {
    {"=VLOOKUP(3,D1:E4,2,FALSE)", "three"}, {"=VLOOKUP(2.5,D1:E4,2)", "two"},
    {"=VLOOKUP(2.5,D1:E4,2,TRUE)", "two"},  {"=VLOOKUP(9,D1:E4,2)", "four"},
    {"=VLOOKUP(0,D1:E4,2)", "#N/A"},        {"=VLOOKUP(9,D1:E4,2,FALSE)", "#N/A"},
    {"=VLOOKUP(\"banana\",F1:G3,2,FALSE)", "20"}, {"=VLOOKUP(\"b*\",F1:G3,2,FALSE)", "20"},
    {"=VLOOKUP(\"c?erry\",F1:G3,2,0)", "30"}, {"=VLOOKUP(1,D1:E4,3,FALSE)", "#REF!"},
    {"=VLOOKUP(1,D1:E4,0,FALSE)", "#VALUE!"}, {"=VLOOKUP(\"1\",D1:E4,2,FALSE)", "#N/A"},
    {"=INDEX(D1:E4,2,2)", "two"},           {"=INDEX(D1:D4,3)", "3"},
    {"=INDEX(D1:E1,2)", "one"},             {"=INDEX(D1:E4,5,1)", "#REF!"},
    {"=SUM(INDEX(D1:E4,0,1))", "10"},       {"=MATCH(3,D1:D4,0)", "3"},
    {"=MATCH(2.5,D1:D4)", "2"},             {"=MATCH(0,D1:D4)", "#N/A"},
    {"=MATCH(\"CHERRY\",F1:F3,0)", "3"},    {"=INDEX(E1:E4,MATCH(4,D1:D4,0))", "four"},
    {"=SUMPRODUCT(D1:D4,D1:D4)", "30"},     {"=SUMPRODUCT(A1:A3,D1:D3)", "14"},
    {"=SUMPRODUCT(D1:D4,A1:A3)", "#VALUE!"}, {"=SUMPRODUCT(D1:E4)", "10"},
    {"=VLOOKUP(4,D:E,2,FALSE)", "four"},    {"=SUM(INDEX())", "#VALUE!"},
    {"=ROUND(1)", "#VALUE!"},               {"=MID(\"a\",1)", "#VALUE!"},
};

const FormulaCase kDates[] = {
    {"=NOW()", "45000.75"}, {"=TODAY()", "45000"}, {"=TODAY()=INT(NOW())", "TRUE"},
};

}  // namespace

#define FORMULA_TABLE(name, table)                                           \
  TEST_F(FormulaTable, name) {                                               \
    for (const FormulaCase& c : table) EXPECT_EQ(Eval(c.formula), c.expected) \
        << c.formula;                                                        \
  }

FORMULA_TABLE(ArithmeticFollowsSpreadsheetPrecedence, kArithmetic)
FORMULA_TABLE(ComparisonsOrderNumbersTextBooleans, kComparison)
FORMULA_TABLE(AggregatesSkipTextAndBooleansInRanges, kAggregates)
FORMULA_TABLE(MathFunctionsRoundHalvesAwayFromZero, kMath)
FORMULA_TABLE(LogicFunctionsAndErrors, kLogic)
FORMULA_TABLE(TextFunctionsCountCharactersNotBytes, kText)
FORMULA_TABLE(LookupFunctionsExactAndApproximate, kLookup)
FORMULA_TABLE(VolatileFunctionsReadTheClock, kDates)

TEST(NumberText, FifteenSignificantDigitsAndPoint) {
  EXPECT_EQ(NumberText(0.1 + 0.2), "0.3");
  EXPECT_EQ(NumberText(2000.0 / 3.0), "666.666666666667");
  EXPECT_EQ(NumberText(1e-7), "1e-07");
  EXPECT_EQ(NumberText(-0.0), "0");
  EXPECT_EQ(NumberText(123456789012345678.0), "1.23456789012346e+17");
  EXPECT_EQ(NumberText(-2.5), "-2.5");
  EXPECT_EQ(ValueText(CellValue::Boolean(true)), "TRUE");
  EXPECT_EQ(ValueText(CellValue::Error(ErrorCode::kDiv0)), "#DIV/0!");
  EXPECT_EQ(ValueText(CellValue::Error(ErrorCode::kName)), "#NAME?");
}

TEST(NumberText, ParsesOnlyWholeNumbers) {
  double v = 0.0;
  EXPECT_TRUE(ParseNumberText(" 1E3 ", v));
  EXPECT_EQ(v, 1000.0);
  EXPECT_TRUE(ParseNumberText("-.5", v));
  EXPECT_EQ(v, -0.5);
  EXPECT_TRUE(ParseNumberText("+2", v));
  EXPECT_EQ(v, 2.0);
  EXPECT_FALSE(ParseNumberText("1,5", v));
  EXPECT_FALSE(ParseNumberText("inf", v));
  EXPECT_FALSE(ParseNumberText("nan", v));
  EXPECT_FALSE(ParseNumberText("0x10", v));
  EXPECT_FALSE(ParseNumberText("1e", v));
  EXPECT_FALSE(ParseNumberText("", v));
}

}  // namespace ploxen

namespace ploxen {
namespace {

// The longest formula a spreadsheet accepts nests about 4,000 operators; evaluating and printing
// it must not exhaust the stack, and errors and text must still flow through the chain.
TEST_F(FormulaTable, LongOperatorChainsEvaluateWithoutDeepRecursion) {
  std::string sum = "=1";
  std::string text = "=\"x\"";
  for (int i = 0; i < 3990; ++i) {
    sum += "+1";
    text += "&1";
  }
  EXPECT_EQ(Eval(sum), "3991");
  EXPECT_EQ(Eval(text).size(), 3991u);
  EXPECT_EQ(Eval("=1/0+1+1&\"a\""), "#DIV/0!");
  EXPECT_EQ(Eval("=\"a\"&1/0&\"b\""), "#DIV/0!");
  EXPECT_EQ(Eval("=1<2=TRUE"), "TRUE");
}

}  // namespace
}  // namespace ploxen
