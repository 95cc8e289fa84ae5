#include "el/taxonomy_extract.h"

#include <algorithm>

#include <absl/container/flat_hash_map.h>

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
  // The usable named superclasses of each usable class, gathered once into
  // one array, except where the subsumer set is a bitmap: a set that dense
  // (a long chain gives quadratically many pairs) is read in place.
  std::vector<uint32_t> offsets(n + 1, 0), supers;
  std::vector<uint8_t> in_place(n, 0);
  auto for_each_in_set = [&](uint32_t i, auto&& f) {
    const uint32_t self = concept_of(i);
    g.context(self).subsumers.for_each([&](uint32_t a) {
      if (nf.is_class(a) && a != self && usable[a - kFirstClass]) f(a - kFirstClass);
    });
  };
  for (uint32_t i = 0; i < n; ++i) {
    if (usable[i]) {
      if (g.context(concept_of(i)).subsumers.is_bitmap()) {
        in_place[i] = 1;
      } else {
        for_each_in_set(i, [&](uint32_t j) { supers.push_back(j); });
      }
    }
    offsets[i + 1] = static_cast<uint32_t>(supers.size());
  }
  auto for_each_super = [&](uint32_t i, auto&& f) {
    if (in_place[i]) return for_each_in_set(i, f);
    for (uint32_t k = offsets[i]; k < offsets[i + 1]; ++k) f(supers[k]);
  };
  // Subsumer counts by class, read often below: one array, not the contexts.
  std::vector<uint32_t> count(n);
  for (uint32_t i = 0; i < n; ++i) count[i] = g.context(concept_of(i)).subsumers.size();
  UnionFind uf(n);
  for (uint32_t i = 0; i < n; ++i) {
    if (!usable[i]) continue;
    for_each_super(i, [&](uint32_t j) {
      // Equivalent concepts have equal subsumer sets (both sets are complete),
      // so the sizes rule most pairs out before the lookup.
      if (j < i && count[j] == count[i] && g.context(concept_of(j)).subsumers.contains(concept_of(i))) {
        uf.unite(i, j);
      }
    });
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
  // one pass over the candidates' own superclass sets. The lowest candidate
  // (the one with the most subsumers) goes first: it is direct, and on a
  // chain it marks every other candidate at once.
  std::vector<uint32_t> mark(n, UINT32_MAX);     // candidate of class i
  std::vector<uint32_t> indirect(n, UINT32_MAX);  // indirect for class i
  std::vector<uint32_t> cands, parents;
  for (uint32_t i = 0; i < n; ++i) {
    if (!usable[i]) continue;
    if (root[i] != i) continue;  // members of a cluster share the root's parents
    cands.clear();
    size_t lowest = 0;
    for_each_super(i, [&](uint32_t j) {
      uint32_t rj = root[j];
      if (rj == i || mark[rj] == i) return;
      mark[rj] = i;
      cands.push_back(rj);
      if (count[rj] > count[cands[lowest]]) lowest = cands.size() - 1;
    });
    if (!cands.empty()) std::swap(cands[0], cands[lowest]);
    for (uint32_t y : cands) {
      if (indirect[y] == i) continue;
      for_each_super(y, [&](uint32_t z) {
        uint32_t rz = root[z];
        if (rz != y) indirect[rz] = i;
      });
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

}  // namespace trelvanic_el
