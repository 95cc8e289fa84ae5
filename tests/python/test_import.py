import _trelvanic


def test_module_imports():
    assert _trelvanic.__name__ == "_trelvanic"
