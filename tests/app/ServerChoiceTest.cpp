// Which spreadsheet application the settings files choose.
#include <gtest/gtest.h>

#include <fstream>

#include "AppFixture.h"
#include "app/CalcStart.h"

namespace ploxen::test {
namespace {

class ServerChoice : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    fs::create_directories(dir / "program");
    settings.SetProgramFolder((dir / "program").string());
    settings.SetDocumentsFolder((dir / "docs").string());
  }
  static void Write(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path) << text;
  }
  TAplMsgWnd log;
  TAplStgsWnd settings{log};
};

TEST_F(ServerChoice, NoSettingsKeepTheEmbeddedEngine) {
  EXPECT_EQ(SelectedProgId(settings), "");
}

TEST_F(ServerChoice, LaterFilesWinOverEarlierOnes) {
  Write(settings.AppSettingsPath(), "[EXCEL]\nOleObject=Excel.Application\n");
  EXPECT_EQ(SelectedProgId(settings), "Excel.Application");
  Write(settings.ProgramOptionsPath(), "[EXCEL]\nOleObject=com.sun.star.ServiceManager\n");
  EXPECT_EQ(SelectedProgId(settings), "com.sun.star.ServiceManager") << "the .ini wins";
  Write(settings.UserSettingsPath(), "[History]\n[MainWnd]\nT=300\nOleObject=LibreOffice\n");
  EXPECT_EQ(SelectedProgId(settings), "LibreOffice") << "the user's choice wins";
  Write(settings.UserSettingsPath(), "[MainWnd]\nOleObject=\n");
  EXPECT_EQ(SelectedProgId(settings), "com.sun.star.ServiceManager") << "an empty key chooses nothing";
}

TEST_F(ServerChoice, AnUnknownApplicationCannotBeStarted) {
  TAplMsgWnd runLog;
  ServerSelector servers(runLog);
  EXPECT_EQ(servers.Start("Quattro.Application"), nullptr);
  EXPECT_NE(servers.Start("excel.application"), nullptr);
  if (!ServerSelector::HasLibreOffice()) {
    EXPECT_EQ(servers.Attach("LibreOffice"), nullptr);
    EXPECT_FALSE(runLog.Entries().empty()) << "the missing server is reported";
  }
}

}  // namespace
}  // namespace ploxen::test
