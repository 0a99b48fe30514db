// Benchmarks of the thermodynamic data: loading a database of several thousand datasets,
// and the per-row work of a calculation (dataset lookup plus state functions).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/AplMsg.h"
#include "thermo/PXDatabase.h"
#include "thermo/StateFunctions.h"

namespace ploxen {
namespace {

constexpr int kSyntheticCompounds = 2000;

/// A database of 2000 compounds with 1 to 4 temperature ranges each (about 5000 datasets),
/// lines as long as those of the shipped database. Written once per program run.
const std::string& SyntheticDatabase() {
  static const std::string path = [] {
    std::string file = (std::filesystem::temp_directory_path() /
                        ("ploxen_bench_thermo_" + std::to_string(::getpid()) + ".tdb"))
                           .string();
    std::ofstream out(file, std::ios::binary);
    out << "Nr\tName\tPhase\tTmin [K]\tTmax [K]\tT0 [K]\tH0 [J/mol]\tS0 [J/(mol "
           "K)]\ta\tb\tc\td\te\t"
           "f\tTc [K]\tPc [bar]\tOmega\tMol definition\tDescription\tReferences\tCreated\t"
           "Comments\n";
    int line = 1;
    static const char* const kPhases[3] = {"(g)", "(l)", "(s)"};
    for (int i = 0; i < kSyntheticCompounds; ++i) {
      const char* phase = kPhases[i % 3];
      int ranges = 1 + (i * 7) % 4;
      for (int k = 0; k < ranges; ++k) {
        double tMin = 200.0 + 1000.0 * k, tMax = tMin + 1000.0;
        out << line++ << "\tC" << i << "H" << (i % 17) << "\t" << phase << "\t" << tMin << "\t"
            << tMax << "\t" << tMin << "\t-123456.789012\t213.789012345\t24.9973512345\t"
            << "55.1869612345\t-0.136638123\t-33.6913712345\t1.23456789e-05\t7.94838712345\t"
            << (phase[1] == 's' ? "" : "304.13\t73.77\t0.225") << (phase[1] == 's' ? "\t\t" : "")
            << "\tC1H" << (i % 17) << "\tsynthetic compound number " << i
            << "\t[1][2]\t2026-12-08\tfit dCp 0.012%, dH 0.31 J/mol, dG 0.05 J/mol\n";
      }
    }
    return file;
  }();
  return path;
}

std::string ShippedDatabase() {
  return std::string(PLOXEN_SOURCE_DIR) + "/data/Ploxen.tdb";
}

void LoadBenchmark(benchmark::State& state, const std::string& path) {
  TAplMsgWnd log;
  PXDatabase db(log);
  int count = 0;
  for (auto _ : state) {
    count = db.LoadDatabase(path);
    benchmark::DoNotOptimize(count);
  }
  if (count < 2) state.SkipWithError(("cannot load " + path).c_str());
  state.counters["datasets"] = count - 1;
}

void BM_LoadSyntheticDatabase(benchmark::State& state) {
  LoadBenchmark(state, SyntheticDatabase());
}
BENCHMARK(BM_LoadSyntheticDatabase)->Unit(benchmark::kMillisecond);

void BM_LoadShippedDatabase(benchmark::State& state) {
  if (!std::filesystem::exists(ShippedDatabase())) {
    state.SkipWithError("data/Ploxen.tdb does not exist");
    for (auto _ : state) {
    }
    return;
  }
  LoadBenchmark(state, ShippedDatabase());
}
BENCHMARK(BM_LoadShippedDatabase)->Unit(benchmark::kMillisecond);

/// 1000 compound rows: FindDataset and StateFunctions at 1200 K and 5 bar with the default model.
/// Argument 0: a fresh database each round (every name searched once); 1: warm candidate cache.
void FindAndEvaluate(benchmark::State& state, const std::string& path) {
  TAplMsgWnd log;
  PXDatabase db(log);
  if (db.LoadDatabase(path) < 2) {
    state.SkipWithError(("cannot load " + path).c_str());
    for (auto _ : state) {
    }
    return;
  }
  std::vector<std::pair<std::string, std::string>> rows;
  for (int i = 0; rows.size() < 1000; ++i) {
    int r = 1 + (i * 37) % (db.RecordCount() - 1);
    rows.emplace_back(db.Field(r, kFieldName), db.Field(r, kFieldPhase));
  }
  const bool warm = state.range(0) == 1;
  FluidModels fluid(db.GasConstant());
  StateFunctionRecord out;
  for (auto _ : state) {
    if (!warm) {
      state.PauseTiming();
      db.LoadDatabase(path);
      state.ResumeTiming();
    }
    for (const auto& [name, phase] : rows) {
      int r = db.FindDataset(name, phase, 1200.0);
      StateFunctions(db, fluid, r, kDefaultFluidModel, 5.0, 1200.0, out);
      benchmark::DoNotOptimize(out.G);
    }
  }
  state.counters["rows"] = static_cast<double>(rows.size());
}

void BM_FindAndStateFunctionsSynthetic(benchmark::State& state) {
  FindAndEvaluate(state, SyntheticDatabase());
}
BENCHMARK(BM_FindAndStateFunctionsSynthetic)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FindAndStateFunctionsShipped(benchmark::State& state) {
  FindAndEvaluate(state, ShippedDatabase());
}
BENCHMARK(BM_FindAndStateFunctionsShipped)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ploxen
