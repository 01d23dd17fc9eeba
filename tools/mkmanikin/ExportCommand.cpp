// mkmanikin export: a manikin's skin as an OBJ file and a picture of it.
#include <CLI/CLI.hpp>

#include <iostream>

#include "CommandSupport.h"
#include "Failure.h"
#include "ManikinBuilder.h"
#include "NamedPostures.h"
#include "ObjWriter.h"
#include "OutputFiles.h"
#include "Pictures.h"
#include "RulaReport.h"
#include "SkinMesh.h"
#include "body/MKBody.h"
#include "manikin/MKManikin.h"
#include "parts/MKStatus.h"

namespace mkcli {
namespace {

class ExportCommand : public Subcommand {
 public:
  CLI::App* Add(CLI::App& app) override {
    CLI::App* command = app.add_subcommand(
        "export", "Create a manikin and write its skin (OBJ) and a picture of it (PNG)");
    manikin.AddTo(*command);
    AddPostureOption(*command, posture);
    command->add_option("--obj", obj, "Write the skin to FILE (Wavefront OBJ)")->type_name("FILE");
    command->add_option("--png", png, "Write a front and side view to FILE (PNG)")
        ->type_name("FILE");
    command->add_option("--colour", colour, "Colour of the segments in the picture")
        ->type_name("skin|rula")
        ->default_str("skin")
        ->check(CLI::IsMember({"skin", "rula"}));
    AddSizeOption(*command, size, "800x1000");
    command->footer(
        "Give --obj, --png or both. The OBJ holds every segment's skin and the head as\n"
        "triangles with vertex normals, one group per segment (and per facial feature),\n"
        "in the library's frame: centimetres, Y up, the manikin facing +Z, the origin at\n"
        "its pelvis. The picture shows the manikin from the front and from its right;\n"
        "with --colour rula its right arm, neck, trunk and legs take the colours of their\n"
        "RULA scores (see mkmanikin rula) and the final score is written under it.\n\n" +
        PostureHelp() + "\n" + ManikinOptionsHelp() +
        "\nExample:\n"
        "  mkmanikin export --sex male --percentile 95 --posture sitting --obj m95.obj "
        "--png m95.png\n");
    return command;
  }

  void Run() override {
    if (obj.empty() && png.empty())
      throw UsageError("nothing to write: give --obj FILE, --png FILE or both");
    if (colour == "rula" && png.empty())
      throw UsageError("--colour colours the picture: give --png FILE");
    const ManikinSpec spec = manikin.Spec();
    const PictureSize pictureSize = ParseSize(size);
    std::vector<std::string> warnings;
    const ManikinPtr built = BuildManikin(spec, warnings);
    Warn(warnings);
    ApplyNamedPosture(*built, posture);
    const TriangleMesh mesh = BuildSkinMesh(*built);
    if (mesh.TriangleCount() == 0) throw Failure(kExitFailure, "the manikin has no skin to export");

    OutputFiles files;
    if (!obj.empty())
      files.Stage(obj, "--obj", FormatObj(mesh, ObjHeader(*built, spec.percentile, posture)));
    if (!png.empty()) {
      Paint paint;
      std::vector<std::string> caption;
      if (colour == "rula") {
        const RulaReport report = AnalyseRula(*built, spec.percentile, posture, RulaOptions());
        paint = RulaPaint(report, mesh);
        caption = RulaCaption(report);
      }
      files.Stage(png, "--png",
                  PngOf(DrawFrontAndSide(mesh, FloorHeight(*built), pictureSize.width,
                                         pictureSize.height, &paint, caption)));
    }
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
  std::string colour = "skin";
  std::string obj, png, size;
};

}  // namespace

std::unique_ptr<Subcommand> MakeExportCommand() {
  return std::make_unique<ExportCommand>();
}

}  // namespace mkcli
