// Number text under a comma-decimal process locale reads and writes exactly as under "C".
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <locale>
#include <string>

#include "chem/PTools.h"
#include "chem/Periodica.h"

namespace ploxen {
namespace {

// Switches the C and C++ global locales to a comma-decimal locale and restores both.
class CommaLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* current = std::setlocale(LC_ALL, nullptr);
    savedC_ = current ? current : "C";
    savedCpp_ = std::locale();
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
      GTEST_SKIP() << "locale de_DE.UTF-8 is not installed (test.sh generates it)";
    }
    try {
      std::locale::global(std::locale("de_DE.UTF-8"));
    } catch (const std::exception& e) {
      std::setlocale(LC_ALL, savedC_.c_str());
      GTEST_SKIP() << "C++ locale de_DE.UTF-8 unavailable: " << e.what();
    }
    switched_ = true;
  }
  void TearDown() override {
    if (!switched_) return;
    std::locale::global(savedCpp_);
    std::setlocale(LC_ALL, savedC_.c_str());
  }

  std::string savedC_;
  std::locale savedCpp_;
  bool switched_ = false;
};

TEST_F(CommaLocale, NumberTextIgnoresTheLocale) {
  // The locale is really active: the C library now writes a comma.
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", 1.5);
  ASSERT_STREQ(buf, "1,5");

  EXPECT_EQ(FormatFloat8(1.5), "1.5");
  EXPECT_EQ(FormatFloat8(-1234.5678), "-1234.5678");
  EXPECT_EQ(FormatFloatFull(0.25), "0.25");
  EXPECT_EQ(FormatFloatG(1.5e-7, 4, 2), "1.5E-07");
  EXPECT_EQ(TextToFloat("1.5"), 1.5);
  EXPECT_EQ(TextToFloat("1,5"), 1.5);
  double v = 0.0;
  EXPECT_TRUE(TryTextToFloat("2.25", v));
  EXPECT_EQ(v, 2.25);
  EXPECT_TRUE(IsFloatText("1e3", &v));
  EXPECT_EQ(v, 1000.0);
  EXPECT_EQ(TextToInt("1.000"), 0);
  EXPECT_EQ(TextToInt("1000"), 1000);
}

TEST_F(CommaLocale, ChemistryIgnoresTheLocale) {
  Periodica table;
  EXPECT_EQ(table.ElementCount("C", "C1.5O2"), 1.5);
  EXPECT_EQ(table.ElementCount("C", "C1,5O2"), 0.0);
  EXPECT_EQ(table.ParseElementLine("Xy = Name; n: 120; m: 300.5"), 106);
  EXPECT_EQ(table.ElementWeight(106), 300.5);
  const auto r = AmountToMoles("2.5 kg", "H2O1", 1.0, 298.15, table);
  EXPECT_TRUE(r.ok);
  EXPECT_DOUBLE_EQ(r.moles, 2.5 / table.MolarMass("H2O1") * 1000);
}

}  // namespace
}  // namespace ploxen
