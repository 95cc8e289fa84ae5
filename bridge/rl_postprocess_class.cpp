// Domain, range, class-assertion and existential steps (RL steps 6 to 8).
#include <algorithm>
#include <deque>
#include <tuple>

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
using trelvanic_core::Ontology;
using detail::add;
using detail::row_contains;

namespace {

// Whether `target` is reachable from `start` over zero or more direct
// superclass links.
bool subsumed(const Ontology& o, EntityId start, EntityId target) {
  if (start == target) return true;
  EntityIdSet visited{start};
  std::vector<EntityId> stack{start};
  while (!stack.empty()) {
    const EntityId c = stack.back();
    stack.pop_back();
    for (EntityId e : o.direct_superclasses(c)) {
      if (e == target) return true;
      if (visited.insert(e).second) stack.push_back(e);
    }
  }
  return false;
}

// Whether x already has class d: asserted, or reached from an asserted
// class. The walks up from a class are remembered per (class, target): a
// step that only adds class assertions leaves every answer standing, and an
// individual's classes are shared by many others.
class TypedCheck {
 public:
  explicit TypedCheck(const Ontology& o) : o_(o) {}

  bool operator()(EntityId x, EntityId d) {
    // After materialisation the asserted classes are usually closed upwards.
    if (row_contains(o_.classes_of(x), d)) return true;
    for (EntityId c : o_.classes_of(x)) {
      auto [it, fresh] = reached_.try_emplace(std::pair(c, d), false);
      if (fresh) it->second = subsumed(o_, c, d);
      if (it->second) return true;
    }
    return false;
  }

 private:
  const Ontology& o_;
  absl::flat_hash_map<std::pair<EntityId, EntityId>, bool> reached_;
};

}  // namespace

//   p <= ... <= q   ObjectPropertyDomain(q, d)      (likewise ranges)
//   ----------------------------------------------
//   ObjectPropertyDomain(p, d)
Result<size_t> propagate_domain_range_along_subproperties(Ontology& o) {
  const EdgeMap edges = superproperty_edges(o);
  size_t count = 0;
  for (const bool domains_pass : {true, false}) {
    const auto classes = domains_pass ? property_domains(o) : property_ranges(o);
    for (const auto& [p, _] : edges)
      for (EntityId q : subproperties_of(p, edges)) {
        auto it = classes.find(q);
        if (it == classes.end()) continue;
        const EntityId d = it->second;
        if (domains_pass) {
          if (!row_contains(o.index().domains.row(p), d))
            TRELVANIC_BRIDGE_TRY(add(o, Axiom::object_property_domain(p, d), count));
        } else if (!row_contains(o.index().ranges.row(p), d)) {
          TRELVANIC_BRIDGE_TRY(add(o, Axiom::object_property_range(p, d), count));
        }
      }
  }
  return count;
}

//   p(s, o)   p <= ... <= q (or q = p)   ObjectPropertyDomain(q, D)
//   --------------------------------------------------------------
//   ClassAssertion(s, D)                      (ranges type o alike)
//
// A domain constrains the subjects of its property and of every
// sub-property, never those of a super-property: an assertion of p says
// nothing about the domains of p's sub-properties.
Result<size_t> apply_domain_range_inheritance(Ontology& o) {
  const EdgeMap edges = superproperty_edges(o);
  struct Assertion {
    EntityId s, p, o;
  };
  std::vector<Assertion> triples;
  for (AxiomId id : detail::live_of_kind(o, AxiomKind::ObjectPropertyAssertion)) {
    const auto a = o.axioms().view(id);
    triples.push_back({a.subject(), a.property(), a.object()});
  }
  // The domains and ranges of p and its super-properties, once per property.
  absl::flat_hash_map<EntityId, std::pair<std::vector<EntityId>, std::vector<EntityId>>> cache;
  auto bounds = [&](EntityId p) -> const std::pair<std::vector<EntityId>, std::vector<EntityId>>& {
    auto [it, fresh] = cache.try_emplace(p);
    if (fresh) {
      EntityIdSet props = subproperties_of(p, edges);
      props.insert(p);
      EntityIdSet seen_d, seen_r;
      for (EntityId q : props) {
        for (EntityId d : o.index().domains.row(q))
          if (seen_d.insert(d).second) it->second.first.push_back(d);
        for (EntityId r : o.index().ranges.row(q))
          if (seen_r.insert(r).second) it->second.second.push_back(r);
      }
      std::sort(it->second.first.begin(), it->second.first.end());
      std::sort(it->second.second.begin(), it->second.second.end());
    }
    return it->second;
  };
  size_t count = 0;
  TypedCheck is_typed(o);
  for (const Assertion& t : triples) {
    const auto& [domains, ranges] = bounds(t.p);
    for (EntityId d : domains)
      if (!is_typed(t.s, d)) TRELVANIC_BRIDGE_TRY(add(o, Axiom::class_assertion(t.s, d), count));
    for (EntityId r : ranges)
      if (!is_typed(t.o, r)) TRELVANIC_BRIDGE_TRY(add(o, Axiom::class_assertion(t.o, r), count));
  }
  return count;
}

//   A1 <= Ep1.B1   A2 == Ep2.B2   p1 <= ... <= p2 (or equal)   B1 <= ... <= B2 (or equal)   A1 != A2
//   ------------------------------------------------------------------------------------------
//   SubClassOf(A1, A2)
//
// Entries come from DL EquivalentClasses(A, Ep.B) (definitions, usable on
// either side) and told SubClassOfExistential(A, p, B) (usable only as the
// subclass side: two classes that merely imply the same existential are not
// thereby related).
Result<size_t> apply_existential_subclass_subsumption(Ontology& o) {
  struct Entry {
    EntityId cls, property, filler;
    bool definition;
  };
  std::vector<Entry> entries;
  const auto& dl = o.dl();
  auto some_of = [&](CeId id) -> std::optional<std::pair<EntityId, EntityId>> {
    if (!dl.has_ce(id)) return std::nullopt;
    const auto c = dl.ce(id);
    if (c.kind != CeKind::Some || c.role().is_inverse() || !dl.has_ce(*c.filler())) return std::nullopt;
    const auto f = dl.ce(*c.filler());
    if (f.kind != CeKind::Atomic) return std::nullopt;
    return std::pair(c.role().property, f.entity());
  };
  auto atomic_of = [&](CeId id) -> std::optional<EntityId> {
    if (!dl.has_ce(id) || dl.ce(id).kind != CeKind::Atomic) return std::nullopt;
    return dl.ce(id).entity();
  };
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    const auto a = dl.axiom(i);
    if (a.kind != DlAxiomKind::EquivalentClasses) continue;
    const std::vector<CeId> ops(a.classes().begin(), a.classes().end());
    for (size_t k = 1; k < ops.size(); ++k) {
      auto add_pair = [&](CeId x, CeId y) {
        auto cls = atomic_of(x);
        auto some = some_of(y);
        if (cls && some) entries.push_back({*cls, some->first, some->second, true});
      };
      add_pair(ops[k - 1], ops[k]);
      add_pair(ops[k], ops[k - 1]);
    }
  }
  for (AxiomId id : detail::live_of_kind(o, AxiomKind::SubClassOfExistential)) {
    const auto a = o.axioms().view(id);
    entries.push_back({a.subclass(), a.property(), a.filler(), false});
  }
  if (entries.size() < 2) return size_t{0};
  auto key = [](const Entry& e) { return std::tuple(e.cls.value, e.property.value, e.filler.value); };
  std::sort(entries.begin(), entries.end(), [&](const Entry& x, const Entry& y) {
    return std::tuple(key(x), !x.definition) < std::tuple(key(y), !y.definition);
  });
  // Repeats collapse onto the first, which is a definition when any is.
  entries.erase(std::unique(entries.begin(), entries.end(),
                            [&](const Entry& x, const Entry& y) { return key(x) == key(y); }),
                entries.end());
  if (entries.size() < 2) return size_t{0};

  const EdgeMap edges = superproperty_edges(o);
  // Definitions by property, so each entry meets only the definitions whose
  // property is its own or one of its super-properties.
  absl::flat_hash_map<EntityId, std::vector<size_t>> definitions;
  for (size_t j = 0; j < entries.size(); ++j)
    if (entries[j].definition) definitions[entries[j].property].push_back(j);
  size_t count = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    const Entry e1 = entries[i];
    EntityIdSet props = subproperties_of(e1.property, edges);
    props.insert(e1.property);
    std::vector<size_t> matches;
    for (EntityId p : props)
      if (auto it = definitions.find(p); it != definitions.end())
        matches.insert(matches.end(), it->second.begin(), it->second.end());
    std::sort(matches.begin(), matches.end());
    for (size_t j : matches) {
      const Entry e2 = entries[j];
      if (i == j || e1.cls == e2.cls || !subsumed(o, e1.filler, e2.filler)) continue;
      if (row_contains(o.direct_superclasses(e1.cls), e2.cls)) continue;
      TRELVANIC_BRIDGE_TRY(add(o, Axiom::sub_class_of(e1.cls, e2.cls), count));
    }
  }
  return count;
}

}  // namespace trelvanic_bridge
