#!/usr/bin/env python3
"""Checks that every test of a build tree has a CTest TIMEOUT, so that no test can hang past it.

    check_timeouts.py CTEST BUILD_DIR

Every test must set TIMEOUT itself (gtest_discover_tests ... PROPERTIES TIMEOUT, set_tests_properties), and
every test that starts a JACK server must hold the resource lock "jack".
"""
import json
import subprocess
import sys


def main():
    ctest, build = sys.argv[1], sys.argv[2]
    listing = subprocess.run([ctest, "--show-only=json-v1"], cwd=build, capture_output=True, text=True,
                             timeout=120, check=True)
    problems = []
    tests = json.loads(listing.stdout)["tests"]
    for test in tests:
        properties = {p["name"]: p["value"] for p in test.get("properties", [])}
        if not properties.get("TIMEOUT"):
            problems.append(f"{test['name']}: no TIMEOUT")
        labels = properties.get("LABELS", [])
        if "e2e" in labels and "jack" not in properties.get("RESOURCE_LOCK", []):
            problems.append(f"{test['name']}: an end-to-end test without the resource lock \"jack\"")
    for problem in problems:
        print(problem)
    print(f"{len(tests)} tests, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
