#include "materializer/engine.h"

#include <algorithm>
#include <iterator>
#include <utility>

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
  for (TermId id : {t.subject, t.predicate, t.object})
    if (!dict_.contains(id)) return std::unexpected(Error{ErrorKind::kInvalidTerm, "unknown term id " + std::to_string(id.value)});
  if (dict_.is_literal(t.subject))
    return std::unexpected(Error{ErrorKind::kInvalidTriple, "literal subject " + show(t.subject)});
  if (dict_.kind(t.predicate) != TermKind::Iri)
    return std::unexpected(Error{ErrorKind::kInvalidTriple, "predicate is not an IRI: " + show(t.predicate)});
  Triple c{find(t.subject), find(t.predicate), find(t.object)};
  if (c.predicate == vocab::owl_sameAs) {
    unite_later(c.subject, c.object);
    return {};
  }
  auto [index, fresh] = store_.insert(c, kAsserted);
  if (fresh) {
    note_schema(c);
    if (c.predicate == vocab::rdfs_subClassOf) note_base_link(index);
    queue_.push_back(index);
  } else {
    store_.set_flags(index, kAsserted);
  }
  return {};
}

void Engine::derive(TermId s, TermId p, TermId o, std::uint8_t flags) {
  Triple t{find(s), find(p), find(o)};
  if (t.predicate == vocab::owl_sameAs) {
    if (t.subject != t.object) unite_later(t.subject, t.object);
    return;
  }
  if (dict_.kind(t.predicate) != TermKind::Iri) return;
  // Literal subjects are kept only as "literal rdf:type datatype", the
  // premise of dt-not-type; they never reach the output.
  if (dict_.is_literal(t.subject) && t.predicate != vocab::rdf_type) return;
  auto [index, fresh] = store_.insert(t, flags);
  if (fresh) {
    ++derived_;
    note_schema(t);
    if (t.predicate == vocab::rdfs_subClassOf && !(flags & kByTransitivity)) note_base_link(index);
    queue_.push_back(index);
  } else if (!(flags & kByTransitivity) && (store_.flags(index) & kByTransitivity)) {
    // Known so far only as a transitive shortcut; now it is also a base
    // edge that the transitive rule must extend.
    store_.clear_flags(index, kByTransitivity);
    store_.set_flags(index, (flags & kCovered) | kRevisit);
    if (t.predicate == vocab::rdfs_subClassOf) note_base_link(index);
    queue_.push_back(index);
  }
}

void Engine::note_base_link(std::uint32_t i) {
  const TermId c = store_.at(i).subject;
  if (c.value >= base_link_head_.size())
    base_link_head_.resize(std::max<std::size_t>(c.value + 1, base_link_head_.size() * 2), kNoTriple);
  base_links_.push_back(BaseLink{i, base_link_head_[c.value]});
  base_link_head_[c.value] = static_cast<std::uint32_t>(base_links_.size() - 1);
}

void Engine::note_schema(const Triple& t) {
  add_flags(t.predicate, kSchemaUse);
  if (dict_.is_literal(t.object) && !(flags_of(t.object) & kLiteralSeen)) {
    add_flags(t.object, kLiteralSeen);
    literal_objects_.push_back(t.object);
  }
  if (t.predicate.value <= vocab::kLast.value) {
    switch (t.predicate.value) {
      case vocab::rdf_type.value:
        add_flags(t.object, kSchemaUse);
        // Declared or characterised as a class or property.
        if (declares_schema(t.object)) add_flags(t.subject, kSchemaUse);
        break;
      case vocab::rdfs_subClassOf.value:
      case vocab::rdfs_subPropertyOf.value:
      case vocab::owl_equivalentClass.value:
      case vocab::owl_equivalentProperty.value:
      case vocab::owl_disjointWith.value:
      case vocab::owl_complementOf.value:
      case vocab::owl_inverseOf.value:
      case vocab::owl_propertyDisjointWith.value:
        add_flags(t.subject, kSchemaUse);
        add_flags(t.object, kSchemaUse);
        break;
      case vocab::rdfs_domain.value:
      case vocab::rdfs_range.value:
      case vocab::owl_onProperty.value:
      case vocab::owl_someValuesFrom.value:
      case vocab::owl_allValuesFrom.value:
      case vocab::owl_onClass.value:
      case vocab::owl_assertionProperty.value:
        add_flags(t.object, kSchemaUse);
        if (t.predicate == vocab::rdfs_domain || t.predicate == vocab::rdfs_range) add_flags(t.subject, kSchemaUse);
        break;
      default:
        break;
    }
  }
  switch (t.predicate.value) {
    case vocab::rdfs_domain.value: add_flags(t.subject, kPropDomain); break;
    case vocab::rdfs_range.value: add_flags(t.subject, kPropRange); break;
    case vocab::rdfs_subPropertyOf.value: add_flags(t.subject, kPropSuper); break;
    case vocab::owl_inverseOf.value:
      add_flags(t.subject, kPropInverse);
      add_flags(t.object, kPropInverse);
      break;
    case vocab::rdfs_subClassOf.value: add_flags(t.subject, kClassSuper); break;
    case vocab::rdf_type.value:
      if (t.object == vocab::owl_TransitiveProperty) add_flags(t.subject, kPropTransitive);
      else if (t.object == vocab::owl_SymmetricProperty) add_flags(t.subject, kPropSymmetric);
      else if (t.object == vocab::owl_FunctionalProperty) add_flags(t.subject, kPropFunctional);
      else if (t.object == vocab::owl_InverseFunctionalProperty) add_flags(t.subject, kPropInverseFunctional);
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

// The rule table. Sides fire in the order listed (the order decides only
// the order of the output, never what is derived).
struct Engine::Dispatch {
  struct ByFlag {
    std::uint32_t flag;
    DataRule rule;
    const char* names;
  };
  struct ByPredicate {
    TermId predicate;
    SchemaRule rule;
    const char* names;
  };
  struct ByClassFlag {
    std::uint32_t flag;
    TypingRule rule;
    const char* names;
  };
  struct ByType {
    TermId type;
    TypingRule rule;
    const char* names;
  };

  // "x p y" where p carries the flag.
  static constexpr ByFlag kData[] = {
      {kPropDomain, &Engine::prp_dom, "prp-dom"},
      {kPropRange, &Engine::prp_rng, "prp-rng"},
      {kPropSuper, &Engine::prp_spo1, "prp-spo1"},
      {kPropInverse, &Engine::prp_inv, "prp-inv1 prp-inv2"},
      {kPropSymmetric, &Engine::prp_symp, "prp-symp"},
      {kPropTransitive, &Engine::prp_trp, "prp-trp"},
      {kPropFunctional, &Engine::prp_fp, "prp-fp"},
      {kPropInverseFunctional, &Engine::prp_ifp, "prp-ifp"},
      {kPropChain, &Engine::prp_spo2, "prp-spo2"},
      {kPropKey, &Engine::prp_key, "prp-key"},
      {kPropRestriction, &Engine::restriction_data, "cls-svf1 cls-svf2 cls-avf cls-hv2 cls-maxc2 cls-maxqc3 cls-maxqc4"},
  };
  // A triple of a vocabulary predicate (rdf:type excepted).
  static constexpr ByPredicate kSchema[] = {
      {vocab::rdfs_subClassOf, &Engine::scm_sco, "scm-sco scm-eqc2"},
      {vocab::rdfs_subClassOf, &Engine::scm_svf_avf_by_subclass, "scm-svf1 scm-avf1"},
      {vocab::rdfs_subClassOf, &Engine::scm_dom1_rng1_by_link, "scm-dom1 scm-rng1"},
      {vocab::rdfs_subClassOf, &Engine::cax_sco_by_link, "cax-sco"},
      {vocab::owl_equivalentClass, &Engine::scm_eqc1, "scm-eqc1"},
      {vocab::rdfs_subPropertyOf, &Engine::scm_spo, "scm-spo scm-eqp2"},
      {vocab::rdfs_subPropertyOf, &Engine::scm_dom2_rng2_by_link, "scm-dom2 scm-rng2"},
      {vocab::rdfs_subPropertyOf, &Engine::prp_spo1_by_axiom, "prp-spo1"},
      {vocab::rdfs_subPropertyOf, &Engine::scm_svf_avf_by_subproperty, "scm-hv scm-svf2 scm-avf2"},
      {vocab::owl_equivalentProperty, &Engine::scm_eqp1, "scm-eqp1"},
      {vocab::rdfs_domain, &Engine::scm_dom_rng_by_axiom, "scm-dom1 scm-dom2"},
      {vocab::rdfs_domain, &Engine::prp_dom_rng_by_axiom, "prp-dom"},
      {vocab::rdfs_range, &Engine::scm_dom_rng_by_axiom, "scm-rng1 scm-rng2"},
      {vocab::rdfs_range, &Engine::prp_dom_rng_by_axiom, "prp-rng"},
      {vocab::owl_inverseOf, &Engine::prp_inv_by_axiom, "prp-inv1 prp-inv2"},
      {vocab::owl_onProperty, &Engine::restriction_by_axiom, "restrictions"},
      {vocab::owl_someValuesFrom, &Engine::restriction_by_axiom, "restrictions"},
      {vocab::owl_allValuesFrom, &Engine::restriction_by_axiom, "restrictions"},
      {vocab::owl_hasValue, &Engine::restriction_by_axiom, "restrictions"},
      {vocab::owl_maxCardinality, &Engine::restriction_by_axiom, "restrictions"},
      {vocab::owl_maxQualifiedCardinality, &Engine::restriction_by_axiom, "restrictions"},
      {vocab::owl_onClass, &Engine::restriction_by_axiom, "restrictions"},
      {vocab::owl_intersectionOf, &Engine::list_by_axiom, "cls-int1 scm-int"},
      {vocab::owl_unionOf, &Engine::list_by_axiom, "scm-uni"},
      {vocab::owl_oneOf, &Engine::list_by_axiom, "cls-oo"},
      {vocab::owl_propertyChainAxiom, &Engine::list_by_axiom, "prp-spo2"},
      {vocab::owl_hasKey, &Engine::list_by_axiom, "prp-key"},
      {vocab::rdf_first, &Engine::list_cell_changed, "lists"},
      {vocab::rdf_rest, &Engine::list_cell_changed, "lists"},
  };
  // "x rdf:type c" where c carries the flag.
  static constexpr ByClassFlag kTyping[] = {
      {kClassSuper, &Engine::cax_sco, "cax-sco"},
      {kClassInIntersection, &Engine::cls_int1, "cls-int1"},
      {kClassRestriction, &Engine::restriction_by_member, "cls-avf cls-hv1 cls-maxc2 cls-maxqc3"},
      {kClassFiller, &Engine::restriction_by_filler, "cls-svf1 cls-maxc2 cls-maxqc3"},
      {kClassKeyed, &Engine::prp_key_by_type, "prp-key"},
  };
  // "x rdf:type c" for a vocabulary class c.
  static constexpr ByType kVocabularyTyping[] = {
      {vocab::owl_Class, &Engine::scm_cls, "scm-cls"},
      {vocab::owl_ObjectProperty, &Engine::scm_op_dp, "scm-op"},
      {vocab::owl_DatatypeProperty, &Engine::scm_op_dp, "scm-dp"},
      {vocab::owl_TransitiveProperty, &Engine::prp_trp_by_type, "prp-trp"},
      {vocab::owl_SymmetricProperty, &Engine::prp_symp_by_type, "prp-symp"},
      {vocab::owl_FunctionalProperty, &Engine::prp_fp_by_type, "prp-fp"},
      {vocab::owl_InverseFunctionalProperty, &Engine::prp_ifp_by_type, "prp-ifp"},
  };

  // Each table is walked by a fold over its constant entries, so every
  // rule is a direct call, inlined where the compiler sees fit.
  template <std::size_t... I>
  static void fire_data(Engine& e, std::uint32_t pflags, std::uint32_t index, const Triple& t,
                        std::index_sequence<I...>) {
    ((pflags & kData[I].flag ? (e.*kData[I].rule)(index, t) : void()), ...);
  }
  template <std::size_t... I>
  static void fire_schema(Engine& e, std::uint32_t index, const Triple& t, std::uint8_t flags,
                          std::index_sequence<I...>) {
    ((t.predicate == kSchema[I].predicate ? (e.*kSchema[I].rule)(index, t, flags) : void()), ...);
  }
  template <std::size_t... I>
  static void fire_typing(Engine& e, std::uint32_t cflags, TermId x, TermId c, std::index_sequence<I...>) {
    ((cflags & kTyping[I].flag ? (e.*kTyping[I].rule)(x, c) : void()), ...);
  }
  template <std::size_t... I>
  static void fire_vocabulary_typing(Engine& e, TermId x, TermId c, std::index_sequence<I...>) {
    ((c == kVocabularyTyping[I].type ? (e.*kVocabularyTyping[I].rule)(x, c) : void()), ...);
  }
};

// Bookkeeping of every typing "x rdf:type c", before its rules fire: the
// cls-int1 signature holds every class x was typed with so far, whether
// or not an intersection named the class at the time (an intersection
// compiled later must still see the earlier typings); the operand
// processed last finds every bit set. Off once equality has united terms
// (a signature names the ids it was built from).
void Engine::note_typing(TermId x, TermId c) {
  if (!eq_.trivial() || dict_.is_literal(x)) return;
  if (x.value >= type_signatures_.size())
    type_signatures_.resize(std::max<std::size_t>(x.value + 1, type_signatures_.size() * 2), Signature{});
  add_to_signature(type_signatures_[x.value], c);
}

void Engine::process(std::uint32_t index) {
  if (store_.dead(index)) return;
  const Triple t = store_.at(index);
  older_than_ = (store_.flags(index) & kRevisit) ? kNoTriple : index;
  store_.clear_flags(index, kRevisit);
  if (std::uint32_t pflags = flags_of(t.predicate)) {
    // prp-dom and prp-rng: a triple derived only by chaining its own
    // predicate (prp-trp, scm-sco) starts where a base edge starts and ends
    // where one ends, so its domain and range typings are derived already.
    // Domains and ranges derived by scm-dom1/2 and scm-rng1/2 (kCovered)
    // type nothing that cax-sco and prp-spo1 do not type already. Newer
    // domain and range triples join with this one when processed. An older
    // live triple with the same predicate and subject (object) has typed
    // the subject (object) with every domain (range) already, or will when
    // they join.
    if (store_.flags(index) & kByTransitivity) pflags &= ~(kPropDomain | kPropRange);
    if ((pflags & kPropDomain) && store_.older_with_subject(index)) pflags &= ~kPropDomain;
    if ((pflags & kPropRange) && store_.older_with_object(index)) pflags &= ~kPropRange;
    Dispatch::fire_data(*this, pflags, index, t, std::make_index_sequence<std::size(Dispatch::kData)>());
  }
  if (t.predicate == vocab::rdf_type) {
    note_typing(t.subject, t.object);
    if (std::uint32_t cflags = flags_of(t.object))
      Dispatch::fire_typing(*this, cflags, t.subject, t.object, std::make_index_sequence<std::size(Dispatch::kTyping)>());
    if (t.object.value <= vocab::kLast.value)
      Dispatch::fire_vocabulary_typing(*this, t.subject, t.object,
                                       std::make_index_sequence<std::size(Dispatch::kVocabularyTyping)>());
  } else if (t.predicate.value <= vocab::kLast.value) {
    Dispatch::fire_schema(*this, index, t, store_.flags(index), std::make_index_sequence<std::size(Dispatch::kSchema)>());
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
  if (dict_.is_literal(t.subject)) return false;
  if (t.subject == t.object && (t.predicate == vocab::owl_equivalentClass || t.predicate == vocab::owl_equivalentProperty ||
                     t.predicate == vocab::owl_inverseOf || t.predicate == vocab::owl_sameAs))
    return false;
  if (options_.emit_tautologies || (flags & kAsserted)) return true;
  if (t.predicate == vocab::rdfs_subClassOf)
    return !(t.subject == t.object || t.object == vocab::owl_Thing || t.subject == vocab::owl_Nothing);
  if (t.predicate == vocab::rdfs_subPropertyOf) return t.subject != t.object;
  if (t.predicate == vocab::rdf_type) return t.object != vocab::owl_Thing;
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
    std::uint32_t c = store_.find(Triple{find(t.subject), find(t.predicate), find(t.object)});
    if (c == kNoTriple || store_.dead(c) || expanded[c]) continue;
    expanded[c] = true;
    const Triple ct = store_.at(c);
    std::uint8_t flags = store_.flags(c);
    eq_.for_members(ct.subject, [&](TermId s) {
      eq_.for_members(ct.predicate, [&](TermId p) {
        eq_.for_members(ct.object, [&](TermId o) {
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
