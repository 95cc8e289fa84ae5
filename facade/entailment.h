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
// Answers hold under the Direct Semantics or are refused with an error:
//   - SubClassOf: every entity is subsumed by itself and by owl:Thing, and
//     owl:Nothing by every entity, on every route. Otherwise the EL route
//     decides with the EL engine (a cached taxonomy answers "yes"); other
//     taxonomy routes classify and read the taxonomy; the RDFS and RL
//     routes need their materialisation.
//   - ClassAssertion C(a): on the EL route the EL engine decides it, as
//     the inconsistency of the ontology with a(F) and DisjointClasses(C, F)
//     for a fresh class F, so asserted types, property assertions, domains,
//     existentials and sameAs all count.
//   - ObjectPropertyAssertion p(s, o): a told assertion is entailed; else
//     the EL route decides it as the inconsistency of the ontology with
//     S(s), O(o) and DisjointClasses(S, ∃p.O), S and O fresh; other
//     routes need their engine.
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

[[nodiscard]] Result<bool> is_entailed_axiom(trelvanic_core::Reasoner& reasoner, const EntailmentCheck& check);
[[nodiscard]] Result<bool> is_subsumption_entailed(trelvanic_core::Reasoner& reasoner, std::string_view sub,
                                                   std::string_view sup);

// The EL engine's answer to C(a) for a class-kind `cls`: true when the
// ontology with a(F) and DisjointClasses(C, F), F fresh, has no model.
[[nodiscard]] Result<bool> el_entails_class_assertion(const trelvanic_core::Ontology& ontology,
                                                      trelvanic_core::EntityId individual,
                                                      trelvanic_core::EntityId cls);

}  // namespace trelvanic_facade
