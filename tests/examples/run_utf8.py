#!/usr/bin/env python3
"""Runs a bundled example twice, as the handheld keeps it (UTF-16LE with the
mark) and with its script converted to UTF-8 without a mark, as a Linux
editor saves it, and fails unless both runs print the same and save the
same picture of their first window (an example without forms saves none),
or when the example itself fails.

usage: run_utf8.py VELLUM EXAMPLE_FOLDER
"""

import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

TIMEOUT_SECONDS = 60


def run(vellum, folder, picture):
    env = dict(os.environ)
    env.setdefault("QT_QPA_PLATFORM", "offscreen")
    done = subprocess.run([vellum, "--console", "--screenshot", str(picture), str(folder)], env=env,
                          stdin=subprocess.DEVNULL, capture_output=True, timeout=TIMEOUT_SECONDS)
    return done.returncode, done.stdout, done.stderr, picture.read_bytes() if picture.exists() else None


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    vellum = os.path.abspath(sys.argv[1])
    example = Path(sys.argv[2]).resolve()
    script = (example / "default.q9c").read_bytes()
    if not script.startswith(b"\xff\xfe"):
        print(f"{example.name}: the example is not kept as UTF-16LE with its mark", file=sys.stderr)
        return 1
    with tempfile.TemporaryDirectory(prefix=f"vellum-example-{example.name}-") as temp:
        runs = []
        for name, text in (("utf16", script), ("utf8", script[2:].decode("utf-16-le").encode("utf-8"))):
            folder = Path(temp) / name
            shutil.copytree(example, folder)
            (folder / "default.q9c").write_bytes(text)
            runs.append(run(vellum, folder, Path(temp) / f"{name}.png"))
    if runs[0] != runs[1]:
        differ = [label for label, a, b in zip(("status", "stdout", "stderr", "picture"), runs[0], runs[1]) if a != b]
        print(f"{example.name}: the UTF-8 copy ran differently: {', '.join(differ)}", file=sys.stderr)
        return 1
    # An example without forms (the tour) saves no picture; that is no failure.
    if b"Vellum Error" in runs[0][2]:
        print(f"{example.name}: the example itself failed: {runs[0][2].decode(errors='replace')}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
