// A small direct-mapped cache in front of a term table's IRIs, for the
// Turtle and N-Triples readers. Not part of the library's surface.
//
// Most IRIs in a document are a few predicates and vocabulary terms
// repeated on every line: the cache answers those from hot memory, keyed by
// the length and the last four bytes, and asks the table for the rest.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "rdf/term.h"

namespace trelvanic_rdf::detail {

class IriCache {
 public:
  explicit IriCache(TermTable& terms) : terms_(terms) {}

  TermId iri(std::string_view text) {
    TermId& slot = slots_[slot_of(text)];
    if (slot && terms_.text(slot) == text) return slot;
    slot = terms_.iri(text);
    return slot;
  }

  // The id of `text` when the cache holds it (an IRI asked for through
  // `iri` before), else 0.
  [[nodiscard]] TermId find(std::string_view text) const {
    const TermId slot = slots_[slot_of(text)];
    return slot && terms_.text(slot) == text ? slot : TermId{};
  }

 private:
  static std::size_t slot_of(std::string_view text) {
    const std::size_t n = text.size();
    std::size_t key = n;
    if (n >= 4) {
      std::uint32_t tail;
      std::memcpy(&tail, text.data() + n - 4, 4);
      key = (key * 0x9E3779B1u) ^ tail;
    }
    return (key ^ (key >> 7)) % kSize;
  }

  static constexpr std::size_t kSize = 4096;
  TermTable& terms_;
  std::array<TermId, kSize> slots_{};
};

}  // namespace trelvanic_rdf::detail
