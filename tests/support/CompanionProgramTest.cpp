// Companion programs beside the executable and the filter a file dialog reports.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "support/Platform.h"
#include "support/ScriptedDialogs.h"

namespace ploxen {
namespace {

using testing::TempFolder;
using testing::WriteBytes;

class CompanionProgram : public ::testing::Test {
 protected:
  CompanionProgram() { SetProgramFolder(temp.Path()); }
  ~CompanionProgram() override { SetProgramFolder(saved); }
  void Program(const std::string& name, unsigned mode) {
    WriteBytes(temp / name, "#!/bin/sh\n");
    ::chmod((temp / name).c_str(), mode);
  }

  std::string saved = ProgramFolder();
  TempFolder temp;
};

TEST_F(CompanionProgram, FoundWithOrWithoutItsWindowsExtension) {
  EXPECT_EQ(CompanionProgramPath("Tool.exe"), "");
  Program("Tool", 0755);
  EXPECT_EQ(CompanionProgramPath("Tool.exe"), temp / "Tool");
  Program("Tool.exe", 0755);
  EXPECT_EQ(CompanionProgramPath("Tool.exe"), temp / "Tool.exe");
}

TEST_F(CompanionProgram, FoldersAndFilesThatCannotRunAreNotPrograms) {
  Program("Plain", 0644);
  std::filesystem::create_directory(temp / "Folder");
  EXPECT_EQ(CompanionProgramPath("Plain"), "");
  EXPECT_EQ(CompanionProgramPath("Folder"), "");
  EXPECT_EQ(CompanionProgramPath("Missing"), "");
}

TEST(ScriptedDialogs, ReportsTheFilterOfTheLastFileDialog) {
  ScriptedDialogs dialogs;
  dialogs.QueueFileName("/a", 2);
  EXPECT_EQ(dialogs.SaveFileName({}), "/a");
  EXPECT_EQ(dialogs.SelectedFilter(), 2);
  EXPECT_EQ(dialogs.SaveFileName({}), "");  // cancelled: back to the first filter
  EXPECT_EQ(dialogs.SelectedFilter(), 1);
}

}  // namespace
}  // namespace ploxen
