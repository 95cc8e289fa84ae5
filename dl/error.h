// Error: the one error type of the DL pipeline. Errors of the engines below
// (EL, tableau, parser, core, profile) are carried whole and shown with
// their own text; `Incomplete` carries a reason sentence and shows as
// "consistency check incomplete: {reason}".
#pragma once

#include <cstdint>
#include <expected>
#include <optional>
#include <string>

#include "alc/error.h"
#include "core/error.h"
#include "core/session.h"

namespace trelvanic_dl {

enum class ErrorKind : uint8_t {
  WrongProfile = 0,  // "expected DL profile, got {Profile}"
  El = 1,
  Alc = 2,
  Parser = 3,
  Core = 4,
  Inconsistent = 5,  // "ontology inconsistent"
  DlPreview = 6,     // "DL preview: {}"
  Profile = 7,
  Message = 8,
  Incomplete = 9,    // "consistency check incomplete: {}"
};

class Error {
 public:
  static Error wrong_profile(trelvanic_core::Profile profile);
  static Error el(std::string text) { return Error(ErrorKind::El, std::move(text)); }
  static Error alc(trelvanic_alc::Error e);
  static Error core(trelvanic_core::Error e);
  static Error inconsistent() { return Error(ErrorKind::Inconsistent, {}); }
  static Error dl_preview(std::string text) { return Error(ErrorKind::DlPreview, std::move(text)); }
  static Error profile(std::string text) { return Error(ErrorKind::Profile, std::move(text)); }
  static Error message_text(std::string text) { return Error(ErrorKind::Message, std::move(text)); }
  static Error incomplete(std::string reason) { return Error(ErrorKind::Incomplete, std::move(reason)); }

  [[nodiscard]] ErrorKind kind() const { return kind_; }
  // The payload: a wrapped error's text, the preview or message text, or
  // the reason of `Incomplete`.
  [[nodiscard]] const std::string& detail() const { return detail_; }
  [[nodiscard]] const std::optional<trelvanic_alc::Error>& alc_error() const { return alc_; }
  [[nodiscard]] const std::optional<trelvanic_core::Error>& core_error() const { return core_; }
  // The tableau ran out of its budget (or saw the cancellation flag).
  [[nodiscard]] bool is_budget_exhausted() const {
    return alc_ && alc_->kind == trelvanic_alc::ErrorKind::BudgetExhausted;
  }
  [[nodiscard]] std::string message() const;

 private:
  Error(ErrorKind kind, std::string detail) : kind_(kind), detail_(std::move(detail)) {}

  ErrorKind kind_;
  std::string detail_;
  std::optional<trelvanic_alc::Error> alc_;
  std::optional<trelvanic_core::Error> core_;
};

template <class T>
using Result = std::expected<T, Error>;

}  // namespace trelvanic_dl
