#include "facade/classify.h"

#include "facade/engines/dispatch.h"
#include "profile/routing.h"

namespace trelvanic_facade {

Result<ClassifyOutcome> classify(trelvanic_core::Reasoner& reasoner) {
  reasoner.invalidate_stale_classify_cache();
  auto route = trelvanic_profile::resolve_route(reasoner.profile(), reasoner.ontology());
  if (!route) return std::unexpected(Error::el_profile(route.error()));
  auto outcome = dispatch_classify(*route, reasoner);
  if (!outcome) return outcome;
  if (const auto* taxonomy = std::get_if<trelvanic_core::Taxonomy>(&*outcome)) {
    reasoner.set_cached_taxonomy(*taxonomy);
  } else {
    reasoner.invalidate_classify_cache();
  }
  return outcome;
}

}  // namespace trelvanic_facade
