#pragma once

#include "host/KelMathVector.h"
#include "host/KelSdoEdge.h"
#include "host/KelSdoFace.h"

// A vertex of a subdivision mesh with the edges and faces that meet at it,
// in the order they were created. Created and owned by its mesh.
class KelSdoVertex {
 public:
  KelSdoVertex(const KelSdoVertex&) = delete;
  KelSdoVertex& operator=(const KelSdoVertex&) = delete;

  // Position in the mesh's vertex list, from 1.
  int GetIndex() const { return index; }
  const KelMathVector& GetPosition() const { return position; }
  const KelListPtrKelSdoEdge& GetEdges() const { return edges; }
  const KelListPtrKelSdoFace& GetFaces() const { return faces; }
  // True when one of its edges borders a single face.
  bool IsBoundary() const;
  // Normalised mean of the unit normals of its faces; the zero vector for a
  // vertex without faces or when they cancel out.
  KelMathVector GetNormal() const;

 private:
  friend class KelSdoMesh;
  // Room for the edges and faces of a vertex inside a quad mesh from the
  // start, rather than growing its lists from one as faces arrive.
  static constexpr int sUsualValence = 4;
  KelSdoVertex(int index, const KelMathVector& position)
      : index(index), position(position), edges(sUsualValence), faces(sUsualValence) {}

  int index;
  KelMathVector position;
  KelListPtrKelSdoEdge edges;
  KelListPtrKelSdoFace faces;
};
