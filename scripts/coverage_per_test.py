#!/usr/bin/env python3
"""Which tests reach code that no other test reaches. Runs every test of a
coverage build alone, each with a GCOV_PREFIX of its own so that its
counters land in a tree of their own, reads them with gcov's JSON output
and prints:
  - the tests whose every covered line and branch of the libraries the
    others cover too, chosen greedily, the longest test first, so that all
    of them together could go without losing coverage (what they assert may
    still be theirs alone: read them before removing any);
  - for the rest, the lines and branches each one alone covers, the least
    per line of test first.
The fuzz replays and the desktop pass (one set, when Xvfb is there) count
for what they cover but are never listed: they are kept whatever they add.

    coverage_per_test.py ROOT BUILD [--jobs N]

The sets are kept in BUILD/per-test as JSON, one file per test."""
import argparse
import collections
import concurrent.futures
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys

from coverage_report import LIBRARIES, non_blank_lines

KEPT = re.compile(r"^(fuzz\.|desktop$)")


def covered_sets(prefix, root):
    """The library lines and branches the counters under prefix show as run."""
    gcdas = [str(p) for p in prefix.rglob("*.gcda")]
    for gcda in gcdas:
        # gcov reads the notes file beside the counters: link the build's own.
        notes = gcda[:-5] + ".gcno"
        if not os.path.exists(notes):
            os.symlink(gcda[len(str(prefix)):-5] + ".gcno", notes)
    library = re.compile("^" + re.escape(str(root)) + "/(" + "|".join(LIBRARIES) + ")/")
    lines, branches = set(), set()
    for start in range(0, len(gcdas), 64):
        result = subprocess.run(["gcov", "--json-format", "--stdout", "--branch-probabilities"] +
                                gcdas[start:start + 64], capture_output=True, text=True, cwd=prefix)
        for record in result.stdout.splitlines():
            if not record.startswith("{"):
                continue
            data = json.loads(record)
            for source in data["files"]:
                name = os.path.normpath(os.path.join(data.get("current_working_directory", "/"), source["file"]))
                if not library.match(name):
                    continue
                name = os.path.relpath(name, root)
                for line in source["lines"]:
                    if line["count"] > 0:
                        lines.add(f"{name}:{line['line_number']}")
                    for index, branch in enumerate(line.get("branches", [])):
                        if branch["count"] > 0 and not branch.get("throw"):
                            branches.add(f"{name}:{line['line_number']}#{index}")
    return lines, branches


def run_alone(name, command, directory, environment, root, store):
    prefix = store / "counters" / re.sub(r"[^\w.-]", "_", name)
    shutil.rmtree(prefix, ignore_errors=True)
    prefix.mkdir(parents=True)
    env = dict(os.environ, GCOV_PREFIX=str(prefix), GCOV_PREFIX_STRIP="0", **environment)
    try:
        status = subprocess.run(command, cwd=directory, env=env, capture_output=True, timeout=900).returncode
    except subprocess.TimeoutExpired:
        status = "timeout"
    lines, branches = covered_sets(prefix, root)
    shutil.rmtree(prefix, ignore_errors=True)
    record = {"name": name, "status": status, "lines": sorted(lines), "branches": sorted(branches)}
    (store / (prefix.name + ".json")).write_text(json.dumps(record))
    return record


def ctest_runs(build):
    listing = subprocess.run(["ctest", "--test-dir", str(build), "--show-only=json-v1"], capture_output=True,
                             text=True, check=True).stdout
    for test in json.loads(listing)["tests"]:
        if test["name"].startswith("desktop."):
            continue
        properties = {p["name"]: p["value"] for p in test.get("properties", [])}
        environment = dict(item.split("=", 1) for item in properties.get("ENVIRONMENT", []))
        environment.setdefault("VELLUM_CASE_TIMEOUT", "300")
        yield test["name"], test["command"], properties.get("WORKING_DIRECTORY", str(build)), environment


def test_sizes(root):
    """Non-blank lines of each test: a TEST to the next one, a script case whole."""
    sizes = {}
    for path in root.glob("tests/**/*.cpp"):
        text = path.read_text(errors="replace").splitlines()
        starts = [(i, m.group(1) + "." + m.group(2)) for i, line in enumerate(text)
                  if (m := re.match(r"\s*TEST(?:_F|_P)?\(\s*(\w+)\s*,\s*(\w+)\s*\)", line))]
        for k, (first, name) in enumerate(starts):
            end = starts[k + 1][0] if k + 1 < len(starts) else len(text)
            sizes[name] = (str(path.relative_to(root)), sum(1 for line in text[first:end] if line.strip()))
    for path in root.glob("tests/scripts/*.q9c"):
        sizes["script." + path.stem] = (str(path.relative_to(root)), non_blank_lines(str(path)))
    return sizes


def report(records, sizes):
    covers = {r["name"]: [("L", e) for e in r["lines"]] + [("B", e) for e in r["branches"]] for r in records}
    count = collections.Counter(e for elements in covers.values() for e in elements)
    print(f"{len(records)} runs cover {sum(1 for e in count if e[0] == 'L')} lines and "
          f"{sum(1 for e in count if e[0] == 'B')} branches of the libraries")
    failed = [r["name"] for r in records if r["status"] != 0]
    if failed:
        print("failed or timed out, counted as far as they ran:", ", ".join(failed))
    candidates = sorted((n for n in covers if not KEPT.search(n)), key=lambda n: -sizes.get(n, ("", 0))[1])
    redundant = []
    for name in candidates:
        if all(count[e] > 1 for e in covers[name]):
            count.subtract(covers[name])
            redundant.append(name)
    print(f"\n{len(redundant)} tests ({sum(sizes.get(n, ('', 0))[1] for n in redundant)} lines) "
          "cover nothing the others leave uncovered:")
    for name in redundant:
        where, size = sizes.get(name, ("?", 0))
        print(f"{size:6d}  {name}  ({where})")
    print("\nwhat each other test alone covers (lines, branches, test lines):")
    rows = []
    for name in candidates:
        if name in redundant:
            continue
        lines = sum(1 for e in covers[name] if count[e] == 1 and e[0] == "L")
        branches = sum(1 for e in covers[name] if count[e] == 1 and e[0] == "B")
        where, size = sizes.get(name, ("?", 0))
        rows.append(((lines + branches) / max(size, 1), lines, branches, size, name, where))
    for _, lines, branches, size, name, where in sorted(rows):
        print(f"{lines:6d} {branches:6d} {size:6d}  {name}  ({where})")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("root")
    parser.add_argument("build")
    parser.add_argument("--jobs", type=int, default=2)
    arguments = parser.parse_args()
    root, build = pathlib.Path(arguments.root).resolve(), pathlib.Path(arguments.build).resolve()
    store = build / "per-test"
    shutil.rmtree(store, ignore_errors=True)
    store.mkdir(parents=True)
    with concurrent.futures.ThreadPoolExecutor(arguments.jobs) as pool:
        runs = [pool.submit(run_alone, *run, root, store) for run in ctest_runs(build)]
        records = [run.result() for run in runs]
    if shutil.which("xvfb-run"):
        desktop = ["scripts/test-desktop", str(build)]
        records.append(run_alone("desktop", desktop, str(root), {}, root, store))
    report(records, test_sizes(root))


if __name__ == "__main__":
    sys.exit(main())
