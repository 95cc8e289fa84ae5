// SWRL rules in their RDF form: a swrl:Imp node with a swrl:body and a
// swrl:head list of atoms, each atom a typed blank node with its predicate
// and arguments. Arguments typed swrl:Variable become variables.
#include <fmt/format.h>

#include "rdf/detail/mapper.h"
#include "rdf/vocab.h"

namespace trelvanic_rdf::detail {

namespace {

struct AtomParts {
  TermId type, class_predicate, property_predicate, data_range, builtin, arguments, argument1,
      argument2;
  std::vector<std::uint32_t> triples;
  bool repeated = false;
};

AtomParts atom_parts(const Graph& graph, TermId atom) {
  AtomParts a;
  for (std::uint32_t pos : graph.by_subject(atom)) {
    const TripleIds& t = graph.triples()[pos];
    TermId* slot = nullptr;
    switch (t.predicate.value) {
      case vocab::kRdfType.value: slot = &a.type; break;
      case vocab::kSwrlClassPredicate.value: slot = &a.class_predicate; break;
      case vocab::kSwrlPropertyPredicate.value: slot = &a.property_predicate; break;
      case vocab::kSwrlDataRange.value: slot = &a.data_range; break;
      case vocab::kSwrlBuiltin.value: slot = &a.builtin; break;
      case vocab::kSwrlArguments.value: slot = &a.arguments; break;
      case vocab::kSwrlArgument1.value: slot = &a.argument1; break;
      case vocab::kSwrlArgument2.value: slot = &a.argument2; break;
      default: continue;
    }
    if (*slot) a.repeated = true;
    *slot = t.object;
    a.triples.push_back(pos);
  }
  return a;
}

}  // namespace

bool Mapper::rule(TermId x) {
  TermId body{}, head{};
  std::vector<std::uint32_t> parts;
  for (std::uint32_t pos : graph_.by_subject(x)) {
    const TripleIds& t = graph_.triples()[pos];
    if (t.predicate == vocab::kSwrlBody && !body) body = t.object;
    else if (t.predicate == vocab::kSwrlHead && !head) head = t.object;
    else continue;
    parts.push_back(pos);
  }
  if (!body || !head) return fail(x, "a rule needs one swrl:body and one swrl:head");

  auto individual_arg = [&](TermId a) -> std::optional<NodeRef> {
    if (variables_.contains(a)) return entity(Form::Variable, a);
    return individual(a);
  };
  auto data_arg = [&](TermId a) -> std::optional<NodeRef> {
    if (variables_.contains(a)) return entity(Form::Variable, a);
    return literal(a);
  };
  auto atoms = [&](TermId list_head, Form form) -> std::optional<NodeRef> {
    auto cells = list(list_head);
    if (!cells) return std::nullopt;
    std::vector<NodeRef> out;
    for (TermId atom : cells->items) {
      const AtomParts a = atom_parts(graph_, atom);
      std::optional<NodeRef> node;
      if (a.repeated || !terms().is_blank(atom)) {
        // falls through to the failure below
      } else if (a.type == vocab::kSwrlClassAtom) {
        auto c = class_expression(a.class_predicate);
        auto i = individual_arg(a.argument1);
        if (c && i) node = draft_.node(Form::ClassAtom, {*c, *i});
      } else if (a.type == vocab::kSwrlDataRangeAtom) {
        auto r = data_range(a.data_range);
        auto d = data_arg(a.argument1);
        if (r && d) node = draft_.node(Form::DataRangeAtom, {*r, *d});
      } else if (a.type == vocab::kSwrlIndividualPropertyAtom) {
        auto p = object_property_expression(a.property_predicate);
        auto i = individual_arg(a.argument1);
        auto j = individual_arg(a.argument2);
        if (p && i && j) node = draft_.node(Form::ObjectPropertyAtom, {*p, *i, *j});
      } else if (a.type == vocab::kSwrlDatavaluedPropertyAtom) {
        auto p = data_property(a.property_predicate);
        auto i = individual_arg(a.argument1);
        auto d = data_arg(a.argument2);
        if (p && i && d) node = draft_.node(Form::DataPropertyAtom, {*p, *i, *d});
      } else if (a.type == vocab::kSwrlSameIndividualAtom ||
                 a.type == vocab::kSwrlDifferentIndividualsAtom) {
        auto i = individual_arg(a.argument1);
        auto j = individual_arg(a.argument2);
        if (i && j) {
          node = draft_.node(a.type == vocab::kSwrlSameIndividualAtom ? Form::SameIndividualAtom
                                                                      : Form::DifferentIndividualsAtom,
                             {*i, *j});
        }
      } else if (a.type == vocab::kSwrlBuiltinAtom && terms().is_iri(a.builtin)) {
        if (auto args = list(a.arguments)) {
          std::vector<NodeRef> ops{draft_.leaf(Form::Iri, terms().text(a.builtin))};
          for (TermId arg : args->items) {
            auto d = data_arg(arg);
            if (!d) break;
            ops.push_back(*d);
          }
          if (ops.size() == args->items.size() + 1) {
            node = draft_.node(Form::BuiltInAtom, ops);
            use_list(*args);
          }
        }
      }
      if (!node) {
        fail(atom, "not a SWRL atom");
        return std::nullopt;
      }
      for (std::uint32_t pos : a.triples) use(pos);
      out.push_back(*node);
    }
    use_list(*cells);
    return draft_.node(form, out);
  };
  auto b = atoms(body, Form::Body);
  auto h = atoms(head, Form::Head);
  if (!b || !h) return false;
  for (std::uint32_t pos : parts) use(pos);
  add(draft_.node(Form::DLSafeRule, {*b, *h}));
  return true;
}

}  // namespace trelvanic_rdf::detail
