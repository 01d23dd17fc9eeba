// Convex hull of a point set (Melkman's on-line algorithm) in the plane of
// its first three points.
#include <algorithm>
#include <cmath>
#include <deque>

#include "math/MKMesh.h"

namespace {

// The plane that Turn measures in, set by ConvexHull from its first points;
// one per thread, as hulls may be built on several threads at once.
struct HullPlane {
  MK3DVertex origin;
  double u[3] = {1, 0, 0};
  double v[3] = {0, 0, 1};
  double n[3] = {0, 1, 0};
};
thread_local HullPlane currentPlane;

void Difference(const MK3DVertex& a, const MK3DVertex& b, double out[3]) {
  out[0] = a.x - b.x;
  out[1] = a.y - b.y;
  out[2] = a.z - b.z;
}

double Dot(const double a[3], const double b[3]) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

void Cross(const double a[3], const double b[3], double out[3]) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

bool Normalize(double a[3]) {
  const double norm = std::sqrt(Dot(a, a));
  if (norm == 0.0) return false;
  for (int i = 0; i < 3; ++i) a[i] /= norm;
  return true;
}

}  // namespace

int MKMesh::Turn(const MK3DVertex& a, const MK3DVertex& b, const MK3DVertex& c) {
  const HullPlane& plane = currentPlane;
  double d[3][3];
  Difference(a, plane.origin, d[0]);
  Difference(b, plane.origin, d[1]);
  Difference(c, plane.origin, d[2]);
  for (const auto& offset : d)
    if (Dot(offset, plane.n) != 0.0) return 0;
  // 2D coordinates along the plane's in-plane axes.
  const double ax = Dot(d[0], plane.u), ay = Dot(d[0], plane.v);
  const double bx = Dot(d[1], plane.u), by = Dot(d[1], plane.v);
  const double cx = Dot(d[2], plane.u), cy = Dot(d[2], plane.v);
  const double cross = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
  return cross > 0 ? 2 : 1;
}

MKMesh MKMesh::ConvexHull() const {
  if (type != MKPointSet) return MKMesh(MKEmptyResult);
  if (count < 4) return *this;

  const MK3DVertex& p0 = points[0];
  const MK3DVertex& p1 = points[1];
  const MK3DVertex& p2 = points[2];
  HullPlane plane;
  plane.origin = p1;
  double e1[3], e0[3];
  Difference(p2, p1, e1);
  Difference(p0, p1, e0);
  std::copy(e1, e1 + 3, plane.u);
  Normalize(plane.u);
  Cross(e1, e0, plane.n);
  Normalize(plane.n);
  Cross(plane.u, plane.n, plane.v);
  currentPlane = plane;

  std::deque<MK3DVertex> hull;
  hull.push_back(p2);
  if (Turn(p0, p1, p2) == 2) {
    hull.push_back(p0);
    hull.push_back(p1);
  } else {
    hull.push_back(p1);
    hull.push_back(p0);
  }
  hull.push_back(p2);

  for (unsigned int i = 3; i < count; ++i) {
    const MK3DVertex& q = points[i];
    const std::size_t last = hull.size() - 1;
    // Inside both the front and the back edge: inside the hull.
    if (Turn(hull[last - 1], hull[last], q) == 2 && Turn(q, hull[0], hull[1]) == 2) continue;
    while (hull.size() > 2 && Turn(hull[hull.size() - 2], hull[hull.size() - 1], q) != 2)
      hull.pop_back();
    hull.push_back(q);
    while (hull.size() > 2 && Turn(q, hull[0], hull[1]) != 2) hull.pop_front();
    hull.push_front(q);
  }

  MKMesh result(MKPointSet);
  for (const MK3DVertex& p : hull) result.Append(p);
  return result;
}
