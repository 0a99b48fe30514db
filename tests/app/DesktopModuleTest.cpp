// The desktop module is found in the program folder only; a missing or damaged module is
// reported instead of crashing the program entry.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "AppFixture.h"
#include "app/DesktopModule.h"

namespace ploxen::test {
namespace {

using DesktopModule = AppFixture;

TEST_F(DesktopModule, MissingOrDamagedModuleIsReportedWithItsPath) {
  char name[] = "ploxen";
  char* argv[] = {name, nullptr};
  std::string error;
  EXPECT_EQ(RunDesktopModule(dir.string(), 1, argv, {}, error), kDesktopMissing);
  EXPECT_NE(error.find((dir / kDesktopModuleName).string()), std::string::npos) << error;
  EXPECT_NE(error.find("missing"), std::string::npos) << error;

  std::ofstream(dir / kDesktopModuleName) << "not a shared object";
  error.clear();
  EXPECT_EQ(RunDesktopModule(dir.string(), 1, argv, {}, error), kDesktopMissing);
  EXPECT_NE(error.find("cannot be loaded"), std::string::npos) << error;
}

}  // namespace
}  // namespace ploxen::test
