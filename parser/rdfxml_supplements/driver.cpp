// The RDF/XML supplement driver (declared in parser/supplement.h).
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>
#include <fmt/format.h>

#include "core/cancel.h"
#include "owl/functional_writer.h"
#include "parser/rdfxml_supplements/checks.h"
#include "parser/rdfxml_supplements/older_vocabulary.h"
#include "parser/supplement.h"
#include "rdf/owl_mapping.h"
#include "rdf/reader.h"

namespace trelvanic_parser {

namespace {

using trelvanic_core::Ontology;
using trelvanic_core::ParseMeta;

constexpr size_t kAxiomsPerSupplement = 500;
constexpr std::string_view kSupplementIri = "urn:trelvanic:supplement:older-vocabulary";

// The axioms (and all declarations) of the rewritten mapping, as
// functional-syntax lines.
struct Recovered {
  std::vector<std::string> declarations;
  std::vector<std::string> axioms;
};

Recovered recovered_axioms(const trelvanic_owl::Ontology& before, const trelvanic_owl::Ontology& after) {
  absl::flat_hash_set<std::string> known;
  known.reserve(before.component_count());
  for (const trelvanic_owl::Component& c : before.components()) known.insert(trelvanic_owl::write_component(before, c));
  Recovered out;
  for (const trelvanic_owl::Component& c : after.components()) {
    std::string line = trelvanic_owl::write_component(after, c);
    if (after.kind(c.node) == trelvanic_owl::Kind::Declaration) {
      out.declarations.push_back(std::move(line));
    } else if (!known.contains(line)) {
      out.axioms.push_back(std::move(line));
    }
  }
  return out;
}

uint64_t lost_axioms(const trelvanic_owl::Ontology& model) {
  uint64_t n = model.unnoted_lost_axioms();
  for (const auto& note : model.source_notes()) n += note.lost_axiom ? 1 : 0;
  return n;
}

// The load's warnings and skipped count as the rewritten graph's mapping
// gives them: the notes of the first mapping that the second does not repeat
// go, the second's new notes come, and the lost axioms are the second's.
void account_notes(ParseMeta& meta, const trelvanic_owl::Ontology& before, const trelvanic_owl::Ontology& after) {
  absl::flat_hash_map<std::string_view, int64_t> balance;  // > 0: only before; < 0: only after
  for (const auto& note : before.source_notes()) ++balance[note.text];
  for (const auto& note : after.source_notes()) --balance[note.text];
  std::vector<std::string> kept;
  kept.reserve(meta.warnings.size());
  for (std::string& w : meta.warnings) {
    auto it = balance.find(w);
    if (it != balance.end() && it->second > 0) {
      --it->second;
      continue;
    }
    kept.push_back(std::move(w));
  }
  meta.warnings = std::move(kept);
  for (const auto& note : after.source_notes()) {
    auto it = balance.find(note.text);
    if (it != balance.end() && it->second < 0) {
      ++it->second;
      meta.warn(note.text);
    }
  }
  const uint64_t gone = lost_axioms(before);
  meta.skipped_axiom_count = meta.skipped_axiom_count - std::min(gone, meta.skipped_axiom_count) + lost_axioms(after);
}

// The IRI a declaration line declares: "Declaration(Kind(<iri>))".
std::string_view declared_iri(std::string_view declaration) {
  const size_t open = declaration.find('<');
  const size_t close = declaration.rfind('>');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open) return {};
  return declaration.substr(open + 1, close - open - 1);
}

// A supplement of `axioms` with the declarations of the IRIs they name,
// which fix the kinds its reader needs.
std::string supplement_text(const Recovered& recovered, std::span<const std::string> axioms) {
  absl::flat_hash_set<std::string_view> named;
  for (const std::string& a : axioms) {
    if (auto iris = supplement_ofn_body_iris(a)) named.insert(iris->begin(), iris->end());
  }
  std::string text = fmt::format("Ontology(<{}>\n", kSupplementIri);
  for (const std::string& d : recovered.declarations) {
    if (named.contains(declared_iri(d))) fmt::format_to(std::back_inserter(text), "{}\n", d);
  }
  for (const std::string& a : axioms) fmt::format_to(std::back_inserter(text), "{}\n", a);
  text += ")";
  return text;
}

class Merger {
 public:
  Merger(Ontology& target, ParseMeta& meta, const LoadLimits& limits, uint32_t document)
      : target_(target), meta_(meta), limits_(limits), document_(document) {}

  // Parses and merges one supplement of `axioms`; in lenient mode a
  // supplement that fails is tried again one axiom at a time, and an axiom
  // that still fails is skipped with a warning.
  Result<void> merge(const Recovered& recovered, std::span<const std::string> axioms) {
    auto r = merge_text(supplement_text(recovered, axioms));
    if (r || limits_.strict) return r;
    if (axioms.size() == 1) {
      skip(r.error());
      return {};
    }
    for (size_t i = 0; i < axioms.size(); ++i) {
      if (auto one = merge(recovered, axioms.subspan(i, 1)); !one) return one;
    }
    return {};
  }

  void skip(const Error& error) {
    meta_.warn(fmt::format("{}; recovered axiom skipped", error.message()));
    ++meta_.skipped_axiom_count;
  }

 private:
  Result<void> merge_text(const std::string& text) {
    auto supplement = load_ofn_from_str_with_limits(text, limits_, document_);
    if (!supplement) return std::unexpected(std::move(supplement).error());
    const size_t told_before = target_.axiom_count();
    if (auto r = merge_supplement_ontology(target_, *supplement, meta_, limits_.strict); !r) return r;
    // Told axioms count by what the target gained (one it held already adds
    // nothing); axioms only the DL store holds count as the supplement's
    // mapping counted them.
    const size_t told_after = target_.axiom_count();
    meta_.mapped_axiom_count += told_after > told_before ? told_after - told_before : 0;
    if (const auto& own = supplement->parse_meta()) {
      const uint64_t told = supplement->axiom_count();
      meta_.mapped_axiom_count += own->mapped_axiom_count > told ? own->mapped_axiom_count - told : 0;
    }
    return {};
  }

  Ontology& target_;
  ParseMeta& meta_;
  const LoadLimits& limits_;
  uint32_t document_;
};

// Whether the mapping may have left out something the rewrite recovers:
// every older form but the negative assertions leaves a note on the triples
// it could not map, and those the mapping takes for reification and drops.
bool worth_reading_again(std::string_view text, const ParseMeta& meta) {
  for (std::string_view silent : {"NegativeObjectPropertyAssertion", "NegativeDataPropertyAssertion"}) {
    if (text.find(silent) != std::string_view::npos) return true;
  }
  return (meta.skipped_axiom_count > 0 || !meta.warnings.empty()) && may_hold_older_vocabulary(text);
}

}  // namespace

Result<void> supplement_rdf_dl_axioms(std::string_view text, Ontology& ontology, ParseMeta& meta,
                                      const LoadLimits& limits, bool /*ill_founded_list*/, uint32_t document) {
  // Ill-founded lists are reported by the mapping on the construct that uses
  // them; nothing is added for them here.
  if (!worth_reading_again(text, meta)) return {};
  const auto* cancel = trelvanic_core::current_cancel_flag();
  trelvanic_rdf::Graph graph;
  trelvanic_rdf::ReadOptions options;
  options.max_expanded_bytes = limits.max_expanded_bytes;
  options.cancel = cancel;
  if (auto read = trelvanic_rdf::read_rdf(text, trelvanic_rdf::RdfSyntax::RdfXml, graph, options); !read) {
    return std::unexpected(Error::parse(read.error().text()));
  }
  const VocabularyRewrite rewrite = find_older_vocabulary(graph);
  if (rewrite.statements == 0) return {};
  auto before = trelvanic_rdf::map_graph_to_owl(graph, cancel);
  if (!before) return std::unexpected(Error::parse(before.error().text()));
  trelvanic_rdf::Graph renamed = apply_vocabulary_rewrite(std::move(graph), rewrite);
  auto after = trelvanic_rdf::map_graph_to_owl(renamed, cancel);
  if (!after) return std::unexpected(Error::parse(after.error().text()));

  const Recovered recovered = recovered_axioms(before->ontology, after->ontology);
  account_notes(meta, before->ontology, after->ontology);

  Merger merger(ontology, meta, limits, document);
  std::vector<std::string> checked;
  uint64_t harvested = 0;
  for (const std::string& axiom : recovered.axioms) {
    if (++harvested > limits.max_harvested_assertions) {
      return std::unexpected(Error::parse(
          fmt::format("harvested assertion count {} exceeds limit of {}", harvested, limits.max_harvested_assertions)));
    }
    if (auto r = validate_supplement_ofn_body(axiom); !r) {
      if (limits.strict) return r;
      merger.skip(r.error());
      continue;
    }
    checked.push_back(axiom);
  }
  const std::span<const std::string> all(checked);
  for (size_t at = 0; at < all.size(); at += kAxiomsPerSupplement) {
    if (auto r = merger.merge(recovered, all.subspan(at, std::min(kAxiomsPerSupplement, all.size() - at))); !r) {
      return r;
    }
  }
  return {};
}

}  // namespace trelvanic_parser
