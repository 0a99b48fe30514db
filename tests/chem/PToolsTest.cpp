// Number text, hexadecimal text, path resolution and time stamps.
#include "chem/PTools.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <filesystem>
#include <limits>
#include <string>

#include "support/Platform.h"

namespace ploxen {
namespace {

TEST(FormatFloatG, FixedNotation) {
  EXPECT_EQ(FormatFloat8(0.0), "0");
  EXPECT_EQ(FormatFloat8(1.5), "1.5");
  EXPECT_EQ(FormatFloat8(-2.25), "-2.25");
  EXPECT_EQ(FormatFloat8(100.0), "100");
  EXPECT_EQ(FormatFloat8(0.1), "0.1");
  EXPECT_EQ(FormatFloat8(1.0 / 3.0), "0.33333333");
  EXPECT_EQ(FormatFloat8(2.0 / 3.0), "0.66666667");
  EXPECT_EQ(FormatFloat8(1234.5678901), "1234.5679");
  EXPECT_EQ(FormatFloat8(12345678.0), "12345678");
  EXPECT_EQ(FormatFloat8(9.999999999), "10");
  EXPECT_EQ(FormatFloat8(0.00001), "0.00001");
  EXPECT_EQ(FormatFloat8(-0.000012345678), "-0.000012345678");
}

TEST(FormatFloatG, ScientificNotation) {
  EXPECT_EQ(FormatFloat8(123456789.0), "1.2345679E+0008");
  EXPECT_EQ(FormatFloat8(99999999.7), "1E+0008");
  EXPECT_EQ(FormatFloat8(0.0000099), "9.9E-0006");
  EXPECT_EQ(FormatFloat8(-1e-7), "-1E-0007");
  EXPECT_EQ(FormatFloat8(1e20), "1E+0020");
  EXPECT_EQ(FormatFloatG(1234.5, 3, 2), "1.23E+03");
  EXPECT_EQ(FormatFloatG(1.5e-7, 4, 0), "1.5E-7");
  EXPECT_EQ(FormatFloatG(6.02214076e23, 4, 1), "6.022E+23");
  EXPECT_EQ(FormatFloatG(1e-300, 8, 2), "1E-300");
  EXPECT_EQ(FormatFloatG(std::numeric_limits<double>::denorm_min(), 3, 2), "4.94E-324");
}

TEST(FormatFloatG, NonFiniteValues) {
  EXPECT_EQ(FormatFloat8(std::numeric_limits<double>::quiet_NaN()), "NAN");
  EXPECT_EQ(FormatFloat8(std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(FormatFloatFull(-std::numeric_limits<double>::infinity()), "-INF");
}

TEST(FormatFloatG, OddArgumentsStayBounded) {
  EXPECT_EQ(FormatFloatG(1.25, 0, 0), "1");
  EXPECT_EQ(FormatFloatG(1.25, -5, 0), "1");
  EXPECT_EQ(FormatFloatG(0.1, 100, 0), "0.10000000000000001");
  EXPECT_EQ(FormatFloatG(1e20, 2, 1000), "1E+0020");
}

TEST(FormatFloatFull, FifteenDigitsAndRoundTrip) {
  EXPECT_EQ(FormatFloatFull(0.1), "0.1");
  EXPECT_EQ(FormatFloatFull(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(FormatFloatFull(123456789012345.0), "123456789012345");
  EXPECT_EQ(FormatFloatFull(1234567890123456.0), "1.23456789012346E+15");
  EXPECT_EQ(FormatFloatFull(1e-20), "1E-20");
  for (double v : {8.3143, -273.15, 6.02214076e23, 1.380649e-23, 0.000123456789012345}) {
    EXPECT_NEAR(TextToFloat(FormatFloatFull(v)), v, std::fabs(v) * 1e-14) << v;
    EXPECT_NEAR(TextToFloat(FormatFloat8(v)), v, std::fabs(v) * 1e-7) << v;
  }
}

TEST(TextToFloat, CommaOrPointAndBlanks) {
  EXPECT_EQ(TextToFloat("12."), 12.0);
  EXPECT_EQ(TextToFloat(" 3,25 "), 3.25);
  EXPECT_EQ(TextToFloat("1 000,5"), 1000.5);
  EXPECT_EQ(TextToFloat("-2.5e3"), -2500.0);
  EXPECT_EQ(TextToFloat("+4"), 4.0);
  EXPECT_EQ(TextToFloat(".5"), 0.5);
  EXPECT_EQ(TextToFloat("\t7\r\n"), 7.0);
}

TEST(TextToFloat, NotANumberGivesZero) {
  for (const char* text : {"abc", "", " ", "1,5,5", "1.5.5", "1e999", "nan", "NaN", "inf", "-inf",
                           "0x10", "1e", "--1", "+-1", "5 kg"}) {
    EXPECT_EQ(TextToFloat(text), 0.0) << text;
    EXPECT_FALSE(IsFloatText(text)) << text;
  }
  EXPECT_EQ(TextToFloat(std::string(10000, '9')), 0.0);
}

TEST(IsFloatText, LeavesTheValue) {
  double last = -1.0;
  EXPECT_TRUE(IsFloatText(" 1,25", &last));
  EXPECT_EQ(last, 1.25);
  EXPECT_TRUE(IsFloatText("7.", &last));
  EXPECT_EQ(last, 7.0);
  EXPECT_FALSE(IsFloatText("x", &last));
  EXPECT_EQ(last, 0.0);
}

TEST(TryTextToFloat, NoTrimming) {
  double v = -1.0;
  EXPECT_TRUE(TryTextToFloat("1,5", v));
  EXPECT_EQ(v, 1.5);
  EXPECT_TRUE(TryTextToFloat("-1.5E-3", v));
  EXPECT_EQ(v, -0.0015);
  EXPECT_FALSE(TryTextToFloat(" 1.5", v));
  EXPECT_EQ(v, 0.0);
  v = -1.0;
  EXPECT_FALSE(TryTextToFloat("1.5 ", v));
  EXPECT_EQ(v, 0.0);
  EXPECT_FALSE(TryTextToFloat("1,5,5", v));
  EXPECT_FALSE(TryTextToFloat("", v));
  EXPECT_FALSE(TryTextToFloat("1e999", v));
  EXPECT_EQ(v, 0.0);
}

TEST(TextToInt, TrimmedDecimalIntegers) {
  EXPECT_EQ(TextToInt(" 42 "), 42);
  EXPECT_EQ(TextToInt("-7"), -7);
  EXPECT_EQ(TextToInt("+5"), 5);
  EXPECT_EQ(TextToInt("2147483647"), 2147483647);
  EXPECT_EQ(TextToInt("-2147483648"), -2147483647 - 1);
  for (const char* text : {"", "4.2", "12a", "0x10", "2147483648", "99999999999", "+-3", "- 3"}) {
    EXPECT_EQ(TextToInt(text), 0) << text;
  }
}

TEST(HexTextToInt, DigitsFromTheRight) {
  EXPECT_EQ(HexTextToInt("0x1F"), 31);
  EXPECT_EQ(HexTextToInt("1f"), 31);
  EXPECT_EQ(HexTextToInt(" ff "), 255);
  EXPECT_EQ(HexTextToInt("G1"), 1);
  EXPECT_EQ(HexTextToInt("1G"), 16);
  EXPECT_EQ(HexTextToInt(""), 0);
  EXPECT_EQ(HexTextToInt("0x"), 0);
  EXPECT_EQ(HexTextToInt("7FFFFFFF"), 2147483647);
}

TEST(HexTextToInt, LongTextsWrapAround) {
  EXPECT_EQ(HexTextToInt("FFFFFFFF"), -1);
  EXPECT_EQ(HexTextToInt("100000000"), 0);
  EXPECT_EQ(HexTextToInt(std::string(10000, 'F')), -1);
}

TEST(Trim, BlanksAndControlCharacters) {
  EXPECT_EQ(Trim("  a b \t\r\n"), "a b");
  EXPECT_EQ(Trim("\x01x\x1f"), "x");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim("\xC2\xB3 "), "\xC2\xB3");  // bytes above 127 are text
}

TEST(ResolvePath, WindowsAbsolutePathIsUnchanged) {
  EXPECT_EQ(ResolvePath("", "C:\\data\\x.tdb"), "C:\\data\\x.tdb");
  EXPECT_EQ(ResolvePath("/srv", "D:\\a/b"), "D:\\a/b");
}

TEST(ResolvePath, RelativeToTheProgramFolder) {
  const std::filesystem::path folder(ProgramFolder());
  const std::string expected = (folder.parent_path() / "data" / "x.tdb").string();
  EXPECT_EQ(ResolvePath("", "../data/x.tdb"), expected);
  EXPECT_EQ(ResolvePath("", "..\\data\\x.tdb"), expected);
  EXPECT_EQ(ResolvePath("", "x.ini"), (folder / "x.ini").string());
}

TEST(ResolvePath, RelativeToABase) {
  EXPECT_EQ(ResolvePath("/srv/app", "sub\\file.txt"), "/srv/app/sub/file.txt");
  EXPECT_EQ(ResolvePath("/srv/app/", "./x"), "/srv/app/x");
  EXPECT_EQ(ResolvePath("\\srv\\app", "..\\..\\..\\x"), "/x");
  EXPECT_EQ(ResolvePath("/srv/app", ""), "/srv/app");
  EXPECT_EQ(ResolvePath("/srv/app", "help/"), "/srv/app/help/");
  EXPECT_EQ(ResolvePath("/srv/app", ".."), "/srv");
}

TEST(ResolvePath, AbsolutePathsAreNormalised) {
  EXPECT_EQ(ResolvePath("/srv", "/etc/x"), "/etc/x");
  EXPECT_EQ(ResolvePath("/srv", "\\etc\\x"), "/etc/x");
  EXPECT_EQ(ResolvePath("", "/a/b/../c//d"), "/a/c/d");
}

TEST(ResolvePath, LeavesTheCurrentFolderAlone) {
  const auto before = std::filesystem::current_path();
  const std::string resolved = ResolvePath("rel", "x.txt");
  EXPECT_EQ(resolved, (before / "rel" / "x.txt").string());
  EXPECT_EQ(std::filesystem::current_path(), before);
}

std::chrono::system_clock::time_point LocalTimePoint(int y, int mo, int d, int h, int mi, int s,
                                                     int ms) {
  std::tm tm{};
  tm.tm_year = y - 1900;
  tm.tm_mon = mo - 1;
  tm.tm_mday = d;
  tm.tm_hour = h;
  tm.tm_min = mi;
  tm.tm_sec = s;
  tm.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&tm)) + std::chrono::milliseconds(ms);
}

TEST(TimeTexts, TwoDigitFieldsAndPlainMilliseconds) {
  const auto t = LocalTimePoint(2024, 1, 5, 7, 3, 9, 45);
  EXPECT_EQ(DateTimeText(t), "2024.01.05  07:03:09");
  EXPECT_EQ(TimeText(t), "07:03:09:45");
  const auto u = LocalTimePoint(2031, 12, 31, 23, 59, 58, 999);
  EXPECT_EQ(DateTimeText(u), "2031.12.31  23:59:58");
  EXPECT_EQ(TimeText(u), "23:59:58:999");
  EXPECT_EQ(TimeText(LocalTimePoint(2031, 12, 31, 0, 0, 0, 0)), "00:00:00:0");
}

}  // namespace
}  // namespace ploxen
