// Event processing during calculations and the busy cursor.
#include "gui/EventPump.h"

#include <QApplication>
#include <QCursor>

namespace ploxen {

void EventPump::operator()() {
  const auto now = std::chrono::steady_clock::now();
  if (interval_.count() > 0 && now - last_ < interval_) return;
  last_ = now;
  Now();
}

void EventPump::Now() {
  if (beforeProcessing) beforeProcessing();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void SetBusyCursor(bool on) {
  static int depth = 0;
  if (on) {
    if (depth++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (depth > 0 && --depth == 0) {
    QApplication::restoreOverrideCursor();
  }
}

}  // namespace ploxen
