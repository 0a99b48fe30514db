// Escaping of XML text and the raw tag scanner used by the saves that patch parts in place.
#include "workbook/XmlText.h"

#include <algorithm>
#include <charconv>

#include "support/TextCodec.h"

namespace ploxen {

void AppendXmlEscaped(std::string& out, std::string_view s) {
  for (char c : s) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        out += c;
    }
  }
}

namespace {

bool IsNameEnd(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '/' || c == '>';
}

}  // namespace

std::string XmlDecoded(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    std::size_t semi = s[i] == '&' ? s.find(';', i) : std::string_view::npos;
    if (semi == std::string_view::npos || semi - i > 10) {
      out += s[i];
      continue;
    }
    std::string_view ent = s.substr(i + 1, semi - i - 1);
    unsigned cp = 0;
    bool ok = true;
    if (ent == "amp")
      out += '&';
    else if (ent == "lt")
      out += '<';
    else if (ent == "gt")
      out += '>';
    else if (ent == "quot")
      out += '"';
    else if (ent == "apos")
      out += '\'';
    else if (ent.size() > 1 && ent[0] == '#') {
      bool hex = ent[1] == 'x' || ent[1] == 'X';
      std::string_view digits = ent.substr(hex ? 2 : 1);
      auto [p, ec] =
          std::from_chars(digits.data(), digits.data() + digits.size(), cp, hex ? 16 : 10);
      ok = ec == std::errc() && p == digits.data() + digits.size() && cp <= 0x10FFFF;
      if (ok) AppendUtf8(out, static_cast<char32_t>(cp));
    } else {
      ok = false;
    }
    if (!ok) {
      out += s[i];
      continue;
    }
    i = semi;
  }
  return out;
}

std::string_view XmlTag::Local() const {
  std::size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool NextXmlTag(std::string_view xml, std::size_t& pos, XmlTag& tag) {
  while (true) {
    std::size_t lt = xml.find('<', pos);
    if (lt == std::string_view::npos || lt + 1 >= xml.size()) return false;
    std::string_view rest = xml.substr(lt);
    if (rest[1] == '?' || rest[1] == '!') {
      std::string_view close = rest.starts_with("<!--")        ? "-->"
                               : rest.starts_with("<![CDATA[") ? "]]>"
                                                               : ">";
      std::size_t stop = xml.find(close, lt + 2);
      if (stop == std::string_view::npos) return false;
      pos = stop + close.size();
      continue;
    }
    // The end of the tag: the first ">" outside a quoted attribute value. Found by searching
    // for the characters that matter rather than stepping through every one.
    std::size_t i = lt + 1;
    while (true) {
      std::size_t gt = xml.find('>', i);
      if (gt == std::string_view::npos) return false;
      std::size_t dq = xml.substr(0, gt).find('"', i);
      std::size_t sq = xml.substr(0, gt).find('\'', i);
      std::size_t q = std::min(dq, sq);
      if (q == std::string_view::npos) {
        i = gt;
        break;
      }
      std::size_t close = xml.find(xml[q], q + 1);
      if (close == std::string_view::npos) return false;
      i = close + 1;
    }
    tag.begin = lt;
    tag.end = i + 1;
    tag.closing = xml[lt + 1] == '/';
    tag.empty = !tag.closing && xml[i - 1] == '/';
    std::size_t nameStart = lt + (tag.closing ? 2 : 1);
    std::size_t nameEnd = nameStart;
    while (nameEnd < i && !IsNameEnd(xml[nameEnd])) ++nameEnd;
    tag.name = xml.substr(nameStart, nameEnd - nameStart);
    pos = tag.end;
    return true;
  }
}

std::vector<std::pair<std::string_view, std::string_view>> XmlAttributes(std::string_view tag) {
  std::vector<std::pair<std::string_view, std::string_view>> out;
  std::size_t i = 1;
  while (i < tag.size() && !IsNameEnd(tag[i])) ++i;  // the element name
  while (i < tag.size()) {
    while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t' || tag[i] == '\r' || tag[i] == '\n'))
      ++i;
    std::size_t nameStart = i;
    while (i < tag.size() && tag[i] != '=' && !IsNameEnd(tag[i])) ++i;
    std::string_view name = tag.substr(nameStart, i - nameStart);
    while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t' || tag[i] == '\r' || tag[i] == '\n'))
      ++i;
    if (name.empty() || i >= tag.size() || tag[i] != '=') break;
    ++i;
    while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t' || tag[i] == '\r' || tag[i] == '\n'))
      ++i;
    if (i >= tag.size() || (tag[i] != '"' && tag[i] != '\'')) break;
    char quote = tag[i++];
    std::size_t close = tag.find(quote, i);
    if (close == std::string_view::npos) break;
    out.emplace_back(name, tag.substr(i, close - i));
    i = close + 1;
  }
  return out;
}

std::string XmlAttribute(std::string_view tag, std::string_view name) {
  auto attrs = XmlAttributes(tag);
  for (const auto& [n, v] : attrs)
    if (n == name) return XmlDecoded(v);
  if (name.find(':') == std::string_view::npos)
    for (const auto& [n, v] : attrs) {
      std::size_t colon = n.find(':');
      if (colon != std::string_view::npos && n.substr(colon + 1) == name) return XmlDecoded(v);
    }
  return {};
}

namespace {

/// Byte range of attribute `name` in `tag`, including the space before it; {npos, 0} if absent.
std::pair<std::size_t, std::size_t> AttributeSpan(std::string_view tag, std::string_view name) {
  for (const auto& [n, v] : XmlAttributes(tag)) {
    if (n != name) continue;
    std::size_t begin = static_cast<std::size_t>(n.data() - tag.data());
    std::size_t end = static_cast<std::size_t>(v.data() - tag.data()) + v.size() + 1;
    while (begin > 0 && (tag[begin - 1] == ' ' || tag[begin - 1] == '\t' ||
                         tag[begin - 1] == '\r' || tag[begin - 1] == '\n'))
      --begin;
    return {begin, end};
  }
  return {std::string_view::npos, 0};
}

/// A space at `at` of tag text `tag` when what follows would run into the name before it: a
/// file may write attributes without a space between them, and a removed or replaced attribute
/// must not glue its neighbour to the element name or to the attribute before.
void KeepSeparated(std::string& tag, std::size_t at) {
  auto separates = [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '/' || c == '>';
  };
  if (at < tag.size() && at > 0 && !separates(tag[at]) && !separates(tag[at - 1]))
    tag.insert(at, 1, ' ');
}

}  // namespace

std::string WithXmlAttribute(std::string_view tag, std::string_view name, std::string_view value) {
  std::string attr = " ";
  attr += name;
  attr += "=\"";
  AppendXmlEscaped(attr, value);
  attr += '"';
  auto [begin, end] = AttributeSpan(tag, name);
  std::string out(tag);
  if (begin != std::string_view::npos) {
    out.replace(begin, end - begin, attr);
    KeepSeparated(out, begin + attr.size());
  } else {
    std::size_t at = out.size() - (out.ends_with("/>") ? 2 : 1);
    out.insert(at, attr);
  }
  return out;
}

std::string WithoutXmlAttribute(std::string_view tag, std::string_view name) {
  auto [begin, end] = AttributeSpan(tag, name);
  std::string out(tag);
  if (begin != std::string_view::npos) {
    out.erase(begin, end - begin);
    KeepSeparated(out, begin);
  }
  return out;
}

std::size_t XmlElementEnd(std::string_view xml, const XmlTag& start) {
  if (start.empty) return start.end;
  std::size_t pos = start.end;
  int depth = 1;
  XmlTag tag;
  while (NextXmlTag(xml, pos, tag)) {
    if (tag.empty) continue;
    depth += tag.closing ? -1 : 1;
    if (depth == 0) return tag.end;
  }
  return std::string_view::npos;
}

bool FindXmlElement(std::string_view xml, std::string_view local, std::size_t pos, XmlTag& tag) {
  while (NextXmlTag(xml, pos, tag))
    if (!tag.closing && tag.Local() == local) return true;
  return false;
}

}  // namespace ploxen
