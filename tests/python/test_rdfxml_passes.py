"""The RDF/XML road (text passes, reader, mapping) against functional syntax:
a document as a standard OWL 2 serialiser writes it (DOCTYPE entities, a
root tag over several lines, full IRIs through entities, comments) loads to
exactly the told and DL axioms of the same ontology written in functional
syntax. Then the text passes on their own inputs: repeated and invalid
rdf:ID values, and entity bombs refused at load."""
import os

import pytest

from _trelvanic import Ontology, ParseError, Reasoner
from helpers import EX, ONTOLOGY_IRI, write_text


def write_ofn(tmp_path, body):
    return write_text(tmp_path, "o.ofn", f"""Prefix(:=<{EX}>)
Prefix(xsd:=<http://www.w3.org/2001/XMLSchema#>)
Prefix(rdfs:=<http://www.w3.org/2000/01/rdf-schema#>)
Ontology(<{ONTOLOGY_IRI}>
{body}
)
""")


# What the numbers of the snapshot's DL forms stand for: by field name, and
# for a form's bare value by the form's name.
ENTITY_FIELDS = {"individual", "subject", "object", "property", "datatype"}
EXPRESSION_FIELDS = {"class", "filler", "sub", "sup", "domain"}
DATA_FIELDS = {"value", "range", "base"}
ENTITY_LISTS = {"OneOf", "DisjointObjectProperties", "DisjointDataProperties", "EquivalentObjectProperties",
                "EquivalentDataProperties"}
EXPRESSION_VALUES = {"Not"}


def stored_axioms(path):
    """(told, dl) of a strict load: the told axioms and the DL axioms with
    every id spelled out as the IRI or expression it stands for, so that the
    order in which entities and expressions were met does not matter."""
    data = Ontology.load_in(os.path.dirname(path), os.path.basename(path)).to_dict()
    iris = [e["iri"] for e in data["entities"]]
    dl = data.get("dl", {})
    tables = {"expr": dl.get("expressions", []), "data": dl.get("data_exprs", [])}

    # `table`: the table whose expressions the value's own operands name
    # (a data complement or intersection names data expressions).
    def form(value, role, table="expr"):
        if isinstance(value, int):
            if role == "entity":
                return iris[value]
            return form(tables[role][value], None, role) if role in tables else str(value)
        if isinstance(value, list):
            return "[" + " ".join(sorted(form(v, role, table) for v in value)) + "]"
        if isinstance(value, dict):
            parts = []
            for k, v in value.items():
                if k[0].isupper():
                    inner = ("entity" if k in ENTITY_LISTS or k == "Atomic" or
                             (isinstance(v, int) and k not in EXPRESSION_VALUES) else table)
                else:
                    inner = ("entity" if k in ENTITY_FIELDS else "expr" if k in EXPRESSION_FIELDS
                             else "data" if k in DATA_FIELDS else None)
                parts.append(f"{k}:{form(v, inner, table)}")
            return "{" + " ".join(parts) + "}"
        return repr(value)

    told = sorted(repr(a) for a in data["axioms"])
    return told, sorted(form(a, None) for a in dl.get("axioms", []))


RDF_HEAD = f'''<?xml version="1.0"?>
<!DOCTYPE rdf:RDF [
    <!ENTITY owl "http://www.w3.org/2002/07/owl#" >
    <!ENTITY xsd "http://www.w3.org/2001/XMLSchema#" >
    <!ENTITY rdfs "http://www.w3.org/2000/01/rdf-schema#" >
    <!ENTITY t "{EX}" >
    <!ENTITY rdf "http://www.w3.org/1999/02/22-rdf-syntax-ns#" >
]>


<rdf:RDF xmlns="{EX}"
     xml:base="{EX[:-1]}"
     xmlns:rdfs="http://www.w3.org/2000/01/rdf-schema#"
     xmlns:owl="http://www.w3.org/2002/07/owl#"
     xmlns:xsd="http://www.w3.org/2001/XMLSchema#"
     xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#">
    <owl:Ontology rdf:about="{EX[:-1]}"/>
'''

CLASSES = ("""
Declaration(Class(:A)) Declaration(Class(:B)) Declaration(Class(:C)) Declaration(ObjectProperty(:r))
SubClassOf(:A :B)
EquivalentClasses(:C ObjectIntersectionOf(:A ObjectSomeValuesFrom(:r :B)))
DisjointClasses(:A ObjectComplementOf(:B))
""", """
    <!-- &t;A is a class; this comment is not read -->
    <owl:Class rdf:about="&t;A">
        <rdfs:subClassOf rdf:resource="&t;B"/>
        <owl:disjointWith>
            <owl:Class>
                <owl:complementOf rdf:resource="&t;B"/>
            </owl:Class>
        </owl:disjointWith>
    </owl:Class>
    <owl:Class rdf:about="&t;B"/>
    <owl:Class rdf:about="&t;C">
        <owl:equivalentClass>
            <owl:Class>
                <owl:intersectionOf rdf:parseType="Collection">
                    <rdf:Description rdf:about="&t;A"/>
                    <owl:Restriction>
                        <owl:onProperty rdf:resource="&t;r"/>
                        <owl:someValuesFrom rdf:resource="&t;B"/>
                    </owl:Restriction>
                </owl:intersectionOf>
            </owl:Class>
        </owl:equivalentClass>
    </owl:Class>
    <owl:ObjectProperty rdf:about="&t;r"/>
""")

PROPERTIES = ("""
Declaration(ObjectProperty(:r)) Declaration(ObjectProperty(:s)) Declaration(Class(:A))
Declaration(DataProperty(:d)) Declaration(NamedIndividual(:a)) Declaration(NamedIndividual(:b))
ObjectPropertyDomain(:r :A) InverseObjectProperties(:r :s) TransitiveObjectProperty(:s)
SubObjectPropertyOf(:s :r) FunctionalDataProperty(:d)
ClassAssertion(:A :a) ObjectPropertyAssertion(:r :a :b)
DataPropertyAssertion(:d :a "1 < 2 & #x"^^xsd:string) DataPropertyAssertion(:d :b "7"^^xsd:integer)
""", """
    <owl:ObjectProperty rdf:about="&t;r">
        <rdfs:domain rdf:resource="&t;A"/>
        <owl:inverseOf rdf:resource="&t;s"/>
    </owl:ObjectProperty>
    <owl:ObjectProperty rdf:about="&t;s">
        <rdf:type rdf:resource="&owl;TransitiveProperty"/>
        <rdfs:subPropertyOf rdf:resource="&t;r"/>
    </owl:ObjectProperty>
    <owl:DatatypeProperty rdf:about="&t;d">
        <rdf:type rdf:resource="&owl;FunctionalProperty"/>
    </owl:DatatypeProperty>
    <owl:Class rdf:about="&t;A"/>
    <owl:NamedIndividual rdf:about="&t;a">
        <rdf:type rdf:resource="&t;A"/>
        <r rdf:resource="&t;b"/>
        <d rdf:datatype="&xsd;string">1 &lt; 2 &amp; #x</d>
    </owl:NamedIndividual>
    <owl:NamedIndividual rdf:about="&t;b">
        <d rdf:datatype="&xsd;integer">7</d>
    </owl:NamedIndividual>
""")

CARDINALITIES = ("""
Declaration(Class(:A)) Declaration(Class(:B)) Declaration(ObjectProperty(:r))
SubClassOf(:A ObjectMinCardinality(2 :r :B))
SubClassOf(:B ObjectAllValuesFrom(:r ObjectUnionOf(:A ObjectOneOf(:i :j))))
Declaration(NamedIndividual(:i)) Declaration(NamedIndividual(:j)) DifferentIndividuals(:i :j)
""", """
    <owl:Class rdf:about="&t;A">
        <rdfs:subClassOf>
            <owl:Restriction>
                <owl:onProperty rdf:resource="&t;r"/>
                <owl:onClass rdf:resource="&t;B"/>
                <owl:minQualifiedCardinality rdf:datatype="&xsd;nonNegativeInteger">2</owl:minQualifiedCardinality>
            </owl:Restriction>
        </rdfs:subClassOf>
    </owl:Class>
    <owl:Class rdf:about="&t;B">
        <rdfs:subClassOf>
            <owl:Restriction>
                <owl:onProperty rdf:resource="&t;r"/>
                <owl:allValuesFrom>
                    <owl:Class>
                        <owl:unionOf rdf:parseType="Collection">
                            <rdf:Description rdf:about="&t;A"/>
                            <owl:Class>
                                <owl:oneOf rdf:parseType="Collection">
                                    <rdf:Description rdf:about="&t;i"/>
                                    <rdf:Description rdf:about="&t;j"/>
                                </owl:oneOf>
                            </owl:Class>
                        </owl:unionOf>
                    </owl:Class>
                </owl:allValuesFrom>
            </owl:Restriction>
        </rdfs:subClassOf>
    </owl:Class>
    <owl:ObjectProperty rdf:about="&t;r"/>
    <owl:NamedIndividual rdf:about="&t;i"/>
    <owl:NamedIndividual rdf:about="&t;j"/>
    <rdf:Description>
        <rdf:type rdf:resource="&owl;AllDifferent"/>
        <owl:distinctMembers rdf:parseType="Collection">
            <rdf:Description rdf:about="&t;i"/>
            <rdf:Description rdf:about="&t;j"/>
        </owl:distinctMembers>
    </rdf:Description>
""")


# Older vocabulary (RDFS classes, the OWL 1.1 drafts' terms) and the
# shapes older documents use (a class defined by its own intersectionOf,
# n-ary disjointness): each loads to the OWL 2 axiom it states.
LEGACY = ("""
Declaration(Class(:A)) Declaration(Class(:B)) Declaration(Class(:D))
Declaration(ObjectProperty(:p)) Declaration(ObjectProperty(:q))
SubClassOf(:B :A) SubClassOf(:A ObjectHasSelf(:p))
AsymmetricObjectProperty(:p) DisjointObjectProperties(:p :q)
EquivalentClasses(:D ObjectIntersectionOf(:A :B)) DisjointClasses(:A :B :D)
""", """
    <rdfs:Class rdf:about="&t;A">
        <rdfs:subClassOf>
            <owl:SelfRestriction><owl:onProperty rdf:resource="&t;p"/></owl:SelfRestriction>
        </rdfs:subClassOf>
    </rdfs:Class>
    <rdf:Description rdf:about="&t;B">
        <rdf:type rdf:resource="&rdfs;Class"/>
        <rdfs:subClassOf rdf:resource="&t;A"/>
    </rdf:Description>
    <owl:Class rdf:about="&t;D">
        <owl:intersectionOf rdf:parseType="Collection">
            <owl:Class rdf:about="&t;A"/>
            <owl:Class rdf:about="&t;B"/>
        </owl:intersectionOf>
    </owl:Class>
    <owl:AllDisjointClasses>
        <owl:members rdf:parseType="Collection">
            <rdf:Description rdf:about="&t;A"/>
            <rdf:Description rdf:about="&t;B"/>
            <rdf:Description rdf:about="&t;D"/>
        </owl:members>
    </owl:AllDisjointClasses>
    <owl:ObjectProperty rdf:about="&t;p">
        <rdf:type rdf:resource="&owl;AntisymmetricProperty"/>
        <owl:disjointObjectProperties rdf:resource="&t;q"/>
    </owl:ObjectProperty>
    <owl:ObjectProperty rdf:about="&t;q"/>
""")

# A disjointness over 300 classes stays one axiom.
WIDE_DISJOINT = (
    "".join(f"Declaration(Class(:C{i})) " for i in range(300)) +
    "DisjointClasses(" + " ".join(f":C{i}" for i in range(300)) + ")",
    "".join(f'    <owl:Class rdf:about="&t;C{i}"/>\n' for i in range(300)) +
    '    <owl:AllDisjointClasses>\n        <owl:members rdf:parseType="Collection">\n' +
    "".join(f'            <rdf:Description rdf:about="&t;C{i}"/>\n' for i in range(300)) +
    "        </owl:members>\n    </owl:AllDisjointClasses>\n")


# Shapes hand-written documents use: a class defined both by its own
# intersectionOf and by an equivalentClass (two definitions, not one),
# typed nodes carrying property attributes, xml:lang and rdf:nodeID, a
# property whose local name suggests nothing, disjoint data properties and
# an AllDifferent whose members are described inline.
SHAPES = ("""
Declaration(Class(:A)) Declaration(Class(:B)) Declaration(Class(:C)) Declaration(Class(:R))
Declaration(ObjectProperty(:dp)) Declaration(DataProperty(:d)) Declaration(DataProperty(:e))
Declaration(AnnotationProperty(:note))
Declaration(NamedIndividual(:i)) Declaration(NamedIndividual(:j)) Declaration(NamedIndividual(:k))
EquivalentClasses(:C :R) EquivalentClasses(:C ObjectIntersectionOf(:A :B))
ClassAssertion(:A :i) DataPropertyAssertion(:d :i "5"^^xsd:integer) AnnotationAssertion(:note :i "hi"@en)
ObjectPropertyAssertion(:dp :i _:n) ClassAssertion(:B _:n) ObjectPropertyAssertion(:dp _:n :i)
DisjointDataProperties(:d :e)
ClassAssertion(:A :j) ClassAssertion(:B :k) DifferentIndividuals(:i :j :k)
""", """
    <owl:Class rdf:about="&t;A"/> <owl:Class rdf:about="&t;B"/> <owl:Class rdf:about="&t;R"/>
    <owl:Class rdf:about="&t;C">
        <owl:equivalentClass rdf:resource="&t;R"/>
        <owl:intersectionOf rdf:parseType="Collection">
            <rdf:Description rdf:about="&t;A"/>
            <rdf:Description rdf:about="&t;B"/>
        </owl:intersectionOf>
    </owl:Class>
    <owl:ObjectProperty rdf:about="&t;dp"/>
    <owl:DatatypeProperty rdf:about="&t;d"/> <owl:DatatypeProperty rdf:about="&t;e"/>
    <owl:AnnotationProperty rdf:about="&t;note"/>
    <owl:NamedIndividual rdf:about="&t;i" xml:lang="en" note="hi">
        <rdf:type rdf:resource="&t;A"/>
        <d rdf:datatype="&xsd;integer">5</d>
        <dp rdf:nodeID="n"/>
    </owl:NamedIndividual>
    <B rdf:nodeID="n"><dp rdf:resource="&t;i"/></B>
    <owl:AllDisjointProperties>
        <owl:members rdf:parseType="Collection">
            <rdf:Description rdf:about="&t;d"/>
            <rdf:Description rdf:about="&t;e"/>
        </owl:members>
    </owl:AllDisjointProperties>
    <owl:AllDifferent>
        <owl:distinctMembers rdf:parseType="Collection">
            <rdf:Description rdf:about="&t;i"/>
            <owl:NamedIndividual rdf:about="&t;j"><rdf:type rdf:resource="&t;A"/></owl:NamedIndividual>
            <B rdf:about="&t;k"><rdf:type rdf:resource="&owl;NamedIndividual"/></B>
        </owl:distinctMembers>
    </owl:AllDifferent>
""")


def write_serialised(tmp_path, body, name="o.owl"):
    return write_text(tmp_path, name, RDF_HEAD + body + "</rdf:RDF>\n")


@pytest.mark.parametrize("ofn, rdf", [CLASSES, PROPERTIES, CARDINALITIES, LEGACY, WIDE_DISJOINT, SHAPES],
                         ids=["classes", "properties", "cardinalities", "legacy", "wide-disjoint", "shapes"])
def test_serialised_rdf_xml_loads_to_the_functional_syntax_axioms(tmp_path, ofn, rdf):
    expected = stored_axioms(write_ofn(tmp_path, ofn))
    assert expected[0] or expected[1]
    assert stored_axioms(write_serialised(tmp_path, rdf)) == expected


def test_a_serialised_document_may_refer_to_its_entities_any_number_of_times(tmp_path):
    # 12,000 references to the namespace entity, as a serialiser writes them.
    n = 4000
    body = "".join(f'    <owl:Class rdf:about="&t;C{i}">\n'
                   f'        <rdfs:subClassOf rdf:resource="&t;C{i + 1}"/>\n    </owl:Class>\n'
                   f'    <owl:Class rdf:about="&t;C{i + 1}"/>\n' for i in range(n))
    told, _ = stored_axioms(write_serialised(tmp_path, body))
    assert len([a for a in told if "SubClassOf" in a]) == n


def test_repeated_and_invalid_ids_keep_every_statement(tmp_path):
    # Hand-written documents: the same rdf:ID twice, and an id that is not
    # a name, each with statements on both occurrences.
    rdf = write_text(tmp_path, "ids.rdf", f'''<?xml version="1.0"?>
<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#"
         xmlns:rdfs="http://www.w3.org/2000/01/rdf-schema#"
         xmlns:owl="http://www.w3.org/2002/07/owl#" xml:base="{EX[:-1]}">
  <owl:Ontology rdf:about="{ONTOLOGY_IRI}"/>
  <owl:Class rdf:ID="A"><rdfs:subClassOf rdf:resource="#B"/></owl:Class>
  <owl:Class rdf:ID="B"/>
  <owl:Class rdf:ID="A"><rdfs:subClassOf rdf:resource="#C"/></owl:Class>
  <owl:Class rdf:ID="C"><rdfs:subClassOf rdf:resource="#1st"/></owl:Class>
  <owl:Class rdf:ID="1st"><rdfs:comment>see #1st</rdfs:comment></owl:Class>
</rdf:RDF>
''')
    ofn = write_ofn(tmp_path, """
Declaration(Class(:A)) Declaration(Class(:B)) Declaration(Class(:C)) Declaration(Class(:_1st))
SubClassOf(:A :B) SubClassOf(:A :C) SubClassOf(:C :_1st)
AnnotationAssertion(rdfs:comment :_1st "see #1st")
""")
    assert stored_axioms(rdf) == stored_axioms(ofn)


@pytest.mark.parametrize("depth, fanout, width, message", [
    (33, 1, 1, "entity definition nesting depth 33 exceeds limit of 32"),
    (10, 10, 1, "entity expansion replacement count exceeds limit of 10000"),
    (2, 10_001, 1, "entity expansion replacement count exceeds limit of 10000"),
], ids=["deep", "billion-laughs", "wide"])
def test_entity_bombs_are_refused_at_load(tmp_path, depth, fanout, width, message):
    decls = "".join(
        f'<!ENTITY e{i} "{(f"&e{i + 1};" if i + 1 < depth else "lol") * fanout}">\n' for i in range(depth))
    path = write_text(tmp_path, "bomb.rdf", f'''<?xml version="1.0"?>
<!DOCTYPE rdf:RDF [
{decls}]>
<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#"
         xmlns:rdfs="http://www.w3.org/2000/01/rdf-schema#">
  <rdf:Description rdf:about="http://e.org/x"><rdfs:label>{"&e0;" * width}</rdfs:label></rdf:Description>
</rdf:RDF>
''')
    with pytest.raises(ParseError, match=f"^parse error: {message}$"):
        Reasoner(path=path, trusted=True)
