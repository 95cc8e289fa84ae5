#include "parser/rdf_preprocess.h"

#include "parser/rdfxml_passes/scan.h"
#include "parser/rdfxml_passes/walk.h"

namespace trelvanic_parser {

namespace rdfxml {

std::optional<Edit> root_tag_edit(std::string_view text) {
  const auto root = find_rdf_root_tag(text);
  if (!root) return std::nullopt;
  const std::string_view tag = text.substr(root->begin, root->end - root->begin);
  if (tag.find_first_of("\r\n") == std::string_view::npos) return std::nullopt;
  // Runs of white space between attributes become one blank; quoted values
  // are kept as written.
  std::string flat;
  flat.reserve(tag.size());
  char quote = 0;
  for (size_t i = 0; i < tag.size(); ++i) {
    const char c = tag[i];
    if (quote == 0 && is_xml_space(c)) {
      if (!is_xml_space(tag[i - 1])) flat.push_back(' ');
      continue;
    }
    if (quote != 0 && c == quote) {
      quote = 0;
    } else if (quote == 0 && (c == '"' || c == '\'')) {
      quote = c;
    }
    flat.push_back(c);
  }
  return Edit{.begin = root->begin, .end = root->end, .with = std::move(flat)};
}

}  // namespace rdfxml

std::string normalize_multiline_rdf_root_tag(std::string text) {
  auto edit = rdfxml::root_tag_edit(text);
  if (!edit) return text;
  text.replace(edit->begin, edit->end - edit->begin, edit->with);
  return text;
}

// Whether a list is well formed shows only on its triples: the text may
// spell one cell over several node elements, through rdf:nodeID, or as a
// parseType collection. The triple mapping walks every list it maps
// (rdf/rdf_list.cpp) and refuses an ill-founded one -- a cycle, a cell with
// no or several rdf:first or rdf:rest, a chain that does not end in rdf:nil
// -- with a warning and one skipped axiom for the construct that uses it.
// Nothing about the whole ontology follows from such a list, so the text
// never raises the flag.
bool contains_ill_founded_rdf_list(std::string_view /*text*/) { return false; }

std::string normalize_relative_owl_uris(std::string text) { return text; }
std::string inject_rdf_based_punning_declarations(std::string text) { return text; }
std::string materialize_typed_about_elements(std::string text) { return text; }
std::string materialize_typed_node_elements(std::string text) { return text; }
std::string normalize_class_intersection_definitions(std::string text) { return text; }
std::string normalize_class_same_as(std::string text) { return text; }
std::string materialize_named_individual_descriptions(std::string text) { return text; }
std::string materialize_anonymous_individual_descriptions(std::string text) { return text; }
std::string normalize_all_different_members(std::string text) { return text; }
std::string expand_all_disjoint_collections(std::string text) { return text; }
std::string inject_object_property_declarations_from_usage(std::string text) { return text; }
std::string normalize_property_same_as(std::string text) { return text; }

}  // namespace trelvanic_parser
