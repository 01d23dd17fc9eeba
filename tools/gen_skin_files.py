#!/usr/bin/env python3
"""Generates the head skin data: data/female.skn, data/male.skn, data/FHeadSkin.bmp, data/MHeadSkin.bmp.

  python3 tools/gen_skin_files.py [--data DIR] [--preview DIR]

Only the standard library is used. The output is deterministic. --preview also writes PNG views
of each head (front, side, top) as placed on the reference layout below, for checking by eye.

What the files hold
-------------------
A closed base mesh of the head and face for subdivision: quadrilateral faces around the head
ellipses, with groups of faces for the hair, eyebrows, eyelids, whites of the eyes, irises,
pupils and lips. The format is the one MKBody::ReadSKNData reads (src/body/MKBody.h). Both files
use "." decimals.

Vertex placement (the anchor rule)
----------------------------------
Every vertex has two anchors. Anchor k (k = 1, 2) names an ellipse E_k by short name and gives
four parameters (theta_k, rho_k, h_k, w_k). With a_k = major axis / 2 and b_k = minor axis / 2
of E_k, the anchor point in E_k's own frame is

    Q_k = (rho_k * a_k * cos(theta_k),  rho_k * b_k * sin(theta_k),  h_k * (a_k + b_k) / 2)

with theta_k in degrees: theta is the angle in the ellipse plane from the ellipse's +X end
towards its +Y end (the parameterisation MKEllipse::CreateSamplePoints samples), rho scales the
distance from the centre (1 is on the ellipse), and h lifts the point along the ellipse's
normal (+Z) in units of its mean half-axis. Q_k is carried into the world by E_k's global
matrix (row vector: Q_k * local matrix * owner segment's global matrix). The vertex is

    P = (w_1 * Q_1 + w_2 * Q_2) / (w_1 + w_2).

In these files w_1, w_2 >= 0 and w_1 + w_2 = 1; a builder should take w_1 = w_2 = 0.5 when
the sum is not positive. The rule needs only each ellipse's axes and global matrix, and it is
unchanged by any motion common to both ellipses, so it may as well be evaluated in the head
segment's frame. The fifth parameter of an anchor in MKSubDVertex stays 0.

Conventions the data is shaped for
----------------------------------
The anchors use the current-generation head ellipses on SHeTo (EHeFh,
EHeGl, EHeEy, EHeNo, EHeSt, EHeMe, EHeCh, from the top down; EHeTo and EHeNe are not used).
The face is placed at theta = 90 degrees, the ellipses' +Y end. For ellipses on SHeTo without
a rotation of their own, in the reference posture, an ellipse's +Y is the manikin's front
(world +Z), its +Z is up (world +Y) and its +X is the manikin's right (world -X): SBoPh's
rotation (-90, 0, 180) turns the segment frame's +Y to world +Z, and the neck and head
rotations about X cancel the spine's. So the major axis is a head breadth (as <HEADBRTH> on
EHeFh and <BIZYBRH> on EHeNo are measured) and the minor axis a head depth (as <HEADLGTH> on
EHeGl), and each ellipse's +Y end is its frontal landmark (sellion, pronasale, stomion,
pogonion, menton).

The rings of vertices between two ellipses were shaped on this reference layout of the head
ellipses (centimetres in SHeTo's frame, +Y front, +Z up; the top of the head is at z = 10.8):

    male     z     centre y   major   minor       female: every number x 0.94, except the
    EHeFh   4.5    -0.6       15.5    18.6        centre y of EHeNo (1.3), whose minor axis is
    EHeGl   1.2    -0.1       15.1    19.7        19.2 (a smaller nose)
    EHeEy  -0.4     0.3       14.6    18.6
    EHeNo  -4.7     1.6       14.1    19.8
    EHeSt  -7.9     1.5       12.0    16.2
    EHeMe -10.9     1.0       10.4    16.0
    EHeCh -12.7     0.3        8.8    14.6

A head builder that places its ellipses close to this layout gets the intended head; the
anchors follow the ellipses wherever they are.

Mesh layout
-----------
32 meridians (vertex longitudes) by 20 rings, plus an 8 x 8 grid of quads closing the top and
one closing the bottom: 736 faces and 738 vertices. The meridians are dense over the face (the
eyes, nose and mouth each span several columns) and sparse at the back. The two top rings lie
on a dome over EHeFh (h > 0), the top cap continues that dome, and the bottom cap is a shallow
dome under EHeCh. Faces are numbered: the ring strips from the top down, each from meridian 0
(the manikin's right, theta = 0) round through the face; then the top cap; then the bottom cap.
Vertices: the rings from the top down, then the inner vertices of the top and bottom caps.

Each face lists its corners counter-clockwise seen from outside the head. Edge k of a face runs
from corner k to corner k + 1 (mod 4); its neighbourhood pair k is (the face across edge k, the
index of that same edge in that face). The mesh is closed, so every pair is filled.
The display segment of every face is SHeTo (26).
"""

import argparse
import math
import os
import struct
import sys
import zlib

# Ellipse short names.
EHeCh, EHeEy, EHeFh, EHeGl, EHeMe, EHeNe, EHeNo, EHeSt, EHeTo = range(1010, 1019)
SHeTo = 26

CAPACITY = {"faces": 900, "vertices": 900, "hair": 300, "eyebrows": 30, "eyelids": 30,
            "eyes_white": 20, "irises": 20, "pupils": 10, "lips": 30}

# Reference layout: name -> (z, centre y, major, minor), male.
MALE_LAYOUT = {
    EHeFh: (4.5, -0.6, 15.5, 18.6),
    EHeGl: (1.2, -0.1, 15.1, 19.7),
    EHeEy: (-0.4, 0.3, 14.6, 18.6),
    EHeNo: (-4.7, 1.6, 14.1, 19.8),
    EHeSt: (-7.9, 1.5, 12.0, 16.2),
    EHeMe: (-10.9, 1.0, 10.4, 16.0),
    EHeCh: (-12.7, 0.3, 8.8, 14.6),
}
STACK = [EHeFh, EHeGl, EHeEy, EHeNo, EHeSt, EHeMe, EHeCh]  # top down


def female_layout():
    layout = {name: tuple(v * 0.94 for v in values) for name, values in MALE_LAYOUT.items()}
    z, _, major, _ = layout[EHeNo]
    layout[EHeNo] = (z, 1.3, major, 19.2)
    return layout


# Meridians (degrees), 0 = the manikin's right, 90 = the front midline. Over the face each eye
# spans five columns (outer white, iris, pupil, iris, inner white).
MERIDIANS = [0, 14, 28, 40, 50, 58, 62, 66, 70, 78, 84, 90, 96, 102, 110, 114, 118, 122, 130, 140,
             152, 166, 180, 198, 216, 234, 252, 270, 288, 306, 324, 342]
M = len(MERIDIANS)
MIDLINE = MERIDIANS.index(90)
CAP = M // 4  # the caps are CAP x CAP grids whose border is a ring of M vertices

# Rings from the top down: ("dome", elevation in degrees) over EHeFh, or ("level", z) on the
# male reference layout, placed between the two ellipses of the stack that enclose that height
# (the weight found there serves both sexes).
RINGS = [("dome", 55.0), ("dome", 28.0), ("level", 4.5), ("level", 2.8), ("level", 1.5),
         ("level", 0.8), ("level", -0.3), ("level", -0.75), ("level", -1.25), ("level", -1.7),
         ("level", -2.5), ("level", -3.6), ("level", -4.7), ("level", -5.7), ("level", -6.9),
         ("level", -7.9), ("level", -8.9), ("level", -10.0), ("level", -10.9), ("level", -12.7)]
R = len(RINGS)
DOME_HEIGHT = 0.735    # top of the head over EHeFh, in EHeFh's mean half-axes
BOTTOM_HEIGHT = -0.35  # the bottom cap under EHeCh

# How far the meridians of a ring are evened out towards equal spacing (1 = equal), so that the
# caps meet rings of evenly spread vertices.
EVEN_OUT = {0: 1.0, 1: 0.5, R - 2: 0.5, R - 1: 1.0}

# Frontal relief: ring -> (depth, width in degrees). Off the midline the frontal half of a ring
# is drawn in by up to `depth` of its depth, so that the nose, lips and chin stand out of the
# face: depth * (1 - exp(-((theta - 90) / width)^2)).
RELIEF = {9: (0.03, 7.0), 10: (0.08, 7.0), 11: (0.15, 7.0), 12: (0.27, 7.0), 13: (0.2, 7.0),
          14: (0.07, 22.0), 15: (0.08, 22.0), 16: (0.07, 22.0), 17: (0.05, 25.0),
          18: (0.08, 25.0), 19: (0.05, 25.0)}
# Eye sockets: rings -> depth of a hollow centred on each pupil meridian.
SOCKETS = {5: 0.02, 6: 0.04, 7: 0.04, 8: 0.04, 9: 0.02}
PUPILS = (64.0, 116.0)

# Feature faces by (row, column): row r is the strip between rings r and r + 1, column c the
# one between meridians c and c + 1.
EYES = [(4, 5, 6, 7, 8), (13, 14, 15, 16, 17)]  # outer/inner white, iris, pupil, iris, white


def feature_cells(sex):
    eyebrows = [(4, c) for c in list(range(3, 9)) + list(range(13, 19))]
    eyelids = [(r, c) for r in (5, 9) for eye in EYES for c in eye]
    whites = [(r, c) for r in (6, 7, 8) for eye in EYES for c in (eye[0], eye[4])]
    irises = [(r, c) for r in (6, 7, 8) for eye in EYES for c in eye[1:4] if (r, c) != (7, eye[2])]
    pupils = [(7, eye[2]) for eye in EYES]
    lips = [(r, c) for r in (14, 15) for c in range(6, 16)]
    back = list(range(22, 32))
    sides = [0, 1, 20, 21]
    last_back_row, last_side_row = (13, 10) if sex == 0 else (12, 8)
    hair = [(r, c) for r in (0, 1) for c in range(M)]
    hair += [(2, c) for c in range(M) if not 2 <= c <= 19]
    hair += [(r, c) for r in range(3, last_back_row + 1) for c in back]
    hair += [(r, c) for r in range(3, last_side_row + 1) for c in sides]
    return {"hair": hair, "eyebrows": eyebrows, "eyelids": eyelids, "eyes_white": whites,
            "irises": irises, "pupils": pupils, "lips": lips}


# ---------------------------------------------------------------------------------------------
# Anchors


def even_meridian(j):
    return 90.0 + (j - MIDLINE) * 360.0 / M


def ring_meridian(r, j):
    """Meridian of vertex j of ring r, evened out near the caps."""
    share = EVEN_OUT.get(r, 0.0)
    a, b = MERIDIANS[j], even_meridian(j)
    delta = (b - a + 180.0) % 360.0 - 180.0
    return (a + share * delta) % 360.0


def relief_factor(r, theta):
    factor = 1.0
    if r in RELIEF:
        depth, width = RELIEF[r]
        factor -= depth * (1.0 - math.exp(-((theta - 90.0) / width) ** 2))
    if r in SOCKETS:
        for pupil in PUPILS:
            factor -= SOCKETS[r] * math.exp(-((theta - pupil) / 14.0) ** 2)
    return factor


def in_plane(theta, factor):
    """(theta, rho) of the point at theta whose frontal coordinate is scaled by factor."""
    x = math.cos(math.radians(theta))
    y = math.sin(math.radians(theta))
    if y > 0.0:
        y *= factor
    return math.degrees(math.atan2(y, x)) % 360.0, math.hypot(x, y)


def enclosing(z, layout):
    """The two stacked ellipses around height z and the weight of the lower one."""
    for upper, lower in zip(STACK, STACK[1:]):
        zu, zl = layout[upper][0], layout[lower][0]
        if zl <= z <= zu:
            return upper, lower, (zu - z) / (zu - zl)
    raise ValueError("height %r is outside the head ellipses" % z)


def ring_anchors(r, j):
    kind, value = RINGS[r]
    if kind == "dome":
        theta = ring_meridian(r, j)
        rho = math.cos(math.radians(value))
        h = DOME_HEIGHT * math.sin(math.radians(value))
        return ((EHeFh, theta, rho, h, 0.5), (EHeFh, theta, rho, h, 0.5))
    upper, lower, t = enclosing(value, MALE_LAYOUT)
    t = round(t, 6)  # as written, so that the two weights add up to 1 exactly
    theta, rho = in_plane(ring_meridian(r, j), relief_factor(r, ring_meridian(r, j)))
    return ((upper, theta, rho, 0.0, 1.0 - t), (lower, theta, rho, 0.0, t))


def cap_grid(border):
    """Inner points of a CAP x CAP grid whose border (4 * CAP points of the unit disc, in order)
    is given: a Laplace-smoothed grid, starting from the square-to-disc mapping."""
    n = CAP
    grid = {}
    # Border walk: side 0 along v = 0 (u rising), side 1 along u = n, side 2 along v = n (u
    # falling), side 3 along u = 0; border[0] is the corner (0, 0).
    walk = [(i, 0) for i in range(n)] + [(n, i) for i in range(n)] + \
           [(n - i, n) for i in range(n)] + [(0, n - i) for i in range(n)]
    for (u, v), p in zip(walk, border):
        grid[(u, v)] = p
    for u in range(1, n):
        for v in range(1, n):
            su, sv = 2.0 * u / n - 1.0, 2.0 * v / n - 1.0
            grid[(u, v)] = (su * math.sqrt(1.0 - sv * sv / 2.0), sv * math.sqrt(1.0 - su * su / 2.0))
    for _ in range(400):
        for u in range(1, n):
            for v in range(1, n):
                ps = [grid[(u - 1, v)], grid[(u + 1, v)], grid[(u, v - 1)], grid[(u, v + 1)]]
                grid[(u, v)] = (sum(p[0] for p in ps) / 4.0, sum(p[1] for p in ps) / 4.0)
    return walk, grid


class Head:
    def __init__(self, sex):
        self.sex = sex
        self.layout = MALE_LAYOUT if sex == 1 else female_layout()
        self.anchors = []  # per vertex: ((name, theta, rho, h, w), (name, theta, rho, h, w))
        self.faces = []    # corner lists
        self.build()

    def ring_vertex(self, r, j):
        return r * M + (j % M)

    def build(self):
        for r in range(R):
            for j in range(M):
                self.anchors.append(ring_anchors(r, j))
        for r in range(R - 1):
            for c in range(M):
                self.faces.append([self.ring_vertex(r, c), self.ring_vertex(r + 1, c),
                                   self.ring_vertex(r + 1, c + 1), self.ring_vertex(r, c + 1)])
        self.top_faces = self.add_cap(0, EHeFh, DOME_HEIGHT, RINGS[0][1])
        self.bottom_faces = self.add_cap(R - 1, EHeCh, BOTTOM_HEIGHT, 0.0)

    def add_cap(self, ring, ellipse, height, elevation):
        """Closes the mesh over `ring` with a grid on a dome over `ellipse`."""
        rho0 = math.cos(math.radians(elevation))
        # The grid's corner (0, 0) sits half a side before the midline, so that the frontal side
        # of the grid faces the front.
        first = (MIDLINE - CAP // 2) % M
        order = [(first + i) % M for i in range(M)]
        border = []
        for j in order:
            theta = math.radians(ring_meridian(ring, j))
            border.append((math.cos(theta), math.sin(theta)))
        walk, grid = cap_grid(border)
        index = {}
        for (u, v), j in zip(walk, order):
            index[(u, v)] = self.ring_vertex(ring, j)
        for u in range(1, CAP):
            for v in range(1, CAP):
                x, y = grid[(u, v)]
                theta = math.degrees(math.atan2(y, x)) % 360.0
                rho = rho0 * math.hypot(x, y)
                h = height * math.sqrt(max(0.0, 1.0 - rho * rho))
                index[(u, v)] = len(self.anchors)
                self.anchors.append(((ellipse, theta, rho, h, 0.5), (ellipse, theta, rho, h, 0.5)))
        first_face = len(self.faces)
        for u in range(CAP):
            for v in range(CAP):
                self.faces.append([index[(u, v)], index[(u + 1, v)], index[(u + 1, v + 1)],
                                   index[(u, v + 1)]])
        return list(range(first_face, len(self.faces)))

    # -- evaluation on the reference layout ---------------------------------------------------

    def anchor_point(self, anchor):
        name, theta, rho, h, _ = anchor
        z, cy, major, minor = self.layout[name]
        a, b = major / 2.0, minor / 2.0
        t = math.radians(theta)
        return (rho * a * math.cos(t), cy + rho * b * math.sin(t), z + h * (a + b) / 2.0)

    def positions(self):
        points = []
        for first, second in self.anchors:
            p, q = self.anchor_point(first), self.anchor_point(second)
            w1, w2 = first[4], second[4]
            if w1 + w2 <= 0.0:
                w1 = w2 = 0.5
            points.append(tuple((w1 * pi + w2 * qi) / (w1 + w2) for pi, qi in zip(p, q)))
        return points

    def orient_caps(self):
        """Turns the cap faces outward (the grid's own orientation depends on its walk)."""
        points = self.positions()
        centre = tuple(sum(p[i] for p in points) / len(points) for i in range(3))
        for f in self.top_faces + self.bottom_faces:
            n = face_normal(points, self.faces[f])
            c = face_centre(points, self.faces[f])
            if dot(n, sub(c, centre)) < 0.0:
                self.faces[f].reverse()

    def neighbours(self):
        edges = {}
        for f, corners in enumerate(self.faces):
            for k in range(4):
                edges[(corners[k], corners[(k + 1) % 4])] = (f, k)
        result = []
        for f, corners in enumerate(self.faces):
            pairs = []
            for k in range(4):
                pairs.extend(edges[(corners[(k + 1) % 4], corners[k])])
            result.append(pairs)
        return result

    def features(self):
        groups = {}
        for name, cells in feature_cells(self.sex).items():
            groups[name] = [r * M + c for r, c in cells]
        groups["hair"] = groups["hair"] + self.top_faces
        return groups


# ---------------------------------------------------------------------------------------------
# Geometry helpers


def sub(a, b):
    return tuple(x - y for x, y in zip(a, b))


def dot(a, b):
    return sum(x * y for x, y in zip(a, b))


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def face_centre(points, corners):
    return tuple(sum(points[v][i] for v in corners) / 4.0 for i in range(3))


def face_normal(points, corners):
    p = [points[v] for v in corners]
    return cross(sub(p[2], p[0]), sub(p[3], p[1]))


# ---------------------------------------------------------------------------------------------
# Checks


def check(head):
    faces, groups = head.faces, head.features()
    nv, nf = len(head.anchors), len(faces)
    assert nf <= CAPACITY["faces"] and nv <= CAPACITY["vertices"], (nf, nv)
    directed = {}
    for f, corners in enumerate(faces):
        assert len(set(corners)) == 4, ("degenerate face", f)
        for k in range(4):
            edge = (corners[k], corners[(k + 1) % 4])
            assert edge not in directed, ("edge used twice in one direction", edge)
            directed[edge] = f
    for a, b in directed:
        assert (b, a) in directed, ("open or inconsistently oriented edge", (a, b))
    used = {v for corners in faces for v in corners}
    assert used == set(range(nv)), "unused vertices"
    assert nv - len(directed) // 2 + nf == 2, "not a sphere"
    points = head.positions()
    volume = 0.0
    for corners in faces:
        p = [points[v] for v in corners]
        for a, b, c in ((p[0], p[1], p[2]), (p[0], p[2], p[3])):
            volume += dot(a, cross(b, c)) / 6.0
        n = face_normal(points, corners)
        assert math.sqrt(dot(n, n)) > 1e-4, "collapsed face"
    assert volume > 0.0, "faces turned inward"
    for name, faces_of_group in groups.items():
        assert len(faces_of_group) <= CAPACITY[name], (name, len(faces_of_group))
        assert len(set(faces_of_group)) == len(faces_of_group), ("repeated face", name)
    taken = [f for g in groups.values() for f in g]
    assert len(taken) == len(set(taken)), "a face in two groups"
    # The face looks forward: the pupils and lips lie in front (+y) of the head's centre and
    # the eyes above the lips.
    centre = tuple(sum(p[i] for p in points) / nv for i in range(3))
    for name in ("pupils", "lips"):
        for f in groups[name]:
            assert face_centre(points, faces[f])[1] > centre[1] + 5.0, (name, f)
    eye_z = min(face_centre(points, faces[f])[2] for f in groups["pupils"])
    lip_z = max(face_centre(points, faces[f])[2] for f in groups["lips"])
    assert eye_z > lip_z + 4.0
    return volume


# ---------------------------------------------------------------------------------------------
# Output


def fmt(value):
    text = "%.6f" % value
    return "0.000000" if text == "-0.000000" else text


def skin_file(head):
    groups = head.features()
    neighbours = head.neighbours()
    sexname = "female" if head.sex == 0 else "male"
    lines = ["# Head skin of the %s manikin: subdivision base mesh and facial features." % sexname,
             "# Generated by tools/gen_skin_files.py, which defines the vertex anchor rule; do not edit.",
             "#START", str(len(head.faces)), str(len(head.anchors))]
    for f, pairs in enumerate(neighbours):
        lines.append("%d %s" % (f, " ".join(str(x) for x in pairs)))
    for f, corners in enumerate(head.faces):
        lines.append("%d %s" % (f, " ".join(str(v) for v in corners)))
    for v, anchors in enumerate(head.anchors):
        lines.append("# vertex %d" % v)
        for name, theta, rho, h, w in anchors:
            lines.append("%d %s %s %s %s" % (name, fmt(theta), fmt(rho), fmt(h), fmt(w)))
    lines.append("# display segment of each face")
    long_lines = {len(lines)}
    lines.append(" ".join(str(SHeTo) for _ in head.faces))
    lines.append("# facial features: hair, eyebrows, eyelids, whites of the eyes, irises, pupils, lips")
    lines.append("#HEAD")
    for name in ("hair", "eyebrows", "eyelids", "eyes_white", "irises", "pupils", "lips"):
        lines.append(str(len(groups[name])))
        if name == "hair":
            long_lines.add(len(lines))
        lines.append(" ".join(str(f) for f in groups[name]))
    for i, line in enumerate(lines):
        assert len(line) <= 255 or i in long_lines, (i, len(line))
    return "\n".join(lines) + "\n"


def texture(sex, size=128):
    """A 24-bit BMP of skin: a lighter oval for the face, warmer cheeks and lips."""
    base = (224, 182, 156) if sex == 0 else (206, 160, 128)
    rows = []
    for y in range(size):  # rows from the bottom up, v rising
        row = bytearray()
        for x in range(size):
            u, v = (x + 0.5) / size * 2.0 - 1.0, (y + 0.5) / size * 2.0 - 1.0
            light = 1.0 + 0.08 * max(0.0, 1.0 - (u / 0.62) ** 2 - (v / 0.8) ** 2)
            warm = 0.0
            for cx in (-0.38, 0.38):
                warm += 0.10 * math.exp(-((u - cx) ** 2 + (v + 0.15) ** 2) / 0.03)
            warm += 0.22 * math.exp(-(u ** 2 / 0.05 + (v + 0.55) ** 2 / 0.004))
            r = min(255, int(base[0] * light * (1.0 + warm * 0.3)))
            g = min(255, int(base[1] * light * (1.0 - warm * 0.5)))
            b = min(255, int(base[2] * light * (1.0 - warm * 0.4)))
            row += bytes((b, g, r))
        row += b"\0" * ((4 - len(row) % 4) % 4)
        rows.append(bytes(row))
    pixels = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


# ---------------------------------------------------------------------------------------------
# Preview (PNG, by a small z-buffer rasteriser)

COLOURS = {"skin": (222, 184, 160), "hair": (80, 56, 40), "eyebrows": (60, 40, 30),
           "eyelids": (200, 150, 130), "eyes_white": (245, 245, 240), "irises": (70, 120, 170),
           "pupils": (10, 10, 10), "lips": (190, 90, 90)}


def png(width, height, pixels):
    raw = b"".join(b"\0" + bytes(pixels[y * width * 3:(y + 1) * width * 3]) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def render(head, view, size=360):
    points = head.positions()
    colour_of = {}
    for name, faces in head.features().items():
        for f in faces:
            colour_of[f] = COLOURS[name]
    # Proper rotations onto (screen right, screen up, towards the viewer): the front seen from
    # ahead, the right side, the top from above with the face at the top.
    if view == "front":
        project = lambda p: (-p[0], p[2], p[1])
    elif view == "side":
        project = lambda p: (p[1], p[2], p[0])
    else:
        project = lambda p: (p[0], p[1], p[2])
    proj = [project(p) for p in points]
    scale, half = size / 34.0, size / 2.0
    screen = [(half + x * scale, half - y * scale + (0 if view == "top" else -20), d)
              for x, y, d in proj]
    depth = [-1e9] * (size * size)
    pixels = bytearray([255] * (size * size * 3))
    light = (0.3, 0.5, 0.8)
    for f, corners in enumerate(head.faces):
        n = face_normal(proj, corners)
        length = math.sqrt(dot(n, n))
        if length == 0.0 or n[2] <= 0.0:
            continue
        shade = 0.35 + 0.65 * max(0.0, dot(n, light) / length / math.sqrt(dot(light, light)))
        base = colour_of.get(f, COLOURS["skin"])
        colour = bytes(min(255, int(c * shade)) for c in base)
        for tri in ((0, 1, 2), (0, 2, 3)):
            a, b, c = (screen[corners[i]] for i in tri)
            xmin, xmax = max(0, int(min(a[0], b[0], c[0]))), min(size - 1, int(max(a[0], b[0], c[0])) + 1)
            ymin, ymax = max(0, int(min(a[1], b[1], c[1]))), min(size - 1, int(max(a[1], b[1], c[1])) + 1)
            area = (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0])
            if area == 0.0:
                continue
            for y in range(ymin, ymax + 1):
                for x in range(xmin, xmax + 1):
                    px, py = x + 0.5, y + 0.5
                    w0 = ((b[0] - px) * (c[1] - py) - (b[1] - py) * (c[0] - px)) / area
                    w1 = ((c[0] - px) * (a[1] - py) - (c[1] - py) * (a[0] - px)) / area
                    w2 = 1.0 - w0 - w1
                    if w0 < 0 or w1 < 0 or w2 < 0:
                        continue
                    d = w0 * a[2] + w1 * b[2] + w2 * c[2]
                    k = y * size + x
                    if d > depth[k]:
                        depth[k] = d
                        pixels[3 * k:3 * k + 3] = colour
    return png(size, size, pixels)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--data", default=os.path.join(here, "..", "data"))
    parser.add_argument("--preview", help="directory for PNG views of the heads")
    args = parser.parse_args()
    for sex, name, bmp in ((0, "female.skn", "FHeadSkin.bmp"), (1, "male.skn", "MHeadSkin.bmp")):
        head = Head(sex)
        head.orient_caps()
        volume = check(head)
        with open(os.path.join(args.data, name), "w", newline="\n") as out:
            out.write(skin_file(head))
        with open(os.path.join(args.data, bmp), "wb") as out:
            out.write(texture(sex))
        print("%s: %d faces, %d vertices, volume %.0f cm3 on the reference layout"
              % (name, len(head.faces), len(head.anchors), volume), file=sys.stderr)
        if args.preview:
            os.makedirs(args.preview, exist_ok=True)
            for view in ("front", "side", "top"):
                with open(os.path.join(args.preview, "%s-%s.png" % (name[:-4], view)), "wb") as out:
                    out.write(render(head, view))


if __name__ == "__main__":
    main()
