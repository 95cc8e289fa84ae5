"""Differential test of the RDF/XML road (text passes, reader, mapping)
against the Turtle road on the same triples, as another serialiser writes
them.

Each ontology (random small OWL 2 graphs, and any RDF/XML files given with
--file) is written by rdflib as N-Triples and as RDF/XML in its two styles
("xml": flat descriptions; "pretty-xml": typed nodes, nested blank nodes,
rdf:nodeID, parseType Collection). All of them are loaded strictly through
the extension module; the told and DL axioms must be the same for every
spelling (anonymous individuals compared without their labels), or the same
load error. Differences are printed; the exit status is 1 when there is one.

Needs rdflib in the Python environment that runs it (a benchmark
environment; rdflib is no dependency of the module) and an interpreter that
imports `_trelvanic` and pytest for the workers (`--module`):

    /tmp/bench-venv/bin/python bench/rdfxml_passes/rdflib_roundtrip.py [COUNT] [SEED] \\
        --module /work/venvs/NAME/bin/python [--file F.owl ...]
"""
from __future__ import annotations

import argparse
import json
import os
import random
import subprocess
import sys
import tempfile
import warnings

import rdflib
from rdflib import BNode, Literal, URIRef
from rdflib.collection import Collection
from rdflib.namespace import OWL, RDF, RDFS, XSD

EX = "http://example.org/rt#"
TESTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "python")

# Runs in the interpreter given with --module: one path per input line, one
# JSON answer per output line (the sorted told and DL axioms, or the error).
WORKER = r"""
import ast, json, re, sys
sys.path.insert(0, sys.argv[1])
from test_rdfxml_passes import stored_axioms
blank = re.compile(r"(_:[^ '\]\}]+|[^ '\[\{]*#_[A-Za-z0-9:]+)")
def unordered(value):  # operand lists of n-ary axioms are sets
    if isinstance(value, dict):
        return {k: unordered(v) for k, v in value.items()}
    if isinstance(value, list):
        return sorted((unordered(v) for v in value), key=repr)
    return value
for line in sys.stdin:
    try:
        told, dl = stored_axioms(line.strip())
        told = [repr(unordered(ast.literal_eval(a))) for a in told]
        answer = {"told": sorted(blank.sub("_:*", a) for a in told),
                  "dl": sorted(blank.sub("_:*", a) for a in dl)}
    except Exception as exc:
        answer = {"error": f"{type(exc).__name__}: {exc}"}
    print(json.dumps(answer), flush=True)
"""


def iri(name):
    return URIRef(EX + name)


def random_graph(rng: random.Random) -> rdflib.Graph:
    g = rdflib.Graph()
    g.bind("", EX)
    g.add((URIRef(EX[:-1]), RDF.type, OWL.Ontology))
    classes = [iri(f"C{i}") for i in range(rng.randint(3, 7))]
    props = [iri(f"p{i}") for i in range(rng.randint(1, 3))]
    data = [iri(f"d{i}") for i in range(rng.randint(1, 2))]
    people = [iri(f"i{i}") for i in range(rng.randint(2, 5))]
    for c in classes:
        g.add((c, RDF.type, OWL.Class))
    for p in props:
        g.add((p, RDF.type, OWL.ObjectProperty))
    for d in data:
        g.add((d, RDF.type, OWL.DatatypeProperty))
    for i in people:
        g.add((i, RDF.type, OWL.NamedIndividual))
    label = iri("note")
    g.add((label, RDF.type, OWL.AnnotationProperty))

    def listed(items):
        head = BNode()
        Collection(g, head, list(items))
        return head

    def expression(depth=0):
        kind = rng.choice(["atom"] * 3 + (["some", "all", "and", "or", "not", "min", "value", "one"]
                                          if depth < 2 else []))
        if kind == "atom":
            return rng.choice(classes)
        node = BNode()
        if kind in ("some", "all", "min", "value"):
            g.add((node, RDF.type, OWL.Restriction))
            g.add((node, OWL.onProperty, rng.choice(props)))
            if kind == "some":
                g.add((node, OWL.someValuesFrom, expression(depth + 1)))
            elif kind == "all":
                g.add((node, OWL.allValuesFrom, expression(depth + 1)))
            elif kind == "min":
                g.add((node, OWL.minQualifiedCardinality, Literal(rng.randint(0, 3), datatype=XSD.nonNegativeInteger)))
                g.add((node, OWL.onClass, expression(depth + 1)))
            else:
                g.add((node, OWL.hasValue, rng.choice(people)))
            return node
        g.add((node, RDF.type, OWL.Class))
        if kind == "and":
            g.add((node, OWL.intersectionOf, listed(expression(depth + 1) for _ in range(rng.randint(2, 3)))))
        elif kind == "or":
            g.add((node, OWL.unionOf, listed(expression(depth + 1) for _ in range(rng.randint(2, 3)))))
        elif kind == "not":
            g.add((node, OWL.complementOf, expression(depth + 1)))
        else:
            g.add((node, OWL.oneOf, listed(rng.sample(people, rng.randint(1, len(people))))))
        return node

    for _ in range(rng.randint(2, 6)):
        g.add((rng.choice(classes), rng.choice([RDFS.subClassOf, OWL.equivalentClass, OWL.disjointWith]),
               expression()))
    if rng.random() < 0.5:
        node = BNode()
        g.add((node, RDF.type, OWL.AllDisjointClasses))
        g.add((node, OWL.members, listed(rng.sample(classes, 3))))
    if rng.random() < 0.5:
        node = BNode()
        g.add((node, RDF.type, OWL.AllDifferent))
        g.add((node, OWL.distinctMembers, listed(rng.sample(people, 2))))
    p = rng.choice(props)
    g.add((p, rng.choice([RDFS.domain, RDFS.range]), rng.choice(classes)))
    if len(props) > 1:
        g.add((props[0], rng.choice([RDFS.subPropertyOf, OWL.inverseOf]), props[1]))
    if rng.random() < 0.3:
        g.add((p, RDF.type, OWL.TransitiveProperty))
    anonymous = BNode()
    g.add((anonymous, RDF.type, rng.choice(classes)))
    for i in people:
        g.add((i, RDF.type, expression(1)))
        g.add((i, rng.choice(props), rng.choice(people + [anonymous])))
        value = rng.choice([Literal(rng.randint(-5, 5), datatype=XSD.integer), Literal("a < b & \"c\""),
                            Literal("text", lang="en"), Literal("1.5", datatype=XSD.decimal)])
        g.add((i, rng.choice(data), value))
        if rng.random() < 0.5:
            g.add((i, label, Literal(f"note on {i}", lang="de")))
    g.add((anonymous, rng.choice(props), rng.choice(people)))
    return g


def spellings(g: rdflib.Graph, folder: str, stem: str):
    paths = []
    for fmt, ext in (("nt", "ttl"), ("xml", "rdf"), ("pretty-xml", "owl")):
        path = os.path.join(folder, f"{stem}-{fmt}.{ext}")
        try:
            g.serialize(destination=path, format=fmt, encoding="utf-8")
        except ValueError:
            # pretty-xml cannot write a blank node as an rdf:type object.
            continue
        paths.append(path)
    return paths


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("count", nargs="?", type=int, default=200)
    ap.add_argument("seed", nargs="?", type=int, default=1)
    ap.add_argument("--module", required=True, help="interpreter that imports _trelvanic")
    ap.add_argument("--file", action="append", default=[], help="an RDF/XML file to compare as well")
    args = ap.parse_args()
    # pretty-xml says each time that it leaves out rdf:type rdf:List of list cells.
    warnings.simplefilter("ignore", UserWarning)

    worker = subprocess.Popen([args.module, "-c", WORKER, TESTS], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                              text=True)

    def load(path):
        worker.stdin.write(path + "\n")
        worker.stdin.flush()
        return json.loads(worker.stdout.readline())

    differences = refused = spelled = 0
    with tempfile.TemporaryDirectory() as folder:
        cases = [(f"random {n}", random_graph(random.Random(args.seed * 100_003 + n))) for n in range(args.count)]
        for f in args.file:
            g = rdflib.Graph()
            try:
                g.parse(f, format="xml")
            except Exception as exc:  # rdflib refuses some hand-written files (a repeated rdf:ID)
                print(f"{f}: rdflib cannot read it ({exc})")
                continue
            cases.append((f, g))
        for n, (name, g) in enumerate(cases):
            paths = spellings(g, folder, f"o{n}")
            answers = [load(p) for p in paths]
            spelled += len(paths)
            refused += "error" in answers[0]
            for path, answer in zip(paths[1:], answers[1:]):
                if answer == answers[0]:
                    continue
                differences += 1
                print(f"{name}: {os.path.basename(path)} differs from N-Triples")
                for key in ("error", "told", "dl"):
                    a, b = answers[0].get(key), answer.get(key)
                    if a == b:
                        continue
                    if isinstance(a, list) and isinstance(b, list):
                        print(f"  {key} only in N-Triples: {sorted(set(a) - set(b))[:5]}")
                        print(f"  {key} only in RDF/XML:   {sorted(set(b) - set(a))[:5]}")
                    else:
                        print(f"  {key}: {a!r} vs {b!r}")
    worker.stdin.close()
    worker.wait()
    print(f"{len(cases)} ontologies in {spelled} spellings ({refused} refused alike by every road), "
          f"{differences} differences")
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
