// "Empty Process" on the example process workbook: what is cleared, what is kept, and the
// sheets and answers that keep the workbook as it is.
#include <map>

#include <gtest/gtest.h>

#include "AppFixture.h"

namespace ploxen::test {
namespace {

using Cells = std::map<std::string, std::string>;  // "sheet!row,column" -> text

class EmptyProcess : public AppFixture {
 protected:
  // An interactive session with Process.xlsx open and its System sheet selected.
  void Open() {
    p = Start({});
    path = Example("Process");
    ASSERT_GT(p->xls.OpenBook(path), 0);
    p->main.CbxXls = p->xls.CbxBook.items;
    p->main.CbxXlsIndex = 0;
    p->main.CbxCond = p->xls.CbxSheet.items;
    p->main.CbxCondIndex = 0;
  }
  int Sheet(const std::string& name) { return p->xls.FindSheet(name); }
  void Put(const std::string& sheet, int row, int column, const std::string& text) {
    ASSERT_EQ(p->xls.WriteCell(Sheet(sheet), row, text, column), 1);
  }
  /// Outputs in C, D, E of every compound row, as a calculation leaves them.
  void FillOutputs() {
    for (const auto& [sheet, rows] :
         {std::pair<std::string, int>{"gas.1", 11}, {"liq.1", 2}, {"sol.1", 3}}) {
      for (int r = 2; r <= rows; ++r) {
        for (int c = 3; c <= 5; ++c) Put(sheet, r, c, std::to_string(r * 10 + c));
      }
    }
    Put("System", 6, 2, "7");
    Put("gas.1", 12, 3, "note below the list");
  }
  /// Every used cell of the book, as saved.
  Cells Snapshot() {
    EXPECT_EQ(p->xls.SaveBook("Process.xlsx"), 1);
    SavedBook saved(path);
    EXPECT_TRUE(saved.Ok());
    Cells cells;
    for (const std::string& cell : saved.AllCells()) {
      const size_t eq = cell.find('=');
      cells[cell.substr(0, eq)] = cell.substr(eq + 1);
    }
    return cells;
  }
  /// Cells that differ between two snapshots, as "key: before -> after".
  static std::vector<std::string> Changes(const Cells& before, const Cells& after) {
    std::vector<std::string> out;
    Cells all = before;
    all.insert(after.begin(), after.end());
    for (const auto& [key, unused] : all) {
      const auto b = before.find(key), a = after.find(key);
      const std::string x = b == before.end() ? "" : b->second;
      const std::string y = a == after.end() ? "" : a->second;
      if (x != y) out.push_back(key + ": " + x + " -> " + y);
    }
    return out;
  }
  void Run(int answer) {
    p->dialogs.QueueAnswer(answer);
    p->main.EmptyProcess(p->dialogs);
  }

  std::unique_ptr<TPloxen> p;
  std::string path;
};

// Only C, D and E of the compound rows and the counter B6 may change.
bool Clearable(const std::string& key) {
  if (key == "System!6,2") return true;
  const size_t bang = key.find('!'), comma = key.find(',');
  const std::string sheet = key.substr(0, bang);
  const int row = std::stoi(key.substr(bang + 1, comma - bang - 1));
  const int column = std::stoi(key.substr(comma + 1));
  const int last = sheet == "gas.1" ? 11 : sheet == "liq.1" ? 2 : sheet == "sol.1" ? 3 : 0;
  return row >= 2 && row <= last && column >= 3 && column <= 5;
}

TEST_F(EmptyProcess, ClearsTheOutputsOfACalculatedBookAndResetsTheCounter) {
  Open();
  Put("gas.1", 12, 4, "note below the list");
  p->main.ButtonCalculate();
  ASSERT_TRUE(p->calc.calculationOk);
  const Cells before = Snapshot();
  ASSERT_FALSE(before.at("gas.1!2,3").empty());  // CH4 out
  p->log.Clear();

  Run(kAnswerYes);
  const Cells after = Snapshot();
  const auto changes = Changes(before, after);
  EXPECT_FALSE(changes.empty());
  for (const std::string& change : changes) {
    EXPECT_TRUE(Clearable(change.substr(0, change.find(':')))) << change;
  }
  for (const auto& [key, text] : after) {
    if (key != "System!6,2") {
      EXPECT_FALSE(Clearable(key)) << key << " still holds " << text;
    }
  }
  EXPECT_EQ(after.at("System!6,2"), "0");
  EXPECT_EQ(after.at("gas.1!2,2"), before.at("gas.1!2,2"));  // input kept
  EXPECT_EQ(after.at("gas.1!2,8"), before.at("gas.1!2,8"));  // information kept
  EXPECT_EQ(after.at("gas.1!1,3"), before.at("gas.1!1,3"));  // header kept
  EXPECT_EQ(after.at("gas.1!12,4"), "note below the list");

  ASSERT_EQ(p->dialogs.Requests().size(), 1u);
  const DialogRequest& q = p->dialogs.Requests()[0];
  EXPECT_EQ(q.text, "Clear outputs in the sheets: [gas.1],[liq.1],[sol.1]");
  EXPECT_EQ(q.title, "Kestrano");
  EXPECT_EQ(q.buttons, DialogButtons::kYesNo);
  EXPECT_EQ(TextOf(*p, 361), "Outputs are deleting in [gas.1],[liq.1],[sol.1] please wait!");
  EXPECT_EQ(TextOf(*p, 403), "Outputs are deleted in [gas.1],[liq.1],[sol.1]");
}

TEST_F(EmptyProcess, SheetWithoutEndMarkIsLeftAlone) {
  Open();
  FillOutputs();
  Put("liq.1", 3, 1, "");  // the list now ends at an empty cell
  const Cells before = Snapshot();
  Run(kAnswerYes);
  const Cells after = Snapshot();
  EXPECT_EQ(TextOf(*p, 482), "liq.1 EOT is not defined, An error is possible !");
  EXPECT_EQ(after.at("liq.1!2,3"), before.at("liq.1!2,3"));
  EXPECT_EQ(after.at("liq.1!2,5"), before.at("liq.1!2,5"));
  EXPECT_EQ(after.count("gas.1!2,3"), 0u);  // the other sheets are cleared
  EXPECT_EQ(after.count("sol.1!3,5"), 0u);
  EXPECT_EQ(after.at("System!6,2"), "0");
  EXPECT_EQ(after.at("gas.1!12,3"), "note below the list");
}

TEST_F(EmptyProcess, SheetWithoutCompoundsNeedsNoClearing) {
  Open();
  FillOutputs();
  Put("sol.1", 2, 1, "EOT");  // only "(s)" and "EOT" remain
  Put("sol.1", 3, 1, "");
  Put("sol.1", 4, 1, "");
  const Cells before = Snapshot();
  Run(kAnswerYes);
  const Cells after = Snapshot();
  EXPECT_FALSE(Posted(*p, 482));
  EXPECT_EQ(after.at("sol.1!2,3"), before.at("sol.1!2,3"));  // beyond the list
  EXPECT_EQ(after.count("liq.1!2,4"), 0u);
}

TEST_F(EmptyProcess, RefusalsLeaveTheBookAsItIs) {
  Open();
  FillOutputs();
  const Cells before = Snapshot();

  Run(kAnswerNo);
  EXPECT_TRUE(Changes(before, Snapshot()).empty());
  EXPECT_FALSE(Posted(*p, 361));

  p->calc.busy = true;
  Run(kAnswerYes);
  EXPECT_EQ(TextOf(*p, 344), "Press button [stop], to break running calculation");
  EXPECT_TRUE(Changes(before, Snapshot()).empty());
  p->calc.busy = false;

  Put("System", 1, 1, "rcl");
  Run(kAnswerYes);
  EXPECT_EQ(TextOf(*p, 720), "[Process.xlsx][System][A1]=eql  must be an equilibrium system.");
  Put("System", 1, 1, "eql");
  EXPECT_TRUE(Changes(before, Snapshot()).empty());

  p->main.CbxCondIndex = -1;  // no condition sheet selected
  Run(kAnswerYes);
  EXPECT_TRUE(Posted(*p, 720));
  p->main.CbxCondIndex = 0;

  for (int c = 2; c <= 4; ++c) Put("System", 4, c, "");
  Run(kAnswerYes);
  EXPECT_EQ(TextOf(*p, 593), "No any phases to clear in [System]");
  for (const auto& [c, name] :
       {std::pair<int, const char*>{2, "gas.1"}, {3, "liq.1"}, {4, "sol.1"}}) {
    Put("System", 4, c, name);
  }
  EXPECT_TRUE(Changes(before, Snapshot()).empty());
  EXPECT_EQ(p->dialogs.Requests().size(), 1u);  // only the question answered with No
}

TEST_F(EmptyProcess, MissingPhaseSheetIsReportedAndTheOthersCleared) {
  Open();
  FillOutputs();
  Put("System", 4, 3, "gone");
  Put("System", 4, 5, "EOT");  // the row's end mark names no sheet
  Run(kAnswerYes);
  EXPECT_EQ(TextOf(*p, 587), "No any access to sheet [gone]!");
  EXPECT_EQ(p->dialogs.Requests().back().text,
            "Clear outputs in the sheets: [gas.1],[gone],[sol.1]");
  EXPECT_EQ(TextOf(*p, 403), "Outputs are deleted in [gas.1],[gone],[sol.1]");
  const Cells after = Snapshot();
  EXPECT_EQ(after.count("gas.1!11,4"), 0u);
  EXPECT_EQ(after.count("sol.1!2,3"), 0u);
  EXPECT_EQ(after.at("liq.1!2,3"), "23");  // no longer named: untouched
  EXPECT_EQ(after.at("System!6,2"), "0");
}

}  // namespace
}  // namespace ploxen::test
