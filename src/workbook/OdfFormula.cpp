// Conversion of OpenFormula reference and separator syntax to A1 syntax.
#include "workbook/OdfFormula.h"

#include <cctype>

#include "workbook/CellAddress.h"

namespace ploxen {

namespace {

/// One side of an OpenFormula reference: optional sheet, then a cell, column or row.
struct OdfPart {
  std::string sheet;  ///< unquoted sheet name, empty for "."-relative
  std::string cell;   ///< "$A$1", "A1", "$A", "1"
};

/// Reads a sheet name at `p` ("$Sheet1", "'gas.1'", "$'it''s'"), up to the "." before the cell.
std::string ReadSheet(std::string_view s, std::size_t& p) {
  if (p < s.size() && s[p] == '$') ++p;
  std::string name;
  if (p < s.size() && s[p] == '\'') {
    ++p;
    while (p < s.size()) {
      if (s[p] == '\'') {
        if (p + 1 < s.size() && s[p + 1] == '\'') { name += '\''; p += 2; continue; }
        ++p;
        break;
      }
      name += s[p++];
    }
  } else {
    std::size_t dot = s.rfind('.');
    if (dot == std::string_view::npos || dot < p) return name;
    name = std::string(s.substr(p, dot - p));
    p = dot;
  }
  return name;
}

OdfPart ReadPart(std::string_view s) {
  OdfPart part;
  std::size_t p = 0;
  if (!s.empty() && s[0] != '.') part.sheet = ReadSheet(s, p);
  if (p < s.size() && s[p] == '.') ++p;
  part.cell = std::string(s.substr(p));
  return part;
}

std::string FileNameOf(std::string_view url) {
  std::size_t slash = url.find_last_of("/\\");
  return std::string(slash == std::string_view::npos ? url : url.substr(slash + 1));
}

/// "[...]" of an OpenFormula reference to A1 text.
std::string ConvertReference(std::string_view inner, std::vector<ExternalBook>* externals) {
  std::string bookPrefix;
  if (!inner.empty() && inner[0] == '\'' && inner.find("'#") != std::string_view::npos) {
    std::size_t end = inner.find("'#");
    std::string url(inner.substr(1, end - 1));
    inner.remove_prefix(end + 2);
    std::string file = FileNameOf(url);
    if (externals) {
      std::size_t n = 0;
      while (n < externals->size() && (*externals)[n].target != url) ++n;
      if (n == externals->size()) externals->push_back({file, url, {}});
      bookPrefix = "[" + std::to_string(n + 1) + "]";
    } else {
      bookPrefix = "[" + file + "]";
    }
  }
  if (inner.find("#REF!") != std::string_view::npos) return "#REF!";
  std::size_t colon = std::string_view::npos;
  bool quoted = false;
  for (std::size_t i = 0; i < inner.size(); ++i) {
    if (inner[i] == '\'') quoted = !quoted;
    if (inner[i] == ':' && !quoted) { colon = i; break; }
  }
  OdfPart first = ReadPart(inner.substr(0, colon));
  std::string out;
  if (!first.sheet.empty() || !bookPrefix.empty()) {
    std::string sheet = bookPrefix + first.sheet;
    out = QuoteSheetName(sheet) + "!";
  }
  out += first.cell;
  if (colon != std::string_view::npos) {
    OdfPart second = ReadPart(inner.substr(colon + 1));
    out += ":" + second.cell;
  }
  return out;
}

}  // namespace

std::string QuoteSheetName(std::string_view name) {
  bool plain = !name.empty() && (std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_');
  for (char c : name)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) plain = false;
  CellAddr probe;
  if (plain && (ParseA1(name, probe) || ColumnFromLetters(name) >= 0 || name == "TRUE" ||
                name == "FALSE" || name == "R" || name == "C"))
    plain = false;
  if (plain && !name.empty() && (name[0] == 'R' || name[0] == 'r' || name[0] == 'C' || name[0] == 'c')) {
    // "R1C1"-like names read as references in R1C1 notation: quote them too.
    bool rc = true;
    for (char c : name.substr(1))
      if (!(std::isdigit(static_cast<unsigned char>(c)) || c == 'C' || c == 'c' || c == 'R' || c == 'r'))
        rc = false;
    if (rc) plain = false;
  }
  if (plain) return std::string(name);
  std::string out = "'";
  for (char c : name) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

std::string OdfToA1Formula(std::string_view s, std::vector<ExternalBook>* externals) {
  if (s.rfind("of:", 0) == 0) s.remove_prefix(3);
  else if (s.rfind("oooc:", 0) == 0) s.remove_prefix(5);
  if (!s.empty() && s[0] == '=') s.remove_prefix(1);
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    char c = s[i];
    if (c == '"') {
      std::size_t j = i + 1;
      while (j < s.size()) {
        if (s[j] == '"') {
          if (j + 1 < s.size() && s[j + 1] == '"') { j += 2; continue; }
          break;
        }
        ++j;
      }
      j = j < s.size() ? j + 1 : j;
      out.append(s.substr(i, j - i));
      i = j;
    } else if (c == '[') {
      std::size_t j = i + 1;
      bool quoted = false;
      while (j < s.size() && (quoted || s[j] != ']')) {
        if (s[j] == '\'') quoted = !quoted;
        ++j;
      }
      out += ConvertReference(s.substr(i + 1, j - i - 1), externals);
      i = j < s.size() ? j + 1 : j;
    } else if (c == ';') {
      out += ',';
      ++i;
    } else if ((s.compare(i, 6, "TRUE()") == 0 || s.compare(i, 7, "FALSE()") == 0) &&
               (i == 0 || !std::isalnum(static_cast<unsigned char>(s[i - 1])))) {
      std::size_t n = s[i] == 'T' ? 4 : 5;
      out.append(s.substr(i, n));
      i += n + 2;
    } else {
      out += c;
      ++i;
    }
  }
  return out;
}

}  // namespace ploxen
