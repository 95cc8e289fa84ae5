#include "el/ontology_input.h"

#include <fmt/format.h>

#include <absl/container/flat_hash_map.h>

#include "core/axiom.h"
#include "core/dl.h"
#include "core/entity_kind.h"

namespace trelvanic_el {

using trelvanic_core::AxiomId;
using trelvanic_core::AxiomKind;
using trelvanic_core::AxiomView;
using trelvanic_core::CeId;
using trelvanic_core::CeKind;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::DlAxiomView;
using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_core::Ontology;
using trelvanic_core::RoleExpr;

namespace {

constexpr std::string_view kOwlThing = "http://www.w3.org/2002/07/owl#Thing";
constexpr std::string_view kOwlNothing = "http://www.w3.org/2002/07/owl#Nothing";
constexpr std::string_view kTopObjectProperty = "http://www.w3.org/2002/07/owl#topObjectProperty";
constexpr std::string_view kBottomObjectProperty = "http://www.w3.org/2002/07/owl#bottomObjectProperty";
constexpr uint32_t kNone = UINT32_MAX;

bool is_class_kind(EntityKind k) {
  return k == EntityKind::Class || k == EntityKind::ClassIndividual || k == EntityKind::ClassObjectProperty;
}
bool is_individual_kind(EntityKind k) {
  return k == EntityKind::Individual || k == EntityKind::ClassIndividual ||
         k == EntityKind::ObjectPropertyIndividual;
}
bool is_object_property_kind(EntityKind k) {
  return k == EntityKind::ObjectProperty || k == EntityKind::ClassObjectProperty ||
         k == EntityKind::ObjectPropertyIndividual;
}

using Refusal = std::unexpected<UnsupportedAxiom>;

Refusal refuse(std::string what) { return std::unexpected(UnsupportedAxiom{std::move(what)}); }

class Translator {
 public:
  explicit Translator(const Ontology& o) : o_(o) {}

  std::expected<OntologyInput, UnsupportedAxiom> run() {
    number_entities();
    auto told = translate_told();
    if (!told) return std::unexpected(told.error());
    auto dl = translate_dl();
    if (!dl) return std::unexpected(dl.error());
    out_.input.reserve_classes(static_cast<uint32_t>(out_.entity_of_index.size()));
    out_.input.reserve_roles(static_cast<uint32_t>(out_.entity_of_role.size()));
    return std::move(out_);
  }

 private:
  void number_entities() {
    auto records = o_.entities().records();
    class_index_.assign(records.size(), kNone);
    individual_index_.assign(records.size(), kNone);
    role_index_.assign(records.size(), kNone);
    for (uint32_t i = 0; i < records.size(); ++i) {
      if (!is_class_kind(records[i].kind)) continue;
      std::string_view iri = o_.iris().text(records[i].iri);
      if (iri == kOwlThing) {
        out_.thing = EntityId(i);
      } else if (iri == kOwlNothing) {
        out_.nothing = EntityId(i);
      } else {
        class_index_[i] = static_cast<uint32_t>(out_.entity_of_index.size());
        out_.entity_of_index.push_back(EntityId(i));
      }
    }
    out_.class_count = static_cast<uint32_t>(out_.entity_of_index.size());
    for (uint32_t i = 0; i < records.size(); ++i) {
      if (is_individual_kind(records[i].kind)) {
        individual_index_[i] = static_cast<uint32_t>(out_.entity_of_index.size());
        out_.entity_of_index.push_back(EntityId(i));
      }
      if (is_object_property_kind(records[i].kind)) {
        role_index_[i] = static_cast<uint32_t>(out_.entity_of_role.size());
        out_.entity_of_role.push_back(EntityId(i));
      }
    }
  }

  std::string name(EntityId e) const {
    auto r = o_.entity(e);
    if (!r) return debug_text(e);
    return std::string(o_.iris().text(r->iri));
  }

  std::expected<ExprId, UnsupportedAxiom> cls(EntityId e) {
    if (out_.thing && e == *out_.thing) return out_.input.top();
    if (out_.nothing && e == *out_.nothing) return out_.input.bottom();
    if (e.value >= class_index_.size() || class_index_[e.value] == kNone) {
      return refuse(fmt::format("{} used as a class", name(e)));
    }
    return out_.input.named(class_index_[e.value]);
  }

  std::expected<ExprId, UnsupportedAxiom> individual(EntityId e) {
    if (e.value >= individual_index_.size() || individual_index_[e.value] == kNone) {
      return refuse(fmt::format("{} used as an individual", name(e)));
    }
    return out_.input.named(individual_index_[e.value]);
  }

  std::expected<uint32_t, UnsupportedAxiom> role(EntityId e) {
    if (e.value >= role_index_.size() || role_index_[e.value] == kNone) {
      return refuse(fmt::format("{} used as an object property", name(e)));
    }
    std::string_view iri = o_.iris().text(o_.entities().record(e).iri);
    if (iri == kTopObjectProperty || iri == kBottomObjectProperty) {
      return refuse(fmt::format("the universal or empty object property {}", iri));
    }
    return role_index_[e.value];
  }

  std::expected<uint32_t, UnsupportedAxiom> role(RoleExpr r) {
    if (r.is_inverse()) return refuse(fmt::format("inverse object property of {}", name(r.property)));
    return role(r.property);
  }

  std::expected<void, UnsupportedAxiom> translate_told() {
    std::expected<void, UnsupportedAxiom> result;
    const auto& store = o_.axioms();
    store.for_each_live([&](AxiomId id, const AxiomView& ax) {
      if (!result || store.is_inferred(id)) return;
      result = told(ax);
      out_.told_source.resize(out_.input.axioms().size(), id);
    });
    return result;
  }

#define EL_TRY(var, expr)                                  \
  auto var##_r = (expr);                                   \
  if (!var##_r) return std::unexpected(var##_r.error());   \
  auto var = *var##_r;

  std::expected<void, UnsupportedAxiom> classes_list(std::span<const EntityId> ops,
                                                     std::vector<ExprId>& out) {
    out.clear();
    for (EntityId e : ops) {
      EL_TRY(x, cls(e));
      out.push_back(x);
    }
    return {};
  }

  std::expected<void, UnsupportedAxiom> told(const AxiomView& ax) {
    ElInput& in = out_.input;
    switch (ax.kind()) {
      case AxiomKind::SubClassOf: {
        EL_TRY(a, cls(ax.subclass()));
        EL_TRY(b, cls(ax.superclass()));
        in.sub_class_of(a, b);
        return {};
      }
      case AxiomKind::EquivalentClasses:
      case AxiomKind::DisjointClasses: {
        auto r = classes_list(ax.operands(), scratch_);
        if (!r) return r;
        if (ax.kind() == AxiomKind::EquivalentClasses) {
          in.equivalent_classes(scratch_);
        } else {
          in.disjoint_classes(scratch_);
        }
        return {};
      }
      case AxiomKind::ObjectPropertyDomain:
      case AxiomKind::ObjectPropertyRange: {
        EL_TRY(r, role(ax.property()));
        EL_TRY(c, cls(ax.kind() == AxiomKind::ObjectPropertyDomain ? ax.domain() : ax.range()));
        if (ax.kind() == AxiomKind::ObjectPropertyDomain) {
          in.domain(r, c);
        } else {
          in.range(r, c);
        }
        return {};
      }
      case AxiomKind::SubObjectPropertyOf: {
        EL_TRY(a, role(ax.sub_property()));
        EL_TRY(b, role(ax.super_property()));
        in.sub_property_of(a, b);
        return {};
      }
      case AxiomKind::EquivalentObjectProperties: {
        std::vector<uint32_t> roles;
        for (EntityId e : ax.operands()) {
          EL_TRY(r, role(e));
          roles.push_back(r);
        }
        for (size_t i = 0; i + 1 < roles.size(); ++i) {
          in.sub_property_of(roles[i], roles[i + 1]);
          in.sub_property_of(roles[i + 1], roles[i]);
        }
        return {};
      }
      case AxiomKind::TransitiveObjectProperty: {
        EL_TRY(r, role(ax.property()));
        in.transitive(r);
        return {};
      }
      case AxiomKind::ReflexiveObjectProperty: {
        EL_TRY(r, role(ax.property()));
        in.reflexive(r);
        return {};
      }
      case AxiomKind::SubClassOfExistential: {
        EL_TRY(a, cls(ax.subclass()));
        EL_TRY(r, role(ax.property()));
        EL_TRY(f, cls(ax.filler()));
        in.sub_class_of(a, in.some(r, f));
        return {};
      }
      case AxiomKind::ClassAssertion: {
        EL_TRY(i, individual(ax.individual()));
        EL_TRY(c, cls(ax.class_id()));
        in.sub_class_of(i, c);
        return {};
      }
      case AxiomKind::ObjectPropertyAssertion: {
        EL_TRY(s, individual(ax.subject()));
        EL_TRY(r, role(ax.property()));
        EL_TRY(o, individual(ax.object()));
        in.individual_link(s, r, o);
        return {};
      }
      case AxiomKind::InverseObjectProperties:
      case AxiomKind::SymmetricObjectProperty:
      case AxiomKind::FunctionalObjectProperty:
      case AxiomKind::InverseFunctionalObjectProperty:
      case AxiomKind::IrreflexiveObjectProperty:
      case AxiomKind::AsymmetricObjectProperty:
      case AxiomKind::DataPropertyAssertion:
      case AxiomKind::NegativeObjectPropertyAssertion:
      case AxiomKind::NegativeDataPropertyAssertion:
      case AxiomKind::SameIndividual:
      case AxiomKind::DifferentIndividuals:
        return refuse(std::string(trelvanic_core::axiom_kind_name(ax.kind())));
    }
    return refuse("unknown axiom form");
  }

  // Class expressions of the DL store, translated bottom-up with an explicit
  // stack; each expression once.
  std::expected<ExprId, UnsupportedAxiom> expr(CeId root) {
    const auto& dl = o_.dl();
    if (auto it = memo_.find(root.value); it != memo_.end()) {
      if (it->second == kNone) return refuse("cyclic class expression");
      return it->second;
    }
    std::vector<std::pair<CeId, bool>> stack{{root, false}};
    while (!stack.empty()) {
      auto [id, expanded] = stack.back();
      if (!dl.has_ce(id)) return refuse(fmt::format("dangling {}", debug_text(id)));
      auto ce = dl.ce(id);
      if (!expanded) {
        if (auto it = memo_.find(id.value); it != memo_.end()) {
          if (it->second == kNone) return refuse("cyclic class expression");
          stack.pop_back();
          continue;
        }
        memo_[id.value] = kNone;  // in progress
        stack.back().second = true;
        switch (ce.kind) {
          case CeKind::And:
            for (CeId op : ce.operands()) stack.push_back({op, false});
            break;
          case CeKind::Some:
            if (!ce.filler()) return refuse("existential restriction without filler");
            stack.push_back({*ce.filler(), false});
            break;
          default:
            break;
        }
        continue;
      }
      stack.pop_back();
      ElInput& in = out_.input;
      ExprId made;
      switch (ce.kind) {
        case CeKind::Top: made = in.top(); break;
        case CeKind::Bottom: made = in.bottom(); break;
        case CeKind::Atomic: {
          EL_TRY(x, cls(ce.entity()));
          made = x;
          break;
        }
        case CeKind::And: {
          std::vector<ExprId> ops;
          for (CeId op : ce.operands()) {
            auto it = memo_.find(op.value);
            if (it == memo_.end() || it->second == kNone) return refuse("cyclic class expression");
            ops.push_back(it->second);
          }
          made = in.and_of(ops);
          break;
        }
        case CeKind::Some: {
          EL_TRY(r, role(ce.role()));
          auto it = memo_.find(ce.filler()->value);
          if (it == memo_.end() || it->second == kNone) return refuse("cyclic class expression");
          made = in.some(r, it->second);
          break;
        }
        default:
          return refuse(fmt::format("class expression {}", trelvanic_core::ce_kind_name(ce.kind)));
      }
      memo_[id.value] = made;
    }
    return memo_[root.value];
  }

  std::expected<void, UnsupportedAxiom> translate_dl() {
    const auto& dl = o_.dl();
    ElInput& in = out_.input;
    for (size_t i = 0; i < dl.axiom_count(); ++i) {
      DlAxiomView ax = dl.axiom(i);
      switch (ax.kind) {
        case DlAxiomKind::SubClassOf: {
          EL_TRY(a, expr(ax.sub()));
          EL_TRY(b, expr(ax.sup()));
          in.sub_class_of(a, b);
          break;
        }
        case DlAxiomKind::EquivalentClasses:
        case DlAxiomKind::DisjointClasses: {
          std::vector<ExprId> ops;
          for (CeId c : ax.classes()) {
            EL_TRY(x, expr(c));
            ops.push_back(x);
          }
          if (ax.kind == DlAxiomKind::EquivalentClasses) {
            in.equivalent_classes(ops);
          } else {
            in.disjoint_classes(ops);
          }
          break;
        }
        case DlAxiomKind::ObjectPropertyDomain:
        case DlAxiomKind::ObjectPropertyRange: {
          EL_TRY(r, role(ax.property()));
          bool domain = ax.kind == DlAxiomKind::ObjectPropertyDomain;
          EL_TRY(c, expr(domain ? ax.domain() : ax.range()));
          if (domain) {
            in.domain(r, c);
          } else {
            in.range(r, c);
          }
          break;
        }
        case DlAxiomKind::SubObjectPropertyOf: {
          EL_TRY(a, role(ax.sub_role()));
          EL_TRY(b, role(ax.sup_role()));
          in.sub_property_of(a, b);
          break;
        }
        case DlAxiomKind::SubObjectPropertyChain: {
          // Chains whose ranges the normal forms cannot carry are caught
          // after normalisation (NormalForm::incomplete), not dropped here.
          std::vector<uint32_t> chain;
          auto links = ax.chain();
          for (size_t k = 0; k < links.size(); ++k) {
            EL_TRY(r, role(links[k]));
            chain.push_back(r);
          }
          if (chain.empty()) return refuse("empty property chain");
          EL_TRY(sup, role(ax.super_property()));
          in.property_chain(chain, sup);
          break;
        }
        case DlAxiomKind::TransitiveObjectProperty: {
          EL_TRY(r, role(ax.role()));
          in.transitive(r);
          break;
        }
        case DlAxiomKind::ClassAssertion: {
          EL_TRY(ind, individual(ax.individual()));
          EL_TRY(c, expr(ax.class_expr()));
          in.sub_class_of(ind, c);
          break;
        }
        case DlAxiomKind::ObjectPropertyAssertion: {
          EL_TRY(s, individual(ax.subject()));
          EL_TRY(r, role(ax.role()));
          EL_TRY(o, individual(ax.object()));
          in.individual_link(s, r, o);
          break;
        }
        default:
          return refuse(std::string(trelvanic_core::dl_axiom_kind_name(ax.kind)));
      }
    }
    return {};
  }
#undef EL_TRY

  const Ontology& o_;
  OntologyInput out_;
  std::vector<uint32_t> class_index_, individual_index_, role_index_;
  std::vector<ExprId> scratch_;
  absl::flat_hash_map<uint32_t, ExprId> memo_;
};

}  // namespace

std::expected<OntologyInput, UnsupportedAxiom> build_ontology_input(const Ontology& ontology) {
  return Translator(ontology).run();
}

}  // namespace trelvanic_el
