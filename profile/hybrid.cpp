#include "profile/hybrid.h"

#include <algorithm>

#include <absl/container/flat_hash_set.h>

#include "profile/scanner.h"

namespace trelvanic_profile {

using trelvanic_core::AxiomId;
using trelvanic_core::AxiomKind;
using trelvanic_core::CeKind;
using trelvanic_core::DlStore;
using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_core::Ontology;

// --- The split ---------------------------------------------------------------

namespace {

constexpr std::string_view kNoModules = "hybrid classification produced no modules for a non-empty ontology";

bool is_el_module_form(AxiomKind k) {
  return k == AxiomKind::SubClassOf || k == AxiomKind::EquivalentClasses || k == AxiomKind::SubClassOfExistential;
}

// Whether the EL engine reasons with every DL axiom: no construct outside
// its list (which excludes everything EL classification refuses) and no
// negative assertion.
bool el_engine_takes_dl_store(const DlStore& dl) {
  CeConstructMemo memo(dl);
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    const auto a = dl.axiom(i);
    if (!trelvanic_el::engine_takes_form(a.kind)) return false;
    if (!rules::el::el_engine_accepts(dl_axiom_construct_mask(memo, a))) return false;
  }
  return true;
}

// The named classes reachable from the DL axioms' class expressions (each
// expression visited once, explicit stack).
absl::flat_hash_set<EntityId> dl_store_classes(const DlStore& dl) {
  absl::flat_hash_set<EntityId> out;
  absl::flat_hash_set<uint32_t> seen;
  std::vector<uint32_t> stack;
  auto push = [&](trelvanic_core::CeId id) {
    if (dl.has_ce(id) && seen.insert(id.value).second) stack.push_back(id.value);
  };
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    const auto a = dl.axiom(i);
    const auto specs = trelvanic_core::dl_axiom_fields(a.kind);
    for (size_t f = 0; f < specs.size(); ++f) {
      if (specs[f].type == trelvanic_core::FieldType::Ce) push(trelvanic_core::CeId(a.slot[specs[f].slot]));
      if (specs[f].type == trelvanic_core::FieldType::ListCe) {
        for (uint32_t v : trelvanic_core::list_field(a, specs, f)) push(trelvanic_core::CeId(v));
      }
    }
  }
  while (!stack.empty()) {
    const auto e = dl.ce(trelvanic_core::CeId(stack.back()));
    stack.pop_back();
    if (e.kind == CeKind::Atomic) out.insert(e.entity());  // kinds are filtered by sorted_iris
    if (e.kind == CeKind::Not) push(e.operand());
    if (e.kind == CeKind::And || e.kind == CeKind::Or) {
      for (auto op : e.operands()) push(op);
    }
    // A cardinality's filler can name classes too.
    if (e.kind == CeKind::Some || e.kind == CeKind::All || e.kind == CeKind::MinCardinality ||
        e.kind == CeKind::MaxCardinality || e.kind == CeKind::ExactCardinality) {
      if (auto f = e.filler()) push(*f);
    }
  }
  return out;
}

bool is_plain_class(const Ontology& o, EntityId e) {
  return o.entities().contains(e) && o.entities().kind(e) == EntityKind::Class;
}

// The IRIs of the plain classes among `classes`, sorted bytewise.
std::vector<std::string> sorted_iris(const Ontology& o, const absl::flat_hash_set<EntityId>& classes) {
  std::vector<std::string_view> texts;
  texts.reserve(classes.size());
  for (EntityId e : classes) {
    if (!is_plain_class(o, e)) continue;
    if (auto iri = o.entity_iri(e)) texts.push_back(*iri);
  }
  std::sort(texts.begin(), texts.end());
  texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
  return {texts.begin(), texts.end()};
}

// The plain classes the axioms mention (ids that cannot be fetched skipped).
absl::flat_hash_set<EntityId> axiom_classes(const Ontology& o, std::span<const AxiomId> ids) {
  absl::flat_hash_set<EntityId> classes;
  for (AxiomId id : ids) {
    auto axiom = o.axiom(id);
    if (!axiom) continue;
    trelvanic_core::for_each_axiom_entity(*axiom, [&](EntityId e) {
      if (is_plain_class(o, e)) classes.insert(e);
    });
  }
  return classes;
}

}  // namespace

AxiomPartition partition_axioms(const Ontology& ontology) {
  AxiomPartition out;
  ontology.axioms().for_each_live([&](AxiomId id, const trelvanic_core::AxiomView& a) {
    const bool refused = (axiom_construct_mask(a) & rules::el_refused_mask()) != 0;
    (refused ? out.dl : out.el).push_back(id);
  });
  return out;
}

std::vector<std::string> signature_for_axioms(const Ontology& ontology, std::span<const AxiomId> ids) {
  return sorted_iris(ontology, axiom_classes(ontology, ids));
}

std::expected<HybridReport, Error> classify_hybrid(const Ontology& ontology) {
  std::vector<AxiomId> el_list, rl_list;
  for (AxiomId id : partition_axioms(ontology).el) {
    auto axiom = ontology.axiom(id);
    if (!axiom) continue;
    (is_el_module_form(axiom->kind()) ? el_list : rl_list).push_back(id);
  }
  const DlStore& dl = ontology.dl();
  const bool el_takes_dl = dl.axiom_count() > 0 && ontology.swrl_rules().empty() && el_engine_takes_dl_store(dl);
  const bool needs_dl_module = (dl.axiom_count() > 0 && !el_takes_dl) || !ontology.swrl_rules().empty();

  HybridReport report;
  if (!el_list.empty() || el_takes_dl) {
    auto classes = axiom_classes(ontology, el_list);
    if (el_takes_dl) classes.merge(dl_store_classes(dl));
    report.modules.push_back({sorted_iris(ontology, classes), std::move(el_list), el_takes_dl, OwlProfile::El});
  }
  if (!rl_list.empty()) {
    auto signature = signature_for_axioms(ontology, rl_list);
    report.modules.push_back({std::move(signature), std::move(rl_list), false, OwlProfile::Rl});
  }
  if (needs_dl_module) {
    ClassifiedModule m{{}, {}, true, OwlProfile::Dl};
    const auto records = ontology.entities().records();
    for (uint32_t i = 0; i < records.size(); ++i) {
      if (records[i].kind != EntityKind::Class) continue;
      auto iri = ontology.resolve_iri(records[i].iri);
      if (iri) m.signature.emplace_back(*iri);
    }
    report.modules.push_back(std::move(m));
  }
  if (report.modules.empty()) {
    if (ontology.entity_count() != 0) return std::unexpected(Error(std::string(kNoModules)));
    report.modules.push_back({{}, {}, false, OwlProfile::El});
  }
  return report;
}

}  // namespace trelvanic_profile
