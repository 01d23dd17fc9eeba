#include "RulaReport.h"

#include <nlohmann/json.hpp>

#include <memory>

#include "CommandSupport.h"
#include "Failure.h"
#include "ManikinBuilder.h"
#include "Numbers.h"
#include "mkmanikin.h"

namespace mkcli {
namespace {

struct LoadMode {
  const char* name;
  MKKERULAValue value;
};
const LoadMode kLoadModes[] = {{"static", MKKRULAStatic},
                               {"intermittent", MKKRULAIntermittent},
                               {"repeated", MKKRULARepeatedOrShock}};

struct SpecsDeleter {
  void operator()(MKRULASpecs* specs) const { specs->Destroy(); }
};

Rgb ToRgb(int colour) {
  return {static_cast<std::uint8_t>((colour >> 16) & 0xFF),
          static_cast<std::uint8_t>((colour >> 8) & 0xFF),
          static_cast<std::uint8_t>(colour & 0xFF)};
}

std::string Text(const KelUnicodeString& text) {
  return text.ConvertToChar().CastToCharPtr();
}

void Set(MKRULASpecs& specs, MKKERULAAttr attr, MKKERULAValue value) {
  if (specs.SetSpec(attr, value) != MKStatusSuccess)
    throw Failure(kExitFailure, "the RULA settings were refused");
}

MKKERULAValue YesNo(bool yes) {
  return yes ? MKKRULAYes : MKKRULANo;
}

}  // namespace

std::string LoadModeList() {
  std::string list;
  for (const LoadMode& m : kLoadModes) list += (list.empty() ? "" : "|") + std::string(m.name);
  return list;
}

bool IsLoadMode(const std::string& name) {
  for (const LoadMode& m : kLoadModes)
    if (name == m.name) return true;
  return false;
}

RulaReport AnalyseRula(MKManikin& manikin, double percentile, const std::string& posture,
                       const RulaOptions& options) {
  const std::unique_ptr<MKRULASpecs, SpecsDeleter> specs(MKRULASpecs::Create(manikin.GetBody()));
  Set(*specs, MKKRULASide, options.left ? MKKRULALeft : MKKRULARight);
  for (const LoadMode& m : kLoadModes)
    if (options.loadMode == m.name) Set(*specs, MKKRULALoadMode, m.value);
  Set(*specs, MKKRULAMuscleUse, YesNo(options.muscleUse));
  Set(*specs, MKKRULAArmSupported, YesNo(options.armSupported));
  Set(*specs, MKKRULAArmsAcrossMidline, YesNo(options.acrossMidline));
  Set(*specs, MKKRULALegs, YesNo(options.legsUnsupported));
  if (specs->SetSpec(MKKRULALoad, options.load) != MKStatusSuccess)
    throw UsageError("--load: the load must be a number of kilograms, 0 or more");

  MKAnalysisResults results;
  const MKStatus status = MKAnalysis::PerformRULAAnalysis(specs.get(), results);
  if (status != MKStatusSuccess)
    throw Failure(kExitFailure, "the RULA analysis failed: " + StatusText(status.GetCode()));

  RulaReport report;
  report.manikin = Describe(manikin, percentile);
  report.posture = posture;
  report.side = options.left ? "left" : "right";
  report.options = options;
  const auto angle = [&](MKKEBodyPart part) -> std::optional<double> {
    double radians = 0.0;
    unsigned int ignored = 0;
    if (specs->GetScore(part, radians, ignored) != MKStatusSuccess) return std::nullopt;
    return MKUnitConversions::RadiansToDegrees(radians);
  };
  report.items = {
      {"upperArm", "upper arm", results.upperArmScore, angle(MKKUpperArm)},
      {"lowerArm", "lower arm", results.lowerArmScore, angle(MKKForearm)},
      {"wrist", "wrist", results.wristScore, angle(MKKWrist)},
      {"wristTwist", "wrist twist", results.wristTwistScore, std::nullopt},
      {"postureA", "posture A", results.postureAScore, std::nullopt},
      {"muscleUse", "muscle use", results.muscleUseScore, std::nullopt},
      {"forceLoad", "force/load", results.forceLoadScore, std::nullopt},
      {"wristAndArm", "wrist and arm", results.wristAndArmScore, std::nullopt},
      {"neck", "neck", results.neckScore, angle(MKKNeck)},
      {"trunk", "trunk", results.trunkScore, angle(MKKTrunk)},
      {"legs", "legs", results.legScore, std::nullopt},
      {"postureB", "posture B", results.postureBScore, std::nullopt},
      {"neckTrunkLegs", "neck, trunk and legs", results.neckTrunkLegScore, std::nullopt},
      {"final", "final score", results.finalScore, std::nullopt},
  };
  report.finalScore = results.finalScore;
  report.actionLevel =
      MKAnalysis::GetRULAActionLevel(static_cast<unsigned int>(results.finalScore));
  report.interpretation = Text(results.InterpretRULAScore(0));
  for (int n = 0; n < static_cast<int>(manikin.GetBody()->GetNumberOfSegments()); ++n) {
    int colour = 0;
    const auto segment = static_cast<MKShortName>(n);
    if (specs->GetColor(segment, MKKRULAColorAll, colour) == MKStatusSuccess)
      report.colours[MKConvertShortNameToString(segment)] = ToRgb(colour);
  }
  return report;
}

namespace {

std::string FormatText(const RulaReport& report) {
  std::string text = "RULA of the " + report.side + " side: " + report.manikin + ", posture " +
                     report.posture + "\n";
  for (const RulaItem& item : report.items) {
    text += Padded(item.label, 22, false) + Padded(std::to_string(item.score), 3, true);
    if (item.degrees) text += "   flexion " + FixedText(*item.degrees, 1) + " degrees";
    text += "\n";
  }
  return text + "action level " + std::to_string(report.actionLevel) + ": " +
         report.interpretation + "\n";
}

std::string FormatCsv(const RulaReport& report) {
  std::string text = "item,score,flexion_degrees,interpretation\n";
  for (const RulaItem& item : report.items)
    text += item.key + "," + std::to_string(item.score) + "," +
            (item.degrees ? ShortestText(*item.degrees) : std::string()) + "," +
            (item.key == "final" ? CsvField(report.interpretation) : std::string()) + "\n";
  return text;
}

std::string FormatJson(const RulaReport& report) {
  nlohmann::ordered_json root;
  root["manikin"] = report.manikin;
  root["posture"] = report.posture;
  root["side"] = report.side;
  nlohmann::ordered_json settings;
  settings["load"] = report.options.load;
  settings["loadMode"] = report.options.loadMode;
  settings["muscleUse"] = report.options.muscleUse;
  settings["armSupported"] = report.options.armSupported;
  settings["acrossMidline"] = report.options.acrossMidline;
  settings["legsUnsupported"] = report.options.legsUnsupported;
  root["settings"] = settings;
  nlohmann::ordered_json scores;
  for (const RulaItem& item : report.items) {
    nlohmann::ordered_json entry;
    entry["score"] = item.score;
    if (item.degrees) entry["flexionDegrees"] = *item.degrees;
    scores[item.key] = entry;
  }
  root["scores"] = scores;
  root["finalScore"] = report.finalScore;
  root["actionLevel"] = report.actionLevel;
  root["interpretation"] = report.interpretation;
  return root.dump(2) + "\n";
}

}  // namespace

std::string FormatRula(const RulaReport& report, TableFormat format) {
  switch (format) {
    case TableFormat::Csv:
      return FormatCsv(report);
    case TableFormat::Json:
      return FormatJson(report);
    case TableFormat::Text:
      break;
  }
  return FormatText(report);
}

Paint RulaPaint(const RulaReport& report, const TriangleMesh& mesh) {
  Paint paint(mesh.GroupNames().size());
  for (std::size_t g = 0; g < paint.size(); ++g) {
    const auto found = report.colours.find(mesh.GroupNames()[g]);
    if (found != report.colours.end()) paint[g] = found->second;
  }
  return paint;
}

std::vector<std::string> RulaCaption(const RulaReport& report) {
  std::string parts;
  for (const RulaItem& item : report.items)
    if (item.degrees || item.key == "legs")
      parts += (parts.empty() ? "" : ", ") + item.label + " " + std::to_string(item.score);
  return {"RULA of the " + report.side + " side: final score " + std::to_string(report.finalScore) +
              ", action level " + std::to_string(report.actionLevel),
          report.interpretation, parts};
}

}  // namespace mkcli
