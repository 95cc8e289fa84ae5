#include "parser/format.h"

#include <unistd.h>

#include <algorithm>
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

// Where the walk over an XML prolog ends.
enum class PrologEnd : uint8_t { Root, Unfinished, NotXml };

struct PrologWalk {
  PrologEnd end = PrologEnd::NotXml;
  std::string_view root;  // the root element's qualified name, for `Root`
};

bool is_xml_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The position after the first `close` at or after `from`, or npos.
size_t after(std::string_view t, size_t from, std::string_view close) {
  const size_t at = t.find(close, from);
  return at == std::string_view::npos ? at : at + close.size();
}

// The position after the DOCTYPE declaration that starts at `i`, or npos
// when the text ends inside it. Quoted literals, and comments and
// processing instructions of the internal subset, are stepped over whole,
// so a ">" or "]" inside them ends nothing.
size_t after_doctype(std::string_view t, size_t i) {
  bool in_subset = false;
  for (i += 9; i < t.size();) {
    const char c = t[i];
    if (c == '"' || c == '\'') {
      const size_t close = t.find(c, i + 1);
      if (close == std::string_view::npos) return close;
      i = close + 1;
    } else if (in_subset && t.substr(i).starts_with("<!--")) {
      i = after(t, i + 4, "-->");
      if (i == std::string_view::npos) return i;
    } else if (in_subset && t.substr(i).starts_with("<?")) {
      i = after(t, i + 2, "?>");
      if (i == std::string_view::npos) return i;
    } else {
      if (c == '[') in_subset = true;
      if (c == ']') in_subset = false;
      if (c == '>' && !in_subset) return i + 1;
      ++i;
    }
  }
  return std::string_view::npos;
}

// Steps over what may stand before an XML document's root element (the
// declaration, processing instructions, comments, one DOCTYPE with its
// internal subset, white space) to the root's start tag. Only text that
// opens with one of those is walked: anything else is `NotXml`.
PrologWalk walk_xml_prolog(std::string_view t) {
  if (!t.starts_with("<?") && !t.starts_with("<!")) return {};
  size_t i = 0;
  while (true) {
    while (i < t.size() && is_xml_space(t[i])) ++i;
    if (i == t.size()) return {PrologEnd::Unfinished, {}};
    const std::string_view rest = t.substr(i);
    if (rest.starts_with("<?")) {
      i = after(t, i + 2, "?>");
    } else if (rest.starts_with("<!--")) {
      i = after(t, i + 4, "-->");
    } else if (rest.starts_with("<!DOCTYPE")) {
      i = after_doctype(t, i);
    } else if (rest.size() >= 2 && rest[0] == '<' && rest[1] != '!' && rest[1] != '/' && !is_xml_space(rest[1])) {
      size_t end = 1;
      while (end < rest.size() && !is_xml_space(rest[end]) && rest[end] != '/' && rest[end] != '>') ++end;
      if (end == rest.size()) return {PrologEnd::Unfinished, {}};
      return {PrologEnd::Root, rest.substr(1, end - 1)};
    } else {
      return rest == "<" || std::string_view("<!DOCTYPE").starts_with(rest) || rest == "<!-"
                 ? PrologWalk{PrologEnd::Unfinished, {}}
                 : PrologWalk{};
    }
    if (i == std::string_view::npos) return {PrologEnd::Unfinished, {}};
  }
}

// The format an XML document's root element names: "rdf:RDF" is RDF/XML,
// "Ontology" in any namespace prefix OWL/XML.
std::optional<OntologyFormat> format_of_root(std::string_view root) {
  if (root == "rdf:RDF") return OntologyFormat::RdfXml;
  const size_t colon = root.find(':');
  if (root.substr(colon == std::string_view::npos ? 0 : colon + 1) == "Ontology") return OntologyFormat::OwlXml;
  return std::nullopt;
}

// Valid UTF-8, BOM removed, trimmed: the text the XML tests look at.
std::optional<std::string_view> xml_text(std::string_view bytes) {
  auto text = sniffed_text(strip_bom(bytes));
  if (!text) return std::nullopt;
  return trim_start(*text);
}

// An N-Triples IRI reference at the start of `t` (no white space, none of
// <>"{}|^` inside, and a scheme's ":"): its length with the brackets, or 0.
size_t iri_ref_length(std::string_view t) {
  if (!t.starts_with('<')) return 0;
  bool scheme = false;
  for (size_t i = 1; i < t.size(); ++i) {
    const auto c = static_cast<unsigned char>(t[i]);
    if (c == '>') return scheme && i > 1 ? i + 1 : 0;
    if (c <= 0x20 || std::string_view("<\"{}|^`").find(static_cast<char>(c)) != std::string_view::npos) return 0;
    scheme = scheme || c == ':';
  }
  return 0;
}

// Whether the first statement, past blank and "#" comment lines, opens with
// two IRI references: the shape of N-Triples and of plain Turtle triples.
bool starts_with_iri_pair(std::string_view t) {
  while (true) {
    while (!t.empty() && is_xml_space(t[0])) t.remove_prefix(1);
    if (!t.starts_with('#')) break;
    const size_t eol = t.find('\n');
    if (eol == std::string_view::npos) return false;
    t.remove_prefix(eol + 1);
  }
  const size_t first = iri_ref_length(t);
  if (first == 0 || first == t.size() || (t[first] != ' ' && t[first] != '\t')) return false;
  t.remove_prefix(first);
  while (!t.empty() && (t[0] == ' ' || t[0] == '\t')) t.remove_prefix(1);
  return iri_ref_length(t) != 0;
}

ExtensionVerdict extension_verdict(std::string_view path) {
  auto ext = file_extension(path);
  if (!ext) return {};
  if (*ext == "owl" || *ext == "xml") return {ExtensionRule::Sniff, OntologyFormat::OwlXml};
  if (*ext == "rdf") return {ExtensionRule::Known, OntologyFormat::RdfXml};
  if (*ext == "ttl" || *ext == "turtle" || *ext == "nt") return {ExtensionRule::Known, OntologyFormat::Turtle};
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

Result<std::string> sniff_for_format(const OpenFile& file) {
  auto bytes = sniff_reader(file, kSniffBytes);
  if (!bytes) return bytes;
  // Past the first read only while an XML prolog is still open and nothing
  // has been decided, in reads of growing size up to the bound.
  while (bytes->size() < kMaxPrologBytes && !detect_format_from_bytes(*bytes)) {
    auto text = xml_text(*bytes);
    if (!text || walk_xml_prolog(*text).end != PrologEnd::Unfinished) break;
    auto more = sniff_reader(file, std::min(bytes->size(), kMaxPrologBytes - bytes->size()));
    if (!more) return more;
    if (more->empty()) break;
    *bytes += *more;
  }
  auto rewound = file.rewind();
  if (!rewound) return std::unexpected(std::move(rewound).error());
  return bytes;
}

std::optional<OntologyFormat> sniff_xml_format(const OpenFile& file) {
  auto bytes = sniff_for_format(file);
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
  return lowered.starts_with("prefix ") || contains(t, "\n@prefix") || contains(lowered, "\nprefix ") ||
         starts_with_iri_pair(t);
}

std::optional<OntologyFormat> detect_format_from_bytes(std::string_view bytes) {
  if (detect_functional_from_bytes(bytes)) return OntologyFormat::Functional;
  if (auto t = xml_text(bytes)) {
    if (rdf_xml_flag(*t)) return OntologyFormat::RdfXml;
    if (owl_xml_flag(*t)) return OntologyFormat::OwlXml;
    if (const PrologWalk walk = walk_xml_prolog(*t); walk.end == PrologEnd::Root)
      if (auto format = format_of_root(walk.root)) return format;
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
  auto bytes = sniff_for_format(file);
  if (!bytes) return std::unexpected(std::move(bytes).error());
  if (auto format = detect_format_from_bytes(*bytes)) return *format;
  return std::unexpected(
      Error::unsupported_format(fmt::format("could not detect OWL/RDF format for {}", requested_path)));
}

}  // namespace trelvanic_parser
