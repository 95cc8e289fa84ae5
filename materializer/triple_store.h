// Triple store: integer-coded triples in insertion order, with a
// duplicate check and the indexes the rules join through.
//
// Each stored triple has a dense index (its insertion position) and flags.
// Indexes are intrusive linked lists threaded through per-triple "next"
// arrays, so adding a triple allocates nothing per key:
//   - by (predicate, subject) and by (predicate, object): heads in index
//     tables (index_table.h), which read their keys back from the triples;
//   - by predicate, by subject and by object: heads in vectors indexed by
//     term id.
// A triple is never removed; when equality rewrites it, it is marked dead
// and every walk skips it. Walks read the "next" links by index, so a
// callback may insert triples while a walk is running (new triples go to
// the front of the lists and are not visited by that walk).
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "materializer/index_table.h"
#include "materializer/term_id.h"
#include "memory/huge_pages.h"

namespace trelvanic_materializer {

inline constexpr std::uint32_t kNoTriple = 0xffffffffu;

enum TripleFlag : std::uint8_t {
  kDead = 1,           // rewritten by equality; no longer part of the closure
  kAsserted = 2,       // loaded by the caller (or rewritten from a loaded triple)
  kByTransitivity = 4, // derived only by chaining its own predicate (prp-trp, scm-sco): not a base edge
  // Derived by a schema rule whose conclusion adds no data that the
  // triples it came from do not add already: cax-sco, prp-dom and prp-rng
  // skip it (scm-dom1/2, scm-rng1/2 for rdfs:domain and rdfs:range;
  // scm-hv for rdfs:subClassOf, whose typings cls-hv1/2 give).
  kCovered = 8,
  // Queued again after a flag change: its next processing joins it with
  // every stored triple, not only with the older ones.
  kRevisit = 16,
};

class TripleStore {
 public:
  TripleStore() = default;
  TripleStore(const TripleStore&) = delete;
  TripleStore& operator=(const TripleStore&) = delete;

  // Adds the triple if absent. Returns its index and whether it is new.
  std::pair<std::uint32_t, bool> insert(const Triple& t, std::uint8_t flags);
  // Index of a live or dead stored triple, or kNoTriple.
  [[nodiscard]] std::uint32_t find(const Triple& t) const;
  [[nodiscard]] bool contains(const Triple& t) const {
    std::uint32_t i = find(t);
    return i != kNoTriple && !(flags_[i] & kDead);
  }

  [[nodiscard]] std::size_t size() const { return triples_.size(); }
  [[nodiscard]] const Triple& at(std::uint32_t i) const { return triples_[i]; }
  [[nodiscard]] std::uint8_t flags(std::uint32_t i) const { return flags_[i]; }
  void set_flags(std::uint32_t i, std::uint8_t f) { flags_[i] |= f; }
  void clear_flags(std::uint32_t i, std::uint8_t f) { flags_[i] &= static_cast<std::uint8_t>(~f); }
  [[nodiscard]] bool dead(std::uint32_t i) const { return (flags_[i] & kDead) != 0; }
  void kill(std::uint32_t i) { flags_[i] |= kDead; }

  // f(object) for every live (s, p, ?o); f(subject) for every live (?s, p, o).
  template <typename F>
  void for_objects(TermId p, TermId s, F&& f) const {
    for (std::uint32_t i = head_ps(p, s); i != kNoTriple; i = next_ps_[i])
      if (!(flags_[i] & kDead)) f(triples_[i].object);
  }
  template <typename F>
  void for_subjects(TermId p, TermId o, F&& f) const {
    for (std::uint32_t i = head_po(p, o); i != kNoTriple; i = next_po_[i])
      if (!(flags_[i] & kDead)) f(triples_[i].subject);
  }
  // The same walks over the triples stored before index `bound` only.
  // Lists run newest first, so the newer triples are a prefix to skip.
  template <typename F>
  void for_objects_before(TermId p, TermId s, std::uint32_t bound, F&& f) const {
    walk_before(head_ps(p, s), next_ps_, bound, [&](std::uint32_t i) { f(triples_[i].object, flags_[i]); });
  }
  template <typename F>
  void for_subjects_before(TermId p, TermId o, std::uint32_t bound, F&& f) const {
    walk_before(head_po(p, o), next_po_, bound, [&](std::uint32_t i) { f(triples_[i].subject); });
  }
  template <typename F>
  void for_predicate_before(TermId p, std::uint32_t bound, F&& f) const {
    walk_before(head(by_p_, p), next_p_, bound, f);
  }
  // Whether a live triple stored before triple i has its predicate and
  // subject / its predicate and object (the next ones in i's lists).
  [[nodiscard]] bool older_with_subject(std::uint32_t i) const { return older_live(next_ps_, i); }
  [[nodiscard]] bool older_with_object(std::uint32_t i) const { return older_live(next_po_, i); }
  // f(index) for every live triple with predicate p / subject s / object o.
  template <typename F>
  void for_predicate(TermId p, F&& f) const {
    for (std::uint32_t i = head(by_p_, p); i != kNoTriple; i = next_p_[i])
      if (!(flags_[i] & kDead)) f(i);
  }
  // f(index) for every triple ever stored with predicate p, dead ones too.
  template <typename F>
  void for_predicate_all(TermId p, F&& f) const {
    for (std::uint32_t i = head(by_p_, p); i != kNoTriple; i = next_p_[i]) f(i);
  }
  // The by-subject and by-object lists serve equality rewriting only; they
  // are built on the first call and kept up to date from then on, so runs
  // without owl:sameAs never pay for them.
  void enable_term_lists();
  // Makes room for about this many triples in total (a hint).
  void reserve(std::size_t triples);
  template <typename F>
  void for_subject(TermId s, F&& f) const {
    for (std::uint32_t i = head(by_s_, s); i != kNoTriple; i = next_s_[i])
      if (!(flags_[i] & kDead)) f(i);
  }
  template <typename F>
  void for_object(TermId o, F&& f) const {
    for (std::uint32_t i = head(by_o_, o); i != kNoTriple; i = next_o_[i])
      if (!(flags_[i] & kDead)) f(i);
  }
  // The first live object of (s, p, ?), or no term.
  [[nodiscard]] TermId first_object(TermId p, TermId s) const;
  [[nodiscard]] bool has_objects(TermId p, TermId s) const { return static_cast<bool>(first_object(p, s)); }

 private:
  static std::uint64_t hash_triple(const Triple& t);
  static std::uint64_t hash_pair(TermId a, TermId b) { return hash_triple(Triple{a, b, TermId{}}); }
  // Head of the (p, s) list / the (p, o) list.
  std::uint32_t head_ps(TermId p, TermId s) const {
    return ps_.find(hash_pair(p, s), [&](std::uint32_t i) { return triples_[i].predicate == p && triples_[i].subject == s; });
  }
  std::uint32_t head_po(TermId p, TermId o) const {
    return po_.find(hash_pair(p, o), [&](std::uint32_t i) { return triples_[i].predicate == p && triples_[i].object == o; });
  }
  static std::uint32_t head(const std::vector<std::uint32_t>& v, TermId t) {
    return t.value < v.size() ? v[t.value] : kNoTriple;
  }
  bool older_live(const std::vector<std::uint32_t>& next, std::uint32_t i) const {
    for (std::uint32_t j = next[i]; j != kNoTriple; j = next[j])
      if (!(flags_[j] & kDead)) return true;
    return false;
  }
  template <typename F>
  void walk_before(std::uint32_t i, const std::vector<std::uint32_t>& next, std::uint32_t bound, F&& f) const {
    while (i != kNoTriple && i >= bound) i = next[i];
    for (; i != kNoTriple; i = next[i])
      if (!(flags_[i] & kDead)) f(i);
  }
  // The duplicate check grows by walking the triples in order.
  auto refill_dedup() {
    return [this](auto&& put, const auto&) {
      for (std::uint32_t j = 0; j < triples_.size(); ++j) put(hash_triple(triples_[j]), j);
    };
  }
  // Makes triple i the head of its list in `table` (key hash h).
  template <typename Same, typename KeyHash>
  void link(IndexTable& table, std::vector<std::uint32_t>& next, std::uint64_t h, std::uint32_t i, Same&& same,
            KeyHash&& key_hash);
  static void push(std::vector<std::uint32_t>& heads, std::vector<std::uint32_t>& next, TermId t, std::uint32_t i);

  std::vector<Triple, trelvanic_memory::HugePageAllocator<Triple>> triples_;
  std::vector<std::uint8_t> flags_;
  IndexTable dedup_;  // every stored triple, dead ones too
  IndexTable ps_, po_;
  std::vector<std::uint32_t> next_ps_, next_po_, next_p_, next_s_, next_o_;
  std::vector<std::uint32_t> by_p_, by_s_, by_o_;
  bool term_lists_ = false;
};

}  // namespace trelvanic_materializer
