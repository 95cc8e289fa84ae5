// The shared shape of DL expressions and DL axioms, and the generic walks
// over it.
//
// Every class expression, data expression and DL axiom is a node: a form
// code, a flag byte, three 32-bit slots, one flat list of 32-bit values and
// (for data expressions) up to two texts. A per-form table of `FieldSpec`s
// says, in declared field order, what each field is and where it lives, so
// fingerprinting, equality, entity remapping and id checks are written once
// over that table instead of once per form.
//
// Owning values keep the list in a vector and the texts as strings; store
// views keep a span into the store's flat list pool and text views.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/ids.h"
#include "core/siphash.h"

namespace trelvanic_core {

enum class RoleKind : uint8_t { Atomic = 0, Inverse = 1 };

// An object property expression: a named property or its inverse.
struct RoleExpr {
  RoleKind kind = RoleKind::Atomic;
  EntityId property;

  static RoleExpr atomic(EntityId p) { return {RoleKind::Atomic, p}; }
  static RoleExpr inverse(EntityId p) { return {RoleKind::Inverse, p}; }
  bool is_inverse() const { return kind == RoleKind::Inverse; }

  friend bool operator==(const RoleExpr&, const RoleExpr&) = default;
};

enum class FieldType : uint8_t {
  Entity,      // EntityId in `slot`
  Ce,          // CeId in `slot`
  De,          // DeId in `slot`
  Role,        // entity in `slot`, inverse when flag `bit` is set
  Count,       // unsigned number in `slot`
  OptCe,       // CeId in `slot` when flag `bit` is set
  OptDe,       // DeId in `slot` when flag `bit` is set
  Text,        // text number `bit` (a pool index in `slot` inside a store)
  ListCe,      // list of CeId; its length in `slot`
  ListDe,      // list of DeId; its length in `slot`
  ListEntity,  // list of EntityId; its length in `slot`
  ListRole,    // list of RoleExpr (two values each: kind, entity); length in `slot`
};

struct FieldSpec {
  FieldType type;
  uint8_t slot;
  uint8_t bit = 0;
};

constexpr bool is_list(FieldType t) {
  return t == FieldType::ListCe || t == FieldType::ListDe || t == FieldType::ListEntity ||
         t == FieldType::ListRole;
}
constexpr uint32_t list_stride(FieldType t) { return t == FieldType::ListRole ? 2 : 1; }

// A read-only list of typed ids over raw 32-bit values.
template <class Id>
class IdList {
 public:
  IdList() = default;
  explicit IdList(std::span<const uint32_t> raw) : raw_(raw) {}

  size_t size() const { return raw_.size(); }
  bool empty() const { return raw_.empty(); }
  Id operator[](size_t i) const { return Id(raw_[i]); }
  std::vector<Id> to_vector() const { return {begin(), end()}; }
  std::span<const uint32_t> raw() const { return raw_; }

  class iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = Id;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = Id;
    iterator() = default;
    explicit iterator(const uint32_t* p) : p_(p) {}
    Id operator*() const { return Id(*p_); }
    iterator& operator++() { ++p_; return *this; }
    iterator operator++(int) { auto t = *this; ++p_; return t; }
    friend bool operator==(iterator a, iterator b) { return a.p_ == b.p_; }
   private:
    const uint32_t* p_ = nullptr;
  };
  iterator begin() const { return iterator(raw_.data()); }
  iterator end() const { return iterator(raw_.data() + raw_.size()); }

 private:
  std::span<const uint32_t> raw_;
};

// A read-only list of roles stored as (kind, entity) pairs.
class RoleList {
 public:
  RoleList() = default;
  explicit RoleList(std::span<const uint32_t> raw) : raw_(raw) {}
  size_t size() const { return raw_.size() / 2; }
  bool empty() const { return raw_.empty(); }
  RoleExpr operator[](size_t i) const {
    return {static_cast<RoleKind>(raw_[2 * i]), EntityId(raw_[2 * i + 1])};
  }
  std::vector<RoleExpr> to_vector() const {
    std::vector<RoleExpr> out;
    for (size_t i = 0; i < size(); ++i) out.push_back((*this)[i]);
    return out;
  }
 private:
  std::span<const uint32_t> raw_;
};

// Data of a node. `List` is std::vector<uint32_t> (values) or
// std::span<const uint32_t> (views); `Text` std::string or std::string_view.
template <class Kind, class List, class Text>
struct DlNodeData {
  Kind kind{};
  uint8_t flags = 0;
  std::array<uint32_t, 3> slot{};
  List list{};
  std::array<Text, 2> text{};

  bool flag(uint8_t bit) const { return (flags >> bit) & 1u; }
  std::span<const uint32_t> list_span() const { return std::span<const uint32_t>(list); }
};

// Offset (in raw values) of list field `field` within the node's list.
template <class Node>
uint32_t list_offset(const Node& n, std::span<const FieldSpec> specs, size_t field) {
  uint32_t off = 0;
  for (size_t i = 0; i < field; ++i)
    if (is_list(specs[i].type)) off += n.slot[specs[i].slot] * list_stride(specs[i].type);
  return off;
}

template <class Node>
std::span<const uint32_t> list_field(const Node& n, std::span<const FieldSpec> specs, size_t field) {
  const FieldSpec& f = specs[field];
  return n.list_span().subspan(list_offset(n, specs, field), n.slot[f.slot] * list_stride(f.type));
}

// Length in raw values of all lists of a node, from its counts.
template <class Node>
uint32_t total_list_length(const Node& n, std::span<const FieldSpec> specs) {
  return list_offset(n, specs, specs.size());
}

// SipHash-1-3 (zero keys): the form code as 8 bytes LE, then the fields in
// declared order (32-bit values as 4 bytes LE; a list as its length in 8
// bytes then its elements; a text as its bytes then 0xFF; an optional as 0/1
// in 8 bytes then the value when present; a role as its kind in 8 bytes then
// its entity).
template <class Node>
uint64_t node_fingerprint(const Node& n, std::span<const FieldSpec> specs) {
  SipHasher13 h;
  h.write_u64_le(static_cast<uint64_t>(n.kind));
  for (size_t i = 0; i < specs.size(); ++i) {
    const FieldSpec& f = specs[i];
    switch (f.type) {
      case FieldType::Entity:
      case FieldType::Ce:
      case FieldType::De:
      case FieldType::Count: h.write_u32_le(n.slot[f.slot]); break;
      case FieldType::Role:
        h.write_u64_le(n.flag(f.bit) ? 1 : 0);
        h.write_u32_le(n.slot[f.slot]);
        break;
      case FieldType::OptCe:
      case FieldType::OptDe:
        h.write_u64_le(n.flag(f.bit) ? 1 : 0);
        if (n.flag(f.bit)) h.write_u32_le(n.slot[f.slot]);
        break;
      case FieldType::Text:
        h.write(std::string_view(n.text[f.bit]));
        h.write_u8(0xFF);
        break;
      case FieldType::ListCe:
      case FieldType::ListDe:
      case FieldType::ListEntity:
        h.write_u64_le(n.slot[f.slot]);
        for (uint32_t v : list_field(n, specs, i)) h.write_u32_le(v);
        break;
      case FieldType::ListRole: {
        h.write_u64_le(n.slot[f.slot]);
        auto raw = list_field(n, specs, i);
        for (size_t k = 0; k + 1 < raw.size(); k += 2) {
          h.write_u64_le(raw[k]);
          h.write_u32_le(raw[k + 1]);
        }
        break;
      }
    }
  }
  return h.finish();
}

// Structural equality of two nodes of the same family (value or view).
template <class A, class B>
bool nodes_equal(const A& a, const B& b, std::span<const FieldSpec> specs) {
  if (static_cast<uint8_t>(a.kind) != static_cast<uint8_t>(b.kind)) return false;
  for (size_t i = 0; i < specs.size(); ++i) {
    const FieldSpec& f = specs[i];
    switch (f.type) {
      case FieldType::Entity:
      case FieldType::Ce:
      case FieldType::De:
      case FieldType::Count:
        if (a.slot[f.slot] != b.slot[f.slot]) return false;
        break;
      case FieldType::Role:
        if (a.slot[f.slot] != b.slot[f.slot] || a.flag(f.bit) != b.flag(f.bit)) return false;
        break;
      case FieldType::OptCe:
      case FieldType::OptDe:
        if (a.flag(f.bit) != b.flag(f.bit)) return false;
        if (a.flag(f.bit) && a.slot[f.slot] != b.slot[f.slot]) return false;
        break;
      case FieldType::Text:
        if (std::string_view(a.text[f.bit]) != std::string_view(b.text[f.bit])) return false;
        break;
      case FieldType::ListCe:
      case FieldType::ListDe:
      case FieldType::ListEntity:
      case FieldType::ListRole: {
        if (a.slot[f.slot] != b.slot[f.slot]) return false;
        auto la = list_field(a, specs, i), lb = list_field(b, specs, i);
        if (!std::equal(la.begin(), la.end(), lb.begin(), lb.end())) return false;
        break;
      }
    }
  }
  return true;
}

}  // namespace trelvanic_core
