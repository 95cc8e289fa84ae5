// Reading an ontology document through an OWL model reader, under the
// loader's read policy:
//   1. the input is read whole, but never more than `max_file_bytes` + 1
//      bytes ("input size {} exceeds limit of {} bytes");
//   2. a pre-scan counts fixed texts and refuses inputs whose estimated
//      component count exceeds `max_axioms`, before any parsing;
//   3. the reader runs under `OWL_MODEL_READ_LOCK`, the one process-wide lock
//      that lets a single reader run at a time, inside a crash guard that turns
//      any exception escaping the reader into "parser internal error: ...";
//   4. an RDF reader that stopped early with non-blank input left over fails
//      with "incomplete RDF document";
//   5. a parsed model with more than `max_axioms` components is refused.
//
// The reader itself is a `ModelReader<Model>`: a callable that parses the
// whole input in the given syntax into its own `Model` type and reports the
// model's component count (for the RDF syntaxes also whether it stopped
// early and where). Each call of `read_owl_model_from_reader` names the
// reader to use:
//
//   FileSource source(file);
//   auto model = read_owl_model_from_reader<MyModel>(source, format, limits, reader);
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <expected>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include <absl/functional/function_ref.h>

#include "parser/error.h"
#include "parser/format.h"
#include "parser/limits.h"
#include "parser/sandbox.h"

namespace trelvanic_parser {

// A readable byte source: an open file or an in-memory text.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `out.size()` bytes, returning how many (0 at the end). A
  // failure is `Parse` with the system's text.
  [[nodiscard]] virtual Result<std::size_t> read(std::span<char> out) = 0;
  // How many bytes are expected to remain, if known; only used to size the
  // buffer, never trusted as the length.
  [[nodiscard]] virtual std::optional<uint64_t> size_hint() const { return std::nullopt; }
};

// Reads an open file from its current offset.
class FileSource final : public ByteSource {
 public:
  explicit FileSource(const OpenFile& file) : file_(&file) {}
  [[nodiscard]] Result<std::size_t> read(std::span<char> out) override;
  [[nodiscard]] std::optional<uint64_t> size_hint() const override;

 private:
  const OpenFile* file_;
};

// Reads a text in memory (which must outlive the source).
class TextSource final : public ByteSource {
 public:
  explicit TextSource(std::string_view text) : text_(text) {}
  [[nodiscard]] Result<std::size_t> read(std::span<char> out) override;
  [[nodiscard]] std::optional<uint64_t> size_hint() const override { return text_.size(); }

 private:
  std::string_view text_;
};

// What a model reader hands back for one document.
template <class Model>
struct ModelReadOutput {
  Model model;
  // Components of the model: declarations, axioms, annotations, imports and
  // the ontology's header items.
  uint64_t component_count = 0;
  // RDF syntaxes: the reader left part of the document unturned into OWL
  // constructs and stopped after `consumed` bytes of the input.
  bool incomplete = false;
  std::size_t consumed = 0;
};

// A model reader: parses `bytes` in `format`, or returns its own error text.
template <class Model>
using ModelReader =
    std::function<std::expected<ModelReadOutput<Model>, std::string>(std::string_view bytes, OntologyFormat format)>;

// Reads the source to its end, but never more than `max_bytes` + 1 bytes
// (without bound for the largest value), so that a longer input shows as
// one byte over the limit. A read failure is `Parse` with the system's text.
[[nodiscard]] Result<std::string> read_at_most(ByteSource& source, uint64_t max_bytes);

// Reads the whole source under the size limit: `Parse` "input size {}
// exceeds limit of {} bytes" when more than `max_file_bytes` bytes are there
// (the count shown is `max_file_bytes` + 1, where reading stops).
[[nodiscard]] Result<std::string> read_limited_input(ByteSource& source, const LoadLimits& limits);

// The pre-scan's estimate of the number of components: the occurrences of
// fixed texts (18 for the XML syntaxes, 16 for functional syntax; each text
// counted on its own), or for Turtle the occurrences of " ;" and " ." plus a
// quarter of the line feeds.
[[nodiscard]] uint64_t prescan_estimate(std::string_view bytes, OntologyFormat format);

// Refuses, before parsing, an input whose estimated component count is above
// `max_axioms`: "pre-scan estimate of {} components exceeds axiom limit of {}".
[[nodiscard]] Result<void> prescan_axiom_estimate(std::string_view bytes, OntologyFormat format,
                                                  const LoadLimits& limits);

// A reader's error text as the loader's `Parse` error.
[[nodiscard]] Error map_owl_model_error(std::string_view reader_message);

// "parser internal error: {}" for a crash that carries a message text (an
// exception derived from std::exception, or a thrown string), else "parser
// internal error (unknown panic)".
[[nodiscard]] std::string panic_payload_message(std::exception_ptr payload);

// Runs `body` holding `OWL_MODEL_READ_LOCK`, inside the crash guard.
// Returns the body's result, or `Parse` with `panic_payload_message` when
// the body threw. A lock whose holder was unwound past the guard (thread
// cancellation) is poisoned: every later call fails with "owl_model read
// lock poisoned: poisoned lock: another task failed inside".
[[nodiscard]] Result<void> run_under_read_lock(absl::FunctionRef<Result<void>()> body);

// For an RDF reader that stopped early: the bytes after `consumed` must all
// be blank (space, tab, line feed, form feed, carriage return), else
// "incomplete RDF document".
[[nodiscard]] Result<void> check_rdf_remainder(std::string_view bytes, std::size_t consumed);

// "parsed ontology contains {} components, exceeding axiom limit of {}".
[[nodiscard]] Result<void> check_component_count(uint64_t components, const LoadLimits& limits);

// Parses `bytes` with `reader` under the lock and the crash guard.
template <class Model>
[[nodiscard]] Result<ModelReadOutput<Model>> read_owl_model_from_bytes(std::string_view bytes, OntologyFormat format,
                                                                       const ModelReader<Model>& reader) {
  std::optional<ModelReadOutput<Model>> parsed;
  auto status = run_under_read_lock([&]() -> Result<void> {
    auto output = reader(bytes, format);
    if (!output) return std::unexpected(map_owl_model_error(output.error()));
    bool rdf = format == OntologyFormat::RdfXml || format == OntologyFormat::Turtle;
    if (rdf && output->incomplete) {
      auto rest = check_rdf_remainder(bytes, output->consumed);
      if (!rest) return rest;
    }
    parsed.emplace(std::move(*output));
    return {};
  });
  if (!status) return std::unexpected(std::move(status).error());
  return std::move(*parsed);
}

// The one entry for every caller: size limit, pre-scan, guarded parse,
// component-count limit. Behaves the same for a file and for a text.
template <class Model>
[[nodiscard]] Result<Model> read_owl_model_from_reader(ByteSource& source, OntologyFormat format,
                                                       const LoadLimits& limits, const ModelReader<Model>& reader) {
  auto bytes = read_limited_input(source, limits);
  if (!bytes) return std::unexpected(std::move(bytes).error());
  if (auto scan = prescan_axiom_estimate(*bytes, format, limits); !scan) {
    return std::unexpected(std::move(scan).error());
  }
  auto parsed = read_owl_model_from_bytes<Model>(*bytes, format, reader);
  if (!parsed) return std::unexpected(std::move(parsed).error());
  if (auto count = check_component_count(parsed->component_count, limits); !count) {
    return std::unexpected(std::move(count).error());
  }
  return std::move(parsed->model);
}

}  // namespace trelvanic_parser
