// A batch run beside the user's LibreOffice: the process workbook is open there, the run
// calculates in it, and the results are in the office's document without reloading the file.
#include <gtest/gtest.h>

#include <fstream>

#include "../../app/AppFixture.h"
#include "ServerHarness.h"

#ifdef PLOXEN_WITH_UNO
namespace ploxen::test {
namespace {

class BesideTheOffice : public AppFixture {
 protected:
  void SetUp() override {
    office = FindSharedOffice();
    const std::string unusable = SharedOfficeUnusable(office);
    if (!unusable.empty()) GTEST_SKIP() << unusable;
    AppFixture::SetUp();
    // The user chose LibreOffice in the main window.
    TAplMsgWnd log;
    TAplStgsWnd settings(log);
    settings.SetDocumentsFolder((dir / "docs").string());
    std::ofstream(settings.UserSettingsPath()) << "[MainWnd]\nOleObject=LibreOffice\n";
  }

  SharedOffice office;
};

TEST_F(BesideTheOffice, ARunOnTheOpenBookWritesIntoItAndLeavesSavingToTheUser) {
  const std::string book = Example("Process");
  const std::string before = FileBytes(book);
  ASSERT_EQ(AsTheUser(office.pipe, "open " + book), 0);
  auto p = Start({"-x:", book, "-c:", "System"});
  EXPECT_EQ(p->xls.ProgId, "LibreOffice");
  EXPECT_TRUE(p->xls.Attached());
  EXPECT_TRUE(p->calc.calculationOk);
  EXPECT_TRUE(p->main.programClosed);
  // Read from the office's document, not from the file.
  ASSERT_GT(p->xls.OpenBook(book), 0);
  int system = p->xls.FindSheet("System");
  int gas = p->xls.FindSheet("gas.1");
  ASSERT_GT(system, 0);
  ASSERT_GT(gas, 0);
  EXPECT_EQ(p->xls.ReadCell(system, 1, 2), "success");
  EXPECT_NE(p->xls.ReadCell(gas, 4, 3), "");
  EXPECT_EQ(FileBytes(book), before) << "the user's book is not saved behind their back";
  EXPECT_EQ(p->xls.CloseBook("Process.xlsx"), 1);
}

TEST_F(BesideTheOffice, ABookTheRunOpenedIsSavedAndClosed) {
  const std::string book = Example("Process");
  auto p = Start({"-x:", book, "-c:", "System"});
  EXPECT_TRUE(p->xls.Attached());
  EXPECT_TRUE(p->calc.calculationOk);
  EXPECT_FALSE(p->main.saveFailed);
  EXPECT_EQ(p->xls.FindBook(book), 0) << "closed again";
  SavedBook saved(book);
  ASSERT_TRUE(saved.Ok());
  EXPECT_EQ(saved.Cell("System", 1, 2), "success");
  EXPECT_NE(saved.Cell("gas.1", 4, 3), "");
}

TEST_F(BesideTheOffice, APhaseSheetTheUserRenamedIsReportedAndNothingIsWritten) {
  const std::string book = Example("Process");
  const std::string before = FileBytes(book);
  ASSERT_EQ(AsTheUser(office.pipe, "open " + book), 0);
  // The example holds results of its own: a mark in one of them must stay.
  ASSERT_EQ(AsTheUser(office.pipe, "set Process.xlsx 1 C2 untouched"), 0);
  ASSERT_EQ(AsTheUser(office.pipe, "rename Process.xlsx 1 gas.2"), 0);
  auto p = Start({"-x:", book, "-c:", "System"});
  EXPECT_FALSE(p->calc.calculationOk);
  EXPECT_TRUE(Posted(*p, 618)) << "the condition sheet names a sheet that is gone";
  EXPECT_TRUE(p->main.programClosed) << "the run ends";
  ASSERT_GT(p->xls.OpenBook(book), 0);
  int gas = p->xls.FindSheet("gas.2");
  ASSERT_GT(gas, 0);
  EXPECT_EQ(p->xls.ReadCell(gas, 2, 3), "untouched") << "no results in the renamed sheet";
  EXPECT_EQ(FileBytes(book), before);
  EXPECT_EQ(p->xls.CloseBook("Process.xlsx"), 1);
}

TEST_F(BesideTheOffice, ADocumentTheUserClosesDuringARunEndsItWithAMessage) {
  const std::string book = Example("Process");
  const std::string before = FileBytes(book);
  ASSERT_EQ(AsTheUser(office.pipe, "open " + book), 0);
  // The user closes the book while the run reads its phase sheets.
  bool closed = false;
  auto p = std::make_unique<TPloxen>(4);
  p->settings.SetDocumentsFolder((dir / "docs").string());
  p->log.SetFilter(6);
  p->main.onStatusLine = [&](const std::string& text) {
    if (closed || text.rfind("Reading ", 0) != 0) return;
    closed = AsTheUser(office.pipe, "close Process.xlsx") == 0;
  };
  p->main.StartApplication({"-x:", book, "-c:", "System"});
  ASSERT_TRUE(closed) << "the run never read a phase sheet";
  EXPECT_FALSE(p->calc.calculationOk);
  bool critical = false;
  for (const LogEntry& e : p->log.Entries()) critical = critical || e.level <= kMsgError;
  EXPECT_TRUE(critical) << "the failure is posted";
  EXPECT_EQ(FileBytes(book), before) << "the file is untouched";
  EXPECT_TRUE(p->xls.Connected()) << "a closed document is not a lost connection";
}

}  // namespace
}  // namespace ploxen::test
#endif
