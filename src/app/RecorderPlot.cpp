// The series of a recorder sheet: read from the workbook, cut into columns, and the axis ranges.
#include "app/RecorderPlot.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include "chem/PTools.h"
#include "process/ConditionLayout.h"
#include "support/AplMsg.h"
#include "support/StringGrid.h"
#include "workbook/XlsObj.h"

namespace ploxen {
namespace {

bool IsEndMark(const std::string& text) { return text == "EOT"; }

/// A cell as a number: "." or "," as decimal separator, blanks around it dropped.
bool CellNumber(const std::string& cell, double& value) {
  std::string text = Trim(cell);
  if (text.find('.') == std::string::npos) {
    const size_t comma = text.find(',');
    if (comma != std::string::npos) text[comma] = '.';
  }
  return ParseRealText(text, value);
}

const std::string& CellAt(const std::vector<std::vector<std::string>>& cells, size_t row,
                          size_t column) {
  static const std::string kEmpty;
  if (row >= cells.size() || column >= cells[row].size()) return kEmpty;
  return cells[row][column];
}

}  // namespace

TRecorderPlot::TRecorderPlot(TAplMsgWnd& log) : log_(log) {}

void TRecorderPlot::Clear() {
  series.clear();
  xTitle.clear();
  skippedCells = 0;
}

int TRecorderPlot::Read(TXlsWnd& xls, int conditionSheet) {
  Clear();
  book = xls.BookName();
  recorderSheet.clear();
  const std::string condition = conditionSheet > 0 ? xls.SheetName(conditionSheet) : "";
  const std::string where = "[" + book + "][" + condition + "]";
  if (condition.empty()) {
    log_.Post(kMsgImportant, kNoRecorder, where + " no condition sheet to plot the recorder of");
    return -1;
  }
  const std::string name = Trim(xls.ReadCell(conditionSheet, cond::kRowRecorder, 2));
  if (name.empty()) {
    log_.Post(kMsgImportant, kNoRecorder, where + "[B11] names no recorder sheet to plot");
    return -1;
  }
  const int sheet = xls.FindSheet(name);
  if (sheet < 1) {
    log_.Post(kMsgImportant, kNoRecorder, name + " is not found to plot");
    return -1;
  }
  recorderSheet = name;
  const int rows = xls.LastRow(sheet);
  const int columns = xls.LastColumn(sheet);
  StringGrid grid(columns + 1, rows + 1);
  if (rows < 1 || columns < 1 || xls.ReadSheetToGrid(sheet, grid, 1, 1) < 0) return -1;
  std::vector<std::vector<std::string>> cells(static_cast<size_t>(rows));
  for (int r = 1; r <= rows; ++r) {
    auto& row = cells[static_cast<size_t>(r - 1)];
    row.reserve(static_cast<size_t>(columns));
    for (int c = 1; c <= columns; ++c) row.push_back(grid.Cell(c, r));
  }
  return Extract(cells);
}

int TRecorderPlot::Extract(const std::vector<std::vector<std::string>>& cells) {
  Clear();
  if (cells.empty()) return 0;
  // The names of row 1 up to an empty cell or "EOT".
  std::vector<std::string> names;
  for (const std::string& cell : cells[0]) {
    const std::string name = Trim(cell);
    if (name.empty() || IsEndMark(name)) break;
    names.push_back(name);
  }
  if (names.empty()) return 0;
  xTitle = names[0];
  std::vector<PlotSeries> found(names.size());
  std::vector<int> texts(names.size(), 0);
  std::vector<size_t> firstText(names.size(), 0);  // 1-based row of a column's first text
  for (size_t c = 1; c < names.size(); ++c) {
    found[c].name = names[c];
    found[c].column = static_cast<int>(c) + 1;
  }
  for (size_t r = 1; r < cells.size(); ++r) {
    bool empty = true;
    for (size_t c = 0; c < names.size() && empty; ++c) empty = Trim(CellAt(cells, r, c)).empty();
    if (empty) break;  // the recorder ends at its first empty row
    double x = 0.0;
    const bool hasX = CellNumber(CellAt(cells, r, 0), x);
    for (size_t c = 0; c < names.size(); ++c) {
      const std::string& cell = CellAt(cells, r, c);
      double y = 0.0;
      if (Trim(cell).empty()) continue;
      if (!CellNumber(cell, y)) {
        if (texts[c]++ == 0) firstText[c] = r + 1;
        continue;
      }
      if (c > 0 && hasX) found[c].points.push_back({x, y});
    }
  }
  // A column that holds no number at all is a column of notes, not a series.
  size_t firstRow = 0, firstColumn = 0;
  for (size_t c = 0; c < names.size(); ++c) {
    if (c > 0 && found[c].points.empty() && texts[c] > 0) continue;
    if (c > 0) series.push_back(std::move(found[c]));
    skippedCells += texts[c];
    if (texts[c] > 0 && (firstRow == 0 || firstText[c] < firstRow)) {
      firstRow = firstText[c];
      firstColumn = c + 1;
    }
  }
  if (skippedCells > 0) {
    const std::string cell =
        TXlsWnd::ColumnLetters(static_cast<int>(firstColumn)) + std::to_string(firstRow);
    log_.Post(kMsgImportant, kTextSkipped,
              "[" + book + "][" + recorderSheet + "][" + cell + "] " +
                  std::to_string(skippedCells) +
                  " cell(s) with text in numeric columns are left out of the plot");
  }
  return static_cast<int>(series.size());
}

std::vector<PlotPoint> TRecorderPlot::DrawnPoints(const PlotSeries& s) const {
  if (!logX && !logY) return s.points;
  std::vector<PlotPoint> drawn;
  drawn.reserve(s.points.size());
  for (const PlotPoint& p : s.points) {
    if ((logX && !(p.x > 0.0)) || (logY && !(p.y > 0.0))) continue;
    drawn.push_back(p);
  }
  return drawn;
}

AxisRange TRecorderPlot::Range(bool horizontal) const {
  const bool log = horizontal ? logX : logY;
  double lo = std::numeric_limits<double>::infinity();
  double hi = -lo;
  for (const PlotSeries& s : series) {
    if (!s.visible) continue;
    for (const PlotPoint& p : DrawnPoints(s)) {
      const double v = horizontal ? p.x : p.y;
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
  }
  if (!(lo <= hi)) return log ? AxisRange{1.0, 10.0} : AxisRange{0.0, 1.0};
  if (log) {
    if (lo == hi) return {lo / 10.0, hi * 10.0};
    // 5 % of the decades shown on either side, so that no point sits on the frame.
    const double pad = std::pow(hi / lo, 0.05);
    return {lo / pad, hi * pad};
  }
  if (lo == hi) {
    const double pad = lo == 0.0 ? 1.0 : std::fabs(lo) * 0.1;
    return {lo - pad, hi + pad};
  }
  const double pad = (hi - lo) * 0.05;
  return {lo - pad, hi + pad};
}

std::string TRecorderPlot::Caption() const {
  if (recorderSheet.empty()) return "Plot";
  return "Plot [" + book + "][" + recorderSheet + "]";
}

bool TRecorderPlot::ToggleSeries(int index) {
  if (index < 0 || index >= static_cast<int>(series.size())) return false;
  series[static_cast<size_t>(index)].visible = !series[static_cast<size_t>(index)].visible;
  return true;
}

bool TRecorderPlot::IsSvgName(const std::string& path) {
  if (path.size() < 4) return false;
  std::string end = path.substr(path.size() - 4);
  for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return end == ".svg";
}

void TRecorderPlot::ExportFailed(const std::string& path) {
  log_.Post(kMsgError, kNotSaved, path + " can not be saved");
}

}  // namespace ploxen
