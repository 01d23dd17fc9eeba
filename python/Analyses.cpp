// What a manikin does and how it is judged: reaching, RULA and lifting.
#include <pybind11/stl.h>

#include <cmath>
#include <map>

#include "Bindings.h"
#include "HandReach.h"
#include "RulaReport.h"
#include "mkmanikin.h"

namespace py = pybind11;

namespace mkpy {
namespace {

struct ReachResult {
  int code;
  std::string text;  // the catalogue's text of the code
  py::dict angles;   // the posture reached, as Manikin.posture
  double handError;  // cm from the hand to its target
};

ReachResult Reach(Manikin& m, const std::string& hand, const mkcli::Triple& position,
                  const std::optional<mkcli::Triple>& orientation, bool strict) {
  if (hand != "right" && hand != "left")
    throw py::value_error("hand must be 'right' or 'left', not '" + hand + "'");
  for (double x : position)
    if (!std::isfinite(x)) throw py::value_error("the position must be finite");
  if (orientation)
    for (double x : *orientation)
      if (!std::isfinite(x)) throw py::value_error("the orientation must be finite");
  mkcli::HandTask task{position, orientation}, none;
  const bool right = hand == "right";
  MKIKManager& solver = *m.Get().GetIKManager();
  int code = 0;
  double error = 0.0;
  {
    py::gil_scoped_release release;
    solver.RemoveAllConstraints();
    code = mkcli::SolveHandReach(m.Get(), right ? task : none, right ? none : task);
    const MKIKConstraint* reach = solver.GetIKConstraint(0);
    const MK4x4Matrix at = reach->GetEndEffectorMatrix();
    const MK4x4Matrix& target = reach->GetTargetMatrix();
    error = std::hypot(at(3, 0) - target(3, 0), at(3, 1) - target(3, 1), at(3, 2) - target(3, 2));
    // The manikin keeps the posture, not the constraint: the next reach starts afresh.
    solver.RemoveAllConstraints();
  }
  if (strict)
    Check(code, hand + " hand to (" + std::to_string(position[0]) + ", " +
                    std::to_string(position[1]) + ", " + std::to_string(position[2]) + ")");
  return ReachResult{code, MKStatus(code).GetUnicodeStatusMessage().ConvertToChar().CastToCharPtr(),
                     PostureOf(m), error};
}

mkcli::RulaReport Rula(Manikin& m, const std::string& side, double load,
                       const std::string& loadMode, bool muscleUse, bool armSupported,
                       bool acrossMidline, bool legsUnsupported) {
  if (side != "right" && side != "left")
    throw py::value_error("side must be 'right' or 'left', not '" + side + "'");
  if (!mkcli::IsLoadMode(loadMode))
    throw py::value_error("load_mode must be one of " + mkcli::LoadModeList());
  mkcli::RulaOptions options;
  options.left = side == "left";
  options.load = load;
  options.loadMode = loadMode;
  options.muscleUse = muscleUse;
  options.armSupported = armSupported;
  options.acrossMidline = acrossMidline;
  options.legsUnsupported = legsUnsupported;
  return mkcli::AnalyseRula(m.Get(), m.percentile, "current", options);
}

struct PartDeleter {
  void operator()(MKManikinPart* part) const {
    if (part) part->Destroy();
  }
};

std::unique_ptr<MKManikinPart, PartDeleter> PosturePart(Manikin& m, const py::object& posture) {
  ApplyPosture(m, posture);
  return std::unique_ptr<MKManikinPart, PartDeleter>(
      m.Get().ExtractPart(MKPartPostureID, 0, nullptr));
}

// Warnings of a lift (a doubtful posture, an input clamped) leave its result standing.
bool IsWarning(int code) {
  return code >= MKStatusOriginNotBalanced && code <= MKStatusInputClamped;
}

MKAnalysisResults Lift(Manikin& m, const py::object& origin, const py::object& destination,
                       const std::string& method, double load, double perMinute, double duration,
                       const std::string& coupling, double percent) {
  static const std::map<std::string, MKAnalysis::MKGuideLine> methods = {
      {"niosh1981", MKAnalysis::MKNIOSH1981},
      {"niosh1991", MKAnalysis::MKNIOSH1991},
      {"snook1991", MKAnalysis::MKSnookCiriello1991},
      {"lm2021", MKAnalysis::MKLibertyMutual2021}};
  static const std::map<std::string, MKAnalysis::MKCouplingCondition> couplings = {
      {"good", MKAnalysis::MKCouplingGood},
      {"fair", MKAnalysis::MKCouplingFair},
      {"poor", MKAnalysis::MKCouplingPoor}};
  const auto guide = methods.find(method);
  if (guide == methods.end())
    throw py::value_error("method must be niosh1981, niosh1991, lm2021 or snook1991");
  const auto hold = couplings.find(coupling);
  if (hold == couplings.end()) throw py::value_error("coupling must be good, fair or poor");
  const auto start = PosturePart(m, origin);
  const auto end = PosturePart(m, destination);
  MKAnalysisResults results;
  const MKFrame floor;
  int code = 0;
  {
    py::gil_scoped_release release;
    code = MKAnalysis::PerformLiftLowerAnalysis(&m.Get(), start.get(), end.get(), guide->second,
                                                hold->second, perMinute / 60.0, duration, load,
                                                percent, floor, floor, results)
               .GetCode();
  }
  if (!IsWarning(code))
    Check(code, method + " lift: " + results.message.ConvertToChar().CastToCharPtr());
  results.status = MKStatus(code);
  return results;
}

}  // namespace

void RegisterAnalyses(py::module_& module, ManikinClass& manikin) {
  py::class_<ReachResult>(module, "ReachResult", "What a reach achieved.")
      .def_readonly("code", &ReachResult::code, "0 when reached, 1300 when out of reach")
      .def_property_readonly("reached", [](const ReachResult& r) { return r.code == 0; })
      .def_readonly("text", &ReachResult::text)
      .def_readonly("angles", &ReachResult::angles, "The solved posture, as Manikin.posture")
      .def_readonly("hand_error", &ReachResult::handError, "cm from the hand to its target")
      .def("__repr__", [](const ReachResult& r) {
        return "<ReachResult code=" + std::to_string(r.code) +
               " hand_error=" + std::to_string(r.handError) + ">";
      });

  py::class_<mkcli::RulaItem>(module, "RulaItem", "One RULA score and the angle it was read from.")
      .def_readonly("key", &mkcli::RulaItem::key)
      .def_readonly("label", &mkcli::RulaItem::label)
      .def_readonly("score", &mkcli::RulaItem::score)
      .def_readonly("degrees", &mkcli::RulaItem::degrees);
  py::class_<mkcli::RulaReport>(module, "RulaResult", "Every score of a RULA analysis.")
      .def_readonly("side", &mkcli::RulaReport::side)
      .def_readonly("items", &mkcli::RulaReport::items)
      .def_readonly("final_score", &mkcli::RulaReport::finalScore)
      .def_readonly("action_level", &mkcli::RulaReport::actionLevel)
      .def_readonly("interpretation", &mkcli::RulaReport::interpretation)
      .def_property_readonly("scores", [](const mkcli::RulaReport& r) {
        std::map<std::string, int> scores;
        for (const mkcli::RulaItem& item : r.items) scores[item.key] = item.score;
        return scores;
      });

  py::class_<MKAnalysisResults> lift(
      module, "LiftResult",
      "A lifting analysis: measurements in m (angles in radians), limits in kg (the 2021 "
      "equations and 1991 tables in N); NaN where the method computes nothing.");
  lift.def_property_readonly(
          "code", [](const MKAnalysisResults& r) { return static_cast<int>(r.status.code); })
      .def_property_readonly("message", [](const MKAnalysisResults& r) {
        return std::string(r.message.ConvertToChar().CastToCharPtr());
      });
#define MKPY_FIELD(name) lift.def_readonly(#name, &MKAnalysisResults::name)
  MKPY_FIELD(actionLimit);
  MKPY_FIELD(maximumPermissibleLimit);
  MKPY_FIELD(rwlOrigin);
  MKPY_FIELD(rwlDestination);
  MKPY_FIELD(liOrigin);
  MKPY_FIELD(liDestination);
  MKPY_FIELD(hOrigin);
  MKPY_FIELD(hDestination);
  MKPY_FIELD(vOrigin);
  MKPY_FIELD(vDestination);
  MKPY_FIELD(d);
  MKPY_FIELD(aOrigin);
  MKPY_FIELD(aDestination);
  MKPY_FIELD(lc);
  MKPY_FIELD(hmOrigin);
  MKPY_FIELD(hmDestination);
  MKPY_FIELD(vmOrigin);
  MKPY_FIELD(vmDestination);
  MKPY_FIELD(dm);
  MKPY_FIELD(amOrigin);
  MKPY_FIELD(amDestination);
  MKPY_FIELD(fm);
  MKPY_FIELD(cmOrigin);
  MKPY_FIELD(cmDestination);
  MKPY_FIELD(liftLowerWeight);
#undef MKPY_FIELD

  manikin
      .def("reach", &Reach, py::arg("hand") = "right", py::arg("position"),
           py::arg("orientation") = py::none(), py::arg("strict") = false,
           "Puts the hand on a target (cm, world frame, Y up), with its X, Y, Z rotations in "
           "degrees when given, solving the arm from the clavicle. A target out of reach leaves "
           "the arm stretched towards it: code 1300, or MKError when strict.")
      .def("rula", &Rula, py::arg("side") = "right", py::arg("load") = 0.0,
           py::arg("load_mode") = "static", py::arg("muscle_use") = true,
           py::arg("arm_supported") = false, py::arg("across_midline") = false,
           py::arg("legs_unsupported") = false, "RULA of the current posture, for one side.")
      .def("lift", &Lift, py::arg("origin") = "standing", py::arg("destination") = "arms-forward",
           py::arg("method") = "niosh1991", py::arg("load") = 10.0, py::arg("frequency") = 1.0,
           py::arg("duration") = 1.0, py::arg("coupling") = "good", py::arg("percent") = 75.0,
           "A lift or lower between two postures (names or posture dicts) by method niosh1981, "
           "niosh1991, lm2021 or snook1991; frequency per minute, duration in hours, load in "
           "kg. Leaves the manikin in one of the postures. `code` holds a warning (250 to 256).");
}

}  // namespace mkpy
