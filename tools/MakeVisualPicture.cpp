// Draws the process picture of the new-process template: a flow sheet of its system (feed,
// equilibrium reactor, gas, liquid and solid products) as the JPEG examples/visual.jpg. The
// template's visual sheet places the temperature field at (10, 10) and the pressure field at
// (10, 30); the picture leaves a conditions panel there for them.
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

void Arrow(QPainter& p, QPointF from, QPointF to) {
  p.drawLine(from, to);
  const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
  const QPointF n(-d.y(), d.x());
  QPainterPath head;
  head.moveTo(to);
  head.lineTo(to - 10 * d + 5 * n);
  head.lineTo(to - 10 * d - 5 * n);
  head.closeSubpath();
  p.fillPath(head, p.pen().color());
}

void Box(QPainter& p, const QRectF& r, const QColor& fill, const QString& title,
         const QString& lines) {
  p.setBrush(fill);
  p.drawRoundedRect(r, 6, 6);
  QFont bold("DejaVu Sans", 9, QFont::Bold);
  p.setFont(bold);
  p.drawText(r.adjusted(6, 4, -6, -4), Qt::AlignTop | Qt::AlignHCenter, title);
  p.setFont(QFont("DejaVu Sans", 8));
  p.drawText(r.adjusted(6, 22, -6, -4), Qt::AlignTop | Qt::AlignHCenter | Qt::TextWordWrap, lines);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: ploxen_visual_picture OUT.jpg\n");
    return 2;
  }
  QGuiApplication app(argc, argv);
  QImage image(580, 320, QImage::Format_RGB32);
  image.fill(QColor(246, 248, 250));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 60, 80), 1.5));

  // Conditions panel under the template's fields 1 and 2.
  p.setBrush(QColor(255, 255, 255));
  p.drawRect(QRectF(4, 4, 118, 50));
  p.setFont(QFont("DejaVu Sans", 7));
  p.drawText(QRectF(4, 54, 118, 14), Qt::AlignHCenter, "system conditions");

  // Feed, reactor, products.
  Box(p, QRectF(20, 120, 110, 90), QColor(255, 244, 214), "Feed",
      "CH4, CO, CO2, H2,\nN2, O2, H2O,\nC, S");
  QRectF reactor(200, 90, 150, 150);
  p.setBrush(QColor(222, 235, 247));
  p.drawEllipse(QRectF(reactor.left(), reactor.top() - 14, reactor.width(), 28));
  p.drawRect(QRectF(reactor.left(), reactor.top(), reactor.width(), reactor.height()));
  p.drawEllipse(QRectF(reactor.left(), reactor.bottom() - 14, reactor.width(), 28));
  p.setPen(Qt::NoPen);
  p.drawRect(reactor.adjusted(1, 0, -1, 0));
  p.setPen(QPen(QColor(40, 60, 80), 1.5));
  p.setFont(QFont("DejaVu Sans", 10, QFont::Bold));
  p.drawText(reactor.adjusted(0, 40, 0, 0), Qt::AlignTop | Qt::AlignHCenter, "Equilibrium\nreactor");
  p.setFont(QFont("DejaVu Sans", 8));
  p.drawText(reactor.adjusted(0, 90, 0, 0), Qt::AlignTop | Qt::AlignHCenter, "minimum of\nGibbs energy");
  Arrow(p, QPointF(130, 165), QPointF(reactor.left() - 2, 165));

  Box(p, QRectF(420, 40, 140, 80), QColor(230, 245, 230), "Gas  gas.1",
      "CH4 CO CO2 CS2 H2\nH2O N2 NO O2 SO2");
  Box(p, QRectF(420, 135, 140, 60), QColor(220, 236, 255), "Liquid  liq.1", "H2O (l)");
  Box(p, QRectF(420, 210, 140, 60), QColor(238, 232, 226), "Solid  sol.1", "C, S");
  Arrow(p, QPointF(reactor.right(), 110), QPointF(418, 80));
  Arrow(p, QPointF(reactor.right(), 165), QPointF(418, 165));
  Arrow(p, QPointF(reactor.right(), 220), QPointF(418, 240));
  p.setFont(QFont("DejaVu Sans", 7));
  p.drawText(QRectF(0, 296, 580, 20), Qt::AlignHCenter,
             "Process picture of the new-process template: fields of the sheet \"Visual\" sit on it");
  p.end();
  const bool ok = image.save(QString::fromLocal8Bit(argv[1]), "JPEG", 90);
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", argv[1]);
  return ok ? 0 : 1;
}
