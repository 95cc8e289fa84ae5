// AboxFacts: what the assertions of an ontology state outright, read once
// for the cheap clash checks of the consistency cascade.
//
//   auto facts = AboxFacts::collect(ontology);
//   for (EntityId b : facts.successors(a, DirectedRole{p, false})) ...
//   facts.different(b, c);                 // declared different
//   const IndividualTypes* t = facts.types_of(a);
//
// Everything here is entailed by the ontology, never more:
//   - links: every asserted property edge, read over each role above its
//     property (sub-properties, equivalences, inverses, symmetry, from both
//     stores); p(a, b) is also the p⁻-link from b to a. Transitivity,
//     chains and equality are not applied, so links may be missing, never
//     invented.
//   - types: for each individual, the conjuncts it must satisfy: its
//     asserted class expressions split at intersections, closed under the
//     named superclasses and definitions of the named classes met (told and
//     DL-store SubClassOf and EquivalentClasses, told existentials).
//   - different: pairs named in one DifferentIndividuals axiom.
// The walks share one step budget; past it the facts stop growing, which
// only weakens the checks that read them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <tuple>
#include <utility>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

#include "core/ids.h"
#include "core/ontology.h"

namespace trelvanic_dl {

// A property read forwards (p) or backwards (p⁻).
struct DirectedRole {
  trelvanic_core::EntityId property;
  bool inverse = false;

  [[nodiscard]] DirectedRole flipped() const { return {property, !inverse}; }
  friend bool operator==(const DirectedRole&, const DirectedRole&) = default;
  template <class H>
  friend H AbslHashValue(H h, const DirectedRole& r) {
    return H::combine(std::move(h), r.property.value, r.inverse);
  }
};

// The conjuncts an individual must satisfy.
struct IndividualTypes {
  absl::flat_hash_set<uint32_t> named;        // class EntityId values
  std::vector<trelvanic_core::CeId> exprs;    // complex conjuncts, each once
  // Told existentials ∃p.F with a named filler: (p, F).
  std::vector<std::pair<trelvanic_core::EntityId, trelvanic_core::EntityId>> told_exists;
};

class AboxFacts {
 public:
  static AboxFacts collect(const trelvanic_core::Ontology& ontology);

  // r itself and every role above it.
  [[nodiscard]] std::span<const DirectedRole> up(DirectedRole r) const;
  // The individuals linked from `subject` over `r`.
  [[nodiscard]] std::span<const trelvanic_core::EntityId> successors(trelvanic_core::EntityId subject,
                                                                     DirectedRole r) const;
  // The subjects that have a link over `r`.
  [[nodiscard]] std::span<const trelvanic_core::EntityId> subjects(DirectedRole r) const;
  [[nodiscard]] bool has_link(DirectedRole r) const { return !subjects(r).empty(); }
  [[nodiscard]] bool different(trelvanic_core::EntityId a, trelvanic_core::EntityId b) const;
  // Whether `pool` holds `k` individuals that are pairwise declared
  // different (a greedy search: true is always right, false may miss one).
  [[nodiscard]] bool has_different(std::span<const trelvanic_core::EntityId> pool, uint32_t k) const;

  [[nodiscard]] const absl::flat_hash_map<uint32_t, IndividualTypes>& types() const { return types_; }
  [[nodiscard]] const IndividualTypes* types_of(trelvanic_core::EntityId a) const;

 private:
  void add_role_edge(DirectedRole from, DirectedRole to);
  void close_roles();
  void add_edge(trelvanic_core::EntityId s, DirectedRole r, trelvanic_core::EntityId o);

  absl::flat_hash_map<DirectedRole, std::vector<DirectedRole>> role_graph_;
  absl::flat_hash_map<DirectedRole, std::vector<DirectedRole>> up_;
  absl::flat_hash_map<std::pair<uint32_t, DirectedRole>, std::vector<trelvanic_core::EntityId>> links_;
  absl::flat_hash_set<std::tuple<uint32_t, DirectedRole, uint32_t>> link_seen_;
  absl::flat_hash_map<DirectedRole, std::vector<trelvanic_core::EntityId>> subjects_;
  // individual → the DifferentIndividuals groups naming it
  absl::flat_hash_map<uint32_t, std::vector<uint32_t>> groups_of_;
  std::vector<absl::flat_hash_set<uint32_t>> groups_;
  absl::flat_hash_map<uint32_t, IndividualTypes> types_;
};

// Whether a restriction's filler is ⊤: none given, the top expression or
// owl:Thing (by its full IRI).
[[nodiscard]] bool is_top_filler(const trelvanic_core::Ontology& ontology, std::optional<trelvanic_core::CeId> filler);

}  // namespace trelvanic_dl
