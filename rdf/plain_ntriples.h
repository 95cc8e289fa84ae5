// Reading documents in plain N-Triples form without serd.
//
// Most large Turtle and N-Triples inputs are written by tools one statement
// a line: `subject predicate object .` with absolute IRIs in <>, blank-node
// labels and quoted literals (escapes, language tags, datatypes), between
// comments and blank lines. `read_plain_ntriples` reads such a document
// straight into the graph's term table. At the first thing outside that form
// (a directive, a prefixed name, a relative IRI, a Turtle abbreviation, a
// statement over several lines or several on one line, an IRI escape, any
// error) it takes back what it added and answers "not plain": the caller
// then reads the whole document with serd, so that messages, positions and
// limits stay serd's.
//
// A plain document gives exactly what serd's road gives: the same triples,
// with terms interned in the same order (so the same term ids) and the same
// blank-node labels. In Turtle, serd writes a document label b<digit>... as
// B<digit>... to keep it apart from the labels it makes for [] and ( ), and
// refuses a later B<digit>... label; the same is done here (the refusal by
// answering "not plain").
//
// The text must have passed `check_no_nul` and `check_utf8`.
#pragma once

#include <expected>
#include <optional>
#include <string_view>

#include "rdf/error.h"
#include "rdf/graph.h"
#include "rdf/reader.h"

namespace trelvanic_rdf {

// The statistics of the read, nothing when the document is not plain (the
// graph is then as it was), or the "cancelled" error.
[[nodiscard]] std::expected<std::optional<ReadStats>, Error> read_plain_ntriples(
    std::string_view text, Graph& graph, const ReadOptions& options, bool ntriples);

}  // namespace trelvanic_rdf
