// Amount texts with their units converted to moles.
#include <gtest/gtest.h>

#include <string>

#include "chem/PTools.h"
#include "chem/Periodica.h"

namespace ploxen {
namespace {

class AmountToMolesTest : public ::testing::Test {
 protected:
  AmountResult Water(std::string_view text, double pBar = 1.0, double tK = 298.15) {
    return AmountToMoles(text, "H2O1", pBar, tK, table_);
  }
  double WaterMass() const { return table_.MolarMass("H2O1"); }

  Periodica table_;
};

TEST_F(AmountToMolesTest, MolesNeedNoCompound) {
  for (const char* text : {"3", "3 mol", "3[mol]", " 3 [ mol ] ", "3mol"}) {
    const auto r = AmountToMoles(text, "", 1.0, 0.0, table_);
    EXPECT_TRUE(r.ok) << text;
    EXPECT_EQ(r.moles, 3.0) << text;
  }
}

TEST_F(AmountToMolesTest, MassUnitsUseTheMolarMass) {
  ASSERT_NEAR(WaterMass(), 18.0153, 1e-4);
  auto r = Water("2.5 kg");
  EXPECT_TRUE(r.ok);
  EXPECT_DOUBLE_EQ(r.moles, 2.5 / WaterMass() * 1000);
  EXPECT_DOUBLE_EQ(Water("2.5[kg]").moles, 2.5 / WaterMass() * 1000);
  EXPECT_DOUBLE_EQ(Water("1,5 g").moles, 1.5 / WaterMass());
  EXPECT_DOUBLE_EQ(Water("1.5e3 g").moles, 1500 / WaterMass());
  EXPECT_DOUBLE_EQ(Water("2e3g").moles, 2000 / WaterMass());
  EXPECT_DOUBLE_EQ(Water("1E+2 [g]").moles, 100 / WaterMass());
  EXPECT_DOUBLE_EQ(Water("3 lb").moles, 3 * 453.59 / WaterMass());
  EXPECT_DOUBLE_EQ(Water("3 [lb]").moles, 3 * 453.59 / WaterMass());
  // Mass units do not need a temperature.
  EXPECT_TRUE(Water("1 g", 1.0, 0.0).ok);
}

TEST_F(AmountToMolesTest, UnitAloneReadsZero) {
  auto r = Water("kg");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.moles, 0.0);
  r = Water("");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.moles, 0.0);
}

TEST_F(AmountToMolesTest, GasVolumes) {
  const double r = kGasConstant;
  const double p = 2.0;
  const double t = 400.0;
  EXPECT_DOUBLE_EQ(Water("2 m3", p, t).moles, p * 1e5 * 2 / (r * t));
  EXPECT_DOUBLE_EQ(Water("2 [m\xC2\xB3]", p, t).moles, p * 1e5 * 2 / (r * t));
  EXPECT_DOUBLE_EQ(Water("2 m\xB3", p, t).moles, p * 1e5 * 2 / (r * t));
  EXPECT_DOUBLE_EQ(Water("5 l", p, t).moles, p * 1e5 * 5 / (r * t) / 1000);
  EXPECT_DOUBLE_EQ(Water("5 [l]", p, t).moles, p * 1e5 * 5 / (r * t) / 1000);
  const double foot3 = 0.028317 * p * 1e5 / (r * t);
  EXPECT_DOUBLE_EQ(Water("1 [ft\xC2\xB3]", p, t).moles, foot3);
  EXPECT_DOUBLE_EQ(Water("1 ft3", p, t).moles, foot3);
  EXPECT_DOUBLE_EQ(Water("1 ft", p, t).moles, foot3);
  // Another gas constant from the reference file.
  EXPECT_DOUBLE_EQ(AmountToMoles("2 m3", "H2O1", p, t, table_, 8.3145).moles,
                   p * 1e5 * 2 / (8.3145 * t));
}

TEST_F(AmountToMolesTest, NormalVolumeIgnoresTemperatureButNeedsOne) {
  const double expected = 1.01325 * 100000 * 10 / (8.3143 * 273.15);
  for (const char* text : {"10 [Nm\xC2\xB3]", "10 Nm3", "10 Nm\xB3", "10Nm\xC2\xB3"}) {
    const auto r = Water(text, 1.01325, 500.0);
    EXPECT_TRUE(r.ok) << text;
    EXPECT_DOUBLE_EQ(r.moles, expected) << text;
    EXPECT_FALSE(Water(text, 1.01325, 0.0).ok) << text;
  }
}

TEST_F(AmountToMolesTest, GasVolumesNeedPositiveTemperature) {
  for (const char* text : {"1 m3", "1 l", "1 [l]", "1 ft3", "1 [m\xC2\xB3]"}) {
    EXPECT_FALSE(Water(text, 1.0, 0.0).ok) << text;
    EXPECT_FALSE(Water(text, 1.0, -10.0).ok) << text;
  }
}

TEST_F(AmountToMolesTest, UnitsAreCaseSensitive) {
  for (const char* text : {"1 KG", "1 G", "1 Mol", "1 L", "1 LB", "1 NM3", "1 M3", "1 FT"}) {
    const auto r = Water(text);
    EXPECT_FALSE(r.ok) << text;
    EXPECT_EQ(r.moles, 0.0) << text;
  }
}

TEST_F(AmountToMolesTest, BadNumbersAreNotOk) {
  for (const char* text : {"1,5,5 g", "1e999", "1e999 kg", "NaN", "nan", "inf", "-inf g", "1 E g",
                           "2eg", "1/2 g", "1..5", "--1", "1 gram", "1 [g", "1 #", "1 \xC2\xB0"}) {
    const auto r = Water(text);
    EXPECT_FALSE(r.ok) << text;
    EXPECT_EQ(r.moles, 0.0) << text;
  }
}

TEST_F(AmountToMolesTest, OverflowingResultIsNotOk) {
  EXPECT_TRUE(Water("1e300 kg").ok);
  EXPECT_FALSE(Water("1e308 kg").ok);
  EXPECT_FALSE(Water("1e308 m3", 1e10, 1.0).ok);
  EXPECT_FALSE(AmountToMoles("1 m3", "H2O1", 1.0, 300.0, table_, 0.0).ok);
}

TEST_F(AmountToMolesTest, MassOfCompoundWithoutMolarMassIsNotOk) {
  EXPECT_FALSE(AmountToMoles("1 g", "", 1.0, 300.0, table_).ok);
  EXPECT_FALSE(AmountToMoles("0 kg", "Xx9", 1.0, 300.0, table_).ok);
  EXPECT_TRUE(AmountToMoles("1 mol", "Xx9", 1.0, 300.0, table_).ok);
}

TEST_F(AmountToMolesTest, HugeTextsDoNotCrash) {
  EXPECT_FALSE(Water(std::string(10000, '1')).ok);
  EXPECT_FALSE(Water("1 " + std::string(10000, 'g')).ok);
  EXPECT_FALSE(Water(std::string(10000, 'e')).ok);
  std::string mixed;
  for (int i = 0; i < 10000; ++i) mixed += static_cast<char>(i * 53 % 256);
  const auto r = Water(mixed);
  EXPECT_FALSE(r.ok);
  const auto blanks = Water(std::string(10000, ' ') + "7" + std::string(10000, ' '));
  EXPECT_TRUE(blanks.ok);
  EXPECT_EQ(blanks.moles, 7.0);
}

}  // namespace
}  // namespace ploxen
