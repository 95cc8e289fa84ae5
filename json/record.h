// Readers for the composite shapes of typed JSON documents: records (an
// object of named fields, or an array of the field values in declared
// order), tagged unions (externally tagged: "Name", {"Name": payload}),
// lists and fixed-length tuples.
//
// Each helper drives the `Reader` and calls back into the caller for the
// parts whose type only the caller knows, so a record reader is a few lines:
//
//   static constexpr std::string_view kFields[] = {"iri", "kind"};
//   static constexpr RecordShape kEntity{"struct SnapshotEntity",
//       "struct SnapshotEntity with 2 elements", kFields, UnknownFields::Refuse};
//   std::string iri; EntityKind kind;
//   auto ok = read_record(r, kEntity, [&](std::size_t field) -> Result<void> {
//     if (field == 0) { iri = TRELVANIC_JSON_TRY(r.read_string()); return {}; }
//     kind = ...; return {};
//   });
//
// The messages are those of the document format: "missing field `f`" (first
// missing field in declared order), "duplicate field `f`", "unknown field
// `f`, expected ..." (when unknown fields are refused; otherwise they are
// skipped with their values), "invalid length n, expected {length text}",
// "invalid type: ..., expected {type text}", "unknown variant `v`, expected
// one of ...", and for a bare name of a variant that has content "invalid
// type: unit variant, expected struct variant" (or newtype / tuple variant).
// Shape errors are positioned by the innermost record, list or scalar read
// that contains them, after that read has consumed its closing bracket.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>
#include <utility>

#include "json/error.h"
#include "json/reader.h"

namespace trelvanic_json {

// A non-owning reference to a callable `Result<void>(std::size_t)`.
class IndexFn {
 public:
  template <class F>
    requires(!std::is_same_v<std::remove_cvref_t<F>, IndexFn>)
  IndexFn(F&& f)  // NOLINT: implicit on purpose
      : obj_(const_cast<void*>(static_cast<const void*>(&f))),
        call_([](void* o, std::size_t i) -> Result<void> { return (*static_cast<std::remove_reference_t<F>*>(o))(i); }) {}
  Result<void> operator()(std::size_t i) const { return call_(obj_, i); }

 private:
  void* obj_;
  Result<void> (*call_)(void*, std::size_t);
};

enum class UnknownFields : uint8_t { Skip, Refuse };

struct RecordShape {
  std::string_view type_text;    // "struct SnapshotEntity"
  std::string_view length_text;  // "struct SnapshotEntity with 2 elements"
  std::span<const std::string_view> fields;
  UnknownFields unknown = UnknownFields::Skip;
  // Bit i set: field i may be missing from the object form (the caller's
  // value stays as it was, normally empty). Such a field is read with
  // `Reader::read_null` first, so null also means absent.
  uint64_t optional_fields = 0;
};

// Reads one record at the current position. `read_field(i)` is called with
// the reader at the value of field i and must consume exactly that value;
// in object form fields come in document order, each at most once; in array
// form all fields in declared order.
[[nodiscard]] Result<void> read_record(Reader& r, const RecordShape& shape, IndexFn read_field);

// Reads a JSON array of any length; `read_element(i)` consumes element i.
// Anything else fails with "invalid type: ..., expected a sequence".
[[nodiscard]] Result<void> read_seq(Reader& r, IndexFn read_element);

// Reads a JSON array of exactly `len` elements (a tuple or tuple variant):
// fewer give "invalid length i, expected {length_text}", more give
// "trailing characters"; anything but an array gives "invalid type: ...,
// expected {type_text}".
[[nodiscard]] Result<void> read_tuple(Reader& r, std::string_view type_text, std::string_view length_text,
                                      std::size_t len, IndexFn read_element);

enum class VariantShape : uint8_t { Unit, Newtype, Tuple, Struct };

struct UnionShape {
  std::span<const std::string_view> names;  // in declared order
  std::span<const VariantShape> shapes;     // parallel to names
};

// Reads one tagged union value: a bare string naming a unit variant, or an
// object with exactly one key, the variant name, whose value is the payload.
// For a unit variant the payload must be null (read here); for the others
// `read_payload(variant)` is called with the reader at the payload and reads
// it (for struct variants with `read_record`, for tuple variants with
// `read_tuple`). Returns the variant index.
[[nodiscard]] Result<std::size_t> read_union(Reader& r, const UnionShape& shape, IndexFn read_payload);

// Reads an identifier string and returns the index of the name it matches;
// otherwise "unknown variant `x`, expected ...". Used for the variant key;
// positioned right after the string.
[[nodiscard]] Result<std::size_t> read_variant_name(Reader& r, std::span<const std::string_view> names);

}  // namespace trelvanic_json
