#!/usr/bin/env python3
"""The source folders form a stack: each includes only its own folder and
the ones below it. Usage: include_layers.py SOURCE_DIR"""

import pathlib
import re
import sys

# Bottom to top. The platform is the host layer beside the engine: it may
# include the engine, never the other way round.
LAYERS = ["engine", "platform", "system", "gui", "media", "host"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/', re.MULTILINE)


def main():
    root = pathlib.Path(sys.argv[1])
    faults = []
    for level, folder in enumerate(LAYERS):
        for source in sorted((root / folder).rglob("*")):
            if source.suffix not in (".cpp", ".h", ".def"):
                continue
            text = source.read_text(encoding="utf-8")
            for match in INCLUDE.finditer(text):
                target = match.group(1)
                if target in LAYERS and LAYERS.index(target) > level:
                    line = text.count("\n", 0, match.start()) + 1
                    faults.append(f"{source.relative_to(root)}:{line}: {folder}/ includes {target}/, a layer above it")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
