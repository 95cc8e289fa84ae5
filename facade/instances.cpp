#include "facade/instances.h"

#include "core/dl.h"
#include "core/dl_expr.h"
#include "el/reasoner.h"
#include "facade/engines/calls.h"
#include "profile/routing.h"

namespace trelvanic_facade {

using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_profile::RouteEngine;

namespace {

// A class assertion of a class expression that is no named class: the EL
// engine does not read those, so its realisation would miss what they say.
bool has_complex_class_assertion(const trelvanic_core::Ontology& ontology) {
  const auto& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    if (axiom.kind != trelvanic_core::DlAxiomKind::ClassAssertion) continue;
    if (dl.has_ce(axiom.class_expr()) && dl.ce(axiom.class_expr()).kind != trelvanic_core::CeKind::Atomic) {
      return true;
    }
  }
  return false;
}

// One refutation per named individual through the DL pipeline; an
// undecided one makes the whole answer undecided.
Result<std::vector<EntityId>> dl_instances(const trelvanic_core::Ontology& ontology, EntityId cls) {
  std::vector<EntityId> members;
  const auto records = ontology.entities().records();
  for (uint32_t i = 0; i < records.size(); ++i) {
    const EntityKind k = records[i].kind;
    if (k != EntityKind::Individual && k != EntityKind::ClassIndividual && k != EntityKind::ObjectPropertyIndividual) {
      continue;
    }
    auto yes = dl_entails_class_assertion(ontology, EntityId(i), cls);
    if (!yes) return std::unexpected(std::move(yes.error()));
    if (*yes) members.push_back(EntityId(i));
  }
  return members;
}

Result<std::vector<EntityId>> el_instances(const trelvanic_core::Ontology& ontology, EntityId cls) {
  if (has_complex_class_assertion(ontology)) return dl_instances(ontology, cls);
  auto members = trelvanic_el::ElClassifier::instances(ontology, cls);
  if (!members) return std::unexpected(Error::el(std::move(members.error())));
  return std::move(*members);
}

}  // namespace

Result<std::vector<EntityId>> instances_of(const trelvanic_core::Reasoner& reasoner, EntityId cls) {
  auto route = trelvanic_profile::resolve_route(reasoner.profile(), reasoner.ontology());
  if (!route) return std::unexpected(Error::el_profile(route.error()));
  switch (route->engine) {
    case RouteEngine::El:
      return el_instances(reasoner.ontology(), cls);
    case RouteEngine::Rdfs:
    case RouteEngine::Rl:
      return std::unexpected(Error::el_message("instance queries need a taxonomy classification route"));
    case RouteEngine::Alc:
    case RouteEngine::Dl:
    case RouteEngine::Hybrid:
      return dl_instances(reasoner.ontology(), cls);
    case RouteEngine::Swrl: {
      // The members in the rule-extended clone, when the rules saw every
      // entailed fact; the EL engine answers when it takes the clone.
      auto extended = swrl_extend(reasoner.ontology());
      if (!extended) return std::unexpected(std::move(extended.error()));
      if (!extended->complete) return std::unexpected(Error::core(trelvanic_core::Error::consistency_incomplete()));
      if (trelvanic_profile::el_engine_accepts(extended->ontology)) return el_instances(extended->ontology, cls);
      return dl_instances(extended->ontology, cls);
    }
  }
  return std::unexpected(Error::el_message("unknown route engine"));
}

}  // namespace trelvanic_facade
