#include "rdf/plain_ntriples.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rdf/turtle_reader.h"

namespace trelvanic_rdf {
namespace {

// What a read leaves: the error text or the triple count, then every triple
// as ids and every term of the table in id order (so term ids and blank
// labels count, not only the set of triples).
struct Outcome {
  std::string result;
  std::vector<TripleIds> triples;
  std::vector<std::string> terms;
  friend bool operator==(const Outcome&, const Outcome&) = default;
};

// A graph that already holds terms and a triple, so that a read which
// falls back must leave them exactly as they were.
void prefill(Graph& g) {
  TermTable& t = g.terms();
  g.add(t.blank("n1"), t.iri("http://e.org/p"), t.literal("v", {}, "en"));
}

Outcome read_with(std::string_view doc, bool ntriples, const ReadOptions& options, bool serd_only) {
  Graph g;
  prefill(g);
  auto r = serd_only ? read_turtle_serd(doc, g, options, ntriples)
                     : read_turtle(doc, g, options, ntriples);
  Outcome out;
  out.result = r ? "triples " + std::to_string(r->triples) : "error " + r.error().message;
  out.triples = g.triples();
  for (std::uint32_t id = 1; id < g.terms().size(); ++id) out.terms.push_back(g.terms().display(TermId{id}));
  return out;
}

// Each document is read as Turtle and as N-Triples by both roads, which must
// agree on everything; `plain` says whether our reader takes it at all.
TEST(PlainNTriplesTest, BothRoadsGiveTheSameGraph) {
  struct Case {
    const char* name;
    std::string doc;
    bool plain;
  };
  const std::string s = "<http://e.org/s>";
  const std::string p = "<http://e.org/p>";
  const Case cases[] = {
      {"empty", "", true},
      {"comments and blank lines only", "# a\n\n  \t# b\r\n", true},
      {"line ends, tabs, no final newline",
       s + " " + p + "\t<http://e.org/o> .\r\n\n" + s + "\t\t" + p + " <urn:x:o2>.# c\n" + s + " " +
           p + " <http://e.org/o3> .  ",
       true},
      {"literals and escapes",
       s + " " + p + " \"\" .\n" + s + " " + p + " \"a\\tb\\bc\\nd\\re\\ff\\\"g\\'h\\\\i\" .\n" + s + " " +
           p + " \"\\u00e9\\U0001F600\\u0041\" .\n" + s + " " + p + " \"x\"@EN-us .\n" + s + " " + p +
           " \"x\"@en.\n" + s + " " + p +
           " \"1\"^^<http://www.w3.org/2001/XMLSchema#integer>.\n" + s + " " + p +
           " \"x\"^^<http://www.w3.org/2001/XMLSchema#string> .\n" + s + " " + p + " \"x\" .\n" +
           s + " " + p + " \"tab\there # not a comment\" .\n",
       true},
      {"text beyond ASCII",
       "<http://e.org/caf\xC3\xA9> " + p + " \"na\xC3\xAFve \xF0\x9F\x98\x80\"@fr . # \xC3\xA9\n", true},
      {"blank labels",
       "_:x-y_z " + p + " _:1a .\n_:b1 " + p + " _:c2.\n_:x-y_z " + p + " _:b1 .\n_:x-y_z " + p +
           " _:b .\n_:_u " + p + " _:x-y_z .\n",
       true},
      {"long labels", "_:nc237b5f6b91c4e52a9ce9f31dccfdb07b2879 " + p + " _:Z_0123456789-abcdefXYZ.\n", true},
      {"duplicates", s + " " + p + " _:a .\n" + s + " " + p + " _:a .\n", true},
      // serd keeps B<digit> labels apart from the b<digit> ones it rewrites
      // in Turtle only after it has met one of those.
      {"B label before b label", "_:B1 " + p + " _:c .\n_:b1 " + p + " _:c .\n", true},
      // Turtle: serd refuses the document.
      {"B label after b label", "_:b1 " + p + " _:c .\n_:B1 " + p + " _:c .\n", false},
      // Everything below is read by serd alone.
      {"prefix directive", "@prefix e: <http://e.org/> .\ne:s e:p e:o .\n", false},
      {"prefix after plain lines", s + " " + p + " _:a .\n@prefix e: <http://e.org/> .\ne:s e:p _:a .\n",
       false},
      {"prefixed name", s + " " + p + " e:o .\n", false},
      {"relative IRI", s + " " + p + " <o> .\n", false},
      {"abbreviations", s + " " + p + " <http://e.org/a>, <http://e.org/b> ; a " + p + " .\n", false},
      {"anonymous node", s + " " + p + " [ " + p + " 1 ] .\n", false},
      {"bare number", s + " " + p + " 1 .\n", false},
      {"long string", s + " " + p + " \"\"\"a\nb\"\"\" .\n", false},
      {"single quotes", s + " " + p + " 'a' .\n", false},
      {"statement over two lines", s + " " + p + "\n  <http://e.org/o> .\n", false},
      {"two statements on a line", s + " " + p + " _:a . " + s + " " + p + " _:b .\n", false},
      {"no space between terms", s + p + "<http://e.org/o> .\n", false},
      {"label with a dot", s + " " + p + " _:a.b .\n", false},
      {"long label with a dot", "_:abcdefghijklmnopq.rs " + p + " _:a .\n", false},
      {"long label beyond ASCII", "_:abcdefghijklmnopq\xC3\xA9 " + p + " _:a .\n", false},
      {"IRI escape", "<http://e.org/\\u0073> " + p + " _:a .\n", false},
      {"escaped surrogate", s + " " + p + " \"\\uD800\" .\n", false},
      {"escaped NUL", s + " " + p + " \"a\\u0000b\" .\n", false},
      {"code point out of range", s + " " + p + " \"\\U00110000\" .\n", false},
      {"unknown escape", s + " " + p + " \"\\q\" .\n", false},
      {"lone carriage return", s + " " + p + " _:a .\r" + s + " " + p + " _:b .\r", false},
      {"byte order mark", "\xEF\xBB\xBF" + s + " " + p + " _:a .\n", false},
      {"space in IRI", s + " " + p + " <http://e.org/a b> .\n", false},
      // Stops far into a long IRI and within the last bytes of the text.
      {"brace deep in an IRI", s + " " + p + " <http://e.org/a/long/path/to/{b}> .\n", false},
      {"brace at the very end", s + " " + p + " <u:{> .", false},
      {"quote at the very end", s + " " + p + " \"a\"\"", false},
      {"missing dot", s + " " + p + " _:a .\n" + s + " " + p + " _:b\n" + s + " " + p + " _:c .\n",
       false},
      {"literal subject", "\"a\" " + p + " _:a .\n", false},
      {"dangling language tag", s + " " + p + " \"a\"@en- .\n", false},
  };
  for (const Case& c : cases) {
    for (bool ntriples : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (ntriples ? " (N-Triples)" : " (Turtle)"));
      const ReadOptions options{.source_name = "doc.nt"};
      EXPECT_EQ(read_with(c.doc, ntriples, options, false), read_with(c.doc, ntriples, options, true));
      Graph g;
      prefill(g);
      auto plain = read_plain_ntriples(c.doc, g, options, ntriples);
      ASSERT_TRUE(plain.has_value());
      // The b/B clash is Turtle's alone.
      const bool expect_plain = c.plain || (ntriples && std::string_view(c.name) == "B label after b label");
      EXPECT_EQ(plain->has_value(), expect_plain);
    }
  }
}

// A base IRI changes nothing in a plain document; one serd refuses is
// refused with serd's words.
TEST(PlainNTriplesTest, BaseIriOfTheOptions) {
  const std::string doc = "<http://e.org/s> <http://e.org/p> <http://e.org/o> .\n";
  for (const char* base : {"http://e.org/base/", "file:///tmp/doc.nt", "not a base"}) {
    SCOPED_TRACE(base);
    const ReadOptions options{.base_iri = base, .source_name = "doc.nt"};
    EXPECT_EQ(read_with(doc, false, options, false), read_with(doc, false, options, true));
  }
}

// A cancelled read stops with the error either road gives.
TEST(PlainNTriplesTest, CancelledReadStops) {
  std::string doc;
  for (int i = 0; i < 10000; ++i) doc += "<http://e.org/s> <http://e.org/p> _:b" + std::to_string(i) + " .\n";
  std::atomic<bool> cancel{true};
  const ReadOptions options{.cancel = &cancel};
  EXPECT_EQ(read_with(doc, true, options, false).result, "error cancelled");
  EXPECT_EQ(read_with(doc, true, options, true).result, "error cancelled");
}

// Random edits of a plain document (bytes replaced, dropped or doubled,
// from the characters that matter to either road) read by both roads.
TEST(PlainNTriplesTest, RandomEditsReadTheSameByBothRoads) {
  const std::string base =
      "<http://e.org/s> <http://e.org/p> \"caf\xC3\xA9 \\u00e9\\t\\\"q\\\"\"@en-GB .\n"
      "_:b1 <http://e.org/p> _:c2 . # comment\r\n"
      "<http://e.org/s> <http://e.org/q> \"1\"^^<http://www.w3.org/2001/XMLSchema#integer>.\n"
      "\n_:x-y <urn:x:p>\t_:n0123456789abcdef0123456789 .\n";
  const std::string alphabet = "<>\"\\_:.#@^ \t\r\nbBu0aZ-'{}\xC3\xA9";
  std::uint64_t state = 0x9E3779B97F4A7C15ULL;
  auto next = [&](std::uint64_t n) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return (state >> 33) % n;
  };
  int plain = 0;  // documents our reader took whole
  for (int round = 0; round < 5000; ++round) {
    std::string doc = base;
    for (std::uint64_t edits = 1 + next(3); edits > 0; --edits) {
      const std::size_t at = next(doc.size());
      switch (next(3)) {
        case 0: doc[at] = alphabet[next(alphabet.size())]; break;
        case 1: doc.erase(at, 1); break;
        default: doc.insert(at, 1, doc[at]); break;
      }
    }
    const bool ntriples = next(2) == 0;
    const ReadOptions options{.source_name = "doc.nt"};
    const Outcome fast = read_with(doc, ntriples, options, false);
    const Outcome slow = read_with(doc, ntriples, options, true);
    ASSERT_EQ(fast, slow) << (ntriples ? "N-Triples: " : "Turtle: ") << doc;
    Graph g;
    if (auto r = read_plain_ntriples(doc, g, options, ntriples); r && *r) ++plain;
  }
  // Enough edits leave the document plain for the comparison to test our
  // reader, not only its refusals.
  EXPECT_GT(plain, 500);
}

}  // namespace
}  // namespace trelvanic_rdf
