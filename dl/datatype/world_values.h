// The data oracle of the tableau: whether the data concepts of one world
// can be given values.
//
//   dl.set_data_oracle(&trelvanic_dl::datatype::decide_world_values);
//
// The world needs one value for each ∃p.R and n pairwise distinct values
// for each ≥n p.R (the successors); a value of p is a value of every
// property above p, lies in the ∀ ranges and told ranges of those
// properties, and differs from every value of a property disjoint with one
// of them. ≤n q.F bounds the values of q in F; a functional property is
// ≤1. Successors that are not required distinct may share a value, which
// is how maxima are met.
//
// Satisfiable is answered only when every value is proven to exist (a count
// of the range that is large enough, or a witness value), Unsatisfiable only
// when every way of sharing values meets a proven empty range, a proven
// short count or a broken maximum. Anything else (an unknown count, too
// many successors to share out) is Unknown.
#pragma once

#include <span>
#include <utility>
#include <vector>

#include "alc/datatype_oracle.h"
#include "core/ontology.h"
#include "dl/datatype/literal.h"
#include "dl/datatype/literal_index.h"

namespace trelvanic_dl::datatype {

[[nodiscard]] trelvanic_alc::DataAnswer decide_world_values(const trelvanic_core::Ontology& ontology,
                                                            const trelvanic_alc::DataTables& tables,
                                                            std::span<const trelvanic_alc::DataConstraint> world);

// Values known by their literals only (told data property assertions):
// the individual has, or does not have, this value of the property.
struct LiteralFacts {
  std::vector<std::pair<trelvanic_core::EntityId, LiteralValue>> values;
  std::vector<std::pair<trelvanic_core::EntityId, LiteralValue>> excluded;
};

// The same decision for one named individual, with its told values beside
// its data concepts.
[[nodiscard]] trelvanic_alc::DataAnswer decide_individual_values(const trelvanic_core::Ontology& ontology,
                                                                 const StoreRanges& stored,
                                                                 const trelvanic_alc::DataTables& tables,
                                                                 std::span<const trelvanic_alc::DataConstraint> world,
                                                                 const LiteralFacts& facts);

}  // namespace trelvanic_dl::datatype
