#include "dl/datatype/keys.h"

#include <algorithm>

#include "dl/datatype/facets.h"

namespace trelvanic_dl::datatype::consistency {

using trelvanic_alc::DataConstraint;
using trelvanic_alc::DataTables;
using trelvanic_core::DeId;
using trelvanic_core::EntityId;
using trelvanic_core::Ontology;

namespace {

// The key of the one data value a range holds, when it is an enumeration
// (or a union of enumerations) whose listed values are all one value.
std::optional<std::string> only_value_key(const StoreRanges& stored, DeId range) {
  DataRange r;
  const DataRangeNode& top = r.nodes[stored.convert(r, range)];
  std::vector<const DataRangeNode*> lists;
  if (top.kind == DataRangeNode::Kind::OneOf) {
    lists.push_back(&top);
  } else if (top.kind == DataRangeNode::Kind::Or) {
    for (uint32_t m : top.members) {
      if (m >= r.nodes.size() || r.nodes[m].kind != DataRangeNode::Kind::OneOf) return std::nullopt;
      lists.push_back(&r.nodes[m]);
    }
  } else {
    return std::nullopt;
  }
  std::optional<std::string> key;
  for (const DataRangeNode* list : lists) {
    for (const DataValue& v : list->values) {
      std::string k = distinct_value_key(v);
      if (key && *key != k) return std::nullopt;
      key = std::move(k);
    }
  }
  return key;
}

}  // namespace

std::optional<std::string> distinct_literal_key(const Ontology& ontology, const LiteralValue& literal) {
  Parsed p = literal_value(ontology, literal);
  if (p.status != Parsed::Status::Ok || !p.value) return std::nullopt;
  return distinct_value_key(*p.value);
}

absl::flat_hash_set<std::string> definite_literal_keys(const Ontology& ontology, const StoreRanges& stored,
                                                       const DataTables& tables,
                                                       std::span<const std::pair<EntityId, LiteralValue>> values,
                                                       std::span<const DataConstraint> concepts, EntityId property) {
  auto below = [&](const EntityId& p) {
    const auto up = tables.supers_of(p);
    return std::find(up.begin(), up.end(), property) != up.end();
  };
  absl::flat_hash_set<std::string> keys;
  for (const auto& [p, literal] : values)
    if (below(p))
      if (auto k = distinct_literal_key(ontology, literal)) keys.insert(std::move(*k));
  for (const DataConstraint& c : concepts) {
    if (!c.needs_value() || c.n == 0 || !c.range || !below(c.property)) continue;
    if (auto k = only_value_key(stored, *c.range)) keys.insert(std::move(*k));
  }
  return keys;
}

}  // namespace trelvanic_dl::datatype::consistency
