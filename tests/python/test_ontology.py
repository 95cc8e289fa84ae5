"""Ontology: snapshots in and out (text and dict), the limits a snapshot
read installs, the sandboxed load, and the counts a linked Reasoner's
edits move."""
import json

import pytest

import _trelvanic
from _trelvanic import Ontology, OntologyBuilder, ParseError, Reasoner, ResourceLimitError
from helpers import iri, subclass_axioms, write_ofn

A, B, C = "http://ex.org/A", "http://ex.org/B", "http://ex.org/C"


def small():
    builder = OntologyBuilder()
    builder.subclass_of(A, B)
    builder.class_assertion("http://ex.org/i", A)
    return builder.build()


def test_json_round_trip_keeps_the_counts():
    original = small()
    for copy in (Ontology.from_json(original.to_json()), Ontology.from_json(json=original.to_json()),
                 Ontology.from_dict(original.to_dict())):
        assert (copy.axiom_count, copy.entity_count) == (original.axiom_count, original.entity_count) == (2, 3)
        assert copy.to_dict() == original.to_dict()


def test_to_dict_keeps_the_snapshot_key_order():
    d = small().to_dict()
    assert isinstance(d, dict)
    assert list(d)[:3] == ["format_version", "entities", "axioms"]
    assert json.loads(small().to_json()) == d


def test_limits_of_a_read_bound_the_read():
    text = small().to_json()
    with pytest.raises(ResourceLimitError):
        Ontology.from_json_with_limits(text, max_entities=1)
    assert Ontology.from_json_with_limits(text, max_entities=None).entity_count == 3
    with pytest.raises(ParseError, match="exceeds maximum size of 10 bytes"):
        Ontology.from_json_with_limits(text, max_json_bytes=10)


def test_limits_of_a_read_stay_with_the_ontology():
    # Three entities fit; a linked reasoner's edit that registers a fourth
    # is refused by the limit the read installed.
    ontology = Ontology.from_json_with_limits(small().to_json(), max_entities=3)
    reasoner = Reasoner(ontology=ontology)
    with pytest.raises(RuntimeError, match="limit"):
        reasoner.add_subclass_of(A, C)
    assert ontology.entity_count == 3
    reasoner.add_subclass_of(B, A)
    assert ontology.axiom_count == 3


@pytest.mark.parametrize("text,error", [("not json", ParseError), ("[]", ParseError),
                                        ('{"format_version": 99}', ParseError)])
def test_malformed_snapshots_raise_parse_error(text, error):
    with pytest.raises(error):
        Ontology.from_json(text)


def test_from_dict_refuses_what_is_not_a_dict_and_what_json_cannot_write():
    with pytest.raises(TypeError, match="argument 'data'"):
        Ontology.from_dict([])
    with pytest.raises(TypeError):
        Ontology.from_dict({"format_version": object()})

    class Sub(dict):
        pass

    assert Ontology.from_dict(Sub(small().to_dict())).entity_count == 3


def test_linked_reasoner_edits_show_in_the_ontology():
    ontology = small()
    reasoner = Reasoner(ontology=ontology)
    reasoner.add_subclass_of(B, C)
    assert ontology.axiom_count == 3
    assert {"SubClassOf": {"subclass": B, "superclass": C}} in ontology.to_dict()["axioms"]


def test_load_in_reads_inside_the_base_and_refuses_outside(tmp_path):
    inside = tmp_path / "base"
    path = write_ofn(inside, subclass_axioms([("A", "B")]))
    ontology = Ontology.load_in(str(inside), path)
    assert (ontology.entity_count, ontology.axiom_count) == (2, 1)
    outside = write_ofn(tmp_path, subclass_axioms([("A", "B")]), name="out.ofn")
    with pytest.raises(ParseError):
        Ontology.load_in(str(inside), outside)
    assert {e["iri"] for e in ontology.to_dict()["entities"]} == {iri("A"), iri("B")}


def test_ontology_has_no_constructor():
    with pytest.raises(TypeError):
        _trelvanic.Ontology()
