// Tests of the database loader and the dataset lookups on hand-written ".tdb" fixtures.
#include "thermo/PXDatabase.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "DatabaseTestSupport.h"
#include "support/AplMsg.h"

namespace ploxen {
namespace {

using thermotest::ThermoFixture;

class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override { log.SetFilter(kMsgInformation); }
  int Load(const std::string& fixture) { return db.LoadDatabase(ThermoFixture(fixture)); }

  TAplMsgWnd log;
  PXDatabase db{log};
};

TEST_F(DatabaseTest, LoadsEveryLineAsARecordWithTheHeaderFirst) {
  ASSERT_EQ(Load("ranges.tdb"), 16);
  EXPECT_EQ(db.DatabaseState(), 1);
  EXPECT_EQ(db.RecordCount(), 16);
  EXPECT_EQ(db.Field(0, 1), "Name");
  EXPECT_EQ(db.Field(1, 0), "1");
  EXPECT_EQ(db.Field(0, 0), "0");
  EXPECT_EQ(db.Field(13, 0), "13");
  EXPECT_EQ(db.Field(1, kFieldName), "CO2");
  EXPECT_EQ(db.Field(1, kFieldDescription), "carbon dioxide");
  EXPECT_EQ(db.Field(1, kFieldComments), "Shomate form");
  EXPECT_DOUBLE_EQ(db.Number(1, kFieldH0), -393510.0);
  EXPECT_DOUBLE_EQ(db.Number(1, kFieldOmega), 0.225);
  EXPECT_EQ(db.Field(99, 1), "");
  EXPECT_EQ(db.Number(1, 17), 0.0);
  EXPECT_EQ(log.Count(), 0);
}

TEST_F(DatabaseTest, SelectsTheDatasetWhoseRangeHoldsTheTemperature) {
  ASSERT_EQ(Load("ranges.tdb"), 16);
  EXPECT_EQ(db.FindDataset("CO2", "(g)", 500.0), 1);
  EXPECT_EQ(db.Tds().rangeFlag, 0);
  EXPECT_EQ(db.Tds().name, "CO2");
  EXPECT_EQ(db.Tds().phase, "(g)");
  EXPECT_DOUBLE_EQ(db.Tds().Tmax, 1000.0);
  EXPECT_DOUBLE_EQ(db.Tds().H0, -393510.0);
  EXPECT_DOUBLE_EQ(db.Tds().Tc, 304.13);
  EXPECT_EQ(db.Tds().molDefinition, "C1O2");
  EXPECT_EQ(db.Tds().references, "[1][2]");
  EXPECT_EQ(db.FindDataset("CO2", "(g)", 2000.0), 2);
  EXPECT_EQ(db.Tds().rangeFlag, 0);
  EXPECT_DOUBLE_EQ(db.Tds().T0, 1000.0);
}

TEST_F(DatabaseTest, ExtrapolatesWithTheNearestRangeAndMarksIt) {
  ASSERT_EQ(Load("ranges.tdb"), 16);
  EXPECT_EQ(db.FindDataset("CO2", "(g)", 3500.0), 2);
  EXPECT_EQ(db.Tds().rangeFlag, 1);
  EXPECT_DOUBLE_EQ(db.Tds().H0, -360113.0);  // the whole record, not only the range
  EXPECT_EQ(db.FindDataset("CO2", "(g)", 200.0), 1);
  EXPECT_EQ(db.Tds().rangeFlag, -1);
  EXPECT_DOUBLE_EQ(db.Tds().H0, -393510.0);
  // Y (g) covers 300-400 K and 600-700 K: at 500 K both are 100 K away, the first wins;
  // a little nearer to either side, that side wins.
  EXPECT_EQ(db.FindDataset("Y", "(g)", 500.0), 10);
  EXPECT_EQ(db.Tds().rangeFlag, 1);
  EXPECT_EQ(db.FindDataset("Y", "(g)", 501.0), 11);
  EXPECT_EQ(db.Tds().rangeFlag, -1);
  EXPECT_EQ(db.FindDataset("Y", "(g)", 499.0), 10);
}

TEST_F(DatabaseTest, PhaseMustMatchExactly) {
  ASSERT_EQ(Load("ranges.tdb"), 16);
  EXPECT_EQ(db.FindDataset("CO2", "(l)", 500.0), -1);
  EXPECT_EQ(db.FindDataset("co2", "(g)", 500.0), -1);
  EXPECT_EQ(db.FindDataset("CO2", "(u)", 500.0), -1);  // the wildcard only widens the search
  EXPECT_EQ(db.FindDataset("H2O", "(l)", 300.0), 3);
  EXPECT_EQ(db.FindDataset("H2O", "(g)", 300.0), 4);
  EXPECT_EQ(db.FindDataset("Y", "(l)", 270.0), 13);
  EXPECT_EQ(db.FindDataset("Name", "Phase", 0.0), -1);  // the header is never a dataset
  EXPECT_EQ(db.FindDataset("Nothing", "(g)", 300.0), -1);
}

TEST_F(DatabaseTest, FailedLookupLeavesTheCurrentDatasetAlone) {
  ASSERT_EQ(Load("ranges.tdb"), 16);
  ASSERT_EQ(db.FindDataset("H2O", "(l)", 300.0), 3);
  EXPECT_EQ(db.FindDataset("CO2", "(l)", 300.0), -1);
  EXPECT_EQ(db.Tds().name, "H2O");
  EXPECT_EQ(db.Tds().phase, "(l)");
}

TEST_F(DatabaseTest, CandidateCacheCollectsByNameAndPhaseWildcards) {
  ASSERT_EQ(Load("ranges.tdb"), 16);
  EXPECT_EQ(db.PickCandidate("Y", "(g)", 350.0), -1);  // nothing cached yet
  EXPECT_EQ(db.CollectCandidates("Y", "(l)"), 1);
  EXPECT_EQ(db.PickCandidate("Y", "(g)", 350.0), -1);
  EXPECT_EQ(db.CollectCandidates("Y", "(*)"), 2);  // the two gas datasets; the liquid is cached
  EXPECT_EQ(db.PickCandidate("Y", "(g)", 350.0), 10);
  EXPECT_EQ(db.CollectCandidates("H2O", "(u)"), 2);
  EXPECT_EQ(db.CollectCandidates("Nothing", "(*)"), 0);
  EXPECT_EQ(db.CandidateCount(), 5);
}

TEST_F(DatabaseTest, RepeatedFailingLookupsDoNotGrowTheCache) {
  ASSERT_EQ(Load("ranges.tdb"), 16);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(db.FindDataset("CO2", "(l)", 300.0), -1);
  EXPECT_EQ(db.CandidateCount(), 2);
}

TEST_F(DatabaseTest, SelectDatasetProbesWithoutCopying) {
  ASSERT_EQ(Load("ranges.tdb"), 16);
  ASSERT_EQ(db.SelectDataset(3, false, "H2O", "(l)", 300.0), 3);
  EXPECT_EQ(db.SelectDataset(1, true, "CO2", "(g)", 2000.0), 1);
  EXPECT_EQ(db.Tds().rangeFlag, 1);
  EXPECT_DOUBLE_EQ(db.Tds().Tmax, 1000.0);
  EXPECT_EQ(db.Tds().name, "H2O");  // the rest of the record stays
  EXPECT_EQ(db.SelectDataset(1, false, "CO2", "(g)", 2000.0), 1);
  EXPECT_EQ(db.Tds().name, "CO2");
  EXPECT_EQ(db.SelectDataset(1, false, "CO2", "(l)", 500.0), -1);
  EXPECT_EQ(db.SelectDataset(-1, false, "CO2", "(g)", 500.0), -1);
  EXPECT_EQ(db.SelectDataset(16, false, "CO2", "(g)", 500.0), -1);
}

TEST_F(DatabaseTest, MolDefinitionAndTemperatureRangeByNameAndPhase) {
  ASSERT_EQ(Load("ranges.tdb"), 16);
  EXPECT_EQ(db.MolDefinitionOf("CO2", "(g)"), "C1O2");
  EXPECT_EQ(db.MolDefinitionOf("CO2", "(l)"), "");
  EXPECT_EQ(db.MolDefinitionOf("Phase", "Tmin [K]"), "");
  auto co2 = db.TemperatureRangeOf("CO2", "(g)");
  EXPECT_EQ(co2.count, 2);
  EXPECT_DOUBLE_EQ(co2.lowestTmin, 298.15);
  EXPECT_DOUBLE_EQ(co2.highestTmax, 3000.0);
  auto y = db.TemperatureRangeOf("Y", "(g)");
  EXPECT_EQ(y.count, 2);
  EXPECT_DOUBLE_EQ(y.lowestTmin, 300.0);
  EXPECT_DOUBLE_EQ(y.highestTmax, 700.0);
  auto none = db.TemperatureRangeOf("CO2", "(s)");
  EXPECT_EQ(none.count, 0);
  EXPECT_EQ(none.lowestTmin, -1.0);
  EXPECT_EQ(none.highestTmax, -1.0);
}

TEST_F(DatabaseTest, ReadsTheFileFormatsQuirks) {
  // Header, then A, B, C and the line without TAB; D has no line feed and is not read.
  ASSERT_EQ(Load("quirks.tdb"), 5);
  EXPECT_EQ(db.Field(1, 1), "A");
  EXPECT_DOUBLE_EQ(db.Number(1, 3), 1.5);      // "1,5"
  EXPECT_DOUBLE_EQ(db.Number(1, 4), 0.5);      // ".5"
  EXPECT_DOUBLE_EQ(db.Number(1, 5), 12.0);     // "12."
  EXPECT_EQ(db.Number(1, 6), 0.0);             // "abc"
  EXPECT_DOUBLE_EQ(db.Number(1, 7), -2500.0);  // "-2,5e3"
  EXPECT_DOUBLE_EQ(db.Number(1, 8), 7.0);      // " 7 " is trimmed
  EXPECT_EQ(db.Field(1, 8), "7");
  EXPECT_DOUBLE_EQ(db.Number(1, 9), 3.0);  // "+3"
  EXPECT_EQ(db.Number(1, 10), 0.0);        // "1.5x"
  EXPECT_EQ(db.Number(1, 12), 0.0);        // "1 000"
  EXPECT_EQ(db.Number(1, 13), 0.0);        // "inf"
  EXPECT_EQ(db.Field(1, 17), "A1");
  // CR LF and LF read alike, even a CR inside a line is dropped.
  EXPECT_EQ(db.Field(3, 1), "C");
  EXPECT_DOUBLE_EQ(db.Number(3, 4), 400.0);
  EXPECT_EQ(db.Field(3, 18), "carriage return inside a field");
  EXPECT_EQ(db.Field(4, 1), "no tab in this line");
  EXPECT_EQ(db.FindDataset("D", "(g)", 500.0), -1);
}

TEST_F(DatabaseTest, TooManyFieldsPostMessage526AndKeepTwentyTwo) {
  ASSERT_EQ(Load("quirks.tdb"), 5);
  ASSERT_EQ(log.Count(), 1);
  const LogEntry& entry = log.Entries()[0];
  EXPECT_EQ(entry.level, kMsgCritical);
  EXPECT_EQ(entry.number, 526);
  EXPECT_EQ(entry.text, "Dataset 4: (2) is possibly irregular  (PXDatabase)");
  EXPECT_EQ(db.Field(2, 22), "22");
  EXPECT_EQ(db.Field(2, 21), "21");
  EXPECT_EQ(db.FindDataset("B", "(s)", 500.0), 2);
}

TEST_F(DatabaseTest, MessageTextsOfIrregularFiles) {
  EXPECT_EQ(PXDatabase::IrregularDatasetText(0, "0"),
            "Dataset 2: (0) is possibly irregular  (PXDatabase)");
  EXPECT_EQ(PXDatabase::IrregularColumnText(17), "Filds data 17 is possibly irregular ");
}

TEST_F(DatabaseTest, HeaderOnlyFileLoadsOneRecordAndNoLookupSucceeds) {
  EXPECT_EQ(Load("header_only.tdb"), 1);
  EXPECT_EQ(db.DatabaseState(), 1);
  EXPECT_EQ(db.FindDataset("Name", "Phase", 300.0), -1);
  EXPECT_EQ(db.FindDataset("CO2", "(g)", 300.0), -1);
}

TEST_F(DatabaseTest, ShortLinesLeaveMissingFieldsEmpty) {
  ASSERT_EQ(Load("short_lines.tdb"), 5);
  EXPECT_EQ(db.Field(1, 1), "Short");
  EXPECT_EQ(db.Field(1, 2), "");
  EXPECT_EQ(db.Number(2, 4), 0.0);
  EXPECT_EQ(db.FindDataset("Short", "(g)", 450.0), 4);
  EXPECT_EQ(db.Tds().rangeFlag, 0);
  EXPECT_EQ(db.Tds().molDefinition, "");
  EXPECT_EQ(db.FindDataset("Short", "(g)", 300.0), 2);  // range 300..0: below Tmax, nearest
  EXPECT_EQ(log.Count(), 0);
}

TEST_F(DatabaseTest, MissingFileSetsStateMinusOne) {
  ASSERT_EQ(Load("ranges.tdb"), 16);
  ASSERT_EQ(db.FindDataset("CO2", "(g)", 500.0), 1);
  EXPECT_EQ(db.LoadDatabase(ThermoFixture("no_such_file.tdb")), -1);
  EXPECT_EQ(db.DatabaseState(), -1);
  EXPECT_EQ(db.DatabasePath(), ThermoFixture("no_such_file.tdb"));
  EXPECT_EQ(db.RecordCount(), 0);
  EXPECT_EQ(db.FindDataset("CO2", "(g)", 500.0), -1);
}

TEST_F(DatabaseTest, UnreadableFileGivesMinusTwoAndAnEmptyStore) {
  ASSERT_EQ(Load("ranges.tdb"), 16);
  EXPECT_EQ(db.LoadDatabase(std::string(PLOXEN_TEST_DATA_DIR) + "/thermo"), -2);
  EXPECT_EQ(db.DatabaseState(), 1);  // state unchanged
  EXPECT_EQ(db.RecordCount(), 0);
  EXPECT_EQ(db.FindDataset("CO2", "(g)", 500.0), -1);
}

TEST_F(DatabaseTest, ReloadReplacesRecordsAndEmptiesTheCache) {
  ASSERT_EQ(Load("ranges.tdb"), 16);
  ASSERT_EQ(db.FindDataset("CO2", "(g)", 500.0), 1);
  ASSERT_EQ(Load("quirks.tdb"), 5);
  EXPECT_EQ(db.CandidateCount(), 0);
  EXPECT_EQ(db.FindDataset("CO2", "(g)", 500.0), -1);
  EXPECT_EQ(db.FindDataset("B", "(s)", 500.0), 2);
  ASSERT_EQ(Load("ranges.tdb"), 16);
  EXPECT_EQ(db.FindDataset("CO2", "(g)", 500.0), 1);
}

TEST_F(DatabaseTest, InitAndFreeEmptyTheStore) {
  ASSERT_EQ(Load("ranges.tdb"), 16);
  db.FreeDatabaseStore();
  EXPECT_EQ(db.RecordCount(), 0);
  EXPECT_EQ(db.DatabaseState(), 0);
  EXPECT_EQ(db.FindDataset("CO2", "(g)", 500.0), -1);
  db.InitDatabaseStore(8.31451);
  EXPECT_EQ(db.GasConstant(), 8.31451);
  EXPECT_EQ(db.DatabaseState(), 0);
}

TEST(FieldNumber, FollowsTheFileFormatsNumberRules) {
  EXPECT_DOUBLE_EQ(PXDatabase::FieldNumber("1,5"), 1.5);
  EXPECT_DOUBLE_EQ(PXDatabase::FieldNumber(".5"), 0.5);
  EXPECT_DOUBLE_EQ(PXDatabase::FieldNumber("-.5"), -0.5);
  EXPECT_DOUBLE_EQ(PXDatabase::FieldNumber("12."), 12.0);
  EXPECT_DOUBLE_EQ(PXDatabase::FieldNumber("1.25E-3"), 0.00125);
  EXPECT_EQ(PXDatabase::FieldNumber("abc"), 0.0);
  EXPECT_EQ(PXDatabase::FieldNumber(""), 0.0);
  EXPECT_EQ(PXDatabase::FieldNumber("1,5,5"), 0.0);
  EXPECT_EQ(PXDatabase::FieldNumber("nan"), 0.0);
  EXPECT_EQ(PXDatabase::FieldNumber("1e999"), 0.0);
  EXPECT_DOUBLE_EQ(PXDatabase::FieldNumber(std::string(100, '1')), 1.1111111111111111e99);
}

}  // namespace
}  // namespace ploxen
