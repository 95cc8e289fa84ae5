#include "py/builder.h"

#include <array>
#include <string>
#include <utility>

#include "core/ontology_builder.h"
#include "py/common.h"
#include "py/exceptions.h"
#include "py/ontology.h"

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

using CoreBuilder = trelvanic_core::OntologyBuilder;
using Texts = std::array<std::string, 3>;

// One builder step: every argument is converted to text before the
// ontology is touched, and the step runs on a copy (its stores are shared
// until the first change), so a failed step, whether on an argument, an
// IRI or a kind conflict, leaves the builder's content as it was.
template <const Signature& Sig, auto Run>
Result<Ref> step(PyOntologyBuilder& self, PyObject*, const Args& args) {
  Texts texts;
  for (std::size_t i = 0; i < Sig.count; ++i) {
    auto text = args.str(i);
    if (!text) return std::unexpected(std::move(text.error()));
    texts[i] = std::move(*text);
  }
  auto built = Run(CoreBuilder(self.ontology.clone()), texts);
  if (!built) return std::unexpected(exceptions::map_core_py_err(built.error()));
  self.ontology = std::move(*built).build();
  return Ref::none();
}

// Hands the ontology over and starts again from empty.
Result<Ref> build(PyOntologyBuilder& self, PyObject*) {
  auto made = wrap_ontology(self.ontology.clone());
  if (made) self.ontology = trelvanic_core::Ontology();
  return made;
}

using namespace trelvanic_binding;

template <const Signature& Sig, auto Run>
constexpr PyMethodDef step_def(const char* doc) {
  return method_def(Sig.name, method<PyOntologyBuilder, Sig, step<Sig, Run>, Access::Exclusive>, doc);
}

// The core builder step of each method, over the converted texts.
#define TRELVANIC_STEP(call) [](CoreBuilder b, const Texts& a) { return std::move(b).call; }

PyMethodDef kMethods[] = {
    step_def<kAddClass, TRELVANIC_STEP(add_class(a[0]))>("add_class($self, iri)\n--\n\n"),
    step_def<kIndividual, TRELVANIC_STEP(individual(a[0]))>("individual($self, iri)\n--\n\n"),
    step_def<kObjectProperty, TRELVANIC_STEP(object_property(a[0]))>("object_property($self, iri)\n--\n\n"),
    step_def<kSubclassOf, TRELVANIC_STEP(subclass_of(a[0], a[1]))>(
        "subclass_of($self, subclass, superclass)\n--\n\n"),
    step_def<kSubpropertyOf, TRELVANIC_STEP(subproperty_of(a[0], a[1]))>("subproperty_of($self, sub, sup)\n--\n\n"),
    step_def<kPropertyDomain, TRELVANIC_STEP(property_domain(a[0], a[1]))>(
        "property_domain($self, property, domain)\n--\n\n"),
    step_def<kPropertyRange, TRELVANIC_STEP(property_range(a[0], a[1]))>(
        "property_range($self, property, range)\n--\n\n"),
    step_def<kClassAssertion, TRELVANIC_STEP(class_assertion(a[0], a[1]))>(
        "class_assertion($self, individual, class)\n--\n\n"),
    step_def<kObjectPropertyAssertion, TRELVANIC_STEP(object_property_assertion(a[0], a[1], a[2]))>(
        "object_property_assertion($self, subject, property, object)\n--\n\n"),
    noargs_def("build", method_noargs<PyOntologyBuilder, build, Access::Exclusive>, "build($self)\n--\n\n"),
    kMethodEnd,
};

#undef TRELVANIC_STEP

}  // namespace

Result<PyObject*> ontology_builder_class() {
  return native_class<PyOntologyBuilder>(class_spec<PyOntologyBuilder>(
      "OntologyBuilder()\n--\n\nFluent builder for constructing ontologies in memory.",
      constructor<kNew, construct>, kMethods, nullptr));
}

}  // namespace _trelvanic::ontology
