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
//   c a owl:Class => c sco c, c sco owl:Thing, owl:Nothing sco c (scm-cls)
//   p a owl:ObjectProperty / owl:DatatypeProperty => p spo p (scm-op, scm-dp)
//
// Each rule has a side per premise that can arrive last; cax-sco, for
// instance, fires by the link and by the typing. The sides that join a
// schema triple with the data of prp-dom, prp-rng, prp-spo1 and prp-inv1/2
// are in rules_property.cpp with their data sides; scm-hv, scm-svf and
// scm-avf in rules_class.cpp with the restrictions.
#include "materializer/engine.h"
#include "materializer/vocabulary.h"

namespace trelvanic_materializer {

void Engine::scm_sco(std::uint32_t, const Triple& t, std::uint8_t flags) {
  const TermId s = t.subject, o = t.object;
  if (s == o) return;
  // scm-sco, right-linear as prp-trp: a link is extended by the base links
  // (not derived by scm-sco) leaving its end, and a new base link extends
  // every link ending at its start. Links derived that way add nothing
  // else that their base links do not add already.
  // Both joins take the older partner only (see engine.h).
  for_base_supers(o, older_than_, [&](TermId c3, std::uint8_t) {
    if (c3 != o && c3 != s) derive(s, vocab::rdfs_subClassOf, c3, kByTransitivity);
  });
  if (!(flags & kByTransitivity))
    store_.for_subjects_before(vocab::rdfs_subClassOf, s, older_than_, [&](TermId c0) {
      if (c0 != s && c0 != o) derive(c0, vocab::rdfs_subClassOf, o, kByTransitivity);
    });
  // scm-eqc2 holds for both orders of the pair; whichever link comes
  // second finds the other, so it concludes both directions.
  if (store_.contains(Triple{o, vocab::rdfs_subClassOf, s})) {
    derive(s, vocab::owl_equivalentClass, o);
    derive(o, vocab::owl_equivalentClass, s);
  }
}

void Engine::scm_eqc1(std::uint32_t, const Triple& t, std::uint8_t) {
  if (t.subject == t.object) return;
  derive(t.subject, vocab::rdfs_subClassOf, t.object);
  derive(t.object, vocab::rdfs_subClassOf, t.subject);
}

void Engine::scm_spo(std::uint32_t, const Triple& t, std::uint8_t) {
  const TermId s = t.subject, o = t.object;
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
}

void Engine::scm_eqp1(std::uint32_t, const Triple& t, std::uint8_t) {
  if (t.subject == t.object) return;
  derive(t.subject, vocab::rdfs_subPropertyOf, t.object);
  derive(t.object, vocab::rdfs_subPropertyOf, t.subject);
}

// scm-dom1/scm-rng1 and scm-dom2/scm-rng2 fired by the domain or range
// axiom: the superclasses of the class, the subproperties of the property.
void Engine::scm_dom_rng_by_axiom(std::uint32_t, const Triple& t, std::uint8_t) {
  store_.for_objects(vocab::rdfs_subClassOf, t.object, [&](TermId c2) {
    if (c2 != t.object) derive(t.subject, t.predicate, c2, kCovered);
  });
  store_.for_subjects(vocab::rdfs_subPropertyOf, t.subject, [&](TermId p1) {
    if (p1 != t.subject) derive(p1, t.predicate, t.object, kCovered);
  });
}

// scm-dom1, scm-rng1 fired by a base "c1 rdfs:subClassOf c2" (a shortcut
// adds nothing its base links do not add).
void Engine::scm_dom1_rng1_by_link(std::uint32_t, const Triple& t, std::uint8_t flags) {
  if (t.subject == t.object || (flags & kByTransitivity)) return;
  store_.for_subjects(vocab::rdfs_domain, t.subject, [&](TermId p) { derive(p, vocab::rdfs_domain, t.object, kCovered); });
  store_.for_subjects(vocab::rdfs_range, t.subject, [&](TermId p) { derive(p, vocab::rdfs_range, t.object, kCovered); });
}

// scm-dom2, scm-rng2 fired by "p1 rdfs:subPropertyOf p2".
void Engine::scm_dom2_rng2_by_link(std::uint32_t, const Triple& t, std::uint8_t) {
  if (t.subject == t.object) return;
  store_.for_objects(vocab::rdfs_domain, t.object, [&](TermId c) { derive(t.subject, vocab::rdfs_domain, c, kCovered); });
  store_.for_objects(vocab::rdfs_range, t.object, [&](TermId c) { derive(t.subject, vocab::rdfs_range, c, kCovered); });
}

// scm-cls: c a owl:Class => c sco c, c sco owl:Thing, owl:Nothing sco c.
void Engine::scm_cls(TermId c, TermId) {
  derive(c, vocab::rdfs_subClassOf, c);
  derive(c, vocab::rdfs_subClassOf, vocab::owl_Thing);
  derive(vocab::owl_Nothing, vocab::rdfs_subClassOf, c);
}

// scm-op, scm-dp: p a owl:ObjectProperty / owl:DatatypeProperty => p spo p.
void Engine::scm_op_dp(TermId p, TermId) { derive(p, vocab::rdfs_subPropertyOf, p); }

// cax-sco fired by "x rdf:type c", along the base links of c (shortcuts
// add nothing their base links do not; links by scm-hv are covered).
void Engine::cax_sco(TermId x, TermId c) {
  for_base_supers(c, older_than_, [&](TermId d, std::uint8_t f) {
    if (d != c && !(f & kCovered)) derive(x, vocab::rdf_type, d);
  });
}

// cax-sco fired by a base, uncovered "c1 rdfs:subClassOf c2": the
// instances of c1 stored before it.
void Engine::cax_sco_by_link(std::uint32_t, const Triple& t, std::uint8_t flags) {
  if (t.subject == t.object || (flags & (kByTransitivity | kCovered))) return;
  store_.for_subjects_before(vocab::rdf_type, t.subject, older_than_, [&](TermId x) { derive(x, vocab::rdf_type, t.object); });
}

}  // namespace trelvanic_materializer
