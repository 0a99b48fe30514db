// Element shares read from mol definitions.
#include "balance/ElementShare.h"

#include <gtest/gtest.h>

#include "chem/Periodica.h"

namespace ploxen {
namespace {

TEST(ElementShare, OneLetterSymbolIsNotFoundInsideATwoLetterOne) {
  Periodica pt;
  const double c = pt.ElementWeight(pt.FindSymbol("C"));
  const double cl = pt.ElementWeight(pt.FindSymbol("Cl"));
  const double o = pt.ElementWeight(pt.FindSymbol("O"));

  const auto co = ElementShare(pt, "C1O1", "C");
  EXPECT_TRUE(co.contains);
  EXPECT_NEAR(co.atoms, 1.0, 1e-12);
  EXPECT_NEAR(co.massFraction, c / (c + o), 1e-12);

  EXPECT_FALSE(ElementShare(pt, "Cl2", "C").contains);

  const auto ccl4 = ElementShare(pt, "C1Cl4", "C");
  EXPECT_TRUE(ccl4.contains);
  EXPECT_NEAR(ccl4.atoms, 1.0, 1e-12);
  EXPECT_NEAR(ccl4.massFraction, c / (c + 4 * cl), 1e-12);
  EXPECT_NEAR(ccl4.molarMass, c + 4 * cl, 1e-9);

  const auto chlorine = ElementShare(pt, "C1Cl4", "Cl");
  EXPECT_NEAR(chlorine.atoms, 4.0, 1e-12);
}

TEST(ElementShare, FractionalCountsAndEmptyInput) {
  Periodica pt;
  const auto feo = ElementShare(pt, "Fe0.947O1", "Fe");
  EXPECT_TRUE(feo.contains);
  EXPECT_NEAR(feo.atoms, 0.947, 1e-12);
  const auto oxygen = ElementShare(pt, "C1O2", "O");
  EXPECT_NEAR(oxygen.atoms, 2.0, 1e-12);

  EXPECT_FALSE(ElementShare(pt, "", "C").contains);
  EXPECT_FALSE(ElementShare(pt, "C1O1", "").contains);
  EXPECT_FALSE(ElementShare(pt, "H2O1", "C").contains);
}

}  // namespace
}  // namespace ploxen
