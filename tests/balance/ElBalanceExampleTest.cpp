// The element balance of calculated example workbooks: every element leaves the system as it
// came in, shares add up, and the tables go to a new workbook.
#include <cmath>
#include <cstdio>

#include <gtest/gtest.h>

#include "../app/AppFixture.h"
#include "balance/ElBalance.h"
#include "balance/ElBalanceOpen.h"

namespace ploxen::test {
namespace {

class ExampleBalance : public AppFixture {
 protected:
  /// Runs example `name` as a batch and opens its balance table.
  void Calculate(const std::string& name) {
    p = Start({"-x:", Example(name), "-c:", "System"});
    ASSERT_TRUE(p->calc.calculationOk);
    dlg = std::make_unique<TElBalanceDlg>(p->log, p->elements, p->thermo, p->dialogs, p->table,
                                          p->exportBook);
    OpenElementBalance(p->calc, *dlg);
  }

  /// Sum of the share column `col` over the "Sum" rows of the slots in use.
  double ShareSum(int col) const {
    double sum = 0.0;
    for (int k = 1; k <= 8; ++k) {
      if (!dlg->GridVisible(k)) continue;
      const StringGrid& g = dlg->Grid(k);
      EXPECT_EQ(g.Cell(0, g.RowCount() - 1), "Sum") << k;
      sum += TextToFloat(g.Cell(col, g.RowCount() - 1));
    }
    return sum;
  }

  /// Element [mol] in the input (1) or output (2) column of every occupied slot, counted from
  /// the amounts in kg.
  double FromKilograms(const std::string& symbol, int column) const {
    double moles = 0.0;
    for (int k = 1; k <= 8; ++k) {
      const TPhaseSlot& s = p->calc.slots[k];
      if (!s.occupied) continue;
      EXPECT_EQ(column == 1 ? s.inputUnit : s.outputUnit, 2) << k;
      for (int r = 1; r <= s.Rows(); ++r) {
        PhaseSplit split = SplitPhaseSuffix(Trim(s.grid.Cell(0, r)));
        if (split.phase == "(u)") split.phase = k <= 2 ? "(g)" : k <= 5 ? "(l)" : "(s)";
        const std::string mol = p->thermo.Database().MolDefinitionOf(split.name, split.phase);
        moles += p->elements.ElementCount(symbol, mol) * TextToFloat(s.grid.Cell(column, r)) *
                 1000.0 / p->elements.MolarMass(mol);
      }
    }
    return moles;
  }

  bool BalanceMessagePosted() const {
    for (const LogEntry& e : p->log.Entries()) {
      if (e.number == 318 || e.number == 350 || (e.number >= 327 && e.number <= 351)) return true;
    }
    return false;
  }

  std::unique_ptr<TPloxen> p;
  std::unique_ptr<TElBalanceDlg> dlg;
};

TEST_F(ExampleBalance, EveryElementLeavesAsItCameIn) {
  for (const std::string name : {"Process", "ConstantVolume"}) {
    SCOPED_TRACE(name);
    ASSERT_NO_FATAL_FAILURE(Calculate(name));
    ASSERT_FALSE(dlg->CBE.empty());
    double worst = 0.0;
    for (size_t i = 0; i < dlg->CBE.size(); ++i) {
      const std::string symbol = dlg->CBE[i];
      SCOPED_TRACE(symbol);
      dlg->CBEIndex = static_cast<int>(i);
      dlg->ButtonUpdate();
      ASSERT_GT(dlg->TotalIn(), 0.0);
      const double relative = std::fabs(dlg->TotalIn() - dlg->TotalOut()) / dlg->TotalIn();
      EXPECT_LT(relative, 0.01);
      worst = std::max(worst, relative);
      EXPECT_NEAR(ShareSum(4), 1.0, 1e-6);
      EXPECT_NEAR(ShareSum(8), 1.0, 1e-6);
      if (name == "Process") {
        EXPECT_NEAR(dlg->TotalIn(), FromKilograms(symbol, 1), 1e-9 * dlg->TotalIn());
        EXPECT_NEAR(dlg->TotalOut(), FromKilograms(symbol, 2), 1e-7 * dlg->TotalOut());
      }
    }
    EXPECT_FALSE(BalanceMessagePosted());
    std::printf("[ balance  ] %s: %zu elements, largest relative in/out difference %.3g\n",
                name.c_str(), dlg->CBE.size(), worst);
    RecordProperty(name + "_worst_relative_difference", std::to_string(worst));
  }
}

TEST_F(ExampleBalance, ProcessWorkbookElementsAndPhases) {
  ASSERT_NO_FATAL_FAILURE(Calculate("Process"));
  EXPECT_TRUE(dlg->open);
  EXPECT_EQ(dlg->CBE, (std::vector<std::string>{"C", "H", "N", "O", "S"}));
  for (int k : {1, 3, 6}) EXPECT_TRUE(dlg->GridVisible(k)) << k;
  for (int k : {2, 4, 5, 7, 8}) EXPECT_FALSE(dlg->GridVisible(k)) << k;
  EXPECT_EQ(dlg->TabCaption(3), "liq.1");
  dlg->CBEIndex = 4;
  dlg->ButtonUpdate();
  EXPECT_EQ(dlg->Caption, "Elementar Balance: S");
  // Sulphur enters as a solid and leaves in the gas.
  const StringGrid& sol = dlg->Grid(6);
  EXPECT_EQ(sol.Cell(0, 1), "S (s)");
  EXPECT_NEAR(TextToFloat(sol.Cell(2, 1)), 3.2 / p->elements.MolarMass("S1"), 1e-7);
  EXPECT_EQ(dlg->Grid(3).RowCount(), 2);  // no sulphur in the liquid
}

TEST_F(ExampleBalance, ToMsExcelWritesEveryVisibleGridToItsOwnSheet) {
  ASSERT_NO_FATAL_FAILURE(Calculate("Process"));
  dlg->CBEIndex = 0;
  dlg->ButtonUpdate();
  ASSERT_EQ(dlg->PopToExcel(), 1);
  SpreadsheetServer& s = *p->exportBook.Server();
  const BookHandle book = p->exportBook.Book();
  int sheets = 0;
  s.SheetCount(book, sheets);
  EXPECT_GE(sheets, 3);
  int sheet = 0;
  for (int k : {1, 3, 6}) {
    SheetHandle h = 0;
    std::string name, value;
    ASSERT_TRUE(s.SheetItem(book, ++sheet, h));
    s.SheetName(h, name);
    EXPECT_EQ(name, dlg->TabCaption(k));
    const StringGrid& g = dlg->Grid(k);
    s.CellValue(h, 1, 2, value);
    EXPECT_EQ(value, "Total [mol] (in) ");
    s.CellValue(h, g.RowCount(), 1, value);
    EXPECT_EQ(value, "Sum");
    s.CellValue(h, g.RowCount(), 3, value);
    EXPECT_NEAR(TextToFloat(value), TextToFloat(g.Cell(2, g.RowCount() - 1)), 1e-12);
  }
}

}  // namespace
}  // namespace ploxen::test
