#!/usr/bin/env python3
"""The program's pictures as an independent reader (ImageMagick's identify)
sees them: one icon file with the 16, 32 and 48 pixel images, and the two
strips of 13 pictures. Writes a test report like the other suites'.

    check_artwork.py ARTWORK_DIR REPORT.xml
"""
import subprocess
import sys
from pathlib import Path

CHECKS = [
    ("IconHoldsThreeSizes", "skyloom.ico", "%w ", "16 32 48 "),
    ("ToolbarStripHoldsThirteen32PixelPictures", "toolbar32.bmp", "%wx%h", "416x32"),
    ("MenuStripHoldsThirteen16PixelPictures", "menu16.bmp", "%wx%h", "208x16"),
]


def main(folder, report):
    cases, failures = [], 0
    for name, file, fmt, expected in CHECKS:
        got = subprocess.run(["identify", "-format", fmt, str(Path(folder) / file)], capture_output=True,
                             text=True).stdout
        ok = got == expected
        failures += not ok
        failure = "" if ok else f'<failure message="{file}: expected {expected!r}, got {got!r}"/>'
        cases.append(f'<testcase name="{name}" classname="Artwork">{failure}</testcase>')
        print(f"{name}: {'ok' if ok else 'FAILED, got ' + repr(got)}")
    Path(report).parent.mkdir(parents=True, exist_ok=True)
    Path(report).write_text(f'<testsuites tests="{len(CHECKS)}" failures="{failures}" errors="0">'
                            f'<testsuite name="Artwork">{"".join(cases)}</testsuite></testsuites>\n')
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
