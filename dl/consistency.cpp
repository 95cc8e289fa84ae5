#include "dl/consistency.h"

#include <cstdio>
#include <cstdlib>

#include "alc/tableau.h"
#include "bridge/rl_postprocess.h"
#include "core/cancel.h"
#include "core/dl.h"
#include "core/dl_expr.h"
#include "dl/datatype/consistency.h"

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

  auto dl = trelvanic_alc::DlOntology::from_ontology(ontology);
  if (!dl) return std::unexpected(Error::alc(std::move(dl.error())));
  trelvanic_alc::Tableau tableau(*dl);
  auto consistent = tableau.is_consistent();
  if (!consistent) return std::unexpected(Error::alc(std::move(consistent.error())));
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
