// Saving books of the embedded engine: round trips in both formats, the format a book keeps,
// atomic saves that leave the old file intact on failure, and warnings about lost parts.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>

#include "ScratchBooks.h"
#include "support/AplMsg.h"
#include "workbook/EmbeddedServer.h"
#include "workbook/OrcusImport.h"

namespace ploxen {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::kWorkbookData;
const std::string& kData = kWorkbookData;

class SaveTest : public test::ScratchBooks {
 protected:
  /// Files in the scratch folder other than `keep`.
  std::vector<std::string> Leftovers(const std::set<std::string>& keep) const {
    std::vector<std::string> out;
    for (const auto& entry : fs::directory_iterator(dir))
      if (!keep.count(entry.path().filename().string())) out.push_back(entry.path().filename());
    return out;
  }
};

class SaveBothFormats : public SaveTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(SaveBothFormats, SavedFileCachesCurrentValuesAndKeepsLayout) {
  std::string ext = GetParam();
  BookHandle book = OpenCopy("Formulas." + ext);
  SheetHandle system = Sheet(book, 1), formulas = Sheet(book, 3);
  ASSERT_TRUE(server.SetCellValue(system, 2, 2, "2000"));
  ASSERT_TRUE(server.SetCellValue(system, 20, 1, "  two  spaces"));
  std::string target = (dir / ("Saved." + ext)).string();
  ASSERT_TRUE(server.SaveBookAs(book, target)) << server.LastErrorText();

  ImportedBook saved;
  std::string error;
  ASSERT_TRUE(ReadWorkbookFile(target, saved, error)) << error;
  ASSERT_EQ(saved.sheets.size(), 3u);
  const ImportedSheet& f = saved.sheets[2];
  int formulaCells = 0;
  for (const ImportedCell& cell : f.cells) {
    if (cell.kind != ImportedCell::Kind::kFormula || cell.column != 1) continue;
    ++formulaCells;
    std::string now = Value(formulas, cell.row + 1, 2);
    std::string where = "B";
    where += std::to_string(cell.row + 1);
    where += ' ';
    where += cell.formula;
    SCOPED_TRACE(where);
    if (cell.cached == ImportedCell::Cached::kNumber) {
      double v = 0.0;
      auto [p, ec] = std::from_chars(now.data(), now.data() + now.size(), v);
      if (now == "TRUE" || now == "FALSE")
        v = now == "TRUE";  // cached as 1/0
      else
        ASSERT_TRUE(ec == std::errc() && p == now.data() + now.size()) << now;
      EXPECT_NEAR(cell.number, v, 1e-14 * std::max(1.0, std::fabs(v)));
    } else if (cell.cached == ImportedCell::Cached::kString) {
      EXPECT_EQ(cell.text, now);
    }
  }
  EXPECT_GT(formulaCells, 60);
  // The cached result of a changed dependency was written, not the value read from the file.
  const ImportedCell* cross = nullptr;
  for (const ImportedCell& cell : f.cells)
    if (cell.row == 13 && cell.column == 1) cross = &cell;
  ASSERT_NE(cross, nullptr);
  EXPECT_DOUBLE_EQ(cross->number, 5.0);

  // The values cached for the other workbook survive.
  ASSERT_EQ(saved.externalBooks.size(), 1u);
  EXPECT_EQ(saved.externalBooks[0].fileName, "Other." + ext);
  ASSERT_TRUE(saved.externalBooks[0].sheets.count("Data"));
  EXPECT_DOUBLE_EQ(saved.externalBooks[0].sheets.at("Data").at({1, 1}).number, 12.5);
  EXPECT_EQ(saved.externalBooks[0].sheets.at("Data").at({2, 1}).text, "from other");

  // Formats, widths, heights and the merged range survive.
  const ImportedCell *a1 = nullptr, *b2 = nullptr, *b4 = nullptr, *spaced = nullptr;
  for (const ImportedCell& cell : f.cells) {
    if (cell.row == 0 && cell.column == 0) a1 = &cell;
    if (cell.row == 1 && cell.column == 1) b2 = &cell;
    if (cell.row == 3 && cell.column == 1) b4 = &cell;
  }
  for (const ImportedCell& cell : saved.sheets[0].cells)
    if (cell.row == 19 && cell.column == 0) spaced = &cell;
  ASSERT_TRUE(a1 && b2 && b4 && spaced);
  EXPECT_TRUE(saved.formats[a1->style].bold);
  EXPECT_EQ(saved.formats[b2->style].fillColour, 0xFFFF00u);
  EXPECT_EQ(saved.formats[b4->style].numberFormat, "0.00");
  EXPECT_EQ(spaced->text, "  two  spaces");
  ASSERT_TRUE(f.columnWidths.count(0));
  EXPECT_NEAR(f.columnWidths.at(0), 25.5, 1.0);
  ASSERT_TRUE(f.rowHeights.count(3));
  EXPECT_NEAR(f.rowHeights.at(3), 22.7, 0.5);
  ASSERT_EQ(f.merges.size(), 1u);
  EXPECT_EQ(f.merges[0].lastColumn, 4);

  // Reopened, the engine reads the same values.
  TAplMsgWnd log2;
  EmbeddedServer again(log2);
  BookHandle reopened = 0;
  ASSERT_TRUE(again.OpenBook(target, false, reopened)) << again.LastErrorText();
  SheetHandle f2 = 0;
  ASSERT_TRUE(again.SheetItem(reopened, 3, f2));
  for (int row = 2; row <= 72; ++row) {
    std::string a, b;
    ASSERT_TRUE(again.CellValue(f2, row, 2, b));
    a = Value(formulas, row, 2);
    EXPECT_EQ(a, b) << "row " << row;
  }
}

INSTANTIATE_TEST_SUITE_P(Files, SaveBothFormats, ::testing::Values("xlsx", "ods"));

TEST_F(SaveTest, BookKeepsTheFormatItWasReadInAndTheOldFileAsBackup) {
  BookHandle book = OpenCopy("Formulas.ods");
  std::string before = Bytes(dir / "Formulas.ods");
  ASSERT_TRUE(server.SetCellValue(Sheet(book, 1), 2, 2, "3000"));
  ASSERT_TRUE(server.SaveBook(book)) << server.LastErrorText();
  std::string after = Bytes(dir / "Formulas.ods");
  ASSERT_GT(after.size(), 60u);
  EXPECT_EQ(after.substr(30, 8), "mimetype");  // first part, stored uncompressed
  EXPECT_NE(after.find("application/vnd.oasis.opendocument.spreadsheet"), std::string::npos);
  EXPECT_EQ(Bytes(dir / "Formulas.~ods"), before);
  auto rest = Leftovers({"Formulas.ods", "Formulas.~ods"});
  EXPECT_TRUE(rest.empty()) << rest.front();
}

TEST_F(SaveTest, NewBooksSaveAsXlsxUnlessNamedOds) {
  BookHandle plain = 0, ods = 0;
  ASSERT_TRUE(server.AddBook((dir / "New.xlsx").string(), plain));
  ASSERT_TRUE(server.AddBook((dir / "New.ods").string(), ods));
  ASSERT_TRUE(server.SetCellValue(Sheet(plain, 1), 1, 1, "=1+1"));
  ASSERT_TRUE(server.SetCellValue(Sheet(ods, 1), 1, 1, "=2+2"));
  ASSERT_TRUE(server.SaveBook(plain)) << server.LastErrorText();
  ASSERT_TRUE(server.SaveBook(ods)) << server.LastErrorText();
  ImportedBook a, b;
  std::string error;
  ASSERT_TRUE(ReadWorkbookFile((dir / "New.xlsx").string(), a, error));
  ASSERT_TRUE(ReadWorkbookFile((dir / "New.ods").string(), b, error));
  EXPECT_EQ(a.format, BookFormat::kXlsx);
  EXPECT_EQ(b.format, BookFormat::kOds);
  EXPECT_DOUBLE_EQ(a.sheets[0].cells[0].number, 2.0);
  EXPECT_DOUBLE_EQ(b.sheets[0].cells[0].number, 4.0);
  BookHandle unnamed = 0;
  ASSERT_TRUE(server.AddBook("", unnamed));
  EXPECT_FALSE(server.SaveBook(unnamed));  // no file yet: only "save as" can place it
}

TEST_F(SaveTest, FailedSaveLeavesTheOldFileByteIdentical) {
  BookHandle book = OpenCopy("Formulas.xlsx");
  std::string before = Bytes(dir / "Formulas.xlsx");
  // A text longer than a cell of this format can hold makes the writer fail midway.
  ASSERT_TRUE(server.SetCellValue(Sheet(book, 1), 3, 3, std::string(40000, 'x')));
  EXPECT_FALSE(server.SaveBook(book));
  EXPECT_EQ(server.LastError(), ServerError::kFileError);
  EXPECT_EQ(Bytes(dir / "Formulas.xlsx"), before);
  EXPECT_TRUE(Leftovers({"Formulas.xlsx"}).empty());
  // A folder that cannot take files.
  std::ofstream(dir / "plainfile") << "x";
  EXPECT_FALSE(server.SaveBookAs(book, (dir / "plainfile" / "Out.xlsx").string()));
  EXPECT_FALSE(server.SaveBookAs(book, (dir / "plainfile" / "Out.ods").string()));
  std::string name;
  ASSERT_TRUE(server.BookFullName(book, name));
  EXPECT_EQ(name, (dir / "Formulas.xlsx").string());
}

TEST_F(SaveTest, ReadOnlyFolderRefusesTheSaveAndKeepsTheFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  BookHandle book = OpenCopy("Formulas.ods");
  std::string before = Bytes(dir / "Formulas.ods");
  ASSERT_TRUE(server.SetCellValue(Sheet(book, 1), 2, 2, "5"));
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
  bool saved = server.SaveBook(book);
  fs::permissions(dir, fs::perms::owner_all);
  EXPECT_FALSE(saved);
  EXPECT_EQ(Bytes(dir / "Formulas.ods"), before);
}

TEST_F(SaveTest, CommentsSurviveASaveAndOnlyAChangeOfFormatWarnsAboutLostParts) {
  for (std::string ext : {"xlsx", "ods"}) {
    log.Clear();
    BookHandle book = OpenCopy("Annotated." + ext);
    ASSERT_TRUE(server.SetCellValue(Sheet(book, 1), 2, 1, "5"));
    ASSERT_TRUE(server.SaveBook(book)) << server.LastErrorText();
    EXPECT_FALSE(Posted(345)) << ext;
    ImportedBook reread;
    std::string error;
    ASSERT_TRUE(ReadWorkbookFile((dir / ("Annotated." + ext)).string(), reread, error)) << error;
    EXPECT_NE(std::find(reread.unsupportedParts.begin(), reread.unsupportedParts.end(), "comments"),
              reread.unsupportedParts.end())
        << ext;
    // Writing the book in the other format over an existing file cannot keep the comment.
    std::string other = ext == "xlsx" ? "ods" : "xlsx";
    fs::copy_file(kData + "Annotated." + other, dir / ("Converted." + other));
    ASSERT_TRUE(server.SaveBookAs(book, (dir / ("Converted." + other)).string()));
    bool namesComments = false;
    for (const LogEntry& e : log.Entries())
      if (e.number == 345 && e.text.find("comments") != std::string::npos) namesComments = true;
    EXPECT_TRUE(namesComments) << ext;
    ASSERT_TRUE(server.CloseBook(book));
  }
}

TEST_F(SaveTest, SheetNamesFollowTheRulesAndQuotedNamesRoundTrip) {
  BookHandle book = 0;
  ASSERT_TRUE(server.AddBook((dir / "Names.xlsx").string(), book));
  SheetHandle first = Sheet(book, 1), second = 0;
  EXPECT_FALSE(server.RenameSheet(first, "a[b"));
  EXPECT_EQ(server.LastError(), ServerError::kBadName);
  EXPECT_FALSE(server.RenameSheet(first, std::string(32, 'n')));
  EXPECT_FALSE(server.RenameSheet(first, "'edge"));
  EXPECT_TRUE(server.RenameSheet(first, std::string(31, 'n')));
  ASSERT_TRUE(server.AddSheet(book, "it's gas.1", 2, second));
  EXPECT_FALSE(server.AddSheet(book, "IT'S GAS.1", 3, second));
  ASSERT_TRUE(server.SetCellValue(second, 1, 1, "7"));
  ASSERT_TRUE(server.SetCellValue(first, 1, 1, "='it''s gas.1'!A1*3"));
  ASSERT_TRUE(server.SetCellValue(first, 2, 1, "=NOSUCHFUNCTION(1)+"));
  for (std::string ext : {"xlsx", "ods"}) {
    std::string target = (dir / ("Names." + ext)).string();
    ASSERT_TRUE(server.SaveBookAs(book, target)) << server.LastErrorText();
    TAplMsgWnd log2;
    EmbeddedServer again(log2);
    BookHandle reopened = 0;
    SheetHandle s1 = 0;
    std::string text;
    ASSERT_TRUE(again.OpenBook(target, false, reopened)) << again.LastErrorText();
    ASSERT_TRUE(again.SheetItem(reopened, 1, s1));
    ASSERT_TRUE(again.CellValue(s1, 1, 1, text));
    EXPECT_EQ(text, "21") << ext;
    ASSERT_TRUE(again.SheetItem(reopened, 2, s1));
    ASSERT_TRUE(again.SheetName(s1, text));
    EXPECT_EQ(text, "it's gas.1");
  }
  ASSERT_TRUE(server.DeleteSheet(second));
  std::string text;
  ASSERT_TRUE(server.CellValue(first, 1, 1, text));
  EXPECT_EQ(text, "#REF!");
  EXPECT_FALSE(server.DeleteSheet(first));  // the last sheet stays
}

}  // namespace
}  // namespace ploxen
