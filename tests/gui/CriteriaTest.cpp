// The criteria window shows the kernel's controls and writes edits back.
#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>

#include "GuiFixture.h"
#include "app/UserSettings.h"
#include "kernel/EqKernel.h"
#include "kernel/EqKernelView.h"

namespace ploxen::test {
namespace {

using Criteria = GuiFixture;

TEST_F(Criteria, TheLimitDrivesTheAutomaticFactor) {
  DesktopSession& s = Start();
  TEqlKernelView& v = *s.criteria;
  EXPECT_EQ(v.EditILimit()->text(), "98000");
  EXPECT_EQ(v.EditApprFactor()->text(), "0.98");
  EXPECT_FALSE(v.EditApprFactor()->isEnabled());
  v.EditILimit()->clear();
  QTest::keyClicks(v.EditILimit(), "10000");
  EXPECT_EQ(s.p->kernel.EditILimit, "10000");
  EXPECT_EQ(v.EditApprFactor()->text(), "0.55");
  v.CbxFast()->setChecked(true);
  EXPECT_TRUE(s.p->kernel.CbxFast);
  EXPECT_EQ(v.EditApprFactor()->text(), "0.5");
  v.CbxFast()->setChecked(false);
  EXPECT_EQ(v.EditApprFactor()->text(), "0.55");
  v.CBAutoIfa()->setChecked(false);
  EXPECT_TRUE(v.EditApprFactor()->isEnabled());
}

TEST_F(Criteria, AnInvalidZeroLimitIsResetWhenTheEditIsLeft) {
  DesktopSession& s = Start();
  TEqlKernelView& v = *s.criteria;
  v.EdtZero()->clear();
  QTest::keyClicks(v.EdtZero(), "2");
  EXPECT_EQ(s.p->kernel.EdtZero, "2");
  Q_EMIT v.EdtZero()->editingFinished();
  EXPECT_EQ(v.EdtZero()->text(), "1e-23");
  v.EditPhaseCheck()->setValue(3);
  EXPECT_EQ(s.p->kernel.EditPhaseCheck, 3);
  v.CBMaxEntropy()->setChecked(false);
  v.CBAutoCorr()->setChecked(true);
  EXPECT_FALSE(s.p->kernel.CBMaxEntropy);
  EXPECT_TRUE(s.p->kernel.CBAutoCorr);
}

TEST_F(Criteria, ExactSolutionIsCheckedAndRememberedForBatchRuns) {
  DesktopSession& s = Start();
  auto* exact = s.criteria->findChild<QCheckBox*>("CbxExact");
  ASSERT_NE(exact, nullptr);
  EXPECT_EQ(exact->text(), "Exact Solution");
  EXPECT_TRUE(exact->isChecked());
  exact->setChecked(false);
  EXPECT_FALSE(s.p->kernel.CbxExact);
  EXPECT_EQ(ReadMainWndSetting(s.p->settings, "ExactSolution"), "0");
}

}  // namespace
}  // namespace ploxen::test
