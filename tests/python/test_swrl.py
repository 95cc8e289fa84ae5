"""The SWRL route: rule consequences over entailed facts reach consistency,
entailment and classification; a rule-free ontology is reasoned with as it
is; what the chaining cannot see makes answers incomplete, never "no"."""
import pytest

from _trelvanic import IncompleteReasoningError, Reasoner
from helpers import iri, ofn_document, write_text

XSD = "Prefix(xsd:=<http://www.w3.org/2001/XMLSchema#>)\n"


def rule(body, head):
    return f"DLSafeRule(Body({body}) Head({head}))\n"


def reasoner_on(tmp_path, body, profile="swrl"):
    path = write_text(tmp_path, "o.ofn", XSD + ofn_document(body))
    return Reasoner(path=path, trusted=True, profile=profile)


# a is an A; A has a p-successor and p's domain is D, so a is a D. The
# second rule needs what the first adds.
CHAIN = (
    "SubClassOf(:A ObjectSomeValuesFrom(:p :B)) ObjectPropertyDomain(:p :D) "
    "ClassAssertion(:A :a) ClassAssertion(:B :b)\n"
    + rule("ClassAtom(:E Variable(:x))", "ClassAtom(:F Variable(:x))")
    + rule("ClassAtom(:D Variable(:x))", "ClassAtom(:E Variable(:x))")
)

UNCLE = (
    "SubObjectPropertyOf(:hasFather :hasParent) "
    "ObjectPropertyAssertion(:hasFather :a :b) ObjectPropertyAssertion(:hasBrother :b :c) "
    "ObjectPropertyAssertion(:hasBrother :a :d)\n"
    + rule("ObjectPropertyAtom(:hasParent Variable(:x) Variable(:y)) "
           "ObjectPropertyAtom(:hasBrother Variable(:y) Variable(:z))",
           "ObjectPropertyAtom(:hasUncle Variable(:x) Variable(:z))")
)

DATA_HEAD = (
    "DataPropertyAssertion(:age :a \"5\"^^xsd:integer) DataPropertyAssertion(:age :b \"5\")\n"
    + rule("DataPropertyAtom(:age Variable(:x) Variable(:v))",
           "DataPropertyAtom(:shownAge Variable(:x) Variable(:v))")
    + rule("DataPropertyAtom(:shownAge Variable(:x) \"5\")", "ClassAtom(:FiveText Variable(:x))")
)


def test_rule_chain_over_an_entailed_membership(tmp_path):
    r = reasoner_on(tmp_path, CHAIN)
    assert r.check_consistency() == {"consistent": True, "complete": True}
    assert r.is_entailed(individual=iri("a"), class_=iri("F")) is True
    assert r.is_entailed(individual=iri("b"), class_=iri("F")) is False


@pytest.mark.parametrize("subject, obj, expected", [("a", "c", True), ("a", "d", False), ("b", "c", False)])
def test_uncle_rule_over_sub_property_assertions(tmp_path, subject, obj, expected):
    r = reasoner_on(tmp_path, UNCLE)
    assert r.is_entailed(subject=iri(subject), property=iri("hasUncle"), object=iri(obj)) is expected


def test_data_head_feeds_a_plain_body_literal(tmp_path):
    r = reasoner_on(tmp_path, DATA_HEAD)
    # A literal without a datatype is a string: b's age, not a's integer.
    assert r.is_entailed(individual=iri("b"), class_=iri("FiveText")) is True
    # The engines after the rules may leave "no" open for data, never "yes".
    try:
        answer = r.is_entailed(individual=iri("a"), class_=iri("FiveText"))
    except IncompleteReasoningError:
        answer = None
    assert answer is not True


@pytest.mark.parametrize("body, expected", [
    ("SameIndividual(:a :b) ObjectPropertyAssertion(:p :a :b)\n", False),
    ("ObjectPropertyAssertion(:p :a :b)\n", True),
])
def test_different_individuals_head(tmp_path, body, expected):
    r = reasoner_on(tmp_path, body + rule("ObjectPropertyAtom(:p Variable(:x) Variable(:y))",
                                          "DifferentIndividualsAtom(Variable(:x) Variable(:y))"))
    assert r.check_consistency() == {"consistent": expected, "complete": True}


def test_rule_consequence_clash_makes_every_class_unsatisfiable(tmp_path):
    r = reasoner_on(tmp_path, "SubClassOf(:A :B) DisjointClasses(:B :C) ClassAssertion(:A :a)\n"
                    + rule("ClassAtom(:B Variable(:x))", "ClassAtom(:C Variable(:x))"))
    assert r.check_consistency() == {"consistent": False, "complete": True}
    assert r.is_entailed(iri("B"), iri("C")) is True


def test_binding_limit_text(tmp_path):
    facts = " ".join(f"ClassAssertion(:C :i{n})" for n in range(101))
    r = reasoner_on(tmp_path, facts + "\n" + rule("ClassAtom(:C Variable(:x)) ClassAtom(:C Variable(:y))",
                                                   "ObjectPropertyAtom(:r Variable(:x) Variable(:y))"))
    with pytest.raises(Exception, match="^SWRL rule binding explosion exceeds 10000 bindings$"):
        r.classify()


def test_rule_free_ontology_classifies_as_el_does(tmp_path):
    body = "SubClassOf(:A :B) SubClassOf(:B ObjectSomeValuesFrom(:p :C)) SubClassOf(ObjectSomeValuesFrom(:p :C) :D)"
    swrl = reasoner_on(tmp_path, body)
    el = reasoner_on(tmp_path, body, profile="el")
    swrl.classify()
    el.classify()
    assert swrl.taxonomy == el.taxonomy
    assert swrl.is_entailed(iri("A"), iri("D")) is True


def test_typed_body_literal_makes_answers_incomplete(tmp_path):
    # "05" and "5" are one integer; the rules compare lexical forms.
    r = reasoner_on(tmp_path, "DataPropertyAssertion(:age :a \"05\"^^xsd:integer)\n"
                    + rule("DataPropertyAtom(:age Variable(:x) \"5\"^^xsd:integer)", "ClassAtom(:Five Variable(:x))"))
    assert r.check_consistency() == {"consistent": False, "complete": False}
    with pytest.raises(IncompleteReasoningError):
        r.is_entailed(individual=iri("a"), class_=iri("Five"))
    with pytest.raises(Exception, match="^SWRL forward chaining incomplete: "):
        r.classify()


def test_type_query_sees_rule_consequences(tmp_path):
    r = reasoner_on(tmp_path, CHAIN)
    assert r.query(f"Type(?x, {iri('F')})") == [{"x": iri("a")}]


# a is an A or a B and both rules give C, so every model that keeps the rules
# puts a in C, though neither A(a) nor B(a) is entailed: matching entailed
# memberships alone sees no firing at all.
BY_CASES = (
    "ClassAssertion(ObjectUnionOf(:A :B) :a)\n"
    + rule("ClassAtom(:A Variable(:x))", "ClassAtom(:C Variable(:x))")
    + rule("ClassAtom(:B Variable(:x))", "ClassAtom(:C Variable(:x))")
)


@pytest.mark.parametrize("extra, consistent", [
    ("ClassAssertion(ObjectComplementOf(:C) :a)", False),
    ("", True),
    ("ClassAssertion(:A :a) DisjointClasses(:A :B)", True),
    # The memberships by cases sit on two individuals joined by an edge.
    ("ObjectPropertyAssertion(:p :a :b) ClassAssertion(ObjectComplementOf(:D) :b)\n"
     + rule("ClassAtom(:C Variable(:x)) ObjectPropertyAtom(:p Variable(:x) Variable(:y))",
            "ClassAtom(:D Variable(:y))"), False),
])
def test_rules_that_fire_by_cases(tmp_path, extra, consistent):
    r = reasoner_on(tmp_path, BY_CASES + extra + "\n")
    assert r.check_consistency() == {"consistent": consistent, "complete": True}


@pytest.mark.parametrize("who, cls, expected", [("a", "C", True), ("a", "A", False)])
def test_class_assertions_that_hold_by_cases(tmp_path, who, cls, expected):
    r = reasoner_on(tmp_path, BY_CASES)
    assert r.is_entailed(individual=iri(who), class_=iri(cls)) is expected


@pytest.mark.parametrize("body", [CHAIN, BY_CASES])
def test_auto_runs_the_rules(tmp_path, body):
    auto, swrl = (reasoner_on(tmp_path, body, profile=p) for p in ("auto", "swrl"))
    assert auto.check_consistency() == swrl.check_consistency() == {"consistent": True, "complete": True}
    target = "F" if body is CHAIN else "C"
    assert auto.is_entailed(individual=iri("a"), class_=iri(target)) is True
    assert auto.classify()["status"] == "classified"
