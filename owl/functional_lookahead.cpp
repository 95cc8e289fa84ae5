#include "owl/functional_lookahead.h"

#include "owl/prefixes.h"

namespace trelvanic_owl {

void FunctionalLookahead::run(size_t pos) {
  ring_.drop_before(pos);
  if (scan_ < pos) scan_ = pos;
  while (!ring_.full() && scan_ < in_.size() && scan_ < pos + kMaxBytesAhead) scan_token();
}

std::optional<size_t> FunctionalLookahead::hash_at(size_t offset, size_t length) {
  return ring_.hash_at(offset, length);
}

const std::string* FunctionalLookahead::prefix_iri(std::string_view name) {
  if (last_prefix_iri_ != nullptr && name == last_prefix_name_) return last_prefix_iri_;
  auto it = prefixes_.find(absl::string_view(name.data(), name.size()));
  if (it == prefixes_.end()) return nullptr;
  last_prefix_name_.assign(name);
  last_prefix_iri_ = &it->second;
  return last_prefix_iri_;
}

// One token with the reader's lexical rules; strings the parser interns are
// recorded at the offset it will read them from.
void FunctionalLookahead::scan_token() {
  size_t start = scan_;
  auto c = static_cast<unsigned char>(in_[scan_]);
  if (is_functional_space(c)) {
    ++scan_;
    return;
  }
  if (c == '#') {
    size_t end = in_.find('\n', scan_);
    scan_ = end == std::string_view::npos ? in_.size() : end;
    return;
  }
  if (c == '<') {
    size_t i = scan_ + 1;
    while (i < in_.size()) {
      auto d = static_cast<unsigned char>(in_[i]);
      if (d == '>') {
        ring_.record(start, in_.substr(scan_ + 1, i - scan_ - 1));
        scan_ = i + 1;
        return;
      }
      if (is_functional_space(d) || d == '<' || d == '"') break;
      ++i;
    }
    scan_ = i;  // malformed: the parser stops here
    return;
  }
  if (c == '"') {
    size_t i = scan_ + 1;
    bool escapes = false;
    while (i < in_.size() && in_[i] != '"') {
      if (in_[i] == '\\') {
        escapes = true;
        ++i;
      }
      ++i;
    }
    if (i >= in_.size()) {
      scan_ = in_.size();
      return;
    }
    if (!escapes) ring_.record(start, in_.substr(scan_ + 1, i - scan_ - 1));
    scan_ = i + 1;
    return;
  }
  if (is_functional_delimiter(c)) {
    ++scan_;
    return;
  }
  size_t i = scan_;
  size_t colon = std::string_view::npos;
  for (; i < in_.size(); ++i) {
    char d = in_[i];
    if (is_functional_delimiter(static_cast<unsigned char>(d))) break;
    if (d == ':' && colon == std::string_view::npos) colon = i - scan_;
  }
  std::string_view word = in_.substr(scan_, i - scan_);
  scan_ = i;
  if (colon == std::string_view::npos || word.starts_with("_:")) return;
  const std::string* iri = prefix_iri(word.substr(0, colon));
  if (iri == nullptr || iri->size() + (word.size() - colon - 1) > kMaxBuiltIriBytes) return;  // the parser refuses it
  expanded_.assign(*iri);
  expanded_.append(word.substr(colon + 1));
  ring_.record(start, expanded_);
}

}  // namespace trelvanic_owl
