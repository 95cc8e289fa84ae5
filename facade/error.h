// The facade's `Error`: what every facade operation (classification,
// consistency, entailment) returns on failure. Each variant wraps the whole
// error of one component, and the display text is exactly that error's
// display, with nothing added:
//   - `El`: the EL engine (also route resolution and the hybrid split,
//     shown as "profile detection failed: {}", and the entity lookups'
//     "unknown class IRI: {}" and kin);
//   - `Dl`: the DL pipeline; two of its cases are told apart, because the
//     Python layer maps them to their own exceptions: an exhausted tableau
//     expansion budget (with its count) and an incomplete answer (with its
//     reason text);
//   - `Rl`: the RL and RDFS engines;
//   - `Swrl`: the SWRL engine;
//   - `Core`: a core model error, kept whole so its kind can be mapped.
// An engine that is not part of the build yet fails through its own
// variant with "{engine} engine is not available yet", never with an
// answer.
//
//   auto e = Error::el_profile(profile_error);
//   e.variant();  // ErrorVariant::El
//   e.message();  // "profile detection failed: ..."
#pragma once

#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>

#include "core/error.h"
#include "el/error.h"
#include "profile/rules.h"

namespace trelvanic_facade {

enum class ErrorVariant : uint8_t { El = 0, Dl = 1, Rl = 2, Swrl = 3, Core = 4 };

// The DL cases the Python layer distinguishes; `Other` for the rest.
enum class DlCase : uint8_t { Other = 0, BudgetExhausted = 1, Incomplete = 2 };

class Error {
 public:
  static Error el(trelvanic_el::Error error) { return Error(ErrorVariant::El, std::move(error.message)); }
  // Route resolution and hybrid split failures, as the EL error's profile case.
  static Error el_profile(const trelvanic_profile::Error& error) { return Error(ErrorVariant::El, error.display()); }
  // The EL error's free-text case (the entity lookups' messages).
  static Error el_message(std::string text) { return Error(ErrorVariant::El, std::move(text)); }
  static Error core(trelvanic_core::Error error);
  static Error rl(std::string text) { return Error(ErrorVariant::Rl, std::move(text)); }
  static Error swrl(std::string text) { return Error(ErrorVariant::Swrl, std::move(text)); }
  static Error dl(std::string text) { return Error(ErrorVariant::Dl, std::move(text)); }
  // The tableau's expansion budget ran out after `count` expansions;
  // `text` is the DL error's display.
  static Error dl_budget_exhausted(uint32_t count, std::string text);
  // "consistency check incomplete: {reason}".
  static Error dl_incomplete(std::string reason);
  // "{engine} engine is not available yet", through `variant`.
  static Error engine_not_available(ErrorVariant variant, std::string_view engine);

  [[nodiscard]] ErrorVariant variant() const { return variant_; }
  [[nodiscard]] DlCase dl_case() const { return dl_case_; }
  [[nodiscard]] uint32_t budget_count() const { return budget_count_; }
  // The reason text of an incomplete DL answer.
  [[nodiscard]] const std::string& reason() const { return reason_; }
  // The wrapped core error of the `Core` variant.
  [[nodiscard]] const std::optional<trelvanic_core::Error>& core_error() const { return core_; }
  // The display text.
  [[nodiscard]] const std::string& message() const { return text_; }

 private:
  Error(ErrorVariant variant, std::string text) : variant_(variant), text_(std::move(text)) {}

  ErrorVariant variant_;
  DlCase dl_case_ = DlCase::Other;
  uint32_t budget_count_ = 0;
  std::string text_;
  std::string reason_;
  std::optional<trelvanic_core::Error> core_;
};

template <class T>
using Result = std::expected<T, Error>;

}  // namespace trelvanic_facade
