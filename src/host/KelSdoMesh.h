#pragma once

#include <memory>
#include <vector>

#include "host/KelMathVector.h"
#include "host/KelSdoEdge.h"
#include "host/KelSdoFace.h"
#include "host/KelSdoResult.h"
#include "host/KelSdoVertex.h"

// A quadrilateral mesh for Catmull-Clark subdivision surfaces. Vertices,
// edges and faces are numbered from 1 in the order they were created; the
// mesh owns them and they live as long as the mesh. Edges are never added
// directly: each face creates the sides that no earlier face has, and
// shares the others. An edge borders at most two faces, so the surface is a
// manifold away from its vertices.
class KelSdoMesh {
 public:
  // Bounds on what a mesh may hold, so that hostile input cannot exhaust
  // memory or overflow an index; a subdivision that would exceed them fails.
  static constexpr int sMaxVertices = 1 << 21;
  static constexpr int sMaxFaces = 1 << 21;
  static constexpr int sMaxSubdivisionLevel = 10;

  KelSdoMesh();
  ~KelSdoMesh();
  KelSdoMesh(const KelSdoMesh&) = delete;
  KelSdoMesh& operator=(const KelSdoMesh&) = delete;

  // Index of the new vertex, from 1; 0 when a coordinate is not finite or
  // the mesh is full.
  int AddVertex(double x, double y, double z);
  int AddVertex(const KelMathVector& position);
  // Moves an existing vertex; false (nothing changed) for a bad index or a
  // coordinate that is not finite.
  bool SetVertexPosition(int vertex, const KelMathVector& position);

  // Adds the quadrilateral v0 v1 v2 v3 (vertex indices from 1). On success
  // `face`, when given, receives its index; on refusal it receives 0 and the
  // mesh is unchanged. Checks run in the order of the KelSdoResult codes.
  KelSdoResult AddFace(int v0, int v1, int v2, int v3, int* face = nullptr);

  int GetNbVertices() const { return static_cast<int>(vertices.size()); }
  int GetNbEdges() const { return static_cast<int>(edges.size()); }
  int GetNbFaces() const { return static_cast<int>(faces.size()); }
  // Elements by index from 1; null outside 1 to the count.
  KelSdoVertex* GetVertex(int i) const;
  KelSdoEdge* GetEdge(int i) const;
  KelSdoFace* GetFace(int i) const;
  // The edge joining two vertices, in either direction; null when none.
  KelSdoEdge* FindEdge(int v0, int v1) const;
  // Replace the list's contents with all edges or faces, in index order.
  void GetEdges(KelListPtrKelSdoEdge& list) const;
  void GetFaces(KelListPtrKelSdoFace& list) const;

  // A new mesh (the caller owns it) subdivided `level` times (1 to
  // sMaxSubdivisionLevel) by Catmull-Clark. Each level numbers its vertices
  // as: the moved vertices in their old order, then one per edge, then one
  // per face; face f gives faces 4(f - 1) + 1 to 4f, the one at corner k
  // first running from that corner's vertex to the point of side k, the
  // face point and the point of side k - 1, so orientation is kept. Null
  // for a bad level, when the result would exceed the bounds above or when
  // a new position is not finite.
  KelSdoMesh* CreateSubdividedMesh(int level = 1) const;

 private:
  std::unique_ptr<KelSdoMesh> SubdivideOnce() const;

  std::vector<std::unique_ptr<KelSdoVertex>> vertices;
  std::vector<std::unique_ptr<KelSdoEdge>> edges;
  std::vector<std::unique_ptr<KelSdoFace>> faces;
};
