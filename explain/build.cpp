#include "explain/build.h"

#include <fmt/format.h>

namespace trelvanic_explain::build {

using trelvanic_core::AxiomId;
using trelvanic_core::AxiomKind;
using trelvanic_core::AxiomView;
using trelvanic_core::EntityId;
using trelvanic_core::TraceConclusion;
using trelvanic_core::TraceKind;

namespace {

Error missing(std::string text) { return Error::core(trelvanic_core::Error::message_text(std::move(text))); }

EntityId entity(uint32_t id) { return EntityId(id); }

}  // namespace

uint32_t ProofGraphBuilder::push(ProofNode node) {
  nodes_.push_back(std::move(node));
  return static_cast<uint32_t>(nodes_.size() - 1);
}

void ProofGraphBuilder::map_conclusion(const TraceConclusion& c, uint32_t index) {
  switch (c.kind) {
    case TraceKind::Axiom:
      by_axiom_[c.ids[0]] = index;
      return;
    case TraceKind::Sub:
      by_sub_[{c.ids[0], c.ids[1]}] = index;
      return;
    case TraceKind::Existential:
      by_existential_[{c.ids[0], c.ids[1], c.ids[2]}] = index;
      return;
    case TraceKind::SubProperty:
      by_subproperty_[{c.ids[0], c.ids[1]}] = index;
      return;
  }
}

void ProofGraphBuilder::add_told_axioms() {
  const auto& store = ontology_.axioms();
  auto told = [&](TraceConclusion c, ProofNode node) {
    const bool known = c.kind == TraceKind::Sub            ? by_sub_.contains({c.ids[0], c.ids[1]})
                       : c.kind == TraceKind::SubProperty  ? by_subproperty_.contains({c.ids[0], c.ids[1]})
                                                           : by_existential_.contains({c.ids[0], c.ids[1], c.ids[2]});
    if (!known) map_conclusion(c, push(std::move(node)));
  };
  store.for_each_live([&](AxiomId id, const AxiomView& axiom) {
    if (store.is_inferred(id)) return;  // materialised, not told
    if (!by_axiom_.contains(id.value)) {
      map_conclusion(TraceConclusion::axiom(id.value), push(ProofNode{kAsserted, {}, id, {}, {}, {}}));
    }
    const EntityId a = axiom.id(0), b = axiom.id(1), c = axiom.id(2);
    switch (axiom.kind()) {
      case AxiomKind::SubClassOf:
        told(TraceConclusion::sub(a.value, b.value), ProofNode{kAsserted, {}, {}, {}, EntityPair{a, b}, {}});
        break;
      case AxiomKind::SubObjectPropertyOf:
        told(TraceConclusion::sub_property(a.value, b.value), ProofNode{kAsserted, {}, {}, {}, {}, EntityPair{a, b}});
        break;
      case AxiomKind::SubClassOfExistential:
        told(TraceConclusion::existential(a.value, b.value, c.value),
             ProofNode{kAsserted, {}, {}, EntityTriple{a, b, c}, {}, {}});
        break;
      default:
        break;
    }
  });
}

Result<uint32_t> ProofGraphBuilder::resolve_premise(const TraceConclusion& p) const {
  switch (p.kind) {
    case TraceKind::Axiom: {
      if (auto found = ontology_.axiom(AxiomId(p.ids[0])); !found) return std::unexpected(Error::core(found.error()));
      if (auto it = by_axiom_.find(p.ids[0]); it != by_axiom_.end()) return it->second;
      return std::unexpected(missing(fmt::format("missing justification for axiom {}", p.ids[0])));
    }
    case TraceKind::Sub:
      if (auto it = by_sub_.find({p.ids[0], p.ids[1]}); it != by_sub_.end()) return it->second;
      return std::unexpected(
          missing(fmt::format("missing justification for subsumption {} \u2291 {}", p.ids[0], p.ids[1])));
    case TraceKind::Existential:
      if (auto it = by_existential_.find({p.ids[0], p.ids[1], p.ids[2]}); it != by_existential_.end()) {
        return it->second;
      }
      return std::unexpected(missing(
          fmt::format("missing justification for existential ({}, {}, {})", p.ids[0], p.ids[1], p.ids[2])));
    case TraceKind::SubProperty:
      if (auto it = by_subproperty_.find({p.ids[0], p.ids[1]}); it != by_subproperty_.end()) return it->second;
      return std::unexpected(
          missing(fmt::format("missing justification for subproperty {} \u2291 {}", p.ids[0], p.ids[1])));
  }
  return std::unexpected(missing("unknown premise kind"));
}

Result<void> ProofGraphBuilder::add_step(const trelvanic_core::TraceStepView& step) {
  ProofNode node;
  node.rule = step.rule;
  node.premises.reserve(step.premises.size());
  for (const TraceConclusion& p : step.premises) {
    auto index = resolve_premise(p);
    if (!index) return std::unexpected(std::move(index.error()));
    node.premises.push_back(*index);
  }
  const TraceConclusion& c = step.conclusion;
  switch (c.kind) {
    case TraceKind::Axiom:
      if (auto found = ontology_.axiom(AxiomId(c.ids[0])); !found) return std::unexpected(Error::core(found.error()));
      node.conclusion_axiom = AxiomId(c.ids[0]);
      break;
    case TraceKind::Sub:
      node.conclusion_sub = EntityPair{entity(c.ids[0]), entity(c.ids[1])};
      break;
    case TraceKind::Existential:
      node.conclusion_existential = EntityTriple{entity(c.ids[0]), entity(c.ids[1]), entity(c.ids[2])};
      break;
    case TraceKind::SubProperty:
      node.conclusion_subproperty = EntityPair{entity(c.ids[0]), entity(c.ids[1])};
      break;
  }
  // Later premises refer to the newest node that concluded a fact.
  map_conclusion(c, push(std::move(node)));
  return {};
}

Result<ProofGraph> build_proof_graph(const trelvanic_core::Ontology& ontology,
                                     const trelvanic_core::InferenceTrace& trace) {
  ProofGraphBuilder builder(ontology);
  builder.add_told_axioms();
  for (size_t i = 0; i < trace.size(); ++i) {
    if (auto added = builder.add_step(trace.step(i)); !added) return std::unexpected(std::move(added.error()));
  }
  if (auto acyclic = validate_proof_acyclic(builder.nodes()); !acyclic) {
    return std::unexpected(std::move(acyclic.error()));
  }
  return std::move(builder).finish();
}

namespace {

enum class Mark : uint8_t { Unseen, OnPath, Finished };

// The depth-first walk from `start`: true when it meets a node already on
// its path. Frames are (node, next premise position).
bool dfs_acyclic(const std::vector<ProofNode>& nodes, uint32_t start, std::vector<Mark>& marks) {
  std::vector<std::pair<uint32_t, uint32_t>> stack{{start, 0}};
  marks[start] = Mark::OnPath;
  while (!stack.empty()) {
    auto& [node, next] = stack.back();
    const auto& premises = nodes[node].premises;
    if (next == premises.size()) {
      marks[node] = Mark::Finished;
      stack.pop_back();
      continue;
    }
    const uint32_t p = premises[next++];
    if (p >= nodes.size()) continue;  // no node to walk into
    if (marks[p] == Mark::OnPath) return true;
    if (marks[p] == Mark::Unseen) {
      marks[p] = Mark::OnPath;
      stack.emplace_back(p, 0);
    }
  }
  return false;
}

}  // namespace

Result<void> validate_proof_acyclic(const std::vector<ProofNode>& nodes) {
  std::vector<Mark> marks(nodes.size(), Mark::Unseen);
  for (uint32_t i = 0; i < nodes.size(); ++i) {
    if (marks[i] == Mark::Finished) continue;
    if (dfs_acyclic(nodes, i, marks)) return std::unexpected(missing("proof graph contains a cycle"));
  }
  return {};
}

}  // namespace trelvanic_explain::build
