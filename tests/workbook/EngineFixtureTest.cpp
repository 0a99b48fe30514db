// The embedded engine loads LibreOffice's fixture workbooks, recalculates them fully and
// gets LibreOffice's results; cached values and cross-workbook caches are used as they should.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

#include "support/AplMsg.h"
#include "workbook/EmbeddedServer.h"

namespace ploxen {
namespace {

const std::string kData = std::string(PLOXEN_TEST_DATA_DIR) + "/workbook/";

/// One line of Formulas.expected.tsv: LibreOffice's result of a formula.
struct Expected {
  int row = 0;
  std::string label, kind, text;
  double number = 0.0;
};

std::vector<Expected> LoadExpected() {
  std::vector<Expected> out;
  std::ifstream in(kData + "Formulas.expected.tsv");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::stringstream ss(line);
    Expected e;
    std::string row, number;
    std::getline(ss, row, '\t');
    std::getline(ss, e.label, '\t');
    std::getline(ss, e.kind, '\t');
    std::getline(ss, number, '\t');
    std::getline(ss, e.text);
    e.row = std::stoi(row);
    std::from_chars(number.data(), number.data() + number.size(), e.number);
    out.push_back(e);
  }
  return out;
}

/// Checks the engine's Value text of a formula against LibreOffice's result.
void ExpectSameResult(const Expected& e, const std::string& got) {
  SCOPED_TRACE(e.label + " (row " + std::to_string(e.row) + ")");
  if (e.kind == "n" && (e.text == "TRUE" || e.text == "FALSE")) {
    EXPECT_EQ(got, e.text);
  } else if (e.kind == "n") {
    double v = 0.0;
    auto [p, ec] = std::from_chars(got.data(), got.data() + got.size(), v);
    ASSERT_TRUE(ec == std::errc() && p == got.data() + got.size()) << "not a number: " << got;
    EXPECT_NEAR(v, e.number, 1e-13 * std::max(1.0, std::fabs(e.number)));
  } else {
    EXPECT_EQ(got, e.text);
  }
}

class EngineFixture : public ::testing::TestWithParam<const char*> {
 protected:
  TAplMsgWnd log;
  EmbeddedServer server{log};
  BookHandle book = 0;
  SheetHandle formulas = 0;

  void Open(const std::string& file) {
    ASSERT_TRUE(server.OpenBook(kData + file, false, book)) << server.LastErrorText();
    int count = 0;
    ASSERT_TRUE(server.SheetCount(book, count));
    ASSERT_TRUE(server.SheetItem(book, 3, formulas));
    std::string name;
    ASSERT_TRUE(server.SheetName(formulas, name));
    ASSERT_EQ(name, "Formulas");
  }
};

TEST_P(EngineFixture, RecalculatedResultsMatchLibreOffice) {
  Open(std::string("Formulas.") + GetParam());
  std::vector<Expected> expected = LoadExpected();
  ASSERT_GT(expected.size(), 60u);
  for (const Expected& e : expected) {
    std::string got;
    ASSERT_TRUE(server.CellValue(formulas, e.row, 2, got));
    ExpectSameResult(e, got);
  }
}

TEST_P(EngineFixture, WritesRecalculateDependentsAcrossSheets) {
  Open(std::string("Formulas.") + GetParam());
  SheetHandle system = 0, gas = 0;
  ASSERT_TRUE(server.SheetItem(book, 1, system));
  ASSERT_TRUE(server.SheetItem(book, 2, gas));
  ASSERT_TRUE(server.SetCellValue(system, 2, 2, "2000"));  // System!B2
  ASSERT_TRUE(server.SetCellValue(gas, 5, 3, "8"));        // 'gas.1'!C5
  std::vector<Expected> expected = LoadExpected();
  auto rowOf = [&](const std::string& label) {
    for (const Expected& e : expected)
      if (e.label == label) return e.row;
    return 0;
  };
  std::string text;
  ASSERT_TRUE(server.CellValue(formulas, rowOf("cross sheet"), 2, text));
  EXPECT_EQ(text, "5");
  ASSERT_TRUE(server.CellValue(formulas, rowOf("quoted sheet"), 2, text));
  EXPECT_EQ(text, "16");
  ASSERT_TRUE(server.CellValue(formulas, rowOf("nested"), 2, text));
  EXPECT_EQ(text, "2500");
  ASSERT_TRUE(server.CellValue(formulas, rowOf("concatenate"), 2, text));
  EXPECT_EQ(text, "T=2000 K");
}

TEST_P(EngineFixture, ClosedLinkReadsCachedValuesAndOpenBookReadsLiveOnes) {
  Open(std::string("Formulas.") + GetParam());
  std::vector<Expected> expected = LoadExpected();
  int row = 0;
  for (const Expected& e : expected)
    if (e.label == "external number") row = e.row;
  std::string text;
  ASSERT_TRUE(server.CellValue(formulas, row, 2, text));
  EXPECT_EQ(text, "25");
  BookHandle other = 0;
  ASSERT_TRUE(server.OpenBook(kData + "Other." + GetParam(), false, other))
      << server.LastErrorText();
  SheetHandle data = 0;
  ASSERT_TRUE(server.SheetItem(other, 1, data));
  ASSERT_TRUE(server.SetCellValue(data, 2, 2, "50"));
  ASSERT_TRUE(server.CellValue(formulas, row, 2, text));
  EXPECT_EQ(text, "100");
}

TEST_P(EngineFixture, DisplayedTextFollowsNumberFormats) {
  Open(std::string("Formulas.") + GetParam());
  std::string text;
  ASSERT_TRUE(server.CellText(formulas, 4, 2, text));  // B4 "0.00": 2^3^2
  EXPECT_EQ(text, "64.00");
  ASSERT_TRUE(server.CellValue(formulas, 4, 2, text));
  EXPECT_EQ(text, "64");
}

INSTANTIATE_TEST_SUITE_P(Files, EngineFixture, ::testing::Values("xlsx", "ods"));

}  // namespace
}  // namespace ploxen
