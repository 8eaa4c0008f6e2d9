#!/usr/bin/env python3
"""Runs one case of the script conformance suite through `vellum --console`.

Usage: run_case.py VELLUM CASE.q9c [--screenshot FILE.png]

README.md beside this file describes cases, their expected output and the
option, which is passed on to the case's own run.
"""

import difflib
import os
import re
import shutil
import subprocess
import sys
import tempfile
from dataclasses import dataclass, field
from pathlib import Path

# Slow modes (the collector stress pass) give each run longer.
TIMEOUT_SECONDS = float(os.environ.get("VELLUM_CASE_TIMEOUT", "20"))


class CaseError(Exception):
    pass


@dataclass
class Run:
    script: str
    options: list = field(default_factory=list)
    stdout: bytes = b""
    stderr: bytes = b""
    exit: object = 0


def parse_expected(path, main_script):
    """Splits NAME.expected into its runs: stdout, then optional sections."""
    runs = [Run(main_script)]
    section = "stdout"
    for line in path.read_bytes().splitlines(keepends=True):
        marker = line.rstrip(b"\n")
        run = runs[-1]
        if marker == b"--- stderr":
            section = "stderr"
        elif marker.startswith(b"--- exit "):
            run.exit = int(marker[len(b"--- exit "):])
            section = "done"
        elif marker.startswith(b"--- then "):
            runs.append(Run(marker[len(b"--- then "):].decode("utf-8")))
            section = "stdout"
        elif section == "stdout":
            run.stdout += line
        elif section == "stderr":
            run.stderr += line
        else:
            raise CaseError(f"{path.name}: text after '--- exit': {line!r}")
    return runs


def bytes_fixture(text, name):
    """The bytes a .bytes fixture describes: hex byte pairs, "text" as
    UTF-16LE code units, '#' comments to the end of the line."""
    out = bytearray()
    for number, line in enumerate(text.splitlines(), 1):
        for quoted, word in re.findall(r'\s*(?:"([^"]*)"|(#.*|\S+))', line):
            if word.startswith("#"):
                break
            if word.startswith('"'):
                raise CaseError(f"{name}:{number}: unclosed text")
            if quoted or not word:
                out += quoted.encode("utf-16-le")
            elif len(word) == 2:
                out.append(int(word, 16))
            else:
                raise CaseError(f"{name}:{number}: not a hex byte: {word!r}")
    return bytes(out)


def prepare_folder(case, folder):
    shutil.copyfile(case, folder / case.name)
    fixtures = case.with_suffix(".files")
    if not fixtures.is_dir():
        return
    for source in sorted(fixtures.rglob("*")):
        target = folder / source.relative_to(fixtures)
        if source.is_dir():
            target.mkdir(parents=True, exist_ok=True)
        elif source.suffix == ".bytes":
            target.with_suffix("").write_bytes(bytes_fixture(source.read_text("utf-8"), source.name))
        else:
            shutil.copyfile(source, target)


def execute(vellum, folder, workdir, run):
    script = folder / run.script
    env = dict(os.environ)
    # Console mode needs no screen; a form a script might open stays off-screen.
    env.setdefault("QT_QPA_PLATFORM", "offscreen")
    # The cases that reach the longest string reach 2^24 units, not the
    # gigabytes a run allows by default.
    env.setdefault("VELLUM_TEST_LONGEST_STRING", str(1 << 24))
    try:
        done = subprocess.run([vellum, "--console", *run.options, str(script)], cwd=workdir, env=env,
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=TIMEOUT_SECONDS)
    except subprocess.TimeoutExpired as e:
        killed = f"[runner: killed after {TIMEOUT_SECONDS} s]\n".encode()
        return Run(run.script, stdout=e.stdout or b"", stderr=(e.stderr or b"") + killed, exit="timeout")
    return Run(run.script, stdout=done.stdout, stderr=done.stderr, exit=done.returncode)


def render(run):
    """A run in the format of the expected file, for the diff."""
    text = run.stdout
    if text and not text.endswith(b"\n"):
        text += b"\n[runner: no line feed at the end of stdout]\n"
    if run.stderr:
        text += b"--- stderr\n" + run.stderr
        if not run.stderr.endswith(b"\n"):
            text += b"\n[runner: no line feed at the end of stderr]\n"
    if run.exit != 0:
        text += f"--- exit {run.exit}\n".encode()
    return text.decode("utf-8", errors="backslashreplace")


def main():
    arguments = sys.argv[1:]
    options = []
    if len(arguments) == 4 and arguments[2] == "--screenshot":
        options = ["--screenshot", os.path.abspath(arguments.pop())]
        arguments.pop()
    if len(arguments) != 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    vellum = os.path.abspath(arguments[0])
    case = Path(arguments[1]).resolve()
    expected_runs = parse_expected(case.with_suffix(".expected"), case.name)
    expected_runs[0].options = options
    with tempfile.TemporaryDirectory(prefix=f"vellum-{case.stem}-") as temp:
        folder, workdir = Path(temp) / "device", Path(temp) / "cwd"
        for made in (folder, workdir):
            made.mkdir()
        prepare_folder(case, folder)
        failed = False
        for expected in expected_runs:
            actual = execute(vellum, folder, workdir, expected)
            if (actual.stdout, actual.stderr, actual.exit) == (expected.stdout, expected.stderr, expected.exit):
                continue
            failed = True
            diff = difflib.unified_diff(render(expected).splitlines(keepends=True),
                                        render(actual).splitlines(keepends=True),
                                        f"expected: {expected.script}", f"actual: {expected.script}")
            sys.stdout.write(f"=== {expected.script}: output differs\n")
            sys.stdout.writelines(line if line.endswith("\n") else line + "\n" for line in diff)
    return 1 if failed else 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except CaseError as e:
        print(f"run_case.py: {e}", file=sys.stderr)
        sys.exit(2)
