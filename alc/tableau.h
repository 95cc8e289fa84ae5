// Entry points of the tableau: knowledge-base consistency, satisfiability of
// class expressions and named classes, and classification.
//
//   auto dl = DlOntology::from_ontology(ontology);
//   Tableau t(*dl);
//   Result<bool> ok = t.is_consistent();
//   Result<bool> sat = t.is_class_satisfiable(cls);
//
// Every answer is a proof: false comes from closed branches only, true from
// an open branch the calculus is complete for. Anything else (a limit hit,
// a construct not decided, an axiom left out of the normal form) is
// `BudgetExhausted`.
#pragma once

#include <optional>
#include <vector>

#include "alc/branch.h"
#include "alc/dl_ontology.h"
#include "alc/error.h"

namespace trelvanic_alc {

// Counters of one search, for benchmarks and tests.
struct SearchStats {
  uint64_t branches = 0;      // alternatives tried
  uint64_t backjumps = 0;     // choice points closed without trying the rest
  uint64_t expansions = 0;    // label entries added, over all branches
  uint64_t unfinished = 0;    // branches the calculus could not finish
  const char* limit = "";     // what ended the last undecided run
};

class Tableau {
 public:
  explicit Tableau(DlOntology& dl) : dl_(dl) {}

  // Whether the ontology (TBox and ABox) has a model.
  Result<bool> is_consistent();
  // Whether `concept` (an NNF concept of the DlOntology) has an instance in
  // some model of the ontology.
  Result<bool> is_satisfiable(uint32_t ce);
  Result<bool> is_class_expression_satisfiable(trelvanic_core::CeId ce);
  Result<bool> is_class_satisfiable(trelvanic_core::EntityId cls);
  // Whether sub ⊑ sup holds (sub ⊓ ¬sup unsatisfiable).
  Result<bool> is_subsumed(trelvanic_core::EntityId sub, trelvanic_core::EntityId sup);
  // The named classes in the root label of the last model found by
  // `is_satisfiable` (its possible subsumers).
  [[nodiscard]] const std::vector<trelvanic_core::EntityId>& last_root_names() const { return root_names_; }

  // Every pair (A, B) of distinct named classes with A satisfiable and
  // A ⊑ B; `unsatisfiable` the named classes with no instance. An
  // inconsistent ontology answers false through `consistent`.
  struct Classification {
    bool consistent = true;
    std::vector<trelvanic_core::EntityId> unsatisfiable;
    std::vector<std::pair<trelvanic_core::EntityId, trelvanic_core::EntityId>> subsumptions;
  };
  Result<Classification> classify();
  // Subsumptions between named classes already proven elsewhere (each one
  // must hold in every model): `classify` takes them without a test.
  void set_known_subsumptions(std::vector<std::pair<trelvanic_core::EntityId, trelvanic_core::EntityId>> pairs) {
    known_ = std::move(pairs);
  }

  [[nodiscard]] const SearchStats& stats() const { return stats_; }
  // Dependency-directed backjumping on (default) or off, for benchmarks.
  void set_backjumping(bool on) { backjumping_ = on; }

 private:
  Result<bool> run(Branch seed, uint32_t test_world);
  Result<Classification> classify_timed(double* sat_s, double* pairs_s);
  Branch seed(bool with_abox);
  bool nominal_inverse_at_most(const Branch& b) const;
  std::vector<trelvanic_core::EntityId> told_subsumers(trelvanic_core::EntityId cls);

  DlOntology& dl_;
  DepSets deps_;
  SearchStats stats_;
  bool backjumping_ = true;
  std::optional<bool> consistent_;
  std::vector<trelvanic_core::EntityId> root_names_;
  bool root_names_valid_ = false;
  std::vector<std::pair<trelvanic_core::EntityId, trelvanic_core::EntityId>> known_;
};

}  // namespace trelvanic_alc
