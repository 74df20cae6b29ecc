"""Renders every page of the given PDFs (pdftoppm) and fails when anything is drawn into the left or right
margin of a page: a picture wider than the text column shows there before it is cut at the page's edge."""

import os
import subprocess
import sys
import tempfile

DPI = 72
# The text column keeps 2 cm from each side of the page; the band of 1.9 cm next to each edge stays white.
BAND = int(1.9 / 2.54 * DPI)
INK = 200


def read_pgm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    position = 0
    while len(fields) < 4:
        while data[position:position + 1].isspace():
            position += 1
        if data[position:position + 1] == b"#":
            position = data.index(b"\n", position) + 1
            continue
        end = position
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[position:end])
        position = end
    assert fields[0] == b"P5", f"{path}: not a binary grey map"
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[position + 1:position + 1 + width * height]


def inked_margin_rows(width, height, pixels):
    rows = []
    for y in range(height):
        line = pixels[y * width:(y + 1) * width]
        if min(line[:BAND]) < INK or min(line[width - BAND:]) < INK:
            rows.append(y)
    return rows


def main(pdfs):
    failures = []
    pages = 0
    with tempfile.TemporaryDirectory() as folder:
        for number, pdf in enumerate(pdfs):
            prefix = os.path.join(folder, f"m{number}")
            subprocess.run(["pdftoppm", "-r", str(DPI), "-gray", pdf, prefix], check=True, timeout=90)
            for name in sorted(n for n in os.listdir(folder) if n.startswith(f"m{number}-")):
                pages += 1
                rows = inked_margin_rows(*read_pgm(os.path.join(folder, name)))
                if rows:
                    page = name.rsplit("-", 1)[1].split(".")[0]
                    failures.append(f"{os.path.basename(pdf)} page {int(page)}: drawn into the side margin "
                                    f"from {rows[0] * 2.54 / DPI:.1f} cm to {rows[-1] * 2.54 / DPI:.1f} cm below the top")
    print(f"{pages} pages of {len(pdfs)} manuals looked at")
    for failure in failures:
        print(failure)
    return 1 if failures or pages == 0 else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
