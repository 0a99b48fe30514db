// One contract for every spreadsheet server: the embedded engine and LibreOffice over UNO
// answer the same calls with the same texts, results and refusals.
#include <gtest/gtest.h>

#include "ServerHarness.h"
#include "workbook/XlsObj.h"

namespace ploxen::test {
namespace {

const std::string kData = std::string(PLOXEN_TEST_DATA_DIR) + "/workbook/";

class ServerContract : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    if (GetParam() == "Embedded") {
      server = std::make_shared<EmbeddedServer>(log);
    } else {
      SharedOffice office = FindSharedOffice();
      if (!office.missing.empty()) GTEST_SKIP() << "LibreOffice tests skipped: " << office.missing;
#ifdef PLOXEN_WITH_UNO
      std::string error;
      auto uno = UnoServer::Connect(log, office.pipe, error);
      ASSERT_TRUE(uno) << error;
      uno->SetHeadless(true);
      server = uno;
#endif
    }
    dir = ScratchFolder("contract");
  }
  void TearDown() override {
    if (server)
      for (BookHandle b : opened) server->CloseBook(b);
    if (!dir.empty()) fs::remove_all(dir);
  }

  /// Opens a copy of a fixture workbook; closed again after the test.
  BookHandle Open(const std::string& fixture) {
    fs::copy_file(kData + fixture, dir / fixture, fs::copy_options::overwrite_existing);
    BookHandle book = 0;
    EXPECT_TRUE(server->OpenBook((dir / fixture).string(), false, book)) << server->LastErrorText();
    if (book) opened.push_back(book);
    return book;
  }
  /// A new book with one sheet; `sheet` is that sheet.
  BookHandle New(SheetHandle& sheet, const std::string& name = "") {
    BookHandle book = 0;
    EXPECT_TRUE(server->AddBook(name.empty() ? UniqueName() : name, book)) << server->LastErrorText();
    if (book) opened.push_back(book);
    EXPECT_TRUE(server->SheetItem(book, 1, sheet));
    return book;
  }
  std::string UniqueName() { return "C" + std::to_string(::getpid()) + "_" + std::to_string(++made) + ".xlsx"; }
  std::string Value(SheetHandle sheet, int row, int column) {
    std::string text;
    EXPECT_TRUE(server->CellValue(sheet, row, column, text)) << server->LastErrorText();
    return text;
  }
  std::vector<std::string> SheetNames(BookHandle book) {
    std::vector<std::string> names;
    int count = 0;
    EXPECT_TRUE(server->SheetCount(book, count));
    for (int i = 1; i <= count; ++i) {
      SheetHandle s = 0;
      std::string name;
      EXPECT_TRUE(server->SheetItem(book, i, s) && server->SheetName(s, name));
      names.push_back(name);
    }
    return names;
  }

  TAplMsgWnd log;
  std::shared_ptr<SpreadsheetServer> server;
  std::vector<BookHandle> opened;
  fs::path dir;
  int made = 0;
};

TEST_P(ServerContract, OpensAFileAndListsItsBookAndSheets) {
  BookHandle book = Open("Formulas.xlsx");
  ASSERT_NE(book, 0);
  std::string name, full;
  EXPECT_TRUE(server->BookName(book, name));
  EXPECT_EQ(name, "Formulas.xlsx");
  EXPECT_TRUE(server->BookFullName(book, full));
  EXPECT_EQ(full, (dir / "Formulas.xlsx").string());
  int count = 0;
  ASSERT_TRUE(server->BookCount(count));
  BookHandle last = 0;
  ASSERT_TRUE(server->BookItem(count, last));
  EXPECT_EQ(last, book) << "an opened book is the last of the collection";
  std::vector<std::string> sheets = SheetNames(book);
  ASSERT_GE(sheets.size(), 3u);
  EXPECT_EQ(sheets[0], "System");
  EXPECT_EQ(sheets[1], "gas.1");
}

TEST_P(ServerContract, TextsNumbersAndFormulasKeepTheirMeaning) {
  SheetHandle s = 0;
  New(s);
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"3.5", "3.5"},           {"007", "7"},
      {"'007", "007"},          {"1,5", "1,5"},
      {"2024-01-05", "2024-01-05"}, {"50%", "0.5"},
      {"CO2 (g)", "CO2 (g)"},   {"héllo €", "héllo €"},
      {"-1.25e-7", "-1.25e-07"}, {"EOT", "EOT"}};
  int row = 1;
  for (const auto& [input, expected] : cases) {
    ASSERT_TRUE(server->SetCellValue(s, row, 1, input)) << server->LastErrorText();
    EXPECT_EQ(Value(s, row, 1), expected) << "input " << input;
    ++row;
  }
  ASSERT_TRUE(server->SetCellValue(s, 1, 2, "=A1*2"));
  ASSERT_TRUE(server->SetCellValue(s, 2, 2, "=SUM(A1,A2)+IF(A1>1,1,0)"));
  ASSERT_TRUE(server->SetCellValue(s, 3, 2, "=1/0"));
  ASSERT_TRUE(server->SetCellValue(s, 4, 2, "=A7&\" mol\""));
  EXPECT_EQ(Value(s, 1, 2), "7");
  EXPECT_EQ(Value(s, 2, 2), "11.5");
  EXPECT_EQ(Value(s, 3, 2), "#DIV/0!");
  EXPECT_EQ(Value(s, 4, 2), "CO2 (g) mol");
}

TEST_P(ServerContract, FormulasFollowTheirInputsAcrossSheets) {
  SheetHandle s = 0;
  BookHandle book = New(s);
  SheetHandle gas = 0;
  ASSERT_TRUE(server->AddSheet(book, "gas.1", 2, gas)) << server->LastErrorText();
  ASSERT_TRUE(server->SetCellValue(gas, 2, 2, "2"));
  ASSERT_TRUE(server->SetCellValue(s, 1, 1, "='gas.1'!B2*3"));
  EXPECT_EQ(Value(s, 1, 1), "6");
  ASSERT_TRUE(server->SetCellValue(gas, 2, 2, "5"));
  EXPECT_EQ(Value(s, 1, 1), "15");
}

TEST_P(ServerContract, BlocksAgreeWithSingleCells) {
  SheetHandle s = 0;
  New(s);
  const std::vector<std::string> block = {"a", "1", "=C2*2", "", "2.5", "TRUE"};
  ASSERT_TRUE(server->SetRangeValues(s, CellBlock{2, 2, 2, 3}, block, false));
  std::vector<std::string> read;
  ASSERT_TRUE(server->RangeValues(s, CellBlock{2, 2, 2, 3}, read));
  ASSERT_EQ(read.size(), 6u);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(read[i], Value(s, 2 + i / 3, 2 + i % 3)) << i;
  EXPECT_EQ(read[0], "a");
  EXPECT_EQ(read[2], "2");
  EXPECT_EQ(read[3], "");
  // Filled entries only: the empty ones leave their cells alone.
  ASSERT_TRUE(server->SetRangeValues(s, CellBlock{2, 2, 1, 3}, {"", "9", ""}, true));
  EXPECT_EQ(Value(s, 2, 2), "a");
  EXPECT_EQ(Value(s, 2, 4), "18");
  std::vector<std::string> texts;
  ASSERT_TRUE(server->RangeTexts(s, CellBlock{3, 3, 1, 1}, texts));
  EXPECT_EQ(texts, std::vector<std::string>{"2.5"});
  // Displayed texts of a block mixing texts, empty cells, numbers, a text formula and an
  // error read as each single cell shows it.
  const CellBlock mixed{5, 2, 2, 3};
  ASSERT_TRUE(server->SetRangeValues(s, mixed, {"kg", "", "0.25", "=\"x\"&\"y\"", "=1/0", "7"},
                                     false));
  ASSERT_TRUE(server->RangeTexts(s, mixed, texts));
  ASSERT_EQ(texts.size(), 6u);
  EXPECT_EQ(texts[0], "kg");
  EXPECT_EQ(texts[1], "");
  EXPECT_EQ(texts[2], "0.25");
  EXPECT_EQ(texts[3], "xy");
  EXPECT_FALSE(texts[4].empty()) << "an error shows its code";
  EXPECT_EQ(texts[5], "7");
  for (int i = 0; i < 6; ++i) {
    std::string one;
    ASSERT_TRUE(server->CellText(s, 5 + i / 3, 2 + i % 3, one));
    EXPECT_EQ(one, texts[static_cast<std::size_t>(i)]) << i;
  }
}

TEST_P(ServerContract, SequentialReadsStopAtTheMarkerOrTheFirstEmptyCell) {
  SheetHandle s = 0;
  New(s);
  FixedFactory factory(server);
  TXlsWnd xls(log, factory);
  ASSERT_EQ(xls.Connect(), 1);
  int count = 0;
  ASSERT_TRUE(server->BookCount(count));
  ASSERT_GT(xls.SelectBook(count), 0);
  ASSERT_EQ(xls.WriteColumn(1, {"(g)", "CO", "EOT", "x"}, 1, 1), 4);
  std::vector<std::string> list;
  EXPECT_EQ(xls.ReadColumn(1, 1, list), 3);
  EXPECT_EQ(list, (std::vector<std::string>{"(g)", "CO", "EOT"}));
  xls.StopAtEot = false;
  EXPECT_EQ(xls.ReadColumn(1, 1, list), 4);
  EXPECT_EQ(xls.ReadColumn(1, 1, list, 6), 6) << "an explicit last row delivers empty cells";
  xls.StopAtEot = true;
  ASSERT_EQ(xls.WriteRowFilled(1, {"T", "", "P"}, 2, 1), 3);
  EXPECT_EQ(xls.ReadRow(1, 1, list), 2) << "the skipped entry left C1 empty";
  EXPECT_EQ(list, (std::vector<std::string>{"(g)", "T"}));
  EXPECT_EQ(xls.ReadRow(1, 1, list, 4), 4);
  EXPECT_EQ(list.back(), "P");
  EXPECT_EQ(xls.FindInColumn(1, 1, "co"), 2);
  EXPECT_EQ(xls.ClearColumn(1, 1, 4, 2), 1);
  EXPECT_EQ(xls.ReadColumn(1, 1, list), 1);
}

TEST_P(ServerContract, InsertedRowsMoveCellsAndReferences) {
  SheetHandle s = 0;
  New(s);
  ASSERT_TRUE(server->SetCellValue(s, 1, 1, "4"));
  ASSERT_TRUE(server->SetCellValue(s, 2, 1, "=A1+1"));
  ASSERT_TRUE(server->InsertRow(s, 1));
  EXPECT_EQ(Value(s, 1, 1), "");
  EXPECT_EQ(Value(s, 2, 1), "4");
  EXPECT_EQ(Value(s, 3, 1), "5");
  ASSERT_TRUE(server->SetCellValue(s, 2, 1, "10"));
  EXPECT_EQ(Value(s, 3, 1), "11") << "the moved formula points at the moved cell";
  int row = 0, column = 0;
  ASSERT_TRUE(server->LastCell(s, row, column));
  EXPECT_EQ(row, 3);
  EXPECT_EQ(column, 1);
}

TEST_P(ServerContract, SheetsAreAddedRenamedAndDeletedUnderTheNamingRules) {
  SheetHandle first = 0;
  BookHandle book = New(first);
  SheetHandle gas = 0;
  ASSERT_TRUE(server->AddSheet(book, "gas.1", 1, gas));
  EXPECT_EQ(SheetNames(book).front(), "gas.1");
  SheetHandle refused = 0;
  EXPECT_FALSE(server->AddSheet(book, "GAS.1", 9, refused));
  EXPECT_EQ(server->LastError(), ServerError::kBadName);
  EXPECT_FALSE(server->AddSheet(book, "a/b", 9, refused));
  EXPECT_EQ(server->LastError(), ServerError::kBadName);
  EXPECT_FALSE(server->RenameSheet(gas, std::string(32, 'x')));
  EXPECT_EQ(server->LastError(), ServerError::kBadName);
  ASSERT_TRUE(server->RenameSheet(gas, "gas.2"));
  std::string name;
  ASSERT_TRUE(server->SheetName(gas, name)) << "a handle survives a rename";
  EXPECT_EQ(name, "gas.2");
  ASSERT_TRUE(server->DeleteSheet(gas));
  EXPECT_EQ(SheetNames(book).size(), 1u);
  EXPECT_FALSE(server->DeleteSheet(first)) << "the last sheet stays";
}

TEST_P(ServerContract, SavedBooksReadBackInBothFormats) {
  SheetHandle s = 0;
  BookHandle book = New(s);
  ASSERT_TRUE(server->SetCellValue(s, 1, 1, "T [C]"));
  ASSERT_TRUE(server->SetCellValue(s, 2, 1, "1200.5"));
  ASSERT_TRUE(server->SetCellValue(s, 3, 1, "=A2*2"));
  for (const char* file : {"Saved.xlsx", "Saved.ods"}) {
    const std::string path = (dir / (std::to_string(::getpid()) + file)).string();
    ASSERT_TRUE(server->SaveBookAs(book, path)) << server->LastErrorText();
    std::string full;
    ASSERT_TRUE(server->BookFullName(book, full));
    EXPECT_EQ(full, path);
    // Read by an engine of its own: the file, not the server's memory.
    TAplMsgWnd otherLog;
    EmbeddedServer reader(otherLog);
    BookHandle copy = 0;
    ASSERT_TRUE(reader.OpenBook(path, false, copy)) << reader.LastErrorText();
    SheetHandle sheet = 0;
    ASSERT_TRUE(reader.SheetItem(copy, 1, sheet));
    std::string a1, a3;
    reader.CellValue(sheet, 1, 1, a1);
    reader.CellValue(sheet, 3, 1, a3);
    EXPECT_EQ(a1, "T [C]") << file;
    EXPECT_EQ(a3, "2401") << file;
  }
  ASSERT_TRUE(server->SetCellValue(s, 2, 1, "1"));
  EXPECT_TRUE(server->SaveBook(book)) << server->LastErrorText();
}

TEST_P(ServerContract, RefusalsSayWhy) {
  SheetHandle s = 0;
  BookHandle book = New(s);
  BookHandle none = 0;
  EXPECT_FALSE(server->OpenBook((dir / "Missing.xlsx").string(), false, none));
  EXPECT_EQ(server->LastError(), ServerError::kFileError);
  EXPECT_FALSE(server->LastErrorText().empty());
  EXPECT_FALSE(server->SaveBook(book)) << "a new book has no file yet";
  EXPECT_EQ(server->LastError(), ServerError::kFileError);
  EXPECT_FALSE(server->SaveBookAs(book, (dir / "no" / "such" / "x.xlsx").string()));
  EXPECT_EQ(server->LastError(), ServerError::kFileError);
  EXPECT_FALSE(fs::exists(dir / "no")) << "a missing folder is not made";
  std::string text;
  EXPECT_FALSE(server->CellValue(s, 0, 1, text));
  EXPECT_EQ(server->LastError(), ServerError::kBadAddress);
  EXPECT_FALSE(server->SheetName(987654, text));
  EXPECT_EQ(server->LastError(), ServerError::kNoSheet);
  ASSERT_TRUE(server->CloseBook(book));
  opened.clear();
  EXPECT_FALSE(server->BookName(book, text));
  EXPECT_EQ(server->LastError(), ServerError::kNoBook);
  EXPECT_FALSE(server->CellValue(s, 1, 1, text)) << "the sheets of a closed book are gone";
}

TEST_P(ServerContract, ABookOfTheSameNameFromAnotherFolderIsRefused) {
  BookHandle book = Open("Other.xlsx");
  ASSERT_NE(book, 0);
  fs::create_directories(dir / "second");
  fs::copy_file(kData + "Other.xlsx", dir / "second" / "Other.xlsx");
  BookHandle twin = 0;
  EXPECT_FALSE(server->OpenBook((dir / "second" / "Other.xlsx").string(), false, twin));
  EXPECT_EQ(server->LastError(), ServerError::kRefused);
  std::string full;
  ASSERT_TRUE(server->BookFullName(book, full));
  EXPECT_EQ(full, (dir / "Other.xlsx").string()) << "the open book is untouched";
}

INSTANTIATE_TEST_SUITE_P(Servers, ServerContract, ::testing::Values("Embedded", "LibreOffice"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace ploxen::test
