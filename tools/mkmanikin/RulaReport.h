#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "OutputFormat.h"
#include "Renderer.h"
#include "TriangleMesh.h"

class MKManikin;

namespace mkcli {

// What the command line tells a RULA analysis beyond the posture.
struct RulaOptions {
  bool left = false;
  double load = 0.0;                // kg
  std::string loadMode = "static";  // static, intermittent or repeated
  bool muscleUse = true;            // the posture is held or repeated
  bool armSupported = false;        // or the person leans
  bool acrossMidline = false;       // arms work across the mid-line or out to the side
  bool legsUnsupported = false;     // legs not supported or not balanced
};

// The load modes of RulaOptions, for a command's check: "static|...".
std::string LoadModeList();
bool IsLoadMode(const std::string& name);

// One score of the analysis, and the angle its part was measured at.
struct RulaItem {
  std::string key;    // JSON and CSV name: "upperArm", ...
  std::string label;  // "upper arm", ...
  int score;          // -1 when missing
  std::optional<double> degrees;
};

struct RulaReport {
  std::string manikin;  // "male, 50th percentile of ..."
  std::string posture;  // its name, or the file it came from
  std::string side;     // "right" or "left"
  RulaOptions options;
  std::vector<RulaItem> items;  // every score in the order of the method, the final one last
  int finalScore = -1;
  int actionLevel = 0;
  std::string interpretation;
  // The colour of each scored segment, by its short name ("RSArAr", ...).
  std::map<std::string, Rgb> colours;
};

// Runs the analysis on the manikin as it is posed; a Failure when the
// library cannot score it. `posture` only names the posture in the report.
RulaReport AnalyseRula(MKManikin& manikin, double percentile, const std::string& posture,
                       const RulaOptions& options);

std::string FormatRula(const RulaReport& report, TableFormat format);
// The groups of a skin mesh (one per segment) in their segment's colour.
Paint RulaPaint(const RulaReport& report, const TriangleMesh& mesh);
// The lines under a picture: the final score, its interpretation, the part scores.
std::vector<std::string> RulaCaption(const RulaReport& report);

}  // namespace mkcli
