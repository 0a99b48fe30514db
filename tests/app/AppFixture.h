// Fixture of the shell tests: a scratch folder with copies of the example workbooks, the
// program's modules, and a reader that opens saved workbooks independently of the run.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "app/Ploxen.h"
#include "chem/PTools.h"
#include "workbook/EmbeddedServer.h"

namespace ploxen::test {

namespace fs = std::filesystem;

/// Opens a saved workbook with an engine of its own and reads cells as text.
class SavedBook {
 public:
  explicit SavedBook(const std::string& path) : server_(log_) {
    ok_ = server_.OpenBook(path, false, book_);
  }
  bool Ok() const { return ok_; }
  std::string Cell(const std::string& sheet, int row, int column) {
    int count = 0;
    server_.SheetCount(book_, count);
    for (int i = 1; i <= count; ++i) {
      SheetHandle h = 0;
      std::string name;
      if (server_.SheetItem(book_, i, h) && server_.SheetName(h, name) && name == sheet) {
        std::string text;
        server_.CellValue(h, row, column, text);
        return text;
      }
    }
    return "<no sheet " + sheet + ">";
  }
  double Number(const std::string& sheet, int row, int column) {
    return TextToFloat(Cell(sheet, row, column));
  }
  /// Every used cell as "sheet!row,column=text".
  std::vector<std::string> AllCells() {
    std::vector<std::string> cells;
    int count = 0;
    server_.SheetCount(book_, count);
    for (int i = 1; i <= count; ++i) {
      SheetHandle h = 0;
      std::string name;
      int rows = 0, columns = 0;
      server_.SheetItem(book_, i, h);
      server_.SheetName(h, name);
      server_.LastCell(h, rows, columns);
      for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= columns; ++c) {
          std::string text;
          server_.CellValue(h, r, c, text);
          if (!text.empty()) {
            cells.push_back(name + "!" + std::to_string(r) + "," + std::to_string(c) + "=" + text);
          }
        }
      }
    }
    return cells;
  }
  int SheetCount() {
    int count = 0;
    server_.SheetCount(book_, count);
    return count;
  }

 private:
  TAplMsgWnd log_;
  EmbeddedServer server_;
  BookHandle book_ = 0;
  bool ok_ = false;
};

class AppFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fs::temp_directory_path() /
          ("ploxen_app_" + std::to_string(::getpid()) + "_" + info->name());
    fs::remove_all(dir);
    fs::create_directories(dir / "docs");
  }
  void TearDown() override { fs::remove_all(dir); }

  /// Copies examples/<name>.xlsx into the scratch folder; its path.
  std::string Example(const std::string& name) {
    const fs::path target = dir / (name + ".xlsx");
    fs::copy_file(fs::path(PLOXEN_SOURCE_DIR) / "examples" / (name + ".xlsx"), target,
                  fs::copy_options::overwrite_existing);
    return target.string();
  }

  /// A program instance started with `args` as its command line.
  std::unique_ptr<TPloxen> Start(const std::vector<std::string>& args) {
    auto p = std::make_unique<TPloxen>(static_cast<int>(args.size()));
    p->settings.SetDocumentsFolder((dir / "docs").string());
    p->log.SetFilter(6);
    p->log.SetNewestLast(true);
    p->main.onStatusLine = [this](const std::string& text) { statusLines.push_back(text); };
    p->main.StartApplication(args);
    return p;
  }

  static std::vector<std::string> Args(const std::string& line) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < line.size()) {
      const size_t j = line.find(' ', i);
      const std::string part = line.substr(i, j == std::string::npos ? j : j - i);
      if (!part.empty()) out.push_back(part);
      if (j == std::string::npos) break;
      i = j + 1;
    }
    return out;
  }

  static std::string TextOf(const TPloxen& p, int number) {
    for (const LogEntry& e : p.log.Entries()) {
      if (e.number == number) return e.text;
    }
    return "<not posted>";
  }
  static bool Posted(const TPloxen& p, int number) { return TextOf(p, number) != "<not posted>"; }

  static std::string FileBytes(const std::string& path) {
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
      char buffer[4096];
      size_t n = 0;
      while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
      std::fclose(f);
    }
    return bytes;
  }

  fs::path dir;
  std::vector<std::string> statusLines;
  struct Edit {
    std::string sheet;
    int row, column;
    std::string text;
  };
  /// Changes cells of a saved workbook with an engine of its own.
  static void EditBook(const std::string& path, const std::vector<Edit>& edits,
                       const std::string& renameFrom = "", const std::string& renameTo = "") {
    TAplMsgWnd log;
    EmbeddedServer server(log);
    BookHandle book = 0;
    ASSERT_TRUE(server.OpenBook(path, false, book));
    int count = 0;
    server.SheetCount(book, count);
    for (int i = 1; i <= count; ++i) {
      SheetHandle h = 0;
      std::string name;
      server.SheetItem(book, i, h);
      server.SheetName(h, name);
      for (const Edit& e : edits) {
        if (e.sheet == name) server.SetCellValue(h, e.row, e.column, e.text);
      }
      if (name == renameFrom) server.RenameSheet(h, renameTo);
    }
    ASSERT_TRUE(server.SaveBook(book));
  }
};

}  // namespace ploxen::test
