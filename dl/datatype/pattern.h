// XML Schema regular expressions, as the pattern facet uses them.
//
//   auto p = compile_pattern("[0-9]{3}-[A-Z]+");
//   pattern_match(*p, "123-AB");   // true
//   pattern_match(*p, "123-AB\n"); // false: a pattern matches the whole text
//
// The dialect is XSD's: a pattern is implicitly anchored at both ends and
// "^" and "$" are ordinary characters outside a character class; classes
// take ranges, negation, subtraction ("[a-z-[aeiou]]"), the escapes \s \d
// \w \i \c (and their complements) and the categories and blocks \p{..}.
// Matching runs a state set over a Thompson automaton, so it takes time
// linear in the text for a fixed pattern and never backtracks.
//
// Answers are three-valued. Unicode categories, \d, \w, \i and \c are
// decided for ASCII characters (and \p{IsBasicLatin} everywhere); a
// character outside ASCII that only such a class could match makes the
// answer none rather than a guess. A pattern that does not compile (bad
// syntax, an automaton past the size cap, nesting past the depth cap)
// leaves every answer none: an unreadable pattern never rejects a text.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace trelvanic_dl::datatype {

struct CompiledPattern;

struct PatternDeleter {
  void operator()(CompiledPattern* p) const;
};
using Pattern = std::unique_ptr<CompiledPattern, PatternDeleter>;

// None when the text is not a pattern this matcher can run.
[[nodiscard]] Pattern compile_pattern(std::string_view pattern);

// Whether the whole text (UTF-8) matches; none when it cannot be decided.
[[nodiscard]] std::optional<bool> pattern_match(const CompiledPattern& pattern, std::string_view text);

// A shortest text the pattern surely matches, as found by reading one
// chosen character for each class; none when no such text is found.
[[nodiscard]] std::optional<std::string> pattern_example(const CompiledPattern& pattern);

// compile_pattern and pattern_match in one call (none when either is).
[[nodiscard]] std::optional<bool> pattern_matches(std::string_view pattern, std::string_view text);

}  // namespace trelvanic_dl::datatype
