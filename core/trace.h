// `InferenceTrace`: the derivation steps an engine records when tracing is
// on, in the order they were made. Each step names its rule, lists the
// premise facts it used and the fact it derived.
//
// Facts are `TraceConclusion`s: a kind code and up to three ids (a told
// axiom by id, a class subsumption, an existential restriction or a
// sub-property pair). Premises of all steps live in one flat vector, so a
// trace of millions of steps costs a few words per step.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace trelvanic_core {

enum class TraceKind : uint32_t {
  Axiom = 0,        // ids[0]: AxiomId of a told axiom
  Sub = 1,          // ids[0] ⊑ ids[1]
  Existential = 2,  // ids[0] ⊑ ∃ ids[1] . ids[2]
  SubProperty = 3,  // ids[0] ⊑ ids[1] (object properties)
};

struct TraceConclusion {
  TraceKind kind = TraceKind::Axiom;
  uint32_t ids[3] = {0, 0, 0};

  static TraceConclusion axiom(uint32_t axiom) { return {TraceKind::Axiom, {axiom, 0, 0}}; }
  static TraceConclusion sub(uint32_t sub, uint32_t sup) { return {TraceKind::Sub, {sub, sup, 0}}; }
  static TraceConclusion existential(uint32_t sub, uint32_t role, uint32_t filler) {
    return {TraceKind::Existential, {sub, role, filler}};
  }
  static TraceConclusion sub_property(uint32_t sub, uint32_t sup) {
    return {TraceKind::SubProperty, {sub, sup, 0}};
  }

  // Equal kinds and equal ids in the positions the kind uses.
  friend bool operator==(const TraceConclusion& a, const TraceConclusion& b);
};

struct TraceStepView {
  std::string_view rule;
  std::span<const TraceConclusion> premises;
  TraceConclusion conclusion;
};

class InferenceTrace {
 public:
  // `rule` must outlive the trace (engines pass their static rule names).
  void push(std::string_view rule, std::span<const TraceConclusion> premises,
            TraceConclusion conclusion);

  [[nodiscard]] size_t size() const { return steps_.size(); }
  [[nodiscard]] bool empty() const { return steps_.empty(); }
  [[nodiscard]] TraceStepView step(size_t i) const;
  void clear();

 private:
  struct Step {
    std::string_view rule;
    uint32_t first_premise;
    uint32_t premise_count;
    TraceConclusion conclusion;
  };
  std::vector<Step> steps_;
  std::vector<TraceConclusion> premises_;
};

}  // namespace trelvanic_core
