#include "py/reasoner.h"

#include "binding/pycall.h"
#include "py/common.h"
#include "py/ontology.h"

namespace _trelvanic::reasoner {

using trelvanic_binding::Access;
using trelvanic_binding::Args;
using trelvanic_binding::Error;
using trelvanic_binding::Ref;
using trelvanic_binding::Result;
using trelvanic_binding::Signature;

namespace {

constexpr Signature kNew{"Reasoner",
                         {{"path"},
                          {"ontology"},
                          {"profile"},
                          {"incremental"},
                          {"budget_secs"},
                          {"trusted"},
                          {"lenient"}}};
constexpr Signature kLoadIn{"load_in",
                            {{"base", true},
                             {"path", true},
                             {"profile", false, true},
                             {"incremental", false, true},
                             {"budget_secs", false, true},
                             {"lenient", false, true}}};
constexpr Signature kSubclassPair{"add_subclass_of", {{"subclass", true}, {"superclass", true}}};
constexpr Signature kRemoveSubclassPair{"remove_subclass_of",
                                        {{"subclass", true}, {"superclass", true}}};
constexpr Signature kAddAxiomJson{"add_axiom_json", {{"axiom", true}}};
constexpr Signature kIsEntailed{"is_entailed",
                                {{"sub"},
                                 {"sup"},
                                 {"individual", false, true},
                                 {"class_", false, true},
                                 {"subject", false, true},
                                 {"property", false, true},
                                 {"object", false, true}}};
constexpr Signature kQuery{"query", {{"query", true}}};

Result<Ref> construct(PyTypeObject*, const Args& args) {
  auto path = args.optional_str(0);
  if (!path) return std::unexpected(std::move(path.error()));
  auto ontology = args.optional_instance(1, reinterpret_cast<PyObject*>(ontology::NativeOntology::type()),
                                         ontology::PyOntology::kPythonName);
  if (!ontology) return std::unexpected(std::move(ontology.error()));
  // The ontology is used on this thread and held by a shared borrow for
  // the whole constructor.
  std::optional<ontology::NativeOntology::Guard<const ontology::PyOntology>> shared;
  if (*ontology) {
    auto guard = ontology::NativeOntology::borrow(*ontology);
    if (!guard) return std::unexpected(std::move(guard.error()));
    shared.emplace(std::move(*guard));
  }
  TRELVANIC_TRY(args.optional_str(2));
  TRELVANIC_TRY(args.flag(3, false));
  TRELVANIC_TRY(args.optional_u64(4));
  auto trusted = args.flag(5, false);
  if (!trusted) return std::unexpected(std::move(trusted.error()));
  TRELVANIC_TRY(args.flag(6, false));

  if (path->has_value() == shared.has_value()) {
    return std::unexpected(Error::runtime("Reasoner requires exactly one of `path` or `ontology`"));
  }
  if (path->has_value()) {
    if (!*trusted) TRELVANIC_TRY(trelvanic_binding::warn(kUnsandboxedWarning));
    return std::unexpected(not_built("Reasoner(path=...)"));
  }
  return std::unexpected(not_built("Reasoner(ontology=...)"));
}

Result<Ref> load_in(PyTypeObject*, const Args& args) {
  TRELVANIC_TRY(args.str(0));
  TRELVANIC_TRY(args.str(1));
  TRELVANIC_TRY(args.optional_str(2));
  TRELVANIC_TRY(args.flag(3, false));
  TRELVANIC_TRY(args.optional_u64(4));
  TRELVANIC_TRY(args.flag(5, false));
  return std::unexpected(not_built("Reasoner.load_in"));
}

Result<Ref> parse_meta(const PyReasoner&, PyObject*) { return std::unexpected(not_built("Reasoner.parse_meta")); }
Result<Ref> taxonomy(const PyReasoner&, PyObject*) { return std::unexpected(not_built("Reasoner.taxonomy")); }
Result<Ref> classify(PyReasoner&, PyObject*) { return std::unexpected(not_built("Reasoner.classify")); }
Result<Ref> explain(PyReasoner&, PyObject*) { return std::unexpected(not_built("Reasoner.explain")); }

Result<Ref> add_subclass_of(PyReasoner&, PyObject*, const Args& args) {
  TRELVANIC_TRY(args.str(0));
  TRELVANIC_TRY(args.str(1));
  return std::unexpected(not_built("Reasoner.add_subclass_of"));
}

Result<Ref> remove_subclass_of(PyReasoner&, PyObject*, const Args& args) {
  TRELVANIC_TRY(args.str(0));
  TRELVANIC_TRY(args.str(1));
  return std::unexpected(not_built("Reasoner.remove_subclass_of"));
}

Result<Ref> add_axiom_json(PyReasoner&, PyObject*, const Args&) {
  return std::unexpected(not_built("Reasoner.add_axiom_json"));
}

Result<Ref> check_consistency(PyReasoner&, PyObject*) {
  return std::unexpected(not_built("Reasoner.check_consistency"));
}

Result<Ref> is_consistent(PyReasoner&, PyObject*) {
  return std::unexpected(not_built("Reasoner.is_consistent"));
}

Result<Ref> is_entailed(PyReasoner&, PyObject*, const Args& args) {
  for (std::size_t i = 0; i < kIsEntailed.count; ++i) TRELVANIC_TRY(args.optional_str(i));
  return std::unexpected(not_built("Reasoner.is_entailed"));
}

Result<Ref> query(PyReasoner&, PyObject*, const Args& args) {
  TRELVANIC_TRY(args.str(0));
  return std::unexpected(not_built("Reasoner.query"));
}

using namespace trelvanic_binding;

constexpr Access kMut = Access::Exclusive;

PyMethodDef kMethods[] = {
    class_method_def("load_in", class_method<kLoadIn, load_in>,
                     "load_in($cls, base, path, *, profile=None, incremental=False, budget_secs=None, "
                     "lenient=False)\n--\n\n"),
    noargs_def("classify", method_noargs<PyReasoner, classify, kMut>, "classify($self)\n--\n\n"),
    noargs_def("explain", method_noargs<PyReasoner, explain, kMut>, "explain($self)\n--\n\n"),
    method_def("add_subclass_of", method<PyReasoner, kSubclassPair, add_subclass_of, kMut>,
               "add_subclass_of($self, subclass, superclass)\n--\n\n"),
    method_def("remove_subclass_of", method<PyReasoner, kRemoveSubclassPair, remove_subclass_of, kMut>,
               "remove_subclass_of($self, subclass, superclass)\n--\n\n"),
    method_def("add_axiom_json", method<PyReasoner, kAddAxiomJson, add_axiom_json, kMut>,
               "add_axiom_json($self, axiom)\n--\n\n"),
    noargs_def("check_consistency", method_noargs<PyReasoner, check_consistency, kMut>,
               "check_consistency($self)\n--\n\n"
               "Check ontology consistency; returns `{\"consistent\": bool, \"complete\": bool}`."),
    noargs_def("is_consistent", method_noargs<PyReasoner, is_consistent, kMut>,
               "is_consistent($self)\n--\n\n"
               "Check ontology consistency; returns a bool and raises `IncompleteReasoningError` "
               "when the answer is incomplete."),
    method_def("is_entailed", method<PyReasoner, kIsEntailed, is_entailed, kMut>,
               "is_entailed($self, sub=None, sup=None, *, individual=None, class_=None, subject=None, "
               "property=None, object=None)\n--\n\n"
               "Check entailment for `SubClassOf`, `ClassAssertion`, or `ObjectPropertyAssertion`."),
    method_def("query", method<PyReasoner, kQuery, query, kMut>,
               "query($self, query)\n--\n\n"
               "Answer a conjunctive query after classification "
               "(e.g. `Type(?x, <http://example.org/Person>)`)."),
    kMethodEnd,
};

PyGetSetDef kProperties[] = {
    getter_def("parse_meta", property_getter<PyReasoner, parse_meta>,
               "Parse metadata from the loaded ontology (warnings and axiom counts)."),
    getter_def("taxonomy", property_getter<PyReasoner, taxonomy>,
               "Taxonomy from the last EL classification (`None` for RDFS/RL runs)."),
    kGetSetEnd,
};

}  // namespace

Result<PyObject*> reasoner_class() {
  return native_class<PyReasoner>(class_spec<PyReasoner>(
      "Reasoner(path=None, ontology=None, profile=None, incremental=False, budget_secs=None, "
      "trusted=False, lenient=False)\n--\n\nPython wrapper around the TrelVanic reasoner.",
      constructor<kNew, construct>, kMethods, kProperties));
}

}  // namespace _trelvanic::reasoner
