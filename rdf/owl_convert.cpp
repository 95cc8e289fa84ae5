#include "rdf/owl_convert.h"

#include <fmt/format.h>

namespace trelvanic_rdf {

namespace {

namespace owl = trelvanic_owl;

bool is_data_form(Form form) {
  return form == Form::DataMinCardinality || form == Form::DataMaxCardinality ||
         form == Form::DataExactCardinality;
}

}  // namespace

std::expected<owl::Ontology, Error> draft_to_owl(const OwlDraft& draft) {
  owl::Ontology out;
  std::vector<owl::NodeId> ids(draft.size());
  std::vector<std::uint32_t> words;
  for (std::uint32_t i = 0; i < draft.size(); ++i) {
    const NodeRef ref{i};
    const Form form = draft.form(ref);
    const std::optional<owl::Kind> kind = owl::kind_from_name(form_name(form));
    if (!kind) {
      return make_error(ErrorKind::Internal,
                        fmt::format("the OWL model has no kind {}", form_name(form)));
    }
    switch (form) {
      case Form::Iri: case Form::Class: case Form::Datatype: case Form::ObjectProperty:
      case Form::DataProperty: case Form::AnnotationProperty: case Form::NamedIndividual:
      case Form::Variable:
        ids[i] = out.make_leaf(*kind, out.intern_iri(draft.text(ref)));
        continue;
      case Form::AnonymousIndividual:
        ids[i] = out.make_anonymous(out.intern_text(draft.text(ref)));
        continue;
      case Form::Literal: {
        const std::string_view lang = draft.literal_lang(ref);
        const std::string_view dt = draft.literal_datatype(ref);
        ids[i] = out.make_literal(out.intern_text(draft.text(ref)),
                                  lang.empty() ? owl::TextId() : out.intern_text(lang),
                                  dt.empty() ? owl::IriId() : out.intern_iri(dt));
        continue;
      }
      default: break;
    }
    const auto ops = draft.operands(ref);
    words.clear();
    if (form_is_cardinality(form)) {
      words.push_back(draft.get(ref).number);
      words.push_back(ids[ops[0].value].value);
      if (ops.size() > 1) {
        words.push_back(ids[ops[1].value].value);
      } else if (is_data_form(form)) {
        words.push_back(out.make_leaf(owl::Kind::Datatype, out.intern_iri(owl::kRdfsLiteral)).value);
      } else {
        words.push_back(out.make_leaf(owl::Kind::Class, out.intern_iri(owl::kOwlThing)).value);
      }
    } else {
      for (NodeRef op : ops) words.push_back(ids[op.value].value);
      if (form == Form::OntologyId) words.resize(2, 0);
    }
    ids[i] = out.make(*kind, words);
  }
  for (NodeRef c : draft.components()) out.add_component(ids[c.value]);
  return out;
}

std::expected<RdfOwlOntology, Error> read_rdf_owl(std::string_view text, RdfSyntax syntax,
                                                  const ReadOptions& options) {
  auto mapped = read_rdf_ontology(text, syntax, options);
  if (!mapped) return std::unexpected(std::move(mapped.error()));
  auto model = draft_to_owl(mapped->ontology);
  if (!model) return std::unexpected(std::move(model.error()));
  return RdfOwlOntology{*std::move(model), std::move(mapped->incomplete), mapped->stats};
}

}  // namespace trelvanic_rdf
