#include "parser/map_dl.h"

#include <algorithm>
#include <vector>


#include "core/characteristic.h"
#include "parser/map.h"

namespace trelvanic_parser {

using trelvanic_core::CeId;
using trelvanic_core::CeKind;
using trelvanic_core::ClassExpr;
using trelvanic_core::DataExpr;
using trelvanic_core::DeId;
using trelvanic_core::DlAxiom;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_core::OwlConstruct;
using trelvanic_core::RoleExpr;
using trelvanic_owl::Kind;
using trelvanic_owl::NodeId;

// ---- profile constructs of DL axioms

void note_class_expression_constructs(const trelvanic_core::DlStore& store, CeId root,
                                      trelvanic_core::ParseMeta& meta, NotedExpressions& noted) {
  // Explicit stack: interned expressions can be nested as deep as the input.
  std::vector<CeId> todo{root};
  while (!todo.empty()) {
    const CeId id = todo.back();
    todo.pop_back();
    if (!store.has_ce(id)) continue;
    auto& seen = noted.expressions;
    if (id.value >= seen.size()) seen.resize(std::max<size_t>(store.ce_count(), id.value + 1));
    if (seen[id.value]) continue;
    seen[id.value] = true;
    const auto e = store.ce(id);
    auto note_role = [&] {
      if (e.role().is_inverse()) noted.note(meta, OwlConstruct::InverseObjectProperties);
    };
    switch (e.kind) {
      case CeKind::Top:
      case CeKind::Bottom:
      case CeKind::Atomic: break;
      case CeKind::Not:
        noted.note(meta, OwlConstruct::ObjectComplementOf);
        todo.push_back(e.operand());
        break;
      case CeKind::And:
        noted.note(meta, OwlConstruct::ObjectIntersectionOf);
        for (CeId op : e.operands()) todo.push_back(op);
        break;
      case CeKind::Or:
        noted.note(meta, OwlConstruct::ObjectUnionOf);
        for (CeId op : e.operands()) todo.push_back(op);
        break;
      case CeKind::Some:
        noted.note(meta, OwlConstruct::ObjectSomeValuesFrom);
        note_role();
        todo.push_back(*e.filler());
        break;
      case CeKind::All:
        noted.note(meta, OwlConstruct::ObjectAllValuesFrom);
        note_role();
        todo.push_back(*e.filler());
        break;
      case CeKind::OneOf: noted.note(meta, OwlConstruct::ObjectOneOf); break;
      case CeKind::HasValue:
        noted.note(meta, OwlConstruct::ObjectHasValue);
        note_role();
        break;
      case CeKind::HasSelf: noted.note(meta, OwlConstruct::ObjectHasSelf); break;
      case CeKind::MinCardinality:
      case CeKind::MaxCardinality:
      case CeKind::ExactCardinality: noted.note(meta, OwlConstruct::ObjectCardinality); break;
      case CeKind::DataAll:
      case CeKind::DataSome:
      case CeKind::DataHasValue:
      case CeKind::DataMinCardinality:
      case CeKind::DataMaxCardinality:
      case CeKind::DataExactCardinality: noted.note(meta, OwlConstruct::Datatype); break;
    }
  }
}

void note_dl_axiom_constructs(const trelvanic_core::DlStore& store, const DlAxiom& a,
                              trelvanic_core::ParseMeta& meta, NotedExpressions& noted) {
  auto note = [&](OwlConstruct c) { noted.note(meta, c); };
  auto ce = [&](CeId id) { note_class_expression_constructs(store, id, meta, noted); };
  auto inverse_role = [&](RoleExpr r) {
    if (r.is_inverse()) note(OwlConstruct::InverseObjectProperties);
  };
  switch (a.kind) {
    case DlAxiomKind::SubClassOf:
      note(OwlConstruct::SubClassOfNamed);
      ce(a.sub());
      ce(a.sup());
      break;
    case DlAxiomKind::EquivalentClasses:
      note(OwlConstruct::EquivalentClasses);
      for (CeId c : a.classes()) ce(c);
      break;
    case DlAxiomKind::DisjointClasses:
      note(OwlConstruct::DisjointClasses);
      for (CeId c : a.classes()) ce(c);
      break;
    case DlAxiomKind::ObjectPropertyDomain:
      note(OwlConstruct::ObjectPropertyDomain);
      ce(a.domain());
      break;
    case DlAxiomKind::ObjectPropertyRange:
      note(OwlConstruct::ObjectPropertyRange);
      ce(a.range());
      break;
    case DlAxiomKind::SubObjectPropertyChain: note(OwlConstruct::SubObjectPropertyChain); break;
    case DlAxiomKind::SubObjectPropertyOf:
      note(OwlConstruct::SubObjectPropertyOf);
      if (a.sub_role().is_inverse() || a.sup_role().is_inverse()) note(OwlConstruct::InverseObjectProperties);
      break;
    case DlAxiomKind::HasKey:
      note(OwlConstruct::HasKey);
      ce(a.class_expr());
      break;
    case DlAxiomKind::ClassAssertion:
      note(OwlConstruct::ClassAssertion);
      ce(a.class_expr());
      break;
    case DlAxiomKind::DataPropertyDomain:
      note(OwlConstruct::Datatype);
      ce(a.domain());
      break;
    case DlAxiomKind::DataPropertyRange:
    case DlAxiomKind::DatatypeDefinition: note(OwlConstruct::Datatype); break;
    case DlAxiomKind::SubDataPropertyOf:
    case DlAxiomKind::FunctionalDataProperty:
    case DlAxiomKind::EquivalentDataProperties:
    case DlAxiomKind::DisjointDataProperties: note(OwlConstruct::DataPropertyAxiom); break;
    case DlAxiomKind::DataPropertyAssertion: note(OwlConstruct::DataPropertyAssertion); break;
    case DlAxiomKind::NegativeObjectPropertyAssertion:
    case DlAxiomKind::NegativeDataPropertyAssertion: break;
    case DlAxiomKind::ObjectPropertyAssertion:
      note(OwlConstruct::ObjectPropertyAssertion);
      inverse_role(a.role());
      break;
    case DlAxiomKind::DisjointObjectProperties: note(OwlConstruct::DisjointObjectProperties); break;
    case DlAxiomKind::SameIndividual:
    case DlAxiomKind::DifferentIndividuals: note(OwlConstruct::IndividualEquality); break;
    case DlAxiomKind::TransitiveObjectProperty:
    case DlAxiomKind::SymmetricObjectProperty:
      note(characteristic_row(*characteristic_of(a.kind)).construct);
      inverse_role(a.role());
      break;
    case DlAxiomKind::SwrlRule: note(OwlConstruct::SwrlRule); break;
    case DlAxiomKind::InverseFunctionalObjectProperty:
    case DlAxiomKind::IrreflexiveObjectProperty: note(characteristic_row(*characteristic_of(a.kind)).construct); break;
    case DlAxiomKind::DisjointRoles:
      note(OwlConstruct::DisjointObjectProperties);
      for (size_t i = 0; i < a.roles().size(); ++i) inverse_role(a.roles()[i]);
      break;
  }
}

// ---- class expressions

namespace {

// The class-expression operands a form maps before itself, in order.
std::span<const uint32_t> ce_children(const trelvanic_owl::Ontology& m, NodeId ce) {
  const auto words = m.words(ce);
  switch (m.kind(ce)) {
    case Kind::ObjectIntersectionOf:
    case Kind::ObjectUnionOf:
    case Kind::ObjectComplementOf: return words;
    case Kind::ObjectSomeValuesFrom:
    case Kind::ObjectAllValuesFrom: return words.subspan(1, 1);
    case Kind::ObjectMinCardinality:
    case Kind::ObjectMaxCardinality:
    case Kind::ObjectExactCardinality:
      // owl:Thing as the filler means an unqualified restriction.
      return m.is_owl_thing(NodeId(words[2])) ? words.subspan(0, 0) : words.subspan(2, 1);
    default: return {};
  }
}

// The position of the property among the operand words, for the forms that
// resolve it before their filler.
std::optional<size_t> role_position(Kind k) {
  switch (k) {
    case Kind::ObjectSomeValuesFrom:
    case Kind::ObjectAllValuesFrom: return 0;
    case Kind::ObjectMinCardinality:
    case Kind::ObjectMaxCardinality:
    case Kind::ObjectExactCardinality: return 1;
    default: return std::nullopt;
  }
}

CeKind cardinality_kind(Kind k) {
  switch (k) {
    case Kind::ObjectMinCardinality: return CeKind::MinCardinality;
    case Kind::ObjectMaxCardinality: return CeKind::MaxCardinality;
    case Kind::ObjectExactCardinality: return CeKind::ExactCardinality;
    case Kind::DataMinCardinality: return CeKind::DataMinCardinality;
    case Kind::DataMaxCardinality: return CeKind::DataMaxCardinality;
    default: return CeKind::DataExactCardinality;
  }
}

}  // namespace

void Mapper::prefetch_expressions(trelvanic_owl::Component component) {
  // A bounded walk over the component's class-expression operands (shared
  // operands may repeat, so the bound also caps a deeply shared expression).
  // What it can fingerprint now: unmapped named classes already registered,
  // and unmapped forms whose operands are all mapped; names not registered
  // yet get their IRI slot loaded instead. An operand mapped between now and
  // the visit only wastes the hint.
  constexpr size_t kMaxVisits = 48;
  constexpr uint16_t kClassBit = 1u << static_cast<unsigned>(EntityKind::Class);
  constexpr uint16_t kPropertyBit = 1u << static_cast<unsigned>(EntityKind::ObjectProperty);
  auto& todo = prefetch_stack_;
  todo.clear();
  bool composite = false;
  // A name met for the first time is registered during the visit: the IRI
  // table's slot is loaded now.
  // (Annotation properties and datatypes are left out: the former are met
  // in annotation components, which register nothing.)
  auto prefetch_new_name = [&](NodeId n, const NodeCache& c) {
    if (c.entity == 0 && trelvanic_owl::kind_role(c.kind) == trelvanic_owl::KindRole::Entity &&
        c.kind != Kind::AnnotationProperty && c.kind != Kind::Datatype)
      ontology_.prefetch_entity(model_.iri_text(n));
  };
  const auto top = model_.words(component.node);
  for (uint32_t w : top) {
    if (w >= cache_.size()) continue;
    prefetch_new_name(NodeId(w), cache_[w]);
    const Kind k = cache_[w].kind;
    if (k == Kind::Class) {
      todo.push_back(NodeId(w));
    } else if (k >= Kind::ObjectIntersectionOf && k <= Kind::ObjectAllValuesFrom) {
      todo.push_back(NodeId(w));
      composite = true;
    }
  }
  // Named operands of told-only axioms never enter the DL store.
  if (!composite) return;
  const auto& dl = ontology_.dl();
  auto mapped = [&](uint32_t n) { return n < cache_.size() ? cache_[n].mapped : 0; };
  auto& ids = prefetch_ids_;
  for (size_t visits = 0; !todo.empty() && visits < kMaxVisits; ++visits) {
    const NodeId n = todo.back();
    todo.pop_back();
    const NodeCache& c = cache_[n.value];
    if (c.mapped) continue;
    const auto words = model_.words(n);
    switch (c.kind) {
      case Kind::Class:
        if (c.entity != 0 && (c.kinds & kClassBit) != 0) {
          dl.prefetch_ce(ClassExpr::atomic(EntityId(c.entity - 1)));
        } else if (std::find(top.begin(), top.end(), n.value) == top.end()) {
          prefetch_new_name(n, c);  // (the operands of the component are done above)
        }
        break;
      case Kind::ObjectIntersectionOf:
      case Kind::ObjectUnionOf: {
        ids.clear();
        for (uint32_t w : words) {
          if (const uint32_t hit = mapped(w)) {
            ids.push_back(CeId(hit - 1));
          } else {
            todo.push_back(NodeId(w));
          }
        }
        if (ids.size() == words.size())
          dl.prefetch_ce(c.kind == Kind::ObjectIntersectionOf ? ClassExpr::and_of(ids) : ClassExpr::or_of(ids));
        break;
      }
      case Kind::ObjectComplementOf:
        if (const uint32_t hit = mapped(words[0])) {
          dl.prefetch_ce(ClassExpr::complement_of(CeId(hit - 1)));
        } else {
          todo.push_back(NodeId(words[0]));
        }
        break;
      case Kind::ObjectSomeValuesFrom:
      case Kind::ObjectAllValuesFrom: {
        const NodeCache& p = cache_[words[0]];
        prefetch_new_name(NodeId(words[0]), p);
        const uint32_t hit = mapped(words[1]);
        if (!hit) {
          todo.push_back(NodeId(words[1]));
          break;
        }
        if (p.kind != Kind::ObjectProperty || p.entity == 0 || (p.kinds & kPropertyBit) == 0) break;
        const auto role = trelvanic_core::RoleExpr::atomic(EntityId(p.entity - 1));
        dl.prefetch_ce(c.kind == Kind::ObjectSomeValuesFrom ? ClassExpr::some(role, CeId(hit - 1))
                                                             : ClassExpr::all(role, CeId(hit - 1)));
        break;
      }
      default: break;
    }
  }
}

// Post-order over the expression with an explicit stack, so nesting depth
// costs heap, not C stack. Each form resolves its property (when it has
// one) before its filler is mapped; a part that gives nothing makes the
// whole expression give nothing, and mapping stops there.
std::optional<CeId> Mapper::map_class_expression(NodeId root) {
  if (uint32_t hit = cache_[root.value].mapped) return CeId(hit - 1);
  // Scratch kept across calls (the walk is never re-entered).
  auto& frames = ce_frames_;
  auto& results = ce_results_;
  frames.clear();
  results.clear();
  auto open = [&](NodeId n) -> bool {
    CeFrame f{n, 0, static_cast<uint32_t>(results.size()), {}};
    if (auto pos = role_position(node_kind(n))) {
      auto role = resolve_role(NodeId(model_.words(n)[*pos]));
      if (!role) return false;
      f.role = *role;
    }
    frames.push_back(f);
    return true;
  };
  if (!open(root)) return std::nullopt;
  while (!frames.empty()) {
    CeFrame& f = frames.back();
    const auto children = ce_children(model_, f.node);
    if (f.next < children.size()) {
      const NodeId child(children[f.next++]);
      if (uint32_t hit = cache_[child.value].mapped) {
        results.push_back(CeId(hit - 1));
      } else if (!open(child)) {
        return std::nullopt;
      }
      continue;
    }
    const CeFrame done = f;
    frames.pop_back();
    auto e = finish_class_expression(done.node, done.role, std::span(results).subspan(done.base));
    if (!e) return std::nullopt;
    const CeId id = ontology_.dl_mut().intern_ce(*e);
    cache_[done.node.value].mapped = id.value + 1;
    results.resize(done.base);
    results.push_back(id);
  }
  return results.back();
}

std::optional<ClassExpr> Mapper::finish_class_expression(NodeId ce, RoleExpr role, std::span<const CeId> children) {
  const auto& m = model_;
  // The data property of a data restriction: registered, else looked up.
  auto data_property = [&](NodeId dp) { return register_else_lookup(dp, EntityKind::DataProperty); };
  const Kind k = node_kind(ce);
  switch (k) {
    case Kind::Class:
      if (ce == nothing_class_) return ClassExpr::bottom();
      if (auto id = register_class(ce)) return ClassExpr::atomic(*id);
      return std::nullopt;
    // OWL 2 gives intersections and unions two operands at least and
    // enumerations one. One operand (common in RDF files) is the operand
    // itself, exactly; an empty one is not mapped.
    case Kind::ObjectIntersectionOf:
    case Kind::ObjectUnionOf: {
      if (children.size() == 1) return ClassExpr::from_view(ontology_.dl().ce(children[0]));
      if (children.size() < 2) return std::nullopt;
      std::vector<CeId> ops(children.begin(), children.end());
      return k == Kind::ObjectIntersectionOf ? ClassExpr::and_of(ops) : ClassExpr::or_of(ops);
    }
    case Kind::ObjectComplementOf: return ClassExpr::complement_of(children[0]);
    case Kind::ObjectOneOf: {
      if (m.operands(ce).empty()) return std::nullopt;
      std::vector<EntityId> inds;
      for (NodeId op : m.operands(ce)) {
        auto id = map_individual_entity(op);
        if (!id) return std::nullopt;
        inds.push_back(*id);
      }
      return ClassExpr::one_of(inds);
    }
    case Kind::ObjectSomeValuesFrom: return ClassExpr::some(role, children[0]);
    case Kind::ObjectAllValuesFrom: return ClassExpr::all(role, children[0]);
    case Kind::ObjectHasValue: {
      auto r = resolve_role(m.operand(ce, 0));
      if (!r) return std::nullopt;
      auto ind = map_individual_entity(m.operand(ce, 1));
      if (!ind) return std::nullopt;
      return ClassExpr::has_value(*r, *ind);
    }
    case Kind::ObjectHasSelf: {
      auto r = resolve_role(m.operand(ce, 0));
      // The DL form names a plain property: x is its own R⁻-successor
      // exactly when its own R-successor.
      if (!r) return std::nullopt;
      return ClassExpr::has_self(r->property);
    }
    case Kind::ObjectMinCardinality:
    case Kind::ObjectMaxCardinality:
    case Kind::ObjectExactCardinality: {
      // An unmappable filler never reaches here (the whole gives nothing),
      // so a restriction is never widened into an unqualified one.
      std::optional<CeId> filler;
      if (!children.empty()) filler = children[0];
      return ClassExpr::cardinality(cardinality_kind(k), m.cardinality(ce), role, filler);
    }
    case Kind::DataSomeValuesFrom:
    case Kind::DataAllValuesFrom: {
      auto range = intern_data_range(m.operand(ce, 1));
      if (!range) return std::nullopt;
      auto p = data_property(m.operand(ce, 0));
      if (!p) return std::nullopt;
      return k == Kind::DataSomeValuesFrom ? ClassExpr::data_some(*p, *range) : ClassExpr::data_all(*p, *range);
    }
    case Kind::DataHasValue: {
      auto lit = build_literal(m.operand(ce, 1));
      if (!lit) return std::nullopt;
      const DeId value = ontology_.dl_mut().intern_de(*lit);
      auto p = data_property(m.operand(ce, 0));
      if (!p) return std::nullopt;
      return ClassExpr::data_has_value(*p, value);
    }
    case Kind::DataMinCardinality:
    case Kind::DataMaxCardinality:
    case Kind::DataExactCardinality: {
      auto range = intern_data_range(m.operand(ce, 2));
      if (!range) return std::nullopt;
      auto p = data_property(m.operand(ce, 1));
      if (!p) return std::nullopt;
      return ClassExpr::data_cardinality(cardinality_kind(k), m.cardinality(ce), *p, *range);
    }
    default: return std::nullopt;  // not a class expression
  }
}

// ---- data ranges and literals

std::optional<DataExpr> Mapper::build_literal(NodeId literal) {
  const auto& m = model_;
  std::string lexical(m.literal_lexical(literal));
  const trelvanic_owl::TextId language = m.literal_language(literal);
  const trelvanic_owl::IriId datatype = m.literal_datatype(literal);
  if (language) {
    lexical += '@';
    lexical += m.text(language);
  }
  const uint32_t key = language ? kLanguageTagged : datatype.value;
  auto known = literal_datatypes_.find(key);
  if (known != literal_datatypes_.end()) return DataExpr::literal(std::move(lexical), known->second);
  std::optional<EntityId> dt;
  if (language) {
    dt = register_or_warn_entity(kRdfLangString, EntityKind::Datatype);
  } else if (datatype) {
    dt = register_or_warn_entity(m.iri(datatype), EntityKind::Datatype);
  } else {
    dt = register_or_warn_entity(kXsdString, EntityKind::Datatype);
  }
  if (!dt) return std::nullopt;
  literal_datatypes_.emplace(key, *dt);
  return DataExpr::literal(std::move(lexical), *dt);
}

namespace {

// The data ranges a form interns before itself, in order.
std::span<const uint32_t> de_children(const trelvanic_owl::Ontology& m, NodeId range) {
  switch (m.kind(range)) {
    case Kind::DataIntersectionOf:
    case Kind::DataUnionOf:
    case Kind::DataComplementOf: return m.words(range);
    default: return {};
  }
}

}  // namespace

std::optional<DataExpr> Mapper::build_data_range(NodeId range) {
  // The operands are interned (each with its own explicit stack); only the
  // form itself is left uninterned.
  std::vector<DeId> children;
  for (uint32_t w : de_children(model_, range)) {
    auto id = intern_data_range(NodeId(w));
    if (!id) return std::nullopt;
    children.push_back(*id);
  }
  return finish_data_range(range, children);
}

std::optional<DeId> Mapper::intern_data_range(NodeId root) {
  if (uint32_t hit = cache_[root.value].mapped) return DeId(hit - 1);
  struct Frame {
    NodeId node;
    uint32_t next;
    uint32_t base;
  };
  // Data ranges nest only inside data ranges, so this walk is short-lived
  // and rarely deep; its buffers are local.
  std::vector<Frame> frames{{root, 0, 0}};
  std::vector<DeId> results;
  while (!frames.empty()) {
    Frame& f = frames.back();
    const auto children = de_children(model_, f.node);
    if (f.next < children.size()) {
      const NodeId child(children[f.next++]);
      if (uint32_t hit = cache_[child.value].mapped)
        results.push_back(DeId(hit - 1));
      else
        frames.push_back({child, 0, static_cast<uint32_t>(results.size())});
      continue;
    }
    const Frame done = f;
    frames.pop_back();
    auto e = finish_data_range(done.node, std::span(results).subspan(done.base));
    if (!e) return std::nullopt;
    const DeId id = ontology_.dl_mut().intern_de(*e);
    cache_[done.node.value].mapped = id.value + 1;
    results.resize(done.base);
    results.push_back(id);
  }
  return results.back();
}

std::optional<DataExpr> Mapper::finish_data_range(NodeId range, std::span<const DeId> children) {
  const auto& m = model_;
  switch (node_kind(range)) {
    case Kind::Datatype: {
      auto id = register_as(range, EntityKind::Datatype);
      if (!id) return std::nullopt;
      return DataExpr::datatype_ref(*id);
    }
    case Kind::DataIntersectionOf:
    case Kind::DataUnionOf: {
      if (children.size() == 1) return DataExpr::from_view(ontology_.dl().de(children[0]));
      if (children.size() < 2) return std::nullopt;
      std::vector<DeId> ops(children.begin(), children.end());
      return node_kind(range) == Kind::DataIntersectionOf ? DataExpr::and_of(ops) : DataExpr::or_of(ops);
    }
    case Kind::DataComplementOf: return DataExpr::complement_of(children[0]);
    case Kind::DataOneOf: {
      const auto literals = m.operands(range);
      if (literals.empty()) return std::nullopt;
      if (literals.size() == 1) return build_literal(literals[0]);
      std::vector<DeId> ids;
      for (NodeId lit : literals) {
        auto e = build_literal(lit);
        if (!e) return std::nullopt;
        ids.push_back(ontology_.dl_mut().intern_de(*e));
      }
      return DataExpr::or_of(ids);
    }
    case Kind::DatatypeRestriction: {
      const auto words = m.words(range);
      auto base = register_as(NodeId(words[0]), EntityKind::Datatype);
      if (!base) return std::nullopt;
      DataExpr e = DataExpr::datatype_ref(*base);
      // Facets nest to the left: each one restricts what is built so far.
      for (size_t i = 1; i < words.size(); ++i) {
        const NodeId facet(words[i]);
        const NodeId value = m.operand(facet, 1);
        std::string text(m.literal_lexical(value));
        if (const auto lang = m.literal_language(value)) {
          text += '@';
          text += m.text(lang);
        }
        const DeId b = ontology_.dl_mut().intern_de(e);
        e = DataExpr::facet(b, std::string(m.iri_text(m.operand(facet, 0))), std::move(text));
      }
      return e;
    }
    default: return std::nullopt;  // not a data range
  }
}

// ---- individuals

std::optional<EntityId> Mapper::map_individual_entity(NodeId individual) {
  if (uint32_t hit = cache_[individual.value].mapped) return EntityId(hit - 1);
  std::optional<EntityId> id;
  if (node_kind(individual) == Kind::AnonymousIndividual) {
    id = register_or_warn_entity(anonymous_individual_iri(model_.node_label(individual), options_.document),
                                 EntityKind::Individual);
  } else {
    id = register_as(individual, EntityKind::Individual);
  }
  if (id) cache_[individual.value].mapped = id->value + 1;
  return id;
}

Operand Mapper::individual_status(NodeId individual) {
  if (auto id = map_individual_entity(individual)) return {OperandStatus::Resolved, *id};
  return {OperandStatus::Failed, {}};
}

bool Mapper::class_expression_uses_datatype(NodeId ce) {
  // Looks through complements, intersections and unions only; an explicit
  // stack keeps deep input off the C stack, and shared nested operands are
  // looked at once.
  auto& todo = datatype_todo_;
  todo.assign(1, ce);
  bool found = false;
  while (!todo.empty() && !found) {
    NodeId n = todo.back();
    todo.pop_back();
    if (n != ce && !mark_once(n)) continue;
    switch (node_kind(n)) {
      case Kind::ObjectComplementOf: todo.push_back(model_.operand(n, 0)); break;
      case Kind::DataSomeValuesFrom:
      case Kind::DataAllValuesFrom:
      case Kind::DataHasValue:
      case Kind::DataMinCardinality:
      case Kind::DataMaxCardinality:
      case Kind::DataExactCardinality: found = true; break;
      case Kind::ObjectIntersectionOf:
      case Kind::ObjectUnionOf: {
        const auto ops = model_.operands(n);
        for (size_t i = ops.size(); i-- > 0;) todo.push_back(ops[i]);
        break;
      }
      default: break;
    }
  }
  unmark_all();
  return found;
}

}  // namespace trelvanic_parser
