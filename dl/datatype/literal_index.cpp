#include "dl/datatype/literal_index.h"

#include <utility>

#include <absl/container/flat_hash_set.h>

namespace trelvanic_dl::datatype {

namespace {

using trelvanic_core::DeId;
using trelvanic_core::DeKind;
using trelvanic_core::DlStore;
using trelvanic_core::EntityId;
using trelvanic_core::Ontology;

constexpr int kMaxDepth = 200;
constexpr size_t kMaxChain = 64;
constexpr size_t kMaxNodes = 100000;

class Converter {
 public:
  Converter(const Ontology& ontology, const absl::flat_hash_map<EntityId, DeId>& definitions, DataRange& out)
      : ontology_(ontology), store_(ontology.dl()), definitions_(definitions), out_(out) {}

  uint32_t convert(DeId de, int depth) {
    if (!store_.has_de(de) || depth > kMaxDepth || out_.nodes.size() > kMaxNodes) return unknown();
    if (auto it = memo_.find(de); it != memo_.end()) return it->second;
    // A definition that leads back to a range being converted is a cycle.
    if (!on_path_.insert(de).second) return unknown();
    const uint32_t node = convert_node(de, depth);
    on_path_.erase(de);
    memo_.emplace(de, node);
    return node;
  }

 private:
  uint32_t unknown() { return out_.add_restriction(Dt::Unknown); }

  std::vector<uint32_t> convert_all(const trelvanic_core::DataExprView& e, int depth) {
    std::vector<uint32_t> members;
    for (DeId m : e.operands()) members.push_back(convert(m, depth + 1));
    return members;
  }

  uint32_t convert_node(DeId de, int depth) {
    const auto e = store_.de(de);
    switch (e.kind) {
      case DeKind::Top: return out_.add_top();
      case DeKind::Datatype: {
        if (auto it = definitions_.find(e.datatype()); it != definitions_.end()) return convert(it->second, depth + 1);
        return out_.add_restriction(datatype_of(ontology_, e.datatype()));
      }
      case DeKind::Literal: {
        Parsed p = literal_value(ontology_, LiteralValue{std::string(e.lexical()), e.datatype()});
        if (p.status != Parsed::Status::Ok || !p.value) return unknown();
        return out_.add_one_of({std::move(*p.value)});
      }
      case DeKind::And: return out_.add_and(convert_all(e, depth));
      case DeKind::Or: return out_.add_or(convert_all(e, depth));
      case DeKind::Not: return out_.add_not(convert(e.operand(), depth + 1));
      case DeKind::Facet: return convert_facets(de, depth);
    }
    return unknown();
  }

  // A chain of facets down to its datatype: one restriction.
  uint32_t convert_facets(DeId de, int depth) {
    std::vector<FacetValue> facets;
    DeId at = de;
    for (size_t links = 0;; ++links) {
      if (!store_.has_de(at) || links > kMaxChain) return unknown();
      const auto e = store_.de(at);
      if (e.kind != DeKind::Facet) break;
      facets.push_back(FacetValue{facet_of_iri(e.facet_iri()), std::string(e.facet_value())});
      at = e.base();
    }
    const auto end = store_.de(at);
    if (end.kind == DeKind::Datatype && !definitions_.contains(end.datatype()))
      return out_.add_restriction(datatype_of(ontology_, end.datatype()), std::move(facets));
    // A defined datatype under the facets: they narrow its restriction.
    const uint32_t base = convert(at, depth + 1);
    const DataRangeNode& b = out_.nodes[base];
    if (b.kind != DataRangeNode::Kind::Restriction) return unknown();
    std::vector<FacetValue> all = b.facets;
    all.insert(all.end(), facets.begin(), facets.end());
    return out_.add_restriction(b.base, std::move(all));
  }

  const Ontology& ontology_;
  const DlStore& store_;
  const absl::flat_hash_map<EntityId, DeId>& definitions_;
  DataRange& out_;
  absl::flat_hash_map<DeId, uint32_t> memo_;
  absl::flat_hash_set<DeId> on_path_;
};

}  // namespace

StoreRanges::StoreRanges(const Ontology& ontology) : ontology_(ontology) {
  const DlStore& store = ontology.dl();
  for (size_t i = 0; i < store.axiom_count(); ++i) {
    const auto a = store.axiom(i);
    if (a.kind == trelvanic_core::DlAxiomKind::DatatypeDefinition) definitions_[a.datatype()] = a.data_range();
  }
}

uint32_t StoreRanges::convert(DataRange& out, DeId de) const {
  Converter c(ontology_, definitions_, out);
  return c.convert(de, 0);
}

LiteralIndex LiteralIndex::from_store(const DlStore& store) {
  LiteralIndex index;
  for (uint32_t i = 0; i < store.de_count(); ++i) {
    const auto e = store.de(DeId(i));
    if (e.kind == DeKind::Literal) index.literals_.push_back(LiteralValue{std::string(e.lexical()), e.datatype()});
  }
  return index;
}

std::optional<bool> literal_satisfies(const Ontology& ontology, const LiteralValue& literal, DeId range) {
  Parsed p = literal_value(ontology, literal);
  if (p.status != Parsed::Status::Ok || !p.value) return std::nullopt;
  DataRange r;
  const uint32_t at = StoreRanges(ontology).convert(r, range);
  return satisfies(*p.value, r, at);
}

ValueCount data_range_count(const Ontology& ontology, DeId range) {
  DataRange r;
  const uint32_t at = StoreRanges(ontology).convert(r, range);
  return count_values(r, at);
}

ValueCount values_in_all_ranges(const Ontology& ontology, const std::vector<DeId>& ranges,
                                const std::vector<LiteralValue>& excluded) {
  DataRange r;
  const StoreRanges stored(ontology);
  std::vector<uint32_t> members;
  for (DeId de : ranges) members.push_back(stored.convert(r, de));
  std::vector<DataValue> left_out;
  bool unreadable = false;
  for (const LiteralValue& l : excluded) {
    Parsed p = literal_value(ontology, l);
    if (p.status == Parsed::Status::Ok && p.value) left_out.push_back(std::move(*p.value));
    else unreadable = true;
  }
  if (!left_out.empty()) members.push_back(r.add_not(r.add_one_of(std::move(left_out))));
  ValueCount c = count_values(r, r.add_and(std::move(members)));
  if (unreadable && c.kind != ValueCount::Kind::Infinite) return ValueCount::unknown();
  return c;
}

std::optional<bool> data_range_has_value(const Ontology& ontology, DeId range) {
  return has_at_least(data_range_count(ontology, range), 1);
}

}  // namespace trelvanic_dl::datatype
