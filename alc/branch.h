// The state of one tableau branch: worlds with their labels and edges, and
// the dependency sets that say which choices a fact rests on.
//
// Worlds, labels and edges are flat records indexed by ids; a copy of a
// branch shares its worlds until one is written (`Worlds`). A world is a
// root (an individual's world, or the world a test starts from; never
// blocked) or a tree world created by an ∃ or ≥ rule under its parent. Each
// label entry and edge carries a dependency set: the choice points (by their
// level on the search stack) it was derived from. A clash unions the sets
// of its premises, so the search can jump back past choices the clash does
// not depend on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

#include <absl/container/flat_hash_map.h>

#include "alc/dl_ontology.h"

namespace trelvanic_alc {

inline constexpr uint32_t kNoWorld = 0xFFFFFFFFu;

// Interned dependency sets: sorted vectors of choice levels; id 0 is empty.
class DepSets {
 public:
  DepSets();
  [[nodiscard]] uint32_t join(uint32_t a, uint32_t b);
  [[nodiscard]] uint32_t with(uint32_t a, uint32_t level);
  [[nodiscard]] uint32_t without(uint32_t a, uint32_t level);
  // Every level below `levels`.
  [[nodiscard]] uint32_t all_below(uint32_t levels);
  [[nodiscard]] bool contains(uint32_t a, uint32_t level) const;
  [[nodiscard]] const std::vector<uint32_t>& levels(uint32_t a) const { return sets_[a]; }

 private:
  uint32_t intern(std::vector<uint32_t> v);
  std::vector<std::vector<uint32_t>> sets_;
  absl::flat_hash_map<std::vector<uint32_t>, uint32_t> index_;
  absl::flat_hash_map<uint64_t, uint32_t> joins_;
  // A direct-mapped cache in front of `joins_`.
  struct Recent {
    uint64_t key = ~uint64_t{0};
    uint32_t value = 0;
  };
  std::vector<Recent> recent_ = std::vector<Recent>(4096);
};

struct LabelEntry {
  uint32_t ce;
  uint32_t dep;
};

struct Edge {
  uint32_t to;
  Role role;  // as seen from the world holding the edge
  uint32_t dep;
};

struct World {
  uint32_t parent = kNoWorld;  // tree worlds only
  bool root = false;           // an individual's or a test's world
  bool alive = true;
  std::vector<LabelEntry> label;  // sorted by concept
  std::vector<Edge> edges;
  std::vector<std::pair<uint32_t, uint32_t>> different;  // (world, dep)
  std::vector<uint32_t> at_most;  // this world's entries in Branch::at_most

  [[nodiscard]] const LabelEntry* find(uint32_t ce) const;
};

// The worlds of a branch, shared with the copies a search keeps at its
// choice points: copying a branch copies one pointer per world, and a world
// is copied only when it is written (`mut`). Reading goes through the const
// index, so it never copies.
class Worlds {
 public:
  [[nodiscard]] size_t size() const { return items_.size(); }
  [[nodiscard]] bool empty() const { return items_.empty(); }
  const World& operator[](size_t i) const { return *items_[i]; }
  World& mut(size_t i) {
    auto& p = items_[i];
    if (p.use_count() > 1) p = std::make_shared<World>(*p);
    return *p;
  }
  void push_back(World w) { items_.push_back(std::make_shared<World>(std::move(w))); }

  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = World;
    using difference_type = std::ptrdiff_t;
    using pointer = const World*;
    using reference = const World&;
    explicit Iterator(std::vector<std::shared_ptr<World>>::const_iterator it) : it_(it) {}
    const World& operator*() const { return **it_; }
    const World* operator->() const { return it_->get(); }
    Iterator& operator++() {
      ++it_;
      return *this;
    }
    Iterator operator++(int) {
      Iterator old = *this;
      ++it_;
      return old;
    }
    bool operator==(const Iterator&) const = default;

   private:
    std::vector<std::shared_ptr<World>>::const_iterator it_;
  };
  [[nodiscard]] Iterator begin() const { return Iterator(items_.begin()); }
  [[nodiscard]] Iterator end() const { return Iterator(items_.end()); }

 private:
  std::vector<std::shared_ptr<World>> items_;
};

// One pending item: a label entry whose rule needs a later look (⊔, ∃, ≥, ≤).
struct Pending {
  uint32_t world;
  uint32_t ce;
  uint32_t dep;
};

struct Branch {
  Worlds worlds;
  std::vector<Pending> queue;  // label entries not yet processed
  size_t queue_head = 0;
  std::vector<Pending> disjunctions, generators, at_most;
  // Worlds whose at-most entries may apply since the last sweep over them
  // found nothing: a new entry, an edge, or a neighbour's label that grew
  // while some entry has a filler other than ⊤ (`qualified_at_most`).
  std::vector<uint8_t> at_most_dirty;
  std::vector<uint32_t> at_most_todo;  // the worlds marked, in order
  uint32_t qualified_at_most = 0;
  std::vector<Pending> everywhere;  // ∀ over the universal role: fillers every world gets
  std::vector<uint32_t> individual_worlds;  // individual index → world
  std::vector<uint32_t> individual_deps;    // what each of those rests on (merges)
  uint32_t expansions = 0;
  bool clash = false;
  uint32_t clash_dep = 0;
  bool gave_up = false;  // met something the calculus does not decide
};

}  // namespace trelvanic_alc
