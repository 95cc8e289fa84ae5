#include "dl/engine.h"

#include "core/dl.h"
#include "core/dl_expr.h"
#include "dl/bounded.h"
#include "dl/classify.h"
#include "dl/consistency.h"

namespace trelvanic_dl {

using trelvanic_core::ClassExpr;
using trelvanic_core::ConsistencyResult;
using trelvanic_core::Ontology;

namespace {

Error incomplete_answer() { return Error::core(trelvanic_core::Error::consistency_incomplete()); }

}  // namespace

Result<ConsistencyResult> check_consistency(const Ontology& ontology, std::optional<uint64_t> budget_secs) {
  auto budget = bounded::resolve_budget_secs(budget_secs);
  if (!budget) return std::unexpected(std::move(budget.error()));
  if (!*budget) return check_consistency_inner(ontology);
  return bounded::run_bounded(*budget, [work = ontology.clone()] { return check_consistency_inner(work); });
}

Result<bool> is_consistent(const Ontology& ontology) {
  auto result = check_consistency(ontology, std::nullopt);
  if (!result) return std::unexpected(std::move(result.error()));
  if (!result->complete) return std::unexpected(incomplete_answer());
  return result->consistent;
}

Result<bool> entails_class_assertion(const Ontology& ontology, trelvanic_core::EntityId individual,
                                     trelvanic_core::CeId cls) {
  Ontology probe = ontology.clone();
  trelvanic_core::DlStore& dl = probe.dl_mut();
  if (!dl.has_ce(cls)) return false;
  auto expr = dl.ce(cls);
  const trelvanic_core::CeId complement =
      expr.kind == trelvanic_core::CeKind::Not ? expr.operand() : dl.intern_ce(ClassExpr::complement_of(cls));
  dl.push_axiom(trelvanic_core::DlAxiom::class_assertion(individual, complement));
  auto result = check_consistency(probe, std::nullopt);
  if (!result) return std::unexpected(std::move(result.error()));
  if (!result->complete) return std::unexpected(incomplete_answer());
  return !result->consistent;
}

Result<trelvanic_core::Taxonomy> classify(const Ontology& ontology) {
  return DlClassifier{.preview = false}.classify(ontology);
}

}  // namespace trelvanic_dl
