// Rewrites an ontology file (RDF/XML, OWL/XML, Turtle or functional syntax,
// told apart by its first bytes) as functional syntax, read the way a load
// reads it (the loader's model readers and read policy) and written by the
// project's functional-syntax writer, so that a benchmark can give every
// input to a program that reads functional syntax only. Triples the RDF
// mapping cannot turn into OWL constructs are dropped, as in a load.
//
//   bench_to_functional IN OUT
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "owl/functional_writer.h"
#include "parser/format.h"
#include "parser/read.h"
#include "parser/readers.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s IN OUT\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "bench_to_functional: cannot open %s\n", argv[1]);
    return 1;
  }
  std::ostringstream buf;
  buf << in.rdbuf();
  const std::string text = buf.str();
  const auto format = trelvanic_parser::detect_format_from_bytes(
      std::string_view(text).substr(0, trelvanic_parser::kSniffBytes));
  if (!format) {
    std::fprintf(stderr, "bench_to_functional: cannot tell the syntax of %s\n", argv[1]);
    return 1;
  }
  trelvanic_parser::TextSource source(text);
  trelvanic_parser::LoadLimits limits;
  limits.max_file_bytes = text.size();
  auto model = trelvanic_parser::read_owl_model(source, *format, limits);
  if (!model) {
    std::fprintf(stderr, "bench_to_functional: %s: %s\n", argv[1], model.error().message().c_str());
    return 1;
  }
  std::ofstream out(argv[2], std::ios::binary);
  out << trelvanic_owl::write_functional(*model);
  if (!out) {
    std::fprintf(stderr, "bench_to_functional: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
