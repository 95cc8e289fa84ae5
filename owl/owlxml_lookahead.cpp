#include "owl/owlxml_lookahead.h"

#include <algorithm>
#include <cstring>

#include "owl/prefixes.h"

namespace trelvanic_owl {

namespace {

bool is_xml_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string_view trim_xml_space(std::string_view text) {
  while (!text.empty() && is_xml_space(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_xml_space(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view attribute_iri(std::string_view value, const BaseResolver* resolver, std::string& scratch) {
  if (resolver == nullptr || iri_has_scheme(value)) return value;
  scratch.clear();
  resolver->resolve_into(value, scratch);
  return scratch;
}

void OwlXmlLookahead::run(size_t pos) {
  constexpr std::string_view kName = "IRI";
  ring_.drop_before(pos);
  scan_ = std::max(scan_, pos);
  const size_t limit = std::min(in_.size(), pos + kMaxBytesAhead);
  while (!ring_.full() && scan_ < limit) {
    // One search per attribute: for its '=' (plain values hold no markup
    // that could hide one; a '=' elsewhere only costs a look).
    const void* hit = std::memchr(in_.data() + scan_, '=', limit - scan_);
    if (hit == nullptr) {
      scan_ = limit;
      return;
    }
    const size_t at = static_cast<size_t>(static_cast<const char*>(hit) - in_.data());
    // the IRI attribute itself, not ontologyIRI or datatypeIRI
    if (at <= kName.size() || in_.substr(at - kName.size(), kName.size()) != kName ||
        !is_xml_space(in_[at - kName.size() - 1])) {
      scan_ = at + 1;
      continue;
    }
    const bool quoted = at + 1 < limit && (in_[at + 1] == '"' || in_[at + 1] == '\'');
    if (at + 1 < limit && !quoted) {
      scan_ = at + 1;
      continue;
    }
    const void* close = quoted ? std::memchr(in_.data() + at + 2, in_[at + 1], limit - at - 2) : nullptr;
    if (close == nullptr) {
      scan_ = at;  // the value runs past the window: a later run takes it up from its '='
      return;
    }
    const size_t end = static_cast<size_t>(static_cast<const char*>(close) - in_.data());
    const std::string_view value = trim_xml_space(in_.substr(at + 2, end - at - 2));
    scan_ = end + 1;
    if (value.empty()) continue;
    ring_.record(static_cast<size_t>(value.data() - in_.data()), value.size(),
                 attribute_iri(value, resolver_, expanded_));
  }
}

}  // namespace trelvanic_owl
