"""Differential test of the EL engine against HermiT (through owlready2).

Generates small random EL ontologies (nested intersections and existentials on
both sides of subclass axioms, equivalences, disjointness, owl:Thing and
owl:Nothing, sub-properties, chains, transitive and reflexive properties,
domains and ranges, class and property assertions, sameAs), writes each as
N-Triples, classifies it with `bench_el nt FILE --dump` and with HermiT, and
compares the consistency verdict and, for consistent ones, every subsumption
between named classes and every unsatisfiable class.

Needs Java and owlready2 in the Python environment that runs it (a benchmark
environment; owlready2 is no dependency of the module):

    python3 -m venv /tmp/el-venv && /tmp/el-venv/bin/pip install owlready2
    /tmp/el-venv/bin/python bench/el/hermit_diff.py BUILD_DIR/bench/el/bench_el [COUNT] [SEED]
"""

from __future__ import annotations

import itertools
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


def random_ontology(rng: random.Random, w: Writer) -> tuple[int, int]:
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
    for _ in range(rng.randint(4, 12)):
        k = rng.randrange(100)
        if k < 45:
            w.triple(expr(2), f"<{RDFS}subClassOf>", expr(2))
        elif k < 60:
            w.triple(iri(f"C{rng.randrange(classes)}"), f"<{OWL}equivalentClass>", expr(2))
        elif k < 66:
            # A named class on one side: HermiT refuses a disjointness whose two
            # sides its parser reads as one expression.
            left, right = iri(f"C{rng.randrange(classes)}"), expr(1)
            if left != right:
                w.triple(left, f"<{OWL}disjointWith>", right)
        elif k < 74:
            w.triple(role(), f"<{RDFS}subPropertyOf>", role())
        elif k < 79:
            # One chain per super-property: the RDF mapping cannot tell two apart.
            sup = role()
            if sup not in chains:
                chains.add(sup)
                w.triple(sup, f"<{OWL}propertyChainAxiom>", w.rdf_list([role(), role()]))
        elif k < 85:
            w.triple(role(), f"<{RDF}type>", f"<{OWL}TransitiveProperty>")
        elif k < 88:
            w.triple(role(), f"<{RDF}type>", f"<{OWL}ReflexiveProperty>")
        elif k < 94:
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
    changed = True
    while changed:
        extra = {(a, d) for (a, b) in subs for (c, d) in subs if b == c and a != d} - subs
        changed = bool(extra)
        subs |= extra
    return subs, unsat


def main() -> int:
    bench = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 50
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else 1
    compared = disagreements = skipped = refused = inconsistent = 0
    with tempfile.TemporaryDirectory() as tmp:
        for k in range(count):
            rng = random.Random(seed * 100003 + k)
            w = Writer()
            classes, _ = random_ontology(rng, w)
            path = os.path.join(tmp, f"case{k}.nt")
            with open(path, "w") as f:
                f.write("\n".join(w.lines) + "\n")
            mine = ours(bench, path, classes)
            if mine is None:
                skipped += 1
                continue
            theirs = hermit(path, classes)
            if theirs is None:
                refused += 1
                continue
            compared += 1
            inconsistent += theirs == "inconsistent"
            if mine != theirs:
                disagreements += 1
                print(f"case {k} (seed {seed}): disagreement")
                if isinstance(mine, str) or isinstance(theirs, str):
                    print("  ours:", "inconsistent" if isinstance(mine, str) else "consistent",
                          "HermiT:", "inconsistent" if isinstance(theirs, str) else "consistent")
                else:
                    print("  only ours:", sorted(mine[0] - theirs[0]), sorted(mine[1] - theirs[1]))
                    print("  only HermiT:", sorted(theirs[0] - mine[0]), sorted(theirs[1] - mine[1]))
                with open(path) as f:
                    print("  " + f.read().replace("\n", "\n  "))
    print(f"compared {compared} ({inconsistent} inconsistent), disagreements {disagreements}, "
          f"skipped (incomplete) {skipped}, refused by HermiT {refused}")
    return 1 if disagreements else 0


if __name__ == "__main__":
    sys.exit(main())
