// The series of the "Plot" window: cut from the recorder sheet's cells, text left out with one
// message, the log scales, and the recorder of a calculated chain read from the workbook.
#include <gtest/gtest.h>

#include "AppFixture.h"

namespace ploxen::test {
namespace {

using Cells = std::vector<std::vector<std::string>>;

class RecorderPlot : public AppFixture {
 protected:
  TAplMsgWnd log;
  TRecorderPlot plot{log};
  int Count(int number) const {
    int n = 0;
    for (const LogEntry& e : log.Entries()) n += e.number == number ? 1 : 0;
    return n;
  }
};

TEST_F(RecorderPlot, ColumnsBecomeSeriesAgainstTheFirstColumn) {
  const Cells cells = {{"T [C]", "CO2", "CO", "EOT", "beyond"},
                       {"1000", "0.9", "1.5E-2", "", "7"},
                       {"1375", "0,8", "", "", "7"},  // a decimal comma; an empty cell
                       {"1750", "0.7", "0.03"},
                       {},
                       {"2000", "9", "9"}};  // after the first empty row
  ASSERT_EQ(plot.Extract(cells), 2);
  EXPECT_EQ(plot.xTitle, "T [C]");
  ASSERT_EQ(plot.series.size(), 2u);
  EXPECT_EQ(plot.series[0].name, "CO2");
  EXPECT_EQ(plot.series[1].column, 3);
  ASSERT_EQ(plot.series[0].points.size(), 3u);
  EXPECT_DOUBLE_EQ(plot.series[0].points[1].x, 1375.0);
  EXPECT_DOUBLE_EQ(plot.series[0].points[1].y, 0.8);
  ASSERT_EQ(plot.series[1].points.size(), 2u);
  EXPECT_DOUBLE_EQ(plot.series[1].points[0].y, 0.015);
  EXPECT_EQ(plot.skippedCells, 0);
  EXPECT_EQ(Count(TRecorderPlot::kTextSkipped), 0);
}

TEST_F(RecorderPlot, TextInNumericColumnsIsLeftOutWithOneMessage) {
  plot.book = "Book.xlsx";
  plot.recorderSheet = "rec";
  const Cells cells = {{"T", "A", "Note", "B"},
                       {"1", "2", "first", "5"},
                       {"2", "n/a", "second", "6"},
                       {"x", "3", "", "7"},  // no x: the row gives no points
                       {"3", "4", "", "#VALUE!"}};
  ASSERT_EQ(plot.Extract(cells), 2);  // "Note" holds no number: no series
  EXPECT_EQ(plot.series[0].name, "A");
  EXPECT_EQ(plot.series[0].points.size(), 2u);
  EXPECT_EQ(plot.series[1].name, "B");
  EXPECT_EQ(plot.series[1].points.size(), 2u);
  EXPECT_EQ(plot.skippedCells, 3);  // "n/a", "x", "#VALUE!"
  ASSERT_EQ(Count(TRecorderPlot::kTextSkipped), 1);
  EXPECT_EQ(log.Entries().back().text.rfind("[Book.xlsx][rec][B3] 3 cell(s)", 0), 0u)
      << log.Entries().back().text;
}

TEST_F(RecorderPlot, EmptyOrHeaderlessSheetsGiveNoSeries) {
  EXPECT_EQ(plot.Extract({}), 0);
  EXPECT_EQ(plot.Extract({{"", "A"}, {"1", "2"}}), 0);
  EXPECT_EQ(plot.Extract({{"T", "A"}}), 1);  // names written, nothing recorded yet
  EXPECT_TRUE(plot.series[0].points.empty());
  EXPECT_EQ(plot.Range(true).min, 0.0);  // an empty plot still has axes
}

TEST_F(RecorderPlot, LogAxesLeaveOutValuesNotAboveZero) {
  plot.Extract({{"T", "A"}, {"0", "1"}, {"10", "0"}, {"100", "1e-3"}, {"1000", "-2"}});
  ASSERT_EQ(plot.DrawnPoints(plot.series[0]).size(), 4u);
  const AxisRange linear = plot.Range(false);
  EXPECT_LT(linear.min, -2.0);
  EXPECT_GT(linear.max, 1.0);
  plot.logY = true;
  EXPECT_EQ(plot.DrawnPoints(plot.series[0]).size(), 2u);
  plot.logX = true;
  const std::vector<PlotPoint> both = plot.DrawnPoints(plot.series[0]);
  ASSERT_EQ(both.size(), 1u);
  EXPECT_DOUBLE_EQ(both[0].x, 100.0);
  const AxisRange y = plot.Range(false);
  EXPECT_GT(y.min, 0.0);
  EXPECT_LT(y.min, 1e-3);
  EXPECT_GT(y.max, 1e-3);
  // Both ends leave room: the largest and the smallest point stay off the frame.
  plot.logX = false;
  const AxisRange spread = plot.Range(false);
  EXPECT_LT(spread.min, 1e-3);
  EXPECT_GT(spread.max, 1.0);
  EXPECT_GT(spread.min, 1e-4);
  EXPECT_LT(spread.max, 10.0);
}

TEST_F(RecorderPlot, HiddenSeriesDoNotWidenTheAxes) {
  plot.Extract({{"T", "small", "large"}, {"1", "1", "1000"}, {"2", "2", "2000"}});
  EXPECT_GT(plot.Range(false).max, 2000.0);
  ASSERT_TRUE(plot.ToggleSeries(1));
  EXPECT_LT(plot.Range(false).max, 3.0);
  EXPECT_FALSE(plot.ToggleSeries(2));
}

TEST_F(RecorderPlot, ReadsTheRecorderOfACalculatedChain) {
  const std::string path = Example("Combustion");
  auto p = Start({"-x:", path, "-c:", "System", "-s:"});
  ASSERT_TRUE(p->calc.calculationOk);
  TRecorderPlot& model = p->plot;
  const int sheet = p->xls.FindSheet("System");
  ASSERT_EQ(model.Read(p->xls, sheet), 5);  // CO2, CO, NO, O2 and the time of each run
  EXPECT_EQ(model.recorderSheet, "rec");
  EXPECT_EQ(model.xTitle, "T [C]");
  const int rec = p->xls.FindSheet("rec");
  for (const PlotSeries& s : model.series) {
    EXPECT_EQ(s.name, p->xls.ReadCell(rec, 1, s.column));
    ASSERT_EQ(s.points.size(), 5u) << s.name;  // five following calculations
    for (size_t i = 0; i < s.points.size(); ++i) {
      const int row = static_cast<int>(i) + 2;
      EXPECT_DOUBLE_EQ(s.points[i].x, TextToFloat(p->xls.ReadCell(rec, row, 1)));
      EXPECT_DOUBLE_EQ(s.points[i].y, TextToFloat(p->xls.ReadCell(rec, row, s.column)));
    }
  }
  EXPECT_DOUBLE_EQ(model.series[0].points.front().x, 1000.0);
  EXPECT_DOUBLE_EQ(model.series[0].points.back().x, 2500.0);
}

TEST_F(RecorderPlot, ReadWithoutARecorderPosts) {
  const std::string path = Example("Process");
  auto p = Start({"-x:", path, "-c:", "System", "-s:"});
  const int sheet = p->xls.FindSheet("System");
  p->xls.WriteCell(sheet, 11, "", 2);
  EXPECT_EQ(p->plot.Read(p->xls, sheet), -1);
  EXPECT_NE(TextOf(*p, TRecorderPlot::kNoRecorder).find("[B11]"), std::string::npos);
  p->xls.WriteCell(sheet, 11, "Nowhere", 2);
  EXPECT_EQ(p->plot.Read(p->xls, sheet), -1);
  EXPECT_TRUE(p->plot.series.empty());
  EXPECT_EQ(p->plot.Caption(), "Plot");
  EXPECT_EQ(p->plot.Read(p->xls, 0), -1);
}

}  // namespace
}  // namespace ploxen::test
