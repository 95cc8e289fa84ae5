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

bool is_atomic(const Ontology& o, CeId id, EntityId cls) {
  const auto& dl = o.dl();
  return dl.has_ce(id) && dl.ce(id).kind == CeKind::Atomic && dl.ce(id).entity() == cls;
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

std::optional<EntityId> singleton_from_equivalent_classes(const Ontology& o, EntityId start) {
  // Depth first through told equivalences; each class is entered once.
  const auto& dl = o.dl();
  EntityIdSet visited{start};
  std::vector<EntityId> stack{start};
  const std::vector<AxiomId> told = detail::live_of_kind(o, AxiomKind::EquivalentClasses);
  while (!stack.empty()) {
    const EntityId k = stack.back();
    stack.pop_back();
    for (size_t i = 0; i < dl.axiom_count(); ++i) {
      const auto a = dl.axiom(i);
      if (a.kind != DlAxiomKind::EquivalentClasses) continue;
      bool names_k = false;
      for (CeId c : a.classes()) names_k = names_k || is_atomic(o, c, k);
      if (!names_k) continue;
      for (CeId c : a.classes())
        if (auto x = one_individual(o, c)) return x;
    }
    std::vector<EntityId> next;
    for (AxiomId id : told) {
      const auto ops = o.axioms().view(id).operands();
      if (std::find(ops.begin(), ops.end(), k) == ops.end()) continue;
      for (EntityId m : ops)
        if (m != k && visited.insert(m).second) next.push_back(m);
    }
    // Keep the list order of the members on the stack.
    stack.insert(stack.end(), next.rbegin(), next.rend());
  }
  return std::nullopt;
}

std::optional<EntityId> singleton_individual_of_class(const Ontology& o, EntityId cls) {
  // Only the class's own equivalences count: the one-individual domain of
  // some property says nothing about an unrelated class.
  return singleton_from_equivalent_classes(o, cls);
}

std::optional<Endpoints> property_endpoint_singletons(const Ontology& o, EntityId p) {
  std::optional<EntityId> domain, range;
  const auto& dl = o.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    const auto a = dl.axiom(i);
    const bool is_domain = a.kind == DlAxiomKind::ObjectPropertyDomain;
    if ((!is_domain && a.kind != DlAxiomKind::ObjectPropertyRange) || a.property() != p) continue;
    const CeId c = is_domain ? a.domain() : a.range();
    std::optional<EntityId>& slot = is_domain ? domain : range;
    // Every domain bounds the property, so any one-individual one proves
    // the endpoint.
    if (auto x = one_individual(o, c)) {
      slot = x;
    } else if (!slot && dl.has_ce(c) && dl.ce(c).kind == CeKind::Atomic) {
      slot = singleton_from_equivalent_classes(o, dl.ce(c).entity());
    }
  }
  for (EntityId d : o.index().domains.row(p))
    if (!domain) domain = singleton_from_equivalent_classes(o, d);
  for (EntityId r : o.index().ranges.row(p))
    if (!range) range = singleton_from_equivalent_classes(o, r);
  if (domain && range) return Endpoints{*domain, *range};
  return std::nullopt;
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
  for (EntityId p : object_property_entities(o)) {
    auto it = pairs.find(p);
    if (it == pairs.end()) continue;
    auto ends = property_endpoint_singletons(o, p);
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
  for (EntityId c : object_property_entities(o))
    if (auto ends = property_endpoint_singletons(o, c)) bounded.emplace_back(c, *ends);
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
  std::vector<EntityId> transitive(o.index().transitive.begin(), o.index().transitive.end());
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
  size_t count = 0;
  for (EntityId t : object_property_entities(o)) {
    auto ends = property_endpoint_singletons(o, t);
    if (!ends) continue;
    for (EntityId b : transitive)
      if (b != t && !has_sub_property(o, t, b) && path(b, ends->first, ends->second))
        TRELVANIC_BRIDGE_TRY(add(o, Axiom::sub_object_property_of(t, b), count));
  }
  return count;
}

}  // namespace trelvanic_bridge
