// The core `Error`: twelve kinds with fixed message texts, returned by every
// fallible operation of the core model as `std::expected<T, Error>`.
//
// Build errors with the named constructors (`Error::invalid_iri("...")`),
// read `kind()` to branch and `message()` for the display text. Other
// libraries wrap a core error whole and print `message()` unchanged.
// `TRELVANIC_TRY(expr)` propagates the error of an expected<T, Error> and
// yields its value (a GNU statement expression, usable as an initializer).
#pragma once

#include <cstdint>
#include <expected>
#include <string>
#include <string_view>

#include "core/entity_kind.h"
#include "core/ids.h"

namespace trelvanic_core {

enum class ErrorKind : uint8_t {
  InvalidIri = 0,
  EntityKindMismatch = 1,
  UnknownEntity = 2,
  InvalidAxiom = 3,
  ParsingUnavailable = 4,
  Parse = 5,
  Serialization = 6,
  ResourceLimitExceeded = 7,
  OntologyNotLoaded = 8,
  NotImplemented = 9,
  ConsistencyIncomplete = 10,
  Message = 11,
};

[[nodiscard]] std::string_view error_kind_name(ErrorKind kind);

class Error {
 public:
  static Error invalid_iri(std::string detail) { return Error(ErrorKind::InvalidIri, std::move(detail)); }
  static Error entity_kind_mismatch(std::string iri, EntityKind expected, EntityKind found);
  static Error unknown_entity(EntityId id);
  static Error invalid_axiom(std::string detail) { return Error(ErrorKind::InvalidAxiom, std::move(detail)); }
  static Error parsing_unavailable() { return Error(ErrorKind::ParsingUnavailable, {}); }
  static Error parse(std::string detail) { return Error(ErrorKind::Parse, std::move(detail)); }
  static Error serialization(std::string detail) { return Error(ErrorKind::Serialization, std::move(detail)); }
  static Error resource_limit_exceeded(std::string detail) {
    return Error(ErrorKind::ResourceLimitExceeded, std::move(detail));
  }
  static Error ontology_not_loaded() { return Error(ErrorKind::OntologyNotLoaded, {}); }
  static Error not_implemented() { return Error(ErrorKind::NotImplemented, {}); }
  static Error consistency_incomplete() { return Error(ErrorKind::ConsistencyIncomplete, {}); }
  static Error message_text(std::string text) { return Error(ErrorKind::Message, std::move(text)); }

  [[nodiscard]] ErrorKind kind() const { return kind_; }
  // The payload text: the detail of the text kinds, the IRI of a kind
  // mismatch, empty otherwise.
  [[nodiscard]] const std::string& detail() const { return text_; }
  [[nodiscard]] EntityKind expected_kind() const { return expected_; }
  [[nodiscard]] EntityKind found_kind() const { return found_; }
  [[nodiscard]] EntityId entity() const { return entity_; }

  // The display text, e.g. "unknown entity: EntityId(7)".
  [[nodiscard]] std::string message() const;

  friend bool operator==(const Error&, const Error&) = default;

 private:
  Error(ErrorKind kind, std::string text) : kind_(kind), text_(std::move(text)) {}

  ErrorKind kind_;
  EntityKind expected_ = EntityKind::Class;
  EntityKind found_ = EntityKind::Class;
  EntityId entity_{};
  std::string text_;
};

template <class T>
using Result = std::expected<T, Error>;

}  // namespace trelvanic_core

// Returns the error of `expr` from the enclosing function, else yields the
// value (for expected<void>, yields nothing).
#define TRELVANIC_TRY(expr)                                           \
  ({                                                                  \
    auto&& trelvanic_try_result_ = (expr);                            \
    if (!trelvanic_try_result_)                                       \
      return std::unexpected(std::move(trelvanic_try_result_).error()); \
    *std::move(trelvanic_try_result_);                                \
  })
