#!/usr/bin/env python3
"""Adds up the GoogleTest XML reports of a test run and prints one line per
report plus the closing 'N passed, N failed' line. Test executables that
CTest ran but that left no report (a crash) count as one failure each."""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path


def main(argv):
    expected = [a for a in argv[1:] if not a.startswith("--dir=")]
    dirs = [Path(a[6:]) for a in argv[1:] if a.startswith("--dir=")]
    passed = failed = skipped = 0
    seen = set()
    for d in dirs:
        for report in sorted(d.glob("*.xml")):
            root = ET.parse(report).getroot()
            tests = int(root.get("tests", 0))
            fails = int(root.get("failures", 0)) + int(root.get("errors", 0))
            skips = int(root.get("skipped", 0)) + int(root.get("disabled", 0))
            label = f"{d.parent.name}/{report.stem}"
            seen.add(label)
            print(f"  {label:45} {tests - fails - skips:5} passed {fails:3} failed {skips:3} skipped")
            passed += tests - fails - skips
            failed += fails
            skipped += skips
    for label in expected:
        if label not in seen:
            print(f"  {label:45} left no report (crashed or did not run)")
            failed += 1
    line = f"tests: {passed} passed, {failed} failed"
    if skipped:
        line += f", {skipped} skipped"
    print(line)
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
