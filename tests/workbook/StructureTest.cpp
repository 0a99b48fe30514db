// Structural edits: row insertion shifts references, sheets obey the naming rules, renamed
// sheets are followed, deleted ones leave #REF!.
#include <gtest/gtest.h>

#include "EngineFixture.h"

namespace ploxen {
namespace {

class Structure : public EngineFixture {};

TEST_F(Structure, InsertRowShiftsCellsAndReferencesEverywhere) {
  Put("A1", "1");
  Put("A2", "2");
  Put("A3", "=SUM(A1:A2)");
  Put("B1", "=A2*10");
  Put("B2", "=$A$2+A$1");
  Put("C1", "=SUM(A:A)");
  Put("A1", "=Sheet1!A2", s2);
  Book& other = engine.NewBook("Other.xlsx", "/tmp/Other.xlsx");
  SheetId o = other.SheetAt(0).Id();
  engine.SetFormula(o, 0, 0, "'[B.xlsx]Sheet1'!A2");
  EXPECT_EQ(engine.ValueString(o, 0, 0), "2");

  ASSERT_TRUE(engine.InsertRow(s1, 1));  // above sheet row 2

  EXPECT_EQ(Formula("A4"), "=SUM(A1:A3)");
  EXPECT_EQ(Formula("B1"), "=A3*10");
  EXPECT_EQ(Formula("B3"), "=$A$3+A$1");
  EXPECT_EQ(Formula("C1"), "=SUM(A:A)");
  EXPECT_EQ(Formula("A1", s2), "=Sheet1!A3");
  EXPECT_EQ(engine.FormulaText(o, 0, 0), "='[B.xlsx]Sheet1'!A3");
  EXPECT_EQ(Text("A2"), "");
  EXPECT_EQ(Text("A4"), "3");
  EXPECT_EQ(Text("B1"), "20");
  EXPECT_EQ(Text("A1", s2), "2");
  // The new row is live: a value written there counts in the ranges that span it.
  Put("A2", "10");
  EXPECT_EQ(Text("A4"), "13");
  EXPECT_EQ(Text("C1"), "26");
}

TEST_F(Structure, InsertRowMovesLayoutAndKeepsRowsAbove) {
  Sheet& s = *engine.FindSheet(s1);
  s.rowHeights[0] = 20.0;
  s.rowHeights[3] = 30.0;
  s.merges.push_back({0, 0, 0, 2});
  s.merges.push_back({2, 0, 5, 0});
  engine.SetFormat(s1, 3, 0, 2);
  Put("A5", "=A1");
  ASSERT_TRUE(engine.InsertRow(s1, 2));
  EXPECT_EQ(s.rowHeights.at(0), 20.0);
  EXPECT_EQ(s.rowHeights.at(4), 30.0);
  EXPECT_EQ(s.rowHeights.count(3), 0u);
  EXPECT_EQ(s.merges[0].lastRow, 0);
  EXPECT_EQ(s.merges[1].firstRow, 3);
  EXPECT_EQ(s.merges[1].lastRow, 6);
  EXPECT_EQ(s.Find(4, 0)->format, 2);
  EXPECT_EQ(Formula("A6"), "=A1");
  EXPECT_FALSE(engine.InsertRow(s1, kMaxRows));
}

TEST_F(Structure, ReferencePushedOffTheSheetBecomesRefError) {
  engine.SetNumber(s1, kMaxRows - 1, 0, 5.0);
  engine.SetFormula(s1, 0, 1, "A1048576+1");
  EXPECT_EQ(Text("B1"), "6");
  ASSERT_TRUE(engine.InsertRow(s1, 5));
  EXPECT_EQ(Formula("B1"), "=#REF!+1");
  EXPECT_EQ(Text("B1"), "#REF!");
}

TEST_F(Structure, SheetNamingRules) {
  EXPECT_EQ(engine.CheckSheetName(*book, "gas.1"), SheetNameStatus::kOk);
  EXPECT_EQ(engine.CheckSheetName(*book, ""), SheetNameStatus::kEmpty);
  EXPECT_EQ(engine.CheckSheetName(*book, std::string(31, 'x')), SheetNameStatus::kOk);
  EXPECT_EQ(engine.CheckSheetName(*book, std::string(32, 'x')), SheetNameStatus::kTooLong);
  EXPECT_EQ(engine.CheckSheetName(*book, "\xC3\xA4" + std::string(30, 'x')), SheetNameStatus::kOk);
  for (const char* bad : {"a[b", "a]", "a:b", "a*", "a?", "a/b", "a\\b"})
    EXPECT_EQ(engine.CheckSheetName(*book, bad), SheetNameStatus::kBadCharacter) << bad;
  EXPECT_EQ(engine.CheckSheetName(*book, "'quoted"), SheetNameStatus::kQuoteAtEdge);
  EXPECT_EQ(engine.CheckSheetName(*book, "quoted'"), SheetNameStatus::kQuoteAtEdge);
  EXPECT_EQ(engine.CheckSheetName(*book, "it's"), SheetNameStatus::kOk);
  EXPECT_EQ(engine.CheckSheetName(*book, "SHEET2"), SheetNameStatus::kDuplicate);
  EXPECT_EQ(engine.CheckSheetName(*book, "SHEET2", s2), SheetNameStatus::kOk);

  SheetNameStatus st = SheetNameStatus::kOk;
  EXPECT_EQ(engine.AddSheet(book->Id(), "sheet1", -1, &st), nullptr);
  EXPECT_EQ(st, SheetNameStatus::kDuplicate);
  Sheet* first = engine.AddSheet(book->Id(), "First", 0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(book->SheetAt(0).Name(), "First");
  EXPECT_EQ(book->FindSheet("FIRST"), 0);
  EXPECT_EQ(engine.RenameSheet(s2, "Sheet1"), SheetNameStatus::kDuplicate);
  EXPECT_EQ(engine.RenameSheet(s2, "sheet2"), SheetNameStatus::kOk);  // only the case changes
}

TEST_F(Structure, RenameKeepsReferencesAndRequotes) {
  Put("A1", "7", s2);
  Put("A1", "=Sheet2!A1*2");
  Put("A2", "=SUM(Sheet2!A1:A3)");
  Put("B1", "=A1+1", s2);
  EXPECT_EQ(engine.RenameSheet(s2, "gas.1"), SheetNameStatus::kOk);
  EXPECT_EQ(Formula("A1"), "='gas.1'!A1*2");
  EXPECT_EQ(Formula("A2"), "=SUM('gas.1'!A1:A3)");
  EXPECT_EQ(Formula("B1", s2), "=A1+1");
  EXPECT_EQ(Text("A1"), "14");
  Put("A1", "8", s2);
  EXPECT_EQ(Text("A2"), "8");
  Put("A3", "='gas.1'!A1", s1);
  EXPECT_EQ(Text("A3"), "8");
}

TEST_F(Structure, DeleteSheetTurnsReferencesIntoRefErrors) {
  Put("A1", "7", s2);
  Put("A1", "=Sheet2!A1*2");
  Put("A2", "=IFERROR(SUM(Sheet2!A1:A3),-1)");
  Put("A3", "=5");
  EXPECT_EQ(Text("A1"), "14");
  ASSERT_TRUE(engine.DeleteSheet(s2));
  EXPECT_EQ(book->SheetCount(), 1);
  EXPECT_EQ(engine.FindSheet(s2), nullptr);
  EXPECT_EQ(Formula("A1"), "=#REF!*2");
  EXPECT_EQ(Text("A1"), "#REF!");
  EXPECT_EQ(Text("A2"), "-1");
  EXPECT_EQ(Text("A3"), "5");
  EXPECT_FALSE(engine.DeleteSheet(s1));  // a book keeps at least one sheet
  Put("B1", "=Sheet2!A1");               // the name is gone: the formula stays text
  EXPECT_EQ(Text("B1"), "#NAME?");
  EXPECT_EQ(Formula("B1"), "=Sheet2!A1");
}

TEST_F(Structure, NewBooksAndClosing) {
  Book& ods = engine.NewBook("Calc.ODS", "/tmp/Calc.ODS");
  EXPECT_EQ(ods.Format(), BookFormat::kOds);
  EXPECT_EQ(ods.SheetCount(), 1);
  EXPECT_EQ(ods.SheetAt(0).Name(), "Sheet1");
  EXPECT_EQ(engine.FindBookByName("/other/dir/calc.ods"), &ods);
  EXPECT_EQ(engine.BookCount(), 2);
  SheetId id = ods.SheetAt(0).Id();
  EXPECT_TRUE(engine.CloseBook(ods.Id()));
  EXPECT_EQ(engine.FindSheet(id), nullptr);
  EXPECT_FALSE(engine.CloseBook(12345));
  EXPECT_EQ(engine.BookCount(), 1);
}

TEST_F(Structure, LoadImportedBookKeepsCacheOfUnknownAndRecalculatesTheRest) {
  ImportedBook in;
  in.format = BookFormat::kXlsx;
  in.formats.push_back(CellFormat{});
  CellFormat bold;
  bold.bold = true;
  in.formats.push_back(bold);
  ImportedSheet first, second;
  first.name = "sys";
  second.name = "gas.1";
  first.columnWidths[0] = 12.5;
  auto cell = [](int r, int c, ImportedCell::Kind k) {
    ImportedCell ic;
    ic.row = r;
    ic.column = c;
    ic.kind = k;
    return ic;
  };
  ImportedCell f = cell(0, 0, ImportedCell::Kind::kFormula);
  f.formula = "'gas.1'!A1*2";  // reads a sheet that comes later in the file
  f.cached = ImportedCell::Cached::kNumber;
  f.number = 1.0;  // stale
  f.style = 1;
  first.cells.push_back(f);
  ImportedCell u = cell(1, 0, ImportedCell::Kind::kFormula);
  u.formula = "NOSUCH(1)";
  u.cached = ImportedCell::Cached::kString;
  u.text = "cached";
  first.cells.push_back(u);
  ImportedCell n = cell(0, 0, ImportedCell::Kind::kNumber);
  n.number = 21.0;
  second.cells.push_back(n);
  in.sheets = {first, second};
  in.unsupportedParts = {"charts"};

  Book& b = engine.LoadImported(std::move(in), "In.xlsx", "/tmp/In.xlsx");
  SheetId sys = b.SheetAt(0).Id();
  EXPECT_FALSE(b.modified);
  EXPECT_EQ(engine.ValueString(sys, 0, 0), "42");
  EXPECT_EQ(engine.ValueString(sys, 1, 0), "cached");
  EXPECT_EQ(engine.FormulaText(sys, 1, 0), "=NOSUCH(1)");
  EXPECT_EQ(b.formats[b.SheetAt(0).Find(0, 0)->format].bold, true);
  EXPECT_EQ(b.SheetAt(0).columnWidths.at(0), 12.5);
  EXPECT_EQ(b.unsupportedParts.size(), 1u);
}

}  // namespace
}  // namespace ploxen
