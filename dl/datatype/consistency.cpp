#include "dl/datatype/consistency.h"

#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

#include "core/axiom.h"
#include "core/dl.h"
#include "core/dl_expr.h"
#include "dl/datatype/literal.h"
#include "dl/datatype/value.h"

namespace trelvanic_dl::datatype {

using trelvanic_core::AxiomKind;
using trelvanic_core::DeKind;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::EntityId;
using trelvanic_core::Ontology;

namespace {

struct Fact {
  EntityId individual;
  EntityId property;
  Parsed value;
};

// Two parsed values proven the same data value, or proven different.
std::optional<bool> same(const Parsed& a, const Parsed& b) {
  if (!a.value || !b.value) return std::nullopt;
  return same_value(*a.value, *b.value);
}

class DataFacts {
 public:
  explicit DataFacts(const Ontology& o) : o_(o) {
    o.axioms().for_each_live([&](trelvanic_core::AxiomId, const trelvanic_core::AxiomView& a) {
      if (a.kind() != AxiomKind::DataPropertyAssertion && a.kind() != AxiomKind::NegativeDataPropertyAssertion) return;
      Fact f{a.individual(), a.property(), parse_value(a.literal().lexical, datatype_of_iri(a.literal().datatype))};
      (a.kind() == AxiomKind::DataPropertyAssertion ? positive_ : negative_).push_back(std::move(f));
    });
    const auto& dl = o.dl();
    for (size_t i = 0; i < dl.axiom_count(); ++i) {
      auto a = dl.axiom(i);
      switch (a.kind) {
        case DlAxiomKind::DataPropertyAssertion:
        case DlAxiomKind::NegativeDataPropertyAssertion: {
          if (!dl.has_de(a.value())) break;
          auto lit = dl.de(a.value());
          if (lit.kind != DeKind::Literal) break;
          Fact f{a.subject(), a.property(), parse_value(lit.lexical(), datatype_of(o, lit.datatype()))};
          (a.kind == DlAxiomKind::DataPropertyAssertion ? positive_ : negative_).push_back(std::move(f));
          break;
        }
        case DlAxiomKind::SubDataPropertyOf:
          supers_[a.sub_data_property()].push_back(a.sup_data_property());
          break;
        case DlAxiomKind::EquivalentDataProperties: {
          auto ops = a.entities().to_vector();
          for (EntityId x : ops)
            for (EntityId y : ops)
              if (x != y) supers_[x].push_back(y);
          break;
        }
        case DlAxiomKind::DataPropertyRange: {
          if (!dl.has_de(a.data_range())) break;
          auto range = dl.de(a.data_range());
          if (range.kind == DeKind::Datatype) ranges_[a.property()].push_back(datatype_of(o, range.datatype()));
          break;
        }
        case DlAxiomKind::FunctionalDataProperty:
          functional_.insert(a.property());
          break;
        case DlAxiomKind::DisjointDataProperties:
          disjoint_.push_back(a.entities().to_vector());
          break;
        default:
          break;
      }
    }
  }

  bool consistent() {
    // Every positive fact also holds for the property's super-properties.
    absl::flat_hash_map<std::pair<EntityId, EntityId>, std::vector<size_t>> values;
    for (size_t i = 0; i < positive_.size(); ++i) {
      const Fact& f = positive_[i];
      if (f.value.status == Parsed::Status::IllTyped) return false;
      for (EntityId q : closure(f.property)) {
        if (f.value.value) {
          for (Dt range : ranges_[q]) {
            if (in_value_space(*f.value.value, range) == std::optional<bool>(false)) return false;
          }
        }
        values[{f.individual, q}].push_back(i);
      }
    }
    for (const Fact& f : negative_) {
      if (f.value.status == Parsed::Status::IllTyped) return false;
      auto it = values.find({f.individual, f.property});
      if (it == values.end()) continue;
      for (size_t i : it->second)
        if (same(positive_[i].value, f.value) == std::optional<bool>(true)) return false;
    }
    for (const auto& [key, indices] : values) {
      if (!functional_.contains(key.second)) continue;
      for (size_t i = 0; i < indices.size(); ++i)
        for (size_t j = i + 1; j < indices.size(); ++j)
          if (same(positive_[indices[i]].value, positive_[indices[j]].value) == std::optional<bool>(false)) return false;
    }
    for (const auto& group : disjoint_) {
      for (size_t x = 0; x < group.size(); ++x) {
        for (size_t y = x + 1; y < group.size(); ++y) {
          for (const auto& [key, indices] : values) {
            if (key.second != group[x]) continue;
            auto other = values.find({key.first, group[y]});
            if (other == values.end()) continue;
            for (size_t i : indices)
              for (size_t j : other->second)
                if (same(positive_[i].value, positive_[j].value) == std::optional<bool>(true)) return false;
          }
        }
      }
    }
    return true;
  }

 private:
  // The property and every property above it.
  std::vector<EntityId> closure(EntityId p) {
    std::vector<EntityId> out{p};
    absl::flat_hash_set<EntityId> seen{p};
    for (size_t i = 0; i < out.size(); ++i) {
      auto it = supers_.find(out[i]);
      if (it == supers_.end()) continue;
      for (EntityId s : it->second)
        if (seen.insert(s).second) out.push_back(s);
    }
    return out;
  }

  const Ontology& o_;
  std::vector<Fact> positive_, negative_;
  absl::flat_hash_map<EntityId, std::vector<EntityId>> supers_;
  absl::flat_hash_map<EntityId, std::vector<Dt>> ranges_;
  absl::flat_hash_set<EntityId> functional_;
  std::vector<std::vector<EntityId>> disjoint_;
};

}  // namespace

bool is_datatype_consistent(const Ontology& ontology) { return DataFacts(ontology).consistent(); }

}  // namespace trelvanic_dl::datatype
