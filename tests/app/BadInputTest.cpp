// Bad input of batch runs: what is posted, what B1 receives, that no results are written and
// that the program neither crashes nor reports success.
#include <fstream>

#include <gtest/gtest.h>

#include "AppFixture.h"

namespace ploxen::test {
namespace {

class BadInput : public AppFixture {
 protected:
  /// Runs `book` and checks that only "error" in B1 changed and the exit status is 1.
  std::unique_ptr<TPloxen> RunWritingOnlyError(const std::string& book) {
    std::vector<std::string> before = SavedBook(book).AllCells();
    auto p = Start({"-x:", book, "-c:", "System"});
    std::vector<std::string> after = SavedBook(book).AllCells();
    // The examples hold the results of their last run: its status word goes, the rest stays.
    std::erase(before, "System!1,2=success");
    std::erase(after, "System!1,2=error");
    EXPECT_EQ(after, before);  // nothing but the status word changed
    EXPECT_FALSE(p->calc.calculationOk);
    EXPECT_EQ(p->main.ExitStatus(), 1);
    EXPECT_EQ(SavedBook(book).Cell("System", 1, 2), "error");
    return p;
  }
  /// Runs a Process example and checks the outcome of a refused run: "error" in B1, the
  /// results of the example's last run untouched, exit 1.
  std::unique_ptr<TPloxen> RunRefused(const std::string& book) {
    SavedBook example(book);
    const std::string oldResult = example.Cell("gas.1", 2, 3);
    auto p = RunWritingOnlyError(book);
    SavedBook saved(book);
    EXPECT_EQ(saved.Cell("gas.1", 2, 3), oldResult);
    return p;
  }
};

TEST_F(BadInput, ChainIntoAnotherWorkbookSavesBoth) {
  const std::string first = Example("Process");
  const std::string second = (dir / "Second.xlsx").string();
  std::filesystem::copy_file(first, second);
  EditBook(first,
           {{"System", 10, 2, "Second.xlsx"}, {"System", 10, 3, "System"}, {"System", 6, 3, "9"}});
  auto p = Start({"-x:", first, "-c:", "System"});
  EXPECT_EQ(p->main.ExitStatus(), 0);
  SavedBook a(first), b(second);
  EXPECT_NE(a.Cell("gas.1", 4, 3), "");
  EXPECT_NE(b.Cell("gas.1", 4, 3), "");
  EXPECT_EQ(b.Cell("System", 1, 2), "success");
  EXPECT_EQ(a.Cell("System", 6, 2), "1");
}

TEST_F(BadInput, PathThatDoesNotExist) {
  const std::string missing = (dir / "nowhere.xlsx").string();
  auto p = Start({"-x:", missing, "-c:", "System"});
  EXPECT_EQ(TextOf(*p, 432), missing + " can not be open");
  EXPECT_EQ(p->main.conditionSheet, 0);
  EXPECT_FALSE(p->main.programClosed);  // a failed parse leaves the program open
  EXPECT_EQ(p->main.ExitStatus(), 1);
  EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(BadInput, FileThatIsNotAWorkbook) {
  const std::string path = (dir / "notes.xlsx").string();
  std::ofstream(path) << "this is not a workbook\n";
  auto p = Start({"-x:", path, "-c:", "System"});
  EXPECT_EQ(TextOf(*p, 432), path + " can not be open");
  EXPECT_EQ(p->main.ExitStatus(), 1);
  EXPECT_EQ(FileBytes(path), "this is not a workbook\n");
}

TEST_F(BadInput, ConditionSheetThatDoesNotExist) {
  const std::string book = Example("Process");
  const std::string bytes = FileBytes(book);
  auto p = Start({"-x:", book, "-c:", "Nosheet"});
  EXPECT_EQ(TextOf(*p, 335), "Nosheet: (condition sheet) is  not found in " + book);
  EXPECT_FALSE(p->main.programClosed);
  EXPECT_EQ(p->main.ExitStatus(), 1);
  EXPECT_EQ(FileBytes(book), bytes);
  EXPECT_TRUE(std::find(statusLines.begin(), statusLines.end(),
                        "Nosheet: (condition sheet) is  not found in " + book) !=
              statusLines.end());
}

TEST_F(BadInput, ParametersWithoutBookOrSheet) {
  auto p = Start({"-c:", "System"});
  EXPECT_EQ(TextOf(*p, 268), "No any MS Excel file are defined in parameters");
  EXPECT_EQ(p->main.Caption, "Ploxen Mizzolith [ undefined]");
  EXPECT_TRUE(p->main.mainWindowVisible);
  const std::string book = Example("Process");
  auto q = Start({"-x:", book});
  EXPECT_EQ(TextOf(*q, 327), "Condition sheet is not defined in " + book);
  EXPECT_EQ(q->main.ExitStatus(), 1);
}

TEST_F(BadInput, NoParametersShowTheMainWindowQuietly) {
  auto p = Start({});
  EXPECT_FALSE(p->main.batchMode);
  EXPECT_TRUE(p->main.mainWindowVisible);
  EXPECT_EQ(p->main.conditionSheet, 0);
  EXPECT_FALSE(Posted(*p, 268));
  EXPECT_FALSE(Posted(*p, 711));
}

TEST_F(BadInput, UnknownCalculationKindIsRefusedAtStartUp) {
  const std::string book = Example("Process");
  EditBook(book, {{"System", 1, 1, "Process"}});
  auto p = Start({"-x:", book, "-c:", "System"});
  EXPECT_EQ(TextOf(*p, 486),
            "[Process.xlsx][System][A1]!= \"eql\"; != \"rcl\" unknown "
            "calculation system. Calculation break !");
  EXPECT_FALSE(Posted(*p, 711));
  EXPECT_EQ(p->main.ExitStatus(), 1);
  EXPECT_FALSE(p->main.starting);
}

TEST_F(BadInput, ReadOnlyMarkInAnyCase) {
  const std::string book = Example("Process");
  EditBook(book, {{"System", 1, 2, "RO"}, {"gas.1", 2, 3, "-"}, {"System", 2, 3, "-"}});
  auto p = Start({"-x:", book, "-c:", "System"});
  EXPECT_TRUE(p->calc.calculationOk);
  SavedBook saved(book);  // no results written over the marks
  EXPECT_EQ(saved.Cell("gas.1", 2, 3), "-");
  EXPECT_EQ(saved.Cell("System", 2, 3), "-");
}

TEST_F(BadInput, MissingPhaseSheet) {
  const std::string book = Example("Process");
  EditBook(book, {}, "liq.1", "water");
  auto p = RunRefused(book);
  EXPECT_EQ(TextOf(*p, 618), "Table: [liq.1] does not exist !");
}

TEST_F(BadInput, TextWhereNumbersBelong) {
  const std::string book = Example("Process");
  EditBook(book, {{"gas.1", 3, 2, "lots"}});
  auto p = RunRefused(book);
  EXPECT_EQ(TextOf(*p, 1134), "CO (g): irregular input value ");
  const std::string other = Example("Process");
  EditBook(other, {{"System", 2, 2, "hot"}});
  auto q = RunRefused(other);
  EXPECT_EQ(TextOf(*q, 1462), "Irregular Temperature Value");
}

TEST_F(BadInput, NegativeAmount) {
  const std::string book = Example("Process");
  EditBook(book, {{"gas.1", 2, 2, "-0.016"}});
  auto p = RunRefused(book);
  EXPECT_TRUE(Posted(*p, 1134));
}

TEST_F(BadInput, CompoundsMissingFromTheDatabase) {
  const std::string book = Example("Process");
  EditBook(book, {{"gas.1", 5, 1, "Phlogiston"}, {"sol.1", 2, 1, "Caloric"}});
  auto p = RunRefused(book);
  int misses = 0;
  for (const LogEntry& e : p->log.Entries()) misses += e.number == 1168;
  EXPECT_EQ(misses, 2);
  EXPECT_EQ(TextOf(*p, 1168), "[gas.1][A5]: Phlogiston (g) does not exist in the database !");
  EXPECT_EQ(TextOf(*p, 1551), "no calculation because errors");
  EXPECT_EQ(SavedBook(book).Cell("gas.1", 5, 1), "Phlogiston");
}

TEST_F(BadInput, ThirdGasSheet) {
  const std::string book = Example("Process");
  EditBook(book, {{"System", 4, 3, "gas.1"}, {"System", 4, 4, "gas.1"}});
  auto p = RunRefused(book);
  EXPECT_EQ(TextOf(*p, 514), "State of the phase must be defined in [A1] for:gas.1");
}

TEST_F(BadInput, MoreCompoundsThanTheKernelHolds) {
  const std::string book = Example("Process");
  std::vector<Edit> edits;
  for (int r = 2; r <= 2050; ++r) edits.push_back({"gas.1", r, 1, "N2"});
  edits.push_back({"gas.1", 2051, 1, "EOT"});
  EditBook(book, edits);
  auto p = Start({"-x:", book, "-c:", "System"});
  EXPECT_FALSE(p->calc.calculationOk);
  EXPECT_EQ(TextOf(*p, 1983), "[gas.1][A2050]: more than 2048 compounds in the system !");
  EXPECT_EQ(p->main.ExitStatus(), 1);
  EXPECT_EQ(SavedBook(book).Cell("System", 1, 2), "error");
}

TEST_F(BadInput, InverseRunWithDependentReferences) {
  const std::string book = Example("Inverse");
  EditBook(book, {{"gas.1", 5, 5, "abc"}});  // O2: C, H, N and O from three references
  auto p = RunWritingOnlyError(book);
  EXPECT_EQ(TextOf(*p, 703),
            "O2 (g)  ((g)) : Irregular activity, can not be regarded as reference");
  EXPECT_TRUE(Posted(*p, 288));
  EXPECT_EQ(TextOf(*p, 423), "No Calculation");
  EXPECT_TRUE(p->main.programClosed);  // a failed calculation still ends the batch run
}

TEST_F(BadInput, InverseRunWithACompoundMissingFromTheDatabase) {
  const std::string book = Example("Inverse");
  EditBook(book, {{"gas.1", 2, 1, "Phlogiston"}});
  auto p = RunWritingOnlyError(book);
  // A batch run cannot ask: the question gets the cautious answer, Cancel.
  ASSERT_EQ(p->dialogs.Requests().size(), 1u);
  EXPECT_EQ(p->dialogs.Requests()[0].title, "Invers Calculation");
  EXPECT_EQ(TextOf(*p, 340), "[gas.1][A2]: Phlogiston (g) does not exist in the database !");
  EXPECT_EQ(TextOf(*p, 418), "No Calculation because errors");
}

}  // namespace
}  // namespace ploxen::test
