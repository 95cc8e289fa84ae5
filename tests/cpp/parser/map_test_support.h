// Helpers of the mapping tests: read a functional-syntax ontology body, map
// it, and render what landed in the stores as short texts over local names
// ("SubClassOf(A B)", "SubClassOf(A Some(r C))").
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "owl/functional_reader.h"
#include "parser/map.h"

namespace trelvanic_parser::testing {

inline constexpr std::string_view kEx = "http://ex.org/";

inline std::string document(std::string_view body) {
  return fmt::format("Prefix(:=<http://ex.org/>)\nOntology(<http://ex.org/o>\n{}\n)\n", body);
}

inline trelvanic_owl::Ontology read_model(std::string_view body) {
  auto model = trelvanic_owl::read_functional(document(body));
  EXPECT_TRUE(model.has_value()) << (model ? "" : model.error().text());
  if (!model) return {};
  return std::move(*model);
}

inline LoadLimits limits_for(bool strict) { return LoadLimits::with_mode(strict, true); }

inline Result<MappedOntology> map_body(std::string_view body, const LoadLimits& limits = {}) {
  return map_to_core(read_model(body), limits);
}

inline std::string iri(std::string_view local) { return std::string(kEx) + std::string(local); }

// The local name of an entity: the text after "http://ex.org/", else the IRI.
inline std::string name_of(const trelvanic_core::Ontology& o, trelvanic_core::EntityId id) {
  auto text = o.entity_iri(id);
  if (!text) return debug_text(id);
  std::string_view t = *text;
  if (t.starts_with(kEx)) t.remove_prefix(kEx.size());
  return std::string(t);
}

inline std::string names(const trelvanic_core::Ontology& o, auto&& ids) {
  std::string out;
  for (auto id : ids) {
    if (!out.empty()) out += ' ';
    out += name_of(o, id);
  }
  return out;
}

inline std::vector<std::string> told_axioms(const trelvanic_core::Ontology& o) {
  std::vector<std::string> out;
  o.axioms().for_each_live([&](trelvanic_core::AxiomId, const trelvanic_core::AxiomView& a) {
    std::string args;
    if (trelvanic_core::axiom_kind_is_nary(a.kind())) {
      args = names(o, a.operands());
    } else {
      std::vector<trelvanic_core::EntityId> ids;
      for (int i = 0; i < trelvanic_core::axiom_kind_arity(a.kind()); ++i) ids.push_back(a.id(i));
      args = names(o, ids);
    }
    out.push_back(fmt::format("{}({})", trelvanic_core::axiom_kind_name(a.kind()), args));
  });
  return out;
}

inline std::string role_text(const trelvanic_core::Ontology& o, trelvanic_core::RoleExpr r) {
  return r.is_inverse() ? "inv(" + name_of(o, r.property) + ")" : name_of(o, r.property);
}

inline std::string de_text(const trelvanic_core::Ontology& o, trelvanic_core::DeId id);

inline std::string ce_text(const trelvanic_core::Ontology& o, trelvanic_core::CeId id) {
  using trelvanic_core::CeKind;
  const auto e = o.dl().ce(id);
  auto list = [&](std::string_view head) {
    std::string out = std::string(head) + "(";
    bool first = true;
    for (auto op : e.operands()) {
      out += (first ? "" : " ") + ce_text(o, op);
      first = false;
    }
    return out + ")";
  };
  auto card = [&](std::string_view head) {
    std::string out = fmt::format("{}({} {}", head, e.n(), role_text(o, e.role()));
    if (auto f = e.filler()) out += " " + ce_text(o, *f);
    return out + ")";
  };
  switch (e.kind) {
    case CeKind::Top: return "Top";
    case CeKind::Bottom: return "Bottom";
    case CeKind::Atomic: return name_of(o, e.entity());
    case CeKind::Not: return "Not(" + ce_text(o, e.operand()) + ")";
    case CeKind::And: return list("And");
    case CeKind::Or: return list("Or");
    case CeKind::Some: return "Some(" + role_text(o, e.role()) + " " + ce_text(o, *e.filler()) + ")";
    case CeKind::All: return "All(" + role_text(o, e.role()) + " " + ce_text(o, *e.filler()) + ")";
    case CeKind::OneOf: return "OneOf(" + names(o, e.individuals()) + ")";
    case CeKind::HasValue: return "HasValue(" + role_text(o, e.role()) + " " + name_of(o, e.individual()) + ")";
    case CeKind::HasSelf: return "HasSelf(" + name_of(o, e.entity()) + ")";
    case CeKind::MinCardinality: return card("Min");
    case CeKind::MaxCardinality: return card("Max");
    case CeKind::ExactCardinality: return card("Exact");
    case CeKind::DataSome: return "DataSome(" + name_of(o, e.property()) + " " + de_text(o, *e.range()) + ")";
    case CeKind::DataAll: return "DataAll(" + name_of(o, e.property()) + " " + de_text(o, *e.range()) + ")";
    case CeKind::DataHasValue:
      return "DataHasValue(" + name_of(o, e.property()) + " " + de_text(o, e.value()) + ")";
    case CeKind::DataMinCardinality:
    case CeKind::DataMaxCardinality:
    case CeKind::DataExactCardinality:
      return fmt::format("{}({} {} {})", trelvanic_core::ce_kind_name(e.kind), e.n(), name_of(o, e.property()),
                         e.range() ? de_text(o, *e.range()) : "-");
  }
  return "?";
}

inline std::string de_text(const trelvanic_core::Ontology& o, trelvanic_core::DeId id) {
  using trelvanic_core::DeKind;
  const auto e = o.dl().de(id);
  auto list = [&](std::string_view head) {
    std::string out = std::string(head) + "(";
    bool first = true;
    for (auto op : e.operands()) {
      out += (first ? "" : " ") + de_text(o, op);
      first = false;
    }
    return out + ")";
  };
  switch (e.kind) {
    case DeKind::Top: return "Top";
    case DeKind::Datatype: return name_of(o, e.datatype());
    case DeKind::Facet: return fmt::format("Facet({} {} {})", de_text(o, e.base()), e.facet_iri(), e.facet_value());
    case DeKind::And: return list("And");
    case DeKind::Or: return list("Or");
    case DeKind::Literal: return fmt::format("\"{}\"^^{}", e.lexical(), name_of(o, e.datatype()));
    case DeKind::Not: return "Not(" + de_text(o, e.operand()) + ")";
  }
  return "?";
}

// DL axioms: the form name, with the operands of the forms the tests read.
inline std::vector<std::string> dl_axioms(const trelvanic_core::Ontology& o) {
  using trelvanic_core::DlAxiomKind;
  std::vector<std::string> out;
  const auto& dl = o.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    const auto a = dl.axiom(i);
    const std::string head(trelvanic_core::dl_axiom_kind_name(a.kind));
    switch (a.kind) {
      case DlAxiomKind::SubClassOf:
        out.push_back(fmt::format("{}({} {})", head, ce_text(o, a.sub()), ce_text(o, a.sup())));
        break;
      case DlAxiomKind::EquivalentClasses:
      case DlAxiomKind::DisjointClasses: {
        std::string ops;
        for (auto c : a.classes()) ops += (ops.empty() ? "" : " ") + ce_text(o, c);
        out.push_back(fmt::format("{}({})", head, ops));
        break;
      }
      case DlAxiomKind::ClassAssertion:
        out.push_back(fmt::format("{}({} {})", head, name_of(o, a.individual()), ce_text(o, a.class_expr())));
        break;
      case DlAxiomKind::ObjectPropertyDomain:
      case DlAxiomKind::DataPropertyDomain:
        out.push_back(fmt::format("{}({} {})", head, name_of(o, a.property()), ce_text(o, a.domain())));
        break;
      case DlAxiomKind::ObjectPropertyRange:
        out.push_back(fmt::format("{}({} {})", head, name_of(o, a.property()), ce_text(o, a.range())));
        break;
      case DlAxiomKind::DataPropertyRange:
      case DlAxiomKind::DatatypeDefinition:
        out.push_back(fmt::format("{}({} {})", head, name_of(o, a.property()), de_text(o, a.data_range())));
        break;
      case DlAxiomKind::SubObjectPropertyOf:
        out.push_back(fmt::format("{}({} {})", head, role_text(o, a.sub_role()), role_text(o, a.sup_role())));
        break;
      case DlAxiomKind::ObjectPropertyAssertion:
        out.push_back(fmt::format("{}({} {} {})", head, name_of(o, a.subject()), role_text(o, a.role()),
                                  name_of(o, a.object())));
        break;
      case DlAxiomKind::DataPropertyAssertion:
      case DlAxiomKind::NegativeDataPropertyAssertion:
        out.push_back(fmt::format("{}({} {} {})", head, name_of(o, a.subject()), name_of(o, a.property()),
                                  de_text(o, a.value())));
        break;
      case DlAxiomKind::SameIndividual:
      case DlAxiomKind::DifferentIndividuals:
      case DlAxiomKind::DisjointObjectProperties:
      case DlAxiomKind::EquivalentDataProperties:
      case DlAxiomKind::DisjointDataProperties:
        out.push_back(fmt::format("{}({})", head, names(o, a.entities())));
        break;
      case DlAxiomKind::TransitiveObjectProperty:
      case DlAxiomKind::SymmetricObjectProperty:
        out.push_back(fmt::format("{}({})", head, role_text(o, a.role())));
        break;
      case DlAxiomKind::NegativeObjectPropertyAssertion:
        out.push_back(fmt::format("{}({} {} {})", head, name_of(o, a.subject()), name_of(o, a.property()),
                                  name_of(o, a.object())));
        break;
      case DlAxiomKind::InverseFunctionalObjectProperty:
        out.push_back(fmt::format("{}({})", head, name_of(o, a.property())));
        break;
      case DlAxiomKind::DisjointRoles: {
        std::string ops;
        for (size_t k = 0; k < a.roles().size(); ++k) ops += (k == 0 ? "" : " ") + role_text(o, a.roles()[k]);
        out.push_back(fmt::format("{}({})", head, ops));
        break;
      }
      default: out.push_back(head); break;
    }
  }
  return out;
}

}  // namespace trelvanic_parser::testing
