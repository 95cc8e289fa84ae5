// What the EL engine decides: the OWL constructs it reasons with soundly and
// completely, and the axiom forms among them it reads. The engine's own gate
// and the profile routing both ask these, so no route hands the engine an
// ontology it would refuse and the engine refuses nothing a route sends it.
// The translation into the engine's input (ontology_input.h) still refuses,
// with the axiom's name, anything it cannot express; behind the gate that
// is only what no construct shows (a punned entity used as a class, the
// universal property).
//
// Construct masks are bit sets over `OwlConstruct` (bit n is the construct
// with code n), as the profile rules use them.
//
//   if (engine_takes_constructs(scanned) && engine_takes_form(kind)) ...
//
// Header only, on the core's vocabulary alone: the profile library asks it
// without linking the engine.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "core/axiom.h"
#include "core/dl_expr.h"
#include "core/parse_meta.h"

namespace trelvanic_el {

namespace detail {
constexpr uint64_t construct_mask_of(std::initializer_list<trelvanic_core::OwlConstruct> cs) {
  uint64_t m = 0;
  for (trelvanic_core::OwlConstruct c : cs) m |= uint64_t{1} << static_cast<unsigned>(c);
  return m;
}
}  // namespace detail

// Kept narrow on purpose: a construct joins this list only once the engine
// decides it completely. Named and existential subclass axioms,
// intersections, existentials, equivalent and disjoint classes,
// sub-properties and property chains (the one chain the engine cannot carry,
// a range of the chain's super-property that is not a range of its last
// link, is refused after normalisation), transitive and reflexive
// properties, domains, ranges, class and object-property assertions, and
// the logic-free Annotation and Import. Not: any inverse, functional,
// symmetric, asymmetric or irreflexive property, individual (in)equality,
// data properties and data ranges, and Unknown.
inline constexpr uint64_t kEngineConstructs = detail::construct_mask_of({
    trelvanic_core::OwlConstruct::SubClassOfNamed,
    trelvanic_core::OwlConstruct::SubClassOfExistential,
    trelvanic_core::OwlConstruct::SubClassOfIntersection,
    trelvanic_core::OwlConstruct::ObjectIntersectionOf,
    trelvanic_core::OwlConstruct::ObjectSomeValuesFrom,
    trelvanic_core::OwlConstruct::EquivalentClasses,
    trelvanic_core::OwlConstruct::DisjointClasses,
    trelvanic_core::OwlConstruct::SubObjectPropertyOf,
    trelvanic_core::OwlConstruct::SubObjectPropertyChain,
    trelvanic_core::OwlConstruct::TransitiveObjectProperty,
    trelvanic_core::OwlConstruct::ReflexiveObjectProperty,
    trelvanic_core::OwlConstruct::ObjectPropertyDomain,
    trelvanic_core::OwlConstruct::ObjectPropertyRange,
    trelvanic_core::OwlConstruct::ClassAssertion,
    trelvanic_core::OwlConstruct::ObjectPropertyAssertion,
    trelvanic_core::OwlConstruct::Annotation,
    trelvanic_core::OwlConstruct::Import,
});

// True when every construct of `mask` is one the engine decides.
[[nodiscard]] constexpr bool engine_takes_constructs(uint64_t mask) { return (mask & ~kEngineConstructs) == 0; }

// The negative assertions record no construct, and the engine does not
// reason with them; these forms are the only ones a construct mask cannot
// show it refuses.
[[nodiscard]] constexpr bool engine_takes_form(trelvanic_core::AxiomKind k) {
  return k != trelvanic_core::AxiomKind::NegativeObjectPropertyAssertion &&
         k != trelvanic_core::AxiomKind::NegativeDataPropertyAssertion;
}
[[nodiscard]] constexpr bool engine_takes_form(trelvanic_core::DlAxiomKind k) {
  return k != trelvanic_core::DlAxiomKind::NegativeObjectPropertyAssertion &&
         k != trelvanic_core::DlAxiomKind::NegativeDataPropertyAssertion;
}

}  // namespace trelvanic_el
