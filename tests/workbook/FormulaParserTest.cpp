// Formula text in and out: precedence, references, both syntaxes, what stays unparsed.
#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "workbook/FormulaParser.h"

namespace ploxen {
namespace {

// Parses in a context with sheets "Sheet1" (id 1) and "gas.1" (id 2) and prints it back.
struct Roundtrip {
  std::string Print(const std::string& text, FormulaSyntax in = FormulaSyntax::kA1,
                    FormulaSyntax out = FormulaSyntax::kA1) {
    ParseContext ctx;
    ctx.sheet = 1;
    ctx.findSheet = [](std::string_view n) -> SheetId {
      return n == "Sheet1" ? 1 : (n == "gas.1" || n == "GAS.1") ? 2 : 0;
    };
    ctx.findLink = [this](std::string_view n) {
      links.emplace_back(n);
      return static_cast<int>(links.size() - 1);
    };
    ParseResult r = ParseFormula(text, in, ctx);
    if (!r.tree) return "<unparsable>";
    PrintContext pc;
    pc.sheet = 1;
    pc.sheetName = [](SheetId id) { return std::string(id == 1 ? "Sheet1" : "gas.1"); };
    pc.linkName = [this](int i, bool) { return links[i]; };
    return PrintFormula(*r.tree, out, pc);
  }
  std::vector<std::string> links;
};

TEST(FormulaParser, KeepsTheAuthorsStructure) {
  Roundtrip t;
  EXPECT_EQ(t.Print("=$A$2/1000*D15"), "$A$2/1000*D15");
  EXPECT_EQ(t.Print("=( 1 + 2 ) * 3"), "(1+2)*3");
  EXPECT_EQ(t.Print("=-A1^2%"), "-A1^2%");
  EXPECT_EQ(t.Print("=sum(a1:b2,,3)"), "SUM(A1:B2,,3)");
  EXPECT_EQ(t.Print("=\"a\"\"b\"&TRUE"), "\"a\"\"b\"&TRUE");
  EXPECT_EQ(t.Print("=1.5E-3+#DIV/0!"), "0.0015+#DIV/0!");
  EXPECT_EQ(t.Print("=B5:A1"), "A1:B5");
}

TEST(FormulaParser, ReferencesWithSheetsAndBooks) {
  Roundtrip t;
  EXPECT_EQ(t.Print("='gas.1'!C5"), "'gas.1'!C5");
  EXPECT_EQ(t.Print("=Sheet1!A1+A:A+$2:$3"), "Sheet1!A1+A:A+$2:$3");
  EXPECT_EQ(t.Print("='[Other.xlsx]gas.1'!C5"), "'[Other.xlsx]gas.1'!C5");
  EXPECT_EQ(t.links.size(), 1u);
  EXPECT_EQ(t.Print("=nosuch!A1"), "<unparsable>");
}

TEST(FormulaParser, OpenDocumentSyntaxBothWays) {
  Roundtrip t;
  const auto ods = FormulaSyntax::kOds, a1 = FormulaSyntax::kA1;
  EXPECT_EQ(t.Print("of:=SUM([.A1:.B2];[$'gas.1'.C5])", ods, a1), "SUM(A1:B2,'gas.1'!C5)");
  EXPECT_EQ(t.Print("=SUM(A1:B2,'gas.1'!C5)", a1, ods), "SUM([.A1:.B2];[$'gas.1'.C5])");
  EXPECT_EQ(t.Print("of:=[.$A$2]/1000*[.D15]", ods, a1), "$A$2/1000*D15");
  EXPECT_EQ(t.Print("of:=IF(TRUE();[.A:.A];1)", ods, ods), "IF(TRUE();[.A:.A];1)");
  EXPECT_EQ(t.Print("=TRUE", a1, ods), "TRUE()");
}

TEST(FormulaParser, QuoteInsideABookTargetIsOneQuote) {
  Roundtrip t;
  const auto ods = FormulaSyntax::kOds;
  const std::string text = "['file:///o''brien/Other.ods'#$'gas'.B2]";
  EXPECT_EQ(t.Print("of:=" + text, ods, ods), text);
  ASSERT_EQ(t.links.size(), 1u);
  EXPECT_EQ(t.links[0], "file:///o'brien/Other.ods");
  EXPECT_EQ(t.Print("of:=['a''#b'#$S.A1]", ods, ods), "['a''#b'#$'S'.A1]");
  EXPECT_EQ(t.links[1], "a'#b");
}

TEST(FormulaParser, RefusesWhatItCannotRepresent) {
  Roundtrip t;
  for (const char* bad : {"=SUM(A1", "={1,2}", "=A1 B1", "=Sheet1:Sheet2!A1", "=myName",
                          "=1+", "=\"open", "=A0", "=XFE1", "=A1048577", ""}) {
    EXPECT_EQ(t.Print(bad), "<unparsable>") << bad;
  }
  std::string deep(300, '(');
  deep = "=" + deep + "1" + std::string(300, ')');
  EXPECT_EQ(t.Print(deep), "<unparsable>");
  std::string longChain = "=1";
  while (longChain.size() < 9000) longChain += "+1";
  EXPECT_EQ(t.Print(longChain), "<unparsable>");
  EXPECT_EQ(t.Print(longChain.substr(0, 8000)).size(), 7999u);  // 4,000 terms still fine
}

TEST(FormulaParser, SharedFormulaShiftMovesRelativeParts) {
  ParseContext ctx;
  ctx.sheet = 1;
  ctx.shiftRows = 2;
  ctx.shiftCols = 1;
  ParseResult r = ParseFormula("A1+$A1+A$1+$A$1", FormulaSyntax::kA1, ctx);
  ASSERT_TRUE(r.tree);
  PrintContext pc;
  pc.sheet = 1;
  EXPECT_EQ(PrintFormula(*r.tree, FormulaSyntax::kA1, pc), "B3+$A3+B$1+$A$1");
  ctx.shiftRows = -1;
  EXPECT_FALSE(ParseFormula("A1", FormulaSyntax::kA1, ctx).tree);
}

TEST(FormulaParser, QuotesSheetNamesOnlyWhenNeeded) {
  EXPECT_EQ(QuoteSheetName("Sheet1"), "Sheet1");
  EXPECT_EQ(QuoteSheetName("gas.1"), "'gas.1'");
  EXPECT_EQ(QuoteSheetName("my sheet"), "'my sheet'");
  EXPECT_EQ(QuoteSheetName("it's"), "'it''s'");
  EXPECT_EQ(QuoteSheetName("AB12"), "'AB12'");
  EXPECT_EQ(QuoteSheetName("R1C1"), "'R1C1'");
  EXPECT_EQ(QuoteSheetName("true"), "'true'");
  EXPECT_EQ(QuoteSheetName("1st"), "'1st'");
}

TEST(CellAddress, LettersAndA1) {
  EXPECT_EQ(ColumnLetters(0), "A");
  EXPECT_EQ(ColumnLetters(26), "AA");
  EXPECT_EQ(ColumnLetters(701), "ZZ");
  EXPECT_EQ(ColumnLetters(16383), "XFD");
  EXPECT_EQ(ColumnLetters(16384), "");
  EXPECT_EQ(ColumnFromLetters("xfd"), 16383);
  EXPECT_EQ(ColumnFromLetters("XFE"), -1);
  CellAddr a;
  EXPECT_TRUE(ParseA1("$AA$5", a));
  EXPECT_EQ(a, (CellAddr{4, 26}));
  EXPECT_FALSE(ParseA1("A0", a));
  EXPECT_FALSE(ParseA1("5A", a));
  EXPECT_EQ(A1Text(4, 26, true, false), "AA$5");
}

// In the engine: formulas keep their text until something changes it.
class FormulaTextTest : public EngineFixture {};

TEST_F(FormulaTextTest, OriginalTextKeptUnknownFunctionKeepsCache) {
  Put("A1", "2");
  engine.SetCachedValue(s1, 1, 0, CellValue::Number(7));
  engine.SetFormula(s1, 1, 0, "FOO(A1)  +  1");
  EXPECT_EQ(Text("A2"), "7");
  EXPECT_EQ(Formula("A2"), "=FOO(A1)  +  1");
  EXPECT_FALSE(engine.IsEvaluable(s1, 1, 0));

  engine.SetCachedValue(s1, 2, 0, CellValue::Text("kept"));
  engine.SetFormula(s1, 2, 0, "SUM(A1");
  EXPECT_EQ(Text("A3"), "kept");
  EXPECT_EQ(Formula("A3"), "=SUM(A1");

  Put("A4", "=FOO(1)");  // typed by a user: no cache, the spreadsheet's #NAME?
  EXPECT_EQ(Text("A4"), "#NAME?");
  Put("A5", "=SUM(A1 ,  3)");
  EXPECT_EQ(Text("A5"), "5");
  EXPECT_EQ(Formula("A5"), "=SUM(A1 ,  3)");
  EXPECT_EQ(Formula("A5", 0, FormulaSyntax::kOds), "of:=SUM([.A1];3)");
}

TEST_F(FormulaTextTest, OpenDocumentFormulasEvaluate) {
  Put("A1", "4");
  engine.SetFormula(s1, 0, 1, "of:=[.A1]*2+SUM([$Sheet2.A1:.A2];1)", FormulaSyntax::kOds);
  Put("A1", "3", s2);
  EXPECT_EQ(Text("B1"), "12");
  EXPECT_EQ(Formula("B1"), "=A1*2+SUM(Sheet2!A1:A2,1)");
  EXPECT_EQ(Formula("B1", 0, FormulaSyntax::kOds), "of:=[.A1]*2+SUM([$Sheet2.A1:.A2];1)");
}

TEST_F(FormulaTextTest, SharedFormulaFollowerIsRegenerated) {
  for (int r = 1; r <= 3; ++r) Put("A" + std::to_string(r), std::to_string(r * 10));
  engine.SetFormula(s1, 0, 1, "A1*2+$A$1");
  engine.SetFormula(s1, 2, 1, "A1*2+$A$1", FormulaSyntax::kA1, 2, 0);
  EXPECT_EQ(Formula("B1"), "=A1*2+$A$1");
  EXPECT_EQ(Formula("B3"), "=A3*2+$A$1");
  EXPECT_EQ(Text("B3"), "70");
}

TEST_F(FormulaTextTest, LinkNumberWithoutLinkPartKeepsItsNumber) {
  engine.SetFormula(s1, 0, 1, "[3]Data!B3");  // a file whose link parts end before the third
  EXPECT_EQ(Formula("B1"), "='[3]Data'!B3");
  EXPECT_EQ(Formula("B1", 0, FormulaSyntax::kOds), "of:=['3'#$'Data'.B3]");
  Put("C1", Formula("B1"));
  EXPECT_EQ(Formula("C1"), "='[3]Data'!B3");
}

}  // namespace
}  // namespace ploxen

namespace ploxen {
namespace {

// Random token soup: whatever the text, parsing, printing and evaluating neither crash nor
// throw, and a formula printed in either syntax reads back to the same formula.
TEST_F(FormulaTextTest, ArbitraryTextNeverBreaksTheEngine) {
  const char* pieces[] = {"A1", "$B$2", ":", "(", ")", "+", "-", "*", "/", "^", "&", "%", "=",
                          "<", ">", ",", ";", "\"x\"", "'", "!", "[", "]", "1", "2.5E3",
                          "SUM(", "IF(", "INDEX(", "VLOOKUP(", "Sheet2!", "'[O.xlsx]S'!",
                          "#REF!", "TRUE", " ", "A:A", "1:2", "[.A1]", "of:", "MATCH(",
                          "[1]S!", "9E999", "1E300", "IFERROR(", "'it''s'!", "\"", "TODAY()",
                          "NOSUCH(", "ROUND(", "MID(", "$1:$1048576", "XFD1"};
  unsigned seed = 12345;
  auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  Put("A1", "3");
  for (int i = 0; i < 4000; ++i) {
    std::string text = "=";
    int n = 1 + next() % 12;
    for (int k = 0; k < n; ++k) text += pieces[next() % (sizeof pieces / sizeof *pieces)];
    Put("C3", text);
    std::string value = Text("C3");
    std::string again = Formula("C3");
    ASSERT_FALSE(again.empty()) << text;
    if (!engine.IsEvaluable(s1, 2, 2)) continue;
    // Through the other syntax and back: same value, same text.
    std::string ods = Formula("C3", 0, FormulaSyntax::kOds);
    engine.ClearCell(s1, 3, 2);
    engine.SetFormula(s1, 3, 2, ods, FormulaSyntax::kOds);
    EXPECT_EQ(Text("C4"), value) << text << " / " << ods;
    EXPECT_EQ(Formula("C4", 0, FormulaSyntax::kOds), ods) << text;
    std::string a1 = Formula("C4");
    Put("C5", a1);
    EXPECT_EQ(Formula("C5", 0, FormulaSyntax::kOds), ods) << text << " / " << a1;
  }
}

}  // namespace
}  // namespace ploxen
