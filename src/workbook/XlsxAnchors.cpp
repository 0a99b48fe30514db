// Moving the cell anchors of a drawing part with inserted rows.
#include "workbook/XlsxAnchors.h"

#include <charconv>
#include <vector>

#include "workbook/XmlText.h"

namespace ploxen {

namespace {

/// The text span and value of the <row> inside the <from>/<to> element that starts at `at`
/// and ends at `end`.
bool AnchorRow(std::string_view xml, std::size_t at, std::size_t end, std::size_t& begin,
               std::size_t& stop, int& row) {
  XmlTag tag;
  if (!FindXmlElement(xml, "row", at, tag) || tag.end > end || tag.empty) return false;
  begin = tag.end;
  stop = xml.find('<', begin);
  if (stop == std::string_view::npos || stop > end) return false;
  std::string_view text = xml.substr(begin, stop - begin);
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), row);
  return ec == std::errc() && p == text.data() + text.size() && row >= 0;
}

}  // namespace

std::optional<std::string> MoveDrawingAnchors(std::string_view xml, const RowMap& rows) {
  // Row edits as (begin, end, new text), in document order.
  struct Edit {
    std::size_t begin, end;
    int row;
  };
  std::vector<Edit> edits;
  std::size_t pos = 0;
  XmlTag tag;
  while (NextXmlTag(xml, pos, tag)) {
    if (tag.closing) continue;
    const std::string_view local = tag.Local();
    if (local != "twoCellAnchor" && local != "oneCellAnchor") continue;
    std::size_t anchorEnd = XmlElementEnd(xml, tag);
    if (anchorEnd == std::string_view::npos) return std::nullopt;
    std::string editAs = XmlAttribute(xml.substr(tag.begin, tag.end - tag.begin), "editAs");
    if (local == "oneCellAnchor") editAs = "oneCell";
    if (editAs.empty()) editAs = "twoCell";
    XmlTag from, to;
    if (!FindXmlElement(xml, "from", tag.end, from) || from.end > anchorEnd) return std::nullopt;
    std::size_t fromEnd = XmlElementEnd(xml, from);
    Edit f{};
    if (fromEnd == std::string_view::npos ||
        !AnchorRow(xml, from.end, fromEnd, f.begin, f.end, f.row))
      return std::nullopt;
    pos = anchorEnd;
    if (editAs == "absolute") continue;
    const int shift = rows.ToCurrent(f.row) - f.row;
    if (shift != 0) edits.push_back({f.begin, f.end, f.row + shift});
    if (local == "oneCellAnchor") continue;
    if (!FindXmlElement(xml, "to", fromEnd, to) || to.end > anchorEnd) return std::nullopt;
    std::size_t toEnd = XmlElementEnd(xml, to);
    Edit t{};
    if (toEnd == std::string_view::npos || !AnchorRow(xml, to.end, toEnd, t.begin, t.end, t.row))
      return std::nullopt;
    const int moved = editAs == "oneCell" ? t.row + shift : rows.ToCurrent(t.row);
    if (moved != t.row) edits.push_back({t.begin, t.end, moved});
  }
  std::string out;
  std::size_t copied = 0;
  for (const Edit& e : edits) {
    out.append(xml.substr(copied, e.begin - copied));
    out += std::to_string(e.row);
    copied = e.end;
  }
  out.append(xml.substr(copied));
  return out;
}

}  // namespace ploxen
