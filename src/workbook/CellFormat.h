// Cell formats the engine keeps from a file and writes back: font, fill, alignment, borders,
// number format.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace ploxen {

/// A colour as 0xRRGGBB; kAutoColour means "not set, the program's default".
constexpr std::uint32_t kAutoColour = 0xFFFFFFFFu;

/// Line styles of a cell border.
enum class BorderLine : std::uint8_t { kNone, kThin, kMedium, kThick, kDashed, kDotted, kDouble };

/// Horizontal alignment of a cell's content.
enum class HAlign : std::uint8_t { kGeneral, kLeft, kCenter, kRight, kJustify };
/// Vertical alignment of a cell's content.
enum class VAlign : std::uint8_t { kDefault, kTop, kCenter, kBottom };

/// The format of a cell. Index 0 of a book's format table is the default format.
struct CellFormat {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  std::string fontName;     ///< empty: the default font
  double fontSizePt = 0.0;  ///< 0: the default size [pt]
  std::uint32_t fontColour = kAutoColour;
  std::uint32_t fillColour = kAutoColour;  ///< solid background
  HAlign hAlign = HAlign::kGeneral;
  VAlign vAlign = VAlign::kDefault;
  bool wrap = false;
  std::string numberFormat;             ///< format code such as "0.00"; empty: General
  std::array<BorderLine, 4> borders{};  ///< left, right, top, bottom
  std::uint32_t borderColour = kAutoColour;

  bool IsDefault() const { return *this == CellFormat{}; }
  bool operator==(const CellFormat&) const = default;
};

/// Format code of a built-in number format id of the xlsx format (0..49); empty when unknown.
std::string BuiltinNumberFormat(int id);

}  // namespace ploxen
