#include "dl/datatype/pattern.h"

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "owl/utf8.h"

namespace trelvanic_dl::datatype {

namespace {

// Three-valued truth: no, don't know, yes (ordered so that "and" is min).
enum class Tri : uint8_t { No = 0, Maybe = 1, Yes = 2 };
Tri tri_not(Tri t) { return static_cast<Tri>(2 - static_cast<int>(t)); }
Tri tri_and(Tri a, Tri b) { return a < b ? a : b; }
Tri tri_or(Tri a, Tri b) { return a < b ? b : a; }
Tri tri_of(bool b) { return b ? Tri::Yes : Tri::No; }

constexpr size_t kMaxStates = 20000;
constexpr int kMaxDepth = 64;
constexpr uint32_t kMaxRepeat = 1000;

// UTF-8 to code points; none for a malformed text.
std::optional<std::u32string> decode_utf8(std::string_view s) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    uint32_t cp;
    size_t n;
    if (b < 0x80) cp = b, n = 1;
    else if ((b & 0xE0) == 0xC0) cp = b & 0x1F, n = 2;
    else if ((b & 0xF0) == 0xE0) cp = b & 0x0F, n = 3;
    else if ((b & 0xF8) == 0xF0) cp = b & 0x07, n = 4;
    else return std::nullopt;
    if (i + n > s.size()) return std::nullopt;
    for (size_t k = 1; k < n; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) return std::nullopt;
      cp = (cp << 6) | (c & 0x3F);
    }
    if ((n == 2 && cp < 0x80) || (n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return std::nullopt;
    out += static_cast<char32_t>(cp);
    i += n;
  }
  return out;
}

// The general category of an ASCII character, as two letters.
const char* ascii_category(uint32_t c) {
  if (c < 0x20 || c == 0x7F) return "Cc";
  if (c == ' ') return "Zs";
  if (c >= 'A' && c <= 'Z') return "Lu";
  if (c >= 'a' && c <= 'z') return "Ll";
  if (c >= '0' && c <= '9') return "Nd";
  switch (c) {
    case '_': return "Pc";
    case '-': return "Pd";
    case '(': case '[': case '{': return "Ps";
    case ')': case ']': case '}': return "Pe";
    case '+': case '<': case '=': case '>': case '|': case '~': return "Sm";
    case '$': return "Sc";
    case '^': case '`': return "Sk";
    default: return "Po";
  }
}

bool known_category(std::string_view name) {
  static constexpr std::string_view kNames[] = {
      "L", "Lu", "Ll", "Lt", "Lm", "Lo", "M", "Mn", "Mc", "Me", "N", "Nd", "Nl", "No", "P", "Pc", "Pd", "Ps", "Pe",
      "Pi", "Pf", "Po", "Z", "Zs", "Zl", "Zp", "S", "Sm", "Sc", "Sk", "So", "C", "Cc", "Cf", "Co", "Cn"};
  for (auto n : kNames)
    if (n == name) return true;
  return false;
}

// One item of a character class other than a plain range.
struct Escape {
  enum class Kind : uint8_t { Space, Digit, Word, NameStart, NameChar, Category, Block } kind;
  bool negated = false;
  std::string name;  // category or block name
};

Tri escape_contains(const Escape& e, uint32_t c) {
  Tri t = Tri::Maybe;
  const bool ascii = c < 0x80;
  switch (e.kind) {
    case Escape::Kind::Space:
      t = tri_of(c == ' ' || c == '\t' || c == '\n' || c == '\r');
      break;
    case Escape::Kind::Digit:
      if (ascii) t = tri_of(c >= '0' && c <= '9');
      break;
    case Escape::Kind::Word:
      if (ascii) {
        const char major = ascii_category(c)[0];
        t = tri_of(major != 'P' && major != 'Z' && major != 'C');
      }
      break;
    case Escape::Kind::NameStart:
      if (ascii) t = tri_of((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':');
      break;
    case Escape::Kind::NameChar:
      if (ascii)
        t = tri_of((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
                   c == ':' || c == '.' || c == '-');
      break;
    case Escape::Kind::Category:
      if (ascii) {
        const std::string_view cat = ascii_category(c);
        t = tri_of(e.name.size() == 1 ? cat[0] == e.name[0] : cat == e.name);
      }
      break;
    case Escape::Kind::Block:
      if (e.name == "BasicLatin") t = tri_of(ascii);
      else if (ascii) t = Tri::No;  // every other block lies above ASCII
      break;
  }
  return e.negated ? tri_not(t) : t;
}

struct CharClass {
  bool negated = false;
  std::vector<std::pair<uint32_t, uint32_t>> ranges;
  std::vector<Escape> escapes;
  std::unique_ptr<CharClass> minus;
};

Tri class_contains(const CharClass& cls, uint32_t c) {
  Tri in = Tri::No;
  for (auto [lo, hi] : cls.ranges)
    if (c >= lo && c <= hi) in = Tri::Yes;
  for (const Escape& e : cls.escapes) in = tri_or(in, escape_contains(e, c));
  if (cls.negated) in = tri_not(in);
  // Subtractions nest only as deep as the (depth-capped) parser allowed.
  if (cls.minus) in = tri_and(in, tri_not(class_contains(*cls.minus, c)));
  return in;
}

// The syntax tree of a pattern.
struct Node {
  enum class Kind : uint8_t { Atom, Concat, Alt, Repeat } kind;
  size_t cls = 0;  // Atom: index into the class table
  std::vector<Node> children;
  uint32_t min = 0, max = 0;  // Repeat; max == UINT32_MAX for no upper bound
};

class Parser {
 public:
  Parser(std::u32string text, std::vector<CharClass>& classes) : s_(std::move(text)), classes_(classes) {}

  std::optional<Node> parse() {
    auto n = reg_exp(0);
    if (!n || pos_ != s_.size()) return std::nullopt;
    return n;
  }

 private:
  bool at_end() const { return pos_ >= s_.size(); }
  uint32_t peek(size_t ahead = 0) const { return pos_ + ahead < s_.size() ? s_[pos_ + ahead] : 0; }

  std::optional<Node> reg_exp(int depth) {
    if (depth > kMaxDepth) return std::nullopt;
    Node alt{Node::Kind::Alt};
    for (;;) {
      auto b = branch(depth);
      if (!b) return std::nullopt;
      alt.children.push_back(std::move(*b));
      if (at_end() || peek() != '|') break;
      ++pos_;
    }
    if (alt.children.size() == 1) return std::move(alt.children.front());
    return alt;
  }

  std::optional<Node> branch(int depth) {
    Node seq{Node::Kind::Concat};
    while (!at_end() && peek() != '|' && peek() != ')') {
      auto p = piece(depth);
      if (!p) return std::nullopt;
      seq.children.push_back(std::move(*p));
    }
    return seq;
  }

  std::optional<Node> piece(int depth) {
    auto a = atom(depth);
    if (!a) return std::nullopt;
    if (at_end()) return a;
    uint32_t lo, hi;
    switch (peek()) {
      case '?': lo = 0, hi = 1, ++pos_; break;
      case '*': lo = 0, hi = UINT32_MAX, ++pos_; break;
      case '+': lo = 1, hi = UINT32_MAX, ++pos_; break;
      case '{': {
        ++pos_;
        auto n = number();
        if (!n) return std::nullopt;
        lo = hi = *n;
        if (peek() == ',') {
          ++pos_;
          hi = UINT32_MAX;
          if (peek() != '}') {
            auto m = number();
            if (!m || *m < lo) return std::nullopt;
            hi = *m;
          }
        }
        if (peek() != '}') return std::nullopt;
        ++pos_;
        break;
      }
      default: return a;
    }
    Node r{Node::Kind::Repeat};
    r.min = lo;
    r.max = hi;
    r.children.push_back(std::move(*a));
    return r;
  }

  std::optional<uint32_t> number() {
    uint64_t n = 0;
    size_t digits = 0;
    while (!at_end() && peek() >= '0' && peek() <= '9') {
      n = n * 10 + (peek() - '0');
      if (n > kMaxRepeat) return std::nullopt;  // past the cap: not run
      ++pos_, ++digits;
    }
    if (digits == 0) return std::nullopt;
    return static_cast<uint32_t>(n);
  }

  Node atom_of(CharClass cls) {
    classes_.push_back(std::move(cls));
    Node n{Node::Kind::Atom};
    n.cls = classes_.size() - 1;
    return n;
  }

  std::optional<Node> atom(int depth) {
    const uint32_t c = peek();
    switch (c) {
      case '(': {
        ++pos_;
        auto inner = reg_exp(depth + 1);
        if (!inner || peek() != ')' || at_end()) return std::nullopt;
        ++pos_;
        return inner;
      }
      case '[': {
        auto cls = class_expr(depth + 1);
        if (!cls) return std::nullopt;
        return atom_of(std::move(*cls));
      }
      case '.': {
        ++pos_;
        CharClass cls;
        cls.negated = true;
        cls.ranges = {{'\n', '\n'}, {'\r', '\r'}};
        return atom_of(std::move(cls));
      }
      case '\\': {
        CharClass cls;
        if (!escape(cls)) return std::nullopt;
        return atom_of(std::move(cls));
      }
      case '?': case '*': case '+': case '{': case '}': case ')': case ']': case '|':
        return std::nullopt;
      default: {
        ++pos_;
        CharClass cls;
        cls.ranges.push_back({c, c});
        return atom_of(std::move(cls));
      }
    }
  }

  // After a backslash: a single character (into `single`, true returned with
  // `single` set) or a class escape added to `cls`. False on bad syntax.
  bool escape(CharClass& cls, std::optional<uint32_t>* single = nullptr) {
    ++pos_;  // the backslash
    if (at_end()) return false;
    const uint32_t c = peek();
    ++pos_;
    auto add = [&](Escape::Kind k, bool neg) {
      cls.escapes.push_back(Escape{k, neg, {}});
      return true;
    };
    switch (c) {
      case 'n': case 'r': case 't': case '\\': case '|': case '.': case '?': case '*': case '+': case '(': case ')':
      case '{': case '}': case '-': case '[': case ']': case '^': {
        const uint32_t ch = c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
        if (single) *single = ch;
        else cls.ranges.push_back({ch, ch});
        return true;
      }
      case 's': return add(Escape::Kind::Space, false);
      case 'S': return add(Escape::Kind::Space, true);
      case 'd': return add(Escape::Kind::Digit, false);
      case 'D': return add(Escape::Kind::Digit, true);
      case 'w': return add(Escape::Kind::Word, false);
      case 'W': return add(Escape::Kind::Word, true);
      case 'i': return add(Escape::Kind::NameStart, false);
      case 'I': return add(Escape::Kind::NameStart, true);
      case 'c': return add(Escape::Kind::NameChar, false);
      case 'C': return add(Escape::Kind::NameChar, true);
      case 'p': case 'P': {
        if (peek() != '{') return false;
        ++pos_;
        std::string name;
        while (!at_end() && peek() != '}') {
          const uint32_t ch = peek();
          if (ch >= 0x80) return false;
          name += static_cast<char>(ch);
          ++pos_;
        }
        if (at_end()) return false;
        ++pos_;
        if (name.size() > 2 && name.starts_with("Is")) {
          cls.escapes.push_back(Escape{Escape::Kind::Block, c == 'P', name.substr(2)});
          return true;
        }
        if (!known_category(name)) return false;
        cls.escapes.push_back(Escape{Escape::Kind::Category, c == 'P', name});
        return true;
      }
      default: return false;
    }
  }

  // '[' charGroup ']' with charGroup = '^'? items ('-' classExpr)?
  std::optional<CharClass> class_expr(int depth) {
    if (depth > kMaxDepth) return std::nullopt;
    ++pos_;  // '['
    CharClass cls;
    if (peek() == '^' && !at_end()) {
      cls.negated = true;
      ++pos_;
    }
    size_t items = 0;
    for (;;) {
      if (at_end()) return std::nullopt;
      const uint32_t c = peek();
      if (c == ']' && items > 0) {
        ++pos_;
        return cls;
      }
      if (c == '-' && peek(1) == '[' && items > 0) {
        ++pos_;
        auto minus = class_expr(depth + 1);
        if (!minus || peek() != ']' || at_end()) return std::nullopt;
        ++pos_;
        cls.minus = std::make_unique<CharClass>(std::move(*minus));
        return cls;
      }
      if (c == '[' || c == ']') return std::nullopt;
      uint32_t first;
      if (c == '\\') {
        std::optional<uint32_t> single;
        if (!escape(cls, &single)) return std::nullopt;
        ++items;
        if (!single) continue;  // a class escape: no range from it
        first = *single;
      } else {
        first = c;
        ++pos_;
        ++items;
      }
      // A range "a-z"; a "-" before "]" or "[" is a character of its own.
      if (peek() == '-' && pos_ + 1 < s_.size() && peek(1) != ']' && peek(1) != '[') {
        ++pos_;
        uint32_t last;
        if (peek() == '\\') {
          std::optional<uint32_t> single;
          CharClass scratch;
          if (!escape(scratch, &single) || !single) return std::nullopt;
          last = *single;
        } else {
          last = peek();
          ++pos_;
        }
        if (last < first) return std::nullopt;
        cls.ranges.push_back({first, last});
      } else {
        cls.ranges.push_back({first, first});
      }
    }
  }

  std::u32string s_;
  size_t pos_ = 0;
  std::vector<CharClass>& classes_;
};

// Thompson automaton: a state reads one class or splits without reading.
struct State {
  static constexpr uint32_t kNone = UINT32_MAX;
  uint32_t cls = kNone;  // kNone: an empty move to out (and out2 when set)
  uint32_t out = kNone;
  uint32_t out2 = kNone;
};

class Builder {
 public:
  explicit Builder(std::vector<State>& states) : states_(states) {}

  // Compiles n so that it continues at `next`; returns its entry state.
  std::optional<uint32_t> build(const Node& n, uint32_t next, int depth) {
    // Empty bodies add no states, so the calls themselves are counted too.
    if (depth > kMaxDepth * 4 || states_.size() > kMaxStates || ++calls_ > kMaxStates * 4) return std::nullopt;
    switch (n.kind) {
      case Node::Kind::Atom:
        return add(State{static_cast<uint32_t>(n.cls), next, State::kNone});
      case Node::Kind::Concat: {
        uint32_t at = next;
        for (size_t i = n.children.size(); i-- > 0;) {
          auto s = build(n.children[i], at, depth + 1);
          if (!s) return std::nullopt;
          at = *s;
        }
        return at;
      }
      case Node::Kind::Alt: {
        std::optional<uint32_t> entry;
        for (size_t i = n.children.size(); i-- > 0;) {
          auto s = build(n.children[i], next, depth + 1);
          if (!s) return std::nullopt;
          entry = entry ? add(State{State::kNone, *s, *entry}) : s;
          if (!entry) return std::nullopt;
        }
        return entry;
      }
      case Node::Kind::Repeat: {
        const Node& body = n.children.front();
        uint32_t at = next;
        if (n.max == UINT32_MAX) {
          // loop: split to the body (which returns to the split) or on
          auto loop = add(State{State::kNone, State::kNone, next});
          if (!loop) return std::nullopt;
          auto b = build(body, *loop, depth + 1);
          if (!b) return std::nullopt;
          states_[*loop].out = *b;
          at = *loop;
        } else {
          for (uint32_t i = n.min; i < n.max; ++i) {  // optional copies
            auto b = build(body, at, depth + 1);
            if (!b) return std::nullopt;
            auto split = add(State{State::kNone, *b, next});
            if (!split) return std::nullopt;
            at = *split;
          }
        }
        for (uint32_t i = 0; i < n.min; ++i) {
          auto b = build(body, at, depth + 1);
          if (!b) return std::nullopt;
          at = *b;
        }
        return at;
      }
    }
    return std::nullopt;
  }

  std::optional<uint32_t> add(State s) {
    if (states_.size() >= kMaxStates) return std::nullopt;
    states_.push_back(s);
    return static_cast<uint32_t>(states_.size() - 1);
  }

 private:
  std::vector<State>& states_;
  size_t calls_ = 0;
};

}  // namespace

struct CompiledPattern {
  std::vector<CharClass> classes;
  std::vector<State> states;  // states[0] accepts
  uint32_t start = 0;
};

void PatternDeleter::operator()(CompiledPattern* p) const { delete p; }

Pattern compile_pattern(std::string_view pattern) {
  auto text = decode_utf8(pattern);
  if (!text) return nullptr;
  Pattern p(new CompiledPattern);
  Parser parser(std::move(*text), p->classes);
  auto tree = parser.parse();
  if (!tree) return nullptr;
  p->states.push_back(State{});  // the accepting state
  Builder builder(p->states);
  auto start = builder.build(*tree, 0, 0);
  if (!start) return nullptr;
  p->start = *start;
  return p;
}

namespace {

// Adds state s at level t (and what its empty moves reach) to the set.
void close(const CompiledPattern& p, std::vector<Tri>& level, uint32_t s, Tri t, std::vector<uint32_t>& stack) {
  stack.clear();
  if (level[s] >= t) return;
  level[s] = t;
  stack.push_back(s);
  while (!stack.empty()) {
    const uint32_t x = stack.back();
    stack.pop_back();
    const State& st = p.states[x];
    if (st.cls != State::kNone || x == 0) continue;
    for (uint32_t y : {st.out, st.out2}) {
      if (y == State::kNone || level[y] >= t) continue;
      level[y] = t;
      stack.push_back(y);
    }
  }
}

}  // namespace

std::optional<bool> pattern_match(const CompiledPattern& p, std::string_view text) {
  auto chars = decode_utf8(text);
  if (!chars) return std::nullopt;
  const size_t n = p.states.size();
  std::vector<Tri> cur(n, Tri::No), next(n, Tri::No);
  std::vector<uint32_t> stack;
  close(p, cur, p.start, Tri::Yes, stack);
  for (char32_t c : *chars) {
    std::fill(next.begin(), next.end(), Tri::No);
    bool any = false;
    for (uint32_t s = 0; s < n; ++s) {
      if (cur[s] == Tri::No || p.states[s].cls == State::kNone) continue;
      const Tri m = tri_and(cur[s], class_contains(p.classes[p.states[s].cls], c));
      if (m == Tri::No) continue;
      close(p, next, p.states[s].out, m, stack);
      any = true;
    }
    if (!any) return false;
    std::swap(cur, next);
  }
  switch (cur[0]) {
    case Tri::Yes: return true;
    case Tri::No: return false;
    case Tri::Maybe: return std::nullopt;
  }
  return std::nullopt;
}

namespace {

// A character the class surely holds, tried among its own range starts and
// a few common characters; none when neither is surely in it.
std::optional<uint32_t> class_example(const CharClass& cls) {
  for (auto [lo, hi] : cls.ranges)
    if (class_contains(cls, lo) == Tri::Yes) return lo;
  for (uint32_t c : {U'a', U'A', U'0', U' ', U'_', U'-', U'.', U':', U'x', U'!', U'$'})
    if (class_contains(cls, c) == Tri::Yes) return c;
  return std::nullopt;
}

}  // namespace

std::optional<std::string> pattern_example(const CompiledPattern& p) {
  // Shortest path to the accepting state: empty moves cost nothing, a class
  // costs one character (0-1 breadth-first search).
  const size_t n = p.states.size();
  std::vector<std::optional<uint32_t>> example(p.classes.size());
  for (size_t i = 0; i < p.classes.size(); ++i) example[i] = class_example(p.classes[i]);
  constexpr uint32_t kUnseen = UINT32_MAX;
  std::vector<uint32_t> dist(n, kUnseen), parent(n, State::kNone);
  std::deque<uint32_t> queue{p.start};
  dist[p.start] = 0;
  while (!queue.empty()) {
    const uint32_t s = queue.front();
    queue.pop_front();
    if (s == 0) break;
    const State& st = p.states[s];
    if (st.cls == State::kNone) {
      for (uint32_t y : {st.out, st.out2})
        if (y != State::kNone && dist[y] > dist[s]) {
          dist[y] = dist[s];
          parent[y] = s;
          queue.push_front(y);
        }
    } else if (example[st.cls] && st.out != State::kNone && dist[st.out] > dist[s] + 1) {
      dist[st.out] = dist[s] + 1;
      parent[st.out] = s;
      queue.push_back(st.out);
    }
  }
  if (dist[0] == kUnseen) return std::nullopt;
  std::vector<uint32_t> chars;
  for (uint32_t s = 0, steps = 0; s != p.start; s = parent[s]) {
    if (++steps > n || parent[s] == State::kNone) return std::nullopt;
    const State& from = p.states[parent[s]];
    if (from.cls != State::kNone) chars.push_back(*example[from.cls]);
  }
  std::string out;
  for (size_t i = chars.size(); i-- > 0;) trelvanic_owl::append_utf8(out, chars[i]);
  return out;
}

std::optional<bool> pattern_matches(std::string_view pattern, std::string_view text) {
  auto p = compile_pattern(pattern);
  if (!p) return std::nullopt;
  return pattern_match(*p, text);
}

}  // namespace trelvanic_dl::datatype
