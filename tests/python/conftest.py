"""Shared fixtures of the Python tests."""
import importlib.util
import os
import pathlib
import shutil
import subprocess
import sys
import sysconfig
import threading

import pytest

REPO = pathlib.Path(__file__).resolve().parents[2]


@pytest.fixture(scope="session")
def binding_probe(tmp_path_factory):
    """The probe extension of tests/python/probe, compiled against the
    binding layer's sources and the running interpreter."""
    out_dir = tmp_path_factory.mktemp("probe")
    target = out_dir / ("binding_probe" + sysconfig.get_config_var("EXT_SUFFIX"))
    compiler = os.environ.get("CXX") or shutil.which("g++") or shutil.which("c++")
    assert compiler, "a C++ compiler is needed to build the binding probe"
    launcher = [shutil.which("ccache")] if shutil.which("ccache") else []
    sources = sorted(str(p) for p in (REPO / "binding").glob("*.cpp"))
    sources.append(str(REPO / "tests/python/probe/binding_probe.cpp"))
    cmd = launcher + [
        compiler, "-std=gnu++2b", "-O1", "-shared", "-fPIC", "-fvisibility=hidden",
        "-Wall", "-Wextra", "-Wno-unused-parameter",
        f"-I{REPO}", f"-I{sysconfig.get_paths()['include']}",
        # e.g. "-fsanitize=address,undefined" to run the probe under sanitizers
        *os.environ.get("TRELVANIC_PROBE_CXXFLAGS", "").split(),
        *sources, "-o", str(target),
    ]
    done = subprocess.run(cmd, capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    spec = importlib.util.spec_from_file_location("binding_probe", target)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    sys.modules["binding_probe"] = module
    return module


@pytest.fixture
def on_other_thread():
    """Runs fn() on a new thread and reports how it ended: "result", or
    "caught" for an Exception, or "escaped" for a BaseException that an
    `except Exception` clause would let through."""

    def run(fn):
        box = {}

        def target():
            try:
                try:
                    box["result"] = fn()
                except Exception as exc:  # noqa: BLE001 - what gets caught is the point
                    box["caught"] = exc
            except BaseException as exc:  # noqa: BLE001
                box["escaped"] = exc

        thread = threading.Thread(target=target)
        thread.start()
        thread.join()
        return box

    return run
