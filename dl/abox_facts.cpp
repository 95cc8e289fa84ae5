#include "dl/abox_facts.h"

#include <algorithm>

#include "core/axiom.h"
#include "core/dl.h"
#include "core/dl_expr.h"

namespace trelvanic_dl {

using trelvanic_core::AxiomId;
using trelvanic_core::AxiomKind;
using trelvanic_core::AxiomView;
using trelvanic_core::CeId;
using trelvanic_core::CeKind;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::DlStore;
using trelvanic_core::EntityId;
using trelvanic_core::Ontology;
using trelvanic_core::RoleExpr;

namespace {

// Steps the type walks of one collection may take in all.
constexpr uint64_t kTypeStepBudget = uint64_t{1} << 21;
// Individuals a clique search looks at.
constexpr size_t kCliquePool = 512;

constexpr std::string_view kOwlThing = "http://www.w3.org/2002/07/owl#Thing";

DirectedRole directed(RoleExpr r) { return {r.property, r.is_inverse()}; }

// What a named class brings along: its told superclasses, the other sides
// of its definitions and its told existentials.
struct ClassConsequences {
  std::vector<CeId> exprs;
  std::vector<EntityId> named;
  std::vector<std::pair<EntityId, EntityId>> exists;
};

using ClassIndex = absl::flat_hash_map<uint32_t, ClassConsequences>;

ClassIndex index_class_consequences(const Ontology& ontology) {
  ClassIndex index;
  const DlStore& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    if (axiom.kind == DlAxiomKind::SubClassOf) {
      if (!dl.has_ce(axiom.sub()) || !dl.has_ce(axiom.sup())) continue;
      auto sub = dl.ce(axiom.sub());
      if (sub.kind == CeKind::Atomic) index[sub.entity().value].exprs.push_back(axiom.sup());
    } else if (axiom.kind == DlAxiomKind::EquivalentClasses) {
      for (CeId named : axiom.classes()) {
        if (!dl.has_ce(named) || dl.ce(named).kind != CeKind::Atomic) continue;
        auto& out = index[dl.ce(named).entity().value].exprs;
        for (CeId other : axiom.classes())
          if (other != named) out.push_back(other);
      }
    }
  }
  ontology.axioms().for_each_live([&](AxiomId, const AxiomView& axiom) {
    switch (axiom.kind()) {
      case AxiomKind::SubClassOf:
        index[axiom.id(0).value].named.push_back(axiom.id(1));
        break;
      case AxiomKind::EquivalentClasses:
        for (EntityId c : axiom.operands())
          for (EntityId d : axiom.operands())
            if (c != d) index[c.value].named.push_back(d);
        break;
      case AxiomKind::SubClassOfExistential:
        index[axiom.id(0).value].exists.emplace_back(axiom.id(1), axiom.id(2));
        break;
      default:
        break;
    }
  });
  return index;
}

// Walks from an individual's asserted classes to every conjunct they bring.
class TypeWalk {
 public:
  TypeWalk(const Ontology& ontology, const ClassIndex& index, uint64_t& budget)
      : dl_(ontology.dl()), index_(index), budget_(budget) {}

  void run(IndividualTypes& out, std::vector<CeId> exprs, std::vector<EntityId> named) {
    absl::flat_hash_set<uint32_t> seen_exprs;
    for (CeId e : out.exprs) seen_exprs.insert(e.value);
    while ((!exprs.empty() || !named.empty()) && budget_ > 0) {
      --budget_;
      if (!named.empty()) {
        const EntityId c = named.back();
        named.pop_back();
        if (!out.named.insert(c.value).second) continue;
        auto it = index_.find(c.value);
        if (it == index_.end()) continue;
        exprs.insert(exprs.end(), it->second.exprs.begin(), it->second.exprs.end());
        named.insert(named.end(), it->second.named.begin(), it->second.named.end());
        for (const auto& e : it->second.exists)
          if (std::find(out.told_exists.begin(), out.told_exists.end(), e) == out.told_exists.end())
            out.told_exists.push_back(e);
        continue;
      }
      const CeId x = exprs.back();
      exprs.pop_back();
      if (!dl_.has_ce(x) || !seen_exprs.insert(x.value).second) continue;
      auto expr = dl_.ce(x);
      switch (expr.kind) {
        case CeKind::Top:
          break;
        case CeKind::Atomic:
          named.push_back(expr.entity());
          break;
        case CeKind::And:
          for (CeId op : expr.operands()) exprs.push_back(op);
          break;
        default:
          out.exprs.push_back(x);
          break;
      }
    }
  }

 private:
  const DlStore& dl_;
  const ClassIndex& index_;
  uint64_t& budget_;
};

}  // namespace

bool is_top_filler(const Ontology& ontology, std::optional<CeId> filler) {
  if (!filler) return true;
  const DlStore& dl = ontology.dl();
  if (!dl.has_ce(*filler)) return false;
  auto expr = dl.ce(*filler);
  if (expr.kind == CeKind::Top) return true;
  if (expr.kind != CeKind::Atomic) return false;
  auto thing = ontology.lookup_entity(kOwlThing);
  return thing && expr.entity() == *thing;
}

void AboxFacts::add_role_edge(DirectedRole from, DirectedRole to) {
  role_graph_[from].push_back(to);
  role_graph_[from.flipped()].push_back(to.flipped());
}

void AboxFacts::close_roles() {
  for (const auto& [start, _] : role_graph_) {
    std::vector<DirectedRole> reached{start};
    absl::flat_hash_set<DirectedRole> seen{start};
    for (size_t i = 0; i < reached.size(); ++i) {
      auto it = role_graph_.find(reached[i]);
      if (it == role_graph_.end()) continue;
      for (DirectedRole next : it->second)
        if (seen.insert(next).second) reached.push_back(next);
    }
    up_.emplace(start, std::move(reached));
  }
}

std::span<const DirectedRole> AboxFacts::up(DirectedRole r) const {
  auto it = up_.find(r);
  if (it != up_.end()) return it->second;
  return {};
}

void AboxFacts::add_edge(EntityId s, DirectedRole r, EntityId o) {
  auto link = [&](EntityId from, DirectedRole role, EntityId to) {
    if (!link_seen_.insert({from.value, role, to.value}).second) return;
    auto& objects = links_[{from.value, role}];
    if (objects.empty()) subjects_[role].push_back(from);
    objects.push_back(to);
  };
  auto roles = up(r);
  if (roles.empty()) {
    link(s, r, o);
    link(o, r.flipped(), s);
    return;
  }
  for (DirectedRole q : roles) {
    link(s, q, o);
    link(o, q.flipped(), s);
  }
}

std::span<const EntityId> AboxFacts::successors(EntityId subject, DirectedRole r) const {
  auto it = links_.find(std::pair{subject.value, r});
  if (it == links_.end()) return {};
  return it->second;
}

std::span<const EntityId> AboxFacts::subjects(DirectedRole r) const {
  auto it = subjects_.find(r);
  if (it == subjects_.end()) return {};
  return it->second;
}

bool AboxFacts::different(EntityId a, EntityId b) const {
  if (a == b) return false;
  auto ia = groups_of_.find(a.value);
  auto ib = groups_of_.find(b.value);
  if (ia == groups_of_.end() || ib == groups_of_.end()) return false;
  const auto& fewer = ia->second.size() <= ib->second.size() ? ia->second : ib->second;
  const EntityId other = ia->second.size() <= ib->second.size() ? b : a;
  for (uint32_t g : fewer)
    if (groups_[g].contains(other.value)) return true;
  return false;
}

bool AboxFacts::has_different(std::span<const EntityId> pool, uint32_t k) const {
  if (k <= 1) return pool.size() >= k;
  if (pool.size() < k) return false;
  pool = pool.subspan(0, std::min(pool.size(), kCliquePool));
  std::vector<EntityId> clique;
  for (size_t start = 0; start + k <= pool.size(); ++start) {
    clique.assign(1, pool[start]);
    for (size_t j = start + 1; j < pool.size(); ++j) {
      const EntityId x = pool[j];
      if (std::all_of(clique.begin(), clique.end(), [&](EntityId y) { return different(x, y); })) {
        clique.push_back(x);
        if (clique.size() >= k) return true;
      }
    }
  }
  return false;
}

const IndividualTypes* AboxFacts::types_of(EntityId a) const {
  auto it = types_.find(a.value);
  return it == types_.end() ? nullptr : &it->second;
}

AboxFacts AboxFacts::collect(const Ontology& ontology) {
  AboxFacts facts;
  const DlStore& dl = ontology.dl();

  // The role hierarchy as far as it bears on links.
  ontology.axioms().for_each_live([&](AxiomId, const AxiomView& axiom) {
    switch (axiom.kind()) {
      case AxiomKind::SubObjectPropertyOf:
        facts.add_role_edge({axiom.id(0), false}, {axiom.id(1), false});
        break;
      case AxiomKind::InverseObjectProperties:
        facts.add_role_edge({axiom.id(0), false}, {axiom.id(1), true});
        facts.add_role_edge({axiom.id(1), true}, {axiom.id(0), false});
        break;
      case AxiomKind::SymmetricObjectProperty:
        facts.add_role_edge({axiom.id(0), false}, {axiom.id(0), true});
        break;
      case AxiomKind::EquivalentObjectProperties:
        for (EntityId p : axiom.operands())
          for (EntityId q : axiom.operands())
            if (p != q) facts.add_role_edge({p, false}, {q, false});
        break;
      default:
        break;
    }
  });
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    if (axiom.kind == DlAxiomKind::SubObjectPropertyOf) {
      facts.add_role_edge(directed(axiom.sub_role()), directed(axiom.sup_role()));
    } else if (axiom.kind == DlAxiomKind::SymmetricObjectProperty) {
      facts.add_role_edge(directed(axiom.role()), directed(axiom.role()).flipped());
    }
  }
  facts.close_roles();

  // Links and difference groups.
  auto add_group = [&](auto members) {
    const auto g = static_cast<uint32_t>(facts.groups_.size());
    auto& group = facts.groups_.emplace_back();
    for (EntityId e : members)
      if (group.insert(e.value).second) facts.groups_of_[e.value].push_back(g);
  };
  std::vector<std::pair<EntityId, std::vector<CeId>>> asserted_exprs;
  std::vector<std::pair<EntityId, EntityId>> asserted_named;
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    switch (axiom.kind) {
      case DlAxiomKind::ObjectPropertyAssertion:
        facts.add_edge(axiom.subject(), directed(axiom.role()), axiom.object());
        break;
      case DlAxiomKind::DifferentIndividuals:
        add_group(axiom.entities());
        break;
      case DlAxiomKind::ClassAssertion:
        asserted_exprs.push_back({axiom.individual(), {axiom.class_expr()}});
        break;
      default:
        break;
    }
  }
  ontology.axioms().for_each_live([&](AxiomId, const AxiomView& axiom) {
    switch (axiom.kind()) {
      case AxiomKind::ObjectPropertyAssertion:
        facts.add_edge(axiom.id(0), {axiom.id(1), false}, axiom.id(2));
        break;
      case AxiomKind::DifferentIndividuals:
        add_group(axiom.operands());
        break;
      case AxiomKind::ClassAssertion:
        asserted_named.emplace_back(axiom.id(0), axiom.id(1));
        break;
      default:
        break;
    }
  });

  // Types: gather each individual's asserted classes, then walk them.
  absl::flat_hash_map<uint32_t, std::pair<std::vector<CeId>, std::vector<EntityId>>> seeds;
  for (auto& [a, exprs] : asserted_exprs) {
    auto& s = seeds[a.value].first;
    s.insert(s.end(), exprs.begin(), exprs.end());
  }
  for (auto [a, c] : asserted_named) seeds[a.value].second.push_back(c);
  const ClassIndex index = index_class_consequences(ontology);
  uint64_t budget = kTypeStepBudget;
  TypeWalk walk(ontology, index, budget);
  for (auto& [a, seed] : seeds) walk.run(facts.types_[a], std::move(seed.first), std::move(seed.second));
  return facts;
}

}  // namespace trelvanic_dl
