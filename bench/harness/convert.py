"""Format conversions for benchmark inputs, run in the benchmark environment.

    python convert.py merge OUT.ttl IN.ttl...   union of Turtle files as one N-Triples file
                                                (valid Turtle; blank nodes kept apart per file)
    python convert.py rdfxml OUT.rdf IN.nt      N-Triples to RDF/XML (rdflib)
    python convert.py owl OUT IN.rdf FORMAT     RDF/XML to functional syntax ("ofn") or OWL/XML
                                                ("owx") through py-horned-owl's writers

Writes to OUT.part and renames, so an interrupted conversion leaves no half file behind.
"""

import os
import sys


def main() -> int:
    cmd, out = sys.argv[1], sys.argv[2]
    tmp = out + ".part"
    if cmd == "merge":
        import rdflib
        graph = rdflib.Graph()
        for path in sys.argv[3:]:
            graph.parse(path, format="turtle")
        graph.serialize(tmp, format="nt", encoding="utf-8")
    elif cmd == "rdfxml":
        import rdflib
        graph = rdflib.Graph()
        graph.parse(sys.argv[3], format="nt")
        graph.serialize(tmp, format="xml")
    elif cmd == "owl":
        import pyhornedowl
        onto = pyhornedowl.open_ontology_from_file(sys.argv[3], "rdf")
        onto.save_to_file(tmp, sys.argv[4])
    else:
        print(f"unknown conversion {cmd}", file=sys.stderr)
        return 2
    os.replace(tmp, out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
