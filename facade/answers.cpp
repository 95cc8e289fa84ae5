#include "facade/answers.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "el/engine.h"
#include "el/graph.h"
#include "el/normal_form.h"
#include "el/ontology_input.h"
#include "el/reasoner.h"
#include "el/rule_index.h"
#include "el/taxonomy_extract.h"

namespace trelvanic_facade {

using trelvanic_core::EntityId;
using trelvanic_core::Ontology;
using trelvanic_core::Profile;

namespace {
constexpr uint32_t kUnnumbered = UINT32_MAX;

// The ontology's limits leave room for the fresh names and axioms of the
// probe the engine would decide; where they do not, the probe's own error
// is the answer, so the engine road gives it.
bool probe_fits(const Ontology& ontology, size_t entities, size_t axioms) {
  const auto& limits = ontology.limits();
  constexpr size_t kProbeIriRoom = 64;  // a fresh name's IRI is shorter
  return !limits || (ontology.entity_count() + entities <= limits->max_entities &&
                     ontology.axiom_count() + axioms <= limits->max_axioms && limits->max_iri_len >= kProbeIriRoom);
}
}  // namespace

// A saturated completion graph and the concept of each numbered entity;
// `usable` is false when the gate or the translation refused the ontology.
struct EntailmentAnswers::Saturation {
  bool usable = false;
  bool inconsistent = false;
  std::vector<uint32_t> class_concept;       // by entity id; kUnnumbered when none
  std::vector<uint32_t> individual_concept;  // by entity id; kUnnumbered when none
  trelvanic_el::CompletionGraph graph;

  static uint32_t concept_of(const std::vector<uint32_t>& table, EntityId id) {
    return id.value < table.size() ? table[id.value] : kUnnumbered;
  }

  // c ⊑ a, or nothing when either side has no concept.
  std::optional<bool> holds(uint32_t c, uint32_t a) const {
    if (c == kUnnumbered || a == kUnnumbered) return std::nullopt;
    return inconsistent || graph.subsumes(c, a);
  }
};

struct EntailmentAnswers::State {
  Ontology ontology;  // shares the stores of the ontology the answers are for
  Profile profile;
  std::optional<trelvanic_profile::Route> route;
  std::optional<Saturation> saturation;
  std::optional<Ontology> materialised[2];  // by `Materialised`
};

namespace {

bool same_ontology(const Ontology& kept, const Ontology& asked) {
  return kept.shares_stores_with(asked) && kept.shares_dl_with(asked) && kept.revision() == asked.revision() &&
         kept.swrl_rules().size() == asked.swrl_rules().size();
}

}  // namespace

EntailmentAnswers::EntailmentAnswers() = default;
EntailmentAnswers::~EntailmentAnswers() = default;
EntailmentAnswers::EntailmentAnswers(EntailmentAnswers&&) noexcept = default;
EntailmentAnswers& EntailmentAnswers::operator=(EntailmentAnswers&&) noexcept = default;

void EntailmentAnswers::clear() { state_.reset(); }

bool EntailmentAnswers::holds_for(Profile profile, const Ontology& ontology) const {
  return state_ && state_->profile == profile && same_ontology(state_->ontology, ontology);
}

EntailmentAnswers::State& EntailmentAnswers::state_for(Profile profile, const Ontology& ontology) {
  if (!holds_for(profile, ontology)) state_ = std::make_unique<State>(State{ontology.clone(), profile, {}, {}, {}});
  return *state_;
}

Error EntailmentAnswers::engine_needed() {
  needed_engine_ = true;
  return Error::el_message("answer needs an engine run");
}

Result<trelvanic_profile::Route> EntailmentAnswers::route(Profile profile, const Ontology& ontology) {
  if (read_only_ && !holds_for(profile, ontology)) return std::unexpected(engine_needed());
  State& state = state_for(profile, ontology);
  if (state.route) return *state.route;
  if (read_only_) return std::unexpected(engine_needed());
  auto route = trelvanic_profile::resolve_route(profile, ontology);
  if (!route) return std::unexpected(Error::el_profile(route.error()));
  state.route = *route;
  return *route;
}

const EntailmentAnswers::Saturation* EntailmentAnswers::saturation_for(Profile profile, const Ontology& ontology) {
  if (read_only_ && !holds_for(profile, ontology)) return nullptr;
  State& state = state_for(profile, ontology);
  if (!state.saturation && !read_only_) state.saturation = saturate(ontology);
  if (!state.saturation || !state.saturation->usable) return nullptr;
  return &*state.saturation;
}

Result<const Ontology*> EntailmentAnswers::materialised(Materialised which, Profile profile, const Ontology& ontology,
                                                        Close close) {
  if (read_only_ && !holds_for(profile, ontology)) return std::unexpected(engine_needed());
  std::optional<Ontology>& kept = state_for(profile, ontology).materialised[static_cast<size_t>(which)];
  if (!kept) {
    if (read_only_) return std::unexpected(engine_needed());
    auto made = close(ontology);
    if (!made) return std::unexpected(std::move(made.error()));
    kept = std::move(*made);
  }
  return &*kept;
}

std::optional<bool> EntailmentAnswers::subsumed(Profile profile, const Ontology& ontology, EntityId sub,
                                                EntityId sup) {
  // The probe: a fresh individual and class, three axioms.
  if (!probe_fits(ontology, 2, 3)) return std::nullopt;
  const Saturation* s = saturation_for(profile, ontology);
  if (!s) return std::nullopt;
  return s->holds(Saturation::concept_of(s->class_concept, sub), Saturation::concept_of(s->class_concept, sup));
}

std::optional<bool> EntailmentAnswers::instance_of(Profile profile, const Ontology& ontology, EntityId individual,
                                                   EntityId cls) {
  // The probe: a fresh class, two axioms.
  if (!probe_fits(ontology, 1, 2)) return std::nullopt;
  const Saturation* s = saturation_for(profile, ontology);
  if (!s) return std::nullopt;
  return s->holds(Saturation::concept_of(s->individual_concept, individual),
                  Saturation::concept_of(s->class_concept, cls));
}

// Saturates the ontology as the EL engine's consistency check does; nullopt
// when the run was cancelled (nothing is kept then).
std::optional<EntailmentAnswers::Saturation> EntailmentAnswers::saturate(const Ontology& ontology) {
  using namespace trelvanic_el;
  EntailmentAnswers::Saturation out;
  if (!validate_el_profile(ontology)) return out;
  auto input = build_ontology_input(ontology);
  if (!input) return out;
  auto nf = normalize(input->input);
  if (!nf || !nf->incomplete.empty()) return out;
  RuleIndex index(*nf);
  out.graph = CompletionGraph(nf->concept_count);
  if (trelvanic_el::saturate(*nf, index, out.graph, roots_of(*nf), nullptr).cancelled) return std::nullopt;
  const ClassTaxonomy taxonomy = extract_taxonomy(*nf, out.graph);
  const uint32_t classes = input->class_count;
  // The engine's verdict: owl:Thing unsatisfiable or an individual forced
  // into ⊥. A lenient load that dropped DifferentIndividuals(a, a) reads
  // as inconsistent too.
  out.inconsistent = taxonomy.inconsistent ||
                     std::any_of(taxonomy.unsatisfiable.begin(), taxonomy.unsatisfiable.end(),
                                 [&](uint32_t i) { return i >= classes; }) ||
                     (ontology.parse_meta() && ontology.parse_meta()->degenerate_different_individuals);
  const size_t entities = ontology.entity_count();
  out.class_concept.assign(entities, kUnnumbered);
  out.individual_concept.assign(entities, kUnnumbered);
  for (uint32_t i = 0; i < input->entity_of_index.size(); ++i) {
    auto& table = i < classes ? out.class_concept : out.individual_concept;
    const EntityId e = input->entity_of_index[i];
    if (e.value < entities) table[e.value] = NormalForm::class_concept(i);
  }
  if (input->thing && input->thing->value < entities) out.class_concept[input->thing->value] = kTop;
  if (input->nothing && input->nothing->value < entities) out.class_concept[input->nothing->value] = kBottom;
  out.usable = true;
  return out;
}

}  // namespace trelvanic_facade
