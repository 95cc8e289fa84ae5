#!/usr/bin/env bash
# Load-and-map benchmark: GALEN-EL (N-Triples read with the Turtle reader,
# unpacked to a temporary file) and a generated functional-syntax ontology
# of 1,000,000 axioms. Usage: bench/map/run.sh BUILD_DIR
set -euo pipefail
build=${1:?build directory configured with -DTRELVANIC_BUILD_BENCH=ON}
data=${GALEN_EL:-$(dirname "$0")/../../../shared/data/el/galen-el.nt.gz}
tmp=$(mktemp --suffix=.ttl)
trap 'rm -f "$tmp"' EXIT
gzip -dc "$data" > "$tmp"
"$build/bench/map/bench_map_load" "$tmp" "${REPEATS:-3}"
"$build/bench/map/bench_map_load" --generate "${AXIOMS:-1000000}" "${REPEATS:-3}"
