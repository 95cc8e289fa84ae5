#include "dl/union_csp.h"

#include <algorithm>

#include <absl/container/flat_hash_map.h>

#include "core/axiom.h"
#include "core/dl.h"
#include "core/dl_expr.h"

namespace trelvanic_dl::union_csp {

using trelvanic_core::AxiomId;
using trelvanic_core::AxiomKind;
using trelvanic_core::AxiomView;
using trelvanic_core::CeId;
using trelvanic_core::CeKind;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::DlStore;
using trelvanic_core::EntityId;
using trelvanic_core::Ontology;

namespace {

std::pair<uint32_t, uint32_t> ordered(EntityId a, EntityId b) {
  return a.value < b.value ? std::pair{a.value, b.value} : std::pair{b.value, a.value};
}

template <class List>
void insert_pairs(PairSet& out, const List& members) {
  std::vector<EntityId> v(members.begin(), members.end());
  for (size_t i = 0; i < v.size(); ++i)
    for (size_t j = i + 1; j < v.size(); ++j)
      if (v[i] != v[j]) out.insert(ordered(v[i], v[j]));
}

// Stated disjointness between named classes, in both stores.
PairSet disjoint_class_pairs(const Ontology& ontology) {
  PairSet out;
  const DlStore& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    if (axiom.kind != DlAxiomKind::DisjointClasses) continue;
    std::vector<EntityId> named;
    for (CeId c : axiom.classes())
      if (dl.has_ce(c) && dl.ce(c).kind == CeKind::Atomic) named.push_back(dl.ce(c).entity());
    insert_pairs(out, named);
  }
  ontology.axioms().for_each_live([&](AxiomId, const AxiomView& axiom) {
    if (axiom.kind() == AxiomKind::DisjointClasses) insert_pairs(out, axiom.operands());
  });
  return out;
}

PairSet different_individual_pairs(const Ontology& ontology) {
  PairSet out;
  const DlStore& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i)
    if (dl.axiom(i).kind == DlAxiomKind::DifferentIndividuals) insert_pairs(out, dl.axiom(i).entities());
  ontology.axioms().for_each_live([&](AxiomId, const AxiomView& axiom) {
    if (axiom.kind() == AxiomKind::DifferentIndividuals) insert_pairs(out, axiom.operands());
  });
  return out;
}

// The owner with the most rows (ties: the greatest id), when it has at
// least three rows over at least four distinct members; those rows and the
// pairs of `pairs` among their members.
struct Chosen {
  EntityId owner;
  std::vector<Row> rows;
  PairSet pairs;
};

std::optional<Chosen> choose(const absl::flat_hash_map<uint32_t, std::vector<Row>>& rows_of, const PairSet& pairs) {
  const std::pair<const uint32_t, std::vector<Row>>* best = nullptr;
  for (const auto& entry : rows_of)
    if (best == nullptr || entry.second.size() > best->second.size() ||
        (entry.second.size() == best->second.size() && entry.first > best->first))
      best = &entry;
  if (best == nullptr || best->second.size() < 3) return std::nullopt;
  absl::flat_hash_set<uint32_t> members;
  for (const Row& row : best->second)
    for (EntityId m : row) members.insert(m.value);
  if (members.size() < 4) return std::nullopt;
  Chosen out{EntityId(best->first), best->second, {}};
  for (auto pair : pairs)
    if (members.contains(pair.first) && members.contains(pair.second)) out.pairs.insert(pair);
  if (out.pairs.empty()) return std::nullopt;
  return out;
}

// Whether `a` has an instance by a class assertion (of A, or of an
// intersection with A as an operand).
bool has_instance(const Ontology& ontology, EntityId a) {
  const DlStore& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    if (axiom.kind != DlAxiomKind::ClassAssertion || !dl.has_ce(axiom.class_expr())) continue;
    auto e = dl.ce(axiom.class_expr());
    if (e.kind == CeKind::Atomic && e.entity() == a) return true;
    if (e.kind == CeKind::And)
      for (CeId op : e.operands())
        if (dl.has_ce(op) && dl.ce(op).kind == CeKind::Atomic && dl.ce(op).entity() == a) return true;
  }
  bool found = false;
  ontology.axioms().for_each_live([&](AxiomId, const AxiomView& axiom) {
    found = found || (axiom.kind() == AxiomKind::ClassAssertion && axiom.id(1) == a);
  });
  return found;
}

uint8_t union_shape(const Ontology& ontology) {
  const PairSet disjoint = disjoint_class_pairs(ontology);
  if (disjoint.empty()) return kUndecided;
  const DlStore& dl = ontology.dl();
  absl::flat_hash_map<uint32_t, std::vector<Row>> rows_of;
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    if (axiom.kind != DlAxiomKind::SubClassOf || !dl.has_ce(axiom.sub()) || !dl.has_ce(axiom.sup())) continue;
    auto sub = dl.ce(axiom.sub());
    auto sup = dl.ce(axiom.sup());
    if (sub.kind != CeKind::Atomic || sup.kind != CeKind::Or || sup.operands().size() < 2) continue;
    Row row;
    for (CeId op : sup.operands()) {
      if (!dl.has_ce(op) || dl.ce(op).kind != CeKind::Atomic) {
        row.clear();
        break;
      }
      row.push_back(dl.ce(op).entity());
    }
    if (!row.empty()) rows_of[sub.entity().value].push_back(std::move(row));
  }
  auto chosen = choose(rows_of, disjoint);
  if (!chosen || !has_instance(ontology, chosen->owner)) return kUndecided;
  // The instance is in A itself too.
  for (auto pair : disjoint)
    if (pair.first == chosen->owner.value || pair.second == chosen->owner.value) chosen->pairs.insert(pair);
  chosen->rows.push_back({chosen->owner});
  return solve_union_constraints(std::move(chosen->rows), chosen->pairs);
}

uint8_t enumeration_shape(const Ontology& ontology) {
  const PairSet different = different_individual_pairs(ontology);
  if (different.empty()) return kUndecided;
  const DlStore& dl = ontology.dl();
  absl::flat_hash_map<uint32_t, std::vector<Row>> rows_of;
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    if (axiom.kind != DlAxiomKind::ClassAssertion || !dl.has_ce(axiom.class_expr())) continue;
    auto e = dl.ce(axiom.class_expr());
    if (e.kind != CeKind::OneOf || e.individuals().size() < 2) continue;
    rows_of[axiom.individual().value].push_back(e.individuals().to_vector());
  }
  auto chosen = choose(rows_of, different);
  if (!chosen) return kUndecided;
  return solve_union_constraints(std::move(chosen->rows), chosen->pairs);
}

}  // namespace

uint8_t solve_union_constraints(std::vector<Row> rows, const PairSet& incompatible, uint64_t node_cap) {
  auto clash = [&](EntityId x, EntityId y) { return x != y && incompatible.contains(ordered(x, y)); };
  // Propagation: drop a member that every member of another row clashes with.
  for (bool changed = true; changed;) {
    changed = false;
    for (size_t i = 0; i < rows.size(); ++i)
      for (size_t j = 0; j < rows.size(); ++j) {
        if (i == j) continue;
        const Row& other = rows[j];
        auto dead = [&](EntityId x) {
          return std::all_of(other.begin(), other.end(), [&](EntityId y) { return clash(x, y); });
        };
        const size_t before = rows[i].size();
        std::erase_if(rows[i], dead);
        if (rows[i].empty()) return kInconsistent;
        changed |= rows[i].size() != before;
      }
  }
  std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
    if (a.size() != b.size()) return a.size() < b.size();
    return a.front().value < b.front().value;
  });

  // Depth-first search over one member per row, on an explicit stack.
  const size_t n = rows.size();
  absl::flat_hash_map<uint32_t, uint32_t> chosen;  // member → times chosen
  auto fits = [&](EntityId m) {
    for (const auto& [c, _] : chosen)
      if (clash(m, EntityId(c))) return false;
    return true;
  };
  auto rest_open = [&](size_t depth) {
    for (size_t r = depth; r < n; ++r)
      if (std::none_of(rows[r].begin(), rows[r].end(), fits)) return false;
    return true;
  };
  std::vector<size_t> next(n + 1, 0);
  std::vector<EntityId> picked(n);
  uint64_t steps = 0;
  size_t depth = 0;
  while (true) {
    if (depth == n) return kChoiceExists;
    bool descended = false;
    if (next[depth] != 0 || (++steps <= node_cap && rest_open(depth))) {
      for (size_t k = next[depth]; k < rows[depth].size(); ++k) {
        const EntityId m = rows[depth][k];
        if (!fits(m)) continue;
        next[depth] = k + 1;
        picked[depth] = m;
        ++chosen[m.value];
        ++depth;
        next[depth] = 0;
        descended = true;
        break;
      }
    }
    if (steps > node_cap) return kUndecided;
    if (descended) continue;
    next[depth] = 0;
    if (depth == 0) return kInconsistent;
    --depth;
    if (--chosen[picked[depth].value] == 0) chosen.erase(picked[depth].value);
  }
}

uint8_t nominal_grid_consistency(const Ontology& ontology) {
  const uint8_t by_unions = union_shape(ontology);
  if (by_unions == kInconsistent) return by_unions;
  const uint8_t by_enumerations = enumeration_shape(ontology);
  if (by_enumerations != kUndecided) return by_enumerations;
  return by_unions;
}

}  // namespace trelvanic_dl::union_csp
