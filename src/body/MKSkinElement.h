#pragma once

#include "body/MKBodyElement.h"
#include "host/KelRawColl.h"

class MKMesh;
class MKSegment;

// The skin of one segment: the rings and caps swept through its ellipses,
// held in the segment's frame as consecutive cross-sections from the
// segment's origin towards its end.
class MKSkinElement : public MKBodyElement {
 public:
  // Short name: the segment's + 4000 (4000 without segment); owner: the segment.
  explicit MKSkinElement(MKSegment* segment);
  MKSkinElement(const MKSkinElement&) = delete;
  MKSkinElement& operator=(const MKSkinElement&) = delete;
  ~MKSkinElement() override;

  // Takes the owner segment's global matrix, when there is an owner.
  void Update() override;

  // Append or insert a copy; an insertion index above the count is ignored
  // (the count itself appends).
  void AddMesh(const MKMesh& mesh);
  void InsertMeshAtIndex(unsigned int i, const MKMesh& mesh);
  // Destroys mesh i; ignored out of range.
  void RemoveMeshAtIndex(unsigned int i);
  void Clear();
  unsigned int GetNumberOfMeshes() const { return static_cast<unsigned int>(meshes.Size()); }
  // 0-based; null out of range.
  MKMesh* GetMesh(unsigned int i) const;

  // Sets the normal of every point of the ring (type 2) and cap (type 3)
  // meshes: the normalised sum of the four cross products of the edges to
  // its neighbours (previous and next point of its own mesh, wrapping
  // around, and the matching point of the mesh before and after it),
  // taken in the order that points outward for rings sampled clockwise
  // about the segment's axis and ordered along it. A neighbour mesh that is
  // missing (at either end) or of another type drops its two products. A
  // neighbour with another point count is paired by proportion: point j of
  // n meets point round(j * m / n) mod m of a neighbour of m points, which
  // pairs a ring with a cap's fan of a different count. Where the products
  // vanish (a cap's pole, all of whose points coincide) the normal points
  // away from the centre of the neighbour after it, or else before it.
  void CalculateNormalOnVertices();

 private:
  KelRawCollPV meshes;  // MKMesh*, owned
};
