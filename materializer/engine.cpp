#include "materializer/engine.h"

#include <algorithm>

#include "materializer/literal.h"
#include "materializer/vocabulary.h"

namespace trelvanic_materializer {

namespace {
constexpr std::uint64_t kPollEvery = 4096;  // processed triples between cancellation polls
constexpr std::size_t kMaxListLength = 1u << 20;

// Types that make their instance a class or a property.
bool declares_schema(TermId type) {
  using namespace vocab;
  static constexpr TermId kTypes[] = {owl_Class, rdfs_Class, rdfs_Datatype, owl_Restriction, rdf_Property,
                                      owl_ObjectProperty, owl_DatatypeProperty, owl_FunctionalProperty,
                                      owl_InverseFunctionalProperty, owl_IrreflexiveProperty, owl_SymmetricProperty,
                                      owl_AsymmetricProperty, owl_TransitiveProperty};
  for (TermId t : kTypes)
    if (t == type) return true;
  return false;
}
}  // namespace

Engine::Engine(Dictionary& dict, Options options) : dict_(dict), options_(options) {}

void Engine::add_flags(TermId t, std::uint32_t f) {
  if (t.value >= term_flags_.size()) term_flags_.resize(std::max<std::size_t>(t.value + 1, term_flags_.size() * 2), 0);
  term_flags_[t.value] |= f;
}

bool Engine::has_type(TermId x, TermId c) const {
  if (dict_.is_literal(x)) {
    // dt-type2: a literal is an instance of every datatype holding its value.
    return literal_in_datatype(dict_, x, c) == Membership::kIn ||
           store_.contains(Triple{x, vocab::rdf_type, find(c)});
  }
  if (c == vocab::owl_Thing) return true;
  return store_.contains(Triple{find(x), vocab::rdf_type, find(c)});
}

void Engine::problem(std::string rule, std::string message) {
  if (problem_seen_.insert({rule, message}).second) problems_.push_back(Problem{std::move(rule), std::move(message)});
}

std::expected<void, Error> Engine::add(const Triple& t) {
  for (TermId id : {t.s, t.p, t.o})
    if (!dict_.contains(id)) return std::unexpected(Error{ErrorKind::kInvalidTerm, "unknown term id " + std::to_string(id.value)});
  if (dict_.is_literal(t.s))
    return std::unexpected(Error{ErrorKind::kInvalidTriple, "literal subject " + show(t.s)});
  if (dict_.kind(t.p) != TermKind::kIri)
    return std::unexpected(Error{ErrorKind::kInvalidTriple, "predicate is not an IRI: " + show(t.p)});
  Triple c{find(t.s), find(t.p), find(t.o)};
  if (c.p == vocab::owl_sameAs) {
    unite_later(c.s, c.o);
    return {};
  }
  auto [index, fresh] = store_.insert(c, kAsserted);
  if (fresh) {
    note_schema(c);
    if (c.p == vocab::rdfs_subClassOf) note_base_link(index);
    queue_.push_back(index);
  } else {
    store_.set_flags(index, kAsserted);
  }
  return {};
}

void Engine::derive(TermId s, TermId p, TermId o, std::uint8_t flags) {
  Triple t{find(s), find(p), find(o)};
  if (t.p == vocab::owl_sameAs) {
    if (t.s != t.o) unite_later(t.s, t.o);
    return;
  }
  if (dict_.kind(t.p) != TermKind::kIri) return;
  // Literal subjects are kept only as "literal rdf:type datatype", the
  // premise of dt-not-type; they never reach the output.
  if (dict_.is_literal(t.s) && t.p != vocab::rdf_type) return;
  auto [index, fresh] = store_.insert(t, flags);
  if (fresh) {
    ++derived_;
    note_schema(t);
    if (t.p == vocab::rdfs_subClassOf && !(flags & kByTransitivity)) note_base_link(index);
    queue_.push_back(index);
  } else if (!(flags & kByTransitivity) && (store_.flags(index) & kByTransitivity)) {
    // Known so far only as a transitive shortcut; now it is also a base
    // edge that the transitive rule must extend.
    store_.clear_flags(index, kByTransitivity);
    store_.set_flags(index, (flags & kCovered) | kRevisit);
    if (t.p == vocab::rdfs_subClassOf) note_base_link(index);
    queue_.push_back(index);
  }
}

void Engine::note_base_link(std::uint32_t i) {
  const TermId c = store_.at(i).s;
  if (c.value >= base_link_head_.size())
    base_link_head_.resize(std::max<std::size_t>(c.value + 1, base_link_head_.size() * 2), kNoTriple);
  base_links_.push_back(BaseLink{i, base_link_head_[c.value]});
  base_link_head_[c.value] = static_cast<std::uint32_t>(base_links_.size() - 1);
}

void Engine::note_schema(const Triple& t) {
  add_flags(t.p, kSchemaUse);
  if (dict_.is_literal(t.o) && !(flags_of(t.o) & kLiteralSeen)) {
    add_flags(t.o, kLiteralSeen);
    literal_objects_.push_back(t.o);
  }
  if (t.p.value <= vocab::kLast.value) {
    switch (t.p.value) {
      case vocab::rdf_type.value:
        add_flags(t.o, kSchemaUse);
        // Declared or characterised as a class or property.
        if (declares_schema(t.o)) add_flags(t.s, kSchemaUse);
        break;
      case vocab::rdfs_subClassOf.value:
      case vocab::rdfs_subPropertyOf.value:
      case vocab::owl_equivalentClass.value:
      case vocab::owl_equivalentProperty.value:
      case vocab::owl_disjointWith.value:
      case vocab::owl_complementOf.value:
      case vocab::owl_inverseOf.value:
      case vocab::owl_propertyDisjointWith.value:
        add_flags(t.s, kSchemaUse);
        add_flags(t.o, kSchemaUse);
        break;
      case vocab::rdfs_domain.value:
      case vocab::rdfs_range.value:
      case vocab::owl_onProperty.value:
      case vocab::owl_someValuesFrom.value:
      case vocab::owl_allValuesFrom.value:
      case vocab::owl_onClass.value:
      case vocab::owl_assertionProperty.value:
        add_flags(t.o, kSchemaUse);
        if (t.p == vocab::rdfs_domain || t.p == vocab::rdfs_range) add_flags(t.s, kSchemaUse);
        break;
      default:
        break;
    }
  }
  switch (t.p.value) {
    case vocab::rdfs_domain.value: add_flags(t.s, kPropDomain); break;
    case vocab::rdfs_range.value: add_flags(t.s, kPropRange); break;
    case vocab::rdfs_subPropertyOf.value: add_flags(t.s, kPropSuper); break;
    case vocab::owl_inverseOf.value:
      add_flags(t.s, kPropInverse);
      add_flags(t.o, kPropInverse);
      break;
    case vocab::rdfs_subClassOf.value: add_flags(t.s, kClassSuper); break;
    case vocab::rdf_type.value:
      if (t.o == vocab::owl_TransitiveProperty) add_flags(t.s, kPropTransitive);
      else if (t.o == vocab::owl_SymmetricProperty) add_flags(t.s, kPropSymmetric);
      else if (t.o == vocab::owl_FunctionalProperty) add_flags(t.s, kPropFunctional);
      else if (t.o == vocab::owl_InverseFunctionalProperty) add_flags(t.s, kPropInverseFunctional);
      break;
    default: break;
  }
}

std::expected<void, Error> Engine::saturate() {
  while (true) {
    if (options_.cancel && (steps_++ % kPollEvery) == 0 && options_.cancel->load(std::memory_order_relaxed))
      return std::unexpected(cancelled_error());
    if (!pending_merges_.empty()) {
      auto [a, b] = pending_merges_.back();
      pending_merges_.pop_back();
      merge_now(a, b);
      continue;
    }
    if (queue_head_ < queue_.size()) {
      std::uint32_t index = queue_[queue_head_++];
      if (queue_head_ == queue_.size()) {
        queue_.clear();
        queue_head_ = 0;
      }
      process(index);
      continue;
    }
    if (!changed_cells_.empty()) {
      lists_changed();
      continue;
    }
    return {};
  }
}

std::expected<void, Error> Engine::run() {
  if (options_.cancel && options_.cancel->load(std::memory_order_relaxed)) return std::unexpected(cancelled_error());
  if (auto done = saturate(); !done) return done;
  problems_.clear();
  problem_seen_.clear();
  check_consistency();
  return {};
}

void Engine::process(std::uint32_t index) {
  if (store_.dead(index)) return;
  const Triple t = store_.at(index);
  older_than_ = (store_.flags(index) & kRevisit) ? kNoTriple : index;
  store_.clear_flags(index, kRevisit);
  std::uint32_t pflags = flags_of(t.p);
  if (pflags) property_rules(index, t, pflags);
  if (t.p == vocab::rdf_type) {
    type_rules(t.s, t.o);
  } else if (t.p.value <= vocab::kLast.value) {
    schema_rules(t, store_.flags(index));
  }
  older_than_ = kNoTriple;
}

bool Engine::read_list(TermId head, std::vector<TermId>& items) const {
  items.clear();
  absl::flat_hash_set<TermId> seen;
  TermId cell = find(head);
  while (cell != vocab::rdf_nil) {
    if (!seen.insert(cell).second || items.size() >= kMaxListLength) return false;
    TermId first = store_.first_object(vocab::rdf_first, cell);
    TermId rest = store_.first_object(vocab::rdf_rest, cell);
    if (!first || !rest) return false;
    items.push_back(first);
    cell = rest;
  }
  return true;
}

bool Engine::emittable(const Triple& t, std::uint8_t flags) const {
  if (dict_.is_literal(t.s)) return false;
  if (t.s == t.o && (t.p == vocab::owl_equivalentClass || t.p == vocab::owl_equivalentProperty ||
                     t.p == vocab::owl_inverseOf || t.p == vocab::owl_sameAs))
    return false;
  if (options_.emit_tautologies || (flags & kAsserted)) return true;
  if (t.p == vocab::rdfs_subClassOf)
    return !(t.s == t.o || t.o == vocab::owl_Thing || t.s == vocab::owl_Nothing);
  if (t.p == vocab::rdfs_subPropertyOf) return t.s != t.o;
  if (t.p == vocab::rdf_type) return t.o != vocab::owl_Thing;
  return true;
}

void Engine::output(std::vector<Triple>& out) const {
  out.clear();
  std::size_t n = store_.size();
  if (eq_.trivial()) {
    out.reserve(n);
    for (std::uint32_t i = 0; i < n; ++i)
      if (!store_.dead(i) && emittable(store_.at(i), store_.flags(i))) out.push_back(store_.at(i));
    for (auto [a, b] : punned_same_) {
      out.push_back(Triple{a, vocab::owl_sameAs, b});
      out.push_back(Triple{b, vocab::owl_sameAs, a});
    }
    return;
  }
  // Walk every stored triple, dead ones too, so that a told triple keeps
  // its place; expand each canonical triple once over its classes.
  std::vector<bool> expanded(n, false);
  for (std::uint32_t i = 0; i < n; ++i) {
    const Triple& t = store_.at(i);
    std::uint32_t c = store_.find(Triple{find(t.s), find(t.p), find(t.o)});
    if (c == kNoTriple || store_.dead(c) || expanded[c]) continue;
    expanded[c] = true;
    const Triple ct = store_.at(c);
    std::uint8_t flags = store_.flags(c);
    eq_.for_members(ct.s, [&](TermId s) {
      eq_.for_members(ct.p, [&](TermId p) {
        eq_.for_members(ct.o, [&](TermId o) {
          Triple e{s, p, o};
          if (emittable(e, flags)) out.push_back(e);
        });
      });
    });
  }
  for (auto [a, b] : punned_same_) {
    out.push_back(Triple{a, vocab::owl_sameAs, b});
    out.push_back(Triple{b, vocab::owl_sameAs, a});
  }
  for (TermId rep : eq_.classes()) {
    if (find(rep) != rep) continue;
    eq_.for_members(rep, [&](TermId a) {
      eq_.for_members(rep, [&](TermId b) {
        if (a != b) out.push_back(Triple{a, vocab::owl_sameAs, b});
      });
    });
  }
}

}  // namespace trelvanic_materializer
