// Cache hints for the OWL/XML reader: a second, light scan of a plain
// document (see owlxml_scan.h) a little ahead of the reader.
//
// Interning an IRI costs a cache miss or two (the index slot, then the string
// it compares), and the reader meets them one element after another.
// `OwlXmlLookahead` runs up to 128 IRI attributes ahead: it finds each
// `IRI="..."` value, resolves it against the base as the reader does (see
// `attribute_iri`), computes its hash and asks for its index slot, later for
// the record (see `LookaheadRing`). The reader then takes the hash of the
// value at an offset (`hash_at`) instead of computing it again. The scan
// gives hints only: a hash is handed out only for a value of the same offset
// and length, which is the same text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "owl/iri_resolve.h"
#include "owl/lookahead_ring.h"
#include "owl/model.h"

namespace trelvanic_owl {

// The IRI an IRI attribute value (without surrounding white space) stands
// for: the value itself when it has a scheme or there is no base
// (`resolver` null), else the value resolved against the base, built in
// `scratch`.
[[nodiscard]] std::string_view attribute_iri(std::string_view value, const BaseResolver* resolver,
                                             std::string& scratch);

// `text` without the XML white space around it.
[[nodiscard]] std::string_view trim_xml_space(std::string_view text);

class OwlXmlLookahead {
 public:
  // `resolver` (null: no base) must not change while the lookahead runs
  // (the reader starts it after the root element).
  OwlXmlLookahead(std::string_view text, const BaseResolver* resolver, const Ontology& out)
      : in_(text), resolver_(resolver), ring_(out) {}

  // Scans ahead of `pos`, the offset of an element the reader has reached.
  void run(size_t pos);
  // The hash of the IRI the value of `length` bytes at `offset` (white space
  // trimmed) stands for, when the scan found it.
  [[nodiscard]] std::optional<size_t> hash_at(size_t offset, size_t length) { return ring_.hash_at(offset, length); }

 private:
  static constexpr size_t kMaxBytesAhead = 32768;

  std::string_view in_;
  const BaseResolver* resolver_;
  size_t scan_ = 0;
  LookaheadRing ring_;
  std::string expanded_;
};

}  // namespace trelvanic_owl
