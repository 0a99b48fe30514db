// Headers and labels of process workbooks: phase definitions, units, composition kinds,
// property columns and condition sheet labels.
#include <gtest/gtest.h>

#include "process/ConditionLayout.h"
#include "process/PhaseLayout.h"
#include "process/PhaseSlot.h"

namespace ploxen {
namespace {

TEST(PhaseDefinition, AcceptsStateAndWordsInAnyCase) {
  EXPECT_EQ(PhaseKindOfDefinition("(g)"), PhaseKind::kGas);
  EXPECT_EQ(PhaseKindOfDefinition("Gas phase"), PhaseKind::kGas);
  EXPECT_EQ(PhaseKindOfDefinition("LIQUID"), PhaseKind::kLiquid);
  EXPECT_EQ(PhaseKindOfDefinition("(S)"), PhaseKind::kSolid);
  EXPECT_EQ(PhaseKindOfDefinition("phase (g)"), PhaseKind::kNone);
  EXPECT_EQ(PhaseKindOfDefinition(""), PhaseKind::kNone);
  EXPECT_EQ(PhaseKindOfNames({"CO2", "H2O (l)", "N2 (g)"}), PhaseKind::kLiquid);
  EXPECT_EQ(PhaseKindOfNames({"CO2", "H2O(l)"}), PhaseKind::kNone);
}

TEST(CompoundName, GetsTheStateOfItsSheetUnlessItHasOne) {
  EXPECT_EQ(CompleteCompoundName("CO2", PhaseKind::kGas), "CO2 (g)");
  EXPECT_EQ(CompleteCompoundName("H2O (l)", PhaseKind::kGas), "H2O (l)");
  EXPECT_EQ(CompleteCompoundName("C", PhaseKind::kSolid), "C (s)");
  EXPECT_EQ(CompleteCompoundName("(g)", PhaseKind::kGas), "(g) (g)");
}

TEST(UnitHeader, LaterMatchesWin) {
  EXPECT_EQ(UnitCodeOfHeader(""), 0);
  EXPECT_EQ(UnitCodeOfHeader("mol"), 0);
  EXPECT_EQ(UnitCodeOfHeader("In [g]"), 1);
  EXPECT_EQ(UnitCodeOfHeader("in [kg]"), 2);
  EXPECT_EQ(UnitCodeOfHeader("[lb]"), 3);
  EXPECT_EQ(UnitCodeOfHeader("[l]"), 4);
  EXPECT_EQ(UnitCodeOfHeader("[m\xC2\xB3]"), 5);
  EXPECT_EQ(UnitCodeOfHeader("[m3]"), 5);
  EXPECT_EQ(UnitCodeOfHeader("[ft3]"), 6);
  EXPECT_EQ(UnitCodeOfHeader("Out [Nm\xC2\xB3]"), 7);
  EXPECT_EQ(UnitCodeOfHeader("[KG]"), 0);
  EXPECT_EQ(UnitName(5), "[m\xC2\xB3]");
  EXPECT_EQ(UnitName(9), "[mol]");
}

TEST(CompositionHeader, PercentBeatsFractionAndUnknownKeepsPrevious) {
  const auto mole = CompositionKind::kMoleFraction;
  EXPECT_EQ(CompositionOfHeader("w%", mole), CompositionKind::kMassPercent);
  EXPECT_EQ(CompositionOfHeader("w [kg/kg]", mole), CompositionKind::kMassFraction);
  EXPECT_EQ(CompositionOfHeader("W [KG/KG]", mole), CompositionKind::kMassFraction);
  EXPECT_EQ(CompositionOfHeader("x [mol/mol]", CompositionKind::kMassPercent), mole);
  EXPECT_EQ(CompositionOfHeader("comp.", CompositionKind::kMassPercent),
            CompositionKind::kMassPercent);
}

TEST(PropertyHeader, QuantityAndUnitCode) {
  PropertySelector h = PropertyOfHeader("H [kJ/kg]");
  EXPECT_EQ(h.property, Property::kEnthalpy);
  EXPECT_EQ(h.unitCode, 80);
  PropertySelector cp = PropertyOfHeader(" Cp [J/mol K] ");
  EXPECT_EQ(cp.property, Property::kHeatCapacity);
  EXPECT_EQ(cp.unitCode, 1);
  EXPECT_EQ(PropertyOfHeader("G [J/kmol]").unitCode, 2);
  EXPECT_EQ(PropertyOfHeader("S [kJ/g K]").unitCode, 40);
  EXPECT_EQ(PropertyOfHeader("H [kJ/mol]").unitCode, 10);
  EXPECT_EQ(PropertyOfHeader("G kg").unitCode, 8);
  EXPECT_FALSE(PropertyOfHeader("Comment").Active());
  EXPECT_FALSE(PropertyOfHeader("").Active());
  EXPECT_EQ(PropertyOfHeader("MW [g/mol]").property, Property::kMolarMass);
  EXPECT_EQ(PropertyOfHeader("Z").property, Property::kZ);
}

TEST(PropertyHeader, WrittenHeaderReadsBackToTheSameSelector) {
  for (const char* header : {"H [kJ/mol]", "Cp [J/kg K]", "S [kJ/g K]", "G [J/kmol]", "Z", "MW"}) {
    const PropertySelector sel = PropertyOfHeader(header);
    const PropertySelector again = PropertyOfHeader(PropertyHeader(sel, 25.0, true));
    EXPECT_EQ(again.property, sel.property) << header;
    EXPECT_EQ(again.unitCode, sel.unitCode) << header;
  }
}

TEST(PropertyHeader, TextWithRoundedTemperature) {
  EXPECT_EQ(PropertyHeader(PropertyOfHeader("H [kJ/mol]"), 25.0, true),
            "H [kJ/mol] (25\xC2\xB0"
            "C)");
  EXPECT_EQ(PropertyHeader(PropertyOfHeader("Cp [J/mol K]"), 298.4, false), "Cp[J/mol K] (298 K)");
  EXPECT_EQ(PropertyHeader(PropertyOfHeader("MW"), 25.0, true), "MW [g/mol]");
  EXPECT_EQ(PropertyHeader(PropertyOfHeader("Z"), 1000.0, false), "z [-] (1000 K)");
}

TEST(PropertyConversion, ByUnitCode) {
  const double m = 18.0;
  EXPECT_DOUBLE_EQ(ConvertProperty(36.0, 1, m), 36.0);
  EXPECT_DOUBLE_EQ(ConvertProperty(36.0, 2, m), 36000.0);
  EXPECT_DOUBLE_EQ(ConvertProperty(36.0, 4, m), 2.0);
  EXPECT_DOUBLE_EQ(ConvertProperty(36.0, 8, m), 2000.0);
  EXPECT_DOUBLE_EQ(ConvertProperty(36.0, 10, m), 0.036);
  EXPECT_DOUBLE_EQ(ConvertProperty(36.0, 20, m), 36.0);
  EXPECT_DOUBLE_EQ(ConvertProperty(36000.0, 40, m), 2.0);
  EXPECT_DOUBLE_EQ(ConvertProperty(36.0, 80, m), 2.0);
}

TEST(ConditionLabels, TemperatureAndPressureModes) {
  EXPECT_FALSE(TemperatureInCelsius("T[K]"));
  EXPECT_TRUE(
      TemperatureInCelsius("T[\xC2\xB0"
                           "C]"));
  EXPECT_TRUE(TemperatureInCelsius("T [C]"));
  EXPECT_FALSE(TemperatureInCelsius("t [c]"));
  EXPECT_TRUE(ConstantVolume("V [m\xC2\xB3]"));
  EXPECT_TRUE(ConstantVolume("v"));
  EXPECT_TRUE(ConstantVolume("Volume"));
  EXPECT_FALSE(ConstantVolume("P [bar]"));
  EXPECT_FALSE(ConstantVolume(""));
}

TEST(ConditionLabels, TargetCounterAndKind) {
  EXPECT_EQ(MinimisationTarget("g"), 1);
  EXPECT_EQ(MinimisationTarget("S"), -1);
  EXPECT_EQ(MinimisationTarget("Gibbs"), 0);
  EXPECT_TRUE(AutoCounter("Count +C"));
  EXPECT_FALSE(AutoCounter("Count +c"));
  EXPECT_EQ(ConditionKind("EQL"), 0);
  EXPECT_EQ(ConditionKind("Process"), 0);
  EXPECT_EQ(ConditionKind("rcl"), 1);
  EXPECT_EQ(ConditionKind("balance"), -1);
  EXPECT_EQ(NextRunCounter(4), 5);
  EXPECT_EQ(NextRunCounter(-3), 1);
  EXPECT_EQ(NextRunCounter(2147483647), 1);
}

TEST(ConditionLabels, KernelOptionsOnlyInRange) {
  EXPECT_TRUE(AcceptPrecision("0.001"));
  EXPECT_FALSE(AcceptPrecision("1"));
  EXPECT_FALSE(AcceptPrecision("0"));
  EXPECT_FALSE(AcceptPrecision("abc"));
  EXPECT_TRUE(AcceptIterationLimit("5000"));
  EXPECT_FALSE(AcceptIterationLimit("0"));
  EXPECT_FALSE(AcceptIterationLimit("-5"));
  EXPECT_FALSE(AcceptIterationLimit("2.5"));
  EXPECT_TRUE(AcceptApproximationFactor("0,9"));
}

TEST(PhaseSlots, KindsCaptionsAndLowestFreeSlot) {
  PhaseSlots slots;
  EXPECT_EQ(SlotKind(2), PhaseKind::kGas);
  EXPECT_EQ(SlotKind(5), PhaseKind::kLiquid);
  EXPECT_EQ(SlotKind(6), PhaseKind::kSolid);
  EXPECT_EQ(DefaultTabCaption(4), "LiqPh.2");
  EXPECT_EQ(FreeSlot(slots, PhaseKind::kLiquid), 3);
  slots[1].occupied = slots[2].occupied = true;
  EXPECT_EQ(FreeSlot(slots, PhaseKind::kGas), 0);
}

}  // namespace
}  // namespace ploxen
