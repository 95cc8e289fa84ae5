#include "py/reasoner_edits.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "binding/pycall.h"
#include "core/axiom.h"
#include "core/axiom_index.h"
#include "py/convert.h"
#include "py/exceptions.h"
#include "py/reasoner_sync.h"

namespace _trelvanic::reasoner {

using trelvanic_binding::Args;
using trelvanic_binding::Ref;
using trelvanic_binding::Result;
using trelvanic_core::Axiom;
using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_core::Ontology;

namespace {

constexpr const char* kUnsupportedAxiom =
    "unsupported axiom JSON; use format v2 axiom objects (e.g. {\"SubClassOf\": {...}})";

struct Field {
  const char* name;
  EntityKind kind;
};

// One accepted single-axiom form: its key, fields in reading order, and
// the told axiom made from the resolved ids.
struct Form {
  const char* key;
  std::array<Field, 3> fields;
  std::size_t count;
  Axiom (*make)(const std::array<EntityId, 3>&);
};

constexpr EntityKind kC = EntityKind::Class;
constexpr EntityKind kI = EntityKind::Individual;
constexpr EntityKind kP = EntityKind::ObjectProperty;

const Form kForms[] = {
    {"SubClassOf", {{{"subclass", kC}, {"superclass", kC}}}, 2,
     [](const std::array<EntityId, 3>& e) { return Axiom::sub_class_of(e[0], e[1]); }},
    {"SubObjectPropertyOf", {{{"sub_property", kP}, {"super_property", kP}}}, 2,
     [](const std::array<EntityId, 3>& e) { return Axiom::sub_object_property_of(e[0], e[1]); }},
    {"ObjectPropertyDomain", {{{"property", kP}, {"domain", kC}}}, 2,
     [](const std::array<EntityId, 3>& e) { return Axiom::object_property_domain(e[0], e[1]); }},
    {"ObjectPropertyRange", {{{"property", kP}, {"range", kC}}}, 2,
     [](const std::array<EntityId, 3>& e) { return Axiom::object_property_range(e[0], e[1]); }},
    {"ClassAssertion", {{{"individual", kI}, {"class", kC}}}, 2,
     [](const std::array<EntityId, 3>& e) { return Axiom::class_assertion(e[0], e[1]); }},
    {"ObjectPropertyAssertion", {{{"subject", kI}, {"property", kP}, {"object", kI}}}, 3,
     [](const std::array<EntityId, 3>& e) { return Axiom::object_property_assertion(e[0], e[1], e[2]); }},
};

// The entity of an IRI with the kind an edit gives it, registered when new
// (a second kind puns); a core error is RuntimeError with its text.
Result<EntityId> resolve(Ontology& ontology, std::string_view iri, EntityKind kind) {
  auto id = ontology.entity_id(iri, kind);
  if (!id) return std::unexpected(convert::py_err(id.error().message()));
  return *id;
}

Result<void> add_told(Ontology& ontology, Axiom axiom) {
  auto added = ontology.add_axiom(std::move(axiom));
  if (!added) return std::unexpected(exceptions::map_core_py_err(added.error()));
  return {};
}

// Makes `edit` on a copy of the working ontology and keeps the copy only
// when the edit succeeds; then the taxonomy goes and the change is pushed.
template <class Edit>
Result<Ref> edit_working(PyReasoner& self, Edit&& edit) {
  Ontology copy = self.reasoner.ontology().clone();
  if (auto done = edit(copy); !done) return std::unexpected(std::move(done.error()));
  self.reasoner.ontology_mut() = std::move(copy);
  self.taxonomy.reset();
  if (auto pushed = push_shared(self); !pushed) return std::unexpected(std::move(pushed.error()));
  return Ref::none();
}

Result<std::array<std::string, 2>> two_strings(const Args& args) {
  auto a = args.str(0);
  if (!a) return std::unexpected(std::move(a.error()));
  auto b = args.str(1);
  if (!b) return std::unexpected(std::move(b.error()));
  return std::array<std::string, 2>{std::move(*a), std::move(*b)};
}

// The entity an IRI names: "unknown class IRI: {}" when none.
Result<EntityId> registered(const Ontology& ontology, const std::string& iri) {
  auto id = ontology.try_lookup_entity(iri);
  if (!id) return std::unexpected(convert::py_err(id.error().message()));
  if (!*id) return std::unexpected(convert::py_err("unknown class IRI: " + iri));
  return **id;
}

// The first live told SubClassOf(sub, sup) in id order; the entities'
// kinds play no part. Walks the SubClassOf axioms only, and only when the
// superclass index shows the pair at all.
std::optional<trelvanic_core::AxiomId> find_told_subclass_axiom(const Ontology& ontology, EntityId sub,
                                                               EntityId sup) {
  auto supers = ontology.direct_superclasses(sub);
  if (std::find(supers.begin(), supers.end(), sup) == supers.end()) return std::nullopt;
  std::optional<trelvanic_core::AxiomId> first;
  const auto& store = ontology.axioms();
  for (trelvanic_core::AxiomId id : ontology.index().by_kind(trelvanic_core::AxiomKind::SubClassOf)) {
    if (store.is_removed(id) || store.is_inferred(id)) continue;
    auto view = store.view(id);
    if (view.subclass() == sub && view.superclass() == sup && (!first || id.value < first->value)) first = id;
  }
  return first;
}

}  // namespace

Result<void> apply_snapshot_axiom(Ontology& ontology, const trelvanic_json::Value& value) {
  const Form* form = nullptr;
  const trelvanic_json::Value* inner = nullptr;
  if (value.is_object()) {
    for (const Form& f : kForms) {
      if ((inner = value.find(f.key))) {
        form = &f;
        break;
      }
    }
  }
  if (!form) return std::unexpected(convert::py_err(kUnsupportedAxiom));
  std::array<const std::string*, 3> iris{};
  for (std::size_t i = 0; i < form->count; ++i) {
    const trelvanic_json::Value* field = inner->find(form->fields[i].name);
    iris[i] = field ? field->as_string() : nullptr;
    if (!iris[i]) {
      return std::unexpected(convert::py_err(std::string(form->key) + " missing " + form->fields[i].name));
    }
  }
  std::array<EntityId, 3> ids{};
  for (std::size_t i = 0; i < form->count; ++i) {
    auto id = resolve(ontology, *iris[i], form->fields[i].kind);
    if (!id) return std::unexpected(std::move(id.error()));
    ids[i] = *id;
  }
  return add_told(ontology, form->make(ids));
}

Result<Ref> add_axiom_json(PyReasoner& self, PyObject*, const Args& args) {
  PyObject* axiom = args.get(0);
  if (auto pulled = pull_shared(self); !pulled) return std::unexpected(std::move(pulled.error()));
  auto text = trelvanic_binding::json_dumps(axiom);
  if (!text) return std::unexpected(std::move(text.error()));
  if (text->size() > kMaxAxiomJsonBytes) {
    return std::unexpected(exceptions::map_core_py_err(trelvanic_core::Error::serialization(
        "axiom JSON exceeds maximum size of " + std::to_string(kMaxAxiomJsonBytes) + " bytes")));
  }
  auto value = trelvanic_json::parse_value(*text);
  if (!value) return std::unexpected(convert::py_err(value.error().text()));
  return edit_working(self, [&](Ontology& o) { return apply_snapshot_axiom(o, *value); });
}

Result<Ref> add_subclass_of(PyReasoner& self, PyObject*, const Args& args) {
  auto iris = two_strings(args);
  if (!iris) return std::unexpected(std::move(iris.error()));
  if (auto pulled = pull_shared(self); !pulled) return std::unexpected(std::move(pulled.error()));
  return edit_working(self, [&](Ontology& o) -> Result<void> {
    auto sub = resolve(o, (*iris)[0], EntityKind::Class);
    if (!sub) return std::unexpected(std::move(sub.error()));
    auto sup = resolve(o, (*iris)[1], EntityKind::Class);
    if (!sup) return std::unexpected(std::move(sup.error()));
    return add_told(o, Axiom::sub_class_of(*sub, *sup));
  });
}

Result<Ref> remove_subclass_of(PyReasoner& self, PyObject*, const Args& args) {
  auto iris = two_strings(args);
  if (!iris) return std::unexpected(std::move(iris.error()));
  if (auto pulled = pull_shared(self); !pulled) return std::unexpected(std::move(pulled.error()));
  const Ontology& working = self.reasoner.ontology();
  auto sub = registered(working, (*iris)[0]);
  if (!sub) return std::unexpected(std::move(sub.error()));
  auto sup = registered(working, (*iris)[1]);
  if (!sup) return std::unexpected(std::move(sup.error()));
  std::optional<trelvanic_core::AxiomId> found = find_told_subclass_axiom(working, *sub, *sup);
  if (!found) {
    return std::unexpected(
        convert::py_err("no SubClassOf axiom for " + (*iris)[0] + " \u2291 " + (*iris)[1]));
  }
  return edit_working(self, [&](Ontology& o) -> Result<void> {
    auto removed = o.remove_axiom(*found);
    if (!removed) return std::unexpected(exceptions::map_core_py_err(removed.error()));
    return {};
  });
}

}  // namespace _trelvanic::reasoner
