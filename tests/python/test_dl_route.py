"""The DL route from Python: consistency, entailment by refutation and
classification through the tableau, and undecided answers as incomplete."""
import pytest

import _trelvanic
from helpers import iri, write_ofn

UNION = """
SubClassOf(:A ObjectUnionOf(:B :C))
SubClassOf(:B :D) SubClassOf(:C :D)
EquivalentClasses(:E ObjectUnionOf(:B :C))
ClassAssertion(:A :a)
"""


def load(tmp_path, body, **kwargs):
    return _trelvanic.Reasoner.load_in(str(tmp_path), write_ofn(tmp_path, body), profile="dl", **kwargs)


def test_union_ontology_is_consistent_and_classified(tmp_path):
    r = load(tmp_path, UNION)
    assert r.check_consistency() == {"consistent": True, "complete": True}
    assert r.is_consistent() is True
    assert r.is_entailed(individual=iri("a"), class_=iri("D")) is True
    assert r.is_entailed(sub=iri("A"), sup=iri("E")) is True
    assert r.is_entailed(sub=iri("E"), sup=iri("D")) is True
    assert r.is_entailed(sub=iri("D"), sup=iri("A")) is False
    result = r.classify()
    assert result["status"] == "classified"
    # Direct subsumptions only: B ⊑ D follows through E.
    assert sorted(map(tuple, result["subsumptions"])) == [
        (iri("A"), iri("E")), (iri("B"), iri("E")), (iri("C"), iri("E")), (iri("E"), iri("D"))]


def test_contradiction_through_a_union_is_inconsistent(tmp_path):
    r = load(tmp_path, UNION + "DisjointClasses(:A :B) DisjointClasses(:A :C)")
    assert r.check_consistency() == {"consistent": False, "complete": True}
    assert r.is_consistent() is False


def test_undecided_checks_are_incomplete(tmp_path, monkeypatch):
    r = load(tmp_path, UNION)
    monkeypatch.setenv("TRELVANIC_TABLEAU_MAX_EXPANSIONS", "1")
    assert r.check_consistency() == {"consistent": False, "complete": False}
    with pytest.raises(_trelvanic.IncompleteReasoningError, match="^consistency check incomplete$"):
        r.is_consistent()


def test_dl_preview_refuses_unions(tmp_path):
    r = _trelvanic.Reasoner.load_in(str(tmp_path), write_ofn(tmp_path, UNION), profile="dl-preview")
    with pytest.raises(Exception, match=r"^DL preview: DL preview does not support: \[ObjectUnionOf\]$"):
        r.classify()


XSD = "http://www.w3.org/2001/XMLSchema#"


@pytest.mark.parametrize("body, consistent", [
    # Values and data restrictions are decided by the tableau's data oracle.
    (f'SubClassOf(DataSomeValuesFrom(:p <{XSD}integer>) :A) ClassAssertion(ObjectComplementOf(:A) :x) '
     f'ClassAssertion(ObjectUnionOf(DataHasValue(:p "5"^^<{XSD}integer>) :B) :x) DisjointClasses(:B :C) '
     f'ClassAssertion(ObjectUnionOf(:C ObjectComplementOf(:B)) :x) ClassAssertion(:C :x)', False),
    (f'SubClassOf(DataSomeValuesFrom(:p <{XSD}integer>) :A) ClassAssertion(ObjectComplementOf(:A) :x) '
     f'ClassAssertion(ObjectUnionOf(DataHasValue(:p "five") :B) :x)', True),
    (f'ClassAssertion(ObjectUnionOf(DataMinCardinality(3 :p <{XSD}boolean>) :B) :x) '
     f'ClassAssertion(ObjectComplementOf(:B) :x)', False),
    (f'ClassAssertion(ObjectUnionOf(DataMinCardinality(2 :p <{XSD}boolean>) :B) :x) '
     f'ClassAssertion(ObjectComplementOf(:B) :x)', True),
])
def test_data_restrictions_are_decided(tmp_path, body, consistent):
    r = load(tmp_path, body)
    assert r.check_consistency() == {"consistent": consistent, "complete": True}


def test_values_of_unknown_datatypes_stay_undecided(tmp_path):
    r = load(tmp_path, "ClassAssertion(ObjectUnionOf(DataSomeValuesFrom(:p :made_up) :B) :x) "
                       "ClassAssertion(ObjectComplementOf(:B) :x)")
    assert r.check_consistency() == {"consistent": False, "complete": False}
