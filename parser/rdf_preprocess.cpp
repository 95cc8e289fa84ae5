#include "parser/rdf_preprocess.h"

namespace trelvanic_parser {

std::string normalize_multiline_rdf_root_tag(std::string text) { return text; }
std::string dedupe_rdf_xml_ids(std::string text) { return text; }
std::string normalize_invalid_rdf_ids(std::string text) { return text; }

Result<std::string> expand_xml_entities_with_limit(std::string text, uint64_t /*max_expanded_bytes*/) {
  return text;
}

bool contains_ill_founded_rdf_list(std::string_view text) {
  if (text.find("syntax-ns#nil") == std::string_view::npos) return false;
  return text.find("<rdf:first") != std::string_view::npos || text.find("<rdf:rest") != std::string_view::npos;
}

std::string normalize_relative_owl_uris(std::string text) { return text; }
std::string normalize_rdfs_class_elements(std::string text) { return text; }
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
