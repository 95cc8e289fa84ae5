// The RDF-to-OWL mapping driver and the translation of axiom triples.
//
// Order of work over an indexed graph:
//  1. entity kinds from declarations, the built-in vocabulary and the few
//     uses that fix a kind, then the kinds of undeclared properties from
//     their uses;
//  2. the ontology header (ontology IRI, version IRI, imports);
//  3. annotations and axiom reification, dropped;
//  4. declarations of IRIs;
//  5. SWRL rules;
//  6. every other triple in document order, each by its predicate, blank
//     class expressions and lists being translated when an axiom uses them;
//  7. whatever is still unused goes to the incomplete-parse record, and
//     to the notes for the loader, one lost axiom per top triple.
#include "rdf/owl_mapping.h"

#include <fmt/format.h>

#include "owl/utf8.h"
#include "rdf/detail/mapper.h"
#include "rdf/vocab.h"

namespace trelvanic_rdf {

namespace detail {

namespace {

constexpr std::string_view kBuiltinAnnotationProperties[] = {
    TRELVANIC_RDFS_NS "label",          TRELVANIC_RDFS_NS "comment",
    TRELVANIC_RDFS_NS "seeAlso",        TRELVANIC_RDFS_NS "isDefinedBy",
    TRELVANIC_OWL_NS "deprecated",      TRELVANIC_OWL_NS "versionInfo",
    TRELVANIC_OWL_NS "priorVersion",    TRELVANIC_OWL_NS "backwardCompatibleWith",
    TRELVANIC_OWL_NS "incompatibleWith",
};

constexpr std::string_view kXsdNs = TRELVANIC_XSD_NS;

// How much of an unmapped triple (or a problem) a warning quotes.
constexpr std::size_t kMaxQuotedTripleBytes = 300;

// Characteristics only object properties have, and the axiom each gives.
struct Characteristic {
  TermId type;
  Form form;
};
constexpr Characteristic kObjectCharacteristics[] = {
    {vocab::kOwlInverseFunctionalProperty, Form::InverseFunctionalObjectProperty},
    {vocab::kOwlReflexiveProperty, Form::ReflexiveObjectProperty},
    {vocab::kOwlIrreflexiveProperty, Form::IrreflexiveObjectProperty},
    {vocab::kOwlSymmetricProperty, Form::SymmetricObjectProperty},
    {vocab::kOwlAsymmetricProperty, Form::AsymmetricObjectProperty},
    {vocab::kOwlTransitiveProperty, Form::TransitiveObjectProperty},
};

std::uint8_t declared_kind(TermId type) {
  switch (type.value) {
    case vocab::kOwlClass.value: return kClassKind;
    case vocab::kRdfsDatatype.value: return kDatatypeKind;
    case vocab::kOwlObjectProperty.value: return kObjectPropertyKind;
    case vocab::kOwlDatatypeProperty.value: return kDataPropertyKind;
    case vocab::kOwlAnnotationProperty.value: return kAnnotationPropertyKind;
    case vocab::kOwlNamedIndividual.value: return kIndividualKind;
    default: return 0;
  }
}

Form declaration_form(std::uint8_t kind) {
  switch (kind) {
    case kClassKind: return Form::Class;
    case kDatatypeKind: return Form::Datatype;
    case kObjectPropertyKind: return Form::ObjectProperty;
    case kDataPropertyKind: return Form::DataProperty;
    case kAnnotationPropertyKind: return Form::AnnotationProperty;
    default: return Form::NamedIndividual;
  }
}

}  // namespace

NodeRef ModelBuilder::node(Form form, std::span<const NodeRef> operands, std::uint32_t number) {
  words_.clear();
  if (trelvanic_owl::is_cardinality(form)) {
    // [n, property, filler]; an unqualified restriction gets the filler it
    // means, owl:Thing or rdfs:Literal.
    words_.push_back(number);
    words_.push_back(operands[0].value);
    if (operands.size() > 1) {
      words_.push_back(operands[1].value);
    } else if (form == Form::DataMinCardinality || form == Form::DataMaxCardinality ||
               form == Form::DataExactCardinality) {
      words_.push_back(leaf(Form::Datatype, trelvanic_owl::kRdfsLiteral).value);
    } else {
      words_.push_back(leaf(Form::Class, trelvanic_owl::kOwlThing).value);
    }
  } else {
    for (NodeRef op : operands) words_.push_back(op.value);
    if (form == Form::OntologyId) words_.resize(2, 0);  // a missing IRI is 0
  }
  return o_.make(form, words_);
}

Mapper::Mapper(const Graph& graph, trelvanic_owl::Ontology& ontology, IncompleteParse& incomplete)
    : graph_(graph), draft_(ontology), incomplete_(incomplete), last_leaves_(graph.terms().size()) {}

void Mapper::problem(std::string text) {
  ++incomplete_.problem_count;
  if (incomplete_.problems.size() < kMaxIncompleteLines) incomplete_.problems.push_back(std::move(text));
}

bool Mapper::is_reserved(TermId x) const {
  if (!terms().is_iri(x)) return false;
  const std::string_view text = terms().text(x);
  for (std::string_view ns : {std::string_view(TRELVANIC_RDF_NS), std::string_view(TRELVANIC_RDFS_NS),
                              std::string_view(TRELVANIC_OWL_NS), kXsdNs}) {
    if (text.starts_with(ns)) return true;
  }
  return false;
}

bool Mapper::usable_in_axioms(TermId x) const {
  const std::string_view text = terms().text(x);
  for (std::string_view local : {"Thing", "Nothing", "topObjectProperty", "bottomObjectProperty", "topDataProperty",
                                 "bottomDataProperty"}) {
    if (text.size() == std::string_view(TRELVANIC_OWL_NS).size() + local.size() &&
        text.starts_with(TRELVANIC_OWL_NS) && text.ends_with(local)) {
      return true;
    }
  }
  return false;
}

void Mapper::collect_kinds() {
  const TermTable& t = terms();
  kinds_.assign(t.size(), 0);
  auto mark = [&](TermId id, std::uint8_t k) {
    if (id && t.is_iri(id)) kinds_[id.value] |= k;
  };
  mark(vocab::kOwlThing, kClassKind);
  mark(vocab::kOwlNothing, kClassKind);
  for (TermId dt : {vocab::kRdfsLiteral, vocab::kRdfPlainLiteral, vocab::kRdfXmlLiteral,
                    vocab::kRdfLangString, vocab::kOwlReal, vocab::kOwlRational}) {
    mark(dt, kDatatypeKind);
  }
  mark(vocab::kOwlTopObjectProperty, kObjectPropertyKind);
  mark(vocab::kOwlBottomObjectProperty, kObjectPropertyKind);
  mark(vocab::kOwlTopDataProperty, kDataPropertyKind);
  mark(vocab::kOwlBottomDataProperty, kDataPropertyKind);
  for (std::string_view ap : kBuiltinAnnotationProperties) {
    if (auto id = t.find_iri(ap)) mark(*id, kAnnotationPropertyKind);
  }
  // Every XSD datatype the document names; one pass over the terms in id
  // order, which reads the term texts sequentially.
  for (std::uint32_t id = 1; id < t.size(); ++id) {
    if (t.is_iri(TermId{id}) && t.text(TermId{id}).starts_with(kXsdNs)) {
      mark(TermId{id}, kDatatypeKind);
    }
  }
  for (const TripleIds& tr : graph_.triples()) {
    if (tr.predicate == vocab::kRdfType) {
      mark(tr.subject, declared_kind(tr.object));
      for (const Characteristic& c : kObjectCharacteristics) {
        if (tr.object == c.type) mark(tr.subject, kObjectPropertyKind);
      }
    } else if (tr.predicate == vocab::kOwlInverseOf || tr.predicate == vocab::kOwlPropertyChainAxiom) {
      mark(tr.subject, kObjectPropertyKind);
      if (tr.predicate == vocab::kOwlInverseOf) mark(tr.object, kObjectPropertyKind);
    } else if (tr.predicate == vocab::kOwlOnProperty) {
      // A restriction whose filler settles the property's kind.
      for (std::uint32_t pos : graph_.by_subject(tr.subject)) {
        const TripleIds& r = graph_.triples()[pos];
        if (r.predicate == vocab::kOwlOnClass || r.predicate == vocab::kOwlHasSelf) {
          mark(tr.object, kObjectPropertyKind);
        } else if (r.predicate == vocab::kOwlOnDataRange) {
          mark(tr.object, kDataPropertyKind);
        } else if (r.predicate == vocab::kOwlHasValue) {
          mark(tr.object, t.is_literal(r.object) ? kDataPropertyKind : kObjectPropertyKind);
        }
      }
    }
  }
  collect_kinds_by_use();
}

void Mapper::collect_kinds_by_use() {
  const TermTable& t = terms();
  constexpr std::uint8_t kPropertyKinds = kObjectPropertyKind | kDataPropertyKind;
  // Per term: 0 not looked at, 1 an undeclared property of the document's
  // own vocabulary, 2 anything else.
  std::vector<std::uint8_t> state(t.size(), 0);
  std::vector<std::uint8_t> uses(t.size(), 0);
  auto undeclared = [&](TermId p) {
    std::uint8_t& st = state[p.value];
    if (st == 0) {
      st = t.is_iri(p) && !(kinds_[p.value] & (kPropertyKinds | kAnnotationPropertyKind)) && !is_reserved(p) ? 1 : 2;
    }
    return st == 1;
  };
  // The ontology header and reified axioms and annotations carry
  // annotations, not assertions about individuals.
  absl::flat_hash_set<TermId> annotated;
  for (std::uint32_t pos : graph_.by_predicate(vocab::kRdfType)) {
    const TripleIds& tr = graph_.triples()[pos];
    if (tr.object == vocab::kOwlOntology || tr.object == vocab::kOwlAxiom || tr.object == vocab::kOwlAnnotation) {
      annotated.insert(tr.subject);
    }
  }
  for (const TripleIds& tr : graph_.triples()) {
    if (vocab::is_vocab(tr.predicate) || !undeclared(tr.predicate) || annotated.contains(tr.subject)) continue;
    uses[tr.predicate.value] |= t.is_literal(tr.object) ? kDataPropertyKind : kObjectPropertyKind;
  }
  // Properties linked by rdfs:subPropertyOf or owl:equivalentProperty are
  // of one kind: when the declared and used kinds met in a linked group are
  // one, its undeclared, unused members take it as well.
  auto shown = [&](TermId p) -> std::uint8_t {
    const std::uint8_t k = kinds_[p.value] & kPropertyKinds;
    return k != 0 || !undeclared(p) ? k : uses[p.value];
  };
  absl::flat_hash_map<TermId, std::vector<TermId>> links;
  for (TermId link : {vocab::kRdfsSubPropertyOf, vocab::kOwlEquivalentProperty}) {
    for (std::uint32_t pos : graph_.by_predicate(link)) {
      const TripleIds& tr = graph_.triples()[pos];
      if (!t.is_iri(tr.subject) || !t.is_iri(tr.object)) continue;
      links[tr.subject].push_back(tr.object);
      links[tr.object].push_back(tr.subject);
    }
  }
  absl::flat_hash_set<TermId> grouped;
  std::vector<TermId> group, todo;
  for (const auto& [start, unused] : links) {
    if (!grouped.insert(start).second) continue;
    group.clear();
    todo.assign(1, start);
    std::uint8_t kinds = 0;
    while (!todo.empty()) {
      const TermId p = todo.back();
      todo.pop_back();
      group.push_back(p);
      kinds |= shown(p);
      for (TermId q : links[p]) {
        if (grouped.insert(q).second) todo.push_back(q);
      }
    }
    if (kinds != kObjectPropertyKind && kinds != kDataPropertyKind) continue;
    for (TermId p : group) {
      if (undeclared(p) && uses[p.value] == 0) uses[p.value] = kinds;
    }
  }
  for (std::uint32_t id = 1; id < t.size(); ++id) {
    const std::uint8_t k = uses[id];
    if (state[id] != 1 || (k != kObjectPropertyKind && k != kDataPropertyKind)) continue;
    kinds_[id] |= k;
    kinds_by_use_.emplace_back(TermId{id}, k);
  }
}

void Mapper::map_header() {
  for (std::uint32_t pos : graph_.by_predicate(vocab::kRdfType)) {
    const TripleIds& t = graph_.triples()[pos];
    if (t.object != vocab::kOwlOntology) continue;
    if (ontology_) {
      // A second ontology header (documents merged into one, say): its
      // imports are imports of what was read, its name and annotations
      // are reported but state nothing.
      if (t.subject != ontology_ && other_headers_.insert(t.subject).second) {
        for (std::uint32_t p : graph_.by_subject(t.subject)) {
          const TripleIds& h = graph_.triples()[p];
          if (h.predicate == vocab::kOwlImports && terms().is_iri(h.object)) {
            add(draft_.node(Form::Import, {draft_.leaf(Form::Iri, terms().text(h.object))}));
            use(p);
          }
        }
      }
      continue;
    }
    ontology_ = t.subject;
  }
  if (!ontology_) return;
  std::vector<NodeRef> id;
  if (terms().is_iri(ontology_)) id.push_back(draft_.leaf(Form::Iri, terms().text(ontology_)));
  for (std::uint32_t pos : graph_.by_subject(ontology_)) {
    const TripleIds& t = graph_.triples()[pos];
    if (t.predicate == vocab::kRdfType && t.object == vocab::kOwlOntology) {
      use(pos);
    } else if (t.predicate == vocab::kOwlImports) {
      if (terms().is_iri(t.object)) {
        add(draft_.node(Form::Import, {draft_.leaf(Form::Iri, terms().text(t.object))}));
        use(pos);
      }
    } else if (t.predicate == vocab::kOwlVersionIri) {
      if (terms().is_iri(t.object) && id.size() == 1) {
        id.push_back(draft_.leaf(Form::Iri, terms().text(t.object)));
        use(pos);
      }
    } else if (!vocab::is_vocab(t.predicate) || (kinds(t.predicate) & kAnnotationPropertyKind)) {
      use(pos);  // an ontology annotation
      use_annotation_value(t.object);
    }
  }
  add(draft_.node(Form::OntologyId, id));
}

void Mapper::map_ignored_nodes() {
  // Reified axioms and annotations, and annotation assertions.
  for (std::uint32_t pos : graph_.by_predicate(vocab::kRdfType)) {
    const TripleIds& t = graph_.triples()[pos];
    if (t.object != vocab::kOwlAxiom && t.object != vocab::kOwlAnnotation) continue;
    for (std::uint32_t p : graph_.by_subject(t.subject)) use(p);
  }
  for (std::uint32_t pos = 0; pos < graph_.size(); ++pos) {
    const TripleIds& t = graph_.triples()[pos];
    if ((kinds(t.predicate) & kAnnotationPropertyKind) != 0 &&
        (kinds(t.predicate) & (kObjectPropertyKind | kDataPropertyKind)) == 0) {
      use(pos);
      use_annotation_value(t.object);
    }
  }
}

void Mapper::use_annotation_value(TermId value) {
  // A list as an annotation value (of creators, say) is dropped with the
  // annotation; its cells are used up once the axioms have had theirs.
  if (terms().is_blank(value)) annotation_lists_.push_back(value);
}

void Mapper::map_declarations() {
  for (std::uint32_t pos : graph_.by_predicate(vocab::kRdfType)) {
    const TripleIds& t = graph_.triples()[pos];
    const std::uint8_t k = declared_kind(t.object);
    if (k == 0 || !terms().is_iri(t.subject)) continue;
    add(draft_.node(Form::Declaration, {entity(declaration_form(k), t.subject)}));
    use(pos);
  }
  for (const auto& [p, k] : kinds_by_use_) {
    add(draft_.node(Form::Declaration, {entity(declaration_form(k), p)}));
    draft_.note(fmt::format("undeclared property {} declared as {} property by its use",
                            trelvanic_owl::utf8_excerpt(terms().text(p)),
                            k == kObjectPropertyKind ? "an object" : "a data"),
                false);
  }
}

bool Mapper::run(const std::atomic<bool>* cancel) {
  CancelCheck cancelled(cancel);
  used_.assign(graph_.size(), 0);
  collect_kinds();
  map_header();
  map_ignored_nodes();
  map_declarations();
  for (std::uint32_t pos : graph_.by_predicate(vocab::kRdfType)) {
    const TripleIds& t = graph_.triples()[pos];
    if (t.object == vocab::kSwrlVariable && terms().is_iri(t.subject)) {
      variables_.insert(t.subject);
      use(pos);
    }
  }
  for (std::uint32_t pos : graph_.by_predicate(vocab::kRdfType)) {
    const TripleIds& t = graph_.triples()[pos];
    if (t.object == vocab::kSwrlImp && !used_[pos]) {
      if (rule(t.subject)) use(pos);
    }
  }
  for (std::uint32_t pos = 0; pos < graph_.size(); ++pos) {
    if (cancelled()) return false;
    if (!used_[pos]) map_triple(pos);
  }
  for (TermId head : annotation_lists_) {
    if (auto cells = read_rdf_list(graph_, head)) {
      for (std::uint32_t pos : cells->triples) use(pos);
    }
  }
  for (std::uint32_t pos = 0; pos < graph_.size(); ++pos) {
    if (used_[pos]) continue;
    if (++incomplete_.triple_count > kMaxIncompleteLines) continue;
    const TripleIds& t = graph_.triples()[pos];
    incomplete_.triples.push_back(terms().display(t.subject) + " " + terms().display(t.predicate) +
                                  " " + terms().display(t.object) + " .");
  }
  report_unmapped();
  return true;
}

void Mapper::report_unmapped() {
  for (const std::string& p : incomplete_.problems) draft_.note(trelvanic_owl::utf8_excerpt(p, kMaxQuotedTripleBytes), false);
  if (incomplete_.triple_count == 0) return;
  const auto& triples = graph_.triples();
  // An unmapped triple is reported with the unmapped triples of the blank
  // nodes below it (a refused restriction with its subclass triple is one
  // lost axiom); a triple whose blank subject some unmapped triple points
  // at is reported with that one.
  // By term id: blank nodes that are the object of an unmapped triple
  // (`below`) and of any triple (`pointed`).
  std::vector<std::uint8_t> below(terms().size(), 0);
  std::vector<std::uint8_t> pointed(terms().size(), 0);
  for (std::uint32_t pos = 0; pos < triples.size(); ++pos) {
    const TermId o = triples[pos].object;
    if (!terms().is_blank(o)) continue;
    pointed[o.value] = 1;
    if (!used_[pos]) below[o.value] = 1;
  }
  std::vector<std::uint8_t> reported(triples.size(), 0);
  absl::flat_hash_set<TermId> seen;
  std::vector<TermId> todo;
  auto report = [&](std::uint32_t root) {
    reported[root] = 1;
    std::size_t more = 0;
    seen.clear();
    // A blank node nothing points at (a stray restriction, say) is one
    // report with all its triples; else the walk starts at the object.
    const TermId subject = triples[root].subject;
    todo.assign(1, terms().is_blank(subject) ? subject : triples[root].object);
    while (!todo.empty()) {
      const TermId b = todo.back();
      todo.pop_back();
      if (!terms().is_blank(b) || !seen.insert(b).second) continue;
      for (std::uint32_t p : graph_.by_subject(b)) {
        if (used_[p] || reported[p]) continue;
        reported[p] = 1;
        ++more;
        todo.push_back(triples[p].object);
      }
    }
    const TripleIds& t = triples[root];
    const std::string text = trelvanic_owl::utf8_excerpt(
        terms().display(t.subject) + " " + terms().display(t.predicate) + " " + terms().display(t.object) + " .",
        kMaxQuotedTripleBytes);
    // Triples about the built-in vocabulary (owl.ttl, rdfs.ttl loaded beside
    // an ontology) describe names whose meaning OWL 2 fixes: nothing an
    // axiom could say is lost with them, so they are noted but not counted.
    const bool about_vocabulary = is_reserved(t.subject) && !usable_in_axioms(t.subject);
    // A blank node no triple points at is an expression no axiom uses: it
    // states nothing either.
    const bool stray = terms().is_blank(t.subject) && !pointed[t.subject.value];
    // Another ontology named in the header (a prior version, say) is no axiom.
    const bool other_ontology =
        (t.predicate == vocab::kRdfType && t.object == vocab::kOwlOntology) || other_headers_.contains(t.subject);
    draft_.note(more == 0 ? fmt::format("RDF triple not mapped: {}", text)
                          : fmt::format("RDF triple not mapped: {} (with {} triples below it)", text, more),
                !about_vocabulary && !stray && !other_ontology);
  };
  for (std::uint32_t pos = 0; pos < triples.size(); ++pos) {
    if (used_[pos] || reported[pos]) continue;
    const TermId subject = triples[pos].subject;
    if (!terms().is_blank(subject) || !below[subject.value]) report(pos);
  }
  // Blank nodes that only point at each other have no top triple.
  for (std::uint32_t pos = 0; pos < triples.size(); ++pos) {
    if (!used_[pos] && !reported[pos]) report(pos);
  }
}

void Mapper::map_triple(std::uint32_t pos) {
  const TripleIds& t = graph_.triples()[pos];
  const bool ok = t.predicate == vocab::kRdfType ? map_type_triple(pos) : map_property_triple(pos);
  if (ok) use(pos);
}

std::optional<NodeRef> Mapper::named_property(TermId p, bool data) {
  if (data) return data_property(p);
  return object_property_expression(p);
}

bool Mapper::map_members(std::uint32_t pos, Form objects_form, Form data_form) {
  const TermId x = graph_.triples()[pos].subject;
  std::uint32_t members_pos = 0;
  int count = 0;
  for (std::uint32_t p : graph_.by_subject(x)) {
    const TermId pred = graph_.triples()[p].predicate;
    if (pred == vocab::kOwlMembers || (pred == vocab::kOwlDistinctMembers && objects_form == Form::DifferentIndividuals)) {
      members_pos = p;
      ++count;
    }
  }
  if (count != 1) return fail(x, "needs exactly one owl:members list");
  auto cells = list(graph_.triples()[members_pos].object);
  if (!cells) return false;
  const std::vector<TermId>& items = cells->items;
  std::vector<NodeRef> ops;
  Form form = objects_form;
  if (objects_form == Form::DisjointObjectProperties) {
    bool all_data = !items.empty();
    for (TermId i : items) all_data = all_data && is_data_property(i);
    if (all_data) form = data_form;
  }
  for (TermId item : items) {
    std::optional<NodeRef> op;
    switch (form) {
      case Form::DisjointClasses: op = class_expression(item); break;
      case Form::DifferentIndividuals: op = individual(item); break;
      case Form::DisjointDataProperties: op = data_property(item); break;
      default: op = object_property_expression(item); break;
    }
    if (!op) return false;
    ops.push_back(*op);
  }
  use(members_pos);
  use_list(*cells);
  return add(draft_.node(form, ops));
}

bool Mapper::map_negative_assertion(TermId x) {
  TermId source{}, property{}, target{};
  std::vector<std::uint32_t> parts;
  bool data = false;
  for (std::uint32_t p : graph_.by_subject(x)) {
    const TripleIds& t = graph_.triples()[p];
    if (t.predicate == vocab::kOwlSourceIndividual) source = t.object;
    else if (t.predicate == vocab::kOwlAssertionProperty) property = t.object;
    else if (t.predicate == vocab::kOwlTargetIndividual) target = t.object;
    else if (t.predicate == vocab::kOwlTargetValue) target = t.object, data = true;
    else continue;
    parts.push_back(p);
  }
  if (parts.size() != 3 || !source || !property || !target) {
    return fail(x, "a negative property assertion needs one source, property and target");
  }
  auto s = individual(source);
  auto p = named_property(property, data);
  auto o = data ? literal(target) : individual(target);
  if (!s || !p || !o) return false;
  for (std::uint32_t pos : parts) use(pos);
  return add(draft_.node(data ? Form::NegativeDataPropertyAssertion
                              : Form::NegativeObjectPropertyAssertion,
                         {*p, *s, *o}));
}

bool Mapper::map_type_triple(std::uint32_t pos) {
  const TripleIds& t = graph_.triples()[pos];
  const TermId x = t.subject;
  switch (t.object.value) {
    case vocab::kOwlFunctionalProperty.value:
      if (is_data_property(x)) return add(draft_.node(Form::FunctionalDataProperty, {entity(Form::DataProperty, x)}));
      if (auto p = object_property_expression(x)) return add(draft_.node(Form::FunctionalObjectProperty, {*p}));
      return false;
    case vocab::kOwlAllDisjointClasses.value:
      return map_members(pos, Form::DisjointClasses, Form::DisjointClasses);
    case vocab::kOwlAllDisjointProperties.value:
      return map_members(pos, Form::DisjointObjectProperties, Form::DisjointDataProperties);
    case vocab::kOwlAllDifferent.value:
      return map_members(pos, Form::DifferentIndividuals, Form::DifferentIndividuals);
    case vocab::kOwlNegativePropertyAssertion.value:
      return map_negative_assertion(x);
    case vocab::kOwlDeprecatedClass.value:
    case vocab::kOwlDeprecatedProperty.value:
    case vocab::kOwlOntologyProperty.value:
      return true;  // annotation-like typing, nothing to build
    case vocab::kRdfProperty.value:
      // The RDF typing of a property whose OWL kind is known (declared or
      // shown by its use) says nothing more.
      return (kinds(x) & (kObjectPropertyKind | kDataPropertyKind | kAnnotationPropertyKind)) != 0;
    default: break;
  }
  for (const Characteristic& c : kObjectCharacteristics) {
    if (t.object == c.type) {
      if (auto p = object_property_expression(x)) return add(draft_.node(c.form, {*p}));
      return false;
    }
  }
  // The structural vocabulary never types an individual.
  if (is_reserved(t.object) && t.object != vocab::kOwlThing && t.object != vocab::kOwlNothing) {
    return false;
  }
  if (terms().is_blank(x)) {
    // A blank node that carries class-expression structure is not an
    // anonymous individual.
    const Shape s = shape_of(x);
    if (s.typed_class || s.typed_restriction || s.typed_datatype || s.on_property.count ||
        s.intersection_of.count || s.union_of.count || s.one_of.count || s.complement_of.count) {
      return false;
    }
  }
  auto c = class_expression(t.object);
  auto i = individual(x);
  if (!c || !i) return false;
  return add(draft_.node(Form::ClassAssertion, {*c, *i}));
}

bool Mapper::map_property_triple(std::uint32_t pos) {
  const TripleIds& t = graph_.triples()[pos];
  const TermId s = t.subject;
  const TermId o = t.object;
  switch (t.predicate.value) {
    case vocab::kRdfsSubClassOf.value: {
      // Subclass triples between datatypes are RDFS, not OWL.
      if (looks_like_data_range(s) || looks_like_data_range(o)) return false;
      auto a = class_expression(s);
      auto b = class_expression(o);
      return a && b && add(draft_.node(Form::SubClassOf, {*a, *b}));
    }
    case vocab::kOwlEquivalentClass.value: {
      if (terms().is_iri(s) && (looks_like_data_range(s) || looks_like_data_range(o))) {
        auto r = data_range(o);
        return r && add(draft_.node(Form::DatatypeDefinition, {entity(Form::Datatype, s), *r}));
      }
      auto a = class_expression(s);
      auto b = class_expression(o);
      return a && b && add(draft_.node(Form::EquivalentClasses, {*a, *b}));
    }
    case vocab::kOwlIntersectionOf.value:
    case vocab::kOwlUnionOf.value:
    case vocab::kOwlComplementOf.value:
    case vocab::kOwlOneOf.value: return map_named_constructor(t);
    case vocab::kOwlDisjointWith.value: {
      auto a = class_expression(s);
      auto b = class_expression(o);
      return a && b && add(draft_.node(Form::DisjointClasses, {*a, *b}));
    }
    case vocab::kOwlDisjointUnionOf.value: {
      if (!terms().is_iri(s)) return false;
      auto items = map_list(o, [&](TermId i) { return class_expression(i); });
      if (!items) return false;
      items->insert(items->begin(), entity(Form::Class, s));
      return add(draft_.node(Form::DisjointUnion, *items));
    }
    case vocab::kRdfsSubPropertyOf.value: return map_sub_property_of(s, o);
    case vocab::kOwlPropertyChainAxiom.value: {
      auto chain = map_list(o, [&](TermId i) { return object_property_expression(i); });
      auto sup = object_property_expression(s);
      return chain && sup &&
             add(draft_.node(Form::SubObjectPropertyOf,
                             {draft_.node(Form::ObjectPropertyChain, *chain), *sup}));
    }
    case vocab::kOwlEquivalentProperty.value:
    case vocab::kOwlPropertyDisjointWith.value: return map_property_pair(t);
    case vocab::kOwlInverseOf.value: {
      if (!terms().is_iri(s)) return false;  // part of an inverse property expression
      auto a = object_property_expression(s);
      auto b = object_property_expression(o);
      return a && b && add(draft_.node(Form::InverseObjectProperties, {*a, *b}));
    }
    case vocab::kRdfsDomain.value:
    case vocab::kRdfsRange.value: return map_domain_or_range(t);
    case vocab::kOwlHasKey.value: return map_has_key(s, o);
    case vocab::kOwlSameAs.value:
    case vocab::kOwlDifferentFrom.value: {
      auto a = individual(s);
      auto b = individual(o);
      return a && b && add(draft_.node(t.predicate == vocab::kOwlSameAs ? Form::SameIndividual : Form::DifferentIndividuals, {*a, *b}));
    }
    default: break;
  }
  return map_property_assertion(t);
}

bool Mapper::map_named_constructor(const TripleIds& t) {
  // A named class that carries a constructor itself (the way older RDF/XML
  // defines classes) is equivalent to the expression; a named datatype so
  // is defined by the data range. On a blank node the triple is part of an
  // expression.
  const TermId s = t.subject;
  if (!terms().is_iri(s)) return false;
  if (looks_like_data_range(s)) {
    auto r = range_constructor(t.predicate, t.object, 0);
    return r && add(draft_.node(Form::DatatypeDefinition, {entity(Form::Datatype, s), *r}));
  }
  auto c = class_constructor(t.predicate, t.object, 0);
  return c && add(draft_.node(Form::EquivalentClasses, {entity(Form::Class, s), *c}));
}

bool Mapper::map_sub_property_of(TermId s, TermId o) {
  if (is_data_property(s) && is_data_property(o)) {
    return add(draft_.node(Form::SubDataPropertyOf, {entity(Form::DataProperty, s), entity(Form::DataProperty, o)}));
  }
  const std::uint8_t ks = kinds(s), ko = kinds(o);
  if ((ks & kAnnotationPropertyKind) && (ko & kAnnotationPropertyKind) &&
      !((ks | ko) & (kObjectPropertyKind | kDataPropertyKind))) {
    return add(draft_.node(Form::SubAnnotationPropertyOf,
                           {entity(Form::AnnotationProperty, s), entity(Form::AnnotationProperty, o)}));
  }
  if (!((ks & kObjectPropertyKind) || terms().is_blank(s)) || !((ko & kObjectPropertyKind) || terms().is_blank(o))) {
    return false;
  }
  auto a = object_property_expression(s);
  auto b = object_property_expression(o);
  return a && b && add(draft_.node(Form::SubObjectPropertyOf, {*a, *b}));
}

// owl:equivalentProperty and owl:propertyDisjointWith.
bool Mapper::map_property_pair(const TripleIds& t) {
  const TermId s = t.subject;
  const TermId o = t.object;
  const bool eq = t.predicate == vocab::kOwlEquivalentProperty;
  if (is_data_property(s) && is_data_property(o)) {
    return add(draft_.node(eq ? Form::EquivalentDataProperties : Form::DisjointDataProperties,
                           {entity(Form::DataProperty, s), entity(Form::DataProperty, o)}));
  }
  // Object properties, or inverse property expressions (blank nodes).
  auto object_like = [&](TermId x) { return terms().is_blank(x) || (kinds(x) & kObjectPropertyKind) != 0; };
  if (!object_like(s) || !object_like(o)) return false;
  auto a = object_property_expression(s);
  auto b = object_property_expression(o);
  return a && b && add(draft_.node(eq ? Form::EquivalentObjectProperties : Form::DisjointObjectProperties, {*a, *b}));
}

// rdfs:domain and rdfs:range of annotation, data and object properties.
bool Mapper::map_domain_or_range(const TripleIds& t) {
  const TermId s = t.subject;
  const TermId o = t.object;
  const bool domain = t.predicate == vocab::kRdfsDomain;
  const std::uint8_t k = kinds(s);
  if ((k & kAnnotationPropertyKind) && !(k & (kObjectPropertyKind | kDataPropertyKind))) {
    if (!terms().is_iri(o)) return false;
    return add(draft_.node(domain ? Form::AnnotationPropertyDomain : Form::AnnotationPropertyRange,
                           {entity(Form::AnnotationProperty, s), draft_.leaf(Form::Iri, terms().text(o))}));
  }
  if (is_data_property(s)) {
    auto filler = domain ? class_expression(o) : data_range(o);
    return filler && add(draft_.node(domain ? Form::DataPropertyDomain : Form::DataPropertyRange,
                                     {entity(Form::DataProperty, s), *filler}));
  }
  if (!(k & kObjectPropertyKind) && !terms().is_blank(s)) return false;
  auto p = object_property_expression(s);
  auto c = class_expression(o);
  return p && c && add(draft_.node(domain ? Form::ObjectPropertyDomain : Form::ObjectPropertyRange, {*p, *c}));
}

bool Mapper::map_has_key(TermId s, TermId o) {
  auto c = class_expression(s);
  auto cells = list(o);
  if (!c || !cells) return false;
  std::vector<NodeRef> objects, data;
  for (TermId item : cells->items) {
    if (is_data_property(item)) {
      data.push_back(entity(Form::DataProperty, item));
    } else if (auto p = object_property_expression(item)) {
      objects.push_back(*p);
    } else {
      return false;
    }
  }
  std::vector<NodeRef> ops{*c};
  ops.insert(ops.end(), objects.begin(), objects.end());
  ops.insert(ops.end(), data.begin(), data.end());
  use_list(*cells);
  return add(draft_.node(Form::HasKey, ops));
}

// A triple whose predicate is no axiom vocabulary: an object or data
// property assertion.
bool Mapper::map_property_assertion(const TripleIds& t) {
  // Structural vocabulary (list cells, parts of expressions) is consumed by
  // the axiom that uses it; on its own it maps to nothing.
  const std::uint8_t k = kinds(t.predicate);
  if (vocab::is_vocab(t.predicate) && !(k & (kObjectPropertyKind | kDataPropertyKind))) return false;
  if (terms().is_literal(t.object)) {
    if (!(k & kDataPropertyKind)) return false;
    auto i = individual(t.subject);
    auto v = literal(t.object);
    return i && v && add(draft_.node(Form::DataPropertyAssertion, {entity(Form::DataProperty, t.predicate), *i, *v}));
  }
  if (!(k & kObjectPropertyKind)) return false;
  auto a = individual(t.subject);
  auto b = individual(t.object);
  return a && b && add(draft_.node(Form::ObjectPropertyAssertion, {entity(Form::ObjectProperty, t.predicate), *a, *b}));
}

}  // namespace detail

std::expected<MappingResult, Error> map_graph_to_owl(Graph& graph, const std::atomic<bool>* cancel) try {
  if (!graph.indexed()) graph.build_indexes();
  MappingResult result;
  detail::Mapper mapper(graph, result.ontology, result.incomplete);
  if (!mapper.run(cancel)) return make_error(ErrorKind::Internal, kCancelledText);
  return result;
} catch (const std::bad_alloc&) {
  return make_error(ErrorKind::Internal, "out of memory while mapping RDF to OWL");
}

std::expected<RdfOntology, Error> read_rdf_ontology(std::string_view text, RdfSyntax syntax,
                                                    const ReadOptions& options) {
  Graph graph;
  auto stats = read_rdf(text, syntax, graph, options);
  if (!stats) return std::unexpected(std::move(stats.error()));
  auto mapped = map_graph_to_owl(graph, options.cancel);
  if (!mapped) return std::unexpected(std::move(mapped.error()));
  return RdfOntology{std::move(mapped->ontology), std::move(mapped->incomplete), *stats};
}

}  // namespace trelvanic_rdf
