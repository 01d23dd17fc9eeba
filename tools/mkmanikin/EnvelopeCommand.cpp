// mkmanikin envelope: the reach envelope of one arm as an OBJ surface and a
// picture of the manikin inside a wire cage of it.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <sstream>
#include <vector>

#include "CommandSupport.h"
#include "Failure.h"
#include "ManikinBuilder.h"
#include "ObjWriter.h"
#include "OutputFiles.h"
#include "Pictures.h"
#include "SkinMesh.h"
#include "body/MKBody.h"
#include "body/MKSegment.h"
#include "body/MKSkinElement.h"
#include "manikin/MKManikin.h"
#include "math/MKMesh.h"

namespace mkcli {
namespace {

constexpr Rgb kCageColour{40, 90, 200};
// Width of a cage wire, cm.
constexpr double kWireWidth = 0.35;

struct Side {
  MKShortName clavicle, arm, hand, girdle;
  const char* name;
};
constexpr Side kRight{RSArCl, RSArAr, RSHaCPr, RSBoTst, "right"};
constexpr Side kLeft{LSArCl, LSArAr, LSHaCPr, LSBoTst, "left"};

// The envelope's meshes (pole, rings, pole) in world space.
std::vector<std::vector<Vec3>> WorldMeshes(MKSegment& girdle) {
  std::vector<std::vector<Vec3>> meshes;
  const MKSkinElement* skin = girdle.GetSkinElement();
  const MK4x4Matrix& global = girdle.GetGlobalMatrix();
  for (unsigned int j = 0; skin && j < skin->GetNumberOfMeshes(); ++j) {
    const MKMesh& mesh = *skin->GetMesh(j);
    meshes.emplace_back();
    for (unsigned int i = 0; i < mesh.GetNumberOfPoints(); ++i) {
      const MK3x1Matrix q = global * MK3x1Matrix(mesh[i].x, mesh[i].y, mesh[i].z);
      meshes.back().push_back({q(0), q(1), q(2)});
    }
  }
  return meshes;
}

// A wire from a to b: two crossed ribbons, seen from any side.
void AddWire(TriangleMesh& mesh, const Vec3& a, const Vec3& b) {
  const Vec3 d = b - a;
  if (Length(d) < 1e-9) return;
  Vec3 u = Cross(d, {0.0, 1.0, 0.0});
  if (Length(u) < 1e-6 * Length(d)) u = Cross(d, {1.0, 0.0, 0.0});
  u = Normalized(u) * (0.5 * kWireWidth);
  const Vec3 v = Normalized(Cross(d, u)) * (0.5 * kWireWidth);
  for (const Vec3& across : {u, v}) {
    const std::uint32_t a0 = mesh.AddVertex(a - across), a1 = mesh.AddVertex(a + across);
    const std::uint32_t b0 = mesh.AddVertex(b - across), b1 = mesh.AddVertex(b + across);
    mesh.AddTriangle(a0, a1, b1, Surface::Skin);
    mesh.AddTriangle(a0, b1, b0, Surface::Skin);
  }
}

// The cage: every latitude ring, and every meridian from pole to pole.
void AddCage(TriangleMesh& mesh, const std::vector<std::vector<Vec3>>& meshes) {
  mesh.BeginGroup("envelope");
  for (std::size_t j = 1; j + 1 < meshes.size(); ++j)
    for (std::size_t i = 0; i < meshes[j].size(); ++i)
      AddWire(mesh, meshes[j][i], meshes[j][(i + 1) % meshes[j].size()]);
  for (std::size_t j = 0; j + 1 < meshes.size(); ++j)
    for (std::size_t i = 0; i < meshes[j].size() && i < meshes[j + 1].size(); ++i)
      AddWire(mesh, meshes[j][i], meshes[j + 1][i]);
}

class EnvelopeCommand : public Subcommand {
 public:
  CLI::App* Add(CLI::App& app) override {
    CLI::App* command =
        app.add_subcommand("envelope", "Write the reach envelope of a manikin's arm (OBJ, PNG)");
    manikin.AddTo(*command);
    command->add_option("--side", side, "The arm")
        ->type_name("right|left")
        ->default_str("right")
        ->check(CLI::IsMember({"right", "left"}));
    command
        ->add_option("--resolution", resolution,
                     "Rings and points per ring of the envelope (the skin's mesh resolution)")
        ->default_str(std::to_string(MKBody::GetDefaultMeshResolution()))
        ->check(CLI::Range(MKBody::GetMinMeshResolution(), MKBody::GetMaxMeshResolution()));
    command->add_option("--obj", obj, "Write the envelope's surface to FILE (Wavefront OBJ)")
        ->type_name("FILE");
    command->add_option("--png", png, "Write a front and side view of the manikin in it to FILE")
        ->type_name("FILE");
    AddSizeOption(*command, size, "1000x1000");
    command->footer(
        "Give --obj, --png or both. The envelope is what the hand's end reaches with the\n"
        "shoulder held still: the IK solver drives the arm, from the middle of its joint\n"
        "ranges each time, towards N - 1 latitude rings of N points on a sphere about\n"
        "the shoulder 1.2 times the arm's length in radius (N the resolution), and\n"
        "towards its two poles; the points reached make the surface. The OBJ holds it\n"
        "as triangles with normals in the library's frame (cm, Y up, the manikin facing\n"
        "+Z); the picture shows the standing manikin in a wire cage of it.\n\n" +
        ManikinOptionsHelp() +
        "\nExample:\n"
        "  mkmanikin envelope --sex female --percentile 5 --side left --obj f5.obj --png "
        "f5.png\n");
    return command;
  }

  void Run() override {
    if (obj.empty() && png.empty())
      throw UsageError("nothing to write: give --obj FILE, --png FILE or both");
    const ManikinSpec spec = manikin.Spec();
    const PictureSize pictureSize = ParseSize(size);
    const Side& arm = side == "left" ? kLeft : kRight;
    std::vector<std::string> warnings;
    const ManikinPtr built = BuildManikin(spec, warnings);
    Warn(warnings);
    MKBody& body = *built->GetBody();
    body.SetMeshResolution(resolution);
    // The skin first: the envelope takes the place of the girdle's own skin.
    TriangleMesh picture = BuildSkinMesh(*built);
    body.BuildReachEnvelope(arm.clavicle, arm.hand, MKFrame());
    MKSegment* girdle = body.GetSegment(arm.girdle);
    const std::vector<std::vector<Vec3>> meshes = WorldMeshes(*girdle);
    if (meshes.size() != resolution + 1)
      throw Failure(kExitFailure, "the manikin has no arm to sweep");

    const MK3DVertex shoulder = body.GetSegment(arm.arm)->GetBeginPoint(MKGlobalSpace);
    double nearest = 0.0, farthest = 0.0;
    for (std::size_t j = 0; j < meshes.size(); ++j)
      for (const Vec3& p : meshes[j]) {
        const double d = Length(p - Vec3{shoulder.x, shoulder.y, shoulder.z});
        nearest = j == 0 ? d : std::min(nearest, d);
        farthest = std::max(farthest, d);
      }
    std::ostringstream summary;
    summary.precision(1);
    summary << std::fixed << Describe(*built, spec.percentile) << ", " << arm.name << " arm: reach "
            << nearest << " to " << farthest << " cm from the shoulder";

    OutputFiles files;
    if (!obj.empty()) {
      const TriangleMesh surface = BuildSegmentSkinMesh(*girdle, resolution);
      files.Stage(obj, "--obj",
                  FormatObj(surface, ObjHeader(*built, spec.percentile, "standing") + "\n" +
                                         "Reach envelope: " + summary.str()));
    }
    if (!png.empty()) {
      AddCage(picture, meshes);
      picture.ComputeNormals();
      Paint paint(picture.GroupNames().size());
      for (std::size_t g = 0; g < paint.size(); ++g)
        if (picture.GroupNames()[g] == "envelope") paint[g] = kCageColour;
      files.Stage(png, "--png",
                  PngOf(DrawFrontAndSide(picture, FloorHeight(*built), pictureSize.width,
                                         pictureSize.height, &paint,
                                         {"Reach envelope of " + summary.str()})));
    }
    files.Commit();
    std::cout << summary.str() << "\n";
    if (!obj.empty()) std::cout << "wrote " << obj << "\n";
    if (!png.empty()) std::cout << "wrote " << png << "\n";
  }

 private:
  ManikinOptions manikin;
  std::string side = "right";
  unsigned int resolution = MKBody::GetDefaultMeshResolution();
  std::string obj, png, size;
};

}  // namespace

std::unique_ptr<Subcommand> MakeEnvelopeCommand() {
  return std::make_unique<EnvelopeCommand>();
}

}  // namespace mkcli
