// Table operator: copying ranges as text and HTML, pasting, clearing, sorting and grid keys.
#include <gtest/gtest.h>

#include "support/ScriptedDialogs.h"
#include "support/TablOprt.h"

namespace ploxen {
namespace {

/// A grid with one column of given texts under the header "H".
StringGrid Column(const std::vector<std::string>& texts, int cols = 2) {
  StringGrid grid(cols, static_cast<int>(texts.size()) + 1);
  grid.SetCell(0, 0, "H");
  for (size_t i = 0; i < texts.size(); ++i) {
    grid.SetCell(0, static_cast<int>(i) + 1, texts[i]);
    grid.SetCell(1, static_cast<int>(i) + 1, "row" + std::to_string(i + 1));
  }
  return grid;
}

std::vector<std::string> ColumnOf(const StringGrid& grid, int col) {
  std::vector<std::string> out;
  for (int r = 1; r < grid.RowCount(); ++r) out.push_back(grid.Cell(col, r));
  return out;
}

class TableOperator : public ::testing::Test {
 protected:
  ScriptedDialogs dialogs;
  TTablOprtWnd tabl{dialogs};
};

TEST_F(TableOperator, SingleCellCopiesBareText) {
  StringGrid grid(3, 3);
  grid.SetCell(1, 1, "H2O(g)");
  std::string clip;
  tabl.onClipboard = [&](const std::string& text) { clip = text; };
  tabl.CopyRange(grid, 1, 1, 1, 1);
  EXPECT_EQ(clip, "H2O(g)");
}

TEST_F(TableOperator, RangeCopiesTabSeparatedLines) {
  StringGrid grid(3, 3);
  grid.SetCell(0, 0, "a");
  grid.SetCell(1, 0, "b");
  grid.SetCell(0, 1, "c");
  tabl.CopyRange(grid, 0, 0, 1, 1);
  EXPECT_EQ(tabl.Buffer().size(), 2u);
  EXPECT_EQ(tabl.ClipboardText(), "a\tb\nc\t");
}

TEST_F(TableOperator, HtmlCopyMarksEmptyCells) {
  StringGrid grid(2, 2);
  grid.SetCell(0, 0, "T");
  grid.SetCell(1, 0, "1.5");
  grid.SetCell(0, 1, "  ");
  grid.SetCell(1, 1, "x");
  tabl.SetFormat(CopyFormat::kHtml);
  tabl.CopyRange(grid, 0, 0, 1, 1);
  EXPECT_EQ(tabl.ClipboardText(),
            "<table style=\"width: 100%;\" border=\"1\" cellpadding=\"0\" cellspacing=\"0\">\n"
            "  <tr>\n   <td>T</td><td>1.5</td>\n  </tr>\n"
            "  <tr>\n   <td>&nbsp;</td><td>x</td>\n  </tr>\n"
            "</table>\n");
}

TEST_F(TableOperator, CopyOutsideGridIsClipped) {
  StringGrid grid(2, 2);
  grid.SetCell(1, 1, "z");
  tabl.CopyRange(grid, 1, 1, 9, 9);
  EXPECT_EQ(tabl.ClipboardText(), "z");
  tabl.CopyRange(grid, 5, 5, 9, 9);
  EXPECT_TRUE(tabl.Buffer().empty());
}

TEST_F(TableOperator, PasteGrowsRowsAndUsesFirstLineWidth) {
  StringGrid grid(4, 2);
  grid.SetCell(3, 2 - 1, "untouched");
  EXPECT_EQ(tabl.PasteAt(grid, 1, 1, std::string("a\tb\r\nc\td\te\nf\n")), 3);
  EXPECT_EQ(grid.RowCount(), 4);
  EXPECT_EQ(grid.Cell(1, 1), "a");
  EXPECT_EQ(grid.Cell(2, 1), "b");
  EXPECT_EQ(grid.Cell(2, 2), "d");
  EXPECT_EQ(grid.Cell(3, 2), "");  // "e" lies outside the block of the first line
  EXPECT_EQ(grid.Cell(1, 3), "f");
  EXPECT_EQ(grid.Cell(3, 1), "untouched");
  EXPECT_TRUE(dialogs.Requests().empty());
}

TEST_F(TableOperator, PasteWithoutTextAsksNothingElse) {
  StringGrid grid(2, 2);
  grid.SetCell(1, 1, "keep");
  EXPECT_EQ(tabl.PasteAt(grid, 1, 1, std::nullopt), 0);
  ASSERT_EQ(dialogs.Requests().size(), 1u);
  EXPECT_EQ(dialogs.Requests()[0].kind, DialogRequest::kMessage);
  EXPECT_EQ(dialogs.Requests()[0].text, "Unknown format in clipboard");
  EXPECT_EQ(dialogs.Requests()[0].title, "Ploxen");
  EXPECT_EQ(grid.Cell(1, 1), "keep");
}

TEST_F(TableOperator, ClearFromEmptiesLowerRightPart) {
  StringGrid grid(3, 3);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) grid.SetCell(c, r, "v");
  tabl.ClearFrom(grid, 1, 1);
  EXPECT_EQ(grid.Cell(0, 2), "v");
  EXPECT_EQ(grid.Cell(2, 0), "v");
  EXPECT_EQ(grid.Cell(1, 1), "");
  EXPECT_EQ(grid.Cell(2, 2), "");
}

TEST_F(TableOperator, TextSortIgnoresCaseAndIsStable) {
  StringGrid grid = Column({"b", "A", "a"});
  tabl.SortRowsAsText(grid, 0);
  EXPECT_EQ(ColumnOf(grid, 0), (std::vector<std::string>{"A", "a", "b"}));
  EXPECT_EQ(ColumnOf(grid, 1), (std::vector<std::string>{"row2", "row3", "row1"}));
  EXPECT_EQ(grid.Cell(0, 0), "H");
}

TEST_F(TableOperator, TextSortStaysStableBeyond65535Rows) {
  std::vector<std::string> texts(70000, "same");
  texts[0] = "z";
  StringGrid grid = Column(texts);
  tabl.SortRowsAsText(grid, 0);
  EXPECT_EQ(grid.Cell(1, 1), "row2");
  EXPECT_EQ(grid.Cell(1, 65536), "row65537");
  EXPECT_EQ(grid.Cell(1, 70000), "row1");
}

TEST_F(TableOperator, ValueSortDownKeepsFirstFoundTieFirst) {
  StringGrid grid = Column({"2", "5", "5,0", "1"});
  tabl.SortRowsByValueDown(grid, 0);
  EXPECT_EQ(ColumnOf(grid, 0), (std::vector<std::string>{"5", "5,0", "2", "1"}));
  EXPECT_EQ(ColumnOf(grid, 1), (std::vector<std::string>{"row2", "row3", "row1", "row4"}));
}

TEST_F(TableOperator, ValueSortUpSwapsThePositionRow) {
  // Selection sort: taking "1" from row 4 sends "3" from row 1 to row 4.
  StringGrid grid = Column({"3", "2", "2", "1"});
  tabl.SortRowsByValueUp(grid, 0);
  EXPECT_EQ(ColumnOf(grid, 1), (std::vector<std::string>{"row4", "row2", "row3", "row1"}));
}

TEST_F(TableOperator, TextThatIsNoNumberSortsAsZero) {
  StringGrid grid = Column({"abc", "-1", "1e999", "0.5"});
  tabl.SortRowsByValueUp(grid, 0);
  EXPECT_EQ(ColumnOf(grid, 0), (std::vector<std::string>{"-1", "abc", "1e999", "0.5"}));
}

TEST(CellNumbers, CommaOrDotAndBlanks) {
  EXPECT_DOUBLE_EQ(TTablOprtWnd::CellValue(" 3,25 "), 3.25);
  EXPECT_DOUBLE_EQ(TTablOprtWnd::CellValue("12."), 12.0);
  EXPECT_DOUBLE_EQ(TTablOprtWnd::CellValue("+1.5e3"), 1500.0);
  EXPECT_DOUBLE_EQ(TTablOprtWnd::CellValue("1 000"), 1000.0);
  EXPECT_EQ(TTablOprtWnd::CellValue("1,5,5"), 0.0);
  EXPECT_EQ(TTablOprtWnd::CellValue("nan"), 0.0);
  EXPECT_EQ(TTablOprtWnd::CellValue(""), 0.0);
  EXPECT_EQ(TTablOprtWnd::CellValue("-"), 0.0);
}

TEST_F(TableOperator, AltHTogglesFormatAndStatus) {
  StringGrid grid;
  EXPECT_EQ(tabl.FormatStatus(), "");
  EXPECT_TRUE(tabl.GridKeys(grid, kKeyH, {false, false, true}));
  EXPECT_EQ(tabl.Format(), CopyFormat::kHtml);
  EXPECT_EQ(tabl.FormatStatus(), "HT");
  tabl.GridKeys(grid, kKeyH, {false, false, true});
  EXPECT_EQ(tabl.FormatStatus(), "TXT");
  EXPECT_FALSE(tabl.GridKeys(grid, kKeyH, {}));
}

TEST_F(TableOperator, CtrlCCopiesSelection) {
  StringGrid grid(3, 3);
  grid.SetCell(2, 2, "sel");
  grid.selection = {2, 2, 2, 2};
  EXPECT_TRUE(tabl.GridKeys(grid, kKeyC, {false, true, false}));
  EXPECT_EQ(tabl.ClipboardText(), "sel");
}

TEST_F(TableOperator, RowHeightAndColumnWidthStayAboveEight) {
  StringGrid grid;
  grid.defaultRowHeight = 9;
  tabl.GridKeys(grid, kKeyUp, {false, false, true});
  EXPECT_EQ(grid.defaultRowHeight, 9);
  tabl.GridKeys(grid, kKeyDown, {false, false, true});
  EXPECT_EQ(grid.defaultRowHeight, 10);
  grid.col0Width = 10;
  tabl.GridKeys(grid, kKeyLeft, {false, false, true});
  tabl.GridKeys(grid, kKeyLeft, {false, false, true});
  EXPECT_EQ(grid.col0Width, 9);
  tabl.GridKeys(grid, kKeyRight, {false, false, true});
  EXPECT_EQ(grid.col0Width, 10);
}

TEST(ScriptedAnswers, QueuedThenCautious) {
  ScriptedDialogs dialogs;
  dialogs.QueueAnswer(kAnswerYes);
  dialogs.QueueFileName("/tmp/a.eql");
  EXPECT_EQ(dialogs.Question("Save?", "Ploxen", DialogButtons::kYesNo), kAnswerYes);
  EXPECT_EQ(dialogs.Question("Save?", "Ploxen", DialogButtons::kYesNo), kAnswerNo);
  EXPECT_EQ(dialogs.Question("Go?", "Ploxen", DialogButtons::kOkCancel), kAnswerCancel);
  EXPECT_EQ(dialogs.SaveFileName({"Save as", "*.eql", "", "", "eql"}), "/tmp/a.eql");
  EXPECT_EQ(dialogs.OpenFileName({"Open", "", "", "", ""}), "");
  ASSERT_EQ(dialogs.Requests().size(), 5u);
  EXPECT_EQ(dialogs.Requests()[3].kind, DialogRequest::kSaveFile);
  EXPECT_EQ(dialogs.Requests()[3].file.defaultExt, "eql");
}

}  // namespace
}  // namespace ploxen
