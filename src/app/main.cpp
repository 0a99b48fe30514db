// Program entry of ploxen: the desktop, a batch run with a parameter string, or a new process
// workbook. A run without a display never touches Qt.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/BatchReport.h"
#include "app/DesktopModule.h"
#include "app/NewProcess.h"
#include "app/Ploxen.h"
#include "support/Platform.h"

namespace {

constexpr const char* kUsage =
    "Usage: ploxen -x: BOOK -c: SHEET [options]   calculate a process workbook\n"
    "       ploxen --new-process FILE.xlsx        write a new process workbook\n"
    "Parameter string options:\n"
    "  -x: BOOK      process workbook: a full path or the name of an open workbook (required)\n"
    "  -c: SHEET     condition sheet of that workbook (required)\n"
    "  -r:           read only: write no results (implies -s:)\n"
    "  -s:           do not save, quit or close after the run\n"
    "  -m:           keep the message log on top\n"
    "  -a:           calculation kind, taken from cell A1 of the condition sheet\n"
    "  -u:           recognised, no further effect\n"
    "  -t: SECONDS   close that many seconds after the run, whatever the result\n"
    "Example: ploxen -x: book.xlsx -c: System\n";

int NewProcess(const std::string& file) {
  ploxen::TPloxen p(0);
  p.log.SetMirrorToStderr(true);
  ploxen::NewProcessContext context{p.log,
                                    p.dialogs,
                                    p.calc,
                                    p.exportBook,
                                    p.xls,
                                    nullptr,
                                    p.kernel.EditPrec,
                                    p.kernel.EditILimit};
  const std::string path = std::filesystem::absolute(file).string();
  const int status = ploxen::WriteNewProcessFile(context, path);
  if (status == 0) std::printf("New process workbook written to %s\n", path.c_str());
  return status;
}

int Batch(const std::vector<std::string>& args) {
  ploxen::TPloxen p(static_cast<int>(args.size()));
  p.log.SetMirrorToStderr(true);
  p.main.programPath = ploxen::ProgramFolder() + "/" + ploxen::ProgramName();
  p.main.onStatusLine = [](const std::string& text) {
    std::fprintf(stderr, "ploxen: %s\n", text.c_str());
  };
  p.main.StartApplication(args);
  ploxen::PrintBatchReport(p);
  // A forced shutdown closes the program when its timer runs out.
  while (p.main.options.Has(ploxen::kOptShutdown) && !p.main.programClosed && p.main.timerEnabled) {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    p.main.TimerTick();
  }
  p.settings.SaveHistory();
  return p.main.ExitStatus();
}

int Desktop(int argc, char** argv, const std::vector<std::string>& args) {
  std::string error;
  const int status = ploxen::RunDesktopModule(ploxen::ProgramFolder(), argc, argv, args, error);
  if (status == ploxen::kDesktopMissing && !error.empty()) {
    std::fprintf(stderr, "ploxen: %s; the desktop cannot start (unset DISPLAY for a batch run)\n",
                 error.c_str());
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() && ploxen::HasDisplay()) return Desktop(argc, argv, args);
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    std::printf("Ploxen Mizzolith %s\n", PLOXEN_VERSION);
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (args[0] == "--new-process") {
    if (args.size() != 2) {
      std::fputs(kUsage, stderr);
      return 2;
    }
    return NewProcess(args[1]);
  }
  if (ploxen::HasDisplay()) return Desktop(argc, argv, args);
  return Batch(args);
}
