// LibreOffice as the live workbook server: a private headless office runs for the whole
// program and the workbooks are already open in it, as when a user keeps the process workbook
// open and clicks "Calculation". A batch run of the template example (no save: the program
// attached, so saving stays with the user), reading a phase sheet of 1000 compounds, and
// writing the results of a system of 227 gases.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "ExampleBook.h"
#include "workbook/OfficeProcess.h"
#ifdef PLOXEN_WITH_UNO
#include "workbook/UnoServer.h"
#endif

namespace {

namespace fs = std::filesystem;
using namespace ploxen;

/// The office of this benchmark program, started on first use and stopped at exit.
struct BenchOffice {
  std::string missing;  ///< why there is none
  std::string pipe;
  fs::path dir;
  std::unique_ptr<OfficeProcess> process;
  ~BenchOffice() {
    process.reset();
    if (!dir.empty()) {
      std::error_code ec;
      fs::remove_all(dir, ec);
    }
  }
};

/// Starts the office into `o`, or says in `o.missing` why there is none.
void StartOffice(BenchOffice& o) {
#ifndef PLOXEN_WITH_UNO
  o.missing = "this build has no UNO server (PLOXEN_UNO=OFF or no LibreOffice SDK)";
#else
  if (!OfficeInstalled()) {
    o.missing = "LibreOffice is not installed";
    return;
  }
  o.pipe = "ploxenbench_" + std::to_string(::getpid());
  o.dir = fs::temp_directory_path() / ("ploxen_bench_office_" + std::to_string(::getpid()));
  std::string error;
  o.process = OfficeProcess::StartHeadless((o.dir / "profile").string(), o.pipe,
                                           kOfficeStartTimeoutMs, error);
  if (!o.process) o.missing = "LibreOffice does not start: " + error;
#endif
}

BenchOffice& Office() {
  static BenchOffice office;
  static const bool started = (StartOffice(office), true);
  (void)started;
  return office;
}

bool Skipped(benchmark::State& state) {
  const BenchOffice& office = Office();
  if (office.missing.empty()) return false;
  state.SkipWithError(("skipped: " + office.missing).c_str());
  return true;
}

#ifdef PLOXEN_WITH_UNO
/// True when a mol definition ("C1H4", "Cl2") holds only elements of `allowed`.
bool OnlyOf(const std::string& formula, const std::vector<std::string>& allowed) {
  bool ok = !formula.empty();
  for (std::size_t k = 0; k < formula.size(); ++k) {
    if (formula[k] < 'A' || formula[k] > 'Z') continue;
    std::string symbol(1, formula[k]);
    if (k + 1 < formula.size() && formula[k + 1] >= 'a' && formula[k + 1] <= 'z')
      symbol += formula[k + 1];
    ok = ok && std::find(allowed.begin(), allowed.end(), symbol) != allowed.end();
  }
  return ok;
}

/// `count` gas names of the database that exist at 300 °C: those of C, H, O, N, S and Cl
/// (217), then fluorine compounds.
std::vector<std::string> GasNames(std::size_t count) {
  std::vector<std::string> names;
  std::vector<std::string> allowed = {"C", "H", "O", "N", "S", "Cl"};
  for (int pass = 0; pass < 2; ++pass, allowed.push_back("F")) {
    std::ifstream in(std::string(PLOXEN_SOURCE_DIR) + "/data/Ploxen.tdb");
    std::string line;
    std::getline(in, line);
    while (names.size() < count && std::getline(in, line)) {
      std::vector<std::string> f;
      std::size_t i = 0;
      for (std::size_t tab; (tab = line.find('\t', i)) != std::string::npos; i = tab + 1)
        f.push_back(line.substr(i, tab - i));
      f.push_back(line.substr(i));
      if (f.size() < 18 || f[2] != "(g)") continue;
      if (std::stod(f[3]) > 573.15 || std::stod(f[4]) < 573.15) continue;
      if (OnlyOf(f[17], allowed) && std::find(names.begin(), names.end(), f[1]) == names.end())
        names.push_back(f[1]);
    }
  }
  return names;
}

/// Opens a copy of the template example in the office, as the user would, with the gas
/// sheet "gas.1" holding `gases` (name, kg) and, when `onlyGas`, no other phase sheet and no
/// recorder; `prepare`, when given, changes the opened book further. The connection used for
/// that ends before the benchmark's own run connects: a second connection of one process
/// beside the program's would break the first. The copy's path.
using BookPreparation = std::function<bool(UnoServer&, BookHandle)>;
std::string OpenedInOffice(const std::string& name,
                           const std::vector<std::pair<std::string, std::string>>& gases,
                           bool onlyGas, const BookPreparation& prepare = {}) {
  const fs::path dir = Office().dir / name;
  fs::create_directories(dir);
  // Each its own file name: the office holds one book of a name at a time.
  const fs::path book = dir / (name + ".xlsx");
  fs::copy_file(fs::path(PLOXEN_SOURCE_DIR) / "examples" / "Process.xlsx", book,
                fs::copy_options::overwrite_existing);
  TAplMsgWnd log;
  std::string error;
  std::shared_ptr<UnoServer> user = UnoServer::Connect(log, Office().pipe, error);
  BookHandle b = 0;
  if (!user || !user->OpenBook(book.string(), false, b)) return "";
  if (prepare && !prepare(*user, b)) return "";
  if (gases.empty()) return book.string();
  SheetHandle system = 0, gas = 0;
  if (!user->SheetItem(b, 1, system) || !user->SheetItem(b, 2, gas)) return "";
  // Only the gas sheet in B4:D4, and no recorder in B11 (it would grow with every run).
  if (onlyGas && (!user->SetRangeValues(system, CellBlock{4, 3, 1, 2}, {"", ""}, false) ||
                  !user->SetCellValue(system, 11, 2, "")))
    return "";
  const int rows = static_cast<int>(gases.size());
  std::vector<std::string> cells;
  for (const auto& [compound, kg] : gases) {
    cells.push_back(compound);
    cells.push_back(kg);
  }
  cells.push_back("EOT");
  cells.push_back("");
  if (!user->SetRangeValues(gas, CellBlock{2, 1, rows + 1, 2}, cells, false)) return "";
  return book.string();
}

/// A program instance whose LibreOffice server attaches to the benchmark's office.
std::unique_ptr<TPloxen> Program(int parameterCount, const fs::path& docs) {
  auto p = std::make_unique<TPloxen>(parameterCount);
  p->settings.SetDocumentsFolder(docs.string());
  p->log.SetFilter(0);
  p->servers.LibreOffice()->attachPipe = Office().pipe;
  p->xls.ProgId = "LibreOffice";
  return p;
}
#endif

// `ploxen -x: Process.xlsx -c: System` with the book open in the office, from the program
// object's construction to the batch end (in this process: the executable's loading is not
// counted; bench_process's BM_BatchRunProcess shows that cost for the embedded engine).
void BM_UnoBatchRunOpenBook(benchmark::State& state) {
  if (Skipped(state)) return;
#ifdef PLOXEN_WITH_UNO
  const std::string book = OpenedInOffice("Process", {}, false);
  if (book.empty()) {
    state.SkipWithError("the example cannot be opened in the office");
    return;
  }
  const fs::path docs = Office().dir / "Process" / "docs";
  fs::create_directories(docs);
  {
    TAplMsgWnd log;
    TAplStgsWnd settings(log);
    settings.SetDocumentsFolder(docs.string());
    std::ofstream(settings.UserSettingsPath()) << "[MainWnd]\nOleObject=LibreOffice\n";
  }
  for (auto _ : state) {
    auto p = Program(4, docs);
    p->main.StartApplication({"-x:", book, "-c:", "System"});
    if (!p->calc.calculationOk || !p->xls.Attached()) {
      state.SkipWithError("the batch run failed or did not attach");
      break;
    }
  }
#endif
}
BENCHMARK(BM_UnoBatchRunOpenBook)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(3);

// The visualisation's refresh after a calculation through the office: a visual sheet of 96
// fields whose values are formulas into the condition sheet, in a book open in the office.
void BM_UnoVisualRefresh96Fields(benchmark::State& state) {
  if (Skipped(state)) return;
#ifdef PLOXEN_WITH_UNO
  const int fields = TPresViewWnd::kFieldCount;
  const BookPreparation addVisualSheet = [fields](UnoServer& user, BookHandle b) {
    std::vector<std::string> cells = {"visual", "", "", "", "", "", "", "",
                                      "W",      "", "", "", "", "", "", ""};
    for (int n = 1; n <= fields; ++n) {
      const std::vector<std::string> row = {std::to_string(n), "V" + std::to_string(n) + ":",
                                            "='System'!B2*" + std::to_string(n), "hint",
                                            std::to_string(10 * n), std::to_string(5 * n), "80",
                                            "20"};
      cells.insert(cells.end(), row.begin(), row.end());
    }
    cells.insert(cells.end(), {"EOT", "", "", "", "", "", "", ""});
    SheetHandle visual = 0;
    return user.AddSheet(b, "V96", 0, visual) &&
           user.SetRangeValues(visual, CellBlock{1, 1, fields + 3, 8}, cells, false);
  };
  // Made once: the benchmark calls this function again for each run it times.
  static const std::string book = OpenedInOffice("Visual96", {}, false, addVisualSheet);
  if (book.empty()) {
    state.SkipWithError("the visual sheet cannot be made in the office");
    return;
  }
  auto p = Program(0, Office().dir / "Visual96");
  p->visual.FollowBook("LibreOffice", "Visual96.xlsx");
  p->visual.SetVisualSheet("V96");
  p->visual.Refresh();
  if (!p->visual.fields[fields].visible || p->visual.fields[fields].text.empty()) {
    state.SkipWithError("the visual sheet was not loaded");
    return;
  }
  for (auto _ : state) {
    p->visual.RefreshAfterCalculation();
    benchmark::DoNotOptimize(p->visual.fields[fields].text);
  }
#endif
}
BENCHMARK(BM_UnoVisualRefresh96Fields)->Unit(benchmark::kMillisecond)->Repetitions(3);

// Reading the condition sheet and a phase sheet of 1000 compounds: column A, then B, F, G and
// the header row.
void BM_UnoReadPhaseSheet1000(benchmark::State& state) {
  if (Skipped(state)) return;
#ifdef PLOXEN_WITH_UNO
  std::vector<std::pair<std::string, std::string>> gases;
  for (int i = 1; i <= 1000; ++i)
    gases.emplace_back("G" + std::to_string(i), std::to_string(i % 7));
  const std::string book = OpenedInOffice("Read1000", gases, true);
  auto p = Program(0, Office().dir / "Read1000");
  XlsProcessWorkbook workbook(p->xls);
  if (book.empty() || !bench::OpenForRun(*p, workbook, book)) {
    state.SkipWithError("the phase sheet cannot be made in the office");
    return;
  }
  for (auto _ : state) {
    if (!p->calc.ReadConditionSheet() || !p->calc.ReadPhaseSheet(p->calc.slots[1].sheetIndex, 1) ||
        p->calc.slots[1].Rows() != 1000) {
      state.SkipWithError("the phase sheet was not read");
      break;
    }
  }
#endif
}
BENCHMARK(BM_UnoReadPhaseSheet1000)->Unit(benchmark::kMillisecond)->Repetitions(3);

// Writing the results of a system of 227 gases (C, H, O, N, S, Cl, F at 300 °C) after one
// calculation: the condition sheet's C2, C3 and columns C to H of the phase sheet.
void BM_UnoWriteResults227(benchmark::State& state) {
  if (Skipped(state)) return;
#ifdef PLOXEN_WITH_UNO
  const std::vector<std::string> names = GasNames(227);
  std::vector<std::pair<std::string, std::string>> gases;
  for (const std::string& n : names) {
    std::string kg = n == "CH4"   ? "0.016"
                     : n == "O2"  ? "0.064"
                     : n == "N2"  ? "0.28"
                     : n == "H2S" ? "0.0034"
                     : n == "HCl" ? "0.00365"
                                  : "";
    gases.emplace_back(n, kg);
  }
  const std::string book = names.size() == 227 ? OpenedInOffice("Write227", gases, true) : "";
  auto p = Program(0, Office().dir / "Write227");
  XlsProcessWorkbook workbook(p->xls);
  if (book.empty() || !bench::OpenForRun(*p, workbook, book)) {
    state.SkipWithError(("the 227-gas system cannot be made in the office (" +
                         std::to_string(names.size()) + " gases, book " + book + ")")
                            .c_str());
    return;
  }
  p->calc.RunWorkbook();
  if (!p->calc.calculationOk || p->calc.totalCompounds != 227) {
    state.SkipWithError("the 227-gas system does not calculate");
    return;
  }
  for (auto _ : state) {
    if (!p->calc.WriteResults()) {
      state.SkipWithError("the results were not written");
      break;
    }
  }
#endif
}
BENCHMARK(BM_UnoWriteResults227)->Unit(benchmark::kMillisecond)->Repetitions(3);

// One call to the office (a sheet count): the round trip that every figure above is made of,
// measured in the same run so that the others can be read against the machine's load.
void BM_UnoOneCall(benchmark::State& state) {
  if (Skipped(state)) return;
#ifdef PLOXEN_WITH_UNO
  TAplMsgWnd log;
  std::string error;
  std::shared_ptr<UnoServer> server = UnoServer::Connect(log, Office().pipe, error);
  BookHandle book = 0;
  if (!server || !server->AddBook("", book)) {
    state.SkipWithError("no book in the office");
    return;
  }
  for (auto _ : state) {
    int count = 0;
    if (!server->SheetCount(book, count)) {
      state.SkipWithError("the office refused");
      break;
    }
  }
  server->CloseBook(book);
#endif
}
BENCHMARK(BM_UnoOneCall)->Unit(benchmark::kMicrosecond)->Repetitions(3);

}  // namespace
