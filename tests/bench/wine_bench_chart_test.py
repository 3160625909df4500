#!/usr/bin/env python3
"""Tests of wine_bench_chart.py: what it refuses, and that the drawing
keeps the measured proportions."""

import io
import math
import os
import re
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET
from contextlib import redirect_stderr

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_bench_chart as chart  # noqa: E402

HEADER = "set\ttool\tmedian_s\tmin_s\tmax_s\tfiles_per_s\tpackage_bytes\tfiles\ttree_bytes\truns\tlabel"
RESULTS = "\n".join([
    HEADER,
    "whole\tsetup\t8.00\t7.50\t9.25\t250\t200000000\t2001\t310000000\t3\tSETUP.EXE /quiet",
    "whole\tnsis-zlib\t12.00\t11.00\t12.40\t167\t190000000\t2001\t310000000\t3\tNSIS zlib /S",
    "small\tsetup\t1.20\t1.10\t1.60\t1667\t40000000\t2000\t42000000\t3\tSETUP.EXE /quiet",
    "small\tx<&>\t0.60\t0.60\t0.61\t3333\t42000000\t2000\t42000000\t3\tcopy \"A\" <&> B",
]) + "\n"
SVG = "{http://www.w3.org/2000/svg}"


def shapes(svg, kind):
    """{(set, tool): element} of the bars or range lines."""
    root = ET.fromstring(svg)
    return {(e.get("data-set"), e.get("data-tool")): e
            for e in root.iter() if e.get("class") == kind}


class ParseTest(unittest.TestCase):
    def test_refuses_malformed_results_naming_the_line(self):
        line = "whole\tsetup\t8\t7\t9"
        short = "set\ttool\tmedian_s\tmin_s\tmax_s"
        cases = [
            ("", r"results: empty"),
            ("set\ttool\tmedian_s\n", r"results:1: the header lacks the column\(s\) min_s, max_s"),
            (f"{short}\n", r"results: no results below the header"),
            (f"{short}\nwhole\tsetup\t8\t7\n", r"results:2: 4 tab-separated fields, the header has 5"),
            (f"{short}\nwhole\tsetup\tfast\t7\t9\n", r"results:2: median_s is 'fast'"),
            (f"{short}\nwhole\tsetup\tnan\t7\t9\n", r"results:2: median_s is 'nan'"),
            (f"{short}\nwhole\tsetup\t8\t-1\t9\n", r"results:2: min_s is '-1'"),
            (f"{short}\nwhole\tsetup\t8\t9\t10\n", r"results:2: min_s, median_s and max_s are not in order \(9, 8, 10\)"),
            (f"{short}\n{line}\n\n{line}\n", r"results:4: a second line for set 'whole' and tool 'setup'"),
            (f"{short}\n{line}\nsmall\tsetup\t1\t1\t1\nwhole\txcopy\t1\t1\t1\n",
             r"results:4: the lines of set 'whole' are not together"),
        ]
        for text, message in cases:
            with self.subTest(text=text):
                with self.assertRaisesRegex(chart.BadResults, "^" + message):
                    chart.parse(text)


class NiceTicksTest(unittest.TestCase):
    def test_ticks_cover_the_top_in_round_steps(self):
        for top in (0.01, 0.07, 0.6, 1, 1.2, 3.3, 7.5, 9.99, 10, 12.4, 48, 99, 101, 250, 3600):
            with self.subTest(top=top):
                ticks = chart.nice_ticks(top)
                self.assertIn(round(ticks[1] / 10 ** math.floor(math.log10(ticks[1])), 6), (1, 2, 2.5, 5))
                self.assertTrue(ticks[0] == 0 and ticks[-2] < top <= ticks[-1] and 3 <= len(ticks) - 1 <= 6, ticks)


class RenderTest(unittest.TestCase):
    def test_bars_and_ranges_are_to_scale_within_each_set(self):
        sets = chart.parse(RESULTS)
        svg = chart.render(sets, "t")
        bars, ranges = shapes(svg, "bar"), shapes(svg, "range")
        for name, rows in sets:
            scales = set()
            for row in rows:
                key = (name, row["tool"])
                scales.add(round(float(bars[key].get("width")) / row["median_s"], 1))
                x = [float(v) for v in re.findall(r"M([\d.]+)", ranges[key].get("d"))]
                left = float(bars[key].get("x"))
                self.assertAlmostEqual((x[0] - left) / row["min_s"], (x[2] - left) / row["max_s"], delta=0.05)
                scales.add(round((x[2] - left) / row["max_s"], 1))
            self.assertEqual(len(scales), 1, f"{name}: {scales}")
            longest = max(row["max_s"] for row in rows)
            self.assertLessEqual(longest * scales.pop(), chart.PLOT_RIGHT - chart.PLOT_LEFT + 0.01)

    def test_texts_are_escaped_and_the_output_is_stable(self):
        svg = chart.render(chart.parse(RESULTS), "A & B")
        texts = [e.text for e in ET.fromstring(svg).iter(SVG + "text")]
        for expected in ("A & B", "copy \"A\" <&> B", "whole: 2,001 files, 310.0 MB", "8.00 s", "12.0 s",
                         "median wall time (bar) and range (line) of 3 runs; shorter is faster"):
            self.assertIn(expected, texts)
        self.assertEqual(svg, chart.render(chart.parse(RESULTS), "A & B"))


class CommandLineTest(unittest.TestCase):
    def test_exit_codes_and_output(self):
        with tempfile.TemporaryDirectory() as tmp:
            good, bad, out = (os.path.join(tmp, n) for n in ("good.tsv", "bad.tsv", "chart.svg"))
            with open(good, "w") as f:
                f.write(RESULTS)
            with open(bad, "w") as f:
                f.write(HEADER + "\nwhole\tsetup\n")
            cases = [
                ([good, "-o", out], 0, ""),
                ([bad, "-o", out + ".2"], 1, f"wine_bench_chart: {bad}:2: 2 tab-separated fields"),
                ([os.path.join(tmp, "none.tsv")], 3, "wine_bench_chart: cannot read"),
                ([good, "-o", os.path.join(tmp, "no", "chart.svg")], 3, "wine_bench_chart: cannot write"),
            ]
            for argv, code, message in cases:
                with self.subTest(argv=argv):
                    err = io.StringIO()
                    with redirect_stderr(err):
                        self.assertEqual(chart.main(argv), code)
                    self.assertTrue(err.getvalue().startswith(message), err.getvalue())
            with open(out) as f:
                self.assertEqual(f.read(), chart.render(chart.parse(RESULTS), "Installing the same files under Wine"))
            self.assertFalse(os.path.exists(out + ".2"))


if __name__ == "__main__":
    unittest.main()
