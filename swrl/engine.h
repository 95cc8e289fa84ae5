// Forward chaining of an ontology's SWRL rules.
//
//   auto run = materialize_swrl_rules(clone);   // adds the consequences
//   run->rule_count, run->inference_count, run->complete
//
// Rules are read DL-safe: variables bind named individuals and literals
// only. A pass gathers the facts entailed about named individuals (class
// memberships from the EL engine, or from DL instance checks outside EL;
// object property assertions closed under the property axioms and sameAs),
// matches every rule body against them and adds the head atoms of each
// match as told axioms; passes repeat until one adds nothing. A match is
// always entailed; where a pass cannot be sure it saw every entailed fact
// the run says why in `gaps` and `complete` is false.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

#include "core/ontology.h"
#include "core/swrl.h"
#include "profile/scanner.h"
#include "rl/abox.h"
#include "swrl/error.h"

namespace trelvanic_swrl::engine {

inline constexpr size_t kMaxPasses = 10'000;
inline constexpr size_t kMaxBindings = 10'000;
inline constexpr size_t kMaxInferences = 100'000;
// Partial matches held while a body is evaluated; a later atom may filter
// them down to within kMaxBindings, but memory is bounded here.
inline constexpr size_t kMaxPartialBindings = 200'000;
// DL instance checks one pass may run for class atoms outside EL; past it
// the told memberships stand in and the run is incomplete.
inline constexpr size_t kMaxDlMembershipChecks = 20'000;

// A literal's value as a rule sees it: lexical form and full datatype IRI
// (a plain literal is xsd:string, or rdf:PlainLiteral with a language tag).
struct DataValue {
  std::string lexical;
  std::string datatype;
  friend bool operator==(const DataValue&, const DataValue&) = default;
};

// One partial match of a rule body.
struct RuleBinding {
  absl::flat_hash_map<std::string, trelvanic_core::EntityId> individuals;
  absl::flat_hash_map<std::string, DataValue> data_values;
  // Matched through a membership that holds in some models only: the rule
  // may fire there, so it is never applied, only checked for what it would add.
  bool speculative = false;
};

using IndividualPair = std::pair<trelvanic_core::EntityId, trelvanic_core::EntityId>;

// What one pass matches rule bodies against.
struct PassFacts {
  trelvanic_rl::abox::SameAsClosure same_as;
  // Entailed members of each class named in a body.
  absl::flat_hash_map<trelvanic_core::EntityId, absl::flat_hash_set<trelvanic_core::EntityId>> members;
  // Individuals that some models put in the class and others not (only
  // outside EL, where memberships can hold by cases).
  absl::flat_hash_map<trelvanic_core::EntityId, absl::flat_hash_set<trelvanic_core::EntityId>> possible;
  // Entailed (subject, object) pairs per object property.
  absl::flat_hash_map<trelvanic_core::EntityId, absl::flat_hash_set<IndividualPair>> object_facts;
  // Told (subject, value) pairs per data property.
  absl::flat_hash_map<trelvanic_core::EntityId, std::vector<std::pair<trelvanic_core::EntityId, DataValue>>>
      data_facts;
  // Told DifferentIndividuals pairs, both orders.
  absl::flat_hash_set<IndividualPair> different;
  // Why the facts may miss some entailed ones.
  std::vector<std::string> gaps;
};

// ClassAssertion(a, C) in the DL store with C not a named class: the EL
// engine does not read those.
[[nodiscard]] bool has_complex_class_assertion(const trelvanic_core::Ontology& ontology);

// Empties the rule list and drops the DL store's rule markers.
void drop_rules(trelvanic_core::Ontology& ontology);

// What a pass's reasoning leaves for the next one (defined in engine.cpp).
struct PassMemo;

// The facts of one pass for the given rules (of a rule-free ontology).
// `shape`, when given, is the set of constructs to judge the told facts by
// instead of the ontology's own (the chaining's stated rule instances hold
// nominals that entail no property assertion or equality). `memo`, when
// given, carries reasoning from the previous call to this one; the ontology
// may only have grown by axioms in between.
[[nodiscard]] Result<PassFacts> gather_facts(const trelvanic_core::Ontology& ontology,
                                             const std::vector<trelvanic_core::SwrlRule>& rules,
                                             const trelvanic_profile::ConstructSet* shape = nullptr,
                                             PassMemo* memo = nullptr);

// The bindings that extend `binding` by one body atom. A DifferentIndividuals
// atom whose individuals are not told different records a gap in `gaps`.
[[nodiscard]] std::vector<RuleBinding> match_atom(const trelvanic_core::Ontology& ontology, const PassFacts& facts,
                                                  const trelvanic_core::SwrlAtom& atom, const RuleBinding& binding,
                                                  std::vector<std::string>& gaps);

struct ChainRun {
  size_t rule_count = 0;
  size_t inference_count = 0;
  bool complete = true;
  // A head asked an individual to differ from itself: no model.
  bool inconsistent = false;
  std::vector<std::string> gaps;  // distinct reasons, in the order met
};

// Applies the ontology's rules to the ontology until nothing new follows.
// The rules themselves leave the ontology (its rule list and the rule
// markers of its DL store): what stays is the ontology with their
// consequences as told axioms, ready for engines that do not read rules.
// Without rules nothing is touched. Errors: the limits' core messages, a refused head axiom's core error.
[[nodiscard]] Result<ChainRun> materialize_swrl_rules(trelvanic_core::Ontology& ontology);

}  // namespace trelvanic_swrl::engine
