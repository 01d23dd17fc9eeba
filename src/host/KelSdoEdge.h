#pragma once

#include "host/KelRawColl.h"

class KelSdoFace;
class KelSdoVertex;

// An edge of a subdivision mesh: two end vertices and the one or two faces
// it borders. Created and owned by its mesh.
class KelSdoEdge {
 public:
  KelSdoEdge(const KelSdoEdge&) = delete;
  KelSdoEdge& operator=(const KelSdoEdge&) = delete;

  // Position in the mesh's edge list, from 1.
  int GetIndex() const { return index; }
  // End 0 or 1, in the direction the edge's first face runs along it; null
  // for any other value.
  KelSdoVertex* GetVertex(int end) const;
  KelSdoVertex* GetOtherVertex(const KelSdoVertex* vertex) const;

  // 1 on the boundary, 2 inside the surface.
  int GetNbFaces() const { return faces[1] ? 2 : 1; }
  bool IsBoundary() const { return faces[1] == nullptr; }
  // Face 0 or 1 in the order they were added; null when absent.
  KelSdoFace* GetFace(int i) const;
  // The face across this edge from `face`; null on the boundary or when
  // `face` does not border this edge.
  KelSdoFace* GetOtherFace(const KelSdoFace* face) const;

 private:
  friend class KelSdoMesh;
  KelSdoEdge(int index, KelSdoVertex* from, KelSdoVertex* to)
      : index(index), vertices{from, to}, faces{nullptr, nullptr} {}

  int index;
  KelSdoVertex* vertices[2];
  KelSdoFace* faces[2];
};

// List of edges, indexed from 1; never owns the edges.
using KelListPtrKelSdoEdge = KelRawColl<KelSdoEdge*>;
