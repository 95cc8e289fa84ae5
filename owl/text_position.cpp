#include "owl/text_position.h"

namespace trelvanic_owl {

std::pair<uint32_t, uint32_t> line_and_column(std::string_view text, size_t offset) {
  if (offset > text.size()) offset = text.size();
  uint32_t line = 1;
  uint32_t column = 1;
  for (size_t i = 0; i < offset; ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c == '\n') {
      ++line;
      column = 1;
    } else if ((c & 0xC0) != 0x80) {
      ++column;
    }
  }
  return {line, column};
}

}  // namespace trelvanic_owl
