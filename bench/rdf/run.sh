#!/usr/bin/env bash
# Unpacks GALEN-EL (N-Triples, read as Turtle) to a temporary .ttl file and
# runs the RDF read-and-map benchmark on it. Usage: bench/rdf/run.sh BUILD_DIR
set -euo pipefail
build=${1:?build directory configured with -DTRELVANIC_BUILD_BENCH=ON}
data=${GALEN_EL:-$(dirname "$0")/../../../shared/data/el/galen-el.nt.gz}
tmp=$(mktemp --suffix=.ttl)
trap 'rm -f "$tmp"' EXIT
gzip -dc "$data" > "$tmp"
"$build/bench/rdf/bench_rdf_read" "$tmp" "${REPEATS:-3}"
