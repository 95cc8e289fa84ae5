#include "rdf/graph.h"

namespace trelvanic_rdf {

#include <algorithm>

void Graph::reserve(std::size_t triples, std::size_t terms) {
  triples_.reserve(triples);
  terms_.reserve(terms);
}

void Graph::truncate(std::size_t triples, std::size_t terms) {
  if (triples < triples_.size()) {
    triples_.resize(triples);
    indexed_ = false;
  }
  terms_.truncate(terms);
}

bool Graph::contains(TermId subject, TermId predicate, TermId object) const {
  for (std::uint32_t pos : by_subject(subject)) {
    if (triples_[pos].predicate == predicate && triples_[pos].object == object) return true;
  }
  return false;
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

std::size_t Graph::build_indexes() {
  const std::size_t n = terms_.size();
  build_index(triples_, n, &TripleIds::subject, subject_offsets_, subject_positions_);
  // Duplicates share a subject: look for them inside each subject bucket,
  // pairwise in small buckets and by sorting in large ones.
  std::vector<std::uint8_t> duplicate;
  std::size_t duplicates = 0;
  std::vector<std::pair<std::uint64_t, std::uint32_t>> keyed;
  auto mark = [&](std::uint32_t pos) {
    if (duplicate.empty()) duplicate.assign(triples_.size(), 0);
    duplicate[pos] = 1;
    ++duplicates;
  };
  for (std::size_t s = 0; s + 1 < subject_offsets_.size(); ++s) {
    const std::uint32_t begin = subject_offsets_[s];
    const std::uint32_t end = subject_offsets_[s + 1];
    if (end - begin < 2) continue;
    if (end - begin <= 16) {
      for (std::uint32_t i = begin + 1; i < end; ++i) {
        const TripleIds& a = triples_[subject_positions_[i]];
        for (std::uint32_t j = begin; j < i; ++j) {
          const TripleIds& b = triples_[subject_positions_[j]];
          if (a.predicate == b.predicate && a.object == b.object) {
            mark(subject_positions_[i]);
            break;
          }
        }
      }
      continue;
    }
    keyed.clear();
    for (std::uint32_t i = begin; i < end; ++i) {
      const TripleIds& t = triples_[subject_positions_[i]];
      keyed.emplace_back((std::uint64_t{t.predicate.value} << 32) | t.object.value,
                         subject_positions_[i]);
    }
    std::sort(keyed.begin(), keyed.end());  // positions ascend within equal keys
    for (std::size_t i = 1; i < keyed.size(); ++i) {
      if (keyed[i].first == keyed[i - 1].first) mark(keyed[i].second);
    }
  }
  if (duplicates > 0) {
    std::size_t out = 0;
    for (std::size_t i = 0; i < triples_.size(); ++i) {
      if (!duplicate[i]) triples_[out++] = triples_[i];
    }
    triples_.resize(out);
    build_index(triples_, n, &TripleIds::subject, subject_offsets_, subject_positions_);
  }
  build_index(triples_, n, &TripleIds::predicate, predicate_offsets_, predicate_positions_);
  indexed_ = true;
  return duplicates;
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
