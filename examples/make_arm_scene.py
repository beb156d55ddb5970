#!/usr/bin/env python3
"""Writes the bundled arm example: arm_tube.obj (the mesh), arm_cage.obj (the
cage's rest shape, for looking at) and arm.lws (the scene with the cage's
shape keys). Run by hand from anywhere: python3 examples/make_arm_scene.py
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))

# The arm runs up +Y from the shoulder (y=0) to the wrist (y=2); the elbow
# sits half way.
LENGTH = 2.0
ELBOW = 1.0
RINGS = 100
SIDES = 200

# The cage: rings of 8 points around the arm, plus a bone chain of linegons
# along the axis.
CAGE_YS = [0.0, 0.4, 0.8, 1.0, 1.2, 1.6, 2.0]
CAGE_SIDES = 8
CAGE_RADIUS = 0.25

# Shape keys: (seconds, elbow bend in degrees, forearm twist at the wrist).
KEYS = [(0.0, 0.0, 0.0), (1.0, 45.0, 0.0), (2.0, 90.0, 45.0), (3.0, 20.0, -60.0)]
FPS = 30
LAST_FRAME = 90


def radius_at(y):
    # Thicker upper arm, a slight bulge at the elbow, thinner wrist.
    t = y / LENGTH
    return 0.15 - 0.05 * t + 0.012 * math.exp(-((y - ELBOW) / 0.12) ** 2)


def arm_mesh():
    points, faces = [], []
    for r in range(RINGS):
        y = LENGTH * r / (RINGS - 1)
        rad = radius_at(y)
        for s in range(SIDES):
            a = 2 * math.pi * s / SIDES
            points.append((rad * math.cos(a), y, rad * math.sin(a)))
    for r in range(RINGS - 1):
        for s in range(SIDES):
            a = r * SIDES + s
            b = r * SIDES + (s + 1) % SIDES
            faces.append((a, a + SIDES, b + SIDES, b))
    # Caps as triangle fans around a centre point.
    bottom = len(points)
    points.append((0.0, 0.0, 0.0))
    top = len(points)
    points.append((0.0, LENGTH, 0.0))
    last = (RINGS - 1) * SIDES
    for s in range(SIDES):
        faces.append((bottom, s, (s + 1) % SIDES))
        faces.append((top, last + (s + 1) % SIDES, last + s))
    return points, faces


def cage_mesh():
    points, quads, lines = [], [], []
    for y in CAGE_YS:
        for s in range(CAGE_SIDES):
            a = 2 * math.pi * (s + 0.5) / CAGE_SIDES
            points.append((CAGE_RADIUS * math.cos(a), y, CAGE_RADIUS * math.sin(a)))
    n = CAGE_SIDES
    for r in range(len(CAGE_YS) - 1):
        for s in range(n):
            a = r * n + s
            b = r * n + (s + 1) % n
            quads.append((a, a + n, b + n, b))
    # Octagon caps split into three quads, facing outwards.
    for ring, flip in ((0, False), (len(CAGE_YS) - 1, True)):
        o = ring * n
        for q in ((0, 1, 2, 3), (0, 3, 4, 7), (4, 5, 6, 7)):
            quad = tuple(o + i for i in q)
            quads.append(quad[::-1] if flip else quad)
    axis = len(points)
    for y in CAGE_YS:
        points.append((0.0, y, 0.0))
    for i in range(len(CAGE_YS) - 1):
        lines.append((axis + i, axis + i + 1))
    return points, quads, lines


def posed(p, bend_deg, twist_deg):
    """The cage point with the forearm twisted about its axis, then bent at
    the elbow towards +Z. The elbow ring takes half the bend."""
    x, y, z = p
    if y > ELBOW:
        t = math.radians(twist_deg) * (y - ELBOW) / (LENGTH - ELBOW)
        x, z = x * math.cos(t) + z * math.sin(t), -x * math.sin(t) + z * math.cos(t)
    if y < ELBOW - 1e-9:
        share = 0.0
    elif abs(y - ELBOW) < 1e-9:
        share = 0.5
    else:
        share = 1.0
    a = math.radians(bend_deg) * share
    dy, dz = y - ELBOW, z
    y = ELBOW + dy * math.cos(a) - dz * math.sin(a)
    z = dy * math.sin(a) + dz * math.cos(a)
    return (x, y, z)


def num(v):
    text = "%.7g" % v
    return "0" if text in ("-0", "0") else text


def write_obj(path, header, points, faces=(), lines=()):
    with open(path, "w") as f:
        f.write("# %s\n" % header)
        for p in points:
            f.write("v %s %s %s\n" % tuple(num(c) for c in p))
        for poly in faces:
            f.write("f %s\n" % " ".join(str(i + 1) for i in poly))
        for line in lines:
            f.write("l %d %d\n" % (line[0] + 1, line[1] + 1))


def motion():
    out = ["ObjectMotion", "NumChannels 9"]
    for c in range(9):
        value = 1 if c >= 6 else 0
        out += ["Channel %d" % c, "{ Envelope", "  1",
                "  Key %d 0 0 0 0 0 0 0 0" % value, "  Behaviors 1 1", "}"]
    return out


def cage_record(points, quads, lines):
    rec = ["1.12",
           "2 0 1 0 0 0",  # display (X-Ray), skin mode, falloff, ignore outside, limited range, map
           '"name"',
           "0.001 0.0099999998",
           "0",  # rest shape from the base positions
           "0",
           "1 0.80000001 0",
           "0 0 0",
           "0.12 0",
           "-40",
           "16",
           "0",
           '""',
           str(len(points))]
    for seconds, bend, twist in KEYS:
        rec.append(num(seconds))
        rec.append("0")
        for p in points:
            q = posed(p, bend, twist)
            rec.append(" ".join(num(q[i] - p[i]) for i in range(3)))
    rec.append("-1e+20")
    for p in points:
        rec.append(" ".join(num(c) for c in p))
    rec.append(str(len(lines)))
    rec += ["%d %d" % l for l in lines]
    rec.append("0")
    rec.append(str(len(quads)))
    rec += ["%d %d %d %d" % q for q in quads]
    return rec


def main():
    arm_points, arm_faces = arm_mesh()
    write_obj(os.path.join(HERE, "arm_tube.obj"),
              "An arm-like tube along +Y: %d rings of %d points, capped. "
              "Made by make_arm_scene.py." % (RINGS, SIDES), arm_points, arm_faces)
    cage_points, quads, lines = cage_mesh()
    write_obj(os.path.join(HERE, "arm_cage.obj"),
              "The arm cage's rest shape (the scene carries it). "
              "Made by make_arm_scene.py.", cage_points, quads, lines)

    scene = ["LWSC", "5", "",
             "FirstFrame 0", "LastFrame %d" % LAST_FRAME, "FrameStep 1",
             "PreviewFirstFrame 0", "PreviewLastFrame %d" % LAST_FRAME,
             "PreviewFrameStep 1", "CurrentFrame 0", "FramesPerSecond %d" % FPS, "",
             "LoadObjectLayer 1 10000000 arm_tube.obj", "ShowObject 5 3"]
    scene += motion()
    scene += ["Plugin DisplacementHandler 1 Zentrik_Morvane", "1.12", '"name"', "EndPlugin",
              "ShadowOptions 7", "",
              "AddNullObject 10000001 ArmCage", "ShowObject 5 3"]
    scene += motion()
    scene += ["Plugin CustomObjHandler 1 Zentrik_Morvane"]
    scene += cage_record(cage_points, quads, lines)
    scene += ["EndPlugin", "ShadowOptions 7", ""]
    with open(os.path.join(HERE, "arm.lws"), "w") as f:
        f.write("\n".join(scene) + "\n")


if __name__ == "__main__":
    main()
