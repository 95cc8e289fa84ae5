"""Hostile and unusual files in each syntax: bytes that are not UTF-8, very
long IRIs, literals and prefix names, and prefixes that would blow up into
huge IRIs. Each must end in a ParseError or a normal load, never in a crash
or a UnicodeDecodeError, and nothing handed back may be undecodable."""
import pathlib
import re

import pytest

from _trelvanic import ParseError, Reasoner

EX = "http://example.org/h#"
RDF_NS = ('xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#" '
          'xmlns:rdfs="http://www.w3.org/2000/01/rdf-schema#" xmlns:owl="http://www.w3.org/2002/07/owl#"')


def document(syntax, prefix=b"ex", cls=b"A", literal=b"v"):
    """A small ontology in `syntax`: class `cls` is below B and has the label
    `literal`; the prefix `prefix` abbreviates the namespace EX in use. The
    class is written under the prefix, or in full when `cls` is a full IRI
    (one starting with "http"). All arguments are bytes, written as they are."""
    ex = EX.encode()
    full = cls.startswith(b"http")
    if syntax == "ofn":
        name = b"<" + cls + b">" if full else prefix + b":" + cls
        return (b"Prefix(" + prefix + b":=<" + ex + b">)\nOntology(\n"
                b"SubClassOf(" + name + b" " + prefix + b":B)\n"
                b"AnnotationAssertion(rdfs:label " + name + b" \"" + literal + b"\")\n)\n")
    if syntax == "owx":
        attribute = b'IRI="' + cls + b'"' if full else b'abbreviatedIRI="' + prefix + b":" + cls + b'"'
        subject = b"<IRI>" + cls + b"</IRI>" if full else b"<AbbreviatedIRI>" + prefix + b":" + cls + b"</AbbreviatedIRI>"
        return (b'<?xml version="1.0"?>\n<Ontology xmlns="http://www.w3.org/2002/07/owl#">\n'
                b'<Prefix name="' + prefix + b'" IRI="' + ex + b'"/>\n'
                b"<SubClassOf><Class " + attribute + b"/>"
                b'<Class abbreviatedIRI="' + prefix + b':B"/></SubClassOf>\n'
                b'<AnnotationAssertion><AnnotationProperty abbreviatedIRI="rdfs:label"/>'
                b"" + subject + b"<Literal>" + literal + b"</Literal></AnnotationAssertion>\n</Ontology>\n")
    if syntax == "ttl":
        name = b"<" + cls + b">" if full else prefix + b":" + cls
        return (b"@prefix owl: <http://www.w3.org/2002/07/owl#> .\n"
                b"@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                b"@prefix " + prefix + b": <" + ex + b"> .\n"
                b"" + name + b" a owl:Class ; rdfs:subClassOf " + prefix + b":B ;\n"
                b'  rdfs:label "' + literal + b'" .\n' + prefix + b":B a owl:Class .\n")
    assert syntax == "rdf"
    # here the prefix names the namespace of rdfs:label
    about = cls if full else ex + cls
    return (b'<?xml version="1.0"?>\n<rdf:RDF ' + RDF_NS.encode() + b" xmlns:" + prefix
            + b'="http://www.w3.org/2000/01/rdf-schema#">\n'
            b'<owl:Class rdf:about="' + about + b'"><rdfs:subClassOf rdf:resource="' + ex + b'B"/>'
            b"<" + prefix + b":label>" + literal + b"</" + prefix + b":label></owl:Class>\n"
            b'<owl:Class rdf:about="' + ex + b'B"/>\n</rdf:RDF>\n')


SYNTAXES = ["ofn", "owx", "ttl", "rdf"]


def write(tmp_path, syntax, data):
    path = pathlib.Path(tmp_path) / f"h.{syntax}"
    path.write_bytes(data)
    return str(path)


def load(path, lenient=False):
    return Reasoner(path=path, trusted=True, lenient=lenient)


def test_the_document_itself_loads_in_every_syntax(tmp_path):
    for syntax in SYNTAXES:
        reasoner = load(write(tmp_path, syntax, document(syntax)))
        assert reasoner.classify()["subsumptions"] == [[EX + "A", EX + "B"]], syntax


BAD_UTF8 = {
    "lone continuation": b"\x82",
    "invalid byte": b"\xff",
    "overlong": b"\xc0\xaf",
    "surrogate": b"\xed\xa0\x80",
    "above U+10FFFF": b"\xf4\x90\x80\x80",
    "cut short": b"\xe2\x82",
}
PLACES = {
    "IRI": lambda bad: {"cls": b"A" + bad},
    "literal": lambda bad: {"literal": "caf\u00e9 ".encode() + bad},
    "prefix name": lambda bad: {"prefix": b"e" + bad},
}


def expected_refusal(syntax, data, bad, path):
    """The message that refuses `data`, whose first bytes that are not
    UTF-8 are `bad`: each reader names their position in its own way."""
    offset = data.index(bad)
    line = data.count(b"\n", 0, offset) + 1
    if syntax == "ofn":
        return rf"^parse error: invalid UTF-8 sequence at line {line}, column \d+$"
    if syntax == "ttl":
        return rf"^parse error: {line}:\d+: invalid UTF-8 sequence$"
    if syntax == "rdf":
        return rf"^parse error: (invalid|incomplete) utf-8 (byte )?sequence (of \d bytes )?from index {offset}$"
    # the format sniff reads the start of the file as text and finds none
    return rf"^unsupported format: could not detect OWL/RDF format for {re.escape(path)}$"


@pytest.mark.parametrize("syntax", SYNTAXES)
@pytest.mark.parametrize("place", PLACES)
@pytest.mark.parametrize("bad", BAD_UTF8)
def test_bytes_that_are_not_utf8_are_a_parse_error_with_their_position(tmp_path, syntax, place, bad):
    data = document(syntax, **PLACES[place](BAD_UTF8[bad]))
    path = write(tmp_path, syntax, data)
    for lenient in (False, True):
        with pytest.raises(ParseError, match=expected_refusal(syntax, data, BAD_UTF8[bad], path)):
            load(path, lenient)


def test_an_escaped_surrogate_is_a_parse_error(tmp_path):
    data = document("ttl", literal=b"\\uD83D\\uDE00")
    with pytest.raises(ParseError, match=r"^parse error: 5:\d+: escaped surrogate code point$"):
        load(write(tmp_path, "ttl", data))
    good = load(write(tmp_path, "ttl", document("ttl", literal=b"\\U0001F600")))
    assert good.classify()["subsumptions"] == [[EX + "A", EX + "B"]]


def test_a_truncated_prefix_declaration_is_a_parse_error(tmp_path):
    for data in (b"@prefix : <http://x/\xe2", b"@prefix : <http://x/\xe2\x82> .\n:a a :b .\n"):
        with pytest.raises(ParseError):
            load(write(tmp_path, "ttl", data))


def amplified(syntax, uses):
    """A document of about 40 bytes per use of a 100,000-byte entity, each
    use in another class IRI: 300 KB that libxml2 would expand to 300 MB."""
    big = "a" * 100_000
    if syntax == "rdf":
        head = f'<?xml version="1.0"?>\n<!DOCTYPE rdf:RDF [<!ENTITY e "{big}">]>\n<rdf:RDF {RDF_NS}>\n'
        body = "".join(f'<owl:Class rdf:about="http://x/&e;{i}"/>\n' for i in range(uses))
        return head + body + "</rdf:RDF>\n"
    head = (f'<?xml version="1.0"?>\n<!DOCTYPE Ontology [<!ENTITY e "{big}">]>\n'
            '<Ontology xmlns="http://www.w3.org/2002/07/owl#">\n')
    body = "".join(f'<Declaration><Class IRI="http://x/&e;{i}"/></Declaration>\n' for i in range(uses))
    return head + body + "</Ontology>\n"


@pytest.mark.parametrize("syntax,message", [
    ("rdf", "expanded RDF/XML size exceeds limit of 268435456 bytes during entity expansion"),
    ("owx", "expanded XML size exceeds limit of 268435456 bytes during entity expansion"),
])
def test_entity_amplification_is_refused_before_the_xml_is_parsed(tmp_path, syntax, message):
    path = write(tmp_path, syntax, amplified(syntax, 3000).encode())
    for lenient in (False, True):
        with pytest.raises(ParseError, match=f"^parse error: {message}"):
            load(path, lenient)


def prefix_blowup(syntax, uses):
    """A namespace of 1 MB and `uses` names under it, each of which would
    become an IRI of 1 MB."""
    ns = "http://x/" + "n" * 1_000_000 + "/"
    names = [f"p:c{i}" for i in range(uses)]
    if syntax == "ofn":
        body = "\n".join(f"Declaration(Class({n}))" for n in names)
        return f"Prefix(p:=<{ns}>)\nOntology(\n{body}\n)\n"
    if syntax == "ttl":
        body = "\n".join(f"{n} a <http://www.w3.org/2002/07/owl#Class> ." for n in names)
        return f"@prefix p: <{ns}> .\n{body}\n"
    if syntax == "owx":
        body = "\n".join(f'<Declaration><Class abbreviatedIRI="{n}"/></Declaration>' for n in names)
        return (f'<?xml version="1.0"?>\n<Ontology xmlns="http://www.w3.org/2002/07/owl#">\n'
                f'<Prefix name="p" IRI="{ns}"/>\n{body}\n</Ontology>\n')
    body = "\n".join(f"<rdf:Description rdf:about=\"http://x/s\"><{n}>v</{n}></rdf:Description>" for n in names)
    return f'<?xml version="1.0"?>\n<rdf:RDF {RDF_NS} xmlns:p="{ns}">\n{body}\n</rdf:RDF>\n'


@pytest.mark.parametrize("syntax", SYNTAXES)
def test_a_long_prefix_used_many_times_is_refused_before_its_iris_are_built(tmp_path, syntax):
    path = write(tmp_path, syntax, prefix_blowup(syntax, 1000).encode())
    for lenient in (False, True):
        with pytest.raises(ParseError, match="expanded IRI exceeds maximum length of 8192 bytes"):
            load(path, lenient)


@pytest.mark.parametrize("syntax", SYNTAXES)
@pytest.mark.parametrize("size", [40_000, 600_000])
def test_long_iris_and_literals_load_or_fail_cleanly_and_warnings_stay_short(tmp_path, syntax, size):
    long_literal = "\u00e9" * (size // 2)
    reasoner = load(write(tmp_path, syntax, document(syntax, literal=long_literal.encode())))
    assert reasoner.classify()["subsumptions"] == [[EX + "A", EX + "B"]]

    # written in full, a long IRI is the mapper's to skip (and to quote)
    long_iri = (EX + "A" + "\u00e9" * (size // 2)).encode()
    path = write(tmp_path, syntax, document(syntax, cls=long_iri))
    with pytest.raises(ParseError, match="^parse error: strict parse: skipped"):
        load(path)
    warnings = load(path, lenient=True).parse_meta["warnings"]
    assert any("IRI exceeds maximum length of 8192 bytes" in w for w in warnings), warnings
    assert all(len(w.encode()) < 1000 for w in warnings), [w[:300] for w in warnings]

    # abbreviated, the reader refuses to build it
    if syntax != "rdf":
        abbreviated = write(tmp_path, syntax, document(syntax, cls=long_iri[len(EX):]))
        for lenient in (False, True):
            with pytest.raises(ParseError, match="expanded IRI exceeds maximum length of 8192 bytes"):
                load(abbreviated, lenient)
