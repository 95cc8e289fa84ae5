// Cache hints for the functional-syntax reader: a second, light scan of the
// text a little ahead of the parser.
//
// Interning an IRI or a string of a large document costs a cache miss or
// two (the index slot, then the string it compares), and the parser meets
// them one after another. `FunctionalLookahead` runs some 128 strings ahead:
// it finds the full IRIs, abbreviated IRIs (expanded with the document's
// prefixes) and quoted strings the parser will intern, computes their hashes
// and asks for their index slots; as the parser comes closer, for the
// records those slots point at. The parser then takes the hash of the string
// at an offset (`hash_at`) instead of computing it again. The scan only
// gives hints: it reports no errors, and a hash is handed out only for the
// same offset and length the parser reads, which the same lexical rules make
// the same text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <absl/container/flat_hash_map.h>

#include "owl/lookahead_ring.h"
#include "owl/model.h"

namespace trelvanic_owl {

// Character classes of the functional syntax: white space, and the bytes
// that end a word (keyword, prefixed name, node label or number).
inline constexpr uint8_t kFunctionalSpace = 1;
inline constexpr uint8_t kFunctionalDelimiter = 2;
inline constexpr auto kFunctionalClass = [] {
  std::array<uint8_t, 256> classes{};
  for (unsigned char c : {' ', '\t', '\r', '\n', '\f', '\v'}) classes[c] = kFunctionalSpace | kFunctionalDelimiter;
  for (unsigned char c : {'(', ')', '<', '>', '"', '=', '@', '^'}) classes[c] = kFunctionalDelimiter;
  return classes;
}();
[[nodiscard]] inline bool is_functional_space(unsigned char c) { return kFunctionalClass[c] & kFunctionalSpace; }
[[nodiscard]] inline bool is_functional_delimiter(unsigned char c) {
  return kFunctionalClass[c] & kFunctionalDelimiter;
}

using PrefixMap = absl::flat_hash_map<std::string, std::string>;

class FunctionalLookahead {
 public:
  // `prefixes` must not change while the lookahead runs (the parser starts
  // it after the prefix declarations).
  FunctionalLookahead(std::string_view text, const PrefixMap& prefixes, const Ontology& out)
      : in_(text), prefixes_(prefixes), ring_(out) {}

  // Scans ahead of `pos`, a token boundary the parser has reached.
  void run(size_t pos);
  // The hash of the string of `length` bytes the parser interns for the
  // token at `offset`, when the scan found it.
  [[nodiscard]] std::optional<size_t> hash_at(size_t offset, size_t length);

 private:
  static constexpr size_t kMaxBytesAhead = 8192;

  void scan_token();
  [[nodiscard]] const std::string* prefix_iri(std::string_view name);

  std::string_view in_;
  const PrefixMap& prefixes_;
  size_t scan_ = 0;
  LookaheadRing ring_;
  std::string expanded_;
  std::string last_prefix_name_ = "\x01";
  const std::string* last_prefix_iri_ = nullptr;
};

}  // namespace trelvanic_owl
