#include "parser/imports.h"

#include <cctype>
#include <deque>
#include <filesystem>
#include <utility>
#include <variant>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>
#include <fmt/format.h>

#include "owl/utf8.h"
#include "parser/load.h"
#include "parser/sandbox.h"
#include "parser/supplement.h"

namespace trelvanic_parser {

using trelvanic_owl::utf8_excerpt;  // IRIs quoted in warnings

namespace {

using trelvanic_core::Ontology;

// Extensions tried after the bare name when an import IRI is matched
// against the files beside the importing one.
constexpr std::string_view kOntologyExtensions[] = {"", ".owl", ".ofn", ".owx", ".rdf", ".ttl", ".xml", ".func",
                                                   ".turtle"};

struct PendingImport {
  std::string iri;
  std::string dir;  // directory of the importing file
};

// What a loaded file said about itself, by normalised path.
struct Visited {
  std::string ontology_iri;
  std::string version_iri;
};

struct AlreadyLoaded {};
struct Unresolved {};
using Resolution = std::variant<LoadedDocument, AlreadyLoaded, Unresolved>;

bool is_web_iri(std::string_view iri) { return iri.starts_with("http://") || iri.starts_with("https://"); }

// Whether `iri` starts with a URI scheme ("ALPHA *( ALPHA / DIGIT / + - . ) :").
bool has_scheme(std::string_view iri) {
  if (iri.empty() || !std::isalpha(static_cast<unsigned char>(iri[0]))) return false;
  for (size_t i = 1; i < iri.size(); ++i) {
    const auto c = static_cast<unsigned char>(iri[i]);
    if (c == ':') return true;
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return false;
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The path of a reference: query and fragment dropped, %XX decoded. None
// for an empty path or one that decodes to a NUL byte.
std::optional<std::string> reference_path(std::string_view ref) {
  ref = ref.substr(0, ref.find_first_of("?#"));
  std::string out;
  for (size_t i = 0; i < ref.size(); ++i) {
    if (ref[i] == '%' && i + 2 < ref.size()) {
      const int hi = hex_value(ref[i + 1]);
      const int lo = hex_value(ref[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        continue;
      }
    }
    out += ref[i];
  }
  if (out.empty() || out.find('\0') != std::string::npos) return std::nullopt;
  return out;
}

// The file a relative reference or `file:` IRI names, from `dir`.
std::optional<std::string> direct_candidate(std::string_view iri, std::string_view dir) {
  std::string_view ref = iri;
  if (has_scheme(iri)) {
    if (!iri.starts_with("file:")) return std::nullopt;
    ref.remove_prefix(5);
    if (ref.starts_with("//")) {
      ref.remove_prefix(2);
      const size_t slash = ref.find('/');
      if (slash == std::string_view::npos) return std::nullopt;
      std::string_view authority = ref.substr(0, slash);
      if (!authority.empty() && authority != "localhost") return std::nullopt;
      ref.remove_prefix(slash);
    }
  }
  auto path = reference_path(ref);
  if (!path) return std::nullopt;
  std::filesystem::path p(*path);
  if (p.is_absolute()) return *path;
  return (std::filesystem::path(std::string(dir)) / p).string();
}

// The last path segment of an IRI (fragment and query dropped, a trailing
// "/" ignored); none when it is empty or could name another directory.
std::optional<std::string> last_segment(std::string_view iri) {
  iri = iri.substr(0, iri.find_first_of("?#"));
  while (!iri.empty() && iri.back() == '/') iri.remove_suffix(1);
  const size_t slash = iri.rfind('/');
  std::string_view seg = slash == std::string_view::npos ? iri : iri.substr(slash + 1);
  if (seg.empty() || seg == "." || seg == ".." || seg.find('\\') != std::string_view::npos ||
      seg.find('\0') != std::string_view::npos) {
    return std::nullopt;
  }
  return std::string(seg);
}

std::string directory_of(std::string_view path) {
  return std::filesystem::path(std::string(path)).parent_path().string();
}

uint64_t axiom_total(const Ontology& o) { return o.axiom_count() + o.dl().axiom_count(); }

class ImportFollower {
 public:
  ImportFollower(LoadedDocument& root, const LoadLimits& limits, std::optional<std::string_view> base)
      : root_(root), limits_(limits), base_(base) {
    remember(root.path, root.header);
    enqueue(root.header, root.path);
  }

  Result<void> run() {
    while (!queue_.empty()) {
      PendingImport next = std::move(queue_.front());
      queue_.pop_front();
      auto resolution = resolve(next);
      if (!resolution) return std::unexpected(std::move(resolution).error());
      if (std::holds_alternative<AlreadyLoaded>(*resolution)) continue;
      if (std::holds_alternative<Unresolved>(*resolution)) {
        if (limits_.strict && !is_web_iri(next.iri)) {
          return std::unexpected(Error::parse(fmt::format("strict parse: unresolved owl:imports IRI {}", utf8_excerpt(next.iri))));
        }
        meta().warn(fmt::format("unresolved owl:imports IRI {}; import skipped", utf8_excerpt(next.iri)));
        meta().unresolved_imports = true;
        continue;
      }
      if (auto r = merge(next.iri, std::get<LoadedDocument>(std::move(*resolution))); !r) return r;
    }
    return {};
  }

 private:
  trelvanic_core::ParseMeta& meta() { return root_.mapped.meta; }

  void enqueue(const OntologyHeader& header, std::string_view path) {
    const std::string dir = directory_of(path);
    for (const std::string& iri : header.imports) queue_.push_back({iri, dir});
  }

  // The normalised candidate when it passes the path checks and is a
  // regular file; none otherwise.
  std::optional<std::string> checked_candidate(const std::string& candidate) {
    auto normalized = validate_load_path(candidate, base_);
    if (!normalized) return std::nullopt;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(*normalized, ec)) return std::nullopt;
    return std::move(*normalized);
  }

  Result<Resolution> resolve(const PendingImport& item) {
    // A document already loaded under this ontology or version IRI (the
    // loaded file itself included) is not loaded again.
    if (loaded_iris_.contains(item.iri)) return AlreadyLoaded{};
    if (auto direct = direct_candidate(item.iri, item.dir)) {
      auto path = checked_candidate(*direct);
      if (!path) return Unresolved{};
      if (visited_.contains(*path)) return AlreadyLoaded{};
      auto doc = load_document(*direct, limits_, base_, next_document_++);
      if (!doc) return std::unexpected(std::move(doc).error());
      remember(*path, doc->header);
      return std::move(*doc);
    }
    if (has_scheme(item.iri) && item.iri.starts_with("file:")) return Unresolved{};
    auto seg = last_segment(item.iri);
    if (!seg) return Unresolved{};
    for (std::string_view ext : kOntologyExtensions) {
      const std::string candidate = (std::filesystem::path(item.dir) / (*seg + std::string(ext))).string();
      auto path = checked_candidate(candidate);
      if (!path) continue;
      if (auto seen = visited_.find(*path); seen != visited_.end()) {
        if (names(seen->second, item.iri)) return AlreadyLoaded{};
        continue;
      }
      auto doc = load_document(candidate, limits_, base_, next_document_++);
      // A file beside that holds no ontology syntax is not the one sought.
      if (!doc && doc.error().kind() == ErrorKind::UnsupportedFormat) continue;
      if (!doc) return std::unexpected(std::move(doc).error());
      if (!names(Visited{doc->header.ontology_iri, doc->header.version_iri}, item.iri)) continue;
      remember(*path, doc->header);
      return std::move(*doc);
    }
    return Unresolved{};
  }

  static bool names(const Visited& v, std::string_view iri) {
    return (!v.ontology_iri.empty() && v.ontology_iri == iri) || (!v.version_iri.empty() && v.version_iri == iri);
  }

  void remember(const std::string& path, const OntologyHeader& header) {
    visited_.emplace(path, Visited{header.ontology_iri, header.version_iri});
    for (const std::string* iri : {&header.ontology_iri, &header.version_iri}) {
      if (!iri->empty()) loaded_iris_.insert(*iri);
    }
  }

  Result<void> merge(const std::string& iri, LoadedDocument doc) {
    OntologyHeader header = std::move(doc.header);
    const std::string path = std::move(doc.path);
    // What the imported document's own mapping skipped or warned about
    // stays visible in the loaded ontology's metadata (a strict load has
    // already failed on a skip in finalizing the import).
    const uint64_t skipped = doc.mapped.meta.skipped_axiom_count;
    std::vector<std::string> warnings = doc.mapped.meta.warnings;
    auto imported = finalize_parsed_ontology(std::move(doc.mapped.ontology), std::move(doc.mapped.meta),
                                             limits_.strict, limits_.validate);
    if (!imported) return std::unexpected(std::move(imported).error());
    Ontology& target = root_.mapped.ontology;

    const uint64_t current = axiom_total(target);
    const uint64_t incoming = axiom_total(*imported);
    if (current + incoming > limits_.max_axioms) {
      if (limits_.strict) {
        return std::unexpected(Error::parse(fmt::format("import merge would exceed axiom limit {} (current {} + import {})",
                                                        limits_.max_axioms, current, incoming)));
      }
      meta().warn(fmt::format("skipping import {}: would exceed axiom limit {}", utf8_excerpt(iri), limits_.max_axioms));
      meta().unresolved_imports = true;
      return {};
    }
    const uint64_t entities = target.entity_count();
    const uint64_t incoming_entities = imported->entity_count();
    if (entities + incoming_entities > limits_.max_entities) {
      if (limits_.strict) {
        return std::unexpected(Error::parse(fmt::format(
            "import merge would exceed entity limit {} (current {} + import {})", limits_.max_entities, entities,
            incoming_entities)));
      }
      meta().warn(fmt::format("skipping import {}: would exceed entity limit {}", utf8_excerpt(iri), limits_.max_entities));
      meta().unresolved_imports = true;
      return {};
    }

    for (std::string& w : warnings) meta().warn(std::move(w));
    meta().skipped_axiom_count += skipped;
    const uint64_t live_before = target.axiom_count();
    if (auto r = merge_supplement_ontology(target, *imported, meta(), limits_.strict); !r) return r;
    const uint64_t live_after = target.axiom_count();
    if (live_after > live_before) meta().mapped_axiom_count += live_after - live_before;
    enqueue(header, path);
    return {};
  }

  LoadedDocument& root_;
  const LoadLimits& limits_;
  std::optional<std::string_view> base_;
  std::deque<PendingImport> queue_;
  absl::flat_hash_map<std::string, Visited> visited_;
  absl::flat_hash_set<std::string> loaded_iris_;
  uint32_t next_document_ = 1;
};

}  // namespace

Result<void> follow_owl_imports(LoadedDocument& root, const LoadLimits& limits, std::optional<std::string_view> base) {
  return ImportFollower(root, limits, base).run();
}

}  // namespace trelvanic_parser
