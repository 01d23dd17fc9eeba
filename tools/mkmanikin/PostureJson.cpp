#include "PostureJson.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>

#include "Failure.h"
#include "Numbers.h"
#include "mkmanikin.h"

namespace mkcli {
namespace {

constexpr int kAxes = 3;

// The DOF a posture names: hidden pure slaves follow their masters.
MKDOF* PostureDOF(const MKSegment& segment, int axis) {
  return segment.GetDOF(axis);
}

}  // namespace

nlohmann::json ReadPostureFile(const std::string& path, const std::string& option) {
  const std::string where = option + " " + path;
  std::ifstream in(path, std::ios::binary);
  if (!in) throw UsageError(where + ": cannot be read");
  std::string text;
  char block[65536];
  while (in.read(block, sizeof block) || in.gcount() > 0) {
    text.append(block, static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxPostureFileSize)
      throw UsageError(where + ": larger than " + std::to_string(kMaxPostureFileSize >> 20) +
                       " MiB, not a posture file");
  }
  if (in.bad()) throw UsageError(where + ": cannot be read");
  nlohmann::json document = nlohmann::json::parse(text, nullptr, false);
  if (document.is_discarded()) throw UsageError(where + ": not a JSON file");
  if (!document.is_object() || !document.contains(kPostureKey))
    throw UsageError(where + ": no posture in it (an object with the key \"" +
                     std::string(kPostureKey) + "\")");
  return document[kPostureKey];
}

nlohmann::json PostureToJson(const MKManikin& manikin) {
  nlohmann::json dofs = nlohmann::json::object();
  const MKBody* body = manikin.GetBody();
  for (unsigned int i = 0; body && i < body->GetNumberOfSegments(); ++i) {
    const MKSegment* segment = body->GetSegmentAtIndex(i);
    nlohmann::json values = nlohmann::json::array();
    bool any = false;
    for (int axis = 0; axis < kAxes; ++axis) {
      const MKDOF* dof = PostureDOF(*segment, axis);
      if (!dof) {
        values.push_back(nullptr);
        continue;
      }
      values.push_back(MKUnitConversions::RadiansToDegrees(dof->GetMathematicalValue()));
      any = true;
    }
    if (any) dofs[MKConvertShortNameToString(segment->GetShortName())] = values;
  }
  return dofs;
}

void ApplyPostureJson(MKManikin& manikin, const nlohmann::json& dofs, const std::string& where,
                      std::vector<std::string>& warnings) {
  if (!dofs.is_object())
    throw UsageError(where + ": \"" + kPostureKey + "\" must be an object of segments");
  MKBody* body = manikin.GetBody();
  // Every name is checked before anything moves, so a bad file changes nothing.
  for (const auto& item : dofs.items()) {
    const std::string field = where + ": \"" + kPostureKey + "\"." + item.key();
    const MKShortName name = MKConvertStringToShortName(item.key().c_str());
    const MKSegment* segment = body ? body->GetSegment(name) : nullptr;
    if (!segment) throw UsageError(field + ": no segment of that name");
    const nlohmann::json& values = item.value();
    if (!values.is_array() || values.size() != kAxes)
      throw UsageError(field + ": give three values (degrees, or null), one per DOF");
    for (int axis = 0; axis < kAxes; ++axis) {
      const nlohmann::json& value = values[axis];
      if (value.is_null()) continue;
      if (!value.is_number() || !std::isfinite(value.get<double>()))
        throw UsageError(field + "[" + std::to_string(axis) + "]: not a number of degrees");
      if (!PostureDOF(*segment, axis))
        throw UsageError(field + "[" + std::to_string(axis) + "]: the segment has no such DOF");
    }
  }
  for (unsigned int i = 0; i < body->GetNumberOfSegments(); ++i) {
    const MKSegment* segment = body->GetSegmentAtIndex(i);
    const char* name = MKConvertShortNameToString(segment->GetShortName());
    const auto found = dofs.find(name);
    if (found == dofs.end()) continue;
    for (int axis = 0; axis < kAxes; ++axis) {
      const nlohmann::json& value = (*found)[axis];
      if (value.is_null()) continue;
      MKDOF* dof = PostureDOF(*segment, axis);
      const double degrees = value.get<double>();
      const MKStatus status =
          dof->SetMathematicalValue(MKUnitConversions::DegreesToRadians(degrees));
      const double taken = MKUnitConversions::RadiansToDegrees(dof->GetMathematicalValue());
      const std::string label = std::string(name) + "[" + std::to_string(axis) + "]";
      if (status.GetCode() != 0)
        warnings.push_back(label + ": the DOF refused " + ShortestText(degrees) + " degrees");
      else if (std::fabs(taken - degrees) > 1e-9)
        warnings.push_back(label + ": " + ShortestText(degrees) + " degrees is beyond the DOF's " +
                           "limits; it takes " + ShortestText(taken));
    }
  }
}

}  // namespace mkcli
