// Benchmarks of the equilibrium kernel's Solve at the default criteria.
//
// Gibbs energies come from the NASA Glenn 9-coefficient polynomials of the repository's copy of
// NASA CEA's thermo.inp (data/sources/nasa), G/RT = H/RT - S/R, on the element basis of that
// file. Case (c) is a synthetic but consistent system (fixed seed, named as such below).
#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "chem/Periodica.h"
#include "kernel/EqKernel.h"
#include "support/AplMsg.h"

namespace {

using ploxen::Periodica;
using ploxen::TAplMsgWnd;
using ploxen::TEqlKernel;

/// One temperature interval of a NASA-9 fit.
struct NasaRange {
  double tMin = 0, tMax = 0;
  double a[7] = {};
  double b[2] = {};
};

/// A species of thermo.inp: name, phase code (0 gas), formula and its fits.
struct NasaSpecies {
  std::string name;
  int phase = 0;
  bool product = true;
  std::vector<std::pair<std::string, double>> formula;
  std::vector<NasaRange> ranges;

  bool Covers(double t) const {
    for (const NasaRange& r : ranges) {
      if (r.tMin <= t && t <= r.tMax) return true;
    }
    return false;
  }
  /// G/(R T) at t [K]; the nearest interval is extrapolated outside the fitted range.
  double GibbsRT(double t) const {
    const NasaRange* use = &ranges.front();
    for (const NasaRange& r : ranges) {
      if (t >= r.tMin) use = &r;
    }
    const double* a = use->a;
    const double lt = std::log(t);
    const double h = -a[0] / (t * t) + a[1] * lt / t + a[2] + a[3] * t / 2 + a[4] * t * t / 3 +
                     a[5] * t * t * t / 4 + a[6] * t * t * t * t / 5 + use->b[0] / t;
    const double s = -a[0] / (2 * t * t) - a[1] / t + a[2] * lt + a[3] * t + a[4] * t * t / 2 +
                     a[5] * t * t * t / 3 + a[6] * t * t * t * t / 4 + use->b[1];
    return h - s;
  }
  /// Mol definition such as "C1H4" (symbols in the element table's spelling).
  std::string MolDefinition() const {
    std::string text;
    for (const auto& [symbol, count] : formula) {
      std::string s = symbol;
      for (size_t i = 1; i < s.size(); ++i) s[i] = static_cast<char>(std::tolower(s[i]));
      char buffer[32];
      if (count == std::floor(count)) {
        std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(count));
      } else {
        std::snprintf(buffer, sizeof buffer, "%.4f", count);
      }
      text += s + buffer;
    }
    return text;
  }
};

double Fortran(const std::string& text) {
  std::string t = text;
  for (char& c : t) {
    if (c == 'D' || c == 'd') c = 'E';
  }
  try {
    return std::stod(t);
  } catch (...) {
    return 0.0;
  }
}

std::string Field(const std::string& line, size_t from, size_t width) {
  if (from >= line.size()) return "";
  return line.substr(from, width);
}

std::string TrimText(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

/// Reads every species of thermo.inp.
const std::vector<NasaSpecies>& NasaData() {
  static const std::vector<NasaSpecies> data = [] {
    std::vector<NasaSpecies> all;
    std::ifstream in(std::string(PLOXEN_SOURCE_DIR) + "/data/sources/nasa/thermo.inp");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    size_t i = 0;
    while (i < lines.size() && lines[i].rfind("thermo", 0) != 0) ++i;
    i += 2;
    bool product = true;
    while (i + 1 < lines.size()) {
      const std::string& l = lines[i];
      if (l.rfind("END PRODUCTS", 0) == 0) {
        product = false;
        ++i;
        continue;
      }
      if (l.rfind("END REACTANTS", 0) == 0) break;
      if (l.empty() || l[0] == '!') {
        ++i;
        continue;
      }
      NasaSpecies sp;
      sp.name = TrimText(Field(l, 0, 18));
      sp.product = product;
      const std::string& l2 = lines[i + 1];
      const int intervals = std::atoi(Field(l2, 0, 2).c_str());
      sp.phase = std::atoi(Field(l2, 50, 2).c_str());
      for (int k = 0; k < 5; ++k) {
        const std::string symbol = TrimText(Field(l2, 10 + 8 * k, 2));
        const std::string value = TrimText(Field(l2, 12 + 8 * k, 6));
        if (!symbol.empty() && !value.empty() && std::stod(value) != 0.0) {
          sp.formula.emplace_back(symbol, std::stod(value));
        }
      }
      for (int r = 0; r < intervals; ++r) {
        const std::string& h = lines[i + 2 + 3 * r];
        const std::string& c1 = lines[i + 3 + 3 * r];
        const std::string& c2 = lines[i + 4 + 3 * r];
        NasaRange range;
        range.tMin = Fortran(Field(h, 0, 11));
        range.tMax = Fortran(Field(h, 11, 11));
        for (int k = 0; k < 5; ++k) range.a[k] = Fortran(Field(c1, 16 * k, 16));
        range.a[5] = Fortran(Field(c2, 0, 16));
        range.a[6] = Fortran(Field(c2, 16, 16));
        range.b[0] = Fortran(Field(c2, 48, 16));
        range.b[1] = Fortran(Field(c2, 64, 16));
        sp.ranges.push_back(range);
      }
      i += intervals > 0 ? 2 + 3 * intervals : 3;
      if (!sp.ranges.empty()) all.push_back(std::move(sp));
    }
    return all;
  }();
  return data;
}

const NasaSpecies* FindSpecies(const std::string& name) {
  for (const NasaSpecies& s : NasaData()) {
    if (s.name == name) return &s;
  }
  return nullptr;
}

/// One compound of a benchmark system.
struct Entry {
  int slot;
  std::string name;
  std::string molDef;
  double mol;
  double gibbs;  ///< J/mol
  std::string tag;
};

/// A system ready to be loaded into the kernel.
struct BenchSystem {
  double temperature = 298.15;
  double pressure = 1.0;
  std::vector<Entry> entries;
};

constexpr double kR = 8.3143;

Entry NasaEntry(int slot, const std::string& nasaName, const std::string& name, double mol,
                double t, const std::string& tag) {
  const NasaSpecies* s = FindSpecies(nasaName);
  if (s == nullptr) {
    std::cerr << "species " << nasaName << " not in thermo.inp\n";
    std::abort();
  }
  return {slot, name, s->MolDefinition(), mol, s->GibbsRT(t) * kR * t, tag};
}

/// (a) The new-process template's system at 573.15 K and 1 bar.
const BenchSystem& TemplateSystem() {
  static const BenchSystem system = [] {
    BenchSystem sys;
    sys.temperature = 573.15;
    const double t = sys.temperature;
    const std::pair<const char*, double> gases[] = {
        {"CH4", 1.0}, {"CO", 0.0},  {"CO2", 0.0}, {"CS2", 0.0}, {"H2", 0.0},
        {"H2O", 0.0}, {"N2", 7.52}, {"NO", 0.0},  {"O2", 2.0},  {"SO2", 0.0}};
    for (const auto& [name, mol] : gases) {
      sys.entries.push_back(NasaEntry(1, name, name, mol, t, "(g)"));
    }
    sys.entries.push_back(NasaEntry(3, "H2O(L)", "H2O", 0.5, t, "(l)"));
    sys.entries.push_back(NasaEntry(6, "C(gr)", "C", 1.0, t, "(s)"));
    // Sulphur is molten at 573 K; its liquid data stand for the template's solid-phase entry.
    sys.entries.push_back(NasaEntry(6, "S(L)", "S", 0.1, t, "(s)"));
    return sys;
  }();
  return system;
}

/// (b) Every C-H-O-N-S-Cl gas of thermo.inp fitted at 1500 K, the five condensed species fitted
/// there and five more condensed species extrapolated from their highest interval; 1 bar.
const BenchSystem& CombustionSystem() {
  static const BenchSystem system = [] {
    BenchSystem sys;
    sys.temperature = 1500.0;
    const double t = sys.temperature;
    const std::set<std::string> allowed = {"C", "H", "O", "N", "S", "CL"};
    auto only = [&](const NasaSpecies& s) {
      for (const auto& f : s.formula) {
        if (!allowed.count(f.first)) return false;
      }
      return !s.formula.empty();
    };
    const std::map<std::string, double> inputs = {
        {"CH4", 1.0}, {"O2", 2.5}, {"N2", 9.4}, {"H2S", 0.05}, {"HCL", 0.02}};
    for (const NasaSpecies& s : NasaData()) {
      if (!s.product || s.phase != 0 || !only(s) || !s.Covers(t)) continue;
      const auto in = inputs.find(s.name);
      sys.entries.push_back({1, s.name, s.MolDefinition(), in == inputs.end() ? 0.0 : in->second,
                             s.GibbsRT(t) * kR * t, "(g)"});
    }
    const char* liquids[] = {"H2O(L)", "H2SO4(L)", "S(L)", "SCL2(L)", "S2CL2(L)"};
    for (const char* name : liquids) sys.entries.push_back(NasaEntry(3, name, name, 0.0, t, "(l)"));
    const char* solids[] = {"C(gr)", "NH4CL(III)", "NH4CL(II)", "S(b)", "H2O(cr)"};
    for (const char* name : solids) sys.entries.push_back(NasaEntry(6, name, name, 0.0, t, "(s)"));
    return sys;
  }();
  return system;
}

/// (c) Synthetic system: 2048 compounds over the 30 elements H..Zn, 1500 K, 1 bar. Each element
/// has a reference energy; a compound's G is the sum over its atoms plus a fixed pseudo-random
/// formation term, so every compound has one well-defined energy. 1900 gases in slot 1,
/// 148 pure condensed compounds in slot 6; one mol of each monatomic gas as input.
const BenchSystem& SyntheticSystem() {
  static const BenchSystem system = [] {
    BenchSystem sys;
    sys.temperature = 1500.0;
    const double rt = kR * sys.temperature;
    Periodica table;
    std::mt19937 random(20261208u);
    std::uniform_int_distribution<int> element(1, 30), atoms(1, 3), parts(1, 4);
    std::uniform_real_distribution<double> formation(-8.0, 4.0);
    std::vector<double> reference(31);
    for (int e = 1; e <= 30; ++e) reference[e] = -10.0 - e * 0.3;
    std::set<std::string> seen;
    auto add = [&](int slot, const std::map<int, int>& f, double mol, bool pure) {
      std::string def;
      double g = 0.0;
      int total = 0;
      for (const auto& [e, n] : f) {
        def += table.ElementSymbol(e) + std::to_string(n);
        g += n * reference[e];
        total += n;
      }
      if (!seen.insert(def + (pure ? "c" : "g")).second) return false;
      if (total > 1) g += formation(random) * total;
      const std::string tag = slot == 1 ? "(g)" : "(s)";
      sys.entries.push_back(
          {slot, "X" + std::to_string(sys.entries.size() + 1), def, mol, g * rt, tag});
      return true;
    };
    for (int e = 1; e <= 30; ++e) add(1, {{e, 1}}, 1.0, false);
    while (sys.entries.size() < 1900) {
      std::map<int, int> f;
      const int n = parts(random);
      for (int k = 0; k < n; ++k) f[element(random)] += atoms(random);
      add(1, f, 0.0, false);
    }
    while (sys.entries.size() < 2048) {
      std::map<int, int> f;
      const int n = parts(random);
      for (int k = 0; k < n; ++k) f[element(random)] += atoms(random);
      add(6, f, 0.0, true);
    }
    return sys;
  }();
  return system;
}

void Load(TEqlKernel& kernel, const BenchSystem& sys) {
  kernel.ResetSystem(std::vector<std::uint8_t>(Periodica::kCapacity, 0));
  kernel.BeginRun(0, sys.temperature, sys.pressure, 0.0L);
  for (const Entry& e : sys.entries) {
    kernel.AddCompound(e.slot, e.name, 1.0L, 1, 1.0L, e.mol, e.gibbs, e.molDef, e.tag);
  }
}

/// CPU time of this thread [s]: on a shared machine the wall time of a Solve mostly measures
/// the other processes.
double ThreadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

// state.range(0): 1 with "Exact Solution", 0 with the estimation alone. The reported time is
// the thread's CPU time of Solve alone.
void RunSolve(benchmark::State& state, const BenchSystem& sys) {
  TAplMsgWnd log;
  Periodica table;
  TEqlKernel kernel(log, table);
  kernel.CbxExact = state.range(0) == 1;
  int result = 0;
  for (auto _ : state) {
    log.Clear();
    Load(kernel, sys);
    const double start = ThreadSeconds();
    result = kernel.Solve();
    state.SetIterationTime(ThreadSeconds() - start);
  }
  state.counters["compounds"] = kernel.CompoundCount();
  state.counters["elements"] = kernel.SystemElementCount();
  state.counters["I"] = kernel.IterationsFirst();
  state.counters["F"] = kernel.IterationsFinal();
  state.counters["X"] = kernel.IterationsExact();
  state.SetLabel((result == 1 ? std::string("ok ") : "FAILED " + kernel.ResultText() + " ") +
                 "Steps: " + kernel.RunSummary());
}

void BM_SolveTemplate(benchmark::State& state) {
  RunSolve(state, TemplateSystem());
}
void BM_SolveCombustion200(benchmark::State& state) {
  RunSolve(state, CombustionSystem());
}
void BM_SolveSynthetic2048(benchmark::State& state) {
  RunSolve(state, SyntheticSystem());
}

}  // namespace

BENCHMARK(BM_SolveTemplate)->Arg(1)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SolveCombustion200)->Arg(1)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SolveSynthetic2048)
    ->Arg(1)
    ->Arg(0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
