#include "parser/format.h"

#include <unistd.h>

#include <optional>
#include <string>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "tests/cpp/parser/temp_tree.h"

namespace trelvanic_parser {
namespace {

using testing::TempTree;
using F = OntologyFormat;

constexpr std::string_view kBom = "\xEF\xBB\xBF";
const std::string kRdfXml = "<?xml version=\"1.0\"?>\n<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"/>";
const std::string kOwlXml = "<?xml version=\"1.0\"?>\n<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\"/>";
const std::string kTurtle = "@prefix : <http://x/> .\n:a :b :c .\n";
const std::string kFunctional = "Ontology(<http://x/o>)\n";

std::string show(std::optional<F> format) { return format ? std::string(format_name(*format)) : "none"; }

TEST(DetectFormatFromBytes, ByteRules) {
  const std::string padding(5000, ' ');
  const struct {
    const char* name;
    std::string bytes;
    std::optional<F> expected;
  } cases[] = {
      {"bom, xml declaration, rdf root", std::string(kBom) + kRdfXml, F::RdfXml},
      {"bom, xml declaration, Ontology", std::string(kBom) + kOwlXml, F::OwlXml},
      {"rdf root without declaration", "  <rdf:RDF>", F::RdfXml},
      {"owl:Ontology root", "<owl:Ontology rdf:about=\"x\">", F::OwlXml},
      {"prefixed Ontology root", ":Ontology xmlns=\"x\">", F::OwlXml},
      {"declaration and owl:Ontology", "<?xml version=\"1.0\"?><owl:Ontology/>", F::OwlXml},
      {"owl:Ontology and rdf root together", "<?xml version=\"1.0\"?><owl:Ontology/><rdf:RDF>", F::RdfXml},
      {"declaration without a known root", "<?xml version=\"1.0\"?><html>", std::nullopt},
      // Past a prolog the root element decides, with or without a declaration.
      {"doctype first", "<!DOCTYPE rdf:RDF []>\n<rdf:RDF>", F::RdfXml},
      {"comment first", "<!-- c -->\n<rdf:RDF>", F::RdfXml},
      {"comment and instruction before owl:Ontology", "<!-- a > b --><?pi x?>\n<owl:Ontology/>", F::OwlXml},
      {"entity text naming the other root",
       "<!DOCTYPE Ontology [<!ENTITY r \"<rdf:RDF>\">]>\n<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\">",
       F::OwlXml},
      {"quotes, comments and instructions in the subset",
       "<!DOCTYPE rdf:RDF [<!-- ]> ' --><?pi ]>?><!ENTITY a 'x]>y'><!ENTITY b \"'\">]>\n<rdf:RDF>", F::RdfXml},
      {"doctype before another root", "<!DOCTYPE html><html>", std::nullopt},
      {"prolog cut off", "<!DOCTYPE rdf:RDF [<!ENTITY a 'x'>", std::nullopt},
      {"root name cut off", "<!-- c --><rdf:RD", std::nullopt},
      {"functional after blanks", "\n\t Ontology(<http://x/o>)", F::Functional},
      {"functional Prefix", "Prefix(:=<http://x/>)", F::Functional},
      {"bom before Prefix(", std::string(kBom) + "Prefix(:=<http://x/>)", std::nullopt},
      {"@prefix", kTurtle, F::Turtle},
      {"bom before @prefix", std::string(kBom) + kTurtle, F::Turtle},
      {"@base", "@base <http://x/> .", F::Turtle},
      {"SPARQL PREFIX", "PREFIX : <http://x/>", F::Turtle},
      {"Prefix with blank", "Prefix : <http://x/>", F::Turtle},
      {"@PREFIX in capitals", "@PREFIX : <http://x/> .", std::nullopt},
      {"@prefix on a later line", "# comment\n@prefix : <http://x/> .", F::Turtle},
      {"PREFIX on a later line", "# comment\nPREFIX : <http://x/>", F::Turtle},
      // N-Triples, and Turtle that opens with a plain triple.
      {"plain triples", "<http://x/a> <http://x/b> <http://x/c> .", F::Turtle},
      {"comments before triples", "# made by hand\n\n# more\n<urn:x:a>\t<http://x/b> \"v\" .", F::Turtle},
      {"relative references", "<a> <b> <c> .", std::nullopt},
      {"blank subject", "_:b <http://x/b> <http://x/c> .", std::nullopt},
      {"one IRI", "<http://x/a> .", std::nullopt},
      {"space inside the IRI", "<http://x/ a> <http://x/b> <http://x/c> .", std::nullopt},
      {"empty", "", std::nullopt},
      {"not UTF-8", "\xFF\xFE@prefix : <http://x/> .", std::nullopt},
      {"Unicode blank before rdf root", "\xE2\x80\x83<rdf:RDF>", F::RdfXml},
      {"too short for OWL/XML", ":Ont", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(show(detect_format_from_bytes(c.bytes)), show(c.expected)) << c.name;
  }
}

TEST(DetectFormatFromBytes, CharacterCutAtTheSniffLimitIsNotInvalid) {
  // The sniff reads 4096 bytes, which may end inside a multi-byte character.
  std::string bytes = kOwlXml + "<!--" + std::string(kSniffBytes, ' ');
  bytes.resize(kSniffBytes - 1);
  bytes += "\xC3";  // first byte of "é"
  EXPECT_EQ(show(detect_format_from_bytes(bytes)), "OWL/XML");
  EXPECT_EQ(show(detect_format_from_bytes("\xC3(")), "none");
}

class FormatOfFile : public ::testing::Test {
 protected:
  OpenFile open(const std::string& path) {
    auto file = open_for_load(path, std::nullopt);
    EXPECT_TRUE(file.has_value());
    return file ? std::move(*file) : OpenFile();
  }
  TempTree tree;
};

// An XML declaration, a comment and a DOCTYPE whose internal subset of
// entity declarations runs to about `bytes` bytes, then `root`, as older
// editors write them.
std::string long_prolog(size_t bytes, std::string_view root) {
  std::string text = "<?xml version=\"1.0\"?>\n<!-- written by an editor -->\n<!DOCTYPE rdf:RDF [\n";
  for (int i = 0; text.size() < bytes; ++i)
    text += fmt::format("  <!ENTITY e{} \"http://example.org/vocabulary/{}#\" >\n", i, i);
  return text + "]>\n" + std::string(root);
}

TEST_F(FormatOfFile, ExtensionRulesThenBytes) {
  const struct {
    const char* name;
    std::string bytes;
    std::string expected;  // format name, or the error's display text
  } cases[] = {
      {"a.rdf", kTurtle, "RDF/XML"},  // the extension decides without looking
      {"a.ttl", kRdfXml, "Turtle"},
      {"a.turtle", "", "Turtle"},
      {"a.ofn", "", "functional syntax"},
      {"a.func", kOwlXml, "functional syntax"},
      {"a.owl", std::string(kBom) + kRdfXml, "RDF/XML"},
      {"a.owl", std::string(kBom) + kOwlXml, "OWL/XML"},
      {"a.xml", "  " + kFunctional, "functional syntax"},
      {"a.xml", kTurtle, "Turtle"},
      {"a.OWL", kOwlXml, "OWL/XML"},  // extensions are case-sensitive: decided by the bytes
      {"a.owx", kRdfXml, "RDF/XML"},
      {"noext", kTurtle, "Turtle"},
      {".ttl", kOwlXml, "OWL/XML"},  // a leading dot is not an extension
      {"a.tar.ttl", kRdfXml, "Turtle"},
      {"a.owl", "", "unsupported format: could not detect OWL/RDF format for "},
      {"doctype.owl", "<!DOCTYPE rdf:RDF []>\n<rdf:RDF/>", "RDF/XML"},
      {"a.nt", "", "Turtle"},
      {"triples", "<http://x/a> <http://x/b> <http://x/c> .\n", "Turtle"},
      // Prologs past the first read: reached up to the bound, not beyond.
      {"entities.owl", long_prolog(8000, "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"/>"),
       "RDF/XML"},
      {"entities.owl", long_prolog(200'000, "<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\"/>"), "OWL/XML"},
      {"comment.owl", "<!--" + std::string(kMaxPrologBytes, ' ') + "-->\n<rdf:RDF/>",
       "unsupported format: could not detect OWL/RDF format for "},
  };
  int n = 0;
  for (const auto& c : cases) {
    // One directory per case, so the same name can hold other bytes.
    std::string requested = tree.write(std::to_string(n++) + "/" + c.name, c.bytes);
    OpenFile file = open(requested);
    auto format = resolve_load_format(requested, file);
    std::string expected = c.expected;
    if (expected.starts_with("unsupported")) expected += requested;
    EXPECT_EQ(format ? std::string(format_name(*format)) : format.error().message(), expected) << c.name;
    // The file is left at its start for the reader.
    std::string head(c.bytes.size(), '\0');
    EXPECT_EQ(::read(file.fd(), head.data(), head.size()), static_cast<ssize_t>(c.bytes.size()));
    EXPECT_EQ(head, c.bytes) << c.name;
  }
}

TEST_F(FormatOfFile, OnlyTheFirst4096BytesAreSniffed) {
  // An RDF root beyond the sniffed bytes is not seen: the document is taken
  // for OWL/XML by its declaration and ontology element.
  std::string late_root = "<?xml version=\"1.0\"?>\n<owl:Ontology/>" + std::string(kSniffBytes, ' ') + "<rdf:RDF>";
  std::string path = tree.write("late.owl", late_root);
  OpenFile file = open(path);
  EXPECT_EQ(show(detect_format(path, file)), "OWL/XML");
  EXPECT_EQ(show(detect_format_from_bytes(late_root)), "RDF/XML");
}

TEST_F(FormatOfFile, SniffReadsOnceFromTheCurrentOffset) {
  std::string path = tree.write("s.txt", "0123456789");
  OpenFile file = open(path);
  EXPECT_EQ(sniff_reader(file, 4).value_or("?"), "0123");
  EXPECT_EQ(sniff_reader(file, 4096).value_or("?"), "456789");
  EXPECT_EQ(sniff_reader(file, 4096).value_or("?"), "");
  EXPECT_EQ(sniff_and_rewind(file, 3).value_or("?"), "");
  EXPECT_EQ(sniff_and_rewind(file, 3).value_or("?"), "012");
  EXPECT_EQ(sniff_and_rewind(file, 3).value_or("?"), "012");
  OpenFile closed;
  auto failed = sniff_and_rewind(closed, 4);
  ASSERT_FALSE(failed.has_value());
  EXPECT_EQ(failed.error().message(), "parse error: " + os_error_text(EBADF));
  EXPECT_EQ(show(sniff_xml_format(closed)), "none");
}

}  // namespace
}  // namespace trelvanic_parser
