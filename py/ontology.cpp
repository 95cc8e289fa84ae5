#include "py/ontology.h"

#include "binding/pycall.h"
#include "core/limits.h"
#include "core/serialize.h"
#include "parser/load.h"
#include "py/cancel.h"
#include "py/common.h"
#include "py/convert.h"
#include "py/exceptions.h"

namespace _trelvanic::ontology {

using trelvanic_binding::Access;
using trelvanic_binding::Args;
using trelvanic_binding::Ref;
using trelvanic_binding::Result;
using trelvanic_binding::Signature;
using trelvanic_core::OntologyLimits;

namespace {

constexpr Signature kFromJson{"from_json", {{"json", true}}};
constexpr Signature kFromJsonWithLimits{"from_json_with_limits",
                                        {{"json", true},
                                         {"max_json_bytes", false, true},
                                         {"max_entities", false, true},
                                         {"max_axioms", false, true},
                                         {"max_iri_len", false, true}}};
constexpr Signature kFromDict{"from_dict", {{"data", true}}};
constexpr Signature kLoadIn{"load_in", {{"base", true}, {"path", true}}};

// Reads a snapshot under `limits`, which then govern later additions to
// the ontology.
Result<Ref> read_snapshot(std::string_view text, const OntologyLimits& limits) {
  auto read = trelvanic_core::from_json_with_limits(text, limits);
  if (!read) return std::unexpected(exceptions::map_core_py_err(read.error()));
  read->set_limits(limits);
  return wrap_ontology(std::move(*read));
}

Result<Ref> from_json(PyTypeObject*, const Args& args) {
  auto text = args.str(0);
  if (!text) return std::unexpected(std::move(text.error()));
  return read_snapshot(*text, trelvanic_core::kDefaultLimits);
}

Result<Ref> from_json_with_limits(PyTypeObject*, const Args& args) {
  auto text = args.str(0);
  if (!text) return std::unexpected(std::move(text.error()));
  OntologyLimits limits;
  size_t* fields[] = {&limits.max_json_bytes, &limits.max_entities, &limits.max_axioms, &limits.max_iri_len};
  for (std::size_t i = 0; i < 4; ++i) {
    auto value = args.optional_usize(i + 1);
    if (!value) return std::unexpected(std::move(value.error()));
    if (*value) *fields[i] = **value;
  }
  return read_snapshot(*text, limits);
}

Result<Ref> from_dict(PyTypeObject*, const Args& args) {
  auto data = args.dict(0);
  if (!data) return std::unexpected(std::move(data.error()));
  auto text = trelvanic_binding::json_dumps(*data);
  if (!text) return std::unexpected(std::move(text.error()));
  return read_snapshot(*text, trelvanic_core::kDefaultLimits);
}

Result<Ref> load_in(PyTypeObject*, const Args& args) {
  auto base = args.path(0);
  if (!base) return std::unexpected(std::move(base.error()));
  auto path = args.path(1);
  if (!path) return std::unexpected(std::move(path.error()));
  auto loaded = load_cancellable([&] { return trelvanic_parser::load_ontology_in(*base, *path); });
  if (!loaded) return std::unexpected(std::move(loaded.error()));
  loaded->set_limits(trelvanic_core::kDefaultLimits);
  return wrap_ontology(std::move(*loaded));
}

// Runs `read` on the shared ontology with its mutex held.
template <class F>
auto with_locked(const PyOntology& self, F&& read) -> Result<decltype(read(std::declval<trelvanic_core::Ontology&>()))> {
  auto locked = self.inner->lock();
  if (!locked) return std::unexpected(exceptions::map_sync_py_err(locked.error()));
  return read(**locked);
}

Result<std::string> snapshot_text(const PyOntology& self) {
  auto text = with_locked(self, [](trelvanic_core::Ontology& o) { return trelvanic_core::to_json(o); });
  if (!text) return std::unexpected(std::move(text.error()));
  if (!*text) return std::unexpected(convert::py_err(text->error().message()));
  return std::move(**text);
}

Result<Ref> to_json(const PyOntology& self, PyObject*) {
  auto text = snapshot_text(self);
  if (!text) return std::unexpected(std::move(text.error()));
  return trelvanic_binding::to_py_str(*text);
}

Result<Ref> to_dict(const PyOntology& self, PyObject*) {
  auto text = snapshot_text(self);
  if (!text) return std::unexpected(std::move(text.error()));
  auto value = trelvanic_binding::json_loads(*text);
  if (!value) return value;
  if (!PyDict_Check(value->get())) {
    return std::unexpected(convert::py_err(std::string("expected dict from ontology JSON, got ") +
                                           trelvanic_binding::type_name_of(value->get())));
  }
  return value;
}

Result<Ref> size_of(std::size_t n) { return trelvanic_binding::checked(PyLong_FromSize_t(n)); }

Result<Ref> axiom_count(const PyOntology& self, PyObject*) {
  auto n = with_locked(self, [](trelvanic_core::Ontology& o) { return o.axiom_count(); });
  if (!n) return std::unexpected(std::move(n.error()));
  return size_of(*n);
}

Result<Ref> entity_count(const PyOntology& self, PyObject*) {
  auto n = with_locked(self, [](trelvanic_core::Ontology& o) { return o.entity_count(); });
  if (!n) return std::unexpected(std::move(n.error()));
  return size_of(*n);
}

using namespace trelvanic_binding;

PyMethodDef kMethods[] = {
    class_method_def("from_json", class_method<kFromJson, from_json>, "from_json($cls, json)\n--\n\n"),
    class_method_def("from_json_with_limits", class_method<kFromJsonWithLimits, from_json_with_limits>,
                     "from_json_with_limits($cls, json, *, max_json_bytes=None, max_entities=None, "
                     "max_axioms=None, max_iri_len=None)\n--\n\n"),
    class_method_def("from_dict", class_method<kFromDict, from_dict>, "from_dict($cls, data)\n--\n\n"),
    class_method_def("load_in", class_method<kLoadIn, load_in>, "load_in($cls, base, path)\n--\n\n"),
    noargs_def("to_json", method_noargs<PyOntology, to_json, Access::Shared>, "to_json($self)\n--\n\n"),
    noargs_def("to_dict", method_noargs<PyOntology, to_dict, Access::Shared>, "to_dict($self)\n--\n\n"),
    kMethodEnd,
};

PyGetSetDef kProperties[] = {
    getter_def("axiom_count", property_getter<PyOntology, axiom_count>, ""),
    getter_def("entity_count", property_getter<PyOntology, entity_count>, ""),
    kGetSetEnd,
};

}  // namespace

Result<Ref> wrap_ontology(trelvanic_core::Ontology ontology) {
  return NativeOntology::create(
      PyOntology{std::make_shared<trelvanic_facade::SharedOntology>(std::move(ontology))});
}

Result<PyObject*> ontology_class() {
  return trelvanic_binding::native_class<PyOntology>(trelvanic_binding::class_spec<PyOntology>(
      "In-memory ontology constructed from JSON or the builder API.",
      trelvanic_binding::no_constructor<PyOntology>, kMethods, kProperties));
}

}  // namespace _trelvanic::ontology
