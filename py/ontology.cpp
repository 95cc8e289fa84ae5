#include "py/ontology.h"

#include "py/common.h"

namespace _trelvanic::ontology {

using trelvanic_binding::Access;
using trelvanic_binding::Args;
using trelvanic_binding::Ref;
using trelvanic_binding::Result;
using trelvanic_binding::Signature;

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

Result<Ref> from_json(PyTypeObject*, const Args& args) {
  TRELVANIC_TRY(args.str(0));
  return std::unexpected(not_built("Ontology.from_json"));
}

Result<Ref> from_json_with_limits(PyTypeObject*, const Args& args) {
  TRELVANIC_TRY(args.str(0));
  for (std::size_t i = 1; i <= 4; ++i) TRELVANIC_TRY(args.optional_usize(i));
  return std::unexpected(not_built("Ontology.from_json_with_limits"));
}

Result<Ref> from_dict(PyTypeObject*, const Args& args) {
  TRELVANIC_TRY(args.dict(0));
  return std::unexpected(not_built("Ontology.from_dict"));
}

Result<Ref> load_in(PyTypeObject*, const Args& args) {
  TRELVANIC_TRY(args.str(0));
  TRELVANIC_TRY(args.str(1));
  return std::unexpected(not_built("Ontology.load_in"));
}

Result<Ref> to_json(const PyOntology&, PyObject*) { return std::unexpected(not_built("Ontology.to_json")); }
Result<Ref> to_dict(const PyOntology&, PyObject*) { return std::unexpected(not_built("Ontology.to_dict")); }
Result<Ref> axiom_count(const PyOntology&, PyObject*) {
  return std::unexpected(not_built("Ontology.axiom_count"));
}
Result<Ref> entity_count(const PyOntology&, PyObject*) {
  return std::unexpected(not_built("Ontology.entity_count"));
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

Result<PyObject*> ontology_class() {
  return trelvanic_binding::native_class<PyOntology>(trelvanic_binding::class_spec<PyOntology>(
      "In-memory ontology constructed from JSON or the builder API.",
      trelvanic_binding::no_constructor<PyOntology>, kMethods, kProperties));
}

}  // namespace _trelvanic::ontology
