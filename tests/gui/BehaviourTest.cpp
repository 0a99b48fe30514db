// The "Behaviour of System" window: the model choice and the database dialog.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "GuiFixture.h"
#include "app/UserSettings.h"
#include "support/AplMsgView.h"
#include "thermo/TDynOprt.h"
#include "thermo/TDynOprtView.h"

namespace ploxen::test {
namespace {

using Behaviour = GuiFixture;

TEST_F(Behaviour, APureSubstanceModelWarnsAndIsRemembered) {
  DesktopSession& s = Start();
  EXPECT_TRUE(s.behaviour->Item(3)->isChecked());
  QTest::mouseClick(s.behaviour->Item(1), Qt::LeftButton);
  EXPECT_EQ(s.p->thermo.Model(), 1);
  EXPECT_FALSE(Posted(267));
  QTest::mouseClick(s.behaviour->Item(5), Qt::LeftButton);
  EXPECT_EQ(s.p->thermo.Model(), 5);
  EXPECT_TRUE(Logged("Soave-Redlich-Kwong, Vap. Liq. Eql., 1972"));
  EXPECT_TRUE(Posted(269));
  EXPECT_TRUE(s.log->isVisible());
  EXPECT_EQ(ReadMainWndSetting(s.p->settings, "Model"), "5");
}

TEST_F(Behaviour, AChosenDatabaseIsShownAndRemembered) {
  DesktopSession& s = Start();
  const fs::path copy = dir / "Other.tdb";
  fs::copy_file(fs::path(PLOXEN_SOURCE_DIR) / "data" / "Ploxen.tdb", copy);
  dialogs.QueueFileName(copy.string());
  QTest::mouseClick(s.behaviour->ButtonDB(), Qt::LeftButton);
  EXPECT_EQ(s.behaviour->EditDB()->text().toStdString(), copy.string());
  EXPECT_EQ(ReadMainWndSetting(s.p->settings, "Database"), copy.string());
  // A missing file leaves the database in use.
  dialogs.QueueFileName((dir / "missing.tdb").string());
  QTest::mouseClick(s.behaviour->ButtonDB(), Qt::LeftButton);
  EXPECT_TRUE(Posted(189));
  EXPECT_EQ(ReadMainWndSetting(s.p->settings, "Database"), copy.string());
}

}  // namespace
}  // namespace ploxen::test
