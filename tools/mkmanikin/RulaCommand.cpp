// mkmanikin rula: the RULA scores of a manikin in a posture, and a picture
// of it coloured by score.
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <iostream>

#include "CommandSupport.h"
#include "Failure.h"
#include "ManikinBuilder.h"
#include "NamedPostures.h"
#include "Numbers.h"
#include "OutputFiles.h"
#include "Pictures.h"
#include "PostureJson.h"
#include "RulaReport.h"
#include "SkinMesh.h"
#include "manikin/MKManikin.h"

namespace mkcli {
namespace {

class RulaCommand : public Subcommand {
 public:
  CLI::App* Add(CLI::App& app) override {
    CLI::App* command = app.add_subcommand(
        "rula", "Score a manikin's posture with RULA and picture it coloured by score");
    manikin.AddTo(*command);
    CLI::Option* named = AddPostureOption(*command, posture);
    command
        ->add_option("--posture-file", postureFile,
                     "Read the posture from FILE (JSON with \"dofs\", as mkmanikin reach writes)")
        ->type_name("FILE")
        ->excludes(named);
    command->add_option("--side", side, "Side to analyse")
        ->type_name("right|left")
        ->default_str("right")
        ->check(CLI::IsMember({"right", "left"}));
    command->add_option("--load", options.load, "Load handled, in kg")
        ->type_name("KG")
        ->default_str("0")
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
              double kg = 0.0;
              if (ParseNumber(text, kg) && kg >= 0.0) return {};
              return "'" + text + "' is not a load: give kilograms, 0 or more";
            },
            "", "KG"));
    command->add_option("--load-mode", options.loadMode, "How the load is handled")
        ->type_name(LoadModeList())
        ->default_str("static")
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
              if (IsLoadMode(text)) return {};
              return "'" + text + "' is not a load mode: give one of " + LoadModeList();
            },
            "", "MODE"));
    command->add_flag("--no-muscle-use", noMuscleUse,
                      "The posture is neither held (over a minute) nor repeated (4 times a "
                      "minute or more)");
    command->add_flag("--arm-supported", options.armSupported,
                      "The arm is supported, or the person leans");
    command->add_flag("--across-midline", options.acrossMidline,
                      "The arms work across the mid-line or out to the side");
    command->add_flag("--legs-unsupported", options.legsUnsupported,
                      "The legs are not supported: scored 2 when the body is off balance");
    AddFormatOption(*command, format);
    command
        ->add_option("-o,--output", output, "Write the scores to FILE instead of standard output")
        ->type_name("FILE");
    command->add_option("--png", png, "Write a front and side view coloured by score to FILE")
        ->type_name("FILE");
    AddSizeOption(*command, size, "800x1000");
    command->footer(
        "Prints every score of the method for one side: upper arm, lower arm, wrist and\n"
        "wrist twist, posture A, muscle use, force/load, wrist and arm; neck, trunk, legs,\n"
        "posture B, neck, trunk and legs; the final score, its action level and what it\n"
        "asks for. The arm, neck and trunk scores show the flexion they were read from.\n"
        "Whether the shoulder is raised, the arm abducted or rotated, the wrist bent or\n"
        "twisted, the neck or trunk twisted or bent sideways is read from the posture.\n"
        "The picture colours each scored segment by its part's score: green for the\n"
        "part's neutral range, then yellow, orange and red up to the part's worst score.\n\n" +
        PostureHelp() + "\n" + ManikinOptionsHelp() +
        "\nExamples:\n"
        "  mkmanikin rula --sex female --posture arms-forward --load 5 --png rula.png\n"
        "  mkmanikin rula --sex male --posture-file reach.json --side left --format json\n");
    return command;
  }

  void Run() override {
    const ManikinSpec spec = manikin.Spec();
    const PictureSize pictureSize = ParseSize(size);
    options.left = side == "left";
    options.muscleUse = !noMuscleUse;
    std::vector<std::string> warnings;
    const ManikinPtr built = BuildManikin(spec, warnings);
    if (postureFile.empty()) {
      ApplyNamedPosture(*built, posture);
    } else {
      const nlohmann::json dofs = ReadPostureFile(postureFile, "--posture-file");
      ApplyPostureJson(*built, dofs, "--posture-file " + postureFile, warnings);
    }
    Warn(warnings);
    const RulaReport report =
        AnalyseRula(*built, spec.percentile, postureFile.empty() ? posture : postureFile, options);
    TableFormat tableFormat = TableFormat::Text;
    ParseTableFormat(format, tableFormat);
    const std::string text = FormatRula(report, tableFormat);

    OutputFiles files;
    if (!output.empty()) files.Stage(output, "--output", text);
    if (!png.empty()) {
      const TriangleMesh mesh = BuildSkinMesh(*built);
      const Paint paint = RulaPaint(report, mesh);
      files.Stage(png, "--png",
                  PngOf(DrawFrontAndSide(mesh, FloorHeight(*built), pictureSize.width,
                                         pictureSize.height, &paint, RulaCaption(report))));
    }
    files.Commit();
    if (output.empty()) {
      std::cout << text << std::flush;
      if (!std::cout) throw Failure(kExitFailure, "standard output: cannot write");
    }
  }

 private:
  ManikinOptions manikin;
  std::string posture = "standing";
  std::string postureFile;
  std::string side = "right";
  RulaOptions options;
  bool noMuscleUse = false;
  std::string format = "text";
  std::string output, png, size;
};

}  // namespace

std::unique_ptr<Subcommand> MakeRulaCommand() {
  return std::make_unique<RulaCommand>();
}

}  // namespace mkcli
