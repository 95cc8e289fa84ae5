// Profile rules over construct sets: the OWL 2 profile types, the profile
// `Error`, the membership of each `OwlConstruct` in the sets "outside EL",
// "outside RL", "outside QL" and "refused by EL classification", the
// predicates built on them, the EL engine's acceptance test (asked of the
// engine's own list, el/capability.h) and the diagnostics of a DL decision.
//
// Membership tests are bit tests on a 64-bit `ConstructMask` (bit n is the
// construct with code n); the public functions also take the ordered
// `ConstructSet` of the core, and every list they return follows ascending
// construct order.
//
//   ConstructSet s = {OwlConstruct::SubClassOfNamed, OwlConstruct::ObjectUnionOf};
//   rules::el::satisfies_el(s);                   // false
//   rules::el::el_classification_forbidden_in(s); // {ObjectUnionOf}
//   rules::dl::dl_diagnostics(s);                 // one diagnostic, EL message
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/axiom.h"
#include "core/dl_expr.h"
#include "core/parse_meta.h"
#include "el/capability.h"

namespace trelvanic_profile {

using trelvanic_core::ConstructSet;
using trelvanic_core::OwlConstruct;

enum class OwlProfile : uint8_t { El, Rl, Ql, Dl };

// "El", "Rl", "Ql", "Dl".
[[nodiscard]] std::string_view owl_profile_name(OwlProfile p);

struct ProfileDiagnostic {
  std::string code;  // a construct's name, or "SkippedAxioms"
  std::string message;

  friend bool operator==(const ProfileDiagnostic&, const ProfileDiagnostic&) = default;
};

struct ProfileReport {
  std::vector<ProfileDiagnostic> diagnostics;  // in emission order
  std::optional<OwlProfile> profile;
};

// The one error of profile detection, routing and the module split.
class Error {
 public:
  explicit Error(std::string message) : message_(std::move(message)) {}
  [[nodiscard]] const std::string& message() const { return message_; }
  // "profile detection failed: {message}"
  [[nodiscard]] std::string display() const;

  friend bool operator==(const Error&, const Error&) = default;

 private:
  std::string message_;
};

// --- Construct masks -------------------------------------------------------

using ConstructMask = uint64_t;

[[nodiscard]] constexpr ConstructMask construct_bit(OwlConstruct c) {
  return ConstructMask{1} << static_cast<unsigned>(c);
}
[[nodiscard]] ConstructMask construct_mask(const ConstructSet& set);
[[nodiscard]] ConstructSet construct_set(ConstructMask mask);

namespace rules {

// Constructs outside OWL 2 EL (24), RL (17) and QL (28: the QL list also
// holds ObjectAllValuesFrom, which QL does not allow in any position), and
// the eleven that EL classification refuses.
[[nodiscard]] ConstructMask outside_el_mask();
[[nodiscard]] ConstructMask outside_rl_mask();
[[nodiscard]] ConstructMask outside_ql_mask();
[[nodiscard]] ConstructMask el_refused_mask();
// The constructs the EL engine reasons with soundly and completely, as the
// engine states them (`trelvanic_el::kEngineConstructs`).
[[nodiscard]] constexpr ConstructMask el_engine_mask() { return trelvanic_el::kEngineConstructs; }

namespace el {
// True when no member is outside EL (true for the empty set).
[[nodiscard]] bool satisfies_el(const ConstructSet& set);
// The members that EL classification refuses, as a new set.
[[nodiscard]] ConstructSet el_classification_forbidden_in(const ConstructSet& set);
// True when every member is one the EL engine reasons with (see
// `el_engine_mask`). The whole-ontology test, which also looks for negative
// assertions, is `el_engine_accepts(const Ontology&)` in routing.h.
[[nodiscard]] bool el_engine_accepts(const ConstructSet& set);
[[nodiscard]] constexpr bool el_engine_accepts(ConstructMask mask) { return trelvanic_el::engine_takes_constructs(mask); }
}  // namespace el

namespace rl {
// True when no member is outside RL (true for the empty set).
[[nodiscard]] bool satisfies_rl(const ConstructSet& set);
}  // namespace rl

namespace ql {
// True when no member is outside QL (true for the empty set).
[[nodiscard]] bool satisfies_ql(const ConstructSet& set);
}  // namespace ql

namespace dl {
// The diagnostics of a DL decision: members outside EL with the EL message,
// then members outside RL not yet named with the RL message, then SwrlRule
// or Unknown not yet named with "construct requires OWL 2 DL reasoning";
// at most one per construct, each group ascending.
[[nodiscard]] std::vector<ProfileDiagnostic> dl_diagnostics(const ConstructSet& set);
// "SkippedAxioms": "source contains constructs but no mapped TBox axioms;
// classified as DL".
[[nodiscard]] ProfileDiagnostic skipped_only_dl_diagnostic();
}  // namespace dl

}  // namespace rules
}  // namespace trelvanic_profile
