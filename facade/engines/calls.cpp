#include "facade/engines/calls.h"

namespace trelvanic_facade {

using trelvanic_core::Ontology;
using trelvanic_core::Reasoner;
using trelvanic_core::Taxonomy;

namespace {

Error el_missing() { return Error::engine_not_available(ErrorVariant::El, "EL"); }
Error rl_missing() { return Error::engine_not_available(ErrorVariant::Rl, "RL"); }
Error rdfs_missing() { return Error::engine_not_available(ErrorVariant::Rl, "RDFS"); }
Error dl_missing() { return Error::engine_not_available(ErrorVariant::Dl, "DL"); }
Error swrl_missing() { return Error::engine_not_available(ErrorVariant::Swrl, "SWRL"); }

}  // namespace

Result<Taxonomy> el_classify(const Ontology&) { return std::unexpected(el_missing()); }

Result<Taxonomy> el_classify_with_options(const Ontology&, bool) { return std::unexpected(el_missing()); }

Result<Taxonomy> el_classify_routed(Reasoner&) { return std::unexpected(el_missing()); }

Result<MaterializationReport> rl_saturate(Ontology&) { return std::unexpected(rl_missing()); }

Result<MaterializationReport> rl_saturate_routed(Reasoner&) { return std::unexpected(rl_missing()); }

Result<MaterializationReport> rdfs_materialize_routed(Reasoner&) { return std::unexpected(rdfs_missing()); }

Result<Taxonomy> dl_classify(const Ontology&, bool) { return std::unexpected(dl_missing()); }

Result<Taxonomy> dl_classify_bounded(uint64_t, Ontology, bool) { return std::unexpected(dl_missing()); }

Result<Taxonomy> swrl_classify(const Ontology&) { return std::unexpected(swrl_missing()); }

}  // namespace trelvanic_facade
