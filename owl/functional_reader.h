// Reader for the OWL 2 functional-style syntax.
//
// `read_functional(text)` parses one ontology document (Prefix declarations,
// then `Ontology(...)`) into an `Ontology` of the structural model, or
// returns an `Error` with the line and column where reading stopped. The
// text must stay alive during the call only.
//
// Accepted beyond the strict grammar, as real files and our own generated
// texts need: the prefixes owl:, rdf:, rdfs:, xsd: and xml: are known without
// a declaration; a prefix declared twice takes its later namespace; strings
// may hold the escapes \n, \r and \t besides \" and \\; n-ary constructs may
// have fewer operands than the grammar asks (the consumer decides). IRIs are
// kept exactly as written ("%23" stays "%23"). A document that is not
// well-formed UTF-8 is refused at its first bad byte.
//
// Nesting is followed with an explicit stack and refused beyond
// `max_depth`; no exception leaves the reader (allocation failure becomes an
// `Internal` error).
#pragma once

#include <cstdint>
#include <string_view>

#include "owl/cancel_check.h"
#include "owl/error.h"
#include "owl/model.h"

namespace trelvanic_owl {

struct ReaderSettings {
  uint32_t max_depth = kMaxNestingDepth;
  // OWL/XML: the largest size the document may reach once its entities are
  // replaced (the loader's default).
  uint64_t max_expanded_bytes = 268'435'456;
  // Polled while reading (owl/cancel_check.h); once it reads true the read
  // fails with an `Internal` error "cancelled". Null: never.
  const std::atomic<bool>* cancel = nullptr;
};

[[nodiscard]] Result<Ontology> read_functional(std::string_view text, const ReaderSettings& settings = {}) noexcept;

}  // namespace trelvanic_owl
