// Internal state of the RDF-to-OWL mapping, shared by owl_mapping.cpp
// (driver and axioms), owl_expressions.cpp (class expressions, data ranges,
// property expressions, individuals, literals, lists) and owl_swrl.cpp
// (rules). Not part of the library's surface.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

#include "owl/model.h"
#include "rdf/graph.h"
#include "rdf/owl_mapping.h"
#include "rdf/rdf_list.h"

namespace trelvanic_rdf::detail {

using Form = trelvanic_owl::Kind;
using NodeRef = trelvanic_owl::NodeId;

// Builds nodes of the OWL model in the mapping's terms: leaves from texts,
// literals from their parts, and the word layouts the model wants for
// cardinalities (number first, default filler) and ontology ids.
class ModelBuilder {
 public:
  explicit ModelBuilder(trelvanic_owl::Ontology& ontology) : o_(ontology) {}

  NodeRef leaf(Form form, std::string_view text) {
    if (form == Form::AnonymousIndividual) return o_.make_anonymous(o_.intern_text(text));
    return o_.make_leaf(form, o_.intern_iri(text));
  }
  NodeRef literal(std::string_view lexical, std::string_view datatype, std::string_view lang) {
    return o_.make_literal(o_.intern_text(lexical),
                           lang.empty() ? trelvanic_owl::TextId() : o_.intern_text(lang),
                           datatype.empty() ? trelvanic_owl::IriId() : o_.intern_iri(datatype));
  }
  NodeRef node(Form form, std::span<const NodeRef> operands, std::uint32_t number = 0);
  NodeRef node(Form form, std::initializer_list<NodeRef> operands, std::uint32_t number = 0) {
    return node(form, std::span<const NodeRef>(operands.begin(), operands.size()), number);
  }
  void add_component(NodeRef node) { o_.add_component(node); }
  void note(std::string text, bool lost_axiom) { o_.add_source_note(std::move(text), lost_axiom); }

 private:
  trelvanic_owl::Ontology& o_;
  std::vector<std::uint32_t> words_;
};

// Kinds an IRI is known to have; several bits at once is punning.
enum KindBits : std::uint8_t {
  kClassKind = 1,
  kDatatypeKind = 2,
  kObjectPropertyKind = 4,
  kDataPropertyKind = 8,
  kAnnotationPropertyKind = 16,
  kIndividualKind = 32,
};

// The structural triples of one blank node, gathered in one pass over its
// subject index: for each predicate the object and the triple's position.
struct Shape {
  struct Slot {
    TermId object;
    std::uint32_t pos = 0;
    std::uint8_t count = 0;
  };
  Slot intersection_of, union_of, complement_of, one_of, on_property, on_properties,
      some_values_from, all_values_from, has_value, has_self, min_card, max_card, card,
      min_qcard, max_qcard, qcard, on_class, on_data_range, datatype_complement_of,
      on_datatype, with_restrictions, inverse_of;
  bool typed_class = false, typed_restriction = false, typed_datatype = false;
  std::vector<std::uint32_t> type_triples;  // rdf:type owl:Class / Restriction / rdfs:Datatype
};

class Mapper {
 public:
  Mapper(const Graph& graph, trelvanic_owl::Ontology& ontology, IncompleteParse& incomplete);
  // Maps the whole graph; false when `cancel` (may be null) was raised
  // part way, the ontology then being incomplete.
  bool run(const std::atomic<bool>* cancel = nullptr);

  // --- owl_expressions.cpp ---
  std::optional<NodeRef> class_expression(TermId x);
  std::optional<NodeRef> data_range(TermId x);
  std::optional<NodeRef> object_property_expression(TermId x);
  std::optional<NodeRef> data_property(TermId x);
  std::optional<NodeRef> individual(TermId x);
  std::optional<NodeRef> literal(TermId x);
  // A list's items and cells; nothing (and a problem recorded) for an
  // ill-founded list. The cells are marked used (`use_list`) only by a
  // caller whose construct maps, so a refused one is reported whole.
  std::optional<RdfList> list(TermId head);
  void use_list(const RdfList& l) {
    for (std::uint32_t pos : l.triples) use(pos);
  }
  // Whether x reads as a data range rather than a class (datatype IRI, or a
  // blank node of data-range shape).
  bool looks_like_data_range(TermId x);
  bool is_data_property(TermId p) const;
  // An IRI of the RDF, RDFS, OWL or XSD namespace.
  bool is_reserved(TermId x) const;
  // owl:Thing, owl:Nothing and the four top and bottom properties: reserved
  // names that axioms may use.
  bool usable_in_axioms(TermId x) const;
  Shape shape_of(TermId x) const;

  // --- owl_swrl.cpp ---
  bool rule(TermId x);

  // --- owl_mapping.cpp ---
  void use(std::uint32_t pos) { used_[pos] = 1; }
  void problem(std::string text);
  [[nodiscard]] std::uint8_t kinds(TermId x) const {
    return x.value < kinds_.size() ? kinds_[x.value] : 0;
  }
  // The leaf of an IRI as an entity of `form` (or `Iri`), cached by term id
  // so the IRI text is hashed once per form.
  // Most names stand in one form only: the last leaf made for each term
  // answers without a lookup.
  NodeRef entity(Form form, TermId iri) {
    LastLeaf& last = last_leaves_[iri.value];
    if (last.node && last.form == form) return last.node;
    const std::uint64_t key = (std::uint64_t{iri.value} << 8) | static_cast<std::uint8_t>(form);
    auto [it, fresh] = leaves_.try_emplace(key);
    if (fresh) it->second = draft_.leaf(form, terms().text(iri));
    last = LastLeaf{it->second, form};
    return it->second;
  }
  [[nodiscard]] const TermTable& terms() const { return graph_.terms(); }

  const Graph& graph_;
  ModelBuilder draft_;
  IncompleteParse& incomplete_;

 private:
  void collect_kinds();
  void collect_kinds_by_use();
  void report_unmapped();
  void use_annotation_value(TermId value);
  void map_header();
  void map_ignored_nodes();
  void map_declarations();
  void map_triple(std::uint32_t pos);
  bool map_type_triple(std::uint32_t pos);
  bool map_property_triple(std::uint32_t pos);
  // The cases of `map_property_triple`.
  bool map_named_constructor(const TripleIds& t);
  bool map_sub_property_of(TermId s, TermId o);
  bool map_property_pair(const TripleIds& t);
  bool map_domain_or_range(const TripleIds& t);
  bool map_has_key(TermId s, TermId o);
  bool map_property_assertion(const TripleIds& t);
  bool map_members(std::uint32_t pos, Form objects_form, Form data_form);
  bool map_negative_assertion(TermId x);
  bool add(NodeRef component) {
    draft_.add_component(component);
    return true;
  }
  std::optional<NodeRef> named_property(TermId p, bool data);

  // Maps each item of the list at `head` with `item`; nothing when the list
  // is ill-founded or an item does not map.
  template <class Item>
  std::optional<std::vector<NodeRef>> map_list(TermId head, Item item) {
    auto cells = list(head);
    if (!cells) return std::nullopt;
    std::vector<NodeRef> out;
    out.reserve(cells->items.size());
    for (TermId t : cells->items) {
      auto r = item(t);
      if (!r) return std::nullopt;
      out.push_back(*r);
    }
    use_list(*cells);
    return out;
  }
  // The memo, depth limit and cycle guard around translating blank node x
  // with `body` (defined in owl_expressions.cpp).
  template <class Body>
  std::optional<NodeRef> guarded(TermId x, std::size_t depth,
                                 absl::flat_hash_map<TermId, NodeRef>& memo, Body body);

  // The expression that the constructor triple (x, pred, object) gives x:
  // pred is owl:intersectionOf, owl:unionOf, owl:complementOf or owl:oneOf.
  std::optional<NodeRef> class_constructor(TermId pred, TermId object, std::size_t depth);
  // The same for a data range (owl:intersectionOf, owl:unionOf, owl:oneOf).
  std::optional<NodeRef> range_constructor(TermId pred, TermId object, std::size_t depth);
  std::optional<NodeRef> class_expression_at(TermId x, std::size_t depth);
  std::optional<NodeRef> data_range_at(TermId x, std::size_t depth);
  std::optional<NodeRef> restriction(TermId x, const Shape& s, std::size_t depth);
  std::optional<NodeRef> datatype_restriction(TermId x, const Shape& s);
  bool fail(TermId x, std::string_view reason);

  absl::flat_hash_map<std::uint64_t, NodeRef> leaves_;
  struct LastLeaf {
    NodeRef node;
    Form form{};
  };
  std::vector<LastLeaf> last_leaves_;  // by term id
  std::vector<std::uint8_t> used_;
  std::vector<std::uint8_t> kinds_;
  absl::flat_hash_map<TermId, NodeRef> class_memo_;
  absl::flat_hash_map<TermId, NodeRef> range_memo_;
  absl::flat_hash_set<TermId> in_progress_;
  absl::flat_hash_set<TermId> failed_;
  absl::flat_hash_set<TermId> variables_;
  TermId ontology_{};
  // Further ontology headers in the graph (documents merged into one).
  absl::flat_hash_set<TermId> other_headers_;
  // Properties never declared whose kind their uses show, in term order,
  // with that kind (kObjectPropertyKind or kDataPropertyKind).
  std::vector<std::pair<TermId, std::uint8_t>> kinds_by_use_;
  std::vector<TermId> annotation_lists_;  // blank annotation values that may be lists
  std::size_t depth_ = 0;

  friend class ExpressionBuilder;
};

}  // namespace trelvanic_rdf::detail
