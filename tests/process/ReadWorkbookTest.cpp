// Reading a process workbook into the phase slots: condition sheet, phase sheets and their
// failures.
#include <gtest/gtest.h>

#include <tuple>

#include "ProcessFixture.h"
#include "kernel/EqKernel.h"

namespace ploxen::test {
namespace {

using ReadConditionSheet = ProcessFixture;

TEST_F(ReadConditionSheet, PlacesSheetsByKindAndCompletesNames) {
  AddConditionSheet({"gas", "water", "solid"});
  AddPhaseSheet("gas", "(g)", {{"CO2", "1"}, {"H2O (l)", "2"}});
  AddPhaseSheet("water", "liquid", {{"H2O", "1"}});
  AddPhaseSheet("solid", "(s)", {{"C", ""}});
  ASSERT_TRUE(calc.ReadConditionSheet());
  EXPECT_TRUE(calc.slots[1].occupied);
  EXPECT_EQ(calc.slots[1].grid.Cell(0, 1), "CO2 (g)");
  EXPECT_EQ(calc.slots[1].grid.Cell(0, 2), "H2O (l)");
  EXPECT_EQ(calc.slots[1].Rows(), 2);
  EXPECT_EQ(calc.slots[3].sheetName, "water");
  EXPECT_EQ(calc.slots[3].grid.Cell(0, 1), "H2O (l)");
  EXPECT_EQ(calc.slots[6].tabCaption, "solid");
  EXPECT_TRUE(calc.slots[6].tabVisible);
  EXPECT_FALSE(calc.slots[2].tabVisible);
  EXPECT_EQ(calc.slots[2].tabCaption, "GasPh.2");
  EXPECT_TRUE(calc.MnuTempC);
  EXPECT_EQ(calc.CbxPV, 0);
  EXPECT_TRUE(calc.systemValid);
}

TEST_F(ReadConditionSheet, MissingSheetIsReportedAndOthersRead) {
  AddConditionSheet({"g1", "nosuch", "l1", "s1"});
  AddPhaseSheet("g1", "(g)", {{"N2", "1"}});
  AddPhaseSheet("l1", "(l)", {{"H2O", "1"}});
  AddPhaseSheet("s1", "(s)", {{"C", "1"}});
  EXPECT_TRUE(calc.ReadConditionSheet());
  EXPECT_EQ(TextOf(618), "Table: [nosuch] does not exist !");
  EXPECT_TRUE(calc.slots[1].occupied && calc.slots[3].occupied && calc.slots[6].occupied);
  EXPECT_FALSE(calc.systemValid);  // a named phase is missing: no results from this reading
}

TEST_F(ReadConditionSheet, ThirdGasSheetFindsNoSlotAndEndsReading) {
  AddConditionSheet({"g1", "g2", "g3", "l1"});
  for (const char* n : {"g1", "g2", "g3"}) AddPhaseSheet(n, "(g)", {{"N2", "1"}});
  AddPhaseSheet("l1", "(l)", {{"H2O", "1"}});
  calc.ReadConditionSheet();
  EXPECT_EQ(TextOf(514), "State of the phase must be defined in [A1] for:g3");
  EXPECT_FALSE(calc.slots[3].occupied);
  EXPECT_TRUE(calc.slots[2].occupied);
}

TEST_F(ReadConditionSheet, NinthPhaseSheetRefusesTheRun) {
  const int s = AddConditionSheet({"g1", "g2", "l1", "l2", "l3", "s1", "s2", "s3"});
  book.Set(s, 4, 10, "s4");
  for (const char* n : {"g1", "g2"}) AddPhaseSheet(n, "(g)", {{"N2", "1"}});
  for (const char* n : {"l1", "l2", "l3"}) AddPhaseSheet(n, "(l)", {{"H2O", "1"}});
  for (const char* n : {"s1", "s2", "s3", "s4"}) AddPhaseSheet(n, "(s)", {{"C", "1"}});
  EXPECT_TRUE(calc.ReadConditionSheet());
  for (int k = 1; k <= kSlotCount; ++k) EXPECT_TRUE(calc.slots[k].occupied) << k;
  EXPECT_EQ(TextOf(524), "Only eight phase sheets can be read, [s4] is not read !");
  EXPECT_FALSE(calc.systemValid);
}

TEST_F(ReadConditionSheet, ColumnEndingAtEmptyCellWarnsAndKeepsCompounds) {
  AddConditionSheet({"g1"});
  book.AddSheet("g1", {{"(g)"}, {"N2", "1"}, {"O2", "1"}, {""}, {"CO2"}});
  EXPECT_TRUE(calc.ReadConditionSheet());
  EXPECT_EQ(TextOf(482), "g1 EOT is not defined, An error is possible !");
  EXPECT_EQ(calc.slots[1].Rows(), 2);
}

TEST_F(ReadConditionSheet, NoPhaseNamesAndEmptyColumnA) {
  AddConditionSheet({});
  EXPECT_FALSE(calc.ReadConditionSheet());
  EXPECT_EQ(TextOf(523), "Phase sheets is not defined in [System] !");
  book = MemoryWorkbook();
  AddConditionSheet({"empty"});
  book.AddSheet("empty", {{""}, {"N2"}});
  EXPECT_FALSE(calc.ReadConditionSheet());
  EXPECT_EQ(TextOf(638),
            "[empty]: Phase sheets Col.1 must begin \"(g)\",\"(l)\",\"(s)\" und ends \"EOT\" "
            "without blanc cell");
  EXPECT_EQ(TextOf(472), "System No any phase found in system  ");
}

TEST_F(ReadConditionSheet, LabelsTargetAndKernelOptions) {
  const int s = AddConditionSheet({"g1"});
  AddPhaseSheet("g1", "(g)", {{"N2", "1"}});
  book.Set(s, 2, 1, "T[K]");
  book.Set(s, 3, 1, "V [m\xC2\xB3]");
  book.Set(s, 5, 2, "Gibbs");
  book.Set(s, 7, 2, "0.001");
  book.Set(s, 8, 2, "-5");
  book.Set(s, 8, 3, "0.9");
  book.Set(s, 9, 2, "Visual");
  kernel.CBMaxEntropy = true;
  calc.ReadConditionSheet();
  EXPECT_FALSE(calc.MnuTempC);
  EXPECT_EQ(calc.LabelT, "T[ K ]");
  EXPECT_EQ(calc.CbxPV, 1);
  EXPECT_EQ(calc.LabelPV, "V [m\xC2\xB3]");
  EXPECT_TRUE(kernel.CBMaxEntropy);    // "Gibbs" is not a target letter
  EXPECT_EQ(kernel.EditPrec, "0.01");  // options only on a reading from the button
  calc.firstReadingFromButton = true;
  book.Set(s, 5, 2, "g");
  calc.ReadConditionSheet();
  EXPECT_FALSE(kernel.CBMaxEntropy);
  EXPECT_EQ(kernel.EditPrec, "0.001");
  EXPECT_EQ(kernel.EditILimit, "98000");
  EXPECT_EQ(kernel.EditApprFactor, "0.9");
  EXPECT_EQ(calc.visualSheet, "Visual");
}

using ReadPhaseSheet = ProcessFixture;

TEST_F(ReadPhaseSheet, HeadersSelectUnitsCompositionAndProperties) {
  AddConditionSheet({"g1"});
  AddPhaseSheet("g1", "(g)", {{"N2", "0.79"}, {"O2", "0.21"}}, "In [kg]", "Out [lb]", "w%",
                "H [kJ/kg]", "Comment");
  calc.ReadConditionSheet();
  ASSERT_TRUE(calc.ReadPhaseSheet(calc.slots[1].sheetIndex, 1));
  const TPhaseSlot& s = calc.slots[1];
  EXPECT_EQ(s.inputUnit, 2);
  EXPECT_EQ(s.outputUnit, 3);
  EXPECT_EQ(s.composition, CompositionKind::kMassPercent);
  EXPECT_EQ(s.properties[0].unitCode, 80);
  EXPECT_FALSE(s.properties[1].Active());
  EXPECT_EQ(s.grid.Cell(1, 2), "0.21");
  EXPECT_EQ(s.grid.Cell(1, 0), "In [kg]");
}

TEST_F(ReadPhaseSheet, UnreadableCellsNameTheCompound) {
  AddConditionSheet({"g1"});
  const int g = AddPhaseSheet("g1", "(g)", {{"N2", "1"}, {"O2", "1"}});
  calc.ReadConditionSheet();
  book.refusedReads.insert({g, {3, 2}});
  EXPECT_FALSE(calc.ReadPhaseSheet(g, 1));
  EXPECT_EQ(TextOf(488), "Error in O2 (g) Input Value");
  book.refusedReads.clear();
  book.refusedReads.insert({g, {2, 6}});
  EXPECT_FALSE(calc.ReadPhaseSheet(g, 1));
  EXPECT_EQ(TextOf(495), "Error in N2 (g) fc/ac- Coeff");
  book.refusedReads.clear();
  book.refusedReads.insert({g, {2, 7}});
  EXPECT_FALSE(calc.ReadPhaseSheet(g, 1));
  EXPECT_EQ(TextOf(499), "Error in N2 (g) Relation Value");
  EXPECT_FALSE(calc.systemValid);
}

// Reads served from one block of the sheet and the workbook's own reads fill the slot alike,
// also where an "EOT" stands inside a column and the read stops after it.
TEST_F(ReadPhaseSheet, BlockReadsMatchTheWorkbooksOwnReads) {
  AddConditionSheet({"g1"});
  const int g = AddPhaseSheet("g1", "(g)", {{"N2", "0.79"}, {"O2", "0.21"}, {"Ar", "0.01"}},
                              "In [kg]", "Out [lb]", "w%", "H [kJ/kg]", "Comment");
  book.Set(g, 2, 6, " 1.5 ");
  book.Set(g, 3, 6, "EOT");
  book.Set(g, 4, 6, "7");
  book.Set(g, 4, 7, "0.5");
  calc.ReadConditionSheet();
  auto read = [&](bool blocks) {
    book.blockReads = blocks;
    book.blockCalls = 0;
    EXPECT_TRUE(calc.ReadPhaseSheet(g, 1));
    EXPECT_EQ(book.blockCalls, blocks ? 1 : 0);
    return calc.slots[1].grid;
  };
  const StringGrid own = read(false);
  const StringGrid block = read(true);
  ASSERT_EQ(block.RowCount(), own.RowCount());
  for (int c = 0; c < own.ColCount(); ++c)
    for (int r = 0; r < own.RowCount(); ++r)
      EXPECT_EQ(block.Cell(c, r), own.Cell(c, r)) << "column " << c << " row " << r;
  EXPECT_EQ(block.Cell(gc::kCoefficient, 1), "1.5");
  EXPECT_EQ(block.Cell(gc::kCoefficient, 3), "");  // below the column's "EOT"
  EXPECT_EQ(block.Cell(gc::kRelation, 3), "0.5");
}

TEST_F(ReadConditionSheet, OneBlockReadGivesWhatTheSingleReadsGive) {
  const int s = AddConditionSheet({"g1", "EOT", "g2"});
  AddPhaseSheet("g1", "(g)", {{"N2", "1"}});
  book.Set(s, 11, 2, "Rec");
  book.Set(s, 7, 2, "0.001");
  book.Set(s, 9, 2, "Visual");
  book.Set(s, 4, 10, "ninth");
  auto read = [&](bool blocks) {
    book.blockReads = blocks;
    book.blockCalls = 0;
    calc.firstReadingFromButton = true;
    const bool ok = calc.ReadConditionSheet();
    EXPECT_EQ(book.blockCalls, blocks ? 1 : 0);
    return std::tuple(ok, calc.EditTsys, calc.EditPVsys, calc.slots[1].sheetName,
                      calc.slots[2].occupied, calc.recorderActive, calc.visualSheet,
                      kernel.EditPrec, calc.systemValid, Posted(524));
  };
  const auto own = read(false);
  log.Clear();
  const auto block = read(true);
  EXPECT_EQ(block, own);
  EXPECT_TRUE(std::get<5>(block));  // recorder named in B11
  EXPECT_TRUE(std::get<9>(block));  // J4 names a ninth sheet
}

using CheckConditionSheet = ProcessFixture;

TEST_F(CheckConditionSheet, KindsAndMessages) {
  const int s = AddConditionSheet({"g1"});
  EXPECT_EQ(calc.CheckConditionSheet("system"), 0);
  book.Set(s, 1, 1, "RCL");
  EXPECT_EQ(calc.CheckConditionSheet("System"), 1);
  book.Set(s, 1, 1, "balance");
  EXPECT_EQ(calc.CheckConditionSheet("System"), -1);
  EXPECT_EQ(TextOf(878),
            "[Book.xlsx][System][A1]!= eql; rcl neither Equilibrium (eql) nor Inverse "
            "Calculation (rcl) !");
  log.Clear();
  EXPECT_EQ(calc.CheckConditionSheet("Nosheet"), -2);
  EXPECT_EQ(TextOf(878), "Acces to MS Excel inpossible!");
}

using CompoundList = ProcessFixture;

TEST_F(CompoundList, NewNamesGoAboveEotWithTheSheetState) {
  const int g = AddPhaseSheet("g1", "(g)", {{"N2", "1"}, {"O2", ""}});
  EXPECT_EQ(calc.AddCompoundsToPhaseSheet("g1", {"CO2", "N2 (g)", "H2O (l)", "CO2"}), 2);
  EXPECT_EQ(book.Get(g, 4, 1), "CO2 (g)");
  EXPECT_EQ(book.Get(g, 5, 1), "H2O (l)");
  EXPECT_EQ(book.Get(g, 6, 1), "EOT");
  EXPECT_EQ(book.Get(g, 2, 2), "1");
}

TEST_F(CompoundList, RefusesSheetsWithoutDefinitionOrEot) {
  book.AddSheet("bad", {{"gas"}, {"N2"}, {"EOT"}});
  book.AddSheet("open", {{"(g)"}, {"N2"}});
  EXPECT_EQ(calc.AddCompoundsToPhaseSheet("bad", {"CO2"}), -1);
  EXPECT_EQ(TextOf(2317), "in [bad] Cell [A1] must be phase definition (g), (l) or (s)");
  EXPECT_EQ(calc.AddCompoundsToPhaseSheet("open", {"CO2"}), -1);
  EXPECT_EQ(TextOf(2325), "Column [A] must be end \"EOT\"");
  EXPECT_EQ(book.Get("open", 3, 1), "");
}

TEST_F(CompoundList, CopyAddsOnlyMissingCompounds) {
  AddPhaseSheet("a", "(g)", {{"N2", ""}, {"CO2", ""}});
  const int b = AddPhaseSheet("b", "(g)", {{"CO2", ""}});
  EXPECT_EQ(calc.CopyCompounds("a", "b"), 1);
  EXPECT_EQ(book.Get(b, 3, 1), "N2 (g)");
  EXPECT_EQ(book.Get(b, 4, 1), "EOT");
}

}  // namespace
}  // namespace ploxen::test
