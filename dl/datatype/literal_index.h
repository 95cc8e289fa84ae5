// The data ranges and literals of an ontology's DL store, read as data
// values and data ranges of the datatype map.
//
//   StoreRanges ranges(ontology);               // the datatype definitions
//   DataRange r;
//   uint32_t at = ranges.convert(r, de);         // one node tree per range
//   satisfies(value, r, at);  count_values(r, at);
//
//   literal_satisfies(ontology, {"15", integer}, de);   // true / false / none
//
// Datatypes defined by a definition axiom are replaced by their definition
// (the later axiom wins when a datatype is defined twice); a definition that
// reaches itself, a facet chain or nesting past the caps, a missing id, an
// unknown datatype or facet, and a literal without a known value all become
// an unknown node, so they never count as empty. Shared sub-ranges are
// converted once.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <absl/container/flat_hash_map.h>

#include "core/ids.h"
#include "core/ontology.h"
#include "dl/datatype/count.h"
#include "dl/datatype/facets.h"
#include "dl/datatype/literal.h"

namespace trelvanic_dl::datatype {

class StoreRanges {
 public:
  explicit StoreRanges(const trelvanic_core::Ontology& ontology);

  // Adds the nodes of `de` to `out`; returns the node that stands for it.
  uint32_t convert(DataRange& out, trelvanic_core::DeId de) const;

 private:
  const trelvanic_core::Ontology& ontology_;
  absl::flat_hash_map<trelvanic_core::EntityId, trelvanic_core::DeId> definitions_;
};

// The literals of a DL store, in the order of its data expressions.
class LiteralIndex {
 public:
  [[nodiscard]] static LiteralIndex from_store(const trelvanic_core::DlStore& store);
  [[nodiscard]] const std::vector<LiteralValue>& literals() const { return literals_; }

 private:
  std::vector<LiteralValue> literals_;
};

// Whether the literal's data value lies in the range; none when its value or
// the range is not known.
[[nodiscard]] std::optional<bool> literal_satisfies(const trelvanic_core::Ontology& ontology,
                                                    const LiteralValue& literal, trelvanic_core::DeId range);

[[nodiscard]] ValueCount data_range_count(const trelvanic_core::Ontology& ontology, trelvanic_core::DeId range);

// The values that lie in every range and are none of the excluded literals'
// (no ranges: every value). Unknown when an excluded literal has no known
// value and the rest is finite.
[[nodiscard]] ValueCount values_in_all_ranges(const trelvanic_core::Ontology& ontology,
                                              const std::vector<trelvanic_core::DeId>& ranges,
                                              const std::vector<LiteralValue>& excluded);

// The range holds some value: true and false only when proven.
[[nodiscard]] std::optional<bool> data_range_has_value(const trelvanic_core::Ontology& ontology,
                                                       trelvanic_core::DeId range);

}  // namespace trelvanic_dl::datatype
