#!/usr/bin/env python3
"""Generates the survey sample of the anthropometry tests in tests/anthro/data/.

Writes us_natick_sample_female.csv and us_natick_sample_male.csv.

  python3 tools/gen_anthro_sample.py --source DIR

DIR holds the raw records of the 1988 Anthropometric Survey of U.S. Army Personnel,
ansur_women.txt and ansur_men.txt (tab-separated, one subject per line, mm and 0.1 kg, -999 for a
missing value); their SHA-256 must be the ones below, so that the sample is always the same.

The sample is every 4th subject of each file, starting with the first (552 women, 444 men). Its
columns are the subject number and every variable of the "US NATICK" population that
tools/anthro/mapping.csv maps exactly to a survey column (84, stature and weight among them),
headed by the variable's acronym, in ascending reference number. Values are converted to cm (kg
for <WEIGHT>) with one decimal, as the survey recorded them; a missing value is an empty field.
Only the standard library is used and the output is deterministic.
"""

import argparse
import csv
import hashlib
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
MAPPING = ROOT / "tools" / "anthro" / "mapping.csv"
OUTPUT = ROOT / "tests" / "anthro" / "data"
STEP = 4

SOURCES = {
    "female": ("ansur_women.txt",
               "38812965c4b634b076db82cf81d01f207023affa57af5418fd366510da368292"),
    "male": ("ansur_men.txt",
             "ce0de2ff9c7d8ba7ed0cc779f18f102aa78a6b62ce4a3b06448c4001f22c055f"),
}


def fail(message):
    sys.exit("gen_anthro_sample: " + message)


def exact_variables():
    with open(MAPPING, newline="") as f:
        rows = [row for row in csv.DictReader(f) if row["match"] == "exact"]
    return sorted(rows, key=lambda row: int(row["ref"]))


def convert(text):
    value = int(text)  # the survey records integers: mm, or 0.1 kg for the weight
    if value <= 0:
        return ""
    return f"{value // 10}.{value % 10}"


def write_sample(source_dir, sex, variables):
    name, digest = SOURCES[sex]
    path = source_dir / name
    data = path.read_bytes()
    if hashlib.sha256(data).hexdigest() != digest:
        fail(f"{path} is not the expected survey file (SHA-256 differs)")
    lines = data.decode("ascii").splitlines()
    header = lines[0].split("\t")
    columns = {column: i for i, column in enumerate(header)}
    for variable in variables:
        if variable["source_column"] not in columns:
            fail(f"{path}: no column {variable['source_column']}")
    needed = 1 + max(columns[v["source_column"]] for v in variables)
    out = OUTPUT / f"us_natick_sample_{sex}.csv"
    with open(out, "w", newline="") as f:
        f.write(",".join(["SUBJECT_NUMBER"] + [v["acronym"] for v in variables]) + "\n")
        count = 0
        for number, line in enumerate(lines[1:], start=2):
            if (number - 2) % STEP:
                continue
            fields = line.split("\t")
            # Some lines end before the last (demographic) fields; the measurements come first.
            if len(fields) < needed:
                fail(f"{path}:{number}: {len(fields)} fields, expected at least {needed}")
            values = [convert(fields[columns[v["source_column"]]]) for v in variables]
            f.write(",".join([fields[0]] + values) + "\n")
            count += 1
    print(f"{out.relative_to(ROOT)}: {count} subjects, {len(variables)} variables")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source", required=True, type=pathlib.Path,
                        help="folder of ansur_women.txt and ansur_men.txt")
    args = parser.parse_args()
    variables = exact_variables()
    OUTPUT.mkdir(parents=True, exist_ok=True)
    for sex in SOURCES:
        write_sample(args.source, sex, variables)
    return 0


if __name__ == "__main__":
    sys.exit(main())
