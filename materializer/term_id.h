// Dense 32-bit term ids and integer-coded triples.
//
// A `TermId` names one interned RDF term of a `Dictionary`; 0 is reserved
// for "no term". A `Triple` is three ids: subject, predicate, object.
#pragma once

#include <cstdint>
#include <utility>

namespace trelvanic_materializer {

struct TermId {
  std::uint32_t value = 0;

  constexpr explicit operator bool() const { return value != 0; }
  friend constexpr bool operator==(TermId, TermId) = default;
  friend constexpr auto operator<=>(TermId, TermId) = default;
  template <typename H>
  friend H AbslHashValue(H h, TermId id) {
    return H::combine(std::move(h), id.value);
  }
};

struct Triple {
  TermId s;
  TermId p;
  TermId o;

  friend constexpr bool operator==(const Triple&, const Triple&) = default;
  template <typename H>
  friend H AbslHashValue(H h, const Triple& t) {
    return H::combine(std::move(h), t.s.value, t.p.value, t.o.value);
  }
};

}  // namespace trelvanic_materializer
