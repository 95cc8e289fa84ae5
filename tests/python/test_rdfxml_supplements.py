"""Statements in the vocabulary of the drafts before OWL 2 (owl:SelfRestriction,
owl:AntisymmetricProperty, owl:disjointObjectProperties, property chains as
an rdf:List with rdfs:subPropertyOf, owl:DataRange with owl:onDataRange and
facets, negative assertions over rdf:subject/predicate/object ...): the
triple mapping leaves them out, the RDF/XML road recovers them, and the
document then loads strictly to exactly the axioms of the same statements
written in functional syntax. Shapes that do not fit are left out, never
guessed; counts and warnings say what the load holds."""
import os

import pytest

from _trelvanic import Ontology, ParseError, Reasoner
from helpers import EX, write_text
from test_rdfxml_passes import RDF_HEAD, stored_axioms, write_ofn, write_serialised

RDF_NS = "http://www.w3.org/1999/02/22-rdf-syntax-ns#"

# (older RDF/XML statements, the same ontology in functional syntax)
OLDER_FORMS = {
    "self restriction": ("""
    <owl:ObjectProperty rdf:about="&t;likes"/>
    <owl:Class rdf:about="&t;A">
        <rdfs:subClassOf>
            <owl:SelfRestriction><owl:onProperty rdf:resource="&t;likes"/></owl:SelfRestriction>
        </rdfs:subClassOf>
    </owl:Class>
""", """
Declaration(Class(:A)) Declaration(ObjectProperty(:likes))
SubClassOf(:A ObjectHasSelf(:likes))
"""),
    "object restriction type": ("""
    <owl:ObjectProperty rdf:about="&t;r"/>
    <owl:Class rdf:about="&t;B"/>
    <owl:Class rdf:about="&t;A">
        <rdfs:subClassOf>
            <owl:ObjectRestriction>
                <owl:onProperty rdf:resource="&t;r"/><owl:someValuesFrom rdf:resource="&t;B"/>
            </owl:ObjectRestriction>
        </rdfs:subClassOf>
    </owl:Class>
""", """
Declaration(Class(:A)) Declaration(Class(:B)) Declaration(ObjectProperty(:r))
SubClassOf(:A ObjectSomeValuesFrom(:r :B))
"""),
    "cardinality beside onClass": ("""
    <owl:ObjectProperty rdf:about="&t;hasChild"/>
    <owl:Class rdf:about="&t;Male"/>
    <owl:Class rdf:about="&t;P">
        <owl:equivalentClass>
            <owl:Restriction>
                <owl:onProperty rdf:resource="&t;hasChild"/>
                <owl:minCardinality rdf:datatype="&xsd;nonNegativeInteger">2</owl:minCardinality>
                <owl:onClass rdf:resource="&t;Male"/>
            </owl:Restriction>
        </owl:equivalentClass>
    </owl:Class>
""", """
Declaration(Class(:P)) Declaration(Class(:Male)) Declaration(ObjectProperty(:hasChild))
EquivalentClasses(:P ObjectMinCardinality(2 :hasChild :Male))
"""),
    "cardinality beside onDataRange": ("""
    <owl:DatatypeProperty rdf:about="&t;d"/>
    <owl:Class rdf:about="&t;A">
        <rdfs:subClassOf>
            <owl:Restriction>
                <owl:onProperty rdf:resource="&t;d"/>
                <owl:maxCardinality rdf:datatype="&xsd;nonNegativeInteger">1</owl:maxCardinality>
                <owl:onDataRange rdf:resource="&xsd;integer"/>
            </owl:Restriction>
        </rdfs:subClassOf>
    </owl:Class>
""", """
Declaration(Class(:A)) Declaration(DataProperty(:d))
SubClassOf(:A DataMaxCardinality(1 :d xsd:integer))
"""),
    "antisymmetric and disjoint properties": ("""
    <owl:ObjectProperty rdf:about="&t;p">
        <rdf:type rdf:resource="&owl;AntisymmetricProperty"/>
        <owl:disjointObjectProperties rdf:resource="&t;q"/>
    </owl:ObjectProperty>
    <owl:ObjectProperty rdf:about="&t;q"/>
    <owl:DatatypeProperty rdf:about="&t;d"><owl:disjointDataProperties rdf:resource="&t;e"/></owl:DatatypeProperty>
    <owl:DatatypeProperty rdf:about="&t;e"/>
""", """
Declaration(ObjectProperty(:p)) Declaration(ObjectProperty(:q))
Declaration(DataProperty(:d)) Declaration(DataProperty(:e))
AsymmetricObjectProperty(:p) DisjointObjectProperties(:p :q) DisjointDataProperties(:d :e)
"""),
    "property chain as a list": ("""
    <owl:ObjectProperty rdf:about="&t;parent"/>
    <owl:ObjectProperty rdf:about="&t;brother"/>
    <owl:ObjectProperty rdf:about="&t;uncle"/>
    <rdf:List>
        <rdf:first rdf:resource="&t;parent"/>
        <rdf:rest rdf:parseType="Collection"><owl:ObjectProperty rdf:about="&t;brother"/></rdf:rest>
        <rdfs:subPropertyOf rdf:resource="&t;uncle"/>
    </rdf:List>
""", """
Declaration(ObjectProperty(:parent)) Declaration(ObjectProperty(:brother)) Declaration(ObjectProperty(:uncle))
SubObjectPropertyOf(ObjectPropertyChain(:parent :brother) :uncle)
"""),
    "data ranges by facets": ("""
    <owl:DatatypeProperty rdf:about="&t;age"/>
    <owl:DataRange rdf:about="&t;Teen">
        <owl:onDataRange>
            <owl:DataRange>
                <owl:onDataRange rdf:resource="&xsd;integer"/>
                <owl:minInclusive rdf:datatype="&xsd;integer">13</owl:minInclusive>
            </owl:DataRange>
        </owl:onDataRange>
        <owl:maxInclusive rdf:datatype="&xsd;integer">19</owl:maxInclusive>
    </owl:DataRange>
    <owl:Class rdf:about="&t;Adult">
        <rdfs:subClassOf>
            <owl:Restriction>
                <owl:onProperty rdf:resource="&t;age"/>
                <owl:allValuesFrom>
                    <owl:DataRange>
                        <owl:onDataRange rdf:resource="&xsd;integer"/>
                        <owl:minInclusive rdf:datatype="&xsd;integer">20</owl:minInclusive>
                    </owl:DataRange>
                </owl:allValuesFrom>
            </owl:Restriction>
        </rdfs:subClassOf>
        <rdfs:subClassOf>
            <owl:Restriction>
                <owl:onProperty rdf:resource="&t;age"/>
                <owl:allValuesFrom>
                    <owl:DataRange><owl:dataComplementOf rdf:resource="&t;Teen"/></owl:DataRange>
                </owl:allValuesFrom>
            </owl:Restriction>
        </rdfs:subClassOf>
    </owl:Class>
""", """
Declaration(Class(:Adult)) Declaration(DataProperty(:age)) Declaration(Datatype(:Teen))
DatatypeDefinition(:Teen DatatypeRestriction(xsd:integer xsd:maxInclusive "19"^^xsd:integer
                                                         xsd:minInclusive "13"^^xsd:integer))
SubClassOf(:Adult DataAllValuesFrom(:age DatatypeRestriction(xsd:integer xsd:minInclusive "20"^^xsd:integer)))
SubClassOf(:Adult DataAllValuesFrom(:age DataComplementOf(:Teen)))
"""),
    "negative assertions over rdf:subject": ("""
    <owl:ObjectProperty rdf:about="&t;knows"/>
    <owl:DatatypeProperty rdf:about="&t;age"/>
    <owl:NamedIndividual rdf:about="&t;a"/>
    <owl:NamedIndividual rdf:about="&t;b"/>
    <owl:NegativeObjectPropertyAssertion>
        <rdf:subject rdf:resource="&t;a"/><rdf:predicate rdf:resource="&t;knows"/><rdf:object rdf:resource="&t;b"/>
    </owl:NegativeObjectPropertyAssertion>
    <owl:NegativeDataPropertyAssertion>
        <rdf:subject rdf:resource="&t;a"/><rdf:predicate rdf:resource="&t;age"/>
        <rdf:object rdf:datatype="&xsd;integer">5</rdf:object>
    </owl:NegativeDataPropertyAssertion>
""", """
Declaration(ObjectProperty(:knows)) Declaration(DataProperty(:age))
Declaration(NamedIndividual(:a)) Declaration(NamedIndividual(:b))
NegativeObjectPropertyAssertion(:knows :a :b)
NegativeDataPropertyAssertion(:age :a "5"^^xsd:integer)
"""),
}


@pytest.mark.parametrize("rdf,ofn", OLDER_FORMS.values(), ids=OLDER_FORMS.keys())
def test_older_statements_load_to_their_owl2_axioms(tmp_path, rdf, ofn):
    expected = stored_axioms(write_ofn(tmp_path, ofn))
    assert stored_axioms(write_serialised(tmp_path, rdf)) == expected
    meta = Reasoner(path=write_serialised(tmp_path, rdf, "lenient.owl"), trusted=True, lenient=True).parse_meta
    assert meta["warnings"] == [] and meta["skipped_axiom_count"] == 0


def test_a_statement_in_both_vocabularies_is_one_axiom(tmp_path):
    both = """
    <owl:ObjectProperty rdf:about="&t;p">
        <owl:propertyDisjointWith rdf:resource="&t;q"/>
        <owl:disjointObjectProperties rdf:resource="&t;q"/>
        <owl:disjointObjectProperties rdf:resource="&t;r"/>
    </owl:ObjectProperty>
    <owl:ObjectProperty rdf:about="&t;q"/>
    <owl:ObjectProperty rdf:about="&t;r"/>
"""
    ofn = """
Declaration(ObjectProperty(:p)) Declaration(ObjectProperty(:q)) Declaration(ObjectProperty(:r))
DisjointObjectProperties(:p :q) DisjointObjectProperties(:p :r)
"""
    assert stored_axioms(write_serialised(tmp_path, both)) == stored_axioms(write_ofn(tmp_path, ofn))
    rdf_meta = Reasoner(path=write_serialised(tmp_path, both, "l.owl"), trusted=True, lenient=True).parse_meta
    ofn_meta = Reasoner(path=write_ofn(tmp_path, ofn), trusted=True, lenient=True).parse_meta
    assert rdf_meta == ofn_meta


# Shapes the older forms do not have: nothing is recovered from them, so a
# strict load fails on the triples left unmapped and a lenient one names them.
MISFITS = {
    "self restriction with a filler": """
    <owl:ObjectProperty rdf:about="&t;p"/>
    <owl:Class rdf:about="&t;A"><rdfs:subClassOf>
        <owl:SelfRestriction>
            <owl:onProperty rdf:resource="&t;p"/><owl:someValuesFrom rdf:resource="&t;A"/><owl:hasSelf>true</owl:hasSelf>
        </owl:SelfRestriction>
    </rdfs:subClassOf></owl:Class>
""",
    "two cardinalities beside onClass": """
    <owl:ObjectProperty rdf:about="&t;p"/>
    <owl:Class rdf:about="&t;A"><rdfs:subClassOf>
        <owl:Restriction>
            <owl:onProperty rdf:resource="&t;p"/><owl:onClass rdf:resource="&t;A"/>
            <owl:minCardinality>1</owl:minCardinality><owl:maxCardinality>2</owl:maxCardinality>
        </owl:Restriction>
    </rdfs:subClassOf></owl:Class>
""",
    "facets over a shared data range": """
    <owl:DatatypeProperty rdf:about="&t;d"/>
    <owl:DataRange rdf:nodeID="base">
        <owl:onDataRange rdf:resource="&xsd;integer"/><owl:minInclusive>1</owl:minInclusive>
    </owl:DataRange>
    <owl:DataRange rdf:about="&t;D1"><owl:onDataRange rdf:nodeID="base"/><owl:maxInclusive>5</owl:maxInclusive></owl:DataRange>
    <owl:DataRange rdf:about="&t;D2"><owl:onDataRange rdf:nodeID="base"/><owl:maxInclusive>9</owl:maxInclusive></owl:DataRange>
""",
}


@pytest.mark.parametrize("rdf", MISFITS.values(), ids=MISFITS.keys())
def test_misshapen_older_statements_are_left_out(tmp_path, rdf):
    path = write_serialised(tmp_path, rdf)
    with pytest.raises(ParseError, match="strict parse: skipped"):
        stored_axioms(path)
    meta = Reasoner(path=path, trusted=True, lenient=True).parse_meta
    assert meta["skipped_axiom_count"] > 0
    assert meta["logical_axiom_count"] == meta["mapped_axiom_count"] + meta["skipped_axiom_count"]
    assert any(w.startswith("RDF triple not mapped") for w in meta["warnings"])


def test_misshapen_negative_assertions_add_nothing(tmp_path):
    """The mapping takes these nodes for reification and drops them; the
    older-vocabulary rewrite leaves them alone, so no assertion is made up
    from a wrong shape."""
    rdf = """
    <owl:ObjectProperty rdf:about="&t;knows"/>
    <owl:NegativeObjectPropertyAssertion>
        <rdf:subject rdf:resource="&t;a"/><rdf:predicate rdf:resource="&t;knows"/>
        <rdf:object rdf:resource="&t;b"/><rdf:object rdf:resource="&t;c"/>
    </owl:NegativeObjectPropertyAssertion>
    <owl:NegativeObjectPropertyAssertion>
        <rdf:subject rdf:resource="&t;a"/><rdf:predicate rdf:resource="&t;knows"/><rdf:object>b</rdf:object>
    </owl:NegativeObjectPropertyAssertion>
"""
    assert stored_axioms(write_serialised(tmp_path, rdf)) == ([], [])


def test_recovered_statements_meet_the_rest_of_the_document(tmp_path):
    """The recovered negative assertion is about the very individuals the
    mapping gave the document, blank ones included: it contradicts the
    positive assertion, and alone it is consistent."""
    negative = """
    <owl:ObjectProperty rdf:about="&t;knows"/>
    <owl:NegativeObjectPropertyAssertion>
        <rdf:subject rdf:nodeID="x"/><rdf:predicate rdf:resource="&t;knows"/><rdf:object rdf:resource="&t;b"/>
    </owl:NegativeObjectPropertyAssertion>
    <owl:NegativeDataPropertyAssertion>
        <rdf:subject rdf:nodeID="x"/><rdf:predicate rdf:resource="&t;age"/><rdf:object>9</rdf:object>
    </owl:NegativeDataPropertyAssertion>
    <owl:DatatypeProperty rdf:about="&t;age"/>
"""
    positive = '<rdf:Description rdf:nodeID="x"><knows rdf:resource="&t;b"/></rdf:Description>\n'
    alone = Reasoner(path=write_serialised(tmp_path, negative, "alone.owl"), trusted=True).check_consistency()
    assert alone["consistent"] is True
    both = Reasoner(path=write_serialised(tmp_path, negative + positive, "both.owl"), trusted=True)
    assert both.check_consistency() == {"consistent": False, "complete": True}


def test_iris_with_parentheses_are_recovered(tmp_path):
    rdf = """
    <owl:ObjectProperty rdf:about="&t;likes_(x)"/>
    <owl:Class rdf:about="&t;Foo_(bar)"><rdfs:subClassOf>
        <owl:SelfRestriction><owl:onProperty rdf:resource="&t;likes_(x)"/></owl:SelfRestriction>
    </rdfs:subClassOf></owl:Class>
"""
    ofn = f"""
Declaration(Class(<{EX}Foo_(bar)>)) Declaration(ObjectProperty(<{EX}likes_(x)>))
SubClassOf(<{EX}Foo_(bar)> ObjectHasSelf(<{EX}likes_(x)>))
"""
    assert stored_axioms(write_serialised(tmp_path, rdf)) == stored_axioms(write_ofn(tmp_path, ofn))


def test_deeply_nested_older_statements_are_recovered(tmp_path):
    depth = 450  # 900 levels of elements; the XML reader takes up to 1000
    restriction = ('<owl:SelfRestriction><owl:onProperty rdf:resource="&t;p"/></owl:SelfRestriction>')
    for _ in range(depth):
        restriction = (f'<owl:Restriction><owl:onProperty rdf:resource="&t;p"/>'
                       f'<owl:someValuesFrom>{restriction}</owl:someValuesFrom></owl:Restriction>')
    rdf = f"""
    <owl:ObjectProperty rdf:about="&t;p"/>
    <owl:Class rdf:about="&t;A"><rdfs:subClassOf>{restriction}</rdfs:subClassOf></owl:Class>
"""
    path = write_serialised(tmp_path, rdf)
    dl = Ontology.load_in(os.path.dirname(path), os.path.basename(path)).to_dict()["dl"]
    assert len(dl["axioms"]) == 1 and sum("HasSelf" in e for e in dl["expressions"]) == 1


def test_literals_keep_their_datatype_and_language(tmp_path):
    """Plain, typed and language-tagged values of an older negative assertion
    and of ordinary property elements come through as written."""
    rdf = """
    <owl:DatatypeProperty rdf:about="&t;d"/>
    <owl:NamedIndividual rdf:about="&t;a">
        <d xml:lang="en">hello</d>
        <d>bob@example.org</d>
    </owl:NamedIndividual>
    <owl:NegativeDataPropertyAssertion>
        <rdf:subject rdf:resource="&t;a"/><rdf:predicate rdf:resource="&t;d"/>
        <rdf:object xml:lang="de">hallo</rdf:object>
    </owl:NegativeDataPropertyAssertion>
    <owl:NegativeDataPropertyAssertion>
        <rdf:subject rdf:resource="&t;a"/><rdf:predicate rdf:resource="&t;d"/>
        <rdf:object rdf:datatype="&xsd;integer">5</rdf:object>
    </owl:NegativeDataPropertyAssertion>
"""
    ofn = """
Declaration(DataProperty(:d)) Declaration(NamedIndividual(:a))
DataPropertyAssertion(:d :a "hello"@en) DataPropertyAssertion(:d :a "bob@example.org")
NegativeDataPropertyAssertion(:d :a "hallo"@de) NegativeDataPropertyAssertion(:d :a "5"^^xsd:integer)
"""
    assert stored_axioms(write_serialised(tmp_path, rdf)) == stored_axioms(write_ofn(tmp_path, ofn))


@pytest.mark.parametrize("subject,strict_error", [
    ("zzz:a", "IRI scheme 'zzz' is not allowed"),  # fails the IRI check
    ("&t;a&gt;b", "parse error"),                   # ends its <...> early, so the supplement does not parse
])
def test_a_recovered_axiom_over_an_unusable_iri(tmp_path, subject, strict_error):
    """An IRI that cannot stand in a supplement fails a strict load; a
    lenient one warns, counts that axiom skipped and keeps the others."""
    rdf = f"""
    <owl:ObjectProperty rdf:about="&t;knows"/>
    <owl:NegativeObjectPropertyAssertion>
        <rdf:subject rdf:resource="&t;c"/><rdf:predicate rdf:resource="&t;knows"/><rdf:object rdf:resource="&t;b"/>
    </owl:NegativeObjectPropertyAssertion>
    <owl:NegativeObjectPropertyAssertion>
        <rdf:subject rdf:resource="{subject}"/><rdf:predicate rdf:resource="&t;knows"/><rdf:object rdf:resource="&t;b"/>
    </owl:NegativeObjectPropertyAssertion>
"""
    path = write_serialised(tmp_path, rdf)
    with pytest.raises(ParseError, match=strict_error):
        stored_axioms(path)
    meta = Reasoner(path=path, trusted=True, lenient=True).parse_meta
    assert (meta["mapped_axiom_count"], meta["skipped_axiom_count"]) == (1, 1)
    assert len(meta["warnings"]) == 1 and meta["warnings"][0].endswith("; recovered axiom skipped")


def test_a_class_disjoint_with_itself_is_empty(tmp_path):
    rdf = """
    <owl:Class rdf:about="&t;A"><owl:disjointWith rdf:resource="&t;A"/></owl:Class>
    <owl:Class rdf:nodeID="u">
        <owl:unionOf rdf:parseType="Collection"><owl:Class rdf:about="&t;B"/><owl:Class rdf:about="&t;C"/></owl:unionOf>
        <owl:disjointWith rdf:nodeID="u"/>
    </owl:Class>
"""
    for member in ("A", "C"):
        x = f'<owl:NamedIndividual rdf:about="&t;x"><rdf:type rdf:resource="&t;{member}"/></owl:NamedIndividual>\n'
        path = write_serialised(tmp_path, rdf + x, f"{member}.owl")
        assert Reasoner(path=path, trusted=True).check_consistency() == {"consistent": False, "complete": True}


def test_an_imported_document_keeps_its_own_anonymous_individuals(tmp_path):
    """The supplement of an imported RDF/XML file names its blank individuals
    as that file's mapping does, not as the importing document's."""
    imported = """
    <owl:ObjectProperty rdf:about="&t;knows"/>
    <rdf:Description rdf:nodeID="x"><knows rdf:resource="&t;b"/></rdf:Description>
    <owl:NegativeObjectPropertyAssertion>
        <rdf:subject rdf:nodeID="x"/><rdf:predicate rdf:resource="&t;knows"/><rdf:object rdf:resource="&t;b"/>
    </owl:NegativeObjectPropertyAssertion>
"""
    write_serialised(tmp_path, imported, "imported.owl")
    main = write_text(tmp_path, "main.ofn", f"""Prefix(:=<{EX}>)
Ontology(<http://example.org/main>
Import(<imported.owl>)
Declaration(Class(:A))
)
""")
    assert Reasoner(path=main, trusted=True).check_consistency() == {"consistent": False, "complete": True}


def test_anonymous_members_of_two_enumerations_stay_two(tmp_path):
    rdf = """
    <owl:Class rdf:about="&t;C1"><owl:oneOf rdf:parseType="Collection"><rdf:Description/></owl:oneOf></owl:Class>
    <owl:Class rdf:about="&t;C2"><owl:oneOf rdf:parseType="Collection"><rdf:Description/></owl:oneOf></owl:Class>
"""
    told, dl = stored_axioms(write_serialised(tmp_path, rdf))
    members = {axiom.split("OneOf:[")[1].split("]")[0] for axiom in dl}
    assert told == [] and len(dl) == 2 and len(members) == 2
    assert Reasoner(path=write_serialised(tmp_path, rdf, "r.owl"), trusted=True).is_entailed(EX + "C1", EX + "C2") is False
