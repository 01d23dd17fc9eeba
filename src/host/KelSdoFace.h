#pragma once

#include "host/KelMathVector.h"
#include "host/KelRawColl.h"

class KelSdoEdge;
class KelSdoVertex;

// A quadrilateral face of a subdivision mesh. Corners are numbered 0 to 3
// in the order they were given; side k is the edge from corner k to corner
// k + 1 (side 3 closes the face back to corner 0). Created and owned by its
// mesh.
class KelSdoFace {
 public:
  static constexpr int sNbCorners = 4;

  KelSdoFace(const KelSdoFace&) = delete;
  KelSdoFace& operator=(const KelSdoFace&) = delete;

  // Position in the mesh's face list, from 1.
  int GetIndex() const { return index; }
  // Corner 0 to 3; null for another value.
  KelSdoVertex* GetVertex(int corner) const;
  // Index (from 1) of the vertex at a corner; 0 for a bad corner.
  int GetVertexIndex(int corner) const;
  // Side 0 to 3; null for another value.
  KelSdoEdge* GetEdge(int side) const;
  // The face across side k; null on the boundary or for a bad side.
  KelSdoFace* GetNeighbour(int side) const;
  // The side that `edge` is on this face; -1 when it is not one of them.
  int GetSideOfEdge(const KelSdoEdge* edge) const;

  // Mean of the four corners.
  KelMathVector GetCentroid() const;
  // Unit normal, right-handed with the corner order; the zero vector when
  // the face has no area.
  KelMathVector GetNormal() const;

 private:
  friend class KelSdoMesh;
  explicit KelSdoFace(int index) : index(index), vertices{}, edges{} {}

  int index;
  KelSdoVertex* vertices[sNbCorners];
  KelSdoEdge* edges[sNbCorners];
};

// List of faces, indexed from 1; never owns the faces.
using KelListPtrKelSdoFace = KelRawColl<KelSdoFace*>;
