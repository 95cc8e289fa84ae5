#include "parser/map_swrl.h"

#include "parser/map.h"

namespace trelvanic_parser {

using trelvanic_core::EntityKind;
using trelvanic_core::SwrlAtom;
using trelvanic_core::SwrlDArg;
using trelvanic_core::SwrlIArg;
using trelvanic_core::SwrlLiteral;
using trelvanic_core::SwrlVariable;
using trelvanic_owl::Kind;
using trelvanic_owl::NodeId;

std::string_view variable_name(std::string_view iri) {
  const size_t cut = iri.find_last_of("#/");
  if (cut == std::string_view::npos) return iri;
  return iri.substr(cut + 1);
}

std::pair<std::string_view, std::optional<std::string_view>> literal_parts(const trelvanic_owl::Ontology& model,
                                                                           NodeId literal) {
  const auto datatype = model.literal_datatype(literal);
  if (model.literal_language(literal) || !datatype) return {model.literal_lexical(literal), std::nullopt};
  return {model.literal_lexical(literal), model.iri(datatype)};
}

namespace {

std::optional<SwrlIArg> individual_arg(Mapper& mapper, NodeId arg) {
  const auto& m = mapper.model();
  if (m.kind(arg) == Kind::Variable) return SwrlVariable{std::string(variable_name(m.iri_text(arg)))};
  if (auto id = mapper.map_individual_entity(arg)) return SwrlIArg(*id);
  return std::nullopt;
}

SwrlDArg data_arg(Mapper& mapper, NodeId arg) {
  const auto& m = mapper.model();
  if (m.kind(arg) == Kind::Variable) return SwrlVariable{std::string(variable_name(m.iri_text(arg)))};
  auto [lexical, datatype] = literal_parts(m, arg);
  SwrlLiteral literal{std::string(lexical), std::nullopt};
  // A datatype that cannot be registered is dropped (after its warning).
  if (datatype) literal.datatype = mapper.register_or_warn_entity(*datatype, EntityKind::Datatype);
  return literal;
}

}  // namespace

std::optional<SwrlAtom> map_swrl_atom(Mapper& mapper, NodeId atom) {
  const auto& m = mapper.model();
  switch (m.kind(atom)) {
    case Kind::ClassAtom: {
      const NodeId c = m.operand(atom, 0);
      if (m.kind(c) != Kind::Class) return std::nullopt;
      auto cls = mapper.register_as(c, EntityKind::Class);
      if (!cls) return std::nullopt;
      auto arg = individual_arg(mapper, m.operand(atom, 1));
      if (!arg) return std::nullopt;
      return SwrlAtom::class_atom(*cls, std::move(*arg));
    }
    case Kind::ObjectPropertyAtom: {
      const NodeId p = m.operand(atom, 0);
      if (m.kind(p) != Kind::ObjectProperty) return std::nullopt;
      auto property = mapper.register_as(p, EntityKind::ObjectProperty);
      if (!property) return std::nullopt;
      auto a = individual_arg(mapper, m.operand(atom, 1));
      if (!a) return std::nullopt;
      auto b = individual_arg(mapper, m.operand(atom, 2));
      if (!b) return std::nullopt;
      return SwrlAtom::object_property(*property, std::move(*a), std::move(*b));
    }
    case Kind::DataPropertyAtom: {
      auto property = mapper.register_as(m.operand(atom, 0), EntityKind::DataProperty);
      if (!property) return std::nullopt;
      const NodeId subject = m.operand(atom, 1);
      if (m.kind(subject) != Kind::Variable) return std::nullopt;
      SwrlIArg s = SwrlVariable{std::string(variable_name(m.iri_text(subject)))};
      return SwrlAtom::data_property(*property, std::move(s), data_arg(mapper, m.operand(atom, 2)));
    }
    case Kind::DataRangeAtom: {
      auto range = mapper.intern_data_range(m.operand(atom, 0));
      if (!range) return std::nullopt;
      return SwrlAtom::data_range(*range, data_arg(mapper, m.operand(atom, 1)));
    }
    case Kind::SameIndividualAtom:
    case Kind::DifferentIndividualsAtom: {
      auto a = individual_arg(mapper, m.operand(atom, 0));
      if (!a) return std::nullopt;
      auto b = individual_arg(mapper, m.operand(atom, 1));
      if (!b) return std::nullopt;
      if (m.kind(atom) == Kind::SameIndividualAtom) return SwrlAtom::same_individual(std::move(*a), std::move(*b));
      return SwrlAtom::different_individuals(std::move(*a), std::move(*b));
    }
    default: return std::nullopt;  // built-in atoms are not supported
  }
}

}  // namespace trelvanic_parser
