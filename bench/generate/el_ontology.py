"""Deterministic generator of SNOMED-like EL ontologies.

The shape follows what makes clinical terminologies hard for EL classifiers: a deep class DAG with
multiple inheritance, a few hundred thousand classes, about a third of them fully defined
(EquivalentClasses of a conjunction of parents and existential restrictions), existentials nested
one level inside "role groups", a small object-property hierarchy, one transitive property and one
property chain. Like SNOMED CT, definitions are acyclic (parents and fillers of class i are classes
with a smaller index) and attribute values come from separate, primitive value hierarchies. No
disjointness and no owl:Nothing, so every class is satisfiable.

The same axioms are written in five syntaxes so that every tool reads the very same ontology:
functional syntax (.ofn), OWL/XML (.owx), RDF/XML (.rdf), Turtle (.ttl) and N-Triples (.nt).
Only the standard library is used; the output depends only on the class count and the seed.

    python3 bench/generate/el_ontology.py --classes 10000 --out build/bench-work/gen
"""

from __future__ import annotations

import argparse
import os
import random
from dataclasses import dataclass, field
from typing import Iterator, Union

GENERATOR_VERSION = 2
DEFAULT_SEED = 20261210
NS = "http://example.org/snomed-like#"
ONTOLOGY_IRI = "http://example.org/snomed-like"
OWL = "http://www.w3.org/2002/07/owl#"
RDF = "http://www.w3.org/1999/02/22-rdf-syntax-ns#"
RDFS = "http://www.w3.org/2000/01/rdf-schema#"

FORMATS = ("ofn", "owx", "rdf", "ttl", "nt")


# Class expressions: a class index (int), Some(property index, filler) or And(list of operands).
@dataclass(frozen=True)
class Some:
    prop: int
    filler: "Expr"


@dataclass(frozen=True)
class And:
    operands: tuple


Expr = Union[int, Some, And]


@dataclass
class Ontology:
    classes: int
    properties: int
    role_group: int                       # index of the role-group property
    sub_properties: list = field(default_factory=list)   # (sub, super)
    transitive: list = field(default_factory=list)       # property indexes
    chains: list = field(default_factory=list)           # ((p1, p2), super)
    axioms: list = field(default_factory=list)           # ("sub"|"eq", class index, Expr)


def class_iri(i: int) -> str:
    return f"{NS}C{i}"


def prop_iri(j: int) -> str:
    return f"{NS}r{j}"


def _parents(rng, lo: int, i: int) -> list:
    """One or two parents among the classes lo..i-1 (none for the root lo)."""
    if i == lo:
        return []
    parents = [rng.randrange(lo, i)]
    if i - lo > 10 and rng.random() < 0.25:
        extra = rng.randrange(lo, i)
        if extra != parents[0]:
            parents.append(extra)
    return parents


def generate(classes: int, seed: int = DEFAULT_SEED) -> Ontology:
    """Builds the ontology model; the same (classes, seed) always gives the same axioms.

    As in SNOMED CT, the classes fall into value hierarchies (the first 40%: body structures,
    substances, organisms; primitive, some "part of" another value) and concept hierarchies
    (findings, procedures) whose attributes take values from the value hierarchies.
    """
    rng = random.Random(f"{GENERATOR_VERSION}:{classes}:{seed}")
    props = min(120, max(8, classes // 2500))
    onto = Ontology(classes=classes, properties=props + 1, role_group=props)
    # Property hierarchy: about a third of the attributes specialise an earlier one.
    for j in range(2, props):
        if rng.random() < 0.3:
            onto.sub_properties.append((j, rng.randrange(1, j)))
    onto.transitive.append(0)                       # r0 plays "part of" among values
    if props > 3:
        onto.chains.append(((1, 2), 1))             # r1 o r2 -> r1, like "direct substance" chains
    values = max(1, (classes * 2) // 5)
    attrs = list(range(1, props))

    def value(i_limit: int) -> int:
        return rng.randrange(0, min(values, i_limit))

    for i in range(1, classes):
        if i < values:
            parents, restrictions = _parents(rng, 0, i), []
            if rng.random() < 0.3:
                restrictions.append(Some(0, value(i)))
        else:
            parents, restrictions = _parents(rng, values, i), []
            for _ in range(rng.choice((0, 1, 1, 2, 2, 3))):
                if rng.random() < 0.15:
                    group = And(tuple(Some(rng.choice(attrs), value(i)) for _ in range(2)))
                    restrictions.append(Some(onto.role_group, group))
                else:
                    restrictions.append(Some(rng.choice(attrs), value(i)))
        operands = tuple(parents) + tuple(restrictions)
        if not operands:
            continue
        expr: Expr = operands[0] if len(operands) == 1 else And(operands)
        defined = i >= values and bool(restrictions) and bool(parents) and rng.random() < 0.35
        onto.axioms.append(("eq" if defined else "sub", i, expr))
    return onto


# ---------------------------------------------------------------- functional syntax and OWL/XML

class _Ofn:
    """Functional syntax: Name(arg arg ...), entities as prefixed names."""
    header = f"Prefix(:=<{NS}>)\nPrefix(owl:=<{OWL}>)\nPrefix(rdfs:=<{RDFS}>)\n\nOntology(<{ONTOLOGY_IRI}>\n"
    footer = ")\n"
    indent = ""

    @staticmethod
    def app(name, *args):
        return f"{name}({' '.join(args)})"

    @staticmethod
    def entity(kind, name):
        return f":{name}"

    @staticmethod
    def declared(kind, name):
        return f"{kind}(:{name})"


class _Owx:
    """OWL/XML: <Name>args</Name>, entities as IRI attributes relative to the base."""
    header = f'<?xml version="1.0"?>\n<Ontology xmlns="{OWL}" xml:base="{NS}" ontologyIRI="{ONTOLOGY_IRI}">\n'
    footer = "</Ontology>\n"
    indent = " "

    @staticmethod
    def app(name, *args):
        return f"<{name}>{''.join(args)}</{name}>"

    @staticmethod
    def entity(kind, name):
        return f'<{kind} IRI="#{name}"/>'

    declared = entity


def _expr(syn, e: Expr) -> str:
    # Recursion is bounded: generated expressions nest at most three levels deep.
    if isinstance(e, int):
        return syn.entity("Class", f"C{e}")
    if isinstance(e, Some):
        return syn.app("ObjectSomeValuesFrom", syn.entity("ObjectProperty", f"r{e.prop}"), _expr(syn, e.filler))
    return syn.app("ObjectIntersectionOf", *(_expr(syn, o) for o in e.operands))


def _write_structural(onto: Ontology, out, syn) -> None:
    def prop(j):
        return syn.entity("ObjectProperty", f"r{j}")

    def axiom(text):
        out.write(f"{syn.indent}{text}\n")

    out.write(syn.header)
    for i in range(onto.classes):
        axiom(syn.app("Declaration", syn.declared("Class", f"C{i}")))
    for j in range(onto.properties):
        axiom(syn.app("Declaration", syn.declared("ObjectProperty", f"r{j}")))
    for sub, sup in onto.sub_properties:
        axiom(syn.app("SubObjectPropertyOf", prop(sub), prop(sup)))
    for p in onto.transitive:
        axiom(syn.app("TransitiveObjectProperty", prop(p)))
    for (p1, p2), sup in onto.chains:
        axiom(syn.app("SubObjectPropertyOf", syn.app("ObjectPropertyChain", prop(p1), prop(p2)), prop(sup)))
    for kind, c, e in onto.axioms:
        name = "EquivalentClasses" if kind == "eq" else "SubClassOf"
        axiom(syn.app(name, syn.entity("Class", f"C{c}"), _expr(syn, e)))
    out.write(syn.footer)


def write_ofn(onto: Ontology, out) -> None:
    _write_structural(onto, out, _Ofn)


def write_owx(onto: Ontology, out) -> None:
    _write_structural(onto, out, _Owx)


# ---------------------------------------------------------------- RDF: one triple stream, three syntaxes

# A triple's terms: ("iri", text) or ("bnode", label).
def _iri(text: str):
    return ("iri", text)


def triples(onto: Ontology) -> Iterator[tuple]:
    """The ontology's RDF mapping (OWL 2 mapping to RDF graphs), as a stream of triples."""
    counter = 0

    def fresh():
        nonlocal counter
        counter += 1
        return ("bnode", f"b{counter}")

    rdf_type, owl_class, owl_op = _iri(RDF + "type"), _iri(OWL + "Class"), _iri(OWL + "ObjectProperty")
    out: list = []

    def rdf_list(items) -> tuple:
        head = _iri(RDF + "nil")
        nodes = [fresh() for _ in items]
        for k, (node, item) in enumerate(zip(nodes, items)):
            out.append((node, _iri(RDF + "first"), item))
            out.append((node, _iri(RDF + "rest"), nodes[k + 1] if k + 1 < len(nodes) else head))
        return nodes[0] if nodes else head

    def expr(e: Expr) -> tuple:
        if isinstance(e, int):
            return _iri(class_iri(e))
        node = fresh()
        if isinstance(e, Some):
            out.append((node, rdf_type, _iri(OWL + "Restriction")))
            out.append((node, _iri(OWL + "onProperty"), _iri(prop_iri(e.prop))))
            out.append((node, _iri(OWL + "someValuesFrom"), expr(e.filler)))
        else:
            out.append((node, rdf_type, owl_class))
            out.append((node, _iri(OWL + "intersectionOf"), rdf_list([expr(o) for o in e.operands])))
        return node

    yield (_iri(ONTOLOGY_IRI), rdf_type, _iri(OWL + "Ontology"))
    for i in range(onto.classes):
        yield (_iri(class_iri(i)), rdf_type, owl_class)
    for j in range(onto.properties):
        yield (_iri(prop_iri(j)), rdf_type, owl_op)
    for sub, sup in onto.sub_properties:
        yield (_iri(prop_iri(sub)), _iri(RDFS + "subPropertyOf"), _iri(prop_iri(sup)))
    for p in onto.transitive:
        yield (_iri(prop_iri(p)), rdf_type, _iri(OWL + "TransitiveProperty"))
    for (p1, p2), sup in onto.chains:
        head = rdf_list([_iri(prop_iri(p1)), _iri(prop_iri(p2))])
        yield (_iri(prop_iri(sup)), _iri(OWL + "propertyChainAxiom"), head)
        yield from out
        out.clear()
    for kind, c, e in onto.axioms:
        pred = OWL + "equivalentClass" if kind == "eq" else RDFS + "subClassOf"
        obj = expr(e)
        yield (_iri(class_iri(c)), _iri(pred), obj)
        yield from out
        out.clear()


def _nt_term(t) -> str:
    return f"<{t[1]}>" if t[0] == "iri" else f"_:{t[1]}"


def write_nt(onto: Ontology, out) -> None:
    for s, p, o in triples(onto):
        out.write(f"{_nt_term(s)} {_nt_term(p)} {_nt_term(o)} .\n")


_TTL_PREFIXES = (("", NS), ("owl", OWL), ("rdf", RDF), ("rdfs", RDFS))


def _ttl_term(t) -> str:
    if t[0] == "bnode":
        return f"_:{t[1]}"
    for prefix, ns in _TTL_PREFIXES:
        if t[1].startswith(ns):
            local = t[1][len(ns):]
            if local.isalnum():
                return f"{prefix}:{local}"
    return f"<{t[1]}>"


def write_ttl(onto: Ontology, out) -> None:
    for prefix, ns in _TTL_PREFIXES:
        out.write(f"@prefix {prefix}: <{ns}> .\n")
    out.write("\n")
    for s, p, o in triples(onto):
        out.write(f"{_ttl_term(s)} {'a' if p[1] == RDF + 'type' else _ttl_term(p)} {_ttl_term(o)} .\n")


def _xml_attr(text: str) -> str:
    return text.replace("&", "&amp;").replace('"', "&quot;").replace("<", "&lt;")


def write_rdfxml(onto: Ontology, out) -> None:
    out.write('<?xml version="1.0"?>\n')
    out.write(f'<rdf:RDF xmlns:rdf="{RDF}" xmlns:rdfs="{RDFS}" xmlns:owl="{OWL}">\n')
    qnames = {RDF: "rdf:", RDFS: "rdfs:", OWL: "owl:"}
    for s, p, o in triples(onto):
        subj = f'rdf:about="{_xml_attr(s[1])}"' if s[0] == "iri" else f'rdf:nodeID="{s[1]}"'
        ns, local = p[1].rsplit("#", 1)
        elem = qnames[ns + "#"] + local
        obj = f'rdf:resource="{_xml_attr(o[1])}"' if o[0] == "iri" else f'rdf:nodeID="{o[1]}"'
        out.write(f" <rdf:Description {subj}><{elem} {obj}/></rdf:Description>\n")
    out.write("</rdf:RDF>\n")


WRITERS = {"ofn": write_ofn, "owx": write_owx, "rdf": write_rdfxml, "ttl": write_ttl, "nt": write_nt}


def paths_for(classes: int, out_dir: str, formats=FORMATS, seed: int = DEFAULT_SEED) -> dict:
    """{format: path} of the files write_all writes for these arguments."""
    stem = os.path.join(out_dir, f"snomed-like-{classes}-s{seed}-v{GENERATOR_VERSION}")
    return {fmt: f"{stem}.{fmt}" for fmt in formats}


def write_all(classes: int, out_dir: str, formats=FORMATS, seed: int = DEFAULT_SEED) -> dict:
    """Writes the ontology of `classes` classes in each format (skipping files already written by
    this generator version); returns {format: path}."""
    os.makedirs(out_dir, exist_ok=True)
    paths = paths_for(classes, out_dir, formats, seed)
    missing = [fmt for fmt in formats if not os.path.exists(paths[fmt])]
    if missing:
        onto = generate(classes, seed)
        for fmt in missing:
            tmp = paths[fmt] + ".part"
            with open(tmp, "w", encoding="utf-8", buffering=1 << 20) as out:
                WRITERS[fmt](onto, out)
            os.replace(tmp, paths[fmt])
    return paths


def main() -> None:
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--classes", type=int, default=10000)
    ap.add_argument("--seed", type=int, default=DEFAULT_SEED)
    ap.add_argument("--out", default="build/bench-work/generated")
    ap.add_argument("--formats", default=",".join(FORMATS))
    args = ap.parse_args()
    for fmt, path in write_all(args.classes, args.out, args.formats.split(","), args.seed).items():
        print(f"{fmt}\t{path}")


if __name__ == "__main__":
    main()
