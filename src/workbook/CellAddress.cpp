// A1 text of cell coordinates.
#include "workbook/CellAddress.h"

namespace ploxen {

std::string ColumnLetters(int col) {
  if (col < 0 || col >= kMaxColumns) return {};
  std::string s;
  int n = col + 1;
  while (n > 0) {
    int r = (n - 1) % 26;
    s.insert(s.begin(), static_cast<char>('A' + r));
    n = (n - 1) / 26;
  }
  return s;
}

int ColumnFromLetters(std::string_view letters) {
  if (letters.empty() || letters.size() > 3) return -1;
  int n = 0;
  for (char c : letters) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') return -1;
    n = n * 26 + (c - 'A' + 1);
  }
  return n <= kMaxColumns ? n - 1 : -1;
}

std::string A1Text(int row, int col, bool rowAbs, bool colAbs) {
  std::string s;
  if (colAbs) s += '$';
  s += ColumnLetters(col);
  if (rowAbs) s += '$';
  s += std::to_string(row + 1);
  return s;
}

bool ParseA1(std::string_view text, CellAddr& addr) {
  size_t i = 0;
  if (i < text.size() && text[i] == '$') ++i;
  size_t start = i;
  while (i < text.size() && ((text[i] >= 'A' && text[i] <= 'Z') || (text[i] >= 'a' && text[i] <= 'z')))
    ++i;
  int col = ColumnFromLetters(text.substr(start, i - start));
  if (col < 0) return false;
  if (i < text.size() && text[i] == '$') ++i;
  if (i >= text.size() || text[i] == '0') return false;
  long row = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    row = row * 10 + (text[i] - '0');
    if (row > kMaxRows) return false;
  }
  if (row < 1) return false;
  addr = {static_cast<int>(row - 1), col};
  return true;
}

}  // namespace ploxen
