#!/usr/bin/env python3
"""Draws the results of wine_install_bench.sh (its RESULTS file) as an SVG
bar chart: one panel per tree, one bar per tool at its median wall time,
the range of the runs as a thin line across it.

The output depends on the results alone (no dates, fixed number formats),
so the same results give the same file byte for byte.

Exit codes: 0 written, 1 the results file is malformed (the message says
which line and why), 2 bad command line, 3 a file cannot be read or written.
"""

import argparse
import itertools
import math
import sys
from xml.sax.saxutils import escape

REQUIRED = ("set", "tool", "median_s", "min_s", "max_s")
NUMBERS = ("median_s", "min_s", "max_s", "files_per_s", "package_bytes", "files", "tree_bytes", "runs")

# Known tools keep their colours whatever the order; others take the rest.
COLOURS = {"setup": "#1f5fa8", "single": "#5b95d6", "nsis-zlib": "#7d7d7d",
           "nsis-lzma": "#a9a9a9", "xcopy": "#d2d2d2"}
SPARE_COLOURS = ("#3d9970", "#b8860b", "#8e5ea2", "#c0504d")

WIDTH = 720
LABEL_RIGHT = 150  # the tool labels end here
PLOT_LEFT, PLOT_RIGHT = 160, 620
ROW, BAR = 22, 14
FONT = "DejaVu Sans, Verdana, Arial, sans-serif"


class BadResults(Exception):
    pass


def parse(text, name="results"):
    """The results as [(set, [row dict, ...]), ...] in file order."""
    lines = [(n, line) for n, line in enumerate(text.splitlines(), 1) if line.strip()]
    if not lines:
        raise BadResults(f"{name}: empty; expected a header line and one line per set and tool")
    header_no, header = lines[0]
    columns = header.split("\t")
    missing = [c for c in REQUIRED if c not in columns]
    if missing:
        raise BadResults(f"{name}:{header_no}: the header lacks the column(s) {', '.join(missing)}")
    sets, seen = [], set()
    for n, line in lines[1:]:
        fields = line.split("\t")
        if len(fields) != len(columns):
            raise BadResults(f"{name}:{n}: {len(fields)} tab-separated fields, the header has {len(columns)}")
        row = dict(zip(columns, fields))
        for column in NUMBERS:
            if column in row:
                try:
                    value = float(row[column])
                except ValueError:
                    value = math.nan
                if not math.isfinite(value) or value < 0:
                    raise BadResults(f"{name}:{n}: {column} is '{row[column]}', not a number of 0 or more")
                row[column] = value
        if not row["min_s"] <= row["median_s"] <= row["max_s"]:
            raise BadResults(f"{name}:{n}: min_s, median_s and max_s are not in order "
                             f"({row['min_s']:g}, {row['median_s']:g}, {row['max_s']:g})")
        key = (row["set"], row["tool"])
        if key in seen:
            raise BadResults(f"{name}:{n}: a second line for set '{key[0]}' and tool '{key[1]}'")
        seen.add(key)
        if not sets or sets[-1][0] != row["set"]:
            if any(s == row["set"] for s, _ in sets):
                raise BadResults(f"{name}:{n}: the lines of set '{row['set']}' are not together")
            sets.append((row["set"], []))
        sets[-1][1].append(row)
    if not sets:
        raise BadResults(f"{name}: no results below the header")
    return sets


def nice_ticks(top):
    """Round tick values from 0 to at least top: 3 to 6 steps of 1, 2, 2.5
    or 5 times a power of ten."""
    if top <= 0:
        return [0.0, 1.0]
    raw = top / 5
    power = 10 ** math.floor(math.log10(raw))
    step = next(m * power for m in (1, 2, 2.5, 5, 10) if m * power >= raw * (1 - 1e-9))
    count = math.ceil(top / step - 1e-9)
    return [round(i * step, 10) for i in range(count + 1)]


def number(value):
    """A coordinate or value as fixed text: at most two decimals, no trailing zeros."""
    text = f"{value:.2f}".rstrip("0").rstrip(".")
    return "0" if text == "-0" else text


def seconds(value):
    return f"{value:.2f} s" if value < 10 else f"{value:.1f} s"


def size(value):
    for unit, scale in (("GB", 1e9), ("MB", 1e6), ("kB", 1e3)):
        if value >= scale:
            return f"{value / scale:.1f} {unit}"
    return f"{value:.0f} B"


def render(sets, title):
    runs = {int(row["runs"]) for _, rows in sets for row in rows if "runs" in row}
    caption = "median wall time (bar) and range (line)"
    if len(runs) == 1:
        count = runs.pop()
        caption += f" of {count} run{'s' if count != 1 else ''}"
    caption += "; shorter is faster"
    out = []
    y = 68
    spare = itertools.cycle(SPARE_COLOURS)
    colours = {}
    for set_name, rows in sets:
        first = rows[0]
        heading = set_name
        if "files" in first:
            heading += f": {int(first['files']):,} files"
            if "tree_bytes" in first:
                heading += f", {size(first['tree_bytes'])}"
        out.append(f'<text x="10" y="{y}" font-weight="bold">{escape(heading)}</text>')
        y += 10
        ticks = nice_ticks(max(row["max_s"] for row in rows))
        scale = (PLOT_RIGHT - PLOT_LEFT) / ticks[-1]
        bottom = y + ROW * len(rows) + 4
        for tick in ticks:
            x = number(PLOT_LEFT + tick * scale)
            unit = " s" if tick == ticks[-1] else ""
            out.append(f'<line x1="{x}" y1="{y}" x2="{x}" y2="{bottom}" stroke="#e4e4e4"/>')
            out.append(f'<text x="{x}" y="{bottom + 13}" text-anchor="middle" fill="#555" '
                       f'font-size="10">{number(tick)}{unit}</text>')
        for row in rows:
            tool = row["tool"]
            colour = colours.setdefault(tool, COLOURS.get(tool) or next(spare))
            middle = y + 4 + ROW / 2
            label = row.get("label") or tool
            out.append(f'<text x="{LABEL_RIGHT}" y="{number(middle + 4)}" text-anchor="end">{escape(label)}</text>')
            out.append(f'<rect class="bar" data-set="{escape(set_name)}" data-tool="{escape(tool)}" '
                       f'x="{PLOT_LEFT}" y="{number(middle - BAR / 2)}" width="{number(row["median_s"] * scale)}" '
                       f'height="{BAR}" fill="{colour}" stroke="none"/>')
            low, high = number(PLOT_LEFT + row["min_s"] * scale), number(PLOT_LEFT + row["max_s"] * scale)
            top_cap, bottom_cap = number(middle - 4), number(middle + 4)
            out.append(f'<path class="range" data-set="{escape(set_name)}" data-tool="{escape(tool)}" '
                       f'd="M{low} {number(middle)}H{high}M{low} {top_cap}V{bottom_cap}M{high} {top_cap}V{bottom_cap}" '
                       f'stroke="#222" stroke-width="1.2" fill="none"/>')
            end = PLOT_LEFT + max(row["median_s"], row["max_s"]) * scale
            out.append(f'<text x="{number(end + 6)}" y="{number(middle + 4)}" fill="#333">'
                       f'{seconds(row["median_s"])}</text>')
            y += ROW
        y = bottom + 40
    height = y - 16
    head = [
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{WIDTH}" height="{height}" '
        f'viewBox="0 0 {WIDTH} {height}" font-family="{FONT}" font-size="12">',
        f"<title>{escape(title)}</title>",
        f'<rect width="{WIDTH}" height="{height}" fill="#fff" stroke="none"/>',
        f'<text x="10" y="22" font-size="15" font-weight="bold">{escape(title)}</text>',
        f'<text x="10" y="40" fill="#555">{escape(caption)}</text>',
    ]
    return "\n".join(head + out + ["</svg>"]) + "\n"


def main(argv):
    parser = argparse.ArgumentParser(
        prog="wine_bench_chart.py",
        description="Draw the RESULTS file of tests/bench/wine_install_bench.sh as an SVG bar chart: "
        "per tree, one bar per tool at its median wall time, with the range of the runs.",
        epilog="Exit codes: 0 written, 1 malformed results (line and reason given), "
        "2 bad command line, 3 a file cannot be read or written.")
    parser.add_argument("results", help="the tab-separated results (RESULTS=FILE of the benchmark)")
    parser.add_argument("-o", "--output", default="-", help="the SVG file to write (default: standard output)")
    parser.add_argument("--title", default="Installing the same files under Wine",
                        help="the chart's title (default: %(default)s)")
    args = parser.parse_args(argv)
    try:
        with open(args.results, encoding="utf-8") as f:
            text = f.read()
    except (OSError, UnicodeDecodeError) as e:
        print(f"wine_bench_chart: cannot read {args.results}: {e}", file=sys.stderr)
        return 3
    try:
        svg = render(parse(text, args.results), args.title)
    except BadResults as e:
        print(f"wine_bench_chart: {e}", file=sys.stderr)
        return 1
    if args.output == "-":
        sys.stdout.write(svg)
        return 0
    try:
        with open(args.output, "w", encoding="utf-8", newline="\n") as f:
            f.write(svg)
    except OSError as e:
        print(f"wine_bench_chart: cannot write {args.output}: {e}", file=sys.stderr)
        return 3
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
