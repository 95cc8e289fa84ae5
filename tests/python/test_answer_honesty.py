"""Answers over an ontology that holds less than its source: a lenient load
that skipped axioms, or a load that left owl:imports out. What the read
axioms entail, and a contradiction among them, hold for the source too; a
model of them, and so a "consistent" or a "no", need not. So "consistent"
comes back with complete False (is_consistent raises), a "no" from
is_entailed raises IncompleteReasoningError, while "yes", "inconsistent"
and classify() stay as they are."""
import json
import pathlib
import warnings

import pytest

from _trelvanic import IncompleteReasoningError, Ontology, Reasoner
from helpers import EX, ofn_document, write_ofn, write_text

# No IRI this long can be registered: every axiom naming it is skipped by a
# lenient load, whatever else it says.
UNREGISTRABLE = "http://example.org/" + "x" * 9000

# A(a) is read. The skipped axioms say A ⊑ ⊥ (so the source is
# inconsistent) and B ⊑ A (so B ⊑ A is entailed by the source).
SKIPPING = f"""
Declaration(Class(:A)) Declaration(Class(:B)) Declaration(Class(:C))
Declaration(NamedIndividual(:a))
ClassAssertion(:A :a)
SubClassOf(:A ObjectIntersectionOf(owl:Nothing <{UNREGISTRABLE}>))
SubClassOf(:B ObjectIntersectionOf(:A <{UNREGISTRABLE}>))
"""
READ_ONLY = SKIPPING.split("SubClassOf")[0]

# (profile, incremental): the EL route under Auto, the EL session, the RL
# and RDFS routes.
ROUTES = [(None, False), ("el", True), ("rl", False), ("rdfs", False)]


def load(tmp_path, body, profile=None, incremental=False, lenient=True):
    write_ofn(tmp_path, body)
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        return Reasoner.load_in(str(tmp_path), "o.ofn", profile=profile, incremental=incremental,
                                lenient=lenient)


def refused(call):
    with pytest.raises(IncompleteReasoningError, match="consistency check incomplete"):
        call()


@pytest.mark.parametrize("profile,incremental", ROUTES)
def test_a_skipping_load_gets_no_consistent_and_no_no(tmp_path, profile, incremental):
    r = load(tmp_path, SKIPPING, profile, incremental)
    assert r.parse_meta["skipped_axiom_count"] == 2
    # The source is inconsistent: "consistent" would be wrong, so it is
    # reported as not proven (RDFS never proves it anyway).
    assert r.check_consistency()["complete"] is False
    refused(r.is_consistent)
    # Read entailments stand; the ones only the skipped axioms give are
    # refused, never denied.
    assert r.is_entailed(individual=EX + "a", class_=EX + "A") is True
    refused(lambda: r.is_entailed(EX + "B", EX + "A"))
    refused(lambda: r.is_entailed(individual=EX + "a", class_=EX + "C"))
    result = r.classify()
    assert result["parse_meta"]["skipped_axiom_count"] == 2
    # After classify() the answers are the same.
    refused(lambda: r.is_entailed(EX + "B", EX + "A"))
    assert r.check_consistency()["complete"] is False


@pytest.mark.parametrize("profile", ["el", "rl"])
def test_the_same_ontology_read_whole_is_decided(tmp_path, profile):
    # Without skipped axioms the engines answer "no" and "consistent" outright.
    r = load(tmp_path, READ_ONLY, profile, lenient=False)
    assert r.check_consistency() == {"consistent": True, "complete": True}
    assert r.is_entailed(EX + "B", EX + "A") is False


@pytest.mark.parametrize("profile", [None, "el", "rl"])
def test_inconsistent_stays_complete(tmp_path, profile):
    body = SKIPPING + "DisjointClasses(:A :C)\nClassAssertion(:C :a)\n"
    r = load(tmp_path, body, profile)
    assert r.check_consistency() == {"consistent": False, "complete": True}
    assert r.is_consistent() is False


def test_shared_ontologies_carry_what_their_load_left_out(tmp_path):
    # A snapshot keeps the skipped count of the load it was taken from.
    write_ofn(tmp_path, READ_ONLY)
    snapshot = Ontology.load_in(str(tmp_path), "o.ofn").to_dict()
    snapshot["parse_meta"] = {"warnings": ["two axioms skipped"], "mapped_axiom_count": 2,
                              "skipped_axiom_count": 2, "logical_axiom_count": 4}
    # A strict load may leave a web import unresolved (with a warning).
    write_ofn(tmp_path, READ_ONLY + "Import(<http://example.org/nowhere/other.owl>)", name="i.ofn")
    for shared in (Ontology.from_dict(snapshot), Ontology.load_in(str(tmp_path), "i.ofn")):
        for profile in (None, "rl"):
            r = Reasoner(ontology=shared, profile=profile)
            assert r.check_consistency() == {"consistent": True, "complete": False}
            refused(lambda: r.is_entailed(EX + "B", EX + "A"))
            assert r.is_entailed(individual=EX + "a", class_=EX + "A") is True


def test_imports_a_sandboxed_lenient_load_does_not_follow_are_reported(tmp_path):
    write_ofn(tmp_path, "SubClassOf(:B :C)", name="other.ofn")
    write_text(tmp_path, "o.ofn", ofn_document(READ_ONLY + "Import(<other.ofn>)"))
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        r = Reasoner.load_in(str(tmp_path), "o.ofn", lenient=True)
    assert any("other.ofn" in w for w in r.parse_meta["warnings"])
    assert r.check_consistency() == {"consistent": True, "complete": False}
    refused(lambda: r.is_entailed(EX + "B", EX + "C"))


# --- Classification leaves every answer as it was ------------------------------

RDF = "http://www.w3.org/1999/02/22-rdf-syntax-ns#"
RDFS = "http://www.w3.org/2000/01/rdf-schema#"
OWL = "http://www.w3.org/2002/07/owl#"
OWL_VOCABULARY = pathlib.Path("/work/shared/data/rl/owl.ttl")

# What the OWL vocabulary file says about itself that reaches the
# reasoner's rules: its property classes under rdf:Property, its built-in
# properties typed, with domains and ranges.
VOCABULARY_TRIPLES = f"""
<{OWL}ObjectProperty> <{RDFS}subClassOf> <{RDF}Property> .
<{OWL}DatatypeProperty> <{RDFS}subClassOf> <{RDF}Property> .
<{OWL}topDataProperty> a <{OWL}DatatypeProperty> .
<{OWL}topDataProperty> <{RDFS}domain> <{OWL}Thing> .
<{OWL}bottomDataProperty> a <{OWL}DatatypeProperty> .
<{OWL}Class> <{RDFS}subClassOf> <{RDFS}Class> .
"""

ONTOLOGY_TRIPLES = f"""
@prefix : <{EX}> .
@prefix owl: <{OWL}> .
@prefix rdfs: <{RDFS}> .
:A a owl:Class . :B a owl:Class . :C a owl:Class .
:A rdfs:subClassOf :B .
:p a owl:ObjectProperty ; rdfs:domain :A .
:q a owl:ObjectProperty . :p rdfs:subPropertyOf :q .
:d a owl:DatatypeProperty .
:a a owl:NamedIndividual . :b a owl:NamedIndividual .
:a :p :b .
"""

QUESTIONS = [
    ("subclass, entailed", lambda r: r.is_entailed(EX + "A", EX + "B")),
    ("subclass, not entailed", lambda r: r.is_entailed(EX + "B", EX + "A")),
    ("class assertion", lambda r: r.is_entailed(individual=EX + "a", class_=EX + "B")),
    ("class assertion, not entailed", lambda r: r.is_entailed(individual=EX + "b", class_=EX + "C")),
    ("property assertion", lambda r: r.is_entailed(subject=EX + "a", property=EX + "q", object=EX + "b")),
    ("property assertion, not entailed",
     lambda r: r.is_entailed(subject=EX + "b", property=EX + "p", object=EX + "a")),
    ("consistency", lambda r: r.check_consistency()),
]


def answers(reasoner):
    out = {}
    for name, ask in QUESTIONS:
        try:
            out[name] = ask(reasoner)
        except Exception as exc:  # noqa: BLE001 - the error is part of the answer
            out[name] = (type(exc).__name__, str(exc))
    return out


def vocabulary_sources():
    yield "vocabulary triples", VOCABULARY_TRIPLES
    if OWL_VOCABULARY.exists():
        yield "owl.ttl", OWL_VOCABULARY.read_text(encoding="utf-8")


# The EL classifier does not take the vocabulary's data property axioms;
# it is asked about the ontology alone.
CLASSIFY_CASES = [(source, profile) for source in vocabulary_sources() for profile in (None, "rl", "rdfs")] + [
    (("ontology alone", ""), profile) for profile in (None, "el", "rl", "rdfs")]


@pytest.mark.parametrize("source,profile", CLASSIFY_CASES, ids=lambda v: v[0] if isinstance(v, tuple) else str(v))
def test_classify_leaves_every_answer_as_it_was(tmp_path, source, profile):
    # N-Triples first, then the Turtle document with its prefixes.
    write_text(tmp_path, "o.ttl", source[1] + ONTOLOGY_TRIPLES)
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        r = Reasoner.load_in(str(tmp_path), "o.ttl", profile=profile, lenient=True)
    before = answers(r)
    result = r.classify()
    assert answers(r) == before
    assert not any("entity kind mismatch" in c for c in result.get("clashes", []))
    if profile in ("rl", "rdfs"):
        assert before["subclass, entailed"] is True
        assert before["property assertion"] is True


# --- Auto sends an ontology to an engine that decides it ----------------------

# Inside OWL 2 EL and OWL 2 RL, yet the EL engine does not take hasValue:
# the RL engine decides it.
HAS_VALUE = """
Declaration(Class(:A)) Declaration(Class(:B)) Declaration(Class(:C))
Declaration(ObjectProperty(:p)) Declaration(NamedIndividual(:a)) Declaration(NamedIndividual(:b))
SubClassOf(:A ObjectHasValue(:p :b))
SubClassOf(ObjectIntersectionOf(:A :B) :C)
ClassAssertion(:A :a)
ClassAssertion(:B :a)
"""


def test_an_el_and_rl_ontology_the_el_engine_refuses_goes_to_rl(tmp_path):
    r = load(tmp_path, HAS_VALUE, lenient=False)
    assert r.check_consistency() == {"consistent": True, "complete": True}
    assert r.is_entailed(individual=EX + "a", class_=EX + "C") is True
    assert r.is_entailed(subject=EX + "a", property=EX + "p", object=EX + "b") is True
    assert r.is_entailed(individual=EX + "b", class_=EX + "A") is False
    assert r.classify()["status"] == "classified"
    # Asked for explicitly, the EL engine names what it refused and does not
    # call an OWL 2 EL ontology something else.
    el = load(tmp_path, HAS_VALUE, profile="el", lenient=False)
    with pytest.raises(Exception, match="EL engine does not reason with ObjectHasValue") as refusal:
        el.classify()
    assert "not in OWL EL profile" not in str(refusal.value)


BRICK = pathlib.Path("/work/shared/data/rl/Brick.ttl")
BUILDING = pathlib.Path("/work/shared/data/rl/buildings/RPL(v1.1).ttl")


@pytest.mark.skipif(not (BRICK.exists() and BUILDING.exists()), reason="Brick data not present")
def test_brick_with_a_building_is_reasoned_under_auto(tmp_path):
    # The schema is N-Triples, the building Turtle with its own prefixes.
    write_text(tmp_path, "brick.ttl", BRICK.read_text(encoding="utf-8") + BUILDING.read_text(encoding="utf-8"))
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        r = Reasoner.load_in(str(tmp_path), "brick.ttl", lenient=True)
    assert r.classify()["status"] == "classified"
    assert r.check_consistency()["consistent"] is True
    # RTU ⊑ AHU in the building, AHU ⊑ HVAC in the schema.
    assert r.is_entailed("https://brickschema.org/schema/1.0.2/Brick#RTU",
                         "https://brickschema.org/schema/1.1/Brick#HVAC") is True


def test_a_published_classification_leaves_the_other_reasoners_answers(tmp_path):
    write_text(tmp_path, "o.ttl", VOCABULARY_TRIPLES + ONTOLOGY_TRIPLES)
    shared = Ontology.load_in(str(tmp_path), "o.ttl")
    rl, auto = Reasoner(ontology=shared, profile="rl"), Reasoner(ontology=shared)
    before = answers(auto)
    told = shared.axiom_count
    rl.classify()
    assert shared.axiom_count > told  # the materialised axioms were published
    assert answers(auto) == before
