// Answers kept between entailment questions on an unchanged ontology.
//
//   EntailmentAnswers answers;          // kept next to the working ontology
//   auto yes = is_entailed_axiom(reasoner, check, &answers);
//
// The first question on an ontology saturates it once with the EL engine
// (when the route is the EL engine and its gate takes the ontology); later
// questions on the same ontology read SubClassOf between classes and
// ClassAssertion of named classes from that saturation instead of deciding
// a probe each. The answer is the probe's: sub ⊑ sup (or a ∈ C) holds
// exactly when the saturation derived it or found the ontology without a
// model, since the probe's fresh names add nothing else the rules could
// use. The resolved route and, on the RDFS and RL routes, the materialised
// copy the route answers "yes" from are kept the same way.
//
// "The same ontology" means the kept copy still shares its stores and DL
// store with the asked one (every change makes them private first) and
// has the same revision, rule count and requested profile; anything else
// drops what was kept. A question the saturation cannot answer (a name it
// did not number, an ontology the gate refuses) returns nullopt: the
// engine decides it as before.
//
// Read-only use answers a question only from what is kept, without any
// engine run (cheap enough to do on the caller's thread):
//   answers.set_read_only(true);
//   auto yes = is_entailed_axiom(reasoner, check, &answers);
//   answers.set_read_only(false);
//   if (answers.needed_engine()) ...ask again with engines allowed
// In that mode nothing new is saturated or resolved, and where an engine
// would run the question fails with `engine_needed()` instead.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "core/ids.h"
#include "core/ontology.h"
#include "core/reasoner.h"
#include "facade/error.h"
#include "profile/routing.h"

namespace trelvanic_facade {

class EntailmentAnswers {
 public:
  EntailmentAnswers();
  ~EntailmentAnswers();
  EntailmentAnswers(EntailmentAnswers&&) noexcept;
  EntailmentAnswers& operator=(EntailmentAnswers&&) noexcept;

  // The route for `profile` on `ontology`, resolved once per ontology
  // (errors are not kept).
  [[nodiscard]] Result<trelvanic_profile::Route> route(trelvanic_core::Profile profile,
                                                       const trelvanic_core::Ontology& ontology);
  // sub ⊑ sup for class-kind `sub` and `sup`.
  [[nodiscard]] std::optional<bool> subsumed(trelvanic_core::Profile profile, const trelvanic_core::Ontology& ontology,
                                             trelvanic_core::EntityId sub, trelvanic_core::EntityId sup);
  // individual ∈ cls for a class-kind `cls`.
  [[nodiscard]] std::optional<bool> instance_of(trelvanic_core::Profile profile,
                                                const trelvanic_core::Ontology& ontology,
                                                trelvanic_core::EntityId individual, trelvanic_core::EntityId cls);
  // The copy of `ontology` materialised by the RDFS or RL rules, made by
  // `close` once per ontology and kind (errors are not kept). The pointer
  // stays valid until the next call.
  enum class Materialised : uint8_t { Rdfs, Rl };
  using Close = Result<trelvanic_core::Ontology> (*)(const trelvanic_core::Ontology&);
  [[nodiscard]] Result<const trelvanic_core::Ontology*> materialised(Materialised which,
                                                                     trelvanic_core::Profile profile,
                                                                     const trelvanic_core::Ontology& ontology,
                                                                     Close close);
  // True when something is kept for exactly this ontology and profile.
  [[nodiscard]] bool holds_for(trelvanic_core::Profile profile, const trelvanic_core::Ontology& ontology) const;
  void clear();

  // Switching the mode on or off forgets an earlier `needed_engine`.
  void set_read_only(bool on) {
    read_only_ = on;
    needed_engine_ = false;
  }
  [[nodiscard]] bool read_only() const { return read_only_; }
  // A question asked in read-only mode stopped where an engine would run.
  [[nodiscard]] bool needed_engine() const { return needed_engine_; }
  // Notes that an engine is needed; the error to stop the question with.
  [[nodiscard]] Error engine_needed();

 private:
  struct State;
  struct Saturation;
  State& state_for(trelvanic_core::Profile profile, const trelvanic_core::Ontology& ontology);
  static std::optional<Saturation> saturate(const trelvanic_core::Ontology& ontology);
  const Saturation* saturation_for(trelvanic_core::Profile profile, const trelvanic_core::Ontology& ontology);
  std::unique_ptr<State> state_;
  bool read_only_ = false;
  bool needed_engine_ = false;
};

}  // namespace trelvanic_facade
