"""Reasoner.classify(): the classification dictionary for files in the
three syntaxes, the stored taxonomy, failures that leave the reasoner as it
was, and the reasoning work running without the interpreter lock."""
import threading
import time

import pytest

from _trelvanic import IncompleteReasoningError, Reasoner, ResourceLimitError
from helpers import (EX, owx_subclass_axioms, subclass_axioms, ttl_subclass_triples,
                     write_large_el, write_ofn, write_owx, write_ttl)


PAIRS = [("A", "B"), ("B", "C"), ("D", "C")]
WRITERS = {
    "functional": lambda d: write_ofn(d, subclass_axioms(PAIRS)),
    "owl-xml": lambda d: write_owx(d, owx_subclass_axioms(PAIRS)),
    "turtle": lambda d: write_ttl(d, ttl_subclass_triples(PAIRS)),
}


def outcome_of(call):
    try:
        return ("ok", call())
    except Exception as exc:  # noqa: BLE001 - the class is part of the outcome
        return (type(exc), str(exc))


def edges(result):
    return {tuple(pair) for pair in result["subsumptions"]}


EXPECTED = {
    "equivalences": [],
    "status": "classified",
    "subsumption_count": 3,
    "subsumptions": [[EX + "A", EX + "B"], [EX + "B", EX + "C"], [EX + "D", EX + "C"]],
    "unsatisfiable": [],
}


@pytest.mark.parametrize("syntax", sorted(WRITERS))
def test_classify_gives_the_exact_dictionary_in_every_syntax(tmp_path, syntax):
    reasoner = Reasoner(path=WRITERS[syntax](tmp_path), trusted=True)
    result = reasoner.classify()
    assert result == EXPECTED
    assert list(result) == sorted(EXPECTED)
    assert all(type(pair) is list for pair in result["subsumptions"])


def test_equivalences_and_unsatisfiable_classes(tmp_path):
    body = "\n".join([
        f"EquivalentClasses(<{EX}A> <{EX}B>)",
        f"SubClassOf(<{EX}U> owl:Nothing)",
        f"SubClassOf(<{EX}V> <{EX}U>)",
        f"SubClassOf(<{EX}A> <{EX}C>)",
    ])
    result = Reasoner(path=write_ofn(tmp_path, body), trusted=True).classify()
    assert result["equivalences"] == [[EX + "A", EX + "B"]]
    assert result["subsumptions"] == [[EX + "A", EX + "C"], [EX + "B", EX + "C"]]
    assert result["subsumption_count"] == 2
    assert sorted(result["unsatisfiable"]) == [EX + "U", EX + "V", "http://www.w3.org/2002/07/owl#Nothing"]


THING = "http://www.w3.org/2002/07/owl#Thing"


@pytest.mark.parametrize("thing_declared", [False, True])
def test_range_of_a_reflexive_role_holds_for_every_element(tmp_path, thing_declared):
    # S is reflexive and below T: every element is its own S- and
    # T-successor, so it lies in T's range B, which is owl:Thing.
    body = "\n".join([
        f"ReflexiveObjectProperty(<{EX}S>)",
        f"SubObjectPropertyOf(<{EX}S> <{EX}T>)",
        f"ObjectPropertyRange(<{EX}T> <{EX}B>)",
        f"SubClassOf(<{EX}A> <{EX}C>)",
    ] + (["Declaration(Class(owl:Thing))"] if thing_declared else []))
    result = Reasoner(path=write_ofn(tmp_path, body), trusted=True, profile="el").classify()
    if thing_declared:
        assert [sorted(c) for c in result["equivalences"]] == [[EX + "B", THING]]
        assert result["subsumptions"] == [[EX + "A", EX + "C"], [EX + "C", THING]]
    else:
        assert result["equivalences"] == []
        assert result["subsumptions"] == [[EX + "A", EX + "C"], [EX + "C", EX + "B"]]
    assert result["unsatisfiable"] == []


def test_parse_meta_is_in_the_dictionary_only_when_the_load_warned(tmp_path):
    clean = Reasoner(path=write_ofn(tmp_path, subclass_axioms(PAIRS)), trusted=True).classify()
    assert "parse_meta" not in clean

    body = "Declaration(Class(:A))\nDeclaration(DataProperty(:A))\nSubClassOf(:X :Y)"
    reasoner = Reasoner(path=write_ofn(tmp_path, body, "warned.ofn"), trusted=True, lenient=True)
    result = reasoner.classify()
    assert list(result) == ["equivalences", "parse_meta", "status", "subsumption_count", "subsumptions",
                            "unsatisfiable"]
    meta = reasoner.parse_meta
    assert list(result["parse_meta"]) == sorted(meta)
    assert result["parse_meta"] == meta
    assert meta["warnings"] and result["subsumptions"] == [[EX + "X", EX + "Y"]]


def test_classify_twice_is_equal_and_the_taxonomy_property_matches(tmp_path):
    reasoner = Reasoner(path=write_ofn(tmp_path, subclass_axioms(PAIRS)), trusted=True)
    assert reasoner.taxonomy is None
    first = reasoner.classify()
    assert reasoner.taxonomy == first
    assert reasoner.classify() == first
    assert list(reasoner.taxonomy) == list(first)


@pytest.mark.parametrize("profile", ["el", "auto"])
def test_incremental_and_full_classification_agree_with_encoded_hash_aliases(tmp_path, profile):
    # Two IRIs that differ only in "%23" against "#" name one class.
    body = "\n".join([
        f"SubClassOf(<{EX}A> <http://example.org/t%23B>)",
        f"SubClassOf(<{EX}B> <{EX}C>)",
    ])
    path = write_ofn(tmp_path, body)
    full = Reasoner(path=path, trusted=True, profile=profile).classify()
    incremental = Reasoner(path=path, trusted=True, profile=profile, incremental=True).classify()
    assert incremental == full


MATERIALISATION_KEYS = ["clash_count", "final_axiom_count", "inferred_axioms", "inferred_by_rule",
                        "initial_axiom_count", "status"]


@pytest.mark.parametrize("profile", ["rdfs", "RL"])
def test_materialisation_gives_its_report_and_keeps_the_inferred_axioms(tmp_path, profile):
    body = subclass_axioms(PAIRS) + f"\nClassAssertion(<{EX}A> <{EX}i>)"
    reasoner = Reasoner(path=write_ofn(tmp_path, body), trusted=True, profile=profile)
    first = reasoner.classify()
    assert list(first) == MATERIALISATION_KEYS
    assert first["status"] == "classified"
    assert first["clash_count"] == 0 and first["inferred_by_rule"] == {}
    assert first["initial_axiom_count"] == len(PAIRS) + 1
    # At least A ⊑ C, i : B and i : C were added.
    assert first["inferred_axioms"] == first["final_axiom_count"] - first["initial_axiom_count"] >= 3
    assert reasoner.taxonomy is None
    # The working ontology now holds the materialised axioms.
    second = reasoner.classify()
    assert second["initial_axiom_count"] == first["final_axiom_count"]
    assert second["inferred_axioms"] == 0


# What each forced route answers on A ⊑ B ⊑ C, D ⊑ C: the RDFS and RL
# materialisers add the one missing subclass axiom (A ⊑ C) to the working
# ontology and keep no taxonomy; the DL routes classify into the direct
# hierarchy, which is the told one here.
ROUTE_ANSWERS = [
    ("rdfs", "materialised"),
    ("rl", "materialised"),
    ("dl", "taxonomy"),
    ("alc", "taxonomy"),
    ("dl-preview", "taxonomy"),
    ("swrl", "taxonomy"),
]


@pytest.mark.parametrize("profile, answer", ROUTE_ANSWERS)
def test_each_forced_route_classifies_a_small_hierarchy(tmp_path, profile, answer):
    path = write_ofn(tmp_path, subclass_axioms(PAIRS))
    reasoner = Reasoner(path=path, trusted=True, profile=profile)
    result = reasoner.classify()
    assert result["status"] == "classified"
    assert reasoner.parse_meta["mapped_axiom_count"] == len(PAIRS)
    if answer == "materialised":
        assert list(result) == MATERIALISATION_KEYS
        assert result["inferred_axioms"] == 1
        assert result["final_axiom_count"] == result["initial_axiom_count"] + 1
        assert reasoner.taxonomy is None
    else:
        assert sorted(map(tuple, result["subsumptions"])) == sorted((EX + a, EX + b) for a, b in PAIRS)
        assert result["unsatisfiable"] == [] and result["equivalences"] == []
        assert reasoner.taxonomy is not None


def test_ontology_split_into_modules_is_never_answered_module_by_module(tmp_path):
    """An EL-shaped existential and the domain and functionality of its
    property land in different modules of the hybrid split; A ⊑ C needs
    both, so only an engine that sees the whole ontology may answer."""
    body = "\n".join([
        "Declaration(Class(:A))", "Declaration(Class(:B))", "Declaration(Class(:C))",
        "Declaration(ObjectProperty(:r))",
        "SubClassOf(:A ObjectSomeValuesFrom(:r :B))",
        "ObjectPropertyDomain(:r :C)",
        "FunctionalObjectProperty(:r)",
    ])
    reasoner = Reasoner(path=write_ofn(tmp_path, body), trusted=True)
    kind, value = outcome_of(reasoner.classify)
    if kind == "ok":
        assert [EX + "A", EX + "C"] in value["subsumptions"]
    else:
        assert kind in (ResourceLimitError, IncompleteReasoningError)
        assert reasoner.taxonomy is None


def test_classify_runs_without_the_interpreter_lock(tmp_path):
    """A second Python thread keeps counting while classify() works: its
    progress is seen in the middle of the call, where it could not run if
    the call held the lock."""
    reasoner = Reasoner(path=write_large_el(tmp_path, 150_000), trusted=True)
    stamps = []
    stop = threading.Event()
    running = threading.Event()

    def count():
        n = 0
        running.set()
        while not stop.is_set():
            n += 1
            if n % 1000 == 0:
                stamps.append(time.perf_counter())

    thread = threading.Thread(target=count)
    thread.start()
    running.wait()
    start = time.perf_counter()
    result = reasoner.classify()
    end = time.perf_counter()
    stop.set()
    thread.join()
    assert result["status"] == "classified"
    span = end - start
    assert span > 0.05, f"classification too quick ({span:.3f}s) to show anything"
    middle = [t for t in stamps if start + span / 4 < t < end - span / 4]
    assert middle, "the counting thread made no progress while classify() ran"
