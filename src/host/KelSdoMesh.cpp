#include "host/KelSdoMesh.h"

#include <cmath>
#include <cstdint>

namespace {

bool IsFinite(const KelMathVector& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// The midpoint, without overflow for large coordinates.
KelMathVector Midpoint(const KelMathVector& a, const KelMathVector& b) {
  return a * 0.5 + b * 0.5;
}

// Catmull-Clark point of a vertex: fixed without faces or where more than
// two boundary edges meet; on a boundary curve 3/4 of itself and 1/8 of
// each neighbour along the boundary; inside, (Q + 2R + (n - 3)S) / n with
// Q the mean of its face points, R the mean of its edge midpoints and n its
// number of edges.
KelMathVector VertexPoint(const KelSdoVertex& v, const std::vector<KelMathVector>& facePoints) {
  const KelMathVector& s = v.GetPosition();
  const KelListPtrKelSdoEdge& edges = v.GetEdges();
  const KelListPtrKelSdoFace& faces = v.GetFaces();
  if (faces.Size() == 0) return s;

  int nbBoundary = 0;
  KelMathVector boundaryNeighbours;
  for (int i = 1; i <= edges.Size(); ++i) {
    if (!edges[i]->IsBoundary()) continue;
    ++nbBoundary;
    boundaryNeighbours = boundaryNeighbours + edges[i]->GetOtherVertex(&v)->GetPosition() * 0.125;
  }
  if (nbBoundary == 2) return s * 0.75 + boundaryNeighbours;
  if (nbBoundary > 0) return s;

  const double n = edges.Size();
  KelMathVector q;
  for (int i = 1; i <= faces.Size(); ++i)
    q = q + facePoints[static_cast<std::size_t>(faces[i]->GetIndex() - 1)] * (1.0 / faces.Size());
  KelMathVector r;
  for (int i = 1; i <= edges.Size(); ++i)
    r = r + Midpoint(s, edges[i]->GetOtherVertex(&v)->GetPosition()) * (1.0 / n);
  return q * (1.0 / n) + r * (2.0 / n) + s * ((n - 3.0) / n);
}

}  // namespace

KelSdoMesh::KelSdoMesh() = default;
KelSdoMesh::~KelSdoMesh() = default;

int KelSdoMesh::AddVertex(double x, double y, double z) {
  return AddVertex(KelMathVector(x, y, z));
}

int KelSdoMesh::AddVertex(const KelMathVector& position) {
  if (!IsFinite(position) || GetNbVertices() >= sMaxVertices) return 0;
  const int index = GetNbVertices() + 1;
  vertices.push_back(std::unique_ptr<KelSdoVertex>(new KelSdoVertex(index, position)));
  return index;
}

bool KelSdoMesh::SetVertexPosition(int vertex, const KelMathVector& position) {
  KelSdoVertex* v = GetVertex(vertex);
  if (v == nullptr || !IsFinite(position)) return false;
  v->position = position;
  return true;
}

KelSdoResult KelSdoMesh::AddFace(int v0, int v1, int v2, int v3, int* face) {
  if (face != nullptr) *face = 0;
  const int corners[KelSdoFace::sNbCorners] = {v0, v1, v2, v3};
  for (int c : corners)
    if (c < 1 || c > GetNbVertices()) return KelSdoBadVertexIndex;
  for (int i = 0; i < KelSdoFace::sNbCorners; ++i)
    for (int j = i + 1; j < KelSdoFace::sNbCorners; ++j)
      if (corners[i] == corners[j]) return KelSdoDegenerateFace;
  // Every check comes before the first change, so a refusal leaves no trace.
  KelSdoEdge* sides[KelSdoFace::sNbCorners];
  for (int k = 0; k < KelSdoFace::sNbCorners; ++k) {
    sides[k] = FindEdge(corners[k], corners[(k + 1) % KelSdoFace::sNbCorners]);
    if (sides[k] != nullptr && sides[k]->faces[1] != nullptr) return KelSdoEdgeFull;
  }
  if (GetNbFaces() >= sMaxFaces) return KelSdoMeshFull;

  const int index = GetNbFaces() + 1;
  faces.push_back(std::unique_ptr<KelSdoFace>(new KelSdoFace(index)));
  KelSdoFace* f = faces.back().get();
  for (int k = 0; k < KelSdoFace::sNbCorners; ++k) f->vertices[k] = GetVertex(corners[k]);
  for (int k = 0; k < KelSdoFace::sNbCorners; ++k) {
    KelSdoEdge* e = sides[k];
    if (e == nullptr) {
      KelSdoVertex* from = f->vertices[k];
      KelSdoVertex* to = f->vertices[(k + 1) % KelSdoFace::sNbCorners];
      edges.push_back(std::unique_ptr<KelSdoEdge>(new KelSdoEdge(GetNbEdges() + 1, from, to)));
      e = edges.back().get();
      from->edges.Append(e);
      to->edges.Append(e);
    }
    e->faces[e->faces[0] == nullptr ? 0 : 1] = f;
    f->edges[k] = e;
  }
  for (KelSdoVertex* v : f->vertices) v->faces.Append(f);
  if (face != nullptr) *face = index;
  return KelSdoSuccess;
}

KelSdoVertex* KelSdoMesh::GetVertex(int i) const {
  return i >= 1 && i <= GetNbVertices() ? vertices[static_cast<std::size_t>(i - 1)].get() : nullptr;
}

KelSdoEdge* KelSdoMesh::GetEdge(int i) const {
  return i >= 1 && i <= GetNbEdges() ? edges[static_cast<std::size_t>(i - 1)].get() : nullptr;
}

KelSdoFace* KelSdoMesh::GetFace(int i) const {
  return i >= 1 && i <= GetNbFaces() ? faces[static_cast<std::size_t>(i - 1)].get() : nullptr;
}

KelSdoEdge* KelSdoMesh::FindEdge(int v0, int v1) const {
  const KelSdoVertex* a = GetVertex(v0);
  const KelSdoVertex* b = GetVertex(v1);
  if (a == nullptr || b == nullptr) return nullptr;
  // Every edge is listed at both its ends, and few edges meet at a vertex.
  const KelListPtrKelSdoEdge& around = a->edges;
  for (int i = 1; i <= around.Size(); ++i) {
    KelSdoEdge* e = around[i];
    if ((e->vertices[0] == a && e->vertices[1] == b) ||
        (e->vertices[0] == b && e->vertices[1] == a))
      return e;
  }
  return nullptr;
}

void KelSdoMesh::GetEdges(KelListPtrKelSdoEdge& list) const {
  list.RemoveAll();
  for (const auto& e : edges) list.Append(e.get());
}

void KelSdoMesh::GetFaces(KelListPtrKelSdoFace& list) const {
  list.RemoveAll();
  for (const auto& f : faces) list.Append(f.get());
}

KelSdoMesh* KelSdoMesh::CreateSubdividedMesh(int level) const {
  if (level < 1 || level > sMaxSubdivisionLevel) return nullptr;
  // Each level of a quad mesh has V + E + F vertices, 2E + 4F edges and 4F
  // faces; check the final size before building anything.
  std::int64_t nbVertices = GetNbVertices(), nbEdges = GetNbEdges(), nbFaces = GetNbFaces();
  for (int l = 0; l < level; ++l) {
    nbVertices += nbEdges + nbFaces;
    nbEdges = 2 * nbEdges + 4 * nbFaces;
    nbFaces *= 4;
    if (nbVertices > sMaxVertices || nbFaces > sMaxFaces) return nullptr;
  }
  std::unique_ptr<KelSdoMesh> result = SubdivideOnce();
  for (int l = 1; l < level && result; ++l) result = result->SubdivideOnce();
  return result.release();
}

std::unique_ptr<KelSdoMesh> KelSdoMesh::SubdivideOnce() const {
  const int nbVertices = GetNbVertices();
  const int nbEdges = GetNbEdges();
  std::vector<KelMathVector> facePoints;
  facePoints.reserve(faces.size());
  for (const auto& f : faces) facePoints.push_back(f->GetCentroid());

  auto result = std::make_unique<KelSdoMesh>();
  result->vertices.reserve(vertices.size() + edges.size() + faces.size());
  result->edges.reserve(2 * edges.size() + 4 * faces.size());
  result->faces.reserve(4 * faces.size());
  for (const auto& v : vertices)
    if (result->AddVertex(VertexPoint(*v, facePoints)) == 0) return nullptr;
  for (const auto& e : edges) {
    const KelMathVector& a = e->vertices[0]->position;
    const KelMathVector& b = e->vertices[1]->position;
    KelMathVector point = Midpoint(a, b);
    if (!e->IsBoundary()) {
      const KelMathVector& f0 = facePoints[static_cast<std::size_t>(e->faces[0]->index - 1)];
      const KelMathVector& f1 = facePoints[static_cast<std::size_t>(e->faces[1]->index - 1)];
      point = point * 0.5 + f0 * 0.25 + f1 * 0.25;
    }
    if (result->AddVertex(point) == 0) return nullptr;
  }
  for (const KelMathVector& p : facePoints)
    if (result->AddVertex(p) == 0) return nullptr;

  for (const auto& f : faces) {
    const int facePoint = nbVertices + nbEdges + f->index;
    for (int k = 0; k < KelSdoFace::sNbCorners; ++k) {
      const int previous = (k + KelSdoFace::sNbCorners - 1) % KelSdoFace::sNbCorners;
      if (result->AddFace(f->vertices[k]->index, nbVertices + f->edges[k]->index, facePoint,
                          nbVertices + f->edges[previous]->index) != KelSdoSuccess)
        return nullptr;
    }
  }
  return result;
}
