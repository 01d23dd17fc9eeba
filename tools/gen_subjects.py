#!/usr/bin/env python3
"""Generates the subject records of data/subjects/ from the raw records of both US Army surveys.

  python3 tools/gen_subjects.py --source1988 DIR --source2012 DIR

--source1988 holds ansur_women.txt and ansur_men.txt, the 1988 Anthropometric Survey of U.S. Army
Personnel (tab-separated, mm and 0.1 kg, -999 for a missing value); --source2012 holds
ansur2_women.csv and ansur2_men.csv, the 2012 survey's public release (Windows-1252, CRLF, mm,
0.1 kg, the interpupillary breadth in 0.1 mm). Their SHA-256 must be the ones below.

Writes ansur1988_female.csv, ansur1988_male.csv, ansur2012_female.csv and ansur2012_male.csv: one
line per subject in the survey's order, the subject number, then one column per variable the
survey measures exactly as the library defines it, headed by the variable's acronym, in ascending
reference number; values in cm (kg for <WEIGHT>) with the decimals the survey recorded, a missing
value an empty field. The 1988 columns are the exact rows of tools/anthro/mapping.csv (84). The
2012 columns are the exact rows of tools/ansur2/mapping.csv without a flag (54): a flagged row
measures a dimension whose definition or landmark differs between the surveys, so that variable
is predicted rather than fixed at a value measured another way. Only the standard library is used
and the output is deterministic.
"""

import argparse
import csv
import hashlib
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
OUTPUT = ROOT / "data" / "subjects"

SOURCES = {
    ("1988", "female"): ("ansur_women.txt", 2208,
                         "38812965c4b634b076db82cf81d01f207023affa57af5418fd366510da368292"),
    ("1988", "male"): ("ansur_men.txt", 1774,
                       "ce0de2ff9c7d8ba7ed0cc779f18f102aa78a6b62ce4a3b06448c4001f22c055f"),
    ("2012", "female"): ("ansur2_women.csv", 1986,
                         "ed7e800aa97a4d42f8286b988be2fe1883a2e789588169db959864b707d1757a"),
    ("2012", "male"): ("ansur2_men.csv", 4082,
                       "2c10580d721799cd7d341733e6aa736b34e29979e75dfbd7aeeb3a757e5e7f4f"),
}


def fail(message):
    sys.exit("gen_subjects: " + message)


def variables(survey):
    """(acronym, source column, decimals) of the variables fixed from that survey's records."""
    if survey == "1988":
        with open(ROOT / "tools" / "anthro" / "mapping.csv", newline="") as f:
            rows = [r for r in csv.DictReader(f) if r["match"] == "exact"]
        chosen = [(int(r["ref"]), r["acronym"], r["source_column"], 1) for r in rows]
    else:
        with open(ROOT / "tools" / "ansur2" / "mapping.csv", newline="") as f:
            rows = [r for r in csv.DictReader(f) if r["match"] == "exact" and not r["flag"]]
        # ansur2_to_cm is 0.1 (mm, or 0.1 kg to kg) or 0.01 (0.1 mm).
        decimals = {"0.1": 1, "0.1 (to kg)": 1, "0.01": 2}
        chosen = []
        for r in rows:
            if r["ansur2_to_cm"] not in decimals:
                fail(f"{r['acronym']}: unknown conversion {r['ansur2_to_cm']}")
            chosen.append((int(r["ref"]), r["acronym"], r["ansur2_column"],
                           decimals[r["ansur2_to_cm"]]))
    return [c[1:] for c in sorted(chosen)]


def scaled(text, decimals):
    """An integer record in the survey's unit as a decimal in cm or kg; empty when missing."""
    value = int(text)
    if value <= 0:
        return ""
    unit = 10 ** decimals
    return f"{value // unit}.{value % unit:0{decimals}d}"


def records(path, survey):
    data = path.read_bytes()
    if survey == "1988":
        lines = data.decode("ascii").splitlines()
        return [line.split("\t") for line in lines]
    return list(csv.reader(data.decode("cp1252").splitlines()))


def write(source, survey, sex, chosen):
    name, count, digest = SOURCES[(survey, sex)]
    path = source / name
    if hashlib.sha256(path.read_bytes()).hexdigest() != digest:
        fail(f"{path} is not the expected survey file (SHA-256 differs)")
    rows = records(path, survey)
    header = [column.lower() for column in rows[0]]
    index = []
    for _, column, _ in chosen:
        if column.lower() not in header:
            fail(f"{path}: no column {column}")
        index.append(header.index(column.lower()))
    out = OUTPUT / f"ansur{survey}_{sex}.csv"
    with open(out, "w", newline="") as f:
        f.write(",".join(["SUBJECT_NUMBER"] + [acronym for acronym, _, _ in chosen]) + "\n")
        for number, fields in enumerate(rows[1:], start=2):
            if len(fields) <= max(index):
                fail(f"{path}:{number}: {len(fields)} fields")
            values = [scaled(fields[i], d) for i, (_, _, d) in zip(index, chosen)]
            f.write(",".join([fields[0]] + values) + "\n")
    if len(rows) - 1 != count:
        fail(f"{path}: {len(rows) - 1} subjects, expected {count}")
    print(f"{out.relative_to(ROOT)}: {count} subjects, {len(chosen)} variables")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source1988", required=True, type=pathlib.Path,
                        help="folder of ansur_women.txt and ansur_men.txt")
    parser.add_argument("--source2012", required=True, type=pathlib.Path,
                        help="folder of ansur2_women.csv and ansur2_men.csv")
    args = parser.parse_args()
    OUTPUT.mkdir(parents=True, exist_ok=True)
    for (survey, sex) in SOURCES:
        source = args.source1988 if survey == "1988" else args.source2012
        write(source, survey, sex, variables(survey))
    return 0


if __name__ == "__main__":
    sys.exit(main())
