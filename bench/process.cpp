// Process workbook runs: a whole batch run of the template example as a separate process
// (wall time and peak resident memory), and the calculation alone (read, solve, write).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ExampleBook.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// `ploxen -x: Process.xlsx -c: System` from process start to exit.
void BM_BatchRunProcess(benchmark::State& state) {
  const fs::path program = fs::read_symlink("/proc/self/exe").parent_path() / "ploxen";
  const std::string book = ploxen::bench::ScratchExample("Process.xlsx").string();
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
    if (posix_spawn(&pid, p.c_str(), &actions, nullptr, argv, environ) != 0) {
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
BENCHMARK(BM_BatchRunProcess)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// Reading the workbook, solving and writing the results, with the workbook already open.
void BM_CalculationOnly(benchmark::State& state) {
  const std::string book = ploxen::bench::ScratchExample("Process.xlsx").string();
  ploxen::TPloxen p(0);
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
BENCHMARK(BM_CalculationOnly)->Unit(benchmark::kMillisecond);

}  // namespace
