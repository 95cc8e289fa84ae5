// Entailment checks of the facade: does the ontology of a core reasoner
// entail one `SubClassOf`, `ClassAssertion` or `ObjectPropertyAssertion`.
//
//   auto check = parse_entailment_check(sub, sup, individual, cls, subject, property, object);
//   auto yes = is_entailed_axiom(reasoner, *check);   // Result<bool>
//
// `parse_entailment_check` takes the seven optional IRI strings (an empty
// string counts as given) and refuses any combination but exactly one
// complete group with the command-line worded usage messages ("entail
// requires exactly one of: ...", "--sub required" and kin, as `Core`
// errors).
//
// Answers hold under the Direct Semantics or are refused with an error.
// Each question q is decided, where a route can, as the inconsistency of
// a probe: a clone with a few axioms over fresh names that has a model
// exactly when q fails:
//   SubClassOf(A, B)    A(x), F(x), DisjointClasses(B, F)
//   ClassAssertion C(a) F(a), DisjointClasses(C, F)
//   p(s, o)             S(s), O(o), DisjointClasses(S, ∃p.O)
// so asserted types, property assertions, domains, sub-properties and
// existentials all count.
//   - Every route: A ⊑ A, A ⊑ owl:Thing, owl:Nothing ⊑ A, C(a) for
//     owl:Thing, and a stated property assertion hold.
//   - EL: the EL engine decides the probe (a cached taxonomy answers a
//     subsumption's "yes").
//   - RL: the RL rules decide the probe (a materialised SubClassOf chain
//     answers "yes" first); when some axiom has no OWL 2 RL form the
//     answer "no" is refused as incomplete.
//   - RDFS: the materialised closure answers "yes"; otherwise the check is
//     refused as incomplete ("consistency check incomplete"), since RDFS
//     rules prove no non-entailment under the Direct Semantics.
//   - DL, hybrid, SWRL: their engine.
// After a load that skipped axioms or left imports out, "no" is refused
// as incomplete on every route; "yes" stands.
// An engine that is not part of the build fails with "{engine} engine is
// not available yet". Lookups fail with "unknown class IRI: {}" and kin
// (`lookup.h`). The reasoner's ontology changes only through a facade
// classification that some checks run on it; probes work on clones.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "core/ids.h"
#include "core/ontology.h"
#include "core/reasoner.h"
#include "facade/answers.h"
#include "facade/error.h"

namespace trelvanic_facade {

struct SubClassOfCheck {
  std::string sub;
  std::string sup;
};
struct ClassAssertionCheck {
  std::string individual;
  std::string cls;
};
struct ObjectPropertyAssertionCheck {
  std::string subject;
  std::string property;
  std::string object;
};

// Alternatives in this order: SubClassOf, ClassAssertion,
// ObjectPropertyAssertion.
using EntailmentCheck = std::variant<SubClassOfCheck, ClassAssertionCheck, ObjectPropertyAssertionCheck>;

inline constexpr const char* kEntailUsage =
    "entail requires exactly one of: (--sub and --sup), (--individual and --class), or (--subject, "
    "--property, and --object)";

[[nodiscard]] Result<EntailmentCheck> parse_entailment_check(
    std::optional<std::string> sub, std::optional<std::string> sup, std::optional<std::string> individual,
    std::optional<std::string> cls, std::optional<std::string> subject, std::optional<std::string> property,
    std::optional<std::string> object);

// With `answers`, what they keep for the reasoner's ontology answers where
// it can (`answers.h`), with the same results as without.
[[nodiscard]] Result<bool> is_entailed_axiom(trelvanic_core::Reasoner& reasoner, const EntailmentCheck& check,
                                             EntailmentAnswers* answers = nullptr);
[[nodiscard]] Result<bool> is_subsumption_entailed(trelvanic_core::Reasoner& reasoner, std::string_view sub,
                                                   std::string_view sup, EntailmentAnswers* answers = nullptr);

}  // namespace trelvanic_facade
