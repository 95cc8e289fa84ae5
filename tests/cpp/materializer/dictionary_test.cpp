// Term interning: one id per RDF term, texts and display forms back.
#include <gtest/gtest.h>

#include "materializer/dictionary.h"
#include "materializer/vocabulary.h"
#include "rdf/term.h"
#include "rdf/vocab.h"

namespace trelvanic_materializer {
namespace {

TEST(DictionaryTest, VocabularyIdsAreFixedInEveryDictionary) {
  Dictionary a, b;
  EXPECT_EQ(a.find_iri("http://www.w3.org/1999/02/22-rdf-syntax-ns#type"), vocab::rdf_type);
  EXPECT_EQ(b.iri("http://www.w3.org/2002/07/owl#sameAs"), vocab::owl_sameAs);
  EXPECT_EQ(a.size(), vocab::kCount);
  EXPECT_EQ(a.value(vocab::xsd_integer), "http://www.w3.org/2001/XMLSchema#integer");
}

// The rules and the readers share one term layer: a reader's term table
// gives the rules' vocabulary the same ids, including the terms only the
// rules name, and a dictionary's kinds and datatypes follow the table's.
TEST(DictionaryTest, VocabularyIdsAreTheReadersIds) {
  trelvanic_rdf::TermTable table;
  const struct {
    TermId rule_id;
    const char* iri;
  } cases[] = {
      {vocab::rdf_type, "http://www.w3.org/1999/02/22-rdf-syntax-ns#type"},
      {vocab::owl_maxQualifiedCardinality, "http://www.w3.org/2002/07/owl#maxQualifiedCardinality"},
      {vocab::rdfs_Resource, "http://www.w3.org/2000/01/rdf-schema#Resource"},
      {vocab::xsd_base64Binary, "http://www.w3.org/2001/XMLSchema#base64Binary"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(table.find_iri(c.iri), c.rule_id) << c.iri;
    EXPECT_LE(c.rule_id.value, vocab::kLast.value) << c.iri;
  }
  // The mapping's own vocabulary ends before the rules' extra terms.
  EXPECT_TRUE(trelvanic_rdf::vocab::is_vocab(vocab::owl_sameAs));
  EXPECT_FALSE(trelvanic_rdf::vocab::is_vocab(vocab::rdfs_Resource));

  Dictionary d;
  const TermId simple = d.literal("x", TermId{});
  EXPECT_EQ(d.datatype(simple), vocab::xsd_string);
  EXPECT_EQ(d.datatype(d.lang_literal("x", "en")), vocab::rdf_langString);
  EXPECT_EQ(d.datatype(d.iri("http://example.org/a")), TermId{});
  EXPECT_EQ(d.kind(d.blank("b")), TermKind::Blank);
  EXPECT_TRUE(d.is_literal(simple));
  EXPECT_EQ(d.display(TermId{static_cast<std::uint32_t>(d.size() + 1)}), "?");
}

TEST(DictionaryTest, OneIdPerRdfTerm) {
  Dictionary d;
  TermId iri = d.iri("http://example.org/a");
  TermId blank = d.blank("http://example.org/a");
  TermId simple = d.literal("http://example.org/a", TermId{});
  EXPECT_NE(iri, blank);
  EXPECT_NE(iri, simple);
  EXPECT_NE(blank, simple);
  // A simple literal and an xsd:string literal are one term; tags ignore case.
  EXPECT_EQ(d.intern(Term::literal("x", "http://www.w3.org/2001/XMLSchema#string")), d.intern(Term::literal("x")));
  EXPECT_EQ(d.lang_literal("x", "EN-gb"), d.lang_literal("x", "en-GB"));
  EXPECT_NE(d.lang_literal("x", "en"), d.literal("x", TermId{}));
  EXPECT_NE(d.literal("1", d.iri("http://www.w3.org/2001/XMLSchema#int")),
            d.literal("1", d.iri("http://www.w3.org/2001/XMLSchema#integer")));
  EXPECT_EQ(d.find_iri("http://example.org/never"), TermId{});
}

TEST(DictionaryTest, TermsAndDisplayFormsRoundTrip) {
  Dictionary d;
  const Term terms[] = {Term::iri("http://example.org/a"), Term::blank("b1"), Term::literal("plain"),
                        Term::literal("5", "http://www.w3.org/2001/XMLSchema#integer"), Term::lang_literal("hallo", "de")};
  for (const Term& t : terms) EXPECT_EQ(d.term(d.intern(t)), t);
  EXPECT_EQ(d.display(d.intern(Term::literal("say \"hi\"\n"))), "\"say \\\"hi\\\"\\n\"");
  EXPECT_EQ(d.display(d.intern(Term::literal("5", "http://www.w3.org/2001/XMLSchema#integer"))),
            "\"5\"^^<http://www.w3.org/2001/XMLSchema#integer>");
  EXPECT_EQ(d.display(d.intern(Term::lang_literal("hallo", "de"))), "\"hallo\"@de");
  EXPECT_EQ(d.display(d.intern(Term::blank("b1"))), "_:b1");
}

// Display forms are N-Triples texts: the escapes every N-Triples reader
// undoes, and language tags lower-cased in ASCII only (other bytes of a
// malformed tag are kept as they are, whatever the locale).
TEST(DictionaryTest, DisplayEscapesAsNTriples) {
  struct Case {
    Term term;
    std::string display;
  };
  const Case cases[] = {
      {Term::literal("a\tb"), "\"a\\tb\""},
      {Term::literal("tab\there"), "\"tab\\there\""},
      {Term::literal("cr\rlf\n"), "\"cr\\rlf\\n\""},
      {Term::lang_literal("x", "EN-GB"), "\"x\"@en-gb"},
      {Term::lang_literal("x", "DE-\xC3\x9C"), "\"x\"@de-\xC3\x9C"},
  };
  Dictionary d;
  for (const Case& c : cases) EXPECT_EQ(d.display(d.intern(c.term)), c.display) << c.display;
}

}  // namespace
}  // namespace trelvanic_materializer
