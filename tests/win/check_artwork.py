#!/usr/bin/env python3
"""The program's pictures as an independent reader (ImageMagick) sees them:
one icon file with the 16, 32 and 48 pixel images, and the toolbar and menu
strips at 100, 125, 150 and 200 %, each of 14 pictures that show something
(more than one colour, not all transparent) and differ from one another.
Writes a test report like the other suites'.

    check_artwork.py ARTWORK_DIR REPORT.xml
"""
import subprocess
import sys
from pathlib import Path

PICTURES = 14
STRIPS = [("Toolbar", "toolbar", size) for size in (32, 40, 48, 64)] + \
         [("Menu", "menu", size) for size in (16, 20, 24, 32)]


def magick(*args):
    return subprocess.run(list(args), capture_output=True, text=True).stdout


def check_icon(folder):
    got = magick("identify", "-format", "%w ", str(folder / "skyloom.ico"))
    return [] if got == "16 32 48 " else [f"skyloom.ico: sizes {got!r}, expected '16 32 48 '"]


def check_strip(folder, stem, size):
    path = folder / f"{stem}{size}.bmp"
    got = magick("identify", "-format", "%wx%h", str(path))
    if got != f"{size * PICTURES}x{size}":
        return [f"{path.name}: {got!r}, expected {size * PICTURES}x{size}"]
    # One line per picture: colours, mean opacity, pixel signature.
    tiles = magick("convert", str(path), "-crop", f"{size}x{size}", "+repage", "-format",
                   "%k %[fx:mean.a] %#\n", "info:").split("\n")[:PICTURES]
    problems, seen = [], {}
    for index, line in enumerate(tiles):
        colours, opacity, signature = line.split()
        if int(colours) < 2 or float(opacity) == 0:
            problems.append(f"{path.name}: picture {index} is empty")
        if signature in seen:
            problems.append(f"{path.name}: picture {index} is picture {seen[signature]} again")
        seen.setdefault(signature, index)
    return problems


def main(folder, report):
    folder = Path(folder)
    cases = [("IconHoldsThreeSizes", check_icon(folder))]
    for name, stem, size in STRIPS:
        cases.append((f"{name}Strip{size}HoldsFourteenDistinctPictures", check_strip(folder, stem, size)))
    failures = sum(1 for _, problems in cases if problems)
    xml = []
    for name, problems in cases:
        failure = f'<failure message="{"; ".join(problems)}"/>' if problems else ""
        xml.append(f'<testcase name="{name}" classname="Artwork">{failure}</testcase>')
        print(f"{name}: {'FAILED: ' + '; '.join(problems) if problems else 'ok'}")
    Path(report).parent.mkdir(parents=True, exist_ok=True)
    Path(report).write_text(f'<testsuites tests="{len(cases)}" failures="{failures}" errors="0">'
                            f'<testsuite name="Artwork">{"".join(xml)}</testsuite></testsuites>\n')
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
