#!/usr/bin/env python3
"""Side-by-side run of trelvanic's materializer, `reasonable` and `owlrl`.

Installs reasonable, owlrl and rdflib into a venv under build/bench-venv
(once), then materialises Brick (Brick.ttl + owl.ttl + rdfs.ttl) plus each
of the first N building models with the three engines and prints the time
per building and the speed-up factors. Every engine starts from files
already parsed and is timed alike: loading the parsed triples into the
engine (interning included) plus reasoning to the closure and handing it
back; trelvanic and reasonable take the best of five runs. Also compares
closures: the number of rdf:type and rdfs:subClassOf triples between IRIs
that owlrl derives and trelvanic does not, and the reverse, leaving out
what trelvanic does not output by design (tautologies with owl:Thing /
owl:Nothing, reflexive subclass links, and the RDFS vocabulary typings
rdfs:Resource, rdfs:Class, rdfs:Datatype, owl:AnnotationProperty). Rules
both engines implement should give no difference.

    python3 bench/materializer/compare.py <build dir> [N buildings] [data/rl dir]

<build dir> is a CMake build with -DTRELVANIC_BUILD_BENCH=ON in which
bench_materializer was built.
"""
import json
import os
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
REPEATS = 5
VENV = ROOT / "build" / "bench-venv"


def ensure_venv():
    python = VENV / "bin" / "python"
    if not python.exists():
        subprocess.run([sys.executable, "-m", "venv", str(VENV)], check=True)
        subprocess.run([str(python), "-m", "pip", "install", "-q", "reasonable", "owlrl", "rdflib"], check=True)
    return python


RUNNER = r"""
import json, sys, time
import rdflib
engine, repeats, files = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
g = rdflib.Graph()
for f in files:
    g.parse(f, format="nt" if f.endswith(".nt") else "turtle")
# Parsing is not timed (the C++ side parses before its clock starts too).
# load: the parsed graph into the engine; reason: the closure computed and
# handed back. Best of `repeats` runs for each phase.
best_load = best_reason = None
if engine == "reasonable":
    import reasonable
    for _ in range(repeats):
        start = time.perf_counter()
        r = reasonable.PyReasoner()
        r.from_graph(g)
        loaded = time.perf_counter()
        out = r.reason()
        done = time.perf_counter()
        best_load = min(best_load or 1e9, loaded - start)
        best_reason = min(best_reason or 1e9, done - loaded)
    n = len(out)
    triples = out
elif engine == "owlrl":
    import owlrl
    # owlrl works on the rdflib graph in place: nothing to load, one run
    # (it changes the graph).
    start = time.perf_counter()
    owlrl.DeductiveClosure(owlrl.OWLRL_Semantics).expand(g)
    best_load, best_reason = 0.0, time.perf_counter() - start
    n = len(g)
    triples = g
RDF_TYPE = "http://www.w3.org/1999/02/22-rdf-syntax-ns#type"
SUB = "http://www.w3.org/2000/01/rdf-schema#subClassOf"
keep = set()
for s, p, o in triples:
    if str(p) in (RDF_TYPE, SUB) and isinstance(s, rdflib.URIRef) and isinstance(o, rdflib.URIRef):
        keep.add((str(s), str(p), str(o)))
print(json.dumps({"load": best_load, "reason": best_reason, "triples": n, "core": sorted(keep)}))
"""


def run_python(python, engine, files, repeats):
    out = subprocess.run([str(python), "-c", RUNNER, engine, str(repeats), *map(str, files)], capture_output=True,
                         text=True)
    if out.returncode != 0:
        return None, out.stderr.strip().splitlines()[-1:] or ["failed"]
    return json.loads(out.stdout), None


RDF_TYPE = "http://www.w3.org/1999/02/22-rdf-syntax-ns#type"
SUBCLASS = "http://www.w3.org/2000/01/rdf-schema#subClassOf"
SKIPPED_OBJECTS = {
    "http://www.w3.org/2002/07/owl#Thing",
    "http://www.w3.org/2000/01/rdf-schema#Resource",
    "http://www.w3.org/2000/01/rdf-schema#Class",
    "http://www.w3.org/2000/01/rdf-schema#Datatype",
    "http://www.w3.org/2002/07/owl#AnnotationProperty",
}


def core_of_dump(text):
    core = set()
    for line in text.splitlines():
        parts = line.split(" ")
        if len(parts) != 3 or not all(p.startswith("<") for p in parts):
            continue
        s, p, o = (x[1:-1] for x in parts)
        if p in (RDF_TYPE, SUBCLASS):
            core.add((s, p, o))
    return core


def comparable(triples):
    return {t for t in triples
            if t[2] not in SKIPPED_OBJECTS and t[0] != t[2] and t[0] != "http://www.w3.org/2002/07/owl#Nothing"}


def main():
    build = Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "build" / "materializer"
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    data = Path(sys.argv[3]) if len(sys.argv) > 3 else ROOT.parent / "shared" / "data" / "rl"
    bench = build / "bench" / "materializer" / "bench_materializer"
    python = ensure_venv()
    schema = [data / "Brick.ttl", data / "owl.ttl", data / "rdfs.ttl"]
    buildings = sorted((data / "buildings").glob("*.ttl"))[:count]
    print("seconds: load (parsed graph into the engine) + reason (closure computed and handed back), best of"
          f" {REPEATS} runs (owlrl: one run, it has no load step); x: the peer's load + reason over trelvanic's")
    print(f"{'building':28} {'trelvanic':>15} {'reasonable':>15} {'owlrl':>9} {'x reas.':>8} {'x owlrl':>8}"
          f" {'missing':>8} {'extra':>6}")
    for b in buildings:
        files = schema + [b]
        ours = json.loads(subprocess.run([str(bench), "file", "--repeat", str(REPEATS), *map(str, files)],
                                         capture_output=True, text=True, check=True).stdout)
        reas, _ = run_python(python, "reasonable", files, REPEATS)
        owl, _ = run_python(python, "owlrl", files, 1)
        t = ours["load_s"] + ours["reason_s"]
        def total(r):
            return r["load"] + r["reason"] if r else None
        def fmt(r, width):
            return f"{r['load']:.3f}+{r['reason']:.3f}".rjust(width) if r else "failed".rjust(width)
        def factor(r):
            return f"{total(r) / t:8.1f}" if r and t > 0 else f"{'-':>8}"
        dump = subprocess.run([str(bench), "dump", *map(str, files)], capture_output=True, text=True, check=True).stdout
        ours_core = comparable(core_of_dump(dump))
        if owl:
            theirs = comparable({tuple(t) for t in owl["core"]})
            missing, extra = len(theirs - ours_core), len(ours_core - theirs)
        else:
            missing = extra = "-"
        mine = f"{ours['load_s']:.4f}+{ours['reason_s']:.4f}"
        print(f"{b.name:28} {mine:>15} {fmt(reas, 15)} {owl['reason'] if owl else 0:9.2f} {factor(reas)} {factor(owl)}"
              f" {missing:>8} {extra:>6}", flush=True)


if __name__ == "__main__":
    main()
