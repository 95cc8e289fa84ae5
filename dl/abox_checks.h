// Clash checks over the assertions of an ontology, each run by one stage of
// the consistency cascade before any clause form is built.
//
//   auto facts = AboxFacts::collect(ontology);
//   if (abox_complement_typing_clash(ontology, facts)) ...  // inconsistent
//
// Each check answers true only for a contradiction that holds in every
// interpretation: the facts it reads are entailed (see abox_facts.h), and
// individuals count as distinct only when declared different. False means
// "nothing found here"; the later stages decide.
#pragma once

#include "core/ontology.h"
#include "dl/abox_facts.h"

namespace trelvanic_dl {

// p(a, a) for an irreflexive p, or p(a, b) and p(b, a) for an asymmetric p
// (links read over the role hierarchy, so a symmetric p gives both).
[[nodiscard]] bool abox_property_characteristic_clash(const trelvanic_core::Ontology& ontology,
                                                      const AboxFacts& facts);
// a ∈ ∃R.C, ≥n R (n ≥ 1), =n R (n ≥ 1), ∃R.{b} or a data counterpart, with R
// the bottom object (data) property, as a conjunct of a's types.
[[nodiscard]] bool abox_bottom_property_clash(const trelvanic_core::Ontology& ontology, const AboxFacts& facts);
// a ∈ ≤0 R or =0 R (unqualified or over ⊤) with an R-link from a.
[[nodiscard]] bool abox_max_cardinality_zero_clash(const trelvanic_core::Ontology& ontology,
                                                   const AboxFacts& facts);
// a ∈ ≤n R or =n R (unqualified or over ⊤) with n + 1 pairwise different
// R-successors.
[[nodiscard]] bool abox_max_cardinality_exceeded_clash(const trelvanic_core::Ontology& ontology,
                                                       const AboxFacts& facts);
// NegativeObjectPropertyAssertion(p a b) with a p-link from a to b.
[[nodiscard]] bool abox_positive_negative_property_clash(const trelvanic_core::Ontology& ontology,
                                                         const AboxFacts& facts);
// DisjointObjectProperties naming p twice (p is empty) with a p-link.
[[nodiscard]] bool abox_property_self_disjoint_clash(const trelvanic_core::Ontology& ontology,
                                                     const AboxFacts& facts);
// An empty X (X ⊑ ⊥, DisjointClasses naming X twice) that has a member: X is
// ≥1 R.⊤ or ∃R.⊤ and some R-link exists, or some individual's type is X.
[[nodiscard]] bool abox_self_disjoint_restriction_clash(const trelvanic_core::Ontology& ontology,
                                                        const AboxFacts& facts);
// a ∈ ¬X and a ∈ X among a's types.
[[nodiscard]] bool abox_complement_typing_clash(const trelvanic_core::Ontology& ontology, const AboxFacts& facts);
// a ∈ ¬A where ∃R.⊤ ⊑ A (a definition, a SubClassOf, a domain or range)
// and a has an R-link.
[[nodiscard]] bool abox_complement_existential_property_clash(const trelvanic_core::Ontology& ontology,
                                                              const AboxFacts& facts);
// a ∈ ≤n R.D and a ∈ ≥m S.E (or ∃S.E, m = 1) with S ⊑ R, m > n and D ⊤ or
// the same expression as E.
[[nodiscard]] bool abox_min_card_exceeds_individual_max_card_clash(const trelvanic_core::Ontology& ontology,
                                                                   const AboxFacts& facts);
// A functional p (inverse-functional: p⁻) with two successors of one
// individual declared different.
[[nodiscard]] bool abox_functional_different_individuals_clash(const trelvanic_core::Ontology& ontology,
                                                               const AboxFacts& facts);

}  // namespace trelvanic_dl
