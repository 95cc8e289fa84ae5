#include "dl/consistency.h"

#include <cstdio>
#include <cstdlib>

#include "alc/tableau.h"
#include "bridge/rl_postprocess.h"
#include "core/cancel.h"
#include "core/dl.h"
#include "core/dl_expr.h"
#include "dl/abox_checks.h"
#include "dl/abox_facts.h"
#include "dl/assertion_stages.h"
#include "dl/datatype/consistency.h"
#include "dl/datatype/world_values.h"
#include "dl/union_csp.h"

namespace trelvanic_dl {

using trelvanic_core::AxiomKind;
using trelvanic_core::CeKind;
using trelvanic_core::ConsistencyResult;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::EntityId;
using trelvanic_core::Ontology;

namespace {

constexpr ConsistencyResult kReject{false, true};
constexpr ConsistencyResult kAccept{true, true};
constexpr ConsistencyResult kIncomplete{false, false};

constexpr std::string_view kOwlThing = "http://www.w3.org/2002/07/owl#Thing";
constexpr std::string_view kOwlNothing = "http://www.w3.org/2002/07/owl#Nothing";

struct Trace {
  bool on = false;
  void line(std::string_view text) const {
    if (on) std::fprintf(stderr, "is_consistent: %.*s\n", static_cast<int>(text.size()), text.data());
  }
  void reject_at(std::string_view stage) const {
    if (on) std::fprintf(stderr, "is_consistent: reject at %.*s\n", static_cast<int>(stage.size()), stage.data());
  }
};

// The entity of a standard class: "owl:Thing" as written first (the DL
// pipeline's prefixed form), then the full IRI.
std::optional<EntityId> standard_class(const Ontology& ontology, std::string_view prefixed, std::string_view full) {
  if (auto id = ontology.lookup_entity(prefixed)) return id;
  return ontology.lookup_entity(full);
}

// owl:Thing ≡ owl:Nothing stated in either store: no interpretation has an
// empty domain, so the ontology has no model.
bool thing_equivalent_nothing(const Ontology& ontology) {
  auto thing = standard_class(ontology, "owl:Thing", kOwlThing);
  auto nothing = standard_class(ontology, "owl:Nothing", kOwlNothing);
  if (!thing || !nothing) return false;
  const auto& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    if (axiom.kind != DlAxiomKind::EquivalentClasses) continue;
    bool has_thing = false, has_nothing = false;
    for (auto ce : axiom.classes()) {
      if (!dl.has_ce(ce)) continue;
      auto expr = dl.ce(ce);
      if (expr.kind != CeKind::Atomic) continue;
      has_thing |= expr.entity() == *thing;
      has_nothing |= expr.entity() == *nothing;
    }
    if (has_thing && has_nothing) return true;
  }
  bool found = false;
  ontology.axioms().for_each_live([&](trelvanic_core::AxiomId, const trelvanic_core::AxiomView& axiom) {
    if (found || axiom.kind() != AxiomKind::EquivalentClasses) return;
    bool has_thing = false, has_nothing = false;
    for (EntityId e : axiom.operands()) {
      has_thing |= e == *thing;
      has_nothing |= e == *nothing;
    }
    found = has_thing && has_nothing;
  });
  return found;
}

bool has_dl_class_assertion(const Ontology& ontology) {
  const auto& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i)
    if (dl.axiom(i).kind == DlAxiomKind::ClassAssertion) return true;
  return false;
}

// The clash checks over the assertions, in cascade order, with the stage
// word each reports. (Contradicting data values are the datatype stage's.)
using AboxCheck = bool (*)(const Ontology&, const AboxFacts&);
constexpr std::pair<std::string_view, AboxCheck> kAboxStages[] = {
    {"property_characteristic_clash", abox_property_characteristic_clash},
    {"bottom_property_restriction", abox_bottom_property_clash},
    {"max_cardinality_zero", abox_max_cardinality_zero_clash},
    {"max_cardinality_exceeded", abox_max_cardinality_exceeded_clash},
    {"positive_negative_property", abox_positive_negative_property_clash},
    {"property_self_disjoint", abox_property_self_disjoint_clash},
    {"self_disjoint_restriction", abox_self_disjoint_restriction_clash},
    {"complement_typing", abox_complement_typing_clash},
    {"complement_existential_property", abox_complement_existential_property_clash},
    {"min_vs_individual_max_card", abox_min_card_exceeds_individual_max_card_clash},
};

Result<ConsistencyResult> run_cascade(const Ontology& ontology, const Trace& trace) {
  if (trelvanic_core::cancel_requested()) return std::unexpected(Error::incomplete("dl operation cancelled (budget exceeded)"));

  // A lenient load dropped DifferentIndividuals naming one individual twice.
  if (const auto& meta = ontology.parse_meta(); meta && meta->degenerate_different_individuals) {
    trace.reject_at("trivial_abox_inconsistent");
    return kReject;
  }
  if (thing_equivalent_nothing(ontology)) {
    trace.reject_at("thing_equivalent_nothing");
    return kReject;
  }
  if (!datatype::is_datatype_consistent(ontology)) {
    trace.reject_at("datatype");
    return kReject;
  }
  if (trelvanic_bridge::has_bottom_chain_violation(ontology)) {
    trace.reject_at("bottom_chain");
    return kReject;
  }

  const AboxFacts facts = AboxFacts::collect(ontology);
  for (const auto& [stage, check] : kAboxStages) {
    if (check(ontology, facts)) {
      trace.reject_at(stage);
      return kReject;
    }
  }
  if (union_csp::nominal_grid_consistency(ontology) == union_csp::kInconsistent) {
    trace.line("union_csp => false");
    return kReject;
  }

  // The clause form, built from a copy that also holds the intersections
  // the exists/forall stage asks about.
  const auto pairs = exists_forall_candidates(ontology, facts);
  std::optional<Ontology> with_intersections;
  std::vector<trelvanic_core::CeId> intersections;
  if (!pairs.empty()) {
    with_intersections = ontology.clone();
    intersections = intern_intersections(*with_intersections, pairs);
  }
  auto dl = trelvanic_alc::DlOntology::from_ontology(with_intersections ? *with_intersections : ontology);
  if (!dl) return std::unexpected(Error::alc(std::move(dl.error())));
  dl->set_data_oracle(&datatype::decide_world_values);
  trelvanic_alc::Tableau tableau(*dl);

  auto exists_forall = abox_exists_forall_role_clash(tableau, intersections);
  if (!exists_forall) return std::unexpected(std::move(exists_forall.error()));
  if (*exists_forall == 2) return kIncomplete;
  if (*exists_forall != 0) {
    trace.reject_at("exists_forall_role_clash");
    return kReject;
  }

  auto atomic = abox_atomic_class_unsatisfiable(ontology, tableau);
  if (!atomic) return std::unexpected(std::move(atomic.error()));
  if (*atomic) {
    trace.reject_at("abox_atomic_class");
    return kReject;
  }
  if (abox_functional_different_individuals_clash(ontology, facts)) {
    trace.reject_at("functional_different_individuals");
    return kReject;
  }

  // The whole-ontology tableau, asked once: first for a class-assertion-only
  // ABox (accept only), then as the last stage.
  std::optional<trelvanic_alc::Result<bool>> whole;
  auto run_whole = [&]() -> const trelvanic_alc::Result<bool>& {
    if (!whole) whole = tableau.is_consistent();
    return *whole;
  };
  if (has_dl_class_assertion(ontology) && !abox_has_interacting_assertions(ontology)) {
    const auto& kb = run_whole();
    if (!kb) return std::unexpected(Error::alc(kb.error()));
    if (*kb) {
      trace.line("class_assertion_kb empty_seed => true");
      return kAccept;
    }
  }
  auto only = class_assertion_only_consistency(ontology, tableau);
  if (!only) return std::unexpected(std::move(only.error()));
  if (*only == 0) {
    trace.line("class_assertion_only => false");
    return kReject;
  }

  const auto& consistent = run_whole();
  if (!consistent) return std::unexpected(Error::alc(consistent.error()));
  trace.line(*consistent ? "tableau => true" : "tableau => false");
  return *consistent ? kAccept : kReject;
}

}  // namespace

Result<ConsistencyResult> check_consistency_inner(const Ontology& ontology) {
  Trace trace;
  trace.on = std::getenv("TRELVANIC_CONSISTENCY_TRACE") != nullptr;
  auto result = run_cascade(ontology, trace);
  if (result) return result;
  // An undecided stage, a cancellation and an exhausted tableau are the
  // incomplete answer; other errors are the caller's.
  if (result.error().kind() == ErrorKind::Incomplete || result.error().is_budget_exhausted()) return kIncomplete;
  return result;
}

std::optional<std::string> entity_iri(const Ontology& ontology, EntityId id) {
  auto iri = ontology.entity_iri(id);
  if (!iri) return std::nullopt;
  return std::string(*iri);
}

std::optional<std::string> canonical_entity_iri(const Ontology& ontology, EntityId id) {
  auto iri = entity_iri(ontology, id);
  if (!iri) return iri;
  std::string out;
  out.reserve(iri->size());
  for (size_t i = 0; i < iri->size();) {
    if (iri->compare(i, 3, "%23") == 0) {
      out += '#';
      i += 3;
    } else {
      out += (*iri)[i++];
    }
  }
  return out;
}

}  // namespace trelvanic_dl
