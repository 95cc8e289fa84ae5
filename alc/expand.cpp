#include "alc/expand.h"

#include <algorithm>

#include <absl/hash/hash.h>

namespace trelvanic_alc {

// ---- dependency sets

DepSets::DepSets() { sets_.emplace_back(); index_[{}] = 0; }

uint32_t DepSets::intern(std::vector<uint32_t> v) {
  auto [it, fresh] = index_.try_emplace(v, static_cast<uint32_t>(sets_.size()));
  if (fresh) sets_.push_back(std::move(v));
  return it->second;
}

uint32_t DepSets::join(uint32_t a, uint32_t b) {
  if (a == b || b == 0) return a;
  if (a == 0) return b;
  if (a > b) std::swap(a, b);
  const uint64_t key = (uint64_t{a} << 32) | b;
  Recent& slot = recent_[(key * 0x9E3779B97F4A7C15ull) >> 52];
  if (slot.key == key) return slot.value;
  if (auto it = joins_.find(key); it != joins_.end()) {
    slot = Recent{key, it->second};
    return it->second;
  }
  std::vector<uint32_t> out;
  std::set_union(sets_[a].begin(), sets_[a].end(), sets_[b].begin(), sets_[b].end(), std::back_inserter(out));
  const uint32_t id = intern(std::move(out));
  joins_[key] = id;
  slot = Recent{key, id};
  return id;
}

uint32_t DepSets::with(uint32_t a, uint32_t level) {
  if (contains(a, level)) return a;
  std::vector<uint32_t> v = sets_[a];
  v.insert(std::lower_bound(v.begin(), v.end(), level), level);
  return intern(std::move(v));
}

uint32_t DepSets::without(uint32_t a, uint32_t level) {
  if (!contains(a, level)) return a;
  std::vector<uint32_t> v = sets_[a];
  v.erase(std::lower_bound(v.begin(), v.end(), level));
  return intern(std::move(v));
}

uint32_t DepSets::all_below(uint32_t levels) {
  std::vector<uint32_t> v(levels);
  for (uint32_t i = 0; i < levels; ++i) v[i] = i;
  return intern(std::move(v));
}

bool DepSets::contains(uint32_t a, uint32_t level) const {
  return std::binary_search(sets_[a].begin(), sets_[a].end(), level);
}

const LabelEntry* World::find(uint32_t ce) const {
  auto it = std::lower_bound(label.begin(), label.end(), ce,
                             [](const LabelEntry& e, uint32_t c) { return e.ce < c; });
  return it != label.end() && it->ce == ce ? &*it : nullptr;
}

// ---- rules

const Expander::Rule Expander::kRules[kNodeKindCount] = {
    &Expander::rule_none,         // Top
    &Expander::rule_bottom,       // Bottom
    &Expander::rule_atom,         // Atom
    &Expander::rule_complement,   // NegAtom
    &Expander::rule_and,          // And
    &Expander::rule_or,           // Or
    &Expander::rule_generating,   // Some
    &Expander::rule_all,          // All
    &Expander::rule_generating,   // AtLeast
    &Expander::rule_at_most,      // AtMost
    &Expander::rule_nominal,      // Nominal
    &Expander::rule_neg_nominal,  // NegNominal
    &Expander::rule_self,         // Self
    &Expander::rule_neg_self,     // NegSelf
    &Expander::rule_somewhere,    // Somewhere
    &Expander::rule_everywhere,   // Everywhere
    &Expander::rule_data,         // Data
};

Expander::Expander(const DlOntology& dl, DepSets& deps, Branch& branch, ExpandLimits limits)
    : dl_(dl), deps_(deps), b_(branch), limits_(limits), pairwise_(dl.uses_inverse() || dl.uses_at_most()) {}

uint32_t Expander::new_world(uint32_t parent, bool root) {
  const auto w = static_cast<uint32_t>(b_.worlds.size());
  World world;
  world.parent = parent;
  world.root = root;
  b_.worlds.push_back(std::move(world));
  touch(w);
  for (uint32_t c : dl_.thing_classes()) add(w, c, 0);
  for (size_t i = 0; i < b_.everywhere.size(); ++i) add(w, b_.everywhere[i].ce, b_.everywhere[i].dep);
  return w;
}

void Expander::add(uint32_t w, uint32_t ce, uint32_t dep) {
  const World& world = b_.worlds[w];
  if (!world.alive) return;
  auto it = std::lower_bound(world.label.begin(), world.label.end(), ce,
                             [](const LabelEntry& e, uint32_t c) { return e.ce < c; });
  if (it != world.label.end() && it->ce == ce) return;
  const auto at = it - world.label.begin();
  auto& label = b_.worlds.mut(w).label;
  label.insert(label.begin() + at, LabelEntry{ce, dep});
  if (b_.qualified_at_most != 0)
    for (const Edge& e : b_.worlds[w].edges) touch(e.to);
  b_.queue.push_back(Pending{w, ce, dep});
  ++b_.expansions;
  ++added_;
}

void Expander::clash(uint32_t dep) {
  if (b_.clash) return;
  b_.clash = true;
  b_.clash_dep = dep;
}

void Expander::give_up() { b_.gave_up = true; }

void Expander::rule_none(uint32_t, uint32_t, const Node&, uint32_t) {}

void Expander::rule_bottom(uint32_t, uint32_t, const Node&, uint32_t dep) { clash(dep); }

void Expander::rule_complement(uint32_t w, uint32_t, const Node& n, uint32_t dep) {
  if (const LabelEntry* e = b_.worlds[w].find(n.negation)) clash(deps_.join(dep, e->dep));
}

void Expander::rule_atom(uint32_t w, uint32_t c, const Node& n, uint32_t dep) {
  rule_complement(w, c, n, dep);
  for (uint32_t x : dl_.unfolding(c)) add(w, x, dep);
  for (uint32_t ri : dl_.conjunction_rules_of(c)) {
    const ConjunctionRule& rule = dl_.conjunction_rule(ri);
    uint32_t d = dep;
    bool all = true;
    for (uint32_t a : rule.atoms) {
      const LabelEntry* e = b_.worlds[w].find(a);
      if (e == nullptr) {
        all = false;
        break;
      }
      d = deps_.join(d, e->dep);
    }
    if (all) add(w, rule.consequent, d);
  }
}

void Expander::rule_and(uint32_t w, uint32_t, const Node& n, uint32_t dep) {
  for (uint32_t op : dl_.operands(n)) add(w, op, dep);
}

void Expander::rule_or(uint32_t w, uint32_t c, const Node&, uint32_t dep) {
  b_.disjunctions.push_back(Pending{w, c, dep});
}

void Expander::rule_generating(uint32_t w, uint32_t c, const Node&, uint32_t dep) {
  b_.generators.push_back(Pending{w, c, dep});
}

void Expander::rule_at_most(uint32_t w, uint32_t c, const Node& n, uint32_t dep) {
  b_.worlds.mut(w).at_most.push_back(static_cast<uint32_t>(b_.at_most.size()));
  b_.at_most.push_back(Pending{w, c, dep});
  if (n.filler != dl_.top()) ++b_.qualified_at_most;
  touch(w);
}

void Expander::all_over_edge(const Node& all, uint32_t dep, const Edge& e) {
  const uint32_t d = deps_.join(dep, e.dep);
  add(e.to, all.filler, d);
  // ∀⁺: ∀T.C travels along every transitive T below the role.
  for (Role t : dl_.transitive_subs(all.role))
    if (dl_.is_sub_role(e.role, t)) add(e.to, dl_.all_concept(t, all.filler), d);
}

void Expander::rule_all(uint32_t w, uint32_t, const Node& n, uint32_t dep) {
  const std::vector<Edge> edges = b_.worlds[w].edges;
  for (const Edge& e : edges)
    if (dl_.is_sub_role(e.role, n.role)) all_over_edge(n, dep, e);
}

// {a} at w: w is a's world; another world is merged into it.
void Expander::rule_nominal(uint32_t w, uint32_t, const Node& n, uint32_t dep) {
  const uint32_t i = dl_.representative(n.entity);
  if (i >= b_.individual_worlds.size() || b_.individual_worlds[i] == kNoWorld) return give_up();
  const uint32_t o = b_.individual_worlds[i];
  if (o == w) return;
  const uint32_t via = deps_.join(dep, i < b_.individual_deps.size() ? b_.individual_deps[i] : 0);
  uint32_t d = 0;
  if (different(w, o, &d)) return clash(deps_.join(via, d));
  merge(w, o, via);
}

void Expander::rule_neg_nominal(uint32_t w, uint32_t, const Node& n, uint32_t dep) {
  const uint32_t i = dl_.representative(n.entity);
  if (i < b_.individual_worlds.size() && b_.individual_worlds[i] == w)
    clash(deps_.join(dep, i < b_.individual_deps.size() ? b_.individual_deps[i] : 0));
}

void Expander::rule_self(uint32_t w, uint32_t, const Node& n, uint32_t dep) { add_edge(w, n.role, w, dep); }

void Expander::rule_neg_self(uint32_t w, uint32_t, const Node& n, uint32_t dep) {
  for (const Edge& e : b_.worlds[w].edges)
    if (e.to == w && dl_.is_sub_role(e.role, n.role)) return clash(deps_.join(dep, e.dep));
}

// ∃U.C: a world with C anywhere, else a new root world for it (at most one
// per such concept and branch, so no blocking is needed).
void Expander::rule_somewhere(uint32_t, uint32_t, const Node& n, uint32_t dep) {
  for (const World& w : b_.worlds)
    if (w.alive && w.find(n.filler) != nullptr) return;
  const uint32_t y = new_world(kNoWorld, true);
  add(y, n.filler, dep);
}

// ∀U.C: C on every world, now and later.
void Expander::rule_everywhere(uint32_t, uint32_t, const Node& n, uint32_t dep) {
  b_.everywhere.push_back(Pending{0, n.filler, dep});
  const auto count = static_cast<uint32_t>(b_.worlds.size());
  for (uint32_t w = 0; w < count; ++w) add(w, n.filler, dep);
}

// ---- edges

void Expander::add_edge(uint32_t x, Role r, uint32_t y, uint32_t dep) {
  if (!b_.worlds[x].alive || !b_.worlds[y].alive) return;
  for (const Edge& e : b_.worlds[x].edges)
    if (e.to == y && e.role == r) return;
  b_.worlds.mut(x).edges.push_back(Edge{y, r, dep});
  b_.worlds.mut(y).edges.push_back(Edge{x, inverse(r), dep});
  touch(x);
  touch(y);
  edge_rules(x, r, y, dep);
  edge_rules(y, inverse(r), x, dep);
}

// What a new edge x –r→ y asks of x: its ∀ entries reach y, the concepts of
// edges with a role above r (domains, absorbed ∃R.⊤) go on x, and the role
// tests (self, disjoint, asymmetric) look at it.
void Expander::edge_rules(uint32_t x, Role r, uint32_t y, uint32_t dep) {
  std::vector<std::pair<uint32_t, uint32_t>> alls, neg_selves;
  for (const LabelEntry& le : b_.worlds[x].label) {
    const Node& n = dl_.node(le.ce);
    if (n.kind == NodeKind::All && dl_.is_sub_role(r, n.role)) alls.emplace_back(le.ce, le.dep);
    if (n.kind == NodeKind::NegSelf && x == y && dl_.is_sub_role(r, n.role)) neg_selves.emplace_back(le.ce, le.dep);
  }
  const Edge e{y, r, dep};
  for (auto [c, d] : alls) all_over_edge(dl_.node(c), d, e);
  for (auto [c, d] : neg_selves) clash(deps_.join(d, dep));
  for (uint32_t c : dl_.edge_source_concepts(r)) add(x, c, dep);
  for (auto [p, q] : dl_.disjoint_roles()) {
    const bool below_p = dl_.is_sub_role(r, p), below_q = dl_.is_sub_role(r, q);
    if (!below_p && !below_q) continue;
    if (below_p && below_q) return clash(dep);
    const Role other = below_p ? q : p;
    for (const Edge& f : b_.worlds[x].edges)
      if (f.to == y && dl_.is_sub_role(f.role, other)) return clash(deps_.join(dep, f.dep));
  }
  for (Role s : dl_.supers(r)) {
    if (!dl_.asymmetric(s)) continue;
    for (const Edge& f : b_.worlds[x].edges)
      if (f.to == y && dl_.is_sub_role(f.role, inverse(s))) return clash(deps_.join(dep, f.dep));
  }
}

bool Expander::different(uint32_t a, uint32_t b, uint32_t* dep) const {
  for (auto [w, d] : b_.worlds[a].different)
    if (w == b) {
      if (dep != nullptr) *dep = d;
      return true;
    }
  return false;
}

void Expander::mark_different(uint32_t a, uint32_t b, uint32_t dep) {
  if (a == b) return clash(dep);
  if (different(a, b)) return;
  b_.worlds.mut(a).different.emplace_back(b, dep);
  b_.worlds.mut(b).different.emplace_back(a, dep);
}

std::vector<std::pair<uint32_t, uint32_t>> Expander::neighbours(uint32_t w, Role r) const {
  std::vector<std::pair<uint32_t, uint32_t>> out;
  for (const Edge& e : b_.worlds[w].edges) {
    if (!dl_.is_sub_role(e.role, r)) continue;
    if (std::none_of(out.begin(), out.end(), [&](auto& p) { return p.first == e.to; })) out.emplace_back(e.to, e.dep);
  }
  return out;
}

// ---- merging

void Expander::prune(uint32_t w) {
  std::vector<uint32_t> todo{w};
  while (!todo.empty()) {
    const uint32_t d = todo.back();
    todo.pop_back();
    if (!b_.worlds[d].alive) continue;
    World& dead = b_.worlds.mut(d);
    dead.alive = false;
    for (const Edge& e : dead.edges) {
      if (e.to == d) continue;
      const World& other = b_.worlds[e.to];
      if (other.parent == d && !other.root) {
        todo.push_back(e.to);
      } else {
        std::erase_if(b_.worlds.mut(e.to).edges, [&](const Edge& f) { return f.to == d; });
      }
    }
    dead.edges.clear();
  }
}

void Expander::merge(uint32_t from, uint32_t into, uint32_t dep) {
  World f = b_.worlds[from];
  World& gone = b_.worlds.mut(from);
  gone.alive = false;
  gone.edges.clear();
  b_.individual_deps.resize(b_.individual_worlds.size(), 0);
  for (size_t i = 0; i < b_.individual_worlds.size(); ++i)
    if (b_.individual_worlds[i] == from) {
      b_.individual_worlds[i] = into;
      b_.individual_deps[i] = deps_.join(b_.individual_deps[i], dep);
    }
  std::vector<Edge> moved;
  for (const Edge& e : f.edges) {
    if (e.to == from) {
      moved.push_back(Edge{into, e.role, e.dep});
      continue;
    }
    const World& other = b_.worlds[e.to];
    if (other.parent == from && !other.root) {
      prune(e.to);
      continue;
    }
    std::erase_if(b_.worlds.mut(e.to).edges, [&](const Edge& g) { return g.to == from; });
    moved.push_back(e);
  }
  for (auto [u, d] : f.different) {
    std::erase_if(b_.worlds.mut(u).different, [&](auto& p) { return p.first == from; });
    mark_different(into, u, deps_.join(dep, d));
  }
  for (const LabelEntry& le : f.label) add(into, le.ce, deps_.join(dep, le.dep));
  for (const Edge& e : moved)
    if (b_.worlds[e.to].alive) add_edge(into, e.role, e.to, deps_.join(dep, e.dep));
}

void Expander::merge_neighbours(uint32_t x, uint32_t a, uint32_t b, uint32_t dep) {
  const World& wa = b_.worlds[a];
  const World& wb = b_.worlds[b];
  uint32_t from = a, into = b;
  if (wa.root != wb.root) {
    if (wa.root) std::swap(from, into);  // a tree world goes into the root
  } else if (!wa.root && b_.worlds[x].parent == a) {
    std::swap(from, into);  // a successor goes into the predecessor
  } else if (!wa.root && b_.worlds[x].parent == b) {
  } else if (from < into) {
    std::swap(from, into);  // the younger goes into the older
  }
  merge(from, into, dep);
}

// ---- sweeps

void Expander::touch(uint32_t w) {
  if (w >= b_.at_most_dirty.size()) b_.at_most_dirty.resize(size_t{w} + 1, 0);
  if (b_.at_most_dirty[w] != 0) return;
  b_.at_most_dirty[w] = 1;
  b_.at_most_todo.push_back(w);
}

bool Expander::sweep_at_most(Choice& out, Step& step) {
  // Only the entries of worlds touched since the last sweep that found
  // nothing; those of other worlds found nothing then and would again.
  for (size_t i = 0; i < b_.at_most_todo.size(); ++i) {
    const uint32_t w = b_.at_most_todo[i];
    if (!b_.worlds[w].alive) continue;
    for (uint32_t k : b_.worlds[w].at_most)
      if (at_most_entry(b_.at_most[k], out, step)) return true;
  }
  for (uint32_t w : b_.at_most_todo) b_.at_most_dirty[w] = 0;
  b_.at_most_todo.clear();
  return false;
}

// One ≤ entry: the choose rule on undecided neighbours, a clash when the
// neighbours with the filler are too many and pairwise different, or the
// choice of a pair to merge. True when it changed or stopped the branch.
bool Expander::at_most_entry(const Pending& p, Choice& out, Step& step) {
  const Node& n = dl_.node(p.ce);
  // Each edge leads to one neighbour at most: count edges first, without
  // building the list.
  const auto& edges = b_.worlds[p.world].edges;
  if (edges.size() <= n.n ||
      static_cast<size_t>(std::count_if(edges.begin(), edges.end(),
                                        [&](const Edge& e) { return dl_.is_sub_role(e.role, n.role); })) <= n.n)
    return false;
  const auto nb = neighbours(p.world, n.role);
  if (nb.size() <= n.n) return false;
  // choose: every R-neighbour decides the filler first; the ≤ entry is
  // looked at again once the disjunctions are settled.
  bool undecided = false, chose = false;
  if (n.filler != dl_.top()) {
    for (auto [y, ed] : nb) {
      const World& wy = b_.worlds[y];
      if (wy.find(n.filler) != nullptr || wy.find(dl_.node(n.filler).negation) != nullptr) continue;
      undecided = true;
      if (wy.find(n.choose) == nullptr) {
        add(y, n.choose, deps_.join(p.dep, ed));
        chose = true;
      }
    }
  }
  if (chose) return true;
  if (undecided) return false;
  std::vector<uint32_t> with;
  uint32_t d = p.dep;
  for (auto [y, ed] : nb) {
    uint32_t fd = 0;
    if (n.filler != dl_.top()) {
      const LabelEntry* e = b_.worlds[y].find(n.filler);
      if (e == nullptr) continue;
      fd = e->dep;
    }
    with.push_back(y);
    d = deps_.join(d, deps_.join(ed, fd));
  }
  if (with.size() <= n.n) return false;
  std::vector<std::pair<uint32_t, uint32_t>> pairs;
  uint32_t diff_dep = d;
  for (size_t a = 0; a < with.size(); ++a)
    for (size_t c = a + 1; c < with.size(); ++c) {
      uint32_t dd = 0;
      if (different(with[a], with[c], &dd))
        diff_dep = deps_.join(diff_dep, dd);
      else
        pairs.emplace_back(with[a], with[c]);
    }
  if (pairs.empty()) {
    clash(diff_dep);
    step = Step::Clash;
    return true;
  }
  out = Choice{Choice::Kind::Merge, p.world, {}, std::move(pairs), d};
  step = Step::Choice;
  return true;
}

// The order in which a disjunction's alternatives are tried: those that only
// constrain the world itself before those that make or merge worlds, so
// that the first alternative tried is the one least likely to need others
// undone. Any order gives the same verdicts.
uint8_t Expander::alternative_cost(uint32_t c) const {
  switch (dl_.node(c).kind) {
    case NodeKind::Top:
    case NodeKind::NegAtom:
    case NodeKind::NegNominal:
    case NodeKind::NegSelf:
      return 0;
    case NodeKind::Bottom:
    case NodeKind::Atom:
    case NodeKind::And:
    case NodeKind::Or:
    case NodeKind::All:
    case NodeKind::Everywhere:
    case NodeKind::Data:
      return 1;
    case NodeKind::Some:
    case NodeKind::AtLeast:
    case NodeKind::AtMost:
    case NodeKind::Self:
    case NodeKind::Somewhere:
      return 2;
    case NodeKind::Nominal:
      return 3;
  }
  return 1;
}

bool Expander::sweep_disjunctions(Choice& out, Step& step) {
  size_t keep = 0;
  bool stop = false;
  for (size_t i = 0; i < b_.disjunctions.size(); ++i) {
    const Pending p = b_.disjunctions[i];
    if (stop) {
      b_.disjunctions[keep++] = p;
      continue;
    }
    const World& w = b_.worlds[p.world];
    if (!w.alive) continue;
    const Node& n = dl_.node(p.ce);
    const auto ops = dl_.operands(n);
    if (std::any_of(ops.begin(), ops.end(), [&](uint32_t op) { return w.find(op) != nullptr; })) continue;
    std::vector<uint32_t> viable;
    uint32_t d = p.dep;
    for (uint32_t op : ops) {
      if (const LabelEntry* e = w.find(dl_.node(op).negation))
        d = deps_.join(d, e->dep);
      else
        viable.push_back(op);
    }
    if (viable.empty()) {
      clash(d);
      step = Step::Clash;
      return true;
    }
    if (viable.size() == 1) {
      add(p.world, viable[0], d);
      stop = true;
      continue;
    }
    b_.disjunctions[keep++] = p;
    std::stable_sort(viable.begin(), viable.end(),
                     [&](uint32_t a, uint32_t c) { return alternative_cost(a) < alternative_cost(c); });
    out = Choice{Choice::Kind::Or, p.world, std::move(viable), {}, d};
    step = Step::Choice;
    for (size_t j = i + 1; j < b_.disjunctions.size(); ++j) b_.disjunctions[keep++] = b_.disjunctions[j];
    b_.disjunctions.resize(keep);
    return true;
  }
  b_.disjunctions.resize(keep);
  return stop;
}

bool Expander::satisfied(const Pending& p) const {
  const Node& n = dl_.node(p.ce);
  const World& w = b_.worlds[p.world];
  std::vector<uint32_t> with;
  for (const Edge& e : w.edges) {
    if (!dl_.is_sub_role(e.role, n.role)) continue;
    if (n.filler != dl_.top() && b_.worlds[e.to].find(n.filler) == nullptr) continue;
    if (n.kind == NodeKind::Some) return true;
    if (std::find(with.begin(), with.end(), e.to) == with.end()) with.push_back(e.to);
  }
  if (with.size() < n.n) return false;
  for (uint32_t seed : with) {
    std::vector<uint32_t> set{seed};
    for (uint32_t y : with)
      if (std::all_of(set.begin(), set.end(), [&](uint32_t s) { return different(s, y); })) set.push_back(y);
    if (set.size() >= n.n) return true;
  }
  return false;
}

namespace {

uint64_t mix(uint64_t h, uint64_t v) {
  h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
  return h * 0xBF58476D1CE4E5B9ull;
}

}  // namespace

std::vector<uint8_t> Expander::blocking() const {
  const auto count = static_cast<uint32_t>(b_.worlds.size());
  std::vector<uint8_t> status(count, 0);
  // A world's signature: its label, the roles of the edges from its parent
  // (and of its self loops) and, with inverses or at-most restrictions, its
  // parent's label. Hashes find the candidates without copying a label;
  // equality of the sets decides.
  std::vector<uint64_t> label_hash(count, 0);
  for (uint32_t w = 0; w < count; ++w) {
    if (!b_.worlds[w].alive) continue;
    uint64_t h = b_.worlds[w].label.size();
    for (const LabelEntry& e : b_.worlds[w].label) h = mix(h, e.ce);
    label_hash[w] = h;
  }
  auto roles_of = [&](uint32_t w, std::vector<Role>& v) {
    v.clear();
    const World& world = b_.worlds[w];
    for (const Edge& e : world.edges)
      if (e.to == world.parent) v.push_back(inverse(e.role));
      else if (e.to == w) v.push_back(e.role | 0x80000000u);
    std::sort(v.begin(), v.end());
  };
  auto same_label = [&](uint32_t x, uint32_t y) {
    const auto& lx = b_.worlds[x].label;
    const auto& ly = b_.worlds[y].label;
    return lx.size() == ly.size() &&
           std::equal(lx.begin(), lx.end(), ly.begin(), [](const LabelEntry& p, const LabelEntry& q) { return p.ce == q.ce; });
  };
  std::vector<Role> roles, other_roles;
  absl::flat_hash_map<uint64_t, uint32_t> first;  // signature hash → latest unblocked world with it
  std::vector<uint32_t> next(count, kNoWorld);     // the one before it with the same hash
  for (uint32_t w = 0; w < count; ++w) {
    const World& world = b_.worlds[w];
    if (!world.alive || world.root || world.parent == kNoWorld) continue;
    if (status[world.parent] != 0) {
      status[w] = 2;
      continue;
    }
    roles_of(w, roles);
    uint64_t h = mix(label_hash[w], pairwise_ ? label_hash[world.parent] : 0);
    for (Role r : roles) h = mix(h, r);
    auto [it, fresh] = first.try_emplace(h, w);
    if (fresh) continue;
    for (uint32_t y = it->second; y != kNoWorld; y = next[y]) {
      if (!same_label(w, y) || (pairwise_ && !same_label(world.parent, b_.worlds[y].parent))) continue;
      roles_of(y, other_roles);
      if (roles == other_roles) {
        status[w] = 1;
        break;
      }
    }
    if (status[w] == 0) {
      next[w] = it->second;
      it->second = w;
    }
  }
  return status;
}

bool Expander::sweep_generators() {
  bool progress = false;
  std::vector<uint8_t> blocked;
  size_t keep = 0;
  const size_t count = b_.generators.size();
  for (size_t i = 0; i < count; ++i) {
    const Pending p = b_.generators[i];
    if (!b_.worlds[p.world].alive || satisfied(p)) continue;
    if (blocked.empty()) blocked = blocking();
    if (p.world < blocked.size() && blocked[p.world] != 0) {
      b_.generators[keep++] = p;  // deferred, never dropped
      continue;
    }
    const Node& n = dl_.node(p.ce);
    const uint32_t copies = n.kind == NodeKind::Some ? 1 : n.n;
    std::vector<uint32_t> made;
    for (uint32_t k = 0; k < copies; ++k) {
      const uint32_t y = new_world(p.world, false);
      add_edge(p.world, n.role, y, p.dep);
      add(y, n.filler, p.dep);
      made.push_back(y);
    }
    for (size_t a = 0; a < made.size(); ++a)
      for (size_t c = a + 1; c < made.size(); ++c) mark_different(made[a], made[c], p.dep);
    progress = true;
  }
  // Entries appended while generating stay after the kept ones.
  for (size_t i = count; i < b_.generators.size(); ++i) b_.generators[keep++] = b_.generators[i];
  b_.generators.resize(keep);
  return progress;
}

// ---- keys

bool Expander::key_pair(const Key& key, uint32_t x, uint32_t y, uint32_t* dep) const {
  const LabelEntry* cx = b_.worlds[x].find(key.ce);
  const LabelEntry* cy = b_.worlds[y].find(key.ce);
  if ((cx == nullptr && key.ce != dl_.top()) || (cy == nullptr && key.ce != dl_.top())) return false;
  uint32_t d = deps_.join(cx ? cx->dep : 0, cy ? cy->dep : 0);
  auto named = [&](uint32_t w) {
    return std::find(b_.individual_worlds.begin(), b_.individual_worlds.end(), w) != b_.individual_worlds.end();
  };
  for (Role r : key.roles) {
    bool shared = false;
    for (const Edge& e : b_.worlds[x].edges) {
      if (!dl_.is_sub_role(e.role, r) || !named(e.to)) continue;
      for (const Edge& f : b_.worlds[y].edges)
        if (f.to == e.to && dl_.is_sub_role(f.role, r)) {
          d = deps_.join(d, deps_.join(e.dep, f.dep));
          shared = true;
          break;
        }
      if (shared) break;
    }
    if (!shared) return false;
  }
  *dep = d;
  return true;
}

// Named individuals first decide each key's class, then any two that agree
// on every key role are merged (or clash when they are different).
bool Expander::sweep_keys(Step& step) {
  if (dl_.keys().empty()) return false;
  std::vector<uint32_t> named;
  for (uint32_t w : b_.individual_worlds)
    if (w != kNoWorld && b_.worlds[w].alive && std::find(named.begin(), named.end(), w) == named.end())
      named.push_back(w);
  bool chose = false;
  for (const Key& key : dl_.keys())
    for (uint32_t w : named)
      if (key.ce != dl_.top() && b_.worlds[w].find(key.ce) == nullptr &&
          b_.worlds[w].find(dl_.node(key.ce).negation) == nullptr && b_.worlds[w].find(key.choose) == nullptr) {
        add(w, key.choose, 0);
        chose = true;
      }
  if (chose) return true;
  for (const Key& key : dl_.keys())
    for (size_t i = 0; i < named.size(); ++i)
      for (size_t j = i + 1; j < named.size(); ++j) {
        uint32_t d = 0;
        if (!key_pair(key, named[i], named[j], &d)) continue;
        uint32_t dd = 0;
        if (different(named[i], named[j], &dd)) {
          clash(deps_.join(d, dd));
          step = Step::Clash;
          return true;
        }
        merge(std::max(named[i], named[j]), std::min(named[i], named[j]), d);
        return true;
      }
  return false;
}

// ---- the check of an open branch

bool Expander::verify_open_branch() const {
  const auto status = blocking();
  // Membership in the world being checked is read from a mark per concept,
  // in other worlds by search.
  std::vector<uint32_t> mark(dl_.concept_count(), kNoWorld);
  uint32_t current = kNoWorld;
  auto has = [&](uint32_t w, uint32_t c) {
    if (c == dl_.top()) return true;
    if (w == current && c < mark.size()) return mark[c] == w;
    return b_.worlds[w].find(c) != nullptr;
  };
  for (uint32_t w = 0; w < b_.worlds.size(); ++w) {
    const World& world = b_.worlds[w];
    if (!world.alive || status[w] == 2) continue;
    for (const LabelEntry& le : world.label)
      if (le.ce < mark.size()) mark[le.ce] = w;
    current = w;
    for (uint32_t c : dl_.thing_classes())
      if (!has(w, c)) return false;
    for (const Edge& e : world.edges) {
      if (!b_.worlds[e.to].alive) return false;
      for (uint32_t c : dl_.edge_source_concepts(e.role))
        if (!has(w, c)) return false;
      for (auto [p, q] : dl_.disjoint_roles())
        for (const Edge& f : world.edges)
          if (f.to == e.to && dl_.is_sub_role(e.role, p) && dl_.is_sub_role(f.role, q)) return false;
      for (Role s : dl_.supers(e.role))
        if (dl_.asymmetric(s))
          for (const Edge& f : world.edges)
            if (f.to == e.to && dl_.is_sub_role(f.role, inverse(s))) return false;
    }
    for (const LabelEntry& le : world.label) {
      const Node& n = dl_.node(le.ce);
      switch (n.kind) {
        case NodeKind::Top: break;
        case NodeKind::Bottom: return false;
        case NodeKind::Atom:
          for (uint32_t x : dl_.unfolding(le.ce))
            if (!has(w, x)) return false;
          for (uint32_t ri : dl_.conjunction_rules_of(le.ce)) {
            const ConjunctionRule& rule = dl_.conjunction_rule(ri);
            if (std::all_of(rule.atoms.begin(), rule.atoms.end(), [&](uint32_t a) { return has(w, a); }) &&
                !has(w, rule.consequent))
              return false;
          }
          [[fallthrough]];
        case NodeKind::NegAtom:
          if (has(w, n.negation)) return false;
          break;
        case NodeKind::And:
          for (uint32_t op : dl_.operands(n))
            if (!has(w, op)) return false;
          break;
        case NodeKind::Or: {
          const auto ops = dl_.operands(n);
          if (std::none_of(ops.begin(), ops.end(), [&](uint32_t op) { return has(w, op); })) return false;
          break;
        }
        case NodeKind::Some:
        case NodeKind::AtLeast:
          if (status[w] == 0 && !satisfied(Pending{w, le.ce, 0})) return false;
          break;
        case NodeKind::All:
          for (const Edge& e : world.edges) {
            if (!dl_.is_sub_role(e.role, n.role)) continue;
            if (!has(e.to, n.filler)) return false;
            for (Role t : dl_.transitive_subs(n.role))
              if (dl_.is_sub_role(e.role, t) && !has(e.to, dl_.all_concept(t, n.filler))) return false;
          }
          break;
        case NodeKind::AtMost: {
          // A neighbour without the filler counts unless it holds the
          // filler's negation (without either, the model may make it true).
          size_t count = 0;
          for (auto [y, d] : neighbours(w, n.role))
            if (has(y, n.filler) || !has(y, dl_.node(n.filler).negation)) ++count;
          if (count > n.n) return false;
          break;
        }
        case NodeKind::Nominal: {
          const uint32_t i = dl_.representative(n.entity);
          if (i >= b_.individual_worlds.size() || b_.individual_worlds[i] != w) return false;
          break;
        }
        case NodeKind::NegNominal: {
          const uint32_t i = dl_.representative(n.entity);
          if (i < b_.individual_worlds.size() && b_.individual_worlds[i] == w) return false;
          break;
        }
        case NodeKind::Somewhere:
          if (std::none_of(b_.worlds.begin(), b_.worlds.end(),
                           [&](const World& y) { return y.alive && y.find(n.filler) != nullptr; }))
            return false;
          break;
        case NodeKind::Everywhere:
          for (uint32_t y = 0; y < b_.worlds.size(); ++y)
            if (b_.worlds[y].alive && status[y] != 2 && !has(y, n.filler)) return false;
          break;
        case NodeKind::Self:
        case NodeKind::NegSelf: {
          const bool loop = std::any_of(world.edges.begin(), world.edges.end(), [&](const Edge& e) {
            return e.to == w && dl_.is_sub_role(e.role, n.role);
          });
          if (loop != (n.kind == NodeKind::Self)) return false;
          break;
        }
        case NodeKind::Data:
          // The values themselves were decided by the data oracle.
          if (dl_.data_constraint(n).needs_value())
            for (uint32_t c : dl_.data_tables().domains_of(dl_.data_constraint(n).property))
              if (!has(w, c)) return false;
          break;
      }
    }
    for (auto [u, d] : world.different)
      if (u == w) return false;
  }
  for (const Key& key : dl_.keys())
    for (uint32_t x : b_.individual_worlds)
      for (uint32_t y : b_.individual_worlds) {
        uint32_t d = 0;
        if (x != y && x != kNoWorld && y != kNoWorld && b_.worlds[x].alive && b_.worlds[y].alive &&
            key_pair(key, x, y, &d))
          return false;
        if (x != kNoWorld && b_.worlds[x].alive && key.ce != dl_.top() && !has(x, key.ce) &&
            !has(x, dl_.node(key.ce).negation))
          return false;
      }
  return true;
}

// ---- the fixpoint

Step Expander::expand(Choice& out) {
  for (;;) {
    while (b_.queue_head < b_.queue.size()) {
      if (b_.clash) return Step::Clash;
      if (b_.gave_up) return Step::Clash;
      if (b_.expansions > limits_.expansions) return Step::Budget;
      const Pending p = b_.queue[b_.queue_head++];
      if (!b_.worlds[p.world].alive) continue;
      const Node& n = dl_.node(p.ce);
      (this->*kRules[static_cast<int>(n.kind)])(p.world, p.ce, n, p.dep);
    }
    b_.queue.clear();
    b_.queue_head = 0;
    if (b_.clash || b_.gave_up) return Step::Clash;
    Step step = Step::Open;
    if (sweep_at_most(out, step)) {
      if (step != Step::Open) return step;
      continue;
    }
    if (sweep_keys(step)) {
      if (step != Step::Open) return step;
      continue;
    }
    if (sweep_disjunctions(out, step)) {
      if (step != Step::Open) return step;
      continue;
    }
    if (sweep_generators()) {
      size_t live = 0;
      for (const World& w : b_.worlds) live += w.alive ? 1 : 0;
      if (live >= limits_.worlds) return Step::Budget;
      continue;
    }
    return sweep_data();
  }
}

}  // namespace trelvanic_alc
