// Whole loads from a file: the four entry points, strict and lenient
// verdicts, counts, the four syntaxes, and owl:imports in every syntax.
#include "parser/load.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <filesystem>
#include <string>
#include <vector>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "core/cancel.h"
#include "parser/imports.h"
#include "temp_tree.h"

namespace trelvanic_parser {
namespace {

using trelvanic_core::Ontology;
using testing::TempTree;

enum class Syntax { Functional, OwlXml, Turtle, RdfXml };
constexpr Syntax kSyntaxes[] = {Syntax::Functional, Syntax::OwlXml, Syntax::Turtle, Syntax::RdfXml};

std::string_view extension(Syntax s) {
  switch (s) {
    case Syntax::Functional: return ".ofn";
    case Syntax::OwlXml: return ".owx";
    case Syntax::Turtle: return ".ttl";
    case Syntax::RdfXml: return ".rdf";
  }
  return "";
}

// A document in syntax `s`: ontology IRI, imports, and named SubClassOf
// axioms given as pairs of full IRIs.
std::string document(Syntax s, std::string_view iri, const std::vector<std::string>& imports,
                     const std::vector<std::pair<std::string, std::string>>& subclasses) {
  std::string out;
  switch (s) {
    case Syntax::Functional:
      out = fmt::format("Ontology(<{}>\n", iri);
      for (const auto& i : imports) out += fmt::format("Import(<{}>)\n", i);
      for (const auto& [a, b] : subclasses) out += fmt::format("SubClassOf(<{}> <{}>)\n", a, b);
      return out + ")\n";
    case Syntax::OwlXml:
      out = fmt::format("<?xml version=\"1.0\"?>\n<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\" ontologyIRI=\"{}\">\n", iri);
      for (const auto& i : imports) out += fmt::format("<Import>{}</Import>\n", i);
      for (const auto& [a, b] : subclasses) {
        out += fmt::format("<SubClassOf><Class IRI=\"{}\"/><Class IRI=\"{}\"/></SubClassOf>\n", a, b);
      }
      return out + "</Ontology>\n";
    case Syntax::Turtle:
      out = "@prefix owl: <http://www.w3.org/2002/07/owl#> .\n@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n";
      out += fmt::format("<{}> a owl:Ontology .\n", iri);
      for (const auto& i : imports) out += fmt::format("<{}> owl:imports <{}> .\n", iri, i);
      for (const auto& [a, b] : subclasses) {
        out += fmt::format("<{0}> a owl:Class ; rdfs:subClassOf <{1}> .\n<{1}> a owl:Class .\n", a, b);
      }
      return out;
    case Syntax::RdfXml:
      out = "<?xml version=\"1.0\"?>\n<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
            "xmlns:rdfs=\"http://www.w3.org/2000/01/rdf-schema#\" xmlns:owl=\"http://www.w3.org/2002/07/owl#\">\n";
      out += fmt::format("<owl:Ontology rdf:about=\"{}\">\n", iri);
      for (const auto& i : imports) out += fmt::format("  <owl:imports rdf:resource=\"{}\"/>\n", i);
      out += "</owl:Ontology>\n";
      for (const auto& [a, b] : subclasses) {
        out += fmt::format("<owl:Class rdf:about=\"{0}\"><rdfs:subClassOf rdf:resource=\"{1}\"/></owl:Class>\n"
                           "<owl:Class rdf:about=\"{1}\"/>\n", a, b);
      }
      return out + "</rdf:RDF>\n";
  }
  return out;
}

std::string ex(std::string_view local) { return fmt::format("http://ex.org/{}", local); }
std::pair<std::string, std::string> sub(std::string_view a, std::string_view b) { return {ex(a), ex(b)}; }

// Told axioms as sorted texts over full IRIs.
std::vector<std::string> told(const Ontology& o) {
  std::vector<std::string> out;
  o.axioms().for_each_live([&](trelvanic_core::AxiomId, const trelvanic_core::AxiomView& a) {
    std::string text(trelvanic_core::axiom_kind_name(a.kind()));
    trelvanic_core::for_each_axiom_entity(a, [&](trelvanic_core::EntityId e) {
      text += " " + std::string(o.entity_iri(e).value_or("?"));
    });
    out.push_back(std::move(text));
  });
  std::sort(out.begin(), out.end());
  return out;
}

std::string sub_text(std::string_view a, std::string_view b) { return fmt::format("SubClassOf {} {}", ex(a), ex(b)); }

const trelvanic_core::ParseMeta& meta(const Ontology& o) { return *o.parse_meta(); }

std::string error_of(const Result<Ontology>& r) { return r ? std::string() : r.error().message(); }

TEST(Load, OneNamedSubClassOf) {
  TempTree tree;
  const std::string path = tree.write("one.ofn", "Prefix(:=<http://ex.org/>)\nOntology(\nSubClassOf(:A :B)\n)\n");
  auto o = load_ontology(path);
  ASSERT_TRUE(o) << o.error().message();
  EXPECT_EQ(told(*o), std::vector<std::string>{sub_text("A", "B")});
  ASSERT_TRUE(o->parse_meta());
  EXPECT_EQ(meta(*o).mapped_axiom_count, 1u);
  EXPECT_EQ(meta(*o).skipped_axiom_count, 0u);
  EXPECT_EQ(meta(*o).logical_axiom_count, 1u);
  EXPECT_TRUE(meta(*o).warnings.empty());
  EXPECT_TRUE(o->dirty_signatures().empty());
}

TEST(Load, StrictFailsOnSkippedAxiomsLenientCountsThem) {
  TempTree tree;
  const std::string path =
      tree.write("skip.ofn", "Prefix(:=<http://ex.org/>)\nOntology(\nSubClassOf(:A :B)\nHasKey(:A (ObjectInverseOf(:p)) ())\n)\n");
  EXPECT_EQ(error_of(load_ontology(path)),
            "parse error: strict parse: skipped 1 axioms due to limits or mapping failures");
  EXPECT_EQ(error_of(load_ontology_in(tree.path(), "skip.ofn")),
            "parse error: strict parse: skipped 1 axioms due to limits or mapping failures");
  auto lenient = load_ontology_lenient(path);
  ASSERT_TRUE(lenient) << lenient.error().message();
  EXPECT_EQ(meta(*lenient).skipped_axiom_count, 1u);
  EXPECT_EQ(meta(*lenient).mapped_axiom_count, 1u);
  EXPECT_EQ(meta(*lenient).logical_axiom_count, 2u);
}

// OWL/XML elements of another namespace are left out with a warning; one
// where a component stands is a skipped axiom.
TEST(Load, ForeignOwlXmlElementsAreNamed) {
  TempTree tree;
  const std::string path = tree.write(
      "f.owx",
      "<?xml version=\"1.0\"?>\n<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\" xmlns:x=\"http://x.org/\">\n"
      "<x:SubClassOf><Class IRI=\"http://ex.org/A\"/><Class IRI=\"http://ex.org/B\"/></x:SubClassOf>\n"
      "<SubClassOf><Class IRI=\"http://ex.org/C\"/><x:note>n</x:note><Class IRI=\"http://ex.org/D\"/></SubClassOf>\n"
      "</Ontology>\n");
  EXPECT_EQ(error_of(load_ontology(path)),
            "parse error: strict parse: skipped 1 axioms due to limits or mapping failures");
  auto lenient = load_ontology_lenient(path);
  ASSERT_TRUE(lenient) << lenient.error().message();
  EXPECT_EQ(meta(*lenient).warnings,
            (std::vector<std::string>{"OWL/XML element 'SubClassOf' of namespace 'http://x.org/' not mapped",
                                      "OWL/XML element 'note' of namespace 'http://x.org/' not mapped"}));
  EXPECT_EQ(meta(*lenient).skipped_axiom_count, 1u);
  EXPECT_EQ(meta(*lenient).mapped_axiom_count, 1u);
}

TEST(Load, DlOnlyOntologyTakesItsCountsFromTheDlStore) {
  TempTree tree;
  const std::string path = tree.write(
      "dl.ofn",
      "Prefix(:=<http://ex.org/>)\nOntology(\nSubClassOf(:A ObjectUnionOf(:B :C))\nSubClassOf(ObjectUnionOf(:B :C) :D)\n)\n");
  auto o = load_ontology(path);
  ASSERT_TRUE(o) << o.error().message();
  ASSERT_EQ(o->axiom_count(), 0u);
  ASSERT_GT(o->dl().axiom_count(), 0u);
  EXPECT_EQ(meta(*o).mapped_axiom_count, o->dl().axiom_count());
  EXPECT_EQ(meta(*o).logical_axiom_count, o->dl().axiom_count());
}

// One ontology written in every syntax: each strict load (which fails on a
// skipped axiom) gives the told axioms listed and the same DL axioms and
// counts as the functional-syntax file. The second holds property axioms
// over inverse properties, told of the named properties.
TEST(Load, SameOntologyInEverySyntaxGivesTheSameAxioms) {
  struct Case {
    const char* stem;
    std::vector<std::string> told;
    size_t dl_axioms;
  };
  const Case cases[] = {
      {"same",
       {"ClassAssertion http://ex.org/i http://ex.org/A", "ObjectPropertyAssertion http://ex.org/i http://ex.org/r http://ex.org/j",
        "SubClassOf http://ex.org/A http://ex.org/B", "SubClassOfExistential http://ex.org/B http://ex.org/r http://ex.org/C"},
       1},
      {"inverse",
       {"AsymmetricObjectProperty http://ex.org/t", "InverseFunctionalObjectProperty http://ex.org/s",
        "InverseObjectProperties http://ex.org/r http://ex.org/s", "ObjectPropertyRange http://ex.org/r http://ex.org/A"},
       4},  // the complex domain, inverse-functional, the disjointness, the sub-property
  };
  const std::string dir = std::string(TRELVANIC_TEST_DATA) + "/parser/load/";
  for (const Case& c : cases) {
    auto reference = load_ontology(dir + c.stem + ".ofn");
    ASSERT_TRUE(reference) << c.stem << ": " << reference.error().message();
    EXPECT_EQ(told(*reference), c.told) << c.stem;
    EXPECT_EQ(reference->dl().axiom_count(), c.dl_axioms) << c.stem;
    for (std::string_view ext : {".owx", ".ttl", ".rdf"}) {
      const std::string file = c.stem + std::string(ext);
      auto o = load_ontology(dir + file);
      ASSERT_TRUE(o) << file << ": " << o.error().message();
      EXPECT_EQ(told(*o), told(*reference)) << file;
      EXPECT_EQ(o->dl().axiom_count(), reference->dl().axiom_count()) << file;
      EXPECT_EQ(meta(*o).mapped_axiom_count, meta(*reference).mapped_axiom_count) << file;
    }
  }
}

TEST(Load, StrictValidationFailsLenientLoadPasses) {
  struct Case {
    std::string body;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"Declaration(DataProperty(:d))\nSubClassOf(:A DataHasValue(:d \"5.0\"^^xsd:integer))",
       "parse error: invalid xsd:integer literal \"5.0\""},
      {"ObjectPropertyAssertion(:r _:a _:b)\nObjectPropertyAssertion(:r _:b _:a)",
       "parse error: cyclic blank-node object property chain"},
      {"SameIndividual(:i _:a)", "parse error: same/different individuals cannot mix named and blank nodes"},
  };
  TempTree tree;
  for (const Case& c : cases) {
    const std::string path =
        tree.write("v.ofn", fmt::format("Prefix(:=<http://ex.org/>)\nOntology(\n{}\n)\n", c.body));
    EXPECT_EQ(error_of(load_ontology(path)), c.message) << c.body;
    EXPECT_EQ(error_of(load_ontology_lenient(path)), "") << c.body;
  }
  // Named individuals whose IRIs merely look generated are named.
  const std::string named = tree.write(
      "n.ofn", "Prefix(:=<http://ex.org/>)\nOntology(\nSameIndividual(:canonicalForm <http://ex.org/o#_x>)\n)\n");
  EXPECT_EQ(error_of(load_ontology(named)), "");
}

TEST(Load, UnreadableInputs) {
  TempTree tree;
  tree.mkdir("dir");
  EXPECT_EQ(error_of(load_ontology(tree.path("dir"))), "parse error: not a file: " + tree.path("dir"));
  const std::string latin1 = tree.write("l.rdf", "<?xml version=\"1.0\"?>\n<rdf:RDF>caf\xe9</rdf:RDF>\n");
  EXPECT_EQ(error_of(load_ontology(latin1)), "parse error: invalid utf-8 sequence of 1 bytes from index 34");
  const std::string unknown = tree.write("x.data", "hello");
  EXPECT_EQ(error_of(load_ontology(unknown)), "unsupported format: could not detect OWL/RDF format for " + unknown);
  EXPECT_EQ(utf8_error("\xe2\x82"), "incomplete utf-8 byte sequence from index 0");
  EXPECT_EQ(utf8_error("ab\xed\xa0\x80"), "invalid utf-8 sequence of 1 bytes from index 2");
  EXPECT_EQ(utf8_error("\xf0\x9f\x98\x80 ok"), std::nullopt);
}

// A load polls the cancellation flag of its thread: raised, it ends the
// load in every syntax with "cancelled"; installed but not raised, the
// load is unchanged.
TEST(Load, RaisedCancellationFlagEndsTheLoadInEverySyntax) {
  TempTree tree;
  std::vector<std::pair<std::string, std::string>> pairs;
  for (int i = 0; i < 6000; ++i) pairs.push_back(sub(fmt::format("C{}", i), fmt::format("C{}", i + 1)));
  for (Syntax s : kSyntaxes) {
    const std::string path = tree.write(fmt::format("big{}", extension(s)), document(s, ex("o"), {}, pairs));
    auto flag = std::make_shared<std::atomic<bool>>(false);
    trelvanic_core::ScopedCancel installed(flag);
    auto quiet = load_ontology(path);
    ASSERT_TRUE(quiet) << path << ": " << quiet.error().message();
    EXPECT_EQ(quiet->axiom_count(), pairs.size()) << path;
    flag->store(true);
    EXPECT_TRUE(error_of(load_ontology(path)).starts_with("parse error: cancelled")) << path;
  }
  EXPECT_EQ(trelvanic_core::current_cancel_flag(), nullptr);  // the guard emptied the slot
}

TEST(LoadIn, RelativePathsJoinTheBaseAndMustStayUnderIt) {
  TempTree tree;
  tree.write("a/x.ofn", "Ontology(\nSubClassOf(<http://ex.org/A> <http://ex.org/B>)\n)\n");
  tree.write("ab/x.ofn", "Ontology()\n");
  EXPECT_EQ(error_of(load_ontology_in(tree.path("a"), "x.ofn")), "");
  EXPECT_EQ(error_of(load_ontology_in(tree.path("a"), tree.path("a/x.ofn"))), "");
  EXPECT_EQ(error_of(load_ontology_in(tree.path("a"), "../ab/x.ofn")),
            fmt::format("parse error: path {} escapes allowed base {}", tree.path("ab/x.ofn"), tree.path("a")));
}

// ---- imports

class ImportsBySyntax : public ::testing::TestWithParam<std::tuple<Syntax, Syntax>> {};

TEST_P(ImportsBySyntax, FileBesideWithTheImportedIriIsMerged) {
  const auto [main_syntax, imported_syntax] = GetParam();
  TempTree tree;
  tree.write(fmt::format("imp{}", extension(imported_syntax)),
             document(imported_syntax, ex("imp"), {}, {sub("C", "D")}));
  const std::string main = tree.write(fmt::format("main{}", extension(main_syntax)),
                                      document(main_syntax, ex("main"), {ex("imp")}, {sub("A", "B")}));
  auto o = load_ontology(main);
  ASSERT_TRUE(o) << o.error().message();
  EXPECT_EQ(told(*o), (std::vector<std::string>{sub_text("A", "B"), sub_text("C", "D")}));
  EXPECT_EQ(meta(*o).mapped_axiom_count, 2u);
  EXPECT_EQ(meta(*o).logical_axiom_count, 2u);
  EXPECT_TRUE(meta(*o).warnings.empty()) << meta(*o).warnings.front();
}

INSTANTIATE_TEST_SUITE_P(All, ImportsBySyntax,
                         ::testing::Combine(::testing::ValuesIn(kSyntaxes), ::testing::ValuesIn(kSyntaxes)));

TEST(Imports, OnlyAFileNamingTheImportedOntologyIsTaken) {
  TempTree tree;
  tree.write("imp", "notes about the import, not an ontology\n");
  tree.write("imp.ofn", document(Syntax::Functional, "http://other.org/imp", {}, {sub("X", "Y")}));
  tree.write("imp.ttl", document(Syntax::Turtle, ex("imp"), {}, {sub("C", "D")}));
  const std::string main = tree.write("main.ofn", document(Syntax::Functional, ex("main"), {ex("imp")}, {}));
  auto o = load_ontology(main);
  ASSERT_TRUE(o) << o.error().message();
  EXPECT_EQ(told(*o), std::vector<std::string>{sub_text("C", "D")});
}

TEST(Imports, RelativeReferencesAndFileIrisNameFilesFromTheImportingFile) {
  TempTree tree;
  tree.write("d/sub/part.ofn", document(Syntax::Functional, "http://other.org/part", {}, {sub("C", "D")}));
  tree.write("d/abs.ofn", document(Syntax::Functional, "http://other.org/abs", {}, {sub("E", "F")}));
  const std::string main = tree.write(
      "d/main.ofn",
      document(Syntax::Functional, ex("main"), {"sub/part.ofn", "file://" + tree.path("d/abs.ofn")}, {sub("A", "B")}));
  auto o = load_ontology(main);
  ASSERT_TRUE(o) << o.error().message();
  EXPECT_EQ(told(*o), (std::vector<std::string>{sub_text("A", "B"), sub_text("C", "D"), sub_text("E", "F")}));
}

TEST(Imports, UnresolvedImports) {
  TempTree tree;
  const std::string urn = tree.write("urn.ofn", document(Syntax::Functional, ex("m"), {"urn:ex:missing"}, {sub("A", "B")}));
  EXPECT_EQ(error_of(load_ontology(urn)), "parse error: strict parse: unresolved owl:imports IRI urn:ex:missing");
  auto lenient = load_ontology_lenient(urn);
  ASSERT_TRUE(lenient) << lenient.error().message();
  EXPECT_EQ(meta(*lenient).warnings, std::vector<std::string>{"unresolved owl:imports IRI urn:ex:missing; import skipped"});

  const std::string web = tree.write("web.rdf", document(Syntax::RdfXml, ex("m"), {"http://ex.org/nowhere"}, {}));
  for (auto* load : {&load_ontology, &load_ontology_lenient}) {
    auto o = (*load)(web);
    ASSERT_TRUE(o) << o.error().message();
    EXPECT_EQ(meta(*o).warnings,
              std::vector<std::string>{"unresolved owl:imports IRI http://ex.org/nowhere; import skipped"});
  }
}

TEST(Imports, CandidatesMustPassThePathChecks) {
  TempTree tree;
  tree.write("outside.ofn", document(Syntax::Functional, ex("outside"), {}, {sub("C", "D")}));
  tree.write("base/main.ofn", document(Syntax::Functional, ex("main"), {"../outside.ofn"}, {sub("A", "B")}));
  EXPECT_EQ(error_of(load_ontology_in(tree.path("base"), "main.ofn")),
            "parse error: strict parse: unresolved owl:imports IRI ../outside.ofn");
  auto unsandboxed = load_ontology(tree.path("base/main.ofn"));
  ASSERT_TRUE(unsandboxed) << unsandboxed.error().message();
  EXPECT_EQ(told(*unsandboxed).size(), 2u);
}

TEST(Imports, CyclesEndAndImportsOfImportsAreMerged) {
  TempTree tree;
  // The first file's name does not match its IRI: the import of it by IRI
  // from b is still known as loaded.
  const std::string a =
      tree.write("first.ofn", document(Syntax::Functional, ex("a"), {ex("b"), ex("a")}, {sub("A", "B")}));
  tree.write("b.ttl", document(Syntax::Turtle, ex("b"), {ex("a"), ex("c")}, {sub("C", "D")}));
  tree.write("c.rdf", document(Syntax::RdfXml, ex("c"), {ex("b")}, {sub("E", "F")}));
  auto o = load_ontology(a);
  ASSERT_TRUE(o) << o.error().message();
  EXPECT_EQ(told(*o), (std::vector<std::string>{sub_text("A", "B"), sub_text("C", "D"), sub_text("E", "F")}));
  EXPECT_TRUE(meta(*o).warnings.empty());
}

TEST(Imports, LenientInFollowsNoImports) {
  TempTree tree;
  tree.write("imp.ofn", document(Syntax::Functional, ex("imp"), {}, {sub("C", "D")}));
  tree.write("main.ofn", document(Syntax::Functional, ex("main"), {ex("imp"), "urn:ex:missing"}, {sub("A", "B")}));
  auto inside = load_ontology_lenient_in(tree.path(), "main.ofn");
  ASSERT_TRUE(inside) << inside.error().message();
  EXPECT_EQ(told(*inside), std::vector<std::string>{sub_text("A", "B")});
  // The ontology holds less than the document states, and says so.
  EXPECT_EQ(meta(*inside).warnings,
            (std::vector<std::string>{"owl:imports IRI http://ex.org/imp not followed; import skipped",
                                      "owl:imports IRI urn:ex:missing not followed; import skipped"}));
  EXPECT_TRUE(meta(*inside).unresolved_imports);
  auto lenient = load_ontology_lenient(tree.path("main.ofn"));
  ASSERT_TRUE(lenient) << lenient.error().message();
  EXPECT_EQ(told(*lenient).size(), 2u);
  EXPECT_EQ(meta(*lenient).warnings.size(), 1u);
  EXPECT_TRUE(meta(*lenient).unresolved_imports);
}

TEST(Imports, AxiomAndEntityLimitsAtTheirBoundaries) {
  TempTree tree;
  // main: 2 axioms over A B C; import: 4 axioms over D E F G H.
  tree.write("imp.ofn", document(Syntax::Functional, ex("imp"), {},
                                 {sub("D", "E"), sub("E", "F"), sub("F", "G"), sub("G", "H")}));
  const std::string main =
      tree.write("main.ofn", document(Syntax::Functional, ex("main"), {ex("imp")}, {sub("A", "B"), sub("B", "C")}));
  auto load = [&](bool strict, uint64_t max_axioms, uint64_t max_entities) {
    LoadLimits limits = LoadLimits::with_mode(strict, strict);
    limits.max_axioms = max_axioms;
    limits.max_entities = max_entities;
    return load_ontology_with_limits_and_base_inner(main, limits, std::nullopt, true);
  };
  {
    auto o = load(true, 6, 8);
    ASSERT_TRUE(o) << o.error().message();
    EXPECT_EQ(told(*o).size(), 6u);
    EXPECT_EQ(meta(*o).mapped_axiom_count, 6u);
  }
  EXPECT_EQ(error_of(load(true, 5, 8)), "parse error: import merge would exceed axiom limit 5 (current 2 + import 4)");
  EXPECT_EQ(error_of(load(true, 6, 7)), "parse error: import merge would exceed entity limit 7 (current 3 + import 5)");
  {
    auto o = load(false, 5, 8);
    ASSERT_TRUE(o) << o.error().message();
    EXPECT_EQ(told(*o).size(), 2u);
    EXPECT_EQ(meta(*o).warnings, std::vector<std::string>{"skipping import http://ex.org/imp: would exceed axiom limit 5"});
  }
  {
    auto o = load(false, 6, 7);
    ASSERT_TRUE(o) << o.error().message();
    EXPECT_EQ(meta(*o).warnings, std::vector<std::string>{"skipping import http://ex.org/imp: would exceed entity limit 7"});
  }
}

TEST(Imports, AnonymousIndividualsStayApartAcrossDocuments) {
  TempTree tree;
  tree.write("imp.ofn", "Prefix(:=<http://ex.org/>)\nOntology(<http://ex.org/imp>\nClassAssertion(:C _:x)\n)\n");
  const std::string main = tree.write(
      "main.ofn", "Prefix(:=<http://ex.org/>)\nOntology(<http://ex.org/main>\nImport(<http://ex.org/imp>)\n"
                  "ClassAssertion(:A _:x)\n)\n");
  auto o = load_ontology(main);
  ASSERT_TRUE(o) << o.error().message();
  EXPECT_EQ(told(*o), (std::vector<std::string>{"ClassAssertion file:/c/1/test.owl#_x http://ex.org/C",
                                                "ClassAssertion file:/c/test.owl#_x http://ex.org/A"}));
}

TEST(Imports, ImportedFileThatFailsFailsTheLoadInBothModes) {
  TempTree tree;
  tree.write("imp.ofn", "Ontology(<http://ex.org/imp>\nSubClassOf(\n");
  const std::string main = tree.write("main.ofn", document(Syntax::Functional, ex("main"), {"imp.ofn"}, {}));
  EXPECT_NE(error_of(load_ontology(main)), "");
  EXPECT_NE(error_of(load_ontology_lenient(main)), "");
}

TEST(Imports, SkipsInsideAnImportFailStrictAndCountInLenient) {
  TempTree tree;
  tree.write("imp.ofn", "Prefix(:=<http://ex.org/>)\nOntology(<http://ex.org/imp>\nSubClassOf(:C :D)\n"
                        "HasKey(:A (ObjectInverseOf(:p)) ())\n)\n");
  const std::string main = tree.write("main.ofn", document(Syntax::Functional, ex("main"), {ex("imp")}, {sub("A", "B")}));
  EXPECT_EQ(error_of(load_ontology(main)),
            "parse error: strict parse: skipped 1 axioms due to limits or mapping failures");
  auto o = load_ontology_lenient(main);
  ASSERT_TRUE(o) << o.error().message();
  EXPECT_EQ(meta(*o).mapped_axiom_count, 2u);
  EXPECT_EQ(meta(*o).skipped_axiom_count, 1u);
  EXPECT_EQ(meta(*o).logical_axiom_count, 3u);
  EXPECT_EQ(meta(*o).warnings.size(), 1u);
}

TEST(Imports, MergeCarriesDlAxiomsRulesAndConstructs) {
  TempTree tree;
  tree.write("imp.ofn",
             "Prefix(:=<http://ex.org/>)\nOntology(<http://ex.org/imp>\n"
             "Declaration(Class(:C))\nDeclaration(Class(:D))\nDeclaration(ObjectProperty(:p))\n"
             "SubClassOf(:A ObjectUnionOf(:C :D))\n"
             "DLSafeRule(Body(ClassAtom(:C Variable(:x))) Head(ClassAtom(:D Variable(:x))))\n)\n");
  const std::string main = tree.write("main.ofn", document(Syntax::Functional, ex("main"), {ex("imp")}, {sub("A", "B")}));
  auto alone = load_ontology(tree.path("imp.ofn"));
  ASSERT_TRUE(alone) << alone.error().message();
  auto o = load_ontology(main);
  ASSERT_TRUE(o) << o.error().message();
  EXPECT_EQ(o->dl().axiom_count(), alone->dl().axiom_count());
  EXPECT_EQ(o->swrl_rules().size(), alone->swrl_rules().size());
  ASSERT_EQ(o->swrl_rules().size(), 1u);
  const auto& atom = o->swrl_rules()[0].head[0];
  EXPECT_EQ(o->entity_iri(atom.predicate).value_or(""), ex("D"));
  for (auto c : meta(*alone).profile_constructs) EXPECT_TRUE(meta(*o).profile_constructs.contains(c));
  // The union's operands name the loaded ontology's entities.
  const auto ax = o->dl().axiom(0);
  ASSERT_EQ(ax.kind, trelvanic_core::DlAxiomKind::SubClassOf);
  EXPECT_EQ(o->entity_iri(o->dl().ce(ax.sub()).entity()).value_or(""), ex("A"));
}

TEST(Imports, EntityKindConflictsFailStrictAndAreLeftOutLenient) {
  TempTree tree;
  tree.write("imp.ofn",
             "Prefix(:=<http://ex.org/>)\nOntology(<http://ex.org/imp>\nDeclaration(DataProperty(:B))\n"
             "SubClassOf(:C :D)\n)\n");
  const std::string main = tree.write("main.ofn", document(Syntax::Functional, ex("main"), {ex("imp")}, {sub("A", "B")}));
  EXPECT_EQ(error_of(load_ontology(main)),
            "parse error: import entity kind conflict for http://ex.org/B: Class vs DataProperty");
  auto o = load_ontology_lenient(main);
  ASSERT_TRUE(o) << o.error().message();
  EXPECT_EQ(told(*o), (std::vector<std::string>{sub_text("A", "B"), sub_text("C", "D")}));
  EXPECT_EQ(meta(*o).warnings,
            std::vector<std::string>{"import entity kind conflict for http://ex.org/B: Class vs DataProperty"});
  EXPECT_EQ(meta(*o).skipped_axiom_count, 0u);

  // DL axioms are never carried over onto an entity of another kind.
  tree.write("imp.ofn",
             "Prefix(:=<http://ex.org/>)\nOntology(<http://ex.org/imp>\nDeclaration(DataProperty(:B))\n"
             "FunctionalDataProperty(:B)\nSubClassOf(:C ObjectUnionOf(:D :E))\n)\n");
  auto dl = load_ontology_lenient(main);
  ASSERT_TRUE(dl) << dl.error().message();
  EXPECT_EQ(dl->dl().axiom_count(), 0u);
  ASSERT_EQ(meta(*dl).warnings.size(), 2u);
  EXPECT_TRUE(meta(*dl).warnings[1].starts_with("DL axioms of the merged ontology skipped: ")) << meta(*dl).warnings[1];
  // Left-out axioms count as skipped, so the answers over the rest know it.
  EXPECT_EQ(meta(*dl).skipped_axiom_count, 2u);
}

TEST(Load, SizeLimits) {
  TempTree tree;
  const std::string rdf = tree.write("big.rdf", document(Syntax::RdfXml, ex("big"), {}, {sub("A", "B")}));
  const std::string ofn = tree.write("big.ofn", document(Syntax::Functional, ex("big"), {}, {sub("A", "B")}));
  for (const std::string& path : {rdf, ofn}) {
    const uint64_t size = std::filesystem::file_size(path);
    LoadLimits limits;
    limits.max_file_bytes = size - 1;
    EXPECT_EQ(error_of(load_ontology_with_limits_and_base_inner(path, limits, std::nullopt, true)),
              fmt::format("parse error: file size {} exceeds limit of {} bytes", size, size - 1));
    limits.max_file_bytes = size;
    EXPECT_EQ(error_of(load_ontology_with_limits_and_base_inner(path, limits, std::nullopt, true)), "");
  }
  auto pre = preprocess_rdf_xml_text("<rdf:RDF/>", 100, 9);
  ASSERT_FALSE(pre);
  EXPECT_EQ(pre.error().message(), "parse error: RDF/XML preprocessing allocation 10 bytes exceeds limit of 9 bytes");
  // Mentioning rdf:nil beside a list element says nothing about the lists.
  auto fits = preprocess_rdf_xml_text("<rdf:RDF><rdf:first/>syntax-ns#nil</rdf:RDF>", 100, 100);
  ASSERT_TRUE(fits);
  EXPECT_FALSE(fits->ill_founded_list);
}

// A document in syntax `s` whose class A has the IRI `a`, declared through a
// prefix named `prefix`, and whose individual i has the value `value` for the
// data property p.
std::string long_names_document(Syntax s, std::string_view prefix, std::string_view a, std::string_view value) {
  switch (s) {
    case Syntax::Functional:
      return fmt::format("Prefix({0}:=<http://ex.org/>)\nOntology(\nSubClassOf(<{1}> {0}:B)\n"
                         "DataPropertyAssertion({0}:p {0}:i \"{2}\")\n)\n", prefix, a, value);
    case Syntax::OwlXml:
      return fmt::format(
          "<?xml version=\"1.0\"?>\n<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\">\n"
          "<Prefix name=\"{0}\" IRI=\"http://ex.org/\"/>\n"
          "<SubClassOf><Class IRI=\"{1}\"/><Class abbreviatedIRI=\"{0}:B\"/></SubClassOf>\n"
          "<DataPropertyAssertion><DataProperty abbreviatedIRI=\"{0}:p\"/><NamedIndividual abbreviatedIRI=\"{0}:i\"/>"
          "<Literal>{2}</Literal></DataPropertyAssertion>\n</Ontology>\n", prefix, a, value);
    case Syntax::Turtle:
      return fmt::format(
          "@prefix owl: <http://www.w3.org/2002/07/owl#> .\n@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
          "@prefix {0}: <http://ex.org/> .\n<{1}> a owl:Class ; rdfs:subClassOf {0}:B .\n{0}:B a owl:Class .\n"
          "{0}:p a owl:DatatypeProperty .\n{0}:i a owl:NamedIndividual ; {0}:p \"{2}\" .\n", prefix, a, value);
    case Syntax::RdfXml:
      return fmt::format(
          "<?xml version=\"1.0\"?>\n<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
          "xmlns:rdfs=\"http://www.w3.org/2000/01/rdf-schema#\" xmlns:owl=\"http://www.w3.org/2002/07/owl#\" "
          "xmlns:{0}=\"http://ex.org/\">\n"
          "<owl:Class rdf:about=\"{1}\"><rdfs:subClassOf rdf:resource=\"http://ex.org/B\"/></owl:Class>\n"
          "<owl:Class rdf:about=\"http://ex.org/B\"/>\n<owl:DatatypeProperty rdf:about=\"http://ex.org/p\"/>\n"
          "<owl:NamedIndividual rdf:about=\"http://ex.org/i\"><{0}:p>{2}</{0}:p></owl:NamedIndividual>\n</rdf:RDF>\n",
          prefix, a, value);
  }
  return "";
}

// The lexical forms of the literals an ontology holds.
std::vector<std::string> literals(const Ontology& o) {
  std::vector<std::string> out;
  for (uint32_t i = 0; i < o.dl().de_count(); ++i) {
    auto de = o.dl().de(trelvanic_core::DeId(i));
    if (de.kind == trelvanic_core::DeKind::Literal) out.emplace_back(de.lexical());
  }
  return out;
}

TEST(Load, LongIrisLiteralsAndPrefixNamesInEverySyntax) {
  TempTree tree;
  for (size_t size : {size_t{40} << 10, size_t{600} << 10}) {
    const std::string long_iri = ex(std::string(size, 'a'));
    const std::string long_text(size, 'v');
    const std::string long_prefix = "p" + std::string(size, 'x');
    for (Syntax s : kSyntaxes) {
      const std::string what = fmt::format("{} bytes in {}", size, extension(s));
      // An IRI above the length limit never names an entity.
      const std::string iri =
          tree.write(std::string("iri") + std::string(extension(s)), long_names_document(s, "ex", long_iri, "v"));
      EXPECT_TRUE(error_of(load_ontology(iri)).starts_with("parse error: strict parse: skipped")) << what;

      const std::string names = tree.write(std::string("names") + std::string(extension(s)),
                                           long_names_document(s, long_prefix, ex("A"), long_text));
      auto o = load_ontology(names);
      if (s == Syntax::RdfXml && size > 50000) {
        // the XML parser's own bound on the length of a name
        EXPECT_TRUE(error_of(o).find("XML parser error: Name too long") != std::string::npos) << what << error_of(o);
        continue;
      }
      ASSERT_TRUE(o) << what << ": " << o.error().message().substr(0, 300);
      EXPECT_EQ(told(*o), std::vector<std::string>{sub_text("A", "B")}) << what;
      const std::vector<std::string> values = literals(*o);
      EXPECT_TRUE(values == std::vector<std::string>{long_text}) << what << ": " << values.size() << " literals";
    }
  }
}

TEST(Imports, TurtleRelativeReferencesAreTakenFromTheFile) {
  TempTree tree;
  tree.write("d/sub/part.ttl", document(Syntax::Turtle, "http://other.org/part", {}, {sub("C", "D")}));
  const std::string main = tree.write(
      "d/my main.ttl", "@prefix owl: <http://www.w3.org/2002/07/owl#> .\n"
                       "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                       "<> a owl:Ontology ; owl:imports <sub/part.ttl> .\n"
                       "<#A> a owl:Class ; rdfs:subClassOf <http://ex.org/B> .\n");
  auto o = load_ontology(main);
  ASSERT_TRUE(o) << o.error().message();
  EXPECT_EQ(told(*o), (std::vector<std::string>{
                          fmt::format("SubClassOf {}#A http://ex.org/B", file_iri(tree.path("d/my main.ttl"))),
                          sub_text("C", "D")}));
  EXPECT_EQ(file_iri("/a b/c%.ttl"), "file:///a%20b/c%25.ttl");
}

}  // namespace
}  // namespace trelvanic_parser
