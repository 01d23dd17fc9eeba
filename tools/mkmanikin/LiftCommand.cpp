// mkmanikin lift: a lift or lower between two postures by the NIOSH 1981 and
// 1991 lifting equations, the Liberty Mutual 2021 equations and the Snook
// and Ciriello 1991 tables.
#include <CLI/CLI.hpp>

#include <cmath>

#include "Failure.h"
#include "HandlingReport.h"
#include "ManikinBuilder.h"
#include "analysis/MKAnalysis.h"
#include "manikin/MKManikin.h"
#include "math/MKFrame.h"
#include "math/MKUnitConversions.h"

namespace mkcli {
namespace {

constexpr double kGravity = 9.80665;

class LiftCommand : public Subcommand {
 public:
  CLI::App* Add(CLI::App& app) override {
    CLI::App* command = app.add_subcommand(
        "lift", "Limits of a lift or lower between two postures (NIOSH, Liberty Mutual, Snook)");
    options.AddTo(*command);
    origin.AddTo(*command);
    destination.AddTo(*command);
    command->add_option("--load", load, "Load lifted, in kg")
        ->type_name("KG")
        ->default_str("10")
        ->check(CLI::Range(0.0, 1e6));
    command->add_option("--duration", duration, "Hours of lifting (NIOSH 1981: 1 or 8)")
        ->type_name("HOURS")
        ->default_str("1")
        ->check(CLI::Range(0.0, 8.0));
    command->add_option("--coupling", coupling, "How well the hands hold the load")
        ->type_name("good|fair|poor")
        ->default_str("good")
        ->check(CLI::IsMember({"good", "fair", "poor"}));
    command->footer(
        "Prints, for each method, every measurement (H, V, D in m, A in degrees),\n"
        "multiplier and limit, and the lifting index in words. The floor is the\n"
        "manikin's own: heights are taken from the soles. Limits in kg (1991 and 2021\n"
        "also in N). The 1991 tables hold only a few known rows (data file\n"
        "snook-ciriello-1991.csv); a missing cell is reported, never invented.\n\n" +
        PostureSource::Help() + "\n" + ManikinOptionsHelp() +
        "\nExamples:\n"
        "  mkmanikin lift --sex female --origin-posture standing --destination-posture "
        "arms-forward --load 8 --frequency 2\n"
        "  mkmanikin lift --sex male --origin-reach 0,0,40 --destination-reach 0,60,30\n");
    return command;
  }

  void Run() override {
    std::vector<std::string> warnings;
    const ManikinPtr built = BuildManikin(options.manikin.Spec(), warnings);
    const auto asBuilt = PostureSource::Current(*built);
    const auto start = origin.Build(*built, asBuilt.get(), warnings);
    const auto end = destination.Build(*built, asBuilt.get(), warnings);
    Warn(warnings);
    const MKFrame floor;
    const auto kind = static_cast<MKAnalysis::MKCouplingCondition>(coupling == "good"   ? 0
                                                                   : coupling == "fair" ? 1
                                                                                        : 2);
    const auto analyse = [&](MKAnalysis::MKGuideLine guide, MKAnalysisResults& r) {
      return MKAnalysis::PerformLiftLowerAnalysis(built.get(), start.get(), end.get(), guide, kind,
                                                  options.perMinute / 60.0, duration, load,
                                                  options.percent, floor, floor, r)
          .GetCode();
    };
    std::vector<HandlingRow> rows;
    const auto add = [&](const std::string& method, const std::string& q, double v,
                         const std::string& unit) {
      rows.push_back({method, q, v, unit, ""});
    };

    MKAnalysisResults r81;
    const char* m81 = "NIOSH 1981";
    AddStatusRows(rows, m81, analyse(MKAnalysis::MKNIOSH1981, r81), "");
    add(m81, "H origin", r81.hOrigin, "m");
    add(m81, "V origin", r81.vOrigin, "m");
    add(m81, "D", r81.d, "m");
    add(m81, "action limit", r81.actionLimit, "kg");
    add(m81, "maximum permissible limit", r81.maximumPermissibleLimit, "kg");

    MKAnalysisResults r;
    const char* m91 = "NIOSH 1991";
    AddStatusRows(rows, m91, analyse(MKAnalysis::MKNIOSH1991, r), "");
    const double degrees = MKUnitConversions::RadiansToDegrees(1.0);
    for (const auto& [name, o, d, unit] :
         std::vector<std::tuple<std::string, double, double, std::string>>{
             {"H", r.hOrigin, r.hDestination, "m"},
             {"V", r.vOrigin, r.vDestination, "m"},
             {"A", r.aOrigin * degrees, r.aDestination * degrees, "degrees"},
             {"HM", r.hmOrigin, r.hmDestination, ""},
             {"VM", r.vmOrigin, r.vmDestination, ""},
             {"AM", r.amOrigin, r.amDestination, ""},
             {"CM", r.cmOrigin, r.cmDestination, ""}}) {
      add(m91, name + " origin", o, unit);
      add(m91, name + " destination", d, unit);
    }
    add(m91, "D", r.d, "m");
    add(m91, "LC", r.lc, "kg");
    add(m91, "DM", r.dm, "");
    add(m91, "FM", r.fm, "");
    add(m91, "RWL origin", r.rwlOrigin, "kg");
    add(m91, "RWL destination", r.rwlDestination, "kg");
    add(m91, "LI origin", r.liOrigin, "");
    add(m91, "LI destination", r.liDestination, "");
    const double li = std::fmax(r.liOrigin, r.liDestination);
    rows.push_back({m91, "lifting index", NAN, "", LiftingIndexInWords(li)});

    for (const auto guide : {MKAnalysis::MKLibertyMutual2021, MKAnalysis::MKSnookCiriello1991}) {
      MKAnalysisResults w;
      const std::string method = guide == MKAnalysis::MKLibertyMutual2021
                                     ? "Liberty Mutual 2021"
                                     : "Snook and Ciriello 1991";
      const int status = analyse(guide, w);
      AddStatusRows(rows, method, status, static_cast<const char*>(w.message.ConvertToChar()));
      add(method, "H origin", w.hOrigin, "m");
      add(method, "V origin", w.vOrigin, "m");
      add(method, "V destination", w.vDestination, "m");
      add(method, "D", w.d, "m");
      add(method, "acceptable weight", w.liftLowerWeight / kGravity, "kg");
      add(method, "acceptable weight", w.liftLowerWeight, "N");
    }
    options.Emit(rows);
  }

 private:
  HandlingOptions options;
  PostureSource origin{"origin", "standing", "", "", ""};
  PostureSource destination{"destination", "arms-forward", "", "", ""};
  double load = 10.0;
  double duration = 1.0;
  std::string coupling = "good";
};

}  // namespace

std::unique_ptr<Subcommand> MakeLiftCommand() {
  return std::make_unique<LiftCommand>();
}

}  // namespace mkcli
