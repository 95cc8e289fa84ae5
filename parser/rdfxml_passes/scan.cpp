#include "parser/rdfxml_passes/scan.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace trelvanic_parser::rdfxml {
namespace {

// Offset just past `close` searched from `from`, or npos.
size_t past(std::string_view text, size_t from, std::string_view close) {
  const size_t at = find_text(text, from, close);
  return at == std::string_view::npos ? at : at + close.size();
}

// Offset just past the '>' that ends the markup begun at `from`, or npos.
// A '>' inside quotes never ends it. With `subset`, the markup is a DOCTYPE:
// a '>' inside its bracketed internal subset does not end it either, and
// comments in the subset are skipped whole (a quote in one opens nothing).
size_t markup_end(std::string_view text, size_t from, bool subset) {
  char quote = 0;
  size_t depth = 0;
  for (size_t i = from; i < text.size(); ++i) {
    const char c = text[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>' && depth == 0) {
      return i + 1;
    } else if (!subset) {
      continue;
    } else if (c == '[') {
      ++depth;
    } else if (c == ']') {
      if (depth > 0) --depth;
    } else if (depth > 0 && text.compare(i, 4, "<!--") == 0) {
      const size_t end = past(text, i + 4, "-->");
      if (end == std::string_view::npos) return end;
      i = end - 1;
    }
  }
  return std::string_view::npos;
}

// The same for a tag: the first '>' outside quotes.
size_t tag_end(std::string_view text, size_t from) {
  for (size_t i = std::min(from, text.size());;) {
    i = find_any(text, i, '>', '"', '\'');
    if (i == std::string_view::npos) return i;
    if (text[i] == '>') return i + 1;
    const auto* close = static_cast<const char*>(std::memchr(text.data() + i + 1, text[i], text.size() - i - 1));
    if (close == nullptr) return std::string_view::npos;
    i = static_cast<size_t>(close - text.data()) + 1;
  }
}

bool starts_with_at(std::string_view text, size_t pos, std::string_view prefix) {
  return text.size() - pos >= prefix.size() && text.compare(pos, prefix.size(), prefix) == 0;
}

}  // namespace

size_t find_any(std::string_view text, size_t pos, char a, char b, char c) {
  const char* const d = text.data();
  const size_t n = text.size();
  size_t i = pos;
#if defined(__SSE2__)
  const __m128i va = _mm_set1_epi8(a);
  const __m128i vb = _mm_set1_epi8(b);
  const __m128i vc = _mm_set1_epi8(c);
  const auto block = [&](size_t at, size_t from) -> size_t {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + at));
    const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, va), _mm_cmpeq_epi8(x, vb)), _mm_cmpeq_epi8(x, vc));
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hit)) & (~0U << (from - at));
    return mask != 0 ? at + static_cast<size_t>(__builtin_ctz(mask)) : std::string_view::npos;
  };
  for (; i + 16 <= n; i += 16) {
    if (const size_t at = block(i, i); at != std::string_view::npos) return at;
  }
  // The rest as one block that overlaps the last one searched.
  if (i < n && n >= 16) return block(n - 16, i);
#endif
  for (; i < n; ++i) {
    if (d[i] == a || d[i] == b || d[i] == c) return i;
  }
  return std::string_view::npos;
}

size_t find_text(std::string_view text, size_t pos, std::string_view needle) {
  const size_t n = needle.size();
  if (n == 0 || n > text.size() || pos > text.size() - n) return text.find(needle, pos);
  const char* const d = text.data();
  const size_t last = text.size() - n;  // the last offset the needle fits at
  size_t i = pos;
#if defined(__SSE2__)
  const __m128i first = _mm_set1_epi8(needle.front());
  const __m128i final = _mm_set1_epi8(needle.back());
  // The offsets [at, at + 16) with a match, from `from` on.
  const auto block = [&](size_t at, size_t from) -> size_t {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + at));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + at + n - 1));
    const __m128i both = _mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, final));
    auto hits = static_cast<unsigned>(_mm_movemask_epi8(both));
    hits &= ~0U << (from - at);
    for (; hits != 0; hits &= hits - 1) {
      const auto k = static_cast<size_t>(__builtin_ctz(hits));
      if (n <= 2 || std::memcmp(d + at + k + 1, needle.data() + 1, n - 2) == 0) return at + k;
    }
    return std::string_view::npos;
  };
  for (; i + 15 <= last; i += 16) {
    if (const size_t at = block(i, i); at != std::string_view::npos) return at;
  }
  // The rest as one block that overlaps the last one searched.
  if (i <= last && last >= 15) return block(last - 15, i);
#endif
  return text.find(needle, i);
}

size_t find_either_text(std::string_view text, size_t pos, std::string_view a, std::string_view b) {
  const auto scalar = [&](size_t from) { return std::min(text.find(a, from), text.find(b, from)); };
  const size_t longest = std::max(a.size(), b.size());
  if (a.empty() || b.empty() || longest > text.size() || pos > text.size() - longest) return scalar(pos);
  const char* const d = text.data();
  const size_t last = text.size() - longest;  // both needles fit at every offset up to here
  size_t i = pos;
#if defined(__SSE2__)
  const auto masks = [&](std::string_view needle, size_t at) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + at));
    const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + at + needle.size() - 1));
    const __m128i both = _mm_and_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8(needle.front())),
                                       _mm_cmpeq_epi8(y, _mm_set1_epi8(needle.back())));
    return static_cast<unsigned>(_mm_movemask_epi8(both));
  };
  const auto matches = [&](std::string_view needle, size_t at) {
    return needle.size() <= 2 || std::memcmp(d + at + 1, needle.data() + 1, needle.size() - 2) == 0;
  };
  for (; i + 15 <= last; i += 16) {
    const unsigned in_a = masks(a, i);
    const unsigned in_b = masks(b, i);
    for (unsigned hits = in_a | in_b; hits != 0; hits &= hits - 1) {
      const auto k = static_cast<unsigned>(__builtin_ctz(hits));
      if (((in_a >> k) & 1U) != 0 && matches(a, i + k)) return i + k;
      if (((in_b >> k) & 1U) != 0 && matches(b, i + k)) return i + k;
    }
  }
#endif
  return scalar(i);
}

std::optional<size_t> quoted_tag_end(std::string_view text, size_t from) {
  const size_t end = tag_end(text, from);
  if (end == std::string_view::npos) return std::nullopt;
  return end;
}

std::optional<Markup> next_markup(std::string_view text, size_t pos) {
  if (pos >= text.size()) return std::nullopt;
  const size_t lt = text.find('<', pos);
  if (lt == std::string_view::npos) return std::nullopt;
  Markup m{.begin = lt};
  size_t end = std::string_view::npos;
  const char second = lt + 1 < text.size() ? text[lt + 1] : '\0';
  if (second != '!' && second != '?' && second != '/') {
    // The common case: a start or empty tag.
    end = tag_end(text, lt);
    if (end == std::string_view::npos) return std::nullopt;
    m.end = end;
    m.kind = end >= lt + 3 && text[end - 2] == '/' ? MarkupKind::EmptyTag : MarkupKind::StartTag;
    return m;
  }
  if (second == '/') {
    m.kind = MarkupKind::EndTag;
    end = tag_end(text, lt);
  } else if (second == '!' && lt + 3 < text.size() && text[lt + 2] == '-' && text[lt + 3] == '-') {
    m.kind = MarkupKind::Comment;
    end = past(text, lt + 4, "-->");
  } else if (starts_with_at(text, lt, "<![CDATA[")) {
    m.kind = MarkupKind::CData;
    end = past(text, lt + 9, "]]>");
  } else if (starts_with_at(text, lt, "<?")) {
    m.kind = MarkupKind::Instruction;
    end = past(text, lt + 2, "?>");
  } else if (starts_with_at(text, lt, "<!DOCTYPE")) {
    m.kind = MarkupKind::Declaration;
    end = markup_end(text, lt, true);
  } else if (starts_with_at(text, lt, "<!")) {
    m.kind = MarkupKind::Declaration;
    end = tag_end(text, lt);
  } else {
    end = tag_end(text, lt);
    m.kind = end != std::string_view::npos && end >= lt + 3 && text[end - 2] == '/' ? MarkupKind::EmptyTag
                                                                                     : MarkupKind::StartTag;
  }
  if (end == std::string_view::npos) return std::nullopt;
  m.end = end;
  return m;
}

std::optional<std::string_view> element_name(std::string_view tag) {
  if (tag.empty() || tag.front() != '<') return std::nullopt;
  size_t i = 1;
  if (i < tag.size() && tag[i] == '/') ++i;
  while (i < tag.size() && is_xml_space(tag[i])) ++i;
  size_t j = i;
  while (j < tag.size() && !is_xml_space(tag[j]) && tag[j] != '>' && tag[j] != '/') ++j;
  if (j == i) return std::nullopt;
  return tag.substr(i, j - i);
}

std::optional<Attribute> next_attribute(std::string_view tag, size_t& pos) {
  if (pos == 0) {
    const auto name = element_name(tag);
    if (!name || tag.size() < 2 || tag[1] == '/') return std::nullopt;
    pos = static_cast<size_t>(name->data() - tag.data()) + name->size();
  }
  size_t i = pos;
  const auto skip_space = [&] {
    while (i < tag.size() && is_xml_space(tag[i])) ++i;
  };
  skip_space();
  const size_t name_begin = i;
  while (i < tag.size() && !is_xml_space(tag[i]) && tag[i] != '=' && tag[i] != '>' && tag[i] != '/') ++i;
  if (i == name_begin) return std::nullopt;
  const std::string_view attr_name = tag.substr(name_begin, i - name_begin);
  skip_space();
  if (i >= tag.size() || tag[i] != '=') return std::nullopt;
  ++i;
  skip_space();
  if (i >= tag.size() || (tag[i] != '"' && tag[i] != '\'')) return std::nullopt;
  const char quote = tag[i];
  const size_t close = tag.find(quote, i + 1);
  if (close == std::string_view::npos) return std::nullopt;
  pos = close + 1;
  return Attribute{.name = attr_name,
                   .value = tag.substr(i + 1, close - i - 1),
                   .name_begin = name_begin,
                   .value_begin = i + 1,
                   .quote = quote};
}

std::vector<Attribute> tag_attributes(std::string_view tag) {
  std::vector<Attribute> out;
  size_t pos = 0;
  while (auto a = next_attribute(tag, pos)) out.push_back(*a);
  return out;
}

std::optional<Attribute> find_attribute(std::string_view tag, std::string_view name) {
  size_t pos = 0;
  while (auto a = next_attribute(tag, pos)) {
    if (a->name == name) return a;
  }
  return std::nullopt;
}

std::optional<std::string_view> extract_attribute(std::string_view tag, std::string_view name) {
  const auto a = find_attribute(tag, name);
  if (!a) return std::nullopt;
  return a->value;
}

std::optional<std::string> trim_xml_attr_value(std::string_view text) {
  while (!text.empty() && is_xml_space(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_xml_space(text.back())) text.remove_suffix(1);
  if (text.size() < 2) return std::nullopt;
  const char q = text.front();
  if ((q != '"' && q != '\'') || text.back() != q) return std::nullopt;
  return std::string(text.substr(1, text.size() - 2));
}

std::optional<Markup> find_rdf_root_tag(std::string_view text) {
  for (auto m = next_markup(text, 0); m; m = next_markup(text, m->end)) {
    if (m->kind != MarkupKind::StartTag && m->kind != MarkupKind::EmptyTag) continue;
    if (element_name(text.substr(m->begin, m->end - m->begin)) == "rdf:RDF") return m;
    return std::nullopt;  // the document element is something else
  }
  return std::nullopt;
}

std::optional<size_t> find_rdf_open_body_start(std::string_view text) {
  const auto root = find_rdf_root_tag(text);
  if (!root || root->kind != MarkupKind::StartTag) return std::nullopt;
  return root->end;
}

std::optional<size_t> find_element_end(std::string_view text, size_t start) {
  const auto first = next_markup(text, start);
  if (!first || first->begin != start) return std::nullopt;
  if (first->kind != MarkupKind::StartTag) return first->end;
  const auto name = element_name(text.substr(first->begin, first->end - first->begin));
  if (!name) return std::nullopt;
  size_t depth = 1;
  for (auto m = next_markup(text, first->end); m; m = next_markup(text, m->end)) {
    if (m->kind != MarkupKind::StartTag && m->kind != MarkupKind::EndTag) continue;
    if (element_name(text.substr(m->begin, m->end - m->begin)) != *name) continue;
    if (m->kind == MarkupKind::StartTag) {
      ++depth;
    } else if (--depth == 0) {
      return m->end;
    }
  }
  return std::nullopt;
}

}  // namespace trelvanic_parser::rdfxml
