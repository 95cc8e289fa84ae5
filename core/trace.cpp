#include "core/trace.h"

namespace trelvanic_core {

bool operator==(const TraceConclusion& a, const TraceConclusion& b) {
  if (a.kind != b.kind) return false;
  switch (a.kind) {
    case TraceKind::Axiom:
      return a.ids[0] == b.ids[0];
    case TraceKind::Sub:
    case TraceKind::SubProperty:
      return a.ids[0] == b.ids[0] && a.ids[1] == b.ids[1];
    case TraceKind::Existential:
      return a.ids[0] == b.ids[0] && a.ids[1] == b.ids[1] && a.ids[2] == b.ids[2];
  }
  return false;
}

void InferenceTrace::push(std::string_view rule, std::span<const TraceConclusion> premises,
                          TraceConclusion conclusion) {
  steps_.push_back({rule, static_cast<uint32_t>(premises_.size()),
                    static_cast<uint32_t>(premises.size()), conclusion});
  premises_.insert(premises_.end(), premises.begin(), premises.end());
}

TraceStepView InferenceTrace::step(size_t i) const {
  const Step& s = steps_[i];
  return {s.rule, std::span<const TraceConclusion>(premises_).subspan(s.first_premise, s.premise_count),
          s.conclusion};
}

void InferenceTrace::clear() {
  steps_.clear();
  premises_.clear();
}

}  // namespace trelvanic_core
