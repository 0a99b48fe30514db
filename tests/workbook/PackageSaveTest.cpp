// Saving books that were opened from a file: every part of the package that did not change
// stays byte for byte, changed sheets keep every element around their cells, inserted rows
// move what can be moved and are refused where a part would be misplaced.
#include <gtest/gtest.h>

#include <unistd.h>
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <tuple>

#include "ScratchBooks.h"
#include "support/AplMsg.h"
#include "workbook/EmbeddedServer.h"
#include "workbook/PackageZip.h"
#include "workbook/SourcePackage.h"
#include "workbook/XlsxPatch.h"

namespace ploxen {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::kWorkbookData;
const std::string& kData = kWorkbookData;

/// Every part of a package by name.
std::map<std::string, std::string> Parts(const std::string& bytes) {
  std::map<std::string, std::string> parts;
  ZipPackage package;
  std::string error;
  EXPECT_TRUE(package.Open(bytes, error)) << error;
  for (const std::string& name : package.Parts()) package.Read(name, parts[name]);
  return parts;
}

/// The element of cell `ref` in a worksheet part; empty when it has none.
std::string CellXml(const std::string& sheet, const std::string& ref) {
  std::size_t at = sheet.find("<c r=\"" + ref + "\"");
  if (at == std::string::npos) return {};
  std::size_t end = sheet.find("</c>", at);
  std::size_t empty = sheet.find("/>", at);
  if (empty < sheet.find('>', at) + 1) return sheet.substr(at, empty + 2 - at);
  return end == std::string::npos ? std::string() : sheet.substr(at, end + 4 - at);
}

/// Names of the parts that differ between two packages, added and removed ones included.
std::set<std::string> Differing(const std::string& a, const std::string& b) {
  auto pa = Parts(a), pb = Parts(b);
  std::set<std::string> out;
  for (const auto& [name, data] : pa)
    if (!pb.count(name) || pb[name] != data) out.insert(name);
  for (const auto& [name, data] : pb)
    if (!pa.count(name)) out.insert(name);
  return out;
}

class PackageSave : public test::ScratchBooks {
 protected:
  /// Reopens a saved file in a fresh engine and reads one cell.
  std::string Reread(const fs::path& path, int sheet, int row, int column) {
    TAplMsgWnd log2;
    EmbeddedServer again(log2);
    BookHandle book = 0;
    SheetHandle s = 0;
    std::string text;
    EXPECT_TRUE(again.OpenBook(path.string(), false, book)) << again.LastErrorText();
    EXPECT_TRUE(again.SheetItem(book, sheet, s));
    EXPECT_TRUE(again.CellValue(s, row, column, text));
    return text;
  }
};

TEST_F(PackageSave, XlsxRewritesOnlyTheChangedSheetAndKeepsItsOtherElements) {
  BookHandle book = OpenCopy("Rich.xlsx");
  std::string before = Bytes(dir / "Rich.xlsx");
  SheetHandle system = Sheet(book, 1);
  ASSERT_TRUE(server.SetCellValue(system, 2, 2, "1200"));
  ASSERT_TRUE(server.SetCellValue(system, 3, 4, "=B3*2"));
  ASSERT_TRUE(server.SaveBook(book)) << server.LastErrorText();
  std::string after = Bytes(dir / "Rich.xlsx");
  EXPECT_EQ(Differing(before, after), std::set<std::string>{"xl/worksheets/sheet1.xml"});
  std::string sheet = Parts(after)["xl/worksheets/sheet1.xml"];
  for (const char* kept : {"<mergeCell ref=\"A8:C8\"/>", "<dataValidation ",
                           "<hyperlink ref=\"A10\"", "<printOptions ", "<sheetView "})
    EXPECT_NE(sheet.find(kept), std::string::npos) << kept;
  EXPECT_NE(sheet.find("<c r=\"A2\" s=\"0\" t=\"s\"><v>1</v></c>"), std::string::npos)
      << "an unchanged cell keeps its element";
  EXPECT_NE(sheet.find("<c r=\"B5\"><f aca=\"false\">B2+273.15</f><v>1473.15</v></c>"),
            std::string::npos)
      << "a recalculated formula keeps its element and caches its new result";
  EXPECT_NE(sheet.find("<c r=\"D3\"><f>B3*2</f><v>2.0265</v></c>"), std::string::npos);
  EXPECT_EQ(Reread(dir / "Rich.xlsx", 1, 5, 2), "1473.15");
  EXPECT_FALSE(Posted(345, ""));
}

TEST_F(PackageSave, OdsRewritesOnlyChangedCellsOfContent) {
  BookHandle book = OpenCopy("Rich.ods");
  std::string before = Bytes(dir / "Rich.ods");
  ASSERT_TRUE(server.SetCellValue(Sheet(book, 1), 2, 2, "1200"));
  SheetHandle gas = Sheet(book, 2);
  ASSERT_TRUE(server.SetCellValue(gas, 4, 2, "500"));     // the commented compound's amount
  ASSERT_TRUE(server.SetCellValue(gas, 2, 4, "result"));  // a new column
  ASSERT_TRUE(server.SaveBook(book)) << server.LastErrorText();
  std::string after = Bytes(dir / "Rich.ods");
  EXPECT_EQ(Differing(before, after), std::set<std::string>{"content.xml"});
  EXPECT_EQ(after.substr(30, 8), "mimetype");  // still first and stored
  std::string content = Parts(after)["content.xml"], old = Parts(before)["content.xml"];
  for (const char* kept : {"<office:annotation", "<draw:frame", "<table:content-validation ",
                           "<table:named-range ", "<calcext:conditional-format "})
    EXPECT_NE(content.find(kept), std::string::npos) << kept;
  EXPECT_LT(content.size(), old.size() + 400) << "only the changed cells were written";
  EXPECT_EQ(Reread(dir / "Rich.ods", 1, 5, 2), "1473.15");
  EXPECT_EQ(Reread(dir / "Rich.ods", 2, 4, 3), "0.5");
  EXPECT_EQ(Reread(dir / "Rich.ods", 2, 2, 4), "result");
}

TEST_F(PackageSave, ABookSavedWithoutChangesIsTheFileItWas) {
  // (The Formulas books would not do: the reader does not deliver the boolean results the
  // .xlsx caches nor the text results the .ods caches, so those sheets get them written again.)
  for (const char* name : {"Rich.xlsx", "Rich.ods"}) {
    BookHandle book = OpenCopy(name);
    std::string text;
    ASSERT_TRUE(server.CellValue(Sheet(book, 1), 5, 2, text));  // evaluates what it reads
    ASSERT_TRUE(server.SaveBook(book)) << server.LastErrorText();
    EXPECT_EQ(Differing(Bytes(dir / name), Bytes(kData + name)), std::set<std::string>{}) << name;
    EXPECT_TRUE(Bytes(dir / name) == Bytes(kData + name)) << name;
    ASSERT_TRUE(server.CloseBook(book));
  }
}

TEST_F(PackageSave, NewTextsNewSheetsAndRenamesEnterTheWorkbookParts) {
  BookHandle book = OpenCopy("Rich.xlsx");
  SheetHandle recorder = 0;
  ASSERT_TRUE(server.AddSheet(book, "Recorder", 3, recorder));
  ASSERT_TRUE(server.SetCellValue(recorder, 1, 1, "run 1"));
  ASSERT_TRUE(server.SetCellValue(recorder, 1, 2, "=System!B2"));
  ASSERT_TRUE(server.SetCellValue(Sheet(book, 1), 12, 1, "a text the file did not have"));
  ASSERT_TRUE(server.RenameSheet(Sheet(book, 1), "Conditions"));
  ASSERT_TRUE(server.SaveBook(book)) << server.LastErrorText();
  auto parts = Parts(Bytes(dir / "Rich.xlsx"));
  EXPECT_NE(parts["xl/workbook.xml"].find("name=\"Conditions\""), std::string::npos);
  EXPECT_NE(parts["xl/workbook.xml"].find("name=\"Recorder\""), std::string::npos);
  EXPECT_NE(parts["xl/workbook.xml"].find(">Conditions!$B$2</definedName>"), std::string::npos)
      << "the named range follows its sheet's new name";
  EXPECT_NE(parts["[Content_Types].xml"].find("/xl/worksheets/sheet3.xml"), std::string::npos);
  EXPECT_NE(parts["xl/sharedStrings.xml"].find("a text the file did not have"), std::string::npos);
  EXPECT_EQ(parts["xl/charts/chart1.xml"],
            Parts(Bytes(kData + "Rich.xlsx"))["xl/charts/chart1.xml"]);
  EXPECT_EQ(Reread(dir / "Rich.xlsx", 3, 1, 1), "run 1");
  EXPECT_EQ(Reread(dir / "Rich.xlsx", 3, 1, 2), "1000");
  EXPECT_EQ(Reread(dir / "Rich.xlsx", 1, 12, 1), "a text the file did not have");
  EXPECT_EQ(Reread(dir / "Rich.xlsx", 2, 2, 1), "CH4");  // the texts the file had still read
  // A deleted sheet takes its part and relationship along.
  ASSERT_TRUE(server.DeleteSheet(recorder));
  ASSERT_TRUE(server.SaveBook(book)) << server.LastErrorText();
  parts = Parts(Bytes(dir / "Rich.xlsx"));
  EXPECT_EQ(parts["xl/workbook.xml"].find("Recorder"), std::string::npos);
  EXPECT_FALSE(parts.count("xl/worksheets/sheet3.xml"));
}

TEST_F(PackageSave, OdsCellWhoseAttributesTouchIsRewrittenAsWellFormedXml) {
  // The reader takes attributes with no space between them; a rewritten cell dropped its value
  // attributes with the space before them and glued the next one to the element name, and the
  // saved file no longer opened.
  std::string original = Bytes(kData + "Other.ods"), content;
  {
    ZipPackage package;
    std::string error;
    ASSERT_TRUE(package.Open(original, error)) << error;
    ASSERT_TRUE(package.Read("content.xml", content));
  }
  const std::string from = "<table:table-cell office:value-type=\"string\" calcext:value-type";
  const std::size_t at = content.find(from);
  ASSERT_NE(at, std::string::npos);
  content.replace(at, from.size(),
                  "<table:table-cell office:value-type=\"string\"xml:id=\"keep\"calcext:value-type");
  PackageEdits edits;
  edits.put["content.xml"] = content;
  std::string glued, error;
  ASSERT_TRUE(EditPackage(original, edits, glued, error)) << error;
  std::ofstream(dir / "Glued.ods", std::ios::binary) << glued;

  BookHandle book = 0;
  ASSERT_TRUE(server.OpenBook((dir / "Glued.ods").string(), false, book)) << server.LastErrorText();
  SheetHandle data = Sheet(book, 1);
  ASSERT_EQ(Value(data, 3, 2), "from other");
  ASSERT_TRUE(server.SetCellValue(data, 3, 2, "changed"));
  ASSERT_TRUE(server.SaveBook(book)) << server.LastErrorText();
  EXPECT_EQ(Reread(dir / "Glued.ods", 1, 3, 2), "changed");
  const std::string saved = Parts(Bytes(dir / "Glued.ods"))["content.xml"];
  EXPECT_NE(saved.find("<table:table-cell xml:id=\"keep\""), std::string::npos)
      << "the cell keeps the attributes it does not rewrite";
}

TEST_F(PackageSave, OdsSheetsCanBeAddedRenamedAndDeleted) {
  BookHandle book = OpenCopy("Rich.ods");
  SheetHandle recorder = 0;
  ASSERT_TRUE(server.AddSheet(book, "Recorder", 1, recorder));
  ASSERT_TRUE(server.SetCellValue(recorder, 2, 2, "=gas.1!B3*2"));
  ASSERT_TRUE(server.RenameSheet(Sheet(book, 2), "Conditions"));
  ASSERT_TRUE(server.SaveBook(book)) << server.LastErrorText();
  EXPECT_EQ(Reread(dir / "Rich.ods", 1, 2, 2), "4");
  TAplMsgWnd log2;
  EmbeddedServer again(log2);
  BookHandle reopened = 0;
  ASSERT_TRUE(again.OpenBook((dir / "Rich.ods").string(), false, reopened));
  std::string name;
  SheetHandle s = 0;
  ASSERT_TRUE(again.SheetItem(reopened, 2, s));
  ASSERT_TRUE(again.SheetName(s, name));
  EXPECT_EQ(name, "Conditions");
  ASSERT_TRUE(server.DeleteSheet(recorder));
  ASSERT_TRUE(server.SaveBook(book));
  EXPECT_EQ(Parts(Bytes(dir / "Rich.ods"))["content.xml"].find("Recorder"), std::string::npos);
}

TEST_F(PackageSave, InsertedRowsMoveMergesAndRangesOrAreRefused) {
  BookHandle book = OpenCopy("Formulas.xlsx");
  SheetHandle formulas = Sheet(book, 3);
  ASSERT_TRUE(server.InsertRow(formulas, 2));
  ASSERT_TRUE(server.SaveBook(book)) << server.LastErrorText();
  std::string sheet = Parts(Bytes(dir / "Formulas.xlsx"))["xl/worksheets/sheet3.xml"];
  EXPECT_NE(sheet.find("<mergeCell ref=\"D3:E4\"/>"), std::string::npos);
  EXPECT_EQ(Reread(dir / "Formulas.xlsx", 3, 3, 4), "merged");
  // Rich.xlsx: a chart, a comment and an image on gas.1, a named range on System.
  BookHandle rich = OpenCopy("Rich.xlsx");
  EXPECT_FALSE(server.InsertRow(Sheet(rich, 2), 3));
  EXPECT_NE(server.LastErrorText().find("without misplacing"), std::string::npos);
  BookHandle ods = OpenCopy("Rich.ods");
  EXPECT_FALSE(server.InsertRow(Sheet(ods, 1), 3));
  EXPECT_NE(server.LastErrorText().find("without misplacing"), std::string::npos);
}

TEST_F(PackageSave, InsertedRowsMoveNamedRangesAndChartSeries) {
  // Rich.xlsx with its chart drawing the amounts of System instead of gas.1.
  std::string original = Bytes(kData + "Rich.xlsx");
  std::string chart = Parts(original)["xl/charts/chart1.xml"];
  for (std::size_t at = chart.find("&apos;gas.1&apos;!"); at != std::string::npos;
       at = chart.find("&apos;gas.1&apos;!", at))
    chart.replace(at, 18, "System!");
  PackageEdits edits;
  edits.put["xl/charts/chart1.xml"] = chart;
  std::string bytes, error;
  ASSERT_TRUE(EditPackage(original, edits, bytes, error)) << error;
  std::ofstream(dir / "Charted.xlsx", std::ios::binary) << bytes;
  BookHandle book = 0;
  ASSERT_TRUE(server.OpenBook((dir / "Charted.xlsx").string(), false, book));
  SheetHandle system = Sheet(book, 1);
  ASSERT_TRUE(server.InsertRow(system, 2)) << server.LastErrorText();  // above T in B2
  ASSERT_TRUE(server.SaveBook(book)) << server.LastErrorText();
  auto parts = Parts(Bytes(dir / "Charted.xlsx"));
  EXPECT_NE(parts["xl/workbook.xml"].find(">System!$B$3</definedName>"), std::string::npos);
  EXPECT_NE(parts["xl/charts/chart1.xml"].find("<c:f>System!$B$1</c:f>"), std::string::npos);
  EXPECT_NE(parts["xl/charts/chart1.xml"].find("<c:f>System!$A$3:$A$6</c:f>"), std::string::npos);
  EXPECT_NE(parts["xl/charts/chart1.xml"].find("<c:f>System!$B$3:$B$6</c:f>"), std::string::npos);
  EXPECT_EQ(Reread(dir / "Charted.xlsx", 1, 3, 2), "1000");  // T moved with its name
  // A name without a sheet in its reference follows the active sheet: inserts are refused.
  std::string workbook = Parts(original)["xl/workbook.xml"];
  workbook.replace(workbook.find(">System!$B$2<"), 13, ">$B$2<");
  edits.put.clear();
  edits.put["xl/workbook.xml"] = workbook;
  ASSERT_TRUE(EditPackage(original, edits, bytes, error)) << error;
  std::ofstream(dir / "Loose.xlsx", std::ios::binary) << bytes;
  BookHandle loose = 0;
  ASSERT_TRUE(server.OpenBook((dir / "Loose.xlsx").string(), false, loose));
  EXPECT_FALSE(server.InsertRow(Sheet(loose, 1), 3));
  EXPECT_NE(server.LastErrorText().find("named ranges"), std::string::npos);
}

TEST_F(PackageSave, InsertedRowsMoveTheChartAndPictureOfASheetWithoutComments) {
  // Rich.xlsx without the comment on gas.1: its chart (moves and sizes with cells) and its
  // picture (fixed on the sheet) remain.
  std::string original = Bytes(kData + "Rich.xlsx");
  std::string sheet = Parts(original)["xl/worksheets/sheet2.xml"];
  const std::string comment = "<legacyDrawing r:id=\"rId3\"/>";
  ASSERT_NE(sheet.find(comment), std::string::npos);
  sheet.erase(sheet.find(comment), comment.size());
  PackageEdits edits;
  edits.put["xl/worksheets/sheet2.xml"] = sheet;
  std::string bytes, error;
  ASSERT_TRUE(EditPackage(original, edits, bytes, error)) << error;
  const fs::path path = dir / "Pictured.xlsx";
  std::ofstream(path, std::ios::binary) << bytes;
  BookHandle book = 0;
  ASSERT_TRUE(server.OpenBook(path.string(), false, book));
  ASSERT_TRUE(server.InsertRow(Sheet(book, 2), 1)) << server.LastErrorText();  // above all
  ASSERT_TRUE(server.SaveBook(book)) << server.LastErrorText();
  auto parts = Parts(Bytes(path));
  const std::string& drawing = parts["xl/drawings/drawing1.xml"];
  EXPECT_NE(
      drawing.find("<xdr:row>2</xdr:row><xdr:rowOff>17280</xdr:rowOff></xdr:from><xdr:to>"
                   "<xdr:col>7</xdr:col><xdr:colOff>703080</xdr:colOff><xdr:row>17</xdr:row>"),
      std::string::npos)
      << "the chart (moves with its first cell) is one row lower";
  EXPECT_NE(drawing.find("<xdr:row>17</xdr:row><xdr:rowOff>116640</xdr:rowOff>"), std::string::npos)
      << "the picture (fixed on the sheet) stays where it was";
  const std::string& chart = parts["xl/charts/chart1.xml"];
  EXPECT_NE(chart.find("&apos;gas.1&apos;!$B$3:$B$6"), std::string::npos) << "the series moves";
  EXPECT_NE(chart.find("&apos;gas.1&apos;!$B$2<"), std::string::npos) << "and its title";
  EXPECT_EQ(Reread(path, 2, 3, 1), "CH4");
}

TEST_F(PackageSave, UnchangedSharedFormulasKeepTheirFormAndChangedOnesAreWrittenOut) {
  // Rich.xlsx with the kmol column of gas.1 (C2:C5, =B2/1000 ...) as one shared formula.
  std::string original = Bytes(kData + "Rich.xlsx");
  std::string sheet = Parts(original)["xl/worksheets/sheet2.xml"];
  for (int r = 2; r <= 5; ++r) {
    const std::string from = "<f aca=\"false\">B" + std::to_string(r) + "/1000</f>";
    ASSERT_NE(sheet.find(from), std::string::npos) << from;
    sheet.replace(sheet.find(from), from.size(),
                  r == 2 ? "<f t=\"shared\" ref=\"C2:C5\" si=\"0\">B2/1000</f>"
                         : "<f t=\"shared\" si=\"0\"/>");
  }
  PackageEdits edits;
  edits.put["xl/worksheets/sheet2.xml"] = sheet;
  std::string bytes, error;
  ASSERT_TRUE(EditPackage(original, edits, bytes, error)) << error;
  const fs::path path = dir / "Shared.xlsx";
  std::ofstream(path, std::ios::binary) << bytes;
  BookHandle book = 0;
  ASSERT_TRUE(server.OpenBook(path.string(), false, book)) << server.LastErrorText();
  SheetHandle gas = Sheet(book, 2);
  ASSERT_TRUE(server.SetCellValue(gas, 3, 2, "2500"));  // B3: C3's value changes
  ASSERT_TRUE(server.SaveBook(book)) << server.LastErrorText();
  sheet = Parts(Bytes(path))["xl/worksheets/sheet2.xml"];
  EXPECT_NE(sheet.find("<f t=\"shared\" ref=\"C2:C5\" si=\"0\">B2/1000</f>"), std::string::npos);
  EXPECT_NE(CellXml(sheet, "C3").find("><f t=\"shared\" si=\"0\"/><v>2.5</v></c>"),
            std::string::npos)
      << "a follower keeps its form and caches its new result: " << CellXml(sheet, "C3");
  EXPECT_EQ(Reread(path, 2, 3, 3), "2.5");
  // A follower given a formula of its own is written out; the others stay shared.
  ASSERT_TRUE(server.SetCellValue(gas, 4, 3, "=B4*3"));
  ASSERT_TRUE(server.SaveBook(book)) << server.LastErrorText();
  sheet = Parts(Bytes(path))["xl/worksheets/sheet2.xml"];
  EXPECT_NE(CellXml(sheet, "C4").find("><f>B4*3</f>"), std::string::npos) << CellXml(sheet, "C4");
  EXPECT_NE(CellXml(sheet, "C5").find("><f t=\"shared\" si=\"0\"/>"), std::string::npos);
  // A changed first cell takes the group with it: every member is written with its own text.
  ASSERT_TRUE(server.SetCellValue(gas, 2, 3, "=B2/100"));
  ASSERT_TRUE(server.SaveBook(book)) << server.LastErrorText();
  sheet = Parts(Bytes(path))["xl/worksheets/sheet2.xml"];
  EXPECT_EQ(sheet.find("t=\"shared\""), std::string::npos);
  EXPECT_NE(sheet.find("<f>B5/1000</f>"), std::string::npos);
  EXPECT_EQ(Reread(path, 2, 3, 3), "2.5");
  EXPECT_EQ(Reread(path, 2, 2, 3), "0.01");
}

TEST_F(PackageSave, OdsRowsInsertedAboveCellsMoveThem) {
  BookHandle book = OpenCopy("Formulas.ods");
  SheetHandle gas = Sheet(book, 2);
  std::string b2 = Value(gas, 2, 2), b3 = Value(gas, 3, 2);
  ASSERT_TRUE(server.InsertRow(gas, 3));
  ASSERT_TRUE(server.SetCellValue(gas, 3, 1, "N2"));
  ASSERT_TRUE(server.SaveBook(book)) << server.LastErrorText();
  EXPECT_EQ(Reread(dir / "Formulas.ods", 2, 2, 2), b2);
  EXPECT_EQ(Reread(dir / "Formulas.ods", 2, 3, 1), "N2");
  EXPECT_EQ(Reread(dir / "Formulas.ods", 2, 4, 2), b3);
}

TEST(ShiftRangeList, RangesBelowMoveAndRangesAcrossGrow) {
  RowMap rows({2});  // a row inserted above sheet row 3
  EXPECT_EQ(ShiftRangeList("B2 D4:E9 3:5 A:A $C$3", rows), "B2 D5:E10 4:6 A:A $C$4");
  EXPECT_EQ(ShiftRangeList("D2:D3", rows), "D2:D4");
  RowMap twice({2, 2});
  EXPECT_EQ(twice.ToCurrent(2), 4);
  EXPECT_EQ(twice.ToFile(3), -1);
  EXPECT_EQ(twice.ToFile(4), 2);
}

TEST_F(PackageSave, UnknownPartsAndElementsSurviveAndDuplicatePartsAreRefused) {
  std::string original = Bytes(kData + "Rich.xlsx");
  std::string sheet = Parts(original)["xl/worksheets/sheet2.xml"];
  sheet.insert(sheet.find("</sheetData>") + 12,
               "<plx:note xmlns:plx=\"urn:example\">kept</plx:note>");
  PackageEdits edits;
  edits.put["custom/unknown.bin"] = std::string("\x01\x02\x03", 3);
  edits.put["xl/worksheets/sheet2.xml"] = sheet;
  std::string bytes, error;
  ASSERT_TRUE(EditPackage(original, edits, bytes, error)) << error;
  std::ofstream(dir / "Odd.xlsx", std::ios::binary) << bytes;
  BookHandle book = 0;
  ASSERT_TRUE(server.OpenBook((dir / "Odd.xlsx").string(), false, book)) << server.LastErrorText();
  ASSERT_TRUE(server.SetCellValue(Sheet(book, 2), 3, 2, "4"));
  ASSERT_TRUE(server.SaveBook(book)) << server.LastErrorText();
  auto parts = Parts(Bytes(dir / "Odd.xlsx"));
  EXPECT_EQ(parts["custom/unknown.bin"], std::string("\x01\x02\x03", 3));
  EXPECT_NE(parts["xl/worksheets/sheet2.xml"].find("<plx:note xmlns:plx=\"urn:example\">kept"),
            std::string::npos);
  // The same name twice: which of the two a reader takes is undefined.
  std::string twice = original;
  for (std::size_t at = twice.find("xl/comments2.xml"); at != std::string::npos;
       at = twice.find("xl/comments2.xml", at + 1))
    twice.replace(at, 16, "docProps/app.xml");
  ZipPackage package;
  EXPECT_FALSE(package.Open(twice, error));
}

/// Size, compressed size and checksum of a part as the package stores it.
std::tuple<std::uint64_t, std::uint64_t, std::uint32_t> StoredPart(const fs::path& path,
                                                                   const char* name) {
  int err = 0;
  zip_t* za = zip_open(path.c_str(), ZIP_RDONLY, &err);
  if (!za) return {};
  zip_stat_t st;
  std::tuple<std::uint64_t, std::uint64_t, std::uint32_t> out{};
  if (zip_stat(za, name, 0, &st) == 0) out = {st.size, st.comp_size, st.crc};
  zip_discard(za);
  return out;
}

class PackageBadInput : public PackageSave {
 protected:
  /// Rich.xlsx with `edits` applied, written as `name` in the scratch folder.
  fs::path Variant(const std::string& name, const PackageEdits& edits) {
    std::string bytes, error;
    EXPECT_TRUE(EditPackage(Bytes(kData + "Rich.xlsx"), edits, bytes, error)) << error;
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return dir / name;
  }
};

TEST_F(PackageBadInput, APackageHoldingAPartTwiceIsNotWritten) {
  std::string twice = Bytes(kData + "Rich.xlsx");
  for (std::size_t at = twice.find("xl/comments2.xml"); at != std::string::npos;
       at = twice.find("xl/comments2.xml", at + 1))
    twice.replace(at, 16, "docProps/app.xml");
  const fs::path path = dir / "Twice.xlsx";
  std::ofstream(path, std::ios::binary) << twice;
  BookHandle book = 0;
  EXPECT_FALSE(server.OpenBook(path.string(), false, book)) << "refused as it is read";
  EXPECT_NE(server.LastErrorText().find("part name twice"), std::string::npos)
      << server.LastErrorText();
  EXPECT_TRUE(Bytes(path) == twice) << "the file is left as it was";
}

TEST_F(PackageBadInput, ARelationshipToAMissingPartIsCarriedOverAsItWas) {
  std::string rels = Parts(Bytes(kData + "Rich.xlsx"))["xl/worksheets/_rels/sheet2.xml.rels"];
  rels.insert(rels.rfind("</Relationships>"),
              "<Relationship Id=\"rIdGone\" Type=\"http://schemas.openxmlformats.org/"
              "officeDocument/2006/relationships/image\" Target=\"../media/gone.png\"/>");
  PackageEdits edits;
  edits.put["xl/worksheets/_rels/sheet2.xml.rels"] = rels;
  const fs::path path = Variant("Dangling.xlsx", edits);
  const std::string before = Bytes(path);
  BookHandle book = 0;
  ASSERT_TRUE(server.OpenBook(path.string(), false, book)) << server.LastErrorText();
  ASSERT_TRUE(server.SetCellValue(Sheet(book, 2), 3, 2, "4"));
  ASSERT_TRUE(server.SaveBook(book)) << server.LastErrorText();
  EXPECT_EQ(Differing(before, Bytes(path)), std::set<std::string>{"xl/worksheets/sheet2.xml"});
  EXPECT_EQ(Reread(path, 2, 3, 2), "4");
}

TEST_F(PackageBadInput, ASheetWhosePartIsMissingIsRefusedWithoutTouchingTheFile) {
  PackageEdits edits;
  edits.remove.insert("xl/worksheets/sheet2.xml");
  const fs::path path = Variant("NoSheet.xlsx", edits);
  const std::string before = Bytes(path);
  BookHandle book = 0;
  // The reader takes what it finds; the save cannot tell where the sheet's part belongs.
  ASSERT_TRUE(server.OpenBook(path.string(), false, book)) << server.LastErrorText();
  ASSERT_TRUE(server.SetCellValue(Sheet(book, 1), 2, 2, "1200"));
  EXPECT_FALSE(server.SaveBook(book));
  EXPECT_NE(server.LastErrorText().find("names a sheet whose part is missing"), std::string::npos)
      << server.LastErrorText();
  EXPECT_TRUE(Bytes(path) == before);
}

TEST_F(PackageBadInput, A200MegabytePictureIsCarriedOverWithoutBeingUnpacked) {
  // 200 MB of zeros deflate to a few hundred kB: the file stays small, the part does not.
  PackageEdits edits;
  edits.put["xl/media/huge.bin"] = std::string(200u << 20, '\0');
  const fs::path path = Variant("Huge.xlsx", edits);
  edits.put.clear();
  const auto stored = StoredPart(path, "xl/media/huge.bin");
  ASSERT_EQ(std::get<0>(stored), 200u << 20);
  BookHandle book = 0;
  ASSERT_TRUE(server.OpenBook(path.string(), false, book)) << server.LastErrorText();
  ASSERT_TRUE(server.SetCellValue(Sheet(book, 1), 2, 2, "1200"));
  ASSERT_TRUE(server.SaveBook(book)) << server.LastErrorText();
  EXPECT_EQ(StoredPart(path, "xl/media/huge.bin"), stored) << "the part's stored bytes are kept";
  EXPECT_EQ(Reread(path, 1, 5, 2), "1473.15");
}

}  // namespace
}  // namespace ploxen
