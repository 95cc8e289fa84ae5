// Test helper: blank-node labels differ between readers and runs, so
// comparisons of written axioms replace each label `_:xyz` by `_:*`.
#pragma once

#include <string>
#include <string_view>

namespace trelvanic_test {

// `text` with every `_:` label (up to a space or one of `stops`) written `_:*`.
inline std::string without_blank_labels(std::string_view text, std::string_view stops = ")") {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (text.compare(i, 2, "_:") != 0) {
      out += text[i++];
      continue;
    }
    size_t end = i + 2;
    while (end < text.size() && text[end] != ' ' && stops.find(text[end]) == std::string_view::npos) ++end;
    if (end == i + 2) {  // nothing to blank, as a pattern needing one character would leave it
      out += text[i++];
      continue;
    }
    out += "_:*";
    i = end;
  }
  return out;
}

}  // namespace trelvanic_test
