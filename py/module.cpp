#include "py/module.h"

#include "binding/module.h"
#include "py/builder.h"
#include "py/exceptions.h"
#include "py/ontology.h"
#include "py/reasoner.h"

namespace _trelvanic {

using trelvanic_binding::Result;

namespace {

// Single-phase initialisation: no per-module state and no module-level
// functions; the docstring is empty rather than absent.
trelvanic_binding::ModuleDef MODULE_DEF = {
    {PyModuleDef_HEAD_INIT, "_trelvanic", "", 0, nullptr, nullptr, nullptr, nullptr, nullptr},
    module_init,
    {-1},
    {},
};

}  // namespace

Result<void> module_init(PyObject* module) {
  if (auto ok = exceptions::register_exceptions(module); !ok) return ok;
  using ClassFn = Result<PyObject*> (*)();
  static constexpr std::pair<const char*, ClassFn> kClasses[] = {
      {"Reasoner", reasoner::reasoner_class},
      {"Ontology", ontology::ontology_class},
      {"OntologyBuilder", ontology::ontology_builder_class},
  };
  for (const auto& [name, make] : kClasses) {
    auto type = make();
    if (!type) return std::unexpected(std::move(type.error()));
    if (auto ok = trelvanic_binding::module_add(module, name, *type); !ok) return ok;
  }
  return {};
}

PyObject* module_create() { return trelvanic_binding::module_get_or_create(MODULE_DEF); }

}  // namespace _trelvanic
