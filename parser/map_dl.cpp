#include "parser/map_dl.h"

#include <vector>

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
                                      trelvanic_core::ParseMeta& meta) {
  // Explicit stack: interned expressions can be nested as deep as the input.
  std::vector<CeId> todo{root};
  while (!todo.empty()) {
    const CeId id = todo.back();
    todo.pop_back();
    if (!store.has_ce(id)) continue;
    const auto e = store.ce(id);
    auto note_role = [&] {
      if (e.role().is_inverse()) meta.note_profile_construct(OwlConstruct::InverseObjectProperties);
    };
    switch (e.kind) {
      case CeKind::Top:
      case CeKind::Bottom:
      case CeKind::Atomic: break;
      case CeKind::Not:
        meta.note_profile_construct(OwlConstruct::ObjectComplementOf);
        todo.push_back(e.operand());
        break;
      case CeKind::And:
        meta.note_profile_construct(OwlConstruct::ObjectIntersectionOf);
        for (CeId op : e.operands()) todo.push_back(op);
        break;
      case CeKind::Or:
        meta.note_profile_construct(OwlConstruct::ObjectUnionOf);
        for (CeId op : e.operands()) todo.push_back(op);
        break;
      case CeKind::Some:
        meta.note_profile_construct(OwlConstruct::ObjectSomeValuesFrom);
        note_role();
        todo.push_back(*e.filler());
        break;
      case CeKind::All:
        meta.note_profile_construct(OwlConstruct::ObjectAllValuesFrom);
        note_role();
        todo.push_back(*e.filler());
        break;
      case CeKind::OneOf: meta.note_profile_construct(OwlConstruct::ObjectOneOf); break;
      case CeKind::HasValue:
        meta.note_profile_construct(OwlConstruct::ObjectHasValue);
        note_role();
        break;
      case CeKind::HasSelf: meta.note_profile_construct(OwlConstruct::ObjectHasSelf); break;
      case CeKind::MinCardinality:
      case CeKind::MaxCardinality:
      case CeKind::ExactCardinality: meta.note_profile_construct(OwlConstruct::ObjectCardinality); break;
      case CeKind::DataAll:
      case CeKind::DataSome:
      case CeKind::DataHasValue:
      case CeKind::DataMinCardinality:
      case CeKind::DataMaxCardinality:
      case CeKind::DataExactCardinality: meta.note_profile_construct(OwlConstruct::Datatype); break;
    }
  }
}

void note_dl_axiom_constructs(const trelvanic_core::DlStore& store, const DlAxiom& a,
                              trelvanic_core::ParseMeta& meta) {
  auto note = [&](OwlConstruct c) { meta.note_profile_construct(c); };
  auto ce = [&](CeId id) { note_class_expression_constructs(store, id, meta); };
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
      note(OwlConstruct::TransitiveObjectProperty);
      inverse_role(a.role());
      break;
    case DlAxiomKind::SymmetricObjectProperty:
      note(OwlConstruct::SymmetricObjectProperty);
      inverse_role(a.role());
      break;
    case DlAxiomKind::SwrlRule: note(OwlConstruct::SwrlRule); break;
    case DlAxiomKind::InverseFunctionalObjectProperty: note(OwlConstruct::InverseFunctionalObjectProperty); break;
    case DlAxiomKind::IrreflexiveObjectProperty: note(OwlConstruct::IrreflexiveObjectProperty); break;
  }
}

// ---- class expressions

std::optional<CeId> Mapper::map_class_expression(NodeId ce) { return map_class_expression_at(ce, 0); }

std::optional<CeId> Mapper::map_class_expression_at(NodeId ce, uint32_t depth) {
  if (uint32_t hit = cache_[ce.value].mapped) return CeId(hit - 1);
  // The readers bound nesting; a model built another way is held to the same bound.
  if (depth > trelvanic_owl::kMaxNestingDepth) return std::nullopt;
  const auto& m = model_;
  auto ops = [&](NodeId n) -> std::optional<std::vector<CeId>> {
    std::vector<CeId> ids;
    for (NodeId op : m.operands(n)) {
      auto id = map_class_expression_at(op, depth + 1);
      if (!id) return std::nullopt;
      ids.push_back(*id);
    }
    return ids;
  };
  // The data property of a data restriction: registered, else looked up.
  auto data_property = [&](NodeId dp) { return register_else_lookup(dp, EntityKind::DataProperty); };

  std::optional<ClassExpr> e;
  const Kind k = m.kind(ce);
  switch (k) {
    case Kind::Class:
      if (m.is_owl_nothing(ce)) {
        e = ClassExpr::bottom();
      } else if (auto id = register_class(ce)) {
        e = ClassExpr::atomic(*id);
      }
      break;
    case Kind::ObjectIntersectionOf:
    case Kind::ObjectUnionOf:
      if (auto ids = ops(ce)) e = k == Kind::ObjectIntersectionOf ? ClassExpr::and_of(*ids) : ClassExpr::or_of(*ids);
      break;
    case Kind::ObjectComplementOf:
      if (auto id = map_class_expression_at(m.operand(ce, 0), depth + 1)) e = ClassExpr::complement_of(*id);
      break;
    case Kind::ObjectOneOf: {
      std::vector<EntityId> inds;
      bool all = true;
      for (NodeId op : m.operands(ce)) {
        auto id = map_individual_entity(op);
        if (!id) {
          all = false;
          break;
        }
        inds.push_back(*id);
      }
      if (all) e = ClassExpr::one_of(inds);
      break;
    }
    case Kind::ObjectSomeValuesFrom:
    case Kind::ObjectAllValuesFrom: {
      auto role = resolve_role(m.operand(ce, 0));
      if (!role) break;
      auto filler = map_class_expression_at(m.operand(ce, 1), depth + 1);
      if (!filler) break;
      e = k == Kind::ObjectSomeValuesFrom ? ClassExpr::some(*role, *filler) : ClassExpr::all(*role, *filler);
      break;
    }
    case Kind::ObjectHasValue: {
      auto role = resolve_role(m.operand(ce, 0));
      if (!role) break;
      if (auto ind = map_individual_entity(m.operand(ce, 1))) e = ClassExpr::has_value(*role, *ind);
      break;
    }
    case Kind::ObjectHasSelf: {
      auto role = resolve_role(m.operand(ce, 0));
      // The DL form names a plain property; a self restriction over an
      // inverse gives nothing (its named property stays registered).
      if (role && !role->is_inverse()) e = ClassExpr::has_self(role->property);
      break;
    }
    case Kind::ObjectMinCardinality:
    case Kind::ObjectMaxCardinality:
    case Kind::ObjectExactCardinality: {
      auto role = resolve_role(m.operand(ce, 1));
      if (!role) break;
      const NodeId f = m.operand(ce, 2);
      std::optional<CeId> filler;
      if (!m.is_owl_thing(f)) {
        filler = map_class_expression_at(f, depth + 1);
        // An unmappable filler must not widen into owl:Thing: the whole
        // restriction gives nothing.
        if (!filler) break;
      }
      const CeKind ck = k == Kind::ObjectMinCardinality   ? CeKind::MinCardinality
                        : k == Kind::ObjectMaxCardinality ? CeKind::MaxCardinality
                                                          : CeKind::ExactCardinality;
      e = ClassExpr::cardinality(ck, m.cardinality(ce), *role, filler);
      break;
    }
    case Kind::DataSomeValuesFrom:
    case Kind::DataAllValuesFrom: {
      auto range = intern_data_range_at(m.operand(ce, 1), depth + 1);
      if (!range) break;
      auto p = data_property(m.operand(ce, 0));
      if (!p) break;
      e = k == Kind::DataSomeValuesFrom ? ClassExpr::data_some(*p, *range) : ClassExpr::data_all(*p, *range);
      break;
    }
    case Kind::DataHasValue: {
      auto lit = build_literal(m.operand(ce, 1));
      if (!lit) break;
      const DeId value = ontology_.dl_mut().intern_de(*lit);
      auto p = data_property(m.operand(ce, 0));
      if (!p) break;
      e = ClassExpr::data_has_value(*p, value);
      break;
    }
    case Kind::DataMinCardinality:
    case Kind::DataMaxCardinality:
    case Kind::DataExactCardinality: {
      auto range = intern_data_range_at(m.operand(ce, 2), depth + 1);
      if (!range) break;
      auto p = data_property(m.operand(ce, 1));
      if (!p) break;
      const CeKind ck = k == Kind::DataMinCardinality   ? CeKind::DataMinCardinality
                        : k == Kind::DataMaxCardinality ? CeKind::DataMaxCardinality
                                                        : CeKind::DataExactCardinality;
      e = ClassExpr::data_cardinality(ck, m.cardinality(ce), *p, *range);
      break;
    }
    default: break;  // not a class expression
  }
  if (!e) return std::nullopt;
  const CeId id = ontology_.dl_mut().intern_ce(*e);
  cache_[ce.value].mapped = id.value + 1;
  return id;
}

// ---- data ranges and literals

std::optional<DataExpr> Mapper::build_literal(NodeId literal) {
  const auto& m = model_;
  std::string lexical(m.literal_lexical(literal));
  const trelvanic_owl::TextId language = m.literal_language(literal);
  const trelvanic_owl::IriId datatype = m.literal_datatype(literal);
  std::optional<EntityId> dt;
  if (language) {
    lexical += '@';
    lexical += m.text(language);
    dt = register_or_warn_entity(kRdfLangString, EntityKind::Datatype);
  } else if (datatype) {
    dt = register_or_warn_entity(m.iri(datatype), EntityKind::Datatype);
  } else {
    dt = register_or_warn_entity(kXsdString, EntityKind::Datatype);
  }
  if (!dt) return std::nullopt;
  return DataExpr::literal(std::move(lexical), *dt);
}

std::optional<DataExpr> Mapper::build_data_range(NodeId range) { return build_data_range_at(range, 0); }

std::optional<DeId> Mapper::intern_data_range(NodeId range) { return intern_data_range_at(range, 0); }

std::optional<DeId> Mapper::intern_data_range_at(NodeId range, uint32_t depth) {
  if (uint32_t hit = cache_[range.value].mapped) return DeId(hit - 1);
  auto e = build_data_range_at(range, depth);
  if (!e) return std::nullopt;
  const DeId id = ontology_.dl_mut().intern_de(*e);
  cache_[range.value].mapped = id.value + 1;
  return id;
}

std::optional<DataExpr> Mapper::build_data_range_at(NodeId range, uint32_t depth) {
  if (depth > trelvanic_owl::kMaxNestingDepth) return std::nullopt;
  const auto& m = model_;
  auto ops = [&](NodeId n) -> std::optional<std::vector<DeId>> {
    std::vector<DeId> ids;
    for (NodeId op : m.operands(n)) {
      auto id = intern_data_range_at(op, depth + 1);
      if (!id) return std::nullopt;
      ids.push_back(*id);
    }
    return ids;
  };
  switch (m.kind(range)) {
    case Kind::Datatype: {
      auto id = register_as(range, EntityKind::Datatype);
      if (!id) return std::nullopt;
      return DataExpr::datatype_ref(*id);
    }
    case Kind::DataIntersectionOf:
    case Kind::DataUnionOf: {
      auto ids = ops(range);
      if (!ids) return std::nullopt;
      return m.kind(range) == Kind::DataIntersectionOf ? DataExpr::and_of(*ids) : DataExpr::or_of(*ids);
    }
    case Kind::DataComplementOf: {
      auto id = intern_data_range_at(m.operand(range, 0), depth + 1);
      if (!id) return std::nullopt;
      return DataExpr::complement_of(*id);
    }
    case Kind::DataOneOf: {
      const auto literals = m.operands(range);
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
  if (model_.kind(individual) == Kind::AnonymousIndividual) {
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

bool Mapper::class_expression_uses_datatype(NodeId ce) const {
  // Looks through complements, intersections and unions only; an explicit
  // stack keeps deep input off the C stack.
  std::vector<NodeId> todo{ce};
  while (!todo.empty()) {
    NodeId n = todo.back();
    todo.pop_back();
    switch (model_.kind(n)) {
      case Kind::ObjectComplementOf: todo.push_back(model_.operand(n, 0)); break;
      case Kind::DataSomeValuesFrom:
      case Kind::DataAllValuesFrom:
      case Kind::DataHasValue:
      case Kind::DataMinCardinality:
      case Kind::DataMaxCardinality:
      case Kind::DataExactCardinality: return true;
      case Kind::ObjectIntersectionOf:
      case Kind::ObjectUnionOf: {
        const auto ops = model_.operands(n);
        for (size_t i = ops.size(); i-- > 0;) todo.push_back(ops[i]);
        break;
      }
      default: break;
    }
  }
  return false;
}

}  // namespace trelvanic_parser
