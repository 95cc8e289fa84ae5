#include "py/builder.h"

#include "py/common.h"

namespace _trelvanic::ontology {

using trelvanic_binding::Access;
using trelvanic_binding::Args;
using trelvanic_binding::Ref;
using trelvanic_binding::Result;
using trelvanic_binding::Signature;

namespace {

constexpr Signature kNew{"OntologyBuilder", {}};
constexpr Signature kAddClass{"add_class", {{"iri", true}}};
constexpr Signature kIndividual{"individual", {{"iri", true}}};
constexpr Signature kObjectProperty{"object_property", {{"iri", true}}};
constexpr Signature kSubclassOf{"subclass_of", {{"subclass", true}, {"superclass", true}}};
constexpr Signature kSubpropertyOf{"subproperty_of", {{"sub", true}, {"sup", true}}};
constexpr Signature kPropertyDomain{"property_domain", {{"property", true}, {"domain", true}}};
constexpr Signature kPropertyRange{"property_range", {{"property", true}, {"range", true}}};
constexpr Signature kClassAssertion{"class_assertion", {{"individual", true}, {"class", true}}};
constexpr Signature kObjectPropertyAssertion{
    "object_property_assertion", {{"subject", true}, {"property", true}, {"object", true}}};

Result<Ref> construct(PyTypeObject* cls, const Args&) {
  return NativeOntologyBuilder::create_in(cls, PyOntologyBuilder{});
}

// One builder step: every argument is converted to text before the
// ontology is touched, so a wrong argument leaves the builder as it was.
template <const Signature& Sig>
Result<Ref> step(PyOntologyBuilder&, PyObject*, const Args& args) {
  for (std::size_t i = 0; i < Sig.count; ++i) TRELVANIC_TRY(args.str(i));
  return std::unexpected(not_built((std::string("OntologyBuilder.") + Sig.name).c_str()));
}

Result<Ref> build(PyOntologyBuilder&, PyObject*) {
  return std::unexpected(not_built("OntologyBuilder.build"));
}

using namespace trelvanic_binding;

template <const Signature& Sig>
constexpr PyMethodDef step_def(const char* doc) {
  return method_def(Sig.name, method<PyOntologyBuilder, Sig, step<Sig>, Access::Exclusive>, doc);
}

PyMethodDef kMethods[] = {
    step_def<kAddClass>("add_class($self, iri)\n--\n\n"),
    step_def<kIndividual>("individual($self, iri)\n--\n\n"),
    step_def<kObjectProperty>("object_property($self, iri)\n--\n\n"),
    step_def<kSubclassOf>("subclass_of($self, subclass, superclass)\n--\n\n"),
    step_def<kSubpropertyOf>("subproperty_of($self, sub, sup)\n--\n\n"),
    step_def<kPropertyDomain>("property_domain($self, property, domain)\n--\n\n"),
    step_def<kPropertyRange>("property_range($self, property, range)\n--\n\n"),
    step_def<kClassAssertion>("class_assertion($self, individual, class)\n--\n\n"),
    step_def<kObjectPropertyAssertion>("object_property_assertion($self, subject, property, object)\n--\n\n"),
    noargs_def("build", method_noargs<PyOntologyBuilder, build, Access::Exclusive>, "build($self)\n--\n\n"),
    kMethodEnd,
};

}  // namespace

Result<PyObject*> ontology_builder_class() {
  return native_class<PyOntologyBuilder>(class_spec<PyOntologyBuilder>(
      "OntologyBuilder()\n--\n\nFluent builder for constructing ontologies in memory.",
      constructor<kNew, construct>, kMethods, nullptr));
}

}  // namespace _trelvanic::ontology
