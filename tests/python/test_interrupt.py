"""Ctrl-C during a long call: SIGINT reaches a classification (EL) or a
materialisation (RL) that is still running, KeyboardInterrupt is raised long before the work would have
ended, and the Reasoner is unchanged and usable afterwards.

The work runs in a subprocess, so that the signal goes to a process of its
own. The ontology is sized there until one classification takes a good
second, whatever the machine's speed; the bounds below are generous.
"""
import json
import subprocess
import sys
import textwrap

import pytest

CHILD = textwrap.dedent(r'''
    import json, os, signal, sys, threading, time
    from _trelvanic import Reasoner

    def write(path, n, profile):
        lines = ["Prefix(:=<http://example.org/i#>)", "Ontology(<http://example.org/i>",
                 "Declaration(ObjectProperty(:r))", "TransitiveObjectProperty(:r)"]
        if profile == "el":
            # Existentials along a transitive property, each closed by a
            # left-hand existential: EL saturation that grows fast with n.
            lines += [f"Declaration(Class(:A{i}))" for i in range(n)]
            lines += [f"SubClassOf(:A{i} ObjectSomeValuesFrom(:r :A{i + 1}))" for i in range(n - 1)]
            lines += [f"SubClassOf(ObjectSomeValuesFrom(:r :A{i}) :A{i})" for i in range(n)]
        else:
            # A chain of individuals along a transitive property: an RL
            # closure of about n * n / 2 assertions.
            lines += [f"Declaration(NamedIndividual(:a{i}))" for i in range(n)]
            lines += [f"ObjectPropertyAssertion(:r :a{i} :a{i + 1})" for i in range(n - 1)]
        with open(path, "w") as f:
            f.write("\n".join(lines + [")"]))

    # A process started from a background job inherits SIGINT ignored, and
    # Python then installs no handler: give the child the one an
    # interactive session has, whatever started the tests.
    signal.signal(signal.SIGINT, signal.default_int_handler)

    base, profile = sys.argv[1], sys.argv[2]
    path = os.path.join(base, "chain.ofn")
    n = 150 if profile == "el" else 600
    while True:
        write(path, n, profile)
        started = time.monotonic()
        expected = Reasoner.load_in(base, path, profile=profile).classify()
        full = time.monotonic() - started
        if full >= 1.2 or n >= 20000:
            break
        n = int(n * 1.4)

    reasoner = Reasoner.load_in(base, path, profile=profile)
    sent = []
    def interrupt():
        sent.append(time.monotonic())
        os.kill(os.getpid(), signal.SIGINT)
    threading.Timer(0.15, interrupt).start()
    started = time.monotonic()
    try:
        reasoner.classify()
        outcome = "completed"
    except KeyboardInterrupt:
        outcome = "interrupted"
    ended = time.monotonic()
    again = reasoner.classify()
    print(json.dumps({"outcome": outcome, "full": full, "call": ended - started,
                      "latency": ended - sent[0] if sent else None, "same": again == expected,
                      "taxonomy": reasoner.taxonomy == (expected if profile == "el" else None)}))
''')


@pytest.mark.parametrize("profile", ["el", "rl"])
def test_ctrl_c_interrupts_a_long_classification(tmp_path, profile):
    run = subprocess.run([sys.executable, "-c", CHILD, str(tmp_path), profile], capture_output=True, text=True,
                         timeout=600)
    assert run.returncode == 0, run.stderr
    report = json.loads(run.stdout.strip().splitlines()[-1])
    assert report["full"] >= 1.2, report  # the ontology was large enough to interrupt
    assert report["outcome"] == "interrupted", report
    # Far sooner than the uninterrupted call (which took a good second or
    # more); the aim is about 0.1 s.
    assert report["latency"] < max(0.75, report["full"] / 2), report
    # Nothing of the stopped call was kept: classifying again gives the full
    # answer, and (EL) the stored taxonomy is that answer.
    assert report["same"] and report["taxonomy"], report
