// Conversions between the module's Python values and core values.
//
//   parse_profile(name)           profile name (any ASCII letter case) to a
//                                 `Profile`; absent means "auto"
//   py_err(text)                  RuntimeError with the text
//   json_to_pydict(text)          a dict through Python's `json.loads`
//   taxonomy_classify_dict(o, t)  the classification dictionary of a
//                                 taxonomy over the ontology's IRIs
//   rl_classify_dict / rdfs_classify_dict   the same for a report
//   parse_meta_dict(summary)      the parse-metadata dictionary, keys in
//                                 the order warnings, mapped_axiom_count,
//                                 skipped_axiom_count, logical_axiom_count
//
// Result records reach Python only as JSON text read by `json.loads`, so
// every classification dictionary has its keys sorted at every level and
// optional members are absent, never None. All of these need the
// interpreter lock except `parse_profile` and `py_err`.
#pragma once

#include <Python.h>

#include <optional>
#include <string>
#include <string_view>

#include "binding/error.h"
#include "binding/ref.h"
#include "core/ontology.h"
#include "core/parse_meta.h"
#include "core/session.h"
#include "core/taxonomy.h"
#include "explain/build.h"
#include "facade/outcome.h"

namespace _trelvanic::convert {

// The profile names' message lists neither "swrl" nor "alc", though both
// are accepted.
inline constexpr const char* kUnsupportedProfile = "unsupported profile {}; use auto, rdfs, rl, el, dl, or dl-preview";

[[nodiscard]] trelvanic_binding::Result<trelvanic_core::Profile> parse_profile(
    const std::optional<std::string>& name);

// `text` in double quotes with `"` and `\` escaped, tab, carriage return,
// line feed and NUL as \t \r \n \0, other control characters as \u{hex}.
[[nodiscard]] std::string quoted(std::string_view text);

[[nodiscard]] trelvanic_binding::Error py_err(std::string text);

[[nodiscard]] trelvanic_binding::Result<trelvanic_binding::Ref> json_to_pydict(std::string_view text);

[[nodiscard]] trelvanic_binding::Result<trelvanic_binding::Ref> taxonomy_classify_dict(
    const trelvanic_core::Ontology& working, const trelvanic_core::Taxonomy& taxonomy);
[[nodiscard]] trelvanic_binding::Result<trelvanic_binding::Ref> rl_classify_dict(
    const trelvanic_core::Ontology& working, const trelvanic_facade::MaterializationReport& report);
[[nodiscard]] trelvanic_binding::Result<trelvanic_binding::Ref> rdfs_classify_dict(
    const trelvanic_core::Ontology& working, const trelvanic_facade::MaterializationReport& report);

[[nodiscard]] trelvanic_binding::Result<trelvanic_binding::Ref> parse_meta_dict(
    const trelvanic_core::ParseMetaSummary& summary);

// The IRI text of a registered entity; RuntimeError with the core error's
// text otherwise.
[[nodiscard]] trelvanic_binding::Result<std::string> entity_iri(const trelvanic_core::Ontology& ontology,
                                                                 trelvanic_core::EntityId id);
// The explanation dictionary: "node_count", "nodes" (a dict per node: "rule",
// "premises" and the one conclusion key the node holds, IRIs as str) and,
// with parse metadata, "parse_meta". Built directly, keys in that order.
[[nodiscard]] trelvanic_binding::Result<trelvanic_binding::Ref> proof_graph_dict(
    const trelvanic_core::Ontology& working, const trelvanic_explain::ProofGraph& graph,
    const std::optional<trelvanic_core::ParseMetaSummary>& summary);

}  // namespace _trelvanic::convert
