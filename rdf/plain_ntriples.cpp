#include "rdf/plain_ntriples.h"

#include <array>
#include <cstdint>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "owl/utf8.h"
#include "rdf/detail/iri_cache.h"

namespace trelvanic_rdf {

namespace {

// The first byte of [begin, end) that is one of `Stops` or, where
// `Controls`, a control byte or space (up to 0x20); `end` when there is none.
// With SSE2, sixteen bytes at a time.
template <bool Controls, char... Stops>
const char* find_stop(const char* begin, const char* end) {
#if defined(__SSE2__)
  while (end - begin >= 16) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(begin));
    __m128i hit = _mm_setzero_si128();
    ((hit = _mm_or_si128(hit, _mm_cmpeq_epi8(x, _mm_set1_epi8(Stops)))), ...);
    if constexpr (Controls) {
      // x <= 0x20 (unsigned) where the smaller of x and 0x20 is x.
      hit = _mm_or_si128(hit, _mm_cmpeq_epi8(_mm_min_epu8(x, _mm_set1_epi8(0x20)), x));
    }
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
    if (mask != 0) return begin + __builtin_ctz(mask);
    begin += 16;
  }
#endif
  for (; begin != end; ++begin) {
    const char c = *begin;
    if ((Controls && static_cast<unsigned char>(c) <= 0x20) || ((c == Stops) || ...)) return begin;
  }
  return end;
}

// What ends the plain run of an IRI reference (the closing '>' among them)
// and of a short string (the closing '"' among them).
constexpr auto find_iri_stop = find_stop<true, '<', '>', '"', '{', '}', '|', '^', '`', '\\'>;
constexpr auto find_string_stop = find_stop<false, '"', '\\', '\n', '\r'>;
constexpr auto find_iri_end = find_stop<false, '>'>;

// Bytes of the blank-node labels read here: letters, digits, '_' and '-'.
constexpr std::array<bool, 256> make_label_chars() {
  std::array<bool, 256> chars{};
  for (int c = 0; c < 256; ++c) {
    chars[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
               c == '-';
  }
  return chars;
}
constexpr std::array<bool, 256> kLabelChars = make_label_chars();

bool is_label_char(char c) { return kLabelChars[static_cast<unsigned char>(c)]; }

// The first byte of [begin, end) that is not a letter, digit, '_' or '-'
// (`end` when there is none). With SSE2, sixteen bytes at a time: signed
// comparisons take every byte from 0x80 up for a non-letter.
const char* find_label_end(const char* begin, const char* end) {
#if defined(__SSE2__)
  const auto between = [](__m128i x, char lo, char hi) {
    return _mm_and_si128(_mm_cmpgt_epi8(x, _mm_set1_epi8(static_cast<char>(lo - 1))),
                         _mm_cmplt_epi8(x, _mm_set1_epi8(static_cast<char>(hi + 1))));
  };
  while (end - begin >= 16) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(begin));
    const __m128i letter = between(_mm_or_si128(x, _mm_set1_epi8(0x20)), 'a', 'z');
    const __m128i label = _mm_or_si128(
        _mm_or_si128(letter, between(x, '0', '9')),
        _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8('_')), _mm_cmpeq_epi8(x, _mm_set1_epi8('-'))));
    const auto mask = ~static_cast<unsigned>(_mm_movemask_epi8(label)) & 0xFFFFu;
    if (mask != 0) return begin + __builtin_ctz(mask);
    begin += 16;
  }
#endif
  while (begin != end && is_label_char(*begin)) ++begin;
  return begin;
}

constexpr bool is_alpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }

int hex_value(char c) {
  if (is_digit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A scheme: a letter, then letters, digits, '+', '-' or '.', up to a ':'.
bool has_scheme(std::string_view iri) {
  if (iri.starts_with("http:") || iri.starts_with("https:")) return true;
  if (iri.empty() || !is_alpha(iri[0])) return false;
  for (std::size_t i = 1; i < iri.size(); ++i) {
    const char c = iri[i];
    if (c == ':') return true;
    if (!is_alpha(c) && !is_digit(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return false;
}

// A literal's object as read: the lexical form, then either a language tag
// or a datatype (an empty tag, an id 0).
struct LiteralParts {
  std::string_view lexical;
  std::string_view lang;
  TermId datatype;
};

// One pass over the text. Every read_ function returns false where the text
// leaves the plain form; the caller then takes back what was added.
class PlainReader {
 public:
  PlainReader(std::string_view text, Graph& graph, bool ntriples, const ReadOptions& options)
      : p_(text.data()), end_(text.data() + text.size()), graph_(graph), terms_(graph.terms()),
        turtle_(!ntriples), cancelled_(options.cancel) {}

  // ntriplesDoc: statements one a line, between blank and comment lines.
  bool read_ntriples_doc() {
    for (;;) {
      skip_blanks();
      if (p_ == end_) return true;
      if (*p_ == '#' || *p_ == '\n' || *p_ == '\r') {
        if (!read_line_end()) return false;
        continue;
      }
      if (cancelled_()) {
        cancelled = true;
        return false;
      }
      if (!read_triple() || !read_line_end()) return false;
      ++stats.triples;
    }
  }

  ReadStats stats;
  bool cancelled = false;

 private:
  // triple: subject predicate object '.', the terms interned in the order
  // serd's road interns them (subject, predicate, datatype, object).
  bool read_triple() {
    TermId s;
    if (*p_ == '<') {
      if (!read_iriref(s)) return false;
    } else if (!read_blank_node_label(s)) {
      return false;
    }
    if (!skip_separator() || p_ == end_ || *p_ != '<') return false;
    TermId p;
    if (!read_iriref(p)) return false;
    if (!skip_separator() || p_ == end_) return false;
    TermId o;
    if (*p_ == '<') {
      if (!read_iriref(o)) return false;
    } else if (*p_ == '"') {
      LiteralParts lit;
      if (!read_literal(lit)) return false;
      o = terms_.literal(lit.lexical, lit.datatype, lit.lang);
    } else if (!read_blank_node_label(o)) {
      return false;
    }
    skip_blanks();
    if (p_ == end_ || *p_ != '.') return false;
    ++p_;
    graph_.add(s, p, o);
    return true;
  }

  // IRIREF: '<' absolute IRI '>', without escapes, interned. The cache
  // holds only IRIs read here before, so a text it holds needs no check:
  // the first '>' ends it, and only a text new to the cache is checked for
  // a byte that would have ended it sooner.
  bool read_iriref(TermId& id) {
    const char* start = ++p_;
    const char* close = find_iri_end(start, end_);
    if (close == end_) return false;
    const std::string_view iri(start, static_cast<std::size_t>(close - start));
    id = iris_.find(iri);
    if (!id) {
      if (find_iri_stop(start, close) != close || !has_scheme(iri)) return false;
      id = iris_.iri(iri);
    }
    p_ = close + 1;
    return true;
  }

  // BLANK_NODE_LABEL: '_:' then letters, digits, '_' and '-' (not first).
  // Labels with '.' or other characters are left to serd.
  bool read_blank_node_label(TermId& id) {
    if (end_ - p_ < 3 || p_[0] != '_' || p_[1] != ':') return false;
    p_ += 2;
    const char* start = p_;
    if (*p_ == '-' || !is_label_char(*p_)) return false;
    p_ = find_label_end(p_, end_);
    const std::string_view label(start, static_cast<std::size_t>(p_ - start));
    if (turtle_ && label.size() > 1 && is_digit(label[1])) {
      if (label[0] == 'b') {
        seen_generated_form_ = true;
        scratch_.assign(label);
        scratch_[0] = 'B';
        id = terms_.blank(scratch_);
        return true;
      }
      if (label[0] == 'B' && seen_generated_form_) return false;
    }
    id = terms_.blank(label);
    return true;
  }

  // literal: STRING_LITERAL_QUOTE, then LANGTAG or '^^' IRIREF.
  bool read_literal(LiteralParts& lit) {
    const char* start = ++p_;
    p_ = find_string_stop(start, end_);
    if (p_ == end_) return false;
    if (*p_ == '"') {
      lit.lexical = std::string_view(start, static_cast<std::size_t>(p_ - start));
    } else {
      if (*p_ != '\\') return false;
      literal_.assign(start, p_);
      if (!read_escaped_rest(literal_)) return false;
      lit.lexical = literal_;
    }
    ++p_;  // the closing quote
    if (p_ == end_) return true;
    if (*p_ == '@') return read_langtag(lit.lang);
    if (*p_ == '^') {
      if (end_ - p_ < 3 || p_[1] != '^' || p_[2] != '<') return false;
      ++p_;
      ++p_;
      return read_iriref(lit.datatype);
    }
    return true;
  }

  // The rest of a short string from its first backslash: ECHAR and UCHAR
  // decoded into `out`, up to the closing quote.
  bool read_escaped_rest(std::string& out) {
    while (p_ != end_) {
      const char c = *p_;
      if (c == '"') return true;
      if (c == '\n' || c == '\r') return false;
      if (c != '\\') {
        out += c;
        ++p_;
        continue;
      }
      if (end_ - p_ < 2) return false;
      const char e = p_[1];
      p_ += 2;
      switch (e) {
        case 't': out += '\t'; break;
        case 'b': out += '\b'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 'f': out += '\f'; break;
        case '"': out += '"'; break;
        case '\'': out += '\''; break;
        case '\\': out += '\\'; break;
        case 'u':
        case 'U':
          if (!read_uchar(e == 'u' ? 4 : 8, out)) return false;
          break;
        default: return false;
      }
    }
    return false;
  }

  // UCHAR after its 'u' or 'U': a code point of a character. NUL,
  // surrogates and code points past U+10FFFF are left to serd.
  bool read_uchar(int digits, std::string& out) {
    if (end_ - p_ < digits) return false;
    char32_t code = 0;
    for (int i = 0; i < digits; ++i) {
      const int v = hex_value(p_[i]);
      if (v < 0) return false;
      code = code * 16 + static_cast<char32_t>(v);
    }
    p_ += digits;
    if (code == 0 || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return false;
    trelvanic_owl::append_utf8(out, code);
    return true;
  }

  // LANGTAG: '@' letters, then groups of '-' and letters or digits.
  bool read_langtag(std::string_view& lang) {
    const char* start = ++p_;
    if (p_ == end_ || !is_alpha(*p_)) return false;
    while (p_ != end_ && is_alpha(*p_)) ++p_;
    while (p_ != end_ && *p_ == '-') {
      ++p_;
      const char* group = p_;
      while (p_ != end_ && (is_alpha(*p_) || is_digit(*p_))) ++p_;
      if (p_ == group) return false;
    }
    lang = std::string_view(start, static_cast<std::size_t>(p_ - start));
    return true;
  }

  void skip_blanks() {
    while (p_ != end_ && (*p_ == ' ' || *p_ == '\t')) ++p_;
  }

  // Spaces or tabs, at least one, between two terms.
  bool skip_separator() {
    if (p_ == end_ || (*p_ != ' ' && *p_ != '\t')) return false;
    skip_blanks();
    return true;
  }

  // The end of a line: blanks, an optional comment, then a line feed
  // (after an optional carriage return) or the end of the text.
  bool read_line_end() {
    skip_blanks();
    if (p_ != end_ && *p_ == '#') {
      while (p_ != end_ && *p_ != '\n' && *p_ != '\r') ++p_;
    }
    if (p_ == end_) return true;
    if (*p_ == '\r') ++p_;
    if (p_ == end_) return true;
    if (*p_ != '\n') return false;
    ++p_;
    return true;
  }

  const char* p_;
  const char* end_;
  Graph& graph_;
  TermTable& terms_;
  detail::IriCache iris_{terms_};
  bool turtle_;
  bool seen_generated_form_ = false;
  CancelCheck cancelled_;
  std::string scratch_;
  std::string literal_;
};

}  // namespace

std::expected<std::optional<ReadStats>, Error> read_plain_ntriples(std::string_view text,
                                                                   Graph& graph,
                                                                   const ReadOptions& options,
                                                                   bool ntriples) {
  const std::size_t triples_before = graph.size();
  const std::size_t terms_before = graph.terms().size();
  PlainReader reader(text, graph, ntriples, options);
  if (reader.read_ntriples_doc()) return reader.stats;
  graph.truncate(triples_before, terms_before);
  if (reader.cancelled) return make_error(ErrorKind::Internal, kCancelledText);
  return std::nullopt;
}

}  // namespace trelvanic_rdf
