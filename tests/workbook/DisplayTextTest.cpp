// Displayed text of numbers under the common number formats.
#include <gtest/gtest.h>

#include "workbook/DisplayText.h"

namespace ploxen {
namespace {

TEST(DisplayText, FixedDecimalsAndGroups) {
  EXPECT_EQ(DisplayText(CellValue::Number(64), "0.00"), "64.00");
  EXPECT_EQ(DisplayText(CellValue::Number(2.345), "0.0"), "2.3");
  EXPECT_EQ(DisplayText(CellValue::Number(-0.001), "0.00"), "0.00");  // no "-0.00"
  EXPECT_EQ(DisplayText(CellValue::Number(1234567.891), "#,##0.00"), "1,234,567.89");
  EXPECT_EQ(DisplayText(CellValue::Number(-1234), "#,##0"), "-1,234");
  EXPECT_EQ(DisplayText(CellValue::Number(2.5), "0"), "3");  // halves away from zero
  EXPECT_EQ(DisplayText(CellValue::Number(-2.5), "0"), "-3");
  EXPECT_EQ(DisplayText(CellValue::Number(2.675), "0.00"), "2.68");
}

TEST(DisplayText, PercentAndScientific) {
  EXPECT_EQ(DisplayText(CellValue::Number(0.1), "0.00%"), "10.00%");
  EXPECT_EQ(DisplayText(CellValue::Number(0.256), "0%"), "26%");
  EXPECT_EQ(DisplayText(CellValue::Number(12345), "0.00E+00"), "1.23E+04");
  EXPECT_EQ(DisplayText(CellValue::Number(9.996), "0.00E+00"), "1.00E+01");
  EXPECT_EQ(DisplayText(CellValue::Number(0.00012), "0.0E+00"), "1.2E-04");
}

TEST(DisplayText, GeneralTextAndOtherKindsShowTheirValue) {
  EXPECT_EQ(DisplayText(CellValue::Number(0.1 + 0.2), ""), "0.3");
  EXPECT_EQ(DisplayText(CellValue::Number(3), "General"), "3");
  EXPECT_EQ(DisplayText(CellValue::Number(45000), "yyyy-mm-dd"), "45000");  // dates not rendered
  EXPECT_EQ(DisplayText(CellValue::Text("CO"), "0.00"), "CO");
  EXPECT_EQ(DisplayText(CellValue::Boolean(true), "0.00"), "TRUE");
  EXPECT_EQ(DisplayText(CellValue::Error(ErrorCode::kDiv0), "0.00"), "#DIV/0!");
}

}  // namespace
}  // namespace ploxen
