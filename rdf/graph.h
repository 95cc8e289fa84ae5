// Graph: a set of RDF triples over one TermTable, with indexes by subject
// and by predicate.
//
// Fill it with `add` (duplicates are dropped, as an RDF graph is a set),
// then call `build_indexes` once; `by_subject`, `by_predicate` and the
// object lookups read those indexes and must not be used while adding.
// Each index is a compressed array: one offset per term id into a list of
// triple positions, so a lookup is two array reads.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include <absl/container/flat_hash_set.h>

#include "rdf/term.h"
#include "rdf/term_id.h"

namespace trelvanic_rdf {

class Graph {
 public:
  Graph() = default;

  TermTable& terms() { return terms_; }
  [[nodiscard]] const TermTable& terms() const { return terms_; }

  // Adds a triple; false when it was already in the graph.
  bool add(TermId subject, TermId predicate, TermId object);
  [[nodiscard]] const std::vector<TripleIds>& triples() const { return triples_; }
  [[nodiscard]] std::size_t size() const { return triples_.size(); }
  [[nodiscard]] bool contains(TermId subject, TermId predicate, TermId object) const {
    return set_.contains(TripleIds{subject, predicate, object});
  }

  void build_indexes();
  [[nodiscard]] bool indexed() const { return indexed_; }

  // Positions (into triples()) of the triples with this subject / predicate.
  [[nodiscard]] std::span<const std::uint32_t> by_subject(TermId subject) const;
  [[nodiscard]] std::span<const std::uint32_t> by_predicate(TermId predicate) const;

  // Objects of the triples (subject, predicate, *), in insertion order.
  [[nodiscard]] std::vector<TermId> objects(TermId subject, TermId predicate) const;
  // The object of (subject, predicate, *) when there is exactly one; 0 when
  // there is none or more than one (use `count` to tell them apart).
  [[nodiscard]] TermId object(TermId subject, TermId predicate) const;
  [[nodiscard]] std::size_t count(TermId subject, TermId predicate) const;

 private:
  static void build_index(const std::vector<TripleIds>& triples, std::size_t term_count,
                          TermId TripleIds::*field, std::vector<std::uint32_t>& offsets,
                          std::vector<std::uint32_t>& positions);
  [[nodiscard]] static std::span<const std::uint32_t> lookup(
      const std::vector<std::uint32_t>& offsets, const std::vector<std::uint32_t>& positions,
      TermId id);

  TermTable terms_;
  std::vector<TripleIds> triples_;
  absl::flat_hash_set<TripleIds> set_;
  bool indexed_ = false;
  std::vector<std::uint32_t> subject_offsets_;
  std::vector<std::uint32_t> subject_positions_;
  std::vector<std::uint32_t> predicate_offsets_;
  std::vector<std::uint32_t> predicate_positions_;
};

}  // namespace trelvanic_rdf
