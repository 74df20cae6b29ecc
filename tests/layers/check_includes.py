#!/usr/bin/env python3
"""Checks every #include "..." of the project's source folders against the allowed edges in README.md.

The README's table between the markers <!-- layers:begin --> and <!-- layers:end --> has one row per source
folder: the folder, the prefix its headers are included by, and the folders it may include (by their
prefixes, or a dash). A source file may include its own folder's headers, the headers of the folders its row
allows, and the standard and outside libraries (<...>). Every folder that holds C++ sources must have a row.
"""
import pathlib
import re
import sys

SOURCE_ROOTS = ("core", "backends", "programs", "desktop")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def read_table(readme):
    text = readme.read_text(encoding="utf-8")
    match = re.search(r"<!-- layers:begin -->(.*?)<!-- layers:end -->", text, re.DOTALL)
    if not match:
        sys.exit("README.md has no table between <!-- layers:begin --> and <!-- layers:end -->")
    rows = {}
    for line in match.group(1).splitlines():
        cells = [cell.strip().strip("`") for cell in line.strip().strip("|").split("|")]
        if len(cells) != 3 or cells[0] in ("folder", "") or set(cells[0]) <= set("-: "):
            continue
        folder, prefix, allowed = cells
        allowed = [] if allowed in ("—", "-") else [a.strip().strip("`") for a in allowed.split(",")]
        rows[folder.rstrip("/")] = (prefix.rstrip("/"), allowed)
    return rows


def owner_of(include, prefixes):
    """The prefix of the folder an include path belongs to: the longest prefix it starts with."""
    best = None
    for prefix in prefixes:
        if include.startswith(prefix + "/") and (best is None or len(prefix) > len(best)):
            best = prefix
    return best


def main(root):
    root = pathlib.Path(root)
    rows = read_table(root / "README.md")
    prefixes = {prefix for prefix, _ in rows.values()}
    problems = []
    for source_root in SOURCE_ROOTS:
        for path in sorted((root / source_root).rglob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            folder = path.parent.relative_to(root).as_posix()
            # A folder below a listed folder (import/tables) belongs to it.
            listed = folder
            while listed not in rows and "/" in listed:
                listed = listed.rsplit("/", 1)[0]
            if listed not in rows:
                problems.append(f"{path.relative_to(root)}: its folder {folder} has no row in README.md")
                continue
            own, allowed = rows[listed]
            for include in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
                if "/" not in include:
                    continue  # a header beside the file
                target = owner_of(include, prefixes)
                if target is None:
                    problems.append(f"{path.relative_to(root)}: includes {include}, which no folder provides")
                elif target != own and target not in allowed:
                    problems.append(f"{path.relative_to(root)}: {listed} may not include {include}")
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} forbidden include(s); the allowed edges are the table in README.md")
        return 1
    print(f"includes of {len(rows)} folders follow the allowed edges")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parents[2]))
