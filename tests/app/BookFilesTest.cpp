// Workbook files of the desktop: unsaved results, a file changed or deleted on disk, closing.
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "AppFixture.h"
#include "app/BookFiles.h"

namespace ploxen::test {
namespace {

class BookFiles : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    p = Start({});
    files = std::make_unique<TBookFiles>(p->log, p->xls, p->dialogs);
    path = Example("Process");
    ASSERT_GT(files->Open(path), 0);
  }
  // Another program writes the file: a copy of the same example with B2 changed.
  void ChangeOnDisk(const std::string& b2) {
    TAplMsgWnd otherLog;
    EmbeddedServer other(otherLog);
    BookHandle book = 0;
    ASSERT_TRUE(other.OpenBook(path, false, book));
    SheetHandle sheet = 0;
    other.SheetItem(book, 1, sheet);
    other.SetCellValue(sheet, 2, 2, b2);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // a stamp of its own
    ASSERT_TRUE(other.SaveBook(book));
  }

  std::unique_ptr<TPloxen> p;
  std::unique_ptr<TBookFiles> files;
  std::string path;
};

TEST_F(BookFiles, AChangedFileIsLoadedAgainWhenNothingOfOursIsUnsaved) {
  EXPECT_EQ(files->ReloadIfChanged(), 0);
  ChangeOnDisk("777");
  EXPECT_EQ(files->ReloadIfChanged(), 1);
  EXPECT_EQ(p->xls.ReadCell(1, 2, 2), "777");
  EXPECT_TRUE(Posted(*p, 2161));
  EXPECT_TRUE(p->dialogs.Requests().empty());
  EXPECT_EQ(files->ReloadIfChanged(), 0);
}

TEST_F(BookFiles, UnsavedResultsAreKeptUnlessTheUserDropsThem) {
  p->xls.WriteCell(1, 3, "ours", 2);
  EXPECT_TRUE(files->CurrentModified());
  ChangeOnDisk("777");
  // No queued answer: the cautious "No" keeps our version.
  EXPECT_EQ(files->ReloadIfChanged(), -1);
  EXPECT_EQ(p->xls.ReadCell(1, 3, 2), "ours");
  ASSERT_EQ(p->dialogs.Requests().size(), 1u);
  EXPECT_EQ(files->ReloadIfChanged(), 0);  // asked once per change
  ChangeOnDisk("888");
  p->dialogs.QueueAnswer(kAnswerYes);
  EXPECT_EQ(files->ReloadIfChanged(), 1);
  EXPECT_EQ(p->xls.ReadCell(1, 2, 2), "888");
  EXPECT_EQ(p->xls.ReadCell(1, 3, 2), SavedBook(path).Cell("System", 3, 2));
}

TEST_F(BookFiles, ADeletedFileStaysOpenAndSaveWritesItAgain) {
  p->xls.WriteCell(1, 3, "kept", 2);
  fs::remove(path);
  EXPECT_EQ(files->ReloadIfChanged(), -1);
  EXPECT_TRUE(Posted(*p, 2162));
  EXPECT_EQ(p->xls.ReadCell(1, 3, 2), "kept");
  EXPECT_EQ(files->SaveCurrent(), 1);
  EXPECT_EQ(SavedBook(path).Cell("System", 3, 2), "kept");
  EXPECT_FALSE(files->CurrentModified());
}

TEST_F(BookFiles, ClosingAsksForUnsavedResultsAndCancelKeepsTheBook) {
  p->xls.WriteCell(1, 3, "result", 2);
  p->dialogs.QueueAnswer(kAnswerCancel);
  EXPECT_EQ(files->CloseCurrent(), 0);
  EXPECT_EQ(p->xls.BookName(), "Process.xlsx");
  EXPECT_FALSE(files->CloseAllowed());  // no answer queued: Cancel
  p->dialogs.QueueAnswer(kAnswerYes);
  EXPECT_TRUE(files->CloseAllowed());
  EXPECT_EQ(SavedBook(path).Cell("System", 3, 2), "result");
  EXPECT_EQ(files->CloseCurrent(), 1);  // saved: no question
  EXPECT_TRUE(p->xls.CbxBook.items.empty());
}

TEST_F(BookFiles, ACorruptFileIsRefusedAndTheOpenBookStays) {
  const std::string bad = (dir / "bad.xlsx").string();
  std::ofstream(bad) << "not a workbook";
  EXPECT_LT(files->Open(bad), 0);
  EXPECT_TRUE(Posted(*p, 273));
  EXPECT_EQ(p->xls.BookName(), "Process.xlsx");
}

TEST_F(BookFiles, ANewBookIsSavedUnderTheChosenName) {
  BookHandle book = 0;
  ASSERT_TRUE(p->xls.Server()->AddBook("Book2.xlsx", book));
  p->xls.ListBooks(-1);
  ASSERT_EQ(p->xls.SelectBook(2), 2);
  EXPECT_EQ(files->SaveCurrent(), 0);  // the dialog was cancelled
  const std::string target = (dir / "New.ods").string();
  p->dialogs.QueueFileName(target);
  EXPECT_EQ(files->SaveCurrent(), 1);
  EXPECT_EQ(p->xls.BookFullName(), target);
  EXPECT_TRUE(fs::exists(target));
}

}  // namespace
}  // namespace ploxen::test
