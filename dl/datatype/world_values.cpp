#include "dl/datatype/world_values.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <tuple>
#include <vector>

#include <absl/container/flat_hash_map.h>

#include "dl/datatype/count.h"
#include "dl/datatype/literal.h"
#include "dl/datatype/literal_index.h"
#include "dl/datatype/witness.h"

namespace trelvanic_dl::datatype {

using trelvanic_alc::DataAnswer;
using trelvanic_alc::DataConstraint;
using trelvanic_alc::DataTables;
using trelvanic_core::DeId;
using trelvanic_core::DeKind;
using trelvanic_core::EntityId;
using trelvanic_core::Ontology;

namespace {

// With a maximum to meet, the successors are shared out among values one
// by one; past this many the world is not decided.
constexpr uint64_t kMaxSharedSuccessors = 8;
// Ways of sharing looked at before giving up.
constexpr uint64_t kMaxSharings = 20000;
// Blocks that may lie inside or outside a qualified maximum's range, per
// way of sharing (each doubles the work).
constexpr size_t kMaxFillerChoices = 10;
// Items looked at for groups of values that cannot coincide (the search
// for them is cubic).
constexpr size_t kMaxCliqueItems = 64;
// Members of one flattened conjunction.
constexpr size_t kMaxConjuncts = 4096;
// Values picked as witnesses per question.
constexpr uint64_t kMaxPicks = 4096;

enum class Verdict : uint8_t { Yes, No, Unknown };

uint64_t add_capped(uint64_t a, uint64_t b) { return a > UINT64_MAX - b ? UINT64_MAX : a + b; }

// `k` pairwise distinct values wanted in `range`.
struct Item {
  uint32_t range = 0;
  uint64_t k = 1;
};
// Which items must take values different from each other's.
using Matrix = std::vector<std::vector<uint8_t>>;

class WorldValues {
 public:
  WorldValues(const Ontology& o, const StoreRanges& stored, const DataTables& t, std::span<const DataConstraint> world,
              const LiteralFacts* facts = nullptr)
      : ontology_(o), tables_(t), world_(world), facts_(facts), stored_(stored) {}

  DataAnswer decide();

 private:
  // The values one ∃ or ≥ asks for.
  struct Group {
    std::span<const EntityId> up;  // its property and every property above
    std::vector<uint32_t> ranges;
    uint64_t k = 1;
  };
  struct Maximum {
    EntityId property;
    uint32_t m = 1;
    std::optional<uint32_t> filler;
  };

  // The node of a data range; a complement shares the node of what it
  // complements, so that a conjunction can see R and ¬R side by side.
  uint32_t node(DeId de) {
    if (auto it = nodes_.find(de); it != nodes_.end()) return it->second;
    const auto& dl = ontology_.dl();
    std::vector<DeId> complements;
    DeId at = de;
    while (dl.has_de(at) && dl.de(at).kind == DeKind::Not && !nodes_.contains(at) &&
           complements.size() <= dl.de_count()) {
      complements.push_back(at);
      at = dl.de(at).operand();
    }
    uint32_t n = 0;
    if (auto it = nodes_.find(at); it != nodes_.end()) {
      n = it->second;
    } else {
      n = stored_.convert(range_, at);
      nodes_.emplace(at, n);
    }
    for (auto it = complements.rbegin(); it != complements.rend(); ++it) {
      n = range_.add_not(n);
      nodes_.emplace(*it, n);
    }
    return n;
  }
  // The conjunction of nodes, flattened (the counting merges the members of
  // one intersection only).
  uint32_t conjunction(std::vector<uint32_t> parts) {
    std::vector<uint32_t> members;
    while (!parts.empty() && members.size() + parts.size() <= kMaxConjuncts) {
      const uint32_t m = parts.back();
      parts.pop_back();
      const DataRangeNode& x = range_.nodes[m];
      if (x.kind == DataRangeNode::Kind::And) parts.insert(parts.end(), x.members.begin(), x.members.end());
      else members.push_back(m);
    }
    members.insert(members.end(), parts.begin(), parts.end());
    std::sort(members.begin(), members.end());
    members.erase(std::unique(members.begin(), members.end()), members.end());
    if (members.empty()) return range_.add_top();
    if (members.size() == 1) return members[0];
    for (uint32_t m : members) {
      const DataRangeNode& x = range_.nodes[m];
      if (x.kind == DataRangeNode::Kind::Not && x.members.size() == 1 &&
          std::binary_search(members.begin(), members.end(), x.members[0]))
        return range_.add_one_of({});  // R and ¬R: no value
    }
    return range_.add_and(std::move(members));
  }
  std::optional<bool> holds_at_least(uint32_t at, uint64_t k) { return has_at_least(count_values(range_, at), k); }
  bool proven_empty(uint32_t at) { return holds_at_least(at, 1) == std::optional<bool>(false); }
  static bool under(const Group& g, EntityId q) { return std::find(g.up.begin(), g.up.end(), q) != g.up.end(); }
  bool disjoint(const Group& g, const Group& h) const {
    for (auto [a, b] : tables_.disjoint)
      if ((under(g, a) && under(h, b)) || (under(g, b) && under(h, a))) return true;
    return false;
  }
  bool ill_typed(DeId de) const {
    const auto& dl = ontology_.dl();
    if (!dl.has_de(de) || dl.de(de).kind != DeKind::Literal) return false;
    const auto lit = dl.de(de);
    return literal_is_ill_typed(ontology_, LiteralValue{std::string(lit.lexical()), lit.datatype()});
  }

  bool build_groups();
  // A group on `property` (which must outlive the call), with its own range
  // node when it has one.
  bool add_group(const EntityId& property, std::optional<uint32_t> own, uint64_t k);
  // A told literal as a one-value node; none when it is ill-typed.
  std::optional<uint32_t> literal_node(const LiteralValue& literal) {
    Parsed v = literal_value(ontology_, literal);
    if (v.status == Parsed::Status::IllTyped) return std::nullopt;
    if (v.status != Parsed::Status::Ok || !v.value) return range_.add_restriction(Dt::Unknown);
    return range_.add_one_of({std::move(*v.value)});
  }
  void build_maxima();
  bool maximum_broken_by_groups();
  Verdict values_exist(const std::vector<Item>& items, const Matrix& distinct);
  Verdict share(size_t successor);
  Verdict judge_sharing();

  const Ontology& ontology_;
  const DataTables& tables_;
  std::span<const DataConstraint> world_;
  const LiteralFacts* facts_;
  const StoreRanges& stored_;
  DataRange range_;
  absl::flat_hash_map<DeId, uint32_t> nodes_;

  std::vector<Group> groups_;
  std::vector<uint32_t> group_range_;
  Matrix group_distinct_;
  std::vector<Maximum> maxima_;

  // Sharing: one successor per value asked for; blocks of successors that
  // take one value.
  std::vector<uint32_t> successor_group_;
  std::vector<std::vector<uint32_t>> blocks_;
  uint64_t sharings_ = 0;
};

// The groups, their ranges and which must differ; false when one is
// proven to have no value at all (an ill-typed literal, a property below
// two disjoint ones).
bool WorldValues::build_groups() {
  for (const DataConstraint& c : world_) {
    if (!c.needs_value()) continue;
    if (c.range && ill_typed(*c.range)) return false;
    if (!add_group(c.property, c.range ? std::optional<uint32_t>(node(*c.range)) : std::nullopt,
                   c.kind == DataConstraint::Kind::Some ? 1 : c.n))
      return false;
  }
  if (facts_ != nullptr)
    for (const auto& [p, literal] : facts_->values) {
      const auto v = literal_node(literal);
      if (!v || !add_group(p, v, 1)) return false;
    }
  for (const Group& g : groups_) group_range_.push_back(conjunction(g.ranges));
  group_distinct_.assign(groups_.size(), std::vector<uint8_t>(groups_.size(), 0));
  for (size_t i = 0; i < groups_.size(); ++i)
    for (size_t j = i + 1; j < groups_.size(); ++j)
      group_distinct_[i][j] = group_distinct_[j][i] = disjoint(groups_[i], groups_[j]) ? 1 : 0;
  return true;
}

bool WorldValues::add_group(const EntityId& property, std::optional<uint32_t> own, uint64_t k) {
  Group g;
  g.up = tables_.supers_of(property);
  g.k = k;
  if (k == 0) return true;
  if (own) g.ranges.push_back(*own);
  for (EntityId q : g.up) {
    for (const DataConstraint& a : world_)
      if (a.kind == DataConstraint::Kind::All && a.property == q && a.range)
        g.ranges.push_back(a.outside ? range_.add_not(node(*a.range)) : node(*a.range));
    if (auto it = tables_.ranges.find(q); it != tables_.ranges.end())
      for (DeId r : it->second) g.ranges.push_back(node(r));
    if (facts_ != nullptr)
      for (const auto& [p, literal] : facts_->excluded)
        if (p == q)
          if (const auto v = literal_node(literal)) g.ranges.push_back(range_.add_not(*v));
  }
  for (auto [a, b] : tables_.disjoint)
    if (under(g, a) && under(g, b)) return false;
  groups_.push_back(std::move(g));
  return true;
}

// The maxima that the groups could break: ≤ concepts and functional
// properties above some group, with more values asked for below them than
// they allow.
void WorldValues::build_maxima() {
  std::vector<Maximum> all;
  for (const DataConstraint& c : world_) {
    if (c.kind != DataConstraint::Kind::AtMost) continue;
    Maximum m{c.property, c.n, std::nullopt};
    if (c.range) m.filler = node(*c.range);
    all.push_back(m);
  }
  for (const Group& g : groups_)
    for (EntityId q : g.up)
      if (tables_.functional.contains(q)) all.push_back(Maximum{q, 1, std::nullopt});
  for (const Maximum& m : all) {
    uint64_t below = 0;
    for (const Group& g : groups_)
      if (under(g, m.property)) below = add_capped(below, g.k);
    if (below <= m.m) continue;
    const bool seen = std::any_of(maxima_.begin(), maxima_.end(), [&](const Maximum& x) {
      return x.property == m.property && x.m == m.m && x.filler == m.filler;
    });
    if (!seen) maxima_.push_back(m);
  }
}

// Groups that must take pairwise different values, all inside a maximum's
// range, asking for more values than it allows.
bool WorldValues::maximum_broken_by_groups() {
  for (const Maximum& m : maxima_) {
    std::vector<size_t> inside;
    for (size_t g = 0; g < groups_.size(); ++g) {
      if (!under(groups_[g], m.property)) continue;
      if (m.filler && !proven_empty(conjunction({group_range_[g], range_.add_not(*m.filler)}))) continue;
      inside.push_back(g);
    }
    // Groups whose values cannot coincide: required distinct, or with
    // ranges proven to share no value (looked at for few groups only).
    const bool look = inside.size() <= kMaxCliqueItems;
    auto apart = [&](size_t x, size_t h) {
      if (group_distinct_[x][h] != 0) return true;
      return look && proven_empty(conjunction({group_range_[x], group_range_[h]}));
    };
    for (size_t seed : inside) {
      if (!look && seed != inside.front()) break;
      std::vector<size_t> clique{seed};
      uint64_t values = groups_[seed].k;
      for (size_t h : inside) {
        if (h == seed) continue;
        if (std::all_of(clique.begin(), clique.end(), [&](size_t x) { return apart(x, h); })) {
          clique.push_back(h);
          values = add_capped(values, groups_[h].k);
        }
      }
      if (values > m.m) return true;
    }
  }
  return false;
}

// Yes when values can be picked one item after the other (each range holds
// more values than the item and its distinct partners ask for, or a witness
// when it needs one value and has no partner); No when a range is too small
// for its own values or pairwise distinct items ask for more values than
// their ranges hold together.
Verdict WorldValues::values_exist(const std::vector<Item>& items, const Matrix& distinct) {
  for (const Item& it : items)
    if (holds_at_least(it.range, it.k) == std::optional<bool>(false)) return Verdict::No;
  for (size_t seed = 0; seed < items.size() && items.size() <= kMaxCliqueItems; ++seed) {
    std::vector<size_t> clique{seed};
    uint64_t values = items[seed].k;
    for (size_t j = 0; j < items.size(); ++j) {
      if (j == seed) continue;
      if (std::all_of(clique.begin(), clique.end(), [&](size_t x) { return distinct[x][j] != 0; })) {
        clique.push_back(j);
        values = add_capped(values, items[j].k);
      }
    }
    if (clique.size() < 2) continue;
    std::vector<uint32_t> members;
    for (size_t x : clique) members.push_back(items[x].range);
    if (holds_at_least(range_.add_or(std::move(members)), values) == std::optional<bool>(false)) return Verdict::No;
  }
  // Values picked as witnesses first, the smallest ranges first, each
  // outside the values its distinct partners already took; an item that
  // asks for too many or finds no witness takes its values last, from a
  // range counted large enough to avoid all of its partners' values.
  std::vector<ValueCount> counts;
  for (const Item& it : items) counts.push_back(count_values(range_, it.range));
  std::vector<size_t> order(items.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  auto rank = [&](size_t i) {
    const ValueCount& c = counts[i];
    const int kind = c.kind == ValueCount::Kind::Exact     ? 0
                     : c.kind == ValueCount::Kind::AtLeast ? 1
                     : c.kind == ValueCount::Kind::Unknown ? 2
                                                           : 3;
    return std::tuple(kind, c.n.size(), c.n);
  };
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return rank(a) < rank(b); });
  std::vector<std::vector<DataValue>> picked(items.size());
  uint64_t budget = kMaxPicks;
  for (size_t i : order) {
    if (items[i].k > budget) continue;
    std::vector<DataValue> avoid;
    for (size_t j = 0; j < items.size(); ++j)
      if (j != i && distinct[i][j] != 0) avoid.insert(avoid.end(), picked[j].begin(), picked[j].end());
    std::vector<DataValue> mine;
    for (uint64_t r = 0; r < items[i].k; ++r) {
      uint32_t at = items[i].range;
      if (!avoid.empty()) at = conjunction({at, range_.add_not(range_.add_one_of(avoid))});
      auto w = find_witness(range_, at);
      if (!w) break;
      avoid.push_back(*w);
      mine.push_back(std::move(*w));
    }
    if (mine.size() != items[i].k) continue;
    budget -= mine.size();
    picked[i] = std::move(mine);
  }
  for (size_t i = 0; i < items.size(); ++i) {
    if (!picked[i].empty()) continue;
    uint64_t need = items[i].k;
    for (size_t j = 0; j < items.size(); ++j)
      if (j != i && distinct[i][j] != 0) need = add_capped(need, items[j].k);
    if (has_at_least(counts[i], need) != std::optional<bool>(true)) return Verdict::Unknown;
  }
  return Verdict::Yes;
}

// Puts successor `s` into each block it may share a value with, and into a
// block of its own; Yes as soon as one way of sharing is proven, No when
// every way fails.
Verdict WorldValues::share(size_t s) {
  if (s == successor_group_.size()) return judge_sharing();
  if (++sharings_ > kMaxSharings) return Verdict::Unknown;
  const uint32_t g = successor_group_[s];
  Verdict result = Verdict::No;
  auto fold = [&](Verdict v) {
    if (v == Verdict::Unknown) result = Verdict::Unknown;
    return v == Verdict::Yes;
  };
  for (size_t b = 0; b < blocks_.size(); ++b) {
    const bool clash = std::any_of(blocks_[b].begin(), blocks_[b].end(), [&](uint32_t t) {
      const uint32_t h = successor_group_[t];
      return h == g || group_distinct_[g][h] != 0;
    });
    if (clash) continue;
    std::vector<uint32_t> ranges{group_range_[g]};
    for (uint32_t t : blocks_[b]) ranges.push_back(group_range_[successor_group_[t]]);
    if (proven_empty(conjunction(std::move(ranges)))) continue;
    blocks_[b].push_back(static_cast<uint32_t>(s));
    const bool done = fold(share(s + 1));
    blocks_[b].pop_back();
    if (done) return Verdict::Yes;
  }
  blocks_.push_back({static_cast<uint32_t>(s)});
  const bool done = fold(share(s + 1));
  blocks_.pop_back();
  return done ? Verdict::Yes : result;
}

// One way of sharing: every maximum holds for some choice of which blocks
// lie in its range, with a value for every block.
Verdict WorldValues::judge_sharing() {
  const size_t n = blocks_.size();
  std::vector<std::vector<uint32_t>> base(n);
  Matrix distinct(n, std::vector<uint8_t>(n, 0));
  for (size_t b = 0; b < n; ++b)
    for (uint32_t s : blocks_[b]) base[b].push_back(group_range_[successor_group_[s]]);
  for (size_t b = 0; b < n; ++b)
    for (size_t c = b + 1; c < n; ++c)
      for (uint32_t s : blocks_[b])
        for (uint32_t t : blocks_[c]) {
          const uint32_t g = successor_group_[s], h = successor_group_[t];
          if (g == h || group_distinct_[g][h] != 0) distinct[b][c] = distinct[c][b] = 1;
        }
  // (maximum, block) pairs whose block may lie inside or outside the
  // range; a block proven on one side counts (inside) or not (outside)
  // without a choice.
  std::vector<std::pair<size_t, size_t>> choices;
  std::vector<uint64_t> fixed(maxima_.size(), 0);
  for (size_t j = 0; j < maxima_.size(); ++j) {
    for (size_t b = 0; b < n; ++b) {
      const bool in = std::any_of(blocks_[b].begin(), blocks_[b].end(),
                                  [&](uint32_t s) { return under(groups_[successor_group_[s]], maxima_[j].property); });
      if (!in) continue;
      if (!maxima_[j].filler) {
        ++fixed[j];
        continue;
      }
      std::vector<uint32_t> with = base[b];
      with.push_back(*maxima_[j].filler);
      if (proven_empty(conjunction(std::move(with)))) continue;
      std::vector<uint32_t> without = base[b];
      without.push_back(range_.add_not(*maxima_[j].filler));
      if (proven_empty(conjunction(std::move(without)))) {
        ++fixed[j];
        continue;
      }
      choices.emplace_back(j, b);
    }
    if (fixed[j] > maxima_[j].m) return Verdict::No;
  }
  if (choices.size() > kMaxFillerChoices) return Verdict::Unknown;
  Verdict result = Verdict::No;
  for (uint64_t mask = 0; mask < (uint64_t{1} << choices.size()); ++mask) {
    std::vector<std::vector<uint32_t>> ranges = base;
    std::vector<uint64_t> inside = fixed;
    for (size_t c = 0; c < choices.size(); ++c) {
      const auto [j, b] = choices[c];
      const uint32_t f = *maxima_[j].filler;
      if ((mask >> c) & 1u) {
        ++inside[j];
        ranges[b].push_back(f);
      } else {
        ranges[b].push_back(range_.add_not(f));
      }
    }
    bool over = false;
    for (size_t j = 0; j < maxima_.size(); ++j) over = over || inside[j] > maxima_[j].m;
    if (over) continue;
    std::vector<Item> items;
    for (auto& r : ranges) items.push_back(Item{conjunction(std::move(r)), 1});
    const Verdict v = values_exist(items, distinct);
    if (v == Verdict::Yes) return Verdict::Yes;
    if (v == Verdict::Unknown) result = Verdict::Unknown;
  }
  return result;
}

DataAnswer WorldValues::decide() {
  if (!build_groups()) return DataAnswer::Unsatisfiable;
  if (groups_.empty()) return DataAnswer::Satisfiable;
  build_maxima();
  if (maximum_broken_by_groups()) return DataAnswer::Unsatisfiable;
  std::vector<Item> items;
  for (size_t g = 0; g < groups_.size(); ++g) items.push_back(Item{group_range_[g], groups_[g].k});
  const Verdict alone = values_exist(items, group_distinct_);
  if (alone == Verdict::No) return DataAnswer::Unsatisfiable;
  if (maxima_.empty()) return alone == Verdict::Yes ? DataAnswer::Satisfiable : DataAnswer::Unknown;
  uint64_t successors = 0;
  for (const Group& g : groups_) successors = add_capped(successors, g.k);
  if (successors > kMaxSharedSuccessors) return DataAnswer::Unknown;
  for (uint32_t g = 0; g < groups_.size(); ++g)
    for (uint64_t i = 0; i < groups_[g].k; ++i) successor_group_.push_back(g);
  switch (share(0)) {
    case Verdict::Yes: return DataAnswer::Satisfiable;
    case Verdict::No: return DataAnswer::Unsatisfiable;
    case Verdict::Unknown: return DataAnswer::Unknown;
  }
  return DataAnswer::Unknown;
}

}  // namespace

DataAnswer decide_world_values(const Ontology& ontology, const DataTables& tables,
                               std::span<const DataConstraint> world) {
  // The datatype definitions are read once per set of tables (again when
  // the tables are asked about another ontology, such as a moved copy).
  struct State {
    const Ontology* ontology;
    StoreRanges stored;
  };
  auto* state = static_cast<State*>(tables.oracle_state.get());
  if (state == nullptr || state->ontology != &ontology) {
    auto fresh = std::make_shared<State>(State{&ontology, StoreRanges(ontology)});
    state = fresh.get();
    tables.oracle_state = std::move(fresh);
  }
  return WorldValues(ontology, state->stored, tables, world).decide();
}

DataAnswer decide_individual_values(const Ontology& ontology, const StoreRanges& stored, const DataTables& tables,
                                    std::span<const DataConstraint> world, const LiteralFacts& facts) {
  return WorldValues(ontology, stored, tables, world, &facts).decide();
}

}  // namespace trelvanic_dl::datatype
