// The "Messages" window.
#include "support/AplMsgView.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "gui/Icons.h"
#include "support/AplMsg.h"

namespace ploxen {
namespace {

constexpr int kSerialRole = Qt::UserRole + 1;

struct FilterItem {
  int value;
  const char* caption;
};
constexpr FilterItem kFilters[] = {
    {6, "Show All"}, {4, "Importants"}, {2, "Critical"}, {0, "Errors Only"}};

}  // namespace

TAplMsgWndView::TAplMsgWndView(TAplMsgWnd& log, QWidget* parent)
    : QWidget(parent, Qt::Window), log_(log) {
  setWindowTitle("Messages");
  setWindowIcon(AppIcon());
  auto* layout = new QVBoxLayout(this);
  BuildMenu();
  list_ = new QTreeWidget(this);
  list_->setColumnCount(3);
  list_->setHeaderLabels({"ID", "Event", "Time"});
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setContextMenuPolicy(Qt::ActionsContextMenu);
  list_->header()->setSectionsClickable(true);
  list_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
  list_->header()->setStretchLastSection(false);
  list_->addAction(copy_);
  layout->addWidget(list_);
  auto* buttons = new QHBoxLayout;
  onTop_ = new QCheckBox("On top", this);
  reset_ = new QPushButton("Reset", this);
  close_ = new QPushButton("Close", this);
  buttons->addWidget(onTop_);
  buttons->addStretch();
  buttons->addWidget(reset_);
  buttons->addSpacing(16);
  buttons->addWidget(close_);
  buttons->addStretch();
  layout->addLayout(buttons);
  const int em = fontMetrics().horizontalAdvance('M');
  resize(52 * em, 22 * fontMetrics().height());
  list_->setColumnWidth(0, 7 * em);
  list_->setColumnWidth(2, 16 * em);

  connect(list_, &QTreeWidget::currentItemChanged, this, [this] { SelectCurrent(); });
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] {
    SelectCurrent();
    log_.Acknowledge();
    Refresh();
  });
  connect(list_->header(), &QHeaderView::sectionClicked, this, [this](int column) {
    log_.SortByColumn(column);
    Refresh();
  });
  connect(onTop_, &QCheckBox::toggled, this, [this](bool on) {
    if (refreshing_) return;
    log_.SetOnTop(on);
    ApplyOnTop();
  });
  connect(reset_, &QPushButton::clicked, this, [this] {
    log_.Clear();
    Refresh();
  });
  connect(close_, &QPushButton::clicked, this, &QWidget::close);
  auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(esc, &QShortcut::activated, this, &QWidget::close);
  auto* ackOne = new QShortcut(QKeySequence("Ctrl+Q"), this);
  connect(ackOne, &QShortcut::activated, this, [this] {
    log_.Acknowledge();
    Refresh();
  });
  auto* ackAll = new QShortcut(QKeySequence("Ctrl+A"), this);
  connect(ackAll, &QShortcut::activated, this, [this] {
    log_.AcknowledgeAll();
    Refresh();
  });
  Refresh();
}

void TAplMsgWndView::BuildMenu() {
  auto* bar = new QMenuBar(this);
  QMenu* view = bar->addMenu("&View");
  filters_ = new QActionGroup(this);
  for (const FilterItem& f : kFilters) {
    QAction* a = view->addAction(f.caption);
    a->setCheckable(true);
    a->setData(f.value);
    filters_->addAction(a);
    connect(a, &QAction::triggered, this, [this, value = f.value] {
      log_.SetFilter(value);
      if (onFilterChanged) onFilterChanged(value);
    });
  }
  view->addSeparator();
  timeUpwards_ = view->addAction("Time upwards");
  timeUpwards_->setCheckable(true);
  connect(timeUpwards_, &QAction::triggered, this, [this] { log_.ToggleNewestLast(); });
  QMenu* edit = bar->addMenu("&Edit");
  copy_ = edit->addAction(ThemeIcon("edit-copy", QStyle::SP_FileIcon), "Copy Message");
  copy_->setShortcut(QKeySequence::Copy);
  connect(copy_, &QAction::triggered, this, [this] {
    const std::string text = log_.CopyMessageText();
    if (!text.empty()) QApplication::clipboard()->setText(QString::fromStdString(text));
  });
  layout()->setMenuBar(bar);
}

QAction* TAplMsgWndView::FilterAction(int filter) const {
  for (QAction* a : filters_->actions()) {
    if (a->data().toInt() == filter) return a;
  }
  return nullptr;
}

void TAplMsgWndView::SelectCurrent() {
  if (refreshing_) return;
  QTreeWidgetItem* item = list_->currentItem();
  log_.Select(item ? list_->indexOfTopLevelItem(item) : -1);
}

void TAplMsgWndView::Refresh() {
  refreshing_ = true;
  list_->clear();
  const auto& entries = log_.Entries();
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<int>(entries.size()));
  for (const LogEntry& e : entries) {
    auto* item = new QTreeWidgetItem({QString::fromStdString(e.id), QString::fromStdString(e.text),
                                      QString::fromStdString(e.time)});
    item->setIcon(0, LevelIcon(e.level));
    for (int c = 0; c < 3; ++c) item->setForeground(c, LevelColour(e.level));
    item->setData(0, kSerialRole, static_cast<qlonglong>(e.serial));
    items.append(item);
  }
  list_->addTopLevelItems(items);
  if (log_.Current() >= 0 && log_.Current() < list_->topLevelItemCount()) {
    list_->setCurrentItem(list_->topLevelItem(log_.Current()));
  }
  if (QAction* a = FilterAction(log_.Filter())) a->setChecked(true);
  timeUpwards_->setChecked(log_.NewestLast());
  onTop_->setChecked(log_.OnTop());
  refreshing_ = false;
  ApplyOnTop();
}

void TAplMsgWndView::ApplyOnTop() {
  const bool on = log_.OnTop();
  if (on == bool(windowFlags() & Qt::WindowStaysOnTopHint)) return;
  const bool shown = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, on);
  if (shown) show();  // changing a flag hides the window
}

void TAplMsgWndView::Open() {
  log_.WindowActivated();
  move(log_.WindowLeft(), log_.WindowTop());
  Refresh();
  show();
}

void TAplMsgWndView::BringToFront() {
  if (!isVisible()) Open();
  raise();
  activateWindow();
}

void TAplMsgWndView::closeEvent(QCloseEvent* event) {
  log_.WindowClosed();
  event->accept();
}

void TAplMsgWndView::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && !log_.WindowOpen()) {
    log_.WindowActivated();
  }
  QWidget::changeEvent(event);
}

}  // namespace ploxen
