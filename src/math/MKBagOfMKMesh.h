#pragma once

#include "host/KelRawColl.h"
#include "math/MKMesh.h"

// A list of mesh copies, owned by the bag; a copy of the bag copies them.
class MKBagOfMKMesh {
 public:
  MKBagOfMKMesh() = default;
  MKBagOfMKMesh(const MKBagOfMKMesh& source) { AddMeshesOf(source); }
  MKBagOfMKMesh& operator=(const MKBagOfMKMesh& source) {
    if (this != &source) {
      Clear();
      AddMeshesOf(source);
    }
    return *this;
  }
  ~MKBagOfMKMesh() { Clear(); }

  void AddMesh(const MKMesh& mesh) { meshes.Append(new MKMesh(mesh)); }
  // 0-based; null when out of range.
  MKMesh* GetMesh(unsigned int i) const {
    return i < GetNumberOfMeshes() ? static_cast<MKMesh*>(meshes[static_cast<int>(i) + 1])
                                   : nullptr;
  }
  unsigned int GetNumberOfMeshes() const { return static_cast<unsigned int>(meshes.Size()); }
  void Clear() {
    for (int i = 1; i <= meshes.Size(); ++i) delete static_cast<MKMesh*>(meshes[i]);
    meshes.RemoveAll();
  }

 private:
  void AddMeshesOf(const MKBagOfMKMesh& source) {
    for (unsigned int i = 0; i < source.GetNumberOfMeshes(); ++i) AddMesh(*source.GetMesh(i));
  }

  KelRawCollPV meshes;
};
