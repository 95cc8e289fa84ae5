// Line and column (both from 1) of a byte offset in a text; columns count
// characters of UTF-8, not bytes. Computed only when an error is reported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

namespace trelvanic_owl {

[[nodiscard]] std::pair<uint32_t, uint32_t> line_and_column(std::string_view text, size_t offset);

}  // namespace trelvanic_owl
