#include "facade/entailment.h"

#include <algorithm>
#include <type_traits>
#include <vector>

#include "core/axiom.h"
#include "core/dl.h"
#include "core/dl_expr.h"
#include "el/reasoner.h"
#include "facade/classify.h"
#include "facade/lookup.h"
#include "profile/routing.h"

namespace trelvanic_facade {

using trelvanic_core::Axiom;
using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_core::Ontology;
using trelvanic_core::Profile;
using trelvanic_core::Reasoner;
using trelvanic_core::Taxonomy;
using trelvanic_profile::Route;
using trelvanic_profile::RouteEngine;

namespace {

constexpr std::string_view kOwlThing = "http://www.w3.org/2002/07/owl#Thing";
constexpr std::string_view kOwlNothing = "http://www.w3.org/2002/07/owl#Nothing";
// Prefix of the fresh names a probe registers in its clone; a number is
// appended until the name is free.
constexpr std::string_view kProbePrefix = "urn:trelvanic:entailment-probe:";

Error usage(const char* text) { return Error::core(trelvanic_core::Error::message_text(text)); }

Error rl_missing() { return Error::engine_not_available(ErrorVariant::Rl, "RL"); }
Error rdfs_missing() { return Error::engine_not_available(ErrorVariant::Rl, "RDFS"); }
Error dl_missing() { return Error::engine_not_available(ErrorVariant::Dl, "DL"); }

// The IRI text names `iri`, with "%23" read as "#" as the lookups do.
bool text_names(std::string_view text, std::string_view iri) {
  std::string decoded(text);
  for (size_t at = decoded.find("%23"); at != std::string::npos; at = decoded.find("%23", at + 1)) {
    decoded.replace(at, 3, "#");
  }
  return decoded == iri;
}

bool is_class_kind(const Ontology& ontology, EntityId id) {
  auto record = ontology.entity(id);
  if (!record) return false;
  return record->kind == EntityKind::Class || record->kind == EntityKind::ClassIndividual ||
         record->kind == EntityKind::ClassObjectProperty;
}

Result<EntityId> fresh_entity(Ontology& probe, EntityKind kind) {
  for (uint64_t n = 0;; ++n) {
    std::string iri = std::string(kProbePrefix) + std::to_string(n);
    if (probe.lookup_entity(iri)) continue;
    auto id = probe.entity_id(iri, kind);
    if (!id) return std::unexpected(Error::core(std::move(id.error())));
    return *id;
  }
}

Result<void> add(Ontology& probe, Axiom axiom) {
  auto added = probe.add_axiom(std::move(axiom));
  if (!added) return std::unexpected(Error::core(std::move(added.error())));
  return {};
}

// True when the EL engine finds the probe without a model.
Result<bool> el_unsatisfiable(const Ontology& probe) {
  auto consistent = trelvanic_el::ElEngine::is_consistent(probe);
  if (!consistent) return std::unexpected(Error::el(std::move(consistent.error())));
  return !*consistent;
}

// The class an entity stands for: itself when it has a class kind; else
// its class reading is a class no axiom mentions, which a fresh class
// stands for (registering the entity as a class could fail on its kind).
Result<EntityId> class_reading(Ontology& probe, EntityId id) {
  if (is_class_kind(probe, id)) return id;
  return fresh_entity(probe, EntityKind::Class);
}

// sub ⊑ sup exactly when the ontology with sub(x), F(x) and
// DisjointClasses(sup, F), for a fresh individual x and a fresh class F,
// has no model: a model of the ontology with an element of sub outside
// sup extends to one of the probe by x and F naming that element.
Result<bool> el_entails_subsumption(const Ontology& ontology, EntityId sub, EntityId sup) {
  Ontology probe = ontology.clone();
  auto a = class_reading(probe, sub);
  if (!a) return std::unexpected(std::move(a.error()));
  auto b = class_reading(probe, sup);
  if (!b) return std::unexpected(std::move(b.error()));
  auto x = fresh_entity(probe, EntityKind::Individual);
  if (!x) return std::unexpected(std::move(x.error()));
  auto f = fresh_entity(probe, EntityKind::Class);
  if (!f) return std::unexpected(std::move(f.error()));
  for (Axiom axiom : {Axiom::class_assertion(*x, *a), Axiom::class_assertion(*x, *f),
                      Axiom::disjoint_classes({*b, *f})}) {
    if (auto r = add(probe, std::move(axiom)); !r) return std::unexpected(std::move(r.error()));
  }
  return el_unsatisfiable(probe);
}

// p(s, o) exactly when the ontology with S(s), O(o) and
// DisjointClasses(S, ∃p.O), for fresh classes S and O, has no model: a
// model without the pair extends to one of the probe by S = {s}, O = {o}.
Result<bool> el_entails_property_assertion(const Ontology& ontology, EntityId subject, EntityId property,
                                           EntityId object) {
  Ontology probe = ontology.clone();
  auto s = fresh_entity(probe, EntityKind::Class);
  if (!s) return std::unexpected(std::move(s.error()));
  auto o = fresh_entity(probe, EntityKind::Class);
  if (!o) return std::unexpected(std::move(o.error()));
  for (Axiom axiom : {Axiom::class_assertion(subject, *s), Axiom::class_assertion(object, *o)}) {
    if (auto r = add(probe, std::move(axiom)); !r) return std::unexpected(std::move(r.error()));
  }
  using trelvanic_core::ClassExpr;
  trelvanic_core::DlStore& dl = probe.dl_mut();
  const trelvanic_core::CeId s_ce = dl.intern_ce(ClassExpr::atomic(*s));
  const trelvanic_core::CeId o_ce = dl.intern_ce(ClassExpr::atomic(*o));
  const trelvanic_core::CeId some = dl.intern_ce(ClassExpr::some(trelvanic_core::RoleExpr::atomic(property), o_ce));
  dl.push_axiom(trelvanic_core::DlAxiom::disjoint_classes({s_ce, some}));
  return el_unsatisfiable(probe);
}

// The reasoner's taxonomy: the cached one while it is valid, else a fresh
// facade classification (which caches a taxonomy outcome).
Result<Taxonomy> taxonomy_of(Reasoner& reasoner, const char* no_taxonomy) {
  if (const Taxonomy* cached = reasoner.cached_taxonomy()) return *cached;
  auto outcome = classify(reasoner);
  if (!outcome) return std::unexpected(std::move(outcome.error()));
  if (auto* taxonomy = std::get_if<Taxonomy>(&*outcome)) return std::move(*taxonomy);
  return std::unexpected(Error::el_message(no_taxonomy));
}

// A taxonomy's "yes": reachable over its edges, an unsatisfiable `sub`, or
// a `sup` that owl:Thing reaches (equivalent to it).
bool taxonomy_says_subsumed(const Ontology& ontology, const Taxonomy& taxonomy, EntityId sub, EntityId sup) {
  if (taxonomy.is_subsumed(sub, sup)) return true;
  auto unsat = taxonomy.unsatisfiable();
  if (std::find(unsat.begin(), unsat.end(), sub) != unsat.end()) return true;
  auto thing = ontology.lookup_entity(kOwlThing);
  return thing && taxonomy.is_subsumed(*thing, sup);
}

Result<Route> route_of(const Reasoner& reasoner) {
  auto route = trelvanic_profile::resolve_route(reasoner.profile(), reasoner.ontology());
  if (!route) return std::unexpected(Error::el_profile(route.error()));
  return *route;
}

// The DL store states a class assertion of `individual` whose class is not
// a named class (ids past the arena passed over).
bool has_complex_assertion_of(const Ontology& ontology, EntityId individual) {
  const auto& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    if (axiom.kind != trelvanic_core::DlAxiomKind::ClassAssertion || axiom.individual() != individual) continue;
    if (dl.has_ce(axiom.class_expr()) && dl.ce(axiom.class_expr()).kind != trelvanic_core::CeKind::Atomic) {
      return true;
    }
  }
  return false;
}

Result<bool> class_assertion_entailed(Reasoner& reasoner, const ClassAssertionCheck& check) {
  auto individual = lookup_individual(reasoner.ontology(), check.individual);
  if (!individual) return std::unexpected(std::move(individual.error()));
  // Every individual is an instance of owl:Thing, registered or not.
  if (text_names(check.cls, kOwlThing)) return true;
  auto cls = lookup_class(reasoner.ontology(), check.cls);
  if (!cls) return std::unexpected(std::move(cls.error()));
  auto route = route_of(reasoner);
  if (!route) return std::unexpected(std::move(route.error()));
  switch (route->engine) {
    case RouteEngine::Alc:
    case RouteEngine::Dl:
    case RouteEngine::Swrl:
    case RouteEngine::Hybrid:
      return std::unexpected(dl_missing());
    case RouteEngine::El:
    case RouteEngine::Rdfs:
    case RouteEngine::Rl:
      break;
  }
  if (reasoner.profile() == Profile::Rdfs) return std::unexpected(rdfs_missing());
  if (reasoner.profile() == Profile::Rl) return std::unexpected(rl_missing());
  if (route->engine != RouteEngine::El) {
    // An RL ontology under `Auto`: classification gives a materialisation
    // report, which cannot answer a class assertion.
    auto outcome = classify(reasoner);
    if (!outcome) return std::unexpected(std::move(outcome.error()));
    return std::unexpected(Error::el_message("profile did not produce a taxonomy for ClassAssertion entailment"));
  }
  if (has_complex_assertion_of(reasoner.ontology(), *individual)) return std::unexpected(dl_missing());
  return el_entails_class_assertion(reasoner.ontology(), *individual, *cls);
}

Result<bool> property_assertion_entailed(Reasoner& reasoner, const ObjectPropertyAssertionCheck& check) {
  const Ontology& ontology = reasoner.ontology();
  auto subject = lookup_individual(ontology, check.subject);
  if (!subject) return std::unexpected(std::move(subject.error()));
  auto property = lookup_object_property(ontology, check.property);
  if (!property) return std::unexpected(std::move(property.error()));
  auto object = lookup_individual(ontology, check.object);
  if (!object) return std::unexpected(std::move(object.error()));
  for (const auto& [p, o] : ontology.object_assertions_of(*subject)) {
    if (p == *property && o == *object) return true;  // stated
  }
  auto route = route_of(reasoner);
  if (!route) return std::unexpected(std::move(route.error()));
  switch (route->engine) {
    case RouteEngine::El:
      return el_entails_property_assertion(ontology, *subject, *property, *object);
    case RouteEngine::Rdfs:
    case RouteEngine::Rl:
      return std::unexpected(reasoner.profile() == Profile::Rdfs ? rdfs_missing() : rl_missing());
    case RouteEngine::Alc:
    case RouteEngine::Dl:
    case RouteEngine::Swrl:
    case RouteEngine::Hybrid:
      return std::unexpected(dl_missing());
  }
  return std::unexpected(Error::el_message("unknown route engine"));
}

}  // namespace

Result<EntailmentCheck> parse_entailment_check(std::optional<std::string> sub, std::optional<std::string> sup,
                                               std::optional<std::string> individual,
                                               std::optional<std::string> cls,
                                               std::optional<std::string> subject,
                                               std::optional<std::string> property,
                                               std::optional<std::string> object) {
  const bool subclass = sub || sup;
  const bool assertion = individual || cls;
  const bool role = subject || property || object;
  if (int(subclass) + int(assertion) + int(role) != 1) return std::unexpected(usage(kEntailUsage));
  if (subclass) {
    if (!sub) return std::unexpected(usage("--sub required"));
    if (!sup) return std::unexpected(usage("--sup required"));
    return SubClassOfCheck{std::move(*sub), std::move(*sup)};
  }
  if (assertion) {
    if (!individual) return std::unexpected(usage("--individual required"));
    if (!cls) return std::unexpected(usage("--class required"));
    return ClassAssertionCheck{std::move(*individual), std::move(*cls)};
  }
  if (!subject) return std::unexpected(usage("--subject required"));
  if (!property) return std::unexpected(usage("--property required"));
  if (!object) return std::unexpected(usage("--object required"));
  return ObjectPropertyAssertionCheck{std::move(*subject), std::move(*property), std::move(*object)};
}

Result<bool> el_entails_class_assertion(const Ontology& ontology, EntityId individual, EntityId cls) {
  Ontology probe = ontology.clone();
  auto f = fresh_entity(probe, EntityKind::Class);
  if (!f) return std::unexpected(std::move(f.error()));
  for (Axiom axiom : {Axiom::class_assertion(individual, *f), Axiom::disjoint_classes({cls, *f})}) {
    if (auto r = add(probe, std::move(axiom)); !r) return std::unexpected(std::move(r.error()));
  }
  return el_unsatisfiable(probe);
}

Result<bool> is_subsumption_entailed(Reasoner& reasoner, std::string_view sub_iri, std::string_view sup_iri) {
  reasoner.invalidate_stale_classify_cache();
  const Ontology& ontology = reasoner.ontology();
  // owl:Thing above and owl:Nothing below anything hold in every
  // interpretation, whatever the route and whether or not they are
  // registered; the other side must still name an entity.
  auto sub = ontology.lookup_entity(sub_iri);
  if (!sub && !text_names(sub_iri, kOwlNothing)) {
    return std::unexpected(Error::el_message("unknown class IRI: " + std::string(sub_iri)));
  }
  auto sup = ontology.lookup_entity(sup_iri);
  if (!sup && !text_names(sup_iri, kOwlThing)) {
    return std::unexpected(Error::el_message("unknown class IRI: " + std::string(sup_iri)));
  }
  if (text_names(sup_iri, kOwlThing) || text_names(sub_iri, kOwlNothing) || *sub == *sup) return true;
  auto route = route_of(reasoner);
  if (!route) return std::unexpected(std::move(route.error()));
  switch (route->engine) {
    case RouteEngine::Rdfs:
      return std::unexpected(rdfs_missing());
    case RouteEngine::Rl:
      return std::unexpected(rl_missing());
    case RouteEngine::El: {
      // A taxonomy's "yes" is final; its "no" says nothing about entities
      // outside the classified classes or about an ontology without a
      // model, so the engine decides those.
      const Taxonomy* cached = reasoner.cached_taxonomy();
      if (cached && taxonomy_says_subsumed(ontology, *cached, *sub, *sup)) return true;
      return el_entails_subsumption(ontology, *sub, *sup);
    }
    case RouteEngine::Alc:
    case RouteEngine::Dl:
    case RouteEngine::Swrl:
    case RouteEngine::Hybrid:
      break;
  }
  auto taxonomy = taxonomy_of(reasoner, "profile did not produce a taxonomy");
  if (!taxonomy) return std::unexpected(std::move(taxonomy.error()));
  return taxonomy_says_subsumed(reasoner.ontology(), *taxonomy, *sub, *sup);
}

Result<bool> is_entailed_axiom(Reasoner& reasoner, const EntailmentCheck& check) {
  reasoner.invalidate_stale_classify_cache();
  return std::visit(
      [&](const auto& c) -> Result<bool> {
        using T = std::decay_t<decltype(c)>;
        if constexpr (std::is_same_v<T, SubClassOfCheck>) {
          return is_subsumption_entailed(reasoner, c.sub, c.sup);
        } else if constexpr (std::is_same_v<T, ClassAssertionCheck>) {
          return class_assertion_entailed(reasoner, c);
        } else {
          return property_assertion_entailed(reasoner, c);
        }
      },
      check);
}

}  // namespace trelvanic_facade
