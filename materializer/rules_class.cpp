// Class rules (cls-*), restrictions and list-valued schema, each with the
// sides fired by a typing "x rdf:type c", by data "u p v" and by the schema
// triples that declare the restriction or the list.
//
//   c owl:intersectionOf (c1..cn)  y a c1 .. y a cn  (cls-int1) => y a c
//   c owl:intersectionOf (c1..cn)  => c sco ci (scm-int; cls-int2 through cax-sco)
//   c owl:unionOf (c1..cn)         => ci sco c (scm-uni; cls-uni through cax-sco)
//   c owl:oneOf (y1..yn)           => yi a c   (cls-oo)
//   x svf y  x onProperty p  u p v  v a y   (cls-svf1; cls-svf2 for y = owl:Thing) => u a x
//   x avf y  x onProperty p  u a x  u p v   (cls-avf)  => v a y
//   x hasValue y  x onProperty p  u a x     (cls-hv1)  => u p y
//   x hasValue y  x onProperty p  u p y     (cls-hv2)  => u a x
//   x maxCardinality 1  x onProperty p  u a x  u p y1  u p y2  (cls-maxc2) => y1 sameAs y2
//   x maxQualifiedCardinality 1  x onProperty p  x onClass c  u a x  u p y1  y1 a c
//     u p y2  y2 a c  (cls-maxqc3; cls-maxqc4 for c = owl:Thing) => y1 sameAs y2
//   scm-hv, scm-svf1/2, scm-avf1/2: subclass links between restrictions
//
// A restriction is recorded once its node has owl:onProperty and its
// filler (and owl:onClass for a qualified one); list-valued axioms once
// their rdf:List is complete. Recording runs the rule over the data
// already stored.
#include <charconv>

#include "materializer/engine.h"
#include "materializer/vocabulary.h"

namespace trelvanic_materializer {

namespace {

// 0 or 1 from a cardinality literal; anything else is not a max-0/1 restriction.
int small_cardinality(const Dictionary& dict, TermId lit) {
  if (!dict.is_literal(lit)) return -1;
  std::string_view v = dict.value(lit);
  while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
  while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
  if (!v.empty() && v.front() == '+') v.remove_prefix(1);
  while (v.size() > 1 && v.front() == '0') v.remove_prefix(1);
  if (v == "0") return 0;
  if (v == "1") return 1;
  return -1;
}

template <typename Map>
const std::vector<std::uint32_t>* lookup(const Map& m, TermId key) {
  auto it = m.find(key);
  return it == m.end() ? nullptr : &it->second;
}

}  // namespace

// cls-int1 fired by "x rdf:type c" for an operand c of intersections.
void Engine::cls_int1(TermId x, TermId c) {
  auto* list = lookup(intersections_by_member_, c);
  if (!list) return;
  const Signature* sig = eq_.trivial() && !dict_.is_literal(x) ? &type_signatures_[x.value] : nullptr;
  for (std::uint32_t i : *list) {
    if (sig) {
      const Signature& mask = intersection_masks_[i];
      if (((*sig)[0] & mask[0]) != mask[0] || ((*sig)[1] & mask[1]) != mask[1]) continue;
    }
    // The operands are a set: the one that failed last moves to the
    // front, as it is the likeliest to fail for the next individual.
    std::vector<TermId>& items = intersections_[i].items;
    std::size_t failed = items.size();
    for (std::size_t k = 0; k < items.size(); ++k)
      if (items[k] != c && !has_type(x, items[k])) {
        failed = k;
        break;
      }
    if (failed == items.size()) derive(x, vocab::rdf_type, intersections_[i].owner);
    else std::swap(items[0], items[failed]);
  }
}

// cls-avf, cls-hv1, cls-maxc2 / cls-maxqc3 fired by "x rdf:type r" for a
// restriction r.
void Engine::restriction_by_member(TermId x, TermId c) {
  auto* list = lookup(restrictions_by_node_, c);
  if (!list) return;
  for (std::uint32_t i : *list) {
    const Restriction r = restrictions_[i];
    TermId p = find(r.property);
    switch (r.kind) {
      case RestrictionKind::kAll: {
        std::vector<TermId> values;
        store_.for_objects(p, x, [&](TermId v) { values.push_back(v); });
        for (TermId v : values) derive(v, vocab::rdf_type, r.filler);
        break;
      }
      case RestrictionKind::kHasValue: derive(x, p, r.filler); break;
      case RestrictionKind::kMax:
        if (r.max == 1) max_one(r, x);
        break;
      case RestrictionKind::kSome: break;
    }
  }
}

// cls-svf1, cls-maxc2 / cls-maxqc3 fired by "x rdf:type y" for a filler y:
// the subjects u of "u p x".
void Engine::restriction_by_filler(TermId x, TermId c) {
  auto* list = lookup(restrictions_by_filler_, c);
  if (!list) return;
  for (std::uint32_t i : *list) {
    const Restriction r = restrictions_[i];
    std::vector<TermId> owners;
    store_.for_subjects(find(r.property), x, [&](TermId u) { owners.push_back(u); });
    for (TermId u : owners) {
      if (r.kind == RestrictionKind::kSome) derive(u, vocab::rdf_type, r.node);
      else if (r.kind == RestrictionKind::kMax && r.max == 1 && has_type(u, r.node)) max_one(r, u);
    }
  }
}

void Engine::max_one(const Restriction& r, TermId u) {
  TermId first{};
  store_.for_objects(find(r.property), find(u), [&](TermId y) {
    if (dict_.is_literal(y) || !has_type(y, r.filler)) return;
    if (!first) first = y;
    else unite_later(first, y);
  });
}

void Engine::restriction_data(std::uint32_t, const Triple& t) {
  if (auto it = has_value_by_pair_.find(Triple{t.predicate, t.object, TermId{}}); it != has_value_by_pair_.end())
    for (std::uint32_t i : it->second) derive(t.subject, vocab::rdf_type, restrictions_[i].node);
  auto* list = lookup(restrictions_by_property_, t.predicate);
  if (!list) return;
  for (std::uint32_t i : *list) {
    const Restriction& r = restrictions_[i];
    switch (r.kind) {
      case RestrictionKind::kSome:
        if (has_type(t.object, r.filler)) derive(t.subject, vocab::rdf_type, r.node);
        break;
      case RestrictionKind::kAll:
        if (has_type(t.subject, r.node)) derive(t.object, vocab::rdf_type, r.filler);
        break;
      case RestrictionKind::kHasValue:  // cls-hv2, through has_value_by_pair_ above
        break;
      case RestrictionKind::kMax:
        if (r.max == 1 && has_type(t.subject, r.node) && has_type(t.object, r.filler)) max_one(r, t.subject);
        break;
    }
  }
}

void Engine::restriction_by_axiom(std::uint32_t, const Triple& t, std::uint8_t) { register_restrictions(t.subject); }

void Engine::register_restrictions(TermId node) {
  std::vector<TermId> props, some, all, values, maxc, maxqc, classes;
  store_.for_objects(vocab::owl_onProperty, node, [&](TermId p) { props.push_back(p); });
  if (props.empty()) return;
  store_.for_objects(vocab::owl_someValuesFrom, node, [&](TermId y) { some.push_back(y); });
  store_.for_objects(vocab::owl_allValuesFrom, node, [&](TermId y) { all.push_back(y); });
  store_.for_objects(vocab::owl_hasValue, node, [&](TermId y) { values.push_back(y); });
  store_.for_objects(vocab::owl_maxCardinality, node, [&](TermId n) { maxc.push_back(n); });
  store_.for_objects(vocab::owl_maxQualifiedCardinality, node, [&](TermId n) { maxqc.push_back(n); });
  store_.for_objects(vocab::owl_onClass, node, [&](TermId c) { classes.push_back(c); });
  for (TermId p : props) {
    for (TermId y : some) add_restriction({RestrictionKind::kSome, node, p, y});
    for (TermId y : all) add_restriction({RestrictionKind::kAll, node, p, y});
    for (TermId y : values) add_restriction({RestrictionKind::kHasValue, node, p, y});
    for (TermId n : maxc) {
      int card = small_cardinality(dict_, n);
      if (card >= 0) add_restriction({RestrictionKind::kMax, node, p, vocab::owl_Thing, static_cast<std::uint32_t>(card)});
    }
    for (TermId n : maxqc) {
      int card = small_cardinality(dict_, n);
      if (card < 0) continue;
      for (TermId c : classes)
        add_restriction({RestrictionKind::kMax, node, p, c, static_cast<std::uint32_t>(card), true});
    }
  }
}

void Engine::add_restriction(const Restriction& r) {
  auto key = std::make_tuple(static_cast<std::uint8_t>(r.kind), r.node.value, r.property.value, r.filler.value,
                             r.max + (r.qualified ? 2u : 0u));
  if (!restriction_seen_.insert(key).second) return;
  auto id = static_cast<std::uint32_t>(restrictions_.size());
  restrictions_.push_back(r);
  if (r.kind == RestrictionKind::kHasValue) has_value_by_pair_[Triple{r.property, find(r.filler), TermId{}}].push_back(id);
  else restrictions_by_property_[r.property].push_back(id);
  restrictions_by_property_all_[r.property].push_back(id);
  restrictions_by_node_[r.node].push_back(id);
  add_flags(r.property, kPropRestriction);
  add_flags(r.node, kClassRestriction);
  bool filler_triggers = (r.kind == RestrictionKind::kSome || (r.kind == RestrictionKind::kMax && r.max == 1)) &&
                         r.filler != vocab::owl_Thing;
  if (filler_triggers || r.kind == RestrictionKind::kAll || r.kind == RestrictionKind::kSome)
    restrictions_by_filler_[r.filler].push_back(id);
  if (filler_triggers) add_flags(r.filler, kClassFiller);
  // The rule over the data already stored.
  std::vector<Triple> data;
  store_.for_predicate(r.property, [&](std::uint32_t i) { data.push_back(store_.at(i)); });
  for (const Triple& d : data) restriction_data(kNoTriple, d);
  std::vector<TermId> members;
  store_.for_subjects(vocab::rdf_type, r.node, [&](TermId u) { members.push_back(u); });
  for (TermId u : members) {
    if (r.kind == RestrictionKind::kHasValue) derive(u, r.property, r.filler);
    if (r.kind == RestrictionKind::kMax && r.max == 1) max_one(r, u);
  }
  restriction_pairs(id);
}

// scm-hv, scm-svf1/2 and scm-avf1/2 between restriction `id` and the others.
void Engine::restriction_pairs(std::uint32_t id) {
  const Restriction r = restrictions_[id];
  if (r.kind == RestrictionKind::kMax) return;
  auto relate = [&](const Restriction& a, const Restriction& b) {
    // Subclass link between two restrictions of the same kind, when their
    // properties and fillers are related.
    TermId pa = find(a.property), pb = find(b.property), fa = find(a.filler), fb = find(b.filler);
    bool sub_p = pa == pb || store_.contains(Triple{pa, vocab::rdfs_subPropertyOf, pb});
    switch (a.kind) {
      case RestrictionKind::kHasValue:  // an instance of a gets the value (cls-hv1), hence b (cls-hv2)
        if (fa == fb && sub_p) derive(a.node, vocab::rdfs_subClassOf, b.node, kCovered);
        break;
      case RestrictionKind::kSome:
        if ((pa == pb && (fa == fb || store_.contains(Triple{fa, vocab::rdfs_subClassOf, fb}))) || (fa == fb && sub_p))
          derive(a.node, vocab::rdfs_subClassOf, b.node);
        break;
      case RestrictionKind::kAll:
        if (pa == pb && (fa == fb || store_.contains(Triple{fa, vocab::rdfs_subClassOf, fb})))
          derive(a.node, vocab::rdfs_subClassOf, b.node);
        if (fa == fb && sub_p) derive(b.node, vocab::rdfs_subClassOf, a.node);
        break;
      case RestrictionKind::kMax: break;
    }
  };
  auto consider = [&](std::uint32_t other) {
    if (other == id || restrictions_[other].kind != r.kind) return;
    relate(r, restrictions_[other]);
    relate(restrictions_[other], r);
  };
  auto consider_all = [&](const std::vector<std::uint32_t>* ids) {
    if (!ids) return;
    std::vector<std::uint32_t> copy = *ids;  // relate() may add schema triples, never restrictions
    for (std::uint32_t o : copy) consider(o);
  };
  TermId p = find(r.property), filler = find(r.filler);
  std::vector<TermId> related;  // properties linked to p by rdfs:subPropertyOf either way
  store_.for_objects(vocab::rdfs_subPropertyOf, p, [&](TermId q) { related.push_back(q); });
  store_.for_subjects(vocab::rdfs_subPropertyOf, p, [&](TermId q) { related.push_back(q); });
  if (r.kind == RestrictionKind::kHasValue) {
    // scm-hv: the same value, on the same or a related property.
    auto by_pair = [&](TermId q) {
      auto it = has_value_by_pair_.find(Triple{q, filler, TermId{}});
      return it == has_value_by_pair_.end() ? nullptr : &it->second;
    };
    consider_all(by_pair(p));
    for (TermId q : related) consider_all(by_pair(q));
    return;
  }
  // scm-svf1/2, scm-avf1/2: the same filler (properties checked by relate),
  // or a filler linked by rdfs:subClassOf.
  consider_all(lookup(restrictions_by_filler_, filler));
  std::vector<TermId> fillers;
  store_.for_objects(vocab::rdfs_subClassOf, filler, [&](TermId y) { fillers.push_back(y); });
  store_.for_subjects(vocab::rdfs_subClassOf, filler, [&](TermId y) { fillers.push_back(y); });
  for (TermId y : fillers)
    if (y != filler) consider_all(lookup(restrictions_by_filler_, y));
}

// scm-svf1, scm-avf1 fired by "c1 rdfs:subClassOf c2": restrictions on one
// property whose fillers are c1 and c2.
void Engine::scm_svf_avf_by_subclass(std::uint32_t, const Triple& t, std::uint8_t) {
  const TermId c1 = t.subject, c2 = t.object;
  if (c1 == c2) return;
  auto* a = lookup(restrictions_by_filler_, c1);
  auto* b = lookup(restrictions_by_filler_, c2);
  if (!a || !b) return;
  std::vector<std::uint32_t> as = *a, bs = *b;
  for (std::uint32_t i : as)
    for (std::uint32_t j : bs) {
      const Restriction &r1 = restrictions_[i], &r2 = restrictions_[j];
      if (r1.kind != r2.kind || find(r1.property) != find(r2.property)) continue;
      if (r1.kind == RestrictionKind::kSome || r1.kind == RestrictionKind::kAll)
        derive(r1.node, vocab::rdfs_subClassOf, r2.node);
    }
}

// scm-hv, scm-svf2, scm-avf2 fired by "p1 rdfs:subPropertyOf p2":
// restrictions with one filler on p1 and p2.
void Engine::scm_svf_avf_by_subproperty(std::uint32_t, const Triple& t, std::uint8_t) {
  const TermId p1 = t.subject, p2 = t.object;
  if (p1 == p2) return;
  auto* a = lookup(restrictions_by_property_all_, p1);
  auto* b = lookup(restrictions_by_property_all_, p2);
  if (!a || !b) return;
  std::vector<std::uint32_t> as = *a, bs = *b;
  for (std::uint32_t i : as)
    for (std::uint32_t j : bs) {
      const Restriction &r1 = restrictions_[i], &r2 = restrictions_[j];
      if (r1.kind != r2.kind || find(r1.filler) != find(r2.filler)) continue;
      if (r1.kind == RestrictionKind::kSome)
        derive(r1.node, vocab::rdfs_subClassOf, r2.node);
      else if (r1.kind == RestrictionKind::kHasValue)
        derive(r1.node, vocab::rdfs_subClassOf, r2.node, kCovered);
      else if (r1.kind == RestrictionKind::kAll)
        derive(r2.node, vocab::rdfs_subClassOf, r1.node);
    }
}

void Engine::list_by_axiom(std::uint32_t, const Triple& t, std::uint8_t) { compile_list(t.subject, t.predicate, t.object); }

void Engine::list_cell_changed(std::uint32_t, const Triple& t, std::uint8_t) {
  changed_cells_.push_back(t.subject);  // compiled in one batch when the queue runs dry
}

void Engine::lists_changed() {
  // Walk back from every changed cell to the list heads and compile the
  // axioms that use a list through them. Cells are batched until the queue
  // runs dry and share one visited set, so a list built cell by cell costs
  // one walk per batch, not one per cell.
  static constexpr TermId kHeaders[] = {vocab::owl_intersectionOf, vocab::owl_unionOf, vocab::owl_oneOf,
                                        vocab::owl_propertyChainAxiom, vocab::owl_hasKey};
  std::vector<TermId> stack;
  stack.swap(changed_cells_);
  absl::flat_hash_set<TermId> seen;
  for (TermId& c : stack) c = find(c);
  std::vector<TermId> cells;  // every cell reached, in walk order
  while (!stack.empty()) {
    TermId c = stack.back();
    stack.pop_back();
    if (!seen.insert(c).second) continue;
    cells.push_back(c);
    store_.for_subjects(vocab::rdf_rest, c, [&](TermId prev) {
      if (!seen.contains(prev)) stack.push_back(prev);
    });
  }
  for (TermId head : cells)
    for (TermId header : kHeaders) {
      std::vector<TermId> owners;
      store_.for_subjects(header, head, [&](TermId x) { owners.push_back(x); });
      for (TermId x : owners) compile_list(x, header, head);
    }
}

void Engine::compile_list(TermId owner, TermId predicate, TermId head) {
  // A list reached again through another of its cells, or named by the
  // axiom after it was complete, is compiled already: it is not read again.
  const Triple key{find(owner), predicate, find(head)};
  if (compiled_lists_.contains(key)) return;
  std::vector<TermId> items;
  if (!read_list(head, items)) return;
  compiled_lists_.insert(key);
  for (TermId& i : items) i = find(i);
  owner = find(owner);
  switch (predicate.value) {
    case vocab::owl_intersectionOf.value:
      register_intersection(owner, items);
      return;
    case vocab::owl_unionOf.value:
      for (TermId m : items) derive(m, vocab::rdfs_subClassOf, owner);
      return;
    case vocab::owl_oneOf.value:
      for (TermId m : items)
        if (!dict_.is_literal(m)) derive(m, vocab::rdf_type, owner);
      return;
    case vocab::owl_propertyChainAxiom.value:
      register_chain(owner, items);
      return;
    case vocab::owl_hasKey.value:
      register_key(owner, items);
      return;
    default:
      return;
  }
}

// "owner owl:intersectionOf (items)" with its list complete: scm-int, the
// operand index of cls-int1, then cls-int1 over the data already stored.
void Engine::register_intersection(TermId owner, const std::vector<TermId>& items) {
  auto id = static_cast<std::uint32_t>(intersections_.size());
  intersections_.push_back({owner, items});
  Signature mask{};
  for (TermId m : items)
    if (m != vocab::owl_Thing) add_to_signature(mask, m);  // owl:Thing holds with no triple
  intersection_masks_.push_back(mask);
  for (TermId m : items) {
    derive(owner, vocab::rdfs_subClassOf, m);
    intersections_by_member_[m].push_back(id);
    add_flags(m, kClassInIntersection);
  }
  // cls-int1 over the data already stored: candidates are the
  // instances of one member other than owl:Thing.
  TermId probe{};
  for (TermId m : items)
    if (m != vocab::owl_Thing) probe = m;
  if (!probe) return;
  std::vector<TermId> candidates;
  store_.for_subjects(vocab::rdf_type, probe, [&](TermId y) { candidates.push_back(y); });
  for (TermId y : candidates) {
    bool all = true;
    for (TermId m : items)
      if (!has_type(y, m)) { all = false; break; }
    if (all) derive(y, vocab::rdf_type, owner);
  }
}

}  // namespace trelvanic_materializer
