#include "SkinMesh.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "anthro/MKAnthro.h"
#include "body/MKBody.h"
#include "body/MKSegment.h"
#include "body/MKSkinElement.h"
#include "host/KelSdoMesh.h"
#include "manikin/MKManikin.h"
#include "math/MKMesh.h"

namespace mkcli {
namespace {

// Points closer than this (cm) are one vertex.
constexpr double kWeldTolerance = 1e-4;

using Ring = std::vector<std::uint32_t>;

Vec3 ToWorld(const MK4x4Matrix& global, const MK3DVertex& p) {
  const MK3x1Matrix q = global * MK3x1Matrix(p.x, p.y, p.z);
  return {q(0), q(1), q(2)};
}

Vec3 Mean(const TriangleMesh& mesh, const Ring& points) {
  Vec3 sum;
  for (std::uint32_t v : points) sum += mesh.Positions()[v];
  return points.empty() ? sum : sum * (1.0 / static_cast<double>(points.size()));
}

// Away from the line through a and b (from a when they coincide).
auto AwayFromAxis(const Vec3& a, const Vec3& b) {
  const Vec3 axis = Normalized(b - a);
  return [a, axis](const Vec3& p) {
    const Vec3 d = p - a;
    return d - axis * Dot(d, axis);
  };
}

// A skin element is a sequence of cross-sections along its segment: rings
// and the rings of cap domes (a dome's last ring may shrink to its pole).
// Consecutive sections of the same size are joined by a band of quads. Two
// other shapes close the ankle where the leg meets the foot: a strip that
// alternates the points of two rings (twice the mesh resolution), and a fan
// whose first and last points are its centre.
enum class Shape { Section, Strip, Fan, Other };

Shape ShapeOf(const MKMesh& mesh, unsigned int resolution) {
  const unsigned int n = mesh.GetNumberOfPoints();
  const bool ringLike = mesh.GetType() == MKMesh::MKRing || mesh.GetType() == MKMesh::MKCap;
  if (!ringLike || n < 3) return Shape::Other;
  if (mesh.GetType() == MKMesh::MKRing && n == 2 * resolution) return Shape::Strip;
  if (mesh.GetType() == MKMesh::MKCap && n == resolution + 2 && mesh[0].x == mesh[n - 1].x &&
      mesh[0].y == mesh[n - 1].y && mesh[0].z == mesh[n - 1].z)
    return Shape::Fan;
  return Shape::Section;
}

void AddBand(TriangleMesh& mesh, const Ring& a, const Ring& b) {
  const std::size_t first = mesh.TriangleCount();
  const std::size_t n = a.size();
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t next = (k + 1) % n;
    mesh.AddTriangle(a[k], a[next], b[next], Surface::Skin);
    mesh.AddTriangle(a[k], b[next], b[k], Surface::Skin);
  }
  mesh.OrientPatch(first, AwayFromAxis(Mean(mesh, a), Mean(mesh, b)));
}

void AddStrip(TriangleMesh& mesh, const Ring& zigzag) {
  Ring even, odd;
  for (std::size_t k = 0; k < zigzag.size(); ++k) (k % 2 == 0 ? even : odd).push_back(zigzag[k]);
  AddBand(mesh, even, odd);
}

void AddFan(TriangleMesh& mesh, const Ring& fan, const Vec3& inside) {
  const std::size_t first = mesh.TriangleCount();
  const std::uint32_t centre = fan.front();
  const std::size_t n = fan.size() - 2;  // the ring between the two centres
  for (std::size_t k = 0; k < n; ++k)
    mesh.AddTriangle(centre, fan[1 + k], fan[1 + (k + 1) % n], Surface::Skin);
  mesh.OrientPatch(first, [inside](const Vec3& p) { return p - inside; });
}

void AddSegmentSkin(TriangleMesh& mesh, MKSegment& segment, unsigned int resolution) {
  MKSkinElement* skin = segment.GetSkinElement();
  if (!skin || skin->GetNumberOfMeshes() == 0) return;
  mesh.BeginGroup(segment.GetShortNameAsString());
  const MK4x4Matrix& global = segment.GetGlobalMatrix();
  std::vector<Ring> rings;
  std::vector<Shape> shapes;
  Ring all;
  for (unsigned int i = 0; i < skin->GetNumberOfMeshes(); ++i) {
    const MKMesh& section = *skin->GetMesh(i);
    Ring ring;
    for (unsigned int k = 0; k < section.GetNumberOfPoints(); ++k)
      ring.push_back(mesh.AddVertex(ToWorld(global, section[k])));
    all.insert(all.end(), ring.begin(), ring.end());
    rings.push_back(ring);
    shapes.push_back(ShapeOf(section, resolution));
  }
  const Vec3 inside = Mean(mesh, all);
  for (std::size_t i = 0; i < rings.size(); ++i) {
    if (shapes[i] == Shape::Strip) AddStrip(mesh, rings[i]);
    if (shapes[i] == Shape::Fan) AddFan(mesh, rings[i], inside);
    if (i + 1 < rings.size() && shapes[i] == Shape::Section && shapes[i + 1] == Shape::Section &&
        rings[i].size() == rings[i + 1].size())
      AddBand(mesh, rings[i], rings[i + 1]);
  }
}

// The base-mesh faces of each facial feature; faces not listed are skin.
std::vector<Surface> FeatureOfBaseFaces(const MKBody& body, int faces) {
  std::vector<Surface> surface(static_cast<std::size_t>(faces > 0 ? faces : 0), Surface::Skin);
  // Later lists win: the eyes' small parts are drawn over their whites.
  const std::pair<KelRawCollint* (MKBody::*)() const, Surface> lists[] = {
      {&MKBody::GetHairFacesIndexes, Surface::Hair},
      {&MKBody::GetEyebrowsFacesIndexes, Surface::Eyebrows},
      {&MKBody::GetEyelidsFacesIndexes, Surface::Eyelids},
      {&MKBody::GetLipsFacesIndexes, Surface::Lips},
      {&MKBody::GetEyesWhiteFacesIndexes, Surface::EyeWhites},
      {&MKBody::GetEyesColorFacesIndexes, Surface::Irises},
      {&MKBody::GetPupilsFacesIndexes, Surface::Pupils}};
  for (const auto& [get, feature] : lists) {
    std::unique_ptr<KelRawCollint> indexes((body.*get)());
    for (int i = 1; indexes && i <= indexes->Size(); ++i) {
      const int face = (*indexes)[i];
      if (face >= 0 && face < faces) surface[static_cast<std::size_t>(face)] = feature;
    }
  }
  return surface;
}

void AddHead(TriangleMesh& mesh, MKBody& body, int sex) {
  // Placed again on the head's ellipses as they now stand.
  body.InitSubD(sex);
  std::unique_ptr<KelSdoMesh> head(body.GetSubDSubdividedMesh());
  if (!head || head->GetNbFaces() == 0) return;
  mesh.BeginGroup("head");
  const std::uint32_t base = static_cast<std::uint32_t>(mesh.Positions().size());
  Vec3 centre;
  for (int v = 1; v <= head->GetNbVertices(); ++v) {
    const KelMathVector& p = head->GetVertex(v)->GetPosition();
    mesh.AddVertex({p.x, p.y, p.z});
    centre += Vec3{p.x, p.y, p.z};
  }
  centre = centre * (1.0 / head->GetNbVertices());
  const std::vector<Surface> feature = FeatureOfBaseFaces(body, body.GetNbHierarchies());
  const std::size_t first = mesh.TriangleCount();
  for (int f = 1; f <= head->GetNbFaces(); ++f) {
    const KelSdoFace* face = head->GetFace(f);
    // One subdivision makes four faces of each base face, in order.
    const std::size_t origin = static_cast<std::size_t>(f - 1) / 4;
    const Surface surface = origin < feature.size() ? feature[origin] : Surface::Skin;
    std::uint32_t corner[4];
    for (int k = 0; k < 4; ++k)
      corner[k] = base + static_cast<std::uint32_t>(face->GetVertexIndex(k) - 1);
    mesh.AddTriangle(corner[0], corner[1], corner[2], surface);
    mesh.AddTriangle(corner[0], corner[2], corner[3], surface);
  }
  mesh.OrientPatch(first, [centre](const Vec3& p) { return p - centre; });
}

}  // namespace

TriangleMesh BuildSkinMesh(MKManikin& manikin) {
  TriangleMesh mesh;
  MKBody* body = manikin.GetBody();
  if (!body) return mesh;
  for (unsigned int i = 0; i < body->GetNumberOfSegments(); ++i)
    AddSegmentSkin(mesh, *body->GetSegmentAtIndex(i), body->GetMeshResolution());
  const int sex = manikin.GetAnthro() ? manikin.GetAnthro()->GetSex() : body->GetSexOfCurrentBody();
  AddHead(mesh, *body, sex);
  mesh.Weld(kWeldTolerance);
  mesh.ComputeNormals();
  return mesh;
}

TriangleMesh BuildSegmentSkinMesh(MKSegment& segment, unsigned int resolution) {
  TriangleMesh mesh;
  AddSegmentSkin(mesh, segment, resolution);
  mesh.Weld(kWeldTolerance);
  mesh.ComputeNormals();
  return mesh;
}

double FloorHeight(MKManikin& manikin) {
  MKBody* body = manikin.GetBody();
  double floor = 0.0;
  for (unsigned int i = 0; body && i < body->GetNumberOfSegments(); ++i) {
    MKSegment* segment = body->GetSegmentAtIndex(i);
    const double low = std::min(segment->GetOriginPosition()(1), segment->GetEndPosition()(1));
    floor = i == 0 ? low : std::min(floor, low);
  }
  return floor;
}

}  // namespace mkcli
