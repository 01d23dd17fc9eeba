#!/usr/bin/env python3
"""Writes data/snook-ciriello-1991.csv, the data file of the Snook and Ciriello (1991) tables
that the library reads at run time: one row per cell of the fourteen tables, in the library's
array order, with the cells known here and every other cell "NA" (missing).

  python3 tools/gen_snook_data.py [--check]

S. H. Snook and V. M. Ciriello, "The design of manual handling tasks: revised tables of
maximum acceptable weights and forces", Ergonomics 34(9):1197-1213, 1991. The tables could
not be found in readable form (tools/snook/README.md); only four rows are known and written
here. A user who holds the paper replaces the NA cells with its values in pounds and checks
the file with `mkmanikin snook-check FILE`.
"""

import pathlib
import sys

from generated_file import write_or_check

ROOT = pathlib.Path(__file__).resolve().parent.parent
OUTPUT = ROOT / "data" / "snook-ciriello-1991.csv"

LIFT_H = [10, 20, 30]
LIFT_D = [10, 20, 30]
LIFT_PERIODS = [5, 9, 14, 60, 120, 300, 1800, 28800]
LIFT_PERCENT = [90, 75, 50, 25, 10]
PUSH_DIST = ["6.89", "25", "50", "100", "150", "200"]
PUSH_PERIODS = [5, 14, 60, 120, 300, 1800, 28800]
PERCENT = [90, 75, 50]
HANDLE = {"male": [25, 37, 57], "female": [22, 35, 53]}
CARRY_DIST = ["6.89", "14", "28"]
CARRY_PERIODS = [6, 12, 60, 120, 300, 1800, 28800]
CARRY_HEIGHT = {"male": [31, 44], "female": [28, 41]}

# The known rows: (table, axis values before the period) -> values by period.
KNOWN = {
    ("male_lift", "0", "10", "10", "", "", "90"): [22, 26, 31, 40, 44, 48, 51, 59],
    ("male_lift", "0", "10", "10", "", "", "10"): [64, 77, 90, 115, 130, 141, 146, 168],
    ("male_push_initial", "", "", "", "6.89", "25", "90"): [42, 48, 53, 53, 55, 57, 68],
    ("male_carry", "", "", "", "6.89", "31", "90"): [29, 37, 46, 46, 51, 57, 68],
}

HEADER = """\
# Snook and Ciriello (1991) tables of maximum acceptable weights and forces, in pounds.
# S. H. Snook and V. M. Ciriello, Ergonomics 34(9):1197-1213, 1991.
# Written by tools/gen_snook_data.py. Only the four rows known to this project are filled
# (male lift, floor to knuckle, H 10 in, D 10 in, 90 % and 10 %; male initial push and male
# carry at the first distance and height, 90 %); every other cell is NA (missing). Replace
# NA with the paper's values to complete a table; `mkmanikin snook-check FILE` checks a file.
# Lift and lower: zone 0 floor to knuckle, 1 knuckle to shoulder, 2 shoulder to arm reach.
# Pull tables cover the first three push distances (6.89, 25, 50 ft).
table,zone,h_in,d_in,distance_ft,height_in,percent,period_s,value_lb
"""


def rows():
    order = []
    for kind in ("lift", "lower"):
        for sex in ("male", "female"):
            order.append((f"{sex}_{kind}", "lift", sex))
    for sex in ("male", "female"):
        for variant in ("initial", "sustained"):
            order.append((f"{sex}_push_{variant}", "push", sex))
    for sex in ("male", "female"):
        for variant in ("initial", "sustained"):
            order.append((f"{sex}_pull_{variant}", "pull", sex))
    for sex in ("male", "female"):
        order.append((f"{sex}_carry", "carry", sex))
    for table, kind, sex in order:
        if kind == "lift":
            for zone in range(3):
                for h in LIFT_H:
                    for d in LIFT_D:
                        for p in LIFT_PERCENT:
                            key = (table, str(zone), str(h), str(d), "", "", str(p))
                            yield key, LIFT_PERIODS
        else:
            dists = CARRY_DIST if kind == "carry" else PUSH_DIST[:3] if kind == "pull" else PUSH_DIST
            heights = CARRY_HEIGHT[sex] if kind == "carry" else HANDLE[sex]
            periods = CARRY_PERIODS if kind == "carry" else PUSH_PERIODS
            for dist in dists:
                for height in heights:
                    for p in PERCENT:
                        yield (table, "", "", "", dist, str(height), str(p)), periods


def generate():
    lines = [HEADER.rstrip("\n")]
    found = set()
    for key, periods in rows():
        values = KNOWN.get(key)
        if values:
            found.add(key)
        for i, period in enumerate(periods):
            value = str(values[i]) if values else "NA"
            lines.append(",".join(key) + f",{period},{value}")
    if found != set(KNOWN):
        sys.exit("a known row is not in the layout")
    return "\n".join(lines) + "\n"


if __name__ == "__main__":
    sys.exit(write_or_check(OUTPUT, generate))
