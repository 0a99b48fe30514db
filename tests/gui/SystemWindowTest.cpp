// The "Thermodynamic System" window after a calculation of the process example: what it shows,
// edits, sorts, the clipboard in both forms, removing compounds and pastes that do not fit.
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

#include <fstream>
#include <random>

#include "GuiFixture.h"
#include "app/CalcStartView.h"
#include "gui/StringGridModel.h"
#include "process/EqlCalcXView.h"

namespace ploxen::test {
namespace {

class SystemWindow : public GuiFixture {
 protected:
  /// A session that calculated examples/Process.xlsx and opened the system window.
  TEqlCalcWndView& Calculated() {
    DesktopSession& s = Start();
    s.main->OpenFile(Example("Process"));
    s.main->Command("ButtonCalculate")->trigger();
    EXPECT_TRUE(s.p->calc.calculationOk);
    s.main->Command("MnuThermodynamicSystem")->trigger();
    return *s.system;
  }
  TEqlCalcWnd& Calc() { return session->p->calc; }
  /// The first occupied slot.
  int Slot() {
    for (int k = 1; k <= kSlotCount; ++k) {
      if (Calc().slots[k].occupied) return k;
    }
    return 0;
  }
  /// Selects grid cells (left, top)..(right, bottom) in the view.
  void SelectCells(TEqlCalcWndView& w, int slot, GridRect r) {
    QTableView* view = w.Grid(slot);
    StringGridModel* m = w.Model(slot);
    const int fc = Calc().slots[slot].grid.fixedCols;
    view->setCurrentIndex(m->index(r.top - 1, r.left - fc));
    view->selectionModel()->select(
        QItemSelection(m->index(r.top - 1, r.left - fc), m->index(r.bottom - 1, r.right - fc)),
        QItemSelectionModel::ClearAndSelect);
  }
  std::string ViewText(TEqlCalcWndView& w, int slot, int column, int row) {
    const int fc = Calc().slots[slot].grid.fixedCols;
    return w.Model(slot)->index(row - 1, column - fc).data().toString().toStdString();
  }
};

TEST_F(SystemWindow, ShowsTheCalculatedSystemAndItsSelection) {
  TEqlCalcWndView& w = Calculated();
  EXPECT_EQ(w.windowTitle(), "Thermodynamic System");
  EXPECT_EQ(w.EditTsys()->text().toStdString(), Calc().EditTsys);
  EXPECT_EQ(w.CbxPV()->currentIndex(), Calc().CbxPV);
  EXPECT_FALSE(w.CbxPV()->isEnabled());
  EXPECT_EQ(w.BtnCalc()->text(), "Calculation");
  int visible = 0;
  for (int k = 1; k <= kSlotCount; ++k) {
    const TPhaseSlot& s = Calc().slots[k];
    EXPECT_EQ(w.Tabs()->isTabVisible(k - 1), s.tabVisible) << k;
    if (!s.occupied) continue;
    ++visible;
    EXPECT_EQ(w.Tabs()->tabText(k - 1).toStdString(), s.sheetName);
    ASSERT_EQ(w.Model(k)->rowCount(), s.Rows());
    for (int r = 1; r <= s.Rows(); ++r) {
      EXPECT_EQ(w.Model(k)->headerData(r - 1, Qt::Vertical).toString().toStdString(),
                s.grid.Cell(gc::kName, r));
      EXPECT_EQ(ViewText(w, k, gc::kOutput, r), s.grid.Cell(gc::kOutput, r));
      // Every result column of a calculated compound is shown: composition, fugacity or
      // activity, and its state.
      for (int c : {gc::kComposition, gc::kActivity, gc::kInfo}) {
        EXPECT_FALSE(s.grid.Cell(c, r).empty()) << s.sheetName << " row " << r << " column " << c;
        EXPECT_EQ(ViewText(w, k, c, r), s.grid.Cell(c, r)) << s.sheetName << " row " << r;
      }
    }
  }
  EXPECT_GE(visible, 2);
  const int slot = Slot();
  SelectCells(w, slot, {2, 1, 2, 1});
  EXPECT_EQ(w.StatusPanel(0)->text(), "2: 1");
  EXPECT_EQ(w.StatusPanel(1)->text().toStdString(), Calc().slots[slot].grid.Cell(2, 0));
  EXPECT_EQ(w.StatusPanel(2)->text().toStdString(), Calc().slots[slot].grid.Cell(0, 1));
  // The session connects the items that open other windows.
  EXPECT_TRUE(w.Command("MnuElements1")->isEnabled());
  EXPECT_TRUE(w.Command("MnuEBalance")->isEnabled());
  EXPECT_TRUE(w.Command("MnuPlot")->isVisible());
  EXPECT_FALSE(w.Command("MnuTemp")->isVisible());
}

TEST_F(SystemWindow, EditsReachTheModelAndTheNextWindowRunUsesThem) {
  TEqlCalcWndView& w = Calculated();
  const int slot = Slot();
  w.EditTsys()->clear();
  QTest::keyClicks(w.EditTsys(), "abc");
  EXPECT_EQ(Calc().EditTsys, "abc");
  QTest::mouseClick(w.BtnCalc(), Qt::LeftButton);
  EXPECT_TRUE(Posted(1462));
  EXPECT_FALSE(Calc().calculationOk);
  w.EditTsys()->clear();
  QTest::keyClicks(w.EditTsys(), "500");
  // A cell typed in the grid lands in the slot grid.
  QTableView* view = w.Grid(slot);
  const QModelIndex input = w.Model(slot)->index(0, gc::kInput - 1);
  view->setCurrentIndex(input);
  view->edit(input);
  auto* editor = qobject_cast<QLineEdit*>(view->indexWidget(input));
  ASSERT_NE(editor, nullptr);
  editor->setText("0.5");
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();  // the delegate commits through a queued call
  EXPECT_EQ(Calc().slots[slot].grid.Cell(gc::kInput, 1), "0.5");
  QTest::mouseClick(w.BtnCalc(), Qt::LeftButton);
  EXPECT_TRUE(Calc().calculationOk) << Calc().failureText;
  EXPECT_EQ(Calc().messageSheet, "internal");
  EXPECT_EQ(w.BtnCalc()->text(), "Calculation");
}

TEST_F(SystemWindow, PopupShowsHeadersAndSortsAndChangesUnits) {
  TEqlCalcWndView& w = Calculated();
  const int slot = Slot();
  const StringGrid& g = Calc().slots[slot].grid;
  w.PreparePopup(slot);
  EXPECT_EQ(w.Command("Sortby1")->text().toStdString(), g.Cell(1, 0));
  EXPECT_EQ(w.Command("Sortby2")->text().toStdString(), g.Cell(2, 0));
  EXPECT_TRUE(w.Command("FixCol1")->isChecked());
  w.Command("Sortby2")->trigger();
  for (int r = 2; r <= g.RowCount() - 1; ++r) {
    EXPECT_GE(TTablOprtWnd::CellValue(ViewText(w, slot, gc::kOutput, r - 1)),
              TTablOprtWnd::CellValue(ViewText(w, slot, gc::kOutput, r)));
  }
  w.Command("PopDimIn2")->trigger();
  EXPECT_EQ(w.Model(slot)->headerData(0, Qt::Horizontal).toString(), "In [kg]");
  EXPECT_EQ(Calc().slots[slot].inputUnit, 2);
  // Without the fixed column the names become cells of their own.
  const int columns = w.Model(slot)->columnCount();
  w.Command("FixCol1")->trigger();
  EXPECT_EQ(w.Model(slot)->columnCount(), columns + 1);
  w.PreparePopup(slot);
  EXPECT_FALSE(w.Command("FixCol1")->isChecked());
}

TEST_F(SystemWindow, CopyPutsTextAndHtmlAndPasteReadsText) {
  TEqlCalcWndView& w = Calculated();
  const int slot = Slot();
  const StringGrid& g = Calc().slots[slot].grid;
  SelectCells(w, slot, {1, 1, 2, 2});
  w.Command("PopupCopy1")->trigger();
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  const std::string text =
      g.Cell(1, 1) + "\t" + g.Cell(2, 1) + "\n" + g.Cell(1, 2) + "\t" + g.Cell(2, 2);
  EXPECT_EQ(data->text().toStdString(), text);
  ASSERT_TRUE(data->hasHtml());
  EXPECT_EQ(data->html().toStdString(), TTablOprtWnd::HtmlTable(g, 1, 1, 2, 2));
  // Ctrl+C in the grid copies the same way.
  QGuiApplication::clipboard()->clear();
  QTest::keyClick(w.Grid(slot), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), text);

  const int rows = g.RowCount();
  QGuiApplication::clipboard()->setText("7\t8\n9\t10\n11\t12");
  SelectCells(w, slot, {1, rows - 1, 1, rows - 1});
  w.Command("PopupPaste1")->trigger();
  EXPECT_EQ(g.RowCount(), rows + 2);
  EXPECT_EQ(g.Cell(1, rows - 1), "7");
  EXPECT_EQ(g.Cell(2, rows + 1), "12");
  EXPECT_EQ(ViewText(w, slot, 2, rows + 1), "12");
}

TEST_F(SystemWindow, RemoveFromSystemFollowsTheAnswer) {
  TEqlCalcWndView& w = Calculated();
  const int slot = Slot();
  const StringGrid& g = Calc().slots[slot].grid;
  ASSERT_GE(g.RowCount(), 4);
  const int rows = g.RowCount();
  const std::string first = g.Cell(0, 1), second = g.Cell(0, 2), third = g.Cell(0, 3);
  SelectCells(w, slot, {1, 1, 3, 2});
  dialogs.QueueAnswer(kAnswerNo);
  w.Command("Remove1")->trigger();
  EXPECT_EQ(dialogs.Requests().back().text,
            "Remove from system  " + first + "  .. " + second + " ?");
  EXPECT_EQ(g.RowCount(), rows);
  dialogs.QueueAnswer(kAnswerYes);
  w.Command("Remove1")->trigger();
  EXPECT_EQ(g.RowCount(), rows - 2);
  EXPECT_EQ(g.Cell(0, 1), third);
  EXPECT_EQ(w.Model(slot)->rowCount(), rows - 3);
  EXPECT_EQ(w.Model(slot)->headerData(0, Qt::Vertical).toString().toStdString(), third);
}

TEST_F(SystemWindow, TenMegabytesOfTextOrBinaryDataNeitherCrashNorBuryTheGrid) {
  TEqlCalcWndView& w = Calculated();
  const int slot = Slot();
  const StringGrid& g = Calc().slots[slot].grid;
  const int rows = g.RowCount();
  const std::string name = g.Cell(0, 1);
  SelectCells(w, slot, {1, 1, 1, 1});
  std::string lines;
  while (lines.size() < 10'000'000) lines += "1.5\t2.5\r\n";
  QGuiApplication::clipboard()->setText(QString::fromStdString(lines));
  w.Command("PopupPaste1")->trigger();
  EXPECT_TRUE(Posted(2361));
  EXPECT_EQ(g.RowCount(), rows);
  EXPECT_EQ(g.Cell(0, 1), name);

  std::mt19937 random(17);
  QByteArray bytes(10'000'000, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  auto* binary = new QMimeData;
  binary->setData("application/octet-stream", bytes);
  QGuiApplication::clipboard()->setMimeData(binary);
  w.Command("PopupPaste1")->trigger();
  EXPECT_EQ(dialogs.Requests().back().text, "Unknown format in clipboard");
  EXPECT_EQ(g.RowCount(), rows);

  // The same bytes offered as text: whatever is taken stays within the kernel's capacity.
  auto* asText = new QMimeData;
  asText->setData("text/plain", bytes);
  QGuiApplication::clipboard()->setMimeData(asText);
  w.Command("PopupPaste1")->trigger();
  EXPECT_LE(g.RowCount(), TEqlCalcWnd::kMaxPastedRows);
  EXPECT_EQ(g.Cell(0, 1), name);
  EXPECT_EQ(w.Model(slot)->rowCount(), g.RowCount() - 1);
}

TEST_F(SystemWindow, CtrlPressGrowsTheSelectionRectangle) {
  TEqlCalcWndView& w = Calculated();
  const int slot = Slot();
  const StringGrid& g = Calc().slots[slot].grid;
  ASSERT_GE(g.RowCount(), 4);
  w.resize(900, 600);
  SelectCells(w, slot, {1, 1, 1, 1});
  QTableView* view = w.Grid(slot);
  const QRect cell = view->visualRect(w.Model(slot)->index(2, 2));
  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, cell.center());
  EXPECT_EQ(g.selection.left, 1);
  EXPECT_EQ(g.selection.top, 1);
  EXPECT_EQ(g.selection.right, 3);
  EXPECT_EQ(g.selection.bottom, 3);
  EXPECT_EQ(view->selectionModel()->selectedIndexes().size(), 9);
}

TEST_F(SystemWindow, GridKeysResizeRowsAndSwitchTheCopyToHtml) {
  TEqlCalcWndView& w = Calculated();
  const int slot = Slot();
  const StringGrid& g = Calc().slots[slot].grid;
  QTableView* view = w.Grid(slot);
  const int height = g.defaultRowHeight;
  QTest::keyClick(view, Qt::Key_Down, Qt::AltModifier);
  EXPECT_EQ(g.defaultRowHeight, height + 1);
  EXPECT_EQ(view->verticalHeader()->defaultSectionSize(), height + 1);
  QTest::keyClick(view, Qt::Key_H, Qt::AltModifier);
  EXPECT_EQ(w.StatusPanel(3)->text(), "HT");
  SelectCells(w, slot, {1, 1, 1, 1});
  QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
  const std::string html = TTablOprtWnd::HtmlTable(g, 1, 1, 1, 1);
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), html);
  EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->html().toStdString(), html);
}

TEST_F(SystemWindow, SavingToAFolderThatCannotBeWrittenTellsSoAndKeepsTheSystem) {
  TEqlCalcWndView& w = Calculated();
  const int slot = Slot();
  const int rows = Calc().slots[slot].grid.RowCount();
  const fs::path blocker = dir / "not-a-folder";
  std::ofstream(blocker) << "keep";
  const std::string target = (blocker / "system.eql").string();
  dialogs.QueueFileName(target);
  w.Command("MnuSaveAsEql")->trigger();
  EXPECT_TRUE(Posted(1585));
  EXPECT_TRUE(Logged(target + " can not be saved"));
  EXPECT_TRUE(fs::is_regular_file(blocker));
  EXPECT_EQ(Calc().slots[slot].grid.RowCount(), rows);
  // A writable folder then takes the same system.
  const std::string good = (dir / "system").string();
  dialogs.QueueFileName(good);
  w.Command("MnuSaveAsEql")->trigger();
  EXPECT_TRUE(fs::exists(good + ".eql"));
}

}  // namespace
}  // namespace ploxen::test
