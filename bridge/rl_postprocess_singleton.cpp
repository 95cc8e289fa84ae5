// Steps over properties whose own domain and range are one individual each
// (RL steps 9 to 11). Such a property holds at most the one pair (x, y).
#include <algorithm>
#include <deque>

#include "bridge/detail/postprocess_util.h"
#include "bridge/rl_postprocess.h"
#include "core/dl.h"

namespace trelvanic_bridge {

using trelvanic_core::Axiom;
using trelvanic_core::AxiomId;
using trelvanic_core::AxiomKind;
using trelvanic_core::CeId;
using trelvanic_core::CeKind;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_core::Ontology;
using detail::add;
using detail::has_sub_property;

namespace {

using Endpoints = std::pair<EntityId, EntityId>;

// The individual of a one-individual enumeration, or none.
std::optional<EntityId> one_individual(const Ontology& o, CeId id) {
  const auto& dl = o.dl();
  if (!dl.has_ce(id)) return std::nullopt;
  const auto c = dl.ce(id);
  if (c.kind != CeKind::OneOf || c.individuals().size() != 1) return std::nullopt;
  return *c.individuals().begin();
}

std::vector<EntityId> object_property_entities(const Ontology& o) {
  std::vector<EntityId> out;
  const auto records = o.entities().records();
  for (uint32_t i = 0; i < records.size(); ++i) {
    const EntityKind k = records[i].kind;
    if (k == EntityKind::ObjectProperty || k == EntityKind::ClassObjectProperty ||
        k == EntityKind::ObjectPropertyIndividual)
      out.push_back(EntityId(i));
  }
  return out;
}

// (subject, object) of the live told assertions of each property.
absl::flat_hash_map<EntityId, std::vector<Endpoints>> assertions_by_property(const Ontology& o) {
  absl::flat_hash_map<EntityId, std::vector<Endpoints>> out;
  for (AxiomId id : detail::live_of_kind(o, AxiomKind::ObjectPropertyAssertion)) {
    const auto a = o.axioms().view(id);
    out[a.property()].emplace_back(a.subject(), a.object());
  }
  return out;
}

}  // namespace

namespace {

// What the one-individual lookups read, gathered in one pass over the DL
// store: per class the individual of a DL EquivalentClasses with a
// one-individual enumeration (the first in list order), per property its DL
// domains and ranges in list order.
class SingletonTables {
 public:
  explicit SingletonTables(const Ontology& o) : o_(o) {
    const auto& dl = o.dl();
    for (size_t i = 0; i < dl.axiom_count(); ++i) {
      const auto a = dl.axiom(i);
      if (a.kind == DlAxiomKind::EquivalentClasses) {
        std::optional<EntityId> x;
        for (CeId c : a.classes())
          if (!x) x = one_individual(o, c);
        if (!x) continue;
        for (CeId c : a.classes())
          if (dl.has_ce(c) && dl.ce(c).kind == CeKind::Atomic) dl_singleton_.try_emplace(dl.ce(c).entity(), *x);
      } else if (a.kind == DlAxiomKind::ObjectPropertyDomain) {
        bounds_[a.property()].emplace_back(true, a.domain());
      } else if (a.kind == DlAxiomKind::ObjectPropertyRange) {
        bounds_[a.property()].emplace_back(false, a.range());
      }
    }
  }

  // Through the told equivalence cluster of the class (every class a walk
  // over told EquivalentClasses reaches), smallest ids first.
  std::optional<EntityId> singleton(EntityId k) const {
    if (auto it = dl_singleton_.find(k); it != dl_singleton_.end()) return it->second;
    const auto* cluster = o_.equivalents_of(k);
    if (!cluster) return std::nullopt;
    std::vector<EntityId> members(cluster->begin(), cluster->end());
    std::sort(members.begin(), members.end());
    for (EntityId m : members)
      if (auto it = dl_singleton_.find(m); it != dl_singleton_.end()) return it->second;
    return std::nullopt;
  }

  // Every domain bounds the property, so one one-individual domain proves
  // its subjects; the same for ranges.
  std::optional<Endpoints> endpoints(EntityId p) const {
    std::optional<EntityId> domain, range;
    if (auto it = bounds_.find(p); it != bounds_.end())
      for (const auto& [is_domain, c] : it->second) {
        std::optional<EntityId>& slot = is_domain ? domain : range;
        if (slot) continue;
        slot = one_individual(o_, c);
        const auto& dl = o_.dl();
        if (!slot && dl.has_ce(c) && dl.ce(c).kind == CeKind::Atomic) slot = singleton(dl.ce(c).entity());
      }
    for (EntityId d : o_.index().domains.row(p))
      if (!domain) domain = singleton(d);
    for (EntityId r : o_.index().ranges.row(p))
      if (!range) range = singleton(r);
    if (domain && range) return Endpoints{*domain, *range};
    return std::nullopt;
  }

 private:
  const Ontology& o_;
  absl::flat_hash_map<EntityId, EntityId> dl_singleton_;
  absl::flat_hash_map<EntityId, std::vector<std::pair<bool, CeId>>> bounds_;
};

}  // namespace

std::optional<EntityId> singleton_from_equivalent_classes(const Ontology& o, EntityId cls) {
  return SingletonTables(o).singleton(cls);
}

std::optional<EntityId> singleton_individual_of_class(const Ontology& o, EntityId cls) {
  // Only the class's own equivalences count: the one-individual domain of
  // some property says nothing about an unrelated class.
  return singleton_from_equivalent_classes(o, cls);
}

std::optional<Endpoints> property_endpoint_singletons(const Ontology& o, EntityId p) {
  return SingletonTables(o).endpoints(p);
}

//   P, Q each hold at most (x, y)   P and Q asserted for the same non-empty pairs
//   --------------------------------------------------------------------------
//   SubObjectPropertyOf(P, Q)   SubObjectPropertyOf(Q, P)
Result<size_t> apply_singleton_domain_range_property_equivalence(Ontology& o) {
  auto pairs = assertions_by_property(o);
  struct Candidate {
    EntityId p;
    Endpoints ends;
    std::vector<Endpoints> pairs;
  };
  std::vector<Candidate> candidates;
  const SingletonTables tables(o);
  for (EntityId p : object_property_entities(o)) {
    auto it = pairs.find(p);
    if (it == pairs.end()) continue;
    auto ends = tables.endpoints(p);
    if (!ends) continue;
    std::vector<Endpoints> sorted = it->second;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    candidates.push_back({p, *ends, std::move(sorted)});
  }
  size_t count = 0;
  for (size_t i = 0; i < candidates.size(); ++i)
    for (size_t j = i + 1; j < candidates.size(); ++j) {
      const Candidate& a = candidates[i];
      const Candidate& b = candidates[j];
      if (a.ends != b.ends || a.pairs != b.pairs) continue;
      if (!has_sub_property(o, a.p, b.p)) TRELVANIC_BRIDGE_TRY(add(o, Axiom::sub_object_property_of(a.p, b.p), count));
      if (!has_sub_property(o, b.p, a.p)) TRELVANIC_BRIDGE_TRY(add(o, Axiom::sub_object_property_of(b.p, a.p), count));
    }
  return count;
}

//   c holds at most (x, y)   g(x, y)   g != c
//   ---------------------------------------
//   SubObjectPropertyOf(c, g)
Result<size_t> apply_domain_range_nominal_subsumption(Ontology& o) {
  std::vector<std::pair<EntityId, Endpoints>> bounded;
  {
    const SingletonTables tables(o);
    for (EntityId c : object_property_entities(o))
      if (auto ends = tables.endpoints(c)) bounded.emplace_back(c, *ends);
  }
  if (bounded.empty()) return size_t{0};
  // The properties asserted from x to y, DL-store assertions first.
  auto asserted_between = [&](EntityId x, EntityId y) {
    std::vector<EntityId> props;
    const auto& dl = o.dl();
    for (size_t i = 0; i < dl.axiom_count(); ++i) {
      const auto a = dl.axiom(i);
      if (a.kind == DlAxiomKind::ObjectPropertyAssertion && !a.role().is_inverse() && a.subject() == x &&
          a.object() == y)
        props.push_back(a.role().property);
    }
    for (const auto& [g, obj] : o.object_assertions_of(x))
      if (obj == y) props.push_back(g);
    return props;
  };
  size_t count = 0;
  for (const auto& [c, ends] : bounded)
    for (EntityId g : asserted_between(ends.first, ends.second))
      if (g != c && !has_sub_property(o, c, g)) TRELVANIC_BRIDGE_TRY(add(o, Axiom::sub_object_property_of(c, g), count));
  return count;
}

//   t holds at most (x, y)   b transitive   b(x, m1), ..., b(mk, y)   b != t
//   ----------------------------------------------------------------------
//   SubObjectPropertyOf(t, b)
Result<size_t> apply_transitive_path_property_subsumption(Ontology& o) {
  const auto& told = o.index().characteristic(trelvanic_core::PropertyCharacteristic::Transitive);
  std::vector<EntityId> transitive(told.begin(), told.end());
  if (transitive.empty()) return size_t{0};
  std::sort(transitive.begin(), transitive.end());
  // Whether y is reached from x over one or more b-assertions.
  auto path = [&](EntityId b, EntityId x, EntityId y) {
    EntityIdSet visited{x};
    std::deque<EntityId> queue{x};
    while (!queue.empty()) {
      const EntityId n = queue.front();
      queue.pop_front();
      for (const auto& [q, next] : o.object_assertions_of(n)) {
        if (q != b) continue;
        if (next == y) return true;
        if (visited.insert(next).second) queue.push_back(next);
      }
    }
    return false;
  };
  std::vector<std::pair<EntityId, Endpoints>> bounded;
  {
    const SingletonTables tables(o);
    for (EntityId t : object_property_entities(o))
      if (auto ends = tables.endpoints(t)) bounded.emplace_back(t, *ends);
  }
  size_t count = 0;
  for (const auto& [t, ends] : bounded)
    for (EntityId b : transitive)
      if (b != t && !has_sub_property(o, t, b) && path(b, ends.first, ends.second))
        TRELVANIC_BRIDGE_TRY(add(o, Axiom::sub_object_property_of(t, b), count));
  return count;
}

}  // namespace trelvanic_bridge
