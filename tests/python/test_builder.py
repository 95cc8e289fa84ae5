"""OntologyBuilder: entities and told axioms by IRI, punning and the kind
mismatch, `build` handing over and restarting empty, and failed steps that
leave what was built so far in place."""
import pytest

from _trelvanic import Ontology, OntologyBuilder

A, B, C = "http://ex.org/A", "http://ex.org/B", "http://ex.org/C"
P, Q = "http://ex.org/p", "http://ex.org/q"
I, J = "http://ex.org/i", "http://ex.org/j"


def axioms_of(ontology):
    return ontology.to_dict()["axioms"]


def kinds_of(ontology):
    return {e["iri"]: e["kind"] for e in ontology.to_dict()["entities"]}


def test_empty_builder_builds_an_empty_ontology():
    ontology = OntologyBuilder().build()
    assert isinstance(ontology, Ontology)
    assert (ontology.entity_count, ontology.axiom_count) == (0, 0)


STEPS = [
    ("subclass_of", (A, B), {A: "Class", B: "Class"}, {"SubClassOf": {"subclass": A, "superclass": B}}),
    ("subproperty_of", (P, Q), {P: "ObjectProperty", Q: "ObjectProperty"},
     {"SubObjectPropertyOf": {"sub_property": P, "super_property": Q}}),
    ("property_domain", (P, A), {P: "ObjectProperty", A: "Class"},
     {"ObjectPropertyDomain": {"property": P, "domain": A}}),
    ("property_range", (P, A), {P: "ObjectProperty", A: "Class"},
     {"ObjectPropertyRange": {"property": P, "range": A}}),
    ("class_assertion", (I, A), {I: "Individual", A: "Class"},
     {"ClassAssertion": {"individual": I, "class": A}}),
    ("object_property_assertion", (I, P, J), {I: "Individual", P: "ObjectProperty", J: "Individual"},
     {"ObjectPropertyAssertion": {"subject": I, "property": P, "object": J}}),
]


@pytest.mark.parametrize("method,args,kinds,axiom", STEPS, ids=[s[0] for s in STEPS])
def test_each_axiom_step_registers_its_kinds_and_adds_one_told_axiom(method, args, kinds, axiom):
    builder = OntologyBuilder()
    assert getattr(builder, method)(*args) is None
    ontology = builder.build()
    assert kinds_of(ontology) == kinds
    assert axioms_of(ontology) == [axiom]


def test_repeats_are_stored_once():
    builder = OntologyBuilder()
    builder.add_class(A)
    builder.add_class(A)
    builder.subclass_of(A, B)
    builder.subclass_of(subclass=A, superclass=B)
    ontology = builder.build()
    assert (ontology.entity_count, ontology.axiom_count) == (2, 1)


def test_punning_and_the_kind_mismatch_leave_the_builder_as_it_was():
    builder = OntologyBuilder()
    builder.subclass_of(A, B)
    builder.add_class(C)
    builder.individual(C)
    with pytest.raises(Exception, match=r"^entity kind mismatch for http://ex.org/C: expected ObjectProperty") as info:
        builder.object_property(C)
    assert type(info.value) is Exception
    # A failed step keeps everything built before it (the earlier
    # behaviour emptied the builder).
    builder.individual(I)
    ontology = builder.build()
    assert kinds_of(ontology) == {A: "Class", B: "Class", C: "ClassIndividual", I: "Individual"}
    assert ontology.axiom_count == 1


def test_failed_axiom_step_registers_none_of_its_entities():
    builder = OntologyBuilder()
    builder.add_class(C)
    builder.individual(C)
    # The subject is new, the property clashes with the punned C: neither
    # the subject nor the axiom may stay behind.
    with pytest.raises(Exception, match="entity kind mismatch"):
        builder.object_property_assertion(I, C, J)
    assert kinds_of(builder.build()) == {C: "ClassIndividual"}


def test_invalid_iri_is_refused_and_changes_nothing():
    builder = OntologyBuilder()
    builder.add_class(A)
    with pytest.raises(Exception):
        builder.add_class("")
    assert builder.build().entity_count == 1


def test_build_hands_over_and_restarts_empty():
    builder = OntologyBuilder()
    builder.subclass_of(A, B)
    first = builder.build()
    builder.class_assertion(I, C)
    second = builder.build()
    assert axioms_of(first) == [{"SubClassOf": {"subclass": A, "superclass": B}}]
    assert kinds_of(second) == {I: "Individual", C: "Class"}
    assert builder.build().entity_count == 0


def test_encoded_hash_is_read_as_hash():
    builder = OntologyBuilder()
    builder.add_class("http://ex.org/o%23A")
    builder.add_class("http://ex.org/o#A")
    assert builder.build().entity_count == 1
