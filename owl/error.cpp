#include "owl/error.h"

#include <fmt/format.h>

namespace trelvanic_owl {

std::string Error::text() const {
  if (line_ == 0) return message_;
  if (column_ == 0) return fmt::format("{} at line {}", message_, line_);
  return fmt::format("{} at line {}, column {}", message_, line_, column_);
}

}  // namespace trelvanic_owl
