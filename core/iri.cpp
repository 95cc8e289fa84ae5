#include "core/iri.h"

#include <fmt/format.h>


namespace trelvanic_core {
namespace {

bool is_scheme_char(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
         c == '-' || c == '.';
}

// Control characters are below 0x20 or 0x7F. In UTF-8 every such code point
// is one byte, and no byte of a multi-byte sequence is in that range, so a
// byte test is exact for well-formed text (and never misses for ill-formed).
bool has_control(std::string_view s) {
  for (unsigned char c : s)
    if (c < 0x20 || c == 0x7F) return true;
  return false;
}

}  // namespace

Result<void> validate_iri_syntax(std::string_view iri, size_t max_len) {
  if (iri.empty()) return std::unexpected(Error::invalid_iri("IRI must not be empty"));
  if (iri.size() > max_len)
    return std::unexpected(
        Error::invalid_iri(fmt::format("IRI exceeds maximum length of {} bytes", max_len)));
  if (has_control(iri))
    return std::unexpected(Error::invalid_iri(fmt::format("IRI contains control characters: {}", iri)));
  if (iri.find(' ') != std::string_view::npos)
    return std::unexpected(Error::invalid_iri(fmt::format("IRI contains whitespace: {}", iri)));
  const size_t colon = iri.find(':');
  if (colon == std::string_view::npos)
    return std::unexpected(
        Error::invalid_iri(fmt::format("IRI must be absolute (scheme:...): {}", iri)));
  if (colon == 0 || colon + 1 == iri.size())
    return std::unexpected(Error::invalid_iri(fmt::format("invalid IRI scheme: {}", iri)));
  const std::string_view scheme = iri.substr(0, colon);
  for (unsigned char c : scheme)
    if (!is_scheme_char(c))
      return std::unexpected(Error::invalid_iri(fmt::format("invalid IRI scheme: {}", iri)));
  return {};
}

Result<void> validate_iri_schemes(std::string_view iri, size_t max_len,
                                  std::span<const std::string_view> allowed) {
  TRELVANIC_TRY(validate_iri_syntax(iri, max_len));
  const std::string_view scheme = iri.substr(0, iri.find(':'));
  for (std::string_view a : allowed)
    if (a == scheme) return {};
  return std::unexpected(Error::invalid_iri(
      fmt::format("IRI scheme '{}' is not allowed (allowed: {})", scheme, fmt::join(allowed, ", "))));
}

Result<void> validate_iri(std::string_view iri) {
  return validate_iri_schemes(iri, kDefaultMaxIriLen, kFullSchemes);
}

std::string_view normalize_iri_fragment_encoding(std::string_view iri, std::string& storage) {
  size_t at = iri.find("%23");
  if (at == std::string_view::npos) return iri;
  storage.clear();
  storage.reserve(iri.size());
  size_t from = 0;
  while (at != std::string_view::npos) {
    storage.append(iri.substr(from, at - from));
    storage.push_back('#');
    from = at + 3;
    at = iri.find("%23", from);
  }
  storage.append(iri.substr(from));
  return storage;
}

std::string normalize_iri_fragment_encoding(std::string_view iri) {
  std::string storage;
  std::string_view out = normalize_iri_fragment_encoding(iri, storage);
  if (out.data() == storage.data() && !storage.empty()) return storage;
  return std::string(out);
}

uint64_t hash_iri(std::string_view iri) { return TextPool::hash(iri); }

std::optional<uint32_t> InternPool::lookup(std::string_view iri) const { return texts_.find(iri); }

Result<IriId> InternPool::intern_with_limit(std::string_view iri, size_t max_len) {
  const uint64_t h = hash_iri(iri);
  return intern_looked_up(iri, h, texts_.find_hashed(iri, h), max_len);
}

Result<IriId> InternPool::intern_looked_up(std::string_view iri, uint64_t hash, std::optional<uint32_t> position,
                                           size_t max_len) {
  TRELVANIC_TRY(validate_iri_schemes(iri, max_len, kFullSchemes));
  if (position) return IriId(*position + 1);
  if (texts_.size() >= kMaxId32) return std::unexpected(Error::invalid_iri("IRI pool capacity exceeded"));
  return IriId(texts_.append_hashed(iri, hash) + 1);
}

Result<std::string_view> InternPool::resolve(IriId id) const {
  if (id.value == 0 || id.value > texts_.size())
    return std::unexpected(Error::invalid_iri(fmt::format("unknown IriId: {}", id.value)));
  return text(id);
}

size_t InternPool::memory_bytes() const { return texts_.memory_bytes(); }

}  // namespace trelvanic_core
