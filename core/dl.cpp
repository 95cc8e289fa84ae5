#include "core/dl.h"

#include <fmt/format.h>

namespace trelvanic_core {
namespace {

struct Ref {
  bool is_ce;
  uint32_t id;
};

// The CeId and DeId fields of a node, in declared field order.
template <class View>
void node_refs(const View& v, std::span<const FieldSpec> specs, std::vector<Ref>& out) {
  for (size_t i = 0; i < specs.size(); ++i) {
    const FieldSpec& f = specs[i];
    switch (f.type) {
      case FieldType::Ce: out.push_back({true, v.slot[f.slot]}); break;
      case FieldType::De: out.push_back({false, v.slot[f.slot]}); break;
      case FieldType::OptCe:
        if (v.flag(f.bit)) out.push_back({true, v.slot[f.slot]});
        break;
      case FieldType::OptDe:
        if (v.flag(f.bit)) out.push_back({false, v.slot[f.slot]});
        break;
      case FieldType::ListCe:
        for (uint32_t x : list_field(v, specs, i)) out.push_back({true, x});
        break;
      case FieldType::ListDe:
        for (uint32_t x : list_field(v, specs, i)) out.push_back({false, x});
        break;
      case FieldType::Entity:
      case FieldType::Role:
      case FieldType::Count:
      case FieldType::Text:
      case FieldType::ListEntity:
      case FieldType::ListRole: break;
    }
  }
}

// Calls f(EntityId) for every entity field and list element, in order.
template <class View, class F>
void node_entities(const View& v, std::span<const FieldSpec> specs, F&& f) {
  for (size_t i = 0; i < specs.size(); ++i) {
    const FieldSpec& s = specs[i];
    if (s.type == FieldType::Entity || s.type == FieldType::Role) {
      f(EntityId(v.slot[s.slot]));
    } else if (s.type == FieldType::ListEntity) {
      for (uint32_t x : list_field(v, specs, i)) f(EntityId(x));
    } else if (s.type == FieldType::ListRole) {
      auto raw = list_field(v, specs, i);
      for (size_t k = 1; k < raw.size(); k += 2) f(EntityId(raw[k]));
    }
  }
}

// A copy of `v` with every entity, CeId and DeId translated.
template <class Value, class View, class MapEntity>
Value remap_node(const View& v, std::span<const FieldSpec> specs, MapEntity&& map_entity,
                 const std::vector<uint32_t>& ce_to, const std::vector<uint32_t>& de_to) {
  Value x;
  x.kind = v.kind;
  x.flags = v.flags;
  x.slot = v.slot;
  x.list.assign(v.list.begin(), v.list.end());
  for (size_t i = 0; i < specs.size(); ++i) {
    const FieldSpec& f = specs[i];
    uint32_t& s = x.slot[f.slot];
    const uint32_t off = list_offset(v, specs, i);
    switch (f.type) {
      case FieldType::Entity:
      case FieldType::Role: s = map_entity(s); break;
      case FieldType::Ce: s = ce_to[s]; break;
      case FieldType::De: s = de_to[s]; break;
      case FieldType::OptCe:
        if (v.flag(f.bit)) s = ce_to[s];
        break;
      case FieldType::OptDe:
        if (v.flag(f.bit)) s = de_to[s];
        break;
      case FieldType::Text: x.text[f.bit] = std::string(v.text[f.bit]); break;
      case FieldType::Count: break;
      case FieldType::ListCe:
        for (uint32_t k = 0; k < s; ++k) x.list[off + k] = ce_to[x.list[off + k]];
        break;
      case FieldType::ListDe:
        for (uint32_t k = 0; k < s; ++k) x.list[off + k] = de_to[x.list[off + k]];
        break;
      case FieldType::ListEntity:
        for (uint32_t k = 0; k < s; ++k) x.list[off + k] = map_entity(x.list[off + k]);
        break;
      case FieldType::ListRole:
        for (uint32_t k = 0; k < s; ++k) x.list[off + 2 * k + 1] = map_entity(x.list[off + 2 * k + 1]);
        break;
    }
  }
  return x;
}

Error dangling(Ref r) {
  return Error::invalid_axiom(r.is_ce ? fmt::format("dangling {} in DL store", CeId(r.id))
                                      : fmt::format("dangling {} in DL store", DeId(r.id)));
}

// Depth-first walk over the expressions reachable from given roots with an
// explicit stack: checks that every id names an element, that no expression
// reaches itself, and that every entity met passes `check_entity`; records
// the expressions in post-order (children before parents, fields in declared
// order), each once.
class ReachWalk {
 public:
  // `check_entity` is held by reference: it must outlive the walk.
  ReachWalk(const DlStore& store, absl::FunctionRef<Result<void>(EntityId)> check_entity)
      : store_(store), check_entity_(check_entity), ce_state_(store.ce_count()), de_state_(store.de_count()) {}

  Result<void> visit(Ref root) {
    TRELVANIC_TRY(enter(root));
    while (!stack_.empty()) {
      Frame& top = stack_.back();
      if (top.next < top.kids.size()) {
        TRELVANIC_TRY(enter(top.kids[top.next++]));
        continue;
      }
      const Ref done = top.ref;
      state(done) = kDone;
      (done.is_ce ? ce_order : de_order).push_back(done.id);
      stack_.pop_back();
    }
    return {};
  }

  Result<void> entities(const DlAxiomView& a) { return check_node_entities(a, dl_axiom_fields(a.kind)); }

  std::vector<uint32_t> ce_order, de_order;

 private:
  static constexpr uint8_t kNew = 0, kOpen = 1, kDone = 2;
  struct Frame {
    Ref ref;
    std::vector<Ref> kids;
    size_t next = 0;
  };

  uint8_t& state(Ref r) { return r.is_ce ? ce_state_[r.id] : de_state_[r.id]; }

  template <class View>
  Result<void> check_node_entities(const View& v, std::span<const FieldSpec> specs) {
    Result<void> result;
    node_entities(v, specs, [&](EntityId e) {
      if (result) result = check_entity_(e);
    });
    return result;
  }

  Result<void> enter(Ref r) {
    if (r.id >= (r.is_ce ? ce_state_.size() : de_state_.size())) return std::unexpected(dangling(r));
    uint8_t& s = state(r);
    if (s == kDone) return {};
    if (s == kOpen)
      return std::unexpected(Error::invalid_axiom(
          r.is_ce ? fmt::format("cyclic class expression at {}", CeId(r.id))
                  : fmt::format("cyclic data expression at {}", DeId(r.id))));
    s = kOpen;
    Frame f{r, {}, 0};
    if (r.is_ce) {
      const ClassExprView v = store_.ce(CeId(r.id));
      TRELVANIC_TRY(check_node_entities(v, ce_fields(v.kind)));
      node_refs(v, ce_fields(v.kind), f.kids);
    } else {
      const DataExprView v = store_.de(DeId(r.id));
      TRELVANIC_TRY(check_node_entities(v, de_fields(v.kind)));
      node_refs(v, de_fields(v.kind), f.kids);
    }
    stack_.push_back(std::move(f));
    return {};
  }

  const DlStore& store_;
  absl::FunctionRef<Result<void>(EntityId)> check_entity_;
  std::vector<uint8_t> ce_state_, de_state_;
  std::vector<Frame> stack_;
};

template <class View>
View make_view(const std::vector<uint32_t>& lists, uint8_t kind, uint8_t flags,
               const std::array<uint32_t, 3>& slot, uint32_t offset, std::span<const FieldSpec> specs) {
  View v;
  v.kind = static_cast<decltype(v.kind)>(kind);
  v.flags = flags;
  v.slot = slot;
  const uint32_t len = total_list_length(v, specs);
  v.list = std::span<const uint32_t>(lists.data() + offset, len);
  return v;
}

}  // namespace

template <class Value>
DlStore::Record DlStore::store_node(Family& f, const Value& v, std::span<const FieldSpec> specs,
                                    TextPool* texts) {
  Record r{static_cast<uint8_t>(v.kind), v.flags, v.slot, static_cast<uint32_t>(f.lists.size())};
  for (const FieldSpec& s : specs)
    if (s.type == FieldType::Text) r.slot[s.slot] = texts->intern(v.text[s.bit]);
  f.lists.insert(f.lists.end(), v.list.begin(), v.list.end());
  return r;
}

ClassExprView DlStore::ce(CeId id) const {
  const Record& r = ces_.records[id.value];
  return make_view<ClassExprView>(ces_.lists, r.kind, r.flags, r.slot, r.offset,
                                  ce_fields(static_cast<CeKind>(r.kind)));
}

DataExprView DlStore::de(DeId id) const {
  const Record& r = des_.records[id.value];
  const auto specs = de_fields(static_cast<DeKind>(r.kind));
  DataExprView v = make_view<DataExprView>(des_.lists, r.kind, r.flags, r.slot, r.offset, specs);
  for (const FieldSpec& s : specs)
    if (s.type == FieldType::Text) v.text[s.bit] = texts_.view(r.slot[s.slot]);
  return v;
}

DlAxiomView DlStore::axiom(size_t index) const {
  const Record& r = axioms_.records[index];
  return make_view<DlAxiomView>(axioms_.lists, r.kind, r.flags, r.slot, r.offset,
                                dl_axiom_fields(static_cast<DlAxiomKind>(r.kind)));
}

std::optional<CeId> DlStore::find_ce(const ClassExpr& e) const {
  auto p = ces_.index.find(node_fingerprint(e, ce_fields(e.kind)),
                           [&](uint32_t i) { return ce_equal(ce(CeId(i)), e); });
  if (!p) return std::nullopt;
  return CeId(*p);
}

CeId DlStore::append_ce(const ClassExpr& e) {
  const auto specs = ce_fields(e.kind);
  const auto id = static_cast<uint32_t>(ces_.records.size());
  ces_.records.push_back(store_node(ces_, e, specs, &texts_));
  ces_.index.add(node_fingerprint(e, specs), id);
  return CeId(id);
}

DeId DlStore::append_de(const DataExpr& e) {
  const auto specs = de_fields(e.kind);
  const auto id = static_cast<uint32_t>(des_.records.size());
  des_.records.push_back(store_node(des_, e, specs, &texts_));
  des_.index.add(node_fingerprint(e, specs), id);
  return DeId(id);
}

// find then append, with one probe of the fingerprint table.
template <class Value, class Equal>
uint32_t DlStore::intern_node(Family& f, const Value& v, std::span<const FieldSpec> specs, TextPool* texts,
                              Equal&& equal) {
  const auto id = static_cast<uint32_t>(f.records.size());
  if (auto p = f.index.find_or_add(node_fingerprint(v, specs), id, equal)) return *p;
  f.records.push_back(store_node(f, v, specs, texts));
  return id;
}

CeId DlStore::intern_ce(const ClassExpr& e) {
  return CeId(intern_node(ces_, e, ce_fields(e.kind), &texts_, [&](uint32_t i) { return ce_equal(ce(CeId(i)), e); }));
}

DeId DlStore::intern_de(const DataExpr& e) {
  return DeId(intern_node(des_, e, de_fields(e.kind), &texts_, [&](uint32_t i) { return de_equal(de(DeId(i)), e); }));
}

void DlStore::reserve_ces(size_t n) {
  ces_.records.reserve(n);
  ces_.index.reserve(n);
}

void DlStore::prefetch_ce(const ClassExpr& e) const {
  ces_.index.prefetch(node_fingerprint(e, ce_fields(e.kind)));
}

void DlStore::push_axiom(const DlAxiom& a) {
  axioms_.records.push_back(store_node(axioms_, a, dl_axiom_fields(a.kind), &texts_));
}

Result<void> DlStore::validate_with_limits(const OntologyLimits& limits) const {
  for (uint32_t i = 0; i < des_.records.size(); ++i) {
    const Record& r = des_.records[i];
    if (static_cast<DeKind>(r.kind) == DeKind::Literal && texts_.view(r.slot[0]).size() > limits.max_literal_bytes)
      return std::unexpected(Error::invalid_axiom(
          fmt::format("data literal exceeds maximum size of {} bytes", limits.max_literal_bytes)));
  }
  return {};
}

Result<void> DlStore::check_references() const {
  auto any_entity = [](EntityId) -> Result<void> { return {}; };
  ReachWalk walk(*this, any_entity);
  for (uint32_t i = 0; i < ce_count(); ++i) TRELVANIC_TRY(walk.visit({true, i}));
  for (uint32_t i = 0; i < de_count(); ++i) TRELVANIC_TRY(walk.visit({false, i}));
  std::vector<Ref> refs;
  for (size_t i = 0; i < axiom_count(); ++i) {
    const DlAxiomView a = axiom(i);
    refs.clear();
    node_refs(a, dl_axiom_fields(a.kind), refs);
    for (Ref r : refs)
      if (r.id >= (r.is_ce ? ce_count() : de_count())) return std::unexpected(dangling(r));
  }
  return {};
}

Result<void> DlStore::import_axioms_from(const DlStore& source, EntityMap map) {
  if (&source == this) {
    const DlStore copy = source;  // views into the source must outlive our appends
    return import_axioms_from(copy, map);
  }
  // First pass: check every precondition and order the reachable
  // expressions, so that a failure leaves this store untouched.
  auto mapped = [&](EntityId e) -> Result<void> {
    if (!map(e))
      return std::unexpected(Error::invalid_axiom(fmt::format("no entity mapping for {}", e)));
    return {};
  };
  ReachWalk walk(source, mapped);
  std::vector<Ref> refs;
  for (size_t i = 0; i < source.axiom_count(); ++i) {
    const DlAxiomView a = source.axiom(i);
    TRELVANIC_TRY(walk.entities(a));
    refs.clear();
    node_refs(a, dl_axiom_fields(a.kind), refs);
    for (Ref r : refs) TRELVANIC_TRY(walk.visit(r));
  }

  // Second pass: translate children before parents and intern here. Data
  // expressions never contain class expressions, so all data expressions can
  // go first; each list still receives its expressions in reach order.
  auto map_entity = [&](uint32_t e) { return map(EntityId(e))->value; };
  std::vector<uint32_t> ce_to(source.ce_count()), de_to(source.de_count());
  for (uint32_t d : walk.de_order) {
    const DataExprView v = source.de(DeId(d));
    de_to[d] = intern_de(remap_node<DataExpr>(v, de_fields(v.kind), map_entity, ce_to, de_to)).value;
  }
  for (uint32_t c : walk.ce_order) {
    const ClassExprView v = source.ce(CeId(c));
    ce_to[c] = intern_ce(remap_node<ClassExpr>(v, ce_fields(v.kind), map_entity, ce_to, de_to)).value;
  }
  for (size_t i = 0; i < source.axiom_count(); ++i) {
    const DlAxiomView a = source.axiom(i);
    push_axiom(remap_node<DlAxiom>(a, dl_axiom_fields(a.kind), map_entity, ce_to, de_to));
  }
  return {};
}

size_t DlStore::memory_bytes() const {
  size_t total = texts_.memory_bytes();
  for (const Family* f : {&ces_, &des_, &axioms_})
    total += f->records.capacity() * sizeof(Record) + f->lists.capacity() * sizeof(uint32_t) +
             f->index.memory_bytes();
  return total;
}

}  // namespace trelvanic_core
