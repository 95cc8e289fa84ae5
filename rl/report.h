// Materialisation reports of the RL and RDFS engines.
//
// A report holds the live axiom counts before and after the run, the clash
// messages (the rule engine's inconsistencies as "{rule}: {message}", the
// merge's "entity kind mismatch ..." notes, and for RL the owl:sameAs /
// owl:differentFrom clashes), and whether every axiom reached the rule
// engine in an OWL 2 RL form (`export_complete`): only then does a clash-free
// report prove consistency. `trace` and `inferred_by_rule` stay empty.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <absl/container/flat_hash_set.h>

#include "bridge/materializer_session.h"
#include "core/ids.h"
#include "core/ontology.h"
#include "core/session.h"
#include "core/trace.h"

namespace trelvanic_rl {

#define TRELVANIC_RL_RULES(X)                                                                     \
  X(EqClassSub, "eq_class_sub") X(EqPropSub, "eq_prop_sub") X(CharPropagate, "char_propagate")   \
  X(ExistentialSubProp, "existential_sub_prop") X(ExistentialSubsumption, "existential_subsumption") \
  X(TypeDomain, "type_domain") X(TypeRange, "type_range") X(TypeSubclass, "type_subclass")       \
  X(TypeEquivalent, "type_equivalent") X(PropSub, "prop_sub") X(PropInverse, "prop_inverse")     \
  X(PropSymmetric, "prop_symmetric") X(PropTransitive, "prop_transitive")                        \
  X(SameAsClass, "same_as_class") X(SameAsProp, "same_as_prop") X(PropReflexive, "prop_reflexive")

enum class RlRule : uint8_t {
#define TRELVANIC_RL_RULE_ENUM(name, text) name,
  TRELVANIC_RL_RULES(TRELVANIC_RL_RULE_ENUM)
#undef TRELVANIC_RL_RULE_ENUM
};

[[nodiscard]] std::string_view rl_rule_name(RlRule rule);

using ClashPair = std::pair<trelvanic_core::EntityId, trelvanic_core::EntityId>;

struct MaterializationReport {
  trelvanic_core::InferenceTrace trace;
  std::vector<std::string> clashes;
  absl::flat_hash_set<ClashPair> clash_pairs;  // (smaller id, larger id)
  size_t initial_axiom_count = 0;
  size_t final_axiom_count = 0;
  std::map<RlRule, size_t> inferred_by_rule;
  bool export_complete = true;
};

// The driver's clashes followed by the owl:sameAs clashes of the
// materialised ontology.
[[nodiscard]] MaterializationReport report_from_outcome(const trelvanic_core::Ontology& ontology, size_t initial,
                                                        size_t final_count,
                                                        const trelvanic_bridge::MaterializeOutcome& outcome);

// True when some message does not begin with "entity kind mismatch" (those
// note triples the merge dropped; they say nothing about consistency).
[[nodiscard]] bool clashes_indicate_inconsistency(const std::vector<std::string>& clashes);

// The first tests of the RL route's consistency answer, on the saturated
// ontology and its report: a clash that is not a kind note, or a realised
// chain into owl:bottomObjectProperty, proves inconsistency ({false, true});
// otherwise, when some axiom did not reach the rule engine in an OWL 2 RL
// form, nothing is proven ({false, false}). None: no verdict yet (the ABox
// test and the classification decide).
[[nodiscard]] std::optional<trelvanic_core::ConsistencyResult> consistency_from_report(
    const MaterializationReport& report, const trelvanic_core::Ontology& saturated);

// Live axioms: stored minus removed.
[[nodiscard]] inline size_t live_axiom_count(const trelvanic_core::Ontology& o) { return o.axioms().live_count(); }

namespace rdfs {

enum class RdfsRule : uint8_t { ScTrans, SpTrans, DomInherit, RngInherit };

[[nodiscard]] std::string_view rdfs_rule_name(RdfsRule rule);

struct MaterializationReport {
  trelvanic_core::InferenceTrace trace;
  std::vector<std::string> clashes;
  size_t initial_axiom_count = 0;
  size_t final_axiom_count = 0;
  std::map<RdfsRule, size_t> inferred_by_rule;
  bool export_complete = true;
};

}  // namespace rdfs

}  // namespace trelvanic_rl
