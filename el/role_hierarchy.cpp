#include "el/role_hierarchy.h"

#include <algorithm>

namespace trelvanic_el {
namespace {

constexpr uint64_t kMaxMatrixBits = uint64_t{1} << 26;  // 8 MiB

}  // namespace

RoleHierarchy::RoleHierarchy(uint32_t role_count, std::vector<RoleInclusion> inclusions,
                             const std::vector<RoleChain>& chains,
                             const std::vector<uint32_t>& reflexive_roles)
    : role_count_(role_count), inclusions_(std::move(inclusions)) {
  std::vector<uint8_t> told_reflexive(role_count, 0);
  for (uint32_t r : reflexive_roles) told_reflexive[r] = 1;
  // Each round adds at least one inclusion from a chain, and a chain gives at
  // most two, so the loop ends after at most 2 * |chains| + 1 rounds.
  for (;;) {
    std::vector<std::vector<uint32_t>> out(role_count);
    for (uint32_t i = 0; i < inclusions_.size(); ++i) out[inclusions_[i].sub].push_back(i);
    close(out);
    reflexive_ = told_reflexive;
    for (bool changed = true; changed;) {
      changed = false;
      for (uint32_t r = 0; r < role_count; ++r) {
        if (!reflexive_[r]) continue;
        for (uint32_t s : supers(r)) {
          if (!reflexive_[s]) reflexive_[s] = 1, changed = true;
        }
      }
      for (const RoleChain& c : chains) {
        if (reflexive_[c.first] && reflexive_[c.second] && !reflexive_[c.super]) {
          reflexive_[c.super] = 1;
          changed = true;
        }
      }
    }
    bool added = false;
    for (const RoleChain& c : chains) {
      if (reflexive_[c.first] && !is_sub(c.second, c.super)) {
        inclusions_.push_back({c.second, c.super, c.source, true});
        added = true;
      }
      if (reflexive_[c.second] && !is_sub(c.first, c.super)) {
        inclusions_.push_back({c.first, c.super, c.source, true});
        added = true;
      }
    }
    if (!added) break;
  }
}

void RoleHierarchy::set_bit(uint32_t r, uint32_t s) {
  uint64_t bit = uint64_t{r} * role_count_ + s;
  bits_[bit >> 6] |= uint64_t{1} << (bit & 63);
}

bool RoleHierarchy::search_supers(uint32_t r, uint32_t s) const {
  auto sup = supers(r);
  return std::binary_search(sup.begin(), sup.end(), s);
}

// Breadth-first walk from every role over the inclusion edges; the first edge
// that reaches a role is the derivation recorded for the pair.
void RoleHierarchy::close(const std::vector<std::vector<uint32_t>>& out) {
  offsets_.assign(1, 0);
  supers_.clear();
  derivations_.clear();
  uint64_t bits = uint64_t{role_count_} * role_count_;
  bits_.clear();
  if (bits <= kMaxMatrixBits) bits_.assign((bits + 63) / 64, 0);
  std::vector<uint32_t> mark(role_count_, UINT32_MAX);
  std::vector<uint32_t> queue;
  for (uint32_t r = 0; r < role_count_; ++r) {
    queue.assign(1, r);
    mark[r] = r;
    for (size_t head = 0; head < queue.size(); ++head) {
      uint32_t t = queue[head];
      for (uint32_t e : out[t]) {
        uint32_t s = inclusions_[e].super;
        if (mark[s] == r) continue;
        mark[s] = r;
        queue.push_back(s);
        derivations_.push_back({r, s, t, e});
      }
    }
    std::sort(queue.begin(), queue.end());
    if (!bits_.empty()) {
      for (uint32_t s : queue) set_bit(r, s);
    }
    supers_.insert(supers_.end(), queue.begin(), queue.end());
    offsets_.push_back(static_cast<uint32_t>(supers_.size()));
  }
}

}  // namespace trelvanic_el
