// Workbooks saved by the engine, opened by headless LibreOffice: it shows the engine's values
// as cached in the file and after recalculating every formula itself.
#include <gtest/gtest.h>

#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

#include "LibreOfficeSupport.h"
#include "support/AplMsg.h"
#include "workbook/EmbeddedServer.h"

namespace ploxen {
namespace {

using test::LibreOfficeMissing;
using test::RunCommand;

namespace fs = std::filesystem;
const std::string kData = std::string(PLOXEN_TEST_DATA_DIR) + "/workbook/";

/// What LibreOffice showed for one cell.
struct Shown {
  std::string kind, text;
  double number = 0.0;
};

class LibreOfficeClient : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string missing = LibreOfficeMissing();
    if (!missing.empty()) GTEST_SKIP() << "LibreOffice tests skipped: " << missing;
    dir = fs::temp_directory_path() / ("ploxen_lo_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const char* name :
         {"Formulas.xlsx", "Formulas.ods", "Other.xlsx", "Other.ods", "Rich.xlsx", "Rich.ods"})
      fs::copy_file(kData + name, dir / name);
  }
  void TearDown() override {
    if (!dir.empty()) fs::remove_all(dir);
  }

  /// Opens a fixture copy, changes inputs that many formulas depend on, saves it as `out`.
  void MakeEngineFile(const std::string& fixture, const std::string& out) {
    BookHandle book = 0;
    ASSERT_TRUE(server.OpenBook((dir / fixture).string(), false, book)) << server.LastErrorText();
    SheetHandle system = 0, gas = 0, formulas = 0;
    ASSERT_TRUE(server.SheetItem(book, 1, system));
    ASSERT_TRUE(server.SheetItem(book, 2, gas));
    ASSERT_TRUE(server.SheetItem(book, 3, formulas));
    ASSERT_TRUE(server.SetCellValue(system, 2, 2, "2000"));
    ASSERT_TRUE(server.SetCellValue(system, 3, 2, "1.25"));
    ASSERT_TRUE(server.SetCellValue(gas, 5, 3, "8"));
    ASSERT_TRUE(server.SetCellValue(formulas, 80, 2, "=SUM(B2:B8)/COUNT(B2:B8)"));
    ASSERT_TRUE(server.SetCellValue(formulas, 81, 2, "='gas.1'!B2*System!B3&\" mol\""));
    ASSERT_TRUE(server.InsertRow(formulas, 5));
    ASSERT_TRUE(server.SaveBookAs(book, (dir / out).string())) << server.LastErrorText();
    books[out] = formulas;
  }

  void CheckAgainstEngine(const std::string& dump) {
    std::stringstream in(dump);
    std::string line;
    int compared = 0;
    while (std::getline(in, line)) {
      std::stringstream ss(line);
      std::string phase, file, row, col, number;
      Shown s;
      std::getline(ss, phase, '\t');
      std::getline(ss, file, '\t');
      std::getline(ss, row, '\t');
      std::getline(ss, col, '\t');
      std::getline(ss, s.kind, '\t');
      std::getline(ss, number, '\t');
      std::getline(ss, s.text);
      if (!books.count(file) || col != "2") continue;
      std::from_chars(number.data(), number.data() + number.size(), s.number);
      int r = std::stoi(row);
      std::string engine;
      ASSERT_TRUE(server.CellValue(books[file], r, 2, engine));
      std::string label;
      server.CellValue(books[file], r, 1, label);
      if (label == "name error") continue;  // unknown to both; each shows its own error
      SCOPED_TRACE(phase + " " + file + " row " + row + " " + label);
      ++compared;
      if (s.kind == "n" && (s.text == "TRUE" || s.text == "FALSE")) {
        EXPECT_TRUE(engine == s.text || engine == (s.text == "TRUE" ? "1" : "0")) << engine;
      } else if (s.kind == "n") {
        double v = 0.0;
        auto [p, ec] = std::from_chars(engine.data(), engine.data() + engine.size(), v);
        ASSERT_TRUE(ec == std::errc() && p == engine.data() + engine.size()) << engine;
        EXPECT_NEAR(v, s.number, 1e-13 * std::max(1.0, std::fabs(v)));
      } else if (s.text == "TRUE" || s.text == "FALSE") {
        EXPECT_EQ(engine, s.text);  // a boolean result cached as its text
      } else {
        EXPECT_EQ(engine, s.text);
      }
    }
    EXPECT_GT(compared, 4 * 65);  // two files, two phases, every formula row
  }

  TAplMsgWnd log;
  EmbeddedServer server{log};
  fs::path dir;
  std::map<std::string, SheetHandle> books;
};

TEST_F(LibreOfficeClient, ShowsTheEngineValuesCachedAndRecalculated) {
  MakeEngineFile("Formulas.xlsx", "EngineOut.xlsx");
  MakeEngineFile("Formulas.ods", "EngineOut.ods");
  std::string dump;
  std::string command = "cd '" + dir.string() + "' && /usr/bin/python3 '" + kData +
                        "lo_check.py' Formulas 2 EngineOut.xlsx EngineOut.ods 2>&1";
  ASSERT_EQ(RunCommand(command, dump), 0) << dump;
  CheckAgainstEngine(dump);
}

TEST_F(LibreOfficeClient, FindsEverythingASavedProcessBookHeldAndItsNewResults) {
  for (const char* name : {"Rich.xlsx", "Rich.ods"}) {
    BookHandle book = 0;
    SheetHandle system = 0, gas = 0;
    ASSERT_TRUE(server.OpenBook((dir / name).string(), false, book)) << server.LastErrorText();
    ASSERT_TRUE(server.SheetItem(book, 1, system));
    ASSERT_TRUE(server.SheetItem(book, 2, gas));
    ASSERT_TRUE(server.SetCellValue(system, 2, 2, "1200"));
    ASSERT_TRUE(server.SetCellValue(gas, 4, 2, "500"));
    ASSERT_TRUE(server.SetCellValue(gas, 2, 4, "result"));
    ASSERT_TRUE(server.SaveBook(book)) << server.LastErrorText();
  }
  std::string dump;
  std::string command = "cd '" + dir.string() + "' && /usr/bin/python3 '" + kData +
                        "lo_rich_check.py' Rich.xlsx Rich.ods 2>&1";
  ASSERT_EQ(RunCommand(command, dump), 0) << dump;
  std::map<std::string, std::string> seen;
  std::stringstream in(dump);
  std::string file, what, value;
  while (std::getline(in, file, '\t') && std::getline(in, what, '\t') && std::getline(in, value))
    seen[file + " " + what] = value;
  for (std::string file : {"Rich.xlsx", "Rich.ods"}) {
    SCOPED_TRACE(file);
    EXPECT_EQ(seen[file + " charts"], "1");
    EXPECT_EQ(seen[file + " comments"], "1");
    EXPECT_EQ(seen[file + " images"], "1");
    EXPECT_EQ(seen[file + " rules"], "1");
    EXPECT_EQ(seen[file + " validation"], "DECIMAL");
    EXPECT_EQ(seen[file + " hyperlink"], "https://example.org/process-layout");
    EXPECT_EQ(seen[file + " name"], "True");
    EXPECT_EQ(seen[file + " System.B5"], "1473.15");
    EXPECT_EQ(seen[file + " gas.1.C4"], "0.5");
    EXPECT_EQ(seen[file + " gas.1.D2"], "result");
  }
}

}  // namespace
}  // namespace ploxen
