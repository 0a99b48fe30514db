// The periodic table window: its buttons drive the element selection of the system.
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "GuiFixture.h"
#include "app/CalcStartView.h"
#include "chem/ElementsView.h"

namespace ploxen::test {
namespace {

using ElementsWindow = GuiFixture;

TEST_F(ElementsWindow, ClickedButtonsBecomeTheSystemsElementsOnlyAfterAccept) {
  DesktopSession& s = Start();
  s.p->log.SetFilter(6);
  s.elements->Open();
  QPushButton* carbon = s.elements->Button(6);
  EXPECT_EQ(carbon->text(), "C");
  EXPECT_EQ(carbon->toolTip().toStdString(), s.p->elements.ElementName(6));
  EXPECT_TRUE(s.elements->Button(106)->isVisibleTo(s.elements));  // "D" after the table
  EXPECT_EQ(s.elements->Button(106)->text(), "D");
  EXPECT_FALSE(s.elements->Button(120)->isVisibleTo(s.elements));
  QTest::mouseClick(carbon, Qt::LeftButton);
  QTest::mouseClick(s.elements->Button(8), Qt::LeftButton);
  EXPECT_TRUE(carbon->isChecked());
  EXPECT_TRUE(s.elements->Label1()->text().startsWith("O "));
  EXPECT_EQ(s.p->calc.elementFlags[6], 0);  // pending until "Accept"
  QTest::mouseClick(s.elements->Accept(), Qt::LeftButton);
  EXPECT_EQ(s.p->calc.elementFlags[6], 1);
  EXPECT_EQ(s.p->calc.elementFlags[8], 1);
  EXPECT_TRUE(Logged("Elements Selection: C, O."));
  QTest::mouseClick(carbon, Qt::LeftButton);
  QTest::mouseClick(s.elements->Accept(), Qt::LeftButton);
  EXPECT_EQ(s.p->calc.elementFlags[6], 0);
  EXPECT_FALSE(carbon->isChecked());
  EXPECT_TRUE(Logged("Elements deselected: C."));
}

TEST_F(ElementsWindow, ReopeningShowsTheCommittedSelectionNotPendingClicks) {
  DesktopSession& s = Start();
  s.p->calc.elementFlags[26] = 1;  // as a calculation leaves it
  s.elements->Open();
  EXPECT_TRUE(s.elements->Button(26)->isChecked());
  QTest::mouseClick(s.elements->Button(1), Qt::LeftButton);
  s.elements->close();
  s.elements->Open();
  EXPECT_FALSE(s.elements->Button(1)->isChecked());
  EXPECT_EQ(s.p->calc.elementFlags[1], 0);
}

TEST_F(ElementsWindow, TheMainWindowsCommandNeedsAWorkbook) {
  DesktopSession& s = Start();
  QAction* command = s.main->Command("MnuElements");
  ASSERT_TRUE(command->isEnabled());
  command->trigger();
  EXPECT_TRUE(Posted(712));
  EXPECT_FALSE(s.elements->isVisible());
  s.main->OpenFile(Example("Process"));
  command->trigger();
  EXPECT_TRUE(s.elements->isVisible());
}

}  // namespace
}  // namespace ploxen::test
