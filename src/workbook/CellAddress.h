// Cell and range coordinates of a worksheet and their A1 text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ploxen {

constexpr int kMaxRows = 1048576;   ///< rows of a worksheet
constexpr int kMaxColumns = 16384;  ///< columns of a worksheet (A..XFD)

/// A cell position; row and column are 0-based (row 0 is sheet row 1, column 0 is A).
struct CellAddr {
  int row = 0;
  int col = 0;
  bool operator==(const CellAddr&) const = default;
};

/// Packs a 0-based position into one ordered key: ordering by key is row-major.
constexpr std::uint64_t CellKey(int row, int col) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(row)) << 32) |
         static_cast<std::uint32_t>(col);
}
constexpr int KeyRow(std::uint64_t key) { return static_cast<int>(key >> 32); }
constexpr int KeyCol(std::uint64_t key) { return static_cast<int>(key & 0xFFFFFFFFu); }

/// Column letters of a 0-based column: 0 -> "A", 26 -> "AA"; empty when out of range.
std::string ColumnLetters(int col);
/// 0-based column of letters such as "AA" (any case); -1 when not a valid column.
int ColumnFromLetters(std::string_view letters);
/// "B3" for row 2, column 1 (0-based), with "$" before the parts that are absolute.
std::string A1Text(int row, int col, bool rowAbs = false, bool colAbs = false);
/// Reads "B3" or "$B$3" into a 0-based position; false when the text is not one cell address.
bool ParseA1(std::string_view text, CellAddr& addr);

}  // namespace ploxen
