#include "parser/readers.h"

#include <cctype>
#include <utility>

#include <absl/container/flat_hash_set.h>
#include <fmt/format.h>

#include "core/cancel.h"
#include "owl/functional_reader.h"
#include "owl/owlxml_reader.h"
#include "rdf/owl_mapping.h"

namespace trelvanic_parser {

namespace {

using Output = ModelReadOutput<trelvanic_owl::Ontology>;

std::expected<Output, std::string> read_with_owl(std::string_view bytes, OntologyFormat format,
                                                 uint64_t max_expanded_bytes) {
  trelvanic_owl::ReaderSettings settings{.max_expanded_bytes = max_expanded_bytes};
  settings.cancel = trelvanic_core::current_cancel_flag();
  auto model = format == OntologyFormat::Functional ? trelvanic_owl::read_functional(bytes, settings)
                                                    : trelvanic_owl::read_owlxml(bytes, settings);
  if (!model) return std::unexpected(model.error().text());
  Output out{.model = std::move(*model)};
  out.component_count = out.model.component_count();
  return out;
}

std::expected<Output, std::string> read_with_rdf(std::string_view bytes, OntologyFormat format,
                                                 const std::string& turtle_base, uint64_t max_expanded_bytes) {
  const bool turtle = format == OntologyFormat::Turtle;
  auto syntax = turtle ? trelvanic_rdf::RdfSyntax::Turtle : trelvanic_rdf::RdfSyntax::RdfXml;
  trelvanic_rdf::ReadOptions options;
  if (turtle) options.base_iri = turtle_base;
  options.max_expanded_bytes = max_expanded_bytes;
  options.cancel = trelvanic_core::current_cancel_flag();
  auto read = trelvanic_rdf::read_rdf_ontology(bytes, syntax, options);
  if (!read) return std::unexpected(read.error().text());
  Output out{.model = std::move(read->ontology)};
  out.component_count = out.model.component_count();
  // The RDF readers parse the whole input, so an incomplete parse always
  // comes with nothing left unread.
  out.incomplete = !read->incomplete.empty();
  out.consumed = bytes.size();
  return out;
}

}  // namespace

ModelReader<trelvanic_owl::Ontology> owl_model_reader(std::string turtle_base, uint64_t max_expanded_bytes) {
  return [turtle_base = std::move(turtle_base), max_expanded_bytes](
             std::string_view bytes, OntologyFormat format) -> std::expected<Output, std::string> {
    switch (format) {
      case OntologyFormat::Functional:
      case OntologyFormat::OwlXml:
        return read_with_owl(bytes, format, max_expanded_bytes);
      case OntologyFormat::Turtle:
      case OntologyFormat::RdfXml:
        return read_with_rdf(bytes, format, turtle_base, max_expanded_bytes);
    }
    return std::unexpected(std::string("unknown ontology format"));
  };
}

Result<trelvanic_owl::Ontology> read_owl_model(ByteSource& source, OntologyFormat format, const LoadLimits& limits,
                                               std::string_view turtle_base) {
  const ModelReader<trelvanic_owl::Ontology> reader =
      owl_model_reader(std::string(turtle_base), limits.max_expanded_bytes);
  return read_owl_model_from_reader<trelvanic_owl::Ontology>(source, format, limits, reader);
}

std::string file_iri(std::string_view absolute_path) {
  std::string out = "file://";
  for (char ch : absolute_path) {
    const auto c = static_cast<unsigned char>(ch);
    if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
      out += ch;
    } else {
      out += fmt::format("%{:02X}", c);
    }
  }
  return out;
}

OntologyHeader ontology_header(const trelvanic_owl::Ontology& model) {
  OntologyHeader header;
  if (auto iri = model.ontology_iri()) header.ontology_iri = std::string(model.iri(iri));
  if (auto iri = model.version_iri()) header.version_iri = std::string(model.iri(iri));
  absl::flat_hash_set<std::string_view> seen;
  for (const trelvanic_owl::Component& c : model.components()) {
    if (model.kind(c.node) != trelvanic_owl::Kind::Import) continue;
    std::string_view iri = model.iri_text(model.operand(c.node, 0));
    if (seen.insert(iri).second) header.imports.emplace_back(iri);
  }
  return header;
}

}  // namespace trelvanic_parser
