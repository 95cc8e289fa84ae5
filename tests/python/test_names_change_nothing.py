"""Answers depend on what an ontology says, never on what its entities are
called: an ontology and a copy with every name changed get the same
verdicts and the same taxonomy (names mapped), whatever the names suggest
(test-suite IRIs, well-known class names, "Unsatisfiable" in a name) and
whichever switches for test-suite shortcuts are set."""
import os
import random

import pytest

import _trelvanic
from helpers import write_text

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PIZZA = next((p for p in (os.path.join(REPO, "..", "shared", "data", "dl", "pizza.owl"),
                          "/work/shared/data/dl/pizza.owl") if os.path.exists(p)), "")
SWITCHES = ("TRELVANIC_CONFORMANCE", "TRELVANIC_WG_SHORTCUTS", "TRELVANIC_DL_WG_SHORTCUTS")
UNDECIDED = (_trelvanic.ResourceLimitError, _trelvanic.IncompleteReasoningError)

# Names that suggest an answer. A conformance-suite ontology IRI on an
# inconsistent ontology; classes named like the pizza ontology's with axioms
# of their own; "Unsatisfiable" on a satisfiable class and "Satisfiable" on
# an unsatisfiable one; ".comp" inside an IRI.
SUITE = "http://www.w3.org/2002/03owlt/miscellaneous/consistent001"
NAMES = {
    "pizza": "http://www.co-ode.org/ontologies/pizza/pizza.owl#",
    "suite": SUITE + "#",
    "comp": "http://example.org/x.comp#",
}


def document(ontology_iri, n, extra=""):
    """A small DL ontology; `n(key, local)` gives each entity's full IRI."""
    p, s, c = (lambda local, k=k: f"<{n(k, local)}>" for k in ("pizza", "suite", "comp"))
    body = f"""
Declaration(Class({p('NamedPizza')})) Declaration(Class({p('CheeseyPizza')})) Declaration(Class({p('Pizza')}))
Declaration(Class({p('MeatTopping')})) Declaration(Class({p('CheeseTopping')})) Declaration(Class({p('Topping')}))
Declaration(Class({p('VegTopping')})) Declaration(Class({p('Margherita')})) Declaration(ObjectProperty({p('hasTopping')}))
Declaration(Class({s('Unsatisfiable')})) Declaration(Class({s('Satisfiable')})) Declaration(Class({c('Part.comp')}))
EquivalentClasses({p('Topping')} ObjectUnionOf({p('MeatTopping')} {p('CheeseTopping')} {p('VegTopping')}))
DisjointClasses({p('MeatTopping')} {p('CheeseTopping')})
EquivalentClasses({p('CheeseyPizza')} ObjectIntersectionOf({p('Pizza')} ObjectSomeValuesFrom({p('hasTopping')} {p('CheeseTopping')})))
SubClassOf({p('Margherita')} ObjectIntersectionOf({p('NamedPizza')} ObjectSomeValuesFrom({p('hasTopping')} {p('CheeseTopping')})))
SubClassOf({p('NamedPizza')} {p('Pizza')})
SubClassOf({s('Unsatisfiable')} {p('Pizza')})
SubClassOf({s('Satisfiable')} ObjectIntersectionOf({p('MeatTopping')} {p('CheeseTopping')}))
SubClassOf({c('Part.comp')} ObjectAllValuesFrom({p('hasTopping')} ObjectUnionOf({p('MeatTopping')} {p('VegTopping')})))
{extra}
"""
    return f"Ontology(<{ontology_iri}>\n{body}\n)\n"


def as_named(key, local):
    return NAMES[key] + local


def renamed_map():
    """Neutral names, shuffled so that no order of names carries over."""
    locals_ = ["NamedPizza", "CheeseyPizza", "Pizza", "MeatTopping", "CheeseTopping", "Topping", "VegTopping",
               "Margherita", "hasTopping", "Unsatisfiable", "Satisfiable", "Part.comp", "a"]
    keys = [(k, loc) for k in NAMES for loc in locals_]
    order = list(range(len(keys)))
    random.Random(5).shuffle(order)
    return {as_named(k, loc): f"http://example.org/n#e{order[i]}" for i, (k, loc) in enumerate(keys)}


RENAME = renamed_map()


def renamed(key, local):
    return RENAME[as_named(key, local)]


def answers(tmp_path, text, name):
    """Consistency and the taxonomy (or the error kind) of one document."""
    r = _trelvanic.Reasoner(path=write_text(tmp_path, name, text), trusted=True)
    out = {"consistency": r.check_consistency()}
    try:
        t = r.classify()
        out["taxonomy"] = {k: t[k] for k in ("subsumptions", "equivalences", "unsatisfiable") if k in t}
    except UNDECIDED as e:
        out["taxonomy"] = type(e).__name__
    return out


def mapped(result, mapping):
    """The answers of the original with its names replaced by `mapping`."""
    if not isinstance(result.get("taxonomy"), dict):
        return result
    t = result["taxonomy"]
    m = lambda x: mapping.get(x, x)  # noqa: E731
    return {"consistency": result["consistency"], "taxonomy": {
        "subsumptions": sorted([m(a), m(b)] for a, b in t["subsumptions"]),
        "equivalences": sorted(sorted(m(x) for x in g) for g in t.get("equivalences", [])),
        "unsatisfiable": sorted(m(x) for x in t["unsatisfiable"]),
    }}


@pytest.mark.parametrize("switches", [False, True])
@pytest.mark.parametrize("inconsistent", [False, True])
def test_renamed_copy_gets_the_same_answers(tmp_path, monkeypatch, switches, inconsistent):
    if switches:
        for name in SWITCHES:
            monkeypatch.setenv(name, "1")
    extra_of = (lambda n: f"ClassAssertion(<{n('suite', 'Satisfiable')}> <{n('pizza', 'a')}>)") if inconsistent \
        else (lambda n: "")
    original = answers(tmp_path, document(SUITE, as_named, extra_of(as_named)), "original.ofn")
    copy = answers(tmp_path, document("http://example.org/n", renamed, extra_of(renamed)), "renamed.ofn")
    assert original["consistency"] == {"consistent": not inconsistent, "complete": True}
    if not inconsistent:
        t = original["taxonomy"]
        assert isinstance(t, dict), t
        # What the axioms say, whatever the names say.
        assert t["unsatisfiable"] == [as_named("suite", "Satisfiable")]
        subs = {tuple(x) for x in t["subsumptions"]}
        assert (as_named("suite", "Unsatisfiable"), as_named("pizza", "Pizza")) in subs
        assert (as_named("pizza", "Margherita"), as_named("pizza", "NamedPizza")) in subs
        assert not any(a == as_named("pizza", "NamedPizza") and b == as_named("pizza", "CheeseyPizza")
                       for a, b in subs)
    assert mapped(original, RENAME) == mapped(copy, {})


@pytest.mark.skipif(not PIZZA, reason="shared DL data not present")
def test_renamed_pizza_classifies_to_the_renamed_taxonomy(monkeypatch):
    monkeypatch.setenv("TRELVANIC_TABLEAU_MAX_EXPANSIONS", "200000")
    ontology = _trelvanic.Ontology.load_in(os.path.dirname(os.path.abspath(PIZZA)), os.path.basename(PIZZA))
    snapshot = ontology.to_dict()
    order = list(range(len(snapshot["entities"])))
    random.Random(11).shuffle(order)
    mapping = {e["iri"]: f"http://example.org/p#e{order[i]}" for i, e in enumerate(snapshot["entities"])
               if e["iri"].startswith("http://www.co-ode.org/")}

    def rename(x):
        if isinstance(x, dict):
            return {k: rename(v) for k, v in x.items()}
        if isinstance(x, list):
            return [rename(v) for v in x]
        return mapping.get(x, x) if isinstance(x, str) else x

    original = _trelvanic.Reasoner(ontology=ontology).classify()
    copy = _trelvanic.Reasoner(ontology=_trelvanic.Ontology.from_dict(rename(snapshot))).classify()
    keys = ("subsumptions", "equivalences", "unsatisfiable")
    assert mapped({"consistency": None, "taxonomy": {k: original[k] for k in keys}}, mapping) == \
        mapped({"consistency": None, "taxonomy": {k: copy[k] for k in keys}}, {})
