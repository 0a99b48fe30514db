// Escaping of text written into the XML parts of saved workbooks, and a scanner over raw XML
// that lets a save edit single elements and leave every other byte of a part as it was.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ploxen {

/// Appends `s` with &, <, >, " and ' written as XML character entities.
void AppendXmlEscaped(std::string& out, std::string_view s);

/// `s` with the five predefined entities and numeric character references decoded.
std::string XmlDecoded(std::string_view s);

/// One tag of a raw XML text: its byte range and qualified name.
struct XmlTag {
  std::size_t begin = 0;           ///< offset of "<"
  std::size_t end = 0;             ///< offset just past ">"
  std::string_view name;           ///< qualified name, e.g. "table:table-cell"
  bool closing = false;            ///< "</name>"
  bool empty = false;              ///< "<name/>"
  std::string_view Local() const;  ///< the name without its prefix
};

/// The next start, end or empty-element tag at or after `pos` (comments, processing
/// instructions, CDATA and declarations are stepped over); false at the end or on a tag that
/// never closes. `pos` is left just past the tag.
bool NextXmlTag(std::string_view xml, std::size_t& pos, XmlTag& tag);

/// The attributes of the start tag text `tag` as (qualified name, raw value) pairs.
std::vector<std::pair<std::string_view, std::string_view>> XmlAttributes(std::string_view tag);
/// The decoded value of attribute `name` (qualified, or local when `name` has no prefix and
/// no attribute has exactly that name) of start tag text `tag`; empty when absent.
std::string XmlAttribute(std::string_view tag, std::string_view name);
/// Start tag text `tag` with attribute `name` set to `value` (escaped here); appended when
/// absent.
std::string WithXmlAttribute(std::string_view tag, std::string_view name, std::string_view value);
/// Start tag text `tag` without attribute `name` (qualified name, exact).
std::string WithoutXmlAttribute(std::string_view tag, std::string_view name);

/// The end offset (just past its end tag) of the element whose start tag is `start`;
/// `start.end` for an empty element; npos when the element never closes.
std::size_t XmlElementEnd(std::string_view xml, const XmlTag& start);
/// The first start tag at or after `pos` whose local name is `local`, at any depth.
bool FindXmlElement(std::string_view xml, std::string_view local, std::size_t pos, XmlTag& tag);

}  // namespace ploxen
