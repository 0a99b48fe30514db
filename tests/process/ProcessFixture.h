// Fixture of the driver tests: the modules a calculation needs, the default database and an
// in-memory process workbook.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "MemoryWorkbook.h"
#include "chem/Periodica.h"
#include "kernel/EqKernel.h"
#include "process/EqlCalcX.h"
#include "support/AplMsg.h"
#include "support/AplStgs.h"
#include "support/ScriptedDialogs.h"
#include "thermo/TDynOprt.h"

namespace ploxen::test {

inline std::string DefaultDatabase() {
  return std::string(PLOXEN_SOURCE_DIR) + "/data/Ploxen.tdb";
}

class ProcessFixture : public ::testing::Test {
 protected:
  ProcessFixture()
      : settings(log),
        thermo(log, settings, elements, dialogs),
        kernel(log, elements),
        calc(log, kernel, thermo, elements) {
    log.SetFilter(6);
    log.SetNewestLast(true);
    thermo.OpenDatabase(DefaultDatabase());
    calc.SetWorkbook(&book);
    calc.showStatus = [this](const std::string& text, int) { statuses.push_back(text); };
  }

  /// The rows of a condition sheet of kind `kind` ("eql", "rcl") naming `phases` in row 4 and
  /// holding `row5` from B5 on.
  static std::vector<std::vector<std::string>> ConditionRows(
      const std::string& kind, const std::string& tLabel, const std::string& t,
      const std::string& p, const std::vector<std::string>& phases,
      const std::vector<std::string>& row5 = {}) {
    std::vector<std::string> row4 = {"Phases"};
    row4.insert(row4.end(), phases.begin(), phases.end());
    std::vector<std::string> fifth = {"Calculation Conditions"};
    fifth.insert(fifth.end(), row5.begin(), row5.end());
    return {{kind},
            {tLabel, t},
            {"P [bar]", p},
            row4,
            fifth,
            {"Count"},
            {"Precision"},
            {"Iterations Steps"},
            {"Visualisation"},
            {"Following Calculation"},
            {"Recorder"},
            {"EOT"}};
  }
  /// Adds a condition sheet and makes it the driver's condition sheet.
  int PlaceConditionSheet(const std::string& name,
                          const std::vector<std::vector<std::string>>& rows) {
    const int sheet = book.AddSheet(name, rows);
    calc.conditionSheet = sheet;
    calc.messageBook = book.name;
    calc.messageSheet = name;
    return sheet;
  }
  /// A condition sheet `name` at 25 °C and 1 bar naming the given phase sheets.
  int AddConditionSheet(const std::vector<std::string>& phases, const std::string& t = "25",
                        const std::string& p = "1", const std::string& name = "System") {
    return PlaceConditionSheet(name, ConditionRows("eql", "T [C]", t, p, phases));
  }

  /// A phase sheet with A1 `definition`, B1 `unit` and rows of name and amount.
  int AddPhaseSheet(const std::string& name, const std::string& definition,
                    const std::vector<std::pair<std::string, std::string>>& compounds,
                    const std::string& unit = "In [mol]", const std::string& c1 = "Out [mol]",
                    const std::string& d1 = "x", const std::string& i1 = "",
                    const std::string& j1 = "") {
    std::vector<std::vector<std::string>> rows = {
        {definition, unit, c1, d1, "f", "f.c.", "rel.", "inf.", i1, j1}};
    for (const auto& [compound, amount] : compounds) rows.push_back({compound, amount});
    rows.push_back({"EOT"});
    return book.AddSheet(name, rows);
  }

  /// Phase sheet "gas": methane with 10 % excess air and its usual products, then `more`.
  int AddCombustionGas(const std::vector<std::string>& more = {}) {
    std::vector<std::pair<std::string, std::string>> rows = {
        {"CH4", "1"}, {"O2", "2.2"}, {"N2", "8.28"}, {"CO2", ""}, {"CO", ""},
        {"H2O", ""},  {"H2", ""},    {"NO", ""},     {"OH", ""}};
    for (const std::string& name : more) rows.push_back({name, ""});
    return AddPhaseSheet("gas", "(g)", rows);
  }

  bool Posted(int number) const {
    const auto& e = log.Entries();
    return std::any_of(e.begin(), e.end(), [&](const LogEntry& x) { return x.number == number; });
  }
  int CountPosted(int number) const {
    const auto& e = log.Entries();
    return static_cast<int>(
        std::count_if(e.begin(), e.end(), [&](const LogEntry& x) { return x.number == number; }));
  }
  std::string TextOf(int number) const {
    for (const LogEntry& x : log.Entries()) {
      if (x.number == number) return x.text;
    }
    return "<not posted>";
  }

  TAplMsgWnd log;
  TAplStgsWnd settings;
  Periodica elements;
  ScriptedDialogs dialogs;
  TTDynOprtWnd thermo;
  TEqlKernel kernel;
  TEqlCalcWnd calc;
  MemoryWorkbook book;
  std::vector<std::string> statuses;
};

}  // namespace ploxen::test
