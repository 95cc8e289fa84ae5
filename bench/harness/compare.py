"""Normal forms of reasoner answers, so that answers of different tools can be compared as sets.

Taxonomies: every tool's answer (direct edges, full closure, equivalence groups) becomes the set of
entailed subsumptions A SubClassOf B between distinct named classes, with A satisfiable and
neither side owl:Thing nor owl:Nothing; unsatisfiable classes are kept as a separate set (they are
subsumed by everything, which would swamp the comparison).

Closures (RL/RDFS materialisation): the "common view" keeps the triples that rules implemented by
every RL engine compared here derive: class and property hierarchy, equivalences, inverses, sameAs
between individuals, types of individuals and property assertions, all between IRIs. Blank nodes,
literals, reflexive triples and types from the built-in vocabularies (owl:Thing, rdfs:Resource,
owl:Class, ...) are left out, since engines differ in which of those axiomatic triples they emit;
so are the triples about an ontology itself (a subject typed owl:Ontology: its annotations).

Only the standard library is used: this module runs inside every worker interpreter.
"""

from __future__ import annotations

OWL = "http://www.w3.org/2002/07/owl#"
RDF = "http://www.w3.org/1999/02/22-rdf-syntax-ns#"
RDFS = "http://www.w3.org/2000/01/rdf-schema#"
XSD = "http://www.w3.org/2001/XMLSchema#"
THING, NOTHING = OWL + "Thing", OWL + "Nothing"
BUILTIN_NAMESPACES = (OWL, RDF, RDFS, XSD)


def subsumption_closure(classes, direct, equivalences=(), unsatisfiable=(), closed=False):
    """Transitive closure of `direct` ((sub, sup) pairs) and `equivalences` (groups of IRIs).

    Returns (pairs, unsat): pairs is a set of "sub\\tsup" strings, unsat a set of IRIs. Walks with
    an explicit stack, so deep hierarchies cannot exhaust the interpreter's recursion limit.
    With `closed`, `direct` is already transitively closed (a tool that answers every entailed
    pair): the pairs are only filtered, since walking a closed graph again costs the square of
    the depth per class.
    """
    unsat = {c for c in unsatisfiable if c not in (THING, NOTHING)}
    if closed:
        direct = list(direct)
        unsat.update(a for a, b in direct if b == NOTHING)
        pairs = {f"{a}\t{b}" for a, b in direct
                 if a != b and a not in unsat and a not in (THING, NOTHING) and b not in (THING, NOTHING)}
        return pairs, unsat
    ups: dict = {}
    nodes = set(c for c in classes)

    def edge(a, b):
        if a == b:
            return
        ups.setdefault(a, set()).add(b)
        nodes.add(a)
        nodes.add(b)

    for a, b in direct:
        if b == NOTHING:
            unsat.add(a)
        edge(a, b)
    for group in equivalences:
        group = list(group)
        if NOTHING in group:
            unsat.update(g for g in group if g != NOTHING)
        for a in group:
            for b in group:
                edge(a, b)
    pairs = set()
    for start in nodes:
        if start in (THING, NOTHING) or start in unsat:
            continue
        seen = {start}
        stack = [start]
        while stack:
            for nxt in ups.get(stack.pop(), ()):
                if nxt not in seen:
                    seen.add(nxt)
                    stack.append(nxt)
        for sup in seen:
            if sup != start and sup not in (THING, NOTHING):
                pairs.add(f"{start}\t{sup}")
    return pairs, unsat


_HIERARCHY = {RDFS + "subClassOf", RDFS + "subPropertyOf", OWL + "equivalentClass",
              OWL + "equivalentProperty", OWL + "inverseOf", OWL + "sameAs", RDF + "type"}
# Predicates whose triple means the same read either way: a tool may give one direction or both.
_SYMMETRIC = {OWL + "equivalentClass", OWL + "equivalentProperty", OWL + "inverseOf", OWL + "sameAs"}


def _builtin(iri: str) -> bool:
    return iri.startswith(BUILTIN_NAMESPACES)


def term_text(term: str) -> str:
    """An N-Triples term ("<iri>", "_:b", '"lit"') or a bare IRI in the form common_view expects."""
    if term.startswith("<") and term.endswith(">"):
        return term[1:-1]
    return term


def common_view(triples):
    """Filters (s, p, o) string triples (IRIs without brackets; blank nodes as '_:x'; literals as
    '"..."') down to the common view described above; returns a set of "s p o" strings. A
    symmetric link (equivalence, inverse, sameAs) is kept once, its two ends in sorted order."""
    triples = list(triples)
    # Triples about an ontology (its annotations, imports, version) are no facts of its domain.
    ontologies = {s for s, p, o in triples if p == RDF + "type" and o == OWL + "Ontology"}
    view = set()
    for s, p, o in triples:
        if s in ontologies:
            continue
        if s.startswith(("_:", '"')) or o.startswith(("_:", '"')) or s == o:
            continue
        if p in _HIERARCHY:
            if _builtin(o) or (p != RDF + "type" and _builtin(s)):
                continue
        elif _builtin(p):
            continue
        if p in _SYMMETRIC and o < s:
            s, o = o, s
        view.add(f"{s} {p} {o}")
    return view


def write_lines(path: str, lines) -> None:
    with open(path, "w", encoding="utf-8") as out:
        for line in sorted(lines):
            out.write(line)
            out.write("\n")


def read_lines(path: str) -> set:
    with open(path, encoding="utf-8") as f:
        return {line.rstrip("\n") for line in f if line.strip()}


def read_hashes(path: str) -> set:
    """The lines of an answer file as hashes: a tenth of the memory of the strings for the
    millions of pairs of the largest taxonomies; equal within one process, which is where sets
    are compared (a collision among 10 million 64-bit hashes is a one-in-a-million event)."""
    with open(path, encoding="utf-8") as f:
        return {hash(line.rstrip("\n")) for line in f if line.strip()}


def difference(mine: set, reference: set) -> dict:
    """Counts of answers only one side gives."""
    return {"only_here": len(mine - reference), "only_reference": len(reference - mine)}
