#include "parser/format.h"

#include <unistd.h>

#include <cerrno>

#include <fmt/format.h>

namespace trelvanic_parser {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// What a file name's extension decides on its own.
enum class ExtensionRule : uint8_t { Unknown, Sniff, Known };

struct ExtensionVerdict {
  ExtensionRule rule = ExtensionRule::Unknown;
  OntologyFormat format = OntologyFormat::OwlXml;  // when `Known`
};

// The text after the last "." of the path's last component; none for a
// name without a ".", with only a leading one, or for "..".
std::optional<std::string_view> file_extension(std::string_view path) {
  std::string_view name;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t end = path.find('/', pos);
    if (end == std::string_view::npos) end = path.size();
    std::string_view part = path.substr(pos, end - pos);
    if (!part.empty() && part != ".") name = part;
    pos = end + 1;
  }
  if (name.empty() || name == "..") return std::nullopt;
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return std::nullopt;
  return name.substr(dot + 1);
}

// Length of the UTF-8 sequence that `lead` starts, 0 for an invalid lead.
size_t sequence_length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// Whether byte `b`, at position `i` (from 1) of a sequence led by `lead`, is
// a valid continuation (excluding overlong forms, surrogates and code
// points above U+10FFFF).
bool valid_continuation(unsigned char lead, size_t i, unsigned char b) {
  if ((b & 0xC0) != 0x80) return false;
  if (i != 1) return true;
  if (lead == 0xE0) return b >= 0xA0;
  if (lead == 0xED) return b <= 0x9F;
  if (lead == 0xF0) return b >= 0x90;
  if (lead == 0xF4) return b <= 0x8F;
  return true;
}

// The valid UTF-8 text of a sniffed buffer, or none. A sequence cut off by
// the end of the buffer is dropped rather than failing the whole buffer: the
// sniff reads a fixed number of bytes and may stop inside a character.
std::optional<std::string_view> sniffed_text(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    auto lead = static_cast<unsigned char>(bytes[i]);
    size_t len = sequence_length(lead);
    if (len == 0) return std::nullopt;
    for (size_t k = 1; k < len; ++k) {
      if (i + k == bytes.size()) return bytes.substr(0, i);
      if (!valid_continuation(lead, k, static_cast<unsigned char>(bytes[i + k]))) return std::nullopt;
    }
    i += len;
  }
  return bytes;
}

// Length of the white-space character (Unicode White_Space) at the start of
// `text`, or 0.
size_t leading_space_length(std::string_view text) {
  auto b = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  if (text.empty()) return 0;
  unsigned char c = b(0);
  if (c == ' ' || (c >= 0x09 && c <= 0x0D)) return 1;
  if (c == 0xC2 && text.size() >= 2 && (b(1) == 0x85 || b(1) == 0xA0)) return 2;
  if (text.size() < 3) return 0;
  if (c == 0xE1 && b(1) == 0x9A && b(2) == 0x80) return 3;  // U+1680
  if (c == 0xE2 && b(1) == 0x80 && (b(2) <= 0x8A || b(2) == 0xA8 || b(2) == 0xA9 || b(2) == 0xAF)) {
    return 3;  // U+2000..U+200A, U+2028, U+2029, U+202F
  }
  if (c == 0xE2 && b(1) == 0x81 && b(2) == 0x9F) return 3;  // U+205F
  if (c == 0xE3 && b(1) == 0x80 && b(2) == 0x80) return 3;  // U+3000
  return 0;
}

std::string_view trim_start(std::string_view text) {
  while (size_t n = leading_space_length(text)) text.remove_prefix(n);
  return text;
}

std::string_view strip_bom(std::string_view bytes) {
  if (bytes.starts_with(kBom)) bytes.remove_prefix(kBom.size());
  return bytes;
}

bool contains(std::string_view text, std::string_view needle) { return text.find(needle) != std::string_view::npos; }

std::string ascii_lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool rdf_xml_flag(std::string_view t) {
  return t.starts_with("<rdf:RDF") || (t.starts_with("<?xml") && contains(t, "<rdf:RDF"));
}

bool owl_xml_flag(std::string_view t) {
  if (contains(t, "<rdf:RDF") || t.size() < 5) return false;
  if (t.starts_with("<?xml")) {
    return contains(t, "<Ontology ") || contains(t, ":Ontology ") || contains(t, "<owl:Ontology");
  }
  return t.starts_with("<Ontology ") || t.starts_with("<owl:Ontology") || t.starts_with(":Ontology ");
}

ExtensionVerdict extension_verdict(std::string_view path) {
  auto ext = file_extension(path);
  if (!ext) return {};
  if (*ext == "owl" || *ext == "xml") return {ExtensionRule::Sniff, OntologyFormat::OwlXml};
  if (*ext == "rdf") return {ExtensionRule::Known, OntologyFormat::RdfXml};
  if (*ext == "ttl" || *ext == "turtle") return {ExtensionRule::Known, OntologyFormat::Turtle};
  if (*ext == "ofn" || *ext == "func") return {ExtensionRule::Known, OntologyFormat::Functional};
  return {};
}

}  // namespace

std::string_view format_name(OntologyFormat format) {
  switch (format) {
    case OntologyFormat::OwlXml:
      return "OWL/XML";
    case OntologyFormat::RdfXml:
      return "RDF/XML";
    case OntologyFormat::Turtle:
      return "Turtle";
    case OntologyFormat::Functional:
      return "functional syntax";
  }
  return "unknown";
}

Result<std::string> sniff_reader(const OpenFile& file, std::size_t n) {
  std::string buffer(n, '\0');
  ssize_t got;
  do {
    got = ::read(file.fd(), buffer.data(), n);
  } while (got < 0 && errno == EINTR);
  if (got < 0) return std::unexpected(Error::parse_from_errno(errno));
  buffer.resize(static_cast<size_t>(got));
  return buffer;
}

Result<std::string> sniff_and_rewind(const OpenFile& file, std::size_t n) {
  auto bytes = sniff_reader(file, n);
  if (!bytes) return bytes;
  auto rewound = file.rewind();
  if (!rewound) return std::unexpected(std::move(rewound).error());
  return bytes;
}

std::optional<OntologyFormat> sniff_xml_format(const OpenFile& file) {
  auto bytes = sniff_and_rewind(file, kSniffBytes);
  if (!bytes) return std::nullopt;
  return detect_format_from_bytes(*bytes);
}

std::optional<OntologyFormat> detect_format(std::string_view path, const OpenFile& file) {
  ExtensionVerdict verdict = extension_verdict(path);
  switch (verdict.rule) {
    case ExtensionRule::Unknown:
      return std::nullopt;
    case ExtensionRule::Sniff:
      return sniff_xml_format(file);
    case ExtensionRule::Known:
      return verdict.format;
  }
  return std::nullopt;
}

bool detect_functional_from_bytes(std::string_view bytes) {
  auto text = sniffed_text(bytes);
  if (!text) return false;
  std::string_view t = trim_start(*text);
  return t.starts_with("Prefix(") || t.starts_with("Ontology(");
}

bool detect_turtle_from_bytes(std::string_view bytes) {
  auto text = sniffed_text(bytes);
  if (!text) return false;
  std::string_view t = trim_start(strip_bom(*text));
  if (t.starts_with("@prefix") || t.starts_with("@base")) return true;
  std::string lowered = ascii_lower(t);
  return lowered.starts_with("prefix ") || contains(t, "\n@prefix") || contains(lowered, "\nprefix ");
}

std::optional<OntologyFormat> detect_format_from_bytes(std::string_view bytes) {
  if (detect_functional_from_bytes(bytes)) return OntologyFormat::Functional;
  if (auto text = sniffed_text(strip_bom(bytes))) {
    std::string_view t = trim_start(*text);
    if (rdf_xml_flag(t)) return OntologyFormat::RdfXml;
    if (owl_xml_flag(t)) return OntologyFormat::OwlXml;
  }
  if (detect_turtle_from_bytes(bytes)) return OntologyFormat::Turtle;
  return std::nullopt;
}

Result<OntologyFormat> resolve_load_format(std::string_view requested_path, const OpenFile& file) {
  ExtensionVerdict verdict = extension_verdict(requested_path);
  if (verdict.rule == ExtensionRule::Known) {
    auto rewound = file.rewind();
    if (!rewound) return std::unexpected(std::move(rewound).error());
    return verdict.format;
  }
  // "owl", "xml" and unknown extensions are all decided by the bytes: one
  // sniff of the open file serves both, and its failure is reported.
  auto bytes = sniff_and_rewind(file, kSniffBytes);
  if (!bytes) return std::unexpected(std::move(bytes).error());
  if (auto format = detect_format_from_bytes(*bytes)) return *format;
  return std::unexpected(
      Error::unsupported_format(fmt::format("could not detect OWL/RDF format for {}", requested_path)));
}

}  // namespace trelvanic_parser
