#include "facade/engines/hybrid.h"

#include <vector>

#include "facade/engines/calls.h"
#include "profile/hybrid.h"

namespace trelvanic_facade {

using trelvanic_core::Ontology;
using trelvanic_core::Taxonomy;
using trelvanic_profile::OwlProfile;

namespace {

Result<Taxonomy> classify_module(const Ontology& module, OwlProfile profile) {
  switch (profile) {
    case OwlProfile::El:
    case OwlProfile::Ql:
      return el_classify(module);
    case OwlProfile::Rl: {
      Ontology copy = module.clone();
      auto saturated = rl_saturate(copy);
      if (!saturated) return std::unexpected(std::move(saturated.error()));
      return el_classify(copy);
    }
    case OwlProfile::Dl:
      return dl_classify(module, /*preview=*/false);
  }
  return std::unexpected(Error::el_message("unknown module profile"));
}

}  // namespace

Result<Taxonomy> classify_hybrid_modules(const Ontology& ontology) {
  auto report = trelvanic_profile::classify_hybrid(ontology);
  if (!report) return std::unexpected(Error::el_profile(report.error()));
  if (report->modules.size() < 2) return dl_classify(ontology, /*preview=*/false);

  std::vector<Taxonomy> taxonomies;
  taxonomies.reserve(report->modules.size());
  for (const trelvanic_profile::ClassifiedModule& module : report->modules) {
    auto sub = trelvanic_profile::subontology_with_axioms(ontology, module.axioms, module.include_dl_store);
    if (!sub) return std::unexpected(Error::el_profile(sub.error()));
    auto taxonomy = classify_module(*sub, module.profile);
    if (!taxonomy) return std::unexpected(std::move(taxonomy.error()));
    taxonomies.push_back(std::move(*taxonomy));
  }
  return trelvanic_profile::merge_taxonomies(std::move(taxonomies));
}

}  // namespace trelvanic_facade
