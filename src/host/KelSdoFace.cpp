#include "host/KelSdoFace.h"

#include <algorithm>
#include <cmath>

#include "host/KelSdoEdge.h"
#include "host/KelSdoVertex.h"

namespace {

bool IsCorner(int k) {
  return k >= 0 && k < KelSdoFace::sNbCorners;
}

}  // namespace

KelSdoVertex* KelSdoFace::GetVertex(int corner) const {
  return IsCorner(corner) ? vertices[corner] : nullptr;
}

int KelSdoFace::GetVertexIndex(int corner) const {
  return IsCorner(corner) ? vertices[corner]->GetIndex() : 0;
}

KelSdoEdge* KelSdoFace::GetEdge(int side) const {
  return IsCorner(side) ? edges[side] : nullptr;
}

KelSdoFace* KelSdoFace::GetNeighbour(int side) const {
  return IsCorner(side) ? edges[side]->GetOtherFace(this) : nullptr;
}

int KelSdoFace::GetSideOfEdge(const KelSdoEdge* edge) const {
  for (int k = 0; k < sNbCorners; ++k)
    if (edge != nullptr && edges[k] == edge) return k;
  return -1;
}

// Weighted terms rather than a sum divided by 4, so that large coordinates
// cannot overflow.
KelMathVector KelSdoFace::GetCentroid() const {
  KelMathVector centroid;
  for (const KelSdoVertex* v : vertices) centroid = centroid + v->GetPosition() * 0.25;
  return centroid;
}

// The cross product of the diagonals is twice the area vector of the quad,
// planar or not. Corners are first scaled into [-1, 1] so that neither the
// differences nor the product overflow.
KelMathVector KelSdoFace::GetNormal() const {
  double scale = 0.0;
  for (const KelSdoVertex* v : vertices) {
    const KelMathVector& p = v->GetPosition();
    scale = std::max({scale, std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
  }
  if (!(scale > 0.0) || !std::isfinite(scale)) return KelMathVector();
  KelMathVector p[sNbCorners];
  for (int k = 0; k < sNbCorners; ++k) {
    const KelMathVector& q = vertices[k]->GetPosition();
    p[k] = KelMathVector(q.x / scale, q.y / scale, q.z / scale);
  }
  KelMathVector normal = (p[2] - p[0]).Cross(p[3] - p[1]);
  normal.Normalize();
  return normal;
}
