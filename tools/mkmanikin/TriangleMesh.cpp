#include "TriangleMesh.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace mkcli {

std::uint32_t TriangleMesh::AddVertex(const Vec3& position) {
  positions.push_back(position);
  return static_cast<std::uint32_t>(positions.size() - 1);
}

void TriangleMesh::BeginGroup(const std::string& name) {
  groupNames.push_back(name);
}

void TriangleMesh::AddTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c, Surface surface) {
  if (groupNames.empty()) groupNames.emplace_back("skin");
  const Vec3 n = Cross(positions[b] - positions[a], positions[c] - positions[a]);
  // Relative to the edges, so that small hands and fingers keep their triangles.
  const double scale = Dot(positions[b] - positions[a], positions[b] - positions[a]) +
                       Dot(positions[c] - positions[a], positions[c] - positions[a]);
  if (!(Length(n) > 1e-9 * scale) || !(scale > 0.0)) return;
  triangles.push_back({{a, b, c}, static_cast<std::uint32_t>(groupNames.size() - 1), surface});
}

void TriangleMesh::Weld(double tolerance) {
  // Points are looked up in their grid cell and the cells around it, so
  // that two copies of a point that round to neighbouring cells still meet.
  using Key = std::tuple<long long, long long, long long>;
  std::map<Key, std::vector<std::uint32_t>> cells;
  std::vector<std::uint32_t> target(positions.size());
  for (std::size_t i = 0; i < positions.size(); ++i) {
    const Vec3& p = positions[i];
    const Key key{std::llround(p.x / tolerance), std::llround(p.y / tolerance),
                  std::llround(p.z / tolerance)};
    target[i] = static_cast<std::uint32_t>(i);
    bool found = false;
    for (long long dx = -1; dx <= 1 && !found; ++dx)
      for (long long dy = -1; dy <= 1 && !found; ++dy)
        for (long long dz = -1; dz <= 1 && !found; ++dz) {
          const auto cell =
              cells.find(Key{std::get<0>(key) + dx, std::get<1>(key) + dy, std::get<2>(key) + dz});
          if (cell == cells.end()) continue;
          for (std::uint32_t j : cell->second)
            if (Length(positions[j] - p) <= tolerance) {
              target[i] = j;
              found = true;
              break;
            }
        }
    if (!found) cells[key].push_back(static_cast<std::uint32_t>(i));
  }
  std::vector<Triangle> kept;
  kept.reserve(triangles.size());
  for (Triangle t : triangles) {
    for (std::uint32_t& v : t.v) v = target[v];
    if (t.v[0] != t.v[1] && t.v[1] != t.v[2] && t.v[2] != t.v[0]) kept.push_back(t);
  }
  // Only the vertices that a triangle still uses, in their first order.
  constexpr std::uint32_t kUnused = 0xFFFFFFFFu;
  std::vector<std::uint32_t> renumbered(positions.size(), kUnused);
  std::vector<Vec3> used;
  for (Triangle& t : kept)
    for (std::uint32_t& v : t.v) {
      if (renumbered[v] == kUnused) {
        renumbered[v] = static_cast<std::uint32_t>(used.size());
        used.push_back(positions[v]);
      }
      v = renumbered[v];
    }
  positions.swap(used);
  triangles.swap(kept);
  normals.clear();
}

void TriangleMesh::ComputeNormals() {
  normals.assign(positions.size(), Vec3{});
  for (std::size_t t = 0; t < triangles.size(); ++t) {
    const Vec3 n = AreaNormal(t);
    for (std::uint32_t v : triangles[t].v) normals[v] += n;
  }
  for (Vec3& n : normals) n = Normalized(n);
}

Vec3 TriangleMesh::AreaNormal(std::size_t triangle) const {
  const Triangle& t = triangles[triangle];
  const Vec3& a = positions[t.v[0]];
  return Cross(positions[t.v[1]] - a, positions[t.v[2]] - a);
}

Vec3 TriangleMesh::Centroid(std::size_t triangle) const {
  const Triangle& t = triangles[triangle];
  return (positions[t.v[0]] + positions[t.v[1]] + positions[t.v[2]]) * (1.0 / 3.0);
}

bool TriangleMesh::Bounds(Vec3& low, Vec3& high) const {
  if (positions.empty()) return false;
  low = high = positions.front();
  for (const Vec3& p : positions) {
    low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
    high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
  }
  return true;
}

void TriangleMesh::Translate(const Vec3& offset) {
  for (Vec3& p : positions) p += offset;
}

}  // namespace mkcli
