#include "HandlingReport.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cmath>
#include <iostream>
#include <map>

#include "Failure.h"
#include "HandReach.h"
#include "ManikinBuilder.h"
#include "NamedPostures.h"
#include "Numbers.h"
#include "OutputFiles.h"
#include "PostureJson.h"
#include "analysis/MKAnalysis.h"
#include "body/MKBody.h"
#include "body/MKSegment.h"
#include "ik/MKIKManager.h"
#include "manikin/MKManikin.h"
#include "math/MKFrame.h"
#include "parts/MKManikinPart.h"

namespace mkcli {

namespace {

std::string ValueText(const HandlingRow& row) {
  if (!row.text.empty()) return row.text;
  return std::isnan(row.value) ? "-" : FixedText(row.value, 3);
}

CLI::Validator NonNegative(const char* what) {
  return CLI::Validator(
      [what](std::string& text) -> std::string {
        double x = 0.0;
        if (ParseNumber(text, x) && x >= 0.0) return {};
        return "'" + text + "' is not " + what + ": give 0 or more";
      },
      "", "NUMBER");
}

}  // namespace

std::string FormatHandling(const std::vector<HandlingRow>& rows, TableFormat format) {
  std::string out;
  if (format == TableFormat::Json) {
    nlohmann::ordered_json json = nlohmann::ordered_json::object();
    for (const HandlingRow& row : rows) {
      const std::string key = row.quantity + (row.unit.empty() ? "" : " (" + row.unit + ")");
      if (!row.text.empty())
        json[row.method][key] = row.text;
      else if (std::isnan(row.value))
        json[row.method][key] = nullptr;
      else
        json[row.method][key] = row.value;
    }
    return json.dump(2) + "\n";
  }
  if (format == TableFormat::Csv) {
    out = "method,quantity,value,unit\n";
    for (const HandlingRow& row : rows)
      out += CsvField(row.method) + "," + CsvField(row.quantity) + "," +
             CsvField(row.text.empty() ? (std::isnan(row.value) ? "" : ShortestText(row.value))
                                       : row.text) +
             "," + CsvField(row.unit) + "\n";
    return out;
  }
  std::size_t width = 0;
  for (const HandlingRow& row : rows) width = std::max(width, row.quantity.size());
  std::string method;
  for (const HandlingRow& row : rows) {
    if (row.method != method) out += (method.empty() ? "" : "\n") + row.method + "\n";
    method = row.method;
    out += "  " + Padded(row.quantity, width, false) + "  " + ValueText(row) +
           (row.unit.empty() || !row.text.empty() ? "" : " " + row.unit) + "\n";
  }
  return out;
}

void AddStatusRows(std::vector<HandlingRow>& rows, const std::string& method, int status,
                   const std::string& message) {
  rows.push_back({method, "status", NAN, "", StatusText(status)});
  if (!message.empty()) rows.push_back({method, "missing", NAN, "", message});
}

std::string LiftingIndexInWords(double li) {
  if (std::isnan(li)) return "no lifting index";
  if (li <= 1.0) return "nearly all workers can do this lift (index at most 1)";
  if (li <= 3.0) return "an increased risk for some workers (index above 1)";
  return "a high risk for many workers: redesign the lift (index above 3)";
}

void PostureSource::AddTo(CLI::App& command) {
  const std::string prefix = option.empty() ? "--" : "--" + option + "-";
  const std::string what = option.empty() ? "the task" : "the " + option + " of the lift";
  CLI::Option* named =
      command.add_option(prefix + "posture", name, "Posture at " + what + " (see below)")
          ->type_name("POSTURE")
          ->default_str(name)
          ->check(CLI::Validator(
              [](std::string& text) -> std::string {
                if (FindPosture(text)) return {};
                return "'" + text + "' is not a posture: give one of " + PostureList();
              },
              "", "POSTURE"));
  CLI::Option* read =
      command
          .add_option(prefix + "file", file,
                      "Read the posture at " + what + " from FILE (JSON with \"dofs\")")
          ->type_name("FILE")
          ->excludes(named);
  CLI::Option* point =
      command
          .add_option(prefix + "reach", reach,
                      "Posture at " + what + ": both hands holding a load at this point, in cm")
          ->check(TripleCheck("a point"))
          ->excludes(named)
          ->excludes(read);
  command
      .add_option(prefix + "task", task,
                  "Posture at " + what + ": the hands reaching the targets of FILE")
      ->type_name("FILE")
      ->excludes(named)
      ->excludes(read)
      ->excludes(point);
}

std::string PostureSource::Help() {
  return "A posture may be a reach of both hands (--reach X,Y,Z: the hands hold a load at\n"
         "that point, either side of it as far apart as the hip joints; --task FILE: the\n"
         "hands reach the targets of a task file of mkmanikin reach; lift: --origin-reach\n"
         "and so on),\n"
         "solved as mkmanikin reach solves it: from the manikin as built, in its world\n"
         "frame (cm, Y up). A target out of reach stops the command (exit 1) and nothing\n"
         "is written.\n\n" +
         PostureHelp();
}

namespace {

// Both hands on a load at `point`, either side of it as far apart as the hip
// joints: hands on one point would leave the hand-to-hand line, and so the
// asymmetry angle of the lifting equations, without a direction.
void HoldAt(MKManikin& manikin, const std::optional<Triple>& point, HandTask& right,
            HandTask& left) {
  if (!point) return;
  MKBody* body = manikin.GetBody();
  const MK3x1Matrix hips =
      body->GetSegment(LSBoIlp)->GetEndPosition() - body->GetSegment(RSBoIlp)->GetEndPosition();
  Triple r = *point, l = *point;
  for (int i = 0; i < 3; ++i) {
    r[i] -= 0.5 * hips(i);
    l[i] += 0.5 * hips(i);
  }
  right.position = r;
  left.position = l;
}

}  // namespace

void PostureSource::Deleter::operator()(MKManikinPart* part) const {
  if (part) part->Destroy();
}

std::unique_ptr<MKManikinPart, PostureSource::Deleter> PostureSource::Build(
    MKManikin& manikin, const MKManikinPart* built, std::vector<std::string>& warnings) const {
  const std::string prefix = "--" + (option.empty() ? "" : option + "-");
  if (!reach.empty() || !task.empty()) {
    const std::string where = reach.empty() ? prefix + "task " + task : prefix + "reach " + reach;
    HandTask right, left;
    manikin.PasteFrom(built, 1);
    if (task.empty())
      HoldAt(manikin, ParseTriple(reach), right, left);
    else
      ReadTaskFile(task, prefix + "task", right, left);
    const int code = SolveHandReach(manikin, right, left);
    // The next posture is solved on its own.
    manikin.GetIKManager()->RemoveAllConstraints();
    if (code != 0) throw Failure(kExitFailure, where + ": not reached: " + StatusText(code));
  } else if (file.empty()) {
    ApplyNamedPosture(manikin, name);
  } else {
    const std::string where = prefix + "file " + file;
    ApplyPostureJson(manikin, ReadPostureFile(file, where), where, warnings);
  }
  return Current(manikin);
}

std::unique_ptr<MKManikinPart, PostureSource::Deleter> PostureSource::Current(
    const MKManikin& manikin) {
  return std::unique_ptr<MKManikinPart, Deleter>(manikin.ExtractPart(MKPartPostureID, 0, nullptr));
}

void HandlingOptions::AddTo(CLI::App& command) {
  manikin.AddTo(command);
  command.add_option("--frequency", perMinute, "Exertions per minute")
      ->type_name("PER_MIN")
      ->default_str("1")
      ->check(NonNegative("a frequency"));
  command
      .add_option("--percent", percent,
                  "Share of the population the limits are for (1991 tables: 90, 75, 50 and, "
                  "for lifting, 25 or 10; 2021 equations: any between 0 and 100)")
      ->type_name("PERCENT")
      ->default_str("75")
      ->check(CLI::Range(0.0, 100.0));
  AddFormatOption(command, format);
  command.add_option("-o,--output", output, "Write the report to FILE instead of standard output")
      ->type_name("FILE");
}

void HandlingOptions::Emit(const std::vector<HandlingRow>& rows) const {
  TableFormat tableFormat = TableFormat::Text;
  ParseTableFormat(format, tableFormat);
  const std::string text = FormatHandling(rows, tableFormat);
  if (!output.empty()) {
    OutputFiles files;
    files.Stage(output, "--output", text);
    files.Commit();
    return;
  }
  std::cout << text << std::flush;
  if (!std::cout) throw Failure(kExitFailure, "standard output: cannot write");
}

}  // namespace mkcli

namespace mkcli {
namespace {

class ExertionCommand : public Subcommand {
 public:
  explicit ExertionCommand(Exertion e) : exertion(e) {
    if (e == Exertion::Carry) posture.name = "standing";
  }

  CLI::App* Add(CLI::App& app) override {
    const char* names[] = {"push", "pull", "carry"};
    const char* what[] = {"Initial and sustained forces acceptable for a push",
                          "Initial and sustained forces acceptable for a pull",
                          "Weight acceptable for a carry"};
    name = names[static_cast<int>(exertion)];
    CLI::App* command =
        app.add_subcommand(name, std::string(what[static_cast<int>(exertion)]) +
                                     " (Liberty Mutual 2021, Snook and Ciriello 1991)");
    options.AddTo(*command);
    posture.AddTo(*command);
    command->add_option("--distance", distance, "Distance of each exertion, in m")
        ->type_name("M")
        ->default_str("2.1")
        ->check(CLI::Range(0.0, 1e4));
    command->footer(
        "The hands' height is measured on the posed manikin above its soles. Forces and\n"
        "weights in N and kg. The 1991 tables hold only a few known rows (data file\n"
        "snook-ciriello-1991.csv); a missing cell is reported, never invented.\n\n" +
        PostureSource::Help() + "\n" + ManikinOptionsHelp() + "\nExamples:\n  mkmanikin " + name +
        " --sex male --distance 7.6 --frequency 1 --percent 90\n  mkmanikin " + name +
        " --sex female --reach 0,0,40\n");
    return command;
  }

  void Run() override {
    std::vector<std::string> warnings;
    const ManikinPtr built = BuildManikin(options.manikin.Spec(), warnings);
    const auto part = posture.Build(*built, PostureSource::Current(*built).get(), warnings);
    Warn(warnings);
    const MKFrame floor;
    const double v = MKAnalysis::ComputeV(built->GetBody(), floor) / 100.0;
    std::vector<HandlingRow> rows;
    for (const auto guide : {MKAnalysis::MKLibertyMutual2021, MKAnalysis::MKSnookCiriello1991}) {
      const std::string method = guide == MKAnalysis::MKLibertyMutual2021
                                     ? "Liberty Mutual 2021"
                                     : "Snook and Ciriello 1991";
      MKAnalysisResults r;
      const double cm = distance * 100.0, f = options.perMinute / 60.0;
      const MKStatus status =
          exertion == Exertion::Carry
              ? MKAnalysis::PerformCarryAnalysis(built.get(), part.get(), guide, f, cm,
                                                 options.percent, floor, r)
              : MKAnalysis::PerformPushPullAnalysis(
                    built.get(), part.get(), guide, f, exertion == Exertion::Push ? cm : 0.0,
                    exertion == Exertion::Pull ? cm : 0.0, options.percent, floor, r);
      AddStatusRows(rows, method, status.GetCode(),
                    static_cast<const char*>(r.message.ConvertToChar()));
      rows.push_back({method, "height of the hands", v, "m", ""});
      rows.push_back({method, "distance", distance, "m", ""});
      const auto add = [&](const std::string& quantity, double newtons) {
        rows.push_back({method, quantity, newtons, "N", ""});
        rows.push_back({method, quantity, newtons / 9.80665, "kg", ""});
      };
      if (exertion == Exertion::Carry) {
        add("acceptable weight", r.carryWeight);
      } else {
        const bool push = exertion == Exertion::Push;
        add("initial force", push ? r.pushInitialForce : r.pullInitialForce);
        add("sustained force", push ? r.pushSustainedForce : r.pullSustainedForce);
      }
    }
    options.Emit(rows);
  }

 private:
  Exertion exertion;
  std::string name;
  HandlingOptions options;
  PostureSource posture{"", "arms-forward", "", "", ""};
  double distance = 2.1;
};

}  // namespace

std::unique_ptr<Subcommand> MakeExertionCommand(Exertion exertion) {
  return std::make_unique<ExertionCommand>(exertion);
}

}  // namespace mkcli
