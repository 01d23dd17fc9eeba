#include "body/MKSkinElement.h"

#include <cmath>

#include "body/MKSegment.h"
#include "math/MK3x1Matrix.h"
#include "math/MKMesh.h"

namespace {

bool HasNormals(const MKMesh* mesh) {
  return mesh && (mesh->GetType() == MKMesh::MKRing || mesh->GetType() == MKMesh::MKCap) &&
         mesh->GetNumberOfPoints() > 0;
}

MK3x1Matrix Edge(const MK3DVertex& from, const MK3DVertex& to) {
  return MK3x1Matrix(to.x - from.x, to.y - from.y, to.z - from.z);
}

MK3DVertex Centre(const MKMesh& mesh) {
  const unsigned int n = mesh.GetNumberOfPoints();
  double x = 0.0, y = 0.0, z = 0.0;
  for (unsigned int k = 0; k < n; ++k) {
    x += mesh[k].x;
    y += mesh[k].y;
    z += mesh[k].z;
  }
  return MK3DVertex(x / n, y / n, z / n);
}

// The point of `other` that faces point j of a mesh of n points.
const MK3DVertex& Matching(const MKMesh& other, unsigned int j, unsigned int n) {
  const unsigned int m = other.GetNumberOfPoints();
  if (m == n) return other[j];
  const double scaled = std::floor(static_cast<double>(j) * m / n + 0.5);
  return other[static_cast<unsigned int>(scaled) % m];
}

}  // namespace

MKSkinElement::MKSkinElement(MKSegment* segment)
    : MKBodyElement(MKSkinElementClass, segment,
                    static_cast<MKShortName>(segment ? segment->GetShortName() + 4000 : 4000)) {
  globalMatrix.Unit();
}

MKSkinElement::~MKSkinElement() {
  Clear();
}

void MKSkinElement::Update() {
  if (owner) globalMatrix = owner->GetGlobalMatrix();
}

void MKSkinElement::AddMesh(const MKMesh& mesh) {
  meshes.Append(new MKMesh(mesh));
}

void MKSkinElement::InsertMeshAtIndex(unsigned int i, const MKMesh& mesh) {
  if (i > GetNumberOfMeshes()) return;
  meshes.InsertAt(static_cast<int>(i) + 1, new MKMesh(mesh));
}

void MKSkinElement::RemoveMeshAtIndex(unsigned int i) {
  if (i >= GetNumberOfMeshes()) return;
  delete static_cast<MKMesh*>(meshes[static_cast<int>(i) + 1]);
  meshes.RemovePosition(static_cast<int>(i) + 1);
}

void MKSkinElement::Clear() {
  for (int i = 1; i <= meshes.Size(); ++i) delete static_cast<MKMesh*>(meshes[i]);
  meshes.RemoveAll();
}

MKMesh* MKSkinElement::GetMesh(unsigned int i) const {
  if (i >= GetNumberOfMeshes()) return nullptr;
  return static_cast<MKMesh*>(meshes[static_cast<int>(i) + 1]);
}

void MKSkinElement::CalculateNormalOnVertices() {
  const unsigned int total = GetNumberOfMeshes();
  for (unsigned int k = 0; k < total; ++k) {
    MKMesh* mesh = GetMesh(k);
    if (!HasNormals(mesh)) continue;
    const MKMesh* before = k > 0 ? GetMesh(k - 1) : nullptr;
    const MKMesh* after = GetMesh(k + 1);
    if (!HasNormals(before)) before = nullptr;
    if (!HasNormals(after)) after = nullptr;
    const unsigned int n = mesh->GetNumberOfPoints();
    for (unsigned int j = 0; j < n; ++j) {
      const MK3DVertex p = (*mesh)[j];
      const MK3x1Matrix next = Edge(p, (*mesh)[(j + 1) % n]);
      const MK3x1Matrix previous = Edge(p, (*mesh)[(j + n - 1) % n]);
      MK3x1Matrix sum;
      if (after) {
        const MK3x1Matrix up = Edge(p, Matching(*after, j, n));
        sum += up.VectProd(next);
        sum += previous.VectProd(up);
      }
      if (before) {
        const MK3x1Matrix down = Edge(p, Matching(*before, j, n));
        sum += next.VectProd(down);
        sum += down.VectProd(previous);
      }
      // At a pole, where the mesh has shrunk to a point, the normal points
      // on along the cap, away from the neighbour's centre.
      if (!(sum.Norm() > 0.0) && (after || before)) sum = Edge(Centre(after ? *after : *before), p);
      const double length = sum.Norm();
      if (length > 0.0) sum *= 1.0 / length;
      mesh->SetNormalOnVertice(j, sum(0), sum(1), sum(2));
    }
  }
}
