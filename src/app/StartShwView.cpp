// The splash and the tray icon.
#include "app/StartShwView.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QVBoxLayout>

#include "app/CalcStart.h"
#include "gui/Icons.h"

namespace ploxen {

TStartShowWndView::TStartShowWndView(TCalcStartWnd& main, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      main_(main) {
  setWindowTitle("Ploxen Mizzolith");
  auto* layout = new QVBoxLayout(this);
  auto* title = new QLabel(this);
  title->setPixmap(AppIcon().pixmap(48, 48));
  auto* name = new QLabel("<b>Ploxen Mizzolith</b>", this);
  upper_ = new QLabel(this);
  lower_ = new QLabel(this);
  auto* head = new QHBoxLayout;
  head->addWidget(title);
  head->addWidget(name, 1);
  layout->addLayout(head);
  layout->addWidget(upper_);
  layout->addWidget(lower_);
  setAutoFillBackground(true);
  setMinimumWidth(fontMetrics().horizontalAdvance('M') * 28);
}

void TStartShowWndView::Refresh() {
  upper_->setText(QString::fromStdString(main_.splashUpper));
  lower_->setText(QString::fromStdString(main_.splashLower));
  if (!main_.splashVisible) {
    hide();
    return;
  }
  adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.right() - 32 - width(), area.bottom() - 32 - height());
  }
  show();
  raise();
}

bool TStartShowWndView::ShowTrayIcon(QMenu* menu) {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
  if (!tray_) {
    tray_ = new QSystemTrayIcon(AppIcon(), this);
    tray_->setToolTip("Ploxen - Mizzolith for MS Excel");
    tray_->setContextMenu(menu);
  }
  tray_->show();
  return true;
}

}  // namespace ploxen
