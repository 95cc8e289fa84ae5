#include "rdf/graph.h"

namespace trelvanic_rdf {

bool Graph::add(TermId subject, TermId predicate, TermId object) {
  const TripleIds t{subject, predicate, object};
  if (!set_.insert(t).second) return false;
  triples_.push_back(t);
  indexed_ = false;
  return true;
}

void Graph::build_index(const std::vector<TripleIds>& triples, std::size_t term_count,
                        TermId TripleIds::*field, std::vector<std::uint32_t>& offsets,
                        std::vector<std::uint32_t>& positions) {
  // Counting sort of triple positions by the field's id; positions within
  // one id stay in insertion order.
  offsets.assign(term_count + 1, 0);
  for (const TripleIds& t : triples) ++offsets[(t.*field).value + 1];
  for (std::size_t i = 1; i < offsets.size(); ++i) offsets[i] += offsets[i - 1];
  positions.resize(triples.size());
  std::vector<std::uint32_t> next(offsets.begin(), offsets.end() - 1);
  for (std::uint32_t i = 0; i < triples.size(); ++i) positions[next[(triples[i].*field).value]++] = i;
}

void Graph::build_indexes() {
  const std::size_t n = terms_.size();
  build_index(triples_, n, &TripleIds::subject, subject_offsets_, subject_positions_);
  build_index(triples_, n, &TripleIds::predicate, predicate_offsets_, predicate_positions_);
  indexed_ = true;
}

std::span<const std::uint32_t> Graph::lookup(const std::vector<std::uint32_t>& offsets,
                                             const std::vector<std::uint32_t>& positions,
                                             TermId id) {
  if (id.value + 1 >= offsets.size()) return {};
  const std::uint32_t begin = offsets[id.value];
  const std::uint32_t end = offsets[id.value + 1];
  return {positions.data() + begin, end - begin};
}

std::span<const std::uint32_t> Graph::by_subject(TermId subject) const {
  return lookup(subject_offsets_, subject_positions_, subject);
}

std::span<const std::uint32_t> Graph::by_predicate(TermId predicate) const {
  return lookup(predicate_offsets_, predicate_positions_, predicate);
}

std::vector<TermId> Graph::objects(TermId subject, TermId predicate) const {
  std::vector<TermId> out;
  for (std::uint32_t pos : by_subject(subject)) {
    if (triples_[pos].predicate == predicate) out.push_back(triples_[pos].object);
  }
  return out;
}

TermId Graph::object(TermId subject, TermId predicate) const {
  TermId found{};
  for (std::uint32_t pos : by_subject(subject)) {
    if (triples_[pos].predicate != predicate) continue;
    if (found) return TermId{};
    found = triples_[pos].object;
  }
  return found;
}

std::size_t Graph::count(TermId subject, TermId predicate) const {
  std::size_t n = 0;
  for (std::uint32_t pos : by_subject(subject)) n += triples_[pos].predicate == predicate;
  return n;
}

}  // namespace trelvanic_rdf
