#include "dl/saturation.h"

#include <algorithm>

#include "core/cancel.h"
#include "core/dl.h"
#include "core/dl_expr.h"

namespace trelvanic_dl::saturation {

using trelvanic_core::AxiomId;
using trelvanic_core::AxiomKind;
using trelvanic_core::AxiomView;
using trelvanic_core::CeId;
using trelvanic_core::CeKind;
using trelvanic_core::ClassExpr;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::DlStore;
using trelvanic_core::EntityId;
using trelvanic_core::Ontology;
using trelvanic_core::RoleExpr;

void RoleHierarchy::add(EntityId sub, EntityId sup) { supers_[sub].insert(sup); }

void RoleHierarchy::close() {
  for (bool grew = true; grew;) {
    grew = false;
    std::vector<std::pair<EntityId, EntityId>> edges;
    for (const auto& [p, set] : supers_)
      for (EntityId q : set) edges.emplace_back(p, q);
    for (const auto& [p, q] : edges) {
      auto it = supers_.find(q);
      if (it == supers_.end()) continue;
      const std::vector<EntityId> above(it->second.begin(), it->second.end());
      for (EntityId r : above) grew |= supers_[p].insert(r).second;
    }
  }
}

bool RoleHierarchy::is_subrole(EntityId a, EntityId b) const {
  if (a == b) return true;
  const auto* s = supers(a);
  return s != nullptr && s->contains(b);
}

const absl::flat_hash_set<EntityId>* RoleHierarchy::supers(EntityId p) const {
  auto it = supers_.find(p);
  return it == supers_.end() ? nullptr : &it->second;
}

namespace {

using Pair = std::pair<CeId, CeId>;

// The implications and the role hierarchy of an ontology's told axioms.
class Clauses {
 public:
  explicit Clauses(DlStore& dl) : dl_(dl) {}

  std::vector<Pair> implications;
  RoleHierarchy roles;

  void told(const AxiomView& a) {
    switch (a.kind()) {
      case AxiomKind::SubClassOf: return imply(named(a.subclass()), named(a.superclass()));
      case AxiomKind::EquivalentClasses: return equivalent(named_list(a.operands()));
      case AxiomKind::SubClassOfExistential:
        return imply(named(a.subclass()),
                     dl_.intern_ce(ClassExpr::some(RoleExpr::atomic(a.property()), named(a.filler()))));
      case AxiomKind::ObjectPropertyDomain: return domain(RoleExpr::atomic(a.property()), named(a.domain()));
      case AxiomKind::ObjectPropertyRange: return domain(RoleExpr::inverse(a.property()), named(a.range()));
      case AxiomKind::SubObjectPropertyOf: return roles.add(a.sub_property(), a.super_property());
      case AxiomKind::EquivalentObjectProperties: {
        const auto ops = a.operands();
        for (size_t i = 1; i < ops.size(); ++i) {
          roles.add(ops[0], ops[i]);
          roles.add(ops[i], ops[0]);
        }
        return;
      }
      default: return;
    }
  }

  void dl_axiom(const trelvanic_core::DlAxiom& a) {
    switch (a.kind) {
      case DlAxiomKind::SubClassOf: return imply(a.sub(), a.sup());
      case DlAxiomKind::EquivalentClasses: return equivalent(a.classes().to_vector());
      case DlAxiomKind::ObjectPropertyDomain: return domain(RoleExpr::atomic(a.property()), a.domain());
      case DlAxiomKind::ObjectPropertyRange: return domain(RoleExpr::inverse(a.property()), a.range());
      case DlAxiomKind::SubObjectPropertyOf:
        if (!a.sub_role().is_inverse() && !a.sup_role().is_inverse())
          roles.add(a.sub_role().property, a.sup_role().property);
        return;
      case DlAxiomKind::SubObjectPropertyChain: {
        // Only a chain of one named property is a sub-property axiom.
        const auto chain = a.chain().to_vector();
        const RoleExpr sup = a.super_property();
        if (chain.size() == 1 && !chain[0].is_inverse() && !sup.is_inverse()) roles.add(chain[0].property, sup.property);
        return;
      }
      default: return;
    }
  }

 private:
  CeId named(EntityId c) { return dl_.intern_ce(ClassExpr::atomic(c)); }
  std::vector<CeId> named_list(std::span<const EntityId> cs) {
    std::vector<CeId> out;
    for (EntityId c : cs) out.push_back(named(c));
    return out;
  }
  void imply(CeId s, CeId t) {
    if (!dl_.has_ce(s) || !dl_.has_ce(t)) return;
    implications.emplace_back(s, t);
    // C1 ⊔ … ⊔ Cn ⊑ t is Ci ⊑ t for each i.
    const auto view = dl_.ce(s);
    if (view.kind != CeKind::Or) return;
    const auto ops = view.operands().to_vector();
    for (CeId op : ops)
      if (dl_.has_ce(op)) implications.emplace_back(op, t);
  }
  void equivalent(const std::vector<CeId>& ops) {
    for (size_t i = 1; i < ops.size(); ++i) {
      imply(ops[0], ops[i]);
      imply(ops[i], ops[0]);
    }
  }
  void domain(RoleExpr r, CeId c) { imply(dl_.intern_ce(ClassExpr::some(r, dl_.intern_ce(ClassExpr::top()))), c); }

  DlStore& dl_;
};

struct PairHash {
  size_t operator()(const Pair& p) const { return (uint64_t{p.first.value} << 32 | p.second.value) * 0x9E3779B97F4A7C15ull >> 7; }
};

// Beyond this many processed pairs the run stops with what it found: the
// seed only spares tableau tests, and a long told chain would otherwise
// cost memory quadratic in its length.
constexpr size_t kMaxPairs = size_t{1} << 20;

uint64_t role_filler_key(EntityId p, CeId filler) { return uint64_t{p.value} << 32 | filler.value; }

class Saturator {
 public:
  Saturator(const DlStore& dl, const Clauses& clauses) : dl_(dl), roles_(clauses.roles) {
    for (const auto& [s, t] : clauses.implications) {
      pending_.emplace_back(s, t);
      if (s != t) told_[s.value].push_back(t);
    }
    // ∃p.C over a named property by (p, C), the lowest id first.
    for (uint32_t i = 0; i < dl_.ce_count(); ++i) {
      const auto e = dl_.ce(CeId(i));
      if (e.kind != CeKind::Some || e.role().is_inverse()) continue;
      some_.try_emplace(role_filler_key(e.role().property, *e.filler()), CeId(i));
      if (dl_.ce(*e.filler()).kind == CeKind::Top) some_top_.try_emplace(e.role().property, CeId(i));
    }
  }

  Saturation run() {
    Saturation out;
    absl::flat_hash_set<std::pair<EntityId, EntityId>> named_seen;
    trelvanic_core::CancelPoll cancelled;
    while (!pending_.empty()) {
      if (cancelled()) {
        out.cancelled = true;
        break;
      }
      if (processed_.size() >= kMaxPairs) {
        out.truncated = true;
        break;
      }
      const auto [x, y] = pending_.back();
      pending_.pop_back();
      if (!dl_.has_ce(x) || !dl_.has_ce(y) || !processed_.insert({x, y}).second) continue;
      const auto xe = dl_.ce(x);
      const auto ye = dl_.ce(y);
      if (xe.kind == CeKind::Atomic && ye.kind == CeKind::Atomic && named_seen.insert({xe.entity(), ye.entity()}).second)
        out.subsumptions.emplace_back(xe.entity(), ye.entity());
      if (ye.kind == CeKind::And) {
        for (CeId z : ye.operands().to_vector()) push(x, z);
      }
      if (ye.kind == CeKind::Some && !ye.role().is_inverse()) along_role(x, ye.role().property, *ye.filler());
      if (auto it = told_.find(y.value); it != told_.end()) {
        for (CeId z : it->second)
          if (z != x) push(x, z);
      }
    }
    return out;
  }

 private:
  void push(CeId x, CeId y) {
    if (!processed_.contains({x, y})) pending_.emplace_back(x, y);
  }

  // x ⊑ ∃R.C: x is below every existing ∃S.C with R below S, and below
  // ∃S.⊤ for S = R or above it.
  void along_role(CeId x, EntityId r, CeId filler) {
    auto follow = [&](EntityId s) {
      if (s != r) {
        if (auto it = some_.find(role_filler_key(s, filler)); it != some_.end()) push(x, it->second);
      }
      if (auto it = some_top_.find(s); it != some_top_.end()) push(x, it->second);
    };
    follow(r);
    if (const auto* above = roles_.supers(r)) {
      for (EntityId s : *above) follow(s);
    }
  }

  const DlStore& dl_;
  const RoleHierarchy& roles_;
  std::vector<Pair> pending_;
  absl::flat_hash_set<Pair, PairHash> processed_;
  absl::flat_hash_map<uint32_t, std::vector<CeId>> told_;
  absl::flat_hash_map<uint64_t, CeId> some_;
  absl::flat_hash_map<EntityId, CeId> some_top_;
};

}  // namespace

Saturation saturate(Ontology& work) {
  DlStore& dl = work.dl_mut();
  Clauses clauses(dl);
  const auto& store = work.axioms();
  for (uint32_t i = 0; i < store.size(); ++i) {
    const AxiomId id(i);
    if (store.is_removed(id) || store.is_inferred(id)) continue;
    clauses.told(store.view(id));
  }
  // The DL store grows while its axioms are read: each axiom is copied first.
  const size_t dl_axioms = dl.axiom_count();
  for (size_t i = 0; i < dl_axioms; ++i) {
    const auto copy = trelvanic_core::DlAxiom::from_view(dl.axiom(i));
    clauses.dl_axiom(copy);
  }
  clauses.roles.close();
  return Saturator(dl, clauses).run();
}

}  // namespace trelvanic_dl::saturation
