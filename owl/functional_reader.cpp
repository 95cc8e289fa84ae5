#include "owl/functional_reader.h"

#include <charconv>
#include <new>
#include <string>

#include <absl/container/flat_hash_map.h>
#include <fmt/format.h>

#include "owl/functional_lookahead.h"
#include "owl/node_stack.h"
#include "owl/prefixes.h"
#include "owl/text_position.h"
#include "owl/utf8.h"

namespace trelvanic_owl {
namespace {

bool is_delimiter(unsigned char c) { return is_functional_delimiter(c); }
bool is_space(unsigned char c) { return is_functional_space(c); }

// Thrown inside the reader only; caught at its entry.
struct Failure {
  ErrorKind kind;
  std::string message;
  size_t offset;
};

class FunctionalReader {
 public:
  FunctionalReader(std::string_view text, const ReaderSettings& settings)
      : in_(text),
        stack_(out_, settings.max_depth == 0 ? 1 : settings.max_depth),
        cancelled_(settings.cancel),
        prefixes_(standard_prefixes()),
        lookahead_(text, prefixes_, out_) {
    // Typical files hold one node per 25 to 50 bytes, a third of them
    // leaves, and one new string per 60 to 200 bytes; the tables grow from
    // there when needed. The other nodes wait in the bulk load until the end,
    // which sizes the arena for them.
    out_.reserve(text.size() / 80, text.size() / 80);
  }

  Ontology run() {
    // Names, IRIs and strings are kept as written, so the whole document
    // must be text before any of it is.
    if (auto bad = find_invalid_utf8(in_)) fail("invalid UTF-8 sequence", *bad);
    out_.begin_bulk_load(in_.size() / 40);
    read_ontology_document();
    out_.finish_bulk_load();
    return std::move(out_);
  }

  Error error_at(const Failure& f) const {
    auto [line, column] = line_and_column(in_, f.offset);
    return Error(f.kind, f.message, line, column);
  }

 private:
  [[noreturn]] void fail(std::string message, size_t offset) const {
    throw Failure{ErrorKind::Syntax, std::move(message), offset};
  }
  [[noreturn]] void fail_at_end_or(std::string message, size_t offset) const {
    if (offset >= in_.size()) fail("unexpected end of input", in_.size());
    fail(std::move(message), offset);
  }
  void check(std::expected<void, std::string> r, size_t offset) const {
    if (!r) {
      ErrorKind kind = r.error().starts_with("nesting deeper") ? ErrorKind::Limit : ErrorKind::Syntax;
      throw Failure{kind, std::move(r.error()), offset};
    }
  }

  // ---- lexical level

  // Interning of the string read for the token at `start`, with the hash
  // the lookahead computed for it when it has one.
  IriId intern_iri_at(size_t start, std::string_view iri) {
    if (auto hash = lookahead_.hash_at(start, iri.size())) return out_.intern_iri(iri, *hash);
    return out_.intern_iri(iri);
  }
  TextId intern_text_at(size_t start, std::string_view text) {
    if (auto hash = lookahead_.hash_at(start, text.size())) return out_.intern_text(text, *hash);
    return out_.intern_text(text);
  }

  void skip_space() {
    while (pos_ < in_.size()) {
      unsigned char c = in_[pos_];
      if (is_space(c)) {
        ++pos_;
      } else if (c == '#') {
        while (pos_ < in_.size() && in_[pos_] != '\n') ++pos_;
      } else {
        return;
      }
    }
  }

  char peek() {
    skip_space();
    return pos_ < in_.size() ? in_[pos_] : '\0';
  }

  // Expects the character `c`; the message names `what` and `after`.
  void expect(char c, std::string_view what, std::string_view after = {}) {
    if (peek() != c || pos_ >= in_.size()) {
      fail_at_end_or(after.empty() ? fmt::format("expected {}", what) : fmt::format("expected {} {}", what, after),
                     pos_);
    }
    ++pos_;
  }

  std::string_view read_word() {
    size_t start = pos_;
    while (pos_ < in_.size() && !is_delimiter(static_cast<unsigned char>(in_[pos_]))) ++pos_;
    return in_.substr(start, pos_ - start);
  }

  // fullIRI := '<' IRI '>'; the text is kept as written.
  std::string_view read_full_iri() {
    size_t start = pos_;
    ++pos_;  // '<'
    size_t begin = pos_;
    while (pos_ < in_.size()) {
      unsigned char c = in_[pos_];
      if (c == '>') {
        std::string_view iri = in_.substr(begin, pos_ - begin);
        ++pos_;
        return iri;
      }
      if (is_space(c) || c == '<' || c == '"') fail("malformed IRI", start);
      ++pos_;
    }
    fail("unexpected end of input inside an IRI", start);
  }

  IriId read_iri_ref(size_t start) {
    if (peek() == '<') {
      start = pos_;
      return intern_iri_at(start, read_full_iri());
    }
    start = pos_;
    std::string_view word = read_word();
    if (word.empty() || word.find(':') == std::string_view::npos) fail_at_end_or("expected an IRI", start);
    return abbreviated_iri(word, start);
  }

  // abbreviatedIRI := prefixName ':' localPart
  IriId abbreviated_iri(std::string_view word, size_t start) {
    size_t colon = word.find(':');
    std::string_view name = word.substr(0, colon);
    if (last_prefix_iri_ == nullptr || name != last_prefix_name_) {
      auto prefix = prefixes_.find(std::string(name));
      if (prefix == prefixes_.end()) fail(fmt::format("undeclared prefix '{}:'", utf8_excerpt(name)), start);
      last_prefix_name_.assign(name);
      last_prefix_iri_ = &prefix->second;
    }
    std::string_view local = word.substr(colon + 1);
    if (last_prefix_iri_->size() + local.size() > kMaxBuiltIriBytes) fail(std::string(kBuiltIriTooLong), start);
    scratch_.assign(*last_prefix_iri_);
    scratch_.append(local);
    return intern_iri_at(start, scratch_);
  }

  // quotedString with the escapes \" \\ \n \r \t
  std::string_view read_quoted_string() {
    size_t start = pos_;
    ++pos_;  // '"'
    size_t run = pos_;
    scratch_.clear();
    while (pos_ < in_.size()) {
      char c = in_[pos_];
      if (c == '"') {
        scratch_.append(in_.substr(run, pos_ - run));
        ++pos_;
        return scratch_;
      }
      if (c == '\\') {
        scratch_.append(in_.substr(run, pos_ - run));
        if (pos_ + 1 >= in_.size()) break;
        switch (in_[pos_ + 1]) {
          case '"': scratch_.push_back('"'); break;
          case '\\': scratch_.push_back('\\'); break;
          case 'n': scratch_.push_back('\n'); break;
          case 'r': scratch_.push_back('\r'); break;
          case 't': scratch_.push_back('\t'); break;
          default: fail("invalid escape in string", pos_);
        }
        pos_ += 2;
        run = pos_;
        continue;
      }
      ++pos_;
    }
    fail("unexpected end of input inside a string", start);
  }

  // Literal := quotedString [ '@' languageTag | '^^' Datatype ]
  NodeId read_literal() {
    size_t start = pos_;
    TextId lexical = intern_text_at(start, read_quoted_string());
    TextId language;
    IriId datatype;
    if (pos_ < in_.size() && in_[pos_] == '@') {
      size_t start = ++pos_;
      while (pos_ < in_.size() && (std::isalnum(static_cast<unsigned char>(in_[pos_])) || in_[pos_] == '-')) ++pos_;
      if (pos_ == start) fail("expected a language tag after '@'", start);
      language = out_.intern_text(in_.substr(start, pos_ - start));
    } else if (pos_ + 1 < in_.size() && in_[pos_] == '^' && in_[pos_ + 1] == '^') {
      pos_ += 2;
      datatype = read_iri_ref(pos_);
    }
    return out_.make_literal(lexical, language, datatype);
  }

  // ---- document level

  // ontologyDocument := { prefixDeclaration } Ontology
  void read_ontology_document() {
    if (in_.starts_with("\xEF\xBB\xBF")) pos_ = 3;  // a UTF-8 byte order mark
    for (;;) {
      skip_space();
      size_t start = pos_;
      std::string_view word = read_word();
      if (word == "Prefix") {
        read_prefix_declaration();
      } else if (word == "Ontology") {
        read_ontology();
        break;
      } else {
        fail_at_end_or("expected Prefix or Ontology", start);
      }
    }
    skip_space();
    if (pos_ < in_.size()) fail("unexpected text after the ontology", pos_);
  }

  // prefixDeclaration := 'Prefix' '(' prefixName '=' fullIRI ')'
  void read_prefix_declaration() {
    expect('(', "'(' after Prefix");
    skip_space();
    size_t start = pos_;
    std::string_view name = read_word();
    if (name.empty() || name.back() != ':' || name.find(':') != name.size() - 1) {
      fail_at_end_or("malformed prefix name", start);
    }
    expect('=', "'=' in Prefix");
    if (peek() != '<') fail_at_end_or("expected a full IRI in Prefix", pos_);
    std::string_view iri = read_full_iri();
    expect(')', "')' after Prefix");
    name.remove_suffix(1);
    prefixes_[std::string(name)] = std::string(iri);
    out_.set_prefix(name, iri);
    last_prefix_iri_ = nullptr;  // a re-declared prefix changes what names mean
  }

  // Ontology := 'Ontology' '(' [ ontologyIRI [ versionIRI ] ] imports annotations axioms ')'
  void read_ontology() {
    expect('(', "'(' after Ontology");
    NodeId ids[2];
    for (NodeId& id : ids) {
      char c = peek();
      size_t start = pos_;
      if (c == '<') {
        id = out_.make_leaf(Kind::Iri, out_.intern_iri(read_full_iri()));
        continue;
      }
      std::string_view word = read_word();
      pos_ = start;
      if (word.find(':') == std::string_view::npos || word.starts_with("_:")) break;
      id = out_.make_leaf(Kind::Iri, read_iri_ref(start));
    }
    if (ids[0]) out_.add_component(out_.make(Kind::OntologyId, {ids[0].value, ids[1].value}));
    read_contents();
  }

  // Everything up to the ')' that closes the ontology, with an explicit
  // stack of open constructs.
  void read_contents() {
    for (;;) {
      if (cancelled_()) throw Failure{ErrorKind::Internal, kCancelledText, pos_};
      char c = peek();
      size_t start = pos_;
      lookahead_.run(start);
      if (pos_ >= in_.size()) fail("unexpected end of input", in_.size());
      switch (c) {
        case ')':
          ++pos_;
          if (stack_.empty()) return;
          if (stack_.in_group()) {
            stack_.close_group();
          } else {
            close_construct(start);
          }
          continue;
        case '(':
          ++pos_;
          check(stack_.open_group(), start);
          continue;
        case '<':
          add_iri(intern_iri_at(start, read_full_iri()), start);
          continue;
        case '"':
          need_operand_position(start);
          check(stack_.add(read_literal()), start);
          continue;
        default:
          break;
      }
      std::string_view word = read_word();
      if (word.empty()) fail(fmt::format("unexpected character '{}'", c), start);
      if (word.starts_with("_:")) {
        need_operand_position(start);
        if (word.size() == 2) fail("empty node label", start);
        check(stack_.add(out_.make_anonymous(out_.intern_text(word.substr(2)))), start);
      } else if (word.find(':') != std::string_view::npos) {
        add_iri(abbreviated_iri(word, start), start);
      } else if (word[0] >= '0' && word[0] <= '9') {
        need_operand_position(start);
        check(stack_.set_number(parse_number(word, start)), start);
      } else {
        open_construct(word, start);
      }
    }
  }

  void need_operand_position(size_t start) const {
    if (stack_.empty()) fail("expected an axiom", start);
  }

  uint32_t parse_number(std::string_view word, size_t start) const {
    uint32_t value = 0;
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec == std::errc::result_out_of_range) fail("number too large", start);
    if (ec != std::errc() || end != word.data() + word.size()) fail("malformed number", start);
    return value;
  }

  void open_construct(std::string_view word, size_t start) {
    std::optional<Kind> kind = kind_from_name(word);
    if (!kind || *kind == Kind::Iri || *kind == Kind::Literal || *kind == Kind::AnonymousIndividual) {
      fail(fmt::format("unknown keyword '{}'", utf8_excerpt(word)), start);
    }
    expect('(', "'(' after", word);
    if (is_entity(*kind) || *kind == Kind::Variable) {
      // Class( IRI ), ..., Variable( IRI ): read whole, they nest nothing.
      need_operand_position(start);
      IriId iri = read_iri_ref(pos_);
      expect(')', "')' after the IRI of", word);
      check(stack_.add(out_.make_leaf(*kind, iri)), start);
      return;
    }
    check(stack_.open(*kind), start);
    starts_.push_back(start);
  }

  void close_construct(size_t offset) {
    auto closed = stack_.close();
    if (!closed) fail(std::move(closed.error()), offset);
    offset = starts_.back();
    starts_.pop_back();
    if (stack_.empty()) {
      out_.add_component(closed->node, closed->annotations);
    } else {
      check(stack_.add(closed->node), offset);
    }
  }

  // A bare IRI stands for the entity the position asks for.
  void add_iri(IriId iri, size_t start) {
    need_operand_position(start);
    Kind kind;
    switch (stack_.expected_letter()) {
      case 'C': case 'c': kind = Kind::Class; break;
      case 'O': case 'p': case 'P': kind = Kind::ObjectProperty; break;
      case 'D': kind = Kind::DataProperty; break;
      case 'A': kind = Kind::AnnotationProperty; break;
      case 'R': case 't': kind = Kind::Datatype; break;
      case 'I': case 'X': kind = Kind::NamedIndividual; break;
      case 'U': case 'S': case 'V': kind = Kind::Iri; break;
      case 'F': {
        // facet literal pairs of DatatypeRestriction are written without brackets
        NodeId facet = out_.make_leaf(Kind::Iri, iri);
        if (peek() != '"') fail_at_end_or("expected a literal after the facet", pos_);
        NodeId value = read_literal();
        check(stack_.add(out_.make(Kind::FacetRestriction, {facet.value, value.value})), start);
        return;
      }
      default:
        fail(fmt::format("an IRI cannot stand here in {}: expected {}", kind_name(stack_.top_kind()),
                         letter_description(stack_.expected_letter())),
             start);
    }
    check(stack_.add(out_.make_leaf(kind, iri)), start);
  }

  std::string_view in_;
  size_t pos_ = 0;
  Ontology out_;
  NodeStack stack_;
  CancelCheck cancelled_;
  PrefixMap prefixes_;
  FunctionalLookahead lookahead_;
  // the prefix of the last abbreviated IRI: most files use one or two
  std::string last_prefix_name_ = "\x01";
  const std::string* last_prefix_iri_ = nullptr;
  std::string scratch_;
  std::vector<size_t> starts_;  // where each open construct began
};

}  // namespace

Result<Ontology> read_functional(std::string_view text, const ReaderSettings& settings) noexcept {
  try {
    FunctionalReader reader(text, settings);
    try {
      return reader.run();
    } catch (const Failure& f) {
      return std::unexpected(reader.error_at(f));
    }
  } catch (const std::bad_alloc&) {
    return std::unexpected(Error(ErrorKind::Internal, "out of memory while reading functional syntax"));
  } catch (const std::exception& e) {
    return std::unexpected(Error(ErrorKind::Internal, fmt::format("internal reader failure: {}", e.what())));
  } catch (...) {
    return std::unexpected(Error(ErrorKind::Internal, "internal reader failure"));
  }
}

}  // namespace trelvanic_owl
