// The desktop beside the user's LibreOffice: the book list shows the office's documents, and a
// save that finds the book open there offers the live connection, which calculates in the
// office's document without writing the file.
#include <gtest/gtest.h>

#include "../../app/AppFixture.h"
#include "ServerHarness.h"
#include "app/BookFiles.h"
#include "app/SpreadsheetChoice.h"
#include "workbook/LockFile.h"

#ifdef PLOXEN_WITH_UNO
namespace ploxen::test {
namespace {

class DesktopBesideTheOffice : public AppFixture {
 protected:
  void SetUp() override {
    office = FindSharedOffice();
    const std::string unusable = SharedOfficeUnusable(office);
    if (!unusable.empty()) GTEST_SKIP() << unusable;
    AppFixture::SetUp();
    p = Start({});
    p->xls.bookNotification = [this](int code) { p->main.OnBookNotification(code); };
    files = std::make_unique<TBookFiles>(p->log, p->xls, p->dialogs, &p->servers.Embedded());
    choice = std::make_unique<TSpreadsheetChoice>(p->log, p->settings, p->xls, p->main, *files);
  }
  int AsTheUser(const std::string& arguments) { return test::AsTheUser(office.pipe, arguments); }

  SharedOffice office;
  std::unique_ptr<TPloxen> p;
  std::unique_ptr<TBookFiles> files;
  std::unique_ptr<TSpreadsheetChoice> choice;
};

TEST_F(DesktopBesideTheOffice, TheLiveConnectionCalculatesInTheDocumentTheOfficeHolds) {
  const std::string book = Example("Process");
  const std::string before = FileBytes(book);
  ASSERT_GT(files->Open(book), 0);  // the embedded engine reads the file first
  ASSERT_EQ(AsTheUser("open " + book), 0);
  if (CheckLock(book) != LockState::kLive) GTEST_SKIP() << "the office keeps no lock file here";
  p->main.ShowBook("Process.xlsx");
  p->main.ButtonCalculate();
  ASSERT_TRUE(p->calc.calculationOk);
  ASSERT_TRUE(files->CurrentModified());

  p->dialogs.QueueAnswer(kAnswerYes);  // use the live connection
  EXPECT_EQ(files->SaveCurrent(), TBookFiles::kUseLiveConnection);
  EXPECT_EQ(FileBytes(book), before);
  ASSERT_TRUE(choice->UseLiveConnection(book, "System"));
  EXPECT_EQ(p->main.SelectedBook(), "Process.xlsx");
  p->calc.calculationOk = false;
  p->main.ButtonCalculate();
  EXPECT_TRUE(p->calc.calculationOk);
  const int gas = p->xls.FindSheet("gas.1");
  ASSERT_GT(gas, 0);
  EXPECT_NE(p->xls.ReadCell(gas, 4, 3), "");  // read from the office's document
  EXPECT_TRUE(choice->ShowInOffice());        // a headless office: nothing to bring forward
  EXPECT_EQ(FileBytes(book), before) << "saving is the user's, in the office";
  EXPECT_EQ(p->xls.CloseBook("Process.xlsx"), 1);
}

}  // namespace
}  // namespace ploxen::test
#endif
