// Property hierarchy and characteristic steps (RL steps 1 to 5 and 12).
#include "bridge/detail/postprocess_util.h"
#include "bridge/rl_postprocess.h"

namespace trelvanic_bridge {

using trelvanic_core::Axiom;
using trelvanic_core::AxiomId;
using trelvanic_core::AxiomKind;
using trelvanic_core::DlAxiom;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_core::Ontology;
using detail::add;
using detail::has_sub_property;

namespace {

using PairSet = absl::flat_hash_set<std::pair<EntityId, EntityId>>;

// Every (t, w) with w reachable from a key t over one or more edges, w != t.
PairSet closure_pairs(const EdgeMap& edges) {
  PairSet out;
  for (const auto& [t, _] : edges)
    for (EntityId w : subproperties_of(t, edges))
      if (w != t) out.insert({t, w});
  return out;
}

}  // namespace

//   DL  SubObjectPropertyOf(inverse p, inverse q)    p != q
//   ---------------------------------------------------------
//   SubObjectPropertyOf(p, q)
Result<size_t> apply_inverse_subproperty_materialization(Ontology& o) {
  std::vector<std::pair<EntityId, EntityId>> pairs;
  const auto& dl = o.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    const auto a = dl.axiom(i);
    if (a.kind != DlAxiomKind::SubObjectPropertyOf) continue;
    const auto sub = a.sub_role(), sup = a.sup_role();
    if (sub.is_inverse() && sup.is_inverse()) pairs.emplace_back(sub.property, sup.property);
  }
  size_t count = 0;
  for (const auto& [p, q] : pairs)
    if (p != q && !has_sub_property(o, p, q)) TRELVANIC_BRIDGE_TRY(add(o, Axiom::sub_object_property_of(p, q), count));
  return count;
}

//   EquivalentObjectProperties(..., u, ..., v, ...)
//   -----------------------------------------------
//   SubObjectPropertyOf(u, v)
Result<size_t> apply_equivalent_property_subproperties(Ontology& o) {
  std::vector<std::vector<EntityId>> lists;
  for (AxiomId id : detail::live_of_kind(o, AxiomKind::EquivalentObjectProperties)) {
    const auto ops = o.axioms().view(id).operands();
    if (ops.size() >= 2) lists.emplace_back(ops.begin(), ops.end());
  }
  size_t count = 0;
  for (const auto& list : lists)
    for (size_t i = 0; i < list.size(); ++i)
      for (size_t j = 0; j < list.size(); ++j)
        if (i != j && list[i] != list[j] && !has_sub_property(o, list[i], list[j]))
          TRELVANIC_BRIDGE_TRY(add(o, Axiom::sub_object_property_of(list[i], list[j]), count));
  return count;
}

//   t <= ... <= w   (one or more steps, w != t)
//   -------------------------------------------
//   SubObjectPropertyOf(t, w)
Result<size_t> apply_transitive_subproperties(Ontology& o) {
  const PairSet closure = closure_pairs(superproperty_edges(o));
  size_t count = 0;
  for (const auto& [t, w] : closure)
    if (!has_sub_property(o, t, w)) TRELVANIC_BRIDGE_TRY(add(o, Axiom::sub_object_property_of(t, w), count));
  return count;
}

// The same for data properties in the DL store.
size_t apply_transitive_data_subproperties(Ontology& o) {
  const PairSet closure = closure_pairs(data_superproperty_edges(o.dl()));
  PairSet present;
  const auto& dl = o.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    const auto a = dl.axiom(i);
    if (a.kind == DlAxiomKind::SubDataPropertyOf) present.insert({a.sub_data_property(), a.sup_data_property()});
  }
  size_t count = 0;
  for (const auto& [t, w] : closure) {
    if (present.contains({t, w})) continue;
    o.dl_mut().push_axiom(DlAxiom::sub_data_property_of(t, w));
    ++count;
  }
  return count;
}

//   p <= q   q functional (inverse-functional, asymmetric, irreflexive)
//   ------------------------------------------------------------------
//   p functional (...)
//
//   p <= q   p reflexive
//   --------------------
//   q reflexive
Result<size_t> apply_characteristic_propagation(Ontology& o) {
  const EdgeMap edges = superproperty_edges(o);
  const auto& index = o.index();
  using trelvanic_core::PropertyCharacteristic;
  const auto& told_reflexive = index.characteristic(PropertyCharacteristic::Reflexive);
  EntityIdSet reflexive(told_reflexive.begin(), told_reflexive.end());
  constexpr PropertyCharacteristic kDown[] = {PropertyCharacteristic::Functional,
                                              PropertyCharacteristic::InverseFunctional,
                                              PropertyCharacteristic::Asymmetric, PropertyCharacteristic::Irreflexive};
  EntityIdSet down[4];
  for (int k = 0; k < 4; ++k) {
    const auto& set = index.characteristic(kDown[k]);
    down[k].insert(set.begin(), set.end());
  }
  size_t count = 0;
  for (const auto& [p, _] : edges) {
    const EntityIdSet supers = subproperties_of(p, edges);
    for (EntityId q : supers)
      for (int k = 0; k < 4; ++k)
        if (down[k].contains(q) && down[k].insert(p).second)
          TRELVANIC_BRIDGE_TRY(add(o, Axiom::property_characteristic(characteristic_row(kDown[k]).told, p), count));
    if (reflexive.contains(p))
      for (EntityId q : supers)
        if (reflexive.insert(q).second)
          TRELVANIC_BRIDGE_TRY(add(o, Axiom::property_characteristic(AxiomKind::ReflexiveObjectProperty, q), count));
  }
  return count;
}

//   DL SubDataPropertyOf(d, f)   DL FunctionalDataProperty(f)   d a data property
//   -----------------------------------------------------------------------------
//   DL FunctionalDataProperty(d)
size_t apply_functional_data_subproperty_inference(Ontology& o) {
  const EdgeMap edges = data_superproperty_edges(o.dl());
  EntityIdSet functional;
  const auto& dl = o.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    const auto a = dl.axiom(i);
    if (a.kind == DlAxiomKind::FunctionalDataProperty) functional.insert(a.property());
  }
  // Only direct edges: properties made functional here pass nothing on.
  const EntityIdSet fixed = functional;
  size_t count = 0;
  for (const auto& [sub, sups] : edges) {
    bool under_functional = false;
    for (EntityId f : sups) under_functional = under_functional || fixed.contains(f);
    if (!under_functional || functional.contains(sub)) continue;
    auto record = o.entity(sub);
    if (!record || record->kind != EntityKind::DataProperty) continue;
    functional.insert(sub);
    o.dl_mut().push_axiom(DlAxiom::functional_data_property(sub));
    ++count;
  }
  return count;
}

}  // namespace trelvanic_bridge
