#include "parser/load.h"

#include <filesystem>
#include <utility>
#include <vector>

#include <fmt/format.h>

#include "core/cancel.h"
#include "parser/format.h"
#include "parser/imports.h"
#include "parser/rdf_preprocess.h"
#include "parser/rdfxml_passes/entities.h"
#include "parser/rdfxml_passes/rdf_id.h"
#include "parser/read.h"
#include "parser/readers.h"
#include "parser/sandbox.h"
#include "parser/supplement.h"
#include "parser/validate.h"

namespace trelvanic_parser {

namespace {

using trelvanic_core::Ontology;
using trelvanic_core::ParseMeta;

Error file_too_large(uint64_t size, uint64_t limit) {
  return Error::parse(fmt::format("file size {} exceeds limit of {} bytes", size, limit));
}

Result<LoadedDocument> read_and_map(ByteSource& source, OntologyFormat format, const LoadLimits& limits,
                                    uint32_t document, std::string_view turtle_base = {}) {
  auto model = read_owl_model(source, format, limits, turtle_base);
  if (!model) return std::unexpected(std::move(model).error());
  if (trelvanic_core::cancel_requested()) return std::unexpected(Error::parse("cancelled"));
  LoadedDocument out;
  out.header = ontology_header(*model);
  auto mapped = map_to_core(*model, limits, MapOptions{.document = document});
  if (!mapped) return std::unexpected(std::move(mapped).error());
  out.mapped = std::move(*mapped);
  return out;
}

void set_logical_count(ParseMeta& meta) { meta.logical_axiom_count = meta.skipped_axiom_count + meta.mapped_axiom_count; }

// Expected length of a UTF-8 sequence by its first byte, 0 for a byte that
// cannot start one.
int utf8_sequence_length(unsigned char b) {
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) return 2;
  if (b >= 0xE0 && b <= 0xEF) return 3;
  if (b >= 0xF0 && b <= 0xF4) return 4;
  return 0;
}

// Whether `b` may follow the first byte `lead` at position 1 of a sequence
// (the tighter ranges exclude overlong forms, surrogates and code points
// above U+10FFFF).
bool utf8_second_byte_ok(unsigned char lead, unsigned char b) {
  switch (lead) {
    case 0xE0: return b >= 0xA0 && b <= 0xBF;
    case 0xED: return b >= 0x80 && b <= 0x9F;
    case 0xF0: return b >= 0x90 && b <= 0xBF;
    case 0xF4: return b >= 0x80 && b <= 0x8F;
    default: return b >= 0x80 && b <= 0xBF;
  }
}

}  // namespace

std::optional<std::string> utf8_error(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char lead = p[i];
    const int len = utf8_sequence_length(lead);
    if (len == 0) return fmt::format("invalid utf-8 sequence of 1 bytes from index {}", i);
    for (int k = 1; k < len; ++k) {
      if (i + k >= n) return fmt::format("incomplete utf-8 byte sequence from index {}", i);
      const unsigned char b = p[i + k];
      const bool ok = k == 1 ? utf8_second_byte_ok(lead, b) : (b >= 0x80 && b <= 0xBF);
      if (!ok) return fmt::format("invalid utf-8 sequence of {} bytes from index {}", k, i);
    }
    i += len;
  }
  return std::nullopt;
}

Result<void> PreprocessBudget::track(uint64_t length) {
  peak = std::max(peak, length);
  if (peak > limit) {
    return std::unexpected(
        Error::parse(fmt::format("RDF/XML preprocessing allocation {} bytes exceeds limit of {} bytes", peak, limit)));
  }
  return {};
}

Result<PreprocessedRdfXml> preprocess_rdf_xml_text(std::string text, uint64_t max_expanded_bytes,
                                                   uint64_t max_preprocess_bytes) {
  PreprocessBudget budget{.limit = max_preprocess_bytes, .peak = text.size()};
  if (auto r = budget.track(text.size()); !r) return std::unexpected(std::move(r).error());
  auto step = [&](std::string (*pass)(std::string)) -> Result<void> {
    text = pass(std::move(text));
    return budget.track(text.size());
  };
  PreprocessedRdfXml out;
  // The root tag put on one line, the repeated rdf:ID values rewritten and
  // the entities expanded in one copy of the text: the first two are edits
  // inside tags that the expansion makes as it goes (in its own walk, for
  // the repeated ids, when the document declares entities). The root tag
  // never grows, so its step cannot pass the budget. The invalid-id pass,
  // when it has work, needs the rewritten text itself.
  std::vector<rdfxml::Edit> edits;
  if (auto root = rdfxml::root_tag_edit(text)) edits.push_back(std::move(*root));
  const rdfxml::RdfIdCensus ids = rdfxml::census_rdf_ids(text);
  std::optional<Result<std::string>> expanded;
  if (auto deduped = rdfxml::expand_xml_entities_deduping_ids(text, ids, edits, max_expanded_bytes)) {
    if (auto r = budget.track(deduped->deduped_size); !r) return std::unexpected(std::move(r).error());
    expanded = std::move(deduped->text);
  } else {
    bool invalid_ids = false;
    const auto id_edits = rdfxml::repeated_rdf_id_edits(text, ids, invalid_ids, max_expanded_bytes);
    // The root tag comes before every tag with an id.
    if (id_edits) edits.insert(edits.end(), id_edits->begin(), id_edits->end());
    if (auto r = budget.track(rdfxml::edited_size(text.size(), edits)); !r) return std::unexpected(std::move(r).error());
    if (invalid_ids) {
      text = rdfxml::apply_edits(std::move(text), edits);
      edits.clear();
      text = normalize_invalid_rdf_ids(std::move(text), max_expanded_bytes);
      if (auto r = budget.track(text.size()); !r) return std::unexpected(std::move(r).error());
    }
    expanded = rdfxml::expand_xml_entities_after_edits(std::move(text), edits, max_expanded_bytes);
  }
  if (!*expanded) return std::unexpected(std::move(*expanded).error());
  text = std::move(**expanded);
  if (auto r = budget.track(text.size()); !r) return std::unexpected(std::move(r).error());
  out.ill_founded_list = contains_ill_founded_rdf_list(text);
  for (auto* pass : {normalize_relative_owl_uris, normalize_rdfs_class_elements,
                     inject_rdf_based_punning_declarations, materialize_typed_about_elements,
                     materialize_typed_node_elements, normalize_class_intersection_definitions,
                     normalize_class_same_as, materialize_named_individual_descriptions,
                     materialize_anonymous_individual_descriptions, normalize_all_different_members,
                     expand_all_disjoint_collections, inject_object_property_declarations_from_usage,
                     normalize_property_same_as}) {
    if (auto r = step(pass); !r) return std::unexpected(std::move(r).error());
  }
  out.text = std::move(text);
  return out;
}

Result<LoadedDocument> load_preprocessed_rdf_xml(std::string_view text, const LoadLimits& limits,
                                                 bool ill_founded_list, uint32_t document) {
  TextSource source(text);
  auto doc = read_and_map(source, OntologyFormat::RdfXml, limits, document);
  if (!doc) return doc;
  auto& mapped = doc->mapped;
  if (auto r = supplement_rdf_dl_axioms(text, mapped.ontology, mapped.meta, limits, ill_founded_list,
                                        document);
      !r) {
    return std::unexpected(std::move(r).error());
  }
  return doc;
}

Result<MappedOntology> load_rdf_xml_from_preprocessed(std::string_view text, const LoadLimits& limits,
                                                      bool ill_founded_list, std::optional<std::string_view> path,
                                                      std::optional<std::string_view> base, bool follow_imports) {
  auto doc = load_preprocessed_rdf_xml(text, limits, ill_founded_list, 0);
  if (!doc) return std::unexpected(std::move(doc).error());
  if (path && follow_imports) {
    auto normalized = validate_load_path(*path, base);
    if (!normalized) return std::unexpected(std::move(normalized).error());
    doc->path = std::move(*normalized);
    if (auto r = follow_owl_imports(*doc, limits, base); !r) return std::unexpected(std::move(r).error());
  }
  set_logical_count(doc->mapped.meta);
  return std::move(doc->mapped);
}

Result<LoadedDocument> load_document(std::string_view path, const LoadLimits& limits,
                                     std::optional<std::string_view> base, uint32_t document) {
  auto normalized = validate_load_path(path, base);
  if (!normalized) return std::unexpected(std::move(normalized).error());
  if (auto r = require_regular_file(*normalized); !r) return std::unexpected(std::move(r).error());
  auto file = open_for_load(*normalized, base);
  if (!file) return std::unexpected(std::move(file).error());
  auto size = file->size();
  if (!size) return std::unexpected(std::move(size).error());
  if (*size > limits.max_file_bytes) return std::unexpected(file_too_large(*size, limits.max_file_bytes));
  auto format = resolve_load_format(path, *file);
  if (!format) return std::unexpected(std::move(format).error());

  Result<LoadedDocument> doc = std::unexpected(Error::parse(""));
  FileSource source(*file);
  if (*format == OntologyFormat::RdfXml) {
    auto text = read_at_most(source, limits.max_file_bytes);
    if (!text) return std::unexpected(std::move(text).error());
    if (text->size() > limits.max_file_bytes) {
      return std::unexpected(file_too_large(text->size(), limits.max_file_bytes));
    }
    if (auto bad = utf8_error(*text)) return std::unexpected(Error::parse(std::move(*bad)));
    auto pre = preprocess_rdf_xml_text(std::move(*text), limits.max_expanded_bytes, limits.max_preprocess_bytes);
    if (!pre) return std::unexpected(std::move(pre).error());
    if (trelvanic_core::cancel_requested()) return std::unexpected(Error::parse("cancelled"));
    doc = load_preprocessed_rdf_xml(pre->text, limits, pre->ill_founded_list, document);
  } else {
    // Relative references in Turtle are taken from the file's location.
    doc = read_and_map(source, *format, limits, document, file_iri(*normalized));
  }
  if (doc) doc->path = std::move(*normalized);
  return doc;
}

Result<Ontology> finalize_parsed_ontology(Ontology ontology, ParseMeta meta, bool strict, bool validate) {
  if (strict && meta.skipped_axiom_count != 0) {
    return std::unexpected(Error::parse(fmt::format(
        "strict parse: skipped {} axioms due to limits or mapping failures", meta.skipped_axiom_count)));
  }
  const size_t dl_axioms = ontology.dl().axiom_count();
  if (ontology.axiom_count() == 0 && dl_axioms > 0) {
    meta.mapped_axiom_count = dl_axioms;
    meta.logical_axiom_count = meta.skipped_axiom_count + dl_axioms;
  }
  ontology.set_parse_meta(std::move(meta));
  ontology.clear_dirty();
  if (dl_axioms > 0) ontology.reindex_dl_abox();
  if (validate) {
    if (auto r = validate_ontology_datatypes(ontology); !r) return std::unexpected(std::move(r).error());
    if (strict) {
      if (auto r = validate_blank_object_property_graph(ontology); !r) return std::unexpected(std::move(r).error());
    }
  }
  return ontology;
}

Result<Ontology> load_ontology_with_limits_and_base_inner(std::string_view path, const LoadLimits& limits,
                                                          std::optional<std::string_view> base,
                                                          bool follow_imports) {
  auto doc = load_document(path, limits, base, 0);
  if (!doc) return std::unexpected(std::move(doc).error());
  if (follow_imports) {
    if (auto r = follow_owl_imports(*doc, limits, base); !r) return std::unexpected(std::move(r).error());
  } else {
    for (const std::string& iri : doc->header.imports) {
      doc->mapped.meta.warn(fmt::format("owl:imports IRI {} not followed; import skipped", iri));
      doc->mapped.meta.unresolved_imports = true;
    }
  }
  set_logical_count(doc->mapped.meta);
  return finalize_parsed_ontology(std::move(doc->mapped.ontology), std::move(doc->mapped.meta), limits.strict,
                                  limits.validate);
}

std::string join_to_base(std::string_view base, std::string_view path) {
  std::filesystem::path p{std::string(path)};
  if (p.is_absolute()) return std::string(path);
  return (std::filesystem::path(std::string(base)) / p).string();
}

Result<Ontology> load_ontology(std::string_view path) {
  return load_ontology_with_limits_and_base_inner(path, LoadLimits::with_mode(true, true), std::nullopt, true);
}

Result<Ontology> load_ontology_in(std::string_view base, std::string_view path) {
  return load_ontology_with_limits_and_base_inner(join_to_base(base, path), LoadLimits::with_mode(true, true), base,
                                                  true);
}

Result<Ontology> load_ontology_lenient(std::string_view path) {
  return load_ontology_with_limits_and_base_inner(path, LoadLimits::with_mode(false, false), std::nullopt, true);
}

Result<Ontology> load_ontology_lenient_in(std::string_view base, std::string_view path) {
  return load_ontology_with_limits_and_base_inner(join_to_base(base, path), LoadLimits::with_mode(false, false), base,
                                                  false);
}

}  // namespace trelvanic_parser
