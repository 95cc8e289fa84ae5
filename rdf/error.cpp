#include "rdf/error.h"

namespace trelvanic_rdf {

const char* error_kind_name(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::InvalidIri: return "InvalidIri";
    case ErrorKind::Syntax: return "Syntax";
    case ErrorKind::Mapping: return "Mapping";
    case ErrorKind::Limit: return "Limit";
    case ErrorKind::Internal: return "Internal";
  }
  return "Internal";
}

}  // namespace trelvanic_rdf
