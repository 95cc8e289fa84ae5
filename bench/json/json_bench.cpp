// Write and read back a snapshot-shaped document of N told axioms (default
// 1,000,000) with the JSON layer alone, and report MB/s both ways.
//
// The document has the snapshot's layout: a root record with a format
// version, an entity list of {"iri", "kind"} records and an axiom list of
// tagged unions (struct variants of two IRIs, a newtype list variant),
// pretty-printed. Reading goes through the record helpers and copies every
// string out, as a real reader must.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "json/reader.h"
#include "json/record.h"
#include "json/writer.h"

using namespace trelvanic_json;

namespace {

constexpr std::string_view kRootFields[] = {"format_version", "entities", "axioms"};
constexpr RecordShape kRoot{"struct OntologySnapshot", "struct OntologySnapshot with 3 elements", kRootFields,
                            UnknownFields::Refuse};
constexpr std::string_view kEntityFields[] = {"iri", "kind"};
constexpr RecordShape kEntity{"struct SnapshotEntity", "struct SnapshotEntity with 2 elements", kEntityFields,
                              UnknownFields::Refuse};
constexpr std::string_view kKindNames[] = {"Class", "Individual", "ObjectProperty"};
constexpr VariantShape kKindShapes[] = {VariantShape::Unit, VariantShape::Unit, VariantShape::Unit};
constexpr std::string_view kAxiomNames[] = {"SubClassOf", "EquivalentClasses", "ClassAssertion"};
constexpr VariantShape kAxiomShapes[] = {VariantShape::Struct, VariantShape::Newtype, VariantShape::Struct};
constexpr std::string_view kSubFields[] = {"subclass", "superclass"};
constexpr RecordShape kSub{"struct variant SnapshotAxiom::SubClassOf",
                           "struct variant SnapshotAxiom::SubClassOf with 2 elements", kSubFields,
                           UnknownFields::Refuse};
constexpr std::string_view kAssertFields[] = {"individual", "class"};
constexpr RecordShape kAssert{"struct variant SnapshotAxiom::ClassAssertion",
                              "struct variant SnapshotAxiom::ClassAssertion with 2 elements", kAssertFields,
                              UnknownFields::Refuse};

std::string iri(std::size_t i) { return "http://example.org/onto/C" + std::to_string(i); }

std::string write_document(std::size_t axioms, std::size_t entities) {
  std::string out;
  out.reserve(128);
  Writer w(out, Layout::Pretty);
  w.begin_object();
  w.key("format_version");
  w.u64(4);
  w.key("entities");
  w.begin_array();
  for (std::size_t i = 0; i < entities; ++i) {
    w.begin_object();
    w.key("iri");
    w.string(iri(i));
    w.key("kind");
    w.string(kKindNames[i % 2]);
    w.end_object();
  }
  w.end_array();
  w.key("axioms");
  w.begin_array();
  for (std::size_t i = 0; i < axioms; ++i) {
    w.begin_object();
    std::size_t form = i % 8 == 7 ? 1 : (i % 8 == 6 ? 2 : 0);
    w.key(kAxiomNames[form]);
    if (form == 1) {
      w.begin_array();
      w.string(iri(i % entities));
      w.string(iri((i * 7 + 1) % entities));
      w.end_array();
    } else {
      w.begin_object();
      w.key(form == 0 ? "subclass" : "individual");
      w.string(iri(i % entities));
      w.key(form == 0 ? "superclass" : "class");
      w.string(iri((i * 7 + 1) % entities));
      w.end_object();
    }
    w.end_object();
  }
  w.end_array();
  w.end_object();
  return out;
}

struct ReadAxiom {
  uint8_t form;
  std::vector<std::string> iris;
};

Result<std::size_t> read_document(std::string_view text, std::vector<std::string>& entity_iris,
                                  std::vector<ReadAxiom>& axioms) {
  Reader r(text);
  uint32_t version = 0;
  TRELVANIC_JSON_TRY(read_record(r, kRoot, [&](std::size_t field) -> Result<void> {
    switch (field) {
      case 0: version = TRELVANIC_JSON_TRY(r.read_u32()); return {};
      case 1:
        return read_seq(r, [&](std::size_t) -> Result<void> {
          return read_record(r, kEntity, [&](std::size_t f) -> Result<void> {
            if (f == 0) {
              entity_iris.emplace_back(TRELVANIC_JSON_TRY(r.read_str()));
              return {};
            }
            TRELVANIC_JSON_TRY(read_union(r, UnionShape{kKindNames, kKindShapes},
                                          [](std::size_t) -> Result<void> { return {}; }));
            return {};
          });
        });
      default:
        return read_seq(r, [&](std::size_t) -> Result<void> {
          ReadAxiom axiom{};
          auto string_field = [&](std::size_t) -> Result<void> {
            axiom.iris.emplace_back(TRELVANIC_JSON_TRY(r.read_str()));
            return {};
          };
          std::size_t form = TRELVANIC_JSON_TRY(read_union(r, UnionShape{kAxiomNames, kAxiomShapes},
                                                           [&](std::size_t v) -> Result<void> {
            if (v == 1) return read_seq(r, string_field);
            return read_record(r, v == 0 ? kSub : kAssert, string_field);
          }));
          axiom.form = static_cast<uint8_t>(form);
          axioms.push_back(std::move(axiom));
          return {};
        });
    }
  }));
  TRELVANIC_JSON_TRY(r.finish());
  return static_cast<std::size_t>(version);
}

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t n = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
  std::size_t entities = n / 4 + 1;

  auto t0 = std::chrono::steady_clock::now();
  std::string doc = write_document(n, entities);
  double write_s = seconds_since(t0);
  double mb = static_cast<double>(doc.size()) / 1e6;

  std::vector<std::string> entity_iris;
  std::vector<ReadAxiom> axioms;
  entity_iris.reserve(entities);
  axioms.reserve(n);
  auto t1 = std::chrono::steady_clock::now();
  auto read = read_document(doc, entity_iris, axioms);
  double read_s = seconds_since(t1);
  if (!read || axioms.size() != n || entity_iris.size() != entities) {
    std::fprintf(stderr, "read back failed: %s\n", read ? "count mismatch" : read.error().text().c_str());
    return 1;
  }

  // Skipping the whole document measures the scanner alone.
  auto t2 = std::chrono::steady_clock::now();
  Reader skipper(doc);
  if (!skipper.skip_value()) return 1;
  double skip_s = seconds_since(t2);

  std::printf("axioms %zu, entities %zu, document %.1f MB\n", n, entities, mb);
  std::printf("write  %.3f s  %.0f MB/s\n", write_s, mb / write_s);
  std::printf("read   %.3f s  %.0f MB/s (records, strings copied)\n", read_s, mb / read_s);
  std::printf("skip   %.3f s  %.0f MB/s (syntax check only)\n", skip_s, mb / skip_s);
  return 0;
}
