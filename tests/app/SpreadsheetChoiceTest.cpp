// The menu "Spreadsheet application": switching the book list between the embedded engine and
// a running LibreOffice (here a stand-in over an engine of its own), remembering the choice,
// showing the office, and the live connection for a book the office holds.
#include <gtest/gtest.h>

#include "../workbook/FaultyServer.h"
#include "AppFixture.h"
#include "app/BookFiles.h"
#include "app/SpreadsheetChoice.h"
#include "app/UserSettings.h"

namespace ploxen::test {
namespace {

/// The office as the interface sees it, counting the calls that bring its window forward.
class OfficeStandIn : public FaultyServer {
 public:
  using FaultyServer::FaultyServer;
  bool SetVisible(bool visible) override {
    if (visible) ++shown;
    return FaultyServer::SetVisible(visible);
  }
  bool ActivateSheet(SheetHandle sheet) override {
    activated = sheet;
    return FaultyServer::ActivateSheet(sheet);
  }
  int shown = 0;
  SheetHandle activated = 0;
};

/// Answers to LibreOffice's names with the stand-in while `running`.
class OfficeFactory : public SpreadsheetServerFactory {
 public:
  explicit OfficeFactory(std::shared_ptr<OfficeStandIn> office) : office_(std::move(office)) {}
  std::shared_ptr<SpreadsheetServer> Attach(const std::string& progId) override {
    return running && IsLibreOfficeProgId(progId) ? office_ : nullptr;
  }
  std::shared_ptr<SpreadsheetServer> Start(const std::string&) override { return nullptr; }
  bool running = true;

 private:
  std::shared_ptr<OfficeStandIn> office_;
};

class SpreadsheetChoice : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    p = Start({});
    p->xls.bookNotification = [this](int code) { p->main.OnBookNotification(code); };
    office = std::make_shared<OfficeStandIn>(std::make_shared<EmbeddedServer>(officeLog));
    auto factory = std::make_unique<OfficeFactory>(office);
    officeFactory = factory.get();
    p->servers.SetLibreOfficeFactory(std::move(factory));
    files = std::make_unique<TBookFiles>(p->log, p->xls, p->dialogs, &p->servers.Embedded());
    choice = std::make_unique<TSpreadsheetChoice>(p->log, p->settings, p->xls, p->main, *files);
    path = Example("Process");
  }
  /// The user has `file` open in the office.
  void OpenInOffice(const std::string& file) {
    BookHandle book = 0;
    ASSERT_TRUE(office->OpenBook(file, false, book));
  }

  TAplMsgWnd officeLog;
  std::shared_ptr<OfficeStandIn> office;
  OfficeFactory* officeFactory = nullptr;
  std::unique_ptr<TPloxen> p;
  std::unique_ptr<TBookFiles> files;
  std::unique_ptr<TSpreadsheetChoice> choice;
  std::string path;
};

TEST_F(SpreadsheetChoice, TheBookListFollowsTheChosenApplicationAndTheChoiceIsRemembered) {
  ASSERT_GT(files->Open(path), 0);
  const std::string other = Example("Combustion");
  OpenInOffice(other);
  EXPECT_EQ(choice->Current(), SpreadsheetApplication::kEmbedded);

  EXPECT_EQ(choice->Select(SpreadsheetApplication::kLibreOffice), 1);
  EXPECT_EQ(choice->Current(), SpreadsheetApplication::kLibreOffice);
  EXPECT_EQ(p->main.CbxXls, std::vector<std::string>{"Combustion.xlsx"});
  EXPECT_EQ(p->main.SelectedBook(), "Combustion.xlsx");
  EXPECT_FALSE(p->main.SelectedSheet().empty());
  EXPECT_EQ(ReadMainWndSetting(p->settings, "OleObject"), "LibreOffice");
  EXPECT_EQ(SelectedProgId(p->settings), "LibreOffice");               // a batch run follows it
  EXPECT_EQ(choice->Select(SpreadsheetApplication::kLibreOffice), 0);  // already chosen

  // Back to the engine: its book is still there.
  EXPECT_EQ(choice->Select(SpreadsheetApplication::kEmbedded), 1);
  EXPECT_EQ(p->main.CbxXls, std::vector<std::string>{"Process.xlsx"});
  EXPECT_EQ(ReadMainWndSetting(p->settings, "OleObject"), "Excel.Application");
}

TEST_F(SpreadsheetChoice, NoRunningOfficeLeavesAnEmptyListAndAMessage) {
  ASSERT_GT(files->Open(path), 0);
  officeFactory->running = false;
  EXPECT_EQ(choice->Select(SpreadsheetApplication::kLibreOffice), 1);
  EXPECT_TRUE(p->main.CbxXls.empty());
  EXPECT_TRUE(p->main.SelectedSheet().empty());
  EXPECT_TRUE(Posted(*p, 168));
  EXPECT_FALSE(choice->ShowInOffice());
}

TEST_F(SpreadsheetChoice, ShowingBringsTheOfficeForwardWithTheSelectedSheet) {
  OpenInOffice(path);
  EXPECT_FALSE(choice->ShowInOffice());  // the embedded engine has no window
  EXPECT_EQ(office->shown, 0);
  ASSERT_EQ(choice->Select(SpreadsheetApplication::kLibreOffice), 1);
  ASSERT_EQ(p->main.SelectedSheet(), "System");
  EXPECT_TRUE(choice->ShowInOffice());
  EXPECT_EQ(office->shown, 1);
  EXPECT_EQ(office->activated, p->xls.CurrentSheet());
}

TEST_F(SpreadsheetChoice, UnsavedResultsOfTheEngineAreSavedOrKeptBeforeTheSwitch) {
  ASSERT_GT(files->Open(path), 0);
  p->xls.WriteCell(1, 3, "result", 2);
  files->KeepLocks();
  p->dialogs.QueueAnswer(kAnswerCancel);
  EXPECT_EQ(choice->Select(SpreadsheetApplication::kLibreOffice), 0);
  EXPECT_EQ(choice->Current(), SpreadsheetApplication::kEmbedded);

  p->dialogs.QueueAnswer(kAnswerNo);  // keep them unsaved in the program
  EXPECT_EQ(choice->Select(SpreadsheetApplication::kLibreOffice), 1);
  EXPECT_TRUE(files->AnyUnsaved());
  EXPECT_EQ(files->HeldLocks().count(path), 1u);  // still ours while the office is shown
  // Ending the program now asks, and "No" keeps it open.
  EXPECT_FALSE(files->CloseAllowed());
  p->dialogs.QueueAnswer(kAnswerYes);
  EXPECT_TRUE(files->CloseAllowed());

  ASSERT_EQ(choice->Select(SpreadsheetApplication::kEmbedded), 1);
  EXPECT_EQ(p->xls.ReadCell(1, 3, 2), "result");
  p->dialogs.QueueAnswer(kAnswerYes);  // save this time
  EXPECT_EQ(choice->Select(SpreadsheetApplication::kLibreOffice), 1);
  EXPECT_EQ(SavedBook(path).Cell("System", 3, 2), "result");
  EXPECT_TRUE(files->HeldLocks().empty());
}

TEST_F(SpreadsheetChoice, TheLiveConnectionCalculatesInTheOfficesDocument) {
  ASSERT_GT(files->Open(path), 0);
  OpenInOffice(path);
  const std::string before = FileBytes(path);
  p->xls.WriteCell(1, 3, "ours", 2);  // the results the save could not write
  p->dialogs.ClearRequests();
  ASSERT_TRUE(choice->UseLiveConnection(path, "System"));
  EXPECT_TRUE(p->dialogs.Requests().empty());  // the user has just chosen: no more questions
  EXPECT_TRUE(files->AnyUnsaved());            // the engine's copy stays in the program
  EXPECT_EQ(choice->Current(), SpreadsheetApplication::kLibreOffice);
  EXPECT_EQ(p->main.SelectedBook(), "Process.xlsx");
  EXPECT_EQ(p->main.SelectedSheet(), "System");
  p->main.ButtonCalculate();
  EXPECT_TRUE(p->calc.calculationOk);
  // The results are in the office's document; the file is the office's to save.
  BookHandle book = 0;
  SheetHandle sheet = 0;
  ASSERT_TRUE(office->BookItem(1, book));
  ASSERT_TRUE(office->SheetItem(book, 1, sheet));
  EXPECT_TRUE(office->Inner().Engine().FindBook(book)->modified);
  EXPECT_EQ(FileBytes(path), before);
  EXPECT_FALSE(files->CurrentModified());  // nothing for "Save after calculation" to write
}

TEST_F(SpreadsheetChoice, TheLiveConnectionReportsABookTheOfficeDoesNotHold) {
  ASSERT_GT(files->Open(path), 0);
  EXPECT_FALSE(choice->UseLiveConnection(path, "System"));
  EXPECT_TRUE(Posted(*p, 2166));
}

}  // namespace
}  // namespace ploxen::test
