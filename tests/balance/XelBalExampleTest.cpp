// The element balance workbook of a calculated example: its formulas, evaluated with the process
// workbook open, give every element's moles in and out as the phase sheets and the balance
// table do; saved beside the process workbook, LibreOffice recalculates the same numbers.
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "../workbook/LibreOfficeSupport.h"
#include "balance/ElBalance.h"
#include "balance/ElBalanceOpen.h"
#include "balance/XelBal.h"
#include "chem/PTools.h"
#include "chem/Periodica.h"
#include "kernel/EqKernel.h"
#include "process/EqlCalcX.h"
#include "process/ExportBook.h"
#include "process/XlsProcessWorkbook.h"
#include "support/AplMsg.h"
#include "support/AplStgs.h"
#include "support/ScriptedDialogs.h"
#include "support/TablOprt.h"
#include "thermo/TDynOprt.h"
#include "workbook/EmbeddedServer.h"
#include "workbook/XlsObj.h"

namespace ploxen {
namespace {

using test::LibreOfficeMissing;
using test::RunCommand;

namespace fs = std::filesystem;

const char* const kPhases[] = {"gas.1", "liq.1", "sol.1"};
constexpr int kSumRow = 5;           // three phases: summary rows 2..4, "SUM" 5, "Diff" 6
constexpr double kPrecision = 0.01;  // B7 of the example workbook

class XelBalExample : public ::testing::Test {
 protected:
  XelBalExample()
      : settings(log),
        thermo(log, settings, elements, dialogs),
        kernel(log, elements),
        calc(log, kernel, thermo, elements),
        servers(log),
        xls(log, servers),
        process(xls),
        table(dialogs),
        exporter(log, table, servers),
        dlg(log, calc, thermo, elements, exporter) {}

  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fs::temp_directory_path() /
          ("ploxen_xelbal_" + std::to_string(::getpid()) + "_" + info->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path book = dir / "Process.xlsx";
    fs::copy_file(fs::path(PLOXEN_SOURCE_DIR) / "examples" / "Process.xlsx", book);
    log.SetFilter(6);
    log.SetNewestLast(true);
    thermo.OpenDatabase(std::string(PLOXEN_SOURCE_DIR) + "/data/Ploxen.tdb");
    ASSERT_GT(xls.OpenBook(book.string()), 0);
    // The molar masses go to column J, where the balance takes them from.
    for (const char* phase : kPhases) xls.WriteCell(xls.FindSheet(phase), 1, "MW [g/mol]", 10);
    calc.SetWorkbook(&process);
    calc.conditionSheet = xls.FindSheet("System");
    calc.messageBook = "Process.xlsx";
    calc.messageSheet = "System";
    calc.RunWorkbook();
    ASSERT_TRUE(calc.calculationOk) << calc.failureText;
    dlg.processBook = &process;
    dlg.conditionSheetName = "System";
    dlg.PrepareBalance();
    dlg.BtnBalanceClick(false);
    ASSERT_FALSE(dlg.CBE.empty());
  }
  void TearDown() override {
    if (!std::getenv("PLOXEN_KEEP")) fs::remove_all(dir);
  }

  /// Element moles in (column 2) or out (column 3) straight from the phase sheets in kg.
  double FromSheets(const std::string& symbol, int column) {
    double moles = 0.0;
    for (const char* phase : kPhases) {
      const int sheet = xls.FindSheet(phase);
      for (int r = 2; xls.ReadCell(sheet, r, 1) != "EOT"; ++r) {
        PhaseSplit split = SplitPhaseSuffix(xls.ReadCell(sheet, r, 1));
        if (split.phase == "(u)") split.phase = std::string("(") + phase[0] + ")";
        const std::string mol = thermo.Database().MolDefinitionOf(split.name, split.phase);
        moles += elements.ElementCount(symbol, mol) * TextToFloat(xls.ReadCell(sheet, r, column)) *
                 1000.0 / elements.MolarMass(mol);
      }
    }
    return moles;
  }

  /// Creates the balance of `symbol` and returns the engine's value of summary cell (row, col).
  void Create(const std::string& symbol, bool compact) {
    dlg.CBEIndex =
        static_cast<int>(std::find(dlg.CBE.begin(), dlg.CBE.end(), symbol) - dlg.CBE.begin());
    dlg.CbxCompact = compact;
    dlg.BtnBalanceClick(true);
    ASSERT_NE(exporter.Server(), nullptr);
    exporter.Server()->SheetItem(exporter.Book(), 1, summary);
  }
  double Summary(int row, int column) {
    std::string text;
    exporter.Server()->CellValue(summary, row, column, text);
    double v = 0.0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    EXPECT_TRUE(ec == std::errc() && p == text.data() + text.size())
        << row << "," << column << ": " << text;
    return v;
  }

  TAplMsgWnd log;
  TAplStgsWnd settings;
  Periodica elements;
  ScriptedDialogs dialogs;
  TTDynOprtWnd thermo;
  TEqlKernel kernel;
  TEqlCalcWnd calc;
  EmbeddedServerFactory servers;
  TXlsWnd xls;
  XlsProcessWorkbook process;
  TTablOprtWnd table;
  TExportBook exporter;
  TXelBalDlg dlg;
  SheetHandle summary = 0;
  fs::path dir;
};

TEST_F(XelBalExample, FormulasGiveTheElementMolesOfThePhaseSheetsAndTheTable) {
  TElBalanceDlg tableDlg(log, elements, thermo, dialogs, table, exporter);
  OpenElementBalance(calc, tableDlg);
  const std::vector<std::string> symbols = dlg.CBE;
  EXPECT_GE(symbols.size(), 5u);  // C, H, N, O, S
  for (const std::string& symbol : symbols) {
    SCOPED_TRACE(symbol);
    Create(symbol, true);
    const double in = Summary(kSumRow, 4), out = Summary(kSumRow, 5);
    EXPECT_NEAR(in, FromSheets(symbol, 2), 1e-7 * std::fabs(in));
    EXPECT_NEAR(out, FromSheets(symbol, 3), 1e-7 * std::fabs(out));
    EXPECT_NEAR(out, in, kPrecision * in);
    EXPECT_NEAR(Summary(kSumRow + 1, 5), out - in, 1e-9 * in);
    const double kg = elements.ElementWeight(elements.FindSymbol(symbol)) / 1000.0;
    EXPECT_NEAR(Summary(kSumRow, 6), in * kg, 1e-12 + 1e-9 * in * kg);
    EXPECT_NEAR(Summary(kSumRow, 7), out * kg, 1e-12 + 1e-9 * out * kg);

    tableDlg.CBEIndex = static_cast<int>(
        std::find(tableDlg.CBE.begin(), tableDlg.CBE.end(), symbol) - tableDlg.CBE.begin());
    tableDlg.ButtonUpdate();
    EXPECT_NEAR(in, tableDlg.TotalIn(), 1e-7 * std::fabs(in));
    EXPECT_NEAR(out, tableDlg.TotalOut(), 1e-7 * std::fabs(out));
  }
}

TEST_F(XelBalExample, FullLayoutGivesTheSameTotals) {
  for (const char* symbol : {"O", "S"}) {
    Create(symbol, true);
    const double in = Summary(kSumRow, 4), out = Summary(kSumRow, 5);
    Create(symbol, false);
    EXPECT_NEAR(Summary(kSumRow, 4), in, 1e-12 * in) << symbol;
    EXPECT_NEAR(Summary(kSumRow, 5), out, 1e-12 * out) << symbol;
    int sheets = 0;
    exporter.Server()->SheetCount(exporter.Book(), sheets);
    EXPECT_EQ(sheets, 4);
  }
}

TEST_F(XelBalExample, FormulasFollowTheProcessWorkbook) {
  Create("C", true);
  const double before = Summary(kSumRow, 4);
  // One more kilogram of carbon in the solid phase: 1000 / 12.011 mol of C more.
  const int sol = xls.FindSheet("sol.1");
  const double carbon = TextToFloat(xls.ReadCell(sol, 2, 2));
  ASSERT_EQ(xls.ReadCell(sol, 2, 1), "C");
  xls.WriteCell(sol, 2, FormatFloatFull(carbon + 1.0), 2);
  const double atom = elements.ElementWeight(elements.FindSymbol("C"));
  EXPECT_NEAR(Summary(kSumRow, 4) - before, 1000.0 / atom, 1e-6);
}

/// LibreOffice's numbers by (row, column) from a lo_balance dump; texts for error cells.
std::map<std::pair<int, int>, std::string> Shown(const std::string& dump) {
  std::map<std::pair<int, int>, std::string> cells;
  std::stringstream in(dump);
  std::string line;
  while (std::getline(in, line)) {
    std::stringstream ss(line);
    std::string row, col, kind, number, text;
    std::getline(ss, row, '\t');
    std::getline(ss, col, '\t');
    std::getline(ss, kind, '\t');
    std::getline(ss, number, '\t');
    std::getline(ss, text);
    if (kind.empty() || !IsFloatText(row)) continue;
    cells[{std::stoi(row), std::stoi(col)}] = kind == "n" ? number : text;
  }
  return cells;
}

TEST_F(XelBalExample, SavedBesideTheProcessWorkbookLibreOfficeGivesTheSameNumbers) {
  Create("C", true);
  ASSERT_EQ(exporter.SaveExportBook((dir / "Balance.xlsx").string()), 1);
  // The saved balance keeps its formulas, and the values of the process workbook it read.
  {
    TAplMsgWnd ownLog;
    EmbeddedServer reader(ownLog);
    BookHandle book = 0;
    ASSERT_TRUE(reader.OpenBook((dir / "Balance.xlsx").string(), false, book));
    SheetHandle sheet = 0;
    ASSERT_TRUE(reader.SheetItem(book, 1, sheet));
    EXPECT_EQ(reader.Engine().FormulaText(sheet, kSumRow - 1, 3), "=SUM(D2:D4)");
    EXPECT_EQ(reader.Engine().FormulaText(sheet, 14, 3).rfind("='[Process.xlsx]gas.1'!B", 0), 0u);
    reader.Engine().FullRecalculation();  // without the process workbook: from the link cache
    for (int col : {4, 5}) {
      std::string text;
      reader.CellValue(sheet, kSumRow, col, text);
      EXPECT_NEAR(TextToFloat(text), Summary(kSumRow, col), 1e-9 * Summary(kSumRow, col));
    }
  }
  // The process workbook changes after the balance was saved: one more kilogram of carbon.
  // LibreOffice must read it from the file beside the balance, not from the balance's cache.
  const int sol = xls.FindSheet("sol.1");
  xls.WriteCell(sol, 2, FormatFloatFull(TextToFloat(xls.ReadCell(sol, 2, 2)) + 1.0), 2);
  ASSERT_TRUE(xls.Server()->SaveBook(xls.CurrentBook()));

  const std::string missing = LibreOfficeMissing();
  if (!missing.empty()) GTEST_SKIP() << "LibreOffice comparison skipped: " << missing;
  const std::string script = std::string(PLOXEN_TEST_DATA_DIR) + "/balance/lo_balance.py";
  std::string dump;
  const std::string command = "cd '" + dir.string() + "' && /usr/bin/python3 '" + script +
                              "' Balance.xlsx C.System 4 5 6 7 2>&1";
  ASSERT_EQ(RunCommand(command, dump), 0) << dump;
  int compared = 0;
  for (const auto& [cell, shown] : Shown(dump)) {
    const auto [row, col] = cell;
    std::string engine;
    exporter.Server()->CellValue(summary, row, col, engine);
    if (row == 14 || engine.empty() || !IsFloatText(engine)) continue;  // headers
    SCOPED_TRACE("row " + std::to_string(row) + " column " + std::to_string(col));
    double lo = 0.0;
    auto [p, ec] = std::from_chars(shown.data(), shown.data() + shown.size(), lo);
    ASSERT_TRUE(ec == std::errc()) << "LibreOffice shows " << shown;
    const double v = TextToFloat(engine);
    EXPECT_NEAR(lo, v, 1e-12 + 1e-10 * std::fabs(v));
    ++compared;
  }
  EXPECT_GT(compared, 4 * 8);
}

}  // namespace
}  // namespace ploxen
