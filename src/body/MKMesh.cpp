#include "body/MKMesh.h"

#include <new>

namespace {
constexpr unsigned int kFirstCapacity = 10;
}  // namespace

MKMesh::MKMesh(MKMeshType type) : type(type) {}

MKMesh::MKMesh(const MKMesh& source) : type(source.type) {
  *this = source;
}

MKMesh& MKMesh::operator=(const MKMesh& source) {
  if (this == &source) return *this;
  Clear();
  type = source.type;
  if (source.count == 0 || !Reallocate(source.capacity)) return *this;
  for (unsigned int i = 0; i < source.count; ++i) {
    points[i] = source.points[i];
    normals[i] = source.normals[i];
  }
  count = source.count;
  return *this;
}

MKMesh::~MKMesh() {
  Clear();
}

unsigned int MKMesh::Append(const MK3DVertex& point) {
  if (count >= sMaxNumberOfPoints) return 0;
  if (count == capacity) {
    unsigned int wanted = capacity == 0 ? kFirstCapacity : capacity * 2u;
    if (capacity > sMaxNumberOfPoints / 2u) wanted = sMaxNumberOfPoints;
    // A failed allocation leaves the former capacity, half the attempt.
    if (!Reallocate(wanted)) return 0;
  }
  points[count] = point;
  normals[count] = MK3DVertex();
  return ++count;
}

unsigned int MKMesh::Append(double x, double y, double z) {
  return Append(MK3DVertex(x, y, z));
}

void MKMesh::Clear() {
  delete[] points;
  delete[] normals;
  points = nullptr;
  normals = nullptr;
  count = 0;
  capacity = 0;
}

const MK3DVertex& MKMesh::operator[](unsigned int i) const {
  if (count == 0) return MKNULL3DVertex();
  return i < count ? points[i] : points[0];
}

const MK3DVertex& MKMesh::GetNormalOnVertice(unsigned int i) const {
  if (count == 0) return MKNULL3DVertex();
  return i < count ? normals[i] : normals[0];
}

void MKMesh::SetNormalOnVertice(unsigned int i, double x, double y, double z) {
  if (i < count) normals[i] = MK3DVertex(x, y, z);
}

void MKMesh::QuickSort(int (*compare)(const MK3DVertex&, const MK3DVertex&)) {
  if (compare && count > 1) Sort(0, static_cast<int>(count) - 1, compare);
}

void MKMesh::Sort(int low, int high, int (*compare)(const MK3DVertex&, const MK3DVertex&)) {
  if (!compare || low < 0 || high >= static_cast<int>(count) || low >= high) return;
  const MK3DVertex pivot = points[(low + high) / 2];
  int i = low;
  int j = high;
  while (i <= j) {
    // The bounds guard the scans: the vertex orderings carry a tolerance and
    // are not strictly consistent near ties.
    while (i < high && compare(points[i], pivot) < 0) ++i;
    while (j > low && compare(points[j], pivot) > 0) --j;
    if (i <= j) {
      Swap(i, j);
      ++i;
      --j;
    }
  }
  if (low < j) Sort(low, j, compare);
  if (i < high) Sort(i, high, compare);
}

void MKMesh::Swap(int i, int j) {
  if (i < 0 || j < 0 || i >= static_cast<int>(count) || j >= static_cast<int>(count)) return;
  const MK3DVertex keep = points[i];
  points[i] = points[j];
  points[j] = keep;
}

bool MKMesh::Reallocate(unsigned int newCapacity) {
  MK3DVertex* newPoints = new (std::nothrow) MK3DVertex[newCapacity];
  MK3DVertex* newNormals = newPoints ? new (std::nothrow) MK3DVertex[newCapacity] : nullptr;
  if (!newPoints || !newNormals) {
    delete[] newPoints;
    return false;
  }
  for (unsigned int i = 0; i < count; ++i) {
    newPoints[i] = points[i];
    newNormals[i] = normals[i];
  }
  delete[] points;
  delete[] normals;
  points = newPoints;
  normals = newNormals;
  capacity = newCapacity;
  return true;
}
