// The state-function dialog on the example process workbook, through the workbook interface
// and the saved file.
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "process/SetStFn.h"
#include "process/XlsProcessWorkbook.h"

namespace ploxen::test {
namespace {

using StateFunctionSheet = AppFixture;

TEST_F(StateFunctionSheet, MolarMassesBesideTheCompoundsOfTheExample) {
  auto p = Start({});
  const std::string path = Example("Process");
  ASSERT_GT(p->xls.OpenBook(path), 0);
  XlsProcessWorkbook book(p->xls);
  p->calc.SetWorkbook(&book);
  TSetStFnDlg dlg(p->calc);
  dlg.conditionSheet = "System";
  dlg.CbxC.itemIndex = 1;  // "J"
  ASSERT_EQ(dlg.BtnSetClick(), 1);

  const int gas = p->xls.FindSheet("gas.1");
  EXPECT_EQ(p->xls.ReadCell(gas, 1, 10), "MW [g/mol]");
  EXPECT_NEAR(TextToFloat(p->xls.ReadCell(gas, 2, 10)), 16.043, 0.002);   // CH4
  EXPECT_NEAR(TextToFloat(p->xls.ReadCell(gas, 11, 10)), 64.064, 0.005);  // SO2
  EXPECT_EQ(p->xls.ReadCell(gas, 12, 10), "");                            // the "EOT" row
  EXPECT_EQ(p->xls.ReadCell(gas, 12, 1), "EOT");
  const int liquid = p->xls.FindSheet("liq.1");
  EXPECT_NEAR(TextToFloat(p->xls.ReadCell(liquid, 2, 10)), 18.015, 0.002);

  // The enthalpy in the default unit, at the 300 °C of the example, into column I.
  dlg.CbxF.itemIndex = kSfEnthalpy - 1;
  dlg.CbxFChange();
  dlg.CbxC.itemIndex = 0;
  ASSERT_EQ(dlg.BtnSetClick(), 1);
  ASSERT_EQ(p->xls.SaveBook("Process.xlsx"), 1);
  SavedBook saved(path);
  ASSERT_TRUE(saved.Ok());
  EXPECT_EQ(saved.Cell("sol.1", 1, 9),
            "H [kJ/kg] (300[\xC2\xB0"
            "C])");
  EXPECT_GT(saved.Number("sol.1", 2, 9), 0.0);  // graphite above 298 K
  EXPECT_EQ(saved.Cell("gas.1", 1, 10), "MW [g/mol]");
  EXPECT_EQ(saved.Cell("gas.1", 2, 2), "0.016");  // inputs untouched
}

}  // namespace
}  // namespace ploxen::test
