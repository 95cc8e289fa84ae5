// Equality rules eq-sym, eq-trans and eq-rep-s/p/o, by union-find.
//
//   x owl:sameAs y                      (eq-sym, eq-trans: the union-find
//   --------------                       classes are symmetric and transitive)
//   y owl:sameAs x
//
//   s owl:sameAs s'   s p o              (eq-rep-s; eq-rep-o alike)
//   ----------------------
//   s' p o
//
// A triple is stored over representatives only. Uniting two classes
// rewrites every live triple that names the absorbed root in any position:
// the old triple is marked dead and its canonical form is inserted (and
// processed, if new). Union by size bounds how often one triple is
// rewritten. eq-ref is not materialised; eq-diff1..3 are consistency
// checks (rules_consistency.cpp). Only individuals are united: owl:sameAs
// between names that are also classes or properties is punning, and under
// the Direct Semantics it says nothing about the class or the property, so
// eq-rep-p and the class positions of eq-rep-s/o are not applied to them.
#include <algorithm>

#include "materializer/engine.h"
#include "materializer/vocabulary.h"

namespace trelvanic_materializer {

void Engine::merge_now(TermId a, TermId b) {
  a = find(a);
  b = find(b);
  if (a == b) return;
  // Literals are data values, not individuals: equal literal terms are
  // already one term, and unequal ones are not united.
  if (dict_.is_literal(a) || dict_.is_literal(b)) return;
  // Names also used as classes or properties are not united (see kSchemaUse).
  if ((flags_of(a) | flags_of(b)) & kSchemaUse) {
    if (a > b) std::swap(a, b);
    if (punned_seen_.insert({a, b}).second) punned_same_.push_back({a, b});
    return;
  }
  auto [rep, absorbed] = eq_.unite(a, b);
  store_.enable_term_lists();
  std::vector<std::uint32_t> touched;
  store_.for_subject(absorbed, [&](std::uint32_t i) { touched.push_back(i); });
  store_.for_predicate(absorbed, [&](std::uint32_t i) { touched.push_back(i); });
  store_.for_object(absorbed, [&](std::uint32_t i) { touched.push_back(i); });
  std::sort(touched.begin(), touched.end());
  touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
  for (std::uint32_t i : touched) store_.kill(i);
  for (std::uint32_t i : touched) {
    const Triple t = store_.at(i);
    std::uint8_t keep = store_.flags(i) & kAsserted;
    Triple c{find(t.subject), find(t.predicate), find(t.object)};
    auto [index, fresh] = store_.insert(c, keep);
    if (fresh) {
      note_schema(c);
      if (c.predicate == vocab::rdfs_subClassOf) note_base_link(index);
      queue_.push_back(index);
    } else if (store_.dead(index)) {
      // An earlier form of the same triple, dead since; cannot happen for
      // canonical triples, kept for safety.
      continue;
    } else {
      store_.set_flags(index, keep);
      if (store_.flags(index) & kByTransitivity) {
        store_.clear_flags(index, kByTransitivity);
        store_.set_flags(index, kRevisit);
        if (c.predicate == vocab::rdfs_subClassOf) note_base_link(index);
        queue_.push_back(index);
      }
    }
  }
  (void)rep;
}

}  // namespace trelvanic_materializer
