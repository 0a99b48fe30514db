// Element table, user element lines, mol definitions and phase suffixes.
#include "chem/Periodica.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace ploxen {
namespace {

TEST(ElementTable, BuiltInEntriesByAtomicNumber) {
  Periodica table;
  EXPECT_EQ(table.LastElementIndex(), 105);
  EXPECT_EQ(table.ElementSymbol(0), "E");
  EXPECT_EQ(table.ElementNumber(0), 1);
  EXPECT_DOUBLE_EQ(table.ElementWeight(0), 0.0005486);
  EXPECT_EQ(table.ElementSymbol(8), "O");
  EXPECT_EQ(table.ElementName(26), "Ferrum Iron");
  EXPECT_EQ(table.ElementName(80), "Hydrargyrum, Mercury");
  EXPECT_DOUBLE_EQ(table.ElementWeight(91), 231.0359);
  EXPECT_EQ(table.ElementSymbol(105), "Db");
  EXPECT_DOUBLE_EQ(table.ElementWeight(105), 262.1138);
  for (int i = 1; i <= 105; ++i) EXPECT_EQ(table.ElementNumber(i), i) << i;
}

TEST(ElementTable, IndexOutsideTableGivesEmptyOrZero) {
  Periodica table;
  EXPECT_EQ(table.ElementSymbol(-1), "");
  EXPECT_EQ(table.ElementSymbol(106), "");
  EXPECT_EQ(table.ElementWeight(-1), 0.0);
  EXPECT_EQ(table.ElementWeight(106), 0.0);
  EXPECT_EQ(table.ElementWeight(100000), 0.0);
  table.FreeElementTable();
  EXPECT_EQ(table.LastElementIndex(), -1);
  EXPECT_EQ(table.ElementSymbol(0), "");
  EXPECT_EQ(table.MolarMass("H2O1"), 0.0);
}

TEST(DefineElement, AppendsAndReportsTheReferenceFile) {
  Periodica table;
  table.SetReferenceFileName("Ploxen.ref");
  EXPECT_EQ(table.DefineElement("D", "Deuterium", 1, "", 2.01410175), 106);
  EXPECT_EQ(table.ElementMessage(), "New element D: Deuterium is given in Ploxen.ref");
  EXPECT_EQ(table.LastElementIndex(), 106);
  EXPECT_EQ(table.ElementNumber(106), 1);
  EXPECT_DOUBLE_EQ(table.ElementWeight(106), 2.01410175);
  EXPECT_DOUBLE_EQ(table.MolarMass("D2O1"), 2 * 2.01410175 + 15.9994);
}

TEST(DefineElement, ExistingSymbolIsNotAddedTwice) {
  Periodica table;
  EXPECT_EQ(table.DefineElement("He", "Other", 7, "", 9.0), 2);
  EXPECT_EQ(table.ElementMessage(), "He already exists");
  EXPECT_EQ(table.ElementName(2), "Helium");
  EXPECT_EQ(table.LastElementIndex(), 105);
  // Case-sensitive: "HE" is a new symbol.
  EXPECT_EQ(table.DefineElement("HE", "Upper", 0, "", 1.0), 106);
}

TEST(DefineElement, EmptySymbolIsRefusedSilently) {
  Periodica table;
  EXPECT_EQ(table.DefineElement("", "Nothing", 0, "", 1.0), -1);
  EXPECT_EQ(table.ElementMessage(), "");
}

TEST(DefineElement, ReplaceWritesThePositionOfTheNumber) {
  Periodica table;
  EXPECT_EQ(table.DefineElement("Xy", "Newname", 30, "Zn", 66.0), 30);
  EXPECT_EQ(table.ElementMessage(), "Zn is changed to -> Xy (Newname) !");
  EXPECT_EQ(table.ElementSymbol(30), "Xy");
  EXPECT_EQ(table.ElementNumber(30), 30);
  EXPECT_DOUBLE_EQ(table.ElementWeight(30), 66.0);
  // The replaced symbol may sit elsewhere: position `number` is what changes.
  EXPECT_EQ(table.DefineElement("Qq", "Other", 5, "Fe", 1.0), 5);
  EXPECT_EQ(table.ElementSymbol(5), "Qq");
  EXPECT_EQ(table.ElementSymbol(26), "Fe");
}

TEST(DefineElement, ReplacingAnUnknownSymbolFails) {
  Periodica table;
  EXPECT_EQ(table.DefineElement("Xy", "Name", 3, "Zw", 1.0), -1);
  EXPECT_EQ(table.ElementMessage(), "Zw does not exists- Xy(Name) is not replaced!");
  EXPECT_EQ(table.ElementSymbol(3), "Li");
}

TEST(DefineElement, ReplaceWithNumberOutsideTableAppends) {
  Periodica table;
  EXPECT_EQ(table.DefineElement("Xy", "Name", 300, "Zn", 1.0), 106);
  EXPECT_EQ(table.ElementNumber(106), 300);
  EXPECT_EQ(table.ElementSymbol(30), "Zn");
}

TEST(DefineElement, CapacityIs256Entries) {
  Periodica table;
  for (int i = table.Size(); i < Periodica::kCapacity; ++i) {
    const std::string symbol = "Q" + std::string(1, 'a' + i / 26 % 26) + char('a' + i % 26);
    ASSERT_EQ(table.DefineElement(symbol, "User", 0, "", 1.0), i) << symbol;
  }
  EXPECT_EQ(table.LastElementIndex(), 255);
  EXPECT_EQ(table.DefineElement("Zz", "One too many", 0, "", 1.0), -1);
  EXPECT_EQ(table.ElementMessage(), "No more element can be defined");
  EXPECT_EQ(table.LastElementIndex(), 255);
  // Replacing still works in a full table.
  EXPECT_EQ(table.DefineElement("Zz", "Swap", 255, "He", 1.0), 255);
}

TEST(ParseElementLine, FullLineDefinesTheElement) {
  Periodica table;
  table.SetReferenceFileName("x.ref");
  EXPECT_EQ(table.ParseElementLine("  Xy = Newium; n: 120; m= 300.5  "), 106);
  EXPECT_EQ(table.ElementSymbol(106), "Xy");
  EXPECT_EQ(table.ElementName(106), "Newium");
  EXPECT_EQ(table.ElementNumber(106), 120);
  EXPECT_DOUBLE_EQ(table.ElementWeight(106), 300.5);
  EXPECT_EQ(table.ElementMessage(), "New element Xy: Newium is given in x.ref");
  // Read again, as when the reference file is re-read.
  EXPECT_EQ(table.ParseElementLine("Xy = Newium; n: 120; m: 300.5"), 106);
  EXPECT_EQ(table.ElementMessage(), "Xy already exists");
}

TEST(ParseElementLine, ReplaceKeyIsTakenUntrimmed) {
  Periodica table;
  EXPECT_EQ(table.ParseElementLine("Xy = Name; n: 40; x:Zr"), 40);
  EXPECT_EQ(table.ElementSymbol(40), "Xy");
  EXPECT_EQ(table.ParseElementLine("Xw = Name; n: 41; x: Nb"), -1);
  EXPECT_EQ(table.ElementMessage(), " Nb does not exists- Xw(Name) is not replaced!");
}

TEST(ParseElementLine, CommentLineIsSkipped) {
  Periodica table;
  EXPECT_EQ(table.ParseElementLine("  # Xy = Name; n: 1"), 0);
  EXPECT_EQ(table.ElementMessage(), "");
  EXPECT_EQ(table.LastElementIndex(), 105);
}

TEST(ParseElementLine, SymbolChecksInOrder) {
  Periodica table;
  struct Case {
    const char* line;
    const char* message;
  };
  const Case cases[] = {
      {"Name; n: 1", "Name; n: 1: Element symbol must be given, like Xy, Zw (in Ploxen.sys) "},
      {" = Name;", "= Name;: Element symbol must be given, like Xy, Zw (in Ploxen.sys) "},
      {"xY = Name;", "xY: Element symbol must begin A .. Z: capital letter (given in Ploxen.sys) "},
      {"XY = Name;",
       "XY: Element symbol must not contain more than one capital letter (given in Ploxen.sys)"},
      {"Xy2 = Name;",
       "Xy2: Element symbol must not end with a number!, please use a..z lower case letter or "
       "paranthesis (given in Ploxen.sys)"},
      {"Xy- = Name;",
       "Xy-: Element symbol must not contain symbols of plus, minus, comma, dot: + - , . (given "
       "in Ploxen.sys)"},
      {"Xy = Name", "Xy: An element name should be given (given in Ploxen.sys) "},
      {"Xy = ; n: 1", "Xy: An element name should be given (given in Ploxen.sys) "},
  };
  for (const auto& c : cases) {
    EXPECT_LT(table.ParseElementLine(c.line), 0) << c.line;
    EXPECT_EQ(table.ElementMessage(), c.message) << c.line;
  }
  EXPECT_EQ(table.LastElementIndex(), 105);
}

TEST(ParseElementLine, KeysAreFoundAnywhereInTheLine) {
  Periodica table;
  // "n=" inside "Zn=" is taken as the number key.
  EXPECT_LT(table.ParseElementLine("Zn=Zinc2; m: 65"), 0);
  EXPECT_EQ(table.ElementMessage(),
            "Zn: Atom number of the new element(given in Ploxen.sys)  is possibly not correct!");
  EXPECT_LT(table.ParseElementLine("Xy = Name; n: 12.5"), 0);
  EXPECT_LT(table.ParseElementLine("Xy = Name; n: 1; m: 3,5"), 0);
  EXPECT_EQ(table.ElementMessage(),
            "Xy: Atom weight of the new element (given in Ploxen.sys) is possibly not correct!");
  EXPECT_LT(table.ParseElementLine("Xy = Name; m: 1e999"), 0);
  EXPECT_LT(table.ParseElementLine("Xy = Name; m: nan"), 0);
  EXPECT_EQ(table.LastElementIndex(), 105);
}

TEST(ElementCount, SkipsLongerSymbols) {
  Periodica table;
  EXPECT_EQ(table.ElementCount("C", "Cl2C1"), 1.0);
  EXPECT_EQ(table.ElementCount("Cl", "Cl2C1"), 2.0);
  EXPECT_EQ(table.ElementCount("H", "He1H2"), 2.0);
  EXPECT_EQ(table.ElementCount("C", "Ca1C3"), 3.0);
  EXPECT_EQ(table.ElementCount("H", "D2O1"), 0.0);
  EXPECT_EQ(table.ElementCount("D", "Db1"), 0.0);
  EXPECT_EQ(table.ElementCount("E", "Ne1"), 0.0);
}

TEST(ElementCount, CountForms) {
  Periodica table;
  EXPECT_EQ(table.ElementCount("H", "H2O"), 2.0);
  EXPECT_EQ(table.ElementCount("O", "H2O"), 0.0);
  EXPECT_EQ(table.ElementCount("E", "Na1E-1"), -1.0);
  EXPECT_EQ(table.ElementCount("C", "C1.5 O2"), 1.5);
  EXPECT_EQ(table.ElementCount("C", "C 1"), 0.0);
  EXPECT_EQ(table.ElementCount("C", "C+2"), 2.0);
  EXPECT_EQ(table.ElementCount("C", "C.5"), 0.5);
  EXPECT_EQ(table.ElementCount("O", "  C1O2  "), 2.0);
  EXPECT_EQ(table.ElementCount("", "C1"), 0.0);
  EXPECT_EQ(table.ElementCount("C", ""), 0.0);
  EXPECT_EQ(table.MolDefinitionError(), "");
}

TEST(ElementCount, IrregularCountGivesZeroAndIsRecorded) {
  Periodica table;
  EXPECT_EQ(table.ElementCount("C", "C1,5O2"), 0.0);
  EXPECT_EQ(table.MolDefinitionError(), "Irregular mol definition: C1,5O2");
  EXPECT_EQ(table.ElementCount("C", " C1.2.3 "), 0.0);
  EXPECT_EQ(table.MolDefinitionError(), "Irregular mol definition:  C1.2.3 ");
  EXPECT_EQ(table.ElementCount("O", "C1O2 3"), 0.0);  // "2 3" is no number
  EXPECT_EQ(table.MolDefinitionError(), "Irregular mol definition: C1O2 3");
  EXPECT_EQ(table.ElementCount("C", "C-"), 0.0);
  EXPECT_EQ(table.ElementCount("C", "C+-1"), 0.0);
  EXPECT_EQ(table.ElementCount("C", "C--1"), 0.0);
}

TEST(ElementCount, BadInputNeverGivesInfinity) {
  Periodica table;
  EXPECT_EQ(table.ElementCount("C", "C" + std::string(400, '9')), 0.0);
  EXPECT_EQ(table.ElementCount("C", "C1e999"), 1.0);  // "e" ends the count
  EXPECT_EQ(table.ElementCount("C", "C-1000000"), -1000000.0);
  EXPECT_EQ(table.ElementCount("C", "C\x01\xff#!"), 0.0);
  const std::string longDefinition(10000, 'C');
  EXPECT_EQ(table.ElementCount("C", longDefinition), 0.0);
  EXPECT_EQ(table.MolarMass(longDefinition), 0.0);
  std::string garbage;
  for (int i = 0; i < 10000; ++i) garbage += static_cast<char>(i * 37 % 256);
  EXPECT_TRUE(std::isfinite(table.MolarMass(garbage)));
}

TEST(MolarMass, SumsCountTimesWeight) {
  Periodica table;
  EXPECT_NEAR(table.MolarMass("H2O1"), 2 * 1.00794 + 15.9994, 1e-12);
  EXPECT_NEAR(table.MolarMass("Na1E-1"), 22.989768 - 0.0005486, 1e-12);
  EXPECT_NEAR(table.MolarMass("Cl2C1"), 2 * 35.4527 + 12.011, 1e-12);
  EXPECT_NEAR(table.MolarMass("C1O2"), 12.011 + 2 * 15.9994, 1e-12);
  EXPECT_EQ(table.MolarMass(""), 0.0);
  EXPECT_DOUBLE_EQ(table.MolarMass("H2O"), 2 * 1.00794);
}

TEST(SplitPhaseSuffix, Suffixes) {
  auto s = SplitPhaseSuffix("H2O (g)");
  EXPECT_EQ(s.name, "H2O");
  EXPECT_EQ(s.phase, "(g)");
  EXPECT_TRUE(s.ok);
  s = SplitPhaseSuffix("Fe(s)");
  EXPECT_EQ(s.name, "Fe");
  EXPECT_EQ(s.phase, "(s)");
  s = SplitPhaseSuffix("H2O(l)");
  EXPECT_EQ(s.phase, "(l)");
  s = SplitPhaseSuffix("H2O(G)");
  EXPECT_EQ(s.name, "H2O(G)");
  EXPECT_EQ(s.phase, "(u)");
  s = SplitPhaseSuffix("CO2(g) ");
  EXPECT_EQ(s.name, "CO2(g)");
  EXPECT_EQ(s.phase, "(u)");
  EXPECT_TRUE(s.ok);
}

TEST(SplitPhaseSuffix, EmptyNameIsNotOk) {
  auto s = SplitPhaseSuffix("(g)");
  EXPECT_EQ(s.name, "");
  EXPECT_EQ(s.phase, "(g)");
  EXPECT_FALSE(s.ok);
  s = SplitPhaseSuffix("  ");
  EXPECT_FALSE(s.ok);
  EXPECT_EQ(s.phase, "(u)");
  EXPECT_FALSE(SplitPhaseSuffix("").ok);
  EXPECT_EQ(SplitPhaseSuffix("g)").name, "g)");
}

}  // namespace
}  // namespace ploxen
