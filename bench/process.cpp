// Process workbook runs: a whole batch run of the template example as a separate process
// (wall time and peak resident memory), and the calculation alone (read, solve, write); each
// with "Exact Solution" checked (argument 1) and unchecked (0).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ExampleBook.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// `ploxen -x: Process.xlsx -c: System` from process start to exit. The option reaches the
// batch run through key `ExactSolution` of a user settings file in a documents folder of its own.
void BM_BatchRunProcess(benchmark::State& state) {
  const fs::path program = fs::read_symlink("/proc/self/exe").parent_path() / "ploxen";
  const std::string book = ploxen::bench::ScratchExample("Process.xlsx").string();
  const fs::path docs = fs::path(book).parent_path() / ("docs" + std::to_string(state.range(0)));
  fs::create_directories(docs / ".Ploxen");
  std::ofstream(docs / ".Ploxen" / "ploxen.usr")
      << "[MainWnd]\nExactSolution=" << state.range(0) << "\n";
  std::vector<std::string> variables = {"XDG_DOCUMENTS_DIR=" + docs.string()};
  for (char** e = environ; *e; ++e) {
    if (std::string(*e).rfind("XDG_DOCUMENTS_DIR=", 0) != 0) variables.emplace_back(*e);
  }
  std::vector<char*> env;
  for (std::string& v : variables) env.push_back(v.data());
  env.push_back(nullptr);
  long peakKb = 0;
  for (auto _ : state) {
    fs::copy_file(fs::path(PLOXEN_SOURCE_DIR) / "examples" / "Process.xlsx", book,
                  fs::copy_options::overwrite_existing);
    const auto start = std::chrono::steady_clock::now();
    std::string p = program.string(), x = "-x:", c = "-c:", s = "System";
    char* argv[] = {p.data(), x.data(), const_cast<char*>(book.c_str()),
                    c.data(), s.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawn(&pid, p.c_str(), &actions, nullptr, argv, env.data()) != 0) {
      state.SkipWithError("ploxen cannot be started");
      break;
    }
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("the batch run failed");
      break;
    }
    peakKb = std::max(peakKb, usage.ru_maxrss);
  }
  state.counters["peak_RSS_MB"] = static_cast<double>(peakKb) / 1024.0;
}
BENCHMARK(BM_BatchRunProcess)->Arg(1)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// Reading the workbook, solving and writing the results, with the workbook already open.
void BM_CalculationOnly(benchmark::State& state) {
  const std::string book = ploxen::bench::ScratchExample("Process.xlsx").string();
  ploxen::TPloxen p(0);
  p.kernel.CbxExact = state.range(0) == 1;
  ploxen::XlsProcessWorkbook workbook(p.xls);
  if (!ploxen::bench::OpenForRun(p, workbook, book)) {
    state.SkipWithError("the example cannot be opened");
    return;
  }
  for (auto _ : state) {
    p.calc.RunWorkbook();
    if (!p.calc.calculationOk) {
      state.SkipWithError("the calculation failed");
      break;
    }
  }
}
BENCHMARK(BM_CalculationOnly)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
