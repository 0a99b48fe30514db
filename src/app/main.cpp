// Program entry of ploxen: the batch shell with a parameter string.
#include <cstdio>
#include <string>

namespace {

constexpr const char* kUsage =
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

}  // namespace

int main(int argc, char** argv) {
  std::printf("Ploxen Mizzolith %s\n", PLOXEN_VERSION);
  std::string params;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) params += ' ';
    params += argv[i];
  }
  if (!params.empty()) std::printf("Parameter string: %s\n", params.c_str());
  std::fputs(kUsage, stdout);
  return 0;
}
