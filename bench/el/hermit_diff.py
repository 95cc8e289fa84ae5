"""Differential test of the EL engine against HermiT (through owlready2).

Generates small random EL ontologies (nested intersections and existentials on
both sides of subclass axioms, equivalences, disjointness, owl:Thing and
owl:Nothing, sub-properties, chains, transitive and reflexive properties,
domains and ranges, class and property assertions, sameAs), writes each as
N-Triples, classifies it with `bench_el nt FILE --dump` and with HermiT, and
compares the consistency verdict and, for consistent ones, every subsumption
between named classes and every unsatisfiable class.

With `--module PYTHON`, each ontology also goes the whole way through the
extension module (loading, mapping, the EL route, the classification
dictionary and check_consistency) in that interpreter, which must import
`_trelvanic`; its answers are compared with HermiT's as well. With
`--mix roles` the ontologies are dense in reflexive properties, ranges and
property chains of up to three links.

Needs Java and owlready2 in the Python environment that runs it (a benchmark
environment; owlready2 is no dependency of the module):

    python3 -m venv /tmp/el-venv && /tmp/el-venv/bin/pip install owlready2
    /tmp/el-venv/bin/python bench/el/hermit_diff.py BUILD_DIR/bench/el/bench_el [COUNT] [SEED] \
        [--mix classes|roles] [--module PYTHON]
"""

from __future__ import annotations

import argparse
import collections
import itertools
import json
import os
import random
import subprocess
import sys
import tempfile

NS = "http://example.org/eldiff#"
RDF = "http://www.w3.org/1999/02/22-rdf-syntax-ns#"
RDFS = "http://www.w3.org/2000/01/rdf-schema#"
OWL = "http://www.w3.org/2002/07/owl#"


class Writer:
    def __init__(self) -> None:
        self.lines: list[str] = []
        self.blank = itertools.count()

    def triple(self, s: str, p: str, o: str) -> None:
        self.lines.append(f"{s} {p} {o} .")

    def fresh(self) -> str:
        return f"_:b{next(self.blank)}"

    def rdf_list(self, items: list[str]) -> str:
        head = f"<{RDF}nil>"
        for item in reversed(items):
            node = self.fresh()
            self.triple(node, f"<{RDF}first>", item)
            self.triple(node, f"<{RDF}rest>", head)
            head = node
        return head


def iri(name: str) -> str:
    return f"<{NS}{name}>"


# Percent of each axiom kind, in the order drawn below, and the longest
# property chain.
MIXES = {
    "classes": ([45, 15, 6, 8, 5, 6, 3, 6, 6], 2),
    "roles": ([34, 10, 3, 8, 12, 6, 10, 5, 12], 3),
}


def random_ontology(rng: random.Random, w: Writer, mix: str = "classes") -> tuple[int, int]:
    weights, longest_chain = MIXES[mix]
    bounds = list(itertools.accumulate(weights))
    classes, roles = rng.randint(3, 7), rng.randint(1, 3)
    w.triple(f"<{NS[:-1]}>", f"<{RDF}type>", f"<{OWL}Ontology>")
    for c in range(classes):
        w.triple(iri(f"C{c}"), f"<{RDF}type>", f"<{OWL}Class>")
    for r in range(roles):
        w.triple(iri(f"r{r}"), f"<{RDF}type>", f"<{OWL}ObjectProperty>")

    def expr(depth: int) -> str:
        k = rng.randrange(100)
        if depth == 0 or k < 50:
            return iri(f"C{rng.randrange(classes)}")
        if k < 53:
            return f"<{OWL}Thing>"
        if k < 55:
            return f"<{OWL}Nothing>"
        node = w.fresh()
        if k < 80:
            w.triple(node, f"<{RDF}type>", f"<{OWL}Restriction>")
            w.triple(node, f"<{OWL}onProperty>", iri(f"r{rng.randrange(roles)}"))
            w.triple(node, f"<{OWL}someValuesFrom>", expr(depth - 1))
        else:
            ops = [expr(depth - 1) for _ in range(rng.randint(2, 3))]
            w.triple(node, f"<{RDF}type>", f"<{OWL}Class>")
            w.triple(node, f"<{OWL}intersectionOf>", w.rdf_list(ops))
        return node

    def role() -> str:
        return iri(f"r{rng.randrange(roles)}")

    individuals = rng.randint(0, 3)
    for i in range(individuals):
        w.triple(iri(f"i{i}"), f"<{RDF}type>", f"<{OWL}NamedIndividual>")

    chains: set = set()
    for _ in range(rng.randint(4, 12 if mix == "classes" else 16)):
        k = rng.randrange(100)
        if k < bounds[0]:
            w.triple(expr(2), f"<{RDFS}subClassOf>", expr(2))
        elif k < bounds[1]:
            w.triple(iri(f"C{rng.randrange(classes)}"), f"<{OWL}equivalentClass>", expr(2))
        elif k < bounds[2]:
            # A named class on one side: HermiT refuses a disjointness whose two
            # sides its parser reads as one expression.
            left, right = iri(f"C{rng.randrange(classes)}"), expr(1)
            if left != right:
                w.triple(left, f"<{OWL}disjointWith>", right)
        elif k < bounds[3]:
            w.triple(role(), f"<{RDFS}subPropertyOf>", role())
        elif k < bounds[4]:
            # One chain per super-property: the RDF mapping cannot tell two apart.
            sup = role()
            if sup not in chains:
                chains.add(sup)
                length = rng.randint(2, longest_chain) if longest_chain > 2 else 2
                links = [role() for _ in range(length)]
                w.triple(sup, f"<{OWL}propertyChainAxiom>", w.rdf_list(links))
        elif k < bounds[5]:
            w.triple(role(), f"<{RDF}type>", f"<{OWL}TransitiveProperty>")
        elif k < bounds[6]:
            w.triple(role(), f"<{RDF}type>", f"<{OWL}ReflexiveProperty>")
        elif k < bounds[7]:
            w.triple(role(), f"<{RDFS}domain>", expr(1))
        else:
            w.triple(role(), f"<{RDFS}range>", expr(1))
    # Assertions: the consistency verdicts are compared too.
    for _ in range(rng.randint(0, 2 * individuals)):
        a, b = iri(f"i{rng.randrange(individuals)}"), iri(f"i{rng.randrange(individuals)}")
        k = rng.randrange(10)
        if k < 5:
            w.triple(a, f"<{RDF}type>", expr(1))
        elif k < 9:
            w.triple(a, role(), b)
        elif a != b:
            w.triple(a, f"<{OWL}sameAs>", b)
    return classes, roles


def ours(bench: str, path: str, classes: int):
    out = subprocess.run([bench, "nt", path, "--dump"], capture_output=True, text=True, check=True).stdout
    if "INCOMPLETE" in out:
        return None
    names = [f"C{c}" for c in range(classes)]
    if "INCONSISTENT" in out:
        return "inconsistent"
    subs, unsat = set(), set()
    for line in out.splitlines():
        parts = [p[len(NS):] if p.startswith(NS) else p for p in line.split()]
        if any(p.startswith("i") for p in parts[1:]):
            continue  # individuals: their verdict is the consistency above
        if parts[0] == "U":
            unsat.add(parts[1])
        elif parts[0] == "S":
            subs.add((parts[1], parts[2]))
    for u in unsat:  # an unsatisfiable class is below every class
        subs.update((u, n) for n in names if n != u)
    return subs, unsat


def hermit(path: str, classes: int):
    import owlready2

    world = owlready2.World()
    onto = world.get_ontology("file://" + path).load(format="ntriples")
    names = [f"C{c}" for c in range(classes)]
    try:
        with onto:
            owlready2.sync_reasoner_hermit(world, infer_property_values=False, debug=0)
    except owlready2.OwlReadyInconsistentOntologyError:
        return "inconsistent"
    except owlready2.OwlReadyJavaError:
        return None  # outside OWL 2 DL (e.g. an irregular role hierarchy): HermiT refuses
    nothing = owlready2.Nothing
    unsat = set()
    subs = set()
    for n in names:
        cls = world[NS + n]
        anc = cls.ancestors(include_self=True)
        if nothing in anc or nothing in cls.equivalent_to:
            unsat.add(n)
    for n in names:
        cls = world[NS + n]
        if n in unsat:
            subs.update((n, m) for m in names if m != n)
            continue
        for a in cls.ancestors(include_self=False):
            name = getattr(a, "name", None)
            if name in names and name != n:
                subs.add((n, name))
        for e in cls.equivalent_to:
            name = getattr(e, "name", None)
            if name in names and name != n:
                subs.add((n, name))
    # Classes equivalent to owl:Thing are above every class.
    top = {n for n in names if owlready2.Thing in world[NS + n].equivalent_to
           or world[NS + n] in owlready2.Thing.equivalent_to}
    subs.update((m, t) for t in top for m in names if m != t)
    # Close transitively: owlready2 reports ancestors, equivalences apart.
    return closed(subs), unsat


# Runs in the interpreter given with --module: one path per input line, one
# JSON answer per output line.
MODULE_WORKER = r"""
import json, sys
from _trelvanic import Reasoner
for line in sys.stdin:
    try:
        answer = Reasoner(path=line.strip(), trusted=True, profile="el").classify()
        # The consistency verdict where this route gives one.
        try:
            verdict = Reasoner(path=line.strip(), trusted=True, profile="el").check_consistency()
            if verdict["complete"]:
                answer["consistent"] = verdict["consistent"]
        except Exception:
            pass
    except Exception as exc:
        answer = {"refused": f"{type(exc).__name__}: {exc}"}
    print(json.dumps(answer), flush=True)
"""


def closed(subs: set) -> set:
    changed = True
    while changed:
        extra = {(a, d) for (a, b) in subs for (c, d) in subs if b == c and a != d} - subs
        changed = bool(extra)
        subs |= extra
    return subs


class Module:
    """The extension module in another interpreter, kept running."""

    def __init__(self, python: str) -> None:
        self.proc = subprocess.Popen([python, "-c", MODULE_WORKER], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, text=True)
        self.refusals: collections.Counter = collections.Counter()

    def classify(self, path: str, classes: int):
        # The module reads N-Triples as Turtle, which it is.
        ttl = path[:-3] + ".ttl"
        with open(path) as src, open(ttl, "w") as dst:
            dst.write(src.read())
        self.proc.stdin.write(ttl + "\n")
        self.proc.stdin.flush()
        answer = json.loads(self.proc.stdout.readline())
        if "refused" in answer:
            self.refusals[answer["refused"][:60]] += 1
            return None
        names = [f"C{c}" for c in range(classes)]
        short = lambda x: x[len(NS):] if x.startswith(NS) else ("Thing" if x == OWL + "Thing" else x)
        keep = set(names) | {"Thing"}
        subs = set()
        for a, b in answer["subsumptions"]:
            subs.add((short(a), short(b)))
        for cluster in answer["equivalences"]:
            members = [short(m) for m in cluster]
            subs.update((a, b) for a in members for b in members if a != b)
        unsat = {short(u) for u in answer["unsatisfiable"]} & set(names)
        subs = closed({(a, b) for (a, b) in subs if a in keep and b in keep})
        top = {b for (a, b) in subs if a == "Thing"}
        subs.update((m, t) for t in top for m in names if m != t)
        for u in unsat:
            subs.update((u, n) for n in names if n != u)
        subs = {(a, b) for (a, b) in closed(subs) if a in names and b in names}
        return subs, unsat, answer.get("consistent")


def report(label: str, k: int, seed: int, mine, theirs) -> None:
    print(f"case {k} (seed {seed}): {label} disagrees with HermiT")
    if isinstance(mine, str) or isinstance(theirs, str):
        print("  ours:", "inconsistent" if isinstance(mine, str) else "consistent",
              "HermiT:", "inconsistent" if isinstance(theirs, str) else "consistent")
    else:
        print("  only ours:", sorted(mine[0] - theirs[0]), sorted(mine[1] - theirs[1]))
        print("  only HermiT:", sorted(theirs[0] - mine[0]), sorted(theirs[1] - mine[1]))


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("bench")
    parser.add_argument("count", nargs="?", type=int, default=50)
    parser.add_argument("seed", nargs="?", type=int, default=1)
    parser.add_argument("--mix", choices=sorted(MIXES), default="classes")
    parser.add_argument("--module", metavar="PYTHON")
    args = parser.parse_args()
    args.bench = os.path.abspath(args.bench)  # owlready2 changes the working directory
    module = Module(args.module) if args.module else None
    seed = args.seed
    compared = disagreements = skipped = refused = inconsistent = 0
    module_compared = module_refused = 0
    with tempfile.TemporaryDirectory() as tmp:
        for k in range(args.count):
            rng = random.Random(seed * 100003 + k)
            w = Writer()
            classes, _ = random_ontology(rng, w, args.mix)
            path = os.path.join(tmp, f"case{k}.nt")
            with open(path, "w") as f:
                f.write("\n".join(w.lines) + "\n")
            mine = ours(args.bench, path, classes)
            via_module = module.classify(path, classes) if module else None
            if mine is None and via_module is None:
                skipped += 1
                continue
            theirs = hermit(path, classes)
            if theirs is None:
                refused += 1
                continue
            inconsistent += theirs == "inconsistent"
            wrong = False
            if mine is not None:
                compared += 1
                if mine != theirs:
                    wrong = True
                    report("bench_el", k, seed, mine, theirs)
            if module:
                if via_module is None:
                    module_refused += 1
                else:
                    module_compared += 1
                    # An ontology without a model has every class unsatisfiable.
                    names = [f"C{c}" for c in range(classes)]
                    expected = theirs if theirs != "inconsistent" else (
                        {(a, b) for a in names for b in names if a != b}, set(names))
                    consistent = via_module[2]
                    if via_module[:2] != expected or consistent not in (None, theirs != "inconsistent"):
                        wrong = True
                        report("module", k, seed, via_module[:2] if consistent is not False else "inconsistent",
                               theirs)
            if wrong:
                disagreements += 1
                with open(path) as f:
                    print("  " + f.read().replace("\n", "\n  "))
    print(f"compared {compared} ({inconsistent} inconsistent), disagreements {disagreements}, "
          f"skipped (incomplete) {skipped}, refused by HermiT {refused}")
    if module:
        print(f"through the module: compared {module_compared}, not decided by its EL route {module_refused}")
        for reason, n in module.refusals.most_common():
            print(f"  {n} x {reason}")
    return 1 if disagreements else 0


if __name__ == "__main__":
    sys.exit(main())
