#include "dl/assertion_stages.h"

#include <algorithm>

#include <absl/container/flat_hash_set.h>

#include "core/axiom.h"
#include "core/dl.h"
#include "core/dl_expr.h"

namespace trelvanic_dl {

using trelvanic_core::AxiomId;
using trelvanic_core::AxiomKind;
using trelvanic_core::AxiomView;
using trelvanic_core::CeId;
using trelvanic_core::CeKind;
using trelvanic_core::ClassExpr;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::DlStore;
using trelvanic_core::EntityId;
using trelvanic_core::Ontology;

namespace {

// Intersections one cascade run tests at most.
constexpr size_t kMaxIntersectionTests = 256;
// Above this many entities the per-assertion tests are left to the whole
// tableau.
constexpr size_t kAtomicPrecheckEntities = 150;

constexpr std::string_view kAtomicLimit = "atomic class unsatisfiability precheck resource limit";
constexpr std::string_view kCeLimit = "CE satisfiability resource limit";

// A tableau answer with an exhausted budget turned into `Incomplete`.
Result<bool> answer(trelvanic_alc::Result<bool> r, std::string_view limit_text) {
  if (r) return *r;
  if (r.error().kind == trelvanic_alc::ErrorKind::BudgetExhausted) {
    return std::unexpected(Error::incomplete(std::string(limit_text)));
  }
  return std::unexpected(Error::alc(std::move(r.error())));
}

// Tests each asserted type once: named classes (unless left to the whole
// tableau) and class expressions. Answers whether one is unsatisfiable.
class AssertedTypeTests {
 public:
  AssertedTypeTests(const Ontology& ontology, trelvanic_alc::Tableau& tableau)
      : ontology_(ontology), tableau_(tableau) {}

  Result<bool> any_unsatisfiable() {
    const DlStore& dl = ontology_.dl();
    for (size_t i = 0; i < dl.axiom_count(); ++i) {
      auto axiom = dl.axiom(i);
      if (axiom.kind != DlAxiomKind::ClassAssertion || !dl.has_ce(axiom.class_expr())) continue;
      auto e = dl.ce(axiom.class_expr());
      auto unsat = e.kind == CeKind::Atomic ? named_unsatisfiable(e.entity()) : expr_unsatisfiable(axiom.class_expr());
      if (!unsat || *unsat) return unsat;
    }
    std::vector<EntityId> told;
    ontology_.axioms().for_each_live([&](AxiomId, const AxiomView& axiom) {
      if (axiom.kind() == AxiomKind::ClassAssertion) told.push_back(axiom.id(1));
    });
    for (EntityId c : told) {
      auto unsat = named_unsatisfiable(c);
      if (!unsat || *unsat) return unsat;
    }
    return false;
  }

 private:
  Result<bool> named_unsatisfiable(EntityId c) {
    if (!tested_named_.insert(c.value).second || named_class_skip_atomic_unsat_precheck(ontology_, c)) return false;
    auto sat = answer(tableau_.is_class_satisfiable(c), kAtomicLimit);
    if (!sat) return std::unexpected(std::move(sat.error()));
    return !*sat;
  }
  Result<bool> expr_unsatisfiable(CeId x) {
    if (!tested_exprs_.insert(x.value).second) return false;
    auto sat = answer(tableau_.is_class_expression_satisfiable(x), kCeLimit);
    if (!sat) return std::unexpected(std::move(sat.error()));
    return !*sat;
  }

  const Ontology& ontology_;
  trelvanic_alc::Tableau& tableau_;
  absl::flat_hash_set<uint32_t> tested_named_, tested_exprs_;
};

}  // namespace

std::vector<std::pair<ClassRef, ClassRef>> exists_forall_candidates(const Ontology& ontology,
                                                                    const AboxFacts& facts) {
  const DlStore& dl = ontology.dl();
  std::vector<std::pair<ClassRef, ClassRef>> out;
  for (const auto& [a, types] : facts.types()) {
    std::vector<std::pair<DirectedRole, ClassRef>> some, all;
    for (CeId x : types.exprs) {
      auto e = dl.ce(x);
      const DirectedRole r{e.role().property, e.role().is_inverse()};
      const bool at_least_one = e.kind == CeKind::Some ||
                                ((e.kind == CeKind::MinCardinality || e.kind == CeKind::ExactCardinality) && e.n() >= 1);
      if (at_least_one && e.filler()) some.push_back({r, ClassRef{*e.filler(), {}}});
      if (e.kind == CeKind::All) all.push_back({r, ClassRef{e.filler(), {}}});
    }
    if (all.empty()) continue;
    for (auto [p, filler] : types.told_exists) some.push_back({{p, false}, ClassRef{std::nullopt, filler}});
    for (const auto& [r, d] : some) {
      auto above = facts.up(r);
      for (const auto& [s, e] : all) {
        if (s != r && std::find(above.begin(), above.end(), s) == above.end()) continue;
        std::pair<ClassRef, ClassRef> pair{d, e};
        if (std::find(out.begin(), out.end(), pair) != out.end()) continue;
        out.push_back(pair);
        if (out.size() >= kMaxIntersectionTests) return out;
      }
    }
  }
  return out;
}

std::vector<CeId> intern_intersections(Ontology& ontology, const std::vector<std::pair<ClassRef, ClassRef>>& pairs) {
  trelvanic_core::DlStore& dl = ontology.dl_mut();
  auto id = [&](const ClassRef& c) { return c.expr ? *c.expr : dl.intern_ce(ClassExpr::atomic(c.named)); };
  std::vector<CeId> out;
  out.reserve(pairs.size());
  for (const auto& [d, e] : pairs) {
    const CeId a = id(d), b = id(e);
    out.push_back(dl.intern_ce(ClassExpr::and_of({a, b})));
  }
  return out;
}

Result<uint8_t> abox_exists_forall_role_clash(trelvanic_alc::Tableau& tableau, const std::vector<CeId>& intersections) {
  for (CeId x : intersections) {
    auto sat = tableau.is_class_expression_satisfiable(x);
    if (!sat) {
      if (sat.error().kind == trelvanic_alc::ErrorKind::BudgetExhausted) return uint8_t{2};
      return std::unexpected(Error::alc(std::move(sat.error())));
    }
    if (!*sat) return uint8_t{1};
  }
  return uint8_t{0};
}

bool named_class_skip_atomic_unsat_precheck(const Ontology& ontology, EntityId cls) {
  const DlStore& dl = ontology.dl();
  auto self = dl.find_ce(ClassExpr::atomic(cls));
  if (!self) return false;
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    if (axiom.kind == DlAxiomKind::EquivalentClasses) {
      auto ops = axiom.classes();
      const bool names = std::find(ops.begin(), ops.end(), *self) != ops.end();
      if (names && std::any_of(ops.begin(), ops.end(), [&](CeId c) { return c != *self; })) return true;
    } else if (axiom.kind == DlAxiomKind::SubClassOf && axiom.sub() == *self) {
      if (!dl.has_ce(axiom.sup()) || dl.ce(axiom.sup()).kind != CeKind::Atomic) return true;
    }
  }
  return false;
}

Result<bool> abox_atomic_class_unsatisfiable(const Ontology& ontology, trelvanic_alc::Tableau& tableau) {
  if (ontology.entity_count() > kAtomicPrecheckEntities) return false;
  return AssertedTypeTests(ontology, tableau).any_unsatisfiable();
}

bool abox_has_interacting_assertions(const Ontology& ontology) {
  const DlStore& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    switch (dl.axiom(i).kind) {
      case DlAxiomKind::DataPropertyAssertion:
      case DlAxiomKind::ObjectPropertyAssertion:
      case DlAxiomKind::SameIndividual:
      case DlAxiomKind::DifferentIndividuals:
        return true;
      default:
        break;
    }
  }
  bool found = false;
  ontology.axioms().for_each_live([&](AxiomId, const AxiomView& axiom) {
    const AxiomKind k = axiom.kind();
    found = found || k == AxiomKind::ObjectPropertyAssertion || k == AxiomKind::SameIndividual ||
            k == AxiomKind::DifferentIndividuals;
  });
  return found;
}

Result<uint8_t> class_assertion_only_consistency(const Ontology& ontology, trelvanic_alc::Tableau& tableau) {
  const DlStore& dl = ontology.dl();
  bool any_assertion = false;
  for (size_t i = 0; i < dl.axiom_count() && !any_assertion; ++i)
    any_assertion = dl.axiom(i).kind == DlAxiomKind::ClassAssertion;
  if (!any_assertion || abox_has_interacting_assertions(ontology)) return uint8_t{2};
  auto unsat = AssertedTypeTests(ontology, tableau).any_unsatisfiable();
  if (!unsat) return std::unexpected(std::move(unsat.error()));
  return static_cast<uint8_t>(*unsat ? 0 : 2);
}

}  // namespace trelvanic_dl
