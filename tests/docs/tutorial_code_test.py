#!/usr/bin/env python3
"""Keeps docs/tutorial.md in step with the tutorial's app.

Usage: tutorial_code_test.py SOURCE_DIR

Every ```q9c block under a heading "## Step N: ..." must appear, as whole
consecutive lines, in docs/tutorial/stepN/default.q9c (the script the test
suite runs), so that no code the page shows can drift from code that runs.
Every picture the page links must exist. Prints each fault and exits 1 when
there is one.
"""

import re
import sys
from pathlib import Path

STEP_HEADING = re.compile(r"^## Step (\d+):")
PICTURE = re.compile(r"!\[[^\]]*\]\(([^)]+)\)")


def code_blocks(page):
    """Yields (step number or None, first line number, block text)."""
    step = None
    block = None
    for number, line in enumerate(page.splitlines(), 1):
        if block is not None:
            if line.startswith("```"):
                yield step, start, "\n".join(block)
                block = None
            else:
                block.append(line)
            continue
        if line.startswith("## "):
            found = STEP_HEADING.match(line)
            step = int(found.group(1)) if found else None
        elif line == "```q9c":
            block, start = [], number + 1


def script_text(path):
    data = path.read_bytes()
    if data.startswith(b"\xff\xfe"):
        data = data[2:]
    return data.decode("utf-16-le").replace("\r\n", "\n")


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    docs = Path(sys.argv[1]) / "docs"
    page = (docs / "tutorial.md").read_text("utf-8")
    faults = []
    scripts = {}
    for step, line, block in code_blocks(page):
        if step is None:
            faults.append(f"tutorial.md:{line}: a q9c block outside a step section")
            continue
        script = docs / "tutorial" / f"step{step}" / "default.q9c"
        if step not in scripts:
            scripts[step] = "\n" + script_text(script) + "\n" if script.exists() else None
        if scripts[step] is None:
            faults.append(f"tutorial.md:{line}: no script {script.relative_to(docs.parent)}")
        elif "\n" + block + "\n" not in scripts[step]:
            faults.append(f"tutorial.md:{line}: this block is not in {script.relative_to(docs.parent)}")
    for target in PICTURE.findall(page):
        if not (docs / target).is_file():
            faults.append(f"tutorial.md: the picture {target} does not exist")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
