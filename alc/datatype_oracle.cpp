// The tableau's side of data restrictions: the domain rule of a data
// concept and the sweep that hands each world's data concepts to the
// oracle once the rest of the branch is open.
#include "alc/datatype_oracle.h"

#include <vector>

#include "alc/expand.h"

namespace trelvanic_alc {

//   ∃p.R ∈ L(w) or ≥n p.R ∈ L(w),   p ⊑* q,   Domain(q, C)
//   ─────────────────────────────────────────────────────── (fields: DataConstraint::property, DataTables::domains)
//   C ∈ L(w)
void Expander::rule_data(uint32_t w, uint32_t, const Node& n, uint32_t dep) {
  const DataConstraint& dc = dl_.data_constraint(n);
  if (!dc.needs_value()) return;
  for (uint32_t c : dl_.data_tables().domains_of(dc.property)) add(w, c, dep);
}

// Every live world's data concepts go to the oracle (a blocked world's too:
// a clash there is a clash of the branch). A world that asks for no value
// is satisfied by having none. A clash rests on the data entries of its
// world; an undecided world gives the branch up.
Step Expander::sweep_data() {
  const DataTables& tables = dl_.data_tables();
  if (tables.concepts.empty()) return Step::Open;
  std::vector<uint32_t> key;
  std::vector<DataConstraint> world;
  for (const World& x : b_.worlds) {
    if (!x.alive) continue;
    key.clear();
    world.clear();
    uint32_t dep = 0;
    bool needs_value = false;
    for (const LabelEntry& le : x.label) {
      const Node& n = dl_.node(le.ce);
      if (n.kind != NodeKind::Data) continue;
      key.push_back(le.ce);
      world.push_back(dl_.data_constraint(n));
      needs_value = needs_value || world.back().needs_value();
      dep = deps_.join(dep, le.dep);
    }
    if (!needs_value) continue;
    DataAnswer answer = DataAnswer::Unknown;
    if (auto it = tables.answers.find(key); it != tables.answers.end()) {
      answer = it->second;
    } else if (dl_.data_oracle() != nullptr) {
      answer = dl_.data_oracle()(dl_.ontology(), tables, world);
      tables.answers.emplace(key, answer);
    }
    switch (answer) {
      case DataAnswer::Satisfiable: break;
      case DataAnswer::Unsatisfiable: clash(dep); return Step::Clash;
      case DataAnswer::Unknown: give_up(); return Step::Clash;
    }
  }
  return Step::Open;
}

}  // namespace trelvanic_alc
