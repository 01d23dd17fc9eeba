// mkmanikin export: a manikin's skin as an OBJ file and a picture of it.
#include <CLI/CLI.hpp>

#include <cstring>
#include <iostream>

#include "CommandSupport.h"
#include "Failure.h"
#include "ManikinBuilder.h"
#include "ObjWriter.h"
#include "OutputFiles.h"
#include "Pictures.h"
#include "SkinMesh.h"
#include "body/MKBody.h"
#include "manikin/MKManikin.h"
#include "parts/MKStatus.h"

namespace mkcli {
namespace {

// The predefined postures of the body, by the names the command line uses.
struct PostureName {
  const char* name;
  MKPostureSpec posture;
  const char* description;
};
const PostureName kPostures[] = {
    {"standing", MKPostureStanding, "upright, arms hanging"},
    {"sitting", MKPostureSitting, "hips and knees bent 90 degrees, elbows bent"},
    {"arms-forward", static_cast<MKPostureSpec>(3), "standing, both arms raised forward"},
    {"reach-across", static_cast<MKPostureSpec>(4),
     "standing, arms forward, the left one across the body"},
    {"arms-out", static_cast<MKPostureSpec>(5), "standing, arms raised sideways"},
    {"kneeling", static_cast<MKPostureSpec>(6), "knees bent 107 degrees, elbows bent"},
};

const PostureName* FindPosture(const std::string& name) {
  for (const PostureName& p : kPostures)
    if (name == p.name) return &p;
  return nullptr;
}

std::string PostureList() {
  std::string list;
  for (const PostureName& p : kPostures) list += (list.empty() ? "" : "|") + std::string(p.name);
  return list;
}

class ExportCommand : public Subcommand {
 public:
  CLI::App* Add(CLI::App& app) override {
    CLI::App* command = app.add_subcommand(
        "export", "Create a manikin and write its skin (OBJ) and a picture of it (PNG)");
    manikin.AddTo(*command);
    std::string postures = "Postures:\n";
    for (const PostureName& p : kPostures)
      postures += std::string("  ") + p.name + std::string(14 - std::strlen(p.name), ' ') +
                  p.description + "\n";
    command->add_option("--posture", posture, "Posture of the manikin (see below)")
        ->type_name("POSTURE")
        ->default_str("standing")
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
              if (FindPosture(text)) return {};
              return "'" + text + "' is not a posture: give one of " + PostureList();
            },
            "", "POSTURE"));
    command->add_option("--obj", obj, "Write the skin to FILE (Wavefront OBJ)")->type_name("FILE");
    command->add_option("--png", png, "Write a front and side view to FILE (PNG)")
        ->type_name("FILE");
    AddSizeOption(*command, size, "800x1000");
    command->footer(
        "Give --obj, --png or both. The OBJ holds every segment's skin and the head as\n"
        "triangles with vertex normals, one group per segment (and per facial feature),\n"
        "in the library's frame: centimetres, Y up, the manikin facing +Z, the origin at\n"
        "its pelvis. The picture shows the manikin from the front and from its right.\n\n" +
        postures + "\n" + ManikinOptionsHelp() +
        "\nExample:\n"
        "  mkmanikin export --sex male --percentile 95 --posture sitting --obj m95.obj "
        "--png m95.png\n");
    return command;
  }

  void Run() override {
    if (obj.empty() && png.empty())
      throw UsageError("nothing to write: give --obj FILE, --png FILE or both");
    const ManikinSpec spec = manikin.Spec();
    const PictureSize pictureSize = ParseSize(size);
    std::vector<std::string> warnings;
    const ManikinPtr built = BuildManikin(spec, warnings);
    Warn(warnings);
    const MKStatus posed = built->GetBody()->SetPosture(FindPosture(posture)->posture);
    if (posed != MKStatusSuccess)
      throw Failure(kExitFailure, "--posture " + posture +
                                      ": the library refused it: " + StatusText(posed.GetCode()));
    const TriangleMesh mesh = BuildSkinMesh(*built);
    if (mesh.TriangleCount() == 0) throw Failure(kExitFailure, "the manikin has no skin to export");

    OutputFiles files;
    if (!obj.empty())
      files.Stage(obj, "--obj", FormatObj(mesh, ObjHeader(*built, spec.percentile, posture)));
    if (!png.empty())
      files.Stage(png, "--png",
                  PngOf(DrawFrontAndSide(mesh, FloorHeight(*built), pictureSize.width,
                                         pictureSize.height)));
    files.Commit();
    if (!obj.empty())
      std::cout << "wrote " << obj << " (" << mesh.Positions().size() << " vertices, "
                << mesh.TriangleCount() << " triangles)\n";
    if (!png.empty())
      std::cout << "wrote " << png << " (" << pictureSize.width << "x" << pictureSize.height
                << ", front and side view)\n";
  }

 private:
  ManikinOptions manikin;
  std::string posture = "standing";
  std::string obj, png, size;
};

}  // namespace

std::unique_ptr<Subcommand> MakeExportCommand() {
  return std::make_unique<ExportCommand>();
}

}  // namespace mkcli
