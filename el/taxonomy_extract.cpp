#include "el/taxonomy_extract.h"

#include <algorithm>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

namespace trelvanic_el {
namespace {

class UnionFind {
 public:
  explicit UnionFind(uint32_t n) : parent_(n) {
    for (uint32_t i = 0; i < n; ++i) parent_[i] = i;
  }
  uint32_t find(uint32_t x) {
    while (parent_[x] != x) {
      parent_[x] = parent_[parent_[x]];
      x = parent_[x];
    }
    return x;
  }
  // The smaller root stays the root, so a cluster's root is its least member.
  void unite(uint32_t a, uint32_t b) {
    a = find(a), b = find(b);
    if (a == b) return;
    if (a < b) std::swap(a, b);
    parent_[a] = b;
  }

 private:
  std::vector<uint32_t> parent_;
};

}  // namespace

ClassTaxonomy extract_taxonomy(const NormalForm& nf, const CompletionGraph& g) {
  ClassTaxonomy t;
  const uint32_t n = nf.class_count;
  auto concept_of = [](uint32_t cls) { return NormalForm::class_concept(cls); };
  t.inconsistent = g.unsatisfiable(kTop);
  std::vector<uint8_t> usable(n, 0);  // satisfiable and not equivalent to ⊤
  for (uint32_t i = 0; i < n; ++i) {
    uint32_t c = concept_of(i);
    if (g.unsatisfiable(c)) {
      t.unsatisfiable.push_back(i);
    } else if (g.context(kTop).subsumers.contains(c)) {
      t.thing_equivalents.push_back(i);
    } else {
      usable[i] = 1;
    }
  }
  // Named superclasses of each usable class, gathered once.
  std::vector<uint32_t> offsets(n + 1, 0), supers;
  for (uint32_t i = 0; i < n; ++i) {
    if (usable[i]) {
      g.context(concept_of(i)).subsumers.for_each([&](uint32_t a) {
        if (nf.is_class(a) && a != concept_of(i) && usable[a - kFirstClass]) {
          supers.push_back(a - kFirstClass);
        }
      });
    }
    offsets[i + 1] = static_cast<uint32_t>(supers.size());
  }
  auto supers_of = [&](uint32_t i) {
    return std::span<const uint32_t>(supers.data() + offsets[i], offsets[i + 1] - offsets[i]);
  };
  UnionFind uf(n);
  for (uint32_t i = 0; i < n; ++i) {
    for (uint32_t j : supers_of(i)) {
      // Equivalent concepts have equal subsumer sets (both sets are complete),
      // so the sizes rule most pairs out before the lookup.
      const Context& y = g.context(concept_of(j));
      if (j < i && y.subsumers.size() == g.context(concept_of(i)).subsumers.size() &&
          y.subsumers.contains(concept_of(i))) {
        uf.unite(i, j);
      }
    }
  }
  std::vector<uint32_t> root(n);
  absl::flat_hash_map<uint32_t, std::vector<uint32_t>> members;
  for (uint32_t i = 0; i < n; ++i) {
    root[i] = uf.find(i);
    if (usable[i] && root[i] != i) {
      auto& m = members[root[i]];
      if (m.empty()) m.push_back(root[i]);
      m.push_back(i);
    }
  }
  for (auto& [r, m] : members) t.clusters.push_back(m);  // members ascend by construction
  std::sort(t.clusters.begin(), t.clusters.end());
  // Direct superclasses: candidates are the roots of the superclasses' clusters;
  // a candidate is indirect when another candidate lies strictly below it.
  // Marking everything above each not-yet-indirect candidate finds them with
  // one pass over the candidates' own superclass lists.
  std::vector<uint32_t> mark(n, UINT32_MAX);     // candidate of class i
  std::vector<uint32_t> indirect(n, UINT32_MAX);  // indirect for class i
  std::vector<uint32_t> cands, parents;
  for (uint32_t i = 0; i < n; ++i) {
    if (!usable[i]) continue;
    if (root[i] != i) continue;  // members of a cluster share the root's parents
    cands.clear();
    for (uint32_t j : supers_of(i)) {
      uint32_t rj = root[j];
      if (rj == i || mark[rj] == i) continue;
      mark[rj] = i;
      cands.push_back(rj);
    }
    for (uint32_t y : cands) {
      if (indirect[y] == i) continue;
      for (uint32_t z : supers_of(y)) {
        uint32_t rz = root[z];
        if (rz != y) indirect[rz] = i;
      }
    }
    parents.clear();
    for (uint32_t y : cands) {
      if (indirect[y] != i) parents.push_back(y);
    }
    auto add_edges = [&](uint32_t sub) {
      if (parents.empty()) {
        t.edges.push_back({sub, ClassTaxonomy::kThing});
        return;
      }
      for (uint32_t y : parents) {
        auto it = members.find(y);
        if (it == members.end()) {
          t.edges.push_back({sub, y});
        } else {
          for (uint32_t m : it->second) t.edges.push_back({sub, m});
        }
      }
    };
    auto it = members.find(i);
    if (it == members.end()) {
      add_edges(i);
    } else {
      for (uint32_t m : it->second) add_edges(m);
    }
  }
  std::sort(t.edges.begin(), t.edges.end());
  return t;
}

bool taxonomy_subsumes(const ClassTaxonomy& t, uint32_t sub, uint32_t super) {
  if (sub == super || super == ClassTaxonomy::kThing) return true;
  if (std::binary_search(t.unsatisfiable.begin(), t.unsatisfiable.end(), sub)) return true;
  if (std::binary_search(t.thing_equivalents.begin(), t.thing_equivalents.end(), super)) return true;
  for (const auto& c : t.clusters) {
    if (std::binary_search(c.begin(), c.end(), sub) && std::binary_search(c.begin(), c.end(), super)) {
      return true;
    }
  }
  absl::flat_hash_set<uint32_t> seen{sub};
  std::vector<uint32_t> stack{sub};
  while (!stack.empty()) {
    uint32_t x = stack.back();
    stack.pop_back();
    auto lo = std::lower_bound(t.edges.begin(), t.edges.end(), std::pair<uint32_t, uint32_t>{x, 0});
    for (; lo != t.edges.end() && lo->first == x; ++lo) {
      if (lo->second == super) return true;
      if (lo->second != ClassTaxonomy::kThing && seen.insert(lo->second).second) {
        stack.push_back(lo->second);
      }
    }
  }
  return false;
}

}  // namespace trelvanic_el
