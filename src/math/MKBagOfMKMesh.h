#pragma once

#include "host/KelRawColl.h"
#include "math/MKMesh.h"

// A list of mesh copies, owned by the bag.
class MKBagOfMKMesh {
 public:
  MKBagOfMKMesh() = default;
  MKBagOfMKMesh(const MKBagOfMKMesh&) = delete;
  MKBagOfMKMesh& operator=(const MKBagOfMKMesh&) = delete;
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
  KelRawCollPV meshes;
};
