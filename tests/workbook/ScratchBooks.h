// A scratch folder with copies of the workbook fixtures and an embedded engine to open them,
// shared by the tests that save books.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/AplMsg.h"
#include "workbook/EmbeddedServer.h"

namespace ploxen::test {

namespace fs = std::filesystem;
inline const std::string kWorkbookData = std::string(PLOXEN_TEST_DATA_DIR) + "/workbook/";

/// The bytes of a file; empty when it cannot be read.
inline std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

/// A fresh folder per test, removed afterwards, and an engine with its message log.
class ScratchBooks : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string suite = ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name();
    dir = fs::temp_directory_path() / ("ploxen_" + suite + "_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir, ec);
  }

  /// Copies fixture `name` into the scratch folder (as `as` when given) and opens it.
  BookHandle OpenCopy(const std::string& name, const std::string& as = "") {
    fs::path path = dir / (as.empty() ? name : as);
    fs::copy_file(kWorkbookData + name, path, fs::copy_options::overwrite_existing);
    BookHandle book = 0;
    EXPECT_TRUE(server.OpenBook(path.string(), false, book)) << server.LastErrorText();
    return book;
  }
  SheetHandle Sheet(BookHandle book, int index) {
    SheetHandle sheet = 0;
    EXPECT_TRUE(server.SheetItem(book, index, sheet));
    return sheet;
  }
  std::string Value(SheetHandle sheet, int row, int column) {
    std::string text;
    EXPECT_TRUE(server.CellValue(sheet, row, column, text));
    return text;
  }
  /// True when message `number` was posted with `part` in its text.
  bool Posted(int number, const std::string& part = "") const {
    for (const LogEntry& e : log.Entries())
      if (e.number == number && e.text.find(part) != std::string::npos) return true;
    return false;
  }

  TAplMsgWnd log;
  EmbeddedServer server{log};
  fs::path dir;
};

}  // namespace ploxen::test
