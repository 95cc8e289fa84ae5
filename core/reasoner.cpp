#include "core/reasoner.h"

#include <fmt/format.h>

namespace trelvanic_core {

Result<Reasoner> ReasonerBuilder::build(Ontology ontology) const {
  if (parallelism == 0 || parallelism > kMaxParallelism) {
    return std::unexpected(Error::message_text(
        fmt::format("parallelism must be in 1..={}, got {}", kMaxParallelism, parallelism)));
  }
  return Reasoner(*this, std::move(ontology));
}

void Reasoner::clear_session() {
  if (session_) {
    session_->clear();
    session_.reset();
  }
}

void Reasoner::set_cached_taxonomy(Taxonomy taxonomy) {
  cache_ = std::move(taxonomy);
  cache_revision_ = ontology_.revision();
}

void Reasoner::invalidate_stale_classify_cache() {
  const OntologyRevision& now = ontology_.revision();
  if (now.overflowed) {
    cache_.reset();
    return;
  }
  if (cache_ && (cache_revision_.counter != now.counter || cache_revision_.overflowed)) {
    cache_.reset();
  }
}

}  // namespace trelvanic_core
