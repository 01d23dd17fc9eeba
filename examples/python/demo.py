#!/usr/bin/env python3
"""The numbers of `mkmanikin demo`, from Python: the 5th-percentile woman,
the 50th-percentile man and the 95th-percentile man of the built-in
population, their stature, weight, sitting height and span, and their skins
written as OBJ files and pictures into a folder (default mkmanikin-demo-py).

    PYTHONPATH=build/python python3 examples/python/demo.py [FOLDER]
"""
import os
import sys

import mkmanikin

MEMBERS = [("female", 5, "5th percentile female"),
           ("male", 50, "50th percentile male"),
           ("male", 95, "95th percentile male")]
COLUMNS = [("STATURE", 11), ("WEIGHT", 10), ("SITTHGHT", 16), ("SPAN", 10)]


def main(folder):
    os.makedirs(folder, exist_ok=True)
    print(" " * 27 + "stature    weight  sitting height      span")
    for sex, percentile, title in MEMBERS:
        man = mkmanikin.Manikin.create(sex=sex, percentile=percentile)
        man.posture = "standing"
        units = {r["acronym"]: r["unit"] for r in man.records()}
        cells = [f"{man.dimensions[a]:.1f} {units[a]}".rjust(width) for a, width in COLUMNS]
        print(f"  {title:<22}" + "".join(cells))
        stem = os.path.join(folder, f"{sex}-p{percentile}")
        man.skin().write_obj(stem + ".obj")
        man.write_png(stem + ".png", width=400, height=500)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "mkmanikin-demo-py")
