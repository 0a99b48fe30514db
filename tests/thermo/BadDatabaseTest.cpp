// Tests of the loader on damaged files: binary garbage, truncation, over-long lines,
// foreign encodings. Loading keeps what is loadable, reports, and never crashes.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "DatabaseTestSupport.h"
#include "support/AplMsg.h"
#include "thermo/PXDatabase.h"
#include "thermo/StateFunctions.h"

namespace ploxen {
namespace {

using thermotest::ReadAll;
using thermotest::ScratchFile;
using thermotest::ThermoFixture;

class BadDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override { log.SetFilter(kMsgInformation); }

  /// Every lookup and evaluation the rest of the program makes, over every record.
  void ExerciseEveryRecord() {
    for (int r = 0; r < db.RecordCount(); ++r) {
      std::string name(db.Field(r, kFieldName));
      std::string phase(db.Field(r, kFieldPhase));
      int found = db.FindDataset(name, phase, 500.0);
      if (r > 0) {
        EXPECT_GE(found, 1);  // a record always finds itself or its twin
      }
      db.MolDefinitionOf(name, phase);
      db.TemperatureRangeOf(name, phase);
      for (int model = 0; model < kFluidModelCount; ++model) {
        StateFunctionRecord s;
        StateFunctions(db, r, model, 10.0, 500.0, s);
      }
    }
  }

  TAplMsgWnd log;
  PXDatabase db{log};
};

TEST_F(BadDatabaseTest, BinaryGarbageLoadsWithoutCrashing) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 8; ++round) {
    std::string bytes(4096 + round * 997, '\0');
    for (char& ch : bytes) {
      unsigned v = random() % 300;
      ch = v < 256 ? static_cast<char>(v) : (v < 280 ? '\t' : '\n');
    }
    ScratchFile file(bytes);
    int count = db.LoadDatabase(file.Path());
    ASSERT_GE(count, 0);
    EXPECT_EQ(db.DatabaseState(), 1);
    ExerciseEveryRecord();
  }
  for (const LogEntry& entry : log.Entries()) EXPECT_EQ(entry.number, 526) << entry.text;
}

TEST_F(BadDatabaseTest, TruncatedFileKeepsTheCompleteLines) {
  const std::string whole = ReadAll(ThermoFixture("ranges.tdb"));
  ASSERT_FALSE(whole.empty());
  for (std::size_t cut = 0; cut <= whole.size(); cut += 7) {
    std::string part = whole.substr(0, cut);
    ScratchFile file(part);
    int lines = static_cast<int>(std::count(part.begin(), part.end(), '\n'));
    ASSERT_EQ(db.LoadDatabase(file.Path()), lines) << "cut at " << cut;
    ExerciseEveryRecord();
  }
  EXPECT_EQ(log.Count(), 0);
}

TEST_F(BadDatabaseTest, OverLongLinesAreStoredOrCutAtTwentyTwoFields) {
  std::string longText(5'000'000, 'x');
  std::string manyTabs(200'000, '\t');
  std::string bytes = "header\n1\tLong\t(g)\t300\t1000\t300\t0\t10\t1\t\t\t\t\t\t\t\t\tC1\t" +
                      longText + "\n2\tTabs\t(g)" + manyTabs + "end\n3\tLast\t(s)\t300\t1000\n";
  ScratchFile file(bytes);
  ASSERT_EQ(db.LoadDatabase(file.Path()), 4);
  EXPECT_EQ(db.Field(1, kFieldDescription).size(), longText.size());
  EXPECT_EQ(db.FindDataset("Long", "(g)", 500.0), 1);
  EXPECT_EQ(db.FindDataset("Tabs", "(g)", 500.0), 2);
  EXPECT_EQ(db.FindDataset("Last", "(s)", 500.0), 3);
  ASSERT_EQ(log.Count(), 1);
  EXPECT_EQ(log.Entries()[0].text, "Dataset 4: (2) is possibly irregular  (PXDatabase)");
}

TEST_F(BadDatabaseTest, EveryOverLongLineIsReportedOnce) {
  std::string line = "k\tN\t(g)";
  for (int k = 3; k <= 30; ++k) line += "\t" + std::to_string(k);
  ScratchFile file("header\n" + line + "\n" + line + "\n" + line + "\n");
  ASSERT_EQ(db.LoadDatabase(file.Path()), 4);
  ASSERT_EQ(log.Count(), 3);
  log.SetNewestLast(true);
  std::vector<std::string> texts;
  for (const LogEntry& entry : log.Entries()) texts.push_back(entry.text);
  std::sort(texts.begin(), texts.end());
  EXPECT_EQ(texts[0], "Dataset 3: (1) is possibly irregular  (PXDatabase)");
  EXPECT_EQ(texts[1], "Dataset 4: (2) is possibly irregular  (PXDatabase)");
  EXPECT_EQ(texts[2], "Dataset 5: (3) is possibly irregular  (PXDatabase)");
}

TEST_F(BadDatabaseTest, EmptyAndBlankFilesLoadNoRecords) {
  for (const char* bytes : {"", "\n\n\n", "\r\n\r\n", "\r\r\r\n", "no line feed at all"}) {
    ScratchFile file(bytes);
    EXPECT_EQ(db.LoadDatabase(file.Path()), 0) << bytes;
    EXPECT_EQ(db.DatabaseState(), 1);
    EXPECT_EQ(db.FindDataset("", "", 300.0), -1);
  }
}

TEST_F(BadDatabaseTest, NonNumericFieldsReadAsZeroAndAreNotEvaluated) {
  ScratchFile file("header\n1\tJunk\t(g)\tlow\thigh\tref\tH\tS\ta\tb\tc\td\te\tf\tTc\tPc\tw\tJ1\n");
  ASSERT_EQ(db.LoadDatabase(file.Path()), 2);
  EXPECT_EQ(db.FindDataset("Junk", "(g)", 300.0), 1);  // range 0..0, extrapolated
  EXPECT_EQ(db.Tds().rangeFlag, 1);
  StateFunctionRecord s;
  EXPECT_FALSE(StateFunctions(db, 1, kCubicPengRobinson, 1.0, 300.0, s));  // no T0
  EXPECT_EQ(s.status, kStateNotEvaluated);
  EXPECT_EQ(log.Count(), 0);
}

TEST_F(BadDatabaseTest, SingleByteTextIsReadAsWindows1252) {
  // "°" as the single byte 0xB0 and a UTF-8 byte order mark on a UTF-8 file.
  ScratchFile cp1252(
      "header\n1\tA\t(g)\t300\t1000\t300\t0\t10\t1\t\t\t\t\t\t\t\t\tA1\t25 \xB0"
      "C\n");
  ASSERT_EQ(db.LoadDatabase(cp1252.Path()), 2);
  EXPECT_EQ(db.Field(1, kFieldDescription),
            "25 \xC2\xB0"
            "C");
  ScratchFile bom("\xEF\xBB\xBFNr\tName\n1\tB\t(g)\n");
  ASSERT_EQ(db.LoadDatabase(bom.Path()), 2);
  EXPECT_EQ(db.Field(0, kFieldName), "Name");
  EXPECT_EQ(db.FindDataset("B", "(g)", 300.0), 1);
}

}  // namespace
}  // namespace ploxen
