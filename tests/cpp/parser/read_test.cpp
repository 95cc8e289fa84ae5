#include "parser/read.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "tests/cpp/parser/temp_tree.h"

namespace trelvanic_parser {
namespace {

using testing::TempTree;
using F = OntologyFormat;

// Stands in for a model of the OWL structural model: records what the
// reader saw.
struct FakeModel {
  std::string input;
  F format = F::Functional;
};

// A reader that accepts anything and reports `components` components.
ModelReader<FakeModel> counting_reader(uint64_t components, int* calls = nullptr) {
  return [components, calls](std::string_view bytes, F format) -> std::expected<ModelReadOutput<FakeModel>, std::string> {
    if (calls != nullptr) ++*calls;
    return ModelReadOutput<FakeModel>{FakeModel{std::string(bytes.substr(0, 64)), format}, components};
  };
}

std::string outcome(const Result<FakeModel>& result) { return result ? "ok" : result.error().message(); }

Result<FakeModel> read_text(std::string_view text, F format, const LoadLimits& limits,
                            const ModelReader<FakeModel>& reader) {
  TextSource source(text);
  return read_owl_model_from_reader<FakeModel>(source, format, limits, reader);
}

TEST(ReadPolicy, InputSizeLimitAtTheBoundary) {
  const LoadLimits limits;  // the load defaults: 64 MiB
  int calls = 0;
  std::string text(limits.max_file_bytes, '\n');
  EXPECT_EQ(outcome(read_text(text, F::Functional, limits, counting_reader(1, &calls))), "ok");
  EXPECT_EQ(calls, 1);
  text.push_back('\n');
  EXPECT_EQ(outcome(read_text(text, F::Functional, limits, counting_reader(1, &calls))),
            "parse error: input size 67108865 exceeds limit of 67108864 bytes");
  EXPECT_EQ(calls, 1);  // refused before the reader
}

TEST(ReadPolicy, FileAndTextAreReadAlike) {
  TempTree tree;
  LoadLimits limits;
  limits.max_file_bytes = 10;
  const struct {
    std::string bytes;
    std::string expected;
  } cases[] = {
      {"Ontology()", "ok"},
      {"Ontology( )", "parse error: input size 11 exceeds limit of 10 bytes"},
      {std::string(1000, 'x'), "parse error: input size 11 exceeds limit of 10 bytes"},
  };
  for (const auto& c : cases) {
    std::string path = tree.write("f.ofn", c.bytes);
    auto file = open_for_load(path, std::nullopt);
    ASSERT_TRUE(file.has_value());
    FileSource source(*file);
    auto from_file = read_owl_model_from_reader<FakeModel>(source, F::Functional, limits, counting_reader(1));
    EXPECT_EQ(outcome(from_file), c.expected);
    EXPECT_EQ(outcome(read_text(c.bytes, F::Functional, limits, counting_reader(1))), c.expected);
    if (from_file) {
      EXPECT_EQ(from_file->input, c.bytes);
    }
  }
  LoadLimits unbounded;
  unbounded.max_file_bytes = UINT64_MAX;
  EXPECT_EQ(outcome(read_text(std::string(200'000, ' '), F::Functional, unbounded, counting_reader(1))), "ok");
}

// Hands out at most `step` bytes a read and reports a size hint that may
// be wrong, as a pipe or a file that grows or shrinks while it is read.
class ShortReads final : public ByteSource {
 public:
  ShortReads(std::string text, size_t step, std::optional<uint64_t> hint)
      : text_(std::move(text)), step_(step), hint_(hint) {}
  Result<std::size_t> read(std::span<char> out) override {
    const size_t n = std::min({out.size(), step_, text_.size() - pos_});
    std::copy_n(text_.data() + pos_, n, out.data());
    pos_ += n;
    return n;
  }
  std::optional<uint64_t> size_hint() const override { return hint_; }

 private:
  std::string text_;
  size_t pos_ = 0;
  size_t step_;
  std::optional<uint64_t> hint_;
};

TEST(ReadPolicy, ShortReadsAndWrongHintsKeepEveryByte) {
  std::string text;
  for (int i = 0; i < 100'000; ++i) text.push_back(static_cast<char>('a' + i % 26));
  const struct {
    size_t step;
    std::optional<uint64_t> hint;
    uint64_t limit;
  } cases[] = {
      {text.size(), text.size(), UINT64_MAX}, {7, text.size(), UINT64_MAX},  {70'000, 10, UINT64_MAX},
      {70'000, std::nullopt, UINT64_MAX},     {1, 5, 100},                   {text.size(), 1'000'000, UINT64_MAX},
      {text.size(), text.size(), text.size()}, {4096, std::nullopt, text.size() - 1},
  };
  for (const auto& c : cases) {
    ShortReads source(text, c.step, c.hint);
    auto bytes = read_at_most(source, c.limit);
    ASSERT_TRUE(bytes.has_value());
    const size_t kept = static_cast<size_t>(std::min<uint64_t>(text.size(), c.limit == UINT64_MAX ? c.limit : c.limit + 1));
    EXPECT_EQ(*bytes, text.substr(0, kept)) << c.step;
  }
}

TEST(ReadPolicy, FileLargerThanTheLimitIsNotReadWhole) {
  TempTree tree;
  std::string path = tree.write("sparse.ofn", "");
  ASSERT_EQ(::truncate(path.c_str(), 67'108'864 + 4096), 0);
  auto file = open_for_load(path, std::nullopt);
  ASSERT_TRUE(file.has_value());
  FileSource source(*file);
  EXPECT_EQ(outcome(read_owl_model_from_reader<FakeModel>(source, F::Functional, LoadLimits{}, counting_reader(1))),
            "parse error: input size 67108865 exceeds limit of 67108864 bytes");
}

TEST(ReadPolicy, PrescanEstimates) {
  LoadLimits one;
  one.max_axioms = 1;
  const struct {
    const char* name;
    F format;
    std::string text;
    std::string expected;
  } cases[] = {
      {"a class element counts its closing tag too", F::RdfXml, "<owl:Class rdf:about=\"#A\"></owl:Class>",
       "parse error: pre-scan estimate of 2 components exceeds axiom limit of 1"},
      {"one self-closing class", F::OwlXml, "<owl:Class rdf:about=\"#A\"/>", "ok"},
      {"attribute values count", F::OwlXml, "<a rdf:resource=\"rdfs:subClassOf\"/><rdf:type/>",
       "parse error: pre-scan estimate of 2 components exceeds axiom limit of 1"},
      {"negative assertion also counts as positive", F::Functional, "NegativeObjectPropertyAssertion(:p :a :b)",
       "parse error: pre-scan estimate of 2 components exceeds axiom limit of 1"},
      {"functional keywords are case-sensitive", F::Functional, "subclassof( SubClassOf(", "ok"},
      {"turtle statement ends", F::Turtle, ":a :b :c ;\n :d :e .", "parse error: pre-scan estimate of 2 components exceeds axiom limit of 1"},
      {"turtle: three line feeds round down", F::Turtle, ":a :b :c.\n\n\n", "ok"},
      {"turtle: four line feeds", F::Turtle, ":a :b :c .\n\n\n\n",
       "parse error: pre-scan estimate of 2 components exceeds axiom limit of 1"},
      {"invalid UTF-8 around a text", F::OwlXml, "\xFFowl:Class\xFE rdf:type",
       "parse error: pre-scan estimate of 2 components exceeds axiom limit of 1"},
  };
  for (const auto& c : cases) {
    int calls = 0;
    EXPECT_EQ(outcome(read_text(c.text, c.format, one, counting_reader(1, &calls))), c.expected) << c.name;
    EXPECT_EQ(calls, c.expected == "ok" ? 1 : 0) << c.name;
  }
}

// Counts non-overlapping occurrences of each text the plain way, one text
// after the other, as the pre-scan is defined.
uint64_t reference_estimate(std::string_view text, F format) {
  auto count = [&](std::string_view needle) {
    uint64_t n = 0;
    for (size_t pos = text.find(needle); pos != std::string_view::npos; pos = text.find(needle, pos + needle.size())) {
      ++n;
    }
    return n;
  };
  const std::vector<std::string_view> xml = {
      "owl:Class",        "owl:ObjectProperty", "owl:DatatypeProperty", "owl:NamedIndividual", "owl:Restriction",
      "owl:equivalentClass", "owl:intersectionOf", "owl:unionOf",       "owl:complementOf",    "owl:disjointWith",
      "owl:someValuesFrom", "owl:allValuesFrom", "owl:hasValue",        "owl:cardinality",     "owl:minCardinality",
      "owl:maxCardinality", "rdf:type",          "rdfs:subClassOf"};
  const std::vector<std::string_view> functional = {
      "SubClassOf(",          "EquivalentClasses(",         "DisjointClasses(",
      "ClassAssertion(",      "ObjectPropertyAssertion(",   "DataPropertyAssertion(",
      "Declaration(",         "SubObjectPropertyOf(",       "EquivalentObjectProperties(",
      "DisjointObjectProperties(", "SameIndividual(",       "DifferentIndividuals(",
      "ObjectPropertyDomain(", "ObjectPropertyRange(",      "NegativeObjectPropertyAssertion(",
      "NegativeDataPropertyAssertion("};
  uint64_t sum = 0;
  if (format == F::Turtle) return count(" ;") + count(" .") + count("\n") / 4;
  for (std::string_view needle : format == F::Functional ? functional : xml) sum += count(needle);
  return sum;
}

TEST(ReadPolicy, PrescanMatchesPlainCountingOnMixedText) {
  // Random texts glued from pieces of the counted texts and their borders.
  const std::vector<std::string> pieces = {
      "owl:", "Class", "owl:Class", "owl:ClassAssertion", "owl:minCardinality", "Cardinality", "rdf:", "type",
      "rdfs:subClassOf", "SubClassOf(", "Negative", "ObjectPropertyAssertion(", "NegativeObjectPropertyAssertion(",
      "(", "((", "Declaration", "Declaration(", " ;", " .", "\n", " ", "\xFF", "SubObjectPropertyOf(", "owl:owl:",
      ":", "rdfs:", "rdfs", "owl", "rdf:typeowl:Class"};
  uint64_t state = 12345;
  for (int round = 0; round < 310; ++round) {
    // The last rounds are long texts, which the counting does in blocks.
    const int length = round < 300 ? 40 : 3000;
    std::string text;
    for (int i = 0; i < length; ++i) {
      state = state * 6364136223846793005ULL + 1442695040888963407ULL;
      text += pieces[(state >> 33) % pieces.size()];
    }
    for (F format : {F::OwlXml, F::RdfXml, F::Functional, F::Turtle}) {
      ASSERT_EQ(prescan_estimate(text, format), reference_estimate(text, format)) << text;
    }
  }
}

TEST(ReadPolicy, TurtlePrescanOnDenseLongTexts) {
  // Every byte pair a match, for far longer than one counting block.
  for (std::string_view unit : {" .", " ;", "\n", " .\n"}) {
    std::string text;
    for (int i = 0; i < 5000; ++i) text += unit;
    for (std::string tail : {"", " ", "x"}) {
      ASSERT_EQ(prescan_estimate(text + tail, F::Turtle), reference_estimate(text + tail, F::Turtle)) << unit;
    }
  }
}

// The densest Turtle texts, with a limit at their estimate and one below:
// a text the limit could refuse is always counted.
TEST(ReadPolicy, TurtleDenseTextsAtTheLimit) {
  for (std::string_view unit : {" .", " ;", " .\n\n\n\n", "\n\n\n\n", " ;\n"}) {
    std::string text;
    for (int i = 0; i < 1000; ++i) text += unit;
    const uint64_t estimate = reference_estimate(text, F::Turtle);
    LoadLimits limits;
    limits.max_axioms = estimate;
    int calls = 0;
    EXPECT_EQ(outcome(read_text(text, F::Turtle, limits, counting_reader(0, &calls))), "ok") << unit;
    limits.max_axioms = estimate - 1;
    EXPECT_EQ(outcome(read_text(text, F::Turtle, limits, counting_reader(0, &calls))),
              fmt::format("parse error: pre-scan estimate of {} components exceeds axiom limit of {}", estimate,
                          estimate - 1))
        << unit;
  }
}

TEST(ReadPolicy, TurtleLineFeedsAgainstTheDefaultAxiomLimit) {
  const LoadLimits limits;
  std::string text(4 * limits.max_axioms + 3, '\n');
  int calls = 0;
  EXPECT_EQ(outcome(read_text(text, F::Turtle, limits, counting_reader(0, &calls))), "ok");
  text.push_back('\n');
  EXPECT_EQ(outcome(read_text(text, F::Turtle, limits, counting_reader(0, &calls))),
            "parse error: pre-scan estimate of 10000001 components exceeds axiom limit of 10000000");
  EXPECT_EQ(calls, 1);
}

TEST(ReadPolicy, ComponentCountLimit) {
  const LoadLimits limits;
  EXPECT_EQ(outcome(read_text("Ontology()", F::Functional, limits, counting_reader(10'000'000))), "ok");
  EXPECT_EQ(outcome(read_text("Ontology()", F::Functional, limits, counting_reader(10'000'001))),
            "parse error: parsed ontology contains 10000001 components, exceeding axiom limit of 10000000");
}

TEST(ReadPolicy, ReaderErrorsAndIncompleteRdf) {
  auto incomplete_after = [](std::size_t consumed) -> ModelReader<FakeModel> {
    return [consumed](std::string_view, F) -> std::expected<ModelReadOutput<FakeModel>, std::string> {
      return ModelReadOutput<FakeModel>{FakeModel{}, 1, /*incomplete=*/true, consumed};
    };
  };
  ModelReader<FakeModel> failing = [](std::string_view, F) -> std::expected<ModelReadOutput<FakeModel>, std::string> {
    return std::unexpected("expected ')' at line 3, column 7");
  };
  const LoadLimits limits;
  const struct {
    const char* name;
    F format;
    std::string text;
    ModelReader<FakeModel> reader;
    std::string expected;
  } cases[] = {
      {"reader error", F::Functional, "Ontology(", failing, "parse error: expected ')' at line 3, column 7"},
      {"only blanks left", F::Turtle, "<a> <b> <c> . \t\n\r\f ", incomplete_after(13), "ok"},
      {"nothing left", F::RdfXml, "<rdf:RDF/>", incomplete_after(10), "ok"},
      {"text left (RDF/XML)", F::RdfXml, "<rdf:RDF/> <x/>", incomplete_after(10),
       "parse error: incomplete RDF document"},
      {"text left (Turtle)", F::Turtle, "<a> <b> <c> . junk", incomplete_after(13),
       "parse error: incomplete RDF document"},
      {"no RDF check for other syntaxes", F::OwlXml, "<Ontology/> junk", incomplete_after(11), "ok"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(outcome(read_text(c.text, c.format, limits, c.reader)), c.expected) << c.name;
  }
}

TEST(ReadPolicy, CrashGuardKeepsTheLockUsable) {
  auto throwing = [](auto payload) -> ModelReader<FakeModel> {
    return [payload](std::string_view, F) -> std::expected<ModelReadOutput<FakeModel>, std::string> {
      throw payload;
    };
  };
  const struct {
    const char* name;
    ModelReader<FakeModel> reader;
    std::string expected;
  } cases[] = {
      {"std::exception", throwing(std::runtime_error("index out of range")),
       "parse error: parser internal error: index out of range"},
      {"bad_alloc", throwing(std::bad_alloc()), "parse error: parser internal error: std::bad_alloc"},
      {"string", throwing(std::string("broken state")), "parse error: parser internal error: broken state"},
      {"int", throwing(42), "parse error: parser internal error (unknown panic)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(outcome(read_text("Ontology()", F::Functional, LoadLimits{}, c.reader)), c.expected) << c.name;
    // The next read takes the lock again and succeeds.
    EXPECT_EQ(outcome(read_text("Ontology()", F::Functional, LoadLimits{}, counting_reader(1))), "ok") << c.name;
  }
}

TEST(ReadPolicy, TwoThreadsReadOneAfterTheOther) {
  std::atomic<int> inside{0};
  std::atomic<int> most_inside{0};
  std::atomic<bool> first_entered{false};
  std::atomic<bool> second_started{false};
  ModelReader<FakeModel> reader = [&](std::string_view bytes,
                                      F format) -> std::expected<ModelReadOutput<FakeModel>, std::string> {
    int now = ++inside;
    int seen = most_inside.load();
    while (now > seen && !most_inside.compare_exchange_weak(seen, now)) {
    }
    if (!first_entered.exchange(true)) {
      // Hold the reader until the other thread is about to read, and a while
      // longer: without the lock it would be inside by then.
      while (!second_started) std::this_thread::yield();
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    --inside;
    return ModelReadOutput<FakeModel>{FakeModel{std::string(bytes), format}, 1};
  };
  Result<FakeModel> first = std::unexpected(Error::parse("not run"));
  Result<FakeModel> second = std::unexpected(Error::parse("not run"));
  std::thread a([&] { first = read_text("Ontology(<http://x/a>)", F::Functional, LoadLimits{}, reader); });
  while (!first_entered) std::this_thread::yield();
  std::thread b([&] {
    second_started = true;
    second = read_text("<a> <b> <c> .", F::Turtle, LoadLimits{}, reader);
  });
  a.join();
  b.join();
  EXPECT_EQ(most_inside.load(), 1);
  ASSERT_TRUE(first.has_value());
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(first->input, "Ontology(<http://x/a>)");
  EXPECT_EQ(first->format, F::Functional);
  EXPECT_EQ(second->input, "<a> <b> <c> .");
  EXPECT_EQ(second->format, F::Turtle);
}

}  // namespace
}  // namespace trelvanic_parser
