// The "State Functions and Properties" window: its lists follow the chosen function, "Set "
// writes the values into the phase sheets, and it opens only on a condition sheet.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "GuiFixture.h"
#include "app/CalcStartView.h"
#include "chem/PTools.h"
#include "process/SetStFnView.h"

namespace ploxen::test {
namespace {

using StateFunctions = GuiFixture;

/// Text of a cell of sheet `sheetName` of the current book.
std::string BookCell(DesktopSession& s, const std::string& sheetName, int row, int column) {
  SpreadsheetServer* server = s.p->xls.Server();
  SheetHandle sheet = 0;
  std::string text;
  if (server->SheetItem(s.p->xls.CurrentBook(), s.p->xls.FindSheet(sheetName), sheet)) {
    server->CellValue(sheet, row, column, text);
  }
  return text;
}

TEST_F(StateFunctions, TheChosenFunctionIsWrittenIntoTheChosenColumnOfEveryPhaseSheet) {
  DesktopSession& s = Start();
  s.main->OpenFile(Example("Process"));
  ASSERT_TRUE(s.main->Command("BtnStateFunc")->isEnabled());
  s.main->Command("BtnStateFunc")->trigger();
  TSetStFnDlgView* v = s.stateFunctions;
  ASSERT_TRUE(v->isVisible());
  EXPECT_EQ(v->windowTitle(), "State Functions and Properties");
  EXPECT_EQ(v->CbxC()->currentText(), "I");
  EXPECT_EQ(v->CbxF()->count(), 14);

  // The unit list follows the function; a function without units disables it.
  v->CbxF()->setCurrentIndex(8);  // "w: Acentric Factor"
  EXPECT_FALSE(v->CbxDim()->isEnabled());
  v->CbxF()->setCurrentIndex(2);  // "H: Enthalpy"
  EXPECT_TRUE(v->CbxDim()->isEnabled());
  EXPECT_EQ(v->CbxDim()->currentText(), "[kJ/kg]");
  v->CbxF()->setCurrentIndex(0);  // "Mol weight"
  EXPECT_EQ(v->CbxDim()->currentText(), "[g/mol]");
  v->CbxC()->setCurrentIndex(3);  // "L"
  EXPECT_EQ(s.p->setStFn.TargetColumn(), 12);

  QTest::mouseClick(v->BtnSet(), Qt::LeftButton);
  EXPECT_EQ(v->Status()->text(), "Data are written to sheets");
  for (const char* sheet : {"gas.1", "liq.1"}) {
    SCOPED_TRACE(sheet);
    EXPECT_EQ(BookCell(s, sheet, 1, 12), "MW [g/mol]");
    PhaseSplit split = SplitPhaseSuffix(Trim(BookCell(s, sheet, 2, 1)));
    if (split.phase == "(u)") split.phase = sheet[0] == 'g' ? "(g)" : "(l)";
    const std::string mol = s.p->thermo.Database().MolDefinitionOf(split.name, split.phase);
    ASSERT_FALSE(mol.empty()) << split.name;
    EXPECT_NEAR(TextToFloat(BookCell(s, sheet, 2, 12)), s.p->elements.MolarMass(mol), 1e-5);
  }

  // A state function names the temperature it was computed at in its header.
  v->CbxF()->setCurrentIndex(2);
  v->CbxDim()->setCurrentIndex(0);  // "[kJ/mol]"
  QTest::mouseClick(v->BtnSet(), Qt::LeftButton);
  const std::string header = BookCell(s, "gas.1", 1, 12);
  EXPECT_EQ(header.rfind("H [kJ/mol] (", 0), 0u) << header;
  EXPECT_FALSE(BookCell(s, "gas.1", 2, 12).empty());
}

TEST_F(StateFunctions, APhaseSheetSelectedInsteadOfAConditionSheetKeepsTheWindowClosed) {
  DesktopSession& s = Start();
  s.main->OpenFile(Example("Process"));
  const int gas = s.main->CbxCond()->findText("gas.1");
  ASSERT_GE(gas, 0);
  s.p->main.CbxCondIndex = gas;
  s.p->main.CbxCondChange(gas);
  s.main->Command("MnuStateFunctions1")->trigger();
  EXPECT_FALSE(s.stateFunctions->isVisible());
  EXPECT_TRUE(Posted(878));
  EXPECT_FALSE(s.p->calc.busy);
}

}  // namespace
}  // namespace ploxen::test
