// The OWL 2 RL materializer: load RDF triples, reason to the OWL 2 RL/RDF
// closure, read the closure and the inconsistencies found.
//
//   Materializer m;                        // or Materializer(options)
//   m.load(triples);                        // integer-coded (ids from m.dictionary())
//   m.load_terms(term_triples);             // or as texts
//   m.reason();                             // fixpoint, then consistency checks
//   m.triples(); m.term_triples();          // the closure, told triples included
//   m.problems();                           // each a rule name and a message
//
// Loading adds to what the instance holds; reasoning again after another
// load continues from the closure already computed, and gives the same
// closure as one run over all triples. Output order: stored triples in the
// order they were first added or derived (owl:sameAs pairs last), so a run
// over the same input always gives the same list. The output never holds
// a literal subject, an owl:sameAs / equivalentClass / equivalentProperty /
// inverseOf triple of a term with itself, or an RDFS axiomatic triple;
// derived tautologies are left out unless `Options::emit_tautologies`.
// Inconsistencies are problems, never errors; errors are refused input
// and cancellation ("cancelled").
//
// Where the RDF-based rules would conclude more than the OWL 2 Direct
// Semantics allows, the engine concludes less: owl:sameAs between names
// that are also used as classes or properties is kept as stated but not
// applied to those classes or properties, and keys identify named
// individuals only.
#pragma once

#include <cstdint>
#include <expected>
#include <memory>
#include <span>
#include <vector>

#include "materializer/dictionary.h"
#include "materializer/engine.h"
#include "materializer/error.h"
#include "materializer/term_id.h"

namespace trelvanic_materializer {

struct TermTriple {
  Term s;
  Term p;
  Term o;
  friend bool operator==(const TermTriple&, const TermTriple&) = default;
};

class Materializer {
 public:
  explicit Materializer(Options options = {});
  ~Materializer();
  Materializer(Materializer&&) noexcept;
  Materializer& operator=(Materializer&&) noexcept;

  [[nodiscard]] Dictionary& dictionary() { return *dict_; }
  [[nodiscard]] const Dictionary& dictionary() const { return *dict_; }

  // Adds the triples; a batch with a bad triple is refused whole.
  [[nodiscard]] std::expected<void, Error> load(std::span<const Triple> triples);
  [[nodiscard]] std::expected<void, Error> load_terms(std::span<const TermTriple> triples);
  [[nodiscard]] std::expected<void, Error> reason();
  // The flag `reason` polls from now on (`Options::cancel`; null: never
  // cancelled). It must outlive every `reason` call made while it is set.
  void set_cancel(const std::atomic<bool>* cancel) { engine_->set_cancel(cancel); }
  // Makes room for about this many triples, told and derived: a hint that
  // spares the store's tables their regrowth when the closure size is known.
  void reserve(std::size_t triples) { engine_->reserve(triples); }

  [[nodiscard]] std::vector<Triple> triples() const;
  [[nodiscard]] std::vector<TermTriple> term_triples() const;
  [[nodiscard]] const std::vector<Problem>& problems() const { return engine_->problems(); }
  // Triples derived so far (not counting told ones).
  [[nodiscard]] std::uint64_t derived_count() const { return engine_->derived_count(); }

 private:
  std::unique_ptr<Dictionary> dict_;
  std::unique_ptr<Engine> engine_;
};

}  // namespace trelvanic_materializer
