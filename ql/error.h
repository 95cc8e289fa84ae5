// Error: what a conjunctive query can fail with, a kind and its display text.
#pragma once

#include <optional>
#include <string>

#include "core/error.h"
#include "core/ids.h"

namespace trelvanic_ql {

enum class ErrorKind : unsigned char {
  // "unknown entity EntityId(n)": the class text names an entity that is no class.
  UnknownEntity,
  // "unknown class in query: {}".
  UnknownClass,
  // "query parse error: {}".
  Parse,
  // A core error, shown with its own text.
  Core,
};

class Error {
 public:
  static Error unknown_entity(trelvanic_core::EntityId id);
  static Error unknown_class(std::string text) { return Error(ErrorKind::UnknownClass, std::move(text)); }
  static Error parse(std::string detail) { return Error(ErrorKind::Parse, std::move(detail)); }
  static Error core(trelvanic_core::Error e);

  [[nodiscard]] ErrorKind kind() const { return kind_; }
  // The payload: the class text, the parse detail, or the core error's text.
  [[nodiscard]] const std::string& detail() const { return detail_; }
  [[nodiscard]] const std::optional<trelvanic_core::Error>& core_error() const { return core_; }
  [[nodiscard]] std::string message() const;

 private:
  Error(ErrorKind kind, std::string detail) : kind_(kind), detail_(std::move(detail)) {}

  ErrorKind kind_;
  std::string detail_;
  std::optional<trelvanic_core::Error> core_;
};

template <class T>
using Result = std::expected<T, Error>;

}  // namespace trelvanic_ql
