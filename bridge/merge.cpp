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
  Merger(Ontology& o, const Dictionary& dict, size_t max_entities)
      : o_(o), dict_(dict), max_entities_(max_entities) {}

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
    if (auto found = o_.lookup_entity(text)) {
      const auto record = TRELVANIC_BRIDGE_TRY_CORE(o_.entity(*found));
      if (!trelvanic_core::kind_satisfies(record.kind, wanted) && trelvanic_core::merge_punning(record.kind, wanted)) {
        cache_[term.value][slot] = kLacksKind;
        return std::optional<EntityId>();
      }
    }
    auto id = lookup_or_insert(o_, text, wanted, max_entities_);
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
  std::vector<std::array<uint32_t, 4>> cache_;  // term -> entity id + 1 (or kLacksKind) per wanted kind
  std::vector<uint8_t> reserved_;               // term -> 0 unknown, 1 names an entity, 2 reserved
};

struct RestrictionRecord {
  std::optional<TermId> on_property;
  std::optional<TermId> some_values_from;
  bool typed = false;
};

}  // namespace

Result<EntityId> lookup_or_insert(Ontology& ontology, std::string_view iri, EntityKind wanted, size_t max_entities) {
  if (auto found = ontology.lookup_entity(iri)) {
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
                                                      size_t max_entities, size_t live_before) {
  // 1. What the ontology holds already.
  absl::flat_hash_set<Key> keys;
  keys.reserve(ontology.axioms().live_count() + output.size());
  ontology.axioms().for_each_live([&](trelvanic_core::AxiomId, const AxiomView& a) {
    if (auto k = axiom_key(a)) keys.insert(*k);
  });
  // 2.
  if (ontology.entity_count() >= max_entities) return std::unexpected(entity_limit(max_entities));

  // 3. Restriction nodes and the classes linked to them.
  absl::flat_hash_map<uint32_t, RestrictionRecord> records;
  std::vector<std::pair<TermId, TermId>> links;  // (class, restriction node)
  for (const Triple& t : output) {
    const bool blank_subject = dict.kind(t.subject) == TermKind::Blank;
    if (blank_subject) {
      RestrictionRecord& r = records[t.subject.value];
      const bool iri_object = dict.kind(t.object) == TermKind::Iri;
      if (t.predicate == v::rdf_type && t.object == v::owl_Restriction) r.typed = true;
      if (t.predicate == v::owl_onProperty) r.on_property = iri_object ? std::optional(t.object) : std::nullopt;
      if (t.predicate == v::owl_someValuesFrom) r.some_values_from = iri_object ? std::optional(t.object) : std::nullopt;
    } else if (t.predicate == v::rdfs_subClassOf && dict.kind(t.object) == TermKind::Blank) {
      links.emplace_back(t.subject, t.object);
    }
  }

  Merger m(ontology, dict, max_entities);
  // Found forms, kept compact until the duplicate check: most output
  // triples restate what the ontology holds.
  struct Found {
    AxiomKind kind;
    std::array<EntityId, 3> ids;
    TermId literal;  // DataPropertyAssertion's value
  };
  std::vector<Found> found;
  found.reserve(output.size());
  auto push = [&](AxiomKind kind, EntityId a, EntityId b = {}, EntityId c = {}) {
    found.push_back(Found{kind, {a, b, c}, TermId{}});
  };
  // 4. Existential restrictions.
  for (const auto& [cls, node] : links) {
    auto it = records.find(node.value);
    if (it == records.end() || !it->second.typed || !it->second.on_property || !it->second.some_values_from)
      continue;
    if (!m.names_entity(cls) || !m.names_entity(*it->second.on_property) ||
        !m.names_entity(*it->second.some_values_from))
      continue;
    auto c = TRELVANIC_BRIDGE_TRY(m.get(cls, EntityKind::Class));
    if (!c) continue;
    auto p = TRELVANIC_BRIDGE_TRY(m.get(*it->second.on_property, EntityKind::ObjectProperty));
    if (!p) continue;
    auto f = TRELVANIC_BRIDGE_TRY(m.get(*it->second.some_values_from, EntityKind::Class));
    if (!f) continue;
    push(AxiomKind::SubClassOfExistential, *c, *p, *f);
  }

  // 5. One told form per triple.
  auto pair = [&](TermId s, EntityKind ks, TermId o, EntityKind ko, AxiomKind kind) -> Result<void> {
    auto a = TRELVANIC_BRIDGE_TRY(m.get(s, ks));
    if (!a) return {};
    auto b = TRELVANIC_BRIDGE_TRY(m.get(o, ko));
    if (!b) return {};
    push(kind, *a, *b);
    return {};
  };
  for (const Triple& t : output) {
    if (dict.kind(t.subject) == TermKind::Blank || !m.names_entity(t.subject)) continue;
    const TermKind ok = dict.kind(t.object);
    if (ok == TermKind::Literal) {
      if (!m.names_entity(t.predicate)) continue;  // rdfs:label and other vocabulary
      auto s = TRELVANIC_BRIDGE_TRY(m.get(t.subject, EntityKind::Individual));
      if (!s) continue;
      auto p = TRELVANIC_BRIDGE_TRY(m.get(t.predicate, EntityKind::DataProperty));
      if (!p) continue;
      found.push_back(Found{AxiomKind::DataPropertyAssertion, {*s, *p, EntityId{}}, t.object});
      continue;
    }
    if (ok == TermKind::Blank) continue;
    if (auto ch = t.predicate == v::rdf_type ? trelvanic_rdf::characteristic_of_type(t.object) : std::nullopt) {
      auto q = TRELVANIC_BRIDGE_TRY(m.get(t.subject, EntityKind::ObjectProperty));
      if (q) push(characteristic_row(*ch).told, *q);
      continue;
    }
    if (!m.names_entity(t.object)) continue;
    // A pair of a term with itself states nothing.
    const bool self = t.subject == t.object;
    const TermId p = t.predicate;
    if (p == v::owl_sameAs) {
      if (!self) TRELVANIC_BRIDGE_TRY(pair(t.subject, EntityKind::Individual, t.object, EntityKind::Individual, AxiomKind::SameIndividual));
    } else if (p == v::owl_differentFrom) {
      if (!self) TRELVANIC_BRIDGE_TRY(pair(t.subject, EntityKind::Individual, t.object, EntityKind::Individual, AxiomKind::DifferentIndividuals));
    } else if (p == v::owl_disjointWith) {
      if (!self) TRELVANIC_BRIDGE_TRY(pair(t.subject, EntityKind::Class, t.object, EntityKind::Class, AxiomKind::DisjointClasses));
    } else if (p == v::owl_equivalentClass) {
      if (!self) TRELVANIC_BRIDGE_TRY(pair(t.subject, EntityKind::Class, t.object, EntityKind::Class, AxiomKind::EquivalentClasses));
    } else if (p == v::owl_equivalentProperty) {
      if (!self)
        TRELVANIC_BRIDGE_TRY(pair(t.subject, EntityKind::ObjectProperty, t.object, EntityKind::ObjectProperty,
                                  AxiomKind::EquivalentObjectProperties));
    } else if (p == v::owl_inverseOf) {
      if (self) {
        // A property that is its own inverse is symmetric.
        auto q = TRELVANIC_BRIDGE_TRY(m.get(t.subject, EntityKind::ObjectProperty));
        if (q) push(AxiomKind::SymmetricObjectProperty, *q);
      } else {
        TRELVANIC_BRIDGE_TRY(pair(t.subject, EntityKind::ObjectProperty, t.object, EntityKind::ObjectProperty,
                                  AxiomKind::InverseObjectProperties));
      }
    } else if (p == v::rdfs_subClassOf) {
      if (!self) TRELVANIC_BRIDGE_TRY(pair(t.subject, EntityKind::Class, t.object, EntityKind::Class, AxiomKind::SubClassOf));
    } else if (p == v::rdfs_subPropertyOf) {
      if (!self)
        TRELVANIC_BRIDGE_TRY(pair(t.subject, EntityKind::ObjectProperty, t.object, EntityKind::ObjectProperty,
                                  AxiomKind::SubObjectPropertyOf));
    } else if (p == v::rdfs_domain) {
      TRELVANIC_BRIDGE_TRY(pair(t.subject, EntityKind::ObjectProperty, t.object, EntityKind::Class, AxiomKind::ObjectPropertyDomain));
    } else if (p == v::rdfs_range) {
      TRELVANIC_BRIDGE_TRY(pair(t.subject, EntityKind::ObjectProperty, t.object, EntityKind::Class, AxiomKind::ObjectPropertyRange));
    } else if (p == v::rdf_type) {
      // Declarations (owl:Class, owl:NamedIndividual, ...) are reserved
      // objects and were passed over above.
      TRELVANIC_BRIDGE_TRY(pair(t.subject, EntityKind::Individual, t.object, EntityKind::Class, AxiomKind::ClassAssertion));
    } else if (!m.names_entity(p)) {
      // Other standard vocabulary (owl:propertyDisjointWith, owl:hasKey,
      // list cells, ...) has no told form.
    } else {
      auto s = TRELVANIC_BRIDGE_TRY(m.get(t.subject, EntityKind::Individual));
      if (!s) continue;
      auto q = TRELVANIC_BRIDGE_TRY(m.get(t.predicate, EntityKind::ObjectProperty));
      if (!q) continue;
      auto o = TRELVANIC_BRIDGE_TRY(m.get(t.object, EntityKind::Individual));
      if (!o) continue;
      push(AxiomKind::ObjectPropertyAssertion, *s, *q, *o);
    }
  }

  // 6. Duplicates, against the ontology and among the new ones.
  std::vector<Axiom> candidates;
  candidates.reserve(found.size());
  absl::flat_hash_set<std::array<uint32_t, 3>> data_seen;
  for (Found& f : found) {
    const bool pair_form = trelvanic_core::axiom_kind_is_nary(f.kind) || f.kind == AxiomKind::InverseObjectProperties;
    // Lists and inverse pairs are stored smaller id first.
    if (pair_form && f.ids[1] < f.ids[0]) std::swap(f.ids[0], f.ids[1]);
    if (f.kind == AxiomKind::DataPropertyAssertion) {
      if (!data_seen.insert({f.ids[0].value, f.ids[1].value, f.literal.value}).second) continue;
      candidates.push_back(Axiom::data_property_assertion(
          f.ids[0], f.ids[1],
          DataLiteral{std::string(dict.value(f.literal)), std::string(dict.value(dict.datatype(f.literal)))}));
      continue;
    }
    if (!keys.insert(Key{static_cast<uint32_t>(f.kind), f.ids[0].value, f.ids[1].value, f.ids[2].value}).second)
      continue;
    if (trelvanic_core::axiom_kind_is_nary(f.kind)) {
      Axiom a = f.kind == AxiomKind::SameIndividual          ? Axiom::same_individual({f.ids[0], f.ids[1]})
                : f.kind == AxiomKind::DifferentIndividuals  ? Axiom::different_individuals({f.ids[0], f.ids[1]})
                : f.kind == AxiomKind::DisjointClasses       ? Axiom::disjoint_classes({f.ids[0], f.ids[1]})
                : f.kind == AxiomKind::EquivalentClasses     ? Axiom::equivalent_classes({f.ids[0], f.ids[1]})
                                                             : Axiom::equivalent_object_properties({f.ids[0], f.ids[1]});
      candidates.push_back(std::move(a));
      continue;
    }
    switch (f.kind) {
      case AxiomKind::SubClassOf: candidates.push_back(Axiom::sub_class_of(f.ids[0], f.ids[1])); break;
      case AxiomKind::ObjectPropertyDomain: candidates.push_back(Axiom::object_property_domain(f.ids[0], f.ids[1])); break;
      case AxiomKind::ObjectPropertyRange: candidates.push_back(Axiom::object_property_range(f.ids[0], f.ids[1])); break;
      case AxiomKind::SubObjectPropertyOf: candidates.push_back(Axiom::sub_object_property_of(f.ids[0], f.ids[1])); break;
      case AxiomKind::InverseObjectProperties:
        candidates.push_back(Axiom::inverse_object_properties(f.ids[0], f.ids[1]));
        break;
      case AxiomKind::SubClassOfExistential:
        candidates.push_back(Axiom::sub_class_of_existential(f.ids[0], f.ids[1], f.ids[2]));
        break;
      case AxiomKind::ClassAssertion: candidates.push_back(Axiom::class_assertion(f.ids[0], f.ids[1])); break;
      case AxiomKind::ObjectPropertyAssertion:
        candidates.push_back(Axiom::object_property_assertion(f.ids[0], f.ids[1], f.ids[2]));
        break;
      default: candidates.push_back(Axiom::property_characteristic(f.kind, f.ids[0])); break;
    }
  }
  // 7.
  const size_t live_now = ontology.axioms().live_count();
  if (live_now + candidates.size() > max_axioms)
    return std::unexpected(Error::message_text(fmt::format(
        "axiom limit {} would be exceeded during merge ({} new axioms)", max_axioms, candidates.size())));
  // 8.
  for (Axiom& a : candidates) TRELVANIC_BRIDGE_TRY_CORE(ontology.add_inferred_axiom(std::move(a)));
  // 9.
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
