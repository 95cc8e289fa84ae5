#include "dl/abox_checks.h"

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
using trelvanic_core::ClassExprView;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::DlStore;
using trelvanic_core::EntityId;
using trelvanic_core::Ontology;

namespace {

constexpr std::string_view kBottomObjectProperty = "http://www.w3.org/2002/07/owl#bottomObjectProperty";
constexpr std::string_view kBottomDataProperty = "http://www.w3.org/2002/07/owl#bottomDataProperty";
constexpr std::string_view kOwlNothing = "http://www.w3.org/2002/07/owl#Nothing";

DirectedRole role_of(const ClassExprView& e) { return {e.role().property, e.role().is_inverse()}; }

// Calls f(individual, expression view) for every complex type; stops when f
// answers true and answers whether it did.
template <class F>
bool any_expr_type(const Ontology& ontology, const AboxFacts& facts, F&& f) {
  const DlStore& dl = ontology.dl();
  for (const auto& [a, types] : facts.types())
    for (CeId x : types.exprs)
      if (f(EntityId(a), dl.ce(x))) return true;
  return false;
}

// An at-most bound stated by a type: ≤n R.D, or =n R.D.
struct Bound {
  DirectedRole role;
  uint32_t n = 0;
  std::optional<CeId> filler;
};

std::optional<Bound> upper_bound(const ClassExprView& e) {
  if (e.kind != CeKind::MaxCardinality && e.kind != CeKind::ExactCardinality) return std::nullopt;
  return Bound{role_of(e), e.n(), e.filler()};
}

// At least n R-successors in a filler: ≥n R.E, =n R.E, ∃R.E (n = 1).
std::optional<Bound> lower_bound(const ClassExprView& e) {
  if (e.kind == CeKind::Some) return Bound{role_of(e), 1, e.filler()};
  if (e.kind == CeKind::HasValue) return Bound{role_of(e), 1, std::nullopt};  // counted without filler
  if (e.kind != CeKind::MinCardinality && e.kind != CeKind::ExactCardinality) return std::nullopt;
  return Bound{role_of(e), e.n(), e.filler()};
}

// ∃R.⊤ or ≥1 R.⊤ (what one R-link proves): the role R, or none.
std::optional<DirectedRole> has_successor_role(const Ontology& ontology, CeId x) {
  const DlStore& dl = ontology.dl();
  if (!dl.has_ce(x)) return std::nullopt;
  auto e = dl.ce(x);
  const bool some = e.kind == CeKind::Some || (e.kind == CeKind::MinCardinality && e.n() == 1);
  if (!some || !is_top_filler(ontology, e.filler())) return std::nullopt;
  return role_of(e);
}

}  // namespace

bool abox_property_characteristic_clash(const Ontology& ontology, const AboxFacts& facts) {
  std::vector<EntityId> irreflexive, asymmetric;
  ontology.axioms().for_each_live([&](AxiomId, const AxiomView& axiom) {
    if (axiom.kind() == AxiomKind::IrreflexiveObjectProperty) irreflexive.push_back(axiom.id(0));
    if (axiom.kind() == AxiomKind::AsymmetricObjectProperty) asymmetric.push_back(axiom.id(0));
  });
  const DlStore& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i)
    if (dl.axiom(i).kind == DlAxiomKind::IrreflexiveObjectProperty) irreflexive.push_back(dl.axiom(i).property());

  for (EntityId p : irreflexive) {
    const DirectedRole r{p, false};
    for (EntityId a : facts.subjects(r)) {
      auto next = facts.successors(a, r);
      if (std::find(next.begin(), next.end(), a) != next.end()) return true;
    }
  }
  // Asymmetric: no pair both ways, and so no loop either.
  for (EntityId p : asymmetric) {
    const DirectedRole r{p, false};
    for (EntityId a : facts.subjects(r)) {
      auto forward = facts.successors(a, r);
      auto backward = facts.successors(a, r.flipped());
      for (EntityId b : forward)
        if (std::find(backward.begin(), backward.end(), b) != backward.end()) return true;
    }
  }
  return false;
}

bool abox_bottom_property_clash(const Ontology& ontology, const AboxFacts& facts) {
  auto bottom_object = ontology.lookup_entity(kBottomObjectProperty);
  auto bottom_data = ontology.lookup_entity(kBottomDataProperty);
  if (!bottom_object && !bottom_data) return false;
  return any_expr_type(ontology, facts, [&](EntityId, const ClassExprView& e) {
    switch (e.kind) {
      case CeKind::Some:
      case CeKind::HasValue:
        return bottom_object && e.role().property == *bottom_object;
      case CeKind::MinCardinality:
      case CeKind::ExactCardinality:
        return bottom_object && e.n() >= 1 && e.role().property == *bottom_object;
      case CeKind::DataSome:
      case CeKind::DataHasValue:
        return bottom_data && e.property() == *bottom_data;
      case CeKind::DataMinCardinality:
      case CeKind::DataExactCardinality:
        return bottom_data && e.n() >= 1 && e.property() == *bottom_data;
      default:
        return false;
    }
  });
}

bool abox_max_cardinality_zero_clash(const Ontology& ontology, const AboxFacts& facts) {
  return any_expr_type(ontology, facts, [&](EntityId a, const ClassExprView& e) {
    auto bound = upper_bound(e);
    return bound && bound->n == 0 && is_top_filler(ontology, bound->filler) &&
           !facts.successors(a, bound->role).empty();
  });
}

bool abox_max_cardinality_exceeded_clash(const Ontology& ontology, const AboxFacts& facts) {
  return any_expr_type(ontology, facts, [&](EntityId a, const ClassExprView& e) {
    auto bound = upper_bound(e);
    return bound && is_top_filler(ontology, bound->filler) &&
           facts.has_different(facts.successors(a, bound->role), bound->n + 1);
  });
}

bool abox_positive_negative_property_clash(const Ontology& ontology, const AboxFacts& facts) {
  auto linked = [&](EntityId s, EntityId p, EntityId o) {
    auto next = facts.successors(s, {p, false});
    return std::find(next.begin(), next.end(), o) != next.end();
  };
  const DlStore& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    if (axiom.kind == DlAxiomKind::NegativeObjectPropertyAssertion &&
        linked(axiom.subject(), axiom.property(), axiom.object()))
      return true;
  }
  bool clash = false;
  ontology.axioms().for_each_live([&](AxiomId, const AxiomView& axiom) {
    if (!clash && axiom.kind() == AxiomKind::NegativeObjectPropertyAssertion)
      clash = linked(axiom.id(0), axiom.id(1), axiom.id(2));
  });
  return clash;
}

bool abox_property_self_disjoint_clash(const Ontology& ontology, const AboxFacts& facts) {
  const DlStore& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    if (axiom.kind != DlAxiomKind::DisjointObjectProperties) continue;
    auto props = axiom.entities();
    for (size_t j = 0; j < props.size(); ++j)
      for (size_t k = j + 1; k < props.size(); ++k)
        if (props[j] == props[k] && facts.has_link({props[j], false})) return true;
  }
  return false;
}

bool abox_self_disjoint_restriction_clash(const Ontology& ontology, const AboxFacts& facts) {
  const DlStore& dl = ontology.dl();
  auto nothing = ontology.lookup_entity(kOwlNothing);
  auto is_bottom = [&](CeId x) {
    if (!dl.has_ce(x)) return false;
    auto e = dl.ce(x);
    return e.kind == CeKind::Bottom || (e.kind == CeKind::Atomic && nothing && e.entity() == *nothing);
  };
  auto instantiated = [&](CeId x) {
    if (!dl.has_ce(x)) return false;
    if (auto role = has_successor_role(ontology, x)) return facts.has_link(*role);
    auto e = dl.ce(x);
    for (const auto& [a, types] : facts.types()) {
      if (e.kind == CeKind::Atomic ? types.named.contains(e.entity().value)
                                   : std::find(types.exprs.begin(), types.exprs.end(), x) != types.exprs.end())
        return true;
    }
    return false;
  };
  // An individual whose types reach ⊥ (through X ⊑ ⊥ of a named X).
  for (const auto& [a, types] : facts.types()) {
    if (nothing && types.named.contains(nothing->value)) return true;
    if (std::any_of(types.exprs.begin(), types.exprs.end(), is_bottom)) return true;
  }
  // X is empty when stated disjoint with itself (DisjointClasses(X X),
  // which the loader may store as X ⊑ ⊥).
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    if (axiom.kind == DlAxiomKind::SubClassOf && is_bottom(axiom.sup()) && instantiated(axiom.sub())) return true;
    if (axiom.kind != DlAxiomKind::DisjointClasses) continue;
    auto ops = axiom.classes();
    for (size_t j = 0; j < ops.size(); ++j)
      for (size_t k = j + 1; k < ops.size(); ++k)
        if (ops[j] == ops[k] && instantiated(ops[j])) return true;
  }
  return false;
}

bool abox_complement_typing_clash(const Ontology& ontology, const AboxFacts& facts) {
  const DlStore& dl = ontology.dl();
  for (const auto& [a, types] : facts.types()) {
    for (CeId x : types.exprs) {
      auto e = dl.ce(x);
      if (e.kind != CeKind::Not || !dl.has_ce(e.operand())) continue;
      auto inner = dl.ce(e.operand());
      if (inner.kind == CeKind::Atomic ? types.named.contains(inner.entity().value)
                                       : std::find(types.exprs.begin(), types.exprs.end(), e.operand()) !=
                                             types.exprs.end())
        return true;
    }
  }
  return false;
}

bool abox_complement_existential_property_clash(const Ontology& ontology, const AboxFacts& facts) {
  // Named classes A with ∃R.⊤ ⊑ A, with their roles R.
  absl::flat_hash_map<uint32_t, std::vector<DirectedRole>> implied_by_successor;
  const DlStore& dl = ontology.dl();
  auto atomic = [&](CeId x) -> std::optional<EntityId> {
    if (!dl.has_ce(x) || dl.ce(x).kind != CeKind::Atomic) return std::nullopt;
    return dl.ce(x).entity();
  };
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    switch (axiom.kind) {
      case DlAxiomKind::EquivalentClasses:
        for (CeId named : axiom.classes())
          if (auto a = atomic(named))
            for (CeId other : axiom.classes())
              if (auto r = has_successor_role(ontology, other)) implied_by_successor[a->value].push_back(*r);
        break;
      case DlAxiomKind::SubClassOf:
        if (auto a = atomic(axiom.sup()))
          if (auto r = has_successor_role(ontology, axiom.sub())) implied_by_successor[a->value].push_back(*r);
        break;
      case DlAxiomKind::ObjectPropertyDomain:
        if (auto a = atomic(axiom.domain())) implied_by_successor[a->value].push_back({axiom.property(), false});
        break;
      case DlAxiomKind::ObjectPropertyRange:
        if (auto a = atomic(axiom.range())) implied_by_successor[a->value].push_back({axiom.property(), true});
        break;
      default:
        break;
    }
  }
  ontology.axioms().for_each_live([&](AxiomId, const AxiomView& axiom) {
    if (axiom.kind() == AxiomKind::ObjectPropertyDomain)
      implied_by_successor[axiom.id(1).value].push_back({axiom.id(0), false});
    if (axiom.kind() == AxiomKind::ObjectPropertyRange)
      implied_by_successor[axiom.id(1).value].push_back({axiom.id(0), true});
  });
  return any_expr_type(ontology, facts, [&](EntityId x, const ClassExprView& e) {
    if (e.kind != CeKind::Not) return false;
    if (auto r = has_successor_role(ontology, e.operand())) return !facts.successors(x, *r).empty();
    auto a = atomic(e.operand());
    if (!a) return false;
    auto it = implied_by_successor.find(a->value);
    if (it == implied_by_successor.end()) return false;
    return std::any_of(it->second.begin(), it->second.end(),
                       [&](DirectedRole r) { return !facts.successors(x, r).empty(); });
  });
}

bool abox_min_card_exceeds_individual_max_card_clash(const Ontology& ontology, const AboxFacts& facts) {
  const DlStore& dl = ontology.dl();
  for (const auto& [a, types] : facts.types()) {
    std::vector<Bound> uppers, lowers;
    for (CeId x : types.exprs) {
      auto e = dl.ce(x);
      if (auto b = upper_bound(e)) uppers.push_back(*b);
      if (auto b = lower_bound(e)) lowers.push_back(*b);
    }
    if (uppers.empty() || lowers.empty()) continue;
    for (const Bound& max : uppers)
      for (const Bound& min : lowers) {
        if (min.n <= max.n) continue;
        const bool filler_fits = is_top_filler(ontology, max.filler) || (min.filler && *min.filler == *max.filler);
        if (!filler_fits) continue;
        auto above = facts.up(min.role);
        if (min.role == max.role || std::find(above.begin(), above.end(), max.role) != above.end()) return true;
      }
  }
  return false;
}

bool abox_functional_different_individuals_clash(const Ontology& ontology, const AboxFacts& facts) {
  std::vector<DirectedRole> at_most_one;
  ontology.axioms().for_each_live([&](AxiomId, const AxiomView& axiom) {
    if (axiom.kind() == AxiomKind::FunctionalObjectProperty) at_most_one.push_back({axiom.id(0), false});
    if (axiom.kind() == AxiomKind::InverseFunctionalObjectProperty) at_most_one.push_back({axiom.id(0), true});
  });
  const DlStore& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i)
    if (dl.axiom(i).kind == DlAxiomKind::InverseFunctionalObjectProperty)
      at_most_one.push_back({dl.axiom(i).property(), true});
  for (DirectedRole r : at_most_one)
    for (EntityId a : facts.subjects(r))
      if (facts.has_different(facts.successors(a, r), 2)) return true;
  return false;
}

}  // namespace trelvanic_dl
