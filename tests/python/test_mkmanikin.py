"""The Python module: every binding once, the error paths, and the
properties that tie it to the library and the command-line tool."""
import json
import math
import os
import random
import subprocess

import numpy as np
import pytest

import mkmanikin
from mkmanikin import Manikin, MKError


@pytest.fixture(scope="module")
def man():
    return Manikin.create(sex="male", percentile=50)


def test_create_and_dimensions():
    woman = Manikin.create(sex="female", percentile=5)
    stature = woman.dimensions["STATURE"]
    assert str(stature) == "152.5" and round(stature, 1) == 152.5 and stature != 152.5
    assert (woman.sex, woman.percentile) == ("female", 5)
    assert repr(woman) == '<Manikin female, 5th percentile of "US NATICK">'
    # Fixed by value and by percentile: kept, marked fixed, without a deviation.
    tall = Manikin.create(sex="male", fixed={"STATURE": 180}, fixed_percentiles={"<WEIGHT>": 90})
    rows = {r["acronym"]: r for r in tall.records()}
    assert rows["STATURE"]["value"] == pytest.approx(180) and rows["STATURE"]["source"] == "fixed"
    assert rows["WEIGHT"]["percentile"] == pytest.approx(90, abs=0.01)
    assert rows["SPAN"]["source"] == "predicted" and rows["SPAN"]["conditionalStdDev"] > 0
    army = Manikin.create(sex=0, population="US ARMY 2012")
    assert army.population == "US ARMY 2012" and army.sex == "female"


def test_create_errors():
    for arguments, code in ((dict(sex="other"), 6), (dict(percentile=0), 7),
                            (dict(fixed={"STATURX": 170}), 1000),
                            (dict(population="no such population"), 300)):
        with pytest.raises(MKError) as caught:
            Manikin.create(**arguments)
        assert caught.value.code == code
        assert caught.value.text and caught.value.text in str(caught.value)
        assert f"(status {code})" in str(caught.value)


def test_dofs_stay_within_limits(man):
    rng = random.Random(20)
    segments = [s for s, values in man.posture.items()]
    for _ in range(200):
        segment = rng.choice(segments)
        index = rng.choice([i for i, v in enumerate(man.posture[segment]) if v is not None])
        dof = man.dof(segment, index)
        low, high = dof.limits
        assert low <= high
        wanted = rng.uniform(low - 30, high + 30)
        try:
            dof.value = wanted
        except MKError as e:  # a locked DOF refuses; it keeps its value
            assert e.code in (12, 400), (segment, index, wanted)
            continue
        assert low - 1e-9 <= dof.value <= high + 1e-9, (segment, index, wanted)
        if low <= wanted <= high and not dof.segment.startswith("SBo"):
            assert dof.value == pytest.approx(wanted, abs=1e-9), (segment, index)
    with pytest.raises(KeyError):
        man.dof("NoSuch", 0)


def run_tool(arguments):
    tool = os.environ.get("MKMANIKIN_TOOL")
    if not tool:
        pytest.skip("MKMANIKIN_TOOL names no command-line tool")
    output = subprocess.run([tool, *arguments], check=True, capture_output=True, text=True)
    return json.loads(output.stdout)


def test_reach_is_the_tools_bit_for_bit_and_refuses_bad_targets(man):
    woman = Manikin.create(sex="female", percentile=5)
    result = woman.reach(hand="left", position=(-25, 110, 35), orientation=(0, 90, 0))
    tool = run_tool(["reach", "--sex", "female", "--percentile", "5", "--left", "-25,110,35",
                     "--left-rotation", "0,90,0"])
    assert result.code == tool["code"]
    assert result.angles == tool["dofs"]  # exact: the same doubles
    assert woman.posture == result.angles
    man.posture = "standing"
    hand = man.reach(position=(20, 30, 30))
    assert hand.reached and hand.code == 0 and hand.hand_error < 0.5
    far = man.reach(hand="left", position=(0, 300, 0))
    assert not far.reached and far.code == 1300 and far.hand_error > 50
    assert "cannot reach" in far.text
    with pytest.raises(MKError) as caught:
        man.reach(position=(0, 300, 0), strict=True)
    assert caught.value.code == 1300
    for bad in (dict(hand="third", position=(0, 0, 0)), dict(position=(math.nan, 0, 0)),
                dict(position=(20, 30, 30), orientation=(0, math.inf, 0))):
        with pytest.raises(ValueError):
            man.reach(**bad)


def test_lift_is_the_tools_with_every_intermediate_value(man):
    task = dict(origin="standing", destination="arms-out", load=8, frequency=2, coupling="fair")
    tool = run_tool(["lift", "--sex", "male", "--origin-posture", "standing",
                     "--destination-posture", "arms-out", "--load", "8", "--frequency", "2",
                     "--coupling", "fair", "--format", "json"])
    r = man.lift(method="niosh1991", **task)
    niosh = tool["NIOSH 1991"]
    for end in ("Origin", "Destination"):
        where = end.lower()
        for name in ("H", "V", "HM", "VM", "AM", "CM"):
            unit = " (m)" if name in ("H", "V") else ""
            assert getattr(r, name.lower() + end) == niosh[f"{name} {where}{unit}"], name
        assert getattr(r, "rwl" + end) == niosh[f"RWL {where} (kg)"]
        assert getattr(r, "li" + end) == niosh[f"LI {where}"]
        product = (r.lc * getattr(r, "hm" + end) * getattr(r, "vm" + end) * r.dm
                   * getattr(r, "am" + end) * r.fm * getattr(r, "cm" + end))
        assert getattr(r, "rwl" + end) == pytest.approx(product, rel=1e-9)
    assert (r.d, r.lc, r.dm, r.fm) == (niosh["D (m)"], niosh["LC (kg)"], niosh["DM"], niosh["FM"])
    assert r.code == 0
    r81 = man.lift(method="niosh1981", **task)
    assert r81.actionLimit == tool["NIOSH 1981"]["action limit (kg)"]
    assert r81.maximumPermissibleLimit == pytest.approx(3 * r81.actionLimit, rel=1e-9)
    assert math.isnan(r81.rwlOrigin)
    # A warning leaves the result standing, with its code.
    r21 = man.lift(method="lm2021", **task)
    assert r21.code == 256
    assert r21.liftLowerWeight == tool["Liberty Mutual 2021"]["acceptable weight (N)"]
    with pytest.raises(MKError) as caught:  # the data file lacks that cell
        man.lift(method="snook1991", **task)
    assert caught.value.code == 3 and "not available" in str(caught.value)
    with pytest.raises(ValueError):
        man.lift(method="guesswork")


def test_skin_arrays_and_files(man, tmp_path):
    man.posture = "standing"
    skin = man.skin()
    vertices, normals, triangles = skin.vertices, skin.normals, skin.triangles
    assert vertices.shape[1] == 3 and normals.shape == vertices.shape
    assert triangles.shape[1] == 3 and triangles.max() < len(vertices)
    assert np.allclose(np.linalg.norm(normals, axis=1), 1.0)
    height = vertices[:, 1].max() - vertices[:, 1].min()
    assert height == pytest.approx(man.dimensions["STATURE"], rel=0.05)
    skin.write_obj(str(tmp_path / "m.obj"))
    assert (tmp_path / "m.obj").read_text().count("\nf ") == len(triangles)
    man.write_png(str(tmp_path / "m.png"), width=200, height=240)
    assert (tmp_path / "m.png").read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
    with pytest.raises(OSError):
        skin.write_obj(str(tmp_path / "no-such-dir" / "m.obj"))


def test_bytes_round_trip_and_hostile_bytes():
    man = Manikin.create(sex="female", percentile=95, fixed={"STATURE": 175})
    man.posture = "sitting"
    data = man.to_bytes()
    back = Manikin.from_bytes(data)
    assert back.dimensions == man.dimensions and back.posture == man.posture
    assert Manikin.from_bytes(back.to_bytes()).posture == man.posture
    rng = random.Random(2026)
    for trial in range(60):
        damaged = bytearray(data)
        if trial % 3 == 0:
            damaged = damaged[: rng.randrange(len(data))]
        else:
            for _ in range(rng.randint(1, 8)):
                damaged[rng.randrange(len(damaged))] = rng.randrange(256)
        try:
            read = Manikin.from_bytes(bytes(damaged))
        except MKError as e:
            assert e.code != 0 and e.text
            continue
        read.to_bytes()  # what was accepted is a whole manikin
        assert set(read.dimensions) == set(man.dimensions)
    for junk in (b"", b"\x00" * 64, bytes(range(256))):
        with pytest.raises(MKError):
            Manikin.from_bytes(junk)


STUDY = {"population": {"count": 4, "seed": 11},
         "checks": [{"type": "reach", "point": [-15, 130, 40]},
                    {"type": "posture", "max_score": 4}]}


def test_study_rows_are_the_same_for_any_jobs():
    calls = []
    rows = mkmanikin.study(STUDY, jobs=1, progress=lambda done, total: calls.append((done, total)))
    assert len(rows) == 8 and calls[-1] == (8, 8)
    assert [r["sex"] for r in rows] == ["female"] * 4 + ["male"] * 4
    assert mkmanikin.study(json.dumps(STUDY), jobs=2) == rows
    with pytest.raises(ValueError):
        mkmanikin.study({"title": "no checks"})
