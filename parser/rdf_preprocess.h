// Text passes that normalise an RDF/XML document before the RDF/XML reader
// sees it. The loader runs them in a fixed order (load.cpp,
// `preprocess_rdf_xml_text`), each taking the text the one before produced.
//
// The root-tag, rdf:ID, entity and vocabulary passes are in place (the
// scanning primitives they share are in parser/rdfxml_passes/). The other
// passes hand their text back unchanged: the RDF/XML reader and the triple
// mapping already read typed nodes, named-class definitions, n-ary
// disjointness and undeclared entities by their use, and a rewrite that
// changed what a document states (owl:sameAs read as class or property
// equivalence, names given to anonymous individuals) is not made. Every pass keeps the document's meaning: a document written by
// a standard OWL 2 serialiser reads to the same axioms with or without them.
#pragma once

#include <cstdint>
#include <string>

#include "parser/error.h"

namespace trelvanic_parser {

// Puts a root `rdf:RDF` tag written over several lines on one line: runs of
// white space between its attributes become one blank.
[[nodiscard]] std::string normalize_multiline_rdf_root_tag(std::string text);
// Makes rdf:ID values unique: a later node element with a value already
// seen says rdf:about="#value" instead (the same IRI); a later property
// element loses the attribute (only its reification goes).
[[nodiscard]] std::string dedupe_rdf_xml_ids(std::string text);
// The same, telling whether any rdf:ID value it met is not a name (when
// none is, `normalize_invalid_rdf_ids` would change nothing). Values written
// through entities are read within `max_expanded_bytes` in all; past that
// the text comes back unchanged. (Without the argument: 256 MiB.)
[[nodiscard]] std::string dedupe_rdf_xml_ids(std::string text, bool& invalid_seen, uint64_t max_expanded_bytes);
// Renames every rdf:ID value that is not a name ("_" and the value with
// each character other than an ASCII letter or digit written "_"), and the
// rdf:about, rdf:resource and rdf:datatype values that name it: "#value" or
// an IRI of the document base with that fragment. Text content and comments
// are left alone.
[[nodiscard]] std::string normalize_invalid_rdf_ids(std::string text);
[[nodiscard]] std::string normalize_invalid_rdf_ids(std::string text, uint64_t max_expanded_bytes);
// Expands the internal general entities of the DOCTYPE in text content and
// attribute values (not in comments or CDATA) and removes the DOCTYPE.
// Fails, before building anything, when a definition chain is deeper than 32
// ("entity definition nesting depth {} exceeds limit of 32"), when more than
// 10,000 references inside entity values would be expanded in all ("entity
// expansion replacement count exceeds limit of 10000"; references in the
// document itself are not counted, a serialiser writes thousands) or when the result would be longer than
// `max_expanded_bytes` ("expanded RDF/XML size exceeds limit of {} bytes
// during entity expansion"; without declarations, "expanded RDF/XML size {}
// exceeds limit of {} bytes").
[[nodiscard]] Result<std::string> expand_xml_entities_with_limit(std::string text, uint64_t max_expanded_bytes);
// Always false: ill-founded lists are found on the triples by the mapping,
// which skips the one construct that uses such a list (with a warning)
// instead of giving up on the ontology.
[[nodiscard]] bool contains_ill_founded_rdf_list(std::string_view text);
[[nodiscard]] std::string normalize_relative_owl_uris(std::string text);
// Writes rdfs:Class node elements and rdf:type objects as owl:Class,
// matched by full IRI (parser/rdfxml_passes/vocabulary.cpp).
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
