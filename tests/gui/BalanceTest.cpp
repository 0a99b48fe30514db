// The element balance windows: the table of the system window ("Elementar Balance") and the
// workbook of the main window ("Element Balance"), on a calculated example and on a system
// that was never calculated; the export workbook's save into a folder that cannot be written.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <fstream>

#include "GuiFixture.h"
#include "app/CalcStartView.h"
#include "balance/ElBalanceView.h"
#include "balance/XelBalView.h"
#include "chem/PTools.h"
#include "gui/GridTable.h"
#include "process/SetStFnView.h"

namespace ploxen::test {
namespace {

using Balance = GuiFixture;

/// The number after `label` in a status panel such as "In:1.25[mol]".
double PanelNumber(const QLabel* panel, const QString& label) {
  QString text = panel->text();
  EXPECT_TRUE(text.startsWith(label)) << text.toStdString();
  text = text.mid(label.size());
  return TextToFloat(text.left(text.indexOf('[')).toStdString());
}

class CalculatedBalance : public Balance {
 protected:
  DesktopSession& Calculated() {
    DesktopSession& s = Start();
    s.main->OpenFile(Example("Process"));
    s.main->Command("ButtonCalculate")->trigger();
    EXPECT_TRUE(s.p->calc.calculationOk);
    return s;
  }
};

TEST_F(CalculatedBalance, TheTableShowsEveryElementLeavingAsItCameIn) {
  DesktopSession& s = Calculated();
  s.ShowElementarBalance();
  TElBalanceDlgView* v = s.elBalance;
  ASSERT_TRUE(v->isVisible());
  ASSERT_EQ(v->CBE()->count(), 5);  // C, H, N, O, S of the example
  EXPECT_EQ(v->Pages(0)->tabText(0), "gas.1");
  EXPECT_EQ(v->Pages(1)->tabText(0), "liq.1");
  for (int i = 0; i < v->CBE()->count(); ++i) {
    const QString symbol = v->CBE()->itemText(i);
    SCOPED_TRACE(symbol.toStdString());
    v->CBE()->setCurrentIndex(i);
    QTest::mouseClick(v->ButtonUpdate(), Qt::LeftButton);
    EXPECT_EQ(v->windowTitle(), "Elementar Balance: " + symbol);
    const double in = PanelNumber(v->StatusPanel(0), "In:");
    const double out = PanelNumber(v->StatusPanel(1), "Out:");
    ASSERT_GT(in, 0.0);
    EXPECT_NEAR(out, in, 0.01 * in);
    EXPECT_NEAR(PanelNumber(v->StatusPanel(2), "Dif.:"), in - out, 1e-6 * in);
    // The "Sum" rows the grids show add up to the panels' totals.
    double sumIn = 0.0;
    for (int tag = 1; tag <= 8; ++tag) {
      if (!s.p->elBalance.GridVisible(tag)) continue;
      QAbstractItemModel* m = v->Grid(tag)->model();
      const int last = m->rowCount() - 1;
      ASSERT_EQ(m->headerData(last, Qt::Vertical).toString(), "Sum");
      EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), symbol + " [mol] (in)");
      sumIn += TextToFloat(m->data(m->index(last, 1)).toString().toStdString());
    }
    EXPECT_NEAR(sumIn, in, 1e-6 * in);
  }
}

TEST_F(CalculatedBalance, ACellSelectionHighlightsItsColumnPairInEveryGridAndEscCloses) {
  DesktopSession& s = Calculated();
  s.ShowElementarBalance();
  TElBalanceDlgView* v = s.elBalance;
  v->CBE()->setCurrentIndex(v->CBE()->findText("H"));  // in the gas and the liquid
  QTest::mouseClick(v->ButtonUpdate(), Qt::LeftButton);
  GridTable* gas = v->Grid(1);
  GridTable* liquid = v->Grid(3);
  ASSERT_GE(liquid->model()->rowCount(), 2);
  gas->SelectCell(3, 1);  // "kg (in)": pairs with "kg (out)"
  // Row 1 of the liquid grid is not its selected row (the "Sum" row is): it shows the pair.
  const QColor green(192, 255, 192);
  QAbstractItemModel* m = liquid->model();
  auto background = [m](int row, int gridColumn) {
    return m->data(m->index(row, gridColumn - 1), Qt::BackgroundRole).value<QBrush>().color();
  };
  EXPECT_EQ(background(0, 3), green);
  EXPECT_EQ(background(0, 7), green);
  EXPECT_EQ(background(0, 2), QColor(Qt::white));
  // The gas grid's own selected row stays white.
  QAbstractItemModel* g = gas->model();
  EXPECT_EQ(g->data(g->index(0, 2), Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::white));
  // No liquid compound holds carbon: the table shrinks to its "Sum" row, which is then its
  // selected row and shows no highlight.
  v->CBE()->setCurrentIndex(v->CBE()->findText("C"));
  QTest::mouseClick(v->ButtonUpdate(), Qt::LeftButton);
  ASSERT_EQ(m->rowCount(), 1);
  EXPECT_EQ(background(0, 3), QColor(Qt::white));
  // The popup names the selected column in its data sorts.
  QMenu* popup = v->PreparePopup(1);
  const QString header = gas->model()->headerData(2, Qt::Horizontal).toString();
  EXPECT_TRUE(popup->findChild<QAction*>("PopSortDown")->text() == "Sort downwards :" + header);
  QTest::keyClick(gas, Qt::Key_Escape);
  EXPECT_FALSE(v->isVisible());
  EXPECT_FALSE(s.p->elBalance.open);
}

TEST_F(Balance, ASystemNeverCalculatedHasNoElementToBalance) {
  DesktopSession& s = Start();
  s.ShowElementarBalance();
  TElBalanceDlgView* v = s.elBalance;
  EXPECT_EQ(v->CBE()->count(), 0);
  QTest::mouseClick(v->ButtonUpdate(), Qt::LeftButton);
  EXPECT_TRUE(Posted(199));
  EXPECT_EQ(v->Grid(1)->model()->rowCount(), 1);
  EXPECT_TRUE(v->isVisible());

  // The workbook balance of a book that was opened but never calculated: the same message.
  s.main->OpenFile(Example("Process"));
  s.p->log.Clear();
  s.main->Command("MnuElementBalance1")->trigger();
  TXelBalDlgView* x = s.xelBalance;
  ASSERT_TRUE(x->isVisible());
  EXPECT_EQ(x->CBE()->count(), 0);
  QTest::mouseClick(x->BtnBalance(), Qt::LeftButton);
  EXPECT_TRUE(Posted(199));
  EXPECT_TRUE(x->isVisible());
  EXPECT_EQ(dialogs.Requests().size(), 0u);  // nothing exported, nothing to save
}

TEST_F(CalculatedBalance, TheWorkbookBalanceOfCarbonIsSavedWhereTheUserChooses) {
  DesktopSession& s = Calculated();
  // The balance takes the molar masses from column J: the state functions put them there.
  s.main->Command("BtnStateFunc")->trigger();
  s.stateFunctions->CbxC()->setCurrentIndex(1);  // "J"
  QTest::mouseClick(s.stateFunctions->BtnSet(), Qt::LeftButton);
  s.main->Command("MnuElementBalance1")->trigger();
  TXelBalDlgView* x = s.xelBalance;
  ASSERT_TRUE(x->isVisible());
  EXPECT_EQ(x->windowTitle(), "Element Balance");
  EXPECT_TRUE(x->CbxCompact()->isChecked());
  x->CBE()->setCurrentIndex(x->CBE()->findText("C"));
  const std::string target = (dir / "carbon.xlsx").string();
  dialogs.QueueFileName(target);
  QTest::mouseClick(x->BtnBalance(), Qt::LeftButton);
  EXPECT_FALSE(x->isVisible());
  ASSERT_TRUE(Posted(730));
  ASSERT_TRUE(fs::exists(target));
  EXPECT_EQ(dialogs.Requests().back().file.fileName, "C.System.xlsx");
  // Summary of three phases: "SUM" in row 5, carbon in (D) and out (E) [mol] agree.
  SpreadsheetServer* server = s.p->exportBook.Server();
  SheetHandle sheet = 0;
  ASSERT_TRUE(server->SheetItem(s.p->exportBook.Book(), 1, sheet));
  std::string sum, in, out;
  server->CellValue(sheet, 5, 3, sum);
  server->CellValue(sheet, 5, 4, in);
  server->CellValue(sheet, 5, 5, out);
  EXPECT_EQ(sum, "SUM");
  ASSERT_GT(TextToFloat(in), 0.0);
  EXPECT_NEAR(TextToFloat(out), TextToFloat(in), 0.01 * TextToFloat(in));
  EXPECT_EQ(SavedCell(target, 1, 5, 3), "SUM");
}

TEST_F(CalculatedBalance, AnExportIntoAFolderThatCannotBeWrittenKeepsTheWorkbookOpen) {
  DesktopSession& s = Calculated();
  s.ShowElementarBalance();
  TElBalanceDlgView* v = s.elBalance;
  QTest::mouseClick(v->ButtonUpdate(), Qt::LeftButton);
  // The "folder" is a file: nothing can be written below it.
  const fs::path blocker = dir / "not-a-folder";
  std::ofstream(blocker) << "x";
  dialogs.QueueFileName((blocker / "balance.xlsx").string());
  v->PreparePopup(1)->findChild<QAction*>("PopToExcel")->trigger();
  EXPECT_TRUE(Posted(1054));
  EXPECT_FALSE(fs::exists(blocker / "balance.xlsx"));
  // The export workbook is still there with the grids, and a second save succeeds.
  SpreadsheetServer* server = s.p->exportBook.Server();
  SheetHandle sheet = 0;
  ASSERT_TRUE(server->SheetItem(s.p->exportBook.Book(), 1, sheet));
  std::string name;
  server->SheetName(sheet, name);
  EXPECT_EQ(name, "gas.1");
  const std::string good = (dir / "balance.xlsx").string();
  dialogs.QueueFileName(good);
  EXPECT_EQ(s.p->exportBook.OfferSave(dialogs, "balance.xlsx", dir.string()), 1);
  EXPECT_EQ(SavedCell(good, 1, 1, 1), "Compound");
  // The process workbook and its results are untouched.
  EXPECT_EQ(s.p->xls.BookName(), "Process.xlsx");
  EXPECT_TRUE(s.p->calc.calculationOk);
}

}  // namespace
}  // namespace ploxen::test
