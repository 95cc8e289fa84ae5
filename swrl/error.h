// Error: the SWRL engine's error value. Errors of the DL and EL engines and
// of the core model are carried with their own text; the chaining limits
// travel as core free-text errors, so their text is shown alone.
#pragma once

#include <cstdint>
#include <expected>
#include <optional>
#include <string>

#include "core/error.h"
#include "dl/error.h"
#include "el/error.h"

namespace trelvanic_swrl {

// `Incomplete`: the rules may add facts the run could not find; the text
// says which.
enum class ErrorKind : uint8_t { Dl, El, Core, NotImplemented, Preview, Incomplete };

class Error {
 public:
  static Error dl(trelvanic_dl::Error e) {
    Error out(ErrorKind::Dl, e.message());
    out.dl_ = std::move(e);
    return out;
  }
  static Error el(const trelvanic_el::Error& e) { return Error(ErrorKind::El, e.text()); }
  static Error core(trelvanic_core::Error e) {
    Error out(ErrorKind::Core, e.message());
    out.core_ = std::move(e);
    return out;
  }
  static Error preview(std::string text) { return Error(ErrorKind::Preview, "SWRL preview: " + text); }
  static Error incomplete(std::string text) { return Error(ErrorKind::Incomplete, std::move(text)); }

  ErrorKind kind() const { return kind_; }
  const std::string& message() const { return text_; }
  // The DL error of a `Dl` error, the core error of a `Core` error.
  const std::optional<trelvanic_dl::Error>& dl_error() const { return dl_; }
  const std::optional<trelvanic_core::Error>& core_error() const { return core_; }

 private:
  Error(ErrorKind kind, std::string text) : kind_(kind), text_(std::move(text)) {}
  ErrorKind kind_;
  std::string text_;
  std::optional<trelvanic_dl::Error> dl_;
  std::optional<trelvanic_core::Error> core_;
};

template <class T>
using Result = std::expected<T, Error>;

}  // namespace trelvanic_swrl
