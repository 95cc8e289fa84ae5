#include "el/reasoner.h"

#include <algorithm>
#include <span>

#include <fmt/format.h>
#include <fmt/ranges.h>

#include "el/capability.h"
#include "el/engine.h"
#include "el/normal_form.h"
#include "el/ontology_input.h"
#include "el/rule_index.h"
#include "el/taxonomy_extract.h"
#include "el/trace.h"
#include "profile/detect.h"
#include "profile/routing.h"
#include "profile/rules.h"
#include "profile/scanner.h"

namespace trelvanic_el {

using trelvanic_core::EntityId;
using trelvanic_core::InferenceTrace;
using trelvanic_core::Ontology;
using trelvanic_core::Taxonomy;
using trelvanic_core::TraceConclusion;

namespace {

using trelvanic_core::OwlConstruct;

// Constructs OWL 2 EL has no place for at all (its profile allows hasValue,
// self restrictions, one-individual enumerations, keys, chains, reflexive
// and transitive properties, individual (in)equality and assertions).
constexpr OwlConstruct kOutsideOwl2El[] = {
    OwlConstruct::ObjectUnionOf, OwlConstruct::ObjectComplementOf, OwlConstruct::ObjectAllValuesFrom,
    OwlConstruct::ObjectCardinality, OwlConstruct::DisjointUnion, OwlConstruct::DisjointObjectProperties,
    OwlConstruct::InverseObjectProperties, OwlConstruct::SymmetricObjectProperty,
    OwlConstruct::AsymmetricObjectProperty, OwlConstruct::IrreflexiveObjectProperty,
    OwlConstruct::FunctionalObjectProperty, OwlConstruct::InverseFunctionalObjectProperty,
    OwlConstruct::SwrlRule, OwlConstruct::Unknown,
};

// The refusal, naming what was refused: "ontology is not in OWL EL profile
// (detected {}): uses {}" when a refused construct lies outside OWL 2 EL,
// else "EL engine does not reason with {} (detected {})" for what OWL 2 EL
// allows but the engine does not take. `detail` names a refusal the
// construct scan cannot show (a translation or normalisation limit); with
// neither, the plain "ontology is not in OWL EL profile (detected {})". The
// profile error when detection cannot name a profile.
Error not_el(const Ontology& ontology, std::string_view detail = {}) {
  auto report = trelvanic_profile::detect_profile(ontology);
  if (!report) return Error{ErrorKind::Profile, report.error().display()};
  if (!report->profile) {
    return Error{ErrorKind::Profile, trelvanic_profile::Error("no profile detected").display()};
  }
  const std::string_view detected = trelvanic_profile::owl_profile_name(*report->profile);
  const auto refused = trelvanic_profile::construct_set(trelvanic_profile::scan_construct_mask(ontology) &
                                                        ~kEngineConstructs);
  std::vector<std::string> outside, unsupported;
  for (OwlConstruct c : refused) {
    const bool not_el = std::find(std::begin(kOutsideOwl2El), std::end(kOutsideOwl2El), c) != std::end(kOutsideOwl2El);
    (not_el ? outside : unsupported).emplace_back(trelvanic_core::owl_construct_name(c));
  }
  if (trelvanic_profile::holds_negative_assertion(ontology)) unsupported.emplace_back("negative property assertions");
  if (!outside.empty()) {
    return Error{ErrorKind::NotEl, fmt::format("ontology is not in OWL EL profile (detected {}): uses {}", detected,
                                               fmt::join(outside, ", "))};
  }
  if (unsupported.empty() && !detail.empty()) unsupported.emplace_back(detail);
  if (!unsupported.empty()) {
    return Error{ErrorKind::NotEl, fmt::format("EL engine does not reason with {} (detected {})",
                                               fmt::join(unsupported, ", "), detected)};
  }
  return Error{ErrorKind::NotEl, fmt::format("ontology is not in OWL EL profile (detected {})", detected)};
}

constexpr std::string_view kTopObjectProperty = "http://www.w3.org/2002/07/owl#topObjectProperty";
constexpr std::string_view kBottomObjectProperty = "http://www.w3.org/2002/07/owl#bottomObjectProperty";

Error cancelled() { return Error{ErrorKind::Message, "classification cancelled"}; }

struct Saturated {
  OntologyInput input;
  NormalForm nf;
  CompletionGraph graph;
  ElTrace trace;
};

std::expected<Saturated, Error> saturate_ontology(const Ontology& ontology, bool trace) {
  auto input = build_ontology_input(ontology);
  if (!input) return std::unexpected(not_el(ontology, input.error().what));
  auto nf = normalize(input->input);
  if (!nf) return std::unexpected(nf.error());
  if (!nf->incomplete.empty()) return std::unexpected(not_el(ontology));
  Saturated s{std::move(*input), std::move(*nf), {}, {}};
  RuleIndex index(s.nf);
  s.graph = CompletionGraph(s.nf.concept_count);
  if (saturate(s.nf, index, s.graph, roots_of(s.nf), trace ? &s.trace : nullptr).cancelled)
    return std::unexpected(cancelled());
  return s;
}

bool is_inconsistent(const Saturated& s, const ClassTaxonomy& t) {
  if (t.inconsistent) return true;
  return std::any_of(t.unsatisfiable.begin(), t.unsatisfiable.end(),
                     [&](uint32_t i) { return s.input.is_individual_index(i); });
}

Taxonomy to_taxonomy(const Saturated& s, const ClassTaxonomy& t) {
  const OntologyInput& in = s.input;
  std::vector<trelvanic_core::SubsumptionEdge> edges;
  std::vector<std::vector<EntityId>> clusters;
  std::vector<EntityId> unsatisfiable;
  auto entity = [&](uint32_t i) { return in.entity_of_index[i]; };
  if (is_inconsistent(s, t)) {
    // Every class is unsatisfiable in an ontology without a model.
    for (uint32_t i = 0; i < in.class_count; ++i) unsatisfiable.push_back(entity(i));
    if (in.thing) unsatisfiable.push_back(*in.thing);
    if (in.nothing) unsatisfiable.push_back(*in.nothing);
    std::sort(unsatisfiable.begin(), unsatisfiable.end());
    return Taxonomy::from_parts({}, {}, std::move(unsatisfiable));
  }
  // Classes equivalent to owl:Thing. Without an owl:Thing entity to stand
  // for them they are one cluster of their own, and every edge to owl:Thing
  // goes to each of them instead, so no subsumption they carry is lost.
  std::vector<EntityId> top;
  if (in.thing) top.push_back(*in.thing);
  for (uint32_t i : t.thing_equivalents) {
    if (i < in.class_count) top.push_back(entity(i));
  }
  for (auto [sub, sup] : t.edges) {
    if (sub >= in.class_count) continue;
    if (sup == ClassTaxonomy::kThing) {
      for (EntityId e : in.thing ? std::span(top).first(1) : std::span(top)) edges.push_back({entity(sub), e});
    } else if (sup < in.class_count) {
      edges.push_back({entity(sub), entity(sup)});
    }
  }
  for (const auto& c : t.clusters) {
    std::vector<EntityId> members;
    for (uint32_t i : c) {
      if (i < in.class_count) members.push_back(entity(i));
    }
    if (members.size() >= 2) clusters.push_back(std::move(members));
  }
  if (top.size() >= 2) {
    std::sort(top.begin(), top.end());
    clusters.push_back(std::move(top));
  }
  for (uint32_t i : t.unsatisfiable) {
    if (i < in.class_count) unsatisfiable.push_back(entity(i));
  }
  if (in.nothing) unsatisfiable.push_back(*in.nothing);
  std::sort(edges.begin(), edges.end());
  std::sort(unsatisfiable.begin(), unsatisfiable.end());
  return Taxonomy::from_parts(std::move(edges), std::move(clusters), std::move(unsatisfiable));
}

// The engine's trace in entity ids. Steps about fresh internal names (the
// parts of complex expressions) or about DL-store axioms have no entity form
// and are left out.
InferenceTrace to_core_trace(const Saturated& s) {
  InferenceTrace out;
  const OntologyInput& in = s.input;
  auto concept_entity = [&](uint32_t c) -> std::optional<uint32_t> {
    if (c == kTop) return in.thing ? std::optional(in.thing->value) : std::nullopt;
    if (c == kBottom) return in.nothing ? std::optional(in.nothing->value) : std::nullopt;
    if (!s.nf.is_class(c)) return std::nullopt;
    uint32_t index = c - kFirstClass;
    if (index >= in.class_count) return std::nullopt;
    return in.entity_of_index[index].value;
  };
  auto role_entity = [&](uint32_t r) -> std::optional<uint32_t> {
    if (r >= in.entity_of_role.size()) return std::nullopt;
    return in.entity_of_role[r].value;
  };
  auto convert = [&](const TraceFact& f) -> std::optional<TraceConclusion> {
    switch (f.kind) {
      case FactKind::Axiom:
        if (f.a >= in.told_source.size() || !in.told_source[f.a]) return std::nullopt;
        return TraceConclusion::axiom(in.told_source[f.a]->value);
      case FactKind::Subsumption: {
        auto a = concept_entity(f.a), b = concept_entity(f.b);
        if (!a || !b) return std::nullopt;
        return TraceConclusion::sub(*a, *b);
      }
      case FactKind::Existential: {
        auto a = concept_entity(f.a), r = role_entity(f.b), c = concept_entity(f.c);
        if (!a || !r || !c) return std::nullopt;
        return TraceConclusion::existential(*a, *r, *c);
      }
      case FactKind::SubProperty: {
        auto a = role_entity(f.a), b = role_entity(f.b);
        if (!a || !b) return std::nullopt;
        return TraceConclusion::sub_property(*a, *b);
      }
    }
    return std::nullopt;
  };
  std::vector<TraceConclusion> premises;
  for (const auto& step : s.trace.steps()) {
    auto conclusion = convert(step.conclusion);
    if (!conclusion) continue;
    premises.clear();
    for (const TraceFact& p : s.trace.premises(step)) {
      // C ⊑ C holds by itself: no step derives it, so it is no premise.
      if (p.kind == FactKind::Subsumption && p.a == p.b) continue;
      if (auto c = convert(p)) premises.push_back(*c);
    }
    out.push(rule_name(step.rule), premises, *conclusion);
  }
  return out;
}

}  // namespace

std::expected<void, Error> validate_el_profile(const Ontology& ontology) {
  if (trelvanic_profile::el_engine_accepts(ontology)) return {};
  return std::unexpected(not_el(ontology));
}

std::expected<ElReport, Error> ElClassifier::classify_el_tbox(const Ontology& ontology, bool trace) {
  auto s = saturate_ontology(ontology, trace);
  if (!s) return std::unexpected(s.error());
  ClassTaxonomy t = extract_taxonomy(s->nf, s->graph);
  ElReport report{to_taxonomy(*s, t), trace ? to_core_trace(*s) : InferenceTrace{}};
  report.taxonomy.canonicalize_entity_aliases(ontology.iris(), ontology.entities());
  return report;
}

std::expected<ElReport, Error> ElClassifier::classify_with_options(const Ontology& ontology, bool trace) {
  if (auto gate = validate_el_profile(ontology); !gate) return std::unexpected(gate.error());
  return classify_el_tbox(ontology, trace);
}

std::expected<Taxonomy, Error> ElClassifier::classify(const Ontology& ontology) {
  auto report = classify_with_options(ontology, false);
  if (!report) return std::unexpected(report.error());
  return std::move(report->taxonomy);
}

std::expected<std::vector<EntityId>, Error> ElClassifier::instances(const Ontology& ontology, EntityId cls) {
  auto s = ElInstances::build(ontology);
  if (!s) return std::unexpected(s.error());
  return s->instances(cls);
}

struct ElInstances::State {
  OntologyInput input;  // appended to by `update`; the builder reads it
  NormalFormBuilder builder;
  CompletionGraph graph;
  // Entity value to class index, to individual index, to role (kNoIndex
  // where the numbering has none).
  std::vector<uint32_t> class_of, individual_of, role_of;
  // What the ontology looked like when last taken in.
  size_t axiom_records = 0;
  size_t removed = 0;
  size_t entities = 0;
  size_t dl_axioms = 0;

  static constexpr uint32_t kNoIndex = UINT32_MAX;

  void remember(const Ontology& ontology) {
    axiom_records = ontology.axioms().size();
    removed = ontology.axioms().removed_count();
    entities = ontology.entities().size();
    dl_axioms = ontology.dl().axiom_count();
  }
};

ElInstances::ElInstances(std::unique_ptr<State> state) : state_(std::move(state)) {}
ElInstances::ElInstances(ElInstances&&) noexcept = default;
ElInstances& ElInstances::operator=(ElInstances&&) noexcept = default;
ElInstances::~ElInstances() = default;

std::expected<ElInstances, Error> ElInstances::build(const Ontology& ontology) {
  if (auto gate = validate_el_profile(ontology); !gate) return std::unexpected(gate.error());
  auto input = build_ontology_input(ontology);
  if (!input) return std::unexpected(not_el(ontology, input.error().what));
  auto state = std::make_unique<State>();
  State& s = *state;
  s.input = std::move(*input);
  if (auto added = s.builder.add(s.input.input); !added) return std::unexpected(added.error());
  const NormalForm& nf = s.builder.normal_form();
  if (!nf.incomplete.empty()) return std::unexpected(not_el(ontology));
  RuleIndex index(nf);
  s.graph = CompletionGraph(nf.concept_count);
  if (saturate(nf, index, s.graph, roots_of(nf), nullptr).cancelled) return std::unexpected(cancelled());
  const OntologyInput& in = s.input;
  const size_t registry = ontology.entities().size();
  s.class_of.assign(registry, State::kNoIndex);
  s.individual_of.assign(registry, State::kNoIndex);
  s.role_of.assign(registry, State::kNoIndex);
  for (uint32_t i = 0; i < in.entity_of_index.size(); ++i) {
    (in.is_individual_index(i) ? s.individual_of : s.class_of)[in.entity_of_index[i].value] = i;
  }
  for (uint32_t r = 0; r < in.entity_of_role.size(); ++r) {
    // The universal and the empty property have no role of the engine's.
    std::string_view iri = ontology.iris().text(ontology.entities().record(in.entity_of_role[r]).iri);
    if (iri != kTopObjectProperty && iri != kBottomObjectProperty) s.role_of[in.entity_of_role[r].value] = r;
  }
  s.remember(ontology);
  return ElInstances(std::move(state));
}

std::expected<bool, Error> ElInstances::update(const Ontology& ontology) {
  State& s = *state_;
  const auto& store = ontology.axioms();
  if (store.removed_count() != s.removed || ontology.entities().size() != s.entities ||
      ontology.dl().axiom_count() != s.dl_axioms || store.size() < s.axiom_records) {
    return false;
  }
  if (store.size() == s.axiom_records) return true;
  auto index_in = [](const std::vector<uint32_t>& table, EntityId e) {
    return e.value < table.size() ? table[e.value] : State::kNoIndex;
  };
  // Every new axiom is checked before any is taken in.
  struct Assertion {
    uint32_t subject;
    uint32_t role;  // kNoIndex for a class assertion
    uint32_t object;  // a class index, an individual index, or ⊤ / ⊥ below
  };
  constexpr uint32_t kThingObject = State::kNoIndex - 1, kNothingObject = State::kNoIndex - 2;
  std::vector<Assertion> assertions;
  for (size_t i = s.axiom_records; i < store.size(); ++i) {
    const trelvanic_core::AxiomId id(static_cast<uint32_t>(i));
    if (store.is_inferred(id)) return false;
    const trelvanic_core::AxiomView ax = store.view(id);
    if (ax.kind() == trelvanic_core::AxiomKind::ClassAssertion) {
      const EntityId c = ax.class_id();
      uint32_t object = s.input.thing && c == *s.input.thing       ? kThingObject
                        : s.input.nothing && c == *s.input.nothing ? kNothingObject
                                                                   : index_in(s.class_of, c);
      assertions.push_back({index_in(s.individual_of, ax.individual()), State::kNoIndex, object});
      if (object == State::kNoIndex) return false;
    } else if (ax.kind() == trelvanic_core::AxiomKind::ObjectPropertyAssertion) {
      assertions.push_back({index_in(s.individual_of, ax.subject()), index_in(s.role_of, ax.property()),
                            index_in(s.individual_of, ax.object())});
      if (assertions.back().role == State::kNoIndex || assertions.back().object == State::kNoIndex) return false;
    } else {
      return false;
    }
    if (assertions.back().subject == State::kNoIndex) return false;
  }
  ElInput& in = s.input.input;
  for (const Assertion& a : assertions) {
    const ExprId subject = in.named(a.subject);
    if (a.role != State::kNoIndex) {
      in.individual_link(subject, a.role, in.named(a.object));
    } else {
      in.sub_class_of(subject, a.object == kThingObject     ? in.top()
                               : a.object == kNothingObject ? in.bottom()
                                                            : in.named(a.object));
    }
  }
  s.remember(ontology);
  auto added = s.builder.add(in);
  if (!added) return std::unexpected(added.error());
  const NormalForm& nf = s.builder.normal_form();
  if (*added != NormalFormBuilder::Added::Extended || !nf.incomplete.empty()) return false;
  RuleIndex index(nf);
  if (saturate_additions(nf, s.builder.last_mark(), index, s.graph, nullptr).cancelled) {
    return std::unexpected(cancelled());
  }
  return true;
}

std::vector<EntityId> ElInstances::instances(EntityId cls) const {
  const State& s = *state_;
  const OntologyInput& in = s.input;
  const uint32_t total = static_cast<uint32_t>(in.entity_of_index.size());
  // Without a model every individual is an instance of every class.
  bool every = s.graph.unsatisfiable(kTop) || (in.thing && *in.thing == cls);
  for (uint32_t i = in.class_count; i < total && !every; ++i) {
    every = s.graph.unsatisfiable(NormalForm::class_concept(i));
  }
  std::optional<uint32_t> concept_of_cls;
  if (cls.value < s.class_of.size() && s.class_of[cls.value] != State::kNoIndex) {
    concept_of_cls = NormalForm::class_concept(s.class_of[cls.value]);
  }
  std::vector<EntityId> out;
  for (uint32_t i = in.class_count; i < total; ++i) {
    if (every || (concept_of_cls && s.graph.subsumes(NormalForm::class_concept(i), *concept_of_cls))) {
      out.push_back(in.entity_of_index[i]);
    }
  }
  return out;
}

std::expected<bool, Error> ElEngine::is_consistent(const Ontology& ontology) {
  if (auto gate = validate_el_profile(ontology); !gate) return std::unexpected(gate.error());
  if (ontology.parse_meta() && ontology.parse_meta()->degenerate_different_individuals) {
    return false;  // a lenient load dropped DifferentIndividuals(a, a)
  }
  auto s = saturate_ontology(ontology, false);
  if (!s) return std::unexpected(s.error());
  return !is_inconsistent(*s, extract_taxonomy(s->nf, s->graph));
}

void ElSession::clear() {
  last_revision = {};
  record_traces = false;
  last.reset();
}

std::string ElSession::debug_text() const {
  return fmt::format("ElSession {{ last_revision: {}, record_traces: {}, .. }}", last_revision.debug_text(),
                     record_traces);
}

std::unique_ptr<ElSession> take_el_session(trelvanic_core::Reasoner& reasoner) {
  std::unique_ptr<trelvanic_core::ReasonerSession> session = reasoner.take_session();
  if (session && session->as<ElSession>()) {
    return std::unique_ptr<ElSession>(static_cast<ElSession*>(session.release()));
  }
  return nullptr;
}

std::expected<ElReport, Error> classify_routed(trelvanic_core::Reasoner& reasoner) {
  const bool trace = reasoner.trace_enabled();
  if (auto gate = validate_el_profile(reasoner.ontology()); !gate) return std::unexpected(gate.error());
  if (!reasoner.incremental()) {
    auto report = ElClassifier::classify_el_tbox(reasoner.ontology(), trace);
    if (!report) return report;
    reasoner.clear_session();
    return report;
  }
  std::unique_ptr<ElSession> session = take_el_session(reasoner);
  Ontology& ontology = reasoner.ontology_mut();
  const bool unchanged = session && session->last && ontology.dirty().empty() &&
                         session->last_revision == ontology.revision();
  if (unchanged) {
    ElReport report{session->last->taxonomy, {}};
    if (trace && session->record_traces) report.trace = session->last->trace;
    session->record_traces = trace;
    reasoner.set_session(std::move(session));
    return report;
  }
  // Anything changed since the session was stored: classify afresh, with
  // the same alias folding as the non-incremental route.
  auto report = ElClassifier::classify_el_tbox(ontology, trace);
  if (!report) return report;
  ontology.clear_dirty();
  auto fresh = std::make_unique<ElSession>();
  fresh->last_revision = ontology.revision();
  fresh->record_traces = trace;
  fresh->last = ElReport{report->taxonomy, report->trace};
  reasoner.set_session(std::move(fresh));
  return report;
}

}  // namespace trelvanic_el
