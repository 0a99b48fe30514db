// References outside the cells (defined names, chart series) moved with inserted rows and
// renamed sheets, and the ones that cannot be moved safely.
#include <gtest/gtest.h>

#include "workbook/XlsxAnchors.h"
#include "workbook/XlsxReferences.h"

namespace ploxen {
namespace {

TEST(MoveSheetReferences, RowsBelowAnInsertMoveAndRangesAcrossItGrow) {
  RowMap rows({2});  // a row inserted above sheet row 3
  SheetMoves moves{{"System", {"System", &rows}}};
  EXPECT_EQ(MoveSheetReferences("System!$B$2", moves), "System!$B$2");
  EXPECT_EQ(MoveSheetReferences("System!$B$3", moves), "System!$B$4");
  EXPECT_EQ(MoveSheetReferences("System!$B$2:$B$5", moves), "System!$B$2:$B$6");
  EXPECT_EQ(MoveSheetReferences("System!$3:$4", moves), "System!$4:$5");
  EXPECT_EQ(MoveSheetReferences("System!$A:$A", moves), "System!$A:$A");
  EXPECT_EQ(MoveSheetReferences("SUM(System!B3:B4,Other!B3)*2", moves),
            "SUM(System!B4:B5,Other!B3)*2");
  EXPECT_EQ(MoveSheetReferences("OFFSET(System!$A$3,0,0,COUNTA(System!$A:$A),1)", moves),
            "OFFSET(System!$A$4,0,0,COUNTA(System!$A:$A),1)");
}

TEST(MoveSheetReferences, QuotedNamesStringsAndOtherBooksAreReadAsSuch) {
  RowMap rows({0});
  SheetMoves moves{{"gas.1", {"gas.1", &rows}}, {"O'Hara", {"O'Hara", &rows}}};
  EXPECT_EQ(MoveSheetReferences("('gas.1'!$A$2,'gas.1'!$A$4)", moves),
            "('gas.1'!$A$3,'gas.1'!$A$5)");
  EXPECT_EQ(MoveSheetReferences("'O''Hara'!C1", moves), "'O''Hara'!C2");
  EXPECT_EQ(MoveSheetReferences("\"gas.1!A1\"&'gas.1'!A1", moves), "\"gas.1!A1\"&'gas.1'!A2");
  EXPECT_EQ(MoveSheetReferences("[1]gas.1!A1", moves), "[1]gas.1!A1");
  EXPECT_EQ(MoveSheetReferences("'[1]gas.1'!A1", moves), "'[1]gas.1'!A1");
}

TEST(MoveSheetReferences, RenamedSheetsAreNamedAnewAndQuotedWhenNeeded) {
  SheetMoves moves{{"System", {"Process conditions", nullptr}}, {"gas.1", {"Gas", nullptr}}};
  EXPECT_EQ(MoveSheetReferences("System!$B$2", moves), "'Process conditions'!$B$2");
  EXPECT_EQ(MoveSheetReferences("'gas.1'!$B$2:$B$5", moves), "Gas!$B$2:$B$5");
  SheetMoves odd{{"Gas", {"A1", nullptr}}};  // a name that reads as a cell is quoted
  EXPECT_EQ(MoveSheetReferences("Gas!B2", odd), "'A1'!B2");
  // Without moved rows an address without a sheet is harmless.
  EXPECT_EQ(MoveSheetReferences("B2*2", moves), "B2*2");
}

TEST(MoveSheetReferences, ReferencesThatCannotBeMovedSafelyAreRefused) {
  RowMap rows({4});
  SheetMoves moves{{"System", {"System", &rows}}};
  // An address without a sheet follows whichever sheet is active.
  EXPECT_EQ(MoveSheetReferences("$B$3", moves), std::nullopt);
  EXPECT_EQ(MoveSheetReferences("SUM(B3:B4)", moves), std::nullopt);
  // A reference across sheets would need every sheet between the two moved alike.
  EXPECT_EQ(MoveSheetReferences("SUM(System:Other!B3)", moves), std::nullopt);
  EXPECT_EQ(MoveSheetReferences("SUM('System:Other'!B3)", moves), std::nullopt);
  // Functions, numbers and names are not addresses.
  EXPECT_EQ(MoveSheetReferences("LOG10(2)+1.5E3+Factor", moves), "LOG10(2)+1.5E3+Factor");
}

TEST(MoveElementReferences, RewritesOnlyTheElementsThatChange) {
  RowMap rows({1});
  SheetMoves moves{{"O&B", {"O&B", &rows}}};
  const std::string chart =
      "<c:ser><c:tx><c:strRef><c:f>'O&amp;B'!$B$1</c:f></c:strRef></c:tx><c:val><c:numRef>"
      "<c:f>'O&amp;B'!$B$2:$B$5</c:f><c:numCache/></c:numRef></c:val></c:ser>";
  bool changed = false;
  auto moved = MoveElementReferences(chart, "f", moves, changed);
  ASSERT_TRUE(moved);
  EXPECT_TRUE(changed);
  EXPECT_EQ(*moved,
            "<c:ser><c:tx><c:strRef><c:f>'O&amp;B'!$B$1</c:f></c:strRef></c:tx><c:val><c:numRef>"
            "<c:f>&apos;O&amp;B&apos;!$B$3:$B$6</c:f><c:numCache/></c:numRef></c:val></c:ser>");
  auto same = MoveElementReferences("<c:f>Other!A1</c:f>", "f", moves, changed);
  ASSERT_TRUE(same);
  EXPECT_FALSE(changed);
  EXPECT_FALSE(MoveElementReferences("<definedName name=\"x\">A3</definedName>", "definedName",
                                     moves, changed));
}

/// A drawing anchor of the given kind from row `from` to row `to` (0-based).
std::string Anchor(const std::string& kind, const std::string& editAs, int from, int to) {
  std::string out = "<xdr:" + kind + (editAs.empty() ? "" : " editAs=\"" + editAs + "\"") +
                    "><xdr:from><xdr:col>3</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>" +
                    std::to_string(from) + "</xdr:row><xdr:rowOff>17280</xdr:rowOff></xdr:from>";
  if (to >= 0)
    out += "<xdr:to><xdr:col>7</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>" + std::to_string(to) +
           "</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:to>";
  return out + "<xdr:pic/><xdr:clientData/></xdr:" + kind + ">";
}

TEST(MoveDrawingAnchors, ObjectsMoveAndSizeAsTheirAnchorSays) {
  RowMap rows({4});  // a row inserted above sheet row 5
  auto moved = [&](const std::string& xml) { return MoveDrawingAnchors(xml, rows).value_or("?"); };
  EXPECT_EQ(moved(Anchor("twoCellAnchor", "", 1, 16)), Anchor("twoCellAnchor", "", 1, 17))
      << "moves and sizes with cells: an insert across it makes it taller";
  EXPECT_EQ(moved(Anchor("twoCellAnchor", "oneCell", 1, 16)),
            Anchor("twoCellAnchor", "oneCell", 1, 16))
      << "moves with its first cell, which stays";
  EXPECT_EQ(moved(Anchor("twoCellAnchor", "oneCell", 6, 9)),
            Anchor("twoCellAnchor", "oneCell", 7, 10));
  EXPECT_EQ(moved(Anchor("twoCellAnchor", "absolute", 6, 9)),
            Anchor("twoCellAnchor", "absolute", 6, 9));
  EXPECT_EQ(moved(Anchor("oneCellAnchor", "", 4, -1)), Anchor("oneCellAnchor", "", 5, -1));
  EXPECT_EQ(moved(Anchor("twoCellAnchor", "", 1, 3)), Anchor("twoCellAnchor", "", 1, 3));
  std::string broken = Anchor("twoCellAnchor", "", 1, 16);
  broken.replace(broken.find(">16<"), 4, ">x<");
  EXPECT_FALSE(MoveDrawingAnchors(broken, rows));
}

}  // namespace
}  // namespace ploxen
