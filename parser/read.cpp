#include "parser/read.h"

#include <cxxabi.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <cerrno>
#include <limits>
#include <mutex>

#include <fmt/format.h>

namespace trelvanic_parser {

namespace {

// The right to call a model reader: one reader runs at a time in the whole
// process. Constant-initialised, never destroyed.
constinit std::mutex OWL_MODEL_READ_LOCK;
// Set (under the lock) when a holder was unwound past the crash guard.
constinit bool owl_model_read_lock_poisoned = false;

// Marks the lock poisoned if it is left by an exception the guard did not
// stop (only a thread cancellation's forced unwind gets that far).
class PoisonOnUnwind {
 public:
  PoisonOnUnwind() : exceptions_(std::uncaught_exceptions()) {}
  ~PoisonOnUnwind() {
    if (std::uncaught_exceptions() > exceptions_) owl_model_read_lock_poisoned = true;
  }
  PoisonOnUnwind(const PoisonOnUnwind&) = delete;
  PoisonOnUnwind& operator=(const PoisonOnUnwind&) = delete;

 private:
  int exceptions_;
};

constexpr size_t kReadChunk = 1 << 16;

// Texts counted by the pre-scan of the XML syntaxes (closing tags and
// attribute values included).
constexpr std::array<std::string_view, 18> kXmlPrescanTexts = {
    "owl:Class",          "owl:ObjectProperty", "owl:DatatypeProperty", "owl:NamedIndividual",
    "owl:Restriction",    "owl:equivalentClass", "owl:intersectionOf",  "owl:unionOf",
    "owl:complementOf",   "owl:disjointWith",    "owl:someValuesFrom",  "owl:allValuesFrom",
    "owl:hasValue",       "owl:cardinality",     "owl:minCardinality",  "owl:maxCardinality",
    "rdf:type",           "rdfs:subClassOf",
};

// Where the colon of each XML text stands.
constexpr auto kXmlPrescanColons = [] {
  std::array<size_t, kXmlPrescanTexts.size()> at{};
  for (size_t k = 0; k < at.size(); ++k) at[k] = kXmlPrescanTexts[k].find(':');
  return at;
}();

// Texts counted by the pre-scan of functional syntax; each on its own, so
// "NegativeObjectPropertyAssertion(" also counts as "ObjectPropertyAssertion(".
constexpr std::array<std::string_view, 16> kFunctionalPrescanTexts = {
    "SubClassOf(",
    "EquivalentClasses(",
    "DisjointClasses(",
    "ClassAssertion(",
    "ObjectPropertyAssertion(",
    "DataPropertyAssertion(",
    "Declaration(",
    "SubObjectPropertyOf(",
    "EquivalentObjectProperties(",
    "DisjointObjectProperties(",
    "SameIndividual(",
    "DifferentIndividuals(",
    "ObjectPropertyDomain(",
    "ObjectPropertyRange(",
    "NegativeObjectPropertyAssertion(",
    "NegativeDataPropertyAssertion(",
};

// Bytes of `word` equal to zero: the high bit of each such byte set, all
// other bits clear (exact per byte: the sum cannot carry into the next byte).
constexpr uint64_t zero_bytes(uint64_t word) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
  return ~(((word & kLow7) + kLow7) | word | kLow7);
}

constexpr uint64_t repeat_byte(unsigned char c) { return 0x0101010101010101ULL * c; }

// The XML texts: each holds one ':', right after "owl", "rdf" or "rdfs", so
// one pass over the text finds the colons (eight bytes at a time) and
// counts, at each colon, the texts that have theirs there. None of the texts
// can overlap itself, so counting the positions where each matches is
// counting its non-overlapping occurrences. The texts are ASCII, so counting
// over the raw bytes gives the same numbers as over the text with invalid
// UTF-8 replaced.
uint64_t count_xml_texts(std::string_view text) {
  const char* bytes = text.data();
  const size_t n = text.size();
  uint64_t count = 0;
  auto at_colon = [&](size_t colon) {
    if (colon < 3 || colon + 1 >= n) return;  // every text has three bytes before its colon and some after
    const char before = bytes[colon - 1];
    const char after = bytes[colon + 1];
    if (before != 'l' && before != 'f' && before != 's') return;
    for (size_t k = 0; k < kXmlPrescanTexts.size(); ++k) {
      const std::string_view needle = kXmlPrescanTexts[k];
      const size_t at = kXmlPrescanColons[k];
      if (needle[at - 1] == before && needle[at + 1] == after && colon >= at &&
          text.substr(colon - at, needle.size()) == needle) {
        ++count;
      }
    }
  };
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    if constexpr (std::endian::native == std::endian::big) word = std::byteswap(word);  // first byte lowest
    for (uint64_t colons = zero_bytes(word ^ repeat_byte(':')); colons != 0; colons &= colons - 1) {
      at_colon(i + static_cast<size_t>(std::countr_zero(colons)) / 8);
    }
  }
  for (; i < n; ++i) {
    if (bytes[i] == ':') at_colon(i);
  }
  return count;
}

// The functional texts all end in their only "(": every occurrence ends at
// a "(" of the text, so one scan for "(" finds them all, and none overlaps
// itself.
uint64_t count_functional_texts(std::string_view text) {
  uint64_t count = 0;
  size_t pos = 0;
  for (;;) {
    const void* hit = std::memchr(text.data() + pos, '(', text.size() - pos);
    if (hit == nullptr) break;
    pos = static_cast<size_t>(static_cast<const char*>(hit) - text.data()) + 1;
    std::string_view before = text.substr(0, pos);
    for (std::string_view needle : kFunctionalPrescanTexts) {
      if (before.ends_with(needle)) ++count;
    }
  }
  return count;
}

// The sum of the eight byte lanes of `lanes`.
constexpr uint64_t sum_byte_lanes(uint64_t lanes) {
  constexpr uint64_t kEvenBytes = 0x00FF00FF00FF00FFULL;
  const uint64_t pairs = (lanes & kEvenBytes) + ((lanes >> 8) & kEvenBytes);  // four 16-bit lanes
  return (pairs * 0x0001000100010001ULL) >> 48;
}

// The Turtle estimate: statement ends (" ;" and " .") plus a quarter of the
// line feeds. Neither end text can overlap itself or the other (each starts
// with a space and ends with another byte), so counting the positions where
// one starts counts its non-overlapping occurrences. One pass counts all
// three, eight bytes at a time: a word of the text and the word one byte
// further on are compared with each byte at once, and each match adds one to
// its byte's lane (summed before a lane can pass 255).
uint64_t count_turtle_texts(std::string_view text) {
  const char* bytes = text.data();
  const size_t n = text.size();
  uint64_t ends = 0;
  uint64_t line_feeds = 0;
  size_t i = 0;
  while (i + 9 <= n) {
    uint64_t end_lanes = 0;
    uint64_t feed_lanes = 0;
    for (int round = 0; round < 255 && i + 9 <= n; ++round, i += 8) {
      uint64_t here;
      uint64_t next;
      std::memcpy(&here, bytes + i, 8);
      std::memcpy(&next, bytes + i + 1, 8);
      const uint64_t space = zero_bytes(here ^ repeat_byte(' '));
      const uint64_t end = zero_bytes(next ^ repeat_byte(';')) | zero_bytes(next ^ repeat_byte('.'));
      end_lanes += (space & end) >> 7;
      feed_lanes += zero_bytes(here ^ repeat_byte('\n')) >> 7;
    }
    ends += sum_byte_lanes(end_lanes);
    line_feeds += sum_byte_lanes(feed_lanes);
  }
  for (; i < n; ++i) {
    if (bytes[i] == ' ' && i + 1 < n && (bytes[i + 1] == ';' || bytes[i + 1] == '.')) ++ends;
    if (bytes[i] == '\n') ++line_feeds;
  }
  return ends + line_feeds / 4;
}

}  // namespace

uint64_t prescan_estimate(std::string_view bytes, OntologyFormat format) {
  switch (format) {
    case OntologyFormat::OwlXml:
    case OntologyFormat::RdfXml:
      return count_xml_texts(bytes);
    case OntologyFormat::Functional:
      return count_functional_texts(bytes);
    case OntologyFormat::Turtle:
      return count_turtle_texts(bytes);
  }
  return 0;
}

Result<std::size_t> FileSource::read(std::span<char> out) {
  ssize_t got;
  do {
    got = ::read(file_->fd(), out.data(), out.size());
  } while (got < 0 && errno == EINTR);
  if (got < 0) return std::unexpected(Error::parse_from_errno(errno));
  return static_cast<std::size_t>(got);
}

std::optional<uint64_t> FileSource::size_hint() const {
  auto size = file_->size();
  off_t offset = ::lseek(file_->fd(), 0, SEEK_CUR);
  if (!size || offset < 0 || static_cast<uint64_t>(offset) > *size) return std::nullopt;
  return *size - static_cast<uint64_t>(offset);
}

Result<std::size_t> TextSource::read(std::span<char> out) {
  size_t n = std::min(out.size(), text_.size());
  std::copy_n(text_.data(), n, out.data());
  text_.remove_prefix(n);
  return n;
}

Result<std::string> read_at_most(ByteSource& source, uint64_t max_bytes) {
  constexpr uint64_t kUnbounded = std::numeric_limits<uint64_t>::max();
  // Stop one byte past the limit: enough to know it was exceeded.
  const uint64_t cap = max_bytes == kUnbounded ? kUnbounded : max_bytes + 1;
  std::string bytes;
  size_t filled = 0;
  // With a size hint the first read asks for one byte more than expected,
  // so an input of the expected length is read with one allocation.
  std::optional<uint64_t> hint = source.size_hint();
  for (;;) {
    uint64_t room = cap - filled;
    if (room == 0) break;
    uint64_t step = std::max<uint64_t>(kReadChunk, filled);
    if (hint && filled == 0 && *hint < kUnbounded) step = std::max<uint64_t>(step, *hint + 1);
    size_t want = static_cast<size_t>(std::min<uint64_t>(room, step));
    // Grown without zeroing: the read writes the bytes that are kept.
    bytes.resize_and_overwrite(filled + want, [](char*, size_t size) { return size; });
    auto got = source.read(std::span<char>(bytes.data() + filled, want));
    if (!got) return std::unexpected(std::move(got).error());
    if (*got == 0) break;
    filled += *got;
    if (*got < want) {
      // A short read is usually the end of the input: a one-byte read tells,
      // before the buffer is doubled (and copied) for nothing.
      char probe = 0;
      auto more = source.read(std::span<char>(&probe, 1));
      if (!more) return std::unexpected(std::move(more).error());
      if (*more == 0) break;
      bytes[filled++] = probe;
    }
  }
  bytes.resize(filled);
  return bytes;
}

Result<std::string> read_limited_input(ByteSource& source, const LoadLimits& limits) {
  auto bytes = read_at_most(source, limits.max_file_bytes);
  if (bytes && bytes->size() > limits.max_file_bytes) {
    return std::unexpected(
        Error::parse(fmt::format("input size {} exceeds limit of {} bytes", bytes->size(), limits.max_file_bytes)));
  }
  return bytes;
}

Result<void> prescan_axiom_estimate(std::string_view bytes, OntologyFormat format, const LoadLimits& limits) {
  // The Turtle estimate cannot pass half the size: each statement end takes
  // two bytes that are not line feeds, and four line feeds count one.
  if (format == OntologyFormat::Turtle && bytes.size() / 2 <= limits.max_axioms) return {};
  uint64_t estimate = prescan_estimate(bytes, format);
  if (estimate > limits.max_axioms) {
    return std::unexpected(Error::parse(
        fmt::format("pre-scan estimate of {} components exceeds axiom limit of {}", estimate, limits.max_axioms)));
  }
  return {};
}

Error map_owl_model_error(std::string_view reader_message) { return Error::parse(std::string(reader_message)); }

std::string panic_payload_message(std::exception_ptr payload) {
  try {
    std::rethrow_exception(std::move(payload));
  } catch (const std::exception& e) {
    return fmt::format("parser internal error: {}", e.what());
  } catch (const std::string& text) {
    return fmt::format("parser internal error: {}", text);
  } catch (const char* text) {
    return fmt::format("parser internal error: {}", text == nullptr ? "" : text);
  } catch (...) {
    return "parser internal error (unknown panic)";
  }
}

Result<void> run_under_read_lock(absl::FunctionRef<Result<void>()> body) {
  std::lock_guard lock(OWL_MODEL_READ_LOCK);
  if (owl_model_read_lock_poisoned) {
    return std::unexpected(
        Error::parse("owl_model read lock poisoned: poisoned lock: another task failed inside"));
  }
  PoisonOnUnwind poison_guard;
  try {
    return body();
  } catch (abi::__forced_unwind&) {
    throw;  // a cancelled thread must finish unwinding
  } catch (...) {
    return std::unexpected(Error::parse(panic_payload_message(std::current_exception())));
  }
}

Result<void> check_rdf_remainder(std::string_view bytes, std::size_t consumed) {
  std::string_view rest = bytes.substr(std::min(consumed, bytes.size()));
  bool blank = std::all_of(rest.begin(), rest.end(),
                           [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; });
  if (!blank) return std::unexpected(Error::parse("incomplete RDF document"));
  return {};
}

Result<void> check_component_count(uint64_t components, const LoadLimits& limits) {
  if (components > limits.max_axioms) {
    return std::unexpected(Error::parse(fmt::format("parsed ontology contains {} components, exceeding axiom limit of {}",
                                                    components, limits.max_axioms)));
  }
  return {};
}

}  // namespace trelvanic_parser
