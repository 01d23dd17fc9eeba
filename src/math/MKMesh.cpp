#include "math/MKMesh.h"

#include <new>

#include "host/KelMathVector.h"

namespace {
constexpr unsigned int kFirstCapacity = 10;

// The capacity a full mesh grows to.
unsigned int GrownCapacity(unsigned int capacity) {
  if (capacity == 0) return kFirstCapacity;
  return capacity > MKMesh::sMaxNumberOfPoints / 2u ? MKMesh::sMaxNumberOfPoints : capacity * 2u;
}

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
  // A failed allocation leaves the former capacity, half the attempt.
  if (count == capacity && !Reallocate(GrownCapacity(capacity))) return 0;
  points[count] = point;
  normals[count] = MK3DVertex();
  return ++count;
}

unsigned int MKMesh::Append(double x, double y, double z) {
  return Append(MK3DVertex(x, y, z));
}

void MKMesh::Reserve(unsigned int n) {
  unsigned int wanted = capacity;
  while (wanted < n && wanted < sMaxNumberOfPoints) wanted = GrownCapacity(wanted);
  if (wanted > capacity) Reallocate(wanted);
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

unsigned int MKMesh::Prepend(const MK3DVertex& point) {
  if (Append(point) == 0) return 0;
  for (unsigned int i = count - 1; i > 0; --i) {
    points[i] = points[i - 1];
    normals[i] = normals[i - 1];
  }
  points[0] = point;
  normals[0] = MK3DVertex();
  return count;
}

unsigned int MKMesh::Prepend(double x, double y, double z) {
  return Prepend(MK3DVertex(x, y, z));
}

int MKMesh::InsertBefore(unsigned int i, const MK3DVertex& point) {
  if (count == 0 && i == 0) return Append(point) == 0 ? -1 : 0;
  if (i >= count || Append(point) == 0) return -1;
  for (unsigned int k = count - 1; k > i; --k) {
    points[k] = points[k - 1];
    normals[k] = normals[k - 1];
  }
  points[i] = point;
  normals[i] = MK3DVertex();
  return static_cast<int>(i);
}

int MKMesh::InsertBefore(unsigned int i, double x, double y, double z) {
  return InsertBefore(i, MK3DVertex(x, y, z));
}

void MKMesh::RemovePosition(unsigned int i) {
  if (i >= count) return;
  for (unsigned int k = i; k + 1 < count; ++k) {
    points[k] = points[k + 1];
    normals[k] = normals[k + 1];
  }
  --count;
}

bool MKMesh::operator==(const MKMesh& other) const {
  if (count != other.count) return false;
  for (unsigned int i = 0; i < count; ++i) {
    const MK3DVertex& a = points[i];
    const MK3DVertex& b = other.points[i];
    if (a.x != b.x || a.y != b.y || a.z != b.z) return false;
  }
  return true;
}

int MKMesh::Locate(const MK3DVertex& point) const {
  for (unsigned int i = 0; i < count; ++i)
    if (points[i].x == point.x && points[i].y == point.y && points[i].z == point.z)
      return static_cast<int>(i);
  return -1;
}

int MKMesh::GetVector(int i, KelMathVector& vector) const {
  if (i < 0 || static_cast<unsigned int>(i) >= count) return 0;
  vector = KelMathVector(points[i].x, points[i].y, points[i].z);
  return 1;
}

int MKMesh::SetVector(int i, const KelMathVector& vector) {
  if (i < 0 || static_cast<unsigned int>(i) >= count) return 0;
  points[i] = MK3DVertex(vector.x, vector.y, vector.z);
  return 1;
}
