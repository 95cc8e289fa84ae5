// The search over branches: choice points on an explicit stack, each with a
// copy of the branch before its first alternative (the copy shares every
// world the alternatives do not write); dependency-directed
// backjumping closes a choice point at once when a clash does not rest on
// it; semantic branching gives the k-th disjunct the negations of the
// failed ones, and the k-th merge the failed pairs marked different.
#include "alc/tableau.h"

#include <algorithm>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "alc/expand.h"
#include "core/cancel.h"
#include "core/dl_expr.h"

namespace trelvanic_alc {

using trelvanic_core::CeId;
using trelvanic_core::EntityId;

namespace {

// Deeper nesting of open choices is not searched: the run is incomplete.
// (Every world of a branch may hold its own open disjunctions, so this
// bounds the copies kept rather than the logic.)
constexpr uint32_t kMaxChoiceDepth = 1024;
constexpr uint64_t kSearchFactor = 16;

struct Frame {
  Branch snapshot;
  Choice choice;
  size_t next = 0;
  uint32_t failed = 0;               // union of the failed alternatives' sets, own level removed
  std::vector<uint32_t> alt_failed;  // the same per alternative
};

}  // namespace

// A named individual's world with an at-most restriction over the inverse
// of an edge that a tree world (not its child) holds into it: the branch
// would need the rules that make new nominals, which are not built.
bool Tableau::nominal_inverse_at_most(const Branch& b) const {
  for (uint32_t o = 0; o < b.worlds.size(); ++o) {
    const World& w = b.worlds[o];
    if (!w.alive || !w.root) continue;
    for (const Edge& e : w.edges) {
      const World& y = b.worlds[e.to];
      if (y.root || y.parent == o) continue;
      for (const LabelEntry& le : w.label) {
        const Node& n = dl_.node(le.ce);
        if (n.kind == NodeKind::AtMost && dl_.is_sub_role(e.role, n.role)) return true;
      }
    }
  }
  return false;
}

Result<bool> Tableau::run(Branch start, uint32_t test_world) {
  const ExpandLimits limits{expansion_limit(), world_limit()};
  std::vector<Frame> stack;
  Branch cur = std::move(start);
  bool gave_up = false;

  auto apply = [&](Frame& f) {
    cur = f.snapshot;
    const auto level = static_cast<uint32_t>(stack.size() - 1);
    Expander ex(dl_, deps_, cur, limits);
    const uint32_t d = deps_.with(f.choice.dep, level);
    ++stats_.branches;
    if (f.choice.kind == Choice::Kind::Or) {
      ex.add(f.choice.world, f.choice.alternatives[f.next], d);
      for (size_t j = 0; j < f.next; ++j)
        ex.add(f.choice.world, dl_.node(f.choice.alternatives[j]).negation,
               deps_.join(f.choice.dep, f.alt_failed[j]));
    } else {
      // The same for merges: a pair whose merge failed stays apart.
      for (size_t j = 0; j < f.next; ++j)
        ex.mark_different(f.choice.pairs[j].first, f.choice.pairs[j].second,
                          deps_.join(f.choice.dep, f.alt_failed[j]));
      const auto [a, b] = f.choice.pairs[f.next];
      ex.merge_neighbours(f.choice.world, a, b, d);
    }
    stats_.expansions += ex.added();
  };

  // The expansion limit bounds each branch; the whole search gets a
  // multiple of it, so that many short branches cannot run without end.
  // Every alternative tried counts as one step at least: merges that add
  // no label entry are bounded too.
  const uint64_t search_limit = uint64_t{limits.expansions} * kSearchFactor;
  const uint64_t search_start = stats_.expansions + stats_.branches;
  for (;;) {
    // A caller that stopped waiting (a timed-out bounded job) ends the run
    // as an exhausted budget: undecided, never a verdict.
    if (trelvanic_core::cancel_requested()) return std::unexpected(Error::budget_exhausted(limits.expansions));
    Choice choice;
    Expander ex(dl_, deps_, cur, limits);
    const Step step = ex.expand(choice);
    stats_.expansions += ex.added();
    if (step == Step::Budget || stats_.expansions + stats_.branches - search_start > search_limit) {
      stats_.limit = step == Step::Budget ? "branch expansions or worlds" : "search expansions";
      return std::unexpected(Error::budget_exhausted(limits.expansions));
    }
    if (step == Step::Open && (nominal_inverse_at_most(cur) || !ex.verify_open_branch())) {
      cur.gave_up = true;
      ++stats_.unfinished;
    } else if (step == Step::Open) {
      // The verdict guard: an open branch is a model only where the
      // calculus is complete for the input.
      if (!dl_.complete()) {
        stats_.limit = "an open branch of an input not decided in full";
        return std::unexpected(Error::budget_exhausted(limits.expansions));
      }
      root_names_.clear();
      if (test_world != kNoWorld && cur.worlds[test_world].alive) {
        for (const LabelEntry& e : cur.worlds[test_world].label)
          if (dl_.is_named(e.ce)) root_names_.push_back(EntityId(dl_.node(e.ce).entity));
        root_names_valid_ = true;
      } else {
        root_names_valid_ = false;
      }
      return true;
    }
    if (step == Step::Choice && !cur.gave_up) {
      if (stack.size() >= kMaxChoiceDepth) {
        stats_.limit = "choice depth";
        return std::unexpected(Error::budget_exhausted(limits.expansions));
      }
      stack.push_back(Frame{cur, std::move(choice)});
      apply(stack.back());
      continue;
    }
    // A clash (or a branch the calculus cannot finish, which must not be
    // jumped over).
    uint32_t dep = cur.clash_dep;
    if (cur.gave_up) {
      gave_up = true;
      ++stats_.unfinished;
      dep = deps_.all_below(static_cast<uint32_t>(stack.size()));
    }
    bool resumed = false;
    while (!stack.empty()) {
      const auto level = static_cast<uint32_t>(stack.size() - 1);
      Frame& f = stack.back();
      if (backjumping_ && !deps_.contains(dep, level)) {
        ++stats_.backjumps;
        stack.pop_back();
        continue;
      }
      const uint32_t rest = deps_.without(dep, level);
      f.failed = deps_.join(f.failed, rest);
      f.alt_failed.push_back(rest);
      if (++f.next < f.choice.size()) {
        apply(f);
        resumed = true;
        break;
      }
      dep = deps_.join(f.choice.dep, f.failed);
      stack.pop_back();
    }
    if (resumed) continue;
    if (gave_up) {
      stats_.limit = "a branch the calculus cannot finish";
      return std::unexpected(Error::budget_exhausted(limits.expansions));
    }
    return false;
  }
}

Branch Tableau::seed(bool with_abox) {
  Branch b;
  b.individual_worlds.assign(dl_.individual_count(), kNoWorld);
  if (!with_abox) return b;
  Expander ex(dl_, deps_, b, ExpandLimits{});
  for (uint32_t i = 0; i < dl_.individual_count(); ++i) {
    const uint32_t r = dl_.representative(i);
    if (b.individual_worlds[r] == kNoWorld) b.individual_worlds[r] = ex.new_world(kNoWorld, true);
    b.individual_worlds[i] = b.individual_worlds[r];
  }
  for (auto [a, c] : dl_.class_assertions()) ex.add(b.individual_worlds[a], c, 0);
  for (const auto& ra : dl_.role_assertions())
    ex.add_edge(b.individual_worlds[ra.subject], ra.role, b.individual_worlds[ra.object], 0);
  for (auto [a, c] : dl_.different()) ex.mark_different(b.individual_worlds[a], b.individual_worlds[c], 0);
  return b;
}

Result<bool> Tableau::is_consistent() {
  if (consistent_) return *consistent_;
  Branch b = seed(true);
  if (b.worlds.empty()) {
    Expander ex(dl_, deps_, b, ExpandLimits{});
    (void)ex.new_world(kNoWorld, true);
  }
  auto r = run(std::move(b), kNoWorld);
  if (r) consistent_ = *r;
  if (r && std::getenv("TRELVANIC_KB_TRACE") != nullptr) {
    std::fprintf(stderr, "kb_consistent: ok=%s clash=%s\n", *r ? "true" : "false", *r ? "false" : "true");
  }
  return r;
}

Result<bool> Tableau::is_satisfiable(uint32_t ce) {
  // Without nominals or the universal role the ABox cannot constrain a
  // fresh world: the test runs
  // on the TBox alone, and a model found stands once the ontology is
  // consistent (a disjoint union of the two models).
  const bool with_abox = dl_.uses_nominals() || dl_.uses_universal();
  if (!with_abox && consistent_ && !*consistent_) return false;
  Branch b = seed(with_abox);
  Expander ex(dl_, deps_, b, ExpandLimits{});
  const uint32_t w = ex.new_world(kNoWorld, true);
  ex.add(w, ce, 0);
  auto r = run(std::move(b), w);
  if (!r || !*r || with_abox) return r;
  const auto names = root_names_;
  const bool valid = root_names_valid_;
  auto c = is_consistent();
  root_names_ = names;
  root_names_valid_ = valid;
  if (!c) return std::unexpected(c.error());
  return *c;
}

Result<bool> Tableau::is_class_expression_satisfiable(CeId ce) {
  const uint32_t c = dl_.normalize(ce);
  dl_.close();
  auto r = is_satisfiable(c);
  if (r && !*r && std::getenv("TRELVANIC_CE_TRACE") != nullptr) {
    std::fprintf(stderr, "ce_sat: post expand clash=true ok=false\n");
  }
  return r;
}

Result<bool> Tableau::is_class_satisfiable(EntityId cls) {
  const uint32_t c = dl_.atom(cls);
  dl_.close();
  return is_satisfiable(c);
}

Result<bool> Tableau::is_subsumed(EntityId sub, EntityId sup) {
  const uint32_t c = dl_.conjunction_with_complement(sub, sup);
  dl_.close();
  auto r = is_satisfiable(c);
  if (!r) return r;
  return !*r;
}

// The named classes a class reaches through its unfolding alone (names
// and conjunctions of names): subsumers that need no test.
std::vector<EntityId> Tableau::told_subsumers(EntityId cls) {
  std::vector<uint32_t> todo{dl_.atom(cls)};
  dl_.close();
  std::vector<uint32_t> seen = todo;
  std::vector<EntityId> out;
  while (!todo.empty()) {
    const uint32_t c = todo.back();
    todo.pop_back();
    const Node& n = dl_.node(c);
    std::vector<uint32_t> next;
    if (n.kind == NodeKind::Atom) {
      if (dl_.is_named(c)) out.push_back(EntityId(n.entity));
      for (uint32_t x : dl_.unfolding(c)) next.push_back(x);
    } else if (n.kind == NodeKind::And) {
      for (uint32_t x : dl_.operands(n)) next.push_back(x);
    }
    for (uint32_t x : next)
      if (std::find(seen.begin(), seen.end(), x) == seen.end()) {
        seen.push_back(x);
        todo.push_back(x);
      }
  }
  std::sort(out.begin(), out.end());
  return out;
}

namespace {

bool perf_enabled() {
  const char* v = std::getenv("TRELVANIC_TABLEAU_PERF");
  if (v == nullptr) return false;
  std::string_view s(v);
  if (s == "1") return true;
  if (s.size() != 4) return false;
  for (size_t i = 0; i < 4; ++i)
    if ((s[i] | 0x20) != "true"[i]) return false;
  return true;
}

double seconds_since(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

}  // namespace

Result<Tableau::Classification> Tableau::classify() {
  // With TRELVANIC_TABLEAU_PERF on, a successful run writes its times:
  // the satisfiability tests, the subsumption tests and the whole run.
  const bool perf = perf_enabled();
  const auto start = std::chrono::steady_clock::now();
  double sat_s = 0, pairs_s = 0;
  auto result = classify_timed(perf ? &sat_s : nullptr, perf ? &pairs_s : nullptr);
  if (perf && result) {
    std::fprintf(stderr, "{\"class_sat_s\":%g,\"pairwise_entail_s\":%g,\"total_s\":%g}\n", sat_s, pairs_s,
                 seconds_since(start));
  }
  return result;
}

Result<Tableau::Classification> Tableau::classify_timed(double* sat_s, double* pairs_s) {
  Classification out;
  auto consistent = is_consistent();
  if (!consistent) return std::unexpected(consistent.error());
  if (!*consistent) {
    out.consistent = false;
    return out;
  }
  const auto& names = dl_.named_classes();
  // Classes with fewer told subsumers first: a told superclass is then
  // classified before its subclasses, whose tests can take its subsumers.
  std::vector<std::vector<EntityId>> told(names.size());
  std::vector<uint32_t> order(names.size());
  absl::flat_hash_map<uint32_t, uint32_t> index;  // class → position in `names`
  for (uint32_t i = 0; i < names.size(); ++i) {
    told[i] = told_subsumers(names[i]);
    order[i] = i;
    index[names[i].value] = i;
  }
  for (const auto& [sub, sup] : known_) {
    auto it = index.find(sub.value);
    if (it != index.end() && index.contains(sup.value)) told[it->second].push_back(sup);
  }
  if (!known_.empty()) {
    for (auto& t : told) {
      std::sort(t.begin(), t.end());
      t.erase(std::unique(t.begin(), t.end()), t.end());
    }
  }
  std::stable_sort(order.begin(), order.end(),
                   [&](uint32_t x, uint32_t y) { return told[x].size() < told[y].size(); });
  // The whole set of subsumers of each satisfiable class classified so far.
  std::vector<std::vector<EntityId>> subsumers(names.size());
  std::vector<uint8_t> done(names.size(), 0);
  auto finished = [&](EntityId c) -> const std::vector<EntityId>* {
    auto it = index.find(c.value);
    return it != index.end() && done[it->second] != 0 ? &subsumers[it->second] : nullptr;
  };
  for (uint32_t i : order) {
    const EntityId a = names[i];
    const auto t0 = std::chrono::steady_clock::now();
    auto sat = is_class_satisfiable(a);
    if (sat_s != nullptr) *sat_s += seconds_since(t0);
    if (!sat) return std::unexpected(sat.error());
    if (!*sat) {
      out.unsatisfiable.push_back(a);
      continue;
    }
    // A model of A whose root lacks B is a model of A ⊓ ¬B: only the names
    // in that root are possible subsumers.
    std::vector<EntityId> candidates = root_names_valid_ ? root_names_ : names;
    // Subsumers known without a test: the told ones, and with each of them
    // (and later each one a test proves) its own subsumers when it is
    // already classified.
    std::vector<EntityId> known;
    auto take = [&](EntityId b) {
      std::vector<EntityId> more{b};
      if (const auto* s = finished(b)) more.insert(more.end(), s->begin(), s->end());
      std::sort(more.begin(), more.end());
      std::vector<EntityId> merged;
      std::set_union(known.begin(), known.end(), more.begin(), more.end(), std::back_inserter(merged));
      known = std::move(merged);
    };
    for (EntityId b : told[i])
      if (b != a) take(b);
    // The most specific candidates first: a subsumption proven there brings
    // the most subsumers along.
    auto weight = [&](EntityId c) {
      const auto* s = finished(c);
      return s != nullptr ? s->size() : 0;
    };
    std::stable_sort(candidates.begin(), candidates.end(),
                     [&](EntityId x, EntityId y) { return weight(x) > weight(y); });
    std::vector<EntityId> ruled_out;
    for (size_t k = 0; k < candidates.size(); ++k) {
      const EntityId b = candidates[k];
      if (b == a || std::binary_search(known.begin(), known.end(), b) ||
          std::find(ruled_out.begin(), ruled_out.end(), b) != ruled_out.end())
        continue;
      const auto t1 = std::chrono::steady_clock::now();
      auto sub = is_subsumed(a, b);
      if (pairs_s != nullptr) *pairs_s += seconds_since(t1);
      if (!sub) return std::unexpected(sub.error());
      if (*sub) {
        take(b);
        continue;
      }
      // A is not below B, so not below any class below B either; and the
      // model of A ⊓ ¬B found is a model of A: names missing from its root
      // are no subsumers.
      ruled_out.push_back(b);
      std::vector<EntityId> model = root_names_valid_ ? root_names_ : names;
      std::sort(model.begin(), model.end());
      for (size_t m = k + 1; m < candidates.size(); ++m) {
        const EntityId c = candidates[m];
        const auto* s = finished(c);
        if (!std::binary_search(model.begin(), model.end(), c) ||
            (s != nullptr && std::binary_search(s->begin(), s->end(), b)))
          ruled_out.push_back(c);
      }
    }
    std::erase(known, a);
    for (EntityId b : known) out.subsumptions.emplace_back(a, b);
    subsumers[i] = std::move(known);
    done[i] = 1;
  }
  return out;
}

}  // namespace trelvanic_alc
