#include "facade/entailment.h"

#include <algorithm>
#include <type_traits>
#include <vector>

#include "core/axiom.h"
#include "core/dl.h"
#include "core/dl_expr.h"
#include "core/iri.h"
#include "el/reasoner.h"
#include "facade/classify.h"
#include "facade/consistency.h"
#include "facade/engines/calls.h"
#include "facade/lookup.h"
#include "profile/routing.h"
#include "rl/abox.h"
#include "rl/engine.h"
#include "rl/rdfs.h"

#include <absl/container/flat_hash_set.h>

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

// The IRI text names `iri`, with "%23" read as "#" as the lookups do.
bool text_names(std::string_view text, std::string_view iri) {
  std::string storage;
  return trelvanic_core::normalize_iri_fragment_encoding(text, storage) == iri;
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

Error incomplete() { return Error::core(trelvanic_core::Error::consistency_incomplete()); }

// An entailment asked of the rule-extended clone: "yes" stands; "no" only
// when the chaining saw every entailed fact.
template <class Ask>
Result<bool> entailed_with_rules(const Ontology& ontology, Ask ask) {
  auto extended = swrl_extend(ontology);
  if (!extended) return std::unexpected(std::move(extended.error()));
  if (extended->inconsistent) return true;
  auto answer = ask(extended->ontology);
  if (answer && !*answer && !extended->complete) return std::unexpected(incomplete());
  return answer;
}

// True when the route's engine (EL or RL) proves the probe has no model;
// an RL answer that is not complete is refused, never read as "no".
Result<bool> unsatisfiable(const Ontology& probe, RouteEngine engine) {
  if (engine == RouteEngine::Rl) {
    auto pair = rl_consistency(probe);
    if (!pair) return std::unexpected(std::move(pair.error()));
    if (!pair->complete) return std::unexpected(incomplete());
    return !pair->consistent;
  }
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
Result<bool> entails_subsumption(const Ontology& ontology, EntityId sub, EntityId sup, RouteEngine engine) {
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
  return unsatisfiable(probe, engine);
}

// p(s, o) exactly when the ontology with S(s), O(o) and
// DisjointClasses(S, ∃p.O), for fresh classes S and O, has no model: a
// model without the pair extends to one of the probe by S = {s}, O = {o}.
Result<bool> entails_property_assertion(const Ontology& ontology, EntityId subject, EntityId property,
                                        EntityId object, RouteEngine engine) {
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
  return unsatisfiable(probe, engine);
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

// Answers used read-only allow no engine run: a question that needs one
// stops with `engine_needed`.
bool barred(EntailmentAnswers* answers) { return answers && answers->read_only(); }

// The route; read-only answers refuse every route but those of the EL
// engine, RDFS and RL, whose kept saturation or materialised copy they
// answer from.
Result<Route> route_of(const Reasoner& reasoner, EntailmentAnswers* answers) {
  if (answers) {
    auto route = answers->route(reasoner.profile(), reasoner.ontology());
    const bool kept = route && (route->engine == RouteEngine::El || route->engine == RouteEngine::Rdfs ||
                                route->engine == RouteEngine::Rl);
    if (route && !kept && barred(answers)) return std::unexpected(answers->engine_needed());
    return route;
  }
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

// The EL engine decides the whole ontology: its constructs, and no class
// assertion of a class expression in the DL store.
bool el_decides(const Ontology& ontology) {
  if (!trelvanic_profile::el_engine_accepts(ontology)) return false;
  const auto& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    if (axiom.kind == trelvanic_core::DlAxiomKind::ClassAssertion && dl.has_ce(axiom.class_expr()) &&
        dl.ce(axiom.class_expr()).kind != trelvanic_core::CeKind::Atomic) {
      return false;
    }
  }
  return true;
}

// C(a) exactly when the ontology with F(a) and DisjointClasses(C, F), F
// fresh, has no model: a model with a outside C extends by F = {a}.
Result<bool> entails_class_assertion(const Ontology& ontology, EntityId individual, EntityId cls, RouteEngine engine) {
  Ontology probe = ontology.clone();
  auto f = fresh_entity(probe, EntityKind::Class);
  if (!f) return std::unexpected(std::move(f.error()));
  for (Axiom axiom : {Axiom::class_assertion(individual, *f), Axiom::disjoint_classes({cls, *f})}) {
    if (auto r = add(probe, std::move(axiom)); !r) return std::unexpected(std::move(r.error()));
  }
  return unsatisfiable(probe, engine);
}

// The RDFS closure's "yes" is final; a closure without the answer proves
// nothing under the Direct Semantics, so it is refused as incomplete.
Result<Ontology> rdfs_closure(const Ontology& ontology) {
  Ontology work = ontology.clone();
  auto report = trelvanic_rl::rdfs::RdfsEngine{}.materialize(work);
  if (!report) return std::unexpected(Error::rl(report.error().message()));
  return work;
}

// The RL rules' materialised copy.
Result<Ontology> rl_materialised(const Ontology& ontology) {
  Ontology work = ontology.clone();
  auto report = trelvanic_rl::RlEngine{}.saturate(work);
  if (!report) return std::unexpected(Error::rl(report.error().message()));
  return work;
}

// `use` applied to the materialised copy of the reasoner's ontology: the
// one the answers keep, else one `close` makes for this question.
template <class Use>
Result<bool> with_materialised(EntailmentAnswers::Materialised which, EntailmentAnswers::Close close,
                               const Reasoner& reasoner, EntailmentAnswers* answers, Use&& use) {
  if (answers) {
    auto kept = answers->materialised(which, reasoner.profile(), reasoner.ontology(), close);
    if (!kept) return std::unexpected(std::move(kept.error()));
    return use(**kept);
  }
  auto copy = close(reasoner.ontology());
  if (!copy) return std::unexpected(std::move(copy.error()));
  return use(*copy);
}

constexpr auto kRdfs = EntailmentAnswers::Materialised::Rdfs;
constexpr auto kRl = EntailmentAnswers::Materialised::Rl;

// The individual or one of its sameAs partners has `cls` among its
// asserted (told or materialised) classes.
bool asserted_member(const Ontology& ontology, EntityId individual, EntityId cls) {
  std::vector<EntityId> members{individual};
  if (const auto* same = ontology.same_as(individual)) members.insert(members.end(), same->begin(), same->end());
  for (EntityId m : members) {
    auto classes = ontology.classes_of(m);
    if (std::find(classes.begin(), classes.end(), cls) != classes.end()) return true;
  }
  return false;
}

Result<bool> class_assertion_entailed(Reasoner& reasoner, const ClassAssertionCheck& check,
                                      EntailmentAnswers* answers) {
  auto individual = lookup_individual(reasoner.ontology(), check.individual);
  if (!individual) return std::unexpected(std::move(individual.error()));
  // Every individual is an instance of owl:Thing, registered or not.
  if (text_names(check.cls, kOwlThing)) return true;
  auto cls = lookup_class(reasoner.ontology(), check.cls);
  if (!cls) return std::unexpected(std::move(cls.error()));
  auto route = route_of(reasoner, answers);
  if (!route) return std::unexpected(std::move(route.error()));
  const Ontology& ontology = reasoner.ontology();
  switch (route->engine) {
    case RouteEngine::Alc:
    case RouteEngine::Dl:
    case RouteEngine::Hybrid:
      return dl_entails_class_assertion(ontology, *individual, *cls);
    case RouteEngine::Swrl:
      return entailed_with_rules(ontology, [&](const Ontology& extended) {
        if (el_decides(extended)) return entails_class_assertion(extended, *individual, *cls, RouteEngine::El);
        return dl_entails_class_assertion(extended, *individual, *cls);
      });
    case RouteEngine::Rdfs:
      return with_materialised(kRdfs, rdfs_closure, reasoner, answers, [&](const Ontology& closure) -> Result<bool> {
        if (asserted_member(closure, *individual, *cls)) return true;
        return std::unexpected(incomplete());
      });
    case RouteEngine::Rl:
      if (barred(answers)) return std::unexpected(answers->engine_needed());
      return entails_class_assertion(ontology, *individual, *cls, RouteEngine::Rl);
    case RouteEngine::El: {
      const bool complex = has_complex_assertion_of(ontology, *individual);
      if (answers && !complex) {
        if (auto known = answers->instance_of(reasoner.profile(), ontology, *individual, *cls)) return *known;
      }
      if (barred(answers)) return std::unexpected(answers->engine_needed());
      if (complex) return dl_entails_class_assertion(ontology, *individual, *cls);
      return entails_class_assertion(ontology, *individual, *cls, RouteEngine::El);
    }
  }
  return std::unexpected(Error::el_message("unknown route engine"));
}

Result<bool> property_assertion_entailed(Reasoner& reasoner, const ObjectPropertyAssertionCheck& check,
                                         EntailmentAnswers* answers) {
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
  auto route = route_of(reasoner, answers);
  if (!route) return std::unexpected(std::move(route.error()));
  switch (route->engine) {
    case RouteEngine::El:
    case RouteEngine::Rl:
      if (barred(answers)) return std::unexpected(answers->engine_needed());
      return entails_property_assertion(ontology, *subject, *property, *object, route->engine);
    case RouteEngine::Rdfs: {
      if (barred(answers)) return std::unexpected(answers->engine_needed());
      Ontology work = ontology.clone();
      auto values = trelvanic_rl::abox::rdfs_object_property_values(work, *subject, *property);
      if (!values) return std::unexpected(Error::rl(values.error().message()));
      const auto* same = work.same_as(*object);
      for (EntityId v : *values) {
        if (v == *object || (same && same->contains(v))) return true;
      }
      return std::unexpected(incomplete());
    }
    case RouteEngine::Alc:
    case RouteEngine::Dl:
    case RouteEngine::Hybrid:
      return dl_entails_property_assertion(ontology, *subject, *property, *object);
    case RouteEngine::Swrl:
      return entailed_with_rules(ontology, [&](const Ontology& extended) {
        if (el_decides(extended)) {
          return entails_property_assertion(extended, *subject, *property, *object, RouteEngine::El);
        }
        return dl_entails_property_assertion(extended, *subject, *property, *object);
      });
  }
  return std::unexpected(Error::el_message("unknown route engine"));
}

// The RDFS and RL routes' first look: a chain of SubClassOf axioms (told or
// materialised) from sub to sup in the materialised copy.
bool superclass_chain(const Ontology& ontology, EntityId sub, EntityId sup) {
  std::vector<EntityId> stack(ontology.direct_superclasses(sub).begin(), ontology.direct_superclasses(sub).end());
  absl::flat_hash_set<EntityId> visited;
  while (!stack.empty()) {
    EntityId t = stack.back();
    stack.pop_back();
    if (!visited.insert(t).second) continue;
    if (t == sup) return true;
    for (EntityId next : ontology.direct_superclasses(t)) stack.push_back(next);
  }
  return false;
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

Result<bool> is_subsumption_entailed(Reasoner& reasoner, std::string_view sub_iri, std::string_view sup_iri,
                                     EntailmentAnswers* answers) {
  reasoner.invalidate_stale_classify_cache();
  const Ontology& ontology = reasoner.ontology();
  // owl:Thing above and owl:Nothing below anything hold in every
  // interpretation, whatever the route and whether or not they are
  // registered; the other side must still name an entity.
  auto sub = ontology.lookup_entity(sub_iri);
  auto sup = ontology.lookup_entity(sup_iri);
  const bool sub_thing = text_names(sub_iri, kOwlThing), sub_nothing = text_names(sub_iri, kOwlNothing);
  const bool sup_thing = text_names(sup_iri, kOwlThing), sup_nothing = text_names(sup_iri, kOwlNothing);
  if (!sub && !sub_thing && !sub_nothing) {
    return std::unexpected(Error::el_message("unknown class IRI: " + std::string(sub_iri)));
  }
  if (!sup && !sup_thing && !sup_nothing) {
    return std::unexpected(Error::el_message("unknown class IRI: " + std::string(sup_iri)));
  }
  if (sup_thing || sub_nothing || (sub && sup && *sub == *sup)) return true;
  // owl:Thing below a class and a class below owl:Nothing hold or fail in
  // every interpretation whether the ontology names the standard classes
  // or not: a copy that registers them answers.
  if (!sub || !sup) {
    if (barred(answers)) return std::unexpected(answers->engine_needed());
    Ontology probe = ontology.clone();
    for (std::string_view iri : {kOwlThing, kOwlNothing}) {
      if (probe.lookup_entity(iri)) continue;
      if (auto id = probe.entity_id(iri, EntityKind::Class); !id) return std::unexpected(Error::core(id.error()));
    }
    auto built = reasoner.settings().build(std::move(probe));
    if (!built) return std::unexpected(Error::core(built.error()));
    return is_subsumption_entailed(*built, sub_thing ? kOwlThing : sub_iri, sup_nothing ? kOwlNothing : sup_iri);
  }
  auto route = route_of(reasoner, answers);
  if (!route) return std::unexpected(std::move(route.error()));
  switch (route->engine) {
    case RouteEngine::Rdfs:
      return with_materialised(kRdfs, rdfs_closure, reasoner, answers, [&](const Ontology& closure) -> Result<bool> {
        if (superclass_chain(closure, *sub, *sup)) return true;
        return std::unexpected(incomplete());
      });
    case RouteEngine::Rl: {
      // The materialised chain answers "yes" cheaply; otherwise the RL
      // rules decide the probe, which they do completely when every axiom
      // has an OWL 2 RL form (else the answer is refused as incomplete).
      auto chain = with_materialised(kRl, rl_materialised, reasoner, answers,
                                     [&](const Ontology& work) -> Result<bool> { return superclass_chain(work, *sub, *sup); });
      if (!chain || *chain) return chain;
      if (barred(answers)) return std::unexpected(answers->engine_needed());
      return entails_subsumption(ontology, *sub, *sup, RouteEngine::Rl);
    }
    case RouteEngine::El: {
      // A taxonomy's "yes" is final; its "no" says nothing about entities
      // outside the classified classes or about an ontology without a
      // model, so the engine decides those.
      const Taxonomy* cached = reasoner.cached_taxonomy();
      if (cached && taxonomy_says_subsumed(ontology, *cached, *sub, *sup)) return true;
      if (answers) {
        if (auto known = answers->subsumed(reasoner.profile(), ontology, *sub, *sup)) return *known;
      }
      if (barred(answers)) return std::unexpected(answers->engine_needed());
      return entails_subsumption(ontology, *sub, *sup, RouteEngine::El);
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

Result<bool> is_entailed_axiom(Reasoner& reasoner, const EntailmentCheck& check, EntailmentAnswers* answers) {
  reasoner.invalidate_stale_classify_cache();
  auto answer = std::visit(
      [&](const auto& c) -> Result<bool> {
        using T = std::decay_t<decltype(c)>;
        if constexpr (std::is_same_v<T, SubClassOfCheck>) {
          return is_subsumption_entailed(reasoner, c.sub, c.sup, answers);
        } else if constexpr (std::is_same_v<T, ClassAssertionCheck>) {
          return class_assertion_entailed(reasoner, c, answers);
        } else {
          return property_assertion_entailed(reasoner, c, answers);
        }
      },
      check);
  // What the read axioms entail the source entails too; a "no" may be
  // undone by an axiom the load left out.
  if (answer && !*answer && holds_less_than_source(reasoner.ontology())) return std::unexpected(incomplete());
  return answer;
}

}  // namespace trelvanic_facade
