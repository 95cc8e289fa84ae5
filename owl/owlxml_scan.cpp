#include "owl/owlxml_scan.h"

#include <array>
#include <vector>

namespace trelvanic_owl {
namespace {

// Byte classes of the scanner's loops.
enum : uint8_t {
  kNameStart = 1,  // A-Z a-z _
  kNameByte = 2,   // a name start, 0-9, '-', '.'
  kSpace = 4,      // space, tab, line feed (a carriage return is not plain)
  kPlainText = 8,  // character data taken as it is: printable ASCII but '<', '&', ']', tab, line feed
  kPlainValue = 16,  // attribute value bytes taken as they are: printable ASCII but '<', '&', quotes
  kCommentText = 32,  // comment bytes taken as they are: printable ASCII but '-', tab, line feed
};

constexpr std::array<uint8_t, 256> make_classes() {
  std::array<uint8_t, 256> t{};
  for (int c = 0x20; c < 0x7F; ++c) {
    if (c != '<' && c != '&' && c != ']') t[c] |= kPlainText;
    if (c != '<' && c != '&' && c != '"' && c != '\'') t[c] |= kPlainValue;
    if (c != '-') t[c] |= kCommentText;
  }
  t['\t'] |= kPlainText | kCommentText | kSpace;
  t['\n'] |= kPlainText | kCommentText | kSpace;
  t[' '] |= kSpace;
  for (int c = 'a'; c <= 'z'; ++c) t[c] |= kNameStart | kNameByte;
  for (int c = 'A'; c <= 'Z'; ++c) t[c] |= kNameStart | kNameByte;
  for (int c = '0'; c <= '9'; ++c) t[c] |= kNameByte;
  t['_'] |= kNameStart | kNameByte;
  t['-'] |= kNameByte;
  t['.'] |= kNameByte;
  return t;
}

constexpr std::array<uint8_t, 256> kClasses = make_classes();

// The length of the well-formed UTF-8 sequence at `p` if it encodes an XML
// character above U+007F (U+FFFE and U+FFFF are none), else 0.
size_t xml_char_length(const unsigned char* p, const unsigned char* end) {
  const unsigned char b = p[0];
  auto cont = [&](size_t k, unsigned char lo = 0x80, unsigned char hi = 0xBF) {
    return p + k < end && p[k] >= lo && p[k] <= hi;
  };
  if (b >= 0xC2 && b <= 0xDF) return cont(1) ? 2 : 0;
  if (b >= 0xE0 && b <= 0xEF) {
    const unsigned char lo = b == 0xE0 ? 0xA0 : 0x80;  // overlong
    const unsigned char hi = b == 0xED ? 0x9F : 0xBF;  // surrogates
    if (!cont(1, lo, hi) || !cont(2)) return 0;
    if (b == 0xEF && p[1] == 0xBF && p[2] >= 0xBE) return 0;  // U+FFFE, U+FFFF
    return 3;
  }
  if (b >= 0xF0 && b <= 0xF4) {
    const unsigned char lo = b == 0xF0 ? 0x90 : 0x80;  // overlong
    const unsigned char hi = b == 0xF4 ? 0x8F : 0xBF;  // above U+10FFFF
    return cont(1, lo, hi) && cont(2) && cont(3) ? 4 : 0;
  }
  return 0;
}

class Scanner {
 public:
  Scanner(std::string_view text, std::string_view default_namespace, PlainXmlSink& sink)
      : p_(reinterpret_cast<const unsigned char*>(text.data())), end_(p_ + text.size()),
        namespace_(default_namespace), sink_(sink) {}

  // document ::= XMLDecl? Misc* element Misc*, with comments the only Misc
  // besides white space.
  bool read_document() {
    if (starts_with("<?xml") && (kClasses[peek(5)] & kSpace) != 0 && !read_xml_decl()) return false;
    if (!read_misc()) return false;
    if (peek() != '<' || (kClasses[peek(1)] & kNameStart) == 0) return false;
    if (!read_element_tree()) return false;
    return read_misc() && p_ == end_;
  }

 private:
  [[nodiscard]] unsigned char peek(size_t ahead = 0) const {
    return static_cast<size_t>(end_ - p_) > ahead ? p_[ahead] : 0;
  }
  [[nodiscard]] bool starts_with(std::string_view s) const {
    return static_cast<size_t>(end_ - p_) >= s.size() && std::string_view(reinterpret_cast<const char*>(p_), s.size()) == s;
  }
  [[nodiscard]] std::string_view view(const unsigned char* from) const {
    return {reinterpret_cast<const char*>(from), static_cast<size_t>(p_ - from)};
  }

  // Whether any white space was skipped.
  bool skip_space() {
    const unsigned char* from = p_;
    while (p_ < end_ && (kClasses[*p_] & kSpace) != 0) ++p_;
    return p_ != from;
  }

  // Name without a colon; empty when none starts here.
  std::string_view read_name() {
    const unsigned char* from = p_;
    if (p_ == end_ || (kClasses[*p_] & kNameStart) == 0) return {};
    ++p_;
    while (p_ < end_ && (kClasses[*p_] & kNameByte) != 0) ++p_;
    return view(from);
  }

  // A qualified name: prefix and local part (prefix empty without a colon).
  bool read_qname(std::string_view& prefix, std::string_view& local, std::string_view& whole) {
    const unsigned char* from = p_;
    local = read_name();
    prefix = {};
    if (local.empty()) return false;
    if (peek() == ':') {
      ++p_;
      prefix = local;
      local = read_name();
      if (local.empty()) return false;
    }
    whole = view(from);
    return true;
  }

  // Eq ::= S? '=' S?, then a quoted value of plain bytes and XML characters.
  bool read_value(std::string_view& value) {
    skip_space();
    if (peek() != '=') return false;
    ++p_;
    skip_space();
    const unsigned char quote = peek();
    if (quote != '"' && quote != '\'') return false;
    const unsigned char* from = ++p_;
    for (;;) {
      if (!skip_chars(kPlainValue) || p_ == end_) return false;
      if (*p_ == quote) break;
      if (*p_ != '"' && *p_ != '\'') return false;  // '<', '&', tab, line feed, carriage return, controls
      ++p_;
    }
    value = view(from);
    ++p_;
    return true;
  }

  // XMLDecl: version 1.0, then optionally encoding UTF-8 and standalone.
  bool read_xml_decl() {
    p_ += 5;
    int stage = 0;  // 0: version next, 1: encoding or standalone, 2: standalone, 3: nothing more
    for (;;) {
      const bool spaced = skip_space();
      if (starts_with("?>")) {
        p_ += 2;
        return stage > 0;
      }
      std::string_view name = read_name();
      std::string_view value;
      if (!spaced || name.empty() || !read_value(value)) return false;
      if (stage == 0 && name == "version" && value == "1.0") {
        stage = 1;
      } else if (stage == 1 && name == "encoding" && (value == "UTF-8" || value == "utf-8")) {
        stage = 2;
      } else if ((stage == 1 || stage == 2) && name == "standalone" && (value == "yes" || value == "no")) {
        stage = 3;
      } else {
        return false;
      }
    }
  }

  // Misc ::= Comment | S (processing instructions are not plain).
  bool read_misc() {
    for (;;) {
      skip_space();
      if (!starts_with("<!--")) return true;
      if (!read_comment()) return false;
    }
  }

  // Comment ::= '<!--' ((Char - '-') | ('-' (Char - '-')))* '-->'
  bool read_comment() {
    p_ += 4;
    for (;;) {
      if (!skip_chars(kCommentText) || p_ == end_ || *p_ != '-') return false;
      if (peek(1) == '-') break;
      ++p_;
    }
    if (peek(2) != '>') return false;
    p_ += 3;
    return true;
  }

  // Character data up to the next '<' (which must come), handed on when not
  // empty.
  bool read_text() {
    const unsigned char* from = p_;
    for (;;) {
      if (!skip_chars(kPlainText) || p_ == end_) return false;
      if (*p_ == '<') break;
      // ']' (not in "]]>") is the only other byte character data may hold as
      // written
      if (*p_ != ']' || (peek(1) == ']' && peek(2) == '>')) return false;
      ++p_;
    }
    if (p_ != from) sink_.on_text(view(from));
    return true;
  }

  // Past the bytes of class `plain` and the characters above U+007F, up to
  // any other byte or the end; false at bytes that are no such character.
  bool skip_chars(uint8_t plain) {
    while (p_ < end_) {
      if ((kClasses[*p_] & plain) != 0) {
        ++p_;
      } else if (*p_ >= 0x80) {
        const size_t n = xml_char_length(p_, end_);
        if (n == 0) return false;
        p_ += n;
      } else {
        return true;
      }
    }
    return true;
  }

  // A start tag after its '<'; `empty` tells whether it closed itself.
  bool read_start_tag(bool& empty) {
    const bool root = open_.empty();
    std::string_view name = read_name();
    if (name.empty() || peek() == ':') return false;
    attributes_.clear();
    seen_.clear();
    bool default_namespace = false;
    for (;;) {
      const bool spaced = skip_space();
      if (peek() == '>') {
        ++p_;
        empty = false;
        break;
      }
      if (peek() == '/') {
        if (peek(1) != '>') return false;
        p_ += 2;
        empty = true;
        break;
      }
      std::string_view prefix, local, whole, value;
      if (!spaced || !read_qname(prefix, local, whole) || !read_value(value)) return false;
      for (std::string_view other : seen_) {
        if (other == whole) return false;
      }
      seen_.push_back(whole);
      if (whole == "xmlns") {
        if (!root || value != namespace_) return false;
        default_namespace = true;
      } else if (prefix == "xmlns") {
        if (!root || value.empty() || local == "xml" || local == "xmlns") return false;
      } else if (prefix.empty() || (prefix == "xml" && (local == "lang" || local == "base"))) {
        attributes_.push_back(PlainAttribute{whole, value});
      } else {
        return false;
      }
    }
    if (root && !default_namespace) return false;
    if (open_.size() >= kPlainMaxDepth) return false;
    sink_.on_start(name, attributes_);
    if (empty) {
      sink_.on_end();
    } else {
      open_.push_back(name);
    }
    return true;
  }

  // An end tag after its "</".
  bool read_end_tag() {
    std::string_view name = read_name();
    if (name.empty() || name != open_.back()) return false;
    skip_space();
    if (peek() != '>') return false;
    ++p_;
    open_.pop_back();
    sink_.on_end();
    return true;
  }

  // The root element and everything in it, without recursion.
  bool read_element_tree() {
    for (;;) {
      // at a '<'
      ++p_;
      if (peek() == '/') {
        ++p_;
        if (open_.empty() || !read_end_tag()) return false;
      } else if (peek() == '!') {
        if (open_.empty() || !starts_with("!--")) return false;
        --p_;
        if (!read_comment()) return false;
      } else {
        bool empty = false;
        if (!read_start_tag(empty)) return false;
      }
      if (open_.empty()) return true;
      if (!read_text()) return false;
    }
  }

  const unsigned char* p_;
  const unsigned char* end_;
  std::string_view namespace_;
  PlainXmlSink& sink_;
  std::vector<std::string_view> open_;
  std::vector<PlainAttribute> attributes_;
  std::vector<std::string_view> seen_;
};

}  // namespace

PlainScan scan_plain_xml(std::string_view text, std::string_view default_namespace, PlainXmlSink& sink) {
  Scanner scanner(text, default_namespace, sink);
  return scanner.read_document() ? PlainScan::Plain : PlainScan::NotPlain;
}

}  // namespace trelvanic_owl
