// The "Plot" window: the recorder of a calculated Combustion.xlsx drawn as its series, kept up
// to date during a chain, log scales, the legend that hides a series, and the exports.
#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QValueAxis>
#include <QtCharts/QChart>
#include <fstream>

#include "GuiFixture.h"
#include "app/CalcStartView.h"
#include "app/RecorderPlotView.h"

namespace ploxen::test {
namespace {

class Plot : public GuiFixture {
 protected:
  /// The axis of `orientation` that is shown (the chart keeps a linear and a log one).
  static QAbstractAxis* Shown(QChart* chart, Qt::Orientation orientation) {
    for (QAbstractAxis* axis : chart->axes(orientation)) {
      if (axis->isVisible()) return axis;
    }
    return nullptr;
  }
  static QLineSeries* Line(QChart* chart, int i) {
    return qobject_cast<QLineSeries*>(chart->series().at(i));
  }
  // Every column of the recorder sheet "rec" against its first column, as the sheet holds it.
  void ExpectSeriesMatchRecorder(DesktopSession& s) {
    const int rec = s.p->xls.FindSheet("rec");
    ASSERT_GT(rec, 0);
    QChart* chart = s.plot->Chart();
    ASSERT_EQ(chart->series().size(), 5);  // CO2, CO, NO, O2, time
    for (int i = 0; i < chart->series().size(); ++i) {
      QLineSeries* line = Line(chart, i);
      EXPECT_EQ(line->name().toStdString(), s.p->xls.ReadCell(rec, 1, i + 2));
      ASSERT_EQ(line->count(), 5) << line->name().toStdString();
      for (int k = 0; k < line->count(); ++k) {
        EXPECT_DOUBLE_EQ(line->at(k).x(), std::stod(s.p->xls.ReadCell(rec, k + 2, 1)));
        EXPECT_DOUBLE_EQ(line->at(k).y(), std::stod(s.p->xls.ReadCell(rec, k + 2, i + 2)));
      }
    }
  }
};

TEST_F(Plot, DrawsTheRecorderOfACalculatedChain) {
  DesktopSession& s = Start();
  s.main->OpenFile(Example("Combustion"));
  s.main->Command("ButtonCalculate")->trigger();
  ASSERT_TRUE(s.p->calc.calculationOk);
  s.main->Command("MnuPlot")->trigger();
  EXPECT_EQ(s.plot->windowTitle(), "Plot [Combustion.xlsx][rec]");
  ExpectSeriesMatchRecorder(s);
  QChart* chart = s.plot->Chart();
  EXPECT_TRUE(chart->legend()->isVisible());
  QAbstractAxis* x = Shown(chart, Qt::Horizontal);
  ASSERT_NE(x, nullptr);
  EXPECT_EQ(x->titleText(), "T [C]");
  EXPECT_EQ(Line(chart, 0)->attachedAxes().count(x), 1);
  EXPECT_TRUE(Shown(chart, Qt::Vertical)->titleText().contains("CO2"));
  s.plot->close();
}

TEST_F(Plot, AnOpenPlotFollowsEveryRunOfTheChain) {
  DesktopSession& s = Start();
  s.main->OpenFile(Example("Combustion"));
  // The shipped example holds the rows of its last chain: start from an empty recorder.
  const int rec = s.p->xls.FindSheet("rec");
  ASSERT_GT(rec, 0);
  for (int c = 1; c <= 8; ++c) ASSERT_EQ(s.p->xls.ClearColumn(rec, c, 40, 2), 1);
  s.main->Command("MnuPlot")->trigger();  // before the first run: nothing recorded yet
  for (QAbstractSeries* line : s.plot->Chart()->series()) {
    EXPECT_EQ(qobject_cast<QLineSeries*>(line)->count(), 0);
  }
  std::vector<int> counts;  // points of the first series each time a run has recorded
  auto recorded = s.p->calc.onRecorded;
  s.p->calc.onRecorded = [&] {
    recorded();
    const auto series = s.plot->Chart()->series();
    counts.push_back(series.isEmpty() ? -1 : qobject_cast<QLineSeries*>(series[0])->count());
  };
  s.main->Command("ButtonCalculate")->trigger();
  EXPECT_EQ(counts, (std::vector<int>{1, 2, 3, 4, 5}));
  ExpectSeriesMatchRecorder(s);
  s.plot->close();
}

TEST_F(Plot, LogScalesAndTheLegendChangeWhatIsDrawn) {
  DesktopSession& s = Start();
  s.main->OpenFile(Example("Combustion"));
  s.main->Command("ButtonCalculate")->trigger();
  s.main->Command("MnuPlot")->trigger();
  QChart* chart = s.plot->Chart();
  s.plot->LogY()->setChecked(true);
  EXPECT_TRUE(s.p->plot.logY);
  QAbstractAxis* y = Shown(chart, Qt::Vertical);
  ASSERT_NE(qobject_cast<QLogValueAxis*>(y), nullptr);
  EXPECT_EQ(Line(chart, 0)->attachedAxes().count(y), 1);
  EXPECT_NE(qobject_cast<QValueAxis*>(Shown(chart, Qt::Horizontal)), nullptr);
  s.plot->LogX()->setChecked(true);
  EXPECT_NE(qobject_cast<QLogValueAxis*>(Shown(chart, Qt::Horizontal)), nullptr);
  // A click on the marker of the last series ("time") hides it; the marker stays.
  QLegendMarker* marker = chart->legend()->markers(chart->series().back()).front();
  Q_EMIT marker->clicked();
  QApplication::processEvents();
  EXPECT_FALSE(s.p->plot.series.back().visible);
  EXPECT_EQ(Line(chart, 4)->count(), 0);
  EXPECT_EQ(Line(chart, 0)->count(), 5);
  EXPECT_EQ(chart->legend()->markers().size(), 5);  // to be clicked on again
  Q_EMIT chart->legend()->markers(chart->series().back()).front()->clicked();
  QApplication::processEvents();
  EXPECT_EQ(Line(chart, 4)->count(), 5);
  s.plot->close();
}

TEST_F(Plot, ExportsPngAndSvgAndReportsAFolderThatCannotBeWritten) {
  DesktopSession& s = Start();
  s.main->OpenFile(Example("Combustion"));
  s.main->Command("ButtonCalculate")->trigger();
  s.main->Command("MnuPlot")->trigger();
  const std::string png = (dir / "plot.png").string();
  ASSERT_TRUE(s.plot->Export(png));
  QImage image;
  ASSERT_TRUE(image.load(QString::fromStdString(png), "PNG"));
  EXPECT_EQ(image.size(), QSize(1200, 800));
  dialogs.QueueFileName((dir / "plot").string(), 2);  // no extension typed, SVG filter chosen
  s.plot->ExportWithDialog();
  std::ifstream in(dir / "plot.svg");
  const std::string svg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("CO2"), std::string::npos);
  std::ofstream(dir / "plain") << "x";
  const std::string bad = (dir / "plain" / "plot.png").string();
  EXPECT_FALSE(s.plot->Export(bad));
  EXPECT_TRUE(Posted(TRecorderPlot::kNotSaved));
  EXPECT_FALSE(fs::exists(bad));
  s.plot->close();
}

}  // namespace
}  // namespace ploxen::test
