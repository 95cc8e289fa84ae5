#include "py/module.h"

namespace _trelvanic {
namespace {

PyModuleDef kModuleDef = {
    PyModuleDef_HEAD_INIT, "_trelvanic", "", 0, nullptr, nullptr, nullptr, nullptr, nullptr,
};

}  // namespace

PyObject* module_create() { return PyModule_Create(&kModuleDef); }

}  // namespace _trelvanic
