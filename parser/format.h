// Detecting which syntax an ontology file holds, from its file name's
// extension and, where that is ambiguous or unknown, from its first bytes.
//
// Extensions (exact, case-sensitive): "ofn" and "func" are functional
// syntax, "rdf" RDF/XML, "ttl", "turtle" and "nt" (N-Triples is Turtle)
// Turtle; "owl" and "xml" are decided by the bytes, as is every other name.
// The byte tests are prefix and substring comparisons over the first 4096
// bytes; where those decide nothing and the text opens with an XML prolog
// (declaration, comments, processing instructions, a DOCTYPE with an
// internal subset) that runs on, more is read, up to `kMaxPrologBytes`, to
// reach the root element, whose name decides.
//
// Bytes are always sniffed from the descriptor that the sandbox validated
// and opened, never by opening the path again, so a FIFO or another file put
// in place of the checked one is never read. A load calls
// `resolve_load_format(requested_path, file)`, which leaves the file at
// offset 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "parser/error.h"
#include "parser/sandbox.h"

namespace trelvanic_parser {

enum class OntologyFormat : uint8_t {
  OwlXml = 0,
  RdfXml = 1,
  Turtle = 2,
  Functional = 3,
};

// "OWL/XML", "RDF/XML", "Turtle" or "functional syntax".
[[nodiscard]] std::string_view format_name(OntologyFormat format);

// Bytes read for detection; at most `kMaxPrologBytes` to reach the root
// element past a long XML prolog.
inline constexpr std::size_t kSniffBytes = 4096;
inline constexpr std::size_t kMaxPrologBytes = std::size_t{1} << 20;

// By extension; for "owl" and "xml" by the first bytes of `file` (which is
// rewound to offset 0 afterwards). A failed read or rewind gives none.
[[nodiscard]] std::optional<OntologyFormat> detect_format(std::string_view path, const OpenFile& file);

// The first 4096 bytes of `file`, more while an XML prolog is still open
// and nothing is decided (up to `kMaxPrologBytes`), file rewound; a failed
// read or rewind is `Parse` with the system's text.
[[nodiscard]] Result<std::string> sniff_for_format(const OpenFile& file);

// `sniff_for_format` through `detect_format_from_bytes`; none when the read
// or the rewind fails.
[[nodiscard]] std::optional<OntologyFormat> sniff_xml_format(const OpenFile& file);

// One read of at most `n` bytes from the current offset; a failure is
// `Parse` with the system's text.
[[nodiscard]] Result<std::string> sniff_reader(const OpenFile& file, std::size_t n);

// `sniff_reader`, then seek back to offset 0.
[[nodiscard]] Result<std::string> sniff_and_rewind(const OpenFile& file, std::size_t n);

// Functional syntax, then RDF/XML, OWL/XML (by the prefix and substring
// tests, then by the root element past an XML prolog: "rdf:RDF", or
// "Ontology" with any prefix) and Turtle by the bytes alone.
[[nodiscard]] std::optional<OntologyFormat> detect_format_from_bytes(std::string_view bytes);

// Valid UTF-8 that, after leading white space, starts with "Prefix(" or
// "Ontology(" (no byte-order mark removed).
[[nodiscard]] bool detect_functional_from_bytes(std::string_view bytes);

// Valid UTF-8 that, without a byte-order mark and leading white space,
// starts with "@prefix", "@base" or (any letter case) "prefix ", or holds a
// line starting with "@prefix" or (any case) "prefix ", or whose first
// statement past "#" comment lines opens with two absolute IRI references
// ("<http://x/s> <http://x/p> ...", as N-Triples does).
[[nodiscard]] bool detect_turtle_from_bytes(std::string_view bytes);

// The format a load reads `file` with: by the extension of `requested_path`
// (the path the caller gave), else by the file's first bytes; else
// `UnsupportedFormat` "could not detect OWL/RDF format for {}". A failed
// sniff or rewind is `Parse` with the system's text. The file is left at
// offset 0.
[[nodiscard]] Result<OntologyFormat> resolve_load_format(std::string_view requested_path, const OpenFile& file);

}  // namespace trelvanic_parser
