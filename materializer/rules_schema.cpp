// Schema rules (scm-*) and the class-axiom rule cax-sco, fired by a new
// schema triple; each one also joins the new triple with the data it
// applies to, so schema may arrive after data.
//
//   c1 rdfs:subClassOf c2   c2 rdfs:subClassOf c3  (scm-sco)   c1 sco c2  c2 sco c1  (scm-eqc2)
//   ---------------------------------------------              --------------------
//   c1 rdfs:subClassOf c3                                      c1 owl:equivalentClass c2
//
//   c1 owl:equivalentClass c2  (scm-eqc1)      p1 owl:equivalentProperty p2  (scm-eqp1)
//   -------------------------                  ----------------------------
//   c1 sco c2   c2 sco c1                      p1 spo p2   p2 spo p1
//
//   scm-spo, scm-eqp2: as scm-sco and scm-eqc2 for rdfs:subPropertyOf
//   p domain c1  c1 sco c2 => p domain c2 (scm-dom1);  p2 domain c  p1 spo p2 => p1 domain c (scm-dom2)
//   scm-rng1 and scm-rng2 alike for rdfs:range
//   c1 sco c2  x rdf:type c1 => x rdf:type c2 (cax-sco; cax-eqc1/2 through scm-eqc1)
//
// The data side of prp-dom, prp-rng, prp-spo1 and prp-inv1/2 for a new
// schema triple is here too; rules_property.cpp has the side fired by data.
#include "materializer/engine.h"
#include "materializer/vocabulary.h"

namespace trelvanic_materializer {

void Engine::schema_rules(const Triple& t, std::uint8_t flags) {
  const TermId s = t.subject, o = t.object;
  switch (t.predicate.value) {
    case vocab::rdfs_subClassOf.value: {
      if (s == o) return;
      // scm-sco, right-linear as prp-trp: a link is extended by the base
      // links (not derived by scm-sco) leaving its end, and a new base link
      // extends every link ending at its start. Links derived that way add
      // nothing else that their base links do not add already.
      // Both joins take the older partner only (see engine.h).
      bool base = !(flags & kByTransitivity);
      for_base_supers(o, older_than_, [&](TermId c3, std::uint8_t) {
        if (c3 != o && c3 != s) derive(s, vocab::rdfs_subClassOf, c3, kByTransitivity);
      });
      if (base)
        store_.for_subjects_before(vocab::rdfs_subClassOf, s, older_than_, [&](TermId c0) {
          if (c0 != s && c0 != o) derive(c0, vocab::rdfs_subClassOf, o, kByTransitivity);
        });
      // scm-eqc2 holds for both orders of the pair; whichever link comes
      // second finds the other, so it concludes both directions.
      if (store_.contains(Triple{o, vocab::rdfs_subClassOf, s})) {
        derive(s, vocab::owl_equivalentClass, o);
        derive(o, vocab::owl_equivalentClass, s);
      }
      pairs_for_subclass(s, o);
      if (!base) return;
      store_.for_subjects(vocab::rdfs_domain, s, [&](TermId p) { derive(p, vocab::rdfs_domain, o, kCovered); });
      store_.for_subjects(vocab::rdfs_range, s, [&](TermId p) { derive(p, vocab::rdfs_range, o, kCovered); });
      if (!(flags & kCovered))
        store_.for_subjects_before(vocab::rdf_type, s, older_than_, [&](TermId x) { derive(x, vocab::rdf_type, o); });
      return;
    }
    case vocab::owl_equivalentClass.value:
      if (s == o) return;
      derive(s, vocab::rdfs_subClassOf, o);
      derive(o, vocab::rdfs_subClassOf, s);
      return;
    case vocab::rdfs_subPropertyOf.value: {
      if (s == o) return;
      store_.for_objects(vocab::rdfs_subPropertyOf, o, [&](TermId p3) {
        if (p3 != o) derive(s, vocab::rdfs_subPropertyOf, p3);
      });
      store_.for_subjects(vocab::rdfs_subPropertyOf, s, [&](TermId p0) {
        if (p0 != s) derive(p0, vocab::rdfs_subPropertyOf, o);
      });
      if (store_.contains(Triple{o, vocab::rdfs_subPropertyOf, s})) {  // scm-eqp2, both orders
        derive(s, vocab::owl_equivalentProperty, o);
        derive(o, vocab::owl_equivalentProperty, s);
      }
      store_.for_objects(vocab::rdfs_domain, o, [&](TermId c) { derive(s, vocab::rdfs_domain, c, kCovered); });
      store_.for_objects(vocab::rdfs_range, o, [&](TermId c) { derive(s, vocab::rdfs_range, c, kCovered); });
      std::vector<std::uint32_t> data;
      store_.for_predicate(s, [&](std::uint32_t i) { data.push_back(i); });
      for (std::uint32_t i : data) {
        const Triple d = store_.at(i);
        derive(d.subject, o, d.object);
      }
      pairs_for_subproperty(s, o);
      return;
    }
    case vocab::owl_equivalentProperty.value:
      if (s == o) return;
      derive(s, vocab::rdfs_subPropertyOf, o);
      derive(o, vocab::rdfs_subPropertyOf, s);
      return;
    case vocab::rdfs_domain.value:
    case vocab::rdfs_range.value: {
      bool domain = t.predicate == vocab::rdfs_domain;
      store_.for_objects(vocab::rdfs_subClassOf, o, [&](TermId c2) {
        if (c2 != o) derive(s, t.predicate, c2, kCovered);
      });
      store_.for_subjects(vocab::rdfs_subPropertyOf, s, [&](TermId p1) {
        if (p1 != s) derive(p1, t.predicate, o, kCovered);
      });
      // prp-dom / prp-rng over the data already stored; a domain or range
      // derived by scm-dom1/2 or scm-rng1/2 types nothing new. Of the
      // triples sharing a subject (object), the oldest stands for all.
      if (flags & kCovered) return;
      std::vector<TermId> targets;
      store_.for_predicate_before(s, older_than_, [&](std::uint32_t i) {
        if (domain ? !store_.older_with_subject(i) : !store_.older_with_object(i))
          targets.push_back(domain ? store_.at(i).subject : store_.at(i).object);
      });
      for (TermId x : targets) derive(x, vocab::rdf_type, o);
      return;
    }
    case vocab::owl_inverseOf.value: {
      // prp-inv1/2 over the data stored before this declaration (newer data
      // meets it in property_rules). An older live declaration of the pair
      // the other way round did this already.
      std::uint32_t reverse = store_.find(Triple{o, vocab::owl_inverseOf, s});
      if (reverse != kNoTriple && reverse < older_than_ && !store_.dead(reverse)) return;
      std::vector<Triple> data;
      store_.for_predicate_before(s, older_than_, [&](std::uint32_t i) { data.push_back(store_.at(i)); });
      for (const Triple& d : data) derive(d.object, o, d.subject);
      data.clear();
      store_.for_predicate_before(o, older_than_, [&](std::uint32_t i) { data.push_back(store_.at(i)); });
      for (const Triple& d : data) derive(d.object, s, d.subject);
      return;
    }
    case vocab::owl_onProperty.value:
    case vocab::owl_someValuesFrom.value:
    case vocab::owl_allValuesFrom.value:
    case vocab::owl_hasValue.value:
    case vocab::owl_maxCardinality.value:
    case vocab::owl_maxQualifiedCardinality.value:
    case vocab::owl_onClass.value:
      register_restrictions(s);
      return;
    case vocab::owl_intersectionOf.value:
    case vocab::owl_unionOf.value:
    case vocab::owl_oneOf.value:
    case vocab::owl_propertyChainAxiom.value:
    case vocab::owl_hasKey.value:
      compile_list(s, t.predicate, o);
      return;
    case vocab::rdf_first.value:
    case vocab::rdf_rest.value:
      changed_cells_.push_back(s);  // compiled in one batch when the queue runs dry
      return;
    default:
      return;
  }
}

void Engine::characteristic_header(TermId p, TermId characteristic) {
  if (characteristic == vocab::owl_TransitiveProperty) {
    transitive_header(p);
    return;
  }
  std::vector<Triple> data;
  store_.for_predicate(p, [&](std::uint32_t i) { data.push_back(store_.at(i)); });
  if (characteristic == vocab::owl_SymmetricProperty) {
    for (const Triple& d : data) derive(d.object, d.predicate, d.subject);
  } else if (characteristic == vocab::owl_FunctionalProperty) {
    for (const Triple& d : data)
      store_.for_objects(d.predicate, d.subject, [&](TermId y) {
        if (y != d.object && !dict_.is_literal(y) && !dict_.is_literal(d.object)) unite_later(d.object, y);
      });
  } else if (characteristic == vocab::owl_InverseFunctionalProperty) {
    for (const Triple& d : data)
      store_.for_subjects(d.predicate, d.object, [&](TermId x) {
        if (x != d.subject) unite_later(d.subject, x);
      });
  }
}

}  // namespace trelvanic_materializer
