#include "swrl/engine.h"

#include <algorithm>
#include <deque>
#include <optional>
#include <string_view>
#include <variant>

#include "core/axiom.h"
#include "core/dl.h"
#include "core/dl_expr.h"
#include "dl/datatype/literal_index.h"
#include "dl/engine.h"
#include "el/reasoner.h"
#include "profile/scanner.h"

namespace trelvanic_swrl::engine {

using trelvanic_core::Axiom;
using trelvanic_core::AxiomKind;
using trelvanic_core::AxiomView;
using trelvanic_core::CeId;
using trelvanic_core::CeKind;
using trelvanic_core::ClassExpr;
using trelvanic_core::DeKind;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::DlStore;
using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_core::Ontology;
using trelvanic_core::OwlConstruct;
using trelvanic_core::RoleExpr;
using trelvanic_core::SwrlAtom;
using trelvanic_core::SwrlAtomKind;
using trelvanic_core::SwrlDArg;
using trelvanic_core::SwrlIArg;
using trelvanic_core::SwrlRule;
using trelvanic_core::SwrlVariable;

namespace {

constexpr std::string_view kXsdString = "http://www.w3.org/2001/XMLSchema#string";
constexpr std::string_view kOwlNothing = "http://www.w3.org/2002/07/owl#Nothing";
constexpr std::string_view kTopObjectProperty = "http://www.w3.org/2002/07/owl#topObjectProperty";

bool is_individual_kind(EntityKind k) {
  return k == EntityKind::Individual || k == EntityKind::ClassIndividual || k == EntityKind::ObjectPropertyIndividual;
}

std::vector<EntityId> named_individuals(const Ontology& ontology) {
  std::vector<EntityId> out;
  const auto& registry = ontology.entities();
  for (uint32_t i = 0; i < registry.size(); ++i) {
    if (is_individual_kind(registry.kind(EntityId(i)))) out.push_back(EntityId(i));
  }
  return out;
}

void note_gap(std::vector<std::string>& gaps, std::string reason) {
  if (std::find(gaps.begin(), gaps.end(), reason) == gaps.end()) gaps.push_back(std::move(reason));
}

// sub ⊑ sup by told SubClassOf alone (sound, not complete).
bool told_subsumed(const Ontology& ontology, EntityId sub, EntityId sup) {
  std::vector<EntityId> stack{sub};
  absl::flat_hash_set<EntityId> visited;
  while (!stack.empty()) {
    EntityId c = stack.back();
    stack.pop_back();
    if (c == sup) return true;
    if (!visited.insert(c).second) continue;
    for (EntityId next : ontology.direct_superclasses(c)) stack.push_back(next);
  }
  return false;
}

bool told_member(const Ontology& ontology, EntityId individual, EntityId cls) {
  for (EntityId c : ontology.classes_of(individual)) {
    if (told_subsumed(ontology, c, cls)) return true;
  }
  return false;
}

}  // namespace

bool has_complex_class_assertion(const Ontology& ontology) {
  const DlStore& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    if (axiom.kind != DlAxiomKind::ClassAssertion || !dl.has_ce(axiom.class_expr())) continue;
    if (dl.ce(axiom.class_expr()).kind != CeKind::Atomic) return true;
  }
  return false;
}

// Passes only add axioms, so whatever an earlier pass found entailed stays
// entailed: the EL engine's saturated state takes in the new assertions,
// and DL answers that are entailments are not asked again.
struct PassMemo {
  std::optional<trelvanic_el::ElInstances> el;
  // Memberships decided by DL instance checks: entailed, and refuted (the
  // complement entailed). Neither kind can change as axioms are added.
  absl::flat_hash_map<EntityId, absl::flat_hash_set<EntityId>> entailed, refuted;
};

namespace {

template <class F>
void for_each_body_atom(const std::vector<SwrlRule>& rules, F&& f) {
  for (const SwrlRule& rule : rules) {
    for (const SwrlAtom& atom : rule.body) f(atom);
  }
}

// --- Class memberships -------------------------------------------------------

// The EL engine's instances of the ontology as it is now: the previous
// pass's session brought up to date, or a fresh one.
std::expected<const trelvanic_el::ElInstances*, trelvanic_el::Error> el_instances(const Ontology& ontology,
                                                                                   PassMemo& memo) {
  if (memo.el) {
    auto current = memo.el->update(ontology);
    if (current && *current) return &*memo.el;
    memo.el.reset();
    if (!current) return std::unexpected(current.error());
  }
  auto built = trelvanic_el::ElInstances::build(ontology);
  if (!built) return std::unexpected(built.error());
  memo.el.emplace(std::move(*built));
  return &*memo.el;
}

Result<void> gather_members(const Ontology& ontology, const std::vector<SwrlRule>& rules, PassFacts& facts,
                            PassMemo& memo) {
  std::vector<EntityId> classes;
  for_each_body_atom(rules, [&](const SwrlAtom& atom) {
    if (atom.kind == SwrlAtomKind::Class &&
        std::find(classes.begin(), classes.end(), atom.predicate) == classes.end()) {
      classes.push_back(atom.predicate);
    }
  });
  if (classes.empty()) return {};
  if (!has_complex_class_assertion(ontology)) {
    auto el = el_instances(ontology, memo);
    if (el) {
      for (EntityId cls : classes) {
        auto members = (*el)->instances(cls);
        facts.members[cls].insert(members.begin(), members.end());
      }
      return {};
    }
    if (el.error().kind != trelvanic_el::ErrorKind::NotEl) {
      return std::unexpected(Error::core(trelvanic_core::Error::message_text(
          "SWRL forward chaining requires EL taxonomy; EL classification failed: " + el.error().text())));
    }
  }
  // Outside EL: DL instance checks, the told memberships where none is
  // decided.
  const std::vector<EntityId> individuals = named_individuals(ontology);
  Ontology probe = ontology.clone();
  // Outside EL there may be no model whose named individuals hold exactly
  // the entailed memberships (a ∈ A ⊔ B entails neither A(a) nor B(a), yet
  // every model fires a rule on one of them). A membership neither entailed
  // nor refuted is kept as possible: a rule it lets fire that would add
  // something leaves the run incomplete.
  std::vector<CeId> ces, complements;
  for (EntityId cls : classes) {
    ces.push_back(probe.dl_mut().intern_ce(ClassExpr::atomic(cls)));
    complements.push_back(probe.dl_mut().intern_ce(ClassExpr::complement_of(ces.back())));
  }
  size_t checks = 0;
  auto decide = [&](EntityId a, CeId ce) -> std::optional<bool> {
    if (++checks > kMaxDlMembershipChecks) {
      note_gap(facts.gaps, "too many class memberships to decide");
      return std::nullopt;
    }
    auto entailed = trelvanic_dl::entails_class_assertion(probe, a, ce);
    if (!entailed) {
      note_gap(facts.gaps, "a class membership was not decided: " + entailed.error().message());
      return std::nullopt;
    }
    return *entailed;
  };
  for (size_t c = 0; c < classes.size(); ++c) {
    auto& members = facts.members[classes[c]];
    auto& entailed = memo.entailed[classes[c]];
    auto& refuted = memo.refuted[classes[c]];
    for (EntityId a : individuals) {
      if (refuted.contains(a)) continue;
      if (entailed.contains(a) || told_member(ontology, a, classes[c])) {
        members.insert(a);
        continue;
      }
      auto member = decide(a, ces[c]);
      if (!member) continue;
      if (*member) {
        members.insert(a);
        entailed.insert(a);
        continue;
      }
      // A membership neither entailed nor refuted may be either after the
      // next pass's additions: it is asked again then.
      auto outside = decide(a, complements[c]);
      if (!outside) continue;
      if (*outside) {
        refuted.insert(a);
      } else {
        facts.possible[classes[c]].insert(a);
      }
    }
  }
  return {};
}

// --- Object property assertions ------------------------------------------------

// A role as (property, inverted).
using Role = std::pair<EntityId, bool>;

struct RoleGraph {
  absl::flat_hash_map<Role, std::vector<Role>> supers;
  absl::flat_hash_set<EntityId> transitive;

  void include(Role sub, Role sup) {
    supers[sub].push_back(sup);
    supers[{sub.first, !sub.second}].push_back({sup.first, !sup.second});
  }
};

Role role_of(const RoleExpr& r) { return {r.property, r.is_inverse()}; }

RoleGraph role_graph(const Ontology& ontology) {
  RoleGraph g;
  ontology.axioms().for_each_live([&](trelvanic_core::AxiomId, const AxiomView& axiom) {
    switch (axiom.kind()) {
      case AxiomKind::SubObjectPropertyOf:
        g.include({axiom.sub_property(), false}, {axiom.super_property(), false});
        break;
      case AxiomKind::EquivalentObjectProperties:
        for (EntityId a : axiom.operands()) {
          for (EntityId b : axiom.operands()) {
            if (a != b) g.include({a, false}, {b, false});
          }
        }
        break;
      case AxiomKind::InverseObjectProperties:
        g.include({axiom.left(), false}, {axiom.right(), true});
        g.include({axiom.right(), true}, {axiom.left(), false});
        break;
      case AxiomKind::SymmetricObjectProperty:
        g.include({axiom.property(), false}, {axiom.property(), true});
        break;
      case AxiomKind::TransitiveObjectProperty:
        g.transitive.insert(axiom.property());
        break;
      default:
        break;
    }
  });
  const DlStore& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    switch (axiom.kind) {
      case DlAxiomKind::SubObjectPropertyOf:
        g.include(role_of(axiom.sub_role()), role_of(axiom.sup_role()));
        break;
      case DlAxiomKind::SymmetricObjectProperty: {
        Role r = role_of(axiom.role());
        g.include(r, {r.first, !r.second});
        break;
      }
      case DlAxiomKind::TransitiveObjectProperty:
        g.transitive.insert(axiom.role().property);
        break;
      default:
        break;
    }
  }
  return g;
}

// The told object property assertions closed under the role graph and
// sameAs.
void gather_object_facts(const Ontology& ontology, PassFacts& facts) {
  const RoleGraph g = role_graph(ontology);
  // Per property: subject -> objects and object -> subjects, for transitivity.
  absl::flat_hash_map<EntityId, absl::flat_hash_map<EntityId, std::vector<EntityId>>> by_subject, by_object;
  std::deque<std::tuple<EntityId, EntityId, EntityId>> work;
  // Facts are kept between sameAs representatives, so that joins (the
  // transitive one here, the rule bodies' later) meet across partners.
  auto add = [&](EntityId p, EntityId s, EntityId o) {
    s = facts.same_as.representative(s);
    o = facts.same_as.representative(o);
    if (facts.object_facts[p].insert({s, o}).second) {
      by_subject[p][s].push_back(o);
      by_object[p][o].push_back(s);
      work.emplace_back(p, s, o);
    }
  };
  ontology.axioms().for_each_live([&](trelvanic_core::AxiomId, const AxiomView& axiom) {
    if (axiom.kind() == AxiomKind::ObjectPropertyAssertion) add(axiom.property(), axiom.subject(), axiom.object());
  });
  const DlStore& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    if (axiom.kind != DlAxiomKind::ObjectPropertyAssertion) continue;
    RoleExpr r = axiom.role();
    if (r.is_inverse()) {
      add(r.property, axiom.object(), axiom.subject());
    } else {
      add(r.property, axiom.subject(), axiom.object());
    }
  }
  while (!work.empty()) {
    auto [p, s, o] = work.front();
    work.pop_front();
    // p(s, o) is also p⁻(o, s).
    for (bool inverted : {false, true}) {
      auto it = g.supers.find(Role{p, inverted});
      if (it == g.supers.end()) continue;
      EntityId from = inverted ? o : s, to = inverted ? s : o;
      for (const Role& sup : it->second) {
        if (sup.second) {
          add(sup.first, to, from);
        } else {
          add(sup.first, from, to);
        }
      }
    }
    if (g.transitive.contains(p)) {
      // Copies: `add` grows the lists being read.
      std::vector<EntityId> after = by_subject[p][o];
      std::vector<EntityId> before = by_object[p][s];
      for (EntityId x : after) add(p, s, x);
      for (EntityId y : before) add(p, y, o);
    }
  }
}

// --- Data property assertions ---------------------------------------------------

std::string datatype_iri(const Ontology& ontology, std::optional<EntityId> datatype) {
  if (!datatype) return std::string(kXsdString);
  auto iri = ontology.entity_iri(*datatype);
  return iri ? std::string(*iri) : std::string(kXsdString);
}

DataValue told_value(std::string_view lexical, std::string_view datatype) {
  return DataValue{std::string(lexical), datatype.empty() ? std::string(kXsdString) : std::string(datatype)};
}

void gather_data_facts(const Ontology& ontology, PassFacts& facts) {
  ontology.axioms().for_each_live([&](trelvanic_core::AxiomId, const AxiomView& axiom) {
    if (axiom.kind() != AxiomKind::DataPropertyAssertion) return;
    auto literal = axiom.literal();
    facts.data_facts[axiom.property()].emplace_back(axiom.subject(), told_value(literal.lexical, literal.datatype));
  });
  const DlStore& dl = ontology.dl();
  auto literal_value = [&](trelvanic_core::DeId id) -> std::optional<DataValue> {
    if (!dl.has_de(id)) return std::nullopt;
    auto de = dl.de(id);
    if (de.kind != DeKind::Literal) return std::nullopt;
    return DataValue{std::string(de.lexical()), datatype_iri(ontology, de.datatype())};
  };
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    if (axiom.kind == DlAxiomKind::DataPropertyAssertion) {
      if (auto v = literal_value(axiom.value())) facts.data_facts[axiom.property()].emplace_back(axiom.subject(), *v);
    } else if (axiom.kind == DlAxiomKind::ClassAssertion && dl.has_ce(axiom.class_expr())) {
      auto ce = dl.ce(axiom.class_expr());
      if (ce.kind != CeKind::DataHasValue) continue;
      if (auto v = literal_value(ce.value())) facts.data_facts[ce.property()].emplace_back(axiom.individual(), *v);
    }
  }
  for (auto& [p, list] : facts.data_facts) {
    std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
      return std::tie(a.first.value, a.second.lexical, a.second.datatype) <
             std::tie(b.first.value, b.second.lexical, b.second.datatype);
    });
    list.erase(std::unique(list.begin(), list.end()), list.end());
  }
}

// What the told facts may leave out for these rules.
void note_fact_gaps(const Ontology& ontology, const std::vector<SwrlRule>& rules,
                    const trelvanic_profile::ConstructSet& constructs, PassFacts& facts) {
  bool object_atoms = false, data_atoms = false;
  for_each_body_atom(rules, [&](const SwrlAtom& atom) {
    if (atom.kind == SwrlAtomKind::ObjectProperty || atom.kind == SwrlAtomKind::SameIndividual) object_atoms = true;
    if (atom.kind == SwrlAtomKind::DataProperty) data_atoms = true;
    if (atom.kind == SwrlAtomKind::ObjectProperty) {
      auto iri = ontology.entity_iri(atom.predicate);
      if (iri && *iri == kTopObjectProperty) note_gap(facts.gaps, "the universal object property in a rule body");
    }
    if (atom.kind == SwrlAtomKind::DataProperty) {
      if (const auto* lit = std::get_if<trelvanic_core::SwrlLiteral>(&atom.value)) {
        if (datatype_iri(ontology, lit->datatype) != kXsdString) {
          note_gap(facts.gaps, "typed literals in rule bodies are compared by their lexical form");
        }
      }
    }
  });
  if (object_atoms) {
    static constexpr OwlConstruct kBeyondTold[] = {
        OwlConstruct::ObjectOneOf,  OwlConstruct::ObjectCardinality,         OwlConstruct::ObjectHasValue,
        OwlConstruct::ObjectHasSelf, OwlConstruct::SubObjectPropertyChain,   OwlConstruct::ReflexiveObjectProperty,
        OwlConstruct::FunctionalObjectProperty, OwlConstruct::InverseFunctionalObjectProperty,
        OwlConstruct::HasKey,       OwlConstruct::Unknown,
    };
    for (OwlConstruct c : kBeyondTold) {
      if (constructs.contains(c)) {
        note_gap(facts.gaps, "object property assertions or equalities may follow from " +
                                 std::string(trelvanic_core::owl_construct_name(c)));
        break;
      }
    }
  }
  if (data_atoms) {
    const DlStore& dl = ontology.dl();
    bool beyond = constructs.contains(OwlConstruct::DataPropertyAxiom);
    for (size_t i = 0; i < dl.ce_count() && !beyond; ++i) beyond = dl.ce(CeId(i)).kind == CeKind::DataHasValue;
    if (beyond) note_gap(facts.gaps, "data property assertions may follow from the data property axioms");
  }
}

// --- Matching ---------------------------------------------------------------

EntityId rep(const PassFacts& facts, EntityId id) { return facts.same_as.representative(id); }

bool same(const PassFacts& facts, EntityId a, EntityId b) { return a == b || rep(facts, a) == rep(facts, b); }

std::optional<EntityId> resolve(const SwrlIArg& arg, const RuleBinding& binding) {
  if (const auto* id = std::get_if<EntityId>(&arg)) return *id;
  auto it = binding.individuals.find(std::get<SwrlVariable>(arg).name);
  if (it == binding.individuals.end()) return std::nullopt;
  return it->second;
}

std::optional<RuleBinding> unify(const PassFacts& facts, const SwrlIArg& arg, EntityId id, const RuleBinding& binding) {
  if (auto bound = resolve(arg, binding)) {
    if (!same(facts, *bound, id)) return std::nullopt;
    return binding;
  }
  RuleBinding out = binding;
  out.individuals.emplace(std::get<SwrlVariable>(arg).name, id);
  return out;
}

std::optional<RuleBinding> unify_data(const SwrlDArg& arg, const DataValue& value, const RuleBinding& binding,
                                      const Ontology& ontology) {
  if (const auto* lit = std::get_if<trelvanic_core::SwrlLiteral>(&arg)) {
    if (lit->lexical != value.lexical || datatype_iri(ontology, lit->datatype) != value.datatype) return std::nullopt;
    return binding;
  }
  const std::string& name = std::get<SwrlVariable>(arg).name;
  auto it = binding.data_values.find(name);
  if (it != binding.data_values.end()) {
    if (!(it->second == value)) return std::nullopt;
    return binding;
  }
  RuleBinding out = binding;
  out.data_values.emplace(name, value);
  return out;
}

// The literal, or the value bound to the variable (none when unbound).
std::optional<DataValue> data_value_of(const Ontology& ontology, const SwrlDArg& arg, const RuleBinding& binding) {
  if (const auto* lit = std::get_if<trelvanic_core::SwrlLiteral>(&arg)) {
    return DataValue{lit->lexical, datatype_iri(ontology, lit->datatype)};
  }
  auto it = binding.data_values.find(std::get<SwrlVariable>(arg).name);
  if (it == binding.data_values.end()) return std::nullopt;
  return it->second;
}

// The members of a sameAs class, with the individual itself.
std::vector<EntityId> same_as_members(const PassFacts& facts, EntityId id) {
  std::vector<EntityId> out{id};
  const EntityId r = rep(facts, id);
  if (r != id) out.push_back(r);
  for (const auto& group : facts.same_as.classes) {
    if (group.empty() || rep(facts, group.front()) != r) continue;
    for (EntityId m : group) {
      if (m != id) out.push_back(m);
    }
  }
  return out;
}

bool told_different(const PassFacts& facts, EntityId a, EntityId b) {
  for (EntityId x : same_as_members(facts, a)) {
    for (EntityId y : same_as_members(facts, b)) {
      if (facts.different.contains({x, y})) return true;
    }
  }
  return false;
}

}  // namespace

std::vector<RuleBinding> match_atom(const Ontology& ontology, const PassFacts& facts, const SwrlAtom& atom,
                                    const RuleBinding& binding, std::vector<std::string>& gaps) {
  std::vector<RuleBinding> out;
  switch (atom.kind) {
    case SwrlAtomKind::Class: {
      // Entailed members first, then the possible ones as speculative.
      auto match_in = [&](const auto& table, bool speculative) {
        auto it = table.find(atom.predicate);
        if (it == table.end()) return;
        RuleBinding base = binding;
        base.speculative |= speculative;
        if (auto bound = resolve(atom.first, binding)) {
          for (EntityId m : same_as_members(facts, *bound)) {
            if (it->second.contains(m)) {
              out.push_back(std::move(base));
              return;
            }
          }
          return;
        }
        std::vector<EntityId> members(it->second.begin(), it->second.end());
        std::sort(members.begin(), members.end(), [](EntityId a, EntityId b) { return a.value < b.value; });
        for (EntityId m : members) {
          if (auto b = unify(facts, atom.first, m, base)) out.push_back(std::move(*b));
        }
      };
      const size_t entailed = out.size();
      match_in(facts.members, false);
      // An individual bound to an entailed member needs no speculative twin.
      if (out.size() == entailed || !resolve(atom.first, binding)) match_in(facts.possible, true);
      break;
    }
    case SwrlAtomKind::ObjectProperty: {
      auto it = facts.object_facts.find(atom.predicate);
      if (it == facts.object_facts.end()) break;
      std::vector<IndividualPair> pairs(it->second.begin(), it->second.end());
      std::sort(pairs.begin(), pairs.end(), [](const IndividualPair& a, const IndividualPair& b) {
        return std::tie(a.first.value, a.second.value) < std::tie(b.first.value, b.second.value);
      });
      for (const auto& [s, o] : pairs) {
        auto first = unify(facts, atom.first, s, binding);
        if (!first) continue;
        if (auto both = unify(facts, atom.second, o, *first)) out.push_back(std::move(*both));
      }
      break;
    }
    case SwrlAtomKind::DataProperty: {
      auto it = facts.data_facts.find(atom.predicate);
      if (it == facts.data_facts.end()) break;
      for (const auto& [s, v] : it->second) {
        auto first = unify(facts, atom.first, s, binding);
        if (!first) continue;
        if (auto both = unify_data(atom.value, v, *first, ontology)) out.push_back(std::move(*both));
      }
      break;
    }
    case SwrlAtomKind::SameIndividual: {
      auto a = resolve(atom.first, binding);
      auto b = resolve(atom.second, binding);
      if (a && b) {
        if (same(facts, *a, *b)) out.push_back(binding);
      } else if (a) {
        for (EntityId m : same_as_members(facts, *a)) {
          if (auto x = unify(facts, atom.second, m, binding)) out.push_back(std::move(*x));
        }
      } else if (b) {
        for (EntityId m : same_as_members(facts, *b)) {
          if (auto x = unify(facts, atom.first, m, binding)) out.push_back(std::move(*x));
        }
      } else if (std::get<SwrlVariable>(atom.first).name == std::get<SwrlVariable>(atom.second).name) {
        out.push_back(binding);
      }
      // Two unbound variables bind nothing: a DL-safe rule has them bound
      // by its other atoms.
      break;
    }
    case SwrlAtomKind::DifferentIndividuals: {
      auto a = resolve(atom.first, binding);
      auto b = resolve(atom.second, binding);
      if (!a || !b || same(facts, *a, *b)) break;
      if (told_different(facts, *a, *b)) {
        out.push_back(binding);
      } else {
        note_gap(gaps, "individuals not told to be different may still be entailed different");
      }
      break;
    }
    case SwrlAtomKind::DataRange: {
      std::optional<DataValue> value = data_value_of(ontology, atom.value, binding);
      if (!value) break;  // a data variable no data atom bound
      auto datatype = ontology.lookup_entity(value->datatype);
      std::optional<bool> inside;
      if (datatype) {
        inside = trelvanic_dl::datatype::literal_satisfies(ontology, {value->lexical, *datatype}, atom.range);
      }
      if (!inside) {
        note_gap(gaps, "a literal was not decided against a data range");
      } else if (*inside) {
        out.push_back(binding);
      }
      break;
    }
  }
  return out;
}

Result<PassFacts> gather_facts(const Ontology& ontology, const std::vector<SwrlRule>& rules,
                               const trelvanic_profile::ConstructSet* shape, PassMemo* memo) {
  PassMemo once;
  PassFacts facts;
  facts.same_as = trelvanic_rl::abox::same_as_closure(ontology);
  if (auto members = gather_members(ontology, rules, facts, memo ? *memo : once); !members) {
    return std::unexpected(members.error());
  }
  gather_object_facts(ontology, facts);
  gather_data_facts(ontology, facts);
  ontology.axioms().for_each_live([&](trelvanic_core::AxiomId, const AxiomView& axiom) {
    if (axiom.kind() != AxiomKind::DifferentIndividuals) return;
    for (EntityId a : axiom.operands()) {
      for (EntityId b : axiom.operands()) {
        if (a != b) facts.different.insert({a, b});
      }
    }
  });
  const DlStore& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    if (axiom.kind != DlAxiomKind::DifferentIndividuals) continue;
    for (EntityId a : axiom.entities()) {
      for (EntityId b : axiom.entities()) {
        if (a != b) facts.different.insert({a, b});
      }
    }
  }
  note_fact_gaps(ontology, rules, shape ? *shape : trelvanic_profile::scan_constructs(ontology), facts);
  return facts;
}

namespace {

Error limit(std::string text) { return Error::core(trelvanic_core::Error::message_text(std::move(text))); }

int rank(SwrlAtomKind k) {
  switch (k) {
    case SwrlAtomKind::DataRange:
      return 1;
    case SwrlAtomKind::SameIndividual:
      return 2;
    case SwrlAtomKind::DifferentIndividuals:
      return 3;
    default:
      return 0;
  }
}

struct HeadOutcome {
  bool added = false;
  bool clash = false;
};

// Adds `axiom` as told; whether the ontology grew.
Result<bool> add_told(Ontology& ontology, Axiom axiom) {
  const size_t before = ontology.axiom_count();
  auto id = ontology.add_axiom(std::move(axiom));
  if (!id) return std::unexpected(Error::core(std::move(id.error())));
  return ontology.axiom_count() > before;
}

Result<HeadOutcome> apply_head(Ontology& ontology, const PassFacts& facts, const SwrlAtom& atom,
                               const RuleBinding& binding, std::vector<std::string>& gaps) {
  HeadOutcome out;
  auto add = [&](Axiom axiom) -> Result<void> {
    auto grew = add_told(ontology, std::move(axiom));
    if (!grew) return std::unexpected(grew.error());
    out.added |= *grew;
    return {};
  };
  auto a = resolve(atom.first, binding);
  switch (atom.kind) {
    case SwrlAtomKind::Class: {
      if (!a) break;
      auto it = facts.members.find(atom.predicate);
      if ((it != facts.members.end() && it->second.contains(*a)) || told_member(ontology, *a, atom.predicate)) break;
      if (auto r = add(Axiom::class_assertion(*a, atom.predicate)); !r) return std::unexpected(r.error());
      break;
    }
    case SwrlAtomKind::ObjectProperty: {
      auto b = resolve(atom.second, binding);
      if (!a || !b) break;
      auto it = facts.object_facts.find(atom.predicate);
      if (it != facts.object_facts.end() && it->second.contains({rep(facts, *a), rep(facts, *b)})) break;
      if (auto r = add(Axiom::object_property_assertion(*a, atom.predicate, *b)); !r) return std::unexpected(r.error());
      break;
    }
    case SwrlAtomKind::SameIndividual: {
      auto b = resolve(atom.second, binding);
      if (!a || !b || same(facts, *a, *b)) break;
      if (auto r = add(Axiom::same_individual({*a, *b})); !r) return std::unexpected(r.error());
      break;
    }
    case SwrlAtomKind::DifferentIndividuals: {
      auto b = resolve(atom.second, binding);
      if (!a || !b) break;
      if (same(facts, *a, *b)) {
        // The rule asks an individual to differ from itself.
        out.clash = true;
        break;
      }
      if (told_different(facts, *a, *b)) break;
      if (auto r = add(Axiom::different_individuals({*a, *b})); !r) return std::unexpected(r.error());
      break;
    }
    case SwrlAtomKind::DataProperty: {
      if (!a) break;
      std::optional<DataValue> value = data_value_of(ontology, atom.value, binding);
      if (!value) break;
      if (auto r = add(Axiom::data_property_assertion(*a, atom.predicate, {value->lexical, value->datatype})); !r) {
        return std::unexpected(r.error());
      }
      break;
    }
    case SwrlAtomKind::DataRange:
      note_gap(gaps, "a data range in a rule head cannot be asserted");
      break;
  }
  return out;
}

// The individual of a clashing head put into owl:Nothing, so engines that
// do not read the load's flag see the clash as well.
Result<void> assert_nothing(Ontology& ontology, const RuleBinding& binding, const SwrlAtom& atom) {
  auto a = resolve(atom.first, binding);
  if (!a) return {};
  auto nothing = ontology.entity_id(kOwlNothing, EntityKind::Class);
  if (!nothing) return std::unexpected(Error::core(std::move(nothing.error())));
  auto added = add_told(ontology, Axiom::class_assertion(*a, *nothing));
  if (!added) return std::unexpected(added.error());
  return {};
}

}  // namespace

void drop_rules(Ontology& ontology) {
  ontology.clear_swrl_rules();
  // The load's record of the rules, which the profile scan reads as well.
  if (auto& meta = ontology.parse_meta_mut(); meta) {
    meta->profile_constructs.erase(OwlConstruct::SwrlRule);
  }
  const DlStore& dl = ontology.dl();
  bool any = false;
  for (size_t i = 0; i < dl.axiom_count() && !any; ++i) any = dl.axiom(i).kind == DlAxiomKind::SwrlRule;
  if (!any) return;
  // The same expressions under the same ids, the axioms but the rules.
  DlStore kept;
  for (size_t i = 0; i < dl.ce_count(); ++i) kept.append_ce(ClassExpr::from_view(dl.ce(CeId(i))));
  for (size_t i = 0; i < dl.de_count(); ++i) kept.append_de(trelvanic_core::DataExpr::from_view(dl.de(trelvanic_core::DeId(i))));
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    if (dl.axiom(i).kind != DlAxiomKind::SwrlRule) kept.push_axiom(trelvanic_core::DlAxiom::from_view(dl.axiom(i)));
  }
  ontology.set_dl(std::move(kept));
}

namespace {

void drop_speculative(std::vector<RuleBinding>& bindings, std::vector<std::string>& gaps) {
  const size_t before = bindings.size();
  std::erase_if(bindings, [](const RuleBinding& b) { return b.speculative; });
  if (bindings.size() != before) note_gap(gaps, "too many possible rule matches to check");
}

// Whether every head atom already holds in every model for this binding
// (so firing the rule there would add nothing).
bool head_holds(const Ontology& ontology, const PassFacts& facts, const std::vector<SwrlAtom>& head,
                const RuleBinding& binding) {
  for (const SwrlAtom& atom : head) {
    auto a = resolve(atom.first, binding);
    if (!a) return false;
    switch (atom.kind) {
      case SwrlAtomKind::Class: {
        auto it = facts.members.find(atom.predicate);
        if (!(it != facts.members.end() && it->second.contains(*a)) && !told_member(ontology, *a, atom.predicate)) {
          return false;
        }
        break;
      }
      case SwrlAtomKind::ObjectProperty: {
        auto b = resolve(atom.second, binding);
        auto it = facts.object_facts.find(atom.predicate);
        if (!b || it == facts.object_facts.end() || !it->second.contains({rep(facts, *a), rep(facts, *b)})) {
          return false;
        }
        break;
      }
      case SwrlAtomKind::SameIndividual: {
        auto b = resolve(atom.second, binding);
        if (!b || !same(facts, *a, *b)) return false;
        break;
      }
      case SwrlAtomKind::DifferentIndividuals: {
        auto b = resolve(atom.second, binding);
        if (!b || !told_different(facts, *a, *b)) return false;
        break;
      }
      default:
        return false;
    }
  }
  return true;
}

// What a pass adds for rule matches that hold in some models only.
struct Grounding {
  // A property used nowhere else: `∃f.({b} ⊓ L)` at any individual says
  // that b is an L, so one class assertion can state a disjunction over
  // several individuals without changing what the ontology says otherwise.
  std::optional<EntityId> link;
  absl::flat_hash_set<std::pair<uint32_t, uint32_t>> stated;  // (individual, clause expression)
  // A stated instance has a property assertion or an equality in its head:
  // those then hold in some models only, which told facts do not show.
  bool edges_by_cases = false;
};

Result<EntityId> fresh_link(Ontology& ontology, Grounding& g) {
  if (g.link) return *g.link;
  std::string iri = "urn:x-trelvanic:swrl-ground";
  for (int n = 1; ontology.lookup_entity(iri); ++n) iri = "urn:x-trelvanic:swrl-ground-" + std::to_string(n);
  auto id = ontology.entity_id(iri, EntityKind::ObjectProperty);
  if (!id) return std::unexpected(Error::core(std::move(id.error())));
  g.link = *id;
  return *id;
}

// States the rule instance of a speculative match as one class assertion:
// a body membership that is not entailed fails, or a head atom holds. Then
// every model of the ontology keeps the rule for this binding. Whether the
// ontology grew; none when a head atom has no class form (data atoms).
Result<std::optional<bool>> ground_instance(Ontology& ontology, const PassFacts& facts, const SwrlRule& rule,
                                            const RuleBinding& binding, Grounding& g) {
  std::vector<std::pair<EntityId, ClassExpr>> literals;  // (individual, what holds of it)
  auto& dl = ontology.dl_mut();
  for (const SwrlAtom& atom : rule.body) {
    if (atom.kind != SwrlAtomKind::Class) continue;
    auto x = resolve(atom.first, binding);
    if (!x) return std::optional<bool>{};
    bool entailed = false;
    if (auto it = facts.members.find(atom.predicate); it != facts.members.end()) {
      for (EntityId m : same_as_members(facts, *x)) entailed |= it->second.contains(m);
    }
    if (entailed) continue;
    literals.emplace_back(*x, ClassExpr::complement_of(dl.intern_ce(ClassExpr::atomic(atom.predicate))));
  }
  if (literals.empty()) return std::optional<bool>{};
  for (const SwrlAtom& atom : rule.head) {
    auto a = resolve(atom.first, binding);
    if (!a) return std::optional<bool>{};
    std::optional<EntityId> b;
    if (atom.kind == SwrlAtomKind::ObjectProperty || atom.kind == SwrlAtomKind::SameIndividual ||
        atom.kind == SwrlAtomKind::DifferentIndividuals) {
      b = resolve(atom.second, binding);
      if (!b) return std::optional<bool>{};
    }
    switch (atom.kind) {
      case SwrlAtomKind::Class:
        literals.emplace_back(*a, ClassExpr::atomic(atom.predicate));
        break;
      case SwrlAtomKind::ObjectProperty:
        literals.emplace_back(*a, ClassExpr::has_value(RoleExpr{trelvanic_core::RoleKind::Atomic, atom.predicate}, *b));
        g.edges_by_cases = true;
        break;
      case SwrlAtomKind::SameIndividual:
        literals.emplace_back(*a, ClassExpr::one_of({*b}));
        g.edges_by_cases = true;
        break;
      case SwrlAtomKind::DifferentIndividuals:
        literals.emplace_back(*a, ClassExpr::complement_of(dl.intern_ce(ClassExpr::one_of({*b}))));
        break;
      default:
        return std::optional<bool>{};
    }
  }
  const EntityId anchor = literals.front().first;
  std::vector<CeId> disjuncts;
  for (auto& [x, literal] : literals) {
    CeId ce = dl.intern_ce(literal);
    if (!same(facts, x, anchor)) {
      auto link = fresh_link(ontology, g);
      if (!link) return std::unexpected(link.error());
      CeId here = dl.intern_ce(ClassExpr::and_of({dl.intern_ce(ClassExpr::one_of({x})), ce}));
      ce = dl.intern_ce(ClassExpr::some(RoleExpr{trelvanic_core::RoleKind::Atomic, *link}, here));
    }
    if (std::find(disjuncts.begin(), disjuncts.end(), ce) == disjuncts.end()) disjuncts.push_back(ce);
  }
  std::sort(disjuncts.begin(), disjuncts.end(), [](CeId p, CeId q) { return p.value < q.value; });
  CeId clause = disjuncts.size() == 1 ? disjuncts.front() : dl.intern_ce(ClassExpr::or_of(disjuncts));
  if (!g.stated.insert({anchor.value, clause.value}).second) return std::optional<bool>{false};
  dl.push_axiom(trelvanic_core::DlAxiom::class_assertion(anchor, clause));
  return std::optional<bool>{true};
}

}  // namespace

Result<ChainRun> materialize_swrl_rules(Ontology& ontology) {
  const std::vector<SwrlRule> rules = ontology.swrl_rules();
  ChainRun run;
  if (rules.empty()) return run;
  drop_rules(ontology);
  run.rule_count = rules.size();
  Grounding grounding;
  // Told heads add assertions only; the constructs the told facts are
  // judged by stay those of the rule-free ontology.
  const trelvanic_profile::ConstructSet shape = trelvanic_profile::scan_constructs(ontology);
  PassMemo memo;
  for (size_t pass = 0;; ++pass) {
    if (pass == kMaxPasses) return std::unexpected(limit("SWRL forward chaining exceeded 10000 iterations"));
    // Only the last pass's gaps matter: a pass that saw every entailed fact
    // and added nothing is a fixpoint whatever earlier passes missed.
    run.gaps.clear();
    auto facts = gather_facts(ontology, rules, &shape, &memo);
    if (!facts) return std::unexpected(facts.error());
    for (auto& gap : facts->gaps) note_gap(run.gaps, std::move(gap));
    bool changed = false;
    for (const SwrlRule& rule : rules) {
      std::vector<const SwrlAtom*> body;
      for (const SwrlAtom& atom : rule.body) body.push_back(&atom);
      std::stable_sort(body.begin(), body.end(),
                       [](const SwrlAtom* x, const SwrlAtom* y) { return rank(x->kind) < rank(y->kind); });
      std::vector<RuleBinding> bindings(1);
      for (const SwrlAtom* atom : body) {
        std::vector<RuleBinding> next;
        for (const RuleBinding& b : bindings) {
          auto more = match_atom(ontology, *facts, *atom, b, run.gaps);
          for (auto& m : more) next.push_back(std::move(m));
          if (next.size() > kMaxPartialBindings) {
            // Speculative matches go first; the limit is for the real ones.
            drop_speculative(next, run.gaps);
            if (next.size() > kMaxPartialBindings) {
              return std::unexpected(limit("SWRL rule binding explosion exceeds 10000 bindings"));
            }
          }
        }
        bindings = std::move(next);
        if (bindings.empty()) break;
      }
      if (std::count_if(bindings.begin(), bindings.end(), [](const RuleBinding& b) { return !b.speculative; }) >
          static_cast<std::ptrdiff_t>(kMaxBindings)) {
        return std::unexpected(limit("SWRL rule binding explosion exceeds 10000 bindings"));
      }
      for (const RuleBinding& b : bindings) {
        if (b.speculative) {
          if (head_holds(ontology, *facts, rule.head, b)) continue;
          auto grounded = ground_instance(ontology, *facts, rule, b, grounding);
          if (!grounded) return std::unexpected(grounded.error());
          if (!*grounded) {
            note_gap(run.gaps, "a rule fires in some models only");
          } else {
            changed |= **grounded;
          }
          continue;
        }
        bool added = false;
        for (const SwrlAtom& atom : rule.head) {
          auto outcome = apply_head(ontology, *facts, atom, b, run.gaps);
          if (!outcome) return std::unexpected(outcome.error());
          added |= outcome->added;
          if (outcome->clash) {
            // No model: mark the ontology as holding DifferentIndividuals
            // over one individual, which every engine reads as inconsistent.
            auto& meta = ontology.parse_meta_mut();
            if (!meta) meta.emplace();
            meta->degenerate_different_individuals = true;
            if (auto bottom = assert_nothing(ontology, b, atom); !bottom) return std::unexpected(bottom.error());
            run.inconsistent = true;
            run.complete = true;
            ++run.inference_count;
            return run;
          }
        }
        if (!added) continue;
        changed = true;
        if (++run.inference_count > kMaxInferences) {
          return std::unexpected(limit("SWRL forward chaining exceeded 100000 inferences"));
        }
      }
    }
    if (!changed) break;
  }
  if (grounding.edges_by_cases) {
    for_each_body_atom(rules, [&](const SwrlAtom& atom) {
      if (atom.kind == SwrlAtomKind::ObjectProperty || atom.kind == SwrlAtomKind::SameIndividual) {
        note_gap(run.gaps, "an object property assertion or equality holds in some models only");
      }
    });
  }
  run.complete = run.gaps.empty();
  return run;
}

}  // namespace trelvanic_swrl::engine
