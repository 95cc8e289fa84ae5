#include "dl/datatype/consistency.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

#include "core/axiom.h"
#include "core/dl.h"
#include "core/dl_expr.h"
#include "dl/datatype/keys.h"
#include "dl/datatype/literal.h"
#include "dl/datatype/restrictions.h"
#include "dl/datatype/value.h"
#include "dl/datatype/world_values.h"

namespace trelvanic_dl::datatype {

using trelvanic_alc::DataAnswer;
using trelvanic_alc::DataConstraint;
using trelvanic_alc::DataTables;
using trelvanic_core::AxiomKind;
using trelvanic_core::CeId;
using trelvanic_core::CeKind;
using trelvanic_core::DeId;
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

// The key of a fact's value; none when its value is not known.
std::optional<std::string> key_of(const Fact& f) {
  if (!f.value.value) return std::nullopt;
  return distinct_value_key(*f.value.value);
}

class DataFacts {
 public:
  explicit DataFacts(const Ontology& o) {
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
        case DlAxiomKind::DisjointDataProperties: {
          // By position: a property listed twice has no value at all.
          auto ops = a.entities().to_vector();
          for (size_t x = 0; x < ops.size(); ++x)
            for (size_t y = 0; y < ops.size(); ++y)
              if (x != y) disjoint_[ops[x]].push_back(ops[y]);
          break;
        }
        default:
          break;
      }
    }
  }

  bool consistent() {
    // The keys of the values each individual has for each property: a
    // positive fact also holds for the property's super-properties. Values
    // not known have no key and are not counted.
    absl::flat_hash_map<std::pair<EntityId, EntityId>, absl::flat_hash_set<std::string>> values;
    for (const Fact& f : positive_) {
      if (f.value.status == Parsed::Status::IllTyped) return false;
      const auto key = key_of(f);
      for (EntityId q : closure(f.property)) {
        if (f.value.value) {
          for (Dt range : ranges_[q]) {
            if (in_value_space(*f.value.value, range) == std::optional<bool>(false)) return false;
          }
        }
        auto& keys = values[{f.individual, q}];
        if (key) keys.insert(*key);
      }
    }
    for (const Fact& f : negative_) {
      if (f.value.status == Parsed::Status::IllTyped) return false;
      const auto key = key_of(f);
      if (!key) continue;
      auto it = values.find({f.individual, f.property});
      if (it != values.end() && it->second.contains(*key)) return false;
    }
    for (const auto& [at, keys] : values) {
      // Two values of a functional property.
      if (keys.size() > 1 && functional_.contains(at.second)) return false;
      // One value of two disjoint properties.
      auto partners = disjoint_.find(at.second);
      if (partners == disjoint_.end()) continue;
      for (EntityId q : partners->second) {
        auto other = values.find({at.first, q});
        if (other == values.end()) continue;
        for (const std::string& k : keys)
          if (other->second.contains(k)) return false;
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

  std::vector<Fact> positive_, negative_;
  absl::flat_hash_map<EntityId, std::vector<EntityId>> supers_;
  absl::flat_hash_map<EntityId, std::vector<Dt>> ranges_;
  absl::flat_hash_set<EntityId> functional_;
  // The properties each one is declared disjoint with.
  absl::flat_hash_map<EntityId, std::vector<EntityId>> disjoint_;
};

// Class expressions are walked with an explicit stack, at most this many
// nodes each.
constexpr size_t kMaxWalk = 100000;

constexpr std::string_view kOwl = "http://www.w3.org/2002/07/owl#";

// The data restrictions every individual is told to meet: those of its
// asserted class expressions, of the named classes above them (through
// sub- and equivalent-class axioms) and of owl:Thing, its values, its
// negative values, and for an individual asserted in ¬A the complement of
// R for each DataSomeValuesFrom(p R) ⊑ A. Each individual's list goes to
// the tableau's data oracle; only its proof of no values rejects.
class IndividualRestrictions {
 public:
  explicit IndividualRestrictions(const Ontology& o) : o_(o), dl_(o.dl()), stored_(o), definitions_(o.dl()) {
    thing_ = o.lookup_entity(std::string(kOwl) + "Thing");
    if (!thing_) thing_ = o.lookup_entity("owl:Thing");
    top_ = o.lookup_entity(std::string(kOwl) + "topDataProperty");
    bottom_ = o.lookup_entity(std::string(kOwl) + "bottomDataProperty");
  }

  bool consistent() {
    build_tables();
    read_axioms();
    const bool classes_restrict = std::any_of(classes_.begin(), classes_.end(),
                                              [](const auto& c) { return !c.second.constraints.empty(); });
    for (auto& [x, ind] : individuals_) {
      if (!classes_restrict && ind.constraints.empty() && ind.facts.values.empty()) continue;
      std::vector<DataConstraint> all = ind.constraints;
      std::vector<EntityId> todo = ind.named;
      if (thing_) todo.push_back(*thing_);
      absl::flat_hash_set<EntityId> seen;
      while (!todo.empty()) {
        const EntityId c = todo.back();
        todo.pop_back();
        if (!seen.insert(c).second) continue;
        auto it = classes_.find(c);
        if (it == classes_.end()) continue;
        all.insert(all.end(), it->second.constraints.begin(), it->second.constraints.end());
        todo.insert(todo.end(), it->second.parents.begin(), it->second.parents.end());
      }
      for (EntityId a : ind.negated)
        for (const auto& [p, r, cls] : some_implies_)
          if (cls == a) all.push_back(DataConstraint{DataConstraint::Kind::All, p, r, 1, true});
      std::vector<DataConstraint> kept;
      for (const DataConstraint& c : all) {
        if (top_ && c.property == *top_) continue;
        if (bottom_ && c.property == *bottom_) {
          if (c.needs_value()) return false;
          continue;
        }
        kept.push_back(c);
      }
      if (kept.empty() && ind.facts.values.empty()) continue;
      if (definite_values_clash(kept, ind.facts)) return false;
      if (decide_individual_values(o_, stored_, tables_, kept, ind.facts) == DataAnswer::Unsatisfiable) return false;
    }
    return true;
  }

 private:
  struct ClassRestrictions {
    std::vector<DataConstraint> constraints;
    std::vector<EntityId> parents;
  };
  struct Individual {
    std::vector<DataConstraint> constraints;
    std::vector<EntityId> named;
    std::vector<EntityId> negated;  // A of the assertions of ¬A
    LiteralFacts facts;
  };

  // Values the individual surely has that break a maximum (two of a
  // functional property, more than an unqualified ≤n allows) or that two
  // disjoint properties share. The oracle finds these too, short of its
  // caps; here they are found by key, whatever their number.
  bool definite_values_clash(std::span<const DataConstraint> concepts, const LiteralFacts& facts) const {
    absl::flat_hash_set<EntityId> valued;
    for (const auto& [p, _] : facts.values)
      for (EntityId q : tables_.supers_of(p)) valued.insert(q);
    for (const DataConstraint& c : concepts)
      if (c.needs_value())
        for (EntityId q : tables_.supers_of(c.property)) valued.insert(q);
    std::unordered_map<EntityId, absl::flat_hash_set<std::string>> keys;  // references stay valid
    auto keys_of = [&](EntityId p) -> const absl::flat_hash_set<std::string>& {
      auto [it, fresh] = keys.try_emplace(p);
      if (fresh) it->second = consistency::definite_literal_keys(o_, stored_, tables_, facts.values, concepts, p);
      return it->second;
    };
    for (EntityId p : valued)
      if (tables_.functional.contains(p) && keys_of(p).size() > 1) return true;
    for (const DataConstraint& c : concepts)
      if (c.kind == DataConstraint::Kind::AtMost && !c.range && valued.contains(c.property) &&
          keys_of(c.property).size() > c.n)
        return true;
    for (auto [p, q] : tables_.disjoint) {
      if (!valued.contains(p) || !valued.contains(q)) continue;
      const auto& kp = keys_of(p);
      const auto& kq = keys_of(q);
      for (const std::string& k : kp)
        if (kq.contains(k)) return true;
    }
    return false;
  }

  // The data restrictions of a class expression (through the definitions
  // of named classes) and its named conjuncts.
  void collect(CeId ce, std::vector<DataConstraint>& out, std::vector<EntityId>& named) const {
    using K = DataConstraint::Kind;
    using R = consistency::DataRestriction::Kind;
    for (const auto& [p, r] : consistency::restrictions_from_ce(dl_, definitions_, ce)) {
      const auto filler = consistency::optional_data_cardinality_filler(o_, r.filler);
      switch (r.kind) {
        case R::DataAll: out.push_back({K::All, p, r.range, 1}); break;
        case R::DataSome:
        case R::DataHasValue: out.push_back({K::Some, p, r.range, 1}); break;
        case R::DataMin:
          if (r.n > 0) out.push_back({K::AtLeast, p, filler, r.n});
          break;
        case R::DataMax: out.push_back({K::AtMost, p, filler, r.n}); break;
        case R::DataExact:
          if (r.n > 0) out.push_back({K::AtLeast, p, filler, r.n});
          out.push_back({K::AtMost, p, filler, r.n});
          break;
      }
    }
    std::vector<CeId> stack{ce};
    for (size_t walked = 0; !stack.empty() && walked < kMaxWalk; ++walked) {
      const CeId at = stack.back();
      stack.pop_back();
      if (!dl_.has_ce(at)) continue;
      const auto e = dl_.ce(at);
      if (e.kind == CeKind::Atomic) named.push_back(key(e.entity()));
      if (e.kind == CeKind::And)
        for (CeId x : e.operands()) stack.push_back(x);
    }
  }
  void collect_into_class(EntityId cls, CeId ce) {
    ClassRestrictions& r = classes_[key(cls)];
    collect(ce, r.constraints, r.parents);
  }
  EntityId key(EntityId cls) const { return consistency::canonical_class_restriction_key(o_, cls); }

  void build_tables() {
    absl::flat_hash_map<EntityId, std::vector<EntityId>> told;
    for (size_t i = 0; i < dl_.axiom_count(); ++i) {
      const auto a = dl_.axiom(i);
      switch (a.kind) {
        case DlAxiomKind::SubDataPropertyOf: told[a.sub_data_property()].push_back(a.sup_data_property()); break;
        case DlAxiomKind::EquivalentDataProperties: {
          const auto ops = a.entities().to_vector();
          for (EntityId x : ops)
            for (EntityId y : ops)
              if (x != y) told[x].push_back(y);
          break;
        }
        case DlAxiomKind::DataPropertyRange:
          if (dl_.has_de(a.data_range())) tables_.ranges[a.property()].push_back(a.data_range());
          break;
        case DlAxiomKind::FunctionalDataProperty:
          if (!top_ || a.property() != *top_) tables_.functional.insert(a.property());
          break;
        default: break;
      }
    }
    for (auto [p, q] : consistency::disjoint_data_property_pairs(dl_))
      if (!top_ || (p != *top_ && q != *top_)) tables_.disjoint.emplace_back(p, q);
    for (const auto& [p, _] : told) {
      std::vector<EntityId> up{p};
      for (size_t i = 0; i < up.size(); ++i)
        if (auto it = told.find(up[i]); it != told.end())
          for (EntityId s : it->second)
            if (std::find(up.begin(), up.end(), s) == up.end()) up.push_back(s);
      tables_.supers[p] = std::move(up);
    }
  }

  void read_axioms() {
    for (size_t i = 0; i < dl_.axiom_count(); ++i) {
      const auto a = dl_.axiom(i);
      switch (a.kind) {
        case DlAxiomKind::SubClassOf: {
          if (!dl_.has_ce(a.sub()) || !dl_.has_ce(a.sup())) break;
          const auto sub = dl_.ce(a.sub());
          if (sub.kind == CeKind::Atomic) collect_into_class(sub.entity(), a.sup());
          const auto sup = dl_.ce(a.sup());
          if (sub.kind == CeKind::DataSome && sup.kind == CeKind::Atomic)
            some_implies_.emplace_back(sub.property(), *sub.range(), sup.entity());
          break;
        }
        case DlAxiomKind::EquivalentClasses: {
          const auto ops = a.classes().to_vector();
          for (CeId x : ops) {
            if (!dl_.has_ce(x) || dl_.ce(x).kind != CeKind::Atomic) continue;
            const EntityId cls = dl_.ce(x).entity();
            for (CeId y : ops)
              if (y != x) collect_into_class(cls, y);
          }
          break;
        }
        case DlAxiomKind::ClassAssertion: {
          Individual& ind = individuals_[a.individual()];
          if (dl_.has_ce(a.class_expr())) {
            const auto ce = dl_.ce(a.class_expr());
            if (ce.kind == CeKind::Not && dl_.has_ce(ce.operand()) && dl_.ce(ce.operand()).kind == CeKind::Atomic)
              ind.negated.push_back(dl_.ce(ce.operand()).entity());
          }
          collect(a.class_expr(), ind.constraints, ind.named);
          break;
        }
        case DlAxiomKind::DataPropertyAssertion:
        case DlAxiomKind::NegativeDataPropertyAssertion: {
          if (!dl_.has_de(a.value()) || dl_.de(a.value()).kind != DeKind::Literal) break;
          const bool positive = a.kind == DlAxiomKind::DataPropertyAssertion;
          individuals_[a.subject()].constraints.push_back(positive
              ? DataConstraint{DataConstraint::Kind::Some, a.property(), a.value(), 1}
              : DataConstraint{DataConstraint::Kind::All, a.property(), a.value(), 1, true});
          break;
        }
        default: break;
      }
    }
    o_.axioms().for_each_live([&](trelvanic_core::AxiomId, const trelvanic_core::AxiomView& a) {
      switch (a.kind()) {
        case AxiomKind::SubClassOf: classes_[key(a.subclass())].parents.push_back(key(a.superclass())); break;
        case AxiomKind::EquivalentClasses:
          for (EntityId x : a.operands())
            for (EntityId y : a.operands())
              if (x != y) classes_[key(x)].parents.push_back(key(y));
          break;
        case AxiomKind::ClassAssertion: individuals_[a.individual()].named.push_back(key(a.class_id())); break;
        case AxiomKind::DataPropertyAssertion:
        case AxiomKind::NegativeDataPropertyAssertion: {
          LiteralFacts& f = individuals_[a.individual()].facts;
          const auto dt = o_.lookup_entity(a.literal().datatype);
          if (!dt) break;
          LiteralValue v{std::string(a.literal().lexical), *dt};
          (a.kind() == AxiomKind::DataPropertyAssertion ? f.values : f.excluded).emplace_back(a.property(), std::move(v));
          break;
        }
        default: break;
      }
    });
  }

  const Ontology& o_;
  const trelvanic_core::DlStore& dl_;
  StoreRanges stored_;
  consistency::Definitions definitions_;
  DataTables tables_;
  std::optional<EntityId> thing_, top_, bottom_;
  absl::flat_hash_map<EntityId, ClassRestrictions> classes_;
  absl::flat_hash_map<EntityId, Individual> individuals_;
  std::vector<std::tuple<EntityId, DeId, EntityId>> some_implies_;  // DataSome(p R) ⊑ A
};

}  // namespace

bool is_datatype_consistent(const Ontology& ontology) {
  if (!DataFacts(ontology).consistent()) return false;
  return IndividualRestrictions(ontology).consistent();
}

}  // namespace trelvanic_dl::datatype
