// The RDF/XML reader as it was on raptor2, kept for the tests as the
// reference the library's own reader is compared with.
#include "raptor_reference.h"

#include <algorithm>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include <fmt/format.h>
#include <raptor2/raptor2.h>

#include "owl/prefixes.h"
#include "owl/xml_entities.h"

namespace trelvanic_rdf::testing {

using namespace trelvanic_rdf;

namespace {

constexpr std::size_t kChunkSize = 65536;
constexpr const char* kDefaultBase = "urn:trelvanic:document";

std::string_view uri_text(raptor_uri* uri) {
  size_t len = 0;
  const unsigned char* s = raptor_uri_as_counted_string(uri, &len);
  return {reinterpret_cast<const char*>(s), len};
}

struct State {
  raptor_parser* parser = nullptr;
  Graph* graph;
  const ReadOptions* options;
  std::optional<Error> error;
  ReadStats stats;
  unsigned long next_blank = 0;
  CancelCheck cancel{options->cancel};

  void fail(ErrorKind kind, std::string message) {
    if (error) return;
    error = Error{kind, std::move(message), 0, 0};
    // stop raptor now rather than at the end of the chunk it is reading
    if (parser != nullptr) raptor_parser_parse_abort(parser);
  }

  // Bytes of the distinct IRIs longer than the limit of built IRIs that the
  // document has named, and the most it may name: its own length.
  std::size_t long_iri_bytes = 0;
  std::size_t text_bytes = 0;

  // raptor builds IRIs from namespaces and xml:base; a long namespace used
  // many times would make a gigabyte of them from a small document. An IRI
  // written out pays for itself, so the distinct long IRIs may not add up to
  // more than the document's length.
  TermId long_iri(std::string_view text) {
    TermTable& terms = graph->terms();
    if (auto known = terms.find_iri(text)) return *known;
    long_iri_bytes += text.size();
    if (long_iri_bytes > text_bytes) {
      fail(ErrorKind::Limit, std::string(trelvanic_owl::kBuiltIriTooLong));
      return TermId{};
    }
    return terms.iri(text);
  }

  TermId iri(std::string_view text) {
    return text.size() > trelvanic_owl::kMaxBuiltIriBytes ? long_iri(text) : graph->terms().iri(text);
  }

  TermId term(const raptor_term* t) {
    TermTable& terms = graph->terms();
    switch (t->type) {
      case RAPTOR_TERM_TYPE_URI: return iri(uri_text(t->value.uri));
      case RAPTOR_TERM_TYPE_BLANK:
        return terms.blank({reinterpret_cast<const char*>(t->value.blank.string),
                            t->value.blank.string_len});
      case RAPTOR_TERM_TYPE_LITERAL: {
        const raptor_term_literal_value& lit = t->value.literal;
        const std::string_view lexical(reinterpret_cast<const char*>(lit.string), lit.string_len);
        const std::string_view lang =
            lit.language != nullptr
                ? std::string_view(reinterpret_cast<const char*>(lit.language), lit.language_len)
                : std::string_view{};
        const TermId dt = lit.datatype != nullptr ? iri(uri_text(lit.datatype)) : TermId{};
        return terms.literal(lexical, dt, lang);
      }
      case RAPTOR_TERM_TYPE_UNKNOWN: break;
    }
    fail(ErrorKind::Syntax, "unknown term in RDF/XML statement");
    return TermId{};
  }
};

void statement_cb(void* user_data, raptor_statement* st) {
  auto* state = static_cast<State*>(user_data);
  if (state->error) return;
  if (state->cancel()) {
    state->fail(ErrorKind::Internal, kCancelledText);
    raptor_parser_parse_abort(state->parser);
    return;
  }
  try {
    const TermId s = state->term(st->subject);
    const TermId p = state->term(st->predicate);
    const TermId o = state->term(st->object);
    if (state->error) return;
    ++state->stats.triples;
    state->graph->add(s, p, o);
  } catch (...) {
    state->fail(ErrorKind::Internal, "out of memory while reading RDF/XML");
  }
}

void log_cb(void* user_data, raptor_log_message* message) {
  auto* state = static_cast<State*>(user_data);
  if (state->error || message->level < RAPTOR_LOG_LEVEL_ERROR) return;
  try {
    std::uint32_t line = 0;
    std::uint32_t column = 0;
    // XML-level errors come without a locator; the parser's own locator
    // then holds the line libxml2 stopped on.
    const raptor_locator* loc = message->locator;
    if ((loc == nullptr || loc->line <= 0) && state->parser != nullptr) {
      loc = raptor_parser_get_locator(state->parser);
    }
    if (loc != nullptr) {
      line = loc->line > 0 ? static_cast<std::uint32_t>(loc->line) : 0;
      column = loc->column > 0 ? static_cast<std::uint32_t>(loc->column) : 0;
    }
    std::string_view text = message->text != nullptr ? message->text : "RDF/XML error";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
    state->error = syntax_error(*state->options, line, column, text);
  } catch (...) {
    state->fail(ErrorKind::Internal, "out of memory while reading RDF/XML");
  }
}

// Labels for the blank nodes raptor invents start with '#', which an
// rdf:nodeID (an XML name) cannot contain. Labels the document gives are
// kept as they are. Raptor frees what this returns with free().
unsigned char* bnodeid_cb(void* user_data, unsigned char* user_bnodeid) {
  if (user_bnodeid != nullptr) return user_bnodeid;
  auto* state = static_cast<State*>(user_data);
  char buf[32];
  const int n = std::snprintf(buf, sizeof buf, "#g%lu", ++state->next_blank);
  auto* out = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(n) + 1));
  if (out != nullptr) std::memcpy(out, buf, static_cast<std::size_t>(n) + 1);
  return out;
}

struct RaptorHandles {
  raptor_world* world = nullptr;
  raptor_parser* parser = nullptr;
  raptor_uri* base = nullptr;
  ~RaptorHandles() {
    if (base != nullptr) raptor_free_uri(base);
    if (parser != nullptr) raptor_free_parser(parser);
    if (world != nullptr) raptor_free_world(world);
  }
};

}  // namespace

std::expected<ReadStats, Error> read_rdfxml_raptor(std::string_view text, Graph& graph,
                                                   const ReadOptions& options) {
  if (auto ok = check_no_nul(text, options); !ok) return std::unexpected(std::move(ok.error()));
  if (auto ok = check_utf8(text, options); !ok) return std::unexpected(std::move(ok.error()));
  // libxml2 under raptor replaces entities as it goes: a small document
  // may ask for gigabytes of them.
  if (trelvanic_owl::xml_expanded_size(text) > options.max_expanded_bytes) {
    return make_error(ErrorKind::Limit, fmt::format("expanded RDF/XML size exceeds limit of {} bytes during entity "
                                                    "expansion", options.max_expanded_bytes));
  }
  // raptor's own option leaves external parameter entities to libxml2,
  // which would read them
  trelvanic_owl::ExternalEntityGuard no_external_entities;
  State state{nullptr, &graph, &options, std::nullopt, {}, 0};
  state.text_bytes = text.size();
  RaptorHandles h;
  h.world = raptor_new_world();
  if (h.world == nullptr || raptor_world_open(h.world) != 0) {
    return make_error(ErrorKind::Internal, "cannot start the RDF/XML reader");
  }
  raptor_world_set_log_handler(h.world, &state, log_cb);
  raptor_world_set_generate_bnodeid_handler(h.world, &state, bnodeid_cb);
  h.parser = raptor_new_parser(h.world, "rdfxml");
  if (h.parser == nullptr) return make_error(ErrorKind::Internal, "cannot create the RDF/XML reader");
  state.parser = h.parser;
  raptor_parser_set_option(h.parser, RAPTOR_OPTION_NO_NET, nullptr, 1);
  raptor_parser_set_option(h.parser, RAPTOR_OPTION_NO_FILE, nullptr, 1);
  raptor_parser_set_option(h.parser, RAPTOR_OPTION_LOAD_EXTERNAL_ENTITIES, nullptr, 0);
  raptor_parser_set_statement_handler(h.parser, &state, statement_cb);
  const std::string base = options.base_iri.empty() ? kDefaultBase : options.base_iri;
  h.base = raptor_new_uri(h.world, reinterpret_cast<const unsigned char*>(base.c_str()));
  if (h.base == nullptr) {
    return make_error(ErrorKind::InvalidIri, fmt::format("invalid base IRI <{}>", base));
  }
  if (raptor_parser_parse_start(h.parser, h.base) != 0) {
    if (state.error) return std::unexpected(std::move(*state.error));
    return make_error(ErrorKind::Internal, "cannot start the RDF/XML reader");
  }
  std::size_t pos = 0;
  int rc = 0;
  do {
    const std::size_t n = std::min(kChunkSize, text.size() - pos);
    const bool last = pos + n == text.size();
    rc = raptor_parser_parse_chunk(h.parser, reinterpret_cast<const unsigned char*>(text.data() + pos),
                                   n, last ? 1 : 0);
    pos += n;
    if (last) break;
  } while (rc == 0 && !state.error);
  if (state.error) return std::unexpected(std::move(*state.error));
  if (rc != 0) return std::unexpected(syntax_error(options, 0, 0, "malformed RDF/XML"));
  return state.stats;
}

}  // namespace trelvanic_rdf::testing
