// The "MS Excel Interface" window: lists, "Open", "Read" and its grid view of a sheet.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "GuiFixture.h"
#include "app/CalcStartView.h"
#include "gui/StringGridModel.h"
#include "workbook/XlsObjView.h"

namespace ploxen::test {
namespace {

using Interface = GuiFixture;

TEST_F(Interface, OpenReadAndSelectACell) {
  DesktopSession& s = Start();
  dialogs.QueueFileName(Example("Process"));
  QTest::mouseClick(s.xls->OpenButton(), Qt::LeftButton);
  EXPECT_EQ(s.xls->CbxBook()->currentText(), "Process.xlsx");
  EXPECT_EQ(s.main->CbxXls()->currentText(), "Process.xlsx");  // the main window follows
  s.xls->CbxSheet()->setCurrentIndex(1);
  Q_EMIT s.xls->CbxSheet()->activated(1);
  QTest::mouseClick(s.xls->ReadButton(), Qt::LeftButton);
  QAbstractItemModel* grid = s.xls->Grid()->model();
  ASSERT_GT(grid->rowCount(), 2);
  EXPECT_EQ(grid->headerData(0, Qt::Horizontal).toString(), "A");
  EXPECT_EQ(grid->headerData(0, Qt::Vertical).toString(), "1");
  EXPECT_EQ(grid->data(grid->index(0, 0)).toString(), "(g)");  // A1 of gas.1
  s.xls->Grid()->setCurrentIndex(grid->index(2, 1));
  EXPECT_EQ(s.xls->StatusPanel(0)->text(), "B: 3");
  EXPECT_EQ(s.xls->StatusPanel(1)->text(), "2: 3");
}

TEST_F(Interface, StringGridModelWritesEditsBackOnlyWhenAllowed) {
  StringGrid g(3, 3);
  g.SetCell(1, 0, "head");
  g.SetCell(1, 1, "x");
  StringGridModel model(g);
  EXPECT_EQ(model.rowCount(), 2);
  EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "head");
  EXPECT_FALSE(model.setData(model.index(0, 0), "y"));
  model.SetEditable(true);
  EXPECT_TRUE(model.setData(model.index(0, 0), "y"));
  EXPECT_EQ(g.Cell(1, 1), "y");
  g.Resize(5, 6);
  model.Reload();
  EXPECT_EQ(model.rowCount(), 5);
  EXPECT_EQ(model.columnCount(), 4);
}

}  // namespace
}  // namespace ploxen::test
