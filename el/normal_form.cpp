#include "el/normal_form.h"

#include <algorithm>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

namespace trelvanic_el {
namespace {

constexpr uint32_t kUnset = UINT32_MAX;

uint64_t pair_key(uint32_t a, uint32_t b) { return (uint64_t{a} << 32) | b; }

Error malformed(std::string text) { return Error{ErrorKind::Message, std::move(text)}; }

}  // namespace

// Builds the normal forms axiom by axiom. Complex sub-expressions get fresh
// names, one per polarity: a name used on the left of ⊑ (negative) is
// defined by `expression ⊑ name`, one used on the right (positive) by
// `name ⊑ expression`. Names are shared structurally, so equal
// sub-expressions in different axioms reuse one name.
class Normalizer {
 public:
  // Takes the input's class and role numbering; they stay fixed.
  explicit Normalizer(const ElInput& in) {
    nf_.class_count = in.class_count();
    nf_.concept_count = kFirstClass + in.class_count();
    nf_.input_role_count = in.role_count();
    nf_.role_count = in.role_count();
  }

  // The input may have grown since the last call (it is only appended to).
  void attach(const ElInput& in) {
    in_ = &in;
    neg_.resize(in.exprs().size(), kUnset);
    pos_.resize(in.exprs().size(), kUnset);
  }
  void axiom(uint32_t index);
  void finish_roles();
  void finish_concepts(const NormalFormMark& from);

  NormalForm nf_;
  uint32_t seen_axioms_ = 0;

 private:
  uint32_t fresh() { return nf_.concept_count++; }
  uint32_t atom(const Expr& e) const {
    switch (e.kind) {
      case ExprKind::Named: return NormalForm::class_concept(e.a);
      case ExprKind::Top: return kTop;
      case ExprKind::Bottom: return kBottom;
      case ExprKind::And:
      case ExprKind::Some: break;
    }
    return kUnset;
  }

  void add_sub(uint32_t a, uint32_t b, InclusionOrigin origin = InclusionOrigin::Told) {
    if (a == b || b == kTop || a == kBottom) return;
    nf_.inclusions.push_back({a, b, source_, origin});
  }
  void add_conj(uint32_t a, uint32_t b, uint32_t c) {
    if (a == kTop) return add_sub(b, c);
    if (b == kTop || a == b) return add_sub(a, c);
    if (c == kTop || a == kBottom || b == kBottom || c == a || c == b) return;
    nf_.conjunctions.push_back({a, b, c, source_});
  }
  void add_exists(uint32_t a, uint32_t r, uint32_t f) {
    if (a == kBottom) return;
    nf_.existentials.push_back({a, r, f, source_});
  }
  void add_exists_left(uint32_t r, uint32_t f, uint32_t b, bool from_domain = false) {
    if (f == kBottom || b == kTop) return;
    nf_.left_existentials.push_back({r, f, b, source_, from_domain});
  }

  uint32_t conj_pair(uint32_t a, uint32_t b);
  uint32_t fold_conj(const std::vector<uint32_t>& names, size_t n);
  std::vector<uint32_t> operand_names(const Expr& e, std::vector<uint32_t>& memo, bool negative);
  uint32_t neg_name(ExprId e) { return name(e, neg_, true); }
  uint32_t pos_name(ExprId e) { return name(e, pos_, false); }
  uint32_t name(ExprId e, std::vector<uint32_t>& memo, bool negative);
  uint32_t define(ExprId e, std::vector<uint32_t>& memo, bool negative);

  void sub_class_of(ExprId sub, ExprId super);
  void lhs_to(ExprId sub, uint32_t target);
  void rhs_from(uint32_t source, const std::vector<ExprId>& atoms);
  std::vector<ExprId> positive_atoms(ExprId e) const;
  void domain(uint32_t role, ExprId cls);
  void chain(std::span<const uint32_t> roles, uint32_t super);

  const ElInput* in_ = nullptr;
  uint32_t source_ = 0;
  // ranges*(r) per role, the source of a range of r, and each distinct
  // ranges* set's number; fixed by finish_roles.
  std::vector<std::vector<uint32_t>> all_ranges_;
  std::vector<uint32_t> range_source_;
  std::vector<uint32_t> range_set_;
  absl::flat_hash_map<uint64_t, uint32_t> narrowed_;
  std::vector<uint32_t> neg_;
  std::vector<uint32_t> pos_;
  absl::flat_hash_map<uint64_t, uint32_t> neg_some_;
  absl::flat_hash_map<uint64_t, uint32_t> pos_some_;
  absl::flat_hash_map<uint64_t, uint32_t> conj_pairs_;
  absl::flat_hash_map<std::vector<uint32_t>, uint32_t> pos_and_;
  absl::flat_hash_map<uint64_t, uint32_t> chain_roles_;
  std::vector<RoleInclusion> role_inclusions_;
};

uint32_t Normalizer::conj_pair(uint32_t a, uint32_t b) {
  if (a > b) std::swap(a, b);
  auto [it, fresh_pair] = conj_pairs_.try_emplace(pair_key(a, b), 0);
  if (fresh_pair) {
    it->second = fresh();
    add_conj(a, b, it->second);
  }
  return it->second;
}

// The name of names[0] ⊓ ... ⊓ names[n-1] (n ≥ 1), as a left fold of shared pairs.
uint32_t Normalizer::fold_conj(const std::vector<uint32_t>& names, size_t n) {
  uint32_t acc = names[0];
  for (size_t i = 1; i < n; ++i) acc = conj_pair(acc, names[i]);
  return acc;
}

// Sorted distinct names of an intersection's operands with ⊤ left out;
// {kBottom} when an operand is ⊥. Operands must be named already.
std::vector<uint32_t> Normalizer::operand_names(const Expr& e, std::vector<uint32_t>& memo,
                                                bool negative) {
  std::vector<uint32_t> names;
  for (ExprId op : in_->operands(e)) {
    uint32_t n = memo[op];
    if (n == kBottom) return {kBottom};
    if (n != kTop) names.push_back(n);
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

// Names e and, first, every sub-expression it needs, children before parents,
// with an explicit stack so deep nesting cannot exhaust the C stack.
uint32_t Normalizer::name(ExprId root, std::vector<uint32_t>& memo, bool negative) {
  if (memo[root] != kUnset) return memo[root];
  std::vector<ExprId> stack{root};
  while (!stack.empty()) {
    ExprId e = stack.back();
    if (memo[e] != kUnset) {
      stack.pop_back();
      continue;
    }
    const Expr& x = in_->expr(e);
    bool ready = true;
    if (x.kind == ExprKind::Some) {
      if (memo[x.b] == kUnset) stack.push_back(x.b), ready = false;
    } else if (x.kind == ExprKind::And) {
      for (ExprId op : in_->operands(x)) {
        if (memo[op] == kUnset) stack.push_back(op), ready = false;
      }
    }
    if (!ready) continue;
    stack.pop_back();
    memo[e] = define(e, memo, negative);
  }
  return memo[root];
}

uint32_t Normalizer::define(ExprId e, std::vector<uint32_t>& memo, bool negative) {
  const Expr& x = in_->expr(e);
  uint32_t a = atom(x);
  if (a != kUnset) return a;
  if (x.kind == ExprKind::Some) {
    uint32_t f = memo[x.b];
    if (f == kBottom) return kBottom;  // ∃r.⊥ ≡ ⊥
    auto& table = negative ? neg_some_ : pos_some_;
    auto [it, added] = table.try_emplace(pair_key(x.a, f), 0);
    if (added) {
      it->second = fresh();
      if (negative) {
        add_exists_left(x.a, f, it->second);
      } else {
        add_exists(it->second, x.a, f);
      }
    }
    return it->second;
  }
  std::vector<uint32_t> names = operand_names(x, memo, negative);
  if (names.empty()) return kTop;
  if (names.size() == 1) return names[0];
  if (negative) return fold_conj(names, names.size());
  auto [it, added] = pos_and_.try_emplace(names, 0);
  if (added) {
    it->second = fresh();
    for (uint32_t n : names) add_sub(it->second, n);
  }
  return it->second;
}

// The atoms (named, ⊥, existential) of e read as a conjunction; ⊤ drops out.
std::vector<ExprId> Normalizer::positive_atoms(ExprId root) const {
  std::vector<ExprId> atoms, stack{root};
  while (!stack.empty()) {
    ExprId e = stack.back();
    stack.pop_back();
    const Expr& x = in_->expr(e);
    if (x.kind == ExprKind::And) {
      for (ExprId op : in_->operands(x)) stack.push_back(op);
    } else if (x.kind != ExprKind::Top) {
      atoms.push_back(e);
    }
  }
  return atoms;
}

void Normalizer::rhs_from(uint32_t src, const std::vector<ExprId>& atoms) {
  for (ExprId e : atoms) {
    const Expr& x = in_->expr(e);
    if (x.kind == ExprKind::Some) {
      uint32_t f = pos_name(x.b);
      if (f == kBottom) {
        add_sub(src, kBottom);
      } else {
        add_exists(src, x.a, f);
      }
    } else {
      add_sub(src, atom(x));
    }
  }
}

// Emits sub ⊑ target for a concept target, without naming sub itself when
// the normal forms can take it directly.
void Normalizer::lhs_to(ExprId sub, uint32_t target) {
  const Expr& x = in_->expr(sub);
  switch (x.kind) {
    case ExprKind::Named:
    case ExprKind::Top:
    case ExprKind::Bottom:
      add_sub(atom(x), target);
      return;
    case ExprKind::Some: {
      uint32_t f = neg_name(x.b);
      add_exists_left(x.a, f, target);
      return;
    }
    case ExprKind::And: {
      for (ExprId op : in_->operands(x)) neg_name(op);
      std::vector<uint32_t> names = operand_names(x, neg_, true);
      if (names.empty()) return add_sub(kTop, target);
      if (names.size() == 1) return add_sub(names[0], target);
      add_conj(fold_conj(names, names.size() - 1), names.back(), target);
      return;
    }
  }
}

void Normalizer::sub_class_of(ExprId sub, ExprId super) {
  std::vector<ExprId> atoms = positive_atoms(super);
  if (atoms.empty()) return;
  uint32_t a = atom(in_->expr(sub));
  if (a != kUnset) return rhs_from(a, atoms);
  const Expr& only = in_->expr(atoms[0]);
  if (atoms.size() == 1 && only.kind != ExprKind::Some) return lhs_to(sub, atom(only));
  rhs_from(neg_name(sub), atoms);
}

void Normalizer::domain(uint32_t role, ExprId cls) {
  std::vector<ExprId> atoms = positive_atoms(cls);
  if (atoms.empty()) return;
  const Expr& only = in_->expr(atoms[0]);
  if (atoms.size() == 1 && only.kind != ExprKind::Some) {
    add_exists_left(role, kTop, atom(only), true);
    return;
  }
  auto [it, added] = neg_some_.try_emplace(pair_key(role, kTop), 0);
  if (added) {
    it->second = fresh();
    add_exists_left(role, kTop, it->second, true);
  }
  rhs_from(it->second, atoms);
}

// r1 ∘ ... ∘ rn ⊑ s as binary chains over fresh roles for the prefixes.
void Normalizer::chain(std::span<const uint32_t> roles, uint32_t super) {
  if (roles.size() == 1) {
    role_inclusions_.push_back({roles[0], super, source_});
    return;
  }
  uint32_t acc = roles[0];
  for (size_t i = 1; i + 1 < roles.size(); ++i) {
    auto [it, added] = chain_roles_.try_emplace(pair_key(acc, roles[i]), 0);
    if (added) {
      it->second = nf_.role_count++;
      nf_.chains.push_back({acc, roles[i], it->second, source_});
    }
    acc = it->second;
  }
  nf_.chains.push_back({acc, roles.back(), super, source_});
}

void Normalizer::axiom(uint32_t index) {
  source_ = index;
  const InputAxiom& ax = in_->axioms()[index];
  auto exprs = in_->axiom_exprs(ax);
  auto roles = in_->axiom_roles(ax);
  switch (ax.kind) {
    case InputAxiomKind::SubClassOf:
      sub_class_of(exprs[0], exprs[1]);
      return;
    case InputAxiomKind::EquivalentClasses: {
      // A star around a named operand (the usual definition A ≡ C), else a cycle.
      size_t hub = exprs.size();
      for (size_t i = 0; i < exprs.size() && hub == exprs.size(); ++i) {
        if (in_->expr(exprs[i]).kind == ExprKind::Named) hub = i;
      }
      if (hub < exprs.size()) {
        for (size_t i = 0; i < exprs.size(); ++i) {
          if (i == hub) continue;
          sub_class_of(exprs[hub], exprs[i]);
          sub_class_of(exprs[i], exprs[hub]);
        }
      } else {
        for (size_t i = 0; i < exprs.size(); ++i) {
          sub_class_of(exprs[i], exprs[(i + 1) % exprs.size()]);
        }
      }
      return;
    }
    case InputAxiomKind::DisjointClasses: {
      std::vector<uint32_t> names;
      for (ExprId e : exprs) names.push_back(neg_name(e));
      std::sort(names.begin(), names.end());
      for (size_t i = 1; i < names.size(); ++i) {
        if (names[i] == names[i - 1]) add_sub(names[i], kBottom);  // disjoint with itself
      }
      names.erase(std::unique(names.begin(), names.end()), names.end());
      std::erase(names, kBottom);
      if (names.size() == 2) {
        add_conj(names[0], names[1], kBottom);
      } else if (names.size() > 2) {
        nf_.disjoint_groups.push_back({static_cast<uint32_t>(nf_.disjoint_members.size()),
                                       static_cast<uint32_t>(names.size()), index});
        nf_.disjoint_members.insert(nf_.disjoint_members.end(), names.begin(), names.end());
      }
      return;
    }
    case InputAxiomKind::SubObjectPropertyOf:
      role_inclusions_.push_back({roles[0], roles[1], index});
      return;
    case InputAxiomKind::SubPropertyChain:
      chain(roles.first(roles.size() - 1), roles.back());
      return;
    case InputAxiomKind::TransitiveProperty:
      nf_.chains.push_back({roles[0], roles[0], roles[0], index});
      return;
    case InputAxiomKind::ReflexiveProperty:
      nf_.reflexive_roles.push_back(roles[0]);
      return;
    case InputAxiomKind::PropertyDomain:
      domain(roles[0], exprs[0]);
      return;
    case InputAxiomKind::PropertyRange: {
      uint32_t r = pos_name(exprs[0]);
      if (r != kTop) nf_.ranges.push_back({roles[0], r, index});
      return;
    }
    case InputAxiomKind::IndividualLink:
      nf_.existentials.push_back({atom(in_->expr(exprs[0])), roles[0], atom(in_->expr(exprs[1])), index,
                                  false, true});
      return;
  }
}

// Role closure, ranges* per role, and what reflexive roles and chains
// imply for ranges.
void Normalizer::finish_roles() {
  nf_.roles = RoleHierarchy(nf_.role_count, std::move(role_inclusions_), nf_.chains,
                            nf_.reflexive_roles);
  const RoleHierarchy& h = nf_.roles;
  std::vector<std::vector<uint32_t>> own(nf_.role_count);
  all_ranges_.assign(nf_.role_count, {});
  range_source_.assign(nf_.role_count, 0);
  range_set_.assign(nf_.role_count, kUnset);
  for (const RangeAxiom& ra : nf_.ranges) {
    own[ra.role].push_back(ra.node);
    range_source_[ra.role] = ra.source;
  }
  absl::flat_hash_map<std::vector<uint32_t>, uint32_t> sets;
  for (uint32_t r = 0; r < nf_.role_count; ++r) {
    auto& all = all_ranges_[r];
    for (uint32_t s : h.supers(r)) all.insert(all.end(), own[s].begin(), own[s].end());
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    if (!all.empty()) range_set_[r] = sets.try_emplace(all, static_cast<uint32_t>(sets.size())).first->second;
  }
  // Every element is its own successor over a reflexive role, so the role's
  // ranges hold everywhere.
  for (uint32_t r = 0; r < nf_.role_count; ++r) {
    if (!h.is_reflexive(r)) continue;
    source_ = range_source_[r];
    for (uint32_t c : all_ranges_[r]) add_sub(kTop, c, InclusionOrigin::ReflexiveRange);
  }
  for (const RoleChain& c : nf_.chains) {
    const auto& last = all_ranges_[c.second];
    const auto& super = all_ranges_[c.super];
    if (!std::includes(last.begin(), last.end(), super.begin(), super.end())) {
      nf_.incomplete.push_back({IncompleteReason::Kind::RangeOnChain, c.source});
    }
  }
}

// What reflexive roles and ranges add to the existentials made since `from`.
void Normalizer::finish_concepts(const NormalFormMark& from) {
  const RoleHierarchy& h = nf_.roles;
  // ∃s.A ⊑ B with s reflexive: every element is its own s-successor, so A ⊑ B.
  for (size_t i = from.left_existentials, n = nf_.left_existentials.size(); i < n; ++i) {
    ExistentialLeft el = nf_.left_existentials[i];
    if (!h.is_reflexive(el.role)) continue;
    source_ = el.source;
    add_sub(el.filler, el.super, InclusionOrigin::ReflexiveExists);
  }
  // Narrow the fillers of existentials by the ranges of their roles.
  for (size_t i = from.existentials; i < nf_.existentials.size(); ++i) {
    ExistentialRight& ex = nf_.existentials[i];
    const std::vector<uint32_t>& rs = all_ranges_[ex.role];
    if (ex.individual) {  // r(a, b): the ranges hold for b itself
      source_ = ex.source;
      for (uint32_t c : rs) add_sub(ex.filler, c, InclusionOrigin::RangeFiller);
      continue;
    }
    if (rs.empty() || (rs.size() == 1 && rs[0] == ex.filler)) continue;
    auto [it, added] = narrowed_.try_emplace(pair_key(ex.filler, range_set_[ex.role]), 0);
    if (added) {
      it->second = fresh();
      source_ = range_source_[ex.role];
      add_sub(it->second, ex.filler, InclusionOrigin::RangeFiller);
      for (uint32_t c : rs) add_sub(it->second, c, InclusionOrigin::RangeFiller);
    }
    ex.filler = it->second;
    ex.range_filler = true;
  }
}

namespace {

std::expected<void, Error> validate(const ElInput& in) {
  const auto& exprs = in.exprs();
  for (ExprId e = 0; e < exprs.size(); ++e) {
    const Expr& x = exprs[e];
    if (x.kind == ExprKind::Named && x.a >= in.class_count()) {
      return std::unexpected(malformed("class index out of range"));
    }
    if (x.kind == ExprKind::Some && (x.b >= e || x.a >= in.role_count())) {
      return std::unexpected(malformed("malformed existential restriction"));
    }
    if (x.kind == ExprKind::And) {
      for (ExprId op : in.operands(x)) {
        if (op >= e) return std::unexpected(malformed("malformed intersection"));
      }
    }
  }
  for (const InputAxiom& ax : in.axioms()) {
    for (ExprId e : in.axiom_exprs(ax)) {
      if (e >= exprs.size()) return std::unexpected(malformed("axiom refers to an unknown expression"));
    }
    for (uint32_t r : in.axiom_roles(ax)) {
      if (r >= in.role_count()) return std::unexpected(malformed("role index out of range"));
    }
    size_t want_exprs = 0, want_roles = 0;
    switch (ax.kind) {
      case InputAxiomKind::SubClassOf: want_exprs = 2; break;
      case InputAxiomKind::EquivalentClasses:
      case InputAxiomKind::DisjointClasses: want_exprs = SIZE_MAX; break;
      case InputAxiomKind::SubObjectPropertyOf: want_roles = 2; break;
      case InputAxiomKind::SubPropertyChain: want_roles = SIZE_MAX; break;
      case InputAxiomKind::TransitiveProperty:
      case InputAxiomKind::ReflexiveProperty: want_roles = 1; break;
      case InputAxiomKind::PropertyDomain:
      case InputAxiomKind::PropertyRange: want_exprs = 1, want_roles = 1; break;
      case InputAxiomKind::IndividualLink:
        want_exprs = 2, want_roles = 1;
        for (ExprId e : in.axiom_exprs(ax)) {
          if (e < exprs.size() && exprs[e].kind != ExprKind::Named) {
            return std::unexpected(malformed("a property assertion links two individuals"));
          }
        }
        break;
    }
    bool ok = (want_exprs == SIZE_MAX ? true : ax.expr_count == want_exprs) &&
              (want_roles == SIZE_MAX ? ax.role_count >= 2 : ax.role_count == want_roles);
    if (!ok) return std::unexpected(malformed("axiom has the wrong number of operands"));
  }
  return {};
}

}  // namespace

namespace {

NormalFormMark mark_of(const NormalForm& nf) {
  return {nf.inclusions.size(), nf.conjunctions.size(), nf.existentials.size(),
          nf.left_existentials.size(), nf.disjoint_groups.size(), nf.concept_count};
}

// Axioms that only add concept normal forms; anything else changes the role
// hierarchy or the ranges that earlier normal forms were built with.
bool concept_level(InputAxiomKind k) {
  switch (k) {
    case InputAxiomKind::SubClassOf:
    case InputAxiomKind::EquivalentClasses:
    case InputAxiomKind::DisjointClasses:
    case InputAxiomKind::PropertyDomain:
    case InputAxiomKind::IndividualLink:
      return true;
    case InputAxiomKind::SubObjectPropertyOf:
    case InputAxiomKind::SubPropertyChain:
    case InputAxiomKind::TransitiveProperty:
    case InputAxiomKind::ReflexiveProperty:
    case InputAxiomKind::PropertyRange:
      return false;
  }
  return false;
}

}  // namespace

NormalFormBuilder::NormalFormBuilder() = default;
NormalFormBuilder::~NormalFormBuilder() = default;
NormalFormBuilder::NormalFormBuilder(NormalFormBuilder&&) noexcept = default;
NormalFormBuilder& NormalFormBuilder::operator=(NormalFormBuilder&&) noexcept = default;

std::expected<NormalFormBuilder::Added, Error> NormalFormBuilder::add(const ElInput& input) {
  if (auto ok = validate(input); !ok) return std::unexpected(ok.error());
  if (!impl_) {
    impl_ = std::make_unique<Normalizer>(input);
    impl_->attach(input);
    for (uint32_t i = 0; i < input.axioms().size(); ++i) impl_->axiom(i);
    impl_->seen_axioms_ = static_cast<uint32_t>(input.axioms().size());
    impl_->finish_roles();
    impl_->finish_concepts({});
    last_mark_ = {};
    return Added::Extended;
  }
  const NormalForm& nf = impl_->nf_;
  if (input.class_count() != nf.class_count || input.role_count() != nf.input_role_count ||
      input.axioms().size() < impl_->seen_axioms_) {
    return Added::NeedsFreshBuild;
  }
  for (uint32_t i = impl_->seen_axioms_; i < input.axioms().size(); ++i) {
    if (!concept_level(input.axioms()[i].kind)) return Added::NeedsFreshBuild;
  }
  last_mark_ = mark_of(nf);
  impl_->attach(input);
  for (uint32_t i = impl_->seen_axioms_; i < input.axioms().size(); ++i) impl_->axiom(i);
  impl_->seen_axioms_ = static_cast<uint32_t>(input.axioms().size());
  impl_->finish_concepts(last_mark_);
  return Added::Extended;
}

const NormalForm& NormalFormBuilder::normal_form() const { return impl_->nf_; }

std::expected<NormalForm, Error> normalize(const ElInput& input) {
  NormalFormBuilder builder;
  if (auto ok = builder.add(input); !ok) return std::unexpected(ok.error());
  return std::move(builder.impl_->nf_);
}

}  // namespace trelvanic_el
