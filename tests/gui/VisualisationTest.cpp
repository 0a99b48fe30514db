// The "Visualisation" window offscreen: fields placed from the visual sheet, moved with the
// mouse and the keyboard, data typed back into the sheet, and refreshed after a calculation.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "GuiFixture.h"
#include "app/CalcStartView.h"
#include "visual/PresView.h"
#include "visual/PresViewView.h"

namespace ploxen::test {
namespace {

class Visualisation : public GuiFixture {
 protected:
  /// A session with `Combustion.xlsx` open and a 200 x 120 PNG beside it as its picture.
  TPresViewWndView& OpenWindow() {
    DesktopSession& s = Start();
    QImage picture(200, 120, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    picture.save(QString::fromStdString((dir / "plant.png").string()));
    const std::string path = Example("Combustion");
    s.main->OpenFile(path);
    server = s.p->xls.Server();
    const int sheet = s.p->xls.FindSheet("Visual");
    server->SheetItem(s.p->xls.CurrentBook(), sheet, visual);
    server->SetCellValue(visual, 3, 2, "plant.png");
    server->SetCellValue(visual, 6, 9, "x");  // field 2 takes data input
    s.main->Command("BtnVisual")->trigger();
    return *s.visual;
  }
  std::string Cell(int row, int column) {
    std::string text;
    server->CellValue(visual, row, column, text);
    return text;
  }

  SpreadsheetServer* server = nullptr;
  SheetHandle visual = 0;
};

TEST_F(Visualisation, FieldsArePlacedOverThePicture) {
  TPresViewWndView& w = OpenWindow();
  TPresViewWnd& m = session->p->visual;
  EXPECT_TRUE(m.windowOpen);
  EXPECT_EQ(w.windowTitle(), "Visualisation [Combustion.xlsx]");
  EXPECT_EQ(w.Picture().size(), QSize(200, 120));
  QLineEdit* t = w.Field(1);
  ASSERT_NE(t, nullptr);
  EXPECT_FALSE(t->isHidden());
  EXPECT_EQ(t->geometry(), QRect(m.fields[1].left, m.fields[1].top, m.fields[1].width,
                                 m.fields[1].height));
  EXPECT_TRUE(t->text().startsWith("T [C]: "));
  EXPECT_TRUE(w.Field(3)->isHidden());
  EXPECT_EQ(w.StatusPanel(3)->text().toStdString(), (dir / "plant.png").string());
  // "Image-Copy" puts the picture area, cut to the picture's size, on the clipboard.
  w.Command("Image-Copy")->trigger();
  EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(200, 120));
}

TEST_F(Visualisation, CtrlDragAndKeysMoveAndSizeFields) {
  TPresViewWndView& w = OpenWindow();
  QLineEdit* f = w.Field(1);
  const QPoint start = f->pos();
  QTest::mousePress(f, Qt::LeftButton, Qt::ControlModifier, QPoint(5, 5));
  QMouseEvent move(QEvent::MouseMove, QPointF(35, 25), f->mapToGlobal(QPointF(35, 25)),
                   Qt::NoButton, Qt::LeftButton, Qt::ControlModifier);
  QApplication::sendEvent(f, &move);
  QTest::mouseRelease(f, Qt::LeftButton, Qt::ControlModifier, QPoint(35, 25));
  EXPECT_EQ(f->pos(), start + QPoint(30, 20));
  EXPECT_EQ(w.StatusPanel(0)->text(), "ID: 1");
  EXPECT_EQ(w.StatusPanel(1)->text(),
            QString("X;Y: %1;%2").arg(start.x() + 30).arg(start.y() + 20));
  // A drag without Ctrl leaves the field where it is.
  QTest::mousePress(f, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  QTest::mouseRelease(f, Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
  EXPECT_EQ(f->pos(), start + QPoint(30, 20));
  const QSize size = f->size();
  QTest::keyClick(f, Qt::Key_Right, Qt::ControlModifier);
  QTest::keyClick(f, Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(f->pos(), start + QPoint(31, 19));
  QTest::keyClick(f, Qt::Key_Right, Qt::AltModifier);
  QTest::keyClick(f, Qt::Key_Down, Qt::AltModifier);
  EXPECT_EQ(f->size(), size + QSize(1, 1));
  EXPECT_EQ(w.StatusPanel(2)->text(),
            QString("W;H: %1;%2").arg(size.width() + 1).arg(size.height() + 1));
  for (int i = 0; i < 200; ++i) QTest::keyClick(f, Qt::Key_Left, Qt::ControlModifier);
  EXPECT_EQ(f->x(), 0);
  // Alt+Delete hides the field; "Save Positions" marks it with -1.
  QTest::keyClick(w.Field(2), Qt::Key_Delete, Qt::AltModifier);
  EXPECT_TRUE(w.Field(2)->isHidden());
  w.Command("Save Positions")->trigger();
  EXPECT_EQ(Cell(5, 5), "0");
  EXPECT_EQ(Cell(6, 5), "-1");
}

TEST_F(Visualisation, CtrlEnterWritesTheValueIntoColumnC) {
  TPresViewWndView& w = OpenWindow();
  QLineEdit* p = w.Field(2);
  p->setFocus();
  p->selectAll();
  QTest::keyClicks(p, "P [bar]: = 2");
  QTest::keyClick(p, Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(Cell(6, 3), "2");
  EXPECT_EQ(w.StatusPanel(0)->text(), "2 entered");
  EXPECT_EQ(p->text(), "P [bar]: 2");
  // Field 1 has no "x" in column I.
  QLineEdit* t = w.Field(1);
  QTest::keyClicks(t, "=5");
  QTest::keyClick(t, Qt::Key_Enter, Qt::ControlModifier);
  EXPECT_EQ(w.StatusPanel(0)->text(), " Data input is not permitted!");
  EXPECT_EQ(w.StatusPanel(1)->text(), " Enter [I][5]=\"x\" to enable Data Input");
}

TEST_F(Visualisation, CalculationRefreshesTheOpenWindowAndKeepsMovedFields) {
  TPresViewWndView& w = OpenWindow();
  QLineEdit* t = w.Field(1);
  QTest::keyClick(t, Qt::Key_Down, Qt::ControlModifier);
  const QPoint moved = t->pos();
  const QString before = t->text();
  std::vector<QString> shown;
  auto refresh = session->p->calc.onCalculated;
  session->p->calc.onCalculated = [&] {
    refresh();
    shown.push_back(w.Field(1)->text());
  };
  session->main->ButtonCalculate()->click();
  ASSERT_TRUE(session->p->calc.calculationOk);
  ASSERT_GE(shown.size(), 2u);  // every run of the chain
  EXPECT_NE(shown.back(), before);
  EXPECT_EQ(t->pos(), moved);
  EXPECT_TRUE(session->p->visual.MnuGetPosition);
}

}  // namespace
}  // namespace ploxen::test
