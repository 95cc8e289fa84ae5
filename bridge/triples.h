// Core axioms as RDF triples, for the OWL 2 RL materializer.
//
// `TripleExporter` writes an ontology's declarations, told axioms and
// DL-store axioms as integer-coded triples into a materializer `Dictionary`
// (the materialisation driver loads them straight into the rule engine).
// Every term is an IRI (validated once per entity), a blank node or a
// literal; vocabulary is written as its full IRI.
//
//   Dictionary dict;
//   std::vector<Triple> out;
//   auto summary = export_ontology(ontology, dict, out);
//   summary->outside_rl;  // axioms that have no OWL 2 RL form
//
// The text forms (`core_to_triples`, `core_to_triples_for_axioms`,
// `axiom_to_triples`) run the same export into a private dictionary and hand
// the triples back as texts.
//
// Told forms and their triples: SubClassOf (rdfs:subClassOf), the n-ary forms
// (one triple per pair i < j), domains, ranges, sub-properties, inverses, the
// seven characteristics (rdf:type owl:TransitiveProperty ...), assertions,
// and SubClassOfExistential(C, p, F) as C rdfs:subClassOf _:rest_C_p_F with
// _:rest_C_p_F an owl:Restriction on p with owl:someValuesFrom F. Negative
// assertions are written as owl:NegativePropertyAssertion nodes
// (owl:sourceIndividual, owl:assertionProperty, owl:targetIndividual or
// owl:targetValue), which the rule engine checks (prp-npa1/2).
//
// DL-store axioms are written in their RDF mapping when every class
// expression stands where OWL 2 RL allows it (subclass, superclass and
// equivalence positions) and inverse properties can be named (an inverse of
// an inverse, or a property stated inverse to it). An axiom without such a
// form is counted in `outside_rl`: reasoning over the export is then not
// complete for that ontology.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "bridge/error.h"
#include "core/axiom.h"
#include "core/ids.h"
#include "core/ontology.h"
#include "materializer/materializer.h"

namespace trelvanic_bridge {

using trelvanic_materializer::Dictionary;
using trelvanic_materializer::TermId;
using trelvanic_materializer::TermTriple;
using trelvanic_materializer::Triple;

struct ExportSummary {
  size_t triples = 0;     // triples written
  // Axioms without an OWL 2 RL form: DL-store axioms written only in part
  // or not at all, told existentials on the right and reflexive properties.
  // Reasoning over the export is complete only when this is 0.
  size_t outside_rl = 0;
  // Term id -> entity id + 1 for the entity terms written whose text looks
  // that entity up again (0 for any other term), so a merge of the engine's
  // output into the same ontology finds them without a lookup by text.
  std::vector<uint32_t> entity_of_term;
};

class TripleExporter {
 public:
  TripleExporter(const trelvanic_core::Ontology& ontology, Dictionary& dict, std::vector<Triple>& out);

  // The entity's IRI term: resolved through the registry and IRI pool,
  // validated ("invalid IRI {}: {}"), then cached for the whole export.
  [[nodiscard]] Result<TermId> entity(trelvanic_core::EntityId id);
  // rdf:type owl:Class / owl:NamedIndividual / owl:ObjectProperty (and
  // owl:DatatypeProperty when `with_data_properties`); nothing for the other
  // kinds and the puns.
  [[nodiscard]] Result<void> declaration(trelvanic_core::EntityId id, bool with_data_properties);
  [[nodiscard]] Result<void> told_axiom(const trelvanic_core::AxiomView& axiom);
  // Writes the DL-store axiom at `index`; false when it has no OWL 2 RL form
  // (what could be written of it is still written: every triple is sound).
  [[nodiscard]] Result<bool> dl_axiom(size_t index);
  // The entity terms written so far, as `ExportSummary::entity_of_term`.
  [[nodiscard]] std::vector<uint32_t> entity_of_term() const;

 private:
  void emit(TermId s, TermId p, TermId o) { out_.push_back(Triple{s, p, o}); }
  Result<void> pairs(std::span<const trelvanic_core::EntityId> ops, TermId predicate);
  Result<TermId> literal(std::string_view lexical, std::string_view datatype);

  // DL expressions (dl_export.cpp). A class expression's term, or 0 when it
  // has no RDF form here; `rl` is cleared when a form stands where OWL 2 RL
  // does not allow it.
  enum class Position : uint8_t { Sub, Super, Equivalent };
  Result<TermId> class_term(trelvanic_core::CeId id, int depth);
  // The node of each kind of expression `class_term` writes, labelled
  // `label`, or 0 when a part has no RDF form here.
  Result<TermId> complement_term(const trelvanic_core::ClassExprView& c, std::string_view label, int depth);
  Result<TermId> junction_term(const trelvanic_core::ClassExprView& c, std::string_view label, int depth);
  Result<TermId> one_of_term(const trelvanic_core::ClassExprView& c, std::string_view label);
  Result<TermId> quantified_term(const trelvanic_core::ClassExprView& c, std::string_view label, int depth);
  Result<TermId> has_value_term(const trelvanic_core::ClassExprView& c, std::string_view label);
  Result<TermId> max_cardinality_term(const trelvanic_core::ClassExprView& c, std::string_view label, int depth);
  Result<TermId> data_quantified_term(const trelvanic_core::ClassExprView& c, std::string_view label);
  Result<TermId> data_has_value_term(const trelvanic_core::ClassExprView& c, std::string_view label);
  Result<TermId> data_max_cardinality_term(const trelvanic_core::ClassExprView& c, std::string_view label);
  // A restriction node on the property of a role or a data property; 0 when
  // it has no name.
  Result<TermId> restriction_node(trelvanic_core::RoleExpr role, std::string_view label);
  Result<TermId> data_restriction_node(trelvanic_core::EntityId p, std::string_view label);
  // The blank node `label`, typed `type`, with one more triple.
  TermId typed_node(std::string_view label, TermId type, TermId predicate, TermId object);
  // Whether the expression may stand at `pos` in OWL 2 RL.
  bool rl_class(trelvanic_core::CeId id, Position pos, int depth) const;
  Result<TermId> data_range_term(trelvanic_core::DeId id);
  Result<TermId> data_literal_term(trelvanic_core::DeId id);
  // The named property that a role stands for (an inverse is named through
  // InverseObjectProperties), or 0.
  Result<TermId> role_term(trelvanic_core::RoleExpr role);
  // An rdf:first / rdf:rest list of the items with nodes labelled
  // "{label}_{k}".
  TermId list(std::span<const TermId> items, std::string_view label);
  TermId blank(std::string_view label) { return dict_.blank(label); }

  // DL-store axioms by kind (dl_export.cpp), each answering like
  // `dl_axiom`; `index` names the blank nodes ("dl_{index}").
  Result<bool> dl_sub_class_of(const trelvanic_core::DlAxiomView& a);
  Result<bool> dl_equivalent_classes(const trelvanic_core::DlAxiomView& a);
  Result<bool> dl_disjoint_classes(const trelvanic_core::DlAxiomView& a, size_t index);
  Result<bool> dl_domain_or_range(const trelvanic_core::DlAxiomView& a);
  Result<bool> dl_data_property_range(const trelvanic_core::DlAxiomView& a);
  Result<bool> dl_property_chain(const trelvanic_core::DlAxiomView& a, size_t index);
  Result<bool> dl_sub_object_property(const trelvanic_core::DlAxiomView& a);
  Result<bool> dl_has_key(const trelvanic_core::DlAxiomView& a, size_t index);
  Result<bool> dl_class_assertion(const trelvanic_core::DlAxiomView& a);
  Result<bool> dl_data_property_assertion(const trelvanic_core::DlAxiomView& a);
  Result<bool> dl_negative_assertion(const trelvanic_core::DlAxiomView& a, size_t index);
  Result<bool> dl_disjoint_roles(const trelvanic_core::DlAxiomView& a);
  // The term of a registered entity, 0 for any other id.
  Result<TermId> known_entity(trelvanic_core::EntityId id);
  // s p o over entities; false when one is unknown.
  Result<bool> entity_triple(trelvanic_core::EntityId s, TermId p, trelvanic_core::EntityId o);
  // The terms of the axiom's entity list; false when one is unknown.
  Result<bool> entity_terms(const trelvanic_core::DlAxiomView& a, std::vector<TermId>& items);
  // The first entity of the list to each other one.
  Result<bool> entities_from_first(const trelvanic_core::DlAxiomView& a, TermId predicate);
  // Pairwise triples for two members, an all-members node otherwise.
  Result<bool> entity_group(const trelvanic_core::DlAxiomView& a, size_t index, TermId pair_predicate, TermId all_type);
  // p rdf:type `type`; false when p is unknown.
  Result<bool> typed_property(trelvanic_core::EntityId p, TermId type);

  const trelvanic_core::Ontology& ontology_;
  Dictionary& dict_;
  std::vector<Triple>& out_;
  std::vector<uint32_t> entity_terms_;  // EntityId -> TermId value, 0 = not yet
  std::vector<uint32_t> ce_terms_;      // CeId -> TermId value, 0 = not yet
  std::vector<uint8_t> ce_failed_;      // CeId -> 1 when it has no RDF form here
  std::string last_datatype_;          // the datatype IRI of the last literal, checked
  TermId last_datatype_term_;          // its term (none before the first literal)
};

// Declarations of every registered entity (ascending id, four kinds), the
// live told axioms (ascending id, inferred ones left out), then every
// DL-store axiom in list order.
[[nodiscard]] Result<ExportSummary> export_ontology(const trelvanic_core::Ontology& ontology, Dictionary& dict,
                                                    std::vector<Triple>& out);
// The triples of the listed told axioms (a removed or unknown id is the
// core error of the store), then the declarations of the entities they
// mention (classes, individuals and object properties).
[[nodiscard]] Result<ExportSummary> export_axioms(const trelvanic_core::Ontology& ontology,
                                                  std::span<const trelvanic_core::AxiomId> ids, Dictionary& dict,
                                                  std::vector<Triple>& out);

// Whether every axiom of the ontology reaches the RL rules in an OWL 2 RL
// form (`export_ontology` counts none outside RL): the RL engine then
// decides the ontology. An export error gives false.
[[nodiscard]] bool rl_engine_decides(const trelvanic_core::Ontology& ontology);

// Text forms of the same exports.
[[nodiscard]] Result<std::vector<TermTriple>> core_to_triples(const trelvanic_core::Ontology& ontology);
[[nodiscard]] Result<std::vector<TermTriple>> core_to_triples_for_axioms(
    const trelvanic_core::Ontology& ontology, std::span<const trelvanic_core::AxiomId> ids);
[[nodiscard]] Result<std::vector<TermTriple>> axiom_to_triples(const trelvanic_core::Ontology& ontology,
                                                               const trelvanic_core::AxiomView& axiom);

// The entity key of six forms: SipHash-1-3 (zero keys) of a one-byte tag
// (SubClassOf 0, SubObjectPropertyOf 1, ObjectPropertyDomain 2,
// ObjectPropertyRange 3, ClassAssertion 4, ObjectPropertyAssertion 5) and the
// ids as 4 bytes little-endian each.
[[nodiscard]] std::optional<uint64_t> axiom_entity_key(const trelvanic_core::AxiomView& axiom);
// The (subject, predicate, object) texts by which an axiom's triple is
// recognised; none for data and negative assertions and for lists of fewer
// than two operands. SubClassOfExistential(C, p, F) gives
// (C, owl:onProperty, "p|F").
[[nodiscard]] Result<std::optional<std::array<std::string, 3>>> axiom_triple_key(
    const trelvanic_core::Ontology& ontology, const trelvanic_core::AxiomView& axiom);

}  // namespace trelvanic_bridge
