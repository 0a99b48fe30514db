// The compound selection dialog: which datasets the database list offers, moving compounds
// between the lists, the status bar and sorts, and the write-back into a phase grid.
#include "thermo/Compounds.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "chem/Elements.h"
#include "chem/Periodica.h"
#include "support/AplMsg.h"
#include "support/AplStgs.h"
#include "support/Platform.h"
#include "support/ScriptedDialogs.h"
#include "thermo/TDynOprt.h"
#include "DatabaseTestSupport.h"

namespace ploxen {
namespace {


const char* kDatabase =
    "Nr\tName\tPhase\tTmin\tTmax\tT0\tH0\tS0\ta\tb\tc\td\te\tf\tTc\tPc\tOmega\tMol\tDesc\tRefs\t"
    "Created\tComments\n"
    "1\tCH4\t(g)\t298.15\t1000\t298.15\t-74873\t186.2\t35\t0\t0\t0\t0\t0\t\t\t\tC1H4\tmethane\t[1]"
    "\t\tfit one\n"
    "2\tCO2\t(g)\t298.15\t1000\t298.15\t-393522\t213.8\t37\t0\t0\t0\t0\t0\t\t\t\tC1O2\tcarbon "
    "dioxide\t[1]\t\t\n"
    "3\tCO2\t(g)\t1000\t3000\t298.15\t-393522\t213.8\t37\t0\t0\t0\t0\t0\t\t\t\tC1O2\tcarbon "
    "dioxide\t[1]\t\t\n"
    "4\tCCl4\t(g)\t298.15\t1000\t298.15\t-95800\t309."
    "9\t83\t0\t0\t0\t0\t0\t\t\t\tC1Cl4\ttetrachloromethane\t[1]\t\t\n"
    "5\tH2O\t(l)\t273.15\t600\t298.15\t-285830\t69.95\t75.3\t0\t0\t0\t0\t0\t\t\t\tH2O1\twater\t[1]"
    "\t\t\n"
    "6\tH2O\t(g)\t298.15\t3000\t298.15\t-241826\t188.8\t33.6\t0\t0\t0\t0\t0\t\t\t\tH2O1\tsteam\t[1]"
    "\t\t\n"
    "7\tC\t(s)\t298.15\t3000\t298.15\t0\t5.74\t8.5\t0\t0\t0\t0\t0\t\t\t\tC1\tgraphite\t[1]\t\t\n"
    "8\tNaCl\t(s)\t298.15\t1073\t298.15\t-411120\t72.1\t50\t0\t0\t0\t0\t0\t\t\t\tNa1Cl1\thalite\t["
    "1]\t\t\n"
    "9\tCO\t(g)\t298.15\t3000\t298.15\t-110527\t197.7\t29\t0\t0\t0\t0\t0\t\t\t\tC1O1\tcarbon "
    "monoxide\t[1]\t\t\n";

class CompoundsDlg : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_.SetProgramFolder(folder_.Bin());
    folder_.Write("data/Ploxen.tdb", kDatabase);
    folder_.Write("data/Ploxen.ref", "[Reference]\n  1: Tables 1998\n");
    log_.SetFilter(6);
    thermo_.StartUp();
    elementsDlg_.ShowElements();
  }

  void Select(std::initializer_list<const char*> symbols) {
    for (const char* s : symbols) flags_[elements_.FindSymbol(s)] = 1;
    elementsDlg_.ShowSelection();
  }
  static std::vector<std::string> Captions(const std::vector<CompoundRow>& rows) {
    std::vector<std::string> captions;
    for (const CompoundRow& r : rows) captions.push_back(r.caption);
    return captions;
  }
  /// A gas grid as the system window holds it: names, amounts in column 1, units in 2.
  static StringGrid GasGrid(std::initializer_list<std::vector<std::string>> rows) {
    StringGrid grid(4, static_cast<int>(rows.size()) + 1);
    grid.tag = 1;
    grid.SetCell(0, 0, "(g)");
    int r = 1;
    for (const auto& row : rows) {
      for (size_t c = 0; c < row.size(); ++c) grid.SetCell(static_cast<int>(c), r, row[c]);
      ++r;
    }
    return grid;
  }
  bool Posted(int number) const {
    for (const LogEntry& e : log_.Entries()) {
      if (e.number == number) return true;
    }
    return false;
  }

  thermotest::ScratchProgramFolder folder_{"ploxen_compounds_"};
  TAplMsgWnd log_;
  TAplStgsWnd settings_{log_};
  Periodica elements_;
  ScriptedDialogs dialogs_;
  TTDynOprtWnd thermo_{log_, settings_, elements_, dialogs_};
  std::vector<std::uint8_t> flags_ = std::vector<std::uint8_t>(256, 0);
  TElementsDlg elementsDlg_{log_, elements_, flags_};
  TCompoundsDlg dlg_{log_, thermo_, elementsDlg_};
};

TEST(CompoundSymbols, CountsAreBlankedAndOnlySelectedElementsPass) {
  EXPECT_EQ(TCompoundsDlg::SymbolText("C1O2"), "C O ");
  EXPECT_EQ(TCompoundsDlg::SymbolText("Na1Cl1"), "Na Cl ");
  EXPECT_EQ(TCompoundsDlg::SymbolText("H1.5O-1+2,3/4"), "H   O        ");
  const std::vector<std::string> cho = {"C ", "H ", "O "};
  EXPECT_TRUE(TCompoundsDlg::ConsistsOf("C H ", cho));
  EXPECT_TRUE(TCompoundsDlg::ConsistsOf("C O ", cho));
  EXPECT_FALSE(TCompoundsDlg::ConsistsOf("C Cl ", cho));  // "C " is no part of "Cl "
  EXPECT_FALSE(TCompoundsDlg::ConsistsOf("Ca O ", cho));
  EXPECT_TRUE(TCompoundsDlg::ConsistsOf("C H C O ", cho));  // a repeated symbol is one element
  EXPECT_FALSE(TCompoundsDlg::ConsistsOf("C ", {}));
  EXPECT_TRUE(TCompoundsDlg::ConsistsOf("   ", {}));
}

TEST_F(CompoundsDlg, NoSelectedElementsOfferNothing) {
  ASSERT_EQ(dlg_.OpenForPhase("Gas", nullptr, "*"), 1);
  EXPECT_TRUE(dlg_.LVSrc.empty());
  EXPECT_EQ(dlg_.CbxEl, std::vector<std::string>{"[All Selection]"});
  EXPECT_EQ(dlg_.GbxDatabase, "In Database: 0");
}

TEST_F(CompoundsDlg, TheSourceListFitsTheElementsAndThePhase) {
  Select({"C", "H", "O"});
  ASSERT_EQ(dlg_.OpenForPhase("Gas", nullptr, "*"), 1);
  // CO2 has two datasets but one row; CCl4 and NaCl hold elements that are not selected.
  EXPECT_EQ(Captions(dlg_.LVSrc), (std::vector<std::string>{"CH4 (g)", "CO2 (g)", "H2O (l)",
                                                            "H2O (g)", "C (s)", "CO (g)"}));
  EXPECT_EQ(dlg_.LVSrc[1].recordText, "   2");
  EXPECT_EQ(dlg_.LVSrc[0].description, "methane");
  EXPECT_EQ(dlg_.LVSrc[0].comment, "fit one");
  EXPECT_EQ(dlg_.CbxEl, (std::vector<std::string>{"[All Selection]", "C ", "H ", "O "}));
  ASSERT_EQ(dlg_.OpenForPhase("Liquid", nullptr, "l"), 1);
  EXPECT_EQ(Captions(dlg_.LVSrc), std::vector<std::string>{"H2O (l)"});
}

TEST_F(CompoundsDlg, TheElementFilterKeepsWhatContainsTheElement) {
  Select({"C", "H", "O"});
  dlg_.OpenForPhase("Gas", nullptr, "g");
  dlg_.CbxElChange(2);  // "H "
  EXPECT_EQ(Captions(dlg_.LVSrc), (std::vector<std::string>{"CH4 (g)", "H2O (g)"}));
  dlg_.CbxElEdited("O");
  EXPECT_EQ(Captions(dlg_.LVSrc), (std::vector<std::string>{"CO2 (g)", "H2O (g)", "CO (g)"}));
  dlg_.CbxElEdited("Cl");  // not selected: nothing consists of selected elements only
  EXPECT_TRUE(dlg_.LVSrc.empty());
  dlg_.CbxElEdited("");
  EXPECT_EQ(dlg_.LVSrc.size(), 4u);
  dlg_.CbxElChange(0);
  EXPECT_EQ(dlg_.LVSrc.size(), 4u);
}

TEST_F(CompoundsDlg, TheGridsCompoundsOpenInTheSystemListAndUnknownOnesAreMarked) {
  Select({"C", "H", "O"});
  const StringGrid grid = GasGrid({{"CO2 (g)", "2"}, {"XYZ (g)", "1"}, {"NaCl (s)"}, {"CO", "3"}});
  ASSERT_EQ(dlg_.OpenForPhase("Gas", &grid, "g"), 1);
  EXPECT_EQ(Captions(dlg_.LVDst),
            (std::vector<std::string>{"CO2 (g)", "XYZ (g)", "NaCl (s)", "CO (g)"}));
  EXPECT_EQ(dlg_.LVDst[1].description, " not found !");
  EXPECT_EQ(dlg_.LVDst[1].comment, " does not exist in database");
  EXPECT_EQ(dlg_.LVDst[1].recordText, "-1");
  EXPECT_EQ(dlg_.LVDst[2].record, 8);  // found although its elements are not selected
  EXPECT_EQ(Captions(dlg_.LVSrc), (std::vector<std::string>{"CH4 (g)", "H2O (g)"}));
  EXPECT_EQ(dlg_.GbxDatabase, "In Database: 6");
  EXPECT_EQ(dlg_.GbxSystem, "In System: 4");
  EXPECT_FALSE(dlg_.changed);
}

TEST_F(CompoundsDlg, RowsMoveBetweenTheListsFromTheLastSelectedOn) {
  Select({"C", "H", "O"});
  dlg_.OpenForPhase("Gas", nullptr, "g");
  dlg_.IncludeBtnClick({0, 2, 2});
  EXPECT_EQ(Captions(dlg_.LVDst), (std::vector<std::string>{"H2O (g)", "CH4 (g)"}));
  EXPECT_EQ(dlg_.GbxSystem, "In System: 2");
  EXPECT_TRUE(dlg_.changed);
  dlg_.MoveRow(TCompoundsDlg::kSystem, 0);
  EXPECT_EQ(Captions(dlg_.LVDst), std::vector<std::string>{"CH4 (g)"});
  EXPECT_EQ(dlg_.LVSrc.back().caption, "H2O (g)");
  dlg_.ExcludeBtnClick({0, 7});  // a row beyond the list is ignored
  EXPECT_TRUE(dlg_.LVDst.empty());
  EXPECT_EQ(dlg_.GbxDatabase, "In Database: 4");
  dlg_.ButtonCancelClick();
  EXPECT_FALSE(dlg_.changed);
  EXPECT_FALSE(dlg_.accepted);
}

TEST_F(CompoundsDlg, TheStatusBarShowsRecordReferencesAndTheRangeOfAllDatasets) {
  Select({"C", "O"});
  dlg_.OpenForPhase("Gas", nullptr, "g");
  dlg_.SelectRow(TCompoundsDlg::kSource, 0);
  ASSERT_EQ(dlg_.LVSrc[0].caption, "CO2 (g)");
  EXPECT_EQ(dlg_.StBar[0], "2");
  EXPECT_NE(dlg_.StBar[1].find("Tables 1998"), std::string::npos) << dlg_.StBar[1];
  EXPECT_EQ(dlg_.StBar[2], "25 < T [C] < 2726.85");
  dlg_.celsius = false;
  dlg_.SelectRow(TCompoundsDlg::kSource, 0);
  EXPECT_EQ(dlg_.StBar[2], "298.15 < T [K] < 3000");
}

TEST_F(CompoundsDlg, HeaderClicksSortCaseInsensitivelyAndFlipTheDirection) {
  Select({"C", "H", "O"});
  dlg_.OpenForPhase("Gas", nullptr, "*");
  dlg_.SortByColumn(TCompoundsDlg::kSource, 1);
  EXPECT_EQ(dlg_.LVSrc.front().description, "carbon dioxide");
  EXPECT_EQ(dlg_.LVSrc.back().description, "water");
  dlg_.SortByColumn(TCompoundsDlg::kSource, 1);
  EXPECT_EQ(dlg_.LVSrc.front().description, "water");
  dlg_.SortByColumn(TCompoundsDlg::kSource, 3);
  EXPECT_EQ(dlg_.LVSrc.front().record, 1);
  EXPECT_EQ(dlg_.LVSrc.back().record, 9);
}

TEST_F(CompoundsDlg, OkAfterRemovingOneOfThreeKeepsTheOthersAmounts) {
  Select({"C", "H", "O"});
  StringGrid grid = GasGrid({{"CH4 (g)", "1", "mol"}, {"CO2", "2", "g"}, {"H2O (g)", "3", ""}});
  dlg_.OpenForPhase("Gas", &grid, "g");
  ASSERT_EQ(Captions(dlg_.LVDst), (std::vector<std::string>{"CH4 (g)", "CO2 (g)", "H2O (g)"}));
  dlg_.MoveRow(TCompoundsDlg::kSystem, 0);
  dlg_.IncludeBtnClick({0});  // CO (g) joins
  dlg_.ButtonOkClick();
  EXPECT_TRUE(dlg_.accepted);
  dlg_.WriteBack(grid);
  ASSERT_EQ(grid.RowCount(), 4);
  EXPECT_EQ(grid.Row(1), (std::vector<std::string>{"CO2 (g)", "2", "g", ""}));
  EXPECT_EQ(grid.Row(2), (std::vector<std::string>{"H2O (g)", "3", "", ""}));
  EXPECT_EQ(grid.Row(3), (std::vector<std::string>{"CO (g)", "", "", ""}));
  EXPECT_EQ(grid.Cell(0, 0), "(g)");
}

TEST_F(CompoundsDlg, OkWithAnEmptySystemLeavesOneEmptyRow) {
  Select({"C", "O"});
  StringGrid grid = GasGrid({{"CO2 (g)", "2"}, {"CO (g)", "1"}});
  dlg_.OpenForPhase("Gas", &grid, "g");
  dlg_.ExcludeBtnClick({0, 1});
  dlg_.WriteBack(grid);
  ASSERT_EQ(grid.RowCount(), 2);
  EXPECT_EQ(grid.Row(1), (std::vector<std::string>(4, "")));
}

TEST_F(CompoundsDlg, WithoutADatabaseNothingOpens) {
  thermo_.Database().FreeDatabaseStore();
  thermo_.Database().InitDatabaseStore();
  Select({"C"});
  const StringGrid grid = GasGrid({{"CO2 (g)", "2"}});
  EXPECT_EQ(dlg_.OpenForPhase("Gas", &grid, "g"), 0);
  EXPECT_TRUE(Posted(281));
  EXPECT_TRUE(dlg_.LVSrc.empty());
  EXPECT_TRUE(dlg_.LVDst.empty());
}

TEST_F(CompoundsDlg, InsertingAddsOnlyNamesTheGridLacks) {
  StringGrid grid(3, 2);
  EXPECT_EQ(dlg_.InsertCompound("CO2", "(g)", grid), 1);  // the empty grid's first row
  EXPECT_EQ(grid.RowCount(), 2);
  EXPECT_EQ(grid.Cell(0, 1), "CO2 (g)");
  EXPECT_EQ(dlg_.InsertCompound("CO2", "(l)", grid), 0);  // the name is there already
  EXPECT_EQ(dlg_.InsertCompound("CO", "(g)", grid), 1);
  ASSERT_EQ(grid.RowCount(), 3);
  EXPECT_EQ(grid.Cell(0, 2), "CO (g)");
  grid.SetCell(0, 1, "");
  EXPECT_EQ(dlg_.InsertCompound("CH4", "(g)", grid), 1);  // an emptied row is filled first
  EXPECT_EQ(grid.Cell(0, 1), "CH4 (g)");
  EXPECT_EQ(grid.RowCount(), 3);
  EXPECT_TRUE(Posted(458));
}

TEST_F(CompoundsDlg, DistributingTakesTheCompoundsOfTheGridsPhase) {
  const StringGrid source = GasGrid({{"H2O (l)"}, {"CO2 (g)"}, {"NaCl (s)"}, {"XYZ"}});
  StringGrid liquid(3, 2);
  liquid.tag = 4;
  EXPECT_EQ(dlg_.DistributeCompounds(source, liquid), 1);
  EXPECT_EQ(liquid.Cell(0, 1), "H2O (l)");
  StringGrid gas(3, 2);
  gas.tag = 2;
  EXPECT_EQ(dlg_.DistributeCompounds(source, gas), 2);
  EXPECT_EQ(gas.Cell(0, 2), "CO2 (g)");
  StringGrid untagged(3, 2);
  EXPECT_EQ(dlg_.DistributeCompounds(source, untagged), 0);
}

TEST_F(CompoundsDlg, RememberedNamesAreTheTrimmedNamesOfTheTag) {
  StringGrid grid = GasGrid({{" CO2 (g) "}, {""}, {"CO (g)"}});
  grid.tag = 3;
  dlg_.RememberNames(grid);
  EXPECT_EQ(dlg_.RememberedNames(3), (std::vector<std::string>{"CO2 (g)", "CO (g)"}));
  EXPECT_TRUE(dlg_.RememberedNames(1).empty());
  EXPECT_TRUE(dlg_.RememberedNames(12).empty());
  EXPECT_EQ(dlg_.FindRecordByName("CO2", "(g)"), 2);
  EXPECT_EQ(dlg_.FindRecordByName("H2O", ""), 5);
  EXPECT_EQ(dlg_.FindRecordByName("H2O", "(s)"), -1);
}

}  // namespace
}  // namespace ploxen
