#include "dl/classify.h"

#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>
#include <fmt/format.h>

#include "alc/tableau.h"
#include "core/cancel.h"
#include "core/dl.h"
#include "core/dl_expr.h"
#include "dl/bounded.h"
#include "dl/datatype/world_values.h"
#include "dl/saturation.h"
#include "el/reasoner.h"
#include "profile/detect.h"
#include "profile/routing.h"
#include "profile/rules.h"
#include "profile/scanner.h"

namespace trelvanic_dl {

using trelvanic_core::CeId;
using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_core::Ontology;
using trelvanic_core::Taxonomy;

namespace {

constexpr std::string_view kOwlThing = "http://www.w3.org/2002/07/owl#Thing";
constexpr std::string_view kOwlNothing = "http://www.w3.org/2002/07/owl#Nothing";
constexpr size_t kTableauThreadStack = 32u << 20;
constexpr size_t kInlineClassLimit = 12;

using Clock = std::chrono::steady_clock;

struct Timings {
  bool on = false;
  Clock::time_point start;
  double detect_profile_s = 0, scan_constructs_s = 0, clausify_s = 0, saturation_s = 0, tableau_s = 0, el_classify_s = 0,
         taxonomy_post_s = 0;

  template <class F>
  auto timed(double& field, F&& f) {
    if (!on) return f();
    auto t0 = Clock::now();
    auto r = f();
    field = std::chrono::duration<double>(Clock::now() - t0).count();
    return r;
  }
  void print() const {
    if (!on) return;
    const double total = std::chrono::duration<double>(Clock::now() - start).count();
    std::fprintf(stderr,
                 "{\"detect_profile_s\":%g,\"scan_constructs_s\":%g,\"clausify_s\":%g,\"saturation_s\":%g,"
                 "\"tableau_s\":%g,\"cardinality_derive_s\":0,\"el_classify_s\":%g,\"defined_class_s\":0,"
                 "\"taxonomy_post_s\":%g,\"total_s\":%g}\n",
                 detect_profile_s, scan_constructs_s, clausify_s, saturation_s, tableau_s, el_classify_s, taxonomy_post_s, total);
  }
};

// What the tableau proved about the named classes.
struct Verdicts {
  trelvanic_alc::Tableau::Classification classes;
  std::vector<EntityId> thing_equivalents;  // classes every element belongs to
};

// The classes whose complement is unsatisfiable (equivalent to owl:Thing).
// Only a class above every satisfiable class can be one, so only those are
// tested, each on the complement interned beforehand.
trelvanic_alc::Result<std::vector<EntityId>> thing_equivalents(
    trelvanic_alc::Tableau& tableau, const trelvanic_alc::Tableau::Classification& c,
    const std::vector<EntityId>& names, const absl::flat_hash_map<EntityId, CeId>& complement) {
  absl::flat_hash_set<EntityId> unsat(c.unsatisfiable.begin(), c.unsatisfiable.end());
  absl::flat_hash_map<EntityId, size_t> below;  // how many satisfiable classes each class is above
  for (const auto& [sub, sup] : c.subsumptions) ++below[sup];
  const size_t satisfiable = names.size() - unsat.size();
  std::vector<EntityId> out;
  for (EntityId a : names) {
    if (unsat.contains(a) || below[a] + 1 < satisfiable) continue;
    auto it = complement.find(a);
    if (it == complement.end()) continue;
    auto sat = tableau.is_class_expression_satisfiable(it->second);
    if (!sat) return std::unexpected(sat.error());
    if (!*sat) out.push_back(a);
  }
  return out;
}

using Pairs = std::vector<std::pair<EntityId, EntityId>>;

trelvanic_alc::Result<Verdicts> run_tableau(trelvanic_alc::DlOntology& dl,
                                            const absl::flat_hash_map<EntityId, CeId>& complement,
                                            const Pairs& known) {
  trelvanic_alc::Tableau tableau(dl);
  tableau.set_known_subsumptions(known);
  auto classes = tableau.classify();
  if (!classes) return std::unexpected(classes.error());
  Verdicts out{std::move(*classes), {}};
  if (out.classes.consistent) {
    auto top = thing_equivalents(tableau, out.classes, dl.named_classes(), complement);
    if (!top) return std::unexpected(top.error());
    out.thing_equivalents = std::move(*top);
  }
  return out;
}

// Runs the tableau on a thread of its own with a large stack, which inherits
// the caller's cancellation flag.
struct ThreadJob {
  trelvanic_alc::DlOntology* dl;
  const absl::flat_hash_map<EntityId, CeId>* complement;
  const Pairs* known;
  trelvanic_core::CancelFlag cancel;
  std::optional<trelvanic_alc::Result<Verdicts>> result;
  std::string failure;
};

void* thread_main(void* arg) {
  auto* job = static_cast<ThreadJob*>(arg);
  trelvanic_core::set_current_cancel(job->cancel);
  try {
    job->result.emplace(run_tableau(*job->dl, *job->complement, *job->known));
  } catch (const std::exception& e) {
    job->failure = e.what();
  } catch (...) {
    job->failure = "unknown exception";
  }
  trelvanic_core::set_current_cancel(nullptr);
  return nullptr;
}

Result<Verdicts> run_tableau_classify(trelvanic_alc::DlOntology& dl,
                                      const absl::flat_hash_map<EntityId, CeId>& complement, const Pairs& known) {
  auto wrap = [](trelvanic_alc::Result<Verdicts> r) -> Result<Verdicts> {
    if (!r) return std::unexpected(Error::alc(std::move(r.error())));
    return std::move(*r);
  };
  if (dl.named_classes().size() <= kInlineClassLimit) return wrap(run_tableau(dl, complement, known));
  ThreadJob job{&dl, &complement, &known, trelvanic_core::current_cancel(), std::nullopt, {}};
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, kTableauThreadStack);
  pthread_t thread;
  const int rc = pthread_create(&thread, &attr, thread_main, &job);
  pthread_attr_destroy(&attr);
  if (rc != 0) return std::unexpected(Error::alc(trelvanic_alc::Error::message_text(std::strerror(rc))));
  pthread_join(thread, nullptr);
  if (!job.result) {
    return std::unexpected(
        Error::alc(trelvanic_alc::Error::message_text("tableau classification thread panicked: " + job.failure)));
  }
  // GCC 12 cannot see that the engaged result's move is initialised.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
  return wrap(std::move(*job.result));
#pragma GCC diagnostic pop
}

// Edges between the satisfiable classes (every proven pair; equivalent
// classes also as clusters), classes without a named superclass under
// owl:Thing, and the classes equivalent to owl:Thing in its cluster.
Taxonomy to_taxonomy(const Ontology& ontology, const std::vector<EntityId>& names, const Verdicts& v) {
  auto thing = ontology.lookup_entity(kOwlThing);
  auto nothing = ontology.lookup_entity(kOwlNothing);
  std::vector<EntityId> unsat;
  if (!v.classes.consistent) {
    // Without a model every class is empty.
    unsat = names;
    if (thing) unsat.push_back(*thing);
  } else {
    unsat = v.classes.unsatisfiable;
  }
  if (nothing) unsat.push_back(*nothing);
  std::sort(unsat.begin(), unsat.end());
  unsat.erase(std::unique(unsat.begin(), unsat.end()), unsat.end());
  if (!v.classes.consistent) return Taxonomy::from_parts({}, {}, std::move(unsat));

  absl::flat_hash_set<EntityId> top(v.thing_equivalents.begin(), v.thing_equivalents.end());
  absl::flat_hash_set<std::pair<EntityId, EntityId>> pairs;
  std::vector<trelvanic_core::SubsumptionEdge> edges;
  absl::flat_hash_set<EntityId> has_super;
  for (const auto& [a, b] : v.classes.subsumptions) {
    if (top.contains(a) || top.contains(b)) continue;
    pairs.insert({a, b});
    edges.push_back({a, b});
    has_super.insert(a);
  }
  // Clusters: classes that subsume each other, grouped by union-find.
  absl::flat_hash_map<EntityId, EntityId> parent;
  auto find = [&](EntityId x) {
    while (parent[x] != x) x = parent[x];
    return x;
  };
  for (const auto& [a, b] : pairs) {
    if (!(a < b) || !pairs.contains({b, a})) continue;
    parent.try_emplace(a, a);
    parent.try_emplace(b, b);
    EntityId ra = find(a), rb = find(b);
    if (ra != rb) parent[std::max(ra, rb)] = std::min(ra, rb);
  }
  absl::flat_hash_map<EntityId, std::vector<EntityId>> groups;
  for (const auto& [x, _] : parent) groups[find(x)].push_back(x);
  std::vector<std::vector<EntityId>> clusters;
  for (auto& [_, members] : groups) {
    std::sort(members.begin(), members.end());
    clusters.push_back(std::move(members));
  }
  if (thing) {
    absl::flat_hash_set<EntityId> unsat_set(unsat.begin(), unsat.end());
    for (EntityId a : names) {
      if (!unsat_set.contains(a) && !top.contains(a) && !has_super.contains(a)) edges.push_back({a, *thing});
    }
    if (!top.empty()) {
      std::vector<EntityId> members(top.begin(), top.end());
      members.push_back(*thing);
      std::sort(members.begin(), members.end());
      clusters.push_back(std::move(members));
    }
  }
  std::sort(clusters.begin(), clusters.end());
  Taxonomy t = Taxonomy::from_parts(std::move(edges), std::move(clusters), std::move(unsat));
  t.canonicalize_entity_aliases(ontology.iris(), ontology.entities());
  t.reduce_transitive_redundancy();
  return t;
}

}  // namespace

Result<Taxonomy> DlClassifier::classify(const Ontology& ontology) const {
  Timings timings;
  timings.on = bounded::env_flag("TRELVANIC_DL_PERF");
  if (timings.on) timings.start = Clock::now();

  auto report = timings.timed(timings.detect_profile_s, [&] { return trelvanic_profile::detect_profile(ontology); });
  if (!report) return std::unexpected(Error::profile(report.error().display()));
  auto constructs =
      timings.timed(timings.scan_constructs_s, [&] { return trelvanic_profile::scan_constructs(ontology); });
  if (preview) {
    auto refused = trelvanic_profile::rules::el::el_classification_forbidden_in(constructs);
    if (!refused.empty()) {
      std::string list;
      for (auto c : refused) {
        if (!list.empty()) list += ", ";
        list += trelvanic_core::owl_construct_name(c);
      }
      return std::unexpected(Error::dl_preview(fmt::format("DL preview does not support: [{}]", list)));
    }
  }

  // An ontology the EL engine decides whole (every construct it holds is one
  // the EL saturation is sound and complete for) gets that engine's
  // taxonomy: the same answer the tableau would give, without a test per
  // class.
  if (trelvanic_profile::el_engine_accepts(ontology)) {
    auto el = timings.timed(timings.el_classify_s, [&] { return trelvanic_el::ElClassifier::classify(ontology); });
    if (!el) return std::unexpected(Error::el(el.error().text()));
    timings.print();
    return std::move(*el);
  }

  // The complements of the named classes are interned before the clause
  // form is built, so the tableau can test them.
  Ontology work = ontology.clone();
  absl::flat_hash_map<EntityId, CeId> complement;
  {
    trelvanic_core::DlStore& dl = work.dl_mut();
    const auto records = work.entities().records();
    for (uint32_t i = 0; i < records.size(); ++i) {
      const EntityKind k = records[i].kind;
      if (k != EntityKind::Class && k != EntityKind::ClassIndividual && k != EntityKind::ClassObjectProperty) continue;
      const CeId atom = dl.intern_ce(trelvanic_core::ClassExpr::atomic(EntityId(i)));
      complement.emplace(EntityId(i), dl.intern_ce(trelvanic_core::ClassExpr::complement_of(atom)));
    }
  }
  auto dl = timings.timed(timings.clausify_s, [&] { return trelvanic_alc::DlOntology::from_ontology(work); });
  if (!dl) return std::unexpected(Error::alc(std::move(dl.error())));
  dl->set_data_oracle(&datatype::decide_world_values);
  // Subsumptions the saturation proves need no tableau test.
  auto seed = timings.timed(timings.saturation_s, [&] { return saturation::saturate(work); });
  auto verdicts =
      timings.timed(timings.tableau_s, [&] { return run_tableau_classify(*dl, complement, seed.subsumptions); });
  if (!verdicts) return std::unexpected(std::move(verdicts.error()));
  auto taxonomy = timings.timed(timings.taxonomy_post_s,
                                [&] { return to_taxonomy(ontology, dl->named_classes(), *verdicts); });
  timings.print();
  return taxonomy;
}

}  // namespace trelvanic_dl
