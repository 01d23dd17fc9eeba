#pragma once

#include "math/MK3DVertex.h"

class KelMathVector;

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
  // Makes room for `n` points in one allocation, to the capacity that
  // appending them one by one would reach; a mesh without room for them
  // otherwise is left as it is.
  void Reserve(unsigned int n);
  // Appends, then moves every point up by one and puts the new one first.
  unsigned int Prepend(const MK3DVertex& point);
  unsigned int Prepend(double x, double y, double z);
  // Points from i on move up by one; into an empty mesh at 0 this appends.
  // -1 (nothing inserted) for i at or beyond the count.
  int InsertBefore(unsigned int i, const MK3DVertex& point);
  int InsertBefore(unsigned int i, double x, double y, double z);
  // Removes point and normal i; ignored when i is out of range.
  void RemovePosition(unsigned int i);
  // Frees both arrays: no points, no capacity.
  void Clear();
  // Same count and equal points; types and normals are not compared.
  bool operator==(const MKMesh& other) const;
  // Index of the first point equal to `point` in all three coordinates, -1 when none.
  int Locate(const MK3DVertex& point) const;
  // Point i as a host vector: 1 for 0 <= i < count, else 0 and nothing done.
  int GetVector(int i, KelMathVector& vector) const;
  int SetVector(int i, const KelMathVector& vector);

  // The convex hull of a point set (type 1) as a closed polygon, first point
  // repeated at the end, in the plane of its first three points (Melkman's
  // on-line algorithm: exact for points that form a simple polyline in their
  // order). Fewer than 4 points: a copy; another type: an empty type-0 mesh.
  MKMesh ConvexHull() const;
  // Orientation of a, b, c in the plane of the last hull: 2 counter-
  // clockwise, 1 clockwise or collinear, 0 when a point is off that plane.
  static int Turn(const MK3DVertex& a, const MK3DVertex& b, const MK3DVertex& c);

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
