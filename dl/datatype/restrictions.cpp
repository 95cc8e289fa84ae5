#include "dl/datatype/restrictions.h"

#include <string>
#include <string_view>

#include <absl/container/flat_hash_set.h>

#include "core/dl_expr.h"

namespace trelvanic_dl::datatype::consistency {

using trelvanic_core::CeId;
using trelvanic_core::CeKind;
using trelvanic_core::DeId;
using trelvanic_core::DeKind;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::DlStore;
using trelvanic_core::EntityId;
using trelvanic_core::Ontology;

namespace {

constexpr std::string_view kOwl = "http://www.w3.org/2002/07/owl#";
constexpr std::string_view kRdfs = "http://www.w3.org/2000/01/rdf-schema#";
constexpr std::string_view kRdf = "http://www.w3.org/1999/02/22-rdf-syntax-ns#";
// Expression nodes visited by one walk; a walk cut there returns what it
// found so far (fewer restrictions, never wrong ones).
constexpr size_t kMaxWalk = 100000;

std::optional<std::string> iri_of(const Ontology& ontology, EntityId e) {
  auto iri = ontology.entity_iri(e);
  if (!iri) return std::nullopt;
  std::string out(*iri);
  for (size_t at = out.find("%23"); at != std::string::npos; at = out.find("%23", at + 1)) out.replace(at, 3, "#");
  return out;
}

}  // namespace

std::pair<bool, CeId> equivalent_definition_ce(const DlStore& store, EntityId cls, CeId fallback) {
  const auto kept = trelvanic_alc::equivalent_definition_ce(store, cls);
  return kept ? std::pair{true, *kept} : std::pair{false, fallback};
}

std::vector<PropertyRestriction> restrictions_from_ce(const DlStore& store, CeId ce) {
  return restrictions_from_ce(store, Definitions(store), ce);
}

std::vector<PropertyRestriction> restrictions_from_ce(const DlStore& store, const Definitions& definitions, CeId ce) {
  using K = DataRestriction::Kind;
  std::vector<PropertyRestriction> out;
  // A frame expands an expression, or (leave) ends the expansion of a
  // named class: a class met again while its definition is being expanded
  // contributes nothing, which cuts every cycle of definitions.
  struct Frame {
    CeId ce;
    bool leave = false;
    EntityId cls;
  };
  std::vector<Frame> stack{{ce}};
  absl::flat_hash_set<EntityId> expanding;
  for (size_t walked = 0; !stack.empty() && walked < kMaxWalk; ++walked) {
    const Frame f = stack.back();
    stack.pop_back();
    if (f.leave) {
      expanding.erase(f.cls);
      continue;
    }
    if (!store.has_ce(f.ce)) continue;
    const auto e = store.ce(f.ce);
    switch (e.kind) {
      case CeKind::Atomic: {
        const EntityId cls = e.entity();
        const auto def = definitions.of(cls);
        if (!def || !expanding.insert(cls).second) break;
        stack.push_back({CeId(0), true, cls});
        stack.push_back({*def});
        break;
      }
      case CeKind::And: {
        const auto ops = e.operands().to_vector();
        for (auto it = ops.rbegin(); it != ops.rend(); ++it) stack.push_back({*it});
        break;
      }
      case CeKind::DataAll: out.push_back({e.property(), {K::DataAll, *e.range()}}); break;
      case CeKind::DataSome: out.push_back({e.property(), {K::DataSome, *e.range()}}); break;
      case CeKind::DataHasValue: out.push_back({e.property(), {K::DataHasValue, e.value()}}); break;
      case CeKind::DataMinCardinality: out.push_back({e.property(), {K::DataMin, DeId(0), e.n(), e.range()}}); break;
      case CeKind::DataMaxCardinality: out.push_back({e.property(), {K::DataMax, DeId(0), e.n(), e.range()}}); break;
      case CeKind::DataExactCardinality:
        out.push_back({e.property(), {K::DataExact, DeId(0), e.n(), e.range()}});
        break;
      default: break;
    }
  }
  return out;
}

EntityId canonical_class_restriction_key(const Ontology& ontology, EntityId cls) {
  const auto iri = iri_of(ontology, cls);
  const std::string thing = std::string(kOwl) + "Thing";
  if (!iri || *iri != thing) return cls;
  if (auto e = ontology.lookup_entity(thing)) return *e;
  if (auto e = ontology.lookup_entity("owl:Thing")) return *e;
  return cls;
}

std::optional<DeId> optional_data_cardinality_filler(const Ontology& ontology, std::optional<DeId> filler) {
  if (!filler) return std::nullopt;
  const DlStore& store = ontology.dl();
  if (!store.has_de(*filler)) return filler;
  const auto e = store.de(*filler);
  if (e.kind == DeKind::Top) return std::nullopt;
  if (e.kind != DeKind::Datatype) return filler;
  const auto iri = iri_of(ontology, e.datatype());
  if (iri && (*iri == std::string(kOwl) + "Thing" || *iri == std::string(kRdfs) + "Literal" ||
              *iri == std::string(kRdf) + "Literal"))
    return std::nullopt;
  return filler;
}

std::vector<std::pair<EntityId, EntityId>> disjoint_data_property_pairs(const DlStore& store) {
  std::vector<std::pair<EntityId, EntityId>> out;
  for (size_t i = 0; i < store.axiom_count(); ++i) {
    const auto a = store.axiom(i);
    if (a.kind != DlAxiomKind::DisjointDataProperties) continue;
    const auto ops = a.entities().to_vector();
    for (size_t j = 0; j < ops.size(); ++j)
      for (size_t k = j + 1; k < ops.size(); ++k) out.emplace_back(ops[j], ops[k]);
  }
  return out;
}

}  // namespace trelvanic_dl::datatype::consistency
