#!/usr/bin/env python3
"""Prints line and branch coverage per folder and in total from gcovr's JSON
summary, and the test-to-code ratio: non-blank lines of the tests (C++,
Python and scripts under tests/) against non-blank lines of the libraries
(engine, gui, host, media, platform, system). Expected outputs, fuzz corpora
and other data files are not counted.

    coverage_report.py ROOT [SUMMARY.json] [--max-ratio R] [--min-lines P]

With the limits it exits 1 when the ratio is above R or total line coverage
below P percent. Without a summary it prints and checks the ratio alone,
which needs no build."""
import argparse
import json
import os
import subprocess
import sys

LIBRARIES = ("engine", "gui", "host", "media", "platform", "system")
CODE_ENDINGS = (".cpp", ".h", ".def")
TEST_ENDINGS = (".cpp", ".h", ".py", ".q9c")


def text_of(path):
    data = open(path, "rb").read()
    # Scripts are UTF-16LE in the working tree (git keeps them as UTF-8).
    if path.endswith(".q9c") and (data.startswith(b"\xff\xfe") or b"\0" in data):
        return data.decode("utf-16-le", "replace")
    return data.decode("utf-8", "replace")


def non_blank_lines(path):
    return sum(1 for line in text_of(path).splitlines() if line.strip())


def line_counts(root):
    files = subprocess.run(["git", "ls-files"], cwd=root, capture_output=True, text=True, check=True).stdout.split()
    # A file deleted in the working tree but not yet in git counts no more.
    files = [f for f in files if os.path.isfile(os.path.join(root, f))]
    code = sum(non_blank_lines(os.path.join(root, f)) for f in files
               if f.split("/")[0] in LIBRARIES and f.endswith(CODE_ENDINGS))
    tests = sum(non_blank_lines(os.path.join(root, f)) for f in files
                if f.startswith("tests/") and f.endswith(TEST_ENDINGS))
    return code, tests


def percent(covered, total):
    return 100.0 * covered / total if total else 100.0


def print_coverage(summary):
    """Prints the table of coverage per folder and gives total line coverage."""
    folders = {}
    for entry in json.load(open(summary))["files"]:
        parts = entry["filename"].split("/")
        if parts[0] not in LIBRARIES:
            continue
        folder = "/".join(parts[:2]) if len(parts) > 2 else parts[0]
        sums = folders.setdefault(folder, [0, 0, 0, 0])
        sums[0] += entry["line_covered"]
        sums[1] += entry["line_total"]
        sums[2] += entry["branch_covered"]
        sums[3] += entry["branch_total"]

    print(f"{'folder':<22} {'lines':>8} {'branches':>9}")
    total = [0, 0, 0, 0]
    for folder in sorted(folders):
        sums = folders[folder]
        total = [a + b for a, b in zip(total, sums)]
        print(f"{folder:<22} {percent(sums[0], sums[1]):7.1f}% {percent(sums[2], sums[3]):8.1f}%")
    line_total = percent(total[0], total[1])
    print(f"{'total':<22} {line_total:7.1f}% {percent(total[2], total[3]):8.1f}%")
    return line_total


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("root")
    parser.add_argument("summary", nargs="?")
    parser.add_argument("--max-ratio", type=float)
    parser.add_argument("--min-lines", type=float)
    args = parser.parse_args()
    if args.min_lines is not None and args.summary is None:
        parser.error("--min-lines needs the coverage summary")

    line_total = print_coverage(args.summary) if args.summary else None
    code, tests = line_counts(args.root)
    ratio = tests / code
    print(f"tests / code: {tests} / {code} non-blank lines = {ratio:.3f}")

    failed = False
    if args.max_ratio is not None and ratio > args.max_ratio:
        print(f"coverage: the tests are {ratio:.3f} of the code, above {args.max_ratio}", file=sys.stderr)
        failed = True
    if args.min_lines is not None and line_total < args.min_lines:
        print(f"coverage: line coverage {line_total:.1f}% is below {args.min_lines}%", file=sys.stderr)
        failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
