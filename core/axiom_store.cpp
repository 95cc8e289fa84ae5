#include "core/axiom_store.h"

#include <algorithm>

#include <fmt/format.h>

#include "core/siphash.h"

namespace trelvanic_core {
namespace {

uint64_t literal_hash(LiteralView v) {
  SipHasher13 h;
  h.write(v.lexical);
  h.write_u8(0xFF);
  h.write(v.datatype);
  h.write_u8(0xFF);
  return h.finish();
}

}  // namespace

AxiomView AxiomStore::view(AxiomId id) const {
  const Record& r = records_[id.value];
  if (axiom_kind_is_nary(r.kind))
    return AxiomView(r.kind, {}, std::span<const EntityId>(operands_.data() + r.a, r.b), {});
  if (axiom_kind_has_literal(r.kind))
    return AxiomView(r.kind, {EntityId(r.a), EntityId(r.b), EntityId()}, {}, literal(r.c));
  return AxiomView(r.kind, {EntityId(r.a), EntityId(r.b), EntityId(r.c)}, {}, {});
}

uint32_t AxiomStore::intern_literal(LiteralView v) {
  const uint64_t h = literal_hash(v);
  const auto index = static_cast<uint32_t>(literals_.size());
  if (auto p = literal_index_.find_or_add(h, index, [&](uint32_t i) { return literal(i) == v; })) return *p;
  literals_.emplace_back(texts_.append(v.lexical), texts_.append(v.datatype));
  return index;
}

uint64_t AxiomStore::prepare(Axiom& axiom) {
  axiom.canonicalize();
  return axiom_fingerprint(axiom.view());
}

Result<AxiomId> AxiomStore::push_with_provenance(Axiom axiom, const EntityRegistry& registry,
                                                 bool inferred) {
  const uint64_t fp = prepare(axiom);
  return push_prepared(axiom, fp, registry, inferred);
}

Result<AxiomId> AxiomStore::push_prepared(const Axiom& axiom, uint64_t fp, const EntityRegistry& registry,
                                          bool inferred) {
  const AxiomView candidate = axiom.view();
  TRELVANIC_TRY(validate_with_limits(candidate, registry, kDefaultLimits));
  const size_t nops = candidate.operands().size();
  const bool full = records_.size() >= kMaxId32 || operands_.size() + nops > kMaxId32;
  const auto id = static_cast<uint32_t>(records_.size());
  auto same = [&](uint32_t i) { return axioms_equal(view(AxiomId(i)), candidate); };
  // The index holds live ids only (removal unlinks them). Below capacity the
  // new id is linked in the same probe that looks for an equal axiom.
  auto found = full ? index_.find(fp, same) : index_.find_or_add(fp, id, same);
  if (found) {
    if (!inferred) records_[*found].flags &= static_cast<uint8_t>(~kInferred);
    return AxiomId(*found);
  }
  if (full) return std::unexpected(Error::invalid_axiom("axiom store capacity exceeded"));

  Record r{candidate.kind(), static_cast<uint8_t>(inferred ? kInferred : 0), 0, 0, 0};
  if (axiom_kind_is_nary(r.kind)) {
    r.a = static_cast<uint32_t>(operands_.size());
    r.b = static_cast<uint32_t>(nops);
    operands_.insert(operands_.end(), candidate.operands().begin(), candidate.operands().end());
  } else {
    r.a = candidate.id(0).value;
    r.b = candidate.id(1).value;
    r.c = axiom_kind_has_literal(r.kind) ? intern_literal(candidate.literal()) : candidate.id(2).value;
  }
  records_.push_back(r);
  if (inferred) inferred_candidates_.push_back(AxiomId(id));
  return AxiomId(id);
}

void AxiomStore::reserve(size_t n) {
  records_.reserve(n);
  index_.reserve(n);
}

Result<AxiomView> AxiomStore::get(AxiomId id) const {
  if (id.value < records_.size() && is_removed(id))
    return std::unexpected(Error::invalid_axiom(fmt::format("removed AxiomId: {}", id.value)));
  if (id.value >= records_.size())
    return std::unexpected(Error::invalid_axiom(fmt::format("unknown AxiomId: {}", id.value)));
  return view(id);
}

Result<void> AxiomStore::remove(AxiomId id) {
  TRELVANIC_TRY(get(id));
  tombstone(id);
  return {};
}

void AxiomStore::tombstone(AxiomId id) {
  records_[id.value].flags |= kRemoved;
  ++removed_count_;
  index_.remove(axiom_fingerprint(view(id)), id.value);
}

std::vector<AxiomId> AxiomStore::strip_inferred() {
  std::vector<AxiomId> stripped;
  for (AxiomId id : inferred_candidates_) {
    Record& r = records_[id.value];
    if ((r.flags & kInferred) != 0 && (r.flags & kRemoved) == 0) {
      tombstone(id);
      stripped.push_back(id);
    }
    r.flags &= static_cast<uint8_t>(~kInferred);
  }
  inferred_candidates_.clear();
  std::sort(stripped.begin(), stripped.end());
  return stripped;
}

size_t AxiomStore::memory_bytes() const {
  return records_.capacity() * sizeof(Record) + operands_.capacity() * sizeof(EntityId) +
         texts_.capacity_bytes() + literals_.capacity() * sizeof(literals_[0]) +
         literal_index_.memory_bytes() + index_.memory_bytes() +
         inferred_candidates_.capacity() * sizeof(AxiomId);
}

}  // namespace trelvanic_core
