#include "facade/engines/calls.h"

#include <type_traits>

#include "el/reasoner.h"

namespace trelvanic_facade {

using trelvanic_core::Ontology;
using trelvanic_core::Reasoner;
using trelvanic_core::Taxonomy;

namespace {

template <class T>
Result<Taxonomy> el_taxonomy(std::expected<T, trelvanic_el::Error> result) {
  if (!result) return std::unexpected(Error::el(std::move(result.error())));
  if constexpr (std::is_same_v<T, Taxonomy>) {
    return std::move(*result);
  } else {
    return std::move(result->taxonomy);  // the trace is not wanted here
  }
}

Error rl_missing() { return Error::engine_not_available(ErrorVariant::Rl, "RL"); }
Error rdfs_missing() { return Error::engine_not_available(ErrorVariant::Rl, "RDFS"); }
Error dl_missing() { return Error::engine_not_available(ErrorVariant::Dl, "DL"); }
Error swrl_missing() { return Error::engine_not_available(ErrorVariant::Swrl, "SWRL"); }

}  // namespace

Result<Taxonomy> el_classify(const Ontology& ontology) {
  return el_taxonomy(trelvanic_el::ElClassifier::classify(ontology));
}

Result<Taxonomy> el_classify_with_options(const Ontology& ontology, bool trace) {
  return el_taxonomy(trelvanic_el::ElClassifier::classify_with_options(ontology, trace));
}

Result<Taxonomy> el_classify_routed(Reasoner& reasoner) {
  return el_taxonomy(trelvanic_el::classify_routed(reasoner));
}

Result<MaterializationReport> rl_saturate(Ontology&) { return std::unexpected(rl_missing()); }

Result<MaterializationReport> rl_saturate_routed(Reasoner&) { return std::unexpected(rl_missing()); }

Result<MaterializationReport> rdfs_materialize_routed(Reasoner&) { return std::unexpected(rdfs_missing()); }

Result<Taxonomy> dl_classify(const Ontology&, bool) { return std::unexpected(dl_missing()); }

Result<Taxonomy> dl_classify_bounded(uint64_t, Ontology, bool) { return std::unexpected(dl_missing()); }

Result<Taxonomy> swrl_classify(const Ontology&) { return std::unexpected(swrl_missing()); }

}  // namespace trelvanic_facade
