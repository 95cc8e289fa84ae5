// Entry points of the EL engine over a core `Ontology`.
//
//   auto report = ElClassifier::classify_with_options(ontology, /*trace=*/false);
//   auto consistent = ElEngine::is_consistent(ontology);
//
// Every entry runs the profile gate first: an ontology that holds anything
// the engine does not reason with soundly and completely is refused with
// `NotEl` (carrying the detected profile), never partly classified.
// Individuals take part as nominal-like classes, so class and property
// assertions count for consistency; an ontology found inconsistent
// classifies every class as unsatisfiable (every subsumption holds then).
// `classify_routed` is the route through a core reasoner: with its
// incremental switch on, the last result is kept in an `ElSession` and
// reused while the ontology is unchanged.
#pragma once

#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/dirty.h"
#include "core/ontology.h"
#include "core/reasoner.h"
#include "core/session.h"
#include "core/taxonomy.h"
#include "core/trace.h"
#include "el/error.h"

namespace trelvanic_el {

struct ElReport {
  trelvanic_core::Taxonomy taxonomy;
  trelvanic_core::InferenceTrace trace;
};

// The gate: passes when the engine decides every construct of the ontology.
[[nodiscard]] std::expected<void, Error> validate_el_profile(const trelvanic_core::Ontology& ontology);

struct ElClassifier {
  [[nodiscard]] static std::expected<trelvanic_core::Taxonomy, Error> classify(
      const trelvanic_core::Ontology& ontology);
  [[nodiscard]] static std::expected<ElReport, Error> classify_with_options(
      const trelvanic_core::Ontology& ontology, bool trace);
  // Classification without the construct gate; fails only when an axiom
  // cannot be translated.
  [[nodiscard]] static std::expected<ElReport, Error> classify_el_tbox(
      const trelvanic_core::Ontology& ontology, bool trace);
  // The named individuals entailed to be instances of `cls`, in registry
  // order: every individual for owl:Thing, and for every class when the
  // ontology is inconsistent. Passes the same gate as `classify`.
  [[nodiscard]] static std::expected<std::vector<trelvanic_core::EntityId>, Error> instances(
      const trelvanic_core::Ontology& ontology, trelvanic_core::EntityId cls);
};

// Instance retrieval over an ontology that grows by assertions: `build`
// saturates once, and `update` takes in the class and object property
// assertions told since by extending the saturated state instead of
// saturating afresh.
//
//   auto s = ElInstances::build(ontology);
//   ontology.add_axiom(Axiom::class_assertion(a, C));
//   if (!*s->update(ontology)) s = ElInstances::build(ontology);
//   s->instances(C);
class ElInstances {
 public:
  // Passes the same gate as `ElClassifier::classify`.
  [[nodiscard]] static std::expected<ElInstances, Error> build(const trelvanic_core::Ontology& ontology);

  ElInstances(ElInstances&&) noexcept;
  ElInstances& operator=(ElInstances&&) noexcept;
  ~ElInstances();

  // Takes in the told axioms added to the ontology (the one the session was
  // built from) since `build` or the last `update`. False when the ontology
  // changed in any other way (an axiom other than a positive class or object
  // property assertion, a removal, a new entity, a DL-store axiom): the
  // session is stale then and the caller builds afresh.
  [[nodiscard]] std::expected<bool, Error> update(const trelvanic_core::Ontology& ontology);

  // The named individuals entailed to be instances of `cls`, in registry
  // order, as `ElClassifier::instances` gives them.
  [[nodiscard]] std::vector<trelvanic_core::EntityId> instances(trelvanic_core::EntityId cls) const;

 private:
  struct State;
  explicit ElInstances(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

struct ElEngine {
  // True when the ontology has a model: owl:Thing is satisfiable and no
  // individual is forced into ⊥ by its assertions and the TBox.
  [[nodiscard]] static std::expected<bool, Error> is_consistent(const trelvanic_core::Ontology& ontology);
};

// The EL engine's state kept in a core reasoner between calls.
class ElSession : public trelvanic_core::ReasonerSession {
 public:
  trelvanic_core::Profile profile() const override { return trelvanic_core::Profile::El; }
  void clear() override;
  std::string debug_text() const override;

  trelvanic_core::OntologyRevision last_revision;
  bool record_traces = false;
  std::optional<ElReport> last;  // the result for `last_revision`
};

// Empties the reasoner's session slot; returns the session when it was the
// EL engine's (another engine's session is dropped without being cleared).
[[nodiscard]] std::unique_ptr<ElSession> take_el_session(trelvanic_core::Reasoner& reasoner);

// Classification through a core reasoner, keeping or clearing its session.
[[nodiscard]] std::expected<ElReport, Error> classify_routed(trelvanic_core::Reasoner& reasoner);

}  // namespace trelvanic_el
