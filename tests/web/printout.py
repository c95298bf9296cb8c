#!/usr/bin/python3
"""What is wrong with a printout of the page after Calculate, as the page
prints with the browser's defaults (background graphics off): its PDF
rasterised by pdftoppm (poppler-utils) at the resolution that gives the window
its 409 CSS pixels (a browser may shrink a printout to fit), where it must show
as on screen, its blue, its bands and its frame lines, and the answer white on
black at 4.5 : 1 or more. Shared by the engines' tests.

usage: printout.py <printout.pdf>; prints what is wrong, one line each, and
exits 1 where anything is."""

import subprocess
import sys
import tempfile
import pathlib

# The bands as the table has them, (width, height) in CSS pixels.
BANDS = {'blue window': ((0, 0, 255), (409, 185)), 'yellow task': ((255, 255, 0), (393, 81)),
         'magenta instruction': ((255, 0, 255), (297, 33))}
ANSWER = (297, 17)


def raster(pdf, dpi=96):
    """(width, height, rows of (r, g, b)) of the PDF's first page at `dpi`."""
    with tempfile.TemporaryDirectory(prefix='vantrel-print-') as folder:
        out = pathlib.Path(folder) / 'page'
        subprocess.run(['pdftoppm', '-r', '%.3f' % dpi, '-f', '1', '-l', '1', '-singlefile', str(pdf),
                        str(out)], check=True, timeout=60)
        data = out.with_suffix('.ppm').read_bytes()
    fields, position = [], 0
    while len(fields) < 4:  # P6, width, height, maximum
        while data[position:position + 1].isspace():
            position += 1
        end = position
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[position:end])
        position = end
    width, height = int(fields[1]), int(fields[2])
    pixels = data[position + 1:]
    rows = [[tuple(pixels[(y * width + x) * 3:(y * width + x) * 3 + 3]) for x in range(width)]
            for y in range(height)]
    return width, height, rows


def near(pixel, colour, tolerance=24):
    return all(abs(a - b) <= tolerance for a, b in zip(pixel, colour))


def luminance(pixel):
    def linear(c):
        c /= 255
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(c) for c in pixel)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    light, dark = sorted((luminance(a), luminance(b)), reverse=True)
    return (light + 0.05) / (dark + 0.05)


def bounds(rows, colour):
    xs, ys = [], []
    for y, row in enumerate(rows):
        for x, pixel in enumerate(row):
            if near(pixel, colour):
                xs.append(x)
                ys.append(y)
    return (min(xs), min(ys), max(xs) + 1, max(ys) + 1) if xs else None


def wrong(pdf):
    _, _, rows = raster(pdf)
    window = bounds(rows, BANDS['blue window'][0])
    if window and window[2] - window[0] != BANDS['blue window'][1][0]:
        _, _, rows = raster(pdf, 96 * BANDS['blue window'][1][0] / (window[2] - window[0]))
    found = []
    boxes = {}
    for name, (colour, (width, height)) in BANDS.items():
        box = boxes[name] = bounds(rows, colour)
        if not box:
            found.append('no %s band' % name)
        elif abs(box[2] - box[0] - width) > 2 or abs(box[3] - box[1] - height) > 2:
            found.append('the %s band is %d x %d, not %d x %d'
                         % (name, box[2] - box[0], box[3] - box[1], width, height))
    window, task, instruction = (boxes[name] for name in BANDS)
    if window and task and instruction:
        # The frame's lines around the blue, and the line between the task's
        # band and the instruction's: mostly dark (the picture stands in
        # front of the top line).
        left, top, right, bottom = window[0] - 1, window[1] - 1, window[2] + 1, window[3] + 1
        dark = lambda pixels: sum(1 for pixel in pixels if sum(pixel) < 200) / len(pixels)
        row = lambda y: dark(rows[y][left:right])
        column = lambda x: dark([rows[y][x] for y in range(top, bottom)])
        for name, share in (('top', row(top)), ('bottom', row(bottom - 1)),
                            ('left', column(left)), ('right', column(right - 1)),
                            ('middle', max(row(y) for y in range(task[3] - 2, instruction[1] + 2)))):
            if share < 0.75:
                found.append('the frame\'s %s line is %.0f %% dark' % (name, 100 * share))
    # The answer's band: the rows that are black over most of its width, but
    # not over the window's (those are lines).
    band = [(y, row) for y, row in enumerate(rows)
            if 0.8 * ANSWER[0] < sum(1 for pixel in row if sum(pixel) < 60) < 0.9 * 409]
    if len(band) < ANSWER[1] - 2:
        found.append('no black answer band (%d rows)' % len(band))
    else:
        top, bottom = band[0][0], band[-1][0] + 1
        xs = [x for _, row in band for x, pixel in enumerate(row) if sum(pixel) < 60]
        left, right = min(xs), max(xs) + 1
        ink = max((pixel for row in rows[top:bottom] for pixel in row[left:right]), key=luminance)
        if contrast(ink, (0, 0, 0)) < 4.5:
            found.append('the answer reads %.2f : 1 on its band' % contrast(ink, (0, 0, 0)))
    return found


if __name__ == '__main__':
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    found = wrong(sys.argv[1])
    for line in found:
        print(line)
    sys.exit(1 if found else 0)
