// Reference shifting over the tokens of an A1 formula text.
#include "workbook/A1Shift.h"

#include <cctype>

#include "workbook/CellAddress.h"

namespace ploxen {

namespace {

bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '\\';
}

/// Length of a cell reference starting at `p` ("$A$1", "B2", "XFD1048576"), 0 when none.
std::size_t RefLength(std::string_view s, std::size_t p, bool& colAbs, int& col, bool& rowAbs,
                      int& row) {
  std::size_t i = p;
  colAbs = i < s.size() && s[i] == '$';
  if (colAbs) ++i;
  std::size_t l0 = i;
  while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i])) && i - l0 < 4) ++i;
  if (i == l0 || i - l0 > 3) return 0;
  col = ColumnFromLetters(s.substr(l0, i - l0));
  rowAbs = i < s.size() && s[i] == '$';
  if (rowAbs) ++i;
  std::size_t d0 = i;
  long value = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && i - d0 < 8) {
    value = value * 10 + (s[i] - '0');
    ++i;
  }
  if (i == d0 || col < 0 || value < 1) return 0;
  if (i < s.size() && (IsNameChar(s[i]) || s[i] == '(' || s[i] == '!'))
    return 0;  // a name or function
  row = static_cast<int>(value - 1);
  return i - p;
}

}  // namespace

std::string ShiftRelativeReferences(std::string_view s, int rows, int columns) {
  std::string out;
  out.reserve(s.size() + 8);
  std::size_t i = 0;
  while (i < s.size()) {
    char c = s[i];
    if (c == '"' || c == '\'') {  // string literal or quoted sheet name, doubled quotes inside
      std::size_t j = i + 1;
      while (j < s.size()) {
        if (s[j] == c) {
          if (j + 1 < s.size() && s[j + 1] == c) {
            j += 2;
            continue;
          }
          break;
        }
        ++j;
      }
      j = j < s.size() ? j + 1 : j;
      out.append(s.substr(i, j - i));
      i = j;
      continue;
    }
    if (c == '[') {  // external book index such as [1]
      std::size_t j = s.find(']', i);
      j = j == std::string_view::npos ? s.size() : j + 1;
      out.append(s.substr(i, j - i));
      i = j;
      continue;
    }
    bool startOfToken = i == 0 || !(IsNameChar(s[i - 1]) || s[i - 1] == '$');
    bool colAbs = false, rowAbs = false;
    int col = 0, row = 0;
    std::size_t len = startOfToken ? RefLength(s, i, colAbs, col, rowAbs, row) : 0;
    if (len > 0) {
      int newRow = rowAbs ? row : row + rows;
      int newCol = colAbs ? col : col + columns;
      if (newRow < 0 || newCol < 0 || newRow >= kMaxRows || newCol >= kMaxColumns) {
        out += "#REF!";
      } else {
        out += A1Text(newRow, newCol, rowAbs, colAbs);
      }
      i += len;
      continue;
    }
    // Copy a whole word so that references are only found at the start of one.
    if (IsNameChar(c)) {
      std::size_t j = i;
      while (j < s.size() && IsNameChar(s[j])) ++j;
      out.append(s.substr(i, j - i));
      i = j;
      continue;
    }
    out += c;
    ++i;
  }
  return out;
}

}  // namespace ploxen
