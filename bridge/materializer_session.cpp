#include "bridge/materializer_session.h"

#include <chrono>
#include <cstdio>

#include <fmt/format.h>

#include "bridge/merge.h"
#include "bridge/perf.h"
#include "bridge/rl_postprocess.h"
#include "bridge/triples.h"
#include "core/cancel.h"

namespace trelvanic_bridge {

using trelvanic_core::Ontology;
using trelvanic_core::OntologyLimits;
using trelvanic_core::Profile;

void MaterializerSession::clear() {
  materializer_ = trelvanic_materializer::Materializer();
  last_revision_ = {};
  warmed_ = false;
  outside_rl_ = 0;
}

std::string MaterializerSession::debug_text() const {
  return fmt::format("MaterializerSession {{ last_revision: {}, warmed: {}, profile: {}, .. }}",
                     last_revision_.debug_text(), warmed_, trelvanic_core::profile_name(profile_));
}

std::unique_ptr<MaterializerSession> take_materializer_session(trelvanic_core::Reasoner& reasoner,
                                                               Profile profile) {
  std::unique_ptr<trelvanic_core::ReasonerSession> held = reasoner.take_session();
  if (held) {
    if (auto* own = held->as<MaterializerSession>(); own && own->profile() == profile) {
      held.release();
      return std::unique_ptr<MaterializerSession>(own);
    }
  }
  return std::make_unique<MaterializerSession>(profile);
}

namespace {

using Clock = std::chrono::steady_clock;

// Adds the time since `start` to `slot` when timing is on.
class Phase {
 public:
  Phase(bool on, double& slot) : on_(on), slot_(slot) {
    if (on_) start_ = Clock::now();
  }
  ~Phase() {
    if (on_) slot_ += std::chrono::duration<double>(Clock::now() - start_).count();
  }

 private:
  bool on_;
  double& slot_;
  Clock::time_point start_;
};

}  // namespace

// The steps of one run, with access to the session's state.
struct Driver {
  static Result<MaterializeOutcome> run(Ontology& ontology, MaterializerSession& s, bool incremental,
                                        size_t max_axioms, size_t max_entities) {
    const bool perf = perf_enabled();
    const Clock::time_point start = perf ? Clock::now() : Clock::time_point{};
    BridgePerfTimings timings;

    const std::vector<trelvanic_core::AxiomId> added = ontology.dirty().added();
    const bool mismatch = s.warmed_ && !(ontology.revision() == s.last_revision_);
    const bool removals = ontology.dirty().has_removals();
    if (removals) ontology.strip_inferred_axioms();
    const bool full = !incremental || !s.warmed_ || removals || mismatch || ontology.dirty().empty();

    // The thread's cancellation flag is polled during the fixpoint only, and
    // a run stopped by it leaves the session cold, so the next run rebuilds.
    auto reason = [&]() -> Result<void> {
      s.materializer_.set_cancel(trelvanic_core::current_cancel_flag());
      auto reasoned = s.materializer_.reason();
      s.materializer_.set_cancel(nullptr);
      if (reasoned) return {};
      s.warmed_ = false;
      return std::unexpected(Error::materializer(reasoned.error()));
    };
    MaterializeOutcome outcome;
    // The export's entity terms, on a full run (the engine's dictionary is
    // then the export's).
    std::vector<uint32_t> known_terms;
    if (full) {
      trelvanic_materializer::Materializer engine;
      std::vector<Triple> triples;
      ExportSummary summary;
      {
        Phase phase(perf, timings.core_to_triples_s);
        summary = TRELVANIC_BRIDGE_TRY(export_ontology(ontology, engine.dictionary(), triples));
      }
      s.materializer_ = std::move(engine);
      s.outside_rl_ = summary.outside_rl;
      known_terms = std::move(summary.entity_of_term);
      if (auto loaded = s.materializer_.load(triples); !loaded)
        return std::unexpected(Error::materializer(loaded.error()));
      s.warmed_ = true;
      {
        Phase phase(perf, timings.rl_fixpoint_s);
        if (auto reasoned = reason(); !reasoned) return std::unexpected(std::move(reasoned).error());
      }
      outcome.full_rebuild = true;
    } else {
      std::vector<Triple> triples;
      ExportSummary summary;
      {
        Phase phase(perf, timings.core_to_triples_s);
        summary = TRELVANIC_BRIDGE_TRY(export_axioms(ontology, added, s.materializer_.dictionary(), triples));
      }
      if (triples.empty()) {
        ontology.clear_dirty();
        s.last_revision_ = ontology.revision();
        outcome.export_complete = s.outside_rl_ == 0;
        return outcome;
      }
      s.outside_rl_ += summary.outside_rl;
      if (auto loaded = s.materializer_.load(triples); !loaded)
        return std::unexpected(Error::materializer(loaded.error()));
      Phase phase(perf, timings.rl_fixpoint_s);
      if (auto reasoned = reason(); !reasoned) return std::unexpected(std::move(reasoned).error());
    }
    outcome.export_complete = s.outside_rl_ == 0;

    const std::vector<Triple> output = s.materializer_.triples();
    MergeReport report;
    {
      Phase phase(perf, timings.merge_s);
      const std::optional<OntologyLimits> saved = ontology.limits();
      OntologyLimits temporary;
      temporary.max_entities = max_entities;
      temporary.max_axioms = max_axioms;
      ontology.set_limits(temporary);
      const size_t live_before = ontology.axioms().live_count();
      auto merged = merge_triples_into_ontology_inner(ontology, s.materializer_.dictionary(), output,
                                                      s.materializer_.problems(), max_axioms, max_entities,
                                                      live_before, known_terms);
      ontology.set_limits(saved);
      if (!merged) return std::unexpected(merged.error());
      report = std::move(*merged);
    }
    {
      Phase phase(perf, timings.postprocess_s);
      auto post = s.profile_ == Profile::Rdfs ? apply_rdfs_fallbacks(ontology) : apply_materializer_fallbacks(ontology);
      if (!post) return std::unexpected(post.error());
    }
    if (perf) {
      timings.total_s = std::chrono::duration<double>(Clock::now() - start).count();
      const std::string line = timings.to_json() + "\n";
      std::fwrite(line.data(), 1, line.size(), stderr);
    }
    s.last_revision_ = ontology.revision();
    ontology.clear_dirty();
    outcome.clashes = std::move(report.clashes);
    outcome.added_axioms = report.added_axioms;
    return outcome;
  }
};

MaterializeRun materialize_with_session(Ontology& ontology, std::unique_ptr<MaterializerSession> session,
                                        bool incremental, size_t max_axioms, size_t max_entities) {
  if (!session) session = std::make_unique<MaterializerSession>();
  auto outcome = Driver::run(ontology, *session, incremental, max_axioms, max_entities);
  return MaterializeRun{std::move(session), std::move(outcome)};
}

}  // namespace trelvanic_bridge
