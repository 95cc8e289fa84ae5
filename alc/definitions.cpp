#include "alc/definitions.h"

#include <absl/container/flat_hash_set.h>

#include "alc/dl_ontology.h"

namespace trelvanic_alc {

using trelvanic_core::CeId;
using trelvanic_core::CeKind;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::DlStore;
using trelvanic_core::EntityId;

namespace {

int rank(const DlStore& store, CeId c) {
  if (!store.has_ce(c)) return 2;
  switch (store.ce(c).kind) {
    case CeKind::And:
    case CeKind::Or: return 5;
    case CeKind::Some:
    case CeKind::All:
    case CeKind::MinCardinality:
    case CeKind::MaxCardinality:
    case CeKind::ExactCardinality:
    case CeKind::DataMinCardinality:
    case CeKind::DataMaxCardinality:
    case CeKind::DataExactCardinality: return 4;
    case CeKind::Not: return 3;
    case CeKind::Top:
    case CeKind::Bottom:
    case CeKind::OneOf:
    case CeKind::HasValue:
    case CeKind::HasSelf:
    case CeKind::DataAll:
    case CeKind::DataSome:
    case CeKind::DataHasValue: return 2;
    case CeKind::Atomic: return 1;
  }
  return 2;
}

}  // namespace

Definitions::Definitions(const DlStore& store) {
  for (size_t i = 0; i < store.axiom_count(); ++i) {
    const auto a = store.axiom(i);
    if (a.kind != DlAxiomKind::EquivalentClasses) continue;
    const auto ops = a.classes();
    if (ops.size() < 2) continue;
    for (CeId named : ops) {
      if (!store.has_ce(named) || store.ce(named).kind != CeKind::Atomic) continue;
      const uint32_t cls = store.ce(named).entity().value;
      for (CeId other : ops) {
        if (other == named) continue;
        const int r = rank(store, other);
        auto [it, fresh] = best_.try_emplace(cls, Best{other, r});
        if (!fresh && r > it->second.rank) it->second = Best{other, r};
      }
    }
  }
}

std::optional<CeId> Definitions::of(EntityId cls) const {
  auto it = best_.find(cls.value);
  if (it == best_.end()) return std::nullopt;
  return it->second.ce;
}

std::optional<CeId> equivalent_definition_ce(const DlStore& store, EntityId cls) { return Definitions(store).of(cls); }

CeId effective_class_expression(const DlOntology& dl, CeId x) {
  const DlStore& store = dl.ontology().dl();
  const Definitions& defs = dl.definitions();
  absl::flat_hash_set<uint32_t> visited;
  CeId c = x;
  while (visited.insert(c.value).second) {
    if (!store.has_ce(c) || store.ce(c).kind != CeKind::Atomic) break;
    const auto d = defs.of(store.ce(c).entity());
    if (!d) break;
    c = *d;
  }
  return c;
}

std::vector<CeId> flatten_and_conjuncts(const DlStore& store, CeId x) {
  std::vector<CeId> out;
  std::vector<CeId> todo{x};
  while (!todo.empty()) {
    const CeId c = todo.back();
    todo.pop_back();
    if (store.has_ce(c) && store.ce(c).kind == CeKind::And) {
      for (CeId op : store.ce(c).operands()) todo.push_back(op);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace trelvanic_alc
