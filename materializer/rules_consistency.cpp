// Rules whose conclusion is "false": run once over the closure at the end
// of each reasoning run; each finding becomes a problem (rule name and
// message). Told triples are walked in insertion order, so the problems of
// a run come out in a fixed order.
//
//   x sameAs y  x differentFrom y (eq-diff1); AllDifferent members with two
//   equal ones (eq-diff2, eq-diff3); x p x for irreflexive p (prp-irp);
//   x p y  y p x for asymmetric p (prp-asyp); x p1 y  x p2 y with p1
//   propertyDisjointWith p2 (prp-pdw) or both in AllDisjointProperties
//   (prp-adp); two different data values of a functional property or of a
//   max-1 restriction (prp-fp, cls-maxc2); a negative property assertion that holds (prp-npa1/2);
//   x a owl:Nothing (cls-nothing2); x a c1  x a c2 with c1 complementOf c2
//   (cls-com); a max-0 restriction with a value (cls-maxc1, cls-maxqc1/2);
//   x a c1  x a c2 with c1 disjointWith c2 (cax-dw) or both in
//   AllDisjointClasses (cax-adc); a literal outside the value space of a
//   datatype it is typed with, or ill-typed (dt-not-type).
#include <algorithm>

#include "materializer/engine.h"
#include "materializer/literal.h"
#include "materializer/vocabulary.h"

namespace trelvanic_materializer {

namespace {

template <typename T>
std::vector<T> collect_subjects(const TripleStore& store, TermId p, TermId o) {
  std::vector<T> out;
  store.for_subjects(p, o, [&](TermId s) { out.push_back(s); });
  return out;
}

// Live triples of one predicate, oldest first.
std::vector<Triple> live(const TripleStore& store, TermId p) {
  std::vector<Triple> out;
  store.for_predicate(p, [&](std::uint32_t i) { out.push_back(store.at(i)); });
  std::reverse(out.begin(), out.end());
  return out;
}

}  // namespace

using namespace vocab;

void Engine::check_consistency() {
  check_different_from();
  check_all_different();
  check_irreflexive_asymmetric();
  check_disjoint_properties();
  check_negative_assertions();
  check_distinct_values();
  check_nothing();
  check_disjoint_classes();
  check_max_zero();
  check_datatypes();
}

// eq-diff1: walk every differentFrom triple ever stored (dead ones keep the
// names as told), oldest first, and report each pair of classes once; then
// the punned owl:sameAs pairs, kept as stated.
void Engine::check_different_from() {
  {
    std::vector<std::uint32_t> all;
    store_.for_predicate_all(owl_differentFrom, [&](std::uint32_t i) { all.push_back(i); });
    absl::flat_hash_set<TermId> seen;
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
      const Triple t = store_.at(*it);
      if (find(t.subject) != find(t.object) || !seen.insert(find(t.subject)).second) continue;
      problem("eq-diff1", show(t.subject) + " and " + show(t.object) + " are both owl:sameAs and owl:differentFrom");
    }
  }
  for (auto [a, b] : punned_same_)
    if (has(a, owl_differentFrom, b) || has(b, owl_differentFrom, a))
      problem("eq-diff1", show(a) + " and " + show(b) + " are both owl:sameAs and owl:differentFrom");
}

// eq-diff2 / eq-diff3
void Engine::check_all_different() {
  std::vector<TermId> items;
  for (TermId x : collect_subjects<TermId>(store_, rdf_type, owl_AllDifferent)) {
    for (TermId list_pred : {owl_members, owl_distinctMembers}) {
      std::vector<TermId> heads;
      store_.for_objects(list_pred, x, [&](TermId h) { heads.push_back(h); });
      for (TermId h : heads) {
        if (!read_list(h, items)) continue;
        // Two positions naming one equality class (the list holds
        // representatives once equality has rewritten it).
        absl::flat_hash_map<TermId, std::size_t> first;
        for (std::size_t k = 0; k < items.size(); ++k) {
          auto [it, fresh] = first.try_emplace(find(items[k]), k);
          if (!fresh)
            problem(list_pred == owl_members ? "eq-diff2" : "eq-diff3",
                    "members " + std::to_string(it->second + 1) + " and " + std::to_string(k + 1) + " of owl:AllDifferent " +
                        show(x) + " are the same individual " + show(find(items[k])));
        }
      }
    }
  }
}

void Engine::check_irreflexive_asymmetric() {
  for (TermId p : collect_subjects<TermId>(store_, rdf_type, owl_IrreflexiveProperty))
    store_.for_predicate(p, [&](std::uint32_t i) {
      const Triple& t = store_.at(i);
      if (t.subject == t.object) problem("prp-irp", show(t.subject) + " is related to itself by irreflexive property " + show(p));
    });
  for (TermId p : collect_subjects<TermId>(store_, rdf_type, owl_AsymmetricProperty))
    store_.for_predicate(p, [&](std::uint32_t i) {
      const Triple t = store_.at(i);
      if (t.subject <= t.object && store_.contains(Triple{t.object, t.predicate, t.subject}))
        problem("prp-asyp", show(t.subject) + " and " + show(t.object) + " are related both ways by asymmetric property " + show(p));
    });
}

// prp-pdw, prp-adp
void Engine::check_disjoint_properties() {
  std::vector<TermId> items;
  auto disjoint_properties = [&](const char* rule, TermId p1, TermId p2) {
    p1 = find(p1);
    p2 = find(p2);
    store_.for_predicate(p1, [&](std::uint32_t i) {
      const Triple t = store_.at(i);
      if (store_.contains(Triple{t.subject, p2, t.object}))
        problem(rule, show(t.subject) + " is related to " + show(t.object) + " by disjoint properties " + show(p1) + " and " + show(p2));
    });
  };
  for (const Triple& t : live(store_, owl_propertyDisjointWith)) disjoint_properties("prp-pdw", t.subject, t.object);
  for (TermId x : collect_subjects<TermId>(store_, rdf_type, owl_AllDisjointProperties)) {
    TermId h = store_.first_object(owl_members, x);
    if (!h || !read_list(h, items)) continue;
    std::vector<TermId> props = items;
    for (std::size_t a = 0; a < props.size(); ++a)
      for (std::size_t b = a + 1; b < props.size(); ++b) disjoint_properties("prp-adp", props[a], props[b]);
  }
}

// prp-npa1, prp-npa2
void Engine::check_negative_assertions() {
  for (const Triple& src : live(store_, owl_sourceIndividual)) {
    TermId x = src.subject, i1 = src.object;
    TermId p = store_.first_object(owl_assertionProperty, x);
    if (!p) continue;
    store_.for_objects(owl_targetIndividual, x, [&](TermId i2) {
      if (has(i1, p, i2))
        problem("prp-npa1", show(i1) + " " + show(p) + " " + show(i2) + " holds but is asserted not to hold");
    });
    store_.for_objects(owl_targetValue, x, [&](TermId lt) {
      if (has(i1, p, lt))
        problem("prp-npa2", show(i1) + " " + show(p) + " " + show(lt) + " holds but is asserted not to hold");
    });
  }
}

// prp-fp and cls-maxc2 over data values: the rules make two values of a
// functional property (or of a max-1 restriction) owl:sameAs; for two
// literals that denote different values that is a contradiction.
void Engine::check_distinct_values() {
  auto distinct_values = [&](const char* rule, TermId x, TermId p, const std::string& why) {
    std::vector<TermId> literals;
    store_.for_objects(p, x, [&](TermId y) {
      if (dict_.is_literal(y)) literals.push_back(y);
    });
    for (std::size_t a = 0; a < literals.size(); ++a)
      for (std::size_t b = a + 1; b < literals.size(); ++b)
        if (literals_differ(dict_, literals[a], literals[b]))
          problem(rule, show(x) + " has the different values " + show(literals[b]) + " and " + show(literals[a]) +
                            " for " + why + " " + show(p));
  };
  for (TermId p : collect_subjects<TermId>(store_, rdf_type, owl_FunctionalProperty)) {
    absl::flat_hash_set<TermId> subjects;
    store_.for_predicate(p, [&](std::uint32_t i) {
      if (dict_.is_literal(store_.at(i).object)) subjects.insert(store_.at(i).subject);
    });
    std::vector<TermId> ordered(subjects.begin(), subjects.end());
    std::sort(ordered.begin(), ordered.end());
    for (TermId x : ordered) distinct_values("prp-fp", x, p, "functional property");
  }
  for (const Restriction& r : restrictions_) {
    if (r.kind != RestrictionKind::kMax || r.max != 1 || r.qualified) continue;
    for (TermId u : collect_subjects<TermId>(store_, rdf_type, find(r.node)))
      distinct_values("cls-maxc2", u, find(r.property), "a maximum-1 restriction on");
  }
}

// cls-nothing2
void Engine::check_nothing() {
  for (TermId x : collect_subjects<TermId>(store_, rdf_type, owl_Nothing))
    problem("cls-nothing2", show(x) + " is an instance of owl:Nothing");
}

// cls-com, cax-dw, cax-adc
void Engine::check_disjoint_classes() {
  std::vector<TermId> items;
  auto disjoint_classes = [&](const char* rule, const char* what, TermId c1, TermId c2) {
    c1 = find(c1);
    c2 = find(c2);
    for (TermId x : collect_subjects<TermId>(store_, rdf_type, c1))
      if (has_type(x, c2))
        problem(rule, show(x) + " is an instance of " + what + " " + show(c1) + " and " + show(c2));
  };
  for (const Triple& t : live(store_, owl_complementOf)) disjoint_classes("cls-com", "complementary classes", t.subject, t.object);
  for (const Triple& t : live(store_, owl_disjointWith)) disjoint_classes("cax-dw", "disjoint classes", t.subject, t.object);
  for (TermId x : collect_subjects<TermId>(store_, rdf_type, owl_AllDisjointClasses)) {
    TermId h = store_.first_object(owl_members, x);
    if (!h || !read_list(h, items)) continue;
    std::vector<TermId> classes = items;
    for (std::size_t a = 0; a < classes.size(); ++a)
      for (std::size_t b = a + 1; b < classes.size(); ++b) disjoint_classes("cax-adc", "disjoint classes", classes[a], classes[b]);
  }
}

// cls-maxc1, cls-maxqc1, cls-maxqc2
void Engine::check_max_zero() {
  for (const Restriction& r : restrictions_) {
    if (r.kind != RestrictionKind::kMax || r.max != 0) continue;
    const char* rule = !r.qualified ? "cls-maxc1" : (r.filler == owl_Thing ? "cls-maxqc2" : "cls-maxqc1");
    TermId p = find(r.property);
    for (TermId u : collect_subjects<TermId>(store_, rdf_type, find(r.node)))
      store_.for_objects(p, u, [&](TermId y) {
        if (has_type(y, r.filler))
          problem(rule, show(u) + " has a value " + show(y) + " for " + show(p) + " but is an instance of a maximum-0 restriction");
      });
  }
}

// dt-not-type: ill-typed literals anywhere, and literals typed with a
// datatype whose value space does not hold them.
void Engine::check_datatypes() {
  for (TermId lit : literal_objects_) {
    if (!literal_well_typed(dict_, lit)) {
      problem("dt-not-type", "ill-typed literal " + show(lit));
      continue;
    }
    store_.for_objects(rdf_type, lit, [&](TermId d) {
      if (literal_in_datatype(dict_, lit, d) == Membership::kOut)
        problem("dt-not-type", "literal " + show(lit) + " is not a value of datatype " + show(d));
    });
  }
}

}  // namespace trelvanic_materializer
