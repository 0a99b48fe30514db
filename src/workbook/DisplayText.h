// The text a cell displays: its value shown through its number format.
#pragma once

#include <string>

#include "workbook/CellValue.h"

namespace ploxen {

/// Displayed text of `value` under the number format code `format` ("" = General).
/// Supported: General, fixed decimals ("0", "0.00", "#,##0.00"), percent ("0%", "0.00%"),
/// scientific ("0.00E+00"), text "@"; other codes show the value as General does.
std::string DisplayText(const CellValue& value, const std::string& format);

}  // namespace ploxen
