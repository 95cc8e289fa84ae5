#include "el/engine.h"

#include <algorithm>
#include <type_traits>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

#include "core/cancel.h"

namespace trelvanic_el {
namespace {

// ClosureLink: a link derived by the transitivity of its own role.
enum class TodoKind : uint8_t { Sub, Link, ClosureLink };

struct Todo {
  uint32_t c;
  uint32_t x;  // subsumer, or the link's role
  uint32_t y;  // the link's filler
  TodoKind kind;
};

struct Why {
  RuleId rule;
  Premises premises;
};

// Stands in for Premises when tracing is off, so nothing is built.
struct NoPremises {
  NoPremises& add(TraceFact) { return *this; }
};

// Normal forms added after a saturation, by the list they sit in.
enum class AddedKind : uint8_t { Inclusion, Conjunction, Existential, LeftExistential, Disjoint };

uint64_t link_key(uint32_t role, uint32_t filler) { return (uint64_t{role} << 32) | filler; }

template <bool kTrace>
class Saturator {
  using P = std::conditional_t<kTrace, Premises, NoPremises>;

 public:
  Saturator(const NormalForm& nf, const RuleIndex& index, CompletionGraph& graph, ElTrace* trace)
      : nf_(nf), ix_(index), g_(graph), roles_(nf.roles), trace_(trace) {}

  void run(std::span<const uint32_t> roots, bool trace_role_steps = true) {
    todo_.reserve(size_t{1} << 16);
    if constexpr (kTrace) {
      if (trace_role_steps) trace_roles();
    }
    for (uint32_t c : roots) activate(c);
    while (!todo_.empty()) {
      if (cancel_()) {
        // Stopped from outside: what is derived so far is not the closure.
        todo_.clear();
        if constexpr (kTrace) whys_.clear();
        stats_.cancelled = true;
        return;
      }
      Todo t = todo_.back();
      todo_.pop_back();
      if constexpr (kTrace) {
        why_ = whys_.back();
        whys_.pop_back();
      }
      ++stats_.taken;
      if (t.kind == TodoKind::Sub) {
        if (!g_.context(t.c).subsumers.insert(t.x)) continue;
        ++stats_.subsumers;
        if constexpr (kTrace) {
          if (t.c != t.x) trace_->push(why_.rule, why_.premises, TraceFact::sub(t.c, t.x));
        }
        fire_sub(t.c, t.x);
      } else {
        Context& c = g_.context(t.c);
        if (!c.link_keys.insert(link_key(t.x, t.y))) continue;
        ++stats_.links;
        const bool closure = t.kind == TodoKind::ClosureLink;
        Context& y = g_.context(t.y);
        (closure ? y.closure_preds : y.preds).push_back({t.x, t.c});
        if (ix_.keeps_succs[t.x]) c.succs.push_back({t.x, t.y});
        if constexpr (kTrace) trace_->push(why_.rule, why_.premises, TraceFact::link(t.c, t.x, t.y));
        activate(t.y);
        fire_link(t.c, t.x, t.y, closure);
      }
    }
  }

  SaturationStats stats() const { return stats_; }
  bool cancelled() const { return stats_.cancelled; }

  // Fires the normal forms made since `from` on the facts already derived:
  // every active context is visited once and meets the new normal forms
  // whose trigger it holds. Pairs with facts derived from here on are the
  // ordinary rules' business.
  void fire_added(const NormalFormMark& from) {
    using Kind = AddedKind;
    struct Added {
      Kind kind;
      uint32_t index;
    };
    absl::flat_hash_map<uint32_t, std::vector<Added>> by_trigger;
    for (size_t i = from.inclusions; i < nf_.inclusions.size(); ++i)
      by_trigger[nf_.inclusions[i].sub].push_back({Kind::Inclusion, static_cast<uint32_t>(i)});
    for (size_t i = from.conjunctions; i < nf_.conjunctions.size(); ++i)
      by_trigger[nf_.conjunctions[i].left].push_back({Kind::Conjunction, static_cast<uint32_t>(i)});
    for (size_t i = from.existentials; i < nf_.existentials.size(); ++i)
      by_trigger[nf_.existentials[i].sub].push_back({Kind::Existential, static_cast<uint32_t>(i)});
    for (size_t i = from.left_existentials; i < nf_.left_existentials.size(); ++i)
      by_trigger[nf_.left_existentials[i].filler].push_back({Kind::LeftExistential, static_cast<uint32_t>(i)});
    for (size_t g = from.disjoint_groups; g < nf_.disjoint_groups.size(); ++g) {
      const DisjointGroup& d = nf_.disjoint_groups[g];
      for (uint32_t k = 0; k < d.count; ++k) {
        by_trigger[nf_.disjoint_members[d.first + k]].push_back({Kind::Disjoint, static_cast<uint32_t>(g)});
      }
    }
    if (by_trigger.empty()) return;
    // Fillers that were already recorded in neg_fillers before the addition.
    absl::flat_hash_set<uint32_t> had_ex_left;
    for (size_t i = 0; i < from.left_existentials; ++i) {
      uint32_t f = nf_.left_existentials[i].filler;
      if (by_trigger.contains(f)) had_ex_left.insert(f);
    }
    for (uint32_t c = 0; c < g_.concept_count(); ++c) {
      Context& x = g_.context(c);
      if (!x.active || x.bottom) continue;
      bool recorded = false;  // per trigger, reset below
      auto apply = [&](uint32_t a, const std::vector<Added>& rules) {
        recorded = had_ex_left.contains(a);
        for (const Added& r : rules) fire_one(c, x, a, r.kind, r.index, recorded);
      };
      if (by_trigger.size() < x.subsumers.size()) {
        for (const auto& [a, rules] : by_trigger) {
          if (x.subsumers.contains(a)) apply(a, rules);
        }
      } else {
        x.subsumers.for_each([&](uint32_t a) {
          auto it = by_trigger.find(a);
          if (it != by_trigger.end()) apply(a, it->second);
        });
      }
    }
  }

 private:
  void push_sub(uint32_t c, uint32_t a, RuleId rule, const P& p) {
    if (g_.context(c).subsumers.contains(a)) return;
    todo_.push_back({c, a, 0, TodoKind::Sub});
    if constexpr (kTrace) whys_.push_back({rule, p});
  }
  void push_link(uint32_t c, uint32_t r, uint32_t d, RuleId rule, const P& p, bool closure = false) {
    if (g_.context(c).link_keys.contains(link_key(r, d))) return;
    todo_.push_back({c, r, d, closure ? TodoKind::ClosureLink : TodoKind::Link});
    if constexpr (kTrace) whys_.push_back({rule, p});
  }

  // One added normal form on context c, which holds a. `recorded` tells
  // whether a is already among c's neg_fillers.
  void fire_one(uint32_t c, Context& x, uint32_t a, AddedKind kind, uint32_t i, bool& recorded) {
    switch (kind) {
      case AddedKind::Inclusion:
        rule_sub(c, a, {nf_.inclusions[i].super, i});
        return;
      case AddedKind::Conjunction: {
        const ConjunctionInclusion& cj = nf_.conjunctions[i];
        if (x.subsumers.contains(cj.right)) rule_conj(c, a, {cj.right, cj.super, i});
        return;
      }
      case AddedKind::Existential:
        rule_ex_right(c, a, {nf_.existentials[i].role, nf_.existentials[i].filler, i});
        return;
      case AddedKind::LeftExistential: {
        const ExistentialLeft& el = nf_.left_existentials[i];
        if (!recorded) {
          x.neg_fillers.push_back(a);
          recorded = true;
        }
        const ExEntry e{el.role, el.super, i};
        x.for_each_pred([&](const Edge& pred) { rule_ex_left(pred.node, pred.role, c, a, e); });
        return;
      }
      case AddedKind::Disjoint:
        rule_disjoint(c, x, a, i);
        return;
    }
  }

  // Premise builders compile away without a trace.
  static void add(P& p, TraceFact f) { p.add(f); }
  static void add_sub(P& p, uint32_t c, uint32_t a) {
    if (c != a) add(p, TraceFact::sub(c, a));
  }

  void activate(uint32_t c) {
    Context& x = g_.context(c);
    if (x.active) return;
    x.active = true;
    push_sub(c, c, RuleId::ThingSuper, {});
    if (c != kTop) push_sub(c, kTop, RuleId::ThingSuper, {});
  }

  static RuleId inclusion_rule(InclusionOrigin o) {
    switch (o) {
      case InclusionOrigin::Told: return RuleId::SubTransForward;
      case InclusionOrigin::RangeFiller: return RuleId::RangeFiller;
      case InclusionOrigin::ReflexiveExists: return RuleId::ReflexiveExists;
      case InclusionOrigin::ReflexiveRange: return RuleId::ReflexiveRange;
    }
    return RuleId::SubTransForward;
  }

  // The rules, one premise combination each. Both drivers call them: the
  // saturation loop for a new conclusion with the index's entries, and
  // fire_added for a normal form added later with an entry made from it.
  // Without a trace, only the conclusion is computed.

  //   C ⊑ A   A ⊑ B (inclusions[s.nf], B = s.super)
  //   ----------------------------------------------
  //   C ⊑ B
  void rule_sub(uint32_t c, uint32_t a, const SubEntry& s) {
    P p;
    RuleId rule = RuleId::SubTransForward;
    if constexpr (kTrace) {
      const ConceptInclusion& inc = nf_.inclusions[s.nf];
      add_sub(p, c, a);
      add(p, TraceFact::axiom(inc.source));
      rule = inclusion_rule(inc.origin);
    }
    push_sub(c, s.super, rule, p);
  }

  //   C ⊑ A1 (a)   C ⊑ A2 (e.other)   A1 ⊓ A2 ⊑ B (conjunctions[e.nf], B = e.super)
  //   ----------------------------------------------------------------------------
  //   C ⊑ B
  void rule_conj(uint32_t c, uint32_t a, const ConjEntry& e) {
    P p;
    if constexpr (kTrace) {
      add_sub(p, c, a);
      add_sub(p, c, e.other);
      add(p, TraceFact::axiom(nf_.conjunctions[e.nf].source));
    }
    push_sub(c, e.super, RuleId::ConjSub, p);
  }

  //   C ⊑ A   A ⊑ ∃r.B (existentials[e.nf], r = e.role, B = e.node)
  //   --------------------------------------------------------------
  //   C ⊑ ∃r.B
  void rule_ex_right(uint32_t c, uint32_t a, const ExEntry& e) {
    P p;
    RuleId rule = RuleId::ExIntro;
    if constexpr (kTrace) {
      add_sub(p, c, a);
      add(p, TraceFact::axiom(nf_.existentials[e.nf].source));
      if (nf_.existentials[e.nf].range_filler) rule = RuleId::PropertyRange;
    }
    push_link(c, e.role, e.node, rule, p);
  }

  //   P ⊑ ∃r.D   D ⊑ A   r ⊑* s   ∃s.A ⊑ B (left_existentials[e.nf], s = e.role, B = e.node)
  //   ---------------------------------------------------------------------------------------
  //   P ⊑ B
  void rule_ex_left(uint32_t pred, uint32_t r, uint32_t d, uint32_t a, const ExEntry& e) {
    if (!roles_.is_sub(r, e.role)) return;
    P p;
    RuleId rule = RuleId::ExLeftSub;
    if constexpr (kTrace) {
      add(p, TraceFact::link(pred, r, d));
      add_sub(p, d, a);
      if (r != e.role) add(p, TraceFact::sub_role(r, e.role));
      add(p, TraceFact::axiom(nf_.left_existentials[e.nf].source));
      if (nf_.left_existentials[e.nf].from_domain) rule = RuleId::PropertyDomain;
    }
    push_sub(pred, e.node, rule, p);
  }

  //   C ⊑ A   C ⊑ B   A ≠ B in disjoint_groups[group]
  //   -----------------------------------------------
  //   C ⊑ ⊥
  // The first member of each group met is kept in disjoint_seen; true when
  // a second one derived ⊥.
  bool rule_disjoint(uint32_t c, Context& x, uint32_t a, uint32_t group) {
    auto it = std::find_if(x.disjoint_seen.begin(), x.disjoint_seen.end(),
                           [&](const Edge& e) { return e.role == group; });
    if (it == x.disjoint_seen.end()) {
      x.disjoint_seen.push_back({group, a});
      return false;
    }
    if (it->node == a) return false;
    P p;
    add_sub(p, c, it->node);
    add_sub(p, c, a);
    add(p, TraceFact::axiom(nf_.disjoint_groups[group].source));
    push_sub(c, kBottom, RuleId::DisjointBottom, p);
    return true;
  }

  //   P ⊑ ∃r.D   D ⊑ ⊥
  //   ----------------
  //   P ⊑ ⊥
  void rule_bottom(uint32_t pred, uint32_t r, uint32_t d) {
    P p;
    add(p, TraceFact::link(pred, r, d));
    add_sub(p, d, kBottom);
    push_sub(pred, kBottom, RuleId::ExBottom, p);
  }

  //   C ⊑ ∃r1.D   D ⊑ ∃r2.E   r1 ⊑* t1   r2 ⊑* t2   t1 ∘ t2 ⊑ s (chains[ch.nf], s = ch.super)
  //   ----------------------------------------------------------------------------------------
  //   C ⊑ ∃s.E
  // The callers have matched the roles; `closure` marks a link the
  // transitivity of s derived.
  void rule_chain(uint32_t c, uint32_t r1, uint32_t d, uint32_t r2, uint32_t e, const ChainEntry& ch,
                  bool closure) {
    P p;
    add(p, TraceFact::link(c, r1, d));
    add(p, TraceFact::link(d, r2, e));
    add(p, TraceFact::axiom(nf_.chains[ch.nf].source));
    push_link(c, ch.super, e, RuleId::ExChain, p, closure);
  }

  // c ⊑ a is new: every rule with a subsumer premise, the index's entries
  // for a as the other premise.
  void fire_sub(uint32_t c, uint32_t a) {
    Context& x = g_.context(c);
    if (a == kBottom) {
      x.bottom = true;
      x.for_each_pred([&](const Edge& e) { rule_bottom(e.node, e.role, c); });
      return;
    }
    if (x.bottom) return;  // everything follows already
    const Triggers t = ix_.triggers(a);
    for (const SubEntry& s : t.told_subs) rule_sub(c, a, s);
    fire_conjunctions(c, a, x, t.conjunctions);
    for (const ExEntry& e : t.ex_right) rule_ex_right(c, a, e);
    if (!t.ex_left.empty()) {
      x.neg_fillers.push_back(a);
      x.for_each_pred([&](const Edge& pred) { left_existentials(pred.node, pred.role, c, a); });
    }
    for (uint32_t group : t.disjoint) {
      if (rule_disjoint(c, x, a, group)) return;
    }
  }

  // Joins a with the other conjunct through whichever side is smaller: the
  // conjunctions filed under a, or the context's subsumers searched in them.
  void fire_conjunctions(uint32_t c, uint32_t a, const Context& x, std::span<const ConjEntry> list) {
    if (list.empty()) return;
    if (list.size() <= x.subsumers.size()) {
      for (const ConjEntry& e : list) {
        if (x.subsumers.contains(e.other)) rule_conj(c, a, e);
      }
      return;
    }
    x.subsumers.for_each([&](uint32_t other) {
      auto lo = std::lower_bound(list.begin(), list.end(), other,
                                 [](const ConjEntry& e, uint32_t v) { return e.other < v; });
      for (; lo != list.end() && lo->other == other; ++lo) rule_conj(c, a, *lo);
    });
  }

  // pred ⊑ ∃r.d and d ⊑ a: every ∃s.a ⊑ B with r ⊑* s gives pred ⊑ B.
  void left_existentials(uint32_t pred, uint32_t r, uint32_t d, uint32_t a) {
    for (const ExEntry& e : ix_.ex_left(a)) rule_ex_left(pred, r, d, a, e);
  }

  // The chain is t ∘ t ⊑ t: transitivity of t.
  bool transitive(const ChainEntry& ch) const {
    const RoleChain& x = nf_.chains[ch.nf];
    return x.first == x.super && x.second == x.super;
  }

  // c ⊑ ∃r.d is new; `closure` when the transitivity of r derived it.
  void fire_link(uint32_t c, uint32_t r, uint32_t d, bool closure) {
    const Context& y = g_.context(d);
    if (y.bottom) {
      rule_bottom(c, r, d);
      return;
    }
    for (uint32_t a : y.neg_fillers) left_existentials(c, r, d, a);
    for (const ChainEntry& ch : ix_.left_chains[r]) {
      // A closure link never stands first in a transitivity: the first
      // step of the path it stands for does.
      const bool derives_closure = transitive(ch);
      if (closure && derives_closure) continue;
      for (const Edge& e : y.succs) {
        if (roles_.is_sub(e.role, ch.other)) rule_chain(c, r, d, e.role, e.node, ch, derives_closure);
      }
    }
    auto right = ix_.right_chains[r];
    if (right.empty()) return;
    const Context& x = g_.context(c);
    for (const ChainEntry& ch : right) {
      const bool derives_closure = transitive(ch);
      auto compose = [&](const Edge& e) {
        if (roles_.is_sub(e.role, ch.other)) rule_chain(e.node, e.role, c, r, d, ch, derives_closure);
      };
      for (const Edge& e : x.preds) compose(e);
      if (!derives_closure) {  // closure links stand first in other chains only
        for (const Edge& e : x.closure_preds) compose(e);
      }
    }
  }

  // The role closure's derived pairs, as steps ahead of the concept steps.
  void trace_roles() {
    for (const RoleDerivation& d : roles_.derivations()) {
      const RoleInclusion& edge = roles_.inclusions()[d.edge];
      Premises p;
      if (d.via != d.sub) {
        p.add(TraceFact::sub_role(d.sub, d.via));
        p.add(edge.from_reflexive_chain ? TraceFact::axiom(edge.source)
                                        : TraceFact::sub_role(d.via, d.super));
        trace_->push(RuleId::SubPropTransForward, p, TraceFact::sub_role(d.sub, d.super));
      } else if (edge.from_reflexive_chain) {
        p.add(TraceFact::axiom(edge.source));
        trace_->push(RuleId::SubPropReflexiveChain, p, TraceFact::sub_role(d.sub, d.super));
      }
    }
  }

  const NormalForm& nf_;
  const RuleIndex& ix_;
  CompletionGraph& g_;
  const RoleHierarchy& roles_;
  ElTrace* trace_;
  trelvanic_core::CancelPoll cancel_;
  std::vector<Todo> todo_;
  std::vector<Why> whys_;
  Why why_{};
  SaturationStats stats_;
};

}  // namespace

std::vector<uint32_t> roots_of(const NormalForm& nf) {
  std::vector<uint32_t> roots;
  roots.reserve(nf.class_count + 1);
  roots.push_back(kTop);
  for (uint32_t i = 0; i < nf.class_count; ++i) roots.push_back(NormalForm::class_concept(i));
  return roots;
}

SaturationStats saturate(const NormalForm& nf, const RuleIndex& index, CompletionGraph& graph,
                         std::span<const uint32_t> roots, ElTrace* trace) {
  graph.grow(nf.concept_count);
  if (trace != nullptr) {
    Saturator<true> s(nf, index, graph, trace);
    s.run(roots);
    return s.stats();
  }
  Saturator<false> s(nf, index, graph, nullptr);
  s.run(roots);
  return s.stats();
}

SaturationStats saturate_additions(const NormalForm& nf, const NormalFormMark& before,
                                   const RuleIndex& index, CompletionGraph& graph, ElTrace* trace) {
  graph.grow(nf.concept_count);
  if (trace != nullptr) {
    Saturator<true> s(nf, index, graph, trace);
    s.fire_added(before);
    s.run({}, false);
    return s.stats();
  }
  Saturator<false> s(nf, index, graph, nullptr);
  s.fire_added(before);
  s.run({}, false);
  return s.stats();
}

}  // namespace trelvanic_el
