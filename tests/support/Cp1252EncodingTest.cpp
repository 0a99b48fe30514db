// Text written for single-byte programs: UTF-8 to Windows-1252 and back.
#include <gtest/gtest.h>

#include "support/TextCodec.h"

namespace ploxen {
namespace {

TEST(Utf8ToCp1252, SignsOfUnitsAndTemperaturesBecomeOneByte) {
  EXPECT_EQ(Utf8ToCp1252("T=25 ;\xC2\xB0"
                         "C"),
            "T=25 ;\xB0"
            "C");
  EXPECT_EQ(Utf8ToCp1252("V [m\xC2\xB3]"), "V [m\xB3]");
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC \xE2\x80\x93"), "\x80 \x96");  // euro sign, en dash
  EXPECT_EQ(Utf8ToCp1252("plain text"), "plain text");
}

TEST(Utf8ToCp1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1252("a\xE6\xB0\xB4z"), "a?z");    // a CJK character
  EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x94\xA5!"), "?!");  // outside the basic plane
  EXPECT_EQ(Utf8ToCp1252("\xC2\x81"), "?");            // a C1 control code
}

TEST(Utf8ToCp1252, SingleByteTextIsLeftAsItIs) {
  EXPECT_EQ(Utf8ToCp1252("25 \xB0"
                         "C"),
            "25 \xB0"
            "C");
}

TEST(Utf8ToCp1252, RoundTripOfEveryDefinedByte) {
  std::string bytes;
  for (int c = 0x20; c <= 0xFF; ++c) {
    if (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D) continue;  // undefined
    bytes += static_cast<char>(c);
  }
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(bytes)), bytes);
}

}  // namespace
}  // namespace ploxen
