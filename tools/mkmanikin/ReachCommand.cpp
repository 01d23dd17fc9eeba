// mkmanikin reach: a manikin puts a hand, or both, on a target; the solved
// posture, the outcome and a picture with the targets marked.
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <array>
#include <cmath>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>

#include "CommandSupport.h"
#include "Failure.h"
#include "HandReach.h"
#include "ManikinBuilder.h"
#include "Numbers.h"
#include "OutputFiles.h"
#include "Pictures.h"
#include "PostureJson.h"
#include "SkinMesh.h"
#include "body/MKSegment.h"
#include "manikin/MKManikin.h"

namespace mkcli {
namespace {

constexpr Rgb kTargetColour{200, 30, 30};

// A small diamond at `p`, in its own group.
void MarkTarget(TriangleMesh& mesh, const Triple& p) {
  const double r = 2.0;
  mesh.BeginGroup("target");
  const Vec3 c{p[0], p[1], p[2]};
  const Vec3 tips[6] = {{r, 0, 0}, {-r, 0, 0}, {0, r, 0}, {0, -r, 0}, {0, 0, r}, {0, 0, -r}};
  std::uint32_t v[6];
  for (int k = 0; k < 6; ++k) v[k] = mesh.AddVertex(c + tips[k]);
  const int faces[8][3] = {{0, 2, 4}, {2, 1, 4}, {1, 3, 4}, {3, 0, 4},
                           {2, 0, 5}, {1, 2, 5}, {3, 1, 5}, {0, 3, 5}};
  for (const auto& f : faces) mesh.AddTriangle(v[f[0]], v[f[1]], v[f[2]], Surface::Skin);
}

class ReachCommand : public Subcommand {
 public:
  CLI::App* Add(CLI::App& app) override {
    CLI::App* command = app.add_subcommand(
        "reach", "Put a manikin's hand (or both) on a target and write the solved posture");
    manikin.AddTo(*command);
    CLI::Option* task =
        command->add_option("--task", taskFile, "Read the targets from FILE")->type_name("FILE");
    // --right X,Y,Z and --right-rotation RX,RY,RZ, the same for the left.
    const std::pair<std::string, std::string*> options[] = {{"right", &rightText},
                                                            {"left", &leftText},
                                                            {"right-rotation", &rightRotationText},
                                                            {"left-rotation", &leftRotationText}};
    for (const auto& [name, text] : options) {
      const bool rotation = name.find('-') != std::string::npos;
      const std::string hand = name.substr(0, name.find('-'));
      command
          ->add_option("--" + name, *text,
                       rotation ? "Orientation of the " + hand +
                                      " hand: rotations about X, Y and Z in degrees"
                                : "Position of the " + hand + " hand's target, in cm")
          ->check(TripleCheck(rotation ? "three rotations" : "a position"))
          ->excludes(task);
    }
    command->add_option("-o,--output", output, "Write the JSON to FILE instead of standard output")
        ->type_name("FILE");
    command->add_option("--png", png, "Write a front and side view with the targets to FILE")
        ->type_name("FILE");
    AddSizeOption(*command, size, "800x1000");
    command->footer(
        "Reaches each hand from its clavicle to its target (world coordinates of the\n"
        "manikin, cm, Y up): its position alone, or its whole frame when a rotation is\n"
        "given. Writes JSON: \"status\" (\"reached\" or \"not reached\"), \"code\" (the\n"
        "solver's status, 0 or 1300), the targets and \"dofs\", every DOF in degrees\n"
        "(the posture that mkmanikin rula --posture-file reads). A target out of reach\n"
        "leaves the arm stretched towards it and is not an error.\n\n"
        "A task file holds {\"right\": {\"position\": [x, y, z], \"rotation\": [rx, ry, rz]},\n"
        "\"left\": {...}}, each hand and each rotation optional.\n\n" +
        ManikinOptionsHelp() +
        "\nExamples:\n"
        "  mkmanikin reach --sex male --right 20,30,30 --png reach.png\n"
        "  mkmanikin reach --sex female --percentile 5 --task task.json -o posture.json\n");
    return command;
  }

  void Run() override {
    const ManikinSpec spec = manikin.Spec();
    const PictureSize pictureSize = ParseSize(size);
    HandTask right, left;
    if (!taskFile.empty()) {
      ReadTaskFile(taskFile, "--task", right, left);
    } else {
      right.position = ParseTriple(rightText);
      left.position = ParseTriple(leftText);
      right.rotation = ParseTriple(rightRotationText);
      left.rotation = ParseTriple(leftRotationText);
      if (!right.position && !left.position) throw UsageError("give --right, --left or --task");
      if ((right.rotation && !right.position) || (left.rotation && !left.position))
        throw UsageError("a rotation needs the position of its hand");
    }
    std::vector<std::string> warnings;
    const ManikinPtr built = BuildManikin(spec, warnings);
    Warn(warnings);
    const int code = SolveHandReach(*built, right, left);

    nlohmann::json result;
    result["command"] = "reach";
    result["status"] = code == 0 ? "reached" : "not reached";
    result["code"] = code;
    nlohmann::json targets = nlohmann::json::object();
    for (const auto& [key, hand] : {std::pair<const char*, const HandTask*>{"right", &right},
                                    std::pair<const char*, const HandTask*>{"left", &left}}) {
      if (!hand->position) continue;
      targets[key]["position"] = *hand->position;
      if (hand->rotation) targets[key]["rotation"] = *hand->rotation;
    }
    result["targets"] = targets;
    result[kPostureKey] = PostureToJson(*built);
    const std::string text = result.dump(1) + "\n";

    OutputFiles files;
    if (!output.empty()) files.Stage(output, "--output", text);
    if (!png.empty()) {
      TriangleMesh mesh = BuildSkinMesh(*built);
      for (const HandTask* hand : {&right, &left})
        if (hand->position) MarkTarget(mesh, *hand->position);
      mesh.ComputeNormals();  // the markers' vertices need theirs too
      Paint paint(mesh.GroupNames().size());
      for (std::size_t g = 0; g < paint.size(); ++g)
        if (mesh.GroupNames()[g] == "target") paint[g] = kTargetColour;
      const std::string caption = Describe(*built, spec.percentile) + ": " +
                                  (code == 0 ? "target reached" : "target not reached");
      files.Stage(png, "--png",
                  PngOf(DrawFrontAndSide(mesh, FloorHeight(*built), pictureSize.width,
                                         pictureSize.height, &paint, {caption})));
    }
    files.Commit();
    if (output.empty()) {
      std::cout << text << std::flush;
      if (!std::cout) throw Failure(kExitFailure, "standard output: cannot write");
    }
  }

 private:
  ManikinOptions manikin;
  std::string taskFile;
  std::string rightText, leftText, rightRotationText, leftRotationText;
  std::string output, png, size;
};

}  // namespace

std::unique_ptr<Subcommand> MakeReachCommand() {
  return std::make_unique<ReachCommand>();
}

}  // namespace mkcli
