// Text passes that normalise an RDF/XML document before the RDF/XML reader
// sees it. The loader runs them in a fixed order (load.cpp,
// `preprocess_rdf_xml_text`), each taking the text the one before produced.
//
// For now every rewriting pass hands its text back unchanged; the passes
// themselves come with the RDF/XML normalisation work. Only
// `contains_ill_founded_rdf_list`, a plain test, already answers.
#pragma once

#include <cstdint>
#include <string>

#include "parser/error.h"

namespace trelvanic_parser {

[[nodiscard]] std::string normalize_multiline_rdf_root_tag(std::string text);
[[nodiscard]] std::string dedupe_rdf_xml_ids(std::string text);
[[nodiscard]] std::string normalize_invalid_rdf_ids(std::string text);
// Expands internal DTD entities under `max_expanded_bytes`.
[[nodiscard]] Result<std::string> expand_xml_entities_with_limit(std::string text, uint64_t max_expanded_bytes);
// True when the text holds "syntax-ns#nil" and an rdf:first or rdf:rest
// element.
[[nodiscard]] bool contains_ill_founded_rdf_list(std::string_view text);
[[nodiscard]] std::string normalize_relative_owl_uris(std::string text);
[[nodiscard]] std::string normalize_rdfs_class_elements(std::string text);
[[nodiscard]] std::string inject_rdf_based_punning_declarations(std::string text);
[[nodiscard]] std::string materialize_typed_about_elements(std::string text);
[[nodiscard]] std::string materialize_typed_node_elements(std::string text);
[[nodiscard]] std::string normalize_class_intersection_definitions(std::string text);
[[nodiscard]] std::string normalize_class_same_as(std::string text);
[[nodiscard]] std::string materialize_named_individual_descriptions(std::string text);
[[nodiscard]] std::string materialize_anonymous_individual_descriptions(std::string text);
[[nodiscard]] std::string normalize_all_different_members(std::string text);
[[nodiscard]] std::string expand_all_disjoint_collections(std::string text);
[[nodiscard]] std::string inject_object_property_declarations_from_usage(std::string text);
[[nodiscard]] std::string normalize_property_same_as(std::string text);

}  // namespace trelvanic_parser
