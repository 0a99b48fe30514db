// The "Plot" window: chart, legend that hides and shows series, log scales and the exports.
#include "app/RecorderPlotView.h"

#include <QBuffer>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QValueAxis>
#include <QVBoxLayout>
#include <QtCharts/QChartView>

#include "app/RecorderPlot.h"
#include "gui/Icons.h"
#include "support/UserDialogs.h"
#include "workbook/XlsObj.h"

namespace ploxen {
namespace {

constexpr QSize kExportSize(1200, 800);  // pixels of an exported image

/// Shows `range` and `title` on the axis pair's active member and hides the other one.
QAbstractAxis* ShowAxis(QValueAxis* linear, QLogValueAxis* log, bool useLog,
                        const AxisRange& range, const QString& title) {
  linear->setVisible(!useLog);
  log->setVisible(useLog);
  QAbstractAxis* axis = log;
  if (useLog) {
    log->setRange(range.min, range.max);
  } else {
    linear->setRange(range.min, range.max);
    linear->applyNiceNumbers();
    axis = linear;
  }
  axis->setTitleText(title);
  return axis;
}

}  // namespace

TRecorderPlotView::TRecorderPlotView(TRecorderPlot& plot, TXlsWnd& xls, UserDialogs& dialogs,
                                     QWidget* parent)
    : QWidget(parent, Qt::Window), plot_(plot), xls_(xls), dialogs_(dialogs) {
  setObjectName("Plot");
  setWindowIcon(AppIcon());
  chart_ = new QChart;
  chart_->legend()->setAlignment(Qt::AlignRight);
  chart_->setAnimationOptions(QChart::NoAnimation);
  // The axes stay in the chart; a log scale shows the other axis of its pair.
  linearX_ = new QValueAxis;
  linearY_ = new QValueAxis;
  logX_Axis_ = new QLogValueAxis;
  logY_Axis_ = new QLogValueAxis;
  for (QValueAxis* a : {linearX_, linearY_}) a->setLabelFormat("%g");
  for (QLogValueAxis* a : {logX_Axis_, logY_Axis_}) {
    a->setBase(10.0);
    a->setLabelFormat("%g");
    a->setMinorTickCount(8);
  }
  chart_->addAxis(linearX_, Qt::AlignBottom);
  chart_->addAxis(logX_Axis_, Qt::AlignBottom);
  chart_->addAxis(linearY_, Qt::AlignLeft);
  chart_->addAxis(logY_Axis_, Qt::AlignLeft);
  view_ = new QChartView(chart_, this);
  view_->setRenderHint(QPainter::Antialiasing);
  view_->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);  // no remains of old axes
  logX_ = new QCheckBox("Log X", this);
  logY_ = new QCheckBox("Log Y", this);
  auto* refresh = new QPushButton(ThemeIcon("view-refresh", QStyle::SP_BrowserReload), "Refresh",
                                  this);
  refresh->setObjectName("BtnRefresh");
  auto* exportButton =
      new QPushButton(ThemeIcon("document-save-as", QStyle::SP_DialogSaveButton), "Export…", this);
  exportButton->setObjectName("BtnExport");
  exportButton->setToolTip("Save the plot as a PNG or SVG image");
  auto* close = new QPushButton("Close", this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(logX_);
  buttons->addWidget(logY_);
  buttons->addStretch(1);
  buttons->addWidget(refresh);
  buttons->addWidget(exportButton);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(view_, 1);
  layout->addLayout(buttons);
  const int em = fontMetrics().horizontalAdvance('M');
  resize(60 * em, 40 * em);

  connect(logX_, &QCheckBox::toggled, this, [this](bool on) {
    if (drawing_) return;
    plot_.logX = on;
    Redraw();
  });
  connect(logY_, &QCheckBox::toggled, this, [this](bool on) {
    if (drawing_) return;
    plot_.logY = on;
    Redraw();
  });
  connect(refresh, &QPushButton::clicked, this, [this] { Refresh(); });
  connect(exportButton, &QPushButton::clicked, this, [this] { ExportWithDialog(); });
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  Redraw();
}

void TRecorderPlotView::Refresh() {
  plot_.Read(xls_, conditionSheet ? conditionSheet() : 0);
  Redraw();
}

void TRecorderPlotView::Redraw() {
  drawing_ = true;
  setWindowTitle(QString::fromStdString(plot_.Caption()));
  logX_->setChecked(plot_.logX);
  logY_->setChecked(plot_.logY);
  chart_->removeAllSeries();
  QStringList shown;
  std::vector<QLineSeries*> lines;
  for (const PlotSeries& s : plot_.series) {
    auto* line = new QLineSeries;
    line->setName(QString::fromStdString(s.name));
    line->setPointsVisible(true);
    QList<QPointF> points;  // a hidden series keeps its legend marker, without points
    const std::vector<PlotPoint> drawn =
        s.visible ? plot_.DrawnPoints(s) : std::vector<PlotPoint>();
    points.reserve(static_cast<qsizetype>(drawn.size()));
    for (const PlotPoint& p : drawn) points.append(QPointF(p.x, p.y));
    line->replace(points);
    chart_->addSeries(line);
    lines.push_back(line);
    if (s.visible) shown << line->name();
  }
  const QString yTitle = shown.size() == 1 ? shown.front() : shown.join(", ");
  QAbstractAxis* x = ShowAxis(linearX_, logX_Axis_, plot_.logX, plot_.Range(true),
                              QString::fromStdString(plot_.xTitle));
  QAbstractAxis* y = ShowAxis(linearY_, logY_Axis_, plot_.logY, plot_.Range(false), yTitle);
  const QList<QLegendMarker*> markers = chart_->legend()->markers();
  for (size_t i = 0; i < lines.size(); ++i) {
    lines[i]->attachAxis(x);
    lines[i]->attachAxis(y);
    const bool visible = plot_.series[i].visible;
    for (QLegendMarker* marker : chart_->legend()->markers(lines[i])) {
      QColor label = chart_->legend()->labelColor();
      label.setAlphaF(visible ? 1.0 : 0.4);
      marker->setLabelBrush(label);
      const int index = static_cast<int>(i);
      connect(marker, &QLegendMarker::clicked, this, [this, index] {
        plot_.ToggleSeries(index);
        // Redrawing deletes the marker whose signal is being delivered.
        QMetaObject::invokeMethod(this, [this] { Redraw(); }, Qt::QueuedConnection);
      });
    }
  }
  chart_->setTitle(plot_.series.empty() ? "No recorded values" : QString());
  drawing_ = false;
}

bool TRecorderPlotView::Export(const std::string& path) {
  const QString name = QString::fromStdString(path);
  QSaveFile file(name);  // a temporary file renamed into place when complete
  bool ok = file.open(QIODevice::WriteOnly);
  const QRect area(QPoint(0, 0), kExportSize);
  const QSize old = view_->size();
  view_->resize(kExportSize);
  if (ok && TRecorderPlot::IsSvgName(path)) {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(kExportSize);
    svg.setViewBox(area);
    svg.setTitle(QString::fromStdString(plot_.Caption()));
    QPainter painter;
    ok = painter.begin(&svg);
    if (ok) {
      view_->render(&painter, area);
      ok = painter.end();
    }
  } else if (ok) {
    QImage image(kExportSize, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    view_->render(&painter, area);
    painter.end();
    ok = image.save(&file, "PNG");
  }
  view_->resize(old);
  ok = ok && file.commit();
  if (!ok) {
    file.cancelWriting();
    plot_.ExportFailed(path);
  }
  return ok;
}

void TRecorderPlotView::ExportWithDialog() {
  FileDialogRequest request;
  request.title = "Export Plot";
  request.filter = "PNG image (*.png)|*.png|SVG image (*.svg)|*.svg|";
  request.fileName = (plot_.recorderSheet.empty() ? std::string("Plot") : plot_.recorderSheet) +
                     ".png";
  request.defaultExt = "png";
  std::string path = dialogs_.SaveFileName(request);
  if (path.empty()) return;
  const bool hasExtension = path.find('.', path.find_last_of('/') + 1) != std::string::npos;
  if (!hasExtension) path += dialogs_.SelectedFilter() == 2 ? ".svg" : ".png";
  Export(path);
}

}  // namespace ploxen
