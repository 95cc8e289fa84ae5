// Graph: a set of RDF triples over one TermTable, with indexes by subject
// and by predicate.
//
// Fill it with `add`, then call `build_indexes` once: it drops duplicate
// triples (an RDF graph is a set) and builds the indexes that `contains`,
// `by_subject`, `by_predicate` and the object lookups read; adding more
// triples afterwards needs another `build_indexes`. Duplicates are found
// per subject bucket rather than through a hash set of all triples, which
// keeps reading fast.
// Each index is a compressed array: one offset per term id into a list of
// triple positions, so a lookup is two array reads.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "rdf/term.h"
#include "rdf/term_id.h"

namespace trelvanic_rdf {

class Graph {
 public:
  Graph() = default;

  TermTable& terms() { return terms_; }
  [[nodiscard]] const TermTable& terms() const { return terms_; }

  // Makes room for about this many triples and terms (a hint).
  void reserve(std::size_t triples, std::size_t terms);
  void add(TermId subject, TermId predicate, TermId object) {
    triples_.push_back(TripleIds{subject, predicate, object});
    indexed_ = false;
  }
  // Takes back the triples past the first `triples` and the terms of ids
  // `terms` and later (a reader undoing what it added).
  void truncate(std::size_t triples, std::size_t terms);
  [[nodiscard]] const std::vector<TripleIds>& triples() const { return triples_; }
  [[nodiscard]] std::size_t size() const { return triples_.size(); }
  [[nodiscard]] bool contains(TermId subject, TermId predicate, TermId object) const;

  // Removes duplicate triples (keeping the first of each) and builds the
  // indexes. Returns the number of duplicates removed.
  std::size_t build_indexes();
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
  bool indexed_ = false;
  std::vector<std::uint32_t> subject_offsets_;
  std::vector<std::uint32_t> subject_positions_;
  std::vector<std::uint32_t> predicate_offsets_;
  std::vector<std::uint32_t> predicate_positions_;
};

}  // namespace trelvanic_rdf
