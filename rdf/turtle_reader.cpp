#include "rdf/turtle_reader.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <deque>
#include <optional>
#include <string>

#include <absl/container/flat_hash_map.h>
#include <fmt/format.h>
#include <serd/serd.h>

#include "owl/prefixes.h"
#include "owl/utf8.h"
#include "rdf/detail/iri_cache.h"
#include "rdf/plain_ntriples.h"

namespace trelvanic_rdf {

namespace {

// serd 0.30 and 0.32 spell texts as uint8_t.
using SerdChar = std::uint8_t;

constexpr std::size_t kPageSize = 65536;
constexpr std::string_view kRdfNil = "http://www.w3.org/1999/02/22-rdf-syntax-ns#nil";
constexpr std::string_view kRdfRest = "http://www.w3.org/1999/02/22-rdf-syntax-ns#rest";

std::string_view node_text(const SerdNode* node) {
  return {reinterpret_cast<const char*>(node->buf), node->n_bytes};
}

struct MemorySource {
  std::string_view text;
  std::size_t pos = 0;
};

// SerdSource: fread-like reader over memory.
std::size_t memory_read(void* buf, std::size_t size, std::size_t nmemb, void* stream) {
  auto* src = static_cast<MemorySource*>(stream);
  const std::size_t want = size * nmemb;
  const std::size_t n = std::min(want, src->text.size() - src->pos);
  std::memcpy(buf, src->text.data() + src->pos, n);
  src->pos += n;
  return size == 0 ? 0 : n / size;
}

int memory_error(void*) { return 0; }

class Sink {
 public:
  Sink(Graph& graph, const ReadOptions& options) : graph_(graph), options_(options) {
    env_ = serd_env_new(nullptr);
  }
  Sink(const Sink&) = delete;
  Sink& operator=(const Sink&) = delete;
  ~Sink() { serd_env_free(env_); }

  [[nodiscard]] bool set_initial_base(const std::string& base) {
    if (base.empty()) return true;
    SerdNode node = serd_node_from_string(SERD_URI, reinterpret_cast<const SerdChar*>(base.c_str()));
    return serd_env_set_base_uri(env_, &node) == SERD_SUCCESS;
  }

  SerdStatus on_base(const SerdNode* uri) {
    if (serd_env_set_base_uri(env_, uri) != SERD_SUCCESS) {
      return fail(ErrorKind::Syntax, fmt::format("invalid base IRI <{}>", trelvanic_owl::utf8_excerpt(node_text(uri))));
    }
    return SERD_SUCCESS;
  }

  SerdStatus on_prefix(const SerdNode* name, const SerdNode* uri) {
    if (!escapes_are_characters(uri)) return SERD_ERR_BAD_ARG;
    std::optional<std::string> ns = expand_uri(uri);
    if (!ns) return SERD_ERR_BAD_ARG;
    serd_env_set_prefix(env_, name, uri);
    auto it = prefixes_.find(node_text(name));
    if (it != prefixes_.end()) {
      it->second = std::move(*ns);
    } else {
      prefix_names_.emplace_back(node_text(name));
      prefixes_.emplace(prefix_names_.back(), std::move(*ns));
    }
    return SERD_SUCCESS;
  }

  // serd descends into [ ] and ( ) by recursion, reporting the statement
  // that opens a nested node before it descends. Counting open nodes here
  // and failing past kMaxTurtleNesting stops serd before deep input can
  // exhaust the stack: an anonymous node closes at serd's end callback, a
  // collection at its last rdf:rest rdf:nil.
  SerdStatus track_nesting(SerdStatementFlags flags, const SerdNode* predicate,
                           const SerdNode* object) {
    // The subject's node opens outside the object's.
    if ((flags & SERD_ANON_S_BEGIN) != 0) open_.push_back(false);
    if ((flags & SERD_LIST_S_BEGIN) != 0) open_.push_back(true);
    if ((flags & SERD_ANON_O_BEGIN) != 0) open_.push_back(false);
    if ((flags & SERD_LIST_O_BEGIN) != 0) open_.push_back(true);
    if (open_.size() > kMaxTurtleNesting) {
      return fail(ErrorKind::Limit,
                  fmt::format("blank nodes and collections nested deeper than {} levels",
                              kMaxTurtleNesting));
    }
    if (!open_.empty() && open_.back() && object->type == SERD_URI &&
        node_text(object) == kRdfNil && node_text(predicate) == kRdfRest) {
      open_.pop_back();
    }
    return SERD_SUCCESS;
  }

  SerdStatus on_end(const SerdNode*) {
    // Collections inside the anonymous node are closed by now.
    while (!open_.empty() && open_.back()) open_.pop_back();
    if (!open_.empty()) open_.pop_back();
    return SERD_SUCCESS;
  }

  SerdStatus on_statement(SerdStatementFlags flags, const SerdNode* subject,
                          const SerdNode* predicate, const SerdNode* object,
                          const SerdNode* datatype, const SerdNode* lang) {
    if (cancel_()) return fail(ErrorKind::Internal, kCancelledText);
    if (flags != 0 || !open_.empty()) {
      if (SerdStatus st = track_nesting(flags, predicate, object); st != SERD_SUCCESS) return st;
    }
    if (check_escapes_) {
      for (const SerdNode* node : {subject, predicate, object, datatype}) {
        if (!escapes_are_characters(node)) return SERD_ERR_BAD_ARG;
      }
    }
    const TermId s = term(subject);
    const TermId p = term(predicate);
    TermId o;
    if (object->type == SERD_LITERAL) {
      TermId dt{};
      if (datatype != nullptr && datatype->n_bytes > 0) dt = term(datatype);
      o = graph_.terms().literal(node_text(object), dt,
                                 lang != nullptr ? node_text(lang) : std::string_view{});
    } else {
      o = term(object);
    }
    if (error_) return SERD_ERR_BAD_ARG;
    ++stats_.triples;
    graph_.add(s, p, o);
    return SERD_SUCCESS;
  }

  void on_error(const SerdError* e) {
    if (error_) return;
    char buf[512];
    va_list args;
    va_copy(args, *e->args);
    std::vsnprintf(buf, sizeof buf, e->fmt, args);
    va_end(args);
    std::string_view text(buf);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
    error_ = syntax_error(options_, static_cast<std::uint32_t>(e->line),
                          static_cast<std::uint32_t>(e->col), text);
  }

  SerdStatus fail(ErrorKind kind, std::string message) {
    if (!error_) {
      error_ = Error{kind, std::move(message), 0, 0};
      if (source_ != nullptr) fail_offset_ = source_->pos;
    }
    return SERD_ERR_BAD_ARG;
  }

  // Whether the text has numeric escapes (backslash u or U), whose code
  // points serd writes out unchecked.
  void set_check_escapes(bool on) { check_escapes_ = on; }

  // The source being read; in byte-at-a-time mode its position tells where
  // a failure found by this sink (not by serd) happened.
  void set_source(const MemorySource* source) { source_ = source; }
  [[nodiscard]] std::optional<std::size_t> fail_offset() const { return fail_offset_; }

  std::optional<Error>& error() { return error_; }
  [[nodiscard]] const ReadStats& stats() const { return stats_; }

 private:
  // serd writes an escaped surrogate code point (D800 to DFFF) as the
  // three bytes of a character that does not exist; the text was checked before
  // reading, so only an escape can make a node that is not UTF-8.
  bool escapes_are_characters(const SerdNode* node) {
    if (!check_escapes_ || node == nullptr || node->buf == nullptr) return true;
    if (!trelvanic_owl::find_invalid_utf8(node_text(node))) return true;
    fail(ErrorKind::Syntax, "escaped surrogate code point");
    return false;
  }

  // A URI node as an absolute IRI text, resolved against the current base.
  std::optional<std::string> expand_uri(const SerdNode* node) {
    if (serd_uri_string_has_scheme(node->buf)) return std::string(node_text(node));
    SerdNode expanded = serd_env_expand_node(env_, node);
    if (expanded.buf == nullptr || !serd_uri_string_has_scheme(expanded.buf)) {
      serd_node_free(&expanded);
      fail(ErrorKind::Syntax,
           fmt::format("relative IRI <{}> without a base IRI", trelvanic_owl::utf8_excerpt(node_text(node))));
      return std::nullopt;
    }
    if (expanded.n_bytes > trelvanic_owl::kMaxBuiltIriBytes && expanded.n_bytes > node->n_bytes) {
      serd_node_free(&expanded);
      fail(ErrorKind::Limit, std::string(trelvanic_owl::kBuiltIriTooLong));
      return std::nullopt;
    }
    std::string out(node_text(&expanded));
    serd_node_free(&expanded);
    return out;
  }

  TermId term(const SerdNode* node) {
    TermTable& terms = graph_.terms();
    switch (node->type) {
      case SERD_URI: {
        if (serd_uri_string_has_scheme(node->buf)) return iris_.iri(node_text(node));
        std::optional<std::string> iri = expand_uri(node);
        return iri ? terms.iri(*iri) : TermId{};
      }
      case SERD_CURIE: {
        const std::string_view text = node_text(node);
        const std::size_t colon = text.find(':');
        auto it = colon == std::string_view::npos
                      ? prefixes_.end()
                      : prefixes_.find(text.substr(0, colon));
        if (it == prefixes_.end()) {
          fail(ErrorKind::Syntax, fmt::format("undefined prefix in {}", trelvanic_owl::utf8_excerpt(text)));
          return TermId{};
        }
        if (it->second.size() + text.size() - colon - 1 > trelvanic_owl::kMaxBuiltIriBytes) {
          fail(ErrorKind::Limit, std::string(trelvanic_owl::kBuiltIriTooLong));
          return TermId{};
        }
        scratch_.assign(it->second);
        scratch_.append(text.substr(colon + 1));
        return terms.iri(scratch_);
      }
      case SERD_BLANK: return terms.blank(node_text(node));
      case SERD_LITERAL: return terms.literal(node_text(node));
      case SERD_NOTHING: break;
    }
    fail(ErrorKind::Syntax, "unexpected empty node");
    return TermId{};
  }

  Graph& graph_;
  const ReadOptions& options_;
  detail::IriCache iris_{graph_.terms()};
  SerdEnv* env_ = nullptr;
  std::deque<std::string> prefix_names_;  // stable storage for the keys below
  absl::flat_hash_map<std::string_view, std::string> prefixes_;
  std::string scratch_;
  std::vector<bool> open_;  // open nested nodes: true for a collection
  std::optional<Error> error_;
  bool check_escapes_ = false;
  const MemorySource* source_ = nullptr;
  std::optional<std::size_t> fail_offset_;
  ReadStats stats_;
  CancelCheck cancel_{options_.cancel};
};

// The callbacks catch everything: no exception may unwind through serd.
SerdStatus base_cb(void* handle, const SerdNode* uri) {
  auto* sink = static_cast<Sink*>(handle);
  try {
    return sink->on_base(uri);
  } catch (...) {
    return sink->fail(ErrorKind::Internal, "out of memory while reading Turtle");
  }
}

SerdStatus prefix_cb(void* handle, const SerdNode* name, const SerdNode* uri) {
  auto* sink = static_cast<Sink*>(handle);
  try {
    return sink->on_prefix(name, uri);
  } catch (...) {
    return sink->fail(ErrorKind::Internal, "out of memory while reading Turtle");
  }
}

SerdStatus statement_cb(void* handle, SerdStatementFlags flags, const SerdNode*,
                        const SerdNode* subject, const SerdNode* predicate,
                        const SerdNode* object, const SerdNode* datatype, const SerdNode* lang) {
  auto* sink = static_cast<Sink*>(handle);
  try {
    return sink->on_statement(flags, subject, predicate, object, datatype, lang);
  } catch (...) {
    return sink->fail(ErrorKind::Internal, "out of memory while reading Turtle");
  }
}

SerdStatus end_cb(void* handle, const SerdNode* node) {
  return static_cast<Sink*>(handle)->on_end(node);
}

SerdStatus error_cb(void* handle, const SerdError* error) {
  auto* sink = static_cast<Sink*>(handle);
  try {
    sink->on_error(error);
  } catch (...) {
    sink->fail(ErrorKind::Internal, "out of memory while reading Turtle");
  }
  return SERD_SUCCESS;
}

struct PassResult {
  SerdStatus status = SERD_SUCCESS;
  std::optional<Error> error;
  std::optional<std::size_t> fail_offset;
  ReadStats stats;
};

// One run of serd over the text. `page_size` 1 makes serd pull one byte at
// a time, so the source position is exact when the sink fails.
PassResult read_pass(std::string_view text, Graph& graph, const ReadOptions& options,
                     bool ntriples, std::size_t page_size) {
  PassResult out;
  Sink sink(graph, options);
  if (!sink.set_initial_base(options.base_iri)) {
    out.error = Error{ErrorKind::InvalidIri, fmt::format("invalid base IRI <{}>", options.base_iri), 0, 0};
    return out;
  }
  SerdReader* reader = serd_reader_new(ntriples ? SERD_NTRIPLES : SERD_TURTLE, &sink, nullptr,
                                       base_cb, prefix_cb, statement_cb, end_cb);
  if (reader == nullptr) {
    out.error = Error{ErrorKind::Internal, "cannot create the Turtle reader", 0, 0};
    return out;
  }
  serd_reader_set_strict(reader, true);
  sink.set_check_escapes(text.find("\\u") != std::string_view::npos || text.find("\\U") != std::string_view::npos);
  serd_reader_set_error_sink(reader, error_cb, &sink);
  MemorySource source{text, 0};
  sink.set_source(&source);
  const std::string name = options.source_name.empty() ? "input" : options.source_name;
  out.status = serd_reader_read_source(reader, memory_read, memory_error, &source,
                                       reinterpret_cast<const SerdChar*>(name.c_str()), page_size);
  serd_reader_free(reader);
  out.error = std::move(sink.error());
  out.fail_offset = sink.fail_offset();
  out.stats = sink.stats();
  return out;
}

// serd's road, for a text already checked for NUL bytes and UTF-8.
std::expected<ReadStats, Error> read_with_serd(std::string_view text, Graph& graph,
                                               const ReadOptions& options, bool ntriples) {
  PassResult pass = read_pass(text, graph, options, ntriples, kPageSize);
  if (pass.error && pass.error->line == 0 &&
      (pass.error->kind == ErrorKind::Syntax || pass.error->kind == ErrorKind::Limit)) {
    // A failure found by our sink (undefined prefix, relative IRI) carries
    // no position; read again a byte at a time into a scratch graph to find
    // where serd stood when it happened.
    Graph scratch;
    PassResult again = read_pass(text, scratch, options, ntriples, 1);
    if (again.fail_offset) {
      // The last byte serd had consumed when the sink failed.
      const std::size_t offset = *again.fail_offset;
      const auto [line, column] = line_column(text, offset == 0 ? 0 : offset - 1);
      Error positioned = syntax_error(options, line, column, pass.error->message);
      positioned.kind = pass.error->kind;
      return std::unexpected(std::move(positioned));
    }
  }
  if (pass.error) return std::unexpected(std::move(*pass.error));
  if (pass.status != SERD_SUCCESS && pass.status != SERD_FAILURE) {
    return std::unexpected(syntax_error(options, 0, 0,
                                        reinterpret_cast<const char*>(serd_strerror(pass.status))));
  }
  return pass.stats;
}

// Whether serd takes the base IRI of the options (none is taken too).
bool base_accepted(const std::string& base) {
  if (base.empty()) return true;
  SerdEnv* env = serd_env_new(nullptr);
  SerdNode node = serd_node_from_string(SERD_URI, reinterpret_cast<const SerdChar*>(base.c_str()));
  const bool ok = serd_env_set_base_uri(env, &node) == SERD_SUCCESS;
  serd_env_free(env);
  return ok;
}

}  // namespace

std::expected<ReadStats, Error> read_turtle(std::string_view text, Graph& graph,
                                            const ReadOptions& options, bool ntriples) {
  if (auto ok = check_no_nul(text, options); !ok) return std::unexpected(std::move(ok.error()));
  if (auto ok = check_utf8(text, options); !ok) return std::unexpected(std::move(ok.error()));
  // A refused base is reported by serd's road.
  if (base_accepted(options.base_iri)) {
    auto plain = read_plain_ntriples(text, graph, options, ntriples);
    if (!plain) return std::unexpected(std::move(plain.error()));
    if (*plain) return **plain;
  }
  return read_with_serd(text, graph, options, ntriples);
}

std::expected<ReadStats, Error> read_turtle_serd(std::string_view text, Graph& graph,
                                                 const ReadOptions& options, bool ntriples) {
  if (auto ok = check_no_nul(text, options); !ok) return std::unexpected(std::move(ok.error()));
  if (auto ok = check_utf8(text, options); !ok) return std::unexpected(std::move(ok.error()));
  return read_with_serd(text, graph, options, ntriples);
}

}  // namespace trelvanic_rdf
