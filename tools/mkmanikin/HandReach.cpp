#include "HandReach.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <sstream>
#include <tuple>

#include "Failure.h"
#include "Numbers.h"
#include "PostureJson.h"
#include "body/MKBody.h"
#include "body/MKSegment.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "manikin/MKManikin.h"
#include "math/MKUnitConversions.h"

namespace mkcli {
namespace {

// Solved to within this (cm^2 of the position potential): about 0.1 cm.
constexpr double kTolerance = 0.01;

std::optional<Triple> TripleOf(const nlohmann::json& value, const std::string& where) {
  if (value.is_null()) return std::nullopt;
  if (!value.is_array() || value.size() != 3)
    throw UsageError(where + ": give an array of three numbers");
  Triple t{};
  for (std::size_t k = 0; k < 3; ++k) {
    if (!value[k].is_number() || !std::isfinite(value[k].get<double>()))
      throw UsageError(where + ": give an array of three numbers");
    t[k] = value[k].get<double>();
  }
  return t;
}

}  // namespace

std::optional<Triple> ParseTriple(const std::string& text) {
  Triple t{};
  std::stringstream stream(text);
  std::string item;
  int count = 0;
  while (std::getline(stream, item, ',')) {
    if (count == 3 || !ParseNumber(item, t[static_cast<std::size_t>(count)])) return std::nullopt;
    ++count;
  }
  if (count != 3) return std::nullopt;
  return t;
}

CLI::Validator TripleCheck(const char* what) {
  return CLI::Validator(
      [what](std::string& text) -> std::string {
        if (ParseTriple(text)) return {};
        return "'" + text + "' is not " + what + ": give three numbers as X,Y,Z";
      },
      "", "X,Y,Z");
}

void ReadTaskFile(const std::string& path, const std::string& option, HandTask& right,
                  HandTask& left) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw UsageError(option + " " + path + ": cannot be read");
  std::string text;
  char buffer[4096];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    text.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxPostureFileSize) throw UsageError(option + " " + path + ": too large");
  }
  const nlohmann::json task = nlohmann::json::parse(text, nullptr, false);
  if (task.is_discarded() || !task.is_object())
    throw UsageError(option + " " + path + ": not a JSON object");
  for (const auto& [key, hand] : {std::pair<const char*, HandTask*>{"right", &right},
                                  std::pair<const char*, HandTask*>{"left", &left}}) {
    if (!task.contains(key)) continue;
    const nlohmann::json& entry = task[key];
    const std::string where = option + " " + path + ": " + key;
    if (!entry.is_object() || !entry.contains("position"))
      throw UsageError(where + ": give an object with \"position\"");
    hand->position = TripleOf(entry["position"], where + ".position");
    hand->rotation = TripleOf(entry.value("rotation", nlohmann::json()), where + ".rotation");
  }
  if (!right.position && !left.position)
    throw UsageError(option + " " + path + ": give \"right\" or \"left\"");
}

int SolveHandReach(MKManikin& man, const HandTask& right, const HandTask& left) {
  MKIKManager& solver = *man.GetIKManager();
  MKBody& body = *man.GetBody();
  solver.SetBehavior(1);
  solver.SetIKTolerance(kTolerance);
  for (const auto& [hand, clavicle, task] :
       {std::tuple<MKShortName, MKShortName, const HandTask*>{RSHaCPr, RSArCl, &right},
        std::tuple<MKShortName, MKShortName, const HandTask*>{LSHaCPr, LSArCl, &left}}) {
    if (!task->position) continue;
    const int type = task->rotation ? MKIKConstraint::sFrame : MKIKConstraint::sPosition;
    MKIKConstraint* c = nullptr;
    if (solver.AddConstraint(body.GetSegment(hand), body.GetSegment(clavicle), type, c, nullptr) !=
        MKStatusSuccess)
      throw Failure(kExitFailure, "the manikin has no arm to reach with");
    MK4x4Matrix target;
    target.Unit();
    if (task->rotation) {
      const Triple& r = *task->rotation;
      target.RotXYZ(MKUnitConversions::DegreesToRadians(r[0]),
                    MKUnitConversions::DegreesToRadians(r[1]),
                    MKUnitConversions::DegreesToRadians(r[2]));
    }
    const Triple& p = *task->position;
    target(3, 0) = p[0];
    target(3, 1) = p[1];
    target(3, 2) = p[2];
    c->SetTargetMatrix(target);
    c->Activate();
  }
  return static_cast<int>(solver.Resolve().GetCode());
}

}  // namespace mkcli
