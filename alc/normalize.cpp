// The clause normal form: negation normal form, absorption and the tables.
#include <algorithm>
#include <numeric>

#include "alc/dl_ontology.h"
#include "core/axiom_store.h"

namespace trelvanic_alc {

using trelvanic_core::Axiom;
using trelvanic_core::AxiomId;
using trelvanic_core::AxiomKind;
using trelvanic_core::AxiomView;
using trelvanic_core::CeId;
using trelvanic_core::CeKind;
using trelvanic_core::ClassExpr;
using trelvanic_core::DataExpr;
using trelvanic_core::DeId;
using trelvanic_core::DeKind;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::DlAxiomView;
using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_core::RoleExpr;

namespace {

constexpr std::string_view kOwl = "http://www.w3.org/2002/07/owl#";
// Nesting deeper than this is replaced by a fresh name (the input is then
// not decided), so no walk recurses without bound.
constexpr int kMaxDepth = 400;
constexpr const char* kNonSimple = "non-simple roles where simple ones are required";

}  // namespace

class Normalizer {
 public:
  explicit Normalizer(DlOntology& d) : d_(d) {}

  void start() {
    auto& o = d_.ontology_;
    auto find = [&](std::string_view local, EntityId& out, bool& has) {
      if (auto e = o.lookup_entity(std::string(kOwl) + std::string(local))) {
        out = *e;
        has = true;
      }
    };
    find("Thing", d_.thing_, d_.has_thing_);
    find("Nothing", d_.nothing_, d_.has_nothing_);
    find("topObjectProperty", d_.top_property_, d_.has_top_property_);
    find("bottomObjectProperty", d_.bottom_property_, d_.has_bottom_property_);
    top_data_property_ = o.lookup_entity(std::string(kOwl) + "topDataProperty");
    bottom_data_property_ = o.lookup_entity(std::string(kOwl) + "bottomDataProperty");
    register_literal_datatypes();
    d_.fresh_base_ = static_cast<uint32_t>(o.entity_count());
    d_.top_ = intern(ClassExpr::top());
    d_.bottom_ = intern(ClassExpr::bottom());
    for (uint32_t e = 0; e < d_.fresh_base_; ++e) {
      const EntityKind k = o.entities().kind(EntityId(e));
      const bool is_class = k == EntityKind::Class || k == EntityKind::ClassIndividual ||
                            k == EntityKind::ClassObjectProperty;
      if (!is_class) continue;
      if ((d_.has_thing_ && EntityId(e) == d_.thing_) || (d_.has_nothing_ && EntityId(e) == d_.nothing_)) continue;
      d_.named_classes_.push_back(EntityId(e));
    }
    if (const auto& meta = o.parse_meta(); meta && meta->skipped_axiom_count > 0)
      incomplete("axioms skipped by the loader");
    if (!o.swrl_rules().empty()) incomplete("rules");
  }

  void incomplete(const char* why) {
    if (d_.incomplete_reason_.empty()) d_.incomplete_reason_ = why;
  }

  uint32_t intern(const ClassExpr& e) {
    const uint32_t id = d_.ontology_.dl_mut().intern_ce(e).value;
    if (id >= d_.nodes_.size()) d_.nodes_.resize(id + 1);
    if (!d_.nodes_[id].decoded) d_.unclosed_.push_back(id);
    return id;
  }

  Role role_of(RoleExpr r) {
    auto [it, fresh] = d_.property_index_.try_emplace(r.property.value, static_cast<uint32_t>(d_.role_property_.size()));
    if (fresh) {
      d_.role_property_.push_back(r.property);
      for (int i = 0; i < 2; ++i) {
        d_.told_supers_.emplace_back();
        d_.transitive_.push_back(0);
        d_.told_edge_source_.emplace_back();
        d_.asymmetric_.push_back(0);
      }
    }
    return 2 * it->second + (r.is_inverse() ? 1 : 0);
  }
  RoleExpr role_expr(Role r) const {
    const EntityId p = d_.role_property_[r / 2];
    return (r & 1) ? RoleExpr::inverse(p) : RoleExpr::atomic(p);
  }
  bool is_bottom_property(EntityId p) const { return d_.has_bottom_property_ && p == d_.bottom_property_; }
  bool is_top_property(EntityId p) const { return d_.has_top_property_ && p == d_.top_property_; }
  bool is_top_data_property(EntityId p) const { return top_data_property_ && p == *top_data_property_; }
  bool is_bottom_data_property(EntityId p) const { return bottom_data_property_ && p == *bottom_data_property_; }

  uint32_t fresh_atom() { return intern(ClassExpr::atomic(EntityId(d_.fresh_base_ + d_.fresh_next_++))); }

  // Canonical conjunction/disjunction: flattened, sorted, deduplicated,
  // units dropped, a zero absorbing, a complementary pair of names folded.
  uint32_t junction(bool is_and, std::vector<uint32_t> ops) {
    const uint32_t unit = is_and ? d_.top_ : d_.bottom_;
    const uint32_t zero = is_and ? d_.bottom_ : d_.top_;
    std::vector<uint32_t> flat;
    const CeKind same = is_and ? CeKind::And : CeKind::Or;
    for (size_t i = 0; i < ops.size(); ++i) {
      const uint32_t c = ops[i];
      if (c == unit) continue;
      if (c == zero) return zero;
      auto v = d_.ontology_.dl().ce(CeId(c));
      if (v.kind == same) {
        for (CeId x : v.operands()) ops.push_back(x.value);
        continue;
      }
      flat.push_back(c);
    }
    std::sort(flat.begin(), flat.end());
    flat.erase(std::unique(flat.begin(), flat.end()), flat.end());
    if (flat.empty()) return unit;
    if (flat.size() == 1) return flat[0];
    std::vector<CeId> ids;
    for (uint32_t c : flat) ids.push_back(CeId(c));
    return intern(is_and ? ClassExpr::and_of(ids) : ClassExpr::or_of(ids));
  }

  // Negation normal form of `src` (of its complement when `neg`).
  uint32_t nnf(CeId src, bool neg, int depth = 0) {
    if (!closing_) note_restricted_role(src);
    const uint64_t key = (uint64_t{src.value} << 1) | (neg ? 1 : 0);
    if (auto it = d_.nnf_memo_.find(key); it != d_.nnf_memo_.end()) return it->second;
    const uint32_t r = nnf_uncached(src, neg, depth);
    d_.nnf_memo_[key] = r;
    return r;
  }

  uint32_t opaque(CeId src, bool neg, const char* why) {
    incomplete(why);
    const uint64_t key = (uint64_t{src.value} << 1);
    uint32_t atom;
    if (auto it = opaque_.find(key); it != opaque_.end()) {
      atom = it->second;
    } else {
      atom = fresh_atom();
      opaque_[key] = atom;
    }
    return neg ? intern(ClassExpr::complement_of(CeId(atom))) : atom;
  }

  uint32_t card(CeKind kind, uint32_t n, RoleExpr r, uint32_t filler) {
    return intern(ClassExpr::cardinality(kind, n, r, CeId(filler)));
  }

  // ≥n R.F (filler already in NNF).
  uint32_t at_least(uint32_t n, RoleExpr r, uint32_t f) {
    if (n == 0) return d_.top_;
    if (f == d_.bottom_ || is_bottom_property(r.property)) return d_.bottom_;
    if (n == 1) return intern(ClassExpr::some(r, CeId(f)));
    d_.uses_at_most_ = true;  // the successors are pairwise different
    return card(CeKind::MinCardinality, n, r, f);
  }
  // ≤n R.F; `neg_f` is the NNF of ¬F.
  uint32_t at_most(uint32_t n, RoleExpr r, uint32_t f, uint32_t neg_f) {
    if (f == d_.bottom_ || is_bottom_property(r.property)) return d_.top_;
    if (n == 0) return intern(ClassExpr::all(r, CeId(neg_f)));
    d_.uses_at_most_ = true;
    return card(CeKind::MaxCardinality, n, r, f);
  }

  uint32_t nnf_uncached(CeId src, bool neg, int depth) {
    const auto& dl = d_.ontology_.dl();
    if (!dl.has_ce(src)) return opaque(src, neg, "dangling class expression");
    if (depth > kMaxDepth) return opaque(src, neg, "class expression nested too deeply");
    const ClassExpr e = ClassExpr::from_view(dl.ce(src));
    switch (e.kind) {
      case CeKind::Top: return neg ? d_.bottom_ : d_.top_;
      case CeKind::Bottom: return neg ? d_.top_ : d_.bottom_;
      case CeKind::Atomic: {
        const EntityId c = e.entity();
        if (d_.has_thing_ && c == d_.thing_) return neg ? d_.bottom_ : d_.top_;
        if (d_.has_nothing_ && c == d_.nothing_) return neg ? d_.top_ : d_.bottom_;
        const uint32_t a = intern(ClassExpr::atomic(c));
        return neg ? intern(ClassExpr::complement_of(CeId(a))) : a;
      }
      case CeKind::Not: return nnf(e.operand(), !neg, depth + 1);
      case CeKind::And:
      case CeKind::Or: {
        std::vector<uint32_t> ops;
        for (CeId x : e.operands()) ops.push_back(nnf(x, neg, depth + 1));
        return junction((e.kind == CeKind::And) != neg, std::move(ops));
      }
      case CeKind::Some:
      case CeKind::All: {
        const RoleExpr r = e.role();
        note_role(r);
        const bool some = (e.kind == CeKind::Some) != neg;
        if (is_bottom_property(r.property)) return some ? d_.bottom_ : d_.top_;
        const uint32_t f = nnf(*e.filler(), neg, depth + 1);
        if (some && f == d_.bottom_) return d_.bottom_;
        if (!some && f == d_.top_) return d_.top_;
        if (is_top_property(r.property)) {
          d_.uses_universal_ = true;
          const RoleExpr u = RoleExpr::atomic(r.property);  // the universal role is its own inverse
          return intern(some ? ClassExpr::some(u, CeId(f)) : ClassExpr::all(u, CeId(f)));
        }
        (void)role_of(r);
        return intern(some ? ClassExpr::some(r, CeId(f)) : ClassExpr::all(r, CeId(f)));
      }
      case CeKind::MinCardinality:
      case CeKind::MaxCardinality:
      case CeKind::ExactCardinality: {
        const RoleExpr r = e.role();
        note_role(r);
        if (is_top_property(r.property)) return opaque(src, neg, "the universal role in a number restriction");
        (void)role_of(r);
        const uint32_t f = e.filler() ? nnf(*e.filler(), false, depth + 1) : d_.top_;
        const uint32_t nf = e.filler() ? nnf(*e.filler(), true, depth + 1) : d_.bottom_;
        const uint32_t n = e.n();
        if (e.kind == CeKind::MinCardinality) {
          if (!neg) return at_least(n, r, f);
          return n == 0 ? d_.bottom_ : at_most(n - 1, r, f, nf);
        }
        if (e.kind == CeKind::MaxCardinality) {
          if (!neg) return at_most(n, r, f, nf);
          return n == 0xFFFFFFFFu ? d_.bottom_ : at_least(n + 1, r, f);
        }
        if (!neg) return junction(true, {at_least(n, r, f), at_most(n, r, f, nf)});
        std::vector<uint32_t> alts;
        if (n > 0) alts.push_back(at_most(n - 1, r, f, nf));
        if (n < 0xFFFFFFFFu) alts.push_back(at_least(n + 1, r, f));
        return junction(false, std::move(alts));
      }
      case CeKind::OneOf: {
        d_.uses_nominals_ = true;
        std::vector<uint32_t> ops;
        for (EntityId a : e.individuals()) {
          note_individual(a);
          const uint32_t s = intern(ClassExpr::one_of({a}));
          ops.push_back(neg ? intern(ClassExpr::complement_of(CeId(s))) : s);
        }
        return junction(neg, std::move(ops));
      }
      case CeKind::HasValue: {
        const RoleExpr r = e.role();
        note_role(r);
        note_individual(e.individual());
        d_.uses_nominals_ = true;
        // Every individual is reached through the universal role.
        if (is_top_property(r.property)) return neg ? d_.bottom_ : d_.top_;
        if (is_bottom_property(r.property)) return neg ? d_.top_ : d_.bottom_;
        (void)role_of(r);
        const uint32_t s = intern(ClassExpr::one_of({e.individual()}));
        if (!neg) return intern(ClassExpr::some(r, CeId(s)));
        return intern(ClassExpr::all(r, CeId(intern(ClassExpr::complement_of(CeId(s))))));
      }
      case CeKind::HasSelf: return self(e.entity(), neg);
      case CeKind::DataSome:
      case CeKind::DataAll: {
        if (is_top_data_property(e.property())) return opaque(src, neg, "the top data property");
        const bool some = (e.kind == CeKind::DataSome) != neg;
        const DeId r = neg ? data_not(*e.range()) : *e.range();
        return data_concept(some ? DataKind::Some : DataKind::All, 1, e.property(), r);
      }
      case CeKind::DataHasValue:
        if (is_top_data_property(e.property())) return opaque(src, neg, "the top data property");
        return data_value(e.property(), e.value(), neg);
      case CeKind::DataMinCardinality:
      case CeKind::DataMaxCardinality:
      case CeKind::DataExactCardinality: {
        const EntityId p = e.property();
        if (is_top_data_property(p)) return opaque(src, neg, "the top data property");
        const std::optional<DeId> f = e.range();
        const uint32_t n = e.n();
        if (e.kind == CeKind::DataMinCardinality) {
          if (!neg) return data_at_least(n, p, f);
          return n == 0 ? d_.bottom_ : data_at_most(n - 1, p, f);
        }
        if (e.kind == CeKind::DataMaxCardinality) {
          if (!neg) return data_at_most(n, p, f);
          return n == 0xFFFFFFFFu ? d_.bottom_ : data_at_least(n + 1, p, f);
        }
        if (!neg) return junction(true, {data_at_least(n, p, f), data_at_most(n, p, f)});
        std::vector<uint32_t> alts;
        if (n > 0) alts.push_back(data_at_most(n - 1, p, f));
        if (n < 0xFFFFFFFFu) alts.push_back(data_at_least(n + 1, p, f));
        return junction(false, std::move(alts));
      }
    }
    return opaque(src, neg, "unknown class expression");
  }

  // ---- data restrictions

  using DataKind = DataConstraint::Kind;

  DeId data_top() { return d_.ontology_.dl_mut().intern_de(DataExpr::top()); }
  // The complement of a data range among all data values.
  DeId data_not(DeId r) {
    const auto& dl = d_.ontology_.dl();
    if (dl.has_de(r) && dl.de(r).kind == DeKind::Not) return dl.de(r).operand();
    return d_.ontology_.dl_mut().intern_de(DataExpr::complement_of(r));
  }
  bool is_data_top(DeId r) const {
    const auto& dl = d_.ontology_.dl();
    return dl.has_de(r) && dl.de(r).kind == DeKind::Top;
  }

  // A data concept in negation normal form: ∃p.R, ∀p.R, ≥n p.R (n ≥ 2) or
  // ≤n p.R (n ≥ 1).
  uint32_t data_concept(DataKind kind, uint32_t n, EntityId p, std::optional<DeId> r) {
    const bool needs_value = kind == DataKind::Some || kind == DataKind::AtLeast;
    if (is_bottom_data_property(p)) return needs_value ? d_.bottom_ : d_.top_;
    switch (kind) {
      case DataKind::Some: return intern(ClassExpr::data_some(p, *r));
      case DataKind::All: return is_data_top(*r) ? d_.top_ : intern(ClassExpr::data_all(p, *r));
      case DataKind::AtLeast: return intern(ClassExpr::data_cardinality(CeKind::DataMinCardinality, n, p, r));
      case DataKind::AtMost: return intern(ClassExpr::data_cardinality(CeKind::DataMaxCardinality, n, p, r));
    }
    return d_.top_;
  }
  uint32_t data_at_least(uint32_t n, EntityId p, std::optional<DeId> f) {
    if (n == 0) return d_.top_;
    if (n == 1) return data_concept(DataKind::Some, 1, p, f ? *f : data_top());
    return data_concept(DataKind::AtLeast, n, p, f);
  }
  uint32_t data_at_most(uint32_t n, EntityId p, std::optional<DeId> f) {
    if (n == 0) return data_concept(DataKind::All, 1, p, data_not(f ? *f : data_top()));
    return data_concept(DataKind::AtMost, n, p, f);
  }
  // p has the value v (not, when `neg`).
  uint32_t data_value(EntityId p, DeId v, bool neg) {
    return neg ? data_concept(DataKind::All, 1, p, data_not(v)) : data_concept(DataKind::Some, 1, p, v);
  }

  // The datatypes of told literals become entities of the clone (before
  // the fresh names start), so that the literals can be data expressions.
  void register_literal_datatypes() {
    auto& o = d_.ontology_;
    std::vector<std::string> iris;
    o.axioms().for_each_live([&](AxiomId, const AxiomView& a) {
      if (trelvanic_core::axiom_kind_has_literal(a.kind())) iris.emplace_back(a.literal().datatype);
    });
    std::sort(iris.begin(), iris.end());
    iris.erase(std::unique(iris.begin(), iris.end()), iris.end());
    for (const std::string& iri : iris)
      if (!o.lookup_entity(iri)) (void)o.entity_id(iri, EntityKind::Datatype);
  }
  void told_data_value(const AxiomView& a, bool neg) {
    if (is_top_data_property(a.property())) return incomplete("the top data property");
    const auto dt = d_.ontology_.lookup_entity(a.literal().datatype);
    if (!dt) return incomplete("a literal of an unregistered datatype");
    const DeId v = d_.ontology_.dl_mut().intern_de(DataExpr::literal(std::string(a.literal().lexical), *dt));
    assert_class(a.subject(), data_value(a.property(), v, neg));
  }
  void data_sub_property(EntityId sub, EntityId sup) {
    if (is_top_data_property(sub) || is_top_data_property(sup)) return incomplete("the top data property");
    if (is_bottom_data_property(sub)) return;
    if (is_bottom_data_property(sup)) return incomplete("a data property below the empty one");
    told_data_supers_[sub].push_back(sup);
  }
  // The super-property closure and the domains of every property above.
  void finish_data() {
    DataTables& t = d_.data_;
    for (const auto& [p, _] : told_data_supers_) {
      std::vector<EntityId> up{p};
      for (size_t i = 0; i < up.size(); ++i) {
        auto it = told_data_supers_.find(up[i]);
        if (it == told_data_supers_.end()) continue;
        for (EntityId s : it->second)
          if (std::find(up.begin(), up.end(), s) == up.end()) up.push_back(s);
      }
      t.supers[p] = std::move(up);
    }
    t.domains.clear();
    auto add_domains = [&](EntityId p) {
      std::vector<uint32_t> cs;
      for (EntityId q : t.supers_of(p))
        if (auto it = told_data_domains_.find(q); it != told_data_domains_.end())
          cs.insert(cs.end(), it->second.begin(), it->second.end());
      std::sort(cs.begin(), cs.end());
      cs.erase(std::unique(cs.begin(), cs.end()), cs.end());
      if (!cs.empty()) t.domains[p] = std::move(cs);
    };
    for (const auto& [p, _] : told_data_supers_) add_domains(p);
    for (const auto& [p, _] : told_data_domains_) add_domains(p);
  }

  // ∃p.Self, or its complement.
  uint32_t self(EntityId p, bool neg) {
    if (is_top_property(p)) return neg ? d_.bottom_ : d_.top_;
    if (is_bottom_property(p)) return neg ? d_.top_ : d_.bottom_;
    (void)role_of(RoleExpr::atomic(p));
    const uint32_t s = intern(ClassExpr::has_self(p));
    return neg ? intern(ClassExpr::complement_of(CeId(s))) : s;
  }

  // The role of a number or self restriction of the input, which only a
  // simple role may carry. (The complements the closure adds are not input:
  // a reflexive property's self restriction asks nothing of its edges.)
  void note_restricted_role(CeId src) {
    const auto& dl = d_.ontology_.dl();
    if (!dl.has_ce(src)) return;
    const auto v = dl.ce(src);
    RoleExpr r;
    switch (v.kind) {
      case CeKind::MinCardinality:
      case CeKind::MaxCardinality:
      case CeKind::ExactCardinality: r = v.role(); break;
      case CeKind::HasSelf: r = RoleExpr::atomic(v.entity()); break;
      default: return;
    }
    if (is_top_property(r.property) || is_bottom_property(r.property)) return;
    d_.simple_required_.push_back(role_of(r));
  }

  void note_role(RoleExpr r) {
    if (r.is_inverse()) d_.uses_inverse_ = true;
  }

  // ---- axioms

  std::vector<uint32_t> conjuncts(uint32_t c) {
    auto v = d_.ontology_.dl().ce(CeId(c));
    if (v.kind != CeKind::And) return {c};
    std::vector<uint32_t> out;
    for (CeId x : v.operands()) out.push_back(x.value);
    return out;
  }
  uint32_t neg_of(uint32_t c) { return nnf(CeId(c), true); }

  // Whether C ⊑ D hangs on names without internalising anything: C a name,
  // a nominal, a union of such, or a conjunction with one of them.
  bool absorbable(uint32_t c, int depth = 0) {
    if (depth > kMaxDepth) return false;
    const ClassExpr e = ClassExpr::from_view(d_.ontology_.dl().ce(CeId(c)));
    switch (e.kind) {
      case CeKind::Atomic: return true;
      case CeKind::OneOf: return e.individuals().size() == 1;
      case CeKind::Or:
        for (CeId x : e.operands())
          if (!absorbable(x.value, depth + 1)) return false;
        return true;
      case CeKind::And:
        for (CeId x : e.operands())
          if (absorbable(x.value, depth + 1)) return true;
        return false;
      default: return false;
    }
  }

  // C ⊑ D over NNF concepts, absorbed where a named conjunct allows it.
  void gci(uint32_t c, uint32_t dd) {
    if (c == d_.bottom_ || dd == d_.top_) return;
    {
      // C1 ⊔ C2 ⊑ D is C1 ⊑ D and C2 ⊑ D; {a} ⊑ D is D(a).
      const ClassExpr e = ClassExpr::from_view(d_.ontology_.dl().ce(CeId(c)));
      if (e.kind == CeKind::Or) {
        for (CeId x : e.operands()) gci(x.value, dd);
        return;
      }
      if (e.kind == CeKind::OneOf && e.individuals().size() == 1) {
        assert_class(e.individuals()[0], dd);
        return;
      }
      // ∃p.R ⊑ D (or ≥n p.R ⊑ D) holds on every world without a value of
      // p: ∀p.¬R ⊔ D goes only onto worlds that need one, like a domain.
      if ((e.kind == CeKind::DataSome || e.kind == CeKind::DataMinCardinality) && !is_top_data_property(e.property())) {
        told_data_domains_[e.property()].push_back(junction(false, {dd, neg_of(c)}));
        return;
      }
    }
    const std::vector<uint32_t> parts = conjuncts(c);
    // A ⊓ (B1 ⊔ B2) ⊑ D is A ⊓ B1 ⊑ D and A ⊓ B2 ⊑ D when the Bi hang on
    // names themselves, as long as the axioms made stay few.
    size_t product = 1;
    for (uint32_t x : parts) {
      auto v = d_.ontology_.dl().ce(CeId(x));
      if (v.kind == CeKind::Or) product *= v.operands().size();
      if (product > 16) break;
    }
    if (parts.size() > 1 && product <= 16) {
      for (size_t i = 0; i < parts.size(); ++i) {
        const ClassExpr e = ClassExpr::from_view(d_.ontology_.dl().ce(CeId(parts[i])));
        if (e.kind != CeKind::Or || !absorbable(parts[i])) continue;
        for (CeId alt : e.operands()) {
          std::vector<uint32_t> with = parts;
          with[i] = alt.value;
          gci(junction(true, std::move(with)), dd);
        }
        return;
      }
    }
    std::vector<uint32_t> atoms, rest;
    for (uint32_t x : parts) {
      auto v = d_.ontology_.dl().ce(CeId(x));
      if (v.kind == CeKind::Atomic) {
        atoms.push_back(x);
        continue;
      }
      if (v.kind == CeKind::Some && !is_top_property(v.role().property)) {
        const RoleExpr r = v.role();
        const uint32_t f = v.filler()->value;
        if (f == d_.top_ || absorbable(f)) {
          const uint32_t q = fresh_atom();
          const Role role = role_of(r);
          if (f == d_.top_) {
            d_.told_edge_source_[role].push_back(q);
          } else {
            if (!r.is_inverse()) d_.uses_inverse_ = true;
            gci(f, intern(ClassExpr::all(role_expr(inverse(role)), CeId(q))));
          }
          atoms.push_back(q);
          continue;
        }
      }
      rest.push_back(x);
    }
    std::vector<uint32_t> alts{dd};
    for (uint32_t x : rest) alts.push_back(neg_of(x));
    const uint32_t consequent = junction(false, std::move(alts));
    if (atoms.empty()) {
      d_.thing_classes_.push_back(consequent);
      return;
    }
    std::sort(atoms.begin(), atoms.end());
    atoms.erase(std::unique(atoms.begin(), atoms.end()), atoms.end());
    if (atoms.size() == 1) {
      d_.unfold_[atoms[0]].push_back(consequent);
      return;
    }
    const auto idx = static_cast<uint32_t>(d_.conj_rules_.size());
    for (uint32_t a : atoms) d_.conj_by_atom_[a].push_back(idx);
    d_.conj_rules_.push_back(ConjunctionRule{std::move(atoms), consequent});
  }

  void sub_role(Role sub, Role sup) {
    d_.told_supers_[sub].push_back(sup);
    d_.told_supers_[inverse(sub)].push_back(inverse(sup));
  }
  void domain(Role r, uint32_t c) {
    if (c != d_.top_) d_.told_edge_source_[r].push_back(c);
  }
  uint32_t named(EntityId c) { return nnf(intern_atomic(c), false); }
  CeId intern_atomic(EntityId c) { return CeId(intern(ClassExpr::atomic(c))); }

  uint32_t individual(EntityId a) {
    auto [it, fresh] = d_.individual_index_.try_emplace(a.value, static_cast<uint32_t>(d_.individuals_.size()));
    if (fresh) {
      d_.individuals_.push_back(a);
      parent_.push_back(it->second);
    }
    return it->second;
  }
  void note_individual(EntityId a) { (void)individual(a); }
  uint32_t find(uint32_t i) {
    while (parent_[i] != i) i = parent_[i] = parent_[parent_[i]];
    return i;
  }
  void same(uint32_t a, uint32_t b) {
    a = find(a);
    b = find(b);
    if (a != b) parent_[std::max(a, b)] = std::min(a, b);
  }

  void assert_class(EntityId a, uint32_t c) { d_.class_assertions_.emplace_back(individual(a), c); }
  void assert_role(EntityId s, Role r, EntityId o) {
    d_.role_assertions_.push_back({individual(s), individual(o), r});
  }
  void not_role(EntityId s, EntityId p, EntityId o) {
    // ¬p(s,o) as s: ∀p.¬{o}.
    d_.uses_nominals_ = true;
    note_individual(o);
    (void)role_of(RoleExpr::atomic(p));
    const uint32_t no = intern(ClassExpr::complement_of(CeId(intern(ClassExpr::one_of({o})))));
    assert_class(s, intern(ClassExpr::all(RoleExpr::atomic(p), CeId(no))));
  }
  void different(std::span<const EntityId> ops) {
    for (size_t i = 0; i < ops.size(); ++i)
      for (size_t j = i + 1; j < ops.size(); ++j) pending_different_.emplace_back(individual(ops[i]), individual(ops[j]));
  }
  void same_all(std::span<const EntityId> ops) {
    for (size_t i = 1; i < ops.size(); ++i) same(individual(ops[0]), individual(ops[i]));
  }

  void told(const AxiomView& a) {
    switch (a.kind()) {
      case AxiomKind::SubClassOf: return gci(named(a.subclass()), named(a.superclass()));
      case AxiomKind::EquivalentClasses: {
        const auto ops = a.operands();
        for (size_t i = 1; i < ops.size(); ++i) {
          gci(named(ops[0]), named(ops[i]));
          gci(named(ops[i]), named(ops[0]));
        }
        return;
      }
      case AxiomKind::DisjointClasses: {
        const auto ops = a.operands();
        for (size_t i = 0; i < ops.size(); ++i)
          for (size_t j = i + 1; j < ops.size(); ++j) gci(named(ops[i]), neg_of(named(ops[j])));
        return;
      }
      case AxiomKind::ObjectPropertyDomain: return domain(role_of(RoleExpr::atomic(a.property())), named(a.domain()));
      case AxiomKind::ObjectPropertyRange:
        return domain(inverse(role_of(RoleExpr::atomic(a.property()))), named(a.range()));
      case AxiomKind::SubObjectPropertyOf:
        return sub_role(role_of(RoleExpr::atomic(a.sub_property())), role_of(RoleExpr::atomic(a.super_property())));
      case AxiomKind::InverseObjectProperties: {
        d_.uses_inverse_ = true;
        const Role p = role_of(RoleExpr::atomic(a.left())), q = role_of(RoleExpr::atomic(a.right()));
        sub_role(p, inverse(q));
        sub_role(inverse(q), p);
        return;
      }
      case AxiomKind::TransitiveObjectProperty: return set_transitive(role_of(RoleExpr::atomic(a.property())));
      case AxiomKind::SubClassOfExistential:
        return gci(named(a.subclass()),
                   nnf(CeId(intern(ClassExpr::some(RoleExpr::atomic(a.property()), intern_atomic(a.filler())))),
                       false));
      case AxiomKind::SymmetricObjectProperty: {
        d_.uses_inverse_ = true;
        const Role p = role_of(RoleExpr::atomic(a.property()));
        return sub_role(p, inverse(p));
      }
      case AxiomKind::ReflexiveObjectProperty: return thing(self(a.property(), false));
      case AxiomKind::FunctionalObjectProperty: return functional(RoleExpr::atomic(a.property()));
      case AxiomKind::InverseFunctionalObjectProperty: return functional(RoleExpr::inverse(a.property()));
      case AxiomKind::IrreflexiveObjectProperty: return irreflexive(a.property());
      case AxiomKind::AsymmetricObjectProperty: {
        irreflexive(a.property());
        const Role p = role_of(RoleExpr::atomic(a.property()));
        d_.asymmetric_[p] = d_.asymmetric_[inverse(p)] = 1;
        return;
      }
      case AxiomKind::EquivalentObjectProperties: {
        const auto ops = a.operands();
        for (size_t i = 1; i < ops.size(); ++i) {
          const Role p = role_of(RoleExpr::atomic(ops[0])), q = role_of(RoleExpr::atomic(ops[i]));
          sub_role(p, q);
          sub_role(q, p);
        }
        return;
      }
      case AxiomKind::ClassAssertion: return assert_class(a.individual(), named(a.class_id()));
      case AxiomKind::ObjectPropertyAssertion:
        return assert_role(a.subject(), role_of(RoleExpr::atomic(a.property())), a.object());
      case AxiomKind::NegativeObjectPropertyAssertion: return not_role(a.subject(), a.property(), a.object());
      case AxiomKind::SameIndividual: return same_all(a.operands());
      case AxiomKind::DifferentIndividuals: return different(a.operands());
      case AxiomKind::DataPropertyAssertion: return told_data_value(a, false);
      case AxiomKind::NegativeDataPropertyAssertion: return told_data_value(a, true);
    }
  }

  void thing(uint32_t c) {
    if (c != d_.top_) d_.thing_classes_.push_back(c);
  }
  void functional(RoleExpr r) {
    note_role(r);
    d_.simple_required_.push_back(role_of(r));
    thing(at_most(1, r, d_.top_, d_.bottom_));
  }
  void irreflexive(EntityId p) {
    if (!is_top_property(p) && !is_bottom_property(p)) d_.simple_required_.push_back(role_of(RoleExpr::atomic(p)));
    thing(self(p, true));
  }
  void set_transitive(Role r) { d_.transitive_[r] = d_.transitive_[inverse(r)] = 1; }

  void dl_axiom(const trelvanic_core::DlAxiom& a) {
    switch (a.kind) {
      case DlAxiomKind::SubClassOf: return gci(nnf(a.sub(), false), nnf(a.sup(), false));
      case DlAxiomKind::EquivalentClasses: {
        const auto ops = a.classes().to_vector();
        for (size_t i = 1; i < ops.size(); ++i) {
          gci(nnf(ops[0], false), nnf(ops[i], false));
          gci(nnf(ops[i], false), nnf(ops[0], false));
        }
        return;
      }
      case DlAxiomKind::DisjointClasses: {
        const auto ops = a.classes().to_vector();
        for (size_t i = 0; i < ops.size(); ++i)
          for (size_t j = i + 1; j < ops.size(); ++j) gci(nnf(ops[i], false), nnf(ops[j], true));
        return;
      }
      case DlAxiomKind::ObjectPropertyDomain:
        if (is_top_property(a.property())) return thing(nnf(a.domain(), false));
        if (is_bottom_property(a.property())) return;
        return domain(role_of(RoleExpr::atomic(a.property())), nnf(a.domain(), false));
      case DlAxiomKind::ObjectPropertyRange:
        if (is_top_property(a.property())) return thing(nnf(a.range(), false));
        if (is_bottom_property(a.property())) return;
        return domain(inverse(role_of(RoleExpr::atomic(a.property()))), nnf(a.range(), false));
      case DlAxiomKind::SubObjectPropertyChain: {
        const auto chain = a.chain().to_vector();
        const RoleExpr sup = a.super_property();
        for (const RoleExpr& r : chain) note_role(r);
        note_role(sup);
        if (chain.size() == 1) return role_axiom_sub(chain[0], sup);
        if (chain.size() == 2 && chain[0] == sup && chain[1] == sup) {
          if (is_top_property(sup.property)) return;
          return set_transitive(role_of(sup));
        }
        return incomplete("property chains");
      }
      case DlAxiomKind::SubObjectPropertyOf:
        note_role(a.sub_role());
        note_role(a.sup_role());
        return role_axiom_sub(a.sub_role(), a.sup_role());
      case DlAxiomKind::ClassAssertion: return assert_class(a.individual(), nnf(a.class_expr(), false));
      case DlAxiomKind::NegativeObjectPropertyAssertion:
        if (is_bottom_property(a.property())) return;
        if (is_top_property(a.property())) return incomplete("the universal role in an assertion");
        return not_role(a.subject(), a.property(), a.object());
      case DlAxiomKind::ObjectPropertyAssertion: {
        const RoleExpr r = a.role();
        note_role(r);
        if (is_top_property(r.property)) return;
        if (is_bottom_property(r.property)) {
          d_.class_assertions_.emplace_back(individual(a.subject()), d_.bottom_);
          return;
        }
        return assert_role(a.subject(), role_of(r), a.object());
      }
      case DlAxiomKind::DisjointObjectProperties: {
        std::vector<RoleExpr> roles;
        for (EntityId p : a.entities()) roles.push_back(RoleExpr::atomic(p));
        return disjoint(roles);
      }
      case DlAxiomKind::DisjointRoles: return disjoint(a.roles().to_vector());
      case DlAxiomKind::SameIndividual: return same_all(a.entities().to_vector());
      case DlAxiomKind::DifferentIndividuals: return different(a.entities().to_vector());
      case DlAxiomKind::TransitiveObjectProperty:
        note_role(a.role());
        if (is_top_property(a.role().property) || is_bottom_property(a.role().property)) return;
        return set_transitive(role_of(a.role()));
      case DlAxiomKind::SymmetricObjectProperty: {
        d_.uses_inverse_ = true;
        if (is_top_property(a.role().property) || is_bottom_property(a.role().property)) return;
        const Role p = role_of(a.role());
        return sub_role(p, inverse(p));
      }
      case DlAxiomKind::InverseFunctionalObjectProperty:
        return functional(RoleExpr::inverse(a.property()));
      case DlAxiomKind::IrreflexiveObjectProperty: return irreflexive(a.property());
      case DlAxiomKind::SwrlRule: return incomplete("rules");
      case DlAxiomKind::HasKey: {
        if (!a.data_properties().empty()) return incomplete("keys over data properties");
        Key k;
        k.ce = nnf(a.class_expr(), false);
        k.choose = junction(false, {k.ce, neg_of(k.ce)});
        for (EntityId p : a.object_properties()) {
          if (is_top_property(p) || is_bottom_property(p)) return incomplete("keys over the universal or empty role");
          k.roles.push_back(role_of(RoleExpr::atomic(p)));
        }
        d_.keys_.push_back(std::move(k));
        return;
      }
      case DlAxiomKind::DataPropertyAssertion:
      case DlAxiomKind::NegativeDataPropertyAssertion:
        if (is_top_data_property(a.property())) return incomplete("the top data property");
        return assert_class(a.subject(),
                            data_value(a.property(), a.value(), a.kind == DlAxiomKind::NegativeDataPropertyAssertion));
      // The data property axioms fill the oracle's tables (datatype
      // definitions are read by the oracle from the store itself); a domain
      // goes onto every world with a value of the property.
      case DlAxiomKind::DataPropertyDomain:
        if (is_top_data_property(a.property())) return incomplete("the top data property");
        if (is_bottom_data_property(a.property())) return;
        told_data_domains_[a.property()].push_back(nnf(a.domain(), false));
        return;
      case DlAxiomKind::DataPropertyRange:
        if (is_top_data_property(a.property())) return incomplete("the top data property");
        d_.data_.ranges[a.property()].push_back(a.data_range());
        return;
      case DlAxiomKind::FunctionalDataProperty:
        if (is_top_data_property(a.property())) return incomplete("the top data property");
        d_.data_.functional.insert(a.property());
        return;
      case DlAxiomKind::SubDataPropertyOf: return data_sub_property(a.sub_data_property(), a.sup_data_property());
      case DlAxiomKind::EquivalentDataProperties: {
        const auto ops = a.entities().to_vector();
        for (size_t i = 1; i < ops.size(); ++i) {
          data_sub_property(ops[0], ops[i]);
          data_sub_property(ops[i], ops[0]);
        }
        return;
      }
      case DlAxiomKind::DisjointDataProperties: {
        const auto ops = a.entities().to_vector();
        for (size_t i = 0; i < ops.size(); ++i)
          for (size_t j = i + 1; j < ops.size(); ++j) {
            if (is_top_data_property(ops[i]) || is_top_data_property(ops[j])) {
              incomplete("the top data property");
              continue;
            }
            d_.data_.disjoint.emplace_back(ops[i], ops[j]);
          }
        return;
      }
      default: return;
    }
  }

  // Pairwise disjoint roles: no edge may carry two of them (an edge x –R⁻→ y
  // is the edge y –R→ x seen from x).
  void disjoint(const std::vector<RoleExpr>& roles) {
    for (const RoleExpr& r : roles) note_role(r);
    for (size_t i = 0; i < roles.size(); ++i)
      for (size_t j = i + 1; j < roles.size(); ++j) {
        if (is_top_property(roles[i].property) || is_top_property(roles[j].property)) {
          incomplete("the universal role in a disjointness");
          continue;
        }
        d_.disjoint_roles_.emplace_back(role_of(roles[i]), role_of(roles[j]));
      }
  }

  void role_axiom_sub(RoleExpr sub, RoleExpr sup) {
    if (is_top_property(sup.property) || is_bottom_property(sub.property)) return;
    if (is_top_property(sub.property) || is_bottom_property(sup.property))
      return incomplete("the universal or empty role in a role inclusion");
    sub_role(role_of(sub), role_of(sup));
  }

  void finish() {
    finish_individuals();
    finish_roles();
    finish_data();
  }

  void finish_individuals() {
    // Individuals: representatives of the SameIndividual classes.
    d_.rep_.resize(d_.individuals_.size());
    for (uint32_t i = 0; i < d_.rep_.size(); ++i) d_.rep_[i] = find(i);
    for (auto& [a, c] : d_.class_assertions_) a = d_.rep_[a];
    for (auto& ra : d_.role_assertions_) {
      ra.subject = d_.rep_[ra.subject];
      ra.object = d_.rep_[ra.object];
    }
    for (auto [a, b] : pending_different_) d_.different_.emplace_back(d_.rep_[a], d_.rep_[b]);
  }

  void finish_roles() {
    // Role hierarchy closure (reflexive, transitive, closed under inverse).
    const auto n = static_cast<uint32_t>(d_.told_supers_.size());
    d_.supers_.assign(n, {});
    for (Role r = 0; r < n; ++r) {
      std::vector<uint8_t> seen(n, 0);
      std::vector<Role> todo{r};
      seen[r] = 1;
      while (!todo.empty()) {
        const Role x = todo.back();
        todo.pop_back();
        d_.supers_[r].push_back(x);
        for (Role s : d_.told_supers_[x])
          if (!seen[s]) {
            seen[s] = 1;
            todo.push_back(s);
          }
      }
      std::sort(d_.supers_[r].begin(), d_.supers_[r].end());
    }
    d_.sub_words_ = (n + 63) / 64;
    d_.sub_bits_.assign(size_t{n} * d_.sub_words_, 0);
    for (Role r = 0; r < n; ++r)
      for (Role s : d_.supers_[r]) d_.sub_bits_[size_t{r} * d_.sub_words_ + s / 64] |= uint64_t{1} << (s % 64);
    d_.transitive_subs_.assign(n, {});
    d_.edge_source_.assign(n, {});
    for (Role r = 0; r < n; ++r) {
      for (Role s : d_.supers_[r]) {
        if (d_.transitive_[r]) d_.transitive_subs_[s].push_back(r);
        for (uint32_t c : d_.told_edge_source_[s]) d_.edge_source_[r].push_back(c);
      }
      auto& es = d_.edge_source_[r];
      std::sort(es.begin(), es.end());
      es.erase(std::unique(es.begin(), es.end()), es.end());
    }
    check_simple();
    std::sort(d_.thing_classes_.begin(), d_.thing_classes_.end());
    d_.thing_classes_.erase(std::unique(d_.thing_classes_.begin(), d_.thing_classes_.end()), d_.thing_classes_.end());
  }

  // A role with a transitive sub-role has more edges in a model than a
  // completion graph shows: number restrictions, self restrictions and the
  // role tests (disjointness, asymmetry, irreflexivity) that count or look
  // at the edges of one world prove nothing over it.
  void check_simple() {
    if (d_.transitive_subs_.size() != d_.told_supers_.size()) return;  // before the first closure
    auto simple = [&](Role r) { return d_.transitive_subs_[r].empty(); };
    for (Role r : d_.simple_required_)
      if (!simple(r)) return incomplete(kNonSimple);
    for (auto [p, q] : d_.disjoint_roles_)
      if (!simple(p) || !simple(q)) return incomplete(kNonSimple);
    for (Role r = 0; r < d_.asymmetric_.size(); ++r)
      if (d_.asymmetric_[r] && !simple(r)) return incomplete(kNonSimple);
  }

  // ---- decoding

  void decode(uint32_t c) {
    Node& slot = d_.nodes_[c];
    if (slot.decoded) return;
    const ClassExpr e = ClassExpr::from_view(d_.ontology_.dl().ce(CeId(c)));
    Node n;
    n.decoded = true;
    switch (e.kind) {
      case CeKind::Top: n.kind = NodeKind::Top; break;
      case CeKind::Bottom: n.kind = NodeKind::Bottom; break;
      case CeKind::Atomic:
        n.kind = NodeKind::Atom;
        n.entity = e.entity().value;
        break;
      case CeKind::Not: {
        const ClassExpr x = ClassExpr::from_view(d_.ontology_.dl().ce(e.operand()));
        if (x.kind == CeKind::Atomic) {
          n.kind = NodeKind::NegAtom;
          n.entity = x.entity().value;
        } else if (x.kind == CeKind::OneOf) {
          n.kind = NodeKind::NegNominal;
          n.entity = individual(x.individuals()[0]);
        } else {
          n.kind = NodeKind::NegSelf;
          n.role = role_of(RoleExpr::atomic(x.entity()));
        }
        break;
      }
      case CeKind::And:
      case CeKind::Or: {
        n.kind = e.kind == CeKind::And ? NodeKind::And : NodeKind::Or;
        n.ops_begin = static_cast<uint32_t>(d_.operand_pool_.size());
        for (CeId x : e.operands()) d_.operand_pool_.push_back(x.value);
        n.ops_end = static_cast<uint32_t>(d_.operand_pool_.size());
        break;
      }
      case CeKind::Some:
      case CeKind::All:
        n.filler = e.filler()->value;
        if (is_top_property(e.role().property)) {
          n.kind = e.kind == CeKind::Some ? NodeKind::Somewhere : NodeKind::Everywhere;
          break;
        }
        n.kind = e.kind == CeKind::Some ? NodeKind::Some : NodeKind::All;
        n.role = role_of(e.role());
        break;
      case CeKind::MinCardinality:
      case CeKind::MaxCardinality:
        n.kind = e.kind == CeKind::MinCardinality ? NodeKind::AtLeast : NodeKind::AtMost;
        n.role = role_of(e.role());
        n.filler = e.filler()->value;
        n.n = e.n();
        break;
      case CeKind::OneOf:
        n.kind = NodeKind::Nominal;
        n.entity = individual(e.individuals()[0]);
        break;
      case CeKind::HasSelf:
        n.kind = NodeKind::Self;
        n.role = role_of(RoleExpr::atomic(e.entity()));
        break;
      case CeKind::DataSome:
      case CeKind::DataAll:
      case CeKind::DataMinCardinality:
      case CeKind::DataMaxCardinality: {
        DataConstraint dc;
        dc.kind = e.kind == CeKind::DataSome  ? DataKind::Some
                  : e.kind == CeKind::DataAll ? DataKind::All
                  : e.kind == CeKind::DataMinCardinality ? DataKind::AtLeast
                                                         : DataKind::AtMost;
        dc.property = e.property();
        dc.range = e.range();
        if (e.kind == CeKind::DataMinCardinality || e.kind == CeKind::DataMaxCardinality) dc.n = e.n();
        n.kind = NodeKind::Data;
        n.entity = static_cast<uint32_t>(d_.data_.concepts.size());
        d_.data_.concepts.push_back(dc);
        break;
      }
      default: break;
    }
    d_.nodes_[c] = n;
  }

  // Decodes every concept interned since the last call and whatever they
  // reach (operands, fillers, negations, the ∀T.C of ∀⁺ and the choices of
  // the choose rule). Everything interned here is in negation normal form.
  void close() {
    closing_ = true;
    if (d_.supers_.size() != d_.told_supers_.size()) finish_roles();
    std::vector<uint32_t> todo;
    auto push = [&](uint32_t c) {
      if (!d_.nodes_[c].decoded) {
        decode(c);
        todo.push_back(c);
      }
    };
    while (!d_.unclosed_.empty() || !todo.empty()) {
      if (todo.empty()) {
        const uint32_t c = d_.unclosed_.back();
        d_.unclosed_.pop_back();
        push(c);
        continue;
      }
      const uint32_t c = todo.back();
      todo.pop_back();
      if (d_.supers_.size() != d_.told_supers_.size()) finish_roles();
      const Node n = d_.nodes_[c];
      const auto span = d_.operands(n);
      const std::vector<uint32_t> ops(span.begin(), span.end());  // decoding grows the pool
      for (uint32_t op : ops) push(op);
      if (n.kind == NodeKind::Some || n.kind == NodeKind::All || n.kind == NodeKind::AtLeast ||
          n.kind == NodeKind::AtMost || n.kind == NodeKind::Somewhere || n.kind == NodeKind::Everywhere)
        push(n.filler);
      if (n.negation == kNoConcept) {
        const uint32_t neg = neg_of(c);
        d_.nodes_[c].negation = neg;
        push(neg);
      }
      if (n.kind == NodeKind::All) {
        for (Role t : d_.transitive_subs_[n.role]) {
          const uint64_t key = (uint64_t{t} << 32) | n.filler;
          if (!d_.all_concepts_.contains(key))
            d_.all_concepts_[key] = intern(ClassExpr::all(role_expr(t), CeId(n.filler)));
          push(d_.all_concepts_[key]);
        }
      } else if (n.kind == NodeKind::AtMost && n.choose == kNoConcept) {
        const uint32_t ch = junction(false, {n.filler, neg_of(n.filler)});
        d_.nodes_[c].choose = ch;
        push(ch);
      }
    }
    closing_ = false;
    check_simple();
    // Individuals met through nominals only are roots too.
    for (auto i = static_cast<uint32_t>(d_.rep_.size()); i < d_.individuals_.size(); ++i) d_.rep_.push_back(i);
  }

  DlOntology& d_;
  std::vector<uint32_t> parent_;
  std::vector<std::pair<uint32_t, uint32_t>> pending_different_;
  absl::flat_hash_map<uint64_t, uint32_t> opaque_;
  std::optional<EntityId> top_data_property_;
  std::optional<EntityId> bottom_data_property_;
  absl::flat_hash_map<EntityId, std::vector<EntityId>> told_data_supers_;
  absl::flat_hash_map<EntityId, std::vector<uint32_t>> told_data_domains_;
  bool closing_ = false;  // the closure's own complements and choices
};

Result<DlOntology> DlOntology::from_ontology(const trelvanic_core::Ontology& ontology) {
  DlOntology d;
  d.ontology_ = ontology.clone();
  d.definitions_ = Definitions(d.ontology_.dl());
  Normalizer nz(d);
  nz.start();
  const auto& store = ontology.axioms();
  for (uint32_t i = 0; i < store.size(); ++i) {
    const AxiomId id(i);
    if (store.is_removed(id) || store.is_inferred(id)) continue;
    nz.told(store.view(id));
  }
  const auto& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    // A copy: interning into the clone's store must not touch the view.
    nz.dl_axiom(trelvanic_core::DlAxiom::from_view(dl.axiom(i)));
  }
  nz.finish();
  nz.close();
  return d;
}

uint32_t DlOntology::normalize(CeId ce) {
  Normalizer nz(*this);
  return nz.nnf(ce, false);
}

uint32_t DlOntology::atom(EntityId cls) {
  Normalizer nz(*this);
  return nz.named(cls);
}

uint32_t DlOntology::conjunction_with_complement(EntityId sub, EntityId sup) {
  Normalizer nz(*this);
  return nz.junction(true, {nz.named(sub), nz.neg_of(nz.named(sup))});
}

void DlOntology::close() {
  Normalizer nz(*this);
  nz.close();
}

uint32_t DlOntology::all_concept(Role t, uint32_t filler) const {
  auto it = all_concepts_.find((uint64_t{t} << 32) | filler);
  return it == all_concepts_.end() ? kNoConcept : it->second;
}

bool DlOntology::is_named(uint32_t atom_concept) const {
  const Node& n = nodes_[atom_concept];
  return n.kind == NodeKind::Atom && n.entity < fresh_base_;
}

std::span<const uint32_t> DlOntology::unfolding(uint32_t atom_concept) const {
  auto it = unfold_.find(atom_concept);
  if (it == unfold_.end()) return {};
  return it->second;
}

std::span<const uint32_t> DlOntology::conjunction_rules_of(uint32_t atom_concept) const {
  auto it = conj_by_atom_.find(atom_concept);
  if (it == conj_by_atom_.end()) return {};
  return it->second;
}

std::optional<uint32_t> DlOntology::individual_index(EntityId e) const {
  auto it = individual_index_.find(e.value);
  if (it == individual_index_.end()) return std::nullopt;
  return rep_[it->second];
}

}  // namespace trelvanic_alc
