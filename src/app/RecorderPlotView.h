// The "Plot" window: the recorder sheet's columns against its first column, drawn with Qt Charts.
#pragma once

#include <QWidget>

#include <functional>
#include <string>

class QCheckBox;
class QPushButton;

QT_BEGIN_NAMESPACE
class QChart;
class QChartView;
class QLogValueAxis;
class QValueAxis;
QT_END_NAMESPACE

namespace ploxen {

class TRecorderPlot;
class TXlsWnd;
class UserDialogs;

/// Shows TRecorderPlot; log scales, refresh and the exports are forwarded to the model.
class TRecorderPlotView : public QWidget {
  Q_OBJECT

 public:
  TRecorderPlotView(TRecorderPlot& plot, TXlsWnd& xls, UserDialogs& dialogs,
                    QWidget* parent = nullptr);

  /// Reads the recorder of the condition sheet `conditionSheet()` names and draws it again.
  void Refresh();
  /// Draws the model's series as they are (no workbook read).
  void Redraw();
  /// Writes the chart as a PNG or, for a name ending in ".svg", an SVG image; false after a
  /// posted failure. Nothing is left half-written.
  bool Export(const std::string& path);
  /// "Export…": asks for a file name, then `Export`.
  void ExportWithDialog();

  /// The 1-based condition sheet whose recorder is plotted (installed by the desktop).
  std::function<int()> conditionSheet;

  QChart* Chart() const { return chart_; }
  QChartView* ChartView() const { return view_; }
  QCheckBox* LogX() const { return logX_; }
  QCheckBox* LogY() const { return logY_; }

 private:
  TRecorderPlot& plot_;
  TXlsWnd& xls_;
  UserDialogs& dialogs_;
  QChart* chart_ = nullptr;
  QChartView* view_ = nullptr;
  QValueAxis* linearX_ = nullptr;
  QValueAxis* linearY_ = nullptr;
  QLogValueAxis* logX_Axis_ = nullptr;
  QLogValueAxis* logY_Axis_ = nullptr;
  QCheckBox* logX_ = nullptr;
  QCheckBox* logY_ = nullptr;
  bool drawing_ = false;
};

}  // namespace ploxen
