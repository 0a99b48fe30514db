// The new-process template: its grids, the command and the written file.
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "app/NewProcess.h"

namespace ploxen::test {
namespace {

TEST(TemplateGrids, ConditionSheetLayout) {
  const StringGrid g = TemplateConditionGrid("0.001", "5000");
  EXPECT_EQ(g.ColCount(), 9);
  EXPECT_EQ(g.RowCount(), 15);
  EXPECT_EQ(g.Cell(0, 0), "eql");
  EXPECT_EQ(g.Cell(1, 1), "300");
  EXPECT_EQ(g.Cell(3, 3), "sol.1");
  EXPECT_EQ(g.Cell(1, 6), "0.001");
  EXPECT_EQ(g.Cell(1, 7), "5000");
  EXPECT_EQ(g.Cell(1, 10), "rec");
  EXPECT_EQ(g.Cell(0, 11), "T [C]");
  EXPECT_EQ(g.Cell(1, 11), "=B2");
  EXPECT_EQ(g.Cell(0, 12), "EOT");
  EXPECT_EQ(g.Cell(0, 14), "");
}

TEST(TemplateGrids, PhaseSheets) {
  const StringGrid gas = TemplatePhaseGrid('g');
  EXPECT_EQ(gas.RowCount(), 12);
  EXPECT_EQ(gas.ColCount(), 10);
  EXPECT_EQ(gas.Cell(0, 0), "(g)");
  EXPECT_EQ(gas.Cell(1, 0), "in [kg]");
  EXPECT_EQ(gas.Cell(5, 0), "f.c.");
  EXPECT_EQ(gas.Cell(0, 10), "SO2");
  EXPECT_EQ(gas.Cell(0, 11), "EOT");
  const StringGrid liq = TemplatePhaseGrid('l');
  EXPECT_EQ(liq.RowCount(), 3);
  EXPECT_EQ(liq.Cell(4, 0), "a");
  EXPECT_EQ(liq.Cell(0, 1), "H2O (l)");
  const StringGrid sol = TemplatePhaseGrid('s');
  EXPECT_EQ(sol.RowCount(), 4);
  EXPECT_EQ(sol.Cell(0, 2), "S");
  const StringGrid vis = TemplateVisualGrid();
  EXPECT_EQ(vis.Cell(2, 4), "='System'!B2");
  EXPECT_EQ(vis.Cell(0, 6), "EOT");
}

using NewProcess = AppFixture;

TEST_F(NewProcess, AnsweringNoCreatesNothing) {
  TPloxen p(0);
  NewProcessContext x{p.log, p.dialogs, p.calc, p.exportBook, p.xls, &p.main};
  p.dialogs.QueueAnswer(kAnswerNo);
  EXPECT_FALSE(CreateNewProcess(x));
  EXPECT_EQ(p.log.Count(), 0);
  EXPECT_EQ(p.exportBook.Server(), nullptr);
  ASSERT_EQ(p.dialogs.Requests().size(), 1u);
  EXPECT_EQ(p.dialogs.Requests()[0].text, "Create new process in MS Excel ?");
  EXPECT_EQ(p.dialogs.Requests()[0].title, "Kestrano");
}

TEST_F(NewProcess, CreatesSixSheetsAndSelectsTheNewBook) {
  TPloxen p(0);
  NewProcessContext x{p.log, p.dialogs, p.calc, p.exportBook, p.xls, &p.main, "0.001"};
  p.dialogs.QueueAnswer(kAnswerYes);
  ASSERT_TRUE(CreateNewProcess(x));
  EXPECT_EQ(p.log.Entries().back().number, 1143);
  ASSERT_EQ(p.main.CbxCond.size(), 6u);
  EXPECT_EQ(p.main.CbxCond[0], "System");
  EXPECT_EQ(p.main.CbxCond[4], "rec");
  EXPECT_EQ(p.main.CbxCondIndex, 0);
  EXPECT_EQ(p.main.CbxXls[p.main.CbxXlsIndex], p.xls.BookName());
  EXPECT_EQ(p.xls.ReadCell(1, 7, 2), "0.001");
  EXPECT_EQ(p.xls.ReadCell(6, 5, 3), "300");  // the visual sheet's formula reads B2
}

TEST_F(NewProcess, WrittenFileIsACalculableProcessWorkbook) {
  const std::string path = (dir / "new.xlsx").string();
  {
    TPloxen p(0);
    NewProcessContext x{p.log, p.dialogs, p.calc, p.exportBook, p.xls, nullptr};
    ASSERT_EQ(WriteNewProcessFile(x, path), 0);
  }
  SavedBook saved(path);
  ASSERT_TRUE(saved.Ok());
  EXPECT_EQ(saved.SheetCount(), 6);
  EXPECT_EQ(saved.Cell("System", 4, 2), "gas.1");
  EXPECT_EQ(saved.Cell("gas.1", 12, 1), "EOT");
  EXPECT_EQ(saved.Cell("Visual", 1, 1), "visual");
  EXPECT_EQ(saved.Cell("Visual", 3, 2), "visual.jpg");
  // The picture that its "I" row names lies beside it, a JPEG.
  EXPECT_EQ(FileBytes((dir / "visual.jpg").string()).substr(0, 3), "\xFF\xD8\xFF");
  // Without amounts the run is refused, B1 says so and the book is kept otherwise.
  auto p = Start({"-x:", path, "-c:", "System"});
  EXPECT_FALSE(p->calc.calculationOk);
  EXPECT_EQ(SavedBook(path).Cell("System", 1, 2), "error");
}

}  // namespace
}  // namespace ploxen::test
