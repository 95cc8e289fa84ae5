#include "profile/rules.h"

#include <bit>
#include <initializer_list>

#include <fmt/format.h>

namespace trelvanic_profile {

using trelvanic_core::kOwlConstructCount;
using trelvanic_core::owl_construct_name;
using C = OwlConstruct;

namespace {

constexpr ConstructMask mask_of(std::initializer_list<C> cs) {
  ConstructMask m = 0;
  for (C c : cs) m |= construct_bit(c);
  return m;
}

constexpr ConstructMask kOutsideEl = mask_of({
    C::ObjectUnionOf, C::ObjectComplementOf, C::ObjectAllValuesFrom, C::ObjectOneOf,
    C::ObjectCardinality, C::ObjectHasValue, C::ObjectHasSelf, C::DisjointObjectProperties,
    C::DisjointUnion, C::SubObjectPropertyChain, C::EquivalentObjectProperties,
    C::InverseObjectProperties, C::SymmetricObjectProperty, C::AsymmetricObjectProperty,
    C::ReflexiveObjectProperty, C::IrreflexiveObjectProperty, C::FunctionalObjectProperty,
    C::InverseFunctionalObjectProperty, C::HasKey, C::IndividualEquality, C::ClassAssertion,
    C::ObjectPropertyAssertion, C::DataPropertyAssertion, C::SwrlRule,
});

constexpr ConstructMask kOutsideRl = mask_of({
    C::SubClassOfExistential, C::SubClassOfIntersection, C::ObjectIntersectionOf, C::ObjectUnionOf,
    C::ObjectComplementOf, C::ObjectAllValuesFrom, C::ObjectSomeValuesFrom, C::ObjectOneOf,
    C::ObjectCardinality, C::ObjectHasValue, C::ObjectHasSelf, C::DisjointUnion, C::HasKey,
    C::DataPropertyAssertion, C::DataPropertyAxiom, C::Datatype, C::SwrlRule,
});

// OWL 2 QL admits no universal restriction, so ObjectAllValuesFrom is listed.
constexpr ConstructMask kOutsideQl = mask_of({
    C::SubClassOfExistential, C::SubClassOfIntersection, C::ObjectIntersectionOf, C::ObjectUnionOf,
    C::ObjectComplementOf, C::ObjectAllValuesFrom, C::ObjectSomeValuesFrom, C::ObjectOneOf,
    C::ObjectCardinality, C::ObjectHasValue, C::ObjectHasSelf, C::DisjointUnion,
    C::SubObjectPropertyChain, C::EquivalentObjectProperties, C::InverseObjectProperties,
    C::TransitiveObjectProperty, C::SymmetricObjectProperty, C::AsymmetricObjectProperty,
    C::ReflexiveObjectProperty, C::IrreflexiveObjectProperty, C::FunctionalObjectProperty,
    C::InverseFunctionalObjectProperty, C::HasKey, C::IndividualEquality, C::ClassAssertion,
    C::ObjectPropertyAssertion, C::DataPropertyAssertion, C::SwrlRule,
});

constexpr ConstructMask kElRefused = mask_of({
    C::ObjectUnionOf, C::ObjectComplementOf, C::ObjectAllValuesFrom, C::ObjectOneOf,
    C::ObjectCardinality, C::ObjectHasValue, C::ObjectHasSelf, C::DisjointUnion,
    C::SubObjectPropertyChain, C::HasKey, C::SwrlRule,
});

static_assert(std::popcount(kOutsideEl) == 24);
static_assert(std::popcount(kOutsideRl) == 17);
static_assert(std::popcount(kOutsideQl) == 28);
static_assert(std::popcount(kElRefused) == 11);
// Of the constructs plain EL classification refuses, the engine takes only
// property chains.
static_assert((rules::el_engine_mask() & kElRefused) == mask_of({C::SubObjectPropertyChain}));

constexpr ConstructMask kAllConstructs = (ConstructMask{1} << kOwlConstructCount) - 1;

}  // namespace

std::string_view owl_profile_name(OwlProfile p) {
  switch (p) {
    case OwlProfile::El: return "El";
    case OwlProfile::Rl: return "Rl";
    case OwlProfile::Ql: return "Ql";
    case OwlProfile::Dl: return "Dl";
  }
  return "El";
}

std::string Error::display() const { return fmt::format("profile detection failed: {}", message_); }

ConstructMask construct_mask(const ConstructSet& set) {
  ConstructMask m = 0;
  for (C c : set) m |= construct_bit(c);
  return m;
}

ConstructSet construct_set(ConstructMask mask) {
  ConstructSet out;
  mask &= kAllConstructs;
  while (mask != 0) {
    const int bit = std::countr_zero(mask);
    out.insert(out.end(), static_cast<C>(bit));
    mask &= mask - 1;
  }
  return out;
}

namespace rules {

ConstructMask outside_el_mask() { return kOutsideEl; }
ConstructMask outside_rl_mask() { return kOutsideRl; }
ConstructMask outside_ql_mask() { return kOutsideQl; }
ConstructMask el_refused_mask() { return kElRefused; }

namespace el {
bool satisfies_el(const ConstructSet& set) { return (construct_mask(set) & kOutsideEl) == 0; }
ConstructSet el_classification_forbidden_in(const ConstructSet& set) {
  return construct_set(construct_mask(set) & kElRefused);
}
bool el_engine_accepts(const ConstructSet& set) { return el_engine_accepts(construct_mask(set)); }
}  // namespace el

namespace rl {
bool satisfies_rl(const ConstructSet& set) { return (construct_mask(set) & kOutsideRl) == 0; }
}  // namespace rl

namespace ql {
bool satisfies_ql(const ConstructSet& set) { return (construct_mask(set) & kOutsideQl) == 0; }
}  // namespace ql

namespace dl {

std::vector<ProfileDiagnostic> dl_diagnostics(const ConstructSet& set) {
  const ConstructMask m = construct_mask(set);
  std::vector<ProfileDiagnostic> out;
  ConstructMask emitted = 0;
  auto emit = [&](ConstructMask group, std::string_view message) {
    for (C c : construct_set(group & ~emitted)) {
      out.push_back({std::string(owl_construct_name(c)), std::string(message)});
    }
    emitted |= group;
  };
  if ((m & kOutsideEl) != 0) emit(m & kOutsideEl, "construct is outside OWL 2 EL (mapped axiom rules out OWL 2 EL)");
  if ((m & kOutsideRl) != 0) emit(m & kOutsideRl, "construct is outside OWL 2 RL (mapped axiom rules out OWL 2 RL)");
  emit(m & mask_of({C::SwrlRule, C::Unknown}), "construct requires OWL 2 DL reasoning");
  return out;
}

ProfileDiagnostic skipped_only_dl_diagnostic() {
  return {"SkippedAxioms", "source contains constructs but no mapped TBox axioms; classified as DL"};
}

}  // namespace dl
}  // namespace rules
}  // namespace trelvanic_profile
