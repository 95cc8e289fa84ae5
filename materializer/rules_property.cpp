// Property rules (prp-*) that derive triples: the side fired by a data
// triple "x p y" according to the flags of p, and the side fired by the
// schema triple that declares the property (its domain, superproperty,
// inverse, characteristic, chain or key), which runs the rule over the
// data already stored.
//
//   p rdfs:domain c   x p y    (prp-dom)     p rdfs:range c   x p y   (prp-rng)
//   -------------------                      ------------------
//   x rdf:type c                             y rdf:type c
//
//   p1 rdfs:subPropertyOf p2   x p1 y  (prp-spo1; prp-eqp1/2 through scm-eqp1)
//   ---------------------------------
//   x p2 y
//
//   p1 owl:inverseOf p2   x p1 y  (prp-inv1)     p1 owl:inverseOf p2   x p2 y  (prp-inv2)
//   ----------------------------                 ----------------------------
//   y p2 x                                       y p1 x
//
//   p a SymmetricProperty  x p y  (prp-symp)
//   p a FunctionalProperty  x p y1  x p y2        (prp-fp)  => y1 owl:sameAs y2
//   p a InverseFunctionalProperty  x1 p y  x2 p y (prp-ifp) => x1 owl:sameAs x2
//   p a TransitiveProperty  x p y  y p z          (prp-trp) => x p z
//   p owl:propertyChainAxiom (p1 .. pn)  u1 p1 u2 .. un pn un+1  (prp-spo2) => u1 p un+1
//   c owl:hasKey (p1 .. pn)  x a c  y a c  x pi zi  y pi zi (all i)  (prp-key) => x owl:sameAs y
//
// prp-trp is evaluated right-linearly: a closure triple is extended only by
// base edges (triples of p not derived by prp-trp), and a new base edge
// extends every closure triple ending where it starts. A chain of n edges
// thus costs O(n^2) joins, not O(n^3).
#include <algorithm>
#include <array>

#include "materializer/engine.h"
#include "materializer/vocabulary.h"

namespace trelvanic_materializer {

namespace {
std::uint64_t pair_key(TermId a, TermId b) { return (std::uint64_t{a.value} << 32) | b.value; }
}  // namespace

// prp-dom, prp-rng, fired by data (engine.cpp passes over triples whose
// typings are known to be derived already).
void Engine::prp_dom(std::uint32_t, const Triple& t) {
  store_.for_objects_before(vocab::rdfs_domain, t.predicate, older_than_, [&](TermId c, std::uint8_t f) {
    if (!(f & kCovered)) derive(t.subject, vocab::rdf_type, c);
  });
}

void Engine::prp_rng(std::uint32_t, const Triple& t) {
  store_.for_objects_before(vocab::rdfs_range, t.predicate, older_than_, [&](TermId c, std::uint8_t f) {
    if (!(f & kCovered)) derive(t.object, vocab::rdf_type, c);
  });
}

// prp-dom, prp-rng, fired by a new domain or range axiom: over the data
// already stored; a domain or range derived by scm-dom1/2 or scm-rng1/2
// types nothing new. Of the triples sharing a subject (object), the oldest
// stands for all.
void Engine::prp_dom_rng_by_axiom(std::uint32_t, const Triple& t, std::uint8_t flags) {
  if (flags & kCovered) return;
  const bool domain = t.predicate == vocab::rdfs_domain;
  std::vector<TermId> targets;
  store_.for_predicate_before(t.subject, older_than_, [&](std::uint32_t i) {
    if (domain ? !store_.older_with_subject(i) : !store_.older_with_object(i))
      targets.push_back(domain ? store_.at(i).subject : store_.at(i).object);
  });
  for (TermId x : targets) derive(x, vocab::rdf_type, t.object);
}

void Engine::prp_spo1(std::uint32_t, const Triple& t) {
  store_.for_objects(vocab::rdfs_subPropertyOf, t.predicate, [&](TermId q) {
    if (q != t.predicate) derive(t.subject, q, t.object);
  });
}

// prp-spo1 fired by "p1 rdfs:subPropertyOf p2": every stored p1 triple.
void Engine::prp_spo1_by_axiom(std::uint32_t, const Triple& t, std::uint8_t) {
  if (t.subject == t.object) return;
  std::vector<std::uint32_t> data;
  store_.for_predicate(t.subject, [&](std::uint32_t i) { data.push_back(i); });
  for (std::uint32_t i : data) {
    const Triple d = store_.at(i);
    derive(d.subject, t.object, d.object);
  }
}

void Engine::prp_inv(std::uint32_t, const Triple& t) {
  // Inverses are often declared both ways: derive once per inverse.
  std::array<TermId, 4> seen{};
  std::size_t n = 0;
  store_.for_objects(vocab::owl_inverseOf, t.predicate, [&](TermId q) {
    derive(t.object, q, t.subject);
    if (n < seen.size()) seen[n] = q;
    ++n;
  });
  store_.for_subjects(vocab::owl_inverseOf, t.predicate, [&](TermId q) {
    bool twice = n <= seen.size() ? std::find(seen.begin(), seen.begin() + n, q) != seen.begin() + n
                                  : store_.contains(Triple{t.predicate, vocab::owl_inverseOf, q});
    if (!twice) derive(t.object, q, t.subject);
  });
}

// prp-inv1/2 fired by "p1 owl:inverseOf p2": over the data stored before
// the declaration (newer data meets it in prp_inv). An older live
// declaration of the pair the other way round did this already.
void Engine::prp_inv_by_axiom(std::uint32_t, const Triple& t, std::uint8_t) {
  const TermId s = t.subject, o = t.object;
  std::uint32_t reverse = store_.find(Triple{o, vocab::owl_inverseOf, s});
  if (reverse != kNoTriple && reverse < older_than_ && !store_.dead(reverse)) return;
  std::vector<Triple> data;
  store_.for_predicate_before(s, older_than_, [&](std::uint32_t i) { data.push_back(store_.at(i)); });
  for (const Triple& d : data) derive(d.object, o, d.subject);
  data.clear();
  store_.for_predicate_before(o, older_than_, [&](std::uint32_t i) { data.push_back(store_.at(i)); });
  for (const Triple& d : data) derive(d.object, s, d.subject);
}

void Engine::prp_symp(std::uint32_t, const Triple& t) { derive(t.object, t.predicate, t.subject); }

// prp-symp fired by "p a owl:SymmetricProperty": every stored p triple.
void Engine::prp_symp_by_type(TermId p, TermId) {
  std::vector<Triple> data;
  store_.for_predicate(p, [&](std::uint32_t i) { data.push_back(store_.at(i)); });
  for (const Triple& d : data) derive(d.object, d.predicate, d.subject);
}

// prp-fp / prp-ifp: the new value joins every other value, not just the
// first one met. Uniting with one partner only leaves a value out when two
// later triples pick each other (x1 p y told before p was declared
// functional, then x2 p y and x3 p y derived: x2 meets x3 first and x3
// meets x2). The merges run before the next triple, so the values of one
// subject (object) collapse to one and the next scan is short.
void Engine::prp_fp(std::uint32_t, const Triple& t) {
  store_.for_objects(t.predicate, t.subject, [&](TermId y) {
    if (y != t.object && !dict_.is_literal(y) && !dict_.is_literal(t.object)) unite_later(t.object, y);
  });
}

void Engine::prp_fp_by_type(TermId p, TermId) {
  std::vector<Triple> data;
  store_.for_predicate(p, [&](std::uint32_t i) { data.push_back(store_.at(i)); });
  for (const Triple& d : data) prp_fp(kNoTriple, d);
}

void Engine::prp_ifp(std::uint32_t, const Triple& t) {
  store_.for_subjects(t.predicate, t.object, [&](TermId x) {
    if (x != t.subject) unite_later(t.subject, x);
  });
}

void Engine::prp_ifp_by_type(TermId p, TermId) {
  std::vector<Triple> data;
  store_.for_predicate(p, [&](std::uint32_t i) { data.push_back(store_.at(i)); });
  for (const Triple& d : data) prp_ifp(kNoTriple, d);
}

void Engine::prp_trp(std::uint32_t index, const Triple& t) { transitive_step(index, t); }

void Engine::transitive_step(std::uint32_t index, Triple t) {
  bool base = !(store_.flags(index) & kByTransitivity);
  if (base && base_edges_.insert(t).second) {
    base_successors_[pair_key(t.predicate, t.subject)].push_back(t.object);
    // New base edge x->y: every w->x of the closure gives w->y.
    store_.for_subjects(t.predicate, t.subject, [&](TermId w) { derive(w, t.predicate, t.object, kByTransitivity); });
  }
  // Closure triple x->y: extend by the base edges leaving y.
  auto it = base_successors_.find(pair_key(t.predicate, t.object));
  if (it == base_successors_.end()) return;
  std::size_t n = it->second.size();
  for (std::size_t k = 0; k < n; ++k) {
    // Re-find each time: deriving may grow the map and move the vector.
    TermId z = base_successors_[pair_key(t.predicate, t.object)][k];
    derive(t.subject, t.predicate, z, kByTransitivity);
  }
}

void Engine::prp_trp_by_type(TermId p, TermId) {
  // p just became transitive: every live p triple is a base edge; process
  // them as such (the triples themselves may be processed again later,
  // which only repeats derivations).
  std::vector<std::uint32_t> edges;
  store_.for_predicate(p, [&](std::uint32_t i) { edges.push_back(i); });
  for (std::uint32_t i : edges) {
    if ((store_.flags(i) & kByTransitivity) && p == vocab::rdfs_subClassOf) note_base_link(i);
    store_.clear_flags(i, kByTransitivity);
    if (!store_.dead(i)) transitive_step(i, store_.at(i));
  }
}

void Engine::prp_spo2(std::uint32_t, const Triple& t) {
  auto it = chains_by_property_.find(t.predicate);
  if (it == chains_by_property_.end()) return;
  for (auto [chain, position] : it->second) chain_from(chain, position, t.subject, t.object);
}

void Engine::chain_from(std::uint32_t chain, std::size_t position, TermId u, TermId v) {
  const std::vector<TermId> props = chains_[chain].items;
  TermId result = chains_[chain].owner;
  std::vector<TermId> left{find(u)}, right{find(v)};
  auto step = [&](std::vector<TermId>& frontier, TermId prop, bool backwards) {
    absl::flat_hash_set<TermId> next;
    for (TermId w : frontier) {
      if (backwards) store_.for_subjects(find(prop), w, [&](TermId x) { next.insert(x); });
      else store_.for_objects(find(prop), w, [&](TermId x) { next.insert(x); });
    }
    frontier.assign(next.begin(), next.end());
  };
  for (std::size_t i = position; i-- > 0 && !left.empty();) step(left, props[i], true);
  for (std::size_t i = position + 1; i < props.size() && !right.empty(); ++i) step(right, props[i], false);
  for (TermId a : left)
    for (TermId b : right) derive(a, result, b);
}

void Engine::key_check(TermId x, std::uint32_t key) {
  const ListConstruct k = keys_[key];
  x = find(x);
  if (k.items.empty() || !has_type(x, k.owner)) return;
  TermId p0 = find(k.items[0]);
  std::vector<TermId> candidates;
  store_.for_objects(p0, x, [&](TermId z) {
    store_.for_subjects(p0, z, [&](TermId y) {
      if (y != x) candidates.push_back(y);
    });
  });
  // Keys identify named individuals only (an anonymous individual is never
  // made equal to another by a key).
  if (dict_.kind(x) != TermKind::Iri) return;
  for (TermId y : candidates) {
    if (dict_.kind(y) != TermKind::Iri || !has_type(y, k.owner)) continue;
    bool all = true;
    for (std::size_t i = 1; i < k.items.size() && all; ++i) {
      TermId pi = find(k.items[i]);
      bool shared = false;
      store_.for_objects(pi, x, [&](TermId z) { shared = shared || has(y, pi, z); });
      all = shared;
    }
    if (all) unite_later(x, y);
  }
}

void Engine::prp_key(std::uint32_t, const Triple& t) {
  auto it = keys_by_property_.find(t.predicate);
  if (it == keys_by_property_.end()) return;
  for (std::uint32_t k : it->second) key_check(t.subject, k);
}

// prp-key fired by "x rdf:type c" for a keyed class c.
void Engine::prp_key_by_type(TermId x, TermId c) {
  auto it = keys_by_class_.find(c);
  if (it == keys_by_class_.end()) return;
  for (std::uint32_t k : it->second) key_check(x, k);
}

// "owner owl:propertyChainAxiom (items)" with its list complete: indexed by
// each property of the chain, then prp-spo2 over the data already stored.
void Engine::register_chain(TermId owner, const std::vector<TermId>& items) {
  auto id = static_cast<std::uint32_t>(chains_.size());
  chains_.push_back({owner, items});
  for (std::uint32_t k = 0; k < items.size(); ++k) {
    chains_by_property_[items[k]].push_back({id, k});
    add_flags(items[k], kPropChain);
  }
  if (items.empty()) return;
  std::vector<Triple> data;
  store_.for_predicate(items[0], [&](std::uint32_t i) { data.push_back(store_.at(i)); });
  for (const Triple& d : data) chain_from(id, 0, d.subject, d.object);
}

// "owner owl:hasKey (items)" with its list complete: indexed by class and
// by property, then prp-key over the instances already stored.
void Engine::register_key(TermId owner, const std::vector<TermId>& items) {
  auto id = static_cast<std::uint32_t>(keys_.size());
  keys_.push_back({owner, items});
  keys_by_class_[owner].push_back(id);
  add_flags(owner, kClassKeyed);
  for (TermId p : items) {
    keys_by_property_[p].push_back(id);
    add_flags(p, kPropKey);
  }
  std::vector<TermId> members;
  store_.for_subjects(vocab::rdf_type, owner, [&](TermId x) { members.push_back(x); });
  for (TermId x : members) key_check(x, id);
}

}  // namespace trelvanic_materializer
