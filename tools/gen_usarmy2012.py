#!/usr/bin/env python3
"""Generates data/USArmy2012.mkudb, the population "US ARMY 2012" shipped with the library, and
tools/ansur2/statistics.csv, its statistics in readable form, from the raw records of the 2012
Anthropometric Survey of U.S. Army Personnel (ANSUR II) and tools/ansur2/mapping.csv.

  python3 tools/gen_usarmy2012.py RECORDS_DIR [--check]

RECORDS_DIR holds the survey's public files as released, "ansur2_women.csv" and "ansur2_men.csv"
(Windows-1252, CRLF; their SHA-256 are in tools/ansur2/README.md and are checked). Only the
standard library is used and the output is deterministic.

The population is a user anthropometric database record (the library's stream format): for each
of the 68 variables that mapping.csv maps exactly or approximately, the sample mean and standard
deviation (n - 1) per sex, converted to cm (kg for the weight), and the Pearson correlations per
sex among those 68 variables. Every other variable is completed by the library when the database
is read, by prediction from the built-in population. --check compares with the files on disk
instead of writing them (exit status 1 when they differ).
"""

import argparse
import csv
import hashlib
import math
import pathlib
import struct
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
MAPPING = ROOT / "tools" / "ansur2" / "mapping.csv"
STATISTICS = ROOT / "tools" / "ansur2" / "statistics.csv"
OUTPUT = ROOT / "data" / "USArmy2012.mkudb"

RECORDS = {
    0: ("ansur2_women.csv", "ed7e800aa97a4d42f8286b988be2fe1883a2e789588169db959864b707d1757a", 1986),
    1: ("ansur2_men.csv", "2c10580d721799cd7d341733e6aa736b34e29979e75dfbd7aeeb3a757e5e7f4f", 4082),
}

NAME = "US ARMY 2012"
# Fixed so that manikins saved on this population find it again.
UUID = "1c465945-b0d2-4c01-be82-db33e683e28f"
REVISION = 1.0
# The memo's time stamp: 2026-12-10 00:00 UTC, fixed for a deterministic file.
MEMO_TIME = 1796860800
MEMO = (
    "US ARMY 2012: the 2012 Anthropometric Survey of U.S. Army Personnel (ANSUR II), "
    "1,986 women and 4,082 men. Gordon et al., NATICK/TR-15/007 (2014); public release "
    "databases cleared for unlimited public release (US Government work). Means, standard "
    "deviations and correlations of the 68 variables measured in both surveys, from the "
    "records; the other variables are predicted from the built-in population."
)


def check_input(path, digest):
    data = path.read_bytes()
    if hashlib.sha256(data).hexdigest() != digest:
        sys.exit(f"{path}: not the released file (SHA-256 differs)")


def mapped_variables():
    rows = []
    with MAPPING.open(newline="") as f:
        for row in csv.DictReader(f):
            if row["match"] in ("exact", "approximate"):
                factor = float(row["ansur2_to_cm"].split()[0])
                rows.append((int(row["ref"]), row["acronym"], row["ansur2_column"], factor))
    rows.sort()
    if len(rows) != 68:
        sys.exit(f"{MAPPING}: {len(rows)} mapped variables, expected 68")
    return rows


def read_columns(path, count, variables):
    with path.open(encoding="cp1252", newline="") as f:
        reader = csv.reader(f)
        header = [name.lower() for name in next(reader)]
        index = [header.index(column) for _, _, column, _ in variables]
        columns = [[] for _ in variables]
        for row in reader:
            for k, (i, (_, _, _, factor)) in enumerate(zip(index, variables)):
                columns[k].append(int(row[i]) * factor)
    if len(columns[0]) != count:
        sys.exit(f"{path}: {len(columns[0])} subjects, expected {count}")
    return columns


def statistics(columns):
    n = len(columns[0])
    means = [math.fsum(c) / n for c in columns]
    centred = [[x - m for x in c] for c, m in zip(columns, means)]
    sds = [math.sqrt(math.fsum(x * x for x in c) / (n - 1)) for c in centred]
    correlations = {}
    for a in range(len(columns)):
        for b in range(a + 1, len(columns)):
            s = math.fsum(x * y for x, y in zip(centred[a], centred[b])) / (n - 1)
            correlations[(a, b)] = s / (sds[a] * sds[b])
    return n, means, sds, correlations


class Stream:
    """The library's stream encodings: big-endian ints and doubles, strings as a count of
    2-byte characters."""

    def __init__(self):
        self.data = bytearray()

    def tag(self, kind, end):
        self.data += f"{kind:04d}{end}".encode("ascii")

    def int(self, value):
        self.data += struct.pack(">i", value)

    def double(self, value):
        self.data += struct.pack(">d", value)

    def string(self, text):
        self.int(len(text))
        for c in text:
            self.data += struct.pack(">H", ord(c))


def string_size(text):
    return 4 + 2 * len(text)


def memo_record():
    body = Stream()
    body.int(0)
    body.int(MEMO_TIME)
    body.string(MEMO)
    body.string("0000")  # no owner kind
    record = Stream()
    record.tag(13, "B")
    record.double(2.0)
    record.int(len(body.data))
    record.data += body.data
    record.tag(13, "E")
    return record.data


def variable_record(ref, acronym, means, sds, partners):
    body = Stream()
    for value in (means[1], means[0], sds[1], sds[0]):
        body.double(value)
    body.int(ref)
    body.string(acronym)
    body.int(len(partners))
    for partner, r0, r1 in partners:
        body.int(partner)
        body.double(r1)
        body.double(r0)
    record = Stream()
    record.tag(22, "B")
    record.double(2.0)
    record.int(len(body.data))
    record.data += body.data
    record.tag(22, "E")
    return record.data


def database_record(variables, stats):
    body = Stream()
    body.string(NAME)
    body.data += memo_record()
    body.string(UUID)
    body.double(REVISION)
    for k, (ref, acronym, _, _) in enumerate(variables):
        partners = [
            (variables[j][0], stats[0][3][(k, j)], stats[1][3][(k, j)])
            for j in range(k + 1, len(variables))
        ]
        means = {sex: stats[sex][1][k] for sex in (0, 1)}
        sds = {sex: stats[sex][2][k] for sex in (0, 1)}
        body.data += variable_record(ref, acronym, means, sds, partners)
    record = Stream()
    record.tag(21, "B")
    record.double(1.0)
    record.int(len(body.data))
    record.data += body.data
    record.tag(21, "E")
    return bytes(record.data)


def statistics_table(variables, stats):
    lines = ["ref,acronym,ansur2_column,n_female,mean_female,sd_female,n_male,mean_male,sd_male"]
    for k, (ref, acronym, column, _) in enumerate(variables):
        lines.append(
            f"{ref},{acronym},{column},{stats[0][0]},{stats[0][1][k]:.4f},{stats[0][2][k]:.4f},"
            f"{stats[1][0]},{stats[1][1][k]:.4f},{stats[1][2][k]:.4f}"
        )
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("records", type=pathlib.Path)
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()
    variables = mapped_variables()
    stats = {}
    for sex, (name, digest, count) in RECORDS.items():
        path = args.records / name
        check_input(path, digest)
        stats[sex] = statistics(read_columns(path, count, variables))
    outputs = {OUTPUT: database_record(variables, stats),
               STATISTICS: statistics_table(variables, stats).encode("ascii")}
    if args.check:
        stale = [str(p) for p, data in outputs.items() if not p.exists() or p.read_bytes() != data]
        if stale:
            print("out of date: " + ", ".join(stale))
            return 1
        return 0
    for path, data in outputs.items():
        path.write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
