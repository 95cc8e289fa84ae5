#include "dl/datatype/canonical.h"

#include <algorithm>

#include "json/prescan.h"

namespace trelvanic_dl::datatype {

namespace {

std::string_view trim_start(std::string_view s) { return s.substr(white_space_prefix(s)); }

void replace_all(std::string& s, std::string_view from, std::string_view to) {
  std::string out;
  size_t at = 0;
  for (size_t hit; (hit = s.find(from, at)) != std::string::npos; at = hit + from.size()) {
    out.append(s, at, hit - at);
    out += to;
  }
  out.append(s, at, std::string::npos);
  s = std::move(out);
}

void write_attributes(std::string& out, std::vector<std::pair<std::string, std::string>> attrs) {
  std::stable_sort(attrs.begin(), attrs.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [name, value] : attrs) {
    out += ' ';
    out += name;
    out += "=\"";
    out += value;
    out += '"';
  }
}

// Calls `on_tag(tag)` for every complete tag from "<" to ">" and copies the
// text between tags; a tag cut off by the end is copied and ends the walk.
template <class OnTag>
std::string map_tags(std::string_view text, OnTag on_tag) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '<') {
      out += text[i++];
      continue;
    }
    size_t close = text.find('>', i);
    if (close == std::string_view::npos) {
      out.append(text.substr(i));
      break;
    }
    out += on_tag(text.substr(i, close - i + 1));
    i = close + 1;
  }
  return out;
}

}  // namespace

size_t white_space_prefix(std::string_view s) { return trelvanic_json::unicode_whitespace_prefix(s); }

std::string_view trim_white_space(std::string_view s) { return trelvanic_json::trim_unicode_whitespace(s); }

std::string canonical_plain_literal(std::string_view text) {
  if (text == "-0" || text == "+0") return "0";
  return std::string(text);
}

std::string unescape_ofn_literal(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (i + 1 == text.size()) {
      out += '\\';
      break;
    }
    const char c = text[++i];
    switch (c) {
      case '\\': out += '\\'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case '"': out += '"'; break;
      default:
        out += '\\';
        out += c;
    }
  }
  return out;
}

XmlTag parse_xml_tag_name_and_attrs(std::string_view raw) {
  XmlTag tag;
  std::string_view text = trim_white_space(raw);
  if (text.empty()) return tag;
  size_t eq = text.find("=\"");
  if (eq == std::string_view::npos) eq = text.find("='");
  if (eq == std::string_view::npos) {
    tag.name = std::string(text);
    return tag;
  }
  std::string_view attrs;
  const size_t space = text.substr(0, eq).rfind(' ');
  if (space == std::string_view::npos) {
    attrs = text;  // no name: the caller keeps the tag as written
  } else {
    tag.name = std::string(trim_white_space(text.substr(0, space)));
    attrs = text.substr(space + 1);
  }
  std::string_view rest = trim_white_space(attrs);
  while (!rest.empty()) {
    const size_t at = rest.find('=');
    if (at == std::string_view::npos) break;
    std::string_view name = trim_white_space(rest.substr(0, at));
    std::string_view after = trim_start(rest.substr(at + 1));
    if (after.empty() || (after.front() != '"' && after.front() != '\'')) break;
    const char quote = after.front();
    const size_t end = after.find(quote, 1);
    if (end == std::string_view::npos) break;
    if (!name.empty()) tag.attributes.emplace_back(std::string(name), std::string(after.substr(1, end - 1)));
    rest = trim_start(after.substr(end + 1));
  }
  if (space == std::string_view::npos) tag.name.clear();
  return tag;
}

std::string canonical_xml_literal(std::string_view text) {
  const std::string unescaped = unescape_ofn_literal(text);
  // White space outside double quotes collapses to one space.
  std::string collapsed;
  bool quoted = false, pending = false;
  std::string_view rest = unescaped;
  while (!rest.empty()) {
    if (rest.front() == '"') {
      if (pending) collapsed += ' ';
      collapsed += '"';
      quoted = !quoted;
      pending = false;
      rest.remove_prefix(1);
      continue;
    }
    const size_t space = white_space_prefix(rest);
    if (space != 0 && !quoted) {
      pending = true;
      rest.remove_prefix(space);
      continue;
    }
    const size_t n = space != 0 ? space : 1;
    if (pending) collapsed += ' ';
    collapsed.append(rest.substr(0, n));
    pending = false;
    rest.remove_prefix(n);
  }
  replace_all(collapsed, "<br ></br>", "<br/>");
  replace_all(collapsed, "<br></br>", "<br/>");
  replace_all(collapsed, "></img>", "/>");

  std::string sorted = map_tags(collapsed, [](std::string_view tag) -> std::string {
    std::string_view inner = trim_white_space(tag.substr(1, tag.size() - 2));
    if (inner.starts_with('!') || inner.starts_with('/')) return std::string(tag);
    bool self_closing = false;
    if (inner.ends_with('/')) {
      while (inner.ends_with('/')) inner.remove_suffix(1);
      inner = trim_white_space(inner);
      self_closing = true;
    }
    XmlTag parsed = parse_xml_tag_name_and_attrs(inner);
    if (parsed.name.empty()) return std::string(tag);
    std::string out = "<" + parsed.name;
    write_attributes(out, std::move(parsed.attributes));
    out += self_closing ? "/>" : ">";
    return out;
  });
  return map_tags(sorted, [](std::string_view tag) -> std::string {
    if (!tag.ends_with("/>") || tag.starts_with("<?") || tag.starts_with("<!") || tag.starts_with("</")) {
      return std::string(tag);
    }
    XmlTag parsed = parse_xml_tag_name_and_attrs(trim_white_space(tag.substr(1, tag.size() - 3)));
    if (parsed.name.empty()) return std::string(tag);
    std::string out = "<" + parsed.name;
    write_attributes(out, std::move(parsed.attributes));
    out += "></" + parsed.name + ">";
    return out;
  });
}

std::string trailing_xml_text_suffix(std::string_view text) {
  const std::string unescaped = unescape_ofn_literal(text);
  const size_t last = unescaped.rfind('>');
  if (last == std::string::npos) return {};
  return unescaped.substr(last + 1);
}

std::string_view strip_datetime_timezone(std::string_view text) {
  std::string_view t = text;
  if (t.ends_with('Z')) t.remove_suffix(1);
  const size_t time = t.find('T');
  if (time == std::string_view::npos) return t;
  const size_t sign = t.find_last_of("+-");
  if (sign == std::string_view::npos || sign < time) return t;
  if (t.substr(sign).find(':') != std::string_view::npos) return t.substr(0, sign);
  return t;
}

std::string normalize_datetime_lex(std::string_view text) {
  std::string_view t = strip_datetime_timezone(text);
  const size_t time = t.find('T');
  if (time == std::string_view::npos) return std::string(t);
  std::string_view date = t.substr(0, time), clock = t.substr(time + 1);
  const size_t dot = clock.find('.');
  std::string out(date);
  out.push_back('T');
  if (dot == std::string_view::npos) return out.append(clock);
  std::string_view seconds = clock.substr(0, dot), fraction = clock.substr(dot + 1);
  while (!fraction.empty() && (fraction.back() < '0' || fraction.back() > '9')) fraction.remove_suffix(1);
  out.append(seconds);
  if (!fraction.empty()) out.append(1, '.').append(fraction);
  return out;
}

}  // namespace trelvanic_dl::datatype
