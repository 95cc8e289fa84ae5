// The datatype stage of the consistency check: contradictions that the data
// facts of an ontology prove by their values alone.
//
//   - a data property assertion whose literal is not a lexical form of its
//     (known) datatype;
//   - a value outside a (known) datatype range of the property or of one of
//     its super-properties;
//   - two distinct values of a functional data property on one individual;
//   - a negative assertion of a value the individual has;
//   - one value shared by two disjoint data properties on one individual.
// Values are compared by the OWL 2 datatype map; where a value or range is
// unknown nothing is concluded from it.
#pragma once

#include "core/ontology.h"

namespace trelvanic_dl::datatype {

// False when the data facts prove the ontology inconsistent.
[[nodiscard]] bool is_datatype_consistent(const trelvanic_core::Ontology& ontology);

}  // namespace trelvanic_dl::datatype
