// Calls into Python's standard library that the module makes: the `json`
// module (to turn result texts into dictionaries and objects into text)
// and `warnings.warn`. Each imports the module and looks the function up at
// the time of the call, so Python-level replacements and warning filters
// apply. Python errors on the way are returned unchanged. The interpreter
// lock must be held.
#pragma once

#include <Python.h>

#include <string>
#include <string_view>

#include "binding/error.h"
#include "binding/ref.h"

namespace trelvanic_binding {

// `getattr(import(module), name)`.
[[nodiscard]] Result<Ref> import_attr(const char* module, const char* name);

// `json.loads(text)`.
[[nodiscard]] Result<Ref> json_loads(std::string_view text);

// `json.dumps(obj)` with default options; the result must be a str.
[[nodiscard]] Result<std::string> json_dumps(PyObject* obj);

// `warnings.warn(message)` with no category and no stack level, so Python
// issues a UserWarning. Fails when a filter turns the warning into an error.
[[nodiscard]] Result<void> warn(std::string_view message);

// `str` of a UTF-8 text.
[[nodiscard]] Result<Ref> to_py_str(std::string_view text);

}  // namespace trelvanic_binding
