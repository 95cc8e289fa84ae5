"""Random small OWL 2 DL ontologies in functional syntax, for differential tests.

An ontology has a few named classes, object properties and individuals, and a dozen axioms built
from the constructs switched on. ALC (intersection, union, complement, some, all, owl:Thing and
owl:Nothing; sub-, equivalent and disjoint classes; domains and ranges) is always in; the rest are
features that can be added one at a time, so that an engine can be tested on a small language
first:

    hierarchy   sub- and equivalent properties
    inverse     ObjectInverseOf in restrictions, inverse and symmetric properties
    transitive  transitive properties
    chains      property chains r o s below t (t after r and s in the order of the properties)
    functional  functional and inverse-functional properties
    counting    qualified and unqualified min, max and exact cardinalities
    nominals    ObjectOneOf and ObjectHasValue
    roleprops   reflexive, irreflexive, asymmetric and disjoint properties, ObjectHasSelf
    abox        class and (negative) property assertions, same and different individuals
    data        data properties: data restrictions over integers, strings, booleans, facets and
                enumerations; data property domains, ranges, sub-properties, functional and
                disjoint data properties; (negative) data property assertions with abox

Presets: "alc", "alchiq" (hierarchy, inverse, counting, functional), "shoiq" (everything but
chains), "sroiq" (everything).

Every ontology keeps to OWL 2 DL's global restrictions, so that HermiT accepts it: the role axioms
come first, and only simple properties (none transitive or the end of a chain, none with such a
sub-property, through inverses and equivalences) appear in cardinalities, functionality, irreflexivity,
asymmetry, disjointness and self restrictions.
"""

from __future__ import annotations

import argparse
import os
import random
import sys
from dataclasses import dataclass, field

FEATURES = ("hierarchy", "inverse", "transitive", "chains", "functional", "counting", "nominals", "roleprops",
            "abox", "data")
PRESETS = {
    "alc": (),
    "alchiq": ("hierarchy", "inverse", "counting", "functional"),
    "shoiq": tuple(f for f in FEATURES if f not in ("chains", "data")),
    "sroiq": tuple(f for f in FEATURES if f != "data"),
}
NS = "http://example.org/dldiff#"


def parse_features(text: str) -> frozenset:
    """"alc", "shoiq", "alchiq,abox", "hierarchy,nominals": presets and feature names, comma-separated."""
    chosen = set()
    for word in (w.strip().lower() for w in text.split(",") if w.strip()):
        if word in PRESETS:
            chosen.update(PRESETS[word])
        elif word in FEATURES:
            chosen.add(word)
        else:
            raise ValueError(f"unknown construct set {word!r} (presets {', '.join(PRESETS)}; "
                             f"features {', '.join(FEATURES)})")
    return frozenset(chosen)


@dataclass
class Size:
    classes: tuple = (3, 7)
    roles: tuple = (1, 3)
    individuals: tuple = (1, 4)
    axioms: tuple = (4, 12)
    depth: int = 2


@dataclass
class Ontology:
    """A generated ontology: its text and signature (full IRIs)."""
    text: str
    classes: list
    roles: list
    individuals: list
    axioms: list = field(default_factory=list)
    data_roles: list = field(default_factory=list)

    def write(self, path: str) -> None:
        with open(path, "w", encoding="utf-8") as f:
            f.write(self.text)


def render(axioms, classes, roles, individuals, iri: str = NS[:-1], data_roles=()) -> str:
    decl = [f"Declaration(Class(:{c}))" for c in classes]
    decl += [f"Declaration(ObjectProperty(:{r}))" for r in roles]
    decl += [f"Declaration(DataProperty(:{d}))" for d in data_roles]
    decl += [f"Declaration(NamedIndividual(:{i}))" for i in individuals]
    return (f"Prefix(:=<{NS}>)\nPrefix(owl:=<http://www.w3.org/2002/07/owl#>)\n"
            "Prefix(xsd:=<http://www.w3.org/2001/XMLSchema#>)\n"
            f"Ontology(<{iri}>\n" + "\n".join(decl + list(axioms)) + "\n)\n")


# Data ranges and literals of the "data" feature: small value spaces (booleans, enumerations, short
# integer intervals) so that counting and functional properties matter, and large ones beside them.
_DATA_RANGES = (
    "xsd:integer", "xsd:string", "xsd:boolean", "xsd:decimal", "xsd:nonNegativeInteger",
    'DatatypeRestriction(xsd:integer xsd:minInclusive "0"^^xsd:integer xsd:maxInclusive "2"^^xsd:integer)',
    'DatatypeRestriction(xsd:integer xsd:minExclusive "1"^^xsd:integer)',
    'DatatypeRestriction(xsd:string xsd:maxLength "1"^^xsd:integer)',
    'DataOneOf("a" "b")', 'DataOneOf("1"^^xsd:integer "2"^^xsd:integer)', 'DataOneOf("true"^^xsd:boolean)',
)
_LITERALS = ('"0"^^xsd:integer', '"1"^^xsd:integer', '"01"^^xsd:integer', '"2"^^xsd:integer',
             '"5"^^xsd:integer', '"-1"^^xsd:integer', '"a"', '"b"', '"ab"', '"true"^^xsd:boolean',
             '"false"^^xsd:boolean', '"1.0"^^xsd:decimal')


def _data_range(rng: random.Random, depth: int = 1) -> str:
    k = rng.randrange(10)
    if depth > 0 and k == 0:
        return f"DataComplementOf({_data_range(rng, depth - 1)})"
    if depth > 0 and k == 1:
        return f"DataIntersectionOf({_data_range(rng, depth - 1)} {_data_range(rng, depth - 1)})"
    if depth > 0 and k == 2:
        return f"DataUnionOf({_data_range(rng, depth - 1)} {_data_range(rng, depth - 1)})"
    return rng.choice(_DATA_RANGES)


class _Roles:
    """Which property expressions are simple, from the role axioms generated so far."""

    def __init__(self, names):
        self.names = list(names)
        self.up: dict = {}
        self.transitive: set = set()

    def sub(self, a, b):
        """a ⊑ b for property expressions given as (name, inverted)."""
        for x, y in ((a, b), ((a[0], not a[1]), (b[0], not b[1]))):
            self.up.setdefault(x, set()).add(y)

    def simple(self) -> list:
        bad = {(t, inv) for t in self.transitive for inv in (False, True)}
        stack = list(bad)
        while stack:
            for nxt in self.up.get(stack.pop(), ()):
                if nxt not in bad:
                    bad.add(nxt)
                    stack.append(nxt)
        return [r for r in self.names if (r, False) not in bad and (r, True) not in bad]


def random_ontology(rng: random.Random, features=frozenset(PRESETS["shoiq"]), size: Size = Size()) -> Ontology:
    has = features.__contains__
    classes = [f"C{k}" for k in range(rng.randint(*size.classes))]
    roles = [f"r{k}" for k in range(rng.randint(*size.roles))]
    individuals = ([f"i{k}" for k in range(rng.randint(*size.individuals))]
                   if has("abox") or has("nominals") else [])
    data_roles = [f"d{k}" for k in range(rng.randint(1, 3))] if has("data") else []
    axioms: list[str] = []
    info = _Roles(roles)

    def role_expr(pool=None) -> str:
        r = rng.choice(pool or roles)
        return f"ObjectInverseOf(:{r})" if has("inverse") and rng.random() < 0.3 else f":{r}"

    def as_pair(expr: str):
        return (expr[len("ObjectInverseOf(:"):-1], True) if expr.startswith("ObjectInverseOf") else (expr[1:], False)

    # Role axioms first: the simple properties depend on them.
    for _ in range(rng.randint(0, 3)):
        options = [f for f in ("hierarchy", "inverse", "transitive", "chains", "roleprops") if has(f)]
        if not options:
            break
        kind = rng.choice(options)
        if kind == "hierarchy":
            a, b = role_expr(), role_expr()
            if a != b:
                if rng.random() < 0.8:
                    axioms.append(f"SubObjectPropertyOf({a} {b})")
                    info.sub(as_pair(a), as_pair(b))
                else:
                    axioms.append(f"EquivalentObjectProperties({a} {b})")
                    info.sub(as_pair(a), as_pair(b))
                    info.sub(as_pair(b), as_pair(a))
        elif kind == "inverse":
            a, b = rng.choice(roles), rng.choice(roles)
            if a != b and rng.random() < 0.7:
                axioms.append(f"InverseObjectProperties(:{a} :{b})")
                info.sub((a, False), (b, True))
                info.sub((b, True), (a, False))
            else:
                axioms.append(f"SymmetricObjectProperty(:{a})")
                info.sub((a, False), (a, True))
        elif kind == "transitive":
            r = rng.choice(roles)
            axioms.append(f"TransitiveObjectProperty(:{r})")
            info.transitive.add(r)
        elif kind == "chains":
            if len(roles) >= 2:
                end = rng.randrange(1, len(roles))   # regular: the chain's links come before its end
                links = " ".join(f":{roles[rng.randrange(end)]}" for _ in range(2))
                axioms.append(f"SubObjectPropertyOf(ObjectPropertyChain({links}) :{roles[end]})")
                info.transitive.add(roles[end])   # not simple, as a transitive property
        else:
            axioms.append(f"ReflexiveObjectProperty(:{rng.choice(roles)})")
    simple = info.simple()

    def expr(depth: int) -> str:
        if data_roles and depth > 0 and rng.random() < 0.25:
            return data_expr()
        k = rng.randrange(100)
        if depth == 0 or k < 40:
            return f":{rng.choice(classes)}"
        if k < 43:
            return "owl:Thing"
        if k < 45:
            return "owl:Nothing"
        if k < 55:
            return f"ObjectComplementOf({expr(depth - 1)})"
        if k < 63:
            ops = " ".join(expr(depth - 1) for _ in range(rng.randint(2, 3)))
            return f"ObjectIntersectionOf({ops})"
        if k < 70:
            ops = " ".join(expr(depth - 1) for _ in range(rng.randint(2, 3)))
            return f"ObjectUnionOf({ops})"
        if k < 78:
            return f"ObjectSomeValuesFrom({role_expr()} {expr(depth - 1)})"
        if k < 85:
            return f"ObjectAllValuesFrom({role_expr()} {expr(depth - 1)})"
        if k < 92 and has("counting") and simple:
            kind = rng.choice(("ObjectMinCardinality", "ObjectMaxCardinality", "ObjectExactCardinality"))
            filler = f" {expr(depth - 1)}" if rng.random() < 0.7 else ""
            return f"{kind}({rng.randint(0, 3)} {role_expr(simple)}{filler})"
        if k < 97 and has("nominals") and individuals:
            if rng.random() < 0.5:
                members = rng.sample(individuals, rng.randint(1, min(2, len(individuals))))
                return "ObjectOneOf(" + " ".join(f":{i}" for i in members) + ")"
            return f"ObjectHasValue({role_expr()} :{rng.choice(individuals)})"
        if has("roleprops") and simple:
            return f"ObjectHasSelf({role_expr(simple)})"
        if data_roles:
            return data_expr()
        return f":{rng.choice(classes)}"

    def data_expr() -> str:
        d = rng.choice(data_roles)
        k = rng.randrange(6)
        if k == 0:
            return f"DataSomeValuesFrom(:{d} {_data_range(rng)})"
        if k == 1:
            return f"DataAllValuesFrom(:{d} {_data_range(rng)})"
        if k == 2:
            return f"DataHasValue(:{d} {rng.choice(_LITERALS)})"
        kind = rng.choice(("DataMinCardinality", "DataMaxCardinality", "DataExactCardinality"))
        # Plain fillers only: HermiT 1.4 counts wrongly under a filler that is a union (a maximum of
        # one over DataUnionOf(xsd:string xsd:string) with two strings is consistent for it).
        filler = f" {_data_range(rng, 0)}" if rng.random() < 0.6 else ""
        return f"{kind}({rng.randint(0, 3)} :{d}{filler})"

    def data_axiom() -> str | None:
        d, e = rng.choice(data_roles), rng.choice(data_roles)
        k = rng.randrange(12)
        if k < 3 and has("abox") and individuals:
            neg = "Negative" if k == 2 else ""
            return f"{neg}DataPropertyAssertion(:{d} :{rng.choice(individuals)} {rng.choice(_LITERALS)})"
        if k < 5:
            return f"SubClassOf({expr(1)} {data_expr()})"
        if k < 6:
            return f"DataPropertyDomain(:{d} {expr(1)})"
        if k < 8:
            return f"DataPropertyRange(:{d} {_data_range(rng)})"
        if k < 9:
            return f"FunctionalDataProperty(:{d})"
        if d == e:
            return None
        if k < 10:
            return f"SubDataPropertyOf(:{d} :{e})"
        if k < 11:
            return f"EquivalentDataProperties(:{d} :{e})"
        return f"DisjointDataProperties(:{d} :{e})"

    def simple_axiom() -> str | None:
        kind = rng.choice([f for f in ("functional", "roleprops") if has(f)])
        r = role_expr(simple)
        if kind == "functional":
            return f"{rng.choice(('FunctionalObjectProperty', 'InverseFunctionalObjectProperty'))}({r})"
        k = rng.randrange(3)
        if k == 0:
            return f"IrreflexiveObjectProperty({r})"
        if k == 1:
            return f"AsymmetricObjectProperty({r})"
        other = role_expr(simple)
        return f"DisjointObjectProperties({r} {other})" if other != r else None

    def abox_axiom() -> str | None:
        a, b = rng.choice(individuals), rng.choice(individuals)
        k = rng.randrange(10)
        if k < 4:
            return f"ClassAssertion({expr(size.depth - 1)} :{a})"
        if k < 7:
            return f"ObjectPropertyAssertion({role_expr()} :{a} :{b})"
        if a == b:
            return None
        if k < 8:
            return f"NegativeObjectPropertyAssertion({role_expr()} :{a} :{b})"
        return f"{'SameIndividual' if k < 9 else 'DifferentIndividuals'}(:{a} :{b})"

    for _ in range(rng.randint(*size.axioms)):
        k = rng.randrange(100)
        axiom = None
        if k < 35:
            axiom = f"SubClassOf({expr(size.depth)} {expr(size.depth)})"
        elif k < 50:
            left, right = f":{rng.choice(classes)}", expr(size.depth)
            axiom = f"EquivalentClasses({left} {right})" if left != right else None
        elif k < 57:
            a, b = expr(1), expr(1)
            axiom = f"DisjointClasses({a} {b})" if a != b else None
        elif k < 62:
            axiom = f"ObjectPropertyDomain({role_expr()} {expr(1)})"
        elif k < 67:
            axiom = f"ObjectPropertyRange({role_expr()} {expr(1)})"
        elif k < 75 and simple and (has("functional") or has("roleprops")):
            axiom = simple_axiom()
        elif k < 85 and data_roles:
            axiom = data_axiom()
        elif k < 100 and has("abox") and individuals:
            axiom = abox_axiom()
        if axiom:
            axioms.append(axiom)
    return Ontology(render(axioms, classes, roles, individuals, data_roles=data_roles), [NS + c for c in classes],
                    [NS + r for r in roles], [NS + i for i in individuals], axioms, data_roles)


def main() -> int:
    ap = argparse.ArgumentParser(description="Writes random small ontologies in functional syntax.")
    ap.add_argument("--count", type=int, default=10)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--constructs", default="shoiq")
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    features = parse_features(args.constructs)
    os.makedirs(args.out, exist_ok=True)
    for k in range(args.count):
        random_ontology(random.Random(args.seed * 100003 + k), features).write(
            os.path.join(args.out, f"case{k}.ofn"))
    return 0


if __name__ == "__main__":
    sys.exit(main())


def alchiq_ontology(classes: int, seed: int = 1) -> Ontology:
    """A classification workload of `classes` named classes in ALCHIQ, shaped like a hand-built
    terminology: a third of the classes are values (a told tree with some disjoint siblings below
    the top two levels, and no restrictions), the rest concepts (a told tree, most with an existential, universal or
    cardinality part, a fifth defined by a parent and one or two restrictions, a few unions).
    Restrictions mostly reach values, a few reach concepts (existentially), universals only the
    top two levels of values, so that models stay small and most classes satisfiable, as in real
    terminologies. A small role hierarchy, inverse pairs with a functional side and
    domains complete it. The same (classes, seed) always gives the same text."""
    rng = random.Random(seed * 7919 + classes)
    names = [f"C{k}" for k in range(classes)]
    split = max(2, classes // 3)
    values, concepts = range(0, split), range(split, classes)
    count = max(6, classes // 40)
    plain = [f"r{k}" for k in range(count)]                   # the role hierarchy, counted freely
    pairs = [(f"p{k}", f"q{k}") for k in range(max(1, count // 4))]   # inverse pairs, p functional
    axioms: list[str] = []
    for k in range(1, len(plain)):
        if rng.random() < 0.5:
            axioms.append(f"SubObjectPropertyOf(:{plain[k]} :{plain[rng.randrange(k)]})")
    for p, q in pairs:
        axioms.append(f"InverseObjectProperties(:{p} :{q})")
        axioms.append(f"FunctionalObjectProperty(:{p})")

    def tree(members) -> dict:
        """Told parents within `members` (the first is the root), mostly near in the order."""
        first, parents = members[0], {}
        for k in members[1:]:
            near = k - first > 30 and rng.random() < 0.7
            parents[k] = rng.randrange(max(first, k - 30) if near else first, k)
        return parents

    parent = {**tree(values), **tree(concepts)}
    depth = {values[0]: 0, concepts[0]: 0}
    for k in sorted(parent):
        depth[k] = depth[parent[k]] + 1
    broad = [k for k in values if depth[k] <= 1]      # never disjoint: the fillers of universals
    for r in rng.sample(plain, max(1, len(plain) // 4)):
        axioms.append(f"ObjectPropertyDomain(:{r} :{names[concepts[0]]})")

    def any_role() -> str:
        if rng.random() < 0.7:
            return f":{rng.choice(plain)}"
        p, q = rng.choice(pairs)
        return rng.choice((f":{p}", f":{q}", f"ObjectInverseOf(:{p})"))

    def value() -> str:
        return f":{names[rng.choice(values)]}"

    def restriction() -> str:
        x = rng.random()
        if x < 0.5:
            return f"ObjectSomeValuesFrom({any_role()} {value()})"
        if x < 0.6:
            return f"ObjectSomeValuesFrom({any_role()} :{names[rng.choice(concepts)]})"
        if x < 0.75:
            return f"ObjectAllValuesFrom({any_role()} :{names[rng.choice(broad)]})"
        if x < 0.88:
            return f"ObjectMinCardinality({rng.randint(1, 3)} :{rng.choice(plain)} {value()})"
        return f"ObjectMaxCardinality({rng.randint(1, 3)} {any_role()} {value()})"

    children: dict = {}
    for k, up in parent.items():
        children.setdefault(up, []).append(k)
        sup = f":{names[up]}"
        x = rng.random() if k in concepts else 1.0
        if x < 0.2:
            parts = " ".join(restriction() for _ in range(rng.randint(1, 2)))
            axioms.append(f"EquivalentClasses(:{names[k]} ObjectIntersectionOf({sup} {parts}))")
            continue
        axioms.append(f"SubClassOf(:{names[k]} {sup})")
        if x < 0.7:
            axioms.append(f"SubClassOf(:{names[k]} {restriction()})")
        elif x < 0.73:
            axioms.append(f"SubClassOf(:{names[k]} ObjectUnionOf({value()} {value()}))")
    for up, kids in children.items():
        if len(kids) >= 2 and depth[up] >= 1 and rng.random() < (0.5 if up in values else 0.1):
            a, b = rng.sample(kids, 2)
            axioms.append(f"DisjointClasses(:{names[a]} :{names[b]})")
    roles = plain + [r for pair in pairs for r in pair]
    text = render(axioms, names, roles, [], iri=f"http://example.org/alchiq-{classes}")
    return Ontology(text, [NS + c for c in names], [NS + r for r in roles], [], axioms)
