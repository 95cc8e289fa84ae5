#include "bridge/merge.h"

#include <array>
#include <optional>

#include <fmt/format.h>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

#include "core/characteristic.h"
#include "materializer/vocabulary.h"
#include "rdf/characteristic.h"

namespace trelvanic_bridge {

namespace v = trelvanic_materializer::vocab;
using trelvanic_core::Axiom;
using trelvanic_core::AxiomKind;
using trelvanic_core::AxiomView;
using trelvanic_core::DataLiteral;
using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_core::Ontology;
using trelvanic_materializer::TermKind;

namespace {

Error entity_limit(size_t max_entities) {
  return Error::message_text(fmt::format("entity limit {} would be exceeded during merge", max_entities));
}

// What identifies an axiom for the duplicate check: its form and its first
// operands (two for a list, the store's order), so a listed pair is found
// whatever order the triple named it in. Data and negative assertions have
// none.
using Key = std::array<uint32_t, 4>;

std::optional<Key> axiom_key(const AxiomView& a) {
  const auto k = static_cast<uint32_t>(a.kind());
  switch (a.kind()) {
    case AxiomKind::EquivalentClasses:
    case AxiomKind::DisjointClasses:
    case AxiomKind::EquivalentObjectProperties:
    case AxiomKind::SameIndividual:
    case AxiomKind::DifferentIndividuals:
      if (a.operands().size() < 2) return std::nullopt;
      return Key{k, a.operands()[0].value, a.operands()[1].value, 0};
    case AxiomKind::DataPropertyAssertion:
    case AxiomKind::NegativeObjectPropertyAssertion:
    case AxiomKind::NegativeDataPropertyAssertion:
      return std::nullopt;
    default:
      return Key{k, a.id(0).value, a.id(1).value, a.id(2).value};
  }
}

// The reserved vocabulary of RDF, RDFS, OWL 2 and XML Schema, by full IRI.
bool is_reserved_iri(std::string_view iri) {
  for (std::string_view ns : {"http://www.w3.org/1999/02/22-rdf-syntax-ns#", "http://www.w3.org/2000/01/rdf-schema#",
                              "http://www.w3.org/2002/07/owl#", "http://www.w3.org/2001/XMLSchema#"}) {
    if (iri.starts_with(ns)) return true;
  }
  return false;
}

// One merge: the lookups of IRI terms as entities, cached per term and
// wanted kind, and the messages of kind mismatches.
//
// A merge adds axioms about the entities the ontology has; it never changes
// what an entity is. A triple that would need an entity as a kind it lacks
// (a property or a class typed as an individual, which punning would turn
// into another kind) is dropped: a mismatch the registry could not pun is
// noted in the messages, a pun is dropped silently. Nor does a triple about
// reserved vocabulary (rdf:Property, owl:DatatypeProperty, owl:topDataProperty
// ...; RDF-level facts about the language itself, such as every property
// typed rdf:Property) say anything about the ontology's entities: such a
// triple is dropped too, except for owl:Thing and owl:Nothing, which are
// classes.
class Merger {
 public:
  // `known`: term id -> entity id + 1 where the term's text is known to
  // look that entity up (see ExportSummary::entity_of_term), 0 elsewhere.
  Merger(Ontology& o, const Dictionary& dict, size_t max_entities, std::span<const uint32_t> known)
      : o_(o), dict_(dict), max_entities_(max_entities), known_(known) {}

  // The entity, none after a kind mismatch (message recorded) or a kind the
  // entity lacks, or an error.
  Result<std::optional<EntityId>> get(TermId term, EntityKind wanted) {
    const int slot = wanted == EntityKind::Class ? 0 : wanted == EntityKind::Individual ? 1
                     : wanted == EntityKind::ObjectProperty ? 2 : 3;
    if (term.value < cache_.size() && cache_[term.value][slot] != 0) {
      const uint32_t cached = cache_[term.value][slot];
      if (cached == kLacksKind) return std::optional<EntityId>();
      return EntityId(cached - 1);
    }
    if (term.value >= cache_.size()) cache_.resize(std::max<size_t>(term.value + 1, dict_.size() + 1));
    const std::string_view text = dict_.value(term);
    const std::optional<EntityId> found = term.value < known_.size() && known_[term.value] != 0
                                              ? std::optional(EntityId(known_[term.value] - 1))
                                              : o_.lookup_entity(text);
    if (found) {
      const auto record = TRELVANIC_BRIDGE_TRY_CORE(o_.entity(*found));
      if (!trelvanic_core::kind_satisfies(record.kind, wanted) && trelvanic_core::merge_punning(record.kind, wanted)) {
        cache_[term.value][slot] = kLacksKind;
        return std::optional<EntityId>();
      }
    }
    auto id = insert_looked_up(o_, text, found, wanted, max_entities_);
    if (!id) {
      if (id.error().kind() == Error::Kind::Core &&
          id.error().core_error().kind() == trelvanic_core::ErrorKind::EntityKindMismatch) {
        messages.push_back(id.error().core_error().message());
        return std::optional<EntityId>();
      }
      return std::unexpected(id.error());
    }
    cache_[term.value][slot] = id->value + 1;
    return std::optional<EntityId>(*id);
  }

  // Whether an IRI term may name an entity of the ontology: not reserved
  // vocabulary, apart from owl:Thing and owl:Nothing. Blank nodes and
  // literals pass (the steps treat them apart).
  bool names_entity(TermId term) {
    if (term == v::owl_Thing || term == v::owl_Nothing) return true;
    if (term.value != 0 && term.value <= v::kLast.value) return false;
    if (dict_.kind(term) != TermKind::Iri) return true;
    if (term.value >= reserved_.size()) reserved_.resize(std::max<size_t>(term.value + 1, dict_.size() + 1));
    if (reserved_[term.value] == 0) reserved_[term.value] = is_reserved_iri(dict_.value(term)) ? 2 : 1;
    return reserved_[term.value] == 1;
  }

  std::vector<std::string> messages;

 private:
  static constexpr uint32_t kLacksKind = ~uint32_t{0};

  Ontology& o_;
  const Dictionary& dict_;
  size_t max_entities_;
  std::span<const uint32_t> known_;
  std::vector<std::array<uint32_t, 4>> cache_;  // term -> entity id + 1 (or kLacksKind) per wanted kind
  std::vector<uint8_t> reserved_;               // term -> 0 unknown, 1 names an entity, 2 reserved
};

struct RestrictionRecord {
  std::optional<TermId> on_property;
  std::optional<TermId> some_values_from;
  bool typed = false;
};

// Restriction nodes and the classes linked to them by rdfs:subClassOf.
struct Restrictions {
  absl::flat_hash_map<uint32_t, RestrictionRecord> records;
  std::vector<std::pair<TermId, TermId>> links;  // (class, restriction node)
};

Restrictions restrictions_of(const Dictionary& dict, std::span<const Triple> output) {
  Restrictions out;
  for (const Triple& t : output) {
    const bool blank_subject = dict.kind(t.subject) == TermKind::Blank;
    if (blank_subject) {
      RestrictionRecord& r = out.records[t.subject.value];
      const bool iri_object = dict.kind(t.object) == TermKind::Iri;
      if (t.predicate == v::rdf_type && t.object == v::owl_Restriction) r.typed = true;
      if (t.predicate == v::owl_onProperty) r.on_property = iri_object ? std::optional(t.object) : std::nullopt;
      if (t.predicate == v::owl_someValuesFrom) r.some_values_from = iri_object ? std::optional(t.object) : std::nullopt;
    } else if (t.predicate == v::rdfs_subClassOf && dict.kind(t.object) == TermKind::Blank) {
      out.links.emplace_back(t.subject, t.object);
    }
  }
  return out;
}

// A told form found in the output, kept compact until the duplicate check:
// most output triples restate what the ontology holds.
struct Found {
  AxiomKind kind;
  std::array<EntityId, 3> ids;
  TermId literal;  // DataPropertyAssertion's value
};

// The told forms of the output triples, in the order found.
class FormFinder {
 public:
  FormFinder(Merger& m, const Dictionary& dict, size_t expected) : m_(m), dict_(dict) { found.reserve(expected); }

  // SubClassOfExistential from each class linked to a complete restriction
  // node over entities.
  Result<void> existentials(const Restrictions& r) {
    for (const auto& [cls, node] : r.links) {
      auto it = r.records.find(node.value);
      if (it == r.records.end() || !it->second.typed || !it->second.on_property || !it->second.some_values_from)
        continue;
      if (!m_.names_entity(cls) || !m_.names_entity(*it->second.on_property) ||
          !m_.names_entity(*it->second.some_values_from))
        continue;
      auto c = TRELVANIC_BRIDGE_TRY(m_.get(cls, EntityKind::Class));
      if (!c) continue;
      auto p = TRELVANIC_BRIDGE_TRY(m_.get(*it->second.on_property, EntityKind::ObjectProperty));
      if (!p) continue;
      auto f = TRELVANIC_BRIDGE_TRY(m_.get(*it->second.some_values_from, EntityKind::Class));
      if (!f) continue;
      push(AxiomKind::SubClassOfExistential, *c, *p, *f);
    }
    return {};
  }

  // The one told form of a triple with a named subject, if it has one.
  Result<void> triple(const Triple& t) {
    if (dict_.kind(t.subject) == TermKind::Blank || !m_.names_entity(t.subject)) return {};
    const TermKind ok = dict_.kind(t.object);
    if (ok == TermKind::Literal) return data_assertion(t);
    if (ok == TermKind::Blank) return {};
    if (auto ch = t.predicate == v::rdf_type ? trelvanic_rdf::characteristic_of_type(t.object) : std::nullopt) {
      auto q = TRELVANIC_BRIDGE_TRY(m_.get(t.subject, EntityKind::ObjectProperty));
      if (q) push(characteristic_row(*ch).told, *q);
      return {};
    }
    if (!m_.names_entity(t.object)) return {};
    // A pair of a term with itself states nothing.
    const bool self = t.subject == t.object;
    const TermId p = t.predicate;
    constexpr EntityKind kInd = EntityKind::Individual, kClass = EntityKind::Class, kProp = EntityKind::ObjectProperty;
    if (p == v::owl_sameAs) return self ? Result<void>() : pair(t, kInd, kInd, AxiomKind::SameIndividual);
    if (p == v::owl_differentFrom) return self ? Result<void>() : pair(t, kInd, kInd, AxiomKind::DifferentIndividuals);
    if (p == v::owl_disjointWith) return self ? Result<void>() : pair(t, kClass, kClass, AxiomKind::DisjointClasses);
    if (p == v::owl_equivalentClass)
      return self ? Result<void>() : pair(t, kClass, kClass, AxiomKind::EquivalentClasses);
    if (p == v::owl_equivalentProperty)
      return self ? Result<void>() : pair(t, kProp, kProp, AxiomKind::EquivalentObjectProperties);
    if (p == v::owl_inverseOf) {
      if (!self) return pair(t, kProp, kProp, AxiomKind::InverseObjectProperties);
      // A property that is its own inverse is symmetric.
      auto q = TRELVANIC_BRIDGE_TRY(m_.get(t.subject, kProp));
      if (q) push(AxiomKind::SymmetricObjectProperty, *q);
      return {};
    }
    if (p == v::rdfs_subClassOf) return self ? Result<void>() : pair(t, kClass, kClass, AxiomKind::SubClassOf);
    if (p == v::rdfs_subPropertyOf)
      return self ? Result<void>() : pair(t, kProp, kProp, AxiomKind::SubObjectPropertyOf);
    if (p == v::rdfs_domain) return pair(t, kProp, kClass, AxiomKind::ObjectPropertyDomain);
    if (p == v::rdfs_range) return pair(t, kProp, kClass, AxiomKind::ObjectPropertyRange);
    // Declarations (owl:Class, owl:NamedIndividual, ...) are reserved
    // objects and were passed over above.
    if (p == v::rdf_type) return pair(t, kInd, kClass, AxiomKind::ClassAssertion);
    // Other standard vocabulary (owl:propertyDisjointWith, owl:hasKey, list
    // cells, ...) has no told form.
    if (!m_.names_entity(p)) return {};
    return object_assertion(t);
  }

  std::vector<Found> found;

 private:
  void push(AxiomKind kind, EntityId a, EntityId b = {}, EntityId c = {}) {
    found.push_back(Found{kind, {a, b, c}, TermId{}});
  }

  // The subject as `ks` and the object as `ko`.
  Result<void> pair(const Triple& t, EntityKind ks, EntityKind ko, AxiomKind kind) {
    auto a = TRELVANIC_BRIDGE_TRY(m_.get(t.subject, ks));
    if (!a) return {};
    auto b = TRELVANIC_BRIDGE_TRY(m_.get(t.object, ko));
    if (!b) return {};
    push(kind, *a, *b);
    return {};
  }

  Result<void> data_assertion(const Triple& t) {
    if (!m_.names_entity(t.predicate)) return {};  // rdfs:label and other vocabulary
    auto s = TRELVANIC_BRIDGE_TRY(m_.get(t.subject, EntityKind::Individual));
    if (!s) return {};
    auto p = TRELVANIC_BRIDGE_TRY(m_.get(t.predicate, EntityKind::DataProperty));
    if (!p) return {};
    found.push_back(Found{AxiomKind::DataPropertyAssertion, {*s, *p, EntityId{}}, t.object});
    return {};
  }

  Result<void> object_assertion(const Triple& t) {
    auto s = TRELVANIC_BRIDGE_TRY(m_.get(t.subject, EntityKind::Individual));
    if (!s) return {};
    auto q = TRELVANIC_BRIDGE_TRY(m_.get(t.predicate, EntityKind::ObjectProperty));
    if (!q) return {};
    auto o = TRELVANIC_BRIDGE_TRY(m_.get(t.object, EntityKind::Individual));
    if (!o) return {};
    push(AxiomKind::ObjectPropertyAssertion, *s, *q, *o);
    return {};
  }

  Merger& m_;
  const Dictionary& dict_;
};

Axiom found_axiom(const Found& f, const Dictionary& dict) {
  const EntityId x = f.ids[0], y = f.ids[1], z = f.ids[2];
  auto value = [&] {
    return DataLiteral{std::string(dict.value(f.literal)), std::string(dict.value(dict.datatype(f.literal)))};
  };
  switch (f.kind) {
    case AxiomKind::SubClassOf: return Axiom::sub_class_of(x, y);
    case AxiomKind::EquivalentClasses: return Axiom::equivalent_classes({x, y});
    case AxiomKind::DisjointClasses: return Axiom::disjoint_classes({x, y});
    case AxiomKind::ObjectPropertyDomain: return Axiom::object_property_domain(x, y);
    case AxiomKind::ObjectPropertyRange: return Axiom::object_property_range(x, y);
    case AxiomKind::SubObjectPropertyOf: return Axiom::sub_object_property_of(x, y);
    case AxiomKind::InverseObjectProperties: return Axiom::inverse_object_properties(x, y);
    case AxiomKind::SubClassOfExistential: return Axiom::sub_class_of_existential(x, y, z);
    TRELVANIC_CHARACTERISTIC_AXIOM_CASES return Axiom::property_characteristic(f.kind, x);
    case AxiomKind::EquivalentObjectProperties: return Axiom::equivalent_object_properties({x, y});
    case AxiomKind::ClassAssertion: return Axiom::class_assertion(x, y);
    case AxiomKind::ObjectPropertyAssertion: return Axiom::object_property_assertion(x, y, z);
    case AxiomKind::DataPropertyAssertion: return Axiom::data_property_assertion(x, y, value());
    case AxiomKind::NegativeObjectPropertyAssertion: return Axiom::negative_object_property_assertion(x, y, z);
    case AxiomKind::NegativeDataPropertyAssertion: return Axiom::negative_data_property_assertion(x, y, value());
    case AxiomKind::SameIndividual: return Axiom::same_individual({x, y});
    case AxiomKind::DifferentIndividuals: return Axiom::different_individuals({x, y});
  }
  return Axiom::sub_class_of(x, y);
}

// The positions of the found forms neither the ontology (`keys`) nor an
// earlier form holds, in the order found. Lists and inverse pairs are
// stored smaller id first; data assertions are told apart by their value
// too.
std::vector<uint32_t> new_forms(std::vector<Found>& found, absl::flat_hash_set<Key>& keys) {
  std::vector<uint32_t> fresh_at;
  fresh_at.reserve(found.size());
  absl::flat_hash_set<std::array<uint32_t, 3>> data_seen;
  for (size_t i = 0; i < found.size(); ++i) {
    Found& f = found[i];
    const bool pair_form = trelvanic_core::axiom_kind_is_nary(f.kind) || f.kind == AxiomKind::InverseObjectProperties;
    if (pair_form && f.ids[1] < f.ids[0]) std::swap(f.ids[0], f.ids[1]);
    const bool fresh = f.kind == AxiomKind::DataPropertyAssertion
                           ? data_seen.insert({f.ids[0].value, f.ids[1].value, f.literal.value}).second
                           : keys.insert(Key{static_cast<uint32_t>(f.kind), f.ids[0].value, f.ids[1].value,
                                             f.ids[2].value}).second;
    if (fresh) fresh_at.push_back(static_cast<uint32_t>(i));
  }
  return fresh_at;
}

}  // namespace

Result<EntityId> lookup_or_insert(Ontology& ontology, std::string_view iri, EntityKind wanted, size_t max_entities) {
  return insert_looked_up(ontology, iri, ontology.lookup_entity(iri), wanted, max_entities);
}

Result<EntityId> insert_looked_up(Ontology& ontology, std::string_view iri, std::optional<EntityId> found,
                                  EntityKind wanted, size_t max_entities) {
  if (found) {
    const auto record = TRELVANIC_BRIDGE_TRY_CORE(ontology.entity(*found));
    if (trelvanic_core::kind_satisfies(record.kind, wanted)) return *found;
    if (trelvanic_core::merge_punning(record.kind, wanted)) return TRELVANIC_BRIDGE_TRY_CORE(ontology.entity_id(iri, wanted));
    return core_error(trelvanic_core::Error::entity_kind_mismatch(std::string(iri), wanted, record.kind));
  }
  if (ontology.entity_count() >= max_entities) return std::unexpected(entity_limit(max_entities));
  return TRELVANIC_BRIDGE_TRY_CORE(ontology.entity_id(iri, wanted));
}

Result<MergeReport> merge_triples_into_ontology_inner(Ontology& ontology, const Dictionary& dict,
                                                      std::span<const Triple> output,
                                                      std::span<const Problem> problems, size_t max_axioms,
                                                      size_t max_entities, size_t live_before,
                                                      std::span<const uint32_t> known_terms) {
  if (ontology.entity_count() >= max_entities) return std::unexpected(entity_limit(max_entities));

  // The told forms: existentials from restriction nodes first, then one
  // form per triple.
  const Restrictions restrictions = restrictions_of(dict, output);
  Merger m(ontology, dict, max_entities, known_terms);
  FormFinder finder(m, dict, output.size());
  TRELVANIC_BRIDGE_TRY(finder.existentials(restrictions));
  for (const Triple& t : output) TRELVANIC_BRIDGE_TRY(finder.triple(t));

  // What the ontology holds already (finding forms adds no axioms).
  absl::flat_hash_set<Key> keys;
  keys.reserve(ontology.axioms().live_count() + finder.found.size());
  ontology.axioms().for_each_live([&](trelvanic_core::AxiomId, const AxiomView& a) {
    if (auto k = axiom_key(a)) keys.insert(*k);
  });
  const std::vector<uint32_t> fresh_at = new_forms(finder.found, keys);
  const size_t live_now = ontology.axioms().live_count();
  if (live_now + fresh_at.size() > max_axioms)
    return std::unexpected(Error::message_text(fmt::format(
        "axiom limit {} would be exceeded during merge ({} new axioms)", max_axioms, fresh_at.size())));
  for (uint32_t i : fresh_at)
    TRELVANIC_BRIDGE_TRY_CORE(ontology.add_inferred_axiom(found_axiom(finder.found[i], dict)));

  MergeReport report;
  for (const Problem& p : problems) report.clashes.push_back(fmt::format("{}: {}", p.rule, p.message));
  for (std::string& msg : m.messages) report.clashes.push_back(std::move(msg));
  const size_t live_after = ontology.axioms().live_count();
  report.added_axioms = live_after > live_before ? live_after - live_before : 0;
  return report;
}

Result<MergeReport> merge_term_triples(Ontology& ontology, std::span<const TermTriple> output,
                                       std::span<const Problem> problems, size_t max_axioms, size_t max_entities,
                                       size_t live_before) {
  Dictionary dict;
  std::vector<Triple> triples;
  triples.reserve(output.size());
  for (const TermTriple& t : output) triples.push_back(Triple{dict.intern(t.s), dict.intern(t.p), dict.intern(t.o)});
  return merge_triples_into_ontology_inner(ontology, dict, triples, problems, max_axioms, max_entities, live_before);
}

}  // namespace trelvanic_bridge
