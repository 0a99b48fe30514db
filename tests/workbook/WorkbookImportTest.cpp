// Reading .xlsx and .ods files made by LibreOffice into ImportedBook data, and bad input.
#include <gtest/gtest.h>

#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "workbook/A1Shift.h"
#include "workbook/OrcusImport.h"
#include "workbook/PackageZip.h"

namespace ploxen {
namespace {

const std::string kData = std::string(PLOXEN_TEST_DATA_DIR) + "/workbook/";

const ImportedCell* FindCell(const ImportedSheet& sheet, int row, int column) {
  for (const ImportedCell& c : sheet.cells)
    if (c.row == row && c.column == column) return &c;
  return nullptr;
}

/// Row (0-based) of the Formulas sheet whose label in column A is `label`; -1 when none.
int LabelRow(const ImportedSheet& sheet, const std::string& label) {
  for (const ImportedCell& c : sheet.cells)
    if (c.column == 0 && c.kind == ImportedCell::Kind::kString && c.text == label) return c.row;
  return -1;
}

const ImportedSheet* FindSheet(const ImportedBook& book, const std::string& name) {
  for (const ImportedSheet& s : book.sheets)
    if (s.name == name) return &s;
  return nullptr;
}

class ImportBothFormats : public ::testing::TestWithParam<const char*> {};

TEST_P(ImportBothFormats, ReadsSheetsValuesFormulasAndLayout) {
  ImportedBook book;
  std::string error;
  ASSERT_TRUE(ReadWorkbookFile(kData + "Formulas." + GetParam(), book, error)) << error;
  ASSERT_GE(book.sheets.size(), 3u);
  EXPECT_EQ(book.sheets[0].name, "System");
  EXPECT_EQ(book.sheets[1].name, "gas.1");
  EXPECT_EQ(book.sheets[2].name, "Formulas");
  const ImportedSheet& system = book.sheets[0];
  const ImportedCell* b2 = FindCell(system, 1, 1);
  ASSERT_NE(b2, nullptr);
  EXPECT_EQ(b2->kind, ImportedCell::Kind::kNumber);
  EXPECT_DOUBLE_EQ(b2->number, 1000.0);
  const ImportedCell* b8 = FindCell(system, 7, 1);
  ASSERT_NE(b8, nullptr);
  EXPECT_EQ(b8->kind, ImportedCell::Kind::kString);
  EXPECT_EQ(b8->text.substr(b8->text.size() - 6), "text  ");

  const ImportedSheet& f = book.sheets[2];
  const ImportedCell* cross = FindCell(f, LabelRow(f, "cross sheet"), 1);
  ASSERT_NE(cross, nullptr);
  ASSERT_EQ(cross->kind, ImportedCell::Kind::kFormula);
  EXPECT_NE(cross->formula.find("System"), std::string::npos) << cross->formula;
  EXPECT_EQ(cross->cached, ImportedCell::Cached::kNumber);
  EXPECT_DOUBLE_EQ(cross->number, 2.5);

  // Bold header, yellow fill, "0.00" number format.
  const ImportedCell* a1 = FindCell(f, 0, 0);
  ASSERT_NE(a1, nullptr);
  EXPECT_TRUE(book.formats[a1->style].bold);
  const ImportedCell* fill = FindCell(f, 1, 1);
  ASSERT_NE(fill, nullptr);
  EXPECT_EQ(book.formats[fill->style].fillColour, 0xFFFF00u);
  const ImportedCell* italic = FindCell(f, 2, 1);
  ASSERT_NE(italic, nullptr);
  EXPECT_TRUE(book.formats[italic->style].italic);
  const ImportedCell* fixed = FindCell(f, 3, 1);
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(book.formats[fixed->style].numberFormat, "0.00");

  ASSERT_TRUE(f.columnWidths.count(0));
  EXPECT_NEAR(f.columnWidths.at(0), 26.0, 1.5);  // 50 mm
  ASSERT_TRUE(f.rowHeights.count(3));
  EXPECT_NEAR(f.rowHeights.at(3), 22.7, 0.5);  // 8 mm
  ASSERT_EQ(f.merges.size(), 1u);
  EXPECT_EQ(f.merges[0].firstRow, 1);
  EXPECT_EQ(f.merges[0].firstColumn, 3);
  EXPECT_EQ(f.merges[0].lastRow, 2);
  EXPECT_EQ(f.merges[0].lastColumn, 4);
}

INSTANTIATE_TEST_SUITE_P(Files, ImportBothFormats, ::testing::Values("xlsx", "ods"));

TEST(ImportXlsx, ReadsExternalLinkCaches) {
  ImportedBook book;
  std::string error;
  ASSERT_TRUE(ReadWorkbookFile(kData + "Formulas.xlsx", book, error)) << error;
  ASSERT_EQ(book.externalBooks.size(), 1u);
  const ExternalBook& ext = book.externalBooks[0];
  EXPECT_EQ(ext.fileName, "Other.xlsx");
  ASSERT_TRUE(ext.sheets.count("Data"));
  const auto& data = ext.sheets.at("Data");
  ASSERT_TRUE(data.count({1, 1}));
  EXPECT_TRUE(data.at({1, 1}).isNumber);
  EXPECT_DOUBLE_EQ(data.at({1, 1}).number, 12.5);
  ASSERT_TRUE(data.count({2, 1}));
  EXPECT_EQ(data.at({2, 1}).text, "from other");
  ASSERT_TRUE(ext.sheets.count("gas.1"));
  EXPECT_DOUBLE_EQ(ext.sheets.at("gas.1").at({4, 2}).number, 99.0);
  const ImportedSheet& f = *FindSheet(book, "Formulas");
  const ImportedCell* link = FindCell(f, LabelRow(f, "external number"), 1);
  ASSERT_NE(link, nullptr);
  EXPECT_NE(link->formula.find("[1]"), std::string::npos) << link->formula;
}

/// Writes bytes to a scratch file and returns its path.
std::string Scratch(const std::string& name, const std::string& bytes) {
  auto dir = std::filesystem::temp_directory_path() / "ploxen_import_test";
  std::filesystem::create_directories(dir);
  std::string path = (dir / name).string();
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ImportBadInput, RefusesWithoutCrashing) {
  ImportedBook book;
  std::string error;
  EXPECT_FALSE(ReadWorkbookFile(kData + "no such file.xlsx", book, error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(ReadWorkbookFile(Scratch("text.xlsx", "just some text, not a zip"), book, error));
  EXPECT_FALSE(ReadWorkbookFile(Scratch("empty.xlsx", ""), book, error));
  std::string whole = FileBytes(kData + "Formulas.xlsx");
  for (std::size_t cut : {whole.size() / 2, whole.size() - 10, std::size_t{30}}) {
    error.clear();
    EXPECT_FALSE(ReadWorkbookFile(Scratch("cut.xlsx", whole.substr(0, cut)), book, error)) << cut;
    EXPECT_FALSE(error.empty());
  }
  // A zip holding no workbook part: the external-link part of a real file stands in.
  std::string other = FileBytes(kData + "Other.ods");
  std::string noWorkbook = other;
  for (std::size_t p = noWorkbook.find("content.xml"); p != std::string::npos;
       p = noWorkbook.find("content.xml", p + 1))
    noWorkbook.replace(p, 11, "contenu.xml");
  EXPECT_FALSE(ReadWorkbookFile(Scratch("noworkbook.ods", noWorkbook), book, error));
  EXPECT_NE(error.find("no workbook"), std::string::npos) << error;
  // Corrupted bytes in the middle of the compressed data.
  std::string garbled = whole;
  for (std::size_t i = garbled.size() / 3; i < garbled.size() / 3 + 200; ++i) garbled[i] ^= 0x5A;
  ReadWorkbookFile(Scratch("garbled.xlsx", garbled), book, error);  // must simply not crash
}

TEST(ImportBadInput, CellLimitRefusesHugeSheets) {
  ImportedBook book;
  std::string error;
  ImportLimits limits;
  limits.maxCells = 50;
  EXPECT_FALSE(ReadWorkbookFile(kData + "Formulas.xlsx", book, error, limits));
  EXPECT_NE(error.find("cells"), std::string::npos);
  EXPECT_TRUE(book.sheets.empty());
}

TEST(ImportBadInput, FiftyMegabyteSheetIsRefusedBeforeItIsParsed) {
  // Other.xlsx with its first sheet replaced by 50 MB of rows, stored uncompressed.
  std::string path = Scratch("big.xlsx", FileBytes(kData + "Other.xlsx"));
  int zerr = 0;
  zip_t* za = zip_open(path.c_str(), 0, &zerr);
  ASSERT_NE(za, nullptr);
  std::string sheet =
      "<?xml version=\"1.0\"?><worksheet xmlns=\"http://schemas.openxmlformats.org/"
      "spreadsheetml/2006/main\"><sheetData>";
  std::string row = "<row>";
  for (int c = 0; c < 10; ++c) row += "<c><v>1.5</v></c>";
  row += "</row>";
  sheet.reserve(50'001'000);
  while (sheet.size() < 50'000'000) sheet += row;
  sheet += "</sheetData></worksheet>";
  zip_source_t* src = zip_source_buffer(za, sheet.data(), sheet.size(), 0);
  zip_int64_t index = zip_file_add(za, "xl/worksheets/sheet1.xml", src, ZIP_FL_OVERWRITE);
  ASSERT_GE(index, 0);
  zip_set_file_compression(za, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
  ASSERT_EQ(zip_close(za), 0);
  ImportedBook book;
  std::string error;
  EXPECT_FALSE(ReadWorkbookFile(path, book, error));
  EXPECT_NE(error.find("too large"), std::string::npos) << error;
  EXPECT_TRUE(book.sheets.empty());
  std::filesystem::remove(path);
}

TEST(SharedFormulaShift, MovesRelativePartsOnly) {
  EXPECT_EQ(ShiftRelativeReferences("A1*$B$2+B$3+$C4", 2, 1), "B3*$B$2+C$3+$C6");
  EXPECT_EQ(ShiftRelativeReferences("SUM(A1:A3)/LOG10(B2)", 1, 0), "SUM(A2:A4)/LOG10(B3)");
  EXPECT_EQ(ShiftRelativeReferences("'gas.1'!C5&\"A1\"&Sheet2!A1", 1, 0),
            "'gas.1'!C6&\"A1\"&Sheet2!A2");
  EXPECT_EQ(ShiftRelativeReferences("A1", -1, 0), "#REF!");
  EXPECT_EQ(ShiftRelativeReferences("'[1]gas.1'!C5+AB1!A1", 0, 1), "'[1]gas.1'!D5+AB1!B1");
}

}  // namespace
}  // namespace ploxen

namespace ploxen {
namespace {

/// Other.xlsx with its first sheet replaced by `sheetXml`.
std::string XlsxWithSheet(const std::string& name, const std::string& sheetXml) {
  std::string path = Scratch(name, FileBytes(kData + "Other.xlsx"));
  int zerr = 0;
  zip_t* za = zip_open(path.c_str(), 0, &zerr);
  if (!za) return path;
  zip_source_t* src = zip_source_buffer(za, sheetXml.data(), sheetXml.size(), 0);
  zip_file_add(za, "xl/worksheets/sheet1.xml", src, ZIP_FL_OVERWRITE);
  zip_close(za);
  return path;
}

TEST(ImportBadInput, PartEndingInsideMarkupIsRefused) {
  // The xlsx library reads past the end of such a part; it must never see one.
  const std::string head =
      "<?xml version=\"1.0\"?><worksheet xmlns=\"http://schemas.openxmlformats.org/"
      "spreadsheetml/2006/main\"><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row>";
  for (const std::string tail : {"<row r=\"2\" ht=\"1mp;A</row></sheetData></worksheet>",
                                 "<row r=\"2\"", "<!-- </sheetData></worksheet>",
                                 "<![CDATA[ </sheetData></worksheet>"}) {
    ImportedBook book;
    std::string error;
    EXPECT_FALSE(ReadWorkbookFile(XlsxWithSheet("open-markup.xlsx", head + tail), book, error))
        << tail;
    EXPECT_NE(error.find("damaged (xl/worksheets/sheet1.xml)"), std::string::npos) << error;
  }
  ImportedBook book;
  std::string error;
  EXPECT_TRUE(ReadWorkbookFile(
      XlsxWithSheet("closed-markup.xlsx", head + "<!-- a > b --><row r=\"2\" ht=\"1>2\"/>"
                                               "</sheetData></worksheet>"),
      book, error))
      << error;
}

/// Rich.xlsx with the type of its shared strings' relationship replaced by `type`: a path to it.
std::string RichWithStringsType(const std::string& type) {
  std::string path = Scratch("strings-type.xlsx", FileBytes(kData + "Rich.xlsx"));
  int zerr = 0;
  zip_t* za = zip_open(path.c_str(), 0, &zerr);
  if (!za) return path;
  const char* part = "xl/_rels/workbook.xml.rels";
  zip_stat_t st;
  zip_file_t* f = zip_stat(za, part, 0, &st) == 0 ? zip_fopen(za, part, 0) : nullptr;
  std::string rels(f ? st.size : 0, '\0');
  if (f) {
    EXPECT_EQ(zip_fread(f, rels.data(), st.size), static_cast<zip_int64_t>(st.size));
    zip_fclose(f);
  }
  const std::string known = "2006/relationships/sharedStrings";
  const std::size_t at = rels.find(known);
  EXPECT_NE(at, std::string::npos);
  if (at != std::string::npos) rels.replace(at, known.size(), type);
  zip_source_t* src = zip_source_buffer(za, rels.data(), rels.size(), 0);
  EXPECT_GE(zip_file_add(za, part, src, ZIP_FL_OVERWRITE), 0);
  EXPECT_EQ(zip_close(za), 0);
  return path;
}

TEST(ImportBadInput, DamagedSharedStringsRelationshipIsRefused) {
  // Found by the round-trip fuzzer. orcus read no strings from such a package, so every text
  // imported empty and a save wrote the user's new texts where no reader found them again:
  // with a "<" inside the type, orcus stopped reading the list; with another type, it did not
  // take the part for the shared strings.
  for (const std::string& type :
       {std::string("20</row><roonships/sharedStrings"),
        std::string("20\xdb" "6/relationships/sharedStrings")}) {
    const std::string path = RichWithStringsType(type);
    ImportedBook book;
    std::string error;
    EXPECT_FALSE(ReadWorkbookFile(path, book, error));
    EXPECT_NE(error.find("damaged (xl/_rels/workbook.xml.rels"), std::string::npos) << error;
    std::filesystem::remove(path);
  }
  ImportedBook book;
  std::string error;
  EXPECT_TRUE(ReadWorkbookFile(RichWithStringsType("2006/relationships/sharedStrings"), book, error))
      << error;
}

TEST(ImportBadInput, XmlDeclarationWithAnOpenAttributeValueIsRefused) {
  // orcus stopped the program with an assertion on such a declaration.
  const std::string body =
      "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
      "<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row></sheetData></worksheet>";
  // The sheet the fuzzer found, then two short forms of the same fault.
  for (const std::string& sheet :
       {FileBytes(kData + "OpenDeclarationSheet.xml"),
        "<?xml version=\"1.0\" standalone=\"yes&?>\n" + body, "<?xml version=\"1.0?>" + body}) {
    ImportedBook book;
    std::string error;
    EXPECT_FALSE(ReadWorkbookFile(XlsxWithSheet("declaration.xlsx", sheet), book, error))
        << sheet.substr(0, 60);
    EXPECT_NE(error.find("damaged"), std::string::npos) << error;
  }
  ImportedBook book;
  std::string error;
  EXPECT_TRUE(ReadWorkbookFile(
      XlsxWithSheet("declaration.xlsx", "<?xml version=\"1.0\" standalone='yes'?>" + body), book,
      error))
      << error;
}

TEST(ImportBadInput, WorksheetOfAnotherNamespaceIsRefused) {
  // Read as an empty sheet, it took the cells a user wrote into it on the next save, and no
  // reader found them there again.
  const std::string body =
      "<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row></sheetData></worksheet>";
  const std::string nul(2, '\0');
  for (const std::string& root :
       {"<worksheet xmlns=\"http://sche" + nul + "mas.openxmlformats.org/spreadsheetml/2006/main\">",
        std::string("<worksheet xmlns=\"http://example.org/other\">"), std::string("<worksheet>"),
        std::string("<sheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">")}) {
    ImportedBook book;
    std::string error;
    EXPECT_FALSE(
        ReadWorkbookFile(XlsxWithSheet("namespace.xlsx", "<?xml version=\"1.0\"?>" + root + body),
                         book, error))
        << root;
    EXPECT_NE(error.find("xl/worksheets/sheet1.xml: not a worksheet"), std::string::npos) << error;
  }
  ImportedBook book;
  std::string error;
  ASSERT_TRUE(ReadWorkbookFile(
      XlsxWithSheet("namespace.xlsx",
                    "<?xml version=\"1.0\"?><!-- prefixed --><x:worksheet xmlns:x=\"http://"
                    "schemas.openxmlformats.org/spreadsheetml/2006/main\"><x:sheetData><x:row "
                    "r=\"1\"><x:c r=\"A1\"><x:v>7</x:v></x:c></x:row></x:sheetData></x:worksheet>"),
      book, error))
      << error;
  const ImportedCell* a1 = FindCell(book.sheets[0], 0, 0);
  ASSERT_NE(a1, nullptr);
  EXPECT_DOUBLE_EQ(a1->number, 7.0);
}

TEST(ImportXlsx, SharedFormulaFollowersGetShiftedText) {
  std::string path = XlsxWithSheet(
      "shared.xlsx",
      "<?xml version=\"1.0\"?><worksheet xmlns=\"http://schemas.openxmlformats.org/"
      "spreadsheetml/2006/main\"><sheetData>"
      "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><f t=\"shared\" ref=\"B1:B3\" si=\"0\">"
      "A1*2+$A$1</f><v>3</v></c></row>"
      "<row r=\"2\"><c r=\"A2\"><v>2</v></c><c r=\"B2\"><f t=\"shared\" "
      "si=\"0\"/><v>5</v></c></row>"
      "<row r=\"3\"><c r=\"A3\"><v>3</v></c><c r=\"B3\"><f t=\"shared\" "
      "si=\"0\"/><v>7</v></c></row>"
      "</sheetData></worksheet>");
  ImportedBook book;
  std::string error;
  ASSERT_TRUE(ReadWorkbookFile(path, book, error)) << error;
  const ImportedSheet& sheet = book.sheets[0];
  const ImportedCell* b3 = FindCell(sheet, 2, 1);
  ASSERT_NE(b3, nullptr);
  EXPECT_EQ(b3->formula, "A3*2+$A$1");
  EXPECT_EQ(b3->cached, ImportedCell::Cached::kNumber);
  EXPECT_DOUBLE_EQ(b3->number, 7.0);
  EXPECT_EQ(FindCell(sheet, 1, 1)->formula, "A2*2+$A$1");
}

TEST(ImportXlsx, InlineStringCellsKeepTheirText) {
  // Some writers store text in the cell itself instead of the shared string table.
  std::string path = XlsxWithSheet(
      "inline.xlsx",
      "<?xml version=\"1.0\"?><worksheet xmlns=\"http://schemas.openxmlformats.org/"
      "spreadsheetml/2006/main\"><sheetData>"
      "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>gas</t></is></c>"
      "<c r=\"B1\"><v>2.5</v></c></row>"
      "<row r=\"5\"><c r=\"B5\" t=\"inlineStr\"><is><t xml:space=\"preserve\"> g &amp; l "
      "</t></is></c><c r=\"C5\" t=\"inlineStr\"><is><r><t>H2</t></r><r><rPr><b/></rPr>"
      "<t>O</t></r></is></c><c r=\"D5\" t=\"inlineStr\"><is><t></t></is></c></row>"
      "<row r=\"7\"><c t=\"inlineStr\"><is><t>x</t></is></c><c t=\"inlineStr\"><is>"
      "<t>kanji</t><rPh sb=\"0\" eb=\"1\"><t>kana</t></rPh></is></c></row>"
      "</sheetData></worksheet>");
  ImportedBook book;
  std::string error;
  ASSERT_TRUE(ReadWorkbookFile(path, book, error)) << error;
  const ImportedSheet& sheet = book.sheets[0];
  struct Expected {
    int row, column;
    const char* text;
  };
  for (const Expected& e : {Expected{0, 0, "gas"}, Expected{4, 1, " g & l "}, Expected{4, 2, "H2O"},
                            Expected{4, 3, ""}, Expected{6, 0, "x"}, Expected{6, 1, "kanji"}}) {
    const ImportedCell* cell = FindCell(sheet, e.row, e.column);
    ASSERT_NE(cell, nullptr) << e.text;
    EXPECT_EQ(cell->kind, ImportedCell::Kind::kString) << e.text;
    EXPECT_EQ(cell->text, e.text);
  }
  const ImportedCell* b1 = FindCell(sheet, 0, 1);
  ASSERT_NE(b1, nullptr);
  EXPECT_EQ(b1->kind, ImportedCell::Kind::kNumber);
  EXPECT_DOUBLE_EQ(b1->number, 2.5);
}

TEST(ImportXlsx, NamesSheetContentASaveCannotKeep) {
  std::string path = XlsxWithSheet(
      "validated.xlsx",
      "<?xml version=\"1.0\"?><worksheet xmlns=\"http://schemas.openxmlformats.org/"
      "spreadsheetml/2006/main\"><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"
      "</sheetData><dataValidations count=\"1\"><dataValidation type=\"whole\" sqref=\"A1\">"
      "<formula1>0</formula1></dataValidation></dataValidations></worksheet>");
  ImportedBook book;
  std::string error;
  ASSERT_TRUE(ReadWorkbookFile(path, book, error)) << error;
  EXPECT_NE(
      std::find(book.unsupportedParts.begin(), book.unsupportedParts.end(), "data validation"),
      book.unsupportedParts.end());
  ASSERT_TRUE(ReadWorkbookFile(kData + "Annotated.xlsx", book, error)) << error;
  EXPECT_NE(std::find(book.unsupportedParts.begin(), book.unsupportedParts.end(), "comments"),
            book.unsupportedParts.end());
  ASSERT_TRUE(ReadWorkbookFile(kData + "Formulas.xlsx", book, error)) << error;
  EXPECT_TRUE(book.unsupportedParts.empty());
}

}  // namespace
}  // namespace ploxen

namespace ploxen {
namespace {

/// Other.ods with `from` replaced by `to` in its content.xml.
std::string OdsWithContent(const std::string& name, const std::string& from,
                           const std::string& to) {
  std::string path = Scratch(name, FileBytes(kData + "Other.ods"));
  int zerr = 0;
  zip_t* za = zip_open(path.c_str(), 0, &zerr);
  if (!za) return path;
  std::string content;
  zip_stat_t st;
  if (zip_stat(za, "content.xml", 0, &st) == 0) {
    content.resize(st.size);
    zip_file_t* f = zip_fopen(za, "content.xml", 0);
    zip_fread(f, content.data(), st.size);
    zip_fclose(f);
  }
  const std::size_t at = content.find(from);
  if (at != std::string::npos) content.replace(at, from.size(), to);
  // libzip copies the buffer on close; it must live until then.
  zip_source_t* src = zip_source_buffer(za, content.data(), content.size(), 0);
  zip_file_add(za, "content.xml", src, ZIP_FL_OVERWRITE);
  zip_close(za);
  return path;
}

TEST(ImportBadInput, RowOrColumnPropertiesOfAnotherStyleFamilyAreRefused) {
  // The .ods library stores row and column properties into the data of the style's family
  // without looking at the family: of an unknown family it writes through a null pointer.
  const std::string row = "style:name=\"ro1\" style:family=\"table-row\"";
  const std::string column = "style:name=\"co1\" style:family=\"table-column\"";
  const std::pair<std::string, std::string> cases[] = {
      {row, "style:name=\"ro1\" style:family=\"table-qow\""},
      {row, "style:name=\"ro1\" style:family=\"table-cell\""},
      {row, "style:name=\"ro1\""},
      {column, "style:name=\"co1\" style:family=\"paragraph\""},
      {column, "style:name=\"co1\" style:family=\"table-row\""},
  };
  for (const auto& [from, to] : cases) {
    ImportedBook book;
    std::string error;
    EXPECT_FALSE(ReadWorkbookFile(OdsWithContent("family.ods", from, to), book, error)) << to;
    EXPECT_NE(error.find("damaged (content.xml"), std::string::npos) << error;
  }
  // Other namespace prefixes, and the family given in single quotes, change nothing.
  ImportedBook book;
  std::string error;
  EXPECT_TRUE(ReadWorkbookFile(
      OdsWithContent("family.ods", row, "style:name='ro1' style:family='table-row'"), book, error))
      << error;
  EXPECT_TRUE(ReadWorkbookFile(OdsWithContent("family.ods", "<office:automatic-styles>",
                                              "<office:automatic-styles xmlns:s=\"urn:oasis:names:"
                                              "tc:opendocument:xmlns:style:1.0\"><s:style "
                                              "s:name=\"ro9\" s:family=\"table-row\"><s:table-row-"
                                              "properties s:row-height=\"0.2in\"/></s:style>"),
                               book, error))
      << error;
  EXPECT_FALSE(ReadWorkbookFile(OdsWithContent("family.ods", "<office:automatic-styles>",
                                               "<office:automatic-styles xmlns:s=\"urn:oasis:names:"
                                               "tc:opendocument:xmlns:style:1.0\"><s:style "
                                               "s:name=\"ro9\" s:family=\"text\"><s:table-row-"
                                               "properties s:row-height=\"0.2in\"/></s:style>"),
                                book, error));
}

TEST(ImportOds, ConstantsOfEveryValueTypeKeepTheirValue) {
  // The .ods library reads float, string and date cells only; a typed TRUE, 5 % or 3 € came
  // back as an empty cell.
  const std::string row1 =
      "<table:table-row table:style-name=\"ro1\"><table:table-cell "
      "table:number-columns-repeated=\"2\"/></table:table-row>";
  const std::string cells =
      "<table:table-row table:style-name=\"ro1\">"
      "<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"true\"><text:p>TRUE"
      "</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"false\" "
      "table:number-columns-repeated=\"2\"><text:p>FALSE</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"percentage\" office:value=\"0.05\"><text:p>5%"
      "</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"currency\" office:currency=\"EUR\" "
      "office:value=\"3.25\"><text:p>3.25 EUR</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"time\" office:time-value=\"PT18H30M00S\"><text:p>"
      "18:30</text:p></table:table-cell>"
      "<table:table-cell table:formula=\"of:=1&lt;2\" office:value-type=\"boolean\" "
      "office:boolean-value=\"true\"><text:p>TRUE</text:p></table:table-cell></table:table-row>";
  ImportedBook book;
  std::string error;
  ASSERT_TRUE(ReadWorkbookFile(OdsWithContent("types.ods", row1, cells), book, error)) << error;
  const ImportedSheet& data = *FindSheet(book, "Data");
  auto expect = [&](int column, ImportedCell::Kind kind, double number) {
    const ImportedCell* cell = FindCell(data, 0, column);
    ASSERT_NE(cell, nullptr) << column;
    EXPECT_EQ(cell->kind, kind) << column;
    EXPECT_DOUBLE_EQ(cell->number, number) << column;
  };
  expect(0, ImportedCell::Kind::kBool, 1.0);
  expect(1, ImportedCell::Kind::kBool, 0.0);
  expect(2, ImportedCell::Kind::kBool, 0.0);
  expect(3, ImportedCell::Kind::kNumber, 0.05);
  expect(4, ImportedCell::Kind::kNumber, 3.25);
  expect(5, ImportedCell::Kind::kNumber, 18.5 / 24.0);
  const ImportedCell* formula = FindCell(data, 0, 6);
  ASSERT_NE(formula, nullptr);
  EXPECT_EQ(formula->kind, ImportedCell::Kind::kFormula);
  EXPECT_EQ(formula->cached, ImportedCell::Cached::kBool);
  EXPECT_DOUBLE_EQ(formula->number, 1.0);
  // The cells still count against the limit.
  ImportLimits limits;
  limits.maxCells = 5;
  EXPECT_FALSE(ReadWorkbookFile(OdsWithContent("types.ods", row1, cells), book, error, limits));
  EXPECT_NE(error.find("cells"), std::string::npos) << error;
}

TEST(ImportBadInput, OdsContentWithAMistypedNamespaceIsRefused) {
  // Texts of a mistyped text namespace read as empty cells, and a save wrote the user's texts
  // into that namespace again, where no reader finds them.
  const std::string text = "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"";
  const std::string table = "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\"";
  for (const auto& [from, to] :
       {std::pair{text, std::string("xmlns:text=\"urn:oasis:names:tc\xD9:opendocument:xmlns:text:1.0\"")},
        std::pair{table, std::string("xmlns:tablx=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\"")}}) {
    ImportedBook book;
    std::string error;
    EXPECT_FALSE(ReadWorkbookFile(OdsWithContent("namespace.ods", from, to), book, error)) << to;
    EXPECT_NE(error.find("damaged (content.xml: the office, table, text or style namespace"),
              std::string::npos)
        << error;
  }
}

TEST(ImportBadInput, SheetWithoutAWorksheetRelationshipIsRefused) {
  // orcus read no part for such a sheet and showed it empty; a save then wrote the user's cells
  // into a part no reader took as that sheet.
  const std::string original = FileBytes(kData + "Formulas.xlsx");
  std::string rels;
  {
    ZipPackage package;
    std::string error;
    ASSERT_TRUE(package.Open(original, error)) << error;
    ASSERT_TRUE(package.Read("xl/_rels/workbook.xml.rels", rels));
  }
  const std::string type = "officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet2.xml";
  const std::size_t at = rels.find(type);
  ASSERT_NE(at, std::string::npos) << rels;
  for (const std::string damaged : {"officeDocument92006/relationships/worksheet",
                                    "officeDocument/2006/relationships/workshee"}) {
    std::string changed = rels;
    changed.replace(at, type.find('"'), damaged);
    PackageEdits edits;
    edits.put["xl/_rels/workbook.xml.rels"] = changed;
    std::string bytes, error;
    ASSERT_TRUE(EditPackage(original, edits, bytes, error)) << error;
    ImportedBook book;
    EXPECT_FALSE(ReadWorkbookBytes(bytes, book, error)) << damaged;
    EXPECT_NE(error.find("xl/_rels/workbook.xml.rels"), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace ploxen
