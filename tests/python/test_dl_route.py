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
