#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "Geometry.h"

namespace mkcli {

// What a triangle shows, for colouring: the skin, or a feature of the face.
enum class Surface : std::uint8_t {
  Skin,
  Hair,
  Eyebrows,
  Eyelids,
  EyeWhites,
  Irises,
  Pupils,
  Lips
};

// An indexed triangle mesh in world space. Every triangle belongs to a named
// group (one per body segment, and the head's features).
class TriangleMesh {
 public:
  struct Triangle {
    std::uint32_t v[3];
    std::uint32_t group;
    Surface surface;
  };

  std::uint32_t AddVertex(const Vec3& position);
  // The group of the triangles added from now on.
  void BeginGroup(const std::string& name);
  // Skips a triangle without area (a repeated or collinear corner).
  void AddTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c, Surface surface);
  // Turns the triangles from `first` on so that most of their area faces
  // `outward(centroid)`: a patch of surface is oriented as a whole.
  template <typename Outward>
  void OrientPatch(std::size_t first, Outward outward) {
    double balance = 0.0;
    for (std::size_t t = first; t < triangles.size(); ++t)
      balance += Dot(AreaNormal(t), outward(Centroid(t)));
    if (balance < 0.0)
      for (std::size_t t = first; t < triangles.size(); ++t)
        std::swap(triangles[t].v[1], triangles[t].v[2]);
  }

  // Merges vertices that round to the same multiple of `tolerance` (the
  // rings that neighbouring pieces share, the points of a cap's pole),
  // drops the triangles that collapse and the vertices no triangle uses.
  void Weld(double tolerance);
  // One unit normal per vertex: the area-weighted mean of its triangles' normals.
  void ComputeNormals();

  // Cross product of two edges: along the normal, twice the area long.
  Vec3 AreaNormal(std::size_t triangle) const;
  Vec3 Centroid(std::size_t triangle) const;
  // Lowest and highest coordinates of the vertices; false when there are none.
  bool Bounds(Vec3& low, Vec3& high) const;
  void Translate(const Vec3& offset);

  std::size_t TriangleCount() const { return triangles.size(); }
  const std::vector<Vec3>& Positions() const { return positions; }
  // Empty until ComputeNormals.
  const std::vector<Vec3>& Normals() const { return normals; }
  const std::vector<Triangle>& Triangles() const { return triangles; }
  const std::vector<std::string>& GroupNames() const { return groupNames; }

 private:
  std::vector<Vec3> positions;
  std::vector<Vec3> normals;
  std::vector<Triangle> triangles;
  std::vector<std::string> groupNames;
};

}  // namespace mkcli
