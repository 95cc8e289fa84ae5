// The materializer session and the materialisation driver.
//
// A `MaterializerSession` is the RL / RDFS engine state a core `Reasoner`
// keeps in its session slot between calls: the rule engine with the triples
// it holds, the ontology revision of its last successful run, whether it was
// ever filled, and its profile (`Rdfs` selects the RDFS post-processing
// list, anything else the RL list).
//
//   auto session = take_materializer_session(reasoner, Profile::Rl);
//   auto run = materialize_with_session(reasoner.ontology_mut(), std::move(session),
//                                       reasoner.incremental(), 10'000'000, 1'000'000);
//   reasoner.set_session(std::move(run.session));   // after success and failure alike
//
// One run: export the ontology as triples, load them into the rule engine,
// reason, merge the output back as inferred axioms under temporary limits,
// post-process, record the revision and clear the dirty set. With
// `incremental` set, a filled session whose ontology only gained told axioms
// since its last run loads just those axioms' triples.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "bridge/error.h"
#include "core/dirty.h"
#include "core/ontology.h"
#include "core/reasoner.h"
#include "core/session.h"
#include "materializer/materializer.h"

namespace trelvanic_bridge {

class MaterializerSession final : public trelvanic_core::ReasonerSession {
 public:
  MaterializerSession() : MaterializerSession(trelvanic_core::Profile::Rl) {}
  explicit MaterializerSession(trelvanic_core::Profile profile) : profile_(profile) {}
  static MaterializerSession new_for_profile(trelvanic_core::Profile profile) { return MaterializerSession(profile); }

  [[nodiscard]] trelvanic_core::Profile profile() const override { return profile_; }
  // A new session's state, keeping the profile.
  void clear() override;
  // "MaterializerSession { last_revision: ..., warmed: ..., profile: ..., .. }"
  [[nodiscard]] std::string debug_text() const override;

  [[nodiscard]] const trelvanic_core::OntologyRevision& last_revision() const { return last_revision_; }
  [[nodiscard]] bool warmed() const { return warmed_; }
  [[nodiscard]] trelvanic_materializer::Materializer& materializer() { return materializer_; }
  // Whether the triples the session holds are the complete OWL 2 RL form
  // of the ontology (see `ExportSummary::outside_rl`).
  [[nodiscard]] bool export_complete() const { return outside_rl_ == 0; }

 private:
  friend struct Driver;

  trelvanic_materializer::Materializer materializer_;
  trelvanic_core::OntologyRevision last_revision_;
  bool warmed_ = false;
  trelvanic_core::Profile profile_;
  size_t outside_rl_ = 0;  // axioms of the loaded triples without an RL form
};

struct MaterializeOutcome {
  std::vector<std::string> clashes;  // the merge's clashes
  size_t added_axioms = 0;
  bool full_rebuild = false;
  // Every axiom of the ontology reached the rule engine in an OWL 2 RL form,
  // so the clashes decide consistency.
  bool export_complete = true;
};

// The driver hands the session back in both cases.
struct MaterializeRun {
  std::unique_ptr<MaterializerSession> session;
  Result<MaterializeOutcome> outcome;
};

// The stored session when it is a materializer session of `profile`, else a
// new one; the reasoner's slot is empty afterwards.
[[nodiscard]] std::unique_ptr<MaterializerSession> take_materializer_session(trelvanic_core::Reasoner& reasoner,
                                                                             trelvanic_core::Profile profile);

[[nodiscard]] MaterializeRun materialize_with_session(trelvanic_core::Ontology& ontology,
                                                      std::unique_ptr<MaterializerSession> session,
                                                      bool incremental, size_t max_axioms, size_t max_entities);

}  // namespace trelvanic_bridge
