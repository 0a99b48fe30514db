// The desktop program: the Qt application around one desktop session.
#include "gui/Desktop.h"

#include <QApplication>

#include "app/BatchReport.h"
#include "gui/DesktopSession.h"
#include "gui/Icons.h"

namespace ploxen {

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
