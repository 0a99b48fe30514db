// The "System Matrix" window: what it shows before and after a calculation, and its popup.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>

#include "GuiFixture.h"
#include "app/CalcStartView.h"
#include "chem/PTools.h"
#include "gui/GridTable.h"
#include "linalg/LSolverView.h"

namespace ploxen::test {
namespace {

using SystemMatrix = GuiFixture;

QAction* PopupItem(TLSolverWndView* view, const char* name) {
  return view->Popup()->findChild<QAction*>(name);
}

TEST_F(SystemMatrix, AnOpenWindowFollowsTheCalculationWithTheKernelsCoefficients) {
  DesktopSession& s = Start();
  s.main->OpenFile(Example("Process"));
  ASSERT_TRUE(s.main->Command("MnuLagrang")->isEnabled());
  s.main->Command("MnuLagrang")->trigger();
  ASSERT_TRUE(s.matrix->isVisible());
  EXPECT_EQ(s.matrix->windowTitle(), "System Matrix");
  EXPECT_EQ(s.matrix->SGLge()->model()->rowCount(), 1);  // the empty 2 x 2 grid

  s.main->Command("ButtonCalculate")->trigger();
  ASSERT_TRUE(s.p->calc.calculationOk);
  // Without being opened again, the window shows the run's table.
  QAbstractItemModel* m = s.matrix->SGLge()->model();
  const TEqlKernel& kernel = s.p->kernel;
  const int n = kernel.SystemElementCount();
  ASSERT_GT(n, 1);
  ASSERT_EQ(m->columnCount(), n);
  ASSERT_EQ(m->rowCount(), 1);
  EXPECT_EQ(m->headerData(0, Qt::Vertical).toString(), "Lagrange Coef.");
  for (int j = 1; j <= n; ++j) {
    SCOPED_TRACE(j);
    EXPECT_EQ(m->headerData(j - 1, Qt::Horizontal).toString().toStdString(),
              s.p->elements.ElementSymbol(kernel.SystemElementIndex(j)));
    const double shown = TextToFloat(m->data(m->index(0, j - 1)).toString().toStdString());
    const double lambda = static_cast<double>(kernel.LagrangeCoefficient(j));
    EXPECT_NEAR(shown, lambda, 1e-6 * std::max(1.0, std::fabs(lambda)));
  }
}

TEST_F(SystemMatrix, SelectAllAndCopyPutTheWholeTableOnTheClipboard) {
  DesktopSession& s = Start();
  s.main->OpenFile(Example("Process"));
  s.main->Command("ButtonCalculate")->trigger();
  s.main->Command("MnuLagrang")->trigger();
  QApplication::clipboard()->clear();
  PopupItem(s.matrix, "PopSelectAll")->trigger();
  PopupItem(s.matrix, "PopCopy")->trigger();
  const QStringList lines = QApplication::clipboard()->text().split('\n');
  ASSERT_EQ(lines.size(), 2);
  const QStringList head = lines[0].split('\t');
  const QStringList values = lines[1].split('\t');
  EXPECT_EQ(head[0], "Element");
  EXPECT_EQ(values[0], "Lagrange Coef.");
  EXPECT_EQ(head.size(), s.p->kernel.SystemElementCount() + 1);
  EXPECT_EQ(values.size(), head.size());
  // One selected cell copies its text alone, through Ctrl+C on the grid.
  GridTable* grid = s.matrix->SGLge();
  grid->SelectCell(1, 1);
  QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), values[1]);
  // Alt+H switches the copy to an HTML table, which the clipboard offers as HTML.
  QTest::keyClick(grid, Qt::Key_H, Qt::AltModifier);
  QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
  const QMimeData* data = QApplication::clipboard()->mimeData();
  ASSERT_TRUE(data->hasHtml());
  EXPECT_TRUE(data->html().startsWith("<table"));
  EXPECT_TRUE(data->html().contains("<td>" + values[1] + "</td>"));
}

}  // namespace
}  // namespace ploxen::test
