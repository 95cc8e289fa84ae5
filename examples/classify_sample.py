"""Classify the sample ontology beside this file and print the result."""
import json
import pathlib
import sys

import _trelvanic

here = pathlib.Path(__file__).resolve().parent
print("_trelvanic registers:", ", ".join(getattr(_trelvanic, "__all__", [])))
if not hasattr(_trelvanic, "Reasoner"):
    sys.exit(0)
try:
    reasoner = _trelvanic.Reasoner.load_in(str(here), "sample.ofn")
    print(json.dumps(reasoner.classify(), indent=2))
except NotImplementedError as exc:
    print("classification is not available yet:", exc)
