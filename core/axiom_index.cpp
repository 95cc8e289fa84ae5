#include "core/axiom_index.h"

#include <algorithm>
#include <cstring>

#include "core/axiom_store.h"
#include "core/hash_chain.h"
#include "core/dl.h"

namespace trelvanic_core {

namespace {

// Sorted rows without repeats. The tail moves up as one block: rows of a
// class's instances reach thousands of ids, and an element-wise insert
// into them costs more than the rest of adding the axiom.
template <class Row>
void insert_sorted(Row& row, EntityId value) {
  const size_t at = static_cast<size_t>(std::lower_bound(row.begin(), row.end(), value) - row.begin());
  if (at < row.size() && row[at] == value) return;
  row.push_back(value);
  EntityId* data = row.data();
  std::memmove(data + at + 1, data + at, (row.size() - 1 - at) * sizeof(EntityId));
  data[at] = value;
}

template <class Row>
void erase_sorted(Row& row, EntityId value) {
  auto it = std::lower_bound(row.begin(), row.end(), value);
  if (it != row.end() && *it == value) row.erase(it);
}

}  // namespace

void DenseAdjacency::push_unique(EntityId r, EntityId value) { insert_sorted(rows_.get_or_make(r.value), value); }

void DenseAdjacency::erase(EntityId r, EntityId value) {
  if (Row* row = rows_.find(r.value)) erase_sorted(*row, value);
}

void SparseAdjacency::push_unique(EntityId r, EntityId value) { insert_sorted(rows_[r], value); }

void SparseAdjacency::erase(EntityId r, EntityId value) {
  auto it = rows_.find(r);
  if (it != rows_.end()) erase_sorted(it->second, value);
}

EntityId EquivalenceClusters::representative(EntityId id) const {
  auto it = cluster_of_.find(id);
  return it == cluster_of_.end() ? id : clusters_[it->second].representative;
}

void EquivalenceClusters::merge(std::span<const EntityId> ids) {
  if (ids.empty()) return;
  // The largest existing set absorbs the others and the loose ids.
  uint32_t base = HashChainIndex::kNone;
  for (EntityId id : ids) {
    auto it = cluster_of_.find(id);
    if (it != cluster_of_.end() &&
        (base == HashChainIndex::kNone || clusters_[it->second].members.size() > clusters_[base].members.size()))
      base = it->second;
  }
  if (base == HashChainIndex::kNone) {
    base = static_cast<uint32_t>(clusters_.size());
    clusters_.push_back(Cluster{ids[0], {}});
  }
  for (EntityId id : ids) {
    auto it = cluster_of_.find(id);
    if (it == cluster_of_.end()) {
      cluster_of_.emplace(id, base);
      clusters_[base].members.insert(id);
      clusters_[base].representative = std::min(clusters_[base].representative, id);
      continue;
    }
    const uint32_t other = it->second;
    if (other == base) continue;
    Cluster moved = std::move(clusters_[other]);
    clusters_[other].members.clear();
    for (EntityId m : moved.members) {
      cluster_of_[m] = base;
      clusters_[base].members.insert(m);
    }
    clusters_[base].representative = std::min(clusters_[base].representative, moved.representative);
  }
}

const EntitySet* EquivalenceClusters::get(EntityId id) const {
  auto it = cluster_of_.find(id);
  if (it == cluster_of_.end()) return nullptr;
  const EntitySet& members = clusters_[it->second].members;
  return members.size() < 2 ? nullptr : &members;
}

void SymmetricGroups::add_group(uint64_t source, std::span<const EntityId> ops) {
  if (!sources_.insert(source).second) return;
  std::vector<EntityId> group(ops.begin(), ops.end());
  std::sort(group.begin(), group.end());
  const auto gid = static_cast<uint32_t>(groups_.size());
  for (size_t i = 0; i < group.size(); ++i)
    if (i == 0 || group[i] != group[i - 1]) groups_of_[group[i]].push_back(gid);
  groups_.push_back(std::move(group));
}

bool SymmetricGroups::linked(EntityId a, EntityId b) const {
  auto it = groups_of_.find(a);
  if (it == groups_of_.end()) return false;
  for (uint32_t gid : it->second) {
    const auto& g = groups_[gid];
    const auto [lo, hi] = std::equal_range(g.begin(), g.end(), b);
    if (hi - lo >= (a == b ? 2 : 1)) return true;
  }
  return false;
}

std::optional<EntitySet> SymmetricGroups::linked_to(EntityId a) const {
  auto it = groups_of_.find(a);
  if (it == groups_of_.end()) return std::nullopt;
  EntitySet out;
  for (uint32_t gid : it->second) {
    const auto& g = groups_[gid];
    for (EntityId e : g)
      if (e != a) out.insert(e);
    const auto [lo, hi] = std::equal_range(g.begin(), g.end(), a);
    if (hi - lo >= 2) out.insert(a);
  }
  return out;
}

void PairListMap::append_unique(EntityId key, EntityId first, EntityId second) {
  List& list = rows_.get_or_make(key.value);
  if (key.value >= keys_.size()) keys_.resize(rows_.size());
  keys_[key.value] = true;
  const EntityPair pair(first, second);
  if (list.size() > kScanLength) {
    if (present_.insert({key.value, first.value, second.value}).second) list.push_back(pair);
    return;
  }
  if (std::find(list.begin(), list.end(), pair) != list.end()) return;
  list.push_back(pair);
  if (list.size() > kScanLength)
    for (const EntityPair& p : list) present_.insert({key.value, p.first.value, p.second.value});
}

void PairListMap::remove_pair(EntityId key, EntityId first, EntityId second, bool drop_empty_key) {
  List* found = rows_.find(key.value);
  if (found == nullptr) return;
  List& list = *found;
  auto erase_pair = [&] { list.erase(std::remove(list.begin(), list.end(), EntityPair(first, second)), list.end()); };
  if (list.size() > kScanLength) {
    if (present_.erase({key.value, first.value, second.value}) != 0) erase_pair();
    // Back to a short list: its pairs leave `present_`.
    if (list.size() == kScanLength)
      for (const EntityPair& p : list) present_.erase({key.value, p.first.value, p.second.value});
  } else {
    erase_pair();  // lists hold no repeats
  }
  if (drop_empty_key && list.empty()) keys_[key.value] = false;
}

void AxiomIndex::insert(AxiomId id, const AxiomView& a) {
  if (id.value >= listed_.size()) listed_.resize(size_t{id.value} + 1, 0);
  if (!listed_[id.value]) {
    listed_[id.value] = 1;
    by_kind_[static_cast<size_t>(a.kind())].push_back(id);
  }
  switch (a.kind()) {
    case AxiomKind::SubClassOf:
      superclasses.push_unique(a.subclass(), a.superclass());
      subclasses.push_unique(a.superclass(), a.subclass());
      break;
    case AxiomKind::EquivalentClasses: equivalent_classes.merge(a.operands()); break;
    case AxiomKind::DisjointClasses: disjoint.add_group(id.value, a.operands()); break;
    case AxiomKind::ObjectPropertyDomain: domains.push_unique(a.property(), a.domain()); break;
    case AxiomKind::ObjectPropertyRange: ranges.push_unique(a.property(), a.range()); break;
    case AxiomKind::SubObjectPropertyOf:
      superproperties.push_unique(a.sub_property(), a.super_property());
      subproperties.push_unique(a.super_property(), a.sub_property());
      break;
    case AxiomKind::InverseObjectProperties:
      inverses.push_unique(a.left(), a.right());
      inverses.push_unique(a.right(), a.left());
      break;
    TRELVANIC_CHARACTERISTIC_AXIOM_CASES
      characteristics_[static_cast<size_t>(*characteristic_of(a.kind()))].insert(a.property());
      break;
    case AxiomKind::SubClassOfExistential:
      existentials.append_unique(a.subclass(), a.property(), a.filler());
      break;
    case AxiomKind::EquivalentObjectProperties: equivalent_properties.merge(a.operands()); break;
    case AxiomKind::ClassAssertion:
      types.push_unique(a.individual(), a.class_id());
      instances.push_unique(a.class_id(), a.individual());
      break;
    case AxiomKind::ObjectPropertyAssertion:
      assertions_by_subject.append_unique(a.subject(), a.property(), a.object());
      assertions_by_object.append_unique(a.object(), a.property(), a.subject());
      break;
    case AxiomKind::DataPropertyAssertion:
    case AxiomKind::NegativeObjectPropertyAssertion:
    case AxiomKind::NegativeDataPropertyAssertion: break;
    case AxiomKind::SameIndividual: same_as.merge(a.operands()); break;
    case AxiomKind::DifferentIndividuals: different.add_group(id.value, a.operands()); break;
  }
}

void AxiomIndex::prefetch(const AxiomView& a) const {
  // The four frequent forms; the rarer ones load what they need when inserted.
  const AxiomKind k = a.kind();
  if (k == AxiomKind::SubClassOf) {
    superclasses.prefetch(a.subclass());
    subclasses.prefetch(a.superclass());
  } else if (k == AxiomKind::ClassAssertion) {
    types.prefetch(a.individual());
    instances.prefetch(a.class_id());
  } else if (k == AxiomKind::SubClassOfExistential) {
    existentials.prefetch(a.subclass());
  } else if (k == AxiomKind::ObjectPropertyAssertion) {
    assertions_by_subject.prefetch(a.subject());
    assertions_by_object.prefetch(a.object());
  }
}

void AxiomIndex::reserve(size_t entities, size_t axioms) {
  for (DenseAdjacency* d : {&superclasses, &subclasses, &types, &instances}) d->reserve(entities);
  for (PairListMap* m : {&existentials, &assertions_by_subject, &assertions_by_object}) m->reserve(entities);
  listed_.reserve(axioms);
}

void AxiomIndex::remove(AxiomId id, const AxiomView& a) {
  if (id.value < listed_.size() && listed_[id.value]) {
    listed_[id.value] = 0;
    std::erase(by_kind_[static_cast<size_t>(a.kind())], id);
  }
  switch (a.kind()) {
    case AxiomKind::SubClassOf:
      superclasses.erase(a.subclass(), a.superclass());
      subclasses.erase(a.superclass(), a.subclass());
      break;
    case AxiomKind::ObjectPropertyDomain: domains.erase(a.property(), a.domain()); break;
    case AxiomKind::ObjectPropertyRange: ranges.erase(a.property(), a.range()); break;
    case AxiomKind::SubObjectPropertyOf:
      superproperties.erase(a.sub_property(), a.super_property());
      subproperties.erase(a.super_property(), a.sub_property());
      break;
    case AxiomKind::InverseObjectProperties:
      inverses.erase(a.left(), a.right());
      inverses.erase(a.right(), a.left());
      break;
    TRELVANIC_CHARACTERISTIC_AXIOM_CASES
      characteristics_[static_cast<size_t>(*characteristic_of(a.kind()))].erase(a.property());
      break;
    case AxiomKind::SubClassOfExistential:
      existentials.remove_pair(a.subclass(), a.property(), a.filler(), /*drop_empty_key=*/false);
      break;
    case AxiomKind::ClassAssertion:
      types.erase(a.individual(), a.class_id());
      instances.erase(a.class_id(), a.individual());
      break;
    case AxiomKind::ObjectPropertyAssertion:
      assertions_by_subject.remove_pair(a.subject(), a.property(), a.object(), true);
      assertions_by_object.remove_pair(a.object(), a.property(), a.subject(), true);
      break;
    // The n-ary forms are taken out by a rebuild; the rest index nothing more.
    case AxiomKind::EquivalentClasses:
    case AxiomKind::DisjointClasses:
    case AxiomKind::EquivalentObjectProperties:
    case AxiomKind::SameIndividual:
    case AxiomKind::DifferentIndividuals:
    case AxiomKind::DataPropertyAssertion:
    case AxiomKind::NegativeObjectPropertyAssertion:
    case AxiomKind::NegativeDataPropertyAssertion: break;
  }
}

void AxiomIndex::rebuild_from_store(const AxiomStore& store, const DlStore* dl) {
  const bool had_dl_abox = dl_abox_indexed_;
  *this = AxiomIndex();
  store.for_each_live([&](AxiomId id, const AxiomView& a) { insert(id, a); });
  if (dl != nullptr && had_dl_abox) index_dl_abox(*dl);
}

void AxiomIndex::index_dl_abox(const DlStore& dl) {
  dl_abox_indexed_ = true;
  // Only ABox axioms over named classes and named properties are indexed;
  // every other DL axiom is left to the engines that read the DL store.
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    const DlAxiomView a = dl.axiom(i);
    if (a.kind == DlAxiomKind::ClassAssertion) {
      const CeId c = a.class_expr();
      if (!dl.has_ce(c) || dl.ce(c).kind != CeKind::Atomic) continue;
      const EntityId cls = dl.ce(c).entity();
      types.push_unique(a.individual(), cls);
      instances.push_unique(cls, a.individual());
    } else if (a.kind == DlAxiomKind::ObjectPropertyAssertion) {
      const RoleExpr r = a.role();
      if (r.is_inverse()) continue;
      assertions_by_subject.append_unique(a.subject(), r.property, a.object());
      assertions_by_object.append_unique(a.object(), r.property, a.subject());
    } else if (a.kind == DlAxiomKind::SameIndividual) {
      same_as.merge(a.entities().to_vector());
    } else if (a.kind == DlAxiomKind::DifferentIndividuals) {
      // Keys above the 32-bit axiom ids name DL-store axioms.
      different.add_group((uint64_t{1} << 32) | i, a.entities().to_vector());
    }
  }
}

std::optional<EntityId> AxiomIndex::inverse_of(EntityId p) const {
  const auto row = inverses.row(p);
  if (row.empty()) return std::nullopt;
  return row.front();
}


}  // namespace trelvanic_core
