// Keys of section MainWnd written as the user changes them.
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "app/UserSettings.h"

namespace ploxen::test {
namespace {

using UserSettings = AppFixture;

TEST_F(UserSettings, KeysAreReplacedOrAddedAndOtherSectionsStay) {
  auto p = Start({});
  p->settings.AddRecent("-x: a.xlsx -c: System");
  ASSERT_EQ(p->settings.SaveHistory(), 1);
  EXPECT_EQ(WriteMainWndSetting(p->settings, "MsgFilter", "2"), 1);
  EXPECT_EQ(WriteMainWndSetting(p->settings, "Model", "5"), 1);
  EXPECT_EQ(WriteMainWndSetting(p->settings, "MsgFilter", "0"), 1);
  const std::string text = FileBytes(p->settings.UserSettingsPath());
  EXPECT_NE(text.find("MsgFilter=0"), std::string::npos);
  EXPECT_EQ(text.find("MsgFilter=2"), std::string::npos);
  EXPECT_NE(text.find("[History]"), std::string::npos);
  EXPECT_EQ(ReadMainWndSetting(p->settings, "Model"), "5");
  // A run started afterwards takes the filter from the file.
  auto next = Start({});
  EXPECT_EQ(next->log.Filter(), 0);
}

TEST_F(UserSettings, ANewFileHoldsOnlyTheMainWindowSection) {
  auto p = Start({});
  ASSERT_EQ(p->settings.Load(p->settings.AppSettingsPath()), 1);  // another file in the store
  EXPECT_EQ(WriteMainWndSetting(p->settings, "Geometry", "1,2,300,200"), 1);
  const std::string text = FileBytes(p->settings.UserSettingsPath());
  EXPECT_EQ(text.find("[General]"), std::string::npos);
  EXPECT_NE(text.find("Geometry=1,2,300,200"), std::string::npos);
}

TEST_F(UserSettings, AnUnwritableFileIsReportedAndNothingElseChanges) {
  auto p = Start({});
  // A folder where the file should be: no program, root included, can write it.
  fs::create_directories(p->settings.UserSettingsPath());
  const int result = WriteMainWndSetting(p->settings, "Model", "2");
  EXPECT_EQ(result, -1);
  EXPECT_TRUE(Posted(*p, 241));
}

TEST_F(UserSettings, TheRememberedDatabaseWinsOverTheApplicationSettings) {
  const fs::path copy = dir / "Mine.tdb";
  fs::copy_file(fs::path(PLOXEN_SOURCE_DIR) / "data" / "Ploxen.tdb", copy);
  {
    auto p = Start({});
    ASSERT_EQ(WriteMainWndSetting(p->settings, "Database", copy.string()), 1);
  }
  auto p = Start({});
  EXPECT_EQ(p->thermo.DatabasePath(), copy.string());
  EXPECT_EQ(p->thermo.EditDB(), copy.string());
}

TEST_F(UserSettings, ModelAndExactSolutionReachTheModelsOfTheNextRun) {
  auto p = Start({});
  EXPECT_EQ(p->thermo.Model(), 3);  // no file yet: the defaults
  EXPECT_TRUE(p->kernel.CbxExact);
  ASSERT_EQ(WriteMainWndSetting(p->settings, "Model", "5"), 1);
  ASSERT_EQ(WriteMainWndSetting(p->settings, "ExactSolution", "0"), 1);
  auto chosen = Start({});
  EXPECT_EQ(chosen->thermo.Model(), 5);
  EXPECT_FALSE(chosen->kernel.CbxExact);
  // Values out of range or not numbers keep the defaults.
  for (const auto& [model, exact] : {std::pair{"7", "2"}, std::pair{"-1", "yes"}, std::pair{"", " "}}) {
    ASSERT_EQ(WriteMainWndSetting(chosen->settings, "Model", model), 1);
    ASSERT_EQ(WriteMainWndSetting(chosen->settings, "ExactSolution", exact), 1);
    auto next = Start({});
    EXPECT_EQ(next->thermo.Model(), 3) << model;
    EXPECT_TRUE(next->kernel.CbxExact) << exact;
  }
}

}  // namespace
}  // namespace ploxen::test
