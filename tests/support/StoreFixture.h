// A section store over a message log, with a temporary folder to write settings files into.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "TempFolder.h"
#include "support/AplMsg.h"
#include "support/SectionStore.h"

namespace ploxen::testing {

class StoreTest : public ::testing::Test {
 protected:
  TAplMsgWnd log;
  SectionStore store{log};
  TempFolder dir;

  /// Writes `bytes` to a file of the temporary folder and returns its path.
  std::string Make(const std::string& name, const std::string& bytes) {
    std::string path = dir / name;
    WriteBytes(path, bytes);
    return path;
  }
};

}  // namespace ploxen::testing
