// JSON snapshots of a whole `Ontology`: the writer (format version 4) and
// the reader (format versions 2 to 4) with the limits applied to untrusted
// text, plus the conversions between told axioms and their snapshot form.
//
//   std::string text = *to_json(ontology);
//   Ontology copy = *from_json(text);                        // default limits
//   auto r = from_json_with_limits(text, OntologyLimits{...});
//
// Document: {"format_version", "entities", "axioms", "dl", "swrl_rules",
// "parse_meta"}; the last three only when they hold something. Entities are
// named by IRI inside "axioms" and by position (`EntityId`) inside "dl" and
// "swrl_rules"; class expressions and data ranges are named by position in
// the "dl" lists. The reader refuses every position that names nothing, and
// every expression operand that is not an earlier element of its list (the
// writer always writes operands first), so no dangling id and no cyclic
// expression reaches the engines.
//
// The ontology returned by the readers has no limits record: the limits
// govern the read only; callers that want later additions held to them
// install them with `Ontology::set_limits`.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/serialize_axiom.h"
#include "core/error.h"
#include "core/limits.h"
#include "core/ontology.h"

namespace trelvanic_core {

inline constexpr uint32_t kSnapshotFormatVersion = 4;
inline constexpr std::string_view kInferredOmittedWarning =
    "JSON export omits inferred axioms; round-trip will not preserve materialized axioms";

// Called once by `to_json` before anything is converted when the ontology
// holds live inferred axioms, which the snapshot leaves out.
using SnapshotWarningFn = std::function<void(std::string_view message, uint64_t inferred_axiom_count)>;

// The snapshot text (pretty layout, no final line break).
[[nodiscard]] Result<std::string> to_json(const Ontology& ontology, const SnapshotWarningFn& on_warning = {});
// Live axioms with the inferred mark (removed ones not counted).
[[nodiscard]] uint64_t live_inferred_axiom_count(const Ontology& ontology);

[[nodiscard]] Result<Ontology> from_json(std::string_view json);
[[nodiscard]] Result<Ontology> from_json_with_limits(std::string_view json, const OntologyLimits& limits);

}  // namespace trelvanic_core
