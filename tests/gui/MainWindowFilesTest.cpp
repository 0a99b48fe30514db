// The main window and workbook files: dropping files on it, the lock it keeps while results are
// unsaved, and the menu "Spreadsheet application".
#include <QAction>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <fstream>

#include "GuiFixture.h"
#include "app/CalcStartView.h"
#include "app/UserSettings.h"
#include "workbook/LockFile.h"

namespace ploxen::test {
namespace {

using MainWindowFiles = GuiFixture;

/// Drops `urls` on `window` as a file manager would: enter, then drop.
bool Drop(QWidget* window, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  const QPoint at = window->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window, &drop);
  return drop.isAccepted();
}

TEST_F(MainWindowFiles, DroppedWorkbooksAreOpenedAndTheLastIsSelected) {
  DesktopSession& s = Start();
  const std::string process = Example("Process");
  const std::string combustion = Example("Combustion");
  EXPECT_TRUE(Drop(s.main, {QUrl::fromLocalFile(QString::fromStdString(process)),
                            QUrl::fromLocalFile(QString::fromStdString(combustion))}));
  ASSERT_EQ(s.main->CbxXls()->count(), 2);
  EXPECT_EQ(s.main->CbxXls()->currentText(), "Combustion.xlsx");
  EXPECT_GT(s.main->CbxCond()->count(), 0);
  EXPECT_EQ(s.main->windowTitle(), "Ploxen Mizzolith [Combustion.xlsx]");
}

TEST_F(MainWindowFiles, ABadDropIsReportedAndTheOpenBookStays) {
  DesktopSession& s = Start();
  s.main->OpenFile(Example("Process"));
  const std::string bad = (dir / "broken.ods").string();
  { std::ofstream(bad) << "not a package"; }
  Drop(s.main, {QUrl::fromLocalFile(QString::fromStdString(bad)),
                QUrl::fromLocalFile(QString::fromStdString((dir / "missing.xlsx").string())),
                QUrl("https://example.org/book.xlsx")});
  EXPECT_TRUE(Posted(273));
  EXPECT_EQ(s.main->CbxXls()->count(), 1);
  EXPECT_EQ(s.main->CbxXls()->currentText(), "Process.xlsx");
  EXPECT_EQ(s.main->CbxCond()->currentText(), "System");
  // Something that is not a file is not taken at all.
  QMimeData text;
  text.setText("hello");
  QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  enter.ignore();
  QApplication::sendEvent(s.main, &enter);
  EXPECT_FALSE(enter.isAccepted());
}

TEST_F(MainWindowFiles, UnsavedResultsKeepALockUntilSavedOrTheWindowCloses) {
  DesktopSession& s = Start();
  const std::string path = Example("Process");
  s.main->OpenFile(path);
  s.main->Command("MnuSaveAfterCalculation")->trigger();  // off
  s.main->Command("ButtonCalculate")->trigger();
  ASSERT_TRUE(s.p->calc.calculationOk);
  EXPECT_EQ(CheckLock(path), LockState::kOwn);
  s.main->Command("MnuSave")->trigger();
  EXPECT_EQ(CheckLock(path), LockState::kNone);

  s.main->Command("ButtonCalculate")->trigger();
  EXPECT_EQ(CheckLock(path), LockState::kOwn);
  dialogs.QueueAnswer(kAnswerNo);  // close without saving
  EXPECT_TRUE(s.main->close());
  session.reset();  // the program ends
  EXPECT_FALSE(fs::exists(LockFilePath(path)));
}

TEST_F(MainWindowFiles, TheSpreadsheetApplicationMenuShowsAndRemembersTheChoice) {
  DesktopSession& s = Start();
  QAction* embedded = s.main->Command("MnuEmbedded");
  QAction* office = s.main->Command("MnuLibreOffice");
  ASSERT_TRUE(embedded && office);
  EXPECT_TRUE(embedded->isChecked());
  EXPECT_FALSE(office->isChecked());
  if (!ServerSelector::HasLibreOffice()) {
    EXPECT_FALSE(office->isEnabled());
    GTEST_SKIP() << "this build has no LibreOffice connection";
  }
  // An office stand-in that runs with one book open: the embedded engine behind the interface.
  auto stand = std::make_shared<EmbeddedServer>(s.p->log);
  BookHandle book = 0;
  ASSERT_TRUE(stand->OpenBook(Example("Combustion"), false, book));
  struct Factory : SpreadsheetServerFactory {
    std::shared_ptr<SpreadsheetServer> server;
    std::shared_ptr<SpreadsheetServer> Attach(const std::string&) override { return server; }
    std::shared_ptr<SpreadsheetServer> Start(const std::string&) override { return nullptr; }
  };
  auto factory = std::make_unique<Factory>();
  factory->server = stand;
  s.p->servers.SetLibreOfficeFactory(std::move(factory));
  s.main->OpenFile(Example("Process"));

  office->trigger();
  EXPECT_TRUE(office->isChecked());
  EXPECT_FALSE(embedded->isChecked());
  EXPECT_EQ(ReadMainWndSetting(s.p->settings, "OleObject"), "LibreOffice");
  ASSERT_EQ(s.main->CbxXls()->count(), 1);
  EXPECT_EQ(s.main->CbxXls()->currentText(), "Combustion.xlsx");

  embedded->trigger();
  EXPECT_TRUE(embedded->isChecked());
  EXPECT_EQ(s.main->CbxXls()->currentText(), "Process.xlsx");
  EXPECT_EQ(ReadMainWndSetting(s.p->settings, "OleObject"), "Excel.Application");
}

}  // namespace
}  // namespace ploxen::test
