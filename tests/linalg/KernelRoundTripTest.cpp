// The system matrix against the forward calculation: activities of a solved equilibrium, given
// back as references, must return the kernel's Lagrange coefficients and every other activity.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "chem/Periodica.h"
#include "kernel/EqKernel.h"
#include "linalg/LSolver.h"
#include "support/AplMsg.h"
#include "support/ScriptedDialogs.h"
#include "support/TablOprt.h"

namespace ploxen {
namespace {

struct Gas {
  const char* name;
  const char* molDefinition;
  double inputMol;
  double g;  // Gibbs energy at 1000 K [J/mol]
  bool reference;
};

// A lean methane flame in air at 1000 K; CO2, H2O, N2 and CO fix C, H, O and N.
constexpr Gas kFlame[] = {
    {"CH4", "C1H4", 1.0, 19500.0, false},  {"CO", "C1O1", 0.0, -200300.0, true},
    {"CO2", "C1O2", 0.0, -395900.0, true}, {"H2", "H2", 0.0, 0.0, false},
    {"H2O", "H2O1", 0.0, -192600.0, true}, {"O2", "O2", 2.5, 0.0, false},
    {"N2", "N2", 9.0, 0.0, true},          {"NO", "N1O1", 0.0, 77800.0, false},
    {"OH", "O1H1", 0.0, 20000.0, false},
};

TEST(KernelRoundTrip, ReferencesFromAnEquilibriumGiveBackItsPotentialsAndActivities) {
  TAplMsgWnd log;
  Periodica elements;
  TEqlKernel kernel{log, elements};
  kernel.EditPrec = "0.0001";
  kernel.ResetSystem(std::vector<std::uint8_t>(Periodica::kCapacity, 0));
  kernel.BeginRun(0, 1000.0L, 1.0L, 0.0L);
  for (const Gas& gas : kFlame) {
    ASSERT_GT(kernel.AddCompound(1, gas.name, 1.0L, 1, 1.0L, gas.inputMol, gas.g, gas.molDefinition,
                                 "(g)"),
              0);
  }
  ASSERT_EQ(kernel.Solve(), 1) << kernel.ResultText();

  ScriptedDialogs dialogs;
  TTablOprtWnd table{dialogs};
  std::vector<std::uint8_t> selection;
  TLSolverWnd solver{log, elements, table, selection};
  solver.SetConditions(1000.0, 1.0, 1.0);
  for (int q = 1; q <= kernel.CompoundCount(); ++q) {
    const Gas& gas = kFlame[q - 1];
    const double activity = static_cast<double>(kernel.Activity(q));
    ASSERT_EQ(solver.AddMatrixCompound(1, gas.name, 1, activity, gas.reference, 0.0, gas.g,
                                       gas.molDefinition, "g"),
              q);
    if (gas.reference) solver.MarkReference(q);
  }
  ASSERT_EQ(solver.BuildAndSolve(), 1);
  EXPECT_NEAR(solver.FitQuality(), 1.0, 1e-12);

  ASSERT_EQ(solver.ElementColumns(), kernel.SystemElementCount());
  for (int j = 1; j <= kernel.SystemElementCount(); ++j) {
    const int index = kernel.SystemElementIndex(j);
    int column = 0;
    for (int k = 1; k <= solver.ElementColumns(); ++k) {
      if (solver.ElementIndex(k) == index) column = k;
    }
    ASSERT_GT(column, 0) << elements.ElementSymbol(index);
    const double lambda = static_cast<double>(kernel.LagrangeCoefficient(j));
    EXPECT_NEAR(solver.Lambda(column), lambda, 1e-11 * (1.0 + std::fabs(lambda)));
  }

  solver.ActivityFromLagrange(0);
  for (int q = 1; q <= kernel.CompoundCount(); ++q) {
    const double expected = static_cast<double>(kernel.Activity(q));
    EXPECT_NEAR(solver.Activity(q) / expected, 1.0, 1e-11) << kFlame[q - 1].name;
  }
}

}  // namespace
}  // namespace ploxen
