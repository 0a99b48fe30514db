// Fixture of the visualisation tests: a book in the embedded engine with a condition sheet and
// a visual sheet laid out row by row, saved into a scratch folder so pictures resolve beside it.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "app/Ploxen.h"

namespace ploxen::test {

namespace fs = std::filesystem;
using SheetRows = std::vector<std::vector<std::string>>;

class VisualBook : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("ploxen_visual_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
    p = std::make_unique<TPloxen>(0);
  }
  void TearDown() override {
    p.reset();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  /// Creates "Plant.xlsx" in `dir` with "System" (B2 300, B3 1) and "Visual" holding `rows`
  /// from row 1, and lets the visualisation follow it with "Visual" as its sheet.
  void MakeBook(const SheetRows& rows) {
    if (!p->xls.HasServer()) p->xls.StartExcel();
    server = p->xls.Server();
    ASSERT_TRUE(server->AddBook("Plant.xlsx", book));
    ASSERT_TRUE(server->SheetItem(book, 1, system));
    ASSERT_TRUE(server->RenameSheet(system, "System"));
    server->SetCellValue(system, 2, 2, "300");
    server->SetCellValue(system, 3, 2, "1");
    ASSERT_TRUE(server->AddSheet(book, "Visual", 2, visual));
    for (size_t r = 0; r < rows.size(); ++r) {
      for (size_t c = 0; c < rows[r].size(); ++c) {
        if (!rows[r][c].empty())
          server->SetCellValue(visual, static_cast<int>(r) + 1, static_cast<int>(c) + 1,
                               rows[r][c]);
      }
    }
    ASSERT_TRUE(server->SaveBookAs(book, (dir / "Plant.xlsx").string()));
    p->xls.ListBooks(-1);
    p->visual.FollowBook(p->xls.ProgId, "Plant.xlsx");
    ASSERT_EQ(p->visual.SetVisualSheet("Visual"), 2);
  }

  std::string Cell(int row, int column) {
    std::string text;
    server->CellValue(visual, row, column, text);
    return text;
  }
  /// Entries of the log with message number `number`.
  std::vector<std::string> Posted(int number) const {
    std::vector<std::string> texts;
    for (const LogEntry& e : p->log.Entries())
      if (e.number == number) texts.push_back(e.text);
    return texts;
  }
  /// Writes `bytes` into `name` in the book's folder.
  void WriteFile(const std::string& name, const std::string& bytes) {
    std::FILE* f = std::fopen((dir / name).c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }

  fs::path dir;
  std::unique_ptr<TPloxen> p;
  SpreadsheetServer* server = nullptr;
  BookHandle book = 0;
  SheetHandle system = 0, visual = 0;
};

/// The template's layout of the visual sheet, rows 1 to 7.
inline SheetRows TemplateRows() {
  return {{"visual", "F1", "F2", "F3", "Left", "Top", "Width", "Height"},
          {"W", "", "", "", "10", "10", "600", "400"},
          {"I", "visual.png"},
          {"F", "DejaVu Sans", "9"},
          {"1", "T [C]:", "='System'!B2", "Temperature", "20", "40", "100", "18"},
          {"2", "P [bar]:", "='System'!B3", "[Ctrl] Pressure", "20", "60", "120", "20", "x"},
          {"EOT"}};
}

/// The first bytes of a PNG file, enough for the model's check of the kind.
inline std::string PngHeader() { return std::string("\x89PNG\r\n\x1a\n", 8) + std::string(64, '\0'); }

}  // namespace ploxen::test
