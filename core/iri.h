// IRIs: the syntax check every IRI passes on entry, the "%23" reading, and
// the `InternPool` that stores each distinct IRI text once and names it by an
// `IriId` (first id 1, never zero).
//
//   InternPool pool;
//   auto id = pool.intern_with_limit("http://ex.org/A", kDefaultMaxIriLen);
//   std::string_view text = *pool.resolve(*id);
//
// Views returned by `resolve`/`text` stay valid for the life of the pool.
// Lookups are one SipHash of the text plus a byte comparison per text of the
// same hash (normally one).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "core/ids.h"
#include "core/text_pool.h"

namespace trelvanic_core {

inline constexpr size_t kDefaultMaxIriLen = 8192;

// Schemes accepted wherever an entity IRI is interned.
inline constexpr std::string_view kFullSchemes[] = {"http", "https", "urn", "file", "internal"};
// Schemes accepted for the datatype IRI of a literal and by snapshot readers.
inline constexpr std::string_view kWebSchemes[] = {"http", "https", "urn"};

// The IRI syntax check, the one every IRI text of the system passes (the
// core's entities and data literals, the RDF term model, the supplements):
// not empty, at most `max_len` bytes, no control character (below 0x20 or
// 0x7F), no ASCII space, and a scheme of ASCII letters, digits, "+", "-" and
// "." before a first ":" that is neither the first nor the last character.
// Fails with `InvalidIri` and the detail of the first check that fails.
[[nodiscard]] Result<void> validate_iri_syntax(std::string_view iri, size_t max_len);

// validate_iri_syntax, then the scheme must be one of `allowed` (exact case).
[[nodiscard]] Result<void> validate_iri_schemes(std::string_view iri, size_t max_len,
                                                std::span<const std::string_view> allowed);

// validate_iri_schemes(iri, 8192, full list).
[[nodiscard]] Result<void> validate_iri(std::string_view iri);

// Every "%23" read as "#", left to right, without rescanning. Returns the
// input itself (no copy) when it holds no "%23"; otherwise fills `storage`
// and returns a view of it.
[[nodiscard]] std::string_view normalize_iri_fragment_encoding(std::string_view iri,
                                                               std::string& storage);
[[nodiscard]] std::string normalize_iri_fragment_encoding(std::string_view iri);

// SipHash-1-3 (zero keys) over the bytes of the text followed by 0xFF.
[[nodiscard]] uint64_t hash_iri(std::string_view iri);

class InternPool {
 public:
  // Validates with `max_len` and the full scheme list, then returns the id
  // of the equal stored text or stores it under a new id.
  [[nodiscard]] Result<IriId> intern_with_limit(std::string_view iri, size_t max_len);

  // intern_with_limit for a caller that has hashed `iri` (hash_iri) and
  // looked it up already: `position` is what lookup_hashed answered.
  [[nodiscard]] Result<IriId> intern_looked_up(std::string_view iri, uint64_t hash, std::optional<uint32_t> position,
                                               size_t max_len);

  // Zero-based position of the stored text equal to `iri`; no validation.
  [[nodiscard]] std::optional<uint32_t> lookup(std::string_view iri) const;
  // Starts loading what a lookup of a text with this hash_iri reads first.
  void prefetch(uint64_t hash) const { texts_.prefetch(hash); }
  [[nodiscard]] std::optional<uint32_t> lookup_hashed(std::string_view iri, uint64_t hash) const {
    return texts_.find_hashed(iri, hash);
  }
  // The same as an id (position + 1).
  [[nodiscard]] std::optional<IriId> lookup_id(std::string_view iri) const {
    auto p = lookup(iri);
    if (!p) return std::nullopt;
    return IriId(*p + 1);
  }

  // The stored text of `id`, or "unknown IriId: {}".
  [[nodiscard]] Result<std::string_view> resolve(IriId id) const;
  // Unchecked read for ids known to be valid.
  [[nodiscard]] std::string_view text(IriId id) const { return texts_.view(id.value - 1); }

  [[nodiscard]] size_t size() const { return texts_.size(); }
  // Room for `n` texts without regrowth of the tables.
  void reserve(size_t n) { texts_.reserve(n); }
  [[nodiscard]] bool empty() const { return texts_.size() == 0; }
  // Bytes held by the pool's own structures (texts, references, buckets).
  [[nodiscard]] size_t memory_bytes() const;

 private:
  TextPool texts_;  // position -> text; bucketed by hash_iri
};

}  // namespace trelvanic_core
