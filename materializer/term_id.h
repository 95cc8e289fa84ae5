// Dense 32-bit term ids and integer-coded triples: the RDF layer's own
// (rdf/term_id.h), so that the readers, the triple export and the rule
// engine speak of terms in one currency.
//
// A `TermId` names one interned RDF term of a `Dictionary`; 0 is reserved
// for "no term". A `Triple` is three ids: subject, predicate, object.
#pragma once

#include "rdf/term_id.h"

namespace trelvanic_materializer {

using TermId = trelvanic_rdf::TermId;
using Triple = trelvanic_rdf::TripleIds;

}  // namespace trelvanic_materializer
