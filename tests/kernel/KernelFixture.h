// Shared fixture of the kernel tests: a kernel over the built-in element table and physics checks.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "chem/Periodica.h"
#include "kernel/EqKernel.h"
#include "support/AplMsg.h"

namespace ploxen::test {

constexpr long double kRT1000 = 8.3143L * 1000.0L;  ///< R*T at 1000 K [J/mol]

/// A kernel with a message log that keeps every level in posting order. These tests exercise
/// the estimation procedure itself, so "Exact Solution" is off unless a test turns it on.
class KernelTest : public ::testing::Test {
 protected:
  KernelTest() {
    log.SetFilter(kMsgInformation);
    log.SetNewestLast(true);
    kernel.CbxExact = false;
  }

  /// Empties the system with no element preselected (auto selection picks them).
  void Reset() { kernel.ResetSystem(std::vector<std::uint8_t>(Periodica::kCapacity, 0)); }

  /// Adds a compound with reactive share 1, state 1 and activity coefficient 1.
  int Add(int slot, const std::string& name, const std::string& molDef, long double mol,
          long double gibbs, const std::string& tag = "(g)") {
    return kernel.AddCompound(slot, name, 1.0L, 1, 1.0L, mol, gibbs, molDef, tag);
  }

  /// Two gases of different atomicity whose element ratio takes many Lagrange steps to fit.
  void TwoGases() {
    Add(1, "H2", "H2", 1.0L, 0.0L);
    Add(1, "O3", "O3", 1.0L, 0.0L);
  }

  /// The first log entry with this number, or nullptr.
  const LogEntry* Find(int number) const {
    for (const LogEntry& e : log.Entries()) {
      if (e.number == number) return &e;
    }
    return nullptr;
  }
  int CountOf(int number) const {
    int n = 0;
    for (const LogEntry& e : log.Entries()) n += e.number == number ? 1 : 0;
    return n;
  }
  void ExpectMessage(int number, int level, const std::string& text) const {
    const LogEntry* e = Find(number);
    ASSERT_NE(e, nullptr) << "message " << number << " not posted";
    EXPECT_EQ(e->level, level);
    EXPECT_EQ(e->text, text);
  }

  /// Element balance, equilibrium condition and the pressure sum of gas slot 1 (when it is
  /// the normalisation phase), each within `tolerance` (relative).
  void ExpectPhysics(long double tolerance, bool gasSumIsPressure = true) const {
    const long double rt = 8.3143L * kernel.Temperature();
    for (int j = 1; j <= kernel.SystemElementCount(); ++j) {
      long double total = 0.0L;
      for (int q = 1; q <= kernel.CompoundCount(); ++q) {
        total += kernel.ElementCoefficient(q, j) * kernel.Amount(q);
      }
      const long double input = kernel.ElementInput(j);
      if (input <= 0.0L) continue;
      EXPECT_NEAR(static_cast<double>(total / input), 1.0, static_cast<double>(tolerance))
          << "element " << kernel.SystemElementLabel(j);
    }
    for (int q = 1; q <= kernel.CompoundCount(); ++q) {
      if (kernel.CompoundState(q) == 0 || kernel.Amount(q) <= 1e-12L) continue;
      long double sum = 0.0L;
      for (int j = 1; j <= kernel.SystemElementCount(); ++j) {
        sum += kernel.ElementCoefficient(q, j) * kernel.LagrangeCoefficient(j);
      }
      const long double lhs = std::log(kernel.Activity(q)) + kernel.GibbsEnergy(q) / rt;
      EXPECT_NEAR(static_cast<double>(lhs), static_cast<double>(sum),
                  static_cast<double>(tolerance) * (1.0 + std::fabs(static_cast<double>(sum))))
          << "compound " << kernel.LabelledNames()[q];
    }
    if (gasSumIsPressure && kernel.NormalisationPhase() == 1) {
      long double sum = 0.0L;
      for (int q = 1; q <= kernel.CompoundCount(); ++q) {
        if (kernel.CompoundState(q) != 0 && q <= CountInSlot1()) sum += kernel.Activity(q);
      }
      EXPECT_NEAR(static_cast<double>(sum / kernel.Pressure()), 1.0,
                  static_cast<double>(tolerance));
    }
  }

  int CountInSlot1() const { return slot1Count; }

  TAplMsgWnd log;
  Periodica table;
  TEqlKernel kernel{log, table};
  int slot1Count = 0;  ///< tests set it to the number of gas compounds in slot 1
};

}  // namespace ploxen::test
