// The compound dialog: compounds picked from the database reach the phase sheet of the
// workbook and the grid of a system window slot; a missing database opens nothing.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <algorithm>

#include "GuiFixture.h"
#include "app/CalcStartView.h"
#include "process/XlsProcessWorkbook.h"
#include "thermo/CompoundsView.h"

namespace ploxen::test {
namespace {

class CompoundsWindow : public GuiFixture {
 protected:
  /// Runs `inside` once the modal dialog is open; true when it opened at all.
  bool WhileOpen(const std::function<void()>& command, const std::function<void()>& inside) {
    bool opened = false;
    QTimer::singleShot(0, session->compounds, [&] {
      opened = session->compounds->isVisible();
      if (opened) inside();
      if (session->compounds->isVisible()) session->compounds->reject();
    });
    command();
    QApplication::processEvents();
    return opened;
  }
  void SelectElements(std::initializer_list<const char*> symbols) {
    for (const char* e : symbols)
      session->p->calc.elementFlags[session->p->elements.FindSymbol(e)] = 1;
  }
  std::vector<std::string> SheetColumnA(const std::string& sheetName) {
    XlsProcessWorkbook book(session->p->xls);
    std::vector<std::string> column;
    book.ReadColumn(book.FindSheet(sheetName), 1, column, 0, 1);
    return column;
  }
};

TEST_F(CompoundsWindow, APickedCompoundIsInsertedIntoThePhaseSheet) {
  DesktopSession& s = Start();
  s.main->OpenFile(Example("Process"));
  SelectElements({"C", "H", "O", "N"});
  const std::string sheet = s.p->main.Ph[0].caption;
  const std::vector<std::string> before = SheetColumnA(sheet);
  ASSERT_FALSE(before.empty());
  std::string picked;
  const bool opened =
      WhileOpen([&] { s.main->Command("Ph1")->trigger(); },
                [&] {
                  TCompoundsDlgView* v = s.compounds;
                  EXPECT_EQ(v->windowTitle(), "Compounds");
                  EXPECT_EQ(v->System()->model()->rowCount(), static_cast<int>(before.size()) - 2);
                  ASSERT_GT(v->Source()->model()->rowCount(), 0);
                  // Only gases of the selected elements are offered.
                  for (const CompoundRow& row : s.p->compounds.LVSrc) {
                    ASSERT_NE(row.caption.find("(g)"), std::string::npos) << row.caption;
                  }
                  v->Source()->selectRow(0);
                  picked = s.p->compounds.LVSrc.front().caption;
                  EXPECT_FALSE(v->StatusPanel(0)->text().isEmpty());
                  QTest::mouseClick(v->IncludeBtn(), Qt::LeftButton);
                  EXPECT_EQ(s.p->compounds.LVDst.back().caption, picked);
                  QTest::mouseClick(v->ButtonOk(), Qt::LeftButton);
                });
  ASSERT_TRUE(opened);
  const std::vector<std::string> after = SheetColumnA(sheet);
  ASSERT_EQ(after.size(), before.size() + 1);
  EXPECT_EQ(after[after.size() - 2], picked);  // above the "EOT"
  EXPECT_EQ(after.back(), "EOT");
}

TEST_F(CompoundsWindow, CancelLeavesTheSheetAsItWas) {
  DesktopSession& s = Start();
  s.main->OpenFile(Example("Process"));
  SelectElements({"C", "H", "O"});
  const std::string sheet = s.p->main.Ph[0].caption;
  const std::vector<std::string> before = SheetColumnA(sheet);
  EXPECT_TRUE(WhileOpen([&] { s.main->Command("Ph1")->trigger(); },
                        [&] {
                          s.compounds->Source()->selectRow(0);
                          QTest::mouseClick(s.compounds->IncludeBtn(), Qt::LeftButton);
                          QTest::keyClick(s.compounds, Qt::Key_Escape);
                        }));
  EXPECT_EQ(SheetColumnA(sheet), before);
}

TEST_F(CompoundsWindow, TypingAnElementFiltersTheDatabaseList) {
  DesktopSession& s = Start();
  SelectElements({"C", "H", "O", "N"});
  ASSERT_TRUE(WhileOpen(
      [&] { s.compounds->ExecForSlot(s.p->calc, 1); },
      [&] {
        const int all = s.compounds->Source()->model()->rowCount();
        ASSERT_GT(all, 0);
        s.compounds->CbxEl()->lineEdit()->clear();
        EXPECT_EQ(s.compounds->Source()->model()->rowCount(), all);
        QTest::keyClicks(s.compounds->CbxEl()->lineEdit(), "N");
        const int withNitrogen = s.compounds->Source()->model()->rowCount();
        EXPECT_GT(withNitrogen, 0);
        EXPECT_LT(withNitrogen, all);
        for (const CompoundRow& row : s.p->compounds.LVSrc) {
          const int record = row.record;
          const std::string mol(s.p->thermo.Database().Field(record, kFieldMolDefinition));
          EXPECT_NE(TCompoundsDlg::SymbolText(mol).find("N "), std::string::npos) << row.caption;
        }
        s.compounds->CbxEl()->lineEdit()->clear();
        EXPECT_EQ(s.compounds->Source()->model()->rowCount(), all);
      }));
}

TEST_F(CompoundsWindow, OkForASlotWritesItsGridAndKeepsTheAmounts) {
  DesktopSession& s = Start();
  SelectElements({"C", "O"});
  StringGrid& grid = s.p->calc.slots[1].grid;
  grid.SetRowCount(3);
  grid.SetCell(0, 1, "CO2 (g)");
  grid.SetCell(1, 1, "4.5");
  grid.SetCell(0, 2, "CO (g)");
  grid.SetCell(1, 2, "1");
  int written = -1;
  ASSERT_TRUE(WhileOpen([&] { written = s.compounds->ExecForSlot(s.p->calc, 1); },
                        [&] {
                          s.compounds->System()->selectRow(1);
                          QTest::mouseClick(s.compounds->ExcludeBtn(),
                                            Qt::LeftButton);  // CO goes back
                          QTest::mouseClick(s.compounds->ButtonOk(), Qt::LeftButton);
                        }));
  EXPECT_EQ(written, 1);
  ASSERT_EQ(grid.RowCount(), 2);
  EXPECT_EQ(grid.Cell(0, 1), "CO2 (g)");
  EXPECT_EQ(grid.Cell(1, 1), "4.5");
  EXPECT_EQ(s.p->compounds.RememberedNames(1), std::vector<std::string>{"CO2 (g)"});
}

TEST_F(CompoundsWindow, ADatabaseThatFailedToLoadPostsTheMessageAndOpensNothing) {
  DesktopSession& s = Start();
  s.main->OpenFile(Example("Process"));
  SelectElements({"C"});
  s.p->thermo.Database().LoadDatabase((dir / "missing.tdb").string());
  ASSERT_NE(s.p->thermo.Database().DatabaseState(), 1);
  const std::vector<std::string> before = SheetColumnA(s.p->main.Ph[0].caption);
  EXPECT_FALSE(WhileOpen([&] { s.main->Command("Ph1")->trigger(); }, [] {}));
  EXPECT_TRUE(Logged("Database is not defined !"));
  EXPECT_EQ(SheetColumnA(s.p->main.Ph[0].caption), before);
  EXPECT_EQ(s.compounds->ExecForSlot(s.p->calc, 1), 0);
}

}  // namespace
}  // namespace ploxen::test
