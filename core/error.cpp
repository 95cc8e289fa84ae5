#include "core/error.h"

#include <fmt/format.h>

namespace trelvanic_core {

std::string_view error_kind_name(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::InvalidIri: return "InvalidIri";
    case ErrorKind::EntityKindMismatch: return "EntityKindMismatch";
    case ErrorKind::UnknownEntity: return "UnknownEntity";
    case ErrorKind::InvalidAxiom: return "InvalidAxiom";
    case ErrorKind::ParsingUnavailable: return "ParsingUnavailable";
    case ErrorKind::Parse: return "Parse";
    case ErrorKind::Serialization: return "Serialization";
    case ErrorKind::ResourceLimitExceeded: return "ResourceLimitExceeded";
    case ErrorKind::OntologyNotLoaded: return "OntologyNotLoaded";
    case ErrorKind::NotImplemented: return "NotImplemented";
    case ErrorKind::ConsistencyIncomplete: return "ConsistencyIncomplete";
    case ErrorKind::Message: return "Message";
  }
  return "?";
}

Error Error::entity_kind_mismatch(std::string iri, EntityKind expected, EntityKind found) {
  Error e(ErrorKind::EntityKindMismatch, std::move(iri));
  e.expected_ = expected;
  e.found_ = found;
  return e;
}

Error Error::unknown_entity(EntityId id) {
  Error e(ErrorKind::UnknownEntity, {});
  e.entity_ = id;
  return e;
}

std::string Error::message() const {
  switch (kind_) {
    case ErrorKind::InvalidIri: return fmt::format("invalid IRI: {}", text_);
    case ErrorKind::EntityKindMismatch:
      return fmt::format("entity kind mismatch for {}: expected {}, found {}", text_,
                         entity_kind_name(expected_), entity_kind_name(found_));
    case ErrorKind::UnknownEntity: return fmt::format("unknown entity: {}", entity_);
    case ErrorKind::InvalidAxiom: return fmt::format("invalid axiom: {}", text_);
    case ErrorKind::ParsingUnavailable:
      return "ontology file parsing is not available on trelvanic-core; use "
             "trelvanic_parser::load_ontology";
    case ErrorKind::Parse: return fmt::format("parse error: {}", text_);
    case ErrorKind::Serialization: return fmt::format("serialization error: {}", text_);
    case ErrorKind::ResourceLimitExceeded: return fmt::format("resource limit exceeded: {}", text_);
    case ErrorKind::OntologyNotLoaded: return "ontology not loaded";
    case ErrorKind::NotImplemented: return "reasoning not yet implemented";
    case ErrorKind::ConsistencyIncomplete: return "consistency check incomplete";
    case ErrorKind::Message: return text_;
  }
  return text_;
}

}  // namespace trelvanic_core
