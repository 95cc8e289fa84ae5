// Random EL ontologies classified by the engine and by a naive reference
// that works on the class expressions themselves (no normal forms, no
// indexes): contexts are expression sets, links carry their role, and every
// rule is retried over everything until nothing changes. Every subsumption
// between classes and every unsatisfiable class must agree.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <tuple>

#include "classify_helper.h"

namespace trelvanic_el::testing {
namespace {

// Canonical expressions: kind, a (class or role), b (filler), operands.
struct RefExpr {
  ExprKind kind;
  int a = -1;
  int b = -1;
  std::vector<int> ops;
  auto key() const { return std::tie(kind, a, b, ops); }
  bool operator<(const RefExpr& o) const { return key() < o.key(); }
};

struct Chain {
  std::vector<int> links;  // t1 .. tk, k ≥ 2
  int super;
};

class Reference {
 public:
  explicit Reference(const ElInput& in) : in_(in) {
    role_count_ = in.role_count();
    sub_.assign(role_count_, std::vector<char>(role_count_, 0));
    refl_.assign(role_count_, 0);
    for (int r = 0; r < role_count_; ++r) sub_[r][r] = 1;
    top_ = intern({ExprKind::Top});
    bottom_ = intern({ExprKind::Bottom});
    std::vector<int> canon(in.exprs().size());
    for (ExprId e = 0; e < in.exprs().size(); ++e) {
      const Expr& x = in.expr(e);
      RefExpr r{x.kind};
      if (x.kind == ExprKind::Named) r.a = static_cast<int>(x.a);
      if (x.kind == ExprKind::Some) r.a = static_cast<int>(x.a), r.b = canon[x.b];
      if (x.kind == ExprKind::And) {
        for (ExprId op : in.operands(x)) r.ops.push_back(canon[op]);
        std::sort(r.ops.begin(), r.ops.end());
      }
      canon[e] = intern(r);
    }
    std::vector<Chain> chains;
    for (const InputAxiom& ax : in.axioms()) {
      auto es = in.axiom_exprs(ax);
      auto rs = in.axiom_roles(ax);
      switch (ax.kind) {
        case InputAxiomKind::SubClassOf: gcis_.push_back({canon[es[0]], canon[es[1]]}); break;
        case InputAxiomKind::EquivalentClasses:
          for (ExprId x : es) for (ExprId y : es) gcis_.push_back({canon[x], canon[y]});
          break;
        case InputAxiomKind::DisjointClasses:
          for (size_t i = 0; i < es.size(); ++i)
            for (size_t j = i + 1; j < es.size(); ++j) {
              RefExpr both{ExprKind::And};
              both.ops = {canon[es[i]], canon[es[j]]};
              std::sort(both.ops.begin(), both.ops.end());
              gcis_.push_back({intern(both), bottom_});
            }
          break;
        case InputAxiomKind::SubObjectPropertyOf: sub_[rs[0]][rs[1]] = 1; break;
        case InputAxiomKind::SubPropertyChain:
          chains.push_back({std::vector<int>(rs.begin(), rs.end() - 1), static_cast<int>(rs.back())});
          break;
        case InputAxiomKind::TransitiveProperty: {
          int r = static_cast<int>(rs[0]);
          chains.push_back({{r, r}, r});
          break;
        }
        case InputAxiomKind::ReflexiveProperty: refl_[rs[0]] = 1; break;
        case InputAxiomKind::PropertyDomain: {
          RefExpr some{ExprKind::Some, static_cast<int>(rs[0]), top_};
          gcis_.push_back({intern(some), canon[es[0]]});
          break;
        }
        case InputAxiomKind::PropertyRange: ranges_.push_back({static_cast<int>(rs[0]), canon[es[0]]}); break;
        case InputAxiomKind::IndividualLink:
          assertions_.push_back({in.expr(es[0]).a, static_cast<int>(rs[0]), in.expr(es[1]).a});
          break;
      }
    }
    close_roles(chains);
    chains_ = chains;
    // r(a, b) between individuals: b itself is the r-successor, so b is in
    // every range of r.
    for (auto [a, r, b] : assertions_) {
      for (int c : ranges_of(r)) gcis_.push_back({intern({ExprKind::Named, static_cast<int>(b)}), c});
    }
  }

  // Runs the naive fixpoint; then class i's node is node_of_class(i).
  void run() {
    for (uint32_t i = 0; i < in_.class_count(); ++i) node(intern({ExprKind::Named, static_cast<int>(i)}), -1);

    for (bool changed = true; changed;) {
      changed = false;
      for (size_t n = 0; n < nodes_.size(); ++n) changed |= step(static_cast<int>(n));
    }
  }

  bool unsat(uint32_t i) { return S(class_node(i)).count(bottom_) > 0; }
  bool subsumed(uint32_t i, uint32_t j) {
    return unsat(i) || S(class_node(i)).count(intern({ExprKind::Named, static_cast<int>(j)})) > 0;
  }

 private:
  std::set<int>& S(int n) { return nodes_[n].second; }
  int class_node(uint32_t i) { return node(intern({ExprKind::Named, static_cast<int>(i)}), -1); }

  int intern(const RefExpr& e) {
    auto [it, added] = ids_.try_emplace(e, static_cast<int>(exprs_.size()));
    if (added) exprs_.push_back(e);
    return it->second;
  }

  // Role inclusions closed together with reflexivity: a chain whose links
  // are all reflexive but one makes that one a sub-role of its super-role,
  // and all reflexive makes the super-role reflexive.
  void close_roles(const std::vector<Chain>& chains) {
    for (bool changed = true; changed;) {
      changed = false;
      auto set = [&](char& v) { if (!v) v = 1, changed = true; };
      for (int r = 0; r < role_count_; ++r)
        for (int s = 0; s < role_count_; ++s)
          for (int t = 0; t < role_count_; ++t)
            if (sub_[r][s] && sub_[s][t]) set(sub_[r][t]);
      for (int r = 0; r < role_count_; ++r)
        for (int s = 0; s < role_count_; ++s)
          if (refl_[r] && sub_[r][s]) set(refl_[s]);
      for (const Chain& c : chains) {
        std::vector<int> rest;
        for (int t : c.links) if (!refl_[t]) rest.push_back(t);
        if (rest.empty()) set(refl_[c.super]);
        if (rest.size() == 1) set(sub_[rest[0]][c.super]);
      }
    }
  }

  std::set<int> ranges_of(int r) {
    std::set<int> out;
    for (auto [s, c] : ranges_) if (sub_[r][s]) out.insert(c);
    return out;
  }

  // The node for "filler, as an r-successor" (r = -1: a class itself).
  int node(int filler, int role) {
    auto [it, added] = node_ids_.try_emplace({filler, role}, static_cast<int>(nodes_.size()));
    if (added) {
      std::set<int> init{filler, top_};
      if (role >= 0) for (int c : ranges_of(role)) init.insert(c);
      nodes_.push_back({{filler, role}, init});
    }
    return it->second;
  }

  bool add(int n, int e) { return S(n).insert(e).second; }

  bool step(int n) {
    bool changed = false;
    for (int r = 0; r < role_count_; ++r) {
      if (!refl_[r]) continue;
      changed |= links_.insert({n, r, n}).second;
      for (int c : ranges_of(r)) changed |= add(n, c);
    }
    std::vector<int> cur(S(n).begin(), S(n).end());
    for (int e : cur) {
      for (auto [l, r] : gcis_) if (l == e) changed |= add(n, r);
      const RefExpr x = exprs_[e];
      if (x.kind == ExprKind::And) for (int op : x.ops) changed |= add(n, op);
      if (x.kind == ExprKind::Some) changed |= links_.insert({n, x.a, node(x.b, x.a)}).second;
      // Whatever is below individual a has a's r-successor b.
      for (auto [a, r, b] : assertions_) {
        if (x.kind == ExprKind::Named && x.a == static_cast<int>(a)) {
          changed |= links_.insert({n, r, class_node(b)}).second;
        }
      }
    }
    for (int e = 0; e < static_cast<int>(exprs_.size()); ++e) {
      const RefExpr x = exprs_[e];
      if (x.kind == ExprKind::And && !x.ops.empty() &&
          std::all_of(x.ops.begin(), x.ops.end(), [&](int op) { return S(n).count(op) > 0; })) {
        changed |= add(n, e);
      }
    }
    std::vector<std::tuple<int, int, int>> out;
    for (auto& l : links_) if (std::get<0>(l) == n) out.push_back(l);
    for (auto [src, r, dst] : out) {
      if (S(dst).count(bottom_)) changed |= add(n, bottom_);
      for (int e = 0; e < static_cast<int>(exprs_.size()); ++e) {
        const RefExpr x = exprs_[e];
        if (x.kind == ExprKind::Some && sub_[r][x.a] && S(dst).count(x.b)) changed |= add(n, e);
      }
      // A chain t1 ∘ ... ∘ tk ⊑ s: walk t2..tk from dst over the links
      // (reflexive links included), then link n to every end by s.
      for (const Chain& c : chains_) {
        if (!sub_[r][c.links[0]]) continue;
        std::set<int> frontier{dst};
        for (size_t i = 1; i < c.links.size() && !frontier.empty(); ++i) {
          std::set<int> next;
          for (auto [from, q, to] : links_) {
            if (frontier.count(from) && sub_[q][c.links[i]]) next.insert(to);
          }
          frontier = std::move(next);
        }
        for (int end : frontier) changed |= links_.insert({n, c.super, end}).second;
      }
    }
    return changed;
  }

  const ElInput& in_;
  int role_count_;
  int top_, bottom_;
  std::map<RefExpr, int> ids_;
  std::vector<RefExpr> exprs_;
  std::vector<std::pair<int, int>> gcis_;
  std::vector<std::pair<int, int>> ranges_;
  std::vector<std::tuple<uint32_t, int, uint32_t>> assertions_;
  std::vector<std::vector<char>> sub_;
  std::vector<char> refl_;
  std::vector<Chain> chains_;
  std::map<std::pair<int, int>, int> node_ids_;
  std::vector<std::pair<std::pair<int, int>, std::set<int>>> nodes_;
  std::set<std::tuple<int, int, int>> links_;
};

std::string show(const ElInput& in, ExprId e) {
  const Expr& x = in.expr(e);
  switch (x.kind) {
    case ExprKind::Named: return "C" + std::to_string(x.a);
    case ExprKind::Top: return "Thing";
    case ExprKind::Bottom: return "Nothing";
    case ExprKind::Some: return "(some r" + std::to_string(x.a) + " " + show(in, x.b) + ")";
    case ExprKind::And: {
      std::string out = "(and";
      for (ExprId op : in.operands(x)) out += " " + show(in, op);
      return out + ")";
    }
  }
  return "?";
}

// The ontology in the notation of el_text.h, for failure messages.
std::string show(const ElInput& in) {
  const char* names[] = {"sub", "eq", "disj", "subrole", "chain", "trans", "refl", "domain", "range", "link"};
  std::string out;
  for (const InputAxiom& ax : in.axioms()) {
    out += std::string("(") + names[static_cast<int>(ax.kind)];
    auto es = in.axiom_exprs(ax);
    auto rs = in.axiom_roles(ax);
    if (ax.kind == InputAxiomKind::IndividualLink) {
      out += " " + show(in, es[0]) + " r" + std::to_string(rs[0]) + " " + show(in, es[1]) + ")\n";
      continue;
    }
    for (uint32_t r : rs) out += " r" + std::to_string(r);
    for (ExprId e : es) out += " " + show(in, e);
    out += ")\n";
  }
  return out;
}

// How often each axiom kind is drawn, in percent (they sum to 100).
struct Mix {
  int sub, eq, disj, subrole, chain, trans, refl, link, domain, range;
  int longest_chain;  // links of a property chain: 2 .. longest_chain
  int most_axioms;    // axioms per ontology: 4 .. most_axioms
};

// Mostly class axioms, a few of every role axiom.
constexpr Mix kClassMix{45, 15, 6, 8, 5, 6, 3, 3, 4, 5, 2, 12};
// Reflexive roles, ranges and chains (up to three links) dense enough that
// they meet each other in most ontologies.
constexpr Mix kRoleMix{36, 10, 3, 8, 10, 6, 10, 4, 4, 9, 3, 16};

class Generator {
 public:
  explicit Generator(uint32_t seed, const Mix& mix = kClassMix) : rng_(seed), mix_(mix) {}

  ElInput make() {
    ElInput in;
    classes_ = pick(3, 7);
    roles_ = pick(1, 3);
    in.reserve_classes(classes_);
    in.reserve_roles(roles_);
    int axioms = pick(4, mix_.most_axioms);
    for (int i = 0; i < axioms; ++i) {
      int k = pick(0, 99);
      auto drawn = [&](int weight) {
        k -= weight;
        return k < 0;
      };
      if (drawn(mix_.sub)) {
        ExprId a = expr(in, 2);
        in.sub_class_of(a, expr(in, 2));
      } else if (drawn(mix_.eq)) {
        ExprId a = in.named(pick(0, classes_ - 1));
        ExprId b = expr(in, 2);
        in.equivalent_classes(std::vector<ExprId>{a, b});
      } else if (drawn(mix_.disj)) {
        std::vector<ExprId> ops;
        for (int j = pick(2, 3); j > 0; --j) ops.push_back(expr(in, 1));
        in.disjoint_classes(ops);
      } else if (drawn(mix_.subrole)) {
        in.sub_property_of(role(), role());
      } else if (drawn(mix_.chain)) {
        std::vector<uint32_t> chain{role(), role()};
        if (mix_.longest_chain > 2) {
          for (int j = pick(2, mix_.longest_chain); j > 2; --j) chain.push_back(role());
        }
        in.property_chain(chain, role());
      } else if (drawn(mix_.trans)) {
        in.transitive(role());
      } else if (drawn(mix_.refl)) {
        in.reflexive(role());
      } else if (drawn(mix_.link)) {
        // Classes double as individuals here: the link is what a property
        // assertion gives.
        uint32_t r = role();
        ExprId a = in.named(pick(0, classes_ - 1));
        in.individual_link(a, r, in.named(pick(0, classes_ - 1)));
      } else if (drawn(mix_.domain)) {
        uint32_t r = role();
        in.domain(r, expr(in, 1));
      } else {
        uint32_t r = role();
        in.range(r, expr(in, 1));
      }
    }
    return in;
  }

 private:
  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  uint32_t role() { return static_cast<uint32_t>(pick(0, roles_ - 1)); }
  ExprId expr(ElInput& in, int depth) {
    int k = pick(0, 99);
    if (depth == 0 || k < 50) return in.named(pick(0, classes_ - 1));
    if (k < 53) return in.top();
    if (k < 55) return in.bottom();
    if (k < 80) {
      uint32_t r = role();
      return in.some(r, expr(in, depth - 1));
    }
    std::vector<ExprId> ops;
    for (int j = pick(2, 3); j > 0; --j) ops.push_back(expr(in, depth - 1));
    return in.and_of(ops);
  }

  std::mt19937 rng_;
  Mix mix_;
  int classes_ = 0;
  int roles_ = 0;
};

// Classifies `count` random ontologies of the mix with the engine and the
// reference; returns how many the engine decided (and so were compared).
int compare_with_reference(const Mix& mix, uint32_t count) {
  int compared = 0;
  for (uint32_t seed = 1; seed <= count; ++seed) {
    Generator gen(seed, mix);
    ElInput in = gen.make();
    auto result = classify(in);
    EXPECT_TRUE(result);
    if (!result) return compared;
    if (!result->nf.incomplete.empty()) continue;  // outside what the engine decides
    Reference ref(in);
    ref.run();
    ++compared;
    const ClassTaxonomy& t = result->taxonomy;
    for (uint32_t i = 0; i < in.class_count(); ++i) {
      bool unsat = std::binary_search(t.unsatisfiable.begin(), t.unsatisfiable.end(), i);
      EXPECT_EQ(unsat, ref.unsat(i)) << "seed " << seed << " class " << i << "\n" << show(in);
      if (unsat != ref.unsat(i)) return compared;
      for (uint32_t j = 0; j < in.class_count(); ++j) {
        bool want = ref.subsumed(i, j);
        EXPECT_EQ(result->subsumed(i, j), want)
            << "seed " << seed << " classes " << i << " " << j << "\n" << show(in);
        EXPECT_EQ(taxonomy_subsumes(t, i, j), want)
            << "taxonomy, seed " << seed << " classes " << i << " " << j;
        if (result->subsumed(i, j) != want || taxonomy_subsumes(t, i, j) != want) return compared;
      }
    }
  }
  return compared;
}

TEST(ElDifferential, RandomOntologiesAgreeWithNaiveReference) {
  EXPECT_GT(compare_with_reference(kClassMix, 1500), 1200);
}

TEST(ElDifferential, ReflexiveRolesRangesAndLongChainsAgreeWithNaiveReference) {
  EXPECT_GT(compare_with_reference(kRoleMix, 1500), 1200);
}

// Copies src's expressions into dst (same ids up to the map it returns).
std::vector<ExprId> copy_arena(ElInput& dst, const ElInput& src) {
  dst.reserve_classes(src.class_count());
  dst.reserve_roles(src.role_count());
  std::vector<ExprId> map(src.exprs().size());
  for (ExprId e = 0; e < src.exprs().size(); ++e) {
    const Expr& x = src.expr(e);
    switch (x.kind) {
      case ExprKind::Named: map[e] = dst.named(x.a); break;
      case ExprKind::Top: map[e] = dst.top(); break;
      case ExprKind::Bottom: map[e] = dst.bottom(); break;
      case ExprKind::Some: map[e] = dst.some(x.a, map[x.b]); break;
      case ExprKind::And: {
        std::vector<ExprId> ops;
        for (ExprId op : src.operands(x)) ops.push_back(map[op]);
        map[e] = dst.and_of(ops);
        break;
      }
    }
  }
  return map;
}

void copy_axiom(ElInput& dst, const ElInput& src, const InputAxiom& ax, const std::vector<ExprId>& map) {
  std::vector<ExprId> es;
  for (ExprId e : src.axiom_exprs(ax)) es.push_back(map[e]);
  auto rs = src.axiom_roles(ax);
  switch (ax.kind) {
    case InputAxiomKind::SubClassOf: dst.sub_class_of(es[0], es[1]); break;
    case InputAxiomKind::EquivalentClasses: dst.equivalent_classes(es); break;
    case InputAxiomKind::DisjointClasses: dst.disjoint_classes(es); break;
    case InputAxiomKind::SubObjectPropertyOf: dst.sub_property_of(rs[0], rs[1]); break;
    case InputAxiomKind::SubPropertyChain: dst.property_chain(rs.first(rs.size() - 1), rs.back()); break;
    case InputAxiomKind::TransitiveProperty: dst.transitive(rs[0]); break;
    case InputAxiomKind::ReflexiveProperty: dst.reflexive(rs[0]); break;
    case InputAxiomKind::PropertyDomain: dst.domain(rs[0], es[0]); break;
    case InputAxiomKind::PropertyRange: dst.range(rs[0], es[0]); break;
    case InputAxiomKind::IndividualLink: dst.individual_link(es[0], rs[0], es[1]); break;
  }
}

bool role_level(InputAxiomKind k) {
  return k == InputAxiomKind::SubObjectPropertyOf || k == InputAxiomKind::SubPropertyChain ||
         k == InputAxiomKind::TransitiveProperty || k == InputAxiomKind::ReflexiveProperty ||
         k == InputAxiomKind::PropertyRange;
}

// Class axioms added in two steps, the second saturated by the additions
// driver on the graph of the first, give the same graph as one fresh run.
TEST(ElIncremental, AdditionsGiveTheSameGraphAsAFreshRun) {
  for (uint32_t seed = 1; seed <= 600; ++seed) {
    Generator gen(seed);
    ElInput src = gen.make();
    ElInput inc;
    auto map = copy_arena(inc, src);
    std::vector<const InputAxiom*> later;
    for (const InputAxiom& ax : src.axioms()) {
      if (role_level(ax.kind) || later.size() * 2 > src.axioms().size() - later.size()) {
        copy_axiom(inc, src, ax, map);
      } else {
        later.push_back(&ax);
      }
    }
    NormalFormBuilder builder;
    ASSERT_EQ(builder.add(inc).value(), NormalFormBuilder::Added::Extended);
    auto index = std::make_unique<RuleIndex>(builder.normal_form());
    CompletionGraph graph(builder.normal_form().concept_count);
    auto roots = roots_of(builder.normal_form());
    saturate(builder.normal_form(), *index, graph, roots, nullptr);
    for (const InputAxiom* ax : later) copy_axiom(inc, src, *ax, map);
    ASSERT_EQ(builder.add(inc).value(), NormalFormBuilder::Added::Extended) << "class axioms extend in place";
    index = std::make_unique<RuleIndex>(builder.normal_form());
    saturate_additions(builder.normal_form(), builder.last_mark(), *index, graph, nullptr);

    auto fresh = classify(inc);
    ASSERT_TRUE(fresh);
    for (uint32_t i = 0; i < inc.class_count(); ++i) {
      uint32_t c = NormalForm::class_concept(i);
      ASSERT_EQ(graph.unsatisfiable(c), fresh->graph.unsatisfiable(c)) << "seed " << seed << "\n" << show(inc);
      if (graph.unsatisfiable(c)) continue;
      for (uint32_t j = 0; j < inc.class_count(); ++j) {
        uint32_t d = NormalForm::class_concept(j);
        ASSERT_EQ(graph.subsumes(c, d), fresh->graph.subsumes(c, d))
            << "seed " << seed << " classes " << i << " " << j << "\n" << show(inc);
      }
    }
  }
}

TEST(ElIncremental, RoleAxiomsAskForAFreshBuild) {
  TextOntology onto("(sub A (some r B))");
  NormalFormBuilder builder;
  ASSERT_EQ(builder.add(onto.input).value(), NormalFormBuilder::Added::Extended);
  onto.input.transitive(0);
  EXPECT_EQ(builder.add(onto.input).value(), NormalFormBuilder::Added::NeedsFreshBuild);
  EXPECT_EQ(builder.normal_form().chains.size(), 0u);
}

}  // namespace
}  // namespace trelvanic_el::testing
