// TermId: the strong 32-bit id of an interned RDF term. Id 0 means "no term";
// real terms start at 1.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace trelvanic_rdf {

struct TermId {
  std::uint32_t value = 0;
  [[nodiscard]] constexpr bool valid() const { return value != 0; }
  constexpr explicit operator bool() const { return value != 0; }
  friend constexpr auto operator<=>(TermId, TermId) = default;
  template <typename H>
  friend H AbslHashValue(H h, TermId id) {
    return H::combine(std::move(h), id.value);
  }
};

// A triple of interned terms: subject (IRI or blank node), predicate (IRI),
// object (any term).
struct TripleIds {
  TermId subject;
  TermId predicate;
  TermId object;
  friend constexpr bool operator==(const TripleIds&, const TripleIds&) = default;
  template <typename H>
  friend H AbslHashValue(H h, const TripleIds& t) {
    return H::combine(std::move(h), t.subject.value, t.predicate.value, t.object.value);
  }
};

}  // namespace trelvanic_rdf
