#include "bridge/triples.h"

#include <fmt/format.h>

#include <absl/container/flat_hash_set.h>

#include "core/characteristic.h"
#include "core/dirty.h"
#include "core/siphash.h"
#include "materializer/vocabulary.h"
#include "rdf/characteristic.h"
#include "rdf/term.h"

namespace trelvanic_bridge {

namespace v = trelvanic_materializer::vocab;
using trelvanic_core::AxiomId;
using trelvanic_core::AxiomKind;
using trelvanic_core::AxiomView;
using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_core::Ontology;

namespace {

constexpr std::string_view kXsdString = "http://www.w3.org/2001/XMLSchema#string";

constexpr std::string_view kNegativePropertyAssertion = "http://www.w3.org/2002/07/owl#NegativePropertyAssertion";

Result<void> check_iri(std::string_view text) {
  if (auto problem = trelvanic_rdf::iri_problem(text))
    return std::unexpected(Error::message_text(fmt::format("invalid IRI {}: {}", text, *problem)));
  return {};
}

std::vector<TermTriple> as_texts(const Dictionary& dict, std::span<const Triple> triples) {
  std::vector<TermTriple> out;
  out.reserve(triples.size());
  for (const Triple& t : triples) out.push_back(TermTriple{dict.term(t.subject), dict.term(t.predicate), dict.term(t.object)});
  return out;
}

}  // namespace

TripleExporter::TripleExporter(const Ontology& ontology, Dictionary& dict, std::vector<Triple>& out)
    : ontology_(ontology), dict_(dict), out_(out) {}

Result<TermId> TripleExporter::entity(EntityId id) {
  if (id.value < entity_terms_.size() && entity_terms_[id.value] != 0) return TermId{entity_terms_[id.value]};
  const std::string_view text = TRELVANIC_BRIDGE_TRY_CORE(ontology_.entity_iri(id));
  // Entity IRIs come from the ontology's IRI pool, which takes a text only
  // after the same syntax check under a length limit of its own: only a
  // text longer than the export's limit is left to fail here.
  if (text.size() > trelvanic_core::kDefaultMaxIriLen) TRELVANIC_BRIDGE_TRY(check_iri(text));
  const TermId term = dict_.iri(text);
  if (id.value >= entity_terms_.size()) entity_terms_.resize(std::max<size_t>(id.value + 1, ontology_.entity_count()), 0);
  entity_terms_[id.value] = term.value;
  return term;
}

std::vector<uint32_t> TripleExporter::entity_of_term() const {
  std::vector<uint32_t> out;
  for (uint32_t e = 0; e < entity_terms_.size(); ++e) {
    const uint32_t term = entity_terms_[e];
    if (term == 0) continue;
    // A lookup by the text finds this entity again when it reads the
    // text as it is (no "%23" to rewrite, within the lookup's length
    // limit, which the pool's checks then pass) and the registry names
    // this entity for its IRI.
    const auto record = ontology_.entity(EntityId(e));
    const auto text = ontology_.entity_iri(EntityId(e));
    if (!record || !text || text->size() > trelvanic_core::kDefaultMaxIriLen ||
        text->find("%23") != std::string_view::npos || ontology_.entities().find(record->iri) != EntityId(e))
      continue;
    if (term >= out.size()) out.resize(size_t{term} + 1, 0);
    out[term] = e + 1;
  }
  return out;
}

Result<void> TripleExporter::declaration(EntityId id, bool with_data_properties) {
  const auto record = TRELVANIC_BRIDGE_TRY_CORE(ontology_.entity(id));
  TermId type;
  switch (record.kind) {
    case EntityKind::Class: type = v::owl_Class; break;
    case EntityKind::Individual: type = v::owl_NamedIndividual; break;
    case EntityKind::ObjectProperty: type = v::owl_ObjectProperty; break;
    case EntityKind::DataProperty:
      if (with_data_properties) type = v::owl_DatatypeProperty;
      break;
    case EntityKind::AnnotationProperty:
    case EntityKind::Datatype:
    case EntityKind::ClassIndividual:
    case EntityKind::ClassObjectProperty:
    case EntityKind::ObjectPropertyIndividual:
      break;
  }
  if (!type) return {};
  const TermId e = TRELVANIC_BRIDGE_TRY(entity(id));
  emit(e, v::rdf_type, type);
  return {};
}

Result<void> TripleExporter::pairs(std::span<const EntityId> ops, TermId predicate) {
  for (size_t i = 0; i < ops.size(); ++i) {
    const TermId a = TRELVANIC_BRIDGE_TRY(entity(ops[i]));
    for (size_t j = i + 1; j < ops.size(); ++j) {
      const TermId b = TRELVANIC_BRIDGE_TRY(entity(ops[j]));
      emit(a, predicate, b);
    }
  }
  return {};
}

Result<TermId> TripleExporter::literal(std::string_view lexical, std::string_view datatype) {
  // Literals come in runs of one datatype: its check and term are kept
  // for the next literal.
  if (!last_datatype_term_ || datatype != last_datatype_) {
    TRELVANIC_BRIDGE_TRY(check_iri(datatype));
    last_datatype_.assign(datatype);
    last_datatype_term_ = datatype == kXsdString ? v::xsd_string : dict_.iri(datatype);
  }
  return dict_.literal(lexical, last_datatype_term_);
}

Result<void> TripleExporter::told_axiom(const AxiomView& a) {
  auto one = [&](EntityId x, TermId p, EntityId y) -> Result<void> {
    const TermId s = TRELVANIC_BRIDGE_TRY(entity(x));
    const TermId o = TRELVANIC_BRIDGE_TRY(entity(y));
    emit(s, p, o);
    return {};
  };
  switch (a.kind()) {
    case AxiomKind::SubClassOf: return one(a.subclass(), v::rdfs_subClassOf, a.superclass());
    case AxiomKind::EquivalentClasses: return pairs(a.operands(), v::owl_equivalentClass);
    case AxiomKind::DisjointClasses: return pairs(a.operands(), v::owl_disjointWith);
    case AxiomKind::ObjectPropertyDomain: return one(a.property(), v::rdfs_domain, a.domain());
    case AxiomKind::ObjectPropertyRange: return one(a.property(), v::rdfs_range, a.range());
    case AxiomKind::SubObjectPropertyOf: return one(a.sub_property(), v::rdfs_subPropertyOf, a.super_property());
    case AxiomKind::InverseObjectProperties: return one(a.left(), v::owl_inverseOf, a.right());
    case AxiomKind::SubClassOfExistential: {
      const TermId c = TRELVANIC_BRIDGE_TRY(entity(a.subclass()));
      const TermId p = TRELVANIC_BRIDGE_TRY(entity(a.property()));
      const TermId f = TRELVANIC_BRIDGE_TRY(entity(a.filler()));
      const TermId b =
          blank(fmt::format("rest_{}_{}_{}", a.subclass().value, a.property().value, a.filler().value));
      emit(c, v::rdfs_subClassOf, b);
      emit(b, v::rdf_type, v::owl_Restriction);
      emit(b, v::owl_onProperty, p);
      emit(b, v::owl_someValuesFrom, f);
      return {};
    }
    TRELVANIC_CHARACTERISTIC_AXIOM_CASES {
      const TermId p = TRELVANIC_BRIDGE_TRY(entity(a.property()));
      emit(p, v::rdf_type, trelvanic_rdf::characteristic_type(*characteristic_of(a.kind())));
      return {};
    }
    case AxiomKind::EquivalentObjectProperties: return pairs(a.operands(), v::owl_equivalentProperty);
    case AxiomKind::ClassAssertion: return one(a.individual(), v::rdf_type, a.class_id());
    case AxiomKind::ObjectPropertyAssertion: {
      const TermId s = TRELVANIC_BRIDGE_TRY(entity(a.subject()));
      const TermId p = TRELVANIC_BRIDGE_TRY(entity(a.property()));
      const TermId o = TRELVANIC_BRIDGE_TRY(entity(a.object()));
      emit(s, p, o);
      return {};
    }
    case AxiomKind::DataPropertyAssertion: {
      const TermId lt = TRELVANIC_BRIDGE_TRY(literal(a.literal().lexical, a.literal().datatype));
      const TermId s = TRELVANIC_BRIDGE_TRY(entity(a.subject()));
      const TermId p = TRELVANIC_BRIDGE_TRY(entity(a.property()));
      emit(s, p, lt);
      return {};
    }
    case AxiomKind::NegativeObjectPropertyAssertion:
    case AxiomKind::NegativeDataPropertyAssertion: {
      // One node per distinct assertion: equal assertions share it.
      const TermId s = TRELVANIC_BRIDGE_TRY(entity(a.subject()));
      const TermId p = TRELVANIC_BRIDGE_TRY(entity(a.property()));
      TermId target, target_pred;
      std::string label;
      if (a.kind() == AxiomKind::NegativeObjectPropertyAssertion) {
        target = TRELVANIC_BRIDGE_TRY(entity(a.object()));
        target_pred = v::owl_targetIndividual;
        label = fmt::format("npa_{}_{}_{}", a.subject().value, a.property().value, a.object().value);
      } else {
        target = TRELVANIC_BRIDGE_TRY(literal(a.literal().lexical, a.literal().datatype));
        target_pred = v::owl_targetValue;
        label = fmt::format("npa_{}_{}_l{}", a.subject().value, a.property().value, target.value);
      }
      const TermId x = blank(label);
      emit(x, v::rdf_type, dict_.iri(kNegativePropertyAssertion));
      emit(x, v::owl_sourceIndividual, s);
      emit(x, v::owl_assertionProperty, p);
      emit(x, target_pred, target);
      return {};
    }
    case AxiomKind::SameIndividual: return pairs(a.operands(), v::owl_sameAs);
    case AxiomKind::DifferentIndividuals: return pairs(a.operands(), v::owl_differentFrom);
  }
  return {};
}

Result<ExportSummary> export_ontology(const Ontology& ontology, Dictionary& dict, std::vector<Triple>& out) {
  const size_t start = out.size();
  ExportSummary summary;
  TripleExporter ex(ontology, dict, out);
  const size_t n = ontology.entity_count();
  for (uint32_t i = 0; i < n; ++i) TRELVANIC_BRIDGE_TRY(ex.declaration(EntityId(i), true));
  const auto& store = ontology.axioms();
  for (uint32_t i = 0; i < store.size(); ++i) {
    const AxiomId id(i);
    if (store.is_removed(id) || store.is_inferred(id)) continue;
    const AxiomView a = store.view(id);
    TRELVANIC_BRIDGE_TRY(ex.told_axiom(a));
    if (a.kind() == AxiomKind::SubClassOfExistential || a.kind() == AxiomKind::ReflexiveObjectProperty)
      ++summary.outside_rl;
  }
  for (size_t i = 0; i < ontology.dl().axiom_count(); ++i)
    if (!TRELVANIC_BRIDGE_TRY(ex.dl_axiom(i))) ++summary.outside_rl;
  summary.triples = out.size() - start;
  summary.entity_of_term = ex.entity_of_term();
  return summary;
}

bool rl_engine_decides(const Ontology& ontology) {
  Dictionary dict;
  std::vector<Triple> out;
  auto summary = export_ontology(ontology, dict, out);
  return summary && summary->outside_rl == 0;
}

Result<ExportSummary> export_axioms(const Ontology& ontology, std::span<const AxiomId> ids, Dictionary& dict,
                                    std::vector<Triple>& out) {
  const size_t start = out.size();
  TripleExporter ex(ontology, dict, out);
  absl::flat_hash_set<EntityId> seen;
  std::vector<EntityId> signature;  // first-seen order, so the output does not depend on hashing
  for (AxiomId id : ids) {
    const AxiomView a = TRELVANIC_BRIDGE_TRY_CORE(ontology.axioms().get(id));
    trelvanic_core::for_each_axiom_entity(a, [&](EntityId e) {
      if (seen.insert(e).second) signature.push_back(e);
    });
    TRELVANIC_BRIDGE_TRY(ex.told_axiom(a));
  }
  for (EntityId e : signature) TRELVANIC_BRIDGE_TRY(ex.declaration(e, false));
  ExportSummary summary;
  for (AxiomId id : ids) {
    const AxiomKind k = ontology.axioms().kind(id);
    if (k == AxiomKind::SubClassOfExistential || k == AxiomKind::ReflexiveObjectProperty) ++summary.outside_rl;
  }
  summary.triples = out.size() - start;
  return summary;
}

Result<std::vector<TermTriple>> core_to_triples(const Ontology& ontology) {
  Dictionary dict;
  std::vector<Triple> out;
  TRELVANIC_BRIDGE_TRY(export_ontology(ontology, dict, out));
  return as_texts(dict, out);
}

Result<std::vector<TermTriple>> core_to_triples_for_axioms(const Ontology& ontology, std::span<const AxiomId> ids) {
  Dictionary dict;
  std::vector<Triple> out;
  TRELVANIC_BRIDGE_TRY(export_axioms(ontology, ids, dict, out));
  return as_texts(dict, out);
}

Result<std::vector<TermTriple>> axiom_to_triples(const Ontology& ontology, const AxiomView& axiom) {
  Dictionary dict;
  std::vector<Triple> out;
  TripleExporter ex(ontology, dict, out);
  TRELVANIC_BRIDGE_TRY(ex.told_axiom(axiom));
  return as_texts(dict, out);
}

std::optional<uint64_t> axiom_entity_key(const AxiomView& a) {
  uint8_t tag;
  int n = 2;
  switch (a.kind()) {
    case AxiomKind::SubClassOf: tag = 0; break;
    case AxiomKind::SubObjectPropertyOf: tag = 1; break;
    case AxiomKind::ObjectPropertyDomain: tag = 2; break;
    case AxiomKind::ObjectPropertyRange: tag = 3; break;
    case AxiomKind::ClassAssertion: tag = 4; break;
    case AxiomKind::ObjectPropertyAssertion: tag = 5; n = 3; break;
    default: return std::nullopt;
  }
  trelvanic_core::SipHasher13 h;
  h.write_u8(tag);
  for (int i = 0; i < n; ++i) h.write_u32_le(a.id(i).value);
  return h.finish();
}

Result<std::optional<std::array<std::string, 3>>> axiom_triple_key(const Ontology& ontology, const AxiomView& a) {
  using Key = std::array<std::string, 3>;
  auto iri = [&](EntityId e) -> Result<std::string> {
    return std::string(TRELVANIC_BRIDGE_TRY_CORE(ontology.entity_iri(e)));
  };
  auto vocab_text = [](TermId t) { return std::string(trelvanic_rdf::vocab::kIris[t.value - 1]); };
  auto fixed = [&](EntityId s, std::string p, EntityId o) -> Result<std::optional<Key>> {
    return Key{TRELVANIC_BRIDGE_TRY(iri(s)), std::move(p), TRELVANIC_BRIDGE_TRY(iri(o))};
  };
  auto nary = [&](TermId p) -> Result<std::optional<Key>> {
    if (a.operands().size() < 2) return std::optional<Key>();
    return fixed(a.operands()[0], vocab_text(p), a.operands()[1]);
  };
  switch (a.kind()) {
    case AxiomKind::SubClassOf: return fixed(a.subclass(), vocab_text(v::rdfs_subClassOf), a.superclass());
    case AxiomKind::EquivalentClasses: return nary(v::owl_equivalentClass);
    case AxiomKind::DisjointClasses: return nary(v::owl_disjointWith);
    case AxiomKind::EquivalentObjectProperties: return nary(v::owl_equivalentProperty);
    case AxiomKind::SameIndividual: return nary(v::owl_sameAs);
    case AxiomKind::DifferentIndividuals: return nary(v::owl_differentFrom);
    case AxiomKind::ObjectPropertyDomain: return fixed(a.property(), vocab_text(v::rdfs_domain), a.domain());
    case AxiomKind::ObjectPropertyRange: return fixed(a.property(), vocab_text(v::rdfs_range), a.range());
    case AxiomKind::SubObjectPropertyOf:
      return fixed(a.sub_property(), vocab_text(v::rdfs_subPropertyOf), a.super_property());
    case AxiomKind::InverseObjectProperties: return fixed(a.left(), vocab_text(v::owl_inverseOf), a.right());
    TRELVANIC_CHARACTERISTIC_AXIOM_CASES
      return Key{TRELVANIC_BRIDGE_TRY(iri(a.property())), vocab_text(v::rdf_type),
                 std::string(characteristic_row(*characteristic_of(a.kind())).rdf_type)};
    case AxiomKind::SubClassOfExistential:
      return Key{TRELVANIC_BRIDGE_TRY(iri(a.subclass())), vocab_text(v::owl_onProperty),
                 TRELVANIC_BRIDGE_TRY(iri(a.property())) + "|" + TRELVANIC_BRIDGE_TRY(iri(a.filler()))};
    case AxiomKind::ClassAssertion: return fixed(a.individual(), vocab_text(v::rdf_type), a.class_id());
    case AxiomKind::ObjectPropertyAssertion:
      return Key{TRELVANIC_BRIDGE_TRY(iri(a.subject())), TRELVANIC_BRIDGE_TRY(iri(a.property())),
                 TRELVANIC_BRIDGE_TRY(iri(a.object()))};
    case AxiomKind::DataPropertyAssertion:
    case AxiomKind::NegativeObjectPropertyAssertion:
    case AxiomKind::NegativeDataPropertyAssertion:
      return std::optional<Key>();
  }
  return std::optional<Key>();
}

}  // namespace trelvanic_bridge
