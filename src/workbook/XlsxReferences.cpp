// Moving the sheet references of defined names and chart formulas with inserted rows and
// renamed sheets.
#include "workbook/XlsxReferences.h"

#include <algorithm>

#include "workbook/XlsxPatch.h"
#include "workbook/XmlText.h"

namespace ploxen {

namespace {

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsNameChar(char c) {
  return IsLetter(c) || IsDigit(c) || c == '_' || c == '.' || c == '\\' ||
         static_cast<unsigned char>(c) >= 0x80;
}

/// Length of one end of an A1 range at `pos` ("$B$3", "B3", "B", "3"); 0 when there is none.
std::size_t RangeEndLength(std::string_view s, std::size_t pos) {
  std::size_t i = pos;
  if (i < s.size() && s[i] == '$') ++i;
  std::size_t letters = i;
  while (i < s.size() && IsLetter(s[i])) ++i;
  letters = i - letters;
  if (letters > 3) return 0;
  std::size_t dollar = i;
  if (i < s.size() && s[i] == '$') ++i;
  std::size_t digits = i;
  while (i < s.size() && IsDigit(s[i])) ++i;
  digits = i - digits;
  if (letters == 0 && digits == 0) return 0;
  if (digits == 0 && i > dollar) return 0;  // "B$" is nothing
  return i - pos;
}

/// Length of the A1 reference or range after a "Sheet!" at `pos`.
std::size_t RangeLength(std::string_view s, std::size_t pos) {
  std::size_t first = RangeEndLength(s, pos);
  if (first == 0) return 0;
  std::size_t end = pos + first;
  if (end < s.size() && s[end] == ':') {
    std::size_t second = RangeEndLength(s, end + 1);
    if (second > 0) end += 1 + second;
  }
  return end - pos;
}

/// True for a token that reads as a cell address ("B3", "$B$3").
bool LooksLikeCell(std::string_view token) {
  if (token.empty()) return false;
  std::size_t n = RangeEndLength(token, 0);
  if (n != token.size()) return false;
  std::size_t i = token[0] == '$' ? 1 : 0;
  return IsLetter(token[i]) && IsDigit(token.back());
}

/// A sheet name as a formula writes it: quoted when it is not a plain name.
std::string SheetPrefix(const std::string& name) {
  bool plain = !name.empty() && (IsLetter(name[0]) || name[0] == '_') && !LooksLikeCell(name);
  for (char c : name) plain = plain && (IsLetter(c) || IsDigit(c) || c == '_');
  if (plain) return name;
  std::string out = "'";
  for (char c : name) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

}  // namespace

std::optional<std::string> MoveSheetReferences(std::string_view f, const SheetMoves& moves) {
  bool rowsMoved = false;
  for (const auto& [name, move] : moves) rowsMoved = rowsMoved || (move.rows && move.rows->Moved());
  std::string out;
  std::size_t i = 0;
  const std::size_t n = f.size();
  while (i < n) {
    const std::size_t start = i;
    const char c = f[i];
    if (c == '"') {  // a string, "" inside it
      std::size_t j = i + 1;
      while (j < n && !(f[j] == '"' && (j + 1 >= n || f[j + 1] != '"'))) j += f[j] == '"' ? 2 : 1;
      i = std::min(j + 1, n);
      out.append(f.substr(start, i - start));
      continue;
    }
    if (c == '$') {  // "$B$3" or "$3:$5" without a sheet
      std::size_t length = RangeLength(f, i);
      std::string_view ref = f.substr(i, length);
      bool rowsNamed = ref.find_first_of("0123456789") != std::string_view::npos;
      if (rowsMoved && rowsNamed && (i + length >= n || f[i + length] != '!')) return std::nullopt;
      out.append(f.substr(i, std::max<std::size_t>(length, 1)));
      i += std::max<std::size_t>(length, 1);
      continue;
    }
    std::string name;
    bool quoted = false;
    if (c == '\'') {
      quoted = true;
      std::size_t j = i + 1;
      for (; j < n; ++j) {
        if (f[j] != '\'') {
          name += f[j];
        } else if (j + 1 < n && f[j + 1] == '\'') {
          name += '\'';
          ++j;
        } else {
          break;
        }
      }
      i = std::min(j + 1, n);
    } else if (c == '[' || IsNameChar(c)) {
      std::size_t j = i;
      if (c == '[') {  // an external book: "[1]Sheet1!A1" is never one of ours
        std::size_t close = f.find(']', i);
        j = close == std::string_view::npos ? n : close + 1;
      }
      while (j < n && IsNameChar(f[j])) ++j;
      name = std::string(f.substr(i, j - i));
      i = j;
    } else {
      out += c;
      ++i;
      continue;
    }
    // "Sheet1:Sheet3!A1" spans sheets.
    std::string last;
    if (!quoted && i < n && f[i] == ':') {
      std::size_t j = i + 1;
      while (j < n && IsNameChar(f[j])) ++j;
      if (j < n && f[j] == '!' && j > i + 1) {
        last = std::string(f.substr(i + 1, j - i - 1));
        i = j;
      }
    } else if (quoted && name.find(':') != std::string::npos && i < n && f[i] == '!') {
      last = name.substr(name.find(':') + 1);
      name.erase(name.find(':'));
    }
    if (i >= n || f[i] != '!') {
      // Not a sheet: a function, a name, a number or an address without a sheet.
      if (!quoted && rowsMoved && LooksLikeCell(name) && (i >= n || f[i] != '('))
        return std::nullopt;
      out.append(f.substr(start, i - start));
      continue;
    }
    ++i;  // past "!"
    const std::size_t length = RangeLength(f, i);
    std::string_view range = f.substr(i, length);
    i += length;
    if (!last.empty()) {
      if (moves.count(name) || moves.count(last)) return std::nullopt;
      out.append(f.substr(start, i - start));
      continue;
    }
    auto move = moves.find(name);
    if (move == moves.end()) {
      out.append(f.substr(start, i - start));
      continue;
    }
    out += move->second.name == name
               ? std::string(f.substr(start, range.data() - f.data() - start - 1))
               : SheetPrefix(move->second.name);
    out += '!';
    if (move->second.rows && move->second.rows->Moved() && !range.empty())
      out += ShiftRangeList(range, *move->second.rows);
    else
      out.append(range);
  }
  return out;
}

std::optional<std::string> MoveElementReferences(std::string_view xml, std::string_view local,
                                                 const SheetMoves& moves, bool& changed) {
  changed = false;
  std::string out;
  std::size_t pos = 0, copied = 0;
  XmlTag tag;
  while (FindXmlElement(xml, local, pos, tag)) {
    pos = tag.end;
    if (tag.empty) continue;
    std::size_t close = xml.find('<', tag.end);
    if (close == std::string_view::npos) break;
    std::string text = XmlDecoded(xml.substr(tag.end, close - tag.end));
    std::optional<std::string> moved = MoveSheetReferences(text, moves);
    if (!moved) return std::nullopt;
    if (*moved == text) continue;
    out.append(xml.substr(copied, tag.end - copied));
    AppendXmlEscaped(out, *moved);
    copied = close;
    changed = true;
  }
  out.append(xml.substr(copied));
  return out;
}

}  // namespace ploxen
