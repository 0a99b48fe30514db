// Application, theme and message-level icons.
#include "gui/Icons.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include "gui/AppIconData.h"

namespace ploxen {

QIcon AppIcon() {
  static const QIcon icon = [] {
    QSvgRenderer renderer{QByteArray(kAppIconSvg)};
    QIcon i;
    if (!renderer.isValid()) return i;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
      QPixmap pixmap(size, size);
      pixmap.fill(Qt::transparent);
      QPainter painter(&pixmap);
      renderer.render(&painter);
      i.addPixmap(pixmap);
    }
    return i;
  }();
  return icon;
}

QIcon ThemeIcon(const char* name, QStyle::StandardPixmap fallback) {
  return QIcon::fromTheme(QString::fromLatin1(name), QApplication::style()->standardIcon(fallback));
}

QColor LevelColour(int level) {
  switch (level) {
    case 0:
      return QColor(0xb0, 0x00, 0x20);
    case 1:
      return QColor(0xb0, 0x60, 0x70);
    case 2:
      return QColor(0xc0, 0x50, 0x00);
    case 3:
      return QColor(0xc0, 0x90, 0x60);
    case 4:
      return QColor(0x00, 0x40, 0xa0);
    case 5:
      return QColor(0x60, 0x80, 0xb0);
    default:
      return QColor(0x30, 0x30, 0x30);
  }
}

QIcon LevelIcon(int level) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor colour = LevelColour(level);
  painter.setPen(colour.darker(130));
  painter.setBrush(level % 2 == 1 ? QBrush(Qt::white) : QBrush(colour));
  painter.drawEllipse(QRectF(2.5, 2.5, 11, 11));
  return QIcon(pixmap);
}

}  // namespace ploxen
