// NormalForm: an EL ontology in the normal forms the completion engine works
// on, and `normalize`, which builds it from an ElInput.
//
// Concepts are dense 32-bit ids: kTop (owl:Thing), kBottom (owl:Nothing), the
// input classes (class i is concept kFirstClass + i), then fresh internal
// names that stand for complex sub-expressions. Fresh names never reach the
// taxonomy. Roles are the input roles, then fresh roles for the prefixes of
// property chains longer than two.
//
// Normal forms (A, B concepts, r, s roles):
//   ConceptInclusion     A ⊑ B
//   ConjunctionInclusion A1 ⊓ A2 ⊑ B
//   ExistentialRight     A ⊑ ∃r.B
//   ExistentialLeft      ∃r.A ⊑ B         (a domain D of r is ∃r.⊤ ⊑ D)
//   DisjointGroup        A1..An pairwise disjoint (n ≥ 3; two make A1 ⊓ A2 ⊑ ⊥)
//   RoleInclusion, RoleChain (binary)     in the RoleHierarchy
//
// Ranges are compiled into the fillers of existentials: with ranges R1..Rn of
// r (and of its super-roles), A ⊑ ∃r.B becomes A ⊑ ∃r.B' with a fresh
// B' ⊑ B, B' ⊑ Ri. That is what a range means: it restricts the filler of the
// link, it never makes B a subclass of a range. The translation is complete
// when every chain t1 ∘ t2 ⊑ s has ranges(s) ⊆ ranges(t2); a chain that
// breaks this is listed in `incomplete` and the ontology must go to an engine
// that handles it.
//
// Every normal form keeps `source`, the index of the input axiom it came from
// (for fresh names: the first axiom that needed the name).
#pragma once

#include <cstdint>
#include <expected>
#include <memory>
#include <string>
#include <vector>

#include "el/error.h"
#include "el/input.h"
#include "el/role_hierarchy.h"

namespace trelvanic_el {

inline constexpr uint32_t kTop = 0;
inline constexpr uint32_t kBottom = 1;
inline constexpr uint32_t kFirstClass = 2;

// Why a ConceptInclusion holds; selects the rule name in traces.
enum class InclusionOrigin : uint8_t {
  Told,              // from an input class axiom or a fresh name's definition
  RangeFiller,       // B' ⊑ B or B' ⊑ R for a range-restricted filler
  ReflexiveExists,   // ∃s.A ⊑ B with s reflexive gives A ⊑ B
  ReflexiveRange,    // r reflexive with range R gives ⊤ ⊑ R
};

struct ConceptInclusion {
  uint32_t sub;
  uint32_t super;
  uint32_t source;
  InclusionOrigin origin = InclusionOrigin::Told;
};

struct ConjunctionInclusion {
  uint32_t left;
  uint32_t right;
  uint32_t super;
  uint32_t source;
};

struct ExistentialRight {
  uint32_t sub;
  uint32_t role;
  uint32_t filler;
  uint32_t source;
  bool range_filler = false;  // filler was narrowed by the role's ranges
  bool individual = false;    // a property assertion: the filler is an individual
};

struct ExistentialLeft {
  uint32_t role;
  uint32_t filler;
  uint32_t super;
  uint32_t source;
  bool from_domain = false;
};

struct DisjointGroup {
  uint32_t first;  // into NormalForm::disjoint_members
  uint32_t count;
  uint32_t source;
};

struct RangeAxiom {
  uint32_t role;
  uint32_t node;
  uint32_t source;
};

// A construct the normal forms cannot decide completely.
struct IncompleteReason {
  enum class Kind : uint8_t { RangeOnChain };
  Kind kind;
  uint32_t source;
};

struct NormalForm {
  uint32_t class_count = 0;
  uint32_t concept_count = kFirstClass;
  uint32_t input_role_count = 0;
  uint32_t role_count = 0;

  std::vector<ConceptInclusion> inclusions;
  std::vector<ConjunctionInclusion> conjunctions;
  std::vector<ExistentialRight> existentials;
  std::vector<ExistentialLeft> left_existentials;
  std::vector<DisjointGroup> disjoint_groups;
  std::vector<uint32_t> disjoint_members;
  std::vector<RoleChain> chains;
  std::vector<uint32_t> reflexive_roles;
  std::vector<RangeAxiom> ranges;
  RoleHierarchy roles;
  std::vector<IncompleteReason> incomplete;

  static uint32_t class_concept(uint32_t class_index) { return kFirstClass + class_index; }
  bool is_class(uint32_t node) const {
    return node >= kFirstClass && node < kFirstClass + class_count;
  }
};

// Sizes of a NormalForm's lists at one moment: what came after is new.
struct NormalFormMark {
  size_t inclusions = 0;
  size_t conjunctions = 0;
  size_t existentials = 0;
  size_t left_existentials = 0;
  size_t disjoint_groups = 0;
  uint32_t concept_count = 0;
};

class Normalizer;

// Keeps the normaliser's state (fresh names, range tables) so that axioms
// appended to the same ElInput later extend the normal forms in place.
class NormalFormBuilder {
 public:
  NormalFormBuilder();
  ~NormalFormBuilder();
  NormalFormBuilder(NormalFormBuilder&&) noexcept;
  NormalFormBuilder& operator=(NormalFormBuilder&&) noexcept;

  enum class Added : uint8_t { Extended, NeedsFreshBuild };

  // Normalises the axioms of `input` not seen yet. The first call takes the
  // input's class and role numbering. Later calls need the same ElInput,
  // only appended to; they answer NeedsFreshBuild, changing nothing, when
  // the new axioms are role axioms or ranges, or add classes or roles, since
  // those change what earlier normal forms were built with.
  [[nodiscard]] std::expected<Added, Error> add(const ElInput& input);
  const NormalForm& normal_form() const;
  // The sizes before the last successful add: everything after is new.
  const NormalFormMark& last_mark() const { return last_mark_; }

 private:
  friend std::expected<NormalForm, Error> normalize(const ElInput& input);
  std::unique_ptr<Normalizer> impl_;
  NormalFormMark last_mark_;
};

// Fails only on a malformed input (an expression or role index out of range,
// an expression referring to a later one, an empty chain).
[[nodiscard]] std::expected<NormalForm, Error> normalize(const ElInput& input);

}  // namespace trelvanic_el
