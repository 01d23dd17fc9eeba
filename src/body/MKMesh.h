#pragma once

#include "math/MK3DVertex.h"

// A growable list of points with one normal per point: a skin ring, a cap, a
// polygon or a plain point set. The normal of a point is the null vertex
// until it is set.
class MKMesh {
 public:
  enum MKMeshType : int {
    MKEmptyResult = 0,
    MKPointSet = 1,  // also a polygon
    MKRing = 2,      // a closed cross-section of the skin
    MKCap = 3        // closes a ring
  };

  // The largest number of points a mesh holds (2^31 - 1).
  static constexpr unsigned int sMaxNumberOfPoints = 0x7FFFFFFFu;

  explicit MKMesh(MKMeshType type = MKPointSet);
  MKMesh(const MKMesh& source);
  MKMesh& operator=(const MKMesh& source);
  virtual ~MKMesh();

  MKMeshType GetType() const { return type; }
  unsigned int GetNumberOfPoints() const { return count; }
  unsigned int GetCapacity() const { return capacity; }

  // The new number of points; 0 (mesh unchanged) when it is full or memory
  // runs out. The first allocation holds 10 points, then the capacity doubles.
  unsigned int Append(const MK3DVertex& point);
  unsigned int Append(double x, double y, double z);
  // Frees both arrays: no points, no capacity.
  void Clear();

  // Point i; the first point when i is out of range (the origin for an empty mesh).
  const MK3DVertex& operator[](unsigned int i) const;
  // Normal i, with the same fallback as operator[].
  const MK3DVertex& GetNormalOnVertice(unsigned int i) const;
  // Ignored when i is out of range.
  void SetNormalOnVertice(unsigned int i, double x, double y, double z);

  // Sorts the points (not the normals) with a qsort-style comparison: a
  // negative answer puts its first argument first.
  void QuickSort(int (*compare)(const MK3DVertex&, const MK3DVertex&));
  // Quicksort of positions low to high, pivot at the middle position.
  void Sort(int low, int high, int (*compare)(const MK3DVertex&, const MK3DVertex&));
  // Exchanges points i and j; normals stay where they are.
  void Swap(int i, int j);

 private:
  // Grows to `newCapacity` slots, keeping the contents; false when memory runs out.
  bool Reallocate(unsigned int newCapacity);

  MKMeshType type;
  unsigned int count = 0;
  unsigned int capacity = 0;
  MK3DVertex* points = nullptr;
  MK3DVertex* normals = nullptr;
};
