// The desktop program: the Qt application around one desktop session.
#include "gui/Desktop.h"

#include <QApplication>
#include <cstdlib>

#include "app/BatchReport.h"
#include "gui/DesktopSession.h"
#include "gui/Icons.h"

namespace ploxen {
namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

}  // namespace

bool HasDisplay() {
  return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM");
}

int RunDesktop(int argc, char** argv, const std::vector<std::string>& args) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Ploxen Mizzolith");
  QApplication::setDesktopFileName("ploxen");
  QApplication::setWindowIcon(AppIcon());
  DesktopSession session(static_cast<int>(args.size()));
  QObject::connect(&session, &DesktopSession::finished, &app, &QApplication::quit);
  session.Start(args);
  if (!session.Finished()) app.exec();
  if (!args.empty()) PrintBatchReport(*session.p);
  return session.ExitStatus();
}

}  // namespace ploxen
