// The plot of a recorder sheet as a model: every recorded column as a series against the
// first column, with the axis titles of the header row and a log scale per axis.
#pragma once

#include <string>
#include <vector>

namespace ploxen {

class TAplMsgWnd;
class TXlsWnd;

/// One point of a series.
struct PlotPoint {
  double x = 0.0;
  double y = 0.0;
};

/// One recorded column.
struct PlotSeries {
  std::string name;  ///< header of the column
  int column = 0;    ///< 1-based sheet column
  std::vector<PlotPoint> points;
  bool visible = true;  ///< drawn (the user may hide a series through the legend)
};

/// The range an axis shows.
struct AxisRange {
  double min = 0.0;
  double max = 1.0;
};

/// The "Plot" window's model.
class TRecorderPlot {
 public:
  static constexpr int kNoRecorder = 952;   ///< no recorder sheet to plot
  static constexpr int kTextSkipped = 953;  ///< text in numeric columns was left out
  static constexpr int kNotSaved = 954;     ///< an export could not be written

  explicit TRecorderPlot(TAplMsgWnd& log);

  std::string book;           ///< workbook of the recorder, for messages and the title
  std::string recorderSheet;  ///< the sheet plotted
  std::string xTitle;         ///< header of the first column
  std::vector<PlotSeries> series;
  bool logX = false;  ///< logarithmic horizontal axis
  bool logY = false;  ///< logarithmic vertical axis
  int skippedCells = 0;  ///< text cells of numeric columns left out by the last extraction

  /// Reads the recorder sheet that B11 of condition sheet `conditionSheet` (1-based) names in
  /// the current book: the number of series, or -1 after a posted failure (series cleared).
  int Read(TXlsWnd& xls, int conditionSheet);
  /// Builds the series from the sheet's cells, `cells[r][c]` holding row r + 1, column c + 1.
  /// Row 1 holds the names up to an empty cell or "EOT"; the data rows follow up to the first
  /// empty row. A column without any number is no series. Text in a numeric column is left
  /// out and counted, with one message for all of it. Returns the number of series.
  int Extract(const std::vector<std::vector<std::string>>& cells);

  /// The points of `s` as drawn: on a log axis the values that are not above 0 are left out.
  std::vector<PlotPoint> DrawnPoints(const PlotSeries& s) const;
  /// The range of the horizontal (`horizontal`) or vertical axis over the visible series,
  /// widened a little on a linear axis; a log axis keeps a minimum above 0.
  AxisRange Range(bool horizontal) const;
  /// Window caption: "Plot" + " [book][sheet]" when a recorder is read.
  std::string Caption() const;
  /// Turns series `index` on or off; false for an index outside the list.
  bool ToggleSeries(int index);
  /// True when an export to `path` is an SVG image (".svg" in any letter case), else PNG.
  static bool IsSvgName(const std::string& path);
  /// Posts that the export to `path` could not be written.
  void ExportFailed(const std::string& path);

 private:
  void Clear();

  TAplMsgWnd& log_;
};

}  // namespace ploxen
