"""Path arguments: every place that takes a path string also takes an
os.PathLike (through os.fspath); bytes paths and bad __fspath__ results
are refused, and an exception raised by __fspath__ is passed on.
"""
import os
import pathlib

import pytest

from _trelvanic import Ontology, Reasoner
from helpers import subclass_axioms, write_ofn


class FsPath:
    """A minimal os.PathLike that is not a pathlib path."""

    def __init__(self, value):
        self.value = value

    def __fspath__(self):
        return self.value


class Broken:
    def __fspath__(self):
        raise LookupError("no path here")


@pytest.fixture
def ontology_file(tmp_path):
    path = write_ofn(tmp_path, subclass_axioms([("A", "B"), ("B", "C")]), name="sub/o.ofn")
    return tmp_path, pathlib.Path(path)


@pytest.mark.parametrize("wrap", [str, pathlib.Path, pathlib.PurePosixPath, FsPath],
                         ids=["str", "Path", "PurePosixPath", "fspath"])
def test_every_path_parameter_takes_a_path_like(ontology_file, wrap):
    base, path = ontology_file
    expected = Reasoner(path=str(path), trusted=True).classify()
    assert isinstance(wrap(str(path)), (str, os.PathLike))

    assert Reasoner(path=wrap(str(path)), trusted=True).classify() == expected
    assert Reasoner(wrap(str(path)), trusted=True).classify() == expected
    assert Reasoner.load_in(wrap(str(base)), wrap(str(path))).classify() == expected
    # A path relative to the base is resolved inside it.
    assert Reasoner.load_in(wrap(str(base)), wrap("sub/o.ofn")).classify() == expected
    loaded = Ontology.load_in(wrap(str(base)), wrap(str(path)))
    assert loaded.to_json() == Ontology.load_in(str(base), str(path)).to_json()


def test_the_sandbox_holds_for_path_likes(ontology_file, tmp_path):
    base, path = ontology_file
    outside = pathlib.Path(write_ofn(tmp_path.parent / (tmp_path.name + "-outside"), "", name="x.ofn"))
    with pytest.raises(Exception) as refused:
        Reasoner.load_in(base, outside)
    with pytest.raises(type(refused.value)):
        Reasoner.load_in(str(base), str(outside))


@pytest.mark.parametrize("bad,error,message", [
    (b"o.ofn", TypeError, r"argument 'path' must be str or os\.PathLike, not bytes"),
    (FsPath(b"o.ofn"), TypeError, r"argument 'path' must be str or os\.PathLike, not a bytes path"),
    (FsPath(3), TypeError, r"__fspath__\(\) to return str or bytes, not int"),
    (Broken(), LookupError, r"^no path here$"),
    (3, TypeError, r"argument 'path' must be str or os\.PathLike, not int"),
])
def test_refused_paths_name_the_argument_or_pass_the_error_on(ontology_file, bad, error, message):
    base, _ = ontology_file
    with pytest.raises(error, match=message):
        Reasoner(path=bad, trusted=True)
    with pytest.raises(error, match=message):
        Reasoner.load_in(base, bad)
    with pytest.raises(error, match=message):
        Ontology.load_in(base, bad)
