// Fixture of the exact-stage tests: builds systems slot by slot and checks a result against the
// conditions of the Gibbs minimum (balances, potentials, mixture sums, stability).
#pragma once

#include <algorithm>
#include <cstdio>
#include <map>

#include "KernelFixture.h"

namespace ploxen::test {

/// A kernel with "Exact Solution" on, remembering each compound's slot and charge.
class ExactTest : public KernelTest {
 protected:
  ExactTest() { kernel.CbxExact = true; }

  static void TearDownTestSuite() {
    std::printf("largest condition residual of the suite: %.3g\n",
                static_cast<double>(worstResidual));
  }

  void Start(long double temperatureK, long double pressureBar, int mode = 0,
             long double volume = 0.0L) {
    Reset();
    log.Clear();
    slots.assign(1, 0);
    charges.assign(1, 0.0L);
    kernel.BeginRun(mode, temperatureK, pressureBar, volume);
  }

  /// Adds a compound; `gibbsRT` is G/(R*T), `charge` its "E" count as the mol definition holds it.
  int Put(int slot, const std::string& molDef, long double mol, long double gibbsRT,
          bool unit = false, long double gamma = 1.0L, long double share = 1.0L,
          long double charge = 0.0L) {
    const long double g = gibbsRT * 8.3143L * kernel.Temperature();
    const int q = kernel.AddCompound(slot, molDef, share, 1, gamma, mol, g, molDef,
                                     slot <= 2 ? "(g)" : "(c)");
    if (q > 0) {
      slots.push_back(slot);
      charges.push_back(charge);
      if (unit) kernel.FixUnitActivity(q);
    }
    return q;
  }

  long double Reacted(int q) const {
    return kernel.Amount(q) - (1.0L - kernel.ReactiveShare(q)) * kernel.InputAmount(q);
  }

  /// Checks every condition of the minimum on the last result; returns the largest residual.
  long double ExpectMinimum() {
    if (const LogEntry* e = Find(1206)) {
      ADD_FAILURE() << "the exact stage fell back: " << e->text;
      return 0.0L;
    }
    const int nc = kernel.CompoundCount();
    const int ne = kernel.SystemElementCount();
    const long double rt = 8.3143L * kernel.Temperature();
    const long double p = kernel.Pressure();
    long double worst = 0.0L;
    auto note = [&](long double residual, long double tolerance, const std::string& what) {
      EXPECT_LE(residual, tolerance) << what;
      worst = std::max(worst, residual);
    };
    // Element and charge balances of the reacting input.
    long double inputs = 0.0L;
    for (int j = 1; j <= ne; ++j) inputs += kernel.ElementInput(j);
    for (int j = 0; j <= ne; ++j) {
      long double sum = 0.0L, b = 0.0L;
      for (int q = 1; q <= nc; ++q) {
        const long double a = j == 0 ? charges[q] : kernel.ElementCoefficient(q, j);
        sum += a * Reacted(q);
        b += a * kernel.ReactiveShare(q) * kernel.InputAmount(q);
      }
      // Within 1e-12 of the row's input, or 1e-14 of all inputs for a trace element.
      const long double allowed = std::max(1e-12L * std::fabs(b), 1e-14L * inputs);
      if (allowed > 0.0L) note(std::fabs(sum - b) / allowed * 1e-12L, 1e-12L, "balance " + std::to_string(j));
    }
    // Potentials: ln a + G/RT = sum a*lambda for every compound that takes part.
    for (int q = 1; q <= nc; ++q) {
      EXPECT_GE(kernel.Amount(q), 0.0L);
      if (kernel.CompoundState(q) == 0) continue;
      long double sum = charges[q] * kernel.ChargePotential();
      for (int j = 1; j <= ne; ++j) {
        sum += kernel.ElementCoefficient(q, j) * kernel.LagrangeCoefficient(j);
      }
      const long double lhs = std::log(kernel.Activity(q)) + kernel.GibbsEnergy(q) / rt;
      note(std::fabs(lhs - sum) / (1.0L + std::fabs(sum)), 1e-10L,
           "potential of " + kernel.CompoundNames()[q]);
      if (kernel.HasUnitActivity(q)) {
        const long double a = kernel.Activity(q);
        if (kernel.CompoundState(q) == 1) note(std::fabs(a - 1.0L), 1e-10L, "pure activity");
        if (kernel.CompoundState(q) == -1) note(std::max(0.0L, a - 1.0L), 1e-10L, "pure stable");
      }
    }
    // Mixtures: activities over gamma (and P) add up to 1 when present, to at most 1 when not.
    for (int slot = 1; slot <= 8; ++slot) {
      long double sum = 0.0L, reacted = 0.0L;
      bool any = false, present = false;
      for (int q = 1; q <= nc; ++q) {
        if (slots[q] != slot || kernel.HasUnitActivity(q) || kernel.CompoundState(q) == 0) continue;
        any = true;
        present = present || kernel.CompoundState(q) == 1;
        sum += kernel.Activity(q) / kernel.ActivityCoefficient(q) / (slot <= 2 ? p : 1.0L);
        reacted += Reacted(q);
      }
      if (!any) continue;
      if (!present) {
        note(std::max(0.0L, sum - 1.0L), 1e-10L, "stability of slot " + std::to_string(slot));
        continue;
      }
      note(std::fabs(sum - 1.0L), 1e-10L, "sum of slot " + std::to_string(slot));
      for (int q = 1; q <= nc; ++q) {
        if (slots[q] != slot || kernel.HasUnitActivity(q) || kernel.CompoundState(q) != 1) continue;
        const long double x = kernel.Activity(q) / kernel.ActivityCoefficient(q) /
                              (slot <= 2 ? p : 1.0L);
        note(std::fabs(Reacted(q) / reacted - x), 1e-10L * std::max(x, 1e-10L) + 1e-300L,
             "fraction of " + kernel.CompoundNames()[q]);
      }
    }
    worstResidual = std::max(worstResidual, worst);
    return worst;
  }

  std::vector<int> slots;
  std::vector<long double> charges;
  static inline long double worstResidual = 0.0L;
};

}  // namespace ploxen::test
